// The application object, the framework's texts and message boxes, and the
// program's entry.
#include <QApplication>

#include <clocale>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "platform/base/codepage.h"
#include "platform/base/msgbox.h"
#include "platform/base/registry.h"
#include "platform/wnd/docview.h"
#include "platform/wnd/internal.h"

namespace {
CWinApp* g_app = nullptr;
CWinThread* g_thread = nullptr;
}  // namespace

// ---------------------------------------------------------------------------
// CWinThread.

IMPLEMENT_DYNAMIC(CWinThread, CCmdTarget)

CWinThread::CWinThread() {
  if (!g_thread) g_thread = this;
}

CWinThread::~CWinThread() {
  if (g_thread == this) g_thread = nullptr;
}

BOOL CWinThread::InitInstance() { return FALSE; }

int CWinThread::Run() {
  if (!QCoreApplication::instance()) return ExitInstance();
  qmwnd::EnsureInit();
  qmwnd::RunMainLoop();
  return ExitInstance();
}

BOOL CWinThread::PreTranslateMessage(MSG* pMsg) {
  if (!pMsg->hwnd) return FALSE;
  CWnd* main = AfxGetMainWnd();
  const HWND mainHwnd = main ? main->m_hWnd : nullptr;
  if (CWnd::WalkPreTranslateTree(mainHwnd, pMsg)) return TRUE;
  // Modeless windows get the main window's accelerators too (not while a
  // modal dialog keeps the main window disabled).
  if (mainHwnd && ::IsWindowEnabled(mainHwnd) && ::GetAncestor(pMsg->hwnd, GA_ROOT) != mainHwnd &&
      pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST)
    return main->PreTranslateMessage(pMsg);
  return FALSE;
}

BOOL CWinThread::OnIdle(LONG lCount) {
  if (lCount <= 0) {
    CWnd* main = GetMainWnd();
    if (main && main->m_hWnd && main->IsWindowVisible()) {
      main->SendMessage(WM_IDLEUPDATECMDUI, TRUE, 0);
      if (main->m_hWnd) main->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE, TRUE);
    }
    return TRUE;
  }
  return FALSE;
}

int CWinThread::ExitInstance() { return qmwnd::QuitCode(); }

CWnd* CWinThread::GetMainWnd() { return m_pMainWnd; }

BOOL CWinThread::IsIdleMessage(MSG* pMsg) { return pMsg && pMsg->message != WM_PAINT; }

// ---------------------------------------------------------------------------
// CWinApp.

IMPLEMENT_DYNAMIC(CWinApp, CWinThread)

BEGIN_MESSAGE_MAP(CWinApp, CWinThread)
  ON_COMMAND(ID_APP_EXIT, OnAppExit)
END_MESSAGE_MAP()

CWinApp::CWinApp(LPCTSTR lpszAppName) {
  g_app = this;
  g_thread = this;
  if (lpszAppName) {
    m_appName = lpszAppName;
    m_pszAppName = m_appName.c_str();
  }
  m_lpCmdLine = m_cmdLine.data();
  qmwnd::ResetQuit();
}

CWinApp::~CWinApp() {
  for (CDocTemplate* t : m_templates) delete t;
  m_templates.clear();
  if (g_app == this) g_app = nullptr;
}

BOOL CWinApp::InitInstance() { return TRUE; }

int CWinApp::Run() {
  if (!m_pMainWnd && !QCoreApplication::instance()) return ExitInstance();
  return CWinThread::Run();
}

int CWinApp::ExitInstance() { return CWinThread::ExitInstance(); }

BOOL CWinApp::OnIdle(LONG lCount) { return CWinThread::OnIdle(lCount); }

void CWinApp::AddDocTemplate(CDocTemplate* pTemplate) {
  if (!pTemplate) return;
  pTemplate->LoadTemplate();
  m_templates.push_back(pTemplate);
}

POSITION CWinApp::GetFirstDocTemplatePosition() const {
  return m_templates.empty() ? nullptr : reinterpret_cast<POSITION>(static_cast<std::uintptr_t>(1));
}

