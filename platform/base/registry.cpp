// The registry store. The file is plain text, one section per key:
//
//   ; comment lines start with ';'
//   QuillmereRegistry 1
//   [HKEY_CURRENT_USER\SoftWare\Corvandel]
//   "language"=dword:00000001
//   "InstallPath"=sz:"/home/user/Quillmere"
//   "AppData_01_October_2017"=hex:0a0b0c
//   @=sz:"default value%00"
//   "odd"=hex(7):6100
//
// Names and texts are the stored bytes; a byte below 0x20 or above 0x7e, and
// '%', '"', '[', ']' and '\' are written as %HH. dword: is used for 4-byte
// REG_DWORD values, hex: for REG_BINARY, hex(type): for anything else.
#include "platform/base/registry.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr const char* kSignature = "QuillmereRegistry 1";
constexpr const char* kRootNames[] = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE", "HKEY_USERS"};
constexpr int kRootCount = 4;
constexpr size_t kMaxStoreBytes = 64u << 20;
constexpr size_t kMaxKeyNameLength = 255;
constexpr size_t kMaxValueNameLength = 16383;

std::string Fold(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

struct Value {
  std::string name;
  DWORD type = REG_NONE;
  std::string data;
};

struct Key {
  std::string name;
  std::vector<Value> values;
  std::map<std::string, std::unique_ptr<Key>> children;  // by folded name

  Value* FindValue(std::string_view valueName) {
    const std::string folded = Fold(valueName);
    for (Value& v : values)
      if (Fold(v.name) == folded) return &v;
    return nullptr;
  }
  Key* Child(std::string_view childName) {
    const auto it = children.find(Fold(childName));
    return it == children.end() ? nullptr : it->second.get();
  }
};

struct OpenKey {
  int root;
  std::vector<std::string> path;  // folded names
  REGSAM access;
};

struct Stamp {
  int error = ENOENT;  // 0 when the file was there
  dev_t dev = 0;
  ino_t ino = 0;
  off_t size = 0;
  long long mtimeNs = 0;
  bool operator==(const Stamp&) const = default;
};

// A file whose time lies less than this before the moment it was looked at
// may be rewritten within the same tick of a coarse file-system clock (FAT
// keeps 2 seconds) without its stamp changing: reads then compare its text.
constexpr long long kRacyWindowNs = 3000000000LL;

Stamp StampOf(const std::string& path) {
  Stamp s;
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) {
    s.error = errno;
    return s;
  }
  s.error = 0;
  s.dev = st.st_dev;
  s.ino = st.st_ino;
  s.size = st.st_size;
  s.mtimeNs = static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
  return s;
}

// Whether the stamp, taken just now, could repeat after another write.
bool IsRacy(const Stamp& stamp) {
  if (stamp.error != 0) return false;
  timespec now{};
  ::clock_gettime(CLOCK_REALTIME, &now);
  const long long nowNs = static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
  return nowNs - stamp.mtimeNs < kRacyWindowNs;
}

// Reads a whole file of at most kMaxStoreBytes; errno-style code on failure.
int ReadStoreText(const std::string& path, std::string& text) {
  text.clear();
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno;
  int err = 0;
  char buf[65536];
  for (;;) {
    const ssize_t r = ::read(fd, buf, sizeof buf);
    if (r < 0) {
      if (errno == EINTR) continue;
      err = errno;
      break;
    }
    if (r == 0) break;
    text.append(buf, static_cast<size_t>(r));
    if (text.size() > kMaxStoreBytes) {
      err = EFBIG;
      break;
    }
  }
  ::close(fd);
  return err;
}

// ---- text form ----------------------------------------------------------------

