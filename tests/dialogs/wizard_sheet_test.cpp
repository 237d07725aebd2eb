// The wizard as the user meets it, headless over a recording host: routing
// by project type, the pages' checks and messages, the palette page's
// choices, the parameters page's Apply and Finish, the record stored on OK
// only, and pictures of the five pages in both languages.
#include <gtest/gtest.h>

#include <cstring>

#include "controls/ComboFillers.h"
#include "core/FrameServices.h"
#include "core/PathUtils.h"
#include "core/Registry.h"
#include "dialogs/NewDesignWizard.h"
#include "dialogs/WizPalettePage.h"
#include "dialogs/WizParamsModel.h"
#include "dialogs/WizParamsPage.h"
#include "dialogs/WizProjectPages.h"
#include "dialogs/WizardData.h"
#include "dialogs/WizardSheet.h"
#include "lang/ids/newcomer.h"
#include "lang/ids/wizard.h"
#include "platform/base/codepage.h"
#include "platform/wnd.h"
#include "settings/AppSettings.h"
#include "tests/common/test_util.h"
#include "tests/dialogs/wizard_fixture.h"
#include "tests/common/modal_hook.h"

using namespace wiztest;
namespace fs = std::filesystem;

namespace {

std::string GetPathTitleForTest(const CString& path) { return GetPathTitle(path).GetString(); }

HWND Item(HWND dlg, int id) { return GetDlgItem(dlg, id); }
bool Shown(HWND window) { return window && IsWindowVisible(window) != FALSE; }
bool Enabled(HWND window) { return window && IsWindowEnabled(window) != FALSE; }

CString Text(HWND window) {
  char buffer[512] = {};
  GetWindowText(window, buffer, sizeof buffer);
  return CString(buffer);
}

void ClickNext(HWND sheet) { QmClickButton(Item(sheet, ID_WIZNEXT)); }
void ClickBack(HWND sheet) { QmClickButton(Item(sheet, ID_WIZBACK)); }

HWND PageItem(CWizardSheet& sheet, int id) {
  CPropertyPage* page = sheet.GetActivePage();
  return page ? Item(page->GetSafeHwnd(), id) : nullptr;
}

void ClearWizardRegistry() {
  const CRegistryKey key = CRegistryKey::Create(g_szProgramKey, HKEY_CURRENT_USER);
  RegDeleteValue(key.GetHandle(), CWizardData::kValueName);
  RegDeleteValue(key.GetHandle(), CWiz_2B_SelectPalette::kPriorPaletteValue);
}

// A palettes folder with "delica", "preciosa" and a file that is no palette.
fs::path MakePalettesFolder(const std::string& name) {
  const fs::path dir = qmtest::MakeTempDir(name);
  SavePalette(dir, "delica", 6);
  SavePalette(dir, "preciosa", 8);
  qmtest::WriteAll(dir / "broken.pal", {1, 2, 3, 4, 5});
  SetPalettesFolderOverride(dir.c_str());
  return dir;
}

fs::path ShotPath(bool russian, const std::string& name) {
  const fs::path dir = qmtest::SourceDir() / "build" / "shots" / (russian ? "ru" : "en");
  fs::create_directories(dir);
  return dir / name;
}

class WizardSheetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetRussianInterface(false);
    ClearWizardRegistry();
    GetAppSettings().SetDefaults();
  }
  void TearDown() override {
    qmtest::SetModalHook({});
    SetPalettesFolderOverride("");
  }
};

}  // namespace

