// Header controls (SysHeader32): the column titles above a list view's
// report, or a bar of titles on their own. Items with text, image and
// alignment, widths changed by dragging a divider, items reordered by
// dragging (HDS_DRAGDROP), clicks reported as HDN_ITEMCLICK.
#include <algorithm>
#include <cstring>

#include "platform/gdi/imagelist.h"
#include "platform/wnd/commctrl_header.h"

namespace qmwnd::cc {

namespace {

constexpr int kDividerSlop = 4;

int PosOf(const HeaderState& s, int index) {
  for (size_t p = 0; p < s.order.size(); ++p)
    if (s.order[p] == index) return static_cast<int>(p);
  return -1;
}

void CopyText(const CString& text, LPSTR buf, int size) {
  if (!buf || size <= 0) return;
  const int n = std::min(size - 1, text.GetLength());
  std::memcpy(buf, text.GetString(), static_cast<size_t>(n));
  buf[n] = 0;
}

// HDN_ notifications with an item record.
LRESULT NotifyItem(HWND hwnd, UINT code, int index, int button, HDITEM* item) {
  NMHEADER nm{};
  nm.iItem = index;
  nm.iButton = button;
  nm.pitem = item;
  return Notify(hwnd, code, &nm.hdr);
}

void FillRecord(const HeaderState& s, int index, HDITEM* it) {
  const HdrItem& h = s.items[static_cast<size_t>(index)];
  if (it->mask & HDI_WIDTH) it->cxy = h.width;
  if (it->mask & HDI_TEXT) CopyText(h.text, it->pszText, it->cchTextMax);
  if (it->mask & HDI_FORMAT) it->fmt = h.fmt;
  if (it->mask & HDI_LPARAM) it->lParam = h.lParam;
  if (it->mask & HDI_IMAGE) it->iImage = h.image;
  if (it->mask & HDI_BITMAP) it->hbm = h.bitmap;
  if (it->mask & HDI_ORDER) it->iOrder = PosOf(s, index);
}

void Apply(HeaderState& s, int index, const HDITEM& it) {
  HdrItem& h = s.items[static_cast<size_t>(index)];
  if (it.mask & HDI_WIDTH) h.width = std::max(0, it.cxy);
  if ((it.mask & HDI_TEXT) && it.pszText) h.text = it.pszText;
  if (it.mask & HDI_FORMAT) h.fmt = it.fmt;
  if (it.mask & HDI_LPARAM) h.lParam = it.lParam;
  if (it.mask & HDI_IMAGE) h.image = it.iImage;
  if (it.mask & HDI_BITMAP) h.bitmap = it.hbm;
  if (it.mask & HDI_ORDER) {
    const int from = PosOf(s, index);
    const int to = std::clamp(it.iOrder, 0, static_cast<int>(s.order.size()) - 1);
    if (from >= 0 && from != to) {
      s.order.erase(s.order.begin() + from);
      s.order.insert(s.order.begin() + to, index);
    }
  }
}

class HeaderClass : public DrawnClass {
 public:
  QWidget* CreateWidget(HWND, const CREATESTRUCT& cs, QWidget* parent) override {
    return MakeWidget(cs, parent, std::make_unique<HeaderState>(), false);
  }

