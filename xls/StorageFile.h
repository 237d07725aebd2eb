// The compound-document writer (structured storage, version 3, 512-byte
// sectors): header, allocation tables (FAT, mini-FAT, DIFAT), the directory
// of storages and streams, and streams stored in sectors or, below 4096
// bytes, in 64-byte mini sectors inside the root's mini stream. Every change
// is written to the file at once; there is no opening of existing files.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "xls/StorageBlockFile.h"

constexpr DWORD kStorageFreeSector = 0xFFFFFFFFu;    // free
constexpr DWORD kStorageEndOfChain = 0xFFFFFFFEu;    // last sector of a chain, or none
constexpr DWORD kStorageFatSector = 0xFFFFFFFDu;     // a FAT sector
constexpr DWORD kStorageDifatSector = 0xFFFFFFFCu;   // a DIFAT sector
constexpr DWORD kStorageNoStream = 0xFFFFFFFFu;      // no directory entry
constexpr DWORD kStorageMiniCutoff = 4096;
constexpr DWORD kStorageHeaderDifatSlots = 109;
constexpr DWORD kStorageEntriesPerSector = 128;      // table entries per sector
constexpr DWORD kStorageFatNumbersPerDifat = 127;    // FAT sector numbers per DIFAT sector

// Values 0xFFFFFFFA and above are markers, never sector numbers.
inline bool IsStorageSectorNumber(DWORD value) { return value < 0xFFFFFFFAu; }

// Status results of the path operations.
enum : int {
  kStorageOk = 1,
  kStorageNoName = -1,
  kStorageNoStorage = -2,
  kStorageStreamNotFound = -4,
  kStorageNameTooLong = -5,
  kStorageExists = -6,
  kStorageWriteFailed = -7,  // the file could not be written
};

struct StorageHeader {
  BYTE classId[16] = {};
  WORD minorVersion = 0x003B;
  WORD majorVersion = 3;
  WORD byteOrder = 0xFFFE;
  WORD sectorShift = 9;
  DWORD miniSectorShift = 6;  // with the two reserved bytes after it
  DWORD reserved = 0;
  DWORD directorySectorCount = 0;
  DWORD fatSectorCount = 1;
  DWORD firstDirectorySector = 1;
  DWORD transactionSignature = 0;
  DWORD miniStreamCutoff = kStorageMiniCutoff;
  DWORD firstMiniFatSector = kStorageEndOfChain;
  DWORD miniFatSectorCount = 0;
  DWORD firstDifatSector = kStorageEndOfChain;
  DWORD difatSectorCount = 0;
  DWORD difat[kStorageHeaderDifatSlots];
  // Not written: the sector sizes from the shifts.
  DWORD sectorSize = 512;
  DWORD miniSectorSize = 64;

  StorageHeader();
  // Back to the values of a new file.
  void Reset() { *this = StorageHeader(); }
  void Write(BYTE* block) const;
};

enum : BYTE { kStorageTypeStorage = 1, kStorageTypeStream = 2, kStorageTypeRoot = 5 };

// One directory entry (128 bytes in the file).
struct StorageEntry {
  static constexpr size_t kMaxName = 31;
  std::u16string name;
  WORD nameLength = 0;  // bytes, the terminating 0 included
  BYTE type = kStorageTypeStorage;
  BYTE color = 1;  // black
  DWORD left = kStorageNoStream;
  DWORD right = kStorageNoStream;
  DWORD child = kStorageNoStream;
  BYTE classId[16] = {};
  DWORD stateBits = 0;
  ULONGLONG created = 0;
  ULONGLONG modified = 0;
  DWORD start = kStorageEndOfChain;
  DWORD size = 0;

  void Write(BYTE* at) const;
  // An unused slot: zeros, with no sibling or child entry.
  static void WriteUnused(BYTE* at);
};

// A node of the in-memory tree that mirrors the directory.
struct StorageNode {
  StorageNode* parent = nullptr;
  DWORD index = 0;  // of the entry in the directory
  std::vector<std::unique_ptr<StorageNode>> children;  // by entry index
};

// Sibling order of the format: shorter names first, names of equal length
// by their upper-cased code units.
int CompareStorageNames(const std::u16string& a, const std::u16string& b);

class StorageFile {
 public:
  StorageFile();
  ~StorageFile();
  StorageFile(const StorageFile&) = delete;
  StorageFile& operator=(const StorageFile&) = delete;

