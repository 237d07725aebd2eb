#include "app/App.h"

#include "app/AboutDlg.h"
#include "app/ViewDialogs.h"
#include "app/MainFrm.h"
#include "controls/AccelTable.h"
#include "core/FileUtils.h"
#include "core/FrameServices.h"
#include "core/Registry.h"
#include "dialogs/SelectColumnsDlg.h"
#include "image/Image.h"
#include "lang/ids/base.h"
#include "lang/ids/designfile.h"
#include "lang/ids/shell.h"
#include "platform/base/codepage.h"
#include "view/TabView.h"
#include "view/ViewHooks.h"

namespace {
CString& PackFolder() {
  static CString folder;
  return folder;
}
}  // namespace

void StripQuotes(const char* text, CString& out) {
  const CString s(text ? text : "");
  const int n = s.GetLength();
  if (n >= 4 && s[0] == '"' && s[n - 1] == '"') out = s.Mid(1, n - 2);
  else out = s;
}

IMPLEMENT_DYNCREATE(CDoc, CDocument)

BEGIN_MESSAGE_MAP(CApp, CWinApp)
  ON_COMMAND(ID_HELP_ABOUT, OnAppAbout)
  ON_COMMAND(ID_FILE_NEW, CWinApp::OnFileNew)
END_MESSAGE_MAP()

CApp* GetApp() { return dynamic_cast<CApp*>(AfxGetApp()); }

CApp::CApp() : CWinApp("Velloran") {
  SetAppSettings(&m_settings);
  SetGridSettings(&m_grid);
}

CApp::~CApp() {
  if (&GetAppSettings() == &m_settings) SetAppSettings(nullptr);
  if (&GetGridSettings() == &m_grid) SetGridSettings(nullptr);
  // The pack is freed by ExitInstance; an exit from inside the message loop
  // (the display went away) skips it, and the pack registry may already be
  // gone while the process's objects are destroyed.
}

void CApp::SetPackFolder(const char* folder) { PackFolder() = folder ? folder : ""; }

void CApp::SetAboutPicture(std::unique_ptr<CImage> picture) { m_aboutPicture = std::move(picture); }

CMainFrame* CApp::GetMainFrame() const { return dynamic_cast<CMainFrame*>(m_pMainWnd); }

CTabView* CApp::GetTabView() const {
  CMainFrame* frame = GetMainFrame();
  return frame ? frame->GetTabView() : nullptr;
}

int CApp::DoMessageBox(LPCTSTR lpszPrompt, UINT nType, UINT) {
  CString title = m_library ? LoadResString(IDS_APP_TITLE) : CString();
  if (title.IsEmpty()) title = IsRussianInterface() ? FromUtf8("Квиллмир") : CString("Quillmere");
  HWND owner = ::GetActiveWindow();
  if (!owner && m_pMainWnd) owner = m_pMainWnd->m_hWnd;
  const HWND focus = ::GetFocus();
  const int answer = ::MessageBox(owner, lpszPrompt, title, nType);
  if (focus && ::IsWindow(focus)) ::SetFocus(focus);
  return answer;
}

