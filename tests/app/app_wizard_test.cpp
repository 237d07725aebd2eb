// File > New in the running program, headless, in both language packs: the
// wizard builds a design from a JPEG made here (loom in inches, peyote in
// centimetres, brick in millimetres counted in beads with a spacer), a blank
// canvas with fill and border colours, counts of beads that keep the bead
// size chosen, and opens an existing design; what
// the view holds afterwards, and what the registry keeps for the next
// wizard.
#include <QImage>
#include <filesystem>
#include <functional>
#include <set>

#include "builder/PatternBuilder.h"
#include "controls/ComboFillers.h"
#include "controls/RecentFiles.h"
#include "core/PathUtils.h"
#include "core/Registry.h"
#include "design/WeaveFormat.h"
#include "dialogs/WizPalettePage.h"
#include "dialogs/WizParamsModel.h"
#include "dialogs/WizParamsPage.h"
#include "dialogs/WizardData.h"
#include "dialogs/WizardSheet.h"
#include "image/Image.h"
#include "image/ImageView.h"
#include "lang/ids/shell.h"
#include "lang/ids/wizard.h"
#include "palette/ColorSet.h"
#include "platform/base/codepage.h"
#include "tests/app/app_fixture.h"
#include "tests/dialogs/wizard_compare.h"

namespace fs = std::filesystem;
using wiztest::SameBeads;
using wiztest::SamePixels;

