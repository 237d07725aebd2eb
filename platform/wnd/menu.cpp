// Menus over an item model of our own, shown with QMenuBar and QMenu.
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QWidget>

#include <cstdio>
#include <cstring>
#include <functional>

#include "platform/gdi/afxgdi.h"
#include "platform/wnd/commctl_internal.h"
#include "platform/wnd/internal.h"
#include "platform/wnd/menu.h"

namespace qmwnd {

namespace {

struct MenuItem {
  UINT flags = 0;  // MF_ state and type bits (MF_POPUP for sub-menus)
  UINT id = 0;
  HMENU sub = nullptr;
  CString text;
  ULONG_PTR data = 0;
  HBITMAP bitmap = nullptr;
  bool radio = false;
  HBITMAP checkedMark = nullptr;    // MIIM_CHECKMARKS
  HBITMAP uncheckedMark = nullptr;
};

struct Menu {
  std::vector<MenuItem> items;
  bool popup = false;
  HWND systemOf = nullptr;  // the window whose system menu this is
};

struct MenuStore {
  std::map<HMENU, std::unique_ptr<Menu>> menus;
  std::map<HMENU, std::unique_ptr<CMenu>> temps;
  std::map<HMENU, CMenu*> perms;
  std::uintptr_t next = 0x30000;
};

MenuStore& M() {
  static auto* s = new MenuStore;
  return *s;
}

Menu* FindMenu(HMENU h) {
  auto it = M().menus.find(h);
  return it == M().menus.end() ? nullptr : it->second.get();
}

HMENU NewMenu(bool popup) {
  MenuStore& s = M();
  s.next += 4;
  HMENU h = reinterpret_cast<HMENU>(s.next);
  auto m = std::make_unique<Menu>();
  m->popup = popup;
  s.menus[h] = std::move(m);
  return h;
}

// The item an operation names, by position or by command (searching the
// sub-menus too, as Windows does).
struct ItemRef {
  Menu* menu = nullptr;
  size_t index = 0;
  HMENU handle = nullptr;
};

bool Locate(HMENU h, UINT item, UINT flags, ItemRef& out, int depth = 0) {
  Menu* m = FindMenu(h);
  if (!m || depth > 16) return false;
  if (flags & MF_BYPOSITION) {
    if (item >= m->items.size()) return false;
    out = ItemRef{m, item, h};
    return true;
  }
  for (size_t i = 0; i < m->items.size(); ++i) {
    const MenuItem& it = m->items[i];
    if (!(it.flags & MF_POPUP) && it.id == item) {
      out = ItemRef{m, i, h};
      return true;
    }
  }
  for (size_t i = 0; i < m->items.size(); ++i) {
    const MenuItem& it = m->items[i];
    if ((it.flags & MF_POPUP) && Locate(it.sub, item, flags, out, depth + 1)) return true;
  }
  // A pop-up item may be named by its handle as command.
  for (size_t i = 0; i < m->items.size(); ++i) {
    const MenuItem& it = m->items[i];
    if ((it.flags & MF_POPUP) && reinterpret_cast<UINT_PTR>(it.sub) == item) {
      out = ItemRef{m, i, h};
      return true;
    }
  }
  return false;
}

constexpr UINT kTypeBits = MF_BITMAP | MF_OWNERDRAW | MF_SEPARATOR | MF_MENUBREAK | MF_MENUBARBREAK | MF_POPUP |
                           MF_HELP | MFT_RADIOCHECK;
constexpr UINT kStateBits = MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_HILITE | MF_DEFAULT;

MenuItem MakeItem(UINT flags, UINT_PTR idOrPopup, LPCTSTR text) {
  MenuItem it;
  it.flags = flags & (kTypeBits | kStateBits);
  if (flags & MF_POPUP) {
    it.sub = reinterpret_cast<HMENU>(idOrPopup);
  } else {
    it.id = static_cast<UINT>(idOrPopup);
  }
  if (flags & MF_OWNERDRAW) {
    it.data = reinterpret_cast<ULONG_PTR>(text);
  } else if (flags & MF_BITMAP) {
    it.bitmap = reinterpret_cast<HBITMAP>(const_cast<char*>(text));
  } else if (!(flags & MF_SEPARATOR) && text) {
    it.text = text;
  }
  return it;
}

HMENU BuildFromTemplate(const std::vector<QmMenuItem>& items, bool popup) {
  HMENU h = NewMenu(popup);
  for (const QmMenuItem& t : items) {
    if (t.IsPopup()) {
      HMENU sub = BuildFromTemplate(t.items, true);
      AppendMenu(h, (t.flags & ~MF_END) | MF_POPUP, reinterpret_cast<UINT_PTR>(sub), t.text);
    } else if (t.IsSeparator()) {
      AppendMenu(h, MF_SEPARATOR, 0, nullptr);
    } else {
      AppendMenu(h, t.flags & ~MF_END, t.id, t.text);
    }
  }
  return h;
}

// Qt's side of menus.
QmPopupMenuHook g_popupHook;

bool NoDisplay() {
  const QString p = QGuiApplication::platformName();
  return p == QLatin1String("offscreen") || p == QLatin1String("minimal");
}

void FillQMenu(QMenu* q, HMENU h, HWND owner, bool postCommands);

void ConnectPopup(QMenu* q, HMENU sub, HWND owner, int index, bool postCommands) {
  QObject::connect(q, &QMenu::aboutToShow, q, [q, sub, owner, index, postCommands] {
    if (Find(owner)) {
      EnterDispatch();
      Send(owner, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(sub), MAKELPARAM(static_cast<WORD>(index), 0));
      LeaveDispatch();
    }
    FillQMenu(q, sub, owner, postCommands);
  });
}

void FillQMenu(QMenu* q, HMENU h, HWND owner, bool postCommands) {
  q->clear();
  Menu* m = FindMenu(h);
  if (!m) return;
  for (size_t i = 0; i < m->items.size(); ++i) {
    const MenuItem& it = m->items[i];
    const bool enabled = !(it.flags & (MF_GRAYED | MF_DISABLED));
    const bool ownerDrawn = (it.flags & MF_OWNERDRAW) != 0;
    if (it.flags & MF_POPUP) {
      QMenu* sub = NewPopupMenu(q, owner);
      sub->setTitle(ownerDrawn ? QString() : ToQt(it.text));
      q->addMenu(sub);
      sub->setEnabled(enabled);
      if (ownerDrawn) MarkOwnerDrawn(q, sub->menuAction(), h, it.id, it.data, it.flags);
      ConnectPopup(sub, it.sub, owner, static_cast<int>(i), postCommands);
      continue;
    }
    if (ownerDrawn && (it.flags & MF_SEPARATOR)) {
      // Drawn by the owner, never chosen.
      MarkOwnerDrawn(q, q->addSeparator(), h, it.id, it.data, it.flags);
      continue;
    }
    if ((it.flags & MF_SEPARATOR) || (it.id == 0 && it.text.IsEmpty() && !ownerDrawn)) {
      q->addSeparator();
      continue;
    }
    if (it.id == 1 && !ownerDrawn) {
      q->addSection(ToQtMnemonic(it.text, false));
      continue;
    }
    QAction* a = q->addAction(ownerDrawn ? QString() : ToQt(it.text));
    if (ownerDrawn) MarkOwnerDrawn(q, a, h, it.id, it.data, it.flags);
    a->setEnabled(enabled);
    a->setData(QVariant(it.id));
    if (it.flags & MF_CHECKED) {
      a->setCheckable(true);
      a->setChecked(true);
    }
    const UINT id = it.id;
    if (postCommands)
      QObject::connect(a, &QAction::triggered, [owner, id] {
        if (Find(owner)) PostMessage(owner, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), 0), 0);
      });
  }
}

}  // namespace

