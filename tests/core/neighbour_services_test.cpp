// The services that the view and the dialogs install for the lower levels,
// each with a small fake.
#include <gtest/gtest.h>

#include "core/DialogServices.h"
#include "core/FrameServices.h"
#include "design/Pattern.h"
#include "core/Registry.h"
#include "core/ViewServices.h"
#include "platform/base/codepage.h"

namespace {

// A design view that only counts and answers hit tests from its design.
class FakeTabView : public ITabView {
 public:
  explicit FakeTabView(CPattern* p) : design(p) {}
  CImageView* GetOriginalView() override { return nullptr; }
  bool HasPatternView() override { return false; }
  CPatternImageView* GetPatternView() override { return nullptr; }
  void ClearBeadList() override { list.clear(); }
  int AddToBeadList(int index) override {
    for (size_t i = 0; i < list.size(); ++i)
      if (list[i] == index) return static_cast<int>(i);
    list.push_back(index);
    return static_cast<int>(list.size()) - 1;
  }
  int GetBeadListCount() override { return static_cast<int>(list.size()); }
  void DrawBead(const CBead&, CDC*, RECT*) override {}
  void DrawBeads(const std::vector<int>&) override {}
  CTabView* GetTabView() override { return nullptr; }
  CColorSet* GetColorSet() override { return nullptr; }
  CPattern* GetPattern() override { return design; }
  void OnEditColorGroupClosed() override {}
  bool RenderPatternImage(CDC*, CImage**) override { return false; }
  bool RenderPatternScaled(SIZE, int, CBitmap*, COLORREF) override { return false; }
  const RECT& GetFitMargins(const RECT& r) override { return r; }
  void GetPaletteFilePath(CString& out) override { out.Empty(); }
  void SetPaletteModified() override {}
  void SetFitToWindow() override {}
  int CountUsedColors() override {
    ++counts;
    int n = 0;
    for (const CBead& b : design->m_beads) n += b.m_present;
    return n;
  }
  void OnTextDialogClosed() override {}
  COLORREF GetBackgroundColor() override { return 0x808080; }
  int OnPatternChanged(bool) override { return 1; }
  bool BeadFromPoint(int, int, int&, int&, int&, bool, bool*) override { return false; }
  int PointToBead(POINT p, bool topDown, BYTE* present, bool tolerance) override {
    // A view that draws the design into a 100 x 100 square at the origin.
    if (p.x < 0 || p.y < 0 || p.x > 100 || p.y > 100) return -1;
    return design->HitTestBead(p.x / 100.0, p.y / 100.0, topDown, present, tolerance);
  }
  void DrawXorLine(POINT, POINT) override {}
  void DrawXorRect(POINT, POINT) override {}
  void DrawXorEllipse(POINT, POINT) override {}
  void DrawXorCellRect(const RECT&) override {}

  CPattern* design;
  std::vector<int> list;
  int counts = 0;
};

struct NoFrame : IMainFrame {
  CAppStatusBar* GetStatusBar() override { return nullptr; }
  void ResetStatusTexts() override {}
  CTabView* GetTabView() override { return nullptr; }
  CCtrlPane* GetCtrlPane() override { return nullptr; }
  CImageList* GetMenuImageList() override { return nullptr; }
  void EnableClose(bool) override {}
};

class FakePicture : public IOlePicture {
 public:
  bool LoadFromFile(const char* path) override { return loaded = path && *path; }
  SIZE GetSizeInPixels(CDC*) override { return loaded ? SIZE{20, 10} : SIZE{0, 0}; }
  bool Render(CDC*, const RECT&) override { return loaded; }
  bool loaded = false;
};

}  // namespace

TEST(NeighbourServices, ActiveTabViewThroughTheMainFrame) {
  CPattern p;
  CGridLayout layout{2.0f, 2.0f, 1.0f, 1.0f, 0.0f, kFormatLoom};
  ASSERT_TRUE(p.CreateGrid(layout, 0));
  FakeTabView view(&p);
  NoFrame frame;
  SetActiveTabView(&view);
  EXPECT_EQ(GetActiveTabView(), nullptr);  // no main window yet
  SetMainFrameServices(&frame, nullptr, nullptr);
  ITabView* active = GetActiveTabView();
  ASSERT_EQ(active, &view);
  EXPECT_EQ(active->CountUsedColors(), 4);
  EXPECT_EQ(active->PointToBead(POINT{75, 25}, true, nullptr, false), 1);
  EXPECT_EQ(active->PointToBead(POINT{75, 25}, false, nullptr, false), 3);
  EXPECT_EQ(active->PointToBead(POINT{150, 25}, false, nullptr, false), -1);
  EXPECT_EQ(active->AddToBeadList(7), 0);
  EXPECT_EQ(active->AddToBeadList(9), 1);
  EXPECT_EQ(active->AddToBeadList(7), 0);
  SetActiveTabView(nullptr);
  SetMainFrameServices(nullptr, nullptr, nullptr);
}

TEST(NeighbourServices, OlePictureFactory) {
  EXPECT_EQ(CreateOlePicture(), nullptr);
  SetOlePictureFactory([] { return std::make_unique<FakePicture>(); });
  std::unique_ptr<IOlePicture> picture = CreateOlePicture();
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(picture->GetSizeInPixels(nullptr).cx, 0);
  EXPECT_TRUE(picture->LoadFromFile("/x.wmf"));
  EXPECT_EQ(picture->GetSizeInPixels(nullptr).cx, 20);
  SetOlePictureFactory(nullptr);
  EXPECT_EQ(CreateOlePicture(), nullptr);
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
