#include "platform/base/cstring.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "platform/base/codepage.h"

char CodePageToUpper(char ch) {
  const unsigned char c = static_cast<unsigned char>(ch);
  if (c >= 'a' && c <= 'z') return static_cast<char>(c - 32);
  if (c < 0x80) return ch;
  if (GetAnsiCodePage() == 1251) {
    if (c >= 0xE0) return static_cast<char>(c - 32);
    if (c == 0xB8) return static_cast<char>(0xA8);  // yo
    if (c == 0xBA) return static_cast<char>(0xAA);
    if (c == 0xBF) return static_cast<char>(0xAF);
    if (c == 0xB3) return static_cast<char>(0xB2);
    if (c == 0xA2) return static_cast<char>(0xA1);
    if (c == 0xBC) return static_cast<char>(0xA3);
    if (c == 0xB4) return static_cast<char>(0xA5);
    if (c == 0xBE) return static_cast<char>(0xBD);
    if (c >= 0x90 && c <= 0x9F && c != 0x98 && c != 0x99) {
      // 0x90 dje, 0x9A lje, 0x9C nje, 0x9D kje, 0x9E tshe, 0x9F dzhe
      static const unsigned char lower[] = {0x90, 0x9A, 0x9C, 0x9D, 0x9E, 0x9F};
      static const unsigned char upper[] = {0x80, 0x8A, 0x8C, 0x8D, 0x8E, 0x8F};
      for (int i = 0; i < 6; ++i)
        if (c == lower[i]) return static_cast<char>(upper[i]);
    }
    if (c == 0x83) return static_cast<char>(0x81);
    return ch;
  }
  // Windows-1252
  if (c >= 0xE0 && c != 0xF7) return c == 0xFF ? static_cast<char>(0x9F) : static_cast<char>(c - 32);
  if (c == 0x9A) return static_cast<char>(0x8A);
  if (c == 0x9C) return static_cast<char>(0x8C);
  if (c == 0x9E) return static_cast<char>(0x8E);
  return ch;
}

char CodePageToLower(char ch) {
  const unsigned char c = static_cast<unsigned char>(ch);
  if (c >= 'A' && c <= 'Z') return static_cast<char>(c + 32);
  if (c < 0x80) return ch;
  if (GetAnsiCodePage() == 1251) {
    if (c >= 0xC0 && c <= 0xDF) return static_cast<char>(c + 32);
    static const unsigned char upper[] = {0xA8, 0xAA, 0xAF, 0xB2, 0xA1, 0xA3, 0xA5, 0xBD, 0x80, 0x8A, 0x8C, 0x8D, 0x8E, 0x8F, 0x81};
    static const unsigned char lower[] = {0xB8, 0xBA, 0xBF, 0xB3, 0xA2, 0xBC, 0xB4, 0xBE, 0x90, 0x9A, 0x9C, 0x9D, 0x9E, 0x9F, 0x83};
    for (size_t i = 0; i < sizeof(upper); ++i)
      if (c == upper[i]) return static_cast<char>(lower[i]);
    return ch;
  }
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<char>(c + 32);
  if (c == 0x8A) return static_cast<char>(0x9A);
  if (c == 0x8C) return static_cast<char>(0x9C);
  if (c == 0x8E) return static_cast<char>(0x9E);
  if (c == 0x9F) return static_cast<char>(0xFF);
  return ch;
}

