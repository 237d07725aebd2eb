// The tab control: tabs in one row above a raised display area, painted
// with the system colours; a click or an arrow key asks the parent
// (TCN_SELCHANGING) before it changes the tab (TCN_SELCHANGE).
#include <QWidget>

#include <string>
#include <vector>

#include "platform/wnd/commctl_internal.h"
#include "platform/wnd/tabctrl.h"

namespace qmwnd {

namespace {

struct TabItem {
  CString text;
  int image = -1;
  LPARAM param = 0;
  DWORD state = 0;
};

struct TabState {
  std::vector<TabItem> items;
  int cur = -1;
  HIMAGELIST images = nullptr;
};

StateTable<TabState>& Tabs() {
  static auto* t = new StateTable<TabState>;
  return *t;
}

constexpr int kPadX = 6;   // text padding inside a tab
constexpr int kLift = 2;   // how far the selected tab stands out
constexpr int kInset = 4;  // display area inside the frame

// Tab height and widths, measured with the control's font.
struct TabMetrics {
  int height = 20;
  std::vector<int> widths;
};

TabMetrics Measure(HWND hwnd, const TabState& s) {
  TabMetrics m;
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, ControlFont(hwnd));
  TEXTMETRIC tm{};
  GetTextMetrics(dc, &tm);
  int imgW = 0, imgH = 0;
  if (s.images) ImageList_GetIconSize(s.images, &imgW, &imgH);
  m.height = std::max(static_cast<int>(tm.tmHeight), imgH) + 7;
  for (const TabItem& it : s.items) {
    SIZE sz{0, 0};
    GetTextExtentPoint32(dc, it.text, it.text.GetLength(), &sz);
    int w = sz.cx + 2 * kPadX;
    if (it.image >= 0 && s.images) w += imgW + 4;
    m.widths.push_back(std::max(w, 24));
  }
  SelectObject(dc, old);
  DeleteDC(dc);
  return m;
}

RECT ItemRect(const TabMetrics& m, int i) {
  int x = kLift;
  for (int k = 0; k < i; ++k) x += m.widths[static_cast<size_t>(k)];
  return RECT{x, kLift, x + m.widths[static_cast<size_t>(i)], kLift + m.height};
}

int HitItem(HWND hwnd, const TabState& s, POINT p) {
  const TabMetrics m = Measure(hwnd, s);
  for (int i = 0; i < static_cast<int>(s.items.size()); ++i) {
    RECT r = ItemRect(m, i);
    if (i == s.cur) ::InflateRect(&r, kLift, kLift);
    if (::PtInRect(&r, p)) return i;
  }
  return -1;
}

void Redraw(HWND hwnd) { ::InvalidateRect(hwnd, nullptr, TRUE); }

// The user's choice of a tab: the parent may refuse it.
void UserSelect(HWND hwnd, int i) {
  TabState* s = Tabs().Get(hwnd);
  if (!s || i < 0 || i >= static_cast<int>(s->items.size()) || i == s->cur) return;
  NMHDR nm{};
  if (NotifyParent(hwnd, TCN_SELCHANGING, &nm)) return;
  s = Tabs().Get(hwnd);
  if (!s || i >= static_cast<int>(s->items.size())) return;
  s->cur = i;
  Redraw(hwnd);
  NMHDR nm2{};
  NotifyParent(hwnd, TCN_SELCHANGE, &nm2);
}

void Paint(HWND hwnd, TabState& s) {
  PAINTSTRUCT ps{};
  HDC dc = BeginPaint(hwnd, &ps);
  if (!dc) return;
  RECT rc;
  ::GetClientRect(hwnd, &rc);
  FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
  const TabMetrics m = Measure(hwnd, s);
  RECT pane{rc.left, kLift + m.height, rc.right, rc.bottom};
  DrawEdge(dc, &pane, EDGE_RAISED, BF_RECT | BF_SOFT);
  HGDIOBJ oldFont = SelectObject(dc, ControlFont(hwnd));
  SetBkMode(dc, TRANSPARENT);
  const bool enabled = ::IsWindowEnabled(hwnd) != FALSE;
  int imgW = 0, imgH = 0;
  if (s.images) ImageList_GetIconSize(s.images, &imgW, &imgH);
  auto drawTab = [&](int i) {
    RECT r = ItemRect(m, i);
    const bool sel = i == s.cur;
    if (sel) {
      r.left -= kLift;
      r.right += kLift;
      r.top -= kLift;
      // The selected tab opens into the display area.
      RECT gap{r.left + 1, pane.top, r.right - 1, pane.top + 2};
      FillRect(dc, &gap, GetSysColorBrush(COLOR_BTNFACE));
      r.bottom += 1;
    }
    RECT face{r.left + 1, r.top + 1, r.right - 1, r.bottom};
    FillRect(dc, &face, GetSysColorBrush(COLOR_BTNFACE));
    DrawEdge(dc, &r, EDGE_RAISED, BF_LEFT | BF_TOP | BF_RIGHT | BF_SOFT);
    const TabItem& it = s.items[static_cast<size_t>(i)];
    RECT tr{r.left + kPadX, r.top, r.right - kPadX, r.bottom - (sel ? 1 : 0)};
    if (it.image >= 0 && s.images) {
      ImageList_Draw(s.images, it.image, dc, tr.left, tr.top + (tr.bottom - tr.top - imgH) / 2, ILD_TRANSPARENT);
      tr.left += imgW + 4;
    }
    SetTextColor(dc, GetSysColor(enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    DrawText(dc, it.text, it.text.GetLength(), &tr, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    if (sel && ::GetFocus() == hwnd) {
      RECT fr{r.left + 3, r.top + 3, r.right - 3, r.bottom - 3};
      DrawFocusRect(dc, &fr);
    }
  };
  for (int i = 0; i < static_cast<int>(s.items.size()); ++i)
    if (i != s.cur) drawTab(i);
  if (s.cur >= 0 && s.cur < static_cast<int>(s.items.size())) drawTab(s.cur);
  SelectObject(dc, oldFont);
  EndPaint(hwnd, &ps);
}

void CopyItem(const TabItem& it, TCITEM* out) {
  if (out->mask & TCIF_TEXT) {
    if (out->pszText && out->cchTextMax > 0) {
      const int n = std::min(out->cchTextMax - 1, it.text.GetLength());
      std::memcpy(out->pszText, it.text.GetString(), static_cast<size_t>(n));
      out->pszText[n] = 0;
    }
  }
  if (out->mask & TCIF_IMAGE) out->iImage = it.image;
  if (out->mask & TCIF_PARAM) out->lParam = it.param;
  if (out->mask & TCIF_STATE) out->dwState = it.state & out->dwStateMask;
}

void SetItem(TabItem& it, const TCITEM* in) {
  if (in->mask & TCIF_TEXT) it.text = in->pszText ? in->pszText : "";
  if (in->mask & TCIF_IMAGE) it.image = in->iImage;
  if (in->mask & TCIF_PARAM) it.param = in->lParam;
  if (in->mask & TCIF_STATE) it.state = (it.state & ~in->dwStateMask) | (in->dwState & in->dwStateMask);
}

class TabClass : public QmControlClass {
 public:
  QWidget* CreateWidget(HWND hwnd, const CREATESTRUCT&, QWidget* parent) override {
    Tabs().Make(hwnd);
    return NewPaintedWidget(parent, Qt::StrongFocus);
  }
  bool QtPaints(HWND) override { return false; }
  UINT DialogCode(HWND) override { return DLGC_WANTARROWS; }

  bool DefProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override {
    TabState* s = Tabs().Get(hwnd);
    if (!s) return false;
    const int count = static_cast<int>(s->items.size());
    switch (message) {
      case WM_NCDESTROY:
        Tabs().Drop(hwnd);
        return false;
      case WM_ERASEBKGND:
        *result = 1;
        return true;
      case WM_PAINT:
        Paint(hwnd, *s);
        *result = 0;
        return true;
      case WM_GETDLGCODE:
        *result = DLGC_WANTARROWS;
        return true;
      case WM_SETFOCUS:
      case WM_KILLFOCUS:
      case WM_ENABLE:
        Redraw(hwnd);
        return false;
      case WM_LBUTTONDOWN: {
        const POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        const int i = HitItem(hwnd, *s, p);
        if (i >= 0) {
          if (!(GetWindowLong(hwnd, GWL_STYLE) & TCS_FOCUSNEVER)) ::SetFocus(hwnd);
          UserSelect(hwnd, i);
        }
        *result = 0;
        return true;
      }
      case WM_KEYDOWN:
        if (wParam == VK_LEFT || wParam == VK_RIGHT) {
          UserSelect(hwnd, s->cur + (wParam == VK_LEFT ? -1 : 1));
          *result = 0;
          return true;
        }
        return false;
      case TCM_GETITEMCOUNT:
        *result = count;
        return true;
      case TCM_INSERTITEM: {
        const auto* in = reinterpret_cast<const TCITEM*>(lParam);
        if (!in) {
          *result = -1;
          return true;
        }
        int at = static_cast<int>(wParam);
        if (at < 0) {
          *result = -1;
          return true;
        }
        at = std::min(at, count);
        TabItem it;
        SetItem(it, in);
        s->items.insert(s->items.begin() + at, it);
        if (s->cur >= at) ++s->cur;
        if (s->cur < 0) s->cur = 0;
        Redraw(hwnd);
        *result = at;
        return true;
      }
      case TCM_GETITEM:
      case TCM_SETITEM: {
        const int i = static_cast<int>(wParam);
        auto* io = reinterpret_cast<TCITEM*>(lParam);
        if (!io || i < 0 || i >= count) {
          *result = FALSE;
          return true;
        }
        if (message == TCM_GETITEM) {
          CopyItem(s->items[static_cast<size_t>(i)], io);
        } else {
          SetItem(s->items[static_cast<size_t>(i)], io);
          Redraw(hwnd);
        }
        *result = TRUE;
        return true;
      }
      case TCM_DELETEITEM: {
        const int i = static_cast<int>(wParam);
        if (i < 0 || i >= count) {
          *result = FALSE;
          return true;
        }
        s->items.erase(s->items.begin() + i);
        if (s->cur > i || s->cur >= static_cast<int>(s->items.size())) --s->cur;
        if (s->items.empty()) s->cur = -1;
        Redraw(hwnd);
        *result = TRUE;
        return true;
      }
      case TCM_DELETEALLITEMS:
        s->items.clear();
        s->cur = -1;
        Redraw(hwnd);
        *result = TRUE;
        return true;
      case TCM_GETCURSEL:
      case TCM_GETCURFOCUS:
        *result = s->cur;
        return true;
      case TCM_SETCURSEL:
      case TCM_SETCURFOCUS: {
        const int i = static_cast<int>(static_cast<INT_PTR>(wParam));
        const int old = s->cur;
        if (i >= 0 && i < count) {
          s->cur = i;
          if (i != old) Redraw(hwnd);
          *result = message == TCM_SETCURSEL ? old : 0;
        } else {
          *result = -1;
        }
        return true;
      }
      case TCM_GETITEMRECT: {
        const int i = static_cast<int>(wParam);
        auto* r = reinterpret_cast<RECT*>(lParam);
        if (!r || i < 0 || i >= count) {
          *result = FALSE;
          return true;
        }
        *r = ItemRect(Measure(hwnd, *s), i);
        *result = TRUE;
        return true;
      }
      case TCM_HITTEST: {
        auto* hi = reinterpret_cast<TCHITTESTINFO*>(lParam);
        const int i = hi ? HitItem(hwnd, *s, hi->pt) : -1;
        if (hi) hi->flags = i >= 0 ? TCHT_ONITEMLABEL : TCHT_NOWHERE;
        *result = i;
        return true;
      }
      case TCM_ADJUSTRECT: {
        auto* r = reinterpret_cast<RECT*>(lParam);
        if (r) {
          const int top = kLift + Measure(hwnd, *s).height + kInset;
          if (wParam) {
            r->left -= kInset;
            r->top -= top;
            r->right += kInset;
            r->bottom += kInset;
          } else {
            r->left += kInset;
            r->top += top;
            r->right -= kInset;
            r->bottom -= kInset;
          }
        }
        *result = 0;
        return true;
      }
      case TCM_GETROWCOUNT:
        *result = 1;
        return true;
      case TCM_SETIMAGELIST:
        *result = reinterpret_cast<LRESULT>(s->images);
        s->images = reinterpret_cast<HIMAGELIST>(lParam);
        Redraw(hwnd);
        return true;
      case TCM_GETIMAGELIST:
        *result = reinterpret_cast<LRESULT>(s->images);
        return true;
      default:
        return false;
    }
  }
};

}  // namespace

QmControlClass* MakeTabClass() { return new TabClass; }

}  // namespace qmwnd

IMPLEMENT_DYNAMIC(CTabCtrl, CWnd)

BOOL CTabCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  return CWnd::Create(WC_TABCONTROL, nullptr, dwStyle, rect, pParentWnd, nID);
}

LONG CTabCtrl::InsertItem(int nItem, LPCTSTR lpszItem, int nImage) {
  TCITEM it{};
  it.mask = TCIF_TEXT | TCIF_IMAGE;
  it.pszText = const_cast<LPSTR>(lpszItem ? lpszItem : "");
  it.iImage = nImage;
  return InsertItem(nItem, &it);
}

CImageList* CTabCtrl::SetImageList(CImageList* pImageList) {
  return CImageList::FromHandle(reinterpret_cast<HIMAGELIST>(
      SendMessage(TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(pImageList ? pImageList->m_hImageList : nullptr))));
}

CImageList* CTabCtrl::GetImageList() const {
  return CImageList::FromHandle(
      reinterpret_cast<HIMAGELIST>(const_cast<CTabCtrl*>(this)->SendMessage(TCM_GETIMAGELIST)));
}
