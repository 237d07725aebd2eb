// The colour list control.
#include <gtest/gtest.h>

#include <QImage>

#include "controls/ColorListCtrl.h"
#include "core/DialogServices.h"
#include "core/Registry.h"
#include "palette/ColorSet.h"
#include "platform/wnd/host.h"
#include "tests/common/test_util.h"
#include "tests/controls/controls_fixture.h"

namespace {

CColorSet MakePalette(int n, std::initializer_list<int> counted = {}) {
  CColorSet set;
  for (int i = 0; i < n; ++i) {
    CPaletteColor c;
    c.SetRgb(CRgbTriple(static_cast<BYTE>(i), static_cast<BYTE>(255 - i), static_cast<BYTE>(i * 7)));
    c.mfgName.Format("N%03d", i);
    c.nickname.Format("nick %d", i);
    c.number = i;
    set.Append(c);
  }
  for (int i : counted) set.GetColor(i)->count = static_cast<DWORD>(10 + i);
  return set;
}

// A list of the given client width on a host.
struct ListOnHost {
  ListOnHost(const char* name, int preset, int width = 316)
      : host(600, 500), list(name, 0, preset) {
    list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS, RECT{0, 0, width, 300}, &host, 1000);
    list.Init();
  }
  ctltest::Host host;
  CColorListCtrl list;
};

std::vector<CString> Column(CColorListCtrl& list, int column) {
  std::vector<CString> out;
  for (int r = 0; r < list.GetItemCount(); ++r) out.push_back(list.GetItemText(r, column));
  return out;
}

}  // namespace

TEST(ColorList, ShowModesAndItemData) {
  ListOnHost on("", 0);
  CColorSet palette = MakePalette(100, {3, 9, 20, 41, 55, 70, 99});
  on.list.SetColorSet(&palette, 0);
  ASSERT_EQ(on.list.GetItemCount(), 7);
  for (int r = 0; r < 7; ++r) {
    CPaletteColor color;
    ASSERT_TRUE(on.list.GetItemColor(r, color));
    EXPECT_EQ(color.mfgName, palette.GetColor(static_cast<int>(on.list.GetItemData(r)))->mfgName);
    EXPECT_GT(color.count, 0u);
  }
  on.list.SetColorSet(&palette, 1);
  ASSERT_EQ(on.list.GetItemCount(), 100);
  for (int r = 0; r < 100; ++r) {
    const int index = static_cast<int>(on.list.GetItemData(r));
    EXPECT_EQ(on.list.GetItemText(r, 0), palette.GetColor(index)->mfgName);
  }
  EXPECT_FALSE(on.list.GetItemColor(100, *palette.GetColor(0)));
}

TEST(ColorList, AutomaticWidths) {
  ListOnHost on("", 0, 316);
  CRect client;
  on.list.GetClientRect(&client);
  ASSERT_EQ(client.Width(), 316);
  for (int c = 0; c < 3; ++c) EXPECT_EQ(on.list.GetColumnWidth(c), 100);
  // Stored widths when none is automatic.
  on.list.GetData().columns = {{kColumnMfgName, 80}, {kColumnCount, 55}};
  on.list.Init();
  EXPECT_EQ(on.list.GetColumnWidth(0), 80);
  EXPECT_EQ(on.list.GetColumnWidth(1), 55);
}

