// The most-recent lists of the main frame: recent designs with a title and
// a thumbnail each (CRecentFiles, stored scrambled), and recent pictures and
// palettes as plain paths (CRecentFileLst). Stored under the program key;
// missing or damaged values give empty lists without a message.
#pragma once

#include <memory>
#include <vector>

#include "platform/base.h"

class CFilesList;
class CImage;
class CListCtrl;

class CRecentFiles {
 public:
  // The thumbnail's largest size.
  static constexpr int kThumbWidth = 200;
  static constexpr int kThumbHeight = 150;

  struct Entry {
    CString path;
    CString title;
    std::unique_ptr<CImage> thumbnail;
  };

  CRecentFiles(const char* valueName, UINT firstCommand, int maxCount);
  virtual ~CRecentFiles();
  CRecentFiles(const CRecentFiles&) = delete;
  CRecentFiles& operator=(const CRecentFiles&) = delete;

  // Reads the stored list; false (and an empty list) when it is missing or
  // any part of it is short or unreadable.
  bool Load();
  // Stores the list; false when it could not be written or stored.
  bool Save() const;
  // The stored form, and the list from stored bytes (already unscrambled).
  bool WriteToBytes(std::vector<BYTE>& bytes) const;
  bool LoadFromBytes(const BYTE* data, size_t size);

  // Puts the design at the front (an entry of the same path, compared
  // without case, is removed first) with a thumbnail of the picture. False,
  // with nothing added, when the maximum is 0 or the thumbnail fails.
  bool AddFile(const char* path, const CImage& picture, const char* title);
  // Removes the first entry of the path (compared without case).
  void RemoveFile(const char* path);
  // The path of the entry of a command (first command + index).
  bool GetPath(UINT command, CString& path) const;
  bool IsEmpty() const { return m_entries.empty(); }
  int GetCount() const { return static_cast<int>(m_entries.size()); }
  const Entry& GetEntry(int index) const { return m_entries[static_cast<size_t>(index)]; }
  // The maximum; entries from index n on are removed.
  void SetMaxCount(int n);
  int GetMaxCount() const { return m_maxCount; }
  UINT GetFirstCommand() const { return m_firstCommand; }
  // The list control gets the path of every entry whose file exists.
  bool FillListCtrl(CListCtrl* list) const;
  // The text of the drop-down item of an entry: its title, or "<name>".
  CString GetItemText(int index) const;

 private:
  std::vector<Entry> m_entries;
  UINT m_firstCommand;
  int m_maxCount;
  CString m_valueName;
};

class CRecentFileLst {
 public:
  CRecentFileLst(UINT firstCommand, const char* valueName, int maxCount);
  virtual ~CRecentFileLst();

  CString GetAt(int index) const;
  int GetCount() const { return static_cast<int>(m_paths.size()); }
  // At the front; a path already listed (compared without case) moves to
  // the front. Nothing with a maximum of 0.
  void AddFile(const char* path);
  bool Load();
  bool Save() const;
  bool WriteToBytes(std::vector<BYTE>& bytes) const;
  bool LoadFromBytes(const BYTE* data, size_t size);
  // The paths whose files exist, in list order.
  std::vector<CString> GetExistingPaths() const;
  // The files list gets every path whose file exists (not selected).
  bool FillFilesList(CFilesList* list) const;
  UINT GetFirstCommand() const { return m_firstCommand; }

 private:
  std::vector<CString> m_paths;
  UINT m_firstCommand;
  int m_maxCount;
  CString m_valueName;
};
