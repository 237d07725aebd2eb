// List boxes: an owner-drawn multi-column list measured by its object,
// clicks and double clicks; sorted strings, searches and extended
// selection; item data handed back when items go.
#include <algorithm>

#include "tests/platform/wnd_commctrl_host.h"

using namespace cctest;

namespace {

class CSymbolList : public CListBox {
 public:
  int measures = 0;
  std::vector<std::pair<int, UINT>> drawn;
  std::vector<ULONG_PTR> deleted;
  void MeasureItem(LPMEASUREITEMSTRUCT m) override {
    ++measures;
    m->itemWidth = 30;
    m->itemHeight = 18;
  }
  void DrawItem(LPDRAWITEMSTRUCT d) override {
    drawn.emplace_back(static_cast<int>(d->itemID), d->itemState);
    CDC::FromHandle(d->hDC)->FillSolidRect(&d->rcItem, (d->itemState & ODS_SELECTED) ? RGB(0, 0, 192) : RGB(0, 128, 0));
  }
  void DeleteItem(LPDELETEITEMSTRUCT d) override { deleted.push_back(d->itemData); }
};

}  // namespace

TEST_F(CommCtrl, OwnerDrawnMultiColumnListBox) {
  CSymbolList list;
  ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | WS_HSCROLL | LBS_MULTICOLUMN | LBS_OWNERDRAWFIXED | LBS_NOTIFY,
                          CRect(10, 10, 330, 120), &host, 60));
  list.SetColumnWidth(40);
  for (int c = 0; c < 256; ++c) list.SetItemData(list.AddString(nullptr), static_cast<DWORD_PTR>(c + 1));
  EXPECT_EQ(list.measures, 1);
  EXPECT_EQ(list.GetItemHeight(0), 18);
  EXPECT_EQ(list.GetCount(), 256);
  CRect r0, r;
  list.GetItemRect(0, &r0);
  EXPECT_EQ(r0, CRect(0, 0, 40, 18));
  CRect client;
  list.GetClientRect(&client);
  const int rows = client.Height() / 18;
  list.GetItemRect(rows + 1, &r);
  EXPECT_EQ(r, CRect(40, 18, 80, 36));
  BOOL outside = TRUE;
  EXPECT_EQ(list.ItemFromPoint(CPoint(45, 20), outside), static_cast<UINT>(rows + 1));
  EXPECT_FALSE(outside);

  host.events.clear();
  Click(list.m_hWnd, CPoint(45, 20));
  EXPECT_EQ(list.GetCurSel(), rows + 1);
  QmSendMouse(list.m_hWnd, WM_LBUTTONDBLCLK, POINT{45, 20}, MK_LBUTTON);
  QmSendMouse(list.m_hWnd, WM_LBUTTONUP, POINT{45, 20}, 0);
  EXPECT_EQ(host.Codes("cmd", 60), (std::vector<UINT>{LBN_SETFOCUS, LBN_SELCHANGE, LBN_DBLCLK}));
  list.drawn.clear();
  QmRenderWindow(list.m_hWnd, false);
  bool sawSelected = false;
  for (const auto& [item, state] : list.drawn) {
    EXPECT_EQ((state & ODS_SELECTED) != 0, item == rows + 1) << item;
    sawSelected |= item == rows + 1;
  }
  EXPECT_TRUE(sawSelected);
  // The keys move along the columns.
  QmSendKey(list.m_hWnd, VK_RIGHT);
  EXPECT_EQ(list.GetCurSel(), 2 * rows + 1);
  // Scrolling by columns.
  list.SendMessage(WM_HSCROLL, SB_LINERIGHT);
  EXPECT_EQ(list.GetTopIndex(), rows);
  list.ResetContent();
  EXPECT_EQ(list.deleted.size(), 256u);
}

