#include "pdflib/lib/document.h"

#include <hpdf.h>
#include <hpdf_doc.h>
#include <hpdf_objects.h>
#include <hpdf_pages.h>
#include <hpdf_streams.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <string_view>
#include <tuple>
#include <unordered_map>

#include "pdflib/lib/ascii.h"
#include "pdflib/lib/bmp.h"
#include "pdflib/lib/charref.h"
#include "pdflib/lib/codepage.h"
#include "pdflib/lib/content.h"
#include "pdflib/lib/errors.h"
#include "pdflib/lib/fonts.h"
#include "pdflib/lib/optlist.h"
#include "pdflib/lib/png.h"
#include "pdflib/lib/schemas.h"
#include "pdflib/lib/table.h"
#include "pdflib/lib/textflow.h"

#if !defined(HPDF_MAJOR_VERSION) || HPDF_MAJOR_VERSION != 2 || HPDF_MINOR_VERSION != 3
#error "the page content streams are written into libharu 2.3's page objects; check them for another version"
#endif

namespace qmpdf {
using namespace schemas;
namespace {

// ---- Helpers ----------------------------------------------------------------------------------

constexpr int kMaxTableColumns = 10000;
constexpr int kMaxTableRows = 1000000;
constexpr double kMinPage = 3, kMaxPage = 14400;  // PDF page size limits in points

std::string WithoutNul(std::string_view s) {
  std::string r;
  r.reserve(s.size());
  for (char c : s)
    if (c) r += c;
  return r;
}

void RequireFinite(std::initializer_list<double> values, const char* what) {
  for (double v : values)
    if (!std::isfinite(v)) Fail(kErrArgument, std::string(what) + " must be a finite number");
}

void RequirePositive(double v, const char* what) {
  if (!std::isfinite(v) || !(v > 0)) Fail(kErrArgument, std::string(what) + " must be above 0 (not " + std::to_string(v) + ")");
}

// A file name in the interface code page as a path of this system ("\" is a separator).
std::string FilePath(std::string_view name) {
  std::string path = CodePageToUtf8(name, InterfaceCodePage());
  for (char& c : path)
    if (c == '\\') c = '/';
  return path;
}

bool ReadFile(const std::string& path, std::vector<std::uint8_t>& data) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

// A JPEG file with a frame header of a usable size and 1, 3 or 4 components.
bool LooksLikeJpeg(const std::vector<std::uint8_t>& d) {
  if (d.size() < 4 || d[0] != 0xFF || d[1] != 0xD8) return false;
  std::size_t i = 2;
  while (i + 4 <= d.size()) {
    if (d[i] != 0xFF) return false;
    const std::uint8_t marker = d[i + 1];
    if (marker == 0xFF) {
      ++i;
      continue;
    }
    if (marker == 0xD8 || (marker >= 0xD0 && marker <= 0xD7) || marker == 0x01) {
      i += 2;
      continue;
    }
    const std::size_t len = static_cast<std::size_t>(d[i + 2]) << 8 | d[i + 3];
    if (len < 2 || i + 2 + len > d.size()) return false;
    const bool sof = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
    if (sof) {
      if (len < 8) return false;
      const unsigned height = static_cast<unsigned>(d[i + 5]) << 8 | d[i + 6];
      const unsigned width = static_cast<unsigned>(d[i + 7]) << 8 | d[i + 8];
      const unsigned components = d[i + 9];
      return width > 0 && height > 0 && (components == 1 || components == 3 || components == 4);
    }
    if (marker == 0xDA || marker == 0xD9) return false;
    i += 2 + len;
  }
  return false;
}

void AppendColor(std::string& out, const Color& c, bool stroke) {
  if (c.space == Color::Gray) {
    AppendNumber(out, c.c[0]);
    out += stroke ? " G\n" : " g\n";
  } else {
    for (int i = 0; i < 3; ++i) {
      AppendNumber(out, c.c[i]);
      out += ' ';
    }
    out += stroke ? "RG\n" : "rg\n";
  }
}

void AppendNumbers(std::string& out, std::initializer_list<double> values) {
  for (double v : values) {
    AppendNumber(out, v);
    out += ' ';
  }
}

// The object of a handle, or the error of a handle that is unknown or stale.
template <class Map>
auto At(Map& map, int handle, const char* kind) -> decltype((map.begin()->second)) {
  auto it = map.find(handle);
  if (it == map.end()) Fail(kErrHandle, std::string(kind) + " handle " + std::to_string(handle) + " is not valid");
  return it->second;
}

// Written into the dictionary of a page content stream that holds bytes
// compressed already, which libharu then writes as they are.
HPDF_STATUS WriteFlateFilter(HPDF_Dict, HPDF_Stream stream) { return HPDF_Stream_WriteStr(stream, "/Filter /FlateDecode\012"); }

}  // namespace

// ---- Document ---------------------------------------------------------------------------------

struct FontEntry {
  std::string name;  // as asked, for messages
  HPDF_Font font = nullptr;  // TrueType with an encoding
  std::unique_ptr<OutlineFont> outline;  // builtin: drawn as outlines
  FontMetrics metrics;
};

// A picture file's bytes as a key: their number, FNV-1a and the standard
// library's hash.
using ImageKey = std::tuple<std::size_t, std::uint64_t, std::size_t>;

namespace {

ImageKey KeyOf(const std::vector<std::uint8_t>& data) {
  std::uint64_t fnv = 14695981039346656037ull;
  for (std::uint8_t b : data) fnv = (fnv ^ b) * 1099511628211ull;
  const std::string_view bytes(reinterpret_cast<const char*>(data.data()), data.size());
  return ImageKey{data.size(), fnv, std::hash<std::string_view>{}(bytes)};
}

}  // namespace

struct ImageEntry {
  HPDF_Image image = nullptr;
  double width = 0, height = 0;
};

struct FlowEntry {
  std::shared_ptr<Textflow> flow;
  // The attributes in force for the next text.
  FlowStyle style;
  std::string fontname, encoding;
  bool charref = false;
  int ownerTable = 0;
};

struct TableEntry {
  Table table;
  std::vector<int> flows;
};

struct PageState {
  HPDF_Page page = nullptr;
  HPDF_Dict segment = nullptr;  // the content stream being written
  double width = 0, height = 0;
  bool suspended = false;
  std::string content;
  DeflateSink sink;
  // The state the caller set.
  Color fill, stroke;
  double lineWidth = 1;
  int font = -1;
  double fontSize = 0;
  std::string path;
  bool currentPoint = false;
  // The state written into the content so far.
  Color eFill, eStroke;
  double eLineWidth = 1;
  int eFont = -1;
  double eFontSize = 0;
  double eWordSpacing = 0;
  std::unordered_map<int, std::string> fontNames;
  // The states kept by save (q), restored by restore (Q).
  struct Saved {
    Color fill, stroke, eFill, eStroke;
    double lineWidth, eLineWidth, fontSize, eFontSize, eWordSpacing;
    int font, eFont;
  };
  std::vector<Saved> saved;
};

class Document final : public Measurer {
 public:
  Document(int fd, std::string path) : fd_(fd), path_(std::move(path)) {
    pdf_ = HPDF_New(&Document::OnError, this);
    if (!pdf_) {
      ::close(fd_);
      Fail(kErrMemory, "Out of memory");
    }
    try {
      Start();
    } catch (...) {
      HPDF_Free(pdf_);
      ::close(fd_);
      throw;
    }
  }

