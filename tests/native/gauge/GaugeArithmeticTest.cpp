#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "controls/GaugeArithmetic.h"

using namespace gauge;

namespace {

constexpr int32_t kInt32Min = std::numeric_limits<int32_t>::min();
constexpr int32_t kInt32Max = std::numeric_limits<int32_t>::max();

TEST(GaugePercent, TruncatesTowardZeroAndTreatsAnEmptyRangeAsZero) {
  EXPECT_EQ(CompletedPercent(0, 100, 42), 42);
  EXPECT_EQ(CompletedPercent(0, 1000, 1), 0);
  EXPECT_EQ(CompletedPercent(0, 1000, 999), 99);
  EXPECT_EQ(CompletedPercent(0, 3, 2), 66);
  EXPECT_EQ(CompletedPercent(-50, 50, 0), 50);
  EXPECT_EQ(CompletedPercent(100, 100, 100), 0);
  EXPECT_EQ(CompletedPercent(kInt32Max, kInt32Max, kInt32Max), 0);
}

TEST(GaugePercent, LargeValuesDoNotOverflow) {
  // (progress - min) * 100 exceeds 32 bits long before the range does.
  EXPECT_EQ(CompletedPercent(0, kInt32Max, kInt32Max), 100);
  EXPECT_EQ(CompletedPercent(0, kInt32Max, kInt32Max / 2), 49);
  EXPECT_EQ(CompletedPercent(0, 2000000000, 1000000000), 50);
  // Even the widest range the invariant allows stays within 0..100.
  EXPECT_EQ(CompletedPercent(kInt32Min, kInt32Max, kInt32Min), 0);
  EXPECT_EQ(CompletedPercent(kInt32Min, kInt32Max, 0), 50);
  EXPECT_EQ(CompletedPercent(kInt32Min, kInt32Max, kInt32Max), 100);
}

TEST(GaugePartOfSize, ExtendedPrecisionComesOutOneShortOnSomeExactProducts) {
  EXPECT_EQ(PercentOfSize(10, 260), 25);  // 26 exactly
  EXPECT_EQ(PercentOfSize(5, 20), 0);     // 1 exactly
  EXPECT_EQ(PercentOfSize(50, 260), 130);
  EXPECT_EQ(PercentOfSize(33, 260), 85);
}

TEST(GaugePartOfSize, EndsAreExactAndOtherwiseAtMostOneShortOfTheExactValue) {
  int oneShort = 0;
  for (int size = 0; size <= 1000; ++size) {
    EXPECT_EQ(PercentOfSize(0, size), 0);
    ASSERT_EQ(PercentOfSize(100, size), size) << size;
    for (int percent = 1; percent < 100; ++percent) {
      const int exact = percent * size / 100, got = PercentOfSize(percent, size);
      if (got == exact) continue;
      // Only an exact multiple of 100 can lose its last unit.
      ASSERT_EQ(got, exact - 1) << percent << " % of " << size;
      ASSERT_EQ(percent * size % 100, 0) << percent << " % of " << size;
      ++oneShort;
    }
  }
  EXPECT_GT(oneShort, 0);
}

// Some runtimes and DLLs leave the x87 unit at 53-bit precision; the results must not change.
TEST(GaugePartOfSize, SameResultsWhenTheFloatingPointUnitIsSetToDoublePrecision) {
  uint16_t saved = 0;
  asm volatile("fnstcw %0" : "=m"(saved));
  const uint16_t doublePrecision = uint16_t((saved & ~0x0300u) | 0x0200u);
  asm volatile("fldcw %0" : : "m"(doublePrecision) : "memory");
  const int tenOf260 = PercentOfSize(10, 260), fiveOf20 = PercentOfSize(5, 20);
  uint16_t during = 0;
  asm volatile("fnstcw %0" : "=m"(during));
  asm volatile("fldcw %0" : : "m"(saved) : "memory");
  EXPECT_EQ(tenOf260, 25);
  EXPECT_EQ(fiveOf20, 0);
  EXPECT_EQ(during, doublePrecision);  // and the caller's setting comes back
}

TEST(GaugeBars, SetupGaugeHorizontalBar) {
  const TRect paint = PaintRect(261, 29, true);
  EXPECT_EQ(paint, (TRect{1, 1, 260, 28}));
  EXPECT_EQ(HorizontalBar(paint, 10), (TRect{1, 1, 25, 28}));  // x 1..24, y 1..27
  EXPECT_EQ(HorizontalBar(paint, 100), (TRect{1, 1, 260, 28}));
  EXPECT_EQ(HorizontalBar(paint, 0), TRect{});
  // Without a border the bar's far edge lies one beyond the control.
  EXPECT_EQ(HorizontalBar(PaintRect(100, 20, false), 100), (TRect{0, 0, 101, 21}));
}

TEST(GaugeBars, VerticalBarAtFullLeavesTheTopRowWithoutBorder) {
  EXPECT_EQ(VerticalBar(PaintRect(40, 100, true), 100), (TRect{1, 1, 39, 99}));
  EXPECT_EQ(VerticalBar(PaintRect(40, 100, false), 100), (TRect{0, 1, 41, 101}));
  EXPECT_EQ(VerticalBar(PaintRect(40, 100, true), 0).Height(), 0);
  EXPECT_EQ(VerticalBar(PaintRect(40, 100, true), 50), (TRect{1, 50, 39, 99}));
}

TEST(GaugePie, WedgeStartsWhereThePercentageSays) {
  const TRect paint = PaintRect(101, 101, true);
  const PieGeometry quarter = Pie(paint, true, 25);
  EXPECT_EQ(quarter.Box, (TRect{1, 1, 100, 100}));
  EXPECT_EQ(quarter.End, (TPoint{50, 0}));
  EXPECT_EQ(quarter.Start, (TPoint{100, 50}));  // right middle: the upper right quarter
  EXPECT_EQ(Pie(paint, true, 50).Start, (TPoint{50, 100}));
  EXPECT_EQ(Pie(paint, true, 75).Start, (TPoint{0, 50}));
  const PieGeometry full = Pie(paint, true, 100);
  EXPECT_EQ(full.Start, full.End);  // coinciding rays: the whole ellipse
  EXPECT_EQ(Pie(PaintRect(80, 60, false), false, 25).Box, (TRect{0, 0, 80, 60}));
}

TEST(GaugeNeedle, PointsLeftUpAndRightAndKeepsItsBaselineOnTheBottomEdge) {
  const NeedleGeometry bordered = Needle(PaintRect(100, 60, true), true, 100, 50);
  EXPECT_EQ(bordered.DialBox, (TRect{1, 1, 99, 117}));
  EXPECT_EQ(bordered.DialStart, (TPoint{100, 58}));
  EXPECT_EQ(bordered.DialEnd, (TPoint{1, 58}));
  EXPECT_EQ(bordered.BaseFrom, (TPoint{1, 59}));  // the control's bottom row
  EXPECT_EQ(bordered.BaseTo, (TPoint{100, 59}));
  EXPECT_EQ(bordered.Pivot, (TPoint{50, 58}));
  EXPECT_EQ(bordered.Tip, (TPoint{50, 0}));
  EXPECT_EQ(Needle(PaintRect(100, 60, true), true, 100, 0).Tip, (TPoint{0, 58}));
  EXPECT_EQ(Needle(PaintRect(100, 60, true), true, 100, 100).Tip, (TPoint{100, 58}));

  const NeedleGeometry plain = Needle(PaintRect(100, 60, false), false, 100, 50);
  EXPECT_EQ(plain.BaseFrom.Y, 60);  // just below the control
  EXPECT_EQ(plain.Tip, (TPoint{50, 0}));
}

TEST(GaugeText, CentresWithTruncatingHalvesInControlCoordinates) {
  const TRect paint = PaintRect(261, 29, true);
  EXPECT_EQ(TextOrigin(paint, 25, 13), (TPoint{117, 7}));
  EXPECT_EQ(TextOrigin(paint, 265, 13), (TPoint{-2, 7}));  // -5 halves to -2
}

}  // namespace