void FillPopupMenu(QMenu* q, HMENU menu, HWND owner) { FillQMenu(q, menu, owner, false); }

void ShowMenuBar(Window& w) {
  QWidget* wid = w.W();
  if (!wid || w.IsChild()) return;
  if (!w.menu) {
    if (w.menuBar) w.menuBar->hide();
    return;
  }
  if (!w.menuBar) {
    w.menuBar = new QMenuBar(wid);
    w.menuBar->setNativeMenuBar(false);
  }
  QMenuBar* bar = w.menuBar;
  bar->clear();
  const HWND owner = w.hwnd;
  if (Menu* m = FindMenu(w.menu)) {
    for (size_t i = 0; i < m->items.size(); ++i) {
      const MenuItem& it = m->items[i];
      const bool enabled = !(it.flags & (MF_GRAYED | MF_DISABLED));
      if (it.flags & MF_POPUP) {
        QMenu* q = NewPopupMenu(bar, owner);
        q->setTitle(ToQt(it.text));
        bar->addMenu(q);
        q->setEnabled(enabled);
        const HMENU bm = w.menu;
        QObject::connect(q, &QMenu::aboutToShow, q, [owner, bm] {
          if (Find(owner)) Send(owner, WM_INITMENU, reinterpret_cast<WPARAM>(bm), 0);
        });
        ConnectPopup(q, it.sub, owner, static_cast<int>(i), true);
      } else if (!(it.flags & MF_SEPARATOR)) {
        QAction* a = bar->addAction(ToQt(it.text));
        a->setEnabled(enabled);
        const UINT id = it.id;
        QObject::connect(a, &QAction::triggered, [owner, id] {
          if (Find(owner)) PostMessage(owner, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), 0), 0);
        });
      }
    }
  }
  bar->setGeometry(0, 0, wid->width(), GetSystemMetrics(SM_CYMENU));
  bar->setEnabled(!(w.style & WS_DISABLED));
  bar->show();
}

