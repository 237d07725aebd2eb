// Objects with run-time classes, command targets and their message maps,
// and the command user-interface object.
//
// A message map is a static table of entries, one per handled message,
// command or notification, built with BEGIN_MESSAGE_MAP / END_MESSAGE_MAP in
// the class's source file and chained to the base class's table:
//
//   // in the class:                 // in the source file:
//   DECLARE_MESSAGE_MAP()            BEGIN_MESSAGE_MAP(CMyView, CScrollView)
//                                      ON_WM_SIZE()
//                                      ON_COMMAND(ID_DO_IT, OnDoIt)
//                                      ON_UPDATE_COMMAND_UI(ID_DO_IT, OnUpdateDoIt)
//                                      ON_REGISTERED_MESSAGE(g_msgChanged, OnChanged)
//                                    END_MESSAGE_MAP()
//
// Handlers are named without '&' and without the class (OnDoIt, or
// CBase::OnDoIt for a base class's handler); each entry calls the handler
// through the class, so a wrong signature is a compile error. ON_WM_xxx
// entries call the fixed handler names of CWnd (OnSize, OnPaint, ...) with
// the parameters cracked from WPARAM and LPARAM.
#pragma once

#include "platform/wnd/winuser.h"

class CObject;
class CCmdTarget;
class CCmdUI;
class CWnd;
class CMenu;
class CDC;
class CScrollBar;

// A place in a list (the framework's lists of documents and views).
QM_DECLARE_HANDLE(POSITION);

#ifndef afx_msg
#define afx_msg
#endif

// ---------------------------------------------------------------------------
// Run-time classes.
struct CRuntimeClass {
  LPCSTR m_lpszClassName;
  int m_nObjectSize;
  UINT m_wSchema;
  CObject* (*m_pfnCreateObject)();
  const CRuntimeClass* m_pBaseClass;

  // A new object of the class; null (and a note on stderr) when the class is
  // not creatable (no DECLARE_DYNCREATE).
  CObject* CreateObject() const;
  BOOL IsDerivedFrom(const CRuntimeClass* base) const;
};

#define RUNTIME_CLASS(class_name) (const_cast<CRuntimeClass*>(&class_name::class##class_name))

#define DECLARE_DYNAMIC(class_name)                  \
 public:                                             \
  static const CRuntimeClass class##class_name;      \
  CRuntimeClass* GetRuntimeClass() const override;

#define DECLARE_DYNCREATE(class_name) \
  DECLARE_DYNAMIC(class_name)         \
  static CObject* CreateObject();

#define IMPLEMENT_DYNAMIC(class_name, base_class_name)                                                  \
  const CRuntimeClass class_name::class##class_name = {#class_name, static_cast<int>(sizeof(class_name)), \
                                                       0xFFFF, nullptr, RUNTIME_CLASS(base_class_name)};  \
  CRuntimeClass* class_name::GetRuntimeClass() const { return RUNTIME_CLASS(class_name); }

#define IMPLEMENT_DYNCREATE(class_name, base_class_name)                                                \
  CObject* class_name::CreateObject() { return new class_name; }                                        \
  const CRuntimeClass class_name::class##class_name = {#class_name, static_cast<int>(sizeof(class_name)), \
                                                       0xFFFF, &class_name::CreateObject,                 \
                                                       RUNTIME_CLASS(base_class_name)};                   \
  CRuntimeClass* class_name::GetRuntimeClass() const { return RUNTIME_CLASS(class_name); }

class CObject {
 public:
  virtual ~CObject() = default;
  virtual CRuntimeClass* GetRuntimeClass() const;
  BOOL IsKindOf(const CRuntimeClass* cls) const;
  static const CRuntimeClass classCObject;

 protected:
  CObject() = default;
  CObject(const CObject&) = default;
  CObject& operator=(const CObject&) = default;
};

// The framework's exceptions are thrown as pointers and deleted by the
// catcher with Delete().
class CException : public CObject {
  DECLARE_DYNAMIC(CException)
 public:
  CException() = default;
  void Delete() { delete this; }
  virtual BOOL GetErrorMessage(LPTSTR buf, UINT size, UINT* helpContext = nullptr) const;
};
// Thrown by data exchange after it has told the user what is wrong.
class CUserException : public CException {
  DECLARE_DYNAMIC(CUserException)
 public:
  CUserException() = default;
};
[[noreturn]] void AfxThrowUserException();

