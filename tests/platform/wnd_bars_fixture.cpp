// The bars test program (see wnd_bars_fixture.h).
#include "tests/platform/wnd_bars_fixture.h"

#include "tests/common/test_util.h"

namespace fs = std::filesystem;

namespace barstest {

std::vector<std::string>& Log() {
  static std::vector<std::string> log;
  return log;
}

HINSTANCE Pack(bool russian) { return wndprogram::CompilePack("wnd_bars_data", "bars", russian); }

void UseLanguage(bool russian) { BarsTest::UseLanguage(russian); }

fs::path ShotPath(bool russian, const std::string& name) {
  const fs::path dir = qmtest::SourceDir() / "build" / "shots" / "platform" / (russian ? "ru" : "en");
  std::error_code ec;
  fs::create_directories(dir, ec);
  return dir / name;
}

QImage Picture(HWND hwnd) { return QmRenderWindow(hwnd, true); }

CRect RectIn(HWND child, HWND parent) {
  RECT r;
  GetWindowRect(child, &r);
  POINT tl{r.left, r.top};
  ScreenToClient(parent, &tl);
  return CRect(tl.x, tl.y, tl.x + (r.right - r.left), tl.y + (r.bottom - r.top));
}

COLORREF Pixel(const QImage& image, int x, int y) {
  const QRgb p = image.pixel(x, y);
  return RGB(qRed(p), qGreen(p), qBlue(p));
}

IMPLEMENT_DYNCREATE(CBarsFrame, CFrameWnd)
BEGIN_MESSAGE_MAP(CBarsFrame, CFrameWnd)
  ON_WM_CREATE()
  ON_COMMAND(ID_BAR_OPEN, OnOpen)
  ON_COMMAND(ID_BAR_SAVE, OnSave)
  ON_COMMAND(ID_BAR_EFFECT, OnEffect)
  ON_COMMAND(ID_BAR_GRID, OnGrid)
  ON_COMMAND(ID_BAR_ZOOM, OnZoom)
  ON_UPDATE_COMMAND_UI(ID_BAR_SAVE, OnUpdateSave)
  ON_UPDATE_COMMAND_UI(ID_BAR_GRID, OnUpdateGrid)
  ON_UPDATE_COMMAND_UI(ID_PANE_DESIGN, OnUpdateDesignPane)
  ON_UPDATE_COMMAND_UI(ID_PANE_PALETTE, OnUpdatePalettePane)
  ON_NOTIFY(TBN_DROPDOWN, AFX_IDW_TOOLBAR, OnDropDown)
END_MESSAGE_MAP()

int CBarsFrame::OnCreate(LPCREATESTRUCT lpcs) {
  if (CFrameWnd::OnCreate(lpcs) == -1) return -1;
  if (!m_toolbar.CreateEx(this, TBSTYLE_FLAT, WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM | CBRS_TOOLTIPS,
                          CRect(1, 3, 6, 4), AFX_IDW_TOOLBAR) ||
      !m_toolbar.LoadToolBar(IDR_BARS))
    return -1;
  static const UINT indicators[] = {ID_SEPARATOR, ID_PANE_DESIGN, ID_PANE_PALETTE};
  if (!m_status.Create(this, WS_CHILD | WS_VISIBLE | CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP, AFX_IDW_STATUS_BAR) ||
      !m_status.SetIndicators(indicators, 3))
    return -1;
  RecalcLayout();
  return 0;
}

void CBarsFrame::OnDropDown(NMHDR* pNMHDR, LRESULT* pResult) {
  m_dropDowns.push_back(*reinterpret_cast<NMTOOLBAR*>(pNMHDR));
  Log().push_back("dropdown");
  *pResult = TBDDRET_DEFAULT;
}

BOOL CBarsApp::InitInstance() {
  auto* frame = new CBarsFrame;
  if (!frame->Create(nullptr, "Bars")) return FALSE;
  m_pMainWnd = frame;
  frame->MoveWindow(40, 30, 640, 360);
  frame->ShowWindow(SW_SHOW);
  frame->UpdateWindow();
  return TRUE;
}

void BarsTest::SetUp() {
  Log().clear();
  ProgramTest::SetUp();
}

}  // namespace barstest
