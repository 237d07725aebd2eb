// The status bar, toolbar, owner-drawn menus, progress displays and the
// splash.
#include <QImage>

#include "app/AboutDlg.h"
#include "controls/AccelTable.h"
#include "app/FrameProgress.h"
#include "lang/ids/shell.h"
#include "tests/app/app_fixture.h"

using namespace apptest;

TEST(StatusLine, RunsOfPlainAndColouredText) {
  const struct {
    const char* text;
    std::vector<std::string> runs;
    int colored;  // index of the coloured run, -1 none
    COLORREF color;
  } cases[] = {
      {"plain", {"plain"}, -1, 0},
      {"before\nafter", {"before"}, -1, 0},
      {" Bead's info: column 3, row 4, color \n100 100 100\tRuby\n, summary color's number 7",
       {" Bead's info: column 3, row 4, color ", "Ruby", ", summary color's number 7"}, 1, RGB(100, 100, 100)},
      {"a\nx 1 2\tRuby\nb", {"a", "b"}, -1, 0},
      {"a\n1 2 3\nb", {"a", "b"}, -1, 0},
      {"a\n\tRuby\nb", {"a", "b"}, -1, 0},
      {"a\n300 256 -1\tRuby\nb", {"a", "Ruby", "b"}, 1, RGB(44, 0, 255)},
  };
  for (const auto& c : cases) {
    const std::vector<StatusSegment> runs = SplitStatusLine(c.text);
    ASSERT_EQ(runs.size(), c.runs.size()) << c.text;
    for (size_t i = 0; i < runs.size(); ++i) {
      EXPECT_EQ(runs[i].text.str(), c.runs[i]) << c.text;
      EXPECT_EQ(runs[i].colored, static_cast<int>(i) == c.colored) << c.text;
      if (runs[i].colored) {
        EXPECT_EQ(runs[i].color, c.color);
      }
    }
  }
}

TEST(StatusLine, AlertTexts) {
  EXPECT_EQ(MakeStatusAlertText(0, "Stop").str(), std::string("\t\x01Stop"));
  EXPECT_EQ(MakeStatusAlertText(1, "Done").str(), std::string("\t\x02" "Done"));
  EXPECT_TRUE(MakeStatusAlertText(5, "x").IsEmpty());
  EXPECT_EQ(MakeStatusAlertText(0, std::string(400, 'a').c_str()).GetLength(), 257);
  int kind = 0;
  CString message;
  EXPECT_TRUE(ParseStatusAlert(MakeStatusAlertText(0, "Stop"), kind, message));
  EXPECT_EQ(kind, 1);
  EXPECT_EQ(message.str(), "Stop");
  EXPECT_FALSE(ParseStatusAlert(CString("\t\x03" "abc"), kind, message));
  EXPECT_FALSE(ParseStatusAlert(CString("\t\x01"), kind, message));
  EXPECT_FALSE(ParseStatusAlert(CString("x\x01" "abc"), kind, message));
}

class Bars : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    StoreAcceptedSettings();
    ASSERT_TRUE(Start());
  }
  QImage BarPicture() { return QmRenderWindow(Frame()->GetAppStatusBar().m_hWnd, false); }
};

TEST_F(Bars, AnAlertIsHeldForTwoWholeSeconds) {
  time_t now = 1000;
  CAppStatusBar::SetClock([&] { return now; });
  CAppStatusBar& bar = Frame()->GetAppStatusBar();
  bar.SetWindowText(MakeStatusAlertText(0, "Wrong place"));
  BarPicture();
  EXPECT_TRUE(bar.IsAlertHeld());
  ASSERT_NE(bar.GetAlertTimer(), 0u);
  // Another text during the hold is not drawn; the alert stays.
  bar.SetWindowText("Ready");
  const QImage held = BarPicture();
  now = 1001;
  bar.SendMessage(WM_TIMER, bar.GetAlertTimer());
  EXPECT_TRUE(bar.IsAlertHeld());
  now = 1002;
  bar.SendMessage(WM_TIMER, bar.GetAlertTimer());
  EXPECT_FALSE(bar.IsAlertHeld());
  EXPECT_EQ(bar.GetAlertTimer(), 0u);
  // Red pixels of the held alert exist.
  bool red = false;
  for (int y = 0; y < held.height() && !red; ++y)
    for (int x = 0; x < held.width() / 2 && !red; ++x) {
      const QRgb p = held.pixel(x, y);
      red = qRed(p) > 200 && qGreen(p) < 60 && qBlue(p) < 60;
    }
  EXPECT_TRUE(red);
  CAppStatusBar::SetClock(nullptr);
}

