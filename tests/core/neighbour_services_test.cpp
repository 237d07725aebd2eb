// The services that the view and the dialogs install for the lower levels:
// what is installed is what the accessors hand out.
#include <gtest/gtest.h>

#include "core/DialogServices.h"
#include "core/FrameServices.h"
#include "core/Registry.h"
#include "core/ViewServices.h"
#include "platform/base/codepage.h"

namespace {

// A design view that does nothing: what is tested is the accessor that
// hands it out.
class NullTabView : public ITabView {
 public:
  CImageView* GetOriginalView() override { return nullptr; }
  bool HasPatternView() override { return false; }
  CPatternImageView* GetPatternView() override { return nullptr; }
  void ClearBeadList() override {}
  int AddToBeadList(int) override { return 0; }
  int GetBeadListCount() override { return 0; }
  void DrawBead(const CBead&, CDC*, RECT*) override {}
  void DrawBeads(const std::vector<int>&) override {}
  CTabView* GetTabView() override { return nullptr; }
  CColorSet* GetColorSet() override { return nullptr; }
  CPattern* GetPattern() override { return nullptr; }
  void OnEditColorGroupClosed() override {}
  bool RenderPatternImage(CDC*, CImage**) override { return false; }
  bool RenderPatternScaled(SIZE, int, CBitmap*, COLORREF) override { return false; }
  const RECT& GetFitMargins(const RECT& r) override { return r; }
  void GetPaletteFilePath(CString& out) override { out.Empty(); }
  void SetPaletteModified() override {}
  void SetFitToWindow() override {}
  int CountUsedColors() override { return 0; }
  void OnTextDialogClosed() override {}
  COLORREF GetBackgroundColor() override { return 0; }
  int OnPatternChanged(bool) override { return 0; }
  bool BeadFromPoint(int, int, int&, int&, int&, bool, bool*) override { return false; }
  int PointToBead(POINT, bool, BYTE*, bool) override { return -1; }
  void DrawXorLine(POINT, POINT) override {}
  void DrawXorRect(POINT, POINT) override {}
  void DrawXorEllipse(POINT, POINT) override {}
  void DrawXorCellRect(const RECT&) override {}
};

struct NoFrame : IMainFrame {
  CAppStatusBar* GetStatusBar() override { return nullptr; }
  void ResetStatusTexts() override {}
  CTabView* GetTabView() override { return nullptr; }
  CCtrlPane* GetCtrlPane() override { return nullptr; }
  CImageList* GetMenuImageList() override { return nullptr; }
  void EnableClose(bool) override {}
};

class NullPicture : public IOlePicture {
 public:
  bool LoadFromFile(const char*) override { return false; }
  SIZE GetSizeInPixels(CDC*) override { return SIZE{0, 0}; }
  bool Render(CDC*, const RECT&) override { return false; }
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

TEST(NeighbourServices, OlePictureFactory) {
  EXPECT_EQ(CreateOlePicture(), nullptr);
  int made = 0;
  IOlePicture* last = nullptr;
  SetOlePictureFactory([&] {
    ++made;
    auto picture = std::make_unique<NullPicture>();
    last = picture.get();
    return picture;
  });
  std::unique_ptr<IOlePicture> first = CreateOlePicture();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first.get(), last);  // the factory's object, handed over
  std::unique_ptr<IOlePicture> second = CreateOlePicture();
  EXPECT_NE(second.get(), first.get());  // a new picture every time
  EXPECT_EQ(made, 2);
  SetOlePictureFactory(nullptr);
  EXPECT_EQ(CreateOlePicture(), nullptr);
  EXPECT_EQ(made, 2);
}

TEST(NeighbourServices, ColumnChoiceDialogHook) {
  CColumnListOptions options;
  EXPECT_EQ(options.rememberSelection, 0);
  EXPECT_EQ(options.highlightShortage, 1);
  EXPECT_EQ(options.allowUsageChange, 0);
  EXPECT_EQ(options.usageChangeLocked, 1);
  CColumnLayout columns = {{0, 80}, {3, 40}};
  EXPECT_FALSE(RunSelectColumnsDialog(columns, options, nullptr));
  SetSelectColumnsDialog([](CColumnLayout& c, CColumnListOptions& o, CWnd*) {
    c.erase(c.begin());
    o.rememberSelection = 1;
    return true;
  });
  EXPECT_TRUE(RunSelectColumnsDialog(columns, options, nullptr));
  EXPECT_EQ(columns.size(), 1u);
  EXPECT_EQ(options.rememberSelection, 1);
  SetSelectColumnsDialog(nullptr);
}

TEST(NeighbourServices, BuildDate) {
  const bool wasRussian = IsRussianInterface();
  SetRussianInterface(false);
  CString en;
  GetBuildDateText(en);
  EXPECT_EQ(en.GetLength() >= 10, true);
  EXPECT_EQ(en.Find("  "), -1);
  SetRussianInterface(true);
  CString ru;
  GetBuildDateText(ru);
  EXPECT_NE(ru, en);  // the month is translated
  SetRussianInterface(wasRussian);
}
