// List views and their headers: columns and sub-item rectangles, hit tests,
// selection reported item by item, the stable sort, custom draw colours,
// owner-drawn rows, row heights from the font, column clicks, header drag
// and images, drag detection and drag images, scrolling, the small-icon view.
#include <memory>

#include "tests/platform/wnd_commctrl_host.h"

using namespace cctest;

namespace {

// Dark pixels of a picture inside a rectangle (text).
int DarkPixels(const QImage& img, const CRect& r) {
  int n = 0;
  for (int y = std::max(0, static_cast<int>(r.top)); y < std::min(img.height(), static_cast<int>(r.bottom)); ++y)
    for (int x = std::max(0, static_cast<int>(r.left)); x < std::min(img.width(), static_cast<int>(r.right)); ++x)
      if (qGray(img.pixel(x, y)) < 110) ++n;
  return n;
}

void Fill(CListCtrl& list, int rows) {
  const char* names[] = {"Alpha", "Beta", "Gamma", "Delta", "Epsilon"};
  for (int i = 0; i < rows; ++i) {
    list.InsertItem(i, names[i % 5]);
    char buf[16];
    std::snprintf(buf, sizeof buf, "%d", i * 10);
    list.SetItemText(i, 1, buf);
    list.SetItemText(i, 2, "note");
  }
}

class CReportTest : public CommCtrl {
 protected:
  void MakeList(DWORD style = 0, int cx = 300, int cy = 200) {
    ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT | style, CRect(0, 0, cx, cy), &host, 100));
    list.InsertColumn(0, "Name", LVCFMT_RIGHT, 100);
    list.InsertColumn(1, "Count", LVCFMT_RIGHT, 60);
    list.InsertColumn(2, "Note", LVCFMT_LEFT, 80);
  }
  CListCtrl list;
};

}  // namespace

