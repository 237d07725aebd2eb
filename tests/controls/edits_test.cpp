// Numeric edits, the coloured static, the previews and the group box.
#include <gtest/gtest.h>

#include <QImage>

#include "controls/Edits.h"
#include "core/ViewServices.h"
#include "design/Pattern.h"
#include "image/Image.h"
#include "lang/ids/controls.h"
#include "palette/ColorSet.h"
#include "platform/wnd/host.h"
#include "settings/AppSettings.h"
#include "tests/common/test_util.h"
#include "tests/controls/controls_fixture.h"

namespace {

HWND MakeEdit(CWnd& parent, int id) {
  return CreateWindowEx(0, "Edit", "", WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 10, 150, 22, parent.GetSafeHwnd(),
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
}

// Sets the text, puts the caret at its end and types the keys one by one.
CString Type(CEdit& edit, const char* start, const char* keys) {
  edit.SetWindowText(start);
  const int n = static_cast<int>(std::strlen(start));
  edit.SetSel(n, n);
  edit.SetFocus();
  for (const char* k = keys; *k; ++k) {
    const char one[2] = {*k, 0};
    QmSendText(edit.GetSafeHwnd(), one);
    QmPumpMessages();
  }
  CString text;
  edit.GetWindowText(text);
  return text;
}

}  // namespace

TEST(NumericEdits, TypingTable) {
  ctltest::Host host;
  struct Case {
    int kind;  // 0 CNumEdit integer, 1 CNumEdit decimal, 2 CFloatEdit(5, -1), 3 CFloatEdit(3, 100)
    const char* start;
    const char* keys;
    const char* expected;
  };
  const Case cases[] = {
      {0, "12", "3", "123"},
      {0, "12", ".", "12"},         // no decimal point in an integer edit
      {0, "", "-5", "5"},           // the minus sign is swallowed
      {0, "7", "a+x", "7"},         // letters and signs are swallowed
      {1, "1", ".5", "1.5"},
      {1, "1.5", ".", "1.5"},       // a second point is swallowed
      {1, "", "-", ""},
      {2, "0.1234", "5", "0.12345"},
      {2, "0.12345", "6", "0.12345"},  // the sixth decimal is undone
      {2, "0.33333", "", "0.33333"},
      {2, "3.5", ".", "3.5"},
      {2, "", "-1", "1"},
      {2, "", "q", ""},
      {2, "123456789012", "3", "1234567890123"},  // no maximum: any integer part
      {3, "10", "0", "100"},
      {3, "100", "0", "100"},       // over 100: the text before the key comes back
      {3, "100", ".", "100."},
      {3, "100.", "1234", "100.123"},
  };
  for (const Case& c : cases) {
    std::unique_ptr<CEdit> edit;
    if (c.kind == 0) edit = std::make_unique<CNumEdit>(false, false);
    if (c.kind == 1) edit = std::make_unique<CNumEdit>(true, false);
    if (c.kind == 2) edit = std::make_unique<CFloatEdit>(5, 0xFFFFFFFF);
    if (c.kind == 3) edit = std::make_unique<CFloatEdit>(3, 100);
    ASSERT_TRUE(edit->SubclassWindow(MakeEdit(host, 100)));
    EXPECT_EQ(Type(*edit, c.start, c.keys), c.expected) << c.kind << " " << c.start << " + " << c.keys;
    edit->DestroyWindow();
  }
}

TEST(NumericEdits, IntegerPartSaturates) {
  // atoi would wrap on long digit runs; the check counts them as over the
  // maximum instead.
  EXPECT_EQ(CFloatEdit::LeadingValue("12.5"), 12u);
  EXPECT_EQ(CFloatEdit::LeadingValue("4294967295"), 4294967295u);
  EXPECT_EQ(CFloatEdit::LeadingValue("99999999999999999999999"), 1ull << 32);
  EXPECT_EQ(CFloatEdit::LeadingValue("."), 0u);
  CFloatEdit limited(5, 4000000000u);
  EXPECT_TRUE(limited.Accepts("4000000000"));
  EXPECT_FALSE(limited.Accepts("4000000001"));
  EXPECT_FALSE(limited.Accepts("18446744073709551617"));  // wraps to 1 in 64 bits
  EXPECT_FALSE(limited.Accepts("1.123456"));
  CFloatEdit unlimited(2, 0xFFFFFFFF);
  EXPECT_TRUE(unlimited.Accepts("18446744073709551617"));
  EXPECT_TRUE(unlimited.Accepts(""));

  // Typed: a run of digits past 32 bits brings back the text before the key.
  ctltest::Host host;
  CFloatEdit edit(5, 4000000000u);
  ASSERT_TRUE(edit.SubclassWindow(MakeEdit(host, 101)));
  EXPECT_EQ(Type(edit, "3999999999", "9"), "3999999999");
}

TEST(NumericEdits, EnterIsReportedToTheParent) {
  ctltest::Host host;
  CNumEdit notifying(false, true), silent(false, false);
  ASSERT_TRUE(notifying.SubclassWindow(MakeEdit(host, 77)));
  ASSERT_TRUE(silent.SubclassWindow(MakeEdit(host, 78)));
  silent.SetFocus();
  QmSendKey(silent.GetSafeHwnd(), VK_RETURN);
  QmPumpMessages();
  EXPECT_EQ(host.registeredCount, 0);
  notifying.SetFocus();
  QmSendKey(notifying.GetSafeHwnd(), VK_RETURN);
  QmPumpMessages();
  EXPECT_EQ(host.lastMessage, g_msgEnterPushed);
  EXPECT_EQ(host.lastWParam, 77u);
  EXPECT_EQ(host.lastLParam, 0);
  EXPECT_EQ(g_msgEnterPushed, RegisterWindowMessage("MsgEnterPushed"));
}

namespace {
// The colour of the host behind the controls.
class ColoredHost : public ctltest::Host {
 protected:
  afx_msg BOOL OnEraseBkgnd(CDC* dc) {
    CRect r;
    GetClientRect(&r);
    dc->FillSolidRect(&r, RGB(230, 240, 200));
    return TRUE;
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(ColoredHost, ctltest::Host)
  ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

int CountColor(const QImage& image, QRgb color, QRect area) {
  int n = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x) n += (image.pixel(x, y) & 0xFFFFFF) == (color & 0xFFFFFF);
  return n;
}
}  // namespace

TEST(ColorStatic, ColourTransparencyAndNoRemnants) {
  ColoredHost host;
  HWND h = CreateWindowEx(0, "Static", "A long text to be replaced", WS_CHILD | WS_VISIBLE, 10, 10, 300, 20,
                          host.GetSafeHwnd(), reinterpret_cast<HMENU>(200), nullptr, nullptr);
  CColorStatic text(RGB(200, 0, 0), "Arial", 16, true, false);
  ASSERT_TRUE(text.SubclassWindow(h));
  QmPumpMessages();
  QImage before = QmRenderWindow(host.GetSafeHwnd(), false);
  const QRect tail(120, 10, 180, 20);
  EXPECT_GT(CountColor(before, qRgb(200, 0, 0), QRect(10, 10, 300, 20)), 20);
  EXPECT_GT(CountColor(before, qRgb(200, 0, 0), tail), 5);
  // The background under the text is the host's.
  EXPECT_EQ(before.pixel(305, 12) & 0xFFFFFF, qRgb(230, 240, 200) & 0xFFFFFF);
  text.SetText("Hi");
  QmPumpMessages();
  QImage after = QmRenderWindow(host.GetSafeHwnd(), false);
  EXPECT_EQ(CountColor(after, qRgb(200, 0, 0), tail), 0);
  EXPECT_EQ(CountColor(after, qRgb(230, 240, 200), tail), tail.width() * tail.height());
  EXPECT_GT(CountColor(after, qRgb(200, 0, 0), QRect(10, 10, 40, 20)), 5);
}

TEST(Previews, BackgroundFromTheSettingsAndTheThumbnailHook) {
  ctltest::Host host;
  GetAppSettings().m_viewBackgroundColor = RGB(10, 20, 30);
  EXPECT_EQ(GetViewBackgroundColor(), RGB(10, 20, 30));

  HWND h = CreateWindowEx(0, "Static", "", WS_CHILD | WS_VISIBLE, 0, 0, 60, 40, host.GetSafeHwnd(),
                          reinterpret_cast<HMENU>(300), nullptr, nullptr);
  CExternPatternPreview extern_;
  ASSERT_TRUE(extern_.SubclassWindow(h));
  bool ok = false;
  CImage picture(20, 10, ok, RGB(250, 0, 0));
  ASSERT_TRUE(ok);
  extern_.SetImage(&picture);
  QImage shot = QmRenderWindow(h, false);
  EXPECT_EQ(shot.pixel(2, 2) & 0xFFFFFF, qRgb(10, 20, 30) & 0xFFFFFF);
  EXPECT_EQ(shot.pixel(30, 20) & 0xFFFFFF, qRgb(250, 0, 0) & 0xFFFFFF);  // centred
  EXPECT_EQ(shot.pixel(19, 20) & 0xFFFFFF, qRgb(10, 20, 30) & 0xFFFFFF);

  HWND h2 = CreateWindowEx(0, "Static", "", WS_CHILD | WS_VISIBLE, 0, 50, 50, 30, host.GetSafeHwnd(),
                           reinterpret_cast<HMENU>(301), nullptr, nullptr);
  CStaticPatternPreview preview;
  ASSERT_TRUE(preview.SubclassWindow(h2));
  CPattern design;
  CColorSet palette;
  // No renderer installed: false, nothing kept.
  EXPECT_FALSE(preview.SetPattern(&design, &palette));
  EXPECT_EQ(preview.GetImage(), nullptr);
  SIZE asked{0, 0};
  int factor = 0;
  SetPatternThumbnailRenderer([&](CDC* dc, CPattern&, CColorSet&, SIZE size, int start, CBitmap& out, COLORREF) {
    asked = size;
    factor = start;
    return out.CreateCompatibleBitmap(dc, size.cx, size.cy) != FALSE;
  });
  EXPECT_TRUE(preview.SetPattern(&design, &palette));
  EXPECT_EQ(asked.cx, 50);
  EXPECT_EQ(asked.cy, 30);
  EXPECT_EQ(factor, 2);
  ASSERT_NE(preview.GetImage(), nullptr);
  const CImage* first = preview.GetImage();
  // A failed rendering keeps the previous picture.
  SetPatternThumbnailRenderer([](CDC*, CPattern&, CColorSet&, SIZE, int, CBitmap&, COLORREF) { return false; });
  EXPECT_FALSE(preview.SetPattern(&design, &palette));
  EXPECT_EQ(preview.GetImage(), first);
  SetPatternThumbnailRenderer(nullptr);
}

TEST(GroupBox, TitleBarAndIconOffset) {
  qmtest::LanguagePack pack(false);
  ctltest::Host host;
  HWND h = CreateWindowEx(0, "Button", "Palette", WS_CHILD | WS_VISIBLE | BS_GROUPBOX | 0x300, 10, 10, 200, 100,
                          host.GetSafeHwnd(), reinterpret_cast<HMENU>(400), nullptr, nullptr);
  CSSGroupBox box(false, RGB(128, 128, 96));
  ASSERT_TRUE(box.SubclassWindow(h));
  EXPECT_EQ(box.GetAlignment(), CSSGroupBox::kAlignCentre);
  EXPECT_EQ(box.GetFrameRect().right, 200);
  CClientDC dc(&box);
  const POINT centred = box.GetTitlePosition(&dc);
  EXPECT_TRUE(box.SetIcon(IDI_RULER_ADJUST));
  const POINT withIcon = box.GetTitlePosition(&dc);
  EXPECT_EQ(withIcon.x, centred.x + 5);
  EXPECT_EQ(withIcon.y, centred.y);
  box.SetUserValue(0xC00000, false);
  EXPECT_EQ(box.GetUserValue(), 0xC00000);
  QmPumpMessages();
  QImage shot = QmRenderWindow(h, false);
  EXPECT_EQ(shot.pixel(195, 2) & 0xFFFFFF, qRgb(128, 128, 96) & 0xFFFFFF);
  EXPECT_EQ(shot.pixel(190, 14) & 0xFFFFFF, qRgb(128, 128, 96) & 0xFFFFFF);
  EXPECT_GT(CountColor(shot, qRgb(255, 255, 255), QRect(20, 0, 160, 16)), 10);  // the white title
  EXPECT_NE(shot.pixel(195, 40) & 0xFFFFFF, qRgb(128, 128, 96) & 0xFFFFFF);
}
