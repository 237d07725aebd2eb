#include <gtest/gtest.h>

#include <QCursor>
#include <QGuiApplication>

#include <string>
#include <vector>

#include "platform/base.h"

namespace {
struct Shown {
  std::string text, caption;
  UINT type;
};
}  // namespace

TEST(MessageBoxTest, HookAnswersAndSeesTheTexts) {
  std::vector<Shown> shown;
  SetMessageBoxHook([&](const CString& text, const CString& caption, UINT type) {
    shown.push_back({text.str(), caption.str(), type});
    return IDNO;
  });
  EXPECT_EQ(MessageBox(nullptr, "Save changes?", "Quillmere", MB_YESNOCANCEL | MB_ICONQUESTION), IDNO);
  EXPECT_EQ(MessageBox(nullptr, nullptr, nullptr, MB_OK), IDNO);
  SetMessageBoxHook(nullptr);
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0].text, "Save changes?");
  EXPECT_EQ(shown[0].caption, "Quillmere");
  EXPECT_EQ(shown[0].type, MB_YESNOCANCEL | MB_ICONQUESTION);
  EXPECT_EQ(shown[1].text, "");
  EXPECT_EQ(shown[1].caption, "Error");
}

TEST(MessageBoxTest, WithoutDisplayItAnswersTheDefaultAndPrints) {
  SetAnsiCodePage(1251);
  testing::internal::CaptureStderr();
  // "Ошибка" in Windows-1251.
  EXPECT_EQ(MessageBox(nullptr, "\xce\xf8\xe8\xe1\xea\xe0", "Quillmere", MB_YESNO | MB_DEFBUTTON2 | MB_ICONSTOP), IDNO);
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("Ошибка"), std::string::npos) << err;
  EXPECT_NE(err.find("Quillmere"), std::string::npos) << err;
  EXPECT_EQ(MessageBox(nullptr, "x", "y", 0x7), 0);  // no such button set

  struct Case {
    UINT type;
    int answer;
  };
  for (const Case c : {Case{MB_OK, IDOK}, Case{MB_OKCANCEL | MB_DEFBUTTON2, IDCANCEL},
                       Case{MB_YESNOCANCEL | MB_DEFBUTTON3, IDCANCEL}, Case{MB_YESNO | MB_DEFBUTTON3, IDYES},
                       Case{MB_ABORTRETRYIGNORE | MB_DEFBUTTON2, IDRETRY}, Case{MB_RETRYCANCEL, IDRETRY}})
    EXPECT_EQ(DefaultMessageBoxButton(c.type), c.answer) << c.type;
  EXPECT_TRUE(MessageBeep(MB_ICONQUESTION));
}

TEST(MessageBoxTest, WaitCursorNests) {
  ASSERT_EQ(QGuiApplication::overrideCursor(), nullptr);
  {
    CWaitCursor outer;
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    BeginWaitCursor();
    EXPECT_EQ(WaitCursorDepth(), 2);
    EndWaitCursor();
    EXPECT_NE(QGuiApplication::overrideCursor(), nullptr);
  }
  EXPECT_EQ(WaitCursorDepth(), 0);
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
  EndWaitCursor();  // one too many: nothing happens
  EXPECT_EQ(WaitCursorDepth(), 0);
}
