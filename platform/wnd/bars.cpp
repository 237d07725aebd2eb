// The framework's control bars over the toolbar and status bar controls:
// their place in the frame (WM_SIZEPARENT), their command updates when idle,
// tooltips and fly-by texts, toolbar buttons from the pack and their
// layouts, status bar panes from indicator strings.
#include <cstdio>

#include "platform/wnd/app.h"
#include "platform/wnd/bars.h"
#include "platform/wnd/commctl_internal.h"

using namespace qmwnd;

// ---------------------------------------------------------------------------
// CToolBarCtrl and CStatusBarCtrl.

IMPLEMENT_DYNAMIC(CToolBarCtrl, CWnd)

BOOL CToolBarCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  if (!CWnd::Create(TOOLBARCLASSNAME, nullptr, dwStyle, rect, pParentWnd, nID)) return FALSE;
  SetButtonStructSize(sizeof(TBBUTTON));
  return TRUE;
}

CImageList* CToolBarCtrl::SetImageList(CImageList* pImageList) {
  return CImageList::FromHandle(reinterpret_cast<HIMAGELIST>(
      Msg(TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(pImageList ? pImageList->m_hImageList : nullptr))));
}

CImageList* CToolBarCtrl::GetImageList() const {
  return CImageList::FromHandle(reinterpret_cast<HIMAGELIST>(Msg(TB_GETIMAGELIST)));
}

CImageList* CToolBarCtrl::SetHotImageList(CImageList* pImageList) {
  return CImageList::FromHandle(reinterpret_cast<HIMAGELIST>(
      Msg(TB_SETHOTIMAGELIST, 0, reinterpret_cast<LPARAM>(pImageList ? pImageList->m_hImageList : nullptr))));
}

CImageList* CToolBarCtrl::SetDisabledImageList(CImageList* pImageList) {
  return CImageList::FromHandle(reinterpret_cast<HIMAGELIST>(
      Msg(TB_SETDISABLEDIMAGELIST, 0, reinterpret_cast<LPARAM>(pImageList ? pImageList->m_hImageList : nullptr))));
}

CToolTipCtrl* CToolBarCtrl::GetToolTips() const {
  return static_cast<CToolTipCtrl*>(CWnd::FromHandlePermanent(reinterpret_cast<HWND>(Msg(TB_GETTOOLTIPS))));
}

int CToolBarCtrl::AddBitmap(int nNumButtons, UINT nBitmapID) {
  TBADDBITMAP ab{AfxGetResourceHandle(), nBitmapID};
  return static_cast<int>(Msg(TB_ADDBITMAP, static_cast<WPARAM>(nNumButtons), reinterpret_cast<LPARAM>(&ab)));
}

int CToolBarCtrl::AddBitmap(int nNumButtons, CBitmap* pBitmap) {
  TBADDBITMAP ab{nullptr, reinterpret_cast<UINT_PTR>(pBitmap ? pBitmap->m_hObject : nullptr)};
  return static_cast<int>(Msg(TB_ADDBITMAP, static_cast<WPARAM>(nNumButtons), reinterpret_cast<LPARAM>(&ab)));
}

IMPLEMENT_DYNAMIC(CStatusBarCtrl, CWnd)

BOOL CStatusBarCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  return CWnd::Create(STATUSCLASSNAME, nullptr, dwStyle, rect, pParentWnd, nID);
}

CString CStatusBarCtrl::GetText(int nPane, int* pType) const {
  const LRESULT info = ::SendMessage(m_hWnd, SB_GETTEXTLENGTH, static_cast<WPARAM>(nPane), 0);
  if (pType) *pType = HIWORD(info);
  std::string buf(static_cast<size_t>(LOWORD(info)) + 1, '\0');
  if (!(HIWORD(info) & SBT_OWNERDRAW))
    ::SendMessage(m_hWnd, SB_GETTEXT, static_cast<WPARAM>(nPane), reinterpret_cast<LPARAM>(buf.data()));
  buf.resize(LOWORD(info));
  return CString(buf);
}

int CStatusBarCtrl::GetTextLength(int nPane, int* pType) const {
  const LRESULT info = ::SendMessage(m_hWnd, SB_GETTEXTLENGTH, static_cast<WPARAM>(nPane), 0);
  if (pType) *pType = HIWORD(info);
  return LOWORD(info);
}

// ---------------------------------------------------------------------------
// CControlBar.

IMPLEMENT_DYNAMIC(CControlBar, CWnd)

BEGIN_MESSAGE_MAP(CControlBar, CWnd)
  ON_MESSAGE(WM_SIZEPARENT, OnSizeParent)
  ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
END_MESSAGE_MAP()

CControlBar::CControlBar() = default;
CControlBar::~CControlBar() = default;