void DestroyMenuBar(Window& w) {
  if (w.menuBar) {
    w.menuBar->hide();
    w.menuBar = nullptr;  // deleted with the widget
  }
}

}  // namespace qmwnd

using namespace qmwnd;

HMENU CreateMenu() { return NewMenu(false); }
HMENU CreatePopupMenu() { return NewMenu(true); }

BOOL IsMenu(HMENU menu) { return FindMenu(menu) != nullptr; }

BOOL DestroyMenu(HMENU menu) {
  Menu* m = FindMenu(menu);
  if (!m) {
    SetLastError(1401);  // ERROR_INVALID_MENU_HANDLE
    return FALSE;
  }
  std::vector<HMENU> subs;
  for (const MenuItem& it : m->items)
    if (it.flags & MF_POPUP) subs.push_back(it.sub);
  M().menus.erase(menu);
  if (auto t = M().temps.find(menu); t != M().temps.end()) {
    t->second->m_hMenu = nullptr;
    M().temps.erase(t);
  }
  if (auto p = M().perms.find(menu); p != M().perms.end()) {
    p->second->m_hMenu = nullptr;
    M().perms.erase(p);
  }
  for (HMENU s : subs) DestroyMenu(s);
  return TRUE;
}

HMENU LoadMenu(HINSTANCE instance, LPCTSTR name) {
  if (!name || !IS_INTRESOURCE(name)) {
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return nullptr;
  }
  const QmMenuTemplate* t =
      LoadMenuTemplate(instance, static_cast<UINT>(reinterpret_cast<std::uintptr_t>(name)));
  if (!t) return nullptr;
  return BuildFromTemplate(t->items, false);
}

BOOL AppendMenu(HMENU menu, UINT flags, UINT_PTR idOrPopup, LPCTSTR text) {
  Menu* m = FindMenu(menu);
  if (!m) {
    SetLastError(1401);
    return FALSE;
  }
  m->items.push_back(MakeItem(flags, idOrPopup, text));
  return TRUE;
}

