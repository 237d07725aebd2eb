#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "pdflib/lib/bmp.h"

namespace {

void Put16(std::vector<std::uint8_t>& v, std::size_t at, unsigned x) {
  v[at] = static_cast<std::uint8_t>(x), v[at + 1] = static_cast<std::uint8_t>(x >> 8);
}
void Put32(std::vector<std::uint8_t>& v, std::size_t at, std::uint32_t x) {
  for (int i = 0; i < 4; ++i) v[at + i] = static_cast<std::uint8_t>(x >> (8 * i));
}

// A bitmap file of width x height with the given bits, palette (BGRA) and
// rows (from the bottom unless topDown), each row padded to 4 bytes.
std::vector<std::uint8_t> Bmp(int width, int height, int bits, const std::vector<std::uint32_t>& palette,
                              const std::vector<std::vector<std::uint8_t>>& rows, bool topDown = false,
                              std::uint32_t compression = 0, const std::vector<std::uint32_t>& masks = {}) {
  const std::size_t stride = (static_cast<std::size_t>(width) * bits + 31) / 32 * 4;
  const std::size_t offset = 14 + 40 + masks.size() * 4 + palette.size() * 4;
  std::vector<std::uint8_t> v(offset + stride * rows.size(), 0);
  v[0] = 'B', v[1] = 'M';
  Put32(v, 2, static_cast<std::uint32_t>(v.size()));
  Put32(v, 10, static_cast<std::uint32_t>(offset));
  Put32(v, 14, 40);
  Put32(v, 18, static_cast<std::uint32_t>(width));
  Put32(v, 22, static_cast<std::uint32_t>(topDown ? -height : height));
  Put16(v, 26, 1);
  Put16(v, 28, static_cast<unsigned>(bits));
  Put32(v, 30, compression);
  Put32(v, 46, static_cast<std::uint32_t>(palette.size()));
  std::size_t at = 54;
  for (std::uint32_t m : masks) Put32(v, at, m), at += 4;
  for (std::uint32_t c : palette) Put32(v, at, c), at += 4;
  for (std::size_t r = 0; r < rows.size(); ++r)
    for (std::size_t i = 0; i < rows[r].size(); ++i) v[offset + r * stride + i] = rows[r][i];
  return v;
}

std::string Pixels(const qmpdf::RgbImage& img) {
  std::string s;
  for (std::size_t i = 0; i < img.rgb.size(); i += 3) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02x%02x%02x ", img.rgb[i], img.rgb[i + 1], img.rgb[i + 2]);
    s += buf;
  }
  return s;
}

std::string Decode(const std::vector<std::uint8_t>& file) {
  qmpdf::RgbImage img;
  std::string why;
  if (!qmpdf::DecodeBmp(file.data(), file.size(), img, why)) return "refused: " + why;
  return std::to_string(img.width) + "x" + std::to_string(img.height) + " " + Pixels(img);
}

}  // namespace

TEST(BmpTest, EveryDepthDecodesToRgbRowsFromTheTop) {
  const std::vector<std::uint32_t> bw = {0x000000, 0xFFFFFF};
  // Bottom row first in the file.
  EXPECT_EQ(Decode(Bmp(3, 2, 1, bw, {{0xA0}, {0x40}})), "3x2 000000 ffffff 000000 ffffff 000000 ffffff ");
  EXPECT_EQ(Decode(Bmp(3, 1, 4, {0x0000FF, 0x00FF00, 0xFF0000}, {{0x01, 0x20}})), "3x1 0000ff 00ff00 ff0000 ");
  EXPECT_EQ(Decode(Bmp(2, 1, 8, {0x102030, 0x405060}, {{1, 0}})), "2x1 405060 102030 ");
  EXPECT_EQ(Decode(Bmp(2, 1, 24, {}, {{1, 2, 3, 4, 5, 6}})), "2x1 030201 060504 ");
  EXPECT_EQ(Decode(Bmp(1, 1, 32, {}, {{1, 2, 3, 0xFF}})), "1x1 030201 ");
  EXPECT_EQ(Decode(Bmp(1, 2, 24, {}, {{9, 9, 9}, {1, 1, 1}}, true)), "1x2 090909 010101 ");
  // 16 bits 5-5-5 and bit fields 5-6-5.
  EXPECT_EQ(Decode(Bmp(1, 1, 16, {}, {{0x00, 0x7C}})), "1x1 ff0000 ");
  EXPECT_EQ(Decode(Bmp(1, 1, 16, {}, {{0xE0, 0x07}}, false, 3, {0xF800, 0x07E0, 0x001F})), "1x1 00ff00 ");
  // An index beyond the palette is black.
  EXPECT_EQ(Decode(Bmp(1, 1, 8, {0xFFFFFF}, {{7}})), "1x1 000000 ");
}

TEST(BmpTest, FilesThatDoNotHoldWhatTheyClaimAreRefused) {
  std::vector<std::uint8_t> good = Bmp(4, 4, 24, {}, {{}, {}, {}, {}});
  EXPECT_EQ(Decode(good).substr(0, 3), "4x4");
  struct Case {
    const char* what;
    std::vector<std::uint8_t> file;
  };
  std::vector<Case> cases;
  cases.push_back({"empty", {}});
  cases.push_back({"truncated pixels", std::vector<std::uint8_t>(good.begin(), good.end() - 1)});
  auto huge = good;
  Put32(huge, 18, 60000), Put32(huge, 22, 60000);
  cases.push_back({"size beyond the data", huge});
  auto zero = good;
  Put32(zero, 18, 0);
  cases.push_back({"zero width", zero});
  auto depth = good;
  Put16(depth, 28, 7);
  cases.push_back({"odd depth", depth});
  auto rle = good;
  Put32(rle, 30, 1);
  cases.push_back({"compressed", rle});
  auto offset = good;
  Put32(offset, 10, 0xFFFFFFF0u);
  cases.push_back({"offset past the end", offset});
  auto palette = Bmp(2, 1, 8, {1, 2}, {{0, 1}});
  Put32(palette, 46, 200);  // 200 colours claimed, 2 present (the pixels are read as palette)
  palette.resize(60);
  cases.push_back({"short palette", palette});
  auto header = good;
  Put32(header, 14, 200);
  cases.push_back({"header size", header});
  for (const Case& c : cases) EXPECT_EQ(Decode(c.file).substr(0, 8), "refused:") << c.what;
}