BOOL CControlBar::CreateBar(LPCTSTR lpszClass, DWORD dwCtrlStyle, DWORD dwStyle, const RECT& rcBorders,
                            CWnd* pParentWnd, UINT nID) {
  m_dwStyle = dwStyle & CBRS_ALL;
  m_cxLeftBorder = rcBorders.left;
  m_cyTopBorder = rcBorders.top;
  m_cxRightBorder = rcBorders.right;
  m_cyBottomBorder = rcBorders.bottom;
  const DWORD style = (dwStyle & ~CBRS_ALL) | dwCtrlStyle | WS_CHILD;
  if (!CWnd::Create(lpszClass, nullptr, style, CRect(0, 0, 0, 0), pParentWnd, nID)) return FALSE;
  m_pDockSite = GetParentFrame();
  SetBarFrame(m_hWnd, GetBorders(), m_dwStyle);
  return TRUE;
}

void CControlBar::SetBarStyle(DWORD dwStyle) {
  m_dwStyle = dwStyle & CBRS_ALL;
  if (m_hWnd) SetBarFrame(m_hWnd, GetBorders(), m_dwStyle);
}

void CControlBar::SetBorders(int cxLeft, int cyTop, int cxRight, int cyBottom) {
  m_cxLeftBorder = cxLeft;
  m_cyTopBorder = cyTop;
  m_cxRightBorder = cxRight;
  m_cyBottomBorder = cyBottom;
  if (m_hWnd) SetBarFrame(m_hWnd, GetBorders(), m_dwStyle);
}

BOOL CControlBar::IsVisible() const { return (GetStyle() & WS_VISIBLE) != 0; }

CFrameWnd* CControlBar::GetDockingFrame() const { return m_pDockSite ? m_pDockSite : GetParentFrame(); }

void CControlBar::CalcInsideRect(CRect& rect, BOOL) const {
  rect.left += m_cxLeftBorder;
  rect.top += m_cyTopBorder;
  rect.right -= m_cxRightBorder;
  rect.bottom -= m_cyBottomBorder;
}

CSize CControlBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz) {
  CSize size(m_cxLeftBorder + m_cxRightBorder, m_cyTopBorder + m_cyBottomBorder);
  if (bStretch) {
    if (bHorz) size.cx = 32767;
    else size.cy = 32767;
  }
  return size;
}

CSize CControlBar::CalcDynamicLayout(int, DWORD nMode) {
  return CalcFixedLayout((nMode & LM_STRETCH) != 0, (nMode & LM_HORZ) != 0);
}

CFrameWnd* CControlBar::UpdateTarget() const {
  CWnd* owner = GetOwner();
  if (owner && owner->IsKindOf(RUNTIME_CLASS(CFrameWnd))) return static_cast<CFrameWnd*>(owner);
  return GetParentFrame();
}

