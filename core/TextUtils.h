// Number and text helpers: grouped numbers, decimal texts, rounding,
// string comparison and parsing, build dates and GUID texts.
#pragma once

#include "platform/base.h"

// The decimal digits with the separator between groups of three from the
// right (1234567 with ',' gives 1,234,567).
CString FormatGroupedNumber(unsigned long long value, char separator);
void FormatGroupedNumber(CString& out, unsigned long long value, char separator);
// Drops trailing zeros of the fraction, keeping one digit after the point:
// 12.50 gives 12.5, 12.00 gives 12.0, 0.10500 gives 0.105, 12.05 stays.
// Texts without a point, or with the point first, stay as they are.
void TrimDecimalZeros(CString& text);
// Byte by byte over the shorter length, bytes as signed values; on a common
// prefix the shorter string is smaller. -1, 0 or 1.
int CompareStrings(const char* a, const char* b);
// Empty or spaces only.
bool IsBlankString(const char* text);
// 0 for an empty text; else atoi of the text without spaces (63 characters
// kept).
int ParseIntIgnoringSpaces(const char* text);
double ParseFloat(const char* text);
// "Aug 14 2016" becomes "14 <Russian month> 2016" (in the interface code
// page); anything else stays.
void LocalizeBuildDate(CString& text);
// A copy of the text with its own buffer.
CString CopyString(const CString& text);
// The nearest integer, halves away from zero (2.5 gives 3, -2.5 gives -3).
// Values beyond the int range clamp to it; a NaN gives 0. Every rounding of
// geometry to pixels or counts goes through it.
int RoundToInt(double value);
