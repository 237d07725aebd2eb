// Design files written byte by byte, as the earlier releases laid them out:
// the current container of versions 0 to 4 and the older container of
// versions 0 to 16 with its design blob. Used by the tests of the older
// versions and by the generator of the fuzz targets' seeds.
#pragma once

#include <zlib.h>

#include <string>

#include "core/ByteStream.h"
#include "image/Image.h"
#include "palette/ColorSet.h"
#include "settings/PdfData.h"
#include "tests/designfile/designfile_fixtures.h"

namespace dftest {

// What the fixtures put into a design.
struct FixtureDesign {
  int columns = 3;
  int rows = 2;
  bool blank = false;
  std::string title = "Old design";
  std::string author = "Ann";
  int stitchPath = 0;
  int sectionVersion = 4;  // row-format section / design blob
  int tags = 2;            // tag entries of a design blob
  int paletteColours = 3;
  bool textItems = true;   // a text-item list in the design blob
  bool zeroGuid = false;
};

// Bead i: colour index i % 3, cached colour 0x0000A0 + i, alternate i % 2.
inline int FixtureColorIndex(int i) { return i % 3; }

// Sizes that hold the grid exactly: beads of 0.125 inch, no spacer.
inline void Sizes(Bytes& b, const FixtureDesign& d) {
  const double w = 0.125 * d.columns, h = 0.125 * d.rows;
  b.f64(w).f64(h).f64(0.125).f64(0.125).f64(0.0).f64(w).f64(h);
}

inline double BeadX(const FixtureDesign& d, int i) { return (i % d.columns + 0.5) / d.columns; }
inline double BeadY(const FixtureDesign& d, int i) { return (i / d.columns + 0.5) / d.rows; }

// The bead section with 26-byte records; the byte after the format is
// kept by the current container (6 here).
inline void BeadSection(Bytes& b, const FixtureDesign& d) {
  const int n = d.columns * d.rows;
  b.u32(static_cast<std::uint32_t>(n));
  for (int i = 0; i < n; ++i)
    b.f64(BeadX(d, i)).f64(BeadY(d, i)).u32(0xA0u + i).i32(FixtureColorIndex(i)).u8(1).u8(i % 2);
  Sizes(b, d);
  b.u8(d.blank ? 1 : 0).u32(kFormatLoom).u8(6).zeros(3);
}

inline void RowFormatSection(Bytes& b, const FixtureDesign& d) {
  b.u32(static_cast<std::uint32_t>(d.sectionVersion)).u32(2).u32(1).u32(0).u32(static_cast<std::uint32_t>(d.rows - 1)).u32(0);
}

inline void Guid(Bytes& b, const FixtureDesign& d) {
  for (int i = 0; i < 16; ++i) b.u8(d.zeroGuid ? 0 : 0x10 + i);
}

inline std::vector<unsigned char> AttributeBytes(const FixtureDesign& d) {
  Bytes a;
  a.str(d.author).str("").str("(c)").str("").str("").str("");
  return a.zeros(64).b;
}

inline std::vector<unsigned char> SymbolBytes() {
  Bytes s;
  s.str("Old symbols").str("Arial").u8(1).u8(1).u8(0).u32(3).u32(65).u32(66).u32(67).zeros(16);
  return s.b;
}

// The properties section: current layout (current container, versions 2 to
// 4) or the earlier one (older container, versions 2 to 15).
inline void Properties(Bytes& b, const FixtureDesign& d, bool earlier) {
  b.u32(45);
  Guid(b, d);
  b.lstr("r1").u8(3).lstr("text one").lstr("text two").lstr("text three").u32(0);
  b.lstr("t4").lstr("t5").lstr("t6").chars("line one").zeros(72).chars("line two").zeros(72);
  b.u32(1).i32(0).i32(0).i32(0).u32(2).u32(3).lstr(d.title).u32(1);
  const auto attributes = AttributeBytes(d);
  b.u32(static_cast<std::uint32_t>(attributes.size())).raw(attributes);
  b.chars("r2").zeros(31).u32(static_cast<std::uint32_t>(d.stitchPath)).u32(2).u8(1);
  const auto symbols = SymbolBytes();
  b.u32(static_cast<std::uint32_t>(symbols.size())).raw(symbols);
  if (earlier) b.u8(9);
  b.u8(0xEE).zeros(219).u8(4);
}

inline void Style(Bytes& b, const char* face, int size) { b.str(face).i32(size).i32(0).u32(0); }

// The older PDF export options in their stored form of a section version.
inline void PdfExportOptions(Bytes& b, int version) {
  for (int i = 0; i < 9; ++i)
    if (i != 4 || version >= 2) Style(b, "Arial", 10 + i);
  b.u8(1).u8(1).u8(1).u8(1).u8(0).u8(0).u8(1).u8(0).i32(0).u8(1).u8(1).i32(2).i32(20).u8(0).i32(30).u8(1).u8(1);
  b.str("").str("").str("Symbol").str("").str("");
  for (int i = 0; i < 8; ++i) b.u32(0);
  b.str("").str("").str("").u8(0);
  if (version >= 3) {
    b.i32(3).str("").str("").str("");
    for (int i = 0; i < 3; ++i) Style(b, "Arial", 12);
    b.zeros(32);
  }
  b.u8(1).u8(0).u8(0);
  if (version >= 4) b.u8(0).u8(0).u8(0).u8(1).u8(1).i32(0).u32(0).zeros(128);
  b.u8(0).zeros(3);
}

inline void PdfOptionsSection(Bytes& b, int version) {
  Bytes options;
  PdfExportOptions(options, version);
  b.blob(options);
}

// The PDF settings in their earlier layout (design blobs of section version
// 8 and up); the title is "Old chart".
inline void PdfDataEarlier(Bytes& b) {
  b.str("").str("head").str("").u8(1).i32(10).i32(10).i32(20).i32(10);
  for (int i = 0; i < 4; ++i) Style(b, "Arial", 7 + i);
  b.u8(0);
  Style(b, "Tahoma", 10);
  b.zeros(32).u8(1).u8(0).u8(1).i32(1);
  Style(b, "Tahoma", 9);
  b.zeros(33);
  Style(b, "Arial", 9);
  b.u8(0).u8(0).u8(0).u8(1).u8(1).i32(0).u32(0).zeros(4).i32(0).zeros(124).zeros(32);
  b.u8(1);
  Style(b, "Arial", 10);
  b.zeros(4).i32(1).str("");
  b.zeros(41).u8(1);
  Style(b, "Arial", 9);
  b.u8(0).i32(3).u8(1).u8(1).i32(2).i32(20).u8(0).zeros(32);
  b.str("Old chart").str("").str("").str("").str("").i32(0).i32(0).i32(0).str("").str("").i32(0).zeros(32);
  b.zeros(4).u32(0).zeros(8);
  Style(b, "Arial", 8);
  b.zeros(7).u8(1).zeros(22).zeros(5);
}

// A picture block of a byte stream holding a small BMP.
inline std::vector<unsigned char> PictureBlock() {
  bool ok = false;
  CImage picture(4, 3, ok, 0x00405060);
  const int size = picture.GetStreamSize(".bmp");
  std::vector<unsigned char> bytes(static_cast<size_t>(size));
  CByteStream s(bytes.data(), size);
  picture.WriteToStream(s, ".bmp");
  return bytes;
}

// A palette in its older embedded layout (layout version 5).
inline std::vector<unsigned char> OlderPalette(int colours) {
  Bytes p;
  p.i32(5).i32(0).i32(0).i32(0).str("").str("").str("old.pal").u32(static_cast<std::uint32_t>(colours));
  for (int i = 0; i < colours; ++i) {
    p.u32(0x00102030u + static_cast<std::uint32_t>(i)).str("OLD" + std::to_string(i)).str("nick").str("type");
    p.str("dropped").u8(0).zeros(2).zeros(4).i32(100 + i).u8(1).u32(250).u32(199).str("tc").zeros(4);
    p.i32(70 + i).u8(0).str("d").str("s").str("m");
  }
  return p.b;
}

// The design blob of versions 5 to 16.
inline std::vector<unsigned char> DesignBlob(const FixtureDesign& d, int version) {
  Bytes b;
  const int n = d.columns * d.rows;
  b.u32(static_cast<std::uint32_t>(n));
  for (int i = 0; i < n; ++i) {
    // Two layers: the second one wins.
    b.f64(BeadX(d, i)).f64(BeadY(d, i)).u32(2);
    b.u32(0xFFFFFF).i32(7).u8(0).u8(0).zeros(7);
    b.u32(0xA0u + i).i32(FixtureColorIndex(i)).u8(1).u8(0).zeros(7);
    b.u8(i % 2).zeros(8);
  }
  Sizes(b, d);
  b.u8(d.blank ? 1 : 0).u32(kFormatLoom).zeros(4);
  b.u32(static_cast<std::uint32_t>(d.sectionVersion)).u32(1).i32(d.rows).i32(0).zeros(4);
  Guid(b, d);
  b.str("r1").u8(3).str("dropped").str("text two").str("text three").u32(12);
  b.str("t4").str("t5").str("t6").chars("line one").zeros(72).zeros(80);
  b.u32(1).i32(0).i32(0).i32(0).u32(2).u32(3);
  if (d.sectionVersion < 8) PdfExportOptions(b, d.sectionVersion);
  else PdfDataEarlier(b);
  b.u32(static_cast<std::uint32_t>(d.tags));
  if (version >= 9)
    for (int t = 0; t < d.tags; ++t) b.i32(t + 1).u32(3).u8(1).u8(2).u8(3);
  b.str(d.title).zeros(4).raw(AttributeBytes(d)).str("r2").u32(static_cast<std::uint32_t>(d.stitchPath));
  b.str("dropped").zeros(4).raw(SymbolBytes()).zeros(1);
  auto grid = [&] { b.u8(1).u32(5).u32(0xFF).u32(1).u32(2).u8(0).u32(0).u32(0).u32(0).u8(0).u32(0).u8(0).zeros(11); };
  grid();
  if (version >= 11) grid();
  b.zeros(4).zeros(4).zeros(1).u32(9).zeros(1).zeros(4).zeros(16).zeros(4).zeros(1);
  b.u8(d.textItems ? 1 : 0);
  if (d.textItems) {
    b.u8(1).u32(1);
    b.i32(5).i32(6).str("hello").i32(0).u32(0xFFFFFF).u32(255).u32(0xFF0000);
    b.i32(48).zeros(16).zeros(8).chars("Arial").zeros(27);
    b.u8(0).u32(0xFF00).u8(255).u8(0).zeros(64).i32(0).zeros(128);
  }
  b.zeros(1);
  b.u32(1).i32(-1).u8(0).i32(-1).u8(0).i32(0).i32(0).zeros(16).zeros(32);
  b.u8(0).u8(20).u8(40).u8(0).u8(20).u8(40).u8(0).u8(30).u8(0).u8(30).i32(0).u8(0).u8(1).zeros(24);
  b.zeros(4).zeros(4);
  b.u32(2).i32(1).i32(2);
  b.zeros(13);
  b.u32(0);
  b.zeros(11);
  if (version >= 15) {
    b.u32(1).i32(0).i32(n + 100).u32(1).i32(4).zeros(32);
  } else {
    b.u32(0);
  }
  b.u32(17).i32(100).u8(1).i32(0).i32(0).zeros(4);
  if (version >= 13) {
    // The graphic-output record, a text, two bytes.
    b.u8(1).u8(1).i32(0).i32(30).i32(0).i32(1).i32(0).u8(0).u8(0);
    b.i32(30).zeros(19).u8(1).zeros(4).chars("Arial").zeros(27);
    b.zeros(4).i32(1).i32(1).i32(23).i32(23).u8(1).i32(1).i32(2).i32(23).i32(23).u8(1).u8(4).u8(4).u8(4).u8(4).u8(1);
    b.i32(16).zeros(19).u8(1).zeros(4).chars("Arial").zeros(27);
    b.u8(1).u16(23).u16(12).u16(14).u16(7).str("").str("").u8(0).zeros(21);
    b.str("").u8(0).u8(0);
    if (version >= 16) {
      b.u8(0).i32(0).i32(0).i32(1).i32(0).i32(0).f64(46.0).u8(1).raw(PictureBlock());
      b.str("").u8(255).u8(0).u32(0xFFFFFF).zeros(27);
    }
    b.zeros(60);
  } else {
    b.i32(1).i32(2).i32(3).i32(4).u8(0).zeros(266);
  }
  return b.b;
}

// An older-container file (versions 0 to 16), trailer not included.
inline std::vector<unsigned char> OlderFile(const std::string& signature, int version, const FixtureDesign& d) {
  Bytes b;
  b.chars(signature);
  if (version <= 4) {
    BeadSection(b, d);
  } else {
    Bytes blob;
    blob.raw(DesignBlob(d, version));
    b.blob(blob);
  }
  if (version >= 1 && version <= 15) RowFormatSection(b, d);
  if (version >= 2 && version <= 15) {
    Properties(b, d, true);
    PdfOptionsSection(b, d.sectionVersion);
  }
  if (!d.blank) {
    Bytes picture;
    picture.raw(PictureBlock());
    b.blob(picture);
  }
  Bytes palette;
  palette.raw(OlderPalette(d.paletteColours));
  b.blob(palette);
  return b.b;
}

// A current-container file of versions 0 to 4, trailer not included.
inline std::vector<unsigned char> CurrentFile(const std::string& signature, int version, const FixtureDesign& d) {
  Bytes b;
  b.chars(signature);
  BeadSection(b, d);
  if (version >= 1) RowFormatSection(b, d);
  if (version >= 2) {
    Properties(b, d, false);
    PdfOptionsSection(b, d.sectionVersion);
  }
  if (!d.blank) {
    // Any picture file: a few bytes of a BMP are enough for the container.
    b.field("C:\\Pictures\\rose.bmp", 260);
    Bytes picture;
    picture.chars("BM picture bytes");
    b.blob(picture);
  }
  b.field("C:\\Palettes\\old.pal", 260);
  CColorSet palette;
  MakePalette(palette, d.paletteColours);
  std::vector<BYTE> paletteBytes;
  palette.SaveToBytes(paletteBytes);
  b.u32(static_cast<std::uint32_t>(paletteBytes.size())).raw(paletteBytes.data(), paletteBytes.size());
  b.i32(16).i32(0).i32(0).i32(0).u8(1).i32(0).i32(0).u32(0x3D4CCCCD).u32(0x3D888A48).i32(0).i32(0).i32(0).i32(0);
  CPdfData pdf;
  pdf.m_title = "Current chart";
  std::vector<BYTE> block;
  pdf.WriteBlock(block);
  b.raw(block.data(), block.size());
  return b.b;
}

// The trailer: the marker and the CRC-32 of the bytes.
inline std::vector<unsigned char> WithTrailer(std::vector<unsigned char> bytes) {
  const std::uint32_t crc = static_cast<std::uint32_t>(crc32(0L, bytes.data(), static_cast<uInt>(bytes.size())));
  Bytes b;
  b.b = std::move(bytes);
  b.chars("53F1D42138354e96BA070259BCED21EF").u32(crc);
  return b.b;
}

}  // namespace dftest
