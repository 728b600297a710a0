#include "toolkit/win32/Dialogs.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "toolkit/Exception.h"
#include "toolkit/Handles_win32.h"
#include "toolkit/win32/Application.h"
#include "toolkit/win32/Forms.h"
#include "toolkit/win32/WideText.h"

namespace {
constexpr const char* kDialogClass = "KestrelMessageDialog";
constexpr const char* kClipboardRule = "---------------------------";
constexpr const char* kYesCaption = "&Yes";
constexpr const char* kNoCaption = "&No";
constexpr const char* kOkCaption = "OK";

// Sizes in pixels at 96 pixels per inch.
constexpr int kMargin = 12;
constexpr int kIconSize = 32;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;
constexpr int kButtonGap = 6;
constexpr int kMaxTextWidth = 420;
// Narrowest client area: a window manager's own title bar (icon, caption, three buttons)
// needs about this much to show a short caption such as "Setup" whole.
constexpr int kMinClientWidth = 220;

TMessageAnswerer& CurrentAnswerer() {
  static TMessageAnswerer answerer;
  return answerer;
}

struct ButtonSpec {
  int id;
  const char* caption;
};

std::vector<ButtonSpec> ButtonsOf(TMsgDlgButtons buttons) {
  std::vector<ButtonSpec> list;
  if (buttons & mbYes) list.push_back({IDYES, kYesCaption});
  if (buttons & mbNo) list.push_back({IDNO, kNoCaption});
  if (buttons & mbOK) list.push_back({IDOK, kOkCaption});
  return list;
}

std::string WithoutAccelerator(const char* caption) {
  std::string text = caption;
  text.erase(std::remove(text.begin(), text.end(), '&'), text.end());
  return text;
}

LPCSTR IconOf(TMsgDlgType type) {
  switch (type) {
    case mtWarning:
      return IDI_WARNING;
    case mtError:
      return IDI_ERROR;
    case mtInformation:
      return IDI_INFORMATION;
    case mtConfirmation:
      return IDI_QUESTION;
    default:
      return nullptr;
  }
}

// The state of one box while it is up.
struct DialogState {
  TMessageQuestion question;
  int defaultId = IDOK;
  int escapeId = IDOK;
  int result = 0;
};

// As 16-bit text: the system would read 8-bit text in the input language's code page,
// which is not the program's under UTF-8.
void CopyToClipboard(HWND owner, const std::string& text) {
  if (!OpenClipboard(owner)) return;
  EmptyClipboard();
  const std::wstring wide = WideText(text);
  const size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
  if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
    std::memcpy(GlobalLock(memory), wide.c_str(), bytes);
    GlobalUnlock(memory);
    if (!SetClipboardData(CF_UNICODETEXT, memory)) GlobalFree(memory);
  }
  CloseClipboard();
}

// Ends the box with an answer. A message sent from another program is handled inside
// GetMessage, which returns only for a posted one: the posted WM_NULL wakes the loop.
void Answer(HWND window, DialogState& state, int id) {
  if (state.result != 0) return;
  state.result = id;
  PostMessageA(window, WM_NULL, 0, 0);
}

