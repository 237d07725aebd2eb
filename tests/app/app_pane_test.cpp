// The control pane inside the running program: the colour picked in its
// list and the tool picked by its buttons are what the design view draws
// with; its list follows the design's colours; and pictures of the pane and
// of the main window with a design in both languages
// (build/shots/<en|ru>/pane_*.png).
#include <QImage>

#include <algorithm>
#include <filesystem>

#include "app/AboutDlg.h"
#include "app/bars/AppStatusBar.h"
#include "controls/AdjustButton.h"
#include "core/ViewServices.h"
#include "lang/ids/shell.h"
#include "image/Image.h"
#include "image/ImageView.h"
#include "lang/ids/view.h"
#include "platform/base/codepage.h"
#include "settings/AppSettings.h"
#include "tests/app/app_fixture.h"
#include "tests/view/view_test_util.h"
#include "view/CtrlPane.h"
#include "view/PatternRender.h"
#include "view/ToolDialogs.h"

namespace apptest {
namespace {

namespace fs = std::filesystem;

constexpr COLORREF kRed = RGB(200, 40, 40), kGreen = RGB(40, 200, 40), kBlue = RGB(40, 40, 200);

class PaneTest : public AppTest {
 protected:
  // Starts the program and shows a columns x rows design of colour 0 with
  // three colours, the pane's list filled from it.
  void StartWithDesign(int columns, int rows, bool russian = false) {
    StoreLanguage(russian);
    StoreAcceptedSettings();
    ASSERT_TRUE(Start());
    if (CAboutDlg* splash = CAboutDlg::GetLiveSplash()) splash->DestroyWindow();
    view = View();
    pane = Frame()->GetCtrlPane();
    ASSERT_NE(view, nullptr);
    ASSERT_NE(pane, nullptr);
    *view->GetPattern() = viewtest::MakeDesign(columns, rows);
    view->SetColorSet(viewtest::MakePalette({kRed, kGreen, kBlue}), "three.pal");
    view->SetZoomMode(1);
    view->OnPatternChanged(false);
    pane->FillColorList();
    view->Invalidate(TRUE);
    view->UpdateWindow();
    QmPumpMessages(200);
    ASSERT_TRUE(view->HasPatternView());
  }

  // Clicks the list's row that shows the colour, as the user does.
  void ClickColorRow(COLORREF color) {
    CColorListCtrl& list = pane->GetColorList();
    int row = -1;
    for (int i = 0; i < list.GetItemCount(); ++i) {
      CPaletteColor c;
      if (list.GetItemColor(i, c) && c.GetRgb().GetColorref() == color) row = i;
    }
    ASSERT_GE(row, 0);
    CRect r;
    ASSERT_TRUE(list.GetItemRect(row, &r, LVIR_LABEL));
    QmSendMouse(list.m_hWnd, WM_LBUTTONDOWN, r.CenterPoint(), MK_LBUTTON);
    QmSendMouse(list.m_hWnd, WM_LBUTTONUP, r.CenterPoint(), 0);
    QmPumpMessages(50);
  }

  // Checks or unchecks "Omit unused colors" as a click does.
  void SetOmitUnused(bool omit) {
    CButton* box = static_cast<CButton*>(pane->GetDlgItem(IDC_CP_OMIT_UNUSED));
    ASSERT_NE(box, nullptr);
    box->SetCheck(omit ? BST_CHECKED : BST_UNCHECKED);
    pane->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_CP_OMIT_UNUSED, BN_CLICKED), reinterpret_cast<LPARAM>(box->m_hWnd));
  }

  void ClickTool(UINT id) {
    CWnd* button = pane->GetDlgItem(static_cast<int>(id));
    ASSERT_NE(button, nullptr);
    CRect r;
    button->GetClientRect(&r);
    QmSendMouse(button->m_hWnd, WM_LBUTTONDOWN, r.CenterPoint(), MK_LBUTTON);
    QmSendMouse(button->m_hWnd, WM_LBUTTONUP, r.CenterPoint(), 0);
    QmPumpMessages(50);
  }

  // The text of the list's Count column in the colour's row.
  std::string CountShown(COLORREF color) {
    CColorListCtrl& list = pane->GetColorList();
    int column = -1;
    for (int c = 0; c < static_cast<int>(list.GetData().columns.size()); ++c)
      if (list.GetData().columns[size_t(c)].kind == kColumnCount) column = c;
    for (int i = 0; i < list.GetItemCount(); ++i) {
      CPaletteColor c;
      if (column >= 0 && list.GetItemColor(i, c) && c.GetRgb().GetColorref() == color)
        return list.GetItemText(i, column).GetString();
    }
    return "?";
  }