  void Start() {
    HPDF_SetCompressionMode(pdf_, HPDF_COMP_ALL);
    encoder_ = InterfaceCodePage() == 1251 ? "CP1251" : "CP1252";
    HPDF_SetCurrentEncoder(pdf_, encoder_);
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    HPDF_Date date{};
    date.year = tm.tm_year + 1900, date.month = tm.tm_mon + 1, date.day = tm.tm_mday;
    date.hour = tm.tm_hour, date.minutes = tm.tm_min, date.seconds = tm.tm_sec;
    date.ind = ' ';
    HPDF_SetInfoDateAttr(pdf_, HPDF_INFO_CREATION_DATE, date);
    Check("the document");
  }

  ~Document() override {
    if (pdf_) HPDF_Free(pdf_);
    if (fd_ >= 0) ::close(fd_);
  }

  const FontMetrics& Metrics(int font) const override { return fonts_.at(font).metrics; }

  // libharu reports errors to this handler and returns an error code.
  static void OnError(HPDF_STATUS error, HPDF_STATUS detail, void* user) {
    auto* d = static_cast<Document*>(user);
    if (!d->hpdfError_) d->hpdfError_ = error, d->hpdfDetail_ = detail;
  }
  void Check(const std::string& what) {
    if (!hpdfError_) return;
    char buf[96];
    std::snprintf(buf, sizeof buf, " (PDF writer error 0x%04X, detail %u)", static_cast<unsigned>(hpdfError_),
                  static_cast<unsigned>(hpdfDetail_));
    hpdfError_ = 0;
    HPDF_ResetError(pdf_);
    Fail(kErrWriter, "The PDF writer refused " + what + buf);
  }
  void Forget() {
    hpdfError_ = 0;
    HPDF_ResetError(pdf_);
  }

  void SetInfo(const std::string& key, const std::string& value) {
    HPDF_InfoType type;
    if (key == "Creator") type = HPDF_INFO_CREATOR;
    else if (key == "Author") type = HPDF_INFO_AUTHOR;
    else if (key == "Title") type = HPDF_INFO_TITLE;
    else if (key == "Subject") type = HPDF_INFO_SUBJECT;
    else type = HPDF_INFO_KEYWORDS;
    HPDF_SetInfoAttr(pdf_, type, value.c_str());
    Check("the document information " + key);
  }

  void Protect(const opt::Options& o) {
    const std::string& master = o.Text("masterpassword");
    const std::string& user = o.Text("userpassword");
    const bool permissions = o.Has("permissions");
    if (master.empty() && user.empty() && !permissions) return;
    if (master.empty()) Fail(kErrPassword, "A user password or permissions need a master password");
    if (master == user) Fail(kErrPassword, "The user and the master password must differ");
    HPDF_UINT p = 0xFFFFFFFCu;  // every right
    if (const opt::Value* v = o.Find("permissions")) {
      for (const std::string& w : v->words) {
        if (w == "noprint") p &= ~(HPDF_UINT(4) | HPDF_UINT(2048));  // printing, also at high quality
        if (w == "nomodify") p &= ~HPDF_UINT(8);
        if (w == "nocopy") p &= ~HPDF_UINT(16);
      }
    }
    HPDF_SetPassword(pdf_, master.c_str(), user.c_str());
    HPDF_SetPermission(pdf_, p);
    HPDF_SetEncryptionMode(pdf_, HPDF_ENCRYPT_R3, 16);
    Check("the passwords");
  }

  // ---- pages ----
  PageState& Current() { return *current_; }
  bool HasCurrent() const { return current_ != nullptr; }

  void BeginPage(double w, double h) {
    auto pg = std::make_unique<PageState>();
    pg->page = HPDF_AddPage(pdf_);
    Check("a new page");
    HPDF_Page_SetWidth(pg->page, static_cast<HPDF_REAL>(w));
    HPDF_Page_SetHeight(pg->page, static_cast<HPDF_REAL>(h));
    Check("the page size");
    pg->width = w, pg->height = h;
    pg->segment = static_cast<HPDF_PageAttr>(pg->page->attr)->contents;
    pages_.push_back(std::move(pg));
    current_ = pages_.back().get();
  }

  // Writes the content drawn since the page was begun or resumed.
  void CloseSegment(PageState& pg) {
    std::string data = pg.sink.Finish(pg.content);
    std::string().swap(pg.content);  // a suspended or ended page keeps no buffer
    HPDF_Dict seg = pg.segment;
    if (seg->write_fn && seg->write_fn != &WriteFlateFilter) Fail(kErrWriter, "Unexpected page content stream");
    seg->filter = HPDF_STREAM_FILTER_NONE;
    seg->write_fn = &WriteFlateFilter;
    HPDF_Stream_Write(seg->stream, reinterpret_cast<const HPDF_BYTE*>(data.data()), static_cast<HPDF_UINT>(data.size()));
    Check("the page content");
    pg.path.clear();
    pg.currentPoint = false;
  }

  void EndPage(int rotate) {
    PageState& pg = Current();
    if (rotate) {
      HPDF_Page_SetRotate(pg.page, static_cast<HPDF_UINT16>((rotate % 360 + 360) % 360));
      Check("the page rotation");
    }
    CloseSegment(pg);
    pg.fontNames.clear();
    current_ = nullptr;
  }

  void SuspendPage() {
    PageState& pg = Current();
    CloseSegment(pg);
    pg.suspended = true;
    current_ = nullptr;
  }

  void ResumePage(int number) {
    if (number < 1 || number > static_cast<int>(pages_.size()))
      Fail(kErrDocument, "There is no page " + std::to_string(number) + " (the document has " +
                             std::to_string(pages_.size()) + ")");
    PageState& pg = *pages_[static_cast<std::size_t>(number - 1)];
    if (!pg.suspended) Fail(kErrDocument, "Page " + std::to_string(number) + " is not suspended");
    HPDF_Dict seg = nullptr;
    HPDF_Page_New_Content_Stream(pg.page, &seg);
    Check("a new content stream");
    pg.segment = seg;
    pg.suspended = false;
    current_ = &pg;
  }

  int SuspendedPage() const {
    for (std::size_t i = 0; i < pages_.size(); ++i)
      if (pages_[i]->suspended) return static_cast<int>(i) + 1;
    return 0;
  }
  std::size_t PageCount() const { return pages_.size(); }