CDocTemplate* CWinApp::GetNextDocTemplate(POSITION& pos) const {
  const std::uintptr_t i = reinterpret_cast<std::uintptr_t>(pos);
  if (i == 0 || i > m_templates.size()) {
    pos = nullptr;
    return nullptr;
  }
  CDocTemplate* t = m_templates[i - 1];
  pos = (i < m_templates.size()) ? reinterpret_cast<POSITION>(i + 1) : nullptr;
  return t;
}

namespace {

bool SetClassesText(const CString& key, const CString& text) {
  HKEY h = nullptr;
  if (RegCreateKeyEx(HKEY_CLASSES_ROOT, key, 0, nullptr, 0, KEY_WRITE, nullptr, &h, nullptr) != ERROR_SUCCESS)
    return false;
  const LONG r = RegSetValueEx(h, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.GetString()),
                               static_cast<DWORD>(text.GetLength() + 1));
  RegCloseKey(h);
  return r == ERROR_SUCCESS;
}

CString ClassesText(const CString& key) {
  HKEY h = nullptr;
  if (RegOpenKeyEx(HKEY_CLASSES_ROOT, key, 0, KEY_READ, &h) != ERROR_SUCCESS) return CString();
  char buffer[512] = {};
  DWORD size = sizeof buffer - 1;
  DWORD type = 0;
  const LONG r = RegQueryValueEx(h, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
  RegCloseKey(h);
  return r == ERROR_SUCCESS && type == REG_SZ ? CString(buffer) : CString();
}

}  // namespace

void CWinApp::RegisterShellFileTypes(BOOL bCompat) {
  (void)bCompat;  // no printing on this platform: no print commands to register
  char module[1024] = {};
  GetModuleFileName(nullptr, module, sizeof module);
  const CString program(module);
  for (CDocTemplate* t : m_templates) {
    CString id, name, extensions;
    if (!t->GetDocString(id, CDocTemplate::regFileTypeId) || id.IsEmpty()) continue;
    t->GetDocString(name, CDocTemplate::regFileTypeName);
    t->GetDocString(extensions, CDocTemplate::filterExt);
    if (!SetClassesText(id, name)) continue;
    SetClassesText(id + "\\DefaultIcon", program + ",0");
    SetClassesText(id + "\\shell\\open\\command", "\"" + program + "\" \"%1\"");
    // Each extension ("*.qx;*.qxz" or ".qx") that no other type claims.
    int start = 0;
    while (start <= extensions.GetLength()) {
      int end = extensions.Find(';', start);
      if (end < 0) end = extensions.GetLength();
      CString ext = extensions.Mid(start, end - start);
      ext.Trim();
      if (ext.Left(1) == "*") ext = ext.Mid(1);
      if (ext.GetLength() > 1 && ext[0] == '.') {
        const CString owner = ClassesText(ext);
        if (owner.IsEmpty() || owner == id) SetClassesText(ext, id);
      }
      start = end + 1;
    }
  }
}

CDocument* CWinApp::OpenDocumentFile(LPCTSTR lpszFileName) {
  if (m_templates.empty()) return nullptr;
  return m_templates.front()->OpenDocumentFile(lpszFileName);
}

void CWinApp::OnFileNew() {
  if (m_templates.empty()) return;
  m_templates.front()->OpenDocumentFile(nullptr);
}

void CWinApp::OnFileOpen() {
  // Choosing a file is the program's own (its dialogs with previews).
}

void CWinApp::OnAppExit() {
  if (m_pMainWnd && m_pMainWnd->m_hWnd) m_pMainWnd->SendMessage(WM_CLOSE);
}

void CCommandLineInfo::ParseParam(const char* pszParam, BOOL bFlag, BOOL) {
  if (bFlag || !pszParam) return;
  if (m_strFileName.IsEmpty()) {
    m_strFileName = pszParam;
    m_nShellCommand = FileOpen;
  }
}