  POINT CellPoint(int row, int column) {
    POINT cell{0, 0};
    SIZE size;
    // (the cell's centre: half a cell further is its border)
    view->GetPattern()->MapCellToImage(row, column, view->GetPatternView()->GetDrawnRect(), cell, size, false);
    return cell;
  }

  void Shot(bool russian, const std::string& name, const QImage& image) {
    const fs::path dir = qmtest::SourceDir() / "build" / "shots" / (russian ? "ru" : "en");
    fs::create_directories(dir);
    EXPECT_FALSE(image.isNull()) << name;
    EXPECT_TRUE(image.save(QString::fromStdString((dir / (name + ".png")).string())));
  }

  CTabView* view = nullptr;
  CCtrlPane* pane = nullptr;
};

TEST_F(PaneTest, TheColourAndToolPickedInThePaneAreWhatThePencilDrawsAndUndoTakesBack) {
  StartWithDesign(8, 6);
  // The frame's own pane answers the view: no stand-in.
  EXPECT_EQ(view->GetToolSource(), static_cast<IViewToolSource*>(pane));
  // Unused colours are omitted at first: the design uses only red.
  EXPECT_EQ(pane->GetColorList().GetItemCount(), 1);
  SetOmitUnused(false);
  EXPECT_EQ(pane->GetColorList().GetItemCount(), 3);

  // Another tool first, then the pencil again by its button.
  ClickTool(IDC_CP_LINE);
  EXPECT_EQ(pane->GetCurrentTool(), CTabView::kToolLine);
  EXPECT_TRUE(pane->GetToolButton(CTabView::kToolLine).IsPressed());
  ClickTool(IDC_CP_PENCIL);
  EXPECT_EQ(pane->GetCurrentTool(), CTabView::kToolPencil);
  EXPECT_FALSE(pane->GetToolButton(CTabView::kToolLine).IsPressed());

  ClickColorRow(kBlue);
  ASSERT_EQ(pane->GetPenColor(), 2);
  const POINT p = CellPoint(2, 3);
  QmSendMouse(view->m_hWnd, WM_LBUTTONDOWN, p, MK_LBUTTON);
  QmSendMouse(view->m_hWnd, WM_LBUTTONUP, p, 0);
  QmPumpMessages(100);
  EXPECT_EQ(ColorAt(view, 3, 2), 2);
  EXPECT_EQ(ColorAt(view, 4, 2), 0);
  // The list shows the new use and keeps the picked colour.
  EXPECT_EQ(pane->GetPenColor(), 2);
  EXPECT_EQ(CountShown(kBlue), "1");
  EXPECT_EQ(CountShown(kRed), "47");

  // The frame's Undo command takes the bead back.
  ASSERT_TRUE(QueryCommand(Frame(), ID_EDIT_UNDO_STEP).enabled);
  Frame()->SendMessage(WM_COMMAND, ID_EDIT_UNDO_STEP);
  QmPumpMessages(100);
  EXPECT_EQ(ColorAt(view, 3, 2), 0);
  EXPECT_FALSE(view->CanUndo());

  // The eraser picked in the pane removes the bead.
  ClickTool(IDC_CP_ERASE);
  QmSendMouse(view->m_hWnd, WM_LBUTTONDOWN, p, MK_LBUTTON);
  QmSendMouse(view->m_hWnd, WM_LBUTTONUP, p, 0);
  QmPumpMessages(100);
  EXPECT_EQ(ColorAt(view, 3, 2), -2);
}

TEST_F(PaneTest, OmittingUnusedColoursKeepsTheSelectionAndTheChoiceIsStored) {
  StartWithDesign(4, 3);
  SetOmitUnused(false);
  EXPECT_EQ(GetAppSettings().m_omitUnusedColors, 0);
  ClickColorRow(kRed);
  ASSERT_EQ(pane->GetPenColor(), 0);
  SetOmitUnused(true);
  EXPECT_EQ(GetAppSettings().m_omitUnusedColors, 1);
  // Only red is used by the design.
  EXPECT_EQ(pane->GetColorList().GetItemCount(), 1);
  EXPECT_EQ(pane->GetPenColor(), 0);
  SetOmitUnused(false);
  EXPECT_EQ(pane->GetColorList().GetItemCount(), 3);
  EXPECT_EQ(pane->GetPenColor(), 0);

  // "Clear marked" clears the marks; the right-click choice is stored.
  view->GetPattern()->SetMarkedBeads(std::vector<UINT>{0, 1, 2});
  pane->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_CP_CLEAR_MARKED, BN_CLICKED), 0);
  EXPECT_FALSE(view->GetPattern()->HasMarkedBeads());
  CComboBox* action = static_cast<CComboBox*>(pane->GetDlgItem(IDC_CP_RIGHT_ACTION));
  ASSERT_NE(action, nullptr);
  EXPECT_EQ(action->GetCount(), 3);
  action->SetCurSel(2);
  pane->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_CP_RIGHT_ACTION, CBN_SELCHANGE), reinterpret_cast<LPARAM>(action->m_hWnd));
  EXPECT_EQ(GetAppSettings().m_rightClickAction, 2);
}

