// List boxes and combo boxes drawn by the stand-in, and the extended combo
// box with images. Items with texts and item data; owner-drawn items
// (WM_MEASUREITEM once for a fixed height, per item for variable heights;
// WM_DRAWITEM per item, for a combo's selection field with
// ODS_COMBOBOXEDIT); multi-column list boxes; a combo's Edit child (id 1001)
// and its dropped list, a pop-up window of its own.
#include <algorithm>
#include <cstring>
#include <map>

#include <QEvent>
#include <QKeyEvent>
#include <QString>

#include "platform/gdi/imagelist.h"
#include "platform/wnd/commctrl_internal.h"

namespace qmwnd::cc {

namespace {

// ---------------------------------------------------------------------------
// Items shared by list and combo boxes.

struct Item {
  CString text;
  ULONG_PTR data = 0;
  bool selected = false;  // multiple-selection list boxes
  int height = 0;         // variable heights
  // Extended combo boxes.
  int image = -1;
  int selImage = -1;
  int indent = 0;
};

bool StartsWith(const CString& text, LPCSTR prefix) {
  return QmToQString(text.GetString()).startsWith(QmToQString(prefix), Qt::CaseInsensitive);
}

bool SameText(const CString& text, LPCSTR other) {
  return QmToQString(text.GetString()).compare(QmToQString(other), Qt::CaseInsensitive) == 0;
}

// The first item after start (wrapping) whose text matches; -1 for none.
int FindItem(const std::vector<Item>& items, int start, LPCSTR text, bool exact) {
  const int n = static_cast<int>(items.size());
  if (!text || n == 0) return -1;
  if (start < -1 || start >= n) start = -1;
  for (int k = 1; k <= n; ++k) {
    const int i = (start + k) % n;
    const CString& t = items[static_cast<size_t>(i)].text;
    if (exact ? SameText(t, text) : StartsWith(t, text)) return i;
  }
  return -1;
}

void CopyText(const Item& it, bool strings, LPSTR out) {
  if (!out) return;
  if (!strings) {
    std::memcpy(out, &it.data, sizeof it.data);
    return;
  }
  std::memcpy(out, it.text.GetString(), static_cast<size_t>(it.text.GetLength()));
  out[it.text.GetLength()] = 0;
}

// Tells the owner that an item with data goes.
void DeleteNotice(HWND hwnd, UINT ctlType, int index, const Item& it) {
  if (!it.data) return;
  HWND p = ParentOf(hwnd);
  if (!p) return;
  DELETEITEMSTRUCT d{};
  d.CtlType = ctlType;
  d.CtlID = static_cast<UINT>(CtlId(hwnd));
  d.itemID = static_cast<UINT>(index);
  d.hwndItem = hwnd;
  d.itemData = it.data;
  EnterDispatch();
  Send(p, WM_DELETEITEM, d.CtlID, reinterpret_cast<LPARAM>(&d));
  LeaveDispatch();
}

// Every item goes; the owner hears of the data it held.
void DropAll(HWND hwnd, UINT ctlType, std::vector<Item>& items) {
  std::vector<Item> gone;
  gone.swap(items);
  for (size_t i = 0; i < gone.size(); ++i) DeleteNotice(hwnd, ctlType, static_cast<int>(i), gone[i]);
}

// An index after one item at `removed` went: -1 when it was that item.
int AfterRemoval(int index, int removed) {
  if (index == removed) return -1;
  return index > removed ? index - 1 : index;
}

int CompareByOwner(HWND hwnd, UINT ctlType, const Item& a, int ia, const Item& b, int ib) {
  HWND p = ParentOf(hwnd);
  if (!p) return 0;
  COMPAREITEMSTRUCT c{};
  c.CtlType = ctlType;
  c.CtlID = static_cast<UINT>(CtlId(hwnd));
  c.hwndItem = hwnd;
  c.itemID1 = static_cast<UINT>(ia);
  c.itemData1 = a.data;
  c.itemID2 = static_cast<UINT>(ib);
  c.itemData2 = b.data;
  EnterDispatch();
  const int r = static_cast<int>(Send(p, WM_COMPAREITEM, c.CtlID, reinterpret_cast<LPARAM>(&c)));
  LeaveDispatch();
  return r;
}

// Where a new item goes in a sorted list.
int SortedPlace(HWND hwnd, UINT ctlType, const std::vector<Item>& items, const Item& it, bool strings) {
  int i = 0;
  for (; i < static_cast<int>(items.size()); ++i) {
    const int c = strings ? CompareNoCase(items[static_cast<size_t>(i)].text, it.text)
                          : CompareByOwner(hwnd, ctlType, items[static_cast<size_t>(i)], i, it, -1);
    if (c > 0) break;
  }
  return i;
}

int Measure(HWND hwnd, UINT ctlType, int index, ULONG_PTR data, int height, int width) {
  HWND p = ParentOf(hwnd);
  if (!p) return height;
  MEASUREITEMSTRUCT m{};
  m.CtlType = ctlType;
  m.CtlID = static_cast<UINT>(CtlId(hwnd));
  m.itemID = static_cast<UINT>(index);
  m.itemWidth = static_cast<UINT>(std::max(0, width));
  m.itemHeight = static_cast<UINT>(height);
  m.itemData = data;
  EnterDispatch();
  Send(p, WM_MEASUREITEM, m.CtlID, reinterpret_cast<LPARAM>(&m));
  LeaveDispatch();
  return m.itemHeight > 0 ? static_cast<int>(m.itemHeight) : height;
}

// Draws one item: by the owner (WM_DRAWITEM), else its text (and image).
void DrawOne(HWND owner, HWND target, UINT ctlType, HDC dc, const RECT& r, int index, const Item* it, bool selected,
             bool focus, bool disabled, bool ownerDraw, UINT extraState, HIMAGELIST images) {
  if (ownerDraw) {
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ctlType;
    dis.CtlID = static_cast<UINT>(CtlId(owner));
    dis.itemID = static_cast<UINT>(index);
    dis.itemAction = ODA_DRAWENTIRE;
    dis.itemState = (selected ? ODS_SELECTED : 0) | (focus ? ODS_FOCUS : 0) | (disabled ? ODS_DISABLED : 0) | extraState;
    dis.hwndItem = owner;
    dis.hDC = dc;
    dis.rcItem = r;
    dis.itemData = it ? it->data : 0;
    if (HWND p = ParentOf(owner)) {
      const int saved = SaveDC(dc);
      EnterDispatch();
      Send(p, WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
      LeaveDispatch();
      RestoreDC(dc, saved);
    }
    (void)target;
    return;
  }
  FillSolid(dc, r, GetSysColor(selected ? COLOR_HIGHLIGHT : disabled ? COLOR_BTNFACE : COLOR_WINDOW));
  if (!it) {
    if (focus) DrawFocusRect(dc, &r);
    return;
  }
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(disabled ? COLOR_GRAYTEXT : selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  int x = r.left + 2;
  if (images) {
    int iw = 0, ih = 0;
    ImageList_GetIconSize(images, &iw, &ih);
    x += it->indent * 10;
    const int image = selected && it->selImage >= 0 ? it->selImage : it->image;
    if (image >= 0) ImageList_Draw(images, image, dc, x, (r.top + r.bottom - ih) / 2, ILD_TRANSPARENT);
    x += iw + 4;
  }
  DrawCellText(dc, it->text, RECT{x, r.top, r.right - 2, r.bottom}, DT_LEFT);
  if (focus) DrawFocusRect(dc, &r);
}

// ---------------------------------------------------------------------------
// List boxes.

struct ListBoxState : CtlState {
  std::vector<Item> items;
  int itemH = 13;
  bool measured = false;
  bool heightSet = false;
  int top = 0;       // first item shown (first column for multi-column lists)
  int cur = -1;      // the selection of single-selection lists
  int caret = -1;
  int anchor = -1;
  int colW = 0;      // multi-column lists
  int extent = 0;
  bool tracking = false;
  bool vscroll = false;  // WS_VSCROLL / WS_HSCROLL at creation: scroll bars when needed
  bool hscroll = false;
};

ListBoxState* LBS(HWND hwnd) { return StateOf<ListBoxState>(hwnd); }
bool OwnerDrawn(DWORD st) { return (st & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)) != 0; }
bool Strings(DWORD st) { return !OwnerDrawn(st) || (st & LBS_HASSTRINGS); }
bool Multi(DWORD st) { return (st & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) != 0; }

void EnsureMeasured(HWND hwnd, ListBoxState& s) {
  if (s.measured || s.heightSet) return;
  s.measured = true;
  if (StyleOf(hwnd) & LBS_OWNERDRAWFIXED)
    s.itemH = Measure(hwnd, ODT_LISTBOX, 0, 0, s.itemH, ClientOf(hwnd).right);
}

int RowsPerColumn(HWND hwnd, const ListBoxState& s) {
  return std::max(1, static_cast<int>(ClientOf(hwnd).bottom) / std::max(1, s.itemH));
}

int ColumnWidth(HWND hwnd, const ListBoxState& s) {
  return s.colW > 0 ? s.colW : std::max(1, static_cast<int>(ClientOf(hwnd).right) / 2);
}

int ItemHeight(HWND hwnd, const ListBoxState& s, int i) {
  if ((StyleOf(hwnd) & LBS_OWNERDRAWVARIABLE) && i >= 0 && i < static_cast<int>(s.items.size()))
    return s.items[static_cast<size_t>(i)].height;
  return s.itemH;
}

RECT ItemRect(HWND hwnd, const ListBoxState& s, int i) {
  const RECT c = ClientOf(hwnd);
  if (StyleOf(hwnd) & LBS_MULTICOLUMN) {
    const int rows = RowsPerColumn(hwnd, s), cw = ColumnWidth(hwnd, s);
    const int col = i / rows - s.top, row = i % rows;
    return RECT{col * cw, row * s.itemH, col * cw + cw, row * s.itemH + s.itemH};
  }
  int y = 0;
  if (StyleOf(hwnd) & LBS_OWNERDRAWVARIABLE) {
    if (i >= s.top)
      for (int k = s.top; k < i; ++k) y += ItemHeight(hwnd, s, k);
    else
      for (int k = i; k < s.top; ++k) y -= ItemHeight(hwnd, s, k);
  } else {
    y = (i - s.top) * s.itemH;
  }
  return RECT{0, y, std::max<int>(c.right, s.extent), y + ItemHeight(hwnd, s, i)};
}

int PerPage(HWND hwnd, const ListBoxState& s) {
  if (StyleOf(hwnd) & LBS_MULTICOLUMN)
    return RowsPerColumn(hwnd, s) * std::max(1, static_cast<int>(ClientOf(hwnd).right) / ColumnWidth(hwnd, s));
  return std::max(1, static_cast<int>(ClientOf(hwnd).bottom) / std::max(1, s.itemH));
}

void Layout(HWND hwnd, ListBoxState& s) {
  const int n = static_cast<int>(s.items.size());
  const DWORD st = StyleOf(hwnd);
  if (st & LBS_MULTICOLUMN) {
    const int rows = RowsPerColumn(hwnd, s);
    const int cols = (n + rows - 1) / rows;
    const int shown = std::max(1, static_cast<int>(ClientOf(hwnd).right) / ColumnWidth(hwnd, s));
    s.top = std::clamp(s.top, 0, std::max(0, cols - shown));
    if (s.hscroll) SetBar(hwnd, SB_HORZ, 0, std::max(0, cols - 1), shown, s.top);
    return;
  }
  const int per = PerPage(hwnd, s);
  s.top = std::clamp(s.top, 0, std::max(0, n - per));
  if (s.vscroll) SetBar(hwnd, SB_VERT, 0, std::max(0, n - 1), per, s.top);
}

void Changed(HWND hwnd, ListBoxState& s) {
  Layout(hwnd, s);
  Redraw(hwnd);
}

int IndexAt(HWND hwnd, const ListBoxState& s, POINT p, bool* outside) {
  const int n = static_cast<int>(s.items.size());
  const RECT c = ClientOf(hwnd);
  int i = -1;
  if (StyleOf(hwnd) & LBS_MULTICOLUMN) {
    const int rows = RowsPerColumn(hwnd, s), cw = ColumnWidth(hwnd, s);
    i = (s.top + std::max(0, static_cast<int>(p.x)) / cw) * rows + std::clamp<int>(p.y / s.itemH, 0, rows - 1);
  } else {
    int y = 0;
    for (i = s.top; i < n; ++i) {
      const int h = ItemHeight(hwnd, s, i);
      if (p.y < y + h) break;
      y += h;
    }
  }
  const bool in = ::PtInRect(&c, p) && i >= 0 && i < n;
  if (outside) *outside = !in;
  return std::clamp(i, 0, std::max(0, n - 1));
}

void NotifyLB(HWND hwnd, UINT code) {
  if (StyleOf(hwnd) & LBS_NOTIFY) Command(hwnd, code);
}

void EnsureVisible(HWND hwnd, ListBoxState& s, int i) {
  if (i < 0) return;
  if (StyleOf(hwnd) & LBS_MULTICOLUMN) {
    const int rows = RowsPerColumn(hwnd, s);
    const int shown = std::max(1, static_cast<int>(ClientOf(hwnd).right) / ColumnWidth(hwnd, s));
    const int col = i / rows;
    if (col < s.top) s.top = col;
    else if (col >= s.top + shown) s.top = col - shown + 1;
  } else {
    const int per = PerPage(hwnd, s);
    if (i < s.top) s.top = i;
    else if (i >= s.top + per) s.top = i - per + 1;
  }
  Changed(hwnd, s);
}

// A selection made by the user: single lists move their selection, others
// their caret (and the selection as the keys and clicks say).
void UserSelect(HWND hwnd, int i, UINT keys, bool fromKey) {
  ListBoxState* s = LBS(hwnd);
  if (!s || i < 0 || i >= static_cast<int>(s->items.size())) return;
  const DWORD st = StyleOf(hwnd);
  if (st & LBS_NOSEL) return;
  bool changed = false;
  if (!Multi(st)) {
    changed = s->cur != i;
    s->cur = i;
    s->caret = i;
  } else if (st & LBS_MULTIPLESEL) {
    s->caret = i;
    if (!fromKey) {
      s->items[static_cast<size_t>(i)].selected = !s->items[static_cast<size_t>(i)].selected;
      changed = true;
    }
  } else {
    if (keys & MK_SHIFT) {
      const int a = s->anchor >= 0 ? s->anchor : i;
      for (int k = 0; k < static_cast<int>(s->items.size()); ++k) {
        const bool want = k >= std::min(a, i) && k <= std::max(a, i);
        if ((keys & MK_CONTROL) && !want) continue;
        changed |= s->items[static_cast<size_t>(k)].selected != want;
        s->items[static_cast<size_t>(k)].selected = want;
      }
    } else if (keys & MK_CONTROL) {
      if (!fromKey) {
        s->items[static_cast<size_t>(i)].selected = !s->items[static_cast<size_t>(i)].selected;
        changed = true;
      }
      s->anchor = i;
    } else {
      for (int k = 0; k < static_cast<int>(s->items.size()); ++k) {
        const bool want = k == i;
        changed |= s->items[static_cast<size_t>(k)].selected != want;
        s->items[static_cast<size_t>(k)].selected = want;
      }
      s->anchor = i;
    }
    s->caret = i;
  }
  EnsureVisible(hwnd, *s, i);
  if (changed) NotifyLB(hwnd, LBN_SELCHANGE);
}

void PaintListBox(HWND hwnd, ListBoxState& s, HDC dc) {
  EnsureMeasured(hwnd, s);
  const RECT c = ClientOf(hwnd);
  const DWORD st = StyleOf(hwnd);
  const bool disabled = !Enabled(hwnd);
  HBRUSH br = nullptr;
  if (HWND p = ParentOf(hwnd))
    br = reinterpret_cast<HBRUSH>(Send(p, WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd)));
  if (br && !disabled) FillRect(dc, &c, br);
  else FillSolid(dc, c, GetSysColor(disabled ? COLOR_BTNFACE : COLOR_WINDOW));
  const bool focused = Focused(hwnd);
  const int n = static_cast<int>(s.items.size());
  const int first = (st & LBS_MULTICOLUMN) ? s.top * RowsPerColumn(hwnd, s) : s.top;
  for (int i = first; i < n; ++i) {
    const RECT r = ItemRect(hwnd, s, i);
    if (r.top >= c.bottom || r.left >= c.right) {
      if (!(st & LBS_MULTICOLUMN) || r.left >= c.right) break;
      continue;
    }
    const Item& it = s.items[static_cast<size_t>(i)];
    const bool sel = Multi(st) ? it.selected : i == s.cur;
    DrawOne(hwnd, hwnd, ODT_LISTBOX, dc, r, i, &it, sel, focused && i == s.caret, disabled, OwnerDrawn(st), 0, nullptr);
    if (!LBS(hwnd) || i >= static_cast<int>(s.items.size())) return;
  }
}

int AddItem(HWND hwnd, ListBoxState& s, int index, LPARAM lParam, bool sortIt) {
  const DWORD st = StyleOf(hwnd);
  EnsureMeasured(hwnd, s);
  Item it;
  if (Strings(st)) it.text = lParam ? CString(reinterpret_cast<LPCSTR>(lParam)) : CString();
  else it.data = static_cast<ULONG_PTR>(lParam);
  const int n = static_cast<int>(s.items.size());
  if (sortIt && (st & LBS_SORT)) index = SortedPlace(hwnd, ODT_LISTBOX, s.items, it, Strings(st));
  else if (index < 0 || index > n) index = index < 0 ? n : -1;
  if (index < 0) return LB_ERR;
  it.height = s.itemH;
  if (st & LBS_OWNERDRAWVARIABLE) it.height = Measure(hwnd, ODT_LISTBOX, index, it.data, s.itemH, ClientOf(hwnd).right);
  s.items.insert(s.items.begin() + index, std::move(it));
  if (s.cur >= index) ++s.cur;
  if (s.caret >= index) ++s.caret;
  if (s.anchor >= index) ++s.anchor;
  Changed(hwnd, s);
  return index;
}

class ListBoxClass : public DrawnClass {
 public:
  QWidget* CreateWidget(HWND, const CREATESTRUCT& cs, QWidget* parent) override {
    auto st = std::make_unique<ListBoxState>();
    st->vscroll = (cs.style & WS_VSCROLL) != 0;
    st->hscroll = (cs.style & WS_HSCROLL) != 0;
    return MakeWidget(cs, parent, std::move(st), true);
  }
  void FontChanged(HWND hwnd, QWidget*, const QFont&) override {
    ListBoxState* s = LBS(hwnd);
    if (!s) return;
    if (!OwnerDrawn(StyleOf(hwnd)) && !s->heightSet) s->itemH = MetricsOf(FontOf(hwnd)).tmHeight;
    Changed(hwnd, *s);
  }
  UINT DialogCode(HWND) override { return DLGC_WANTARROWS | DLGC_WANTCHARS; }

