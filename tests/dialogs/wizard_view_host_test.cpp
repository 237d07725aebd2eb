// The build step into a real design view: for every picture format the
// wizard offers to save pastes in, and JPEG and GIF besides, the design and
// the original picture the view ends with are those of loading the picture
// into the view and then building from it.
#include <gtest/gtest.h>

#include "design/Pattern.h"
#include "dialogs/WizardBuild.h"
#include "dialogs/WizardData.h"
#include "dialogs/WizardViewHost.h"
#include "image/ImageView.h"
#include "platform/wnd.h"
#include "tests/common/test_util.h"
#include "tests/dialogs/wizard_fixture.h"
#include "tests/dialogs/wizard_view_only_host.h"
#include "view/TabView.h"

using namespace wiztest;
namespace fs = std::filesystem;

namespace {

CTabView* MakeView(CFrameWnd* frame, int id) {
  auto* view = static_cast<CTabView*>(RUNTIME_CLASS(CTabView)->CreateObject());
  EXPECT_TRUE(view->Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 600, 480), frame, id, nullptr));
  view->OnInitialUpdate();
  return view;
}

}  // namespace

TEST(WizardViewHost, TheViewEndsAsLoadingThePictureAndBuildingWouldLeaveIt) {
  qmtest::LanguagePack pack(false);
  CMessageLog messages;
  auto* frame = new CFrameWnd();
  ASSERT_TRUE(frame->Create(nullptr, "Wizard", WS_OVERLAPPEDWINDOW, CRect(0, 0, 1300, 520)));
  CTabView* built = MakeView(frame, AFX_IDW_PANE_FIRST);
  CTabView* loaded = MakeView(frame, AFX_IDW_PANE_FIRST + 1);
  frame->ShowWindow(SW_SHOW);
  const fs::path dir = qmtest::MakeTempDir("wizviewhost");
  const CColorSet palette = MakePalette(12);
  for (const char* name : {"flower.jpg", "flower.png", "flower.bmp", "flower.gif"}) {
    SCOPED_TRACE(name);
    const fs::path path = SavePicture(dir / name, 90, 60);
    CWizardData record;
    record.m_projectType = kProjectFromPicture;
    record.m_picturePath = path.c_str();
    record.m_palettePath = "/palettes/delica.pal";
    record.m_params.m_width = 3;
    record.m_params.m_height = 2;
    record.m_params.m_beadWidth = 0.1;
    record.m_params.m_beadHeight = 0.08;
    record.m_params.m_format = 1;
    CViewOnlyHost host(*built, nullptr);
    bool finish = false;
    ASSERT_TRUE(BuildWizardDesign(host, record, palette, "Flower", [&](bool on) { finish = on; }));
    EXPECT_TRUE(finish);

    ASSERT_TRUE(loaded->LoadOriginalImage(path.c_str()));
    loaded->SetColorSet(palette, record.m_palettePath);
    ASSERT_TRUE(loaded->BuildDesign(record.m_params));
    EXPECT_TRUE(SameBeads(*built->GetPattern(), *loaded->GetPattern()));

    const CImageView* mine = built->GetOriginalView();
    const CImageView* theirs = loaded->GetOriginalView();
    ASSERT_NE(mine, nullptr);
    ASSERT_NE(theirs, nullptr);
    EXPECT_TRUE(SamePixels(*mine, *theirs));
    EXPECT_EQ(mine->IsFitToWindow(), theirs->IsFitToWindow());
    EXPECT_EQ(mine->GetType(), theirs->GetType());
    EXPECT_EQ(mine->GetFileName(), theirs->GetFileName());
    EXPECT_EQ(built->GetOriginalPath(), loaded->GetOriginalPath());
    // The design is shown fitted, as a new design without history or file.
    EXPECT_TRUE(built->IsPatternFitToWindow());
    EXPECT_TRUE(built->GetEditHistory().empty());
    EXPECT_EQ(built->GetPattern()->m_beadEffect, 2u);
    EXPECT_EQ(built->GetPattern()->m_title, CString("Flower"));
    CString palettePath;
    built->GetPaletteFilePath(palettePath);
    EXPECT_EQ(palettePath, record.m_palettePath);
  }
  EXPECT_TRUE(messages.texts.empty());
  frame->DestroyWindow();
}
