#include "setup/DesktopForms.h"

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <fcntl.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <tuple>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "core/FileUtils.h"
#include "core/Registry.h"
#include "setup/Payload.h"
#include "setup/SetupLanguage.h"
#include "setup/SetupShell.h"

extern char** environ;

namespace qmsetup {

namespace {

std::string Utf8Path(const CString& path) {
  std::string p = ToUtf8(path);
  for (char& c : p)
    if (c == '\\') c = '/';
  return p;
}

std::string EnvOr(const char* name, const std::string& fallback) {
  const char* v = std::getenv(name);
  return v && *v ? std::string(v) : fallback;
}

std::string Home() { return EnvOr("HOME", "/"); }

// A value of type string: backslashes and line breaks escaped.
std::string EscapeValue(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\\')
      out += "\\\\";
    else if (c == '\n')
      out += "\\n";
    else if (c == '\r')
      out += "\\r";
    else if (c == '\t')
      out += "\\t";
    else
      out += c;
  }
  return out;
}

std::string FileUrl(const std::string& path) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out = "file://";
  for (unsigned char c : path) {
    if (std::isalnum(c) || c == '/' || c == '-' || c == '_' || c == '.' || c == '~') {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

bool ReadText(const std::string& path, std::string& out) {
  std::ifstream f(path, std::ios::binary);
  if (!f) return false;
  std::ostringstream ss;
  ss << f.rdbuf();
  out = ss.str();
  return true;
}

DWORD Crc(const std::string& text) {
  return static_cast<DWORD>(crc32(crc32(0L, Z_NULL, 0), reinterpret_cast<const Bytef*>(text.data()),
                                  static_cast<uInt>(text.size())));
}

// The CRC-32 and size of a file, read in large blocks.
bool FileCrc(const std::string& path, DWORD& crc, ULONGLONG& size) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  std::vector<unsigned char> buffer(1 << 20);
  uLong c = crc32(0L, Z_NULL, 0);
  size = 0;
  size_t n;
  while ((n = std::fread(buffer.data(), 1, buffer.size(), f)) > 0) {
    c = crc32(c, buffer.data(), static_cast<uInt>(n));
    size += n;
  }
  const bool ok = !std::ferror(f);
  std::fclose(f);
  crc = static_cast<DWORD>(c);
  return ok;
}

// Writes a text file (new file renamed over the old) and records it.
bool WriteTextRecorded(const std::string& path, const std::string& text, DWORD mode) {
  if (!WriteFileReplacing(FromUtf8(path), text.data(), text.size(), mode)) return false;
  RecordInstalledFile(FromUtf8(path), Crc(text), text.size());
  return true;
}

// The record: its folder and lines (kind and key first, so a line can be
// replaced by a later one of the same key).
struct Record {
  CString folder;
  std::vector<std::string> lines;
} g_record;
// Lines made before the destination was known (the folder page creates the
// destination folder): added when the record begins.
std::vector<std::string> g_pending;

std::string KeyOf(const std::string& line) {
  std::vector<std::string> f;
  std::stringstream ss(line);
  for (std::string part; std::getline(ss, part, '\t');) f.push_back(part);
  if (f.empty()) return line;
  if (f[0] == "file" && f.size() >= 4) return "file\t" + f[3];
  return line;
}

void AddLine(const std::string& line) {
  if (g_record.folder.IsEmpty()) {
    g_pending.push_back(line);
    return;
  }
  const std::string key = KeyOf(line);
  for (std::string& l : g_record.lines)
    if (KeyOf(l) == key) {
      l = line;
      return;
    }
  g_record.lines.push_back(line);
}

std::vector<std::string> SplitTabs(const std::string& line) {
  std::vector<std::string> f;
  std::stringstream ss(line);
  for (std::string part; std::getline(ss, part, '\t');) f.push_back(part);
  return f;
}

HKEY RootOf(const std::string& name) {
  if (name == "HKCR") return HKEY_CLASSES_ROOT;
  if (name == "HKLM") return HKEY_LOCAL_MACHINE;
  if (name == "HKU") return HKEY_USERS;
  return HKEY_CURRENT_USER;
}

}  // namespace

std::string XdgDataHome() { return EnvOr("XDG_DATA_HOME", Home() + "/.local/share"); }
std::string XdgConfigHome() { return EnvOr("XDG_CONFIG_HOME", Home() + "/.config"); }

std::string QuoteExecArgument(const std::string& utf8) {
  // Inside double quotes ", `, $ and \ take a backslash; the value's own
  // escaping then doubles every backslash; a percent sign is doubled.
  std::string quoted = "\"";
  for (char c : utf8) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
    if (c == '%') quoted += '%';
    quoted += c;
  }
  quoted += '"';
  std::string out;
  for (char c : quoted) out += c == '\\' ? std::string("\\\\") : std::string(1, c);
  return out;
}

