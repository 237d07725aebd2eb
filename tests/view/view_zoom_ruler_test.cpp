// Zoom rules, rulers, the tool windows' mouse routing and the mirror
// hand-over with fakes.
#include <QImage>

#include "tests/view/view_fixture.h"
#include "view/RulerBar.h"

using namespace viewtest;

namespace {
// Labels 6 pixels a digit, 11 high.
SIZE Measure(const char* text, bool) { return SIZE{static_cast<LONG>(6 * std::strlen(text)), 11}; }
}  // namespace

TEST(RulerLayout, InchesLabelsAndTicks) {
  // 12.3 inches at 20 pixels an inch: labels 1 .. 12, the 13th position
  // unlabelled; half ticks (spacing 12 from 13 units on) up to the end.
  CRulerLayout layout = LayoutRuler(true, 12.3, 0, 246, 16, Measure);
  ASSERT_EQ(layout.labels.size(), 12u);
  EXPECT_EQ(layout.labels.front().value, 1);
  EXPECT_EQ(layout.labels.back().value, 12);
  EXPECT_TRUE(layout.smallFont);
  EXPECT_EQ(layout.halfTicks.size(), 12u);    // 12.5 lies beyond the end
  EXPECT_EQ(layout.quarterTicks.size(), 0u);  // 10 pixels a half unit: too close
  for (int at : layout.halfTicks) EXPECT_LT(at, 246);
  // Half ticks only from 12 pixels a unit.
  EXPECT_TRUE(LayoutRuler(true, 12.3, 0, static_cast<int>(12.3 * 11.9), 16, Measure).halfTicks.empty());
  EXPECT_FALSE(LayoutRuler(true, 12.3, 0, static_cast<int>(12.3 * 12) + 1, 16, Measure).halfTicks.empty());
  // Few units: 7.5 pixels suffice across, 10 down.
  EXPECT_EQ(LayoutRuler(true, 4, 0, 32, 16, Measure).halfTicks.size(), 4u);
  EXPECT_TRUE(LayoutRuler(false, 4, 0, 32, 16, Measure).halfTicks.empty());
  // Labels that would touch the previous one are left out.
  const CRulerLayout dense = LayoutRuler(true, 40, 0, 200, 16, Measure);
  for (size_t i = 1; i < dense.labels.size(); ++i)
    EXPECT_GT(dense.labels[i].rect.left, dense.labels[i - 1].rect.right + 2);
  EXPECT_LT(dense.labels.size(), 40u);
  // The last label ends at its position.
  const CRulerLayout three = LayoutRuler(true, 3, 10, 130, 16, Measure);
  ASSERT_EQ(three.labels.size(), 3u);
  EXPECT_EQ(three.labels.back().rect.right, 130);
}

TEST(RulerLayout, Units) {
  EXPECT_DOUBLE_EQ(RulerLength(0, 5.0, 40), 40.0);  // beads
  EXPECT_DOUBLE_EQ(RulerLength(1, 5.0, 40), 5.0);
  EXPECT_DOUBLE_EQ(RulerLength(2, 1.0, 40), 2.54);
  EXPECT_DOUBLE_EQ(RulerLength(3, 1.0, 40), 25.4);
}

TEST_F(ViewTest, RulerRepaintsOnlyForANewUnit) {
  CRulerBar ruler(0, 16, 1);
  ASSERT_TRUE(ruler.Create(frame));
  ruler.MoveWindow(0, 0, 300, 16);
  QmPumpMessages(100);
  const int paints = ruler.GetPaintCount();
  ruler.SetUnits(1);
  QmPumpMessages(100);
  EXPECT_EQ(ruler.GetPaintCount(), paints);
  ruler.SetUnits(2);
  QmPumpMessages(100);
  EXPECT_GT(ruler.GetPaintCount(), paints);
  EXPECT_NE(ruler.GetCornerButton(), nullptr);
}

TEST_F(ViewTest, AutoZoomAndZoomModes) {
  CRect window;
  view->GetWindowRect(&window);
  const int w = window.Width();
  struct Case {
    int width;
    int expected;
  };
  const Case cases[] = {{w / 2, 0}, {w * 4 / 3, 100}, {w * 4 / 3 + 2, 50}, {w * 10 / 3, 50}, {w * 10 / 3 + 4, 25}};
  for (const Case& c : cases) {
    bool ok = false;
    CImage image(c.width, 1, ok, 0);
    ASSERT_TRUE(ok);
    EXPECT_EQ(view->GetAutoZoom(&image), c.expected) << c.width;
  }
  PutDesign(MakeDesign(30, 20));
  ASSERT_TRUE(view->GetPatternView()->IsFitToWindow());
  view->SetZoomMode(2);  // fitted: keeping the zoom means fitting
  EXPECT_EQ(view->GetZoomMode(), 1);
  view->ApplyZoomMode(true);
  EXPECT_EQ(view->GetZoomMode(), 0);
  view->GetPatternView()->SetZoom(50, true, true);
  view->SetZoomMode(2);
  EXPECT_EQ(view->GetZoomMode(), 2);
  view->GetPatternView()->SetZoom(100, true, true);
  view->ApplyZoomMode(true);
  EXPECT_EQ(view->GetPatternView()->GetZoom(), 50);
}

