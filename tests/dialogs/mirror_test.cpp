// The mirror dialog posts its owner the flags of every choice, and on
// Cancel the flags it was opened with (only when they changed); run from
// the design view, OK keeps the flipped design as one history step and
// Cancel gives the design back.
#include <gtest/gtest.h>

#include "dialogs/MirrorDlg.h"
#include "lang/ids/tooldlg.h"
#include "tests/dialogs/tooldlg_fixture.h"
#include "tools/dialogshots/DialogShots.h"
#include "tests/common/modal_hook.h"

using namespace tooltest;

namespace {

// A window that records the registered message's posts.
class CPostRecorder : public CWnd {
 public:
  explicit CPostRecorder(UINT message) : message_(message) {
    CreateEx(0, AfxRegisterWndClass(0), "owner", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr);
  }
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == message_) posts.emplace_back(static_cast<int>(wParam), static_cast<int>(lParam));
    return CWnd::WindowProc(message, wParam, lParam);
  }
  std::vector<std::pair<int, int>> posts;

 private:
  UINT message_;
};

// Runs the dialog with the hook working it, then the posted messages.
std::vector<std::pair<int, int>> RunMirror(bool h, bool v, const std::vector<int>& clicks, int end,
                                           int* answer = nullptr) {
  const UINT message = RegisterWindowMessage("MirrorDialogTest");
  CPostRecorder owner(message);
  qmtest::SetModalHook([&](HWND dialog) {
    for (int id : clicks) ::SendMessage(dialog, WM_COMMAND, static_cast<WPARAM>(id), 0);
    ::SendMessage(dialog, WM_COMMAND, static_cast<WPARAM>(end), 0);
  });
  CMirrorDlg dialog(h, v, &owner, message);
  const INT_PTR result = dialog.DoModal();
  if (answer) *answer = static_cast<int>(result);
  qmtest::SetModalHook(nullptr);
  QmPumpMessages(50);
  std::vector<std::pair<int, int>> posts = owner.posts;
  owner.DestroyWindow();
  return posts;
}

using Posts = std::vector<std::pair<int, int>>;

}  // namespace

TEST(MirrorDialog, PostsTheFlagsOfEachChoiceAndTheOpeningFlagsOnCancelAfterAChange) {
  qmtest::LanguagePack pack(false);
  int answer = 0;
  EXPECT_EQ(RunMirror(false, false, {IDC_MIRROR_LEFT_RIGHT, IDC_MIRROR_BOTH}, IDOK, &answer), (Posts{{1, 0}, {1, 1}}));
  EXPECT_EQ(answer, IDOK);
  EXPECT_EQ(RunMirror(false, false, {IDC_MIRROR_TOP_BOTTOM, IDC_MIRROR_TOP_BOTTOM}, IDOK), (Posts{{0, 1}, {0, 1}}));
  EXPECT_EQ(RunMirror(false, false, {IDC_MIRROR_BOTH}, IDCANCEL, &answer), (Posts{{1, 1}, {0, 0}}));
  EXPECT_EQ(answer, IDCANCEL);
  EXPECT_EQ(RunMirror(false, false, {}, IDCANCEL), Posts{});
  // Back to the opening choice before Cancel: nothing more to undo.
  EXPECT_EQ(RunMirror(true, false, {IDC_MIRROR_NORMAL, IDC_MIRROR_LEFT_RIGHT}, IDCANCEL), (Posts{{0, 0}, {1, 0}}));
  EXPECT_EQ(RunMirror(true, true, {IDC_MIRROR_NORMAL}, IDCANCEL), (Posts{{0, 0}, {1, 1}}));
}

TEST(MirrorDialog, TheRadioOfTheOpeningFlagsIsChecked) {
  qmtest::LanguagePack pack(false);
  for (int radio : {IDC_MIRROR_NORMAL, IDC_MIRROR_LEFT_RIGHT, IDC_MIRROR_TOP_BOTTOM, IDC_MIRROR_BOTH}) {
    bool h = false, v = false;
    ASSERT_TRUE(CMirrorDlg::FlagsOfRadio(radio, h, v));
    int checked = 0;
    qmtest::SetModalHook([&](HWND dialog) {
      for (int id = IDC_MIRROR_NORMAL; id <= IDC_MIRROR_BOTH; ++id)
        if (::IsDlgButtonChecked(dialog, id)) checked = id;
      ::SendMessage(dialog, WM_COMMAND, IDOK, 0);
    });
    CMirrorDlg dialog(h, v, nullptr, 0);
    dialog.DoModal();
    EXPECT_EQ(checked, radio);
  }
  qmtest::SetModalHook(nullptr);
}

class MirrorViewTest : public ToolDialogTest {};

TEST_F(MirrorViewTest, OkKeepsTheFlipAsOneStepAndCancelGivesTheDesignBack) {
  SetViewDialogFactories(CViewDialogFactories{&RunMirrorDialog, nullptr, nullptr});
  CPattern d = MakeDesign(3, 2, 1);
  d.SetBeadColor(0, 0, 0, true);
  PutDesign(d, {RGB(200, 40, 40), RGB(40, 200, 40)});
  const CPattern opened(Design());
  for (bool russian : {false, true}) {
    UseLanguage(russian);
    qmtest::SetModalHook([&](HWND dialog) {
      ::SendMessage(dialog, WM_COMMAND, IDC_MIRROR_BOTH, 0);
      QmPumpMessages(50);
      EXPECT_EQ(At(2, 1), 0);  // the view shows the flip while the dialog is open
      for (const auto& problem : CheckDialogLayout(dialog)) ADD_FAILURE() << DescribeProblem(problem);
      EXPECT_TRUE(SaveDialogShot(dialog, DefaultShotsDir(russian) + "/tooldlg_mirror_live.png"));
      ::SendMessage(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    view->OnMirror();
    QmPumpMessages(50);
    EXPECT_TRUE(SameBeads(Design(), opened));
    EXPECT_TRUE(view->GetEditHistory().empty());
  }
  qmtest::SetModalHook([&](HWND dialog) {
    ::SendMessage(dialog, WM_COMMAND, IDC_MIRROR_LEFT_RIGHT, 0);
    QmPumpMessages(50);
    ::SendMessage(dialog, WM_COMMAND, IDOK, 0);
  });
  view->OnMirror();
  QmPumpMessages(50);
  EXPECT_EQ(At(2, 0), 0);
  EXPECT_EQ(At(0, 0), 1);
  ASSERT_EQ(view->GetEditHistory().size(), 1u);
  view->Undo();
  EXPECT_TRUE(SameBeads(Design(), opened));
  SetViewDialogFactories({});
}