TEST_F(Bars, TheContextMenuShowsAndTogglesOneOption) {
  CAppSettings& s = app->GetSettings();
  s.m_designInfoShown = 1;
  s.m_paletteInfoShown = 0;
  std::vector<UINT> checked;
  QmSetPopupMenuHook([&](HMENU menu, int, int, HWND) -> UINT {
    for (int i = 0; i < GetMenuItemCount(menu); ++i)
      if (GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_CHECKED) checked.push_back(GetMenuItemID(menu, i));
    return ID_STATUS_PALETTE_INFO;
  });
  CAppStatusBar& bar = Frame()->GetAppStatusBar();
  bar.SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(bar.m_hWnd), MAKELPARAM(100, 500));
  QmPumpMessages();
  EXPECT_EQ(checked, (std::vector<UINT>{ID_STATUS_BEAD_COLOR, ID_STATUS_DESIGN_INFO}));
  EXPECT_EQ(s.m_paletteInfoShown, 1);
  EXPECT_EQ(s.m_designInfoShown, 1);
  EXPECT_EQ(s.m_beadRealColorShown, 1);
}

TEST_F(Bars, TheZoomTextKeepsLeadingDigitsAndSaturates) {
  CAppToolbar& bar = Frame()->GetToolbar();
  const struct {
    const char* in;
    bool ok;
    const char* out;
  } cases[] = {{"150%", true, "150%"}, {"150abc", true, "150%"}, {"4", false, "4"}, {"3001", false, "3001"},
               {"abc", false, "abc"},   {"5", true, "5%"},        {"3000", true, "3000%"},
               {"99999999999999999999999999", false, "99999999999999999999999999"}};
  for (const auto& c : cases) {
    CString text = c.in;
    int value = 0;
    EXPECT_EQ(bar.ParseZoomText(text, value), c.ok) << c.in;
    EXPECT_EQ(text.str(), c.out) << c.in;
  }
  bar.SetZoomText(250);
  CString shown;
  bar.GetZoomCombo()->GetWindowText(shown);
  EXPECT_EQ(shown.str(), "250%");
}

TEST_F(Bars, MenuItemsPerState) {
  CMSOfficeMenu& menu = Frame()->GetMainMenu();
  // Titled separators and the icons of the toolbars.
  bool titled = false;
  for (const auto& sub : menu.GetSubMenus())
    for (const auto& item : sub->GetItems())
      if ((item->flags & MF_SEPARATOR) && item->text.Find("Bars") >= 0) titled = true;
  EXPECT_TRUE(titled);
  ASSERT_NE(menu.FindItem(ID_FILE_OPEN_DESIGN), nullptr);
  EXPECT_EQ(menu.FindItem(ID_FILE_OPEN_DESIGN)->toolbar, IDR_MAINFRAME);
  EXPECT_EQ(menu.FindItem(ID_FILE_OPEN_DESIGN)->image, 1);
  EXPECT_EQ(menu.FindItem(ID_FILE_EXIT)->toolbar, IDR_MENU_ICONS);
  EXPECT_EQ(menu.FindItem(ID_VIEW_SHOW_GRID)->toolbar, -1);
  // Drawing each drop-down in each state reaches the menu's own drawing.
  CMenu* file = menu.GetSubMenu(0);
  ASSERT_NE(file, nullptr);
  const QImage normal = QmRenderPopupMenu(file->m_hMenu, Frame()->m_hWnd, 1);
  EXPECT_GT(normal.width(), 100);
  // The band on the left is the gradient from near white to grey.
  const QRgb band = normal.pixel(20, normal.height() - 3);
  EXPECT_GT(qBlue(band), qRed(band));
}

