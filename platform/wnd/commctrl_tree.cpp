// Tree views (SysTreeView32) drawn by the stand-in: items with text, images,
// item data and children; expanding and collapsing with their
// notifications; selection by mouse and keyboard (TVN_SELCHANGING /
// TVN_SELCHANGED); lines and buttons; the item rectangles a subclass needs
// to draw over the tree after its own painting.
#include <algorithm>
#include <cstring>
#include <unordered_map>

#include <QString>

#include "platform/gdi/imagelist.h"
#include "platform/wnd/commctrl_internal.h"

namespace qmwnd::cc {

namespace {

struct Node {
  CString text;
  int image = 0;
  int selImage = 0;
  UINT state = 0;
  LPARAM lParam = 0;
  int children = 0;  // cChildren given by the program (1: show a button without children)
  UINT_PTR parent = 0;
  std::vector<UINT_PTR> kids;
};

struct TreeState : CtlState {
  std::unordered_map<UINT_PTR, Node> nodes;
  std::vector<UINT_PTR> roots;
  UINT_PTR nextId = 1;
  UINT_PTR caret = 0;
  UINT_PTR drop = 0;
  HIMAGELIST images = nullptr;
  HIMAGELIST stateImages = nullptr;
  int indent = 19;
  int itemH = 16;
  bool fixedH = false;
  int top = 0;
  int scrollX = 0;
  COLORREF bk = CLR_DEFAULT;
  COLORREF text = CLR_DEFAULT;
  std::vector<UINT_PTR> visible;
  bool visibleDirty = true;
};

TreeState* TS(HWND hwnd) { return StateOf<TreeState>(hwnd); }
HTREEITEM H(UINT_PTR id) { return reinterpret_cast<HTREEITEM>(id); }
UINT_PTR Id(HTREEITEM h) { return reinterpret_cast<UINT_PTR>(h); }

Node* Get(TreeState& s, UINT_PTR id) {
  auto it = s.nodes.find(id);
  return it == s.nodes.end() ? nullptr : &it->second;
}

std::vector<UINT_PTR>& Siblings(TreeState& s, UINT_PTR parent) {
  if (parent == 0) return s.roots;
  return s.nodes[parent].kids;
}

bool HasKids(const Node& n) { return !n.kids.empty() || n.children > 0; }

int Level(TreeState& s, UINT_PTR id) {
  int l = 0;
  for (Node* n = Get(s, id); n && n->parent; n = Get(s, n->parent)) ++l;
  return l;
}

const std::vector<UINT_PTR>& Visible(TreeState& s) {
  if (!s.visibleDirty) return s.visible;
  s.visible.clear();
  std::function<void(const std::vector<UINT_PTR>&)> walk = [&](const std::vector<UINT_PTR>& list) {
    for (UINT_PTR id : list) {
      s.visible.push_back(id);
      const Node& n = s.nodes[id];
      if ((n.state & TVIS_EXPANDED) && !n.kids.empty()) walk(n.kids);
    }
  };
  walk(s.roots);
  s.visibleDirty = false;
  return s.visible;
}

int RowOf(TreeState& s, UINT_PTR id) {
  const auto& v = Visible(s);
  auto it = std::find(v.begin(), v.end(), id);
  return it == v.end() ? -1 : static_cast<int>(it - v.begin());
}

int PerPage(HWND hwnd, const TreeState& s) {
  return std::max(1, static_cast<int>(ClientOf(hwnd).bottom) / std::max(1, s.itemH));
}

int IconW(const TreeState& s) {
  int w = 0, h = 0;
  if (s.images && ImageList_GetIconSize(s.images, &w, &h)) return w;
  return 0;
}

// Where an item's own part begins: its level of indentation (one more with
// lines at the root).
int ItemX(HWND hwnd, TreeState& s, UINT_PTR id) {
  const DWORD st = StyleOf(hwnd);
  const bool rootLines = (st & TVS_LINESATROOT) && (st & (TVS_HASLINES | TVS_HASBUTTONS));
  return (Level(s, id) + (rootLines ? 1 : 0)) * s.indent + 2 - s.scrollX;
}

RECT RowRect(HWND hwnd, TreeState& s, int row) {
  const int y = (row - s.top) * s.itemH;
  return RECT{0, y, ClientOf(hwnd).right, y + s.itemH};
}

RECT LabelRect(HWND hwnd, TreeState& s, UINT_PTR id, int row) {
  const RECT r = RowRect(hwnd, s, row);
  const int iw = IconW(s);
  const int x = ItemX(hwnd, s, id) + (iw ? iw + 3 : 0);
  const int tw = TextWidth(FontOf(hwnd), s.nodes[id].text);
  return RECT{x, r.top, x + tw + 4, r.bottom};
}

void Layout(HWND hwnd, TreeState& s) {
  const int n = static_cast<int>(Visible(s).size());
  const int per = PerPage(hwnd, s);
  s.top = std::clamp(s.top, 0, std::max(0, n - per));
  if (!(StyleOf(hwnd) & TVS_NOSCROLL)) SetBar(hwnd, SB_VERT, 0, std::max(0, n - 1), per, s.top);
}

void Changed(HWND hwnd, TreeState& s) {
  s.visibleDirty = true;
  Layout(hwnd, s);
  Redraw(hwnd);
}

void ItemOut(TreeState& s, UINT_PTR id, TVITEM& out) {
  out = TVITEM{};
  out.mask = TVIF_HANDLE | TVIF_PARAM | TVIF_STATE | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
  out.hItem = H(id);
  if (Node* n = Get(s, id)) {
    out.state = n->state;
    out.stateMask = 0xFFFF;
    out.lParam = n->lParam;
    out.iImage = n->image;
    out.iSelectedImage = n->selImage;
  }
}

LRESULT NotifyTree(HWND hwnd, UINT code, UINT action, UINT_PTR oldId, UINT_PTR newId, POINT at = POINT{0, 0}) {
  TreeState* s = TS(hwnd);
  if (!s) return 0;
  NMTREEVIEW nm{};
  nm.action = action;
  if (oldId) ItemOut(*s, oldId, nm.itemOld);
  if (newId) ItemOut(*s, newId, nm.itemNew);
  nm.ptDrag = at;
  return Notify(hwnd, code, &nm.hdr);
}

bool Expand(HWND hwnd, UINT_PTR id, UINT code, UINT action = TVC_UNKNOWN) {
  TreeState* s = TS(hwnd);
  Node* n = s ? Get(*s, id) : nullptr;
  if (!n) return false;
  const bool open = (n->state & TVIS_EXPANDED) != 0;
  bool want = open;
  switch (code & 0x3) {
    case TVE_EXPAND: want = true; break;
    case TVE_COLLAPSE: want = false; break;
    case TVE_TOGGLE: want = !open; break;
    default: return false;
  }
  if (want == open || !HasKids(*n)) return false;
  if (NotifyTree(hwnd, TVN_ITEMEXPANDING, want ? TVE_EXPAND : TVE_COLLAPSE, 0, id)) return false;
  if (!(s = TS(hwnd)) || !(n = Get(*s, id))) return false;
  if (want) n->state |= TVIS_EXPANDED | TVIS_EXPANDEDONCE;
  else n->state &= ~TVIS_EXPANDED;
  // A collapsed item hides a selected descendant: the selection moves up.
  if (!want && s->caret) {
    for (Node* c = Get(*s, s->caret); c && c->parent; c = Get(*s, c->parent))
      if (c->parent == id) {
        s->caret = 0;
        break;
      }
  }
  Changed(hwnd, *s);
  NotifyTree(hwnd, TVN_ITEMEXPANDED, want ? TVE_EXPAND : TVE_COLLAPSE, 0, id);
  (void)action;
  return true;
}

bool Select(HWND hwnd, UINT_PTR id, UINT action) {
  TreeState* s = TS(hwnd);
  if (!s || (id && !Get(*s, id))) return false;
  if (s->caret == id) return true;
  const UINT_PTR old = s->caret;
  if (NotifyTree(hwnd, TVN_SELCHANGING, action, old, id)) return false;
  if (!(s = TS(hwnd))) return false;
  if (Node* o = Get(*s, old)) o->state &= ~TVIS_SELECTED;
  s->caret = id;
  if (Node* n = Get(*s, id)) n->state |= TVIS_SELECTED;
  // Its parents open so that it shows.
  for (Node* n = Get(*s, id); n && n->parent; n = Get(*s, n->parent)) {
    Node* p = Get(*s, n->parent);
    if (p && !(p->state & TVIS_EXPANDED)) p->state |= TVIS_EXPANDED | TVIS_EXPANDEDONCE;
  }
  Changed(hwnd, *s);
  NotifyTree(hwnd, TVN_SELCHANGED, action, old, id);
  return true;
}

void EnsureVisible(HWND hwnd, TreeState& s, UINT_PTR id) {
  for (Node* n = Get(s, id); n && n->parent; n = Get(s, n->parent)) {
    Node* p = Get(s, n->parent);
    if (p) p->state |= TVIS_EXPANDED;
  }
  s.visibleDirty = true;
  const int row = RowOf(s, id);
  if (row < 0) return;
  const int per = PerPage(hwnd, s);
  if (row < s.top) s.top = row;
  else if (row >= s.top + per) s.top = row - per + 1;
  Changed(hwnd, s);
}

void DeleteTree(HWND hwnd, UINT_PTR id) {
  TreeState* s = TS(hwnd);
  Node* n = s ? Get(*s, id) : nullptr;
  if (!n) return;
  const std::vector<UINT_PTR> kids = n->kids;
  for (UINT_PTR k : kids) DeleteTree(hwnd, k);
  NotifyTree(hwnd, TVN_DELETEITEM, 0, id, 0);
  if (!(s = TS(hwnd)) || !(n = Get(*s, id))) return;
  auto& sib = Siblings(*s, n->parent);
  sib.erase(std::remove(sib.begin(), sib.end(), id), sib.end());
  if (s->caret == id) s->caret = 0;
  if (s->drop == id) s->drop = 0;
  s->nodes.erase(id);
  s->visibleDirty = true;
}

UINT_PTR Next(HWND hwnd, TreeState& s, UINT code, UINT_PTR id) {
  switch (code) {
    case TVGN_ROOT: return s.roots.empty() ? 0 : s.roots.front();
    case TVGN_CARET: return s.caret;
    case TVGN_DROPHILITE: return s.drop;
    case TVGN_FIRSTVISIBLE: {
      const auto& v = Visible(s);
      return s.top < static_cast<int>(v.size()) ? v[static_cast<size_t>(s.top)] : 0;
    }
    case TVGN_LASTVISIBLE: {
      const auto& v = Visible(s);
      return v.empty() ? 0 : v.back();
    }
    default: break;
  }
  Node* n = Get(s, id);
  if (!n) return 0;
  switch (code) {
    case TVGN_NEXT:
    case TVGN_PREVIOUS: {
      const auto& sib = Siblings(s, n->parent);
      auto it = std::find(sib.begin(), sib.end(), id);
      if (it == sib.end()) return 0;
      if (code == TVGN_NEXT) return (it + 1) == sib.end() ? 0 : *(it + 1);
      return it == sib.begin() ? 0 : *(it - 1);
    }
    case TVGN_PARENT: return n->parent;
    case TVGN_CHILD: return n->kids.empty() ? 0 : n->kids.front();
    case TVGN_NEXTVISIBLE:
    case TVGN_PREVIOUSVISIBLE: {
      const int row = RowOf(s, id);
      if (row < 0) return 0;
      const auto& v = Visible(s);
      const int to = row + (code == TVGN_NEXTVISIBLE ? 1 : -1);
      return to >= 0 && to < static_cast<int>(v.size()) ? v[static_cast<size_t>(to)] : 0;
    }
    default: return 0;
  }
}

UINT_PTR HitTest(HWND hwnd, TreeState& s, POINT p, UINT* flags) {
  const RECT c = ClientOf(hwnd);
  UINT f = 0;
  if (p.y < 0) f |= TVHT_ABOVE;
  if (p.y >= c.bottom) f |= TVHT_BELOW;
  if (p.x < 0) f |= TVHT_TOLEFT;
  if (p.x >= c.right) f |= TVHT_TORIGHT;
  if (f) {
    if (flags) *flags = f;
    return 0;
  }
  const auto& v = Visible(s);
  const int row = s.top + p.y / std::max(1, s.itemH);
  if (row >= static_cast<int>(v.size())) {
    if (flags) *flags = TVHT_NOWHERE;
    return 0;
  }
  const UINT_PTR id = v[static_cast<size_t>(row)];
  const int x = ItemX(hwnd, s, id);
  const RECT label = LabelRect(hwnd, s, id, row);
  if (p.x < x) f = (p.x >= x - s.indent && HasKids(s.nodes[id]) && (StyleOf(hwnd) & TVS_HASBUTTONS)) ? TVHT_ONITEMBUTTON : TVHT_ONITEMINDENT;
  else if (p.x < label.left) f = TVHT_ONITEMICON;
  else if (p.x < label.right) f = TVHT_ONITEMLABEL;
  else f = TVHT_ONITEMRIGHT;
  if (flags) *flags = f;
  return id;
}

// ---------------------------------------------------------------------------

void DottedH(HDC dc, int x0, int x1, int y, COLORREF c) {
  for (int x = x0 + ((x0 + y) & 1); x < x1; x += 2) SetPixelV(dc, x, y, c);
}
void DottedV(HDC dc, int x, int y0, int y1, COLORREF c) {
  for (int y = y0 + ((x + y0) & 1); y < y1; y += 2) SetPixelV(dc, x, y, c);
}

void PaintTree(HWND hwnd, TreeState& s, HDC dc) {
  const RECT client = ClientOf(hwnd);
  const bool enabled = Enabled(hwnd);
  const bool focused = Focused(hwnd);
  const DWORD st = StyleOf(hwnd);
  const COLORREF bk = !enabled ? GetSysColor(COLOR_BTNFACE) : (s.bk == CLR_DEFAULT ? GetSysColor(COLOR_WINDOW) : s.bk);
  const COLORREF fg = !enabled ? GetSysColor(COLOR_GRAYTEXT) : (s.text == CLR_DEFAULT ? GetSysColor(COLOR_WINDOWTEXT) : s.text);
  FillSolid(dc, client, bk);
  NMTVCUSTOMDRAW cd{};
  cd.nmcd.dwDrawStage = CDDS_PREPAINT;
  cd.nmcd.hdc = dc;
  cd.nmcd.rc = client;
  const LRESULT stage = Notify(hwnd, NM_CUSTOMDRAW, &cd.nmcd.hdr);
  if (!TS(hwnd) || (stage & CDRF_SKIPDEFAULT)) return;
  const auto v = Visible(s);
  const COLORREF lines = GetSysColor(COLOR_GRAYTEXT);
  const int per = PerPage(hwnd, s) + 1;
  SetBkMode(dc, TRANSPARENT);
  for (int row = s.top; row < std::min<int>(static_cast<int>(v.size()), s.top + per); ++row) {
    const UINT_PTR id = v[static_cast<size_t>(row)];
    Node& n = s.nodes[id];
    const RECT r = RowRect(hwnd, s, row);
    const int x = ItemX(hwnd, s, id);
    const int cy = (r.top + r.bottom) / 2;
    const int mid = x - s.indent / 2 - 1;
    if (st & TVS_HASLINES) {
      const bool rootLines = (st & TVS_LINESATROOT) != 0;
      if (n.parent || rootLines) {
        const auto& sib = Siblings(s, n.parent);
        const bool last = !sib.empty() && sib.back() == id;
        const bool first = n.parent == 0 && !sib.empty() && sib.front() == id;
        DottedH(dc, mid, x - 2, cy, lines);
        DottedV(dc, mid, first ? cy : r.top, last ? cy + 1 : r.bottom, lines);
      }
      // The vertical lines of the ancestors that have siblings below.
      int ax = mid;
      for (Node* a = &n; a->parent; a = Get(s, a->parent)) {
        ax -= s.indent;
        Node* p = Get(s, a->parent);
        if (!p) break;
        const auto& psib = Siblings(s, p->parent);
        if ((p->parent || rootLines) && !psib.empty() && psib.back() != a->parent) DottedV(dc, ax, r.top, r.bottom, lines);
      }
    }
    if ((st & TVS_HASBUTTONS) && HasKids(n) && (n.parent || (st & TVS_LINESATROOT))) {
      const RECT b{mid - 4, cy - 4, mid + 5, cy + 5};
      FillSolid(dc, b, GetSysColor(COLOR_WINDOW));
      Frame(dc, b, GetSysColor(COLOR_BTNSHADOW));
      LineH(dc, mid - 2, mid + 3, cy, GetSysColor(COLOR_WINDOWTEXT));
      if (!(n.state & TVIS_EXPANDED)) LineV(dc, mid, cy - 2, cy + 3, GetSysColor(COLOR_WINDOWTEXT));
    }
    const bool selected = (n.state & TVIS_SELECTED) && (focused || (st & TVS_SHOWSELALWAYS));
    const bool hilite = (s.drop == id);
    if (s.images) {
      int iw = 0, ih = 0;
      ImageList_GetIconSize(s.images, &iw, &ih);
      ImageList_Draw(s.images, (n.state & TVIS_SELECTED) ? n.selImage : n.image, dc, x, (r.top + r.bottom - ih) / 2,
                     ILD_TRANSPARENT);
    }
    NMTVCUSTOMDRAW icd{};
    LRESULT itemStage = CDRF_DODEFAULT;
    COLORREF text = fg, back = bk;
    if (stage & CDRF_NOTIFYITEMDRAW) {
      icd.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
      icd.nmcd.hdc = dc;
      icd.nmcd.rc = r;
      icd.nmcd.dwItemSpec = id;
      icd.nmcd.uItemState = (selected ? CDIS_SELECTED : 0) | (s.caret == id && focused ? CDIS_FOCUS : 0);
      icd.nmcd.lItemlParam = n.lParam;
      icd.clrText = text;
      icd.clrTextBk = back;
      icd.iLevel = Level(s, id);
      itemStage = Notify(hwnd, NM_CUSTOMDRAW, &icd.nmcd.hdr);
      if (!TS(hwnd)) return;
      if (itemStage & CDRF_SKIPDEFAULT) continue;
      if (icd.clrText != CLR_DEFAULT) text = icd.clrText;
      if (icd.clrTextBk != CLR_DEFAULT) back = icd.clrTextBk;
    }
    RECT label = LabelRect(hwnd, s, id, row);
    if (st & TVS_FULLROWSELECT) label.right = client.right;
    if (selected || hilite) {
      FillSolid(dc, label, GetSysColor(focused || hilite ? COLOR_HIGHLIGHT : COLOR_BTNFACE));
      text = GetSysColor(focused || hilite ? COLOR_HIGHLIGHTTEXT : COLOR_BTNTEXT);
    } else if (back != bk) {
      FillSolid(dc, label, back);
    }
    SetTextColor(dc, text);
    HFONT bold = nullptr;
    HGDIOBJ oldFont = nullptr;
    if (n.state & TVIS_BOLD) {
      LOGFONT lf{};
      GetObject(FontOf(hwnd), sizeof lf, &lf);
      lf.lfWeight = FW_BOLD;
      bold = CreateFontIndirect(&lf);
      oldFont = SelectObject(dc, bold);
    }
    DrawCellText(dc, n.text, RECT{label.left + 2, label.top, label.right, label.bottom}, DT_LEFT);
    if (bold) {
      SelectObject(dc, oldFont);
      DeleteObject(bold);
    }
    if (s.caret == id && focused) DrawFocusRect(dc, &label);
    if (itemStage & CDRF_NOTIFYPOSTPAINT) {
      icd.nmcd.dwDrawStage = CDDS_ITEMPOSTPAINT;
      Notify(hwnd, NM_CUSTOMDRAW, &icd.nmcd.hdr);
      if (!TS(hwnd)) return;
    }
  }
  if (stage & CDRF_NOTIFYPOSTPAINT) {
    cd.nmcd.dwDrawStage = CDDS_POSTPAINT;
    Notify(hwnd, NM_CUSTOMDRAW, &cd.nmcd.hdr);
  }
}

void ClickNotify(HWND hwnd, UINT code) {
  NMHDR nm{};
  Notify(hwnd, code, &nm);
}

bool KeyDown(HWND hwnd, UINT vk) {
  NMTVKEYDOWN kd{};
  kd.wVKey = static_cast<WORD>(vk);
  Notify(hwnd, TVN_KEYDOWN, &kd.hdr);
  TreeState* s = TS(hwnd);
  if (!s) return true;
  const auto v = Visible(*s);
  if (v.empty()) return false;
  int row = RowOf(*s, s->caret);
  const int per = PerPage(hwnd, *s);
  UINT_PTR to = 0;
  switch (vk) {
    case VK_UP: row = std::max(0, row - 1); break;
    case VK_DOWN: row = std::min<int>(static_cast<int>(v.size()) - 1, row + 1); break;
    case VK_PRIOR: row = std::max(0, row - per + 1); break;
    case VK_NEXT: row = std::min<int>(static_cast<int>(v.size()) - 1, row + per - 1); break;
    case VK_HOME: row = 0; break;
    case VK_END: row = static_cast<int>(v.size()) - 1; break;
    case VK_LEFT: {
      Node* n = Get(*s, s->caret);
      if (n && (n->state & TVIS_EXPANDED) && !n->kids.empty()) Expand(hwnd, s->caret, TVE_COLLAPSE, TVC_BYKEYBOARD);
      else if (n && n->parent) Select(hwnd, n->parent, TVC_BYKEYBOARD);
      return true;
    }
    case VK_RIGHT: {
      Node* n = Get(*s, s->caret);
      if (n && !(n->state & TVIS_EXPANDED) && HasKids(*n)) Expand(hwnd, s->caret, TVE_EXPAND, TVC_BYKEYBOARD);
      else if (n && !n->kids.empty()) Select(hwnd, n->kids.front(), TVC_BYKEYBOARD);
      return true;
    }
    case VK_ADD: if (s->caret) Expand(hwnd, s->caret, TVE_EXPAND, TVC_BYKEYBOARD); return true;
    case VK_SUBTRACT: if (s->caret) Expand(hwnd, s->caret, TVE_COLLAPSE, TVC_BYKEYBOARD); return true;
    case VK_RETURN: ClickNotify(hwnd, NM_RETURN); return true;
    default: return false;
  }
  if (row < 0) row = 0;
  to = v[static_cast<size_t>(row)];
  Select(hwnd, to, TVC_BYKEYBOARD);
  if ((s = TS(hwnd))) EnsureVisible(hwnd, *s, to);
  return true;
}

class TreeClass : public DrawnClass {
 public:
  QWidget* CreateWidget(HWND, const CREATESTRUCT& cs, QWidget* parent) override {
    return MakeWidget(cs, parent, std::make_unique<TreeState>(), true);
  }
  void FontChanged(HWND hwnd, QWidget*, const QFont&) override {
    TreeState* s = TS(hwnd);
    if (!s) return;
    if (!s->fixedH) {
      int iw = 0, ih = 0;
      if (s->images) ImageList_GetIconSize(s->images, &iw, &ih);
      s->itemH = std::max<int>(MetricsOf(FontOf(hwnd)).tmHeight + 2, ih);
    }
    Changed(hwnd, *s);
  }
  UINT DialogCode(HWND) override { return DLGC_WANTARROWS | DLGC_WANTCHARS; }

