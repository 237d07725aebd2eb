// The standard controls over Qt widgets: buttons (push, check, radio,
// group box, owner-drawn), statics (text, icons, frames, owner-drawn) and
// edits; a place-holder window that holds each control class's name until
// the class's drawn implementation registers over it at start-up (scroll bar
// controls keep it: no window of the program makes one).
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QScrollBar>
#include <QTextBlock>

#include <cstring>

#include "platform/gdi/internal.h"
#include "platform/wnd/internal.h"

namespace qmwnd {

namespace {

DWORD StyleOf(HWND hwnd) {
  Window* w = Find(hwnd);
  return w ? w->style : 0;
}

void Notify(HWND hwnd, UINT code) { QmNotifyParent(hwnd, code); }

QColor SysQColor(int index) {
  const COLORREF c = GetSysColor(index);
  return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

// A group box as Windows draws it: an etched frame whose top runs through
// the middle of the caption, transparent inside (what lies beneath shows).
class GroupBoxWidget : public QWidget {
 public:
  explicit GroupBoxWidget(QWidget* parent) : QWidget(parent) {}
  void SetTitle(const QString& t) {
    title_ = t;
    update();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    const QFontMetrics fm(font());
    const int top = fm.height() / 2;
    const QRect r(0, top, width() - 2, height() - top - 2);
    p.setPen(SysQColor(COLOR_BTNSHADOW));
    p.drawRect(r);
    p.setPen(SysQColor(COLOR_BTNHIGHLIGHT));
    p.drawRect(r.translated(1, 1));
    if (title_.isEmpty()) return;
    QString shown = title_;
    shown.remove(QRegularExpression(QStringLiteral("&(?!&)")));
    shown.replace(QStringLiteral("&&"), QStringLiteral("&"));
    const QRect tr(6, 0, fm.horizontalAdvance(shown) + 4, fm.height());
    p.fillRect(tr, palette().window());
    p.setPen(palette().windowText().color());
    p.drawText(tr.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignTop | Qt::TextShowMnemonic, title_);
  }

 private:
  QString title_;
};

// Colours the parent chooses with WM_CTLCOLORxxx, applied to a Qt control.
void ApplyCtlColor(HWND hwnd, QWidget* widget, UINT message) {
  Window* w = Find(hwnd);
  if (!w || !Find(w->parent)) return;
  // An edit that can only be read asks as a static text does and, unless
  // its parent says otherwise, shows the dialog's face: it looks locked.
  const bool edit = message == WM_CTLCOLOREDIT;
  if (edit && (w->style & ES_READONLY)) message = WM_CTLCOLORSTATIC;
  HDC dc = CreateCompatibleDC(nullptr);
  if (!dc) return;
  const COLORREF defText = GetSysColor(COLOR_WINDOWTEXT);
  SetTextColor(dc, defText);
  SetBkColor(dc, GetSysColor(message == WM_CTLCOLOREDIT ? COLOR_WINDOW : COLOR_BTNFACE));
  const HBRUSH brush = reinterpret_cast<HBRUSH>(
      Send(w->parent, message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd)));
  const COLORREF text = GetTextColor(dc);
  DeleteDC(dc);
  QPalette pal = widget->palette();
  auto qc = [](COLORREF c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); };
  // The text colour of an enabled control; a disabled one keeps its grey.
  for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive}) {
    pal.setColor(g, QPalette::WindowText, qc(text));
    pal.setColor(g, QPalette::Text, qc(text));
    pal.setColor(g, QPalette::ButtonText, qc(text));
  }
  bool fill = false;
  const auto found = qmgdi::FindBrush(brush);
  const bool solid = found && found->style == BS_SOLID;
  if (solid && edit) {
    pal.setColor(QPalette::Base, qc(found->color));
  } else if (solid) {
    pal.setColor(QPalette::Window, qc(found->color));
    pal.setColor(QPalette::Button, qc(found->color));
    fill = true;
  } else if (edit) {
    const COLORREF base = GetSysColor(message == WM_CTLCOLOREDIT ? COLOR_WINDOW : COLOR_BTNFACE);
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive}) pal.setColor(g, QPalette::Base, qc(base));
  }
  if (widget->palette() != pal) widget->setPalette(pal);
  if (dynamic_cast<GroupBoxWidget*>(widget)) fill = false;  // transparent inside
  if (!edit && widget->autoFillBackground() != fill) widget->setAutoFillBackground(fill);
}

