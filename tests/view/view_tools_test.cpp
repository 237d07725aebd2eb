// The drawing tools driven by mouse messages through the real view: each
// edit one history step, Undo and Redo restoring the exact state, marking,
// the bead pop-ups, the status texts.
#include <QImage>

#include "lang/ids/view.h"
#include "settings/AppSettings.h"
#include "tests/view/view_fixture.h"
#include "view/DrawingTools.h"

using namespace viewtest;

namespace {
std::vector<CBead> Beads(CTabView* view) {
  const auto& b = view->GetPattern()->m_beads;
  return std::vector<CBead>(b.begin(), b.end());
}
}  // namespace

TEST_F(ViewTest, PencilEachEditOneStepUndoRedoExact) {
  PutDesign(MakeDesign(12, 10));
  ASSERT_TRUE(view->HasPatternView());
  const auto original = Beads(view);
  pane.tool = CTabView::kToolPencil;
  pane.pen = 1;
  Press(2, 3);
  Move(2, 3);
  Move(3, 3);
  Release(3, 3);
  EXPECT_EQ(At(2, 3), 1);
  EXPECT_EQ(At(3, 3), 1);
  EXPECT_EQ(At(4, 3), 0);
  EXPECT_EQ(view->GetEditHistory().size(), 2u);  // one step per changed bead
  EXPECT_TRUE(view->GetPattern()->IsModified());
  EXPECT_GT(pane.refreshes, 0);
  const auto painted = Beads(view);
  view->Undo();
  view->Undo();
  EXPECT_TRUE(Beads(view) == original);
  EXPECT_FALSE(view->CanUndo());
  view->Redo();
  view->Redo();
  EXPECT_TRUE(Beads(view) == painted);
  view->Undo();
  EXPECT_EQ(At(3, 3), 0);
  // A new edit after an undo drops the undone step: no Redo is left.
  pane.pen = 2;
  Press(5, 5);
  Release(5, 5);
  EXPECT_FALSE(view->CanRedo());
  ASSERT_EQ(view->GetEditHistory().size(), 2u);
  EXPECT_EQ(view->GetEditHistory()[1][0].newColor, 2);
}

TEST_F(ViewTest, PencilRepaintsOnlyTheEditedCell) {
  CPattern design = MakeDesign(12, 10);
  PutDesign(design);
  CPatternImageView* pv = view->GetPatternView();
  ASSERT_TRUE(pv);
  std::vector<uint32_t> before(size_t(pv->GetWidth()) * pv->GetHeight());
  for (int y = 0; y < pv->GetHeight(); ++y)
    for (int x = 0; x < pv->GetWidth(); ++x) {
      COLORREF c;
      pv->GetPixelColor(x, pv->GetHeight() - 1 - y, c);
      before[size_t(y) * pv->GetWidth() + x] = c;
    }
  pane.pen = 2;
  ASSERT_TRUE(view->PaintBead(view->GetPattern()->GetBeadIndex(4, 4), 2));
  ASSERT_EQ(view->GetPatternView(), pv);  // the same picture, edited in place
  const RECT cell = view->GetPattern()->GetBeadViewRect(*view->GetPattern()->GetBeadAt(4, 4));
  int changedOutside = 0, changedInside = 0;
  for (int y = 0; y < pv->GetHeight(); ++y)
    for (int x = 0; x < pv->GetWidth(); ++x) {
      COLORREF c;
      pv->GetPixelColor(x, pv->GetHeight() - 1 - y, c);
      const bool inside = x >= cell.left && x < cell.right && y >= cell.top && y < cell.bottom;
      if (c != before[size_t(y) * pv->GetWidth() + x]) (inside ? changedInside : changedOutside)++;
    }
  EXPECT_GT(changedInside, 0);
  EXPECT_EQ(changedOutside, 0);
  // The edited picture equals a new render of the edited design.
  CPatternImageView* edited = view->GetPatternView();
  std::vector<COLORREF> incremental;
  for (int y = 0; y < edited->GetHeight(); ++y)
    for (int x = 0; x < edited->GetWidth(); ++x) {
      COLORREF c;
      edited->GetPixelColor(x, y, c);
      incremental.push_back(c);
    }
  view->RefreshPatternView();
  std::vector<COLORREF> whole;
  for (int y = 0; y < view->GetPatternView()->GetHeight(); ++y)
    for (int x = 0; x < view->GetPatternView()->GetWidth(); ++x) {
      COLORREF c;
      view->GetPatternView()->GetPixelColor(x, y, c);
      whole.push_back(c);
    }
  EXPECT_TRUE(incremental == whole);
}

