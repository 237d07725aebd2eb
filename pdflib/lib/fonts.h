// Font faces: a face name of the program ("Arial", "Times-Roman",
// "Tahoma,Bold") is found through the face aliases of the drawing layer, the
// PDF core names and fontconfig, never replaced by another face; symbol
// faces are drawn as outlines read with FreeType.
#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "pdflib/lib/types.h"

typedef struct FT_LibraryRec_* FT_Library;
typedef struct FT_FaceRec_* FT_Face;

namespace qmpdf {

struct FaceAlias {
  const char* name;    // lower case
  const char* family;  // installed family
};
// Windows face names, mapped exactly as the drawing layer maps them.
const std::vector<FaceAlias>& WindowsFaceAliases();
// PDF core font names of the program's option lists.
const std::vector<FaceAlias>& PdfCoreFaceAliases();

struct FaceRequest {
  std::string family;  // UTF-8
  bool bold = false;
  bool italic = false;
};
// "Name" or "Name,Bold", "Name,Italic", "Name,BoldItalic" (bytes in the
// interface code page) with the aliases applied. Throws for an empty name or
// an unknown style.
FaceRequest ParseFaceName(std::string_view name);

struct FontFile {
  std::string path;
  int index = 0;
  bool trueType = false;  // glyf outlines (embeddable as TrueType)
  std::string family;
};
// The installed file of a face; with preferTrueType a TrueType file of the
// family is taken over others. Throws kErrFontMissing naming the face when
// the family is not installed.
FontFile FindFontFile(const FaceRequest& request, std::string_view shownName, bool preferTrueType);

// A face drawn as filled outlines: code b is looked up in the font's symbol
// character map (b, then U+F000 + b), else its own encoding, else its
// Unicode map (b itself, then the character of b in the interface code page).
class OutlineFont {
 public:
  OutlineFont(const FontFile& file, std::string_view shownName);
  ~OutlineFont();
  OutlineFont(const OutlineFont&) = delete;
  OutlineFont& operator=(const OutlineFont&) = delete;

  const FontMetrics& Metrics() const { return metrics_; }
  double UnitsPerEm() const { return unitsPerEm_; }
  // The glyph of code b as path operators in font units ("m", "l", "c",
  // "h"), empty for a glyph without outline.
  const std::string& Glyph(unsigned char b);
  bool EvenOdd(unsigned char b);

 private:
  void Load(unsigned char b);
  FT_Library library_ = nullptr;
  FT_Face face_ = nullptr;
  double unitsPerEm_ = 1000;
  FontMetrics metrics_;
  std::array<unsigned, 256> glyph_{};
  std::array<std::optional<std::string>, 256> paths_;
  std::array<bool, 256> evenOdd_{};
};

}  // namespace qmpdf