  int AddBookmark(const std::string& title, int handle) {
    PageState& pg = Current();
    HPDF_Outline outline = HPDF_CreateOutline(pdf_, nullptr, title.c_str(), HPDF_GetEncoder(pdf_, encoder_));
    Check("the bookmark");
    HPDF_Destination dst = HPDF_Page_CreateDestination(pg.page);
    Check("the bookmark destination");
    HPDF_Outline_SetDestination(outline, dst);
    Check("the bookmark destination");
    bookmarks_ = true;
    return handle;
  }

  void Save() {
    if (bookmarks_) HPDF_SetPageMode(pdf_, HPDF_PAGE_MODE_USE_OUTLINE);
    HPDF_SaveToStream(pdf_);
    Check("the document");
    HPDF_ResetStream(pdf_);
    std::vector<HPDF_BYTE> buf(1 << 20);
    off_t at = 0;
    for (;;) {
      HPDF_UINT32 n = static_cast<HPDF_UINT32>(buf.size());
      const HPDF_STATUS rc = HPDF_ReadFromStream(pdf_, buf.data(), &n);
      if (n > 0) {
        std::size_t done = 0;
        while (done < n) {
          const ssize_t w = ::pwrite(fd_, buf.data() + done, n - done, at);
          if (w < 0 && errno == EINTR) continue;
          if (w <= 0) {
            const int e = w < 0 ? errno : ENOSPC;
            Forget();
            if (::ftruncate(fd_, 0) != 0) {
              // The partial file stays; the caller removes it.
            }
            Fail(kErrWrite, "Cannot write '" + path_ + "': " + std::strerror(e));
          }
          done += static_cast<std::size_t>(w);
          at += w;
        }
      }
      if (rc == HPDF_STREAM_EOF) break;
      if (rc != HPDF_OK) {
        Forget();
        Fail(kErrWriter, "The PDF writer could not give out the document");
      }
    }
    Forget();
    if (::ftruncate(fd_, at) != 0) Fail(kErrWrite, "Cannot write '" + path_ + "': " + std::strerror(errno));
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) Fail(kErrWrite, "Cannot write '" + path_ + "': " + std::strerror(errno));
  }

  // ---- fonts ----
  int LoadFont(const std::string& name, const std::string& encoding, int handle) {
    const auto key = name + '\n' + encoding;
    if (auto it = fontCache_.find(key); it != fontCache_.end()) return it->second;
    const bool builtin = encoding == "builtin";
    const FaceRequest request = ParseFaceName(name);
    const FontFile file = FindFontFile(request, name, !builtin);
    FontEntry entry;
    entry.name = name;
    if (builtin) {
      entry.outline = std::make_unique<OutlineFont>(file, name);
      entry.metrics = entry.outline->Metrics();
    } else {
      if (!file.trueType)
        Fail(kErrFontUnusable, "Font '" + CodePageToUtf8(name, InterfaceCodePage()) + "' (" + file.path +
                                   ") is not a TrueType font and cannot be embedded with encoding " + encoding);
      const std::string fileKey = file.path + '\n' + std::to_string(file.index);
      auto it = ttfNames_.find(fileKey);
      if (it == ttfNames_.end()) {
        const bool collection =
            file.index > 0 || (file.path.size() > 4 && EqualNoCase(file.path.substr(file.path.size() - 4), ".ttc"));
        const char* loaded = collection
                                 ? HPDF_LoadTTFontFromFile2(pdf_, file.path.c_str(), static_cast<HPDF_UINT>(file.index), HPDF_TRUE)
                                 : HPDF_LoadTTFontFromFile(pdf_, file.path.c_str(), HPDF_TRUE);
        if (!loaded || hpdfError_) {
          Forget();
          Fail(kErrFontUnusable, "Font '" + CodePageToUtf8(name, InterfaceCodePage()) + "' (" + file.path +
                                     ") cannot be embedded by the PDF writer");
        }
        it = ttfNames_.emplace(fileKey, loaded).first;
      }
      entry.font = HPDF_GetFont(pdf_, it->second.c_str(), encoding == "cp1251" ? "CP1251" : "WinAnsiEncoding");
      if (!entry.font || hpdfError_) {
        Forget();
        Fail(kErrFontUnusable, "Font '" + CodePageToUtf8(name, InterfaceCodePage()) + "' cannot be used with encoding " + encoding);
      }
      AddToUnicode(entry.font, encoding == "cp1251" ? 1251 : 1252);
      // Measuring every code also puts its glyph into the embedded font and
      // its width into the font's widths, so what is measured is what is drawn.
      for (int b = 1; b < 256; ++b) {
        const HPDF_BYTE c = static_cast<HPDF_BYTE>(b);
        entry.metrics.widths[b] = static_cast<float>(HPDF_Font_TextWidth(entry.font, &c, 1).width);
      }
      entry.metrics.ascent = static_cast<float>(HPDF_Font_GetAscent(entry.font));
      entry.metrics.descent = static_cast<float>(HPDF_Font_GetDescent(entry.font));
      Check("the font metrics");
    }
    fonts_.emplace(handle, std::move(entry));
    fontCache_.emplace(key, handle);
    return handle;
  }

  const FontEntry& Font(int handle) const { return At(fonts_, handle, "Font"); }

  // The font's codes as Unicode (a ToUnicode map), so viewers that copy and
  // search text through it find every letter of the code page, Cyrillic
  // included. A font object of the writer is taken once per document.
  void AddToUnicode(HPDF_Font font, int codePage) {
    if (HPDF_Dict_GetItem(font, "ToUnicode", HPDF_OCLASS_DICT)) return;
    Forget();  // a missing key is no error
    std::string map =
        "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
        "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
        "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
        "1 begincodespacerange\n<00> <FF>\nendcodespacerange\n";
    std::vector<std::pair<int, char32_t>> codes;
    for (int b = 1; b < 256; ++b)
      if (const char32_t u = CodePageToUnicode(static_cast<unsigned char>(b), codePage); u != 0 && u <= 0xFFFF)
        codes.emplace_back(b, u);
    char line[32];
    for (size_t at = 0; at < codes.size(); at += 100) {
      const size_t n = std::min<size_t>(100, codes.size() - at);
      map += std::to_string(n) + " beginbfchar\n";
      for (size_t k = at; k < at + n; ++k) {
        std::snprintf(line, sizeof line, "<%02X> <%04X>\n", codes[k].first, static_cast<unsigned>(codes[k].second));
        map += line;
      }
      map += "endbfchar\n";
    }
    map += "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n";
    HPDF_Dict stream = HPDF_DictStream_New(pdf_->mmgr, pdf_->xref);
    if (!stream || hpdfError_) {
      Forget();
      Fail(kErrWriter, "The PDF writer cannot add the font's Unicode map");
    }
    stream->filter = HPDF_STREAM_FILTER_FLATE_DECODE;
    if (HPDF_Stream_Write(stream->stream, reinterpret_cast<const HPDF_BYTE*>(map.data()),
                          static_cast<HPDF_UINT>(map.size())) != HPDF_OK ||
        HPDF_Dict_Add(font, "ToUnicode", stream) != HPDF_OK || hpdfError_) {
      Forget();
      Fail(kErrWriter, "The PDF writer cannot add the font's Unicode map");
    }
  }

