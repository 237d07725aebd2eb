#include "platform/base/resource.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <optional>

#include "platform/base/codepage.h"

namespace {

struct Entry {
  WORD type = 0;
  WORD id = 0;
  std::string name;  // as stored
  std::string key;   // upper-case name, for lookups and ordering
  const BYTE* data = nullptr;
  DWORD size = 0;
};

struct Pack {
  std::string path;  // canonical, UTF-8
  int refs = 1;
  UINT codePage = 0;
  LANGID language = 0;
  std::vector<BYTE> bytes;
  std::vector<Entry> entries;  // ordered by (type, id, key)
  std::map<UINT, QmMenuTemplate> menus;
  std::map<UINT, QmDialogTemplate> dialogs;
  std::map<UINT, QmDialogTemplate> compactDialogs;
  std::map<UINT, QmAcceleratorTable> accelerators;
  std::map<UINT, QmToolbarTemplate> toolbars;
};

std::mutex g_mutex;
std::vector<std::unique_ptr<Pack>> g_packs;
std::atomic<HINSTANCE> g_resourceHandle{nullptr};

std::string UpperAscii(std::string_view s) {
  std::string r(s);
  for (char& c : r)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return r;
}

bool EntryLess(const Entry& a, const Entry& b) {
  if (a.type != b.type) return a.type < b.type;
  if (a.id != b.id) return a.id < b.id;
  return a.key < b.key;
}

// The open pack behind a handle, or null (with ERROR_INVALID_HANDLE).
Pack* FindPack(HINSTANCE module) {
  if (module) {
    std::lock_guard<std::mutex> lock(g_mutex);
    for (auto& p : g_packs)
      if (reinterpret_cast<HINSTANCE>(p.get()) == module) return p.get();
  }
  SetLastError(ERROR_INVALID_HANDLE);
  return nullptr;
}

// A bounds-checked little-endian reader; any read past the end sets !ok and
// yields zeros.
class Reader {
 public:
  Reader(const BYTE* data, size_t size) : p_(data), n_(size) {}
  bool ok() const { return ok_; }
  bool AtEnd() const { return pos_ == n_; }
  size_t pos() const { return pos_; }
  size_t left() const { return n_ - pos_; }
  void Seek(size_t pos) {
    if (pos > n_) ok_ = false; else pos_ = pos;
  }
  BYTE U8() {
    if (!Need(1)) return 0;
    return p_[pos_++];
  }
  WORD U16() {
    if (!Need(2)) return 0;
    const WORD v = static_cast<WORD>(p_[pos_] | (p_[pos_ + 1] << 8));
    pos_ += 2;
    return v;
  }
  DWORD U32() {
    if (!Need(4)) return 0;
    const DWORD v = static_cast<DWORD>(p_[pos_]) | (static_cast<DWORD>(p_[pos_ + 1]) << 8) |
                    (static_cast<DWORD>(p_[pos_ + 2]) << 16) | (static_cast<DWORD>(p_[pos_ + 3]) << 24);
    pos_ += 4;
    return v;
  }
  SHORT I16() { return static_cast<SHORT>(U16()); }
  std::int32_t I32() { return static_cast<std::int32_t>(U32()); }
  // u16 byte count + bytes without NUL.
  bool Str(CString& out) {
    const WORD len = U16();
    if (!Need(len)) return false;
    const char* s = reinterpret_cast<const char*>(p_ + pos_);
    if (std::memchr(s, 0, len)) return ok_ = false;
    out = CString(std::string(s, len));
    pos_ += len;
    return true;
  }
  // NUL-terminated UTF-16.
  bool WStr(std::u16string& out) {
    out.clear();
    for (;;) {
      const WORD c = U16();
      if (!ok_) return false;
      if (c == 0) return true;
      out.push_back(static_cast<char16_t>(c));
    }
  }

