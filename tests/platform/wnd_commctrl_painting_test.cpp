// The painting rule of controls: a subclass that handles WM_PAINT paints;
// its Default() first puts the control's own look into the picture, so that
// the subclass can draw over it (or leave Default() out and replace it).
// And a static given SS_NOTIFY after creation reports clicks and the cursor.
#include <QWidget>
#include <QtGlobal>

#include <string>
#include <vector>

#include "tests/platform/wnd_commctrl_host.h"

using namespace cctest;

namespace {

int Dark(const QImage& img, int x0, int y0, int x1, int y1) {
  int n = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) n += qGray(img.pixel(x, y)) < 100;
  return n;
}

// Draws a red corner over whatever the control looks like, or, without
// Default(), paints the whole control itself.
void PaintOverlay(CWnd* w, bool callDefault) {
  if (callDefault) {
    w->Default();
    CClientDC dc(w);
    dc.FillSolidRect(0, 0, 6, 6, RGB(255, 0, 0));
  } else {
    CPaintDC dc(w);
    CRect r;
    w->GetClientRect(&r);
    dc.FillSolidRect(&r, RGB(0, 0, 96));
  }
}

#define QM_OVERLAY_CLASS(Name, Base)                 \
  class Name : public Base {                         \
   public:                                           \
    bool callDefault = true;                         \
                                                     \
   protected:                                        \
    afx_msg void OnPaint() { PaintOverlay(this, callDefault); } \
    DECLARE_MESSAGE_MAP()                            \
  };                                                 \
  BEGIN_MESSAGE_MAP(Name, Base)                      \
    ON_WM_PAINT()                                    \
  END_MESSAGE_MAP()

QM_OVERLAY_CLASS(COverlayButton, CButton)
QM_OVERLAY_CLASS(COverlayStatic, CStatic)
QM_OVERLAY_CLASS(COverlayList, CListCtrl)

class CCursorStatic : public CStatic {
 public:
  int cursorAsks = 0;

 protected:
  afx_msg BOOL OnSetCursor(CWnd*, UINT, UINT) {
    ++cursorAsks;
    ::SetCursor(LoadCursor(nullptr, IDC_HAND));
    return TRUE;
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CCursorStatic, CStatic)
  ON_WM_SETCURSOR()
END_MESSAGE_MAP()

}  // namespace

TEST_F(CommCtrl, DefaultDrawsTheOwnLookBeforeTheOverlay) {
  // A button and a static that Qt draws, a list view the stand-in draws.
  COverlayButton button;
  ASSERT_TRUE(button.Create("Apply", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, CRect(10, 10, 110, 40), &host, 95));
  COverlayStatic label;
  ASSERT_TRUE(label.Create("Header text", WS_CHILD | WS_VISIBLE, CRect(10, 50, 160, 70), &host, 96));
  COverlayList list;
  ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_NOCOLUMNHEADER, CRect(10, 80, 210, 180), &host, 97));
  list.InsertColumn(0, "Name", LVCFMT_LEFT, 150);
  list.InsertItem(0, "Cherry");
  for (CWnd* w : std::initializer_list<CWnd*>{&button, &label, &list}) {
    const QImage img = QmRenderWindow(w->m_hWnd, false);
    EXPECT_EQ(PixelAt(img, 2, 2), RGB(255, 0, 0)) << w->GetDlgCtrlID();
    EXPECT_GT(Dark(img, 8, 6, img.width() - 2, img.height() - 2), 10) << w->GetDlgCtrlID();  // its text is there
  }
  // Leaving Default() out replaces the look.
  label.callDefault = false;
  label.Invalidate();
  const QImage img = QmRenderWindow(label.m_hWnd, false);
  EXPECT_EQ(PixelAt(img, 40, 10), RGB(0, 0, 96));
  EXPECT_EQ(Dark(img, 0, 0, img.width(), img.height()), img.width() * img.height());
}

TEST_F(CommCtrl, StaticGivenNotifyLaterReportsClicksAndTheCursor) {
  CCursorStatic link;
  ASSERT_TRUE(link.Create("www.example.org", WS_CHILD | WS_VISIBLE, CRect(10, 10, 200, 30), &host, 98));
  Click(link.m_hWnd, CPoint(20, 8));
  EXPECT_FALSE(host.Has("cmd", STN_CLICKED));
  link.ModifyStyle(0, SS_NOTIFY);
  QmSendMouse(link.m_hWnd, WM_MOUSEMOVE, POINT{20, 8}, 0);
  EXPECT_GE(link.cursorAsks, 1);
  Click(link.m_hWnd, CPoint(20, 8));
  EXPECT_TRUE(host.Has("cmd", STN_CLICKED));
}

namespace {
std::vector<std::string>* g_qtWarnings = nullptr;
void RecordQtMessage(QtMsgType, const QMessageLogContext&, const QString& text) {
  if (g_qtWarnings) g_qtWarnings->push_back(text.toStdString());
}
}  // namespace

// A group box whose subclass paints over its own look, painted by Qt's own
// paint event (as on screen): the look is there and Qt has nothing to say
// (no recursive repaint, no painter outside a paint event).
TEST_F(CommCtrl, DefaultInsideQtsPaintEventDrawsTheLookWithoutWarnings) {
  host.ShowWindow(SW_SHOW);
  COverlayButton box;
  ASSERT_TRUE(box.Create("Colours", WS_CHILD | WS_VISIBLE | BS_GROUPBOX, CRect(10, 10, 210, 110), &host, 98));
  QWidget* widget = QmWidgetOf(box.m_hWnd);
  ASSERT_NE(widget, nullptr);
  std::vector<std::string> warnings;
  g_qtWarnings = &warnings;
  const QtMessageHandler old = qInstallMessageHandler(RecordQtMessage);
  for (int i = 0; i < 3; ++i) {
    box.Invalidate();
    widget->repaint();
    QmPumpMessages(30);
  }
  qInstallMessageHandler(old);
  g_qtWarnings = nullptr;
  EXPECT_TRUE(warnings.empty()) << warnings.front();
  const QImage img = QmRenderWindow(box.m_hWnd, false);
  EXPECT_EQ(PixelAt(img, 2, 2), RGB(255, 0, 0));
  EXPECT_GT(Dark(img, 8, 0, img.width() - 2, 20), 10);  // the title is there
}