  // ---- drawing into the current page ----
  void EmitFill(PageState& pg, const Color& c) {
    if (pg.eFill != c) {
      AppendColor(pg.content, c, false);
      pg.eFill = c;
    }
  }
  void EmitStroke(PageState& pg, const Color& c, double lineWidth) {
    if (pg.eStroke != c) {
      AppendColor(pg.content, c, true);
      pg.eStroke = c;
    }
    if (pg.eLineWidth != lineWidth) {
      AppendNumber(pg.content, lineWidth);
      pg.content += " w\n";
      pg.eLineWidth = lineWidth;
    }
  }

  const std::string& FontResource(PageState& pg, int handle, HPDF_Font font) {
    auto it = pg.fontNames.find(handle);
    if (it != pg.fontNames.end()) return it->second;
    const char* local = HPDF_Page_GetLocalFontName(pg.page, font);
    if (!local) {
      Forget();
      Fail(kErrWriter, "The PDF writer cannot add the font to the page");
    }
    return pg.fontNames.emplace(handle, std::string("/") + local).first->second;
  }

  // Text of bytes without NUL, baseline from (x, y), turned by angle degrees.
  void DrawText(PageState& pg, int handle, double size, const Color& color, double x, double y, std::string_view text,
                double angle, double wordSpacing, bool underline, double width) {
    const FontEntry& f = Font(handle);
    EmitFill(pg, color);
    std::string& out = pg.content;
    const double rad = angle * M_PI / 180.0;
    const double cs = angle == 0 ? 1 : std::cos(rad), sn = angle == 0 ? 0 : std::sin(rad);
    if (f.font) {
      const std::string& res = FontResource(pg, handle, f.font);
      out += "BT\n";
      if (pg.eFont != handle || pg.eFontSize != size) {
        out += res;
        out += ' ';
        AppendNumber(out, size);
        out += " Tf\n";
        pg.eFont = handle;
        pg.eFontSize = size;
      }
      if (pg.eWordSpacing != wordSpacing) {
        AppendNumber(out, wordSpacing);
        out += " Tw\n";
        pg.eWordSpacing = wordSpacing;
      }
      if (angle == 0) {
        AppendNumbers(out, {x, y});
        out += "Td\n";
      } else {
        AppendNumbers(out, {cs, sn, -sn, cs, x, y});
        out += "Tm\n";
      }
      AppendLiteral(out, text.data(), text.size());
      out += " Tj\nET\n";
    } else {
      OutlineFont& o = *f.outline;
      const double s = size / o.UnitsPerEm();
      double pen = 0;
      for (char ch : text) {
        const auto b = static_cast<unsigned char>(ch);
        const std::string& glyph = o.Glyph(b);
        if (!glyph.empty()) {
          out += "q\n";
          AppendNumbers(out, {s * cs, s * sn, -s * sn, s * cs, x + pen * cs, y + pen * sn});
          out += "cm\n";
          out += glyph;
          out += o.EvenOdd(b) ? "f*\nQ\n" : "f\nQ\n";
        }
        pen += f.metrics.widths[b] * size / 1000.0 + (b == ' ' ? wordSpacing : 0);
      }
    }
    if (underline && width > 0) {
      const double thickness = size / 20.0;
      AppendNumbers(out, {x, y - size / 10.0 - thickness / 2, width, thickness});
      out += "re\nf\n";
    }
    pg.sink.Feed(pg.content);
  }

  void DrawImage(PageState& pg, int handle, double a, double b, double c, double d, double e, double f) {
    const ImageEntry& img = Image(handle);
    const char* name = HPDF_Page_GetXObjectName(pg.page, img.image);
    if (!name) {
      Forget();
      Fail(kErrWriter, "The PDF writer cannot add the picture to the page");
    }
    std::string& out = pg.content;
    out += "q\n";
    AppendNumbers(out, {a, b, c, d, e, f});
    out += "cm\n/";
    out += name;
    out += " Do\nQ\n";
    pg.sink.Feed(out);
  }

  // ---- images ----
  int LoadImage(const std::vector<std::uint8_t>& data, int handle) {
    // A picture loaded before with the same bytes (tiles of an empty area,
    // a page picture written again) is written into the file once; every
    // load still gets its own handle.
    const ImageKey key = KeyOf(data);
    if (auto it = loaded_.find(key); it != loaded_.end()) {
      images_.emplace(handle, images_.at(it->second));
      return handle;
    }
    HPDF_Image image = nullptr;
    if (LooksLikeJpeg(data)) {
      image = HPDF_LoadJpegImageFromMem(pdf_, data.data(), static_cast<HPDF_UINT>(data.size()));
    } else if (IsPng(data.data(), data.size())) {
      RgbImage rgb;
      std::vector<std::uint8_t> alpha;
      std::string why;
      if (!DecodePng(data.data(), data.size(), rgb, alpha, why)) return -1;
      image = HPDF_LoadRawImageFromMem(pdf_, rgb.rgb.data(), static_cast<HPDF_UINT>(rgb.width),
                                       static_cast<HPDF_UINT>(rgb.height), HPDF_CS_DEVICE_RGB, 8);
      if (image && !alpha.empty()) {
        HPDF_Image mask = HPDF_LoadRawImageFromMem(pdf_, alpha.data(), static_cast<HPDF_UINT>(rgb.width),
                                                   static_cast<HPDF_UINT>(rgb.height), HPDF_CS_DEVICE_GRAY, 8);
        if (mask) HPDF_Image_AddSMask(image, mask);
      }
    } else if (IsBmp(data.data(), data.size())) {
      RgbImage rgb;
      std::string why;
      if (!DecodeBmp(data.data(), data.size(), rgb, why)) return -1;
      image = HPDF_LoadRawImageFromMem(pdf_, rgb.rgb.data(), static_cast<HPDF_UINT>(rgb.width),
                                       static_cast<HPDF_UINT>(rgb.height), HPDF_CS_DEVICE_RGB, 8);
    } else {
      return -1;
    }
    if (!image || hpdfError_) {
      Forget();
      return -1;
    }
    ImageEntry entry;
    entry.image = image;
    entry.width = HPDF_Image_GetWidth(image);
    entry.height = HPDF_Image_GetHeight(image);
    if (hpdfError_ || entry.width <= 0 || entry.height <= 0) {
      Forget();
      return -1;
    }
    images_.emplace(handle, entry);
    loaded_.emplace(key, handle);
    return handle;
  }
  const ImageEntry& Image(int handle) const { return At(images_, handle, "Image"); }