  bool DefProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override {
    HeaderState* s = StateOf<HeaderState>(hwnd);
    if (!s) return false;
    const int n = static_cast<int>(s->items.size());
    auto valid = [n](WPARAM i) { return static_cast<int>(i) >= 0 && static_cast<int>(i) < n; };
    switch (message) {
      case HDM_GETITEMCOUNT:
        *result = n;
        return true;
      case HDM_INSERTITEM: {
        const auto* it = reinterpret_cast<const HDITEM*>(lParam);
        if (!it) {
          *result = -1;
          return true;
        }
        const int index = std::clamp(static_cast<int>(wParam), 0, n);
        HdrItem h;
        s->items.insert(s->items.begin() + index, h);
        for (int& o : s->order)
          if (o >= index) ++o;
        const int pos = (it->mask & HDI_ORDER) ? std::clamp(it->iOrder, 0, n) : std::min(index, n);
        s->order.insert(s->order.begin() + pos, index);
        HDITEM copy = *it;
        copy.mask &= ~HDI_ORDER;
        Apply(*s, index, copy);
        Redraw(hwnd);
        *result = index;
        return true;
      }
      case HDM_DELETEITEM: {
        if (!valid(wParam)) {
          *result = FALSE;
          return true;
        }
        const int index = static_cast<int>(wParam);
        s->items.erase(s->items.begin() + index);
        s->order.erase(std::remove(s->order.begin(), s->order.end(), index), s->order.end());
        for (int& o : s->order)
          if (o > index) --o;
        Redraw(hwnd);
        *result = TRUE;
        return true;
      }
      case HDM_GETITEM: {
        auto* it = reinterpret_cast<HDITEM*>(lParam);
        if (!valid(wParam) || !it) {
          *result = FALSE;
          return true;
        }
        FillRecord(*s, static_cast<int>(wParam), it);
        *result = TRUE;
        return true;
      }
      case HDM_SETITEM: {
        const auto* it = reinterpret_cast<const HDITEM*>(lParam);
        if (!valid(wParam) || !it) {
          *result = FALSE;
          return true;
        }
        HDITEM copy = *it;
        const int index = static_cast<int>(wParam);
        if (NotifyItem(hwnd, HDN_ITEMCHANGING, index, 0, &copy)) {
          *result = FALSE;
          return true;
        }
        if (!(s = StateOf<HeaderState>(hwnd)) || index >= static_cast<int>(s->items.size())) {
          *result = FALSE;
          return true;
        }
        Apply(*s, index, *it);
        Redraw(hwnd);
        NotifyItem(hwnd, HDN_ITEMCHANGED, index, 0, &copy);
        *result = TRUE;
        return true;
      }
      case HDM_LAYOUT: {
        auto* lo = reinterpret_cast<HDLAYOUT*>(lParam);
        if (!lo || !lo->prc) {
          *result = FALSE;
          return true;
        }
        const int h = (StyleOf(hwnd) & HDS_HIDDEN) ? 0 : HeaderHeight(hwnd);
        if (lo->pwpos) {
          *lo->pwpos = WINDOWPOS{hwnd, nullptr, lo->prc->left, lo->prc->top, lo->prc->right - lo->prc->left, h, 0};
        }
        lo->prc->top += h;
        *result = TRUE;
        return true;
      }
      case HDM_HITTEST: {
        auto* ht = reinterpret_cast<HDHITTESTINFO*>(lParam);
        if (!ht) {
          *result = -1;
          return true;
        }
        *result = ht->iItem = HitTest(hwnd, *s, ht->pt, &ht->flags);
        return true;
      }
      case HDM_GETITEMRECT: {
        auto* r = reinterpret_cast<RECT*>(lParam);
        if (!valid(wParam) || !r) {
          *result = FALSE;
          return true;
        }
        *r = ItemRect(hwnd, *s, static_cast<int>(wParam));
        *result = TRUE;
        return true;
      }
      case HDM_SETIMAGELIST: {
        *result = reinterpret_cast<LRESULT>(s->images);
        s->images = reinterpret_cast<HIMAGELIST>(lParam);
        Redraw(hwnd);
        return true;
      }
      case HDM_GETIMAGELIST:
        *result = reinterpret_cast<LRESULT>(s->images);
        return true;
      case HDM_ORDERTOINDEX:
        *result = valid(wParam) ? s->order[wParam] : static_cast<LRESULT>(wParam);
        return true;
      case HDM_GETORDERARRAY: {
        auto* a = reinterpret_cast<int*>(lParam);
        if (!a || static_cast<int>(wParam) != n) {
          *result = FALSE;
          return true;
        }
        std::copy(s->order.begin(), s->order.end(), a);
        *result = TRUE;
        return true;
      }
      case HDM_SETORDERARRAY: {
        const auto* a = reinterpret_cast<const int*>(lParam);
        if (!a || static_cast<int>(wParam) != n) {
          *result = FALSE;
          return true;
        }
        std::vector<int> o(a, a + n);
        std::vector<int> sorted = o;
        std::sort(sorted.begin(), sorted.end());
        for (int i = 0; i < n; ++i)
          if (sorted[static_cast<size_t>(i)] != i) {
            *result = FALSE;
            return true;
          }
        s->order = o;
        Redraw(hwnd);
        *result = TRUE;
        return true;
      }
      case HDM_SETBITMAPMARGIN:
        *result = s->bitmapMargin;
        s->bitmapMargin = std::max(0, static_cast<int>(wParam));
        Redraw(hwnd);
        return true;
      case HDM_GETBITMAPMARGIN:
        *result = s->bitmapMargin;
        return true;
      case WM_ERASEBKGND:
        *result = 1;
        return true;
      case WM_PAINT:
        Paint(hwnd, [&](HDC dc, const RECT&) { PaintHeader(hwnd, *s, dc); });
        *result = 0;
        return true;
      case WM_LBUTTONDOWN:
      case WM_LBUTTONDBLCLK:
        ButtonDown(hwnd, *s, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, message == WM_LBUTTONDBLCLK);
        *result = 0;
        return true;
      case WM_MOUSEMOVE:
        MouseMove(hwnd, *s, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        *result = 0;
        return true;
      case WM_LBUTTONUP:
        ButtonUp(hwnd, *s, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        *result = 0;
        return true;
      case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lParam) != hwnd) {
          s->track = -1;
          s->pressed = -1;
          s->drag = -1;
          s->dragging = false;
          Redraw(hwnd);
        }
        return false;
      case WM_SETCURSOR: {
        POINT p;
        ::GetCursorPos(&p);
        ::ScreenToClient(hwnd, &p);
        UINT flags = 0;
        HitTest(hwnd, *s, p, &flags);
        if (s->track >= 0 || (flags & (HHT_ONDIVIDER | HHT_ONDIVOPEN))) {
          ::SetCursor(LoadCursor(nullptr, IDC_SIZEWE));
          *result = TRUE;
          return true;
        }
        return false;
      }
      case WM_GETDLGCODE:
        *result = 0;
        return true;
      default:
        return false;
    }
  }

