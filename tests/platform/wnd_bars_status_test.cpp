// Status bars: panes from indicator strings, the first pane as the window
// text, pane texts and states from command updates, hosted children,
// owner-drawn panes and a subclass that paints the whole bar.
#include "tests/platform/wnd_bars_fixture.h"

using namespace barstest;

namespace {

CRect PaneRect(CStatusBar& bar, int i) {
  CRect r;
  bar.GetItemRect(i, &r);
  return r;
}

// A status bar that draws its owner-drawn panes and can paint itself.
class CDrawnStatusBar : public CStatusBar {
 public:
  std::vector<std::pair<UINT, ULONG_PTR>> m_drawn;  // pane, item data
  BOOL m_paintAll = FALSE;
  void DrawItem(LPDRAWITEMSTRUCT lpDIS) {
    m_drawn.emplace_back(lpDIS->itemID, lpDIS->itemData);
    CDC* dc = CDC::FromHandle(lpDIS->hDC);
    dc->FillSolidRect(&lpDIS->rcItem, RGB(0, 160, 0));
  }

 protected:
  afx_msg void OnPaint() {
    if (!m_paintAll) {
      Default();
      return;
    }
    CPaintDC dc(this);
    CRect r;
    GetClientRect(&r);
    dc.FillSolidRect(&r, RGB(200, 40, 40));
    CString text;
    GetWindowText(text);
    dc.SetBkMode(TRANSPARENT);
    dc.TextOut(2, 2, text);
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CDrawnStatusBar, CStatusBar)
  ON_WM_PAINT()
  ON_WM_DRAWITEM_REFLECT()
END_MESSAGE_MAP()

}  // namespace

TEST_F(BarsTest, StatusBarPanesComeFromIndicatorsAndPaneZeroIsTheWindowText) {
  CBarsFrame* f = app->Frame();
  CStatusBar& bar = f->m_status;
  ASSERT_EQ(bar.GetCount(), 3);
  EXPECT_EQ(bar.GetItemID(1), static_cast<UINT>(ID_PANE_DESIGN));
  EXPECT_EQ(bar.CommandToIndex(ID_PANE_PALETTE), 2);
  UINT id, style;
  int cx0, cx1;
  bar.GetPaneInfo(0, id, style, cx0);
  EXPECT_EQ(id, 0u);
  EXPECT_TRUE(style & SBPS_STRETCH);
  bar.GetPaneInfo(1, id, style, cx1);
  EXPECT_GT(cx1, 60);  // the width of "Design: 120 x 80 beads"
  // The first pane stretches; the last reaches the right edge.
  CRect client;
  bar.GetClientRect(&client);
  EXPECT_EQ(PaneRect(bar, 0).left, 0);
  EXPECT_EQ(PaneRect(bar, 2).right, client.right);
  EXPECT_EQ(PaneRect(bar, 1).Width(), cx1 + 6);
  EXPECT_EQ(PaneRect(bar, 1).left, PaneRect(bar, 0).right + 2);
  f->MoveWindow(40, 30, 800, 360);
  bar.GetClientRect(&client);
  EXPECT_EQ(PaneRect(bar, 2).right, client.right);
  EXPECT_EQ(PaneRect(bar, 1).Width(), cx1 + 6);

  // The window text and pane 0 are one text; the frame's messages go there.
  bar.SetWindowText("Bead 3, 4");
  EXPECT_EQ(bar.GetPaneText(0), CString("Bead 3, 4"));
  EXPECT_EQ(bar.GetStatusBarCtrl().GetText(0), CString("Bead 3, 4"));
  f->SetMessageText("Ready");
  CString text;
  bar.GetWindowText(text);
  EXPECT_EQ(text, CString("Ready"));
  bar.SetPaneText(0, "Loaded");
  bar.GetWindowText(text);
  EXPECT_EQ(text, CString("Loaded"));
}

TEST_F(BarsTest, CommandUpdatesSetPaneTextsAndStates) {
  CBarsFrame* f = app->Frame();
  CStatusBar& bar = f->m_status;
  // Before any update the panes show their indicator strings.
  EXPECT_EQ(bar.GetPaneText(2), CString("Palette: 24 colours"));
  QmRunIdle();
  EXPECT_EQ(bar.GetPaneText(1), CString("Design: 12 x 8"));
  EXPECT_EQ(bar.GetStatusBarCtrl().GetText(1), CString("Design: 12 x 8"));
  f->m_designText = "Design: 40 x 30";
  f->m_paletteEnabled = FALSE;
  QmRunIdle();
  EXPECT_EQ(bar.GetPaneText(1), CString("Design: 40 x 30"));
  // A disabled pane keeps its text but shows none.
  EXPECT_TRUE(bar.GetPaneStyle(2) & SBPS_DISABLED);
  EXPECT_EQ(bar.GetPaneText(2), CString("Palette: 24 colours"));
  EXPECT_EQ(bar.GetStatusBarCtrl().GetText(2), CString());
  f->m_paletteEnabled = TRUE;
  QmRunIdle();
  EXPECT_EQ(bar.GetStatusBarCtrl().GetText(2), CString("Palette: 24 colours"));
  // A hidden bar is not updated.
  f->ShowControlBar(&bar, FALSE, FALSE);
  f->m_designText = "Design: 1 x 1";
  QmRunIdle();
  EXPECT_EQ(bar.GetPaneText(1), CString("Design: 40 x 30"));
}

TEST_F(BarsTest, StatusBarHostsChildrenAndOwnerDrawnPanes) {
  CBarsFrame* f = app->Frame();
  f->ShowControlBar(&f->m_status, FALSE, FALSE);
  CDrawnStatusBar bar;
  ASSERT_TRUE(bar.Create(f, WS_CHILD | WS_VISIBLE | CBRS_BOTTOM, AFX_IDW_CONTROLBAR_FIRST + 7));
  static const UINT panes[] = {ID_SEPARATOR, ID_PANE_DESIGN, ID_PANE_PALETTE};
  ASSERT_TRUE(bar.SetIndicators(panes, 3));
  f->RecalcLayout();
  // A child of the bar (as a progress display is) lies over it.
  CStatic caption;
  ASSERT_TRUE(caption.Create("Scanning", WS_CHILD | WS_VISIBLE, CRect(2, 4, 120, 18), &bar, 8));
  bar.GetStatusBarCtrl().SetText(reinterpret_cast<LPCTSTR>(static_cast<std::uintptr_t>(0x5A5A)), 2, SBT_OWNERDRAW);
  QImage img = QmRenderWindow(bar.m_hWnd, false);
  ASSERT_EQ(bar.m_drawn.size(), 1u);
  EXPECT_EQ(bar.m_drawn[0].first, 2u);
  EXPECT_EQ(bar.m_drawn[0].second, static_cast<ULONG_PTR>(0x5A5A));
  const CRect r2 = PaneRect(bar, 2);
  EXPECT_EQ(Pixel(img, r2.CenterPoint().x, r2.CenterPoint().y), RGB(0, 160, 0));
  EXPECT_EQ(caption.GetParent(), &bar);
  EXPECT_TRUE(caption.IsWindowVisible());

  // A bar that paints itself: its own picture, the window text on it.
  bar.m_paintAll = TRUE;
  bar.SetWindowText("Alert");
  bar.Invalidate();
  img = QmRenderWindow(bar.m_hWnd, false);
  EXPECT_EQ(Pixel(img, img.width() - 3, img.height() - 3), RGB(200, 40, 40));
  bar.DestroyWindow();
}