 private:
  bool Need(size_t k) {
    if (!ok_ || k > n_ - pos_) {
      ok_ = false;
      return false;
    }
    return true;
  }
  const BYTE* p_;
  size_t n_;
  size_t pos_ = 0;
  bool ok_ = true;
};

constexpr int kMaxMenuDepth = 16;
constexpr UINT kKnownMenuFlags = MF_GRAYED | MF_DISABLED | MF_BITMAP | MF_CHECKED | MF_POPUP | MF_MENUBARBREAK |
                                 MF_MENUBREAK | MF_END | MF_OWNERDRAW | MF_SEPARATOR | MF_HELP;

// Reads the items of one menu level up to its MF_END item.
bool ParseMenuLevel(Reader& r, UINT codePage, int depth, std::vector<QmMenuItem>& out) {
  if (depth > kMaxMenuDepth) return false;
  for (;;) {
    QmMenuItem item;
    const WORD flags = r.U16();
    if (!r.ok() || (flags & ~kKnownMenuFlags) != 0) return false;
    if (!(flags & MF_POPUP)) item.id = r.U16();
    std::u16string text;
    if (!r.WStr(text)) return false;
    item.text = CString(QmUtf16ToCodePage(text, codePage));
    item.flags = flags & ~MF_END;
    if (flags & MF_POPUP) {
      if (!ParseMenuLevel(r, codePage, depth + 1, item.items)) return false;
    }
    out.push_back(std::move(item));
    if (flags & MF_END) return true;
  }
}

bool ParseMenu(const Entry& e, UINT codePage, QmMenuTemplate& out) {
  Reader r(e.data, e.size);
  const WORD version = r.U16();
  const WORD offset = r.U16();
  if (!r.ok() || version != 0) return false;
  r.Seek(4 + static_cast<size_t>(offset));
  out.id = e.id;
  if (!r.ok() || !ParseMenuLevel(r, codePage, 0, out.items)) return false;
  return r.AtEnd();
}

bool ParseDialog(const Entry& e, QmDialogTemplate& out) {
  Reader r(e.data, e.size);
  if (r.U16() != qmpack::kDialogLayoutVersion) return false;
  const WORD flags = r.U16();
  out.id = e.id;
  out.compact = (flags & 1) != 0;
  if ((flags & ~1u) != 0 || out.compact != (e.type == qmres::kDialogCompact)) return false;
  out.style = r.U32();
  out.exStyle = r.U32();
  out.x = r.I16();
  out.y = r.I16();
  out.cx = r.I16();
  out.cy = r.I16();
  out.fontSize = r.U16();
  out.fontWeight = r.U16();
  const BYTE italic = r.U8();
  out.fontItalic = italic != 0;
  out.fontCharset = r.U8();
  if (italic > 1 || !r.Str(out.caption) || !r.Str(out.fontFace)) return false;
  const WORD count = r.U16();
  // Each control takes at least 29 bytes: refuse a count the data cannot hold.
  if (!r.ok() || static_cast<size_t>(count) * 29 > r.left()) return false;
  out.controls.resize(count);
  for (QmDialogControl& c : out.controls) {
    const WORD kind = r.U16();
    if (kind > static_cast<WORD>(QmControlKind::Last)) return false;
    c.kind = static_cast<QmControlKind>(kind);
    c.id = r.I32();
    if (c.id < -1 || c.id > 0xFFFF) return false;
    c.style = r.U32();
    c.exStyle = r.U32();
    c.x = r.I16();
    c.y = r.I16();
    c.cx = r.I16();
    c.cy = r.I16();
    c.imageId = r.U16();
    if (!r.Str(c.className) || !r.Str(c.text) || c.className.IsEmpty()) return false;
  }
  return r.ok() && r.AtEnd();
}

bool ParseAccelerators(const Entry& e, QmAcceleratorTable& out) {
  if (e.size == 0 || e.size % 8 != 0) return false;
  Reader r(e.data, e.size);
  out.id = e.id;
  const size_t n = e.size / 8;
  for (size_t i = 0; i < n; ++i) {
    const WORD flags = r.U16();
    ACCEL a{};
    a.key = r.U16();
    a.cmd = r.U16();
    r.U16();
    const bool last = (flags & 0x80) != 0;
    if (last != (i + 1 == n) || (flags & ~0x9Fu) != 0) return false;
    a.fVirt = static_cast<BYTE>(flags & 0x1F);
    out.entries.push_back(a);
  }
  return r.ok();
}

bool ParseToolbar(const Entry& e, QmToolbarTemplate& out) {
  Reader r(e.data, e.size);
  if (r.U16() != qmpack::kToolbarVersion) return false;
  out.id = e.id;
  out.width = r.U16();
  out.height = r.U16();
  const WORD count = r.U16();
  if (!r.ok() || static_cast<size_t>(count) * 2 != r.left()) return false;
  for (WORD i = 0; i < count; ++i) out.items.push_back(r.U16());
  return r.ok();
}

bool ValidName(std::string_view s) {
  if (s.empty() || s.size() > 255) return false;
  for (char c : s)
    if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_')) return false;
  return true;
}

// Checks and indexes a pack read into memory; false when anything is wrong.
bool ParsePack(Pack& pack) {
  const std::vector<BYTE>& b = pack.bytes;
  if (b.size() < qmpack::kHeaderSize) return false;
  if (std::memcmp(b.data(), qmpack::kMagic, sizeof qmpack::kMagic) != 0) return false;
  Reader h(b.data(), b.size());
  h.Seek(8);
  const WORD version = h.U16();
  const WORD headerSize = h.U16();
  const DWORD codePage = h.U32();
  const WORD language = h.U16();
  const WORD reserved1 = h.U16();
  const DWORD count = h.U32();
  const DWORD dirOffset = h.U32();
  const DWORD fileSize = h.U32();
  const DWORD crc = h.U32();
  const DWORD reserved2 = h.U32();
  if (!h.ok() || reserved1 != 0 || reserved2 != 0 || version != qmpack::kVersion || headerSize < qmpack::kHeaderSize || headerSize > b.size()) return false;
  if (fileSize != b.size() || (codePage != 1251 && codePage != 1252)) return false;
  if (qmpack::Crc32(b.data() + qmpack::kHeaderSize, b.size() - qmpack::kHeaderSize) != crc) return false;
  const std::uint64_t dirEnd = static_cast<std::uint64_t>(dirOffset) + static_cast<std::uint64_t>(count) * qmpack::kEntrySize;
  if (dirOffset < headerSize || dirEnd > b.size()) return false;
  pack.codePage = codePage;
  pack.language = language;

  Reader d(b.data(), b.size());
  d.Seek(dirOffset);
  pack.entries.reserve(count);
  for (DWORD i = 0; i < count; ++i) {
    const DWORD type = d.U32();
    const DWORD id = d.U32();
    const DWORD nameOffset = d.U32();
    const DWORD nameLength = d.U32();
    const DWORD dataOffset = d.U32();
    const DWORD dataSize = d.U32();
    if (!d.ok() || type == 0 || type > 0xFFFF || id > 0xFFFF) return false;
    // Icons and cursors are stored whole under their group types.
    if (type == qmres::kIcon || type == qmres::kCursor) return false;
    if (static_cast<std::uint64_t>(dataOffset) + dataSize > b.size() || dataOffset < headerSize) return false;
    Entry e;
    e.type = static_cast<WORD>(type);
    e.id = static_cast<WORD>(id);
    if (nameLength != 0) {
      if (id != 0 || e.type == qmres::kString) return false;
      if (nameOffset < headerSize || static_cast<std::uint64_t>(nameOffset) + nameLength > b.size()) return false;
      e.name.assign(reinterpret_cast<const char*>(b.data()) + nameOffset, nameLength);
      if (!ValidName(e.name)) return false;
      e.key = UpperAscii(e.name);
    } else if (id == 0 && e.type != qmres::kString) {
      return false;
    }
    e.data = b.data() + dataOffset;
    e.size = dataSize;
    if (!pack.entries.empty() && !EntryLess(pack.entries.back(), e)) return false;
    pack.entries.push_back(std::move(e));
  }

  for (const Entry& e : pack.entries) {
    if (!e.name.empty()) {
      // Named resources are kept as raw bytes only; structured kinds must be
      // numbered.
      if (e.type == qmres::kMenu || e.type == qmres::kDialog || e.type == qmres::kDialogCompact ||
          e.type == qmres::kAccelerator || e.type == qmres::kToolbar)
        return false;
      continue;
    }
    switch (e.type) {
      case qmres::kString:
        if (std::memchr(e.data, 0, e.size)) return false;
        break;
      case qmres::kMenu:
        if (!ParseMenu(e, pack.codePage, pack.menus[e.id])) return false;
        break;
      case qmres::kDialog:
        if (!ParseDialog(e, pack.dialogs[e.id])) return false;
        break;
      case qmres::kDialogCompact:
        if (!ParseDialog(e, pack.compactDialogs[e.id])) return false;
        break;
      case qmres::kAccelerator:
        if (!ParseAccelerators(e, pack.accelerators[e.id])) return false;
        break;
      case qmres::kToolbar:
        if (!ParseToolbar(e, pack.toolbars[e.id])) return false;
        break;
      default:
        break;
    }
  }
  return true;
}

// Resource name or type argument: a number or an upper-cased name.
struct ResName {
  bool numeric = true;
  WORD id = 0;
  std::string key;
};
std::optional<ResName> ParseResName(LPCTSTR s) {
  ResName r;
  if (IS_INTRESOURCE(s)) {  // MAKEINTRESOURCE(0) is null: string 0 only
    r.id = static_cast<WORD>(reinterpret_cast<std::uintptr_t>(s));
    return r;
  }
  std::string_view v(s);
  if (!v.empty() && v[0] == '#') {
    unsigned long n = 0;
    if (v.size() < 2 || v.size() > 6) return std::nullopt;
    for (char c : v.substr(1)) {
      if (c < '0' || c > '9') return std::nullopt;
      n = n * 10 + static_cast<unsigned long>(c - '0');
    }
    if (n > 0xFFFF) return std::nullopt;
    r.id = static_cast<WORD>(n);
    return r;
  }
  r.numeric = false;
  r.key = UpperAscii(v);
  return r;
}

const Entry* FindEntry(const Pack& pack, WORD type, const ResName& name) {
  auto first = std::lower_bound(pack.entries.begin(), pack.entries.end(), type,
                                [](const Entry& e, WORD t) { return e.type < t; });
  if (first == pack.entries.end() || first->type != type) {
    SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
    return nullptr;
  }
  for (auto it = first; it != pack.entries.end() && it->type == type; ++it) {
    if (name.numeric ? (it->name.empty() && it->id == name.id) : (!it->name.empty() && it->key == name.key))
      return &*it;
  }
  SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
  return nullptr;
}

const Entry* FindEntry(HMODULE module, LPCTSTR name, LPCTSTR type) {
  Pack* pack = FindPack(module);
  if (!pack) return nullptr;
  const std::optional<ResName> n = ParseResName(name);
  const std::optional<ResName> t = ParseResName(type);
  if (!t || !t->numeric) {
    SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
    return nullptr;
  }
  if (!n) {
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return nullptr;
  }
  WORD typeId = t->id;
  if (typeId == qmres::kIcon) typeId = qmres::kGroupIcon;
  if (typeId == qmres::kCursor) typeId = qmres::kGroupCursor;
  return FindEntry(*pack, typeId, *n);
}

// The entry behind a resource handle of a module, or null.
const Entry* EntryOf(Pack* pack, HRSRC resource) {
  if (!pack || !resource || pack->entries.empty()) return nullptr;
  const std::uintptr_t p = reinterpret_cast<std::uintptr_t>(resource);
  const std::uintptr_t first = reinterpret_cast<std::uintptr_t>(pack->entries.data());
  const std::uintptr_t end = first + pack->entries.size() * sizeof(Entry);
  if (p < first || p >= end || (p - first) % sizeof(Entry) != 0) return nullptr;
  return reinterpret_cast<const Entry*>(resource);
}

template <class Map>
const typename Map::mapped_type* FindParsed(HINSTANCE module, Map Pack::*member, UINT id, WORD type) {
  Pack* pack = FindPack(module);
  if (!pack) return nullptr;
  const Map& m = pack->*member;
  auto it = m.find(id);
  if (it == m.end()) {
    bool anyOfType = false;
    for (const Entry& e : pack->entries)
      if (e.type == type) { anyOfType = true; break; }
    SetLastError(anyOfType ? ERROR_RESOURCE_NAME_NOT_FOUND : ERROR_RESOURCE_TYPE_NOT_FOUND);
    return nullptr;
  }
  return &it->second;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// Checks a pack read into memory and makes it a module.
HINSTANCE AddPack(std::unique_ptr<Pack> pack) {
  if (!ParsePack(*pack)) {
    SetLastError(ERROR_BAD_FORMAT);
    return nullptr;
  }
  std::lock_guard<std::mutex> lock(g_mutex);
  if (!pack->path.empty()) {
    // Opened by another thread meanwhile: share that one.
    for (auto& pk : g_packs)
      if (pk->path == pack->path) {
        ++pk->refs;
        return reinterpret_cast<HINSTANCE>(pk.get());
      }
  }
  HINSTANCE h = reinterpret_cast<HINSTANCE>(pack.get());
  g_packs.push_back(std::move(pack));
  SetLastError(ERROR_SUCCESS);
  return h;
}

}  // namespace

// ---------------------------------------------------------------------------

HINSTANCE LoadLibrary(LPCTSTR path) {
  if (!path || !*path) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  namespace fs = std::filesystem;
  const fs::path p(CodePageToUtf8(path, GetAnsiCodePage()));
  std::error_code ec;
  const fs::file_status st = fs::status(p, ec);
  if (ec || !fs::exists(st)) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  if (!fs::is_regular_file(st)) {
    SetLastError(ERROR_BAD_FORMAT);
    return nullptr;
  }
  std::string canonical = fs::weakly_canonical(p, ec).string();
  if (ec) canonical = fs::absolute(p, ec).lexically_normal().string();
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    for (auto& pk : g_packs)
      if (pk->path == canonical) {
        ++pk->refs;
        return reinterpret_cast<HINSTANCE>(pk.get());
      }
  }
  const std::uintmax_t size = fs::file_size(p, ec);
  if (ec || size > qmpack::kMaxPackSize) {
    SetLastError(ERROR_BAD_FORMAT);
    return nullptr;
  }
  auto pack = std::make_unique<Pack>();
  pack->path = canonical;
  {
    std::ifstream f(p, std::ios::binary);
    if (!f) {
      SetLastError(ERROR_ACCESS_DENIED);
      return nullptr;
    }
    pack->bytes.resize(static_cast<size_t>(size));
    f.read(reinterpret_cast<char*>(pack->bytes.data()), static_cast<std::streamsize>(size));
    if (f.gcount() != static_cast<std::streamsize>(size)) {
      SetLastError(ERROR_READ_FAULT);
      return nullptr;
    }
    // A file that grew while being read is not the one we measured.
    if (f.peek() != std::char_traits<char>::eof()) {
      SetLastError(ERROR_BAD_FORMAT);
      return nullptr;
    }
  }
  return AddPack(std::move(pack));
}

