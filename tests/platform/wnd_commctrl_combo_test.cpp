// Combo boxes: the Edit child of a drop-down combo, the heights of the field,
// the rows and the dropped list (the sizing rule of a toolbar combo), owner-
// drawn fields and rows, the notifications of the dropped list, the
// extended combo box, item data given back through DeleteItem.
#include "tests/platform/wnd_commctrl_host.h"

using namespace cctest;

namespace {

class CEditProbe : public CEdit {
 public:
  int kills = 0;

 protected:
  afx_msg void OnKillFocus(CWnd* to) {
    ++kills;
    CEdit::OnKillFocus(to);
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CEditProbe, CEdit)
  ON_WM_KILLFOCUS()
END_MESSAGE_MAP()

// A combo whose caller's height sets the closed field while its window is
// made tall enough for a list of 20 rows (as the toolbar's zoom box does).
class CTwentyRowCombo : public CComboBox {
 public:
  int fieldH = -1;
  int pending = -1;

 protected:
  afx_msg void OnWindowPosChanging(WINDOWPOS* wp) {
    if (!(wp->flags & SWP_NOSIZE) && pending < 0) {
      if (fieldH < 0) fieldH = GetItemHeight(-1);
      pending = wp->cy;
      wp->cy = GetItemHeight(0) * 20 + 7 * GetSystemMetrics(SM_CYBORDER) + fieldH;
    }
    CComboBox::OnWindowPosChanging(wp);
  }
  afx_msg void OnWindowPosChanged(WINDOWPOS* wp) {
    CComboBox::OnWindowPosChanged(wp);
    if (pending >= 0) {
      SetItemHeight(-1, static_cast<UINT>(pending - 6));
      pending = -1;
    }
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CTwentyRowCombo, CComboBox)
  ON_WM_WINDOWPOSCHANGING()
  ON_WM_WINDOWPOSCHANGED()
END_MESSAGE_MAP()

class CColourCombo : public CComboBox {
 public:
  int measures = 0;
  std::vector<std::pair<int, UINT>> drawn;  // item, state
  std::vector<ULONG_PTR> deleted;
  void MeasureItem(LPMEASUREITEMSTRUCT m) override {
    ++measures;
    m->itemHeight = 18;
  }
  void DrawItem(LPDRAWITEMSTRUCT d) override {
    drawn.emplace_back(static_cast<int>(d->itemID), d->itemState);
    CDC::FromHandle(d->hDC)->FillSolidRect(&d->rcItem, static_cast<COLORREF>(d->itemData));
  }
  void DeleteItem(LPDELETEITEMSTRUCT d) override { deleted.push_back(d->itemData); }
};

RECT ListRect(const CComboBox& combo) {
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  combo.GetComboBoxInfo(&info);
  RECT r{};
  GetWindowRect(info.hwndList, &r);
  return r;
}

HWND ListOf(const CComboBox& combo) {
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  combo.GetComboBoxInfo(&info);
  return info.hwndList;
}

}  // namespace

TEST_F(CommCtrl, DropDownComboHasASubclassableEditChild) {
  CComboBox combo;
  ASSERT_TRUE(combo.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL, CRect(10, 10, 160, 210), &host, 50));
  CWnd* child = combo.GetWindow(GW_CHILD);
  ASSERT_NE(child, nullptr);
  EXPECT_EQ(child->GetDlgCtrlID(), 1001);
  char cls[32] = {};
  GetClassName(child->m_hWnd, cls, sizeof cls);
  EXPECT_STREQ(cls, "Edit");
  CEditProbe edit;
  ASSERT_TRUE(edit.SubclassWindow(child->m_hWnd));
  for (const char* s : {"10", "25", "50"}) combo.AddString(s);
  host.events.clear();
  combo.SetCurSel(1);
  CString text;
  combo.GetWindowText(text);
  EXPECT_EQ(text, CString("25"));
  EXPECT_TRUE(host.Codes("cmd", 50).empty());  // a program's change is no edit change

