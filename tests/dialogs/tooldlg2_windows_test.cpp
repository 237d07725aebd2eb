// The interesting-colours, design-by-sample, use-only-N-colours, preview
// and picture-layer windows over a real design view.
#include <QImage>

#include <set>

#include "controls/ColorListCtrl.h"
#include "dialogs/DesignBySampleDlg.h"
#include "dialogs/InterestingColorsDlg.h"
#include "dialogs/LayerView.h"
#include "dialogs/PatternPreviewDlg.h"
#include "dialogs/ReduceColorsDlg.h"
#include "image/Image.h"
#include "lang/ids/tooldlg2.h"
#include "platform/wnd/controls.h"
#include "platform/wnd/host.h"
#include "settings/AppSettings.h"
#include "tests/dialogs/tooldlg2_fixture.h"
#include "view/PatternRender.h"
#include "tests/common/modal_hook.h"

using namespace tool2test;

namespace {

const std::vector<std::string> kFourColours = {
    "00001",
    "00112",
    "01122",
    "00023",
};

void SelectOnly(CListCtrl& list, int row) {
  for (int r = 0; r < list.GetItemCount(); ++r) list.SetItemState(r, r == row ? LVIS_SELECTED : 0, LVIS_SELECTED);
}

}  // namespace

// ---- Interesting colours ----

TEST(InterestingColors, FadingKeepsTheGivenShareOfTheColour) {
  EXPECT_EQ(FadeChannel(0, 20), 0);
  EXPECT_EQ(FadeChannel(200, 20), 200);
  EXPECT_EQ(FadeChannel(0, 1), 242);  // 5 per cent of black, the rest white
  EXPECT_EQ(FadeChannel(100, 6), (100 * 30 + 25500 - 30 * 255) / 100);
  EXPECT_EQ(FadeChannel(255, 1), 255);
}

TEST_F(Tool2DialogTest, InterestingColoursFadeTheRestAndClosingGivesEveryColourItsExactRgb) {
  PutRows(kFourColours);
  CDisplayOnlyColorsDialog::ResetSharedValues();
  const CColorSet original = *view->GetColorSet();
  auto* dialog = CDisplayOnlyColorsDialog::Open(view, frame);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(view->GetToolWindow(CTabView::kToolInteresting), dialog);
  // One row per used colour, most used first, with its count.
  CListCtrl& list = dialog->GetList();
  ASSERT_EQ(list.GetItemCount(), 4);
  EXPECT_EQ(list.GetItemText(0, 0), "C0 - 10");
  EXPECT_EQ(list.GetItemData(0), 0u);
  EXPECT_EQ(list.GetItemText(3, 0), "C3 - 1");
  const COLORREF plain = PixelAt(4, 1);
  SelectOnly(list, 0);
  dialog->Refresh();
  // The most used colour keeps its RGB, the others are faded; its beads are
  // marked; the view shows it.
  const CColorSet& shown = *view->GetColorSet();
  EXPECT_EQ(shown.GetColorrefAt(0), original.GetColorrefAt(0));
  const COLORREF c1 = original.GetColorrefAt(1);
  EXPECT_EQ(shown.GetColorrefAt(1),
            RGB(FadeChannel(GetRValue(c1), 6), FadeChannel(GetGValue(c1), 6), FadeChannel(GetBValue(c1), 6)));
  EXPECT_EQ(view->GetPattern()->m_markedBeads.size(), 10u);
  QmPumpMessages(50);
  const COLORREF faded = PixelAt(4, 1);
  EXPECT_NE(faded, plain);
  EXPECT_GT(GetRValue(faded) + GetGValue(faded) + GetBValue(faded), GetRValue(plain) + GetGValue(plain) + GetBValue(plain));
  // Many refreshes at many levels, and other selections.
  for (int i = 0; i < 40; ++i) {
    dialog->SetFadingLevel(1 + i % 20);
    SelectOnly(list, i % 4);
    dialog->Refresh();
  }
  dialog->SetFadingLevel(20);
  for (int c = 0; c < 4; ++c) EXPECT_EQ(shown.GetColorrefAt(c), original.GetColorrefAt(c));
  dialog->SetFadingLevel(9);
  // The mark option off: no marks.
  CheckDlgButton(dialog->GetSafeHwnd(), IDC_INT_MARK, BST_UNCHECKED);
  dialog->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_INT_MARK, BN_CLICKED), 0);
  EXPECT_TRUE(view->GetPattern()->m_markedBeads.empty());
  dialog->SendMessage(WM_COMMAND, IDCANCEL);
  QmPumpMessages(50);
  EXPECT_EQ(view->GetToolWindow(CTabView::kToolInteresting), nullptr);
  for (int c = 0; c < 4; ++c) EXPECT_EQ(shown.GetColorrefAt(c), original.GetColorrefAt(c)) << c;
  QmPumpMessages(50);
  EXPECT_EQ(PixelAt(4, 1), plain);
  // The next opening shows the level and option chosen.
  dialog = CDisplayOnlyColorsDialog::Open(view, frame);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(static_cast<CSliderCtrl*>(dialog->GetDlgItem(IDC_INT_LEVEL))->GetPos(), 9);
  EXPECT_EQ(IsDlgButtonChecked(dialog->GetSafeHwnd(), IDC_INT_MARK), BST_UNCHECKED);
  // With nothing selected every colour is faded.
  dialog->Refresh();
  for (int c = 0; c < 4; ++c) EXPECT_NE(shown.GetColorrefAt(c), original.GetColorrefAt(c));
  dialog->SendMessage(WM_COMMAND, IDCANCEL);
  QmPumpMessages(50);
  CDisplayOnlyColorsDialog::ResetSharedValues();
}