TEST_F(WizardSheetTest, RoutesByProjectTypeAndStoresNothingOnCancel) {
  qmtest::LanguagePack pack(false);
  MakePalettesFolder("wizroute");
  CFakeHost host;
  CMessageLog messages;
  std::vector<int> visited;
  const INT_PTR result = RunNewDesignWizard(host, nullptr, [&](CWizardSheet& sheet, CWizardData&) {
    qmtest::SetModalHook([&](HWND dlg) {
      // A first wizard: the picture project and the proportions box.
      EXPECT_EQ(sheet.GetActiveIndex(), kWizPageProjectType);
      EXPECT_EQ(IsDlgButtonChecked(sheet.GetActivePage()->GetSafeHwnd(), IDC_WIZ_TYPE_PICTURE), BST_CHECKED);
      EXPECT_FALSE(Shown(Item(dlg, ID_WIZBACK)));
      EXPECT_EQ(Text(Item(dlg, ID_WIZNEXT)), CString("Next"));
      EXPECT_EQ(Text(Item(dlg, IDCANCEL)), CString("Cancel"));
      // Blank canvas: straight to the palette, and Back returns to the start.
      QmClickButton(PageItem(sheet, IDC_WIZ_TYPE_BLANK));
      ClickNext(dlg);
      visited.push_back(sheet.GetActiveIndex());
      EXPECT_TRUE(Shown(Item(dlg, ID_WIZBACK)));
      ClickBack(dlg);
      visited.push_back(sheet.GetActiveIndex());
      // Existing project, then the picture path: picture page, Back to start.
      QmClickButton(PageItem(sheet, IDC_WIZ_TYPE_EXISTING));
      ClickNext(dlg);
      visited.push_back(sheet.GetActiveIndex());
      EXPECT_EQ(Text(Item(dlg, ID_WIZNEXT)), CString("Finish"));
      EXPECT_FALSE(Enabled(Item(dlg, ID_WIZNEXT)));
      ClickBack(dlg);
      visited.push_back(sheet.GetActiveIndex());
      EXPECT_TRUE(Enabled(Item(dlg, ID_WIZNEXT)));
      QmClickButton(PageItem(sheet, IDC_WIZ_TYPE_PICTURE));
      ClickNext(dlg);
      visited.push_back(sheet.GetActiveIndex());
      ClickBack(dlg);
      visited.push_back(sheet.GetActiveIndex());
      QmClickButton(Item(dlg, IDCANCEL));
    });
  });
  EXPECT_EQ(result, IDCANCEL);
  const std::vector<int> expected = {kWizPagePalette,     kWizPageProjectType,   kWizPageExistingProject,
                                     kWizPageProjectType, kWizPageOriginalImage, kWizPageProjectType};
  EXPECT_EQ(visited, expected);
  std::vector<BYTE> stored;
  EXPECT_FALSE(ReadProgramBinaryValue(CWizardData::kValueName, stored));
}

TEST_F(WizardSheetTest, PicturePageListsOnlyExistingFilesAndChecksItsChoice) {
  qmtest::LanguagePack pack(false);
  const fs::path dir = qmtest::MakeTempDir("wizpicture");
  const fs::path good = SavePicture(dir / "flower.png", 40, 30);
  const fs::path junk = dir / "junk.png";
  qmtest::WriteAll(junk, {0, 1, 2, 3});
  CFakeHost host;
  host.recentPictures = {CString((dir / "gone.jpg").c_str()), CString(good.c_str()), CString(junk.c_str())};
  CMessageLog messages;
  RunNewDesignWizard(host, nullptr, [&](CWizardSheet& sheet, CWizardData& record) {
    qmtest::SetModalHook([&](HWND dlg) {
      ClickNext(dlg);
      ASSERT_EQ(sheet.GetActiveIndex(), kWizPageOriginalImage);
      auto* page = static_cast<CWiz_2A_SelectOriginalImage*>(sheet.GetActivePage());
      HWND list = PageItem(sheet, IDC_WIZ_LIST);
      EXPECT_EQ(SendMessage(list, LVM_GETITEMCOUNT, 0, 0), 2);  // the missing file is not listed
      // Nothing selected: 59409, and the page stays.
      ClickNext(dlg);
      EXPECT_EQ(sheet.GetActiveIndex(), kWizPageOriginalImage);
      EXPECT_TRUE(messages.Has(LoadResString(IDS_WIZ_NO_PICTURE)));
      // A file that is no picture: 59401, the page stays.
      CListCtrl* ctrl = static_cast<CListCtrl*>(CWnd::FromHandle(list));
      SelectRow(*ctrl, 1);
      ClickNext(dlg);
      EXPECT_EQ(sheet.GetActiveIndex(), kWizPageOriginalImage);
      EXPECT_TRUE(messages.Has(LoadResString(IDS_WIZ_UNSUPPORTED_PICTURE)));
      // The picture: its size goes into the record, the palette page follows.
      SelectRow(*ctrl, 0);
      CString info;
      info = Text(Item(page->GetSafeHwnd(), IDC_WIZ_INFO));
      EXPECT_NE(info.Find("width 40, height 30"), -1) << info.GetString();
      ClickNext(dlg);
      EXPECT_EQ(sheet.GetActiveIndex(), kWizPagePalette);
      EXPECT_EQ(record.m_pictureWidth, 40);
      EXPECT_EQ(record.m_pictureHeight, 30);
      EXPECT_EQ(record.m_picturePath, CString(good.c_str()));
      EXPECT_EQ(host.recentPictures.front(), CString(good.c_str()));
      QmClickButton(Item(dlg, IDCANCEL));
    });
  });
}

