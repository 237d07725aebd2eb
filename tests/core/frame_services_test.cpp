// Frame services without a window: line reader, compact layouts, progress.
#include <gtest/gtest.h>

#include <vector>

#include "core/FrameServices.h"

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
struct FakeFrame : IMainFrame {
  CAppStatusBar* GetStatusBar() override { return hasBar ? reinterpret_cast<CAppStatusBar*>(this) : nullptr; }
  void ResetStatusTexts() override { ++resets; }
  CTabView* GetTabView() override { return nullptr; }
  CCtrlPane* GetCtrlPane() override { return nullptr; }
  CImageList* GetMenuImageList() override { return nullptr; }
  void EnableClose(bool) override {}
  bool hasBar = true;
  int resets = 0;
};

struct FakeDisplay : IStatusProgressDisplay {
  explicit FakeDisplay(std::vector<int>* log) : positions(log) {}
  void SetPos(int p) override { positions->push_back(p); }
  void SetStartColor(COLORREF) override {}
  void SetEndColor(COLORREF) override {}
  std::vector<int>* positions;
};

struct FakeFactory : IStatusProgressFactory {
  IStatusProgressDisplay* Create(IMainFrame*, int t, const CString* c, bool s) override {
    total = t;
    caption = c ? *c : CString("<none>");
    simple = s;
    ++created;
    return new FakeDisplay(&positions);
  }
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

TEST(StatusProgress, DisplayThroughTheInstalledFactory) {
  FakeFrame frame;
  FakeFactory factory;
  SetStatusProgressFactory(&factory);
  {
    CStatusProgress progress(&frame, 2048, "Working");
    EXPECT_EQ(factory.total, 64);
    EXPECT_EQ(factory.caption, "Working");
    progress.SetPos(1024);
    EXPECT_EQ(progress.GetPos(), 32);
  }
  EXPECT_EQ(factory.positions, (std::vector<int>{32}));
  EXPECT_EQ(frame.resets, 1);  // the status bar's own texts come back
  frame.hasBar = false;
  { CStatusProgress noBar(&frame, 100, "x"); }
  EXPECT_EQ(factory.created, 1);
  frame.hasBar = true;
  {
    CSimpleStatusProgress simple(&frame, 10, 0);
    simple.SetPos(3);
    EXPECT_TRUE(factory.simple);
    EXPECT_EQ(factory.caption, "<none>");
  }
  { CSimpleStatusProgress tooSmall(&frame, 1, 0); }
  EXPECT_EQ(factory.created, 2);
  SetStatusProgressFactory(nullptr);
  CStatusProgress none(&frame, 100, "x");
  none.SetPos(4);
  EXPECT_EQ(none.GetPos(), 4);
}

TEST(FrameServices, AccessorsAreNullWithoutAMainFrame) {
  SetMainFrameServices(nullptr, nullptr, nullptr);
  EXPECT_EQ(GetIMainFrame(), nullptr);
  EXPECT_EQ(GetIPatternImage(), nullptr);
  EXPECT_EQ(GetActiveTabView(), nullptr);
  FakeFrame frame;
  SetMainFrameServices(&frame, nullptr, nullptr);
  EXPECT_EQ(GetIMainFrame(), &frame);
  EXPECT_TRUE(frame.UseWarningSound());
  CString name;
  frame.GetVersionValueName(name);
  EXPECT_EQ(name, "Version");
  SetMainFrameServices(nullptr, nullptr, nullptr);
}
