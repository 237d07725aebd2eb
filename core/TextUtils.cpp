// Number and text helpers of the file and text utilities.
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/TextUtils.h"

#include "core/FileUtils.h"
#include "platform/base/codepage.h"

CString FormatGroupedNumber(unsigned long long value, char separator) {
  char digits[32];
  std::snprintf(digits, sizeof(digits), "%llu", value);
  const int n = static_cast<int>(std::strlen(digits));
  CString out;
  for (int i = 0; i < n; ++i) {
    if (i > 0 && (n - i) % 3 == 0) out += separator;
    out += digits[i];
  }
  return out;
}

void FormatGroupedNumber(CString& out, unsigned long long value, char separator) {
  out = FormatGroupedNumber(value, separator);
}

void TrimDecimalZeros(CString& text) {
  const int point = text.Find('.');
  if (point < 1) return;
  int end = text.GetLength();
  // Keep one digit after the point.
  while (end > point + 2 && text[end - 1] == '0') --end;
  if (end < text.GetLength()) text = text.Left(end);
}

int RoundToInt(double value) {
  if (std::isnan(value)) return 0;
  const double r = std::round(value);  // halves away from zero
  if (r >= static_cast<double>(INT_MAX)) return INT_MAX;
  if (r <= static_cast<double>(INT_MIN)) return INT_MIN;
  return static_cast<int>(r);
}

int CompareStrings(const char* a, const char* b) {
  if (!a) a = "";
  if (!b) b = "";
  const size_t la = std::strlen(a), lb = std::strlen(b);
  const size_t n = la < lb ? la : lb;
  for (size_t i = 0; i < n; ++i) {
    const signed char x = static_cast<signed char>(a[i]);
    const signed char y = static_cast<signed char>(b[i]);
    if (x < y) return -1;
    if (x > y) return 1;
  }
  if (la < lb) return -1;
  if (la > lb) return 1;
  return 0;
}

bool IsBlankString(const char* text) {
  if (!text) return true;
  for (; *text; ++text)
    if (*text != ' ') return false;
  return true;
}

int ParseIntIgnoringSpaces(const char* text) {
  if (!text || !*text) return 0;
  char kept[64];
  int n = 0;
  for (; *text && n < 63; ++text)
    if (*text != ' ') kept[n++] = *text;
  kept[n] = 0;
  errno = 0;
  const long long v = std::strtoll(kept, nullptr, 10);
  if (v > INT_MAX) return INT_MAX;
  if (v < INT_MIN) return INT_MIN;
  return static_cast<int>(v);
}

double ParseFloat(const char* text) { return text ? std::strtod(text, nullptr) : 0.0; }

void LocalizeBuildDate(CString& text) {
  static const char* const kMonths[12][2] = {
      {"Jan", "Января"}, {"Feb", "Февраля"}, {"Mar", "Марта"},    {"Apr", "Апреля"},
      {"May", "Мая"},    {"Jun", "Июня"},    {"Jul", "Июля"},     {"Aug", "Августа"},
      {"Sep", "Сентября"}, {"Oct", "Октября"}, {"Nov", "Ноября"}, {"Dec", "Декабря"},
  };
  char month[16] = {};
  int day = 0, year = 0;
  if (std::sscanf(text.GetString(), "%15s %d %d", month, &day, &year) != 3) return;
  for (const auto& m : kMonths) {
    if (std::strcmp(month, m[0]) == 0) {
      text.Format("%d %s %d", day, Utf8ToCodePage(m[1], 1251).c_str(), year);
      return;
    }
  }
}

CString CopyString(const CString& text) { return CString(text.str()); }

void UuidToCString(const GUID& guid, CString& out) { out = GuidToText(guid); }
