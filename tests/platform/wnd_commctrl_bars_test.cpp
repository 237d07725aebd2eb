// Sliders, up-down controls, progress bars and hot-key controls: scroll
// messages ending with TB_ENDTRACK, positions kept inside ranges, the buddy
// of an up-down control, 32-bit progress ranges, key combinations.
#include "tests/platform/wnd_commctrl_host.h"

using namespace cctest;

namespace {

std::vector<std::pair<UINT, int>> Scrolls(const CCtlHost& host, const char* kind) {
  std::vector<std::pair<UINT, int>> v;
  for (const Event& e : host.events)
    if (e.kind == kind) v.emplace_back(e.code, e.pos);
  return v;
}

}  // namespace

TEST_F(CommCtrl, SliderMovesEndWithEndTrackAndPositionsStayInRange) {
  CSliderCtrl slider;
  ASSERT_TRUE(slider.Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP | TBS_AUTOTICKS, CRect(10, 10, 230, 40), &host, 80));
  slider.SetRange(50, 2000);
  slider.SetTicFreq(100);
  EXPECT_EQ(slider.GetRangeMax(), 2000);
  slider.SetPos(5000);
  EXPECT_EQ(slider.GetPos(), 2000);
  slider.SetPos(-3);
  EXPECT_EQ(slider.GetPos(), 50);
  slider.SetLineSize(10);
  slider.SetPageSize(100);

  slider.SetFocus();
  host.events.clear();
  QmSendKey(slider.m_hWnd, VK_RIGHT);
  EXPECT_EQ(Scrolls(host, "hscroll"), (std::vector<std::pair<UINT, int>>{{TB_LINEDOWN, 60}, {TB_ENDTRACK, 60}}));
  EXPECT_EQ(host.events.front().from, slider.m_hWnd);

  // Dragging the thumb tracks, then places and ends.
  host.events.clear();
  CRect thumb;
  slider.GetThumbRect(&thumb);
  const CPoint c = thumb.CenterPoint();
  QmSendMouse(slider.m_hWnd, WM_LBUTTONDOWN, c, MK_LBUTTON);
  QmSendMouse(slider.m_hWnd, WM_MOUSEMOVE, POINT{c.x + 40, c.y}, MK_LBUTTON);
  QmSendMouse(slider.m_hWnd, WM_MOUSEMOVE, POINT{c.x + 500, c.y}, MK_LBUTTON);
  QmSendMouse(slider.m_hWnd, WM_LBUTTONUP, POINT{c.x + 500, c.y}, 0);
  const auto drag = Scrolls(host, "hscroll");
  ASSERT_EQ(drag.size(), 4u);
  EXPECT_EQ(drag[0].first, TB_THUMBTRACK);
  EXPECT_GT(drag[0].second, 60);
  EXPECT_EQ(drag[1], (std::pair<UINT, int>{TB_THUMBTRACK, 2000}));
  EXPECT_EQ(drag[2], (std::pair<UINT, int>{TB_THUMBPOSITION, 2000}));
  EXPECT_EQ(drag[3], (std::pair<UINT, int>{TB_ENDTRACK, 2000}));
  EXPECT_EQ(slider.GetPos(), 2000);

  // A click on the channel pages towards it.
  host.events.clear();
  Click(slider.m_hWnd, CPoint(20, c.y));
  EXPECT_EQ(slider.GetPos(), 1900);
  EXPECT_EQ(Scrolls(host, "hscroll"), (std::vector<std::pair<UINT, int>>{{TB_PAGEUP, 1900}, {TB_ENDTRACK, 1900}}));

  // Vertical sliders send WM_VSCROLL.
  CSliderCtrl vertical;
  ASSERT_TRUE(vertical.Create(WS_CHILD | WS_VISIBLE | TBS_VERT, CRect(250, 10, 280, 200), &host, 81));
  vertical.SetRange(0, 10);
  vertical.SetFocus();
  host.events.clear();
  QmSendKey(vertical.m_hWnd, VK_END);
  EXPECT_EQ(Scrolls(host, "vscroll"), (std::vector<std::pair<UINT, int>>{{TB_BOTTOM, 10}, {TB_ENDTRACK, 10}}));
}

