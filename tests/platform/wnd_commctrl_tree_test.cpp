// Trees: items, expanding with its notifications, the visible order and
// item rectangles, selection by mouse and keys (and its veto), deletion,
// and a subclass that paints over the tree after its own painting.
#include "tests/platform/wnd_commctrl_host.h"

using namespace cctest;

namespace {

class CTreeTest : public CommCtrl {
 protected:
  void MakeTree() {
    ASSERT_TRUE(tree.Create(WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS,
                            CRect(10, 10, 260, 210), &host, 70));
    a = tree.InsertItem("File");
    a1 = tree.InsertItem("New", a);
    a2 = tree.InsertItem("Open", a);
    b = tree.InsertItem("Edit");
    b1 = tree.InsertItem("Undo", b);
    tree.SetItemData(a2, 32001);
  }
  std::vector<UINT> TreeCodes() const {
    std::vector<UINT> v;
    for (UINT c : host.Codes("notify", 70))
      if (c != NM_SETFOCUS && c != NM_KILLFOCUS) v.push_back(c);
    return v;
  }
  CTreeCtrl tree;
  HTREEITEM a = nullptr, a1 = nullptr, a2 = nullptr, b = nullptr, b1 = nullptr;
};

std::vector<HTREEITEM> VisibleOrder(const CTreeCtrl& t) {
  std::vector<HTREEITEM> v;
  for (HTREEITEM h = t.GetFirstVisibleItem(); h; h = t.GetNextVisibleItem(h)) v.push_back(h);
  return v;
}

}  // namespace

TEST_F(CTreeTest, ExpandingShowsChildrenInOrder) {
  MakeTree();
  EXPECT_EQ(tree.GetCount(), 5u);
  EXPECT_EQ(tree.GetRootItem(), a);
  EXPECT_EQ(tree.GetNextSiblingItem(a), b);
  EXPECT_EQ(tree.GetChildItem(a), a1);
  EXPECT_EQ(tree.GetParentItem(a2), a);
  EXPECT_TRUE(tree.ItemHasChildren(a));
  EXPECT_FALSE(tree.ItemHasChildren(a2));
  EXPECT_EQ(VisibleOrder(tree), (std::vector<HTREEITEM>{a, b}));
  host.events.clear();
  EXPECT_TRUE(tree.Expand(a, TVE_EXPAND));
  EXPECT_EQ(TreeCodes(), (std::vector<UINT>{TVN_ITEMEXPANDING, TVN_ITEMEXPANDED}));
  EXPECT_EQ(VisibleOrder(tree), (std::vector<HTREEITEM>{a, a1, a2, b}));
  EXPECT_TRUE(tree.GetItemState(a, TVIS_EXPANDED) & TVIS_EXPANDED);
  CRect ra, r2;
  ASSERT_TRUE(tree.GetItemRect(a, &ra, TRUE));
  ASSERT_TRUE(tree.GetItemRect(a2, &r2, TRUE));
  EXPECT_EQ(r2.top, ra.top + 2 * ra.Height());
  EXPECT_EQ(r2.left, ra.left + static_cast<int>(tree.GetIndent()));
  EXPECT_FALSE(tree.GetItemRect(b1, &ra, TRUE));  // hidden
  EXPECT_EQ(tree.GetItemText(a2), CString("Open"));
  EXPECT_EQ(tree.GetItemData(a2), 32001u);
  host.events.clear();
  EXPECT_TRUE(tree.DeleteAllItems());
  EXPECT_EQ(TreeCodes(), std::vector<UINT>(5, TVN_DELETEITEM));
  EXPECT_EQ(tree.GetCount(), 0u);
}