// Grey items show the embossed ink of their toolbar picture, never a
// filled grey square.
TEST_F(Bars, DisabledIconsShowOnlyTheirInk) {
  CMenu* file = Frame()->GetMainMenu().GetSubMenu(0);
  ASSERT_NE(file, nullptr);
  for (UINT i = 0; i < file->GetMenuItemCount(); ++i)
    file->EnableMenuItem(i, MF_BYPOSITION | MF_GRAYED);
  const QImage menu = QmRenderPopupMenu(file->m_hMenu, Frame()->m_hWnd, -1);
  ASSERT_GT(menu.height(), 100);
  const QRgb shadow = qRgb(128, 128, 128);
  int shadowPixels = 0, solidRows = 0;
  for (int y = 0; y < menu.height(); ++y) {
    int inRow = 0;
    for (int x = 2; x < 18; ++x)
      if ((menu.pixel(x, y) | 0xFF000000u) == shadow) ++inRow;
    shadowPixels += inRow;
    if (inRow == 16) ++solidRows;
  }
  EXPECT_GT(shadowPixels, 20);  // the ink is there
  EXPECT_LT(solidRows, 3);      // but no square of shadow
}

TEST(ShortcutLabels, StayTheSameHoweverOftenApplied) {
  EXPECT_EQ(CMSOfficeMenu::StripShortcutText("\tCtrl+S").str(), "\tCtrl+S");
  EXPECT_EQ(CMSOfficeMenu::StripShortcutText("Save   \tCtrl+S").str(), "Save");
  EXPECT_EQ(CMSOfficeMenu::StripShortcutText("Save").str(), "Save");
}

TEST_F(Bars, ApplyingShortcutLabelsTwiceGivesTheSameLabels) {
  CAccelTable keys;
  keys.SetKey({CAccelTable::kCtrl, 0, 'S', ID_FILE_SAVE_DESIGN});
  CMSOfficeMenu& menu = Frame()->GetMainMenu();
  menu.ApplyShortcutLabels(keys);
  const CString once = menu.FindItem(ID_FILE_SAVE_DESIGN)->text;
  const CString other = menu.FindItem(ID_FILE_OPEN_DESIGN)->text;
  menu.ApplyShortcutLabels(keys);
  EXPECT_EQ(menu.FindItem(ID_FILE_SAVE_DESIGN)->text, once);
  EXPECT_EQ(menu.FindItem(ID_FILE_OPEN_DESIGN)->text, other);
  EXPECT_NE(once.Find("\tCtrl+S"), -1);
  keys.Clear();
  menu.ApplyShortcutLabels(keys);
  EXPECT_EQ(menu.FindItem(ID_FILE_SAVE_DESIGN)->text.Find('\t'), -1);
}

TEST(Progress, ScalingOfTotals) {
  const struct {
    int total;
    bool active;
    int shift;
    int range;
  } cases[] = {{1, false, 0, 0}, {2, true, 0, 2}, {1000, true, 0, 1000}, {1024, true, 4, 64}, {20000, true, 8, 78}};
  for (const auto& c : cases) {
    CStatusProgress p(nullptr, c.total, "", true);
    EXPECT_EQ(p.IsActive(), c.active) << c.total;
    if (!c.active) continue;
    EXPECT_EQ(p.GetShift(), c.shift) << c.total;
    EXPECT_EQ(p.GetTotal(), c.range) << c.total;
  }
  CStatusProgress inactive(nullptr, 1, "", true);
  inactive.SetPos(5);
  EXPECT_EQ(inactive.GetPos(), 0);
}

TEST_F(Bars, BeginReplacesARunningProgressAndSetPosWithoutOneDoesNothing) {
  CMainFrame* f = Frame();
  f->SetPos(10);
  EXPECT_EQ(f->GetRunningProgress(), nullptr);
  f->Begin(100, "First");
  CStatusProgress* first = f->GetRunningProgress();
  ASSERT_NE(first, nullptr);
  EXPECT_NE(f->GetAppStatusBar().GetDlgItem(7), nullptr);
  EXPECT_NE(f->GetAppStatusBar().GetDlgItem(8), nullptr);
  f->Begin(50, "Second");
  ASSERT_NE(f->GetRunningProgress(), nullptr);
  f->SetPos(25);
  EXPECT_EQ(f->GetRunningProgress()->GetPos(), 25);
  f->End();
  EXPECT_EQ(f->GetRunningProgress(), nullptr);
  EXPECT_EQ(f->GetAppStatusBar().GetDlgItem(7), nullptr);
}

