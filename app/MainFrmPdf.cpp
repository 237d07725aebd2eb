// File > PDF file...: the view's design exported as a chart with a copy of
// the design's own PDF settings. The chart's pictures are drawn by the
// design view's renderer, so they show the beads as the view does.
#include "app/MainFrmPdf.h"

#include <memory>

#include "app/MainFrm.h"
#include "image/Image.h"
#include "pdf/PdfExport.h"
#include "pdf/PdfExportCommand.h"
#include "view/PatternRender.h"
#include "view/TabView.h"

namespace {

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
  auto image = std::make_unique<CImage>(bitmap);
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