  // ---- textflows and tables ----
  FlowEntry& Flow(int handle, bool forFitting) {
    FlowEntry& f = At(flows_, handle, "Textflow");
    if (f.ownerTable)
      Fail(kErrTextflowOwned, "Textflow " + std::to_string(handle) + " belongs to table " +
                                  std::to_string(f.ownerTable) + (forFitting ? " and is placed with it" : ""));
    return f;
  }
  std::map<int, FlowEntry>& Flows() { return flows_; }
  TableEntry& TableAt(int handle) { return At(tables_, handle, "Table"); }
  std::map<int, TableEntry>& Tables() { return tables_; }

 private:
  HPDF_Doc pdf_ = nullptr;
  int fd_ = -1;
  std::string path_;
  const char* encoder_ = "CP1252";
  HPDF_STATUS hpdfError_ = 0, hpdfDetail_ = 0;
  std::vector<std::unique_ptr<PageState>> pages_;
  PageState* current_ = nullptr;
  bool bookmarks_ = false;
  std::unordered_map<int, FontEntry> fonts_;
  std::unordered_map<std::string, int> fontCache_;
  std::unordered_map<std::string, std::string> ttfNames_;
  std::unordered_map<int, ImageEntry> images_;
  // The bytes of every picture loaded, by their size and two hashes of
  // different kinds: the first handle that loaded them.
  std::map<ImageKey, int> loaded_;
  std::map<int, FlowEntry> flows_;
  std::map<int, TableEntry> tables_;
};

namespace {

// The engines' drawing on the current page.
class PageCanvas final : public Canvas {
 public:
  PageCanvas(Document& doc, PageState& pg) : doc_(doc), pg_(pg) {}
  void Text(const TextRun& run) override {
    doc_.DrawText(pg_, run.font, run.size, run.color, run.x, run.y, run.text, 0, run.wordSpacing, run.underline,
                  run.width);
  }
  void FillRect(double x, double y, double w, double h, const Color& color) override {
    doc_.EmitFill(pg_, color);
    AppendNumbers(pg_.content, {x, y, w, h});
    pg_.content += "re\nf\n";
  }
  void StrokeRect(double x, double y, double w, double h, double lineWidth, const Color& color) override {
    doc_.EmitStroke(pg_, color, lineWidth);
    AppendNumbers(pg_.content, {x, y, w, h});
    pg_.content += "re\nS\n";
  }
  void Image(int image, double x, double y, double w, double h) override {
    doc_.DrawImage(pg_, image, w, 0, 0, h, x, y);
  }

 private:
  Document& doc_;
  PageState& pg_;
};

const char* ResultKeyword(FitResult r) {
  switch (r) {
    case FitResult::Stop: return "_stop";
    case FitResult::BoxFull: return "_boxfull";
    case FitResult::BoxEmpty: return "_boxempty";
  }
  return "_stop";
}

int EncodingCodePage(const std::string& encoding) {
  if (encoding == "cp1251") return 1251;
  if (encoding == "builtin") return 0;
  return 1252;
}

}  // namespace

// ---- Context ----------------------------------------------------------------------------------

Context::Context(void* opaque) : opaque_(opaque) {}
Context::~Context() = default;

void Context::SetError(int number, std::string message, const char* api) {
  raised_ = true;
  errorNumber_ = number;
  errorMessage_ = std::move(message);
  apiName_ = api;
}

void Context::Require(bool object, bool document, bool page) const {
  const bool ok = (scope_ == Scope::Object && object) || (scope_ == Scope::Document && document) ||
                  (scope_ == Scope::Page && page);
  if (ok) return;
  const char* names[] = {"object", "document", "page"};
  std::string allowed;
  const bool flags[] = {object, document, page};
  for (int i = 0; i < 3; ++i)
    if (flags[i]) allowed += std::string(allowed.empty() ? "" : " or ") + names[i];
  Fail(kErrScope, std::string("Function not allowed in ") + names[static_cast<int>(scope_)] + " scope (only in " +
                      allowed + " scope)");
}

void Context::SetParameter(std::string_view key, std::string_view value) {
  if (key == "binding") return;  // which binding calls: nothing to do
  if (key == "objorient") {
    if (value != "true" && value != "false") Fail(kErrOptionValue, "Parameter 'objorient' takes true or false");
    return;
  }
  Fail(kErrKeyword, "Unknown parameter '" + std::string(key) + "'");
}

void Context::SetInfo(std::string_view key, std::string_view value) {
  if (key != "Creator" && key != "Author" && key != "Title" && key != "Subject" && key != "Keywords")
    Fail(kErrKeyword, "Unknown document information key '" + std::string(key) +
                          "' (Creator, Author, Title, Subject or Keywords)");
  const std::string text = WithoutNul(value);
  if (scope_ == Scope::Object) {
    keptInfo_.emplace_back(std::string(key), text);
    return;
  }
  Doc().SetInfo(std::string(key), text);
}

int Context::BeginDocument(std::string_view filename, std::string_view optlist) {
  Require(true, false, false);
  const opt::Options o = opt::Parse(optlist, kBeginDocument);
  const std::string& master = o.Text("masterpassword");
  if (master.empty() && (o.Has("userpassword") || o.Has("permissions")))
    Fail(kErrPassword, "A user password or permissions need a master password");
  if (!master.empty() && master == o.Text("userpassword"))
    Fail(kErrPassword, "The user and the master password must differ");
  if (filename.empty()) return -1;
  const std::string path = FilePath(filename);
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return -1;
  auto doc = std::make_unique<Document>(fd, path);
  for (const auto& [k, v] : keptInfo_) doc->SetInfo(k, v);
  doc->Protect(o);
  doc_ = std::move(doc);
  keptInfo_.clear();
  scope_ = Scope::Document;
  return 1;
}

void Context::EndDocument(std::string_view optlist) {
  Require(false, true, false);
  opt::Parse(optlist, opt::kNoOptions);
  if (const int n = Doc().SuspendedPage())
    Fail(kErrDocument, "Page " + std::to_string(n) + " is still suspended; resume and end it first");
  if (Doc().PageCount() == 0) Fail(kErrDocument, "The document has no pages");
  Doc().Save();
  doc_.reset();
  scope_ = Scope::Object;
}

void Context::BeginPage(double width, double height, std::string_view optlist) {
  Require(false, true, false);
  const opt::Options o = opt::Parse(optlist, kBeginPage);
  if (o.Has("width")) width = o.Number("width");
  if (o.Has("height")) height = o.Number("height");
  RequirePositive(width, "Page width");
  RequirePositive(height, "Page height");
  if (width < kMinPage || width > kMaxPage || height < kMinPage || height > kMaxPage)
    Fail(kErrArgument, "Page size " + std::to_string(width) + " x " + std::to_string(height) +
                           " is outside 3 to 14400 points");
  Doc().BeginPage(width, height);
  scope_ = Scope::Page;
}

void Context::EndPage(std::string_view optlist) {
  Require(false, false, true);
  const opt::Options o = opt::Parse(optlist, kEndPage);
  const int rotate = static_cast<int>(o.Number("rotate"));
  if (rotate % 90 != 0) Fail(kErrOptionValue, "Bad value for option 'rotate': a multiple of 90 is expected");
  if (!Doc().Current().saved.empty()) Fail(kErrDocument, "The page has a save without its restore");
  Doc().EndPage(rotate);
  scope_ = Scope::Document;
}