TEST(ColorList, HeaderClicksSortBothWays) {
  ListOnHost on("", 0);
  CColorSet palette = MakePalette(5);
  const int counts[5] = {30, 10, 50, 20, 40};
  for (int i = 0; i < 5; ++i) palette.GetColor(i)->count = static_cast<DWORD>(counts[i]);
  on.list.GetData().sortColumn = 2;  // sorted by Count (descending at direction 1)
  on.list.SetColorSet(&palette, 1);
  EXPECT_EQ(Column(on.list, 0), (std::vector<CString>{"N002", "N004", "N000", "N003", "N001"}));
  on.list.ClickColumn(0);  // Mfg Name, direction 1: descending names
  EXPECT_EQ(on.list.GetData().sortColumn, 0);
  EXPECT_EQ(Column(on.list, 0), (std::vector<CString>{"N004", "N003", "N002", "N001", "N000"}));
  on.list.ClickColumn(0);  // again: ascending
  EXPECT_EQ(on.list.GetData().sortDirection, 0);
  EXPECT_EQ(Column(on.list, 0), (std::vector<CString>{"N000", "N001", "N002", "N003", "N004"}));
  // Through the header notification, with the selection remembered.
  on.list.GetData().rememberSelection = 1;
  on.list.SelectByName("N003");
  NMLISTVIEW click{};
  click.hdr.hwndFrom = on.list.GetSafeHwnd();
  click.hdr.idFrom = 1000;
  click.hdr.code = LVN_COLUMNCLICK;
  click.iItem = -1;
  click.iSubItem = 0;
  on.host.SendMessage(WM_NOTIFY, 1000, reinterpret_cast<LPARAM>(&click));
  EXPECT_EQ(Column(on.list, 0).front(), "N004");
  EXPECT_EQ(on.list.GetSelectedName(), "N003");
}

TEST(ColorList, UsageClickBoundaryAndMessage) {
  ListOnHost on("", 1);  // Mfg Name, Nickname, Usage; usage change allowed
  CColorSet palette = MakePalette(4);
  on.list.GetData().sortDirection = 0;  // ascending names: row = index
  on.list.SetColorSet(&palette, 1);
  ASSERT_EQ(on.list.FindUsageColumn(), 2);
  CRect row;
  on.list.GetItemRect(2, &row, LVIR_BOUNDS);
  on.list.SetItemState(2, LVIS_SELECTED, LVIS_SELECTED);
  EXPECT_EQ(on.list.GetItemText(2, 2), "[X]");
  on.list.ClickAt(POINT{200, row.top + 2});  // exactly on the left border
  QmPumpMessages();
  EXPECT_EQ(on.host.registeredCount, 0);
  EXPECT_EQ(on.list.GetItemText(2, 2), "[X]");
  on.list.ClickAt(POINT{201, row.top + 2});
  QmPumpMessages();
  EXPECT_EQ(on.host.lastMessage, g_msgColorPaletteUsageChanged);
  EXPECT_EQ(on.host.lastWParam, static_cast<WPARAM>(on.list.GetItemData(2)));
  EXPECT_EQ(on.host.lastLParam, 0);
  EXPECT_EQ(on.list.GetItemText(2, 2), "[  ]");
  EXPECT_TRUE(palette.GetColor(2)->IsInUse());  // the owner changes the palette
  on.list.ClickAt(POINT{250, row.top + 2});
  QmPumpMessages();
  EXPECT_EQ(on.host.lastLParam, 1);
  // Not allowed: nothing.
  on.list.GetData().allowUsageChange = 0;
  const int before = on.host.registeredCount;
  on.list.ClickAt(POINT{250, row.top + 2});
  QmPumpMessages();
  EXPECT_EQ(on.host.registeredCount, before);
}

TEST(ColorList, ShortageRowsPainted) {
  ListOnHost on("", 0);
  CColorSet palette = MakePalette(3);
  palette.GetColor(0)->count = 12;
  palette.GetColor(0)->assigned = 0;
  palette.GetColor(1)->count = 5;
  palette.GetColor(1)->assigned = 5;
  on.list.GetData().sortDirection = 0;
  on.list.SetColorSet(&palette, 1);
  const QRgb back = qRgb(255, 247, 145);
  auto countBack = [&](int rowIndex) {
    const QImage image = QmRenderWindow(on.list.GetSafeHwnd(), false);
    CRect r;
    on.list.GetItemRect(rowIndex, &r, LVIR_BOUNDS);
    int n = 0;
    for (int x = 120; x < 300; ++x) n += (image.pixel(x, r.top + r.Height() / 2) & 0xFFFFFF) == (back & 0xFFFFFF);
    return n;
  };
  EXPECT_EQ(countBack(0), 0);  // highlight shortage off
  on.list.GetData().highlightShortage = 1;
  on.list.Invalidate();
  EXPECT_GT(countBack(0), 100);
  EXPECT_EQ(countBack(1), 0);
}

