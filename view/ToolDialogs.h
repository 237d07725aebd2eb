// How the design view reaches the windows built above it: the six modeless
// tool windows that take the view's mouse while they are open, the mirror
// and edit-colour-group dialogs, the translucent original-picture overlay,
// and the control pane's tool and colour choice. The dialogs implement these
// small interfaces; the application installs the factories at start-up.
// Tests give fakes.
#pragma once

#include <functional>

#include "core/RgbTriple.h"
#include "design/Pattern.h"
#include "platform/base.h"
#include "platform/gdi.h"

class CTabView;
class CWnd;

// Any tool window kept in a slot of the view.
class IViewToolDialog {
 public:
  virtual ~IViewToolDialog() = default;
};

// The text-by-beads window: mouse events as cells (column, row from the top).
class ITextToolDialog : public IViewToolDialog {
 public:
  virtual void OnViewLButtonDown(UINT flags, int column, int row) = 0;
  virtual void OnViewMouseMove(UINT flags, int column, int row) = 0;
  virtual void OnViewLButtonUp(UINT flags, int column, int row) = 0;
};

// The rows-and-columns window: cells, and its selection drawn over the
// design picture after every paint.
class IRowsColumnsToolDialog : public IViewToolDialog {
 public:
  virtual void OnViewLButtonDown(int column, int row) = 0;
  virtual void OnViewMouseMove(int column, int row) = 0;
  virtual void OnViewLButtonUp(int column, int row) = 0;
  virtual void DrawSelection(CDC* dc) = 0;
};

// The partial-design window (a bead selector): hits with flags and point.
class IBeadSelectorToolDialog : public IViewToolDialog {
 public:
  virtual void OnViewLButtonDown(UINT flags, POINT point, const CBeadHit& hit) = 0;
  virtual void OnViewMouseMove(UINT flags, POINT point, const CBeadHit& hit) = 0;
  virtual void OnViewLButtonUp(UINT flags, POINT point, const CBeadHit& hit) = 0;
};

// The separated-beads window: left presses and right presses without Shift.
class ISeparatedBeadsToolDialog : public IViewToolDialog {
 public:
  virtual void OnViewLButtonDown(UINT flags, POINT point, const CBeadHit& hit) = 0;
  virtual void OnViewRButtonDown(UINT flags, POINT point, const CBeadHit& hit) = 0;
};

// The edit-colour-group window: the colour of a right-clicked bead.
class IEditColorGroupToolDialog : public IViewToolDialog {
 public:
  virtual void OnViewRButtonDown(const CRgbTriple& color) = 0;
};

// The interesting-colours window takes no mouse; it only suspends the tools.
class IInterestingColorsToolDialog : public IViewToolDialog {};

// The translucent original picture over the design picture.
class ILayerOverlay {
 public:
  virtual ~ILayerOverlay() = default;
  virtual void SetAlpha(BYTE alpha) = 0;
  virtual void ResetPlacement() = 0;
  virtual void FitToViewImage() = 0;
  // Closes the window; the pane deletes the object afterwards.
  virtual void Close() = 0;
};

// What the application installs.
struct CViewDialogFactories {
  // Runs the modal mirror dialog (template of the mirror dialog) over the
  // view; it posts `message` to the view (wParam horizontal, lParam
  // vertical) whenever the user picks an option. Answers IDOK or IDCANCEL.
  std::function<int(CTabView* view, UINT message)> runMirror;
  // Creates and shows the modeless edit-colour-group window (template 157,
  // 158 on small screens) over the view's design; null on failure.
  std::function<IEditColorGroupToolDialog*(CTabView* view)> openEditColorGroup;
  // Creates and shows the overlay from a bitmap at the alpha, beside the
  // pane, over the view; null on failure.
  std::function<ILayerOverlay*(HBITMAP bitmap, BYTE alpha, CWnd* pane, CTabView* view)> createOverlay;
};
void SetViewDialogFactories(CViewDialogFactories factories);
const CViewDialogFactories& GetViewDialogFactories();

// The control pane's answers for the view's mouse tools (the pane
// implements it; tests give their own).
class IViewToolSource {
 public:
  virtual ~IViewToolSource() = default;
  // 0 pencil, 1 line, 2 rectangle, 3 filled rectangle, 4 ellipse, 5 filled
  // ellipse, 6 filled area, 9 erase.
  virtual int GetCurrentTool() = 0;
  // The palette index selected in the colour list, -1 for none.
  virtual int GetPenColor() = 0;
  virtual void SelectColor(const CRgbTriple& color) = 0;
  virtual void RefreshColorList() = 0;
  virtual void HideOriginalOverlay() = 0;
  virtual void UpdateOriginalControls() = 0;
  // The window that receives "MsgTabViewSizeChanged"; null for none.
  virtual HWND GetPaneWindow() = 0;
};

// The status-bar side of the view: the first pane's text, and alerts that
// the status bar blinks (kind 0 red, 1 green). Installed by the application;
// without a hook nothing is shown.
using ViewStatusTextHook = std::function<void(const CString& text)>;
using ViewStatusAlertHook = std::function<void(const CString& text, int kind)>;
void SetViewStatusHooks(ViewStatusTextHook text, ViewStatusAlertHook alert);
void ShowViewStatusText(const CString& text);
void ShowViewStatusAlert(const CString& text, int kind);

// Set by the application while it starts: the empty view draws nothing.
void SetViewAppStarting(bool starting);
bool IsViewAppStarting();
