#include "toolkit/win32/Controls.h"

#include <algorithm>
#include <set>
#include <unordered_map>

#include "toolkit/Exception.h"
#include "toolkit/Format.h"
#include "toolkit/Handles_win32.h"
#include "toolkit/win32/Application.h"
#include "toolkit/win32/WideText.h"

namespace {
constexpr const char* kNoParentWindow = "Control '%s' has no parent window";

// Control identifiers start above the dialog command numbers (IDOK = 1 ... IDHELP = 9).
int nextControlId = 100;

std::unordered_map<HWND, TWinControl*>& WindowMap() {
  static std::unordered_map<HWND, TWinControl*> map;
  return map;
}

// Windows sends the first messages of a new window of our own classes before
// CreateWindowEx returns; the control being created is handed over here.
TWinControl* creating = nullptr;

void RegisterOwnClass(const std::string& name, WNDPROC proc) {
  static std::set<std::string> registered;
  if (registered.count(name)) return;
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = proc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = name.c_str();
  if (!RegisterClassExA(&wc)) throw EInvalidOperation("Cannot register window class " + name);
  registered.insert(name);
}

// Clears a canvas's DC when a paint ends, also when it ends by an exception.
class CanvasBinding {
public:
  CanvasBinding(TCanvas& canvas, HDC dc) : canvas_(canvas) { canvas_.SetHandle(dc); }
  CanvasBinding(const CanvasBinding&) = delete;
  CanvasBinding& operator=(const CanvasBinding&) = delete;
  ~CanvasBinding() { canvas_.SetHandle(nullptr); }

private:
  TCanvas& canvas_;
};
}  // namespace

// ---- TControl ----

TControl::TControl(TComponent* owner) : TComponent(owner) {
  font_.OnChange = [this] {
    if (!assigningParentFont_) parentFont_ = false;
    FontChanged();
  };
}

TControl::~TControl() {
  font_.OnChange = nullptr;
  if (parent_) {
    Invalidate();
    parent_->RemoveControl(this);
    parent_ = nullptr;
  }
}

void TControl::SetParent(TWinControl* parent) {
  if (parent == parent_) return;
  if (parent_) {
    Invalidate();
    parent_->RemoveControl(this);
  }
  parent_ = parent;
  if (parent_) {
    parent_->InsertControl(this);
    ParentFontChanged();
    ParentColorChanged();
  }
  ParentChanged();
  if (parent_) {
    if (align_ == alClient) parent_->Realign();
    Invalidate();
  }
}

void TControl::SetBounds(int left, int top, int width, int height) {
  if (align_ == alClient && parent_) {
    // A client-aligned control always fills its parent; a new position or size does not
    // move it off the client area.
    const TRect client = parent_->ClientRect();
    left = client.Left;
    top = client.Top;
    width = client.Width();
    height = client.Height();
  }
  const TRect old = BoundsRect();
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  if (!(old == BoundsRect())) BoundsChanged(old);
}

TRect TControl::ClientRect() {
  return Rect(0, 0, width_, height_);
}

void TControl::SetAlign(TAlign align) {
  align_ = align;
  if (align_ == alClient && parent_) parent_->Realign();
}

void TControl::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  VisibleChanged();
}

void TControl::SetCaption(const std::string& caption) {
  if (caption == caption_) return;
  caption_ = caption;
  CaptionChanged();
}

TColor TControl::Color() const {
  return parentColor_ && parent_ ? parent_->Color() : color_;
}

void TControl::SetColor(TColor color) {
  color_ = color;
  parentColor_ = false;
  ParentColorChanged();
}

void TControl::SetParentColor(bool value) {
  if (value == parentColor_) return;
  if (!value) color_ = Color();  // keeps the colour it showed
  parentColor_ = value;
  ParentColorChanged();
}

void TControl::ParentColorChanged() {
  ColorChanged();
  if (auto* self = dynamic_cast<TWinControl*>(this))
    for (TControl* child : self->controls_)
      if (child->parentColor_) child->ParentColorChanged();
}

void TControl::SetParentFont(bool value) {
  parentFont_ = value;
  if (value) ParentFontChanged();
}

void TControl::ParentFontChanged() {
  if (!parentFont_ || !parent_) return;
  assigningParentFont_ = true;
  font_.Assign(parent_->Font());
  assigningParentFont_ = false;
  parentFont_ = true;
}