TEST_F(WizardSheetTest, PasteWithoutPictureAndSavedExtension) {
  qmtest::LanguagePack pack(false);
  CFakeHost host;
  CMessageLog messages;
  OpenClipboard(nullptr);
  EmptyClipboard();
  CloseClipboard();
  RunNewDesignWizard(host, nullptr, [&](CWizardSheet& sheet, CWizardData&) {
    qmtest::SetModalHook([&](HWND dlg) {
      ClickNext(dlg);
      QmClickButton(PageItem(sheet, IDC_WIZ_PASTE));
      QmClickButton(Item(dlg, IDCANCEL));
    });
  });
  EXPECT_TRUE(messages.Has(LoadResString(IDS_WIZ_NO_CLIPBOARD_PICTURE)));
  for (const auto& call : host.calls) EXPECT_NE(call, "AskPictureToSave");
  EXPECT_EQ(PictureSavePath("/tmp/a/shot.jpg", 2), CString("/tmp/a/shot.png"));
  EXPECT_EQ(PictureSavePath("/tmp/a/shot.tar.gif", 3), CString("/tmp/a/shot.tar.bmp"));
  EXPECT_EQ(PictureSavePath("/tmp/a/shot", 1), CString("/tmp/a/shot.jpg"));
  EXPECT_EQ(PictureSavePath("/tmp/a/shot.png", 7), CString("/tmp/a/shot.jpg"));
}

TEST_F(WizardSheetTest, PalettePageDefaultsChecksAndStoredChoice) {
  for (bool russian : {false, true}) {
    SetRussianInterface(russian);
    qmtest::LanguagePack pack(russian);
    ClearWizardRegistry();
    const fs::path dir = MakePalettesFolder(russian ? "wizpalru" : "wizpalen");
    CFakeHost host;
    CMessageLog messages;
    RunNewDesignWizard(host, nullptr, [&](CWizardSheet& sheet, CWizardData& record) {
      record.m_projectType = kProjectBlankCanvas;
      qmtest::SetModalHook([&](HWND dlg) {
        ClickNext(dlg);
        ASSERT_EQ(sheet.GetActiveIndex(), kWizPagePalette);
        auto* page = static_cast<CWiz_2B_SelectPalette*>(sheet.GetActivePage());
        // The broken file is not listed; the language's palette is chosen.
        EXPECT_EQ(page->GetListedPaths().size(), 2u);
        EXPECT_EQ(GetPathTitleForTest(page->GetLoadedPath()), russian ? "preciosa" : "delica");
        const int colors = page->GetPalette().GetCount();
        EXPECT_EQ(colors, russian ? 8 : 6);
        // The count line follows every tick; an index outside is ignored.
        page->SendMessage(GetPaletteUsageChangedMessage(), 0, 0);
        page->SendMessage(GetPaletteUsageChangedMessage(), static_cast<WPARAM>(colors + 3), 1);
        page->SendMessage(GetPaletteUsageChangedMessage(), static_cast<WPARAM>(-1), 0);
        EXPECT_EQ(page->GetPalette().GetCheckedCount(), colors - 1);
        EXPECT_TRUE(page->GetPalette().IsColorInUse(1));
        CString count;
        count = Text(Item(page->GetSafeHwnd(), IDC_WIZ_COUNT));
        EXPECT_EQ(count, page->GetCountText());
        for (int i = 0; i < colors; ++i) page->SendMessage(GetPaletteUsageChangedMessage(), static_cast<WPARAM>(i), 0);
        ClickNext(dlg);
        EXPECT_EQ(sheet.GetActiveIndex(), kWizPagePalette);
        EXPECT_TRUE(messages.Has(LoadResString(IDS_WIZ_NO_CHECKED_COLOR)));
        page->SendMessage(GetPaletteUsageChangedMessage(), 2, 1);
        ClickNext(dlg);
        EXPECT_EQ(sheet.GetActiveIndex(), kWizPageParameters);
        EXPECT_EQ(record.m_palettePath, page->GetLoadedPath());
        QmClickButton(Item(dlg, IDCANCEL));
      });
    });
    // The chosen palette is stored on Cancel too.
    CString stored;
    ASSERT_TRUE(ReadProgramStringValue(CWiz_2B_SelectPalette::kPriorPaletteValue, stored));
    EXPECT_EQ(GetPathTitleForTest(stored), russian ? "preciosa" : "delica");
  }
  SetRussianInterface(false);
}

