// A process of the registry race test (base_registry_test.cpp). It loads the
// store, says it is ready (file "ready-<name>"), waits for the file
// "start", then, as a writer, sets its own DWORD value <name> under
// HKEY_CURRENT_USER\Software\Race to 1, 2, ... rounds; as the reader (name
// "reader") it waits for the file "done" instead and checks that the values
// "a" and "b" both read `rounds`.
// Arguments: name, rounds, the folder of the ready, start and done files.
// Exit code 0 when every call succeeded and the reader read what it should.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/base.h"

namespace {

bool WaitFor(const std::filesystem::path& file) {
  for (int wait = 0; !std::filesystem::exists(file); ++wait) {
    if (wait > 20000) return false;
    usleep(1000);
  }
  return true;
}

DWORD Query(HKEY key, const char* name) {
  DWORD value = 0, size = sizeof value;
  if (RegQueryValueEx(key, name, nullptr, nullptr, reinterpret_cast<LPBYTE>(&value), &size) != ERROR_SUCCESS)
    return 0xFFFFFFFFu;
  return value;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) return 2;
  const std::string name = argv[1];
  const DWORD rounds = static_cast<DWORD>(std::atoi(argv[2]));
  const std::filesystem::path folder = argv[3];
  const bool reader = name == "reader";
  HKEY key = nullptr;
  if (RegCreateKeyEx(HKEY_CURRENT_USER, "Software\\Race", 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                     nullptr, &key, nullptr) != ERROR_SUCCESS)
    return 3;
  if (Query(key, reader ? "a" : name.c_str()) != 0) return 4;  // the store as it was before the writes
  std::ofstream(folder / ("ready-" + name)) << "ready";
  if (reader) {
    if (!WaitFor(folder / "done")) return 5;
    return Query(key, "a") == rounds && Query(key, "b") == rounds ? 0 : 7;
  }
  if (!WaitFor(folder / "start")) return 5;
  for (DWORD i = 1; i <= rounds; ++i)
    if (RegSetValueEx(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&i), sizeof i) != ERROR_SUCCESS)
      return 6;
  RegCloseKey(key);
  return 0;
}
