#include "toolkit/win32/Forms.h"

#include "toolkit/win32/Application.h"
#include "toolkit/win32/StdCtrls.h"

namespace {
// The visible button of the form whose Default (or Cancel) flag is set, or nullptr.
TButton* FindButton(TWinControl& parent, bool wantDefault) {
  for (int i = 0; i < parent.ControlCount(); ++i) {
    TControl* c = parent.Controls(i);
    if (auto* button = dynamic_cast<TButton*>(c)) {
      if ((wantDefault ? button->Default() : button->Cancel()) && button->HandleAllocated() &&
          IsWindowVisible(button->Handle()))
        return button;
    } else if (auto* win = dynamic_cast<TWinControl*>(c)) {
      if (TButton* found = FindButton(*win, wantDefault)) return found;
    }
  }
  return nullptr;
}

TWinControl* FindById(TWinControl& parent, HWND window, int id) {
  HWND child = FindWindowExA(window, nullptr, nullptr, nullptr);
  for (; child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (GetDlgCtrlID(child) == id) return TWinControl::FindControl(child);
    if (TWinControl* found = FindById(parent, child, id)) return found;
  }
  return nullptr;
}
}  // namespace

TForm::TForm(TComponent* owner) : TWinControl(owner) {
  SetVisible(false);
  SetColor(clBtnFace);
}

void TForm::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.className = "KestrelForm";
  params.style = WS_CLIPCHILDREN;
  switch (borderStyle_) {
    case bsNone:
      params.style |= WS_POPUP;
      break;
    case bsSingle:
      params.style |= WS_CAPTION | WS_BORDER;
      break;
    case bsSizeable:
      params.style |= WS_CAPTION | WS_THICKFRAME;
      break;
    case bsDialog:
      params.style |= WS_CAPTION | WS_POPUP;
      params.exStyle |= WS_EX_DLGMODALFRAME;
      break;
  }
  if (borderStyle_ != bsNone) {
    if (borderIcons_ & biSystemMenu) params.style |= WS_SYSMENU;
    if (borderStyle_ != bsDialog) {
      if (borderIcons_ & biMinimize) params.style |= WS_MINIMIZEBOX;
      if (borderIcons_ & biMaximize) params.style |= WS_MAXIMIZEBOX;
    }
  }
  params.exStyle |= WS_EX_CONTROLPARENT;
  if (formStyle_ == fsStayOnTop) params.exStyle |= WS_EX_TOPMOST;
  // Any other form belongs to the main window: Windows gives an owned window no taskbar
  // button of its own, and keeps it above its owner.
  TForm* mainForm = Application ? Application->MainForm() : nullptr;
  if (mainForm && mainForm != this && mainForm->HandleAllocated())
    params.parent = mainForm->Handle();
}

