#include <gtest/gtest.h>

#include <zlib.h>

#include <cstdio>
#include <jpeglib.h>

#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "pdflib/pdflib.h"
#include "tests/pdflib/doc_helpers.h"
#include "tests/pdflib/pdf_tools.h"

namespace {

using Bytes = std::vector<unsigned char>;

void Le(Bytes& v, std::uint32_t x, int n) {
  for (int i = 0; i < n; ++i) v.push_back(static_cast<unsigned char>(x >> (8 * i)));
}
void Be(Bytes& v, std::uint32_t x) {
  for (int i = 3; i >= 0; --i) v.push_back(static_cast<unsigned char>(x >> (8 * i)));
}

// A 24-bit bitmap whose left half is red and right half blue.
Bytes HalvesBmp(int w, int h) {
  const int stride = (w * 3 + 3) / 4 * 4;
  Bytes v = {'B', 'M'};
  Le(v, static_cast<std::uint32_t>(54 + stride * h), 4);
  Le(v, 0, 4);
  Le(v, 54, 4);
  Le(v, 40, 4);
  Le(v, static_cast<std::uint32_t>(w), 4);
  Le(v, static_cast<std::uint32_t>(h), 4);
  Le(v, 1, 2);
  Le(v, 24, 2);
  for (int i = 0; i < 6; ++i) Le(v, 0, 4);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const bool left = x < w / 2;
      v.push_back(left ? 0 : 255), v.push_back(0), v.push_back(left ? 255 : 0);
    }
    for (int pad = w * 3; pad < stride; ++pad) v.push_back(0);
  }
  return v;
}

// An RGB PNG whose top half is green and bottom half black.
Bytes HalvesPng(int w, int h) {
  Bytes raw;
  for (int y = 0; y < h; ++y) {
    raw.push_back(0);
    for (int x = 0; x < w; ++x) raw.push_back(0), raw.push_back(y < h / 2 ? 200 : 0), raw.push_back(0);
  }
  uLongf n = compressBound(raw.size());
  Bytes z(n);
  compress(z.data(), &n, raw.data(), raw.size());
  z.resize(n);
  Bytes v = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  auto chunk = [&](const char* type, const Bytes& data) {
    Be(v, static_cast<std::uint32_t>(data.size()));
    Bytes body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    v.insert(v.end(), body.begin(), body.end());
    Be(v, static_cast<std::uint32_t>(crc32(0, body.data(), static_cast<uInt>(body.size()))));
  };
  Bytes ihdr;
  Be(ihdr, static_cast<std::uint32_t>(w));
  Be(ihdr, static_cast<std::uint32_t>(h));
  ihdr.insert(ihdr.end(), {8, 2, 0, 0, 0});
  chunk("IHDR", ihdr);
  chunk("IDAT", z);
  chunk("IEND", {});
  return v;
}

// A grey JPEG file.
Bytes GreyJpeg(int w, int h) {
  jpeg_compress_struct c{};
  jpeg_error_mgr err{};
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  unsigned char* out = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&c, &out, &size);
  c.image_width = static_cast<JDIMENSION>(w);
  c.image_height = static_cast<JDIMENSION>(h);
  c.input_components = 3;
  c.in_color_space = JCS_RGB;
  jpeg_set_defaults(&c);
  jpeg_start_compress(&c, TRUE);
  std::vector<unsigned char> row(static_cast<std::size_t>(w) * 3, 100);
  while (c.next_scanline < c.image_height) {
    JSAMPROW r = row.data();
    jpeg_write_scanlines(&c, &r, 1);
  }
  jpeg_finish_compress(&c);
  Bytes v(out, out + size);
  jpeg_destroy_compress(&c);
  free(out);
  return v;
}

bool Near(const std::uint8_t* p, int r, int g, int b) {
  return std::abs(p[0] - r) < 40 && std::abs(p[1] - g) < 40 && std::abs(p[2] - b) < 40;
}

}  // namespace

