// A gallery of the program's own controls in their states, in English and
// Russian: build/shots/<en|ru>/controls_gallery.png and
// controls_color_list.png, to be looked at.
#include <gtest/gtest.h>

#include <cstring>

#include "controls/3dColorStatic.h"
#include "controls/AdjustButton.h"
#include "controls/Buttons.h"
#include "controls/ColorListCtrl.h"
#include "controls/ComboBoxes.h"
#include "controls/Edits.h"
#include "controls/Lists.h"
#include "core/Registry.h"
#include "lang/ids/controls.h"
#include "palette/ColorSet.h"
#include "platform/base/codepage.h"
#include "platform/wnd/host.h"
#include "tests/common/test_util.h"
#include "tests/controls/controls_fixture.h"
#include "tools/dialogshots/DialogShots.h"

namespace {

struct Texts {
  const char *apply, *disabled, *color, *fill, *tool, *pressed, *title, *group, *note, *count, *emboss;
};
const Texts kEnglish{"&Apply", "Disabled", "Colour", "Fill", "Tool", "Latched", "Palette", "Colours in use",
                     "Shown in its own colour", "Beads", "New design"};
const Texts kRussian{"&Применить", "Недоступна", "Цвет", "Заливка", "Инструмент", "Нажата", "Палитра",
                     "Используемые цвета", "Текст своего цвета", "Бисер", "Новый дизайн"};

CString T(const char* utf8) { return FromUtf8(utf8); }

CColorSet GalleryPalette() {
  CColorSet set;
  const struct {
    BYTE r, g, b;
    const char* name;
    DWORD count;
    int assigned;
  } colours[] = {{200, 30, 40, "DB-0042", 120, 200}, {250, 220, 60, "DB-0101", 340, 100}, {40, 90, 200, "DB-0723", 0, 0},
                 {20, 20, 20, "DB-0010", 75, 75},     {240, 240, 235, "DB-0201", 12, 0}};
  for (const auto& c : colours) {
    CPaletteColor p;
    p.SetRgb(CRgbTriple(c.r, c.g, c.b));
    p.mfgName = c.name;
    p.count = c.count;
    p.assigned = c.assigned;
    p.symbol = 'A' + set.GetCount();
    p.symbolVariant = static_cast<BYTE>(set.GetCount() % 3);
    set.Append(p);
  }
  return set;
}

void Gallery(bool russian) {
  const bool was = IsRussianInterface();
  SetRussianInterface(russian);
  qmtest::LanguagePack pack(russian);
  ASSERT_TRUE(pack.Loaded());
  const Texts& t = russian ? kRussian : kEnglish;
  ctltest::Host host(560, 330);
  host.SetWindowText(russian ? T("Элементы управления") : CString("Controls"));
  CFont font;
  font.CreatePointFont(80, "MS Sans Serif");
  auto place = [&](CWnd& w) { w.SetFont(&font); };

  CSoftButton soft, softOff;
  soft.Create(T(t.apply), WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, RECT{10, 10, 130, 36}, &host, 1);
  softOff.Create(T(t.disabled), WS_CHILD | WS_VISIBLE | BS_OWNERDRAW | WS_DISABLED, RECT{10, 42, 130, 68}, &host, 2);
  CMyColorButton color;
  color.Create(T(t.color), WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, RECT{10, 74, 130, 100}, &host, 3);
  color.SetColor(RGB(40, 90, 200));
  CIButton fill;
  fill.Create(T(t.fill), WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, RECT{10, 106, 130, 132}, &host, 4);
  place(fill);
  fill.SetFillColor(RGB(250, 220, 60));
  CIButton iconButton;
  iconButton.Create(T(t.fill), WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, RECT{10, 138, 130, 164}, &host, 5);
  place(iconButton);
  iconButton.SetIcon(IDI_RULER_ADJUST, 8, 13);
  CToolbarButton tool, toolPressed;
  tool.Create(T(t.tool), WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, RECT{10, 170, 130, 198}, &host, 6);
  tool.SetIcon(IDI_RULER_ADJUST, 8, 13, 4, 6);
  toolPressed.Create(T(t.pressed), WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, RECT{10, 204, 130, 232}, &host, 7);
  toolPressed.SetIcon(IDI_RULER_ADJUST, 8, 13, 4, 6);
  toolPressed.SetPressed(true);
  CAdjustButton adjust(IDI_RULER_ADJUST, 8, 13);
  adjust.Create("", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, RECT{10, 240, 20, 255}, &host, 8);

  CColorSet palette = GalleryPalette();
  CComboBoxXP zoom;
  zoom.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWN | WS_VSCROLL, RECT{150, 10, 260, 200}, &host, 9);
  for (const char* z : {"100 %", "200 %", "50 %"}) zoom.AddString(z);
  zoom.SetCurSel(0);
  zoom.SetWindowPos(nullptr, 0, 0, 110, 22, SWP_NOMOVE | SWP_NOZORDER);
  CComboUsedColor used;
  used.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS, RECT{150, 40, 290, 200},
              &host, 10);
  used.FillAllColors(&palette, true);
  used.SetCurSel(2);
  CColorSetComboBox setCombo(&palette);
  setCombo.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED, RECT{150, 70, 290, 200}, &host, 11);
  setCombo.Fill();
  setCombo.SetCurSel(1);
  HWND edit = CreateWindowEx(0, "Edit", "0.33333", WS_CHILD | WS_VISIBLE | WS_BORDER, 150, 100, 110, 22,
                             host.GetSafeHwnd(), reinterpret_cast<HMENU>(12), nullptr, nullptr);
  CFloatEdit floatEdit(5, 0xFFFFFFFF);
  floatEdit.SubclassWindow(edit);
  place(floatEdit);
  HWND staticText = CreateWindowEx(0, "Static", "", WS_CHILD | WS_VISIBLE, 150, 128, 200, 18, host.GetSafeHwnd(),
                                   reinterpret_cast<HMENU>(13), nullptr, nullptr);
  CColorStatic colored(RGB(0, 0, 192));
  colored.SubclassWindow(staticText);
  place(colored);
  colored.SetText(T(t.note));
  C3dColorStatic emboss(0x000000, 0xDEDEDE, 0x404040, GetSysColor(COLOR_BTNFACE));
  emboss.Create(T(t.emboss), WS_CHILD | WS_VISIBLE, RECT{150, 150, 330, 185}, &host, 14);
  LOGFONT lf;
  std::memset(&lf, 0, sizeof(lf));
  std::strcpy(lf.lfFaceName, "Tahoma");
  lf.lfHeight = 24;
  lf.lfWeight = 700;
  lf.lfCharSet = 1;
  emboss.SetLogFont(lf);

  HWND group = CreateWindowEx(0, "Button", T(t.group), WS_CHILD | WS_VISIBLE | BS_GROUPBOX, 150, 190, 180, 120,
                              host.GetSafeHwnd(), reinterpret_cast<HMENU>(15), nullptr, nullptr);
  CSSGroupBox box(false, 0x608080);
  box.SubclassWindow(group);
  box.SetIcon(IDI_RULER_ADJUST);
  LOGFONT title;
  std::memset(&title, 0, sizeof(title));
  std::strcpy(title.lfFaceName, "Tahoma");
  title.lfHeight = 85;
  title.lfWeight = 700;
  title.lfCharSet = DEFAULT_CHARSET;
  box.SetTitleFont(&title);

  CListPaletteWithSymbol symbols;
  symbols.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_NOCOLUMNHEADER | LVS_OWNERDRAWFIXED | WS_BORDER,
                 RECT{340, 10, 550, 110}, &host, 16);
  symbols.SetSymbolFontName("Arial");
  const int widths[5] = {20, 62, 36, 18, 68};
  for (int c = 0; c < 5; ++c) symbols.InsertColumn(c, "", LVCFMT_LEFT, widths[c]);
  for (int i = 0; i < palette.GetCount(); ++i) {
    symbols.InsertItem(i, "");
    symbols.SetItemData(i, reinterpret_cast<DWORD_PTR>(palette.GetColor(i)));
  }
  symbols.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
  CPaletteListBox listBox(&palette);
  listBox.Create(WS_CHILD | WS_VISIBLE | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | WS_BORDER, RECT{340, 140, 550, 240}, &host,
                 17);
  listBox.Fill();
  listBox.SetCurSel(3);

  QmPumpMessages();
  host.Invalidate();
  EXPECT_TRUE(SaveDialogShot(host.GetSafeHwnd(), ctltest::ShotPath(russian, "controls_gallery")));

  // The colour list with a shortage row, sort arrows and the Usage column.
  ctltest::Host listHost(620, 220);
  listHost.SetWindowText(russian ? T("Цвета палитры") : CString("Palette colours"));
  CColorListCtrl list("", 0, 1);
  list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS, RECT{5, 5, 600, 180}, &listHost, 20);
  list.GetData().columns.push_back(CColumnPair{kColumnCount, kColumnAutoWidth});
  list.GetData().columns.push_back(CColumnPair{kColumnShortage, kColumnAutoWidth});
  list.GetData().highlightShortage = 1;
  list.Init();
  list.SetColorSet(&palette, 1);
  list.SelectByName("DB-0723");
  CHeaderSortArrows arrows;
  arrows.Attach(&list);
  const int formats[5] = {0, 0, 2, 1, 1};
  arrows.Init(formats, 5, true);
  arrows.OnColumnClick(0);
  QmPumpMessages();
  EXPECT_TRUE(SaveDialogShot(listHost.GetSafeHwnd(), ctltest::ShotPath(russian, "controls_color_list")));
  SetRussianInterface(was);
}

}  // namespace

TEST(Gallery, English) { Gallery(false); }
TEST(Gallery, Russian) { Gallery(true); }
