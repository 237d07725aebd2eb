// Window manager names of the Windows programming model: message numbers,
// window and control styles, notification codes, the structures that travel
// with messages, and the plain functions on window handles. Every number is
// the documented Windows value, so that stored data and message tables read
// as they would on Windows.
#pragma once

#include "platform/base/resource.h"
#include "platform/base/wintypes.h"
#include "platform/base/msgbox.h"
#include "platform/gdi/gdi_api.h"

class CWnd;

using ULONG_PTR = std::uintptr_t;

// ---------------------------------------------------------------------------
// Window messages.
constexpr UINT WM_NULL = 0x0000;
constexpr UINT WM_CREATE = 0x0001;
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_MOVE = 0x0003;
constexpr UINT WM_SIZE = 0x0005;
constexpr UINT WM_ACTIVATE = 0x0006;
constexpr UINT WM_SETFOCUS = 0x0007;
constexpr UINT WM_KILLFOCUS = 0x0008;
constexpr UINT WM_ENABLE = 0x000A;
constexpr UINT WM_SETREDRAW = 0x000B;
constexpr UINT WM_SETTEXT = 0x000C;
constexpr UINT WM_GETTEXT = 0x000D;
constexpr UINT WM_GETTEXTLENGTH = 0x000E;
constexpr UINT WM_PAINT = 0x000F;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_ERASEBKGND = 0x0014;
constexpr UINT WM_SYSCOLORCHANGE = 0x0015;
constexpr UINT WM_SHOWWINDOW = 0x0018;
constexpr UINT WM_SETTINGCHANGE = 0x001A;
constexpr UINT WM_ACTIVATEAPP = 0x001C;
constexpr UINT WM_CANCELMODE = 0x001F;
constexpr UINT WM_SETCURSOR = 0x0020;
constexpr UINT WM_MOUSEACTIVATE = 0x0021;
constexpr UINT WM_GETMINMAXINFO = 0x0024;
constexpr UINT WM_NEXTDLGCTL = 0x0028;
constexpr UINT WM_DRAWITEM = 0x002B;
constexpr UINT WM_MEASUREITEM = 0x002C;
constexpr UINT WM_DELETEITEM = 0x002D;
constexpr UINT WM_SETFONT = 0x0030;
constexpr UINT WM_GETFONT = 0x0031;
constexpr UINT WM_WINDOWPOSCHANGING = 0x0046;
constexpr UINT WM_WINDOWPOSCHANGED = 0x0047;
constexpr UINT WM_COPYDATA = 0x004A;
constexpr UINT WM_NOTIFY = 0x004E;
constexpr UINT WM_HELP = 0x0053;
constexpr UINT WM_CONTEXTMENU = 0x007B;
constexpr UINT WM_STYLECHANGING = 0x007C;
constexpr UINT WM_STYLECHANGED = 0x007D;
constexpr UINT WM_GETICON = 0x007F;
constexpr UINT WM_SETICON = 0x0080;
constexpr UINT WM_NCCREATE = 0x0081;
constexpr UINT WM_NCDESTROY = 0x0082;
constexpr UINT WM_NCCALCSIZE = 0x0083;
constexpr UINT WM_NCHITTEST = 0x0084;
constexpr UINT WM_NCPAINT = 0x0085;
constexpr UINT WM_NCACTIVATE = 0x0086;
constexpr UINT WM_GETDLGCODE = 0x0087;
constexpr UINT WM_NCMOUSEMOVE = 0x00A0;
constexpr UINT WM_NCLBUTTONDOWN = 0x00A1;
constexpr UINT WM_NCLBUTTONUP = 0x00A2;
constexpr UINT WM_NCLBUTTONDBLCLK = 0x00A3;
constexpr UINT WM_KEYFIRST = 0x0100;
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_KEYUP = 0x0101;
constexpr UINT WM_CHAR = 0x0102;
constexpr UINT WM_DEADCHAR = 0x0103;
constexpr UINT WM_SYSKEYDOWN = 0x0104;
constexpr UINT WM_SYSKEYUP = 0x0105;
constexpr UINT WM_SYSCHAR = 0x0106;
constexpr UINT WM_KEYLAST = 0x0109;
constexpr UINT WM_INITDIALOG = 0x0110;
constexpr UINT WM_COMMAND = 0x0111;
constexpr UINT WM_SYSCOMMAND = 0x0112;
constexpr UINT WM_TIMER = 0x0113;
constexpr UINT WM_HSCROLL = 0x0114;
constexpr UINT WM_VSCROLL = 0x0115;
constexpr UINT WM_INITMENU = 0x0116;
constexpr UINT WM_INITMENUPOPUP = 0x0117;
constexpr UINT WM_MENUSELECT = 0x011F;
constexpr UINT WM_MENUCHAR = 0x0120;
constexpr UINT WM_ENTERIDLE = 0x0121;
constexpr UINT WM_UNINITMENUPOPUP = 0x0125;
constexpr UINT WM_CTLCOLORMSGBOX = 0x0132;
constexpr UINT WM_CTLCOLOREDIT = 0x0133;
constexpr UINT WM_CTLCOLORLISTBOX = 0x0134;
constexpr UINT WM_CTLCOLORBTN = 0x0135;
constexpr UINT WM_CTLCOLORDLG = 0x0136;
constexpr UINT WM_CTLCOLORSCROLLBAR = 0x0137;
constexpr UINT WM_CTLCOLORSTATIC = 0x0138;
constexpr UINT WM_MOUSEFIRST = 0x0200;
constexpr UINT WM_MOUSEMOVE = 0x0200;
constexpr UINT WM_LBUTTONDOWN = 0x0201;
constexpr UINT WM_LBUTTONUP = 0x0202;
constexpr UINT WM_LBUTTONDBLCLK = 0x0203;
constexpr UINT WM_RBUTTONDOWN = 0x0204;
constexpr UINT WM_RBUTTONUP = 0x0205;
constexpr UINT WM_RBUTTONDBLCLK = 0x0206;
constexpr UINT WM_MBUTTONDOWN = 0x0207;
constexpr UINT WM_MBUTTONUP = 0x0208;
constexpr UINT WM_MBUTTONDBLCLK = 0x0209;
constexpr UINT WM_MOUSEWHEEL = 0x020A;
constexpr UINT WM_MOUSELAST = 0x020A;
constexpr UINT WM_PARENTNOTIFY = 0x0210;
constexpr UINT WM_ENTERMENULOOP = 0x0211;
constexpr UINT WM_EXITMENULOOP = 0x0212;
constexpr UINT WM_SIZING = 0x0214;
constexpr UINT WM_CAPTURECHANGED = 0x0215;
constexpr UINT WM_MOVING = 0x0216;
constexpr UINT WM_ENTERSIZEMOVE = 0x0231;
constexpr UINT WM_EXITSIZEMOVE = 0x0232;
constexpr UINT WM_DROPFILES = 0x0233;
constexpr UINT WM_MOUSEHOVER = 0x02A1;
constexpr UINT WM_MOUSELEAVE = 0x02A3;
constexpr UINT WM_CUT = 0x0300;
constexpr UINT WM_COPY = 0x0301;
constexpr UINT WM_PASTE = 0x0302;
constexpr UINT WM_CLEAR = 0x0303;
constexpr UINT WM_UNDO = 0x0304;
constexpr UINT WM_USER = 0x0400;
constexpr UINT WM_APP = 0x8000;

