#include "palette/OmitName.h"

#include <vector>

#include "core/Registry.h"

COmitName::COmitName() : registryBacked_(true) { LoadFromRegistry(); }

COmitName::COmitName(Detached) : registryBacked_(false) {}

COmitName::COmitName(const COmitName& other)
    : firstFlag(other.firstFlag), omitCount(other.omitCount), secondFlag(other.secondFlag), registryBacked_(false) {}

COmitName& COmitName::operator=(const COmitName& other) {
  firstFlag = other.firstFlag;
  omitCount = other.omitCount;
  secondFlag = other.secondFlag;
  return *this;
}

COmitName::~COmitName() {
  if (registryBacked_) SaveToRegistry();
}

void COmitName::SetDefaults() {
  firstFlag = 0;
  omitCount = 0;
  secondFlag = 0;
}

bool COmitName::Write(CByteStream& s) const {
  return s.GetRemaining() >= 4 && s.WriteByte(firstFlag) && s.WriteByte(omitCount) && s.WriteByte(secondFlag) &&
         s.WriteByte(0);
}

bool COmitName::Read(CByteStream& s) {
  if (s.GetRemaining() < 4) return false;
  BYTE a = 0, n = 0, b = 0;
  s.ReadByte(a);
  s.ReadByte(n);
  s.ReadByte(b);
  s.Skip(1);
  firstFlag = a <= 1 ? a : 0;
  omitCount = n;
  secondFlag = b <= 1 ? b : 0;
  return true;
}

bool COmitName::LoadFromRegistry() {
  std::vector<BYTE> bytes;
  if (ReadProgramBinaryValue(kValueName, bytes) && bytes.size() >= 4) {
    CByteStream stream(bytes.data(), static_cast<int>(bytes.size()));
    if (Read(stream)) return true;
  }
  SetDefaults();
  return false;
}

bool COmitName::SaveToRegistry() const {
  std::vector<BYTE> bytes(4, 0);
  CByteStream stream(bytes.data(), 4);
  return Write(stream) && WriteProgramBinaryValue(kValueName, bytes);
}
