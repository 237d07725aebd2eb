// File > PDF file...: the view's design exported as a chart with a copy of
// the design's own PDF settings. The chart's pictures are drawn by the
// design view's renderer, so they show the beads as the view does.
#include "app/MainFrmPdf.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "app/MainFrm.h"
#include "image/Image.h"
#include "pdf/PdfExport.h"
#include "pdf/PdfExportCommand.h"
#include "view/PatternRender.h"
#include "view/TabView.h"

namespace {

// The bitmap as a 24-bit picture. A 32-bit bitmap's rows are copied whole
// (the picture's block holds the bottom row first); any other goes the
// general way.
std::unique_ptr<CImage> PictureOfBitmap(HBITMAP bitmap) {
  BITMAP info{};
  if (!GetObject(bitmap, sizeof info, &info) || info.bmWidth <= 0 || info.bmHeight <= 0) return nullptr;
  if (info.bmBitsPixel != 32) return std::make_unique<CImage>(bitmap);
  const int w = info.bmWidth, h = info.bmHeight;
  std::vector<uint32_t> pixels(static_cast<size_t>(w) * static_cast<size_t>(h));
  if (GetBitmapBits(bitmap, static_cast<LONG>(pixels.size() * 4), pixels.data()) <= 0) return nullptr;
  bool ok = false;
  auto image = std::make_unique<CImage>(w, h, ok, static_cast<COLORREF>(-1));
  if (!ok || image->GetBitsPerPixel() != 24 || !image->GetBits()) return nullptr;
  BYTE* bits = image->GetBits();
  const int stride = image->GetRowStride();
  for (int row = 0; row < h; ++row) {
    const uint32_t* from = pixels.data() + static_cast<size_t>(h - 1 - row) * static_cast<size_t>(w);
    BYTE* to = bits + static_cast<ptrdiff_t>(row) * stride;
    for (int x = 0; x < w; ++x) {
      const uint32_t p = from[x];  // 0x00RRGGBB
      to[3 * x] = static_cast<BYTE>(p);
      to[3 * x + 1] = static_cast<BYTE>(p >> 8);
      to[3 * x + 2] = static_cast<BYTE>(p >> 16);
    }
  }
  return image;
}

// The design drawn by the view's thumbnail renderer. The desktop's device
// context is the reference for the pictures (until a printer's context is
// chosen for them); it is taken and released here, around each picture.
std::unique_ptr<CImage> RenderChartPicture(const CPattern& design, const CColorSet& palette, SIZE size, int factor,
                                           COLORREF background, const CGridSettings* grid) {
  CClientDC desktop(CWnd::GetDesktopWindow());
  CBitmap bitmap;
  if (!RenderPatternThumbnail(&desktop, design, palette, size, factor, &bitmap, background, grid) ||
      !bitmap.GetSafeHandle())
    return nullptr;
  auto image = PictureOfBitmap(static_cast<HBITMAP>(bitmap.GetSafeHandle()));
  bitmap.DeleteObject();
  if (!image || image->GetWidth() <= 0 || image->GetHeight() <= 0) return nullptr;
  return image;
}

}  // namespace

void InstallPdfPictureRenderer() { SetPdfPatternRenderer(RenderChartPicture); }

void CMainFrame::OnFilePdf() {
  CTabView* view = GetTabView();
  if (!view) return;
  CPattern* design = view->GetPattern();
  CColorSet* palette = view->GetColorSet();
  if (!design || !palette) return;
  InstallPdfPictureRenderer();
  RunPdfExportCommand(*design, *palette, GetSafeHwnd());
}
