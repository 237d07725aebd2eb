// The colour, properties, palette and column commands in the running
// program: Edit > Adjust colors, File > Properties, Edit > Change Palette
// and the control pane's "Columns...".
#include <filesystem>

#include "app/AboutDlg.h"
#include "controls/ColorListCtrl.h"
#include "dialogs/SelectColumnsDlg.h"
#include "lang/ids/adjust.h"
#include "lang/ids/view.h"
#include "tests/app/app_fixture.h"
#include "tests/view/view_test_util.h"
#include "view/CtrlPane.h"

namespace apptest {
namespace {

namespace fs = std::filesystem;

class AdjustAppTest : public AppTest {
 protected:
  void StartWithDesign(int columns, int rows, bool russian = false) {
    StoreLanguage(russian);
    StoreAcceptedSettings();
    ASSERT_TRUE(Start());
    if (CAboutDlg* splash = CAboutDlg::GetLiveSplash()) splash->DestroyWindow();
    view = View();
    pane = Frame()->GetCtrlPane();
    ASSERT_NE(view, nullptr);
    ASSERT_NE(pane, nullptr);
    *view->GetPattern() = viewtest::MakeDesign(columns, rows);
    view->SetColorSet(viewtest::MakePalette({RGB(200, 40, 40), RGB(40, 200, 40), RGB(40, 40, 200)}), "three.pal");
    view->OnPatternChanged(false);
    pane->FillColorList();
    QmPumpMessages(100);
  }

  CTabView* view = nullptr;
  CCtrlPane* pane = nullptr;
};

std::vector<int> ShownKinds(CColorListCtrl& list) {
  std::vector<int> out;
  for (const CColumnPair& c : list.GetData().columns) out.push_back(c.kind);
  return out;
}

}  // namespace

TEST_F(AdjustAppTest, PaneColumnsChosenInTheChooserStayAfterARestart) {
  StartWithDesign(6, 4);
  std::vector<int> before = ShownKinds(pane->GetColorList());
  int added = -1;
  QmSetModalHook([&](HWND dlg) {
    auto* chooser = dynamic_cast<CSelectColumnsBaseDlg*>(CWnd::FromHandlePermanent(dlg));
    ASSERT_NE(chooser, nullptr);
    added = static_cast<int>(chooser->GetOtherList().GetItemData(0));
    // The first other column dropped on the first used row.
    EXPECT_TRUE(chooser->StartDrag(1, 0));
    CRect r;
    chooser->GetUsedList().GetItemRect(0, &r, LVIR_BOUNDS);
    CPoint p = r.CenterPoint();
    chooser->GetUsedList().ClientToScreen(&p);
    chooser->ScreenToClient(&p);
    chooser->DropAt(p);
    QmClickButton(GetDlgItem(dlg, IDOK));
  });
  QmClickButton(pane->GetDlgItem(IDC_CP_COLUMNS)->m_hWnd);
  QmSetModalHook(nullptr);
  ASSERT_GE(added, 0);
  std::vector<int> expected = before;
  expected.insert(expected.begin(), added);
  EXPECT_EQ(ShownKinds(pane->GetColorList()), expected);
  EXPECT_EQ(pane->GetColorList().GetHeaderCtrl()->GetItemCount(), static_cast<int>(expected.size()));
  // Closed and started again: the pane shows the same columns.
  Close();
  TearDown();
  SetUp();
  StartWithDesign(6, 4);
  EXPECT_EQ(ShownKinds(pane->GetColorList()), expected);
}

}  // namespace apptest
