// Control bars: the toolbar control ("ToolbarWindow32") and the status bar
// control ("msctls_statusbar32") with their message wrappers, and the
// framework's bars over them (CControlBar, CToolBar, CStatusBar).
//
// A bar is a child of its frame that takes its part of the frame's client
// area in WM_SIZEPARENT (top, bottom, left or right by its CBRS_ALIGN_
// style) and updates its buttons or panes from the frame's command-update
// handlers when the program is idle (WM_IDLEUPDATECMDUI). Nothing docks or
// floats: m_pDockBar stays null. A bar's own painting (the control's
// default WM_PAINT) may be replaced by a subclass that handles WM_PAINT.
#pragma once

#include "platform/gdi/imagelist.h"
#include "platform/wnd/docview.h"
#include "platform/wnd/tooltip.h"

#define TOOLBARCLASSNAME "ToolbarWindow32"
#define STATUSCLASSNAME "msctls_statusbar32"

// ---------------------------------------------------------------------------
// The toolbar control.

constexpr BYTE TBSTATE_CHECKED = 0x01;
constexpr BYTE TBSTATE_PRESSED = 0x02;
constexpr BYTE TBSTATE_ENABLED = 0x04;
constexpr BYTE TBSTATE_HIDDEN = 0x08;
constexpr BYTE TBSTATE_INDETERMINATE = 0x10;
constexpr BYTE TBSTATE_WRAP = 0x20;
constexpr BYTE TBSTATE_ELLIPSES = 0x40;
constexpr BYTE TBSTATE_MARKED = 0x80;

constexpr BYTE TBSTYLE_BUTTON = 0x00;
constexpr BYTE TBSTYLE_SEP = 0x01;
constexpr BYTE TBSTYLE_CHECK = 0x02;
constexpr BYTE TBSTYLE_GROUP = 0x04;
constexpr BYTE TBSTYLE_CHECKGROUP = TBSTYLE_GROUP | TBSTYLE_CHECK;
constexpr BYTE TBSTYLE_DROPDOWN = 0x08;
constexpr BYTE TBSTYLE_AUTOSIZE = 0x10;
constexpr BYTE TBSTYLE_NOPREFIX = 0x20;
constexpr BYTE BTNS_BUTTON = TBSTYLE_BUTTON;
constexpr BYTE BTNS_SEP = TBSTYLE_SEP;
constexpr BYTE BTNS_CHECK = TBSTYLE_CHECK;
constexpr BYTE BTNS_GROUP = TBSTYLE_GROUP;
constexpr BYTE BTNS_CHECKGROUP = TBSTYLE_CHECKGROUP;
constexpr BYTE BTNS_DROPDOWN = TBSTYLE_DROPDOWN;

// Window styles of the toolbar control.
constexpr DWORD TBSTYLE_TOOLTIPS = 0x0100;
constexpr DWORD TBSTYLE_WRAPABLE = 0x0200;
constexpr DWORD TBSTYLE_ALTDRAG = 0x0400;
constexpr DWORD TBSTYLE_FLAT = 0x0800;
constexpr DWORD TBSTYLE_LIST = 0x1000;
constexpr DWORD TBSTYLE_TRANSPARENT = 0x8000;
// Extended styles (TB_SETEXTENDEDSTYLE).
constexpr DWORD TBSTYLE_EX_DRAWDDARROWS = 0x00000001;

