// CWnd: a window object over a window handle. Every window is a Qt widget
// underneath (see platform/wnd/README.md); the object receives the window's
// messages through its message map, and its handlers get the Windows
// parameters.
#pragma once

#include "platform/base/cstring.h"
#include "platform/base/geometry.h"
#include "platform/wnd/msgmap.h"

class CMenu;
class CFont;
class CDC;
class CRgn;
class CScrollBar;
class CFrameWnd;
struct CCreateContext;

// What WM_SIZEPARENT hands a control bar: the rectangle left over so far,
// from which the bar takes its part.
struct AFX_SIZEPARENTPARAMS {
  HANDLE hDWP;     // null when only asking (no window moves)
  RECT rect;       // the parent's client area not yet taken
  SIZE sizeTotal;  // the bars' total size
  BOOL bStretch;   // bars stretch to the whole width
};

// Window flags kept by the framework (m_nFlags).
constexpr UINT WF_TOOLTIPS = 0x0001;
constexpr UINT WF_TEMPHIDE = 0x0002;
constexpr UINT WF_STAYDISABLED = 0x0004;
constexpr UINT WF_MODALLOOP = 0x0008;
constexpr UINT WF_CONTINUEMODAL = 0x0010;
constexpr UINT WF_OLECTLCONTAINER = 0x0100;

// RunModalLoop flags.
constexpr DWORD MLF_NOIDLEMSG = 0x0001;
constexpr DWORD MLF_NOKICKIDLE = 0x0002;
constexpr DWORD MLF_SHOWONIDLE = 0x0004;

// RepositionBars.
constexpr UINT reposDefault = 0;
constexpr UINT reposQuery = 1;
constexpr UINT reposExtra = 2;

// CenterWindow and friends.
constexpr UINT CWP_ALL = 0x0000;
constexpr UINT CWP_SKIPINVISIBLE = 0x0001;
constexpr UINT CWP_SKIPDISABLED = 0x0002;
constexpr UINT CWP_SKIPTRANSPARENT = 0x0004;

class CWnd : public CCmdTarget {
  DECLARE_DYNCREATE(CWnd)
 public:
  HWND m_hWnd = nullptr;

  CWnd();
  ~CWnd() override;

  // The special places of SetWindowPos (&wndTopMost...).
  static const CWnd wndTop;
  static const CWnd wndBottom;
  static const CWnd wndTopMost;
  static const CWnd wndNoTopMost;

  // The object of a window: its permanent object, or a temporary one kept
  // by the framework until the window is destroyed. Null for a null or dead
  // handle.
  static CWnd* FromHandle(HWND hWnd);
  // Only a permanent object (one created, attached or subclassed by code).
  static CWnd* FromHandlePermanent(HWND hWnd);
  // Never call these on a null pointer; QmHwnd(pWnd) is the null-safe form.
  HWND GetSafeHwnd() const { return m_hWnd; }
  operator HWND() const { return m_hWnd; }
  BOOL operator==(const CWnd& o) const { return m_hWnd == o.m_hWnd; }
  BOOL operator!=(const CWnd& o) const { return m_hWnd != o.m_hWnd; }

  BOOL Attach(HWND hWnd);
  HWND Detach();
  // Makes this object receive the messages of an existing window (a
  // dialog's control); the window's own behaviour stays its default.
  BOOL SubclassWindow(HWND hWnd);
  BOOL SubclassDlgItem(UINT nID, CWnd* pParent);
  HWND UnsubclassWindow();

