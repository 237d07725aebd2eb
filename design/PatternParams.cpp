#include "design/PatternParams.h"

#include "core/ByteStream.h"
#include "core/FileUtils.h"
#include "core/FrameServices.h"
#include "core/TextUtils.h"
#include "design/WeaveFormat.h"
#include "lang/ids/base.h"

void CPatternParams::SetDefaults() {
  m_width = 0.0;
  m_height = 0.0;
  m_beadWidth = 1.0;
  m_beadHeight = 1.0;
  m_spacer = 0.0;
  m_format = 0;
  m_stitchPath = 0;
  m_colorMode = kColorModeClassic;
  m_pathColor = 0;
  m_extraInt = 0;
  m_blank = 0;
  m_lastByte = 0;
}

bool CPatternParams::Read(CByteStream& s) {
  return s.ReadDouble(m_width) && s.ReadDouble(m_height) && s.ReadDouble(m_beadWidth) && s.ReadDouble(m_beadHeight) &&
         s.ReadDouble(m_spacer) && s.ReadInt(m_format) && s.ReadInt(m_stitchPath) && s.ReadInt(m_pathColor) &&
         s.ReadInt(m_extraInt) && s.ReadByte(m_blank) && s.ReadByte(m_lastByte) && s.Skip(32);
}

bool CPatternParams::Write(CByteStream& s) const {
  return s.WriteDouble(m_width) && s.WriteDouble(m_height) && s.WriteDouble(m_beadWidth) &&
         s.WriteDouble(m_beadHeight) && s.WriteDouble(m_spacer) && s.WriteInt(m_format) && s.WriteInt(m_stitchPath) &&
         s.WriteInt(m_pathColor) && s.WriteInt(m_extraInt) && s.WriteByte(m_blank) && s.WriteByte(m_lastByte) &&
         s.WriteZeros(32);
}

unsigned CPatternParams::GetColumnCount() const { return CountBeadsInLength(m_width, m_beadWidth, m_spacer); }

unsigned CPatternParams::GetRowCount() const { return CountBeadsInLength(m_height, m_beadHeight, m_spacer); }

bool CPatternParams::CheckBeadBudget(unsigned long long maximum) const {
  const unsigned columns = GetColumnCount();
  const unsigned rows = GetRowCount();
  const unsigned long long beads = static_cast<unsigned long long>(columns) * rows;
  if (maximum >= beads) return true;
  CString text;
  text.Format(LoadResString(IDS_BEAD_BUDGET_EXCEEDED), FormatGroupedNumber(beads, ',').GetString(), columns, rows,
              FormatGroupedNumber(maximum, ',').GetString());
  AppMessageBox(text, kMbIconStop);
  return false;
}

bool operator==(const CPatternParams& a, const CPatternParams& b) {
  return a.m_width == b.m_width && a.m_height == b.m_height && a.m_beadWidth == b.m_beadWidth &&
         a.m_beadHeight == b.m_beadHeight && a.m_spacer == b.m_spacer && a.m_format == b.m_format &&
         a.m_stitchPath == b.m_stitchPath && a.m_colorMode == b.m_colorMode && a.m_pathColor == b.m_pathColor &&
         a.m_extraInt == b.m_extraInt && a.m_blank == b.m_blank && a.m_lastByte == b.m_lastByte;
}