constexpr UINT TB_ENABLEBUTTON = WM_USER + 1;
constexpr UINT TB_CHECKBUTTON = WM_USER + 2;
constexpr UINT TB_PRESSBUTTON = WM_USER + 3;
constexpr UINT TB_HIDEBUTTON = WM_USER + 4;
constexpr UINT TB_INDETERMINATE = WM_USER + 5;
constexpr UINT TB_ISBUTTONENABLED = WM_USER + 9;
constexpr UINT TB_ISBUTTONCHECKED = WM_USER + 10;
constexpr UINT TB_ISBUTTONPRESSED = WM_USER + 11;
constexpr UINT TB_ISBUTTONHIDDEN = WM_USER + 12;
constexpr UINT TB_ISBUTTONINDETERMINATE = WM_USER + 13;
constexpr UINT TB_SETSTATE = WM_USER + 17;
constexpr UINT TB_GETSTATE = WM_USER + 18;
constexpr UINT TB_ADDBITMAP = WM_USER + 19;
constexpr UINT TB_ADDBUTTONS = WM_USER + 20;
constexpr UINT TB_INSERTBUTTON = WM_USER + 21;
constexpr UINT TB_DELETEBUTTON = WM_USER + 22;
constexpr UINT TB_GETBUTTON = WM_USER + 23;
constexpr UINT TB_BUTTONCOUNT = WM_USER + 24;
constexpr UINT TB_COMMANDTOINDEX = WM_USER + 25;
constexpr UINT TB_GETITEMRECT = WM_USER + 29;
constexpr UINT TB_BUTTONSTRUCTSIZE = WM_USER + 30;
constexpr UINT TB_SETBUTTONSIZE = WM_USER + 31;
constexpr UINT TB_SETBITMAPSIZE = WM_USER + 32;
constexpr UINT TB_AUTOSIZE = WM_USER + 33;
constexpr UINT TB_GETTOOLTIPS = WM_USER + 35;
constexpr UINT TB_SETTOOLTIPS = WM_USER + 36;
constexpr UINT TB_SETPARENT = WM_USER + 37;
constexpr UINT TB_GETBUTTONTEXT = WM_USER + 45;
constexpr UINT TB_SETIMAGELIST = WM_USER + 48;
constexpr UINT TB_GETIMAGELIST = WM_USER + 49;
constexpr UINT TB_GETRECT = WM_USER + 51;
constexpr UINT TB_SETHOTIMAGELIST = WM_USER + 52;
constexpr UINT TB_GETHOTIMAGELIST = WM_USER + 53;
constexpr UINT TB_SETDISABLEDIMAGELIST = WM_USER + 54;
constexpr UINT TB_GETDISABLEDIMAGELIST = WM_USER + 55;
constexpr UINT TB_SETSTYLE = WM_USER + 56;
constexpr UINT TB_GETSTYLE = WM_USER + 57;
constexpr UINT TB_GETBUTTONSIZE = WM_USER + 58;
constexpr UINT TB_SETMAXTEXTROWS = WM_USER + 60;
constexpr UINT TB_GETBUTTONINFO = WM_USER + 65;
constexpr UINT TB_SETBUTTONINFO = WM_USER + 66;
constexpr UINT TB_HITTEST = WM_USER + 69;
constexpr UINT TB_GETHOTITEM = WM_USER + 71;
constexpr UINT TB_SETHOTITEM = WM_USER + 72;
constexpr UINT TB_SETEXTENDEDSTYLE = WM_USER + 84;
constexpr UINT TB_GETEXTENDEDSTYLE = WM_USER + 85;

constexpr UINT TBN_FIRST = static_cast<UINT>(-700);
constexpr UINT TBN_DROPDOWN = TBN_FIRST - 10;
constexpr UINT TBN_HOTITEMCHANGE = TBN_FIRST - 13;
constexpr LRESULT TBDDRET_DEFAULT = 0;
constexpr LRESULT TBDDRET_NODEFAULT = 1;
constexpr LRESULT TBDDRET_TREATPRESSED = 2;

constexpr DWORD TBIF_IMAGE = 0x00000001;
constexpr DWORD TBIF_TEXT = 0x00000002;
constexpr DWORD TBIF_STATE = 0x00000004;
constexpr DWORD TBIF_STYLE = 0x00000008;
constexpr DWORD TBIF_LPARAM = 0x00000010;
constexpr DWORD TBIF_COMMAND = 0x00000020;
constexpr DWORD TBIF_SIZE = 0x00000040;
constexpr DWORD TBIF_BYINDEX = 0x80000000;

struct TBBUTTON {
  int iBitmap;
  int idCommand;
  BYTE fsState;
  BYTE fsStyle;
  BYTE bReserved[6];
  DWORD_PTR dwData;
  INT_PTR iString;
};
using LPTBBUTTON = TBBUTTON*;
using LPCTBBUTTON = const TBBUTTON*;

struct TBBUTTONINFO {
  UINT cbSize;
  DWORD dwMask;
  int idCommand;
  int iImage;
  BYTE fsState;
  BYTE fsStyle;
  WORD cx;
  DWORD_PTR lParam;
  LPSTR pszText;
  int cchText;
};
using LPTBBUTTONINFO = TBBUTTONINFO*;

struct TBADDBITMAP {
  HINSTANCE hInst;
  UINT_PTR nID;  // a bitmap resource id, or an HBITMAP when hInst is null
};

