// The bead-size preference page and the bead parameters dialog.
#include <gtest/gtest.h>

#include <vector>

#include "app/prefs/BeadSizeDlg.h"
#include "core/FrameServices.h"
#include "lang/ids/controls.h"
#include "platform/base/msgbox.h"
#include "platform/wnd/host.h"
#include "tests/common/test_util.h"
#include "tests/common/modal_hook.h"

namespace {

int g_messagesShown = 0;

class CHostWindow : public CWnd {
 public:
  CHostWindow() {
    CreateEx(0, AfxRegisterWndClass(0), "Preferences", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 600, 400, nullptr,
             nullptr);
  }
  ~CHostWindow() override { DestroyWindow(); }
};

// Messages shown, by text.
struct MessageLog {
  MessageLog() {
    SetMessageBoxHook([this](const CString& text, const CString&, UINT type) {
      ++g_messagesShown;
      texts.push_back(text);
      types.push_back(type);
      return IDOK;
    });
  }
  ~MessageLog() { SetMessageBoxHook(nullptr); }
  std::vector<CString> texts;
  std::vector<UINT> types;
};

class BeadSizePage : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(pack_.Loaded());
    settings_.SetDefaults();
    SetAppSettings(&settings_);
  }
  void TearDown() override {
    qmtest::SetModalHook(nullptr);
    SetAppSettings(nullptr);
  }
  // Answers the next bead parameters dialog with the texts, then presses OK
  // (and Cancel when OK leaves it open).
  void AnswerWith(const char* name, const char* width, const char* height) {
    qmtest::SetModalHook([=, this](HWND dialog) {
      CWnd* d = CWnd::FromHandle(dialog);
      shownWidth_.Empty();
      d->GetDlgItemText(IDC_BEAD_WIDTH, shownWidth_);
      d->SetDlgItemText(IDC_BEAD_NAME, name);
      d->SetDlgItemText(IDC_BEAD_WIDTH, width);
      d->SetDlgItemText(IDC_BEAD_HEIGHT, height);
      const int shown = g_messagesShown;
      d->SendMessage(WM_COMMAND, IDOK, 0);
      if (g_messagesShown != shown) {  // refused: the dialog stays open
        focusAfterOk_ = ::GetDlgCtrlID(::GetFocus());
        d->SendMessage(WM_COMMAND, IDCANCEL, 0);
      }
    });
  }
  qmtest::LanguagePack pack_{false};
  CAppSettings settings_;
  CString shownWidth_;
  int focusAfterOk_ = 0;
};

}  // namespace

TEST_F(BeadSizePage, FillsFromTheSettings) {
  CHostWindow host;
  CBeadSizeDlg page(&host);
  ASSERT_TRUE(page.CreatePage(&host));
  // A pop-up template, made a child of the window that holds the pages.
  EXPECT_EQ(page.GetStyle(), static_cast<DWORD>(WS_CHILD));
  ASSERT_NE(page.GetParent(), nullptr);
  EXPECT_EQ(page.GetParent()->m_hWnd, host.m_hWnd);
  CListCtrl& list = page.GetList();
  ASSERT_EQ(list.GetItemCount(), 21);
  EXPECT_EQ(list.GetItemText(0, 0), "1");
  EXPECT_EQ(list.GetItemText(0, 1), "0.50000");
  EXPECT_EQ(list.GetItemText(2, 1), "0.33333");  // 1/3 inch through five decimals
  EXPECT_EQ(list.GetItemText(10, 2), "0.06667");
  EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 0);
  HDITEM item{};
  char title[64] = {};
  item.mask = HDI_TEXT;
  item.pszText = title;
  item.cchTextMax = sizeof(title);
  list.GetHeaderCtrl()->GetItem(1, &item);
  EXPECT_STREQ(title, "Width (inches)");
  // The OK and Cancel of a page template are hidden (this one has none).
  CBeadSize row;
  ASSERT_TRUE(page.ReadRow(2, row));
  EXPECT_FLOAT_EQ(row.width, 0.33333f);
  // Applying without a change gives the presets as read back from the texts.
  page.Apply();
  EXPECT_FLOAT_EQ(settings_.m_beadSizes[2].width, 0.33333f);
  EXPECT_EQ(settings_.m_beadSizes.size(), 21u);
}

