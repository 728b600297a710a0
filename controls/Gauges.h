// Unit Gauges: the progress gauge, a non-windowed control that shows how far a value has
// moved from a minimum towards a maximum as a whole-number percentage, in one of five
// looks. Every look is composed off screen and reaches the screen in one copy, so the gauge
// does not flicker however often its progress is written.
#pragma once

#include <cstdint>

#include "toolkit/Color.h"
#include "toolkit/win32/Canvas.h"
#include "toolkit/win32/Controls.h"
#include "toolkit/win32/Forms.h"

enum TGaugeKind : uint8_t { gkText, gkHorizontalBar, gkVerticalBar, gkPie, gkNeedle };

// An off-screen bitmap that can take the size of another and start filled with the
// window-frame colour.
class TBltBitmap : public TBitmap {
public:
  void MakeLike(TBitmap& source);
};

class TGauge : public TGraphicControl {
public:
  // A control's border: none or one black pixel. Its own type, so that a form's border
  // style (sizeable, dialog) cannot be handed to a gauge.
  enum TBorderStyle : uint8_t { bsNone, bsSingle };

  explicit TGauge(TComponent* owner);

  int32_t MinValue() const { return minValue_; }
  int32_t MaxValue() const { return maxValue_; }
  int32_t Progress() const { return progress_; }
  TGaugeKind Kind() const { return kind_; }
  bool ShowText() const { return showText_; }
  TBorderStyle BorderStyle() const { return borderStyle_; }
  TColor ForeColor() const { return foreColor_; }
  TColor BackColor() const { return backColor_; }

  // Raise EInvalidOperation and leave the gauge as it was when the range would be inverted.
  void SetMinValue(int32_t value);
  void SetMaxValue(int32_t value);
  // Clamped to the range; repaints only when the whole-number percentage changes.
  void SetProgress(int32_t value);
  void SetKind(TGaugeKind value);
  void SetShowText(bool value);
  void SetBorderStyle(TBorderStyle value);
  void SetForeColor(TColor value);
  void SetBackColor(TColor value);

  int32_t CompletedPercent() const;

  // Repaints the gauge at once in its parent's window, without erasing first, together with
  // the non-windowed controls above it; a hidden gauge, or one whose parent has no window
  // yet, is left alone.
  void Refresh();

  // Draws the whole gauge onto a canvas, its top left corner at (0, 0).
  void PaintTo(TCanvas& canvas);

protected:
  void Paint() override;

private:
  // A look property's writer: an equal value changes nothing, another one repaints.
  template <typename T>
  void Change(T& field, T value) {
    if (value == field) return;
    field = value;
    Refresh();
  }

  void DrawPercentText(TBitmap& frame, const TRect& paint);
  void DrawTextLook(TCanvas& canvas, const TRect& paint);
  void DrawBar(TCanvas& canvas, const TRect& paint);
  void DrawPie(TCanvas& canvas, const TRect& paint);
  void DrawNeedle(TCanvas& canvas, const TRect& paint);
  bool Bordered() const { return borderStyle_ == bsSingle; }

  int32_t minValue_ = 0;
  int32_t maxValue_ = 100;
  int32_t progress_ = 0;
  TGaugeKind kind_ = gkHorizontalBar;
  bool showText_ = true;
  TBorderStyle borderStyle_ = bsSingle;
  TColor foreColor_ = clBlack;
  TColor backColor_ = clWhite;
};

// Makes TGauge known to the window layouts.
void RegisterGauge();
