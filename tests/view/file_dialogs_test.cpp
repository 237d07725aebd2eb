// The preview file dialogs worked through the test hooks: the design
// dialog's facts line and its refusal of a file that does not preview, the
// picture dialogs' size lock and slider, the export dialog's record, the
// palette dialog's list and search; each panel rendered in both languages.
#include <QImage>

#include "core/FileUtils.h"
#include "core/FrameServices.h"
#include "core/Registry.h"
#include "image/Image.h"
#include "lang/ids/file.h"
#include "lang/ids/shared.h"
#include "platform/wnd/host.h"
#include "settings/GraphicOutput.h"
#include "tests/view/file_fixture.h"
#include "view/DesignIO.h"
#include "view/PreViewFileDlg.h"
#include "view/PreViewPaletteFileDlg.h"
#include "view/PreViewPaletteSearch.h"

using namespace filetest;

namespace {

CString ItemText(CWnd& panel, int id) {
  CString text;
  panel.GetDlgItemText(id, text);
  return text;
}

// A status bar that notes the progress displays asked for.
struct CProgressDisplay : IStatusProgressDisplay {
  void SetPos(int) override {}
  void SetStartColor(COLORREF) override {}
  void SetEndColor(COLORREF) override {}
};
struct CProgressRecorder : IProgressHost {
  std::vector<std::pair<int, std::string>> shown;  // total, caption
  IStatusProgressDisplay* CreateProgressDisplay(int total, const CString* caption, bool) override {
    shown.emplace_back(total, caption ? caption->str() : std::string());
    return new CProgressDisplay;
  }
  void OnProgressEnded() override {}
};

void SavePalette(const fs::path& path, std::vector<CRgbTriple> colours) {
  CColorSet palette;
  for (size_t i = 0; i < colours.size(); ++i)
    palette.Append(CPaletteColor(colours[i], CString(("P" + std::to_string(i)).c_str()), 0, 1, 225, 150));
  ASSERT_TRUE(palette.SavePaletteAs(Path(path)));
}

void SavePicture(const fs::path& path, int width, int height, COLORREF colour) {
  bool ok = false;
  CImage picture(width, height, ok, colour);
  ASSERT_TRUE(ok);
  ASSERT_TRUE(picture.SaveFile(Path(path)));
}

class FileDialogTest : public FileTest {
 protected:
  void SetUp() override {
    FileTest::SetUp();
    frame = new CFrameWnd;
    ASSERT_TRUE(frame->Create(nullptr, "Owner"));
    frame->MoveWindow(0, 0, 900, 700);
  }
  void Shot(HWND dialog, const std::string& name) {
    const bool russian = IsRussianInterface();
    QmSaveWindowPng(dialog, ShotPath(russian, name).string().c_str());
  }
};

}  // namespace

