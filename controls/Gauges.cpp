#include "controls/Gauges.h"

#include <limits>
#include <memory>
#include <string>

#include "controls/GaugeArithmetic.h"
#include "toolkit/Exception.h"
#include "toolkit/Format.h"
#include "toolkit/Handles_win32.h"
#include "toolkit/win32/Layout.h"

namespace {

constexpr const char* kRangeError = "Value must be between %d and %d";
constexpr const char* kPercentText = "%d%%";
constexpr int kDefaultSize = 100;
constexpr int32_t kLowestMinValue = -std::numeric_limits<int32_t>::max();
constexpr int32_t kHighestMaxValue = std::numeric_limits<int32_t>::max();

// value + delta with 32-bit wrap-around, as the range message's bounds are 32-bit numbers.
int32_t Wrapped(int32_t value, int32_t delta) {
  return static_cast<int32_t>(static_cast<uint32_t>(value) + static_cast<uint32_t>(delta));
}

// Clears a bitmap to black by copying it onto itself with BLACKNESS.
void ClearToBlack(TBitmap& bitmap) {
  const TRect all{0, 0, bitmap.Width(), bitmap.Height()};
  bitmap.Canvas().SetCopyMode(cmBlackness);
  bitmap.Canvas().CopyRect(all, bitmap.Canvas(), all);
}

// Combines source into target at (0, 0): each pixel becomes target xor source.
void InvertInto(TBitmap& target, TBitmap& source) {
  target.Canvas().SetCopyMode(cmSrcInvert);
  target.Canvas().Draw(0, 0, source);
}

bool Overlap(const TRect& a, const TRect& b) {
  return a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom && b.Top < a.Bottom;
}

}  // namespace

void TBltBitmap::MakeLike(TBitmap& source) {
  SetWidth(source.Width());
  SetHeight(source.Height());
  Canvas().Brush().SetColor(clWindowFrame);
  Canvas().Brush().SetStyle(bsSolid);
  Canvas().FillRect(TRect{0, 0, Width(), Height()});
}

TGauge::TGauge(TComponent* owner) : TGraphicControl(owner) {
  SetOpaque(true);  // every look covers the whole rectangle
  // The published default colour (used by the pie and the needle) until a parent lends its own.
  SetColor(clWindow);
  SetParentColor(true);
  SetWidth(kDefaultSize);
  SetHeight(kDefaultSize);
}

int32_t TGauge::CompletedPercent() const {
  return gauge::CompletedPercent(minValue_, maxValue_, progress_);
}

void TGauge::SetMinValue(int32_t value) {
  if (value == minValue_) return;
  if (value > maxValue_)
    throw EInvalidOperation(Format(kRangeError, kLowestMinValue, Wrapped(maxValue_, -1)));
  minValue_ = value;
  if (progress_ < value) progress_ = value;
  Refresh();
}

void TGauge::SetMaxValue(int32_t value) {
  if (value == maxValue_) return;
  if (value < minValue_)
    throw EInvalidOperation(Format(kRangeError, Wrapped(minValue_, 1), kHighestMaxValue));
  maxValue_ = value;
  if (progress_ > value) progress_ = value;
  Refresh();
}

void TGauge::SetProgress(int32_t value) {
  const int32_t before = CompletedPercent();
  if (value < minValue_)
    value = minValue_;
  else if (value > maxValue_)
    value = maxValue_;
  if (value == progress_) return;
  progress_ = value;
  if (CompletedPercent() != before) Refresh();
}

void TGauge::SetKind(TGaugeKind value) {
  Change(kind_, value);
}

void TGauge::SetShowText(bool value) {
  Change(showText_, value);
}

void TGauge::SetBorderStyle(TBorderStyle value) {
  Change(borderStyle_, value);
}

void TGauge::SetForeColor(TColor value) {
  Change(foreColor_, value);
}

