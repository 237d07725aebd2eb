// qmreg: a look at the program's settings store (the registry of the current
// user) from the command line.
//
//   qmreg dump            every key and value: types, texts as UTF-8 (from the
//                         code page of the stored interface language), binary
//                         values as hex
//   qmreg init-language   stores the DWORD "language" under the maker's key
//                         when none is stored: 1 (Russian) when the locale
//                         (LC_ALL, LC_MESSAGES, LANG) starts with "ru", else 0
//   qmreg path            the store's file
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/Registry.h"

namespace {

struct Root {
  HKEY key;
  const char* name;
};
const Root kRoots[] = {{HKEY_CURRENT_USER, "HKEY_CURRENT_USER"},
                       {HKEY_CLASSES_ROOT, "HKEY_CLASSES_ROOT"},
                       {HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE"},
                       {HKEY_USERS, "HKEY_USERS"}};

std::string Text(const std::string& bytes, UINT codePage) { return CodePageToUtf8(bytes, codePage); }

const char* TypeName(DWORD type) {
  switch (type) {
    case REG_NONE: return "REG_NONE";
    case REG_SZ: return "REG_SZ";
    case REG_EXPAND_SZ: return "REG_EXPAND_SZ";
    case REG_BINARY: return "REG_BINARY";
    case REG_DWORD: return "REG_DWORD";
    case REG_MULTI_SZ: return "REG_MULTI_SZ";
    default: return nullptr;
  }
}

// A quoted text with control characters shown as escapes.
std::string Quoted(const std::string& utf8) {
  std::string out = "\"";
  for (const char c : utf8) {
    const auto b = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (b < 0x20) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\x%02x", b);
      out += buf;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

bool DumpKey(HKEY key, const std::string& path, UINT codePage) {
  std::printf("[%s]\n", Text(path, codePage).c_str());
  for (DWORD i = 0;; ++i) {
    char name[16384];
    DWORD nameSize = sizeof name;
    DWORD type = 0, size = 0;
    LONG r = RegEnumValue(key, i, name, &nameSize, nullptr, &type, nullptr, &size);
    if (r == ERROR_NO_MORE_ITEMS) break;
    if (r != ERROR_SUCCESS) {
      std::fprintf(stderr, "qmreg: cannot list the values of %s (error %d)\n", path.c_str(), static_cast<int>(r));
      return false;
    }
    std::vector<BYTE> data(size + 1);
    DWORD got = size;
    nameSize = sizeof name;
    r = RegEnumValue(key, i, name, &nameSize, nullptr, &type, data.data(), &got);
    if (r != ERROR_SUCCESS) {
      std::fprintf(stderr, "qmreg: cannot read a value of %s (error %d)\n", path.c_str(), static_cast<int>(r));
      return false;
    }
    const std::string bytes(reinterpret_cast<const char*>(data.data()), got);
    const std::string shownName = nameSize ? Text(name, codePage) : "(default)";
    const char* typeName = TypeName(type);
    std::string typeText = typeName ? typeName : "type " + std::to_string(type);
    if (type == REG_DWORD && got == 4) {
      DWORD v;
      std::memcpy(&v, bytes.data(), 4);
      std::printf("  %s  %s  %u (0x%08x)\n", shownName.c_str(), typeText.c_str(), v, v);
    } else if (type == REG_SZ || type == REG_EXPAND_SZ) {
      std::string shown = bytes;
      const bool terminated = !shown.empty() && shown.back() == '\0';
      if (terminated) shown.pop_back();
      std::printf("  %s  %s  %s%s\n", shownName.c_str(), typeText.c_str(), Quoted(Text(shown, codePage)).c_str(),
                  terminated ? "" : "  (stored without its NUL)");
    } else {
      std::printf("  %s  %s  (%u bytes)", shownName.c_str(), typeText.c_str(), got);
      for (DWORD j = 0; j < got; ++j) std::printf("%s%02x", j % 32 == 0 ? "\n    " : " ", data[j]);
      std::printf("\n");
    }
  }
  for (DWORD i = 0;; ++i) {
    char name[256];
    DWORD nameSize = sizeof name;
    LONG r = RegEnumKeyEx(key, i, name, &nameSize, nullptr, nullptr, nullptr, nullptr);
    if (r == ERROR_NO_MORE_ITEMS) break;
    if (r != ERROR_SUCCESS) {
      std::fprintf(stderr, "qmreg: cannot list the keys of %s (error %d)\n", path.c_str(), static_cast<int>(r));
      return false;
    }
    HKEY child = nullptr;
    r = RegOpenKeyEx(key, name, 0, KEY_READ, &child);
    if (r != ERROR_SUCCESS) {
      std::fprintf(stderr, "qmreg: cannot open %s\\%s (error %d)\n", path.c_str(), name, static_cast<int>(r));
      return false;
    }
    const bool ok = DumpKey(child, path + "\\" + name, codePage);
    RegCloseKey(child);
    if (!ok) return false;
  }
  return true;
}

int Dump() {
  LoadLanguageFlag();  // texts are shown in the code page of the stored language
  const UINT codePage = GetAnsiCodePage();
  std::printf("; %s (texts shown from code page %u)\n", RegistryStorePath().c_str(), codePage);
  for (const Root& root : kRoots) {
    DWORD values = 0, keys = 0;
    char name[256];
    DWORD nameSize = sizeof name;
    DWORD dataSize = 0;
    if (RegEnumValue(root.key, 0, name, &nameSize, nullptr, nullptr, nullptr, &dataSize) == ERROR_SUCCESS) ++values;
    nameSize = sizeof name;
    if (RegEnumKeyEx(root.key, 0, name, &nameSize, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS) ++keys;
    if (!values && !keys) continue;
    if (!DumpKey(root.key, root.name, codePage)) return 1;
  }
  return 0;
}

std::string LocaleName() {
  for (const char* var : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* v = std::getenv(var);
    if (v && *v) return v;
  }
  return std::string();
}

int InitLanguage() {
  CRegistryKey key = CRegistryKey::Create(g_szMakerKey, HKEY_CURRENT_USER);
  if (!key.IsOpen()) {
    std::fprintf(stderr, "qmreg: cannot open or create HKEY_CURRENT_USER\\%s in %s\n", g_szMakerKey,
                 RegistryStorePath().c_str());
    return 1;
  }
  DWORD size = 0;
  if (key.GetValueSize(g_szLanguageValue, size)) return 0;  // already chosen
  const std::string locale = LocaleName();
  const DWORD russian = locale.rfind("ru", 0) == 0 ? 1 : 0;
  if (!key.SetValue(g_szLanguageValue, &russian, sizeof russian, REG_DWORD)) {
    std::fprintf(stderr, "qmreg: cannot store the interface language in %s\n", RegistryStorePath().c_str());
    return 1;
  }
  std::printf("qmreg: interface language set to %s (from the locale \"%s\")\n", russian ? "Russian" : "English",
              locale.c_str());
  return 0;
}

void Usage(FILE* to) {
  std::fprintf(to,
               "usage: qmreg dump | init-language | path\n"
               "  dump           list every key and value of the settings store\n"
               "  init-language  store the interface language from the locale, unless one is stored\n"
               "  path           print the store's file name\n");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    Usage(stderr);
    return 2;
  }
  const std::string cmd = argv[1];
  if (cmd == "dump") return Dump();
  if (cmd == "init-language") return InitLanguage();
  if (cmd == "path") {
    std::printf("%s\n", RegistryStorePath().c_str());
    return 0;
  }
  if (cmd == "-h" || cmd == "--help" || cmd == "help") {
    Usage(stdout);
    return 0;
  }
  Usage(stderr);
  return 2;
}