std::string FormatDesktopEntry(const CDesktopEntry& e) {
  std::string text = "[Desktop Entry]\n";
  text += e.link ? "Type=Link\n" : "Type=Application\n";
  text += "Version=1.0\n";
  text += "Name=" + EscapeValue(ToUtf8(e.name)) + "\n";
  if (!e.comment.IsEmpty()) text += "Comment=" + EscapeValue(ToUtf8(e.comment)) + "\n";
  if (e.link) {
    text += "URL=" + FileUrl(Utf8Path(e.target)) + "\n";
  } else {
    text += "Exec=" + QuoteExecArgument(Utf8Path(e.target));
    if (!e.arguments.IsEmpty()) text += " " + ToUtf8(e.arguments);
    text += "\n";
    text += "Terminal=false\n";
  }
  if (!e.icon.IsEmpty()) text += "Icon=" + ToUtf8(e.icon) + "\n";
  if (!e.link && !e.categories.IsEmpty()) text += "Categories=" + ToUtf8(e.categories) + "\n";
  if (!e.mimeType.IsEmpty()) text += "MimeType=" + ToUtf8(e.mimeType) + "\n";
  if (e.noDisplay) text += "NoDisplay=true\n";
  return text;
}

bool WriteDesktopEntry(const char* path, const CDesktopEntry& entry, DWORD mode) {
  return WriteTextRecorded(Utf8Path(path), FormatDesktopEntry(entry), mode);
}

std::string SetDefaultApplication(const std::string& text, const std::string& mime, const std::string& app) {
  const std::string prefix = mime + "=";
  std::vector<std::string> lines;
  std::stringstream ss(text);
  for (std::string line; std::getline(ss, line);) lines.push_back(line);
  std::string out;
  bool inDefault = false, added = false, found = false;
  int blanks = 0;
  for (const std::string& l : lines) {
    std::string line = l;
    bool suppress = false;
    if (line.rfind("[Default Applications]", 0) == 0) {
      inDefault = found = true;
    } else if (line.rfind("[", 0) == 0) {
      if (!added && inDefault) {
        out += prefix + app + "\n";
        added = true;
      }
      inDefault = false;
    } else if (line.empty()) {
      suppress = true;
      ++blanks;
    } else if (inDefault && !added && line.rfind(prefix, 0) == 0) {
      line = prefix + app;
      added = true;
    }
    if (!suppress) {
      for (; blanks > 0; --blanks) out += "\n";
      out += line + "\n";
    }
  }
  if (!added) {
    if (!found) out += "\n[Default Applications]\n";
    out += prefix + app + "\n";
  }
  for (; blanks > 0; --blanks) out += "\n";
  return out;
}

std::string RemoveDefaultApplication(const std::string& text, const std::string& mime, const std::string& app) {
  std::string out;
  bool inDefault = false;
  std::stringstream ss(text);
  for (std::string line; std::getline(ss, line);) {
    if (line.rfind("[", 0) == 0) inDefault = line.rfind("[Default Applications]", 0) == 0;
    if (inDefault && (line == mime + "=" + app || line == mime + "=" + app + ";")) continue;
    out += line + "\n";
  }
  return out;
}

