// Fonts and text: LOGFONT to an installed font through one face-name table,
// GDI's height rules, narrow text in the code page of the font's character
// set (the interface's for the default set; symbol fonts by their own byte
// codes), and text drawn glyph by glyph at whole-pixel
// advances so that measured and drawn widths agree. Text is drawn without
// anti-aliasing unless the font asks for it.
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <map>
#include <unordered_map>

#include "platform/base/codepage.h"
#include "platform/gdi/internal.h"

namespace qmgdi {

struct FontFace {
  QFont font;
  LOGFONT lf{};
  bool antialias = false;
  enum Symbol { None, AdobeSymbol, PrivateUse, Latin1 } symbol = None;
  int ascent = 0, descent = 0, internalLeading = 0, externalLeading = 0, avgWidth = 0, maxWidth = 0, em = 0;
  bool fixedPitch = false;
  // The code page narrow text is decoded in; 0: the interface's.
  UINT codePage = 0;
  mutable std::mutex mu;
  mutable std::unordered_map<char32_t, int> advances;
  int Advance(char32_t c) const {
    std::lock_guard<std::mutex> g(mu);
    auto it = advances.find(c);
    if (it != advances.end()) return it->second;
    const QFontMetrics fm(font);
    int w = 0;
    if (c >= 0x20 && c != 0x7F) {
      const char32_t cs[1] = {c};
      w = fm.horizontalAdvance(QString::fromUcs4(cs, 1));
    }
    advances.emplace(c, w);
    return w;
  }
};

namespace {

// Adobe's symbol encoding from 0x20 to 0xFF (0 = no glyph).
const char16_t kSymbolTable[224] = {
    0x0020, 0x0021, 0x2200, 0x0023, 0x2203, 0x0025, 0x0026, 0x220B, 0x0028, 0x0029, 0x2217, 0x002B, 0x002C, 0x2212,
    0x002E, 0x002F, 0x0030, 0x0031, 0x0032, 0x0033, 0x0034, 0x0035, 0x0036, 0x0037, 0x0038, 0x0039, 0x003A, 0x003B,
    0x003C, 0x003D, 0x003E, 0x003F, 0x2245, 0x0391, 0x0392, 0x03A7, 0x0394, 0x0395, 0x03A6, 0x0393, 0x0397, 0x0399,
    0x03D1, 0x039A, 0x039B, 0x039C, 0x039D, 0x039F, 0x03A0, 0x0398, 0x03A1, 0x03A3, 0x03A4, 0x03A5, 0x03C2, 0x03A9,
    0x039E, 0x03A8, 0x0396, 0x005B, 0x2234, 0x005D, 0x22A5, 0x005F, 0x203E, 0x03B1, 0x03B2, 0x03C7, 0x03B4, 0x03B5,
    0x03C6, 0x03B3, 0x03B7, 0x03B9, 0x03D5, 0x03BA, 0x03BB, 0x03BC, 0x03BD, 0x03BF, 0x03C0, 0x03B8, 0x03C1, 0x03C3,
    0x03C4, 0x03C5, 0x03D6, 0x03C9, 0x03BE, 0x03C8, 0x03B6, 0x007B, 0x007C, 0x007D, 0x223C, 0,
    // 0x80 - 0x9F
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    // 0xA0 - 0xFF
    0x20AC, 0x03D2, 0x2032, 0x2264, 0x2044, 0x221E, 0x0192, 0x2663, 0x2666, 0x2665, 0x2660, 0x2194, 0x2190, 0x2191,
    0x2192, 0x2193, 0x00B0, 0x00B1, 0x2033, 0x2265, 0x00D7, 0x221D, 0x2202, 0x2022, 0x00F7, 0x2260, 0x2261, 0x2248,
    0x2026, 0x23D0, 0x23AF, 0x21B5, 0x2135, 0x2111, 0x211C, 0x2118, 0x2297, 0x2295, 0x2205, 0x2229, 0x222A, 0x2283,
    0x2287, 0x2284, 0x2282, 0x2286, 0x2208, 0x2209, 0x2220, 0x2207, 0x00AE, 0x00A9, 0x2122, 0x220F, 0x221A, 0x22C5,
    0x00AC, 0x2227, 0x2228, 0x21D4, 0x21D0, 0x21D1, 0x21D2, 0x21D3, 0x25CA, 0x2329, 0x00AE, 0x00A9, 0x2122, 0x2211,
    0x239B, 0x239C, 0x239D, 0x23A1, 0x23A2, 0x23A3, 0x23A7, 0x23A8, 0x23A9, 0x23AA, 0,      0x232A, 0x222B, 0x2320,
    0x23AE, 0x2321, 0x239E, 0x239F, 0x23A0, 0x23A4, 0x23A5, 0x23A6, 0x23AB, 0x23AC, 0x23AD, 0};

std::string Lower(const char* s) {
  std::string r;
  for (; s && *s; ++s) r += static_cast<char>((*s >= 'A' && *s <= 'Z') ? *s - 'A' + 'a' : *s);
  return r;
}

bool IsSymbolFace(const std::string& face) {
  return face == "symbol" || face == "wingdings" || face == "wingdings 2" || face == "wingdings 3" ||
         face == "webdings" || face == "marlett";
}

// The code page of a font's character set, as narrow text is drawn with
// it; 0 for the default set (the interface's code page) and unknown sets.
UINT CharsetCodePage(BYTE charset) {
  switch (charset) {
    case ANSI_CHARSET: return 1252;
    case RUSSIAN_CHARSET: return 1251;
    case 238: return 1250;  // Eastern European
    case 161: return 1253;  // Greek
    case 162: return 1254;  // Turkish
    case 177: return 1255;  // Hebrew
    case 178: return 1256;  // Arabic
    case 186: return 1257;  // Baltic
    case 163: return 1258;  // Vietnamese
    case 222: return 874;   // Thai
    case 128: return 932;   // Japanese
    case 134: return 936;   // Simplified Chinese
    case 129: return 949;   // Korean
    case 136: return 950;   // Traditional Chinese
    case 255: return 437;   // OEM
    default: return 0;
  }
}

struct CacheKey {
  std::string bytes;
  bool operator<(const CacheKey& o) const { return bytes < o.bytes; }
};

}  // namespace

QString MapFaceName(const char* face, BYTE charset, BYTE pitchAndFamily) {
  const std::string f = Lower(face);
  static const std::map<std::string, const char*> table = {
      {"arial", "Liberation Sans"},
      {"times new roman", "Liberation Serif"},
      {"courier new", "Liberation Mono"},
      {"courier", "Liberation Mono"},
      {"tahoma", "DejaVu Sans"},
      {"verdana", "DejaVu Sans"},
      {"ms sans serif", "DejaVu Sans"},
      {"microsoft sans serif", "DejaVu Sans"},
      {"ms shell dlg", "DejaVu Sans"},
      {"ms shell dlg 2", "DejaVu Sans"},
      {"system", "DejaVu Sans"},
      {"symbol", "Standard Symbols PS"},
  };
  auto it = table.find(f);
  if (it != table.end()) {
    if (f == "symbol" && !QFontDatabase::hasFamily(QString::fromLatin1(it->second))) return QStringLiteral("DejaVu Sans");
    return QString::fromLatin1(it->second);
  }
  if (!f.empty()) {
    const QString name = QString::fromStdString(ToUtf8(CString(face)));
    if (QFontDatabase::hasFamily(name)) return name;
  }
  if ((pitchAndFamily & 0x03) == FIXED_PITCH || (pitchAndFamily & 0xF0) == FF_MODERN) return QStringLiteral("Liberation Mono");
  if ((pitchAndFamily & 0xF0) == FF_ROMAN) return QStringLiteral("Liberation Serif");
  (void)charset;
  return QStringLiteral("DejaVu Sans");
}

std::shared_ptr<FontFace> Realize(const LOGFONT& lfIn, double scaleY) {
  static std::mutex mu;
  static std::map<CacheKey, std::shared_ptr<FontFace>> cache;
  LOGFONT lf = lfIn;
  lf.lfFaceName[LF_FACESIZE - 1] = 0;
  CacheKey key;
  key.bytes.assign(reinterpret_cast<const char*>(&lf), sizeof lf);
  key.bytes.append(reinterpret_cast<const char*>(&scaleY), sizeof scaleY);
  {
    std::lock_guard<std::mutex> g(mu);
    auto it = cache.find(key);
    if (it != cache.end()) return it->second;
  }
  auto f = std::make_shared<FontFace>();
  f->lf = lf;
  const std::string faceLower = Lower(lf.lfFaceName);
  QFont font(MapFaceName(lf.lfFaceName, lf.lfCharSet, lf.lfPitchAndFamily));
  font.setStyleStrategy(static_cast<QFont::StyleStrategy>(
      (lf.lfQuality == ANTIALIASED_QUALITY || lf.lfQuality == 5) ? QFont::PreferAntialias : QFont::NoAntialias));
  f->antialias = lf.lfQuality == ANTIALIASED_QUALITY || lf.lfQuality == 5;
  font.setHintingPreference(QFont::PreferFullHinting);
  font.setKerning(false);
  const LONG weight = lf.lfWeight <= 0 ? FW_NORMAL : std::min<LONG>(lf.lfWeight, 1000);
  font.setWeight(static_cast<QFont::Weight>(weight));
  font.setItalic(lf.lfItalic != 0);
  font.setUnderline(lf.lfUnderline != 0);
  font.setStrikeOut(lf.lfStrikeOut != 0);
  // Height: negative = character (em) height, positive = cell height, 0 = default.
  double h = lf.lfHeight * std::fabs(scaleY);
  int em;
  if (lf.lfHeight == 0) {
    em = 12;
  } else if (h < 0) {
    em = std::max(1, static_cast<int>(std::lround(-h)));
  } else {
    const int cell = std::max(1, static_cast<int>(std::lround(h)));
    QFont probe(font);
    probe.setPixelSize(100);
    const QFontMetrics pm(probe);
    const int cell100 = std::max(1, pm.ascent() + pm.descent());
    em = std::max(1, static_cast<int>(std::lround(cell * 100.0 / cell100)));
    for (int i = 0; i < 8; ++i) {
      font.setPixelSize(em);
      const QFontMetrics fm(font);
      const int c = fm.ascent() + fm.descent();
      if (c > cell && em > 1) --em;
      else if (c < cell && i < 4) {
        QFont up(font);
        up.setPixelSize(em + 1);
        const QFontMetrics um(up);
        if (um.ascent() + um.descent() <= cell) ++em;
        else break;
      } else break;
    }
  }
  font.setPixelSize(em);
  f->em = em;
  if (lf.lfWidth > 0) {
    const QFontMetrics fm(font);
    const int natural = std::max(1, fm.averageCharWidth());
    const int want = static_cast<int>(std::lround(lf.lfWidth * std::fabs(scaleY)));
    font.setStretch(std::clamp(want * 100 / natural, 1, 4000));
  }
  f->font = font;
  const QFontMetrics fm(font);
  f->ascent = fm.ascent();
  f->descent = fm.descent();
  f->internalLeading = std::max(0, f->ascent + f->descent - em);
  f->externalLeading = std::max(0, fm.leading());
  f->avgWidth = fm.averageCharWidth();
  f->maxWidth = fm.maxWidth();
  f->fixedPitch = QFontInfo(font).fixedPitch();
  f->codePage = CharsetCodePage(lf.lfCharSet);
  if (faceLower == "symbol") {
    // The URW stand-in keeps the symbol encoding in its byte codes; any other
    // font draws the codes' Unicode equivalents.
    f->symbol = QFontInfo(font).family().startsWith(QLatin1String("Standard Symbols")) ? FontFace::Latin1
                                                                                      : FontFace::AdobeSymbol;
  }
  else if (lf.lfCharSet == SYMBOL_CHARSET || IsSymbolFace(faceLower)) {
    const QFontMetrics m(font);
    f->symbol = m.inFontUcs4(0xF041) ? FontFace::PrivateUse : FontFace::Latin1;
  }
  std::lock_guard<std::mutex> g(mu);
  cache.emplace(key, f);
  return f;
}

std::u16string DecodeText(const FontFace& f, const char* text, int length) {
  std::u16string out;
  if (!text || length <= 0) return out;
  if (f.symbol != FontFace::None) {
    for (int i = 0; i < length; ++i) {
      const unsigned char b = static_cast<unsigned char>(text[i]);
      char16_t c = 0;
      switch (f.symbol) {
        case FontFace::AdobeSymbol: c = b >= 0x20 ? kSymbolTable[b - 0x20] : 0; break;
        case FontFace::PrivateUse: c = static_cast<char16_t>(0xF000 + b); break;
        default: c = b; break;
      }
      out.push_back(c ? c : u'\u200B');
    }
    return out;
  }
  // Narrow text is read in the code page of the font's character set.
  std::string utf8;
  try {
    utf8 = CodePageToUtf8(std::string_view(text, static_cast<size_t>(length)),
                          f.codePage ? f.codePage : GetAnsiCodePage());
  } catch (const std::exception&) {
    utf8 = CodePageToUtf8(std::string_view(text, static_cast<size_t>(length)), GetAnsiCodePage());
  }
  const QString q = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
  out.assign(reinterpret_cast<const char16_t*>(q.utf16()), static_cast<size_t>(q.size()));
  return out;
}

namespace {

// Splits UTF-16 into code points, keeping the index of each.
template <class F>
void ForCodePoints(const std::u16string& s, F&& f) {
  for (size_t i = 0; i < s.size(); ++i) {
    char32_t c = s[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00);
      f(c, i, 2);
      ++i;
    } else {
      f(c, i, 1);
    }
  }
}

}  // namespace