int CString::Compare(const char* s) const {
  const int r = std::strcmp(s_.c_str(), s ? s : "");
  return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

int CString::CompareNoCase(const char* s) const {
  const unsigned char* a = reinterpret_cast<const unsigned char*>(s_.c_str());
  const unsigned char* b = reinterpret_cast<const unsigned char*>(s ? s : "");
  for (;; ++a, ++b) {
    const unsigned char ca = static_cast<unsigned char>(CodePageToLower(static_cast<char>(*a)));
    const unsigned char cb = static_cast<unsigned char>(CodePageToLower(static_cast<char>(*b)));
    if (ca != cb) return ca < cb ? -1 : 1;
    if (ca == 0) return 0;
  }
}

CString CString::Mid(int first) const { return Mid(first, GetLength() - std::max(first, 0)); }

CString CString::Mid(int first, int count) const {
  if (first < 0) first = 0;
  if (count < 0) count = 0;
  const int len = GetLength();
  if (first >= len) return CString();
  if (count > len - first) count = len - first;
  return CString(s_.substr(static_cast<size_t>(first), static_cast<size_t>(count)));
}

CString CString::Left(int count) const {
  if (count <= 0) return CString();
  return CString(s_.substr(0, static_cast<size_t>(std::min(count, GetLength()))));
}

CString CString::Right(int count) const {
  if (count <= 0) return CString();
  const int len = GetLength();
  if (count >= len) return *this;
  return CString(s_.substr(static_cast<size_t>(len - count)));
}

CString CString::SpanIncluding(const char* set) const {
  const size_t n = s_.find_first_not_of(set ? set : "");
  return CString(n == std::string::npos ? s_ : s_.substr(0, n));
}

CString CString::SpanExcluding(const char* set) const {
  const size_t n = s_.find_first_of(set ? set : "");
  return CString(n == std::string::npos ? s_ : s_.substr(0, n));
}

int CString::Find(char ch, int start) const {
  if (start < 0 || start > GetLength()) return -1;
  const size_t n = s_.find(ch, static_cast<size_t>(start));
  return n == std::string::npos ? -1 : static_cast<int>(n);
}

int CString::Find(const char* sub, int start) const {
  if (!sub || start < 0 || start > GetLength()) return -1;
  const size_t n = s_.find(sub, static_cast<size_t>(start));
  return n == std::string::npos ? -1 : static_cast<int>(n);
}

int CString::ReverseFind(char ch) const {
  const size_t n = s_.rfind(ch);
  return n == std::string::npos ? -1 : static_cast<int>(n);
}

int CString::FindOneOf(const char* set) const {
  const size_t n = s_.find_first_of(set ? set : "");
  return n == std::string::npos ? -1 : static_cast<int>(n);
}

CString& CString::MakeUpper() {
  for (char& c : s_) c = CodePageToUpper(c);
  return *this;
}

CString& CString::MakeLower() {
  for (char& c : s_) c = CodePageToLower(c);
  return *this;
}

CString& CString::MakeReverse() {
  std::reverse(s_.begin(), s_.end());
  return *this;
}

static const char kWhite[] = " \t\r\n\v\f";

CString& CString::Trim() { return TrimRight().TrimLeft(); }
CString& CString::Trim(char ch) { return TrimRight(ch).TrimLeft(ch); }
CString& CString::Trim(const char* set) { return TrimRight(set).TrimLeft(set); }
CString& CString::TrimLeft() { return TrimLeft(kWhite); }
CString& CString::TrimLeft(char ch) {
  const char set[2] = {ch, 0};
  return ch ? TrimLeft(set) : *this;
}
CString& CString::TrimLeft(const char* set) {
  const size_t n = s_.find_first_not_of(set ? set : "");
  if (n == std::string::npos) s_.clear(); else s_.erase(0, n);
  return *this;
}
CString& CString::TrimRight() { return TrimRight(kWhite); }
CString& CString::TrimRight(char ch) {
  const char set[2] = {ch, 0};
  return ch ? TrimRight(set) : *this;
}
CString& CString::TrimRight(const char* set) {
  const size_t n = s_.find_last_not_of(set ? set : "");
  if (n == std::string::npos) s_.clear(); else s_.erase(n + 1);
  return *this;
}

int CString::Replace(char from, char to) {
  int n = 0;
  for (char& c : s_)
    if (c == from) { c = to; ++n; }
  return n;
}

int CString::Replace(const char* from, const char* to) {
  if (!from || !*from) return 0;
  const std::string f(from), t(to ? to : "");
  int n = 0;
  size_t pos = 0;
  while ((pos = s_.find(f, pos)) != std::string::npos) {
    s_.replace(pos, f.size(), t);
    pos += t.size();
    ++n;
  }
  return n;
}

int CString::Remove(char ch) {
  const size_t before = s_.size();
  s_.erase(std::remove(s_.begin(), s_.end(), ch), s_.end());
  return static_cast<int>(before - s_.size());
}

int CString::Insert(int index, char ch) {
  index = std::clamp(index, 0, GetLength());
  s_.insert(s_.begin() + index, ch);
  return GetLength();
}

int CString::Insert(int index, const char* s) {
  index = std::clamp(index, 0, GetLength());
  if (s) s_.insert(static_cast<size_t>(index), s);
  return GetLength();
}

int CString::Delete(int index, int count) {
  if (index < 0) index = 0;
  if (count > 0 && index < GetLength()) s_.erase(static_cast<size_t>(index), static_cast<size_t>(count));
  return GetLength();
}

CString CString::Tokenize(const char* set, int& start) const {
  if (start < 0) return CString();
  const std::string delims(set ? set : "");
  size_t from = s_.find_first_not_of(delims, static_cast<size_t>(start));
  if (from == std::string::npos || static_cast<size_t>(start) > s_.size()) {
    start = -1;
    return CString();
  }
  size_t to = s_.find_first_of(delims, from);
  if (to == std::string::npos) to = s_.size();
  start = static_cast<int>(to == s_.size() ? to : to + 1);
  return CString(s_.substr(from, to - from));
}

void CString::FormatV(const char* fmt, va_list args) {
  va_list copy;
  va_copy(copy, args);
  const int n = std::vsnprintf(nullptr, 0, fmt, copy);
  va_end(copy);
  if (n < 0) {
    s_.clear();
    return;
  }
  std::string out(static_cast<size_t>(n) + 1, '\0');
  std::vsnprintf(out.data(), out.size(), fmt, args);
  out.resize(static_cast<size_t>(n));
  s_ = std::move(out);
}

void CString::Format(const char* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  FormatV(fmt, args);
  va_end(args);
}

void CString::AppendFormat(const char* fmt, ...) {
  CString tail;
  va_list args;
  va_start(args, fmt);
  tail.FormatV(fmt, args);
  va_end(args);
  s_ += tail.s_;
}

char* CString::GetBuffer(int minLength) {
  if (minLength > GetLength()) s_.resize(static_cast<size_t>(minLength));
  return s_.data();
}

char* CString::GetBufferSetLength(int length) {
  s_.resize(static_cast<size_t>(std::max(length, 0)));
  return s_.data();
}

void CString::ReleaseBuffer(int newLength) {
  if (newLength < 0) {
    const size_t n = std::strlen(s_.c_str());
    s_.resize(n);
  } else {
    s_.resize(std::min(static_cast<size_t>(newLength), s_.size()));
  }
}
