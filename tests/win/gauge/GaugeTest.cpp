// The progress gauge rendered into bitmaps: range rules, repaint economy and the pixels of
// every look.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <type_traits>
#include <utility>

#include "controls/GaugeArithmetic.h"
#include "controls/Gauges.h"
#include "toolkit/Exception.h"
#include "toolkit/win32/Application.h"
#include "toolkit/win32/Forms.h"
#include "toolkit/win32/Layout.h"

namespace {

constexpr TColor kGreen = RGBToColor(0, 160, 0);

std::unique_ptr<TBitmap> Render(TGauge& gauge) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetSize(gauge.Width(), gauge.Height());
  gauge.PaintTo(bitmap->Canvas());
  return bitmap;
}

// Counts how often a gauge paints.
class TCountingGauge : public TGauge {
public:
  using TGauge::TGauge;
  int paints = 0;

protected:
  void Paint() override {
    ++paints;
    TGauge::Paint();
  }
};

class TTestForm : public TForm {
public:
  explicit TTestForm(TComponent* owner) : TForm(owner) { SetBounds(0, 0, 400, 300); }
  using TForm::PaintWindow;
};

// A gauge that paints nothing, so that whatever else reaches its rectangle shows.
class TBlankGauge : public TGauge {
public:
  using TGauge::TGauge;

protected:
  void Paint() override {}
};

// Two border styles of its own: a form's sizeable or dialog border is no gauge border.
static_assert(std::is_same_v<decltype(std::declval<TGauge>().BorderStyle()), TGauge::TBorderStyle>);
static_assert(!std::is_convertible_v<TFormBorderStyle, TGauge::TBorderStyle>);

// The gauge of the extraction window: 261 x 29, bordered, black on white, bold text.
void MakeSetupGauge(TGauge& gauge) {
  gauge.SetWidth(261);
  gauge.SetHeight(29);
  gauge.Font().SetName("MS Sans Serif");
  gauge.Font().SetHeight(-13);
  gauge.Font().SetStyle(fsBold);
  gauge.Font().SetColor(clBlack);
}

void ExpectRange(const std::string& message, void (*action)(TGauge&)) {
  TGauge gauge(nullptr);
  gauge.SetProgress(40);
  try {
    action(gauge);
    ADD_FAILURE() << "no error for " << message;
  } catch (const EInvalidOperation& e) {
    EXPECT_EQ(e.Message(), message);
  }
  EXPECT_EQ(gauge.MinValue(), 0);
  EXPECT_EQ(gauge.MaxValue(), 100);
  EXPECT_EQ(gauge.Progress(), 40);
}

TEST(Gauge, DefaultsAreABorderedBlackOnWhiteBarAtZero) {
  TGauge gauge(nullptr);
  EXPECT_EQ(gauge.Width(), 100);
  EXPECT_EQ(gauge.Height(), 100);
  EXPECT_EQ(gauge.MinValue(), 0);
  EXPECT_EQ(gauge.MaxValue(), 100);
  EXPECT_EQ(gauge.Progress(), 0);
  EXPECT_EQ(gauge.Kind(), gkHorizontalBar);
  EXPECT_TRUE(gauge.ShowText());
  EXPECT_EQ(gauge.BorderStyle(), TGauge::bsSingle);
  EXPECT_EQ(gauge.ForeColor(), clBlack);
  EXPECT_EQ(gauge.BackColor(), clWhite);
  EXPECT_TRUE(gauge.ParentColor());

  auto image = Render(gauge);
  int black = 0;
  for (int i = 0; i < 100; ++i) {
    EXPECT_EQ(image->Pixel(i, 0), clBlack);
    EXPECT_EQ(image->Pixel(i, 99), clBlack);
    EXPECT_EQ(image->Pixel(0, i), clBlack);
    EXPECT_EQ(image->Pixel(99, i), clBlack);
  }
  for (int y = 1; y < 99; ++y)
    for (int x = 1; x < 99; ++x) {
      const TColor c = image->Pixel(x, y);
      if (c == clBlack) ++black;
      const bool nearCentre = x > 25 && x < 75 && y > 30 && y < 70;
      if (!nearCentre) {
        EXPECT_EQ(c, clWhite) << x << "," << y;  // nothing filled
      }
    }
  EXPECT_GT(black, 10);  // "0%" in the middle
}

