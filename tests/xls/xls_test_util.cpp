#include "tests/xls/xls_test_util.h"

#include <array>
#include <cstdio>
#include <sys/wait.h>

#include "tests/common/test_util.h"

namespace xlstest {

namespace {
constexpr std::uint32_t kEnd = 0xFFFFFFFEu;
constexpr std::uint32_t kFree = 0xFFFFFFFFu;
}  // namespace

Bytes CompoundFile::Sector(std::uint32_t s) const {
  const size_t at = 512 * (static_cast<size_t>(s) + 1);
  if (at + 512 > file.size()) return {};
  return Bytes(file.begin() + static_cast<std::ptrdiff_t>(at), file.begin() + static_cast<std::ptrdiff_t>(at + 512));
}

std::vector<std::uint32_t> CompoundFile::Chain(std::uint32_t start, bool big) const {
  const auto& table = big ? fat : miniFat;
  std::vector<std::uint32_t> chain;
  for (std::uint32_t s = start; s < 0xFFFFFFFAu; s = table.at(s)) {
    if (s >= table.size() || chain.size() > table.size()) return {};
    chain.push_back(s);
  }
  return chain;
}

bool CompoundFile::Load(const std::filesystem::path& path) {
  file = qmtest::ReadAll(path);
  const auto fail = [&](const std::string& why) {
    error = why;
    return false;
  };
  if (file.size() < 512 || file.size() % 512 != 0) return fail("size not a multiple of 512");
  static const std::uint8_t kSig[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
  if (!std::equal(kSig, kSig + 8, file.begin())) return fail("signature");
  const std::uint32_t fatCount = U32(file, 44);
  std::uint32_t difatNext = U32(file, 68);
  const std::uint32_t difatCount = U32(file, 72);
  for (std::uint32_t i = 0; i < 109 && fatSectors.size() < fatCount; ++i) fatSectors.push_back(U32(file, 76 + 4 * i));
  for (std::uint32_t k = 0; k < difatCount; ++k) {
    difatSectors.push_back(difatNext);
    const Bytes d = Sector(difatNext);
    if (d.empty()) return fail("DIFAT sector outside the file");
    for (int i = 0; i < 127 && fatSectors.size() < fatCount; ++i) fatSectors.push_back(U32(d, 4 * static_cast<size_t>(i)));
    difatNext = U32(d, 508);
  }
  if (difatNext != kEnd) return fail("DIFAT chain does not end");
  if (fatSectors.size() != fatCount) return fail("FAT sector count");
  for (std::uint32_t s : fatSectors) {
    const Bytes f = Sector(s);
    if (f.empty()) return fail("FAT sector outside the file");
    for (int i = 0; i < 128; ++i) fat.push_back(U32(f, 4 * static_cast<size_t>(i)));
  }
  for (std::uint32_t s : Chain(U32(file, 60), true)) {
    const Bytes f = Sector(s);
    for (int i = 0; i < 128; ++i) miniFat.push_back(U32(f, 4 * static_cast<size_t>(i)));
  }
  Bytes dir;
  for (std::uint32_t s : Chain(U32(file, 48), true)) {
    const Bytes d = Sector(s);
    dir.insert(dir.end(), d.begin(), d.end());
  }
  for (size_t at = 0; at + 128 <= dir.size(); at += 128) {
    Entry e;
    const std::uint16_t nameLength = U16(dir, at + 64);
    for (size_t i = 0; i + 1 < nameLength / 2u && i < 31; ++i) e.name += static_cast<char16_t>(U16(dir, at + 2 * i));
    e.type = dir[at + 66];
    e.left = U32(dir, at + 68);
    e.right = U32(dir, at + 72);
    e.child = U32(dir, at + 76);
    e.start = U32(dir, at + 116);
    e.size = U32(dir, at + 120);
    entries.push_back(e);
  }
  if (entries.empty() || entries[0].type != 5) return fail("no root entry");
  for (std::uint32_t s : Chain(entries[0].start, true)) {
    const Bytes d = Sector(s);
    miniStream.insert(miniStream.end(), d.begin(), d.end());
  }
  if (miniStream.size() < entries[0].size) return fail("mini stream shorter than the root's size");
  miniStream.resize(entries[0].size);
  return true;
}

bool CompoundFile::Stream(const std::u16string& name, Bytes& out) const {
  for (const Entry& e : entries) {
    if (e.type != 2 || e.name != name) continue;
    out.clear();
    const bool big = e.size >= 4096;
    for (std::uint32_t s : Chain(e.start, big)) {
      if (big) {
        const Bytes d = Sector(s);
        out.insert(out.end(), d.begin(), d.end());
      } else {
        if (64 * (static_cast<size_t>(s) + 1) > miniStream.size()) return false;
        out.insert(out.end(), miniStream.begin() + 64 * s, miniStream.begin() + 64 * (s + 1));
      }
    }
    if (out.size() < e.size) return false;
    out.resize(e.size);
    return true;
  }
  return false;
}

std::vector<RecordAt> WalkRecords(const Bytes& stream, size_t from, bool* complete) {
  std::vector<RecordAt> records;
  size_t at = from;
  while (at + 4 <= stream.size()) {
    const RecordAt r{at, U16(stream, at), U16(stream, at + 2)};
    if (at + 4 + r.length > stream.size()) break;
    records.push_back(r);
    at += 4 + r.length;
  }
  if (complete) *complete = at == stream.size();
  return records;
}

std::string Quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

std::string RunCommand(const std::string& command, int* status) {
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) {
    if (status) *status = -1;
    return out;
  }
  std::array<char, 4096> buffer;
  size_t n;
  while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) out.append(buffer.data(), n);
  const int rc = pclose(pipe);
  if (status) *status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
  return out;
}