  edit.SetFocus();
  QmSendKey(edit.m_hWnd, VK_END);
  QmSendText(edit.m_hWnd, "7");
  combo.GetWindowText(text);
  EXPECT_EQ(text, CString("257"));
  host.SetFocus();
  EXPECT_EQ(edit.kills, 1);
  EXPECT_EQ(host.Codes("cmd", 50), (std::vector<UINT>{CBN_SETFOCUS, CBN_EDITUPDATE, CBN_EDITCHANGE, CBN_KILLFOCUS}));
  edit.UnsubclassWindow();
}

TEST_F(CommCtrl, HeightsOfTheFieldTheRowsAndTheDroppedList) {
  CComboBox combo;
  ASSERT_TRUE(combo.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST | WS_VSCROLL, CRect(10, 10, 160, 210), &host, 51));
  CRect wr;
  combo.GetWindowRect(&wr);
  EXPECT_EQ(wr.Height(), combo.GetItemHeight(-1) + 6);
  CRect drop;
  combo.GetDroppedControlRect(&drop);
  EXPECT_EQ(drop.Height(), 200);
  EXPECT_NE(combo.SetItemHeight(-1, 16), CB_ERR);
  combo.GetWindowRect(&wr);
  EXPECT_EQ(wr.Height(), 22);
  // A height given later is the dropped list's; the window keeps the field's.
  combo.SetWindowPos(nullptr, 0, 0, 150, 300, SWP_NOMOVE | SWP_NOZORDER);
  combo.GetWindowRect(&wr);
  EXPECT_EQ(wr.Height(), 22);
  combo.GetDroppedControlRect(&drop);
  EXPECT_EQ(drop.Height(), 300);

  // The toolbar's rule: a requested height of 22 gives a 16-pixel field and
  // a list of 20 rows.
  CTwentyRowCombo zoom;
  ASSERT_TRUE(zoom.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWN | WS_VSCROLL, CRect(200, 10, 268, 410), &host, 52));
  for (int i = 0; i < 30; ++i) zoom.AddString("100%");
  zoom.SetWindowPos(nullptr, 0, 0, 68, 22, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(zoom.GetItemHeight(-1), 16);
  zoom.GetWindowRect(&wr);
  EXPECT_EQ(wr.Height(), 22);
  zoom.ShowDropDown(TRUE);
  const RECT list = ListRect(zoom);
  EXPECT_EQ(list.bottom - list.top, 20 * zoom.GetItemHeight(0) + 2);
  EXPECT_EQ(list.top, wr.bottom);
  zoom.ShowDropDown(FALSE);
}

TEST_F(CommCtrl, OwnerDrawnComboMeasuresOnceAndDrawsItsFieldAndRows) {
  CColourCombo combo;
  ASSERT_TRUE(combo.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS | WS_VSCROLL,
                           CRect(10, 10, 160, 210), &host, 53));
  const COLORREF colours[] = {RGB(200, 0, 0), RGB(0, 160, 0), RGB(0, 0, 200), RGB(240, 240, 0)};
  for (COLORREF c : colours) combo.SetItemData(combo.AddString("c"), c);
  EXPECT_EQ(combo.measures, 1);
  EXPECT_EQ(combo.GetItemHeight(0), 18);
  EXPECT_EQ(combo.GetItemHeight(-1), 18);
  combo.SetCurSel(2);
  combo.drawn.clear();
  const QImage field = QmRenderWindow(combo.m_hWnd, false);
  ASSERT_FALSE(combo.drawn.empty());
  EXPECT_EQ(combo.drawn.back().first, 2);
  EXPECT_TRUE(combo.drawn.back().second & ODS_COMBOBOXEDIT);
  EXPECT_EQ(PixelAt(field, 10, field.height() / 2), RGB(0, 0, 200));
  combo.drawn.clear();
  combo.ShowDropDown(TRUE);
  QmRenderWindow(ListOf(combo), false);
  ASSERT_EQ(combo.drawn.size(), 4u);
  for (const auto& [item, state] : combo.drawn) {
    EXPECT_FALSE(state & ODS_COMBOBOXEDIT);
    EXPECT_EQ((state & ODS_SELECTED) != 0, item == 2) << item;
  }
  combo.ShowDropDown(FALSE);
  EXPECT_EQ(combo.measures, 1);
}

