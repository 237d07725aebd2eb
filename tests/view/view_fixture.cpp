#include "tests/view/view_fixture.h"

#include "settings/AppSettings.h"
#include "view/FramePorts.h"

namespace viewtest {

namespace {
CWinApp& TestApp() {
  static CWinApp app("view tests");
  return app;
}
}  // namespace

BEGIN_MESSAGE_MAP(CViewTestFrame, CFrameWnd)
ON_COMMAND(32000, OnNew)
ON_COMMAND(32001, OnOpen)
END_MESSAGE_MAP()

void ViewTest::SetUp() {
  pack = std::make_unique<qmtest::LanguagePack>(false);
  GetAppSettings().m_viewBackgroundColor = 0x808080;
  GetAppSettings().m_advancedImageQuality = 1;
  GetAppSettings().m_rightClickAction = 1;
  frame = new CViewTestFrame();
  ASSERT_TRUE(frame->Create(nullptr, "View", WS_OVERLAPPEDWINDOW, CRect(0, 0, 640, 520)));
  TestApp().m_pMainWnd = frame;
  view = static_cast<CTabView*>(RUNTIME_CLASS(CTabView)->CreateObject());
  ASSERT_TRUE(
      view->Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 600, 480), frame, AFX_IDW_PANE_FIRST, nullptr));
  view->OnInitialUpdate();
  view->SetToolSource(&pane);
  SetActiveTabView(view);
  SetViewStatusHooks([this](const CString& t) { statusTexts.push_back(t.GetString()); },
                     [this](const CString& t, int kind) { alerts.emplace_back(t.GetString(), kind); });
  frame->ShowWindow(SW_SHOW);
  QmPumpMessages(200);
}

void ViewTest::TearDown() {
  SetViewStatusHooks(nullptr, nullptr);
  SetActiveTabView(nullptr);
  QmSetPopupMenuHook(nullptr);
  TestApp().m_pMainWnd = nullptr;
  if (frame) frame->DestroyWindow();
  QmPumpMessages(50);
  pack.reset();
}

void ViewTest::PutDesign(CPattern design) {
  *view->GetPattern() = design;
  view->ClearEditHistory();
  view->SetColorSet(MakePalette({RGB(200, 40, 40), RGB(40, 200, 40), RGB(40, 40, 200)}), "test.pal");
  view->SetZoomMode(1);
  view->OnPatternChanged(false);
  view->Invalidate(TRUE);
  view->UpdateWindow();
  QmPumpMessages(200);
}

POINT ViewTest::CellPoint(int column, int row) {
  POINT centre{0, 0};
  SIZE size;
  view->GetPattern()->MapCellToImage(row, column, view->GetPatternView()->GetDrawnRect(), centre, size, false);
  return centre;
}

void ViewTest::Press(int column, int row, UINT flags) {
  QmSendMouse(Hwnd(), WM_LBUTTONDOWN, CellPoint(column, row), flags);
}
void ViewTest::Move(int column, int row, UINT flags) {
  QmSendMouse(Hwnd(), WM_MOUSEMOVE, CellPoint(column, row), flags);
}
void ViewTest::Release(int column, int row, UINT flags) {
  QmSendMouse(Hwnd(), WM_LBUTTONUP, CellPoint(column, row), flags);
}
void ViewTest::Drag(int c0, int r0, int c1, int r1) {
  Press(c0, r0);
  Move(c0, r0);
  Move(c1, r1);
  Release(c1, r1);
}
void ViewTest::RightClick(int column, int row, UINT flags) {
  QmSendMouse(Hwnd(), WM_RBUTTONDOWN, CellPoint(column, row), flags | MK_RBUTTON);
  QmSendMouse(Hwnd(), WM_RBUTTONUP, CellPoint(column, row), flags);
  QmPumpMessages(100);
}

int ViewTest::At(int column, int row) {
  const CBead* bead = view->GetPattern()->GetBeadAt(column, row);
  if (!bead || !bead->IsPresent()) return -2;
  return bead->GetColorIndex(*view->GetPattern());
}

}  // namespace viewtest
