// Helpers of the PDF export that need no document: formatting of option
// lists, quoting, the encoding and labels, page geometry, the colour list's
// column widths and the default output path.
#include <charconv>
#include <cmath>
#include <cstdarg>
#include <cstdio>

#include "core/FileUtils.h"
#include "core/FrameServices.h"
#include "core/Registry.h"
#include "design/Pattern.h"
#include "lang/ids/base.h"
#include "lang/ids/pdf.h"
#include "pdf/PdfExport.h"
#include "settings/AppSettings.h"

CString PdfFormat(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string out;
  for (const char* p = format; *p; ++p) {
    if (*p != '%') {
      out += *p;
      continue;
    }
    const char* start = p++;
    if (*p == '%') {
      out += '%';
      continue;
    }
    // Flags, width and precision.
    while (*p == '-' || *p == '+' || *p == ' ' || *p == '0' || *p == '#') ++p;
    while (*p >= '0' && *p <= '9') ++p;
    int precision = -1;
    if (*p == '.') {
      ++p;
      precision = 0;
      while (*p >= '0' && *p <= '9') precision = precision * 10 + (*p++ - '0');
    }
    const std::string conversion(start, static_cast<size_t>(p - start + 1));
    char buffer[64];
    switch (*p) {
      case 'd':
      case 'i':
      case 'c':
        std::snprintf(buffer, sizeof buffer, conversion.c_str(), va_arg(args, int));
        out += buffer;
        break;
      case 'u':
      case 'x':
      case 'X':
        std::snprintf(buffer, sizeof buffer, conversion.c_str(), va_arg(args, unsigned));
        out += buffer;
        break;
      case 's': {
        const char* text = va_arg(args, const char*);
        out += text ? text : "";
        break;
      }
      case 'f': {
        double value = va_arg(args, double);
        if (!std::isfinite(value)) value = 0;
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed,
                                          precision < 0 ? 6 : precision);
        out.append(buffer, result.ec == std::errc() ? result.ptr : buffer);
        break;
      }
      default:
        // Unknown conversions are written as they stand.
        out.append(conversion);
        if (!*p) --p;
        break;
    }
  }
  va_end(args);
  return CString(std::move(out));
}

CString QuoteOptionValue(const CString& text) {
  std::string out = "{";
  for (char ch : text.str()) {
    if (ch == '{' || ch == '}' || ch == '\\') out += '\\';
    out += ch;
  }
  out += '}';
  return CString(std::move(out));
}

CString EscapeCharrefText(const CString& text) {
  std::string out;
  out.reserve(text.str().size());
  for (char ch : text.str()) {
    switch (ch) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      default: out += ch;
    }
  }
  return CString(std::move(out));
}

CString GetPdfEncoding() { return IsRussianInterface() ? "cp1251" : "winansi"; }

int GetPdfInterfaceCodePage() { return IsRussianInterface() ? 1251 : 1252; }

CString GetProductLabel() {
  CString title = LoadResString(IDS_APP_TITLE);
  const int bracket = title.Find('(');
  if (bracket >= 0) title = title.Left(bracket) + "freeware";
  return title;
}

void ShowFontLoadError(const char* faceName) {
  CString text;
  text.Format(LoadResString(IDS_PDF_FONT_LOAD_ERROR), faceName ? faceName : "");
  AppMessageBox(text, kMbIconStop);
}

bool IsRulerNumber(int n) { return n == 1 || (n != 0 && n % 10 == 0); }

int PdfInchesToPoints(double inches) {
  if (!std::isfinite(inches)) return 0;
  return static_cast<int>(std::lround(inches * 72.0));
}

void GetPdfPageSize(double& width, double& height) {
  const CAppSettings& settings = GetAppSettings();
  double w = settings.m_pdfPageWidth, h = settings.m_pdfPageHeight;
  const auto usable = [](double v) { return std::isfinite(v) && v > 0 && v <= CAppSettings::kMaxPdfPageInches; };
  if (!usable(w) || !usable(h)) {
    int units = 0;
    CString wText, hText;
    GetDefaultPageSize(units, w, h, wText, hText);
  }
  width = PdfInchesToPoints(w);
  height = PdfInchesToPoints(h);
}

int ComputeTopOffset(const CPdfData& data) {
  double top = data.m_marginTop + data.m_pageTitleStyle.m_size + 0.2 * data.m_pageTitleStyle.m_size;
  if (!data.m_headerText.IsEmpty()) top += data.m_headerStyle.m_size;
  return static_cast<int>(top);
}

int ComputeBottomOffset(const CPdfData& data) {
  double bottom = data.m_marginBottom + 1.2 * data.m_versionStyle.m_size;
  if (!data.m_footerText.IsEmpty()) bottom += data.m_footerStyle.m_size;
  return static_cast<int>(bottom);
}

CColorListWidths ComputeColorListWidths(const CColumnArray& columns, bool symbolColumn) {
  CColorListWidths widths;
  const int room = symbolColumn ? 94 : 95;
  const int m = static_cast<int>(columns.size());
  long long sum = 0;
  bool automatic = false;
  for (const CColumnPair& column : columns) {
    if (column.width <= 0) automatic = true;
    sum += column.width;
  }
  int used = 0;
  for (const CColumnPair& column : columns) {
    const int share = automatic || sum <= 0 ? room / m : static_cast<int>(column.width * room / sum);
    widths.model.push_back(share);
    used += share;
  }
  const int rest = 100 - used;
  if (symbolColumn) {
    widths.color = 5 * rest / 6;
    widths.symbol = rest - widths.color;
  } else {
    widths.color = rest;
  }
  return widths;
}

bool GetDefaultPdfOutputPath(const CPattern& design, CString& out) {
  out.Empty();
  CString folder = GetProgramDataFolder() + "/PDF Export";
  if (!FolderExists(folder) && !CreateFolderPath(folder)) return false;
  CString name = design.m_title;
  name.Trim();
  if (name.IsEmpty() && !design.m_filePath.IsEmpty()) {
    CString fname;
    SplitPath(design.m_filePath, nullptr, nullptr, &fname, nullptr);
    name = fname;
  }
  if (name.IsEmpty()) name = LoadResString(IDS_PATTERN_WITHOUT_NAME);
  if (name.IsEmpty()) name = "Pattern";
  name.Replace('/', '_');
  name.Replace('\\', '_');
  if (name == "." || name == "..") name.Replace('.', '_');
  out = folder + "/" + name + ".pdf";
  return true;
}
