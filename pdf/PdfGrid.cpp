// The grid pages: the design as a chart of cells, one per bead, with the
// colour number, manufacturer name or chart symbol of the bead, row and
// column numbers along the left and the top, cut into page-sized tiles.
#include <algorithm>
#include <cmath>

#include "core/FrameServices.h"
#include "core/TextUtils.h"
#include "design/Pattern.h"
#include "design/WeaveFormat.h"
#include "lang/ids/pdf.h"
#include "pdf/PdfExport.h"

namespace {
constexpr COLORREF kBlack = 0x000000;
constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kRed = 0x0000FF;
constexpr COLORREF kBlue = 0xFF0000;
}  // namespace

// ---- Cell rectangles ----

CGridPageMapper::CGridPageMapper(const CPdfExportNew& exporter, const RECT& tile, double pageHeight, int cellWidth,
                                 int rowHeight)
    : CGridPageMapper(exporter.LeftMargin(), exporter.TopOffset(), tile, pageHeight, cellWidth, rowHeight) {}

CGridPageMapper::CGridPageMapper(int leftMargin, int topOffset, const RECT& tile, double pageHeight, int cellWidth,
                                 int rowHeight)
    : m_tile(tile),
      m_left(leftMargin),
      m_top(topOffset),
      m_pageHeight(static_cast<int>(pageHeight)),
      m_cellWidth(cellWidth),
      m_rowHeight(rowHeight) {}

bool CGridPageMapper::GetCellRect(int column, int row, RECT& out) const {
  if (column < m_tile.left || column > m_tile.right || row < m_tile.top || row > m_tile.bottom) return false;
  out.left = (column - m_tile.left) * m_cellWidth + m_left;
  out.right = out.left + m_cellWidth;
  out.top = m_pageHeight - (m_top + (row - m_tile.top) * m_rowHeight);
  out.bottom = out.top - m_rowHeight;
  return true;
}

// ---- Cell contents ----

CString CPdfExportNew::GetGridCellText(const CPaletteColor& color) const {
  switch (m_settings->m_gridCellCoding) {
    case 0: return PdfFormat("%d", color.number);
    case 1: return color.mfgName;
    case 2: return CString(static_cast<char>(color.symbol));
    default: return CString();
  }
}

void CPdfExportNew::GetGridCellColors(const CPaletteColor& color, COLORREF& background, COLORREF& text) const {
  switch (m_settings->m_gridColoring) {
    case 0: {
      background = color.GetColorref();
      const int sum = GetRValue(background) + GetGValue(background) + GetBValue(background);
      text = sum >= 384 ? kBlack : kWhite;
      break;
    }
    case 2:
      background = kWhite;
      text = color.symbolVariant == 1 ? kRed : color.symbolVariant == 2 ? kBlue : kBlack;
      break;
    default:
      background = kWhite;
      text = kBlack;
      break;
  }
}

double CPdfExportNew::GetGridCellWidth(const CPdfTextStyle& style) {
  const int font = LoadFont(style.m_face);
  if (font < 0) return 0;
  const double size = style.m_size;
  double width = 0;
  if (m_settings->m_gridCellCoding != 2)
    for (const CPaletteColor& color : m_palette.GetColors())
      if (color.count != 0) width = std::max(width, m_pdf.stringwidth(GetGridCellText(color).str(), font, size));
  const int columns = static_cast<int>(m_design->GetColumnCount()), rows = static_cast<int>(m_design->GetRowCount());
  width = std::max(width, m_pdf.stringwidth(PdfFormat("%d", columns + 1).str(), font, size) + 2);
  width = std::max(width, m_pdf.stringwidth(PdfFormat("%d", rows + 1).str(), font, size) + 2);
  return width;
}

bool CPdfExportNew::GetGridPageCapacity(double cellWidth, int rowHeight, int orientation, int& columns,
                                        int& rows) const {
  columns = rows = 0;
  if (!(cellWidth > 0) || rowHeight <= 0) return false;
  double w = PageWidth(), h = PageHeight();
  if (orientation != 0) std::swap(w, h);
  const int format = m_design->m_format;
  columns = static_cast<int>(std::floor((w - LeftMargin() - RightMargin()) / cellWidth)) - 2;
  if (format == kFormatBrick || format == kFormatSacredBrick) --columns;
  rows = static_cast<int>(std::floor((h - TopOffset() - BottomOffset()) / rowHeight)) - 2;
  if (IsPeyoteFormat(format) || format == kFormatSacredPeyote) --rows;
  return columns >= 1 && rows >= 1;
}

