// Painting: each window keeps a backing image of its whole widget. Device
// contexts of the window draw into it; WM_PAINT runs for the invalid part of
// the client area before the widget shows the image. Drawing through GetDC
// outside painting therefore appears at once and stays until painted over,
// as on Windows.
#include <QApplication>
#include <QPainter>
#include <QWidget>

#include <algorithm>

#include "platform/gdi/internal.h"
#include "platform/wnd/internal.h"
#include "platform/wnd/menu.h"

namespace qmwnd {

int g_qtPaintDepth = 0;

// ---------------------------------------------------------------------------
// The backing image.

void EnsureImage(Window& w) {
  QWidget* wid = w.W();
  if (!wid) return;
  const QSize size(std::max(1, wid->width()), std::max(1, wid->height()));
  if (w.image.size() == size) return;
  QImage n(size, QImage::Format_RGB32);
  n.fill(qmgdi::ToPixel(GetSysColor(COLOR_BTNFACE)));
  if (!w.image.isNull()) {
    QPainter p(&n);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(0, 0, w.image);
  }
  w.image = n;
  w.ncDirty = true;
}

void InvalidateClient(Window& w, const QRegion& region, bool erase) {
  const QRect client = ClientRectInWidget(w);
  const QRegion r = region & QRect(0, 0, client.width(), client.height());
  if (r.isEmpty()) return;
  w.invalid += r;
  if (erase) w.erase = true;
  if (QWidget* wid = w.W(); wid && w.redraw) wid->update(r.boundingRect().translated(client.topLeft()));
}

namespace {

void Line(QPainter& p, int x0, int y0, int x1, int y1, COLORREF c) {
  p.setPen(QColor(GetRValue(c), GetGValue(c), GetBValue(c)));
  p.drawLine(x0, y0, x1, y1);
}

// A raised or sunken two-pixel edge inside rect (Windows 3-D colours).
void Edge(QPainter& p, QRect r, bool sunken, int width) {
  const COLORREF outerTL = GetSysColor(sunken ? COLOR_BTNSHADOW : COLOR_3DLIGHT);
  const COLORREF outerBR = GetSysColor(sunken ? COLOR_BTNHIGHLIGHT : COLOR_3DDKSHADOW);
  const COLORREF innerTL = GetSysColor(sunken ? COLOR_3DDKSHADOW : COLOR_BTNHIGHLIGHT);
  const COLORREF innerBR = GetSysColor(sunken ? COLOR_3DLIGHT : COLOR_BTNSHADOW);
  auto frame = [&](QRect q, COLORREF tl, COLORREF br) {
    Line(p, q.left(), q.top(), q.right(), q.top(), tl);
    Line(p, q.left(), q.top(), q.left(), q.bottom(), tl);
    Line(p, q.left(), q.bottom(), q.right(), q.bottom(), br);
    Line(p, q.right(), q.top(), q.right(), q.bottom(), br);
  };
  frame(r, outerTL, outerBR);
  if (width > 1) frame(r.adjusted(1, 1, -1, -1), innerTL, innerBR);
}

void DrawNonClient(Window& w) {
  QWidget* wid = w.W();
  if (!wid || w.image.isNull()) return;
  QPainter p(&w.image);
  QRect r(0, 0, wid->width(), wid->height());
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  if (w.IsChild()) {
    if (w.style & WS_THICKFRAME) {
      const int f = GetSystemMetrics(SM_CXFRAME);
      p.fillRect(r, QColor(GetRValue(face), GetGValue(face), GetBValue(face)));
      Edge(p, r, false, 2);
      r.adjust(f, f, -f, -f);
    } else if ((w.style & WS_DLGFRAME) || (w.exStyle & WS_EX_DLGMODALFRAME)) {
      const int f = GetSystemMetrics(SM_CXDLGFRAME);
      p.fillRect(r, QColor(GetRValue(face), GetGValue(face), GetBValue(face)));
      Edge(p, r, false, 2);
      r.adjust(f, f, -f, -f);
    } else if (w.style & WS_BORDER) {
      const COLORREF c = GetSysColor(COLOR_WINDOWFRAME);
      p.setPen(QColor(GetRValue(c), GetGValue(c), GetBValue(c)));
      p.setBrush(Qt::NoBrush);
      p.drawRect(r.adjusted(0, 0, -1, -1));
      r.adjust(1, 1, -1, -1);
    }
    if ((w.style & WS_CAPTION) == WS_CAPTION) {
      const int ch = GetSystemMetrics((w.exStyle & WS_EX_TOOLWINDOW) ? SM_CYSMCAPTION : SM_CYCAPTION);
      const COLORREF cc = GetSysColor(COLOR_ACTIVECAPTION), tc = GetSysColor(COLOR_CAPTIONTEXT);
      const QRect cap(r.left(), r.top(), r.width(), ch);
      p.fillRect(cap, QColor(GetRValue(cc), GetGValue(cc), GetBValue(cc)));
      p.setPen(QColor(GetRValue(tc), GetGValue(tc), GetBValue(tc)));
      QFont f = QtFontOf(nullptr);
      f.setBold(true);
      p.setFont(f);
      p.drawText(cap.adjusted(4, 0, -4, 0), Qt::AlignVCenter | Qt::AlignLeft, ToQt(w.text));
      r.setTop(r.top() + ch);
    }
  } else if (w.menu) {
    r.setTop(r.top() + GetSystemMetrics(SM_CYMENU));
  }
  if (w.exStyle & WS_EX_CLIENTEDGE) {
    Edge(p, r, true, 2);
    r.adjust(2, 2, -2, -2);
  }
  if (w.exStyle & WS_EX_STATICEDGE) {
    const COLORREF tl = GetSysColor(COLOR_BTNSHADOW), br = GetSysColor(COLOR_BTNHIGHLIGHT);
    Line(p, r.left(), r.top(), r.right(), r.top(), tl);
    Line(p, r.left(), r.top(), r.left(), r.bottom(), tl);
    Line(p, r.left(), r.bottom(), r.right(), r.bottom(), br);
    Line(p, r.right(), r.top(), r.right(), r.bottom(), br);
    r.adjust(1, 1, -1, -1);
  }
  // The corner between two scroll bars.
  if (w.scroll[SB_HORZ].shown && w.scroll[SB_VERT].shown) {
    const int sx = GetSystemMetrics(SM_CXVSCROLL), sy = GetSystemMetrics(SM_CYHSCROLL);
    p.fillRect(QRect(r.right() + 1 - sx, r.bottom() + 1 - sy, sx, sy), QColor(GetRValue(face), GetGValue(face), GetBValue(face)));
  }
}

}  // namespace

void PaintWindowNow(Window& w) {
  if (w.inPaint || !w.W()) return;
  const HWND hwnd = w.hwnd;
  EnsureImage(w);
  if (w.ncDirty) {
    DrawNonClient(w);
    w.ncDirty = false;
  }
  if (w.invalid.isEmpty() || !w.createdDone) return;
  w.inPaint = true;
  w.beganPaint = false;
  Send(hwnd, WM_PAINT, 0, 0);
  Window* again = Find(hwnd);
  if (!again) return;
  again->inPaint = false;
  if (!again->beganPaint) {
    // A WM_PAINT handler that painted nothing still validates.
    again->invalid = QRegion();
    again->erase = false;
  } else if (!again->invalid.isEmpty() && again->W()) {
    again->W()->update();
  }
}

void BlitToWidget(Window& w, QPainter& p, const QRect& widgetRect) {
  if (w.image.isNull()) return;
  if (w.layered && w.IsChild() && w.alpha < 255) {
    // A translucent child: its picture over the parent's at the alpha.
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.setOpacity(w.alpha / 255.0);
    p.drawImage(widgetRect.topLeft(), w.image, widgetRect);
    p.setOpacity(1.0);
    return;
  }
  p.setCompositionMode(QPainter::CompositionMode_Source);
  p.drawImage(widgetRect.topLeft(), w.image, widgetRect);
}

// ---------------------------------------------------------------------------
// Device contexts of windows.

namespace {

class WindowSurface : public CDrawSurface {
 public:
  enum Mode { Client, Whole };
  WindowSurface(HWND hwnd, Mode mode, QRegion paintClip) : hwnd_(hwnd), mode_(mode), paintClip_(std::move(paintClip)) {}

