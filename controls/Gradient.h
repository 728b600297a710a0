// Unit Gradient: TGradient covers its parent's client area with 255 solid bands whose
// colours step evenly from a first to a last colour, top to bottom or left to right. The
// colours are worked out into a 256-entry table whenever a property is written; painting
// only fills rectangles from it. System colours come from the user's colour scheme in the
// registry, not from the running system.
#pragma once

#include <cstdint>
#include <string>

#include "controls/GradientColors.h"
#include "toolkit/win32/Controls.h"
#include "toolkit/win32/Layout.h"

enum TGradDirection : uint8_t { gdUpDown, gdLeftRight };

class TGradient : public TGraphicControl {
public:
  static constexpr TColor DefaultColorStart = clBlack;
  static constexpr TColor DefaultColorEnd = clBlue;

  // Fills its parent (alClient); black to blue, up-down, not swapped. Does not paint.
  explicit TGradient(TComponent* owner);

  // Each writer stores the value, rebuilds the table and paints at once, also when the
  // value is unchanged. A colour that cannot be read raises; the value stays stored, the
  // table keeps its colours and nothing is painted.
  TColor ColorStart() const { return colorStart_; }
  void SetColorStart(TColor color);
  TColor ColorEnd() const { return colorEnd_; }
  void SetColorEnd(TColor color);
  TGradDirection Direction() const { return direction_; }
  void SetDirection(TGradDirection direction);
  bool Swap() const { return swap_; }
  void SetSwap(bool swap);

  const gradient::ColorTable& ColorTable() const { return colorTable_; }

  // WM_ERASEBKGND is answered as handled (1) and erases nothing.
  LRESULT Perform(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
  void Paint() override;

private:
  void BuildColorTable();
  void Changed();

  TColor colorStart_;
  TColor colorEnd_;
  TGradDirection direction_;
  bool swap_ = false;
  gradient::ColorTable colorTable_{};
};

// The text of a value under "Control Panel\Colors" of the current user, or empty text.
// Each call opens the key anew; raises ERegistryException for a value of the wrong type
// or one that cannot be read.
std::string ReadSchemeColor(const std::string& valueName);

// Makes TGradient known to the layouts.
void RegisterGradient();