bool RunDesktopTool(const char* tool, const std::vector<std::string>& arguments) {
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(tool));
  for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  // Found on the PATH, or not there at all.
  const std::string path = EnvOr("PATH", "/usr/bin:/bin");
  bool present = false;
  std::stringstream dirs(path);
  for (std::string dir; std::getline(dirs, dir, ':');)
    present = present || ::access((dir + "/" + tool).c_str(), X_OK) == 0;
  if (!present) return false;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  const int rc = posix_spawnp(&pid, tool, &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return false;
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool CreateFolderPathRecorded(const char* path) {
  std::string p = Utf8Path(path);
  while (p.size() > 1 && p.back() == '/') p.pop_back();
  std::vector<std::string> missing;
  for (std::string q = p; !q.empty() && q != "/";) {
    struct stat st {};
    if (::stat(q.c_str(), &st) == 0) break;
    missing.push_back(q);
    const size_t slash = q.rfind('/');
    if (slash == std::string::npos) break;
    q = q.substr(0, slash);
  }
  if (!CreateFolderPath(path)) return false;
  for (const std::string& m : missing) RecordCreatedFolder(FromUtf8(m));
  return true;
}

bool RegisterDesktopAssociation(const CString& destFolder) {
  const std::string data = XdgDataHome();
  bool ok = true;
  // The MIME package.
  const std::string packages = data + "/mime/packages";
  ok = CreateFolderPathRecorded(FromUtf8(packages)) && ok;
  const std::string xml =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
      "  <mime-type type=\"" + std::string(kMimeType) + "\">\n"
      "    <comment>Quillmere bead design</comment>\n"
      "    <comment xml:lang=\"ru\">\xD0\xA1\xD1\x85\xD0\xB5\xD0\xBC\xD0\xB0 \xD0\xB1\xD0\xB8\xD1\x81\xD0\xB5\xD1\x80\xD0\xB0 "
      "\xC2\xAB\xD0\x9A\xD0\xB2\xD0\xB8\xD0\xBB\xD0\xBB\xD0\xBC\xD0\xB8\xD1\x80\xC2\xBB</comment>\n"
      "    <icon name=\"" + std::string(kDocumentIconName) + "\"/>\n"
      "    <glob pattern=\"*.qx\"/>\n"
      "  </mime-type>\n"
      "</mime-info>\n";
  ok = WriteTextRecorded(packages + "/" + kMimePackageName, xml, 0644) && ok;
  // The icons.
  for (const auto& [id, sub, name] : {std::tuple<UINT, const char*, const char*>{kPayloadProgramIcon, "apps", kDesktopIconName},
                                      {kPayloadDocumentIcon, "mimetypes", kDocumentIconName}}) {
    const std::string folder = data + "/icons/hicolor/48x48/" + sub;
    if (!CreateFolderPathRecorded(FromUtf8(folder))) {
      ok = false;
      continue;
    }
    const CString path = FromUtf8(folder + "/" + name + ".png");
    CExtracted written;
    if (ExtractPayloadEntry(id, path, &written))
      RecordInstalledFile(path, written.crc, written.size);
    else
      ok = false;
  }
  // The entry that opens designs.
  const std::string applications = data + "/applications";
  ok = CreateFolderPathRecorded(FromUtf8(applications)) && ok;
  CString program = destFolder;
  if (!program.IsEmpty() && program[program.GetLength() - 1] != '/' && program[program.GetLength() - 1] != '\\')
    program += "/";
  program += kShortName;
  CDesktopEntry entry;
  entry.name = GetProductDisplayName();
  entry.comment = Pick("Bead design software", "Программа дизайна бисером");
  entry.target = program;
  entry.arguments = "%f";
  entry.icon = kDesktopIconName;
  entry.mimeType = CString(kMimeType) + ";";
  entry.noDisplay = true;
  ok = WriteDesktopEntry(FromUtf8(applications + "/" + kDocumentEntryName), entry, 0644) && ok;
  // The default application, as xdg-mime default writes it.
  const std::string config = XdgConfigHome();
  CreateFolderPath(FromUtf8(config));
  const std::string mimeapps = config + "/mimeapps.list";
  std::string text;
  ReadText(mimeapps, text);
  const std::string updated = SetDefaultApplication(text, kMimeType, kDocumentEntryName);
  if (WriteFileReplacing(FromUtf8(mimeapps), updated.data(), updated.size(), 0644))
    RecordMimeappsLine(mimeapps, kMimeType, kDocumentEntryName);
  else
    ok = false;
  RunDesktopTool("update-mime-database", {data + "/mime"});
  RunDesktopTool("update-desktop-database", {applications});
  return ok;
}

void BeginInstallRecord(const CString& destFolder) {
  if (g_record.folder == destFolder && !g_record.folder.IsEmpty()) return;
  g_record = Record();
  g_record.folder = destFolder;
  std::string text;
  if (ReadText(Utf8Path(destFolder) + "/" + kInstallRecordName, text)) {
    std::stringstream ss(text);
    for (std::string line; std::getline(ss, line);)
      if (!line.empty() && line[0] != '#') AddLine(line);
  }
  std::vector<std::string> pending;
  pending.swap(g_pending);
  for (const std::string& line : pending) AddLine(line);
}

void RecordInstalledFile(const char* path, DWORD crc, ULONGLONG size) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "file\t%08x\t%llu\t", static_cast<unsigned>(crc),
                static_cast<unsigned long long>(size));
  AddLine(buffer + Utf8Path(path));
}