void Escape(std::string& out, std::string_view bytes) {
  static const char* hex = "0123456789abcdef";
  for (const char ch : bytes) {
    const auto b = static_cast<unsigned char>(ch);
    if (b < 0x20 || b > 0x7e || b == '%' || b == '"' || b == '[' || b == ']' || b == '\\') {
      out += '%';
      out += hex[b >> 4];
      out += hex[b & 15];
    } else {
      out += ch;
    }
  }
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool Unescape(std::string_view in, std::string& out) {
  out.clear();
  for (size_t i = 0; i < in.size(); ++i) {
    if (in[i] != '%') {
      out += in[i];
      continue;
    }
    if (i + 2 >= in.size()) return false;
    const int hi = HexDigit(in[i + 1]);
    const int lo = HexDigit(in[i + 2]);
    if (hi < 0 || lo < 0) return false;
    out += static_cast<char>(hi * 16 + lo);
    i += 2;
  }
  return true;
}

void WriteHex(std::string& out, std::string_view bytes) {
  static const char* hex = "0123456789abcdef";
  for (const char ch : bytes) {
    const auto b = static_cast<unsigned char>(ch);
    out += hex[b >> 4];
    out += hex[b & 15];
  }
}

bool ReadHex(std::string_view in, std::string& out) {
  if (in.size() % 2) return false;
  out.clear();
  out.reserve(in.size() / 2);
  for (size_t i = 0; i < in.size(); i += 2) {
    const int hi = HexDigit(in[i]), lo = HexDigit(in[i + 1]);
    if (hi < 0 || lo < 0) return false;
    out += static_cast<char>(hi * 16 + lo);
  }
  return true;
}

void WriteValue(std::string& out, const Value& v) {
  if (v.name.empty()) {
    out += '@';
  } else {
    out += '"';
    Escape(out, v.name);
    out += '"';
  }
  out += '=';
  if (v.type == REG_SZ || v.type == REG_EXPAND_SZ) {
    out += v.type == REG_SZ ? "sz:\"" : "expand_sz:\"";
    Escape(out, v.data);
    out += '"';
  } else if (v.type == REG_DWORD && v.data.size() == 4) {
    DWORD d;
    std::memcpy(&d, v.data.data(), 4);
    char buf[16];
    std::snprintf(buf, sizeof buf, "dword:%08x", d);
    out += buf;
  } else if (v.type == REG_BINARY) {
    out += "hex:";
    WriteHex(out, v.data);
  } else {
    out += "hex(" + std::to_string(v.type) + "):";
    WriteHex(out, v.data);
  }
  out += '\n';
}

void WriteKey(std::string& out, const std::string& path, const Key& key, bool isRoot) {
  if (!isRoot || !key.values.empty()) {
    out += '[';
    out += path;
    out += "]\n";
    for (const Value& v : key.values) WriteValue(out, v);
  }
  for (const auto& [folded, child] : key.children) {
    std::string childPath = path + "\\";
    Escape(childPath, child->name);
    WriteKey(out, childPath, *child, false);
  }
}

std::string Serialize(const Key (&roots)[kRootCount]) {
  std::string out =
      "; Quillmere settings: the registry of the current user. The program rewrites this file\n"
      "; at every change; list it with \"qmreg dump\". Names and texts are bytes of the program's\n"
      "; code page (Windows-1251 or -1252); %HH stands for one byte.\n";
  out += kSignature;
  out += '\n';
  for (int r = 0; r < kRootCount; ++r) WriteKey(out, kRootNames[r], roots[r], true);
  return out;
}

struct ParseError {
  int line;
  std::string reason;
};

bool ParseValueLine(std::string_view line, Key& key, std::string& reason) {
  Value v;
  size_t pos = 0;
  if (line[0] == '@') {
    pos = 1;
  } else {
    const size_t close = line.find('"', 1);
    if (close == std::string_view::npos) {
      reason = "unterminated value name";
      return false;
    }
    if (!Unescape(line.substr(1, close - 1), v.name) || v.name.empty()) {
      reason = "bad value name";
      return false;
    }
    pos = close + 1;
  }
  if (pos >= line.size() || line[pos] != '=') {
    reason = "'=' expected after the value name";
    return false;
  }
  const std::string_view rest = line.substr(pos + 1);
  const size_t colon = rest.find(':');
  if (colon == std::string_view::npos) {
    reason = "value type expected";
    return false;
  }
  const std::string_view type = rest.substr(0, colon);
  const std::string_view payload = rest.substr(colon + 1);
  if (type == "sz" || type == "expand_sz") {
    v.type = type == "sz" ? REG_SZ : REG_EXPAND_SZ;
    if (payload.size() < 2 || payload.front() != '"' || payload.back() != '"' ||
        payload.substr(1, payload.size() - 2).find('"') != std::string_view::npos ||
        !Unescape(payload.substr(1, payload.size() - 2), v.data)) {
      reason = "bad text value";
      return false;
    }
  } else if (type == "dword") {
    std::string bytes;
    if (payload.size() != 8 || !ReadHex(payload, bytes)) {
      reason = "bad dword value";
      return false;
    }
    const DWORD d = (static_cast<DWORD>(static_cast<unsigned char>(bytes[0])) << 24) |
                    (static_cast<DWORD>(static_cast<unsigned char>(bytes[1])) << 16) |
                    (static_cast<DWORD>(static_cast<unsigned char>(bytes[2])) << 8) |
                    static_cast<DWORD>(static_cast<unsigned char>(bytes[3]));
    v.type = REG_DWORD;
    v.data.assign(reinterpret_cast<const char*>(&d), 4);
  } else if (type == "hex" || (type.size() > 5 && type.substr(0, 4) == "hex(" && type.back() == ')')) {
    if (type == "hex") {
      v.type = REG_BINARY;
    } else {
      const std::string_view num = type.substr(4, type.size() - 5);
      unsigned long long t = 0;
      if (num.empty() || num.size() > 10) {
        reason = "bad value type";
        return false;
      }
      for (const char c : num) {
        if (c < '0' || c > '9') {
          reason = "bad value type";
          return false;
        }
        t = t * 10 + static_cast<unsigned>(c - '0');
      }
      if (t > 0xFFFFFFFFull) {
        reason = "bad value type";
        return false;
      }
      v.type = static_cast<DWORD>(t);
    }
    if (!ReadHex(payload, v.data)) {
      reason = "bad hex bytes";
      return false;
    }
  } else {
    reason = "unknown value type";
    return false;
  }
  if (key.FindValue(v.name)) {
    reason = "value listed twice";
    return false;
  }
  key.values.push_back(std::move(v));
  return true;
}

bool Parse(const std::string& text, Key (&roots)[kRootCount], ParseError& error) {
  bool signature = false;
  Key* current = nullptr;
  size_t start = 0;
  int lineNo = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string_view line(text.data() + start, end - start);
    start = end + 1;
    ++lineNo;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || line[0] == ';') continue;
    if (!signature) {
      if (line != kSignature) {
        error = {lineNo, "the file does not start with \"" + std::string(kSignature) + "\""};
        return false;
      }
      signature = true;
      continue;
    }
    if (line[0] == '[') {
      if (line.back() != ']') {
        error = {lineNo, "unterminated key name"};
        return false;
      }
      const std::string_view path = line.substr(1, line.size() - 2);
      size_t sep = path.find('\\');
      const std::string_view rootName = path.substr(0, sep);
      int root = -1;
      for (int r = 0; r < kRootCount; ++r)
        if (rootName == kRootNames[r]) root = r;
      if (root < 0) {
        error = {lineNo, "unknown root key"};
        return false;
      }
      current = &roots[root];
      while (sep != std::string_view::npos) {
        const size_t next = path.find('\\', sep + 1);
        const std::string_view part = path.substr(sep + 1, next == std::string_view::npos ? next : next - sep - 1);
        std::string name;
        if (part.empty() || !Unescape(part, name) || name.size() > kMaxKeyNameLength ||
            name.find('\\') != std::string::npos) {
          error = {lineNo, "bad key name"};
          return false;
        }
        auto& slot = current->children[Fold(name)];
        if (!slot) {
          slot = std::make_unique<Key>();
          slot->name = name;
        }
        current = slot.get();
        sep = next;
      }
      continue;
    }
    if (line[0] == '"' || line[0] == '@') {
      if (!current) {
        error = {lineNo, "a value before the first key"};
        return false;
      }
      std::string reason;
      if (!ParseValueLine(line, *current, reason)) {
        error = {lineNo, reason};
        return false;
      }
      continue;
    }
    error = {lineNo, "unrecognised line"};
    return false;
  }
  if (!signature) {
    error = {lineNo, "the file is empty"};
    return false;
  }
  return true;
}

