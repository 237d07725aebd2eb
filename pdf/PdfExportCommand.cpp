#include "pdf/PdfExportCommand.h"

#include "controls/ShellOpen.h"
#include "core/FileUtils.h"
#include "core/FrameServices.h"
#include "design/Pattern.h"
#include "lang/ids/pdf.h"
#include "pdf/PdfExport.h"
#include "platform/wnd.h"

namespace {

void ShowExportError(int code, const CString& text, HWND owner) {
  CString message;
  message.Format(LoadResString(IDS_PDF_EXPORT_ERROR_FORMAT), LoadResString(IDS_PDF_EXPORT_ERROR).GetString(), code,
                 text.GetString());
  AppMessageBox(message, kMbIconStop, owner);
}

}  // namespace

bool RunPdfExport(CPattern& design, const CColorSet& palette, CPdfData& settings, HWND owner,
                  const CPdfExportInputs& inputs) {
  CString path = settings.m_outputPath;
  if (path.IsEmpty() && !GetDefaultPdfOutputPath(design, path)) {
    CString text;
    text.Format(LoadResString(IDS_PDF_CANNOT_CREATE), (GetProgramDataFolder() + "/PDF Export").GetString());
    ShowExportError(0, text, owner);
    return false;
  }
  try {
    CPdfExportNew exporter(&design, palette, &settings, inputs);
    if (!exporter.Export(path)) {
      ShowExportError(exporter.GetErrorCode(), exporter.GetErrorText(), owner);
      return false;
    }
  } catch (const PDFlib::Exception& e) {
    ShowExportError(e.get_errnum(), CString(e.get_errmsg()), owner);
    return false;
  }
  OpenWrittenFile(owner, path);  // or tells where the chart is
  return true;
}

bool RunPdfExportCommand(CPattern& design, const CColorSet& palette, HWND owner) {
  CPdfData settings(design.m_pdfData);
  return RunPdfExport(design, palette, settings, owner);
}
