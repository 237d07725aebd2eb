// The owner-drawn lists, the header sort arrows and the picture view.
#include <gtest/gtest.h>

#include "controls/DrawUtils.h"
#include "controls/Lists.h"
#include "palette/ColorSet.h"
#include "platform/wnd/host.h"
#include "tests/common/test_util.h"
#include "tests/controls/controls_fixture.h"

using ctltest::Canvas;

namespace {

DRAWITEMSTRUCT RowItem(Canvas& canvas, HWND list, int item, UINT state, LPARAM data = 0) {
  DRAWITEMSTRUCT dis = ctltest::ItemFor(canvas, list, canvas.width(), canvas.height(), state);
  dis.CtlType = ODT_LISTVIEW;
  dis.itemID = static_cast<UINT>(item);
  dis.itemData = static_cast<ULONG_PTR>(data);
  return dis;
}

}  // namespace

TEST(ListCtrlHigh, TwoLineSplitAndColours) {
  Canvas canvas(200, 40);
  CDC* dc = canvas.dc();
  CString first, second;
  int h = 0;
  CListCtrlHigh::SplitTwoLines(dc, "Long design name.qx", 2, first, second, h);
  EXPECT_EQ(first, "");  // narrower than the first character: all on line 2
  EXPECT_EQ(second, "Long design name.qx");
  EXPECT_GT(h, 0);
  CListCtrlHigh::SplitTwoLines(dc, "Short", 500, first, second, h);
  EXPECT_EQ(first, "Short");
  EXPECT_EQ(second, "");
  const int wide = dc->GetTextExtent("Long design").cx;
  CListCtrlHigh::SplitTwoLines(dc, "Long design name", wide, first, second, h);
  EXPECT_EQ(first, "Long design");
  EXPECT_EQ(second, " name");

  ctltest::Host host;
  CListCtrlHigh list;
  ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT, RECT{0, 0, 200, 200}, &host, 10));
  list.InsertColumn(0, "Design", LVCFMT_LEFT, 190);
  list.InsertItem(0, "Ab");
  struct Case {
    UINT state;
    bool focus;
    COLORREF back;
  };
  for (const Case& c : {Case{0, false, RGB(255, 255, 255)}, Case{ODS_SELECTED, false, 0xCACACA},
                        Case{ODS_SELECTED, true, 0xC00000}}) {
    if (c.focus)
      list.SetFocus();
    else
      host.SetFocus();
    Canvas row(200, 40);
    DRAWITEMSTRUCT dis = RowItem(row, list.GetSafeHwnd(), 0, c.state);
    list.DrawItem(&dis);
    EXPECT_EQ(row.Px(150, 2), c.back);
    const COLORREF text = c.back == 0xC00000 ? RGB(255, 255, 255) : c.back == 0xCACACA ? 0x343434 : 0;
    EXPECT_GT(row.BoxOf(text).right, 0);
  }
}

TEST(ListCtrlMenu, SelectedRowPainting) {
  ctltest::Host host;
  CListCtrlMenu list;
  ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_NOCOLUMNHEADER | WS_BORDER, RECT{0, 0, 150, 100},
                          &host, 11));
  list.SubclassWindow(list.Detach());
  EXPECT_FALSE(list.GetStyle() & WS_BORDER);
  EXPECT_TRUE(list.GetStyle() & LVS_OWNERDRAWFIXED);
  list.InsertColumn(0, "", LVCFMT_LEFT, 140);
  list.InsertItem(0, "First");
  list.InsertItem(1, "Second");
  Canvas row(140, 16);
  DRAWITEMSTRUCT dis = RowItem(row, list.GetSafeHwnd(), 1, ODS_SELECTED);
  list.DrawItem(&dis);
  EXPECT_EQ(row.Px(0, 0), RGB(0, 0, 0));  // the frame
  EXPECT_EQ(row.Px(130, 8), 0xC0A0A0);
  EXPECT_GT(row.BoxOf(RGB(255, 255, 255)).right, 0);
  Canvas plain(140, 16);
  DRAWITEMSTRUCT d2 = RowItem(plain, list.GetSafeHwnd(), 0, 0);
  list.DrawItem(&d2);
  EXPECT_EQ(plain.Px(130, 8), GetSysColor(COLOR_BTNFACE));
}

