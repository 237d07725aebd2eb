// Owner-drawn pop-up menu items: Qt's menu lays the items out and tracks
// the mouse and keys; an item marked owner-drawn is measured by its owner
// window (WM_MEASUREITEM, once per opening) and drawn by it (WM_DRAWITEM,
// with the selected, grayed and checked states) into the menu's picture.
#include <QMenu>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOption>

#include "platform/wnd/commctl_internal.h"
#include "platform/wnd/menu.h"

namespace qmwnd {

void FillPopupMenu(QMenu* q, HMENU menu, HWND owner);

namespace {

HMENU g_measuring = nullptr;

HWND OwnerOf(const QWidget* menu) {
  return menu ? reinterpret_cast<HWND>(static_cast<std::uintptr_t>(menu->property("qm_owner").toULongLong())) : nullptr;
}

const QAction* OwnerDrawnAction(const QStyleOption* opt) {
  const auto* a = opt ? qobject_cast<const QAction*>(opt->styleObject) : nullptr;
  return a && a->property("qm_od").toBool() ? a : nullptr;
}

HMENU MenuOf(const QAction* a) {
  return reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(a->property("qm_odmenu").toULongLong()));
}

// The picture owners draw menu items into, one for every menu (items are
// drawn one at a time), kept between openings: a menu that opens allocates
// nothing.
QImage& Canvas(QSize size) {
  static QImage* canvas = new QImage;
  if (canvas->width() < size.width() || canvas->height() < size.height())
    *canvas = QImage(canvas->size().expandedTo(size), QImage::Format_RGB32);
  return *canvas;
}

class OwnerDrawStyle : public QProxyStyle {
 public:
  QSize sizeFromContents(ContentsType type, const QStyleOption* opt, const QSize& size,
                         const QWidget* widget) const override {
    if (type == CT_MenuItem) {
      if (const QAction* a = OwnerDrawnAction(opt)) return Measure(a, widget);
    }
    return QProxyStyle::sizeFromContents(type, opt, size, widget);
  }
  void drawControl(ControlElement element, const QStyleOption* opt, QPainter* p, const QWidget* widget) const override {
    if (element == CE_MenuItem) {
      if (const QAction* a = OwnerDrawnAction(opt)) {
        Draw(a, opt, p, widget);
        return;
      }
    }
    QProxyStyle::drawControl(element, opt, p, widget);
  }
  int styleHint(StyleHint hint, const QStyleOption* opt, const QWidget* widget, QStyleHintReturn* ret) const override {
    // Grayed owner-drawn items are highlighted under the mouse, as on Windows.
    if (hint == SH_Menu_AllowActiveAndDisabled && widget && widget->property("qm_hasod").toBool()) return 1;
    return QProxyStyle::styleHint(hint, opt, widget, ret);
  }

 private:
  static QSize Measure(const QAction* a, const QWidget* widget) {
    const QVariant cached = a->property("qm_odsize");
    if (cached.isValid()) return cached.toSize();
    const HWND owner = OwnerOf(widget);
    MEASUREITEMSTRUCT mis{};
    mis.CtlType = ODT_MENU;
    mis.itemID = a->property("qm_odid").toUInt();
    mis.itemData = static_cast<ULONG_PTR>(a->property("qm_oddata").toULongLong());
    if (Find(owner)) {
      const HMENU before = g_measuring;
      g_measuring = MenuOf(a);
      EnterDispatch();
      Send(owner, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis));
      LeaveDispatch();
      g_measuring = before;
    }
    // Room for the sub-menu arrow or check mark beside what the owner asked.
    const QSize s(static_cast<int>(mis.itemWidth) + GetSystemMetrics(SM_CXMENUCHECK) - 1, static_cast<int>(mis.itemHeight));
    const_cast<QAction*>(a)->setProperty("qm_odsize", s);
    return s;
  }

  static void Draw(const QAction* a, const QStyleOption* opt, QPainter* p, const QWidget* widget);
};

OwnerDrawStyle* TheStyle() {
  static OwnerDrawStyle* style = nullptr;
  if (!style) style = new OwnerDrawStyle;
  return style;
}

class QmMenu : public QMenu {
 public:
  QmMenu(QWidget* parent, HWND owner) : QMenu(parent) {
    setProperty("qm_owner", QVariant::fromValue(static_cast<qulonglong>(reinterpret_cast<std::uintptr_t>(owner))));
    setStyle(TheStyle());
  }

