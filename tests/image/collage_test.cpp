// Collage files: the reader against files spelled out byte by byte, the
// layer records, and the pixels the layers draw.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "core/ByteStream.h"
#include "core/FrameServices.h"
#include "core/HslColor.h"
#include "image/Collage.h"
#include "platform/base/codepage.h"
#include "tests/common/test_util.h"
#include "tests/image/collage_fixtures.h"
#include "tests/image/picture_helpers.h"

namespace {

using collagetest::CollageFile;
using collagetest::ImageLayer;
using collagetest::TextLayer;
using picturetest::ColorAt;

namespace fs = std::filesystem;

fs::path Dir() {
  static const fs::path dir = qmtest::MakeTempDir("collage");
  return dir;
}

// A picture file of one colour (or the test pattern) for picture layers.
std::string SolidBmp(const fs::path& path, int w, int h, COLORREF fill) {
  bool ok = false;
  CImage img(w, h, ok, fill);
  EXPECT_TRUE(ok);
  EXPECT_TRUE(img.SaveFile(path.string().c_str(), kImageTypeBMP));
  return path.string();
}

// Top-down pixel of a picture.
COLORREF At(const CImage& img, int x, int y) { return ColorAt(img, x, img.GetHeight() - 1 - y); }

bool LoadTsw(const fs::path& path, CImage& out, IProgress* progress = nullptr) {
  bool ok = false;
  CImage img(path.string().c_str(), ok, -1, progress);
  out = img;
  out.SetType(img.GetType());
  return ok;
}

class CRecordingProgress : public IProgress {
 public:
  void Begin(int total, const char* caption) override {
    captions.emplace_back(caption);
    totals.push_back(total);
  }
  void End() override { ++ends; }
  void SetPos(int) override {}
  std::vector<std::string> captions;
  std::vector<int> totals;
  int ends = 0;
};

TEST(CollageFile, BlankCanvasHasItsSizeAndBackground) {
  const fs::path path = Dir() / "blank.tsw";
  CollageFile f;
  f.width = 30;
  f.height = 12;
  f.background = RGB(10, 20, 30);
  f.Save(path);
  bool ok = false;
  CImage img(path.string().c_str(), ok);
  ASSERT_TRUE(ok);
  EXPECT_EQ(img.GetType(), kImageTypeTSW);
  EXPECT_EQ(img.GetWidth(), 30);
  EXPECT_EQ(img.GetHeight(), 12);
  EXPECT_EQ(img.GetBitsPerPixel(), 24);
  EXPECT_EQ(At(img, 0, 0), RGB(10, 20, 30));
  EXPECT_EQ(At(img, 29, 11), RGB(10, 20, 30));

  // A background with its top byte set is still a colour, not "no fill".
  f.background = 0xFF00FF00u;
  f.Save(path);
  CImage green(path.string().c_str(), ok);
  ASSERT_TRUE(ok);
  EXPECT_EQ(At(green, 5, 5), RGB(0, 255, 0));
}

TEST(CollageFile, ParsesTitleAndLayersOfEachKind) {
  const fs::path pic = Dir() / "parse.bmp";
  SolidBmp(pic, 4, 4, RGB(1, 2, 3));
  CollageFile f;
  f.title = "My collage";
  ImageLayer il;
  il.name = pic.filename().string();
  il.hsl[0] = 5;
  il.distortion[2] = 1;
  il.crop[2] = 7;
  il.edge = 2;
  TextLayer tl;
  tl.text = "Hi\r\nthere";
  tl.shadow = 3;
  f.images.push_back(il);
  f.texts.push_back(tl);
  f.order = {'t', 'i'};
  CCollageBase c;
  std::vector<BYTE> bytes = f.Bytes(false);
  CByteStream s(bytes.data(), static_cast<int>(bytes.size()));
  ASSERT_TRUE(c.Read(s));
  EXPECT_EQ(s.GetRemaining(), 0);
  EXPECT_EQ(c.m_title, "My collage");
  ASSERT_EQ(c.m_layers.size(), 2u);
  auto* text = dynamic_cast<CLayerText*>(c.m_layers[0]);
  auto* image = dynamic_cast<CLayerImage*>(c.m_layers[1]);
  ASSERT_TRUE(text && image);
  EXPECT_EQ(text->m_text, "Hi\r\nthere");
  EXPECT_EQ(text->m_shadowSize, 3);
  EXPECT_STREQ(text->m_font.lfFaceName, "MS Sans Serif");
  EXPECT_EQ(image->m_fileName, il.name.c_str());
  EXPECT_EQ(image->m_hueShift, 5);
  EXPECT_EQ(image->m_distortion[2], 1);
  EXPECT_EQ(image->m_crop.right, 7);
  EXPECT_EQ(image->m_edgeFilter, 2);
}

TEST(CollageFile, RefusesOtherVersionsTypesAndShortRecords) {
  struct Case {
    const char* what;
    std::vector<BYTE> bytes;
  };
  std::vector<Case> cases;
  for (int version : {1, 3}) {
    CollageFile f;
    f.version = version;
    cases.push_back({version == 1 ? "version 1" : "version 3", f.Bytes(true)});
  }
  {
    CollageFile f;
    TextLayer t;
    t.type = 3;
    f.texts.push_back(t);
    cases.push_back({"layer type 3", f.Bytes(true)});
  }
  {
    CollageFile f;
    f.texts.push_back(TextLayer());
    std::vector<BYTE> b = f.Bytes(true);
    b.resize(b.size() - 1);
    cases.push_back({"short text record", b});
  }
  {
    CollageFile f;
    f.forcedCount = 100000;
    f.texts.push_back(TextLayer());
    cases.push_back({"count beyond the bytes", f.Bytes(true)});
  }
  {
    CollageFile f;
    f.width = 0;
    cases.push_back({"empty canvas", f.Bytes(true)});
  }
  {
    CollageFile f;
    f.width = 100000;
    f.height = 100000;
    cases.push_back({"canvas beyond the picture limit", f.Bytes(true)});
  }
  for (const Case& c : cases) {
    const fs::path path = Dir() / "refused.tsw";
    qmtest::WriteAll(path, c.bytes);
    bool ok = true;
    CImage img(path.string().c_str(), ok);
    EXPECT_FALSE(ok) << c.what;
  }
}

TEST(CollageFile, FaceNameWithoutEndIsCut) {
  CollageFile f;
  TextLayer t;
  t.faceFill = 'A';  // 32 bytes of 'A', no NUL
  f.texts.push_back(t);
  std::vector<BYTE> bytes = f.Bytes(false);
  CCollageBase c;
  CByteStream s(bytes.data(), static_cast<int>(bytes.size()));
  ASSERT_TRUE(c.Read(s));
  EXPECT_EQ(std::strlen(static_cast<CLayerText*>(c.m_layers[0])->m_font.lfFaceName), 31u);
}

TEST(CollageLayers, PictureLayerWritesTheStoredRecord) {
  CLayerImage layer("abcde");
  layer.m_visibleSize = SIZE{40, 50};
  layer.m_position = POINT{-3, 7};
  layer.m_transparency = 9;
  layer.m_angle = 11;
  layer.m_hueShift = -4;
  layer.m_saturationShift = 5;
  layer.m_lightnessShift = 6;
  layer.m_distortion[0] = 1;
  layer.m_distortion[4] = 2;
  layer.m_contrast = 12;
  layer.m_brightness = -13;
  layer.m_rotationAngle = 30;
  layer.m_rotationFill = RGB(1, 2, 3);
  layer.m_rotationMode = 1;
  layer.m_crop = RECT{1, 2, 3, 4};
  layer.m_edgeFilter = 1;
  ASSERT_EQ(layer.GetStreamSize(), 157);
  std::vector<BYTE> out(157);
  CByteStream s(out.data(), 157);
  ASSERT_TRUE(layer.Write(s));
  EXPECT_EQ(s.GetRemaining(), 0);

  qmtest::Bytes want;
  want.i32(1).i32(40).i32(50).i32(-3).i32(7).u8(9).i32(11).zeros(28);
  want.str("abcde").i32(-4).i32(5).i32(6).u8(1).u8(0).u8(0).u8(0).u8(2).i32(12).i32(-13);
  want.i32(30).u32(RGB(1, 2, 3)).u8(1).i32(1).i32(2).i32(3).i32(4).i32(1).zeros(44);
  EXPECT_EQ(out, want.b);

  // A stream one byte short fails.
  std::vector<BYTE> small(156);
  CByteStream shortStream(small.data(), 156);
  EXPECT_FALSE(layer.Write(shortStream));

  CLayerImage back("");
  CByteStream in(out.data(), 157);
  int type = 0;
  ASSERT_TRUE(in.ReadInt(type));
  ASSERT_TRUE(back.Read(in));
  EXPECT_EQ(type, 1);
  EXPECT_EQ(back.m_fileName, "abcde");
  EXPECT_EQ(back.m_position.x, -3);
  EXPECT_EQ(back.m_crop.bottom, 4);
  EXPECT_EQ(back.m_rotationFill, RGB(1, 2, 3));
  EXPECT_EQ(back.m_distortion[4], 2);
}

TEST(CollageLayers, TextLayerWritesTheStoredRecord) {
  CLayerText layer("Ab");
  layer.m_textColor = RGB(1, 2, 3);
  layer.m_shadowSize = 4;
  ASSERT_EQ(layer.GetStreamSize(), 166);
  std::vector<BYTE> out(166);
  CByteStream s(out.data(), 166);
  ASSERT_TRUE(layer.Write(s));
  qmtest::Bytes want;
  want.i32(2).i32(100).i32(100).i32(0).i32(0).u8(0).i32(0).zeros(28).str("Ab");
  LOGFONT lf{};
  lf.lfHeight = 24;
  std::strcpy(lf.lfFaceName, "MS Sans Serif");
  want.raw(&lf, 60).u32(RGB(1, 2, 3)).u32(0).u8(0).i32(4).u8(128).u32(0).zeros(32);
  EXPECT_EQ(out, want.b);
}

// ---- Picture layers ----

struct PictureCase {
  BYTE transparency;
  COLORREF expected;
};

TEST(CollageRendering, PictureLayerTransparencyMixes) {
  const std::string pic = SolidBmp(Dir() / "white.bmp", 8, 8, RGB(255, 255, 255));
  for (const PictureCase& c : {PictureCase{0, RGB(255, 255, 255)}, PictureCase{128, RGB(127, 127, 127)},
                               PictureCase{255, RGB(0, 0, 0)}}) {
    CollageFile f;
    f.width = 20;
    f.height = 20;
    f.background = 0;
    ImageLayer l;
    l.name = "white.bmp";
    l.x = 3;
    l.y = 4;
    l.transparency = c.transparency;
    f.images.push_back(l);
    const fs::path path = Dir() / "transparency.tsw";
    f.Save(path);
    CImage img;
    ASSERT_TRUE(LoadTsw(path, img));
    EXPECT_EQ(At(img, 3, 4), c.expected) << int(c.transparency);
    EXPECT_EQ(At(img, 10, 11), c.expected);
    EXPECT_EQ(At(img, 2, 4), 0u);
    EXPECT_EQ(At(img, 11, 4), 0u);
    EXPECT_EQ(At(img, 3, 12), 0u);
  }
}

TEST(CollageRendering, VisibleSizeLimitsThePicture) {
  fs::path pic = Dir() / "pattern.bmp";
  bool ok = false;
  CImage pattern(30, 30, ok, 0);
  picturetest::FillPattern(pattern);
  ASSERT_TRUE(pattern.SaveFile(pic.string().c_str(), kImageTypeBMP));
  CollageFile f;
  f.width = 40;
  f.height = 40;
  f.background = RGB(0, 0, 255);
  ImageLayer l;
  l.name = "pattern.bmp";
  l.visibleW = 10;
  l.visibleH = 10;
  f.images.push_back(l);
  const fs::path path = Dir() / "visible.tsw";
  f.Save(path);
  CImage img;
  ASSERT_TRUE(LoadTsw(path, img));
  // The picture's top-left 10 x 10 pixels, nothing more.
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 12; ++x) {
      const COLORREF want = (x < 10 && y < 10) ? At(pattern, x, y) : RGB(0, 0, 255);
      ASSERT_EQ(At(img, x, y), want) << x << "," << y;
    }
}

