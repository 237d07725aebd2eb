// Inside the common controls: the widget of the controls that the stand-in
// draws itself (list views, headers, trees, sliders, up-down controls,
// progress bars, hot-key controls, list and combo boxes), where each keeps
// its state, and the helpers they share. Only platform code includes this
// header (it uses Qt).
#pragma once

#include <QWidget>

#include <memory>
#include <string>

#include "platform/gdi/afxgdi.h"
#include "platform/wnd/commctrl.h"
#include "platform/wnd/internal.h"

namespace qmwnd::cc {

// The state a control class keeps for one of its windows.
struct CtlState {
  virtual ~CtlState() = default;
};

// The widget of a drawn control: painting, input and everything else arrive
// as window messages; the widget only carries the state, which lives as long
// as the widget (freed at a safe point after the window is destroyed).
class DrawnWidget : public QWidget {
 public:
  DrawnWidget(QWidget* parent, Qt::WindowFlags flags, std::unique_ptr<CtlState> state);
  CtlState* State() const { return state_.get(); }

 protected:
  // Input never travels on to the parent widget: the window messages have
  // been sent already.
  bool event(QEvent* e) override;

 private:
  std::unique_ptr<CtlState> state_;
};

// The state of a window of a drawn control class, or null.
template <class S>
S* StateOf(HWND hwnd) {
  auto* w = dynamic_cast<DrawnWidget*>(QmWidgetOf(hwnd));
  return w ? dynamic_cast<S*>(w->State()) : nullptr;
}

// The base of the drawn control classes.
class DrawnClass : public QmControlClass {
 public:
  bool QtPaints(HWND) override { return false; }
  void FontChanged(HWND, QWidget*, const QFont&) override {}

 protected:
  // A widget with the given state; focusable controls take the focus on a
  // click and with the Tab key (WS_TABSTOP).
  static QWidget* MakeWidget(const CREATESTRUCT& cs, QWidget* parent, std::unique_ptr<CtlState> state,
                             bool focusable);
};

// Window facts.
DWORD StyleOf(HWND hwnd);
DWORD ExStyleOf(HWND hwnd);
bool Enabled(HWND hwnd);
bool Focused(HWND hwnd);
int CtlId(HWND hwnd);
HWND ParentOf(HWND hwnd);
RECT ClientOf(HWND hwnd);
// The window's font, or the default GUI font.
HFONT FontOf(HWND hwnd);
// The metrics of a font (screen DC).
TEXTMETRIC MetricsOf(HFONT font);
// Width of a text in a font (screen DC).
int TextWidth(HFONT font, const CString& text);

// Notifications to the parent: WM_NOTIFY with the header filled in (the
// answer of the parent), WM_COMMAND with a code.
LRESULT Notify(HWND from, UINT code, NMHDR* nm);
void Command(HWND from, UINT code);
// WM_HSCROLL / WM_VSCROLL from a control to its parent.
void ScrollToParent(HWND from, bool vertical, UINT code, int pos);

// Drawing.
void FillSolid(HDC dc, const RECT& r, COLORREF c);
void Frame(HDC dc, const RECT& r, COLORREF c);
void LineH(HDC dc, int x0, int x1, int y, COLORREF c);
void LineV(HDC dc, int x, int y0, int y1, COLORREF c);
// Text in a rectangle, single line, vertically centred, cut with "...".
void DrawCellText(HDC dc, const CString& text, RECT r, UINT align);
// A small solid triangle (arrows of drop buttons and up-down buttons).
void Arrow(HDC dc, int cx, int cy, int size, int direction, COLORREF c);  // 0 up, 1 down, 2 left, 3 right

// Paints a window with its class's painter inside BeginPaint / EndPaint,
// the window's font selected.
template <class F>
void Paint(HWND hwnd, F&& paint) {
  PAINTSTRUCT ps{};
  HDC dc = BeginPaint(hwnd, &ps);
  if (!dc) return;
  HGDIOBJ old = SelectObject(dc, FontOf(hwnd));
  paint(dc, ps.rcPaint);
  SelectObject(dc, old);
  EndPaint(hwnd, &ps);
}

// Texts compared as a person reads them, ignoring case.
int CompareNoCase(const CString& a, const CString& b);

// Where a scroll message (code of WM_VSCROLL / WM_HSCROLL) takes a window's
// first shown line from cur, by its own scroll bar's range and page (line:
// the step of one line). false for codes that do not move.
bool ScrollTarget(HWND hwnd, int bar, UINT code, int cur, int line, int* to);

// One notch of the wheel (WHEEL_DELTA) scrolls a list three lines.
constexpr int kWheelDeltaPerLine = WHEEL_DELTA / 3;

// The lines a WM_MOUSEWHEEL (its wParam) moves a list's first shown line:
// positive (down) when the wheel turns toward the user.
inline int WheelScrollLines(WPARAM wParam) { return -(GET_WHEEL_DELTA_WPARAM(wParam) / kWheelDeltaPerLine); }

// Where a WM_VSCROLL, WM_HSCROLL (one line a step) or WM_MOUSEWHEEL takes a
// list's first shown line from cur. false for scroll codes that do not move;
// the caller clamps the result.
bool ScrolledFirstLine(HWND hwnd, UINT message, WPARAM wParam, int cur, int* to);

// Redraws the whole client area (or a part) later.
void Redraw(HWND hwnd, const RECT* part = nullptr);

// Scroll bars of the window's own (WS_VSCROLL / WS_HSCROLL): range, page and
// position; shown only while the range exceeds the page.
void SetBar(HWND hwnd, int bar, int min, int max, int page, int pos);

// A combo box's item store, shared with its dropped list.
struct ComboItems;

// Registration of the drawn control classes.
void RegisterListViewClasses();
void RegisterTreeClass();
void RegisterBarClasses();     // slider, up-down, progress, hot key
void RegisterListBoxClass();
void RegisterComboClasses();   // combo box, its dropped list, extended combo
void RegisterRichEditClass();

}  // namespace qmwnd::cc
