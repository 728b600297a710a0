// A small Win32 program for proving the robot: a window with an edit box, a label and
// buttons that open the system's message boxes and a home-made dialog built from STATIC
// and BUTTON controls, as the setup's toolkit builds its own.
//   Ask    "Do you like robots?" (question, Yes/No); Yes then shows "Glad to hear it."
//          (information, OK). The label reads "Answer: Yes" or "Answer: No".
//   Greet  "Hello, <edit text>!" (no icon, OK), or "Type a name first." (stop, OK) when the
//          edit box is empty.
//   Custom the home-made dialog "Keep going?" (exclamation, &Yes/&No); label "Custom: Yes/No".
//   Close  ends the program with exit code 7.
// The close box asks "Quit the sample?" (exclamation, Yes/No) and ends with code 0 on Yes.
// It carries setup.exe's manifest, so its text is UTF-8; the edit box is a 16-bit window fed
// by 16-bit message loops, so that typed letters of any script arrive whole.
#include <windows.h>

#include <string>

namespace {

const char* const WindowClass = "KestrelRobotSample";
const char* const DialogClass = "KestrelRobotSampleDialog";
enum : int { IdEdit = 100, IdAsk, IdGreet, IdCustom, IdClose, IdLabel };
constexpr int CloseButtonExitCode = 7;

HWND edit, label;
int dialogResult;

std::string TextOf(HWND window) {
  char text[512] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

HWND Child(HWND parent, const char* cls, const char* text, DWORD style, int x, int y, int w, int h,
           int id) {
  return CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
}

LRESULT CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
    dialogResult = LOWORD(wParam);
    DestroyWindow(window);
    return 0;
  }
  if (message == WM_CLOSE) {
    dialogResult = IDNO;
    DestroyWindow(window);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

// A modal question made of real controls, with its own loop and its owner disabled.
int CustomQuestion(HWND owner, const char* caption, const char* text) {
  HWND box = CreateWindowExA(WS_EX_DLGMODALFRAME, DialogClass, caption,
                             WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 300, 300, 300, 140,
                             owner, nullptr, nullptr, nullptr);
  HWND icon = Child(box, "STATIC", "", SS_ICON, 12, 12, 32, 32, 0);
  SendMessageA(icon, STM_SETICON, reinterpret_cast<WPARAM>(LoadIconA(nullptr, IDI_EXCLAMATION)), 0);
  Child(box, "STATIC", text, SS_LEFT, 60, 20, 200, 20, 0);
  Child(box, "BUTTON", "&Yes", BS_DEFPUSHBUTTON | WS_TABSTOP, 60, 60, 80, 26, IDYES);
  Child(box, "BUTTON", "&No", BS_PUSHBUTTON | WS_TABSTOP, 150, 60, 80, 26, IDNO);
  EnableWindow(owner, FALSE);
  dialogResult = 0;
  MSG msg;
  while (dialogResult == 0 && GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  EnableWindow(owner, TRUE);
  SetActiveWindow(owner);
  return dialogResult;
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      edit = CreateWindowExW(
          0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP, 10, 10,
          200, 24, window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IdEdit)), nullptr, nullptr);
      Child(window, "BUTTON", "&Ask", BS_PUSHBUTTON | WS_TABSTOP, 10, 44, 80, 26, IdAsk);
      Child(window, "BUTTON", "&Greet", BS_PUSHBUTTON | WS_TABSTOP, 100, 44, 80, 26, IdGreet);
      Child(window, "BUTTON", "C&ustom", BS_PUSHBUTTON | WS_TABSTOP, 190, 44, 80, 26, IdCustom);
      Child(window, "BUTTON", "Close", BS_PUSHBUTTON | WS_TABSTOP, 280, 44, 80, 26, IdClose);
      label = Child(window, "STATIC", "Nothing yet", SS_LEFT, 10, 80, 300, 20, IdLabel);
      return 0;
    case WM_COMMAND:
      if (HIWORD(wParam) != BN_CLICKED) break;
      switch (LOWORD(wParam)) {
        case IdAsk: {
          const bool yes = MessageBoxA(window, "Do you like robots?", "Sample question",
                                       MB_YESNO | MB_ICONQUESTION) == IDYES;
          SetWindowTextA(label, yes ? "Answer: Yes" : "Answer: No");
          if (yes) MessageBoxA(window, "Glad to hear it.", "Sample", MB_OK | MB_ICONINFORMATION);
          return 0;
        }
        case IdGreet: {
          const std::string name = TextOf(edit);
          if (name.empty())
            MessageBoxA(window, "Type a name first.", "Error", MB_OK | MB_ICONERROR);
          else
            MessageBoxA(window, ("Hello, " + name + "!").c_str(), "Greeting", MB_OK);
          return 0;
        }
        case IdCustom:
          SetWindowTextA(label, CustomQuestion(window, "Warning", "Keep going?") == IDYES
                                    ? "Custom: Yes"
                                    : "Custom: No");
          return 0;
        case IdClose:
          DestroyWindow(window);
          PostQuitMessage(CloseButtonExitCode);
          return 0;
      }
      break;
    case WM_CLOSE:
      if (MessageBoxA(window, "Quit the sample?", "Warning", MB_YESNO | MB_ICONWARNING) == IDYES) {
        DestroyWindow(window);
        PostQuitMessage(0);
      }
      return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  WNDCLASSA cls{};
  cls.lpfnWndProc = WindowProc;
  cls.hInstance = instance;
  cls.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  cls.lpszClassName = WindowClass;
  RegisterClassA(&cls);
  cls.lpfnWndProc = DialogProc;
  cls.lpszClassName = DialogClass;
  RegisterClassA(&cls);
  HWND window = CreateWindowExA(0, WindowClass, "Robot Sample", WS_OVERLAPPEDWINDOW, 100, 100, 400,
                                160, nullptr, nullptr, instance, nullptr);
  ShowWindow(window, show);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}