LRESULT CControlBar::OnSizeParent(WPARAM, LPARAM lParam) {
  auto* lp = reinterpret_cast<AFX_SIZEPARENTPARAMS*>(lParam);
  if (!lp || !(GetStyle() & WS_VISIBLE)) return 0;
  const DWORD align = m_dwStyle & CBRS_ALIGN_ANY;
  const bool vertical = (align & (CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT)) != 0 && !(align & (CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM));
  const DWORD mode = (vertical ? LM_VERTDOCK : (LM_HORZ | LM_HORZDOCK)) | (lp->bStretch ? LM_STRETCH : 0) |
                     (lp->hDWP ? LM_COMMIT : 0);
  CSize size = CalcDynamicLayout(-1, mode);
  CRect rect(lp->rect);
  CRect place = rect;
  if (vertical) {
    size.cx = std::min(static_cast<int>(size.cx), rect.Width());
    if (align & CBRS_ALIGN_LEFT) {
      place.right = place.left + size.cx;
      lp->rect.left += size.cx;
    } else {
      place.left = place.right - size.cx;
      lp->rect.right -= size.cx;
    }
    lp->sizeTotal.cx += size.cx;
    lp->sizeTotal.cy = std::max(lp->sizeTotal.cy, static_cast<LONG>(size.cy));
  } else {
    size.cy = std::min(static_cast<int>(size.cy), rect.Height());
    if (!lp->bStretch) place.right = place.left + std::min(static_cast<int>(size.cx), rect.Width());
    if (align & CBRS_ALIGN_BOTTOM) {
      place.top = place.bottom - size.cy;
      lp->rect.bottom -= size.cy;
    } else {
      place.bottom = place.top + size.cy;
      lp->rect.top += size.cy;
    }
    lp->sizeTotal.cy += size.cy;
    lp->sizeTotal.cx = std::max(lp->sizeTotal.cx, static_cast<LONG>(size.cx));
  }
  if (lp->hDWP) SetWindowPos(nullptr, place.left, place.top, place.Width(), place.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
  return 0;
}

LRESULT CControlBar::OnIdleUpdateCmdUI(WPARAM wParam, LPARAM) {
  if (!(GetStyle() & WS_VISIBLE)) return 0;
  if (CFrameWnd* target = UpdateTarget()) OnUpdateCmdUI(target, static_cast<BOOL>(wParam));
  return 0;
}

int CControlBar::HitTestTool(CPoint, UINT*, CRect*, CString*) const { return -1; }

BOOL CControlBar::PreTranslateMessage(MSG* pMsg) {
  const bool mouse = (pMsg->message >= WM_MOUSEFIRST && pMsg->message <= WM_MOUSELAST) || pMsg->message == WM_MOUSELEAVE;
  if (!mouse || pMsg->hwnd != m_hWnd || !(m_dwStyle & (CBRS_TOOLTIPS | CBRS_FLYBY))) return CWnd::PreTranslateMessage(pMsg);
  UINT id = 0;
  CRect rect;
  CString tip;
  int tool = -1;
  if (pMsg->message != WM_MOUSELEAVE)
    tool = HitTestTool(CPoint(GET_X_LPARAM(pMsg->lParam), GET_Y_LPARAM(pMsg->lParam)), &id, &rect, &tip);
  if (m_dwStyle & CBRS_TOOLTIPS) {
    if (!m_tip.m_hWnd && m_tip.Create(this)) {
      m_tip.Activate(TRUE);
      if (IsKindOf(RUNTIME_CLASS(CToolBar))) ::SendMessage(m_hWnd, TB_SETTOOLTIPS, reinterpret_cast<WPARAM>(m_tip.m_hWnd), 0);
    }
    if (m_tip.m_hWnd) {
      if (tool != m_nTipTool) {
        m_tip.DelTool(this, 1);
        if (tool >= 0 && !tip.IsEmpty()) m_tip.AddTool(this, tip.GetString(), &rect, 1);
        m_nTipTool = tool;
      }
      m_tip.RelayEvent(pMsg);
    }
  }
  if ((m_dwStyle & CBRS_FLYBY) && (pMsg->message == WM_MOUSEMOVE || pMsg->message == WM_MOUSELEAVE)) {
    const UINT want = tool >= 0 ? id : 0;
    if (want != m_nFlyBy) {
      m_nFlyBy = want;
      if (CFrameWnd* f = GetParentFrame()) f->SendMessage(WM_SETMESSAGESTRING, want ? want : AFX_IDS_IDLEMESSAGE, 0);
    }
  }
  return CWnd::PreTranslateMessage(pMsg);
}

void CControlBar::PostNcDestroy() {
  if (m_bAutoDelete) delete this;
}

// ---------------------------------------------------------------------------
// CToolBar.

namespace {

// Command updates for toolbar buttons: enable, check and radio change the
// button's state; toolbar buttons have no text.
class CToolCmdUI : public CCmdUI {
 public:
  void Enable(BOOL bOn) override {
    m_bEnableChanged = TRUE;
    auto* bar = static_cast<CToolBar*>(m_pOther);
    UINT style = bar->GetButtonStyle(static_cast<int>(m_nIndex)) & ~TBBS_DISABLED;
    if (!bOn) style = (style | TBBS_DISABLED) & ~TBBS_PRESSED;
    bar->SetButtonStyle(static_cast<int>(m_nIndex), style);
  }
  void SetCheck(int nCheck) override {
    auto* bar = static_cast<CToolBar*>(m_pOther);
    UINT style = bar->GetButtonStyle(static_cast<int>(m_nIndex)) & ~(TBBS_CHECKED | TBBS_INDETERMINATE);
    if (nCheck == 1) style |= TBBS_CHECKED;
    else if (nCheck == 2) style |= TBBS_INDETERMINATE;
    bar->SetButtonStyle(static_cast<int>(m_nIndex), style);
  }
  void SetRadio(BOOL bOn) override { SetCheck(bOn ? 1 : 0); }
  void SetText(LPCTSTR) override {}
};

// The tooltip of a command: its string's text after the first line break.
CString TipOf(UINT id) {
  CString full;
  if (!id || !full.LoadString(id)) return CString();
  const int nl = full.Find('\n');
  return nl >= 0 ? full.Mid(nl + 1) : CString();
}

}  // namespace

IMPLEMENT_DYNAMIC(CToolBar, CControlBar)

CToolBar::CToolBar() = default;
CToolBar::~CToolBar() = default;

BOOL CToolBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID) {
  return CreateEx(pParentWnd, 0, dwStyle, CRect(m_cxLeftBorder, m_cyTopBorder, m_cxRightBorder, m_cyBottomBorder), nID);
}