  bool DefProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override {
    ListBoxState* s = LBS(hwnd);
    if (!s) return false;
    const DWORD st = StyleOf(hwnd);
    const int n = static_cast<int>(s->items.size());
    auto inRange = [n](WPARAM i) { return static_cast<int>(i) >= 0 && static_cast<int>(i) < n; };
    *result = 0;
    switch (message) {
      case WM_ERASEBKGND:
        *result = 1;
        return true;
      case WM_PAINT:
        Paint(hwnd, [&](HDC dc, const RECT&) { PaintListBox(hwnd, *s, dc); });
        return true;
      case WM_SIZE:
        Changed(hwnd, *s);
        return false;
      case WM_ENABLE:
        Redraw(hwnd);
        return false;
      case WM_SETFOCUS:
      case WM_KILLFOCUS:
        Redraw(hwnd);
        NotifyLB(hwnd, message == WM_SETFOCUS ? LBN_SETFOCUS : LBN_KILLFOCUS);
        return false;
      case WM_GETDLGCODE:
        *result = DLGC_WANTARROWS | DLGC_WANTCHARS;
        return true;
      case WM_VSCROLL:
      case WM_HSCROLL:
      case WM_MOUSEWHEEL:
        if (message != WM_MOUSEWHEEL && lParam) return false;
        if (ScrolledFirstLine(hwnd, message, wParam, s->top, &s->top)) Changed(hwnd, *s);
        return true;
      case WM_LBUTTONDOWN:
      case WM_LBUTTONDBLCLK: {
        if (!Focused(hwnd)) ::SetFocus(hwnd);
        if (!(s = LBS(hwnd)) || s->items.empty()) return true;
        bool outside = false;
        const int i = IndexAt(hwnd, *s, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, &outside);
        if (outside) return true;
        if (message == WM_LBUTTONDBLCLK) {
          NotifyLB(hwnd, LBN_DBLCLK);
          return true;
        }
        UserSelect(hwnd, i, static_cast<UINT>(wParam), false);
        if ((s = LBS(hwnd)) && !Multi(st)) {
          s->tracking = true;
          ::SetCapture(hwnd);
        }
        return true;
      }
      case WM_MOUSEMOVE:
        if (s->tracking && (wParam & MK_LBUTTON)) {
          bool outside = false;
          const int i = IndexAt(hwnd, *s, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, &outside);
          if (!outside) UserSelect(hwnd, i, 0, false);
        }
        return true;
      case WM_LBUTTONUP:
        if (s->tracking) {
          s->tracking = false;
          if (::GetCapture() == hwnd) ::ReleaseCapture();
        }
        return true;
      case WM_KEYDOWN: {
        if (s->items.empty()) return false;
        const int cur = s->caret >= 0 ? s->caret : 0;
        const int rows = (st & LBS_MULTICOLUMN) ? RowsPerColumn(hwnd, *s) : 1;
        const int page = PerPage(hwnd, *s);
        int to = cur;
        switch (wParam) {
          case VK_UP: to = cur - 1; break;
          case VK_DOWN: to = cur + 1; break;
          case VK_LEFT: to = cur - rows; break;
          case VK_RIGHT: to = cur + rows; break;
          case VK_PRIOR: to = cur - page; break;
          case VK_NEXT: to = cur + page; break;
          case VK_HOME: to = 0; break;
          case VK_END: to = n - 1; break;
          case VK_SPACE:
            if (st & LBS_MULTIPLESEL) UserSelect(hwnd, cur, 0, false);
            return true;
          default: return false;
        }
        UINT keys = 0;
        if (GetKeyState(VK_SHIFT) < 0) keys |= MK_SHIFT;
        if (GetKeyState(VK_CONTROL) < 0) keys |= MK_CONTROL;
        UserSelect(hwnd, std::clamp(to, 0, n - 1), keys, (st & LBS_MULTIPLESEL) != 0);
        return true;
      }
      case WM_CHAR: {
        if (!Strings(st) || s->items.empty()) return false;
        const char c[2] = {static_cast<char>(wParam), 0};
        const int i = FindItem(s->items, s->caret, c, false);
        if (i >= 0) UserSelect(hwnd, i, 0, false);
        return true;
      }
      case LB_ADDSTRING:
        *result = AddItem(hwnd, *s, -1, lParam, true);
        return true;
      case LB_INSERTSTRING:
        *result = AddItem(hwnd, *s, static_cast<int>(static_cast<INT_PTR>(wParam)), lParam, false);
        return true;
      case LB_DELETESTRING: {
        if (!inRange(wParam)) {
          *result = LB_ERR;
          return true;
        }
        const int i = static_cast<int>(wParam);
        const Item gone = s->items[static_cast<size_t>(i)];
        s->items.erase(s->items.begin() + i);
        s->cur = AfterRemoval(s->cur, i);
        s->caret = AfterRemoval(s->caret, i);
        s->anchor = AfterRemoval(s->anchor, i);
        Changed(hwnd, *s);
        DeleteNotice(hwnd, ODT_LISTBOX, i, gone);
        *result = (s = LBS(hwnd)) ? static_cast<LRESULT>(s->items.size()) : 0;
        return true;
      }
      case LB_RESETCONTENT:
        s->cur = s->caret = s->anchor = -1;
        s->top = 0;
        DropAll(hwnd, ODT_LISTBOX, s->items);
        if ((s = LBS(hwnd))) Changed(hwnd, *s);
        return true;
      case LB_GETCOUNT: *result = n; return true;
      case LB_SETCURSEL: {
        const int i = static_cast<int>(static_cast<INT_PTR>(wParam));
        if (Multi(st)) {
          *result = LB_ERR;
          return true;
        }
        s->cur = inRange(wParam) ? i : -1;
        s->caret = s->cur;
        if (s->cur >= 0) EnsureVisible(hwnd, *s, s->cur);
        Redraw(hwnd);
        *result = s->cur >= 0 ? s->cur : LB_ERR;
        return true;
      }
      case LB_GETCURSEL:
        *result = Multi(st) ? (s->caret >= 0 ? s->caret : LB_ERR) : (s->cur >= 0 ? s->cur : LB_ERR);
        return true;
      case LB_GETTEXT:
        if (!inRange(wParam)) {
          *result = LB_ERR;
          return true;
        }
        CopyText(s->items[wParam], Strings(st), reinterpret_cast<LPSTR>(lParam));
        *result = Strings(st) ? s->items[wParam].text.GetLength() : static_cast<LRESULT>(sizeof(ULONG_PTR));
        return true;
      case LB_GETTEXTLEN:
        *result = !inRange(wParam) ? LB_ERR : Strings(st) ? s->items[wParam].text.GetLength() : static_cast<LRESULT>(sizeof(ULONG_PTR));
        return true;
      case LB_FINDSTRING:
      case LB_FINDSTRINGEXACT:
      case LB_SELECTSTRING: {
        const int i = FindItem(s->items, static_cast<int>(static_cast<INT_PTR>(wParam)), reinterpret_cast<LPCSTR>(lParam),
                           message == LB_FINDSTRINGEXACT);
        if (i >= 0 && message == LB_SELECTSTRING && !Multi(st)) {
          s->cur = s->caret = i;
          EnsureVisible(hwnd, *s, i);
        }
        *result = i >= 0 ? i : LB_ERR;
        return true;
      }
      case LB_GETITEMDATA:
        *result = inRange(wParam) ? static_cast<LRESULT>(s->items[wParam].data) : LB_ERR;
        return true;
      case LB_SETITEMDATA:
        if (!inRange(wParam)) {
          *result = LB_ERR;
          return true;
        }
        s->items[wParam].data = static_cast<ULONG_PTR>(lParam);
        Redraw(hwnd);
        return true;
      case LB_GETSEL:
        *result = !inRange(lParam) ? LB_ERR : Multi(st) ? s->items[static_cast<size_t>(lParam)].selected : static_cast<int>(lParam) == s->cur;
        return true;
      case LB_SETSEL: {
        if (!Multi(st)) {
          *result = LB_ERR;
          return true;
        }
        const int i = static_cast<int>(lParam);
        if (i == -1) {
          for (Item& it : s->items) it.selected = wParam != 0;
        } else if (inRange(static_cast<WPARAM>(lParam))) {
          s->items[static_cast<size_t>(i)].selected = wParam != 0;
          s->caret = i;
        } else {
          *result = LB_ERR;
          return true;
        }
        Redraw(hwnd);
        return true;
      }
      case LB_SELITEMRANGE: {
        if (!Multi(st)) {
          *result = LB_ERR;
          return true;
        }
        const int a = LOWORD(lParam), b = HIWORD(lParam);
        for (int i = std::min(a, b); i <= std::max(a, b) && i < n; ++i) s->items[static_cast<size_t>(i)].selected = wParam != 0;
        Redraw(hwnd);
        return true;
      }
      case LB_GETSELCOUNT:
        *result = Multi(st) ? std::count_if(s->items.begin(), s->items.end(), [](const Item& it) { return it.selected; }) : LB_ERR;
        return true;
      case LB_GETSELITEMS: {
        if (!Multi(st)) {
          *result = LB_ERR;
          return true;
        }
        auto* out = reinterpret_cast<int*>(lParam);
        int k = 0;
        for (int i = 0; i < n && k < static_cast<int>(wParam); ++i)
          if (s->items[static_cast<size_t>(i)].selected) {
            if (out) out[k] = i;
            ++k;
          }
        *result = k;
        return true;
      }
      case LB_GETTOPINDEX:
        *result = (st & LBS_MULTICOLUMN) ? s->top * RowsPerColumn(hwnd, *s) : s->top;
        return true;
      case LB_SETTOPINDEX:
        if (!inRange(wParam) && n) {
          *result = LB_ERR;
          return true;
        }
        s->top = (st & LBS_MULTICOLUMN) ? static_cast<int>(wParam) / RowsPerColumn(hwnd, *s) : static_cast<int>(wParam);
        Changed(hwnd, *s);
        return true;
      case LB_GETITEMRECT:
        if (!inRange(wParam) || !lParam) {
          *result = LB_ERR;
          return true;
        }
        EnsureMeasured(hwnd, *s);
        *reinterpret_cast<RECT*>(lParam) = ItemRect(hwnd, *s, static_cast<int>(wParam));
        return true;
      case LB_SETITEMHEIGHT: {
        const int h = LOWORD(lParam);
        if (h <= 0 || h > 255) {
          *result = LB_ERR;
          return true;
        }
        if ((st & LBS_OWNERDRAWVARIABLE) && inRange(wParam)) s->items[wParam].height = h;
        else s->itemH = h;
        s->heightSet = true;
        Changed(hwnd, *s);
        return true;
      }
      case LB_GETITEMHEIGHT:
        EnsureMeasured(hwnd, *s);
        *result = ItemHeight(hwnd, *s, static_cast<int>(wParam));
        return true;
      case LB_SETCOLUMNWIDTH:
        s->colW = static_cast<int>(wParam);
        Changed(hwnd, *s);
        return true;
      case LB_ITEMFROMPOINT: {
        EnsureMeasured(hwnd, *s);
        bool outside = true;
        const int i = n ? IndexAt(hwnd, *s, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, &outside) : 0;
        *result = static_cast<LRESULT>(MAKELONG(static_cast<WORD>(i), outside ? 1 : 0));
        return true;
      }
      case LB_GETCARETINDEX: *result = s->caret; return true;
      case LB_SETCARETINDEX:
        if (!inRange(wParam)) {
          *result = LB_ERR;
          return true;
        }
        s->caret = static_cast<int>(wParam);
        EnsureVisible(hwnd, *s, s->caret);
        return true;
      case LB_GETANCHORINDEX: *result = s->anchor; return true;
      case LB_SETANCHORINDEX: s->anchor = static_cast<int>(wParam); return true;
      case LB_SETHORIZONTALEXTENT: s->extent = static_cast<int>(wParam); Redraw(hwnd); return true;
      case LB_GETHORIZONTALEXTENT: *result = s->extent; return true;
      case WM_NCDESTROY:
        DropAll(hwnd, ODT_LISTBOX, s->items);
        return false;
      default:
        return false;
    }
  }
};

// ---------------------------------------------------------------------------
// Combo boxes.

struct ComboState : CtlState {
  bool ex = false;  // an extended combo box
  std::vector<Item> items;
  int cur = -1;
  HWND edit = nullptr;
  HWND list = nullptr;
  bool dropped = false;
  int hot = -1;       // the item lit in the dropped list
  int listTop = 0;
  int before = -1;    // the selection when the list dropped
  int droppedH = 100; // the height given at creation and by SetWindowPos
  int droppedW = 0;
  int fieldH = 15;
  int itemH = 13;
  bool fieldSet = false;
  bool itemSet = false;
  bool measured = false;
  bool sizingSelf = false;
  bool settingEdit = false;
  bool extendedUI = false;
  bool buttonDown = false;
  HIMAGELIST images = nullptr;
  DWORD exStyle = 0;
};

ComboState* CS(HWND hwnd) { return StateOf<ComboState>(hwnd); }
DWORD Kind(HWND hwnd) { return StyleOf(hwnd) & 0x3; }
bool ComboOwnerDrawn(HWND hwnd) { return (StyleOf(hwnd) & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE)) != 0; }
bool ComboStrings(HWND hwnd, const ComboState& s) { return s.ex || !ComboOwnerDrawn(hwnd) || (StyleOf(hwnd) & CBS_HASSTRINGS); }

constexpr int kEdge = 3;

int ButtonW() { return GetSystemMetrics(SM_CXVSCROLL); }

RECT FieldRect(HWND hwnd) {
  const RECT c = ClientOf(hwnd);
  const int right = Kind(hwnd) == CBS_SIMPLE ? c.right - kEdge : c.right - kEdge - ButtonW();
  return RECT{kEdge, kEdge, std::max<int>(kEdge, right), std::max<int>(kEdge, c.bottom - kEdge)};
}

RECT ButtonRect(HWND hwnd) {
  const RECT c = ClientOf(hwnd);
  return RECT{c.right - 2 - ButtonW(), 2, c.right - 2, c.bottom - 2};
}

int ComboHeight(const ComboState& s) { return s.fieldH + 2 * kEdge; }

void EnsureComboMeasured(HWND hwnd, ComboState& s) {
  if (s.measured) return;
  s.measured = true;
  if (!ComboOwnerDrawn(hwnd) || s.ex) return;
  const int h = Measure(hwnd, ODT_COMBOBOX, 0, 0, s.itemH, ClientOf(hwnd).right);
  if (!s.itemSet) s.itemH = h;
  if (!s.fieldSet) {
    s.fieldH = std::max(h, s.fieldH);
    RECT wr;
    ::GetWindowRect(hwnd, &wr);
    s.sizingSelf = true;
    ::SetWindowPos(hwnd, nullptr, 0, 0, wr.right - wr.left, ComboHeight(s), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (ComboState* again = CS(hwnd)) again->sizingSelf = false;
  }
}

void PlaceEdit(HWND hwnd, ComboState& s) {
  if (!s.edit || !Find(s.edit)) return;
  RECT f = FieldRect(hwnd);
  if (s.ex && s.images) {
    int iw = 0, ih = 0;
    ImageList_GetIconSize(s.images, &iw, &ih);
    f.left += iw + 6;
  }
  ::SetWindowPos(s.edit, nullptr, f.left, f.top, f.right - f.left, f.bottom - f.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void Resize(HWND hwnd, ComboState& s) {
  if (Kind(hwnd) == CBS_SIMPLE) return;
  RECT wr;
  ::GetWindowRect(hwnd, &wr);
  s.sizingSelf = true;
  ::SetWindowPos(hwnd, nullptr, 0, 0, wr.right - wr.left, ComboHeight(s), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  if (ComboState* again = CS(hwnd)) {
    again->sizingSelf = false;
    PlaceEdit(hwnd, *again);
  }
  Redraw(hwnd);
}

void SetEditText(HWND hwnd, ComboState& s) {
  if (!s.edit || !Find(s.edit)) return;
  s.settingEdit = true;
  const CString t = s.cur >= 0 && s.cur < static_cast<int>(s.items.size()) ? s.items[static_cast<size_t>(s.cur)].text : CString();
  ::SetWindowText(s.edit, t.GetString());
  if (ComboState* again = CS(hwnd)) {
    again->settingEdit = false;
    // The text is selected while the edit has the focus.
    ::SendMessage(again->edit, EM_SETSEL, Focused(again->edit) ? 0 : static_cast<WPARAM>(-1), Focused(again->edit) ? -1 : 0);
  }
}

void SelectItem(HWND hwnd, ComboState& s, int i) {
  s.cur = (i >= 0 && i < static_cast<int>(s.items.size())) ? i : -1;
  SetEditText(hwnd, s);
  Redraw(hwnd);
}

// The dropped list's geometry: whole rows, at most the items.
int VisibleRows(HWND hwnd, const ComboState& s) {
  const int n = static_cast<int>(s.items.size());
  // The room under the closed combo holds the rows; the list's border is
  // added to it.
  const int room = std::max(s.itemH, s.droppedH - ComboHeight(s));
  const int h = std::max(1, s.itemH);
  const int rows = (StyleOf(hwnd) & CBS_NOINTEGRALHEIGHT) ? (room + h - 1) / h : std::max(1, room / h);
  return std::max(1, std::min(rows, std::max(1, n)));
}

void CloseList(HWND hwnd, bool ok);

void ListLayout(HWND hwnd, ComboState& s) {
  if (!s.list) return;
  const int n = static_cast<int>(s.items.size());
  const int rows = VisibleRows(hwnd, s);
  s.listTop = std::clamp(s.listTop, 0, std::max(0, n - rows));
  SetBar(s.list, SB_VERT, 0, std::max(0, n - 1), rows, s.listTop);
}

// The dropped list's pop-up window, made when first needed.
HWND MakeList(HWND hwnd) {
  ComboState* s = CS(hwnd);
  if (!s) return nullptr;
  if (s->list && Find(s->list)) return s->list;
  const HWND list = CreateWindowEx(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, "ComboLBox", "", WS_POPUP, 0, 0, 10, 10, hwnd,
                                   nullptr, nullptr, hwnd);
  if ((s = CS(hwnd))) s->list = list;
  return list;
}

void OpenList(HWND hwnd) {
  ComboState* s = CS(hwnd);
  if (!s || s->dropped || Kind(hwnd) == CBS_SIMPLE) return;
  Command(hwnd, CBN_DROPDOWN);
  if (!(s = CS(hwnd))) return;
  EnsureComboMeasured(hwnd, *s);
  if (!MakeList(hwnd) || !(s = CS(hwnd))) return;
  RECT wr;
  ::GetWindowRect(hwnd, &wr);
  const int rows = VisibleRows(hwnd, *s);
  const int w = std::max<int>(wr.right - wr.left, s->droppedW);
  const int h = rows * s->itemH + 2;
  s->dropped = true;
  s->before = s->cur;
  s->hot = s->cur;
  if (s->cur >= 0) s->listTop = std::min(s->cur, std::max(0, static_cast<int>(s->items.size()) - rows));
  ::SetWindowPos(s->list, HWND_TOPMOST, wr.left, wr.bottom, w, h, SWP_NOACTIVATE | SWP_SHOWWINDOW);
  if (!(s = CS(hwnd))) return;
  ListLayout(hwnd, *s);
  Redraw(s->list);
  ::SetCapture(s->list);
  Redraw(hwnd);
}

void CloseList(HWND hwnd, bool ok) {
  ComboState* s = CS(hwnd);
  if (!s || !s->dropped) return;
  s->dropped = false;
  s->buttonDown = false;
  if (s->list && Find(s->list)) {
    if (::GetCapture() == s->list) ::ReleaseCapture();
    ::ShowWindow(s->list, SW_HIDE);
  }
  if (!(s = CS(hwnd))) return;
  Redraw(hwnd);
  Command(hwnd, ok ? CBN_SELENDOK : CBN_SELENDCANCEL);
  Command(hwnd, CBN_CLOSEUP);
}

// The user chose an item (in the list, with the keys): the selection, then
// CBN_SELCHANGE.
void UserChoose(HWND hwnd, int i) {
  ComboState* s = CS(hwnd);
  if (!s || i < 0 || i >= static_cast<int>(s->items.size())) return;
  const bool changed = s->cur != i;
  SelectItem(hwnd, *s, i);
  if (changed) Command(hwnd, CBN_SELCHANGE);
}

void PaintCombo(HWND hwnd, ComboState& s, HDC dc) {
  RECT c = ClientOf(hwnd);
  const bool enabled = Enabled(hwnd);
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  FillSolid(dc, c, enabled ? GetSysColor(COLOR_WINDOW) : face);
  RECT edge = c;
  DrawEdge(dc, &edge, EDGE_SUNKEN, BF_RECT);
  if (Kind(hwnd) != CBS_SIMPLE) {
    RECT b = ButtonRect(hwnd);
    DrawFrameControl(dc, &b, DFC_SCROLL, DFCS_SCROLLCOMBOBOX | (s.buttonDown || s.dropped ? DFCS_PUSHED : 0) | (enabled ? 0 : DFCS_INACTIVE));
  }
  if (Kind(hwnd) != CBS_DROPDOWNLIST) {
    if (s.ex && s.images && s.cur >= 0 && s.cur < static_cast<int>(s.items.size())) {
      // The image beside the edit.
      const RECT f = FieldRect(hwnd);
      int iw = 0, ih = 0;
      ImageList_GetIconSize(s.images, &iw, &ih);
      const Item& it = s.items[static_cast<size_t>(s.cur)];
      ImageList_Draw(s.images, it.image, dc, f.left + 2, (f.top + f.bottom - ih) / 2, ILD_TRANSPARENT);
    }
    return;
  }
  const RECT f = FieldRect(hwnd);
  const bool focused = Focused(hwnd) && !s.dropped;
  const Item* it = s.cur >= 0 && s.cur < static_cast<int>(s.items.size()) ? &s.items[static_cast<size_t>(s.cur)] : nullptr;
  if (ComboOwnerDrawn(hwnd) && !s.ex) {
    DrawOne(hwnd, hwnd, ODT_COMBOBOX, dc, f, s.cur, it, focused, focused, !enabled, true, ODS_COMBOBOXEDIT, nullptr);
    return;
  }
  DrawOne(hwnd, hwnd, ODT_COMBOBOX, dc, f, s.cur, it, focused, focused, !enabled, false, 0, s.ex ? s.images : nullptr);
}

int AddComboItem(HWND hwnd, ComboState& s, int index, LPARAM lParam, bool sortIt) {
  EnsureComboMeasured(hwnd, s);
  Item it;
  if (ComboStrings(hwnd, s)) it.text = lParam ? CString(reinterpret_cast<LPCSTR>(lParam)) : CString();
  else it.data = static_cast<ULONG_PTR>(lParam);
  const int n = static_cast<int>(s.items.size());
  if (sortIt && (StyleOf(hwnd) & CBS_SORT)) index = SortedPlace(hwnd, ODT_COMBOBOX, s.items, it, ComboStrings(hwnd, s));
  else if (index < 0 || index > n) index = index < 0 ? n : -1;
  if (index < 0) return CB_ERR;
  it.height = s.itemH;
  if (StyleOf(hwnd) & CBS_OWNERDRAWVARIABLE) it.height = Measure(hwnd, ODT_COMBOBOX, index, it.data, s.itemH, ClientOf(hwnd).right);
  s.items.insert(s.items.begin() + index, std::move(it));
  if (s.cur >= index) ++s.cur;
  if (s.dropped) {
    ListLayout(hwnd, s);
    Redraw(s.list);
  }
  return index;
}

class ComboEditKeys : public QObject {
 public:
  ComboEditKeys(HWND combo, QObject* parent) : QObject(parent), combo_(combo) {}
  bool eventFilter(QObject*, QEvent* e) override;

 private:
  HWND combo_;
};

bool ComboKey(HWND hwnd, UINT vk) {
  ComboState* s = CS(hwnd);
  if (!s) return false;
  const int n = static_cast<int>(s->items.size());
  const bool alt = GetKeyState(VK_MENU) < 0;
  if (vk == VK_F4 || (alt && (vk == VK_DOWN || vk == VK_UP))) {
    if (s->dropped) CloseList(hwnd, true);
    else OpenList(hwnd);
    return true;
  }
  if (s->dropped && (vk == VK_RETURN || vk == VK_ESCAPE)) {
    CloseList(hwnd, vk == VK_RETURN);
    return true;
  }
  if (n == 0) return false;
  const int cur = s->dropped ? s->hot : s->cur;
  const int page = s->dropped ? VisibleRows(hwnd, *s) : 1;
  int to = cur;
  switch (vk) {
    case VK_UP: to = cur < 0 ? 0 : cur - 1; break;
    case VK_DOWN: to = cur + 1; break;
    case VK_PRIOR: to = cur - std::max(1, page - 1); break;
    case VK_NEXT: to = cur + std::max(1, page - 1); break;
    case VK_HOME: if (Kind(hwnd) != CBS_DROPDOWNLIST) return false; to = 0; break;
    case VK_END: if (Kind(hwnd) != CBS_DROPDOWNLIST) return false; to = n - 1; break;
    default: return false;
  }
  to = std::clamp(to, 0, n - 1);
  if (s->dropped) {
    s->hot = to;
    const int rows = VisibleRows(hwnd, *s);
    if (to < s->listTop) s->listTop = to;
    else if (to >= s->listTop + rows) s->listTop = to - rows + 1;
    ListLayout(hwnd, *s);
    Redraw(s->list);
    UserChoose(hwnd, to);
    return true;
  }
  if (to != s->cur) {
    UserChoose(hwnd, to);
    Command(hwnd, CBN_SELENDOK);
  }
  return true;
}

bool ComboEditKeys::eventFilter(QObject*, QEvent* e) {
  if (e->type() != QEvent::KeyPress) return false;
  auto* ke = static_cast<QKeyEvent*>(e);
  UINT vk = 0;
  switch (ke->key()) {
    case Qt::Key_Up: vk = VK_UP; break;
    case Qt::Key_Down: vk = VK_DOWN; break;
    case Qt::Key_PageUp: vk = VK_PRIOR; break;
    case Qt::Key_PageDown: vk = VK_NEXT; break;
    case Qt::Key_F4: vk = VK_F4; break;
    case Qt::Key_Return:
    case Qt::Key_Enter: vk = VK_RETURN; break;
    case Qt::Key_Escape: vk = VK_ESCAPE; break;
    default: return false;
  }
  ComboState* s = CS(combo_);
  if (!s) return false;
  if ((vk == VK_RETURN || vk == VK_ESCAPE) && !s->dropped) return false;
  EnterDispatch();
  const bool used = ComboKey(combo_, vk);
  LeaveDispatch();
  return used;
}

class ComboClass : public DrawnClass {
 public:
  explicit ComboClass(bool ex) : ex_(ex) {}

  QWidget* CreateWidget(HWND hwnd, const CREATESTRUCT& cs, QWidget* parent) override {
    auto st = std::make_unique<ComboState>();
    st->ex = ex_;
    st->droppedH = cs.cy;
    // WS_VSCROLL is the dropped list's: the combo itself has no scroll bars.
    if (Window* w = Find(hwnd)) w->scroll[SB_HORZ].shown = w->scroll[SB_VERT].shown = false;
    return MakeWidget(cs, parent, std::move(st), true);
  }

  void StyleChanged(HWND hwnd, QWidget*, DWORD) override {
    if (Window* w = Find(hwnd)) w->scroll[SB_HORZ].shown = w->scroll[SB_VERT].shown = false;
  }

  void FontChanged(HWND hwnd, QWidget*, const QFont&) override {
    ComboState* s = CS(hwnd);
    if (!s) return;
    const TEXTMETRIC tm = MetricsOf(FontOf(hwnd));
    int ih = 0;
    if (s->ex && s->images) {
      int iw = 0;
      ImageList_GetIconSize(s->images, &iw, &ih);
    }
    if (!s->itemSet) s->itemH = std::max<int>(tm.tmHeight, ih);
    if (!s->fieldSet) s->fieldH = std::max<int>(tm.tmHeight + 2, ih + 2);
    if (s->edit && Find(s->edit)) ::SendMessage(s->edit, WM_SETFONT, reinterpret_cast<WPARAM>(FontOf(hwnd)), 0);
    Window* w = Find(hwnd);
    if ((s = CS(hwnd)) && w && w->createdDone) Resize(hwnd, *s);
  }

  UINT DialogCode(HWND) override { return DLGC_WANTARROWS | DLGC_WANTCHARS; }

  bool DefProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override {
    ComboState* s = CS(hwnd);
    if (!s) return false;
    const int n = static_cast<int>(s->items.size());
    auto inRange = [n](WPARAM i) { return static_cast<int>(i) >= 0 && static_cast<int>(i) < n; };
    *result = 0;
    switch (message) {
      case WM_CREATE: {
        if (Kind(hwnd) != CBS_DROPDOWNLIST) {
          DWORD es = WS_CHILD | WS_VISIBLE | ES_LEFT;
          if (StyleOf(hwnd) & CBS_AUTOHSCROLL) es |= ES_AUTOHSCROLL;
          if (StyleOf(hwnd) & CBS_UPPERCASE) es |= ES_UPPERCASE;
          if (StyleOf(hwnd) & CBS_LOWERCASE) es |= ES_LOWERCASE;
          const RECT f = FieldRect(hwnd);
          s->edit = CreateWindowEx(0, "Edit", "", es, f.left, f.top, f.right - f.left, f.bottom - f.top, hwnd,
                                   reinterpret_cast<HMENU>(static_cast<UINT_PTR>(1001)), nullptr, nullptr);
          if (!(s = CS(hwnd))) return true;
          if (QWidget* ew = QmWidgetOf(s->edit)) ew->installEventFilter(new ComboEditKeys(hwnd, ew));
          if (s->edit) ::SendMessage(s->edit, WM_SETFONT, reinterpret_cast<WPARAM>(FontOf(hwnd)), 0);
        }
        if ((s = CS(hwnd))) Resize(hwnd, *s);
        return true;
      }
      case WM_WINDOWPOSCHANGING: {
        auto* wp = reinterpret_cast<WINDOWPOS*>(lParam);
        if (!wp || (wp->flags & SWP_NOSIZE) || Kind(hwnd) == CBS_SIMPLE) return false;
        if (!s->sizingSelf) s->droppedH = wp->cy;
        wp->cy = ComboHeight(*s);
        return true;
      }
      case WM_SIZE:
        PlaceEdit(hwnd, *s);
        Redraw(hwnd);
        return false;
      case WM_ENABLE:
        if (s->edit && Find(s->edit)) ::EnableWindow(s->edit, wParam != 0);
        Redraw(hwnd);
        return false;
      case WM_ERASEBKGND:
        *result = 1;
        return true;
      case WM_PAINT:
        EnsureComboMeasured(hwnd, *s);
        if (!(s = CS(hwnd))) return true;
        Paint(hwnd, [&](HDC dc, const RECT&) { PaintCombo(hwnd, *s, dc); });
        return true;
      case WM_SETFOCUS:
        if (s->edit && Find(s->edit)) {
          ::SetFocus(s->edit);
          return true;
        }
        Redraw(hwnd);
        Command(hwnd, CBN_SETFOCUS);
        return true;
      case WM_KILLFOCUS: {
        const HWND to = reinterpret_cast<HWND>(wParam);
        Redraw(hwnd);
        if (to && (to == s->edit || to == s->list)) return true;
        if (s->dropped) CloseList(hwnd, false);
        if (CS(hwnd)) Command(hwnd, CBN_KILLFOCUS);
        return true;
      }
      case WM_COMMAND: {
        // From the edit child.
        if (reinterpret_cast<HWND>(lParam) != s->edit || !s->edit) return false;
        switch (HIWORD(wParam)) {
          case EN_CHANGE:
            if (!s->settingEdit) Command(hwnd, CBN_EDITCHANGE);
            break;
          case EN_UPDATE:
            if (!s->settingEdit) Command(hwnd, CBN_EDITUPDATE);
            break;
          case EN_SETFOCUS:
            Command(hwnd, CBN_SETFOCUS);
            break;
          case EN_KILLFOCUS: {
            const HWND f = FocusWindow();
            if (f != hwnd && (!s->list || f != s->list)) {
              if (s->dropped) CloseList(hwnd, false);
              if (CS(hwnd)) Command(hwnd, CBN_KILLFOCUS);
            }
            break;
          }
          default:
            break;
        }
        return true;
      }
      case WM_LBUTTONDOWN:
      case WM_LBUTTONDBLCLK: {
        const POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        const RECT b = ButtonRect(hwnd);
        if (Kind(hwnd) == CBS_DROPDOWNLIST || ::PtInRect(&b, p)) {
          if (!Focused(hwnd) && !(s->edit && Focused(s->edit))) ::SetFocus(hwnd);
          if (!(s = CS(hwnd))) return true;
          if (s->dropped) CloseList(hwnd, false);
          else OpenList(hwnd);
        }
        return true;
      }
      case WM_KEYDOWN:
      case WM_SYSKEYDOWN:
        if (ComboKey(hwnd, static_cast<UINT>(wParam))) return true;
        return false;
      case WM_CHAR:
        if (Kind(hwnd) == CBS_DROPDOWNLIST && ComboStrings(hwnd, *s) && n) {
          const char c[2] = {static_cast<char>(wParam), 0};
          const int i = FindItem(s->items, s->dropped ? s->hot : s->cur, c, false);
          if (i >= 0) {
            if (s->dropped) {
              s->hot = i;
              Redraw(s->list);
            }
            UserChoose(hwnd, i);
            if ((s = CS(hwnd)) && !s->dropped) Command(hwnd, CBN_SELENDOK);
          }
          return true;
        }
        return false;
      case WM_GETDLGCODE:
        *result = DLGC_WANTARROWS | DLGC_WANTCHARS | (s->dropped ? DLGC_WANTMESSAGE : 0);
        return true;
      case WM_SETTEXT:
        if (s->edit && Find(s->edit)) {
          ::SetWindowText(s->edit, reinterpret_cast<LPCSTR>(lParam));
          *result = TRUE;
          return true;
        }
        if (lParam) {
          const int i = FindItem(s->items, -1, reinterpret_cast<LPCSTR>(lParam), true);
          if (i >= 0) SelectItem(hwnd, *s, i);
        }
        return false;
      case WM_GETTEXT:
      case WM_GETTEXTLENGTH: {
        if (s->edit && Find(s->edit)) {
          *result = ::SendMessage(s->edit, message, wParam, lParam);
          return true;
        }
        if (Window* w = qmwnd::Find(hwnd))
          w->text = (s->cur >= 0 && ComboStrings(hwnd, *s)) ? s->items[static_cast<size_t>(s->cur)].text : CString();
        return false;
      }
      case WM_DESTROY:
        if (s->list && qmwnd::Find(s->list)) ::DestroyWindow(s->list);
        if ((s = CS(hwnd))) s->list = nullptr;
        return false;
      case WM_NCDESTROY:
        DropAll(hwnd, ODT_COMBOBOX, s->items);
        return false;
      case CB_ADDSTRING:
        *result = AddComboItem(hwnd, *s, -1, lParam, true);
        return true;
      case CB_INSERTSTRING:
        *result = AddComboItem(hwnd, *s, static_cast<int>(static_cast<INT_PTR>(wParam)), lParam, false);
        return true;
      case CB_DELETESTRING: {
        if (!inRange(wParam)) {
          *result = CB_ERR;
          return true;
        }
        const int i = static_cast<int>(wParam);
        const Item gone = s->items[static_cast<size_t>(i)];
        s->items.erase(s->items.begin() + i);
        if (s->cur == i) SelectItem(hwnd, *s, -1);
        else s->cur = AfterRemoval(s->cur, i);
        Redraw(hwnd);
        DeleteNotice(hwnd, ODT_COMBOBOX, i, gone);
        *result = (s = CS(hwnd)) ? static_cast<LRESULT>(s->items.size()) : 0;
        return true;
      }
      case CB_RESETCONTENT:
        s->cur = -1;
        s->listTop = 0;
        DropAll(hwnd, ODT_COMBOBOX, s->items);
        if ((s = CS(hwnd))) SelectItem(hwnd, *s, -1);
        *result = CB_OKAY;
        return true;
      case CB_GETCOUNT: *result = n; return true;
      case CB_GETCURSEL: *result = s->cur; return true;
      case CB_SETCURSEL:
        SelectItem(hwnd, *s, inRange(wParam) ? static_cast<int>(wParam) : -1);
        *result = inRange(wParam) ? static_cast<LRESULT>(wParam) : CB_ERR;
        return true;
      case CB_GETLBTEXT:
        if (!inRange(wParam)) {
          *result = CB_ERR;
          return true;
        }
        CopyText(s->items[wParam], ComboStrings(hwnd, *s), reinterpret_cast<LPSTR>(lParam));
        *result = ComboStrings(hwnd, *s) ? s->items[wParam].text.GetLength() : static_cast<LRESULT>(sizeof(ULONG_PTR));
        return true;
      case CB_GETLBTEXTLEN:
        *result = !inRange(wParam) ? CB_ERR : ComboStrings(hwnd, *s) ? s->items[wParam].text.GetLength() : static_cast<LRESULT>(sizeof(ULONG_PTR));
        return true;
      case CB_FINDSTRING:
      case CB_FINDSTRINGEXACT:
      case CB_SELECTSTRING: {
        const int i = FindItem(s->items, static_cast<int>(static_cast<INT_PTR>(wParam)), reinterpret_cast<LPCSTR>(lParam),
                               message == CB_FINDSTRINGEXACT);
        if (message == CB_SELECTSTRING && i >= 0) SelectItem(hwnd, *s, i);
        *result = i >= 0 ? i : CB_ERR;
        return true;
      }
      case CB_GETITEMDATA:
        *result = inRange(wParam) ? static_cast<LRESULT>(s->items[wParam].data) : CB_ERR;
        return true;
      case CB_SETITEMDATA:
        if (!inRange(wParam)) {
          *result = CB_ERR;
          return true;
        }
        s->items[wParam].data = static_cast<ULONG_PTR>(lParam);
        Redraw(hwnd);
        return true;
      case CB_SETITEMHEIGHT: {
        const int h = static_cast<int>(lParam);
        const int i = static_cast<int>(static_cast<INT_PTR>(wParam));
        if (h <= 0 || h > 255) {
          *result = CB_ERR;
          return true;
        }
        s->measured = true;
        if (i == -1) {
          s->fieldSet = true;
          if (h != s->fieldH) {
            s->fieldH = h;
            Resize(hwnd, *s);
          }
        } else if ((StyleOf(hwnd) & CBS_OWNERDRAWVARIABLE) && inRange(wParam)) {
          s->items[wParam].height = h;
        } else {
          s->itemH = h;
          s->itemSet = true;
        }
        return true;
      }
      case CB_GETITEMHEIGHT: {
        EnsureComboMeasured(hwnd, *s);
        const int i = static_cast<int>(static_cast<INT_PTR>(wParam));
        *result = i == -1 ? s->fieldH : ((StyleOf(hwnd) & CBS_OWNERDRAWVARIABLE) && inRange(wParam)) ? s->items[wParam].height : s->itemH;
        return true;
      }
      case CB_SHOWDROPDOWN:
        if (wParam) OpenList(hwnd);
        else CloseList(hwnd, false);
        *result = TRUE;
        return true;
      case CB_GETDROPPEDSTATE: *result = s->dropped; return true;
      case CB_GETDROPPEDCONTROLRECT: {
        auto* r = reinterpret_cast<RECT*>(lParam);
        if (!r) return true;
        RECT wr;
        ::GetWindowRect(hwnd, &wr);
        *r = RECT{wr.left, wr.top, wr.left + std::max<int>(wr.right - wr.left, s->droppedW), wr.top + s->droppedH};
        *result = TRUE;
        return true;
      }
      case CB_SETDROPPEDWIDTH:
        s->droppedW = static_cast<int>(wParam);
        *result = s->droppedW;
        return true;
      case CB_GETDROPPEDWIDTH: {
        RECT wr;
        ::GetWindowRect(hwnd, &wr);
        *result = std::max<int>(s->droppedW, wr.right - wr.left);
        return true;
      }
      case CB_SETEXTENDEDUI: s->extendedUI = wParam != 0; *result = CB_OKAY; return true;
      case CB_GETEXTENDEDUI: *result = s->extendedUI; return true;
      case CB_GETTOPINDEX: *result = s->listTop; return true;
      case CB_SETTOPINDEX:
        if (!inRange(wParam)) {
          *result = CB_ERR;
          return true;
        }
        s->listTop = static_cast<int>(wParam);
        ListLayout(hwnd, *s);
        return true;
      case CB_GETEDITSEL:
        if (s->edit) *result = ::SendMessage(s->edit, EM_GETSEL, wParam, lParam);
        else *result = CB_ERR;
        return true;
      case CB_SETEDITSEL:
        if (!s->edit) {
          *result = CB_ERR;
          return true;
        }
        ::SendMessage(s->edit, EM_SETSEL, static_cast<WPARAM>(static_cast<short>(LOWORD(lParam))),
                      static_cast<short>(HIWORD(lParam)));
        *result = TRUE;
        return true;
      case CB_LIMITTEXT:
        if (!s->edit) {
          *result = CB_ERR;
          return true;
        }
        ::SendMessage(s->edit, EM_LIMITTEXT, wParam, 0);
        *result = TRUE;
        return true;
      case CB_GETCOMBOBOXINFO: {
        auto* info = reinterpret_cast<COMBOBOXINFO*>(lParam);
        if (!info) {
          *result = FALSE;
          return true;
        }
        info->rcItem = FieldRect(hwnd);
        info->rcButton = Kind(hwnd) == CBS_SIMPLE ? RECT{0, 0, 0, 0} : ButtonRect(hwnd);
        info->stateButton = s->dropped ? 0x8 : 0;
        info->hwndCombo = hwnd;
        info->hwndItem = s->edit ? s->edit : hwnd;
        if (Kind(hwnd) != CBS_SIMPLE) MakeList(hwnd);
        if (!(s = CS(hwnd))) return true;
        info->hwndList = s->list;
        *result = TRUE;
        return true;
      }
      default:
        break;
    }
    if (!s->ex) return false;
    // The extended combo box's own messages.
    switch (message) {
      case CBEM_INSERTITEM: {
        const auto* it = reinterpret_cast<const COMBOBOXEXITEM*>(lParam);
        if (!it) {
          *result = -1;
          return true;
        }
        int index = static_cast<int>(it->iItem);
        if (index < 0 || index > n) index = n;
        Item item;
        if ((it->mask & CBEIF_TEXT) && it->pszText && it->pszText != LPSTR_TEXTCALLBACK) item.text = it->pszText;
        if (it->mask & CBEIF_IMAGE) item.image = it->iImage;
        if (it->mask & CBEIF_SELECTEDIMAGE) item.selImage = it->iSelectedImage;
        if (it->mask & CBEIF_INDENT) item.indent = it->iIndent;
        if (it->mask & CBEIF_LPARAM) item.data = static_cast<ULONG_PTR>(it->lParam);
        item.height = s->itemH;
        s->items.insert(s->items.begin() + index, std::move(item));
        if (s->cur >= index) ++s->cur;
        Redraw(hwnd);
        *result = index;
        return true;
      }
      case CBEM_SETITEM:
      case CBEM_GETITEM: {
        auto* it = reinterpret_cast<COMBOBOXEXITEM*>(lParam);
        const int index = it ? (it->iItem == -1 ? s->cur : static_cast<int>(it->iItem)) : -1;
        if (index < 0 || index >= n) {
          *result = FALSE;
          return true;
        }
        Item& item = s->items[static_cast<size_t>(index)];
        if (message == CBEM_SETITEM) {
          if ((it->mask & CBEIF_TEXT) && it->pszText && it->pszText != LPSTR_TEXTCALLBACK) item.text = it->pszText;
          if (it->mask & CBEIF_IMAGE) item.image = it->iImage;
          if (it->mask & CBEIF_SELECTEDIMAGE) item.selImage = it->iSelectedImage;
          if (it->mask & CBEIF_INDENT) item.indent = it->iIndent;
          if (it->mask & CBEIF_LPARAM) item.data = static_cast<ULONG_PTR>(it->lParam);
          if (index == s->cur) SetEditText(hwnd, *s);
          Redraw(hwnd);
        } else {
          if ((it->mask & CBEIF_TEXT) && it->pszText && it->cchTextMax > 0) {
            const int k = std::min(it->cchTextMax - 1, item.text.GetLength());
            std::memcpy(it->pszText, item.text.GetString(), static_cast<size_t>(k));
            it->pszText[k] = 0;
          }
          if (it->mask & CBEIF_IMAGE) it->iImage = item.image;
          if (it->mask & CBEIF_SELECTEDIMAGE) it->iSelectedImage = item.selImage;
          if (it->mask & CBEIF_INDENT) it->iIndent = item.indent;
          if (it->mask & CBEIF_LPARAM) it->lParam = static_cast<LPARAM>(item.data);
        }
        *result = TRUE;
        return true;
      }
      case CBEM_SETIMAGELIST:
        *result = reinterpret_cast<LRESULT>(s->images);
        s->images = reinterpret_cast<HIMAGELIST>(lParam);
        FontChanged(hwnd, nullptr, QFont());
        return true;
      case CBEM_GETIMAGELIST: *result = reinterpret_cast<LRESULT>(s->images); return true;
      case CBEM_GETCOMBOCONTROL: *result = reinterpret_cast<LRESULT>(hwnd); return true;
      case CBEM_GETEDITCONTROL: *result = reinterpret_cast<LRESULT>(s->edit); return true;
      case CBEM_SETEXTENDEDSTYLE: {
        const DWORD mask = wParam ? static_cast<DWORD>(wParam) : 0xFFFFFFFFu;
        *result = s->exStyle;
        s->exStyle = (s->exStyle & ~mask) | (static_cast<DWORD>(lParam) & mask);
        return true;
      }
      case CBEM_GETEXTENDEDSTYLE: *result = s->exStyle; return true;
      default:
        return false;
    }
  }

 private:
  bool ex_;
};

// The dropped list of a combo box: a pop-up drawing the combo's items.
struct DropState : CtlState {};

class DropListClass : public DrawnClass {
 public:
  QWidget* CreateWidget(HWND, const CREATESTRUCT& cs, QWidget* parent) override {
    QWidget* w = MakeWidget(cs, parent, std::make_unique<DropState>(), false);
    w->setAttribute(Qt::WA_ShowWithoutActivating);
    return w;
  }

  bool DefProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override {
    const HWND combo = ParentOf(hwnd) ? ComboOf(hwnd) : nullptr;
    ComboState* s = combo ? CS(combo) : nullptr;
    *result = 0;
    switch (message) {
      case WM_NCCREATE:
        Bind(hwnd, reinterpret_cast<const CREATESTRUCT*>(lParam));
        *result = TRUE;
        return true;
      case WM_ERASEBKGND:
        *result = 1;
        return true;
      case WM_MOUSEACTIVATE:
        *result = MA_NOACTIVATE;
        return true;
      case WM_PAINT:
        Paint(hwnd, [&](HDC dc, const RECT&) {
          const RECT c = ClientOf(hwnd);
          FillSolid(dc, c, GetSysColor(COLOR_WINDOW));
          if (!s) return;
          HGDIOBJ old = SelectObject(dc, FontOf(combo));
          const int n = static_cast<int>(s->items.size());
          const bool owner = ComboOwnerDrawn(combo) && !s->ex;
          // Rows inside a one-pixel frame.
          for (int i = s->listTop, y = 1; i < n && y < c.bottom - 1; ++i, y += s->itemH) {
            const RECT r{1, y, c.right - 1, std::min<int>(y + s->itemH, c.bottom - 1)};
            DrawOne(combo, hwnd, ODT_COMBOBOX, dc, r, i, &s->items[static_cast<size_t>(i)], i == s->hot, false, false,
                    owner, 0, s->ex ? s->images : nullptr);
            if (!(s = CS(combo))) break;
          }
          SelectObject(dc, old);
          Frame(dc, c, GetSysColor(COLOR_WINDOWFRAME));
        });
        return true;
      case WM_VSCROLL:
      case WM_MOUSEWHEEL:
        if (s && ScrolledFirstLine(hwnd, message, wParam, s->listTop, &s->listTop)) {
          ListLayout(combo, *s);
          Redraw(hwnd);
        }
        return true;
      case WM_MOUSEMOVE:
      case WM_LBUTTONDOWN:
      case WM_LBUTTONUP: {
        if (!s) return true;
        const POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        const RECT c = ClientOf(hwnd);
        const bool inside = ::PtInRect(&c, p) != FALSE;
        const int i = s->listTop + (p.y - 1) / std::max(1, s->itemH);
        const bool onItem = inside && i >= 0 && i < static_cast<int>(s->items.size());
        if (message == WM_MOUSEMOVE) {
          if (onItem && i != s->hot) {
            s->hot = i;
            Redraw(hwnd);
          }
          return true;
        }
        if (message == WM_LBUTTONDOWN) {
          if (!inside) {
            // A press outside: on the combo's own button it closes too.
            CloseList(combo, false);
          }
          return true;
        }
        if (onItem) {
          UserChoose(combo, i);
          CloseList(combo, true);
        }
        return true;
      }
      case WM_CAPTURECHANGED:
        if (s && s->dropped && reinterpret_cast<HWND>(lParam) != hwnd) CloseList(combo, false);
        return false;
      case WM_NCDESTROY:
        Owners().erase(hwnd);
        return false;
      default:
        return false;
    }
  }

 private:
  // The combo a list belongs to: given in the creation parameters.
  static HWND ComboOf(HWND list) {
    auto it = Owners().find(list);
    return it == Owners().end() ? nullptr : it->second;
  }
  static void Bind(HWND list, const CREATESTRUCT* cs) {
    if (cs) Owners()[list] = static_cast<HWND>(cs->lpCreateParams);
  }
  static std::map<HWND, HWND>& Owners() {
    static auto* m = new std::map<HWND, HWND>;
    return *m;
  }
};

}  // namespace

void RegisterListBoxClass() { QmRegisterControlClass("ListBox", CS_DBLCLKS, std::make_unique<ListBoxClass>()); }

void RegisterComboClasses() {
  QmRegisterControlClass("ComboBox", CS_DBLCLKS, std::make_unique<ComboClass>(false));
  QmRegisterControlClass(WC_COMBOBOXEX, CS_DBLCLKS, std::make_unique<ComboClass>(true));
  QmRegisterControlClass("ComboLBox", CS_DBLCLKS | CS_SAVEBITS, std::make_unique<DropListClass>());
}

}  // namespace qmwnd::cc

BOOL GetComboBoxInfo(HWND combo, PCOMBOBOXINFO info) {
  if (!info || info->cbSize != sizeof(COMBOBOXINFO)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return static_cast<BOOL>(::SendMessage(combo, CB_GETCOMBOBOXINFO, 0, reinterpret_cast<LPARAM>(info)));
}
