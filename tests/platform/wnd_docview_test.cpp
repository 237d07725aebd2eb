// Document/view on the test program: the template's frame with its splitter,
// views and bar; command routing and command user interfaces; the scrolling
// view; drawing through a window's device context; the tool window; the
// frame's picture.
#include <QCoreApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTimer>

#include <filesystem>

#include "tests/common/test_util.h"
#include "tests/platform/wnd_fixture.h"

using namespace wndtest;

TEST_F(WndProgram, TemplateMakesFrameSplitterViewAndForm) {
  CTestFrame* frame = app->Frame();
  ASSERT_NE(frame, nullptr);
  EXPECT_TRUE(frame->IsKindOf(RUNTIME_CLASS(CFrameWnd)));
  CTestView* view = app->View();
  CTestForm* form = app->Form();
  ASSERT_NE(view, nullptr);
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(frame->GetActiveView(), view);
  CDocument* doc = frame->GetActiveDocument();
  ASSERT_NE(doc, nullptr);
  EXPECT_TRUE(doc->IsKindOf(RUNTIME_CLASS(CTestDoc)));
  EXPECT_EQ(view->GetDocument(), doc);
  EXPECT_EQ(form->GetDocument(), doc);
  EXPECT_FALSE(doc->IsModified());
  doc->SetModifiedFlag();
  EXPECT_TRUE(doc->IsModified());
  doc->SetModifiedFlag(FALSE);

  // The caption: the template's title and the document's name.
  CString caption;
  frame->GetWindowText(caption);
  EXPECT_EQ(caption.str(), "Window Test - Untitled");

  // The splitter fills the client area under the bar; the view sits under
  // the ruler that the splitter's override placed.
  CRect client, split, viewRect, ruler, formRect;
  frame->GetClientRect(&client);
  split = ChildRect(frame->m_split);
  EXPECT_EQ(split, CRect(0, 24, client.right, client.bottom));
  viewRect = ChildRect(*view);
  ruler = ChildRect(frame->m_split.m_ruler);
  EXPECT_EQ(viewRect.left, 2);
  EXPECT_EQ(viewRect.Width(), 420);
  EXPECT_EQ(ruler.bottom, viewRect.top);
  EXPECT_EQ(viewRect.top, 2 + CTestSplitter::kRuler);
  formRect = ChildRect(*form);
  EXPECT_EQ(formRect.left, 2 + 420 + 7);
  EXPECT_EQ(formRect.right, split.Width() - 2);

  // The form came from its template and took its data.
  CString name;
  form->GetDlgItemText(IDC_FORM_NAME, name);
  EXPECT_EQ(name.str(), "Rose");
  EXPECT_EQ(form->IsDlgButtonChecked(IDC_FORM_MARK), 1u);
  form->SetDlgItemText(IDC_FORM_NAME, "Lily");
  ASSERT_TRUE(form->UpdateData(TRUE));
  EXPECT_EQ(form->m_name.str(), "Lily");
}

TEST_F(WndProgram, CommandsRouteThroughViewDocumentFrameAndApplication) {
  CTestFrame* frame = app->Frame();
  for (UINT id : {ID_CMD_VIEW, ID_CMD_DOC, ID_CMD_FRAME, ID_CMD_APP, ID_CMD_SHARED, ID_CMD_NONE})
    frame->PostMessage(WM_COMMAND, id);
  EXPECT_TRUE(Log().empty());  // posted, not yet handled
  QmPumpMessages();
  EXPECT_EQ(Log(), (std::vector<std::string>{"view", "doc", "frame", "app", "shared-view"}));

  // A command the update handler disables does not run; enabled, it does.
  Log().clear();
  frame->PostMessage(WM_COMMAND, ID_CMD_OFF);
  QmPumpMessages();
  EXPECT_TRUE(Log().empty());
  frame->m_offDisabled = FALSE;
  frame->PostMessage(WM_COMMAND, ID_CMD_OFF);
  QmPumpMessages();
  EXPECT_EQ(Log(), std::vector<std::string>{"off"});

  // The accelerator table of the frame's resource.
  Log().clear();
  QmSendKey(*app->View(), 'G', "", QM_MOD_CONTROL);
  QmPumpMessages();
  EXPECT_EQ(Log(), std::vector<std::string>{"go"});
}