  void FontChanged(HWND hwnd, QWidget*, const QFont&) override { Redraw(hwnd); }

 private:
  void PaintHeader(HWND hwnd, HeaderState& s, HDC dc) {
    const RECT client = ClientOf(hwnd);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    FillSolid(dc, client, face);
    const bool enabled = Enabled(hwnd);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    const bool buttons = (StyleOf(hwnd) & HDS_BUTTONS) != 0;
    int x = 0;
    for (int index : s.order) {
      const HdrItem& h = s.items[static_cast<size_t>(index)];
      RECT r{x, 0, x + h.width, client.bottom};
      x += h.width;
      if (h.width <= 0) continue;
      const bool down = buttons && index == s.pressed && s.pressedDown && !s.dragging;
      if (h.fmt & HDF_OWNERDRAW) {
        DRAWITEMSTRUCT dis{};
        dis.CtlType = ODT_HEADER;
        dis.CtlID = static_cast<UINT>(CtlId(hwnd));
        dis.itemID = static_cast<UINT>(index);
        dis.itemAction = ODA_DRAWENTIRE;
        dis.itemState = down ? ODS_SELECTED : 0;
        dis.hwndItem = hwnd;
        dis.hDC = dc;
        dis.rcItem = r;
        dis.itemData = static_cast<ULONG_PTR>(h.lParam);
        if (HWND p = ParentOf(hwnd)) Send(p, WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
        continue;
      }
      RECT edge = r;
      DrawEdge(dc, &edge, down ? BDR_SUNKENOUTER : EDGE_RAISED, BF_RECT | (down ? BF_FLAT : 0));
      RECT in{r.left + 6 + (down ? 1 : 0), r.top + (down ? 1 : 0), r.right - 6 + (down ? 1 : 0), r.bottom + (down ? 1 : 0)};
      // The image beside the text, left of it unless asked on the right.
      int iw = 0, ih = 0;
      const bool image = (h.fmt & HDF_IMAGE) && s.images && h.image >= 0 && ImageList_GetIconSize(s.images, &iw, &ih);
      const CString text = (h.fmt & HDF_STRING) || !(h.fmt & (HDF_IMAGE | HDF_BITMAP)) ? h.text : CString();
      UINT align = DT_LEFT;
      if ((h.fmt & HDF_JUSTIFYMASK) == HDF_RIGHT) align = DT_RIGHT;
      else if ((h.fmt & HDF_JUSTIFYMASK) == HDF_CENTER) align = DT_CENTER;
      if (image) {
        const int tw = text.IsEmpty() ? 0 : std::min<int>(TextWidth(FontOf(hwnd), text), std::max<int>(0, in.right - in.left - iw - s.bitmapMargin));
        const int block = iw + (text.IsEmpty() ? 0 : s.bitmapMargin + tw);
        int bx = in.left;
        if (align == DT_RIGHT) bx = in.right - block;
        else if (align == DT_CENTER) bx = in.left + (in.right - in.left - block) / 2;
        bx = std::max<int>(bx, in.left);
        const bool right = (h.fmt & HDF_BITMAP_ON_RIGHT) != 0;
        const int imgX = right ? bx + (text.IsEmpty() ? 0 : tw + s.bitmapMargin) : bx;
        ImageList_Draw(s.images, h.image, dc, imgX, (r.top + r.bottom - ih) / 2 + (down ? 1 : 0), ILD_TRANSPARENT);
        RECT tr{right ? bx : bx + iw + s.bitmapMargin, in.top, right ? bx + tw : in.right, in.bottom};
        DrawCellText(dc, text, tr, DT_LEFT);
      } else {
        DrawCellText(dc, text, in, align);
      }
    }
    if (s.dragging && s.drag >= 0) {
      // Where the dragged item would land.
      const int pos = std::clamp(s.dropPos, 0, static_cast<int>(s.order.size()));
      int dx = 0;
      for (int p = 0; p < pos; ++p) dx += s.items[static_cast<size_t>(s.order[static_cast<size_t>(p)])].width;
      FillSolid(dc, RECT{dx - 1, 0, dx + 1, client.bottom}, GetSysColor(COLOR_HIGHLIGHT));
    }
  }

  // Position in the order where a point drops.
  static int DropPos(const HeaderState& s, int x) {
    int left = 0;
    for (size_t p = 0; p < s.order.size(); ++p) {
      const int w = s.items[static_cast<size_t>(s.order[p])].width;
      if (x < left + w / 2) return static_cast<int>(p);
      left += w;
    }
    return static_cast<int>(s.order.size());
  }

  void ButtonDown(HWND hwnd, HeaderState& s, POINT p, bool dbl) {
    UINT flags = 0;
    const int index = HitTest(hwnd, s, p, &flags);
    if (flags & (HHT_ONDIVIDER | HHT_ONDIVOPEN)) {
      if (dbl) {
        NotifyItem(hwnd, HDN_DIVIDERDBLCLICK, index, 0, nullptr);
        return;
      }
      HDITEM it{};
      it.mask = HDI_WIDTH;
      it.cxy = s.items[static_cast<size_t>(index)].width;
      if (NotifyItem(hwnd, HDN_BEGINTRACK, index, 0, &it)) return;
      if (!(StateOf<HeaderState>(hwnd))) return;
      s.track = index;
      s.trackStartX = p.x;
      s.trackStartW = s.items[static_cast<size_t>(index)].width;
      ::SetCapture(hwnd);
      return;
    }
    if (index < 0) return;
    if (dbl) {
      NotifyItem(hwnd, HDN_ITEMDBLCLICK, index, 0, nullptr);
      return;
    }
    if (!(StyleOf(hwnd) & HDS_BUTTONS) && !(StyleOf(hwnd) & HDS_DRAGDROP)) return;
    s.pressed = index;
    s.pressedDown = true;
    s.drag = index;
    s.dragging = false;
    s.dragStart = p;
    ::SetCapture(hwnd);
    Redraw(hwnd);
  }

  void MouseMove(HWND hwnd, HeaderState& s, POINT p) {
    if (s.track >= 0) {
      const int w = std::max(0, s.trackStartW + p.x - s.trackStartX);
      HDITEM it{};
      it.mask = HDI_WIDTH;
      it.cxy = w;
      if (NotifyItem(hwnd, HDN_TRACK, s.track, 0, &it)) return;
      if (!StateOf<HeaderState>(hwnd) || s.track < 0) return;
      SetWidth(hwnd, s, s.track, w);
      return;
    }
    if (s.pressed < 0) return;
    if (!s.dragging && (StyleOf(hwnd) & HDS_DRAGDROP) && std::abs(p.x - s.dragStart.x) > GetSystemMetrics(SM_CXDRAG)) {
      if (NotifyItem(hwnd, HDN_BEGINDRAG, s.drag, 0, nullptr)) {
        s.drag = -1;
      } else {
        s.dragging = true;
      }
      if (!StateOf<HeaderState>(hwnd)) return;
    }
    if (s.dragging) {
      s.dropPos = DropPos(s, p.x);
      Redraw(hwnd);
      return;
    }
    const RECT r = ItemRect(hwnd, s, s.pressed);
    const bool in = ::PtInRect(&r, p) != FALSE;
    if (in != s.pressedDown) {
      s.pressedDown = in;
      Redraw(hwnd);
    }
  }

  void ButtonUp(HWND hwnd, HeaderState& s, POINT p) {
    if (s.track >= 0) {
      const int index = s.track;
      s.track = -1;
      ::ReleaseCapture();
      HDITEM it{};
      it.mask = HDI_WIDTH;
      it.cxy = s.items[static_cast<size_t>(index)].width;
      NotifyItem(hwnd, HDN_ENDTRACK, index, 0, &it);
      return;
    }
    const int pressed = s.pressed;
    const bool wasDown = s.pressedDown;
    const bool dragged = s.dragging;
    s.pressed = -1;
    s.pressedDown = false;
    s.dragging = false;
    ::ReleaseCapture();
    if (!StateOf<HeaderState>(hwnd)) return;
    Redraw(hwnd);
    if (pressed < 0) return;
    if (dragged) {
      int to = s.dropPos;
      const int from = PosOf(s, pressed);
      if (to > from) --to;
      HDITEM it{};
      it.mask = HDI_ORDER;
      it.iOrder = to;
      if (!NotifyItem(hwnd, HDN_ENDDRAG, pressed, 0, &it) && StateOf<HeaderState>(hwnd) && to != from) {
        s.order.erase(s.order.begin() + from);
        s.order.insert(s.order.begin() + std::clamp(to, 0, static_cast<int>(s.order.size())), pressed);
        Redraw(hwnd);
        HDITEM changed{};
        changed.mask = HDI_ORDER;
        changed.iOrder = to;
        NotifyItem(hwnd, HDN_ITEMCHANGED, pressed, 0, &changed);
      }
      return;
    }
    if (wasDown && (StyleOf(hwnd) & HDS_BUTTONS)) NotifyItem(hwnd, HDN_ITEMCLICK, pressed, 0, nullptr);
  }
};

}  // namespace

int HeaderHeight(HWND hwnd) {
  const TEXTMETRIC tm = MetricsOf(FontOf(hwnd));
  return tm.tmHeight + 6;
}

RECT ItemRect(HWND hwnd, const HeaderState& s, int index) {
  const RECT client = ClientOf(hwnd);
  int x = 0;
  for (int i : s.order) {
    const int w = s.items[static_cast<size_t>(i)].width;
    if (i == index) return RECT{x, 0, x + w, client.bottom};
    x += w;
  }
  return RECT{0, 0, 0, 0};
}

int HitTest(HWND hwnd, const HeaderState& s, POINT p, UINT* flags) {
  const RECT client = ClientOf(hwnd);
  UINT f = 0;
  if (p.y < 0) f |= HHT_ABOVE;
  if (p.y >= client.bottom) f |= HHT_BELOW;
  if (p.x < 0) f |= HHT_TOLEFT;
  if (p.x >= client.right) f |= HHT_TORIGHT;
  if (f) {
    if (flags) *flags = f;
    return -1;
  }
  int x = 0;
  int found = -1;
  for (size_t pos = 0; pos < s.order.size(); ++pos) {
    const int i = s.order[pos];
    const int w = s.items[static_cast<size_t>(i)].width;
    const int right = x + w;
    // The divider: a few pixels each side of an item's right edge; a hidden
    // (zero-width) item is reached from its left neighbour's right side.
    if (p.x >= right - kDividerSlop && p.x < right + kDividerSlop) {
      int idx = i;
      UINT kind = HHT_ONDIVIDER;
      // Zero-width items after this one open from the right of the divider.
      size_t q = pos + 1;
      while (p.x >= right && q < s.order.size() && s.items[static_cast<size_t>(s.order[q])].width == 0) {
        idx = s.order[q];
        kind = HHT_ONDIVOPEN;
        ++q;
      }
      if (flags) *flags = kind;
      return idx;
    }
    if (p.x >= x && p.x < right) found = i;
    x = right;
  }
  if (flags) *flags = found >= 0 ? HHT_ONHEADER : HHT_NOWHERE;
  return found;
}

void SetWidth(HWND hwnd, HeaderState& s, int index, int width) {
  HDITEM it{};
  it.mask = HDI_WIDTH;
  it.cxy = std::max(0, width);
  ::SendMessage(hwnd, HDM_SETITEM, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&it));
}

void RegisterHeaderClass() { QmRegisterControlClass(WC_HEADER, CS_DBLCLKS, std::make_unique<HeaderClass>()); }

}  // namespace qmwnd::cc
