// Helpers of the colour, properties, palette, column and symbol dialog
// tests: a frame with a real design view, palettes with chosen usage, and
// the checked pictures of live dialogs.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "design/Pattern.h"
#include "palette/ColorSet.h"
#include "platform/wnd.h"

class CTabView;

namespace adjusttest {

// A frame window with one design view that is the active view for the
// lower levels; both go with the object.
class CViewFrame {
 public:
  CViewFrame();
  ~CViewFrame();
  CViewFrame(const CViewFrame&) = delete;
  CViewFrame& operator=(const CViewFrame&) = delete;
  CTabView* View() { return view_; }
  CFrameWnd* Frame() { return frame_; }

 private:
  CFrameWnd* frame_ = nullptr;
  CTabView* view_ = nullptr;
};

// A palette of colours whose usage counts are given (0: not used); every
// colour in use, names "C<n>", distinct greyish colours.
CColorSet MakeCountedPalette(const std::vector<unsigned>& counts);

// A loom design of columns x rows beads of 0.1 inch, every bead present in
// colour (column + row) % colours.
CPattern MakeGridDesign(int columns, int rows, int colours);
// The design and palette become the view's, rendered.
void PutDesign(CTabView* view, const CPattern& design, const CColorSet& palette, const CString& palettePath);

CString Text(HWND window);
bool Shown(HWND window);
bool Enabled(HWND window);

// Checks the live dialog's layout (no problem expected) and pictures it as
// build/shots/<en|ru>/<name>.png.
void CheckAndShoot(HWND dialog, bool russian, const std::string& name);

}  // namespace adjusttest

// The window layer's test entry points (declared in platform/wnd/host.h,
// which brings Qt's headers along).
using QmModalHook = std::function<void(HWND dialog)>;
void QmSetModalHook(QmModalHook hook);
void QmPumpMessages(int maxMs);
void QmSendMouse(HWND hwnd, UINT message, POINT client, UINT flags);