struct NMTOOLBAR {
  NMHDR hdr;
  int iItem;  // the button's command
  TBBUTTON tbButton;
  int cchText;
  LPSTR pszText;
  RECT rcButton;
};
using LPNMTOOLBAR = NMTOOLBAR*;

// ---------------------------------------------------------------------------
// The status bar control.

constexpr UINT SB_SETTEXT = WM_USER + 1;
constexpr UINT SB_GETTEXT = WM_USER + 2;
constexpr UINT SB_GETTEXTLENGTH = WM_USER + 3;
constexpr UINT SB_SETPARTS = WM_USER + 4;
constexpr UINT SB_GETPARTS = WM_USER + 6;
constexpr UINT SB_GETBORDERS = WM_USER + 7;
constexpr UINT SB_SETMINHEIGHT = WM_USER + 8;
constexpr UINT SB_SIMPLE = WM_USER + 9;
constexpr UINT SB_GETRECT = WM_USER + 10;
constexpr UINT SB_ISSIMPLE = WM_USER + 14;
constexpr UINT SBT_OWNERDRAW = 0x1000;
constexpr UINT SBT_NOBORDERS = 0x0100;
constexpr UINT SBT_POPOUT = 0x0200;
constexpr UINT SBT_NOTABPARSING = 0x0800;

// ---------------------------------------------------------------------------
// The framework's bar styles and layout modes.

constexpr DWORD CBRS_ALIGN_LEFT = 0x1000;
constexpr DWORD CBRS_ALIGN_TOP = 0x2000;
constexpr DWORD CBRS_ALIGN_RIGHT = 0x4000;
constexpr DWORD CBRS_ALIGN_BOTTOM = 0x8000;
constexpr DWORD CBRS_ALIGN_ANY = 0xF000;
constexpr DWORD CBRS_BORDER_LEFT = 0x0100;
constexpr DWORD CBRS_BORDER_TOP = 0x0200;
constexpr DWORD CBRS_BORDER_RIGHT = 0x0400;
constexpr DWORD CBRS_BORDER_BOTTOM = 0x0800;
constexpr DWORD CBRS_BORDER_ANY = 0x0F00;
constexpr DWORD CBRS_TOOLTIPS = 0x0010;
constexpr DWORD CBRS_FLYBY = 0x0020;
constexpr DWORD CBRS_FLOAT_MULTI = 0x0040;
constexpr DWORD CBRS_BORDER_3D = 0x0080;
constexpr DWORD CBRS_HIDE_INPLACE = 0x0008;
constexpr DWORD CBRS_SIZE_DYNAMIC = 0x0004;
constexpr DWORD CBRS_SIZE_FIXED = 0x0002;
constexpr DWORD CBRS_FLOATING = 0x0001;
constexpr DWORD CBRS_GRIPPER = 0x00400000;
constexpr DWORD CBRS_ALL = 0x0040FFFF;
constexpr DWORD CBRS_NOALIGN = 0x00000000;
constexpr DWORD CBRS_LEFT = CBRS_ALIGN_LEFT | CBRS_BORDER_RIGHT;
constexpr DWORD CBRS_TOP = CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM;
constexpr DWORD CBRS_RIGHT = CBRS_ALIGN_RIGHT | CBRS_BORDER_LEFT;
constexpr DWORD CBRS_BOTTOM = CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP;

constexpr DWORD LM_STRETCH = 0x01;
constexpr DWORD LM_HORZ = 0x02;
constexpr DWORD LM_MRUWIDTH = 0x04;
constexpr DWORD LM_HORZDOCK = 0x08;
constexpr DWORD LM_VERTDOCK = 0x10;
constexpr DWORD LM_LENGTHY = 0x20;
constexpr DWORD LM_COMMIT = 0x40;