namespace {

HWND Item(HWND dlg, int id) { return GetDlgItem(dlg, id); }
bool Enabled(HWND window) { return window && IsWindowEnabled(window) != FALSE; }

CString Text(HWND window) {
  char buffer[512] = {};
  GetWindowText(window, buffer, sizeof buffer);
  return CString(buffer);
}

HWND PageItem(CWizardSheet& sheet, int id) {
  CPropertyPage* page = sheet.GetActivePage();
  return page ? Item(page->GetSafeHwnd(), id) : nullptr;
}

void ClickNext(HWND sheet) { QmClickButton(Item(sheet, ID_WIZNEXT)); }

void Type(HWND page, int id, const char* text) { SetDlgItemText(page, id, text); }

// A combo selection as the user makes it: dropped down, then chosen.
void Choose(HWND page, int id, int index) {
  HWND combo = Item(page, id);
  SendMessage(page, WM_COMMAND, MAKEWPARAM(id, CBN_DROPDOWN), reinterpret_cast<LPARAM>(combo));
  SendMessage(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  SendMessage(page, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

// The row of an extended combo box whose item data is the value.
int RowOfData(HWND page, int id, DWORD_PTR value) {
  HWND combo = Item(page, id);
  const int count = static_cast<int>(SendMessage(combo, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i)
    if (static_cast<DWORD_PTR>(SendMessage(combo, CB_GETITEMDATA, static_cast<WPARAM>(i), 0)) == value) return i;
  return -1;
}

// A palette of n distinct colours, all in use, as a palette file.
fs::path SavePalette(const fs::path& folder, const std::string& name, int colors) {
  CColorSet p;
  for (int i = 0; i < colors; ++i) {
    CString colorName;
    colorName.Format("Colour %d", i + 1);
    p.AppendPlainColor((i * 73) % 256, (i * 151 + 40) % 256, (i * 29 + 90) % 256, colorName, i + 1);
  }
  p.CheckAll();
  const fs::path path = folder / (name + ".pal");
  EXPECT_TRUE(p.SavePaletteAs(path.c_str())) << path;
  return path;
}

// A JPEG of a gradient with a checker pattern.
fs::path SaveJpeg(const fs::path& path, int width, int height) {
  bool ok = false;
  CImage picture(width, height, ok, RGB(255, 255, 255));
  EXPECT_TRUE(ok);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      picture.SetPixelRGB(x, y, static_cast<BYTE>(x * 255 / (width - 1)), static_cast<BYTE>(y * 255 / (height - 1)),
                          ((x / 9) + (y / 7)) % 2 ? 210 : 30);
  EXPECT_TRUE(picture.SaveFile(path.c_str())) << path;
  return path;
}

// The number of colours the window shows.
size_t ColoursShown(HWND window) {
  const QImage shot = QmRenderWindow(window, false);
  std::set<QRgb> colours;
  for (int y = 0; y < shot.height(); y += 3)
    for (int x = 0; x < shot.width(); x += 3) colours.insert(shot.pixel(x, y));
  return colours.size();
}

class AppWizardTest : public apptest::AppTest, public ::testing::WithParamInterface<bool> {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    ForgetWizardValues();
    russian = GetParam();
    apptest::StoreLanguage(russian);
    palettes = qmtest::MakeTempDir(russian ? "wizapp-pal-ru" : "wizapp-pal-en");
    SavePalette(palettes, "delica", 40);
    SavePalette(palettes, "preciosa", 30);
    SetPalettesFolderOverride(palettes.c_str());
  }
  void TearDown() override {
    // No build or check along the way said anything.
    for (const auto& box : boxes) ADD_FAILURE() << "message: " << box.first;
    SetPalettesFolderOverride("");
    AppTest::TearDown();
    ForgetWizardValues();
  }
  static void ForgetWizardValues() {
    apptest::ForgetValue(CWizardData::kValueName);
    apptest::ForgetValue(CWiz_2B_SelectPalette::kPriorPaletteValue);
  }

  // File > New with `drive` working the open sheet; dialogs opened from the
  // sheet go to `nested`. Answers whether the sheet ran.
  bool RunWizard(const std::function<void(CWizardSheet&, HWND)>& drive) {
    bool ran = false;
    qmtest::SetModalHook([&](HWND dlg) {
      CWizardSheet* sheet = GetOpenWizardSheet();
      if (!sheet || sheet->GetSafeHwnd() != dlg) {
        if (nested) nested(dlg);
        else SendMessage(dlg, WM_COMMAND, IDCANCEL, 0);
        return;
      }
      ran = true;
      drive(*sheet, dlg);
    });
    // A design built by the last wizard is new work: the save prompt comes
    // first, answered No.
    boxAnswer = IDNO;
    Frame()->SendMessage(WM_COMMAND, ID_FILE_NEW_DESIGN);
    QmPumpMessages();
    qmtest::SetModalHook(nullptr);
    std::erase_if(boxes, [](const auto& box) { return box.second == kMbYesNoCancelQuestion; });
    return ran;
  }

  // From the project-type page to the parameters page of a picture or
  // blank-canvas project (the picture: the first recent one).
  void GoToParameters(CWizardSheet& sheet, HWND dlg, int typeButton) {
    QmClickButton(PageItem(sheet, typeButton));
    ClickNext(dlg);
    if (typeButton == IDC_WIZ_TYPE_PICTURE) {
      ASSERT_EQ(sheet.GetActiveIndex(), kWizPageOriginalImage);
      auto* list = static_cast<CListCtrl*>(CWnd::FromHandle(PageItem(sheet, IDC_WIZ_LIST)));
      ASSERT_GT(list->GetItemCount(), 0);
      list->SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
      ClickNext(dlg);
    }
    ASSERT_EQ(sheet.GetActiveIndex(), kWizPagePalette);
    ClickNext(dlg);
    ASSERT_EQ(sheet.GetActiveIndex(), kWizPageParameters);
    QmPumpMessages(100);
  }

  // Apply, then Finish; the build parameters as the design was built.
  CPatternParams ApplyAndFinish(CWizardSheet& sheet, HWND dlg, bool finish = true) {
    HWND page = sheet.GetActivePage()->GetSafeHwnd();
    QmClickButton(Item(page, IDC_WIZ_APPLY));
    EXPECT_TRUE(Enabled(Item(dlg, ID_WIZNEXT)));
    const CPatternParams built = sheet.GetWizardData()->m_params;
    if (finish) ClickNext(dlg);
    else SendMessage(dlg, WM_COMMAND, IDCANCEL, 0);
    QmPumpMessages(100);
    return built;
  }

  // What every design the wizard builds shares.
  void ExpectFreshDesign(const char* nickname) {
    CTabView* view = View();
    const CPattern& design = *view->GetPattern();
    EXPECT_EQ(design.m_title, CString(nickname));
    EXPECT_EQ(design.m_beadEffect, 2u);
    EXPECT_TRUE(view->GetEditHistory().empty());
    CString path;
    EXPECT_FALSE(design.GetFilePath(path)) << path.GetString();
    EXPECT_TRUE(view->IsPatternFitToWindow());
    EXPECT_GT(ColoursShown(view->GetSafeHwnd()), 4u);
  }

  bool russian = false;
  fs::path palettes;
  std::function<void(HWND)> nested;
};

// One picture build: unit, size, design-in mode, bead fields, spacer, format.
struct PictureCase {
  const char* nickname;
  int unit;
  const char* width;
  bool inBeads;
  const char* beadWidth;
  const char* beadHeight;
  const char* spacer;
  int format;
};

}  // namespace

TEST_P(AppWizardTest, PictureBuildsAreTheBuildersDesignAndTheNextWizardStartsFromThem) {
  ASSERT_TRUE(Start());
  const fs::path dir = qmtest::MakeTempDir(russian ? "wizapp-jpeg-ru" : "wizapp-jpeg-en");
  const fs::path jpeg = SaveJpeg(dir / "meadow.jpg", 160, 120);
  Frame()->GetRecentPictures()->AddFile(jpeg.c_str());
  bool ok = false;
  const CImage picture(jpeg.c_str(), ok);
  ASSERT_TRUE(ok);

  const PictureCase cases[] = {
      {"Loom", 0, "2", false, "0.1", "0.08", "0", kFormatLoom},
      {"Peyote", 1, "6", false, "0.07", "0.09", "0.005", kFormatPeyote},
      {"Brick", 2, "40", true, "30", "20", "0.01", kFormatBrick},
  };
  bool first = true;
  for (const PictureCase& c : cases) {
    SCOPED_TRACE(c.nickname);
    CPatternParams built;
    ASSERT_TRUE(RunWizard([&](CWizardSheet& sheet, HWND dlg) {
      GoToParameters(sheet, dlg, IDC_WIZ_TYPE_PICTURE);
      HWND page = sheet.GetActivePage()->GetSafeHwnd();
      // The unit starts as the language's: cm in Russian, inch in English.
      if (first) EXPECT_EQ(SendDlgItemMessage(page, IDC_WIZ_UNIT, CB_GETCURSEL, 0, 0), russian ? 1 : 0);
      EXPECT_EQ(Text(Item(page, IDC_WIZ_NICKNAME)), CString("meadow"));
      Choose(page, IDC_WIZ_UNIT, c.unit);
      QmClickButton(Item(page, c.inBeads ? IDC_WIZ_IN_BEADS : IDC_WIZ_IN_INCHES));
      Type(page, IDC_WIZ_WIDTH, c.width);
      Type(page, IDC_WIZ_BEAD_WIDTH, c.beadWidth);
      Type(page, IDC_WIZ_BEAD_HEIGHT, c.beadHeight);
      Type(page, IDC_WIZ_SPACER, c.spacer);
      Choose(page, IDC_WIZ_FORMAT, RowOfData(page, IDC_WIZ_FORMAT, static_cast<DWORD_PTR>(c.format)));
      Type(page, IDC_WIZ_NICKNAME, c.nickname);
      // The grid while typing: the main window's status bar.
      CString status;
      Frame()->GetAppStatusBar().GetWindowText(status);
      EXPECT_EQ(status.Left(10), LoadResString(IDS_WIZ_SIZE_STATUS).Left(10)) << status.GetString();
      built = ApplyAndFinish(sheet, dlg);
    }));
    first = false;
    // The view's design is the builder's, bead for bead, from the same
    // picture, parameters and palette.
    CTabView* view = View();
    EXPECT_EQ(view->GetPattern()->m_format, c.format);
    CPattern expected;
    ASSERT_TRUE(BuildPattern(expected, app->GetMaxBeadCount(), built, *view->GetColorSet(), &picture));
    EXPECT_TRUE(SameBeads(*view->GetPattern(), expected));
    if (c.inBeads) {
      // The counts keep the bead size of the design before (0.07 x 0.09
      // inch); the size follows from them, whatever width was typed.
      EXPECT_EQ(view->GetPattern()->GetColumnCount(), 30u);
      EXPECT_EQ(view->GetPattern()->GetRowCount(), 20u);
      EXPECT_NEAR(built.m_beadWidth, 0.07, 1e-9);
      EXPECT_NEAR(built.m_beadHeight, 0.09, 1e-9);
      EXPECT_NEAR(built.m_width, 30 * 0.07 + 29 * 0.01, 1e-9);
    }
    ExpectFreshDesign(c.nickname);
    // The picture is the view's original, fitted, with its path.
    ASSERT_NE(view->GetOriginalView(), nullptr);
    EXPECT_EQ(view->GetOriginalView()->GetWidth(), 160);
    EXPECT_TRUE(SamePixels(*view->GetOriginalView(), picture));
    EXPECT_TRUE(view->GetOriginalView()->IsFitToWindow());
    EXPECT_EQ(view->GetOriginalPath(), CString(jpeg.c_str()));
    EXPECT_EQ(GetPathTitle(view->GetColorSet()->GetFilePath()), CString(russian ? "preciosa" : "delica"));

    // The record keeps the choices.
    CWizardData stored;
    ASSERT_TRUE(stored.LoadFromRegistry());
    EXPECT_EQ(stored.m_projectType, kProjectFromPicture);
    EXPECT_EQ(stored.m_picturePath, CString(jpeg.c_str()));
    EXPECT_EQ(stored.m_rulerUnit, c.unit);
    EXPECT_EQ(stored.m_params.m_format, c.format);
    EXPECT_NEAR(stored.m_params.m_width, built.m_width, 1e-9);
    EXPECT_NEAR(stored.m_params.m_beadWidth, built.m_beadWidth, 1e-9);
    EXPECT_NEAR(stored.m_params.m_spacer, built.m_spacer, 1e-6);
  }

  // The next wizard opens with the last choices: the picture project, the
  // brick format and the size (shown in the language's unit).
  ASSERT_TRUE(RunWizard([&](CWizardSheet& sheet, HWND dlg) {
    EXPECT_EQ(IsDlgButtonChecked(sheet.GetActivePage()->GetSafeHwnd(), IDC_WIZ_TYPE_PICTURE), BST_CHECKED);
    sheet.SetActivePage(kWizPageParameters);
    HWND page = sheet.GetActivePage()->GetSafeHwnd();
    EXPECT_EQ(static_cast<int>(SendDlgItemMessage(page, IDC_WIZ_FORMAT, CB_GETCURSEL, 0, 0)),
              RowOfData(page, IDC_WIZ_FORMAT, kFormatBrick));
    const double shown = atof(Text(Item(page, IDC_WIZ_WIDTH)).GetString());
    EXPECT_NEAR(shown, (30 * 0.07 + 29 * 0.01) * (russian ? 2.54 : 1.0), 1e-4);
    SendMessage(dlg, WM_COMMAND, IDCANCEL, 0);
  }));
}

TEST_P(AppWizardTest, BlankCanvasWithBorderAndCancelAfterApply) {
  ASSERT_TRUE(Start());
  // The view starts with an original picture, which a blank canvas drops.
  const fs::path dir = qmtest::MakeTempDir(russian ? "wizapp-blank-ru" : "wizapp-blank-en");
  ASSERT_TRUE(View()->LoadOriginalImage(SaveJpeg(dir / "old.jpg", 40, 30).c_str()));
  COLORREF fill = 0, border = 0;
  auto fillIn = [&](CWizardSheet& sheet, HWND dlg) {
    GoToParameters(sheet, dlg, IDC_WIZ_TYPE_BLANK);
    HWND page = sheet.GetActivePage()->GetSafeHwnd();
    EXPECT_FALSE(Enabled(Item(page, IDC_WIZ_PROPORTIONATE)));
    Choose(page, IDC_WIZ_UNIT, 0);
    QmClickButton(Item(page, IDC_WIZ_IN_INCHES));
    Type(page, IDC_WIZ_WIDTH, "3");
    Type(page, IDC_WIZ_HEIGHT, "2");
    Type(page, IDC_WIZ_BEAD_WIDTH, "0.1");
    Type(page, IDC_WIZ_BEAD_HEIGHT, "0.1");
    Type(page, IDC_WIZ_SPACER, "0");
    Choose(page, IDC_WIZ_FORMAT, RowOfData(page, IDC_WIZ_FORMAT, kFormatLoom));
    SendDlgItemMessage(page, IDC_WIZ_FILL_COLOR, LB_SETCURSEL, 5, 0);
    fill = sheet.GetWizardPalette()->GetItem(5).GetColorref();
    CheckDlgButton(page, IDC_WIZ_BORDER, BST_CHECKED);
    SendDlgItemMessage(page, IDC_WIZ_BORDER_COLOR, CB_SETCURSEL, 9, 0);
    border = sheet.GetWizardPalette()->GetItem(9).GetColorref();
    Type(page, IDC_WIZ_NICKNAME, "Canvas");
  };

  // Apply, then Cancel: the design stays, the record is not stored.
  CPatternParams built;
  ASSERT_TRUE(RunWizard([&](CWizardSheet& sheet, HWND dlg) {
    fillIn(sheet, dlg);
    built = ApplyAndFinish(sheet, dlg, false);
  }));
  EXPECT_EQ(View()->GetPattern()->GetColumnCount(), 30u);
  ExpectFreshDesign("Canvas");
  std::vector<BYTE> bytes;
  EXPECT_FALSE(ReadProgramBinaryValue(CWizardData::kValueName, bytes));

  // Apply and Finish: the blank grid the builder makes with these colours.
  ASSERT_TRUE(RunWizard([&](CWizardSheet& sheet, HWND dlg) {
    fillIn(sheet, dlg);
    built = ApplyAndFinish(sheet, dlg);
  }));
  CTabView* view = View();
  EXPECT_EQ(view->GetOriginalView(), nullptr);
  CPattern expected;
  ASSERT_TRUE(BuildPattern(expected, app->GetMaxBeadCount(), built, *view->GetColorSet(), nullptr));
  EXPECT_TRUE(SameBeads(*view->GetPattern(), expected));
  const CColorSet& palette = *view->GetColorSet();
  const CPattern& design = *view->GetPattern();
  const auto& beads = design.GetBeadArray();
  ASSERT_FALSE(beads.empty());
  EXPECT_EQ(palette.GetItem(beads.front().m_colorIndex).GetColorref(), border);
  EXPECT_EQ(palette.GetItem(beads[beads.size() / 2 + design.GetColumnCount() / 2].m_colorIndex).GetColorref(), fill);
  ExpectFreshDesign("Canvas");
  CWizardData stored;
  ASSERT_TRUE(stored.LoadFromRegistry());
  EXPECT_EQ(stored.m_projectType, kProjectBlankCanvas);
  EXPECT_EQ(static_cast<COLORREF>(stored.m_blankColor), fill);
  EXPECT_EQ(static_cast<COLORREF>(stored.m_borderColor), border);
}

// Beads mode keeps the bead size chosen from the list: each preset, counted
// 40 x 30 beads in each format, gives a design of 40 x 30 beads of that size
// (it once gave beads as wide as the width shown divided by the count), and
// the size fields show what the beads measure, in the unit.
TEST_P(AppWizardTest, CountsOfBeadsKeepTheBeadSizeChosen) {
  ASSERT_TRUE(Start());
  const std::vector<CBeadSize>& presets = app->GetSettings().m_beadSizes;
  ASSERT_GE(presets.size(), 3u);
  struct Case {
    size_t row;  // of the bead-size list
    int format;
  };
  const Case cases[] = {{0, kFormatLoom},
                        {presets.size() / 2, kFormatPeyote},
                        {presets.size() - 1, kFormatBrick},
                        {presets.size() / 2, kFormatLoom},
                        {0, kFormatBrick}};
  ASSERT_TRUE(RunWizard([&](CWizardSheet& sheet, HWND dlg) {
    GoToParameters(sheet, dlg, IDC_WIZ_TYPE_BLANK);
    HWND page = sheet.GetActivePage()->GetSafeHwnd();
    Choose(page, IDC_WIZ_UNIT, 1);
    Type(page, IDC_WIZ_SPACER, "0");
    SendDlgItemMessage(page, IDC_WIZ_FILL_COLOR, LB_SETCURSEL, 2, 0);
    Type(page, IDC_WIZ_NICKNAME, "Counted");
    for (const Case& c : cases) {
      SCOPED_TRACE(testing::Message() << "preset " << c.row << ", format " << c.format);
      // The size chosen, as the bead fields show it.
      QmClickButton(Item(page, IDC_WIZ_IN_INCHES));
      Choose(page, IDC_WIZ_BEAD_SIZE, static_cast<int>(c.row));
      EXPECT_EQ(Text(Item(page, IDC_WIZ_BEAD_WIDTH)), FormatFieldValue(presets[c.row].width));
      EXPECT_EQ(Text(Item(page, IDC_WIZ_BEAD_HEIGHT)), FormatFieldValue(presets[c.row].height));
      const double across = atof(Text(Item(page, IDC_WIZ_BEAD_WIDTH)).GetString());
      const double down = atof(Text(Item(page, IDC_WIZ_BEAD_HEIGHT)).GetString());
      QmClickButton(Item(page, IDC_WIZ_IN_BEADS));
      Type(page, IDC_WIZ_BEAD_WIDTH, "40");
      Type(page, IDC_WIZ_BEAD_HEIGHT, "30");
      Choose(page, IDC_WIZ_FORMAT, RowOfData(page, IDC_WIZ_FORMAT, static_cast<DWORD_PTR>(c.format)));
      EXPECT_EQ(Text(Item(page, IDC_WIZ_WIDTH)), FormatFieldValue(40 * across * 2.54));
      EXPECT_EQ(Text(Item(page, IDC_WIZ_HEIGHT)), FormatFieldValue(30 * down * 2.54));
      QmClickButton(Item(page, IDC_WIZ_APPLY));
      QmPumpMessages(20);
      const CPattern& design = *View()->GetPattern();
      EXPECT_EQ(design.m_format, c.format);
      EXPECT_EQ(design.GetColumnCount(), 40u);
      EXPECT_EQ(design.GetRowCount(), 30u);
      EXPECT_NEAR(design.m_beadWidth, across, 1e-9);
      EXPECT_NEAR(design.m_beadHeight, down, 1e-9);
    }
    SendMessage(dlg, WM_COMMAND, IDCANCEL, 0);
  }));
}

TEST_P(AppWizardTest, ExistingDesignOpensThroughTheDesignFileDialog) {
  ASSERT_TRUE(Start());
  // A design file: a small design saved from the view.
  const fs::path dir = qmtest::MakeTempDir(russian ? "wizapp-qx-ru" : "wizapp-qx-en");
  const fs::path file = dir / "tulips.qx";
  apptest::GiveBeads(View(), false);
  *View()->GetPattern() = [] {
    CPattern design;
    CPatternParams params;
    params.m_width = 1.2;
    params.m_height = 0.8;
    params.m_beadWidth = 0.1;
    params.m_beadHeight = 0.1;
    params.m_blank = 1;
    CColorSet palette;
    palette.AppendPlainColor(10, 200, 30, "Green", 1);
    palette.CheckAll();
    EXPECT_TRUE(BuildPattern(design, 1000000, params, palette, nullptr));
    return design;
  }();
  ASSERT_TRUE(View()->SaveDesignFile(file.c_str(), false));
  const CPattern saved = *View()->GetPattern();
  apptest::GiveBeads(View(), false);

  nested = [&](HWND fileDialog) {
    EXPECT_TRUE(QmFileDialogSelectFile(fileDialog, file.c_str()));
    SendMessage(fileDialog, WM_COMMAND, IDOK, 0);
  };
  ASSERT_TRUE(RunWizard([&](CWizardSheet& sheet, HWND dlg) {
    QmClickButton(PageItem(sheet, IDC_WIZ_TYPE_EXISTING));
    ClickNext(dlg);
    ASSERT_EQ(sheet.GetActiveIndex(), kWizPageExistingProject);
    QmPumpMessages(100);
    EXPECT_FALSE(Enabled(Item(dlg, ID_WIZNEXT)));
    QmClickButton(PageItem(sheet, IDC_WIZ_OPEN));
    // The design is listed and described.
    EXPECT_NE(Text(PageItem(sheet, IDC_WIZ_INFO)).Find("tulips.qx"), -1);
    QmClickButton(PageItem(sheet, IDC_WIZ_APPLY));
    EXPECT_TRUE(Enabled(Item(dlg, ID_WIZNEXT)));
    ClickNext(dlg);
    QmPumpMessages(100);
  }));
  EXPECT_TRUE(SameBeads(*View()->GetPattern(), saved));
  CString path;
  EXPECT_TRUE(View()->GetPattern()->GetFilePath(path));
  EXPECT_EQ(path, CString(file.c_str()));
  CWizardData stored;
  ASSERT_TRUE(stored.LoadFromRegistry());
  EXPECT_EQ(stored.m_projectType, kProjectExisting);
  EXPECT_EQ(stored.m_existingDesignPath, CString(file.c_str()));
}

namespace {

fs::path ShotPath(bool russian, const std::string& name) {
  const fs::path dir = qmtest::SourceDir() / "build" / "shots" / (russian ? "ru" : "en");
  fs::create_directories(dir);
  return dir / (name + ".png");
}

}  // namespace

// Pictures of the live sheet on every page, with the previews showing, for
// people to look at.
TEST_P(AppWizardTest, LiveSheetPictures) {
  ASSERT_TRUE(Start());
  const fs::path dir = qmtest::MakeTempDir(russian ? "wizapp-shots-ru" : "wizapp-shots-en");
  const fs::path jpeg = SaveJpeg(dir / "meadow.jpg", 400, 300);
  Frame()->GetRecentPictures()->AddFile(jpeg.c_str());
  // A design of the picture, saved and listed among the recent designs.
  bool ok = false;
  const CImage picture(jpeg.c_str(), ok);
  ASSERT_TRUE(ok);
  CPattern design;
  CPatternParams params;
  params.m_width = 4;
  params.m_height = 3;
  params.m_beadWidth = 0.1;
  params.m_beadHeight = 0.1;
  CColorSet palette;
  ASSERT_TRUE(palette.LoadEncipheredFile((palettes / "delica.pal").c_str()));
  ASSERT_TRUE(BuildPattern(design, 1000000, params, palette, &picture));
  *View()->GetPattern() = design;
  View()->SetColorSet(palette, (palettes / "delica.pal").c_str());
  ASSERT_TRUE(View()->LoadOriginalImage(jpeg.c_str()));
  const fs::path file = dir / "meadow.qx";
  ASSERT_TRUE(View()->SaveDesignFile(file.c_str(), false));
  Frame()->GetRecentDesigns()->AddFile(file.c_str(), picture, "Meadow");

  auto shoot = [&](HWND dlg, const char* name) {
    QmPumpMessages(150);
    EXPECT_TRUE(QmSaveWindowPng(dlg, ShotPath(russian, name).c_str(), true)) << name;
  };
  ASSERT_TRUE(RunWizard([&](CWizardSheet& sheet, HWND dlg) {
    shoot(dlg, "wizard_live_1_type");
    GoToParameters(sheet, dlg, IDC_WIZ_TYPE_PICTURE);
    shoot(dlg, "wizard_live_4_parameters");
    QmClickButton(Item(dlg, ID_WIZBACK));
    shoot(dlg, "wizard_live_3_palette");
    QmClickButton(Item(dlg, ID_WIZBACK));
    ASSERT_EQ(sheet.GetActiveIndex(), kWizPageOriginalImage);
    shoot(dlg, "wizard_live_2_picture");
    EXPECT_NE(Text(PageItem(sheet, IDC_WIZ_INFO)).Find("400"), -1);
    // The file dialogs the pages open: pictured, then cancelled.
    const char* dialogName = "";
    int dialogsSeen = 0;
    nested = [&](HWND fileDialog) {
      ++dialogsSeen;
      shoot(fileDialog, dialogName);
      SendMessage(fileDialog, WM_COMMAND, IDCANCEL, 0);
    };
    dialogName = "wizard_live_2_open_picture";
    QmClickButton(PageItem(sheet, IDC_WIZ_OPEN));
    dialogName = "wizard_live_2_save_pasted";
    ASSERT_TRUE(picture.CopyToClipboard());
    QmClickButton(PageItem(sheet, IDC_WIZ_PASTE));
    ClickNext(dlg);
    ASSERT_EQ(sheet.GetActiveIndex(), kWizPagePalette);
    dialogName = "wizard_live_3_open_palette";
    QmClickButton(PageItem(sheet, IDC_WIZ_OPEN));
    EXPECT_EQ(dialogsSeen, 3);
    nested = nullptr;
    QmClickButton(Item(dlg, ID_WIZBACK));
    QmClickButton(Item(dlg, ID_WIZBACK));
    ASSERT_EQ(sheet.GetActiveIndex(), kWizPageProjectType);
    GoToParameters(sheet, dlg, IDC_WIZ_TYPE_BLANK);
    shoot(dlg, "wizard_live_4_parameters_blank");
    QmClickButton(Item(dlg, ID_WIZBACK));
    QmClickButton(Item(dlg, ID_WIZBACK));
    QmClickButton(PageItem(sheet, IDC_WIZ_TYPE_EXISTING));
    ClickNext(dlg);
    ASSERT_EQ(sheet.GetActiveIndex(), kWizPageExistingProject);
    shoot(dlg, "wizard_live_5_existing");
    EXPECT_NE(Text(PageItem(sheet, IDC_WIZ_INFO)).Find("meadow.qx"), -1);
    SendMessage(dlg, WM_COMMAND, IDCANCEL, 0);
  }));
}

INSTANTIATE_TEST_SUITE_P(Packs, AppWizardTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "Ru" : "En"; });
