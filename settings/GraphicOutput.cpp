#include "settings/GraphicOutput.h"

#include <cstring>

#include "core/ByteStream.h"

namespace {

LOGFONT ArialFont(int height) {
  LOGFONT font;
  std::memset(&font, 0, sizeof(font));
  font.lfHeight = height;
  font.lfCharSet = DEFAULT_CHARSET;
  std::memcpy(font.lfFaceName, "Arial", 6);
  return font;
}

// A LOGFONT as it lies in memory: five little-endian 32-bit values, eight
// bytes and the 32-byte face name.
bool WriteFont(CByteStream& s, const LOGFONT& font) { return s.WriteBytes(&font, sizeof(LOGFONT)); }
bool ReadFont(CByteStream& s, LOGFONT& font) { return s.ReadBytes(&font, sizeof(LOGFONT)); }

bool WritePair(CByteStream& s, const POINT& p) { return s.WriteIntPair(p.x, p.y); }
bool ReadPair(CByteStream& s, POINT& p) {
  int x = 0, y = 0;
  if (!s.ReadIntPair(x, y)) return false;
  p.x = x;
  p.y = y;
  return true;
}

}  // namespace

const POINT CGraphicOutputParams::kPairOneTwo{1, 2};
const POINT CGraphicOutputParams::kPairTwentyThree{23, 23};

CGraphicOutputParams::CGraphicOutputParams() { SetDefaults(); }

void CGraphicOutputParams::SetDefaults() {
  m_listPlacement = 0;
  m_fontSize = 30;
  m_fileType = 1;
  m_outputWidth = 1;
  m_outputHeight = 1;
  m_titleFont = ArialFont(m_fontSize);
  m_nameCutting = CNameCutting();
  m_listFont = ArialFont(16);
  static const BYTE kFlags[9] = {1, 1, 0, 0, 1, 1, 1, 1, 0};
  std::memcpy(m_unusedFlags, kFlags, sizeof m_unusedFlags);
  m_unusedValues[0] = m_unusedValues[1] = 0;
  // The second pair keeps its value.
  m_unusedPairs[0] = POINT{1, 1};
  m_unusedPairs[2] = kPairOneTwo;
  m_unusedPairs[3] = kPairTwentyThree;
  for (BYTE& size : m_unusedSizeBytes) size = 4;
  static const SHORT kSizes[4] = {23, 12, 14, 7};
  std::memcpy(m_unusedSizes, kSizes, sizeof m_unusedSizes);
  m_unusedTexts[0].Empty();
  m_unusedTexts[1].Empty();
}

int CGraphicOutputParams::GetStreamSize() const {
  return 218 + CByteStream::StringSize(m_unusedTexts[0]) + CByteStream::StringSize(m_unusedTexts[1]);
}

bool CGraphicOutputParams::Write(CByteStream& s) const {
  return s.WriteByte(m_unusedFlags[0]) && s.WriteByte(m_unusedFlags[1]) && s.WriteInt(m_listPlacement) &&
         s.WriteInt(m_fontSize) && s.WriteInt(m_unusedValues[0]) && s.WriteInt(m_fileType) &&
         s.WriteInt(m_unusedValues[1]) && s.WriteByte(m_unusedFlags[2]) && s.WriteByte(m_unusedFlags[3]) &&
         WriteFont(s, m_titleFont) && m_nameCutting.Write(s) && WritePair(s, m_unusedPairs[0]) &&
         WritePair(s, m_unusedPairs[1]) && s.WriteByte(m_unusedFlags[4]) && WritePair(s, m_unusedPairs[2]) &&
         WritePair(s, m_unusedPairs[3]) && s.WriteByte(m_unusedFlags[5]) && s.WriteBytes(m_unusedSizeBytes, 4) &&
         s.WriteByte(m_unusedFlags[6]) && WriteFont(s, m_listFont) && s.WriteByte(m_unusedFlags[7]) &&
         s.WriteInt16(static_cast<WORD>(m_unusedSizes[0])) && s.WriteInt16(static_cast<WORD>(m_unusedSizes[1])) &&
         s.WriteInt16(static_cast<WORD>(m_unusedSizes[2])) && s.WriteInt16(static_cast<WORD>(m_unusedSizes[3])) &&
         s.WriteString(m_unusedTexts[0]) && s.WriteString(m_unusedTexts[1]) && s.WriteByte(m_unusedFlags[8]) &&
         s.WriteZeros(21);
}

bool CGraphicOutputParams::Read(CByteStream& s) {
  if (!s.ReadByte(m_unusedFlags[0]) || !s.ReadByte(m_unusedFlags[1]) || !s.ReadInt(m_listPlacement) ||
      !s.ReadInt(m_fontSize) || !s.ReadInt(m_unusedValues[0]) || !s.ReadInt(m_fileType) ||
      !s.ReadInt(m_unusedValues[1]) || !s.ReadByte(m_unusedFlags[2]) || !s.ReadByte(m_unusedFlags[3]) ||
      !ReadFont(s, m_titleFont) || !m_nameCutting.Read(s) || !ReadPair(s, m_unusedPairs[0]))
    return false;
  if (!ReadPair(s, m_unusedPairs[1])) return false;
  if (m_unusedPairs[1].x <= 0 || m_unusedPairs[1].y <= 0) m_unusedPairs[1] = kPairTwentyThree;
  if (!s.ReadByte(m_unusedFlags[4]) || !ReadPair(s, m_unusedPairs[2])) return false;
  if (m_unusedPairs[2].x == 0 && m_unusedPairs[2].y == 0) m_unusedPairs[2] = kPairOneTwo;
  if (!ReadPair(s, m_unusedPairs[3])) return false;
  if (m_unusedPairs[3].x == 0 && m_unusedPairs[3].y == 0) m_unusedPairs[3] = kPairTwentyThree;
  if (!s.ReadByte(m_unusedFlags[5]) || !s.ReadBytes(m_unusedSizeBytes, 4) || !s.ReadByte(m_unusedFlags[6]) ||
      !ReadFont(s, m_listFont) || !s.ReadByte(m_unusedFlags[7]))
    return false;
  static const SHORT kDefaults[3] = {23, 12, 14};
  for (int i = 0; i < 4; ++i) {
    if (!s.ReadInt16(m_unusedSizes[i])) return false;
    if (i < 3 && m_unusedSizes[i] <= 0) m_unusedSizes[i] = kDefaults[i];
  }
  return s.ReadString(m_unusedTexts[0]) && s.ReadString(m_unusedTexts[1]) && s.ReadByte(m_unusedFlags[8]) && s.Skip(21);
}
