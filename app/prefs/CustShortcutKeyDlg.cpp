#include "app/prefs/CustShortcutKeyDlg.h"

#include "app/MainFrm.h"
#include "app/bars/MSOfficeMenu.h"
#include "controls/DrawUtils.h"
#include "controls/CommandName.h"
#include "core/FrameServices.h"
#include "lang/ids/shell.h"
#include "platform/base/resource.h"

namespace {
// The tab shown last, for the run.
int g_lastTab = 0;
constexpr DWORD_PTR kNoCommand = static_cast<DWORD_PTR>(-1);
}  // namespace

// ---- CAccelTreeCtrl ----

BEGIN_MESSAGE_MAP(CAccelTreeCtrl, CTreeCtrl)
  ON_WM_PAINT()
END_MESSAGE_MAP()

int CAccelTreeCtrl::GetKeyColumn() const {
  if (m_keyColumn >= 0) return m_keyColumn;
  CRect r;
  GetClientRect(&r);
  return r.Width() * 2 / 3;
}

void CAccelTreeCtrl::OnPaint() {
  Default();  // the tree's own painting first
  CClientDC dc(this);
  CRect client;
  GetClientRect(&client);
  const int column = GetKeyColumn();
  CPen grey(PS_SOLID, 1, RGB(0xC0, 0xC0, 0xC0));
  CPen* oldPen = dc.SelectObject(&grey);
  dc.MoveTo(column, client.top);
  dc.LineTo(column, client.bottom);
  CLogFont lf;
  lf.SetFaceName("Arial");
  lf.lfHeight = 14;
  CFont font;
  font.CreateFontIndirect(&lf);
  CFont* oldFont = dc.SelectObject(&font);
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextColor(RGB(0, 0, 0xC0));
  for (HTREEITEM item = GetFirstVisibleItem(); item; item = GetNextVisibleItem(item)) {
    CRect r;
    if (!GetItemRect(item, &r, FALSE)) continue;
    if (r.top > client.bottom) break;
    const CRect keys(column + 2, r.top, client.right, r.bottom);
    dc.FillSolidRect(keys, RGB(255, 255, 255));
    CString text;
    const DWORD_PTR data = GetItemData(item);
    if (m_table && data != kNoCommand && m_table->GetKeyText(static_cast<UINT>(data), text)) {
      CRect textRect = keys;
      textRect.left += 2;
      dc.DrawText(text, &textRect, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    }
    dc.MoveTo(column, r.bottom - 1);
    dc.LineTo(client.right, r.bottom - 1);
  }
  dc.SelectObject(oldFont);
  dc.SelectObject(oldPen);
}

// ---- CAccelHotKeyCtrl ----

BEGIN_MESSAGE_MAP(CAccelHotKeyCtrl, CHotKeyCtrl)
  ON_WM_KEYUP()
  ON_WM_SYSKEYUP()
END_MESSAGE_MAP()

void CAccelHotKeyCtrl::OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags) {
  CHotKeyCtrl::OnKeyUp(nChar, nRepCnt, nFlags);
  if (m_page) m_page->AssignKey();
}

void CAccelHotKeyCtrl::OnSysKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags) {
  CHotKeyCtrl::OnSysKeyUp(nChar, nRepCnt, nFlags);
  if (m_page) m_page->AssignKey();
}

// ---- CCustShortcutKeyDlg ----

BEGIN_MESSAGE_MAP(CCustShortcutKeyDlg, CPropDlg)
  ON_NOTIFY(TCN_SELCHANGE, IDC_KEYS_TABS, OnTabChanged)
  ON_NOTIFY(TVN_SELCHANGED, IDC_KEYS_TREE, OnTreeSelChanged)
  ON_NOTIFY(HDN_ITEMCHANGED, IDC_KEYS_HEADER, OnHeaderChanged)
END_MESSAGE_MAP()

