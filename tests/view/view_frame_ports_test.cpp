// The hooks through which the windows reach the main frame and the active
// design view: what is installed is what the accessors hand out.
#include <gtest/gtest.h>

#include "view/FramePorts.h"

namespace {

// A design view that does nothing: what is tested is the accessor that
// hands it out.
class NullTabView : public ITabView {
 public:
  CTabView* GetTabView() override { return nullptr; }
  CPattern* GetPattern() override { return nullptr; }
  CColorSet* GetColorSet() override { return nullptr; }
  COLORREF GetBackgroundColor() override { return 0; }
};

struct NoFrame : IMainFrame {
  CAppStatusBar* GetStatusBar() override { return nullptr; }
  void ResetStatusTexts() override {}
  CTabView* GetTabView() override { return nullptr; }
  CCtrlPane* GetCtrlPane() override { return nullptr; }
  CImageList* GetMenuImageList() override { return nullptr; }
  void EnableClose(bool) override {}
};

struct NullProgress : IProgress {
  void Begin(int, const char*) override {}
  void End() override {}
  void SetPos(int) override {}
};

struct NullPatternImage : IPatternImage {
  bool HasImage() override { return false; }
  CPatternImageView* GetImage() override { return nullptr; }
  void GetPatternSizeInches(double& width, double& height) override { width = height = 0; }
  void GetPatternSizeBeads(int& columns, int& rows) override { columns = rows = 0; }
  CImageView* GetImageView() override { return nullptr; }
};

}  // namespace

TEST(NeighbourServices, ActiveTabViewThroughTheMainFrame) {
  NullTabView view;
  NoFrame frame;
  NullProgress progress;
  NullPatternImage image;
  SetActiveTabView(&view);
  EXPECT_EQ(GetActiveTabView(), nullptr);  // no main window yet
  SetMainFrameServices(&frame, &progress, &image);
  EXPECT_EQ(GetIMainFrame(), &frame);
  EXPECT_EQ(GetIProgress(), &progress);
  EXPECT_EQ(GetIPatternImage(), &image);
  EXPECT_EQ(GetActiveTabView(), &view);
  SetActiveTabView(nullptr);
  EXPECT_EQ(GetActiveTabView(), nullptr);
  SetActiveTabView(&view);
  SetMainFrameServices(nullptr, nullptr, nullptr);
  EXPECT_EQ(GetActiveTabView(), nullptr);  // the main window is gone
  EXPECT_EQ(GetIProgress(), nullptr);
  SetActiveTabView(nullptr);
}

TEST(FrameServices, AccessorsAreNullWithoutAMainFrame) {
  SetMainFrameServices(nullptr, nullptr, nullptr);
  EXPECT_EQ(GetIMainFrame(), nullptr);
  EXPECT_EQ(GetIPatternImage(), nullptr);
  EXPECT_EQ(GetActiveTabView(), nullptr);
  NoFrame frame;
  SetMainFrameServices(&frame, nullptr, nullptr);
  EXPECT_EQ(GetIMainFrame(), &frame);
  EXPECT_TRUE(frame.UseWarningSound());
  SetMainFrameServices(nullptr, nullptr, nullptr);
}