// The overlay as the pane drives it.
class FakeOverlay : public ILayerOverlay {
 public:
  explicit FakeOverlay(std::vector<std::string>& log) : log_(log) {}
  void SetAlpha(BYTE alpha) override { log_.push_back("alpha " + std::to_string(alpha)); }
  void ResetPlacement() override { log_.push_back("reset"); }
  void FitToViewImage() override { log_.push_back("fit"); }
  void Close() override { log_.push_back("close"); }

 private:
  std::vector<std::string>& log_;
};

TEST_F(PaneTest, TheOverlayFollowsShowTheSliderAndOneReplacementAfterABurst) {
  StartWithDesign(4, 3);
  std::vector<std::string> log;
  CViewDialogFactories factories;
  factories.createOverlay = [&](HBITMAP bitmap, BYTE alpha, CWnd* owner, CTabView* over) -> ILayerOverlay* {
    EXPECT_NE(bitmap, nullptr);
    EXPECT_EQ(owner, pane);
    EXPECT_EQ(over, view);
    log.push_back("create " + std::to_string(alpha));
    return new FakeOverlay(log);
  };
  SetViewDialogFactories(factories);
  CButton* show = static_cast<CButton*>(pane->GetDlgItem(IDC_CP_SHOW_ORIGINAL));
  ASSERT_NE(show, nullptr);
  auto clickShow = [&] {
    pane->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_CP_SHOW_ORIGINAL, BN_CLICKED), reinterpret_cast<LPARAM>(show->m_hWnd));
  };

  // Without an original picture: "Show" is disabled, and a click says so.
  pane->UpdateOriginalControls();
  EXPECT_FALSE(show->IsWindowEnabled());
  clickShow();
  EXPECT_TRUE(BoxShown("Original image not loaded"));
  EXPECT_FALSE(pane->IsOverlayShown());
  EXPECT_TRUE(log.empty());

  // With one: the overlay opens at the slider's alpha (15 gives 128).
  bool ok = false;
  CImage picture(40, 30, ok, RGB(10, 120, 60));
  ASSERT_TRUE(ok);
  const auto bitmap = picture.ToBitmap();
  ASSERT_TRUE(bitmap);
  view->SetOriginalView(new CImageView(view, static_cast<HBITMAP>(bitmap->GetSafeHandle()), false), "original.png");
  pane->UpdateOriginalControls();
  EXPECT_TRUE(show->IsWindowEnabled());
  EXPECT_EQ(show->GetCheck(), BST_UNCHECKED);
  show->SetCheck(BST_CHECKED);
  clickShow();
  ASSERT_TRUE(pane->IsOverlayShown());
  ASSERT_GE(log.size(), 1u);
  EXPECT_EQ(log[0], "create 128");

  // A burst of size messages: one re-placement after the last.
  log.clear();
  static const UINT sizeChanged = RegisterWindowMessage("MsgTabViewSizeChanged");
  for (int i = 0; i < 5; ++i) pane->SendMessage(sizeChanged);
  EXPECT_NE(pane->GetPendingTimer(), 0);
  EXPECT_TRUE(log.empty());
  for (int i = 0; i < 20 && pane->GetPendingTimer() != 0; ++i) QmWait(20);
  EXPECT_EQ(pane->GetPendingTimer(), 0);
  EXPECT_EQ(log, (std::vector<std::string>{"reset", "fit"}));

  // Dropping the picture closes the overlay and disables "Show".
  log.clear();
  view->SetOriginalView(nullptr, "");
  EXPECT_FALSE(pane->IsOverlayShown());
  EXPECT_EQ(log, (std::vector<std::string>{"close"}));
  EXPECT_FALSE(show->IsWindowEnabled());
  SetViewDialogFactories({});
}