void Context::SuspendPage(std::string_view optlist) {
  Require(false, false, true);
  opt::Parse(optlist, opt::kNoOptions);
  if (!Doc().Current().saved.empty()) Fail(kErrDocument, "The page has a save without its restore");
  Doc().SuspendPage();
  scope_ = Scope::Document;
}

void Context::ResumePage(std::string_view optlist) {
  Require(false, true, false);
  const opt::Options o = opt::Parse(optlist, kResumePage);
  if (!o.Has("pagenumber")) Fail(kErrOptionMissing, "Option 'pagenumber' is needed to resume a page");
  Doc().ResumePage(static_cast<int>(o.Number("pagenumber")));
  scope_ = Scope::Page;
}

int Context::CreateBookmark(std::string_view text, std::string_view optlist) {
  Require(false, false, true);
  opt::Parse(optlist, opt::kNoOptions);
  const int handle = Doc().AddBookmark(WithoutNul(text), nextBookmark_);
  ++nextBookmark_;
  return handle;
}

int Context::LoadFont(std::string_view name, std::string_view encoding, std::string_view optlist) {
  Require(false, true, true);
  opt::Parse(optlist, opt::kNoOptions);
  const std::string enc = LowerAscii(encoding);
  if (enc != "winansi" && enc != "cp1251" && enc != "builtin") return -1;
  const int handle = Doc().LoadFont(std::string(name), enc, nextFont_);
  if (handle == nextFont_) ++nextFont_;
  return handle;
}

void Context::SetFont(int font, double size) {
  Require(false, false, true);
  Doc().Font(font);
  RequirePositive(size, "Font size");
  Doc().Current().font = font;
  Doc().Current().fontSize = size;
}

double Context::StringWidth(std::string_view text, int font, double size) {
  Require(false, true, true);
  const FontEntry& f = Doc().Font(font);
  RequirePositive(size, "Font size");
  return TextWidth(f.metrics, text.data(), text.size(), size);
}

void Context::ShowXY(std::string_view text, double x, double y) {
  Require(false, false, true);
  RequireFinite({x, y}, "Text position");
  PageState& pg = Doc().Current();
  if (pg.font < 0) Fail(kErrNoFont, "No font is set (setfont) for the text");
  const std::string bytes = WithoutNul(text);
  Doc().DrawText(pg, pg.font, pg.fontSize, pg.fill, x, y, bytes, 0, 0, false, 0);
}

void Context::FitTextline(std::string_view text, double x, double y, std::string_view optlist) {
  Require(false, false, true);
  const opt::Options o = opt::Parse(optlist, kTextline);
  RequireFinite({x, y}, "Text position");
  PageState& pg = Doc().Current();
  if (pg.font < 0) Fail(kErrNoFont, "No font is set (setfont) for the text");
  const std::string bytes = WithoutNul(text);
  Doc().DrawText(pg, pg.font, pg.fontSize, pg.fill, x, y, bytes, o.Number("rotate"), 0, false, 0);
}

void Context::SetColor(std::string_view fstype, std::string_view colorspace, double c1, double c2, double c3,
                       double c4) {
  Require(false, false, true);
  const bool fill = EqualNoCase(fstype, "fill") || EqualNoCase(fstype, "both") || EqualNoCase(fstype, "fillstroke");
  const bool stroke =
      EqualNoCase(fstype, "stroke") || EqualNoCase(fstype, "both") || EqualNoCase(fstype, "fillstroke");
  if (!fill && !stroke) Fail(kErrKeyword, "Unknown colour use '" + std::string(fstype) + "' (fill, stroke or both)");
  Color c;
  if (EqualNoCase(colorspace, "rgb")) {
    c = Color::FromRgb(c1, c2, c3);
  } else if (EqualNoCase(colorspace, "gray")) {
    c = Color::GrayLevel(c1);
    c2 = c3 = 0;
  } else {
    Fail(kErrKeyword, "Unknown colour space '" + std::string(colorspace) + "' (rgb or gray)");
  }
  (void)c4;
  for (double v : {c1, c2, c3})
    if (!std::isfinite(v) || v < 0 || v > 1) Fail(kErrArgument, "Colour components must be from 0 to 1");
  PageState& pg = Doc().Current();
  if (fill) pg.fill = c;
  if (stroke) pg.stroke = c;
}

void Context::SetLineWidth(double width) {
  Require(false, false, true);
  RequirePositive(width, "Line width");
  Doc().Current().lineWidth = width;
}

void Context::Save() {
  Require(false, false, true);
  PageState& pg = Doc().Current();
  pg.saved.push_back(PageState::Saved{pg.fill, pg.stroke, pg.eFill, pg.eStroke, pg.lineWidth, pg.eLineWidth,
                                      pg.fontSize, pg.eFontSize, pg.eWordSpacing, pg.font, pg.eFont});
  pg.content += "q\n";
  pg.sink.Feed(pg.content);
}

void Context::Restore() {
  Require(false, false, true);
  PageState& pg = Doc().Current();
  if (pg.saved.empty()) Fail(kErrDocument, "restore without a matching save on this page");
  const PageState::Saved& s = pg.saved.back();
  pg.fill = s.fill, pg.stroke = s.stroke, pg.eFill = s.eFill, pg.eStroke = s.eStroke;
  pg.lineWidth = s.lineWidth, pg.eLineWidth = s.eLineWidth, pg.fontSize = s.fontSize, pg.eFontSize = s.eFontSize;
  pg.eWordSpacing = s.eWordSpacing, pg.font = s.font, pg.eFont = s.eFont;
  pg.saved.pop_back();
  pg.content += "Q\n";
  pg.sink.Feed(pg.content);
}

void Context::Clip() {
  Require(false, false, true);
  PageState& pg = Doc().Current();
  if (pg.path.empty()) Fail(kErrPath, "clip needs a path");
  pg.content += pg.path;
  pg.content += "W\nn\n";
  pg.path.clear();
  pg.currentPoint = false;
  pg.sink.Feed(pg.content);
}

void Context::MoveTo(double x, double y) {
  Require(false, false, true);
  RequireFinite({x, y}, "Point");
  PageState& pg = Doc().Current();
  AppendNumbers(pg.path, {x, y});
  pg.path += "m\n";
  pg.currentPoint = true;
}

void Context::LineTo(double x, double y) {
  Require(false, false, true);
  RequireFinite({x, y}, "Point");
  PageState& pg = Doc().Current();
  if (!pg.currentPoint) Fail(kErrPath, "lineto needs a current point (moveto first)");
  AppendNumbers(pg.path, {x, y});
  pg.path += "l\n";
}

void Context::Rect(double x, double y, double width, double height) {
  Require(false, false, true);
  RequireFinite({x, y, width, height}, "Rectangle");
  PageState& pg = Doc().Current();
  AppendNumbers(pg.path, {x, y, width, height});
  pg.path += "re\n";
  pg.currentPoint = true;
}