void RecordCreatedFolder(const char* path) { AddLine("dir\t" + Utf8Path(path)); }

void RecordMimeappsLine(const std::string& file, const std::string& mime, const std::string& app) {
  AddLine("mimeapps\t" + file + "\t" + mime + "\t" + app);
}

void RecordRegistryValue(const char* root, const char* key, const char* name) {
  AddLine(std::string("regvalue\t") + root + "\t" + ToUtf8(CString(key)) + "\t" + ToUtf8(CString(name)));
}

void RecordRegistryKey(const char* root, const char* key, const char* expectedDefault) {
  AddLine(std::string("regkey\t") + root + "\t" + ToUtf8(CString(key)) + "\t" +
          ToUtf8(CString(expectedDefault ? expectedDefault : "")));
}

std::vector<std::string> GetInstallRecordLines() { return g_record.lines; }

bool SaveInstallRecord() {
  if (g_record.folder.IsEmpty() || !FolderExists(g_record.folder)) return false;
  std::string text = "# What the setup of Quillmere made; UnInstall reads it. One line a thing, tab-separated.\n";
  for (const std::string& l : g_record.lines) text += l + "\n";
  const CString path = FromUtf8(Utf8Path(g_record.folder) + "/" + kInstallRecordName);
  return WriteFileReplacing(path, text.data(), text.size(), 0644);
}

bool UninstallFromRecord(const CString& folder, CUninstallResult& result) {
  const std::string base = Utf8Path(folder);
  const std::string recordPath = base + "/" + kInstallRecordName;
  std::string text;
  if (!ReadText(recordPath, text)) return false;
  std::vector<std::string> dirs;
  std::stringstream ss(text);
  for (std::string line; std::getline(ss, line);) {
    if (line.empty() || line[0] == '#') continue;
    const std::vector<std::string> f = SplitTabs(line);
    if (f[0] == "file" && f.size() >= 4) {
      DWORD fileCrc = 0;
      ULONGLONG size = 0;
      if (!FileCrc(f[3], fileCrc, size)) continue;
      char crc[16];
      std::snprintf(crc, sizeof crc, "%08x", static_cast<unsigned>(fileCrc));
      if (f[1] == crc && f[2] == std::to_string(size)) {
        if (::unlink(f[3].c_str()) == 0) ++result.removed;
      } else {
        result.kept.push_back(f[3]);
      }
    } else if (f[0] == "dir" && f.size() >= 2) {
      dirs.push_back(f[1]);
    } else if (f[0] == "mimeapps" && f.size() >= 4) {
      std::string list;
      if (ReadText(f[1], list)) {
        const std::string updated = RemoveDefaultApplication(list, f[2], f[3]);
        if (updated != list) WriteFileReplacing(FromUtf8(f[1]), updated.data(), updated.size(), 0644);
      }
    } else if (f[0] == "regvalue" && f.size() >= 4) {
      HKEY key = nullptr;
      if (RegOpenKeyEx(RootOf(f[1]), FromUtf8(f[2]), 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        RegDeleteValue(key, FromUtf8(f[3]));
        RegCloseKey(key);
      }
    } else if (f[0] == "regkey" && f.size() >= 3) {
      const HKEY root = RootOf(f[1]);
      const CString key = FromUtf8(f[2]);
      bool ours = true;
      if (f.size() >= 4 && !f[3].empty()) {
        char value[512] = {};
        DWORD size = sizeof value - 1, type = 0;
        HKEY h = nullptr;
        ours = RegOpenKeyEx(root, key, 0, KEY_READ, &h) == ERROR_SUCCESS &&
               RegQueryValueEx(h, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) == ERROR_SUCCESS &&
               ToUtf8(CString(value)) == f[3];
        if (h) RegCloseKey(h);
      }
      if (ours) RegDeleteTree(root, key);
    }
  }
  // The program's undo scratch folder, then the record.
  DeleteFolderTree(FromUtf8(base + "/Undo"));
  ::unlink(recordPath.c_str());
  // The desktop's caches forget the type while its folders still stand.
  const std::string data = XdgDataHome();
  RunDesktopTool("update-mime-database", {data + "/mime"});
  RunDesktopTool("update-desktop-database", {data + "/applications"});
  std::sort(dirs.begin(), dirs.end(), [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
  for (const std::string& d : dirs) ::rmdir(d.c_str());
  return true;
}

}  // namespace qmsetup
