// The application driven in-process: the real CApp started headless on the
// build's language packs, with the registry in the test's own folder and
// message boxes answered by the test.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "app/App.h"
#include "app/MainFrm.h"
#include "platform/base/msgbox.h"
#include "platform/wnd.h"
#include "platform/wnd/host.h"
#include "tests/common/modal_hook.h"
#include "tests/common/test_util.h"
#include "view/TabView.h"

namespace apptest {

// Stores the language value the setup writes (0 English, 1 Russian).
void StoreLanguage(bool russian);
// Removes it (the program then starts in Russian).
void ForgetLanguage();
// Removes a value of the program key (a first start has none).
void ForgetValue(const char* name);
// Stores a settings record the program accepts (defaults for this screen).
void StoreAcceptedSettings(void (*adjust)(CAppSettings&) = nullptr);
// A file that exists, in the test's folder.
std::string MakeFile(const std::string& name);
// A design with beads in the view, optionally modified.
void GiveBeads(CTabView* view, bool modified);

// The state of a command after its update rule ran.
struct CommandState {
  bool enabled = true;
  int check = -1;  // -1 untouched, else the check state
  bool radio = false;
  bool handled = false;
};
CommandState QueryCommand(CFrameWnd* frame, UINT id);

class AppTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Starts the application; false when InitInstance failed.
  bool Start(const char* commandLine = "");
  CMainFrame* Frame() const { return app ? app->GetMainFrame() : nullptr; }
  CTabView* View() const { return app ? app->GetTabView() : nullptr; }
  void Close();
  bool BoxShown(const std::string& part) const;

  CApp* app = nullptr;
  std::vector<std::pair<std::string, UINT>> boxes;
  int boxAnswer = IDOK;
};

// The control pane's answers for tests that draw without the real pane: the pencil with a
// chosen colour.
class PencilPane : public IViewToolSource {
 public:
  int GetCurrentTool() override { return CTabView::kToolPencil; }
  int GetPenColor() override { return pen; }
  void SelectColor(const CRgbTriple&) override {}
  void RefreshColorList() override {}
  void HideOriginalOverlay() override {}
  void UpdateOriginalControls() override {}
  HWND GetPaneWindow() override { return nullptr; }
  int pen = 2;
};

// The colour index of the bead at (column, row); -2 where no bead is present.
inline int ColorAt(CTabView* view, int column, int row) {
  const CBead* bead = view->GetPattern()->GetBeadAt(column, row);
  if (!bead || !bead->IsPresent()) return -2;
  return bead->GetColorIndex(*view->GetPattern());
}

}  // namespace apptest
