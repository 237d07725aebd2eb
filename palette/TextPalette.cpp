#include "palette/TextPalette.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/PathUtils.h"
#include "palette/ColorSet.h"
#include "platform/base/files.h"

const char kExtendedMosaicPaletteTag[] = "# Extended Mosaic Palette 7F06E3E3-1D0D-430d-A4E5-14E458BBD130";
const char kExtendedPaletteTag[] = "# Extended Palette 7F06E3E3-1D0D-430d-A4E5-14E458BBD130";

bool CPaletteLineReader::ReadLine(CString& line) {
  line.Empty();
  if (position_ >= size_) return false;
  std::string piece;
  while (position_ < size_ && static_cast<int>(piece.size()) < kMaxPiece) {
    char ch = static_cast<char>(bytes_[position_++]);
    if (ch == '\r' && position_ < size_ && bytes_[position_] == '\n') {
      ch = '\n';
      ++position_;
    }
    piece.push_back(ch);
    if (ch == '\n') break;
  }
  const size_t nul = piece.find('\0');
  if (nul != std::string::npos) piece.resize(nul);
  line = CString(std::move(piece));
  return true;
}

bool CutDelimitedField(CString& line, char open, char close, CString& text) {
  const int o = line.Find(open);
  if (o <= 0 || o >= line.GetLength() - 1) return false;
  const int c = line.Find(close, o + 1);
  if (c < 0) return false;
  text = line.Mid(o + 1, c - o - 1);
  line = line.Left(o - 1) + line.Mid(c + 1);
  return true;
}

