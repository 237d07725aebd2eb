// Property sheets and wizards: the sheet window built around its largest
// page, the tab control or the wizard's button row, pages made when first
// shown, and what each button does.
#include <QGuiApplication>

#include <cstdio>

#include "platform/wnd/app.h"
#include "platform/wnd/commctl_internal.h"
#include "platform/wnd/propsheet.h"

using namespace qmwnd;

namespace {

struct SheetText {
  const char* english;
  const char* russian;
};
constexpr SheetText kOk{"OK", "ОК"};
constexpr SheetText kCancel{"Cancel", "Отмена"};
constexpr SheetText kApply{"&Apply", "&Применить"};
constexpr SheetText kHelp{"Help", "Справка"};
constexpr SheetText kBack{"< &Back", "< &Назад"};
constexpr SheetText kNext{"&Next >", "&Далее >"};
constexpr SheetText kFinish{"Finish", "Готово"};
constexpr SheetText kClose{"Close", "Закрыть"};

// A text of the sheet in the interface language.
CString Text(const SheetText& t) { return UiText(t.english, t.russian); }

bool NoDisplay() {
  const QString p = QGuiApplication::platformName();
  return p == QLatin1String("offscreen") || p == QLatin1String("minimal");
}

// Dialog units to pixels with the sheet's font.
CRect Dlu(HWND sheet, int x, int y, int cx, int cy) {
  RECT r{x, y, x + cx, y + cy};
  ::MapDialogRect(sheet, &r);
  return CRect(r);
}

}  // namespace

namespace qmwnd {
bool ModalHookInstalled();
}

// ---------------------------------------------------------------------------
// CPropertyPage.

IMPLEMENT_DYNAMIC(CPropertyPage, CDialog)

CPropertyPage::CPropertyPage() : m_psp{} { m_psp.dwSize = sizeof(m_psp); }

CPropertyPage::CPropertyPage(UINT nIDTemplate, UINT nIDCaption) : m_psp{} { Construct(nIDTemplate, nIDCaption); }

CPropertyPage::~CPropertyPage() = default;

void CPropertyPage::Construct(UINT nIDTemplate, UINT nIDCaption) {
  m_psp = PROPSHEETPAGE{};
  m_psp.dwSize = sizeof(m_psp);
  m_psp.pszTemplate = MAKEINTRESOURCE(nIDTemplate);
  m_nIDTemplate = nIDTemplate;
  m_strCaption.Empty();
  if (nIDCaption) {
    m_strCaption.LoadString(nIDCaption);
    m_psp.dwFlags |= PSP_USETITLE;
  }
}

CString CPropertyPage::GetCaption() const {
  if (!m_strCaption.IsEmpty()) return m_strCaption;
  if ((m_psp.dwFlags & PSP_USETITLE) && m_psp.pszTitle) {
    if (IS_INTRESOURCE(m_psp.pszTitle)) {
      CString s;
      s.LoadString(static_cast<UINT>(reinterpret_cast<std::uintptr_t>(m_psp.pszTitle)));
      return s;
    }
    return CString(m_psp.pszTitle);
  }
  const QmDialogTemplate* t = FindTemplate();
  return t ? t->caption : CString();
}

BOOL CPropertyPage::OnSetActive() {
  if (m_bFirstSetActive) {
    m_bFirstSetActive = FALSE;
    return TRUE;
  }
  UpdateData(FALSE);
  return TRUE;
}

BOOL CPropertyPage::OnKillActive() { return UpdateData(TRUE); }
void CPropertyPage::OnOK() { m_bModified = FALSE; }
void CPropertyPage::OnCancel() {}

BOOL CPropertyPage::OnApply() {
  OnOK();
  return TRUE;
}

void CPropertyPage::OnReset() { OnCancel(); }
BOOL CPropertyPage::OnQueryCancel() { return TRUE; }
LRESULT CPropertyPage::OnWizardBack() { return 0; }
LRESULT CPropertyPage::OnWizardNext() { return 0; }
BOOL CPropertyPage::OnWizardFinish() { return TRUE; }