// ---------------------------------------------------------------------------
// Message maps.

// Command codes passed to OnCmdMsg besides the control notification codes.
constexpr int CN_COMMAND = 0;
constexpr int CN_UPDATE_COMMAND_UI = -1;
// WM_CTLCOLOR: the one map entry that stands for all WM_CTLCOLORxxx messages.
constexpr UINT WM_CTLCOLOR = 0x0019;

// One call of a map entry: what it handles, with the place for its result.
struct QmMsgCall {
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  UINT id = 0;          // command, control or notification id
  void* extra = nullptr;  // CCmdUI* for updates, AFX_NOTIFY* for notifications
  LRESULT result = 0;
};
// Calls the handler; answers whether the message counts as handled.
using QmMsgFn = BOOL (*)(CCmdTarget* target, QmMsgCall& call);

struct AFX_MSGMAP_ENTRY {
  UINT nMessage;              // window message; WM_COMMAND / WM_NOTIFY for commands and notifications
  UINT nCode;                 // control or notification code (CN_COMMAND, CN_UPDATE_COMMAND_UI, BN_CLICKED...)
  UINT nID;                   // first control or command id (0 for window messages)
  UINT nLastID;               // last id of a range
  const UINT* pRegistered;    // ON_REGISTERED_MESSAGE: the variable holding the number
  QmMsgFn pfn;                // null ends the table
};

struct AFX_MSGMAP {
  const AFX_MSGMAP* (*pfnGetBaseMap)();
  const AFX_MSGMAP_ENTRY* lpEntries;
};

// WM_NOTIFY's data while it is routed through OnCmdMsg.
struct AFX_NOTIFY {
  LRESULT* pResult;
  NMHDR* pNMHDR;
};

// Filled by OnCmdMsg when it is only asked whether a handler exists.
struct AFX_CMDHANDLERINFO {
  CCmdTarget* pTarget;
  const AFX_MSGMAP_ENTRY* pEntry;
};

// The entry of a table that handles the message (registered message numbers
// compared by value), or null.
const AFX_MSGMAP_ENTRY* QmFindMessageEntry(const AFX_MSGMAP* map, UINT message, UINT code, UINT id);

#define DECLARE_MESSAGE_MAP()                          \
 protected:                                            \
  static const AFX_MSGMAP* GetThisMessageMap();        \
  const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                          \
  const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); }    \
  const AFX_MSGMAP* theClass::GetThisMessageMap() {                                    \
    using ThisClass [[maybe_unused]] = theClass;                                       \
    using TheBaseClass = baseClass;                                                    \
    static const AFX_MSGMAP_ENTRY _messageEntries[] = {

#define END_MESSAGE_MAP()                                                               \
      {0, 0, 0, 0, nullptr, nullptr}};                                                  \
    static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]}; \
    return &messageMap;                                                                  \
  }

// The handler's object inside an entry.
#define QM_THIS (static_cast<ThisClass*>(qmTarget))
#define QM_ENTRY(msg, code, id, lastId, reg, body) \
  {(msg), static_cast<UINT>(code), static_cast<UINT>(id), static_cast<UINT>(lastId), (reg), \
   +[](CCmdTarget* qmTarget, QmMsgCall& qmCall) -> BOOL { (void)qmCall; body }},

// Commands and their user-interface updates.
#define ON_COMMAND(qmId, memberFxn) \
  QM_ENTRY(WM_COMMAND, CN_COMMAND, qmId, qmId, nullptr, QM_THIS->memberFxn(); return TRUE;)
#define ON_COMMAND_EX(qmId, memberFxn) \
  QM_ENTRY(WM_COMMAND, CN_COMMAND, qmId, qmId, nullptr, return QM_THIS->memberFxn(qmCall.id) ? TRUE : FALSE;)
#define ON_COMMAND_RANGE(qmId, qmIdLast, memberFxn) \
  QM_ENTRY(WM_COMMAND, CN_COMMAND, qmId, qmIdLast, nullptr, QM_THIS->memberFxn(qmCall.id); return TRUE;)
