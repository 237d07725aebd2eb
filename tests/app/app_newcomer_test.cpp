// What a newcomer meets, with the real application: bad design files told
// once, with their
// reason, and never the next start's design; the zoom typed into the
// toolbar's box; rulers over a design made from a picture; the size of the
// recent-design list from the start; one web address per language, and a
// page that no browser opens told to the user.
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QtGlobal>

#include <filesystem>
#include <fstream>

#include "controls/RecentFiles.h"
#include "core/Registry.h"
#include "designfile/DesignFile.h"
#include "image/Image.h"
#include "lang/ids/newcomer.h"
#include "lang/ids/shell.h"
#include "platform/base/files.h"
#include "settings/AppSettings.h"
#include "tests/app/app_fixture.h"
#include "tests/view/file_fixture.h"
#include "view/DesignIO.h"
#include "view/PreViewFileDlg.h"
#include "view/RulerBar.h"

namespace apptest {
namespace {

namespace fs = std::filesystem;
using filetest::Path;

CString OwnPath(CTabView* view) {
  CString own;
  view->GetPattern()->GetFilePath(own);
  return own;
}

class Newcomer : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    folder = qmtest::MakeTempDir(std::string("newcomer_") +
                                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
    QmSetShellExecuteHook([this](HWND, const char*, const char* file, const char*, const char*, int) {
      opened.push_back(file);
      return reinterpret_cast<HINSTANCE>(static_cast<intptr_t>(shellAnswer));
    });
  }
  void TearDown() override {
    QmSetShellExecuteHook(nullptr);
    if (View() != nullptr) {
      View()->GetPattern()->SetModified(false);
      Close();
    }
    AppTest::TearDown();
  }
  // Closes the program as the user does and starts it again.
  bool Restart(const char* commandLine = "") {
    View()->GetPattern()->SetModified(false);
    Close();
    app->ExitInstance();
    delete app;
    app = nullptr;
    boxes.clear();
    return Start(commandLine);
  }
  // A design of 40 x 30 beads (4 x 3 inches) made from a picture (the
  // picture stored with it).
  fs::path WritePictureDesign(const fs::path& path) {
    CPattern design;
    filetest::MakeDesign(design, 40, 30, 3, false);
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

  fs::path folder;
  std::vector<std::string> opened;
  intptr_t shellAnswer = 42;
};

TEST_F(Newcomer, ABadDesignIsToldOnceWithItsReasonAndIsNotTheNextStartsDesign) {
  const fs::path good = filetest::WriteDesignFile(folder / "good.qx", 6, 4);
  const auto bytes = qmtest::ReadAll(good);
  ASSERT_GT(bytes.size(), 200u);
  struct Case {
    const char* name;
    std::vector<unsigned char> contents;
    std::string reason;  // a part of the one message
  };
  std::vector<unsigned char> flipped = bytes;
  flipped[flipped.size() / 2] ^= 0x5A;
  std::vector<unsigned char> jpeg = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F', 0x00};
  jpeg.resize(600, 0x33);
  const Case cases[] = {
      {"cut.qx", std::vector<unsigned char>(bytes.begin(), bytes.begin() + static_cast<long>(bytes.size() / 2)),
       "damaged or cut short"},
      {"flipped.qx", flipped, "Invalid check sum"},
      {"photo.qx", jpeg, "Wrong file version\n<\\xFF\\xD8\\xFF\\xE0>"},
      {"empty.qx", {}, "empty or too short"},
  };
  StoreAcceptedSettings([](CAppSettings& s) { s.m_reopenLastDesign = 1; });
  ASSERT_TRUE(Start(("\"" + good.string() + "\"").c_str()));
  ASSERT_EQ(OwnPath(View()), Path(good));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path bad = folder / c.name;
    qmtest::WriteAll(bad, c.contents);
    ASSERT_TRUE(Restart(("\"" + bad.string() + "\"").c_str()));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].first.find(c.reason), std::string::npos) << boxes[0].first;
    EXPECT_NE(OwnPath(View()), Path(bad));
    // The next start opens the design that did open, without a word.
    ASSERT_TRUE(Restart());
    EXPECT_TRUE(boxes.empty()) << boxes[0].first;
    EXPECT_EQ(OwnPath(View()), Path(good));
  }
}

// The name field of the open file dialog, as the keyboard reaches it.
QLineEdit* NameField() {
  for (QWidget* w : QApplication::allWidgets())
    if (auto* edit = qobject_cast<QLineEdit*>(w); edit && edit->objectName() == "fileNameEdit" && edit->isVisible())
      return edit;
  return nullptr;
}