BOOL CToolBar::CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle, DWORD dwStyle, CRect rcBorders, UINT nID) {
  if (!CreateBar(TOOLBARCLASSNAME, dwCtrlStyle, dwStyle, rcBorders, pParentWnd, nID)) return FALSE;
  SendMessage(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON));
  SetSizes(m_sizeButton, m_sizeImage);
  return TRUE;
}

BOOL CToolBar::LoadToolBar(UINT nIDResource) {
  const QmToolbarTemplate* t = LoadToolbarTemplate(AfxGetResourceHandle(), nIDResource);
  if (!t) {
    std::fprintf(stderr, "Toolbar %u is missing from the resource pack\n", nIDResource);
    return FALSE;
  }
  std::vector<UINT> ids(t->items.begin(), t->items.end());
  if (!SetButtons(ids.data(), static_cast<int>(ids.size()))) return FALSE;
  SetSizes(CSize(t->width + 7, t->height + 7), CSize(t->width, t->height));
  return LoadBitmap(nIDResource);
}

BOOL CToolBar::LoadToolBar(LPCTSTR lpszResourceName) {
  if (!lpszResourceName || !IS_INTRESOURCE(lpszResourceName)) {
    std::fprintf(stderr, "Toolbar resources are numbered; \"%s\" is not found\n", lpszResourceName ? lpszResourceName : "");
    return FALSE;
  }
  return LoadToolBar(static_cast<UINT>(reinterpret_cast<std::uintptr_t>(lpszResourceName)));
}

BOOL CToolBar::LoadBitmap(UINT nIDResource) {
  HBITMAP bm = ::LoadBitmap(AfxGetResourceHandle(), MAKEINTRESOURCE(nIDResource));
  if (!bm) {
    std::fprintf(stderr, "Toolbar bitmap %u is missing from the resource pack\n", nIDResource);
    return FALSE;
  }
  m_images.DeleteImageList();
  m_images.Create(m_sizeImage.cx, m_sizeImage.cy, ILC_COLOR24 | ILC_MASK, 8, 4);
  ImageList_AddMasked(m_images.m_hImageList, bm, RGB(192, 192, 192));
  DeleteObject(bm);
  GetToolBarCtrl().SetImageList(&m_images);
  return TRUE;
}

BOOL CToolBar::SetButtons(const UINT* lpIDArray, int nIDCount) {
  if (!m_hWnd || nIDCount < 0) return FALSE;
  while (SendMessage(TB_BUTTONCOUNT) > 0) SendMessage(TB_DELETEBUTTON, 0);
  int image = 0;
  for (int i = 0; i < nIDCount; ++i) {
    TBBUTTON b{};
    const UINT id = lpIDArray ? lpIDArray[i] : ID_SEPARATOR;
    b.idCommand = static_cast<int>(id);
    if (id == ID_SEPARATOR) {
      b.fsStyle = TBSTYLE_SEP;
      b.iBitmap = 0;
    } else {
      b.fsStyle = TBSTYLE_BUTTON;
      b.fsState = TBSTATE_ENABLED;
      b.iBitmap = image++;
    }
    if (!SendMessage(TB_ADDBUTTONS, 1, reinterpret_cast<LPARAM>(&b))) return FALSE;
  }
  return TRUE;
}

void CToolBar::SetSizes(SIZE sizeButton, SIZE sizeImage) {
  m_sizeButton = sizeButton;
  m_sizeImage = sizeImage;
  if (!m_hWnd) return;
  SendMessage(TB_SETBITMAPSIZE, 0, MAKELONG(sizeImage.cx, sizeImage.cy));
  SendMessage(TB_SETBUTTONSIZE, 0, MAKELONG(sizeButton.cx, sizeButton.cy));
  Invalidate();
}

void CToolBar::SetHeight(int cyHeight) {
  const int extra = std::max(0, cyHeight - static_cast<int>(m_sizeButton.cy));
  SetBorders(m_cxLeftBorder, extra / 2, m_cxRightBorder, extra - extra / 2);
}

int CToolBar::CommandToIndex(UINT nIDFind) const {
  return static_cast<int>(const_cast<CToolBar*>(this)->SendMessage(TB_COMMANDTOINDEX, nIDFind));
}

UINT CToolBar::GetItemID(int nIndex) const {
  TBBUTTON b{};
  if (!const_cast<CToolBar*>(this)->SendMessage(TB_GETBUTTON, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(&b)))
    return 0;
  return static_cast<UINT>(b.idCommand);
}

void CToolBar::GetItemRect(int nIndex, LPRECT lpRect) const {
  if (!const_cast<CToolBar*>(this)->SendMessage(TB_GETITEMRECT, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(lpRect)))
    ::SetRectEmpty(lpRect);
}

