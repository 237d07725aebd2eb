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

bool CPdfExportNew::Fail(PdfExportError error, const CString& text) {
  m_error = error;
  m_errorText = text;
  m_libraryErrorNumber = 0;
  return false;
}

template <class Write>
bool CPdfExportNew::RunStep(Write&& write) {
  try {
    return write();
  } catch (const PDFlib::Exception& e) {
    Fail(PdfExportError::Library, CString(e.get_errmsg()));
    m_libraryErrorNumber = e.get_errnum();
    return false;
  }
}

int CPdfExportNew::GetErrorCode() const {
  switch (m_error) {
    case PdfExportError::Library: return m_libraryErrorNumber;
    case PdfExportError::PictureNotSaved: return 2;
    case PdfExportError::TileRect: return 5;
    case PdfExportError::TileCrop: return 6;
    case PdfExportError::TileSave: return 7;
    case PdfExportError::TileLoad: return 8;
    default: return 0;
  }
}

CString CPdfExportNew::GetErrorText() const {
  if (m_error == PdfExportError::Library && m_libraryErrorNumber == 3424) return LoadResString(IDS_PDF_TABLE_TOO_WIDE);
  if (m_error == PdfExportError::Library && m_libraryErrorNumber == 3425) return LoadResString(IDS_PDF_TABLE_TOO_HIGH);
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
  Fail(PdfExportError::None);
  PDF_set_interface_codepage(GetPdfInterfaceCodePage());
  CString path = requestedPath;
  if (path.IsEmpty() && m_design && !GetDefaultPdfOutputPath(*m_design, path)) {
    CString text;
    text.Format(LoadResString(IDS_PDF_CANNOT_CREATE), (GetProgramDataFolder() + "/PDF Export").GetString());
    return Fail(PdfExportError::CannotCreateFile, text);
  }
  const CString temp = SiblingTempPath(path);
  bool ok = false;
  try {
    ok = WriteDocument(path, temp);
  } catch (...) {
    // Out of memory and the like: the export stops as it is.
    if (m_error == PdfExportError::None) m_error = PdfExportError::Unfinished;
  }
  if (!ok) {
    if (m_error == PdfExportError::None) m_error = PdfExportError::Unfinished;
    RemoveFile(temp);
  }
  return ok;
}