 protected:
  void initStyleOption(QStyleOptionMenuItem* option, const QAction* action) const override {
    QMenu::initStyleOption(option, action);
    if (action && action->property("qm_od").toBool()) option->styleObject = const_cast<QAction*>(action);
  }
};

void OwnerDrawStyle::Draw(const QAction* a, const QStyleOption* opt, QPainter* p, const QWidget* widget) {
  const QRect r = opt->rect;
  const HWND owner = OwnerOf(widget);
  // The item keeps its place in the menu: the owner draws at rcItem.
  QImage& canvas = Canvas(QSize(r.right() + 1, r.bottom() + 1).expandedTo(widget ? widget->size() : QSize()));
  HDC dc = CreateImageDC(&canvas);
  if (!dc) return;
  const RECT rc{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
  FillRect(dc, &rc, GetSysColorBrush(COLOR_MENU));
  const UINT flags = a->property("qm_odflags").toUInt();
  DRAWITEMSTRUCT dis{};
  dis.CtlType = ODT_MENU;
  dis.itemID = a->property("qm_odid").toUInt();
  dis.itemAction = ODA_DRAWENTIRE;
  if ((opt->state & QStyle::State_Selected) && !(flags & MF_SEPARATOR)) dis.itemState |= ODS_SELECTED;
  if (flags & MF_GRAYED) dis.itemState |= ODS_GRAYED;
  if (flags & MF_DISABLED) dis.itemState |= ODS_DISABLED;
  if (flags & MF_CHECKED) dis.itemState |= ODS_CHECKED;
  dis.hwndItem = reinterpret_cast<HWND>(MenuOf(a));
  dis.hDC = dc;
  dis.rcItem = rc;
  dis.itemData = static_cast<ULONG_PTR>(a->property("qm_oddata").toULongLong());
  if (Find(owner)) {
    EnterDispatch();
    Send(owner, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));
    LeaveDispatch();
  }
  DeleteDC(dc);
  p->drawImage(r.topLeft(), canvas, r);
  if (a->menu()) {
    // The sub-menu arrow, drawn by the menu as Windows does.
    const COLORREF c = GetSysColor((dis.itemState & ODS_SELECTED) ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT);
    p->save();
    p->setRenderHint(QPainter::Antialiasing, false);
    p->setPen(Qt::NoPen);
    p->setBrush(QColor(GetRValue(c), GetGValue(c), GetBValue(c)));
    const int cx = r.right() - 8, cy = r.center().y();
    const QPoint tri[3] = {QPoint(cx - 2, cy - 4), QPoint(cx + 2, cy), QPoint(cx - 2, cy + 4)};
    p->drawPolygon(tri, 3);
    p->restore();
  }
}

}  // namespace

QMenu* NewPopupMenu(QWidget* parent, HWND owner) { return new QmMenu(parent, owner); }

void MarkOwnerDrawn(QMenu* in, QAction* action, HMENU menu, UINT id, ULONG_PTR data, UINT flags) {
  if (!action) return;
  if (in) in->setProperty("qm_hasod", true);
  action->setProperty("qm_od", true);
  action->setProperty("qm_odmenu", QVariant::fromValue(static_cast<qulonglong>(reinterpret_cast<std::uintptr_t>(menu))));
  action->setProperty("qm_odid", id);
  action->setProperty("qm_oddata", QVariant::fromValue(static_cast<qulonglong>(data)));
  action->setProperty("qm_odflags", flags);
}

HMENU MeasuringMenu() { return g_measuring; }

}  // namespace qmwnd

using namespace qmwnd;

QImage QmRenderPopupMenu(HMENU menu, HWND owner, int highlight) {
  if (!IsMenu(menu)) return QImage();
  EnterDispatch();
  Window* ow = Find(owner);
  std::unique_ptr<QMenu> q(NewPopupMenu(ow ? ow->W() : nullptr, owner));
  FillPopupMenu(q.get(), menu, owner);
  q->ensurePolished();
  q->resize(q->sizeHint());
  const QList<QAction*> actions = q->actions();
  if (highlight >= 0 && highlight < actions.size()) q->setActiveAction(actions.at(highlight));
  // Drawn into a picture kept for the next call (a caller that still holds
  // the last one gets its own copy back then).
  static QImage* picture = new QImage;
  if (picture->size() != q->size()) *picture = QImage(q->size(), QImage::Format_RGB32);
  q->render(picture, QPoint(), QRegion(), QWidget::DrawChildren);
  LeaveDispatch();
  return *picture;
}