void TControl::Click() {
  if (OnClick) OnClick(this);
}

void TControl::Invalidate() {}

LRESULT TControl::Perform(UINT, WPARAM, LPARAM) {
  return 0;
}

// ---- TGraphicControl ----

void TGraphicControl::PaintNow() {
  if (!Parent()) throw EInvalidOperation(Format(kNoParentWindow, Name().c_str()));
  WindowDC dc(Parent()->Handle());
  PaintWithOrigin(dc.Get());
}

void TGraphicControl::PaintOn(HDC dc) {
  PaintWithOrigin(dc);
}

void TGraphicControl::PaintWithOrigin(HDC dc) {
  SavedDCState state(dc);
  IntersectClipRect(dc, Left(), Top(), Left() + Width(), Top() + Height());
  OffsetViewportOrgEx(dc, Left(), Top(), nullptr);
  CanvasBinding binding(canvas_, dc);
  Paint();
}

void TGraphicControl::Invalidate() {
  if (!Parent() || !Parent()->HandleAllocated()) return;
  RECT r{Left(), Top(), Left() + Width(), Top() + Height()};
  InvalidateRect(Parent()->Handle(), &r, TRUE);
}

void TGraphicControl::BoundsChanged(const TRect& old) {
  if (Parent() && Parent()->HandleAllocated()) {
    RECT r{old.Left, old.Top, old.Right, old.Bottom};
    InvalidateRect(Parent()->Handle(), &r, TRUE);
  }
  Invalidate();
}

void TGraphicControl::VisibleChanged() {
  if (!Parent() || !Parent()->HandleAllocated()) return;
  RECT r{Left(), Top(), Left() + Width(), Top() + Height()};
  InvalidateRect(Parent()->Handle(), &r, TRUE);
}

// ---- TWinControl ----

TWinControl::TWinControl(TComponent* owner) : TControl(owner), id_(nextControlId++) {}

TWinControl::~TWinControl() {
  for (TControl* child : controls_) {
    if (auto* win = dynamic_cast<TWinControl*>(child)) win->DestroyHandle();
    child->parent_ = nullptr;
  }
  controls_.clear();
  tabList_.clear();
  DestroyHandle();
}

TWinControl* TWinControl::FindControl(HWND window) {
  auto it = WindowMap().find(window);
  return it == WindowMap().end() ? nullptr : it->second;
}

HWND TWinControl::Handle() {
  if (!handle_) CreateHandle();
  return handle_;
}

void TWinControl::CreateParams(TCreateParams& params) {
  params.className = "KestrelWindow";
  params.style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  if (Visible()) params.style |= WS_VISIBLE;
  if (tabStop_) params.style |= WS_TABSTOP;
  params.x = Left();
  params.y = Top();
  params.width = Width();
  params.height = WindowHeight();
}

void TWinControl::CreateHandle() {
  HWND parentWindow = nullptr;
  if (Parent()) {
    parentWindow = Parent()->Handle();
    if (handle_) return;  // the parent's creation made this window too
  }
  TCreateParams params;
  params.parent = parentWindow;  // a top-level window may name its owner here instead
  CreateParams(params);
  HINSTANCE instance = GetModuleHandleA(nullptr);
  HMENU id =
      (params.style & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<INT_PTR>(id_)) : nullptr;
  if (params.systemClass) {
    // A system control is a 16-bit window, and so is its subclass: an 8-bit window takes
    // typed letters one byte at a time, so a letter of more than one byte never arrives.
    HWND window =
        CreateWindowExW(params.exStyle, WideText(params.systemClass).c_str(),
                        WideText(Caption()).c_str(), params.style, params.x, params.y, params.width,
                        params.height, params.parent, id, instance, nullptr);
    if (!window)
      throw EInvalidOperation("Cannot create a window of class " + std::string(params.systemClass));
    handle_ = window;
    WindowMap()[window] = this;
    defaultProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&StaticWndProc)));
  } else {
    RegisterOwnClass(params.className, &StaticWndProc);
    defaultProc_ = nullptr;
    creating = this;
    HWND window = CreateWindowExA(params.exStyle, params.className.c_str(), Caption().c_str(),
                                  params.style, params.x, params.y, params.width, params.height,
                                  params.parent, id, instance, nullptr);
    creating = nullptr;
    if (!window) throw EInvalidOperation("Cannot create a window of class " + params.className);
  }
  SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(Font().Handle()), FALSE);
  HandleCreated();
  SyncBoundsFromWindow();
  for (TControl* child : controls_)
    if (auto* win = dynamic_cast<TWinControl*>(child)) win->CreateHandle();
  ApplyTabOrder();
  Realign();
}