  bool DefProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override {
    TreeState* s = TS(hwnd);
    if (!s) return false;
    *result = 0;
    switch (message) {
      case WM_ERASEBKGND:
        *result = 1;
        return true;
      case WM_PAINT:
        Paint(hwnd, [&](HDC dc, const RECT&) { PaintTree(hwnd, *s, dc); });
        return true;
      case WM_SIZE:
        Layout(hwnd, *s);
        Redraw(hwnd);
        return true;
      case WM_SETFOCUS:
      case WM_KILLFOCUS:
        ClickNotify(hwnd, message == WM_SETFOCUS ? NM_SETFOCUS : NM_KILLFOCUS);
        Redraw(hwnd);
        return false;
      case WM_VSCROLL:
      case WM_MOUSEWHEEL:
        if (message == WM_VSCROLL && lParam) return false;
        if (ScrolledFirstLine(hwnd, message, wParam, s->top, &s->top)) Changed(hwnd, *s);
        return true;
      case WM_LBUTTONDOWN:
      case WM_LBUTTONDBLCLK:
      case WM_RBUTTONDOWN: {
        const POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        if (!Focused(hwnd)) ::SetFocus(hwnd);
        if (!(s = TS(hwnd))) return true;
        UINT flags = 0;
        const UINT_PTR id = HitTest(hwnd, *s, p, &flags);
        if (message == WM_RBUTTONDOWN) {
          ClickNotify(hwnd, NM_RCLICK);
          return true;
        }
        if (!id) return true;
        if (flags & TVHT_ONITEMBUTTON) {
          Expand(hwnd, id, TVE_TOGGLE, TVC_BYMOUSE);
          return true;
        }
        const bool onItem = (flags & TVHT_ONITEM) || ((StyleOf(hwnd) & TVS_FULLROWSELECT) && (flags & TVHT_ONITEMRIGHT));
        if (onItem) Select(hwnd, id, TVC_BYMOUSE);
        if (message == WM_LBUTTONDBLCLK) {
          NMHDR nm{};
          if (!Notify(hwnd, NM_DBLCLK, &nm) && onItem) Expand(hwnd, id, TVE_TOGGLE, TVC_BYMOUSE);
        }
        return true;
      }
      case WM_LBUTTONUP:
        ClickNotify(hwnd, NM_CLICK);
        return true;
      case WM_KEYDOWN:
        return KeyDown(hwnd, static_cast<UINT>(wParam));
      case WM_GETDLGCODE:
        *result = DLGC_WANTARROWS | DLGC_WANTCHARS;
        return true;
      case TVM_INSERTITEM: {
        const auto* ins = reinterpret_cast<const TVINSERTSTRUCT*>(lParam);
        if (!ins) return true;
        UINT_PTR parent = (ins->hParent == TVI_ROOT || !ins->hParent) ? 0 : Id(ins->hParent);
        if (parent && !Get(*s, parent)) return true;
        Node n;
        const TVITEM& it = ins->item;
        if ((it.mask & TVIF_TEXT) && it.pszText && it.pszText != LPSTR_TEXTCALLBACK) n.text = it.pszText;
        if (it.mask & TVIF_IMAGE) n.image = it.iImage;
        if (it.mask & TVIF_SELECTEDIMAGE) n.selImage = it.iSelectedImage;
        if (it.mask & TVIF_PARAM) n.lParam = it.lParam;
        if (it.mask & TVIF_STATE) n.state = it.state & it.stateMask & ~TVIS_SELECTED;
        if (it.mask & TVIF_CHILDREN) n.children = it.cChildren;
        n.parent = parent;
        const UINT_PTR id = s->nextId++;
        const CString text = n.text;
        s->nodes.emplace(id, std::move(n));
        auto& sib = Siblings(*s, parent);
        auto pos = sib.end();
        if (ins->hInsertAfter == TVI_FIRST) {
          pos = sib.begin();
        } else if (ins->hInsertAfter == TVI_SORT) {
          pos = std::find_if(sib.begin(), sib.end(), [&](UINT_PTR o) { return CompareNoCase(s->nodes[o].text, text) > 0; });
        } else if (ins->hInsertAfter && ins->hInsertAfter != TVI_LAST) {
          auto after = std::find(sib.begin(), sib.end(), Id(ins->hInsertAfter));
          if (after != sib.end()) pos = after + 1;
        }
        sib.insert(pos, id);
        Changed(hwnd, *s);
        *result = reinterpret_cast<LRESULT>(H(id));
        return true;
      }
      case TVM_DELETEITEM: {
        const HTREEITEM h = reinterpret_cast<HTREEITEM>(lParam);
        if (!h || h == TVI_ROOT) {
          const std::vector<UINT_PTR> roots = s->roots;
          for (UINT_PTR r : roots) DeleteTree(hwnd, r);
          if ((s = TS(hwnd))) {
            s->top = 0;
            Changed(hwnd, *s);
          }
          *result = TRUE;
          return true;
        }
        if (!Get(*s, Id(h))) {
          *result = FALSE;
          return true;
        }
        DeleteTree(hwnd, Id(h));
        if ((s = TS(hwnd))) Changed(hwnd, *s);
        *result = TRUE;
        return true;
      }
      case TVM_EXPAND:
        *result = Expand(hwnd, Id(reinterpret_cast<HTREEITEM>(lParam)), static_cast<UINT>(wParam));
        return true;
      case TVM_GETITEMRECT: {
        auto* r = reinterpret_cast<RECT*>(lParam);
        if (!r) return true;
        HTREEITEM h;
        std::memcpy(&h, r, sizeof h);
        const int row = RowOf(*s, Id(h));
        if (row < 0 || !Get(*s, Id(h))) {
          *result = FALSE;
          return true;
        }
        *r = wParam ? LabelRect(hwnd, *s, Id(h), row) : RowRect(hwnd, *s, row);
        *result = TRUE;
        return true;
      }
      case TVM_GETCOUNT: *result = static_cast<LRESULT>(s->nodes.size()); return true;
      case TVM_GETINDENT: *result = s->indent; return true;
      case TVM_SETINDENT:
        s->indent = std::max(8, static_cast<int>(wParam));
        Redraw(hwnd);
        return true;
      case TVM_GETIMAGELIST:
        *result = reinterpret_cast<LRESULT>(wParam == TVSIL_STATE ? s->stateImages : s->images);
        return true;
      case TVM_SETIMAGELIST: {
        HIMAGELIST& slot = wParam == TVSIL_STATE ? s->stateImages : s->images;
        *result = reinterpret_cast<LRESULT>(slot);
        slot = reinterpret_cast<HIMAGELIST>(lParam);
        FontChanged(hwnd, nullptr, QFont());
        return true;
      }
      case TVM_GETNEXTITEM:
        *result = reinterpret_cast<LRESULT>(H(Next(hwnd, *s, static_cast<UINT>(wParam), Id(reinterpret_cast<HTREEITEM>(lParam)))));
        return true;
      case TVM_SELECTITEM: {
        const UINT_PTR id = Id(reinterpret_cast<HTREEITEM>(lParam));
        if (id && !Get(*s, id)) {
          *result = FALSE;
          return true;
        }
        if (wParam == TVGN_CARET) {
          *result = Select(hwnd, id, TVC_UNKNOWN);
          if (id && (s = TS(hwnd))) EnsureVisible(hwnd, *s, id);
        } else if (wParam == TVGN_DROPHILITE) {
          s->drop = id;
          Redraw(hwnd);
          *result = TRUE;
        } else if (wParam == TVGN_FIRSTVISIBLE) {
          EnsureVisible(hwnd, *s, id);
          s->top = std::max(0, RowOf(*s, id));
          Changed(hwnd, *s);
          *result = TRUE;
        }
        return true;
      }
      case TVM_GETITEM: {
        auto* it = reinterpret_cast<TVITEM*>(lParam);
        Node* n = it ? Get(*s, Id(it->hItem)) : nullptr;
        if (!n) {
          *result = FALSE;
          return true;
        }
        if ((it->mask & TVIF_TEXT) && it->pszText && it->cchTextMax > 0) {
          const int k = std::min(it->cchTextMax - 1, n->text.GetLength());
          std::memcpy(it->pszText, n->text.GetString(), static_cast<size_t>(k));
          it->pszText[k] = 0;
        }
        if (it->mask & TVIF_IMAGE) it->iImage = n->image;
        if (it->mask & TVIF_SELECTEDIMAGE) it->iSelectedImage = n->selImage;
        if (it->mask & TVIF_PARAM) it->lParam = n->lParam;
        if (it->mask & TVIF_STATE) it->state = n->state & (it->stateMask ? it->stateMask : 0xFFFFu);
        if (it->mask & TVIF_CHILDREN) it->cChildren = n->kids.empty() ? (n->children > 0 ? 1 : 0) : 1;
        *result = TRUE;
        return true;
      }
      case TVM_SETITEM: {
        const auto* it = reinterpret_cast<const TVITEM*>(lParam);
        Node* n = it ? Get(*s, Id(it->hItem)) : nullptr;
        if (!n) {
          *result = FALSE;
          return true;
        }
        if ((it->mask & TVIF_TEXT) && it->pszText && it->pszText != LPSTR_TEXTCALLBACK) n->text = it->pszText;
        if (it->mask & TVIF_IMAGE) n->image = it->iImage;
        if (it->mask & TVIF_SELECTEDIMAGE) n->selImage = it->iSelectedImage;
        if (it->mask & TVIF_PARAM) n->lParam = it->lParam;
        if (it->mask & TVIF_CHILDREN) n->children = it->cChildren;
        if (it->mask & TVIF_STATE) {
          const UINT keep = TVIS_SELECTED;
          const UINT mask = it->stateMask & ~keep;
          const bool wasOpen = (n->state & TVIS_EXPANDED) != 0;
          n->state = (n->state & ~mask) | (it->state & mask);
          if (wasOpen != ((n->state & TVIS_EXPANDED) != 0)) s->visibleDirty = true;
        }
        Changed(hwnd, *s);
        *result = TRUE;
        return true;
      }
      case TVM_GETVISIBLECOUNT: *result = PerPage(hwnd, *s); return true;
      case TVM_HITTEST: {
        auto* ht = reinterpret_cast<TVHITTESTINFO*>(lParam);
        if (!ht) return true;
        ht->hItem = H(HitTest(hwnd, *s, ht->pt, &ht->flags));
        *result = reinterpret_cast<LRESULT>(ht->hItem);
        return true;
      }
      case TVM_SORTCHILDREN: {
        const HTREEITEM h = reinterpret_cast<HTREEITEM>(lParam);
        const UINT_PTR parent = (!h || h == TVI_ROOT) ? 0 : Id(h);
        auto& sib = Siblings(*s, parent);
        std::stable_sort(sib.begin(), sib.end(), [&](UINT_PTR a, UINT_PTR b) { return CompareNoCase(s->nodes[a].text, s->nodes[b].text) < 0; });
        Changed(hwnd, *s);
        *result = TRUE;
        return true;
      }
      case TVM_ENSUREVISIBLE: {
        const UINT_PTR id = Id(reinterpret_cast<HTREEITEM>(lParam));
        if (Get(*s, id)) EnsureVisible(hwnd, *s, id);
        *result = TRUE;
        return true;
      }
      case TVM_SETITEMHEIGHT:
        *result = s->itemH;
        if (static_cast<int>(wParam) > 0) {
          s->itemH = static_cast<int>(wParam);
          s->fixedH = true;
        } else {
          s->fixedH = false;
          FontChanged(hwnd, nullptr, QFont());
        }
        Changed(hwnd, *s);
        return true;
      case TVM_GETITEMHEIGHT: *result = s->itemH; return true;
      case TVM_SETBKCOLOR: *result = s->bk; s->bk = static_cast<COLORREF>(lParam); Redraw(hwnd); return true;
      case TVM_GETBKCOLOR: *result = s->bk; return true;
      case TVM_SETTEXTCOLOR: *result = s->text; s->text = static_cast<COLORREF>(lParam); Redraw(hwnd); return true;
      case TVM_GETTEXTCOLOR: *result = s->text; return true;
      default:
        return false;
    }
  }
};

}  // namespace

void RegisterTreeClass() { QmRegisterControlClass(WC_TREEVIEW, CS_DBLCLKS, std::make_unique<TreeClass>()); }

}  // namespace qmwnd::cc
