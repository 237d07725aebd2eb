// Palette files: the enciphered format, loading from bytes, saving, the
// older layout embedded in design files, and the palettes folder.
#include <climits>
#include <cstring>
#include <vector>

#include "core/FileUtils.h"
#include "palette/ColorSet.h"
#include "palette/PaletteCipher.h"
#include "palette/TextPalette.h"
#include "platform/base/files.h"

namespace {

// Writes the bytes to a new file beside `path` and puts it in place of
// `path` only when every byte was written; the old file stays otherwise.
bool ReplaceFileWith(const CString& path, const std::vector<BYTE>& bytes) {
  GUID guid{};
  if (FAILED(CoCreateGuid(&guid))) return false;
  const CString temp = path + "." + GuidToText(guid) + ".tmp";
  HANDLE file = CreateFile(temp, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bool ok = true;
  size_t done = 0;
  while (ok && done < bytes.size()) {
    DWORD wrote = 0;
    const DWORD chunk = static_cast<DWORD>(bytes.size() - done > 0x40000000u ? 0x40000000u : bytes.size() - done);
    if (!WriteFile(file, bytes.data() + done, chunk, &wrote, nullptr) || wrote != chunk) ok = false;
    done += wrote;
  }
  if (ok && !FlushFileBuffers(file)) ok = false;
  if (!CloseHandle(file)) ok = false;
  if (ok) {
    // Saving over a read-only palette replaces it too: the user chose that
    // file, so its read-only attribute is cleared for the rename and put
    // back when the rename fails.
    const DWORD attributes = GetFileAttributes(path);
    const bool readOnly = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) &&
                          !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    if (readOnly) SetFileAttributes(path, attributes & ~FILE_ATTRIBUTE_READONLY);
    ok = MoveFileEx(temp, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
    if (!ok && readOnly) SetFileAttributes(path, attributes);
  }
  if (!ok) DeleteFile(temp);
  return ok;
}

}  // namespace

unsigned CColorSet::GetBodySize() const {
  unsigned long long size = static_cast<unsigned long long>(header_.GetStreamSize()) +
                            static_cast<unsigned long long>(CByteStream::StringSize(filePath_)) + 4;
  for (const CPaletteColor& c : colors_) size += static_cast<unsigned long long>(c.GetStreamSize());
  if (kind_ == kKindSheetDataAndImage) size += static_cast<unsigned long long>(imageLib_.GetStreamSize());
  return size > UINT_MAX ? UINT_MAX : static_cast<unsigned>(size);
}

bool CColorSet::WriteBody(CByteStream& stream) const {
  const bool withLibrary = kind_ == kKindSheetDataAndImage;
  CPaletteHeader header = header_;
  header.version = 5;
  header.SetImageLibrary(withLibrary);
  if (!header.Write(stream) || !stream.WriteString(filePath_)) return false;
  if (!stream.WriteInt(static_cast<DWORD>(colors_.size()))) return false;
  for (const CPaletteColor& c : colors_)
    if (!c.Write(stream)) return false;
  if (withLibrary && !imageLib_.Write(stream)) return false;
  return true;
}

bool CColorSet::ReadBody(CByteStream& stream) {
  Clear();
  DWORD count = 0;
  if (!header_.Read(stream) || !stream.ReadString(filePath_) || !stream.ReadInt(count)) return false;
  // The count is not trusted for reserving room: every record must read.
  for (DWORD i = 0; i < count; ++i) {
    CPaletteColor record(CRgbTriple(), CString(), 0, 0, kDefaultBeadsPerTube, 0);
    if (!record.Read(stream, header_.version)) {
      colors_.clear();
      Touch();
      return false;
    }
    colors_.push_back(record);
  }
  Touch();
  if (!header_.HasImageLibrary()) {
    kind_ = kKindSheetData;
    return true;
  }
  kind_ = kKindSheetDataAndImage;
  if (!imageLib_.Read(stream)) return false;
  imageLibPath_ = kInnerImageLibPath;
  return true;
}

bool CColorSet::ReadEncipheredBody(const BYTE* bytes, size_t size) {
  if (!bytes || size <= static_cast<size_t>(kPaletteHeaderLength)) return false;
  if (!IsPaletteHeader(bytes, size)) return false;
  if (size < static_cast<size_t>(kPaletteHeaderLength) + 4 + 8) return false;
  const size_t n = size - kPaletteHeaderLength - 4;
  // The body is whole 8-byte blocks, at least one.
  if (n % 8 != 0 || n > static_cast<size_t>(INT_MAX)) return false;
  DWORD stored = 0;
  std::memcpy(&stored, bytes + size - 4, 4);
  if (PaletteChecksum(bytes + kPaletteHeaderLength, n) != stored) return false;
  std::vector<BYTE> body(n);
  CPaletteCipher cipher;
  cipher.DecipherBuffer(bytes + kPaletteHeaderLength, body.data(), n);
  CByteStream stream(body.data(), static_cast<int>(n));
  return ReadBody(stream);
}

bool CColorSet::LoadEncipheredFile(const CString& path) {
  std::vector<BYTE> bytes;
  const bool ok = ReadWholeFile(path, bytes, INT_MAX) && ReadEncipheredBody(bytes.data(), bytes.size());
  if (ok) filePath_ = path;
  loaded_ = ok ? 1 : 0;
  return ok;
}

bool CColorSet::LoadPaletteFile(const CString& path, CString& reason, int option) {
  std::vector<BYTE> bytes;
  const bool read = ReadWholeFile(path, bytes, INT_MAX);
  if (read && ReadEncipheredBody(bytes.data(), bytes.size())) {
    filePath_ = path;
    modified_ = 0;
    loaded_ = 1;
    return true;
  }
  loaded_ = 0;
  if (read) {
    filePath_ = path;
    CPaletteLineReader reader(bytes);
    loaded_ = ReadTextPalette(reader, reason, option) ? 1 : 0;
  } else {
    reason.Format("Cannot to read the palette file %s\n", path.GetString());
  }
  modified_ = 0;
  return loaded_ != 0;
}

bool CColorSet::LoadPaletteFromBytes(const BYTE* bytes, size_t size) {
  if (bytes && size > static_cast<size_t>(kPaletteHeaderLength) && IsPaletteHeader(bytes, size))
    return ReadEncipheredBody(bytes, size);
  // Not an enciphered palette: read as a text palette, as a palette file
  // opened from disk would be (the reason text is dropped).
  loaded_ = 0;
  filePath_.Empty();
  CString reason;
  CPaletteLineReader reader(bytes ? bytes : reinterpret_cast<const BYTE*>(""), bytes ? size : 0);
  loaded_ = ReadTextPalette(reader, reason, 0) ? 1 : 0;
  modified_ = 0;
  return loaded_ != 0;
}

bool CColorSet::SaveToBytes(std::vector<BYTE>& out) {
  out.clear();
  kind_ = imageLib_.IsEmpty() ? kKindSheetData : kKindSheetDataAndImage;
  header_.SetImageLibrary(kind_ == kKindSheetDataAndImage);
  const unsigned bodySize = GetBodySize();
  if (bodySize >= static_cast<unsigned>(INT_MAX - 16)) return false;
  const size_t padded = (static_cast<size_t>(bodySize) + 7) / 8 * 8;
  std::vector<BYTE> body(padded, 0);
  CByteStream stream(body.data(), static_cast<int>(bodySize));
  if (!WriteBody(stream) || stream.GetRemaining() != 0) return false;
  out.resize(kPaletteHeaderLength + padded + 4);
  std::memcpy(out.data(), kPaletteHeaderV6, kPaletteHeaderLength);
  CPaletteCipher cipher;
  cipher.EncipherBuffer(body.data(), out.data() + kPaletteHeaderLength, bodySize);
  const DWORD checksum = PaletteChecksum(out.data() + kPaletteHeaderLength, padded);
  std::memcpy(out.data() + kPaletteHeaderLength + padded, &checksum, 4);
  SetModified(false);
  return true;
}

bool CColorSet::SavePaletteAs(const CString& path) {
  if (path.IsEmpty()) return false;
  const BYTE wasModified = modified_;
  std::vector<BYTE> bytes;
  if (!SaveToBytes(bytes)) return false;
  if (!ReplaceFileWith(path, bytes)) {
    modified_ = wasModified;
    return false;
  }
  SetModified(false);
  return true;
}

bool CColorSet::ReadFromDesign(CByteStream& s, bool withCounts) {
  Clear();
  if (!header_.Read(s)) return false;
  const int f = header_.version;
  if (f > 6) {
    int ignored = 0;
    if (!s.ReadInt(ignored) || !s.Skip(124)) return false;
  }
  DWORD count = 0;
  if (!s.ReadString(filePath_) || !s.ReadInt(count)) return false;
  for (DWORD i = 0; i < count; ++i) {
    CPaletteColor record(CRgbTriple(), CString(), 0, 0, kDefaultBeadsPerTube, 0);
    if (!record.ReadFromDesign(s, f, withCounts)) {
      colors_.clear();
      Touch();
      return false;
    }
    colors_.push_back(record);
  }
  Touch();
  kind_ = kKindSheetData;
  if (f >= 8) {
    std::vector<int> dropped;
    if (!s.ReadIntVector(dropped)) return false;
    if (f >= 12 && (!s.ReadIntVector(dropped) || !s.ReadIntVector(dropped))) return false;
    CString text;
    DWORD entries = 0;
    if (!s.ReadString(text) || !s.ReadInt(entries)) return false;
    for (DWORD i = 0; i < entries; ++i) {
      int a = 0, b = 0;
      if (!s.ReadString(text) || !s.ReadString(text) || !s.ReadInt(a) || !s.ReadInt(b) || !s.Skip(32)) return false;
    }
    if (!s.Skip(123)) return false;
  }
  header_.version = 5;
  return true;
}

namespace {
// A folder that stands for "Palettes" (tests); empty: the program's own.
CString& PalettesFolderOverride() {
  static CString folder;
  return folder;
}
CString PalettesFolderPath() {
  const CString& forced = PalettesFolderOverride();
  return forced.IsEmpty() ? GetProgramFolder() + "/Palettes" : forced;
}
}  // namespace

void SetPalettesFolderOverride(const CString& folder) {
  CString f = folder;
  while (f.GetLength() > 1 && (f[f.GetLength() - 1] == '/' || f[f.GetLength() - 1] == '\\')) f = f.Left(f.GetLength() - 1);
  PalettesFolderOverride() = f;
}

CString GetPalettesFolder() { return PalettesFolderPath() + "/"; }

void GetPalettesFolder(CString& out) { out = GetPalettesFolder(); }

bool FindPalettesFolder(CString& path) {
  const CString folder = PalettesFolderPath();
  const DWORD attributes = GetFileAttributes(folder);
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
  path = folder;
  return true;
}