  // Creation. lpszClassName null: the framework's default class.
  virtual BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                      CWnd* pParentWnd, UINT nID, CCreateContext* pContext = nullptr);
  virtual BOOL CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, int x,
                        int y, int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu,
                        LPVOID lpParam = nullptr);
  virtual BOOL CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle,
                        const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam = nullptr);
  virtual BOOL DestroyWindow();
  virtual BOOL PreCreateWindow(CREATESTRUCT& cs);
  virtual void PreSubclassWindow();
  // Called after the last message (WM_NCDESTROY); self-deleting windows
  // delete themselves here.
  virtual void PostNcDestroy();
  virtual void CalcWindowRect(LPRECT lpClientRect, UINT nAdjustType = 0);

  // Messages.
  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
  BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
  void SendMessageToDescendants(UINT message, WPARAM wParam = 0, LPARAM lParam = 0, BOOL bDeep = TRUE,
                                BOOL bOnlyPerm = FALSE);
  // The message being handled (for Default and GetCurrentMessage).
  static const MSG* GetCurrentMessage();
  LRESULT Default();
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
  virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
  virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult);
  virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
  BOOL ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
  static BOOL ReflectLastMsg(HWND hWndChild, LRESULT* pResult = nullptr);
  virtual BOOL PreTranslateMessage(MSG* pMsg);
  // Offers the message to PreTranslateMessage of each window from its target
  // up to (not including) hWndStop; TRUE when one took it.
  static BOOL WalkPreTranslateTree(HWND hWndStop, MSG* pMsg);
  BOOL ExecuteDlgInit(LPCTSTR) { return TRUE; }

  // Family.
  CWnd* GetParent() const;
  CWnd* SetParent(CWnd* pWndNewParent);
  CWnd* GetOwner() const;
  void SetOwner(CWnd* pOwnerWnd);
  CWnd* GetTopLevelParent() const;
  CWnd* GetTopLevelOwner() const;
  CWnd* GetParentOwner() const;
  CFrameWnd* GetParentFrame() const;
  CFrameWnd* GetTopLevelFrame() const;
  CWnd* GetWindow(UINT nCmd) const;
  CWnd* GetNextWindow(UINT nFlag = GW_HWNDNEXT) const { return GetWindow(nFlag); }
  CWnd* GetTopWindow() const { return GetWindow(GW_CHILD); }
  CWnd* GetDlgItem(int nID) const;
  void GetDlgItem(int nID, HWND* phWnd) const;
  CWnd* GetDescendantWindow(int nID, BOOL bOnlyPerm = FALSE) const;
  int GetDlgCtrlID() const;
  int SetDlgCtrlID(int nID);
  BOOL IsChild(const CWnd* pWnd) const;
  CWnd* ChildWindowFromPoint(POINT point) const;
  static CWnd* WindowFromPoint(POINT point);
  static CWnd* GetDesktopWindow();
  static CWnd* GetActiveWindow();
  CWnd* SetActiveWindow();
  static CWnd* GetForegroundWindow();
  BOOL SetForegroundWindow();
  CWnd* GetNextDlgTabItem(CWnd* pWndCtl, BOOL bPrevious = FALSE) const;
  CWnd* GetNextDlgGroupItem(CWnd* pWndCtl, BOOL bPrevious = FALSE) const;

  // Text (in the interface code page).
  void SetWindowText(LPCTSTR lpszString);
  int GetWindowText(LPTSTR lpszStringBuf, int nMaxCount) const;
  void GetWindowText(CString& rString) const;
  int GetWindowTextLength() const;
  void SetDlgItemText(int nID, LPCTSTR lpszString);
  int GetDlgItemText(int nID, LPTSTR lpStr, int nMaxCount) const;
  int GetDlgItemText(int nID, CString& rString) const;
  void SetDlgItemInt(int nID, UINT nValue, BOOL bSigned = TRUE);
  UINT GetDlgItemInt(int nID, BOOL* lpTrans = nullptr, BOOL bSigned = TRUE) const;
  void CheckDlgButton(int nIDButton, UINT nCheck);
  UINT IsDlgButtonChecked(int nIDButton) const;
  void CheckRadioButton(int nIDFirstButton, int nIDLastButton, int nIDCheckButton);
  int GetCheckedRadioButton(int nIDFirstButton, int nIDLastButton) const;
  LRESULT SendDlgItemMessage(int nID, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
  void SetFont(CFont* pFont, BOOL bRedraw = TRUE);
  CFont* GetFont() const;
  HICON SetIcon(HICON hIcon, BOOL bBigIcon);
  HICON GetIcon(BOOL bBigIcon) const;

  // Styles.
  DWORD GetStyle() const;
  DWORD GetExStyle() const;
  BOOL ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
  BOOL ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
  static BOOL ModifyStyle(HWND hWnd, DWORD dwRemove, DWORD dwAdd, UINT nFlags);
  static BOOL ModifyStyleEx(HWND hWnd, DWORD dwRemove, DWORD dwAdd, UINT nFlags);

  // Visibility, state, size and position.
  BOOL ShowWindow(int nCmdShow);
  BOOL IsWindowVisible() const;
  BOOL EnableWindow(BOOL bEnable = TRUE);
  BOOL IsWindowEnabled() const;
  BOOL IsIconic() const;
  BOOL IsZoomed() const;
  void MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint = TRUE);
  void MoveWindow(LPCRECT lpRect, BOOL bRepaint = TRUE);
  BOOL SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags);
  void BringWindowToTop();
  void GetWindowRect(LPRECT lpRect) const;
  void GetClientRect(LPRECT lpRect) const;
  void ClientToScreen(LPPOINT lpPoint) const;
  void ClientToScreen(LPRECT lpRect) const;
  void ScreenToClient(LPPOINT lpPoint) const;
  void ScreenToClient(LPRECT lpRect) const;
  void MapWindowPoints(CWnd* pwndTo, LPPOINT lpPoint, UINT nCount) const;
  void MapWindowPoints(CWnd* pwndTo, LPRECT lpRect) const;
  void CenterWindow(CWnd* pAlternateOwner = nullptr);
  BOOL GetWindowPlacement(WINDOWPLACEMENT* lpwndpl) const;
  BOOL SetWindowPlacement(const WINDOWPLACEMENT* lpwndpl);
  // Lays out the control bars (children with ids nIDFirst..nIDLast) with
  // WM_SIZEPARENT and gives the rest to the child nIDLeftOver.
  void RepositionBars(UINT nIDFirst, UINT nIDLast, UINT nIDLeftOver, UINT nFlag = reposDefault,
                      LPRECT lpRectParam = nullptr, LPCRECT lpRectClient = nullptr, BOOL bStretch = TRUE);

  // Painting.
  void Invalidate(BOOL bErase = TRUE);
  void InvalidateRect(LPCRECT lpRect, BOOL bErase = TRUE);
  void InvalidateRgn(CRgn* pRgn, BOOL bErase = TRUE);
  void ValidateRect(LPCRECT lpRect);
  void ValidateRgn(CRgn* pRgn);
  void UpdateWindow();
  BOOL RedrawWindow(LPCRECT lpRectUpdate = nullptr, CRgn* prgnUpdate = nullptr,
                    UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
  BOOL GetUpdateRect(LPRECT lpRect, BOOL bErase = FALSE);
  void SetRedraw(BOOL bRedraw = TRUE);
  BOOL LockWindowUpdate();
  void UnlockWindowUpdate();
  CDC* GetDC();
  CDC* GetWindowDC();
  int ReleaseDC(CDC* pDC);
  CDC* BeginPaint(PAINTSTRUCT* lpPaint);
  void EndPaint(const PAINTSTRUCT* lpPaint);
  void ScrollWindow(int xAmount, int yAmount, LPCRECT lpRect = nullptr, LPCRECT lpClipRect = nullptr);
  int ScrollWindowEx(int dx, int dy, LPCRECT lpRectScroll, LPCRECT lpRectClip, CRgn* prgnUpdate,
                     LPRECT lpRectUpdate, UINT flags);

  // Input.
  CWnd* SetCapture();
  static CWnd* GetCapture();
  CWnd* SetFocus();
  static CWnd* GetFocus();
  BOOL SetLayeredWindowAttributes(COLORREF crKey, BYTE bAlpha, DWORD dwFlags);
  BOOL GetLayeredWindowAttributes(COLORREF* pcrKey, BYTE* pbAlpha, DWORD* pdwFlags) const;

  // Timers.
  UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse, TIMERPROC lpfnTimer = nullptr);
  BOOL KillTimer(UINT_PTR nIDEvent);

  // Menus.
  CMenu* GetMenu() const;
  BOOL SetMenu(CMenu* pMenu);
  void DrawMenuBar();
  CMenu* GetSystemMenu(BOOL bRevert) const;

  // Scroll bars of the window.
  int GetScrollPos(int nBar) const;
  int SetScrollPos(int nBar, int nPos, BOOL bRedraw = TRUE);
  void GetScrollRange(int nBar, int* lpMinPos, int* lpMaxPos) const;
  void SetScrollRange(int nBar, int nMinPos, int nMaxPos, BOOL bRedraw = TRUE);
  BOOL GetScrollInfo(int nBar, LPSCROLLINFO lpScrollInfo, UINT nMask = SIF_ALL) const;
  BOOL SetScrollInfo(int nBar, LPSCROLLINFO lpScrollInfo, BOOL bRedraw = TRUE);
  int GetScrollLimit(int nBar) const;
  void ShowScrollBar(UINT nBar, BOOL bShow = TRUE);
  BOOL EnableScrollBar(int nSBFlags, UINT nArrowFlags = ESB_ENABLE_BOTH);
  void EnableScrollBarCtrl(int nBar, BOOL bEnable = TRUE);
  virtual CScrollBar* GetScrollBarCtrl(int nBar) const;

  // Modal loops (dialogs, tracking).
  virtual int RunModalLoop(DWORD dwFlags = 0);
  virtual BOOL ContinueModal();
  virtual void EndModalLoop(int nResult);

  // Dialog data.
  BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
  virtual void DoDataExchange(class CDataExchange* pDX);
  void UpdateDialogControls(CCmdTarget* pTarget, BOOL bDisableIfNoHndler);
  virtual void OnFinalRelease() {}

  // Dialog-style keyboard handling inside any window (tab, arrows, Enter,
  // Escape); TRUE when the message was used.
  BOOL IsDialogMessage(LPMSG lpMsg);

  BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

  UINT m_nFlags = 0;
  int m_nModalResult = 0;

  // Handlers of the standard messages; by default they run the window's
  // default procedure on the message being handled.
 protected:
  afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
  afx_msg void OnDestroy();
  afx_msg void OnNcDestroy();
  afx_msg void OnClose();
  afx_msg void OnPaint();
  afx_msg BOOL OnEraseBkgnd(CDC* pDC);
  afx_msg void OnSize(UINT nType, int cx, int cy);
  afx_msg void OnMove(int x, int y);
  afx_msg void OnTimer(UINT_PTR nIDEvent);
  afx_msg void OnMouseMove(UINT nFlags, CPoint point);
  afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
  afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
  afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
  afx_msg void OnRButtonDown(UINT nFlags, CPoint point);
  afx_msg void OnRButtonUp(UINT nFlags, CPoint point);
  afx_msg void OnRButtonDblClk(UINT nFlags, CPoint point);
  afx_msg void OnMButtonDown(UINT nFlags, CPoint point);
  afx_msg void OnMButtonUp(UINT nFlags, CPoint point);
  afx_msg void OnMButtonDblClk(UINT nFlags, CPoint point);
  afx_msg BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);
  afx_msg void OnMouseLeave();
  afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
  afx_msg void OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags);
  afx_msg void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
  afx_msg void OnSysKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
  afx_msg void OnSysKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags);
  afx_msg void OnSysChar(UINT nChar, UINT nRepCnt, UINT nFlags);
  afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
  afx_msg void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
  afx_msg void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
  afx_msg void OnContextMenu(CWnd* pWnd, CPoint pos);
  afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
  afx_msg void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct);
  afx_msg void OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT lpMeasureItemStruct);
  afx_msg void OnSetFocus(CWnd* pOldWnd);
  afx_msg void OnKillFocus(CWnd* pNewWnd);
  afx_msg void OnGetMinMaxInfo(MINMAXINFO* lpMMI);
  afx_msg void OnWindowPosChanging(WINDOWPOS* lpwndpos);
  afx_msg void OnWindowPosChanged(WINDOWPOS* lpwndpos);
  afx_msg void OnShowWindow(BOOL bShow, UINT nStatus);
  afx_msg int OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message);
  afx_msg void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized);
  afx_msg void OnInitMenu(CMenu* pMenu);
  afx_msg void OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu);
  afx_msg void OnMenuSelect(UINT nItemID, UINT nFlags, HMENU hSysMenu);
  afx_msg void OnSysCommand(UINT nID, LPARAM lParam);
  afx_msg BOOL OnCopyData(CWnd* pWnd, COPYDATASTRUCT* pCopyDataStruct);
  afx_msg UINT OnGetDlgCode();
  afx_msg void OnCaptureChanged(CWnd* pWnd);
  afx_msg void OnEnable(BOOL bEnable);
  afx_msg void OnCancelMode();
  afx_msg LRESULT OnNcHitTest(CPoint point);
  afx_msg void OnSysColorChange();
  afx_msg void OnSettingChange(UINT uFlags, LPCTSTR lpszSection);
  afx_msg void OnParentNotify(UINT message, LPARAM lParam);
  afx_msg void OnSizing(UINT fwSide, LPRECT pRect);
  afx_msg void OnMoving(UINT fwSide, LPRECT pRect);
  afx_msg void OnEnterIdle(UINT nWhy, CWnd* pWho);

  DECLARE_MESSAGE_MAP()

 private:
  friend struct QmWindowAccess;
  explicit CWnd(HWND special) : m_hWnd(special) {}
  void* m_pModalLoop = nullptr;  // the running modal loop (internal)
};

// The handle of a CWnd pointer, null-safe.
inline HWND QmHwnd(const CWnd* wnd) { return wnd ? wnd->m_hWnd : nullptr; }

// The framework's default window class for a style of window; the names stay
// valid for the run.
LPCTSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor = nullptr, HBRUSH hbrBackground = nullptr,
                            HICON hIcon = nullptr);
BOOL AfxRegisterClass(WNDCLASS* lpWndClass);
// The default classes the framework creates its windows with.
extern const char* const AFX_WND;              // plain child windows
extern const char* const AFX_WNDFRAMEORVIEW;   // frames and views
extern const char* const AFX_WNDCONTROLBAR;    // control bars

// Pointers in CREATESTRUCT::lpCreateParams for frames and views.
struct CCreateContext;

HINSTANCE AfxGetInstanceHandle();
