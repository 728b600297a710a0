#include "tests/e2e/robot/Screen.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "tests/e2e/robot/Text.h"

namespace robot {

namespace {

// A 32-bit top-down DIB section with its own memory DC.
class DibCanvas {
public:
  DibCanvas(int width, int height) : width_(width), height_(height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
    previous_ = SelectObject(dc_, bitmap_);
  }
  ~DibCanvas() {
    SelectObject(dc_, previous_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  DibCanvas(const DibCanvas&) = delete;
  DibCanvas& operator=(const DibCanvas&) = delete;

  HDC Dc() const { return dc_; }
  Image Pixels() const {
    GdiFlush();
    Image image{width_, height_, {}};
    const auto* p = static_cast<const uint32_t*>(bits_);
    image.pixels.assign(p, p + static_cast<size_t>(width_) * height_);
    for (uint32_t& pixel : image.pixels) pixel &= 0xFFFFFF;
    return image;
  }

private:
  int width_, height_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ previous_ = nullptr;
  void* bits_ = nullptr;
};

// Sum of the channel differences of two images of one size.
uint64_t Distance(const Image& a, const Image& b) {
  uint64_t sum = 0;
  for (size_t i = 0; i < a.pixels.size(); ++i)
    for (int shift = 0; shift < 24; shift += 8)
      sum += std::abs(static_cast<int>((a.pixels[i] >> shift) & 0xFF) -
                      static_cast<int>((b.pixels[i] >> shift) & 0xFF));
  return sum;
}

// `icon` drawn on `background` as a STATIC control would: stretched over the control, or
// at its own size in the middle.
Image RenderIcon(HICON icon, int width, int height, uint32_t background, bool stretched) {
  DibCanvas canvas(width, height);
  const COLORREF colour =
      RGB((background >> 16) & 0xFF, (background >> 8) & 0xFF, background & 0xFF);
  HBRUSH brush = CreateSolidBrush(colour);
  RECT all{0, 0, width, height};
  FillRect(canvas.Dc(), &all, brush);
  DeleteObject(brush);
  if (stretched) {
    DrawIconEx(canvas.Dc(), 0, 0, icon, width, height, 0, nullptr, DI_NORMAL);
  } else {
    const int cx = GetSystemMetrics(SM_CXICON), cy = GetSystemMetrics(SM_CYICON);
    DrawIconEx(canvas.Dc(), (width - cx) / 2, (height - cy) / 2, icon, cx, cy, 0, nullptr,
               DI_NORMAL);
  }
  return canvas.Pixels();
}

}  // namespace

Image CaptureScreen(RECT rect) {
  if (rect.right <= rect.left || rect.bottom <= rect.top)
    rect = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  const int width = rect.right - rect.left, height = rect.bottom - rect.top;
  DibCanvas canvas(width, height);
  HDC screen = GetDC(nullptr);
  BitBlt(canvas.Dc(), 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
  ReleaseDC(nullptr, screen);
  return canvas.Pixels();
}

void SaveBmp(const Image& image, const std::string& path) {
  const uint32_t stride = (static_cast<uint32_t>(image.width) * 3 + 3) & ~3u;
  const uint32_t dataSize = stride * image.height;
  BITMAPFILEHEADER file{};
  BITMAPINFOHEADER info{};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = file.bfOffBits + dataSize;
  info.biSize = sizeof info;
  info.biWidth = image.width;
  info.biHeight = image.height;  // bottom-up rows
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biSizeImage = dataSize;
  FILE* out = _wfopen(Wide(path).c_str(), L"wb");
  if (!out) return;
  std::fwrite(&file, sizeof file, 1, out);
  std::fwrite(&info, sizeof info, 1, out);
  std::vector<unsigned char> row(stride, 0);
  for (int y = image.height - 1; y >= 0; --y) {
    for (int x = 0; x < image.width; ++x) {
      const uint32_t p = image.pixels[static_cast<size_t>(y) * image.width + x];
      row[x * 3] = p & 0xFF;
      row[x * 3 + 1] = (p >> 8) & 0xFF;
      row[x * 3 + 2] = (p >> 16) & 0xFF;
    }
    std::fwrite(row.data(), 1, row.size(), out);
  }
  std::fclose(out);
}

const char* IconKindName(IconKind kind) {
  switch (kind) {
    case IconKind::None:
      return "none";
    case IconKind::Stop:
      return "stop";
    case IconKind::Question:
      return "question";
    case IconKind::Exclamation:
      return "exclamation";
    case IconKind::Information:
      return "information";
    case IconKind::Unknown:
      break;
  }
  return "unknown";
}

IconKind ClassifyIcon(HWND iconControl) {
  RECT rect{};
  GetClientRect(iconControl, &rect);
  MapWindowPoints(iconControl, nullptr, reinterpret_cast<POINT*>(&rect), 2);
  // A window in front (a stay-on-top one, say) would hide the icon: bring its box forward.
  HWND box = GetAncestor(iconControl, GA_ROOT);
  const POINT middle{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
  if (GetAncestor(WindowFromPoint(middle), GA_ROOT) != box) {
    SetWindowPos(box, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    Sleep(200);
  }
  const Image seen = CaptureScreen(rect);
  if (seen.pixels.empty()) return IconKind::Unknown;
  const uint32_t background = seen.pixels.front();
  // An icon control with no icon set (the system's box without one keeps it) is blank.
  if (std::all_of(seen.pixels.begin(), seen.pixels.end(),
                  [&](uint32_t p) { return p == background; }))
    return IconKind::None;
  struct Candidate {
    IconKind kind;
    LPCSTR id;
  };
  const Candidate candidates[] = {{IconKind::Stop, IDI_HAND},
                                  {IconKind::Question, IDI_QUESTION},
                                  {IconKind::Exclamation, IDI_EXCLAMATION},
                                  {IconKind::Information, IDI_ASTERISK}};
  IconKind best = IconKind::Unknown;
  uint64_t bestDistance = std::numeric_limits<uint64_t>::max();
  for (const Candidate& c : candidates) {
    HICON icon = LoadIconA(nullptr, c.id);
    for (bool stretched : {true, false}) {
      const uint64_t d =
          Distance(seen, RenderIcon(icon, seen.width, seen.height, background, stretched));
      if (d < bestDistance) {
        bestDistance = d;
        best = c.kind;
      }
    }
  }
  // A close match differs by little on average; anything else is no system icon.
  const uint64_t limit = static_cast<uint64_t>(seen.pixels.size()) * 3 * 24;
  return bestDistance <= limit ? best : IconKind::Unknown;
}

}  // namespace robot