TEST(CollageRendering, RotationByNinetyGrowsOrKeepsTheSize) {
  SolidBmp(Dir() / "r40x20.bmp", 40, 20, RGB(200, 10, 10));
  CLayerImage grow("");
  grow.SetBaseFolder(Dir().string().c_str());
  grow.m_fileName = "r40x20.bmp";
  grow.m_rotationAngle = 90;
  grow.m_visibleSize = SIZE{1000, 1000};
  bool ok = false;
  CImage canvas(100, 100, ok, RGB(0, 0, 255));
  CString reason;
  ASSERT_TRUE(grow.Render(canvas, reason, nullptr, "x"));
  EXPECT_EQ(grow.m_picture->GetWidth(), 21);
  EXPECT_EQ(grow.m_picture->GetHeight(), 41);
  // A tall red bar on the canvas; outside it the canvas stays.
  EXPECT_EQ(At(canvas, 10, 20), RGB(200, 10, 10));
  EXPECT_EQ(At(canvas, 25, 20), RGB(0, 0, 255));

  CLayerImage keep("");
  keep.SetBaseFolder(Dir().string().c_str());
  keep.m_fileName = "r40x20.bmp";
  keep.m_rotationAngle = 90;
  keep.m_rotationMode = 1;
  keep.m_visibleSize = SIZE{1000, 1000};
  CImage canvas2(100, 100, ok, RGB(0, 0, 255));
  ASSERT_TRUE(keep.Render(canvas2, reason, nullptr, "x"));
  EXPECT_EQ(keep.m_picture->GetWidth(), 40);
  EXPECT_EQ(keep.m_picture->GetHeight(), 20);
  // The frame's corners lie outside the turned picture: black, masked, not drawn.
  EXPECT_TRUE(keep.m_mask.IsMasked(0, 0));
  EXPECT_TRUE(keep.m_mask.IsMasked(39, 19));
  EXPECT_EQ(ColorAt(*keep.m_picture, 0, 0), 0u);
  EXPECT_EQ(At(canvas2, 0, 0), RGB(0, 0, 255));
  EXPECT_EQ(At(canvas2, 39, 19), RGB(0, 0, 255));
  EXPECT_EQ(At(canvas2, 20, 10), RGB(200, 10, 10));
  EXPECT_FALSE(keep.m_mask.IsMasked(20, 10));
}