TEST_F(WndProgram, CommandUserInterfaceOnMenusAndIdleBars) {
  CTestFrame* frame = app->Frame();
  CMenu* bar = frame->GetMenu();
  ASSERT_NE(bar, nullptr);
  CMenu* file = bar->GetSubMenu(0);
  ASSERT_NE(file, nullptr);
  // Opening the menu runs the update handlers; commands without a handler
  // are disabled.
  frame->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file->m_hMenu), 0);
  const UINT go = file->GetMenuState(ID_CMD_GO, MF_BYCOMMAND);
  EXPECT_FALSE(go & MF_GRAYED);
  EXPECT_TRUE(go & MF_CHECKED);
  EXPECT_TRUE(file->GetMenuState(ID_CMD_OFF, MF_BYCOMMAND) & MF_GRAYED);
  EXPECT_TRUE(file->GetMenuState(ID_CMD_NONE, MF_BYCOMMAND) & MF_GRAYED);
  EXPECT_FALSE(file->GetMenuState(ID_CMD_VIEW, MF_BYCOMMAND) & MF_GRAYED);

  // The bar's buttons follow the same handlers when the program is idle.
  QmRunIdle();
  CWnd* offButton = frame->m_bar.GetDlgItem(ID_CMD_OFF);
  ASSERT_NE(offButton, nullptr);
  EXPECT_FALSE(offButton->IsWindowEnabled());
  EXPECT_TRUE(frame->m_bar.GetDlgItem(ID_CMD_GO)->IsWindowEnabled());
  frame->m_offDisabled = FALSE;
  QmRunIdle();
  EXPECT_TRUE(offButton->IsWindowEnabled());
  // Its click is a command that reaches the frame.
  QmClickButton(*offButton);
  QmPumpMessages();
  EXPECT_TRUE(Logged("off"));
}

TEST_F(WndProgram, TimerTicksReachTheFrame) {
  const int before = app->Frame()->m_ticks;
  QmWait(120);
  EXPECT_GT(app->Frame()->m_ticks, before);
}

TEST_F(WndProgram, ScrollViewScrollsAndPreparesTheOrigin) {
  CTestView* view = app->View();
  ASSERT_NE(view, nullptr);
  EXPECT_TRUE(view->GetStyle() & WS_VSCROLL);  // 1400 pixels do not fit
  EXPECT_EQ(view->GetScrollPosition(), CPoint(0, 0));
  view->SendMessage(WM_VSCROLL, MAKEWPARAM(SB_LINEDOWN, 0), 0);
  view->SendMessage(WM_VSCROLL, MAKEWPARAM(SB_PAGEDOWN, 0), 0);
  EXPECT_EQ(view->GetScrollPosition(), CPoint(0, 210));
  EXPECT_EQ(view->m_endScrolls, 0);
  view->SendMessage(WM_VSCROLL, MAKEWPARAM(SB_ENDSCROLL, 0), 0);
  EXPECT_EQ(view->m_endScrolls, 1);
  view->Invalidate();
  view->UpdateWindow();
  EXPECT_EQ(view->m_lastOrigin, CPoint(0, -210));
  view->SendMessage(WM_VSCROLL, MAKEWPARAM(SB_BOTTOM, 0), 0);
  CRect client;
  view->GetClientRect(&client);
  EXPECT_EQ(view->GetScrollPosition().y, 1400 - client.Height());
  view->ScrollToPosition(CPoint(0, 0));
  // The wheel scrolls three lines a notch.
  QmSendWheel(*view, POINT{20, 20}, -WHEEL_DELTA);
  EXPECT_EQ(view->GetScrollPosition().y, 30);
}

TEST_F(WndProgram, ScrollSizesRepaintOnlyWhenTheyChange) {
  CTestView* view = app->View();
  ASSERT_NE(view, nullptr);
  view->UpdateWindow();
  QmPumpMessages(50);
  const int paints = view->m_paints;
  // The sizes the view has, set again (as a picture view does from its
  // paint): nothing to repaint, or a view that sets them while painting
  // would paint without end.
  for (int i = 0; i < 3; ++i) {
    view->SetScrollSizes(MM_TEXT, CSize(900, 1400), CSize(200, 200), CSize(10, 10));
    view->UpdateWindow();
    QmPumpMessages(30);
  }
  EXPECT_EQ(view->m_paints, paints);
  // A new size, or a new mapping mode, repaints.
  view->SetScrollSizes(MM_TEXT, CSize(900, 1500), CSize(200, 200), CSize(10, 10));
  view->UpdateWindow();
  QmPumpMessages(30);
  EXPECT_GT(view->m_paints, paints);
  const int resized = view->m_paints;
  view->SetScrollSizes(MM_LOENGLISH, CSize(900, 1500), CSize(200, 200), CSize(10, 10));
  view->UpdateWindow();
  QmPumpMessages(30);
  EXPECT_GT(view->m_paints, resized);
  view->SetScrollSizes(MM_TEXT, CSize(900, 1400), CSize(200, 200), CSize(10, 10));
}