// Clears the field, types the text key by key, then presses Enter, in the
// dialog's active window with the keyboard focus in the field, as the user
// has it (without the focus the dialog writes the name of the file its list
// selects over the path being typed).
void TypeAndEnter(QLineEdit* field, const std::string& text) {
  field->window()->activateWindow();
  QmPumpMessages(20);
  field->setFocus(Qt::OtherFocusReason);
  EXPECT_TRUE(field->hasFocus());
  field->selectAll();
  const QString typed = QString::fromStdString(text);
  for (QChar c : typed) {
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
    QCoreApplication::sendEvent(field, &press);
    QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
    QCoreApplication::sendEvent(field, &release);
  }
  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
  QCoreApplication::sendEvent(field, &enter);
  QKeyEvent up(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
  QCoreApplication::sendEvent(field, &up);
}

// File > Open as the user works it: the name field has the focus, a full
// path (or a name in the folder shown) is typed and Enter pressed, and the
// design opens; a typed name of a bad design keeps the dialog open with the
// reason in its panel.
TEST_F(Newcomer, APathTypedIntoFileOpenOpensIt) {
  const fs::path elsewhere = folder / "elsewhere";
  fs::create_directories(elsewhere);
  const fs::path good = filetest::WriteDesignFile(elsewhere / "typed.qx", 14, 9);
  const fs::path other = filetest::WriteDesignFile(folder / "other.qx", 8, 5);
  const fs::path second = filetest::WriteDesignFile(elsewhere / "second.qx", 6, 4);
  qmtest::WriteAll(elsewhere / "broken.qx", {'n', 'o', 't', ' ', 'a', ' ', 'd', 'e', 's', 'i', 'g', 'n'});
  StoreAcceptedSettings();
  ASSERT_TRUE(Start(("\"" + other.string() + "\"").c_str()));
  ASSERT_EQ(OwnPath(View()), Path(other));
  struct Case {
    std::vector<std::string> typed;  // one after the other, each with Enter
    fs::path opened;
  };
  const Case cases[] = {
      {{good.string()}, good},
      // The dialog shows the folder of the design just opened.
      {{"broken.qx", "second.qx"}, second},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed.back());
    int dialogs = 0;
    std::vector<std::string> shown;  // the name field's text at each Enter
    qmtest::SetModalHook([&](HWND dialog) {
      ++dialogs;
      QLineEdit* name = NameField();
      ASSERT_NE(name, nullptr);
      // Each Enter but the last is refused (the dialog's modal loop goes
      // on); the last ends it once this hook returns.
      for (const std::string& typed : c.typed) {
        TypeAndEnter(name, typed);
        shown.push_back(name->text().toStdString());
        if (&typed == &c.typed.back()) break;
        // Refused: the panel says why.
        CPreViewDesignFileDlg* panel = nullptr;
        for (HWND child = ::GetWindow(dialog, GW_CHILD); child && !panel; child = ::GetWindow(child, GW_HWNDNEXT))
          panel = dynamic_cast<CPreViewDesignFileDlg*>(CWnd::FromHandlePermanent(child));
        ASSERT_NE(panel, nullptr);
        EXPECT_EQ(panel->m_preview.GetState(), CPreviewArea::EState::kMessage);
        EXPECT_TRUE(panel->m_preview.HasMessageText());
      }
    });
    Frame()->SendMessage(WM_COMMAND, ID_FILE_OPEN_DESIGN);
    QmPumpMessages(100);
    qmtest::SetModalHook(nullptr);
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(shown, c.typed);
    EXPECT_EQ(OwnPath(View()), Path(c.opened));
    EXPECT_TRUE(boxes.empty()) << boxes[0].first;
  }
}

TEST_F(Newcomer, AZoomTypedIntoTheToolbarBoxApplies) {
  const fs::path good = filetest::WriteDesignFile(folder / "zoom.qx", 20, 10);
  StoreAcceptedSettings();
  ASSERT_TRUE(Start(("\"" + good.string() + "\"").c_str()));
  ASSERT_TRUE(View()->HasPatternView());
  CComboBox* box = Frame()->GetToolbar().GetZoomCombo();
  ASSERT_NE(box, nullptr);
  // The box's text field, where the user types.
  const HWND field = ::GetWindow(box->m_hWnd, GW_CHILD);
  ASSERT_NE(field, nullptr);
  for (int zoom : {50, 5, 3000, 250}) {
    SCOPED_TRACE(zoom);
    ::SetFocus(field);
    box->SetWindowText("");
    QmSendText(field, std::to_string(zoom).c_str());
    QmSendKey(field, VK_RETURN);
    QmPumpMessages(50);
    EXPECT_EQ(View()->GetPatternZoom(), zoom);
  }
  // Out of range: the view keeps its zoom and the box shows it.
  ::SetFocus(field);
  box->SetWindowText("");
  QmSendText(field, "4");
  QmSendKey(field, VK_RETURN);
  QmPumpMessages(50);
  EXPECT_EQ(View()->GetPatternZoom(), 250);
  CString shown;
  box->GetWindowText(shown);
  EXPECT_EQ(shown, "250%");
}