namespace {

bool StartsWith(const CString& text, const char* prefix) {
  return std::strncmp(text.GetString(), prefix, std::strlen(prefix)) == 0;
}

bool ParseUnsigned(const CString& text, DWORD& out) {
  unsigned value = 0;
  if (std::sscanf(text.GetString(), "%u", &value) != 1) return false;
  out = value;
  return true;
}

bool IsExistingFile(const CString& path) {
  if (path.IsEmpty()) return false;
  const DWORD attributes = GetFileAttributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace

int CColorSet::DetectTextPaletteKind(const CString& firstLine) {
  if (StartsWith(firstLine, kExtendedMosaicPaletteTag)) return kKindSheetDataAndImage;
  if (StartsWith(firstLine, kExtendedPaletteTag)) return kKindSheetData;
  return kKindPlainText;
}

void CColorSet::AppendPlainColor(int red, int green, int blue, const CString& name, int lineNumber) {
  CPaletteColor c(CRgbTriple(static_cast<BYTE>(red), static_cast<BYTE>(green), static_cast<BYTE>(blue)), name, 0,
                  lineNumber, kDefaultBeadsPerTube, 0);
  Append(c);
}

bool CColorSet::ReadTextPalette(CPaletteLineReader& file, CString& reason, int option) {
  imageLibPath_.Empty();
  imageLib_.Clear();
  reason.Empty();
  colors_.clear();
  Touch();

  CString line;
  if (!file.ReadLine(line)) return true;
  kind_ = DetectTextPaletteKind(line);
  if (kind_ == kKindSheetData) return ReadExtendedPalette(file, reason);
  if (kind_ == kKindSheetDataAndImage) return ReadExtendedMosaicPalette(file, reason);

  int lineNumber = 0;
  do {
    ++lineNumber;
    if (line.GetLength() == 0 || line[0] != '#') {
      int index = 0, r = 0, g = 0, b = 0, consumed = 0;
      const int n = std::sscanf(line.GetString(), "%d %d %d %d%n", &index, &r, &g, &b, &consumed);
      if (n != 4) {
        reason.Format("Invalid line %d of the palette file\n%s", lineNumber, line.GetString());
        return false;
      }
      // The optional name: the next word after white space.
      const char* p = line.GetString() + consumed;
      while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
      const char* end = p;
      while (*end && !(*end == ' ' || (*end >= '\t' && *end <= '\r'))) ++end;
      AppendPlainColor(r, g, b, CString(p, static_cast<int>(end - p)), lineNumber);
    }
    if (!OnTextLine(lineNumber)) return true;
  } while (file.ReadLine(line));
  return true;
}

bool CColorSet::ParseExtendedLine(const CString& lineRead, CPaletteColor& record, int& counter, CString& reason) {
  ++counter;
  CString line = lineRead;
  CString text;
  if (!CutDelimitedField(line, '{', '}', text)) {
    reason.Format("Invalid line %d of the palette file (mfg code)\n%s", counter, lineRead.GetString());
    return false;
  }
  record.mfgName = text;
  if (!CutDelimitedField(line, '(', ')', text) || !ParseUnsigned(text, record.price)) {
    reason.Format("Invalid line %d of the palette file (price)\n%s", counter, lineRead.GetString());
    return false;
  }
  record.SetInUse(CutDelimitedField(line, '[', ']', text) && text == "NO" ? 0 : 1);
  CString beadsText, tubeText, gramsText;
  const bool hasBeads = CutDelimitedField(line, '|', '|', beadsText);
  const bool hasTube = CutDelimitedField(line, '=', '=', tubeText);
  const bool hasGrams = CutDelimitedField(line, '~', '~', gramsText);

  int number = 0, r = 0, g = 0, b = 0;
  if (std::sscanf(line.GetString(), "%d %d %d %d", &number, &r, &g, &b) != 4) {
    reason.Format("Invalid line %d of the palette file\n%s", counter, lineRead.GetString());
    return false;
  }
  record.number = number;
  record.SetRgb(CRgbTriple(static_cast<BYTE>(r), static_cast<BYTE>(g), static_cast<BYTE>(b)));

  if (!hasBeads || !ParseUnsigned(beadsText, record.beadsPerTube)) record.beadsPerTube = kDefaultBeadsPerTube;
  if (!hasTube || !ParseUnsigned(tubeText, record.tubePrice) || record.tubePrice == 0)
    record.tubePrice = record.price * record.beadsPerTube / 10;
  float grams = 0.0f;
  record.grams = hasGrams && std::sscanf(gramsText.GetString(), "%f", &grams) == 1 ? grams : kDefaultGramsPerBead;
  return true;
}

bool CColorSet::ReadExtendedPalette(CPaletteLineReader& file, CString& reason) {
  reason.Empty();
  colors_.clear();
  Touch();
  int counter = 1;
  CString line;
  while (file.ReadLine(line)) {
    CPaletteColor record(CRgbTriple(), CString(), 0, 0, kDefaultBeadsPerTube, 0);
    if (!ParseExtendedLine(line, record, counter, reason)) return false;
    Append(record);
    if (!OnTextLine(counter)) return true;
  }
  return true;
}

bool CColorSet::ReadKeyLine(CPaletteLineReader& file, const char* key, CString& value) {
  CString line;
  if (!file.ReadLine(line)) return false;
  const int keyLength = static_cast<int>(std::strlen(key));
  if (!StartsWith(line, key) || line.GetLength() <= keyLength + 1 || line[keyLength] != '=') return false;
  value = line.Mid(keyLength + 1);
  return true;
}

bool CColorSet::ReadExtendedMosaicPalette(CPaletteLineReader& file, CString& reason) {
  CString value;
  if (!ReadKeyLine(file, "Version", value) || std::atoi(value.GetString()) <= 0) {
    reason = "Invalid Version";
    return false;
  }
  if (!ReadKeyLine(file, "ImageLibraryPath", value)) {
    reason = "Invalid Image Library Path";
    return false;
  }
  const int lineEnd = value.FindOneOf("\r\n");
  imageLibPath_ = lineEnd >= 0 ? value.Left(lineEnd) : value;

  reason.Empty();
  colors_.clear();
  Touch();
  int counter = 3;
  CString line, unused;
  while (file.ReadLine(line)) {
    CutDelimitedField(line, '!', '!', unused);
    CPaletteColor record(CRgbTriple(), CString(), 0, 0, kDefaultBeadsPerTube, 0);
    if (!ParseExtendedLine(line, record, counter, reason)) return false;
    Append(record);
    if (!OnTextLine(counter)) break;
  }

  if (!imageLibPath_.IsEmpty() && !IsExistingFile(imageLibPath_)) {
    // The library may have moved with the palette, or sit in the program's
    // "Palette" folder; only its file name is taken from the stored path.
    const CString name = GetPathFileName(imageLibPath_);
    if (!name.IsEmpty() && name != "." && name != "..") {
      const CString besidePalette = GetPathFolder(filePath_) + name;
      const CString inProgramFolder = GetProgramFolder() + "/Palette/" + name;
      if (!GetPathFolder(filePath_).IsEmpty() && IsExistingFile(besidePalette))
        imageLibPath_ = besidePalette;
      else if (IsExistingFile(inProgramFolder))
        imageLibPath_ = inProgramFolder;
    }
  }
  if (imageLibPath_.IsEmpty()) kind_ = kKindSheetData;
  return true;
}
