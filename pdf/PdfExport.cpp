// The export driver (document information, protection, the order of the
// page writers, the temporary file and the error record), the page services
// (geometry, fonts, colours, page heads, the end of a page) and the closing
// of all pages with their feet.
#include "pdf/PdfExport.h"

#include <malloc.h>

#include <cmath>

#include "core/DialogServices.h"
#include "core/FileUtils.h"
#include "core/FrameServices.h"
#include "core/Registry.h"
#include "design/Pattern.h"
#include "lang/ids/pdf.h"
#include "platform/base/memory.h"
#include "platform/base/waitcursor.h"

namespace {

// A free name beside the target for the document while it is written.
CString SiblingTempPath(const CString& target) {
  const std::string& t = target.str();
  const size_t slash = t.find_last_of("/\\");
  const CString folder = slash == std::string::npos ? CString(".") : CString(t.substr(0, slash));
  GUID guid{};
  CoCreateGuid(&guid);
  CString uuid;
  UuidToCString(guid, uuid);
  return folder + "/~" + uuid + ".pdf.tmp";
}

}  // namespace

CPdfExportNew::CPdfExportNew(CPattern* design, const CColorSet& palette, CPdfData* settings, CPdfExportInputs inputs)
    : m_design(design), m_palette(palette), m_settings(settings), m_inputs(std::move(inputs)) {
  if (m_settings->m_omitFirstChars != 0) m_palette.ApplyOmitName(static_cast<unsigned>(m_settings->m_omitFirstChars));
}

CPdfExportNew::~CPdfExportNew() = default;

void CPdfExportNew::SetStep(int number, const char* name) {
  m_currentStep = number;
  m_currentStepName = name;
}

void CPdfExportNew::SetLibraryError(const PDFlib::Exception& e) {
  m_errorText = e.get_errmsg().c_str();
  m_errorCode = e.get_errnum();
}

CString CPdfExportNew::GetErrorText() const {
  if (m_errorCode == 3424) return LoadResString(IDS_PDF_TABLE_TOO_WIDE);
  if (m_errorCode == 3425) return LoadResString(IDS_PDF_TABLE_TOO_HIGH);
  return m_errorText;
}

CString CPdfExportNew::BuildDocumentOptions(const CPdfData& data) {
  if (!data.HasRestrictions()) return CString();
  CString options;
  if (!data.m_userPassword.IsEmpty())
    options = PdfFormat("masterpassword=%s userpassword=%s permissions={",
                        QuoteOptionValue(data.m_masterPassword).GetString(),
                        QuoteOptionValue(data.m_userPassword).GetString());
  else options = PdfFormat("masterpassword=%s permissions={", QuoteOptionValue(data.m_masterPassword).GetString());
  if (data.m_noPrint) options += "noprint ";
  if (data.m_noModify) options += "nomodify ";
  if (data.m_noCopy) options += "nocopy ";
  options += "}";
  return options;
}

CKeepFreedMemory::CKeepFreedMemory() {
  mallopt(M_MMAP_THRESHOLD, 32 << 20);
  mallopt(M_TRIM_THRESHOLD, 1 << 30);
}

CKeepFreedMemory::~CKeepFreedMemory() {
  // The system's defaults, and what is free goes back.
  mallopt(M_MMAP_THRESHOLD, 128 << 10);
  mallopt(M_TRIM_THRESHOLD, 128 << 10);
  malloc_trim(0);
}

bool CPdfExportNew::Export(const CString& requestedPath) {
  const CKeepFreedMemory keep;
  m_errorCode = 0;
  m_errorText.Empty();
  PDF_set_interface_codepage(IsRussianInterface() ? 1251 : 1252);
  CString path = requestedPath;
  if (path.IsEmpty() && m_design && !GetDefaultPdfOutputPath(*m_design, path)) {
    m_errorText.Format(LoadResString(IDS_PDF_CANNOT_CREATE), (GetProgramDataFolder() + "/PDF Export").GetString());
    return false;
  }
  const CString temp = SiblingTempPath(path);
  bool ok = false;
  try {
    ok = WriteDocument(path, temp);
  } catch (const PDFlib::Exception& e) {
    SetLibraryError(e);
  } catch (...) {
  }
  if (!ok) RemoveFile(temp);
  return ok;
}