TEST(Gauge, ProgressIsClampedAndAnEmptyRangeShowsZero) {
  TGauge gauge(nullptr);
  gauge.SetProgress(150);
  EXPECT_EQ(gauge.Progress(), 100);
  EXPECT_EQ(gauge.CompletedPercent(), 100);
  gauge.SetProgress(-5);
  EXPECT_EQ(gauge.Progress(), 0);

  gauge.SetMaxValue(0);  // equal to MinValue is accepted
  gauge.SetProgress(7);
  EXPECT_EQ(gauge.Progress(), 0);
  EXPECT_EQ(gauge.CompletedPercent(), 0);
  gauge.SetShowText(false);
  auto image = Render(gauge);
  for (int y = 1; y < 99; ++y)
    for (int x = 1; x < 99; ++x) ASSERT_EQ(image->Pixel(x, y), clWhite) << x << "," << y;
}

TEST(Gauge, RangeErrorsLeaveTheGaugeUnchanged) {
  ExpectRange("Value must be between -2147483647 and 99", [](TGauge& g) { g.SetMinValue(200); });
  ExpectRange("Value must be between 1 and 2147483647", [](TGauge& g) { g.SetMaxValue(-1); });

  TGauge gauge(nullptr);
  gauge.SetProgress(30);
  gauge.SetMinValue(100);  // equal to MaxValue is accepted; Progress follows
  EXPECT_EQ(gauge.MinValue(), 100);
  EXPECT_EQ(gauge.Progress(), 100);
  gauge.SetMaxValue(500);
  gauge.SetProgress(400);
  gauge.SetMaxValue(200);  // Progress follows the maximum down
  EXPECT_EQ(gauge.Progress(), 200);
}

TEST(Gauge, RepaintsOnlyWhenTheWholePercentageChanges) {
  TApplication app;
  auto* form = app.CreateForm<TTestForm>();
  auto* gauge = new TCountingGauge(form);
  gauge->SetParent(form);
  gauge->SetBounds(10, 10, 261, 29);
  form->Show();
  gauge->SetMaxValue(1000);
  gauge->paints = 0;

  gauge->SetProgress(1);  // still 0 %
  EXPECT_EQ(gauge->paints, 0);
  gauge->SetProgress(9);
  EXPECT_EQ(gauge->paints, 0);
  gauge->SetProgress(10);  // 1 %
  EXPECT_EQ(gauge->paints, 1);
  gauge->SetProgress(10);
  gauge->SetKind(gkHorizontalBar);
  gauge->SetForeColor(clBlack);
  EXPECT_EQ(gauge->paints, 1);  // equal values change nothing
  for (int v = 11; v <= 1000; ++v) gauge->SetProgress(v);
  EXPECT_EQ(gauge->paints, 100);  // a climb over the whole range: once per percent
  gauge->SetBackColor(kGreen);
  EXPECT_EQ(gauge->paints, 101);

  // The paint lands in the parent's window at the gauge's place.
  const HDC dc = GetDC(form->Handle());
  EXPECT_EQ(GetPixel(dc, 10 + 5, 10 + 5), ColorToRGB(clBlack));  // the full bar
  ReleaseDC(form->Handle(), dc);

  gauge->Hide();
  gauge->SetProgress(0);
  EXPECT_EQ(gauge->paints, 101);  // a hidden gauge is not painted

  // Graphic controls above the gauge and overlapping it are painted again with it; one
  // below it, or apart from it, is not.
  auto* above = new TCountingGauge(form);
  above->SetParent(form);
  above->SetBounds(200, 20, 100, 30);
  auto* apart = new TCountingGauge(form);
  apart->SetParent(form);
  apart->SetBounds(10, 100, 50, 50);
  gauge->Show();
  gauge->paints = above->paints = apart->paints = 0;
  gauge->SetProgress(500);
  EXPECT_EQ(gauge->paints, 1);
  EXPECT_EQ(above->paints, 1);
  EXPECT_EQ(apart->paints, 0);
  above->paints = gauge->paints = 0;
  above->SetProgress(50);
  EXPECT_EQ(above->paints, 1);
  EXPECT_EQ(gauge->paints, 0);

  TCountingGauge orphan(nullptr);  // no parent window: not painted, no error
  orphan.SetProgress(50);
  EXPECT_EQ(orphan.paints, 0);
}

