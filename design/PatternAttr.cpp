#include "design/PatternAttr.h"

#include <algorithm>
#include <cstring>

#include "core/ByteStream.h"

// ---- CPatternAttr ----

void CPatternAttr::Clear() {
  for (CString& text : m_texts) text.Empty();
}

int CPatternAttr::GetStoredSize() const {
  int size = 64;
  for (const CString& text : m_texts) size += CByteStream::StringSize(text);
  return size;
}

bool CPatternAttr::Write(CByteStream& stream) const {
  for (const CString& text : m_texts)
    if (!stream.WriteString(text)) return false;
  return stream.WriteZeros(64);
}

bool CPatternAttr::Read(CByteStream& stream) {
  for (CString& text : m_texts) {
    if (!stream.ReadString(text)) {
      Clear();
      return false;
    }
  }
  if (!stream.Skip(64)) {
    Clear();
    return false;
  }
  return true;
}

bool operator==(const CPatternAttr& a, const CPatternAttr& b) {
  for (int i = 0; i < CPatternAttr::kCount; ++i)
    if (a.m_texts[i] != b.m_texts[i]) return false;
  return true;
}

// ---- CSymbolSet ----

std::vector<DWORD> CSymbolSet::DefaultCodes() {
  std::vector<DWORD> codes;
  codes.reserve(256);
  bool used[256] = {};
  auto add = [&](DWORD code) {
    codes.push_back(code);
    used[code] = true;
  };
  for (DWORD c = 49; c <= 57; ++c) add(c);
  for (DWORD c = 65; c <= 90; ++c)
    if (c != 79) add(c);
  for (DWORD c = 97; c <= 122; ++c)
    if (c != 111) add(c);
  for (DWORD c = 0; c <= 255; ++c)
    if (!used[c]) add(c);
  return codes;
}

void CSymbolSet::SetDefaults() {
  m_name = "<Predefined>";
  m_fontName = "Arial";
  m_charSet = DEFAULT_CHARSET;
  m_bold = 0;
  m_italic = 0;
  m_codes = DefaultCodes();
}

int CSymbolSet::GetStoredSize() const {
  return CByteStream::StringSize(m_name) + CByteStream::StringSize(m_fontName) + 4 * static_cast<int>(m_codes.size()) +
         23;
}

bool CSymbolSet::Write(CByteStream& stream) const {
  if (!stream.WriteString(m_name) || !stream.WriteString(m_fontName) || !stream.WriteByte(m_charSet) ||
      !stream.WriteByte(m_bold) || !stream.WriteByte(m_italic) || !stream.WriteInt(static_cast<DWORD>(m_codes.size())))
    return false;
  for (DWORD code : m_codes)
    if (!stream.WriteInt(code)) return false;
  return stream.WriteZeros(16);
}

bool CSymbolSet::Read(CByteStream& stream) {
  DWORD count = 0;
  if (!stream.ReadString(m_name) || !stream.ReadString(m_fontName) || !stream.ReadByte(m_charSet) ||
      !stream.ReadByte(m_bold) || !stream.ReadByte(m_italic) || !stream.ReadInt(count))
    return false;
  // The codes and the 16-byte tail must lie within the bytes left.
  if (static_cast<unsigned long long>(count) * 4 > static_cast<unsigned long long>(stream.GetRemaining())) return false;
  std::vector<DWORD> codes(count);
  for (DWORD& code : codes)
    if (!stream.ReadInt(code)) return false;
  m_codes.swap(codes);
  return stream.Skip(16);
}

void CSymbolSet::GetLogFont(LOGFONT& out) const {
  std::memset(&out, 0, sizeof(out));
  const int n = std::min(m_fontName.GetLength(), LF_FACESIZE - 1);
  std::memcpy(out.lfFaceName, m_fontName.GetString(), static_cast<size_t>(n));
  out.lfCharSet = m_charSet;
  if (m_bold) out.lfWeight = FW_BOLD;
  if (m_italic) out.lfItalic = 1;
}

void CSymbolSet::SetLogFont(const LOGFONT& font) {
  m_fontName = CString(font.lfFaceName, static_cast<int>(strnlen(font.lfFaceName, LF_FACESIZE)));
  m_charSet = font.lfCharSet;
  m_bold = font.lfWeight > FW_NORMAL ? 1 : 0;
  m_italic = font.lfItalic != 0 ? 1 : 0;
}

bool operator==(const CSymbolSet& a, const CSymbolSet& b) {
  return a.m_name == b.m_name && a.m_fontName == b.m_fontName && a.m_charSet == b.m_charSet && a.m_bold == b.m_bold &&
         a.m_italic == b.m_italic && a.m_codes == b.m_codes;
}