TEST(CollageRendering, HueShiftGoesRoundTheCircle) {
  SolidBmp(Dir() / "green.bmp", 4, 4, RGB(0, 255, 0));
  struct HslCase {
    int hue, sat, light;
    COLORREF want;
  };
  // Green (hue 120) shifted by 100: 120 + 4 x 100 x 240 / 180 = 653 degrees,
  // 293 once round. Saturation and lightness shifts stop at their ends.
  CHslColor turned(RGB(0, 255, 0));
  turned.SetHsl(293.0f, turned.GetLightness(), turned.GetSaturation());
  const HslCase cases[] = {
      {100, 0, 0, turned.GetColorRef()}, {0, 0, 1000, RGB(255, 255, 255)}, {0, -1000, 0, RGB(127, 127, 127)}};
  for (const HslCase& c : cases) {
    CLayerImage layer("");
    layer.SetBaseFolder(Dir().string().c_str());
    layer.m_fileName = "green.bmp";
    layer.m_hueShift = c.hue;
    layer.m_saturationShift = c.sat;
    layer.m_lightnessShift = c.light;
    bool ok = false;
    CImage canvas(4, 4, ok, 0);
    CString reason;
    ASSERT_TRUE(layer.Render(canvas, reason, nullptr, "x"));
    EXPECT_EQ(At(canvas, 1, 1), c.want & 0xFFFFFF) << c.hue << " " << c.sat << " " << c.light;
  }
}