// ---- Design by sample ----

TEST_F(Tool2DialogTest, DesignBySampleChecksInOrderAndAppliesFromTheSampleEveryTime) {
  PutRows({"012", "120"});
  view->GetPattern()->SetModified(false);
  CDesignBySampleDlg::SetRotation(false);
  INT_PTR answer = 0;
  {
    CDesignBySampleDlg dialog(view, frame);
    qmtest::SetModalHook([&](HWND h) {
      auto apply = [&](const char* across, const char* down) {
        boxes.clear();
        ::SetDlgItemText(h, IDC_SAMPLE_ACROSS, across);
        ::SetDlgItemText(h, IDC_SAMPLE_DOWN, down);
        QmClickButton(::GetDlgItem(h, IDC_SAMPLE_APPLY));
      };
      apply("1", "1");
      EXPECT_TRUE(Shown("Nothing to be done"));
      apply("0", "11");
      EXPECT_TRUE(Shown("Invalid Width 0\nThe value has to be in range 1 - 10"));
      EXPECT_EQ(::GetFocus(), ::GetDlgItem(h, IDC_SAMPLE_ACROSS));
      apply("3", "11");
      EXPECT_TRUE(Shown("Invalid Height 11\nThe value has to be in range 1 - 10"));
      EXPECT_EQ(::GetFocus(), ::GetDlgItem(h, IDC_SAMPLE_DOWN));
      apply("x2", "1");
      ASSERT_EQ(boxes.size(), 1u);  // the framework's message, nothing more
      EXPECT_EQ(ViewRows().size(), 2u);
      apply("2", "3");
      EXPECT_TRUE(boxes.empty());
      EXPECT_EQ(ViewRows(), (std::vector<std::string>{"012012", "120120", "012012", "120120", "012012", "120120"}));
      EXPECT_TRUE(view->GetPattern()->IsModified());
      // After an Apply, 1 x 1 brings back the sample's size.
      apply("1", "1");
      EXPECT_TRUE(boxes.empty());
      EXPECT_EQ(ViewRows(), (std::vector<std::string>{"012", "120"}));
      apply("2", "1");
      QmClickButton(::GetDlgItem(h, IDCANCEL));
    });
    answer = dialog.DoModal();
  }
  EXPECT_EQ(answer, IDCANCEL);
  EXPECT_EQ(ViewRows(), (std::vector<std::string>{"012", "120"}));
  EXPECT_FALSE(view->GetPattern()->IsModified());
  // OK without Apply ends as cancelled; OK after Apply keeps the result.
  {
    CDesignBySampleDlg dialog(view, frame);
    qmtest::SetModalHook([&](HWND h) { QmClickButton(::GetDlgItem(h, IDOK)); });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  }
  {
    CDesignBySampleDlg dialog(view, frame);
    qmtest::SetModalHook([&](HWND h) {
      ::SetDlgItemText(h, IDC_SAMPLE_ACROSS, "2");
      ::CheckDlgButton(h, IDC_SAMPLE_ROTATE, BST_CHECKED);
      QmClickButton(::GetDlgItem(h, IDC_SAMPLE_APPLY));
      QmClickButton(::GetDlgItem(h, IDOK));
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
  }
  qmtest::SetModalHook(nullptr);
  EXPECT_EQ(ViewRows()[0].size(), 6u);
  EXPECT_TRUE(CDesignBySampleDlg::GetRotation());
  CDesignBySampleDlg::SetRotation(true);
}

TEST_F(Tool2DialogTest, DesignBySamplePastTheBeadBudgetChangesNothing) {
  PutRows({"012", "120"});
  const int kept = GetAppSettings().m_maxBeads;
  GetAppSettings().m_maxBeads = 20;
  CDesignBySampleDlg dialog(view, frame);
  qmtest::SetModalHook([&](HWND h) {
    ::SetDlgItemText(h, IDC_SAMPLE_ACROSS, "2");
    ::SetDlgItemText(h, IDC_SAMPLE_DOWN, "2");
    QmClickButton(::GetDlgItem(h, IDC_SAMPLE_APPLY));
    QmClickButton(::GetDlgItem(h, IDOK));
  });
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  qmtest::SetModalHook(nullptr);
  GetAppSettings().m_maxBeads = kept;
  EXPECT_EQ(boxes.size(), 1u);
  EXPECT_EQ(ViewRows(), (std::vector<std::string>{"012", "120"}));
}

// ---- Use only N colours ----

TEST(ReduceColors, TheLimitIsANumberOrNoLimit) {
  struct Case {
    const char* text;
    int limit;
  };
  for (const Case c : {Case{"3", 3}, Case{" 12 ", 12}, Case{"", 500}, Case{"0", 500}, Case{"abc", 500},
                       Case{"4x", 500}, Case{"99999999999999", 500}}) {
    EXPECT_EQ(CReduceColorsNumberDlg::ReadLimit(c.text, 500), c.limit) << c.text;
  }
}

TEST_F(Tool2DialogTest, UseOnlyColoursOkWithoutApplyIsCancelAndApplyThenOkIsOneStep) {
  PutRows(kFourColours);
  view->GetPattern()->SetModified(false);
  qmtest::SetModalHook([&](HWND h) { QmClickButton(::GetDlgItem(h, IDOK)); });
  EXPECT_EQ(CReduceColorsNumberDlg::Run(view, frame), IDCANCEL);
  EXPECT_EQ(ViewRows(), kFourColours);
  EXPECT_TRUE(view->GetEditHistory().empty());
  EXPECT_FALSE(view->GetPattern()->IsModified());
  // Every colour unchecked: Apply asks for one and does nothing.
  qmtest::SetModalHook([&](HWND h) {
    for (int c = 0; c < 4; ++c) ::SendMessage(h, g_msgColorPaletteUsageChanged, c, 0);
    QmClickButton(::GetDlgItem(h, IDC_ONLY_APPLY));
    QmClickButton(::GetDlgItem(h, IDOK));
  });
  EXPECT_EQ(CReduceColorsNumberDlg::Run(view, frame), IDCANCEL);
  EXPECT_TRUE(Shown("You must check at least one color"));
  EXPECT_EQ(ViewRows(), kFourColours);
  // Two colours at most.
  CString label;
  qmtest::SetModalHook([&](HWND h) {
    ::SetDlgItemText(h, IDC_ONLY_LIMIT, "2");
    QmClickButton(::GetDlgItem(h, IDC_ONLY_APPLY));
    char text[128] = {};
    ::GetDlgItemText(h, IDC_ONLY_COUNT, text, sizeof text);
    label = text;
    QmClickButton(::GetDlgItem(h, IDOK));
  });
  EXPECT_EQ(CReduceColorsNumberDlg::Run(view, frame), IDOK);
  qmtest::SetModalHook(nullptr);
  EXPECT_EQ(label, "Colors number: 2");
  std::set<char> used;
  for (const auto& r : ViewRows()) used.insert(r.begin(), r.end());
  EXPECT_EQ(used.size(), 2u);
  ASSERT_EQ(view->GetEditHistory().size(), 1u);
  view->Undo();
  EXPECT_EQ(ViewRows(), kFourColours);
}

// ---- The separate preview ----

TEST(PatternPreview, TypedZoomTakesTheLeadingDigits) {
  struct Case {
    const char* text;
    int value;
  };
  for (const Case c : {Case{"250%", 250}, Case{"12abc", 12}, Case{"abc", 0}, Case{"", 0}, Case{"2", 2},
                       Case{"99999999999", -1}}) {
    EXPECT_EQ(CCurrentPatternViewDlg::ParseTypedZoom(c.text), c.value) << c.text;
  }
}

TEST_F(Tool2DialogTest, PreviewZoomsAsTypedKeepsItsPictureAndEscapeFreesIt) {
  PutRows(kFourColours);
  auto* preview = CCurrentPatternViewDlg::Open(view);
  ASSERT_NE(preview, nullptr);
  EXPECT_EQ(CCurrentPatternViewDlg::GetOpenWindows().size(), 1u);
  EXPECT_EQ(::GetParent(preview->GetSafeHwnd()), nullptr);
  CString title;
  preview->GetWindowText(title);
  EXPECT_EQ(title, "Pattern Preview");
  ASSERT_NE(preview->GetPicture(), nullptr);
  const int width = preview->GetPicture()->GetWidth();
  preview->GetZoomBox().SetWindowText("250%");
  preview->ApplyTypedZoom();
  EXPECT_EQ(preview->GetZoom(), 250);
  for (const char* bad : {"2", "20000", "abc", "99999999999%"}) {
    preview->GetZoomBox().SetWindowText(bad);
    preview->ApplyTypedZoom();
    EXPECT_EQ(preview->GetZoom(), 250) << bad;
    CString text;
    preview->GetZoomBox().GetWindowText(text);
    EXPECT_EQ(text, "250%") << bad;
  }
  // Enter in the box does the same.
  preview->GetZoomBox().SetWindowText("40");
  QmSendKey(preview->GetZoomBox().GetSafeHwnd(), VK_RETURN, "\r");
  QmPumpMessages(50);
  EXPECT_EQ(preview->GetZoom(), 40);
  // Choosing the fit entry fits; editing the design leaves the picture.
  preview->GetZoomBox().SetCurSel(preview->GetZoomBox().GetCount() - 1);
  preview->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_PREVIEW_ZOOM, CBN_SELCHANGE),
                       reinterpret_cast<LPARAM>(preview->GetZoomBox().GetSafeHwnd()));
  EXPECT_TRUE(preview->GetPicture()->IsFitToWindow());
  view->GetPattern()->SetBeadColor(0, 0, 3, true);
  view->OnPatternChanged(true);
  EXPECT_EQ(preview->GetPicture()->GetWidth(), width);
  // Escape closes and frees the window.
  preview->SendMessage(WM_COMMAND, IDCANCEL);
  QmPumpMessages(50);
  EXPECT_TRUE(CCurrentPatternViewDlg::GetOpenWindows().empty());
  // Several at once; all closed together.
  ASSERT_NE(CCurrentPatternViewDlg::Open(view), nullptr);
  ASSERT_NE(CCurrentPatternViewDlg::Open(view), nullptr);
  EXPECT_EQ(CCurrentPatternViewDlg::GetOpenWindows().size(), 2u);
  CCurrentPatternViewDlg::CloseAll();
  QmPumpMessages(50);
  EXPECT_TRUE(CCurrentPatternViewDlg::GetOpenWindows().empty());
}

