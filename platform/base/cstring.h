// CString: the program's string of narrow bytes in the interface code page
// (Windows-1251 for Russian, Windows-1252 for English). It holds bytes and
// never converts them; conversion to UTF-8 happens only where text leaves the
// program (see codepage.h).
#pragma once

#include <cstdarg>
#include <string>
#include <string_view>

#include "platform/base/wintypes.h"

class CString {
 public:
  CString() = default;
  CString(const char* s) : s_(s ? s : "") {}
  CString(const char* s, int length) : s_(s ? std::string(s, length > 0 ? static_cast<size_t>(length) : 0) : std::string()) {}
  CString(char ch, int repeat = 1) : s_(repeat > 0 ? static_cast<size_t>(repeat) : 0, ch) {}
  CString(const std::string& s) : s_(s) {}
  CString(std::string&& s) : s_(std::move(s)) {}
  CString(std::string_view s) : s_(s) {}

  int GetLength() const { return static_cast<int>(s_.size()); }
  bool IsEmpty() const { return s_.empty(); }
  void Empty() { s_.clear(); }
  char GetAt(int i) const { return s_.at(static_cast<size_t>(i)); }
  void SetAt(int i, char ch) { s_.at(static_cast<size_t>(i)) = ch; }
  char operator[](int i) const { return GetAt(i); }
  operator const char*() const { return s_.c_str(); }
  const char* GetString() const { return s_.c_str(); }
  const std::string& str() const { return s_; }
  std::string& str() { return s_; }

  CString& operator=(const char* s) { s_ = s ? s : ""; return *this; }
  CString& operator=(char ch) { s_.assign(1, ch); return *this; }
  CString& operator=(const std::string& s) { s_ = s; return *this; }
  CString& operator+=(const CString& o) { s_ += o.s_; return *this; }
  CString& operator+=(const char* s) { if (s) s_ += s; return *this; }
  CString& operator+=(char ch) { s_ += ch; return *this; }
  CString& Append(const char* s, int n) { if (s && n > 0) s_.append(s, static_cast<size_t>(n)); return *this; }
  CString& AppendChar(char ch) { s_ += ch; return *this; }

  friend CString operator+(const CString& a, const CString& b) { return CString(a.s_ + b.s_); }
  friend CString operator+(const CString& a, const char* b) { return CString(a.s_ + (b ? b : "")); }
  friend CString operator+(const char* a, const CString& b) { return CString(std::string(a ? a : "") + b.s_); }
  friend CString operator+(const CString& a, char b) { return CString(a.s_ + b); }
  friend CString operator+(char a, const CString& b) { return CString(std::string(1, a) + b.s_); }

  friend bool operator==(const CString& a, const CString& b) { return a.s_ == b.s_; }
  friend bool operator==(const CString& a, const char* b) { return a.s_ == (b ? b : ""); }
  friend bool operator==(const char* a, const CString& b) { return b == a; }
  friend bool operator!=(const CString& a, const CString& b) { return !(a == b); }
  friend bool operator!=(const CString& a, const char* b) { return !(a == b); }
  friend bool operator!=(const char* a, const CString& b) { return !(b == a); }
  friend bool operator<(const CString& a, const CString& b) { return a.Compare(b) < 0; }
  friend bool operator>(const CString& a, const CString& b) { return a.Compare(b) > 0; }
  friend bool operator<=(const CString& a, const CString& b) { return a.Compare(b) <= 0; }
  friend bool operator>=(const CString& a, const CString& b) { return a.Compare(b) >= 0; }

  // Byte-wise comparison (unsigned bytes), -1, 0 or 1.
  int Compare(const char* s) const;
  // Comparison ignoring case in the interface code page.
  int CompareNoCase(const char* s) const;
  int Collate(const char* s) const { return Compare(s); }
  int CollateNoCase(const char* s) const { return CompareNoCase(s); }

  CString Mid(int first) const;
  CString Mid(int first, int count) const;
  CString Left(int count) const;
  CString Right(int count) const;
  CString SpanIncluding(const char* set) const;
  CString SpanExcluding(const char* set) const;

  int Find(char ch, int start = 0) const;
  int Find(const char* sub, int start = 0) const;
  int ReverseFind(char ch) const;
  int FindOneOf(const char* set) const;

  CString& MakeUpper();
  CString& MakeLower();
  CString& MakeReverse();
  CString& Trim();
  CString& Trim(char ch);
  CString& Trim(const char* set);
  CString& TrimLeft();
  CString& TrimLeft(char ch);
  CString& TrimLeft(const char* set);
  CString& TrimRight();
  CString& TrimRight(char ch);
  CString& TrimRight(const char* set);

  int Replace(char from, char to);
  int Replace(const char* from, const char* to);
  int Remove(char ch);
  int Insert(int index, char ch);
  int Insert(int index, const char* s);
  int Delete(int index, int count = 1);
  // Next token after start, delimited by any of the characters of set;
  // start becomes -1 when no token is left.
  CString Tokenize(const char* set, int& start) const;

  void Format(const char* fmt, ...) __attribute__((format(printf, 2, 3)));
  void FormatV(const char* fmt, va_list args);
  void AppendFormat(const char* fmt, ...) __attribute__((format(printf, 2, 3)));

  // Raw access. GetBuffer(n) makes room for at least n bytes plus the NUL;
  // ReleaseBuffer(-1) sets the length at the first NUL.
  char* GetBuffer(int minLength = 0);
  char* GetBufferSetLength(int length);
  void ReleaseBuffer(int newLength = -1);

  // Loads string id from the current resource pack; false when missing.
  BOOL LoadString(UINT id);

 private:
  std::string s_;
};

using LPCSTRING = const CString&;

// Upper and lower case of one byte in the interface code page.
char CodePageToUpper(char ch);
char CodePageToLower(char ch);
