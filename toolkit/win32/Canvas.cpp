#include "toolkit/win32/Canvas.h"

#include <algorithm>
#include <cstring>

#include "toolkit/Exception.h"
#include "toolkit/Format.h"
#include "toolkit/win32/WideText.h"

namespace {

constexpr const char* kNoDrawing = "Canvas does not allow drawing";
constexpr const char* kPixelOutOfRange = "Bitmap pixel (%d, %d) is outside the bitmap";
constexpr uint32_t kDibWhite = 0x00FFFFFF;

RECT ToRECT(const TRect& r) {
  return RECT{r.Left, r.Top, r.Right, r.Bottom};
}

// Text colour and background of a DC, put back when the scope ends.
class SavedTextColors {
public:
  explicit SavedTextColors(HDC dc)
      : dc_(dc), text_(GetTextColor(dc)), back_(GetBkColor(dc)), mode_(GetBkMode(dc)) {}
  ~SavedTextColors() {
    SetTextColor(dc_, text_);
    SetBkColor(dc_, back_);
    SetBkMode(dc_, mode_);
  }

private:
  HDC dc_;
  COLORREF text_, back_;
  int mode_;
};

}  // namespace

COLORREF ColorToRGB(TColor color) {
  if (IsSystemColor(color)) return GetSysColor(SystemColorIndex(color));
  return color & 0x00FFFFFF;
}

// --- TFont ---

void TFont::Invalidate() {
  handle_.Reset();
  Changed();
}

void TFont::SetName(const std::string& name) {
  if (name == name_) return;
  name_ = name;
  Invalidate();
}

void TFont::SetHeight(int height) {
  if (height == height_) return;
  height_ = height;
  Invalidate();
}

void TFont::SetStyle(TFontStyles style) {
  if (style == style_) return;
  style_ = style;
  Invalidate();
}

void TFont::SetColor(TColor color) {
  if (color == color_) return;
  color_ = color;
  Changed();  // the colour is not part of the GDI font
}

void TFont::Assign(const TFont& source) {
  name_ = source.name_;
  height_ = source.height_;
  style_ = source.style_;
  color_ = source.color_;
  Invalidate();
}

HFONT TFont::Handle() const {
  if (!handle_) {
    handle_.Reset(CreateFontA(height_, 0, 0, 0, (style_ & fsBold) ? FW_BOLD : FW_NORMAL,
                              (style_ & fsItalic) != 0, (style_ & fsUnderline) != 0,
                              (style_ & fsStrikeOut) != 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                              CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                              name_.c_str()));
    if (!handle_) throw EOutOfMemory();
  }
  return handle_.Get();
}

// --- TBrush ---

void TBrush::Invalidate() {
  handle_.Reset();
  Changed();
}

void TBrush::SetColor(TColor color) {
  if (color == color_ && style_ == bsSolid) return;
  color_ = color;
  style_ = bsSolid;
  Invalidate();
}

void TBrush::SetStyle(TBrushStyle style) {
  if (style == style_) return;
  style_ = style;
  Invalidate();
}

void TBrush::Assign(const TBrush& source) {
  color_ = source.color_;
  style_ = source.style_;
  Invalidate();
}

HBRUSH TBrush::Handle() const {
  if (style_ == bsClear) return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
  if (!handle_) {
    handle_.Reset(CreateSolidBrush(ColorToRGB(color_)));
    if (!handle_) throw EOutOfMemory();
  }
  return handle_.Get();
}

// --- TPen ---

void TPen::Invalidate() {
  handle_.Reset();
  Changed();
}

void TPen::SetColor(TColor color) {
  if (color == color_) return;
  color_ = color;
  Invalidate();
}

void TPen::SetWidth(int width) {
  if (width == width_) return;
  width_ = width;
  Invalidate();
}

void TPen::SetStyle(TPenStyle style) {
  if (style == style_) return;
  style_ = style;
  Invalidate();
}

void TPen::Assign(const TPen& source) {
  color_ = source.color_;
  width_ = source.width_;
  style_ = source.style_;
  Invalidate();
}

HPEN TPen::Handle() const {
  if (!handle_) {
    handle_.Reset(CreatePen(style_ == psClear ? PS_NULL : PS_SOLID, width_, ColorToRGB(color_)));
    if (!handle_) throw EOutOfMemory();
  }
  return handle_.Get();
}

// --- TCanvas ---

HDC TCanvas::RequireHandle() const {
  if (!dc_) throw EInvalidOperation(kNoDrawing);
  return dc_;
}

void TCanvas::FillRect(const TRect& r) {
  HDC dc = RequireHandle();
  RECT rect = ToRECT(r);
  ::FillRect(dc, &rect, brush_.Handle());
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2) {
  HDC dc = RequireHandle();
  SelectedObject pen(dc, pen_.Handle()), brush(dc, brush_.Handle());
  ::Rectangle(dc, x1, y1, x2, y2);
}

void TCanvas::Ellipse(int x1, int y1, int x2, int y2) {
  HDC dc = RequireHandle();
  SelectedObject pen(dc, pen_.Handle()), brush(dc, brush_.Handle());
  ::Ellipse(dc, x1, y1, x2, y2);
}

