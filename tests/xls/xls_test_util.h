// Helpers of the spreadsheet-writer tests: a compound-file reader and a
// record walker of the tests' own (they share no code with the writer), and
// the runs of the outside readers (Debian's python3 with xlrd and olefile,
// LibreOffice).
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace xlstest {

using Bytes = std::vector<std::uint8_t>;

inline std::uint16_t U16(const Bytes& b, size_t at) { return static_cast<std::uint16_t>(b.at(at) | (b.at(at + 1) << 8)); }
inline std::uint32_t U32(const Bytes& b, size_t at) {
  return static_cast<std::uint32_t>(b.at(at) | (b.at(at + 1) << 8) | (b.at(at + 2) << 16)) |
         (static_cast<std::uint32_t>(b.at(at + 3)) << 24);
}

// A compound file read by the rules of the format: header, DIFAT (with its
// sectors), FAT, directory, mini-FAT and mini stream.
struct CompoundFile {
  struct Entry {
    std::u16string name;
    int type = 0;
    std::uint32_t left = 0, right = 0, child = 0, start = 0, size = 0;
  };
  Bytes file;
  std::vector<std::uint32_t> fat, miniFat, fatSectors, difatSectors;
  std::vector<Entry> entries;
  Bytes miniStream;
  std::string error;  // empty when the file read cleanly

  bool Load(const std::filesystem::path& path);
  std::vector<std::uint32_t> Chain(std::uint32_t start, bool big) const;
  // The stream of that name in the root storage; false when missing.
  bool Stream(const std::u16string& name, Bytes& out) const;
  Bytes Sector(std::uint32_t s) const;
};

// One record of a BIFF stream: its offset, id and data length (the data of
// CONTINUE records not joined).
struct RecordAt {
  size_t offset;
  std::uint16_t id;
  std::uint16_t length;
};
// Walks the record headers from `from` to the end; stops at a header that
// runs past the end (`complete` false then).
std::vector<RecordAt> WalkRecords(const Bytes& stream, size_t from, bool* complete = nullptr);

// Runs a command and returns what it printed on standard output; the exit
// status into *status.
std::string RunCommand(const std::string& command, int* status = nullptr);
// Debian's python3, which holds the distribution's xlrd and olefile.
std::string Python();
// The folder of the tests' own scripts and golden files.
std::filesystem::path TestDataDir();
std::string Quote(const std::string& s);

// xlrd's reading of a workbook (tests/xls/xlrd_dump.py): one line per
// sheet, merged range and cell, then "log ..." lines with xlrd's warnings.
std::vector<std::string> XlrdDump(const std::filesystem::path& path, bool lastRowOnly = false);
// olefile in its strict mode: "ok <streams>" and whether the stream
// "Workbook" equals the bytes in `expected`, or the error it raised.
std::string OlefileCheck(const std::filesystem::path& path, const std::filesystem::path& expected);

}  // namespace xlstest

class XlsDocument;

namespace xlstest {

// The workbooks that the reader tests and the golden files share. Building
// one sets the interface code page it is written in.
enum class Fixture { kPaletteRu, kTextsEn, kSheets };
constexpr Fixture kFixtures[] = {Fixture::kPaletteRu, Fixture::kTextsEn, Fixture::kSheets};
const char* FixtureName(Fixture fixture);
void BuildFixture(Fixture fixture, XlsDocument& document);
// The text of row r of the English fixture's first column (UTF-8).
std::string TextsEnText(int row);
constexpr int kTextsEnRows = 160;

// Sets the interface code page for the life of the object.
class CodePageScope {
 public:
  explicit CodePageScope(unsigned codePage);
  ~CodePageScope();

 private:
  unsigned previous_;
};

}  // namespace xlstest