LRESULT CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* state = reinterpret_cast<DialogState*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  switch (message) {
    case DM_GETDEFID:
      if (state) return MAKELRESULT(state->defaultId, DC_HASDEFID);
      break;
    case WM_COMMAND:
      if (state) {
        int id = LOWORD(wParam);
        if (id == IDCANCEL) id = state->escapeId;
        if (id == IDYES || id == IDNO || id == IDOK) Answer(window, *state, id);
      }
      return 0;
    case WM_CLOSE:
      if (state) Answer(window, *state, state->escapeId);
      return 0;
    default:
      break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

void RegisterDialogClass() {
  static bool registered = false;
  if (registered) return;
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = &DialogProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kDialogClass;
  wc.cbWndExtra = 0;
  if (!RegisterClassExA(&wc)) throw EInvalidOperation("Cannot register the message box class");
  registered = true;
}

// Quiets the thread's other windows while the box is up and restores them after. The
// application's forms keep taking input, as a person expects of the program's windows: the
// main form's close box raises its close question on top of the box, and another form's
// buttons (the extraction window's Cancel) act. Only the main form's controls are disabled,
// so that nothing there starts a step anew while a question waits. Other windows (a box
// below this one) are disabled whole.
class OtherWindowsQuiet {
public:
  OtherWindowsQuiet() {
    std::vector<HWND> topLevel;
    EnumThreadWindows(GetCurrentThreadId(), &Collect, reinterpret_cast<LPARAM>(&topLevel));
    for (HWND w : topLevel) {
      const bool isMainForm = Application && Application->MainForm() &&
                              Application->MainForm()->HandleAllocated() &&
                              Application->MainForm()->Handle() == w;
      if (isMainForm) {
        for (HWND child = GetWindow(w, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
          if (IsWindowEnabled(child)) Disable(child);
      } else if (!dynamic_cast<TForm*>(TWinControl::FindControl(w))) {
        Disable(w);
      }
    }
  }
  OtherWindowsQuiet(const OtherWindowsQuiet&) = delete;
  OtherWindowsQuiet& operator=(const OtherWindowsQuiet&) = delete;
  ~OtherWindowsQuiet() {
    for (HWND w : disabled_)
      if (IsWindow(w)) EnableWindow(w, TRUE);
  }

private:
  static BOOL CALLBACK Collect(HWND window, LPARAM list) {
    if (IsWindowVisible(window) && IsWindowEnabled(window))
      reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
  }
  void Disable(HWND window) {
    EnableWindow(window, FALSE);
    disabled_.push_back(window);
  }
  std::vector<HWND> disabled_;
};

// The box as measured before any window exists: its font, the text's rectangle and the
// places of the icon, the text and the buttons, all in pixels at the screen's resolution.
struct DialogMeasure {
  FontHandle font;  // the message font, which the controls use for as long as they live
  LPCSTR icon = nullptr;
  std::vector<ButtonSpec> buttons;
  int dpi = 96;
  RECT textRect{};
  int textLeft = 0;
  int bodyHeight = 0;
  int buttonsWidth = 0;
  int buttonsTop = 0;
  int clientWidth = 0;
  RECT outer{};  // the whole window, centred on the screen

  int Px(int v) const { return MulDiv(v, dpi, 96); }
};

constexpr DWORD kDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kDialogExStyle = WS_EX_DLGMODALFRAME | WS_EX_TOPMOST | WS_EX_CONTROLPARENT;

DialogMeasure MeasureDialog(const TMessageQuestion& question) {
  DialogMeasure m;
  m.buttons = ButtonsOf(question.buttons);
  m.icon = IconOf(question.type);

  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  m.font.Reset(CreateFontIndirectA(&metrics.lfMessageFont));

  const WindowDC screen(nullptr);
  m.dpi = GetDeviceCaps(screen.Get(), LOGPIXELSY);
  m.textRect = {0, 0, m.Px(kMaxTextWidth), 0};
  {
    SelectedObject selected(screen.Get(), m.font.Get());
    DrawTextW(screen.Get(), WideText(question.text).c_str(), -1, &m.textRect,
              DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
  }
  m.textLeft = m.Px(kMargin) + (m.icon ? m.Px(kIconSize) + m.Px(kMargin) : 0);
  m.bodyHeight = std::max<int>(m.textRect.bottom, m.icon ? m.Px(kIconSize) : 0);
  const int count = static_cast<int>(m.buttons.size());
  m.buttonsWidth = count * m.Px(kButtonWidth) + (count - 1) * m.Px(kButtonGap);
  // Wide enough for the caption too, beside the title bar's buttons, as Windows' own boxes
  // are: a short text such as "Kestrel Setup Complete." must not cut the caption.
  SIZE captionSize{};
  {
    FontHandle captionFont(CreateFontIndirectA(&metrics.lfCaptionFont));
    SelectedObject selected(screen.Get(), captionFont.Get());
    const std::wstring caption = WideText(question.caption);
    GetTextExtentPoint32W(screen.Get(), caption.c_str(), static_cast<int>(caption.size()),
                          &captionSize);
  }
  const int captionWidth = captionSize.cx + 4 * GetSystemMetrics(SM_CXSIZE) + 2 * m.Px(kMargin);
  m.clientWidth =
      std::max({m.textLeft + static_cast<int>(m.textRect.right) + m.Px(kMargin),
                m.buttonsWidth + 2 * m.Px(kMargin), captionWidth, m.Px(kMinClientWidth)});
  m.buttonsTop = m.Px(kMargin) + m.bodyHeight + m.Px(kMargin);
  const int clientHeight = m.buttonsTop + m.Px(kButtonHeight) + m.Px(kMargin);

  RECT outer{0, 0, m.clientWidth, clientHeight};
  AdjustWindowRectEx(&outer, kDialogStyle, FALSE, kDialogExStyle);
  const int width = outer.right - outer.left;
  const int height = outer.bottom - outer.top;
  const int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  const int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  m.outer = {x, y, x + width, y + height};
  return m;
}

// The box's window with its icon, text and buttons, not yet shown.
struct DialogWindow {
  OwnedWindow window;
  HWND defaultButton = nullptr;
};

DialogWindow CreateDialogControls(const TMessageQuestion& question, const DialogMeasure& m,
                                  DialogState& state, HWND owner) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  DialogWindow dialog;
  dialog.window.Reset(CreateWindowExA(kDialogExStyle, kDialogClass, question.caption.c_str(),
                                      kDialogStyle, m.outer.left, m.outer.top,
                                      m.outer.right - m.outer.left, m.outer.bottom - m.outer.top,
                                      owner, nullptr, instance, nullptr));
  const HWND window = dialog.window.Get();
  if (!window) throw EInvalidOperation("Cannot create the message box");
  SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&state));

  auto child = [&](const char* cls, const char* text, DWORD childStyle, int cx, int cy, int cw,
                   int ch, int id) {
    HWND w =
        CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | childStyle, cx, cy, cw, ch, window,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    SendMessageA(w, WM_SETFONT, reinterpret_cast<WPARAM>(m.font.Get()), FALSE);
    return w;
  };
  if (m.icon) {
    HWND iconWindow = child("STATIC", "", SS_ICON, m.Px(kMargin), m.Px(kMargin), m.Px(kIconSize),
                            m.Px(kIconSize), -1);
    SendMessageA(iconWindow, STM_SETICON, reinterpret_cast<WPARAM>(LoadIconA(nullptr, m.icon)), 0);
  }
  const int textTop = m.Px(kMargin) + (m.bodyHeight - m.textRect.bottom) / 2;
  child("STATIC", question.text.c_str(), SS_LEFT | SS_NOPREFIX, m.textLeft, textTop,
        m.textRect.right, m.textRect.bottom, -1);
  int buttonX = (m.clientWidth - m.buttonsWidth) / 2;
  for (const ButtonSpec& b : m.buttons) {
    const bool isDefault = b.id == state.defaultId;
    HWND w = child("BUTTON", b.caption,
                   WS_TABSTOP | (isDefault ? BS_DEFPUSHBUTTON | WS_GROUP : BS_PUSHBUTTON), buttonX,
                   m.buttonsTop, m.Px(kButtonWidth), m.Px(kButtonHeight), b.id);
    if (isDefault) dialog.defaultButton = w;
    buttonX += m.Px(kButtonWidth) + m.Px(kButtonGap);
  }
  return dialog;
}

// Shows the box and runs its messages until it is answered, the application ends or the
// thread's loop is told to quit; then hides it and gives the owner back its activation.
int RunDialogLoop(const TMessageQuestion& question, const DialogWindow& dialog, DialogState& state,
                  HWND owner) {
  const HWND window = dialog.window.Get();
  ShowWindow(window, SW_SHOW);
  SetForegroundWindow(window);
  if (dialog.defaultButton) SetFocus(dialog.defaultButton);

  while (state.result == 0) {
    if (Application && Application->Terminated()) {
      state.result = IDNO;
      break;
    }
    MSG message;
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0 || got == -1) {
      if (got == 0) PostQuitMessage(static_cast<int>(message.wParam));  // for the outer loop
      if (Application) Application->Terminate();
      state.result = IDNO;
      break;
    }
    if (message.message == WM_KEYDOWN && message.wParam == 'C' && GetKeyState(VK_CONTROL) < 0 &&
        (message.hwnd == window || IsChild(window, message.hwnd))) {
      CopyToClipboard(window, MessageBoxClipboardText(question));
      continue;
    }
    if (IsDialogMessageW(window, &message)) continue;  // 16-bit, as TApplication::Dispatch
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  ShowWindow(window, SW_HIDE);
  if (owner && IsWindow(owner)) SetActiveWindow(owner);
  return state.result;
}

TModalResult RunDialog(const TMessageQuestion& question) {
  RegisterDialogClass();
  DialogState state;
  state.question = question;
  // Declared in this order so that the window goes first, then the other windows are
  // enabled again, and the font the controls used goes last.
  const DialogMeasure measure = MeasureDialog(question);
  state.defaultId = measure.buttons.empty() ? IDOK : measure.buttons.front().id;
  state.escapeId = (question.buttons & mbNo) ? IDNO : state.defaultId;
  const HWND owner = GetActiveWindow();
  OtherWindowsQuiet quiet;
  const DialogWindow dialog = CreateDialogControls(question, measure, state, owner);
  return static_cast<TModalResult>(RunDialogLoop(question, dialog, state, owner));
}
}  // namespace