UINT CToolBar::GetButtonStyle(int nIndex) const {
  TBBUTTON b{};
  if (!const_cast<CToolBar*>(this)->SendMessage(TB_GETBUTTON, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(&b)))
    return 0;
  return static_cast<UINT>(b.fsStyle) | (static_cast<UINT>(b.fsState ^ TBSTATE_ENABLED) << 16);
}

void CToolBar::SetButtonStyle(int nIndex, UINT nStyle) {
  TBBUTTON b{};
  if (!SendMessage(TB_GETBUTTON, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(&b))) return;
  const BYTE style = static_cast<BYTE>(nStyle & 0xFF);
  // The pressed and wrap states belong to the control.
  BYTE state = static_cast<BYTE>(((nStyle >> 16) & 0xFF) ^ TBSTATE_ENABLED);
  state = static_cast<BYTE>((state & ~(TBSTATE_PRESSED | TBSTATE_WRAP)) | (b.fsState & (TBSTATE_PRESSED | TBSTATE_WRAP)));
  if (!(state & TBSTATE_ENABLED)) state &= static_cast<BYTE>(~TBSTATE_PRESSED);
  if (b.fsStyle == style && b.fsState == state) return;
  TBBUTTONINFO bi{};
  bi.cbSize = sizeof(bi);
  bi.dwMask = TBIF_BYINDEX | TBIF_STYLE | TBIF_STATE;
  bi.fsStyle = style;
  bi.fsState = state;
  SendMessage(TB_SETBUTTONINFO, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(&bi));
}

void CToolBar::GetButtonInfo(int nIndex, UINT& nID, UINT& nStyle, int& iImage) const {
  TBBUTTON b{};
  const_cast<CToolBar*>(this)->SendMessage(TB_GETBUTTON, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(&b));
  nID = static_cast<UINT>(b.idCommand);
  nStyle = GetButtonStyle(nIndex);
  iImage = b.iBitmap;
}

void CToolBar::SetButtonInfo(int nIndex, UINT nID, UINT nStyle, int iImage) {
  TBBUTTONINFO bi{};
  bi.cbSize = sizeof(bi);
  bi.dwMask = TBIF_BYINDEX | TBIF_COMMAND | TBIF_IMAGE;
  bi.idCommand = static_cast<int>(nID);
  bi.iImage = iImage;
  SendMessage(TB_SETBUTTONINFO, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(&bi));
  SetButtonStyle(nIndex, nStyle);
  Invalidate();
}

CString CToolBar::GetButtonText(int nIndex) const {
  char buf[260] = {};
  TBBUTTONINFO bi{};
  bi.cbSize = sizeof(bi);
  bi.dwMask = TBIF_BYINDEX | TBIF_TEXT;
  bi.pszText = buf;
  bi.cchText = static_cast<int>(sizeof(buf));
  const_cast<CToolBar*>(this)->SendMessage(TB_GETBUTTONINFO, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(&bi));
  return CString(buf);
}

BOOL CToolBar::SetButtonText(int nIndex, LPCTSTR lpszText) {
  TBBUTTONINFO bi{};
  bi.cbSize = sizeof(bi);
  bi.dwMask = TBIF_BYINDEX | TBIF_TEXT;
  bi.pszText = const_cast<LPSTR>(lpszText ? lpszText : "");
  return SendMessage(TB_SETBUTTONINFO, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(&bi)) != 0;
}

CToolBarCtrl& CToolBar::GetToolBarCtrl() const {
  m_ctrl.m_hWnd = m_hWnd;
  return m_ctrl;
}

int CToolBar::GetCount() const { return static_cast<int>(const_cast<CToolBar*>(this)->SendMessage(TB_BUTTONCOUNT)); }