// ---- the store ------------------------------------------------------------------

class Store {
 public:
  std::mutex mutex;
  std::map<std::uintptr_t, OpenKey> handles;
  std::uintptr_t nextHandle = 0x100;
  int simulatedFailure = 0;
  bool holdingLock = false;  // a WriteSession holds the file lock

  // Brings the tree up to date with the file. Called under the mutex.
  // A changed stamp reloads the file. An unchanged one is trusted only when
  // the file was written well before it was looked at; otherwise, and
  // always for a change (`forWriting`, under the file lock), the file's
  // text is compared with the text the tree stands for, so a write made by
  // another process within one tick of the file's clock, whose stamp
  // repeats, is never missed and never written over.
  void Refresh(bool forWriting = false) {
    const std::string path = RegistryStorePath();
    const Stamp stamp = StampOf(path);
    const bool sameStamp = loaded_ && !stale_ && path == path_ && stamp == stamp_;
    if (sameStamp && !forWriting && !racy_) return;
    if (sameStamp) {
      std::string text;
      if (stamp.error != 0 || (textKnown_ && ReadStoreText(path, text) == 0 && text == text_)) {
        racy_ = IsRacy(stamp);
        return;
      }
    }
    Load(path, stamp);
  }

  bool Writable() const { return writable_; }
  Key& Root(int r) { return roots_[r]; }