TEST_F(WizardSheetTest, PalettePageWithoutTheLanguagesPaletteLoadsTheLastListed) {
  qmtest::LanguagePack pack(false);
  const fs::path dir = qmtest::MakeTempDir("wizotherpal");
  SavePalette(dir, "amber", 5);
  SavePalette(dir, "basalt", 7);
  SetPalettesFolderOverride(dir.c_str());
  CFakeHost host;
  CMessageLog messages;
  RunNewDesignWizard(host, nullptr, [&](CWizardSheet& sheet, CWizardData& record) {
    record.m_projectType = kProjectBlankCanvas;
    qmtest::SetModalHook([&](HWND dlg) {
      ClickNext(dlg);
      ASSERT_EQ(sheet.GetActiveIndex(), kWizPagePalette);
      auto* page = static_cast<CWiz_2B_SelectPalette*>(sheet.GetActivePage());
      ASSERT_EQ(page->GetListedPaths().size(), 2u);
      EXPECT_EQ(page->GetSelectedIndex(), 1);
      EXPECT_EQ(page->GetLoadedPath(), page->GetListedPaths().back());
      ClickNext(dlg);
      EXPECT_EQ(sheet.GetActiveIndex(), kWizPageParameters);
      QmClickButton(Item(dlg, IDCANCEL));
    });
  });
  EXPECT_TRUE(messages.texts.empty());
}

TEST_F(WizardSheetTest, PalettePageWithoutPalettes) {
  qmtest::LanguagePack pack(false);
  SetPalettesFolderOverride(qmtest::MakeTempDir("wiznopal").c_str());
  CFakeHost host;
  CMessageLog messages;
  RunNewDesignWizard(host, nullptr, [&](CWizardSheet& sheet, CWizardData& record) {
    record.m_projectType = kProjectBlankCanvas;
    qmtest::SetModalHook([&](HWND dlg) {
      ClickNext(dlg);
      ClickNext(dlg);
      EXPECT_EQ(sheet.GetActiveIndex(), kWizPagePalette);
      QmClickButton(Item(dlg, IDCANCEL));
    });
  });
  EXPECT_TRUE(messages.Has(LoadResString(IDS_WIZ_PALETTE_NOT_LOADED)));
}

