// A measurer with simple fonts and a canvas that records what is drawn, for
// the layout engines.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "pdflib/lib/types.h"

namespace qmtest {

// Font 0: every byte 0.5 em wide; font 1: 1 em; ascent 0.8, descent 0.2.
class FakeMeasurer : public qmpdf::Measurer {
 public:
  FakeMeasurer() {
    for (int f = 0; f < 2; ++f) {
      qmpdf::FontMetrics m;
      for (int b = 1; b < 256; ++b) m.widths[b] = f == 0 ? 500 : 1000;
      m.ascent = 800;
      m.descent = -200;
      fonts_[f] = m;
    }
  }
  const qmpdf::FontMetrics& Metrics(int font) const override { return fonts_.at(font); }

 private:
  std::map<int, qmpdf::FontMetrics> fonts_;
};

struct DrawnRect {
  double x, y, w, h;
  qmpdf::Color color;
  bool stroke;
};
struct DrawnImage {
  int image;
  double x, y, w, h;
};

class RecordingCanvas : public qmpdf::Canvas {
 public:
  void Text(const qmpdf::TextRun& run) override { runs.push_back(run); }
  void FillRect(double x, double y, double w, double h, const qmpdf::Color& c) override {
    rects.push_back({x, y, w, h, c, false});
  }
  void StrokeRect(double x, double y, double w, double h, double, const qmpdf::Color& c) override {
    rects.push_back({x, y, w, h, c, true});
  }
  void Image(int image, double x, double y, double w, double h) override { images.push_back({image, x, y, w, h}); }

  // The text of the runs, lines joined by "|" (a new line where the baseline changes).
  std::string Lines() const {
    std::string out;
    double y = 0;
    for (std::size_t i = 0; i < runs.size(); ++i) {
      if (i > 0 && runs[i].y != y) out += '|';
      y = runs[i].y;
      out += runs[i].text;
    }
    return out;
  }
  void Clear() {
    runs.clear();
    rects.clear();
    images.clear();
  }

  std::vector<qmpdf::TextRun> runs;
  std::vector<DrawnRect> rects;
  std::vector<DrawnImage> images;
};

}  // namespace qmtest
