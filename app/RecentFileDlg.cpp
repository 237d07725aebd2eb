#include "app/RecentFileDlg.h"

#include "app/bars/AppStatusBar.h"
#include "controls/DrawUtils.h"
#include "controls/RecentFiles.h"
#include "core/FrameServices.h"
#include "image/Image.h"
#include "lang/ids/shell.h"
#include "platform/wnd/hooks.h"
#include "view/FramePorts.h"

const UINT g_msgClickOut = RegisterWindowMessage("m_uiMsgClickOutWindow");

namespace {

HHOOK g_hook = nullptr;
HWND g_hookDialog = nullptr;

LRESULT ClickOutProc(int code, WPARAM wParam, LPARAM lParam) {
  if (code >= 0 && (wParam == WM_LBUTTONDOWN || wParam == WM_RBUTTONDOWN) && g_hookDialog) {
    const auto* info = reinterpret_cast<const MSLLHOOKSTRUCT*>(lParam);
    RECT r;
    if (::GetWindowRect(g_hookDialog, &r) && !::PtInRect(&r, info->pt))
      ::PostMessage(g_hookDialog, GetClickOutMessage(), 0, 0);
  }
  return CallNextHookEx(g_hook, code, wParam, lParam);
}

}  // namespace

UINT GetClickOutMessage() { return g_msgClickOut; }

bool InstallClickOutHook(CWnd* dialog) {
  g_hookDialog = dialog ? dialog->m_hWnd : nullptr;
  if (g_hook) return false;
  g_hook = SetWindowsHookEx(WH_MOUSE_LL, ClickOutProc, nullptr, 0);
  return g_hook != nullptr;
}

void RemoveClickOutHook() {
  if (g_hook) UnhookWindowsHookEx(g_hook);
  g_hook = nullptr;
  g_hookDialog = nullptr;
}

bool IsClickOutHookInstalled() { return g_hook != nullptr; }

BEGIN_MESSAGE_MAP(CRecentFileDlg, CDialog)
  ON_WM_PAINT()
  ON_NOTIFY(LVN_ITEMCHANGED, IDC_PREF_LIST, OnItemChanged)
  ON_NOTIFY(NM_CLICK, IDC_PREF_LIST, OnItemClick)
  ON_REGISTERED_MESSAGE(g_msgClickOut, OnClickOut)
END_MESSAGE_MAP()

CRecentFileDlg::CRecentFileDlg(CRecentFiles* files, CPoint topLeft, CWnd* owner)
    : CDialog(IDD_RECENT_DESIGNS, owner), m_files(files), m_topLeft(topLeft), m_owner(owner) {}

CRecentFileDlg::~CRecentFileDlg() {
  if (IsClickOutHookInstalled() && g_hookDialog == m_hWnd) RemoveClickOutHook();
}

CRect CRecentFileDlg::PlaceOnScreen(CPoint topLeft, int screenWidth, int screenHeight) {
  CRect r(topLeft.x, topLeft.y, topLeft.x + kWidth, topLeft.y + kHeight);
  if (r.bottom > screenHeight) r.OffsetRect(0, -(r.bottom - screenHeight));
  if (r.right > screenWidth) r.OffsetRect(-(r.right - screenWidth), 0);
  return r;
}

BOOL CRecentFileDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  m_list.SubclassDlgItem(IDC_PREF_LIST, this);
  CLogFont lf;
  lf.SetFaceName("MS Sans Serif");
  lf.lfHeight = 10;
  m_font.CreateFontIndirect(&lf);
  m_list.SetFont(&m_font);
  m_list.SetItemFont(&m_font);
  m_list.MoveWindow(0, 0, kListWidth, kHeight);
  m_list.InsertColumn(0, "", LVCFMT_LEFT, 100);
  m_list.SetBkColor(::GetSysColor(COLOR_BTNFACE));
  m_list.SetTextBkColor(::GetSysColor(COLOR_BTNFACE));
  m_list.SetExtendedStyle(m_list.GetExtendedStyle() | LVS_EX_TRACKSELECT | LVS_EX_ONECLICKACTIVATE);
  const CRect place = PlaceOnScreen(m_topLeft, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN));
  MoveWindow(place);
  for (int i = 0; i < m_files->GetCount(); ++i) m_list.InsertItem(i, m_files->GetItemText(i));
  if (m_files->GetCount() > 0) m_list.SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  InstallClickOutHook(this);
  return TRUE;
}

void CRecentFileDlg::OnPaint() {
  CPaintDC dc(this);
  const CRect area(kListWidth, 0, kWidth, kHeight);
  dc.FillSolidRect(area, ::GetSysColor(COLOR_BTNFACE));
  const int sel = m_list.m_hWnd ? m_list.GetNextItem(-1, LVNI_SELECTED) : -1;
  if (sel >= 0 && sel < m_files->GetCount()) {
    const CRecentFiles::Entry& e = m_files->GetEntry(sel);
    if (e.thumbnail) e.thumbnail->DrawFitCentred(&dc, area);
  }
  ShowSelectedPath();
}

void CRecentFileDlg::ShowSelectedPath() {
  const int sel = m_list.m_hWnd ? m_list.GetNextItem(-1, LVNI_SELECTED) : -1;
  if (sel < 0 || sel >= m_files->GetCount()) return;
  if (IMainFrame* frame = GetIMainFrame())
    if (CAppStatusBar* bar = frame->GetStatusBar()) bar->SetWindowText(m_files->GetEntry(sel).path);
}

void CRecentFileDlg::OnItemChanged(NMHDR*, LRESULT* pResult) {
  InvalidateRect(CRect(kListWidth, 0, kWidth, kHeight), FALSE);
  *pResult = 0;
}

void CRecentFileDlg::OnItemClick(NMHDR*, LRESULT* pResult) {
  *pResult = 0;
  Confirm();
}

void CRecentFileDlg::Confirm() {
  const int sel = m_list.GetNextItem(-1, LVNI_SELECTED);
  if (sel >= 0 && m_owner) m_owner->PostMessage(WM_COMMAND, m_files->GetFirstCommand() + static_cast<UINT>(sel));
  RemoveClickOutHook();
  EndDialog(IDOK);
}

void CRecentFileDlg::OnOK() { Confirm(); }

void CRecentFileDlg::OnCancel() {
  RemoveClickOutHook();
  EndDialog(IDCANCEL);
}

LRESULT CRecentFileDlg::OnClickOut(WPARAM, LPARAM) {
  OnCancel();
  return 0;
}