TEST_F(WizardSheetTest, ParametersPageAppliesFinishesAndTheNextWizardStartsThere) {
  qmtest::LanguagePack pack(false);
  const fs::path palettes = MakePalettesFolder("wizparams");
  const fs::path dir = qmtest::MakeTempDir("wizparamspic");
  const fs::path photo = SavePicture(dir / "photo.jpg", 400, 300);
  CFakeHost host;
  host.recentPictures = {CString(photo.c_str())};
  CMessageLog messages;
  const INT_PTR result = RunNewDesignWizard(host, nullptr, [&](CWizardSheet& sheet, CWizardData& record) {
    qmtest::SetModalHook([&](HWND dlg) {
      ClickNext(dlg);  // picture page, its only row selected
      CListCtrl* list = static_cast<CListCtrl*>(CWnd::FromHandle(PageItem(sheet, IDC_WIZ_LIST)));
      SelectRow(*list, 0);
      ClickNext(dlg);  // palette page
      ClickNext(dlg);  // parameters page
      ASSERT_EQ(sheet.GetActiveIndex(), kWizPageParameters);
      auto* page = static_cast<CWiz_3_SelectPatternParameters*>(sheet.GetActivePage());
      HWND p = page->GetSafeHwnd();
      QmPumpMessages(200);
      // Finish is there but disabled; the nickname is the picture's name.
      EXPECT_EQ(Text(Item(dlg, ID_WIZNEXT)), CString("Finish"));
      EXPECT_FALSE(Enabled(Item(dlg, ID_WIZNEXT)));
      CString nickname;
      nickname = Text(Item(p, IDC_WIZ_NICKNAME));
      EXPECT_EQ(nickname, CString("photo"));
      // Picture project: colour conversion and hint shown, blank colours hidden.
      EXPECT_TRUE(Shown(Item(p, IDC_WIZ_COLOR_MODE)));
      EXPECT_TRUE(Shown(Item(p, IDC_WIZ_HINT)));
      EXPECT_FALSE(Shown(Item(p, IDC_WIZ_FILL_COLOR)));
      EXPECT_FALSE(Shown(Item(p, IDC_WIZ_BORDER)));
      // Proportions: a width of 4 gives a height of 3.
      EXPECT_EQ(IsDlgButtonChecked(p, IDC_WIZ_PROPORTIONATE), BST_CHECKED);
      SetDlgItemText(p, IDC_WIZ_WIDTH, "4");
      CString height;
      height = Text(Item(p, IDC_WIZ_HEIGHT));
      EXPECT_EQ(height, CString("3.00000"));
      SetDlgItemText(p, IDC_WIZ_BEAD_WIDTH, "0.1");
      SetDlgItemText(p, IDC_WIZ_BEAD_HEIGHT, "0.1");
      SetDlgItemText(p, IDC_WIZ_SPACER, "");
      CString spacer, count;
      spacer = Text(Item(p, IDC_WIZ_SPACER));
      EXPECT_EQ(spacer, CString("0.00000"));
      count = Text(Item(p, IDC_WIZ_COUNT_TEXT));
      EXPECT_EQ(count, CString("1 200"));
      EXPECT_NE(host.status.Find("40 beads"), -1) << host.status.GetString();
      // A blank nickname: 409 with the focus on it.
      SetDlgItemText(p, IDC_WIZ_NICKNAME, "   ");
      QmClickButton(Item(p, IDC_WIZ_APPLY));
      EXPECT_TRUE(messages.Has(LoadResString(IDS_WIZ_WRONG_NICKNAME)));
      EXPECT_EQ(GetFocus(), Item(p, IDC_WIZ_NICKNAME));
      EXPECT_FALSE(page->IsBuilt());
      // A bad width: 59410 with the focus on the width.
      SetDlgItemText(p, IDC_WIZ_NICKNAME, "Cat");
      SetDlgItemText(p, IDC_WIZ_WIDTH, "x");
      QmClickButton(Item(p, IDC_WIZ_APPLY));
      EXPECT_TRUE(messages.Has(LoadResString(IDS_WIZ_WRONG_WIDTH)));
      EXPECT_EQ(GetFocus(), Item(p, IDC_WIZ_WIDTH));
      SetDlgItemText(p, IDC_WIZ_WIDTH, "4");
      // Apply builds and enables Finish.
      QmClickButton(Item(p, IDC_WIZ_APPLY));
      EXPECT_TRUE(page->IsBuilt());
      EXPECT_TRUE(Enabled(Item(dlg, ID_WIZNEXT)));
      EXPECT_EQ(host.pattern.GetColumnCount(), 40u);
      EXPECT_EQ(host.pattern.m_title, CString("Cat"));
      const auto builds = std::count(host.calls.begin(), host.calls.end(), "SetColorSet");
      // After the first Apply, another weave format rebuilds at once.
      CComboBoxEx* format = static_cast<CComboBoxEx*>(CWnd::FromHandle(Item(p, IDC_WIZ_FORMAT)));
      format->SetCurSel(10);
      SendMessage(p, WM_COMMAND, MAKEWPARAM(IDC_WIZ_FORMAT, CBN_SELCHANGE),
                  reinterpret_cast<LPARAM>(format->GetSafeHwnd()));
      QmPumpMessages(200);
      EXPECT_EQ(std::count(host.calls.begin(), host.calls.end(), "SetColorSet"), builds + 1);
      EXPECT_EQ(host.pattern.m_format, 10);
      // A build that fails disables Finish again.
      host.maxBeads = 10;
      QmClickButton(Item(p, IDC_WIZ_APPLY));
      EXPECT_FALSE(Enabled(Item(dlg, ID_WIZNEXT)));
      EXPECT_TRUE(messages.Has(LoadResString(IDS_WIZ_BUILD_FAILED)));
      host.maxBeads = 1000000;
      QmClickButton(Item(p, IDC_WIZ_APPLY));
      EXPECT_TRUE(Enabled(Item(dlg, ID_WIZNEXT)));
      EXPECT_EQ(record.m_params.m_format, 10);
      ClickNext(dlg);  // Finish
      QmPumpMessages(200);
    });
  });
  EXPECT_EQ(result, IDOK);
  // The record is stored, and the next wizard opens with it.
  CWizardData next;
  ASSERT_TRUE(next.LoadFromRegistry());
  EXPECT_EQ(next.m_picturePath, CString(photo.c_str()));
  EXPECT_EQ(GetPathTitleForTest(next.m_palettePath), "delica");
  EXPECT_NEAR(next.m_params.m_width, 4.0, 1e-9);
  EXPECT_NEAR(next.m_params.m_height, 3.0, 1e-9);
  EXPECT_EQ(next.m_params.m_format, 10);
  RunNewDesignWizard(host, nullptr, [&](CWizardSheet& sheet, CWizardData&) {
    qmtest::SetModalHook([&](HWND dlg) {
      sheet.SetActivePage(kWizPageParameters);
      HWND p = sheet.GetActivePage()->GetSafeHwnd();
      CString width;
      width = Text(Item(p, IDC_WIZ_WIDTH));
      EXPECT_EQ(width, CString("4.00000"));
      CComboBoxEx* format = static_cast<CComboBoxEx*>(CWnd::FromHandle(Item(p, IDC_WIZ_FORMAT)));
      EXPECT_EQ(GetComboSelData(*format), 10u);
      QmClickButton(Item(dlg, IDCANCEL));
    });
  });
}