TEST(PdfImageTest, PicturesByContentFitInsideTheirBoxes) {
  const auto dir = qmtest::MakeTempDir("pdf-images");
  qmtest::WriteAll(dir / "halves.bmp", HalvesBmp(40, 20));
  qmtest::WriteAll(dir / "halves.png", HalvesPng(20, 20));
  qmtest::WriteAll(dir / "grey.jpg", GreyJpeg(30, 30));
  const auto path = dir / "images.pdf";
  {
    PDFlib p;
    p.begin_document(path.string(), "");
    // Names say nothing: the content decides.
    std::filesystem::copy_file(dir / "halves.bmp", dir / "picture.jpg");
    const int bmp = p.load_image("auto", (dir / "picture.jpg").string(), "");
    const int png = p.load_image("auto", (dir / "halves.png").string(), "");
    const int jpg = p.load_image("auto", (dir / "grey.jpg").string(), "");
    ASSERT_GT(bmp, 0);
    ASSERT_GT(png, 0);
    ASSERT_GT(jpg, 0);
    p.begin_page_ext(400, 400, "");
    // 40 x 20 into 100 x 100, centred: 100 x 50 from y = 25 to 75 in the box at (0, 300).
    p.fit_image(bmp, 0, 300, "boxsize={100 100} position={center} fitmethod=meet");
    // Turned west: the left (red) half at the bottom, 50 x 100 in the box at (200, 300).
    p.fit_image(bmp, 200, 300, "boxsize={100 100} position={center} fitmethod=meet orientate=west");
    // Without fitmethod the box still fits the whole picture (meet).
    p.fit_image(png, 0, 0, "boxsize={80 160} position={center}");
    p.fit_image(jpg, 200, 0, "boxsize={100 100} fitmethod=meet");
    p.end_page_ext("");
    p.end_document("");
  }
  ASSERT_TRUE(qmtest::QpdfCheckPasses(path));
  const qmtest::Pixmap pm = qmtest::Render(path, 1, 72);
  ASSERT_TRUE(pm.Ok());
  auto at = [&](double x, double y) { return qmtest::PointPixel(pm, x, y, 72); };
  EXPECT_TRUE(Near(at(20, 350), 255, 0, 0)) << "left half red";
  EXPECT_TRUE(Near(at(80, 350), 0, 0, 255)) << "right half blue";
  EXPECT_TRUE(Near(at(50, 315), 255, 255, 255)) << "below the picture, inside the box";
  EXPECT_TRUE(Near(at(50, 385), 255, 255, 255)) << "above the picture, inside the box";
  EXPECT_TRUE(Near(at(250, 320), 255, 0, 0)) << "turned: red at the bottom";
  EXPECT_TRUE(Near(at(250, 380), 0, 0, 255)) << "turned: blue at the top";
  EXPECT_TRUE(Near(at(215, 350), 255, 255, 255)) << "turned: 50 wide, centred";
  EXPECT_TRUE(Near(at(40, 110), 0, 200, 0)) << "PNG: top half green";
  EXPECT_TRUE(Near(at(40, 50), 0, 0, 0)) << "PNG: bottom half black";
  EXPECT_TRUE(Near(at(40, 30), 255, 255, 255)) << "PNG: 80 x 80 centred in 80 x 160";
  EXPECT_TRUE(Near(at(250, 50), 100, 100, 100)) << "JPEG at the box's lower left";
  EXPECT_TRUE(Near(at(250, 150), 255, 255, 255));
}