TEST(ListPaletteWithSymbol, ColumnsAndVariantColours) {
  qmtest::LanguagePack pack(false);
  struct Case {
    int variant;
    const char* text;
    COLORREF color;
  };
  for (const Case& c : {Case{0, "Black", 0}, Case{1, "Red", RGB(192, 0, 0)}, Case{2, "Blue", RGB(0, 0, 192)},
                        Case{3, "", 0}, Case{255, "", 0}}) {
    COLORREF color = 1;
    EXPECT_EQ(CListPaletteWithSymbol::VariantText(c.variant, color), c.text);
    EXPECT_EQ(color, c.color);
  }
  ctltest::Host host;
  CListPaletteWithSymbol list;
  ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_OWNERDRAWFIXED, RECT{0, 0, 300, 100}, &host, 12));
  const int widths[5] = {30, 90, 60, 40, 70};
  for (int c = 0; c < 5; ++c) list.InsertColumn(c, "", LVCFMT_LEFT, widths[c]);
  list.SetSymbolFontName("Arial");
  CPaletteColor color;
  color.SetRgb(CRgbTriple(10, 200, 30));
  color.mfgName = "DB-0042";
  color.count = 1234;
  color.symbol = 'X';
  color.symbolVariant = 1;
  list.InsertItem(0, "");
  Canvas row(290, 18);
  DRAWITEMSTRUCT dis = RowItem(row, list.GetSafeHwnd(), 0, 0, reinterpret_cast<LPARAM>(&color));
  list.DrawItem(&dis);
  EXPECT_EQ(row.Px(15, 9), RGB(10, 200, 30));  // the swatch, 1 pixel in from top and bottom
  EXPECT_NE(row.Px(15, 0), RGB(10, 200, 30));
  const RECT red = row.BoxOf(RGB(192, 0, 0));
  EXPECT_GE(red.left, 220);  // the variant column
  const RECT black = row.BoxOf(RGB(0, 0, 0));
  EXPECT_LT(black.left, 120);  // the name, right-aligned in its column
  EXPECT_GT(black.left, 30);
}

// A row's name stays readable on every colour: the inverse, except near mid grey.
TEST(PaletteListBox, RowNamesContrastWithTheirColour) {
  const struct {
    COLORREF row, text;
  } cases[] = {
      {RGB(255, 255, 255), RGB(0, 0, 0)},       {RGB(20, 20, 20), RGB(235, 235, 235)},
      {RGB(210, 30, 40), RGB(45, 225, 215)},    {RGB(128, 128, 128), RGB(0, 0, 0)},
      {RGB(100, 110, 120), RGB(255, 255, 255)}, {RGB(120, 50, 160), RGB(135, 205, 95)},
  };
  for (const auto& c : cases) EXPECT_EQ(GetPaletteRowTextColor(c.row), c.text) << std::hex << c.row;
}

TEST(PaletteListBox, FillSelectAndPaint) {
  ctltest::Host host;
  CColorSet palette;
  for (int i = 0; i < 4; ++i) {
    CPaletteColor c;
    c.SetRgb(CRgbTriple(static_cast<BYTE>(i * 60), 100, 200));
    c.mfgName.Format("P%d", i);
    palette.Append(c);
  }
  CPaletteListBox list(&palette);
  ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOTIFY, RECT{0, 0, 120, 100},
                          &host, 13));
  EXPECT_EQ(list.GetSelectedColor(), 0xFFFFFFFFu);
  EXPECT_TRUE(list.Fill());
  EXPECT_EQ(list.GetCount(), 4);
  list.SelectColor(RGB(119, 101, 199));
  EXPECT_EQ(list.GetCurSel(), 2);
  EXPECT_EQ(list.GetSelectedColor(), palette.GetColor(2)->GetColorref());
  Canvas item(120, 18);
  DRAWITEMSTRUCT dis = RowItem(item, list.GetSafeHwnd(), 2, ODS_SELECTED, static_cast<LPARAM>(list.GetItemData(2)));
  dis.CtlType = ODT_LISTBOX;
  list.DrawItem(&dis);
  EXPECT_EQ(item.Px(100, 9), palette.GetColor(2)->GetColorref());
  EXPECT_EQ(item.Px(2, 8), RGB(0, 0, 0));         // the box outline
  EXPECT_GT(item.CountInRow(9, RGB(0, 0, 0)), 3);  // outline and tick
  list.SetColorSet(nullptr);
  EXPECT_EQ(list.GetCount(), 0);
}

