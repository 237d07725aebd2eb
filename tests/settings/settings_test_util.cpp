#include "settings_test_util.h"

#include "core/Registry.h"

namespace settings_test {

void DeleteProgramValue(const char* name) {
  const CRegistryKey key = CRegistryKey::Create(g_szProgramKey, HKEY_CURRENT_USER);
  RegDeleteValue(key.GetHandle(), name);
}

}  // namespace settings_test
