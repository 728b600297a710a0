// Controls: the visual components of a window. TControl has a parent, bounds, visibility,
// colour, font and caption; TGraphicControl has no window of its own and paints into its
// parent's; TWinControl owns a window handle (created on demand) and its child controls.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "toolkit/Color.h"
#include "toolkit/Component.h"
#include "toolkit/Rect.h"
#include "toolkit/win32/Canvas.h"

using TNotifyEvent = std::function<void(TObject* sender)>;

enum TAlign : uint8_t { alNone, alClient };

class TWinControl;

class TControl : public TComponent {
public:
  explicit TControl(TComponent* owner);
  ~TControl() override;

  TWinControl* Parent() const { return parent_; }
  void SetParent(TWinControl* parent);

  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
  void SetTop(int v) { SetBounds(left_, v, width_, height_); }
  void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
  void SetHeight(int v) { SetBounds(left_, top_, width_, v); }
  virtual void SetBounds(int left, int top, int width, int height);
  TRect BoundsRect() const { return Bounds(left_, top_, width_, height_); }
  // The area children and painting use, in the control's own coordinates.
  virtual TRect ClientRect();

  TAlign Align() const { return align_; }
  void SetAlign(TAlign align);

  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption);

  // The control's colour; with ParentColor set (the default) the parent's.
  TColor Color() const;
  void SetColor(TColor color);
  bool ParentColor() const { return parentColor_; }
  void SetParentColor(bool value);

  // With ParentFont set (the default) the font follows the parent's; changing the font
  // itself clears ParentFont.
  TFont& Font() { return font_; }
  bool ParentFont() const { return parentFont_; }
  void SetParentFont(bool value);

  int Tag() const { return tag_; }
  void SetTag(int tag) { tag_ = tag; }
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& hint) { hint_ = hint; }

  TNotifyEvent OnClick;
  virtual void Click();

  // Marks the control's area for repainting.
  virtual void Invalidate();
  // Sends a message to the control as Windows would: a windowed control through its
  // window, a graphic control answers it itself (0 for anything it does not handle).
  virtual LRESULT Perform(UINT message, WPARAM wParam, LPARAM lParam);

protected:
  virtual void BoundsChanged(const TRect& old) { (void)old; }
  virtual void VisibleChanged() {}
  virtual void CaptionChanged() { Invalidate(); }
  virtual void ColorChanged() { Invalidate(); }
  virtual void FontChanged() { Invalidate(); }
  virtual void ParentChanged() {}

private:
  friend class TWinControl;
  void ParentFontChanged();
  void ParentColorChanged();

  TWinControl* parent_ = nullptr;
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  TAlign align_ = alNone;
  bool visible_ = true;
  std::string caption_;
  TColor color_ = clBtnFace;
  bool parentColor_ = true;
  TFont font_;
  bool parentFont_ = true;
  bool assigningParentFont_ = false;
  int tag_ = 0;
  std::string hint_;
};

// The mouse pointer shown over a control: 0 the parent's, negative the system's shapes.
using TCursor = int;
constexpr TCursor crDefault = 0;

// A control without a window: it paints into its parent's window, with the origin moved to
// its own top left corner and the drawing clipped to its rectangle.
class TGraphicControl : public TControl {
public:
  explicit TGraphicControl(TComponent* owner) : TControl(owner) {}

  // An opaque control paints every pixel of its rectangle, so its parent leaves that
  // rectangle out when it paints its own background and nothing flashes beneath it.
  bool Opaque() const { return opaque_; }
  void SetOpaque(bool value) { opaque_ = value; }

  // Properties a layout may give a graphic control. The program shows no hints, pop-up
  // menus or per-control pointers and a graphic control takes no input, so they are kept
  // only for what reads them back.
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value) { enabled_ = value; }
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool value) { showHint_ = value; }
  bool ParentShowHint() const { return parentShowHint_; }
  void SetParentShowHint(bool value) { parentShowHint_ = value; }
  TComponent* PopupMenu() const { return popupMenu_; }
  void SetPopupMenu(TComponent* menu) { popupMenu_ = menu; }
  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor cursor) { cursor_ = cursor; }

  // The canvas of the paint in progress. Outside a paint it has no DC and drawing raises.
  TCanvas& Canvas() { return canvas_; }

  // Paints at once on the parent's window (whose handle is created on demand); raises
  // EInvalidOperation "Control '%s' has no parent window" without a parent.
  void PaintNow();
  // Paints into dc, whose origin is the parent's client origin (the parent's WM_PAINT).
  void PaintOn(HDC dc);

  void Invalidate() override;