TEST_F(ViewTest, FigureToolsOneStepEach) {
  PutDesign(MakeDesign(16, 12));
  pane.pen = 1;
  struct Case {
    int tool;
    POINT from, to;
    int changed;
  };
  const Case cases[] = {
      {CTabView::kToolLine, {0, 0}, {9, 2}, 10},    // 10 over 3: 3 + 3 + 4
      {CTabView::kToolLine, {0, 0}, {12, 10}, 13},  // 13 over 11 reaches its end
      {CTabView::kToolRect, {2, 2}, {4, 4}, 8},     // unfilled 3 x 3
      {CTabView::kToolRectFilled, {2, 2}, {4, 4}, 9}, {CTabView::kToolRect, {1, 5}, {6, 5}, 6},  // one row
      {CTabView::kToolLine, {3, 3}, {3, 3}, 1},                                                  // one cell
  };
  for (const Case& c : cases) {
    PutDesign(MakeDesign(16, 12));
    pane.tool = c.tool;
    Drag(c.from.x, c.from.y, c.to.x, c.to.y);
    ASSERT_EQ(view->GetEditHistory().size(), 1u) << c.tool;
    EXPECT_EQ(view->GetEditHistory()[0].size(), size_t(c.changed)) << c.tool << " " << c.to.x;
    EXPECT_EQ(At(c.to.x, c.to.y), 1);
    EXPECT_EQ(At(c.from.x, c.from.y), 1);
    const auto* shape = dynamic_cast<const CShapeTool*>(view->GetDrawingTool(c.tool));
    ASSERT_TRUE(shape);
    EXPECT_FALSE(shape->IsBandDrawn());
    EXPECT_EQ(shape->GetAnchorBead(), -1);
    view->Undo();
    EXPECT_EQ(At(c.to.x, c.to.y), 0);
    view->ClearEditHistory();
  }
  // The 10-over-3 line: runs end at columns 2, 5 and 9.
  PutDesign(MakeDesign(16, 12));
  pane.tool = CTabView::kToolLine;
  Drag(0, 0, 9, 2);
  EXPECT_EQ(At(2, 0), 1);
  EXPECT_EQ(At(3, 0), 0);
  EXPECT_EQ(At(5, 1), 1);
  EXPECT_EQ(At(6, 1), 0);
  EXPECT_EQ(At(6, 2), 1);
  // Ellipses: outline leaves the middle, filled covers it.
  for (int tool : {CTabView::kToolEllipse, CTabView::kToolEllipseFilled}) {
    PutDesign(MakeDesign(16, 12));
    pane.tool = tool;
    Drag(2, 2, 10, 8);
    EXPECT_EQ(view->GetEditHistory().size(), 1u);
    EXPECT_EQ(At(6, 5), tool == CTabView::kToolEllipse ? 0 : 1);
    EXPECT_EQ(At(6, 2), 1);
    EXPECT_EQ(At(2, 2), 0);  // the corner stays
  }
}

TEST_F(ViewTest, FillEraseAndNoColour) {
  CPattern design = MakeDesign(10, 8);
  for (int c = 0; c < 10; ++c) design.GetBeadAt(c, 4)->SetColorIndex(2);  // a wall
  PutDesign(design);
  pane.tool = CTabView::kToolFill;
  pane.pen = 1;
  Move(0, 0, 0);
  ASSERT_FALSE(statusTexts.empty());
  EXPECT_NE(statusTexts.back().find("C0"), std::string::npos) << statusTexts.back();
  Press(0, 0);
  Release(0, 0);
  // The status bar tells the bead's new colour without waiting for a move.
  EXPECT_NE(statusTexts.back().find("C1"), std::string::npos) << statusTexts.back();
  EXPECT_EQ(At(9, 3), 1);
  EXPECT_EQ(At(9, 4), 2);
  EXPECT_EQ(At(0, 7), 0);
  ASSERT_EQ(view->GetEditHistory().size(), 1u);
  EXPECT_EQ(CountEditedBeads(view->GetEditHistory()[0]), 40u);  // four rows side by side: one entry
  EXPECT_EQ(view->GetEditHistory()[0].size(), 1u);
  // Filling with the colour the area has: nothing, no step.
  Press(0, 0);
  Release(0, 0);
  EXPECT_EQ(view->GetEditHistory().size(), 1u);
  // The eraser toggles on every move over one bead, each toggle a step.
  pane.tool = CTabView::kToolErase;
  Press(5, 6);
  Move(5, 6);
  EXPECT_EQ(At(5, 6), -2);
  Move(5, 6);
  EXPECT_EQ(At(5, 6), 0);
  Release(5, 6);  // the release toggles too
  EXPECT_EQ(At(5, 6), -2);
  EXPECT_EQ(view->GetEditHistory().size(), 4u);
  view->Undo();
  EXPECT_EQ(At(5, 6), 0);
  // Without a pen colour the pencil does nothing and the release says so.
  pane.tool = CTabView::kToolPencil;
  pane.pen = -1;
  alerts.clear();
  Press(1, 1);
  Move(1, 1);
  Release(1, 1);
  EXPECT_EQ(At(1, 1), 1);
  ASSERT_EQ(alerts.size(), 1u);
  EXPECT_EQ(alerts[0].first, LoadResString(IDS_VIEW_SELECT_COLOR).GetString());
  EXPECT_EQ(alerts[0].second, 1);
}

