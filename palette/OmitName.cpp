#include "palette/OmitName.h"

#include <vector>

#include "core/Registry.h"

COmitName::COmitName() : registryBacked_(true) { LoadFromRegistry(); }

COmitName::COmitName(Detached) : registryBacked_(false) {}

COmitName::COmitName(const COmitName& other) : CNameCutting(other), registryBacked_(false) {}

COmitName& COmitName::operator=(const COmitName& other) {
  CNameCutting::operator=(other);
  return *this;
}

COmitName::~COmitName() {
  if (registryBacked_) SaveToRegistry();
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