#define ON_COMMAND_EX_RANGE(qmId, qmIdLast, memberFxn) \
  QM_ENTRY(WM_COMMAND, CN_COMMAND, qmId, qmIdLast, nullptr, return QM_THIS->memberFxn(qmCall.id) ? TRUE : FALSE;)
#define QM_UPDATE_BODY(memberFxn)                             \
  CCmdUI* qmUI = static_cast<CCmdUI*>(qmCall.extra);          \
  QmSetContinueRouting(qmUI, FALSE);                          \
  QM_THIS->memberFxn(qmUI);                                   \
  return QmGetContinueRouting(qmUI) ? FALSE : TRUE;
#define ON_UPDATE_COMMAND_UI(qmId, memberFxn) \
  QM_ENTRY(WM_COMMAND, CN_UPDATE_COMMAND_UI, qmId, qmId, nullptr, QM_UPDATE_BODY(memberFxn))
#define ON_UPDATE_COMMAND_UI_RANGE(qmId, qmIdLast, memberFxn) \
  QM_ENTRY(WM_COMMAND, CN_UPDATE_COMMAND_UI, qmId, qmIdLast, nullptr, QM_UPDATE_BODY(memberFxn))

// Control notifications sent with WM_COMMAND.
#define ON_CONTROL(code, qmId, memberFxn) \
  QM_ENTRY(WM_COMMAND, code, qmId, qmId, nullptr, QM_THIS->memberFxn(); return TRUE;)
#define ON_CONTROL_RANGE(code, qmId, qmIdLast, memberFxn) \
  QM_ENTRY(WM_COMMAND, code, qmId, qmIdLast, nullptr, QM_THIS->memberFxn(qmCall.id); return TRUE;)
#define ON_BN_CLICKED(qmId, memberFxn) ON_CONTROL(BN_CLICKED, qmId, memberFxn)
#define ON_BN_DOUBLECLICKED(qmId, memberFxn) ON_CONTROL(BN_DOUBLECLICKED, qmId, memberFxn)
#define ON_BN_SETFOCUS(qmId, memberFxn) ON_CONTROL(BN_SETFOCUS, qmId, memberFxn)
#define ON_BN_KILLFOCUS(qmId, memberFxn) ON_CONTROL(BN_KILLFOCUS, qmId, memberFxn)
#define ON_EN_CHANGE(qmId, memberFxn) ON_CONTROL(EN_CHANGE, qmId, memberFxn)
#define ON_EN_UPDATE(qmId, memberFxn) ON_CONTROL(EN_UPDATE, qmId, memberFxn)
#define ON_EN_SETFOCUS(qmId, memberFxn) ON_CONTROL(EN_SETFOCUS, qmId, memberFxn)
#define ON_EN_KILLFOCUS(qmId, memberFxn) ON_CONTROL(EN_KILLFOCUS, qmId, memberFxn)
#define ON_EN_MAXTEXT(qmId, memberFxn) ON_CONTROL(EN_MAXTEXT, qmId, memberFxn)
#define ON_CBN_SELCHANGE(qmId, memberFxn) ON_CONTROL(CBN_SELCHANGE, qmId, memberFxn)
#define ON_CBN_DBLCLK(qmId, memberFxn) ON_CONTROL(CBN_DBLCLK, qmId, memberFxn)
#define ON_CBN_SETFOCUS(qmId, memberFxn) ON_CONTROL(CBN_SETFOCUS, qmId, memberFxn)
#define ON_CBN_KILLFOCUS(qmId, memberFxn) ON_CONTROL(CBN_KILLFOCUS, qmId, memberFxn)
#define ON_CBN_EDITCHANGE(qmId, memberFxn) ON_CONTROL(CBN_EDITCHANGE, qmId, memberFxn)
#define ON_CBN_EDITUPDATE(qmId, memberFxn) ON_CONTROL(CBN_EDITUPDATE, qmId, memberFxn)
#define ON_CBN_DROPDOWN(qmId, memberFxn) ON_CONTROL(CBN_DROPDOWN, qmId, memberFxn)
#define ON_CBN_CLOSEUP(qmId, memberFxn) ON_CONTROL(CBN_CLOSEUP, qmId, memberFxn)
#define ON_CBN_SELENDOK(qmId, memberFxn) ON_CONTROL(CBN_SELENDOK, qmId, memberFxn)
#define ON_CBN_SELENDCANCEL(qmId, memberFxn) ON_CONTROL(CBN_SELENDCANCEL, qmId, memberFxn)
#define ON_LBN_SELCHANGE(qmId, memberFxn) ON_CONTROL(LBN_SELCHANGE, qmId, memberFxn)
#define ON_LBN_DBLCLK(qmId, memberFxn) ON_CONTROL(LBN_DBLCLK, qmId, memberFxn)
#define ON_LBN_SETFOCUS(qmId, memberFxn) ON_CONTROL(LBN_SETFOCUS, qmId, memberFxn)
#define ON_LBN_KILLFOCUS(qmId, memberFxn) ON_CONTROL(LBN_KILLFOCUS, qmId, memberFxn)
#define ON_STN_CLICKED(qmId, memberFxn) ON_CONTROL(STN_CLICKED, qmId, memberFxn)
#define ON_STN_DBLCLK(qmId, memberFxn) ON_CONTROL(STN_DBLCLK, qmId, memberFxn)