CSize CToolBar::CalcLayout(DWORD dwMode, int) {
  if (!m_hWnd) return CSize(0, 0);
  const bool vertical = (dwMode & LM_VERTDOCK) != 0;
  const int n = GetCount();
  std::vector<TBBUTTON> btns(static_cast<size_t>(n));
  std::vector<BYTE> before(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) {
    TBBUTTON& b = btns[static_cast<size_t>(i)];
    // Asked through the window procedure, so that a subclass sees the query.
    SendMessage(TB_GETBUTTON, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&b));
    TBBUTTON raw{};  // the control's own record, past any subclass
    CWnd::DefWindowProc(TB_GETBUTTON, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&raw));
    before[static_cast<size_t>(i)] = raw.fsState;
  }
  // A row, or a column where every visible button ends its row.
  int lastVisible = -1;
  for (int i = 0; i < n; ++i) {
    TBBUTTON& b = btns[static_cast<size_t>(i)];
    b.fsState &= static_cast<BYTE>(~TBSTATE_WRAP);
    if (!(b.fsState & TBSTATE_HIDDEN)) lastVisible = i;
  }
  if (vertical) {
    for (int i = 0; i < n; ++i) {
      TBBUTTON& b = btns[static_cast<size_t>(i)];
      if (!(b.fsState & TBSTATE_HIDDEN) && i != lastVisible) b.fsState |= TBSTATE_WRAP;
    }
  }
  const SIZE total = ToolbarLayoutSize(m_hWnd, btns);
  CSize size(total.cx, total.cy);
  if (dwMode & LM_COMMIT) {
    bool changed = false;
    for (int i = 0; i < n; ++i) {
      const TBBUTTON& b = btns[static_cast<size_t>(i)];
      if (b.fsState == before[static_cast<size_t>(i)]) continue;
      TBBUTTONINFO bi{};
      bi.cbSize = sizeof(bi);
      bi.dwMask = TBIF_BYINDEX | TBIF_STATE;
      bi.fsState = b.fsState;
      ::SendMessage(m_hWnd, TB_SETBUTTONINFO, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&bi));
      changed = true;
    }
    if (changed) Invalidate();
  }
  if (dwMode & LM_STRETCH) {
    if (vertical) size.cy = 32767;
    else size.cx = 32767;
  }
  return size;
}

CSize CToolBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz) {
  return CalcLayout((bHorz ? (LM_HORZ | LM_HORZDOCK) : LM_VERTDOCK) | (bStretch ? LM_STRETCH : 0));
}

CSize CToolBar::CalcDynamicLayout(int nLength, DWORD nMode) { return CalcLayout(nMode, nLength); }

void CToolBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) {
  CToolCmdUI state;
  state.m_pOther = this;
  state.m_nIndexMax = static_cast<UINT>(GetCount());
  for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; ++state.m_nIndex) {
    TBBUTTON b{};
    if (!SendMessage(TB_GETBUTTON, state.m_nIndex, reinterpret_cast<LPARAM>(&b))) continue;
    if (b.fsStyle & TBSTYLE_SEP) continue;
    state.m_nID = static_cast<UINT>(b.idCommand);
    state.DoUpdate(pTarget, bDisableIfNoHndler);
    if (!m_hWnd) return;
  }
  // Controls on the bar (a combo box over a separator) update too.
  UpdateDialogControls(pTarget, bDisableIfNoHndler);
}

int CToolBar::HitTestTool(CPoint point, UINT* pnID, CRect* pRect, CString* pTip) const {
  const int i = static_cast<int>(const_cast<CToolBar*>(this)->SendMessage(TB_HITTEST, 0, reinterpret_cast<LPARAM>(&point)));
  if (i < 0) return -1;
  TBBUTTON b{};
  if (!const_cast<CToolBar*>(this)->SendMessage(TB_GETBUTTON, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&b))) return -1;
  if (pnID) *pnID = static_cast<UINT>(b.idCommand);
  if (pRect) GetItemRect(i, pRect);
  if (pTip) *pTip = TipOf(static_cast<UINT>(b.idCommand));
  return i;
}

// ---------------------------------------------------------------------------
// CStatusBar.

namespace {

class CStatusCmdUI : public CCmdUI {
 public:
  void Enable(BOOL bOn) override {
    m_bEnableChanged = TRUE;
    auto* bar = static_cast<CStatusBar*>(m_pOther);
    UINT style = bar->GetPaneStyle(static_cast<int>(m_nIndex)) & ~SBPS_DISABLED;
    if (!bOn) style |= SBPS_DISABLED;
    bar->SetPaneStyle(static_cast<int>(m_nIndex), style);
  }
  void SetCheck(int nCheck) override {
    auto* bar = static_cast<CStatusBar*>(m_pOther);
    UINT style = bar->GetPaneStyle(static_cast<int>(m_nIndex)) & ~SBPS_POPOUT;
    if (nCheck) style |= SBPS_POPOUT;
    bar->SetPaneStyle(static_cast<int>(m_nIndex), style);
  }
  void SetRadio(BOOL bOn) override { SetCheck(bOn ? 1 : 0); }
  void SetText(LPCTSTR lpszText) override {
    static_cast<CStatusBar*>(m_pOther)->SetPaneText(static_cast<int>(m_nIndex), lpszText);
  }
};

// The framework's own indicator texts, for packs that lack them.
bool IndicatorText(UINT id, CString& out) {
  if (out.LoadString(id)) return true;
  switch (id) {
    case ID_INDICATOR_EXT: out = "EXT"; return true;
    case ID_INDICATOR_CAPS: out = "CAP"; return true;
    case ID_INDICATOR_NUM: out = "NUM"; return true;
    case ID_INDICATOR_SCRL: out = "SCRL"; return true;
    default: return false;
  }
}

constexpr int kPaneMargin = 3;  // text margin plus the pane's edge, each side

}  // namespace