bool CPdfExportNew::WriteDocument(const CString& path, const CString& temp) {
  const CPdfData& s = *m_settings;
  const std::pair<const char*, const CString*> info[] = {{"Creator", &s.m_creator},
                                                         {"Author", &s.m_author},
                                                         {"Title", &s.m_title},
                                                         {"Subject", &s.m_subject},
                                                         {"Keywords", &s.m_keywords}};
  for (const auto& [key, text] : info)
    if (!text->IsEmpty()) m_pdf.set_info(key, text->str());

  CWaitCursor wait;
  if (m_pdf.begin_document(temp.str(), BuildDocumentOptions(s).str()) == -1) {
    SetStep(0, "Begin Document");
    m_errorText.Format(LoadResString(IDS_PDF_CANNOT_CREATE), path.GetString());
    return false;
  }

  if (s.m_propertiesPage) {
    SetStep(8, "Properties");
    if (!WriteProperties(s.m_propertiesStyle)) return false;
  }
  if (s.m_wholeDesignPage) {
    if (s.m_wholeDesignMode == 1) {
      SetStep(7, "Whole Preview Fit To Page");
      if (!WritePreviewFitToPage(*m_design, LoadResString(IDS_PDF_DESIGN_PREVIEW), s.m_previewStyle)) return false;
    } else {
      SetStep(6, "Preview Actual Size");
      const CPattern copy(*m_design);
      if (!WritePreviewActualSize(copy, s.m_previewStyle)) return false;
    }
  }
  if (s.m_collagePages) {
    SetStep(5, "Collage design");
    if (!WriteCollage(s.m_previewStyle)) return false;
  }
  if ((s.m_colorListPage || s.m_gridPages) && (s.m_gridCellCoding == 2 || s.m_gridColoring == 2))
    m_palette.EnsureDistinctSymbols(m_design->m_symbolSet.m_codes);
  if (s.m_colorListPage) {
    SetStep(4, "Bead Color List");
    if (!WriteColorList(s.m_colorListStyle)) return false;
  }
  if (s.m_gridPages) {
    SetStep(3, "Grid");
    if (!WriteGrid(s.m_gridStyle)) return false;
  }
  if (s.m_wordChartPages) {
    SetStep(2, "Word Chart");
    if (!WriteWordChart(s.m_wordChartStyle)) return false;
  }
  SetStep(10, "Close All Pages");
  CloseAllPages();
  SetStep(1, "End Document");
  m_pdf.end_document("");
  // The finished file takes the target's place only now.
  if (!MoveFileEx(temp, path, MOVEFILE_REPLACE_EXISTING)) {
    m_errorText.Format(LoadResString(IDS_PDF_CANNOT_REPLACE), path.GetString());
    m_errorCode = 0;
    return false;
  }
  return true;
}

// ---- Page services ----

double CPdfExportNew::PageWidth() const {
  double w = 0, h = 0;
  GetPdfPageSize(w, h);
  return w;
}

double CPdfExportNew::PageHeight() const {
  double w = 0, h = 0;
  GetPdfPageSize(w, h);
  return h;
}

int CPdfExportNew::LoadFont(const CString& name) { return m_pdf.load_font(name.str(), GetPdfEncoding().str(), ""); }

int CPdfExportNew::LoadSymbolFont(const CSymbolSet& symbols) {
  if (symbols.m_charSet != SYMBOL_CHARSET) {
    const int font = LoadFont(symbols.m_fontName);
    if (font < 0) ShowFontLoadError(symbols.m_fontName);
    return font;
  }
  std::vector<const char*> encodings = {"builtin", "winansi",   "cp1251", "macroman",  "macroman_apple",
                                        "ebcdic",  "ebcdic_37", "pdfdoc", "iso8859-X", "U+1251",
                                        "cp932",   "cp936",     "cp949",  "cp950"};
  if (symbols.m_fontName.Left(5) == "Cross") std::swap(encodings[0], encodings[1]);
  for (const char* encoding : encodings) {
    try {
      const int font = m_pdf.load_font(symbols.m_fontName.str(), encoding, "");
      if (font >= 0) return font;
    } catch (const PDFlib::Exception&) {
    }
  }
  ShowFontLoadError(symbols.m_fontName);
  return -1;
}

