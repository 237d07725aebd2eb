#include "dialogs/SerializeValue.h"

#include "core/Registry.h"

CSerializeValue<bool>::CSerializeValue(const char* valueName, bool& value) : m_name(valueName), m_value(value) {
  m_value = Read(valueName);
}

CSerializeValue<bool>::~CSerializeValue() { Write(m_name, m_value); }

bool CSerializeValue<bool>::Read(const char* valueName) {
  const CRegistryKey key = CRegistryKey::Open(g_szProgramKey, HKEY_CURRENT_USER);
  DWORD size = 0;
  if (!key.GetValueSize(valueName, size) || size != 1) return true;
  BYTE byte = 1;
  if (!key.ReadValue(valueName, &byte, 1)) return true;
  return byte != 0;
}

bool CSerializeValue<bool>::Write(const char* valueName, bool value) {
  const CRegistryKey key = CRegistryKey::Create(g_szProgramKey, HKEY_CURRENT_USER);
  const BYTE byte = value ? 1 : 0;
  return key.SetValue(valueName, &byte, 1, REG_BINARY);
}