TEST_F(Bars, TheGradientBarUncoversItsBands) {
  CGradientProgressCtrl bar;
  ASSERT_TRUE(bar.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 200, 20), &Frame()->GetAppStatusBar(), 7));
  auto paint = [&]() {
    QImage img(200, 20, QImage::Format_RGB32);
    CClientDC screen(nullptr);
    CDC dc;
    dc.CreateCompatibleDC(&screen);
    CBitmap bitmap;
    bitmap.CreateCompatibleBitmap(&screen, 200, 20);
    CBitmap* old = dc.SelectObject(&bitmap);
    bar.PaintBar(&dc, CRect(0, 0, 200, 20));
    std::vector<COLORREF> row;
    for (int x = 0; x < 200; ++x) row.push_back(dc.GetPixel(x, 10));
    dc.SelectObject(old);
    return row;
  };
  bar.SetRange(0, 100);
  bar.SetPos(50);
  std::vector<COLORREF> row = paint();
  EXPECT_EQ(row[0], RGB(0, 0, 96));
  EXPECT_EQ(row[198], ::GetSysColor(COLOR_BTNFACE));
  int blue = 0;
  for (COLORREF c : row)
    if (GetRValue(c) == 0 && GetGValue(c) == 0 && GetBValue(c) >= 96) ++blue;
  EXPECT_NEAR(blue, 100, 3);
  bar.SetPos(100);
  row = paint();
  for (COLORREF c : row) EXPECT_EQ(c, ::GetSysColor(COLOR_BTNFACE));
  bar.SetStartColor(RGB(9, 9, 9));
  bar.SetEndColor(RGB(9, 9, 9));
  bar.SetPos(50);
  row = paint();
  for (COLORREF c : row) EXPECT_EQ(c, RGB(255, 255, 255));
}

TEST(Splash, AlphaStepsAndCloseAtTickForty) {
  BYTE alpha = 255;
  std::vector<int> seen;
  bool close = false;
  int tick = 0;
  while (!close) {
    ++tick;
    alpha = CAboutDlg::NextAlpha(alpha, tick, close);
    if (!close) seen.push_back(alpha);
  }
  EXPECT_EQ(tick, 40);
  ASSERT_GE(seen.size(), 20u);
  EXPECT_EQ(std::vector<int>(seen.begin(), seen.begin() + 5), (std::vector<int>{250, 245, 240, 235, 231}));
  EXPECT_EQ(seen[8], 215);
  EXPECT_EQ(seen[9], 212);
  EXPECT_EQ(seen[13], 200);
  EXPECT_EQ(seen[14], 198);
  EXPECT_EQ(seen[18], 190);
  EXPECT_EQ(seen.back(), 190);
}

TEST_F(Bars, TheSplashFadesAndClosesItself) {
  CAboutDlg* splash = CAboutDlg::GetLiveSplash();
  ASSERT_NE(splash, nullptr);
  EXPECT_TRUE(splash->IsSplash());
  // The real timer may have ticked already while the window came up.
  while (splash->GetTicks() < CAboutDlg::kLastTick - 1) splash->SendMessage(WM_TIMER, CAboutDlg::kFadeTimer);
  EXPECT_EQ(splash->GetAlpha(), 190);
  const HWND window = splash->m_hWnd;
  ::SendMessage(window, WM_TIMER, CAboutDlg::kFadeTimer, 0);  // the splash deletes itself
  QmPumpMessages();
  EXPECT_FALSE(::IsWindow(window));
  EXPECT_EQ(CAboutDlg::GetLiveSplash(), nullptr);
  // It left the about picture for the about box.
  EXPECT_NE(app->GetAboutPicture(), nullptr);
}
