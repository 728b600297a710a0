// The real setup.exe on the test display: what a user sees of the main window, checked at
// a few pixels of a screen capture (saved beside the build as screens/mainwindow-test.bmp).
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "toolkit/win32/Canvas.h"

namespace {

// A path of the build folder (a Unix path in the environment) as Windows sees it.
std::string BuildPath(const std::string& relative) {
  const char* binary = std::getenv("KESTREL_BINARY_DIR");
  std::string path = std::string("Z:") + (binary ? binary : "") + "/" + relative;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

HWND WaitForWindow(DWORD processId, const char* caption, int milliseconds) {
  for (int waited = 0; waited < milliseconds; waited += 100) {
    for (HWND w = FindWindowA(nullptr, caption); w;
         w = FindWindowExA(nullptr, w, nullptr, caption)) {
      DWORD owner = 0;
      GetWindowThreadProcessId(w, &owner);
      if (owner == processId && IsWindowVisible(w)) return w;
    }
    Sleep(100);
  }
  return nullptr;
}

struct Capture {
  int width = GetSystemMetrics(SM_CXSCREEN);
  int height = GetSystemMetrics(SM_CYSCREEN);
  TBitmap bitmap;
  Capture() {
    bitmap.SetSize(width, height);
    HDC screen = GetDC(nullptr);
    BitBlt(bitmap.Canvas().Handle(), 0, 0, width, height, screen, 0, 0, SRCCOPY);
    ReleaseDC(nullptr, screen);
  }
  TColor At(POINT p) const { return bitmap.Pixel(p.x, p.y); }
  void SaveBmp(const std::string& path) const {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return;
    const int rowBytes = width * 3;
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + rowBytes * height;
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    std::fwrite(&file, sizeof file, 1, f);
    std::fwrite(&info, sizeof info, 1, f);
    std::vector<unsigned char> row(rowBytes);
    for (int y = height - 1; y >= 0; --y) {
      for (int x = 0; x < width; ++x) {
        const TColor c = bitmap.Pixel(x, y);
        row[x * 3] = ColorBlue(c);
        row[x * 3 + 1] = ColorGreen(c);
        row[x * 3 + 2] = ColorRed(c);
      }
      std::fwrite(row.data(), 1, row.size(), f);
    }
    std::fclose(f);
  }
};

POINT ClientPoint(HWND window, int x, int y) {
  POINT p{x, y};
  ClientToScreen(window, &p);
  return p;
}

BOOL CALLBACK FindVisiblePanel(HWND child, LPARAM result) {
  char cls[64];
  GetClassNameA(child, cls, sizeof cls);
  if (lstrcmpA(cls, "KestrelPanel") == 0 && IsWindowVisible(child)) {
    *reinterpret_cast<HWND*>(result) = child;
    return FALSE;
  }
  return TRUE;
}

TEST(SetupScreenshot, BackdropTitlesAndWelcomePanelAsAUserSeesThem) {
  // The title lines ask for Times New Roman; Wine has Liberation Serif with its metrics.
  HKEY fonts;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\Fonts\\Replacements", 0, nullptr, 0,
                      KEY_SET_VALUE, nullptr, &fonts, nullptr) == ERROR_SUCCESS) {
    const char serif[] = "Liberation Serif";
    RegSetValueExA(fonts, "Times New Roman", 0, REG_SZ, reinterpret_cast<const BYTE*>(serif),
                   sizeof serif);
    RegCloseKey(fonts);
  }
  std::string exe = BuildPath("setup/setup.exe");
  ASSERT_NE(GetFileAttributesA(exe.c_str()), INVALID_FILE_ATTRIBUTES) << exe;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  ASSERT_TRUE(CreateProcessA(exe.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &startup, &process));
  HWND window = WaitForWindow(process.dwProcessId, "Kestrel Setup", 30000);
  if (window) {
    WaitForInputIdle(process.hProcess, 5000);
    Sleep(1500);  // the window manager maximises, the program paints
  }
  Capture capture;
  capture.SaveBmp(BuildPath("screens-mainwindow-test.bmp"));

  ASSERT_NE(window, nullptr) << "no window titled Kestrel Setup";
  EXPECT_TRUE(IsZoomed(window));
  RECT client;
  GetClientRect(window, &client);

  // Blue at the top of the backdrop (right of the titles), near-black at the bottom.
  const TColor top = capture.At(ClientPoint(window, client.right - 10, 2));
  EXPECT_EQ(ColorRed(top), 0);
  EXPECT_EQ(ColorGreen(top), 0);
  EXPECT_GE(ColorBlue(top), 245);
  const TColor bottom = capture.At(ClientPoint(window, client.right - 10, client.bottom - 2));
  EXPECT_LE(ColorBlue(bottom), 8);
  EXPECT_EQ(ColorRed(bottom) + ColorGreen(bottom), 0);

  // White title text with its black shadow below and to the right of it.
  long whiteX = 0, whiteY = 0, whites = 0, blackX = 0, blackY = 0, blacks = 0;
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 280; ++x) {
      const TColor c = capture.At(ClientPoint(window, x, y));
      if (c == clWhite) {
        whiteX += x, whiteY += y, ++whites;
      } else if (ColorRed(c) < 30 && ColorGreen(c) < 30 && ColorBlue(c) < 30) {
        blackX += x, blackY += y, ++blacks;
      }
    }
  ASSERT_GT(whites, 200);
  ASSERT_GT(blacks, 100);
  EXPECT_GT(blackX / blacks, whiteX / whites);
  EXPECT_GT(blackY / blacks, whiteY / whites);

  // The welcome panel in the button-face colour.
  HWND panel = nullptr;
  EnumChildWindows(window, &FindVisiblePanel, reinterpret_cast<LPARAM>(&panel));
  ASSERT_NE(panel, nullptr);
  RECT panelRect;
  GetWindowRect(panel, &panelRect);
  const TColor face = capture.At(POINT{panelRect.left + 8, panelRect.top + 8});
  EXPECT_EQ(face, ColorToRGB(clBtnFace));
  const TColor edge = capture.At(POINT{panelRect.left, panelRect.top});
  EXPECT_EQ(edge, ColorToRGB(clBtnHighlight));  // the raised bevel

  // Close it as a user would: the close box, then Yes in the warning box.
  PostMessageA(window, WM_CLOSE, 0, 0);
  HWND question = WaitForWindow(process.dwProcessId, "Warning", 10000);
  ASSERT_NE(question, nullptr);
  // What the "&Yes" button tells its box when it is pressed.
  HWND yes = FindWindowExA(question, nullptr, "Button", "&Yes");
  ASSERT_NE(yes, nullptr);
  SendMessageA(question, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(yes), BN_CLICKED),
               reinterpret_cast<LPARAM>(yes));
  EXPECT_EQ(WaitForSingleObject(process.hProcess, 15000), WAIT_OBJECT_0);
  DWORD exitCode = 99;
  GetExitCodeProcess(process.hProcess, &exitCode);
  EXPECT_EQ(exitCode, 0u);
  TerminateProcess(process.hProcess, 1);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
}

}  // namespace