// The framework's own messages (0x0360 - 0x037F).
constexpr UINT WM_QUERYAFXWNDPROC = 0x0360;
constexpr UINT WM_SIZEPARENT = 0x0361;
constexpr UINT WM_SETMESSAGESTRING = 0x0362;
constexpr UINT WM_IDLEUPDATECMDUI = 0x0363;
constexpr UINT WM_INITIALUPDATE = 0x0364;
constexpr UINT WM_COMMANDHELP = 0x0365;
constexpr UINT WM_RECALCPARENT = 0x0368;
constexpr UINT WM_SIZECHILD = 0x0369;
constexpr UINT WM_KICKIDLE = 0x036A;
constexpr UINT WM_QUERYCENTERWND = 0x036B;
constexpr UINT WM_DISABLEMODAL = 0x036C;
constexpr UINT WM_FLOATSTATUS = 0x036D;
constexpr UINT WM_ACTIVATETOPLEVEL = 0x036E;
constexpr UINT WM_POPMESSAGESTRING = 0x0375;

// Messages reflected back to the control that sent a notification.
constexpr UINT WM_REFLECT_BASE = 0xBC00;

// Dialog messages.
constexpr UINT DM_GETDEFID = WM_USER + 0;
constexpr UINT DM_SETDEFID = WM_USER + 1;
constexpr WORD DC_HASDEFID = 0x534B;

// ---------------------------------------------------------------------------
// Window styles.
constexpr DWORD WS_OVERLAPPED = 0x00000000;
constexpr DWORD WS_POPUP = 0x80000000;
constexpr DWORD WS_CHILD = 0x40000000;
constexpr DWORD WS_MINIMIZE = 0x20000000;
constexpr DWORD WS_VISIBLE = 0x10000000;
constexpr DWORD WS_DISABLED = 0x08000000;
constexpr DWORD WS_CLIPSIBLINGS = 0x04000000;
constexpr DWORD WS_CLIPCHILDREN = 0x02000000;
constexpr DWORD WS_MAXIMIZE = 0x01000000;
constexpr DWORD WS_CAPTION = 0x00C00000;
constexpr DWORD WS_BORDER = 0x00800000;
constexpr DWORD WS_DLGFRAME = 0x00400000;
constexpr DWORD WS_VSCROLL = 0x00200000;
constexpr DWORD WS_HSCROLL = 0x00100000;
constexpr DWORD WS_SYSMENU = 0x00080000;
constexpr DWORD WS_THICKFRAME = 0x00040000;
constexpr DWORD WS_GROUP = 0x00020000;
constexpr DWORD WS_TABSTOP = 0x00010000;
constexpr DWORD WS_MINIMIZEBOX = 0x00020000;
constexpr DWORD WS_MAXIMIZEBOX = 0x00010000;
constexpr DWORD WS_TILED = WS_OVERLAPPED;
constexpr DWORD WS_ICONIC = WS_MINIMIZE;
constexpr DWORD WS_SIZEBOX = WS_THICKFRAME;
constexpr DWORD WS_CHILDWINDOW = WS_CHILD;
constexpr DWORD WS_OVERLAPPEDWINDOW =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
constexpr DWORD WS_POPUPWINDOW = WS_POPUP | WS_BORDER | WS_SYSMENU;

constexpr DWORD WS_EX_DLGMODALFRAME = 0x00000001;
constexpr DWORD WS_EX_NOPARENTNOTIFY = 0x00000004;
constexpr DWORD WS_EX_TOPMOST = 0x00000008;
constexpr DWORD WS_EX_ACCEPTFILES = 0x00000010;
constexpr DWORD WS_EX_TRANSPARENT = 0x00000020;
constexpr DWORD WS_EX_MDICHILD = 0x00000040;
constexpr DWORD WS_EX_TOOLWINDOW = 0x00000080;
constexpr DWORD WS_EX_WINDOWEDGE = 0x00000100;
constexpr DWORD WS_EX_CLIENTEDGE = 0x00000200;
constexpr DWORD WS_EX_CONTEXTHELP = 0x00000400;
constexpr DWORD WS_EX_RIGHT = 0x00001000;
constexpr DWORD WS_EX_LEFTSCROLLBAR = 0x00004000;
constexpr DWORD WS_EX_CONTROLPARENT = 0x00010000;
constexpr DWORD WS_EX_STATICEDGE = 0x00020000;
constexpr DWORD WS_EX_APPWINDOW = 0x00040000;
constexpr DWORD WS_EX_LAYERED = 0x00080000;
constexpr DWORD WS_EX_NOACTIVATE = 0x08000000;
constexpr DWORD WS_EX_OVERLAPPEDWINDOW = WS_EX_WINDOWEDGE | WS_EX_CLIENTEDGE;

// Frame window styles of the framework.
constexpr DWORD FWS_ADDTOTITLE = 0x00008000;
constexpr DWORD FWS_PREFIXTITLE = 0x00004000;
constexpr DWORD FWS_SNAPTOBARS = 0x00002000;

// Class styles.
constexpr UINT CS_VREDRAW = 0x0001;
constexpr UINT CS_HREDRAW = 0x0002;
constexpr UINT CS_DBLCLKS = 0x0008;
constexpr UINT CS_OWNDC = 0x0020;
constexpr UINT CS_CLASSDC = 0x0040;
constexpr UINT CS_PARENTDC = 0x0080;
constexpr UINT CS_NOCLOSE = 0x0200;
constexpr UINT CS_SAVEBITS = 0x0800;
constexpr UINT CS_GLOBALCLASS = 0x4000;

constexpr int CW_USEDEFAULT = static_cast<int>(0x80000000u);

// ShowWindow commands.
constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_NORMAL = 1;
constexpr int SW_SHOWMINIMIZED = 2;
constexpr int SW_SHOWMAXIMIZED = 3;
constexpr int SW_MAXIMIZE = 3;
constexpr int SW_SHOWNOACTIVATE = 4;
constexpr int SW_SHOW = 5;
constexpr int SW_MINIMIZE = 6;
constexpr int SW_SHOWMINNOACTIVE = 7;
constexpr int SW_SHOWNA = 8;
constexpr int SW_RESTORE = 9;
constexpr int SW_SHOWDEFAULT = 10;

// SetWindowPos.
constexpr UINT SWP_NOSIZE = 0x0001;
constexpr UINT SWP_NOMOVE = 0x0002;
constexpr UINT SWP_NOZORDER = 0x0004;
constexpr UINT SWP_NOREDRAW = 0x0008;
constexpr UINT SWP_NOACTIVATE = 0x0010;
constexpr UINT SWP_FRAMECHANGED = 0x0020;
constexpr UINT SWP_DRAWFRAME = SWP_FRAMECHANGED;
constexpr UINT SWP_SHOWWINDOW = 0x0040;
constexpr UINT SWP_HIDEWINDOW = 0x0080;
constexpr UINT SWP_NOCOPYBITS = 0x0100;
constexpr UINT SWP_NOOWNERZORDER = 0x0200;
constexpr UINT SWP_NOREPOSITION = SWP_NOOWNERZORDER;
constexpr UINT SWP_NOSENDCHANGING = 0x0400;
constexpr UINT SWP_DEFERERASE = 0x2000;
constexpr UINT SWP_ASYNCWINDOWPOS = 0x4000;
#define HWND_TOP (reinterpret_cast<HWND>(static_cast<std::intptr_t>(0)))
#define HWND_BOTTOM (reinterpret_cast<HWND>(static_cast<std::intptr_t>(1)))
#define HWND_TOPMOST (reinterpret_cast<HWND>(static_cast<std::intptr_t>(-1)))
#define HWND_NOTOPMOST (reinterpret_cast<HWND>(static_cast<std::intptr_t>(-2)))

