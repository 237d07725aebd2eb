// The chart symbols dialog: distinct symbols at construction (kept on
// Cancel), the opening sort and the first Count click, the symbol list's
// codes and colours, applying a symbol and an output colour, the design
// and palette marked modified, and its pictures in both languages.
#include <gtest/gtest.h>

#include "design/Pattern.h"
#include "design/PatternAttr.h"
#include "dialogs/SelectSymbolsDlg.h"
#include "lang/ids/adjust.h"
#include "platform/wnd.h"
#include "tests/common/test_util.h"
#include "tests/dialogs/adjust_fixture.h"
#include "view/TabView.h"
#include "tests/common/modal_hook.h"

using namespace adjusttest;

namespace {

std::vector<DWORD> RowCounts(CListCtrl& list) {
  std::vector<DWORD> out;
  for (int i = 0; i < list.GetItemCount(); ++i)
    out.push_back(reinterpret_cast<const CPaletteColor*>(list.GetItemData(i))->count);
  return out;
}

}  // namespace

TEST(AllSymbolListBox, ItemColoursAndCodes) {
  EXPECT_EQ(CAllSymbolListBox::ItemBackground(65, false), 0x008000u);
  EXPECT_EQ(CAllSymbolListBox::ItemBackground(65 + 256, false), 0x0000C0u);
  EXPECT_EQ(CAllSymbolListBox::ItemBackground(65 + 256, true), 0xC00000u);
  EXPECT_EQ(CAllSymbolListBox::ItemBackground(0, true), 0xC00000u);
  EXPECT_EQ(CAllSymbolListBox::ItemCode(255), 255);
  EXPECT_EQ(CAllSymbolListBox::ItemCode(256 + 255), 255);
  EXPECT_EQ(CAllSymbolListBox::ItemCode(256), 0);
}

TEST(SelectSymbolsDlg, DistinctAtOnceAndKeptOnCancel) {
  qmtest::LanguagePack pack(false);
  CColorSet palette = MakeCountedPalette({5, 20, 0, 7});
  for (CPaletteColor& c : palette.GetColorsForEdit()) c.symbol = 'A';
  palette.SetModified(false);
  CSymbolSet symbols;
  {
    CSelectSymbolsDlgNew dialog(&palette, nullptr, &symbols, nullptr);
    qmtest::SetModalHook([&](HWND dlg) { QmClickButton(GetDlgItem(dlg, IDCANCEL)); });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    qmtest::SetModalHook({});
  }
  std::vector<int> used;
  for (const CPaletteColor& c : palette.GetColors())
    if (c.count) used.push_back(c.symbol);
  ASSERT_EQ(used.size(), 3u);
  EXPECT_NE(used[0], used[1]);
  EXPECT_NE(used[1], used[2]);
  EXPECT_NE(used[0], used[2]);
  // The unused colour keeps its symbol; the palette must be saved again.
  EXPECT_EQ(palette.GetItem(2).symbol, 'A');
  EXPECT_TRUE(palette.IsModified());
}

