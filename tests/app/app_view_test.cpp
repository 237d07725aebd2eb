// The real design view inside the running program: a design shown in the
// main frame's view, a pencil edit given as mouse messages, and the frame's
// Undo command taking it back.
#include "lang/ids/shell.h"
#include "tests/app/app_fixture.h"
#include "tests/view/view_test_util.h"
#include "view/FramePorts.h"
#include "view/ToolDialogs.h"

namespace apptest {
namespace {

TEST_F(AppTest, APencilEditInTheMainFramesViewIsUndoneByTheFramesCommand) {
  StoreAcceptedSettings();
  ASSERT_TRUE(Start());
  CTabView* view = View();
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(GetActiveTabView(), view);
  PencilPane pane;
  view->SetToolSource(&pane);

  *view->GetPattern() = viewtest::MakeDesign(8, 6);
  view->SetColorSet(viewtest::MakePalette({RGB(200, 40, 40), RGB(40, 200, 40), RGB(40, 40, 200)}), "three.pal");
  view->SetZoomMode(1);
  view->OnPatternChanged(false);
  view->Invalidate(TRUE);
  view->UpdateWindow();
  QmPumpMessages(200);
  ASSERT_TRUE(view->HasPatternView());
  EXPECT_GT(view->GetPatternZoom(), 0);
  EXPECT_FALSE(QueryCommand(Frame(), ID_EDIT_UNDO_STEP).enabled);

  POINT cell{0, 0};
  SIZE size;
  view->GetPattern()->MapCellToImage(2, 3, view->GetPatternView()->GetDrawnRect(), cell, size, false);
  QmSendMouse(view->m_hWnd, WM_LBUTTONDOWN, cell, MK_LBUTTON);
  QmSendMouse(view->m_hWnd, WM_LBUTTONUP, cell, 0);
  QmPumpMessages(100);
  EXPECT_EQ(ColorAt(view, 3, 2), 2);
  EXPECT_EQ(ColorAt(view, 4, 2), 0);
  EXPECT_TRUE(view->GetPattern()->IsModified());

  EXPECT_TRUE(QueryCommand(Frame(), ID_EDIT_UNDO_STEP).enabled);
  Frame()->SendMessage(WM_COMMAND, ID_EDIT_UNDO_STEP);
  QmPumpMessages(100);
  EXPECT_EQ(ColorAt(view, 3, 2), 0);
  EXPECT_FALSE(view->CanUndo());
  EXPECT_FALSE(QueryCommand(Frame(), ID_EDIT_UNDO_STEP).enabled);
  view->SetToolSource(nullptr);
}

}  // namespace
}  // namespace apptest