RECT CPdfExportNew::ShiftGridCell(const RECT& rect, int column, int row, int cellWidth) const {
  RECT r = rect;
  const int rows = static_cast<int>(m_design->GetRowCount());
  const int format = m_design->GetRowFormat(row);
  if (format == kFormatBrick) {
    if ((rows - 1 - row) % 2 == 0) r.left += cellWidth / 2, r.right += cellWidth / 2;
  } else if (format == kFormatSacredBrick) {
    if ((rows - 1 - row) % 2 != 0) r.left += 2 * cellWidth / 3, r.right += 2 * cellWidth / 3;
  } else if (format == kFormatSacredPeyote) {
    const int steps = m_design->m_sacredPeyoteDivisor > 0 ? m_design->m_sacredPeyoteDivisor : 3;
    const int d = RoundToInt(static_cast<double>(r.bottom - r.top) / steps * (column % 3));
    r.top += d, r.bottom += d;
  } else if (IsPeyoteFormat(format) && !IsShiftedColumn(format, column)) {
    const int d = (r.bottom - r.top) / 2;
    r.top += d, r.bottom += d;
  }
  return r;
}

// ---- Pages ----

bool CPdfExportNew::WriteGrid(const CPdfTextStyle& style) {
  const double cellWidth = GetGridCellWidth(style);
  if (!(cellWidth > 0)) {
    CString text;
    text.Format(LoadResString(IDS_PDF_FONT_LOAD_ERROR), style.m_face.GetString());
    return Fail(PdfExportError::FontNotLoaded, text);
  }
  const int rowHeight = style.m_size + 4;
  int cc = 0, rr = 0;
  if (!GetGridPageCapacity(cellWidth, rowHeight, style.m_orientation, cc, rr))
    return Fail(PdfExportError::PageTooSmallForGrid, LoadResString(IDS_PDF_PAGE_TOO_SMALL_FOR_GRID));
  const int columns = static_cast<int>(m_design->GetColumnCount()), rows = static_cast<int>(m_design->GetRowCount());
  if (static_cast<long long>(columns) * rows > m_design->GetBeadCount()) return Fail(PdfExportError::Unfinished);
  bool first = true;
  for (int r0 = 0; r0 < rows; r0 += rr + 1)
    for (int c0 = 0; c0 < columns; c0 += cc + 1) {
      const RECT tile{c0, r0, std::min(c0 + cc, columns - 1), std::min(r0 + rr, rows - 1)};
      WriteGridPage(tile, static_cast<int>(cellWidth), rowHeight, first, style);
      first = false;
    }
  return true;
}

bool CPdfExportNew::SelectGridSymbolFont(const CPdfTextStyle& style, int& font) {
  font = -1;
  if (m_settings->m_gridCellCoding != 2) return false;
  // A font that fails is reported once for the export.
  if (m_symbolFont == -2) m_symbolFont = LoadSymbolFont(m_design->m_symbolSet);
  if (m_symbolFont < 0) return false;
  font = m_symbolFont;
  m_pdf.setfont(font, style.m_size);
  return true;
}

