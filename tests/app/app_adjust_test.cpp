// The colour, properties, palette and column commands in the running
// program: Edit > Adjust colors, File > Properties, Edit > Change Palette
// and the control pane's "Columns...".
#include <filesystem>
#include <set>

#include "app/AboutDlg.h"
#include "controls/ColorListCtrl.h"
#include "dialogs/AdjustSheet.h"
#include "dialogs/ChangePaletteDlg.h"
#include "dialogs/PropSheet.h"
#include "dialogs/SelectColumnsDlg.h"
#include "image/ImageView.h"
#include "view/PatternRender.h"
#include "lang/ids/adjust.h"
#include "lang/ids/shell.h"
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
    // Red, green, blue, white, black; the design red with a green column.
    view->SetColorSet(viewtest::MakePalette({RGB(200, 40, 40), RGB(40, 200, 40), RGB(40, 40, 200), RGB(250, 250, 250),
                                             RGB(10, 10, 10)}),
                      "five.pal");
    for (int r = 0; r < rows; ++r) view->GetPattern()->SetBeadColor(0, r, 1, true);
    view->GetPattern()->CacheBeadColors(*view->GetColorSet());
    view->GetPattern()->SetModified(false);
    view->CountUsedColors();
    view->OnPatternChanged(false);
    pane->FillColorList();
    QmPumpMessages(100);
  }

  CTabView* view = nullptr;
  CCtrlPane* pane = nullptr;
};

std::vector<int> Beads(const CPattern& design) {
  std::vector<int> out;
  for (const CBead& b : design.m_beads) out.push_back(b.m_present ? b.m_colorIndex : -2);
  return out;
}

// The rendered design's pixels along its middle row.
std::vector<COLORREF> MiddleRow(CTabView* view) {
  std::vector<COLORREF> out;
  CPatternImageView* image = view->GetPatternView();
  if (!image) return out;
  const int y = image->GetHeight() / 2;
  for (int x = 0; x < image->GetWidth(); x += 3) {
    COLORREF c = 0;
    image->GetPixelColor(x, y, c);
    out.push_back(c);
  }
  return out;
}

// The colours the control pane's list shows.
std::set<COLORREF> PaneColours(CCtrlPane* pane) {
  std::set<COLORREF> out;
  CColorListCtrl& list = pane->GetColorList();
  for (int i = 0; i < list.GetItemCount(); ++i) {
    CPaletteColor c;
    if (list.GetItemColor(i, c)) out.insert(c.GetColorref());
  }
  return out;
}

template <class T>
T* DialogOf(HWND dlg) {
  return dynamic_cast<T*>(CWnd::FromHandlePermanent(dlg));
}

