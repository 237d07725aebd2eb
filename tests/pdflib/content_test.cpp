// The page content sink: whatever way a page's text reaches it (in one
// piece, in pieces below the streaming threshold, past it), the stream
// inflates to exactly the text, and the sink starts a new stream after each.
#include <gtest/gtest.h>

#include <zlib.h>

#include <string>

#include "pdflib/lib/content.h"

namespace {

std::string Inflate(const std::string& z, std::size_t size) {
  std::string out(size, '\0');
  uLongf n = static_cast<uLongf>(size);
  const int rc = uncompress(reinterpret_cast<Bytef*>(out.data()), &n, reinterpret_cast<const Bytef*>(z.data()),
                            static_cast<uLong>(z.size()));
  EXPECT_EQ(rc, Z_OK);
  out.resize(n);
  return out;
}

// Page-like text: rectangles and numbers, a little different each line.
std::string PageText(std::size_t bytes, unsigned seed) {
  std::string text;
  while (text.size() < bytes) {
    seed = seed * 1103515245u + 12345u;
    text += std::to_string(seed % 600) + " 806 24 -14 re\nf\n(" + std::to_string(seed % 1000) + ") Tj\n";
  }
  text.resize(bytes);
  return text;
}

TEST(DeflateSinkTest, EveryWayToFeedAPageInflatesToItsText) {
  using qmpdf::DeflateSink;
  struct Case {
    std::size_t bytes;
    std::size_t piece;  // fed in pieces of this size (0: all at once)
    bool force;         // pieces fed with force (streamed from the start)
  };
  const Case cases[] = {
      {0, 0, false},
      {1, 0, false},
      {120 * 1000, 0, false},
      {120 * 1000, 4096, false},
      {120 * 1000, 4096, true},
      {DeflateSink::kStreamThreshold + 12345, 64 * 1024, false},
      {2 * DeflateSink::kStreamThreshold + 7, 1 << 20, false},
  };
  DeflateSink sink;  // one sink for all: each Finish starts a new stream
  unsigned seed = 1;
  for (const Case& c : cases) {
    const std::string text = PageText(c.bytes, seed++);
    std::string pending;
    if (c.piece == 0) {
      pending = text;
    } else {
      for (std::size_t at = 0; at < text.size(); at += c.piece) {
        pending += text.substr(at, c.piece);
        sink.Feed(pending, c.force);
        EXPECT_LE(pending.size(), DeflateSink::kStreamThreshold + c.piece);
      }
    }
    const std::string z = sink.Finish(pending);
    EXPECT_TRUE(pending.empty());
    EXPECT_EQ(Inflate(z, text.size() + 1), text) << c.bytes << " / " << c.piece;
    if (c.bytes > 100000) EXPECT_LT(z.size(), text.size() / 3) << c.bytes;
  }
}

}  // namespace