void TGauge::SetBackColor(TColor value) {
  Change(backColor_, value);
}

void TGauge::Refresh() {
  TWinControl* parent = Parent();
  if (!Visible() || !parent || !parent->HandleAllocated()) return;
  WindowDC dc(parent->Handle());
  SavedDCState state(dc.Get());
  const TRect bounds = BoundsRect();
  IntersectClipRect(dc.Get(), bounds.Left, bounds.Top, bounds.Right, bounds.Bottom);
  // The gauge, then the non-windowed controls painted over it, in the parent's order.
  bool reached = false;
  for (int i = 0; i < parent->ControlCount(); ++i) {
    TControl* control = parent->Controls(i);
    reached = reached || control == this;
    auto* graphic = dynamic_cast<TGraphicControl*>(control);
    if (!reached || !graphic || !graphic->Visible()) continue;
    if (graphic == this || Overlap(bounds, graphic->BoundsRect())) graphic->PaintOn(dc.Get());
  }
}

void TGauge::Paint() {
  PaintTo(Canvas());
}

void TGauge::PaintTo(TCanvas& canvas) {
  TBitmap frame;
  frame.SetHeight(Height());
  frame.SetWidth(Width());
  ClearToBlack(frame);
  const TRect paint = gauge::PaintRect(Width(), Height(), Bordered());

  auto overlay = std::make_unique<TBltBitmap>();
  overlay->MakeLike(frame);
  ClearToBlack(*overlay);
  switch (kind_) {
    case gkText:
      DrawTextLook(overlay->Canvas(), paint);
      break;
    case gkHorizontalBar:
    case gkVerticalBar:
      DrawBar(overlay->Canvas(), paint);
      break;
    case gkPie:
      DrawPie(overlay->Canvas(), paint);
      break;
    case gkNeedle:
      DrawNeedle(overlay->Canvas(), paint);
      break;
  }
  // The frame is black, so it takes the overlay's pixels; the black ring left outside the
  // paint rectangle is the border.
  InvertInto(frame, *overlay);
  if (showText_) DrawPercentText(frame, paint);
  overlay.reset();

  canvas.SetCopyMode(cmSrcCopy);
  canvas.Draw(0, 0, frame);
}

void TGauge::DrawTextLook(TCanvas& canvas, const TRect& paint) {
  canvas.Brush().SetColor(backColor_);
  canvas.FillRect(paint);
}

void TGauge::DrawBar(TCanvas& canvas, const TRect& paint) {
  canvas.Brush().SetColor(backColor_);
  canvas.FillRect(paint);
  canvas.Pen().SetColor(foreColor_);
  canvas.Pen().SetWidth(1);
  canvas.Brush().SetColor(foreColor_);
  const int percent = CompletedPercent();
  const TRect bar = kind_ == gkHorizontalBar ? gauge::HorizontalBar(paint, percent)
                                             : gauge::VerticalBar(paint, percent);
  if (bar.Width() > 0 && bar.Height() > 0) canvas.FillRect(bar);
}

void TGauge::DrawPie(TCanvas& canvas, const TRect& paint) {
  canvas.Brush().SetColor(Color());
  canvas.FillRect(paint);
  canvas.Brush().SetColor(backColor_);
  canvas.Pen().SetColor(foreColor_);
  canvas.Pen().SetWidth(1);
  const int percent = CompletedPercent();
  const gauge::PieGeometry pie = gauge::Pie(paint, Bordered(), percent);
  canvas.Ellipse(pie.Box.Left, pie.Box.Top, pie.Box.Right, pie.Box.Bottom);
  if (percent <= 0) return;
  canvas.Brush().SetColor(foreColor_);
  canvas.Pie(pie.Box.Left, pie.Box.Top, pie.Box.Right, pie.Box.Bottom, pie.Start.X, pie.Start.Y,
             pie.End.X, pie.End.Y);
}