class CtlColorFilter : public QObject {
 public:
  CtlColorFilter(HWND hwnd, UINT message, QObject* parent) : QObject(parent), hwnd_(hwnd), message_(message) {}
  bool eventFilter(QObject* o, QEvent* e) override {
    if (e->type() == QEvent::Paint && !busy_) {
      busy_ = true;
      EnterDispatch();
      ApplyCtlColor(hwnd_, static_cast<QWidget*>(o), message_);
      LeaveDispatch();
      busy_ = false;
    }
    return false;
  }

 private:
  HWND hwnd_;
  UINT message_;
  bool busy_ = false;
};

// Paints an owner-drawn control: WM_DRAWITEM to the parent with a device
// context over the control's image.
void OwnerDraw(HWND hwnd, UINT ctlType, UINT state) {
  Window* w = Find(hwnd);
  if (!w) return;
  PAINTSTRUCT ps{};
  HDC dc = BeginPaint(hwnd, &ps);
  if (!dc) return;
  DRAWITEMSTRUCT dis{};
  dis.CtlType = ctlType;
  dis.CtlID = static_cast<UINT>(w->id);
  dis.itemID = 0;
  dis.itemAction = ODA_DRAWENTIRE;
  dis.itemState = state;
  dis.hwndItem = hwnd;
  dis.hDC = dc;
  ::GetClientRect(hwnd, &dis.rcItem);
  if (Find(w->parent)) Send(w->parent, WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
  EndPaint(hwnd, &ps);
}

// ---------------------------------------------------------------------------
// Buttons.

class ButtonClass : public QmControlClass {
 public:
  QWidget* CreateWidget(HWND hwnd, const CREATESTRUCT& cs, QWidget* parent) override {
    const DWORD style = static_cast<DWORD>(cs.style);
    const DWORD type = style & BS_TYPEMASK;
    QAbstractButton* b = nullptr;
    QWidget* widget = nullptr;
    switch (type) {
      case BS_CHECKBOX:
      case BS_AUTOCHECKBOX:
      case BS_3STATE:
      case BS_AUTO3STATE: {
        if (style & BS_PUSHLIKE) {
          auto* p = new QPushButton(parent);
          p->setCheckable(true);
          p->setAutoDefault(false);
          b = p;
        } else {
          auto* c = new QCheckBox(parent);
          c->setTristate(type == BS_3STATE || type == BS_AUTO3STATE);
          b = c;
        }
        break;
      }
      case BS_RADIOBUTTON:
      case BS_AUTORADIOBUTTON: {
        auto* r = new QRadioButton(parent);
        r->setAutoExclusive(false);
        b = r;
        break;
      }
      case BS_GROUPBOX: {
        auto* g = new GroupBoxWidget(parent);
        g->setAttribute(Qt::WA_TransparentForMouseEvents);
        g->setFocusPolicy(Qt::NoFocus);
        widget = g;
        break;
      }
      default: {
        auto* p = new QPushButton(parent);
        p->setAutoDefault(false);
        p->setDefault(type == BS_DEFPUSHBUTTON);
        b = p;
        break;
      }
    }
    if (b) {
      b->setFocusPolicy((style & WS_TABSTOP) ? Qt::StrongFocus : Qt::ClickFocus);
      QObject::connect(b, &QAbstractButton::pressed, b, [b] { b->setProperty("qm_before", b->isChecked()); });
      QObject::connect(b, &QAbstractButton::clicked, b, [hwnd] { Clicked(hwnd); });
      widget = b;
    }
    widget->installEventFilter(new CtlColorFilter(hwnd, WM_CTLCOLORSTATIC, widget));
    return widget;
  }

  static void Clicked(HWND hwnd) {
    Window* w = Find(hwnd);
    if (!w) return;
    auto* b = qobject_cast<QAbstractButton*>(w->W());
    if (!b) return;
    const DWORD type = w->style & BS_TYPEMASK;
    EnterDispatch();
    if (type == BS_CHECKBOX || type == BS_3STATE || type == BS_RADIOBUTTON) {
      // Buttons that do not check themselves: the owner decides.
      const QSignalBlocker block(b);
      b->setChecked(b->property("qm_before").toBool());
    } else if (type == BS_AUTORADIOBUTTON) {
      CheckRadioInGroup(hwnd);
    }
    Notify(hwnd, BN_CLICKED);
    LeaveDispatch();
  }

  // Checks an automatic radio button and clears the others of its group
  // (the siblings between WS_GROUP marks).
  static void CheckRadioInGroup(HWND hwnd) {
    Window* w = Find(hwnd);
    if (!w) return;
    Window* p = Find(w->parent);
    if (!p) return;
    const auto& sib = p->children;
    auto it = std::find(sib.begin(), sib.end(), hwnd);
    if (it == sib.end()) return;
    auto start = it;
    while (start != sib.begin()) {
      Window* sw = Find(*start);
      if (sw && (sw->style & WS_GROUP)) break;
      --start;
    }
    for (auto i = start; i != sib.end(); ++i) {
      Window* sw = Find(*i);
      if (!sw) continue;
      if (i != start && (sw->style & WS_GROUP)) break;
      if ((sw->style & BS_TYPEMASK) == BS_AUTORADIOBUTTON && sw->cls == w->cls)
        Send(*i, BM_SETCHECK, *i == hwnd ? BST_CHECKED : BST_UNCHECKED, 0);
    }
  }

  bool DefProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override {
    Window* w = Find(hwnd);
    if (!w) return false;
    QWidget* wid = w->W();
    auto* b = qobject_cast<QAbstractButton*>(wid);
    const DWORD type = w->style & BS_TYPEMASK;
    switch (message) {
      case BM_GETCHECK:
        *result = BST_UNCHECKED;
        if (auto* c = qobject_cast<QCheckBox*>(wid)) {
          *result = c->checkState() == Qt::Checked ? BST_CHECKED
                    : c->checkState() == Qt::PartiallyChecked ? BST_INDETERMINATE
                                                               : BST_UNCHECKED;
        } else if (b && b->isCheckable()) {
          *result = b->isChecked() ? BST_CHECKED : BST_UNCHECKED;
        }
        return true;
      case BM_SETCHECK: {
        const QSignalBlocker block(wid);
        if (auto* c = qobject_cast<QCheckBox*>(wid)) {
          if (wParam == BST_INDETERMINATE && c->isTristate()) c->setCheckState(Qt::PartiallyChecked);
          else c->setCheckState(wParam == BST_CHECKED ? Qt::Checked : Qt::Unchecked);
        } else if (b && b->isCheckable()) {
          b->setChecked(wParam == BST_CHECKED);
        } else if (auto* r = qobject_cast<QRadioButton*>(wid)) {
          r->setChecked(wParam == BST_CHECKED);
        }
        *result = 0;
        return true;
      }
      case BM_GETSTATE: {
        LRESULT s = 0;
        LRESULT check = 0;
        DefProc(hwnd, BM_GETCHECK, 0, 0, &check);
        s = check;
        if (b && b->isDown()) s |= BST_PUSHED;
        if (wid && wid->hasFocus()) s |= BST_FOCUS;
        *result = s;
        return true;
      }
      case BM_SETSTATE:
        if (b) b->setDown(wParam != 0);
        *result = 0;
        return true;
      case BM_CLICK:
        if (b && b->isEnabled()) b->click();
        *result = 0;
        return true;
      case BM_SETSTYLE: {
        w->style = (w->style & ~0xFFFFu) | (static_cast<DWORD>(wParam) & 0xFFFFu);
        if (auto* p = qobject_cast<QPushButton*>(wid)) p->setDefault((w->style & BS_TYPEMASK) == BS_DEFPUSHBUTTON);
        if (lParam && wid) wid->update();
        *result = 0;
        return true;
      }
      case WM_GETDLGCODE:
        *result = DialogCode(hwnd);
        return true;
      case WM_PAINT:
        if (type == BS_OWNERDRAW) {
          UINT state = 0;
          if (b && b->isDown()) state |= ODS_SELECTED;
          if (w->style & WS_DISABLED) state |= ODS_DISABLED;
          if (FocusWindow() == hwnd) state |= ODS_FOCUS;
          OwnerDraw(hwnd, ODT_BUTTON, state);
          *result = 0;
          return true;
        }
        return false;
      case WM_SETFOCUS:
        if (w->style & BS_NOTIFY) Notify(hwnd, BN_SETFOCUS);
        return false;
      case WM_KILLFOCUS:
        if (w->style & BS_NOTIFY) Notify(hwnd, BN_KILLFOCUS);
        return false;
      default:
        return false;
    }
  }

  void TextChanged(HWND, QWidget* widget, const CString& text) override {
    if (auto* b = qobject_cast<QAbstractButton*>(widget)) b->setText(ToQtMnemonic(text, true));
    else if (auto* g = dynamic_cast<GroupBoxWidget*>(widget)) g->SetTitle(ToQtMnemonic(text, true));
  }

  UINT DialogCode(HWND hwnd) override {
    const DWORD type = StyleOf(hwnd) & BS_TYPEMASK;
    switch (type) {
      case BS_DEFPUSHBUTTON: return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
      case BS_PUSHBUTTON:
      case BS_OWNERDRAW: return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
      case BS_RADIOBUTTON:
      case BS_AUTORADIOBUTTON: return DLGC_BUTTON | DLGC_RADIOBUTTON;
      case BS_GROUPBOX: return DLGC_STATIC;
      default: return DLGC_BUTTON;
    }
  }

  bool QtPaints(HWND hwnd) override { return (StyleOf(hwnd) & BS_TYPEMASK) != BS_OWNERDRAW; }
};

// ---------------------------------------------------------------------------
// Statics.

class StaticClass : public QmControlClass {
 public:
  QWidget* CreateWidget(HWND hwnd, const CREATESTRUCT& cs, QWidget* parent) override {
    const DWORD style = static_cast<DWORD>(cs.style);
    const DWORD type = style & SS_TYPEMASK;
    QWidget* widget = nullptr;
    switch (type) {
      case SS_ETCHEDHORZ:
      case SS_ETCHEDVERT:
      case SS_ETCHEDFRAME:
      case SS_BLACKFRAME:
      case SS_GRAYFRAME:
      case SS_WHITEFRAME:
      case SS_BLACKRECT:
      case SS_GRAYRECT:
      case SS_WHITERECT:
      case SS_OWNERDRAW: {
        auto* f = new QWidget(parent);
        f->setAttribute(Qt::WA_OpaquePaintEvent);
        widget = f;
        break;
      }
      default: {
        auto* l = new QLabel(parent);
        l->setTextFormat(Qt::PlainText);
        l->setMargin(0);
        l->setIndent(0);
        l->setContentsMargins(0, 0, 0, 0);
        widget = l;
        widget->installEventFilter(new CtlColorFilter(hwnd, WM_CTLCOLORSTATIC, widget));
        break;
      }
    }
    if (!(style & SS_NOTIFY)) widget->setAttribute(Qt::WA_TransparentForMouseEvents);
    widget->setFocusPolicy(Qt::NoFocus);
    return widget;
  }

  void StyleChanged(HWND hwnd, QWidget* widget, DWORD style) override {
    // SS_NOTIFY given after creation: clicks and the cursor reach the static.
    widget->setAttribute(Qt::WA_TransparentForMouseEvents, !(style & SS_NOTIFY));
    auto* l = qobject_cast<QLabel*>(widget);
    if (!l) return;
    const DWORD type = style & SS_TYPEMASK;
    Qt::Alignment a = (style & SS_CENTERIMAGE) ? Qt::AlignVCenter : Qt::AlignTop;
    if (type == SS_CENTER) a |= Qt::AlignHCenter;
    else if (type == SS_RIGHT) a |= Qt::AlignRight;
    else a |= Qt::AlignLeft;
    if (type == SS_ICON || type == SS_BITMAP) a = (style & SS_CENTERIMAGE) ? Qt::AlignCenter : (Qt::AlignTop | Qt::AlignLeft);
    l->setAlignment(a);
    l->setWordWrap(type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT);
    if (style & SS_SUNKEN) l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    else l->setFrameStyle(QFrame::NoFrame);
    if (Window* w = Find(hwnd)) TextChanged(hwnd, widget, w->text);
  }

  void TextChanged(HWND hwnd, QWidget* widget, const CString& text) override {
    auto* l = qobject_cast<QLabel*>(widget);
    if (!l) return;
    const DWORD style = StyleOf(hwnd);
    const DWORD type = style & SS_TYPEMASK;
    if (type == SS_ICON || type == SS_BITMAP) return;
    l->setText(ToQtMnemonic(text, (style & SS_NOPREFIX) != 0));
  }

  bool DefProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override {
    Window* w = Find(hwnd);
    if (!w) return false;
    switch (message) {
      case STM_SETICON:
      case STM_SETIMAGE: {
        const bool icon = message == STM_SETICON || wParam == IMAGE_ICON || wParam == IMAGE_CURSOR;
        const void* h = reinterpret_cast<void*>(message == STM_SETICON ? wParam : static_cast<WPARAM>(lParam));
        void* old = w->W() ? w->W()->property("qm_image").value<void*>() : nullptr;
        if (auto* l = qobject_cast<QLabel*>(w->W())) {
          QImage img;
          QPoint hot;
          int std = 0;
          if (icon) GetIconImage(static_cast<HICON>(const_cast<void*>(h)), &img, &hot, &std);
          else GetBitmapImage(static_cast<HBITMAP>(const_cast<void*>(h)), &img);
          l->setPixmap(img.isNull() ? QPixmap() : QPixmap::fromImage(img));
          l->setProperty("qm_image", QVariant::fromValue(const_cast<void*>(h)));
        }
        *result = reinterpret_cast<LRESULT>(old);
        return true;
      }
      case STM_GETICON:
      case STM_GETIMAGE:
        *result = reinterpret_cast<LRESULT>(w->W() ? w->W()->property("qm_image").value<void*>() : nullptr);
        return true;
      case WM_GETDLGCODE:
        *result = DLGC_STATIC;
        return true;
      case WM_NCHITTEST:
        if (!(w->style & SS_NOTIFY)) {
          *result = HTTRANSPARENT;
          return true;
        }
        return false;
      case WM_LBUTTONDOWN:
        if (w->style & SS_NOTIFY) Notify(hwnd, STN_CLICKED);
        return false;
      case WM_LBUTTONDBLCLK:
        if (w->style & SS_NOTIFY) Notify(hwnd, STN_DBLCLK);
        return false;
      case WM_PAINT:
        if (!QtPaints(hwnd)) {
          PaintShape(hwnd);
          *result = 0;
          return true;
        }
        return false;
      default:
        return false;
    }
  }

  bool QtPaints(HWND hwnd) override {
    switch (StyleOf(hwnd) & SS_TYPEMASK) {
      case SS_ETCHEDHORZ:
      case SS_ETCHEDVERT:
      case SS_ETCHEDFRAME:
      case SS_BLACKFRAME:
      case SS_GRAYFRAME:
      case SS_WHITEFRAME:
      case SS_BLACKRECT:
      case SS_GRAYRECT:
      case SS_WHITERECT:
      case SS_OWNERDRAW:
        return false;
      default:
        return true;
    }
  }

  static void PaintShape(HWND hwnd) {
    const DWORD type = StyleOf(hwnd) & SS_TYPEMASK;
    if (type == SS_OWNERDRAW) {
      OwnerDraw(hwnd, ODT_STATIC, (StyleOf(hwnd) & WS_DISABLED) ? ODS_DISABLED : 0);
      return;
    }
    PAINTSTRUCT ps{};
    HDC dc = BeginPaint(hwnd, &ps);
    if (!dc) return;
    RECT rc;
    ::GetClientRect(hwnd, &rc);
    // The parent's background first, as a transparent control shows it.
    Window* w = Find(hwnd);
    if (w && Find(w->parent)) {
      HBRUSH b = reinterpret_cast<HBRUSH>(Send(w->parent, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                                reinterpret_cast<LPARAM>(hwnd)));
      if (b) FillRect(dc, &rc, b);
    }
    switch (type) {
      case SS_ETCHEDHORZ: {
        RECT r{rc.left, rc.top, rc.right, rc.top + 2};
        DrawEdge(dc, &r, EDGE_ETCHED, BF_TOP);
        break;
      }
      case SS_ETCHEDVERT: {
        RECT r{rc.left, rc.top, rc.left + 2, rc.bottom};
        DrawEdge(dc, &r, EDGE_ETCHED, BF_LEFT);
        break;
      }
      case SS_ETCHEDFRAME:
        DrawEdge(dc, &rc, EDGE_ETCHED, BF_RECT);
        break;
      case SS_BLACKFRAME:
        FrameRect(dc, &rc, GetSysColorBrush(COLOR_3DDKSHADOW));
        break;
      case SS_GRAYFRAME:
        FrameRect(dc, &rc, GetSysColorBrush(COLOR_BTNSHADOW));
        break;
      case SS_WHITEFRAME:
        FrameRect(dc, &rc, GetSysColorBrush(COLOR_BTNHIGHLIGHT));
        break;
      case SS_BLACKRECT:
        FillRect(dc, &rc, GetSysColorBrush(COLOR_3DDKSHADOW));
        break;
      case SS_GRAYRECT:
        FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNSHADOW));
        break;
      case SS_WHITERECT:
        FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNHIGHLIGHT));
        break;
    }
    EndPaint(hwnd, &ps);
  }
};

