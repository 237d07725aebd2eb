#include "palette/SwatchImageList.h"

#include <cstring>

CSwatchImageList::CSwatchImageList(SIZE swatchSize) : width_(swatchSize.cx), height_(swatchSize.cy) {
  images_.Create(width_, height_, ILC_COLOR24, 64, 64);
}

CSwatchImageList::~CSwatchImageList() {
  indexOf_.clear();
  images_.DeleteImageList();
}

int CSwatchImageList::MakeSwatch(COLORREF color) {
  if (color == 0xFFFFFFFFu) return -1;
  if (!images_.GetSafeHandle() || width_ <= 0 || height_ <= 0) return -1;
  // A blank 24-bit picture of the swatch size filled with the colour.
  BITMAPINFO info;
  std::memset(&info, 0, sizeof info);
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width_;
  info.bmiHeader.biHeight = height_;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap || !bits) {
    if (bitmap) DeleteObject(bitmap);
    return -1;
  }
  const int stride = static_cast<int>(DibRowStride(width_, 24));
  for (int y = 0; y < height_; ++y) {
    BYTE* row = static_cast<BYTE*>(bits) + static_cast<size_t>(y) * static_cast<size_t>(stride);
    for (int x = 0; x < width_; ++x) {
      row[x * 3 + 0] = GetBValue(color);
      row[x * 3 + 1] = GetGValue(color);
      row[x * 3 + 2] = GetRValue(color);
    }
  }
  const int index = ImageList_AddMasked(images_.GetSafeHandle(), bitmap, kMaskColor);
  DeleteObject(bitmap);
  return index;
}

int CSwatchImageList::GetImageIndex(COLORREF color) {
  const auto it = indexOf_.find(color);
  if (it != indexOf_.end()) return it->second;
  const int index = MakeSwatch(color);
  indexOf_.emplace(color, index);
  return index;
}

void CSwatchImageList::RemoveAll() {
  indexOf_.clear();
  for (int i = images_.GetImageCount() - 1; i >= 0; --i) images_.Remove(i);
}
