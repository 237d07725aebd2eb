// The common-control tests' host: a top-level window that records what its
// controls tell it (commands, notifications, scroll messages, owner-draw
// requests) and answers as a test asks.
#pragma once

#include <gtest/gtest.h>

#include <QImage>

#include <functional>
#include <string>
#include <vector>

#include "platform/base/codepage.h"
#include "platform/wnd.h"
#include "platform/wnd/host.h"

namespace cctest {

struct Event {
  std::string kind;  // "cmd", "notify", "hscroll", "vscroll", "draw", "measure"
  UINT id = 0;
  UINT code = 0;
  int pos = 0;
  HWND from = nullptr;
};

class CCtlHost : public CWnd {
 public:
  std::vector<Event> events;
  std::function<LRESULT(NMHDR*)> onNotify;
  std::function<bool(DRAWITEMSTRUCT*)> onDraw;
  std::function<bool(MEASUREITEMSTRUCT*)> onMeasure;
  std::vector<NMLISTVIEW> lvNotes;  // the list views' NMLISTVIEW notifications as received

  BOOL CreateHost(int w = 420, int h = 320) {
    return CreateEx(0, AfxRegisterWndClass(CS_DBLCLKS, nullptr, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)), "Host",
                    WS_POPUP | WS_VISIBLE, 0, 0, w, h, nullptr, nullptr);
  }

  // The codes of one kind of event, in order.
  std::vector<UINT> Codes(const std::string& kind, UINT id = 0) const {
    std::vector<UINT> out;
    for (const Event& e : events)
      if (e.kind == kind && (id == 0 || e.id == id)) out.push_back(e.code);
    return out;
  }
  // The list views' notifications of one code.
  std::vector<NMLISTVIEW> Lv(UINT code) const {
    std::vector<NMLISTVIEW> out;
    for (const NMLISTVIEW& n : lvNotes)
      if (n.hdr.code == code) out.push_back(n);
    return out;
  }
  bool Has(const std::string& kind, UINT code) const {
    for (const Event& e : events)
      if (e.kind == kind && e.code == code) return true;
    return false;
  }

 protected:
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
    if (lParam) events.push_back(Event{"cmd", LOWORD(wParam), HIWORD(wParam), 0, reinterpret_cast<HWND>(lParam)});
    return CWnd::OnCommand(wParam, lParam);
  }
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override {
    auto* nm = reinterpret_cast<NMHDR*>(lParam);
    if (nm->code != NM_CUSTOMDRAW) events.push_back(Event{"notify", static_cast<UINT>(nm->idFrom), nm->code, 0, nm->hwndFrom});
    switch (nm->code) {
      case LVN_ITEMCHANGED:
      case LVN_ITEMCHANGING:
      case LVN_COLUMNCLICK:
      case LVN_BEGINDRAG:
      case LVN_INSERTITEM:
      case LVN_DELETEITEM:
        lvNotes.push_back(*reinterpret_cast<NMLISTVIEW*>(lParam));
        break;
      default:
        break;
    }
    if (onNotify) {
      *pResult = onNotify(nm);
      return TRUE;
    }
    return CWnd::OnNotify(wParam, lParam, pResult);
  }
  afx_msg void OnHScroll(UINT code, UINT pos, CScrollBar* bar) {
    events.push_back(Event{"hscroll", 0, code, static_cast<int>(static_cast<short>(pos)), QmHwnd(bar)});
  }
  afx_msg void OnVScroll(UINT code, UINT pos, CScrollBar* bar) {
    events.push_back(Event{"vscroll", 0, code, static_cast<int>(static_cast<short>(pos)), QmHwnd(bar)});
  }
  afx_msg void OnDrawItem(int id, LPDRAWITEMSTRUCT dis) {
    events.push_back(Event{"draw", static_cast<UINT>(id), dis->itemState, static_cast<int>(dis->itemID), dis->hwndItem});
    if (onDraw && onDraw(dis)) return;
    CWnd::OnDrawItem(id, dis);
  }
  afx_msg void OnMeasureItem(int id, LPMEASUREITEMSTRUCT mis) {
    events.push_back(Event{"measure", static_cast<UINT>(id), mis->CtlType, static_cast<int>(mis->itemID), nullptr});
    if (onMeasure && onMeasure(mis)) return;
    CWnd::OnMeasureItem(id, mis);
  }
  DECLARE_MESSAGE_MAP()
};

// Each test runs with the English interface and pumps the loop at the end.
class CommCtrl : public ::testing::Test {
 protected:
  void SetUp() override {
    SetAnsiCodePage(1252);
    ASSERT_TRUE(host.CreateHost());
  }
  void TearDown() override {
    if (host.m_hWnd) host.DestroyWindow();
    QmPumpMessages();
  }
  CCtlHost host;
};

// Clicks at a point of a window (press and release).
inline void Click(HWND hwnd, POINT p, UINT keys = 0) {
  QmSendMouse(hwnd, WM_LBUTTONDOWN, p, MK_LBUTTON | keys);
  if (IsWindow(hwnd)) QmSendMouse(hwnd, WM_LBUTTONUP, p, keys);
}

// The colour of a pixel of a window's picture as a COLORREF.
inline COLORREF PixelAt(const QImage& img, int x, int y) {
  const QRgb c = img.pixel(x, y);
  return RGB(qRed(c), qGreen(c), qBlue(c));
}

// The folder where the gallery pictures go, made when missing.
std::string ShotsDir(bool russian);

}  // namespace cctest