TEST_F(WizardSheetTest, BlankCanvasNeedsAFillColour) {
  qmtest::LanguagePack pack(false);
  MakePalettesFolder("wizblank");
  CFakeHost host;
  CMessageLog messages;
  RunNewDesignWizard(host, nullptr, [&](CWizardSheet& sheet, CWizardData& record) {
    record.m_projectType = kProjectBlankCanvas;
    record.m_blankColor = 0x123456;  // not in the palette: nothing selected
    record.m_params.m_width = 2;
    record.m_params.m_height = 1;
    record.m_params.m_beadWidth = 0.1;
    record.m_params.m_beadHeight = 0.1;
    qmtest::SetModalHook([&](HWND dlg) {
      ClickNext(dlg);
      ClickNext(dlg);
      ASSERT_EQ(sheet.GetActiveIndex(), kWizPageParameters);
      HWND p = sheet.GetActivePage()->GetSafeHwnd();
      EXPECT_FALSE(Shown(Item(p, IDC_WIZ_COLOR_MODE)));
      EXPECT_TRUE(Shown(Item(p, IDC_WIZ_FILL_COLOR)));
      EXPECT_FALSE(Enabled(Item(p, IDC_WIZ_PROPORTIONATE)));
      SetDlgItemText(p, IDC_WIZ_NICKNAME, "Blank");
      QmClickButton(Item(p, IDC_WIZ_APPLY));
      EXPECT_TRUE(messages.Has(LoadResString(IDS_WIZ_NO_FILL_COLOR)));
      EXPECT_EQ(GetFocus(), Item(p, IDC_WIZ_FILL_COLOR));
      SendDlgItemMessage(p, IDC_WIZ_FILL_COLOR, LB_SETCURSEL, 3, 0);
      QmClickButton(Item(p, IDC_WIZ_APPLY));
      EXPECT_TRUE(Enabled(Item(dlg, ID_WIZNEXT)));
      EXPECT_EQ(host.original, nullptr);
      EXPECT_EQ(host.pattern.GetColumnCount(), 20u);
      for (const CBead& bead : host.pattern.GetBeadArray()) ASSERT_EQ(bead.m_colorIndex, 3);
      QmClickButton(Item(dlg, IDCANCEL));
    });
  });
  // Cancel after Apply: the design stays, the record is not stored.
  EXPECT_TRUE(host.pattern.HasBeads());
  std::vector<BYTE> stored;
  EXPECT_FALSE(ReadProgramBinaryValue(CWizardData::kValueName, stored));
}

