// List views (SysListView32): report and small-icon views drawn by the
// stand-in. Items with sub-item texts, images, states and item data; columns
// in a header child window; selection with the mouse and the keyboard, each
// state change reported with LVN_ITEMCHANGING / LVN_ITEMCHANGED; custom draw
// (NM_CUSTOMDRAW) and owner-drawn rows (LVS_OWNERDRAWFIXED); a stable sort
// that moves an item behind another only when the comparison answers more
// than zero; drag detection (LVN_BEGINDRAG) and drag images.
#include <algorithm>
#include <cstring>
#include <numeric>

#include <QString>

#include "platform/gdi/imagelist.h"
#include "platform/wnd/commctrl_header.h"

namespace qmwnd::cc {

namespace {

struct LvItem {
  std::vector<CString> text;  // by sub-item
  int image = 0;
  UINT state = 0;
  LPARAM lParam = 0;
  int indent = 0;
  const CString& Text(int sub) const {
    static const CString empty;
    return sub >= 0 && sub < static_cast<int>(text.size()) ? text[static_cast<size_t>(sub)] : empty;
  }
};

struct LvColumn {
  int fmt = LVCFMT_LEFT;
  int subItem = 0;
  int image = -1;
};

struct ListState : CtlState {
  std::vector<LvItem> items;
  std::vector<LvColumn> cols;
  HWND header = nullptr;
  HIMAGELIST normal = nullptr, small = nullptr, stateImages = nullptr;
  DWORD ex = 0;
  COLORREF bk = GetSysColor(COLOR_WINDOW);
  COLORREF text = GetSysColor(COLOR_WINDOWTEXT);
  COLORREF textBk = GetSysColor(COLOR_WINDOW);
  int top = 0;      // first row shown (report), first row of cells (icon views)
  int scrollX = 0;  // pixels scrolled to the left (report)
  int focus = -1;
  int mark = -1;
  int rowH = 16;
  bool layoutPending = true;
  bool laying = false;
  // The mouse: the item pressed, where, and whether a drag may start.
  int press = -1;
  POINT pressPt{0, 0};
  bool pressActive = false;
  bool pressRight = false;
  mutable int cellW = 0;  // icon views: the width of a cell, 0 until measured
};

ListState* LS(HWND hwnd) { return StateOf<ListState>(hwnd); }
DWORD View(HWND hwnd) { return StyleOf(hwnd) & LVS_TYPEMASK; }
bool Report(HWND hwnd) { return View(hwnd) == LVS_REPORT; }

HeaderState* HS(const ListState& s) { return StateOf<HeaderState>(s.header); }

int ColumnWidth(const ListState& s, int col) {
  HeaderState* h = HS(s);
  if (!h || col < 0 || col >= static_cast<int>(h->items.size())) return 0;
  return h->items[static_cast<size_t>(col)].width;
}

std::vector<int> Order(const ListState& s) {
  HeaderState* h = HS(s);
  if (h && h->order.size() == s.cols.size()) return h->order;
  std::vector<int> o(s.cols.size());
  std::iota(o.begin(), o.end(), 0);
  return o;
}

int TotalWidth(const ListState& s) {
  HeaderState* h = HS(s);
  if (!h) return 0;
  int w = 0;
  for (const HdrItem& i : h->items) w += i.width;
  return w;
}

int HeaderH(HWND hwnd, const ListState& s) {
  if (!Report(hwnd) || (StyleOf(hwnd) & LVS_NOCOLUMNHEADER) || !s.header) return 0;
  return HeaderHeight(s.header);
}

int IconW(const ListState& s) {
  int w = 0, h = 0;
  if (s.small && ImageList_GetIconSize(s.small, &w, &h)) return w;
  return 0;
}

// Left edge of a column in client coordinates (report).
int ColumnLeft(const ListState& s, int col) {
  int x = -s.scrollX;
  for (int c : Order(s)) {
    if (c == col) return x;
    x += ColumnWidth(s, c);
  }
  return x;
}

int PerPage(HWND hwnd, const ListState& s) {
  const RECT c = ClientOf(hwnd);
  return std::max(1, (c.bottom - HeaderH(hwnd, s)) / std::max(1, s.rowH));
}

// Icon views: cells of the same size, left to right, then down.
int CellW(HWND hwnd, const ListState& s) {
  if (s.cellW > 0) return s.cellW;
  int widest = 0;
  const HFONT f = FontOf(hwnd);
  for (const LvItem& i : s.items) widest = std::max(widest, TextWidth(f, i.Text(0)));
  s.cellW = std::min(widest, 240) + IconW(s) + 12;
  return s.cellW;
}
int PerRow(HWND hwnd, const ListState& s) {
  return std::max(1, static_cast<int>(ClientOf(hwnd).right) / std::max(1, CellW(hwnd, s)));
}
int RowsOfCells(HWND hwnd, const ListState& s) {
  const int per = PerRow(hwnd, s);
  return (static_cast<int>(s.items.size()) + per - 1) / per;
}

// The rectangle of a whole row (report) or cell (icon views).
RECT Bounds(HWND hwnd, const ListState& s, int i) {
  if (Report(hwnd)) {
    const int y = HeaderH(hwnd, s) + (i - s.top) * s.rowH;
    return RECT{-s.scrollX, y, TotalWidth(s) - s.scrollX, y + s.rowH};
  }
  const int per = PerRow(hwnd, s), cw = CellW(hwnd, s);
  const int row = i / per, col = i % per;
  const int y = (row - s.top) * s.rowH;
  return RECT{col * cw, y, col * cw + cw, y + s.rowH};
}

RECT IconRect(HWND hwnd, const ListState& s, int i) {
  RECT b = Bounds(hwnd, s, i);
  int left = Report(hwnd) ? ColumnLeft(s, 0) : b.left;
  left += s.items[static_cast<size_t>(i)].indent * IconW(s);
  const int w = IconW(s);
  return RECT{left + (w ? 2 : 0), b.top, left + (w ? 2 + w : 0), b.bottom};
}

RECT LabelRect(HWND hwnd, const ListState& s, int i) {
  const RECT icon = IconRect(hwnd, s, i);
  RECT b = Bounds(hwnd, s, i);
  const int left = icon.right + (icon.right > icon.left ? 2 : 0);
  if (Report(hwnd)) return RECT{left, b.top, std::max(left, ColumnLeft(s, 0) + ColumnWidth(s, 0)), b.bottom};
  const int tw = TextWidth(FontOf(hwnd), s.items[static_cast<size_t>(i)].Text(0));
  return RECT{left, b.top, std::min<int>(b.right, left + tw + 4), b.bottom};
}

RECT SubItemRect(HWND hwnd, const ListState& s, int i, int col, int code) {
  if (col == 0 || !Report(hwnd)) {
    switch (code) {
      case LVIR_ICON: return IconRect(hwnd, s, i);
      case LVIR_LABEL: return LabelRect(hwnd, s, i);
      case LVIR_SELECTBOUNDS: {
        if ((s.ex & LVS_EX_FULLROWSELECT) && Report(hwnd)) return Bounds(hwnd, s, i);
        RECT a = IconRect(hwnd, s, i), b = LabelRect(hwnd, s, i);
        return RECT{std::min(a.left, b.left), b.top, std::max(a.right, b.right), b.bottom};
      }
      default: return Bounds(hwnd, s, i);
    }
  }
  const RECT b = Bounds(hwnd, s, i);
  const int left = ColumnLeft(s, col);
  return RECT{left, b.top, left + ColumnWidth(s, col), b.bottom};
}

// The item under a point, with the LVHT_ flags; the column under it too.
int HitTest(HWND hwnd, const ListState& s, POINT p, UINT* flags, int* column) {
  const RECT c = ClientOf(hwnd);
  if (column) *column = -1;
  UINT f = 0;
  if (p.y < 0) f |= LVHT_ABOVE;
  if (p.y >= c.bottom) f |= LVHT_BELOW;
  if (p.x < 0) f |= LVHT_TOLEFT;
  if (p.x >= c.right) f |= LVHT_TORIGHT;
  if (f) {
    if (flags) *flags = f;
    return -1;
  }
  int i = -1;
  if (Report(hwnd)) {
    const int hh = HeaderH(hwnd, s);
    if (p.y >= hh) {
      const int row = s.top + (p.y - hh) / std::max(1, s.rowH);
      if (row < static_cast<int>(s.items.size())) i = row;
    }
    if (i >= 0 && column) {
      int x = -s.scrollX;
      for (int col : Order(s)) {
        const int w = ColumnWidth(s, col);
        if (p.x >= x && p.x < x + w) *column = col;
        x += w;
      }
    }
  } else {
    const int per = PerRow(hwnd, s), cw = CellW(hwnd, s);
    const int col = p.x / std::max(1, cw), row = s.top + p.y / std::max(1, s.rowH);
    if (col < per) {
      const int k = row * per + col;
      if (k < static_cast<int>(s.items.size())) i = k;
    }
    if (i >= 0 && column) *column = 0;
  }
  if (i < 0) {
    if (flags) *flags = LVHT_NOWHERE;
    return -1;
  }
  const RECT icon = IconRect(hwnd, s, i), label = LabelRect(hwnd, s, i);
  if (::PtInRect(&icon, p)) f = LVHT_ONITEMICON;
  else if (::PtInRect(&label, p)) f = LVHT_ONITEMLABEL;
  else if (Report(hwnd) && (s.ex & LVS_EX_FULLROWSELECT)) {
    const RECT b = Bounds(hwnd, s, i);
    if (::PtInRect(&b, p)) f = LVHT_ONITEMLABEL;
  }
  if (!f) {
    if (flags) *flags = LVHT_NOWHERE;
    return -1;
  }
  if (flags) *flags = f;
  return i;
}

// ---------------------------------------------------------------------------
// Layout: the header above the rows, the scroll bars.

void Layout(HWND hwnd, ListState& s) {
  if (s.laying) return;
  s.laying = true;
  s.layoutPending = false;
  const int n = static_cast<int>(s.items.size());
  for (int pass = 0; pass < 2; ++pass) {
    const RECT c = ClientOf(hwnd);
    if (Report(hwnd)) {
      const int per = PerPage(hwnd, s);
      s.top = std::clamp(s.top, 0, std::max(0, n - per));
      SetBar(hwnd, SB_VERT, 0, std::max(0, n - 1), per, s.top);
      const int total = TotalWidth(s);
      s.scrollX = std::clamp(s.scrollX, 0, std::max(0, total - static_cast<int>(c.right)));
      SetBar(hwnd, SB_HORZ, 0, std::max(0, total - 1), c.right, s.scrollX);
    } else {
      const int rows = RowsOfCells(hwnd, s);
      const int per = std::max(1, static_cast<int>(c.bottom) / std::max(1, s.rowH));
      s.top = std::clamp(s.top, 0, std::max(0, rows - per));
      SetBar(hwnd, SB_VERT, 0, std::max(0, rows - 1), per, s.top);
      SetBar(hwnd, SB_HORZ, 0, 0, 1, 0);
    }
  }
  if (s.header) {
    const RECT c = ClientOf(hwnd);
    const bool show = Report(hwnd) && !(StyleOf(hwnd) & LVS_NOCOLUMNHEADER);
    const int hh = show ? HeaderHeight(s.header) : 0;
    ::SetWindowPos(s.header, nullptr, -s.scrollX, 0, c.right + s.scrollX, hh,
                   SWP_NOZORDER | SWP_NOACTIVATE | (show ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
  }
  s.laying = false;
}

void LayoutLater(HWND hwnd, ListState& s) {
  s.layoutPending = true;
  s.cellW = 0;
  Redraw(hwnd);
}

void EnsureLayout(HWND hwnd, ListState& s) {
  if (s.layoutPending) Layout(hwnd, s);
}

void RowHeight(HWND hwnd, ListState& s) {
  const TEXTMETRIC tm = MetricsOf(FontOf(hwnd));
  int w = 0, h = 0;
  if (s.small) ImageList_GetIconSize(s.small, &w, &h);
  s.rowH = std::max<int>(tm.tmHeight, h) + 1;
  if (StyleOf(hwnd) & LVS_OWNERDRAWFIXED) {
    // The owner may choose another height.
    MEASUREITEMSTRUCT mis{};
    mis.CtlType = ODT_LISTVIEW;
    mis.CtlID = static_cast<UINT>(CtlId(hwnd));
    mis.itemHeight = static_cast<UINT>(s.rowH);
    if (HWND p = ParentOf(hwnd)) {
      EnterDispatch();
      Send(p, WM_MEASUREITEM, mis.CtlID, reinterpret_cast<LPARAM>(&mis));
      LeaveDispatch();
    }
    if (mis.itemHeight > 0) s.rowH = static_cast<int>(mis.itemHeight);
  }
  LayoutLater(hwnd, s);
}

void EnsureHeader(HWND hwnd, ListState& s) {
  if (s.header && Find(s.header)) return;
  DWORD hs = WS_CHILD | HDS_HORZ | HDS_BUTTONS;
  if (StyleOf(hwnd) & LVS_NOSORTHEADER) hs &= ~HDS_BUTTONS;
  if (s.ex & LVS_EX_HEADERDRAGDROP) hs |= HDS_DRAGDROP | HDS_FULLDRAG;
  else hs |= HDS_FULLDRAG;
  s.header = CreateWindowEx(0, WC_HEADER, "", hs, 0, 0, 0, 0, hwnd, nullptr, nullptr, nullptr);
  if (s.header) ::SendMessage(s.header, WM_SETFONT, reinterpret_cast<WPARAM>(FontOf(hwnd)), 0);
  LayoutLater(hwnd, s);
}

// ---------------------------------------------------------------------------
// States and their notifications.

LRESULT NotifyItem(HWND hwnd, UINT code, int i, UINT newState, UINT oldState, UINT changed, LPARAM lParam,
                   int sub = 0, POINT at = POINT{0, 0}) {
  NMLISTVIEW nm{};
  nm.iItem = i;
  nm.iSubItem = sub;
  nm.uNewState = newState;
  nm.uOldState = oldState;
  nm.uChanged = changed;
  nm.ptAction = at;
  nm.lParam = lParam;
  return Notify(hwnd, code, &nm.hdr);
}

void RedrawItem(HWND hwnd, ListState& s, int i) {
  if (i < 0 || i >= static_cast<int>(s.items.size())) return;
  RECT r = Bounds(hwnd, s, i);
  if (Report(hwnd)) {
    r.left = 0;
    r.right = ClientOf(hwnd).right;
  }
  Redraw(hwnd, &r);
}

// Changes an item's state (the bits of mask) with LVN_ITEMCHANGING before and
// LVN_ITEMCHANGED after; false when refused or unchanged.
bool SetState(HWND hwnd, int i, UINT state, UINT mask) {
  ListState* s = LS(hwnd);
  if (!s || i < 0 || i >= static_cast<int>(s->items.size())) return false;
  if ((StyleOf(hwnd) & LVS_SINGLESEL) && (mask & state & LVIS_SELECTED)) {
    // One selected item at most.
    for (int j = 0; j < static_cast<int>(s->items.size()); ++j)
      if (j != i && (s->items[static_cast<size_t>(j)].state & LVIS_SELECTED)) {
        SetState(hwnd, j, 0, LVIS_SELECTED);
        if (!(s = LS(hwnd)) || i >= static_cast<int>(s->items.size())) return false;
      }
  }
  if (mask & state & LVIS_FOCUSED) {
    const int old = s->focus;
    if (old >= 0 && old != i && old < static_cast<int>(s->items.size())) {
      SetState(hwnd, old, 0, LVIS_FOCUSED);
      if (!(s = LS(hwnd)) || i >= static_cast<int>(s->items.size())) return false;
    }
  }
  LvItem& it = s->items[static_cast<size_t>(i)];
  const UINT oldState = it.state;
  const UINT newState = (oldState & ~mask) | (state & mask);
  if (newState == oldState) return false;
  const LPARAM lp = it.lParam;
  if (NotifyItem(hwnd, LVN_ITEMCHANGING, i, newState, oldState, LVIF_STATE, lp)) return false;
  if (!(s = LS(hwnd)) || i >= static_cast<int>(s->items.size())) return false;
  s->items[static_cast<size_t>(i)].state = newState;
  if (newState & LVIS_FOCUSED) s->focus = i;
  else if (s->focus == i) s->focus = -1;
  RedrawItem(hwnd, *s, i);
  NotifyItem(hwnd, LVN_ITEMCHANGED, i, newState, oldState, LVIF_STATE, lp);
  return true;
}

void SelectOnly(HWND hwnd, int i) {
  ListState* s = LS(hwnd);
  if (!s) return;
  for (int j = 0; j < static_cast<int>(s->items.size()); ++j) {
    if (j == i) continue;
    if (s->items[static_cast<size_t>(j)].state & LVIS_SELECTED) {
      SetState(hwnd, j, 0, LVIS_SELECTED);
      if (!(s = LS(hwnd))) return;
    }
  }
  if (i >= 0) SetState(hwnd, i, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  if ((s = LS(hwnd)) && i >= 0) s->mark = i;
}

void SelectRange(HWND hwnd, int from, int to) {
  ListState* s = LS(hwnd);
  if (!s) return;
  const int a = std::min(from, to), b = std::max(from, to);
  for (int j = 0; j < static_cast<int>(s->items.size()); ++j) {
    const bool want = j >= a && j <= b;
    SetState(hwnd, j, want ? LVIS_SELECTED : 0, LVIS_SELECTED);
    if (!(s = LS(hwnd))) return;
  }
  SetState(hwnd, to, LVIS_FOCUSED, LVIS_FOCUSED);
}

// ---------------------------------------------------------------------------
// Scrolling.

void ScrollTo(HWND hwnd, ListState& s, int top, int x) {
  EnsureLayout(hwnd, s);
  const int n = Report(hwnd) ? static_cast<int>(s.items.size()) : RowsOfCells(hwnd, s);
  const int per = Report(hwnd) ? PerPage(hwnd, s) : std::max(1, static_cast<int>(ClientOf(hwnd).bottom) / s.rowH);
  top = std::clamp(top, 0, std::max(0, n - per));
  x = std::clamp(x, 0, std::max(0, TotalWidth(s) - static_cast<int>(ClientOf(hwnd).right)));
  if (!Report(hwnd)) x = 0;
  if (top == s.top && x == s.scrollX) return;
  s.top = top;
  s.scrollX = x;
  Layout(hwnd, s);
  Redraw(hwnd);
}

void EnsureVisible(HWND hwnd, ListState& s, int i, bool partialOk) {
  if (i < 0 || i >= static_cast<int>(s.items.size())) return;
  EnsureLayout(hwnd, s);
  if (Report(hwnd)) {
    const int per = PerPage(hwnd, s);
    int top = s.top;
    if (i < top) top = i;
    else if (i >= top + per) top = i - per + 1;
    if (partialOk && i == s.top + per) top = s.top;
    ScrollTo(hwnd, s, top, s.scrollX);
  } else {
    const int row = i / PerRow(hwnd, s);
    const int per = std::max(1, static_cast<int>(ClientOf(hwnd).bottom) / s.rowH);
    int top = s.top;
    if (row < top) top = row;
    else if (row >= top + per) top = row - per + 1;
    ScrollTo(hwnd, s, top, 0);
  }
}

void OnScroll(HWND hwnd, ListState& s, int bar, UINT code) {
  EnsureLayout(hwnd, s);
  int to = 0;
  if (bar == SB_VERT) {
    if (ScrollTarget(hwnd, SB_VERT, code, s.top, 1, &to)) ScrollTo(hwnd, s, to, s.scrollX);
  } else if (ScrollTarget(hwnd, SB_HORZ, code, s.scrollX, 16, &to)) {
    ScrollTo(hwnd, s, s.top, to);
  }
}

// ---------------------------------------------------------------------------
// Painting.

COLORREF Pick(COLORREF c, COLORREF fallback) { return (c == CLR_DEFAULT || c == CLR_NONE) ? fallback : c; }

LRESULT CustomDraw(HWND hwnd, NMLVCUSTOMDRAW& cd) { return Notify(hwnd, NM_CUSTOMDRAW, &cd.nmcd.hdr); }

void DrawItemImage(const ListState& s, HDC dc, const RECT& icon, int image, bool selected) {
  if (!s.small || image < 0 || icon.right <= icon.left) return;
  int w = 0, h = 0;
  ImageList_GetIconSize(s.small, &w, &h);
  ImageList_Draw(s.small, image, dc, icon.left, (icon.top + icon.bottom - h) / 2,
                 ILD_TRANSPARENT | (selected ? ILD_SELECTED : 0));
}

void PaintRow(HWND hwnd, ListState& s, HDC dc, int i, LRESULT stage, bool enabled, bool focused) {
  LvItem& it = s.items[static_cast<size_t>(i)];
  const bool selected = (it.state & LVIS_SELECTED) && (focused || (StyleOf(hwnd) & LVS_SHOWSELALWAYS));
  const RECT bounds = Bounds(hwnd, s, i);
  if (StyleOf(hwnd) & LVS_OWNERDRAWFIXED) {
    // Around the row the list's background; the row is the owner's.
    FillSolid(dc, RECT{bounds.right, bounds.top, ClientOf(hwnd).right, bounds.bottom},
              enabled ? s.bk : GetSysColor(COLOR_BTNFACE));
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_LISTVIEW;
    dis.CtlID = static_cast<UINT>(CtlId(hwnd));
    dis.itemID = static_cast<UINT>(i);
    dis.itemAction = ODA_DRAWENTIRE;
    dis.itemState = ((it.state & LVIS_SELECTED) ? ODS_SELECTED : 0) | ((it.state & LVIS_FOCUSED) && focused ? ODS_FOCUS : 0) |
                    (enabled ? 0 : ODS_DISABLED);
    dis.hwndItem = hwnd;
    dis.hDC = dc;
    dis.rcItem = bounds;
    dis.itemData = static_cast<ULONG_PTR>(it.lParam);
    if (HWND p = ParentOf(hwnd)) {
      const int saved = SaveDC(dc);
      EnterDispatch();
      Send(p, WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
      LeaveDispatch();
      RestoreDC(dc, saved);
    }
    return;
  }
  const COLORREF defText = enabled ? s.text : GetSysColor(COLOR_GRAYTEXT);
  const COLORREF defBk = enabled ? s.textBk : GetSysColor(COLOR_BTNFACE);
  NMLVCUSTOMDRAW cd{};
  LRESULT itemStage = CDRF_DODEFAULT;
  cd.clrText = defText;
  cd.clrTextBk = defBk;
  if (stage & CDRF_NOTIFYITEMDRAW) {
    cd.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
    cd.nmcd.hdc = dc;
    cd.nmcd.rc = bounds;
    cd.nmcd.dwItemSpec = static_cast<DWORD_PTR>(i);
    cd.nmcd.uItemState = ((it.state & LVIS_SELECTED) ? CDIS_SELECTED : 0) | ((it.state & LVIS_FOCUSED) && focused ? CDIS_FOCUS : 0);
    cd.nmcd.lItemlParam = it.lParam;
    itemStage = CustomDraw(hwnd, cd);
    if (itemStage & CDRF_SKIPDEFAULT) return;
  }
  const COLORREF rowText = Pick(cd.clrText, defText);
  const COLORREF rowBk = Pick(cd.clrTextBk, defBk);
  const COLORREF hiBk = GetSysColor(focused ? COLOR_HIGHLIGHT : COLOR_BTNFACE);
  const COLORREF hiText = GetSysColor(focused ? COLOR_HIGHLIGHTTEXT : COLOR_BTNTEXT);
  const bool fullRow = (s.ex & LVS_EX_FULLROWSELECT) != 0;
  SetBkMode(dc, TRANSPARENT);
  if (!Report(hwnd)) {
    const RECT icon = IconRect(hwnd, s, i), label = LabelRect(hwnd, s, i);
    FillSolid(dc, bounds, enabled ? s.bk : GetSysColor(COLOR_BTNFACE));
    DrawItemImage(s, dc, icon, it.image, selected && focused);
    FillSolid(dc, label, selected ? hiBk : rowBk);
    SetTextColor(dc, selected ? hiText : rowText);
    DrawCellText(dc, it.Text(0), RECT{label.left + 2, label.top, label.right - 2, label.bottom}, DT_LEFT);
    if ((it.state & LVIS_FOCUSED) && focused) DrawFocusRect(dc, &label);
    return;
  }
  const int nCols = static_cast<int>(s.cols.size());
  for (int col : Order(s)) {
    if (col >= nCols) continue;
    const LvColumn& c = s.cols[static_cast<size_t>(col)];
    const RECT cell = SubItemRect(hwnd, s, i, col, LVIR_BOUNDS);
    RECT cellFull{ColumnLeft(s, col), bounds.top, ColumnLeft(s, col) + ColumnWidth(s, col), bounds.bottom};
    if (cellFull.right <= cellFull.left) continue;
    COLORREF ct = rowText, cb = rowBk;
    if (itemStage & CDRF_NOTIFYSUBITEMDRAW) {
      NMLVCUSTOMDRAW sd = cd;
      sd.nmcd.dwDrawStage = CDDS_ITEMPREPAINT | CDDS_SUBITEM;
      sd.nmcd.rc = cellFull;
      sd.iSubItem = c.subItem;
      sd.clrText = rowText;
      sd.clrTextBk = rowBk;
      const LRESULT r = CustomDraw(hwnd, sd);
      if (r & CDRF_SKIPDEFAULT) continue;
      ct = Pick(sd.clrText, defText);
      cb = Pick(sd.clrTextBk, defBk);
    }
    const bool hiCell = selected && (fullRow || col == 0);
    if (col == 0) {
      const RECT icon = IconRect(hwnd, s, i), label = LabelRect(hwnd, s, i);
      FillSolid(dc, cellFull, hiCell && fullRow ? hiBk : cb);
      DrawItemImage(s, dc, icon, it.image, selected && focused);
      if (hiCell && !fullRow) FillSolid(dc, label, hiBk);
      SetTextColor(dc, hiCell ? hiText : ct);
      DrawCellText(dc, it.Text(c.subItem), RECT{label.left + 2, label.top, label.right - 4, label.bottom}, DT_LEFT);
    } else {
      FillSolid(dc, cellFull, hiCell ? hiBk : cb);
      SetTextColor(dc, hiCell ? hiText : ct);
      UINT align = DT_LEFT;
      if ((c.fmt & LVCFMT_JUSTIFYMASK) == LVCFMT_RIGHT) align = DT_RIGHT;
      else if ((c.fmt & LVCFMT_JUSTIFYMASK) == LVCFMT_CENTER) align = DT_CENTER;
      DrawCellText(dc, it.Text(c.subItem), RECT{cell.left + 6, cell.top, cell.right - 6, cell.bottom}, align);
    }
  }
  // The part of the row right of the last column.
  const RECT rest{bounds.right, bounds.top, ClientOf(hwnd).right, bounds.bottom};
  FillSolid(dc, rest, enabled ? s.bk : GetSysColor(COLOR_BTNFACE));
  if ((it.state & LVIS_FOCUSED) && focused) {
    RECT fr = fullRow ? bounds : LabelRect(hwnd, s, i);
    DrawFocusRect(dc, &fr);
  }
  if (itemStage & CDRF_NOTIFYPOSTPAINT) {
    cd.nmcd.dwDrawStage = CDDS_ITEMPOSTPAINT;
    CustomDraw(hwnd, cd);
  }
}

void PaintList(HWND hwnd, ListState& s, HDC dc, const RECT& paint) {
  EnsureLayout(hwnd, s);
  const RECT client = ClientOf(hwnd);
  const bool enabled = Enabled(hwnd);
  const bool focused = Focused(hwnd);
  const COLORREF bk = enabled ? s.bk : GetSysColor(COLOR_BTNFACE);
  const int hh = HeaderH(hwnd, s);
  NMLVCUSTOMDRAW cd{};
  cd.nmcd.dwDrawStage = CDDS_PREPAINT;
  cd.nmcd.hdc = dc;
  cd.nmcd.rc = client;
  LRESULT stage = CDRF_DODEFAULT;
  if (!(StyleOf(hwnd) & LVS_OWNERDRAWFIXED)) stage = CustomDraw(hwnd, cd);
  if (!LS(hwnd)) return;
  const int n = static_cast<int>(s.items.size());
  int first = 0, last = -1;
  if (Report(hwnd)) {
    first = s.top;
    last = std::min(n - 1, s.top + (client.bottom - hh) / std::max(1, s.rowH));
  } else {
    const int per = PerRow(hwnd, s);
    first = s.top * per;
    last = std::min(n - 1, (s.top + client.bottom / std::max(1, s.rowH) + 1) * per - 1);
  }
  // Background where no row is drawn.
  const int rowsBottom = hh + (Report(hwnd) ? std::max(0, last - first + 1) * s.rowH : 0);
  if (Report(hwnd)) FillSolid(dc, RECT{0, rowsBottom, client.right, client.bottom}, bk);
  else FillSolid(dc, client, bk);
  if (!(stage & CDRF_SKIPDEFAULT)) {
    for (int i = first; i <= last; ++i) {
      const RECT b = Bounds(hwnd, s, i);
      if (b.bottom <= paint.top || b.top >= paint.bottom) continue;
      if (Report(hwnd) && b.left > 0) FillSolid(dc, RECT{0, b.top, b.left, b.bottom}, bk);
      PaintRow(hwnd, s, dc, i, stage, enabled, focused);
      if (!LS(hwnd) || i >= static_cast<int>(s.items.size())) return;
    }
  }
  if (Report(hwnd) && (s.ex & LVS_EX_GRIDLINES)) {
    const COLORREF grid = GetSysColor(COLOR_BTNFACE);
    int x = -s.scrollX;
    for (int col : Order(s)) {
      x += ColumnWidth(s, col);
      LineV(dc, x - 1, hh, client.bottom, grid);
    }
    const int right = std::min<int>(client.right, x);
    for (int y = hh + s.rowH - 1; y < client.bottom; y += s.rowH) LineH(dc, -s.scrollX, right, y, grid);
  }
  if (stage & CDRF_NOTIFYPOSTPAINT) {
    cd.nmcd.dwDrawStage = CDDS_POSTPAINT;
    CustomDraw(hwnd, cd);
  }
}

// ---------------------------------------------------------------------------
// Items and columns.

void CopyOut(const CString& text, LPSTR buf, int size) {
  if (!buf || size <= 0) return;
  const int n = std::min(size - 1, text.GetLength());
  std::memcpy(buf, text.GetString(), static_cast<size_t>(n));
  buf[n] = 0;
}

void SetText(LvItem& it, int sub, LPCSTR text) {
  if (sub < 0) return;
  if (static_cast<int>(it.text.size()) <= sub) it.text.resize(static_cast<size_t>(sub) + 1);
  it.text[static_cast<size_t>(sub)] = (text && text != LPSTR_TEXTCALLBACK) ? CString(text) : CString();
}

int InsertItem(HWND hwnd, ListState& s, const LVITEM& in) {
  const int n = static_cast<int>(s.items.size());
  if (in.iSubItem != 0) return -1;
  LvItem it;
  if (in.mask & LVIF_TEXT) SetText(it, 0, in.pszText);
  if (in.mask & LVIF_IMAGE) it.image = in.iImage;
  if (in.mask & LVIF_PARAM) it.lParam = in.lParam;
  if (in.mask & LVIF_INDENT) it.indent = in.iIndent;
  UINT state = 0;
  if (in.mask & LVIF_STATE) state = in.state & in.stateMask;
  int index = std::clamp(in.iItem, 0, n);
  const DWORD style = StyleOf(hwnd);
  if (style & (LVS_SORTASCENDING | LVS_SORTDESCENDING)) {
    const bool desc = (style & LVS_SORTDESCENDING) != 0;
    index = 0;
    while (index < n) {
      const int c = CompareNoCase(s.items[static_cast<size_t>(index)].Text(0), it.Text(0));
      if (desc ? c < 0 : c > 0) break;
      ++index;
    }
  }
  s.items.insert(s.items.begin() + index, std::move(it));
  if (s.focus >= index) ++s.focus;
  if (s.mark >= index) ++s.mark;
  LayoutLater(hwnd, s);
  NotifyItem(hwnd, LVN_INSERTITEM, index, 0, 0, 0, in.lParam);
  if (state && LS(hwnd)) SetState(hwnd, index, state, state);
  return index;
}

bool DeleteItem(HWND hwnd, int i) {
  ListState* s = LS(hwnd);
  if (!s || i < 0 || i >= static_cast<int>(s->items.size())) return false;
  NotifyItem(hwnd, LVN_DELETEITEM, i, 0, 0, 0, s->items[static_cast<size_t>(i)].lParam);
  if (!(s = LS(hwnd)) || i >= static_cast<int>(s->items.size())) return false;
  s->items.erase(s->items.begin() + i);
  if (s->focus == i) s->focus = -1;
  else if (s->focus > i) --s->focus;
  if (s->mark == i) s->mark = -1;
  else if (s->mark > i) --s->mark;
  LayoutLater(hwnd, *s);
  return true;
}

bool GetItem(const ListState& s, LVITEM& it) {
  if (it.iItem < 0 || it.iItem >= static_cast<int>(s.items.size())) return false;
  const LvItem& i = s.items[static_cast<size_t>(it.iItem)];
  if (it.mask & LVIF_TEXT) CopyOut(i.Text(it.iSubItem), it.pszText, it.cchTextMax);
  if (it.iSubItem == 0) {
    if (it.mask & LVIF_IMAGE) it.iImage = i.image;
    if (it.mask & LVIF_PARAM) it.lParam = i.lParam;
    if (it.mask & LVIF_STATE) it.state = i.state & it.stateMask;
    if (it.mask & LVIF_INDENT) it.iIndent = i.indent;
  }
  return true;
}

bool SetItem(HWND hwnd, const LVITEM& in) {
  ListState* s = LS(hwnd);
  if (!s || in.iItem < 0 || in.iItem >= static_cast<int>(s->items.size()) || in.iSubItem < 0) return false;
  LvItem& it = s->items[static_cast<size_t>(in.iItem)];
  if (in.mask & LVIF_TEXT) SetText(it, in.iSubItem, in.pszText);
  if (in.iSubItem > 0) {
    RedrawItem(hwnd, *s, in.iItem);
    return true;
  }
  const UINT other = in.mask & (LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM | LVIF_INDENT);
  if (in.mask & LVIF_IMAGE) it.image = in.iImage;
  if (in.mask & LVIF_PARAM) it.lParam = in.lParam;
  if (in.mask & LVIF_INDENT) it.indent = in.iIndent;
  RedrawItem(hwnd, *s, in.iItem);
  if (other) NotifyItem(hwnd, LVN_ITEMCHANGED, in.iItem, it.state, it.state, other, it.lParam);
  if (in.mask & LVIF_STATE) SetState(hwnd, in.iItem, in.state, in.stateMask);
  return true;
}

int InsertColumn(HWND hwnd, ListState& s, int index, const LVCOLUMN& c) {
  EnsureHeader(hwnd, s);
  const int n = static_cast<int>(s.cols.size());
  index = std::clamp(index, 0, n);
  LvColumn col;
  col.fmt = (c.mask & LVCF_FMT) ? c.fmt : LVCFMT_LEFT;
  col.subItem = (c.mask & LVCF_SUBITEM) ? c.iSubItem : index;
  col.image = (c.mask & LVCF_IMAGE) ? c.iImage : -1;
  s.cols.insert(s.cols.begin() + index, col);
  HDITEM h{};
  h.mask = HDI_FORMAT | HDI_WIDTH | HDI_TEXT;
  h.cxy = (c.mask & LVCF_WIDTH) ? std::max(0, c.cx) : 60;
  h.pszText = (c.mask & LVCF_TEXT) ? c.pszText : const_cast<LPSTR>("");
  // The first column is always left-aligned.
  h.fmt = HDF_STRING | (index == 0 ? HDF_LEFT : (col.fmt & LVCFMT_JUSTIFYMASK));
  if (c.mask & LVCF_ORDER) {
    h.mask |= HDI_ORDER;
    h.iOrder = c.iOrder;
  }
  const int r = static_cast<int>(::SendMessage(s.header, HDM_INSERTITEM, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&h)));
  if (ListState* again = LS(hwnd)) LayoutLater(hwnd, *again);
  return r;
}

int AutoWidth(HWND hwnd, ListState& s, int col, bool useHeader) {
  const HFONT f = FontOf(hwnd);
  int w = 0;
  const int sub = col < static_cast<int>(s.cols.size()) ? s.cols[static_cast<size_t>(col)].subItem : col;
  for (const LvItem& it : s.items) w = std::max(w, TextWidth(f, it.Text(sub)));
  w += 12;
  if (col == 0) w += IconW(s) + (IconW(s) ? 4 : 0);
  if (useHeader) {
    if (HeaderState* h = HS(s); h && col < static_cast<int>(h->items.size()))
      w = std::max(w, TextWidth(f, h->items[static_cast<size_t>(col)].text) + 14);
    // The last column fills what is left of the client area.
    const std::vector<int> order = Order(s);
    if (!order.empty() && order.back() == col) {
      const int left = ColumnLeft(s, col) + s.scrollX;
      w = std::max<int>(w, ClientOf(hwnd).right - left);
    }
  }
  return w;
}

void Sort(HWND hwnd, ListState& s, PFNLVCOMPARE cmp, LPARAM data) {
  if (!cmp) return;
  std::vector<size_t> idx(s.items.size());
  std::iota(idx.begin(), idx.end(), 0);
  // a goes behind b only when the comparison of a with b answers > 0.
  std::stable_sort(idx.begin(), idx.end(), [&](size_t x, size_t y) {
    return cmp(s.items[y].lParam, s.items[x].lParam, data) > 0;
  });
  std::vector<LvItem> sorted;
  sorted.reserve(s.items.size());
  int newMark = -1;
  for (size_t k = 0; k < idx.size(); ++k) {
    if (static_cast<int>(idx[k]) == s.mark) newMark = static_cast<int>(k);
    sorted.push_back(std::move(s.items[idx[k]]));
  }
  s.items = std::move(sorted);
  s.mark = newMark;
  s.focus = -1;
  for (size_t k = 0; k < s.items.size(); ++k)
    if (s.items[k].state & LVIS_FOCUSED) s.focus = static_cast<int>(k);
  Redraw(hwnd);
}

HIMAGELIST DragImage(HWND hwnd, ListState& s, int i, POINT* at) {
  EnsureLayout(hwnd, s);
  RECT icon = IconRect(hwnd, s, i), label = LabelRect(hwnd, s, i);
  label.right = std::min<int>(label.right, label.left + TextWidth(FontOf(hwnd), s.items[static_cast<size_t>(i)].Text(0)) + 6);
  const RECT r{icon.left, label.top, std::max(label.right, icon.right), label.bottom};
  const int w = std::max<int>(1, r.right - r.left), h = std::max<int>(1, r.bottom - r.top);
  if (at) *at = POINT{r.left, r.top};
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, w, h);
  ReleaseDC(nullptr, screen);
  HGDIOBJ oldBmp = SelectObject(mem, bmp);
  HGDIOBJ oldFont = SelectObject(mem, FontOf(hwnd));
  FillSolid(mem, RECT{0, 0, w, h}, s.bk);
  RECT ic{icon.left - r.left, 0, icon.right - r.left, h};
  DrawItemImage(s, mem, ic, s.items[static_cast<size_t>(i)].image, false);
  SetBkMode(mem, TRANSPARENT);
  SetTextColor(mem, s.text);
  DrawCellText(mem, s.items[static_cast<size_t>(i)].Text(0), RECT{label.left - r.left + 2, 0, w, h}, DT_LEFT);
  SelectObject(mem, oldFont);
  SelectObject(mem, oldBmp);
  DeleteDC(mem);
  HIMAGELIST list = ImageList_Create(w, h, ILC_COLOR24, 1, 0);
  ImageList_Add(list, bmp, nullptr);
  DeleteObject(bmp);
  return list;
}

// ---------------------------------------------------------------------------
// Input.

void Activate(HWND hwnd, UINT code, int i, int col, POINT p) {
  ListState* s = LS(hwnd);
  NMITEMACTIVATE nm{};
  nm.iItem = i;
  nm.iSubItem = col < 0 ? 0 : col;
  nm.ptAction = p;
  if (s && i >= 0 && i < static_cast<int>(s->items.size())) nm.lParam = s->items[static_cast<size_t>(i)].lParam;
  if (GetKeyState(VK_SHIFT) < 0) nm.uKeyFlags |= 0x4;
  if (GetKeyState(VK_CONTROL) < 0) nm.uKeyFlags |= 0x1;
  Notify(hwnd, code, &nm.hdr);
}

void ButtonDown(HWND hwnd, POINT p, UINT keys, bool right, bool dbl) {
  ListState* s = LS(hwnd);
  if (!s) return;
  EnsureLayout(hwnd, *s);
  if (!Focused(hwnd)) {
    ::SetFocus(hwnd);
    if (!(s = LS(hwnd))) return;
  }
  UINT flags = 0;
  int col = -1;
  const int i = HitTest(hwnd, *s, p, &flags, &col);
  const bool single = (StyleOf(hwnd) & LVS_SINGLESEL) != 0;
  if (i >= 0) {
    if (right) {
      if (!(s->items[static_cast<size_t>(i)].state & LVIS_SELECTED)) SelectOnly(hwnd, i);
      else SetState(hwnd, i, LVIS_FOCUSED, LVIS_FOCUSED);
    } else if ((keys & MK_CONTROL) && !single) {
      const bool sel = (s->items[static_cast<size_t>(i)].state & LVIS_SELECTED) != 0;
      SetState(hwnd, i, (sel ? 0 : LVIS_SELECTED) | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
      if ((s = LS(hwnd))) s->mark = i;
    } else if ((keys & MK_SHIFT) && !single && s->mark >= 0) {
      SelectRange(hwnd, s->mark, i);
    } else {
      SelectOnly(hwnd, i);
    }
  } else if (!(keys & MK_CONTROL)) {
    SelectOnly(hwnd, -1);
  }
  if (!(s = LS(hwnd))) return;
  if (dbl) {
    Activate(hwnd, right ? NM_RDBLCLK : NM_DBLCLK, i, col, p);
    return;
  }
  s->press = i;
  s->pressPt = p;
  s->pressActive = true;
  s->pressRight = right;
  ::SetCapture(hwnd);
}

void ButtonUp(HWND hwnd, POINT p) {
  ListState* s = LS(hwnd);
  if (!s || !s->pressActive) return;
  s->pressActive = false;
  const bool right = s->pressRight;
  if (::GetCapture() == hwnd) ::ReleaseCapture();
  if (!(s = LS(hwnd))) return;
  int col = -1;
  UINT flags = 0;
  const int i = HitTest(hwnd, *s, p, &flags, &col);
  Activate(hwnd, right ? NM_RCLICK : NM_CLICK, i >= 0 ? i : s->press, col, p);
}

void MouseMove(HWND hwnd, POINT p) {
  ListState* s = LS(hwnd);
  if (!s || !s->pressActive || s->press < 0) return;
  if (std::abs(p.x - s->pressPt.x) <= GetSystemMetrics(SM_CXDRAG) &&
      std::abs(p.y - s->pressPt.y) <= GetSystemMetrics(SM_CYDRAG))
    return;
  // A drag: the parent takes it from here.
  s->pressActive = false;
  const int i = s->press;
  const bool right = s->pressRight;
  if (::GetCapture() == hwnd) ::ReleaseCapture();
  if (!(s = LS(hwnd)) || i >= static_cast<int>(s->items.size())) return;
  NotifyItem(hwnd, right ? LVN_BEGINRDRAG : LVN_BEGINDRAG, i, 0, 0, 0, s->items[static_cast<size_t>(i)].lParam, 0,
             s->pressPt);
}

bool KeyDown(HWND hwnd, UINT vk) {
  NMLVKEYDOWN kd{};
  kd.wVKey = static_cast<WORD>(vk);
  Notify(hwnd, LVN_KEYDOWN, &kd.hdr);
  ListState* s = LS(hwnd);
  if (!s) return true;
  EnsureLayout(hwnd, *s);
  const int n = static_cast<int>(s->items.size());
  if (n == 0) return false;
  const int cur = s->focus >= 0 ? s->focus : 0;
  const int step = Report(hwnd) ? 1 : PerRow(hwnd, *s);
  const int page = Report(hwnd) ? PerPage(hwnd, *s) : step * std::max(1, static_cast<int>(ClientOf(hwnd).bottom) / s->rowH);
  int to = cur;
  switch (vk) {
    case VK_UP: to = cur - step; break;
    case VK_DOWN: to = cur + step; break;
    case VK_LEFT: if (Report(hwnd)) { ScrollTo(hwnd, *s, s->top, s->scrollX - 16); return true; } to = cur - 1; break;
    case VK_RIGHT: if (Report(hwnd)) { ScrollTo(hwnd, *s, s->top, s->scrollX + 16); return true; } to = cur + 1; break;
    case VK_PRIOR: to = cur - page + (Report(hwnd) ? 1 : 0); break;
    case VK_NEXT: to = cur + page - (Report(hwnd) ? 1 : 0); break;
    case VK_HOME: to = 0; break;
    case VK_END: to = n - 1; break;
    case VK_SPACE:
      if (GetKeyState(VK_CONTROL) < 0 && !(StyleOf(hwnd) & LVS_SINGLESEL)) {
        const bool sel = (s->items[static_cast<size_t>(cur)].state & LVIS_SELECTED) != 0;
        SetState(hwnd, cur, sel ? 0 : LVIS_SELECTED, LVIS_SELECTED);
      } else {
        SetState(hwnd, cur, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
      }
      return true;
    case VK_RETURN:
      Activate(hwnd, NM_RETURN, cur, 0, POINT{0, 0});
      return true;
    default: return false;
  }
  to = std::clamp(to, 0, n - 1);
  const bool single = (StyleOf(hwnd) & LVS_SINGLESEL) != 0;
  if (GetKeyState(VK_SHIFT) < 0 && !single) {
    SelectRange(hwnd, s->mark >= 0 ? s->mark : cur, to);
  } else if (GetKeyState(VK_CONTROL) < 0 && !single) {
    SetState(hwnd, to, LVIS_FOCUSED, LVIS_FOCUSED);
  } else {
    SelectOnly(hwnd, to);
  }
  if ((s = LS(hwnd))) EnsureVisible(hwnd, *s, to, false);
  return true;
}

// ---------------------------------------------------------------------------

class ListViewClass : public DrawnClass {
 public:
  QWidget* CreateWidget(HWND, const CREATESTRUCT& cs, QWidget* parent) override {
    return MakeWidget(cs, parent, std::make_unique<ListState>(), true);
  }

  void FontChanged(HWND hwnd, QWidget*, const QFont&) override {
    ListState* s = LS(hwnd);
    if (!s) return;
    if (s->header && Find(s->header)) ::SendMessage(s->header, WM_SETFONT, reinterpret_cast<WPARAM>(FontOf(hwnd)), 0);
    if ((s = LS(hwnd))) RowHeight(hwnd, *s);
  }

  void StyleChanged(HWND hwnd, QWidget*, DWORD) override {
    if (ListState* s = LS(hwnd)) LayoutLater(hwnd, *s);
  }

  UINT DialogCode(HWND) override { return DLGC_WANTARROWS | DLGC_WANTCHARS; }

  bool DefProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override {
    ListState* s = LS(hwnd);
    if (!s) return false;
    const int n = static_cast<int>(s->items.size());
    auto inRange = [n](WPARAM i) { return static_cast<int>(i) >= 0 && static_cast<int>(i) < n; };
    *result = 0;
    switch (message) {
      case WM_CREATE:
        if (Report(hwnd)) EnsureHeader(hwnd, *s);
        if ((s = LS(hwnd))) RowHeight(hwnd, *s);
        return true;
      case WM_SIZE:
        Layout(hwnd, *s);
        Redraw(hwnd);
        return true;
      case WM_ERASEBKGND:
        *result = 1;
        return true;
      case WM_PAINT:
        Paint(hwnd, [&](HDC dc, const RECT& r) { PaintList(hwnd, *s, dc, r); });
        return true;
      case WM_SETREDRAW:
        if (wParam) Layout(hwnd, *s);
        return false;
      case WM_SETFOCUS:
      case WM_KILLFOCUS: {
        NMHDR nm{};
        Notify(hwnd, message == WM_SETFOCUS ? NM_SETFOCUS : NM_KILLFOCUS, &nm);
        Redraw(hwnd);
        return false;
      }
      case WM_VSCROLL:
      case WM_HSCROLL:
        if (lParam) return false;
        OnScroll(hwnd, *s, message == WM_VSCROLL ? SB_VERT : SB_HORZ, LOWORD(wParam));
        return true;
      case WM_MOUSEWHEEL: {
        const int lines = WheelScrollLines(wParam);
        ScrollTo(hwnd, *s, s->top + lines, s->scrollX);
        *result = 0;
        return true;
      }
      case WM_LBUTTONDOWN:
      case WM_LBUTTONDBLCLK:
      case WM_RBUTTONDOWN:
      case WM_RBUTTONDBLCLK:
        ButtonDown(hwnd, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, static_cast<UINT>(wParam),
                   message == WM_RBUTTONDOWN || message == WM_RBUTTONDBLCLK,
                   message == WM_LBUTTONDBLCLK || message == WM_RBUTTONDBLCLK);
        return true;
      case WM_LBUTTONUP:
        ButtonUp(hwnd, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return true;
      case WM_RBUTTONUP:
        ButtonUp(hwnd, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return false;  // then WM_CONTEXTMENU
      case WM_MOUSEMOVE:
        MouseMove(hwnd, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return true;
      case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lParam) != hwnd) s->pressActive = false;
        return false;
      case WM_KEYDOWN:
        return KeyDown(hwnd, static_cast<UINT>(wParam));
      case WM_GETDLGCODE:
        *result = DLGC_WANTARROWS | DLGC_WANTCHARS;
        return true;
      case WM_NOTIFY: {
        const auto* nm = reinterpret_cast<const NMHEADER*>(lParam);
        if (!nm || nm->hdr.hwndFrom != s->header) return false;
        switch (nm->hdr.code) {
          case HDN_ITEMCLICK:
            NotifyItem(hwnd, LVN_COLUMNCLICK, -1, 0, 0, 0, 0, nm->iItem);
            return true;
          case HDN_ITEMCHANGED:
          case HDN_ENDDRAG:
            LayoutLater(hwnd, *s);
            *result = FALSE;
            return true;
          case HDN_DIVIDERDBLCLICK:
            SetWidth(s->header, *HS(*s), nm->iItem, AutoWidth(hwnd, *s, nm->iItem, true));
            return true;
          case HDN_BEGINDRAG:
            *result = (s->ex & LVS_EX_HEADERDRAGDROP) ? FALSE : TRUE;
            return true;
          default:
            return true;
        }
      }
      case LVM_GETBKCOLOR: *result = s->bk; return true;
      case LVM_SETBKCOLOR:
        s->bk = static_cast<COLORREF>(lParam) == CLR_NONE ? GetSysColor(COLOR_WINDOW) : static_cast<COLORREF>(lParam);
        Redraw(hwnd);
        *result = TRUE;
        return true;
      case LVM_GETTEXTCOLOR: *result = s->text; return true;
      case LVM_SETTEXTCOLOR: s->text = static_cast<COLORREF>(lParam); Redraw(hwnd); *result = TRUE; return true;
      case LVM_GETTEXTBKCOLOR: *result = s->textBk; return true;
      case LVM_SETTEXTBKCOLOR:
        s->textBk = static_cast<COLORREF>(lParam) == CLR_NONE ? s->bk : static_cast<COLORREF>(lParam);
        Redraw(hwnd);
        *result = TRUE;
        return true;
      case LVM_GETIMAGELIST:
        *result = reinterpret_cast<LRESULT>(wParam == LVSIL_SMALL ? s->small : wParam == LVSIL_STATE ? s->stateImages : s->normal);
        return true;
      case LVM_SETIMAGELIST: {
        HIMAGELIST& slot = wParam == LVSIL_SMALL ? s->small : wParam == LVSIL_STATE ? s->stateImages : s->normal;
        *result = reinterpret_cast<LRESULT>(slot);
        slot = reinterpret_cast<HIMAGELIST>(lParam);
        RowHeight(hwnd, *s);
        return true;
      }
      case LVM_GETITEMCOUNT: *result = n; return true;
      case LVM_SETITEMCOUNT:
        s->items.reserve(static_cast<size_t>(wParam));
        *result = TRUE;
        return true;
      case LVM_GETITEM: {
        auto* it = reinterpret_cast<LVITEM*>(lParam);
        *result = it && GetItem(*s, *it);
        return true;
      }
      case LVM_SETITEM: {
        const auto* it = reinterpret_cast<const LVITEM*>(lParam);
        *result = it && SetItem(hwnd, *it);
        return true;
      }
      case LVM_INSERTITEM: {
        const auto* it = reinterpret_cast<const LVITEM*>(lParam);
        *result = it ? InsertItem(hwnd, *s, *it) : -1;
        return true;
      }
      case LVM_DELETEITEM:
        *result = DeleteItem(hwnd, static_cast<int>(wParam));
        return true;
      case LVM_DELETEALLITEMS: {
        NMLISTVIEW nm{};
        nm.iItem = -1;
        const bool quiet = Notify(hwnd, LVN_DELETEALLITEMS, &nm.hdr) != 0;
        if (!(s = LS(hwnd))) return true;
        if (!quiet) {
          for (int i = 0; i < static_cast<int>(s->items.size()); ++i) {
            NotifyItem(hwnd, LVN_DELETEITEM, i, 0, 0, 0, s->items[static_cast<size_t>(i)].lParam);
            if (!(s = LS(hwnd))) return true;
          }
        }
        s->items.clear();
        s->focus = s->mark = -1;
        s->top = 0;
        LayoutLater(hwnd, *s);
        *result = TRUE;
        return true;
      }
      case LVM_GETNEXTITEM: {
        const int start = static_cast<int>(static_cast<INT_PTR>(wParam));
        const UINT flags = static_cast<UINT>(lParam);
        int i = start;
        const int dir = (flags & LVNI_ABOVE) ? -1 : 1;
        const int step = (flags & (LVNI_ABOVE | LVNI_BELOW)) && !Report(hwnd) ? PerRow(hwnd, *s) : 1;
        *result = -1;
        for (i = start < 0 ? (dir > 0 ? 0 : n - 1) : start + dir * step; i >= 0 && i < n; i += dir * step) {
          const UINT st = s->items[static_cast<size_t>(i)].state;
          if ((flags & LVNI_SELECTED) && !(st & LVIS_SELECTED)) continue;
          if ((flags & LVNI_FOCUSED) && !(st & LVIS_FOCUSED)) continue;
          if ((flags & LVNI_CUT) && !(st & LVIS_CUT)) continue;
          if ((flags & LVNI_DROPHILITED) && !(st & LVIS_DROPHILITED)) continue;
          *result = i;
          break;
        }
        return true;
      }
      case LVM_FINDITEM: {
        const auto* fi = reinterpret_cast<const LVFINDINFO*>(lParam);
        *result = -1;
        if (!fi || n == 0) return true;
        const int start = static_cast<int>(static_cast<INT_PTR>(wParam));
        for (int k = 1; k <= n; ++k) {
          const int i = start + k;
          if (i >= n && !(fi->flags & LVFI_WRAP)) break;
          const LvItem& it = s->items[static_cast<size_t>(i % n)];
          bool match = true;
          if ((fi->flags & LVFI_PARAM) && it.lParam != fi->lParam) match = false;
          if (match && (fi->flags & (LVFI_STRING | LVFI_PARTIAL)) && fi->psz) {
            const QString a = QmToQString(it.Text(0).GetString()), b = QmToQString(fi->psz);
            match = (fi->flags & LVFI_PARTIAL) ? a.startsWith(b, Qt::CaseInsensitive)
                                                : a.compare(b, Qt::CaseInsensitive) == 0;
          }
          if (match) {
            *result = i % n;
            break;
          }
        }
        return true;
      }
      case LVM_GETITEMRECT:
      case LVM_GETSUBITEMRECT: {
        auto* r = reinterpret_cast<RECT*>(lParam);
        if (!inRange(wParam) || !r) {
          *result = FALSE;
          return true;
        }
        EnsureLayout(hwnd, *s);
        const int code = r->left;
        const int col = message == LVM_GETSUBITEMRECT ? r->top : 0;
        if (col < 0 || (col > 0 && col >= static_cast<int>(s->cols.size()))) {
          *result = FALSE;
          return true;
        }
        *r = SubItemRect(hwnd, *s, static_cast<int>(wParam), col, code);
        *result = TRUE;
        return true;
      }
      case LVM_GETITEMPOSITION: {
        auto* p = reinterpret_cast<POINT*>(lParam);
        if (!inRange(wParam) || !p) {
          *result = FALSE;
          return true;
        }
        EnsureLayout(hwnd, *s);
        const RECT b = Bounds(hwnd, *s, static_cast<int>(wParam));
        *p = POINT{b.left, b.top};
        *result = TRUE;
        return true;
      }
      case LVM_GETSTRINGWIDTH:
        *result = lParam ? TextWidth(FontOf(hwnd), CString(reinterpret_cast<LPCSTR>(lParam))) : 0;
        return true;
      case LVM_HITTEST:
      case LVM_SUBITEMHITTEST: {
        auto* ht = reinterpret_cast<LVHITTESTINFO*>(lParam);
        if (!ht) {
          *result = -1;
          return true;
        }
        EnsureLayout(hwnd, *s);
        int col = -1;
        ht->iItem = HitTest(hwnd, *s, ht->pt, &ht->flags, &col);
        if (message == LVM_SUBITEMHITTEST) ht->iSubItem = ht->iItem >= 0 ? std::max(0, col) : -1;
        *result = ht->iItem;
        return true;
      }
      case LVM_ENSUREVISIBLE:
        EnsureVisible(hwnd, *s, static_cast<int>(wParam), lParam != 0);
        *result = inRange(wParam);
        return true;
      case LVM_SCROLL: {
        const int dx = static_cast<int>(wParam), dy = static_cast<int>(lParam);
        const int rows = dy >= 0 ? (dy + s->rowH - 1) / std::max(1, s->rowH) : -((-dy + s->rowH - 1) / std::max(1, s->rowH));
        ScrollTo(hwnd, *s, s->top + rows, s->scrollX + dx);
        *result = TRUE;
        return true;
      }
      case LVM_REDRAWITEMS:
        for (int i = static_cast<int>(wParam); i <= static_cast<int>(lParam) && i < n; ++i) RedrawItem(hwnd, *s, i);
        *result = TRUE;
        return true;
      case LVM_UPDATE:
        RedrawItem(hwnd, *s, static_cast<int>(wParam));
        *result = TRUE;
        return true;
      case LVM_ARRANGE:
        LayoutLater(hwnd, *s);
        *result = TRUE;
        return true;
      case LVM_GETCOLUMN: {
        auto* c = reinterpret_cast<LVCOLUMN*>(lParam);
        const int col = static_cast<int>(wParam);
        if (!c || col < 0 || col >= static_cast<int>(s->cols.size())) {
          *result = FALSE;
          return true;
        }
        const LvColumn& lc = s->cols[static_cast<size_t>(col)];
        HeaderState* h = HS(*s);
        if (c->mask & LVCF_FMT) c->fmt = lc.fmt;
        if (c->mask & LVCF_WIDTH) c->cx = ColumnWidth(*s, col);
        if ((c->mask & LVCF_TEXT) && h) CopyOut(h->items[static_cast<size_t>(col)].text, c->pszText, c->cchTextMax);
        if (c->mask & LVCF_SUBITEM) c->iSubItem = lc.subItem;
        if (c->mask & LVCF_IMAGE) c->iImage = lc.image;
        if (c->mask & LVCF_ORDER) {
          const std::vector<int> o = Order(*s);
          c->iOrder = static_cast<int>(std::find(o.begin(), o.end(), col) - o.begin());
        }
        *result = TRUE;
        return true;
      }
      case LVM_SETCOLUMN: {
        const auto* c = reinterpret_cast<const LVCOLUMN*>(lParam);
        const int col = static_cast<int>(wParam);
        if (!c || col < 0 || col >= static_cast<int>(s->cols.size())) {
          *result = FALSE;
          return true;
        }
        LvColumn& lc = s->cols[static_cast<size_t>(col)];
        HDITEM h{};
        if (c->mask & LVCF_FMT) {
          lc.fmt = c->fmt;
          h.mask |= HDI_FORMAT;
          h.fmt = HDF_STRING | (col == 0 ? HDF_LEFT : (c->fmt & LVCFMT_JUSTIFYMASK));
        }
        if (c->mask & LVCF_WIDTH) {
          h.mask |= HDI_WIDTH;
          h.cxy = c->cx;
        }
        if (c->mask & LVCF_TEXT) {
          h.mask |= HDI_TEXT;
          h.pszText = c->pszText;
        }
        if (c->mask & LVCF_SUBITEM) lc.subItem = c->iSubItem;
        if (c->mask & LVCF_IMAGE) lc.image = c->iImage;
        if (h.mask && s->header) ::SendMessage(s->header, HDM_SETITEM, static_cast<WPARAM>(col), reinterpret_cast<LPARAM>(&h));
        if ((s = LS(hwnd))) LayoutLater(hwnd, *s);
        *result = TRUE;
        return true;
      }
      case LVM_INSERTCOLUMN: {
        const auto* c = reinterpret_cast<const LVCOLUMN*>(lParam);
        *result = c ? InsertColumn(hwnd, *s, static_cast<int>(wParam), *c) : -1;
        return true;
      }
      case LVM_DELETECOLUMN: {
        const int col = static_cast<int>(wParam);
        if (col < 0 || col >= static_cast<int>(s->cols.size())) {
          *result = FALSE;
          return true;
        }
        s->cols.erase(s->cols.begin() + col);
        if (s->header) ::SendMessage(s->header, HDM_DELETEITEM, static_cast<WPARAM>(col), 0);
        if ((s = LS(hwnd))) LayoutLater(hwnd, *s);
        *result = TRUE;
        return true;
      }
      case LVM_GETCOLUMNWIDTH:
        *result = ColumnWidth(*s, static_cast<int>(wParam));
        return true;
      case LVM_SETCOLUMNWIDTH: {
        const int col = static_cast<int>(wParam);
        HeaderState* h = HS(*s);
        if (!h || col < 0 || col >= static_cast<int>(h->items.size())) {
          *result = FALSE;
          return true;
        }
        int w = static_cast<int>(static_cast<short>(LOWORD(lParam)));
        if (w == LVSCW_AUTOSIZE || w == LVSCW_AUTOSIZE_USEHEADER) w = AutoWidth(hwnd, *s, col, w == LVSCW_AUTOSIZE_USEHEADER);
        SetWidth(s->header, *h, col, w);
        if ((s = LS(hwnd))) LayoutLater(hwnd, *s);
        *result = TRUE;
        return true;
      }
      case LVM_GETHEADER:
        if (Report(hwnd) || s->header) EnsureHeader(hwnd, *s);
        *result = reinterpret_cast<LRESULT>(s->header);
        return true;
      case LVM_CREATEDRAGIMAGE:
        *result = inRange(wParam) ? reinterpret_cast<LRESULT>(DragImage(hwnd, *s, static_cast<int>(wParam),
                                                                         reinterpret_cast<POINT*>(lParam)))
                                  : 0;
        return true;
      case LVM_GETVIEWRECT: {
        auto* r = reinterpret_cast<RECT*>(lParam);
        if (!r) return true;
        EnsureLayout(hwnd, *s);
        const int rows = Report(hwnd) ? n : RowsOfCells(hwnd, *s);
        const int w = Report(hwnd) ? TotalWidth(*s) : PerRow(hwnd, *s) * CellW(hwnd, *s);
        *r = RECT{-s->scrollX, -s->top * s->rowH, w - s->scrollX, (rows - s->top) * s->rowH};
        *result = TRUE;
        return true;
      }
      case LVM_GETTOPINDEX:
        EnsureLayout(hwnd, *s);
        *result = Report(hwnd) ? s->top : s->top * PerRow(hwnd, *s);
        return true;
      case LVM_GETCOUNTPERPAGE:
        EnsureLayout(hwnd, *s);
        *result = Report(hwnd) ? PerPage(hwnd, *s) : n;
        return true;
      case LVM_GETORIGIN: {
        auto* p = reinterpret_cast<POINT*>(lParam);
        if (p) *p = POINT{s->scrollX, s->top * s->rowH};
        *result = !Report(hwnd);
        return true;
      }
      case LVM_SETITEMSTATE: {
        const auto* it = reinterpret_cast<const LVITEM*>(lParam);
        if (!it) {
          *result = FALSE;
          return true;
        }
        const int i = static_cast<int>(static_cast<INT_PTR>(wParam));
        if (i == -1) {
          for (int k = 0; k < n; ++k) {
            SetState(hwnd, k, it->state, it->stateMask);
            if (!LS(hwnd)) return true;
          }
        } else if (inRange(wParam)) {
          SetState(hwnd, i, it->state, it->stateMask);
        } else {
          *result = FALSE;
          return true;
        }
        *result = TRUE;
        return true;
      }
      case LVM_GETITEMSTATE:
        *result = inRange(wParam) ? (s->items[wParam].state & static_cast<UINT>(lParam)) : 0;
        return true;
      case LVM_GETITEMTEXT: {
        auto* it = reinterpret_cast<LVITEM*>(lParam);
        if (!inRange(wParam) || !it || !it->pszText || it->cchTextMax <= 0) {
          *result = 0;
          return true;
        }
        const CString& t = s->items[wParam].Text(it->iSubItem);
        CopyOut(t, it->pszText, it->cchTextMax);
        *result = std::min(t.GetLength(), it->cchTextMax - 1);
        return true;
      }
      case LVM_SETITEMTEXT: {
        const auto* it = reinterpret_cast<const LVITEM*>(lParam);
        if (!inRange(wParam) || !it) {
          *result = FALSE;
          return true;
        }
        LVITEM copy{};
        copy.mask = LVIF_TEXT;
        copy.iItem = static_cast<int>(wParam);
        copy.iSubItem = it->iSubItem;
        copy.pszText = it->pszText;
        *result = SetItem(hwnd, copy);
        return true;
      }
      case LVM_SORTITEMS:
        Sort(hwnd, *s, reinterpret_cast<PFNLVCOMPARE>(lParam), static_cast<LPARAM>(wParam));
        *result = TRUE;
        return true;
      case LVM_GETSELECTEDCOUNT:
        *result = std::count_if(s->items.begin(), s->items.end(), [](const LvItem& it) { return (it.state & LVIS_SELECTED) != 0; });
        return true;
      case LVM_GETSELECTIONMARK: *result = s->mark; return true;
      case LVM_SETSELECTIONMARK:
        *result = s->mark;
        s->mark = static_cast<int>(lParam);
        return true;
      case LVM_SETEXTENDEDLISTVIEWSTYLE: {
        const DWORD mask = wParam ? static_cast<DWORD>(wParam) : 0xFFFFFFFFu;
        *result = s->ex;
        s->ex = (s->ex & ~mask) | (static_cast<DWORD>(lParam) & mask);
        if (s->header && Find(s->header)) {
          DWORD hs = StyleOf(s->header);
          hs = (s->ex & LVS_EX_HEADERDRAGDROP) ? (hs | HDS_DRAGDROP) : (hs & ~HDS_DRAGDROP);
          ::SetWindowLong(s->header, GWL_STYLE, static_cast<LONG>(hs));
        }
        if ((s = LS(hwnd))) LayoutLater(hwnd, *s);
        return true;
      }
      case LVM_GETEXTENDEDLISTVIEWSTYLE: *result = s->ex; return true;
      case LVM_SETCOLUMNORDERARRAY:
        EnsureHeader(hwnd, *s);
        *result = ::SendMessage(s->header, HDM_SETORDERARRAY, wParam, lParam);
        if ((s = LS(hwnd))) LayoutLater(hwnd, *s);
        return true;
      case LVM_GETCOLUMNORDERARRAY: {
        auto* a = reinterpret_cast<int*>(lParam);
        const std::vector<int> o = Order(*s);
        if (!a || static_cast<size_t>(wParam) != o.size()) {
          *result = FALSE;
          return true;
        }
        std::copy(o.begin(), o.end(), a);
        *result = TRUE;
        return true;
      }
      case LVM_SETHOTITEM:
      case LVM_GETHOTITEM:
        *result = -1;
        return true;
      default:
        return false;
    }
  }
};

}  // namespace

void RegisterListViewClasses() {
  RegisterHeaderClass();
  QmRegisterControlClass(WC_LISTVIEW, CS_DBLCLKS, std::make_unique<ListViewClass>());
}

}  // namespace qmwnd::cc