void CWinApp::ParseCommandLine(CCommandLineInfo& rCmdInfo) {
  // The arguments as the program received them; a flag starts with '-' or
  // '/' only when it is not a path that exists.
  const QStringList args = QCoreApplication::instance() ? QCoreApplication::arguments() : QStringList();
  for (qsizetype i = 1; i < args.size(); ++i) {
    const std::string arg = Utf8ToCodePage(args[i].toUtf8().toStdString(), GetAnsiCodePage());
    const bool flag = (arg.size() > 1 && arg[0] == '-' && !std::filesystem::exists(args[i].toStdString()));
    rCmdInfo.ParseParam(flag ? arg.c_str() + 1 : arg.c_str(), flag, i + 1 == args.size());
  }
}

BOOL CWinApp::ProcessShellCommand(CCommandLineInfo& rCmdInfo) {
  switch (rCmdInfo.m_nShellCommand) {
    case CCommandLineInfo::FileNew:
      OnFileNew();
      return m_pMainWnd != nullptr || m_templates.empty();
    case CCommandLineInfo::FileOpen:
      return OpenDocumentFile(rCmdInfo.m_strFileName) != nullptr;
    case CCommandLineInfo::FileNothing:
      return TRUE;
    default:
      return FALSE;
  }
}

void CWinApp::SetRegistryKey(LPCTSTR lpszRegistryKey) {
  m_registryKey = lpszRegistryKey ? lpszRegistryKey : "";
  m_pszRegistryKey = m_registryKey.c_str();
}

BOOL CWinApp::SaveAllModified() {
  for (CDocTemplate* t : m_templates)
    if (!t->SaveAllModified()) return FALSE;
  return TRUE;
}

void CWinApp::CloseAllDocuments(BOOL bEndSession) {
  for (CDocTemplate* t : m_templates) t->CloseAllDocuments(bEndSession);
}

HICON CWinApp::LoadIcon(UINT nIDResource) const { return ::LoadIcon(AfxGetResourceHandle(), MAKEINTRESOURCE(nIDResource)); }
HCURSOR CWinApp::LoadCursor(UINT nIDResource) const {
  return ::LoadCursor(AfxGetResourceHandle(), MAKEINTRESOURCE(nIDResource));
}
HCURSOR CWinApp::LoadStandardCursor(LPCTSTR lpszCursorName) const { return ::LoadCursor(nullptr, lpszCursorName); }
HICON CWinApp::LoadStandardIcon(LPCTSTR lpszIconName) const { return ::LoadIcon(nullptr, lpszIconName); }

int CWinApp::DoMessageBox(LPCTSTR lpszPrompt, UINT nType, UINT) {
  // The owner: the active window of the program, else the main window.
  HWND owner = ::GetActiveWindow();
  if (!owner && m_pMainWnd) owner = m_pMainWnd->m_hWnd;
  const HWND focus = ::GetFocus();
  const int r = ::MessageBox(owner, lpszPrompt, AfxGetAppName(), nType);
  if (focus && ::IsWindow(focus)) ::SetFocus(focus);
  return r;
}

CWinApp* AfxGetApp() { return g_app; }
CWinThread* AfxGetThread() { return g_thread; }
CWnd* AfxGetMainWnd() {
  CWinThread* t = AfxGetThread();
  return t ? t->GetMainWnd() : nullptr;
}
LPCTSTR AfxGetAppName() {
  if (g_app && g_app->m_pszAppName) return g_app->m_pszAppName;
  return "";
}

// ---------------------------------------------------------------------------
// The framework's texts.

namespace {

struct FrameworkText {
  UINT id;
  const char* english;
  const char* russian;  // UTF-8
};

const FrameworkText kTexts[] = {
    {AFX_IDS_IDLEMESSAGE, "Ready", "Готово"},
    {AFX_IDS_UNTITLED, "Untitled", "Без имени"},
    {AFX_IDP_ASK_TO_SAVE, "Save changes to %1?", "Сохранить изменения в %1?"},
    {AFX_IDP_PARSE_INT, "Please enter an integer.", "Введите целое число."},
    {AFX_IDP_PARSE_REAL, "Please enter a number.", "Введите число."},
    {AFX_IDP_PARSE_INT_RANGE, "Please enter an integer between %1 and %2.", "Введите целое число от %1 до %2."},
    {AFX_IDP_PARSE_REAL_RANGE, "Please enter a number between %1 and %2.", "Введите число от %1 до %2."},
    {AFX_IDP_PARSE_STRING_SIZE, "Please enter no more than %1 characters.", "Введите не более %1 знаков."},
    {AFX_IDP_PARSE_UINT, "Please enter an integer of 0 or more.", "Введите целое число не меньше 0."},
    {AFX_IDP_PARSE_BYTE, "Please enter an integer between 0 and 255.", "Введите целое число от 0 до 255."},
};

}  // namespace