  QImage* SurfaceImage() override {
    Window* w = Find(hwnd_);
    if (!w || !w->W()) return nullptr;
    EnsureImage(*w);
    return &w->image;
  }
  QPoint SurfaceOrigin() const override {
    Window* w = Find(hwnd_);
    if (!w) return QPoint();
    if (mode_ == Client) return ClientRectInWidget(*w).topLeft();
    const Insets out = OuterInsets(*w);
    return QPoint(-out.left, -out.top);
  }
  QSize SurfaceSize() const override {
    Window* w = Find(hwnd_);
    if (!w || !w->W()) return QSize();
    if (mode_ == Client) return ClientRectInWidget(*w).size();
    const Insets out = OuterInsets(*w);
    return QSize(w->W()->width() + out.left + out.right, w->W()->height() + out.top + out.bottom);
  }
  QRegion SurfaceClip() const override {
    if (mode_ == Client) {
      Window* w = Find(hwnd_);
      const QSize s = w ? ClientRectInWidget(*w).size() : QSize();
      if (!paintClip_.isEmpty()) return paintClip_ & QRect(QPoint(0, 0), s);
      return QRegion(QRect(QPoint(0, 0), s));
    }
    return QRegion();
  }
  void SurfaceChanged(const QRect& deviceRect) override {
    Window* w = Find(hwnd_);
    if (!w || !w->W() || w->inPaint || !w->redraw) return;
    w->W()->update(deviceRect.translated(SurfaceOrigin()));
  }

