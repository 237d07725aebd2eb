// The command table: the update rule of each command in each state, the
// save prompt, the recent designs and the messages of what is not there yet.
#include "controls/CommandName.h"
#include "controls/RecentFiles.h"
#include "image/Image.h"
#include "lang/ids/shell.h"
#include "settings/GridSettings.h"
#include "tests/app/app_fixture.h"

using namespace apptest;

class CommandTable : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    StoreAcceptedSettings();
    ASSERT_TRUE(Start());
  }
};

TEST_F(CommandTable, UpdateRulesInEachState) {
  enum Rule { kFree, kDesign, kSave, kBeads, kOn };
  const struct {
    UINT id;
    Rule rule;
  } commands[] = {
      {ID_FILE_NEW_DESIGN, kFree},         {ID_FILE_OPEN_DESIGN, kFree},       {ID_FILE_IMPORT, kFree},
      {ID_FILE_SAVE_DESIGN, kSave},        {ID_FILE_SAVE_DESIGN_AS, kSave},    {ID_FILE_EXPORT_PDF, kDesign},
      {ID_FILE_EXPORT_PICTURE, kDesign},   {ID_FILE_COPY_TO_CLIPBOARD, kDesign}, {ID_FILE_PRINT_DESIGN, kDesign},
      {ID_FILE_PROPERTIES, kDesign},       {ID_EDIT_PARTIAL_DESIGN, kDesign},  {ID_EDIT_ADJUST_COLORS, kDesign},
      {ID_EDIT_COLOR_GROUP, kDesign},      {ID_EDIT_TEXT_BY_BEADS, kDesign},   {ID_EDIT_USE_ONLY_COLORS, kDesign},
      {ID_EDIT_REMOVE_SEPARATE, kDesign},  {ID_EDIT_CHANGE_PALETTE, kDesign},  {ID_EDIT_DESIGN_BY_SAMPLE, kDesign},
      {ID_EDIT_MIRROR, kDesign},           {ID_EDIT_ROWS_COLUMNS, kDesign},    {ID_VIEW_SEPARATE_PREVIEW, kBeads},
      {ID_VIEW_INTERESTING_COLORS, kDesign}, {ID_OPTIONS_PREFERENCES, kFree},  {ID_OPTIONS_BACKGROUND, kFree},
      {ID_HELP_CHECK_UPDATE, kOn},         {ID_HELP_DOWNLOAD_DESIGN, kOn},     {ID_HELP_OTHER_PRODUCT, kOn},
      {ID_HELP_DESCRIPTION, kOn},
  };
  CWnd tool;
  // States: no beads, beads, beads with a tool window, beads with the
  // separated-beads window.
  for (int state = 0; state < 4; ++state) {
    if (state == 1) GiveBeads(View(), false);
    if (state == 2) View()->SetToolWindow(CTabView::kToolText, &tool);
    if (state == 3) {
      View()->SetToolWindow(CTabView::kToolText, nullptr);
      View()->SetToolWindow(CTabView::kToolSeparated, &tool);
    }
    const bool beads = state > 0, toolOpen = state >= 2;
    for (const auto& c : commands) {
      bool expected = true;
      switch (c.rule) {
        case kFree: expected = !toolOpen; break;
        case kDesign: expected = beads && !toolOpen; break;
        case kSave: expected = beads && state != 3; break;
        case kBeads: expected = beads; break;
        case kOn: expected = true; break;
      }
      EXPECT_EQ(QueryCommand(Frame(), c.id).enabled, expected) << "command " << c.id << " state " << state;
    }
  }
  View()->SetToolWindow(CTabView::kToolSeparated, nullptr);
  // A toolbar button without a handler is disabled.
  EXPECT_FALSE(QueryCommand(Frame(), ID_DESIGN_SUMMARY).enabled);
}

TEST_F(CommandTable, UndoRedoEffectsGridAndRulerMarks) {
  EXPECT_FALSE(QueryCommand(Frame(), ID_EDIT_UNDO_STEP).enabled);
  EXPECT_FALSE(QueryCommand(Frame(), ID_EDIT_REDO_STEP).enabled);
  const CommandState none = QueryCommand(Frame(), ID_EFFECT_CIRCLE);
  EXPECT_FALSE(none.enabled);
  GiveBeads(View(), false);
  View()->GetPattern()->m_beadEffect = 1;
  EXPECT_EQ(QueryCommand(Frame(), ID_EFFECT_CIRCLE).check, 1);
  EXPECT_EQ(QueryCommand(Frame(), ID_EFFECT_ROUND).check, 0);
  EXPECT_TRUE(QueryCommand(Frame(), ID_EFFECT_ROUND).radio);
  // Choosing an effect sets it; the same one again changes nothing.
  Frame()->SendMessage(WM_COMMAND, ID_EFFECT_CYLINDER);
  EXPECT_EQ(View()->GetPattern()->m_beadEffect, 2u);
  EXPECT_EQ(QueryCommand(Frame(), ID_VIEW_SHOW_GRID).check, 0);
  Frame()->SendMessage(WM_COMMAND, ID_VIEW_SHOW_GRID);
  EXPECT_EQ(QueryCommand(Frame(), ID_VIEW_SHOW_GRID).check, 1);
  EXPECT_EQ(GetGridSettings().m_showGrid, 1);
  EXPECT_EQ(QueryCommand(Frame(), ID_VIEW_RULER_BAR).check, 1);
  Frame()->SendMessage(WM_COMMAND, ID_VIEW_RULER_BAR);
  EXPECT_EQ(QueryCommand(Frame(), ID_VIEW_RULER_BAR).check, 0);
  EXPECT_FALSE(View()->GetHorzRuler().IsWindowVisible());
}

