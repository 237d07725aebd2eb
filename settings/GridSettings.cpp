#include "settings/GridSettings.h"

#include <algorithm>

#include "core/ByteStream.h"
#include "core/Registry.h"

namespace {
CGridSettings* g_registeredGrid = nullptr;
}  // namespace

bool CGridSettings::Write(CByteStream& s) const {
  return s.WriteByte(m_showGrid) && s.WriteInt(m_step) && s.WriteInt(m_color) && s.WriteInt(m_screenWidth) &&
         s.WriteInt(m_pdfWidth);
}

bool CGridSettings::Read(CByteStream& s) {
  CGridSettings r;
  if (!s.ReadByte(r.m_showGrid) || !s.ReadInt(r.m_step) || !s.ReadInt(r.m_color) || !s.ReadInt(r.m_screenWidth) ||
      !s.ReadInt(r.m_pdfWidth))
    return false;
  *this = r;
  return true;
}

void CGridSettings::WriteToBytes(BYTE (&bytes)[kStoredSize]) const {
  CByteStream stream(bytes, kStoredSize, 0);
  Write(stream);  // always fits: the record is exactly kStoredSize bytes
}

bool CGridSettings::LoadFromBytes(const BYTE* data, size_t size) {
  if (size < static_cast<size_t>(kStoredSize)) {
    SetDefaults();
    return false;
  }
  BYTE head[kStoredSize];
  std::copy(data, data + kStoredSize, head);
  CByteStream stream(head, kStoredSize, 0);
  if (!Read(stream)) {
    SetDefaults();
    return false;
  }
  if (m_step < 1) m_step = CGridSettings().m_step;
  return true;
}

bool CGridSettings::LoadGridSettings() {
  std::vector<BYTE> bytes;
  if (!ReadProgramBinaryValue(kValueName, bytes)) {
    SetDefaults();
    return false;
  }
  return LoadFromBytes(bytes.data(), bytes.size());
}

bool CGridSettings::SaveGridSettings() const {
  BYTE bytes[kStoredSize];
  WriteToBytes(bytes);
  return WriteProgramBinaryValue(kValueName, std::vector<BYTE>(bytes, bytes + kStoredSize));
}

CGridSettings& GetGridSettings() {
  if (g_registeredGrid) return *g_registeredGrid;
  static CGridSettings fallback;
  return fallback;
}

void SetGridSettings(CGridSettings* settings) { g_registeredGrid = settings; }
