// One owner per kind of Win32 handle, so that every handle is closed or released exactly
// once and on every path, and no other file pairs an opening call with its closing one by
// hand. It sits in the portable folder under a _win32 name because the Windows files of
// every layer use it, compress/ and the toolkit core included; portable files may not.
#pragma once

#include <windows.h>

#include <ole2.h>

#include <utility>

// The owner of one handle of the kind Traits describes: Traits::Handle is its type,
// Traits::Valid(h) tells a live handle from the kind's "none" values, Traits::Close(h)
// gives it back to the system.
template <typename Traits>
class OwnedHandle {
public:
  using Handle = typename Traits::Handle;

  OwnedHandle() = default;
  explicit OwnedHandle(Handle handle) : handle_(handle) {}
  OwnedHandle(OwnedHandle&& other) noexcept : handle_(std::exchange(other.handle_, Handle{})) {}
  OwnedHandle& operator=(OwnedHandle&& other) noexcept {
    if (this != &other) Reset(std::exchange(other.handle_, Handle{}));
    return *this;
  }
  OwnedHandle(const OwnedHandle&) = delete;
  OwnedHandle& operator=(const OwnedHandle&) = delete;
  ~OwnedHandle() { Reset(); }

  Handle Get() const { return handle_; }
  explicit operator bool() const { return Traits::Valid(handle_); }
  // Closes the handle held, if any, and takes `handle` in its place.
  void Reset(Handle handle = Handle{}) {
    if (Traits::Valid(handle_)) Traits::Close(handle_);
    handle_ = handle;
  }
  // For out-parameters: the handle held is closed first.
  Handle* Receive() {
    Reset();
    return &handle_;
  }

private:
  Handle handle_{};
};

// A GDI object (pen, brush, font, bitmap, region), deleted with DeleteObject.
template <typename H>
struct GdiObjectTraits {
  using Handle = H;
  static bool Valid(H handle) { return handle != nullptr; }
  static void Close(H handle) { DeleteObject(handle); }
};
template <typename H>
using GdiObject = OwnedHandle<GdiObjectTraits<H>>;

using PenHandle = GdiObject<HPEN>;
using BrushHandle = GdiObject<HBRUSH>;
using FontHandle = GdiObject<HFONT>;
using BitmapHandle = GdiObject<HBITMAP>;
using RegionHandle = GdiObject<HRGN>;

// A kernel object: a file, a process, a thread. CreateFile reports failure with
// INVALID_HANDLE_VALUE and the others with a null handle, so neither is closed.
struct KernelHandleTraits {
  using Handle = HANDLE;
  static bool Valid(HANDLE handle) { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }
  static void Close(HANDLE handle) { CloseHandle(handle); }
};
using KernelHandle = OwnedHandle<KernelHandleTraits>;

// A directory search from FindFirstFile, ended with FindClose.
struct FindHandleTraits {
  using Handle = HANDLE;
  static bool Valid(HANDLE handle) { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }
  static void Close(HANDLE handle) { FindClose(handle); }
};
using FindHandle = OwnedHandle<FindHandleTraits>;

// A library loaded with LoadLibrary, freed with FreeLibrary.
struct LoadedModuleTraits {
  using Handle = HMODULE;
  static bool Valid(HMODULE module) { return module != nullptr; }
  static void Close(HMODULE module) { FreeLibrary(module); }
};
using LoadedModule = OwnedHandle<LoadedModuleTraits>;

// A registry key opened or created under a root; the predefined roots are never owned.
struct RegistryKeyTraits {
  using Handle = HKEY;
  static bool Valid(HKEY key) { return key != nullptr; }
  static void Close(HKEY key) { RegCloseKey(key); }
};
using RegistryKey = OwnedHandle<RegistryKeyTraits>;

// A window destroyed when its owner goes (a message box's own window).
struct OwnedWindowTraits {
  using Handle = HWND;
  static bool Valid(HWND window) { return window != nullptr; }
  static void Close(HWND window) { DestroyWindow(window); }
};
using OwnedWindow = OwnedHandle<OwnedWindowTraits>;

// One reference to a COM interface, released exactly once.
template <typename T>
class ComPtr {
public:
  ComPtr() = default;
  explicit ComPtr(T* p) : p_(p) {}
  ~ComPtr() { Reset(); }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  ComPtr& operator=(ComPtr&& other) noexcept {
    if (this != &other) {
      Reset();
      p_ = std::exchange(other.p_, nullptr);
    }
    return *this;
  }

  T* operator->() const { return p_; }
  T* Get() const { return p_; }
  // For out-parameters: the previous interface is released first.
  T** Receive() {
    Reset();
    return &p_;
  }
  void** ReceiveVoid() { return reinterpret_cast<void**>(Receive()); }
  void Reset() {
    if (p_) std::exchange(p_, nullptr)->Release();
  }

private:
  T* p_ = nullptr;
};

// The component object library initialised for the thread for as long as the owner lives.
class ComLibrary {
public:
  ComLibrary() { OleInitialize(nullptr); }
  ~ComLibrary() { OleUninitialize(); }
  ComLibrary(const ComLibrary&) = delete;
  ComLibrary& operator=(const ComLibrary&) = delete;
};

// An object selected into a DC for one scope; the DC gets its previous object back at the end.
class SelectedObject {
public:
  SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;
  ~SelectedObject() {
    if (previous_ && previous_ != HGDI_ERROR) SelectObject(dc_, previous_);
  }

private:
  HDC dc_;
  HGDIOBJ previous_;
};

// A memory DC of its own (CreateCompatibleDC / DeleteDC).
class MemoryDC {
public:
  explicit MemoryDC(HDC like = nullptr) : dc_(CreateCompatibleDC(like)) {}
  MemoryDC(const MemoryDC&) = delete;
  MemoryDC& operator=(const MemoryDC&) = delete;
  ~MemoryDC() {
    if (dc_) DeleteDC(dc_);
  }
  HDC Get() const { return dc_; }

private:
  HDC dc_;
};

// A window's DC borrowed for one scope (GetDC / ReleaseDC); a null window gives the screen's.
class WindowDC {
public:
  explicit WindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;
  ~WindowDC() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  HDC Get() const { return dc_; }

private:
  HWND window_;
  HDC dc_;
};

// The DC of one WM_PAINT (BeginPaint / EndPaint).
class PaintDC {
public:
  explicit PaintDC(HWND window) : window_(window), dc_(BeginPaint(window, &paint_)) {}
  PaintDC(const PaintDC&) = delete;
  PaintDC& operator=(const PaintDC&) = delete;
  ~PaintDC() { EndPaint(window_, &paint_); }
  HDC Get() const { return dc_; }

private:
  HWND window_;
  PAINTSTRUCT paint_{};
  HDC dc_;
};

// The DC's whole state (clip region, origin, colours, selected objects) saved for one scope.
class SavedDCState {
public:
  explicit SavedDCState(HDC dc) : dc_(dc), saved_(SaveDC(dc)) {}
  SavedDCState(const SavedDCState&) = delete;
  SavedDCState& operator=(const SavedDCState&) = delete;
  ~SavedDCState() {
    if (saved_) RestoreDC(dc_, saved_);
  }

private:
  HDC dc_;
  int saved_;
};