TEST(CollageRendering, FirstLayerOfTheFileEndsOnTopWithCaptionsInOrder) {
  SolidBmp(Dir() / "green.bmp", 10, 10, RGB(0, 255, 0));
  SolidBmp(Dir() / "blue.bmp", 10, 10, RGB(0, 0, 255));
  CollageFile f;
  f.width = 20;
  f.height = 20;
  ImageLayer top;
  top.name = "green.bmp";
  ImageLayer under;
  under.name = "blue.bmp";
  under.x = 5;
  under.y = 5;
  f.images = {top, under};
  const fs::path path = Dir() / "order.tsw";
  f.Save(path);
  CRecordingProgress progress;
  CImage img;
  ASSERT_TRUE(LoadTsw(path, img, &progress));
  EXPECT_EQ(At(img, 7, 7), RGB(0, 255, 0));
  EXPECT_EQ(At(img, 12, 12), RGB(0, 0, 255));
  EXPECT_EQ(At(img, 17, 2), RGB(255, 255, 255));
  const std::vector<std::string> want = {"Image Layer Creation (#1 from 2) - color mixing",
                                         "Image Layer Creation (#2 from 2) - color mixing"};
  EXPECT_EQ(progress.captions, want);
  EXPECT_EQ(progress.ends, 2);
}

