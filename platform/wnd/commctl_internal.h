// Inside the window stand-in: what the tab, tooltip, toolbar and status bar
// classes, the owner-drawn menus, the property sheets and the common
// dialogs share. Only platform code includes this header (it uses Qt).
#pragma once

#include <QImage>
#include <QWidget>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/wnd/bars.h"
#include "platform/wnd/internal.h"

class QMenu;
class QAction;
struct ITEMIDLIST;

namespace qmwnd {

// Registers the tab, tooltip, toolbar and status bar window classes
// (called once with the built-in classes).
void RegisterBarClasses();

// WM_NOTIFY from a control to its parent (hwndFrom, idFrom and code filled
// in); the parent's answer.
LRESULT NotifyParent(HWND control, UINT code, NMHDR* nm);
// The font a control draws with: its WM_SETFONT font or the GUI font.
HFONT ControlFont(HWND hwnd);

// Bars: the borders and CBRS_ style the bar's buttons or panes lie inside;
// the size a toolbar takes with a set of button records (their wrap and
// hidden states); a status bar's height for its font.
void SetBarFrame(HWND bar, const RECT& borders, DWORD barStyle);
SIZE ToolbarLayoutSize(HWND toolbar, const std::vector<TBBUTTON>& buttons);
int StatusBarHeight(HWND bar);

// Per-window state of a control class, dropped with the window.
template <class T>
class StateTable {
 public:
  T* Get(HWND hwnd) {
    auto it = map_.find(hwnd);
    return it == map_.end() ? nullptr : it->second.get();
  }
  T& Make(HWND hwnd) {
    auto& p = map_[hwnd];
    if (!p) p = std::make_unique<T>();
    return *p;
  }
  void Drop(HWND hwnd) { map_.erase(hwnd); }

 private:
  std::map<HWND, std::unique_ptr<T>> map_;
};

// The widget of a control this layer paints itself (through WM_PAINT):
// opaque, taking focus as told.
QWidget* NewPaintedWidget(QWidget* parent, Qt::FocusPolicy focus, Qt::WindowFlags flags = {});

// A device context over a picture (owner-drawn menu items, tests). The
// device's point (0, 0) is the picture's point origin.
HDC CreateImageDC(QImage* image, QPoint origin = QPoint(0, 0));

// Pop-up menus: a QMenu whose owner-drawn items are measured and drawn by
// the owner window (WM_MEASUREITEM, WM_DRAWITEM).
QMenu* NewPopupMenu(QWidget* parent, HWND owner);
void MarkOwnerDrawn(QMenu* in, QAction* action, HMENU menu, UINT id, ULONG_PTR data, UINT flags);
// The menu whose item the owner is being asked to measure (for the
// default WM_MEASUREITEM handling, which passes it to the CMenu object).
HMENU MeasuringMenu();

// A text of this layer in the interface language: English, or Russian
// (given in UTF-8) when the interface code page is 1251.
CString UiText(const char* english, const char* russianUtf8);

// The interface language's Qt translations (Qt's own dialogs).
void EnsureQtTranslations();

// Item id lists of the shell: one item holding a UTF-8 path.
::ITEMIDLIST* MakeIdList(const std::string& utf8Path);
bool IdListPath(const ::ITEMIDLIST* list, std::string* utf8Path);

// Low-level mouse hooks: a press seen by the application.
void CallMouseHooks(UINT message, POINT screen);

}  // namespace qmwnd