TEST_F(FileDialogTest, DesignDialogShowsFactsAndRefusesWhatDoesNotPreview) {
  const fs::path dir = folder / "designs";
  fs::create_directories(dir);
  WriteDesignFile(dir / "good.qx", 40, 30);
  qmtest::WriteAll(dir / "bad.qx", {'n', 'o', 't', ' ', 'a', ' ', 'd', 'e', 's', 'i', 'g', 'n'});
  for (bool russian : {false, true}) {
    SCOPED_TRACE(russian ? "ru" : "en");
    UseLanguage(russian);
    const CString filter = LoadResString(IDS_DESIGN_FILTER_OPEN);
    CPreViewDesignFileDlg dlg(TRUE, ".qx", nullptr, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, filter, frame);
    const CString start = Path(dir);
    dlg.m_ofn.lpstrInitialDir = start.GetString();
    bool ran = false;
    QmSetModalHook([&](HWND h) {
      ran = true;
      ASSERT_TRUE(QmFileDialogSelectFile(h, Path(dir / "bad.qx")));
      EXPECT_FALSE(dlg.m_previewLoaded);
      EXPECT_EQ(dlg.m_preview.GetState(), CPreviewArea::EState::kMessage);
      EXPECT_FALSE(ItemText(dlg, IDC_FILE_INFO).IsEmpty());
      SendMessage(h, WM_COMMAND, IDOK, 0);  // refused: still open
      EXPECT_TRUE(IsWindow(h));
      if (!russian) Shot(h, "file_design_dialog_refused.png");
      ASSERT_TRUE(QmFileDialogSelectFile(h, Path(dir / "good.qx")));
      EXPECT_TRUE(dlg.m_previewLoaded);
      const std::string info = ToUtf8(ItemText(dlg, IDC_FILE_INFO));
      if (russian)
        EXPECT_EQ(info.rfind("«Test design», 10.2 x 7.6 см; 40 x 30 бисерин, формат ", 0), 0u) << info;
      else
        EXPECT_EQ(info.rfind("\"Test design\", 4.0 x 3.0 inch; 40 x 30 beads, format ", 0), 0u) << info;
      EXPECT_NE(info.find("<Quillmerewise freeware 26 Jan 2017>"), std::string::npos) << info;
      EXPECT_NE(info.find(ToUtf8(FormatFileCreationText(Path(dir / "good.qx")))), std::string::npos);
      QmPumpMessages();
      ASSERT_NE(dlg.m_preview.GetRendered(), nullptr);  // painted from one rendering
      Shot(h, "file_design_dialog.png");
      SendMessage(h, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_TRUE(ran);
    EXPECT_EQ(dlg.GetPathName(), Path(dir / "good.qx"));
  }
}

TEST_F(FileDialogTest, ATypedPathPreviewsAndABadDesignShowsItsReason) {
  const fs::path dir = folder / "typed";
  fs::create_directories(dir);
  WriteDesignFile(dir / "good.qx", 12, 9);
  const std::vector<unsigned char> bytes = qmtest::ReadAll(dir / "good.qx");
  std::vector<unsigned char> flipped = bytes;
  flipped[flipped.size() / 2] ^= 0x5A;
  std::vector<unsigned char> jpeg = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F', 0x00};
  jpeg.resize(600, 0x33);
  struct Case {
    const char* name;
    std::vector<unsigned char> contents;
    const char* reason;
  };
  const Case cases[] = {
      {"cut.qx", std::vector<unsigned char>(bytes.begin(), bytes.begin() + static_cast<long>(bytes.size() / 2)),
       "damaged or cut short"},
      {"flipped.qx", flipped, "Invalid check sum"},
      {"photo.qx", jpeg, "<\\xFF\\xD8\\xFF\\xE0>"},
      {"empty.qx", {}, "empty or too short"},
  };
  for (const Case& c : cases) qmtest::WriteAll(dir / c.name, c.contents);
  UseLanguage(false);
  const CString filter = LoadResString(IDS_DESIGN_FILTER_OPEN);
  CPreViewDesignFileDlg dlg(TRUE, ".qx", nullptr, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, filter, frame);
  const CString start = Path(dir);
  dlg.m_ofn.lpstrInitialDir = start.GetString();
  bool ran = false;
  QmSetModalHook([&](HWND h) {
    ran = true;
    for (const Case& c : cases) {
      SCOPED_TRACE(c.name);
      // A name typed, then Open: previewed, refused, and the reason shown.
      ASSERT_TRUE(QmFileDialogTypeName(h, c.name));
      SendMessage(h, WM_COMMAND, IDOK, 0);
      ASSERT_TRUE(IsWindow(h));
      EXPECT_FALSE(dlg.m_previewLoaded);
      EXPECT_EQ(dlg.m_preview.GetState(), CPreviewArea::EState::kMessage);
      EXPECT_TRUE(dlg.m_preview.HasMessageText());
      EXPECT_NE(dlg.m_preview.GetMessage().str().find(c.reason), std::string::npos)
          << dlg.m_preview.GetMessage().str() << " | " << dlg.GetPathName().str() << " | " << dlg.m_previewPath.str();
      EXPECT_NE(ItemText(dlg, IDC_FILE_INFO).str().find(c.reason), std::string::npos);
      if (std::string(c.name) == "cut.qx") Shot(h, "file_design_dialog_damaged.png");
    }
    // A good file's full path typed: it opens.
    ASSERT_TRUE(QmFileDialogTypeName(h, (dir / "good.qx").string().c_str()));
    SendMessage(h, WM_COMMAND, IDOK, 0);
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_TRUE(ran);
  EXPECT_EQ(dlg.GetPathName(), Path(dir / "good.qx"));
  EXPECT_TRUE(boxes.empty()) << boxes[0].first;
}

TEST_F(FileDialogTest, PictureSaveDialogLocksTheSizeAndTheSlider) {
  for (bool russian : {false, true}) {
    SCOPED_TRACE(russian ? "ru" : "en");
    UseLanguage(russian);
    CPreViewImageFileDlg dlg(FALSE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                             LoadResString(IDS_PICTURE_SAVE_FILTER), frame, IDI_SAVE_DESIGN);
    dlg.SetOutputSize(400, 300);
    const CString start = Path(folder);
    dlg.m_ofn.lpstrInitialDir = start.GetString();
    QmSetModalHook([&](HWND h) {
      EXPECT_EQ(ItemText(dlg, IDC_FILE_WIDTH), "400");
      EXPECT_NE(ItemText(dlg, IDC_FILE_ORIGINAL_SIZE).Find("400 x 300"), -1);
      Shot(h, "file_save_picture_dialog.png");
      dlg.SetDlgItemText(IDC_FILE_WIDTH, "200");
      QmWait(600);
      EXPECT_EQ(ItemText(dlg, IDC_FILE_HEIGHT), "150");
      EXPECT_TRUE(dlg.GetDlgItem(IDC_FILE_JPEG_QUALITY)->IsWindowEnabled());
      QmFileDialogChooseFilter(h, 2);
      EXPECT_FALSE(dlg.GetDlgItem(IDC_FILE_JPEG_QUALITY)->IsWindowEnabled());
      QmFileDialogChooseFilter(h, 1);
      EXPECT_TRUE(dlg.GetDlgItem(IDC_FILE_JPEG_QUALITY)->IsWindowEnabled());
      QmFileDialogChooseFilter(h, 3);
      EXPECT_FALSE(dlg.GetDlgItem(IDC_FILE_JPEG_QUALITY)->IsWindowEnabled());
      QmFileDialogTypeName(h, "out");
      SendMessage(h, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.GetOutputSize(), CSize(200, 150));
    EXPECT_EQ(dlg.m_ofn.nFilterIndex, 3u);
  }
  // Without a height there is no proportion to keep.
  CSizeLock lock;
  lock.Set(400, 0);
  bool rewriteHeight = false;
  EXPECT_FALSE(lock.Apply(200, 0, rewriteHeight));
  EXPECT_EQ(lock.width, 200);
  lock.Set(2000000000, 1);
  EXPECT_TRUE(lock.Apply(0, 3, rewriteHeight));
  EXPECT_EQ(lock.width, 2147483647);
}

TEST_F(FileDialogTest, PictureOpenDialogPreviewsAndShowsTheSize) {
  SavePicture(folder / "rose.png", 400, 300, RGB(200, 0, 0));
  qmtest::WriteAll(folder / "broken.png", {1, 2, 3});
  qmtest::WriteAll(folder / "broken.tiff", {1, 2, 3});
  for (bool russian : {false, true}) {
    SCOPED_TRACE(russian ? "ru" : "en");
    UseLanguage(russian);
    CPreViewImageFileDlg dlg(TRUE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST,
                             "Pictures|*.png;*.tiff||", frame, IDI_OPEN_DESIGN);
    const CString start = Path(folder);
    dlg.m_ofn.lpstrInitialDir = start.GetString();
    QmSetModalHook([&](HWND h) {
      QmFileDialogSelectFile(h, Path(folder / "rose.png"));
      EXPECT_EQ(dlg.GetPreviewSize(), CSize(400, 300));
      EXPECT_EQ(ItemText(dlg, IDC_FILE_WIDTH), "400");
      EXPECT_EQ(ItemText(dlg, IDC_FILE_HEIGHT), "300");
      EXPECT_EQ(dlg.m_previewArea.GetState(), CPreviewArea::EState::kContents);
      Shot(h, "file_open_picture_dialog.png");
      QmFileDialogSelectFile(h, Path(folder / "broken.png"));
      EXPECT_EQ(dlg.m_previewArea.GetState(), CPreviewArea::EState::kMessage);
      EXPECT_EQ(dlg.m_previewArea.GetMessage(), LoadResString(IDS_PREVIEW_INACCESSIBLE));
      EXPECT_EQ(ItemText(dlg, IDC_FILE_WIDTH), "");
      Shot(h, "file_open_picture_no_preview.png");
      QmFileDialogSelectFile(h, Path(folder / "broken.tiff"));
      EXPECT_EQ(dlg.m_previewArea.GetState(), CPreviewArea::EState::kMessage);
      EXPECT_FALSE(dlg.m_previewArea.HasMessageText());  // the cross
      SendMessage(h, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  }
}

TEST_F(FileDialogTest, ExportDialogEditsTheRecord) {
  for (bool russian : {false, true}) {
    SCOPED_TRACE(russian ? "ru" : "en");
    UseLanguage(russian);
    CGraphicOutputParams params;
    params.m_outputWidth = 600;
    params.m_outputHeight = 400;
    params.m_fontSize = 30;
    params.m_listPlacement = 1;
    CSelectExportBeadImageFileDlg dlg(&params, nullptr, "Test design", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                                      LoadResString(IDS_PICTURE_SAVE_FILTER), frame, IDI_EXPORT_BEAD_IMAGE);
    dlg.SetTitle(LoadResString(IDS_EXPORT_BEAD_IMAGE_AS));
    const CString start = Path(folder);
    dlg.m_ofn.lpstrInitialDir = start.GetString();
    QmSetModalHook([&](HWND h) {
      EXPECT_EQ(dlg.GetCheckedRadioButton(IDC_LIST_BELOW, IDC_LIST_NONE), IDC_LIST_RIGHT);
      char name[100] = {};
      GetDlgItemText(h, QM_IDC_FILE_NAME, name, 100);
      EXPECT_STREQ(name, "Test design");
      Shot(h, "file_export_beaded_image_dialog.png");
      dlg.SetDlgItemText(IDC_FILE_WIDTH, "300");
      QmWait(600);
      EXPECT_EQ(ItemText(dlg, IDC_FILE_HEIGHT), "200");
      EXPECT_EQ(params.m_outputWidth, 300);
      EXPECT_EQ(params.m_outputHeight, 200);
      QmClickButton(dlg.GetDlgItem(IDC_LIST_NONE)->m_hWnd);
      auto* spin = static_cast<CSpinButtonCtrl*>(dlg.GetDlgItem(IDC_FILE_FONT_SPIN));
      spin->SetPos32(60);
      EXPECT_EQ(spin->GetPos32(), 50);
      spin->SetPos32(3);
      EXPECT_EQ(spin->GetPos32(), 10);
      QmFileDialogChooseFilter(h, 3);
      EXPECT_FALSE(dlg.GetDlgItem(IDC_FILE_JPEG_QUALITY)->IsWindowEnabled());
      SendMessage(h, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(params.m_outputWidth, 300);
    EXPECT_EQ(params.m_outputHeight, 200);
    EXPECT_EQ(params.m_listPlacement, 2);
    EXPECT_EQ(params.m_fontSize, 10);
    EXPECT_EQ(params.m_fileType, 0);
  }
  EXPECT_EQ(CSelectExportBeadImageFileDlg::FilterForFileType(0), 3);
  EXPECT_EQ(CSelectExportBeadImageFileDlg::FilterForFileType(4), 2);
  EXPECT_EQ(CSelectExportBeadImageFileDlg::FilterForFileType(7), 1);
}

TEST_F(FileDialogTest, PaletteDialogListsColoursAndFindsTheBestPalette) {
  const fs::path dir = folder / "palettes";
  fs::create_directories(dir);
  SavePalette(dir / "a_red.pal", {CRgbTriple(250, 0, 0), CRgbTriple(0, 0, 250)});
  SavePalette(dir / "b_green.pal", {CRgbTriple(0, 250, 0), CRgbTriple(0, 0, 0)});
  SavePalette(dir / "c_green.pal", {CRgbTriple(0, 250, 0), CRgbTriple(0, 0, 0)});
  qmtest::WriteAll(dir / "d_junk.pal", {'j', 'u', 'n', 'k'});
  SavePicture(folder / "green.bmp", 30, 20, RGB(0, 240, 0));
  CProgressRecorder recorder;
  for (bool russian : {false, true}) {
    SCOPED_TRACE(russian ? "ru" : "en");
    UseLanguage(russian);
    recorder.shown.clear();
    boxes.clear();
    CPreViewPaletteFileDlg dlg(TRUE, ".pal", nullptr, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST,
                               LoadResString(IDS_PALETTE_FILE_FILTER), frame, IDI_OPEN_DESIGN);
    ASSERT_TRUE(dlg.LoadOriginalImage(Path(folder / "green.bmp")));
    dlg.SetProgressHost(&recorder);
    const CString start = Path(dir);
    dlg.m_ofn.lpstrInitialDir = start.GetString();
    QmSetModalHook([&](HWND h) {
      EXPECT_TRUE(dlg.GetDlgItem(IDC_PALETTE_FIND_BEST)->IsWindowEnabled());
      // The search: the green palettes score the same; the first wins.
      QmClickButton(dlg.GetDlgItem(IDC_PALETTE_FIND_BEST)->m_hWnd);
      EXPECT_EQ(dlg.GetLastProposal(), "b_green.pal");
      EXPECT_EQ(dlg.GetLastFileCount(), 4);
      char name[64] = {};
      GetDlgItemText(h, QM_IDC_FILE_NAME, name, 64);
      EXPECT_STREQ(name, "b_green.pal");
      QmFileDialogSelectFile(h, Path(dir / "a_red.pal"));
      EXPECT_TRUE(dlg.m_paletteShown);
      EXPECT_TRUE(dlg.m_list.IsWindowVisible());
      EXPECT_EQ(dlg.m_list.GetItemCount(), 2);
      CString count;
      count.Format(LoadResString(IDS_PALETTE_COLOR_COUNT), 2);
      EXPECT_EQ(ItemText(dlg, IDC_PALETTE_COUNT), count);
      // The version line speaks the interface language.
      EXPECT_EQ(ToUtf8(ItemText(dlg, IDC_PALETTE_VERSION)).rfind(russian ? "Версия: " : "Version: ", 0), 0u);
      Shot(h, "file_palette_dialog.png");
      QmFileDialogSelectFile(h, Path(dir / "d_junk.pal"));
      EXPECT_FALSE(dlg.m_paletteShown);
      EXPECT_FALSE(dlg.m_list.IsWindowVisible());
      EXPECT_EQ(dlg.m_frame.GetState(), CPreviewArea::EState::kMessage);
      SendMessage(h, WM_COMMAND, IDCANCEL, 0);
    });
    dlg.DoModal();
    // One colour in the picture: the palette scan runs to 4 files x 1 step.
    ASSERT_EQ(recorder.shown.size(), 2u);
    EXPECT_EQ(recorder.shown[0].first, 30);
    EXPECT_EQ(recorder.shown[1].first, 4);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].first.find("b_green.pal"), std::string::npos);
  }
  // One palette file: proposed without scanning.
  recorder.shown.clear();
  const std::vector<CString> one{Path(dir / "a_red.pal")};
  bool ok = false;
  CImage picture(10, 10, ok, RGB(1, 2, 3));
  EXPECT_EQ(FindBestPaletteFile(&picture, one, nullptr, &recorder), 0);
  EXPECT_TRUE(recorder.shown.empty());
  // Fewer than 50 colours: files x colours steps.
  CImage two(10, 10, ok, RGB(1, 2, 3));
  two.SetPixelRGB(0, 0, 9, 9, 9);
  std::vector<unsigned long long> scores;
  const std::vector<CString> files{Path(dir / "a_red.pal"), Path(dir / "d_junk.pal"), Path(dir / "b_green.pal")};
  EXPECT_EQ(FindBestPaletteFile(&two, files, &scores, &recorder), 2);
  EXPECT_EQ(recorder.shown.back().first, 3 * 2);
  EXPECT_EQ(scores[1], 0u);
}

TEST(FilePaletteSearch, HistogramIsSortedAndCounted) {
  bool ok = false;
  CImage picture(4, 3, ok, RGB(5, 6, 7));
  picture.SetPixelRGB(1, 1, 1, 0, 0);
  picture.SetPixelRGB(2, 1, 1, 0, 0);
  std::vector<std::pair<COLORREF, unsigned>> histogram;
  BuildColorHistogram(picture, histogram);
  ASSERT_EQ(histogram.size(), 2u);
  EXPECT_EQ(histogram[0], std::make_pair(static_cast<COLORREF>(RGB(1, 0, 0)), 2u));
  EXPECT_EQ(histogram[1], std::make_pair(static_cast<COLORREF>(RGB(5, 6, 7)), 10u));
}
