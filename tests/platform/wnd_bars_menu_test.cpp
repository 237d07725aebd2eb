// Owner-drawn menus: pop-up items measured and drawn by the menu object
// through the owner's default handling, in each state; command updates
// that keep the owner-drawn items; the menu bar that stays plain.
#include <QMenu>
#include <QMenuBar>

#include "tests/platform/wnd_bars_fixture.h"

using namespace barstest;

namespace {

// Fills each item with the colour of its state.
class COwnerMenu : public CMenu {
 public:
  struct Drawn {
    UINT id;
    UINT state;
    ULONG_PTR data;
    CRect rect;
  };
  std::vector<UINT> m_measured;
  std::vector<Drawn> m_drawn;
  void MeasureItem(LPMEASUREITEMSTRUCT mis) override {
    m_measured.push_back(mis->itemID);
    mis->itemWidth = 120;
    mis->itemHeight = mis->itemData == 4 ? 6 : 20;
  }
  void DrawItem(LPDRAWITEMSTRUCT dis) override {
    m_drawn.push_back({dis->itemID, dis->itemState, dis->itemData, CRect(dis->rcItem)});
    CDC* dc = CDC::FromHandle(dis->hDC);
    COLORREF c = RGB(255, 255, 255);
    if (dis->itemState & ODS_CHECKED) c = RGB(0, 160, 0);
    if (dis->itemState & ODS_GRAYED) c = RGB(128, 128, 128);
    if (dis->itemState & ODS_SELECTED) c = (dis->itemState & ODS_GRAYED) ? RGB(212, 208, 200) : RGB(192, 210, 255);
    dc->FillSolidRect(&dis->rcItem, c);
  }
  const Drawn* Find(UINT id) const {
    for (auto it = m_drawn.rbegin(); it != m_drawn.rend(); ++it)
      if (it->id == id) return &*it;
    return nullptr;
  }
};

void Fill(COwnerMenu& m) {
  ASSERT_TRUE(m.CreatePopupMenu());
  m.AppendMenu(MF_OWNERDRAW, ID_BAR_OPEN, reinterpret_cast<LPCTSTR>(1));
  m.AppendMenu(MF_OWNERDRAW | MF_CHECKED, ID_BAR_GRID, reinterpret_cast<LPCTSTR>(2));
  m.AppendMenu(MF_OWNERDRAW | MF_GRAYED, ID_BAR_SAVE, reinterpret_cast<LPCTSTR>(3));
  m.AppendMenu(MF_OWNERDRAW | MF_SEPARATOR, 0, reinterpret_cast<LPCTSTR>(4));
  m.AppendMenu(MF_STRING, ID_BAR_ZOOM, "Zoom");
}

}  // namespace

TEST_F(BarsTest, OwnerDrawnPopupReachesTheMenuObjectInEachState) {
  CBarsFrame* f = app->Frame();
  COwnerMenu menu;
  Fill(menu);
  const QImage img = QmRenderPopupMenu(menu.m_hMenu, f->m_hWnd, 0);
  ASSERT_FALSE(img.isNull());
  // Each owner-drawn item measured once, the plain one not at all.
  EXPECT_EQ(menu.m_measured, (std::vector<UINT>{ID_BAR_OPEN, ID_BAR_GRID, ID_BAR_SAVE, 0}));
  const COwnerMenu::Drawn* open = menu.Find(ID_BAR_OPEN);
  const COwnerMenu::Drawn* grid = menu.Find(ID_BAR_GRID);
  const COwnerMenu::Drawn* save = menu.Find(ID_BAR_SAVE);
  const COwnerMenu::Drawn* sep = menu.Find(0);
  ASSERT_TRUE(open && grid && save && sep);
  EXPECT_EQ(open->state, ODS_SELECTED);
  EXPECT_EQ(grid->state, static_cast<UINT>(ODS_CHECKED));
  EXPECT_EQ(save->state, static_cast<UINT>(ODS_GRAYED));
  EXPECT_EQ(sep->state, 0u);
  EXPECT_EQ(grid->data, 2u);
  // Items lie one under the other, as high as measured, as wide as the menu.
  EXPECT_EQ(open->rect.Height(), 20);
  EXPECT_EQ(sep->rect.Height(), 6);
  EXPECT_EQ(grid->rect.top, open->rect.bottom);
  EXPECT_GE(open->rect.Width(), 120);
  EXPECT_EQ(open->rect.Width(), save->rect.Width());
  // What the menu object drew is what shows.
  EXPECT_EQ(Pixel(img, open->rect.CenterPoint().x, open->rect.CenterPoint().y), RGB(192, 210, 255));
  EXPECT_EQ(Pixel(img, grid->rect.CenterPoint().x, grid->rect.CenterPoint().y), RGB(0, 160, 0));
  EXPECT_EQ(Pixel(img, save->rect.CenterPoint().x, save->rect.CenterPoint().y), RGB(128, 128, 128));

  // A grayed item under the mouse is selected and grayed.
  menu.m_drawn.clear();
  const QImage img2 = QmRenderPopupMenu(menu.m_hMenu, f->m_hWnd, 2);
  ASSERT_NE(menu.Find(ID_BAR_SAVE), nullptr);
  EXPECT_EQ(menu.Find(ID_BAR_SAVE)->state, static_cast<UINT>(ODS_SELECTED | ODS_GRAYED));
  EXPECT_EQ(menu.Find(ID_BAR_OPEN)->state, 0u);
  const CRect sr = menu.Find(ID_BAR_SAVE)->rect;
  EXPECT_EQ(Pixel(img2, sr.CenterPoint().x, sr.CenterPoint().y), RGB(212, 208, 200));
}

