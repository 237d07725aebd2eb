// Reading text palettes: the line reader and the field cutter.
#pragma once

#include <vector>

#include "platform/base.h"

// Lines of a text file as a text-mode read gives them: a carriage return
// before a line feed is dropped, and a line is handed out in pieces of at
// most 510 characters, each piece counting as a line. A line keeps its line
// feed; text after a NUL byte in a line is not part of it.
class CPaletteLineReader {
 public:
  static constexpr int kMaxPiece = 510;

  // Reads from a caller-owned buffer that outlives the reader.
  CPaletteLineReader(const BYTE* bytes, size_t size) : bytes_(bytes), size_(size) {}
  explicit CPaletteLineReader(const std::vector<BYTE>& bytes) : bytes_(bytes.data()), size_(bytes.size()) {}

  // False at the end of the text.
  bool ReadLine(CString& line);
  bool AtEnd() const { return position_ >= size_; }

 private:
  const BYTE* bytes_;
  size_t size_;
  size_t position_ = 0;
};

// Cuts a field from a line: the first `open` (neither the line's first nor
// its last character), then the next `close` after it; `text` takes what lies
// between. The line loses the character just before `open`, the field and
// its delimiters. False (line unchanged) when the field is absent.
bool CutDelimitedField(CString& line, char open, char close, CString& text);

// The first lines that tell the text palette kinds apart.
extern const char kExtendedMosaicPaletteTag[];
extern const char kExtendedPaletteTag[];