TEST_F(WndProgram, RubberBandDrawnTwiceThroughGetDCLeavesTheWindow) {
  CTestView* view = app->View();
  const QImage before = Picture(*view);
  ASSERT_FALSE(before.isNull());
  auto band = [&] {
    CDC* dc = view->GetDC();
    ASSERT_NE(dc, nullptr);
    const int old = dc->SetROP2(R2_NOT);
    dc->SelectStockObject(NULL_BRUSH);
    dc->Rectangle(20, 30, 160, 110);
    dc->SetROP2(old);
    view->ReleaseDC(dc);
  };
  const int paints = view->m_paints;
  band();
  const QImage once = Picture(*view);
  EXPECT_NE(once, before);
  // The band shows at once, without the view painting again.
  EXPECT_EQ(view->m_paints, paints);
  band();
  EXPECT_EQ(Picture(*view), before);
}

TEST_F(WndProgram, ToolWindowPostsRegisteredMessageAndDeletesItself) {
  CTestFrame* frame = app->Frame();
  const int deleted = CToolDlg::s_deleted;
  frame->m_pTool = new CToolDlg(&frame->m_pTool, frame);
  ASSERT_TRUE(frame->m_pTool->Create(IDD_TOOL, frame));
  frame->m_pTool->ShowWindow(SW_SHOW);
  EXPECT_EQ(frame->m_pTool->GetOwner(), frame);

  QmClickButton(frame->m_pTool->GetDlgItem(IDC_TOOL_SEND)->m_hWnd);
  // The registered message comes after the click's handler has finished.
  EXPECT_EQ(Log(), (std::vector<std::string>{"send-begin", "send-end"}));
  QmPumpMessages();
  EXPECT_EQ(Log(), (std::vector<std::string>{"send-begin", "send-end", "registered"}));
  EXPECT_EQ(frame->m_toolMessages, std::vector<WPARAM>{7});

  // Escape in the tool's edit closes it; it frees itself and clears its slot.
  const HWND edit = ::GetDlgItem(*frame->m_pTool, IDC_TOOL_EDIT);
  QmSendKey(edit, VK_ESCAPE);
  EXPECT_EQ(frame->m_pTool, nullptr);
  EXPECT_EQ(CToolDlg::s_deleted, deleted + 1);
  EXPECT_FALSE(IsWindow(edit));

  // A tool window still open goes with its owner.
  frame->m_pTool = new CToolDlg(&frame->m_pTool, frame);
  ASSERT_TRUE(frame->m_pTool->Create(IDD_TOOL, frame));
  frame->DestroyWindow();
  EXPECT_EQ(CToolDlg::s_deleted, deleted + 2);
}

TEST_F(WndProgram, ClosingTheFrameEndsDocumentAndMainWindow) {
  ASSERT_EQ(CTestDoc::s_alive, 1);
  app->Frame()->SendMessage(WM_CLOSE);
  EXPECT_EQ(app->m_pMainWnd, nullptr);
  EXPECT_EQ(CTestDoc::s_alive, 0);
}

TEST_F(WndProgram, FramePictureShowsSplitterViewAndForm) {
  CTestFrame* frame = app->Frame();
  const QImage img = QmRenderWindow(*frame, true);
  ASSERT_FALSE(img.isNull());
  RECT wr;
  frame->GetWindowRect(&wr);
  EXPECT_EQ(img.width(), wr.right - wr.left);
  EXPECT_EQ(img.height(), wr.bottom - wr.top);
  // Inside the view a cell of its picture; in the form its grey face.
  CTestView* view = app->View();
  POINT inView{30, 30};
  view->ClientToScreen(&inView);
  const QColor cell = img.pixelColor(inView.x - wr.left, inView.y - wr.top);
  EXPECT_EQ(cell.blue(), 170);
  const char* keep = std::getenv("QM_WND_PICTURE");
  const std::filesystem::path out = keep ? std::filesystem::path(keep) : qmtest::MakeTempDir("wnd-picture") / "frame.png";
  EXPECT_TRUE(QmSaveWindowPng(*frame, out.string().c_str()));
  EXPECT_TRUE(std::filesystem::file_size(out) > 1000);
}

