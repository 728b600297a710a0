// The colour arithmetic of the gradient backdrop, free of Windows so that it is tested on
// its own: scheme texts to colour parts, the 256-entry colour table and the band geometry.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <functional>
#include <string>

#include "toolkit/Color.h"
#include "toolkit/Exception.h"
#include "toolkit/Format.h"

namespace gradient {

constexpr int kTableSize = 256;
// The bands fill the length in 255 steps; band 1 lies on band 0.
constexpr int kSteps = 255;
// Fixed-point interpolation with four decimal places.
constexpr int32_t kFixedOne = 10000;
constexpr const char* kNotAnInteger = "'%s' is not a valid integer value";

struct ColorParts {
  int32_t red = 0;
  int32_t green = 0;
  int32_t blue = 0;
  friend bool operator==(const ColorParts&, const ColorParts&) = default;
};

using ColorTable = std::array<TColor, kTableSize>;

// Reads one value of the user's colour scheme by its name; empty text when unknown.
using SchemeReader = std::function<std::string(const std::string& valueName)>;

// The scheme's value name of system colours 1 to 24 (clBackground ... clInfoBk); nullptr
// for every other colour, clScrollBar (0) included.
inline const char* SchemeColorName(TColor color) {
  static constexpr const char* kNames[] = {
      nullptr,         "Background",     "ActiveTitle",  "InactiveTitle", "Menu",
      "Window",        "WindowFrame",    "MenuText",     "WindowText",    "TitleText",
      "ActiveBorder",  "InactiveBorder", "AppWorkspace", "Highlight",     "HighlightText",
      "ButtonFace",    "ButtonShadow",   "GrayText",     "ButtonText",    "InactiveTitleText",
      "ButtonHilight", "ButtonDkShadow", "ButtonLight",  "InfoText",      "InfoWindow"};
  if (color < clSystemColor || color > clSystemColor + 24) return nullptr;
  return kNames[color - clSystemColor];
}

// Three decimal fields separated by single spaces ("0 0 128"). Each field ends at a space,
// which is consumed, or at the end of the text, so a second space in a row ends the next
// field with 0, missing fields are 0 and text after the third field is never looked at.
// Any character but a digit or a space raises EConvertError naming that character.
inline ColorParts ParseColorParts(const std::string& text) {
  size_t cursor = 0;
  auto field = [&]() -> int32_t {
    uint32_t value = 0;  // wraps as 32-bit arithmetic does
    while (cursor < text.size()) {
      const char c = text[cursor++];
      if (c >= '0' && c <= '9') {
        value = value * 10u + static_cast<uint32_t>(c - '0');
      } else if (c == ' ') {
        break;
      } else {
        throw EConvertError(Format(kNotAnInteger, std::string(1, c).c_str()));
      }
    }
    return static_cast<int32_t>(value);
  };
  ColorParts parts;
  parts.red = field();
  parts.green = field();
  parts.blue = field();
  return parts;
}

// A colour's parts: for the 24 system colours of the scheme the scheme's text when there is
// one; otherwise the colour value's own bytes (a missing system colour gives its index as
// red).
inline ColorParts GetColorParts(TColor color, const SchemeReader& readScheme) {
  if (const char* name = SchemeColorName(color)) {
    const std::string text = readScheme(name);
    if (!text.empty()) return ParseColorParts(text);
  }
  return ColorParts{static_cast<int32_t>(color & 0xFF), static_cast<int32_t>((color >> 8) & 0xFF),
                    static_cast<int32_t>((color >> 16) & 0xFF)};
}

// Entry 0 is the first colour, entry 255 the last; entries between step by the rounded
// fixed-point step and are truncated. Parts above 255 wrap to their low 8 bits.
inline ColorTable BuildColorTable(const ColorParts& firstParts, const ColorParts& lastParts) {
  const int32_t first[3] = {firstParts.red & 0xFF, firstParts.green & 0xFF, firstParts.blue & 0xFF};
  const int32_t last[3] = {lastParts.red & 0xFF, lastParts.green & 0xFF, lastParts.blue & 0xFF};
  int32_t step[3];
  for (int x = 0; x < 3; ++x)
    step[x] = static_cast<int32_t>(std::lround((first[x] - last[x]) * double(kFixedOne) / kSteps));
  ColorTable table{};
  table[0] = RGBToColor(uint8_t(first[0]), uint8_t(first[1]), uint8_t(first[2]));
  for (int i = 1; i < kTableSize - 1; ++i) {
    int32_t channel[3];
    for (int x = 0; x < 3; ++x) channel[x] = (kFixedOne * first[x] - i * step[x]) / kFixedOne;
    table[i] = RGBToColor(uint8_t(channel[0]), uint8_t(channel[1]), uint8_t(channel[2]));
  }
  table[kTableSize - 1] = RGBToColor(uint8_t(last[0]), uint8_t(last[1]), uint8_t(last[2]));
  return table;
}

// The table for the properties: ColorEnd is split before ColorStart; Swap exchanges which
// of them comes first.
inline ColorTable BuildColorTable(TColor colorStart, TColor colorEnd, bool swap,
                                  const SchemeReader& readScheme) {
  const ColorParts end = GetColorParts(colorEnd, readScheme);
  const ColorParts start = GetColorParts(colorStart, readScheme);
  return swap ? BuildColorTable(end, start) : BuildColorTable(start, end);
}

// Where band k of a gradient over length pixels starts and how thick every band is.
struct BandGeometry {
  float step;     // length / 255 as a 32-bit float
  int thickness;  // floor(step) + 1

  explicit BandGeometry(int length)
      : step(static_cast<float>(length) / static_cast<float>(kSteps)),
        thickness(static_cast<int>(std::floor(step)) + 1) {}

  int Start(int k) const {
    return k == 0 ? 0 : static_cast<int>(std::floor((k - 1) * static_cast<double>(step)));
  }
};

}  // namespace gradient
