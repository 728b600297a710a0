// The gradient's colour arithmetic: scheme texts, colour parts, the table and the bands.
#include <gtest/gtest.h>

#include <map>

#include "controls/GradientColors.h"

using namespace gradient;

namespace {

// A colour scheme held in memory; remembers which names were asked for.
struct FakeScheme {
  std::map<std::string, std::string> values;
  std::vector<std::string> asked;
  SchemeReader Reader() {
    return [this](const std::string& name) {
      asked.push_back(name);
      auto it = values.find(name);
      return it == values.end() ? std::string() : it->second;
    };
  }
};

TEST(ParseColorParts, ReadsFieldsSeparatedBySingleSpaces) {
  EXPECT_EQ(ParseColorParts("192 192 192"), (ColorParts{192, 192, 192}));
  EXPECT_EQ(ParseColorParts("0  0 128"), (ColorParts{0, 0, 0}));  // second blank ends a field
  EXPECT_EQ(ParseColorParts("255 255"), (ColorParts{255, 255, 0}));
  EXPECT_EQ(ParseColorParts("300 0 0"), (ColorParts{300, 0, 0}));
  EXPECT_EQ(ParseColorParts("1 2 3 whatever, really"), (ColorParts{1, 2, 3}));
  EXPECT_EQ(ParseColorParts(""), (ColorParts{0, 0, 0}));
}

TEST(ParseColorParts, AnyOtherCharacterIsAConversionErrorNamingIt) {
  try {
    ParseColorParts("0,0,128");
    FAIL() << "no error";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "',' is not a valid integer value");
  }
  EXPECT_THROW(ParseColorParts("12 -3 4"), EConvertError);
  EXPECT_THROW(ParseColorParts("1\t2 3"), EConvertError);
}

TEST(GetColorParts, SystemColoursComeFromTheSchemeOrTheirOwnBytes) {
  FakeScheme scheme;
  scheme.values["ButtonFace"] = "192 192 192";
  EXPECT_EQ(GetColorParts(clBtnFace, scheme.Reader()), (ColorParts{192, 192, 192}));
  scheme.values.clear();
  EXPECT_EQ(GetColorParts(clBtnFace, scheme.Reader()), (ColorParts{15, 0, 0}));
  EXPECT_EQ(GetColorParts(clInfoBk, scheme.Reader()), (ColorParts{24, 0, 0}));
  EXPECT_EQ(scheme.asked, (std::vector<std::string>{"ButtonFace", "ButtonFace", "InfoWindow"}));
}

TEST(GetColorParts, PlainColoursAndScrollBarNeverReadTheScheme) {
  FakeScheme scheme;
  scheme.values["ScrollBar"] = "1 2 3";
  EXPECT_EQ(GetColorParts(clScrollBar, scheme.Reader()), (ColorParts{0, 0, 0}));
  EXPECT_EQ(GetColorParts(RGBToColor(10, 20, 30), scheme.Reader()), (ColorParts{10, 20, 30}));
  EXPECT_EQ(GetColorParts(clSystemColor + 25, scheme.Reader()), (ColorParts{25, 0, 0}));
  EXPECT_TRUE(scheme.asked.empty());
}

TEST(BuildColorTable, BlueToBlackStepsBlueDownByOne) {
  const ColorTable t =
      BuildColorTable(clBlue, clBlack, false, [](const std::string&) { return std::string(); });
  for (int k = 0; k < kTableSize; ++k) EXPECT_EQ(t[k], RGBToColor(0, 0, uint8_t(255 - k))) << k;
}

TEST(BuildColorTable, RoundedStepAndTruncation) {
  const ColorTable up = BuildColorTable(ColorParts{0, 0, 0}, ColorParts{100, 0, 0});
  EXPECT_EQ(ColorRed(up[3]), 1);
  EXPECT_EQ(ColorRed(up[254]), 99);
  EXPECT_EQ(ColorRed(up[255]), 100);
  const ColorTable down = BuildColorTable(ColorParts{1, 0, 0}, ColorParts{0, 0, 0});
  EXPECT_EQ(ColorRed(down[0]), 1);
  for (int k = 1; k < kTableSize; ++k) EXPECT_EQ(ColorRed(down[k]), 0) << k;
  const ColorTable same = BuildColorTable(ColorParts{7, 8, 9}, ColorParts{7, 8, 9});
  for (TColor c : same) EXPECT_EQ(c, RGBToColor(7, 8, 9));
}

TEST(BuildColorTable, PartsAboveByteWrapAndSwapExchangesTheEnds) {
  FakeScheme scheme;
  scheme.values["ButtonFace"] = "300 0 0";
  const ColorTable wrapped = BuildColorTable(clBtnFace, clBlack, false, scheme.Reader());
  EXPECT_EQ(wrapped[0], RGBToColor(44, 0, 0));
  const ColorTable defaults = BuildColorTable(clBlack, clBlue, false, scheme.Reader());
  const ColorTable swapped = BuildColorTable(clBlack, clBlue, true, scheme.Reader());
  EXPECT_EQ(defaults[0], clBlack);
  EXPECT_EQ(defaults[255], clBlue);
  EXPECT_EQ(swapped[0], clBlue);
  EXPECT_EQ(swapped[255], clBlack);
}

TEST(BuildColorTable, AnUnreadableSchemeValueRaises) {
  FakeScheme scheme;
  scheme.values["Window"] = "0,0,128";
  EXPECT_THROW(BuildColorTable(clWindow, clBlack, false, scheme.Reader()), EConvertError);
}

TEST(BandGeometry, StartsAndThicknessForTypicalHeights) {
  const BandGeometry h399(399);
  EXPECT_NEAR(h399.step, 1.5647, 1e-4);
  EXPECT_EQ(h399.thickness, 2);
  EXPECT_EQ(h399.Start(0), 0);
  EXPECT_EQ(h399.Start(1), 0);
  EXPECT_EQ(h399.Start(2), 1);
  EXPECT_EQ(h399.Start(255), 397);
  EXPECT_EQ(h399.Start(255) + h399.thickness, 399);  // the last row is covered

  const BandGeometry h255(255);
  EXPECT_EQ(h255.thickness, 2);
  for (int k = 1; k < kTableSize; ++k) EXPECT_EQ(h255.Start(k), k - 1);

  const BandGeometry h100(100);
  EXPECT_EQ(h100.thickness, 1);
  EXPECT_EQ(h100.Start(2), h100.Start(3));  // several bands start on one row
  EXPECT_EQ(h100.Start(255), 99);
}

TEST(BandGeometry, TheLastBandReachesTheFarEdgeForEverySize) {
  for (int n = 1; n <= 4096; ++n) {
    const BandGeometry g(n);
    EXPECT_GE(g.Start(255) + g.thickness, n) << n;
    EXPECT_LE(g.Start(255), n - 1) << n;
    for (int k = 2; k < kTableSize; ++k)
      ASSERT_LE(g.Start(k), g.Start(k - 1) + g.thickness) << "gap at " << n << " band " << k;
  }
}

}  // namespace
