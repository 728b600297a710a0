// Colours as the toolkit names them. A TColor is 32 bits: a plain colour holds red in bits
// 0-7, green in 8-15 and blue in 16-23 (the byte order of a Windows COLORREF); a value with
// the top bit set, 0x80000000 + n, names system colour n and is resolved only when drawn.
#pragma once

#include <cstdint>

using TColor = uint32_t;

constexpr TColor clSystemColor = 0x80000000u;

constexpr TColor RGBToColor(uint8_t red, uint8_t green, uint8_t blue) {
  return TColor(red) | (TColor(green) << 8) | (TColor(blue) << 16);
}
constexpr uint8_t ColorRed(TColor c) {
  return uint8_t(c & 0xFF);
}
constexpr uint8_t ColorGreen(TColor c) {
  return uint8_t((c >> 8) & 0xFF);
}
constexpr uint8_t ColorBlue(TColor c) {
  return uint8_t((c >> 16) & 0xFF);
}

constexpr bool IsSystemColor(TColor c) {
  return (c & clSystemColor) != 0;
}
// The system colour's index n (the Windows COLOR_* number) of 0x80000000 + n.
constexpr int SystemColorIndex(TColor c) {
  return int(c & 0xFF);
}
constexpr TColor SystemColor(int index) {
  return clSystemColor + TColor(index);
}

// Plain colours.
constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;

// System colours, numbered as Windows numbers them (COLOR_SCROLLBAR = 0 ... COLOR_INFOBK = 24).
constexpr TColor clScrollBar = SystemColor(0);
constexpr TColor clBackground = SystemColor(1);
constexpr TColor clActiveCaption = SystemColor(2);
constexpr TColor clInactiveCaption = SystemColor(3);
constexpr TColor clMenu = SystemColor(4);
constexpr TColor clWindow = SystemColor(5);
constexpr TColor clWindowFrame = SystemColor(6);
constexpr TColor clMenuText = SystemColor(7);
constexpr TColor clWindowText = SystemColor(8);
constexpr TColor clCaptionText = SystemColor(9);
constexpr TColor clActiveBorder = SystemColor(10);
constexpr TColor clInactiveBorder = SystemColor(11);
constexpr TColor clAppWorkSpace = SystemColor(12);
constexpr TColor clHighlight = SystemColor(13);
constexpr TColor clHighlightText = SystemColor(14);
constexpr TColor clBtnFace = SystemColor(15);
constexpr TColor clBtnShadow = SystemColor(16);
constexpr TColor clGrayText = SystemColor(17);
constexpr TColor clBtnText = SystemColor(18);
constexpr TColor clInactiveCaptionText = SystemColor(19);
constexpr TColor clBtnHighlight = SystemColor(20);
constexpr TColor cl3DDkShadow = SystemColor(21);
constexpr TColor cl3DLight = SystemColor(22);
constexpr TColor clInfoText = SystemColor(23);
constexpr TColor clInfoBk = SystemColor(24);
