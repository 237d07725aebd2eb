#include "pdflib/lib/fonts.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <map>
#include <mutex>
#include <tuple>

#include "pdflib/lib/ascii.h"
#include "pdflib/lib/codepage.h"
#include "pdflib/lib/content.h"
#include "pdflib/lib/errors.h"

namespace qmpdf {
namespace {

std::string Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return std::string(s);
}

const char* Lookup(const std::vector<FaceAlias>& table, const std::string& lower) {
  for (const FaceAlias& a : table)
    if (lower == a.name) return a.family;
  return nullptr;
}

std::mutex g_fontconfigMutex;

// The library's own font configuration, released at exit (the shared one
// of FcInit is never released).
struct FontConfig {
  FcConfig* config = nullptr;
  ~FontConfig() {
    if (config) FcConfigDestroy(config);
  }
};
FcConfig* Config() {
  static FontConfig holder;
  if (!holder.config) holder.config = FcInitLoadConfigAndFonts();
  return holder.config;
}

}  // namespace

const std::vector<FaceAlias>& WindowsFaceAliases() {
  static const std::vector<FaceAlias> table = {
      {"arial", "Liberation Sans"},         {"times new roman", "Liberation Serif"},
      {"courier new", "Liberation Mono"},   {"courier", "Liberation Mono"},
      {"tahoma", "DejaVu Sans"},            {"verdana", "DejaVu Sans"},
      {"ms sans serif", "DejaVu Sans"},     {"microsoft sans serif", "DejaVu Sans"},
      {"ms shell dlg", "DejaVu Sans"},      {"ms shell dlg 2", "DejaVu Sans"},
      {"system", "DejaVu Sans"},            {"symbol", "Standard Symbols PS"},
  };
  return table;
}

const std::vector<FaceAlias>& PdfCoreFaceAliases() {
  static const std::vector<FaceAlias> table = {
      {"helvetica", "Liberation Sans"},
      {"times-roman", "Liberation Serif"},
      {"courier", "Liberation Mono"},
      {"century", "Liberation Serif"},
  };
  return table;
}

FaceRequest ParseFaceName(std::string_view name) {
  FaceRequest r;
  std::string_view base = name;
  const std::size_t comma = name.find(',');
  if (comma != std::string_view::npos) {
    base = name.substr(0, comma);
    const std::string style = LowerAscii(Trim(name.substr(comma + 1)));
    if (style == "bold") r.bold = true;
    else if (style == "italic") r.italic = true;
    else if (style == "bolditalic") r.bold = r.italic = true;
    else Fail(kErrFontMissing, "Font '" + CodePageToUtf8(name, InterfaceCodePage()) + "' has an unknown style");
  }
  const std::string trimmed = Trim(base);
  if (trimmed.empty()) Fail(kErrFontMissing, "Empty font name");
  const std::string lower = LowerAscii(trimmed);
  if (const char* f = Lookup(WindowsFaceAliases(), lower)) r.family = f;
  else if (const char* g = Lookup(PdfCoreFaceAliases(), lower)) r.family = g;
  else r.family = CodePageToUtf8(trimmed, InterfaceCodePage());
  return r;
}