void TGauge::DrawNeedle(TCanvas& canvas, const TRect& paint) {
  canvas.Brush().SetColor(Color());
  canvas.FillRect(paint);
  canvas.Brush().SetColor(backColor_);
  canvas.Pen().SetColor(foreColor_);
  canvas.Pen().SetWidth(1);
  const int percent = CompletedPercent();
  const gauge::NeedleGeometry needle = gauge::Needle(paint, Bordered(), Width(), percent);
  const TRect& dial = needle.DialBox;
  canvas.Pie(dial.Left, dial.Top, dial.Right, dial.Bottom, needle.DialStart.X, needle.DialStart.Y,
             needle.DialEnd.X, needle.DialEnd.Y);
  canvas.MoveTo(needle.BaseFrom.X, needle.BaseFrom.Y);
  canvas.LineTo(needle.BaseTo.X, needle.BaseTo.Y);
  if (percent <= 0) return;
  canvas.Pen().SetColor(foreColor_);
  canvas.MoveTo(needle.Pivot.X, needle.Pivot.Y);
  canvas.LineTo(needle.Tip.X, needle.Tip.Y);
}

// The percentage, white on a black bitmap, inverted onto the frame: black over a white
// background, white over a black bar.
void TGauge::DrawPercentText(TBitmap& frame, const TRect& paint) {
  TBltBitmap text;
  text.MakeLike(frame);
  ClearToBlack(text);
  const std::string percentText = Format(kPercentText, CompletedPercent());
  TCanvas& canvas = text.Canvas();
  canvas.Brush().SetStyle(bsClear);
  canvas.Font().Assign(Font());
  canvas.Font().SetColor(clWhite);
  const TPoint origin =
      gauge::TextOrigin(paint, canvas.TextWidth(percentText), canvas.TextHeight(percentText));
  canvas.TextRect(paint, origin.X, origin.Y, percentText);
  InvertInto(frame, text);
}

namespace {

const TPropertyTable& GaugeLayoutProperties() {
  using P = const TLayoutProperty&;
  static const TPropertiesOf<TGauge> table{
      &ControlLayoutProperties(),
      {
          {"Kind",
           [](TGauge& c, P p) {
             c.SetKind(static_cast<TGaugeKind>(p.Enumeration(
                 {"gkText", "gkHorizontalBar", "gkVerticalBar", "gkPie", "gkNeedle"})));
           }},
          {"ShowText", [](TGauge& c, P p) { c.SetShowText(p.Boolean()); }},
          {"BorderStyle",
           [](TGauge& c, P p) {
             c.SetBorderStyle(
                 static_cast<TGauge::TBorderStyle>(p.Enumeration({"bsNone", "bsSingle"})));
           }},
          {"ForeColor", [](TGauge& c, P p) { c.SetForeColor(p.Color()); }},
          {"BackColor", [](TGauge& c, P p) { c.SetBackColor(p.Color()); }},
          // The range is checked as it is applied, as at any other time.
          {"MinValue", [](TGauge& c, P p) { c.SetMinValue(p.Integer()); }},
          {"MaxValue", [](TGauge& c, P p) { c.SetMaxValue(p.Integer()); }},
          {"Progress", [](TGauge& c, P p) { c.SetProgress(p.Integer()); }},
          {"Enabled", [](TGauge& c, P p) { c.SetEnabled(p.Boolean()); }},
          {"ShowHint", [](TGauge& c, P p) { c.SetShowHint(p.Boolean()); }},
          {"ParentShowHint", [](TGauge& c, P p) { c.SetParentShowHint(p.Boolean()); }},
          {"PopupMenu", [](TGauge& c, P p) { c.SetPopupMenu(p.Component(c)); }},
      }};
  return table;
}

}  // namespace

void RegisterGauge() {
  RegisterComponentClass(
      "TGauge", [](TComponent* owner) { return new TGauge(owner); }, GaugeLayoutProperties());
}