TEST(SelectSymbolsDlg, SortSymbolsOutputAndModifiedDesign) {
  for (bool russian : {false, true}) {
    SCOPED_TRACE(russian ? "ru" : "en");
    qmtest::LanguagePack pack(russian);
    CViewFrame frame;
    CTabView* view = frame.View();
    PutDesign(view, MakeGridDesign(6, 5, 5), MakeCountedPalette({1, 1, 1, 1, 1}), "/palettes/test.pal");
    CColorSet* palette = view->GetColorSet();
    const DWORD counts[5] = {5, 20, 0, 7, 7};
    for (int i = 0; i < palette->GetCount(); ++i) {
      palette->GetColor(i)->symbol = 'a' + i;
      palette->GetColor(i)->count = counts[i];
    }
    view->GetPattern()->SetModified(false);
    palette->SetModified(false);
    CSymbolSet symbols;
    CSelectSymbolsDlgNew dialog(palette, nullptr, &symbols, nullptr);
    EXPECT_FALSE(palette->IsModified());  // already distinct: nothing to mark
    qmtest::SetModalHook([&](HWND dlg) {
      CListPaletteWithSymbol& list = dialog.GetColorList();
      // Opening order: Count, direction false: most used first, ties in
      // palette order; the most used row selected.
      EXPECT_EQ(RowCounts(list), (std::vector<DWORD>{20, 7, 7, 5}));
      EXPECT_EQ(dialog.GetSelectedRow(), 0);
      CheckAndShoot(dlg, russian, "select_symbols");
      // The first Count click reverses it.
      dialog.ClickColumn(2);
      EXPECT_TRUE(dialog.GetSortDirection());
      EXPECT_EQ(RowCounts(list), (std::vector<DWORD>{5, 7, 7, 20}));
      dialog.ClickColumn(2);
      EXPECT_EQ(RowCounts(list), (std::vector<DWORD>{20, 7, 7, 5}));
      // 256 codes, used ones flagged.
      CAllSymbolListBox& symbolsList = dialog.GetSymbolList();
      ASSERT_EQ(symbolsList.GetCount(), 256);
      for (int i = 0; i < 256; ++i) {
        const DWORD_PTR data = symbolsList.GetItemData(i);
        EXPECT_EQ(CAllSymbolListBox::ItemCode(data), i);
        const bool usedCode = i == 'a' || i == 'b' || i == 'd' || i == 'e';
        EXPECT_EQ(data > 255, usedCode) << i;
      }
      // Apply 'Z' to the selected row (the count-20 colour).
      EXPECT_FALSE(dialog.IsChanged());
      symbolsList.SetCurSel('Z');
      dialog.OnApplySymbol();
      EXPECT_EQ(palette->GetItem(1).symbol, 'Z');
      EXPECT_GT(symbolsList.GetItemData('Z'), 255u);
      EXPECT_LE(symbolsList.GetItemData('b'), 255u);
      EXPECT_EQ(symbolsList.GetCurSel(), 'Z');
      // Output colour of the selected row: blue.
      dialog.GetOutputBox().SetCurSel(2);
      dialog.OnOutputChanged();
      EXPECT_EQ(palette->GetItem(1).symbolVariant, 2);
      // Another row shows its own output colour.
      dialog.SelectRow(3);
      EXPECT_EQ(dialog.GetOutputBox().GetCurSel(), palette->GetItem(0).symbolVariant);
      QmClickButton(GetDlgItem(dlg, IDOK));
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    qmtest::SetModalHook({});
    EXPECT_TRUE(dialog.IsChanged());
    EXPECT_TRUE(palette->IsModified());
    EXPECT_TRUE(view->GetPattern()->IsModified());
  }
}

TEST(SelectSymbolsDlg, OkWithoutChangeEndsAsCancel) {
  qmtest::LanguagePack pack(false);
  CColorSet palette = MakeCountedPalette({3, 4});
  palette.GetColorsForEdit()[0].symbol = '1';
  palette.GetColorsForEdit()[1].symbol = '2';
  CSymbolSet symbols;
  CSelectSymbolsDlgNew dialog(&palette, nullptr, &symbols, nullptr);
  qmtest::SetModalHook([&](HWND dlg) { QmClickButton(GetDlgItem(dlg, IDOK)); });
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  qmtest::SetModalHook({});
  EXPECT_FALSE(palette.IsModified());
}

TEST(SelectSymbolsDlg, SelectFontTakesASymbolFaceIntoTheSymbolSet) {
  qmtest::LanguagePack pack(false);
  CColorSet palette = MakeCountedPalette({3, 4});
  palette.GetColorsForEdit()[0].symbol = '1';
  palette.GetColorsForEdit()[1].symbol = '2';
  CSymbolSet symbols;
  CSelectSymbolsDlgNew dialog(&palette, nullptr, &symbols, nullptr);
  HWND mine = nullptr;
  qmtest::SetModalHook([&](HWND dlg) {
    if (mine) {
      // The font dialog, opened by "Select Font...".
      EXPECT_TRUE(QmFontDialogSetFont(dlg, "Standard Symbols PS", 12, false, false));
      SendMessage(dlg, WM_COMMAND, IDOK, 0);
      return;
    }
    mine = dlg;
    QmClickButton(GetDlgItem(dlg, IDC_SYM_SELECT_FONT));
    EXPECT_EQ(Text(GetDlgItem(dlg, IDC_SYM_FONT_NAME)), CString("Standard Symbols PS"));
    EXPECT_NE(dialog.GetSymbolList().GetSymbolFont(), nullptr);
    EXPECT_EQ(dialog.GetSymbolList().GetCount(), 256);
    CheckAndShoot(dlg, false, "select_symbols_font");
    QmClickButton(GetDlgItem(dlg, IDOK));
  });
  EXPECT_EQ(dialog.DoModal(), IDOK);
  qmtest::SetModalHook({});
  EXPECT_EQ(symbols.m_fontName, CString("Standard Symbols PS"));
  EXPECT_EQ(symbols.m_charSet, SYMBOL_CHARSET);
  EXPECT_TRUE(palette.IsModified());
}