BOOL InsertMenu(HMENU menu, UINT position, UINT flags, UINT_PTR idOrPopup, LPCTSTR text) {
  Menu* m = FindMenu(menu);
  if (!m) {
    SetLastError(1401);
    return FALSE;
  }
  MenuItem it = MakeItem(flags, idOrPopup, text);
  if (position == static_cast<UINT>(-1)) {
    m->items.push_back(it);
    return TRUE;
  }
  if (flags & MF_BYPOSITION) {
    const size_t at = std::min<size_t>(position, m->items.size());
    m->items.insert(m->items.begin() + static_cast<long>(at), it);
    return TRUE;
  }
  ItemRef r;
  if (!Locate(menu, position, 0, r)) {
    m->items.push_back(it);
    return TRUE;
  }
  r.menu->items.insert(r.menu->items.begin() + static_cast<long>(r.index), it);
  return TRUE;
}

BOOL ModifyMenu(HMENU menu, UINT position, UINT flags, UINT_PTR idOrPopup, LPCTSTR text) {
  ItemRef r;
  if (!Locate(menu, position, flags, r)) return FALSE;
  MenuItem& old = r.menu->items[r.index];
  MenuItem it = MakeItem(flags, idOrPopup, text);
  if ((old.flags & MF_POPUP) && (!(flags & MF_POPUP) || it.sub != old.sub)) DestroyMenu(old.sub);
  old = it;
  return TRUE;
}

BOOL RemoveMenu(HMENU menu, UINT position, UINT flags) {
  ItemRef r;
  if (!Locate(menu, position, flags, r)) return FALSE;
  r.menu->items.erase(r.menu->items.begin() + static_cast<long>(r.index));
  return TRUE;
}

BOOL DeleteMenu(HMENU menu, UINT position, UINT flags) {
  ItemRef r;
  if (!Locate(menu, position, flags, r)) return FALSE;
  const MenuItem it = r.menu->items[r.index];
  r.menu->items.erase(r.menu->items.begin() + static_cast<long>(r.index));
  if (it.flags & MF_POPUP) DestroyMenu(it.sub);
  return TRUE;
}

UINT EnableMenuItem(HMENU menu, UINT item, UINT flags) {
  ItemRef r;
  if (!Locate(menu, item, flags, r)) return static_cast<UINT>(-1);
  MenuItem& it = r.menu->items[r.index];
  const UINT old = it.flags & (MF_GRAYED | MF_DISABLED);
  it.flags = (it.flags & ~(MF_GRAYED | MF_DISABLED)) | (flags & (MF_GRAYED | MF_DISABLED));
  if (r.menu->systemOf && it.id == SC_CLOSE && old != (it.flags & (MF_GRAYED | MF_DISABLED))) {
    if (Window* w = Find(r.menu->systemOf)) UpdateTopLevelFlags(*w);
  }
  return old;
}

DWORD CheckMenuItem(HMENU menu, UINT item, UINT flags) {
  ItemRef r;
  if (!Locate(menu, item, flags, r)) return static_cast<DWORD>(-1);
  MenuItem& it = r.menu->items[r.index];
  const DWORD old = it.flags & MF_CHECKED;
  it.flags = (it.flags & ~MF_CHECKED) | (flags & MF_CHECKED);
  it.radio = false;
  return old;
}

BOOL CheckMenuRadioItem(HMENU menu, UINT first, UINT last, UINT check, UINT flags) {
  bool found = false;
  if (flags & MF_BYPOSITION) {
    Menu* m = FindMenu(menu);
    if (!m) return FALSE;
    for (UINT i = first; i <= last && i < m->items.size(); ++i) {
      MenuItem& it = m->items[i];
      it.flags = (it.flags & ~MF_CHECKED) | (i == check ? MF_CHECKED : 0);
      it.radio = true;
      found = found || i == check;
    }
    return found;
  }
  for (UINT id = first; id <= last; ++id) {
    ItemRef r;
    if (!Locate(menu, id, 0, r)) continue;
    MenuItem& it = r.menu->items[r.index];
    it.flags = (it.flags & ~MF_CHECKED) | (id == check ? MF_CHECKED : 0);
    it.radio = true;
    found = found || id == check;
  }
  return found;
}

int GetMenuItemCount(HMENU menu) {
  Menu* m = FindMenu(menu);
  return m ? static_cast<int>(m->items.size()) : -1;
}

