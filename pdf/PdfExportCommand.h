// The "PDF file..." command: the export of the view's design with a copy of
// its PDF settings, the finished file opened with the shell, a failure shown
// as "PDF export error" with its code and text.
#pragma once

#include "pdf/PdfExport.h"
#include "platform/base.h"

class CColorSet;
class CPattern;
class CPdfData;

// Exports the design with the settings to their output path (the default
// path when it is empty). Success opens the file ("open", shown normally);
// failure, also of the library's construction, shows string 193 with the
// stop icon. An existing file is replaced only by a finished document.
// `inputs` carries what the caller gives the export (progress host...).
bool RunPdfExport(CPattern& design, const CColorSet& palette, CPdfData& settings, HWND owner,
                  const CPdfExportInputs& inputs = {});
// The same with a copy of the design's own settings.
bool RunPdfExportCommand(CPattern& design, const CColorSet& palette, HWND owner);