IMPLEMENT_DYNAMIC(CStatusBar, CControlBar)

BEGIN_MESSAGE_MAP(CStatusBar, CControlBar)
  ON_WM_SIZE()
END_MESSAGE_MAP()

CStatusBar::CStatusBar() {
  m_cxLeftBorder = 0;
  m_cyTopBorder = 2;
  m_cxRightBorder = 0;
  m_cyBottomBorder = 0;
}

CStatusBar::~CStatusBar() = default;

BOOL CStatusBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID) { return CreateEx(pParentWnd, 0, dwStyle, nID); }

BOOL CStatusBar::CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle, DWORD dwStyle, UINT nID) {
  return CreateBar(STATUSCLASSNAME, dwCtrlStyle, dwStyle,
                   CRect(m_cxLeftBorder, m_cyTopBorder, m_cxRightBorder, m_cyBottomBorder), pParentWnd, nID);
}

BOOL CStatusBar::SetIndicators(const UINT* lpIDArray, int nIDCount) {
  if (!m_hWnd || nIDCount <= 0) return FALSE;
  std::vector<Pane> panes;
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, ControlFont(m_hWnd));
  bool ok = true;
  for (int i = 0; i < nIDCount; ++i) {
    Pane p;
    p.nID = lpIDArray ? lpIDArray[i] : ID_SEPARATOR;
    if (p.nID == ID_SEPARATOR) {
      p.nStyle = SBPS_STRETCH | SBPS_NOBORDERS;
    } else if (IndicatorText(p.nID, p.text)) {
      SIZE sz{0, 0};
      GetTextExtentPoint32(dc, p.text, p.text.GetLength(), &sz);
      p.cxText = sz.cx;
    } else {
      std::fprintf(stderr, "Status bar: the indicator string %u is missing from the resource pack\n", p.nID);
      ok = false;
    }
    panes.push_back(p);
  }
  SelectObject(dc, old);
  DeleteDC(dc);
  if (!ok) return FALSE;
  m_panes = std::move(panes);
  std::vector<int> rights(m_panes.size(), -1);
  SendMessage(SB_SETPARTS, static_cast<WPARAM>(rights.size()), reinterpret_cast<LPARAM>(rights.data()));
  UpdateAllPanes(TRUE, TRUE);
  return TRUE;
}

void CStatusBar::UpdateAllPanes(BOOL bUpdateRects, BOOL bUpdateText) {
  if (!m_hWnd || m_panes.empty()) return;
  if (bUpdateRects) {
    CRect client;
    GetClientRect(&client);
    const int n = static_cast<int>(m_panes.size());
    int fixed = m_cxLeftBorder + m_cxRightBorder + m_cxDefaultGap * (n - 1);
    int stretch = 0;
    for (const Pane& p : m_panes) {
      if (p.nStyle & SBPS_STRETCH) ++stretch;
      else fixed += p.cxText + 2 * kPaneMargin;
    }
    const int spare = std::max(0, client.Width() - fixed);
    std::vector<int> rights;
    int x = m_cxLeftBorder;
    int given = 0;
    for (int i = 0; i < n; ++i) {
      const Pane& p = m_panes[static_cast<size_t>(i)];
      int w = p.cxText + 2 * kPaneMargin;
      if (p.nStyle & SBPS_STRETCH) {
        ++given;
        w = given == stretch ? spare - (spare / stretch) * (stretch - 1) : spare / stretch;
      }
      if (i > 0) x += m_cxDefaultGap;
      x += w;
      rights.push_back(i == n - 1 ? -1 : x);
    }
    SendMessage(SB_SETPARTS, static_cast<WPARAM>(rights.size()), reinterpret_cast<LPARAM>(rights.data()));
  }
  if (bUpdateText) {
    for (size_t i = 0; i < m_panes.size(); ++i) {
      const Pane& p = m_panes[i];
      const UINT type = p.nStyle & (SBT_NOBORDERS | SBT_POPOUT | SBT_OWNERDRAW);
      CString text;
      if (i == 0) GetWindowText(text);
      else text = p.text;
      if (p.nStyle & SBPS_DISABLED) text.Empty();
      SendMessage(SB_SETTEXT, i | type, reinterpret_cast<LPARAM>(text.GetString()));
    }
  }
}

void CStatusBar::OnSize(UINT nType, int cx, int cy) {
  CControlBar::OnSize(nType, cx, cy);
  UpdateAllPanes(TRUE, FALSE);
}