int TextWidth(const FontFace& f, const std::u16string& s, std::vector<int>* advances) {
  int w = 0;
  if (advances) advances->assign(s.size(), 0);
  ForCodePoints(s, [&](char32_t c, size_t i, int) {
    const int a = c == 0x200B ? 0 : f.Advance(c);
    if (advances) (*advances)[i] = a;
    w += a;
  });
  return w;
}

void FaceMetrics(const FontFace& f, int& ascent, int& descent, int& internalLeading, int& avgWidth, int& maxWidth) {
  ascent = f.ascent;
  descent = f.descent;
  internalLeading = f.internalLeading;
  avgWidth = f.avgWidth;
  maxWidth = f.maxWidth;
}

void DrawGlyphs(Target& t, const FontFace& f, const std::u16string& s, const std::vector<int>& advances, int x, int y,
                uint32_t color) {
  if (s.empty()) return;
  int total = 0;
  for (int a : advances) total += a;
  const int pad = f.ascent + f.descent;  // room for overhangs and italics
  const int w = std::max(total, 1) + 2 * pad, h = f.ascent + f.descent + 2 * pad;
  // Only the part of the run that can reach the clip is rendered.
  const QRect run(x - pad, y - pad, w, h);
  const QRect need = run & t.clipRect;
  if (need.isEmpty()) return;
  QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
  if (img.isNull()) return;
  img.fill(0);
  {
    QPainter p(&img);
    p.setRenderHint(QPainter::TextAntialiasing, f.antialias);
    p.setFont(f.font);
    p.setPen(QColor(255, 255, 255));
    int pos = pad;
    ForCodePoints(s, [&](char32_t c, size_t i, int) {
      if (c >= 0x20 && c != 0x200B) {
        const char32_t cs[1] = {c};
        p.drawText(QPoint(pos, pad + f.ascent), QString::fromUcs4(cs, 1));
      }
      pos += advances[i];
    });
  }
  for (int yy = need.top(); yy <= need.bottom(); ++yy) {
    const uint32_t* src = reinterpret_cast<const uint32_t*>(img.constScanLine(yy - run.top()));
    t.ForSpan(yy, need.left(), need.right() + 1, [&](int ry, int a, int b) {
      uint32_t* row = t.Row(ry);
      for (int xx = a; xx < b; ++xx) {
        const unsigned alpha = src[xx - run.left()] >> 24;
        if (!alpha) continue;
        if (!f.antialias || alpha == 255) {
          row[xx] = color;
          continue;
        }
        uint32_t out = 0xFF000000u;
        for (int sh = 0; sh <= 16; sh += 8) {
          const unsigned c = (color >> sh) & 0xFF, d = (row[xx] >> sh) & 0xFF;
          out |= ((c * alpha + d * (255 - alpha) + 127) / 255) << sh;
        }
        row[xx] = out;
      }
    });
  }
}

}  // namespace qmgdi

