// Designs in and out of the running program: started with a design path,
// edited and saved, reopened; Save As and its questions; a save that fails
// half-way; zip archives, corrupt, older and imported files through the
// frame's commands; the exports and the clipboard. File dialogs are answered
// through the modal hook, the shell's "open" through its hook.
#include <filesystem>

#include "core/FileUtils.h"
#include "design/Pattern.h"
#include "designfile/DesignFile.h"
#include "designfile/DesignFileStream.h"
#include "designfile/DesignRead.h"
#include "image/Image.h"
#include "image/ImageView.h"
#include "lang/ids/shell.h"
#include "palette/ColorSet.h"
#include "platform/base/files.h"
#include "settings/AppSettings.h"
#include "tests/app/app_fixture.h"
#include "tests/designfile/designfile_builders.h"
#include "tests/view/file_fixture.h"
#include "tests/view/view_test_util.h"
#include "view/DesignIO.h"
#include "view/ToolDialogs.h"

namespace apptest {
namespace {

namespace fs = std::filesystem;
using filetest::ListFolder;
using filetest::Path;
using filetest::WriteZip;

CString OwnPath(CTabView* view) {
  CString own;
  view->GetPattern()->GetFilePath(own);
  return own;
}

std::vector<std::string> RecentPaths(CMainFrame* frame) {
  std::vector<std::string> paths;
  const CRecentFiles& recent = frame->GetRecentDesignList();
  for (int i = 0; i < recent.GetCount(); ++i) paths.push_back(recent.GetEntry(i).path.str());
  return paths;
}

class AppFileTest : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    folder = qmtest::MakeTempDir(std::string("appfile_") +
                                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
    // Questions get the test's answer, every other box OK.
    SetMessageBoxHook([this](const CString& text, const CString&, UINT type) {
      boxes.emplace_back(text.str(), type);
      const UINT buttons = type & 0x0F;
      return buttons == MB_YESNO || buttons == MB_YESNOCANCEL ? yesNo : IDOK;
    });
    QmSetShellExecuteHook([this](HWND, const char* operation, const char* file, const char*, const char*, int) {
      opened.push_back(std::string(operation) + " " + file);
      return reinterpret_cast<HINSTANCE>(static_cast<intptr_t>(42));
    });
  }
  void TearDown() override {
    SetDesignFileWriteLimit(-1);
    QmSetShellExecuteHook(nullptr);
    if (View() != nullptr) {
      View()->SetToolSource(nullptr);
      // Closed as the user closes it: the unpacked pictures go.
      View()->GetPattern()->SetModified(false);
      Close();
    }
    AppTest::TearDown();
  }

  // A design of 8 x 6 beads with a palette of three colours, PDF settings
  // and an original picture stored from the file p.bmp.
  fs::path WriteRichDesign(const fs::path& path) {
    CPattern design;
    filetest::MakeDesign(design, 8, 6, 3, false);
    design.m_pdfData.m_title = "Chart title";
    CColorSet palette;
    filetest::MakePalette(palette, 3);
    bool ok = false;
    CImage picture(40, 30, ok, RGB(10, 200, 30));
    EXPECT_TRUE(ok);
    EXPECT_TRUE(picture.SaveFile(Path(folder / "p.bmp")));
    CString picturePath = Path(folder / "p.bmp"), written, message;
    EXPECT_TRUE(SaveDesignForView(Path(path), design, palette, "my.pal", picturePath, nullptr, written, message))
        << message.GetString();
    return path;
  }

  // Runs the command with every file dialog answered by typing the name
  // (or selecting the file) and pressing OK; the dialogs' count comes back.
  int RunWithFileDialog(UINT command, const std::string& name, bool select = false) {
    int dialogs = 0;
    qmtest::SetModalHook([&](HWND h) {
      ++dialogs;
      if (select)
        EXPECT_TRUE(QmFileDialogSelectFile(h, name.c_str()));
      else
        EXPECT_TRUE(QmFileDialogTypeName(h, name.c_str()));
      SendMessage(h, WM_COMMAND, IDOK, 0);
    });
    Frame()->SendMessage(WM_COMMAND, command);
    QmPumpMessages(200);
    qmtest::SetModalHook(nullptr);
    return dialogs;
  }

