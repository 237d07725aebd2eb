// The design properties sheet: typing then OK marks the design and keeps
// the texts, Cancel gives them back (also after leaving the page), the
// statistics rows, the palette page's used colours and title, the Excel
// export in the list's order and columns (read back with xlrd), "Export..."
// without a picture, and pictures of the three pages in both languages.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <sstream>

#include "core/Registry.h"
#include "design/Pattern.h"
#include "dialogs/PropSheet.h"
#include "lang/ids/adjust.h"
#include "palette/ColorListData.h"
#include "platform/base/codepage.h"
#include "platform/wnd.h"
#include "tests/common/test_util.h"
#include "tests/dialogs/adjust_fixture.h"
#include "view/TabView.h"
#include "tests/common/modal_hook.h"

using namespace adjusttest;
namespace fs = std::filesystem;

namespace {

void QmSendTextTo(HWND edit, const char* text) {
  SetWindowText(edit, text);
  SendMessage(GetParent(edit), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(edit), EN_CHANGE), reinterpret_cast<LPARAM>(edit));
}

// The text cells of every row of the first sheet, tab-separated, a line a
// row, as xlrd reads them.
std::string ReadWorkbook(const fs::path& path) {
  const std::string command =
      "PYTHONIOENCODING=utf-8 /usr/bin/python3 -c \"import xlrd,sys\nb=xlrd.open_workbook(sys.argv[1])\ns=b.sheet_by_index(0)\n"
      "for r in range(s.nrows): print('\\t'.join(str(s.cell_value(r,c)) for c in range(s.ncols)))\" '" +
      path.string() + "' 2>&1";
  std::string out;
  if (FILE* p = popen(command.c_str(), "r")) {
    char buffer[512];
    while (fgets(buffer, sizeof buffer, p)) out += buffer;
    pclose(p);
  }
  // The interface code page, as the program's texts are.
  return FromUtf8(out).GetString();
}

class PropSheetTest : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    russian = GetParam();
    SetRussianInterface(russian);
  }
  void TearDown() override {
    qmtest::SetModalHook({});
    SetRussianInterface(false);
  }
  bool russian = false;
};

}  // namespace

TEST_P(PropSheetTest, TypingThenOkKeepsTheTextsAndCancelGivesThemBack) {
  qmtest::LanguagePack pack(russian);
  CViewFrame frame;
  PutDesign(frame.View(), MakeGridDesign(12, 10, 3), MakeCountedPalette({0, 0, 0, 0, 0}), "/p/five.pal");
  CPattern* design = frame.View()->GetPattern();
  design->m_title = "Rose";
  design->m_attr.Author() = "Ann";
  design->SetModified(false);
  // Cancel after typing on the first page and leaving it for the second.
  {
    CPropSheet sheet(design, frame.View()->GetColorSet(), nullptr, IDS_PATTERN_PROPERTIES, nullptr, 0);
    qmtest::SetModalHook([&](HWND dlg) {
      const HWND page = sheet.GetAttrPage().m_hWnd;
      EXPECT_EQ(Text(GetDlgItem(page, IDC_PROP_NICKNAME)), CString("Rose"));
      EXPECT_FALSE(Enabled(GetDlgItem(dlg, ID_APPLY_NOW)));
      auto* stats = static_cast<CListCtrl*>(sheet.GetAttrPage().GetDlgItem(IDC_PROP_STATISTICS));
      EXPECT_EQ(stats->GetItemCount(), 7);
      CheckAndShoot(dlg, russian, "properties_attributes");
      QmSendTextTo(GetDlgItem(page, IDC_PROP_AUTHOR), "Bea");
      EXPECT_TRUE(Enabled(GetDlgItem(dlg, ID_APPLY_NOW)));
      sheet.SetActivePage(1);
      EXPECT_EQ(design->m_attr.Author(), CString("Bea"));  // copied in on leaving
      QmClickButton(GetDlgItem(dlg, IDCANCEL));
    });
    EXPECT_EQ(sheet.DoModal(), IDCANCEL);
  }
  EXPECT_EQ(design->m_attr.Author(), CString("Ann"));
  EXPECT_FALSE(design->IsModified());
  // Opening and OK without typing: nothing marked.
  {
    CPropSheet sheet(design, frame.View()->GetColorSet(), nullptr, IDS_PATTERN_PROPERTIES, nullptr, 0);
    qmtest::SetModalHook([&](HWND dlg) { QmClickButton(GetDlgItem(dlg, IDOK)); });
    EXPECT_EQ(sheet.DoModal(), IDOK);
  }
  EXPECT_FALSE(design->IsModified());
  // Typing and OK.
  {
    CPropSheet sheet(design, frame.View()->GetColorSet(), nullptr, IDS_PATTERN_PROPERTIES, nullptr, 0);
    qmtest::SetModalHook([&](HWND dlg) {
      const HWND page = sheet.GetAttrPage().m_hWnd;
      QmSendTextTo(GetDlgItem(page, IDC_PROP_NICKNAME), "Tulip");
      QmSendTextTo(GetDlgItem(page, IDC_PROP_COMMENTS), "Two rows of leaves");
      QmClickButton(GetDlgItem(dlg, IDOK));
    });
    EXPECT_EQ(sheet.DoModal(), IDOK);
  }
  EXPECT_EQ(design->m_title, CString("Tulip"));
  EXPECT_EQ(design->m_attr.Comments(), CString("Two rows of leaves"));
  EXPECT_TRUE(design->IsModified());
}