// GetWindow.
constexpr UINT GW_HWNDFIRST = 0;
constexpr UINT GW_HWNDLAST = 1;
constexpr UINT GW_HWNDNEXT = 2;
constexpr UINT GW_HWNDPREV = 3;
constexpr UINT GW_OWNER = 4;
constexpr UINT GW_CHILD = 5;

// Get/SetWindowLong.
constexpr int GWL_WNDPROC = -4;
constexpr int GWL_HINSTANCE = -6;
constexpr int GWL_HWNDPARENT = -8;
constexpr int GWL_ID = -12;
constexpr int GWL_STYLE = -16;
constexpr int GWL_EXSTYLE = -20;
constexpr int GWL_USERDATA = -21;
constexpr int GWLP_WNDPROC = GWL_WNDPROC;
constexpr int GWLP_HINSTANCE = GWL_HINSTANCE;
constexpr int GWLP_HWNDPARENT = GWL_HWNDPARENT;
constexpr int GWLP_ID = GWL_ID;
constexpr int GWLP_USERDATA = GWL_USERDATA;
constexpr int DWL_MSGRESULT = 0;
constexpr int DWLP_MSGRESULT = 0;

// Scroll bars.
constexpr int SB_HORZ = 0;
constexpr int SB_VERT = 1;
constexpr int SB_CTL = 2;
constexpr int SB_BOTH = 3;
constexpr UINT SB_LINEUP = 0;
constexpr UINT SB_LINELEFT = 0;
constexpr UINT SB_LINEDOWN = 1;
constexpr UINT SB_LINERIGHT = 1;
constexpr UINT SB_PAGEUP = 2;
constexpr UINT SB_PAGELEFT = 2;
constexpr UINT SB_PAGEDOWN = 3;
constexpr UINT SB_PAGERIGHT = 3;
constexpr UINT SB_THUMBPOSITION = 4;
constexpr UINT SB_THUMBTRACK = 5;
constexpr UINT SB_TOP = 6;
constexpr UINT SB_LEFT = 6;
constexpr UINT SB_BOTTOM = 7;
constexpr UINT SB_RIGHT = 7;
constexpr UINT SB_ENDSCROLL = 8;
constexpr UINT SIF_RANGE = 0x0001;
constexpr UINT SIF_PAGE = 0x0002;
constexpr UINT SIF_POS = 0x0004;
constexpr UINT SIF_DISABLENOSCROLL = 0x0008;
constexpr UINT SIF_TRACKPOS = 0x0010;
constexpr UINT SIF_ALL = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;
constexpr UINT ESB_ENABLE_BOTH = 0x0000;
constexpr UINT ESB_DISABLE_BOTH = 0x0003;
constexpr UINT SBS_HORZ = 0x0000;
constexpr UINT SBS_VERT = 0x0001;
constexpr UINT SBM_SETPOS = 0x00E0;
constexpr UINT SBM_GETPOS = 0x00E1;
constexpr UINT SBM_SETRANGE = 0x00E2;
constexpr UINT SBM_GETRANGE = 0x00E3;
constexpr UINT SBM_SETSCROLLINFO = 0x00E9;
constexpr UINT SBM_GETSCROLLINFO = 0x00EA;

// ScrollWindowEx.
constexpr UINT SW_SCROLLCHILDREN = 0x0001;
constexpr UINT SW_INVALIDATE = 0x0002;
constexpr UINT SW_ERASE = 0x0004;

// RedrawWindow.
constexpr UINT RDW_INVALIDATE = 0x0001;
constexpr UINT RDW_INTERNALPAINT = 0x0002;
constexpr UINT RDW_ERASE = 0x0004;
constexpr UINT RDW_VALIDATE = 0x0008;
constexpr UINT RDW_NOINTERNALPAINT = 0x0010;
constexpr UINT RDW_NOERASE = 0x0020;
constexpr UINT RDW_NOCHILDREN = 0x0040;
constexpr UINT RDW_ALLCHILDREN = 0x0080;
constexpr UINT RDW_UPDATENOW = 0x0100;
constexpr UINT RDW_ERASENOW = 0x0200;
constexpr UINT RDW_FRAME = 0x0400;
constexpr UINT RDW_NOFRAME = 0x0800;

// Mouse key flags.
constexpr UINT MK_LBUTTON = 0x0001;
constexpr UINT MK_RBUTTON = 0x0002;
constexpr UINT MK_SHIFT = 0x0004;
constexpr UINT MK_CONTROL = 0x0008;
constexpr UINT MK_MBUTTON = 0x0010;
constexpr int WHEEL_DELTA = 120;
inline short GET_WHEEL_DELTA_WPARAM(WPARAM w) { return static_cast<short>(HIWORD(w)); }
inline WORD GET_KEYSTATE_WPARAM(WPARAM w) { return LOWORD(w); }

// TrackMouseEvent.
constexpr DWORD TME_HOVER = 0x00000001;
constexpr DWORD TME_LEAVE = 0x00000002;
constexpr DWORD TME_CANCEL = 0x80000000;
constexpr DWORD HOVER_DEFAULT = 0xFFFFFFFF;

// Hit-test codes.
constexpr int HTERROR = -2;
constexpr int HTTRANSPARENT = -1;
constexpr int HTNOWHERE = 0;
constexpr int HTCLIENT = 1;
constexpr int HTCAPTION = 2;
constexpr int HTSYSMENU = 3;
constexpr int HTMENU = 5;
constexpr int HTHSCROLL = 6;
constexpr int HTVSCROLL = 7;
constexpr int HTBORDER = 18;
constexpr int HTCLOSE = 20;

// System commands.
constexpr UINT SC_SIZE = 0xF000;
constexpr UINT SC_MOVE = 0xF010;
constexpr UINT SC_MINIMIZE = 0xF020;
constexpr UINT SC_MAXIMIZE = 0xF030;
constexpr UINT SC_NEXTWINDOW = 0xF040;
constexpr UINT SC_CLOSE = 0xF060;
constexpr UINT SC_KEYMENU = 0xF100;
constexpr UINT SC_RESTORE = 0xF120;

// WM_SIZE, WM_ACTIVATE, WM_MOUSEACTIVATE.
constexpr UINT SIZE_RESTORED = 0;
constexpr UINT SIZE_MINIMIZED = 1;
constexpr UINT SIZE_MAXIMIZED = 2;
constexpr UINT WA_INACTIVE = 0;
constexpr UINT WA_ACTIVE = 1;
constexpr UINT WA_CLICKACTIVE = 2;
constexpr int MA_ACTIVATE = 1;
constexpr int MA_ACTIVATEANDEAT = 2;
constexpr int MA_NOACTIVATE = 3;
constexpr int MA_NOACTIVATEANDEAT = 4;