CCustShortcutKeyDlg::CCustShortcutKeyDlg(UINT menuId, UINT accelId, CMSOfficeMenu* iconSource, CWnd* parent)
    : CPropDlg(IDD_PREF_SHORTCUTS, parent),
      m_menuId(menuId),
      m_iconSource(iconSource),
      m_table(accelId),
      m_description(RGB(0x60, 0x60, 0x60)),
      m_text2(RGB(0x60, 0x60, 0x60)),
      m_text3(RGB(0x60, 0x40, 0x00)) {}

void CCustShortcutKeyDlg::DoDataExchange(CDataExchange* pDX) {
  DDX_Control(pDX, IDC_KEYS_TABS, m_tabs);
  DDX_Control(pDX, IDC_KEYS_HEADER, m_header);
  DDX_Control(pDX, IDC_KEYS_TREE, m_tree);
  DDX_Control(pDX, IDC_KEYS_HOTKEY, m_hotKey);
  DDX_Control(pDX, IDC_PREF_TEXT1, m_description);
  DDX_Control(pDX, IDC_KEYS_TEXT2, m_text2);
  DDX_Control(pDX, IDC_KEYS_TEXT3, m_text3);
}

CString CCustShortcutKeyDlg::CleanText(const CString& text) { return StripMenuMarks(text); }

BOOL CCustShortcutKeyDlg::OnInitDialog() {
  CPropDlg::OnInitDialog();
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_HOTKEY_CLASS | ICC_BAR_CLASSES};
  InitCommonControlsEx(&icc);
  if (m_iconSource) {
    m_images.Create(16, 15, ILC_COLOR24 | ILC_MASK, 1, 1);
    if (HICON root = ::LoadIcon(AfxGetResourceHandle(), MAKEINTRESOURCE(IDI_SHORTCUT_ROOT))) {
      m_images.Add(root);
      ::DestroyIcon(root);
    }
    m_tree.SetImageList(&m_images, TVSIL_NORMAL);
  }
  if (const QmMenuTemplate* menu = LoadMenuTemplate(AfxGetResourceHandle(), m_menuId)) {
    int tab = 0;
    for (const QmMenuItem& item : menu->items)
      if (!item.text.IsEmpty()) m_tabs.InsertItem(tab++, CleanText(item.text));
  }
  if (g_lastTab < 0 || g_lastTab >= m_tabs.GetItemCount()) g_lastTab = 0;
  m_tabs.SetCurSel(g_lastTab);
  m_table.LoadOrDefaults();
  m_tree.SetTable(&m_table);
  FillTree(g_lastTab);
  m_hotKey.SetPage(this);
  m_hotKey.EnableWindow(FALSE);
  CRect r;
  m_header.GetClientRect(&r);
  const CString command = LoadResString(IDS_KEYS_COMMAND), key = LoadResString(IDS_KEYS_HOT_KEY);
  HDITEM item{};
  item.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT;
  item.fmt = HDF_LEFT | HDF_STRING;
  item.cxy = r.Width() / 3 * 2 - 1;
  item.pszText = const_cast<LPSTR>(command.GetString());
  m_header.InsertItem(0, &item);
  item.cxy = r.Width() / 3 + 5;
  item.pszText = const_cast<LPSTR>(key.GetString());
  m_header.InsertItem(1, &item);
  m_tree.SetKeyColumn(r.Width() / 3 * 2 - 2);
  return TRUE;
}