// Notifications sent with WM_NOTIFY.
#define QM_NOTIFY_ARGS                                            \
  AFX_NOTIFY* qmNotify = static_cast<AFX_NOTIFY*>(qmCall.extra);
#define ON_NOTIFY(code, qmId, memberFxn)                                                       \
  QM_ENTRY(WM_NOTIFY, code, qmId, qmId, nullptr,                                                 \
           QM_NOTIFY_ARGS QM_THIS->memberFxn(qmNotify->pNMHDR, qmNotify->pResult); return TRUE;)
#define ON_NOTIFY_RANGE(code, qmId, qmIdLast, memberFxn)                                                  \
  QM_ENTRY(WM_NOTIFY, code, qmId, qmIdLast, nullptr,                                                      \
           QM_NOTIFY_ARGS QM_THIS->memberFxn(qmCall.id, qmNotify->pNMHDR, qmNotify->pResult); return TRUE;)
#define ON_NOTIFY_EX(code, qmId, memberFxn)                                                              \
  QM_ENTRY(WM_NOTIFY, code, qmId, qmId, nullptr,                                                           \
           QM_NOTIFY_ARGS return QM_THIS->memberFxn(qmCall.id, qmNotify->pNMHDR, qmNotify->pResult) ? TRUE \
                                                                                                : FALSE;)
// Notifications that the control handles itself (reflected by its parent).
#define ON_NOTIFY_REFLECT(code, memberFxn)                                                  \
  QM_ENTRY(WM_REFLECT_BASE + WM_NOTIFY, code, 0, 0, nullptr,                                \
           QM_NOTIFY_ARGS QM_THIS->memberFxn(qmNotify->pNMHDR, qmNotify->pResult); return TRUE;)
#define ON_NOTIFY_REFLECT_EX(code, memberFxn)                                                       \
  QM_ENTRY(WM_REFLECT_BASE + WM_NOTIFY, code, 0, 0, nullptr,                                        \
           QM_NOTIFY_ARGS return QM_THIS->memberFxn(qmNotify->pNMHDR, qmNotify->pResult) ? TRUE : FALSE;)
#define ON_CONTROL_REFLECT(code, memberFxn) \
  QM_ENTRY(WM_REFLECT_BASE + WM_COMMAND, code, 0, 0, nullptr, QM_THIS->memberFxn(); return TRUE;)
#define ON_CONTROL_REFLECT_EX(code, memberFxn) \
  QM_ENTRY(WM_REFLECT_BASE + WM_COMMAND, code, 0, 0, nullptr, return QM_THIS->memberFxn() ? TRUE : FALSE;)

// Window messages by number, and registered messages by the variable that
// holds their number.
#define ON_MESSAGE(message, memberFxn) \
  QM_ENTRY(message, 0, 0, 0, nullptr, qmCall.result = QM_THIS->memberFxn(qmCall.wParam, qmCall.lParam); return TRUE;)