// ---- The picture layer ----

TEST(LayerView, PlacementCoversTheDrawnPictureInsideTheView) {
  struct Case {
    CRect client, drawn, expected;
  };
  for (const Case& c : {
           Case{{0, 0, 600, 480}, {50, 40, 350, 240}, {50, 40, 350, 240}},     // smaller: exactly the picture
           Case{{0, 0, 600, 480}, {0, 0, 1200, 900}, {0, 0, 600, 480}},        // larger: the client area
           Case{{0, 0, 600, 480}, {-100, -50, 900, 300}, {0, 0, 600, 300}},   // wider, scrolled
       }) {
    EXPECT_EQ(CLayerView::ComputePlacement(c.client, c.drawn), c.expected);
  }
}

namespace {
class PencilPane : public IViewToolSource {
 public:
  int GetCurrentTool() override { return CTabView::kToolPencil; }
  int GetPenColor() override { return 3; }
  void SelectColor(const CRgbTriple&) override {}
  void RefreshColorList() override {}
  void HideOriginalOverlay() override {}
  void UpdateOriginalControls() override {}
  HWND GetPaneWindow() override { return nullptr; }
};
}  // namespace

TEST_F(Tool2DialogTest, TheLayerSitsOnTheDrawnPictureAndADragThroughItEditsAsWithoutIt) {
  PutRows({"0000000", "0000000", "0000000", "0000000"});
  PencilPane pane;
  view->SetToolSource(&pane);
  CBitmap bitmap;
  {
    CClientDC dc(view);
    bitmap.CreateCompatibleBitmap(&dc, 70, 40);
  }
  std::unique_ptr<ILayerOverlay> overlay(
      CLayerView::CreateOverlay(static_cast<HBITMAP>(bitmap.GetSafeHandle()), 128, nullptr, view));
  ASSERT_NE(overlay, nullptr);
  auto* layer = static_cast<CLayerView*>(overlay.get());
  EXPECT_EQ(::GetParent(layer->GetSafeHwnd()), view->GetSafeHwnd());
  EXPECT_EQ(layer->GetAlpha(), 128);
  CRect drawn = view->GetPatternView()->GetDrawnRect();
  CRect placed;
  layer->GetWindowRect(&placed);
  view->ScreenToClient(&placed);
  CRect client;
  view->GetClientRect(&client);
  EXPECT_EQ(placed, CLayerView::ComputePlacement(client, drawn));
  // Unchanged layout: not moved again.
  const CRect before = layer->GetPlacedRect();
  layer->FitToViewImage();
  EXPECT_EQ(layer->GetPlacedRect(), before);
  // A drag over the layer paints beads as over the view.
  auto toLayer = [&](int column, int row) {
    POINT p = CellPoint(column, row);
    p.x -= placed.left;
    p.y -= placed.top;
    return p;
  };
  QmSendMouse(layer->GetSafeHwnd(), WM_LBUTTONDOWN, toLayer(1, 1), MK_LBUTTON);
  QmSendMouse(layer->GetSafeHwnd(), WM_MOUSEMOVE, toLayer(2, 1), MK_LBUTTON);
  QmSendMouse(layer->GetSafeHwnd(), WM_MOUSEMOVE, toLayer(3, 1), MK_LBUTTON);
  QmSendMouse(layer->GetSafeHwnd(), WM_LBUTTONUP, toLayer(3, 1), 0);
  QmPumpMessages(50);
  const auto throughLayer = ViewRows();
  overlay->Close();
  overlay.reset();
  PutRows({"0000000", "0000000", "0000000", "0000000"});
  QmSendMouse(view->GetSafeHwnd(), WM_LBUTTONDOWN, CellPoint(1, 1), MK_LBUTTON);
  QmSendMouse(view->GetSafeHwnd(), WM_MOUSEMOVE, CellPoint(2, 1), MK_LBUTTON);
  QmSendMouse(view->GetSafeHwnd(), WM_MOUSEMOVE, CellPoint(3, 1), MK_LBUTTON);
  QmSendMouse(view->GetSafeHwnd(), WM_LBUTTONUP, CellPoint(3, 1), 0);
  QmPumpMessages(50);
  EXPECT_EQ(throughLayer, ViewRows());
  EXPECT_NE(throughLayer[1], "0000000");
  view->SetToolSource(nullptr);
}