void CPropertyPage::SetModified(BOOL bChanged) {
  m_bModified = bChanged;
  if (m_hWnd) {
    if (HWND sheet = ::GetParent(m_hWnd)) ::SendMessage(sheet, bChanged ? PSM_CHANGED : PSM_UNCHANGED, reinterpret_cast<WPARAM>(m_hWnd), 0);
  }
}

void CPropertyPage::CancelToClose() {
  if (m_hWnd) {
    if (HWND sheet = ::GetParent(m_hWnd)) ::SendMessage(sheet, PSM_CANCELTOCLOSE, 0, 0);
  }
}

// ---------------------------------------------------------------------------
// CPropertySheet.

IMPLEMENT_DYNAMIC(CPropertySheet, CWnd)

BEGIN_MESSAGE_MAP(CPropertySheet, CWnd)
  ON_MESSAGE(PSM_SETFINISHTEXT, OnSetFinishTextMsg)
  ON_MESSAGE(PSM_SETWIZBUTTONS, OnSetWizButtonsMsg)
  ON_MESSAGE(PSM_PRESSBUTTON, OnPressButtonMsg)
  ON_MESSAGE(PSM_SETCURSEL, OnSetCurSelMsg)
  ON_MESSAGE(PSM_CHANGED, OnChangedMsg)
  ON_MESSAGE(PSM_UNCHANGED, OnUnchangedMsg)
  ON_MESSAGE(PSM_GETTABCONTROL, OnGetTabControlMsg)
  ON_MESSAGE(PSM_GETCURRENTPAGEHWND, OnGetCurrentPageMsg)
  ON_MESSAGE(PSM_CANCELTOCLOSE, OnCancelToCloseMsg)
  ON_MESSAGE(PSM_SETTITLE, OnSetTitleMsg)
  ON_MESSAGE(PSM_APPLY, OnApplyMsg)
END_MESSAGE_MAP()

CPropertySheet::CPropertySheet() : m_psh{} { m_psh.dwSize = sizeof(m_psh); }

CPropertySheet::CPropertySheet(UINT nIDCaption, CWnd* pParentWnd, UINT iSelectPage) : m_psh{} {
  Construct(nIDCaption, pParentWnd, iSelectPage);
}

CPropertySheet::CPropertySheet(LPCTSTR pszCaption, CWnd* pParentWnd, UINT iSelectPage) : m_psh{} {
  Construct(pszCaption, pParentWnd, iSelectPage);
}

CPropertySheet::~CPropertySheet() = default;

void CPropertySheet::Construct(UINT nIDCaption, CWnd* pParentWnd, UINT iSelectPage) {
  CString caption;
  caption.LoadString(nIDCaption);
  Construct(caption.GetString(), pParentWnd, iSelectPage);
}

void CPropertySheet::Construct(LPCTSTR pszCaption, CWnd* pParentWnd, UINT iSelectPage) {
  m_psh = PROPSHEETHEADER{};
  m_psh.dwSize = sizeof(m_psh);
  m_psh.dwFlags = PSH_PROPSHEETPAGE;
  m_psh.nStartPage = iSelectPage;
  m_strCaption = pszCaption ? pszCaption : "";
  m_psh.pszCaption = m_strCaption.GetString();
  m_pParentWnd = pParentWnd;
}

void CPropertySheet::AddPage(CPropertyPage* pPage) {
  if (!pPage) return;
  m_pages.push_back(pPage);
  m_psh.nPages = static_cast<UINT>(m_pages.size());
  if (m_hWnd && m_tab.m_hWnd) m_tab.InsertItem(GetPageCount() - 1, pPage->GetCaption().GetString());
}

void CPropertySheet::RemovePage(CPropertyPage* pPage) { RemovePage(GetPageIndex(pPage)); }

