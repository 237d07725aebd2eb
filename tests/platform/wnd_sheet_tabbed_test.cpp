// Tabbed property sheets: buttons as child windows, tabs from the page
// captions, pages made when first shown, Apply, a page that keeps the focus
// with bad data, OK through every made page, the sheet's own OnCommand first,
// and a button the sheet adds at run time.
#include "tests/platform/wnd_bars_fixture.h"

using namespace barstest;

namespace {

constexpr UINT kBackToOriginal = 5;

class CGeneralPage : public CPropertyPage {
 public:
  CGeneralPage() : CPropertyPage(IDD_SHEET_GENERAL) {}
  CString m_name = "Tulip";
  int m_mark = 0;
  void DoDataExchange(CDataExchange* pDX) override {
    DDX_Text(pDX, IDC_GEN_NAME, m_name);
    DDX_Check(pDX, IDC_GEN_MARK, m_mark);
  }
  BOOL OnSetActive() override {
    Log().push_back("general-active");
    return CPropertyPage::OnSetActive();
  }
  BOOL OnKillActive() override {
    Log().push_back("general-leave");
    return CPropertyPage::OnKillActive();
  }
  void OnOK() override {
    Log().push_back("general-ok");
    CPropertyPage::OnOK();
  }
  BOOL OnApply() override {
    Log().push_back("general-apply");
    return CPropertyPage::OnApply();
  }
  void OnCancel() override { Log().push_back("general-cancel"); }

 protected:
  afx_msg void OnNameChange() { SetModified(TRUE); }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CGeneralPage, CPropertyPage)
  ON_EN_CHANGE(IDC_GEN_NAME, OnNameChange)
END_MESSAGE_MAP()

class CColorsPage : public CPropertyPage {
 public:
  CColorsPage() : CPropertyPage(IDD_SHEET_COLORS) {}
  int m_limit = 24;
  void DoDataExchange(CDataExchange* pDX) override {
    DDX_Text(pDX, IDC_COL_LIMIT, m_limit);
    DDV_MinMaxInt(pDX, m_limit, 1, 99);
  }
  void OnOK() override {
    Log().push_back("colors-ok");
    CPropertyPage::OnOK();
  }
};

class CTestSheet : public CPropertySheet {
 public:
  explicit CTestSheet(CWnd* parent) : CPropertySheet(IDS_SHEET_CAPTION, parent) {
    AddPage(&m_general);
    AddPage(&m_colors);
  }
  CGeneralPage m_general;
  CColorsPage m_colors;
  CButton m_back;
  int m_okVetoes = 0;
  BOOL OnInitDialog() override {
    CPropertySheet::OnInitDialog();
    CRect client;
    GetClientRect(&client);
    m_back.Create("Back to original", WS_CHILD | WS_VISIBLE, CRect(5, client.bottom - 30, 105, client.bottom - 7), this,
                  kBackToOriginal);
    return TRUE;
  }
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
    if (LOWORD(wParam) == IDOK && m_okVetoes > 0) {
      --m_okVetoes;
      Log().push_back("sheet-refuses-ok");
      return TRUE;
    }
    return CPropertySheet::OnCommand(wParam, lParam);
  }

 protected:
  afx_msg void OnBackToOriginal() { Log().push_back("back-to-original"); }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CTestSheet, CPropertySheet)
  ON_BN_CLICKED(kBackToOriginal, OnBackToOriginal)
END_MESSAGE_MAP()

HWND Item(HWND dlg, int id) { return GetDlgItem(dlg, id); }

void ClickTab(CPropertySheet* sheet, int i) {
  CTabCtrl* tab = sheet->GetTabControl();
  CRect r;
  tab->GetItemRect(i, &r);
  QmSendMouse(tab->m_hWnd, WM_LBUTTONDOWN, r.CenterPoint(), MK_LBUTTON);
  QmSendMouse(tab->m_hWnd, WM_LBUTTONUP, r.CenterPoint());
}

}  // namespace