protected:
  virtual void Paint() {}
  void BoundsChanged(const TRect& old) override;
  void VisibleChanged() override;

private:
  void PaintWithOrigin(HDC dc);

  TCanvas canvas_;
  bool opaque_ = false;
  bool enabled_ = true;
  bool showHint_ = false;
  bool parentShowHint_ = true;
  TComponent* popupMenu_ = nullptr;
  TCursor cursor_ = crDefault;
};

// A control with a window of its own. The handle is created the first time it is needed
// (the parent's first); children with windows are created with it.
class TWinControl : public TControl {
public:
  explicit TWinControl(TComponent* owner);
  ~TWinControl() override;

  HWND Handle();
  bool HandleAllocated() const { return handle_ != nullptr; }

  int ControlCount() const { return static_cast<int>(controls_.size()); }
  TControl* Controls(int index) const { return controls_.at(index); }

  int TabOrder() const;
  void SetTabOrder(int order);
  bool TabStop() const { return tabStop_; }
  void SetTabStop(bool value);

  void SetBounds(int left, int top, int width, int height) override;
  TRect ClientRect() override;
  void Invalidate() override;
  LRESULT Perform(UINT message, WPARAM wParam, LPARAM lParam) override;
  void SetFocus();
  bool Focused();

  // Moves each alClient child over the client area.
  void Realign();

  // The control whose window this is, or nullptr.
  static TWinControl* FindControl(HWND window);

protected:
  struct TCreateParams {
    std::string className;              // our own window class, registered on first use
    const char* systemClass = nullptr;  // or a Windows control class to subclass
    DWORD style = 0;
    DWORD exStyle = 0;
    int x = 0, y = 0, width = 0, height = 0;
    HWND parent = nullptr;
  };
  virtual void CreateParams(TCreateParams& params);
  // The height given to the window itself (a drop-down list asks for room for its list).
  virtual int WindowHeight() { return Height(); }
  // Runs after the window exists and before its children are created.
  virtual void HandleCreated() {}
  // The window procedure of this control; unhandled messages go to DefaultHandler.
  virtual LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam);
  // What Windows does with the message: the control class's own procedure or
  // DefWindowProc.
  LRESULT DefaultHandler(UINT message, WPARAM wParam, LPARAM lParam);
  // WM_COMMAND and WM_DRAWITEM that Windows sends the parent about this control.
  virtual void CommandNotify(WORD code) { (void)code; }
  virtual void DrawItem(const DRAWITEMSTRUCT& item) { (void)item; }
  // Fills the background and paints the graphic children (our own window classes).
  virtual void PaintWindow(HDC dc);
  virtual void PaintBackground(HDC dc);

  void BoundsChanged(const TRect& old) override;
  void VisibleChanged() override;
  void CaptionChanged() override;
  void FontChanged() override;
  void ParentChanged() override;
  void DestroyHandle();
  int ControlId() const { return id_; }

private:
  friend class TControl;
  friend class TForm;
  static LRESULT CALLBACK StaticWndProc(HWND, UINT, WPARAM, LPARAM);
  LRESULT SafeWndProc(UINT message, WPARAM wParam, LPARAM lParam);
  void CreateHandle();
  void InsertControl(TControl* control);
  void RemoveControl(TControl* control);
  void ApplyTabOrder();
  void SyncBoundsFromWindow();
  void MoveFocusAwayIfInside();

  HWND handle_ = nullptr;
  WNDPROC defaultProc_ = nullptr;
  int id_;
  bool tabStop_ = false;
  bool syncing_ = false;
  std::vector<TControl*> controls_;    // painting order
  std::vector<TWinControl*> tabList_;  // tab order
};