void CPropertySheet::RemovePage(int nPage) {
  if (nPage < 0 || nPage >= GetPageCount()) return;
  CPropertyPage* p = m_pages[static_cast<size_t>(nPage)];
  if (nPage == m_nActive && m_hWnd) {
    const int other = nPage > 0 ? nPage - 1 : (GetPageCount() > 1 ? 1 : -1);
    if (other >= 0) ShowPage(other, false);
  }
  if (p->m_hWnd) p->DestroyWindow();
  m_pages.erase(m_pages.begin() + nPage);
  if (m_nActive > nPage) --m_nActive;
  else if (m_nActive == nPage) m_nActive = -1;
  if (m_tab.m_hWnd) m_tab.DeleteItem(nPage);
  m_psh.nPages = static_cast<UINT>(m_pages.size());
}

CPropertyPage* CPropertySheet::GetPage(int nPage) const {
  return nPage >= 0 && nPage < GetPageCount() ? m_pages[static_cast<size_t>(nPage)] : nullptr;
}

int CPropertySheet::GetPageIndex(CPropertyPage* pPage) const {
  for (int i = 0; i < GetPageCount(); ++i)
    if (m_pages[static_cast<size_t>(i)] == pPage) return i;
  return -1;
}

CPropertyPage* CPropertySheet::GetActivePage() const {
  if (m_hWnd) return GetPage(m_nActive);
  return GetPage(static_cast<int>(m_psh.nStartPage));
}

int CPropertySheet::GetActiveIndex() const { return m_hWnd ? m_nActive : static_cast<int>(m_psh.nStartPage); }

BOOL CPropertySheet::SetActivePage(int nPage) {
  if (nPage < 0 || nPage >= GetPageCount()) return FALSE;
  if (!m_hWnd) {
    m_psh.nStartPage = static_cast<UINT>(nPage);
    return TRUE;
  }
  return ShowPage(nPage, true) ? TRUE : FALSE;
}

BOOL CPropertySheet::SetActivePage(CPropertyPage* pPage) { return SetActivePage(GetPageIndex(pPage)); }

void CPropertySheet::SetTitle(LPCTSTR lpszText, UINT) {
  m_strCaption = lpszText ? lpszText : "";
  m_psh.pszCaption = m_strCaption.GetString();
  if (m_hWnd) SetWindowText(m_strCaption);
}

CTabCtrl* CPropertySheet::GetTabControl() const {
  return m_tab.m_hWnd ? const_cast<CTabCtrl*>(&m_tab) : nullptr;
}

void CPropertySheet::SetWizardButtons(DWORD dwFlags) {
  if (!m_hWnd) return;
  HWND back = ::GetDlgItem(m_hWnd, ID_WIZBACK);
  HWND next = ::GetDlgItem(m_hWnd, ID_WIZNEXT);
  HWND finish = ::GetDlgItem(m_hWnd, ID_WIZFINISH);
  if (back) ::EnableWindow(back, (dwFlags & PSWIZB_BACK) ? TRUE : FALSE);
  if (dwFlags & (PSWIZB_FINISH | PSWIZB_DISABLEDFINISH)) {
    if (next) ::ShowWindow(next, SW_HIDE);
    if (finish) {
      ::ShowWindow(finish, SW_SHOW);
      ::EnableWindow(finish, (dwFlags & PSWIZB_FINISH) ? TRUE : FALSE);
    }
    ::SendMessage(m_hWnd, DM_SETDEFID, ID_WIZFINISH, 0);
  } else {
    if (finish) ::ShowWindow(finish, SW_HIDE);
    if (next) {
      ::ShowWindow(next, SW_SHOW);
      ::EnableWindow(next, (dwFlags & PSWIZB_NEXT) ? TRUE : FALSE);
    }
    ::SendMessage(m_hWnd, DM_SETDEFID, ID_WIZNEXT, 0);
  }
}

void CPropertySheet::SetFinishText(LPCTSTR lpszText) {
  if (m_hWnd) SendMessage(PSM_SETFINISHTEXT, 0, reinterpret_cast<LPARAM>(lpszText));
}

void CPropertySheet::PressButton(int nButton) {
  if (m_hWnd) SendMessage(PSM_PRESSBUTTON, static_cast<WPARAM>(nButton));
}

