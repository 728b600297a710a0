// What is on the screen: captures saved as BMP files (a script turns them into PNG) and
// the kind of icon a message box shows, told by comparing its pixels with the system's
// own icons.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace robot {

struct Image {
  int width = 0, height = 0;
  std::vector<uint32_t> pixels;  // 0x00RRGGBB, top row first
};

// The screen's pixels inside `rect` (screen coordinates); the whole screen when empty.
Image CaptureScreen(RECT rect = {});
void SaveBmp(const Image& image, const std::string& path);

enum class IconKind { None, Stop, Question, Exclamation, Information, Unknown };
const char* IconKindName(IconKind kind);

// The kind of the icon drawn by a STATIC icon control, seen on the screen.
IconKind ClassifyIcon(HWND iconControl);

}  // namespace robot