using namespace qmgdi;

namespace {

std::shared_ptr<FontFace> DcFace(const Dc& dc) {
  const LOGFONT& lf = dc.a.font ? dc.a.font->lf : std::static_pointer_cast<Font>(StockObject(SYSTEM_FONT))->lf;
  return Realize(lf, ScaleY(dc.a));
}

int ToLogicalX(const DcAttrs& a, int v) {
  const double s = std::fabs(ScaleX(a));
  return s == 1.0 ? v : static_cast<int>(std::lround(v / s));
}
int ToLogicalY(const DcAttrs& a, int v) {
  const double s = std::fabs(ScaleY(a));
  return s == 1.0 ? v : static_cast<int>(std::lround(v / s));
}

std::u16string Wide(const WCHAR* text, int length) {
  if (!text) return {};
  if (length < 0) {
    length = 0;
    while (text[length]) ++length;
  }
  return std::u16string(text, static_cast<size_t>(length));
}

int NarrowLength(LPCSTR text, int length) {
  if (!text) return 0;
  return length < 0 ? static_cast<int>(std::strlen(text)) : length;
}

// The text core of TextOut and ExtTextOut, on decoded text.
BOOL TextRun(HDC hdc, int x, int y, UINT options, LPCRECT rect, const std::u16string& s, const INT* dx, bool fromBytes) {
  auto dc = FindDc(hdc);
  if (!dc) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  Target t;
  if (!BeginTarget(*dc, t)) return FALSE;
  DcAttrs& a = dc->a;
  auto face = DcFace(*dc);
  std::vector<int> adv;
  int width = TextWidth(*face, s, &adv);
  if (dx) {
    // Caller-given advances, one per character of the narrow or wide text.
    width = 0;
    size_t k = 0;
    for (size_t i = 0; i < adv.size(); ++i) {
      if (i > 0 && s[i] >= 0xDC00 && s[i] < 0xE000) {
        adv[i] = 0;
        continue;
      }
      adv[i] = static_cast<int>(std::lround(dx[k++] * std::fabs(ScaleX(a))));
      width += adv[i];
    }
    (void)fromBytes;
  }
  const int height = face->ascent + face->descent;
  QPoint ref = (a.textAlign & TA_UPDATECP) ? ToDevice(a, a.cur.x, a.cur.y) : ToDevice(a, x, y);
  int x0 = ref.x(), y0 = ref.y();
  switch (a.textAlign & 6u) {
    case TA_RIGHT: x0 -= width; break;
    case TA_CENTER: x0 -= width / 2; break;
    default: break;
  }
  switch (a.textAlign & 24u) {
    case TA_BASELINE: y0 -= face->ascent; break;
    case TA_BOTTOM: y0 -= height; break;
    default: break;
  }
  const uint32_t bk = ToPixel(ResolveColor(a, a.bk));
  QRect dr;
  if (rect) dr = ToDeviceRect(a, rect->left, rect->top, rect->right, rect->bottom);
  auto fill = [&](const QRect& r) {
    for (int yy = r.top(); yy <= r.bottom(); ++yy)
      t.ForSpan(yy, r.left(), r.right() + 1, [&](int ry, int p, int q) {
        std::fill(t.Row(ry) + p, t.Row(ry) + q, bk);
      });
  };
  if (rect && (options & ETO_OPAQUE)) fill(dr);
  if (rect && (options & ETO_CLIPPED)) {
    if (t.rectOnly) t.clipRect &= dr;
    else {
      t.clip &= dr;
      t.clipRect = t.clip.boundingRect();
    }
  }
  const LONG escapement = face->lf.lfEscapement % 3600;
  if (escapement == 0) {
    if (a.bkMode == OPAQUE && !(rect && (options & ETO_OPAQUE))) fill(QRect(x0, y0, width, height));
    DrawGlyphs(t, *face, s, adv, x0, y0, ToPixel(ResolveColor(a, a.text)));
  } else {
    // Turned text (tenths of a degree, counter-clockwise on the screen about
    // the reference point): the run is drawn upright on its own, then each
    // pixel of the turned box takes its upright pixel.
    const int pad = height;
    QImage run(std::max(width, 1) + 2 * pad, height + 2 * pad, QImage::Format_RGB32);
    if (!run.isNull()) {
      run.fill(0xFF000000u);
      Target up;
      up.img = &run;
      up.origin = QPoint(pad - x0, pad - y0);
      up.bounds = QRect(x0 - pad, y0 - pad, run.width(), run.height());
      up.clipRect = up.bounds;
      DrawGlyphs(up, *face, s, adv, x0, y0, 0xFFFFFFFFu);
      const double th = escapement * M_PI / 1800.0, c = std::cos(th), sn = std::sin(th);
      const uint32_t ink = ToPixel(ResolveColor(a, a.text));
      const bool opaque = a.bkMode == OPAQUE && !(rect && (options & ETO_OPAQUE));
      const QRect cell(x0, y0, width, height);
      // The turned box of the padded run.
      double minX = 1e18, minY = 1e18, maxX = -1e18, maxY = -1e18;
      for (const QPoint& q : {up.bounds.topLeft(), up.bounds.topRight(), up.bounds.bottomLeft(), up.bounds.bottomRight()}) {
        const double dx = q.x() - ref.x(), dy = q.y() - ref.y();
        const double X = ref.x() + dx * c + dy * sn, Y = ref.y() - dx * sn + dy * c;
        minX = std::min(minX, X), maxX = std::max(maxX, X), minY = std::min(minY, Y), maxY = std::max(maxY, Y);
      }
      const QRect box = QRect(QPoint(static_cast<int>(std::floor(minX)), static_cast<int>(std::floor(minY))),
                              QPoint(static_cast<int>(std::ceil(maxX)), static_cast<int>(std::ceil(maxY)))) &
                        t.clipRect;
      for (int yy = box.top(); yy <= box.bottom(); ++yy)
        for (int xx = box.left(); xx <= box.right(); ++xx) {
          const double dx = xx - ref.x(), dy = yy - ref.y();
          const int sx = static_cast<int>(std::lround(ref.x() + dx * c - dy * sn));
          const int sy = static_cast<int>(std::lround(ref.y() + dx * sn + dy * c));
          uint32_t out = 0;
          if (up.bounds.contains(sx, sy) && (up.Row(sy)[sx] & 0xFFFFFFu)) out = ink;
          else if (opaque && cell.contains(sx, sy)) out = bk;
          else continue;
          t.ForSpan(yy, xx, xx + 1, [&](int ry, int p, int) { t.Row(ry)[p] = out; });
        }
    }
  }
  if (a.textAlign & TA_UPDATECP) {
    const int lw = ToLogicalX(a, width);
    if ((a.textAlign & 6u) == TA_RIGHT) a.cur.x -= lw;
    else if ((a.textAlign & 6u) == TA_LEFT) a.cur.x += lw;
  }
  EndTarget(t);
  return TRUE;
}

}  // namespace