TEST(Gauge, IsOpaqueSoItsParentPaintsAroundIt) {
  TApplication app;
  auto* form = app.CreateForm<TTestForm>();
  form->SetColor(clRed);
  form->Handle();  // painting needs the window's client area
  auto* gauge = new TBlankGauge(form);
  gauge->SetParent(form);
  gauge->SetBounds(20, 10, 50, 30);
  EXPECT_TRUE(gauge->Opaque());
  const TRect client = form->ClientRect();
  TBitmap image;
  image.SetSize(client.Width(), client.Height());
  const auto paintForm = [&] {
    image.Canvas().Brush().SetColor(kGreen);
    image.Canvas().FillRect(TRect{0, 0, image.Width(), image.Height()});
    form->PaintWindow(image.Canvas().Handle());
  };
  paintForm();
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 90; ++x) {
      const bool inside = x >= 20 && x < 70 && y >= 10 && y < 40;
      ASSERT_EQ(image.Pixel(x, y), inside ? kGreen : clRed) << x << "," << y;
    }
  gauge->Hide();  // a hidden gauge leaves nothing out
  paintForm();
  EXPECT_EQ(image.Pixel(30, 20), clRed);
}

TEST(Gauge, LayoutsCreateGaugesAndCheckTheRangeAsTheyApplyIt) {
  RegisterGauge();
  SetLayoutPixelsPerInch(kDesignPixelsPerInch);
  TApplication app;
  auto* form = app.CreateForm<TTestForm>();
  auto* menu = new TComponent(form);
  menu->SetName("PopupMenu1");
  ApplyLayout(*form, FormLayoutProperties(),
              "frmCopy: TTestForm\n"
              "  Gauge1: TGauge\n"
              "    Left = 8\n"
              "    Width = 261\n"
              "    Height = 29\n"
              "    Kind = gkPie\n"
              "    Enabled = False\n"
              "    BackColor = clBlue\n"
              "    MinValue = 10\n"
              "    MaxValue = 20\n"
              "    ParentShowHint = False\n"
              "    PopupMenu = PopupMenu1\n"
              "    Progress = 0\n"
              "    ShowHint = True\n"
              "  end\n"
              "end\n",
              {});
  auto* gauge = dynamic_cast<TGauge*>(form->FindComponent("Gauge1"));
  ASSERT_NE(gauge, nullptr);
  EXPECT_EQ(gauge->Parent(), form);
  EXPECT_EQ(gauge->Width(), 261);
  EXPECT_EQ(gauge->Kind(), gkPie);
  EXPECT_EQ(gauge->BackColor(), clBlue);
  EXPECT_EQ(gauge->MinValue(), 10);
  EXPECT_EQ(gauge->MaxValue(), 20);
  EXPECT_EQ(gauge->Progress(), 10);
  EXPECT_FALSE(gauge->Enabled());
  EXPECT_FALSE(gauge->ParentShowHint());
  EXPECT_TRUE(gauge->ShowHint());
  EXPECT_EQ(gauge->PopupMenu(), menu);
  TGauge fresh(nullptr);
  EXPECT_TRUE(fresh.Enabled());
  EXPECT_TRUE(fresh.ParentShowHint());
  EXPECT_FALSE(fresh.ShowHint());
  EXPECT_EQ(fresh.PopupMenu(), nullptr);

  auto* other = app.CreateForm<TTestForm>();
  try {
    ApplyLayout(*other, FormLayoutProperties(),
                "frmCopy: TTestForm\n  Gauge2: TGauge\n    MinValue = 200\n  end\nend\n", {});
    ADD_FAILURE() << "MinValue 200 above MaxValue 100 was accepted";
  } catch (const EInvalidOperation& e) {
    EXPECT_EQ(e.Message(), "Value must be between -2147483647 and 99");
  }
  SetLayoutPixelsPerInch(0);
}