HINSTANCE QmLoadPackFromMemory(const void* data, size_t size) {
  if (!data || size > qmpack::kMaxPackSize) {
    SetLastError(data ? ERROR_BAD_FORMAT : ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto pack = std::make_unique<Pack>();
  const BYTE* b = static_cast<const BYTE*>(data);
  pack->bytes.assign(b, b + size);
  return AddPack(std::move(pack));
}

BOOL FreeLibrary(HMODULE module) {
  std::unique_ptr<Pack> gone;
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    auto it = std::find_if(g_packs.begin(), g_packs.end(),
                           [&](const std::unique_ptr<Pack>& p) { return reinterpret_cast<HINSTANCE>(p.get()) == module; });
    if (!module || it == g_packs.end()) {
      SetLastError(ERROR_INVALID_HANDLE);
      return FALSE;
    }
    if (--(*it)->refs > 0) return TRUE;
    gone = std::move(*it);
    g_packs.erase(it);
  }
  HINSTANCE expected = module;
  g_resourceHandle.compare_exchange_strong(expected, nullptr);
  return TRUE;
}

HINSTANCE AfxGetResourceHandle() { return g_resourceHandle.load(); }
void AfxSetResourceHandle(HINSTANCE module) { g_resourceHandle.store(module); }

HRSRC FindResource(HMODULE module, LPCTSTR name, LPCTSTR type) {
  const Entry* e = FindEntry(module, name, type);
  return reinterpret_cast<HRSRC>(const_cast<Entry*>(e));
}

HGLOBAL LoadResource(HMODULE module, HRSRC resource) {
  Pack* pack = FindPack(module);
  const Entry* e = EntryOf(pack, resource);
  if (!e) {
    if (pack) SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
    return nullptr;
  }
  return const_cast<BYTE*>(e->data);
}

LPVOID LockResource(HGLOBAL data) { return data; }

DWORD SizeofResource(HMODULE module, HRSRC resource) {
  Pack* pack = FindPack(module);
  const Entry* e = EntryOf(pack, resource);
  if (!e) {
    if (pack) SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
    return 0;
  }
  return e->size;
}

BOOL FreeResource(HGLOBAL) { return FALSE; }

QmResourceBytes LoadResourceBytes(HINSTANCE module, LPCTSTR name, LPCTSTR type) {
  QmResourceBytes r;
  if (const Entry* e = FindEntry(module, name, type)) {
    r.data = e->data;
    r.size = e->size;
  }
  return r;
}

QmResourceBytes LoadBitmapBytes(HINSTANCE module, UINT id) {
  return LoadResourceBytes(module, MAKEINTRESOURCE(id), RT_BITMAP);
}
QmResourceBytes LoadIconBytes(HINSTANCE module, UINT id) {
  return LoadResourceBytes(module, MAKEINTRESOURCE(id), RT_GROUP_ICON);
}
QmResourceBytes LoadCursorBytes(HINSTANCE module, UINT id) {
  return LoadResourceBytes(module, MAKEINTRESOURCE(id), RT_GROUP_CURSOR);
}
QmResourceBytes LoadRawData(HINSTANCE module, UINT id) {
  return LoadResourceBytes(module, MAKEINTRESOURCE(id), RT_RCDATA);
}

bool LoadResourceString(HINSTANCE module, UINT id, CString& out) {
  if (id > 0xFFFF) {
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return false;
  }
  Pack* pack = FindPack(module);
  if (!pack) return false;
  ResName n;
  n.id = static_cast<WORD>(id);
  const Entry* e = FindEntry(*pack, qmres::kString, n);
  if (!e) return false;
  out = CString(std::string(reinterpret_cast<const char*>(e->data), e->size));
  return true;
}

int LoadString(HINSTANCE module, UINT id, char* buf, int bufSize) {
  if (!buf || bufSize < 1) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  buf[0] = '\0';
  CString s;
  if (!LoadResourceString(module, id, s)) return 0;
  const int n = std::min(s.GetLength(), bufSize - 1);
  std::memcpy(buf, s.GetString(), static_cast<size_t>(n));
  buf[n] = '\0';
  return n;
}

BOOL CString::LoadString(UINT id) {
  CString s;
  if (!LoadResourceString(AfxGetResourceHandle(), id, s)) return FALSE;
  *this = s;
  return TRUE;
}

const QmMenuTemplate* LoadMenuTemplate(HINSTANCE module, UINT id) {
  return FindParsed(module, &Pack::menus, id, qmres::kMenu);
}

const QmDialogTemplate* LoadDialogTemplate(HINSTANCE module, UINT id, bool compact) {
  if (compact) {
    Pack* pack = FindPack(module);
    if (!pack) return nullptr;
    auto it = pack->compactDialogs.find(id);
    if (it != pack->compactDialogs.end()) return &it->second;
  }
  return FindParsed(module, &Pack::dialogs, id, qmres::kDialog);
}

const QmAcceleratorTable* LoadAcceleratorTable(HINSTANCE module, UINT id) {
  return FindParsed(module, &Pack::accelerators, id, qmres::kAccelerator);
}

const QmToolbarTemplate* LoadToolbarTemplate(HINSTANCE module, UINT id) {
  return FindParsed(module, &Pack::toolbars, id, qmres::kToolbar);
}

std::vector<QmResourceKey> QmEnumResources(HINSTANCE module) {
  std::vector<QmResourceKey> out;
  Pack* pack = FindPack(module);
  if (!pack) return out;
  out.reserve(pack->entries.size());
  for (const Entry& e : pack->entries) out.push_back(QmResourceKey{e.type, e.id, e.name});
  return out;
}

UINT QmGetPackCodePage(HINSTANCE module) {
  Pack* pack = FindPack(module);
  return pack ? pack->codePage : 0;
}

LANGID QmGetPackLanguage(HINSTANCE module) {
  Pack* pack = FindPack(module);
  return pack ? pack->language : 0;
}

std::string QmUtf16ToCodePage(std::u16string_view text, UINT codePage) {
  std::string utf8;
  utf8.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = '?';
    }
    AppendUtf8(utf8, c);
  }
  return Utf8ToCodePage(utf8, codePage == 1251 || codePage == 1252 ? codePage : GetAnsiCodePage());
}
