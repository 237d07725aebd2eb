// A real design view in a frame for the separated-beads, interesting-
// colours, sample, fewer-colours, preview and layer windows: a small design
// in a palette of plain colours, message boxes recorded, the diagonal
// option's registry value in the test's own store.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "design/Pattern.h"
#include "palette/ColorSet.h"
#include "platform/wnd.h"
#include "tests/common/test_util.h"
#include "view/TabView.h"

namespace tool2test {

// A loom design of one-inch beads; rows are given from the top as strings of
// digits (the colour index) or '.' for a removed bead.
CPattern MakeDesign(const std::vector<std::string>& rows);
// The rows back, as MakeDesign takes them.
std::vector<std::string> Rows(const CPattern& design);

class Tool2DialogTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Puts the design into the view with the palette of four colours (red,
  // green, blue, yellow), renders it fitted and paints.
  void PutDesign(const CPattern& design);
  void PutRows(const std::vector<std::string>& rows) { PutDesign(MakeDesign(rows)); }
  std::vector<std::string> ViewRows() { return Rows(*view->GetPattern()); }
  // The colour of the view's pixel at the centre of a cell.
  COLORREF PixelAt(int column, int row);
  POINT CellPoint(int column, int row);
  bool Shown(const std::string& part) const;

  std::unique_ptr<qmtest::LanguagePack> pack;
  CFrameWnd* frame = nullptr;
  CTabView* view = nullptr;
  std::vector<std::string> boxes;
  std::filesystem::path dir;
};

// The language packs' own test helper: the shots folder of a language.
std::string ShotPath(bool russian, const std::string& name);

}  // namespace tool2test

using QmModalHook = std::function<void(HWND dialog)>;
void QmSetModalHook(QmModalHook hook);
void QmPumpMessages(int maxMs);
