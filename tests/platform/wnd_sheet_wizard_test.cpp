// Wizards: Back hidden on the first page, Next relabelled by its id, a page
// that stays (-1), jumps by SetActivePage from the sheet's OnCommand, pages
// made when first shown, the Finish text, Finish ending once with
// ID_WIZFINISH, and a posted message that ends the wizard with IDOK.
#include "tests/platform/wnd_bars_fixture.h"

using namespace barstest;

namespace {

const UINT g_msgFinishOK = RegisterWindowMessage("MsgFinishOK");

class CStartPage : public CPropertyPage {
 public:
  CStartPage() : CPropertyPage(IDD_WIZ_START) {}
  int m_type = 0;
  void DoDataExchange(CDataExchange* pDX) override { DDX_Radio(pDX, IDC_WIZ_PICTURE, m_type); }
  BOOL OnSetActive() override {
    GetParent()->GetDlgItem(ID_WIZBACK)->ShowWindow(SW_HIDE);
    GetParent()->SetDlgItemText(ID_WIZNEXT, "Go on >");
    return CPropertyPage::OnSetActive();
  }
};

class CMiddlePage : public CPropertyPage {
 public:
  CMiddlePage() : CPropertyPage(IDD_WIZ_MIDDLE) {}
  CString m_palette;
  void DoDataExchange(CDataExchange* pDX) override { DDX_Text(pDX, IDC_WIZ_TEXT, m_palette); }
  BOOL OnSetActive() override {
    GetParent()->GetDlgItem(ID_WIZBACK)->ShowWindow(SW_SHOW);
    return CPropertyPage::OnSetActive();
  }
  LRESULT OnWizardNext() override {
    UpdateData(TRUE);
    Log().push_back("middle-next");
    return m_palette.IsEmpty() ? -1 : 0;
  }
};

class CEndPage : public CPropertyPage {
 public:
  CEndPage() : CPropertyPage(IDD_WIZ_END) {}
  BOOL m_useFinishText = FALSE;
  BOOL OnSetActive() override {
    CWnd* sheet = GetParent();
    sheet->GetDlgItem(ID_WIZBACK)->ShowWindow(SW_SHOW);
    if (m_useFinishText) {
      CString finish;
      finish.LoadString(IDS_FINISH);
      sheet->SendMessage(PSM_SETFINISHTEXT, 0, reinterpret_cast<LPARAM>(finish.GetString()));
    }
    return CPropertyPage::OnSetActive();
  }
  BOOL OnWizardFinish() override {
    Log().push_back("end-finish");
    return TRUE;
  }
};

class CWizard : public CPropertySheet {
 public:
  explicit CWizard(CWnd* parent) : CPropertySheet(IDS_WIZ_CAPTION, parent) {
    AddPage(&m_start);
    AddPage(&m_middle);
    AddPage(&m_end);
    SetWizardMode();
    m_psh.dwFlags |= PSH_NOAPPLYNOW;
    m_psh.dwFlags &= ~PSH_HASHELP;
  }
  CStartPage m_start;
  CMiddlePage m_middle;
  CEndPage m_end;
  std::vector<UINT> m_commands;
  // Next on the first page goes to the last when a blank canvas is chosen.
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
    m_commands.push_back(LOWORD(wParam));
    if (LOWORD(wParam) == ID_WIZNEXT && GetActiveIndex() == 0) {
      m_start.UpdateData(TRUE);
      if (m_start.m_type == 1) {
        SetActivePage(2);
        return TRUE;
      }
    }
    return CPropertySheet::OnCommand(wParam, lParam);
  }

 protected:
  afx_msg LRESULT OnFinishOK(WPARAM, LPARAM) {
    EndDialog(IDOK);
    return 0;
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CWizard, CPropertySheet)
  ON_REGISTERED_MESSAGE(g_msgFinishOK, OnFinishOK)
END_MESSAGE_MAP()

HWND Item(HWND dlg, int id) { return GetDlgItem(dlg, static_cast<int>(id)); }
bool Shown(HWND dlg, UINT id) { return IsWindowVisible(Item(dlg, static_cast<int>(id))) != FALSE; }

}  // namespace