// Icons.
constexpr WPARAM ICON_SMALL = 0;
constexpr WPARAM ICON_BIG = 1;

// Layered windows.
constexpr DWORD LWA_COLORKEY = 0x00000001;
constexpr DWORD LWA_ALPHA = 0x00000002;

// Message filters.
constexpr int MSGF_DIALOGBOX = 0;
constexpr int MSGF_MENU = 2;

// WM_CTLCOLOR kinds of OnCtlColor.
constexpr UINT CTLCOLOR_MSGBOX = 0;
constexpr UINT CTLCOLOR_EDIT = 1;
constexpr UINT CTLCOLOR_LISTBOX = 2;
constexpr UINT CTLCOLOR_BTN = 3;
constexpr UINT CTLCOLOR_DLG = 4;
constexpr UINT CTLCOLOR_SCROLLBAR = 5;
constexpr UINT CTLCOLOR_STATIC = 6;

// Dialog codes (WM_GETDLGCODE).
constexpr UINT DLGC_WANTARROWS = 0x0001;
constexpr UINT DLGC_WANTTAB = 0x0002;
constexpr UINT DLGC_WANTALLKEYS = 0x0004;
constexpr UINT DLGC_WANTMESSAGE = 0x0004;
constexpr UINT DLGC_HASSETSEL = 0x0008;
constexpr UINT DLGC_DEFPUSHBUTTON = 0x0010;
constexpr UINT DLGC_UNDEFPUSHBUTTON = 0x0020;
constexpr UINT DLGC_RADIOBUTTON = 0x0040;
constexpr UINT DLGC_WANTCHARS = 0x0080;
constexpr UINT DLGC_STATIC = 0x0100;
constexpr UINT DLGC_BUTTON = 0x2000;

// Dialog template styles.
constexpr DWORD DS_ABSALIGN = 0x0001;
constexpr DWORD DS_SYSMODAL = 0x0002;
constexpr DWORD DS_3DLOOK = 0x0004;
constexpr DWORD DS_FIXEDSYS = 0x0008;
constexpr DWORD DS_NOFAILCREATE = 0x0010;
constexpr DWORD DS_LOCALEDIT = 0x0020;
constexpr DWORD DS_SETFONT = 0x0040;
constexpr DWORD DS_MODALFRAME = 0x0080;
constexpr DWORD DS_NOIDLEMSG = 0x0100;
constexpr DWORD DS_SETFOREGROUND = 0x0200;
constexpr DWORD DS_CONTROL = 0x0400;
constexpr DWORD DS_CENTER = 0x0800;
constexpr DWORD DS_CENTERMOUSE = 0x1000;
constexpr DWORD DS_CONTEXTHELP = 0x2000;
constexpr DWORD DS_SHELLFONT = DS_SETFONT | DS_FIXEDSYS;

// The control id of labels that need none.
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// ---------------------------------------------------------------------------
// Buttons.
constexpr DWORD BS_PUSHBUTTON = 0x0000;
constexpr DWORD BS_DEFPUSHBUTTON = 0x0001;
constexpr DWORD BS_CHECKBOX = 0x0002;
constexpr DWORD BS_AUTOCHECKBOX = 0x0003;
constexpr DWORD BS_RADIOBUTTON = 0x0004;
constexpr DWORD BS_3STATE = 0x0005;
constexpr DWORD BS_AUTO3STATE = 0x0006;
constexpr DWORD BS_GROUPBOX = 0x0007;
constexpr DWORD BS_USERBUTTON = 0x0008;
constexpr DWORD BS_AUTORADIOBUTTON = 0x0009;
constexpr DWORD BS_PUSHBOX = 0x000A;
constexpr DWORD BS_OWNERDRAW = 0x000B;
constexpr DWORD BS_TYPEMASK = 0x000F;
constexpr DWORD BS_LEFTTEXT = 0x0020;
constexpr DWORD BS_TEXT = 0x0000;
constexpr DWORD BS_ICON = 0x0040;
constexpr DWORD BS_BITMAP = 0x0080;
constexpr DWORD BS_LEFT = 0x0100;
constexpr DWORD BS_RIGHT = 0x0200;
constexpr DWORD BS_CENTER = 0x0300;
constexpr DWORD BS_TOP = 0x0400;
constexpr DWORD BS_BOTTOM = 0x0800;
constexpr DWORD BS_VCENTER = 0x0C00;
constexpr DWORD BS_PUSHLIKE = 0x1000;
constexpr DWORD BS_MULTILINE = 0x2000;
constexpr DWORD BS_NOTIFY = 0x4000;
constexpr DWORD BS_FLAT = 0x8000;
constexpr UINT BM_GETCHECK = 0x00F0;
constexpr UINT BM_SETCHECK = 0x00F1;
constexpr UINT BM_GETSTATE = 0x00F2;
constexpr UINT BM_SETSTATE = 0x00F3;
constexpr UINT BM_SETSTYLE = 0x00F4;
constexpr UINT BM_CLICK = 0x00F5;
constexpr UINT BM_GETIMAGE = 0x00F6;
constexpr UINT BM_SETIMAGE = 0x00F7;
constexpr int BST_UNCHECKED = 0x0000;
constexpr int BST_CHECKED = 0x0001;
constexpr int BST_INDETERMINATE = 0x0002;
constexpr int BST_PUSHED = 0x0004;
constexpr int BST_FOCUS = 0x0008;
constexpr UINT BN_CLICKED = 0;
constexpr UINT BN_PAINT = 1;
constexpr UINT BN_DOUBLECLICKED = 5;
constexpr UINT BN_SETFOCUS = 6;
constexpr UINT BN_KILLFOCUS = 7;

// Statics.
constexpr DWORD SS_LEFT = 0x0000;
constexpr DWORD SS_CENTER = 0x0001;
constexpr DWORD SS_RIGHT = 0x0002;
constexpr DWORD SS_ICON = 0x0003;
constexpr DWORD SS_BLACKRECT = 0x0004;
constexpr DWORD SS_GRAYRECT = 0x0005;
constexpr DWORD SS_WHITERECT = 0x0006;
constexpr DWORD SS_BLACKFRAME = 0x0007;
constexpr DWORD SS_GRAYFRAME = 0x0008;
constexpr DWORD SS_WHITEFRAME = 0x0009;
constexpr DWORD SS_USERITEM = 0x000A;
constexpr DWORD SS_SIMPLE = 0x000B;
constexpr DWORD SS_LEFTNOWORDWRAP = 0x000C;
constexpr DWORD SS_OWNERDRAW = 0x000D;
constexpr DWORD SS_BITMAP = 0x000E;
constexpr DWORD SS_ENHMETAFILE = 0x000F;
constexpr DWORD SS_ETCHEDHORZ = 0x0010;
constexpr DWORD SS_ETCHEDVERT = 0x0011;
constexpr DWORD SS_ETCHEDFRAME = 0x0012;
constexpr DWORD SS_TYPEMASK = 0x001F;
constexpr DWORD SS_NOPREFIX = 0x0080;
constexpr DWORD SS_NOTIFY = 0x0100;
constexpr DWORD SS_CENTERIMAGE = 0x0200;
constexpr DWORD SS_RIGHTJUST = 0x0400;
constexpr DWORD SS_REALSIZEIMAGE = 0x0800;
constexpr DWORD SS_SUNKEN = 0x1000;
constexpr DWORD SS_ENDELLIPSIS = 0x4000;
constexpr UINT STM_SETICON = 0x0170;
constexpr UINT STM_GETICON = 0x0171;
constexpr UINT STM_SETIMAGE = 0x0172;
constexpr UINT STM_GETIMAGE = 0x0173;
constexpr UINT STN_CLICKED = 0;
constexpr UINT STN_DBLCLK = 1;
constexpr UINT STN_ENABLE = 2;
constexpr UINT STN_DISABLE = 3;