TEST_F(WndProgram, SplitterBarDragsWithTheMouse) {
  CTestSplitter& split = app->Frame()->m_split;
  int cur = 0, min = 0;
  split.GetColumnInfo(0, cur, min);
  ASSERT_EQ(cur, 420);
  const int barX = 2 + 420 + 3;  // inside the bar between the panes
  QmSendMouse(split, WM_MOUSEMOVE, POINT{barX, 100});
  EXPECT_EQ(GetCursor(), LoadCursor(nullptr, IDC_SIZEWE));
  QmSendMouse(split, WM_LBUTTONDOWN, POINT{barX, 100}, MK_LBUTTON);
  QmSendMouse(split, WM_MOUSEMOVE, POINT{barX - 100, 100}, MK_LBUTTON);
  QmSendMouse(split, WM_LBUTTONUP, POINT{barX - 100, 100});
  split.GetColumnInfo(0, cur, min);
  EXPECT_EQ(cur, 320);
  EXPECT_EQ(ChildRect(*app->View()).Width(), 320);
  EXPECT_EQ(ChildRect(split.m_ruler).Width(), 320);  // the override placed it again
}

TEST_F(WndProgram, MainLoopRunsUntilTheMainWindowCloses) {
  app->m_pMainWnd->PostMessage(WM_CLOSE);
  // A guard against a loop that would not end.
  QTimer::singleShot(10000, [] { QCoreApplication::exit(99); });
  EXPECT_EQ(app->Run(), 0);
  EXPECT_EQ(app->m_pMainWnd, nullptr);
}

TEST_F(WndProgram, MenuBarAndPopupMenusRunTheUpdateHandlers) {
  CTestFrame* frame = app->Frame();
  QMenuBar* bar = QmWidgetOf(*frame)->findChild<QMenuBar*>();
  ASSERT_NE(bar, nullptr);
  ASSERT_FALSE(bar->actions().isEmpty());
  QMenu* file = bar->actions().first()->menu();
  ASSERT_NE(file, nullptr);
  emit file->aboutToShow();  // as when the user opens it
  QAction* go = nullptr;
  QAction* off = nullptr;
  for (QAction* a : file->actions()) {
    if (a->text() == QStringLiteral("&Go\tCtrl+G")) go = a;
    if (a->text() == QStringLiteral("&Off")) off = a;
  }
  ASSERT_NE(go, nullptr);
  ASSERT_NE(off, nullptr);
  EXPECT_TRUE(go->isEnabled());
  EXPECT_TRUE(go->isChecked());
  EXPECT_FALSE(off->isEnabled());
  go->trigger();
  QmPumpMessages();
  EXPECT_EQ(Log(), std::vector<std::string>{"go"});

  // A pop-up menu: the choice is a command for its owner, or the answer.
  Log().clear();
  CMenu popup;
  ASSERT_TRUE(popup.CreatePopupMenu());
  popup.AppendMenu(MF_STRING, ID_CMD_VIEW, "View");
  popup.AppendMenu(MF_STRING, ID_CMD_OFF, "Off");
  UINT offState = 0;
  QmSetPopupMenuHook([&](HMENU menu, int, int, HWND owner) -> UINT {
    EXPECT_EQ(owner, frame->m_hWnd);
    offState = GetMenuState(menu, ID_CMD_OFF, MF_BYCOMMAND);
    return ID_CMD_VIEW;
  });
  EXPECT_TRUE(popup.TrackPopupMenu(TPM_LEFTALIGN, 10, 10, frame));
  EXPECT_TRUE(offState & MF_GRAYED);
  EXPECT_EQ(static_cast<UINT>(popup.TrackPopupMenu(TPM_RETURNCMD, 10, 10, frame)), ID_CMD_VIEW);
  QmPumpMessages();
  EXPECT_EQ(Log(), std::vector<std::string>{"view"});  // only the first posted a command
  QmSetPopupMenuHook(nullptr);
}

