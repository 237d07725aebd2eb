#include "pdflib/lib/types.h"

#include <algorithm>

namespace qmpdf {

double TextWidth(const FontMetrics& m, const char* text, std::size_t len, double size) {
  double sum = 0;
  for (std::size_t i = 0; i < len; ++i) sum += m.widths[static_cast<unsigned char>(text[i])];
  return sum * size / 1000.0;
}

Box NormalBox(double x1, double y1, double x2, double y2) {
  return Box{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
}

}  // namespace qmpdf
