// The standard controls: panels with bevels, labels, push buttons and the single-line edit
// box.
#pragma once

#include <string>

#include "toolkit/win32/Controls.h"
#include "toolkit/win32/Layout.h"

enum TPanelBevel : uint8_t { bvNone, bvLowered, bvRaised };
enum TAlignment : uint8_t { taLeftJustify, taRightJustify, taCenter };

// A windowed container in the button-face colour with an outer and an inner bevel and an
// optional centred caption.
class TPanel : public TWinControl {
public:
  explicit TPanel(TComponent* owner);

  TPanelBevel BevelOuter() const { return bevelOuter_; }
  TPanelBevel BevelInner() const { return bevelInner_; }
  int BevelWidth() const { return bevelWidth_; }
  void SetBevelOuter(TPanelBevel bevel);
  void SetBevelInner(TPanelBevel bevel);
  void SetBevelWidth(int width);

protected:
  void CreateParams(TCreateParams& params) override;
  void PaintBackground(HDC dc) override;

private:
  TPanelBevel bevelOuter_ = bvRaised;
  TPanelBevel bevelInner_ = bvNone;
  int bevelWidth_ = 1;
};

// A line or block of text painted on its parent: transparent or filled with its colour,
// sized to its text or word-wrapped in its width, left-aligned or centred.
class TLabel : public TGraphicControl {
public:
  explicit TLabel(TComponent* owner);

  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool value);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool value);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool value);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment alignment);

protected:
  void Paint() override;
  void CaptionChanged() override;
  void FontChanged() override;
  void ParentChanged() override { AdjustBounds(); }

private:
  void AdjustBounds();
  int InkWidth(const std::string& text, int width, int height);
  UINT DrawFlags() const;

  bool autoSize_ = true;
  bool wordWrap_ = false;
  bool transparent_ = false;
  TAlignment alignment_ = taLeftJustify;
};

// A push button. Default makes it the button Enter presses, Cancel the one Esc presses.
class TButton : public TWinControl {
public:
  explicit TButton(TComponent* owner);

  bool Default() const { return default_; }
  void SetDefault(bool value);
  bool Cancel() const { return cancel_; }
  void SetCancel(bool value) { cancel_ = value; }

protected:
  void CreateParams(TCreateParams& params) override;
  void CommandNotify(WORD code) override;

private:
  bool default_ = false;
  bool cancel_ = false;
};

// A single-line edit box.
class TEdit : public TWinControl {
public:
  explicit TEdit(TComponent* owner);

  std::string Text();
  void SetText(const std::string& text);

protected:
  void CreateParams(TCreateParams& params) override;
};

// What layouts may set on these classes.
const TPropertyTable& PanelLayoutProperties();
const TPropertyTable& LabelLayoutProperties();
const TPropertyTable& ButtonLayoutProperties();
const TPropertyTable& EditLayoutProperties();