void TWinControl::DestroyHandle() {
  if (!handle_) return;
  for (TControl* child : controls_)
    if (auto* win = dynamic_cast<TWinControl*>(child)) win->DestroyHandle();
  HWND window = handle_;
  DestroyWindow(window);
  WindowMap().erase(window);
  handle_ = nullptr;
}

LRESULT CALLBACK TWinControl::StaticWndProc(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
  TWinControl* control = FindControl(window);
  if (!control && creating) {  // the first messages of one of our own windows
    control = creating;
    control->handle_ = window;
    WindowMap()[window] = control;
  }
  if (!control) return DefWindowProcA(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    LRESULT result = control->DefaultHandler(message, wParam, lParam);
    WindowMap().erase(window);
    control->handle_ = nullptr;
    return result;
  }
  return control->SafeWndProc(message, wParam, lParam);
}

// Exceptions must not unwind through Windows' own frames: whatever a handler raises ends
// here and goes to the application's default handler.
LRESULT TWinControl::SafeWndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  try {
    return WndProc(message, wParam, lParam);
  } catch (const std::exception& error) {
    ShowUnhandledException(error);
    return 0;
  }
}

// A subclassed system control is a 16-bit window and gets 16-bit messages; the toolkit's
// own windows are 8-bit ones.
LRESULT TWinControl::DefaultHandler(UINT message, WPARAM wParam, LPARAM lParam) {
  if (defaultProc_) return CallWindowProcW(defaultProc_, handle_, message, wParam, lParam);
  return DefWindowProcA(handle_, message, wParam, lParam);
}

LRESULT TWinControl::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      if (defaultProc_) break;
      {
        const PaintDC dc(handle_);
        PaintWindow(dc.Get());
      }
      return 0;
    case WM_ERASEBKGND:
      if (defaultProc_) break;
      return 1;  // the background is painted with the rest in WM_PAINT
    case WM_COMMAND:
      if (lParam) {
        if (TWinControl* control = FindControl(reinterpret_cast<HWND>(lParam)))
          control->CommandNotify(HIWORD(wParam));
        return 0;
      }
      break;
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (TWinControl* control = FindControl(item->hwndItem)) {
        control->DrawItem(*item);
        return TRUE;
      }
      break;
    }
    case WM_SIZE:
    case WM_MOVE:
      SyncBoundsFromWindow();
      break;
    default:
      break;
  }
  return DefaultHandler(message, wParam, lParam);
}

void TWinControl::PaintBackground(HDC dc) {
  RECT r;
  GetClientRect(handle_, &r);
  BrushHandle brush(CreateSolidBrush(ColorToRGB(Color())));
  FillRect(dc, &r, brush.Get());
}

void TWinControl::PaintWindow(HDC dc) {
  {
    // The window's own content stays out of the opaque children's rectangles: they cover
    // every pixel there, and painting beneath them first would flash through.
    SavedDCState state(dc);
    for (TControl* child : controls_) {
      auto* graphic = dynamic_cast<TGraphicControl*>(child);
      if (!graphic || !graphic->Opaque() || !graphic->Visible()) continue;
      const TRect b = graphic->BoundsRect();
      ExcludeClipRect(dc, b.Left, b.Top, b.Right, b.Bottom);
    }
    PaintBackground(dc);
  }
  for (TControl* child : controls_) {
    auto* graphic = dynamic_cast<TGraphicControl*>(child);
    if (!graphic || !graphic->Visible()) continue;
    RECT r{graphic->Left(), graphic->Top(), graphic->Left() + graphic->Width(),
           graphic->Top() + graphic->Height()};
    if (RectVisible(dc, &r)) graphic->PaintOn(dc);
  }
}

void TWinControl::SyncBoundsFromWindow() {
  if (!handle_ || syncing_) return;
  RECT r;
  GetWindowRect(handle_, &r);
  if (HWND parent = GetParent(handle_); parent && (GetWindowLongA(handle_, GWL_STYLE) & WS_CHILD))
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
  syncing_ = true;
  TControl::SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
  syncing_ = false;
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
  TControl::SetBounds(left, top, width, height);
}