TEST_F(CommCtrl, DroppedListNotificationsComeInOrder) {
  CComboBox combo;
  ASSERT_TRUE(combo.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST | WS_VSCROLL, CRect(10, 10, 160, 210), &host, 54));
  for (const char* s : {"Black", "Red", "Blue", "Green", "White"}) combo.AddString(s);
  combo.SetCurSel(0);
  combo.SetFocus();
  EXPECT_EQ(host.Codes("cmd", 54), (std::vector<UINT>{CBN_SETFOCUS}));
  host.events.clear();
  combo.ShowDropDown(TRUE);
  EXPECT_TRUE(combo.GetDroppedState());
  const int h = combo.GetItemHeight(0);
  Click(ListOf(combo), POINT{20, 3 * h + h / 2});
  EXPECT_EQ(combo.GetCurSel(), 3);
  EXPECT_FALSE(combo.GetDroppedState());
  EXPECT_EQ(host.Codes("cmd", 54), (std::vector<UINT>{CBN_DROPDOWN, CBN_SELCHANGE, CBN_SELENDOK, CBN_CLOSEUP}));

  // Keys on the closed list choose at once.
  host.events.clear();
  QmSendKey(combo.m_hWnd, VK_DOWN);
  EXPECT_EQ(combo.GetCurSel(), 4);
  EXPECT_EQ(host.Codes("cmd", 54), (std::vector<UINT>{CBN_SELCHANGE, CBN_SELENDOK}));
  // F4 drops the list; Escape closes it without a choice.
  host.events.clear();
  QmSendKey(combo.m_hWnd, VK_F4);
  EXPECT_TRUE(combo.GetDroppedState());
  QmSendKey(combo.m_hWnd, VK_ESCAPE);
  EXPECT_FALSE(combo.GetDroppedState());
  EXPECT_EQ(host.Codes("cmd", 54), (std::vector<UINT>{CBN_DROPDOWN, CBN_SELENDCANCEL, CBN_CLOSEUP}));
  // A press outside the list closes it too.
  combo.ShowDropDown(TRUE);
  QmSendMouse(ListOf(combo), WM_LBUTTONDOWN, POINT{-20, -20}, MK_LBUTTON);
  EXPECT_FALSE(combo.GetDroppedState());
  EXPECT_EQ(combo.GetCurSel(), 4);
  host.events.clear();
  host.SetFocus();
  EXPECT_EQ(host.Codes("cmd", 54), (std::vector<UINT>{CBN_KILLFOCUS}));
}

TEST_F(CommCtrl, ExtendedComboItemsCarryImagesAndData) {
  CImageList images;
  ASSERT_TRUE(images.Create(16, 16, ILC_COLOR24, 2, 0));
  for (DWORD c : {0x00FF0000u, 0x0000FF00u}) {
    std::vector<DWORD> bits(256, c);
    CBitmap b;
    ASSERT_TRUE(b.CreateBitmap(16, 16, 1, 32, bits.data()));
    images.Add(&b, static_cast<CBitmap*>(nullptr));
  }
  CComboBoxEx ex;
  ASSERT_TRUE(ex.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, CRect(10, 10, 200, 200), &host, 55));
  ex.SetImageList(&images);
  const char* names[] = {"Loom", "Peyote"};
  for (int i = 0; i < 2; ++i) {
    COMBOBOXEXITEM it{};
    it.mask = CBEIF_TEXT | CBEIF_IMAGE | CBEIF_SELECTEDIMAGE | CBEIF_LPARAM;
    it.iItem = i;
    it.pszText = const_cast<LPSTR>(names[i]);
    it.iImage = it.iSelectedImage = i;
    it.lParam = 100 + i;
    EXPECT_EQ(ex.InsertItem(&it), i);
  }
  EXPECT_EQ(ex.GetCount(), 2);
  EXPECT_EQ(ex.GetItemData(1), 101u);
  ex.SetCurSel(1);
  CString text;
  ex.GetLBText(1, text);
  EXPECT_EQ(text, CString("Peyote"));
  const QImage img = QmRenderWindow(ex.m_hWnd, false);
  bool green = false;
  for (int x = 0; x < 30; ++x)
    if (PixelAt(img, x, img.height() / 2) == RGB(0, 255, 0)) green = true;
  EXPECT_TRUE(green);
  ex.SetImageList(nullptr);
}

TEST_F(CommCtrl, ItemDataGoesBackThroughDeleteItem) {
  CColourCombo combo;
  ASSERT_TRUE(combo.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | WS_VSCROLL, CRect(10, 10, 160, 210),
                           &host, 56));
  // Without CBS_HASSTRINGS the "string" is the item data.
  static int records[3];
  for (int& r : records) combo.AddString(reinterpret_cast<LPCTSTR>(&r));
  EXPECT_EQ(combo.GetItemData(1), reinterpret_cast<DWORD_PTR>(&records[1]));
  EXPECT_EQ(combo.GetLBTextLen(1), static_cast<int>(sizeof(ULONG_PTR)));
  combo.DeleteString(0);
  ASSERT_EQ(combo.deleted.size(), 1u);
  EXPECT_EQ(combo.deleted[0], reinterpret_cast<ULONG_PTR>(&records[0]));
  combo.ResetContent();
  EXPECT_EQ(combo.deleted.size(), 3u);
  EXPECT_EQ(combo.GetCount(), 0);
}
