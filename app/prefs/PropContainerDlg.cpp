#include "app/prefs/PropContainerDlg.h"

#include "app/MainFrm.h"
#include "app/prefs/BeadSizeDlg.h"
#include "app/prefs/CustShortcutKeyDlg.h"
#include "app/prefs/MicsParametersDlg.h"
#include "app/prefs/PrefPages.h"
#include "app/prefs/PropDlg.h"
#include "controls/WindowUtils.h"
#include "core/FrameServices.h"
#include "lang/ids/shell.h"

BEGIN_MESSAGE_MAP(CPropContainerDlg, CDialog)
  ON_NOTIFY(LVN_ITEMCHANGED, IDC_PREF_LIST, OnItemChanged)
  ON_BN_CLICKED(IDC_PREF_APPLY, OnApply)
  ON_WM_MOVE()
END_MESSAGE_MAP()

CPropContainerDlg::CPropContainerDlg(int startPage, CWnd* parent)
    : CDialog(IDD_PREFERENCES, parent), m_parent(parent), m_current(startPage) {}

CPropContainerDlg::~CPropContainerDlg() {
  for (Page& p : m_pages) p.page.reset();
}

CPropDlg* CPropContainerDlg::GetPage(int index) const {
  if (index < 0 || index >= static_cast<int>(m_pages.size())) return nullptr;
  return m_pages[static_cast<size_t>(index)].page.get();
}

BOOL CPropContainerDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  m_icons.Create(16, 16, ILC_COLOR24 | ILC_MASK, 4, 1);
  m_list.SubclassDlgItem(IDC_PREF_LIST, this);
  const struct {
    UINT name;
    UINT icon;
  } table[kPageCount] = {{IDS_PAGE_STARTUP, IDI_PAGE_STARTUP},   {IDS_PAGE_SHORTCUTS, IDI_PAGE_SHORTCUTS},
                         {IDS_PAGE_MEMORY, IDI_PAGE_MEMORY},     {IDS_PAGE_RULER, IDI_PAGE_RULER},
                         {IDS_PAGE_STATUSBAR, IDI_PAGE_STATUSBAR}, {IDS_PAGE_BEAD_SIZES, IDI_PAGE_BEAD_SIZES},
                         {IDS_PAGE_PDF, IDI_TB_PDF},              {IDS_PAGE_MISC, IDI_PAGE_MISC}};
  for (int i = 0; i < kPageCount; ++i) {
    std::unique_ptr<CPropDlg> page;
    switch (i) {
      case 0: page = std::make_unique<CStartupOpt>(this); break;
      case 1: {
        auto* frame = dynamic_cast<CMainFrame*>(AfxGetMainWnd());
        page = std::make_unique<CCustShortcutKeyDlg>(IDR_MAINFRAME, IDR_MAINFRAME, frame ? &frame->GetMainMenu() : nullptr,
                                                     this);
        break;
      }
      case 2: page = std::make_unique<CVirtualScreenSize>(this); break;
      case 3: page = std::make_unique<CRulerMetricsDlg>(this); break;
      case 4: page = std::make_unique<CStatusbarInfoDlg>(this); break;
      case 5: page = std::make_unique<CBeadSizeDlg>(this); break;
      case 6: page = std::make_unique<CPDFPageSizeDlg>(this); break;
      default: page = std::make_unique<CMicsParametersDlg>(this); break;
    }
    page->CreatePage(this);
    Page record;
    record.page = std::move(page);
    record.name = LoadResString(table[i].name);
    record.icon = table[i].icon;
    m_pages.push_back(std::move(record));
  }
  CRect listClient;
  m_list.GetClientRect(&listClient);
  m_list.InsertColumn(0, LoadResString(IDS_PREF_CATEGORY), LVCFMT_LEFT, listClient.Width());
  m_list.SetImageList(&m_icons, LVSIL_SMALL);
  for (size_t i = 0; i < m_pages.size(); ++i) {
    Page& p = m_pages[i];
    HICON icon = static_cast<HICON>(::LoadImage(AfxGetResourceHandle(), MAKEINTRESOURCE(p.icon), IMAGE_ICON, 16, 16, 0));
    const int image = icon ? m_icons.Add(icon) : -1;
    if (icon) ::DestroyIcon(icon);
    m_list.InsertItem(LVIF_TEXT | LVIF_IMAGE, static_cast<int>(i), p.name, 0, 0, image, 0);
    CRect r;
    p.page->GetClientRect(&r);
    p.size = r.Size();
  }
  if (m_current < 0 || m_current >= static_cast<int>(m_pages.size())) m_current = 0;
  m_list.SetItemState(m_current, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  return TRUE;
}

void CPropContainerDlg::PlacePage(int index) {
  CPropDlg* page = GetPage(index);
  if (!page || !page->m_hWnd) return;
  const CSize size = m_pages[static_cast<size_t>(index)].size;
  RECT listRect;
  GetChildRectInParent(this, &m_list, listRect);
  const bool child = (page->GetStyle() & WS_CHILD) != 0;
  CRect container;
  if (child) GetClientRect(&container);
  else GetWindowRect(&container);
  int x = container.left + listRect.right + 16;
  int y = container.top + listRect.top;
  if (container.Height() > size.cy) y += (container.Height() - size.cy) / 2;
  if (child) {
    // A child page keeps to the client area beside the list.
    x = listRect.right + 16;
    y = listRect.top;
  }
  page->SetWindowPos(nullptr, x, y, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

void CPropContainerDlg::OnItemChanged(NMHDR* pNMHDR, LRESULT* pResult) {
  *pResult = 0;
  const auto* info = reinterpret_cast<NMLISTVIEW*>(pNMHDR);
  if (!(info->uNewState & LVIS_SELECTED) || (info->uOldState & LVIS_SELECTED)) return;
  m_current = info->iItem;
  for (int i = 0; i < static_cast<int>(m_pages.size()); ++i) {
    CPropDlg* page = GetPage(i);
    if (!page || !page->m_hWnd) continue;
    if (i == m_current) {
      PlacePage(i);
      page->ShowWindow(SW_SHOW);
      SetFocus();
    } else {
      page->ShowWindow(SW_HIDE);
    }
  }
  if (m_current >= 0) {
    if (HICON icon = ImageList_GetIcon(m_icons, m_current, 0)) SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    CString caption;
    caption.Format(LoadResString(IDS_PREF_CAPTION), m_pages[static_cast<size_t>(m_current)].name.GetString());
    SetWindowText(caption);
  }
}

void CPropContainerDlg::ApplyCurrentPage() {
  const int selected = m_list.m_hWnd ? m_list.GetNextItem(-1, LVNI_SELECTED) : -1;
  if (CPropDlg* page = GetPage(selected)) page->Apply();
}

void CPropContainerDlg::OnApply() { ApplyCurrentPage(); }

void CPropContainerDlg::OnMove(int x, int y) {
  CDialog::OnMove(x, y);
  const int selected = m_list.m_hWnd ? m_list.GetNextItem(-1, LVNI_SELECTED) : -1;
  if (selected >= 0) PlacePage(selected);
}