TEST_P(PropSheetTest, PalettePageListsUsedColoursAndExportsTheListAsShown) {
  qmtest::LanguagePack pack(russian);
  CViewFrame frame;
  // Five colours, the design uses 0, 2 and 3 (a 3 x 2 grid of 3 colours,
  // remapped).
  CPattern design = MakeGridDesign(8, 6, 3);
  for (CBead& b : design.m_beads) b.SetColorIndex(b.m_colorIndex == 1 ? 3 : b.m_colorIndex == 2 ? 2 : 0);
  PutDesign(frame.View(), design, MakeCountedPalette({0, 0, 0, 0, 0}), "/p/five colours.pal");
  const fs::path dir = qmtest::MakeTempDir(russian ? "propxls_ru" : "propxls_en");
  const fs::path xls = dir / "palette.xls";
  CPropSheet sheet(frame.View()->GetPattern(), frame.View()->GetColorSet(), nullptr, IDS_PATTERN_PROPERTIES, nullptr,
                   1);
  std::vector<CString> names;
  std::vector<int> kinds;
  qmtest::SetModalHook([&](HWND dlg) {
    CPalettePage& page = sheet.GetPalettePage();
    CColorListCtrl& list = page.GetColorList();
    EXPECT_EQ(list.GetItemCount(), 3);
    const CString title = Text(page.GetDlgItem(IDC_PROP_PALETTE_TITLE)->m_hWnd);
    EXPECT_NE(std::string(title.GetString()).find("five colours"), std::string::npos) << title.GetString();
    EXPECT_NE(std::string(title.GetString()).find(" 5,"), std::string::npos) << title.GetString();
    EXPECT_NE(std::string(title.GetString()).find(" 3"), std::string::npos) << title.GetString();
    CheckAndShoot(dlg, russian, "properties_palette");
    // Sorted by its first column twice (descending), then exported.
    list.ClickColumn(0);
    list.ClickColumn(0);
    for (int i = 0; i < list.GetItemCount(); ++i) {
      CPaletteColor c;
      list.GetItemColor(i, c);
      names.push_back(c.mfgName);
    }
    for (const CColumnPair& c : list.GetData().columns) kinds.push_back(c.kind);
    EXPECT_TRUE(page.ExportExcel(xls.string().c_str()));
    EXPECT_FALSE(page.ExportExcel((dir / "no such folder" / "p.xls").string().c_str()));
    sheet.SetActivePage(2);
    EXPECT_FALSE(Enabled(sheet.GetOriginalPage().GetDlgItem(IDC_PROP_EXPORT_PICTURE)->m_hWnd));
    EXPECT_EQ(sheet.GetOriginalPage().GetPreview().GetImage(), nullptr);
    CheckAndShoot(dlg, russian, "properties_original");
    QmClickButton(GetDlgItem(dlg, IDCANCEL));
  });
  sheet.DoModal();
  qmtest::SetModalHook({});
  ASSERT_EQ(names.size(), 3u);
  const std::string read = ReadWorkbook(xls);
  std::istringstream lines(read);
  std::string header;
  std::getline(lines, header);
  // The header holds the list's column titles in order; then one row per
  // list row, in the list's order, its name where the name column is.
  std::string expectedHeader;
  for (size_t i = 0; i < kinds.size(); ++i)
    expectedHeader += (i ? "\t" : "") + std::string(CColorListData::GetColumnTitle(kinds[i]).GetString());
  EXPECT_EQ(header, expectedHeader) << read;
  const size_t nameColumn = std::find(kinds.begin(), kinds.end(), 0) - kinds.begin();
  for (const CString& name : names) {
    std::string line;
    ASSERT_TRUE(std::getline(lines, line)) << read;
    std::vector<std::string> cells;
    std::istringstream cellStream(line);
    for (std::string cell; std::getline(cellStream, cell, '\t');) cells.push_back(cell);
    if (nameColumn < cells.size()) EXPECT_EQ(cells[nameColumn], name.GetString()) << read;
  }
}

INSTANTIATE_TEST_SUITE_P(Packs, PropSheetTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "Russian" : "English"; });