namespace {
struct FakeText : ITextToolDialog {
  std::vector<std::string> log;
  void OnViewLButtonDown(UINT, int c, int r) override {
    log.push_back("down " + std::to_string(c) + "," + std::to_string(r));
  }
  void OnViewMouseMove(UINT, int c, int r) override {
    log.push_back("move " + std::to_string(c) + "," + std::to_string(r));
  }
  void OnViewLButtonUp(UINT, int c, int r) override {
    log.push_back("up " + std::to_string(c) + "," + std::to_string(r));
  }
};
struct FakeSelector : IBeadSelectorToolDialog {
  std::vector<int> downs, moves, ups;
  void OnViewLButtonDown(UINT, POINT, const CBeadHit& hit) override { downs.push_back(hit.index); }
  void OnViewMouseMove(UINT, POINT, const CBeadHit& hit) override { moves.push_back(hit.index); }
  void OnViewLButtonUp(UINT, POINT, const CBeadHit& hit) override { ups.push_back(hit.index); }
};
struct FakeColorGroup : IEditColorGroupToolDialog {
  std::vector<COLORREF> colors;
  void OnViewRButtonDown(const CRgbTriple& c) override { colors.push_back(c.GetColorref()); }
};
}  // namespace

TEST_F(ViewTest, MouseGoesToAnOpenToolWindow) {
  PutDesign(MakeDesign(8, 6));
  pane.tool = CTabView::kToolPencil;
  pane.pen = 1;
  FakeText text;
  view->m_textDlg = &text;
  Press(2, 3);
  Move(3, 3);
  Release(3, 3);
  EXPECT_EQ(text.log, (std::vector<std::string>{"down 2,3", "move 3,3", "up 3,3"}));
  EXPECT_EQ(At(3, 3), 0);  // the tools are suspended
  EXPECT_TRUE(view->IsToolDialogOpen());
  view->OnTextDialogClosed();
  EXPECT_FALSE(view->IsToolDialogOpen());
  FakeSelector selector;
  view->m_partialDlg = &selector;
  Press(1, 0);
  Move(1, 0, 0);  // moves without the button are not handed over
  Move(2, 0);
  Release(2, 0);
  const int rows = 6;
  EXPECT_EQ(selector.downs, (std::vector<int>{(rows - 1) * 8 + 1}));
  EXPECT_EQ(selector.moves, (std::vector<int>{(rows - 1) * 8 + 2}));
  EXPECT_EQ(selector.ups.size(), 1u);
  view->m_partialDlg = nullptr;
  FakeColorGroup group;
  view->m_editColorGroupDlg = &group;
  view->GetPattern()->GetBeadAt(4, 4)->SetColorIndex(2);
  RightClick(4, 4, 0);
  EXPECT_EQ(group.colors, (std::vector<COLORREF>{RGB(40, 40, 200)}));
  EXPECT_TRUE(pane.selected.empty());
  view->OnEditColorGroupClosed();
}

TEST_F(ViewTest, MirrorCancelledAfterBothFlipsBackAndRecordsNothing) {
  CPattern design = MakeDesign(6, 4);
  design.GetBeadAt(0, 0)->SetColorIndex(1);
  PutDesign(design);
  const CBeadArray before = view->GetPattern()->m_beads;
  CViewDialogFactories factories;
  int answer = IDCANCEL;
  factories.runMirror = [&](CTabView* v, UINT message) {
    v->SendMessage(message, 1, 0);
    v->SendMessage(message, 1, 1);
    EXPECT_EQ(At(5, 3), 1);  // flipped both ways while the dialog is open
    return answer;
  };
  SetViewDialogFactories(factories);
  view->OnMirror();
  EXPECT_TRUE(view->GetPattern()->m_beads == before);
  EXPECT_TRUE(view->GetEditHistory().empty());
  answer = IDOK;
  view->OnMirror();
  EXPECT_EQ(At(5, 3), 1);
  ASSERT_EQ(view->GetEditHistory().size(), 1u);
  view->Undo();
  EXPECT_TRUE(view->GetPattern()->m_beads == before);
  SetViewDialogFactories({});
}

TEST_F(ViewTest, RecordChangesAndDroppedOriginal) {
  PutDesign(MakeDesign(6, 4));
  CPattern copy = *view->GetPattern();
  view->RecordChanges(copy);  // identical: no step
  EXPECT_TRUE(view->GetEditHistory().empty());
  view->GetPattern()->GetBeadAt(1, 1)->m_present = 0;
  view->GetPattern()->GetBeadAt(2, 1)->SetColorIndex(2);
  view->RecordChanges(copy);
  ASSERT_EQ(view->GetEditHistory().size(), 1u);
  EXPECT_EQ(view->GetEditHistory()[0].size(), 2u);
  CPattern smaller = MakeDesign(2, 2);
  view->RecordChanges(smaller);  // another size: nothing
  EXPECT_EQ(view->GetEditHistory().size(), 1u);
  view->Undo();
  EXPECT_EQ(At(1, 1), 0);
  EXPECT_EQ(At(2, 1), 0);
  // Dropping the original picture closes the overlay.
  view->SetOriginalView(nullptr, "");
  EXPECT_EQ(pane.hides, 1);
  EXPECT_EQ(pane.updates, 1);
}