// ---------------------------------------------------------------------------
// Edits.

class EditClass : public QmControlClass {
 public:
  QWidget* CreateWidget(HWND hwnd, const CREATESTRUCT& cs, QWidget* parent) override {
    const DWORD style = static_cast<DWORD>(cs.style);
    QWidget* widget = nullptr;
    if (style & ES_MULTILINE) {
      auto* t = new QPlainTextEdit(parent);
      t->setLineWrapMode((style & ES_AUTOHSCROLL) || (style & WS_HSCROLL) ? QPlainTextEdit::NoWrap
                                                                          : QPlainTextEdit::WidgetWidth);
      t->setVerticalScrollBarPolicy((style & WS_VSCROLL) ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
      t->setHorizontalScrollBarPolicy((style & WS_HSCROLL) ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
      t->setTabChangesFocus(true);
      QObject::connect(t, &QPlainTextEdit::textChanged, t, [hwnd] { Changed(hwnd); });
      widget = t;
    } else {
      auto* e = new QLineEdit(parent);
      e->setTextMargins(1, 0, 1, 0);
      QObject::connect(e, &QLineEdit::textChanged, e, [hwnd] { Changed(hwnd); });
      widget = e;
    }
    widget->setFocusPolicy(Qt::StrongFocus);
    widget->installEventFilter(new CtlColorFilter(hwnd, WM_CTLCOLOREDIT, widget));
    return widget;
  }

  static void Changed(HWND hwnd) {
    Window* w = Find(hwnd);
    if (!w || w->W() == nullptr) return;
    EnterDispatch();
    w->text = Text(*w);
    Notify(hwnd, EN_UPDATE);
    Notify(hwnd, EN_CHANGE);
    LeaveDispatch();
  }

  static CString Text(const Window& w) {
    if (auto* e = qobject_cast<QLineEdit*>(w.W())) return FromQt(e->text());
    if (auto* t = qobject_cast<QPlainTextEdit*>(w.W())) {
      QString s = t->toPlainText();
      s.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
      return FromQt(s);
    }
    return w.text;
  }

  void StyleChanged(HWND hwnd, QWidget* widget, DWORD style) override {
    Window* w = Find(hwnd);
    const DWORD ex = w ? w->exStyle : 0;
    if (auto* e = qobject_cast<QLineEdit*>(widget)) {
      e->setFrame((style & WS_BORDER) || (ex & (WS_EX_CLIENTEDGE | WS_EX_STATICEDGE)));
      Qt::Alignment a = Qt::AlignVCenter;
      if (style & ES_CENTER) a |= Qt::AlignHCenter;
      else if (style & ES_RIGHT) a |= Qt::AlignRight;
      else a |= Qt::AlignLeft;
      e->setAlignment(a);
      e->setEchoMode((style & ES_PASSWORD) ? QLineEdit::Password : QLineEdit::Normal);
      e->setReadOnly((style & ES_READONLY) != 0);
      if (style & ES_NUMBER) {
        if (!e->validator()) e->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), e));
      } else if (e->validator()) {
        e->setValidator(nullptr);
      }
    } else if (auto* t = qobject_cast<QPlainTextEdit*>(widget)) {
      t->setReadOnly((style & ES_READONLY) != 0);
      t->setFrameStyle(((style & WS_BORDER) || (ex & (WS_EX_CLIENTEDGE | WS_EX_STATICEDGE))) ? (QFrame::StyledPanel | QFrame::Sunken)
                                                                                           : QFrame::NoFrame);
    }
  }

  void TextChanged(HWND, QWidget* widget, const CString& text) override {
    const QString q = ToQt(text);
    if (auto* e = qobject_cast<QLineEdit*>(widget)) {
      if (e->text() != q) e->setText(q);
    } else if (auto* t = qobject_cast<QPlainTextEdit*>(widget)) {
      QString s = q;
      s.replace(QLatin1String("\r\n"), QLatin1String("\n"));
      if (t->toPlainText() != s) t->setPlainText(s);
    }
  }

  bool DefProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override {
    Window* w = Find(hwnd);
    if (!w) return false;
    QWidget* wid = w->W();
    auto* e = qobject_cast<QLineEdit*>(wid);
    auto* t = qobject_cast<QPlainTextEdit*>(wid);
    switch (message) {
      case WM_GETTEXT:
      case WM_GETTEXTLENGTH:
        w->text = Text(*w);
        return false;  // the generic procedure copies w->text
      case EM_GETSEL: {
        int a = 0, b = 0;
        if (e) {
          a = e->hasSelectedText() ? e->selectionStart() : e->cursorPosition();
          b = e->hasSelectedText() ? a + static_cast<int>(e->selectedText().size()) : a;
        } else if (t) {
          a = t->textCursor().selectionStart();
          b = t->textCursor().selectionEnd();
        }
        if (wParam) *reinterpret_cast<DWORD*>(wParam) = static_cast<DWORD>(a);
        if (lParam) *reinterpret_cast<DWORD*>(lParam) = static_cast<DWORD>(b);
        *result = MAKELONG(static_cast<WORD>(a), static_cast<WORD>(b));
        return true;
      }
      case EM_SETSEL: {
        int a = static_cast<int>(static_cast<INT_PTR>(wParam));
        int b = static_cast<int>(lParam);
        if (e) {
          const int n = static_cast<int>(e->text().size());
          if (a < 0) {
            e->deselect();
          } else {
            if (b < 0 || b > n) b = n;
            a = std::min(a, n);
            if (b < a) std::swap(a, b);
            e->setSelection(a, b - a);
          }
        } else if (t) {
          QTextCursor c = t->textCursor();
          const int n = static_cast<int>(t->toPlainText().size());
          if (a < 0) {
            c.clearSelection();
          } else {
            if (b < 0 || b > n) b = n;
            c.setPosition(std::min(a, n));
            c.setPosition(b, QTextCursor::KeepAnchor);
          }
          t->setTextCursor(c);
        }
        *result = 0;
        return true;
      }
      case EM_REPLACESEL: {
        const QString s = ToQt(reinterpret_cast<const char*>(lParam));
        if (e) e->insert(s);
        else if (t) t->insertPlainText(s);
        *result = 0;
        return true;
      }
      case EM_LIMITTEXT:
        if (e) e->setMaxLength(wParam ? static_cast<int>(std::min<WPARAM>(wParam, 0x7FFFFFFE)) : 0x7FFFFFFE);
        *result = 0;
        return true;
      case EM_GETLIMITTEXT:
        *result = e ? e->maxLength() : 0x7FFFFFFE;
        return true;
      case EM_SETPASSWORDCHAR:
        // Single-line edits only: a character masks the text (ES_PASSWORD
        // set), 0 shows it as typed. The mask is drawn with the platform's
        // own glyph; the character is kept for EM_GETPASSWORDCHAR.
        if (e) {
          const BYTE ch = static_cast<BYTE>(wParam);
          e->setProperty("qmPasswordChar", static_cast<int>(ch));
          if (ch) w->style |= ES_PASSWORD;
          else w->style &= ~ES_PASSWORD;
          StyleChanged(hwnd, wid, w->style);
        }
        *result = 0;
        return true;
      case EM_GETPASSWORDCHAR: {
        *result = 0;
        if (e && (w->style & ES_PASSWORD)) {
          const QVariant ch = e->property("qmPasswordChar");
          *result = ch.isValid() && ch.toInt() ? ch.toInt() : '*';
        }
        return true;
      }
      case EM_SETREADONLY:
        if (wParam) w->style |= ES_READONLY;
        else w->style &= ~ES_READONLY;
        StyleChanged(hwnd, wid, w->style);
        *result = TRUE;
        return true;
      case EM_GETMODIFY:
        *result = e ? e->isModified() : (t ? t->document()->isModified() : 0);
        return true;
      case EM_SETMODIFY:
        if (e) e->setModified(wParam != 0);
        if (t) t->document()->setModified(wParam != 0);
        *result = 0;
        return true;
      case EM_CANUNDO:
        *result = e ? e->isUndoAvailable() : (t ? t->document()->isUndoAvailable() : 0);
        return true;
      case EM_UNDO:
      case WM_UNDO:
        if (e) e->undo();
        if (t) t->undo();
        *result = TRUE;
        return true;
      case WM_CUT:
        if (e) e->cut();
        if (t) t->cut();
        *result = 0;
        return true;
      case WM_COPY:
        if (e) e->copy();
        if (t) t->copy();
        *result = 0;
        return true;
      case WM_PASTE:
        if (e) e->paste();
        if (t) t->paste();
        *result = 0;
        return true;
      case WM_CLEAR:
        if (e) e->del();
        if (t) t->textCursor().removeSelectedText();
        *result = 0;
        return true;
      case EM_GETLINECOUNT:
        *result = t ? t->document()->blockCount() : 1;
        return true;
      case EM_LINEINDEX: {
        int line = static_cast<int>(static_cast<INT_PTR>(wParam));
        if (!t) {
          *result = line <= 0 ? 0 : -1;
          return true;
        }
        if (line < 0) line = t->textCursor().blockNumber();
        const QTextBlock b = t->document()->findBlockByNumber(line);
        *result = b.isValid() ? b.position() + line : -1;  // CR LF counts two
        return true;
      }
      case EM_LINELENGTH:
        *result = e ? static_cast<LRESULT>(e->text().size()) : 0;
        if (t) {
          const QTextBlock b = t->document()->findBlock(static_cast<int>(wParam));
          *result = b.isValid() ? b.length() - 1 : 0;
        }
        return true;
      case WM_GETDLGCODE:
        *result = DialogCode(hwnd);
        return true;
      case WM_SETFOCUS:
        Notify(hwnd, EN_SETFOCUS);
        return false;
      case WM_KILLFOCUS:
        Notify(hwnd, EN_KILLFOCUS);
        return false;
      default:
        return false;
    }
  }

  UINT DialogCode(HWND hwnd) override {
    const DWORD style = StyleOf(hwnd);
    UINT c = DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
    if ((style & ES_MULTILINE) && (style & ES_WANTRETURN)) c |= DLGC_WANTMESSAGE;
    return c;
  }
};