void TCanvas::Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
  HDC dc = RequireHandle();
  SelectedObject pen(dc, pen_.Handle()), brush(dc, brush_.Handle());
  ::Pie(dc, x1, y1, x2, y2, x3, y3, x4, y4);
}

void TCanvas::MoveTo(int x, int y) {
  MoveToEx(RequireHandle(), x, y, nullptr);
}

void TCanvas::LineTo(int x, int y) {
  HDC dc = RequireHandle();
  SelectedObject pen(dc, pen_.Handle());
  ::LineTo(dc, x, y);
}

TPoint TCanvas::PenPos() const {
  POINT p{};
  GetCurrentPositionEx(RequireHandle(), &p);
  return TPoint{p.x, p.y};
}

void TCanvas::TextOut(int x, int y, const std::string& text) {
  HDC dc = RequireHandle();
  SelectedObject font(dc, font_.Handle());
  SavedTextColors colors(dc);
  SetTextColor(dc, ColorToRGB(font_.Color()));
  if (brush_.Style() == bsClear) {
    SetBkMode(dc, TRANSPARENT);
  } else {
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, ColorToRGB(brush_.Color()));
  }
  const std::wstring wide = WideText(text);
  ExtTextOutW(dc, x, y, 0, nullptr, wide.data(), UINT(wide.size()), nullptr);
}

void TCanvas::TextRect(const TRect& clip, int x, int y, const std::string& text) {
  HDC dc = RequireHandle();
  SelectedObject font(dc, font_.Handle());
  SavedTextColors colors(dc);
  SetTextColor(dc, ColorToRGB(font_.Color()));
  UINT options = ETO_CLIPPED;
  if (brush_.Style() == bsClear) {
    SetBkMode(dc, TRANSPARENT);
  } else {
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, ColorToRGB(brush_.Color()));
    options |= ETO_OPAQUE;
  }
  RECT rect = ToRECT(clip);
  const std::wstring wide = WideText(text);
  ExtTextOutW(dc, x, y, options, &rect, wide.data(), UINT(wide.size()), nullptr);
}

SIZE TCanvas::TextExtent(const std::string& text) {
  HDC dc = RequireHandle();
  SelectedObject font(dc, font_.Handle());
  SIZE size{};
  const std::wstring wide = WideText(text);
  GetTextExtentPoint32W(dc, wide.data(), int(wide.size()), &size);
  return size;
}

void TCanvas::CopyRect(const TRect& dest, TCanvas& source, const TRect& sourceRect) {
  StretchBlt(RequireHandle(), dest.Left, dest.Top, dest.Width(), dest.Height(),
             source.RequireHandle(), sourceRect.Left, sourceRect.Top, sourceRect.Width(),
             sourceRect.Height(), copyMode_);
}

void TCanvas::Draw(int x, int y, TBitmap& bitmap) {
  if (bitmap.Width() <= 0 || bitmap.Height() <= 0) return;
  BitBlt(RequireHandle(), x, y, bitmap.Width(), bitmap.Height(), bitmap.Canvas().Handle(), 0, 0,
         copyMode_);
}

TColor TCanvas::Pixel(int x, int y) const {
  return GetPixel(RequireHandle(), x, y);
}

void TCanvas::SetPixel(int x, int y, TColor color) {
  ::SetPixel(RequireHandle(), x, y, ColorToRGB(color));
}

// --- TBitmap ---

TBitmap::TBitmap() : canvas_(dc_.Get()) {
  if (!dc_.Get()) throw EOutOfMemory();
}

TBitmap::~TBitmap() {
  if (initialBitmap_) SelectObject(dc_.Get(), initialBitmap_);  // ours can then be deleted
}

void TBitmap::SetSize(int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (width == width_ && height == height_) return;

  BitmapHandle fresh;
  uint32_t* freshBits = nullptr;
  if (width > 0 && height > 0) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down: row 0 first in memory
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    fresh.Reset(CreateDIBSection(dc_.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!fresh) throw EOutOfMemory();
    freshBits = static_cast<uint32_t*>(bits);
    std::fill(freshBits, freshBits + size_t(width) * size_t(height), kDibWhite);
    if (bits_) {
      GdiFlush();
      const int keepWidth = std::min(width, width_), keepHeight = std::min(height, height_);
      for (int y = 0; y < keepHeight; ++y)
        std::memcpy(freshBits + size_t(y) * width, bits_ + size_t(y) * width_,
                    size_t(keepWidth) * sizeof(uint32_t));
    }
  }

  if (fresh) {
    HGDIOBJ previous = SelectObject(dc_.Get(), fresh.Get());
    if (!initialBitmap_) initialBitmap_ = previous;
  } else if (initialBitmap_) {
    SelectObject(dc_.Get(), initialBitmap_);
    initialBitmap_ = nullptr;
  }
  bitmap_ = std::move(fresh);
  bits_ = freshBits;
  width_ = width;
  height_ = height;
}

TColor TBitmap::Pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_)
    throw EInvalidOperation(Format(kPixelOutOfRange, x, y));
  GdiFlush();
  const uint32_t v = bits_[size_t(y) * width_ + x];  // bytes blue, green, red, unused
  return RGBToColor(uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v));
}