void CPdfExportNew::SetFillColor(COLORREF color) {
  m_pdf.setcolor("fill", "rgb", GetRValue(color) / 255.0, GetGValue(color) / 255.0, GetBValue(color) / 255.0, 0);
}

bool CPdfExportNew::SetStyle(const CPdfTextStyle& style, int& font) {
  SetFillColor(style.m_color);
  font = LoadStyleFont(style);
  if (font < 0) return false;
  m_pdf.setfont(font, style.m_size);
  return true;
}

CString CPdfExportNew::GetPageTitleText(const CString& title) const {
  return PdfFormat("%s - %s", m_design ? m_design->GetDescription().GetString() : "", title.GetString());
}

bool CPdfExportNew::DrawPageHead(const CString& title, bool bookmark, bool exchanged) {
  try {
    const CPdfData& s = *m_settings;
    const CString text = GetPageTitleText(title);
    double w0 = PageWidth(), h0 = PageHeight();
    if (exchanged) std::swap(w0, h0);
    int font = -1;
    const bool header = !s.m_headerText.IsEmpty();
    if (header) {
      if (!SetStyle(s.m_headerStyle, font)) return false;
      const double width = m_pdf.stringwidth(s.m_headerText.str(), font, s.m_headerStyle.m_size);
      m_pdf.show_xy(s.m_headerText.str(), (w0 - width) / 2, h0 - s.m_headerStyle.m_size - s.m_marginTop);
    }
    if (!SetStyle(s.m_pageTitleStyle, font)) return false;
    const double width = m_pdf.stringwidth(text.str(), font, s.m_pageTitleStyle.m_size);
    double y = h0 - s.m_pageTitleStyle.m_size - s.m_marginTop;
    if (header) y -= s.m_headerStyle.m_size;
    m_pdf.show_xy(text.str(), (w0 - width) / 2, y);
    if (bookmark && s.m_createBookmarks) m_pdf.create_bookmark(text.str(), "");
    return true;
  } catch (const PDFlib::Exception& e) {
    SetLibraryError(e);
  } catch (...) {
  }
  return false;
}

bool CPdfExportNew::DrawPageHeadRotated(const CString& title, bool bookmark) {
  try {
    const CPdfData& s = *m_settings;
    const CString text = GetPageTitleText(title);
    const double h0 = PageHeight();
    int font = -1;
    double x = s.m_marginTop;
    if (!s.m_headerText.IsEmpty()) {
      if (!SetStyle(s.m_headerStyle, font)) return false;
      x = s.m_marginTop + s.m_headerStyle.m_size;
      const double width = m_pdf.stringwidth(s.m_headerText.str(), font, s.m_headerStyle.m_size);
      m_pdf.fit_textline(s.m_headerText.str(), x, (h0 - width) / 2, "rotate=90");
    }
    if (!SetStyle(s.m_pageTitleStyle, font)) return false;
    x += s.m_pageTitleStyle.m_size;
    const double width = m_pdf.stringwidth(text.str(), font, s.m_pageTitleStyle.m_size);
    m_pdf.fit_textline(text.str(), x, (h0 - width) / 2, "rotate=90");
    if (bookmark && s.m_createBookmarks) m_pdf.create_bookmark(text.str(), "");
    return true;
  } catch (const PDFlib::Exception& e) {
    SetLibraryError(e);
  } catch (...) {
  }
  return false;
}

void CPdfExportNew::EndPage(int kind) {
  m_pdf.suspend_page("");
  m_pageList.push_back(kind);
}

int CPdfExportNew::LoadTemporaryImage(const CString& file) {
  int image = -1;
  try {
    image = m_pdf.load_image("auto", file.str(), "");
  } catch (...) {
    RemoveFile(file);
    throw;
  }
  RemoveFile(file);
  return image;
}