TEST_F(WizardSheetTest, BeadFieldsTakeADecimalPointInInchesModeOnly) {
  qmtest::LanguagePack pack(false);
  MakePalettesFolder("wizdecimal");
  CFakeHost host;
  CMessageLog messages;
  RunNewDesignWizard(host, nullptr, [&](CWizardSheet& sheet, CWizardData& record) {
    record.m_projectType = kProjectBlankCanvas;
    qmtest::SetModalHook([&](HWND dlg) {
      ClickNext(dlg);
      ClickNext(dlg);
      ASSERT_EQ(sheet.GetActiveIndex(), kWizPageParameters);
      HWND p = sheet.GetActivePage()->GetSafeHwnd();
      auto typeInto = [&](int id, const char* start, const char* keys) {
        HWND field = Item(p, id);
        SetWindowText(field, start);
        const int n = static_cast<int>(std::strlen(start));
        SendMessage(field, EM_SETSEL, static_cast<WPARAM>(n), n);
        SetFocus(field);
        for (const char* k = keys; *k; ++k) {
          const char one[2] = {*k, 0};
          QmSendText(field, one);
          QmPumpMessages(20);
        }
        return Text(field);
      };
      // Inches: sizes with decimals; Beads: whole counts, and the size
      // fields show what the counts of beads of 0.5 inch measure (they take
      // no typing there); back in Inches they take decimals again.
      EXPECT_EQ(typeInto(IDC_WIZ_BEAD_WIDTH, "0", ".5"), CString("0.5"));
      QmClickButton(Item(p, IDC_WIZ_IN_BEADS));
      EXPECT_EQ(typeInto(IDC_WIZ_BEAD_WIDTH, "3", ".5"), CString("35"));
      EXPECT_EQ(typeInto(IDC_WIZ_BEAD_HEIGHT, "", "2x.0"), CString("20"));
      EXPECT_EQ(typeInto(IDC_WIZ_WIDTH, "2", ".5"), CString("17.50000"));
      QmClickButton(Item(p, IDC_WIZ_IN_INCHES));
      EXPECT_EQ(typeInto(IDC_WIZ_BEAD_HEIGHT, "0", ".25"), CString("0.25"));
      EXPECT_EQ(typeInto(IDC_WIZ_WIDTH, "2", ".5"), CString("2.5"));
      QmClickButton(Item(dlg, IDCANCEL));
    });
  });
}

