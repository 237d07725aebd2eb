#include "xls/StorageFile.h"

#include <algorithm>
#include <cstring>
#include <functional>

#include "xls/XlsText.h"

namespace {

void PutU16(BYTE* p, unsigned v) {
  p[0] = static_cast<BYTE>(v);
  p[1] = static_cast<BYTE>(v >> 8);
}

void PutU32(BYTE* p, DWORD v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<BYTE>(v >> (8 * i));
}

void PutU64(BYTE* p, ULONGLONG v) {
  for (int i = 0; i < 8; ++i) p[i] = static_cast<BYTE>(v >> (8 * i));
}

// Sorted, without repeats.
std::vector<DWORD> SortedUnique(std::vector<DWORD> v) {
  std::sort(v.begin(), v.end());
  v.erase(std::unique(v.begin(), v.end()), v.end());
  return v;
}

bool Contains(const std::vector<DWORD>& sorted, DWORD v) { return std::binary_search(sorted.begin(), sorted.end(), v); }

DWORD CountBelow(const std::vector<DWORD>& sorted, DWORD v) {
  return static_cast<DWORD>(std::lower_bound(sorted.begin(), sorted.end(), v) - sorted.begin());
}

DWORD CountAtOrBelow(const std::vector<DWORD>& sorted, DWORD v) {
  return static_cast<DWORD>(std::upper_bound(sorted.begin(), sorted.end(), v) - sorted.begin());
}

constexpr DWORD kBlock = StorageBlockFile::kBlockSize;

// Removes the entries of `removed` (sorted) from an allocation table: a link
// to a removed sector goes on to that sector's own successor, later sector
// numbers move down, and free entries keep the table's length.
void RemoveTableEntries(std::vector<DWORD>& table, const std::vector<DWORD>& removed) {
  std::vector<DWORD> kept;
  kept.reserve(table.size());
  for (size_t i = 0; i < table.size(); ++i) {
    if (Contains(removed, static_cast<DWORD>(i))) continue;
    DWORD v = table[i];
    for (size_t guard = 0;
         IsStorageSectorNumber(v) && v < table.size() && Contains(removed, v) && guard <= removed.size(); ++guard)
      v = table[v];
    kept.push_back(IsStorageSectorNumber(v) ? v - CountBelow(removed, v) : v);
  }
  kept.resize(table.size(), kStorageFreeSector);
  table = std::move(kept);
}

}  // namespace

// ---- header and entries -------------------------------------------------

StorageHeader::StorageHeader() {
  difat[0] = 0;
  for (DWORD i = 1; i < kStorageHeaderDifatSlots; ++i) difat[i] = kStorageFreeSector;
}

void StorageHeader::Write(BYTE* block) const {
  static const BYTE kSignature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
  std::memset(block, 0, kBlock);
  std::memcpy(block, kSignature, 8);
  std::memcpy(block + 8, classId, 16);
  PutU16(block + 24, minorVersion);
  PutU16(block + 26, majorVersion);
  PutU16(block + 28, byteOrder);
  PutU16(block + 30, sectorShift);
  PutU32(block + 32, miniSectorShift);
  PutU32(block + 36, reserved);
  PutU32(block + 40, directorySectorCount);
  PutU32(block + 44, fatSectorCount);
  PutU32(block + 48, firstDirectorySector);
  PutU32(block + 52, transactionSignature);
  PutU32(block + 56, miniStreamCutoff);
  PutU32(block + 60, firstMiniFatSector);
  PutU32(block + 64, miniFatSectorCount);
  PutU32(block + 68, firstDifatSector);
  PutU32(block + 72, difatSectorCount);
  for (DWORD i = 0; i < kStorageHeaderDifatSlots; ++i) PutU32(block + 76 + 4 * i, difat[i]);
}

void StorageEntry::Write(BYTE* at) const {
  std::memset(at, 0, 128);
  for (size_t i = 0; i < name.size() && i < kMaxName; ++i) PutU16(at + 2 * i, name[i]);
  PutU16(at + 64, nameLength);
  at[66] = type;
  at[67] = color;
  PutU32(at + 68, left);
  PutU32(at + 72, right);
  PutU32(at + 76, child);
  std::memcpy(at + 80, classId, 16);
  PutU32(at + 96, stateBits);
  PutU64(at + 100, created);
  PutU64(at + 108, modified);
  PutU32(at + 116, start);
  PutU32(at + 120, size);
}