#define ON_REGISTERED_MESSAGE(nMessageVariable, memberFxn)                       \
  QM_ENTRY(0xC000, 0, 0, 0, &(nMessageVariable),                               \
           qmCall.result = QM_THIS->memberFxn(qmCall.wParam, qmCall.lParam); return TRUE;)

// The standard window messages with their parameters cracked.
#define QM_WM(message, body) QM_ENTRY(message, 0, 0, 0, nullptr, body return TRUE;)
#define QM_PT CPoint(GET_X_LPARAM(qmCall.lParam), GET_Y_LPARAM(qmCall.lParam))
#define ON_WM_CREATE() \
  QM_WM(WM_CREATE, qmCall.result = QM_THIS->OnCreate(reinterpret_cast<LPCREATESTRUCT>(qmCall.lParam));)
#define ON_WM_DESTROY() QM_WM(WM_DESTROY, QM_THIS->OnDestroy();)
#define ON_WM_NCDESTROY() QM_WM(WM_NCDESTROY, QM_THIS->OnNcDestroy();)
#define ON_WM_CLOSE() QM_WM(WM_CLOSE, QM_THIS->OnClose();)
#define ON_WM_PAINT() QM_WM(WM_PAINT, QM_THIS->OnPaint();)
#define ON_WM_ERASEBKGND() \
  QM_WM(WM_ERASEBKGND, qmCall.result = QM_THIS->OnEraseBkgnd(CDC::FromHandle(reinterpret_cast<HDC>(qmCall.wParam)));)
#define ON_WM_SIZE() \
  QM_WM(WM_SIZE, QM_THIS->OnSize(static_cast<UINT>(qmCall.wParam), LOWORD(qmCall.lParam), HIWORD(qmCall.lParam));)
#define ON_WM_MOVE() QM_WM(WM_MOVE, QM_THIS->OnMove(GET_X_LPARAM(qmCall.lParam), GET_Y_LPARAM(qmCall.lParam));)
#define ON_WM_TIMER() QM_WM(WM_TIMER, QM_THIS->OnTimer(static_cast<UINT_PTR>(qmCall.wParam));)
#define QM_MOUSE(message, fn) QM_WM(message, QM_THIS->fn(static_cast<UINT>(qmCall.wParam), QM_PT);)
#define ON_WM_MOUSEMOVE() QM_MOUSE(WM_MOUSEMOVE, OnMouseMove)
#define ON_WM_LBUTTONDOWN() QM_MOUSE(WM_LBUTTONDOWN, OnLButtonDown)
#define ON_WM_LBUTTONUP() QM_MOUSE(WM_LBUTTONUP, OnLButtonUp)
#define ON_WM_LBUTTONDBLCLK() QM_MOUSE(WM_LBUTTONDBLCLK, OnLButtonDblClk)
#define ON_WM_RBUTTONDOWN() QM_MOUSE(WM_RBUTTONDOWN, OnRButtonDown)
#define ON_WM_RBUTTONUP() QM_MOUSE(WM_RBUTTONUP, OnRButtonUp)
#define ON_WM_RBUTTONDBLCLK() QM_MOUSE(WM_RBUTTONDBLCLK, OnRButtonDblClk)
#define ON_WM_MBUTTONDOWN() QM_MOUSE(WM_MBUTTONDOWN, OnMButtonDown)
#define ON_WM_MBUTTONUP() QM_MOUSE(WM_MBUTTONUP, OnMButtonUp)
#define ON_WM_MBUTTONDBLCLK() QM_MOUSE(WM_MBUTTONDBLCLK, OnMButtonDblClk)
#define ON_WM_MOUSEWHEEL()                                                                                  \
  QM_WM(WM_MOUSEWHEEL, qmCall.result = QM_THIS->OnMouseWheel(LOWORD(qmCall.wParam),                         \
                                                             static_cast<short>(HIWORD(qmCall.wParam)), QM_PT);)
#define ON_WM_MOUSELEAVE() QM_WM(WM_MOUSELEAVE, QM_THIS->OnMouseLeave();)
#define QM_KEY(message, fn) \
  QM_WM(message, QM_THIS->fn(static_cast<UINT>(qmCall.wParam), LOWORD(qmCall.lParam), HIWORD(qmCall.lParam));)