 private:
  HWND hwnd_;
  Mode mode_;
  QRegion paintClip_;
};

class Provider : public IWindowDCProvider {
 public:
  HDC GetDC(HWND hwnd) override {
    if (!Find(hwnd)) {
      SetLastError(1400);
      return nullptr;
    }
    return CreateSurfaceDC(std::make_shared<WindowSurface>(hwnd, WindowSurface::Client, QRegion()), hwnd);
  }
  HDC GetWindowDC(HWND hwnd) override {
    if (!Find(hwnd)) {
      SetLastError(1400);
      return nullptr;
    }
    return CreateSurfaceDC(std::make_shared<WindowSurface>(hwnd, WindowSurface::Whole, QRegion()), hwnd);
  }
  int ReleaseDC(HWND, HDC hdc) override { return DeleteDC(hdc) ? 1 : 0; }
  HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps) override {
    Window* w = Find(hwnd);
    if (!w || !ps) {
      SetLastError(1400);
      return nullptr;
    }
    EnsureImage(*w);
    const QRect client = ClientRectInWidget(*w);
    QRegion rgn = w->invalid & QRect(0, 0, client.width(), client.height());
    w->invalid = QRegion();
    w->beganPaint = true;
    const bool erase = w->erase;
    w->erase = false;
    if (rgn.isEmpty()) rgn = QRegion(0, 0, 0, 0);
    HDC hdc = CreateSurfaceDC(std::make_shared<WindowSurface>(hwnd, WindowSurface::Client,
                                                              rgn.isEmpty() ? QRegion(-1, -1, 1, 1) : rgn),
                              hwnd);
    *ps = PAINTSTRUCT{};
    ps->hdc = hdc;
    const QRect b = rgn.boundingRect();
    ps->rcPaint = RECT{b.left(), b.top(), b.left() + b.width(), b.top() + b.height()};
    ps->fErase = FALSE;
    if (erase && hdc && !rgn.isEmpty()) ps->fErase = Send(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(hdc), 0) == 0;
    return hdc;
  }
  BOOL EndPaint(HWND, const PAINTSTRUCT* ps) override {
    if (ps && ps->hdc) DeleteDC(ps->hdc);
    return TRUE;
  }
};

}  // namespace

IWindowDCProvider* TheDCProvider() {
  static Provider* p = new Provider;
  return p;
}

// ---------------------------------------------------------------------------
// Fonts for Qt widgets.

QFont QtFontOf(HFONT font) {
  LOGFONT lf{};
  if (!font || GetObject(font, sizeof lf, &lf) != static_cast<int>(sizeof lf)) {
    GetObject(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
  }
  QFont f(qmgdi::MapFaceName(lf.lfFaceName, lf.lfCharSet, lf.lfPitchAndFamily));
  const int h = lf.lfHeight;
  if (h < 0) {
    f.setPixelSize(-h);
  } else if (h > 0) {
    // A positive height is the cell height: find the size whose cell fits.
    f.setPixelSize(h);
    const int cell = QFontMetrics(f).height();
    if (cell > h) f.setPixelSize(std::max(1, h * h / cell));
  } else {
    f.setPixelSize(11);
  }
  const int weight = lf.lfWeight ? std::clamp<int>(lf.lfWeight, 100, 900) : 400;
  f.setWeight(static_cast<QFont::Weight>(weight));
  f.setItalic(lf.lfItalic != 0);
  f.setUnderline(lf.lfUnderline != 0);
  f.setStrikeOut(lf.lfStrikeOut != 0);
  return f;
}

QRegion RegionOf(HRGN rgn) {
  auto r = qmgdi::FindRegion(rgn);
  return r ? r->rgn : QRegion();
}

}  // namespace qmwnd