UINT GetMenuItemID(HMENU menu, int pos) {
  Menu* m = FindMenu(menu);
  if (!m || pos < 0 || static_cast<size_t>(pos) >= m->items.size()) return static_cast<UINT>(-1);
  const MenuItem& it = m->items[static_cast<size_t>(pos)];
  if (it.flags & MF_POPUP) return static_cast<UINT>(-1);
  return it.id;
}

HMENU GetSubMenu(HMENU menu, int pos) {
  Menu* m = FindMenu(menu);
  if (!m || pos < 0 || static_cast<size_t>(pos) >= m->items.size()) return nullptr;
  const MenuItem& it = m->items[static_cast<size_t>(pos)];
  return (it.flags & MF_POPUP) ? it.sub : nullptr;
}

UINT GetMenuState(HMENU menu, UINT item, UINT flags) {
  ItemRef r;
  if (!Locate(menu, item, flags, r)) return static_cast<UINT>(-1);
  const MenuItem& it = r.menu->items[r.index];
  UINT s = it.flags & ~MF_POPUP;
  if (it.flags & MF_POPUP) {
    const int n = GetMenuItemCount(it.sub);
    s = (s & 0xFF) | MF_POPUP | (static_cast<UINT>(std::max(n, 0)) << 8);
  }
  return s;
}

int GetMenuString(HMENU menu, UINT item, LPTSTR buf, int size, UINT flags) {
  ItemRef r;
  if (!Locate(menu, item, flags, r)) return 0;
  const CString& t = r.menu->items[r.index].text;
  if (!buf) return t.GetLength();
  if (size <= 0) return 0;
  const int n = std::min(size - 1, t.GetLength());
  std::memcpy(buf, t.GetString(), static_cast<size_t>(n));
  buf[n] = 0;
  return n;
}

BOOL GetMenuItemInfo(HMENU menu, UINT item, BOOL byPosition, LPMENUITEMINFO info) {
  ItemRef r;
  if (!info || !Locate(menu, item, byPosition ? MF_BYPOSITION : 0, r)) return FALSE;
  const MenuItem& it = r.menu->items[r.index];
  if (info->fMask & (MIIM_TYPE | MIIM_FTYPE))
    info->fType = (it.flags & (MF_BITMAP | MF_OWNERDRAW | MF_SEPARATOR | MF_MENUBREAK | MF_MENUBARBREAK | MF_HELP)) |
                  (it.radio ? MFT_RADIOCHECK : 0);
  if (info->fMask & MIIM_STATE) info->fState = it.flags & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_HILITE | MF_DEFAULT);
  if (info->fMask & MIIM_ID) info->wID = it.id;
  if (info->fMask & MIIM_SUBMENU) info->hSubMenu = (it.flags & MF_POPUP) ? it.sub : nullptr;
  if (info->fMask & MIIM_DATA) info->dwItemData = it.data;
  if (info->fMask & (MIIM_STRING | MIIM_TYPE)) {
    if (info->dwTypeData && info->cch > 0) {
      const int n = std::min(static_cast<int>(info->cch) - 1, it.text.GetLength());
      std::memcpy(info->dwTypeData, it.text.GetString(), static_cast<size_t>(n));
      info->dwTypeData[n] = 0;
      info->cch = static_cast<UINT>(n);
    } else {
      info->cch = static_cast<UINT>(it.text.GetLength());
    }
  }
  if (info->fMask & MIIM_BITMAP) info->hbmpItem = it.bitmap;
  if (info->fMask & MIIM_CHECKMARKS) {
    info->hbmpChecked = it.checkedMark;
    info->hbmpUnchecked = it.uncheckedMark;
  }
  return TRUE;
}

