// The current user's registry as the program uses it: CRegistryKey, the one
// owner of an open key (closed when it goes out of scope), the program-wide
// constants (registry paths, design-file extension, short name, product
// title, web-site address), the interface language flag, and the helpers
// that read and write a whole settings record as one binary value of the
// program key.
#pragma once

#include <vector>

#include "platform/base.h"
#include "platform/base/registry.h"

class CRegistryKey {
 public:
  // No key open.
  CRegistryKey() = default;
  ~CRegistryKey() { Close(); }
  CRegistryKey(CRegistryKey&& other) noexcept : m_hKey(other.m_hKey) { other.m_hKey = nullptr; }
  CRegistryKey& operator=(CRegistryKey&& other) noexcept;
  CRegistryKey(const CRegistryKey&) = delete;
  CRegistryKey& operator=(const CRegistryKey&) = delete;

  // Opens the sub-key of root with all access, creating it when missing.
  // The handle stays null when that fails; reads and writes then fail.
  static CRegistryKey Create(CString subKey, HKEY root);
  static CRegistryKey Create(HKEY root, CString subKey) { return Create(std::move(subKey), root); }
  // Opens an existing sub-key of root for reading; null handle on failure.
  static CRegistryKey Open(CString subKey, HKEY root);
  static CRegistryKey Open(HKEY root, CString subKey) { return Open(std::move(subKey), root); }

  // RegQueryValueEx into buffer (null with size 0 asks for the size); true on
  // ERROR_SUCCESS, with the reported size stored in *outSize when given.
  bool QueryValue(LPCTSTR name, void* buffer, DWORD bufferSize, DWORD* outSize = nullptr) const;
  // QueryValue, but false at once when no key is open.
  bool ReadValue(LPCTSTR name, void* buffer, DWORD bufferSize, DWORD* outSize = nullptr) const;
  // The value's size in bytes; false (outSize untouched) when the key or the
  // value is missing.
  bool GetValueSize(LPCTSTR name, DWORD& outSize) const;
  // A value of exactly 4 bytes; false (out untouched) for any other size.
  bool ReadDword(LPCTSTR name, DWORD& out) const;
  // RegSetValueEx with the size passed unchanged (a text passed with its
  // length is stored without its NUL).
  bool SetValue(LPCTSTR name, const void* data, DWORD size, DWORD type) const;
  // Closes the key; the result of RegCloseKey, 0 when nothing was open.
  LONG Close();

  bool IsOpen() const { return m_hKey != nullptr; }
  HKEY GetHandle() const { return m_hKey; }

 private:
  HKEY m_hKey = nullptr;
};

// Registry paths under HKEY_CURRENT_USER and value names.
inline constexpr char g_szProgramKey[] = "SoftWare\\Corvandel\\QuillmereFreeware";
inline constexpr char g_szMakerKey[] = "SoftWare\\Corvandel";
inline constexpr char g_szMarlowispKey[] = "SoftWare\\Corvandel\\Marlowisp";
inline constexpr char g_szLanguageValue[] = "language";
inline constexpr char g_szLatestMarlowispValue[] = "LatestMarlowispDesignFileName";
// The extension of design files and the program's short name.
inline constexpr char g_szDesignFileExt[] = ".qx";
inline constexpr char g_szProgramShortName[] = "Velloran";

// The product title by the language flag ("Quillmere freeware", or the
// Russian title in Windows-1251).
void GetProductTitle(CString& out);
// The web-site address by the language flag.
void GetWebSiteLink(CString& out);

// Reads the DWORD "language" under the maker's key: 0 English, anything else
// Russian; a missing or unreadable value leaves the flag as it was (Russian
// at start). Sets the interface code page to match (1251 or 1252).
void LoadLanguageFlag();
bool IsRussianInterface();
bool IsEnglishInterface();
// Sets the flag and the code page directly (the setup program, tests).
void SetRussianInterface(bool russian);

// The layer editor's note of the latest design file, as REG_SZ with its NUL.
bool WriteLatestMarlowispDesignFileName(const CString& name);
bool ClearLatestMarlowispDesignFileName();

// A whole value of the program key as bytes: false (out emptied) when the
// key or value is missing or cannot be read. unscramble undoes the one-byte
// additive scrambling of the stored bytes.
bool ReadProgramBinaryValue(LPCTSTR name, std::vector<BYTE>& out, bool unscramble = false);
// Stores bytes as REG_BINARY under the program key (created when missing),
// scrambled first when asked; true when the value was stored.
bool WriteProgramBinaryValue(LPCTSTR name, const std::vector<BYTE>& data, bool scramble = false);
// A text value of the program key: the stored bytes up to the first NUL;
// false (out untouched) when missing.
bool ReadProgramStringValue(LPCTSTR name, CString& out);
// Stores a text as REG_SZ with its NUL under the program key.
bool WriteProgramStringValue(LPCTSTR name, const CString& text);
