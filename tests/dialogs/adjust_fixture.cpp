#include "tests/dialogs/adjust_fixture.h"

#include "core/FrameServices.h"
#include "core/RgbTriple.h"
#include "tools/dialogshots/DialogShots.h"
#include "view/FramePorts.h"
#include "view/TabView.h"
#include "view/ViewHooks.h"

namespace adjusttest {

namespace {

// The main frame as the dialogs reach it: its design view, nothing else.
class CViewOnlyFrame : public IMainFrame {
 public:
  CTabView* view = nullptr;
  CAppStatusBar* GetStatusBar() override { return nullptr; }
  void ResetStatusTexts() override {}
  CTabView* GetTabView() override { return view; }
  CCtrlPane* GetCtrlPane() override { return nullptr; }
  CImageList* GetMenuImageList() override { return nullptr; }
  void EnableClose(bool) override {}
};

CViewOnlyFrame g_viewFrame;

}  // namespace

CViewFrame::CViewFrame() {
  frame_ = new CFrameWnd();
  EXPECT_TRUE(frame_->Create(nullptr, "Design", WS_OVERLAPPEDWINDOW, CRect(0, 0, 900, 600)));
  view_ = static_cast<CTabView*>(RUNTIME_CLASS(CTabView)->CreateObject());
  EXPECT_TRUE(view_->Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 800, 560), frame_, AFX_IDW_PANE_FIRST,
                            nullptr));
  view_->OnInitialUpdate();
  g_viewFrame.view = view_;
  SetMainFrameServices(&g_viewFrame, nullptr, nullptr);
  InstallViewHooks();
  SetActiveTabView(view_);
}

CViewFrame::~CViewFrame() {
  SetActiveTabView(nullptr);
  SetMainFrameServices(nullptr, nullptr, nullptr);
  g_viewFrame.view = nullptr;
  frame_->DestroyWindow();
}

CColorSet MakeCountedPalette(const std::vector<unsigned>& counts) {
  CColorSet palette;
  for (size_t i = 0; i < counts.size(); ++i) {
    CString name;
    name.Format("C%u", static_cast<unsigned>(i + 1));
    const BYTE v = static_cast<BYTE>(20 + 37 * i % 220);
    CPaletteColor c(CRgbTriple(v, static_cast<BYTE>(255 - v), static_cast<BYTE>(v / 2)), name, counts[i],
                    static_cast<int>(i + 1), 1000, 100);
    c.SetInUse(1);
    palette.Append(c);
  }
  palette.SetLoaded(true);
  return palette;
}

CPattern MakeGridDesign(int columns, int rows, int colours) {
  CPattern d;
  CGridLayout layout;
  layout.width = 0.1f * columns;
  layout.height = 0.1f * rows;
  layout.beadWidth = 0.1f;
  layout.beadHeight = 0.1f;
  layout.spacer = 0.0f;
  layout.format = kFormatLoom;
  d.CreateGrid(layout, 0);
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < columns; ++c) d.SetBeadColor(c, r, (c + r) % colours, true);
  d.SetModified(false);
  return d;
}

void PutDesign(CTabView* view, const CPattern& design, const CColorSet& palette, const CString& palettePath) {
  view->SetColorSet(palette, palettePath);
  *view->GetPattern() = design;
  view->GetPattern()->CacheBeadColors(*view->GetColorSet());
  view->CountUsedColors();
  view->OnPatternChanged(false);
}

CString Text(HWND window) {
  char buffer[512] = {};
  GetWindowText(window, buffer, sizeof buffer);
  return CString(buffer);
}

bool Shown(HWND window) { return window && IsWindowVisible(window) != FALSE; }
bool Enabled(HWND window) { return window && IsWindowEnabled(window) != FALSE; }

void CheckAndShoot(HWND dialog, bool russian, const std::string& name) {
  // A sheet: its tab control and the shown page lie over each other by
  // design; the page's own controls are checked inside the page.
  const HWND page = reinterpret_cast<HWND>(::SendMessage(dialog, PSM_GETCURRENTPAGEHWND, 0, 0));
  for (const DialogLayoutProblem& p : CheckDialogLayout(dialog)) {
    if (page && (p.control == static_cast<int>(AFX_IDC_TAB_CONTROL) || p.control == 0)) continue;
    ADD_FAILURE() << name << ": " << DescribeProblem(p);
  }
  if (page)
    for (const DialogLayoutProblem& p : CheckDialogLayout(page)) ADD_FAILURE() << name << " page: " << DescribeProblem(p);
  EXPECT_TRUE(SaveDialogShot(dialog, DefaultShotsDir(russian) + "/" + name + ".png"));
}

}  // namespace adjusttest
