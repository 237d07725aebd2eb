// Hand-made GIF files of several images: a logical screen with or without a
// global table and its background index, images with their own tables,
// transparent indices, disposals and delays. The image data is all literal
// codes (a clear code before every two pixels keeps the code size fixed).
#pragma once

#include <algorithm>
#include <vector>

namespace gifbuild {

using Bytes = std::vector<unsigned char>;

struct Image {
  int left = 0, top = 0, width = 1, height = 1;
  Bytes table;  // red, green, blue triples of a local table; empty: none
  Bytes pixels;  // rows from the top
  int transparent = -1;
  int disposal = 0;
  int delay = 0;  // hundredths of a second
  bool control = false;  // a control block even without transparency, disposal or delay
};

struct File {
  int width = 1, height = 1;
  Bytes global;  // red, green, blue triples; empty: none
  int background = 0;
  std::vector<Image> images;
};

inline void Put16(Bytes& b, int v) {
  b.push_back(static_cast<unsigned char>(v));
  b.push_back(static_cast<unsigned char>(v >> 8));
}

// Bits of the table size field (entries 2 << bits), padding the table.
inline int TableBits(Bytes& table) {
  int bits = 0;
  while ((6u << bits) < table.size()) ++bits;
  table.resize(6u << bits, 0);
  return bits;
}

// Image data whose codes are all literals: a clear code before every two
// pixels keeps the code size at minCodeSize + 1.
inline Bytes ImageData(const Bytes& pixels, int minCodeSize) {
  Bytes codes;
  unsigned acc = 0;
  int bits = 0;
  const int size = minCodeSize + 1;
  auto put = [&](int code) {
    acc |= static_cast<unsigned>(code) << bits;
    bits += size;
    while (bits >= 8) {
      codes.push_back(static_cast<unsigned char>(acc));
      acc >>= 8;
      bits -= 8;
    }
  };
  const int clear = 1 << minCodeSize;
  for (size_t i = 0; i < pixels.size(); ++i) {
    if (i % 2 == 0) put(clear);
    put(pixels[i]);
  }
  put(clear + 1);
  if (bits > 0) codes.push_back(static_cast<unsigned char>(acc));
  Bytes out = {static_cast<unsigned char>(minCodeSize)};
  for (size_t i = 0; i < codes.size(); i += 255) {
    const size_t n = std::min<size_t>(255, codes.size() - i);
    out.push_back(static_cast<unsigned char>(n));
    out.insert(out.end(), codes.begin() + static_cast<long>(i), codes.begin() + static_cast<long>(i + n));
  }
  out.push_back(0);
  return out;
}

inline Bytes Build(File f) {
  Bytes b = {'G', 'I', 'F', '8', '9', 'a'};
  Put16(b, f.width);
  Put16(b, f.height);
  int globalBits = 0;
  if (!f.global.empty()) globalBits = TableBits(f.global);
  b.push_back(static_cast<unsigned char>(f.global.empty() ? 0 : 0xF0 | globalBits));
  b.push_back(static_cast<unsigned char>(f.background));
  b.push_back(0);
  b.insert(b.end(), f.global.begin(), f.global.end());
  for (Image im : f.images) {
    if (im.control || im.transparent >= 0 || im.disposal || im.delay) {
      const unsigned char flags = static_cast<unsigned char>((im.disposal << 2) | (im.transparent >= 0 ? 1 : 0));
      b.insert(b.end(), {0x21, 0xF9, 4, flags});
      Put16(b, im.delay);
      b.push_back(static_cast<unsigned char>(im.transparent >= 0 ? im.transparent : 0));
      b.push_back(0);
    }
    b.push_back(0x2C);
    Put16(b, im.left);
    Put16(b, im.top);
    Put16(b, im.width);
    Put16(b, im.height);
    int tableBits = globalBits;
    if (!im.table.empty()) {
      tableBits = TableBits(im.table);
      b.push_back(static_cast<unsigned char>(0x80 | tableBits));
      b.insert(b.end(), im.table.begin(), im.table.end());
    } else {
      b.push_back(0);
    }
    const Bytes data = ImageData(im.pixels, std::max(2, tableBits + 1));
    b.insert(b.end(), data.begin(), data.end());
  }
  b.push_back(';');
  return b;
}

// Files of several images and the picture a viewer shows of each: red,
// green and blue of every pixel, rows from the top. Every image is drawn at
// once (no delays).
struct Composition {
  const char* what;
  File file;
  int width, height;
  Bytes expected;
};

// One 2 x 2 image on a 4 x 2 screen, its table the global one, its
// transparent index 3 (pixels 3 0 / 1 3); the background index (1) is not
// used: where nothing covers the screen it is transparent. The picture,
// index by index, rows from the top, is kSharedTableIndices.
inline File SharedTableFile() {
  File f{4, 2, {10, 10, 10, 20, 20, 20, 30, 30, 30, 40, 40, 40}, 1, {}};
  Image a;
  a.width = a.height = 2;
  a.transparent = 3;
  a.pixels = {3, 0, 1, 3};
  f.images = {a};
  return f;
}
constexpr unsigned char kSharedTableIndices[2][4] = {{3, 0, 3, 3}, {1, 3, 3, 3}};

inline std::vector<Composition> Compositions() {
  std::vector<Composition> out;
  // A 2-colour global table (black, white; background white) for a checked
  // 4 x 4 image, then a 4 x 3 image with its own 256 colours; the corners
  // no image covers show the background.
  {
    Composition c{"own tables and depths", {8, 6, {0, 0, 0, 255, 255, 255}, 1, {}}, 8, 6, {}};
    Image a;
    a.width = a.height = 4;
    for (int i = 0; i < 16; ++i) a.pixels.push_back(static_cast<unsigned char>((i + i / 4) % 2));
    Image b;
    b.left = 4;
    b.top = 2;
    b.width = 4;
    b.height = 3;
    for (int i = 0; i < 256; ++i)
      b.table.insert(b.table.end(), {static_cast<unsigned char>(i), static_cast<unsigned char>(255 - i),
                                     static_cast<unsigned char>(i / 2)});
    for (int i = 0; i < 12; ++i) b.pixels.push_back(static_cast<unsigned char>(17 * i + 30));
    c.file.images = {a, b};
    for (int y = 0; y < 6; ++y)
      for (int x = 0; x < 8; ++x) {
        unsigned char v;
        if (x < 4 && y < 4) {
          v = a.pixels[static_cast<size_t>(y * 4 + x)] ? 255 : 0;
          c.expected.insert(c.expected.end(), {v, v, v});
        } else if (x >= 4 && y >= 2 && y < 5) {
          const int i = b.pixels[static_cast<size_t>((y - 2) * 4 + x - 4)];
          c.expected.insert(c.expected.end(), {static_cast<unsigned char>(i), static_cast<unsigned char>(255 - i),
                                               static_cast<unsigned char>(i / 2)});
        } else {
          c.expected.insert(c.expected.end(), {255, 255, 255});
        }
      }
    out.push_back(c);
  }
  // One image smaller than the screen: around it the background colour
  // (entry 2, blue), not entry 0.
  {
    const Bytes table = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 0};
    Composition c{"background index", {5, 4, table, 2, {}}, 5, 4, {}};
    Image a;
    a.left = a.top = 1;
    a.width = a.height = 2;
    a.pixels = {0, 1, 3, 0};
    c.file.images = {a};
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 5; ++x) {
        const int i = x >= 1 && x < 3 && y >= 1 && y < 3 ? a.pixels[static_cast<size_t>((y - 1) * 2 + x - 1)] : 2;
        c.expected.insert(c.expected.end(), table.begin() + 3 * i, table.begin() + 3 * i + 3);
      }
    out.push_back(c);
  }
  // Transparent pixels of the second image show the first one.
  {
    Composition c{"transparent pixels", {4, 2, {10, 20, 30, 40, 50, 60}, 0, {}}, 4, 2, {}};
    Image a;
    a.width = 4;
    a.height = 2;
    a.pixels = Bytes(8, 1);
    Image b = a;
    b.table = {9, 9, 9, 200, 100, 0};
    b.transparent = 0;
    b.pixels = {0, 1, 0, 1, 1, 0, 1, 0};
    c.file.images = {a, b};
    for (unsigned char p : b.pixels) {
      const Bytes colour = p ? Bytes{200, 100, 0} : Bytes{40, 50, 60};
      c.expected.insert(c.expected.end(), colour.begin(), colour.end());
    }
    out.push_back(c);
  }
  // Disposals: the first image gives its area back to what was there (the
  // background), the second clears its area to the background, the third
  // stays.
  {
    const Bytes table = {1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4};
    Composition c{"disposals", {4, 1, table, 0, {}}, 4, 1, {}};
    Image a;
    a.width = 4;
    a.pixels = {1, 1, 1, 1};
    a.disposal = 3;
    Image b;
    b.width = 2;
    b.pixels = {2, 2};
    b.disposal = 2;
    Image d;
    d.left = 1;
    d.width = 2;
    d.pixels = {3, 3};
    c.file.images = {a, b, d};
    c.expected = {1, 1, 1, 4, 4, 4, 4, 4, 4, 1, 1, 1};
    out.push_back(c);
  }
  return out;
}

}  // namespace gifbuild
