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

const POINT CGraphicOutputParams::kDefaultPairJ{1, 2};
const POINT CGraphicOutputParams::kDefaultPairK{23, 23};

CGraphicOutputParams::CGraphicOutputParams() { SetDefaults(); }

void CGraphicOutputParams::SetDefaults() {
  m_flagA = 1;
  m_flagB = 1;
  m_listPlacement = 0;
  m_fontSize = 30;
  m_valueC = 0;
  m_fileType = 1;
  m_outputWidth = 1;
  m_outputHeight = 1;
  m_valueD = 0;
  m_flagE = 0;
  m_flagF = 0;
  m_titleFont = ArialFont(m_fontSize);
  m_nameCutting = CNameCutting();
  m_pairG = POINT{1, 1};
  m_flagI = 1;
  m_pairJ = kDefaultPairJ;
  m_pairK = kDefaultPairK;
  m_flagL = 1;
  for (BYTE& size : m_sizesM) size = 4;
  m_flagN = 1;
  m_listFont = ArialFont(16);
  m_flagO = 1;
  m_textP.Empty();
  m_textQ.Empty();
  m_flagR = 0;
  m_sizeS = 23;
  m_sizeT = 12;
  m_sizeU = 14;
  m_sizeV = 7;
}

int CGraphicOutputParams::GetStreamSize() const {
  return 218 + CByteStream::StringSize(m_textP) + CByteStream::StringSize(m_textQ);
}

bool CGraphicOutputParams::Write(CByteStream& s) const {
  return s.WriteByte(m_flagA) && s.WriteByte(m_flagB) && s.WriteInt(m_listPlacement) && s.WriteInt(m_fontSize) &&
         s.WriteInt(m_valueC) && s.WriteInt(m_fileType) && s.WriteInt(m_valueD) && s.WriteByte(m_flagE) &&
         s.WriteByte(m_flagF) && WriteFont(s, m_titleFont) && m_nameCutting.Write(s) && WritePair(s, m_pairG) &&
         WritePair(s, m_pairH) && s.WriteByte(m_flagI) && WritePair(s, m_pairJ) && WritePair(s, m_pairK) &&
         s.WriteByte(m_flagL) && s.WriteBytes(m_sizesM, 4) && s.WriteByte(m_flagN) && WriteFont(s, m_listFont) &&
         s.WriteByte(m_flagO) && s.WriteInt16(static_cast<WORD>(m_sizeS)) &&
         s.WriteInt16(static_cast<WORD>(m_sizeT)) && s.WriteInt16(static_cast<WORD>(m_sizeU)) &&
         s.WriteInt16(static_cast<WORD>(m_sizeV)) && s.WriteString(m_textP) && s.WriteString(m_textQ) &&
         s.WriteByte(m_flagR) && s.WriteZeros(21);
}

bool CGraphicOutputParams::Read(CByteStream& s) {
  if (!s.ReadByte(m_flagA) || !s.ReadByte(m_flagB) || !s.ReadInt(m_listPlacement) || !s.ReadInt(m_fontSize) ||
      !s.ReadInt(m_valueC) || !s.ReadInt(m_fileType) || !s.ReadInt(m_valueD) || !s.ReadByte(m_flagE) ||
      !s.ReadByte(m_flagF) || !ReadFont(s, m_titleFont) || !m_nameCutting.Read(s) || !ReadPair(s, m_pairG))
    return false;
  if (!ReadPair(s, m_pairH)) return false;
  if (m_pairH.x <= 0 || m_pairH.y <= 0) m_pairH = kDefaultPairK;
  if (!s.ReadByte(m_flagI) || !ReadPair(s, m_pairJ)) return false;
  if (m_pairJ.x == 0 && m_pairJ.y == 0) m_pairJ = kDefaultPairJ;
  if (!ReadPair(s, m_pairK)) return false;
  if (m_pairK.x == 0 && m_pairK.y == 0) m_pairK = kDefaultPairK;
  if (!s.ReadByte(m_flagL) || !s.ReadBytes(m_sizesM, 4) || !s.ReadByte(m_flagN) || !ReadFont(s, m_listFont) ||
      !s.ReadByte(m_flagO))
    return false;
  SHORT* sizes[4] = {&m_sizeS, &m_sizeT, &m_sizeU, &m_sizeV};
  static const SHORT kDefaults[3] = {23, 12, 14};
  for (int i = 0; i < 4; ++i) {
    if (!s.ReadInt16(*sizes[i])) return false;
    if (i < 3 && *sizes[i] <= 0) *sizes[i] = kDefaults[i];
  }
  return s.ReadString(m_textP) && s.ReadString(m_textQ) && s.ReadByte(m_flagR) && s.Skip(21);
}
