// Edits: the password character changed at run time (masking switched on
// and off on a live edit, the text kept), and the limit that refuses a
// character typed past it.
#include <QLineEdit>

#include "tests/platform/wnd_commctrl_host.h"

using namespace cctest;

namespace {

QString Shown(const CEdit& edit) {
  auto* line = qobject_cast<QLineEdit*>(QmWidgetOf(edit.m_hWnd));
  return line ? line->displayText() : QString();
}

}  // namespace

TEST_F(CommCtrl, PasswordCharacterSwitchesMaskingAtOnce) {
  CEdit edit;
  ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, CRect(10, 10, 160, 32), &host, 60));
  edit.SetWindowText("Secret1");
  EXPECT_EQ(edit.GetPasswordChar(), 0);
  EXPECT_EQ(Shown(edit), QString("Secret1"));

  edit.SetPasswordChar('*');
  EXPECT_EQ(edit.GetPasswordChar(), '*');
  EXPECT_NE(edit.GetStyle() & ES_PASSWORD, 0u);
  EXPECT_NE(Shown(edit), QString("Secret1"));
  EXPECT_EQ(Shown(edit).size(), 7);
  CString text;
  edit.GetWindowText(text);
  EXPECT_EQ(text, CString("Secret1"));  // masking leaves the text alone

  // Typing while masked, then back in clear.
  edit.SetFocus();
  QmSendKey(edit.m_hWnd, VK_END);
  QmSendText(edit.m_hWnd, "x");
  edit.SetPasswordChar(0);
  EXPECT_EQ(edit.GetPasswordChar(), 0);
  EXPECT_EQ(edit.GetStyle() & ES_PASSWORD, 0u);
  EXPECT_EQ(Shown(edit), QString("Secret1x"));

  // An edit made with ES_PASSWORD answers the default character and can be
  // shown in clear too.
  CEdit made;
  ASSERT_TRUE(made.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | ES_PASSWORD, CRect(10, 40, 160, 62), &host, 61));
  made.SetWindowText("abc");
  EXPECT_EQ(made.GetPasswordChar(), '*');
  EXPECT_NE(Shown(made), QString("abc"));
  made.SetPasswordChar(0);
  EXPECT_EQ(Shown(made), QString("abc"));

  // A multi-line edit has no password character.
  CEdit lines;
  ASSERT_TRUE(lines.Create(WS_CHILD | WS_VISIBLE | ES_MULTILINE, CRect(10, 70, 160, 120), &host, 62));
  lines.SetPasswordChar('*');
  EXPECT_EQ(lines.GetPasswordChar(), 0);
}

TEST_F(CommCtrl, LimitedEditRefusesTheCharacterPastItsLimit) {
  CEdit edit;
  ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, CRect(10, 10, 160, 32), &host, 63));
  edit.LimitText(4);
  edit.SetPasswordChar('*');
  edit.SetFocus();
  QmSendText(edit.m_hWnd, "abcde");
  CString text;
  edit.GetWindowText(text);
  EXPECT_EQ(text, CString("abcd"));
}