bool CPdfExportNew::WriteDocument(const CString& path, const CString& temp) {
  const CPdfData& s = *m_settings;
  CWaitCursor wait;
  const bool begun = RunStep([&] {
    const std::pair<const char*, const CString*> info[] = {{"Creator", &s.m_creator},
                                                           {"Author", &s.m_author},
                                                           {"Title", &s.m_title},
                                                           {"Subject", &s.m_subject},
                                                           {"Keywords", &s.m_keywords}};
    for (const auto& [key, text] : info)
      if (!text->IsEmpty()) m_pdf.set_info(key, text->str());
    if (m_pdf.begin_document(temp.str(), BuildDocumentOptions(s).str()) == -1) {
      CString text;
      text.Format(LoadResString(IDS_PDF_CANNOT_CREATE), path.GetString());
      return Fail(PdfExportError::CannotCreateFile, text);
    }
    return true;
  });
  if (!begun) return false;

  if (s.m_propertiesPage && !RunStep([&] { return WriteProperties(s.m_propertiesStyle); })) return false;
  if (s.m_wholeDesignPage) {
    if (s.m_wholeDesignMode == 1) {
      if (!RunStep([&] {
            return WritePreviewFitToPage(*m_design, LoadResString(IDS_PDF_DESIGN_PREVIEW), s.m_previewStyle);
          }))
        return false;
    } else {
      const CPattern copy(*m_design);
      if (!RunStep([&] { return WritePreviewActualSize(copy, s.m_previewStyle); })) return false;
    }
  }
  if (s.m_collagePages && !RunStep([&] { return WriteCollage(s.m_previewStyle); })) return false;
  if ((s.m_colorListPage || s.m_gridPages) && (s.m_gridCellCoding == 2 || s.m_gridColoring == 2))
    m_palette.EnsureDistinctSymbols(m_design->m_symbolSet.m_codes);
  if (s.m_colorListPage && !RunStep([&] { return WriteColorList(s.m_colorListStyle); })) return false;
  if (s.m_gridPages && !RunStep([&] { return WriteGrid(s.m_gridStyle); })) return false;
  if (s.m_wordChartPages && !RunStep([&] { return WriteWordChart(s.m_wordChartStyle); })) return false;
  if (!RunStep([&] {
        CloseAllPages();
        return true;
      }))
    return false;
  if (!RunStep([&] {
        m_pdf.end_document("");
        return true;
      }))
    return false;
  // The finished file takes the target's place only now.
  if (!MoveFileEx(temp, path, MOVEFILE_REPLACE_EXISTING)) {
    CString text;
    text.Format(LoadResString(IDS_PDF_CANNOT_REPLACE), path.GetString());
    return Fail(PdfExportError::CannotReplaceFile, text);
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

bool CPdfExportNew::DrawPageHead(const CString& title, bool bookmark, int kind) {
  const CPdfData& s = *m_settings;
  const CString text = GetPageTitleText(title);
  const bool turned = kind == kPageTurned;
  // The page's top edge: its length, and its far end from the origin
  // (the height of the page as it is drawn; a turned page is drawn upright
  // and its top edge is the left one).
  double edge = PageWidth(), top = PageHeight();
  if (kind == kPageLandscape) std::swap(edge, top);
  if (turned) edge = PageHeight();
  // A line centred along the top edge, its baseline `depth` below it.
  auto put = [&](const CString& line, double width, double depth) {
    if (turned) m_pdf.fit_textline(line.str(), depth, (edge - width) / 2, "rotate=90");
    else m_pdf.show_xy(line.str(), (edge - width) / 2, top - depth);
  };
  int font = -1;
  double depth = s.m_marginTop;
  if (!s.m_headerText.IsEmpty()) {
    if (!SetStyle(s.m_headerStyle, font)) return false;
    depth += s.m_headerStyle.m_size;
    put(s.m_headerText, m_pdf.stringwidth(s.m_headerText.str(), font, s.m_headerStyle.m_size), depth);
  }
  if (!SetStyle(s.m_pageTitleStyle, font)) return false;
  depth += s.m_pageTitleStyle.m_size;
  put(text, m_pdf.stringwidth(text.str(), font, s.m_pageTitleStyle.m_size), depth);
  if (bookmark && s.m_createBookmarks) m_pdf.create_bookmark(text.str(), "");
  return true;
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
      case kPageLandscape:
        DrawPageFoot(m_pageList[static_cast<size_t>(n - 1)], n, count);
        m_pdf.end_page_ext("");
        break;
      case kPageTurned:
        DrawPageFoot(kPageTurned, n, count);
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

bool CPdfExportNew::DrawPageFoot(int kind, int page, int count) {
  const CPdfData& s = *m_settings;
  const bool turned = kind == kPageTurned;
  // The page's bottom edge: its length (a turned page's bottom edge is the
  // right one of the upright page).
  const double edge = kind == kPageUpright ? PageWidth() : PageHeight();
  // A line at `along` points from the edge's start, its baseline `height`
  // above the edge.
  auto put = [&](const CString& line, double along, double height) {
    if (turned) m_pdf.fit_textline(line.str(), PageWidth() - height, along, "rotate=90");
    else m_pdf.fit_textline(line.str(), along, height, "");
  };
  int font = -1;
  if (!SetStyle(s.m_versionStyle, font)) return false;
  const bool footer = !s.m_footerText.IsEmpty();
  const double height = s.m_marginBottom + (footer ? s.m_footerStyle.m_size : 0);
  put(VersionLine(), s.m_marginLeft, height);
  const CString number = PageNumberText(page, count);
  const double width = m_pdf.stringwidth(number.str(), font, s.m_versionStyle.m_size);
  put(number, edge - width - s.m_marginRight, height);
  if (footer) {
    if (!SetStyle(s.m_footerStyle, font)) return false;
    const double footerWidth = m_pdf.stringwidth(s.m_footerText.str(), font, s.m_footerStyle.m_size);
    put(s.m_footerText, (edge - footerWidth) / 2, height - s.m_versionStyle.m_size);
  }
  return true;
}
