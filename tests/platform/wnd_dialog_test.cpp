// Dialogs from templates: controls at the pixels of their dialog units, the
// compact variant, data exchange both ways with the framework's messages in
// both languages, the dialog keyboard, modal and modeless runs.
#include "tests/platform/wnd_fixture.h"

using namespace wndtest;

namespace {

// The base units of the test templates' font, measured as Windows does.
SIZE BaseUnits() {
  HFONT font = CreateFont(-QmMulDiv(8, 96, 72), 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0,
                          "MS Sans Serif");
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  SIZE s{};
  GetTextExtentPoint32(dc, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &s);
  TEXTMETRIC tm{};
  GetTextMetrics(dc, &tm);
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(font);
  return SIZE{(s.cx / 26 + 1) / 2, tm.tmHeight};
}

CRect Pixels(SIZE base, int x, int y, int cx, int cy) {
  const int l = QmMulDiv(x, base.cx, 4), t = QmMulDiv(y, base.cy, 8);
  return CRect(l, t, l + QmMulDiv(cx, base.cx, 4), t + QmMulDiv(cy, base.cy, 8));
}

CString Text(HWND dlg, int id) {
  CString s;
  CWnd::FromHandle(dlg)->GetDlgItemText(id, s);
  return s;
}

}  // namespace

TEST_F(WndProgram, DialogControlsSitAtThePixelsOfTheirDialogUnits) {
  const SIZE base = BaseUnits();
  ASSERT_GT(base.cx, 3);
  ASSERT_GT(base.cy, 8);
  for (const bool compact : {false, true}) {
    SCOPED_TRACE(compact ? "compact" : "normal");
    AfxSetUseCompactDialogs(compact);
    CDataDlg dlg(app->Frame());
    AfxSetUseCompactDialogs(FALSE);
    ASSERT_TRUE(dlg.Create(IDD_DATA, app->Frame()));
    const QmDialogTemplate* t = LoadDialogTemplate(AfxGetResourceHandle(), IDD_DATA, compact);
    ASSERT_NE(t, nullptr);
    ASSERT_EQ(t->compact, compact);
    CRect client;
    dlg.GetClientRect(&client);
    EXPECT_EQ(client.Size(), Pixels(base, 0, 0, t->cx, t->cy).Size());
    for (const QmDialogControl& c : t->controls) {
      CWnd* ctl = dlg.GetDlgItem(c.id);
      ASSERT_NE(ctl, nullptr) << c.id;
      EXPECT_EQ(ChildRect(*ctl), Pixels(base, c.x, c.y, c.cx, c.cy)) << "control " << c.id;
      EXPECT_EQ(ctl->GetDlgCtrlID(), c.id);
    }
    RECT r{10, 20, 30, 40};
    dlg.MapDialogRect(&r);
    EXPECT_EQ(CRect(r), CRect(QmMulDiv(10, base.cx, 4), QmMulDiv(20, base.cy, 8), QmMulDiv(30, base.cx, 4),
                              QmMulDiv(40, base.cy, 8)));
    // The initial data reached the controls.
    EXPECT_EQ(Text(dlg, IDC_DATA_INT).str(), "42");
    dlg.DestroyWindow();
  }
}