TEST_F(CTreeTest, MouseAndKeysSelectAndTheParentMayRefuse) {
  MakeTree();
  tree.Expand(a, TVE_EXPAND);
  std::vector<NMTREEVIEW> changes;
  bool refuse = false;
  host.onNotify = [&](NMHDR* nm) -> LRESULT {
    if (nm->code == TVN_SELCHANGED) changes.push_back(*reinterpret_cast<NMTREEVIEW*>(nm));
    return nm->code == TVN_SELCHANGING && refuse;
  };
  CRect r;
  tree.GetItemRect(a2, &r, TRUE);
  Click(tree.m_hWnd, r.CenterPoint());
  EXPECT_EQ(tree.GetSelectedItem(), a2);
  ASSERT_EQ(changes.size(), 1u);
  EXPECT_EQ(changes[0].action, TVC_BYMOUSE);
  EXPECT_EQ(changes[0].itemNew.hItem, a2);
  EXPECT_EQ(changes[0].itemNew.lParam, 32001);
  EXPECT_EQ(changes[0].itemOld.hItem, nullptr);
  QmSendKey(tree.m_hWnd, VK_DOWN);
  EXPECT_EQ(tree.GetSelectedItem(), b);
  EXPECT_EQ(changes.back().action, TVC_BYKEYBOARD);
  // The button of an item opens it.
  tree.GetItemRect(b, &r, TRUE);
  Click(tree.m_hWnd, CPoint(r.left - static_cast<int>(tree.GetIndent()) / 2 - 2, r.CenterPoint().y));
  EXPECT_TRUE(tree.GetItemState(b, TVIS_EXPANDED) & TVIS_EXPANDED);
  refuse = true;
  QmSendKey(tree.m_hWnd, VK_HOME);
  EXPECT_EQ(tree.GetSelectedItem(), b);
  refuse = false;
  EXPECT_TRUE(tree.SelectItem(a1));
  EXPECT_EQ(tree.GetSelectedItem(), a1);
}

namespace {

// Draws a key column over the tree after the tree's own painting.
class CKeyColumnTree : public CTreeCtrl {
 public:
  int column = 150;

 protected:
  afx_msg void OnPaint() {
    Default();
    CClientDC dc(this);
    CRect client;
    GetClientRect(&client);
    dc.FillSolidRect(column, 0, 1, client.Height(), RGB(0xC0, 0xC0, 0xC0));
    for (HTREEITEM h = GetFirstVisibleItem(); h; h = GetNextVisibleItem(h)) {
      CRect r;
      if (!GetItemRect(h, &r, FALSE)) continue;
      dc.FillSolidRect(column + 2, r.top, client.right - column - 2, r.Height(), RGB(255, 255, 255));
      dc.SetTextColor(RGB(0, 0, 0xC0));
      dc.SetBkMode(TRANSPARENT);
      dc.TextOut(column + 4, r.top, "Ctrl+N", 6);
    }
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CKeyColumnTree, CTreeCtrl)
  ON_WM_PAINT()
END_MESSAGE_MAP()

}  // namespace

TEST_F(CommCtrl, PaintingOverTheTreeAfterItsOwnPainting) {
  CKeyColumnTree tree;
  ASSERT_TRUE(tree.Create(WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT, CRect(10, 10, 260, 110), &host, 71));
  HTREEITEM root = tree.InsertItem("Shortcuts");
  tree.InsertItem("New design", root);
  tree.Expand(root, TVE_EXPAND);
  const QImage img = QmRenderWindow(tree.m_hWnd, false);
  CRect r;
  tree.GetItemRect(root, &r, TRUE);
  // The tree's own text stays...
  int dark = 0;
  for (int x = r.left; x < r.right; ++x)
    for (int y = r.top; y < r.bottom; ++y) dark += qGray(img.pixel(x, y)) < 110;
  EXPECT_GT(dark, 0);
  // ...under the owner's key column.
  EXPECT_EQ(PixelAt(img, 150, 60), RGB(0xC0, 0xC0, 0xC0));
  bool blue = false;
  for (int x = 154; x < 200; ++x)
    for (int y = r.top; y < r.bottom; ++y) blue |= PixelAt(img, x, y) == RGB(0, 0, 0xC0);
  EXPECT_TRUE(blue);
}
