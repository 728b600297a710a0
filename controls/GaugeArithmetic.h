// The progress gauge's arithmetic and geometry, free of any drawing layer so that it can be
// checked on its own: the percentage, the part of a size, and the boxes and points of the
// five looks. Coordinates follow GDI: rectangles and ellipse boxes are half-open.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

#include "toolkit/Rect.h"

// The bar lengths and dial angles are defined in 80-bit extended floating point (64-bit
// significand), which is what long double is on every x86 target this builds for.
static_assert(std::numeric_limits<long double>::digits == 64 &&
                  std::numeric_limits<long double>::max_exponent == 16384 &&
                  std::numeric_limits<long double>::radix == 2,
              "the gauge needs long double to be the x87 80-bit extended format");

namespace gauge {

// 0.01 held at extended precision lies just below 1/100; that is why some exact products
// come out one short (10 % of 260 is 25, not 26).
constexpr long double kOnePercent = 0.01L;
constexpr long double kTwoPercent = 0.02L;
constexpr long double kPi = 3.141592653589793238462643383279502884L;

#if defined(__i386__) || defined(__x86_64__)
// Sets the x87 unit to 64-bit precision and round-to-nearest for one scope. Windows and
// foreign DLLs may leave it at 53 bits, which would change the results below.
class ExtendedPrecisionScope {
public:
  ExtendedPrecisionScope() {
    asm volatile("fnstcw %0" : "=m"(saved_));
    uint16_t wanted = uint16_t((saved_ & ~0x0F00u) | 0x0300u);
    asm volatile("fldcw %0" : : "m"(wanted) : "memory");
  }
  ~ExtendedPrecisionScope() { asm volatile("fldcw %0" : : "m"(saved_) : "memory"); }
  ExtendedPrecisionScope(const ExtendedPrecisionScope&) = delete;
  ExtendedPrecisionScope& operator=(const ExtendedPrecisionScope&) = delete;

private:
  uint16_t saved_ = 0;
};
#else
#error "the gauge's arithmetic is defined for the x87 unit"
#endif

// Keeps the compiler from folding or moving a computation across the precision switch.
inline long double Opaque(long double value) {
  asm volatile("" : "+m"(value));
  return value;
}

// ((progress - min) * 100) / (max - min) truncated toward zero, 0 for an empty range.
// The differences are taken in 64 bits so that no range the invariant allows can overflow.
inline int32_t CompletedPercent(int32_t minValue, int32_t maxValue, int32_t progress) {
  const int64_t range = int64_t(maxValue) - minValue;
  if (range == 0) return 0;
  return int32_t((int64_t(progress) - minValue) * 100 / range);
}

// truncate(size * (percent * 0.01)), each step rounded to extended precision.
inline int PercentOfSize(int percent, int size) {
  ExtendedPrecisionScope precision;
  const long double fraction = Opaque(Opaque(static_cast<long double>(percent)) * kOnePercent);
  const long double length = Opaque(fraction * static_cast<long double>(size));
  return static_cast<int>(length);  // truncates toward zero
}

// Rounds to the nearest integer, halves to even.
inline int Nearest(long double value) {
  return static_cast<int>(std::nearbyint(value));
}

// The client rectangle, shrunk by the one-pixel border when there is one.
inline TRect PaintRect(int width, int height, bool bordered) {
  return bordered ? TRect{1, 1, width - 1, height - 1} : TRect{0, 0, width, height};
}

// The filled part of a horizontal bar; empty when nothing is to be filled. Its right edge is
// the part of the size itself, not offset by the left edge.
inline TRect HorizontalBar(const TRect& paint, int percent) {
  const int w = paint.Right - paint.Left + 1, h = paint.Bottom - paint.Top + 1;
  int filled = PercentOfSize(percent, w);
  if (filled > w) filled = w;
  if (filled <= 0) return TRect{};
  return TRect{paint.Left, paint.Top, filled, h};
}

// The filled part of a vertical bar, growing upward from the bottom.
inline TRect VerticalBar(const TRect& paint, int percent) {
  const int w = paint.Right - paint.Left + 1, h = paint.Bottom - paint.Top + 1;
  int filled = PercentOfSize(percent, h);
  if (filled >= h) filled = h - 1;
  return TRect{paint.Left, h - filled, w, h};
}

// The pie look: the ellipse box and, from 1 % on, the wedge from Start to End swept
// counter-clockwise, so that it fills clockwise from twelve o'clock.
struct PieGeometry {
  TRect Box;
  TPoint Start;
  TPoint End;
};

inline PieGeometry Pie(const TRect& paint, bool bordered, int percent) {
  const int extra = bordered ? 1 : 0;
  const int w = paint.Right - paint.Left + extra, h = paint.Bottom - paint.Top + extra;
  const int mx = w / 2, my = h / 2;
  PieGeometry pie{TRect{paint.Left, paint.Top, w, h}, {}, TPoint{mx, 0}};
  ExtendedPrecisionScope precision;
  const double angle =
      double(Opaque(Opaque(static_cast<long double>(percent)) * kTwoPercent + 0.5L) * kPi);
  const long double c = std::cos(static_cast<long double>(angle));
  const long double s = std::sin(static_cast<long double>(angle));
  pie.Start = TPoint{Nearest(Opaque(mx * (1.0L - c))), Nearest(Opaque(my * (1.0L - s)))};
  return pie;
}

// The needle look: a half dial (the upper half of an ellipse centred on the bottom edge),
// its baseline, and from 1 % on the needle from its pivot to its tip.
struct NeedleGeometry {
  TRect DialBox;
  TPoint DialStart;
  TPoint DialEnd;
  TPoint BaseFrom;
  TPoint BaseTo;
  TPoint Pivot;
  TPoint Tip;
};

inline NeedleGeometry Needle(const TRect& paint, bool bordered, int controlWidth, int percent) {
  const int extra = bordered ? 1 : 0;
  const int x = paint.Left, w = paint.Right - paint.Left + extra;
  const int h = paint.Bottom - paint.Top + extra, b = paint.Bottom;
  NeedleGeometry needle{};
  needle.DialBox = TRect{x, paint.Top, w, 2 * h - 1};
  needle.DialStart = TPoint{x + w, b - 1};
  needle.DialEnd = TPoint{x, b - 1};
  needle.BaseFrom = TPoint{x, b};
  needle.BaseTo = TPoint{x + w, b};
  const int mx = controlWidth / 2;
  needle.Pivot = TPoint{mx, b - 1};
  ExtendedPrecisionScope precision;
  const double angle =
      double(Opaque(Opaque(static_cast<long double>(percent)) * kOnePercent) * kPi);
  const long double c = std::cos(static_cast<long double>(angle));
  const long double s = std::sin(static_cast<long double>(angle));
  needle.Tip = TPoint{Nearest(Opaque(mx * (1.0L - c))), Nearest(Opaque((b - 1) * (1.0L - s)))};
  return needle;
}

// Where the percentage text starts: centred in the paint rectangle with halves truncated,
// in coordinates of the whole control (the paint rectangle's corner is not added).
inline TPoint TextOrigin(const TRect& paint, int textWidth, int textHeight) {
  return TPoint{(paint.Right - paint.Left + 1 - textWidth) / 2,
                (paint.Bottom - paint.Top + 1 - textHeight) / 2};
}

}  // namespace gauge
