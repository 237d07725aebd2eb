#include "dialogs/PatternPreviewDlg.h"

#include <algorithm>
#include <cctype>

#include "controls/WindowUtils.h"
#include "core/FrameServices.h"
#include "lang/ids/shell.h"
#include "lang/ids/tooldlg2.h"
#include "lang/ids/view.h"
#include "palette/PaletteColor.h"
#include "view/PatternRender.h"
#include "view/TabView.h"

namespace {

const UINT g_msgShowScale = RegisterWindowMessage("MsgShowScale");
std::vector<CCurrentPatternViewDlg*> g_open;
constexpr int kZooms[] = {10, 25, 50, 75, 100, 125, 150, 200, 400, 800, 1600};
constexpr UINT kScrollId = 0xE900;

}  // namespace

BEGIN_MESSAGE_MAP(CCurrentPatternViewDlg, CDialog)
  ON_WM_CLOSE()
  ON_WM_SIZE()
  ON_CBN_SELCHANGE(IDC_PREVIEW_ZOOM, OnZoomSelect)
  ON_REGISTERED_MESSAGE(g_msgShowScale, OnShowScale)
END_MESSAGE_MAP()

CCurrentPatternViewDlg::CCurrentPatternViewDlg(const CPattern& design, const CColorSet& palette, int priceCents,
                                               CWnd* parent, HICON icon)
    : CDialog(IDD_PATTERN_PREVIEW, parent), m_price(priceCents), m_icon(icon), m_design(design), m_palette(palette) {
  g_open.push_back(this);
}

CCurrentPatternViewDlg::~CCurrentPatternViewDlg() {
  g_open.erase(std::remove(g_open.begin(), g_open.end(), this), g_open.end());
  delete m_picture;
  delete m_scroll;
  if (m_icon) ::DestroyIcon(m_icon);
}

const std::vector<CCurrentPatternViewDlg*>& CCurrentPatternViewDlg::GetOpenWindows() { return g_open; }

void CCurrentPatternViewDlg::CloseAll() {
  const std::vector<CCurrentPatternViewDlg*> open = g_open;
  for (CCurrentPatternViewDlg* window : open)
    if (std::find(g_open.begin(), g_open.end(), window) != g_open.end() && window->GetSafeHwnd())
      window->DestroyWindow();
}

CCurrentPatternViewDlg* CCurrentPatternViewDlg::Open(CTabView* view) {
  if (!view || !view->GetPattern()->HasBeads()) return nullptr;
  HICON icon = static_cast<HICON>(
      ::LoadImage(AfxGetResourceHandle(), MAKEINTRESOURCE(IDI_TB_PREVIEW), IMAGE_ICON, 16, 16, 0));
  auto* window = new CCurrentPatternViewDlg(*view->GetPattern(), *view->GetColorSet(), -1, nullptr, icon);
  window->m_view = view;
  if (!window->CreateTopLevel()) {
    delete window;
    return nullptr;
  }
  window->ShowWindow(SW_SHOW);
  return window;
}

bool CCurrentPatternViewDlg::CreateTopLevel() {
  // Made straight from the template: CDialog::Create would give the main
  // window as the owner, keeping the preview above it and tied to it.
  const QmDialogTemplate* t = FindTemplate();
  return t && QmCreateDialogFromTemplate(*t, nullptr, this, 0) != nullptr;
}

int CCurrentPatternViewDlg::ParseTypedZoom(const CString& text) {
  long long value = 0;
  for (const char* s = text.GetString(); std::isdigit(static_cast<unsigned char>(*s)); ++s) {
    value = value * 10 + (*s - '0');
    if (value > 0x7FFFFFFF) return -1;
  }
  return static_cast<int>(value);
}