  bool BoxWith(const std::string& part) const { return BoxShown(part); }

  fs::path folder;
  int yesNo = IDYES;
  std::vector<std::string> opened;
};

TEST_F(AppFileTest, StartedWithADesignEditedSavedAndReopened) {
  const fs::path path = WriteRichDesign(folder / "rich.qx");
  const auto pictureBytes = qmtest::ReadAll(folder / "p.bmp");
  StoreAcceptedSettings();
  ASSERT_TRUE(Start(("\"" + path.string() + "\"").c_str()));
  CTabView* view = View();
  ASSERT_NE(view, nullptr);
  ASSERT_TRUE(view->HasPatternView()) << (boxes.empty() ? "" : boxes[0].first);
  EXPECT_EQ(OwnPath(view), Path(path));
  ASSERT_FALSE(view->GetOriginalPath().IsEmpty());
  EXPECT_EQ(qmtest::ReadAll(view->GetOriginalPath().GetString()), pictureBytes);

  // A pencil edit in the view, then the frame's Save.
  PencilPane pane;
  view->SetToolSource(&pane);
  view->Invalidate(TRUE);
  view->UpdateWindow();
  QmPumpMessages(200);
  POINT cell{0, 0};
  SIZE size;
  view->GetPattern()->MapCellToImage(2, 4, view->GetPatternView()->GetDrawnRect(), cell, size, false);
  QmSendMouse(view->m_hWnd, WM_LBUTTONDOWN, cell, MK_LBUTTON);
  QmSendMouse(view->m_hWnd, WM_LBUTTONUP, cell, 0);
  QmPumpMessages(100);
  ASSERT_EQ(ColorAt(view, 4, 2), 2);
  ASSERT_TRUE(view->GetPattern()->IsModified());
  const auto beads = view->GetPattern()->m_beads;
  const CPdfData pdf = view->GetPattern()->m_pdfData;
  std::vector<std::pair<COLORREF, std::string>> colours;
  for (int i = 0; i < view->GetColorSet()->GetCount(); ++i)
    colours.emplace_back(view->GetColorSet()->GetColorrefAt(i), view->GetColorSet()->GetColor(i)->mfgName.str());
  ASSERT_EQ(colours.size(), 3u);

  Frame()->SendMessage(WM_COMMAND, ID_FILE_SAVE_DESIGN);
  QmPumpMessages(100);
  EXPECT_TRUE(boxes.empty()) << boxes[0].first;
  EXPECT_FALSE(view->GetPattern()->IsModified());
  EXPECT_EQ(VerifyDesignChecksum(kDesignChecksumMarker, Path(path)), 0);
  ASSERT_FALSE(RecentPaths(Frame()).empty());
  EXPECT_EQ(RecentPaths(Frame())[0], path.string());

  // Something else in the view, then the design again from the recent list.
  *view->GetPattern() = viewtest::MakeDesign(2, 2);
  view->GetPattern()->SetModified(false);
  Frame()->SendMessage(WM_COMMAND, Frame()->GetRecentDesignList().GetFirstCommand());
  QmPumpMessages(100);
  EXPECT_EQ(OwnPath(view), Path(path));
  EXPECT_TRUE(view->GetPattern()->m_beads == beads);
  EXPECT_EQ(ColorAt(view, 4, 2), 2);
  EXPECT_TRUE(view->GetPattern()->m_pdfData == pdf);
  ASSERT_EQ(view->GetColorSet()->GetCount(), 3);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(view->GetColorSet()->GetColorrefAt(i), colours[static_cast<size_t>(i)].first);
    EXPECT_EQ(view->GetColorSet()->GetColor(i)->mfgName.str(), colours[static_cast<size_t>(i)].second);
  }
  CString palettePath;
  view->GetPaletteFilePath(palettePath);
  EXPECT_EQ(palettePath, "my.pal");
  EXPECT_EQ(qmtest::ReadAll(view->GetOriginalPath().GetString()), pictureBytes);
  EXPECT_TRUE(boxes.empty());
}