TEST_F(BarsTest, WizardStepsBackAndNextAndEndsOnceWithFinish) {
  CWizard wiz(app->Frame());
  wiz.m_end.m_useFinishText = TRUE;
  QmSetModalHook([&](HWND dlg) {
    EXPECT_EQ(Item(dlg, IDOK), nullptr);
    ASSERT_NE(Item(dlg, ID_WIZFINISH), nullptr);
    // Page 1: Back hidden, Next relabelled, Finish hidden.
    EXPECT_FALSE(Shown(dlg, ID_WIZBACK));
    EXPECT_TRUE(Shown(dlg, ID_WIZNEXT));
    EXPECT_FALSE(Shown(dlg, ID_WIZFINISH));
    char text[32] = {};
    GetWindowText(Item(dlg, ID_WIZNEXT), text, 32);
    EXPECT_STREQ(text, "Go on >");
    EXPECT_EQ(wiz.GetTabControl(), nullptr);
    QmClickButton(Item(dlg, ID_WIZNEXT));
    ASSERT_EQ(wiz.GetActiveIndex(), 1);
    EXPECT_TRUE(Shown(dlg, ID_WIZBACK));
    EXPECT_FALSE(wiz.m_start.IsWindowVisible());
    // An empty palette: Next stays.
    QmClickButton(Item(dlg, ID_WIZNEXT));
    EXPECT_EQ(wiz.GetActiveIndex(), 1);
    EXPECT_EQ(wiz.m_end.m_hWnd, nullptr);
    QmClickButton(Item(dlg, ID_WIZBACK));
    EXPECT_EQ(wiz.GetActiveIndex(), 0);
    QmClickButton(Item(dlg, ID_WIZNEXT));
    wiz.m_middle.SetDlgItemText(IDC_WIZ_TEXT, "Delica.pal");
    QmClickButton(Item(dlg, ID_WIZNEXT));
    ASSERT_EQ(wiz.GetActiveIndex(), 2);
    // The Finish text: Finish replaces Back and Next.
    EXPECT_TRUE(Shown(dlg, ID_WIZFINISH));
    EXPECT_FALSE(Shown(dlg, ID_WIZBACK));
    EXPECT_FALSE(Shown(dlg, ID_WIZNEXT));
    GetWindowText(Item(dlg, ID_WIZFINISH), text, 32);
    EXPECT_STREQ(text, "Finish");
    // Finish twice: the wizard ends once.
    QmClickButton(Item(dlg, ID_WIZFINISH));
    SendMessage(dlg, WM_COMMAND, MAKEWPARAM(ID_WIZFINISH, BN_CLICKED), reinterpret_cast<LPARAM>(Item(dlg, ID_WIZFINISH)));
  });
  EXPECT_EQ(wiz.DoModal(), static_cast<INT_PTR>(ID_WIZFINISH));
  EXPECT_EQ(std::count(Log().begin(), Log().end(), "end-finish"), 1);
  EXPECT_EQ(wiz.m_middle.m_palette, CString("Delica.pal"));
  EXPECT_EQ(std::count(wiz.m_commands.begin(), wiz.m_commands.end(), ID_WIZFINISH), 2);
}

TEST_F(BarsTest, WizardJumpsFromItsOnCommandAndEndsByAPostedMessage) {
  CWizard wiz(app->Frame());
  wiz.m_start.m_type = 1;  // a blank canvas: straight to the last page
  QmSetModalHook([&](HWND dlg) {
    QmClickButton(Item(dlg, ID_WIZNEXT));
    EXPECT_EQ(wiz.GetActiveIndex(), 2);
    EXPECT_EQ(wiz.m_middle.m_hWnd, nullptr);  // never shown, never made
    EXPECT_TRUE(Shown(dlg, ID_WIZNEXT));
    // SetWizardButtons: Finish greyed in place of Next.
    wiz.SetWizardButtons(PSWIZB_BACK | PSWIZB_DISABLEDFINISH);
    EXPECT_TRUE(Shown(dlg, ID_WIZFINISH));
    EXPECT_FALSE(IsWindowEnabled(Item(dlg, ID_WIZFINISH)));
    EXPECT_FALSE(Shown(dlg, ID_WIZNEXT));
    wiz.SetWizardButtons(PSWIZB_BACK | PSWIZB_NEXT);
    EXPECT_TRUE(Shown(dlg, ID_WIZNEXT));
    // Back from the last page goes to the one before it.
    QmClickButton(Item(dlg, ID_WIZBACK));
    EXPECT_EQ(wiz.GetActiveIndex(), 1);
    EXPECT_NE(wiz.m_middle.m_hWnd, nullptr);
    PostMessage(dlg, g_msgFinishOK, 0, 0);
  });
  EXPECT_EQ(wiz.DoModal(), IDOK);
  EXPECT_EQ(std::count(Log().begin(), Log().end(), "end-finish"), 0);
}
