#include "tests/dialogs/tooldlg_fixture.h"

#include "platform/base/codepage.h"
#include "platform/base/msgbox.h"
#include "settings/AppSettings.h"
#include "tests/common/modal_hook.h"
#include "view/FramePorts.h"

namespace tooltest {

namespace {
CWinApp& TestApp() {
  static CWinApp app("tool dialog tests");
  return app;
}
}  // namespace

CColorSet MakePalette(const std::vector<COLORREF>& colors) {
  CColorSet set;
  for (size_t i = 0; i < colors.size(); ++i) {
    CString name;
    name.Format("C%d", static_cast<int>(i));
    CPaletteColor c(CRgbTriple::FromColorref(colors[i]), name, 0, static_cast<int>(i), 0, 0);
    c.SetInUse(1);
    set.Append(c);
  }
  return set;
}

CPattern MakeDesign(int columns, int rows, int color) {
  CPattern p;
  CGridLayout layout;
  layout.width = static_cast<float>(columns);
  layout.height = static_cast<float>(rows);
  layout.beadWidth = layout.beadHeight = 1.0f;
  layout.spacer = 0.0f;
  layout.format = kFormatLoom;
  p.CreateGrid(layout, color);
  return p;
}

void ToolDialogTest::SetUp() {
  codePage = GetAnsiCodePage();
  UseLanguage(Russian());
  GetAppSettings().m_viewBackgroundColor = 0x808080;
  GetAppSettings().m_advancedImageQuality = 1;
  SetMessageBoxHook([this](const CString& text, const CString&, UINT type) {
    messages.emplace_back(text.GetString());
    return DefaultMessageBoxButton(type);
  });
  frame = new CFrameWnd();
  ASSERT_TRUE(frame->Create(nullptr, "Tool dialogs", WS_OVERLAPPEDWINDOW, CRect(0, 0, 640, 520)));
  TestApp().m_pMainWnd = frame;
  view = static_cast<CTabView*>(RUNTIME_CLASS(CTabView)->CreateObject());
  ASSERT_TRUE(
      view->Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 600, 480), frame, AFX_IDW_PANE_FIRST, nullptr));
  view->OnInitialUpdate();
  view->SetToolSource(&pane);
  SetActiveTabView(view);
  frame->ShowWindow(SW_SHOW);
  QmPumpMessages(100);
}

void ToolDialogTest::TearDown() {
  qmtest::SetModalHook(nullptr);
  SetMessageBoxHook({});
  // Tool windows still open go first, as when the program closes.
  for (int slot = 0; slot < CTabView::kToolSlotCount; ++slot) {
    CWnd* window = view ? view->GetToolWindow(static_cast<CTabView::ToolSlot>(slot)) : nullptr;
    if (window && window->GetSafeHwnd()) window->DestroyWindow();
  }
  SetActiveTabView(nullptr);
  TestApp().m_pMainWnd = nullptr;
  if (frame) frame->DestroyWindow();
  QmPumpMessages(50);
  pack.reset();
  SetAnsiCodePage(codePage);
}

void ToolDialogTest::UseLanguage(bool russian) {
  // Window texts are taken in the pack's code page.
  SetAnsiCodePage(russian ? 1251 : 1252);
  pack.reset();
  pack = std::make_unique<qmtest::LanguagePack>(russian);
}

void ToolDialogTest::PutDesign(const CPattern& design, const std::vector<COLORREF>& colors) {
  ShowDesign(view, design, MakePalette(colors), "test.pal");
}

POINT ToolDialogTest::CellPoint(int column, int row) { return CellCentre(view, column, row); }

void ToolDialogTest::Press(int column, int row, UINT flags) {
  QmSendMouse(view->GetSafeHwnd(), WM_LBUTTONDOWN, CellPoint(column, row), flags);
}
void ToolDialogTest::Move(int column, int row, UINT flags) {
  QmSendMouse(view->GetSafeHwnd(), WM_MOUSEMOVE, CellPoint(column, row), flags);
}
void ToolDialogTest::Release(int column, int row, UINT flags) {
  QmSendMouse(view->GetSafeHwnd(), WM_LBUTTONUP, CellPoint(column, row), flags);
}
void ToolDialogTest::Drag(int c0, int r0, int c1, int r1) {
  Press(c0, r0);
  Move(c0, r0);
  Move(c1, r1);
  Release(c1, r1);
}

int ToolDialogTest::At(int column, int row) {
  const CBead* bead = view->GetPattern()->GetBeadAt(column, row);
  if (!bead || !bead->IsPresent()) return -2;
  return bead->GetColorIndex(*view->GetPattern());
}

COLORREF ToolDialogTest::PixelAt(int column, int row) {
  QmPumpMessages(50);
  return ViewPixel(view, column, row);
}

std::vector<std::string> ToolDialogTest::TakeMessages() {
  std::vector<std::string> out;
  out.swap(messages);
  return out;
}

::testing::AssertionResult SameBeads(const CPattern& a, const CPattern& b) {
  if (a.GetColumnCount() != b.GetColumnCount() || a.GetRowCount() != b.GetRowCount())
    return ::testing::AssertionFailure() << "grid " << a.GetColumnCount() << "x" << a.GetRowCount() << " vs "
                                         << b.GetColumnCount() << "x" << b.GetRowCount();
  const auto& x = a.GetBeadArray();
  const auto& y = b.GetBeadArray();
  for (size_t i = 0; i < x.size(); ++i) {
    if (x[i].m_present != y[i].m_present || x[i].GetColorIndex(a) != y[i].GetColorIndex(b))
      return ::testing::AssertionFailure() << "bead " << i << " differs";
  }
  return ::testing::AssertionSuccess();
}

}  // namespace tooltest