TEST_F(AppFileTest, SaveAsMakesAQxFileAndAsksBeforeReplacingAnotherDesign) {
  StoreAcceptedSettings();
  ASSERT_TRUE(Start());
  CTabView* view = View();
  ASSERT_NE(view, nullptr);
  *view->GetPattern() = viewtest::MakeDesign(3, 2);
  view->GetPattern()->m_blank = 1;  // no original picture to store
  view->SetColorSet(viewtest::MakePalette({RGB(200, 40, 40), RGB(40, 200, 40)}), "two.pal");
  view->GetPattern()->SetModified(true);
  view->OnPatternChanged(false);

  // "x.txt" is written as "x.qx"; the dialog asked whether to create it.
  EXPECT_EQ(RunWithFileDialog(ID_FILE_SAVE_DESIGN_AS, (folder / "x.txt").string()), 1);
  EXPECT_TRUE(fs::exists(folder / "x.qx"));
  EXPECT_FALSE(fs::exists(folder / "x.txt"));
  EXPECT_TRUE(BoxWith("Do you want to create it?"));
  EXPECT_EQ(OwnPath(view), Path(folder / "x.qx"));
  EXPECT_EQ(GetAppSettings().m_lastDesign, Path(folder / "x.qx"));
  EXPECT_EQ(VerifyDesignChecksum(kDesignChecksumMarker, Path(folder / "x.qx")), 0);

  // Over another design: asked first; No keeps that file.
  const auto other = qmtest::ReadAll(filetest::WriteDesignFile(folder / "other.qx"));
  view->GetPattern()->SetModified(true);
  boxes.clear();
  yesNo = IDNO;
  EXPECT_EQ(RunWithFileDialog(ID_FILE_SAVE_DESIGN_AS, (folder / "other.qx").string()), 1);
  EXPECT_TRUE(BoxWith("other.qx already exists"));
  EXPECT_EQ(qmtest::ReadAll(folder / "other.qx"), other);
  EXPECT_EQ(OwnPath(view), Path(folder / "x.qx"));
  EXPECT_TRUE(view->GetPattern()->IsModified());
  // Yes replaces it, and the design lives there from now on.
  boxes.clear();
  yesNo = IDYES;
  RunWithFileDialog(ID_FILE_SAVE_DESIGN_AS, (folder / "other.qx").string());
  EXPECT_TRUE(BoxWith("other.qx already exists"));
  EXPECT_NE(qmtest::ReadAll(folder / "other.qx"), other);
  EXPECT_EQ(OwnPath(view), Path(folder / "other.qx"));
  EXPECT_FALSE(view->GetPattern()->IsModified());
  // The design's own file is saved over without a question.
  boxes.clear();
  view->GetPattern()->SetModified(true);
  RunWithFileDialog(ID_FILE_SAVE_DESIGN_AS, (folder / "other.qx").string());
  EXPECT_TRUE(boxes.empty()) << boxes[0].first;
  EXPECT_FALSE(view->GetPattern()->IsModified());
}

TEST_F(AppFileTest, ASaveFailingHalfWayKeepsTheOldFileAndTheRecentList) {
  const fs::path path = WriteRichDesign(folder / "keep.qx");
  StoreAcceptedSettings();
  ASSERT_TRUE(Start());
  CTabView* view = View();
  ASSERT_TRUE(view->OpenDesignFile(Path(filetest::WriteDesignFile(folder / "first.qx"))));
  ASSERT_TRUE(view->OpenDesignFile(Path(path)));
  const auto before = qmtest::ReadAll(path);
  const auto recent = RecentPaths(Frame());
  view->GetPattern()->GetBeadAt(1, 1)->SetColorIndex(2);
  view->GetPattern()->SetModified(true);
  SetDesignFileWriteLimit(300);
  Frame()->SendMessage(WM_COMMAND, ID_FILE_SAVE_DESIGN);
  SetDesignFileWriteLimit(-1);
  QmPumpMessages(100);
  EXPECT_TRUE(BoxWith("Failed to save the design\n"));
  EXPECT_EQ(qmtest::ReadAll(path), before);
  EXPECT_TRUE(view->GetPattern()->IsModified());
  EXPECT_EQ(RecentPaths(Frame()), recent);
  EXPECT_EQ(ListFolder(folder), (std::vector<std::string>{"first.qx", "keep.qx", "p.bmp"}));
}