// The next adjustment sheet: brightness released at the top, then the
// button pressed.
void BrightestThen(int button) {
  qmtest::SetModalHook([button](HWND dlg) {
    auto* sheet = DialogOf<CAdjustSheet>(dlg);
    ASSERT_NE(sheet, nullptr);
    CAdjustPage& page = sheet->GetBrightnessContrastPage();
    page.GetSlider(0).SetPos(102);
    page.SendMessage(WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0), reinterpret_cast<LPARAM>(page.GetSlider(0).m_hWnd));
    QmClickButton(GetDlgItem(dlg, button));
  });
}

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
  qmtest::SetModalHook([&](HWND dlg) {
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
  qmtest::SetModalHook(nullptr);
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

TEST_F(AdjustAppTest, AdjustColorsOkIsOneStepOfUndoAndIsSaved) {
  StartWithDesign(8, 6);
  const std::vector<int> before = Beads(*view->GetPattern());
  const std::vector<COLORREF> pixelsBefore = MiddleRow(view);
  ASSERT_FALSE(pixelsBefore.empty());
  // Cancel after a change: untouched, no step.
  BrightestThen(IDCANCEL);
  Frame()->SendMessage(WM_COMMAND, ID_EDIT_ADJUST_COLORS);
  EXPECT_EQ(Beads(*view->GetPattern()), before);
  EXPECT_TRUE(view->GetEditHistory().empty());
  EXPECT_FALSE(view->GetPattern()->IsModified());
  // OK after brightness to the top: every bead white.
  BrightestThen(IDOK);
  Frame()->SendMessage(WM_COMMAND, ID_EDIT_ADJUST_COLORS);
  qmtest::SetModalHook(nullptr);
  QmPumpMessages(100);
  const std::vector<int> after = Beads(*view->GetPattern());
  EXPECT_NE(after, before);
  for (int index : after) EXPECT_EQ(index, 3);
  EXPECT_NE(MiddleRow(view), pixelsBefore);
  EXPECT_EQ(view->GetEditHistory().size(), 1u);
  EXPECT_TRUE(view->GetPattern()->IsModified());
  // Undo bead for bead, Redo again.
  Frame()->SendMessage(WM_COMMAND, ID_EDIT_UNDO_STEP);
  EXPECT_EQ(Beads(*view->GetPattern()), before);
  Frame()->SendMessage(WM_COMMAND, ID_EDIT_REDO_STEP);
  EXPECT_EQ(Beads(*view->GetPattern()), after);
  // Saved and opened again: the adjusted beads.
  const fs::path file = fs::path(qmtest::MakeTempDir("adjustsave")) / "adjusted.qx";
  ASSERT_TRUE(view->SaveDesignFile(file.c_str(), false));
  ASSERT_TRUE(view->OpenDesignFile(file.c_str()));
  EXPECT_EQ(Beads(*view->GetPattern()), after);
}

TEST_F(AdjustAppTest, PropertiesOkMarksAndSavesTheTextsCancelLeavesThem) {
  StartWithDesign(8, 6);
  view->GetPattern()->m_title = "Rose";
  auto type = [](HWND page, int id, const char* text) {
    HWND edit = GetDlgItem(page, id);
    SetWindowText(edit, text);
    SendMessage(page, WM_COMMAND, MAKEWPARAM(id, EN_CHANGE), reinterpret_cast<LPARAM>(edit));
  };
  qmtest::SetModalHook([&](HWND dlg) {
    auto* sheet = DialogOf<CPropSheet>(dlg);
    ASSERT_NE(sheet, nullptr);
    type(sheet->GetAttrPage().m_hWnd, IDC_PROP_NICKNAME, "Lily");
    QmClickButton(GetDlgItem(dlg, IDCANCEL));
  });
  Frame()->SendMessage(WM_COMMAND, ID_FILE_PROPERTIES);
  EXPECT_EQ(view->GetPattern()->m_title, CString("Rose"));
  EXPECT_FALSE(view->GetPattern()->IsModified());
  qmtest::SetModalHook([&](HWND dlg) {
    auto* sheet = DialogOf<CPropSheet>(dlg);
    ASSERT_NE(sheet, nullptr);
    type(sheet->GetAttrPage().m_hWnd, IDC_PROP_NICKNAME, "Lily");
    type(sheet->GetAttrPage().m_hWnd, IDC_PROP_AUTHOR, "Vera");
    type(sheet->GetAttrPage().m_hWnd, IDC_PROP_WEBSITE, "https://beads.example");
    QmClickButton(GetDlgItem(dlg, IDOK));
  });
  Frame()->SendMessage(WM_COMMAND, ID_FILE_PROPERTIES);
  qmtest::SetModalHook(nullptr);
  EXPECT_TRUE(view->GetPattern()->IsModified());
  const fs::path file = fs::path(qmtest::MakeTempDir("propsave")) / "lily.qx";
  ASSERT_TRUE(view->SaveDesignFile(file.c_str(), false));
  *view->GetPattern() = viewtest::MakeDesign(3, 3);
  ASSERT_TRUE(view->OpenDesignFile(file.c_str()));
  EXPECT_EQ(view->GetPattern()->m_title, CString("Lily"));
  EXPECT_EQ(view->GetPattern()->m_attr.Author(), CString("Vera"));
  EXPECT_EQ(view->GetPattern()->m_attr.WebSite(), CString("https://beads.example"));
}

class ChangePaletteAppTest : public AdjustAppTest, public ::testing::WithParamInterface<int> {};

TEST_P(ChangePaletteAppTest, OkKeepsTheNewPaletteThroughSaveAndCancelRestores) {
  const int mode = GetParam();
  StartWithDesign(8, 6);
  // A fixture palette file of seven colours.
  const fs::path dir = fs::path(qmtest::MakeTempDir(mode ? "chpaltiles" : "chpalorig"));
  const fs::path palFile = dir / "seven.pal";
  CColorSet seven = viewtest::MakePalette({RGB(190, 30, 30), RGB(30, 190, 30), RGB(30, 30, 190), RGB(240, 240, 240),
                                           RGB(20, 20, 20), RGB(200, 200, 0), RGB(0, 200, 200)});
  ASSERT_TRUE(seven.SavePaletteAs(palFile.c_str()));
  const std::vector<int> before = Beads(*view->GetPattern());
  // Apply, then Cancel: everything as it was.
  qmtest::SetModalHook([&](HWND dlg) {
    auto* dialog = DialogOf<CChangePaletteDlg>(dlg);
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(dialog->LoadNewPalette(palFile.c_str()));
    dialog->GetPickupBox().SetCurSel(mode);
    dialog->OnApply();
    EXPECT_EQ(view->GetColorSet()->GetCount(), 7);
    QmClickButton(GetDlgItem(dlg, IDCANCEL));
  });
  Frame()->SendMessage(WM_COMMAND, ID_EDIT_CHANGE_PALETTE);
  EXPECT_EQ(Beads(*view->GetPattern()), before);
  EXPECT_EQ(view->GetColorSet()->GetCount(), 5);
  CString path;
  view->GetPaletteFilePath(path);
  EXPECT_EQ(path, CString("five.pal"));
  EXPECT_EQ(PaneColours(pane), (std::set<COLORREF>{RGB(200, 40, 40), RGB(40, 200, 40)}));
  // Apply, then OK: the new palette, its path and the pane's list.
  qmtest::SetModalHook([&](HWND dlg) {
    auto* dialog = DialogOf<CChangePaletteDlg>(dlg);
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(dialog->LoadNewPalette(palFile.c_str()));
    dialog->GetPickupBox().SetCurSel(mode);
    dialog->OnApply();
    QmClickButton(GetDlgItem(dlg, IDOK));
  });
  Frame()->SendMessage(WM_COMMAND, ID_EDIT_CHANGE_PALETTE);
  qmtest::SetModalHook(nullptr);
  view->GetPaletteFilePath(path);
  EXPECT_EQ(path, CString(palFile.c_str()));
  EXPECT_EQ(view->GetColorSet()->GetCount(), 7);
  EXPECT_TRUE(view->GetPattern()->IsModified());
  // Red beads take the new red, the green column the new green.
  const std::vector<int> after = Beads(*view->GetPattern());
  EXPECT_EQ(view->GetPattern()->GetBeadAt(3, 2)->m_colorIndex, 0);
  EXPECT_EQ(view->GetPattern()->GetBeadAt(0, 2)->m_colorIndex, 1);
  EXPECT_EQ(PaneColours(pane), (std::set<COLORREF>{RGB(190, 30, 30), RGB(30, 190, 30)}));
  // Saved and opened again: the same palette and beads.
  const fs::path file = dir / "moved.qx";
  ASSERT_TRUE(view->SaveDesignFile(file.c_str(), false));
  ASSERT_TRUE(view->OpenDesignFile(file.c_str()));
  EXPECT_EQ(view->GetColorSet()->GetCount(), 7);
  EXPECT_EQ(view->GetColorSet()->GetItem(5).GetColorref(), RGB(200, 200, 0));
  EXPECT_EQ(Beads(*view->GetPattern()), after);
  view->GetPaletteFilePath(path);
  EXPECT_EQ(path, CString(palFile.c_str()));
}

INSTANTIATE_TEST_SUITE_P(Modes, ChangePaletteAppTest, ::testing::Values(0, 1),
                         [](const ::testing::TestParamInfo<int>& info) { return info.param ? "CurrentTiles" : "OriginalImage"; });

}  // namespace apptest