TEST_F(PaneTest, TheRulersCornerButtonGivesThePaneItsIdealWidthAgain) {
  StartWithDesign(4, 3);
  CFWSplitterWnd& splitter = Frame()->GetSplitter();
  int fitted = 0, minimum = 0;
  splitter.GetColumnInfo(0, fitted, minimum);
  splitter.SetColumnInfo(0, fitted - 150, 0);
  splitter.RecalcLayout();
  int column = 0;
  splitter.GetColumnInfo(0, column, minimum);
  ASSERT_EQ(column, fitted - 150);
  CWnd* button = view->GetHorzRuler().GetCornerButton();
  ASSERT_NE(button, nullptr);
  EXPECT_NE(dynamic_cast<CAdjustButton*>(button), nullptr);
  view->GetHorzRuler().SendMessage(WM_COMMAND, MAKEWPARAM(button->GetDlgCtrlID(), BN_CLICKED),
                                   reinterpret_cast<LPARAM>(button->m_hWnd));
  splitter.GetColumnInfo(0, column, minimum);
  EXPECT_EQ(column, fitted);
}

TEST_F(PaneTest, TheViewsHooksDrawThumbnailsAndFillTheStatusBar) {
  StartWithDesign(6, 4);
  // The thumbnail of the file previews is the design itself.
  CPattern design = viewtest::MakeDesign(6, 4, kFormatLoom, 2);
  CColorSet palette = viewtest::MakePalette({kRed, kGreen, kBlue});
  CBitmap thumbnail;
  CClientDC dc(view);
  ASSERT_TRUE(RenderPatternThumbnail(&dc, design, palette, SIZE{60, 40}, 2, thumbnail, RGB(255, 255, 255)));
  int w = 0, h = 0;
  const std::vector<uint32_t> px = viewtest::PixelsOf(static_cast<HBITMAP>(thumbnail.GetSafeHandle()), w, h);
  ASSERT_EQ(w, 60);
  ASSERT_EQ(h, 40);
  // The middle of a bead is blue-dominated.
  const uint32_t centre = px[size_t(h / 2 + 3) * w + w / 2 + 5];
  EXPECT_GT(centre & 0xFF, (centre >> 16) & 0xFF);

  // Moving over a bead writes its information into the status bar.
  const POINT p = CellPoint(1, 2);
  QmSendMouse(view->m_hWnd, WM_MOUSEMOVE, p, 0);
  CString text;
  Frame()->GetAppStatusBar().GetWindowText(text);
  EXPECT_NE(text.Find("column 3, row 2"), -1) << text.GetString();  // rows count from the bottom
  // The pencil without a colour gives the green alert.
  pane->GetColorList().ClearSelection();
  QmSendMouse(view->m_hWnd, WM_LBUTTONDOWN, p, MK_LBUTTON);
  QmSendMouse(view->m_hWnd, WM_LBUTTONUP, p, 0);
  Frame()->GetAppStatusBar().GetWindowText(text);
  EXPECT_EQ(text, MakeStatusAlertText(1, LoadResString(IDS_VIEW_SELECT_COLOR)));
}

class PaneShots : public PaneTest, public ::testing::WithParamInterface<bool> {};

