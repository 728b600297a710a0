#include "toolkit/win32/ExtCtrls.h"

#include "toolkit/Exception.h"

void TImage::SetPicture(const std::string& resourceName) {
  HANDLE image = LoadImageA(GetModuleHandleA(nullptr), resourceName.c_str(), IMAGE_BITMAP, 0, 0,
                            LR_CREATEDIBSECTION);
  if (!image) throw EResNotFound(resourceName);
  bitmap_.Reset(static_cast<HBITMAP>(image));
  Invalidate();
}

SIZE TImage::PictureSize() const {
  BITMAP info{};
  if (bitmap_) GetObjectA(bitmap_.Get(), sizeof info, &info);
  return SIZE{info.bmWidth, info.bmHeight};
}

void TImage::Paint() {
  if (!bitmap_) return;
  const SIZE size = PictureSize();
  MemoryDC source(Canvas().Handle());
  SelectedObject selected(source.Get(), bitmap_.Get());
  BitBlt(Canvas().Handle(), 0, 0, size.cx, size.cy, source.Get(), 0, 0, SRCCOPY);
}

const TPropertyTable& ImageLayoutProperties() {
  using P = const TLayoutProperty&;
  static const TPropertiesOf<TImage> table{
      &ControlLayoutProperties(),
      {
          {"Picture", [](TImage& c, P p) { c.SetPicture(p.String()); }},
      }};
  return table;
}
