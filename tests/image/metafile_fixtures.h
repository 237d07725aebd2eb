// Windows metafiles spelled out byte by byte: enhanced metafiles (header,
// records, end record) and placeable Windows metafiles.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/base.h"
#include "tests/common/test_util.h"

namespace metafiletest {

// Enhanced metafile records. The reference device is 1000 x 1000 pixels on
// 250 x 250 mm (4 pixels a millimetre), so a pixel is 25 hundredths of a
// millimetre in the frame.
class Emf {
 public:
  Emf(int width, int height) : m_width(width), m_height(height) {}
  // A record of a type with its parameters (after type and size).
  Emf& Rec(std::uint32_t type, const qmtest::Bytes& params) {
    qmtest::Bytes r;
    r.u32(type).u32(8 + params.size()).raw(params.b);
    m_records.push_back(r.b);
    return *this;
  }
  Emf& Raw(const std::vector<unsigned char>& bytes) {
    m_records.push_back(bytes);
    return *this;
  }
  std::vector<unsigned char> Bytes(int handles = 8) const {
    qmtest::Bytes body;
    for (const auto& r : m_records) body.raw(r);
    qmtest::Bytes eof;
    eof.u32(14).u32(20).u32(0).u32(16).u32(20);
    const size_t total = 88 + body.size() + eof.size();
    qmtest::Bytes h;
    h.u32(1).u32(88);
    h.i32(0).i32(0).i32(m_width).i32(m_height);                 // bounds
    h.i32(0).i32(0).i32(m_width * 25).i32(m_height * 25);       // frame
    h.u32(0x464D4520).u32(0x10000).u32(total).u32(m_records.size() + 2);
    h.u16(handles).u16(0).u32(0).u32(0).u32(0);
    h.i32(1000).i32(1000).i32(250).i32(250);
    h.raw(body.b).raw(eof.b);
    return h.b;
  }

 private:
  int m_width, m_height;
  std::vector<std::vector<unsigned char>> m_records;
};

// Record numbers of the enhanced metafile.
enum : std::uint32_t {
  EmrPolygon16 = 86, EmrPolyline16 = 87, EmrPolyBezier16 = 85, EmrSetWindowExt = 9, EmrSetWindowOrg = 10,
  EmrSetViewportExt = 11, EmrSetMapMode = 17, EmrSetBkMode = 18, EmrSetTextColor = 24, EmrMoveTo = 27,
  EmrIntersectClipRect = 30, EmrExcludeClipRect = 29, EmrSaveDC = 33, EmrRestoreDC = 34, EmrSetWorldTransform = 35,
  EmrSelectObject = 37, EmrCreatePen = 38, EmrCreateBrush = 39, EmrDeleteObject = 40, EmrEllipse = 42,
  EmrRectangle = 43, EmrLineTo = 54, EmrBeginPath = 59, EmrEndPath = 60, EmrCloseFigure = 61, EmrFillPath = 62,
  EmrSelectClipPath = 67, EmrGdiComment = 70, EmrStretchDIBits = 81, EmrExtCreateFont = 82, EmrExtTextOutA = 83,
  EmrExtTextOutW = 84, EmrPie = 47,
};

inline qmtest::Bytes Pen(std::uint32_t index, int style, int width, COLORREF color) {
  qmtest::Bytes b;
  b.u32(index).u32(style).i32(width).i32(0).u32(color);
  return b;
}
inline qmtest::Bytes Brush(std::uint32_t index, COLORREF color) {
  qmtest::Bytes b;
  b.u32(index).u32(0).u32(color).u32(0);
  return b;
}
inline qmtest::Bytes One(std::uint32_t v) {
  qmtest::Bytes b;
  b.u32(v);
  return b;
}
inline qmtest::Bytes Two(int a, int b2) {
  qmtest::Bytes b;
  b.i32(a).i32(b2);
  return b;
}
inline qmtest::Bytes Box(int l, int t, int r, int bt) {
  qmtest::Bytes b;
  b.i32(l).i32(t).i32(r).i32(bt);
  return b;
}
// A 16-bit poly record: bounds, count, points.
inline qmtest::Bytes Points16(const std::vector<std::pair<int, int>>& pts) {
  qmtest::Bytes b;
  b.i32(0).i32(0).i32(0).i32(0).u32(pts.size());
  for (auto [x, y] : pts) b.u16(static_cast<std::uint16_t>(x)).u16(static_cast<std::uint16_t>(y));
  return b;
}
// EXTCREATEFONTINDIRECTW with a LOGFONTW.
inline qmtest::Bytes Font(std::uint32_t index, int height, BYTE charset, const std::string& face) {
  qmtest::Bytes b;
  b.u32(index).i32(height).i32(0).i32(0).i32(0).i32(400);
  b.u8(0).u8(0).u8(0).u8(charset).u8(0).u8(0).u8(3 /* no smoothing */).u8(0);
  for (size_t i = 0; i < 32; ++i) b.u16(i < face.size() ? static_cast<unsigned char>(face[i]) : 0);
  return b;
}
// EXTTEXTOUTA or W: the text follows the fixed part (76 bytes with the
// record's type and size).
inline qmtest::Bytes TextRun(int x, int y, const std::vector<unsigned char>& text, bool wide) {
  const std::uint32_t chars = wide ? text.size() / 2 : text.size();
  qmtest::Bytes b;
  b.i32(0).i32(0).i32(0).i32(0).u32(1).f32(1).f32(1);
  b.i32(x).i32(y).u32(chars).u32(76).u32(0).i32(0).i32(0).i32(0).i32(0).u32(0);
  b.raw(text);
  while ((b.size() + 8) % 4) b.u8(0);
  return b;
}

// A placeable Windows metafile: the 22-byte header (with its checksum),
// the 18-byte metafile header, the records and the end record.
class Wmf {
 public:
  Wmf& Rec(std::uint16_t fn, const std::vector<std::int16_t>& params) {
    qmtest::Bytes r;
    r.u32(3 + params.size()).u16(fn);
    for (std::int16_t p : params) r.u16(static_cast<std::uint16_t>(p));
    m_records.push_back(r.b);
    m_largest = std::max<size_t>(m_largest, 3 + params.size());
    return *this;
  }
  std::vector<unsigned char> Bytes(int left, int top, int right, int bottom, int inch, int objects = 4,
                                   bool badChecksum = false) const {
    qmtest::Bytes body;
    for (const auto& r : m_records) body.raw(r);
    body.u32(3).u16(0);
    qmtest::Bytes p;
    p.u32(0x9AC6CDD7).u16(0).u16(static_cast<std::uint16_t>(left)).u16(static_cast<std::uint16_t>(top));
    p.u16(static_cast<std::uint16_t>(right)).u16(static_cast<std::uint16_t>(bottom)).u16(inch).u32(0);
    std::uint16_t sum = 0;
    for (size_t i = 0; i < 20; i += 2) sum ^= static_cast<std::uint16_t>(p.b[i] | (p.b[i + 1] << 8));
    p.u16(badChecksum ? sum ^ 1 : sum);
    p.u16(1).u16(9).u16(0x300).u32((18 + body.size()) / 2).u16(objects).u32(m_largest).u16(0);
    p.raw(body.b);
    return p.b;
  }

 private:
  std::vector<std::vector<unsigned char>> m_records;
  size_t m_largest = 3;
};

}  // namespace metafiletest