TEST_F(WndProgram, TheViewsScrollBarSendsScrollCodes) {
  CTestView* view = app->View();
  QScrollBar* vbar = nullptr;
  for (QScrollBar* b : QmWidgetOf(*view)->findChildren<QScrollBar*>())
    if (b->orientation() == Qt::Vertical && b->isVisible()) vbar = b;
  ASSERT_NE(vbar, nullptr);
  // A click in the groove below the thumb: a page down, then the end.
  const QPoint p(vbar->width() / 2, vbar->height() - 30);
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(p), QPointF(vbar->mapToGlobal(p)), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(vbar, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, QPointF(p), QPointF(vbar->mapToGlobal(p)), Qt::LeftButton,
                      Qt::NoButton, Qt::NoModifier);
  QCoreApplication::sendEvent(vbar, &release);
  EXPECT_EQ(view->GetScrollPosition().y, 200);
  EXPECT_EQ(view->m_endScrolls, 1);
  EXPECT_EQ(vbar->value(), 200);
}

TEST_F(WndProgram, FrameFollowsTheSizeTheWindowManagerGivesIt) {
  CTestFrame* frame = app->Frame();
  QWidget* wid = QmWidgetOf(*frame);
  wid->resize(wid->width() + 100, wid->height() + 50);
  QmPumpMessages();
  CRect client;
  frame->GetClientRect(&client);
  EXPECT_EQ(ChildRect(frame->m_split), CRect(0, 24, client.right, client.bottom));
  EXPECT_EQ(ChildRect(*app->Form()).right, client.right - 2);

  frame->ShowWindow(SW_SHOWMAXIMIZED);
  QmPumpMessages();
  EXPECT_TRUE(frame->IsZoomed());
  CRect maxClient;
  frame->GetClientRect(&maxClient);
  EXPECT_EQ(ChildRect(frame->m_split), CRect(0, 24, maxClient.right, maxClient.bottom));
}

// The document types are registered in the program's own store from the
// template's string; a template that names no file-type id registers
// nothing, and an extension another type claims is left to it.
TEST_F(WndProgram, ShellFileTypesAreRegisteredFromTheTemplateString) {
  auto text = [](const char* key) {
    HKEY h = nullptr;
    if (RegOpenKeyEx(HKEY_CLASSES_ROOT, key, 0, KEY_READ, &h) != ERROR_SUCCESS) return std::string("<none>");
    char buffer[512] = {};
    DWORD size = sizeof buffer - 1;
    RegQueryValueEx(h, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(h);
    return std::string(buffer);
  };
  RegDeleteTree(HKEY_CLASSES_ROOT, nullptr);
  HKEY other = nullptr;
  ASSERT_EQ(RegCreateKeyEx(HKEY_CLASSES_ROOT, ".other", 0, nullptr, 0, KEY_WRITE, nullptr, &other, nullptr),
            ERROR_SUCCESS);
  RegSetValueEx(other, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>("Someone.Else"), 13);
  RegCloseKey(other);
  auto* typed = new CSingleDocTemplate(0, RUNTIME_CLASS(CTestDoc), RUNTIME_CLASS(CTestFrame), RUNTIME_CLASS(CTestView));
  typed->m_strDocStrings = "Test\nTest\nTest\nTest files (*.tqx)\n.tqx;*.other\nTest.Design\nTest design";
  auto* plain = new CSingleDocTemplate(0, RUNTIME_CLASS(CTestDoc), RUNTIME_CLASS(CTestFrame), RUNTIME_CLASS(CTestView));
  plain->m_strDocStrings = "Quillmere 1.01 Freeware\nQuillmere\nQuillmere design\n";
  app->AddDocTemplate(plain);
  app->AddDocTemplate(typed);
  app->EnableShellOpen();
  EXPECT_TRUE(app->IsShellOpenEnabled());
  app->RegisterShellFileTypes(TRUE);
  char module[1024] = {};
  GetModuleFileName(nullptr, module, sizeof module);
  EXPECT_EQ(text("Test.Design"), "Test design");
  EXPECT_EQ(text("Test.Design\\DefaultIcon"), std::string(module) + ",0");
  EXPECT_EQ(text("Test.Design\\shell\\open\\command"), "\"" + std::string(module) + "\" \"%1\"");
  EXPECT_EQ(text(".tqx"), "Test.Design");
  EXPECT_EQ(text(".other"), "Someone.Else");
  // The program's own string names no file-type id: only the test type is there.
  DWORD keys = 0;
  for (char name[256]; ; ++keys) {
    DWORD n = sizeof name;
    if (RegEnumKeyEx(HKEY_CLASSES_ROOT, keys, name, &n, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
  }
  EXPECT_EQ(keys, 3u);  // .other, .tqx, Test.Design
  RegDeleteTree(HKEY_CLASSES_ROOT, nullptr);
}