// ---------------------------------------------------------------------------
// Place-holders.

class PlaceholderClass : public QmControlClass {
 public:
  QWidget* CreateWidget(HWND, const CREATESTRUCT&, QWidget* parent) override {
    auto* w = new QWidget(parent);
    w->setAttribute(Qt::WA_OpaquePaintEvent);
    w->setFocusPolicy(Qt::ClickFocus);
    return w;
  }
  bool QtPaints(HWND) override { return false; }
  bool DefProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM, LRESULT* result) override {
    if (message == WM_ERASEBKGND) {
      RECT rc;
      ::GetClientRect(hwnd, &rc);
      FillRect(reinterpret_cast<HDC>(wParam), &rc, GetSysColorBrush(COLOR_WINDOW));
      *result = 1;
      return true;
    }
    if (message == WM_PAINT) {
      PAINTSTRUCT ps{};
      HDC dc = BeginPaint(hwnd, &ps);
      if (dc) {
        Window* w = Find(hwnd);
        if (w && !w->text.IsEmpty()) {
          RECT rc;
          ::GetClientRect(hwnd, &rc);
          rc.left += 2;
          SetBkMode(dc, TRANSPARENT);
          HGDIOBJ old = SelectObject(dc, w->font ? static_cast<HGDIOBJ>(w->font) : GetStockObject(DEFAULT_GUI_FONT));
          DrawText(dc, w->text, w->text.GetLength(), &rc, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
          SelectObject(dc, old);
        }
        EndPaint(hwnd, &ps);
      }
      *result = 0;
      return true;
    }
    if (message == WM_GETDLGCODE) {
      *result = 0;
      return true;
    }
    return false;
  }
};

}  // namespace

QmControlClass* MakeButtonClass() { return new ButtonClass; }
QmControlClass* MakeStaticClass() { return new StaticClass; }
QmControlClass* MakeEditClass() { return new EditClass; }
QmControlClass* MakePlaceholderClass() { return new PlaceholderClass; }

void CheckAutoRadio(HWND hwnd) { ButtonClass::CheckRadioInGroup(hwnd); }

}  // namespace qmwnd

void QmNotifyParent(HWND control, UINT code) {
  qmwnd::Window* w = qmwnd::Find(control);
  if (!w || !w->IsChild() || !qmwnd::Find(w->parent)) return;
  if (w->exStyle & WS_EX_NOPARENTNOTIFY) {
    // Notifications are sent regardless; the flag only concerns WM_PARENTNOTIFY.
  }
  qmwnd::EnterDispatch();
  qmwnd::Send(w->parent, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(w->id), static_cast<WORD>(code)),
              reinterpret_cast<LPARAM>(control));
  qmwnd::LeaveDispatch();
}