TEST_F(CReportTest, ColumnsSubItemRectanglesAndHitTests) {
  MakeList();
  Fill(list, 5);
  // The first column stays left-aligned whatever it was given.
  HDITEM hd{};
  hd.mask = HDI_FORMAT;
  ASSERT_TRUE(list.GetHeaderCtrl()->GetItem(0, &hd));
  EXPECT_EQ(hd.fmt & HDF_JUSTIFYMASK, HDF_LEFT);
  ASSERT_TRUE(list.GetHeaderCtrl()->GetItem(1, &hd));
  EXPECT_EQ(hd.fmt & HDF_JUSTIFYMASK, HDF_RIGHT);
  EXPECT_EQ(list.GetItemText(2, 1), CString("20"));

  CRect r0, r1;
  ASSERT_TRUE(list.GetItemRect(0, &r0, LVIR_BOUNDS));
  ASSERT_TRUE(list.GetItemRect(1, &r1, LVIR_BOUNDS));
  EXPECT_EQ(r0.Width(), 240);
  EXPECT_EQ(r1.top, r0.bottom);
  EXPECT_GT(r0.top, 0);  // below the header
  CRect sub;
  ASSERT_TRUE(list.GetSubItemRect(2, 1, LVIR_LABEL, sub));
  EXPECT_EQ(sub, CRect(100, r0.top + 2 * r0.Height(), 160, r0.top + 3 * r0.Height()));

  // Without full-row select only the first column's label is the item.
  const CPoint inCount = sub.CenterPoint();
  EXPECT_EQ(list.HitTest(inCount), -1);
  EXPECT_EQ(list.HitTest(CPoint(20, inCount.y)), 2);
  list.SetExtendedStyle(LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
  UINT flags = 0;
  EXPECT_EQ(list.HitTest(inCount, &flags), 2);
  EXPECT_TRUE(flags & LVHT_ONITEM);
  LVHITTESTINFO ht{};
  ht.pt = inCount;
  EXPECT_EQ(list.SubItemHitTest(&ht), 2);
  EXPECT_EQ(ht.iSubItem, 1);

  // The first column's text starts at its left; the second column's ends at its right.
  const QImage img = QmRenderWindow(list.m_hWnd, false);
  EXPECT_GT(DarkPixels(img, CRect(0, r0.top, 50, r0.bottom)), 0);
  EXPECT_EQ(DarkPixels(img, CRect(100, r0.top, 130, r0.bottom)), 0);  // "0" sits at the right of Count
  EXPECT_GT(DarkPixels(img, CRect(140, r0.top, 160, r0.bottom)), 0);

  // Item data changes are reported like state changes.
  host.lvNotes.clear();
  list.SetItemData(0, 42);
  ASSERT_EQ(host.Lv(LVN_ITEMCHANGED).size(), 1u);
  EXPECT_EQ(host.Lv(LVN_ITEMCHANGED)[0].uChanged, LVIF_PARAM);
  EXPECT_EQ(host.Lv(LVN_ITEMCHANGED)[0].lParam, 42);
  EXPECT_EQ(list.GetItemData(0), 42u);
}

TEST_F(CReportTest, SelectionByMouseAndKeysIsReportedItemByItem) {
  MakeList(LVS_SHOWSELALWAYS);
  Fill(list, 10);
  CRect r;
  list.GetItemRect(3, &r, LVIR_LABEL);
  host.events.clear();
  Click(list.m_hWnd, r.CenterPoint());
  EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 3);
  EXPECT_EQ(list.GetNextItem(-1, LVNI_FOCUSED), 3);
  ASSERT_EQ(host.Lv(LVN_ITEMCHANGED).size(), 1u);
  EXPECT_EQ(host.Lv(LVN_ITEMCHANGED)[0].iItem, 3);
  EXPECT_EQ(host.Lv(LVN_ITEMCHANGED)[0].uNewState, LVIS_SELECTED | LVIS_FOCUSED);
  EXPECT_EQ(host.Lv(LVN_ITEMCHANGED)[0].uChanged, LVIF_STATE);
  EXPECT_TRUE(host.Has("notify", NM_CLICK));
  EXPECT_EQ(GetFocus(), list.m_hWnd);

  // The down key moves the selection: one notification for each item.
  host.lvNotes.clear();
  QmSendKey(list.m_hWnd, VK_DOWN);
  EXPECT_EQ(list.GetSelectedCount(), 1u);
  EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 4);
  for (const NMLISTVIEW& n : host.Lv(LVN_ITEMCHANGED)) EXPECT_TRUE(n.iItem == 3 || n.iItem == 4);

  // Control adds an item to the selection.
  list.GetItemRect(6, &r, LVIR_LABEL);
  Click(list.m_hWnd, r.CenterPoint(), MK_CONTROL);
  EXPECT_EQ(list.GetSelectedCount(), 2u);
  POSITION pos = list.GetFirstSelectedItemPosition();
  EXPECT_EQ(list.GetNextSelectedItem(pos), 4);
  EXPECT_EQ(list.GetNextSelectedItem(pos), 6);
  EXPECT_EQ(pos, nullptr);

  // A click below the rows clears the selection; the click names no item.
  host.events.clear();
  host.lvNotes.clear();
  Click(list.m_hWnd, CPoint(20, 195));
  EXPECT_EQ(list.GetSelectedCount(), 0u);
  EXPECT_EQ(host.Lv(LVN_ITEMCHANGED).size(), 2u);

  // A single-selection list keeps one.
  list.ModifyStyle(0, LVS_SINGLESEL);
  list.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
  list.SetItemState(2, LVIS_SELECTED, LVIS_SELECTED);
  EXPECT_EQ(list.GetSelectedCount(), 1u);
  EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 2);
}

namespace {

// "1 when the first row must come after the second, 0 otherwise".
int AfterByKey(LPARAM a, LPARAM b, LPARAM) { return (a / 10) > (b / 10) ? 1 : 0; }
int NeverAfter(LPARAM, LPARAM, LPARAM) { return -1; }
int ThreeWay(LPARAM a, LPARAM b, LPARAM desc) {
  const int r = (a / 10) < (b / 10) ? -1 : (a / 10) > (b / 10) ? 1 : 0;
  return desc ? -r : r;
}

std::vector<LPARAM> Order(const CListCtrl& list) {
  std::vector<LPARAM> v;
  for (int i = 0; i < list.GetItemCount(); ++i) v.push_back(static_cast<LPARAM>(list.GetItemData(i)));
  return v;
}

}  // namespace