  // Writes the tree; on failure the tree is reloaded from the file at the
  // next call, so the change is forgotten. Returns an error code.
  LONG Save() {
    const std::string dir = Folder(path_);
    static std::atomic<unsigned> counter{0};
    const std::string tmp = path_ + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
    const std::string text = Serialize(roots_);
    const int stage = simulatedFailure;
    simulatedFailure = 0;
    auto fail = [&](int err) -> LONG {
      stale_ = true;
      if (err) std::fprintf(stderr, "Quillmere: cannot write the settings store %s: %s\n", path_.c_str(),
                            std::strerror(err));
      if (err == ENOSPC || err == EDQUOT) return ERROR_DISK_FULL;
      if (err == EACCES || err == EPERM || err == EROFS) return ERROR_ACCESS_DENIED;
      return ERROR_WRITE_FAULT;
    };
    const int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) return fail(errno);
    const size_t toWrite = stage == 1 ? text.size() / 2 : text.size();
    size_t done = 0;
    while (done < toWrite) {
      const ssize_t w = ::write(fd, text.data() + done, toWrite - done);
      if (w < 0) {
        if (errno == EINTR) continue;
        const int err = errno;
        ::close(fd);
        ::unlink(tmp.c_str());
        return fail(err);
      }
      done += static_cast<size_t>(w);
    }
    if (stage == 1) {  // as if the program died here: the temporary file stays
      ::close(fd);
      return fail(0);
    }
    if (::fsync(fd) != 0 || ::close(fd) != 0) {
      const int err = errno;
      ::unlink(tmp.c_str());
      return fail(err);
    }
    if (stage == 2 || ::rename(tmp.c_str(), path_.c_str()) != 0) {
      const int err = stage == 2 ? EIO : errno;
      ::unlink(tmp.c_str());
      return fail(err);
    }
    text_ = text;
    textKnown_ = true;
    const int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
      ::fsync(dfd);
      ::close(dfd);
    }
    stamp_ = StampOf(path_);
    racy_ = IsRacy(stamp_);
    return ERROR_SUCCESS;
  }

  // The advisory lock over the store's folder for a read-modify-write; it
  // creates the folder. -1 and errno on failure.
  int LockForWriting() {
    const std::string path = RegistryStorePath();
    const std::string dir = Folder(path);
    MakeFolders(dir);
    const int fd = ::open((dir + "/registry.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return -1;
    while (::flock(fd, LOCK_EX) != 0) {
      if (errno != EINTR) {
        const int err = errno;
        ::close(fd);
        errno = err;
        return -1;
      }
    }
    return fd;
  }

  static std::string Folder(const std::string& path) { return path.substr(0, path.find_last_of('/')); }

 private:
  static void MakeFolders(const std::string& dir) {
    for (size_t pos = 1; pos != std::string::npos;) {
      pos = dir.find('/', pos + 1);
      ::mkdir(dir.substr(0, pos).c_str(), 0700);
    }
  }

  void Clear() {
    for (Key& r : roots_) {
      r.values.clear();
      r.children.clear();
    }
  }

  // Removes temporary files left by writers that died mid-write.
  void RemoveDeadTemporaries() {
    const std::string dir = Folder(path_);
    const std::string prefix = path_.substr(dir.size() + 1) + ".tmp-";
    DIR* d = ::opendir(dir.c_str());
    if (!d) return;
    while (const dirent* de = ::readdir(d)) {
      const std::string name = de->d_name;
      if (name.compare(0, prefix.size(), prefix) != 0) continue;
      const long pid = std::strtol(name.c_str() + prefix.size(), nullptr, 10);
      if (pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)
        ::unlink((dir + "/" + name).c_str());
    }
    ::closedir(d);
  }

  void Load(const std::string& path, const Stamp& stamp) {
    Clear();
    path_ = path;
    stamp_ = stamp;
    racy_ = IsRacy(stamp);
    loaded_ = true;
    stale_ = false;
    writable_ = true;
    text_.clear();
    textKnown_ = false;
    if (stamp.error == ENOENT || stamp.error == ENOTDIR) return;
    std::string text;
    int err = stamp.error;
    if (!err && static_cast<size_t>(stamp.size) > kMaxStoreBytes) err = EFBIG;
    if (!err) err = ReadStoreText(path, text);
    if (err) {
      if (err == ENOENT) return;  // removed between the look and the read
      std::fprintf(stderr,
                   "Quillmere: cannot read the settings store %s (%s); the settings start from their defaults "
                   "and the store will not be overwritten.\n",
                   path.c_str(), std::strerror(err));
      writable_ = false;
      return;
    }
    RemoveDeadTemporaries();
    ParseError error{0, ""};
    if (Parse(text, roots_, error)) {
      text_ = std::move(text);
      textKnown_ = true;
      return;
    }
    Clear();
    SetAside(path, stamp, error);
  }

  // Keeps a damaged store under another name so that nothing is lost.
  void SetAside(const std::string& path, const Stamp& stamp, const ParseError& error) {
    // flock locks of two descriptors conflict even inside one process.
    const int lock = holdingLock ? -1 : LockForWriting();
    // Another process may have replaced the file meanwhile: set aside only
    // the file that was read.
    const Stamp now = StampOf(path);
    if (!(now == stamp)) {
      if (lock >= 0) ::close(lock);
      stale_ = true;
      return;
    }
    char when[32];
    const time_t t = std::time(nullptr);
    std::tm tm{};
    ::localtime_r(&t, &tm);
    std::strftime(when, sizeof when, "%Y%m%d-%H%M%S", &tm);
    std::string aside = Folder(path) + "/registry.broken-" + when;
    struct stat st;
    for (int n = 2; ::lstat(aside.c_str(), &st) == 0; ++n)
      aside = Folder(path) + "/registry.broken-" + when + "-" + std::to_string(n);
    if (::rename(path.c_str(), aside.c_str()) == 0) {
      std::fprintf(stderr,
                   "Quillmere: the settings store %s is damaged (line %d: %s); it was kept as %s and the "
                   "settings start from their defaults.\n",
                   path.c_str(), error.line, error.reason.c_str(), aside.c_str());
      stamp_ = StampOf(path);
    } else {
      std::fprintf(stderr,
                   "Quillmere: the settings store %s is damaged (line %d: %s) and cannot be set aside (%s); the "
                   "settings start from their defaults and the store will not be overwritten.\n",
                   path.c_str(), error.line, error.reason.c_str(), std::strerror(errno));
      writable_ = false;
    }
    if (lock >= 0) ::close(lock);
  }

  Key roots_[kRootCount];
  std::string path_;
  Stamp stamp_;
  bool racy_ = false;       // the stamp may repeat after another write
  std::string text_;        // the file's text the tree stands for
  bool textKnown_ = false;
  bool loaded_ = false;
  bool stale_ = false;
  bool writable_ = true;
};

Store& TheStore() {
  static Store* store = new Store;  // lives to the very end
  return *store;
}

int RootIndex(HKEY key) {
  const auto v = reinterpret_cast<std::uintptr_t>(key);
  if (v >= 0x80000000u && v < 0x80000000u + kRootCount) return static_cast<int>(v - 0x80000000u);
  return -1;
}

// A handle's open key: root, path and access. False for unknown handles.
bool Resolve(Store& s, HKEY key, OpenKey& out) {
  const int root = RootIndex(key);
  if (root >= 0) {
    out = OpenKey{root, {}, KEY_ALL_ACCESS};
    return true;
  }
  const auto it = s.handles.find(reinterpret_cast<std::uintptr_t>(key));
  if (it == s.handles.end()) return false;
  out = it->second;
  return true;
}

Key* Walk(Store& s, const OpenKey& k) {
  Key* node = &s.Root(k.root);
  for (const std::string& part : k.path) {
    node = node->Child(part);
    if (!node) return nullptr;
  }
  return node;
}

// Splits a sub-key path on backslashes; empty parts are skipped.
bool SplitSubKey(LPCTSTR subKey, std::vector<std::string>& parts) {
  parts.clear();
  if (!subKey) return true;
  std::string_view s(subKey);
  size_t start = 0;
  while (start <= s.size()) {
    size_t end = s.find('\\', start);
    if (end == std::string_view::npos) end = s.size();
    if (end > start) {
      if (end - start > kMaxKeyNameLength) return false;
      parts.emplace_back(s.substr(start, end - start));
    }
    start = end + 1;
  }
  return true;
}

// Looks up the key of a handle for reading; sets err when it cannot.
Key* KeyForAccess(Store& s, HKEY key, REGSAM need, LONG& err) {
  OpenKey k;
  if (!Resolve(s, key, k)) {
    err = ERROR_INVALID_HANDLE;
    return nullptr;
  }
  if ((k.access & need) != need) {
    err = ERROR_ACCESS_DENIED;
    return nullptr;
  }
  Key* node = Walk(s, k);
  if (!node) err = ERROR_KEY_DELETED;
  return node;
}

HKEY NewHandle(Store& s, OpenKey k) {
  const std::uintptr_t id = s.nextHandle;
  s.nextHandle += 4;
  s.handles.emplace(id, std::move(k));
  return reinterpret_cast<HKEY>(id);
}

// A held write lock: the file lock and the mutex.
class WriteSession {
 public:
  explicit WriteSession(Store& s) : store_(s), lock_(s.mutex) {
    fd_ = s.LockForWriting();
    error_ = fd_ < 0 ? errno : 0;
    s.holdingLock = fd_ >= 0;
    s.Refresh(true);
  }
  ~WriteSession() {
    store_.holdingLock = false;
    if (fd_ >= 0) ::close(fd_);
  }
  // ERROR_SUCCESS when the store may be changed.
  LONG Check() const {
    if (error_ != 0) {
      std::fprintf(stderr, "Quillmere: cannot lock the settings store %s: %s\n", RegistryStorePath().c_str(),
                   std::strerror(error_));
      return ERROR_ACCESS_DENIED;
    }
    return store_.Writable() ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
  }

 private:
  Store& store_;
  std::lock_guard<std::mutex> lock_;
  int fd_ = -1;
  int error_ = 0;
};

LONG CopyName(const std::string& name, LPTSTR out, LPDWORD size) {
  if (!out || !size) return ERROR_INVALID_PARAMETER;
  if (*size <= name.size()) return ERROR_MORE_DATA;
  std::memcpy(out, name.data(), name.size());
  out[name.size()] = '\0';
  *size = static_cast<DWORD>(name.size());
  return ERROR_SUCCESS;
}

// Fills data/dataSize from a value the way RegQueryValueEx does.
LONG CopyData(const Value& v, LPBYTE data, LPDWORD dataSize) {
  if (data && !dataSize) return ERROR_INVALID_PARAMETER;
  if (!dataSize) return ERROR_SUCCESS;
  const auto size = static_cast<DWORD>(v.data.size());
  if (!data) {
    *dataSize = size;
    return ERROR_SUCCESS;
  }
  if (*dataSize < size) {
    *dataSize = size;
    return ERROR_MORE_DATA;
  }
  std::memcpy(data, v.data.data(), size);
  const bool text = v.type == REG_SZ || v.type == REG_EXPAND_SZ;
  if (text && *dataSize > size && (size == 0 || v.data.back() != '\0')) data[size] = 0;
  *dataSize = size;
  return ERROR_SUCCESS;
}

}  // namespace

