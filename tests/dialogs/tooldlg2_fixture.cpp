#include "tests/dialogs/tooldlg2_fixture.h"

#include "tests/dialogs/tooldlg_fixture.h"

#include "core/FrameServices.h"
#include "image/ImageView.h"
#include "platform/base/msgbox.h"
#include "platform/wnd/host.h"
#include "settings/AppSettings.h"
#include "tools/dialogshots/DialogShots.h"
#include "view/FramePorts.h"
#include "view/ViewHooks.h"
#include "tests/common/modal_hook.h"

namespace tool2test {

namespace {
CWinApp& TestApp() {
  static CWinApp app("tool dialog tests");
  return app;
}
}  // namespace

CPattern MakeDesign(const std::vector<std::string>& rows) {
  CPattern p;
  CGridLayout layout;
  layout.width = static_cast<double>(rows.front().size());
  layout.height = static_cast<double>(rows.size());
  layout.beadWidth = layout.beadHeight = 1.0;
  layout.spacer = 0;
  layout.format = kFormatLoom;
  p.CreateGrid(layout, 0);
  p.m_nominalWidth = layout.width;
  p.m_nominalHeight = layout.height;
  for (size_t r = 0; r < rows.size(); ++r)
    for (size_t c = 0; c < rows[r].size(); ++c) {
      const char ch = rows[r][c];
      if (ch == '.')
        p.SetBeadPresent(static_cast<int>(c), static_cast<int>(r), false);
      else
        p.SetBeadColor(static_cast<int>(c), static_cast<int>(r), ch - '0', true);
    }
  return p;
}

std::vector<std::string> Rows(const CPattern& design) {
  std::vector<std::string> rows;
  for (unsigned r = 0; r < design.GetRowCount(); ++r) {
    std::string row;
    for (unsigned c = 0; c < design.GetColumnCount(); ++c) {
      const CBead* bead = design.GetBeadAt(static_cast<int>(c), static_cast<int>(r));
      row += (!bead || !bead->IsPresent()) ? '.' : static_cast<char>('0' + bead->GetColorIndex(design));
    }
    rows.push_back(row);
  }
  return rows;
}

void Tool2DialogTest::SetUp() {
  pack = std::make_unique<qmtest::LanguagePack>(false);
  InstallViewHooks();  // the previews' thumbnails
  dir = qmtest::MakeTempDir("tooldlg2");
  GetAppSettings().m_viewBackgroundColor = 0x808080;
  SetMessageBoxHook([this](const CString& text, const CString&, UINT type) {
    boxes.emplace_back(text.GetString());
    return DefaultMessageBoxButton(type);
  });
  frame = new CFrameWnd();
  ASSERT_TRUE(frame->Create(nullptr, "Tools", WS_OVERLAPPEDWINDOW, CRect(0, 0, 900, 600)));
  TestApp().m_pMainWnd = frame;
  view = static_cast<CTabView*>(RUNTIME_CLASS(CTabView)->CreateObject());
  ASSERT_TRUE(
      view->Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 600, 480), frame, AFX_IDW_PANE_FIRST, nullptr));
  view->OnInitialUpdate();
  SetActiveTabView(view);
  frame->ShowWindow(SW_SHOW);
  QmPumpMessages(100);
}

void Tool2DialogTest::TearDown() {
  SetActiveTabView(nullptr);
  qmtest::SetModalHook(nullptr);
  TestApp().m_pMainWnd = nullptr;
  if (frame) frame->DestroyWindow();
  QmPumpMessages(50);
  SetMessageBoxHook({});
  pack.reset();
}

void Tool2DialogTest::PutDesign(const CPattern& design) {
  tooltest::ShowDesign(view, design,
                       tooltest::MakePalette({RGB(220, 30, 30), RGB(30, 200, 30), RGB(30, 30, 220), RGB(230, 220, 20)}),
                       "test.pal", true);
}

POINT Tool2DialogTest::CellPoint(int column, int row) { return tooltest::CellCentre(view, column, row); }

COLORREF Tool2DialogTest::PixelAt(int column, int row) { return tooltest::ViewPixel(view, column, row); }

bool Tool2DialogTest::Shown(const std::string& part) const {
  for (const auto& b : boxes)
    if (b.find(part) != std::string::npos) return true;
  return false;
}

std::string ShotPath(bool russian, const std::string& name) { return DefaultShotsDir(russian) + "/" + name; }

}  // namespace tool2test