TEST(CollageRendering, StoredPathsStayInsideTheCollageFolder) {
  const fs::path root = Dir() / "paths";
  const fs::path inner = root / "a" / "b";
  fs::create_directories(inner / "sub");
  SolidBmp(inner / "beside.bmp", 4, 4, RGB(0, 255, 0));
  SolidBmp(inner / "sub" / "deep.bmp", 4, 4, RGB(0, 255, 0));
  SolidBmp(root / "outside.bmp", 4, 4, RGB(0, 255, 0));
  struct PathCase {
    const char* stored;
    bool found;
  };
  const std::string absolute = (inner / "sub" / "deep.bmp").string();
  const PathCase cases[] = {
      {"C:\\Pics\\beside.bmp", true},      {"sub\\deep.bmp", true},      {"sub/deep.bmp", true},
      {absolute.c_str(), true},            {"..\\..\\outside.bmp", false}, {"../../outside.bmp", false},
      {"sub\\..\\..\\..\\outside.bmp", false}, {"", false},              {".", false},
      {"..", false},                       {"C:\\Pics\\..", false},       {"missing.bmp", false},
  };
  for (const PathCase& c : cases) {
    CollageFile f;
    f.width = 4;
    f.height = 4;
    f.background = 0;
    ImageLayer l;
    l.name = c.stored;
    f.images.push_back(l);
    const fs::path path = inner / "paths.tsw";
    f.Save(path);
    CImage img;
    const bool ok = LoadTsw(path, img);
    EXPECT_EQ(ok, c.found) << c.stored;
    if (ok) EXPECT_EQ(At(img, 1, 1), RGB(0, 255, 0)) << c.stored;
  }
  CLayerImage layer("");
  layer.SetBaseFolder(inner.string().c_str());
  layer.m_fileName = "..\\..\\outside.bmp";
  bool ok = false;
  CImage canvas(4, 4, ok, 0);
  CString reason;
  EXPECT_FALSE(layer.Render(canvas, reason, nullptr, "x"));
  EXPECT_EQ(reason, "There is not the image file\n..\\..\\outside.bmp");
}

TEST(CollageRendering, CollageNamingACollageFails) {
  const fs::path path = Dir() / "self.tsw";
  CollageFile f;
  ImageLayer l;
  l.name = "self.tsw";
  f.images.push_back(l);
  f.Save(path);
  CImage img;
  EXPECT_FALSE(LoadTsw(path, img));
  CLayerImage layer("");
  layer.SetBaseFolder(Dir().string().c_str());
  layer.m_fileName = "SELF.TSW";
  fs::copy_file(path, Dir() / "SELF.TSW", fs::copy_options::overwrite_existing);
  bool ok = false;
  CImage canvas(4, 4, ok, 0);
  CString reason;
  EXPECT_FALSE(layer.Render(canvas, reason, nullptr, "x"));
  EXPECT_EQ(reason, "Failed to load the image file\nSELF.TSW");
}

