#include "dialogs/WizardData.h"

#include "core/ByteStream.h"
#include "core/Registry.h"

void CWizardData::SetDefaults() {
  m_projectType = kProjectFromPicture;
  m_picturePath.Empty();
  m_palettePath.Empty();
  m_existingDesignPath.Empty();
  m_params.SetDefaults();
  m_proportionate = 1;
  m_pictureWidth = 0;
  m_pictureHeight = 0;
  m_rulerUnit = 0;
  m_designIn = 0;
  m_blankColor = 0xFFFFFF;
  m_borderColor = 0;
}

int CWizardData::GetStreamSize() const {
  return CByteStream::StringSize(m_picturePath) + CByteStream::StringSize(m_palettePath) +
         CByteStream::StringSize(m_existingDesignPath) + CPatternParams::GetStoredSize() + kFixedBytes;
}

bool CWizardData::Read(CByteStream& s) {
  return s.ReadInt(m_projectType) && s.ReadString(m_picturePath) && s.ReadString(m_palettePath) &&
         s.ReadString(m_existingDesignPath) && m_params.Read(s) && s.ReadByte(m_proportionate) &&
         s.ReadInt(m_rulerUnit) && s.ReadInt(m_designIn) && s.ReadInt(m_blankColor) && s.ReadInt(m_borderColor) &&
         s.Skip(kReservedBytes);
}

bool CWizardData::Write(CByteStream& s) const {
  return s.WriteInt(m_projectType) && s.WriteString(m_picturePath) && s.WriteString(m_palettePath) &&
         s.WriteString(m_existingDesignPath) && m_params.Write(s) && s.WriteByte(m_proportionate) &&
         s.WriteInt(m_rulerUnit) && s.WriteInt(m_designIn) && s.WriteInt(m_blankColor) && s.WriteInt(m_borderColor) &&
         s.WriteZeros(kReservedBytes);
}

bool CWizardData::WriteToBytes(std::vector<BYTE>& out) const {
  out.assign(static_cast<size_t>(GetStreamSize()), 0);
  CByteStream s(out.data(), static_cast<int>(out.size()));
  if (!Write(s)) {
    out.clear();
    return false;
  }
  return true;
}

bool CWizardData::LoadFromBytes(const BYTE* data, size_t size) {
  SetDefaults();
  if (data == nullptr || size == 0 || size > kMaxStoredSize) return false;
  std::vector<BYTE> copy(data, data + size);
  CByteStream s(copy.data(), static_cast<int>(copy.size()));
  CWizardData read;
  if (!read.Read(s)) return false;
  *this = read;
  // The picture's size belongs to the picture chosen in this run.
  m_pictureWidth = 0;
  m_pictureHeight = 0;
  return true;
}

bool CWizardData::LoadFromRegistry() {
  SetDefaults();
  // The size first: a damaged record may claim any size, and nothing larger
  // than a plausible record is read.
  DWORD size = 0;
  {
    const CRegistryKey key = CRegistryKey::Open(g_szProgramKey, HKEY_CURRENT_USER);
    if (!key.IsOpen() || !key.GetValueSize(kValueName, size) || size == 0 || size > kMaxStoredSize) return false;
  }
  std::vector<BYTE> bytes;
  if (!ReadProgramBinaryValue(kValueName, bytes, true)) return false;
  return LoadFromBytes(bytes.data(), bytes.size());
}

bool CWizardData::SaveToRegistry() const {
  std::vector<BYTE> bytes;
  if (!WriteToBytes(bytes)) return false;
  return WriteProgramBinaryValue(kValueName, bytes, true);
}