// Edits.
constexpr DWORD ES_LEFT = 0x0000;
constexpr DWORD ES_CENTER = 0x0001;
constexpr DWORD ES_RIGHT = 0x0002;
constexpr DWORD ES_MULTILINE = 0x0004;
constexpr DWORD ES_UPPERCASE = 0x0008;
constexpr DWORD ES_LOWERCASE = 0x0010;
constexpr DWORD ES_PASSWORD = 0x0020;
constexpr DWORD ES_AUTOVSCROLL = 0x0040;
constexpr DWORD ES_AUTOHSCROLL = 0x0080;
constexpr DWORD ES_NOHIDESEL = 0x0100;
constexpr DWORD ES_OEMCONVERT = 0x0400;
constexpr DWORD ES_READONLY = 0x0800;
constexpr DWORD ES_WANTRETURN = 0x1000;
constexpr DWORD ES_NUMBER = 0x2000;
constexpr UINT EM_GETSEL = 0x00B0;
constexpr UINT EM_SETSEL = 0x00B1;
constexpr UINT EM_SCROLLCARET = 0x00B7;
constexpr UINT EM_GETMODIFY = 0x00B8;
constexpr UINT EM_SETMODIFY = 0x00B9;
constexpr UINT EM_GETLINECOUNT = 0x00BA;
constexpr UINT EM_LINEINDEX = 0x00BB;
constexpr UINT EM_LINELENGTH = 0x00C1;
constexpr UINT EM_REPLACESEL = 0x00C2;
constexpr UINT EM_GETLINE = 0x00C4;
constexpr UINT EM_LIMITTEXT = 0x00C5;
constexpr UINT EM_SETLIMITTEXT = EM_LIMITTEXT;
constexpr UINT EM_CANUNDO = 0x00C6;
constexpr UINT EM_UNDO = 0x00C7;
constexpr UINT EM_LINEFROMCHAR = 0x00C9;
constexpr UINT EM_SETPASSWORDCHAR = 0x00CC;
constexpr UINT EM_SETREADONLY = 0x00CF;
constexpr UINT EM_GETPASSWORDCHAR = 0x00D2;
constexpr UINT EM_GETLIMITTEXT = 0x00D5;
constexpr UINT EN_SETFOCUS = 0x0100;
constexpr UINT EN_KILLFOCUS = 0x0200;
constexpr UINT EN_CHANGE = 0x0300;
constexpr UINT EN_UPDATE = 0x0400;
constexpr UINT EN_ERRSPACE = 0x0500;
constexpr UINT EN_MAXTEXT = 0x0501;
constexpr UINT EN_HSCROLL = 0x0601;
constexpr UINT EN_VSCROLL = 0x0602;

// Combo and list box notifications (the boxes themselves are placeholders
// until their own implementation registers its window class).
constexpr UINT CBN_ERRSPACE = static_cast<UINT>(-1);
constexpr UINT CBN_SELCHANGE = 1;
constexpr UINT CBN_DBLCLK = 2;
constexpr UINT CBN_SETFOCUS = 3;
constexpr UINT CBN_KILLFOCUS = 4;
constexpr UINT CBN_EDITCHANGE = 5;
constexpr UINT CBN_EDITUPDATE = 6;
constexpr UINT CBN_DROPDOWN = 7;
constexpr UINT CBN_CLOSEUP = 8;
constexpr UINT CBN_SELENDOK = 9;
constexpr UINT CBN_SELENDCANCEL = 10;
constexpr UINT LBN_SELCHANGE = 1;
constexpr UINT LBN_DBLCLK = 2;
constexpr UINT LBN_SELCANCEL = 3;
constexpr UINT LBN_SETFOCUS = 4;
constexpr UINT LBN_KILLFOCUS = 5;
constexpr UINT CB_GETEDITSEL = 0x0140;
constexpr UINT CB_ADDSTRING = 0x0143;
constexpr UINT CB_DELETESTRING = 0x0144;
constexpr UINT CB_GETCOUNT = 0x0146;
constexpr UINT CB_GETCURSEL = 0x0147;
constexpr UINT CB_GETLBTEXT = 0x0148;
constexpr UINT CB_GETLBTEXTLEN = 0x0149;
constexpr UINT CB_INSERTSTRING = 0x014A;
constexpr UINT CB_RESETCONTENT = 0x014B;
constexpr UINT CB_FINDSTRING = 0x014C;
constexpr UINT CB_SELECTSTRING = 0x014D;
constexpr UINT CB_SETCURSEL = 0x014E;
constexpr UINT CB_GETITEMDATA = 0x0150;
constexpr UINT CB_SETITEMDATA = 0x0151;
constexpr UINT CB_FINDSTRINGEXACT = 0x0158;
constexpr int CB_ERR = -1;
constexpr UINT LB_ADDSTRING = 0x0180;
constexpr UINT LB_INSERTSTRING = 0x0181;
constexpr UINT LB_DELETESTRING = 0x0182;
constexpr UINT LB_RESETCONTENT = 0x0184;
constexpr UINT LB_SETCURSEL = 0x0186;
constexpr UINT LB_GETCURSEL = 0x0188;
constexpr UINT LB_GETTEXT = 0x0189;
constexpr UINT LB_GETTEXTLEN = 0x018A;
constexpr UINT LB_GETCOUNT = 0x018B;
constexpr UINT LB_SELECTSTRING = 0x018C;
constexpr UINT LB_GETITEMDATA = 0x0199;
constexpr UINT LB_SETITEMDATA = 0x019A;
constexpr int LB_ERR = -1;

// Trackbars (sliders), for DDX_Slider.
constexpr UINT TBM_GETPOS = WM_USER;
constexpr UINT TBM_SETPOS = WM_USER + 5;

// Common notification codes (WM_NOTIFY). The codes of the individual common
// controls belong with their implementation.
constexpr UINT NM_FIRST = 0;
constexpr UINT NM_OUTOFMEMORY = NM_FIRST - 1;
constexpr UINT NM_CLICK = NM_FIRST - 2;
constexpr UINT NM_DBLCLK = NM_FIRST - 3;
constexpr UINT NM_RETURN = NM_FIRST - 4;
constexpr UINT NM_RCLICK = NM_FIRST - 5;
constexpr UINT NM_RDBLCLK = NM_FIRST - 6;
constexpr UINT NM_SETFOCUS = NM_FIRST - 7;
constexpr UINT NM_KILLFOCUS = NM_FIRST - 8;
constexpr UINT NM_CUSTOMDRAW = NM_FIRST - 12;
constexpr UINT NM_HOVER = NM_FIRST - 13;

