// The design's named text attributes (CPatternAttr) and its chart symbol set
// (CSymbolSet), stored as blobs in the design file's properties section.
#pragma once

#include <vector>

#include "platform/base.h"

class CByteStream;

// Six text attributes: author, company, copyright, e-mail, web site,
// comments. Stored as six NUL-terminated strings and 64 zero bytes.
class CPatternAttr {
 public:
  enum { kAuthor, kCompany, kCopyright, kEmail, kWebSite, kComments, kCount };

  CPatternAttr() = default;
  virtual ~CPatternAttr() = default;
  CPatternAttr(const CPatternAttr&) = default;
  CPatternAttr& operator=(const CPatternAttr&) = default;

  void Clear();
  int GetStoredSize() const;
  bool Write(CByteStream& stream) const;
  // On any failure all six are emptied and the answer is false.
  bool Read(CByteStream& stream);

  friend bool operator==(const CPatternAttr& a, const CPatternAttr& b);

  CString m_texts[kCount];
  CString& Author() { return m_texts[kAuthor]; }
  CString& Company() { return m_texts[kCompany]; }
  CString& Copyright() { return m_texts[kCopyright]; }
  CString& Email() { return m_texts[kEmail]; }
  CString& WebSite() { return m_texts[kWebSite]; }
  CString& Comments() { return m_texts[kComments]; }
};

// The font and symbol codes of the chart symbols.
class CSymbolSet {
 public:
  CSymbolSet() { SetDefaults(); }

  // Name "<Predefined>", font "Arial", DEFAULT_CHARSET, not bold or italic,
  // and the default list of 256 codes (digits 1-9, capitals without O, small
  // letters without o, then every other byte value in ascending order).
  void SetDefaults();
  static std::vector<DWORD> DefaultCodes();

  // name, font (NUL-terminated), charset, bold, italic, u32 count, codes,
  // 16 zero bytes.
  int GetStoredSize() const;
  bool Write(CByteStream& stream) const;
  // Replaces the code list by the codes read; false when the stream runs
  // short (the caller then sets the defaults). A count larger than the bytes
  // left fails before anything is allocated.
  bool Read(CByteStream& stream);

  // All zero, then the face name, the character set, weight 700 when bold
  // and italic 1 when italic.
  void GetLogFont(LOGFONT& out) const;
  // Font name, character set, bold = weight > 400, italic = italic byte.
  void SetLogFont(const LOGFONT& font);

  friend bool operator==(const CSymbolSet& a, const CSymbolSet& b);

  CString m_name;
  CString m_fontName;
  BYTE m_charSet = DEFAULT_CHARSET;
  BYTE m_bold = 0;
  BYTE m_italic = 0;
  std::vector<DWORD> m_codes;
};