TEST_F(CommCtrl, SortedStringsSearchesAndExtendedSelection) {
  CListBox list;
  ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_SORT | LBS_EXTENDEDSEL | LBS_NOTIFY | LBS_HASSTRINGS,
                          CRect(10, 10, 160, 160), &host, 61));
  for (const char* s : {"pear", "apple", "Plum", "cherry"}) list.AddString(s);
  CString t;
  list.GetText(0, t);
  EXPECT_EQ(t, CString("apple"));
  list.GetText(3, t);
  EXPECT_EQ(t, CString("Plum"));
  EXPECT_EQ(list.FindString(-1, "p"), 2);
  EXPECT_EQ(list.FindString(2, "p"), 3);
  EXPECT_EQ(list.FindStringExact(-1, "PLUM"), 3);
  EXPECT_EQ(list.FindStringExact(-1, "plu"), LB_ERR);
  const int h = list.GetItemHeight(0);
  Click(list.m_hWnd, CPoint(10, h / 2));
  Click(list.m_hWnd, CPoint(10, 2 * h + h / 2), MK_SHIFT);
  EXPECT_EQ(list.GetSelCount(), 3);
  Click(list.m_hWnd, CPoint(10, h + h / 2), MK_CONTROL);
  int sel[4] = {};
  ASSERT_EQ(list.GetSelItems(4, sel), 2);
  EXPECT_EQ(sel[0], 0);
  EXPECT_EQ(sel[1], 2);
  EXPECT_EQ(list.SetCurSel(1), LB_ERR);  // not for multiple selection
}

// One wheel notch scrolls a list box, a list view and a tree three lines;
// a turn smaller than a line moves nothing, and the first line stays inside
// the list at both ends.
TEST_F(CommCtrl, WheelScrollsListsThreeLinesANotch) {
  auto wheel = [](CWnd& w, int delta) {
    w.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(static_cast<short>(delta))), 0);
  };
  CListBox box;
  ASSERT_TRUE(box.Create(WS_CHILD | WS_VISIBLE | WS_VSCROLL, CRect(0, 0, 120, 100), &host, 90));
  for (int i = 0; i < 50; ++i) box.AddString("row");
  CListCtrl view;
  ASSERT_TRUE(view.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT, CRect(130, 0, 330, 100), &host, 91));
  view.InsertColumn(0, "Name", LVCFMT_LEFT, 150);
  for (int i = 0; i < 50; ++i) view.InsertItem(i, "row");
  CTreeCtrl tree;
  ASSERT_TRUE(tree.Create(WS_CHILD | WS_VISIBLE, CRect(340, 0, 460, 100), &host, 92));
  std::vector<HTREEITEM> items;
  for (int i = 0; i < 50; ++i) items.push_back(tree.InsertItem("row"));
  auto treeTop = [&] {
    const HTREEITEM first = tree.GetFirstVisibleItem();
    return static_cast<int>(std::find(items.begin(), items.end(), first) - items.begin());
  };
  const struct {
    int delta;
    int top;  // the first shown line after the turn
  } turns[] = {{-WHEEL_DELTA, 3}, {-2 * WHEEL_DELTA, 9}, {WHEEL_DELTA, 6}, {-WHEEL_DELTA / 3 + 1, 6},
               {WHEEL_DELTA / 3, 5}, {20 * WHEEL_DELTA, 0}};
  for (const auto& t : turns) {
    wheel(box, t.delta);
    wheel(view, t.delta);
    wheel(tree, t.delta);
    EXPECT_EQ(box.GetTopIndex(), t.top) << t.delta;
    EXPECT_EQ(view.GetTopIndex(), t.top) << t.delta;
    EXPECT_EQ(treeTop(), t.top) << t.delta;
  }
  // Far down: the first line stops where the last rows fill the list.
  wheel(box, -100 * WHEEL_DELTA);
  EXPECT_GT(box.GetTopIndex(), 30);
  EXPECT_LT(box.GetTopIndex(), 50);
}