using namespace qmwnd;

QFont QmFontOf(HFONT font) { return QtFontOf(font); }

void QmControlClass::FontChanged(HWND, QWidget* widget, const QFont& font) {
  if (widget) widget->setFont(font);
}

// ---------------------------------------------------------------------------
// Invalidation and updating.

BOOL InvalidateRect(HWND hwnd, LPCRECT rect, BOOL erase) {
  Window* w = Find(hwnd);
  if (!w) {
    if (!hwnd) return TRUE;
    SetLastError(1400);
    return FALSE;
  }
  const QRect client = ClientRectInWidget(*w);
  QRect r = rect ? QRect(QPoint(rect->left, rect->top), QPoint(rect->right - 1, rect->bottom - 1))
                 : QRect(0, 0, client.width(), client.height());
  InvalidateClient(*w, QRegion(r.normalized()), erase != FALSE);
  return TRUE;
}

BOOL InvalidateRgn(HWND hwnd, HRGN rgn, BOOL erase) {
  Window* w = Find(hwnd);
  if (!w) {
    SetLastError(1400);
    return FALSE;
  }
  if (!rgn) return InvalidateRect(hwnd, nullptr, erase);
  InvalidateClient(*w, RegionOf(rgn), erase != FALSE);
  return TRUE;
}

BOOL ValidateRect(HWND hwnd, LPCRECT rect) {
  Window* w = Find(hwnd);
  if (!w) return FALSE;
  if (!rect) {
    w->invalid = QRegion();
    w->erase = false;
  } else {
    w->invalid -= QRect(QPoint(rect->left, rect->top), QPoint(rect->right - 1, rect->bottom - 1));
  }
  return TRUE;
}

BOOL ValidateRgn(HWND hwnd, HRGN rgn) {
  Window* w = Find(hwnd);
  if (!w) return FALSE;
  if (!rgn) return ValidateRect(hwnd, nullptr);
  w->invalid -= RegionOf(rgn);
  return TRUE;
}

BOOL UpdateWindow(HWND hwnd) {
  Window* w = Find(hwnd);
  if (!w) return FALSE;
  if (w->invalid.isEmpty() || !IsWindowVisible(hwnd)) return TRUE;
  EnterDispatch();
  PaintWindowNow(*w);
  // On the screen now (a long operation's progress shows without the
  // loop), unless Qt is painting already: then with the next paint.
  if ((w = Find(hwnd)) && w->W()) {
    if (g_qtPaintDepth == 0) w->W()->repaint();
    else w->W()->update();
  }
  LeaveDispatch();
  return TRUE;
}

BOOL RedrawWindow(HWND hwnd, LPCRECT rect, HRGN rgn, UINT flags) {
  Window* w = Find(hwnd);
  if (!w) return FALSE;
  std::vector<HWND> targets{hwnd};
  if (flags & RDW_ALLCHILDREN) {
    std::function<void(HWND)> add = [&](HWND h) {
      if (Window* x = Find(h))
        for (HWND c : x->children) {
          targets.push_back(c);
          add(c);
        }
    };
    add(hwnd);
  }
  for (HWND h : targets) {
    const bool self = h == hwnd;
    if (flags & RDW_INVALIDATE) {
      if (self && rgn) InvalidateRgn(h, rgn, (flags & RDW_ERASE) != 0);
      else InvalidateRect(h, self ? rect : nullptr, (flags & RDW_ERASE) != 0);
    }
    if (flags & RDW_VALIDATE) {
      if (self && rgn) ValidateRgn(h, rgn);
      else ValidateRect(h, self ? rect : nullptr);
    }
    if (flags & RDW_FRAME) {
      if (Window* x = Find(h)) {
        x->ncDirty = true;
        if (x->W()) x->W()->update();
      }
    }
  }
  if (flags & (RDW_UPDATENOW | RDW_ERASENOW)) {
    for (HWND h : targets) UpdateWindow(h);
  }
  return TRUE;
}