BOOL SetMenuItemInfo(HMENU menu, UINT item, BOOL byPosition, LPCMENUITEMINFO info) {
  ItemRef r;
  if (!info || !Locate(menu, item, byPosition ? MF_BYPOSITION : 0, r)) return FALSE;
  MenuItem& it = r.menu->items[r.index];
  if (info->fMask & (MIIM_TYPE | MIIM_FTYPE)) {
    const UINT keep = it.flags & (MF_POPUP | kStateBits);
    it.flags = keep | (info->fType & (MF_BITMAP | MF_OWNERDRAW | MF_SEPARATOR | MF_MENUBREAK | MF_MENUBARBREAK | MF_HELP));
    it.radio = (info->fType & MFT_RADIOCHECK) != 0;
  }
  if (info->fMask & MIIM_STATE)
    it.flags = (it.flags & ~kStateBits) | (info->fState & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_HILITE | MF_DEFAULT));
  if (info->fMask & MIIM_ID) it.id = info->wID;
  if (info->fMask & MIIM_SUBMENU) {
    it.sub = info->hSubMenu;
    if (it.sub) it.flags |= MF_POPUP;
    else it.flags &= ~MF_POPUP;
  }
  if (info->fMask & MIIM_DATA) it.data = info->dwItemData;
  if ((info->fMask & MIIM_STRING) || ((info->fMask & MIIM_TYPE) && !(info->fType & (MF_BITMAP | MF_OWNERDRAW | MF_SEPARATOR))))
    it.text = info->dwTypeData ? info->dwTypeData : "";
  if (info->fMask & MIIM_BITMAP) it.bitmap = info->hbmpItem;
  if (info->fMask & MIIM_CHECKMARKS) {
    it.checkedMark = info->hbmpChecked;
    it.uncheckedMark = info->hbmpUnchecked;
  }
  return TRUE;
}

BOOL SetMenuItemBitmaps(HMENU menu, UINT position, UINT flags, HBITMAP unchecked, HBITMAP checked) {
  ItemRef r;
  if (!Locate(menu, position, flags, r)) return FALSE;
  MenuItem& it = r.menu->items[r.index];
  it.uncheckedMark = unchecked;
  it.checkedMark = checked;
  return TRUE;
}

HBITMAP QmMenuRadioDot() {
  // A round dot, black on white, as the framework marks radio items.
  static HBITMAP dot = [] {
    static const WORD rows[8] = {0xFF, 0xE7, 0xC3, 0x81, 0x81, 0xC3, 0xE7, 0xFF};
    WORD bits[8];
    for (int i = 0; i < 8; ++i) bits[i] = static_cast<WORD>(rows[i] | 0xFF00);
    return CreateBitmap(8, 8, 1, 1, bits);
  }();
  return dot;
}

BOOL SetMenu(HWND hwnd, HMENU menu) {
  Window* w = Find(hwnd);
  if (!w || w->IsChild()) {
    SetLastError(1400);
    return FALSE;
  }
  if (menu && !FindMenu(menu)) {
    SetLastError(1401);
    return FALSE;
  }
  const QSize before = ClientRectInWidget(*w).size();
  w->menu = menu;
  ShowMenuBar(*w);
  RelayoutNonClient(*w);
  if (ClientRectInWidget(*w).size() != before && w->createdDone) {
    InvalidateClient(*w, QRegion(QRect(QPoint(0, 0), ClientRectInWidget(*w).size())), true);
    SendSizeMove(*w, false);
  }
  return TRUE;
}

HMENU GetMenu(HWND hwnd) {
  Window* w = Find(hwnd);
  return w && !w->IsChild() ? w->menu : nullptr;
}

BOOL DrawMenuBar(HWND hwnd) {
  Window* w = Find(hwnd);
  if (!w) return FALSE;
  ShowMenuBar(*w);
  return TRUE;
}

HMENU GetSystemMenu(HWND hwnd, BOOL revert) {
  Window* w = Find(hwnd);
  if (!w) return nullptr;
  if (revert) {
    if (w->sysMenu) {
      DestroyMenu(w->sysMenu);
      w->sysMenu = nullptr;
      UpdateTopLevelFlags(*w);
    }
    return nullptr;
  }
  if (!w->sysMenu) {
    HMENU h = NewMenu(true);
    FindMenu(h)->systemOf = hwnd;
    AppendMenu(h, MF_STRING, SC_RESTORE, "&Restore");
    AppendMenu(h, MF_STRING, SC_MOVE, "&Move");
    AppendMenu(h, MF_STRING, SC_SIZE, "&Size");
    AppendMenu(h, MF_STRING, SC_MINIMIZE, "Mi&nimize");
    AppendMenu(h, MF_STRING, SC_MAXIMIZE, "Ma&ximize");
    AppendMenu(h, MF_SEPARATOR, 0, nullptr);
    AppendMenu(h, MF_STRING, SC_CLOSE, "&Close\tAlt+F4");
    w->sysMenu = h;
  }
  return w->sysMenu;
}

