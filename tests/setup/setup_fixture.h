// The setup tests' fixture: a temporary home with every XDG variable
// pointed into it (nothing touches the real user's folders or /usr), the
// built VelloranSetup as the payload, and a driver that runs the real setup
// application in-process, answering its dialogs and message boxes.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "setup/SetupApp.h"

namespace setuptest {

namespace fs = std::filesystem;

// The home of the current test, made fresh by SetupTest::SetUp.
struct Home {
  fs::path root;       // $HOME
  fs::path dataHome;   // $XDG_DATA_HOME
  fs::path configHome; // $XDG_CONFIG_HOME
  fs::path systemData; // the first folder of $XDG_DATA_DIRS
  fs::path desktop;    // the desktop folder
  fs::path documents;  // the documents folder
};

// The built setup program (its payload) and the folder of its data files.
fs::path SetupProgram();
fs::path PayloadFolder();

// Text in the setup's code page from UTF-8, and back.
CString Cp(const std::string& utf8);
std::string Utf8(const CString& text);

struct Box {
  std::string text;  // UTF-8
  UINT type;
};

class SetupTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Runs the setup: the start dialog is answered with the language (or
  // closed when closeStart), then drive works the wizard and must end it.
  // Message boxes are recorded and answered with boxAnswer (or answerBox
  // when set).
  void RunSetup(bool russian, const std::function<void(qmsetup::CApp& app, CPropertySheet& sheet)>& drive,
                bool closeStart = false);

  // Wizard helpers.
  static void Press(CPropertySheet& sheet, UINT id);
  static bool ButtonVisible(CPropertySheet& sheet, UINT id);
  static bool ButtonEnabled(CPropertySheet& sheet, UINT id);
  static std::string ButtonText(CPropertySheet& sheet, UINT id);
  static void Click(CWnd* page, UINT id);
  // Welcome and agreement pages passed, ready on the folder page.
  static void ToFolderPage(CPropertySheet& sheet);
  // Goes from the folder page with this folder to the finish page.
  void ToFinishPage(CPropertySheet& sheet, const fs::path& folder);

  bool BoxShown(const std::string& part) const;

  Home home;
  std::vector<Box> boxes;
  int boxAnswer = IDYES;
  std::function<int(const std::string& text, UINT type)> answerBox;
  std::vector<std::string> launched;  // ShellExecute files
  std::function<void(HWND)> nestedModal;  // the folder browser
  bool startShown = false;
  DWORD languageDuringStart = 0xFFFFFFFF;
};

// Whether two files hold the same bytes.
bool SameBytes(const fs::path& a, const fs::path& b);

// A copy of the built setup in dir with one byte of entry id's data
// changed, or (cut) its last 100000 bytes cut off (the archive's
// directory and the last entries).
fs::path DamagedSetup(const fs::path& dir, UINT id, bool cut);

// Runs a program with arguments; its exit code, or -1. Output goes to
// outFile when given.
int RunProgram(const std::vector<std::string>& argv, std::string* output = nullptr);

}  // namespace setuptest