TEST_F(CReportTest, SortIsStableAndMovesAnItemOnlyWhenTheComparisonIsPositive) {
  MakeList();
  // Keys 3, 1, 3, 2, 1 with their first places as the last digit.
  const LPARAM data[] = {30, 11, 32, 23, 14};
  for (int i = 0; i < 5; ++i) {
    list.InsertItem(LVIF_TEXT | LVIF_PARAM, i, "x", 0, 0, 0, data[i]);
  }
  list.SetItemState(2, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  ASSERT_TRUE(list.SortItems(NeverAfter, 0));
  EXPECT_EQ(Order(list), (std::vector<LPARAM>{30, 11, 32, 23, 14}));
  ASSERT_TRUE(list.SortItems(AfterByKey, 0));
  EXPECT_EQ(Order(list), (std::vector<LPARAM>{11, 14, 23, 30, 32}));
  // The selected row moved with its item.
  EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 4);
  EXPECT_EQ(list.GetNextItem(-1, LVNI_FOCUSED), 4);
  ASSERT_TRUE(list.SortItems(ThreeWay, 1));
  EXPECT_EQ(Order(list), (std::vector<LPARAM>{30, 32, 23, 11, 14}));
}

TEST_F(CReportTest, CustomDrawColoursTheRowsTheParentChooses) {
  MakeList(0, 300, 120);
  Fill(list, 3);
  list.SetExtendedStyle(LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
  std::vector<DWORD> stages;
  host.onNotify = [&](NMHDR* nm) -> LRESULT {
    if (nm->code != NM_CUSTOMDRAW) return 0;
    auto* cd = reinterpret_cast<NMLVCUSTOMDRAW*>(nm);
    stages.push_back(cd->nmcd.dwDrawStage);
    if (cd->nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
    if (cd->nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
      if (cd->nmcd.dwItemSpec == 1) {
        cd->clrText = 0x0000A4;
        cd->clrTextBk = 0x0091F7FF;
      } else {
        cd->clrText = 0;
      }
    }
    return CDRF_DODEFAULT;
  };
  list.Invalidate();
  const QImage img = QmRenderWindow(list.m_hWnd, false);
  ASSERT_GE(stages.size(), 4u);
  EXPECT_EQ(stages[0], CDDS_PREPAINT);
  EXPECT_EQ(stages[1], CDDS_ITEMPREPAINT);
  CRect r0, r1;
  list.GetItemRect(0, &r0, LVIR_BOUNDS);
  list.GetItemRect(1, &r1, LVIR_BOUNDS);
  // A point of each row away from text and grid lines.
  EXPECT_EQ(PixelAt(img, 230, r1.top + 2), 0x0091F7FFu);
  EXPECT_EQ(PixelAt(img, 230, r0.top + 2), GetSysColor(COLOR_WINDOW));
  // Grid lines at the column edges and row bottoms.
  EXPECT_EQ(PixelAt(img, 99, r0.top + 3), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(PixelAt(img, 20, r0.bottom - 1), GetSysColor(COLOR_BTNFACE));
}

namespace {

class COwnerList : public CListCtrl {
 public:
  std::vector<std::pair<UINT, UINT>> drawn;  // item, state
  int measured = 0;
  void DrawItem(LPDRAWITEMSTRUCT d) override {
    drawn.emplace_back(d->itemID, d->itemState);
    CDC* dc = CDC::FromHandle(d->hDC);
    dc->FillSolidRect(&d->rcItem, (d->itemState & ODS_SELECTED) ? RGB(0, 0, 192) : RGB(255, 255, 255));
  }
  void MeasureItem(LPMEASUREITEMSTRUCT m) override {
    ++measured;
    m->itemHeight = 30;
  }
};

}  // namespace

TEST_F(CommCtrl, OwnerDrawnRowsAreMeasuredAndDrawnByTheListObject) {
  COwnerList list;
  ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_OWNERDRAWFIXED | LVS_SHOWSELALWAYS, CRect(0, 0, 200, 150),
                          &host, 101));
  list.InsertColumn(0, "Recent", LVCFMT_LEFT, 200);
  for (int i = 0; i < 3; ++i) list.InsertItem(i, "row");
  list.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
  EXPECT_GE(list.measured, 1);
  CRect r;
  list.GetItemRect(1, &r, LVIR_BOUNDS);
  EXPECT_EQ(r.Height(), 30);
  const QImage img = QmRenderWindow(list.m_hWnd, false);
  ASSERT_GE(list.drawn.size(), 3u);
  for (const auto& [item, state] : list.drawn) EXPECT_EQ((state & ODS_SELECTED) != 0, item == 1) << item;
  EXPECT_EQ(PixelAt(img, 100, r.top + 5), RGB(0, 0, 192));
  EXPECT_TRUE(host.Has("draw", ODS_SELECTED));
}

TEST_F(CReportTest, RowHeightFollowsTheFont) {
  MakeList();
  Fill(list, 2);
  CRect small;
  list.GetItemRect(0, &small, LVIR_BOUNDS);
  CFont big;
  ASSERT_TRUE(big.CreateFont(-28, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Tahoma"));
  list.SetFont(&big);
  CRect tall;
  list.GetItemRect(0, &tall, LVIR_BOUNDS);
  EXPECT_GE(tall.Height(), 28);
  EXPECT_GT(tall.Height(), small.Height());
  list.SetFont(nullptr);
}

TEST_F(CReportTest, ColumnClicksHeaderDragAndHeaderImages) {
  MakeList();
  Fill(list, 3);
  CHeaderCtrl* header = list.GetHeaderCtrl();
  ASSERT_NE(header, nullptr);
  ASSERT_TRUE(header->IsKindOf(RUNTIME_CLASS(CHeaderCtrl)));
  CRect h1;
  header->GetItemRect(1, &h1);
  Click(header->m_hWnd, h1.CenterPoint());
  ASSERT_EQ(host.Lv(LVN_COLUMNCLICK).size(), 1u);
  EXPECT_EQ(host.Lv(LVN_COLUMNCLICK)[0].iSubItem, 1);

  // Without LVS_EX_HEADERDRAGDROP the columns stay; with it, they move.
  auto drag = [&](int fromX, int toX) {
    QmSendMouse(header->m_hWnd, WM_LBUTTONDOWN, POINT{fromX, 5}, MK_LBUTTON);
    QmSendMouse(header->m_hWnd, WM_MOUSEMOVE, POINT{fromX + 20, 5}, MK_LBUTTON);
    QmSendMouse(header->m_hWnd, WM_MOUSEMOVE, POINT{toX, 5}, MK_LBUTTON);
    QmSendMouse(header->m_hWnd, WM_LBUTTONUP, POINT{toX, 5}, 0);
  };
  drag(50, 230);
  int order[3] = {};
  ASSERT_TRUE(list.GetColumnOrderArray(order, 3));
  EXPECT_EQ(order[0], 0);
  list.SetExtendedStyle(LVS_EX_HEADERDRAGDROP);
  drag(50, 230);
  ASSERT_TRUE(list.GetColumnOrderArray(order, 3));
  EXPECT_EQ((std::vector<int>(order, order + 3)), (std::vector<int>{1, 2, 0}));
  CRect label;
  list.GetItemRect(0, &label, LVIR_LABEL);
  EXPECT_EQ(label.left, 140);

  // Dragging a divider changes a width.
  header->GetItemRect(1, &h1);
  QmSendMouse(header->m_hWnd, WM_LBUTTONDOWN, POINT{h1.right - 1, 5}, MK_LBUTTON);
  QmSendMouse(header->m_hWnd, WM_MOUSEMOVE, POINT{h1.right + 29, 5}, MK_LBUTTON);
  QmSendMouse(header->m_hWnd, WM_LBUTTONUP, POINT{h1.right + 29, 5}, 0);
  EXPECT_EQ(list.GetColumnWidth(1), 90);

  // An image beside a title.
  CImageList images;
  ASSERT_TRUE(images.Create(8, 8, ILC_COLOR24, 1, 0));
  CBitmap red;
  std::vector<DWORD> bits(64, 0x00FF0000);
  ASSERT_TRUE(red.CreateBitmap(8, 8, 1, 32, bits.data()));
  ASSERT_EQ(images.Add(&red, static_cast<CBitmap*>(nullptr)), 0);
  header->SetImageList(&images);
  HDITEM hd{};
  hd.mask = HDI_FORMAT | HDI_IMAGE;
  hd.fmt = HDF_STRING | HDF_IMAGE;
  hd.iImage = 0;
  ASSERT_TRUE(header->SetItem(1, &hd));
  const QImage img = QmRenderWindow(header->m_hWnd, false);
  header->GetItemRect(1, &h1);
  bool red8 = false;
  for (int x = h1.left; x < h1.right && !red8; ++x)
    for (int y = 0; y < img.height(); ++y)
      if (PixelAt(img, x, y) == RGB(255, 0, 0)) red8 = true;
  EXPECT_TRUE(red8);
  header->SetImageList(nullptr);
}

TEST_F(CReportTest, DraggingAnItemStartsADragWithItsImage) {
  MakeList();
  Fill(list, 4);
  CRect label, icon;
  list.GetItemRect(1, &label, LVIR_LABEL);
  list.GetItemRect(1, &icon, LVIR_ICON);
  const CPoint press = label.CenterPoint();
  QmSendMouse(list.m_hWnd, WM_LBUTTONDOWN, press, MK_LBUTTON);
  QmSendMouse(list.m_hWnd, WM_MOUSEMOVE, POINT{press.x + 2, press.y}, MK_LBUTTON);
  EXPECT_TRUE(host.Lv(LVN_BEGINDRAG).empty());
  QmSendMouse(list.m_hWnd, WM_MOUSEMOVE, POINT{press.x + 12, press.y + 3}, MK_LBUTTON);
  ASSERT_EQ(host.Lv(LVN_BEGINDRAG).size(), 1u);
  EXPECT_EQ(host.Lv(LVN_BEGINDRAG)[0].iItem, 1);
  EXPECT_EQ(host.Lv(LVN_BEGINDRAG)[0].ptAction.x, press.x);
  QmSendMouse(list.m_hWnd, WM_LBUTTONUP, POINT{press.x + 12, press.y + 3}, 0);
  EXPECT_FALSE(host.Has("notify", NM_CLICK));
  CPoint at;
  std::unique_ptr<CImageList> image(list.CreateDragImage(1, &at));
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->GetImageCount(), 1);
  EXPECT_EQ(at, CPoint(icon.left, label.top));
}

TEST_F(CReportTest, ScrollingKeepsRowsWhole) {
  MakeList(0, 300, 200);
  Fill(list, 200);
  const int per = list.GetCountPerPage();
  CRect r;
  list.GetItemRect(0, &r, LVIR_BOUNDS);
  EXPECT_EQ(per, (200 - r.top) / r.Height());
  list.EnsureVisible(150, FALSE);
  EXPECT_EQ(list.GetTopIndex(), 150 - per + 1);
  list.SendMessage(WM_VSCROLL, SB_PAGEUP);
  EXPECT_EQ(list.GetTopIndex(), 150 - 2 * per + 1);
  list.GetItemRect(list.GetTopIndex(), &r, LVIR_BOUNDS);
  CRect first;
  list.GetHeaderCtrl()->GetWindowRect(&first);
  EXPECT_EQ(r.top, first.Height());
  list.SendMessage(WM_VSCROLL, SB_BOTTOM);
  EXPECT_EQ(list.GetTopIndex(), 200 - per);
}

TEST_F(CommCtrl, SmallIconViewLaysItemsOutInRows) {
  CListCtrl list;
  ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LVS_SMALLICON, CRect(0, 0, 300, 150), &host, 102));
  CImageList images;
  ASSERT_TRUE(images.Create(16, 16, ILC_COLOR24 | ILC_MASK, 1, 1));
  list.SetImageList(&images, LVSIL_SMALL);
  for (int i = 0; i < 6; ++i) list.InsertItem(i, "item", 0);
  CPoint p0, p1;
  list.GetItemPosition(0, &p0);
  list.GetItemPosition(1, &p1);
  EXPECT_EQ(p0.y, p1.y);
  EXPECT_GT(p1.x, p0.x);
  CRect r4;
  list.GetItemRect(4, &r4, LVIR_LABEL);
  EXPECT_EQ(list.HitTest(r4.CenterPoint()), 4);
  list.SetImageList(nullptr, LVSIL_SMALL);
}
