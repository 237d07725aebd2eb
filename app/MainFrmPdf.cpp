// File > PDF file...: the view's design exported as a chart with a copy of
// the design's own PDF settings.
#include "app/MainFrm.h"
#include "pdf/PdfExportCommand.h"
#include "view/TabView.h"

void CMainFrame::OnFilePdf() {
  CTabView* view = GetTabView();
  if (!view) return;
  CPattern* design = view->GetPattern();
  CColorSet* palette = view->GetColorSet();
  if (!design || !palette) return;
  RunPdfExportCommand(*design, *palette, GetSafeHwnd());
}