BOOL GetUpdateRect(HWND hwnd, LPRECT rect, BOOL erase) {
  Window* w = Find(hwnd);
  if (!w) return FALSE;
  const QRect b = w->invalid.boundingRect();
  if (rect) *rect = b.isEmpty() ? RECT{0, 0, 0, 0} : RECT{b.left(), b.top(), b.left() + b.width(), b.top() + b.height()};
  if (erase && w->erase && !w->invalid.isEmpty()) {
    HDC dc = GetDC(hwnd);
    if (dc) {
      if (Send(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0)) w->erase = false;
      ReleaseDC(hwnd, dc);
    }
  }
  return !w->invalid.isEmpty();
}

int ScrollWindowEx(HWND hwnd, int dx, int dy, LPCRECT scrollRect, LPCRECT clipRect, HRGN update, LPRECT updateRect,
                   UINT flags) {
  Window* w = Find(hwnd);
  if (!w) return ERROR;
  EnsureImage(*w);
  const QRect client = ClientRectInWidget(*w);
  const QRect all(0, 0, client.width(), client.height());
  const QRect src = scrollRect ? QRect(QPoint(scrollRect->left, scrollRect->top), QPoint(scrollRect->right - 1, scrollRect->bottom - 1)) & all : all;
  const QRect clip = clipRect ? QRect(QPoint(clipRect->left, clipRect->top), QPoint(clipRect->right - 1, clipRect->bottom - 1)) & all : all;
  // Move the pixels inside the client area of the image.
  const QRect moved = src.translated(dx, dy) & clip;
  if (!moved.isEmpty()) {
    const QImage copy = w->image.copy(src.translated(client.topLeft()));
    QPainter p(&w->image);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.setClipRect(moved.translated(client.topLeft()));
    p.drawImage(src.topLeft() + QPoint(dx, dy) + client.topLeft(), copy);
  }
  // The part the move uncovered, plus whatever was invalid, moved along.
  QRegion uncovered = QRegion(src & clip) - QRegion(moved);
  const QRegion oldInvalid = w->invalid & src;
  w->invalid = (w->invalid - QRegion(src)) + (oldInvalid.translated(dx, dy) & clip);
  if (flags & SW_SCROLLCHILDREN) {
    // The children move along (and are told so).
    const std::vector<HWND> kids = w->children;
    for (HWND c : kids) {
      Window* cw = Find(c);
      if (!cw || !cw->W()) continue;
      const QPoint inClient = cw->W()->geometry().topLeft() - client.topLeft();
      if (scrollRect && !src.contains(inClient)) continue;
      ::SetWindowPos(c, nullptr, inClient.x() + dx, inClient.y() + dy, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    }
    if (!(w = Find(hwnd))) return ERROR;
  }
  if (updateRect) {
    const QRect b = uncovered.boundingRect();
    *updateRect = RECT{b.left(), b.top(), b.left() + b.width(), b.top() + b.height()};
  }
  if (update) {
    if (auto r = qmgdi::FindRegion(update)) r->rgn = uncovered;
  }
  if (flags & SW_INVALIDATE) InvalidateClient(*w, uncovered, (flags & SW_ERASE) != 0);
  if (w->W()) w->W()->update(client);
  return uncovered.isEmpty() ? NULLREGION : (uncovered.rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION);
}

BOOL ScrollWindow(HWND hwnd, int dx, int dy, LPCRECT scrollRect, LPCRECT clipRect) {
  // Without a scroll rectangle the children move along.
  const UINT flags = SW_INVALIDATE | SW_ERASE | (scrollRect ? 0 : SW_SCROLLCHILDREN);
  return ScrollWindowEx(hwnd, dx, dy, scrollRect, clipRect, nullptr, nullptr, flags) != ERROR;
}

BOOL LockWindowUpdate(HWND hwnd) {
  static HWND locked = nullptr;
  if (hwnd) {
    if (locked && locked != hwnd) return FALSE;
    locked = hwnd;
    if (Window* w = Find(hwnd); w && w->W()) w->W()->setUpdatesEnabled(false);
    return TRUE;
  }
  if (Window* w = Find(locked); w && w->W()) {
    w->W()->setUpdatesEnabled(w->redraw);
    w->W()->update();
  }
  locked = nullptr;
  return TRUE;
}

// ---------------------------------------------------------------------------
// Pictures of windows.

namespace {

void PaintTree(HWND hwnd) {
  Window* w = Find(hwnd);
  if (!w) return;
  PaintWindowNow(*w);
  if (!(w = Find(hwnd))) return;
  const std::vector<HWND> kids = w->children;
  for (HWND c : kids) {
    Window* cw = Find(c);
    if (cw && (cw->style & WS_VISIBLE)) PaintTree(c);
  }
}

}  // namespace

QImage QmRenderWindow(HWND hwnd, bool withFrame) {
  Window* w = Find(hwnd);
  if (!w || !w->W()) return QImage();
  EnterDispatch();
  PaintTree(hwnd);
  QImage out;
  if ((w = Find(hwnd)) && w->W()) {
    QWidget* wid = w->W();
    // Children that are hidden because the window itself is hidden still
    // render: grab() draws the widget tree as it would be shown.
    const QImage body = wid->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const Insets fr = OuterInsets(*w);
    if (!withFrame || w->IsChild() || (fr.left == 0 && fr.top == 0)) {
      LeaveDispatch();
      return body;
    }
    QImage img(body.width() + fr.left + fr.right, body.height() + fr.top + fr.bottom, QImage::Format_RGB32);
    QPainter p(&img);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    p.fillRect(img.rect(), QColor(GetRValue(face), GetGValue(face), GetBValue(face)));
    // Frame edges.
    p.setPen(QColor(GetRValue(GetSysColor(COLOR_3DLIGHT)), GetGValue(GetSysColor(COLOR_3DLIGHT)), GetBValue(GetSysColor(COLOR_3DLIGHT))));
    p.drawLine(0, 0, img.width() - 1, 0);
    p.drawLine(0, 0, 0, img.height() - 1);
    const COLORREF dk = GetSysColor(COLOR_3DDKSHADOW);
    p.setPen(QColor(GetRValue(dk), GetGValue(dk), GetBValue(dk)));
    p.drawLine(img.width() - 1, 0, img.width() - 1, img.height() - 1);
    p.drawLine(0, img.height() - 1, img.width() - 1, img.height() - 1);
    // Caption bar with the title and the close box.
    const int capH = fr.top - fr.left;
    if (capH > 0) {
      const COLORREF cc = GetSysColor(COLOR_ACTIVECAPTION), tc = GetSysColor(COLOR_CAPTIONTEXT);
      const QRect cap(fr.left, fr.left, body.width(), capH - 1);
      QLinearGradient g(cap.topLeft(), cap.topRight());
      g.setColorAt(0, QColor(GetRValue(cc), GetGValue(cc), GetBValue(cc)));
      g.setColorAt(1, QColor(GetRValue(cc), GetGValue(cc), GetBValue(cc)).lighter(160));
      p.fillRect(cap, g);
      QFont f = QtFontOf(nullptr);
      f.setBold(true);
      p.setFont(f);
      p.setPen(QColor(GetRValue(tc), GetGValue(tc), GetBValue(tc)));
      p.drawText(cap.adjusted(6, 0, -24, 0), Qt::AlignVCenter | Qt::AlignLeft, wid->windowTitle());
      const QRect box(cap.right() - capH + 3, cap.top() + 2, capH - 4, capH - 5);
      p.fillRect(box, QColor(GetRValue(face), GetGValue(face), GetBValue(face)));
      p.setPen(Qt::black);
      p.drawRect(box.adjusted(0, 0, -1, -1));
      const bool closeOn = IsSysCloseEnabled(hwnd);
      p.setPen(closeOn ? Qt::black : Qt::gray);
      p.drawLine(box.left() + 3, box.top() + 3, box.right() - 4, box.bottom() - 4);
      p.drawLine(box.right() - 4, box.top() + 3, box.left() + 3, box.bottom() - 4);
    }
    p.drawImage(fr.left, fr.top, body);
    p.end();
    out = img;
  }
  LeaveDispatch();
  return out;
}

bool QmSaveWindowPng(HWND hwnd, const char* path, bool withFrame) {
  const QImage img = QmRenderWindow(hwnd, withFrame);
  if (img.isNull() || !path) return false;
  return img.save(QString::fromUtf8(path), "PNG");
}
