// Shared by the picture fuzz targets: small memory ceilings, and a workout
// of a decoded picture (pixel reads, drawing, resizing, crops, encoding).
#pragma once

#include <cstddef>
#include <cstdint>

#include "image/ImageView.h"
#include "image/codec/BaseImage.h"

namespace picturefuzz {

inline volatile unsigned g_sink = 0;

// Pictures above 1 MB are refused like oversized files, which keeps every
// run small.
inline void Setup() {
  static const bool done = [] {
    SetImageMemoryLimit(1u << 20);
    CBaseImage::SetMemoryLimit(1u << 20);
    return true;
  }();
  (void)done;
}

inline void ExercisePixels(const CImageImpl& impl) {
  const int w = impl.GetWidth(), h = impl.GetHeight();
  unsigned sum = 0;
  for (int y = 0; y < h; y += 1 + h / 64)
    for (int x = 0; x < w; x += 1 + w / 64) {
      BYTE r = 0, g = 0, b = 0;
      impl.GetPixelRGB(x, y, r, g, b);
      sum += r + g + b + static_cast<unsigned>(impl.GetPixelIndex(x, y));
    }
  g_sink = sum;
}

// Draws, resizes, crops and encodes small pictures.
inline void Exercise(CImage& img) {
  if (!img.IsValid()) return;
  ExercisePixels(*img.GetImpl());
  const int w = img.GetWidth(), h = img.GetHeight();
  if (static_cast<std::uint64_t>(w) * h > 4096) return;
  HDC mem = CreateCompatibleDC(nullptr);
  HBITMAP canvas = CreateBitmap(16, 16, 1, 32, nullptr);
  HGDIOBJ old = SelectObject(mem, canvas);
  CDC dc;
  dc.Attach(mem);
  img.StretchDraw(&dc, 0, 0, 16, 16);
  img.Draw(&dc, 2, 3);
  img.DrawFit(&dc, CRect(0, 0, 16, 9));
  dc.Detach();
  SelectObject(mem, old);
  DeleteObject(canvas);
  DeleteDC(mem);
  if (auto smaller = img.CreateResized(CSize(1 + w / 2, 1 + h / 3))) g_sink = g_sink + smaller->GetRed(0, 0);
  if (auto part = img.CropByFractions(CFractionRect(0.25, 0.5, 0.1, 0.8))) g_sink = g_sink + part->GetWidth();
  CImageMemBlock block(".bmp");
  if (img.EncodeToMemoryBlock(block)) {
    CImage back;
    back.LoadFromMemoryBlock(block);
  }
}

}  // namespace picturefuzz