TEST_F(AppFileTest, ZipArchivesOpenThroughTheViewAndHostileOnesChangeNothing) {
  const auto zipped = qmtest::ReadAll(filetest::WriteDesignFile(folder / "src.qx", 4, 3));
  fs::remove(folder / "src.qx");
  const fs::path dir = folder / "zips";
  fs::create_directories(dir);
  // On the command line (the design dialog shows and accepts designs
  // only): a design without a path, the archive as the last design and in
  // the recent list, the unpacked file gone.
  WriteZip(dir / "a.zip", {{"docs/readme.txt", {1, 2, 3}}, {"x.qx", zipped}});
  StoreAcceptedSettings();
  ASSERT_TRUE(Start(("\"" + (dir / "a.zip").string() + "\"").c_str()));
  CTabView* view = View();
  EXPECT_TRUE(boxes.empty()) << boxes[0].first;
  EXPECT_EQ(view->GetPattern()->GetColumnCount(), 4u);
  EXPECT_TRUE(OwnPath(view).IsEmpty());
  EXPECT_EQ(GetAppSettings().m_lastDesign, Path(dir / "a.zip"));
  EXPECT_EQ(RecentPaths(Frame())[0], (dir / "a.zip").string());
  EXPECT_EQ(ListFolder(dir), std::vector<std::string>{"a.zip"});

  // With x.qx beside it the entry goes to x1.qx: x.qx is neither read nor
  // touched.
  const auto besides = qmtest::ReadAll(filetest::WriteDesignFile(dir / "x.qx", 5, 5));
  ASSERT_TRUE(view->OpenDesignFile(Path(dir / "a.zip")));
  EXPECT_EQ(view->GetPattern()->GetColumnCount(), 4u);
  EXPECT_EQ(qmtest::ReadAll(dir / "x.qx"), besides);
  EXPECT_EQ(ListFolder(dir), (std::vector<std::string>{"a.zip", "x.qx"}));
  fs::remove(dir / "x.qx");

  // Entries that climb out land in the archive's folder only.
  const auto outside = ListFolder(folder);
  for (const char* name : {"../x.qx", "a/../../x.qx"}) {
    SCOPED_TRACE(name);
    WriteZip(dir / "climb.zip", {{name, zipped}});
    view->OpenDesignFile(Path(dir / "climb.zip"));
    EXPECT_EQ(ListFolder(folder), outside);
    EXPECT_EQ(ListFolder(dir), (std::vector<std::string>{"a.zip", "climb.zip"}));
  }

  // No design entry, or one declaring more than 1 GiB: the view as it was.
  ASSERT_TRUE(view->OpenDesignFile(Path(filetest::WriteDesignFile(folder / "shown.qx", 6, 2))));
  const auto beads = view->GetPattern()->m_beads;
  WriteZip(dir / "none.zip", {{"readme.txt", {1}}});
  WriteZip(dir / "huge.zip", {{"h.qx", zipped, (1LL << 30) + 1}});
  for (const char* name : {"none.zip", "huge.zip"}) {
    SCOPED_TRACE(name);
    boxes.clear();
    EXPECT_FALSE(view->OpenDesignFile(Path(dir / name)));
    EXPECT_TRUE(BoxWith(name));
    EXPECT_TRUE(view->GetPattern()->m_beads == beads);
    EXPECT_EQ(OwnPath(view), Path(folder / "shown.qx"));
    EXPECT_TRUE(view->HasPatternView());
  }
  EXPECT_EQ(ListFolder(dir), (std::vector<std::string>{"a.zip", "climb.zip", "huge.zip", "none.zip"}));
}