TEST_F(CommandTable, ACommandIsNamedByItsMenuTextOrTooltip) {
  EXPECT_EQ(GetCommandName(ID_EDIT_DESIGN_BY_SAMPLE).str(), "Design by sample");
  // A toolbar-only command is named by its tooltip.
  EXPECT_EQ(GetCommandName(ID_EDIT_UNDO_STEP).str(), "Undo");
}

TEST_F(CommandTable, TheSavePromptStopsOnCancelAndOnAFailedSave) {
  GiveBeads(View(), true);
  boxAnswer = IDCANCEL;
  boxes.clear();
  Frame()->SendMessage(WM_COMMAND, ID_FILE_OPEN_DESIGN);
  ASSERT_EQ(boxes.size(), 1u);  // only the prompt: the open did not run
  EXPECT_EQ(boxes[0].second, kMbYesNoCancelQuestion);
  EXPECT_FALSE(Frame()->PromptSaveModified());
  // Yes: the save runs (a design without a file asks for one; cancelled
  // here); a design that was not saved stops the command.
  boxAnswer = IDYES;
  int fileDialogs = 0;
  qmtest::SetModalHook([&](HWND dialog) {
    ++fileDialogs;
    SendMessage(dialog, WM_COMMAND, IDCANCEL, 0);
  });
  EXPECT_FALSE(Frame()->PromptSaveModified());
  qmtest::SetModalHook(nullptr);
  EXPECT_EQ(fileDialogs, 1);
  boxAnswer = IDNO;
  EXPECT_TRUE(Frame()->PromptSaveModified());
  View()->GetPattern()->SetModified(false);
  boxes.clear();
  EXPECT_TRUE(Frame()->PromptSaveModified());
  EXPECT_TRUE(boxes.empty());
}

TEST_F(CommandTable, AMissingRecentDesignIsReportedOnceAndLeavesTheList) {
  CRecentFiles& list = Frame()->GetRecentDesignList();
  bool ok = false;
  CImage picture(40, 30, ok, RGB(10, 20, 30));
  ASSERT_TRUE(ok);
  const std::string kept = MakeFile("kept.qx");
  ASSERT_TRUE(list.AddFile(kept.c_str(), picture, "Kept"));
  ASSERT_TRUE(list.AddFile("/nowhere/gone.qx", picture, nullptr));
  boxes.clear();
  Frame()->SendMessage(WM_COMMAND, ID_RECENT_DESIGN_FIRST);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].first, "The design file is not exists\n/nowhere/gone.qx");
  EXPECT_EQ(list.GetCount(), 1);
  // An existing one goes to the view (after the prompt, none here).
  boxes.clear();
  Frame()->SendMessage(WM_COMMAND, ID_RECENT_DESIGN_FIRST);
  EXPECT_EQ(View()->GetLastOpenRequest().str(), kept);
  // Out of the list: nothing.
  boxes.clear();
  Frame()->SendMessage(WM_COMMAND, ID_RECENT_DESIGN_FIRST + 5);
  EXPECT_TRUE(boxes.empty());
}

TEST_F(CommandTable, TheCaptionNamesTheDesignAndMarksAModifiedOne) {
  GiveBeads(View(), false);
  View()->GetPattern()->m_title = "Roses";
  Frame()->RefreshFrameTitle();
  CString caption;
  Frame()->GetWindowText(caption);
  EXPECT_EQ(caption.str(), "Quillmere - Roses");
  View()->GetPattern()->SetModified(true);
  Frame()->RefreshFrameTitle();
  Frame()->GetWindowText(caption);
  EXPECT_EQ(caption.str(), "Quillmere - Roses ***");
  View()->GetPattern()->m_title.Empty();
  View()->GetPattern()->m_filePath = "/designs/tulips.qx";
  Frame()->RefreshFrameTitle();
  Frame()->GetWindowText(caption);
  EXPECT_EQ(caption.str(), "Quillmere - tulips ***");
}

TEST(VersionText, TheVersionIsTheFirstNumberWithADot) {
  EXPECT_EQ(CMainFrame::ExtractVersion("Quillmere 1.01 Freeware").str(), "1.01");
  EXPECT_EQ(CMainFrame::ExtractVersion("1.01 Freeware").str(), "");  // the digit must not come first
  EXPECT_EQ(CMainFrame::ExtractVersion("Quillmere 12 Freeware").str(), "");
  EXPECT_EQ(CMainFrame::ExtractVersion("Quillmere 2.5").str(), "");
}