bool CPropertySheet::MakePage(int nPage) {
  CPropertyPage* p = GetPage(nPage);
  if (!p) return false;
  if (p->m_hWnd) return true;
  const QmDialogTemplate* t = p->FindTemplate();
  if (!t) return false;
  QmDialogTemplate copy = *t;
  copy.style = (copy.style & ~(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_BORDER | DS_MODALFRAME | WS_VISIBLE)) |
               WS_CHILD | DS_CONTROL | WS_CLIPSIBLINGS;
  copy.exStyle = (copy.exStyle & ~WS_EX_DLGMODALFRAME) | WS_EX_CONTROLPARENT;
  copy.x = 0;
  copy.y = 0;
  p->m_bFirstSetActive = TRUE;
  p->m_bModified = FALSE;
  if (!QmCreateDialogFromTemplate(copy, m_hWnd, p, reinterpret_cast<LPARAM>(&p->m_psp))) {
    std::fprintf(stderr, "Property page %u cannot be made\n", p->m_nIDTemplate);
    return false;
  }
  // Controls filled while the page is made are no change of the user's.
  p->m_bModified = FALSE;
  UpdateApply();
  LayOutPage(p);
  return true;
}

void CPropertySheet::LayOutPage(CPropertyPage* page) const {
  if (page && page->m_hWnd)
    ::SetWindowPos(page->m_hWnd, nullptr, m_rcPage.left, m_rcPage.top, m_rcPage.right - m_rcPage.left,
                   m_rcPage.bottom - m_rcPage.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

bool CPropertySheet::ShowPage(int nPage, bool leaveCurrent) {
  if (nPage < 0 || nPage >= GetPageCount() || !m_hWnd) return false;
  if (nPage == m_nActive) return true;
  CPropertyPage* old = GetPage(m_nActive);
  if (leaveCurrent && old && old->m_hWnd && !old->OnKillActive()) return false;
  if (!MakePage(nPage)) return false;
  CPropertyPage* p = m_pages[static_cast<size_t>(nPage)];
  if (!p->OnSetActive() || !p->m_hWnd || !m_hWnd) {
    if (m_tab.m_hWnd && m_nActive >= 0) m_tab.SetCurSel(m_nActive);
    return false;
  }
  if (old && old != p && old->m_hWnd) old->ShowWindow(SW_HIDE);
  m_nActive = nPage;
  LayOutPage(p);
  p->ShowWindow(SW_SHOW);
  if (m_tab.m_hWnd) m_tab.SetCurSel(nPage);
  if (HWND first = ::GetNextDlgTabItem(p->m_hWnd, nullptr, FALSE)) ::SetFocus(first);
  return true;
}

bool CPropertySheet::BuildWindow(HWND owner) {
  const QmDialogTemplate* first = m_pages.empty() ? nullptr : m_pages.front()->FindTemplate();
  QmDialogTemplate t;
  t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_3DLOOK | DS_SETFONT;
  t.caption = m_strCaption;
  t.fontSize = first && first->fontSize ? first->fontSize : 8;
  t.fontWeight = first ? first->fontWeight : 0;
  t.fontItalic = first ? first->fontItalic : false;
  t.fontCharset = first ? first->fontCharset : 0;
  t.fontFace = first && first->fontSize ? first->fontFace : CString("MS Sans Serif");
  t.cx = 100;
  t.cy = 100;
  if (!QmCreateDialogFromTemplate(t, owner, this, 0) || !m_hWnd) return false;
  const HFONT font = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));

  // The page area: as large as the largest page.
  int pw = 0, ph = 0;
  for (CPropertyPage* p : m_pages) {
    const QmDialogTemplate* pt = p->FindTemplate();
    if (!pt) continue;
    const CRect r = Dlu(m_hWnd, 0, 0, pt->cx, pt->cy);
    pw = std::max(pw, r.Width());
    ph = std::max(ph, r.Height());
  }
  const CRect margin = Dlu(m_hWnd, 0, 0, 7, 7);
  const CRect button = Dlu(m_hWnd, 0, 0, 50, 14);
  const CRect gap = Dlu(m_hWnd, 0, 0, 4, 4);
  const int mx = margin.Width(), my = margin.Height();
  auto makeButton = [&](UINT id, const CString& text, int x, int y, bool def, bool visible) {
    const DWORD style = WS_CHILD | WS_TABSTOP | (visible ? WS_VISIBLE : 0) | (def ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
    HWND b = ::CreateWindowEx(0, "Button", text, style, x, y, button.Width(), button.Height(), m_hWnd,
                              reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), nullptr, nullptr);
    if (b) ::SendMessage(b, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return b;
  };
  std::vector<std::pair<UINT, CString>> row;
  int width = 0, buttonsTop = 0;
  if (IsWizard()) {
    m_rcPage = CRect(mx, my, mx + pw, my + ph);
    width = pw + 2 * mx;
    const int lineY = m_rcPage.bottom + my;
    ::CreateWindowEx(0, "Static", "", WS_CHILD | WS_VISIBLE | SS_ETCHEDHORZ, mx, lineY, width - 2 * mx, 2, m_hWnd,
                     reinterpret_cast<HMENU>(static_cast<UINT_PTR>(0xFFFF)), nullptr, nullptr);
    buttonsTop = lineY + 2 + my;
    // Right to left: Help, Cancel, Next / Finish, Back.
    int x = width - mx;
    if (m_psh.dwFlags & PSH_HASHELP) {
      x -= button.Width();
      makeButton(IDHELP, Text(kHelp), x, buttonsTop, false, true);
      x -= gap.Width();
    }
    x -= button.Width();
    makeButton(IDCANCEL, Text(kCancel), x, buttonsTop, false, true);
    x -= gap.Width() + button.Width();
    makeButton(ID_WIZNEXT, Text(kNext), x, buttonsTop, true, true);
    makeButton(ID_WIZFINISH, Text(kFinish), x, buttonsTop, false, false);
    x -= button.Width();
    makeButton(ID_WIZBACK, Text(kBack), x, buttonsTop, false, true);
    ::SendMessage(m_hWnd, DM_SETDEFID, ID_WIZNEXT, 0);
  } else {
    CRect display(0, 0, pw, ph);
    if (!m_tab.Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS, CRect(0, 0, 10, 10), this, AFX_IDC_TAB_CONTROL))
      return false;
    m_tab.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    for (int i = 0; i < GetPageCount(); ++i) m_tab.InsertItem(i, m_pages[static_cast<size_t>(i)]->GetCaption().GetString());
    CRect outer = display;
    m_tab.AdjustRect(TRUE, &outer);
    const int dx = mx - outer.left, dy = my - outer.top;
    outer.OffsetRect(dx, dy);
    display.OffsetRect(dx, dy);
    m_tab.MoveWindow(&outer, FALSE);
    m_rcPage = display;
    width = outer.right + mx;
    buttonsTop = outer.bottom + my;
    row.emplace_back(IDOK, Text(kOk));
    row.emplace_back(IDCANCEL, Text(kCancel));
    if (!(m_psh.dwFlags & PSH_NOAPPLYNOW)) row.emplace_back(ID_APPLY_NOW, Text(kApply));
    if (m_psh.dwFlags & PSH_HASHELP) row.emplace_back(IDHELP, Text(kHelp));
    int x = outer.right - static_cast<int>(row.size()) * button.Width() - static_cast<int>(row.size() - 1) * gap.Width();
    for (const auto& [id, text] : row) {
      makeButton(id, text, x, buttonsTop, id == IDOK, true);
      x += button.Width() + gap.Width();
    }
    if (HWND apply = ::GetDlgItem(m_hWnd, static_cast<int>(ID_APPLY_NOW))) ::EnableWindow(apply, FALSE);
  }
  // The sheet's size for its client area.
  RECT client{0, 0, width, buttonsTop + button.Height() + my};
  ::AdjustWindowRectEx(&client, GetStyle(), FALSE, GetExStyle());
  SetWindowPos(nullptr, 0, 0, client.right - client.left, client.bottom - client.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  if (!m_hWnd) return false;

  HICON icon = nullptr;
  if (m_psh.dwFlags & PSH_USEHICON) icon = m_psh.hIcon;
  else if ((m_psh.dwFlags & PSH_USEICONID) && m_psh.pszIcon)
    icon = ::LoadIcon(m_psh.hInstance ? m_psh.hInstance : AfxGetResourceHandle(), m_psh.pszIcon);
  if (icon) {
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
  }
  CenterWindow(CWnd::FromHandle(owner));

  int start = static_cast<int>(m_psh.nStartPage);
  if (start < 0 || start >= GetPageCount()) start = 0;
  if (!ShowPage(start, false) && !(start != 0 && ShowPage(0, false))) {
    std::fprintf(stderr, "Property sheet \"%s\": no page can be shown\n", m_strCaption.GetString());
    return false;
  }
  return m_hWnd != nullptr;
}

BOOL CPropertySheet::OnInitDialog() { return TRUE; }

INT_PTR CPropertySheet::DoModal() {
  if (m_pages.empty() || m_hWnd) return -1;
  HWND parent = QmHwnd(m_pParentWnd);
  if (!parent) {
    if (CWnd* main = AfxGetMainWnd()) parent = main->m_hWnd;
  }
  if (parent) parent = ::GetAncestor(parent, GA_ROOT);
  bool enableParent = false;
  if (parent && ::IsWindowEnabled(parent)) {
    ::EnableWindow(parent, FALSE);
    enableParent = true;
  }
  m_nModalResult = -1;
  m_bEnded = false;
  m_nActive = -1;
  m_nFlags |= WF_CONTINUEMODAL;
  const bool built = BuildWindow(parent);
  const HWND sheet = m_hWnd;
  if (built) {
    OnInitDialog();
    if (m_hWnd && (m_nFlags & WF_CONTINUEMODAL)) {
      ShowWindow(SW_SHOWNORMAL);
      if (!ModalHookInstalled() && NoDisplay()) {
        std::fprintf(stderr, "Property sheet \"%s\": no display to show it on; it is cancelled\n", m_strCaption.GetString());
        EndDialog(IDCANCEL);
      } else if (m_hWnd) {
        RunModalLoop();
      }
    }
  } else {
    m_nModalResult = -1;
  }
  m_nFlags &= ~WF_CONTINUEMODAL;
  if (::IsWindow(sheet)) ::SetWindowPos(sheet, nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
  if (enableParent && ::IsWindow(parent)) {
    ::EnableWindow(parent, TRUE);
    ::SetActiveWindow(parent);
  }
  if (::IsWindow(sheet)) ::DestroyWindow(sheet);
  m_nActive = -1;
  return m_nModalResult;
}

void CPropertySheet::EndDialog(int nEndID) {
  if (m_bEnded) return;
  m_bEnded = true;
  m_nModalResult = nEndID;
  EndModalLoop(nEndID);
}

void CPropertySheet::UpdateApply() {
  if (!m_hWnd) return;
  HWND apply = ::GetDlgItem(m_hWnd, static_cast<int>(ID_APPLY_NOW));
  if (!apply) return;
  bool any = false;
  for (CPropertyPage* p : m_pages) any = any || (p->m_hWnd && p->m_bModified);
  ::EnableWindow(apply, any ? TRUE : FALSE);
}

bool CPropertySheet::ApplyAll() {
  for (int i = 0; i < GetPageCount(); ++i) {
    CPropertyPage* p = m_pages[static_cast<size_t>(i)];
    if (!p->m_hWnd) continue;
    if (!p->OnApply()) {
      ShowPage(i, false);
      return false;
    }
    if (!m_hWnd) return false;
    p->m_bModified = FALSE;
  }
  UpdateApply();
  return true;
}

void CPropertySheet::OnOkButton() {
  CPropertyPage* a = GetPage(m_nActive);
  if (a && a->m_hWnd && !a->OnKillActive()) return;
  if (!ApplyAll()) return;
  EndDialog(IDOK);
}

void CPropertySheet::OnCancelButton() {
  CPropertyPage* a = GetPage(m_nActive);
  if (a && a->m_hWnd && !a->OnQueryCancel()) return;
  for (CPropertyPage* p : m_pages)
    if (p->m_hWnd) p->OnReset();
  EndDialog(IDCANCEL);
}

int CPropertySheet::PageOfTemplate(LRESULT id) const {
  for (int i = 0; i < GetPageCount(); ++i) {
    const CPropertyPage* p = m_pages[static_cast<size_t>(i)];
    if (p->m_nIDTemplate == static_cast<UINT>(id) ||
        reinterpret_cast<std::uintptr_t>(p->m_psp.pszTemplate) == static_cast<std::uintptr_t>(id))
      return i;
  }
  return -1;
}

void CPropertySheet::OnWizardStep(bool next) {
  CPropertyPage* a = GetPage(m_nActive);
  if (!a) return;
  const LRESULT r = next ? a->OnWizardNext() : a->OnWizardBack();
  if (r == -1 || !m_hWnd) return;
  const int target = r == 0 ? m_nActive + (next ? 1 : -1) : PageOfTemplate(r);
  if (target < 0 || target >= GetPageCount()) return;
  ShowPage(target, true);
}

void CPropertySheet::OnFinishButton() {
  CPropertyPage* a = GetPage(m_nActive);
  if (a && !a->OnWizardFinish()) return;
  EndDialog(ID_WIZFINISH);
}

BOOL CPropertySheet::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (CWnd::OnCommand(wParam, lParam)) return TRUE;
  const UINT id = LOWORD(wParam);
  if (HIWORD(wParam) != BN_CLICKED) return FALSE;
  switch (id) {
    case IDOK:
    case IDCANCEL:
    case ID_APPLY_NOW:
    case ID_WIZBACK:
    case ID_WIZNEXT:
    case ID_WIZFINISH:
      break;
    case IDHELP:
      return TRUE;
    default:
      return FALSE;
  }
  if (m_bEnded) return TRUE;  // the sheet is closing: nothing more runs
  if (lParam && !::IsWindowEnabled(reinterpret_cast<HWND>(lParam))) return TRUE;
  switch (id) {
    case IDOK:
      if (IsWizard()) {
        // Enter on a wizard: the default button.
        const DWORD def = static_cast<DWORD>(SendMessage(DM_GETDEFID));
        if (LOWORD(def) == ID_WIZFINISH) OnFinishButton();
        else OnWizardStep(true);
      } else {
        OnOkButton();
      }
      break;
    case IDCANCEL:
      OnCancelButton();
      break;
    case ID_APPLY_NOW: {
      CPropertyPage* a = GetPage(m_nActive);
      if (a && a->m_hWnd && !a->OnKillActive()) break;
      ApplyAll();
      break;
    }
    case ID_WIZBACK:
      OnWizardStep(false);
      break;
    case ID_WIZNEXT:
      OnWizardStep(true);
      break;
    case ID_WIZFINISH:
      OnFinishButton();
      break;
    default:
      break;
  }
  return TRUE;
}

BOOL CPropertySheet::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  const auto* nm = reinterpret_cast<const NMHDR*>(lParam);
  if (nm && m_tab.m_hWnd && nm->hwndFrom == m_tab.m_hWnd) {
    if (nm->code == TCN_SELCHANGING) {
      CPropertyPage* a = GetPage(m_nActive);
      const bool keep = a && a->m_hWnd && !a->OnKillActive();
      if (pResult) *pResult = keep ? TRUE : FALSE;
      return TRUE;
    }
    if (nm->code == TCN_SELCHANGE) {
      if (!ShowPage(m_tab.GetCurSel(), false) && m_tab.m_hWnd && m_nActive >= 0) m_tab.SetCurSel(m_nActive);
      if (pResult) *pResult = 0;
      return TRUE;
    }
  }
  return CWnd::OnNotify(wParam, lParam, pResult);
}

