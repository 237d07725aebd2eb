// The properties page: the author's details, the design's information rows
// and its comments as justified running text, continued on further pages
// when they do not fit.
#include <algorithm>
#include <cmath>

#include "core/FrameServices.h"
#include "design/Pattern.h"
#include "design/PatternInfo.h"
#include "lang/ids/pdf.h"
#include "pdf/PdfExport.h"

bool CPdfExportNew::WriteProperties(const CPdfTextStyle& style) {
  const CPdfData& s = *m_settings;
  const bool exchanged = style.m_orientation != 0;
  const int kind = exchanged ? kPageLandscape : kPageUpright;
  double w0 = PageWidth(), h0 = PageHeight();
  if (exchanged) std::swap(w0, h0);
  const int size = style.m_size;

  BeginPage(exchanged);
  int font = -1;
  if (!SetStyle(style, font)) {
    EndPage(kind);
    return false;
  }

  static const UINT kAttrLabels[] = {IDS_PDF_ATTR_AUTHOR, IDS_PDF_ATTR_COMPANY, IDS_PDF_ATTR_COPYRIGHT,
                                     IDS_PDF_ATTR_EMAIL, IDS_PDF_ATTR_WEBSITE};
  static const int kAttrIndexes[] = {CPatternAttr::kAuthor, CPatternAttr::kCompany, CPatternAttr::kCopyright,
                                     CPatternAttr::kEmail, CPatternAttr::kWebSite};
  CPatternInfoRows info;
  BuildPatternInfoRows(*m_design, m_palette, false, info);

  double labelWidth = 0;
  for (UINT id : kAttrLabels) labelWidth = std::max(labelWidth, m_pdf.stringwidth(LoadResString(id).str(), font, size));
  for (const CPatternInfoRow& row : info)
    labelWidth = std::max(labelWidth, m_pdf.stringwidth(row.label.str(), font, size));
  const double valueX = LeftMargin() + static_cast<int>(labelWidth) + size;

  double y = static_cast<int>(h0) - 3 * size - TopOffset();
  for (int i = 0; i < 5; ++i) {
    m_pdf.show_xy((LoadResString(kAttrLabels[i]) + ":").str(), LeftMargin(), y);
    m_pdf.show_xy(m_design->m_attr.m_texts[kAttrIndexes[i]].str(), valueX, y);
    y -= size;
  }
  y -= 2 * size;
  for (const CPatternInfoRow& row : info) {
    m_pdf.show_xy((row.label + ":").str(), LeftMargin(), y);
    m_pdf.show_xy(row.value.str(), valueX, y);
    y -= size;
  }

  const CPdfRgb rgb(style);
  const CString options = PdfFormat(
      "fontname=%s fontsize=%d encoding=%s alignment=justify fillcolor={rgb %.2f %.2f %.2f}",
      QuoteOptionValue(style.m_face).GetString(), size, GetPdfEncoding().GetString(), rgb.red, rgb.green, rgb.blue);
  const int flow = m_pdf.add_textflow(-1, m_design->m_attr.m_texts[CPatternAttr::kComments].str(), options.str());
  if (flow < 0) {
    EndPage(kind);
    return false;
  }
  y -= size;
  const CString title = LoadResString(IDS_PDF_PROPERTIES_TITLE);
  const double right = static_cast<int>(w0 - RightMargin());
  const double bottom = BottomOffset();
  bool firstPage = true;
  // Comments that do not fit continue on further pages under the same head;
  // only the first page carries the bookmark.
  for (;;) {
    if (!firstPage && y - bottom < size) {
      EndPage(kind);
      return false;
    }
    std::string result = "_boxfull";
    if (y - bottom >= size) {
      result = m_pdf.fit_textflow(flow, LeftMargin(), y, right, bottom, "verticalalign=justify linespreadlimit=120%");
      if (result == "_boxempty" && !firstPage) {
        EndPage(kind);
        return false;
      }
    }
    if (result == "_stop") {
      DrawPageHead(title, firstPage && s.m_createBookmarks, kind);
      EndPage(kind);
      return true;
    }
    if (result != "_boxfull" && result != "_nextpage" && result != "_boxempty") {
      EndPage(kind);
      return false;
    }
    DrawPageHead(title, firstPage && s.m_createBookmarks, kind);
    EndPage(kind);
    firstPage = false;
    BeginPage(exchanged);
    SetFillColor(style.m_color);
    y = static_cast<int>(h0) - TopOffset() - size;
  }
}
