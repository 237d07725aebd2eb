// Collage files spelled out byte by byte from their stored layout (not by
// the layers' own writers), scrambled as the collage editor stores them.
#pragma once

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/base.h"
#include "tests/common/test_util.h"

namespace collagetest {

struct ImageLayer {
  int type = 1;
  int visibleW = 100000, visibleH = 100000;
  int x = 0, y = 0;
  BYTE transparency = 0;
  int angle = 0;
  std::string name;
  int hsl[3] = {0, 0, 0};
  BYTE distortion[5] = {0, 0, 0, 0, 0};
  int contrast = 0, brightness = 0;
  int rotation = 0;
  COLORREF rotationFill = 0xFFFFFF;
  BYTE rotationMode = 0;
  int crop[4] = {0, 0, 0, 0};
  int edge = 0;

  void Append(qmtest::Bytes& b) const {
    b.i32(type).i32(visibleW).i32(visibleH).i32(x).i32(y).u8(transparency).i32(angle).zeros(28);
    b.str(name).i32(hsl[0]).i32(hsl[1]).i32(hsl[2]);
    for (BYTE d : distortion) b.u8(d);
    b.i32(contrast).i32(brightness).i32(rotation).u32(rotationFill).u8(rotationMode);
    for (int c : crop) b.i32(c);
    b.i32(edge).zeros(44);
  }
};

struct TextLayer {
  int type = 2;
  int visibleW = 100, visibleH = 100;
  int x = 0, y = 0;
  BYTE transparency = 0;
  int angle = 0;
  std::string text = "A";
  int height = 24;
  BYTE charset = 0;
  std::string face = "MS Sans Serif";
  char faceFill = 0;  // non-zero: the face field is 32 of these, no NUL
  COLORREF color = 0, gradientEnd = 0;
  BYTE gradient = 0;
  int shadow = 0;
  BYTE fade = 128;
  COLORREF shadowColor = 0;

  void Append(qmtest::Bytes& b) const {
    b.i32(type).i32(visibleW).i32(visibleH).i32(x).i32(y).u8(transparency).i32(angle).zeros(28);
    b.str(text);
    // LOGFONT: height, width, escapement, orientation, weight; italic,
    // underline, strike-out, charset, out precision, clip precision,
    // quality, pitch and family; 32 bytes of face name.
    b.i32(height).i32(0).i32(0).i32(0).i32(0).u8(0).u8(0).u8(0).u8(charset).u8(0).u8(0).u8(0).u8(0);
    if (faceFill) b.chars(std::string(32, faceFill));
    else b.field(face, 32);
    b.u32(color).u32(gradientEnd).u8(gradient).i32(shadow).u8(fade).u32(shadowColor).zeros(32);
  }
};

struct CollageFile {
  int version = 2;
  std::string title = "Collage";
  int width = 64, height = 48;
  COLORREF background = 0xFFFFFF;
  int forcedCount = -1;
  std::vector<ImageLayer> images;
  std::vector<TextLayer> texts;
  // The file order of the layers: 'i' takes the next picture layer, 't' the
  // next text layer; empty = pictures first, then texts.
  std::vector<char> order;

  std::vector<BYTE> Bytes(bool scrambled) const {
    qmtest::Bytes b;
    b.i32(version).str(title).i32(width).i32(height).u32(background).zeros(32);
    b.i32(forcedCount >= 0 ? forcedCount : static_cast<int>(images.size() + texts.size()));
    std::vector<char> o = order;
    if (o.empty()) {
      o.assign(images.size(), 'i');
      o.insert(o.end(), texts.size(), 't');
    }
    size_t ni = 0, nt = 0;
    for (char c : o) {
      if (c == 'i') images[ni++].Append(b);
      else texts[nt++].Append(b);
    }
    if (scrambled)
      for (auto& v : b.b) v = static_cast<unsigned char>(v + 0x6B);
    return b.b;
  }
  void Save(const std::filesystem::path& path) const { qmtest::WriteAll(path, Bytes(true)); }
};

}  // namespace collagetest
