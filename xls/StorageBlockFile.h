// A file of 512-byte blocks, the bottom layer of the compound-document
// writer. Block 0 holds the compound file's header; sector s is block s + 1.
#pragma once

#include <sys/types.h>

#include <vector>

#include "platform/base.h"

class StorageBlockFile {
 public:
  static constexpr DWORD kBlockSize = 512;
  enum : unsigned { kRead = 1, kWrite = 2, kTruncate = 4 };

  StorageBlockFile() = default;
  ~StorageBlockFile() { Close(); }
  StorageBlockFile(const StorageBlockFile&) = delete;
  StorageBlockFile& operator=(const StorageBlockFile&) = delete;

  // Opens for reading and writing; an existing file is emptied.
  bool Create(const CString& path) { return Open(path, kRead | kWrite | kTruncate); }
  // The path (interface code page, either separator) is converted to a
  // file-system path here. False when the file cannot be opened, the mode has
  // neither read nor write, or writing is asked of a read-only file.
  bool Open(const CString& path, unsigned mode);
  void Close();
  bool IsOpen() const { return fd_ >= 0; }

  // Each needs its mode and a block index inside the file (writing may
  // append); false when the file reports a failure.
  bool ReadBlock(DWORD index, BYTE* buffer);
  // Writes at 512 x index; past the end the file grows to index + 1 blocks.
  bool WriteBlock(DWORD index, const BYTE* buffer);
  bool SwapBlocks(DWORD a, DWORD b);
  // Brings block `from` to `to`; the blocks between shift one toward `from`.
  bool MoveBlock(DWORD from, DWORD to);
  // Blocks from `index` on shift up by one; past the end it is a write.
  bool InsertBlock(DWORD index, const BYTE* buffer);
  // Removes the listed blocks, the others closing up in order; the file is
  // cut to its new size.
  bool EraseBlocks(std::vector<DWORD> indices);

  DWORD GetBlockCount() const { return blockCount_; }
  unsigned long long GetFileSize() const { return fileSize_; }
  // Closes the file and removes it when it still is the regular file that
  // this object opened (a device or a file put in its place is left alone).
  void CloseAndRemove();

 private:
  bool WriteAt(unsigned long long offset, const BYTE* data, size_t size);
  bool ReadAt(unsigned long long offset, BYTE* data, size_t size);

  int fd_ = -1;
  CString name_;
  unsigned mode_ = 0;
  DWORD blockCount_ = 0;
  unsigned long long fileSize_ = 0;
  bool regular_ = false;
  dev_t device_ = 0;
  ino_t inode_ = 0;
};

// For tests and fault drills: every compound-file write that would make a
// file longer than `bytes` writes up to that length and then fails, as a full
// disk would. A negative value (the default) sets no limit.
void SetStorageWriteLimit(long long bytes);
long long GetStorageWriteLimit();