bool IsSysCloseEnabled(HWND hwnd) {
  Window* w = Find(hwnd);
  if (!w) return false;
  if (w->cls && (w->cls->wc.style & CS_NOCLOSE)) return false;
  if (!w->sysMenu) return true;
  ItemRef r;
  if (!Locate(w->sysMenu, SC_CLOSE, 0, r)) return true;
  return !(r.menu->items[r.index].flags & (MF_GRAYED | MF_DISABLED));
}

BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int, HWND owner, LPCRECT) {
  if (!FindMenu(menu) || !Find(owner)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  EnterDispatch();
  if (!(flags & TPM_NONOTIFY)) Send(owner, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), 0);
  UINT chosen = 0;
  if (g_popupHook) {
    QmPopupMenuHook hook = g_popupHook;
    chosen = hook(menu, x, y, owner);
  } else if (NoDisplay()) {
    std::fprintf(stderr, "TrackPopupMenu: no display to show the menu on; nothing chosen\n");
  } else if (Find(owner)) {
    std::unique_ptr<QMenu> q(NewPopupMenu(Find(owner)->W(), owner));
    FillQMenu(q.get(), menu, owner, false);
    QAction* a = q->exec(QPoint(x, y));
    if (a) chosen = a->data().toUInt();
  }
  LeaveDispatch();
  if (flags & TPM_RETURNCMD) return static_cast<BOOL>(chosen);
  if (chosen && Find(owner)) PostMessage(owner, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(chosen), 0), 0);
  return chosen != 0;
}

void QmSetPopupMenuHook(QmPopupMenuHook hook) { g_popupHook = std::move(hook); }

// ---------------------------------------------------------------------------
// CMenu.

IMPLEMENT_DYNCREATE(CMenu, CObject)

CMenu::~CMenu() {
  if (m_hMenu) DestroyMenu();
}

CMenu* CMenu::FromHandle(HMENU hMenu) {
  if (!hMenu || !FindMenu(hMenu)) return nullptr;
  MenuStore& s = M();
  if (auto p = s.perms.find(hMenu); p != s.perms.end()) return p->second;
  auto& t = s.temps[hMenu];
  if (!t) {
    t = std::make_unique<CMenu>();
    t->m_hMenu = hMenu;
  }
  return t.get();
}

BOOL CMenu::Attach(HMENU hMenu) {
  if (!hMenu || m_hMenu) return FALSE;
  m_hMenu = hMenu;
  M().perms[hMenu] = this;
  return TRUE;
}

HMENU CMenu::Detach() {
  HMENU h = m_hMenu;
  if (h) {
    auto it = M().perms.find(h);
    if (it != M().perms.end() && it->second == this) M().perms.erase(it);
  }
  m_hMenu = nullptr;
  return h;
}

BOOL CMenu::CreateMenu() { return Attach(::CreateMenu()); }
BOOL CMenu::CreatePopupMenu() { return Attach(::CreatePopupMenu()); }
BOOL CMenu::LoadMenu(UINT nIDResource) { return Attach(::LoadMenu(AfxGetResourceHandle(), MAKEINTRESOURCE(nIDResource))); }
BOOL CMenu::LoadMenu(LPCTSTR lpszResourceName) { return Attach(::LoadMenu(AfxGetResourceHandle(), lpszResourceName)); }
BOOL CMenu::DestroyMenu() {
  if (!m_hMenu) return FALSE;
  HMENU h = Detach();
  return ::DestroyMenu(h);
}

