#include "toolkit/win32/StdCtrls.h"

#include <algorithm>
#include <vector>

#include "toolkit/win32/WideText.h"

namespace {
void FillWith(HDC dc, const RECT& r, TColor color) {
  BrushHandle brush(CreateSolidBrush(ColorToRGB(color)));
  FillRect(dc, &r, brush.Get());
}

// A bevel of width lines: the top and left edges in one colour, bottom and right in the
// other; shrinks r to the area inside it.
void Frame3D(HDC dc, RECT& r, TColor topLeft, TColor bottomRight, int width) {
  for (int i = 0; i < width && r.right > r.left && r.bottom > r.top; ++i) {
    FillWith(dc, RECT{r.left, r.top, r.right - 1, r.top + 1}, topLeft);
    FillWith(dc, RECT{r.left, r.top, r.left + 1, r.bottom - 1}, topLeft);
    FillWith(dc, RECT{r.left, r.bottom - 1, r.right, r.bottom}, bottomRight);
    FillWith(dc, RECT{r.right - 1, r.top, r.right, r.bottom}, bottomRight);
    InflateRect(&r, -1, -1);
  }
}

void DrawBevel(HDC dc, RECT& r, TPanelBevel bevel, int width) {
  if (bevel == bvNone) return;
  const bool raised = bevel == bvRaised;
  Frame3D(dc, r, raised ? clBtnHighlight : clBtnShadow, raised ? clBtnShadow : clBtnHighlight,
          width);
}
}  // namespace

// ---- TPanel ----

TPanel::TPanel(TComponent* owner) : TWinControl(owner) {
  SetColor(clBtnFace);
}

void TPanel::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.className = "KestrelPanel";
  params.exStyle |= WS_EX_CONTROLPARENT;
}

void TPanel::SetBevelOuter(TPanelBevel bevel) {
  bevelOuter_ = bevel;
  Invalidate();
}

void TPanel::SetBevelInner(TPanelBevel bevel) {
  bevelInner_ = bevel;
  Invalidate();
}

void TPanel::SetBevelWidth(int width) {
  bevelWidth_ = width < 1 ? 1 : width;
  Invalidate();
}

void TPanel::PaintBackground(HDC dc) {
  RECT r;
  GetClientRect(Handle(), &r);
  FillWith(dc, r, Color());
  DrawBevel(dc, r, bevelOuter_, bevelWidth_);
  DrawBevel(dc, r, bevelInner_, bevelWidth_);
  if (Caption().empty()) return;
  SelectedObject font(dc, Font().Handle());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorToRGB(Font().Color()));
  DrawTextW(dc, WideText(Caption()).c_str(), -1, &r,
            DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

// ---- TLabel ----

TLabel::TLabel(TComponent* owner) : TGraphicControl(owner) {}

UINT TLabel::DrawFlags() const {
  UINT flags = DT_NOPREFIX | DT_EXPANDTABS;
  if (wordWrap_) flags |= DT_WORDBREAK;
  if (alignment_ == taCenter)
    flags |= DT_CENTER;
  else if (alignment_ == taRightJustify)
    flags |= DT_RIGHT;
  return flags;
}

void TLabel::Paint() {
  HDC dc = Canvas().Handle();
  RECT r{0, 0, Width(), Height()};
  if (!transparent_) FillWith(dc, r, Color());
  SelectedObject font(dc, Font().Handle());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorToRGB(Font().Color()));
  DrawTextW(dc, WideText(Caption()).c_str(), -1, &r, DrawFlags());
}

// How far the drawn text really reaches. Some renderers (Wine's stand-ins for the old
// bitmap fonts) place glyphs past their measured advances, a little more with every
// letter, which would cut off the end of a label sized by measurement alone.
int TLabel::InkWidth(const std::string& text, int width, int height) {
  TBitmap sample;
  sample.SetSize(width, height);  // white
  HDC dc = sample.Canvas().Handle();
  SelectedObject font(dc, Font().Handle());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(0, 0, 0));
  RECT r{0, 0, width, height};
  DrawTextW(dc, WideText(text).c_str(), -1, &r, DrawFlags() | DT_NOCLIP);
  for (int x = width - 1; x >= 0; --x)
    for (int y = 0; y < height; ++y)
      if (sample.Pixel(x, y) != clWhite) return x + 1;
  return 0;
}

// An auto-sized label takes the size of its text; a word-wrapped one keeps its width and
// takes the height of its lines.
void TLabel::AdjustBounds() {
  if (!autoSize_) return;
  WindowDC screen(nullptr);
  SelectedObject font(screen.Get(), Font().Handle());
  RECT r{0, 0, wordWrap_ ? Width() : 0, 0};
  const std::string text = Caption().empty() ? std::string(" ") : Caption();
  DrawTextW(screen.Get(), WideText(text).c_str(), -1, &r, DrawFlags() | DT_CALCRECT);
  if (!wordWrap_) r.right = std::max<int>(r.right, InkWidth(text, r.right + r.bottom, r.bottom));
  SetBounds(Left(), Top(), wordWrap_ ? Width() : r.right, r.bottom);
}

