// What the layout engines share with the document: colours, font metrics
// behind a measuring interface, and the drawing surface they place into.
// Nothing here knows about files, so the engines are tested without one.
#pragma once

#include <array>
#include <string>

namespace qmpdf {

struct Color {
  enum Space : unsigned char { Gray, Rgb } space = Gray;
  double c[3] = {0, 0, 0};

  static Color GrayLevel(double g) { return Color{Gray, {g, 0, 0}}; }
  static Color FromRgb(double r, double g, double b) { return Color{Rgb, {r, g, b}}; }
  bool operator==(const Color& o) const {
    return space == o.space && c[0] == o.c[0] && (space == Gray || (c[1] == o.c[1] && c[2] == o.c[2]));
  }
  bool operator!=(const Color& o) const { return !(*this == o); }
};

// Metrics of a loaded font in thousandths of the font size: the advance of
// every byte of its encoding (0 for byte 0, which draws nothing), and the
// ascent above and descent below the baseline (descent negative).
struct FontMetrics {
  std::array<float, 256> widths{};
  float ascent = 800;
  float descent = -200;
};

class Measurer {
 public:
  virtual ~Measurer() = default;
  // The metrics of a font handle; the handle was checked by the caller.
  virtual const FontMetrics& Metrics(int font) const = 0;
};

// Width of bytes in a font at a size, exactly as they are drawn.
double TextWidth(const FontMetrics& m, const char* text, std::size_t len, double size);

struct Box {
  double llx = 0, lly = 0, urx = 0, ury = 0;
  double Width() const { return urx - llx; }
  double Height() const { return ury - lly; }
};

// Two corners in any order, as a box with llx <= urx and lly <= ury.
Box NormalBox(double x1, double y1, double x2, double y2);

// One line of text in one style, its baseline starting at (x, y).
struct TextRun {
  int font = -1;
  double size = 0;
  Color color;
  double x = 0, y = 0;
  std::string text;
  double wordSpacing = 0;  // added to every space (byte 32)
  double width = 0;        // advance of the whole run, word spacing included
  bool underline = false;
};

// Horizontal and vertical placement of an object inside a box.
enum class HPos : unsigned char { Left, Center, Right };
enum class VPos : unsigned char { Bottom, Center, Top };
struct Position {
  HPos h = HPos::Left;
  VPos v = VPos::Bottom;
};

class Canvas {
 public:
  virtual ~Canvas() = default;
  virtual void Text(const TextRun& run) = 0;
  virtual void FillRect(double x, double y, double w, double h, const Color& color) = 0;
  virtual void StrokeRect(double x, double y, double w, double h, double lineWidth, const Color& color) = 0;
  // The picture drawn upright into the rectangle (x, y, w, h).
  virtual void Image(int image, double x, double y, double w, double h) = 0;
};

}  // namespace qmpdf