BOOL CPropertySheet::PreTranslateMessage(MSG* pMsg) {
  if (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST) return ::IsDialogMessage(m_hWnd, pMsg);
  return FALSE;
}

LRESULT CPropertySheet::OnSetFinishTextMsg(WPARAM, LPARAM lParam) {
  HWND finish = ::GetDlgItem(m_hWnd, static_cast<int>(ID_WIZFINISH));
  if (!finish) return 0;
  ::SetWindowText(finish, lParam ? reinterpret_cast<LPCTSTR>(lParam) : "");
  for (UINT id : {ID_WIZBACK, ID_WIZNEXT})
    if (HWND b = ::GetDlgItem(m_hWnd, static_cast<int>(id))) ::ShowWindow(b, SW_HIDE);
  ::EnableWindow(finish, TRUE);
  ::ShowWindow(finish, SW_SHOW);
  ::SendMessage(m_hWnd, DM_SETDEFID, ID_WIZFINISH, 0);
  return 0;
}

LRESULT CPropertySheet::OnSetWizButtonsMsg(WPARAM, LPARAM lParam) {
  SetWizardButtons(static_cast<DWORD>(lParam));
  return 0;
}

LRESULT CPropertySheet::OnPressButtonMsg(WPARAM wParam, LPARAM) {
  UINT id = 0;
  switch (static_cast<int>(wParam)) {
    case PSBTN_BACK: id = ID_WIZBACK; break;
    case PSBTN_NEXT: id = ID_WIZNEXT; break;
    case PSBTN_FINISH: id = ID_WIZFINISH; break;
    case PSBTN_OK: id = IDOK; break;
    case PSBTN_APPLYNOW: id = ID_APPLY_NOW; break;
    case PSBTN_CANCEL: id = IDCANCEL; break;
    case PSBTN_HELP: id = IDHELP; break;
    default: return 0;
  }
  HWND b = ::GetDlgItem(m_hWnd, static_cast<int>(id));
  SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), BN_CLICKED), reinterpret_cast<LPARAM>(b));
  return 0;
}

