// Run-time classes, command targets and the walk through message maps, and
// the command user-interface object.
#include "platform/wnd/msgmap.h"

#include <cstdio>
#include <cstring>

#include "platform/base/waitcursor.h"
#include "platform/wnd/controls.h"
#include "platform/wnd/menu.h"
#include "platform/wnd/window.h"

const CRuntimeClass CObject::classCObject = {"CObject", static_cast<int>(sizeof(CObject)), 0xFFFF, nullptr, nullptr};

CRuntimeClass* CObject::GetRuntimeClass() const { return RUNTIME_CLASS(CObject); }

BOOL CObject::IsKindOf(const CRuntimeClass* cls) const {
  const CRuntimeClass* mine = GetRuntimeClass();
  return mine && mine->IsDerivedFrom(cls);
}

CObject* CRuntimeClass::CreateObject() const {
  if (!m_pfnCreateObject) {
    std::fprintf(stderr, "CRuntimeClass::CreateObject: %s cannot be created dynamically\n",
                 m_lpszClassName ? m_lpszClassName : "?");
    return nullptr;
  }
  return m_pfnCreateObject();
}

BOOL CRuntimeClass::IsDerivedFrom(const CRuntimeClass* base) const {
  if (!base) return FALSE;
  for (const CRuntimeClass* c = this; c; c = c->m_pBaseClass)
    if (c == base) return TRUE;
  return FALSE;
}

IMPLEMENT_DYNAMIC(CException, CObject)
IMPLEMENT_DYNAMIC(CUserException, CException)

BOOL CException::GetErrorMessage(LPTSTR buf, UINT size, UINT* helpContext) const {
  if (helpContext) *helpContext = 0;
  if (buf && size) buf[0] = 0;
  return FALSE;
}

void AfxThrowUserException() { throw new CUserException; }

// ---------------------------------------------------------------------------
// Message maps.

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap() {
  static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, nullptr, nullptr}};
  static const AFX_MSGMAP map = {nullptr, &entries[0]};
  return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const { return GetThisMessageMap(); }

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)

const AFX_MSGMAP_ENTRY* QmFindMessageEntry(const AFX_MSGMAP* map, UINT message, UINT code, UINT id) {
  for (; map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
    for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e && e->pfn; ++e) {
      const UINT m = e->pRegistered ? *e->pRegistered : e->nMessage;
      if (e->pRegistered && m == 0) continue;  // not registered (yet)
      if (m != message) continue;
      if (message == WM_NOTIFY || message == WM_REFLECT_BASE + WM_NOTIFY) {
        if (static_cast<WORD>(e->nCode) != static_cast<WORD>(code)) continue;
      } else if (e->nCode != code) {
        continue;
      }
      if (id < e->nID || id > e->nLastID) continue;
      return e;
    }
  }
  return nullptr;
}

BOOL QmDispatchCmdEntry(CCmdTarget* target, const AFX_MSGMAP_ENTRY* entry, UINT nID, int, void* pExtra) {
  QmMsgCall call;
  call.message = entry->nMessage;
  call.id = nID;
  call.extra = pExtra;
  return entry->pfn(target, call);
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
  UINT message = WM_COMMAND;
  UINT code = static_cast<UINT>(nCode);
  if (nCode != CN_UPDATE_COMMAND_UI && HIWORD(static_cast<DWORD>(nCode)) == WM_NOTIFY) {
    message = WM_NOTIFY;
    code = LOWORD(static_cast<DWORD>(nCode));
  }
  const AFX_MSGMAP_ENTRY* e = QmFindMessageEntry(GetMessageMap(), message, code, nID);
  if (!e) return FALSE;
  if (pHandlerInfo) {
    pHandlerInfo->pTarget = this;
    pHandlerInfo->pEntry = e;
    return TRUE;
  }
  return QmDispatchCmdEntry(this, e, nID, nCode, pExtra);
}

void CCmdTarget::BeginWaitCursor() { ::BeginWaitCursor(); }
void CCmdTarget::EndWaitCursor() { ::EndWaitCursor(); }
void CCmdTarget::RestoreWaitCursor() { ::RestoreWaitCursor(); }