TEST(ColorList, UsageCellsAreCheckBoxes) {
  ListOnHost on("", 1);  // Mfg Name, Nickname, Usage
  CColorSet palette = MakePalette(2);
  palette.GetColor(1)->SetInUse(0);
  on.list.GetData().sortDirection = 0;  // row = index
  on.list.SetColorSet(&palette, 1);
  ASSERT_EQ(on.list.FindUsageColumn(), 2);
  const QImage image = QmRenderWindow(on.list.GetSafeHwnd(), false);
  const int left = on.list.GetColumnWidth(0) + on.list.GetColumnWidth(1), width = on.list.GetColumnWidth(2);
  // A box with a frame in the middle of the cell; the tick only where the
  // colour is in use. The text "[X]" is not drawn (its brackets would sit
  // at the cell's left).
  auto dark = [&](int row, int x0, int x1) {
    CRect r;
    on.list.GetItemRect(row, &r, LVIR_BOUNDS);
    int n = 0;
    for (int y = r.top + 1; y < r.bottom - 1; ++y)
      for (int x = x0; x < x1; ++x) n += qGray(image.pixel(x, y)) < 100;
    return n;
  };
  const int mid = left + width / 2;
  EXPECT_GT(dark(0, mid - 3, mid + 3), dark(1, mid - 3, mid + 3));
  EXPECT_GT(dark(1, left + 1, left + width - 1), 0);  // the empty box's frame
  EXPECT_EQ(dark(0, left + 1, left + 8), 0);
  EXPECT_EQ(on.list.GetItemText(0, 2), "[X]");
  EXPECT_EQ(on.list.GetItemText(1, 2), "[  ]");
}

TEST(ColorList, CutNamesShowWholeInATooltip) {
  ListOnHost on("", 0, 200);  // Mfg Name, Nickname, Count: narrow columns
  CColorSet palette = MakePalette(2, {0, 1});
  palette.GetColor(0)->nickname = "Dark Orange Transparent Rainbow";
  on.list.GetData().sortDirection = 0;
  on.list.SetColorSet(&palette, 1);
  CRect cut, whole;
  ASSERT_TRUE(on.list.GetSubItemRect(0, 1, LVIR_BOUNDS, cut));
  ASSERT_TRUE(on.list.GetSubItemRect(1, 1, LVIR_BOUNDS, whole));
  EXPECT_EQ(on.list.GetCutCellText(cut.CenterPoint()), "Dark Orange Transparent Rainbow");
  EXPECT_EQ(on.list.GetCutCellText(whole.CenterPoint()), "");
  on.list.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(cut.CenterPoint().x, cut.CenterPoint().y));
  EXPECT_EQ(on.list.GetCellTipText(), "Dark Orange Transparent Rainbow");
  on.list.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(whole.CenterPoint().x, whole.CenterPoint().y));
  EXPECT_EQ(on.list.GetCellTipText(), "");
}

TEST(ColorList, NumberSearchWraps) {
  ListOnHost on("", 0);
  CColorSet palette;
  for (const char* name : {"1200", "77", "0012", "512"}) {
    CPaletteColor c;
    c.mfgName = name;
    palette.Append(c);
  }
  on.list.SetColorSet(&palette, 1);  // descending names: 77, 512, 1200, 0012
  EXPECT_EQ(Column(on.list, 0), (std::vector<CString>{"77", "512", "1200", "0012"}));
  const char* expected[] = {"512", "1200", "0012", "512"};
  for (const char* name : expected) {
    EXPECT_TRUE(on.list.FindNumberInName(12));
    EXPECT_EQ(on.list.GetSelectedName(), name);
    EXPECT_EQ(on.list.GetSelectedCount(), 1u);
  }
  EXPECT_FALSE(on.list.FindNumberInName(999));
  on.list.ClearSelection();
  EXPECT_EQ(on.list.GetSelectedIndex(), -1);
  EXPECT_EQ(on.list.GetSelectedName(), "");
  // Colour numbers.
  palette.GetColor(1)->number = 4120;
  on.list.SetColorSet(&palette, 1);
  EXPECT_TRUE(on.list.FindColorNumber(412));
  EXPECT_EQ(on.list.GetSelectedName(), "77");
  // Selecting by colour keeps other selected rows.
  palette.GetColor(3)->SetRgb(CRgbTriple(1, 2, 3));
  on.list.SetColorSet(&palette, 1);
  on.list.SelectByName("1200");
  EXPECT_TRUE(on.list.SelectColor(CRgbTriple(1, 2, 3)));
  EXPECT_EQ(on.list.GetSelectedCount(), 2u);
  EXPECT_FALSE(on.list.SelectColor(RGB(9, 9, 9)));
}