TEST_F(Newcomer, RulersShowNumbersForADesignMadeFromAPicture) {
  const fs::path path = WritePictureDesign(folder / "picture.qx");
  StoreAcceptedSettings();
  ASSERT_TRUE(Start(("\"" + path.string() + "\"").c_str()));
  CTabView* view = View();
  ASSERT_TRUE(view->HasPatternView());
  ASSERT_NE(view->GetOriginalView(), nullptr);
  for (int unit = 0; unit < 4; ++unit) {
    SCOPED_TRACE(unit);
    for (CRulerBar* ruler : {&view->GetHorzRuler(), &view->GetVertRuler()}) {
      ruler->SetUnits(unit);
      ruler->Invalidate(TRUE);
      ruler->UpdateWindow();
      QmPumpMessages(20);
      EXPECT_FALSE(ruler->GetLastLayout().labels.empty());
    }
  }
}

TEST_F(Newcomer, TheRecentDesignListHasItsChosenSizeFromTheStart) {
  {
    CRecentFiles stored("RecentDesignMenu26Sept2016", ID_RECENT_DESIGN_FIRST, 16);
    bool ok = false;
    CImage picture(20, 20, ok, RGB(200, 0, 0));
    ASSERT_TRUE(ok);
    for (int i = 0; i < 6; ++i) {
      const std::string path = MakeFile("recent" + std::to_string(i) + ".qx");
      ASSERT_TRUE(stored.AddFile(path.c_str(), picture, nullptr));
    }
    ASSERT_TRUE(stored.Save());
  }
  StoreAcceptedSettings([](CAppSettings& s) { s.m_recentListSize = 2; });
  ASSERT_TRUE(Start());
  EXPECT_EQ(Frame()->GetRecentDesignList().GetCount(), 2);
}

TEST_F(Newcomer, OneWebAddressPerLanguageAndAPageThatDoesNotOpenIsTold) {
  for (bool russian : {false, true}) {
    SCOPED_TRACE(russian ? "ru" : "en");
    StoreLanguage(russian);
    StoreAcceptedSettings();
    if (app) ASSERT_TRUE(Restart());
    else ASSERT_TRUE(Start());
    CString site;
    GetWebSiteLink(site);
    opened.clear();
    shellAnswer = 42;
    Frame()->SendMessage(WM_COMMAND, ID_HELP_DOWNLOAD_DESIGN);
    QmPumpMessages(20);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].rfind(site.str(), 0), 0u) << opened[0];
    EXPECT_TRUE(boxes.empty());
    // No browser: the user is told which page did not open.
    shellAnswer = SE_ERR_NOASSOC;
    Frame()->SendMessage(WM_COMMAND, ID_HELP_DOWNLOAD_DESIGN);
    QmPumpMessages(20);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].first.find(opened.back()), std::string::npos) << boxes[0].first;
    EXPECT_NE(boxes[0].first.find(LoadResString(IDS_SHELL_OPEN_PAGE_FAILED).Left(8).str()), std::string::npos);
    boxes.clear();
  }
  StoreLanguage(false);
}

std::vector<std::string>* g_qtMessages = nullptr;
void RecordQtMessage(QtMsgType type, const QMessageLogContext&, const QString& text) {
  if (g_qtMessages && type != QtDebugMsg && type != QtInfoMsg) g_qtMessages->push_back(text.toStdString());
}

// Started with a design made from a picture, shown and closed: Qt has
// nothing to say (the control pane's group boxes and the view paint inside
// their paint events).
TEST_F(Newcomer, StartingWithADesignAndClosingPrintsNoQtWarning) {
  const fs::path path = WritePictureDesign(folder / "quiet.qx");
  StoreAcceptedSettings();
  std::vector<std::string> messages;
  g_qtMessages = &messages;
  const QtMessageHandler old = qInstallMessageHandler(RecordQtMessage);
  const bool started = Start(("\"" + path.string() + "\"").c_str());
  if (started) {
    Frame()->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    QmPumpMessages(300);
    View()->GetPattern()->SetModified(false);
    Close();
  }
  qInstallMessageHandler(old);
  g_qtMessages = nullptr;
  ASSERT_TRUE(started);
  for (const std::string& m : messages) ADD_FAILURE() << m;
}

}  // namespace
}  // namespace apptest