TEST_F(BarsTest, TabbedSheetMakesPagesWhenShownAndAppliesThem) {
  CTestSheet sheet(app->Frame());
  bool ran = false;
  QmSetModalHook([&](HWND dlg) {
    ran = true;
    EXPECT_EQ(dlg, sheet.m_hWnd);
    char caption[64] = {};
    GetWindowText(dlg, caption, 64);
    EXPECT_STREQ(caption, "Pattern properties");
    // The buttons are the sheet's children; Apply starts grey.
    ASSERT_NE(Item(dlg, IDOK), nullptr);
    ASSERT_NE(Item(dlg, IDCANCEL), nullptr);
    ASSERT_NE(Item(dlg, ID_APPLY_NOW), nullptr);
    EXPECT_EQ(Item(dlg, IDHELP), nullptr);
    EXPECT_FALSE(IsWindowEnabled(Item(dlg, ID_APPLY_NOW)));
    EXPECT_NE(Item(dlg, kBackToOriginal), nullptr);
    // Tabs from the page captions; the second page is not made yet.
    CTabCtrl* tab = sheet.GetTabControl();
    ASSERT_NE(tab, nullptr);
    ASSERT_EQ(tab->GetItemCount(), 2);
    char text[32] = {};
    TCITEM item{TCIF_TEXT, 0, 0, text, 32, 0, 0};
    tab->GetItem(1, &item);
    EXPECT_STREQ(text, "Palette");
    EXPECT_NE(sheet.m_general.m_hWnd, nullptr);
    EXPECT_EQ(sheet.m_colors.m_hWnd, nullptr);
    EXPECT_EQ(sheet.GetActivePage(), &sheet.m_general);
    // Data in the controls; typing marks the page modified and lights Apply.
    char name[32] = {};
    sheet.m_general.GetDlgItemText(IDC_GEN_NAME, name, 32);
    EXPECT_STREQ(name, "Tulip");
    sheet.m_general.SetDlgItemText(IDC_GEN_NAME, "Rose");
    EXPECT_TRUE(IsWindowEnabled(Item(dlg, ID_APPLY_NOW)));
    QmClickButton(Item(dlg, ID_APPLY_NOW));
    EXPECT_EQ(sheet.m_general.m_name, CString("Rose"));
    EXPECT_FALSE(IsWindowEnabled(Item(dlg, ID_APPLY_NOW)));
    EXPECT_TRUE(IsWindow(dlg));
    // The run-time button reaches the sheet's message map.
    QmClickButton(Item(dlg, kBackToOriginal));
    QmClickButton(Item(dlg, IDCANCEL));
  });
  EXPECT_EQ(sheet.DoModal(), IDCANCEL);
  EXPECT_TRUE(ran);
  EXPECT_EQ(Log(), (std::vector<std::string>{"general-active", "general-leave", "general-apply", "general-ok",
                                             "back-to-original", "general-cancel"}));
  EXPECT_EQ(sheet.m_hWnd, nullptr);
  EXPECT_EQ(sheet.m_general.m_hWnd, nullptr);
}

TEST_F(BarsTest, TabbedSheetKeepsAPageWithBadDataAndOkRunsEveryMadePage) {
  CTestSheet sheet(app->Frame());
  sheet.m_okVetoes = 1;
  QmSetModalHook([&](HWND dlg) {
    ClickTab(&sheet, 1);
    ASSERT_NE(sheet.m_colors.m_hWnd, nullptr);
    EXPECT_EQ(sheet.GetActiveIndex(), 1);
    EXPECT_TRUE(sheet.m_colors.IsWindowVisible());
    EXPECT_FALSE(sheet.m_general.IsWindowVisible());
    // 500 is refused: the page stays, with the framework's message.
    sheet.m_colors.SetDlgItemText(IDC_COL_LIMIT, "500");
    ClickTab(&sheet, 0);
    EXPECT_EQ(sheet.GetActiveIndex(), 1);
    EXPECT_EQ(sheet.GetTabControl()->GetCurSel(), 1);
    EXPECT_EQ(boxes.size(), 1u);
    // SetActivePage asks the page too.
    EXPECT_FALSE(sheet.SetActivePage(0));
    sheet.m_colors.SetDlgItemText(IDC_COL_LIMIT, "50");
    EXPECT_TRUE(sheet.SetActivePage(0));
    EXPECT_EQ(sheet.GetTabControl()->GetCurSel(), 0);
    // OK: the sheet's OnCommand sees it first (and refuses it once).
    QmClickButton(Item(dlg, IDOK));
    EXPECT_TRUE(IsWindow(dlg));
    QmClickButton(Item(dlg, IDOK));
  });
  EXPECT_EQ(sheet.DoModal(), IDOK);
  EXPECT_EQ(sheet.m_colors.m_limit, 50);
  const std::vector<std::string>& log = Log();
  auto at = [&](const std::string& s) { return std::find(log.begin(), log.end(), s) - log.begin(); };
  ASSERT_LT(at("sheet-refuses-ok"), static_cast<long>(log.size()));
  EXPECT_LT(at("sheet-refuses-ok"), at("general-ok"));
  EXPECT_LT(at("general-ok"), at("colors-ok"));
}

TEST_F(BarsTest, SheetHeaderFlagsChooseButtonsAndIcon) {
  CTestSheet sheet(app->Frame());
  sheet.m_psh.dwFlags |= PSH_NOAPPLYNOW | PSH_HASHELP | PSH_USEHICON;
  sheet.m_psh.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
  sheet.m_psh.nStartPage = 1;
  QmSetModalHook([&](HWND dlg) {
    EXPECT_EQ(Item(dlg, ID_APPLY_NOW), nullptr);
    EXPECT_NE(Item(dlg, IDHELP), nullptr);
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessage(dlg, WM_GETICON, ICON_SMALL, 0)), sheet.m_psh.hIcon);
    EXPECT_EQ(sheet.GetActivePage(), &sheet.m_colors);
    EXPECT_EQ(sheet.m_general.m_hWnd, nullptr);
    // Escape cancels.
    QmSendKey(sheet.m_colors.GetDlgItem(IDC_COL_LIMIT)->m_hWnd, VK_ESCAPE);
  });
  EXPECT_EQ(sheet.DoModal(), IDCANCEL);
}
