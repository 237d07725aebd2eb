#include "core/Registry.h"

#include <atomic>

#include "core/ByteStream.h"

CRegistryKey& CRegistryKey::operator=(CRegistryKey&& other) noexcept {
  if (this != &other) {
    Close();
    m_hKey = other.m_hKey;
    other.m_hKey = nullptr;
  }
  return *this;
}

CRegistryKey CRegistryKey::Create(CString subKey, HKEY root) {
  CRegistryKey key;
  HKEY h = nullptr;
  if (RegCreateKeyEx(root, subKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &h, nullptr) ==
      ERROR_SUCCESS)
    key.m_hKey = h;
  return key;
}

CRegistryKey CRegistryKey::Open(CString subKey, HKEY root) {
  CRegistryKey key;
  HKEY h = nullptr;
  if (RegOpenKeyEx(root, subKey, 0, KEY_READ, &h) == ERROR_SUCCESS) key.m_hKey = h;
  return key;
}

bool CRegistryKey::QueryValue(LPCTSTR name, void* buffer, DWORD bufferSize, DWORD* outSize) const {
  DWORD size = bufferSize;
  if (RegQueryValueEx(m_hKey, name, nullptr, nullptr, static_cast<LPBYTE>(buffer), &size) != ERROR_SUCCESS)
    return false;
  if (outSize) *outSize = size;
  return true;
}

bool CRegistryKey::ReadValue(LPCTSTR name, void* buffer, DWORD bufferSize, DWORD* outSize) const {
  if (!m_hKey) return false;
  return QueryValue(name, buffer, bufferSize, outSize);
}

bool CRegistryKey::GetValueSize(LPCTSTR name, DWORD& outSize) const {
  if (!m_hKey) return false;
  return ReadValue(name, nullptr, 0, &outSize);
}

bool CRegistryKey::ReadDword(LPCTSTR name, DWORD& out) const {
  if (!m_hKey) return false;
  DWORD value = 0;
  DWORD size = sizeof value;
  if (RegQueryValueEx(m_hKey, name, nullptr, nullptr, reinterpret_cast<LPBYTE>(&value), &size) != ERROR_SUCCESS)
    return false;
  // A shorter value would leave part of the number unset.
  if (size != sizeof value) return false;
  out = value;
  return true;
}

bool CRegistryKey::SetValue(LPCTSTR name, const void* data, DWORD size, DWORD type) const {
  return RegSetValueEx(m_hKey, name, 0, type, static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
}

LONG CRegistryKey::Close() {
  if (!m_hKey) return ERROR_SUCCESS;
  const LONG result = RegCloseKey(m_hKey);
  m_hKey = nullptr;
  return result;
}

// ---- constants and the language flag ------------------------------------------

namespace {
std::atomic<bool> g_russianInterface{true};
}  // namespace

void GetProductTitle(CString& out) {
  if (IsRussianInterface())
    out = CString(Utf8ToCodePage("Квиллмир (бесплатная версия)", 1251));
  else
    out = "Quillmere freeware";
}

void GetWebSiteLink(CString& out) {
  out = IsRussianInterface() ? "https://quillmere.example.org/ru/" : "https://quillmere.example.org/";
}

void LoadLanguageFlag() {
  const CRegistryKey key = CRegistryKey::Open(g_szMakerKey, HKEY_CURRENT_USER);
  DWORD value = 0;
  if (key.ReadDword(g_szLanguageValue, value)) g_russianInterface = value != 0;
  SetAnsiCodePage(g_russianInterface ? 1251 : 1252);
}

bool IsRussianInterface() { return g_russianInterface; }
bool IsEnglishInterface() { return !g_russianInterface; }

void SetRussianInterface(bool russian) {
  g_russianInterface = russian;
  SetAnsiCodePage(russian ? 1251 : 1252);
}

bool WriteLatestMarlowispDesignFileName(const CString& name) {
  CRegistryKey key = CRegistryKey::Create(g_szMarlowispKey, HKEY_CURRENT_USER);
  const bool ok = key.SetValue(g_szLatestMarlowispValue, name.GetString(),
                               static_cast<DWORD>(name.GetLength() + 1), REG_SZ);
  key.Close();
  return ok;
}

bool ClearLatestMarlowispDesignFileName() { return WriteLatestMarlowispDesignFileName(CString()); }

// ---- whole values of the program key --------------------------------------------

bool ReadProgramBinaryValue(LPCTSTR name, std::vector<BYTE>& out, bool unscramble) {
  out.clear();
  const CRegistryKey key = CRegistryKey::Open(g_szProgramKey, HKEY_CURRENT_USER);
  DWORD size = 0;
  if (!key.GetValueSize(name, size)) return false;
  std::vector<BYTE> bytes(size);
  DWORD got = size;
  if (!key.ReadValue(name, bytes.data(), size, &got) || got != size) return false;
  if (unscramble && size > 0) CByteStream(bytes.data(), static_cast<int>(size)).Unscramble();
  out = std::move(bytes);
  return true;
}

bool WriteProgramBinaryValue(LPCTSTR name, const std::vector<BYTE>& data, bool scramble) {
  std::vector<BYTE> bytes(data);
  if (scramble && !bytes.empty()) CByteStream(bytes.data(), static_cast<int>(bytes.size())).Scramble();
  const CRegistryKey key = CRegistryKey::Create(g_szProgramKey, HKEY_CURRENT_USER);
  return key.SetValue(name, bytes.data(), static_cast<DWORD>(bytes.size()), REG_BINARY);
}

bool ReadProgramStringValue(LPCTSTR name, CString& out) {
  std::vector<BYTE> bytes;
  if (!ReadProgramBinaryValue(name, bytes)) return false;
  size_t n = 0;
  while (n < bytes.size() && bytes[n] != 0) ++n;
  out = CString(reinterpret_cast<const char*>(bytes.data()), static_cast<int>(n));
  return true;
}

bool WriteProgramStringValue(LPCTSTR name, const CString& text) {
  const CRegistryKey key = CRegistryKey::Create(g_szProgramKey, HKEY_CURRENT_USER);
  return key.SetValue(name, text.GetString(), static_cast<DWORD>(text.GetLength() + 1), REG_SZ);
}