// ---- Text layers ----

// The text drawn white on black by the platform itself, as a set of lit
// points (top-down).
std::set<std::pair<int, int>> PlatformText(const char* text, const LOGFONT& font, const char16_t* wide = nullptr) {
  LOGFONT lf = font;
  lf.lfQuality = NONANTIALIASED_QUALITY;
  HFONT f = CreateFontIndirect(&lf);
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  HBITMAP bm = CreateCompatibleBitmap(screen, 400, 200);
  ReleaseDC(nullptr, screen);
  HGDIOBJ ob = SelectObject(mem, bm);
  HGDIOBJ of = SelectObject(mem, f);
  PatBlt(mem, 0, 0, 400, 200, BLACKNESS);
  SetTextColor(mem, RGB(255, 255, 255));
  SetBkMode(mem, TRANSPARENT);
  if (wide)
    TextOutW(mem, 0, 0, reinterpret_cast<const WCHAR*>(wide), static_cast<int>(std::char_traits<char16_t>::length(wide)));
  else
    TextOut(mem, 0, 0, text, static_cast<int>(std::strlen(text)));
  std::set<std::pair<int, int>> lit;
  for (int y = 0; y < 200; ++y)
    for (int x = 0; x < 400; ++x)
      if ((GetPixel(mem, x, y) & 0xFFFFFF) == 0xFFFFFF) lit.insert({x, y});
  SelectObject(mem, of);
  SelectObject(mem, ob);
  DeleteObject(bm);
  DeleteDC(mem);
  DeleteObject(f);
  return lit;
}

std::set<std::pair<int, int>> Lit(const CImage& img, COLORREF color) {
  std::set<std::pair<int, int>> lit;
  for (int y = 0; y < img.GetHeight(); ++y)
    for (int x = 0; x < img.GetWidth(); ++x)
      if (At(img, x, y) == color) lit.insert({x, y});
  return lit;
}

LOGFONT TestFont(int height, BYTE charset, const char* face = "Arial") {
  LOGFONT lf{};
  lf.lfHeight = height;
  lf.lfWeight = FW_BOLD;
  lf.lfCharSet = charset;
  std::strcpy(lf.lfFaceName, face);
  return lf;
}

TEST(CollageRendering, TextLandsTwiceItsPositionAway) {
  CLayerText layer("Ag");
  layer.m_font = TestFont(-20, ANSI_CHARSET);
  layer.m_textColor = RGB(255, 255, 255);
  layer.m_position = POINT{10, 20};
  bool ok = false;
  CImage canvas(200, 150, ok, 0);
  CString reason;
  ASSERT_TRUE(layer.Render(canvas, reason, nullptr, "x"));
  std::set<std::pair<int, int>> want;
  int maxX = 0, maxY = 0, minX = 1000, minY = 1000;
  for (auto [x, y] : PlatformText("Ag", layer.m_font)) {
    want.insert({x + 20, y + 40});
    maxX = std::max(maxX, x);
    maxY = std::max(maxY, y);
    minX = std::min(minX, x);
    minY = std::min(minY, y);
  }
  ASSERT_FALSE(want.empty());
  EXPECT_EQ(Lit(canvas, RGB(255, 255, 255)), want);
  // The outline moves once by the position, the visible size reaches the
  // largest moved point.
  EXPECT_EQ(layer.m_corners[0].x, minX + 10);
  EXPECT_EQ(layer.m_corners[0].y, minY + 20);
  EXPECT_EQ(layer.m_corners[2].x, maxX + 10);
  EXPECT_EQ(layer.m_corners[2].y, maxY + 20);
  EXPECT_EQ(layer.m_visibleSize.cx, maxX + 10);
  EXPECT_EQ(layer.m_visibleSize.cy, maxY + 20);
}