// Border and icons change the window's style in place.
void TForm::RecreateStyle() {
  if (!HandleAllocated()) return;
  TCreateParams params;
  CreateParams(params);
  if (IsWindowVisible(Handle())) params.style |= WS_VISIBLE;
  SetWindowLongA(Handle(), GWL_STYLE, static_cast<LONG>(params.style));
  SetWindowLongA(Handle(), GWL_EXSTYLE, static_cast<LONG>(params.exStyle));
  SetWindowPos(Handle(), formStyle_ == fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void TForm::SetBorderStyle(TFormBorderStyle style) {
  borderStyle_ = style;
  RecreateStyle();
}

void TForm::SetBorderIcons(TBorderIcons icons) {
  borderIcons_ = icons;
  RecreateStyle();
}

void TForm::SetFormStyle(TFormStyle style) {
  formStyle_ = style;
  RecreateStyle();
}

void TForm::SetWindowState(TWindowState state) {
  windowState_ = state;
  if (HandleAllocated() && Visible())
    ShowWindow(Handle(), state == wsMaximized   ? SW_MAXIMIZE
                         : state == wsMinimized ? SW_MINIMIZE
                                                : SW_RESTORE);
}

void TForm::SetClientWidth(int width) {
  Handle();  // the client area is known once the window exists
  const TRect client = ClientRect();
  SetWidth(Width() - client.Width() + width);
}

void TForm::SetClientHeight(int height) {
  Handle();
  const TRect client = ClientRect();
  SetHeight(Height() - client.Height() + height);
}

void TForm::VisibleChanged() {
  if (!Visible()) {
    if (HandleAllocated()) ShowWindow(Handle(), SW_HIDE);
    return;
  }
  HWND window = Handle();
  if (position_ == poScreenCenter && windowState_ == wsNormal)
    SetBounds((GetSystemMetrics(SM_CXSCREEN) - Width()) / 2,
              (GetSystemMetrics(SM_CYSCREEN) - Height()) / 2, Width(), Height());
  ShowWindow(window, windowState_ == wsMaximized   ? SW_SHOWMAXIMIZED
                     : windowState_ == wsMinimized ? SW_SHOWMINIMIZED
                                                   : SW_SHOWNORMAL);
  if (HWND first = GetNextDlgTabItem(window, nullptr, FALSE)) ::SetFocus(first);
  UpdateWindow(window);
}

bool TForm::CloseQuery() {
  bool canClose = true;
  if (OnCloseQuery) OnCloseQuery(this, canClose);
  return canClose;
}

void TForm::Close() {
  // The close box stays live while a question is up, the close question included; a second
  // press must not stack another question on the first.
  if (closing_) return;
  {
    closing_ = true;
    struct Asked {
      bool& flag;
      ~Asked() { flag = false; }
    } asked{closing_};
    if (!CloseQuery()) return;
  }
  if (Application && Application->MainForm() == this)
    Application->Terminate();
  else
    Hide();
}

void TForm::ClickDialogButton(int id) {
  TButton* button = nullptr;
  if (id == IDOK)
    button = FindButton(*this, true);
  else if (id == IDCANCEL)
    button = FindButton(*this, false);
  else
    button = dynamic_cast<TButton*>(FindById(*this, Handle(), id));
  if (button) button->Click();
}

LRESULT TForm::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE:
      Close();
      return 0;
    case DM_GETDEFID:
      if (TButton* button = FindButton(*this, true))
        return MAKELRESULT(button->ControlId(), DC_HASDEFID);
      return 0;
    case WM_COMMAND:
      if (lParam == 0 && HIWORD(wParam) == BN_CLICKED) {  // Enter or Esc in the form
        ClickDialogButton(LOWORD(wParam));
        return 0;
      }
      break;
    default:
      break;
  }
  return TWinControl::WndProc(message, wParam, lParam);
}

void TForm::LoadLayout(const std::string& resourceName, const TEventTable& handlers) {
  LoadLayoutText(LayoutResourceText(resourceName), handlers);
}

void TForm::LoadLayoutText(const std::string& text, const TEventTable& handlers) {
  ApplyLayout(*this, FormLayoutProperties(), text, handlers);
}

void TForm::DoCreate() {
  if (OnCreate) OnCreate(this);
}

const TPropertyTable& FormLayoutProperties() {
  using P = const TLayoutProperty&;
  static const TPropertiesOf<TForm> table{
      &WinControlLayoutProperties(),
      {
          {"BorderStyle",
           [](TForm& c, P p) {
             c.SetBorderStyle(static_cast<TFormBorderStyle>(
                 p.Enumeration({"bsNone", "bsSingle", "bsSizeable", "bsDialog"})));
           }},
          {"BorderIcons",
           [](TForm& c, P p) {
             c.SetBorderIcons(
                 static_cast<TBorderIcons>(p.SetOf({"biSystemMenu", "biMinimize", "biMaximize"})));
           }},
          {"WindowState",
           [](TForm& c, P p) {
             c.SetWindowState(static_cast<TWindowState>(
                 p.Enumeration({"wsNormal", "wsMinimized", "wsMaximized"})));
           }},
          {"FormStyle",
           [](TForm& c, P p) {
             c.SetFormStyle(static_cast<TFormStyle>(p.Enumeration({"fsNormal", "fsStayOnTop"})));
           }},
          {"Position",
           [](TForm& c, P p) {
             c.SetPosition(static_cast<TPosition>(p.Enumeration({"poDesigned", "poScreenCenter"})));
           }},
          {"ClientWidth", [](TForm& c, P p) { c.SetClientWidth(p.ScaledInteger()); }},
          {"ClientHeight", [](TForm& c, P p) { c.SetClientHeight(p.ScaledInteger()); }},
          {"OnCreate", [](TForm& c, P p) { c.OnCreate = p.Handler<TNotifyEvent>(); }},
          {"OnCloseQuery", [](TForm& c, P p) { c.OnCloseQuery = p.Handler<TCloseQueryEvent>(); }},
      }};
  return table;
}