TEST_P(PaneShots, ThePaneAndTheMainWindowWithADesign) {
  const bool russian = GetParam();
  StartWithDesign(24, 18, russian);
  // A few colours, marks and a picked colour, as after some editing.
  CPattern* design = view->GetPattern();
  for (int c = 0; c < 24; ++c)
    for (int r = 0; r < 18; ++r)
      if ((c / 4 + r / 3) % 3) design->GetBeadAt(c, r)->SetColorIndex((c / 4 + r / 3) % 3);
  design->SetMarkedBeads(std::vector<UINT>{0, 1, 2, 30});
  view->OnPatternChanged(false);
  SetOmitUnused(false);
  ClickColorRow(kGreen);
  QmRunIdle();
  QmPumpMessages(200);
  const QImage panePicture = QmRenderWindow(pane->m_hWnd, false);
  const QImage mainPicture = QmRenderWindow(Frame()->m_hWnd, true);
  Shot(russian, "pane_control_pane", panePicture);
  Shot(russian, "pane_main_window", mainPicture);

  // The pane shows the green row selected: the row's band changes when the
  // selection goes, and no other row's band does.
  CColorListCtrl& list = pane->GetColorList();
  const int selected = list.GetNextItem(-1, LVNI_SELECTED);
  ASSERT_GE(selected, 0);
  CPaletteColor picked;
  ASSERT_TRUE(list.GetItemColor(selected, picked));
  EXPECT_EQ(picked.GetRgb().GetColorref(), kGreen);
  list.SetItemState(selected, 0, LVIS_SELECTED);
  QmPumpMessages(50);
  const QImage unselected = QmRenderWindow(pane->m_hWnd, false);
  ASSERT_EQ(unselected.size(), panePicture.size());
  for (int row = 0; row < list.GetItemCount(); ++row) {
    CRect band;
    ASSERT_TRUE(list.GetItemRect(row, &band, LVIR_BOUNDS));
    list.ClientToScreen(&band);
    pane->ScreenToClient(&band);
    int changed = 0;
    const int top = std::max(0, static_cast<int>(band.top)), bottom = std::min(static_cast<int>(band.bottom), panePicture.height());
    const int left = std::max(0, static_cast<int>(band.left)), right = std::min(static_cast<int>(band.right), panePicture.width());
    for (int y = top; y < bottom; ++y)
      for (int x = left; x < right; ++x)
        changed += panePicture.pixel(x, y) != unselected.pixel(x, y);
    if (row == selected)
      EXPECT_GT(changed, band.Width()) << "the selected row looks like the others";
    else
      EXPECT_EQ(changed, 0) << "row " << row;
  }

  // The main window shows the design's marks: each marked bead's tick in its
  // contrast colour where the view lies in the window.
  CPatternImageView* patternView = view->GetPatternView();
  ASSERT_NE(patternView, nullptr);
  CRect window;
  Frame()->GetWindowRect(&window);
  CPoint origin(0, 0);
  view->ClientToScreen(&origin);
  origin -= window.TopLeft();
  for (UINT index : {0u, 1u, 2u, 30u}) {
    RECT cell;
    COLORREF color = 0;
    ASSERT_TRUE(patternView->GetMarkTick(static_cast<int>(index), cell, color)) << index;
    // The tick's lowest point, give or take a pixel.
    const int x = origin.x + (cell.left + cell.right) / 2 - 1, y = origin.y + cell.bottom - 2;
    bool found = false;
    for (int dy = -1; dy <= 1 && !found; ++dy)
      for (int dx = -1; dx <= 1 && !found; ++dx)
        if (mainPicture.valid(x + dx, y + dy)) {
          const QRgb p = mainPicture.pixel(x + dx, y + dy);
          found = RGB(qRed(p), qGreen(p), qBlue(p)) == color;
        }
    EXPECT_TRUE(found) << "no mark on bead " << index;
  }
}

TEST_P(PaneShots, TheEmptyMainWindowAt800x600) {
  const bool russian = GetParam();
  StoreLanguage(russian);
  StoreAcceptedSettings();
  ASSERT_TRUE(Start());
  if (CAboutDlg* splash = CAboutDlg::GetLiveSplash()) splash->DestroyWindow();
  // Once started, the empty view shows its hint lines.
  QmPumpMessages(200);
  QmRenderWindow(View()->m_hWnd, false);
  EXPECT_FALSE(IsRectEmpty(&View()->GetHintRect(0)));
  Frame()->ShowWindow(SW_RESTORE);
  Frame()->MoveWindow(0, 0, 800, 600);
  QmRunIdle();
  QmPumpMessages(200);
  Shot(russian, "pane_empty_main_window_800", QmRenderWindow(Frame()->m_hWnd, true));
  // Both hint lines lie wholly inside the view.
  CRect client;
  View()->GetClientRect(&client);
  for (int line = 0; line < 2; ++line) {
    const RECT& r = View()->GetHintRect(line);
    EXPECT_GT(r.right, r.left) << line;
    EXPECT_GE(r.left, 0) << line;
    EXPECT_LE(r.right, client.right) << line;
  }
  // The status bar's information boxes share its width: the palette box
  // keeps its text when it fits in half, the other takes the rest.
  int first = 300, second = 500;
  CAppStatusBar::ShareInfoBoxWidths(700, first, second);
  EXPECT_EQ(first, 300);
  EXPECT_EQ(second, 400);
  first = 500, second = 500;
  CAppStatusBar::ShareInfoBoxWidths(700, first, second);
  EXPECT_EQ(first + second, 700);
  first = 200, second = 300;
  CAppStatusBar::ShareInfoBoxWidths(700, first, second);
  EXPECT_EQ(second, 300);
}

INSTANTIATE_TEST_SUITE_P(Languages, PaneShots, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? std::string("Russian") : std::string("English"); });

}  // namespace
}  // namespace apptest
