// The gallery of bars, menus, sheets and common dialogs, in English and
// Russian: pictures under <build>/shots/platform/<language> to look at.
#include "tests/platform/wnd_bars_fixture.h"

using namespace barstest;

namespace {

class BarsGallery : public BarsTest, public ::testing::WithParamInterface<bool> {
 protected:
  void SetUp() override {
    BarsTest::SetUp();
    UseLanguage(GetParam());
  }
  bool Russian() const { return GetParam(); }
};

}  // namespace

TEST_P(BarsGallery, FrameWithToolbarAndStatusBar) {
  // A new frame in the language of the test.
  app->m_pMainWnd->DestroyWindow();
  QmPumpMessages();
  ASSERT_TRUE(app->InitInstance());
  CBarsFrame* f = app->Frame();
  f->SetMessageText(Russian() ? "\xC3\xEE\xF2\xEE\xE2\xEE" : "Ready");
  f->m_gridChecked = TRUE;
  QmRunIdle();
  CRect r;
  f->m_toolbar.GetItemRect(3, &r);
  QmSendMouse(f->m_toolbar.m_hWnd, WM_MOUSEMOVE, r.CenterPoint());
  QmPumpMessages();
  const QImage img = Picture(f->m_hWnd);
  ASSERT_FALSE(img.isNull());
  EXPECT_TRUE(img.save(QString::fromStdString(ShotPath(Russian(), "bars_frame.png").string())));
}

INSTANTIATE_TEST_SUITE_P(Languages, BarsGallery, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& i) { return i.param ? "Russian" : "English"; });
