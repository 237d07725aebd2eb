// What the application hands the PDF export.
#pragma once

#include "pdf/PdfExport.h"

class CTabView;
class IProgressHost;

// The design view's thumbnail renderer as the renderer of the charts'
// pictures.
PdfPatternRenderer ChartPictureRenderer();
// The export's inputs for the view's design: that renderer, the view's
// fitting of the picture (when the view shows a rendered design) and the
// progress host.
CPdfExportInputs MakePdfExportInputs(CTabView& view, IProgressHost* progress);