LRESULT CPropertySheet::OnSetCurSelMsg(WPARAM wParam, LPARAM lParam) {
  int n = static_cast<int>(wParam);
  if (lParam) {
    for (int i = 0; i < GetPageCount(); ++i)
      if (m_pages[static_cast<size_t>(i)]->m_hWnd == reinterpret_cast<HWND>(lParam)) n = i;
  }
  return ShowPage(n, true) ? TRUE : FALSE;
}

LRESULT CPropertySheet::OnChangedMsg(WPARAM wParam, LPARAM) {
  for (CPropertyPage* p : m_pages)
    if (p->m_hWnd == reinterpret_cast<HWND>(wParam)) p->m_bModified = TRUE;
  UpdateApply();
  return 0;
}

LRESULT CPropertySheet::OnUnchangedMsg(WPARAM wParam, LPARAM) {
  for (CPropertyPage* p : m_pages)
    if (p->m_hWnd == reinterpret_cast<HWND>(wParam)) p->m_bModified = FALSE;
  UpdateApply();
  return 0;
}

LRESULT CPropertySheet::OnGetTabControlMsg(WPARAM, LPARAM) { return reinterpret_cast<LRESULT>(m_tab.m_hWnd); }

LRESULT CPropertySheet::OnGetCurrentPageMsg(WPARAM, LPARAM) {
  CPropertyPage* a = GetPage(m_nActive);
  return reinterpret_cast<LRESULT>(a ? a->m_hWnd : nullptr);
}

LRESULT CPropertySheet::OnCancelToCloseMsg(WPARAM, LPARAM) {
  if (HWND ok = ::GetDlgItem(m_hWnd, IDOK)) ::SetWindowText(ok, Text(kClose));
  if (HWND cancel = ::GetDlgItem(m_hWnd, IDCANCEL)) ::EnableWindow(cancel, FALSE);
  return 0;
}

LRESULT CPropertySheet::OnSetTitleMsg(WPARAM, LPARAM lParam) {
  SetTitle(lParam ? reinterpret_cast<LPCTSTR>(lParam) : "");
  return 0;
}

LRESULT CPropertySheet::OnApplyMsg(WPARAM, LPARAM) { return ApplyAll() ? TRUE : FALSE; }