void Context::Fill() {
  Require(false, false, true);
  PageState& pg = Doc().Current();
  if (pg.path.empty()) Fail(kErrPath, "fill needs a path");
  Doc().EmitFill(pg, pg.fill);
  pg.content += pg.path;
  pg.content += "f\n";
  pg.path.clear();
  pg.currentPoint = false;
  pg.sink.Feed(pg.content);
}

void Context::Stroke() {
  Require(false, false, true);
  PageState& pg = Doc().Current();
  if (pg.path.empty()) Fail(kErrPath, "stroke needs a path");
  Doc().EmitStroke(pg, pg.stroke, pg.lineWidth);
  pg.content += pg.path;
  pg.content += "S\n";
  pg.path.clear();
  pg.currentPoint = false;
  pg.sink.Feed(pg.content);
}

int Context::LoadImage(std::string_view type, std::string_view filename, std::string_view optlist) {
  Require(false, true, true);
  opt::Parse(optlist, opt::kNoOptions);
  if (!EqualNoCase(type, "auto")) Fail(kErrKeyword, "Unknown image type '" + std::string(type) + "' (auto)");
  std::vector<std::uint8_t> data;
  if (filename.empty() || !ReadFile(FilePath(filename), data)) return -1;
  const int handle = Doc().LoadImage(data, nextImage_);
  if (handle > 0) ++nextImage_;
  return handle;
}

void Context::FitImage(int image, double x, double y, std::string_view optlist) {
  Require(false, false, true);
  const opt::Options o = opt::Parse(optlist, kFitImage);
  const ImageEntry& img = Doc().Image(image);
  RequireFinite({x, y}, "Picture position");
  const std::string& orient = o.Text("orientate");
  const int quarter = orient == "west" ? 1 : orient == "south" ? 2 : orient == "east" ? 3 : 0;
  // The picture as it stands after turning.
  const double rw = quarter % 2 ? img.height : img.width, rh = quarter % 2 ? img.width : img.height;
  double scale = 1, bx = rw, by = rh;
  if (const opt::Value* box = o.Find("boxsize")) {
    bx = box->numbers[0], by = box->numbers[1];
    RequirePositive(bx, "Box width");
    RequirePositive(by, "Box height");
    scale = std::min(bx / rw, by / rh);  // meet: the whole picture inside the box
  }
  const Position pos = o.Has("position") ? o.Find("position")->position : Position{HPos::Left, VPos::Bottom};
  const double w = rw * scale, h = rh * scale;
  const double px = x + (pos.h == HPos::Left ? 0 : pos.h == HPos::Right ? bx - w : (bx - w) / 2);
  const double py = y + (pos.v == VPos::Bottom ? 0 : pos.v == VPos::Top ? by - h : (by - h) / 2);
  // The picture's unit square onto the rectangle (px, py, w, h), turned.
  const double iw = img.width * scale, ih = img.height * scale;
  PageState& pg = Doc().Current();
  switch (quarter) {
    case 0: Doc().DrawImage(pg, image, iw, 0, 0, ih, px, py); break;
    case 1: Doc().DrawImage(pg, image, 0, iw, -ih, 0, px + ih, py); break;
    case 2: Doc().DrawImage(pg, image, -iw, 0, 0, -ih, px + iw, py + ih); break;
    default: Doc().DrawImage(pg, image, 0, -iw, ih, 0, px, py + iw); break;
  }
}

namespace {

// Applies a textflow option list to the attributes of a flow.
void ApplyFlowOptions(const opt::Options& o, FlowEntry& f) {
  if (o.Has("fontname")) f.fontname = o.Text("fontname");
  if (o.Has("encoding")) f.encoding = o.Text("encoding");
  if (o.Has("fontsize")) f.style.size = o.Number("fontsize");
  if (const opt::Value* v = o.Find("fillcolor")) f.style.fill = v->color;
  if (o.Has("underline")) f.style.underline = o.Flag("underline");
  if (o.Has("charref")) f.charref = o.Flag("charref");
  if (o.Has("alignment")) {
    const std::string& a = o.Text("alignment");
    f.style.align = a == "center" ? Align::Center : a == "right" ? Align::Right : a == "justify" ? Align::Justify : Align::Left;
  }
  if (o.Has("fontname") || o.Has("encoding")) f.style.font = -1;  // resolved before the next text
}

}  // namespace

// Adds text to a flow entry with the entry's attributes, loading its font
// when the attributes changed it.
static void AddFlowText(Context& ctx, Document& doc, FlowEntry& f, std::string_view text) {
  const std::string bytes = WithoutNul(text);
  if (bytes.empty()) return;
  if (f.style.font < 0) {
    if (f.fontname.empty() || f.encoding.empty())
      Fail(kErrOptionMissing, "Textflow text needs a font: give the options fontname and encoding");
    const int font = ctx.LoadFont(f.fontname, f.encoding, "");
    if (font < 0)
      Fail(kErrFontUnusable, "Textflow font '" + CodePageToUtf8(f.fontname, InterfaceCodePage()) +
                                 "' cannot be used with encoding " + f.encoding);
    f.style.font = font;
  }
  if (!(f.style.size > 0)) Fail(kErrOptionMissing, "Textflow text needs the option fontsize");
  const std::string decoded = f.charref ? DecodeCharrefs(bytes, EncodingCodePage(LowerAscii(f.encoding))) : bytes;
  f.flow->Append(decoded, f.style, doc);
}

int Context::CreateTextflow(std::string_view text, std::string_view optlist) {
  Require(false, true, true);
  FlowEntry f;
  f.flow = std::make_shared<Textflow>();
  ApplyFlowOptions(opt::Parse(optlist, kTextflow), f);
  // Inline option lists "<...>" change the attributes of the text after them.
  std::size_t i = 0;
  while (i < text.size()) {
    const std::size_t lt = text.find('<', i);
    AddFlowText(*this, Doc(), f, text.substr(i, lt == std::string_view::npos ? std::string_view::npos : lt - i));
    if (lt == std::string_view::npos) break;
    const std::size_t gt = text.find('>', lt + 1);
    if (gt == std::string_view::npos) Fail(kErrOptionSyntax, "Textflow text has a '<' without its '>'");
    ApplyFlowOptions(opt::Parse(text.substr(lt + 1, gt - lt - 1), kTextflow), f);
    i = gt + 1;
  }
  const int handle = nextFlow_++;
  Doc().Flows().emplace(handle, std::move(f));
  return handle;
}

