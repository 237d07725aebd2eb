// Shared by the design-file tests: a byte builder for fixtures written by
// hand, small designs and palettes, and file helpers.
#pragma once

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/common/test_util.h"
#include "core/FileUtils.h"
#include "design/Pattern.h"
#include "palette/ColorSet.h"

namespace dftest {

// Little-endian bytes, item by item.
class Bytes {
 public:
  Bytes& u8(unsigned v) {
    b.push_back(static_cast<unsigned char>(v));
    return *this;
  }
  Bytes& u16(unsigned v) { return u8(v & 0xFF).u8((v >> 8) & 0xFF); }
  Bytes& u32(std::uint32_t v) {
    for (int i = 0; i < 4; ++i) u8((v >> (8 * i)) & 0xFF);
    return *this;
  }
  Bytes& i32(std::int32_t v) { return u32(static_cast<std::uint32_t>(v)); }
  Bytes& f64(double v) {
    std::uint64_t bits;
    std::memcpy(&bits, &v, 8);
    for (int i = 0; i < 8; ++i) u8((bits >> (8 * i)) & 0xFF);
    return *this;
  }
  Bytes& raw(const void* data, size_t n) {
    const auto* p = static_cast<const unsigned char*>(data);
    b.insert(b.end(), p, p + n);
    return *this;
  }
  Bytes& raw(const std::vector<unsigned char>& v) { return raw(v.data(), v.size()); }
  Bytes& chars(const std::string& s) { return raw(s.data(), s.size()); }
  // NUL-terminated (byte-stream strings).
  Bytes& str(const std::string& s) { return chars(s).u8(0); }
  // u32 length then the characters (design-section strings).
  Bytes& lstr(const std::string& s) { return u32(static_cast<std::uint32_t>(s.size())).chars(s); }
  Bytes& zeros(size_t n) {
    b.insert(b.end(), n, 0);
    return *this;
  }
  // A size-prefixed block.
  Bytes& blob(const Bytes& inner) { return u32(static_cast<std::uint32_t>(inner.b.size())).raw(inner.b); }
  // A 260-byte path field.
  Bytes& pathField(const std::string& s) {
    chars(s);
    return zeros(260 - s.size());
  }
  size_t size() const { return b.size(); }

  std::vector<unsigned char> b;
};

// A loom design of columns x rows beads of 0.1 inch without spacer, every
// bead present in colour (column + row) % colours.
inline void MakeDesign(CPattern& d, int columns, int rows, int colours, bool blank = false) {
  CGridLayout layout;
  layout.width = 0.1f * columns;
  layout.height = 0.1f * rows;
  layout.beadWidth = 0.1f;
  layout.beadHeight = 0.1f;
  layout.spacer = 0.0f;
  layout.format = kFormatLoom;
  d.CreateGrid(layout, 0);
  d.m_blank = blank ? 1 : 0;
  for (size_t i = 0; i < d.m_beads.size(); ++i) {
    d.m_beads[i].m_colorIndex = static_cast<int>(i % static_cast<size_t>(colours));
    d.m_beads[i].m_cachedColor = 0x010203u * static_cast<unsigned>(i % 7);
  }
}

inline void MakePalette(CColorSet& palette, int colours) {
  palette.Clear();
  for (int i = 0; i < colours; ++i) {
    CPaletteColor c(CRgbTriple(static_cast<BYTE>(10 * i), static_cast<BYTE>(255 - 10 * i), 77),
                    CString(("C" + std::to_string(i)).c_str()), 0, i + 1, 225, 150);
    c.nickname = ("nick " + std::to_string(i)).c_str();
    c.symbol = 65 + i;
    palette.Append(c);
  }
}

inline std::vector<unsigned char> Read(const std::filesystem::path& p) { return qmtest::ReadAll(p); }
inline void Write(const std::filesystem::path& p, const std::vector<unsigned char>& b) { qmtest::WriteAll(p, b); }
inline CString Path(const std::filesystem::path& p) { return CString(p.string().c_str()); }

}  // namespace dftest
