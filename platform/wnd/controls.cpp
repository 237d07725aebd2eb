// The control objects.
#include <QAbstractButton>
#include <QCheckBox>
#include <QRadioButton>
#include <QWidget>

#include <string>

#include "platform/wnd/controls.h"
#include "platform/wnd/internal.h"

IMPLEMENT_DYNAMIC(CStatic, CWnd)
IMPLEMENT_DYNAMIC(CButton, CWnd)
IMPLEMENT_DYNAMIC(CEdit, CWnd)
IMPLEMENT_DYNAMIC(CComboBox, CWnd)
IMPLEMENT_DYNAMIC(CListBox, CWnd)
IMPLEMENT_DYNAMIC(CScrollBar, CWnd)

BOOL CStatic::Create(LPCTSTR lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  return CWnd::Create("Static", lpszText, dwStyle, rect, pParentWnd, nID);
}

void CStatic::DrawItem(LPDRAWITEMSTRUCT) {}

BOOL CStatic::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  if (message == WM_DRAWITEM) {
    DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
    if (pResult) *pResult = TRUE;
    return TRUE;
  }
  return CWnd::OnChildNotify(message, wParam, lParam, pResult);
}

BOOL CButton::Create(LPCTSTR lpszCaption, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  return CWnd::Create("Button", lpszCaption, dwStyle, rect, pParentWnd, nID);
}

void CButton::DrawItem(LPDRAWITEMSTRUCT) {}

BOOL CButton::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  if (message == WM_DRAWITEM) {
    DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
    if (pResult) *pResult = TRUE;
    return TRUE;
  }
  return CWnd::OnChildNotify(message, wParam, lParam, pResult);
}

BOOL CEdit::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  return CWnd::Create("Edit", nullptr, dwStyle, rect, pParentWnd, nID);
}

BOOL CComboBox::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  return CWnd::Create("ComboBox", nullptr, dwStyle, rect, pParentWnd, nID);
}

void CComboBox::GetLBText(int i, CString& s) const {
  const int n = GetLBTextLen(i);
  if (n < 0) {
    s.Empty();
    return;
  }
  std::string buf(static_cast<size_t>(n) + 1, '\0');
  const_cast<CComboBox*>(this)->SendMessage(CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(buf.data()));
  buf.resize(std::strlen(buf.c_str()));
  s = CString(buf);
}

BOOL CListBox::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  return CWnd::Create("ListBox", nullptr, dwStyle, rect, pParentWnd, nID);
}

void CListBox::GetText(int i, CString& s) const {
  const int n = static_cast<int>(const_cast<CListBox*>(this)->SendMessage(LB_GETTEXTLEN, static_cast<WPARAM>(i)));
  if (n < 0) {
    s.Empty();
    return;
  }
  std::string buf(static_cast<size_t>(n) + 1, '\0');
  const_cast<CListBox*>(this)->SendMessage(LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(buf.data()));
  buf.resize(std::strlen(buf.c_str()));
  s = CString(buf);
}

BOOL CScrollBar::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  return CWnd::Create("ScrollBar", nullptr, dwStyle, rect, pParentWnd, nID);
}

void QmClickButton(HWND button) {
  RECT rc;
  if (!::GetClientRect(button, &rc)) return;
  POINT c{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
  // Check boxes and radio buttons answer on their box and label only.
  QWidget* w = QmWidgetOf(button);
  if (qobject_cast<QCheckBox*>(w) || qobject_cast<QRadioButton*>(w)) c.x = std::min<LONG>(6, c.x);
  QmSendMouse(button, WM_LBUTTONDOWN, c, MK_LBUTTON);
  if (::IsWindow(button)) QmSendMouse(button, WM_LBUTTONUP, c, 0);
}
