// CApp: the application object. It reads the interface language, loads the
// language resource library of the program's folder, the settings and grid
// settings, creates the single-document template (CDoc, CMainFrame,
// CTabView), shows the main window maximised, reopens a design and applies
// the user's shortcut keys. CDoc: the document of the template, which holds
// only the modified flag (the design lives in the view).
#pragma once

#include <memory>

#include "platform/wnd.h"
#include "settings/AppSettings.h"
#include "settings/GridSettings.h"

class CImage;
class CMainFrame;
class CTabView;

// Copies a command-line argument, dropping a pair of enclosing double
// quotes when the text is at least 4 characters long.
void StripQuotes(const char* text, CString& out);

class CDoc : public CDocument {
  DECLARE_DYNCREATE(CDoc)
 public:
  CDoc() = default;
  ~CDoc() override = default;
};

class CApp : public CWinApp {
 public:
  CApp();
  ~CApp() override;

  BOOL InitInstance() override;
  int ExitInstance() override;
  // The framework's message boxes take the program's title in the interface
  // language (string 57344 of the language library; before the library is
  // loaded, the built-in title of the language flag).
  int DoMessageBox(LPCTSTR lpszPrompt, UINT nType, UINT nIDPrompt) override;

  int GetMaxBeadCount() const { return m_settings.m_maxBeads; }
  void SetupMainFrame();
  CAppSettings& GetSettings() { return m_settings; }
  CGridSettings& GetGrid() { return m_grid; }
  bool IsStarting() const { return m_starting; }
  CMainFrame* GetMainFrame() const;
  CTabView* GetTabView() const;
  HINSTANCE GetResourceLibrary() const { return m_library; }
  // The about box's picture, made by the splash (owned).
  CImage* GetAboutPicture() const { return m_aboutPicture.get(); }
  void SetAboutPicture(std::unique_ptr<CImage> picture);
  // The folder where the language packs are looked for (the program's own
  // folder unless set; tests point it at the build's bin folder).
  static void SetPackFolder(const char* folder);
  // The command line used instead of the process's (tests).
  void SetCommandLine(const char* line) { m_commandLine = line ? line : ""; m_commandLineSet = true; }

 protected:
  afx_msg void OnAppAbout();
  DECLARE_MESSAGE_MAP()

 private:
  CAppSettings m_settings;
  CGridSettings m_grid;
  bool m_starting = false;
  std::unique_ptr<CImage> m_aboutPicture;
  HINSTANCE m_library = nullptr;
  // Whether start-up could read the stored settings (then it may reopen the
  // last design).
  bool m_settingsUsed = false;
  bool m_initFailed = false;
  CString m_commandLine;
  bool m_commandLineSet = false;
};

// The application object (null before it is made).
CApp* GetApp();
