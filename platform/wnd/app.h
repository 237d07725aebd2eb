// The application object: start-up (InitInstance), the message loop (Run)
// with idle processing, shut-down (ExitInstance), the command line, the
// document templates and the framework's message boxes.
#pragma once

#include <memory>
#include <vector>

#include "platform/base/cstring.h"
#include "platform/wnd/window.h"

class CDocTemplate;
struct PRINTDLG;
class CDocument;

class CWinThread : public CCmdTarget {
  DECLARE_DYNAMIC(CWinThread)
 public:
  CWinThread();
  ~CWinThread() override;

  CWnd* m_pMainWnd = nullptr;
  CWnd* m_pActiveWnd = nullptr;

  virtual BOOL InitInstance();
  // The message loop until the application quits; the exit code.
  virtual int Run();
  // Offers a message to the windows from its target up, then to the main
  // window (its accelerators). TRUE when one took it.
  virtual BOOL PreTranslateMessage(MSG* pMsg);
  // Called when no message waits: lCount 0 updates the command user
  // interfaces of the main window and its bars; TRUE asks for more calls.
  virtual BOOL OnIdle(LONG lCount);
  virtual int ExitInstance();
  virtual CWnd* GetMainWnd();
  virtual BOOL IsIdleMessage(MSG* pMsg);
};

// The command line as the framework reads it.
class CCommandLineInfo : public CObject {
 public:
  enum { FileNew, FileOpen, FilePrint, FilePrintTo, FileDDE, AppUnregister, FileNothing = -1 };
  CCommandLineInfo() = default;
  virtual void ParseParam(const char* pszParam, BOOL bFlag, BOOL bLast);
  BOOL m_bShowSplash = TRUE;
  BOOL m_bRunEmbedded = FALSE;
  BOOL m_bRunAutomated = FALSE;
  int m_nShellCommand = FileNew;
  CString m_strFileName;
};

class CWinApp : public CWinThread {
  DECLARE_DYNAMIC(CWinApp)
 public:
  explicit CWinApp(LPCTSTR lpszAppName = nullptr);
  ~CWinApp() override;

  // The program's name, the module's path and the command line (the
  // arguments after the program's name, joined with blanks, in the
  // interface code page).
  LPCTSTR m_pszAppName = nullptr;
  LPCTSTR m_pszExeName = nullptr;
  LPCTSTR m_pszRegistryKey = nullptr;
  LPCTSTR m_pszProfileName = nullptr;
  HINSTANCE m_hInstance = nullptr;
  LPTSTR m_lpCmdLine = nullptr;
  int m_nCmdShow = SW_SHOWNORMAL;

  BOOL InitInstance() override;
  int Run() override;
  int ExitInstance() override;
  BOOL OnIdle(LONG lCount) override;

  // Document templates (the application owns them).
  void AddDocTemplate(CDocTemplate* pTemplate);
  POSITION GetFirstDocTemplatePosition() const;
  CDocTemplate* GetNextDocTemplate(POSITION& pos) const;
  virtual CDocument* OpenDocumentFile(LPCTSTR lpszFileName);
  void ParseCommandLine(CCommandLineInfo& rCmdInfo);
  BOOL ProcessShellCommand(CCommandLineInfo& rCmdInfo);
  // Shell registration of the document types, in the program's own store
  // (platform/base/registry.h): for every template whose document string
  // names a file-type id, HKEY_CLASSES_ROOT\<id> gets the type's name, its
  // DefaultIcon ("<program>,0") and shell\open\command ("<program>" "%1");
  // each extension of the filter that no other type claims gets the id. A
  // template without a file-type id is passed over. There is no DDE: shell
  // open only notes that it is on. The desktop's own association (a
  // .desktop entry) is the setup program's.
  void EnableShellOpen() { m_shellOpen = true; }
  void RegisterShellFileTypes(BOOL bCompat = FALSE);
  bool IsShellOpenEnabled() const { return m_shellOpen; }
  BOOL Enable3dControls() { return TRUE; }
  BOOL Enable3dControlsStatic() { return TRUE; }
  void SetRegistryKey(LPCTSTR lpszRegistryKey);
  BOOL SaveAllModified();
  void CloseAllDocuments(BOOL bEndSession);

  HICON LoadIcon(UINT nIDResource) const;
  HCURSOR LoadCursor(UINT nIDResource) const;
  HCURSOR LoadStandardCursor(LPCTSTR lpszCursorName) const;
  HICON LoadStandardIcon(LPCTSTR lpszIconName) const;

  // The default printer's settings: this layer knows no printer, so FALSE
  // (platform/wnd/commdlg.h).
  BOOL GetPrinterDeviceDefaults(PRINTDLG* pPrintDlg);

  // The framework's message boxes: caption the application's name, owner
  // the active window or the main window.
  virtual int DoMessageBox(LPCTSTR lpszPrompt, UINT nType, UINT nIDPrompt);

  afx_msg void OnFileNew();
  afx_msg void OnFileOpen();
  afx_msg void OnAppExit();

 protected:
  DECLARE_MESSAGE_MAP()

 private:
  std::vector<CDocTemplate*> m_templates;
  bool m_shellOpen = false;
  std::string m_cmdLine;
  std::string m_appName;
  std::string m_exeName;
  std::string m_registryKey;
  friend int AfxWinMain(int argc, char** argv);
};

CWinApp* AfxGetApp();
CWinThread* AfxGetThread();
CWnd* AfxGetMainWnd();
LPCTSTR AfxGetAppName();

// The framework's own texts (AFX_IDS_..., AFX_IDP_...): from the resource
// pack when it has them, otherwise built in, English or Russian by the
// interface code page.
CString AfxLoadFrameworkString(UINT id);
// "%1" and "%2" in the format replaced by the arguments.
void AfxFormatString1(CString& rString, UINT nIDS, LPCTSTR lpsz1);
void AfxFormatString2(CString& rString, UINT nIDS, LPCTSTR lpsz1, LPCTSTR lpsz2);

int AfxMessageBox(LPCTSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
int AfxMessageBox(UINT nIDPrompt, UINT nType = MB_OK, UINT nIDHelp = static_cast<UINT>(-1));

// The program's entry: makes the Qt application, runs the application
// object's InitInstance, then Run, then ExitInstance. Call it from main.
int AfxWinMain(int argc, char** argv);
