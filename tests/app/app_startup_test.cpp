// Start-up and shut-down of the real application, in-process and headless.
#include <filesystem>

#include "controls/AccelTable.h"
#include "controls/RecentFiles.h"
#include "core/Registry.h"
#include "lang/ids/shell.h"
#include "platform/base/resource.h"
#include "settings/GridSettings.h"
#include "tests/app/app_fixture.h"
#include "view/CtrlPane.h"
#include "view/FramePorts.h"

using namespace apptest;

TEST(StripQuotes, DropsOnlyAPairAroundFourOrMoreCharacters) {
  const struct {
    const char* in;
    const char* out;
  } cases[] = {{"\"/a/b.qx\"", "/a/b.qx"}, {"\"ab\"", "ab"}, {"\"a\"", "\"a\""}, {"\"\"", "\"\""},
               {"/a/b.qx", "/a/b.qx"},    {"\"/a", "\"/a"},   {"", ""}};
  for (const auto& c : cases) {
    CString out;
    StripQuotes(c.in, out);
    EXPECT_EQ(out.str(), c.out) << c.in;
  }
}

TEST_F(AppTest, TheLanguageFlagChoosesThePackAndRussianIsTheDefault) {
  ForgetLanguage();
  SetRussianInterface(true);  // as in a fresh process: Russian until the registry says otherwise
  ASSERT_TRUE(Start());
  EXPECT_TRUE(IsRussianInterface());
  EXPECT_EQ(QmGetPackLanguage(app->GetResourceLibrary()), 0x0419);
  TearDown();
  SetUp();
  StoreLanguage(false);
  ASSERT_TRUE(Start());
  EXPECT_FALSE(IsRussianInterface());
  EXPECT_EQ(QmGetPackLanguage(app->GetResourceLibrary()), 0x0409);
}

TEST_F(AppTest, AMissingPackIsReportedAndStartUpFails) {
  const auto empty = qmtest::MakeTempDir("no-pack");
  CApp::SetPackFolder(empty.string().c_str());
  EXPECT_FALSE(Start());
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].first, "Cannot to find the library " + (empty / "Pellow_En.dll").string());
  EXPECT_EQ(app->m_pMainWnd, nullptr);
  EXPECT_NE(app->ExitInstance(), 0);
}

TEST_F(AppTest, TheMainWindowIsMaximisedWithItsBarsSplitterAndMenu) {
  StoreAcceptedSettings();
  ASSERT_TRUE(Start());
  CMainFrame* frame = Frame();
  ASSERT_NE(frame, nullptr);
  EXPECT_TRUE(frame->IsZoomed());
  ASSERT_NE(View(), nullptr);
  ASSERT_NE(frame->GetCtrlPane(), nullptr);
  EXPECT_EQ(GetActiveTabView(), static_cast<ITabView*>(View()));
  EXPECT_EQ(GetIMainFrame(), static_cast<IMainFrame*>(frame));
  EXPECT_TRUE(frame->GetToolbar().IsWindowVisible());
  EXPECT_TRUE(frame->GetAppStatusBar().IsWindowVisible());
  // The control pane keeps its 280 pixels (the splitter's fitted width).
  CRect pane;
  frame->GetCtrlPane()->GetWindowRect(&pane);
  int column = 0, minimum = 0;
  frame->GetSplitter().GetColumnInfo(0, column, minimum);
  CRect client;
  frame->GetClientRect(&client);
  CSize ideal;
  frame->GetCtrlPane()->GetIdealSize(ideal);
  EXPECT_EQ(column, client.Width() + 5 - ideal.cx);
  EXPECT_NEAR(pane.Width(), CCtrlPane::kIdealWidth, 20);
  // Rulers: the view sits right of and below them.
  EXPECT_TRUE(View()->GetHorzRuler().IsWindowVisible());
  EXPECT_TRUE(View()->GetVertRuler().IsWindowVisible());
  CRect view, horz;
  View()->GetWindowRect(&view);
  View()->GetHorzRuler().GetWindowRect(&horz);
  EXPECT_GE(view.top, horz.top + 16);
  EXPECT_LE(view.top, horz.bottom);
  // The toolbar: 22 buttons, the zoom box at index 22, drop-down arrows with
  // a recent list size above 0.
  CAppToolbar& bar = frame->GetToolbar();
  EXPECT_EQ(bar.GetItemID(CAppToolbar::kZoomIndex), static_cast<UINT>(IDC_ZOOM_COMBO));
  EXPECT_TRUE(bar.GetButtonStyle(bar.CommandToIndex(ID_FILE_OPEN_DESIGN)) & TBBS_DROPDOWN);
  EXPECT_TRUE(bar.GetButtonStyle(bar.CommandToIndex(ID_BEAD_EFFECT)) & TBBS_DROPDOWN);
  EXPECT_EQ(bar.GetZoomCombo()->GetCount(), 15);
  // The menu: the owner-drawn main menu is the frame's.
  EXPECT_EQ(::GetMenu(frame->m_hWnd), frame->GetMainMenu().m_hMenu);
  EXPECT_EQ(frame->GetMainMenu().GetMenuItemCount(), 5u);
  EXPECT_TRUE(IsCheckMarkCommand(ID_VIEW_SHOW_GRID));
  // The caption: title and, as string 177 is empty in English, the
  // framework's untitled name.
  CString caption;
  frame->GetWindowText(caption);
  EXPECT_EQ(caption.str(), "Quillmere - Untitled");
}