TEST_F(AppFileTest, CorruptOlderAndImportedFiles) {
  StoreAcceptedSettings();
  ASSERT_TRUE(Start());
  CTabView* view = View();

  // A wrong trailer: message 199, the file stays in the recent list and
  // the view keeps what it showed.
  const fs::path wrong = filetest::WriteDesignFile(folder / "w.qx", 4, 3);
  ASSERT_TRUE(view->OpenDesignFile(Path(wrong)));
  ASSERT_TRUE(view->OpenDesignFile(Path(filetest::WriteDesignFile(folder / "good.qx", 7, 2))));
  auto bytes = qmtest::ReadAll(wrong);
  bytes[40] ^= 0x55;
  qmtest::WriteAll(wrong, bytes);
  Frame()->SendMessage(WM_COMMAND, Frame()->GetRecentDesignList().GetFirstCommand() + 1);
  QmPumpMessages(100);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].first, "The design file is corrupt.\nInvalid check sum has been found.");
  const auto recent = RecentPaths(Frame());
  EXPECT_NE(std::find(recent.begin(), recent.end(), wrong.string()), recent.end());
  EXPECT_EQ(view->GetPattern()->GetColumnCount(), 7u);
  EXPECT_EQ(OwnPath(view), Path(folder / "good.qx"));

  // A version-2 file is saved at once in the current form.
  dftest::FixtureDesign f;
  f.blank = true;
  const fs::path v2 = folder / "v2.qx";
  qmtest::WriteAll(v2, dftest::WithTrailer(dftest::CurrentFile("FaldrenwickPro Design: 12 Nov 2007", 2, f)));
  boxes.clear();
  ASSERT_TRUE(view->OpenDesignFile(Path(v2)));
  QmPumpMessages(200);
  EXPECT_TRUE(boxes.empty()) << boxes[0].first;
  EXPECT_FALSE(view->GetPattern()->IsModified());
  CDesignForView again;
  CString message;
  ASSERT_EQ(ReadDesignForView(Path(v2), again, message, nullptr), kDesignOpenOk) << message.GetString();
  EXPECT_FALSE(again.saveNow);
  EXPECT_GT(again.contents.version, 2);

  // The other product's file through File > Import. Saving it writes the
  // design file beside it, and asks before replacing one that is there.
  dftest::FixtureDesign g;
  const fs::path fw = folder / "other.fw";
  qmtest::WriteAll(fw, dftest::WithTrailer(dftest::OlderFile("Trn 5.5.1,14Aug16, (C) Corvandelle", 16, g)));
  const auto keep = qmtest::ReadAll(filetest::WriteDesignFile(folder / "other.qx"));
  boxes.clear();
  EXPECT_EQ(RunWithFileDialog(ID_FILE_IMPORT, fw.string(), true), 1);
  EXPECT_TRUE(boxes.empty()) << boxes[0].first;
  EXPECT_EQ(view->GetPattern()->GetColumnCount(), 3u);
  EXPECT_NE(view->GetOriginalView(), nullptr);
  EXPECT_EQ(GetAppSettings().m_lastDesign, Path(fw));
  yesNo = IDNO;
  Frame()->SendMessage(WM_COMMAND, ID_FILE_SAVE_DESIGN);
  EXPECT_TRUE(BoxWith("other.qx already exists"));
  EXPECT_EQ(qmtest::ReadAll(folder / "other.qx"), keep);
  boxes.clear();
  yesNo = IDYES;
  Frame()->SendMessage(WM_COMMAND, ID_FILE_SAVE_DESIGN);
  EXPECT_TRUE(BoxWith("other.qx already exists"));
  EXPECT_EQ(OwnPath(view), Path(folder / "other.qx"));
  ASSERT_TRUE(view->OpenDesignFile(Path(folder / "other.qx")));
  EXPECT_EQ(view->GetPattern()->GetColumnCount(), 3u);
  EXPECT_NE(view->GetOriginalView(), nullptr);
}