TEST_F(ViewTest, AToolWindowThatOpensTakesBackAHalfDrawnBand) {
  PutDesign(MakeDesign(8, 6));
  pane.tool = CTabView::kToolEllipse;
  pane.pen = 1;
  const QImage before = QmRenderWindow(Hwnd(), false);
  Press(1, 1);
  Move(1, 1);
  Move(6, 4);
  const auto* shape = dynamic_cast<const CShapeTool*>(view->GetDrawingTool(CTabView::kToolEllipse));
  ASSERT_TRUE(shape);
  ASSERT_TRUE(shape->IsBandDrawn());
  EXPECT_NE(before, QmRenderWindow(Hwnd(), false));
  CWnd window;
  view->SetToolWindow(CTabView::kToolInteresting, &window);
  EXPECT_FALSE(shape->IsBandDrawn());
  EXPECT_EQ(shape->GetAnchorBead(), -1);
  EXPECT_EQ(before, QmRenderWindow(Hwnd(), false));
  // The release goes to the open window, which takes no mouse: nothing
  // drawn, and the ellipse does not finish after the window has gone.
  Release(6, 4);
  view->SetToolWindow(CTabView::kToolInteresting, nullptr);
  Release(6, 4);
  EXPECT_TRUE(view->GetEditHistory().empty());
  EXPECT_EQ(At(6, 4), 0);
}

TEST_F(ViewTest, LongFillNeedsNoDeepStack) {
  // A one-bead-wide snake of 2000 beads: 2000 breadth levels.
  CPattern design = MakeDesign(2000, 1);
  PutDesign(design);
  EXPECT_TRUE(view->FillArea(0, 2));
  EXPECT_EQ(At(1999, 0), 2);
}

TEST_F(ViewTest, MarkingByRightClickWithCtrl) {
  CPattern design = MakeDesign(8, 6);
  for (int c = 0; c < 8; ++c) design.GetBeadAt(c, 2)->SetColorIndex(1);
  design.GetBeadAt(0, 5)->SetColorIndex(1);
  PutDesign(design);
  // 1: every bead of the colour, in storage order.
  GetAppSettings().m_rightClickAction = 1;
  GetAppSettings().m_showColor = 1;
  RightClick(3, 2, MK_CONTROL);
  EXPECT_EQ(view->GetPattern()->m_markedBeads.size(), 9u);
  EXPECT_FALSE(pane.selected.empty());
  EXPECT_FALSE(view->GetPattern()->IsModified());
  EXPECT_TRUE(view->GetEditHistory().empty());
  // 2: the connected beads only.
  GetAppSettings().m_rightClickAction = 2;
  RightClick(3, 2, MK_CONTROL);
  EXPECT_EQ(view->GetPattern()->m_markedBeads.size(), 8u);
  // 0: toggles one bead's mark.
  GetAppSettings().m_rightClickAction = 0;
  view->GetPattern()->ClearMarkedBeads();
  RightClick(1, 1, MK_CONTROL);
  ASSERT_EQ(view->GetPattern()->m_markedBeads.size(), 1u);
  RightClick(1, 1, MK_CONTROL);
  EXPECT_TRUE(view->GetPattern()->m_markedBeads.empty());
  // A plain right click picks the colour.
  pane.selected.clear();
  RightClick(0, 5, 0);
  ASSERT_EQ(pane.selected.size(), 1u);
  EXPECT_EQ(pane.selected[0], RGB(40, 200, 40));
}

TEST_F(ViewTest, ShiftRightClickPopups) {
  PutDesign(MakeDesign(8, 6));
  std::vector<UINT> offered;
  QmSetPopupMenuHook([&](HMENU menu, int, int, HWND) {
    const UINT id = GetMenuItemID(menu, 0);
    offered.push_back(id);
    return id;
  });
  RightClick(2, 2, MK_SHIFT);
  ASSERT_EQ(offered.size(), 1u);
  EXPECT_EQ(offered[0], UINT(ID_REMOVE_BEAD));
  QmPumpMessages(100);
  EXPECT_EQ(At(2, 2), -2);
  RightClick(2, 2, MK_SHIFT);
  ASSERT_EQ(offered.size(), 2u);
  EXPECT_EQ(offered[1], UINT(ID_INSERT_BEAD));
  QmPumpMessages(100);
  EXPECT_EQ(At(2, 2), 0);
  EXPECT_EQ(view->GetEditHistory().size(), 2u);
  // Ctrl and Shift on a present bead: marking first, no menu.
  RightClick(3, 3, MK_SHIFT | MK_CONTROL);
  EXPECT_EQ(offered.size(), 2u);
  EXPECT_FALSE(view->GetPattern()->m_markedBeads.empty());
}