TEST_F(CommCtrl, UpDownShowsItsPositionInItsBuddy) {
  CEdit buddy;
  ASSERT_TRUE(buddy.Create(WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(10, 10, 90, 32), &host, 82));
  CSpinButtonCtrl spin;
  ASSERT_TRUE(spin.Create(WS_CHILD | WS_VISIBLE | UDS_AUTOBUDDY | UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS,
                          CRect(0, 0, 16, 22), &host, 83));
  EXPECT_EQ(spin.GetBuddy(), &buddy);
  // The up-down control sits at the buddy's right edge, the buddy narrower.
  CRect rb, rs;
  buddy.GetWindowRect(&rb);
  spin.GetWindowRect(&rs);
  host.ScreenToClient(&rb);
  host.ScreenToClient(&rs);
  EXPECT_EQ(rb, CRect(10, 10, 74, 32));
  EXPECT_EQ(rs, CRect(74, 10, 90, 32));

  spin.SetRange32(0, 150000);
  spin.SetPos(12345);
  CString text;
  buddy.GetWindowText(text);
  EXPECT_EQ(text, CString("12345"));  // no thousands separators
  host.events.clear();
  std::vector<NMUPDOWN> deltas;
  bool refuse = false;
  host.onNotify = [&](NMHDR* nm) -> LRESULT {
    if (nm->code != UDN_DELTAPOS) return 0;
    deltas.push_back(*reinterpret_cast<NMUPDOWN*>(nm));
    return refuse;
  };
  Click(spin.m_hWnd, CPoint(8, 3));
  ASSERT_EQ(deltas.size(), 1u);
  EXPECT_EQ(deltas[0].iPos, 12345);
  EXPECT_EQ(deltas[0].iDelta, 1);
  EXPECT_EQ(spin.GetPos(), 12346);
  buddy.GetWindowText(text);
  EXPECT_EQ(text, CString("12346"));
  EXPECT_EQ(Scrolls(host, "vscroll"), (std::vector<std::pair<UINT, int>>{{SB_THUMBPOSITION, 12346}, {SB_ENDSCROLL, 12346}}));
  refuse = true;
  Click(spin.m_hWnd, CPoint(8, 18));
  EXPECT_EQ(spin.GetPos(), 12346);
  refuse = false;

  // A typed value is read back, kept inside the range.
  buddy.SetWindowText("200000");
  BOOL error = TRUE;
  EXPECT_EQ(spin.GetPos32(&error), 150000);
  EXPECT_FALSE(error);
  buddy.SetWindowText("many");
  spin.GetPos32(&error);
  EXPECT_TRUE(error);
  spin.SetPos(-5);
  EXPECT_EQ(spin.GetPos(), 0);
  // At the top of the range the up arrow stays there.
  spin.SetRange32(2, 32);
  spin.SetPos(32);
  Click(spin.m_hWnd, CPoint(8, 3));
  EXPECT_EQ(spin.GetPos(), 32);
}

TEST_F(CommCtrl, ProgressKeepsWholeIntRanges) {
  CProgressCtrl bar;
  ASSERT_TRUE(bar.Create(WS_CHILD | WS_VISIBLE | PBS_SMOOTH, CRect(10, 10, 210, 30), &host, 84));
  bar.SetRange(0, 100000);
  int lo = -1, hi = -1;
  bar.GetRange(lo, hi);
  EXPECT_EQ(lo, 0);
  EXPECT_EQ(hi, 100000);
  bar.SetPos(70000);
  EXPECT_EQ(bar.GetPos(), 70000);
  const QImage img = QmRenderWindow(bar.m_hWnd, false);
  EXPECT_EQ(PixelAt(img, 130, 10), GetSysColor(COLOR_HIGHLIGHT));
  EXPECT_EQ(PixelAt(img, 150, 10), GetSysColor(COLOR_BTNFACE));
  bar.SetPos(250000);
  EXPECT_EQ(bar.GetPos(), 100000);
  bar.SetPos(90000);
  bar.SetStep(30000);
  EXPECT_EQ(bar.StepIt(), 90000);
  EXPECT_EQ(bar.GetPos(), 20000);  // past the end it starts again
}

TEST_F(CommCtrl, HotKeyTakesCombinations) {
  CHotKeyCtrl hot;
  ASSERT_TRUE(hot.Create(WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(10, 10, 210, 32), &host, 85));
  EXPECT_EQ(hot.GetHotKeyName(), CString("None"));
  hot.SetFocus();
  host.events.clear();
  QmSendKey(hot.m_hWnd, VK_F5, "", QM_MOD_CONTROL | QM_MOD_SHIFT);
  WORD vk = 0, mods = 0;
  hot.GetHotKey(vk, mods);
  EXPECT_EQ(vk, VK_F5);
  EXPECT_EQ(mods, HOTKEYF_CONTROL | HOTKEYF_SHIFT);
  EXPECT_EQ(hot.GetHotKeyName(), CString("Ctrl + Shift + F5"));
  EXPECT_TRUE(host.Has("cmd", EN_CHANGE));
  QmSendKey(hot.m_hWnd, VK_HOME, "", QM_MOD_ALT);
  hot.GetHotKey(vk, mods);
  EXPECT_EQ(mods, HOTKEYF_ALT | HOTKEYF_EXT);
  QmSendKey(hot.m_hWnd, VK_DELETE);
  EXPECT_EQ(hot.GetHotKey(), 0u);
  // Rules: a plain key takes Ctrl.
  hot.SetRules(HKCOMB_NONE | HKCOMB_S, HOTKEYF_CONTROL);
  QmSendKey(hot.m_hWnd, 'Q', "q");
  hot.GetHotKey(vk, mods);
  EXPECT_EQ(vk, static_cast<WORD>('Q'));
  EXPECT_EQ(mods, HOTKEYF_CONTROL);
  hot.SetHotKey(0, 0);
  SetAnsiCodePage(1251);
  EXPECT_EQ(hot.GetHotKeyName(), CString("\xCD\xE5\xF2"));
  SetAnsiCodePage(1252);
}
