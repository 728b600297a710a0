/* A stand-in for the Kestrel 2.2 FTP client: the program that the setup installs. It
   opens one window titled "Kestrel 2.2" and says what it is, which is all the setup and
   its tests need of the installed executable. Plain C and the Win32 API only, so that it
   builds the same with any MinGW compiler and needs no runtime library. */
#include <windows.h>

static const char kWindowClass[] = "KestrelMainWindow";
static const char kTitle[] = "Kestrel 2.2";
static const char kGreeting[] =
    "Kestrel 2.2 FTP client\r\n"
    "Copyright (c) 1997 Harrowby, Inc.\r\n\r\n"
    "Choose File > Connect to open a site from your site list.";

enum { kMenuConnect = 100, kMenuExit = 101, kMenuAbout = 102 };

static HMENU BuildMenu(void) {
  HMENU bar = CreateMenu();
  HMENU file = CreatePopupMenu();
  HMENU help = CreatePopupMenu();
  AppendMenuA(file, MF_STRING, kMenuConnect, "&Connect...");
  AppendMenuA(file, MF_SEPARATOR, 0, NULL);
  AppendMenuA(file, MF_STRING, kMenuExit, "E&xit");
  AppendMenuA(help, MF_STRING, kMenuAbout, "&About Kestrel...");
  AppendMenuA(bar, MF_POPUP, (UINT_PTR)file, "&File");
  AppendMenuA(bar, MF_POPUP, (UINT_PTR)help, "&Help");
  return bar;
}

static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT paint;
      RECT area;
      HDC dc = BeginPaint(window, &paint);
      GetClientRect(window, &area);
      InflateRect(&area, -16, -16);
      SetBkMode(dc, TRANSPARENT);
      DrawTextA(dc, kGreeting, -1, &area, DT_LEFT | DT_WORDBREAK);
      EndPaint(window, &paint);
      return 0;
    }
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case kMenuConnect:
          MessageBoxA(window, "This copy of Kestrel has no sites to connect to yet.", kTitle,
                      MB_OK | MB_ICONINFORMATION);
          return 0;
        case kMenuAbout:
          MessageBoxA(window, kGreeting, kTitle, MB_OK | MB_ICONINFORMATION);
          return 0;
        case kMenuExit:
          DestroyWindow(window);
          return 0;
      }
      break;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
  WNDCLASSA windowClass = {0};
  HWND window;
  MSG message;
  (void)previous;
  (void)commandLine;
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursor(NULL, IDC_ARROW);
  windowClass.hIcon = LoadIcon(NULL, IDI_APPLICATION);
  windowClass.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
  windowClass.lpszClassName = kWindowClass;
  if (!RegisterClassA(&windowClass)) return 1;
  window = CreateWindowA(kWindowClass, kTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                         520, 320, NULL, BuildMenu(), instance, NULL);
  if (window == NULL) return 1;
  ShowWindow(window, show);
  UpdateWindow(window);
  while (GetMessageA(&message, NULL, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return (int)message.wParam;
}