bool CPdfExportNew::WriteGridPage(const RECT& tile, int w, int h, bool firstPage, const CPdfTextStyle& style) {
  const bool exchanged = style.m_orientation != 0;
  const int kind = exchanged ? kPageLandscape : kPageUpright;
  double pw = PageWidth(), ph = PageHeight();
  if (exchanged) std::swap(pw, ph);
  const int c0 = tile.left, r0 = tile.top, c1 = tile.right, r1 = tile.bottom;
  m_pdf.begin_page_ext(pw, ph, "");
  const CGridPageMapper mapper(*this, RECT{c0, r0, c1 + 1, r1 + 1}, ph, w, h);
  m_pdf.setcolor("fill", "rgb", 0, 0, 0, 0);
  const int font = LoadStyleFont(style);
  if (font < 0) {
    // The page is still suspended, so the pages after it can be begun.
    EndPage(kind);
    return false;
  }
  const double size = style.m_size;
  m_pdf.setfont(font, size);
  m_pdf.setlinewidth(0.5);

  auto number = [&](int n, double right, double y) {
    const CString text = PdfFormat("%d", n);
    m_pdf.show_xy(text.str(), right - m_pdf.stringwidth(text.str(), font, size) - 2, y);
  };
  RECT a{}, b{};
  // Row rulers: the band's top and bottom lines across the page, ticks
  // across the number column, numbers right-aligned in it.
  for (int k = r0; k <= r1 + 1; ++k) {
    m_pdf.setcolor("stroke", "gray", 0.5, 0, 0, 0);
    mapper.GetCellRect(c0, k, a);
    mapper.GetCellRect(c1 + 1, k, b);
    m_pdf.moveto(a.left, a.top);
    if (k < r0 + 2) m_pdf.lineto(b.left + w, b.top);
    else m_pdf.lineto(a.left + w, a.top);
    m_pdf.stroke();
    if (k > r0 + 1 && IsRulerNumber(k - 1)) number(k - 1, a.left + w, b.top + 2);
    if (k == r1 + 1) {
      m_pdf.moveto(a.left, a.top - h);
      m_pdf.lineto(a.left + w, a.top - h);
      m_pdf.stroke();
      number(k, a.left + w, b.top - h + 2);
    }
  }
  // Column rulers: lines down the number column, ticks in the number band.
  for (int g = c0; g <= c1 + 1; ++g) {
    m_pdf.setcolor("stroke", "gray", 0.5, 0, 0, 0);
    mapper.GetCellRect(g, r0, a);
    mapper.GetCellRect(g, r1 + 1, b);
    m_pdf.moveto(a.left, a.top);
    m_pdf.lineto(a.left, g < c0 + 2 ? b.top - h : a.top - h);
    m_pdf.stroke();
    if (g > c0 && IsRulerNumber(g)) number(g, a.left + w, a.bottom + 2);
    if (g == c1 + 1) {
      m_pdf.moveto(a.left + w, a.top);
      m_pdf.lineto(a.left + w, a.top - h);
      m_pdf.stroke();
    }
  }

  int symbolFont = -1;
  SelectGridSymbolFont(style, symbolFont);
  m_pdf.setlinewidth(1.0);
  const int pathColor = m_design->m_pathColor;
  for (int r = r0; r <= r1; ++r)
    for (int c = c0; c <= c1; ++c) {
      const CBead* bead = m_design->GetBeadAt(c, r);
      if (!bead || !bead->IsPresent()) continue;
      const CPaletteColor* color = m_palette.GetColor(bead->GetColorIndex(pathColor));
      if (!color) continue;
      const CString text = GetGridCellText(*color);
      RECT rect{};
      mapper.GetCellRect(c + 1, r + 1, rect);
      rect = ShiftGridCell(rect, c, r, w);
      DrawGridCell(rect, m_pdf.stringwidth(text.str(), font, size), w, text, *color);
    }

  CString title;
  GetFormatName(m_design->m_format, title);
  title += " ";
  title += LoadResString(IDS_PDF_GRID_AS);
  title += " ";
  switch (m_settings->m_gridCellCoding) {
    case 0: title += LoadResString(IDS_PDF_GRID_NUMBER); break;
    case 1: title += LoadResString(IDS_PDF_GRID_MFG_NAME); break;
    case 2: title += LoadResString(IDS_PDF_GRID_FONT_SYMBOL); break;
    default: break;
  }
  DrawPageHead(title, firstPage, kind);
  EndPage(kind);
  return true;
}

void CPdfExportNew::DrawGridCell(const RECT& rect, double textWidth, int cellWidth, const CString& text,
                                 const CPaletteColor& color) {
  COLORREF background = kWhite, textColor = kBlack;
  GetGridCellColors(color, background, textColor);
  if (m_settings->m_gridColoring == 0) {
    SetFillColor(background);
    m_pdf.rect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    m_pdf.fill();
  }
  SetFillColor(textColor);
  if (!text.IsEmpty())
    m_pdf.show_xy(text.str(), rect.left + static_cast<int>(RoundToInt(cellWidth - textWidth) / 2), rect.bottom + 2);
  // The frame in the rulers' grey.
  m_pdf.rect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
  m_pdf.stroke();
}
