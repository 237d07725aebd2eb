// The live windows in both languages, filled as a user sees them: checked
// for cut or overlapping texts and pictured into build/shots/<en|ru>.
#include "core/FrameServices.h"
#include "core/Registry.h"
#include "dialogs/ChangeColorDlg.h"
#include "dialogs/DesignBySampleDlg.h"
#include "dialogs/InterestingColorsDlg.h"
#include "dialogs/PatternPreviewDlg.h"
#include "dialogs/ReduceColorsDlg.h"
#include "dialogs/SeparatedBeadsDlg.h"
#include "platform/wnd/host.h"
#include "tests/dialogs/tooldlg2_fixture.h"
#include "tools/dialogshots/DialogShots.h"
#include "tests/common/modal_hook.h"

using namespace tool2test;

namespace {

void Check(HWND window, bool russian, const std::string& name) {
  for (const DialogLayoutProblem& p : CheckDialogLayout(window))
    ADD_FAILURE() << (russian ? "ru " : "en ") << name << ": " << DescribeProblem(p);
  EXPECT_TRUE(SaveDialogShot(window, ShotPath(russian, name + ".png")));
}

}  // namespace

TEST_F(Tool2DialogTest, LiveWindowsFitTheirTextsInBothLanguages) {
  for (bool russian : {false, true}) {
    SetRussianInterface(russian);
    pack.reset();
    pack = std::make_unique<qmtest::LanguagePack>(russian);
    PutRows({"0000000", "0100020", "0000000", "0030000", "0000110", "0000000"});
    for (bool small : {false, true}) {
      SetSmallScreen(small);
      auto* separated = CDeleteSepStitchDlg::Open(view, frame);
      ASSERT_NE(separated, nullptr);
      separated->ChooseSize(1);
      separated->ChooseRow(0);
      QmPumpMessages(50);
      Check(separated->GetSafeHwnd(), russian, small ? "tooldlg2_separated_compact" : "tooldlg2_separated");
      separated->SendMessage(WM_COMMAND, IDCANCEL);
      QmPumpMessages(20);
      qmtest::SetModalHook([&](HWND h) {
        Check(h, russian, small ? "tooldlg2_use_only_compact" : "tooldlg2_use_only");
        QmClickButton(::GetDlgItem(h, IDCANCEL));
      });
      CReduceColorsNumberDlg::Run(view, frame);
    }
    SetSmallScreen(false);
    auto* interesting = CDisplayOnlyColorsDialog::Open(view, frame);
    ASSERT_NE(interesting, nullptr);
    interesting->GetList().SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
    interesting->Refresh();
    QmPumpMessages(50);
    Check(interesting->GetSafeHwnd(), russian, "tooldlg2_interesting");
    EXPECT_TRUE(::SaveDialogShot(frame->GetSafeHwnd(), ShotPath(russian, "tooldlg2_interesting_view.png")));
    interesting->SendMessage(WM_COMMAND, IDCANCEL);
    QmPumpMessages(20);
    {
      CDesignBySampleDlg sample(view, frame);
      qmtest::SetModalHook([&](HWND h) {
        Check(h, russian, "tooldlg2_sample");
        QmClickButton(::GetDlgItem(h, IDCANCEL));
      });
      sample.DoModal();
    }
    {
      const std::vector<UINT> piece{UINT(view->GetPattern()->GetBeadIndex(1, 1))};
      CChangeColorDlg variants(view, piece, CellPoint(1, 1), frame);
      qmtest::SetModalHook([&](HWND h) {
        Check(h, russian, "tooldlg2_variants");
        QmClickButton(::GetDlgItem(h, IDCANCEL));
      });
      variants.DoModal();
    }
    qmtest::SetModalHook(nullptr);
    auto* preview = CCurrentPatternViewDlg::Open(view);
    ASSERT_NE(preview, nullptr);
    QmPumpMessages(50);
    EXPECT_TRUE(SaveDialogShot(preview->GetSafeHwnd(), ShotPath(russian, "tooldlg2_preview.png")));
    CCurrentPatternViewDlg::CloseAll();
    QmPumpMessages(20);
  }
  SetRussianInterface(false);
  pack.reset();
  pack = std::make_unique<qmtest::LanguagePack>(false);
}
