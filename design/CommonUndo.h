// CCommonUndo: the "Undo" scratch folder beside the program. It exists while
// the main frame lives, is emptied whenever a design is opened and removed
// at exit. Sub-folders and their contents are left alone.
#pragma once

#include <vector>

#include "platform/base.h"

class CCommonUndo {
 public:
  // The "Undo" folder under the program data folder, created when missing,
  // and emptied.
  CCommonUndo();
  // The same for a given folder.
  explicit CCommonUndo(const CString& folder);
  // Deletes the folder's files and removes the folder (which fails quietly
  // while it still holds anything).
  virtual ~CCommonUndo();
  CCommonUndo(const CCommonUndo&) = delete;
  CCommonUndo& operator=(const CCommonUndo&) = delete;

  // Deletes every file in the folder (read-only ones too), empties the list
  // and sets the position to 0.
  void Clear();
  const CString& GetFolder() const { return folder_; }

 private:
  void DeleteFiles();

  std::vector<CString> steps_;
  int position_ = 0;
  CString folder_;
};