TEST_F(WizardSheetTest, TheFirstWizardsBeadSizeAgreesAndEveryBeadFieldSaysItsUnit) {
  qmtest::LanguagePack pack(false);
  MakePalettesFolder("wizbeadsize");
  CFakeHost host;
  CMessageLog messages;
  RunNewDesignWizard(host, nullptr, [&](CWizardSheet& sheet, CWizardData& record) {
    record.m_projectType = kProjectBlankCanvas;
    qmtest::SetModalHook([&](HWND dlg) {
      ClickNext(dlg);
      ClickNext(dlg);
      ASSERT_EQ(sheet.GetActiveIndex(), kWizPageParameters);
      HWND p = sheet.GetActivePage()->GetSafeHwnd();
      // The list and the fields show one bead size, and each length its unit.
      const int selected = static_cast<int>(SendMessage(Item(p, IDC_WIZ_BEAD_SIZE), CB_GETCURSEL, 0, 0));
      ASSERT_GE(selected, 0);
      double width = 0, height = 0;
      ASSERT_TRUE(GetAppSettings().GetBeadSize(selected, width, height));
      EXPECT_EQ(Text(Item(p, IDC_WIZ_BEAD_WIDTH)), FormatFieldValue(width));
      EXPECT_EQ(Text(Item(p, IDC_WIZ_BEAD_HEIGHT)), FormatFieldValue(height));
      EXPECT_EQ(Text(Item(p, IDC_WIZ_ACROSS_UNIT)), CString("inch"));
      EXPECT_EQ(Text(Item(p, IDC_WIZ_SPACER_UNIT)), CString("inch"));
      // Beads mode: the bead fields count beads, and say so.
      QmClickButton(Item(p, IDC_WIZ_IN_BEADS));
      EXPECT_EQ(Text(Item(p, IDC_WIZ_ACROSS_UNIT)), CString("beads"));
      EXPECT_EQ(Text(Item(p, IDC_WIZ_SPACER_UNIT)), CString("inch"));
      QmClickButton(Item(dlg, IDCANCEL));
    });
  });
}

TEST_F(WizardSheetTest, ShotsOfTheFivePages) {
  for (bool russian : {false, true}) {
    SetRussianInterface(russian);
    qmtest::LanguagePack pack(russian);
    ClearWizardRegistry();
    MakePalettesFolder(russian ? "wizshotru" : "wizshoten");
    const fs::path dir = qmtest::MakeTempDir(russian ? "wizshotpicru" : "wizshotpicen");
    const fs::path photo = SavePicture(dir / "garden.jpg", 120, 90);
    SavePicture(dir / "portrait.png", 60, 90);
    CFakeHost host;
    host.recentPictures = {CString(photo.c_str()), CString((dir / "portrait.png").c_str())};
    host.recentDesigns = {CString(photo.c_str())};
    CMessageLog messages;
    RunNewDesignWizard(host, nullptr, [&](CWizardSheet& sheet, CWizardData& record) {
      record.m_picturePath = photo.c_str();
      record.m_pictureWidth = 120;
      record.m_pictureHeight = 90;
      record.m_params.m_width = 4;
      record.m_params.m_height = 3;
      record.m_params.m_beadWidth = 0.0625;
      record.m_params.m_beadHeight = 0.0625;
      qmtest::SetModalHook([&](HWND dlg) {
        const char* names[] = {"wizard_138_project_type.png", "wizard_142_existing_project.png",
                               "wizard_139_original_image.png", "wizard_140_palette.png", "wizard_143_parameters.png"};
        for (int i : {0, 1, 2, 3, 4}) {
          sheet.SetActivePage(i);
          QmPumpMessages(200);
          EXPECT_TRUE(QmSaveWindowPng(dlg, ShotPath(russian, names[i]).c_str(), true)) << names[i];
        }
        // The parameters in Beads mode: 40 x 30 beads of 0.0625 inch.
        HWND p = sheet.GetActivePage()->GetSafeHwnd();
        QmClickButton(Item(p, IDC_WIZ_IN_BEADS));
        SetDlgItemText(p, IDC_WIZ_BEAD_WIDTH, "40");
        SetDlgItemText(p, IDC_WIZ_BEAD_HEIGHT, "30");
        QmPumpMessages(100);
        EXPECT_EQ(Text(Item(p, IDC_WIZ_WIDTH)), FormatFieldValue(InchesToFieldUnits(2.5, russian ? 1 : 0)));
        EXPECT_TRUE(QmSaveWindowPng(dlg, ShotPath(russian, "wizard_143_parameters_beads.png").c_str(), true));
        QmClickButton(Item(dlg, IDCANCEL));
      });
    });
  }
  SetRussianInterface(false);
}