TEST(BltBitmap, MakeLikeTakesTheSizeAndFillsWithTheWindowFrameColour) {
  TBitmap model;
  model.SetSize(7, 3);
  TBltBitmap bitmap;
  bitmap.MakeLike(model);
  EXPECT_EQ(bitmap.Width(), 7);
  EXPECT_EQ(bitmap.Height(), 3);
  const COLORREF frame = GetSysColor(COLOR_WINDOWFRAME);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 7; ++x)
      EXPECT_EQ(bitmap.Pixel(x, y),
                RGBToColor(GetRValue(frame), GetGValue(frame), GetBValue(frame)));
}

// Windows (GetGuiResources) and Wine (its handle table of 65536 entries) bound a process's
// GDI objects. A bitmap kept on the failing path holds two (its DC and its picture), so a
// leak would run out before this loop ends and CreateDIBSection would raise EOutOfMemory.
TEST(Gauge, APaintThatFailsPassesTheErrorOnAndKeepsNoBitmaps) {
  TGauge gauge(nullptr);
  gauge.SetBounds(0, 0, 4, 4);
  TCanvas nowhere;  // no DC: the final copy fails
  const DWORD before = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  for (int i = 0; i < 34000; ++i) ASSERT_THROW(gauge.PaintTo(nowhere), EInvalidOperation) << i;
  EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), before);
}

TEST(GaugePixels, SetupBarCoversExactlyThePartOfTheInnerWidth) {
  TGauge gauge(nullptr);
  MakeSetupGauge(gauge);
  gauge.SetShowText(false);
  gauge.SetProgress(10);
  auto image = Render(gauge);
  for (int y = 1; y <= 27; ++y) {
    for (int x = 1; x <= 24; ++x) ASSERT_EQ(image->Pixel(x, y), clBlack) << x << "," << y;
    for (int x = 25; x <= 259; ++x) ASSERT_EQ(image->Pixel(x, y), clWhite) << x << "," << y;
  }

  gauge.SetForeColor(kGreen);  // so that the bar shows apart from the border
  gauge.SetProgress(100);
  image = Render(gauge);
  for (int y = 0; y < 29; ++y)
    for (int x = 0; x < 261; ++x) {
      const bool inner = x >= 1 && x <= 259 && y >= 1 && y <= 27;
      ASSERT_EQ(image->Pixel(x, y), inner ? kGreen : clBlack) << x << "," << y;
    }
}

// Text pixels count as ink where the white-on-black text bitmap is bright; the font may be
// smoothed, so its edges are grey.
bool Ink(TColor glyph) {
  return ColorRed(glyph) >= 128;
}

TEST(GaugePixels, TextInvertsWhatLiesBeneathIt) {
  TGauge gauge(nullptr);
  MakeSetupGauge(gauge);
  // Look for a percentage whose bar edge cuts through a glyph.
  for (int percent = 40; percent <= 60; ++percent) {
    gauge.SetKind(gkHorizontalBar);
    gauge.SetBackColor(clWhite);
    gauge.SetProgress(percent);
    gauge.SetShowText(false);
    auto plain = Render(gauge);
    gauge.SetShowText(true);
    auto shown = Render(gauge);
    // The text alone, white on black, as the gauge's text bitmap holds it.
    gauge.SetKind(gkText);
    gauge.SetBackColor(clBlack);
    auto text = Render(gauge);

    const int edge = gauge::PercentOfSize(percent, 260);  // the bar covers x < edge
    int onBar = 0, onEmpty = 0, leftOfEdge = 0, rightOfEdge = 0;
    for (int y = 0; y < 29; ++y)
      for (int x = 0; x < 261; ++x) {
        const TColor glyph = text->Pixel(x, y), seen = shown->Pixel(x, y);
        ASSERT_EQ(seen, plain->Pixel(x, y) ^ glyph) << x << "," << y;
        if (!Ink(glyph)) continue;
        if (x < edge) {
          EXPECT_TRUE(Ink(seen)) << x << "," << y;  // light on the black bar
          ++onBar;
          leftOfEdge += x == edge - 1;
        } else {
          EXPECT_FALSE(Ink(seen)) << x << "," << y;  // dark on the white part
          ++onEmpty;
          rightOfEdge += x == edge;
        }
      }
    EXPECT_GT(onBar + onEmpty, 40) << percent;
    if (leftOfEdge > 0 && rightOfEdge > 0) {
      EXPECT_GT(onBar, 0);
      EXPECT_GT(onEmpty, 0);
      return;  // a glyph straddles the edge, light on its left and dark on its right
    }
  }
  ADD_FAILURE() << "no percentage from 40 to 60 put the bar edge through a glyph";
}