// The text's bytes are read in the code page of the font's character set,
// whatever the interface language.
TEST(CollageRendering, TextFollowsTheFontsCharacterSet) {
  struct CharsetCase {
    const char* bytes;
    const char16_t* text;
    BYTE charset;
  };
  const CharsetCase cases[] = {{"\xCF\xF0\xE8\xE2\xE5\xF2", u"\u041F\u0440\u0438\u0432\u0435\u0442", RUSSIAN_CHARSET},
                               {"Caf\xE9 \xC6", u"Caf\u00E9 \u00C6", ANSI_CHARSET}};
  const UINT interfacePage = GetAnsiCodePage();
  for (UINT page : {1251u, 1252u}) {
    SetAnsiCodePage(page);
    for (const CharsetCase& c : cases) {
      CLayerText layer(c.bytes);
      layer.m_font = TestFont(-22, c.charset);
      layer.m_textColor = RGB(255, 255, 255);
      bool ok = false;
      CImage canvas(200, 60, ok, 0);
      CString reason;
      ASSERT_TRUE(layer.Render(canvas, reason, nullptr, "x"));
      const auto want = PlatformText(nullptr, layer.m_font, c.text);
      ASSERT_FALSE(want.empty());
      EXPECT_EQ(Lit(canvas, RGB(255, 255, 255)), want) << page << " " << int(c.charset);
    }
  }
  SetAnsiCodePage(interfacePage);
}

TEST(CollageRendering, ShadowStepsFadeOutward) {
  CLayerText layer(".");
  layer.m_font = TestFont(-60, ANSI_CHARSET);
  layer.m_textColor = RGB(0, 0, 255);
  layer.m_shadowColor = RGB(255, 255, 255);
  layer.m_shadowSize = 3;
  layer.m_shadowFade = 30;
  layer.m_transparency = 5;
  bool ok = false;
  CImage canvas(100, 100, ok, 0);
  CString reason;
  ASSERT_TRUE(layer.Render(canvas, reason, nullptr, "x"));
  const auto lit = PlatformText(".", layer.m_font);
  ASSERT_FALSE(lit.empty());
  std::pair<int, int> corner = *lit.begin();
  for (auto p : lit)
    if (p.first + p.second > corner.first + corner.second) corner = p;
  // The point beyond the blob's lower-right corner is drawn once per step:
  // transparency 15, 25, 35 at offsets 0, 1, 2.
  for (int k = 0; k < 3; ++k) {
    const BYTE t = static_cast<BYTE>(5 + 10 * (k + 1));
    const BYTE v = static_cast<BYTE>(255 * (255 - t) / 255);
    EXPECT_EQ(At(canvas, corner.first + 1 + k, corner.second + 1 + k), RGB(v, v, v)) << k;
  }
  // The text over the shadows, mixed with its own transparency.
  EXPECT_EQ(At(canvas, corner.first, corner.second), RGB(0, 0, 250));
  int maxX = 0;
  for (auto p : lit) maxX = std::max(maxX, p.first);
  EXPECT_EQ(layer.m_visibleSize.cx, maxX + 1 + 3);
}

// A shadow of any size costs only the steps that reach the canvas: text
// far to the upper left with the largest size ends at once, and text whose
// shadow crosses the canvas gets the same pixels as with a size that just
// covers it.
TEST(CollageRendering, HugeShadowsDrawOnlyTheStepsThatReachTheCanvas) {
  auto render = [](LONG x, int size, int width, int height) {
    CLayerText layer(".");
    layer.m_font = TestFont(-40, ANSI_CHARSET);
    layer.m_textColor = RGB(0, 0, 255);
    layer.m_shadowColor = RGB(255, 255, 255);
    layer.m_shadowSize = size;
    layer.m_shadowFade = 200;
    layer.m_position = POINT{x, x < -1000 ? x : 0};
    bool ok = false;
    auto canvas = std::make_unique<CImage>(width, height, ok, 0);
    CString reason;
    EXPECT_TRUE(layer.Render(*canvas, reason, nullptr, "x"));
    return canvas;
  };
  const auto far = render(-1000000000, INT_MAX, 50, 50);
  EXPECT_TRUE(Lit(*far, RGB(255, 255, 255)).empty());
  const auto all = render(-100, INT_MAX, 80, 400);
  const auto enough = render(-100, 1000, 80, 400);
  const auto shadow = Lit(*all, RGB(255, 255, 255));
  EXPECT_FALSE(shadow.empty());
  EXPECT_EQ(shadow, Lit(*enough, RGB(255, 255, 255)));
}

