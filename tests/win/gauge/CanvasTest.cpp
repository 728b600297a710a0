// The canvas and bitmaps the gauge draws with: GDI's conventions, the raster operations,
// and DCs handed back as they were lent.
#include <gtest/gtest.h>

#include "toolkit/Exception.h"
#include "toolkit/win32/Canvas.h"

namespace {

constexpr TColor kRed = RGBToColor(200, 0, 0);
constexpr TColor kBlue = RGBToColor(0, 0, 200);

TEST(Color, PlainAndSystemColoursResolveForGdi) {
  EXPECT_EQ(ColorToRGB(RGBToColor(1, 2, 3)), RGB(1, 2, 3));
  EXPECT_EQ(ColorRed(kRed), 200);
  EXPECT_EQ(ColorBlue(kBlue), 200);
  EXPECT_EQ(ColorToRGB(clWindow), GetSysColor(COLOR_WINDOW));
  EXPECT_EQ(ColorToRGB(clWindowFrame), GetSysColor(COLOR_WINDOWFRAME));
  EXPECT_EQ(ColorToRGB(clBtnFace), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(clWindow, 0x80000005u);
  EXPECT_EQ(clInfoBk, 0x80000018u);
}

TEST(Bitmap, StartsEmptyAndKeepsWhatFitsWhenResized) {
  TBitmap bitmap;
  EXPECT_EQ(bitmap.Width(), 0);
  bitmap.SetHeight(10);  // still no picture without a width
  EXPECT_EQ(bitmap.Handle(), nullptr);
  bitmap.SetWidth(20);
  EXPECT_EQ(bitmap.Pixel(19, 9), clWhite);
  bitmap.Canvas().Brush().SetColor(kRed);
  bitmap.Canvas().FillRect(Rect(0, 0, 20, 10));
  bitmap.SetSize(30, 5);
  EXPECT_EQ(bitmap.Pixel(19, 4), kRed);
  EXPECT_EQ(bitmap.Pixel(20, 4), clWhite);
  EXPECT_THROW(bitmap.Pixel(30, 0), EInvalidOperation);
  EXPECT_THROW(bitmap.Pixel(0, -1), EInvalidOperation);
  bitmap.SetSize(0, 0);
  EXPECT_THROW(bitmap.Pixel(0, 0), EInvalidOperation);
}

TEST(Canvas, RectanglesAreHalfOpenAndLinesLeaveTheirEndPoint) {
  TBitmap bitmap;
  bitmap.SetSize(10, 10);
  TCanvas& canvas = bitmap.Canvas();
  canvas.Brush().SetColor(kRed);
  canvas.FillRect(Rect(2, 2, 5, 4));
  EXPECT_EQ(bitmap.Pixel(2, 2), kRed);
  EXPECT_EQ(bitmap.Pixel(4, 3), kRed);
  EXPECT_EQ(bitmap.Pixel(5, 3), clWhite);
  EXPECT_EQ(bitmap.Pixel(4, 4), clWhite);

  canvas.Pen().SetColor(kBlue);
  canvas.MoveTo(0, 8);
  canvas.LineTo(6, 8);
  EXPECT_EQ(bitmap.Pixel(0, 8), kBlue);
  EXPECT_EQ(bitmap.Pixel(5, 8), kBlue);
  EXPECT_EQ(bitmap.Pixel(6, 8), clWhite);
  EXPECT_EQ(canvas.PenPos(), (TPoint{6, 8}));

  // A clear brush leaves the inside of an outline alone.
  canvas.Brush().SetStyle(bsClear);
  canvas.Rectangle(0, 0, 10, 10);
  EXPECT_EQ(bitmap.Pixel(0, 0), kBlue);
  EXPECT_EQ(bitmap.Pixel(9, 9), kBlue);
  EXPECT_EQ(bitmap.Pixel(3, 3), kRed);
}

TEST(Canvas, CopyModesBlacknessInvertAndCopy) {
  TBitmap target, source;
  target.SetSize(4, 1);
  source.SetSize(4, 1);
  const TRect all = Rect(0, 0, 4, 1);
  target.Canvas().Brush().SetColor(RGBToColor(0x0F, 0xF0, 0x55));
  target.Canvas().FillRect(all);
  source.Canvas().Brush().SetColor(RGBToColor(0xFF, 0x0F, 0x00));
  source.Canvas().FillRect(Rect(0, 0, 2, 1));
  source.Canvas().Brush().SetColor(clBlack);
  source.Canvas().FillRect(Rect(2, 0, 4, 1));

  target.Canvas().SetCopyMode(cmSrcInvert);
  target.Canvas().Draw(0, 0, source);
  EXPECT_EQ(target.Pixel(0, 0), RGBToColor(0xF0, 0xFF, 0x55));
  EXPECT_EQ(target.Pixel(3, 0), RGBToColor(0x0F, 0xF0, 0x55));  // black changes nothing

  target.Canvas().SetCopyMode(cmSrcCopy);
  target.Canvas().Draw(0, 0, source);
  EXPECT_EQ(target.Pixel(1, 0), RGBToColor(0xFF, 0x0F, 0x00));

  target.Canvas().SetCopyMode(cmBlackness);
  target.Canvas().CopyRect(all, target.Canvas(), all);
  for (int x = 0; x < 4; ++x) EXPECT_EQ(target.Pixel(x, 0), clBlack);
}

TEST(Canvas, TextIsClippedAndMeasuredWithTheCanvasFont) {
  TBitmap bitmap;
  bitmap.SetSize(60, 30);
  TCanvas& canvas = bitmap.Canvas();
  canvas.Brush().SetColor(clBlack);
  canvas.FillRect(Rect(0, 0, 60, 30));
  canvas.Font().SetHeight(-20);
  canvas.Font().SetColor(clWhite);
  canvas.Brush().SetStyle(bsClear);
  const SIZE big = canvas.TextExtent("WWWW");
  EXPECT_GT(big.cx, 40);
  canvas.TextRect(Rect(10, 0, 30, 30), 0, 0, "WWWW");
  int inside = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 60; ++x)
      if (bitmap.Pixel(x, y) != clBlack) {
        EXPECT_GE(x, 10);
        EXPECT_LT(x, 30);
        ++inside;
      }
  EXPECT_GT(inside, 10);
  canvas.Font().SetHeight(-10);
  EXPECT_LT(canvas.TextWidth("WWWW"), big.cx);
}

TEST(Canvas, LentDcGetsItsObjectsBackAndNullDcRefusesToDraw) {
  TBitmap bitmap;
  bitmap.SetSize(5, 5);
  HDC dc = bitmap.Canvas().Handle();
  const HGDIOBJ pen = GetCurrentObject(dc, OBJ_PEN), brush = GetCurrentObject(dc, OBJ_BRUSH),
                font = GetCurrentObject(dc, OBJ_FONT);
  {
    TCanvas lent(dc);
    lent.Pen().SetColor(kRed);
    lent.Brush().SetColor(kBlue);
    lent.Ellipse(0, 0, 5, 5);
    lent.TextOut(0, 0, "x");
    lent.Pie(0, 0, 5, 5, 5, 2, 2, 0);
  }
  EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), pen);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), brush);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), font);

  TCanvas none;
  EXPECT_THROW(none.FillRect(Rect(0, 0, 1, 1)), EInvalidOperation);
}

TEST(Graphics, ChangesAreReported) {
  TFont font;
  int changes = 0;
  font.OnChange = [&] { ++changes; };
  font.SetHeight(-13);
  font.SetHeight(-13);
  font.SetStyle(fsBold);
  font.SetColor(kRed);
  EXPECT_EQ(changes, 3);
  const HFONT first = font.Handle();
  EXPECT_EQ(font.Handle(), first);  // cached
  TFont copy;
  copy.Assign(font);
  EXPECT_EQ(copy.Height(), -13);
  EXPECT_EQ(copy.Style(), fsBold);
  EXPECT_EQ(copy.Color(), kRed);
  EXPECT_EQ(copy.Name(), "MS Sans Serif");

  TBrush brush;
  brush.SetStyle(bsClear);
  EXPECT_EQ(brush.Handle(), GetStockObject(NULL_BRUSH));
  brush.SetColor(kRed);  // a colour makes the brush solid again
  EXPECT_EQ(brush.Style(), bsSolid);
}

}  // namespace