void CCustShortcutKeyDlg::FillTree(int tab) {
  m_tree.DeleteAllItems();
  const QmMenuTemplate* menu = LoadMenuTemplate(AfxGetResourceHandle(), m_menuId);
  if (!menu) return;
  const QmMenuItem* sub = nullptr;
  int n = 0;
  for (const QmMenuItem& item : menu->items) {
    if (item.text.IsEmpty()) continue;
    if (n++ == tab) {
      sub = &item;
      break;
    }
  }
  if (!sub) return;
  struct Walker {
    CCustShortcutKeyDlg* page;
    void Walk(const std::vector<QmMenuItem>& items, HTREEITEM node) {
      HTREEITEM parent = node;
      for (const QmMenuItem& item : items) {
        if (item.IsPopup()) {
          HTREEITEM popup = page->m_tree.InsertItem(CleanText(item.text), 0, 0, node);
          page->m_tree.SetItemData(popup, kNoCommand);
          Walk(item.items, popup);
          parent = node;
        } else if (item.IsTitledSeparator()) {
          CString title = item.text;
          title.Trim();
          HTREEITEM group = page->m_tree.InsertItem(title, 0, 0, node);
          page->m_tree.SetItemData(group, kNoCommand);
          parent = group;
        } else if (item.IsSeparator() || item.text.IsEmpty()) {
          parent = node;
        } else {
          int image = 0;
          if (page->m_iconSource)
            if (HICON icon = page->m_iconSource->GetCommandIcon(item.id)) {
              image = page->m_images.Add(icon);
              ::DestroyIcon(icon);
            }
          HTREEITEM command = page->m_tree.InsertItem(CleanText(item.text), image, image, parent);
          page->m_tree.SetItemData(command, item.id);
        }
      }
    }
  } walker{this};
  walker.Walk(sub->items, TVI_ROOT);
  if (HTREEITEM first = m_tree.GetRootItem()) m_tree.Expand(first, TVE_EXPAND);
}

void CCustShortcutKeyDlg::OnTabChanged(NMHDR*, LRESULT* pResult) {
  g_lastTab = m_tabs.GetCurSel();
  FillTree(g_lastTab);
  *pResult = 0;
}

int CCustShortcutKeyDlg::SelectedCommand() {
  HTREEITEM item = m_tree.GetSelectedItem();
  if (!item) return -1;
  const DWORD_PTR data = m_tree.GetItemData(item);
  return data == kNoCommand ? -1 : static_cast<int>(data);
}

void CCustShortcutKeyDlg::OnTreeSelChanged(NMHDR*, LRESULT* pResult) {
  *pResult = 0;
  const int command = SelectedCommand();
  CAccelEntry entry;
  if (command >= 0 && m_table.Find(static_cast<UINT>(command), entry)) m_hotKey.SetHotKey(entry.key, entry.modifiers);
  else m_hotKey.SetHotKey(0, 0);
  m_hotKey.EnableWindow(command >= 0);
  CString description;
  if (command >= 0) {
    description = LoadResString(static_cast<UINT>(command));
    const int lineBreak = description.Find('\n');
    if (lineBreak >= 0) description = description.Left(lineBreak);
  }
  m_description.SetText(description);
}

void CCustShortcutKeyDlg::AssignKey() {
  const int command = SelectedCommand();
  if (command < 0) return;
  WORD key = 0, modifiers = 0;
  m_hotKey.GetHotKey(key, modifiers);
  CAccelEntry entry;
  entry.modifiers = static_cast<BYTE>(modifiers);
  entry.key = key;
  entry.command = static_cast<WORD>(command);
  // A key without modifier is checked too: a taken key would be dead.
  if (key == 0 || m_table.IsKeyFree(entry)) {
    m_table.SetKey(entry);
    m_tree.Invalidate(FALSE);
    return;
  }
  CString message = LoadResString(IDS_KEYS_TAKEN);
  message.AppendFormat("\n%s", m_tree.GetItemText(m_tree.GetSelectedItem()).GetString());
  AppMessageBox(message, kMbIconStop);
  CAccelEntry kept;
  if (m_table.Find(static_cast<UINT>(command), kept)) m_hotKey.SetHotKey(kept.key, kept.modifiers);
  else m_hotKey.SetHotKey(0, 0);
}

void CCustShortcutKeyDlg::OnHeaderChanged(NMHDR*, LRESULT* pResult) {
  *pResult = 0;
  HDITEM item{};
  item.mask = HDI_WIDTH;
  if (m_header.GetItem(0, &item)) {
    m_tree.SetKeyColumn(item.cxy - 1);
    m_tree.Invalidate(FALSE);
  }
}

void CCustShortcutKeyDlg::Apply() {
  m_table.Save();
  CWnd* main = AfxGetMainWnd();
  m_table.Apply(main);
  if (auto* frame = dynamic_cast<CMainFrame*>(main)) frame->GetMainMenu().ApplyShortcutLabels(m_table);
}
