// What the window tests' small programs share: a resource pack compiled
// with qmrc from a folder of scripts beside the tests, and a test base that
// starts the program in English with its message boxes recorded, then ends
// it and removes every hook a test may have left.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/base/codepage.h"
#include "platform/base/msgbox.h"
#include "platform/wnd.h"
#include "platform/wnd/host.h"

namespace wndprogram {

// tests/platform/<folder>/<en|ru>/<script>.rcs (ids in <folder>/ids)
// compiled once per run and language into a pack; null on failure.
HINSTANCE CompilePack(const std::string& folder, const std::string& script, bool russian);

// App: a CWinApp whose InitInstance makes and shows the main window. Pack:
// the program's pack of a language.
template <class App, HINSTANCE (*Pack)(bool)>
class ProgramTest : public ::testing::Test {
 protected:
  // The interface of a language: its code page and its pack.
  static void UseLanguage(bool russian) {
    SetAnsiCodePage(russian ? 1251 : 1252);
    AfxSetResourceHandle(Pack(russian));
  }
  void SetUp() override {
    ASSERT_NE(Pack(false), nullptr) << "the test pack could not be compiled";
    UseLanguage(false);
    SetMessageBoxHook([this](const CString& text, const CString&, UINT type) {
      boxes.emplace_back(text.str(), type);
      return boxAnswer;
    });
    app = new App;
    ASSERT_TRUE(app->InitInstance());
    QmPumpMessages();
  }
  void TearDown() override {
    QmSetModalHook(nullptr);
    QmSetPopupMenuHook(nullptr);
    if (app) {
      if (app->m_pMainWnd && app->m_pMainWnd->m_hWnd) app->m_pMainWnd->DestroyWindow();
      QmPumpMessages();
      delete app;
      app = nullptr;
    }
    QmPumpMessages();
    SetMessageBoxHook(nullptr);
    UseLanguage(false);
  }

  App* app = nullptr;
  std::vector<std::pair<std::string, UINT>> boxes;  // message boxes asked
  int boxAnswer = IDOK;
};

}  // namespace wndprogram