TEST_F(AppFileTest, ExportsAndTheClipboardFromTheFrameAndTheView) {
  const fs::path path = WriteRichDesign(folder / "rich.qx");
  StoreAcceptedSettings();
  ASSERT_TRUE(Start());
  CTabView* view = View();
  ASSERT_TRUE(view->OpenDesignFile(Path(path)));
  QmPumpMessages(100);

  // The clipboard gives back the design picture.
  Frame()->SendMessage(WM_COMMAND, ID_FILE_COPY_TO_CLIPBOARD);
  bool ok = false;
  CImage clip(ok);
  ASSERT_TRUE(ok);
  const CImageView* picture = view->GetPatternView();
  ASSERT_EQ(clip.GetWidth(), picture->GetWidth());
  ASSERT_EQ(clip.GetHeight(), picture->GetHeight());
  for (int y = 0; y < clip.GetHeight(); y += 7)
    for (int x = 0; x < clip.GetWidth(); x += 5) {
      COLORREF a = 0, b = 0;
      ASSERT_TRUE(clip.GetPixelColor(x, y, a));
      ASSERT_TRUE(picture->GetPixelColor(x, y, b));
      ASSERT_EQ(a, b) << x << "," << y;
    }

  // The beaded image: the name typed without an extension gets the type's;
  // the shell opens it.
  opened.clear();
  EXPECT_EQ(RunWithFileDialog(ID_FILE_EXPORT_PICTURE, (folder / "beaded").string()), 1);
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0], "open " + (folder / "beaded.jpg").string());
  CImage beaded(Path(folder / "beaded.jpg"), ok);
  EXPECT_TRUE(ok);

  // The palette as .pal: read back the same.
  qmtest::SetModalHook([&](HWND h) {
    EXPECT_TRUE(QmFileDialogTypeName(h, (folder / "saved").string().c_str()));
    SendMessage(h, WM_COMMAND, IDOK, 0);
  });
  view->SavePaletteAs();
  CColorSet reloaded;
  CString reason;
  ASSERT_TRUE(reloaded.LoadPaletteFile(Path(folder / "saved.pal"), reason)) << reason.GetString();
  ASSERT_EQ(reloaded.GetCount(), view->GetColorSet()->GetCount());
  for (int i = 0; i < reloaded.GetCount(); ++i) {
    EXPECT_EQ(reloaded.GetColorrefAt(i), view->GetColorSet()->GetColorrefAt(i));
    EXPECT_EQ(reloaded.GetColor(i)->mfgName, view->GetColorSet()->GetColor(i)->mfgName);
  }
  // In XML: opened by the shell.
  opened.clear();
  qmtest::SetModalHook([&](HWND h) {
    EXPECT_TRUE(QmFileDialogTypeName(h, (folder / "colours").string().c_str()));
    SendMessage(h, WM_COMMAND, IDOK, 0);
  });
  view->ExportPaletteXml();
  EXPECT_TRUE(fs::exists(folder / "colours.xml"));
  EXPECT_EQ(opened, std::vector<std::string>{"open " + (folder / "colours.xml").string()});
  // The original picture at its own size as PNG (the second type).
  opened.clear();
  qmtest::SetModalHook([&](HWND h) {
    EXPECT_TRUE(QmFileDialogChooseFilter(h, 2));
    EXPECT_TRUE(QmFileDialogTypeName(h, (folder / "original").string().c_str()));
    SendMessage(h, WM_COMMAND, IDOK, 0);
  });
  view->SaveOriginalImageAs();
  qmtest::SetModalHook(nullptr);
  CImage original(Path(folder / "original.png"), ok);
  ASSERT_TRUE(ok);
  EXPECT_EQ(original.GetWidth(), 40);
  EXPECT_EQ(original.GetHeight(), 30);
  EXPECT_EQ(opened, std::vector<std::string>{"open " + (folder / "original.png").string()});
  EXPECT_FALSE(BoxWith("Failed"));
}

}  // namespace
}  // namespace apptest
