// Pictures of the main window's parts in both languages, to look at:
// build/shots/<en|ru>/shell_*.png. Each picture is also checked for the
// basics (drawn, not empty).
#include <QImage>

#include <filesystem>
#include <map>
#include <string>

#include "app/AboutDlg.h"
#include "app/RecentFileDlg.h"
#include "app/prefs/PropContainerDlg.h"
#include "app/prefs/PropDlg.h"
#include "controls/RecentFiles.h"
#include "image/Image.h"
#include "lang/ids/shell.h"
#include "platform/base/codepage.h"
#include "tests/app/app_fixture.h"

using namespace apptest;
namespace fs = std::filesystem;

namespace {

fs::path ShotPath(bool russian, const std::string& name) {
  const fs::path dir = qmtest::SourceDir() / "build" / "shots" / (russian ? "ru" : "en");
  fs::create_directories(dir);
  return dir / ("shell_" + name + ".png");
}

// Several colours: the picture shows something.
bool HasContent(const QImage& image) {
  if (image.isNull()) return false;
  const QRgb first = image.pixel(0, 0);
  for (int y = 0; y < image.height(); y += 3)
    for (int x = 0; x < image.width(); x += 3)
      if (image.pixel(x, y) != first) return true;
  return false;
}

class Shots : public AppTest, public ::testing::WithParamInterface<bool> {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    StoreLanguage(GetParam());
    StoreAcceptedSettings();
    ASSERT_TRUE(Start());
    if (CAboutDlg* splash = CAboutDlg::GetLiveSplash()) splash->DestroyWindow();
    QmPumpMessages();
  }
  void Save(const QImage& image, const std::string& name) {
    EXPECT_TRUE(HasContent(image)) << name;
    EXPECT_TRUE(image.save(QString::fromStdString(ShotPath(GetParam(), name).string())));
  }
};

}  // namespace

TEST_P(Shots, MainWindowBarsAndMenus) {
  GiveBeads(View(), false);
  bool ok = false;
  CImage picture(60, 40, ok, RGB(40, 120, 200));
  Frame()->GetRecentDesignList().AddFile(MakeFile("roses.qx").c_str(), picture, "Roses");
  Frame()->GetAppStatusBar().SetWindowText(
      GetParam() ? FromUtf8(" Бисеринка: столбец 3, ряд 4, цвет \n200 40 40\tРубин\n, всего цветов 7")
                 : CString(" Bead's info: column 3, row 4, color \n200 40 40\tRuby\n, summary color's number 7"));
  QmRunIdle();
  QmPumpMessages();
  Save(QmRenderWindow(Frame()->m_hWnd, true), "main_window");
  Save(QmRenderWindow(Frame()->GetToolbar().m_hWnd, false), "toolbar");
  // The zoom box's list is wide enough for its longest entry.
  CComboBox* zoom = Frame()->GetToolbar().GetZoomCombo();
  CString fit;
  zoom->GetLBText(zoom->GetCount() - 1, fit);
  {
    CClientDC dc(zoom);
    CFont* old = dc.SelectObject(zoom->GetFont());
    EXPECT_GT(zoom->GetDroppedWidth(), dc.GetTextExtent(fit).cx) << fit.GetString();
    dc.SelectObject(old);
  }
  Save(QmRenderWindow(Frame()->GetAppStatusBar().m_hWnd, false), "statusbar");
  CMSOfficeMenu& menu = Frame()->GetMainMenu();
  // Within each drop-down every access key is its own (one code page byte;
  // Latin and Cyrillic capitals folded).
  auto fold = [](unsigned char c) -> unsigned char {
    if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
    if (c >= 0xC0 && c <= 0xDF) return static_cast<unsigned char>(c + 32);
    return c;
  };
  for (const auto& sub : menu.GetSubMenus()) {
    std::map<unsigned char, std::string> keys;
    for (const auto& item : sub->GetItems()) {
      const std::string text = item->text.GetString();
      const size_t amp = text.find('&');
      if ((item->flags & MF_SEPARATOR) || amp == std::string::npos || amp + 1 >= text.size()) continue;
      const auto [at, fresh] = keys.emplace(fold(static_cast<unsigned char>(text[amp + 1])), text);
      EXPECT_TRUE(fresh) << text << " and " << at->second;
    }
  }
  for (UINT i = 0; i < menu.GetMenuItemCount(); ++i) {
    CMenu* sub = menu.GetSubMenu(static_cast<int>(i));
    ASSERT_NE(sub, nullptr);
    Save(QmRenderPopupMenu(sub->m_hMenu, Frame()->m_hWnd, 1), "menu128_" + std::to_string(i));
  }
  // The bead-effect pop-up (menu 148) as the toolbar shows it.
  QImage effects;
  QmSetPopupMenuHook([&](HMENU popup, int, int, HWND owner) -> UINT {
    effects = QmRenderPopupMenu(popup, owner, 0);
    return 0;
  });
  Frame()->SendMessage(WM_COMMAND, ID_BEAD_EFFECT);
  Save(effects, "menu148");
}