  // Creates (or empties) the file with a root storage; false when the file
  // cannot be created or written (a file made here is then removed).
  bool Create(const CString& path);
  void Close();
  // Closes and removes the file that Create made (only that regular file).
  void Discard();
  bool IsOpen() const { return blockFile_.IsOpen(); }

  // Paths: components separated by backslashes; a leading backslash starts
  // at the root, "." is the current storage, ".." its parent. Narrow paths
  // are in the interface code page.
  int MakeStream(const CString& path);
  int MakeStream(const std::u16string& path);
  int MakeStorage(const std::u16string& path);
  int ChangeStorage(const std::u16string& path);
  StorageNode* FindEntry(const std::u16string& path);
  StorageNode* FindChild(StorageNode* storage, const std::u16string& name);
  // Replaces the stream's whole content: kStorageOk, kStorageStreamNotFound, or
  // kStorageWriteFailed when a write failed.
  int WriteStream(const CString& path, const BYTE* data, DWORD size);
  int WriteStream(const std::u16string& path, const BYTE* data, DWORD size);

  // Reads a chain's sectors (big) or mini sectors (mini) in order.
  bool ReadChain(DWORD start, std::vector<BYTE>& out, bool big);
  // Stores data over the chain that starts at `start` (a field of the
  // header or of a directory entry, which renumbering keeps current),
  // shortening or lengthening it; start becomes the end-of-chain marker for
  // no data. False when a write failed.
  bool WriteChain(const BYTE* data, DWORD size, DWORD& start, bool big);

  // Allocation.
  DWORD TakeFreeSector(bool big);  // kStorageEndOfChain when the file cannot grow
  bool GrowAllocationTable(bool big);
  void LinkSector(DWORD sector, DWORD next, bool big);
  std::vector<DWORD> CollectChain(DWORD start, bool big) const;
  DWORD ChainSize(DWORD start, bool big) const;
  bool WriteHeader();
  bool WriteAllocationTables();
  bool WriteDirectory();
  // Renumber every stored sector number for sectors inserted or erased
  // (numbers in the numbering before the change); markers are never touched.
  void ShiftSectorsUp(std::vector<DWORD> inserted);
  void ShiftSectorsDown(std::vector<DWORD> erased);
  bool ReleaseSectors(std::vector<DWORD> sectors, bool big);
  // Inserts an 0xFF block as sector `sector`, renumbering the later ones.
  bool InsertSector(DWORD sector);

  // For tests and inspection.
  const StorageHeader& GetHeader() const { return header_; }
  const std::vector<DWORD>& GetFat() const { return fat_; }
  const std::vector<DWORD>& GetMiniFat() const { return miniFat_; }
  const std::vector<DWORD>& GetFatSectors() const { return fatSectors_; }
  const std::vector<DWORD>& GetDifatSectors() const { return difatSectors_; }
  const std::vector<StorageEntry>& GetDirectory() const { return directory_; }
  StorageBlockFile& GetBlockFile() { return blockFile_; }

 private:
  int InsertEntry(std::u16string path, StorageEntry entry);
  void ShiftEntryIndices(DWORD from);
  void AttachNode(StorageNode* storage, DWORD index);
  void RelinkChildren(StorageNode* storage);
  StorageNode* NodeOf(StorageNode* node, DWORD index);
  // Directory, allocation tables and header, in that order (the directory
  // may take a sector, which the tables must then show).
  bool WriteAll();
  bool WriteMiniChain(const BYTE* data, DWORD size, DWORD& start);
  bool ReleaseMiniSectors(std::vector<DWORD> sectors);
  bool DropUnusedFatSectors();
  bool WriteFilledBlock(DWORD sector, BYTE fill);
  // The sector numbers held outside the FAT: the FAT and DIFAT sector lists,
  // the header's first directory and mini-FAT sectors, the root's start and
  // the start of every stream stored in sectors.
  void RenumberReferences(const std::function<DWORD(DWORD)>& remap);

  BYTE block_[StorageBlockFile::kBlockSize];
  StorageBlockFile blockFile_;
  StorageHeader header_;
  std::vector<DWORD> fat_;
  std::vector<DWORD> miniFat_;
  std::vector<DWORD> fatSectors_;    // every FAT sector, in order
  std::vector<DWORD> difatSectors_;  // the DIFAT sectors beyond the header's 109 slots
  std::vector<StorageEntry> directory_;
  std::unique_ptr<StorageNode> root_;
  StorageNode* current_ = nullptr;
  std::vector<StorageNode*> savedStorages_;
  size_t freeHint_ = 0;      // no free FAT entry lies below this
};