// Button styles of CToolBar: the TBSTYLE_ bits in the low word, the
// TBSTATE_ bits in the high word (TBBS_DISABLED is the absence of
// TBSTATE_ENABLED).
constexpr UINT TBBS_BUTTON = TBSTYLE_BUTTON;
constexpr UINT TBBS_SEPARATOR = TBSTYLE_SEP;
constexpr UINT TBBS_CHECKBOX = TBSTYLE_CHECK;
constexpr UINT TBBS_GROUP = TBSTYLE_GROUP;
constexpr UINT TBBS_CHECKGROUP = TBSTYLE_CHECKGROUP;
constexpr UINT TBBS_DROPDOWN = TBSTYLE_DROPDOWN;
constexpr UINT TBBS_AUTOSIZE = TBSTYLE_AUTOSIZE;
constexpr UINT TBBS_CHECKED = static_cast<UINT>(TBSTATE_CHECKED) << 16;
constexpr UINT TBBS_PRESSED = static_cast<UINT>(TBSTATE_PRESSED) << 16;
constexpr UINT TBBS_DISABLED = static_cast<UINT>(TBSTATE_ENABLED) << 16;
constexpr UINT TBBS_HIDDEN = static_cast<UINT>(TBSTATE_HIDDEN) << 16;
constexpr UINT TBBS_INDETERMINATE = static_cast<UINT>(TBSTATE_INDETERMINATE) << 16;
constexpr UINT TBBS_WRAPPED = static_cast<UINT>(TBSTATE_WRAP) << 16;

// Status bar pane styles.
constexpr UINT SBPS_NORMAL = 0x0000;
constexpr UINT SBPS_NOBORDERS = SBT_NOBORDERS;
constexpr UINT SBPS_POPOUT = SBT_POPOUT;
constexpr UINT SBPS_OWNERDRAW = SBT_OWNERDRAW;
constexpr UINT SBPS_DISABLED = 0x04000000;
constexpr UINT SBPS_STRETCH = 0x08000000;

// ---------------------------------------------------------------------------
// Message wrappers of the controls.

class CToolBarCtrl : public CWnd {
  DECLARE_DYNAMIC(CToolBarCtrl)
 public:
  CToolBarCtrl() = default;
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

