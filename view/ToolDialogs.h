// How the design view reaches the windows built above it: the modeless tool
// windows that take the view's mouse while they are open, the mirror
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
#include "view/MouseTool.h"

class CTabView;
class CWnd;

// A tool window kept in a slot of the view: while it is open it is the
// view's mouse tool (the drawing tools wait), and it may draw over the
// design picture after every paint of it.
class IViewToolDialog : public IViewMouseTool {
 public:
  virtual void DrawOverDesign(CDC* dc) { (void)dc; }
};

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
  std::function<IViewToolDialog*(CTabView* view)> openEditColorGroup;
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