int Context::AddTextflow(int flow, std::string_view text, std::string_view optlist) {
  Require(false, true, true);
  const opt::Options o = opt::Parse(optlist, kTextflow);
  FlowEntry* existing = flow == -1 ? nullptr : &Doc().Flow(flow, false);
  // Attributes are changed on a copy; the flow itself only grows, so a
  // failure leaves it as it was.
  FlowEntry f;
  if (existing) {
    f.style = existing->style;
    f.fontname = existing->fontname;
    f.encoding = existing->encoding;
    f.charref = existing->charref;
    f.flow = existing->flow;
  } else {
    f.flow = std::make_shared<Textflow>();
  }
  ApplyFlowOptions(o, f);
  AddFlowText(*this, Doc(), f, text);
  if (existing) {
    existing->style = f.style;
    existing->fontname = f.fontname;
    existing->encoding = f.encoding;
    existing->charref = f.charref;
    return flow;
  }
  const int handle = nextFlow_++;
  Doc().Flows().emplace(handle, std::move(f));
  return handle;
}

const char* Context::FitTextflow(int flow, double llx, double lly, double urx, double ury, std::string_view optlist) {
  Require(false, false, true);
  const opt::Options o = opt::Parse(optlist, kFitTextflow);
  FlowEntry& f = Doc().Flow(flow, true);
  RequireFinite({llx, lly, urx, ury}, "Textflow box");
  const Box box = NormalBox(llx, lly, urx, ury);
  RequirePositive(box.Width(), "Textflow box width");
  RequirePositive(box.Height(), "Textflow box height");
  FlowFitOptions fit;
  const std::string& va = o.Text("verticalalign");
  fit.valign = va == "center" ? VAlign::Center : va == "bottom" ? VAlign::Bottom : va == "justify" ? VAlign::Justify : VAlign::Top;
  if (const opt::Value* v = o.Find("linespreadlimit")) {
    fit.hasSpreadLimit = true;
    fit.spreadLimit = v->number;
    fit.spreadPercent = v->percent;
  }
  PageCanvas canvas(Doc(), Doc().Current());
  return ResultKeyword(f.flow->Fit(box, fit, Doc(), &canvas));
}

int Context::AddTableCell(int table, int column, int row, std::string_view text, std::string_view optlist) {
  Require(false, true, true);
  const opt::Options o = opt::Parse(optlist, kTableCell);
  TableEntry* entry = table == -1 ? nullptr : &Doc().TableAt(table);
  if (column < 1 || column > kMaxTableColumns || row < 1 || row > kMaxTableRows)
    Fail(kErrArgument, "Table cell column " + std::to_string(column) + ", row " + std::to_string(row) +
                           " is outside 1 to " + std::to_string(kMaxTableColumns) + " columns and 1 to " +
                           std::to_string(kMaxTableRows) + " rows");
  TableCell cell;
  cell.column = column;
  cell.row = row;
  cell.text = WithoutNul(text);
  cell.colspan = static_cast<int>(o.Number("colspan", 1));
  if (column + cell.colspan - 1 > kMaxTableColumns) Fail(kErrArgument, "Table cell spans beyond the last column");
  if (const opt::Value* v = o.Find("colwidth")) {
    if (cell.colspan != 1) Fail(kErrTableCell, "Option 'colwidth' belongs to cells of one column");
    cell.hasColwidth = true;
    cell.colwidth = v->number;
    cell.colwidthPercent = v->percent;
  }
  cell.marginLeft = o.Number("marginleft", cell.marginLeft);
  cell.marginRight = o.Number("marginright", cell.marginRight);
  cell.marginTop = o.Number("margintop", cell.marginTop);
  cell.marginBottom = o.Number("marginbottom", cell.marginBottom);
  if (const opt::Value* v = o.Find("matchbox")) {
    if (const opt::Value* fc = v->lists[0].Find("fillcolor")) {
      cell.hasFill = true;
      cell.fill = fc->color;
    }
  }
  int kinds = 0;
  if (const opt::Value* v = o.Find("fittextline")) {
    const opt::Options& t = v->lists[0];
    if (!t.Has("font") || !t.Has("fontsize"))
      Fail(kErrOptionMissing, "Option 'fittextline' needs font and fontsize");
    cell.textline = true;
    cell.font = static_cast<int>(t.Number("font"));
    Doc().Font(cell.font);
    cell.fontsize = t.Number("fontsize");
    if (const opt::Value* p = t.Find("position")) cell.textPosition = p->position;
    ++kinds;
  } else if (!cell.text.empty()) {
    Fail(kErrOptionMissing, "Table cell text needs the option fittextline with its font and size");
  }
  int flowHandle = 0;
  if (o.Has("textflow")) {
    flowHandle = static_cast<int>(o.Number("textflow"));
    cell.flow = Doc().Flow(flowHandle, false).flow;
    ++kinds;
  }
  if (o.Has("image")) {
    cell.image = static_cast<int>(o.Number("image"));
    const ImageEntry& img = Doc().Image(cell.image);
    cell.imageWidth = img.width;
    cell.imageHeight = img.height;
    if (const opt::Value* v = o.Find("fitimage"))
      if (const opt::Value* p = v->lists[0].Find("position")) cell.imagePosition = p->position;
    ++kinds;
  }
  if (kinds > 1) Fail(kErrTableCell, "A table cell holds one of a text line, a textflow or a picture");

  int handle = table;
  if (!entry) {
    TableEntry fresh;
    fresh.table.AddCell(std::move(cell));
    handle = nextTable_++;
    entry = &Doc().Tables().emplace(handle, std::move(fresh)).first->second;
  } else {
    entry->table.AddCell(std::move(cell));
  }
  if (flowHandle) {
    Doc().Flows().at(flowHandle).ownerTable = handle;
    entry->flows.push_back(flowHandle);
  }
  return handle;
}

const char* Context::FitTable(int table, double llx, double lly, double urx, double ury, std::string_view optlist) {
  Require(false, false, true);
  const opt::Options o = opt::Parse(optlist, kFitTable);
  TableEntry& t = Doc().TableAt(table);
  RequireFinite({llx, lly, urx, ury}, "Table box");
  const Box box = NormalBox(llx, lly, urx, ury);
  RequirePositive(box.Width(), "Table box width");
  RequirePositive(box.Height(), "Table box height");
  TableFitOptions fit;
  fit.headerRows = static_cast<int>(o.Number("header"));
  fit.rules = o.Has("stroke") && !o.Find("stroke")->lists.empty();
  PageCanvas canvas(Doc(), Doc().Current());
  return ResultKeyword(t.table.Fit(box, fit, Doc(), &canvas));
}

double Context::InfoTable(int table, std::string_view keyword) {
  Require(false, true, true);
  TableEntry& t = Doc().TableAt(table);
  if (!EqualNoCase(keyword, "rowcount")) Fail(kErrKeyword, "Unknown table keyword '" + std::string(keyword) + "' (rowcount)");
  return t.table.LastRowCount();
}

void Context::DeleteTable(int table, std::string_view optlist) {
  Require(false, true, true);
  opt::Parse(optlist, opt::kNoOptions);
  TableEntry& t = Doc().TableAt(table);
  for (int flow : t.flows) Doc().Flows().erase(flow);
  Doc().Tables().erase(table);
}

}  // namespace qmpdf