  BOOL EnableButton(int nID, BOOL bEnable = TRUE) { return Msg(TB_ENABLEBUTTON, static_cast<WPARAM>(nID), MAKELONG(bEnable, 0)) != 0; }
  BOOL CheckButton(int nID, BOOL bCheck = TRUE) { return Msg(TB_CHECKBUTTON, static_cast<WPARAM>(nID), MAKELONG(bCheck, 0)) != 0; }
  BOOL PressButton(int nID, BOOL bPress = TRUE) { return Msg(TB_PRESSBUTTON, static_cast<WPARAM>(nID), MAKELONG(bPress, 0)) != 0; }
  BOOL HideButton(int nID, BOOL bHide = TRUE) { return Msg(TB_HIDEBUTTON, static_cast<WPARAM>(nID), MAKELONG(bHide, 0)) != 0; }
  BOOL Indeterminate(int nID, BOOL bIndet = TRUE) { return Msg(TB_INDETERMINATE, static_cast<WPARAM>(nID), MAKELONG(bIndet, 0)) != 0; }
  BOOL IsButtonEnabled(int nID) const { return Msg(TB_ISBUTTONENABLED, static_cast<WPARAM>(nID)) != 0; }
  BOOL IsButtonChecked(int nID) const { return Msg(TB_ISBUTTONCHECKED, static_cast<WPARAM>(nID)) != 0; }
  BOOL IsButtonPressed(int nID) const { return Msg(TB_ISBUTTONPRESSED, static_cast<WPARAM>(nID)) != 0; }
  BOOL IsButtonHidden(int nID) const { return Msg(TB_ISBUTTONHIDDEN, static_cast<WPARAM>(nID)) != 0; }
  BOOL SetState(int nID, UINT nState) { return Msg(TB_SETSTATE, static_cast<WPARAM>(nID), MAKELONG(nState, 0)) != 0; }
  int GetState(int nID) const { return static_cast<int>(Msg(TB_GETSTATE, static_cast<WPARAM>(nID))); }
  BOOL AddButtons(int nNumButtons, LPCTBBUTTON lpButtons) {
    return Msg(TB_ADDBUTTONS, static_cast<WPARAM>(nNumButtons), reinterpret_cast<LPARAM>(lpButtons)) != 0;
  }
  BOOL InsertButton(int nIndex, LPCTBBUTTON lpButton) {
    return Msg(TB_INSERTBUTTON, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(lpButton)) != 0;
  }
  BOOL DeleteButton(int nIndex) { return Msg(TB_DELETEBUTTON, static_cast<WPARAM>(nIndex)) != 0; }
  BOOL GetButton(int nIndex, LPTBBUTTON lpButton) const {
    return Msg(TB_GETBUTTON, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(lpButton)) != 0;
  }
  int GetButtonCount() const { return static_cast<int>(Msg(TB_BUTTONCOUNT)); }
  UINT CommandToIndex(UINT nID) const { return static_cast<UINT>(Msg(TB_COMMANDTOINDEX, nID)); }
  BOOL GetItemRect(int nIndex, LPRECT lpRect) const {
    return Msg(TB_GETITEMRECT, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(lpRect)) != 0;
  }
  BOOL GetRect(int nID, LPRECT lpRect) const {
    return Msg(TB_GETRECT, static_cast<WPARAM>(nID), reinterpret_cast<LPARAM>(lpRect)) != 0;
  }
  void SetButtonStructSize(int nSize) { Msg(TB_BUTTONSTRUCTSIZE, static_cast<WPARAM>(nSize)); }
  BOOL SetButtonSize(CSize size) { return Msg(TB_SETBUTTONSIZE, 0, MAKELONG(size.cx, size.cy)) != 0; }
  BOOL SetBitmapSize(CSize size) { return Msg(TB_SETBITMAPSIZE, 0, MAKELONG(size.cx, size.cy)) != 0; }
  CSize GetButtonSize() const {
    const DWORD s = static_cast<DWORD>(Msg(TB_GETBUTTONSIZE));
    return CSize(LOWORD(s), HIWORD(s));
  }
  void AutoSize() { Msg(TB_AUTOSIZE); }
  CImageList* SetImageList(CImageList* pImageList);
  CImageList* GetImageList() const;
  CImageList* SetHotImageList(CImageList* pImageList);
  CImageList* SetDisabledImageList(CImageList* pImageList);
  int GetHotItem() const { return static_cast<int>(Msg(TB_GETHOTITEM)); }
  int SetHotItem(int nHot) { return static_cast<int>(Msg(TB_SETHOTITEM, static_cast<WPARAM>(nHot))); }
  DWORD SetExtendedStyle(DWORD dwExStyle) { return static_cast<DWORD>(Msg(TB_SETEXTENDEDSTYLE, 0, static_cast<LPARAM>(dwExStyle))); }
  DWORD GetExtendedStyle() const { return static_cast<DWORD>(Msg(TB_GETEXTENDEDSTYLE)); }
  DWORD GetStyle() const { return static_cast<DWORD>(Msg(TB_GETSTYLE)); }
  void SetStyle(DWORD dwStyle) { Msg(TB_SETSTYLE, 0, static_cast<LPARAM>(dwStyle)); }
  // The index of the button under a client point; a separator or nothing
  // gives a negative number.
  int HitTest(LPPOINT ppt) const { return static_cast<int>(Msg(TB_HITTEST, 0, reinterpret_cast<LPARAM>(ppt))); }
  int GetButtonInfo(int nID, TBBUTTONINFO* ptbbi) const {
    return static_cast<int>(Msg(TB_GETBUTTONINFO, static_cast<WPARAM>(nID), reinterpret_cast<LPARAM>(ptbbi)));
  }
  BOOL SetButtonInfo(int nID, TBBUTTONINFO* ptbbi) {
    return Msg(TB_SETBUTTONINFO, static_cast<WPARAM>(nID), reinterpret_cast<LPARAM>(ptbbi)) != 0;
  }
  CToolTipCtrl* GetToolTips() const;
  void SetOwner(CWnd* pWnd) { Msg(TB_SETPARENT, reinterpret_cast<WPARAM>(QmHwnd(pWnd))); }
  int AddBitmap(int nNumButtons, UINT nBitmapID);
  int AddBitmap(int nNumButtons, CBitmap* pBitmap);

 private:
  LRESULT Msg(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return ::SendMessage(m_hWnd, message, wParam, lParam);
  }
};