#define ON_WM_KEYDOWN() QM_KEY(WM_KEYDOWN, OnKeyDown)
#define ON_WM_KEYUP() QM_KEY(WM_KEYUP, OnKeyUp)
#define ON_WM_CHAR() QM_KEY(WM_CHAR, OnChar)
#define ON_WM_SYSKEYDOWN() QM_KEY(WM_SYSKEYDOWN, OnSysKeyDown)
#define ON_WM_SYSKEYUP() QM_KEY(WM_SYSKEYUP, OnSysKeyUp)
#define ON_WM_SYSCHAR() QM_KEY(WM_SYSCHAR, OnSysChar)
#define ON_WM_SETCURSOR()                                                                              \
  QM_WM(WM_SETCURSOR, qmCall.result = QM_THIS->OnSetCursor(CWnd::FromHandle(reinterpret_cast<HWND>(qmCall.wParam)), \
                                                           static_cast<SHORT>(LOWORD(qmCall.lParam)), HIWORD(qmCall.lParam));)
#define QM_SCROLL(message, fn)                                                                         \
  QM_WM(message, QM_THIS->fn(LOWORD(qmCall.wParam), static_cast<short>(HIWORD(qmCall.wParam)),         \
                             reinterpret_cast<CScrollBar*>(CWnd::FromHandle(reinterpret_cast<HWND>(qmCall.lParam))));)
#define ON_WM_HSCROLL() QM_SCROLL(WM_HSCROLL, OnHScroll)
#define ON_WM_VSCROLL() QM_SCROLL(WM_VSCROLL, OnVScroll)
#define ON_WM_CONTEXTMENU() \
  QM_WM(WM_CONTEXTMENU, QM_THIS->OnContextMenu(CWnd::FromHandle(reinterpret_cast<HWND>(qmCall.wParam)), QM_PT);)
#define ON_WM_CTLCOLOR()                                                                                \
  QM_WM(WM_CTLCOLOR, qmCall.result = reinterpret_cast<LRESULT>(QM_THIS->OnCtlColor(                     \
                         CDC::FromHandle(reinterpret_cast<HDC>(qmCall.wParam)),                          \
                         CWnd::FromHandle(reinterpret_cast<HWND>(qmCall.lParam)), qmCall.id));)
#define ON_WM_DRAWITEM() \
  QM_WM(WM_DRAWITEM, QM_THIS->OnDrawItem(static_cast<int>(qmCall.wParam), reinterpret_cast<LPDRAWITEMSTRUCT>(qmCall.lParam));)
#define ON_WM_MEASUREITEM()                                                                      \
  QM_WM(WM_MEASUREITEM, QM_THIS->OnMeasureItem(static_cast<int>(qmCall.wParam),                   \
                                               reinterpret_cast<LPMEASUREITEMSTRUCT>(qmCall.lParam));)
#define ON_WM_SETFOCUS() \
  QM_WM(WM_SETFOCUS, QM_THIS->OnSetFocus(CWnd::FromHandle(reinterpret_cast<HWND>(qmCall.wParam)));)
#define ON_WM_KILLFOCUS() \
  QM_WM(WM_KILLFOCUS, QM_THIS->OnKillFocus(CWnd::FromHandle(reinterpret_cast<HWND>(qmCall.wParam)));)
#define ON_WM_GETMINMAXINFO() \
  QM_WM(WM_GETMINMAXINFO, QM_THIS->OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(qmCall.lParam));)
#define ON_WM_WINDOWPOSCHANGING() \
  QM_WM(WM_WINDOWPOSCHANGING, QM_THIS->OnWindowPosChanging(reinterpret_cast<WINDOWPOS*>(qmCall.lParam));)
#define ON_WM_WINDOWPOSCHANGED() \
  QM_WM(WM_WINDOWPOSCHANGED, QM_THIS->OnWindowPosChanged(reinterpret_cast<WINDOWPOS*>(qmCall.lParam));)
#define ON_WM_SHOWWINDOW() \
  QM_WM(WM_SHOWWINDOW, QM_THIS->OnShowWindow(static_cast<BOOL>(qmCall.wParam), static_cast<UINT>(qmCall.lParam));)