// ---------------------------------------------------------------------------
// Virtual-key codes.
constexpr UINT VK_LBUTTON = 0x01;
constexpr UINT VK_RBUTTON = 0x02;
constexpr UINT VK_CANCEL = 0x03;
constexpr UINT VK_MBUTTON = 0x04;
constexpr UINT VK_BACK = 0x08;
constexpr UINT VK_TAB = 0x09;
constexpr UINT VK_CLEAR = 0x0C;
constexpr UINT VK_RETURN = 0x0D;
constexpr UINT VK_SHIFT = 0x10;
constexpr UINT VK_CONTROL = 0x11;
constexpr UINT VK_MENU = 0x12;
constexpr UINT VK_PAUSE = 0x13;
constexpr UINT VK_CAPITAL = 0x14;
constexpr UINT VK_ESCAPE = 0x1B;
constexpr UINT VK_SPACE = 0x20;
constexpr UINT VK_PRIOR = 0x21;
constexpr UINT VK_NEXT = 0x22;
constexpr UINT VK_END = 0x23;
constexpr UINT VK_HOME = 0x24;
constexpr UINT VK_LEFT = 0x25;
constexpr UINT VK_UP = 0x26;
constexpr UINT VK_RIGHT = 0x27;
constexpr UINT VK_DOWN = 0x28;
constexpr UINT VK_SELECT = 0x29;
constexpr UINT VK_PRINT = 0x2A;
constexpr UINT VK_EXECUTE = 0x2B;
constexpr UINT VK_SNAPSHOT = 0x2C;
constexpr UINT VK_INSERT = 0x2D;
constexpr UINT VK_DELETE = 0x2E;
constexpr UINT VK_HELP = 0x2F;
constexpr UINT VK_LWIN = 0x5B;
constexpr UINT VK_RWIN = 0x5C;
constexpr UINT VK_APPS = 0x5D;
constexpr UINT VK_NUMPAD0 = 0x60;
constexpr UINT VK_NUMPAD1 = 0x61;
constexpr UINT VK_NUMPAD2 = 0x62;
constexpr UINT VK_NUMPAD3 = 0x63;
constexpr UINT VK_NUMPAD4 = 0x64;
constexpr UINT VK_NUMPAD5 = 0x65;
constexpr UINT VK_NUMPAD6 = 0x66;
constexpr UINT VK_NUMPAD7 = 0x67;
constexpr UINT VK_NUMPAD8 = 0x68;
constexpr UINT VK_NUMPAD9 = 0x69;
constexpr UINT VK_MULTIPLY = 0x6A;
constexpr UINT VK_ADD = 0x6B;
constexpr UINT VK_SEPARATOR = 0x6C;
constexpr UINT VK_SUBTRACT = 0x6D;
constexpr UINT VK_DECIMAL = 0x6E;
constexpr UINT VK_DIVIDE = 0x6F;
constexpr UINT VK_F1 = 0x70;
constexpr UINT VK_F2 = 0x71;
constexpr UINT VK_F3 = 0x72;
constexpr UINT VK_F4 = 0x73;
constexpr UINT VK_F5 = 0x74;
constexpr UINT VK_F6 = 0x75;
constexpr UINT VK_F7 = 0x76;
constexpr UINT VK_F8 = 0x77;
constexpr UINT VK_F9 = 0x78;
constexpr UINT VK_F10 = 0x79;
constexpr UINT VK_F11 = 0x7A;
constexpr UINT VK_F12 = 0x7B;
constexpr UINT VK_F13 = 0x7C;
constexpr UINT VK_F14 = 0x7D;
constexpr UINT VK_F15 = 0x7E;
constexpr UINT VK_F16 = 0x7F;
constexpr UINT VK_F17 = 0x80;
constexpr UINT VK_F18 = 0x81;
constexpr UINT VK_F19 = 0x82;
constexpr UINT VK_F20 = 0x83;
constexpr UINT VK_F21 = 0x84;
constexpr UINT VK_F22 = 0x85;
constexpr UINT VK_F23 = 0x86;
constexpr UINT VK_F24 = 0x87;
constexpr UINT VK_NUMLOCK = 0x90;
constexpr UINT VK_SCROLL = 0x91;
constexpr UINT VK_LSHIFT = 0xA0;
constexpr UINT VK_RSHIFT = 0xA1;
constexpr UINT VK_LCONTROL = 0xA2;
constexpr UINT VK_RCONTROL = 0xA3;
constexpr UINT VK_LMENU = 0xA4;
constexpr UINT VK_RMENU = 0xA5;
constexpr UINT VK_OEM_1 = 0xBA;
constexpr UINT VK_OEM_PLUS = 0xBB;
constexpr UINT VK_OEM_COMMA = 0xBC;
constexpr UINT VK_OEM_MINUS = 0xBD;
constexpr UINT VK_OEM_PERIOD = 0xBE;
constexpr UINT VK_OEM_2 = 0xBF;
constexpr UINT VK_OEM_3 = 0xC0;
constexpr UINT VK_OEM_4 = 0xDB;
constexpr UINT VK_OEM_5 = 0xDC;
constexpr UINT VK_OEM_6 = 0xDD;
constexpr UINT VK_OEM_7 = 0xDE;

// ---------------------------------------------------------------------------
// Ids the framework gives its own windows, commands and strings.
constexpr UINT AFX_IDW_CONTROLBAR_FIRST = 0xE800;
constexpr UINT AFX_IDW_CONTROLBAR_LAST = 0xE8FF;
constexpr UINT AFX_IDW_TOOLBAR = 0xE800;
constexpr UINT AFX_IDW_STATUS_BAR = 0xE801;
constexpr UINT AFX_IDW_PANE_FIRST = 0xE900;
constexpr UINT AFX_IDW_PANE_LAST = 0xE9FF;
constexpr UINT AFX_IDW_HSCROLL_FIRST = 0xEA00;
constexpr UINT AFX_IDW_VSCROLL_FIRST = 0xEA10;
constexpr UINT AFX_IDW_SIZE_BOX = 0xEA20;
// The framework's command ids. The language packs' ids headers may define
// the same names (as macros, for the menu scripts); the values agree.
#ifndef ID_SEPARATOR
#define ID_SEPARATOR 0
#endif
#ifndef ID_FILE_NEW
#define ID_FILE_NEW 57600
#endif
#ifndef ID_FILE_OPEN
#define ID_FILE_OPEN 57601
#endif
#ifndef ID_FILE_CLOSE
#define ID_FILE_CLOSE 57602
#endif
#ifndef ID_FILE_SAVE
#define ID_FILE_SAVE 57603
#endif
#ifndef ID_FILE_SAVE_AS
#define ID_FILE_SAVE_AS 57604
#endif
#ifndef ID_FILE_PRINT
#define ID_FILE_PRINT 57607
#endif
#ifndef ID_EDIT_UNDO
#define ID_EDIT_UNDO 57643
#endif
#ifndef ID_EDIT_REDO
#define ID_EDIT_REDO 57644
#endif
#ifndef ID_APP_ABOUT
#define ID_APP_ABOUT 57664
#endif
#ifndef ID_APP_EXIT
#define ID_APP_EXIT 57665
#endif
#ifndef ID_NEXT_PANE
#define ID_NEXT_PANE 57680
#endif
#ifndef ID_PREV_PANE
#define ID_PREV_PANE 57681
#endif
#ifndef ID_VIEW_TOOLBAR
#define ID_VIEW_TOOLBAR 59392
#endif
#ifndef ID_VIEW_STATUS_BAR
#define ID_VIEW_STATUS_BAR 59393
#endif
#ifndef ID_INDICATOR_EXT
#define ID_INDICATOR_EXT 59136
#endif
#ifndef ID_INDICATOR_CAPS
#define ID_INDICATOR_CAPS 59137
#endif
#ifndef ID_INDICATOR_NUM
#define ID_INDICATOR_NUM 59138
#endif
#ifndef ID_INDICATOR_SCRL
#define ID_INDICATOR_SCRL 59139
#endif
constexpr UINT AFX_IDS_APP_TITLE = 0xE000;
constexpr UINT AFX_IDS_IDLEMESSAGE = 0xE001;
// The framework's own texts, looked up in the resource pack first and built
// in (English and Russian, by the interface code page) otherwise.
constexpr UINT AFX_IDS_UNTITLED = 0xF000;
constexpr UINT AFX_IDP_ASK_TO_SAVE = 0xF002;
constexpr UINT AFX_IDP_PARSE_INT = 0xF110;
constexpr UINT AFX_IDP_PARSE_REAL = 0xF111;
constexpr UINT AFX_IDP_PARSE_INT_RANGE = 0xF112;
constexpr UINT AFX_IDP_PARSE_REAL_RANGE = 0xF113;
constexpr UINT AFX_IDP_PARSE_STRING_SIZE = 0xF114;
constexpr UINT AFX_IDP_PARSE_BYTE = 0xF116;
constexpr UINT AFX_IDP_PARSE_UINT = 0xF117;

