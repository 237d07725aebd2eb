// Every dialog template of both language packs is pictured (build/shots/<en|
// ru>/dialog_<id>.png) and no control's text is cut off or overlaps another.
#include <gtest/gtest.h>

#include "platform/base/resource.h"
#include "platform/wnd.h"
#include "tests/common/test_util.h"
#include "tools/dialogshots/DialogShots.h"

TEST(DialogShots, EveryTemplateOfBothPacks) {
  for (bool russian : {false, true}) {
    const auto path = qmtest::BinDir() / (russian ? "Pellow_Ru.dll" : "Pellow_En.dll");
    HINSTANCE pack = LoadLibrary(path.string().c_str());
    ASSERT_NE(pack, nullptr) << path;
    const DialogShotResult result = ShootPackDialogs(pack, DefaultShotsDir(russian));
    EXPECT_GT(result.dialogs, 0);
    EXPECT_EQ(result.files.size(), static_cast<size_t>(result.dialogs));
    for (const DialogLayoutProblem& p : result.problems) ADD_FAILURE() << (russian ? "ru " : "en ") << DescribeProblem(p);
    FreeLibrary(pack);
  }
}

namespace {
HWND MakeChild(HWND parent, const char* cls, const char* text, DWORD style, RECT r, int id) {
  return CreateWindowEx(0, cls, text, WS_CHILD | WS_VISIBLE | style, r.left, r.top, r.right - r.left,
                        r.bottom - r.top, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
}
}  // namespace

TEST(DialogShots, FindsCutTextOverlapsAndStrays) {
  CWnd dialog;
  ASSERT_TRUE(dialog.CreateEx(0, AfxRegisterWndClass(0), "Probe", WS_POPUP | WS_CAPTION, 0, 0, 400, 200, nullptr,
                              nullptr));
  const HWND d = dialog.GetSafeHwnd();
  MakeChild(d, "Button", "OK", BS_PUSHBUTTON, RECT{10, 10, 80, 34}, 1);
  MakeChild(d, "Static", "Fits well", SS_LEFT, RECT{10, 40, 200, 56}, 2);
  EXPECT_TRUE(CheckDialogLayout(d).empty());
  MakeChild(d, "Button", "A much too long caption", BS_PUSHBUTTON, RECT{100, 10, 140, 34}, 3);
  MakeChild(d, "Button", "Check me please", BS_AUTOCHECKBOX, RECT{10, 60, 60, 76}, 4);
  MakeChild(d, "Static", "Over", SS_LEFT, RECT{150, 40, 190, 56}, 5);       // on top of control 2
  MakeChild(d, "Edit", "", WS_BORDER, RECT{350, 150, 450, 170}, 6);           // past the right edge
  MakeChild(d, "Button", "Group", BS_GROUPBOX, RECT{5, 5, 300, 100}, 7);  // group boxes may hold others
  const auto problems = CheckDialogLayout(d);
  std::vector<int> cut, overlap, outside;
  for (const auto& p : problems) {
    if (p.what.rfind("text cut off", 0) == 0) cut.push_back(p.control);
    if (p.what.rfind("overlaps", 0) == 0) overlap.push_back(p.control);
    if (p.what == "outside the dialog") outside.push_back(p.control);
  }
  EXPECT_EQ(cut, (std::vector<int>{3, 4}));
  EXPECT_EQ(overlap, (std::vector<int>{2}));
  EXPECT_EQ(outside, (std::vector<int>{6}));
  dialog.DestroyWindow();
}