// Pictures with the same bytes (whatever their file names) are written
// into the file once; each load still gets its own handle, and each
// placement shows the picture.
TEST(PdfImageTest, PicturesWithTheSameBytesAreWrittenOnce) {
  const auto dir = qmtest::MakeTempDir("pdf-same-images");
  qmtest::WriteAll(dir / "a.bmp", HalvesBmp(40, 20));
  qmtest::WriteAll(dir / "b.bmp", HalvesBmp(40, 20));
  qmtest::WriteAll(dir / "taller.bmp", HalvesBmp(40, 22));
  qmtest::WriteAll(dir / "a.jpg", GreyJpeg(30, 30));
  qmtest::WriteAll(dir / "b.jpg", GreyJpeg(30, 30));
  const auto path = dir / "same.pdf";
  {
    PDFlib p;
    p.begin_document(path.string(), "");
    std::vector<int> handles;
    for (const char* name : {"a.bmp", "b.bmp", "taller.bmp", "a.jpg", "b.jpg", "a.bmp"})
      handles.push_back(p.load_image("auto", (dir / name).string(), ""));
    for (size_t i = 0; i < handles.size(); ++i) {
      ASSERT_GT(handles[i], 0);
      for (size_t j = 0; j < i; ++j) EXPECT_NE(handles[i], handles[j]);
    }
    p.begin_page_ext(600, 100, "");
    for (size_t i = 0; i < handles.size(); ++i)
      p.fit_image(handles[i], 100.0 * static_cast<double>(i), 0, "boxsize={100 100} fitmethod=meet");
    p.end_page_ext("");
    p.end_document("");
  }
  ASSERT_TRUE(qmtest::QpdfCheckPasses(path));
  // pdfimages lists each placement with the number of its picture object.
  const std::string list = qmtest::RunCommand("pdfimages -list " + qmtest::Quote(path));
  std::set<std::string> objects;
  int placements = 0;
  std::istringstream lines(list);
  for (std::string line; std::getline(lines, line);) {
    std::istringstream words(line);
    std::vector<std::string> w{std::istream_iterator<std::string>(words), std::istream_iterator<std::string>()};
    if (w.size() < 12 || w[0] != "1") continue;
    ++placements;
    objects.insert(w[10]);
  }
  EXPECT_EQ(placements, 6) << list;
  EXPECT_EQ(objects.size(), 3u) << list;
  const qmtest::Pixmap pm = qmtest::Render(path, 1, 72);
  ASSERT_TRUE(pm.Ok());
  for (double x : {20.0, 120.0, 520.0}) EXPECT_TRUE(Near(qmtest::PointPixel(pm, x, 25, 72), 255, 0, 0)) << x;
  for (double x : {350.0, 450.0}) EXPECT_TRUE(Near(qmtest::PointPixel(pm, x, 50, 72), 100, 100, 100)) << x;
}

TEST(PdfImageTest, CorruptOrUnknownPicturesAnswerMinusOne) {
  const auto dir = qmtest::MakeTempDir("pdf-bad-images");
  const Bytes bmp = HalvesBmp(8, 8), png = HalvesPng(8, 8), jpg = GreyJpeg(8, 8);
  struct Case {
    const char* name;
    Bytes bytes;
  } cases[] = {
      {"truncated.bmp", Bytes(bmp.begin(), bmp.begin() + 60)},
      {"truncated.png", Bytes(png.begin(), png.begin() + 40)},
      {"truncated.jpg", Bytes(jpg.begin(), jpg.begin() + 20)},
      {"text.bmp", Bytes{'h', 'e', 'l', 'l', 'o'}},
      {"empty.png", Bytes{}},
      {"gif.gif", Bytes{'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0, 0, 0}},
  };
  const auto path = dir / "bad.pdf";
  PDFlib p;
  p.begin_document(path.string(), "");
  for (const Case& c : cases) {
    qmtest::WriteAll(dir / c.name, c.bytes);
    EXPECT_EQ(p.load_image("auto", (dir / c.name).string(), ""), -1) << c.name;
  }
  EXPECT_EQ(p.load_image("auto", (dir / "missing.bmp").string(), ""), -1);
  EXPECT_EQ(qmtest::ErrorNumberOf([&] { p.load_image("bmp", (dir / "text.bmp").string(), ""); }), 1104);
  // The document goes on.
  qmtest::WriteAll(dir / "good.bmp", bmp);
  const int good = p.load_image("auto", (dir / "good.bmp").string(), "");
  EXPECT_GT(good, 0);
  p.begin_page_ext(100, 100, "");
  EXPECT_EQ(qmtest::ErrorNumberOf([&] { p.fit_image(good, 0, 0, "boxsize={0 10}"); }), 2002);
  EXPECT_EQ(qmtest::ErrorNumberOf([&] { p.fit_image(good, 0, 0, "fitmethod=clip"); }), 1102);
  p.fit_image(good, 0, 0, "");
  p.end_page_ext("");
  p.end_document("");
  EXPECT_TRUE(qmtest::QpdfCheckPasses(path));
}
