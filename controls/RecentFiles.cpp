#include "controls/RecentFiles.h"

#include "controls/Lists.h"
#include "core/ByteStream.h"
#include "core/FileUtils.h"
#include "core/FrameServices.h"
#include "core/Registry.h"
#include "image/Image.h"
#include "platform/wnd.h"

namespace {
constexpr int kReservedHead = 128;
constexpr int kReservedEntry = 64;
constexpr const char* kThumbEncoding = ".jpg";

bool SamePath(const CString& a, const char* b) { return a.CompareNoCase(b ? b : "") == 0; }
}  // namespace

// ---- CRecentFiles ----

CRecentFiles::CRecentFiles(const char* valueName, UINT firstCommand, int maxCount)
    : m_firstCommand(firstCommand), m_maxCount(maxCount), m_valueName(valueName) {}

CRecentFiles::~CRecentFiles() = default;

bool CRecentFiles::Load() {
  std::vector<BYTE> bytes;
  if (!ReadProgramBinaryValue(m_valueName, bytes, true)) {
    m_entries.clear();
    return false;
  }
  return LoadFromBytes(bytes.data(), bytes.size());
}

bool CRecentFiles::LoadFromBytes(const BYTE* data, size_t size) {
  m_entries.clear();
  if (size > 0x7FFFFFFF) return false;
  std::vector<BYTE> copy(data, data + size);
  CByteStream stream(copy.data(), static_cast<int>(copy.size()));
  int count = 0;
  if (!stream.Skip(kReservedHead) || !stream.ReadInt(count) || count < 0) return false;
  std::vector<Entry> entries;
  for (int i = 0; i < count; ++i) {
    Entry e;
    bool ok = false;
    if (!stream.ReadString(e.path) || !stream.ReadString(e.title) || !stream.Skip(kReservedEntry)) return false;
    auto thumbnail = std::make_unique<CImage>(stream, ok);
    if (!ok) return false;
    e.thumbnail = std::move(thumbnail);
    entries.push_back(std::move(e));
  }
  m_entries = std::move(entries);
  return true;
}

bool CRecentFiles::WriteToBytes(std::vector<BYTE>& bytes) const {
  int size = kReservedHead + 4;
  for (const Entry& e : m_entries) {
    const int picture = e.thumbnail ? e.thumbnail->GetStreamSize(kThumbEncoding) : 0;
    if (picture <= 0) return false;
    size += CByteStream::StringSize(e.path) + CByteStream::StringSize(e.title) + kReservedEntry + picture;
  }
  bytes.assign(static_cast<size_t>(size), 0);
  CByteStream stream(bytes.data(), size);
  if (!stream.WriteZeros(kReservedHead) || !stream.WriteInt(static_cast<int>(m_entries.size()))) return false;
  for (const Entry& e : m_entries)
    if (!stream.WriteString(e.path) || !stream.WriteString(e.title) || !stream.WriteZeros(kReservedEntry) ||
        !e.thumbnail->WriteToStream(stream, kThumbEncoding))
      return false;
  return true;
}

bool CRecentFiles::Save() const {
  std::vector<BYTE> bytes;
  if (!WriteToBytes(bytes)) return false;
  return WriteProgramBinaryValue(m_valueName, bytes, true);
}

bool CRecentFiles::AddFile(const char* path, const CImage& picture, const char* title) {
  RemoveFile(path);
  if (m_maxCount <= 0) return false;
  while (static_cast<int>(m_entries.size()) >= m_maxCount) m_entries.pop_back();
  const CRect box(0, 0, kThumbWidth, kThumbHeight);
  const CSize fit = picture.GetFitSize(box);
  if (fit.cx <= 0 || fit.cy <= 0) return false;
  std::unique_ptr<CImage> thumbnail;
  try {
    thumbnail = picture.CreateResized(fit);
  } catch (...) {
    return false;
  }
  if (!thumbnail) return false;
  Entry e;
  e.path = path ? path : "";
  e.title = title ? title : "";
  e.thumbnail = std::move(thumbnail);
  m_entries.insert(m_entries.begin(), std::move(e));
  return true;
}

void CRecentFiles::RemoveFile(const char* path) {
  for (auto it = m_entries.begin(); it != m_entries.end(); ++it)
    if (SamePath(it->path, path)) {
      m_entries.erase(it);
      return;
    }
}