// ---------------------------------------------------------------------------
// CCmdUI.

void CCmdUI::Enable(BOOL bOn) {
  if (m_pMenu) {
    if (m_pSubMenu) return;  // pop-up items stay as they are
    m_pMenu->EnableMenuItem(m_nIndex, MF_BYPOSITION | (bOn ? MF_ENABLED : (MF_DISABLED | MF_GRAYED)));
  } else if (m_pOther && m_pOther->m_hWnd) {
    // The focus leaves a control that is being disabled.
    if (!bOn && ::GetFocus() == m_pOther->m_hWnd) {
      if (CWnd* parent = m_pOther->GetParent()) parent->SendMessage(WM_NEXTDLGCTL, 0, FALSE);
    }
    m_pOther->EnableWindow(bOn);
  }
  m_bEnableChanged = TRUE;
}

void CCmdUI::SetCheck(int nCheck) {
  if (m_pMenu) {
    if (m_pSubMenu) return;
    m_pMenu->CheckMenuItem(m_nIndex, MF_BYPOSITION | (nCheck ? MF_CHECKED : MF_UNCHECKED));
  } else if (m_pOther && m_pOther->m_hWnd) {
    if (m_pOther->SendMessage(WM_GETDLGCODE) & DLGC_BUTTON) m_pOther->SendMessage(BM_SETCHECK, static_cast<WPARAM>(nCheck));
  }
}

void CCmdUI::SetRadio(BOOL bOn) {
  if (m_pMenu) {
    if (m_pSubMenu) return;
    if (bOn) ::CheckMenuRadioItem(m_pMenu->m_hMenu, m_nIndex, m_nIndex, m_nIndex, MF_BYPOSITION);
    else m_pMenu->CheckMenuItem(m_nIndex, MF_BYPOSITION | MF_UNCHECKED);
    // A radio item is marked with a dot: its checked-state bitmap.
    ::SetMenuItemBitmaps(m_pMenu->m_hMenu, m_nIndex, MF_BYPOSITION, nullptr, QmMenuRadioDot());
    return;
  }
  SetCheck(bOn ? 1 : 0);
}

void CCmdUI::SetText(LPCTSTR lpszText) {
  if (!lpszText) lpszText = "";
  if (m_pMenu) {
    if (m_pSubMenu) return;
    const UINT state = m_pMenu->GetMenuState(m_nIndex, MF_BYPOSITION);
    if (state & MF_OWNERDRAW) {
      // An owner-drawn item keeps its drawing and data; only its text changes.
      MENUITEMINFO info{};
      info.cbSize = sizeof(info);
      info.fMask = MIIM_STRING;
      info.dwTypeData = const_cast<LPTSTR>(lpszText);
      m_pMenu->SetMenuItemInfo(m_nIndex, &info, TRUE);
      return;
    }
    m_pMenu->ModifyMenu(m_nIndex, MF_BYPOSITION | MF_STRING | (state & (MF_GRAYED | MF_DISABLED | MF_CHECKED)),
                        m_nID, lpszText);
  } else if (m_pOther && m_pOther->m_hWnd) {
    CString cur;
    m_pOther->GetWindowText(cur);
    if (cur != lpszText) m_pOther->SetWindowText(lpszText);
  }
}

BOOL CCmdUI::DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHndler) {
  if (m_nID == 0 || LOWORD(m_nID) == 0xFFFF) return TRUE;  // separators and pop-ups
  m_bEnableChanged = FALSE;
  const BOOL handled = pTarget ? pTarget->OnCmdMsg(m_nID, CN_UPDATE_COMMAND_UI, this, nullptr) : FALSE;
  if (bDisableIfNoHndler && !m_bEnableChanged) {
    AFX_CMDHANDLERINFO info{nullptr, nullptr};
    const BOOL hasHandler = pTarget ? pTarget->OnCmdMsg(m_nID, CN_COMMAND, this, &info) : FALSE;
    Enable(hasHandler);
  }
  return handled;
}
