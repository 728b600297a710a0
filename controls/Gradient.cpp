#include "controls/Gradient.h"

#include "toolkit/win32/Registry.h"

namespace {
constexpr const char* kSchemeKey = "Control Panel\\Colors";
}  // namespace

std::string ReadSchemeColor(const std::string& valueName) {
  TRegistry registry;
  registry.SetRootKey(HKEY_CURRENT_USER);
  registry.OpenKey(kSchemeKey, false);  // a scheme that cannot be opened reads as empty
  return registry.ReadString(valueName);
}

TGradient::TGradient(TComponent* owner)
    : TGraphicControl(owner),
      colorStart_(DefaultColorStart),
      colorEnd_(DefaultColorEnd),
      direction_(gdUpDown) {
  SetAlign(alClient);
  BuildColorTable();
}

void TGradient::BuildColorTable() {
  colorTable_ = gradient::BuildColorTable(colorStart_, colorEnd_, swap_, &ReadSchemeColor);
}

void TGradient::Changed() {
  BuildColorTable();
  PaintNow();
}

void TGradient::SetColorStart(TColor color) {
  colorStart_ = color;
  Changed();
}

void TGradient::SetColorEnd(TColor color) {
  colorEnd_ = color;
  Changed();
}

void TGradient::SetDirection(TGradDirection direction) {
  direction_ = direction;
  Changed();
}

void TGradient::SetSwap(bool swap) {
  swap_ = swap;
  Changed();
}

LRESULT TGradient::Perform(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_ERASEBKGND) return 1;
  return TGraphicControl::Perform(message, wParam, lParam);
}

// Always 256 fills, whatever the size, straight onto the parent's surface.
void TGradient::Paint() {
  const bool across = direction_ == gdLeftRight;
  const gradient::BandGeometry bands(across ? Width() : Height());
  TCanvas& canvas = Canvas();
  for (int k = 0; k < gradient::kTableSize; ++k) {
    canvas.Brush().SetColor(colorTable_[k]);
    const int start = bands.Start(k);
    if (across)
      canvas.FillRect(Rect(start, 0, start + bands.thickness, Height()));
    else
      canvas.FillRect(Rect(0, start, Width(), start + bands.thickness));
  }
}

namespace {
const TPropertyTable& GradientLayoutProperties() {
  using P = const TLayoutProperty&;
  static const TPropertiesOf<TGradient> table{
      &ControlLayoutProperties(),
      {
          {"ColorStart", [](TGradient& c, P p) { c.SetColorStart(p.Color()); }},
          {"ColorEnd", [](TGradient& c, P p) { c.SetColorEnd(p.Color()); }},
          {"Direction",
           [](TGradient& c, P p) {
             c.SetDirection(
                 static_cast<TGradDirection>(p.Enumeration({"gdUpDown", "gdLeftRight"})));
           }},
          {"Swap", [](TGradient& c, P p) { c.SetSwap(p.Boolean()); }},
          {"Cursor", [](TGradient& c, P p) { c.SetCursor(p.Cursor()); }},
          {"Align", nullptr},  // always alClient
      }};
  return table;
}
}  // namespace

void RegisterGradient() {
  RegisterComponentClass(
      "TGradient", [](TComponent* owner) { return new TGradient(owner); },
      GradientLayoutProperties());
}