BOOL CApp::InitInstance() {
  m_starting = true;
  SetAppStarting(true);
  Enable3dControlsStatic();
  LoadLanguageFlag();
  const bool small = IsSmallScreenHeight(::GetSystemMetrics(SM_CYSCREEN));
  SetSmallScreen(small);
  AfxSetUseCompactDialogs(small ? TRUE : FALSE);

  // The language library beside the program.
  CString folder = PackFolder().IsEmpty() ? GetProgramFolder() : PackFolder();
  if (!folder.IsEmpty() && folder[folder.GetLength() - 1] != '/') folder += '/';
  const CString path = folder + (IsRussianInterface() ? "Pellow_Ru" : "Pellow_En") + ".dll";
  m_library = LoadLibrary(path);
  if (!m_library) {
    // The two texts built into the program (the source is UTF-8; message
    // boxes take the interface code page).
    const CString format = IsRussianInterface() ? FromUtf8("Нет модуля %s") : CString("Cannot to find the library %s");
    CString message;
    message.Format(format.GetString(), path.GetString());
    AfxMessageBox(message, MB_OK | kMbIconStop);
    m_starting = false;
    SetAppStarting(false);
    m_initFailed = true;
    return FALSE;
  }
  AfxSetResourceHandle(m_library);
  InstallViewHooks();
  // Every colour list's "Columns..." opens the column chooser.
  InstallSelectColumnsDialog();
  InstallViewDialogFactories();
  m_settingsUsed = m_settings.Load();
  m_grid.LoadGridSettings();

  // A design named on the command line. It becomes the last design only
  // once it opened (the view stores it then), so a file that fails to open
  // is never the next start's design.
  bool openDesign = false;
  CString designToOpen;
  const CString line = m_commandLineSet ? m_commandLine : CString(m_lpCmdLine ? m_lpCmdLine : "");
  if (!line.IsEmpty()) {
    CString given;
    StripQuotes(line, given);
    if (FileExists(given)) {
      designToOpen = given;
      openDesign = true;
    } else {
      CString message;
      message.Format(LoadResString(IDS_FILE_NOT_EXISTS), given.GetString());
      AppMessageBox(message, kMbIconStop);
    }
  }
  if (m_settingsUsed && !openDesign && m_settings.m_reopenLastDesign && FileExists(m_settings.m_lastDesign)) {
    designToOpen = m_settings.m_lastDesign;
    openDesign = true;
  }

  AddDocTemplate(new CSingleDocTemplate(IDR_MAINFRAME, RUNTIME_CLASS(CDoc), RUNTIME_CLASS(CMainFrame),
                                        RUNTIME_CLASS(CTabView)));
  EnableShellOpen();
  RegisterShellFileTypes(TRUE);
  CCommandLineInfo info;
  if (!m_commandLineSet) ParseCommandLine(info);
  // The design itself is opened through the view below.
  info.m_nShellCommand = CCommandLineInfo::FileNew;
  if (!ProcessShellCommand(info) || !m_pMainWnd) {
    m_starting = false;
    SetAppStarting(false);
    m_initFailed = true;
    return FALSE;
  }
  m_pMainWnd->ShowWindow(SW_SHOWMAXIMIZED);
  // A session without a window manager leaves the size alone: take the
  // whole screen then.
  CRect shown;
  m_pMainWnd->GetWindowRect(&shown);
  const int screenWidth = ::GetSystemMetrics(SM_CXSCREEN), screenHeight = ::GetSystemMetrics(SM_CYSCREEN);
  if (shown.Width() < screenWidth - 64 || shown.Height() < screenHeight - 96)
    m_pMainWnd->MoveWindow(0, 0, screenWidth, screenHeight);
  m_pMainWnd->UpdateWindow();
  SetupMainFrame();

  if (m_settingsUsed && openDesign && FileExists(designToOpen)) {
    if (CTabView* view = GetTabView()) {
      // A design that fails to open is told once, with its path and reason,
      // by the view.
      if (view->OpenDesignFile(designToOpen)) {
        view->SetZoomMode(1);
        view->ApplyZoomMode(true);
      }
    }
  }

  CAccelTable keys(0);
  if (keys.Load()) {
    keys.Apply(m_pMainWnd);
    if (CMainFrame* frame = GetMainFrame()) frame->GetMainMenu().ApplyShortcutLabels(keys);
  }
  m_starting = false;
  SetAppStarting(false);
  return TRUE;
}

void CApp::SetupMainFrame() {
  CMainFrame* frame = GetMainFrame();
  if (!frame) return;
  HMENU menu = frame->BuildMainMenu();
  if (!menu) return;
  ClearCheckMarkCommands();
  for (UINT command : {ID_VIEW_SHOW_GRID, ID_VIEW_TOOLBAR_BAR, ID_VIEW_RULER_BAR, ID_VIEW_STATUS_BAR_BAR})
    AddCheckMarkCommand(command);
  frame->m_hMenuDefault = menu;
  ::SetMenu(frame->m_hWnd, menu);
  ::DrawMenuBar(frame->m_hWnd);
  frame->RefreshFrameTitle();
  // The window is maximised now: the control pane gets its width again.
  frame->FitPanes();
}

int CApp::ExitInstance() {
  m_aboutPicture.reset();
  if (m_library) {
    if (AfxGetResourceHandle() == m_library) AfxSetResourceHandle(nullptr);
    FreeLibrary(m_library);
    m_library = nullptr;
  }
  const int code = CWinApp::ExitInstance();
  return m_initFailed && code == 0 ? 1 : code;
}

void CApp::OnAppAbout() {
  CAboutDlg about(false, m_pMainWnd);
  about.DoModal();
}