BOOL TextOut(HDC hdc, int x, int y, LPCSTR text, int length) {
  auto dc = FindDc(hdc);
  if (!dc) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (!text || length < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return TextRun(hdc, x, y, 0, nullptr, DecodeText(*DcFace(*dc), text, length), nullptr, true);
}

BOOL TextOutW(HDC hdc, int x, int y, const WCHAR* text, int length) {
  if (!text || length < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return TextRun(hdc, x, y, 0, nullptr, Wide(text, length), nullptr, false);
}

BOOL ExtTextOut(HDC hdc, int x, int y, UINT options, LPCRECT rect, LPCSTR text, UINT length, const INT* dx) {
  auto dc = FindDc(hdc);
  if (!dc) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  std::u16string s = text ? DecodeText(*DcFace(*dc), text, static_cast<int>(length)) : std::u16string();
  // Narrow advances come one per byte; the decoded text has one unit per byte
  // except for characters outside the basic plane, which code pages lack.
  return TextRun(hdc, x, y, options, rect, s, dx, true);
}

BOOL ExtTextOutW(HDC hdc, int x, int y, UINT options, LPCRECT rect, const WCHAR* text, UINT length, const INT* dx) {
  return TextRun(hdc, x, y, options, rect, text ? Wide(text, static_cast<int>(length)) : std::u16string(), dx, false);
}

BOOL GetTextExtentPoint32(HDC hdc, LPCSTR text, int length, LPSIZE size) {
  auto dc = FindDc(hdc);
  if (!dc || !size || length < 0 || (!text && length > 0)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  auto face = DcFace(*dc);
  const int w = TextWidth(*face, DecodeText(*face, text, length));
  size->cx = ToLogicalX(dc->a, w);
  size->cy = ToLogicalY(dc->a, face->ascent + face->descent);
  return TRUE;
}

BOOL GetTextExtentPoint(HDC hdc, LPCSTR text, int length, LPSIZE size) {
  return GetTextExtentPoint32(hdc, text, length, size);
}

BOOL GetTextExtentPoint32W(HDC hdc, const WCHAR* text, int length, LPSIZE size) {
  auto dc = FindDc(hdc);
  if (!dc || !size || length < 0 || (!text && length > 0)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  auto face = DcFace(*dc);
  const int w = TextWidth(*face, Wide(text, length));
  size->cx = ToLogicalX(dc->a, w);
  size->cy = ToLogicalY(dc->a, face->ascent + face->descent);
  return TRUE;
}

BOOL GetTextMetrics(HDC hdc, LPTEXTMETRIC tm) {
  auto dc = FindDc(hdc);
  if (!dc || !tm) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  auto f = DcFace(*dc);
  *tm = TEXTMETRIC{};
  tm->tmAscent = ToLogicalY(dc->a, f->ascent);
  tm->tmDescent = ToLogicalY(dc->a, f->descent);
  tm->tmHeight = tm->tmAscent + tm->tmDescent;
  tm->tmInternalLeading = ToLogicalY(dc->a, f->internalLeading);
  tm->tmExternalLeading = ToLogicalY(dc->a, f->externalLeading);
  tm->tmAveCharWidth = ToLogicalX(dc->a, f->avgWidth);
  tm->tmMaxCharWidth = ToLogicalX(dc->a, f->maxWidth);
  tm->tmWeight = f->lf.lfWeight <= 0 ? FW_NORMAL : f->lf.lfWeight;
  tm->tmDigitizedAspectX = 96;
  tm->tmDigitizedAspectY = 96;
  tm->tmFirstChar = 0x20;
  tm->tmLastChar = 0xFF;
  tm->tmDefaultChar = 0x1F;
  tm->tmBreakChar = 0x20;
  tm->tmItalic = f->lf.lfItalic;
  tm->tmUnderlined = f->lf.lfUnderline;
  tm->tmStruckOut = f->lf.lfStrikeOut;
  tm->tmPitchAndFamily = static_cast<BYTE>(TMPF_TRUETYPE | TMPF_VECTOR | (f->fixedPitch ? 0 : TMPF_FIXED_PITCH) |
                                           (f->lf.lfPitchAndFamily & 0xF0));
  BYTE cs = f->lf.lfCharSet;
  if (cs == DEFAULT_CHARSET) cs = GetAnsiCodePage() == 1251 ? RUSSIAN_CHARSET : ANSI_CHARSET;
  tm->tmCharSet = cs;
  return TRUE;
}

int GetTextFace(HDC hdc, int size, LPSTR face) {
  auto dc = FindDc(hdc);
  if (!dc) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  const char* name = dc->a.font ? dc->a.font->lf.lfFaceName : "System";
  const int n = static_cast<int>(strnlen(name, LF_FACESIZE - 1));
  if (!face) return n + 1;
  if (size <= 0) return 0;
  const int k = std::min(n, size - 1);
  std::memcpy(face, name, static_cast<size_t>(k));
  face[k] = 0;
  return k;
}

BOOL GetCharWidth32(HDC hdc, UINT first, UINT last, INT* widths) {
  auto dc = FindDc(hdc);
  if (!dc || !widths || last < first || last > 0xFFFF) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  auto f = DcFace(*dc);
  for (UINT c = first; c <= last; ++c) {
    std::u16string s;
    if (c <= 0xFF) {
      const char b = static_cast<char>(c);
      s = DecodeText(*f, &b, 1);
    } else {
      s = std::u16string(1, static_cast<char16_t>(c));
    }
    widths[c - first] = ToLogicalX(dc->a, TextWidth(*f, s));
  }
  return TRUE;
}

DWORD GetTabbedTextExtent(HDC hdc, LPCSTR text, int length, int tabCount, const INT* tabStops) {
  auto dc = FindDc(hdc);
  if (!dc || (!text && length > 0)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  auto f = DcFace(*dc);
  const std::u16string s = DecodeText(*f, text, NarrowLength(text, length));
  const int step = tabCount == 1 && tabStops ? std::max(1, tabStops[0]) : 8 * std::max(1, f->avgWidth);
  int x = 0, k = 0;
  std::u16string piece;
  for (char16_t c : s) {
    if (c == u'\t') {
      x += TextWidth(*f, piece);
      piece.clear();
      if (tabCount > 1 && tabStops) {
        while (k < tabCount && tabStops[k] <= x) ++k;
        x = k < tabCount ? tabStops[k] : (x / step + 1) * step;
      } else {
        x = (x / step + 1) * step;
      }
    } else {
      piece.push_back(c);
    }
  }
  x += TextWidth(*f, piece);
  return MAKELONG(static_cast<WORD>(ToLogicalX(dc->a, x)), static_cast<WORD>(ToLogicalY(dc->a, f->ascent + f->descent)));
}

// ---- DrawText ------------------------------------------------------------------

namespace {

struct Line {
  std::u16string text;
  int underline = -1;  // index of the mnemonic character
};

std::u16string Ellipsize(const FontFace& f, std::u16string s, int width, bool path) {
  if (TextWidth(f, s) <= width) return s;
  const std::u16string dots = u"...";
  if (path) {
    const size_t cut = s.find_last_of(u"\\/");
    if (cut != std::u16string::npos && cut > 0) {
      const std::u16string tail = s.substr(cut);
      std::u16string head = s.substr(0, cut);
      while (!head.empty() && TextWidth(f, head + dots + tail) > width) head.pop_back();
      if (!head.empty()) return head + dots + tail;
      s = tail;
    }
  }
  while (!s.empty() && TextWidth(f, s + dots) > width) s.pop_back();
  return s + dots;
}

int DrawTextCore(HDC hdc, std::u16string text, LPRECT rect, UINT format) {
  auto dc = FindDc(hdc);
  if (!dc || !rect) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  auto f = DcFace(*dc);
  DcAttrs& a = dc->a;
  const int lineH = ToLogicalY(a, f->ascent + f->descent + ((format & DT_EXTERNALLEADING) ? f->externalLeading : 0));
  const int tabW = 8 * std::max(1, f->avgWidth);
  const int rectW = rect->right - rect->left;
  // Lines, mnemonics and tabs.
  std::vector<Line> lines(1);
  for (size_t i = 0; i < text.size(); ++i) {
    char16_t c = text[i];
    if (!(format & DT_SINGLELINE) && (c == u'\r' || c == u'\n')) {
      if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
      lines.emplace_back();
      continue;
    }
    if ((format & DT_SINGLELINE) && (c == u'\r' || c == u'\n')) continue;
    if (c == u'&' && !(format & DT_NOPREFIX)) {
      if (i + 1 < text.size() && text[i + 1] == u'&') {
        lines.back().text.push_back(u'&');
        ++i;
      } else if (i + 1 < text.size()) {
        lines.back().underline = static_cast<int>(lines.back().text.size());
      }
      continue;
    }
    if (c == u'\t' && (format & DT_EXPANDTABS)) {
      const int x = TextWidth(*f, lines.back().text);
      const int target = (x / tabW + 1) * tabW;
      const int space = std::max(1, f->Advance(U' '));
      for (int w = x; w < target; w += space) lines.back().text.push_back(u' ');
      continue;
    }
    lines.back().text.push_back(c);
  }
  // Word breaking.
  if ((format & DT_WORDBREAK) && !(format & DT_SINGLELINE)) {
    std::vector<Line> out;
    for (Line& l : lines) {
      std::u16string rest = l.text;
      int ul = l.underline;
      do {
        size_t fit = rest.size();
        if (TextWidth(*f, rest) > rectW) {
          // longest prefix ending before a space that fits
          size_t best = 0;
          for (size_t k = 1; k <= rest.size(); ++k) {
            if (k < rest.size() && rest[k] != u' ') continue;
            if (TextWidth(*f, rest.substr(0, k)) <= rectW) best = k;
            else break;
          }
          if (best == 0) {
            // a word longer than the line: break it where it no longer fits
            best = 1;
            while (best < rest.size() && TextWidth(*f, rest.substr(0, best + 1)) <= rectW) ++best;
          }
          fit = best;
        }
        Line piece;
        piece.text = rest.substr(0, fit);
        if (ul >= 0 && ul < static_cast<int>(fit)) piece.underline = ul;
        ul = ul >= 0 ? ul - static_cast<int>(fit) : -1;
        rest.erase(0, fit);
        size_t skip = 0;
        while (skip < rest.size() && rest[skip] == u' ') ++skip;
        rest.erase(0, skip);
        ul -= static_cast<int>(skip);
        out.push_back(piece);
      } while (!rest.empty());
    }
    lines = out;
  }
  if (format & (DT_END_ELLIPSIS | DT_PATH_ELLIPSIS | DT_WORD_ELLIPSIS))
    for (Line& l : lines) l.text = Ellipsize(*f, l.text, std::max(0, rectW), (format & DT_PATH_ELLIPSIS) != 0);
  int maxW = 0;
  for (const Line& l : lines) maxW = std::max(maxW, ToLogicalX(a, TextWidth(*f, l.text)));
  const int totalH = lineH * static_cast<int>(lines.size());
  if (format & DT_CALCRECT) {
    if ((format & DT_SINGLELINE) || !(format & DT_WORDBREAK) || maxW > rectW) rect->right = rect->left + maxW;
    else rect->right = rect->left + maxW;
    rect->bottom = rect->top + totalH;
    return totalH;
  }
  int y = rect->top;
  if (format & DT_SINGLELINE) {
    if (format & DT_VCENTER) y = rect->top + (rect->bottom - rect->top - lineH) / 2;
    else if (format & DT_BOTTOM) y = rect->bottom - lineH;
  }
  const UINT oldAlign = a.textAlign;
  a.textAlign = TA_LEFT | TA_TOP;
  for (const Line& l : lines) {
    const int w = ToLogicalX(a, TextWidth(*f, l.text));
    int x = rect->left;
    if (format & DT_CENTER) x = rect->left + (rectW - w) / 2;
    else if (format & DT_RIGHT) x = rect->right - w;
    const UINT opts = (format & DT_NOCLIP) ? 0 : ETO_CLIPPED;
    if (!(format & DT_PREFIXONLY)) TextRun(hdc, x, y, opts, rect, l.text, nullptr, false);
    if (l.underline >= 0 && l.underline < static_cast<int>(l.text.size()) && !(format & DT_HIDEPREFIX)) {
      const int ux = x + ToLogicalX(a, TextWidth(*f, l.text.substr(0, static_cast<size_t>(l.underline))));
      const int uw = ToLogicalX(a, TextWidth(*f, l.text.substr(static_cast<size_t>(l.underline), 1)));
      const int uy = y + ToLogicalY(a, f->ascent + 1);
      RECT ur{ux, uy, ux + uw, uy + 1};
      if (!(format & DT_NOCLIP)) IntersectRect(&ur, &ur, rect);
      HBRUSH b = CreateSolidBrush(a.text);
      FillRect(hdc, &ur, b);
      DeleteObject(b);
    }
    y += lineH;
  }
  a.textAlign = oldAlign;
  if (format & DT_SINGLELINE) {
    if (format & (DT_VCENTER | DT_BOTTOM)) return y - rect->top;
  }
  return totalH;
}

}  // namespace

int DrawText(HDC hdc, LPCSTR text, int length, LPRECT rect, UINT format) {
  auto dc = FindDc(hdc);
  if (!dc || !text) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  return DrawTextCore(hdc, DecodeText(*DcFace(*dc), text, NarrowLength(text, length)), rect, format);
}

int DrawTextW(HDC hdc, const WCHAR* text, int length, LPRECT rect, UINT format) {
  if (!text) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  return DrawTextCore(hdc, Wide(text, length), rect, format);
}

HFONT CreateFontIndirect(const LOGFONT* font) {
  if (!font) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto f = std::make_shared<Font>();
  f->lf = *font;
  f->lf.lfFaceName[LF_FACESIZE - 1] = 0;
  return static_cast<HFONT>(AddObject(f));
}

HFONT CreateFont(int height, int width, int escapement, int orientation, int weight, DWORD italic, DWORD underline,
                 DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision, DWORD quality,
                 DWORD pitchAndFamily, LPCSTR faceName) {
  LOGFONT lf{};
  lf.lfHeight = height;
  lf.lfWidth = width;
  lf.lfEscapement = escapement;
  lf.lfOrientation = orientation;
  lf.lfWeight = weight;
  lf.lfItalic = static_cast<BYTE>(italic ? 1 : 0);
  lf.lfUnderline = static_cast<BYTE>(underline ? 1 : 0);
  lf.lfStrikeOut = static_cast<BYTE>(strikeOut ? 1 : 0);
  lf.lfCharSet = static_cast<BYTE>(charSet);
  lf.lfOutPrecision = static_cast<BYTE>(outPrecision);
  lf.lfClipPrecision = static_cast<BYTE>(clipPrecision);
  lf.lfQuality = static_cast<BYTE>(quality);
  lf.lfPitchAndFamily = static_cast<BYTE>(pitchAndFamily);
  if (faceName) std::strncpy(lf.lfFaceName, faceName, LF_FACESIZE - 1);
  return CreateFontIndirect(&lf);
}
