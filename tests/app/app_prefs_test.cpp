// The preferences: the container's pages, placement and caption, and each
// page's checks and stored fields.
#include "app/prefs/CustShortcutKeyDlg.h"
#include "app/prefs/MicsParametersDlg.h"
#include "app/prefs/PrefPages.h"
#include "app/prefs/PropContainerDlg.h"
#include "controls/RecentFiles.h"
#include "image/Image.h"
#include "lang/ids/shell.h"
#include "settings/GridSettings.h"
#include "tests/app/app_fixture.h"

using namespace apptest;

class Preferences : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    StoreAcceptedSettings();
    ASSERT_TRUE(Start());
  }
  // Opens the preferences on a page, runs the work, closes with Exit.
  void WithPage(int page, const std::function<void(CPropContainerDlg&)>& work) {
    CMainFrame::SetPreferencesPage(page);
    qmtest::SetModalHook([&](HWND dialog) {
      auto* container = dynamic_cast<CPropContainerDlg*>(CWnd::FromHandle(dialog));
      ASSERT_NE(container, nullptr);
      work(*container);
      ::SendMessage(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    Frame()->SendMessage(WM_COMMAND, ID_OPTIONS_PREFERENCES);
    qmtest::SetModalHook(nullptr);
  }
  void SetText(CWnd* page, int id, const char* text) { page->GetDlgItem(id)->SetWindowText(text); }
};

TEST_F(Preferences, TheLastPageOpensAgainWithItsIconAndCaption) {
  WithPage(6, [&](CPropContainerDlg& c) {
    EXPECT_EQ(c.GetCurrentPage(), 6);
    EXPECT_TRUE(c.GetPage(6)->IsWindowVisible());
    EXPECT_FALSE(c.GetPage(0)->IsWindowVisible());
    CString caption;
    c.GetWindowText(caption);
    EXPECT_EQ(caption.str(), "Preferences - PDF page size");
    c.GetList().SetItemState(2, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_EQ(c.GetCurrentPage(), 2);
  });
  EXPECT_EQ(CMainFrame::GetPreferencesPage(), 2);
}

TEST_F(Preferences, StartUpCountIsCheckedAndCutsTheRecentList) {
  CRecentFiles& list = Frame()->GetRecentDesignList();
  bool ok = false;
  CImage picture(20, 20, ok, 0);
  for (int i = 0; i < 16; ++i) {
    CString path;
    path.Format("/d/%d.qx", i);
    list.AddFile(path, picture, nullptr);
  }
  WithPage(0, [&](CPropContainerDlg& c) {
    CWnd* page = c.GetPage(0);
    SetText(page, IDC_PREF_RECENT_COUNT, "17");
    boxes.clear();
    c.ApplyCurrentPage();
    EXPECT_EQ(boxes.size(), 1u);  // the range check speaks
    EXPECT_EQ(app->GetSettings().m_recentListSize, 3);
    SetText(page, IDC_PREF_RECENT_COUNT, "2");
    c.ApplyCurrentPage();
  });
  EXPECT_EQ(app->GetSettings().m_recentListSize, 2);
  EXPECT_EQ(list.GetCount(), 2);
}

TEST_F(Preferences, MemoryUsageRefusesOutOfRangeValues) {
  EXPECT_EQ(CVirtualScreenSize::KilobyteText(100).str(), "4 192");
  EXPECT_EQ(CVirtualScreenSize::KilobyteText(50).str(), "2 096");
  EXPECT_EQ(CVirtualScreenSize::KilobyteText(2000).str(), "83 884");
  const int before = app->GetSettings().GetVirtualScreenSize();
  WithPage(2, [&](CPropContainerDlg& c) {
    CWnd* page = c.GetPage(2);
    SetText(page, IDC_PREF_PERCENT, "49");
    boxes.clear();
    c.ApplyCurrentPage();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].first, "Wrong allowed memory using 49%.\nThe value has to be in range 50% - 2000%");
    CString shown;
    page->GetDlgItemText(IDC_PREF_PERCENT, shown);
    EXPECT_EQ(shown.str(), "100");
    EXPECT_EQ(app->GetSettings().GetVirtualScreenSize(), before);
    SetText(page, IDC_PREF_MAX_BEADS, "199999");
    boxes.clear();
    c.ApplyCurrentPage();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].first, "Wrong maximum bead number\nThe value has to be in range 200000 - 5000000");
    SetText(page, IDC_PREF_PERCENT, "2000");
    SetText(page, IDC_PREF_MAX_BEADS, "5000000");
    boxes.clear();
    c.ApplyCurrentPage();
    EXPECT_TRUE(boxes.empty());
  });
  EXPECT_EQ(app->GetSettings().m_maxBeads, 5000000);
  EXPECT_EQ(app->GetSettings().GetVirtualScreenSize(),
            ::GetSystemMetrics(SM_CXSCREEN) * ::GetSystemMetrics(SM_CYSCREEN) * 20);
}

TEST_F(Preferences, RulerUnitsAndStatusOptions) {
  app->GetSettings().m_rulerUnits = 1;
  WithPage(3, [&](CPropContainerDlg& c) {
    CWnd* page = c.GetPage(3);
    EXPECT_EQ(page->GetCheckedRadioButton(IDC_RULER_BEADS, IDC_RULER_MM), IDC_RULER_INCHES);
    page->CheckRadioButton(IDC_RULER_BEADS, IDC_RULER_MM, IDC_RULER_MM);
    c.ApplyCurrentPage();
  });
  EXPECT_EQ(app->GetSettings().m_rulerUnits, 3);
  EXPECT_EQ(View()->GetHorzRuler().GetUnits(), 3);
  WithPage(4, [&](CPropContainerDlg& c) {
    c.GetPage(4)->CheckDlgButton(IDC_PREF_PALETTE_INFO, BST_UNCHECKED);
    c.ApplyCurrentPage();
  });
  EXPECT_EQ(app->GetSettings().m_paletteInfoShown, 0);
  EXPECT_EQ(app->GetSettings().m_designInfoShown, 1);
}