TEST(FilesList, PathsIgnoringCase) {
  ctltest::Host host;
  CFilesList list;
  ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT, RECT{0, 0, 200, 100}, &host, 14));
  list.InsertColumn(0, "File", LVCFMT_LEFT, 180);
  list.AddFile("/home/u/Design/Rose.qx", false);
  list.AddFile("/home/u/Design/tulip.v2.qx", true);
  list.AddFile("/HOME/U/design/ROSE.QX", true);
  ASSERT_EQ(list.GetItemCount(), 2);
  EXPECT_EQ(list.GetItemText(0, 0), "Rose");
  EXPECT_EQ(list.GetItemText(1, 0), "tulip.v2");
  EXPECT_EQ(list.FindPath("/home/U/DESIGN/tulip.V2.qx"), 1);
  EXPECT_EQ(list.FindPath("/elsewhere.qx"), -1);
  CString path;
  EXPECT_TRUE(list.GetSelectedPath(path));
  EXPECT_EQ(path, "/home/u/Design/Rose.qx");  // the first selected row (selecting keeps the others)
  list.SetItemState(0, 0, LVIS_SELECTED);
  EXPECT_TRUE(list.GetSelectedPath(path));
  EXPECT_EQ(path, "/home/u/Design/tulip.v2.qx");
  EXPECT_FALSE(list.GetPath(2, path));
  EXPECT_FALSE(list.GetPath(-1, path));
  list.Clear();
  EXPECT_EQ(list.GetItemCount(), 0);
  EXPECT_FALSE(list.GetSelectedPath(path));
}

TEST(HeaderSortArrows, ImagesAndFormats) {
  qmtest::LanguagePack pack(false);
  ctltest::Host host;
  CListCtrl list;
  ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT, RECT{0, 0, 300, 100}, &host, 15));
  for (int c = 0; c < 3; ++c) list.InsertColumn(c, "Col", LVCFMT_LEFT, 90);
  CHeaderSortArrows arrows;
  EXPECT_EQ(arrows.OnColumnClick(0), E_FAIL);  // not attached
  ASSERT_EQ(arrows.Attach(&list), S_OK);
  const int formats[3] = {1, 7, 0};
  ASSERT_EQ(arrows.Init(formats, 2, false), S_OK);  // only two formats read
  EXPECT_EQ(arrows.GetSortColumn(), -1);
  for (int c = 0; c < 3; ++c) EXPECT_EQ(arrows.GetItemImage(c), 2);
  HDITEM item{};
  item.mask = HDI_FORMAT;
  list.GetHeaderCtrl()->GetItem(0, &item);
  EXPECT_EQ(item.fmt & HDF_JUSTIFYMASK, HDF_RIGHT);
  list.GetHeaderCtrl()->GetItem(1, &item);
  EXPECT_EQ(item.fmt & HDF_JUSTIFYMASK, HDF_CENTER);
  list.GetHeaderCtrl()->GetItem(2, &item);
  EXPECT_EQ(item.fmt & HDF_JUSTIFYMASK, HDF_LEFT);
  EXPECT_TRUE(item.fmt & HDF_IMAGE);
  // Another column: the downward triangle (ascending); again: upward.
  EXPECT_EQ(arrows.OnColumnClick(1), S_OK);
  EXPECT_TRUE(arrows.IsAscending());
  EXPECT_EQ(arrows.GetItemImage(1), 1);
  EXPECT_EQ(arrows.GetItemImage(0), 2);
  arrows.OnColumnClick(1);
  EXPECT_FALSE(arrows.IsAscending());
  EXPECT_EQ(arrows.GetItemImage(1), 0);
  arrows.OnColumnClick(2);
  EXPECT_EQ(arrows.GetItemImage(1), 2);
  EXPECT_EQ(arrows.GetItemImage(2), 1);

  EXPECT_EQ(CHeaderSortArrows().Attach(nullptr), E_FAIL);
}

TEST(DlgImageScrollView, FillsTheParentAndErasesInItsColour) {
  ctltest::Host host(300, 200);
  auto* view = new CDlgImageScrollView;
  ASSERT_TRUE(view->CreateInDialog(&host, 77, RECT{0, 0, 0, 0}, SIZE{1000, 800}));
  CRect client, mine;
  host.GetClientRect(&client);
  view->GetWindowRect(&mine);
  EXPECT_EQ(mine.Width(), client.Width());
  EXPECT_EQ(view->GetDlgCtrlID(), 77);
  // Bordered (the framework draws a view's border as a client edge).
  EXPECT_TRUE((view->GetStyle() & WS_BORDER) || (view->GetExStyle() & WS_EX_CLIENTEDGE));
  view->SetBackgroundColor(RGB(1, 100, 200));
  view->Invalidate();
  const QImage shot = QmRenderWindow(view->GetSafeHwnd(), false);
  EXPECT_EQ(shot.pixel(20, 20) & 0xFFFFFF, qRgb(1, 100, 200) & 0xFFFFFF);
  EXPECT_EQ(view->SendMessage(WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(host.GetSafeHwnd()), 0),
            static_cast<LRESULT>(MA_ACTIVATE));
  view->DestroyWindow();
  delete view;
}