// ---------------------------------------------------------------------------
// Structures that travel with messages.
struct MSG {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  DWORD time;
  POINT pt;
};
using LPMSG = MSG*;

struct CREATESTRUCT {
  LPVOID lpCreateParams;
  HINSTANCE hInstance;
  HMENU hMenu;
  HWND hwndParent;
  int cy;
  int cx;
  int y;
  int x;
  LONG style;
  LPCTSTR lpszName;
  LPCTSTR lpszClass;
  DWORD dwExStyle;
};
using LPCREATESTRUCT = CREATESTRUCT*;

struct WINDOWPOS {
  HWND hwnd;
  HWND hwndInsertAfter;
  int x;
  int y;
  int cx;
  int cy;
  UINT flags;
};
using LPWINDOWPOS = WINDOWPOS*;

struct MINMAXINFO {
  POINT ptReserved;
  POINT ptMaxSize;
  POINT ptMaxPosition;
  POINT ptMinTrackSize;
  POINT ptMaxTrackSize;
};
using LPMINMAXINFO = MINMAXINFO*;

struct SCROLLINFO {
  UINT cbSize;
  UINT fMask;
  int nMin;
  int nMax;
  UINT nPage;
  int nPos;
  int nTrackPos;
};
using LPSCROLLINFO = SCROLLINFO*;
using LPCSCROLLINFO = const SCROLLINFO*;

struct NMHDR {
  HWND hwndFrom;
  UINT_PTR idFrom;
  UINT code;
};
using LPNMHDR = NMHDR*;

struct WINDOWPLACEMENT {
  UINT length;
  UINT flags;
  UINT showCmd;
  POINT ptMinPosition;
  POINT ptMaxPosition;
  RECT rcNormalPosition;
};

struct STYLESTRUCT {
  DWORD styleOld;
  DWORD styleNew;
};

struct COPYDATASTRUCT {
  ULONG_PTR dwData;
  DWORD cbData;
  LPVOID lpData;
};

struct TRACKMOUSEEVENT {
  DWORD cbSize;
  DWORD dwFlags;
  HWND hwndTrack;
  DWORD dwHoverTime;
};

// Owner-drawn items (WM_DRAWITEM, WM_MEASUREITEM).
constexpr UINT ODT_MENU = 1;
constexpr UINT ODT_LISTBOX = 2;
constexpr UINT ODT_COMBOBOX = 3;
constexpr UINT ODT_BUTTON = 4;
constexpr UINT ODT_STATIC = 5;
constexpr UINT ODA_DRAWENTIRE = 0x0001;
constexpr UINT ODA_SELECT = 0x0002;
constexpr UINT ODA_FOCUS = 0x0004;
constexpr UINT ODS_SELECTED = 0x0001;
constexpr UINT ODS_GRAYED = 0x0002;
constexpr UINT ODS_DISABLED = 0x0004;
constexpr UINT ODS_CHECKED = 0x0008;
constexpr UINT ODS_FOCUS = 0x0010;
constexpr UINT ODS_DEFAULT = 0x0020;
constexpr UINT ODS_HOTLIGHT = 0x0040;
constexpr UINT ODS_NOACCEL = 0x0100;
constexpr UINT ODS_NOFOCUSRECT = 0x0200;
struct DRAWITEMSTRUCT {
  UINT CtlType;
  UINT CtlID;
  UINT itemID;
  UINT itemAction;
  UINT itemState;
  HWND hwndItem;
  HDC hDC;
  RECT rcItem;
  ULONG_PTR itemData;
};
using LPDRAWITEMSTRUCT = DRAWITEMSTRUCT*;
struct MEASUREITEMSTRUCT {
  UINT CtlType;
  UINT CtlID;
  UINT itemID;
  UINT itemWidth;
  UINT itemHeight;
  ULONG_PTR itemData;
};
using LPMEASUREITEMSTRUCT = MEASUREITEMSTRUCT*;

// A window class.
using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);
using TIMERPROC = void (*)(HWND, UINT, UINT_PTR, DWORD);
using WNDENUMPROC = BOOL (*)(HWND, LPARAM);
struct WNDCLASS {
  UINT style;
  WNDPROC lpfnWndProc;
  int cbClsExtra;
  int cbWndExtra;
  HINSTANCE hInstance;
  HICON hIcon;
  HCURSOR hCursor;
  HBRUSH hbrBackground;
  LPCTSTR lpszMenuName;
  LPCTSTR lpszClassName;
};
using LPWNDCLASS = WNDCLASS*;

// ---------------------------------------------------------------------------
// Plain window functions.

// Windows classes: RegisterClass copies the description; the name is kept.
ATOM RegisterClass(const WNDCLASS* wc);
BOOL UnregisterClass(LPCTSTR className, HINSTANCE instance);
BOOL GetClassInfo(HINSTANCE instance, LPCTSTR className, LPWNDCLASS out);
int GetClassName(HWND hwnd, LPTSTR buf, int size);

HWND CreateWindowEx(DWORD exStyle, LPCTSTR className, LPCTSTR windowName, DWORD style, int x, int y, int cx,
                    int cy, HWND parent, HMENU menuOrId, HINSTANCE instance, LPVOID param);
