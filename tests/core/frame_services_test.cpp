// Frame services without a window: line reader, compact layouts, progress.
#include <gtest/gtest.h>

#include <vector>

#include "core/FrameServices.h"
#include "core/Progress.h"

TEST(StringLineReader, LinesAndLineEnds) {
  CStringLineReader reader("one\r\ntwo\n\nthree");
  CString line;
  std::vector<CString> lines;
  while (reader.ReadLine(line)) lines.push_back(line);
  EXPECT_EQ(lines, (std::vector<CString>{"one", "two", "three"}));
  CStringLineReader leading("\nabc");
  EXPECT_FALSE(leading.ReadLine(line));  // a text that begins with a line end reads no line
  EXPECT_EQ(leading.GetPosition(), 1);
  EXPECT_TRUE(leading.ReadLine(line));
  EXPECT_EQ(line, "abc");
  CStringLineReader empty("");
  EXPECT_FALSE(empty.ReadLine(line));
  CStringLineReader trailing("x\r\n");
  EXPECT_TRUE(trailing.ReadLine(line));
  EXPECT_FALSE(trailing.ReadLine(line));
}

TEST(FrameServices, SmallScreenRule) {
  EXPECT_TRUE(IsSmallScreenHeight(600));
  EXPECT_FALSE(IsSmallScreenHeight(601));
  SetSmallScreen(true);
  EXPECT_TRUE(IsSmallScreen());
  SetSmallScreen(false);
  EXPECT_FALSE(IsSmallScreen());
}

namespace {
struct FakeDisplay : IStatusProgressDisplay {
  explicit FakeDisplay(std::vector<int>* log) : positions(log) {}
  void SetPos(int p) override { positions->push_back(p); }
  void SetStartColor(COLORREF) override {}
  void SetEndColor(COLORREF) override {}
  std::vector<int>* positions;
};

// A progress host with or without its status bar.
struct FakeHost : IProgressHost {
  IStatusProgressDisplay* CreateProgressDisplay(int t, const CString* c, bool s) override {
    if (!hasBar) return nullptr;
    total = t;
    caption = c ? *c : CString("<none>");
    simple = s;
    ++created;
    return new FakeDisplay(&positions);
  }
  void OnProgressEnded() override { ++resets; }
  bool hasBar = true;
  int resets = 0;
  int total = -1, created = 0;
  CString caption;
  bool simple = false;
  std::vector<int> positions;
};
}  // namespace

TEST(StatusProgress, Scaling) {
  struct Case {
    int total;
    bool active;
    int shift;
    int range;
  } cases[] = {{1, false, 0, 0},     {2, true, 0, 2},     {1000, true, 0, 1000}, {1024, true, 4, 64},
               {2048, true, 5, 64},  {8192, true, 7, 64}, {20000, true, 8, 78}};
  for (const Case& c : cases) {
    CStatusProgress progress(nullptr, c.total, "caption");
    EXPECT_EQ(progress.IsActive(), c.active) << c.total;
    EXPECT_EQ(progress.GetShift(), c.shift) << c.total;
    if (c.active) {
      EXPECT_EQ(progress.GetTotal(), c.range) << c.total;
    }
  }
  CStatusProgress unscaled(nullptr, 1, "x", false);
  EXPECT_TRUE(unscaled.IsActive());
  EXPECT_FALSE(unscaled.IsScaled());
  CStatusProgress inactive(nullptr, 1, "x");
  inactive.SetPos(5);
  EXPECT_EQ(inactive.GetPos(), 0);
}

TEST(StatusProgress, DisplayThroughItsHost) {
  FakeHost host;
  {
    CStatusProgress progress(&host, 2048, "Working");
    EXPECT_EQ(host.total, 64);
    EXPECT_EQ(host.caption, "Working");
    progress.SetPos(1024);
    EXPECT_EQ(progress.GetPos(), 32);
  }
  EXPECT_EQ(host.positions, (std::vector<int>{32}));
  EXPECT_EQ(host.resets, 1);  // the status bar's own texts come back
  host.hasBar = false;
  { CStatusProgress noBar(&host, 100, "x"); }
  EXPECT_EQ(host.created, 1);
  host.hasBar = true;
  {
    CSimpleStatusProgress simple(&host, 10, 0);
    simple.SetPos(3);
    EXPECT_TRUE(host.simple);
    EXPECT_EQ(host.caption, "<none>");
  }
  { CSimpleStatusProgress tooSmall(&host, 1, 0); }
  EXPECT_EQ(host.created, 2);
  CStatusProgress none(nullptr, 100, "x");
  none.SetPos(4);
  EXPECT_EQ(none.GetPos(), 4);
}