FontFile FindFontFile(const FaceRequest& request, std::string_view shownName, bool preferTrueType) {
  static std::map<std::tuple<std::string, bool, bool, bool>, FontFile> cache;
  std::lock_guard<std::mutex> lock(g_fontconfigMutex);
  const auto key = std::make_tuple(request.family, request.bold, request.italic, preferTrueType);
  if (auto it = cache.find(key); it != cache.end()) return it->second;

  FcConfig* config = Config();
  if (!config) Fail(kErrFontMissing, "The font configuration cannot be read");
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(request.family.c_str()));
  FcPatternAddInteger(pattern, FC_WEIGHT, request.bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern, FC_SLANT, request.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcConfigSubstitute(config, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcFontSet* set = FcFontSort(config, pattern, FcFalse, nullptr, &result);
  FcPatternDestroy(pattern);

  const std::string wanted = LowerAscii(request.family);
  std::optional<FontFile> best, bestTrueType;
  for (int i = 0; set && i < set->nfont && !(bestTrueType || (best && !preferTrueType)); ++i) {
    FcPattern* font = set->fonts[i];
    bool familyMatches = false;
    FcChar8* family = nullptr;
    for (int k = 0; FcPatternGetString(font, FC_FAMILY, k, &family) == FcResultMatch; ++k)
      if (LowerAscii(reinterpret_cast<const char*>(family)) == wanted) familyMatches = true;
    if (!familyMatches) continue;
    FcChar8* file = nullptr;
    if (FcPatternGetString(font, FC_FILE, 0, &file) != FcResultMatch) continue;
    FontFile f;
    f.path = reinterpret_cast<const char*>(file);
    FcPatternGetInteger(font, FC_INDEX, 0, &f.index);
    FcChar8* format = nullptr;
    f.trueType = FcPatternGetString(font, FC_FONTFORMAT, 0, &format) == FcResultMatch &&
                 std::string_view(reinterpret_cast<const char*>(format)) == "TrueType";
    FcPatternGetString(font, FC_FAMILY, 0, &family);
    f.family = reinterpret_cast<const char*>(family);
    if (!best) best = f;
    if (f.trueType && !bestTrueType) bestTrueType = f;
  }
  if (set) FcFontSetDestroy(set);
  if (!best) {
    std::string message = "Font '" + CodePageToUtf8(shownName, InterfaceCodePage()) + "' is not installed";
    if (LowerAscii(request.family) != LowerAscii(CodePageToUtf8(Trim(shownName.substr(0, shownName.find(','))),
                                                                InterfaceCodePage())))
      message += " (looked for the family '" + request.family + "')";
    Fail(kErrFontMissing, message);
  }
  const FontFile chosen = preferTrueType && bestTrueType ? *bestTrueType : *best;
  cache.emplace(key, chosen);
  return chosen;
}

OutlineFont::OutlineFont(const FontFile& file, std::string_view shownName) {
  const std::string shown = CodePageToUtf8(shownName, InterfaceCodePage());
  if (FT_Init_FreeType(&library_)) Fail(kErrFontUnusable, "Font '" + shown + "': FreeType cannot start");
  if (FT_New_Face(library_, file.path.c_str(), file.index, &face_) || !FT_IS_SCALABLE(face_)) {
    if (face_) FT_Done_Face(face_);
    face_ = nullptr;
    FT_Done_FreeType(library_);
    library_ = nullptr;
    Fail(kErrFontUnusable, "Font '" + shown + "' (" + file.path + ") cannot be read as outlines");
  }
  unitsPerEm_ = face_->units_per_EM > 0 ? face_->units_per_EM : 1000;
  metrics_.ascent = static_cast<float>(face_->ascender * 1000.0 / unitsPerEm_);
  metrics_.descent = static_cast<float>(face_->descender * 1000.0 / unitsPerEm_);

  FT_CharMap symbol = nullptr, own = nullptr, unicode = nullptr;
  for (int i = 0; i < face_->num_charmaps; ++i) {
    FT_CharMap cm = face_->charmaps[i];
    if (cm->encoding == FT_ENCODING_MS_SYMBOL && !symbol) symbol = cm;
    if ((cm->encoding == FT_ENCODING_ADOBE_CUSTOM || cm->encoding == FT_ENCODING_ADOBE_STANDARD) && !own) own = cm;
    if (cm->encoding == FT_ENCODING_UNICODE && !unicode) unicode = cm;
  }
  const int codePage = InterfaceCodePage();
  for (int b = 1; b < 256; ++b) {
    unsigned gid = 0;
    if (symbol && !FT_Set_Charmap(face_, symbol)) {
      gid = FT_Get_Char_Index(face_, static_cast<FT_ULong>(b));
      if (!gid) gid = FT_Get_Char_Index(face_, 0xF000u | static_cast<FT_ULong>(b));
    }
    if (!gid && own && !FT_Set_Charmap(face_, own)) gid = FT_Get_Char_Index(face_, static_cast<FT_ULong>(b));
    if (!gid && unicode && !FT_Set_Charmap(face_, unicode)) {
      // The code itself (symbol fonts often list their codes so), then
      // the character of the code in the interface code page.
      gid = FT_Get_Char_Index(face_, static_cast<FT_ULong>(b));
      const char32_t u = CodePageToUnicode(static_cast<unsigned char>(b), codePage);
      if (!gid && u) gid = FT_Get_Char_Index(face_, u);
    }
    glyph_[b] = gid;
    float width = 0;
    if (!FT_Load_Glyph(face_, gid, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP))
      width = static_cast<float>(face_->glyph->metrics.horiAdvance * 1000.0 / unitsPerEm_);
    metrics_.widths[b] = width;
  }
}

OutlineFont::~OutlineFont() {
  if (face_) FT_Done_Face(face_);
  if (library_) FT_Done_FreeType(library_);
}

namespace {

struct PathBuilder {
  std::string* out;
  double x = 0, y = 0;
  bool open = false;
  void Point(double px, double py) {
    AppendNumber(*out, px);
    *out += ' ';
    AppendNumber(*out, py);
    *out += ' ';
  }
};

int MoveTo(const FT_Vector* to, void* user) {
  auto* b = static_cast<PathBuilder*>(user);
  if (b->open) *b->out += "h\n";
  b->Point(to->x, to->y);
  *b->out += "m\n";
  b->x = to->x, b->y = to->y, b->open = true;
  return 0;
}

int LineTo(const FT_Vector* to, void* user) {
  auto* b = static_cast<PathBuilder*>(user);
  b->Point(to->x, to->y);
  *b->out += "l\n";
  b->x = to->x, b->y = to->y;
  return 0;
}

int ConicTo(const FT_Vector* c, const FT_Vector* to, void* user) {
  auto* b = static_cast<PathBuilder*>(user);
  // The quadratic segment as a cubic one.
  b->Point(b->x + 2.0 / 3.0 * (c->x - b->x), b->y + 2.0 / 3.0 * (c->y - b->y));
  b->Point(to->x + 2.0 / 3.0 * (c->x - to->x), to->y + 2.0 / 3.0 * (c->y - to->y));
  b->Point(to->x, to->y);
  *b->out += "c\n";
  b->x = to->x, b->y = to->y;
  return 0;
}

int CubicTo(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user) {
  auto* b = static_cast<PathBuilder*>(user);
  b->Point(c1->x, c1->y);
  b->Point(c2->x, c2->y);
  b->Point(to->x, to->y);
  *b->out += "c\n";
  b->x = to->x, b->y = to->y;
  return 0;
}

}  // namespace

void OutlineFont::Load(unsigned char b) {
  std::string path;
  if (b && !FT_Load_Glyph(face_, glyph_[b], FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) &&
      face_->glyph->format == FT_GLYPH_FORMAT_OUTLINE) {
    FT_Outline_Funcs funcs{};
    funcs.move_to = MoveTo;
    funcs.line_to = LineTo;
    funcs.conic_to = ConicTo;
    funcs.cubic_to = CubicTo;
    PathBuilder builder{&path};
    if (FT_Outline_Decompose(&face_->glyph->outline, &funcs, &builder) == 0) {
      if (builder.open) path += "h\n";
    } else {
      path.clear();
    }
    evenOdd_[b] = (face_->glyph->outline.flags & FT_OUTLINE_EVEN_ODD_FILL) != 0;
  }
  paths_[b] = std::move(path);
}

const std::string& OutlineFont::Glyph(unsigned char b) {
  if (!paths_[b]) Load(b);
  return *paths_[b];
}

bool OutlineFont::EvenOdd(unsigned char b) {
  if (!paths_[b]) Load(b);
  return evenOdd_[b];
}

}  // namespace qmpdf