std::string RegistryStorePath() {
  std::string base;
  if (const char* c = std::getenv("XDG_CONFIG_HOME"); c && *c == '/') {
    base = c;
  } else {
    const char* home = std::getenv("HOME");
    if (home && *home) base = home;
    else if (const passwd* pw = ::getpwuid(::getuid())) base = pw->pw_dir;
    else base = "/";
    base += "/.config";
  }
  while (base.size() > 1 && base.back() == '/') base.pop_back();
  return base + "/Quillmere/registry.txt";
}

void RegSimulateStoreWriteFailure(int stage) {
  Store& s = TheStore();
  std::lock_guard<std::mutex> lock(s.mutex);
  s.simulatedFailure = stage;
}

LONG RegCreateKeyEx(HKEY key, LPCTSTR subKey, DWORD reserved, LPTSTR keyClass, DWORD options, REGSAM desired,
                    LPSECURITY_ATTRIBUTES security, PHKEY result, LPDWORD disposition) {
  if (!result) return ERROR_INVALID_PARAMETER;
  *result = nullptr;
  if (options & REG_OPTION_VOLATILE) return ERROR_NOT_SUPPORTED;
  std::vector<std::string> parts;
  if (!SplitSubKey(subKey, parts)) return ERROR_INVALID_PARAMETER;
  Store& s = TheStore();
  WriteSession session(s);
  OpenKey parent;
  if (!Resolve(s, key, parent)) return ERROR_INVALID_HANDLE;
  Key* node = Walk(s, parent);
  if (!node) return ERROR_KEY_DELETED;
  OpenKey opened{parent.root, parent.path, desired & ~(KEY_WOW64_32KEY | KEY_WOW64_64KEY)};
  bool created = false;
  for (const std::string& part : parts) {
    Key* child = node->Child(part);
    if (!child) {
      if (!created) {
        if (const LONG e = session.Check(); e != ERROR_SUCCESS) return e;
        if (RootIndex(key) < 0 && !(parent.access & KEY_CREATE_SUB_KEY)) return ERROR_ACCESS_DENIED;
      }
      auto fresh = std::make_unique<Key>();
      fresh->name = part;
      child = fresh.get();
      node->children.emplace(Fold(part), std::move(fresh));
      created = true;
    }
    node = child;
    opened.path.push_back(Fold(part));
  }
  if (created) {
    if (const LONG e = s.Save(); e != ERROR_SUCCESS) return e;
  }
  if (disposition) *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
  *result = NewHandle(s, std::move(opened));
  return ERROR_SUCCESS;
}