TEST(GaugePixels, TextIsCentredWithTruncatingHalves) {
  TGauge gauge(nullptr);
  MakeSetupGauge(gauge);
  gauge.SetKind(gkText);
  gauge.SetBackColor(clBlack);
  gauge.SetProgress(42);
  auto text = Render(gauge);

  TBitmap measure;
  measure.Canvas().Font().Assign(gauge.Font());
  const SIZE extent = measure.Canvas().TextExtent("42%");
  const int x0 = (260 - extent.cx) / 2, y0 = (28 - extent.cy) / 2;
  // Glyph ink lies inside the text's cell, and somewhere in its first and last columns'
  // neighbourhood, so the cell starts where the halves say.
  int minX = 261, maxX = -1;
  for (int y = 0; y < 29; ++y)
    for (int x = 0; x < 261; ++x)
      if (text->Pixel(x, y) != clBlack) {
        EXPECT_GE(x, x0);
        EXPECT_LT(x, x0 + extent.cx);
        EXPECT_GE(y, y0);
        EXPECT_LT(y, y0 + extent.cy);
        minX = std::min(minX, x);
        maxX = std::max(maxX, x);
      }
  EXPECT_LE(minX, x0 + 2);
  EXPECT_GE(maxX, x0 + extent.cx - 4);
}

TEST(GaugePixels, TextWiderThanThePaintRectangleIsClipped) {
  TGauge gauge(nullptr);
  MakeSetupGauge(gauge);
  gauge.SetWidth(14);
  gauge.SetProgress(100);  // "100%" is far wider than 12 pixels
  gauge.SetForeColor(kGreen);
  auto image = Render(gauge);
  int inverted = 0;
  for (int y = 0; y < 29; ++y)
    for (int x = 0; x < 14; ++x) {
      const bool border = x == 0 || x == 13 || y == 0 || y == 28;
      const TColor c = image->Pixel(x, y);
      if (border)
        ASSERT_EQ(c, clBlack) << x << "," << y;  // no glyph over the border
      else if (c != kGreen)
        ++inverted;
    }
  EXPECT_GT(inverted, 5);
}

TEST(GaugePixels, VerticalBarAtFullLeavesTheTopRowOnlyWithoutBorder) {
  TGauge gauge(nullptr);
  gauge.SetBounds(0, 0, 40, 60);
  gauge.SetKind(gkVerticalBar);
  gauge.SetShowText(false);
  gauge.SetForeColor(kGreen);
  gauge.SetProgress(100);
  auto image = Render(gauge);
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 40; ++x) {
      const bool inner = x >= 1 && x <= 38 && y >= 1 && y <= 58;
      ASSERT_EQ(image->Pixel(x, y), inner ? kGreen : clBlack) << x << "," << y;
    }

  gauge.SetBorderStyle(TGauge::bsNone);
  image = Render(gauge);
  for (int x = 0; x < 40; ++x) {
    EXPECT_EQ(image->Pixel(x, 0), clWhite) << x;
    for (int y = 1; y < 60; ++y) ASSERT_EQ(image->Pixel(x, y), kGreen) << x << "," << y;
  }

  gauge.SetProgress(50);  // grows upward from the bottom
  image = Render(gauge);
  EXPECT_EQ(image->Pixel(20, 59), kGreen);
  EXPECT_EQ(image->Pixel(20, 5), clWhite);
}

}  // namespace
