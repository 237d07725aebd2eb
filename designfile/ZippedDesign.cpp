#include "designfile/ZippedDesign.h"

#include <unzip.h>

#include <cstring>
#include <vector>

#include "core/FileUtils.h"
#include "core/PathUtils.h"

bool IsZipArchivePath(const CString& path) { return GetPathExtension(path).CompareNoCase(".zip") == 0; }

bool GetZipEntryFileName(const char* name, size_t length, CString& fileName) {
  fileName.Empty();
  if (name == nullptr || length == 0) return false;
  for (size_t i = 0; i < length; ++i) {
    const unsigned char c = static_cast<unsigned char>(name[i]);
    if (c < 0x20 || c == 0x7F) return false;  // NUL and control characters
  }
  size_t start = length;
  while (start > 0 && name[start - 1] != '/' && name[start - 1] != '\\') --start;
  const std::string last(name + start, length - start);
  if (last.empty() || last == "." || last == "..") return false;
  fileName = CString(last);
  return true;
}

bool MakeFreeFileName(const CString& folder, const CString& title, const CString& ext, CString& out) {
  out = folder + title + ext;
  if (!FileExists(out) && !FolderExists(out)) return true;
  for (int n = 1; n <= 999; ++n) {
    CString candidate;
    candidate.Format("%s%s%d%s", folder.GetString(), title.GetString(), n, ext.GetString());
    if (!FileExists(candidate) && !FolderExists(candidate)) {
      out = candidate;
      return true;
    }
  }
  out.Empty();
  return false;
}

namespace {

// The archive, closed in every case.
class CZipReader {
 public:
  explicit CZipReader(const CString& path) : zip_(unzOpen64(ToUtf8(path).c_str())) {}
  ~CZipReader() {
    if (zip_ != nullptr) unzClose(zip_);
  }
  CZipReader(const CZipReader&) = delete;
  CZipReader& operator=(const CZipReader&) = delete;
  unzFile Get() const { return zip_; }

 private:
  unzFile zip_;
};

// The entry under the archive's cursor, when it is a design entry: its file
// name (last component) and declared size.
bool IsDesignEntry(unzFile zip, CString& fileName, unsigned long long& declared) {
  unz_file_info64 info{};
  char name[1024];
  if (unzGetCurrentFileInfo64(zip, &info, name, sizeof name, nullptr, 0, nullptr, 0) != UNZ_OK) return false;
  // A name longer than the buffer is cut; such an entry is no design entry.
  if (info.size_filename >= sizeof name) return false;
  if ((info.external_fa & FILE_ATTRIBUTE_DIRECTORY) != 0) return false;
  if (!GetZipEntryFileName(name, info.size_filename, fileName)) return false;
  if (GetPathExtension(fileName).CompareNoCase(kDesignExtension) != 0) return false;
  if (GetPathTitle(fileName).IsEmpty()) return false;
  declared = info.uncompressed_size;
  return true;
}

// Unpacks the entry under the cursor into a file created new at `target`;
// the file is removed again when anything fails.
bool UnpackEntry(unzFile zip, const CString& target, unsigned long long declared) {
  if (declared > kMaxZippedDesignSize) return false;
  if (unzOpenCurrentFile(zip) != UNZ_OK) return false;
  HANDLE file = CreateFile(target, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    unzCloseCurrentFile(zip);
    return false;
  }
  std::vector<char> buffer(1 << 16);
  unsigned long long total = 0;
  bool ok = true;
  for (;;) {
    const int got = unzReadCurrentFile(zip, buffer.data(), static_cast<unsigned>(buffer.size()));
    if (got < 0) {
      ok = false;
      break;
    }
    if (got == 0) break;
    total += static_cast<unsigned>(got);
    if (total > declared || !WriteFileBlock(file, buffer.data(), static_cast<DWORD>(got))) {
      ok = false;
      break;
    }
  }
  // The CRC is checked when the whole entry was read.
  const int closed = unzCloseCurrentFile(zip);
  if (ok && (closed != UNZ_OK || total != declared)) ok = false;
  if (!CloseHandle(file)) ok = false;
  if (!ok) RemoveFile(target);
  return ok;
}

}  // namespace

bool OpenZippedDesign(const CString& path, CString& out) {
  out.Empty();
  if (!IsZipArchivePath(path)) return false;
  CZipReader zip(path);
  if (zip.Get() == nullptr) return false;
  CString fileName;
  unsigned long long declared = 0;
  bool found = false;
  for (int r = unzGoToFirstFile(zip.Get()); r == UNZ_OK; r = unzGoToNextFile(zip.Get())) {
    if (IsDesignEntry(zip.Get(), fileName, declared)) {
      found = true;
      break;
    }
  }
  if (!found) return false;
  CString target;
  if (!MakeFreeFileName(GetPathFolder(path), GetPathTitle(fileName), kDesignExtension, target)) return false;
  if (!UnpackEntry(zip.Get(), target, declared)) return false;
  out = target;
  return true;
}
