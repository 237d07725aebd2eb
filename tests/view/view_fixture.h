// A design view in a frame window, driven by mouse messages, with a fake
// control pane (tool, pen colour) and the status texts recorded.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/wnd.h"
#include "platform/wnd/host.h"
#include "tests/common/test_util.h"
#include "tests/view/view_test_util.h"
#include "view/TabView.h"

namespace viewtest {

class FakePane : public IViewToolSource {
 public:
  int GetCurrentTool() override { return tool; }
  int GetPenColor() override { return pen; }
  void SelectColor(const CRgbTriple& color) override { selected.push_back(color.GetColorref()); }
  void RefreshColorList() override { ++refreshes; }
  void HideOriginalOverlay() override { ++hides; }
  void UpdateOriginalControls() override { ++updates; }
  HWND GetPaneWindow() override { return window; }

  int tool = 0;
  int pen = 0;
  std::vector<COLORREF> selected;
  int refreshes = 0;
  int hides = 0;
  int updates = 0;
  HWND window = nullptr;
};

class CViewTestFrame : public CFrameWnd {
 public:
  std::vector<UINT> commands;

 protected:
  afx_msg void OnNew() { commands.push_back(32000); }
  afx_msg void OnOpen() { commands.push_back(32001); }
  DECLARE_MESSAGE_MAP()
};

class ViewTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Puts a design into the view (palette of three colours), renders it
  // fitted to the window and paints.
  void PutDesign(CPattern design);
  // The centre of a cell (column, row from the top) in the window.
  POINT CellPoint(int column, int row);
  // Mouse messages as the user gives them.
  void Press(int column, int row, UINT flags = MK_LBUTTON);
  void Move(int column, int row, UINT flags = MK_LBUTTON);
  void Release(int column, int row, UINT flags = 0);
  void Drag(int c0, int r0, int c1, int r1);
  void RightClick(int column, int row, UINT flags);
  // The colour index of a cell, -2 when absent.
  int At(int column, int row);
  HWND Hwnd() { return view->GetSafeHwnd(); }

  std::unique_ptr<qmtest::LanguagePack> pack;
  CViewTestFrame* frame = nullptr;
  CTabView* view = nullptr;
  FakePane pane;
  std::vector<std::string> statusTexts;
  std::vector<std::pair<std::string, int>> alerts;
};

}  // namespace viewtest