TEST_F(Preferences, PdfPageChecksConvertsAndSizesFormats) {
  CString w, h;
  CPDFPageSizeDlg::FormatSizeTexts(1, w, h);
  EXPECT_EQ(w.str(), "11.693");
  EXPECT_EQ(h.str(), "16.536");
  CPDFPageSizeDlg::FormatSizeTexts(0, w, h);
  EXPECT_EQ(w.str(), "16.536");
  EXPECT_EQ(h.str(), "23.386");
  WithPage(6, [&](CPropContainerDlg& c) {
    CWnd* page = c.GetPage(6);
    for (const char* wrong : {"0", "abc"}) {
      SetText(page, IDC_PREF_PAGE_WIDTH, wrong);
      boxes.clear();
      c.ApplyCurrentPage();
      ASSERT_EQ(boxes.size(), 1u);
      EXPECT_EQ(boxes[0].first, "Wrong page width");
    }
    auto* units = static_cast<CComboBox*>(page->GetDlgItem(IDC_PREF_UNITS));
    units->SetCurSel(2);
    SetText(page, IDC_PREF_PAGE_WIDTH, "210");
    SetText(page, IDC_PREF_PAGE_HEIGHT, "297");
    SetText(page, IDC_PREF_ZOOM, "79");
    boxes.clear();
    c.ApplyCurrentPage();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].first, "Zoom should be in range 80.000 - 120.000");
    SetText(page, IDC_PREF_ZOOM, "100");
    boxes.clear();
    c.ApplyCurrentPage();
    EXPECT_TRUE(boxes.empty());
  });
  EXPECT_EQ(app->GetSettings().m_pdfPageUnits, 2);
  EXPECT_DOUBLE_EQ(app->GetSettings().m_pdfPageWidth, 210 * 0.1 / 2.5399999618530273);
  EXPECT_EQ(app->GetSettings().m_pdfPageWidthText.str(), "210");
}

TEST_F(Preferences, GridPageStoresOnlyAcceptedSizes) {
  CGridSettings& grid = GetGridSettings();
  grid.m_step = 10;
  app->GetSettings().m_warningSound = 1;
  WithPage(7, [&](CPropContainerDlg& c) {
    CWnd* page = c.GetPage(7);
    SetText(page, IDC_GRID_SIZE, "0");
    page->CheckDlgButton(IDC_WARNING_SOUND, BST_UNCHECKED);
    boxes.clear();
    c.ApplyCurrentPage();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].first, "Wrong Grid Size");
    EXPECT_EQ(grid.m_step, 10);
    EXPECT_EQ(app->GetSettings().m_warningSound, 0);  // the rest still ran
    // A size the exchange refuses stops the whole Apply.
    app->GetSettings().m_warningSound = 1;
    SetText(page, IDC_GRID_SIZE, "x7");
    c.ApplyCurrentPage();
    EXPECT_EQ(app->GetSettings().m_warningSound, 1);
    SetText(page, IDC_GRID_SIZE, "7");
    c.ApplyCurrentPage();
  });
  EXPECT_EQ(grid.m_step, 7);
}

TEST_F(Preferences, ShortcutPageRefusesATakenKeyAndAppliesToTheFrame) {
  WithPage(1, [&](CPropContainerDlg& c) {
    auto* page = dynamic_cast<CCustShortcutKeyDlg*>(c.GetPage(1));
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->GetTabs().GetItemCount(), 5);
    CAccelTreeCtrl& tree = page->GetTree();
    // Find "Save" and "Open..." in the File tab.
    HTREEITEM save = nullptr, open = nullptr;
    for (HTREEITEM i = tree.GetRootItem(); i; i = tree.GetNextSiblingItem(i)) {
      if (tree.GetItemData(i) == ID_FILE_SAVE_DESIGN) save = i;
      if (tree.GetItemData(i) == ID_FILE_OPEN_DESIGN) open = i;
    }
    ASSERT_NE(save, nullptr);
    ASSERT_NE(open, nullptr);
    tree.SelectItem(save);
    page->GetHotKey().SetHotKey('S', HOTKEYF_CONTROL);
    page->AssignKey();
    tree.SelectItem(open);
    page->GetHotKey().SetHotKey('S', HOTKEYF_CONTROL);
    boxes.clear();
    page->AssignKey();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].first, "This hot key already has been assigned to the command\nOpen...");
    CString keys;
    EXPECT_FALSE(page->GetTable().GetKeyText(ID_FILE_OPEN_DESIGN, keys));
    // A plain key is checked too.
    page->GetHotKey().SetHotKey('O', 0);
    page->AssignKey();
    tree.SelectItem(save);
    page->GetHotKey().SetHotKey('O', 0);
    boxes.clear();
    page->AssignKey();
    EXPECT_EQ(boxes.size(), 1u);
    c.ApplyCurrentPage();
  });
  ASSERT_NE(Frame()->m_hAccelTable, nullptr);
  EXPECT_NE(Frame()->GetMainMenu().FindItem(ID_FILE_SAVE_DESIGN)->text.Find("\tCtrl+S"), -1);
}