BOOL CMenu::AppendMenu(UINT nFlags, UINT_PTR nIDNewItem, LPCTSTR lpszNewItem) {
  return ::AppendMenu(m_hMenu, nFlags, nIDNewItem, lpszNewItem);
}
BOOL CMenu::InsertMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem, LPCTSTR lpszNewItem) {
  return ::InsertMenu(m_hMenu, nPosition, nFlags, nIDNewItem, lpszNewItem);
}
BOOL CMenu::ModifyMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem, LPCTSTR lpszNewItem) {
  return ::ModifyMenu(m_hMenu, nPosition, nFlags, nIDNewItem, lpszNewItem);
}
BOOL CMenu::RemoveMenu(UINT nPosition, UINT nFlags) { return ::RemoveMenu(m_hMenu, nPosition, nFlags); }
BOOL CMenu::DeleteMenu(UINT nPosition, UINT nFlags) { return ::DeleteMenu(m_hMenu, nPosition, nFlags); }
UINT CMenu::EnableMenuItem(UINT nIDEnableItem, UINT nEnable) { return ::EnableMenuItem(m_hMenu, nIDEnableItem, nEnable); }
UINT CMenu::CheckMenuItem(UINT nIDCheckItem, UINT nCheck) { return ::CheckMenuItem(m_hMenu, nIDCheckItem, nCheck); }
BOOL CMenu::CheckMenuRadioItem(UINT nIDFirst, UINT nIDLast, UINT nIDItem, UINT nFlags) {
  return ::CheckMenuRadioItem(m_hMenu, nIDFirst, nIDLast, nIDItem, nFlags);
}
UINT CMenu::GetMenuItemCount() const { return static_cast<UINT>(::GetMenuItemCount(m_hMenu)); }
UINT CMenu::GetMenuItemID(int nPos) const { return ::GetMenuItemID(m_hMenu, nPos); }
UINT CMenu::GetMenuState(UINT nID, UINT nFlags) const { return ::GetMenuState(m_hMenu, nID, nFlags); }
int CMenu::GetMenuString(UINT nIDItem, LPTSTR lpString, int nMaxCount, UINT nFlags) const {
  return ::GetMenuString(m_hMenu, nIDItem, lpString, nMaxCount, nFlags);
}
int CMenu::GetMenuString(UINT nIDItem, CString& rString, UINT nFlags) const {
  const int n = ::GetMenuString(m_hMenu, nIDItem, nullptr, 0, nFlags);
  std::string buf(static_cast<size_t>(n) + 1, '\0');
  ::GetMenuString(m_hMenu, nIDItem, buf.data(), n + 1, nFlags);
  buf.resize(static_cast<size_t>(n));
  rString = CString(buf);
  return n;
}
BOOL CMenu::GetMenuItemInfo(UINT uItem, LPMENUITEMINFO info, BOOL fByPos) {
  return ::GetMenuItemInfo(m_hMenu, uItem, fByPos, info);
}
BOOL CMenu::SetMenuItemInfo(UINT uItem, LPCMENUITEMINFO info, BOOL fByPos) {
  return ::SetMenuItemInfo(m_hMenu, uItem, fByPos, info);
}
BOOL CMenu::SetMenuItemBitmaps(UINT nPosition, UINT nFlags, const CBitmap* pBmpUnchecked, const CBitmap* pBmpChecked) {
  return ::SetMenuItemBitmaps(m_hMenu, nPosition, nFlags,
                              pBmpUnchecked ? static_cast<HBITMAP>(pBmpUnchecked->m_hObject) : nullptr,
                              pBmpChecked ? static_cast<HBITMAP>(pBmpChecked->m_hObject) : nullptr);
}
CMenu* CMenu::GetSubMenu(int nPos) const { return FromHandle(::GetSubMenu(m_hMenu, nPos)); }
BOOL CMenu::TrackPopupMenu(UINT nFlags, int x, int y, CWnd* pWnd, LPCRECT lpRect) {
  return ::TrackPopupMenu(m_hMenu, nFlags, x, y, 0, QmHwnd(pWnd), lpRect);
}
void CMenu::DrawItem(LPDRAWITEMSTRUCT) {}
void CMenu::MeasureItem(LPMEASUREITEMSTRUCT) {}