void CPdfExportNew::BeginPage(bool exchanged) {
  if (exchanged) m_pdf.begin_page_ext(PageHeight(), PageWidth(), "");
  else m_pdf.begin_page_ext(PageWidth(), PageHeight(), "");
}

// ---- Closing of all pages ----

void CPdfExportNew::CloseAllPages() {
  const int count = static_cast<int>(m_pageList.size());
  for (int n = 1; n <= count; ++n) {
    m_pdf.resume_page(PdfFormat("pagenumber %d", n).str());
    switch (m_pageList[static_cast<size_t>(n - 1)]) {
      case kPageUpright:
        DrawPageFoot(false, n, count);
        m_pdf.end_page_ext("");
        break;
      case kPageLandscape:
        DrawPageFoot(true, n, count);
        m_pdf.end_page_ext("");
        break;
      case kPageTurned:
        DrawPageFootRotated(n, count);
        m_pdf.end_page_ext("rotate=90");
        break;
      default: break;
    }
  }
}

namespace {

CString VersionLine() {
  CString date;
  GetBuildDateText(date);
  return PdfFormat("%s, %s", date.GetString(), GetProductLabel().GetString());
}

CString PageNumberText(int page, int count) {
  CString site;
  GetWebSiteLink(site);
  CString text;
  text.Format(LoadResString(IDS_PDF_PAGE_NUMBER), site.GetString(), page, count);
  return text;
}

}  // namespace

bool CPdfExportNew::DrawPageFoot(bool exchanged, int page, int count) {
  try {
    const CPdfData& s = *m_settings;
    const double w0 = exchanged ? PageHeight() : PageWidth();
    int font = -1;
    if (!SetStyle(s.m_versionStyle, font)) return false;
    const bool footer = !s.m_footerText.IsEmpty();
    const double y0 = s.m_marginBottom + (footer ? s.m_footerStyle.m_size : 0);
    m_pdf.fit_textline(VersionLine().str(), s.m_marginLeft, y0, "");
    const CString number = PageNumberText(page, count);
    const double width = m_pdf.stringwidth(number.str(), font, s.m_versionStyle.m_size);
    m_pdf.fit_textline(number.str(), w0 - width - s.m_marginRight, y0, "");
    if (footer) {
      if (!SetStyle(s.m_footerStyle, font)) return false;
      const double footerWidth = m_pdf.stringwidth(s.m_footerText.str(), font, s.m_footerStyle.m_size);
      m_pdf.fit_textline(s.m_footerText.str(), (w0 - footerWidth) / 2, y0 - s.m_versionStyle.m_size, "");
    }
    return true;
  } catch (const PDFlib::Exception& e) {
    SetLibraryError(e);
  } catch (...) {
  }
  return false;
}

bool CPdfExportNew::DrawPageFootRotated(int page, int count) {
  try {
    const CPdfData& s = *m_settings;
    const double h0 = PageHeight();
    int font = -1;
    if (!SetStyle(s.m_versionStyle, font)) return false;
    const bool footer = !s.m_footerText.IsEmpty();
    const double x0 = PageWidth() - s.m_marginBottom - (footer ? s.m_footerStyle.m_size : 0);
    m_pdf.fit_textline(VersionLine().str(), x0, s.m_marginLeft, "rotate=90");
    const CString number = PageNumberText(page, count);
    const double width = m_pdf.stringwidth(number.str(), font, s.m_versionStyle.m_size);
    m_pdf.fit_textline(number.str(), x0, h0 - width - s.m_marginRight, "rotate=90");
    if (footer) {
      if (!SetStyle(s.m_footerStyle, font)) return false;
      const double footerWidth = m_pdf.stringwidth(s.m_footerText.str(), font, s.m_footerStyle.m_size);
      m_pdf.fit_textline(s.m_footerText.str(), x0 + s.m_versionStyle.m_size, (h0 - footerWidth) / 2, "rotate=90");
    }
    return true;
  } catch (const PDFlib::Exception& e) {
    SetLibraryError(e);
  } catch (...) {
  }
  return false;
}