int CStatusBar::CommandToIndex(UINT nIDFind) const {
  for (size_t i = 0; i < m_panes.size(); ++i)
    if (m_panes[i].nID == nIDFind) return static_cast<int>(i);
  return -1;
}

UINT CStatusBar::GetItemID(int nIndex) const {
  return nIndex >= 0 && nIndex < GetCount() ? m_panes[static_cast<size_t>(nIndex)].nID : 0;
}

void CStatusBar::GetItemRect(int nIndex, LPRECT lpRect) const {
  if (!const_cast<CStatusBar*>(this)->SendMessage(SB_GETRECT, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(lpRect)))
    ::SetRectEmpty(lpRect);
}

void CStatusBar::GetPaneInfo(int nIndex, UINT& nID, UINT& nStyle, int& cxWidth) const {
  if (nIndex < 0 || nIndex >= GetCount()) {
    nID = 0;
    nStyle = 0;
    cxWidth = 0;
    return;
  }
  const Pane& p = m_panes[static_cast<size_t>(nIndex)];
  nID = p.nID;
  nStyle = p.nStyle;
  cxWidth = p.cxText;
}

void CStatusBar::SetPaneInfo(int nIndex, UINT nID, UINT nStyle, int cxWidth) {
  if (nIndex < 0 || nIndex >= GetCount()) return;
  Pane& p = m_panes[static_cast<size_t>(nIndex)];
  p.nID = nID;
  p.nStyle = nStyle;
  p.cxText = cxWidth;
  UpdateAllPanes(TRUE, TRUE);
}

UINT CStatusBar::GetPaneStyle(int nIndex) const {
  return nIndex >= 0 && nIndex < GetCount() ? m_panes[static_cast<size_t>(nIndex)].nStyle : 0;
}

void CStatusBar::SetPaneStyle(int nIndex, UINT nStyle) {
  if (nIndex < 0 || nIndex >= GetCount()) return;
  Pane& p = m_panes[static_cast<size_t>(nIndex)];
  if (p.nStyle == nStyle) return;
  const bool rects = (p.nStyle ^ nStyle) & SBPS_STRETCH;
  p.nStyle = nStyle;
  UpdateAllPanes(rects, TRUE);
}

CString CStatusBar::GetPaneText(int nIndex) const {
  if (nIndex == 0) {
    CString s;
    GetWindowText(s);
    return s;
  }
  return nIndex > 0 && nIndex < GetCount() ? m_panes[static_cast<size_t>(nIndex)].text : CString();
}

BOOL CStatusBar::SetPaneText(int nIndex, LPCTSTR lpszNewText, BOOL bUpdate) {
  if (nIndex < 0 || nIndex >= GetCount()) return FALSE;
  Pane& p = m_panes[static_cast<size_t>(nIndex)];
  const CString text = lpszNewText ? lpszNewText : "";
  if (nIndex == 0) {
    CString cur;
    GetWindowText(cur);
    if (cur == text) return TRUE;
    p.text = text;
    SetWindowText(text);
  } else {
    if (p.text == text) return TRUE;
    p.text = text;
    if (!(p.nStyle & SBPS_DISABLED))
      SendMessage(SB_SETTEXT, static_cast<WPARAM>(nIndex) | (p.nStyle & (SBT_NOBORDERS | SBT_POPOUT | SBT_OWNERDRAW)),
                  reinterpret_cast<LPARAM>(text.GetString()));
  }
  if (bUpdate) {
    CRect r;
    GetItemRect(nIndex, &r);
    InvalidateRect(&r, FALSE);
  }
  return TRUE;
}

CStatusBarCtrl& CStatusBar::GetStatusBarCtrl() const {
  m_ctrl.m_hWnd = m_hWnd;
  return m_ctrl;
}

CSize CStatusBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz) {
  int width = m_cxLeftBorder + m_cxRightBorder;
  for (const Pane& p : m_panes) width += p.cxText + 2 * kPaneMargin + m_cxDefaultGap;
  CSize size(width, m_hWnd ? StatusBarHeight(m_hWnd) : 0);
  if (bStretch && bHorz) size.cx = 32767;
  return size;
}

void CStatusBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) {
  CStatusCmdUI state;
  state.m_pOther = this;
  state.m_nIndexMax = static_cast<UINT>(GetCount());
  for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; ++state.m_nIndex) {
    state.m_nID = m_panes[state.m_nIndex].nID;
    if (state.m_nID == ID_SEPARATOR) continue;
    state.DoUpdate(pTarget, FALSE);
    if (!m_hWnd) return;
    state.m_nIndexMax = static_cast<UINT>(GetCount());
  }
  UpdateDialogControls(pTarget, bDisableIfNoHndler);
}

int CStatusBar::HitTestTool(CPoint, UINT*, CRect*, CString*) const { return -1; }