void StorageEntry::WriteUnused(BYTE* at) {
  std::memset(at, 0, 128);
  PutU32(at + 68, kStorageNoStream);
  PutU32(at + 72, kStorageNoStream);
  PutU32(at + 76, kStorageNoStream);
}

int CompareStorageNames(const std::u16string& a, const std::u16string& b) {
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  for (size_t i = 0; i < a.size(); ++i) {
    const char16_t x = xlstext::UpperCaseUnit(a[i]);
    const char16_t y = xlstext::UpperCaseUnit(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  return 0;
}

// ---- file ---------------------------------------------------------------

StorageFile::StorageFile() { std::memset(block_, 0, sizeof block_); }

StorageFile::~StorageFile() { Close(); }

bool StorageFile::Create(const CString& path) {
  Close();
  if (!blockFile_.Create(path)) return false;
  header_.Reset();
  fat_.assign(kStorageEntriesPerSector, kStorageFreeSector);
  fat_[0] = kStorageFatSector;
  fat_[1] = kStorageEndOfChain;
  fatSectors_ = {0};
  difatSectors_.clear();
  miniFat_.clear();
  freeHint_ = 0;
  StorageEntry rootEntry;
  rootEntry.name = u"Root Entry";
  rootEntry.nameLength = 22;
  rootEntry.type = kStorageTypeRoot;
  directory_ = {rootEntry};
  root_ = std::make_unique<StorageNode>();
  current_ = root_.get();
  savedStorages_.clear();
  if (!WriteHeader() || !WriteAllocationTables() || !WriteDirectory()) {
    Discard();
    return false;
  }
  return true;
}

void StorageFile::Close() {
  blockFile_.Close();
  fat_.clear();
  miniFat_.clear();
  fatSectors_.clear();
  difatSectors_.clear();
  directory_.clear();
  root_.reset();
  current_ = nullptr;
  savedStorages_.clear();
  freeHint_ = 0;
}

void StorageFile::Discard() {
  blockFile_.CloseAndRemove();
  Close();
}

bool StorageFile::WriteFilledBlock(DWORD sector, BYTE fill) {
  std::memset(block_, fill, kBlock);
  return blockFile_.WriteBlock(sector + 1, block_);
}

bool StorageFile::WriteHeader() {
  header_.fatSectorCount = static_cast<DWORD>(fatSectors_.size());
  for (DWORD i = 0; i < kStorageHeaderDifatSlots; ++i)
    header_.difat[i] = i < fatSectors_.size() ? fatSectors_[i] : kStorageFreeSector;
  header_.firstDifatSector = difatSectors_.empty() ? kStorageEndOfChain : difatSectors_.front();
  header_.difatSectorCount = static_cast<DWORD>(difatSectors_.size());
  header_.Write(block_);
  return blockFile_.WriteBlock(0, block_);
}

bool StorageFile::WriteAllocationTables() {
  for (size_t i = 0; i < fatSectors_.size(); ++i) {
    for (DWORD k = 0; k < kStorageEntriesPerSector; ++k) {
      const size_t at = kStorageEntriesPerSector * i + k;
      PutU32(block_ + 4 * k, at < fat_.size() ? fat_[at] : kStorageFreeSector);
    }
    if (!blockFile_.WriteBlock(fatSectors_[i] + 1, block_)) return false;
  }
  for (size_t j = 0; j < difatSectors_.size(); ++j) {
    for (DWORD k = 0; k < kStorageFatNumbersPerDifat; ++k) {
      const size_t at = kStorageHeaderDifatSlots + kStorageFatNumbersPerDifat * j + k;
      PutU32(block_ + 4 * k, at < fatSectors_.size() ? fatSectors_[at] : kStorageFreeSector);
    }
    PutU32(block_ + 4 * kStorageFatNumbersPerDifat,
           j + 1 < difatSectors_.size() ? difatSectors_[j + 1] : kStorageEndOfChain);
    if (!blockFile_.WriteBlock(difatSectors_[j] + 1, block_)) return false;
  }
  const std::vector<DWORD> miniFatChain = CollectChain(header_.firstMiniFatSector, true);
  for (size_t j = 0; j < miniFatChain.size(); ++j) {
    for (DWORD k = 0; k < kStorageEntriesPerSector; ++k) {
      const size_t at = kStorageEntriesPerSector * j + k;
      PutU32(block_ + 4 * k, at < miniFat_.size() ? miniFat_[at] : kStorageFreeSector);
    }
    if (!blockFile_.WriteBlock(miniFatChain[j] + 1, block_)) return false;
  }
  return true;
}

bool StorageFile::WriteDirectory() {
  const size_t sectors = (directory_.size() + 3) / 4;
  std::vector<BYTE> buffer(kBlock * sectors);
  for (size_t i = 0; i < 4 * sectors; ++i) {
    if (i < directory_.size())
      directory_[i].Write(buffer.data() + 128 * i);
    else
      StorageEntry::WriteUnused(buffer.data() + 128 * i);
  }
  return WriteChain(buffer.data(), static_cast<DWORD>(buffer.size()), header_.firstDirectorySector, true);
}

bool StorageFile::WriteAll() { return WriteDirectory() && WriteAllocationTables() && WriteHeader(); }

// ---- allocation ---------------------------------------------------------

DWORD StorageFile::TakeFreeSector(bool big) {
  std::vector<DWORD>& table = big ? fat_ : miniFat_;
  for (;;) {
    for (size_t i = big ? freeHint_ : 0; i < table.size(); ++i) {
      if (table[i] == kStorageFreeSector) {
        table[i] = kStorageEndOfChain;
        if (big) freeHint_ = i + 1;
        return static_cast<DWORD>(i);
      }
    }
    if (big) freeHint_ = table.size();
    if (!GrowAllocationTable(big)) return kStorageEndOfChain;
  }
}

bool StorageFile::GrowAllocationTable(bool big) {
  if (!big) {
    const DWORD sector = TakeFreeSector(true);
    if (sector == kStorageEndOfChain || !WriteFilledBlock(sector, 0xFF)) return false;
    if (header_.miniFatSectorCount == 0) {
      header_.firstMiniFatSector = sector;
    } else {
      // Further mini-FAT sectors are chained in the FAT like any chain.
      const std::vector<DWORD> chain = CollectChain(header_.firstMiniFatSector, true);
      LinkSector(chain.back(), sector, true);
    }
    ++header_.miniFatSectorCount;
    miniFat_.insert(miniFat_.end(), kStorageEntriesPerSector, kStorageFreeSector);
    return true;
  }
  // The new FAT sector is the first sector past those the FAT covers; the
  // FAT only grows when every covered sector is in use, so it is appended.
  const DWORD f = static_cast<DWORD>(fat_.size());
  if (static_cast<unsigned long long>(f) + 2 * kStorageEntriesPerSector >= 0xFFFFFFFAull) return false;
  if (!WriteFilledBlock(f, 0xFF)) return false;
  fat_.push_back(kStorageFatSector);
  fat_.insert(fat_.end(), kStorageEntriesPerSector - 1, kStorageFreeSector);
  fatSectors_.push_back(f);
  if (fatSectors_.size() > kStorageHeaderDifatSlots &&
      (fatSectors_.size() - 1 - kStorageHeaderDifatSlots) % kStorageFatNumbersPerDifat == 0) {
    // The header's slots (and every DIFAT sector) are full: a new DIFAT
    // sector, taken among the sectors the new FAT sector covers.
    const DWORD d = TakeFreeSector(true);
    if (d == kStorageEndOfChain) return false;
    fat_[d] = kStorageDifatSector;
    difatSectors_.push_back(d);
    if (!WriteFilledBlock(d, 0xFF)) return false;
  }
  return true;
}

void StorageFile::LinkSector(DWORD sector, DWORD next, bool big) {
  std::vector<DWORD>& table = big ? fat_ : miniFat_;
  if (sector < table.size()) table[sector] = next;
}

std::vector<DWORD> StorageFile::CollectChain(DWORD start, bool big) const {
  const std::vector<DWORD>& table = big ? fat_ : miniFat_;
  std::vector<DWORD> chain;
  DWORD s = start;
  while (IsStorageSectorNumber(s) && s < table.size() && chain.size() <= table.size()) {
    chain.push_back(s);
    s = table[s];
  }
  return chain;
}

DWORD StorageFile::ChainSize(DWORD start, bool big) const {
  return static_cast<DWORD>(CollectChain(start, big).size()) * (big ? kBlock : 64u);
}

void StorageFile::ShiftSectorsUp(std::vector<DWORD> inserted) {
  inserted = SortedUnique(std::move(inserted));
  if (inserted.empty()) return;
  const auto remap = [&](DWORD v) { return IsStorageSectorNumber(v) ? v + CountAtOrBelow(inserted, v) : v; };
  std::vector<DWORD> fat(fat_.size() + inserted.size(), kStorageFreeSector);
  for (size_t i = 0; i < fat_.size(); ++i) fat[remap(static_cast<DWORD>(i))] = remap(fat_[i]);
  const size_t keep = kStorageEntriesPerSector * fatSectors_.size();
  while (fat.size() > keep && fat.back() == kStorageFreeSector) fat.pop_back();
  fat_ = std::move(fat);
  RenumberReferences(remap);
}

void StorageFile::ShiftSectorsDown(std::vector<DWORD> erased) {
  erased = SortedUnique(std::move(erased));
  if (erased.empty()) return;
  RemoveTableEntries(fat_, erased);
  RenumberReferences([&](DWORD v) { return IsStorageSectorNumber(v) ? v - CountBelow(erased, v) : v; });
}

void StorageFile::RenumberReferences(const std::function<DWORD(DWORD)>& remap) {
  for (DWORD& s : fatSectors_) s = remap(s);
  for (DWORD& s : difatSectors_) s = remap(s);
  header_.firstDirectorySector = remap(header_.firstDirectorySector);
  header_.firstMiniFatSector = remap(header_.firstMiniFatSector);
  for (size_t i = 0; i < directory_.size(); ++i) {
    StorageEntry& e = directory_[i];
    if (i == 0 || (e.type == kStorageTypeStream && e.size >= kStorageMiniCutoff)) e.start = remap(e.start);
  }
  freeHint_ = 0;
}

bool StorageFile::ReleaseSectors(std::vector<DWORD> sectors, bool big) {
  sectors = SortedUnique(std::move(sectors));
  if (sectors.empty()) return true;
  if (!big) return ReleaseMiniSectors(std::move(sectors));
  std::vector<DWORD> blocks;
  for (DWORD s : sectors) blocks.push_back(s + 1);
  if (!blockFile_.EraseBlocks(blocks)) return false;
  ShiftSectorsDown(sectors);
  return DropUnusedFatSectors();
}

bool StorageFile::DropUnusedFatSectors() {
  // Every sector of the file is in use (released sectors are erased), so
  // the last FAT sector can go when the others cover what remains.
  while (fatSectors_.size() > 1) {
    const size_t k = fatSectors_.size();
    const bool lastInOwnDifat =
        k - 1 >= kStorageHeaderDifatSlots && (k - 1 - kStorageHeaderDifatSlots) % kStorageFatNumbersPerDifat == 0;
    const size_t sectors = blockFile_.GetBlockCount() - 1;
    const size_t remaining = sectors - 1 - (lastInOwnDifat ? 1 : 0);
    if (remaining > kStorageEntriesPerSector * (k - 1)) break;
    std::vector<DWORD> erase = {fatSectors_.back()};
    fatSectors_.pop_back();
    if (lastInOwnDifat) {
      erase.push_back(difatSectors_.back());
      difatSectors_.pop_back();
    }
    std::vector<DWORD> blocks;
    for (DWORD s : erase) blocks.push_back(s + 1);
    if (!blockFile_.EraseBlocks(blocks)) return false;
    ShiftSectorsDown(erase);
    fat_.resize(kStorageEntriesPerSector * (k - 1));
  }
  return true;
}

bool StorageFile::ReleaseMiniSectors(std::vector<DWORD> released) {
  StorageEntry& root = directory_[0];
  std::vector<BYTE> mini;
  if (!ReadChain(root.start, mini, true)) return false;
  mini.resize(root.size);
  std::vector<BYTE> kept;
  kept.reserve(mini.size());
  for (DWORD n = 0; 64ull * n + 64 <= mini.size(); ++n)
    if (!Contains(released, n)) kept.insert(kept.end(), mini.begin() + 64 * n, mini.begin() + 64 * (n + 1));
  RemoveTableEntries(miniFat_, released);
  // The start of every other small stream moves down with its sectors.
  for (size_t i = 1; i < directory_.size(); ++i) {
    StorageEntry& e = directory_[i];
    if (e.type == kStorageTypeStream && e.size < kStorageMiniCutoff && IsStorageSectorNumber(e.start))
      e.start -= CountBelow(released, e.start);
  }
  root.size = static_cast<DWORD>(kept.size());
  if (!WriteChain(kept.data(), root.size, root.start, true)) return false;
  while (header_.miniFatSectorCount > 0 &&
         std::all_of(miniFat_.end() - kStorageEntriesPerSector, miniFat_.end(),
                     [](DWORD v) { return v == kStorageFreeSector; })) {
    const std::vector<DWORD> chain = CollectChain(header_.firstMiniFatSector, true);
    if (chain.empty()) return false;
    if (chain.size() == 1)
      header_.firstMiniFatSector = kStorageEndOfChain;
    else
      fat_[chain[chain.size() - 2]] = kStorageEndOfChain;
    miniFat_.resize(miniFat_.size() - kStorageEntriesPerSector);
    --header_.miniFatSectorCount;
    if (!ReleaseSectors({chain.back()}, true)) return false;
  }
  return true;
}

bool StorageFile::InsertSector(DWORD sector) {
  if (fat_.empty()) return false;
  if (fat_.back() != kStorageFreeSector && !GrowAllocationTable(true)) return false;
  std::memset(block_, 0xFF, kBlock);
  if (!blockFile_.InsertBlock(sector + 1, block_)) return false;
  ShiftSectorsUp({sector});
  return true;
}

// ---- chains -------------------------------------------------------------

bool StorageFile::ReadChain(DWORD start, std::vector<BYTE>& out, bool big) {
  out.clear();
  if (big) {
    const std::vector<DWORD> chain = CollectChain(start, true);
    out.resize(kBlock * chain.size());
    for (size_t k = 0; k < chain.size(); ++k)
      if (!blockFile_.ReadBlock(chain[k] + 1, out.data() + kBlock * k)) return false;
    return true;
  }
  std::vector<BYTE> mini;
  if (!ReadChain(directory_.empty() ? kStorageEndOfChain : directory_[0].start, mini, true)) return false;
  for (DWORD n : CollectChain(start, false)) {
    if (64ull * n + 64 > mini.size()) return false;
    out.insert(out.end(), mini.begin() + 64 * n, mini.begin() + 64 * (n + 1));
  }
  return true;
}

bool StorageFile::WriteChain(const BYTE* data, DWORD size, DWORD& start, bool big) {
  if (!big) return WriteMiniChain(data, size, start);
  if (!data) size = 0;
  if (size == 0 && !IsStorageSectorNumber(start)) return true;
  std::vector<DWORD> chain = CollectChain(start, true);
  const size_t needed = (static_cast<size_t>(size) + kBlock - 1) / kBlock;
  if (chain.size() > needed) {
    std::vector<DWORD> rest(chain.begin() + static_cast<std::ptrdiff_t>(needed), chain.end());
    if (needed == 0)
      start = kStorageEndOfChain;
    else
      fat_[chain[needed - 1]] = kStorageEndOfChain;
    if (!ReleaseSectors(rest, true)) return false;
    chain = CollectChain(start, true);  // renumbered by the release
  }
  for (size_t k = 0; k < needed; ++k) {
    if (k >= chain.size()) {
      const DWORD s = TakeFreeSector(true);
      if (s == kStorageEndOfChain) return false;
      if (k == 0)
        start = s;
      else
        LinkSector(chain[k - 1], s, true);
      chain.push_back(s);
    }
    const size_t piece = std::min<size_t>(kBlock, size - kBlock * k);
    std::memcpy(block_, data + kBlock * k, piece);
    if (piece < kBlock) std::memset(block_ + piece, 0, kBlock - piece);
    if (!blockFile_.WriteBlock(chain[k] + 1, block_)) return false;
  }
  return true;
}

bool StorageFile::WriteMiniChain(const BYTE* data, DWORD size, DWORD& start) {
  if (!data) size = 0;
  if (size == 0 && !IsStorageSectorNumber(start)) return true;
  if (size > 0 && !IsStorageSectorNumber(directory_[0].start)) {
    const DWORD s = TakeFreeSector(true);
    if (s == kStorageEndOfChain || !WriteFilledBlock(s, 0)) return false;
    directory_[0].start = s;
    directory_[0].size = kBlock;
  }
  std::vector<DWORD> chain = CollectChain(start, false);
  const size_t needed = (static_cast<size_t>(size) + 63) / 64;
  if (chain.size() > needed) {
    std::vector<DWORD> rest(chain.begin() + static_cast<std::ptrdiff_t>(needed), chain.end());
    if (needed == 0)
      start = kStorageEndOfChain;
    else
      miniFat_[chain[needed - 1]] = kStorageEndOfChain;
    if (!ReleaseMiniSectors(SortedUnique(rest))) return false;
    chain = CollectChain(start, false);
  }
  if (needed == 0) return true;
  StorageEntry& root = directory_[0];
  std::vector<BYTE> mini;
  if (!ReadChain(root.start, mini, true)) return false;
  mini.resize(root.size);
  while (chain.size() < needed) {
    const DWORD m = TakeFreeSector(false);
    if (m == kStorageEndOfChain) return false;
    if (chain.empty())
      start = m;
    else
      LinkSector(chain.back(), m, false);
    chain.push_back(m);
    if (64ull * m + 64 > mini.size())
      mini.resize(64 * (static_cast<size_t>(m) + 1), 0);
    else
      std::memset(mini.data() + 64 * m, 0, 64);
  }
  root.size = static_cast<DWORD>(mini.size());
  for (size_t k = 0; k < needed; ++k) {
    const size_t piece = std::min<size_t>(64, size - 64 * k);
    std::memcpy(mini.data() + 64 * chain[k], data + 64 * k, piece);
  }
  return WriteChain(mini.data(), root.size, root.start, true);
}

// ---- directory ----------------------------------------------------------

StorageNode* StorageFile::NodeOf(StorageNode* node, DWORD index) {
  if (!node) return nullptr;
  if (node->index == index) return node;
  for (auto& child : node->children)
    if (StorageNode* found = NodeOf(child.get(), index)) return found;
  return nullptr;
}

StorageNode* StorageFile::FindChild(StorageNode* storage, const std::u16string& name) {
  if (!storage || storage->index >= directory_.size()) return nullptr;
  if (directory_[storage->index].child == kStorageNoStream) return nullptr;
  for (auto& child : storage->children)
    if (CompareStorageNames(directory_[child->index].name, name) == 0) return child.get();
  return nullptr;
}

int StorageFile::ChangeStorage(const std::u16string& path) {
  if (!root_) return kStorageNoStorage;
  StorageNode* node = current_;
  size_t i = 0;
  if (!path.empty() && path[0] == u'\\') {
    node = root_.get();
    i = 1;
  }
  while (i <= path.size()) {
    size_t end = path.find(u'\\', i);
    if (end == std::u16string::npos) end = path.size();
    const std::u16string part = path.substr(i, end - i);
    i = end + 1;
    if (part.empty() || part == u".") continue;
    if (part == u"..") {
      if (!node->parent) return kStorageNoStorage;
      node = node->parent;
      continue;
    }
    StorageNode* child = FindChild(node, part);
    if (!child || directory_[child->index].type == kStorageTypeStream) return kStorageNoStorage;
    node = child;
  }
  current_ = node;
  return kStorageOk;
}

StorageNode* StorageFile::FindEntry(const std::u16string& path) {
  if (!root_) return nullptr;
  StorageNode* saved = current_;
  const size_t cut = path.rfind(u'\\');
  StorageNode* found = nullptr;
  if (cut == std::u16string::npos || ChangeStorage(path.substr(0, cut == 0 ? 1 : cut)) == kStorageOk) {
    const std::u16string name = cut == std::u16string::npos ? path : path.substr(cut + 1);
    found = name.empty() ? current_ : FindChild(current_, name);
  }
  current_ = saved;
  return found;
}

void StorageFile::ShiftEntryIndices(DWORD from) {
  for (StorageEntry& e : directory_) {
    for (DWORD* link : {&e.left, &e.right, &e.child})
      if (*link != kStorageNoStream && *link >= from) ++*link;
  }
  std::vector<StorageNode*> stack = {root_.get()};
  while (!stack.empty()) {
    StorageNode* node = stack.back();
    stack.pop_back();
    if (node->index >= from) ++node->index;
    for (auto& child : node->children) stack.push_back(child.get());
  }
}

void StorageFile::AttachNode(StorageNode* storage, DWORD index) {
  auto node = std::make_unique<StorageNode>();
  node->parent = storage;
  node->index = index;
  auto at = std::find_if(storage->children.begin(), storage->children.end(),
                         [&](const std::unique_ptr<StorageNode>& c) { return c->index > index; });
  storage->children.insert(at, std::move(node));
}

void StorageFile::RelinkChildren(StorageNode* storage) {
  StorageEntry& parent = directory_[storage->index];
  const size_t n = storage->children.size();
  if (n == 0) {
    parent.child = kStorageNoStream;
    return;
  }
  const size_t m = n / 2;
  const auto entry = [&](size_t k) -> StorageEntry& { return directory_[storage->children[k]->index]; };
  parent.child = storage->children[m]->index;
  for (size_t k = 0; k <= m; ++k) {
    entry(k).left = k == 0 ? kStorageNoStream : storage->children[k - 1]->index;
    entry(k).right = kStorageNoStream;
  }
  entry(m).right = m + 1 < n ? storage->children[m + 1]->index : kStorageNoStream;
  for (size_t k = m + 1; k < n; ++k) {
    entry(k).right = k + 1 < n ? storage->children[k + 1]->index : kStorageNoStream;
    entry(k).left = kStorageNoStream;
  }
}

int StorageFile::InsertEntry(std::u16string path, StorageEntry entry) {
  if (!root_) return kStorageNoStorage;
  savedStorages_.push_back(current_);
  const auto restore = [&](int status) {
    current_ = savedStorages_.back();
    savedStorages_.pop_back();
    return status;
  };
  if (!path.empty() && path[0] == u'\\') {
    current_ = root_.get();
    path.erase(0, 1);
  }
  const size_t cut = path.rfind(u'\\');
  const std::u16string name = cut == std::u16string::npos ? path : path.substr(cut + 1);
  if (name.empty()) return restore(kStorageNoName);
  if (cut != std::u16string::npos) {
    const std::u16string storagePath = path.substr(0, cut);
    if (ChangeStorage(storagePath) != kStorageOk) {
      StorageEntry storage;
      storage.type = kStorageTypeStorage;
      const int made = InsertEntry(storagePath, storage);
      if (made != kStorageOk) return restore(made);
      if (ChangeStorage(storagePath) != kStorageOk) return restore(kStorageNoStorage);
    }
  }
  if (name.size() > StorageEntry::kMaxName) return restore(kStorageNameTooLong);
  if (FindChild(current_, name)) return restore(kStorageExists);
  entry.name = name;
  entry.nameLength = static_cast<WORD>((name.size() + 1) * 2);
  DWORD e = static_cast<DWORD>(directory_.size());
  for (DWORD i = 1; i < directory_.size(); ++i)
    if (CompareStorageNames(directory_[i].name, name) >= 0) {
      e = i;
      break;
    }
  if (e < directory_.size()) ShiftEntryIndices(e);
  directory_.insert(directory_.begin() + e, entry);
  AttachNode(current_, e);
  RelinkChildren(current_);
  return restore(kStorageOk);
}

int StorageFile::MakeStream(const CString& path) { return MakeStream(xlstext::ToUtf16(path.str())); }

int StorageFile::MakeStream(const std::u16string& path) {
  StorageEntry entry;
  entry.type = kStorageTypeStream;
  const int status = InsertEntry(path, entry);
  if (status != kStorageOk) return status;
  return WriteAll() ? kStorageOk : kStorageWriteFailed;
}

int StorageFile::MakeStorage(const std::u16string& path) {
  StorageEntry entry;
  entry.type = kStorageTypeStorage;
  const int status = InsertEntry(path, entry);
  if (status != kStorageOk) return status;
  return WriteAll() ? kStorageOk : kStorageWriteFailed;
}

int StorageFile::WriteStream(const CString& path, const BYTE* data, DWORD size) {
  return WriteStream(xlstext::ToUtf16(path.str()), data, size);
}

int StorageFile::WriteStream(const std::u16string& path, const BYTE* data, DWORD size) {
  StorageNode* node = FindEntry(path);
  if (!node || directory_[node->index].type != kStorageTypeStream) return kStorageStreamNotFound;
  StorageEntry& e = directory_[node->index];
  const bool wasSmall = e.size < kStorageMiniCutoff;
  const bool isSmall = size < kStorageMiniCutoff;
  bool ok;
  if (wasSmall && isSmall)
    ok = WriteChain(data, size, e.start, false);
  else if (wasSmall)
    ok = WriteChain(nullptr, 0, e.start, false) && WriteChain(data, size, e.start, true);
  else if (isSmall)
    ok = WriteChain(nullptr, 0, e.start, true) && WriteChain(data, size, e.start, false);
  else
    ok = WriteChain(data, size, e.start, true);
  if (!ok) return kStorageWriteFailed;
  e.size = size;
  return WriteAll() ? kStorageOk : kStorageWriteFailed;
}
