#include "platform/base/memory.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <random>
#include <unordered_map>

#include <sys/mman.h>

namespace {
// Every block starts with this header; the handle is the header's address.
struct BlockHeader {
  std::uint64_t magic;
  size_t size;
  int locks;
};
constexpr std::uint64_t kMagic = 0x51'4D'42'4C'4F'43'4Bull;  // "QMBLOCK"
std::mutex g_mutex;
std::unordered_map<void*, bool> g_blocks;  // live handles

BlockHeader* Header(HGLOBAL h) {
  if (!h) return nullptr;
  std::lock_guard<std::mutex> lock(g_mutex);
  if (g_blocks.find(h) == g_blocks.end()) return nullptr;
  return static_cast<BlockHeader*>(h);
}
}  // namespace

HGLOBAL GlobalAlloc(UINT, size_t bytes) {
  if (bytes > (size_t{1} << 40)) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  void* p = std::calloc(1, sizeof(BlockHeader) + bytes);
  if (!p) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  auto* h = static_cast<BlockHeader*>(p);
  h->magic = kMagic;
  h->size = bytes;
  h->locks = 0;
  std::lock_guard<std::mutex> lock(g_mutex);
  g_blocks[p] = true;
  return p;
}

HGLOBAL GlobalReAlloc(HGLOBAL block, size_t bytes, UINT) {
  BlockHeader* h = Header(block);
  if (!h || bytes > (size_t{1} << 40)) {
    SetLastError(h ? ERROR_NOT_ENOUGH_MEMORY : ERROR_INVALID_HANDLE);
    return nullptr;
  }
  const size_t old = h->size;
  void* p = std::realloc(h, sizeof(BlockHeader) + bytes);
  if (!p) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  auto* nh = static_cast<BlockHeader*>(p);
  if (bytes > old) std::memset(reinterpret_cast<BYTE*>(nh + 1) + old, 0, bytes - old);
  nh->size = bytes;
  std::lock_guard<std::mutex> lock(g_mutex);
  g_blocks.erase(block);
  g_blocks[p] = true;
  return p;
}

LPVOID GlobalLock(HGLOBAL block) {
  BlockHeader* h = Header(block);
  if (!h) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  ++h->locks;
  return h + 1;
}

BOOL GlobalUnlock(HGLOBAL block) {
  BlockHeader* h = Header(block);
  if (!h) return FALSE;
  if (h->locks > 0) --h->locks;
  return h->locks > 0;
}

size_t GlobalSize(HGLOBAL block) {
  BlockHeader* h = Header(block);
  return h ? h->size : 0;
}

HGLOBAL GlobalFree(HGLOBAL block) {
  if (!block) return nullptr;
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    if (g_blocks.erase(block) == 0) {
      SetLastError(ERROR_INVALID_HANDLE);
      return block;
    }
  }
  std::free(block);
  return nullptr;
}

HRESULT CoCreateGuid(GUID* out) {
  if (!out) return E_INVALIDARG;
  static thread_local std::mt19937_64 rng{std::random_device{}()};
  BYTE b[16];
  for (int i = 0; i < 16; i += 8) {
    const std::uint64_t v = rng();
    std::memcpy(b + i, &v, 8);
  }
  std::memcpy(out, b, 16);
  out->Data3 = static_cast<WORD>((out->Data3 & 0x0FFF) | 0x4000);
  out->Data4[0] = static_cast<BYTE>((out->Data4[0] & 0x3F) | 0x80);
  return S_OK;
}

CString GuidToText(const GUID& g) {
  CString s;
  s.Format("%08x-%04x-%04x-%02x%02x-%02x%02x%02x%02x%02x%02x", g.Data1, g.Data2, g.Data3, g.Data4[0], g.Data4[1],
           g.Data4[2], g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
  return s;
}

bool TextToGuid(const char* text, GUID& out) {
  if (!text) return false;
  std::string t(text);
  if (t.size() == 38 && t.front() == '{' && t.back() == '}') t = t.substr(1, 36);
  if (t.size() != 36 || t[8] != '-' || t[13] != '-' || t[18] != '-' || t[23] != '-') return false;
  std::string hex;
  for (size_t i = 0; i < t.size(); ++i) {
    if (i == 8 || i == 13 || i == 18 || i == 23) continue;
    if (!std::isxdigit(static_cast<unsigned char>(t[i]))) return false;
    hex += t[i];
  }
  auto val = [&](size_t from, size_t n) { return std::strtoull(hex.substr(from, n).c_str(), nullptr, 16); };
  GUID g{};
  g.Data1 = static_cast<DWORD>(val(0, 8));
  g.Data2 = static_cast<WORD>(val(8, 4));
  g.Data3 = static_cast<WORD>(val(12, 4));
  for (int i = 0; i < 8; ++i) g.Data4[i] = static_cast<BYTE>(val(16 + 2 * static_cast<size_t>(i), 2));
  out = g;
  return true;
}

// ---- Page memory ----

namespace {
std::mutex g_pagesMutex;
std::unordered_map<void*, size_t> g_pages;  // live VirtualAlloc blocks and their sizes
}  // namespace

LPVOID VirtualAlloc(LPVOID address, SIZE_T size, DWORD allocationType, DWORD protect) {
  if (address || size == 0 || (allocationType & MEM_COMMIT) == 0 || protect != PAGE_READWRITE) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  // Blocks of a large page or more start on a large-page boundary and end
  // on one: the system can then back all of them with large pages (a block
  // laid anywhere keeps 4 KB pages at both ends, up to 2 MB of them, each a
  // page fault on first touch).
  constexpr size_t kLargePage = size_t{2} << 20;
  const bool whole = size >= kLargePage && size <= SIZE_MAX - 2 * kLargePage;
  const size_t mapped = whole ? (size + kLargePage - 1) / kLargePage * kLargePage : size;
  const size_t asked = whole ? mapped + kLargePage : size;
  void* p = mmap(nullptr, asked, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (p == MAP_FAILED) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  if (whole) {
    const uintptr_t start = reinterpret_cast<uintptr_t>(p);
    const uintptr_t aligned = (start + kLargePage - 1) / kLargePage * kLargePage;
    if (aligned > start) munmap(p, aligned - start);
    const size_t tail = asked - (aligned - start) - mapped;
    if (tail) munmap(reinterpret_cast<void*>(aligned + mapped), tail);
    p = reinterpret_cast<void*>(aligned);
  }
#ifdef MADV_HUGEPAGE
  madvise(p, mapped, MADV_HUGEPAGE);  // a hint only; ignored where not offered
#endif
  std::lock_guard<std::mutex> lock(g_pagesMutex);
  g_pages[p] = mapped;
  return p;
}

BOOL VirtualFree(LPVOID address, SIZE_T size, DWORD freeType) {
  if (!address || size != 0 || freeType != MEM_RELEASE) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  size_t bytes = 0;
  {
    std::lock_guard<std::mutex> lock(g_pagesMutex);
    auto it = g_pages.find(address);
    if (it == g_pages.end()) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
    }
    bytes = it->second;
    g_pages.erase(it);
  }
  munmap(address, bytes);
  return TRUE;
}
