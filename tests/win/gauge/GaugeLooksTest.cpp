// The pie and the needle: which parts of the dial are filled, where the needle points and
// where its baseline lies.
#include <gtest/gtest.h>

#include <memory>

#include "controls/Gauges.h"

namespace {

constexpr TColor kFore = RGBToColor(200, 0, 0);
constexpr TColor kColor = RGBToColor(0, 160, 0);

std::unique_ptr<TBitmap> Render(TGauge& gauge, int percent) {
  gauge.SetProgress(percent);
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetSize(gauge.Width(), gauge.Height());
  gauge.PaintTo(bitmap->Canvas());
  return bitmap;
}

void MakeLook(TGauge& gauge, TGaugeKind kind, int width, int height) {
  gauge.SetBounds(0, 0, width, height);
  gauge.SetKind(kind);
  gauge.SetShowText(false);
  gauge.SetForeColor(kFore);
  gauge.SetColor(kColor);  // the background outside the dial
}

TEST(GaugePie, FillsClockwiseFromTwelveOClock) {
  TGauge gauge(nullptr);
  MakeLook(gauge, gkPie, 101, 101);
  struct Quarter {
    int x, y;
  };
  const Quarter upperRight{75, 25}, lowerRight{75, 75}, lowerLeft{25, 75}, upperLeft{25, 25};

  auto empty = Render(gauge, 0);  // the outlined ellipse in BackColor only
  for (Quarter q : {upperRight, lowerRight, lowerLeft, upperLeft})
    EXPECT_EQ(empty->Pixel(q.x, q.y), clWhite);
  EXPECT_EQ(empty->Pixel(50, 1), kFore);   // outline at the top
  EXPECT_EQ(empty->Pixel(3, 3), kColor);   // outside the ellipse
  EXPECT_EQ(empty->Pixel(0, 0), clBlack);  // border

  auto quarter = Render(gauge, 25);
  EXPECT_EQ(quarter->Pixel(upperRight.x, upperRight.y), kFore);
  EXPECT_EQ(quarter->Pixel(lowerRight.x, lowerRight.y), clWhite);
  EXPECT_EQ(quarter->Pixel(lowerLeft.x, lowerLeft.y), clWhite);
  EXPECT_EQ(quarter->Pixel(upperLeft.x, upperLeft.y), clWhite);

  auto half = Render(gauge, 50);
  EXPECT_EQ(half->Pixel(lowerRight.x, lowerRight.y), kFore);
  EXPECT_EQ(half->Pixel(lowerLeft.x, lowerLeft.y), clWhite);

  auto full = Render(gauge, 100);
  for (Quarter q : {upperRight, lowerRight, lowerLeft, upperLeft})
    EXPECT_EQ(full->Pixel(q.x, q.y), kFore);
  EXPECT_EQ(full->Pixel(3, 3), kColor);
  EXPECT_EQ(full->Pixel(97, 97), kColor);
}

int ForePixelsInRow(TBitmap& image, int y, int fromX, int toX) {
  int n = 0;
  for (int x = fromX; x < toX; ++x) n += image.Pixel(x, y) == kFore;
  return n;
}

TEST(GaugeNeedle, PointsLeftUpAndRight) {
  TGauge gauge(nullptr);
  MakeLook(gauge, gkNeedle, 100, 60);  // pivot (50, 58)

  auto zero = Render(gauge, 0);  // no needle at all
  EXPECT_EQ(zero->Pixel(50, 30), clWhite);
  EXPECT_EQ(zero->Pixel(3, 3), kColor);  // outside the half dial

  auto half = Render(gauge, 50);  // straight up from the pivot
  for (int y = 1; y <= 58; ++y) EXPECT_EQ(half->Pixel(50, y), kFore) << y;
  EXPECT_EQ(half->Pixel(40, 30), clWhite);

  auto full = Render(gauge, 100);  // along the bottom to the right
  EXPECT_EQ(ForePixelsInRow(*full, 58, 50, 99), 49);
  EXPECT_LT(ForePixelsInRow(*zero, 58, 50, 99), 49);
  EXPECT_EQ(full->Pixel(50, 30), clWhite);
}

// Without a border the baseline lies one row below the control (see the native geometry).
TEST(GaugeNeedle, BaselineLiesOnTheBottomRowWithABorder) {
  TGauge gauge(nullptr);
  MakeLook(gauge, gkNeedle, 100, 60);
  auto bordered = Render(gauge, 0);
  EXPECT_EQ(bordered->Pixel(0, 59), clBlack);  // the border's corner stays
  for (int x = 1; x < 100; ++x) EXPECT_EQ(bordered->Pixel(x, 59), kFore) << x;
}

}  // namespace