TEST(ColorList, SetupStoredAndReadBack) {
  const char* name = "TestColorList16Jule2010";
  CColorListData stored(0);
  {
    ListOnHost on(name, 2);
    // First run: the preset (Mfg Name, Count, Usage).
    ASSERT_EQ(on.list.GetData().columns.size(), 3u);
    EXPECT_EQ(on.list.GetData().columns[2].kind, kColumnUsage);
    on.list.GetData().sortColumn = 1;
    on.list.GetData().sortDirection = 0;
    on.list.GetData().highlightShortage = 1;
    on.list.GetData().columns.push_back(CColumnPair{kColumnShortage, 77});
    on.list.StoreColumnWidths();  // the header's widths
    stored = on.list.GetData();
    on.list.DestroyWindow();
  }
  DWORD size = 0;
  ASSERT_TRUE(CRegistryKey::Open(g_szProgramKey, HKEY_CURRENT_USER).GetValueSize(name, size));
  EXPECT_EQ(size, 13u + 8u * 4u + 192u);
  {
    CColorListCtrl again(name, 1, 2);
    EXPECT_TRUE(again.GetData() == stored);
  }
  // A stored set-up cut short gives the preset, not a half-read model.
  CColorListCtrl probe("", 0, 2);
  std::vector<BYTE> bytes = probe.WriteSetup();
  bytes.resize(bytes.size() - 10);
  CRegistryKey::Create(g_szProgramKey, HKEY_CURRENT_USER).SetValue(name, bytes.data(), static_cast<DWORD>(bytes.size()), REG_BINARY);
  {
    CColorListCtrl cut(name, 0, 2);
    EXPECT_TRUE(cut.GetData() == CColorListData(2));
  }
  std::vector<BYTE> other = CColorListCtrl("", 0, 0).WriteSetup();
  other.resize(20);  // the flags and a column count of 3 with one pair only
  EXPECT_FALSE(probe.ReadSetup(other.data(), other.size()));
  EXPECT_TRUE(probe.GetData() == CColorListData(2));
}

TEST(ColorList, ColumnsCommandGoesThroughTheHook) {
  ListOnHost on("", 0);
  CColorSet palette = MakePalette(3);
  on.list.SetColorSet(&palette, 1);
  EXPECT_EQ(on.list.GetHeaderCtrl()->GetItemCount(), 3);
  on.list.OnColumns();  // no dialog installed: nothing changes
  EXPECT_EQ(on.list.GetHeaderCtrl()->GetItemCount(), 3);
  SetSelectColumnsDialog([](CColumnLayout& columns, CColumnListOptions& options, CWnd*) {
    columns = {{kColumnIndex, 60}, {kColumnMfgName, 90}};
    options.rememberSelection = 1;
    options.usageChangeLocked = 0;  // not taken back
    return true;
  });
  on.list.OnColumns();
  SetSelectColumnsDialog(nullptr);
  EXPECT_EQ(on.list.GetHeaderCtrl()->GetItemCount(), 2);
  EXPECT_EQ(on.list.GetColumnWidth(0), 60);
  EXPECT_EQ(on.list.GetData().rememberSelection, 1);
  EXPECT_EQ(on.list.GetData().usageChangeLocked, 1);
  EXPECT_EQ(on.list.GetItemText(0, 1).Left(1), "N");
}