#define ON_WM_MOUSEACTIVATE()                                                                              \
  QM_WM(WM_MOUSEACTIVATE, qmCall.result = QM_THIS->OnMouseActivate(                                       \
                              CWnd::FromHandle(reinterpret_cast<HWND>(qmCall.wParam)),                    \
                              static_cast<SHORT>(LOWORD(qmCall.lParam)), HIWORD(qmCall.lParam));)
#define ON_WM_ACTIVATE()                                                                          \
  QM_WM(WM_ACTIVATE, QM_THIS->OnActivate(LOWORD(qmCall.wParam),                                    \
                                         CWnd::FromHandle(reinterpret_cast<HWND>(qmCall.lParam)),  \
                                         HIWORD(qmCall.wParam) != 0);)
#define ON_WM_INITMENUPOPUP()                                                                     \
  QM_WM(WM_INITMENUPOPUP, QM_THIS->OnInitMenuPopup(CMenu::FromHandle(reinterpret_cast<HMENU>(qmCall.wParam)), \
                                                   LOWORD(qmCall.lParam), HIWORD(qmCall.lParam) != 0);)
#define ON_WM_INITMENU() \
  QM_WM(WM_INITMENU, QM_THIS->OnInitMenu(CMenu::FromHandle(reinterpret_cast<HMENU>(qmCall.wParam)));)
#define ON_WM_MENUSELECT() \
  QM_WM(WM_MENUSELECT, QM_THIS->OnMenuSelect(LOWORD(qmCall.wParam), HIWORD(qmCall.wParam), reinterpret_cast<HMENU>(qmCall.lParam));)
#define ON_WM_SYSCOMMAND() \
  QM_WM(WM_SYSCOMMAND, QM_THIS->OnSysCommand(static_cast<UINT>(qmCall.wParam), qmCall.lParam);)
#define ON_WM_COPYDATA()                                                                             \
  QM_WM(WM_COPYDATA, qmCall.result = QM_THIS->OnCopyData(CWnd::FromHandle(reinterpret_cast<HWND>(qmCall.wParam)), \
                                                         reinterpret_cast<COPYDATASTRUCT*>(qmCall.lParam));)
#define ON_WM_GETDLGCODE() QM_WM(WM_GETDLGCODE, qmCall.result = QM_THIS->OnGetDlgCode();)
#define ON_WM_CAPTURECHANGED() \
  QM_WM(WM_CAPTURECHANGED, QM_THIS->OnCaptureChanged(CWnd::FromHandle(reinterpret_cast<HWND>(qmCall.lParam)));)
#define ON_WM_ENABLE() QM_WM(WM_ENABLE, QM_THIS->OnEnable(static_cast<BOOL>(qmCall.wParam));)
#define ON_WM_CANCELMODE() QM_WM(WM_CANCELMODE, QM_THIS->OnCancelMode();)
#define ON_WM_NCHITTEST() QM_WM(WM_NCHITTEST, qmCall.result = QM_THIS->OnNcHitTest(QM_PT);)
#define ON_WM_SYSCOLORCHANGE() QM_WM(WM_SYSCOLORCHANGE, QM_THIS->OnSysColorChange();)
#define ON_WM_SETTINGCHANGE() \
  QM_WM(WM_SETTINGCHANGE, QM_THIS->OnSettingChange(static_cast<UINT>(qmCall.wParam), reinterpret_cast<LPCTSTR>(qmCall.lParam));)
#define ON_WM_PARENTNOTIFY() \
  QM_WM(WM_PARENTNOTIFY, QM_THIS->OnParentNotify(static_cast<UINT>(qmCall.wParam), qmCall.lParam);)
#define ON_WM_SIZING() QM_WM(WM_SIZING, QM_THIS->OnSizing(static_cast<UINT>(qmCall.wParam), reinterpret_cast<LPRECT>(qmCall.lParam));)
#define ON_WM_MOVING() QM_WM(WM_MOVING, QM_THIS->OnMoving(static_cast<UINT>(qmCall.wParam), reinterpret_cast<LPRECT>(qmCall.lParam));)
#define ON_WM_ENTERIDLE() \
  QM_WM(WM_ENTERIDLE, QM_THIS->OnEnterIdle(static_cast<UINT>(qmCall.wParam), CWnd::FromHandle(reinterpret_cast<HWND>(qmCall.lParam)));)
