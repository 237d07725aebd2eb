// Tooltips (class "tooltips_class32") and CToolTipCtrl: tools are windows
// or rectangles of a window with a text; mouse messages handed to
// RelayEvent show the tool's text in a small pop-up after the initial delay
// and hide it after the pop-up time, at a click, or when the mouse leaves
// the tool. A tool whose text is LPSTR_TEXTCALLBACK asks its window with
// TTN_NEEDTEXT each time it shows.
#pragma once

#include "platform/wnd/window.h"

#define TOOLTIPS_CLASS "tooltips_class32"

constexpr DWORD TTS_ALWAYSTIP = 0x01;
constexpr DWORD TTS_NOPREFIX = 0x02;

constexpr UINT TTF_IDISHWND = 0x0001;
constexpr UINT TTF_CENTERTIP = 0x0002;
constexpr UINT TTF_SUBCLASS = 0x0010;
constexpr UINT TTF_TRACK = 0x0020;
constexpr UINT TTF_ABSOLUTE = 0x0080;
constexpr UINT TTF_TRANSPARENT = 0x0100;

constexpr DWORD TTDT_AUTOMATIC = 0;
constexpr DWORD TTDT_RESHOW = 1;
constexpr DWORD TTDT_AUTOPOP = 2;
constexpr DWORD TTDT_INITIAL = 3;

constexpr UINT TTM_ACTIVATE = WM_USER + 1;
constexpr UINT TTM_SETDELAYTIME = WM_USER + 3;
constexpr UINT TTM_ADDTOOL = WM_USER + 4;
constexpr UINT TTM_DELTOOL = WM_USER + 5;
constexpr UINT TTM_NEWTOOLRECT = WM_USER + 6;
constexpr UINT TTM_RELAYEVENT = WM_USER + 7;
constexpr UINT TTM_GETTOOLINFO = WM_USER + 8;
constexpr UINT TTM_SETTOOLINFO = WM_USER + 9;
constexpr UINT TTM_GETTEXT = WM_USER + 11;
constexpr UINT TTM_UPDATETIPTEXT = WM_USER + 12;
constexpr UINT TTM_GETTOOLCOUNT = WM_USER + 13;
constexpr UINT TTM_GETCURRENTTOOL = WM_USER + 15;
constexpr UINT TTM_SETTIPBKCOLOR = WM_USER + 19;
constexpr UINT TTM_SETTIPTEXTCOLOR = WM_USER + 20;
constexpr UINT TTM_GETDELAYTIME = WM_USER + 21;
constexpr UINT TTM_SETMAXTIPWIDTH = WM_USER + 24;
constexpr UINT TTM_GETMAXTIPWIDTH = WM_USER + 25;
constexpr UINT TTM_POP = WM_USER + 28;
constexpr UINT TTM_UPDATE = WM_USER + 29;

constexpr UINT TTN_FIRST = static_cast<UINT>(-520);
constexpr UINT TTN_NEEDTEXT = TTN_FIRST - 0;
constexpr UINT TTN_GETDISPINFO = TTN_NEEDTEXT;
constexpr UINT TTN_SHOW = TTN_FIRST - 1;
constexpr UINT TTN_POP = TTN_FIRST - 2;

#define LPSTR_TEXTCALLBACK (reinterpret_cast<LPSTR>(static_cast<std::intptr_t>(-1)))

struct TOOLINFO {
  UINT cbSize;
  UINT uFlags;
  HWND hwnd;
  UINT_PTR uId;
  RECT rect;
  HINSTANCE hinst;
  LPSTR lpszText;
  LPARAM lParam;
};
using LPTOOLINFO = TOOLINFO*;

// TTN_NEEDTEXT: the tool fills szText, or points lpszText at a text (or a
// string id with hinst).
struct NMTTDISPINFO {
  NMHDR hdr;
  LPSTR lpszText;
  char szText[80];
  HINSTANCE hinst;
  UINT uFlags;
  LPARAM lParam;
};
using TOOLTIPTEXT = NMTTDISPINFO;

class CToolTipCtrl : public CWnd {
  DECLARE_DYNAMIC(CToolTipCtrl)
 public:
  CToolTipCtrl() = default;
  BOOL Create(CWnd* pParentWnd, DWORD dwStyle = 0);

  void Activate(BOOL bActivate) { SendMessage(TTM_ACTIVATE, static_cast<WPARAM>(bActivate)); }
  // nIDTool 0 without a rectangle: the tool is the window itself.
  BOOL AddTool(CWnd* pWnd, LPCTSTR lpszText = LPSTR_TEXTCALLBACK, LPCRECT lpRectTool = nullptr, UINT_PTR nIDTool = 0);
  BOOL AddTool(CWnd* pWnd, UINT nIDText, LPCRECT lpRectTool = nullptr, UINT_PTR nIDTool = 0);
  void DelTool(CWnd* pWnd, UINT_PTR nIDTool = 0);
  void GetText(CString& str, CWnd* pWnd, UINT_PTR nIDTool = 0) const;
  int GetToolCount() const { return static_cast<int>(const_cast<CToolTipCtrl*>(this)->SendMessage(TTM_GETTOOLCOUNT)); }
  void SetToolRect(CWnd* pWnd, UINT_PTR nIDTool, LPCRECT lpRect);
  void UpdateTipText(LPCTSTR lpszText, CWnd* pWnd, UINT_PTR nIDTool = 0);
  void UpdateTipText(UINT nIDText, CWnd* pWnd, UINT_PTR nIDTool = 0);
  // Hands a mouse message (of the program's message loop or of
  // PreTranslateMessage) to the tooltips.
  void RelayEvent(LPMSG lpMsg) { SendMessage(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(lpMsg)); }
  void SetDelayTime(UINT nDelay) { SendMessage(TTM_SETDELAYTIME, TTDT_AUTOMATIC, static_cast<LPARAM>(nDelay)); }
  void SetDelayTime(DWORD dwDuration, int iTime) { SendMessage(TTM_SETDELAYTIME, dwDuration, static_cast<LPARAM>(iTime)); }
  int GetDelayTime(DWORD dwDuration) const {
    return static_cast<int>(const_cast<CToolTipCtrl*>(this)->SendMessage(TTM_GETDELAYTIME, dwDuration));
  }
  int SetMaxTipWidth(int iWidth) { return static_cast<int>(SendMessage(TTM_SETMAXTIPWIDTH, 0, iWidth)); }
  void SetTipBkColor(COLORREF clr) { SendMessage(TTM_SETTIPBKCOLOR, clr); }
  void SetTipTextColor(COLORREF clr) { SendMessage(TTM_SETTIPTEXTCOLOR, clr); }
  void Pop() { SendMessage(TTM_POP); }
  void Update() { SendMessage(TTM_UPDATE); }

 private:
  void FillInToolInfo(TOOLINFO& ti, CWnd* pWnd, UINT_PTR nIDTool) const;
};