TEST_F(ViewTest, RubberBandTwiceLeavesTheWindow) {
  PutDesign(MakeDesign(8, 6));
  const QImage before = QmRenderWindow(Hwnd(), false);
  view->DrawXorRect(POINT{20, 20}, POINT{200, 150});
  const QImage during = QmRenderWindow(Hwnd(), false);
  view->DrawXorRect(POINT{20, 20}, POINT{200, 150});
  const QImage after = QmRenderWindow(Hwnd(), false);
  EXPECT_NE(before, during);
  EXPECT_EQ(before, after);
  view->DrawXorEllipse(POINT{30, 30}, POINT{180, 120});
  view->DrawXorEllipse(POINT{30, 30}, POINT{180, 120});
  EXPECT_EQ(before, QmRenderWindow(Hwnd(), false));
}

TEST_F(ViewTest, HintLinesPostNewAndOpen) {
  view->Invalidate(TRUE);
  view->UpdateWindow();
  QmPumpMessages(100);
  const RECT first = view->GetHintRect(0), second = view->GetHintRect(1);
  ASSERT_FALSE(IsRectEmpty(&first));
  EXPECT_LT(first.bottom, second.bottom);
  QmSendMouse(Hwnd(), WM_MOUSEMOVE, POINT{(first.left + first.right) / 2, (first.top + first.bottom) / 2}, 0);
  EXPECT_TRUE(view->IsOverHint(0));
  QmSendMouse(Hwnd(), WM_LBUTTONDOWN, POINT{(first.left + first.right) / 2, (first.top + first.bottom) / 2},
              MK_LBUTTON);
  QmSendMouse(Hwnd(), WM_LBUTTONDOWN, POINT{(second.left + second.right) / 2, (second.top + second.bottom) / 2},
              MK_LBUTTON);
  QmSendMouse(Hwnd(), WM_LBUTTONDOWN, POINT{2, 2}, MK_LBUTTON);
  QmPumpMessages(100);
  EXPECT_EQ(frame->commands, (std::vector<UINT>{32000, 32001}));
}

TEST_F(ViewTest, HitTestingAndStatusTexts) {
  CPattern design = MakeDesign(10, 5);
  design.GetBeadAt(2, 1)->m_present = 0;
  PutDesign(design);
  int column = 0, row = 0, color = 0;
  bool present = true;
  const POINT p = CellPoint(2, 1);
  EXPECT_FALSE(view->BeadFromPoint(p.x, p.y, column, row, color, true, &present));
  EXPECT_TRUE(view->BeadFromPoint(p.x, p.y, column, row, color, false, &present));
  EXPECT_FALSE(present);
  EXPECT_EQ(column, 2);
  EXPECT_EQ(row, 1);
  EXPECT_EQ(view->PointToBead(POINT{-5, -5}, true, nullptr, true), -1);
  // A drawn rectangle without width hits nothing.
  view->GetPatternView()->SetDrawnRect(RECT{10, 10, 10, 200});
  EXPECT_EQ(view->PointToBead(POINT{10, 50}, true, nullptr, true), -1);
  // The bead list.
  EXPECT_EQ(view->AddToBeadList(7), 0);
  EXPECT_EQ(view->AddToBeadList(3), 1);
  EXPECT_EQ(view->AddToBeadList(7), 0);
  EXPECT_EQ(view->GetBeadListCount(), 2);
  EXPECT_EQ(view->CountUsedColors(), 49);
}

TEST_F(ViewTest, PaintAtFullSizeCopiesTheSamePixelsAfterAnEdit) {
  PutDesign(MakeDesign(40, 30));
  CPatternImageView* pv = view->GetPatternView();
  pv->SetZoom(100, true, true);
  view->UpdateWindow();
  pane.pen = 2;
  ASSERT_TRUE(view->PaintBead(view->GetPattern()->GetBeadIndex(3, 2), 2));
  view->Invalidate(FALSE);
  view->UpdateWindow();
  const QImage fast = QmRenderWindow(Hwnd(), false);
  // The base class draws the whole picture from its pixels.
  pv->CImageView::PaintDirect(nullptr, true, nullptr);
  const QImage plain = QmRenderWindow(Hwnd(), false);
  EXPECT_EQ(fast, plain);
}