TEST(CollageRendering, GradientRunsFromStartToEnd) {
  CLayerText layer("MMM");
  layer.m_font = TestFont(-30, ANSI_CHARSET);
  layer.m_textColor = RGB(0, 100, 200);
  layer.m_gradientEnd = RGB(250, 0, 100);
  layer.m_gradient = 1;
  bool ok = false;
  CImage canvas(200, 60, ok, RGB(1, 1, 1));
  CString reason;
  ASSERT_TRUE(layer.Render(canvas, reason, nullptr, "x"));
  const auto lit = PlatformText("MMM", layer.m_font);
  int minX = 1000, maxX = 0;
  std::pair<int, int> left, right;
  for (auto p : lit) {
    if (p.first < minX) minX = p.first, left = p;
    if (p.first > maxX) maxX = p.first, right = p;
  }
  EXPECT_EQ(At(canvas, right.first, right.second), RGB(250, 0, 100));
  const auto part = [&](int s, int e) { return s + (e - s) * minX / maxX; };
  EXPECT_EQ(At(canvas, left.first, left.second), RGB(part(0, 250), part(100, 0), part(200, 100)));
}

TEST(CollageRendering, NegativeAngleTurnsAsItsPositiveEquivalent) {
  auto render = [](int angle) {
    CLayerText layer("Tx");
    layer.m_font = TestFont(-24, ANSI_CHARSET);
    layer.m_textColor = RGB(255, 255, 0);
    layer.m_angle = angle;
    layer.m_position = POINT{5, 5};
    bool ok = false;
    CImage canvas(120, 120, ok, 0);
    CString reason;
    EXPECT_TRUE(layer.Render(canvas, reason, nullptr, "x"));
    return Lit(canvas, RGB(255, 255, 0));
  };
  const auto minus = render(-90);
  EXPECT_FALSE(minus.empty());
  EXPECT_EQ(minus, render(270));
  EXPECT_NE(minus, render(90));
  EXPECT_NE(minus, render(0));
}

TEST(CollageRendering, TextAndPictureLayersTogether) {
  SolidBmp(Dir() / "gray.bmp", 50, 30, RGB(128, 128, 128));
  CollageFile f;
  f.width = 80;
  f.height = 60;
  ImageLayer pic;
  pic.name = "gray.bmp";
  pic.x = 10;
  pic.y = 10;
  TextLayer text;
  text.text = "Hi";
  text.color = RGB(255, 0, 0);
  text.x = 2;
  text.y = 2;
  f.texts.push_back(text);
  f.images.push_back(pic);
  f.order = {'t', 'i'};
  const fs::path path = Dir() / "both.tsw";
  f.Save(path);
  CRecordingProgress progress;
  CImage img;
  ASSERT_TRUE(LoadTsw(path, img, &progress));
  EXPECT_EQ(At(img, 59, 39), RGB(128, 128, 128));
  EXPECT_EQ(At(img, 0, 0), RGB(255, 255, 255));
  EXPECT_FALSE(Lit(img, RGB(255, 0, 0)).empty());
  ASSERT_GE(progress.captions.size(), 3u);
  EXPECT_EQ(progress.captions[0], "Image Layer Creation (#1 from 2) - color mixing");
  EXPECT_EQ(progress.captions[1], "Text Layer Creation (#2 from 2) - raster creation");
  EXPECT_EQ(progress.captions.back(), "Text Layer Creation (#2 from 2) - finishing");
}

}  // namespace