std::string MessageDlgCaption(TMsgDlgType type) {
  switch (type) {
    case mtWarning:
      return "Warning";
    case mtError:
      return "Error";
    case mtInformation:
      return "Information";
    case mtConfirmation:
      return "Confirm";
    default:
      return Application ? Application->Title() : std::string();
  }
}

std::string MessageBoxClipboardText(const TMessageQuestion& question) {
  std::string text;
  auto rule = [&] { text += std::string(kClipboardRule) + "\r\n"; };
  rule();
  text += question.caption + "\r\n";
  rule();
  text += question.text + "\r\n";
  rule();
  for (const ButtonSpec& b : ButtonsOf(question.buttons))
    text += WithoutAccelerator(b.caption) + "   ";
  text += "\r\n";
  rule();
  return text;
}

TModalResult ShowMessageBox(const std::string& text, const std::string& caption, TMsgDlgType type,
                            TMsgDlgButtons buttons) {
  if (Application && Application->Terminated()) return mrNo;
  const TMessageQuestion question{text, caption, type, buttons};
  if (CurrentAnswerer()) return CurrentAnswerer()(question);
  return RunDialog(question);
}

TModalResult MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons) {
  return ShowMessageBox(text, MessageDlgCaption(type), type, buttons);
}

TMessageAnswerer SetMessageAnswerer(TMessageAnswerer answerer) {
  TMessageAnswerer previous = std::move(CurrentAnswerer());
  CurrentAnswerer() = std::move(answerer);
  return previous;
}