class CStatusBarCtrl : public CWnd {
  DECLARE_DYNAMIC(CStatusBarCtrl)
 public:
  CStatusBarCtrl() = default;
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
  // nType: 0, SBT_NOBORDERS, SBT_POPOUT or SBT_OWNERDRAW (lpszText is then
  // the item data of WM_DRAWITEM).
  BOOL SetText(LPCTSTR lpszText, int nPane, int nType) {
    return ::SendMessage(m_hWnd, SB_SETTEXT, static_cast<WPARAM>(nPane | nType), reinterpret_cast<LPARAM>(lpszText)) != 0;
  }
  CString GetText(int nPane, int* pType = nullptr) const;
  int GetTextLength(int nPane, int* pType = nullptr) const;
  BOOL SetParts(int nParts, int* pWidths) {
    return ::SendMessage(m_hWnd, SB_SETPARTS, static_cast<WPARAM>(nParts), reinterpret_cast<LPARAM>(pWidths)) != 0;
  }
  int GetParts(int nParts, int* pParts) const {
    return static_cast<int>(::SendMessage(m_hWnd, SB_GETPARTS, static_cast<WPARAM>(nParts), reinterpret_cast<LPARAM>(pParts)));
  }
  BOOL GetRect(int nPane, LPRECT lpRect) const {
    return ::SendMessage(m_hWnd, SB_GETRECT, static_cast<WPARAM>(nPane), reinterpret_cast<LPARAM>(lpRect)) != 0;
  }
  void SetMinHeight(int nMin) { ::SendMessage(m_hWnd, SB_SETMINHEIGHT, static_cast<WPARAM>(nMin), 0); }
  BOOL SetSimple(BOOL bSimple = TRUE) { return ::SendMessage(m_hWnd, SB_SIMPLE, static_cast<WPARAM>(bSimple), 0) != 0; }
  BOOL IsSimple() const { return ::SendMessage(m_hWnd, SB_ISSIMPLE, 0, 0) != 0; }
};

// ---------------------------------------------------------------------------
// The framework's bars.

class CControlBar : public CWnd {
  DECLARE_DYNAMIC(CControlBar)
 public:
  CControlBar();
  ~CControlBar() override;

  virtual CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz);
  virtual CSize CalcDynamicLayout(int nLength, DWORD nMode);
  // Updates the buttons or panes from pTarget's command-update handlers.
  virtual void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) = 0;
  // The client area less the bar's borders.
  virtual void CalcInsideRect(CRect& rect, BOOL bHorz) const;

  void SetBarStyle(DWORD dwStyle);
  DWORD GetBarStyle() const { return m_dwStyle; }
  void SetBorders(int cxLeft = 0, int cyTop = 0, int cxRight = 0, int cyBottom = 0);
  void SetBorders(LPCRECT lpRect) { SetBorders(lpRect->left, lpRect->top, lpRect->right, lpRect->bottom); }
  CRect GetBorders() const { return CRect(m_cxLeftBorder, m_cyTopBorder, m_cxRightBorder, m_cyBottomBorder); }
  // Docking is not offered: the styles are kept and nothing moves.
  void EnableDocking(DWORD dwDockStyle) { m_dwDockStyle = dwDockStyle; }
  BOOL IsFloating() const { return FALSE; }
  BOOL IsVisible() const;
  CFrameWnd* GetDockingFrame() const;
  virtual int GetCount() const { return 0; }

  BOOL PreTranslateMessage(MSG* pMsg) override;
  void PostNcDestroy() override;

  CWnd* m_pDockBar = nullptr;  // always null: nothing docks
  CFrameWnd* m_pDockSite = nullptr;
  BOOL m_bAutoDelete = FALSE;
  DWORD m_dwStyle = 0;
  DWORD m_dwDockStyle = 0;
  int m_cxLeftBorder = 6;
  int m_cxRightBorder = 6;
  int m_cyTopBorder = 2;
  int m_cyBottomBorder = 2;
  int m_cxDefaultGap = 2;
  UINT m_nMRUWidth = 32767;

 protected:
  // The button or pane under a client point with its tooltip text (the
  // text after the first line break of its command's string); -1 for none.
  virtual int HitTestTool(CPoint point, UINT* pnID, CRect* pRect, CString* pTip) const;
  // The bar's frame for command updates: its owner when that is a frame,
  // else its parent frame.
  CFrameWnd* UpdateTarget() const;
  BOOL CreateBar(LPCTSTR lpszClass, DWORD dwCtrlStyle, DWORD dwStyle, const RECT& rcBorders, CWnd* pParentWnd, UINT nID);

  afx_msg LRESULT OnSizeParent(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);
  DECLARE_MESSAGE_MAP()

 private:
  CToolTipCtrl m_tip;
  int m_nTipTool = -1;
  UINT m_nFlyBy = 0;
};

class CToolBar : public CControlBar {
  DECLARE_DYNAMIC(CToolBar)
 public:
  CToolBar();
  ~CToolBar() override;

  BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_TOP, UINT nID = AFX_IDW_TOOLBAR);
  BOOL CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle = TBSTYLE_FLAT,
                DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP, CRect rcBorders = CRect(0, 0, 0, 0),
                UINT nID = AFX_IDW_TOOLBAR);

  // The buttons and picture strip of a toolbar resource of the pack.
  BOOL LoadToolBar(UINT nIDResource);
  BOOL LoadToolBar(LPCTSTR lpszResourceName);
  BOOL LoadBitmap(UINT nIDResource);
  BOOL SetButtons(const UINT* lpIDArray, int nIDCount);
  void SetSizes(SIZE sizeButton, SIZE sizeImage);
  void SetHeight(int cyHeight);

  int CommandToIndex(UINT nIDFind) const;
  UINT GetItemID(int nIndex) const;
  void GetItemRect(int nIndex, LPRECT lpRect) const;
  UINT GetButtonStyle(int nIndex) const;
  void SetButtonStyle(int nIndex, UINT nStyle);
  void GetButtonInfo(int nIndex, UINT& nID, UINT& nStyle, int& iImage) const;
  void SetButtonInfo(int nIndex, UINT nID, UINT nStyle, int iImage);
  CString GetButtonText(int nIndex) const;
  BOOL SetButtonText(int nIndex, LPCTSTR lpszText);
  CToolBarCtrl& GetToolBarCtrl() const;
  int GetCount() const override;

  CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
  CSize CalcDynamicLayout(int nLength, DWORD nMode) override;
  void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;

  CSize m_sizeButton{23, 22};
  CSize m_sizeImage{16, 15};

 protected:
  int HitTestTool(CPoint point, UINT* pnID, CRect* pRect, CString* pTip) const override;
  // Lays the buttons out in a row (or, with LM_VERTDOCK, a column); with
  // LM_COMMIT the buttons keep the wrap and hidden states the layout read
  // through TB_GETBUTTON.
  virtual CSize CalcLayout(DWORD dwMode, int nLength = -1);

 private:
  mutable CToolBarCtrl m_ctrl;
  CImageList m_images;  // the picture strip of LoadBitmap
};

class CStatusBar : public CControlBar {
  DECLARE_DYNAMIC(CStatusBar)
 public:
  CStatusBar();
  ~CStatusBar() override;

  BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM, UINT nID = AFX_IDW_STATUS_BAR);
  BOOL CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle = 0, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM,
                UINT nID = AFX_IDW_STATUS_BAR);
  // One pane per id: ID_SEPARATOR (0) is a stretching pane without a fixed
  // text (the first one shows the window text); the other panes are as
  // wide as the text of their id's string. FALSE when a string is missing.
  BOOL SetIndicators(const UINT* lpIDArray, int nIDCount);

  int CommandToIndex(UINT nIDFind) const;
  UINT GetItemID(int nIndex) const;
  void GetItemRect(int nIndex, LPRECT lpRect) const;
  void GetPaneInfo(int nIndex, UINT& nID, UINT& nStyle, int& cxWidth) const;
  void SetPaneInfo(int nIndex, UINT nID, UINT nStyle, int cxWidth);
  UINT GetPaneStyle(int nIndex) const;
  void SetPaneStyle(int nIndex, UINT nStyle);
  CString GetPaneText(int nIndex) const;
  void GetPaneText(int nIndex, CString& s) const { s = GetPaneText(nIndex); }
  BOOL SetPaneText(int nIndex, LPCTSTR lpszNewText, BOOL bUpdate = TRUE);
  CStatusBarCtrl& GetStatusBarCtrl() const;
  int GetCount() const override { return static_cast<int>(m_panes.size()); }

  CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
  void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;
  // Hands the panes' widths and texts to the control.
  void UpdateAllPanes(BOOL bUpdateRects, BOOL bUpdateText);

 protected:
  struct Pane {
    UINT nID = 0;
    UINT nStyle = 0;
    int cxText = 0;
    CString text;
  };
  std::vector<Pane> m_panes;

  int HitTestTool(CPoint point, UINT* pnID, CRect* pRect, CString* pTip) const override;
  afx_msg void OnSize(UINT nType, int cx, int cy);
  DECLARE_MESSAGE_MAP()

 private:
  mutable CStatusBarCtrl m_ctrl;
};