// Messages a control handles for itself, reflected by its parent.
#define ON_WM_CTLCOLOR_REFLECT()                                                             \
  QM_WM(WM_REFLECT_BASE + WM_CTLCOLOR, qmCall.result = reinterpret_cast<LRESULT>(QM_THIS->CtlColor( \
                                           CDC::FromHandle(reinterpret_cast<HDC>(qmCall.wParam)), qmCall.id));)
#define ON_WM_DRAWITEM_REFLECT() \
  QM_WM(WM_REFLECT_BASE + WM_DRAWITEM, QM_THIS->DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(qmCall.lParam));)
#define ON_WM_MEASUREITEM_REFLECT() \
  QM_WM(WM_REFLECT_BASE + WM_MEASUREITEM, QM_THIS->MeasureItem(reinterpret_cast<LPMEASUREITEMSTRUCT>(qmCall.lParam));)
#define ON_WM_HSCROLL_REFLECT() \
  QM_WM(WM_REFLECT_BASE + WM_HSCROLL, QM_THIS->HScroll(LOWORD(qmCall.wParam), static_cast<short>(HIWORD(qmCall.wParam)));)
#define ON_WM_VSCROLL_REFLECT() \
  QM_WM(WM_REFLECT_BASE + WM_VSCROLL, QM_THIS->VScroll(LOWORD(qmCall.wParam), static_cast<short>(HIWORD(qmCall.wParam)));)

// ---------------------------------------------------------------------------
// Command targets: objects with a message map that commands are routed to.
class CCmdTarget : public CObject {
  DECLARE_DYNAMIC(CCmdTarget)
 public:
  CCmdTarget() = default;
  CCmdTarget(const CCmdTarget&) = delete;
  CCmdTarget& operator=(const CCmdTarget&) = delete;

  // Runs the handler of a command (nCode CN_COMMAND or a control
  // notification), a command update (CN_UPDATE_COMMAND_UI, pExtra the
  // CCmdUI) or a notification (nCode MAKELONG(code, WM_NOTIFY), pExtra an
  // AFX_NOTIFY). With pHandlerInfo only tells whether this target has one.
  virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo);

  void BeginWaitCursor();
  void EndWaitCursor();
  void RestoreWaitCursor();

  static const AFX_MSGMAP* GetThisMessageMap();
  virtual const AFX_MSGMAP* GetMessageMap() const;
};

// Runs one map entry for a command, update or notification.
BOOL QmDispatchCmdEntry(CCmdTarget* target, const AFX_MSGMAP_ENTRY* entry, UINT nID, int nCode, void* pExtra);

// ---------------------------------------------------------------------------
// The command user-interface object: an update handler enables, checks or
// relabels the menu item or bar button that stands for a command.
class CCmdUI {
 public:
  UINT m_nID = 0;
  UINT m_nIndex = 0;  // position in the menu, or index in the bar
  CMenu* m_pMenu = nullptr;
  CMenu* m_pSubMenu = nullptr;
  CMenu* m_pParentMenu = nullptr;
  CWnd* m_pOther = nullptr;  // the window (bar, button) when not a menu
  UINT m_nIndexMax = 0;
  BOOL m_bEnableChanged = FALSE;
  BOOL m_bContinueRouting = FALSE;

  CCmdUI() = default;
  virtual ~CCmdUI() = default;
  virtual void Enable(BOOL bOn = TRUE);
  virtual void SetCheck(int nCheck = 1);
  virtual void SetRadio(BOOL bOn = TRUE);
  virtual void SetText(LPCTSTR lpszText);
  void ContinueRouting() { m_bContinueRouting = TRUE; }

  // Asks the target's update handler; with no handler and bDisableIfNoHndler,
  // a command without a command handler is disabled. TRUE when a handler ran.
  BOOL DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHndler);
};

inline void QmSetContinueRouting(CCmdUI* ui, BOOL v) { ui->m_bContinueRouting = v; }
inline BOOL QmGetContinueRouting(const CCmdUI* ui) { return ui->m_bContinueRouting; }