void TWinControl::BoundsChanged(const TRect& old) {
  if (handle_ && !syncing_) {
    SetWindowPos(handle_, nullptr, Left(), Top(), Width(), WindowHeight(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (old.Width() != Width() || old.Height() != Height()) Realign();
}

TRect TWinControl::ClientRect() {
  if (!handle_) return TControl::ClientRect();
  RECT r;
  GetClientRect(handle_, &r);
  return Rect(r.left, r.top, r.right, r.bottom);
}

void TWinControl::Realign() {
  const TRect client = ClientRect();
  for (TControl* child : controls_)
    if (child->Align() == alClient)
      child->SetBounds(client.Left, client.Top, client.Width(), client.Height());
}

void TWinControl::Invalidate() {
  if (handle_) InvalidateRect(handle_, nullptr, TRUE);
}

LRESULT TWinControl::Perform(UINT message, WPARAM wParam, LPARAM lParam) {
  return SendMessageA(Handle(), message, wParam, lParam);
}

void TWinControl::VisibleChanged() {
  if (!handle_) return;
  if (Visible()) {
    ShowWindow(handle_, SW_SHOWNA);
    HWND top = GetAncestor(handle_, GA_ROOT);
    HWND focus = GetFocus();
    if (top != handle_ && top == GetActiveWindow() && (!focus || focus == top))
      if (HWND first = GetNextDlgTabItem(top, nullptr, FALSE)) ::SetFocus(first);
  } else {
    ShowWindow(handle_, SW_HIDE);
    MoveFocusAwayIfInside();
  }
}

void TWinControl::MoveFocusAwayIfInside() {
  HWND focus = GetFocus();
  if (!focus || (focus != handle_ && !IsChild(handle_, focus))) return;
  HWND top = GetAncestor(handle_, GA_ROOT);
  if (top == handle_) return;
  HWND next = GetNextDlgTabItem(top, nullptr, FALSE);
  ::SetFocus(next && IsWindowVisible(next) ? next : top);
}

void TWinControl::CaptionChanged() {
  if (handle_) SetWindowTextA(handle_, Caption().c_str());
  Invalidate();
}

void TWinControl::FontChanged() {
  if (handle_) SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(Font().Handle()), TRUE);
  for (TControl* child : controls_) child->ParentFontChanged();
  Invalidate();
}

void TWinControl::ParentChanged() {
  if (Parent() && Parent()->HandleAllocated()) {
    CreateHandle();
    Parent()->ApplyTabOrder();
  }
}

void TWinControl::InsertControl(TControl* control) {
  controls_.push_back(control);
  if (auto* win = dynamic_cast<TWinControl*>(control)) tabList_.push_back(win);
}

void TWinControl::RemoveControl(TControl* control) {
  controls_.erase(std::remove(controls_.begin(), controls_.end(), control), controls_.end());
  tabList_.erase(std::remove(tabList_.begin(), tabList_.end(), control), tabList_.end());
}

int TWinControl::TabOrder() const {
  if (!Parent()) return -1;
  const auto& list = Parent()->tabList_;
  auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TWinControl::SetTabOrder(int order) {
  if (!Parent()) return;
  auto& list = Parent()->tabList_;
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
  order = std::clamp(order, 0, static_cast<int>(list.size()));
  list.insert(list.begin() + order, this);
  Parent()->ApplyTabOrder();
}

// Windows walks the Tab key through sibling windows in z-order, so the z-order follows
// the tab order.
void TWinControl::ApplyTabOrder() {
  if (!handle_) return;
  HWND after = HWND_TOP;
  for (TWinControl* control : tabList_) {
    if (!control->handle_) continue;
    SetWindowPos(control->handle_, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    after = control->handle_;
  }
}

void TWinControl::SetTabStop(bool value) {
  tabStop_ = value;
  if (!handle_) return;
  LONG style = GetWindowLongA(handle_, GWL_STYLE);
  SetWindowLongA(handle_, GWL_STYLE, value ? style | WS_TABSTOP : style & ~WS_TABSTOP);
}

void TWinControl::SetFocus() {
  ::SetFocus(Handle());
}

bool TWinControl::Focused() {
  return handle_ && GetFocus() == handle_;
}
