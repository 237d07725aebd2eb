// File > PDF file...: the design's PDF settings edited in the PDF options
// sheet, then the view's design exported as a chart with them. The chart's
// pictures are drawn by the design view's renderer, so they show the beads
// as the view does.
#include "app/MainFrmPdf.h"

#include <memory>

#include "app/MainFrm.h"
#include "dialogs/PdfSheet.h"
#include "image/Image.h"
#include "lang/ids/pdfsheet.h"
#include "pdf/PdfExport.h"
#include "pdf/PdfExportCommand.h"
#include "view/PatternRender.h"
#include "view/ReferenceDC.h"
#include "view/TabView.h"

namespace {

// The design drawn by the view's thumbnail renderer. The reference context
// of the pictures is the printer's or the design view's
// (CPrinerOrWndDeviceContext), the desktop's only when neither is there;
// it is taken and released here, around each picture.
std::unique_ptr<CImage> RenderChartPicture(const CPattern& design, const CColorSet& palette, SIZE size, int factor,
                                           COLORREF background, const CGridSettings* grid) {
  CPrinerOrWndDeviceContext reference;
  std::unique_ptr<CClientDC> desktop;
  CDC* dc = reference.GetDC();
  if (!dc) {
    desktop = std::make_unique<CClientDC>(CWnd::GetDesktopWindow());
    dc = desktop.get();
  }
  return RenderPatternThumbnailImage(dc, design, palette, size, factor, background, grid);
}

}  // namespace

PdfPatternRenderer ChartPictureRenderer() { return RenderChartPicture; }

CPdfExportInputs MakePdfExportInputs(CTabView& view, IProgressHost* progress) {
  CPdfExportInputs inputs;
  inputs.progress = progress;
  inputs.renderer = ChartPictureRenderer();
  if (view.HasPatternView()) {
    const CPattern& design = *view.GetPattern();
    const double width = design.m_actualWidth, height = design.m_actualHeight;
    inputs.fitPicture = [width, height](const RECT& box) { return FitRectToSize(box, width, height); };
  }
  return inputs;
}

void CMainFrame::OnFilePdf() {
  CTabView* view = GetTabView();
  if (!view) return;
  CPattern* design = view->GetPattern();
  CColorSet* palette = view->GetColorSet();
  if (!design || !palette) return;
  CPdfData settings(design->m_pdfData);
  CPdfSheet sheet(design, palette, &settings, IDS_PDF_SHEET_CAPTION, this, CPdfSheet::kDataPage);
  CString defaultPath;
  if (settings.m_outputPath.IsEmpty() && GetDefaultPdfOutputPath(*design, defaultPath))
    sheet.SetDefaultOutputPath(defaultPath);
  const INT_PTR answer = sheet.DoModal();
  // Symbols chosen in the chart symbols dialog stay, whatever the sheet's
  // answer: the design must then be saved to keep them.
  if (sheet.SymbolsChanged()) design->SetModified(true);
  if (answer != IDOK) return;
  view->Invalidate();
  view->UpdateWindow();
  if (settings != design->m_pdfData) design->SetModified(true);
  design->m_pdfData = settings;
  RunPdfExport(*design, *palette, design->m_pdfData, GetSafeHwnd(), MakePdfExportInputs(*view, this));
}