bool CRecentFiles::GetPath(UINT command, CString& path) const {
  const long long index = static_cast<long long>(command) - m_firstCommand;
  if (index < 0 || index >= static_cast<long long>(m_entries.size())) return false;
  path = m_entries[static_cast<size_t>(index)].path;
  return true;
}

void CRecentFiles::SetMaxCount(int n) {
  m_maxCount = n < 0 ? 0 : n;
  if (static_cast<int>(m_entries.size()) > m_maxCount) m_entries.resize(static_cast<size_t>(m_maxCount));
}

bool CRecentFiles::FillListCtrl(CListCtrl* list) const {
  list->DeleteAllItems();
  int row = 0;
  for (const Entry& e : m_entries) {
    if (!FileExists(e.path)) continue;
    if (list->InsertItem(row, e.path) < 0) return false;
    ++row;
  }
  return true;
}

CString CRecentFiles::GetItemText(int index) const {
  const Entry& e = m_entries[static_cast<size_t>(index)];
  if (!e.title.IsEmpty()) return e.title;
  CString name;
  GetFileTitleFromPath(e.path, name);
  CString text;
  text.Format("<%s>", name.GetString());
  return text;
}

// ---- CRecentFileLst ----

CRecentFileLst::CRecentFileLst(UINT firstCommand, const char* valueName, int maxCount)
    : m_firstCommand(firstCommand), m_maxCount(maxCount), m_valueName(valueName) {}

CRecentFileLst::~CRecentFileLst() = default;

CString CRecentFileLst::GetAt(int index) const {
  if (index < 0 || index >= GetCount()) return CString();
  return m_paths[static_cast<size_t>(index)];
}

void CRecentFileLst::AddFile(const char* path) {
  for (auto it = m_paths.begin(); it != m_paths.end(); ++it)
    if (SamePath(*it, path)) {
      CString kept = *it;
      m_paths.erase(it);
      m_paths.insert(m_paths.begin(), kept);
      return;
    }
  if (m_maxCount <= 0) return;
  m_paths.insert(m_paths.begin(), CString(path ? path : ""));
  if (static_cast<int>(m_paths.size()) > m_maxCount) m_paths.resize(static_cast<size_t>(m_maxCount));
}

bool CRecentFileLst::LoadFromBytes(const BYTE* data, size_t size) {
  m_paths.clear();
  if (size < 4 || size > 0x7FFFFFFF) return false;
  std::vector<BYTE> copy(data, data + size);
  CByteStream stream(copy.data(), static_cast<int>(copy.size()));
  int count = 0;
  if (!stream.ReadInt(count) || count < 0) return false;
  std::vector<CString> paths;
  for (int i = 0; i < count; ++i) {
    CString path;
    if (!stream.ReadString(path)) return false;
    paths.push_back(path);
  }
  if (stream.GetRemaining() != 0) return false;
  m_paths = std::move(paths);
  return true;
}

bool CRecentFileLst::Load() {
  std::vector<BYTE> bytes;
  if (!ReadProgramBinaryValue(m_valueName, bytes, false)) {
    m_paths.clear();
    return false;
  }
  return LoadFromBytes(bytes.data(), bytes.size());
}

bool CRecentFileLst::WriteToBytes(std::vector<BYTE>& bytes) const {
  int size = 4;
  for (const CString& p : m_paths) size += CByteStream::StringSize(p);
  bytes.assign(static_cast<size_t>(size), 0);
  CByteStream stream(bytes.data(), size);
  if (!stream.WriteInt(static_cast<int>(m_paths.size()))) return false;
  for (const CString& p : m_paths)
    if (!stream.WriteString(p)) return false;
  return true;
}

bool CRecentFileLst::Save() const {
  std::vector<BYTE> bytes;
  if (!WriteToBytes(bytes)) return false;
  return WriteProgramBinaryValue(m_valueName, bytes, false);
}

bool CRecentFileLst::FillFilesList(CFilesList* list) const {
  list->Clear();
  for (const CString& p : GetExistingPaths()) list->AddFile(p, false);
  return true;
}

std::vector<CString> CRecentFileLst::GetExistingPaths() const {
  std::vector<CString> out;
  for (const CString& p : m_paths)
    if (FileExists(p)) out.push_back(p);
  return out;
}