std::string Python() { return "/usr/bin/python3"; }

std::filesystem::path TestDataDir() { return qmtest::SourceDir() / "tests" / "xls"; }

std::vector<std::string> XlrdDump(const std::filesystem::path& path, bool lastRowOnly) {
  const std::string out = RunCommand("PYTHONIOENCODING=utf-8 " + Python() + " " +
                                     Quote((TestDataDir() / "xlrd_dump.py").string()) + " " + Quote(path.string()) +
                                     (lastRowOnly ? " last" : " full") + " 2>&1");
  std::vector<std::string> lines;
  size_t at = 0;
  while (at < out.size()) {
    size_t end = out.find('\n', at);
    if (end == std::string::npos) end = out.size();
    lines.push_back(out.substr(at, end - at));
    at = end + 1;
  }
  return lines;
}

std::string OlefileCheck(const std::filesystem::path& path, const std::filesystem::path& expected) {
  std::string out = RunCommand(Python() + " " + Quote((TestDataDir() / "olefile_check.py").string()) + " " +
                               Quote(path.string()) + " " + Quote(expected.string()) + " 2>&1");
  while (!out.empty() && out.back() == '\n') out.pop_back();
  return out;
}

}  // namespace xlstest

#include "xls/XlsStyle.h"

namespace xlstest {

CodePageScope::CodePageScope(unsigned codePage) : previous_(GetAnsiCodePage()) { SetAnsiCodePage(codePage); }
CodePageScope::~CodePageScope() { SetAnsiCodePage(previous_); }

const char* FixtureName(Fixture fixture) {
  switch (fixture) {
    case Fixture::kPaletteRu: return "palette-ru";
    case Fixture::kTextsEn: return "texts-en";
    case Fixture::kSheets: return "sheets";
  }
  return "";
}

std::string TextsEnText(int row) {
  // Long enough that the shared strings run over CONTINUE records; every
  // seventh text holds a euro sign (16-bit), every fifth an e acute (8-bit).
  std::string text = "Row " + std::to_string(row) + " ";
  if (row % 7 == 0) text += "\u20ac ";
  if (row % 5 == 0) text += "caf\u00e9 ";
  while (text.size() < 70) text += "abcdefghij";
  return text;
}

void BuildFixture(Fixture fixture, XlsDocument& doc) {
  switch (fixture) {
    case Fixture::kPaletteRu: {
      SetAnsiCodePage(1251);
      doc.New(1);
      XlsSheet* sheet = doc.GetWorksheet(0);
      XlsStyleTable styles(doc);
      XlsFont bold;
      bold.weight = 700;
      XlsCellFormat header(styles, bold);
      XlsFont red;
      red.weight = 700;
      red.colorIndex = 2;
      XlsCellFormat shortage(styles, red);
      shortage.SetLineColorsAndPattern(0x04000000);
      shortage.SetPatternColors(5);
      const char* titles[] = {"Название", "Номер", "Цена\\туба", "Наличие"};
      for (int c = 0; c < 4; ++c) {
        *sheet->Cell(0, c) = FromUtf8(titles[c]);
        sheet->Cell(0, c)->SetFormat(header);
      }
      struct Row {
        const char* name;
        int number;
        double price;
        const char* usage;
        bool shortage;
      };
      const Row rows[] = {{"Красный коралл", 12, 1234.56, "[X]", false},
                          {"Ёлочный зелёный", 7, 0.5, "[  ]", true},
                          {"Opaque White", 1001, 12.25, "[X]", false}};
      for (int r = 0; r < 3; ++r) {
        *sheet->Cell(r + 1, 0) = FromUtf8(rows[r].name);
        sheet->Cell(r + 1, 1)->SetInteger(rows[r].number);
        sheet->Cell(r + 1, 2)->SetDouble(rows[r].price);
        *sheet->Cell(r + 1, 3) = rows[r].usage;
        if (rows[r].shortage)
          for (int c = 0; c < 4; ++c) sheet->Cell(r + 1, c)->SetFormat(shortage);
      }
      break;
    }
    case Fixture::kTextsEn: {
      SetAnsiCodePage(1252);
      doc.New(1);
      XlsSheet* sheet = doc.GetWorksheet(0);
      for (int r = 0; r < kTextsEnRows; ++r) {
        *sheet->Cell(r, 0) = FromUtf8(TextsEnText(r));
        // Numbers in runs and alone: RK pairs, NUMBER for what RK cannot hold.
        const double values[] = {0.5, 2.25, 0.125, 12345.67, -7.0};
        sheet->Cell(r, 1)->SetDouble(values[r % 5]);
        sheet->Cell(r, 2)->SetDouble(values[(r + 1) % 5]);
        sheet->Cell(r, 3)->SetInteger(r % 3 == 0 ? 600000000 : r);
      }
      sheet->Cell(0, 4)->SetMergedSize(2, 1);
      *sheet->Cell(0, 4) = "merged";
      break;
    }
    case Fixture::kSheets: {
      SetAnsiCodePage(1251);
      doc.New(1);
      XlsSheet* first = doc.GetWorksheet(0);
      for (int r = 0; r < 33; ++r)
        for (int c = 0; c < 3; ++c) first->Cell(r, c)->SetInteger(r * 10 + c);
      doc.AddWorksheet(FromUtf8("Пусто"), -1);
      XlsSheet* third = doc.AddWorksheet(-1);
      *third->Cell(0, 0) = std::u16string_view(u"wide \u0416");
      *third->Cell(0, 1) = "narrow";
      third->Cell(1, 1)->SetInteger(-1);
      third->Cell(2, 2)->SetDouble(1e300);
      third->Cell(3, 0)->SetMergedSize(1, 3);
      break;
    }
  }
}

}  // namespace xlstest
