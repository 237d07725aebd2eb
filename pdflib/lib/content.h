// Page content in PDF operators: number formatting and a deflate sink that
// keeps only the compressed bytes of a page while it is drawn.
#pragma once

#include <string>

#include <zlib.h>

namespace qmpdf {

// A number with at most three decimals, without exponent ("12", "0.5", "-3.125").
void AppendNumber(std::string& out, double v);
// A PDF string literal of the bytes: "(...)" with "(", ")", "\" and CR escaped.
void AppendLiteral(std::string& out, const char* bytes, std::size_t len);

// A page's content is kept as text until it reaches kStreamThreshold bytes
// (a page of the grid holds about 120 KB) and compressed whole when the
// page is suspended or ended; a larger page goes through a zlib stream from
// then on, so that it never holds more than the threshold uncompressed.
// Both give zlib data of the same level.
class DeflateSink {
 public:
  static constexpr int kLevel = 6;
  static constexpr std::size_t kStreamThreshold = std::size_t(4) << 20;

  DeflateSink();
  ~DeflateSink();
  DeflateSink(const DeflateSink&) = delete;
  DeflateSink& operator=(const DeflateSink&) = delete;

  // Compresses and empties text when it has grown past a threshold.
  void Feed(std::string& text, bool force = false);
  // Compresses what is left and returns the whole compressed stream; the
  // sink starts a new stream afterwards.
  std::string Finish(std::string& text);
  // Bytes compressed so far (for tests and benchmarks).
  std::size_t CompressedSize() const { return out_.size(); }

 private:
  void Run(std::string& text, int flush);
  // The whole text as one zlib stream into out_; false when the compressor
  // could not be made.
  bool CompressWhole(const std::string& text);
  z_stream z_{};
  bool open_ = false;
  std::string out_;
};

}  // namespace qmpdf
