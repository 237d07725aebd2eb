// A design view in a frame with a recording control pane, for the tool
// windows that work on the view's design: mouse over cells, message boxes
// answered and recorded, and bead comparisons.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "design/Pattern.h"
#include "palette/ColorSet.h"
#include "platform/wnd.h"
#include "platform/wnd/host.h"
#include "tests/common/test_util.h"
#include "tests/dialogs/tooldlg_view.h"
#include "view/TabView.h"

namespace tooltest {

class CRecordingPane : public IViewToolSource {
 public:
  int GetCurrentTool() override { return 0; }
  int GetPenColor() override { return 0; }
  void SelectColor(const CRgbTriple&) override {}
  void RefreshColorList() override { ++refreshes; }
  void HideOriginalOverlay() override {}
  void UpdateOriginalControls() override {}
  HWND GetPaneWindow() override { return nullptr; }
  int refreshes = 0;
};

// A palette of the colours (all in use), named C0, C1, ...
CColorSet MakePalette(const std::vector<COLORREF>& colors);
// columns x rows loom beads of one inch, every bead of the colour.
CPattern MakeDesign(int columns, int rows, int color = 0);

class ToolDialogTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  virtual bool Russian() const { return false; }
  // Switches the language pack (the old one is closed first).
  void UseLanguage(bool russian);

  // Puts the design into the view with the palette, rendered and painted.
  void PutDesign(const CPattern& design, const std::vector<COLORREF>& colors);
  // The window point of a cell's centre (row from the top).
  POINT CellPoint(int column, int row);
  void Press(int column, int row, UINT flags = MK_LBUTTON);
  void Move(int column, int row, UINT flags = MK_LBUTTON);
  void Release(int column, int row, UINT flags = 0);
  void Drag(int c0, int r0, int c1, int r1);
  // Colour index of a cell, -2 when the bead is removed.
  int At(int column, int row);
  // The view's pixel at a cell's centre.
  COLORREF PixelAt(int column, int row);
  CPattern& Design() { return *view->GetPattern(); }
  // Message boxes shown since the last call (their texts), emptied.
  std::vector<std::string> TakeMessages();

  std::unique_ptr<qmtest::LanguagePack> pack;
  CFrameWnd* frame = nullptr;
  CTabView* view = nullptr;
  CRecordingPane pane;
  std::vector<std::string> messages;
  UINT codePage = 1252;
};

// Same stored colour index and present flag for every bead.
::testing::AssertionResult SameBeads(const CPattern& a, const CPattern& b);

}  // namespace tooltest