TEST_F(WndProgram, DataExchangeGoesBothWays) {
  CDataDlg dlg(app->Frame());
  bool ran = false;
  QmSetModalHook([&](HWND h) {
    ran = true;
    EXPECT_FALSE(app->Frame()->IsWindowEnabled());  // the owner waits
    EXPECT_EQ(Text(h, IDC_DATA_INT).str(), "42");
    EXPECT_EQ(Text(h, IDC_DATA_UINT).str(), "7");
    EXPECT_EQ(Text(h, IDC_DATA_FLOAT).str(), "2.5");
    EXPECT_EQ(Text(h, IDC_DATA_DOUBLE).str(), "0.125");
    EXPECT_EQ(Text(h, IDC_DATA_TEXT).str(), "beads");
    EXPECT_EQ(IsDlgButtonChecked(h, IDC_DATA_CHECK), 1u);
    EXPECT_EQ(IsDlgButtonChecked(h, IDC_DATA_RADIO2), 1u);
    EXPECT_EQ(IsDlgButtonChecked(h, IDC_DATA_RADIO1), 0u);
    // The focus starts in the first tab stop.
    EXPECT_EQ(GetFocus(), GetDlgItem(h, IDC_DATA_INT));
    SetDlgItemText(h, IDC_DATA_INT, " -17 ");
    SetDlgItemText(h, IDC_DATA_UINT, "4000000000");
    SetDlgItemText(h, IDC_DATA_FLOAT, "3.25");
    SetDlgItemText(h, IDC_DATA_DOUBLE, "1e-3");
    SetDlgItemText(h, IDC_DATA_TEXT, "seed beads");
    QmClickButton(GetDlgItem(h, IDC_DATA_CHECK));
    QmClickButton(GetDlgItem(h, IDC_DATA_RADIO3));
    EXPECT_EQ(IsDlgButtonChecked(h, IDC_DATA_RADIO2), 0u);  // one of the group
    QmClickButton(GetDlgItem(h, IDOK));
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_TRUE(ran);
  EXPECT_TRUE(app->Frame()->IsWindowEnabled());
  EXPECT_EQ(dlg.m_hWnd, nullptr);
  EXPECT_EQ(dlg.m_int, -17);
  EXPECT_EQ(dlg.m_uint, 4000000000u);
  EXPECT_EQ(dlg.m_float, 3.25f);
  EXPECT_EQ(dlg.m_double, 1e-3);
  EXPECT_EQ(dlg.m_text.str(), "seed beads");
  EXPECT_EQ(dlg.m_check, 0);
  EXPECT_EQ(dlg.m_radio, 2);
  EXPECT_TRUE(boxes.empty());
}

TEST_F(WndProgram, BadNumbersGetTheFrameworksMessageInBothLanguages) {
  struct Case {
    bool russian;
    int id;
    const char* text;
    const char* message;  // UTF-8
  };
  const Case cases[] = {
      {false, IDC_DATA_INT, "abc", "Please enter an integer."},
      {false, IDC_DATA_INT, "12x", "Please enter an integer."},
      {false, IDC_DATA_INT, "500", "Please enter an integer between -100 and 100."},
      {false, IDC_DATA_UINT, "-1", "Please enter an integer of 0 or more."},
      {false, IDC_DATA_DOUBLE, "1,5", "Please enter a number."},
      {true, IDC_DATA_INT, "abc", "Введите целое число."},
      {true, IDC_DATA_INT, "500", "Введите целое число от -100 до 100."},
      {true, IDC_DATA_FLOAT, "", "Введите число."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    UseLanguage(c.russian);
    boxes.clear();
    CDataDlg dlg(app->Frame());
    QmSetModalHook([&](HWND h) {
      SetDlgItemText(h, c.id, c.text);
      QmSendKey(GetFocus(), VK_RETURN);  // the default button
      // Refused: the dialog stays, with the focus back in the bad field.
      ASSERT_TRUE(IsWindow(h));
      ASSERT_EQ(boxes.size(), 1u);
      EXPECT_EQ(boxes[0].first, Utf8ToCodePage(c.message, c.russian ? 1251 : 1252));
      EXPECT_EQ(GetFocus(), GetDlgItem(h, c.id));
      SetDlgItemText(h, c.id, "9");
      QmSendKey(GetFocus(), VK_RETURN);
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(boxes.size(), 1u);
  }
  UseLanguage(false);
}

TEST_F(WndProgram, DialogKeyboardMovesFocusAndEscapeCancels) {
  CDataDlg dlg(app->Frame());
  QmSetModalHook([&](HWND h) {
    QmSendKey(GetFocus(), VK_TAB);
    EXPECT_EQ(GetFocus(), GetDlgItem(h, IDC_DATA_UINT));
    QmSendKey(GetFocus(), VK_TAB, "", QM_MOD_SHIFT);
    EXPECT_EQ(GetFocus(), GetDlgItem(h, IDC_DATA_INT));
    // Typing reaches the edit.
    SetDlgItemText(h, IDC_DATA_INT, "");
    QmSendText(GetFocus(), "15");
    EXPECT_EQ(Text(h, IDC_DATA_INT).str(), "15");
    // Arrows move within the radio group and check the button.
    SetFocus(GetDlgItem(h, IDC_DATA_RADIO2));
    QmSendKey(GetFocus(), VK_DOWN);
    EXPECT_EQ(GetFocus(), GetDlgItem(h, IDC_DATA_RADIO3));
    EXPECT_EQ(IsDlgButtonChecked(h, IDC_DATA_RADIO3), 1u);
    QmSendKey(GetFocus(), VK_ESCAPE);
  });
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_EQ(dlg.m_int, 42);  // nothing taken over
  EXPECT_EQ(dlg.m_radio, 1);
}

TEST_F(WndProgram, ModalDialogEndedDuringInitialisationShowsNothing) {
  class CQuick : public CDialog {
   public:
    CQuick() : CDialog(IDD_DATA) {}
    BOOL OnInitDialog() override {
      CDialog::OnInitDialog();
      EndDialog(77);
      return TRUE;
    }
  };
  CQuick dlg;
  bool hooked = false;
  QmSetModalHook([&](HWND) { hooked = true; });
  EXPECT_EQ(dlg.DoModal(), 77);
  QmPumpMessages();
  EXPECT_FALSE(hooked);
  // A template that does not exist fails at once.
  CDialog missing(9999);
  EXPECT_EQ(missing.DoModal(), -1);
}