LONG RegOpenKeyEx(HKEY key, LPCTSTR subKey, DWORD options, REGSAM desired, PHKEY result) {
  if (!result) return ERROR_INVALID_PARAMETER;
  *result = nullptr;
  std::vector<std::string> parts;
  if (!SplitSubKey(subKey, parts)) return ERROR_INVALID_PARAMETER;
  Store& s = TheStore();
  std::lock_guard<std::mutex> lock(s.mutex);
  s.Refresh();
  OpenKey parent;
  if (!Resolve(s, key, parent)) return ERROR_INVALID_HANDLE;
  Key* node = Walk(s, parent);
  if (!node) return ERROR_KEY_DELETED;
  OpenKey opened{parent.root, parent.path, desired & ~(KEY_WOW64_32KEY | KEY_WOW64_64KEY)};
  for (const std::string& part : parts) {
    node = node->Child(part);
    if (!node) return ERROR_FILE_NOT_FOUND;
    opened.path.push_back(Fold(part));
  }
  *result = NewHandle(s, std::move(opened));
  return ERROR_SUCCESS;
}

LONG RegCloseKey(HKEY key) {
  if (RootIndex(key) >= 0) return ERROR_SUCCESS;
  Store& s = TheStore();
  std::lock_guard<std::mutex> lock(s.mutex);
  return s.handles.erase(reinterpret_cast<std::uintptr_t>(key)) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

LONG RegQueryValueEx(HKEY key, LPCTSTR valueName, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD dataSize) {
  Store& s = TheStore();
  std::lock_guard<std::mutex> lock(s.mutex);
  s.Refresh();
  LONG err = ERROR_SUCCESS;
  Key* node = KeyForAccess(s, key, KEY_QUERY_VALUE, err);
  if (!node) return err;
  if (data && !dataSize) return ERROR_INVALID_PARAMETER;
  const Value* v = node->FindValue(valueName ? valueName : "");
  if (!v) return ERROR_FILE_NOT_FOUND;
  if (type) *type = v->type;
  return CopyData(*v, data, dataSize);
}

LONG RegSetValueEx(HKEY key, LPCTSTR valueName, DWORD reserved, DWORD type, const BYTE* data, DWORD dataSize) {
  if (!data && dataSize) return ERROR_INVALID_PARAMETER;
  const std::string name = valueName ? valueName : "";
  if (name.size() > kMaxValueNameLength) return ERROR_INVALID_PARAMETER;
  Store& s = TheStore();
  WriteSession session(s);
  LONG err = ERROR_SUCCESS;
  Key* node = KeyForAccess(s, key, KEY_SET_VALUE, err);
  if (!node) return err;
  const std::string bytes(reinterpret_cast<const char*>(data), data ? dataSize : 0);
  Value* v = node->FindValue(name);
  if (v && v->type == type && v->data == bytes) return ERROR_SUCCESS;
  if (const LONG e = session.Check(); e != ERROR_SUCCESS) return e;
  if (v) {
    v->type = type;
    v->data = bytes;
  } else {
    node->values.push_back(Value{name, type, bytes});
  }
  return s.Save();
}

LONG RegDeleteValue(HKEY key, LPCTSTR valueName) {
  Store& s = TheStore();
  WriteSession session(s);
  LONG err = ERROR_SUCCESS;
  Key* node = KeyForAccess(s, key, KEY_SET_VALUE, err);
  if (!node) return err;
  const std::string folded = Fold(valueName ? valueName : "");
  for (auto it = node->values.begin(); it != node->values.end(); ++it) {
    if (Fold(it->name) != folded) continue;
    if (const LONG e = session.Check(); e != ERROR_SUCCESS) return e;
    node->values.erase(it);
    return s.Save();
  }
  return ERROR_FILE_NOT_FOUND;
}

namespace {
LONG DeleteKeyImpl(HKEY key, LPCTSTR subKey, bool tree) {
  std::vector<std::string> parts;
  if (!SplitSubKey(subKey, parts)) return ERROR_INVALID_PARAMETER;
  if (parts.empty() && !tree) return ERROR_INVALID_PARAMETER;
  Store& s = TheStore();
  WriteSession session(s);
  OpenKey k;
  if (!Resolve(s, key, k)) return ERROR_INVALID_HANDLE;
  Key* parent = Walk(s, k);
  if (!parent) return ERROR_KEY_DELETED;
  if (parts.empty()) {  // the whole content of the key itself
    if (parent->children.empty() && parent->values.empty()) return ERROR_SUCCESS;
    if (const LONG e = session.Check(); e != ERROR_SUCCESS) return e;
    parent->children.clear();
    parent->values.clear();
    return s.Save();
  }
  for (size_t i = 0; i + 1 < parts.size(); ++i) {
    parent = parent->Child(parts[i]);
    if (!parent) return ERROR_FILE_NOT_FOUND;
  }
  const auto it = parent->children.find(Fold(parts.back()));
  if (it == parent->children.end()) return ERROR_FILE_NOT_FOUND;
  if (!tree && !it->second->children.empty()) return ERROR_ACCESS_DENIED;
  if (const LONG e = session.Check(); e != ERROR_SUCCESS) return e;
  parent->children.erase(it);
  return s.Save();
}
}  // namespace

LONG RegDeleteKey(HKEY key, LPCTSTR subKey) { return DeleteKeyImpl(key, subKey, false); }
LONG RegDeleteTree(HKEY key, LPCTSTR subKey) { return DeleteKeyImpl(key, subKey, true); }

LONG RegEnumKeyEx(HKEY key, DWORD index, LPTSTR name, LPDWORD nameSize, LPDWORD reserved, LPTSTR keyClass,
                  LPDWORD classSize, FILETIME* lastWriteTime) {
  Store& s = TheStore();
  std::lock_guard<std::mutex> lock(s.mutex);
  s.Refresh();
  LONG err = ERROR_SUCCESS;
  Key* node = KeyForAccess(s, key, KEY_ENUMERATE_SUB_KEYS, err);
  if (!node) return err;
  if (index >= node->children.size()) return ERROR_NO_MORE_ITEMS;
  auto it = node->children.begin();
  std::advance(it, index);
  if (const LONG e = CopyName(it->second->name, name, nameSize); e != ERROR_SUCCESS) return e;
  if (keyClass && classSize && *classSize > 0) keyClass[0] = '\0';
  if (classSize) *classSize = 0;
  if (lastWriteTime) *lastWriteTime = FILETIME{0, 0};
  return ERROR_SUCCESS;
}

LONG RegEnumValue(HKEY key, DWORD index, LPTSTR valueName, LPDWORD valueNameSize, LPDWORD reserved, LPDWORD type,
                  LPBYTE data, LPDWORD dataSize) {
  Store& s = TheStore();
  std::lock_guard<std::mutex> lock(s.mutex);
  s.Refresh();
  LONG err = ERROR_SUCCESS;
  Key* node = KeyForAccess(s, key, KEY_QUERY_VALUE, err);
  if (!node) return err;
  if (index >= node->values.size()) return ERROR_NO_MORE_ITEMS;
  const Value& v = node->values[index];
  if (const LONG e = CopyName(v.name, valueName, valueNameSize); e != ERROR_SUCCESS) return e;
  if (type) *type = v.type;
  return CopyData(v, data, dataSize);
}