CString AfxLoadFrameworkString(UINT id) {
  CString s;
  if (LoadResourceString(AfxGetResourceHandle(), id, s)) return s;
  for (const FrameworkText& t : kTexts) {
    if (t.id != id) continue;
    if (GetAnsiCodePage() == 1251) return CString(Utf8ToCodePage(t.russian, 1251));
    return CString(t.english);
  }
  return CString();
}

namespace {
void FormatArgs(CString& out, const CString& format, const char* const* args, int count) {
  std::string r;
  const std::string& f = format.str();
  for (size_t i = 0; i < f.size(); ++i) {
    if (f[i] == '%' && i + 1 < f.size() && f[i + 1] >= '1' && f[i + 1] <= '9') {
      const int n = f[i + 1] - '1';
      if (n < count && args[n]) r += args[n];
      ++i;
    } else {
      r += f[i];
    }
  }
  out = CString(r);
}
}  // namespace

void AfxFormatString1(CString& rString, UINT nIDS, LPCTSTR lpsz1) {
  const char* args[] = {lpsz1};
  FormatArgs(rString, AfxLoadFrameworkString(nIDS), args, 1);
}

void AfxFormatString2(CString& rString, UINT nIDS, LPCTSTR lpsz1, LPCTSTR lpsz2) {
  const char* args[] = {lpsz1, lpsz2};
  FormatArgs(rString, AfxLoadFrameworkString(nIDS), args, 2);
}

int AfxMessageBox(LPCTSTR lpszText, UINT nType, UINT nIDHelp) {
  if (CWinApp* app = AfxGetApp()) return app->DoMessageBox(lpszText, nType, nIDHelp);
  HWND owner = ::GetActiveWindow();
  return ::MessageBox(owner, lpszText, AfxGetAppName(), nType);
}

int AfxMessageBox(UINT nIDPrompt, UINT nType, UINT nIDHelp) {
  CString text = AfxLoadFrameworkString(nIDPrompt);
  if (text.IsEmpty()) text.LoadString(nIDPrompt);
  if (nIDHelp == static_cast<UINT>(-1)) nIDHelp = nIDPrompt;
  return AfxMessageBox(text, nType, nIDHelp);
}

// ---------------------------------------------------------------------------
// The entry.

int AfxWinMain(int argc, char** argv) {
  CWinApp* app = AfxGetApp();
  if (!app) {
    std::fprintf(stderr, "The program has no application object.\n");
    return 1;
  }
  std::unique_ptr<QApplication> qapp;
  if (!QApplication::instance()) qapp = std::make_unique<QApplication>(argc, argv);
  std::setlocale(LC_NUMERIC, "C");
  QGuiApplication::setQuitOnLastWindowClosed(false);
  // The command line: the arguments after the program's name.
  std::string line;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) line += ' ';
    line += argv[i];
  }
  app->m_cmdLine = Utf8ToCodePage(line, GetAnsiCodePage());
  app->m_lpCmdLine = app->m_cmdLine.data();
  std::string exe = argc > 0 && argv[0] ? std::filesystem::path(argv[0]).stem().string() : std::string("program");
  app->m_exeName = exe;
  app->m_pszExeName = app->m_exeName.c_str();
  if (!app->m_pszAppName) {
    app->m_appName = exe;
    app->m_pszAppName = app->m_appName.c_str();
  }
  qmwnd::EnsureInit();
  int rc = 0;
  if (app->InitInstance()) {
    rc = app->Run();
  } else {
    if (app->m_pMainWnd && app->m_pMainWnd->m_hWnd) app->m_pMainWnd->DestroyWindow();
    rc = app->ExitInstance();
  }
  return rc;
}