BOOL CCurrentPatternViewDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  CWaitCursor wait;
  m_zoom.SubclassDlgItem(IDC_PREVIEW_ZOOM, this);
  m_scroll = static_cast<CDlgImageScrollView*>(RUNTIME_CLASS(CDlgImageScrollView)->CreateObject());
  m_scroll->CreateInDialog(this, kScrollId, CRect(0, 22, 100, 122), SIZE{100, 100});
  m_owner = std::make_unique<CScrollViewImageOwner>(m_scroll);
  {
    CClientDC dc(this);
    RenderPatternToImageView(&dc, &m_picture, m_owner.get(), m_design, m_palette,
                             m_view ? m_view->GetProgressHost() : nullptr);
  }
  m_scroll->SetImageView(m_picture);
  if (m_view) m_background = m_view->GetBackgroundColor();
  m_scroll->SetBackgroundColor(m_background);
  if (m_price < 0) {
    SetWindowText(LoadResString(IDS_PREVIEW_TITLE));
  } else {
    CString title;
    title.Format(LoadResString(IDS_PREVIEW_PRICE), FormatMoney(static_cast<DWORD>(m_price)).GetString());
    SetWindowText(title);
  }
  if (m_icon) SetIcon(m_icon, FALSE);
  if (m_picture) m_picture->SetFitToWindow(true, false);
  for (int zoom : kZooms) {
    CString text;
    text.Format("%u%%", static_cast<unsigned>(zoom));
    m_zoom.SetItemData(m_zoom.AddString(text), static_cast<DWORD_PTR>(zoom));
  }
  m_zoom.SetItemData(m_zoom.AddString(LoadResString(IDS_ZOOM_FIT)), static_cast<DWORD_PTR>(-1));
  m_zoom.SetCurSel(4);
  Layout();
  m_scroll->SetFocus();
  if (m_view && m_view->GetSafeHwnd()) PlaceDialogBesideView(this, m_view, true, 2);
  return FALSE;
}

void CCurrentPatternViewDlg::Layout() {
  if (!m_scroll || !m_scroll->GetSafeHwnd()) return;
  CRect client;
  GetClientRect(&client);
  m_zoom.MoveWindow(client.right - 80, 0, 80, 200);
  m_scroll->MoveWindow(0, 22, client.Width(), std::max(0, client.Height() - 22));
  m_scroll->ShowWindow(SW_HIDE);
  m_scroll->ShowWindow(SW_SHOW);
  PostMessage(g_msgShowScale, 0, 0);
}

void CCurrentPatternViewDlg::OnSize(UINT type, int cx, int cy) {
  CDialog::OnSize(type, cx, cy);
  if (cx > 0 && cy > 0) Layout();
}

LRESULT CCurrentPatternViewDlg::OnShowScale(WPARAM, LPARAM) {
  if (m_picture && m_zoom.GetSafeHwnd()) {
    CString text;
    text.Format("%d%%", m_picture->GetZoom());
    m_zoom.SetWindowText(text);
  }
  return 1;
}

void CCurrentPatternViewDlg::OnZoomSelect() {
  const int entry = m_zoom.GetCurSel();
  if (entry < 0 || !m_picture) return;
  const int value = static_cast<int>(static_cast<INT_PTR>(m_zoom.GetItemData(entry)));
  if (value > 0) {
    m_picture->SetZoom(value, true, true);
  } else if (!m_picture->IsFitToWindow()) {
    m_picture->SetFitToWindow(true, true);
  }
  if (m_scroll) m_scroll->SetFocus();
}

void CCurrentPatternViewDlg::ApplyTypedZoom() {
  if (!m_picture) return;
  CString text;
  m_zoom.GetWindowText(text);
  const int value = ParseTypedZoom(text);
  if (value < 3 || value > 10000) {
    text.Format("%d%%", m_picture->GetZoom());
    m_zoom.SetWindowText(text);
    return;
  }
  text.Format("%d%%", value);
  m_zoom.SetWindowText(text);
  m_picture->SetZoom(value, true, true);
  if (m_scroll) m_scroll->SetFocus();
}

BOOL CCurrentPatternViewDlg::PreTranslateMessage(MSG* msg) {
  if (msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN) {
    ApplyTypedZoom();
    return TRUE;
  }
  return CDialog::PreTranslateMessage(msg);
}

void CCurrentPatternViewDlg::OnCancel() { DestroyWindow(); }

void CCurrentPatternViewDlg::OnClose() { DestroyWindow(); }

void CCurrentPatternViewDlg::PostNcDestroy() { delete this; }
