// The change-palette dialog: Cancel without Apply changes nothing; both
// pick-up modes; two "Current tiles" Applies chain; Apply then Cancel gives
// back design, palette and path; beads without a colour stay without; a
// file that is no palette is told and changes nothing; pictures in both
// languages.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/Registry.h"
#include "design/Pattern.h"
#include "dialogs/ChangePaletteDlg.h"
#include "lang/ids/adjust.h"
#include "platform/wnd.h"
#include "tests/common/test_util.h"
#include "tests/dialogs/adjust_fixture.h"
#include "tests/dialogs/wizard_fixture.h"
#include "view/TabView.h"
#include "tests/common/modal_hook.h"

using namespace adjusttest;
namespace fs = std::filesystem;

namespace {

std::vector<int> Indices(const CPattern& design) {
  std::vector<int> out;
  for (const CBead& b : design.m_beads) out.push_back(b.m_colorIndex);
  return out;
}

class ChangePaletteTest : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    russian = GetParam();
    SetRussianInterface(russian);
    dir = qmtest::MakeTempDir(russian ? "chpal_ru" : "chpal_en");
    newFile = wiztest::SavePalette(dir, "delica", 9);
    qmtest::WriteAll(dir / "broken.pal", {1, 2, 3, 4, 5, 6, 7, 8});
  }
  void TearDown() override {
    qmtest::SetModalHook({});
    SetRussianInterface(false);
  }
  // The view's design: a 12 x 10 grid of five colours, one bead removed
  // and without a colour.
  void Prepare(CViewFrame& frame) {
    CPattern design = MakeGridDesign(12, 10, 5);
    design.m_beads[7].m_colorIndex = -1;
    design.m_beads[7].m_present = 0;
    PutDesign(frame.View(), design, MakeCountedPalette({0, 0, 0, 0, 0}), "/p/five.pal");
    frame.View()->GetPattern()->SetModified(false);
  }
  bool russian = false;
  fs::path dir, newFile;
};

}  // namespace

TEST_P(ChangePaletteTest, CancelWithoutApplyAndAFileThatIsNoPalette) {
  qmtest::LanguagePack pack(russian);
  CViewFrame frame;
  Prepare(frame);
  CTabView* view = frame.View();
  const std::vector<int> before = Indices(*view->GetPattern());
  wiztest::CMessageLog messages;
  CChangePaletteDlg dialog(view->GetPattern(), view->GetColorSet(), nullptr);
  qmtest::SetModalHook([&](HWND dlg) {
    EXPECT_FALSE(Enabled(GetDlgItem(dlg, IDC_CHP_APPLY)));
    EXPECT_FALSE(Enabled(GetDlgItem(dlg, IDOK)));
    EXPECT_EQ(dialog.GetCurrentList().GetItemCount(), 5);
    EXPECT_FALSE(dialog.LoadNewPalette((dir / "broken.pal").c_str()));
    EXPECT_FALSE(Enabled(GetDlgItem(dlg, IDC_CHP_APPLY)));
    EXPECT_EQ(dialog.GetNewList().GetItemCount(), 0);
    EXPECT_TRUE(dialog.LoadNewPalette(newFile.c_str()));
    EXPECT_EQ(dialog.GetNewList().GetItemCount(), 9);
    EXPECT_TRUE(Enabled(GetDlgItem(dlg, IDC_CHP_APPLY)));
    CheckAndShoot(dlg, russian, "change_palette");
    QmClickButton(GetDlgItem(dlg, IDCANCEL));
  });
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  ASSERT_EQ(messages.texts.size(), 1u);
  EXPECT_NE(messages.texts[0].find("broken.pal"), std::string::npos);
  EXPECT_EQ(Indices(*view->GetPattern()), before);
  EXPECT_EQ(view->GetColorSet()->GetCount(), 5);
  CString path;
  view->GetPaletteFilePath(path);
  EXPECT_EQ(path, CString("/p/five.pal"));
  EXPECT_FALSE(view->GetPattern()->IsModified());
}

TEST_P(ChangePaletteTest, CurrentTilesChainsAndCancelRestoresEverything) {
  qmtest::LanguagePack pack(russian);
  CViewFrame frame;
  Prepare(frame);
  CTabView* view = frame.View();
  const CPattern original(*view->GetPattern());
  const CColorSet originalPalette(*view->GetColorSet());
  CChangePaletteDlg dialog(view->GetPattern(), view->GetColorSet(), nullptr);
  qmtest::SetModalHook([&](HWND dlg) {
    ASSERT_TRUE(dialog.LoadNewPalette(newFile.c_str()));
    dialog.GetPickupBox().SetCurSel(CChangePaletteDlg::kPickTiles);
    dialog.OnApply();
    // Every bead the colour of the new palette nearest to its old colour;
    // the colourless bead stays colourless.
    CColorSet fresh = dialog.GetNewPalette();
    CPattern expected(original);
    CChangePaletteDlg::PickUpFromTiles(expected, originalPalette, fresh);
    EXPECT_EQ(Indices(*view->GetPattern()), Indices(expected));
    EXPECT_EQ(view->GetPattern()->m_beads[7].m_colorIndex, -1);
    EXPECT_EQ(view->GetColorSet()->GetCount(), 9);
    CString path;
    view->GetPaletteFilePath(path);
    EXPECT_EQ(path, CString(newFile.c_str()));
    EXPECT_TRUE(view->GetPattern()->IsModified());
    // The new list shows the used colours of the design's new palette.
    EXPECT_EQ(dialog.GetNewList().GetItemCount(), view->GetColorSet()->GetUsedCount());
    // A second Apply starts from what the first gave.
    CPattern second(*view->GetPattern());
    CChangePaletteDlg::PickUpFromTiles(second, *view->GetColorSet(), fresh);
    dialog.OnApply();
    EXPECT_EQ(Indices(*view->GetPattern()), Indices(second));
    CheckAndShoot(dlg, russian, "change_palette_applied");
    QmClickButton(GetDlgItem(dlg, IDCANCEL));
  });
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  EXPECT_EQ(Indices(*view->GetPattern()), Indices(original));
  EXPECT_EQ(view->GetColorSet()->GetCount(), 5);
  CString path;
  view->GetPaletteFilePath(path);
  EXPECT_EQ(path, CString("/p/five.pal"));
}

TEST_P(ChangePaletteTest, OriginalImageModeRematchesAndOkKeepsIt) {
  qmtest::LanguagePack pack(russian);
  CViewFrame frame;
  Prepare(frame);
  CTabView* view = frame.View();
  CBeadEdit edit(0, *view->GetPattern());
  edit.newColor = 1;
  view->GetHistory().PushEdit(edit);
  CChangePaletteDlg dialog(view->GetPattern(), view->GetColorSet(), nullptr);
  qmtest::SetModalHook([&](HWND dlg) {
    ASSERT_TRUE(dialog.LoadNewPalette(newFile.c_str()));
    dialog.OnApply();
    QmClickButton(GetDlgItem(dlg, IDOK));
  });
  EXPECT_EQ(dialog.DoModal(), IDOK);
  EXPECT_EQ(view->GetColorSet()->GetCount(), 9);
  for (const CBead& b : view->GetPattern()->m_beads)
    if (b.m_colorIndex != -1) EXPECT_LT(b.m_colorIndex, 9);
  // The history held indices of the old palette: emptied.
  EXPECT_FALSE(view->CanUndo());
}

INSTANTIATE_TEST_SUITE_P(Packs, ChangePaletteTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "Russian" : "English"; });