TEST_F(BarsTest, CommandUpdatesKeepOwnerDrawnItemsAndMarkRadioItems) {
  COwnerMenu menu;
  Fill(menu);
  CCmdUI ui;
  ui.m_pMenu = &menu;
  ui.m_nIndexMax = menu.GetMenuItemCount();
  ui.m_nIndex = 0;
  ui.m_nID = ID_BAR_OPEN;
  ui.SetText("Open again");
  ui.Enable(FALSE);
  MENUITEMINFO info{};
  info.cbSize = sizeof(info);
  info.fMask = MIIM_FTYPE | MIIM_DATA | MIIM_STATE | MIIM_CHECKMARKS;
  ASSERT_TRUE(menu.GetMenuItemInfo(0, &info, TRUE));
  EXPECT_TRUE(info.fType & MFT_OWNERDRAW);
  EXPECT_EQ(info.dwItemData, 1u);
  EXPECT_TRUE(info.fState & MFS_GRAYED);
  EXPECT_EQ(info.hbmpChecked, nullptr);
  CString label;
  menu.GetMenuString(0, label, MF_BYPOSITION);
  EXPECT_EQ(label, CString("Open again"));
  // A radio update: checked, with the dot as the checked-state mark.
  ui.m_nIndex = 1;
  ui.m_nID = ID_BAR_GRID;
  ui.SetRadio(TRUE);
  ASSERT_TRUE(menu.GetMenuItemInfo(1, &info, TRUE));
  EXPECT_TRUE(info.fState & MFS_CHECKED);
  EXPECT_TRUE(info.fType & MFT_OWNERDRAW);
  EXPECT_NE(info.hbmpChecked, nullptr);
  EXPECT_EQ(info.hbmpChecked, QmMenuRadioDot());
  // A plain check leaves the marks alone.
  ui.SetCheck(0);
  ASSERT_TRUE(menu.GetMenuItemInfo(1, &info, TRUE));
  EXPECT_FALSE(info.fState & MFS_CHECKED);
  EXPECT_NE(info.hbmpChecked, nullptr);
}

TEST_F(BarsTest, MenuBarStaysPlainWhileItsDropDownsAreOwnerDrawn) {
  CBarsFrame* f = app->Frame();
  CMenu bar;
  ASSERT_TRUE(bar.CreateMenu());
  auto* drop = new COwnerMenu;
  Fill(*drop);
  bar.AppendMenu(MF_POPUP, reinterpret_cast<UINT_PTR>(drop->m_hMenu), "&Design");
  ASSERT_TRUE(f->SetMenu(&bar));
  QMenuBar* qbar = QmWidgetOf(f->m_hWnd)->findChild<QMenuBar*>();
  ASSERT_NE(qbar, nullptr);
  ASSERT_EQ(qbar->actions().size(), 1);
  EXPECT_EQ(qbar->actions().first()->text(), QStringLiteral("&Design"));
  QMenu* q = qbar->actions().first()->menu();
  ASSERT_NE(q, nullptr);
  emit q->aboutToShow();
  ASSERT_EQ(q->actions().size(), 5);
  q->resize(q->sizeHint());
  q->setActiveAction(q->actions().at(1));
  (void)q->grab();
  EXPECT_EQ(drop->m_measured.size(), 4u);
  ASSERT_NE(drop->Find(ID_BAR_GRID), nullptr);
  EXPECT_EQ(drop->Find(ID_BAR_GRID)->state, static_cast<UINT>(ODS_SELECTED | ODS_CHECKED));
  // Choosing an owner-drawn item runs its command.
  q->actions().at(0)->trigger();
  QmPumpMessages();
  EXPECT_EQ(Log(), std::vector<std::string>{"open"});
  f->SetMenu(nullptr);
  bar.DestroyMenu();  // with its drop-down
  drop->Detach();
  delete drop;
}