TEST_F(AppTest, NoDropDownArrowsWithoutRecentDesigns) {
  StoreAcceptedSettings([](CAppSettings& s) { s.m_recentListSize = 0; });
  ASSERT_TRUE(Start());
  CAppToolbar& bar = Frame()->GetToolbar();
  EXPECT_FALSE(bar.GetButtonStyle(bar.CommandToIndex(ID_FILE_OPEN_DESIGN)) & TBBS_DROPDOWN);
  EXPECT_FALSE(bar.GetButtonStyle(bar.CommandToIndex(ID_BEAD_EFFECT)) & TBBS_DROPDOWN);
}

TEST_F(AppTest, RulersOffLeaveTheViewItsWholePane) {
  StoreAcceptedSettings([](CAppSettings& s) { s.m_rulerBarShown = 0; });
  ASSERT_TRUE(Start());
  EXPECT_FALSE(View()->GetHorzRuler().IsWindowVisible());
  EXPECT_FALSE(View()->GetVertRuler().IsWindowVisible());
  CRect view, splitter;
  View()->GetWindowRect(&view);
  Frame()->GetSplitter().GetWindowRect(&splitter);
  EXPECT_LE(view.top - splitter.top, 2);
  EXPECT_LE(view.left - splitter.left, 2);
}

TEST_F(AppTest, AQuotedCommandLinePathReachesTheViewOnlyWithAcceptedSettings) {
  const std::string design = MakeFile("given.qx");
  // First start: no stored settings, nothing is opened.
  ASSERT_TRUE(Start(("\"" + design + "\"").c_str()));
  EXPECT_TRUE(View()->GetLastOpenRequest().IsEmpty());
  EXPECT_TRUE(boxes.empty());
  TearDown();
  SetUp();
  StoreAcceptedSettings();
  ASSERT_TRUE(Start(("\"" + design + "\"").c_str()));
  EXPECT_EQ(View()->GetLastOpenRequest().str(), design);
  // The one-byte file is no design: the view's open fails and forgets it as
  // the last design, and 59395 follows.
  EXPECT_TRUE(app->GetSettings().m_lastDesign.IsEmpty());
  EXPECT_TRUE(BoxShown("Failed to load the design\n" + design));
}

TEST_F(AppTest, AMissingCommandLineFileIsReportedAndStartUpGoesOn) {
  StoreAcceptedSettings([](CAppSettings& s) { s.m_reopenLastDesign = 0; });
  ASSERT_TRUE(Start("/nowhere/lost.qx"));
  EXPECT_TRUE(BoxShown("The file is not exists\n/nowhere/lost.qx"));
  EXPECT_NE(Frame(), nullptr);
  EXPECT_TRUE(View()->GetLastOpenRequest().IsEmpty());
}

TEST_F(AppTest, TheReopenOptionOpensTheLastDesignOnlyWhenItExists) {
  const std::string design = MakeFile("last.qx");
  StoreAcceptedSettings([](CAppSettings& s) { s.m_lastDesign = "/nowhere/deleted.qx"; });
  ASSERT_TRUE(Start());
  EXPECT_TRUE(View()->GetLastOpenRequest().IsEmpty());
  EXPECT_TRUE(boxes.empty());
}

TEST_F(AppTest, CancelAtTheClosePromptChangesNothing) {
  StoreAcceptedSettings();
  ASSERT_TRUE(Start());
  GiveBeads(View(), true);
  GetGridSettings().m_showGrid = 1;
  boxAnswer = IDCANCEL;
  Close();
  ASSERT_NE(Frame(), nullptr);
  EXPECT_TRUE(Frame()->IsWindowVisible());
  EXPECT_TRUE(BoxShown("The current design has been modified."));
  std::vector<BYTE> grid;
  EXPECT_FALSE(ReadProgramBinaryValue(CGridSettings::kValueName, grid));
}

TEST_F(AppTest, ClosingStoresTheSettingsBarsGridAndLists) {
  ASSERT_TRUE(Start());
  GetGridSettings().m_showGrid = 1;
  Frame()->ShowControlBar(&Frame()->GetToolbar(), FALSE, FALSE);
  boxAnswer = IDNO;
  Close();
  std::vector<BYTE> bytes;
  ASSERT_TRUE(ReadProgramBinaryValue(CAppSettings::kValueName, bytes));
  CAppSettings read;
  ASSERT_TRUE(read.LoadFromBytes(bytes.data(), bytes.size()));
  EXPECT_EQ(read.m_toolbarShown, 0);
  EXPECT_EQ(read.m_statusBarShown, 1);
  ASSERT_TRUE(ReadProgramBinaryValue(CGridSettings::kValueName, bytes));
  ASSERT_EQ(bytes.size(), 17u);
  EXPECT_EQ(bytes[0], 1);
  EXPECT_TRUE(ReadProgramBinaryValue("RecentDesignMenu26Sept2016", bytes));
  EXPECT_TRUE(ReadProgramBinaryValue("RecentOriginalMenu01Oct2017", bytes));
  EXPECT_TRUE(ReadProgramBinaryValue("RecentPaletteMenu01Oct2017", bytes));
}

TEST_F(AppTest, StoredShortcutKeysAreAppliedAndShownInTheMenu) {
  CAccelTable keys;
  keys.SetKey({CAccelTable::kCtrl, 0, 'G', ID_VIEW_SHOW_GRID});
  ASSERT_TRUE(keys.Save());
  ASSERT_TRUE(Start());
  ASSERT_NE(Frame()->m_hAccelTable, nullptr);
  CMSOfficeMenuItem* item = Frame()->GetMainMenu().FindItem(ID_VIEW_SHOW_GRID);
  ASSERT_NE(item, nullptr);
  EXPECT_NE(item->text.Find("\tCtrl+G"), -1);
  // The key reaches its command.
  const BYTE before = GetGridSettings().m_showGrid;
  QmSendKey(View()->m_hWnd, 'G', "", QM_MOD_CONTROL);
  QmPumpMessages();
  EXPECT_NE(GetGridSettings().m_showGrid, before);
}