TEST_F(BeadSizePage, AddInsertsAtTheSelection) {
  CHostWindow host;
  CBeadSizeDlg page(&host);
  ASSERT_TRUE(page.CreatePage(&host));
  CListCtrl& list = page.GetList();
  list.SetItemState(0, 0, LVIS_SELECTED);
  list.SetItemState(3, LVIS_SELECTED, LVIS_SELECTED);
  AnswerWith("x", "0.1", "0.1");
  page.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_BEADSIZE_ADD, BN_CLICKED), 0);
  ASSERT_EQ(list.GetItemCount(), 22);
  EXPECT_EQ(list.GetItemText(3, 0), "x");
  EXPECT_EQ(list.GetItemText(3, 1), "0.10000");
  EXPECT_EQ(list.GetItemText(4, 0), "4");  // the old row 3 moved down
  EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 3);
  EXPECT_EQ(settings_.m_beadSizes.size(), 21u);  // only Apply stores
  page.Apply();
  EXPECT_EQ(settings_.m_beadSizes[3].name, "x");

  // Edit shows the width as the exchange writes it: 0.50000 as 0.5.
  list.SetItemState(3, 0, LVIS_SELECTED);
  list.SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
  AnswerWith("big", "0.25", "0.3");
  page.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_BEADSIZE_EDIT, BN_CLICKED), 0);
  EXPECT_EQ(shownWidth_, "0.5");
  EXPECT_EQ(list.GetItemText(0, 0), "big");
  EXPECT_EQ(list.GetItemText(0, 2), "0.30000");
}

TEST_F(BeadSizePage, DeleteAllThenApplyKeepsTheSettings) {
  CHostWindow host;
  CBeadSizeDlg page(&host);
  ASSERT_TRUE(page.CreatePage(&host));
  CListCtrl& list = page.GetList();
  while (list.GetItemCount() > 0) {
    list.SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
    page.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_BEADSIZE_DELETE, BN_CLICKED), 0);
  }
  // Without a selection Edit and Delete only beep.
  page.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_BEADSIZE_DELETE, BN_CLICKED), 0);
  const std::vector<CBeadSize> before = settings_.m_beadSizes;
  MessageLog log;
  page.Apply();
  ASSERT_EQ(log.texts.size(), 1u);
  EXPECT_EQ(log.texts[0], "Empty Bead List");
  EXPECT_EQ(log.types[0] & 0xF0, kMbIconStop);
  EXPECT_EQ(settings_.m_beadSizes, before);

  // "By default..." restores the presets at once, without Apply.
  settings_.m_beadSizes.resize(2);
  page.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_BEADSIZE_DEFAULT, BN_CLICKED), 0);
  EXPECT_EQ(settings_.m_beadSizes.size(), 21u);
  EXPECT_EQ(list.GetItemCount(), 21);
}

TEST_F(BeadSizePage, ParamDialogChecksInOrder) {
  CHostWindow host;
  struct Case {
    const char *name, *width, *height;
    const char* message;
    int focus;
  };
  const Case cases[] = {
      {"", "0", "0", "Wrong bead width", IDC_BEAD_WIDTH},
      {"", "0.1", "0", "Wrong bead height", IDC_BEAD_HEIGHT},
      {"", "0.1", "0.2", "Wrong Bead Name", IDC_BEAD_NAME},
      {"a", "-1", "0.2", "Wrong bead width", IDC_BEAD_WIDTH},
  };
  for (const Case& c : cases) {
    CBeadSize size;
    MessageLog log;
    AnswerWith(c.name, c.width, c.height);
    CBeadParamDlg dialog(size, &host);
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    ASSERT_EQ(log.texts.size(), 1u) << c.width;
    EXPECT_EQ(log.texts[0], c.message);
    EXPECT_EQ(focusAfterOk_, c.focus);
  }
  CBeadSize size;
  MessageLog log;
  AnswerWith("q", "0.33333", "0.12");
  CBeadParamDlg dialog(size, &host);
  EXPECT_EQ(dialog.DoModal(), IDOK);
  EXPECT_TRUE(log.texts.empty());
  EXPECT_EQ(size.name, "q");
  EXPECT_FLOAT_EQ(size.width, 0.33333f);
}