void TLabel::CaptionChanged() {
  AdjustBounds();
  Invalidate();
}

void TLabel::FontChanged() {
  AdjustBounds();
  Invalidate();
}

void TLabel::SetAutoSize(bool value) {
  autoSize_ = value;
  AdjustBounds();
}

void TLabel::SetWordWrap(bool value) {
  wordWrap_ = value;
  AdjustBounds();
  Invalidate();
}

void TLabel::SetTransparent(bool value) {
  transparent_ = value;
  Invalidate();
}

void TLabel::SetAlignment(TAlignment alignment) {
  alignment_ = alignment;
  Invalidate();
}

// ---- TButton ----

TButton::TButton(TComponent* owner) : TWinControl(owner) {
  SetTabStop(true);
}

void TButton::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.systemClass = "BUTTON";
  params.style &= ~WS_CLIPCHILDREN;
  params.style |= default_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

void TButton::SetDefault(bool value) {
  default_ = value;
  if (HandleAllocated())
    SendMessageA(Handle(), BM_SETSTYLE, value ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void TButton::CommandNotify(WORD code) {
  if (code == BN_CLICKED) Click();
}

// ---- TEdit ----

TEdit::TEdit(TComponent* owner) : TWinControl(owner) {
  SetTabStop(true);
  SetColor(clWindow);
}

void TEdit::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.systemClass = "EDIT";
  params.style &= ~WS_CLIPCHILDREN;
  params.style |= ES_AUTOHSCROLL;
  params.exStyle |= WS_EX_CLIENTEDGE;
}

std::string TEdit::Text() {
  if (!HandleAllocated()) return Caption();
  std::vector<char> buffer(GetWindowTextLengthA(Handle()) + 1, '\0');
  GetWindowTextA(Handle(), buffer.data(), static_cast<int>(buffer.size()));
  return std::string(buffer.data());
}

void TEdit::SetText(const std::string& text) {
  SetCaption(text);
  if (HandleAllocated()) SetWindowTextA(Handle(), text.c_str());  // also after typing
}

// ---- layout properties ----

namespace {
TPanelBevel PanelBevel(const TLayoutProperty& property) {
  return static_cast<TPanelBevel>(property.Enumeration({"bvNone", "bvLowered", "bvRaised"}));
}
}  // namespace

const TPropertyTable& PanelLayoutProperties() {
  using P = const TLayoutProperty&;
  static const TPropertiesOf<TPanel> table{
      &WinControlLayoutProperties(),
      {
          {"BevelOuter", [](TPanel& c, P p) { c.SetBevelOuter(PanelBevel(p)); }},
          {"BevelInner", [](TPanel& c, P p) { c.SetBevelInner(PanelBevel(p)); }},
          {"BevelWidth", [](TPanel& c, P p) { c.SetBevelWidth(p.ScaledInteger()); }},
      }};
  return table;
}

const TPropertyTable& LabelLayoutProperties() {
  using P = const TLayoutProperty&;
  static const TPropertiesOf<TLabel> table{
      &ControlLayoutProperties(),
      {
          {"AutoSize", [](TLabel& c, P p) { c.SetAutoSize(p.Boolean()); }},
          {"WordWrap", [](TLabel& c, P p) { c.SetWordWrap(p.Boolean()); }},
          {"Transparent", [](TLabel& c, P p) { c.SetTransparent(p.Boolean()); }},
          {"Alignment",
           [](TLabel& c, P p) {
             c.SetAlignment(static_cast<TAlignment>(
                 p.Enumeration({"taLeftJustify", "taRightJustify", "taCenter"})));
           }},
      }};
  return table;
}

const TPropertyTable& ButtonLayoutProperties() {
  using P = const TLayoutProperty&;
  static const TPropertiesOf<TButton> table{
      &WinControlLayoutProperties(),
      {
          {"Default", [](TButton& c, P p) { c.SetDefault(p.Boolean()); }},
          {"Cancel", [](TButton& c, P p) { c.SetCancel(p.Boolean()); }},
      }};
  return table;
}

const TPropertyTable& EditLayoutProperties() {
  using P = const TLayoutProperty&;
  static const TPropertiesOf<TEdit> table{
      &WinControlLayoutProperties(),
      {
          {"Text", [](TEdit& c, P p) { c.SetText(p.String()); }},
      }};
  return table;
}