TEST_P(Shots, AboutBoxAndRecentDropDown) {
  QImage about;
  qmtest::SetModalHook([&](HWND dialog) {
    about = QmRenderWindow(dialog, true);
    ::SendMessage(dialog, WM_COMMAND, IDCANCEL, 0);
  });
  Frame()->SendMessage(WM_COMMAND, ID_HELP_ABOUT);
  Save(about, "about");
  bool ok = false;
  CImage picture(120, 80, ok, RGB(200, 80, 40));
  CRecentFiles& list = Frame()->GetRecentDesignList();
  list.AddFile(MakeFile("tulips.qx").c_str(), picture, nullptr);
  list.AddFile(MakeFile("roses.qx").c_str(), picture, GetParam() ? FromUtf8("Розы").GetString() : "Roses");
  QImage drop, dropClient;
  std::vector<CString> rows;
  int selected = -1;
  qmtest::SetModalHook([&](HWND dialog) {
    drop = QmRenderWindow(dialog, true);
    dropClient = QmRenderWindow(dialog, false);
    auto* dropDown = dynamic_cast<CRecentFileDlg*>(CWnd::FromHandlePermanent(dialog));
    if (dropDown) {
      for (int i = 0; i < dropDown->GetList().GetItemCount(); ++i) rows.push_back(dropDown->GetList().GetItemText(i, 0));
      selected = dropDown->GetList().GetNextItem(-1, LVNI_SELECTED);
    }
    ::SendMessage(dialog, WM_COMMAND, IDCANCEL, 0);
  });
  Frame()->RunOpenDropDown();
  Save(drop, "recent_designs");
  // The rows are the designs' titles (a design without one by its file's
  // title in angle brackets), the newest first, and the first is
  // selected: its thumbnail fills the right of the drop-down.
  const std::vector<CString> titles = {GetParam() ? FromUtf8("Розы") : CString("Roses"), CString("<tulips>")};
  EXPECT_EQ(rows, titles);
  EXPECT_EQ(selected, 0);
  ASSERT_FALSE(dropClient.isNull());
  int thumbnail = 0;
  for (int y = 0; y < dropClient.height(); ++y)
    for (int x = CRecentFileDlg::kListWidth; x < dropClient.width(); ++x)
      thumbnail += dropClient.pixel(x, y) == qRgb(200, 80, 40);
  EXPECT_GT(thumbnail, (CRecentFileDlg::kWidth - CRecentFileDlg::kListWidth) * 20);
  // The list shows the titles' letters (dark pixels on the list's face).
  int ink = 0;
  for (int y = 0; y < dropClient.height(); ++y)
    for (int x = 0; x < CRecentFileDlg::kListWidth && x < dropClient.width(); ++x)
      ink += qGray(dropClient.pixel(x, y)) < 100;
  EXPECT_GT(ink, 20);
}

// Each page of the preferences as the container shows it; a page lies in
// the container's client area beside the list and clear of its buttons.
TEST_P(Shots, PreferencesPages) {
  int shown = 0;
  qmtest::SetModalHook([&](HWND dialog) {
    auto* container = dynamic_cast<CPropContainerDlg*>(CWnd::FromHandle(dialog));
    ASSERT_NE(container, nullptr);
    CRect client;
    container->GetClientRect(&client);
    CRect list, apply, exit;
    container->GetList().GetWindowRect(&list);
    container->GetDlgItem(IDC_PREF_APPLY)->GetWindowRect(&apply);
    container->GetDlgItem(IDCANCEL)->GetWindowRect(&exit);
    for (CRect* r : {&list, &apply, &exit}) container->ScreenToClient(r);
    for (int i = 0; i < CPropContainerDlg::kPageCount; ++i) {
      container->GetList().SetItemState(i, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
      QmPumpMessages();
      CPropDlg* page = container->GetPage(i);
      ASSERT_NE(page, nullptr);
      ASSERT_TRUE(page->IsWindowVisible()) << i;
      EXPECT_EQ(page->GetParent(), container) << i;
      CRect r;
      page->GetWindowRect(&r);
      container->ScreenToClient(&r);
      CRect overlap;
      EXPECT_TRUE(client.PtInRect(r.TopLeft()) && r.right <= client.right && r.bottom <= client.bottom)
          << i << ": " << r.left << "," << r.top << "," << r.right << "," << r.bottom << " in " << client.right << "x"
          << client.bottom;
      EXPECT_GE(r.left, list.right) << i;
      EXPECT_FALSE(overlap.IntersectRect(r, apply)) << i;
      EXPECT_FALSE(overlap.IntersectRect(r, exit)) << i;
      Save(QmRenderWindow(dialog, true), "preferences_" + std::to_string(i));
      ++shown;
    }
    ::SendMessage(dialog, WM_COMMAND, IDCANCEL, 0);
  });
  Frame()->SendMessage(WM_COMMAND, ID_OPTIONS_PREFERENCES);
  qmtest::SetModalHook(nullptr);
  EXPECT_EQ(shown, CPropContainerDlg::kPageCount);
}

INSTANTIATE_TEST_SUITE_P(Languages, Shots, ::testing::Values(false, true),
                         [](const auto& param) { return param.param ? std::string("Russian") : std::string("English"); });