BOOL DestroyWindow(HWND hwnd);
BOOL IsWindow(HWND hwnd);
LRESULT DefWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CallWindowProc(WNDPROC proc, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT SendMessage(HWND hwnd, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
BOOL PostMessage(HWND hwnd, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
void PostQuitMessage(int exitCode);
UINT RegisterWindowMessage(LPCTSTR name);
BOOL PeekMessage(LPMSG msg, HWND hwnd, UINT first, UINT last, UINT remove);
constexpr UINT PM_NOREMOVE = 0x0000;
constexpr UINT PM_REMOVE = 0x0001;
BOOL TranslateMessage(const MSG* msg);
LRESULT DispatchMessage(const MSG* msg);
BOOL IsDialogMessage(HWND dialog, LPMSG msg);
DWORD GetMessagePos();
LONG GetMessageTime();

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc);
BOOL KillTimer(HWND hwnd, UINT_PTR id);

HWND GetParent(HWND hwnd);
HWND SetParent(HWND child, HWND newParent);
HWND GetWindow(HWND hwnd, UINT cmd);
HWND GetDlgItem(HWND dialog, int id);
int GetDlgCtrlID(HWND hwnd);
HWND GetAncestor(HWND hwnd, UINT flags);
constexpr UINT GA_PARENT = 1;
constexpr UINT GA_ROOT = 2;
constexpr UINT GA_ROOTOWNER = 3;
BOOL IsChild(HWND parent, HWND hwnd);
HWND GetDesktopWindow();
HWND GetActiveWindow();
HWND SetActiveWindow(HWND hwnd);
HWND GetForegroundWindow();
BOOL SetForegroundWindow(HWND hwnd);
HWND WindowFromPoint(POINT pt);
HWND ChildWindowFromPoint(HWND parent, POINT pt);
BOOL EnumChildWindows(HWND parent, WNDENUMPROC proc, LPARAM lParam);

LONG_PTR GetWindowLongPtr(HWND hwnd, int index);
LONG_PTR SetWindowLongPtr(HWND hwnd, int index, LONG_PTR value);
LONG GetWindowLong(HWND hwnd, int index);
LONG SetWindowLong(HWND hwnd, int index, LONG value);
BOOL SetWindowText(HWND hwnd, LPCTSTR text);
int GetWindowText(HWND hwnd, LPTSTR buf, int size);
int GetWindowTextLength(HWND hwnd);
BOOL SetDlgItemText(HWND dialog, int id, LPCTSTR text);
UINT GetDlgItemText(HWND dialog, int id, LPTSTR buf, int size);
BOOL SetDlgItemInt(HWND dialog, int id, UINT value, BOOL isSigned);
UINT GetDlgItemInt(HWND dialog, int id, BOOL* translated, BOOL isSigned);
BOOL CheckDlgButton(HWND dialog, int id, UINT check);
UINT IsDlgButtonChecked(HWND dialog, int id);
BOOL CheckRadioButton(HWND dialog, int first, int last, int check);
LRESULT SendDlgItemMessage(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam);
HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous);
HWND GetNextDlgGroupItem(HWND dialog, HWND control, BOOL previous);
BOOL EndDialog(HWND dialog, INT_PTR result);
BOOL MapDialogRect(HWND dialog, LPRECT rect);
LONG GetDialogBaseUnits();

BOOL ShowWindow(HWND hwnd, int cmd);
BOOL IsWindowVisible(HWND hwnd);
BOOL EnableWindow(HWND hwnd, BOOL enable);
BOOL IsWindowEnabled(HWND hwnd);
BOOL IsIconic(HWND hwnd);
BOOL IsZoomed(HWND hwnd);
BOOL MoveWindow(HWND hwnd, int x, int y, int cx, int cy, BOOL repaint);
BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
BOOL BringWindowToTop(HWND hwnd);
BOOL GetWindowRect(HWND hwnd, LPRECT rect);
BOOL GetClientRect(HWND hwnd, LPRECT rect);
BOOL ClientToScreen(HWND hwnd, LPPOINT pt);
BOOL ScreenToClient(HWND hwnd, LPPOINT pt);
int MapWindowPoints(HWND from, HWND to, LPPOINT pts, UINT count);
BOOL AdjustWindowRectEx(LPRECT rect, DWORD style, BOOL menu, DWORD exStyle);
BOOL GetWindowPlacement(HWND hwnd, WINDOWPLACEMENT* wp);
BOOL SetWindowPlacement(HWND hwnd, const WINDOWPLACEMENT* wp);

BOOL InvalidateRect(HWND hwnd, LPCRECT rect, BOOL erase);
BOOL InvalidateRgn(HWND hwnd, HRGN rgn, BOOL erase);
BOOL ValidateRect(HWND hwnd, LPCRECT rect);
BOOL ValidateRgn(HWND hwnd, HRGN rgn);
BOOL UpdateWindow(HWND hwnd);
BOOL RedrawWindow(HWND hwnd, LPCRECT rect, HRGN rgn, UINT flags);
BOOL GetUpdateRect(HWND hwnd, LPRECT rect, BOOL erase);
BOOL ScrollWindow(HWND hwnd, int dx, int dy, LPCRECT scrollRect, LPCRECT clipRect);
int ScrollWindowEx(HWND hwnd, int dx, int dy, LPCRECT scrollRect, LPCRECT clipRect, HRGN update,
                   LPRECT updateRect, UINT flags);
BOOL LockWindowUpdate(HWND hwnd);

HWND SetCapture(HWND hwnd);
BOOL ReleaseCapture();
HWND GetCapture();
HWND SetFocus(HWND hwnd);
HWND GetFocus();
BOOL GetCursorPos(LPPOINT pt);
BOOL SetCursorPos(int x, int y);
HCURSOR SetCursor(HCURSOR cursor);
HCURSOR GetCursor();
int ShowCursor(BOOL show);
BOOL TrackMouseEvent(TRACKMOUSEEVENT* tme);
SHORT GetKeyState(int vkey);
SHORT GetAsyncKeyState(int vkey);
BOOL FlashWindow(HWND hwnd, BOOL invert);

int GetScrollPos(HWND hwnd, int bar);
int SetScrollPos(HWND hwnd, int bar, int pos, BOOL redraw);
BOOL GetScrollRange(HWND hwnd, int bar, int* minPos, int* maxPos);
BOOL SetScrollRange(HWND hwnd, int bar, int minPos, int maxPos, BOOL redraw);
BOOL GetScrollInfo(HWND hwnd, int bar, LPSCROLLINFO info);
int SetScrollInfo(HWND hwnd, int bar, LPCSCROLLINFO info, BOOL redraw);
BOOL ShowScrollBar(HWND hwnd, int bar, BOOL show);
BOOL EnableScrollBar(HWND hwnd, int bar, UINT arrows);

BOOL SetLayeredWindowAttributes(HWND hwnd, COLORREF key, BYTE alpha, DWORD flags);
BOOL GetLayeredWindowAttributes(HWND hwnd, COLORREF* key, BYTE* alpha, DWORD* flags);
BOOL SetProp(HWND hwnd, LPCTSTR name, HANDLE data);
HANDLE GetProp(HWND hwnd, LPCTSTR name);
HANDLE RemoveProp(HWND hwnd, LPCTSTR name);

// Accelerator tables.
HACCEL CreateAcceleratorTable(const ACCEL* entries, int count);
BOOL DestroyAcceleratorTable(HACCEL table);
int CopyAcceleratorTable(HACCEL table, ACCEL* out, int count);
HACCEL LoadAccelerators(HINSTANCE instance, LPCTSTR name);
int TranslateAccelerator(HWND hwnd, HACCEL table, LPMSG msg);
