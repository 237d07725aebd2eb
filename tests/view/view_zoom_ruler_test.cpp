// Zoom rules, rulers, the tool windows' mouse routing and the mirror
// hand-over with fakes.
#include <QImage>
#include <string>

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

TEST(RulerLayout, VerticalLabelsTooWideForTheBarAreTurned) {
  // Two digits (12 pixels) fit across a 16-pixel bar; three do not: the
  // labels then read upwards, each as tall as its text is wide, inside the
  // bar across and apart from each other along it.
  EXPECT_FALSE(LayoutRuler(false, 99, 0, 1000, 16, Measure).turned);
  EXPECT_FALSE(LayoutRuler(true, 254, 0, 1000, 16, Measure).turned);
  for (double length : {100.0, 254.0, 1000.0}) {
    const CRulerLayout layout = LayoutRuler(false, length, 0, 800, 16, Measure);
    EXPECT_TRUE(layout.turned) << length;
    ASSERT_FALSE(layout.labels.empty()) << length;
    for (size_t i = 0; i < layout.labels.size(); ++i) {
      const CRulerLabel& label = layout.labels[i];
      EXPECT_GE(label.rect.left, 0) << length;
      EXPECT_LE(label.rect.right, 16) << length;
      EXPECT_EQ(label.rect.bottom - label.rect.top, static_cast<LONG>(6 * std::to_string(label.value).size()));
      if (i > 0) EXPECT_GT(label.rect.top, layout.labels[i - 1].rect.bottom + 2) << length;
    }
  }
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
// A tool that writes down every pointer event it gets. It is a window
// object, so it can sit in a tool-window slot as well as behind a tool
// number of the pane.
struct RecordingTool : CWnd, IViewToolDialog {
  std::vector<std::string> log;
  bool takeRight = false;
  static std::string Cell(const CViewPointer& p) {
    return p.onCell ? std::to_string(p.column) + "," + std::to_string(p.row) : "off";
  }
  bool PointerDown(const CViewPointer& p) override {
    const bool right = p.button == CViewPointer::kRight;
    log.push_back(std::string(right ? "right " : "down ") + Cell(p) + " #" + std::to_string(p.hit.index));
    return right && takeRight;
  }
  void PointerMove(const CViewPointer& p) override {
    log.push_back("move " + Cell(p) + ((p.keys & MK_LBUTTON) ? " held" : ""));
  }
  void PointerUp(const CViewPointer& p) override { log.push_back("up " + Cell(p)); }
  void PointerCancel() override { log.push_back("cancel"); }
};
using Log = std::vector<std::string>;
}  // namespace

TEST_F(ViewTest, ARecordingToolReceivesTheViewsDownMoveUpAndCancel) {
  PutDesign(MakeDesign(8, 6));
  pane.pen = 1;
  const int columns = 8, rows = 6;
  const auto storage = [&](int column, int row) { return std::to_string((rows - 1 - row) * columns + column); };
  // Behind a tool number of the pane, as a drawing tool.
  auto owned = std::make_unique<RecordingTool>();
  RecordingTool* tool = owned.get();
  view->SetDrawingTool(7, std::move(owned));
  EXPECT_EQ(view->GetDrawingTool(7), tool);
  pane.tool = 7;
  Press(2, 3);
  Move(3, 3);
  Move(4, 3, 0);
  Release(3, 3);
  QmSendMouse(Hwnd(), WM_LBUTTONDOWN, POINT{2, 2}, MK_LBUTTON);  // beside the picture
  EXPECT_EQ(tool->log, (Log{"down 2,3 #" + storage(2, 3), "move 3,3 held", "move 4,3", "up 3,3", "down off #-1"}));
  // The pane picks the pencil: the recording tool is cancelled, the pencil
  // paints.
  tool->log.clear();
  pane.tool = CTabView::kToolPencil;
  Move(5, 5);
  EXPECT_EQ(tool->log, Log{"cancel"});
  EXPECT_EQ(At(5, 5), 1);

  // A tool window that opens cancels the drawing tool at once, and takes the
  // mouse while it is open: the drawing tools wait.
  pane.tool = 7;
  Move(1, 1, 0);
  tool->log.clear();
  RecordingTool window;
  view->SetToolWindow(CTabView::kToolText, &window);
  EXPECT_EQ(tool->log, Log{"cancel"});
  EXPECT_TRUE(view->IsToolDialogOpen());
  EXPECT_EQ(view->GetActiveTool(), &window);
  pane.tool = CTabView::kToolPencil;
  Press(2, 3);
  Move(3, 3);
  Release(3, 3);
  EXPECT_EQ(window.log, (Log{"down 2,3 #" + storage(2, 3), "move 3,3 held", "up 3,3"}));
  EXPECT_EQ(At(3, 3), 0);
  // A right press the window takes goes no further; one it leaves picks the
  // bead's colour as without a window.
  window.log.clear();
  view->GetPattern()->GetBeadAt(4, 4)->SetColorIndex(2);
  window.takeRight = true;
  RightClick(4, 4, 0);
  EXPECT_TRUE(pane.selected.empty());
  window.takeRight = false;
  RightClick(4, 4, 0);
  EXPECT_EQ(pane.selected, (std::vector<COLORREF>{RGB(40, 40, 200)}));
  EXPECT_EQ(window.log, (Log{"right 4,4 #" + storage(4, 4), "right 4,4 #" + storage(4, 4)}));
  view->OnTextDialogClosed();
  EXPECT_FALSE(view->IsToolDialogOpen());
  EXPECT_TRUE(window.log.size() == 2u);  // a closing window is not cancelled
  // Taking the number away leaves it without a tool.
  view->SetDrawingTool(7, nullptr);
  EXPECT_EQ(view->GetDrawingTool(7), nullptr);
  pane.tool = 7;
  Press(2, 3);
  Release(2, 3);
  EXPECT_EQ(At(2, 3), 0);
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
  EXPECT_EQ(CountEditedBeads(view->GetEditHistory()[0]), 2u);
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
