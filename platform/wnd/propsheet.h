// Property sheets and wizards: a modal window with one page (a child
// dialog from the resource pack) per tab, or one page at a time with Back,
// Next and Finish in wizard mode.
//
// The sheet's buttons are child windows of the sheet with the Windows ids
// (IDOK, IDCANCEL, ID_APPLY_NOW, IDHELP; ID_WIZBACK, ID_WIZNEXT,
// ID_WIZFINISH), so GetDlgItem reaches them; their WM_COMMAND reaches the
// sheet's OnCommand first, and CPropertySheet::OnCommand does what the
// button means. Pages are made the first time they are shown.
// - Tabbed: a tab per page (its caption); leaving a page asks its
//   OnKillActive (FALSE keeps it), entering asks OnSetActive. OK runs the
//   shown page's OnKillActive, then OnApply of every page made so far
//   (OnApply calls OnOK by default) and ends with IDOK; Apply does the same
//   without ending and greys itself; Cancel runs OnQueryCancel of the shown
//   page and OnReset (OnCancel) of every made page and ends with IDCANCEL.
// - Wizard: Next asks the page's OnWizardNext (-1 stays, 0 goes to the next
//   page, a template id goes to that page), Back likewise; Finish asks
//   OnWizardFinish and ends with ID_WIZFINISH, once.
#pragma once

#include <vector>

#include "platform/wnd/dialog.h"
#include "platform/wnd/tabctrl.h"

#ifndef IDHELP
#define IDHELP 9
#endif
constexpr UINT AFX_IDC_TAB_CONTROL = 0x3020;
constexpr UINT ID_APPLY_NOW = 0x3021;
constexpr UINT ID_WIZBACK = 0x3023;
constexpr UINT ID_WIZNEXT = 0x3024;
constexpr UINT ID_WIZFINISH = 0x3025;

constexpr DWORD PSH_DEFAULT = 0x00000000;
constexpr DWORD PSH_PROPTITLE = 0x00000001;
constexpr DWORD PSH_USEHICON = 0x00000002;
constexpr DWORD PSH_USEICONID = 0x00000004;
constexpr DWORD PSH_PROPSHEETPAGE = 0x00000008;
constexpr DWORD PSH_WIZARDHASFINISH = 0x00000010;
constexpr DWORD PSH_WIZARD = 0x00000020;
constexpr DWORD PSH_USEPSTARTPAGE = 0x00000040;
constexpr DWORD PSH_NOAPPLYNOW = 0x00000080;
constexpr DWORD PSH_USECALLBACK = 0x00000100;
constexpr DWORD PSH_HASHELP = 0x00000200;
constexpr DWORD PSH_MODELESS = 0x00000400;

constexpr DWORD PSP_DEFAULT = 0x00000000;
constexpr DWORD PSP_USEHICON = 0x00000002;
constexpr DWORD PSP_USEICONID = 0x00000004;
constexpr DWORD PSP_USETITLE = 0x00000008;
constexpr DWORD PSP_HASHELP = 0x00000020;

constexpr DWORD PSWIZB_BACK = 0x00000001;
constexpr DWORD PSWIZB_NEXT = 0x00000002;
constexpr DWORD PSWIZB_FINISH = 0x00000004;
constexpr DWORD PSWIZB_DISABLEDFINISH = 0x00000008;

constexpr int PSBTN_BACK = 0;
constexpr int PSBTN_NEXT = 1;
constexpr int PSBTN_FINISH = 2;
constexpr int PSBTN_OK = 3;
constexpr int PSBTN_APPLYNOW = 4;
constexpr int PSBTN_CANCEL = 5;
constexpr int PSBTN_HELP = 6;

constexpr UINT PSM_SETCURSEL = WM_USER + 101;
constexpr UINT PSM_CHANGED = WM_USER + 104;
constexpr UINT PSM_CANCELTOCLOSE = WM_USER + 107;
constexpr UINT PSM_UNCHANGED = WM_USER + 109;
constexpr UINT PSM_APPLY = WM_USER + 110;
constexpr UINT PSM_SETTITLE = WM_USER + 111;
constexpr UINT PSM_SETWIZBUTTONS = WM_USER + 112;
constexpr UINT PSM_PRESSBUTTON = WM_USER + 113;
constexpr UINT PSM_SETFINISHTEXT = WM_USER + 115;
constexpr UINT PSM_GETTABCONTROL = WM_USER + 116;
constexpr UINT PSM_GETCURRENTPAGEHWND = WM_USER + 118;

struct PROPSHEETPAGE {
  DWORD dwSize;
  DWORD dwFlags;
  HINSTANCE hInstance;
  LPCTSTR pszTemplate;
  HICON hIcon;
  LPCTSTR pszIcon;
  LPCTSTR pszTitle;  // the tab's text with PSP_USETITLE
  LPARAM lParam;
};

