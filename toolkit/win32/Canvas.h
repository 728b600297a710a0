// Drawing on a GDI device context: fonts, brushes, pens, the canvas and off-screen bitmaps.
// The canvas selects its font, pen and brush into the DC only for the duration of one
// drawing call and restores what was selected before, so a DC handed to it comes back as it
// was, and the cached GDI objects are never deleted while selected.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "toolkit/Color.h"
#include "toolkit/Handles_win32.h"
#include "toolkit/Object.h"
#include "toolkit/Rect.h"

// A plain colour for GDI: system colours resolve through GetSysColor.
COLORREF ColorToRGB(TColor color);

// Font styles, combined as a set of bits.
enum TFontStyle : uint8_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = uint8_t;

// Something a canvas draws with; tells its owner when it changes (a control repaints).
class TGraphicsObject {
public:
  TGraphicsObject() = default;
  TGraphicsObject(const TGraphicsObject&) = delete;
  TGraphicsObject& operator=(const TGraphicsObject&) = delete;
  virtual ~TGraphicsObject() = default;

  std::function<void()> OnChange;

protected:
  void Changed() {
    if (OnChange) OnChange();
  }
};

// A font. Height follows the toolkit's convention: negative is the character height in
// pixels (without internal leading), positive the cell height.
class TFont : public TGraphicsObject {
public:
  static constexpr const char* DefaultName = "MS Sans Serif";
  static constexpr int DefaultHeight = -11;

  const std::string& Name() const { return name_; }
  int Height() const { return height_; }
  TFontStyles Style() const { return style_; }
  TColor Color() const { return color_; }
  void SetName(const std::string& name);
  void SetHeight(int height);
  void SetStyle(TFontStyles style);
  void SetColor(TColor color);
  // Takes name, height, style and colour of another font.
  void Assign(const TFont& source);

  HFONT Handle() const;  // created on first use, kept until the font changes

private:
  void Invalidate();

  std::string name_ = DefaultName;
  int height_ = DefaultHeight;
  TFontStyles style_ = 0;
  TColor color_ = clWindowText;
  mutable FontHandle handle_;
};

enum TBrushStyle : uint8_t { bsSolid, bsClear };

class TBrush : public TGraphicsObject {
public:
  TColor Color() const { return color_; }
  TBrushStyle Style() const { return style_; }
  // A colour makes the brush solid, as picking a colour for a clear brush means to fill.
  void SetColor(TColor color);
  void SetStyle(TBrushStyle style);
  void Assign(const TBrush& source);

  HBRUSH Handle() const;  // the stock null brush when clear

private:
  void Invalidate();

  TColor color_ = clWhite;
  TBrushStyle style_ = bsSolid;
  mutable BrushHandle handle_;
};

enum TPenStyle : uint8_t { psSolid, psClear };

class TPen : public TGraphicsObject {
public:
  TColor Color() const { return color_; }
  int Width() const { return width_; }
  TPenStyle Style() const { return style_; }
  void SetColor(TColor color);
  void SetWidth(int width);
  void SetStyle(TPenStyle style);
  void Assign(const TPen& source);

  HPEN Handle() const;

private:
  void Invalidate();

  TColor color_ = clBlack;
  int width_ = 1;
  TPenStyle style_ = psSolid;
  mutable PenHandle handle_;
};

// Raster operations for copying between canvases.
using TCopyMode = DWORD;
constexpr TCopyMode cmBlackness = BLACKNESS;
constexpr TCopyMode cmWhiteness = WHITENESS;
constexpr TCopyMode cmSrcCopy = SRCCOPY;
constexpr TCopyMode cmSrcInvert = SRCINVERT;
constexpr TCopyMode cmSrcAnd = SRCAND;
constexpr TCopyMode cmSrcPaint = SRCPAINT;

class TBitmap;

// Drawing operations over a DC that someone else owns. Coordinates are the DC's logical
// coordinates; rectangles are half-open.
class TCanvas {
public:
  explicit TCanvas(HDC dc = nullptr) : dc_(dc) {}
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;
  virtual ~TCanvas() = default;

  HDC Handle() const { return dc_; }
  void SetHandle(HDC dc) { dc_ = dc; }

  TFont& Font() { return font_; }
  TBrush& Brush() { return brush_; }
  TPen& Pen() { return pen_; }
  TCopyMode CopyMode() const { return copyMode_; }
  void SetCopyMode(TCopyMode mode) { copyMode_ = mode; }

  void FillRect(const TRect& r);  // with the brush, no outline
  void Rectangle(int x1, int y1, int x2, int y2);
  void Ellipse(int x1, int y1, int x2, int y2);
  // The wedge of the ellipse in the box (x1, y1, x2, y2) swept counter-clockwise from the ray
  // through (x3, y3) to the ray through (x4, y4); the whole ellipse when both coincide.
  void Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
  void MoveTo(int x, int y);
  void LineTo(int x, int y);  // colours the start point but not (x, y)
  TPoint PenPos() const;

  // Text in the font's colour; the background filled with the brush unless it is clear.
  void TextOut(int x, int y, const std::string& text);
  // The same, clipped to the rectangle.
  void TextRect(const TRect& clip, int x, int y, const std::string& text);
  SIZE TextExtent(const std::string& text);
  int TextWidth(const std::string& text) { return TextExtent(text).cx; }
  int TextHeight(const std::string& text) { return TextExtent(text).cy; }

  // Copies a rectangle of another canvas (stretched to fit) with the copy mode.
  void CopyRect(const TRect& dest, TCanvas& source, const TRect& sourceRect);
  // Copies a whole bitmap with its top left corner at (x, y), with the copy mode.
  void Draw(int x, int y, TBitmap& bitmap);

  TColor Pixel(int x, int y) const;
  void SetPixel(int x, int y, TColor color);

private:
  HDC RequireHandle() const;

  HDC dc_;
  TFont font_;
  TBrush brush_;
  TPen pen_;
  TCopyMode copyMode_ = cmSrcCopy;
};

// An off-screen picture: a 32-bit top-down DIB section selected into a memory DC of its
// own. A new bitmap is empty (0 x 0); resizing keeps the picture that still fits and fills
// the rest with white.
class TBitmap : public TObject {
public:
  TBitmap();
  ~TBitmap() override;

  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetWidth(int width) { SetSize(width, height_); }
  void SetHeight(int height) { SetSize(width_, height); }
  void SetSize(int width, int height);

  TCanvas& Canvas() { return canvas_; }
  HBITMAP Handle() const { return bitmap_.Get(); }

  // Direct pixel access, mainly for tests; coordinates outside the bitmap throw.
  TColor Pixel(int x, int y) const;

private:
  MemoryDC dc_;
  BitmapHandle bitmap_;
  HGDIOBJ initialBitmap_ = nullptr;  // the DC's own 1 x 1 bitmap, put back before deleting ours
  uint32_t* bits_ = nullptr;
  int width_ = 0;
  int height_ = 0;
  TCanvas canvas_;
};
