// The setup program's application object: start-up, the language guess
// from the keyboard layouts, the language dialog, the wizard, and the
// installation the finish page runs.
#pragma once

#include <string>
#include <vector>

#include "platform/wnd.h"
#include "setup/SetupPages.h"

namespace qmsetup {

// The keyboard guess: the Preload values "1" and "2" under HKEY_USERS
// ".DEFAULT\Keyboard Layout\Preload" (true when either reads 419).
bool IsRussianKeyboardPreloaded(HKEY preload);
// Writes those values from the first two layouts of XKBLAYOUT in the
// keyboard file (/etc/default/keyboard, or $QM_KEYBOARD_FILE): "ru" gives
// "00000419", other layouts their own identifiers. Nothing is written when
// the file has no layout.
void StorePreloadFromKeyboardFile();
// The layout identifier text of an XKB layout ("us" gives "00000409").
CString KeyboardLayoutId(const std::string& layout);
// The first two layouts of the XKBLAYOUT line of a keyboard file's text.
std::vector<std::string> ParseXkbLayouts(const std::string& text);

class CStartDlg : public CDialog {
 public:
  CStartDlg(bool russianGuess, CWnd* parent = nullptr);
  BOOL OnInitDialog() override;
  // The language chosen (the guess until a button is pressed).
  static bool GetChoice();

 protected:
  afx_msg void OnRussian();
  afx_msg void OnEnglish();
  DECLARE_MESSAGE_MAP()

 private:
  CColorStatic invitation_;
};

class CApp : public CWinApp {
 public:
  CApp();
  ~CApp() override;
  BOOL InitInstance() override;
  int ExitInstance() override;

  // The installation (files, program group, registry, documents folder);
  // reports its own failures except the final registry ones.
  bool Install();
  bool CopyFiles(const CString& destination);
  bool CreateProgramGroup();
  bool CreateBooksFolder();
  bool AttachSystemImageList(CImageList& list);

  CSetupPropertySheet& GetSheet() { return sheet_; }
  CImageList& GetImageList() { return imageList_; }
  HICON GetPageIcon() const { return pageIcon_; }
  HICON GetWindowIcon() const { return windowIcon_; }
  // The folder, group and finish pages while the wizard runs.
  CFolderPage_4* GetFolderPage() const;
  CGroupPage_5* GetGroupPage() const;
  CFinishPage_6* GetFinishPage() const;

 private:
  CSetupPropertySheet sheet_;
  CImageList imageList_;
  HICON pageIcon_ = nullptr;
  HICON windowIcon_ = nullptr;
  HINSTANCE pack_ = nullptr;
};

// The running setup application.
CApp* GetSetupApp();

}  // namespace qmsetup