struct PROPSHEETHEADER {
  DWORD dwSize;
  DWORD dwFlags;
  HWND hwndParent;
  HINSTANCE hInstance;
  HICON hIcon;      // PSH_USEHICON
  LPCTSTR pszIcon;  // PSH_USEICONID: an icon of the resource pack
  LPCTSTR pszCaption;
  UINT nPages;
  UINT nStartPage;
};

class CPropertySheet;

class CPropertyPage : public CDialog {
  DECLARE_DYNAMIC(CPropertyPage)
 public:
  CPropertyPage();
  // The page's template; its caption (or string nIDCaption) is its tab text.
  explicit CPropertyPage(UINT nIDTemplate, UINT nIDCaption = 0);
  ~CPropertyPage() override;
  void Construct(UINT nIDTemplate, UINT nIDCaption = 0);

  // Entering the page (FALSE: it is not shown); the first time the dialog
  // data are already in the controls, later UpdateData(FALSE) puts them in.
  virtual BOOL OnSetActive();
  // Leaving the page or OK: UpdateData(TRUE); FALSE keeps the page.
  virtual BOOL OnKillActive();
  void OnOK() override;
  void OnCancel() override;
  virtual BOOL OnApply();
  virtual void OnReset();
  virtual BOOL OnQueryCancel();
  virtual LRESULT OnWizardBack();
  virtual LRESULT OnWizardNext();
  virtual BOOL OnWizardFinish();

  // The page has changes to apply (enables the sheet's Apply button).
  void SetModified(BOOL bChanged = TRUE);
  BOOL IsModified() const { return m_bModified; }
  void CancelToClose();
  CString GetCaption() const;

  PROPSHEETPAGE m_psp;

 protected:
  friend class CPropertySheet;
  BOOL m_bFirstSetActive = TRUE;
  BOOL m_bModified = FALSE;
  CString m_strCaption;
};

class CPropertySheet : public CWnd {
  DECLARE_DYNAMIC(CPropertySheet)
 public:
  CPropertySheet();
  explicit CPropertySheet(UINT nIDCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);
  explicit CPropertySheet(LPCTSTR pszCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);
  ~CPropertySheet() override;
  void Construct(UINT nIDCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);
  void Construct(LPCTSTR pszCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);

  void AddPage(CPropertyPage* pPage);
  void RemovePage(CPropertyPage* pPage);
  void RemovePage(int nPage);
  int GetPageCount() const { return static_cast<int>(m_pages.size()); }
  CPropertyPage* GetPage(int nPage) const;
  int GetPageIndex(CPropertyPage* pPage) const;
  CPropertyPage* GetActivePage() const;
  int GetActiveIndex() const;
  // Leaves the shown page (its OnKillActive may refuse) and shows another.
  BOOL SetActivePage(int nPage);
  BOOL SetActivePage(CPropertyPage* pPage);
  void SetTitle(LPCTSTR lpszText, UINT nStyle = 0);
  CTabCtrl* GetTabControl() const;

  void SetWizardMode() { m_psh.dwFlags |= PSH_WIZARD; }
  BOOL IsWizard() const { return (m_psh.dwFlags & PSH_WIZARD) != 0; }
  // PSWIZB_ flags: which of Back, Next and Finish work.
  void SetWizardButtons(DWORD dwFlags);
  // Finish (with this text) replaces Back and Next.
  void SetFinishText(LPCTSTR lpszText);
  void PressButton(int nButton);

  virtual INT_PTR DoModal();
  // After the sheet's own set-up (buttons, tabs, the first page).
  virtual BOOL OnInitDialog();
  void EndDialog(int nEndID);

  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
  BOOL PreTranslateMessage(MSG* pMsg) override;

  PROPSHEETHEADER m_psh;
  CWnd* m_pParentWnd = nullptr;

 protected:
  afx_msg LRESULT OnSetFinishTextMsg(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnSetWizButtonsMsg(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnPressButtonMsg(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnSetCurSelMsg(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnChangedMsg(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnUnchangedMsg(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnGetTabControlMsg(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnGetCurrentPageMsg(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnCancelToCloseMsg(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnSetTitleMsg(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnApplyMsg(WPARAM wParam, LPARAM lParam);
  DECLARE_MESSAGE_MAP()

 private:
  friend class CPropertyPage;
  bool BuildWindow(HWND owner);
  bool ShowPage(int nPage, bool leaveCurrent);
  bool MakePage(int nPage);
  void LayOutPage(CPropertyPage* page) const;
  void OnOkButton();
  void OnCancelButton();
  bool ApplyAll();
  void OnWizardStep(bool next);
  void OnFinishButton();
  void UpdateApply();
  int PageOfTemplate(LRESULT id) const;

  std::vector<CPropertyPage*> m_pages;
  int m_nActive = -1;
  CTabCtrl m_tab;
  CString m_strCaption;
  RECT m_rcPage{0, 0, 0, 0};  // where pages lie, in the sheet's client area
  bool m_bEnded = false;
};
