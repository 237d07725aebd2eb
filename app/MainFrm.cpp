// The main frame: creation, the splitter's layout, the caption, closing and
// the services it gives the lower levels. The command table is in
// MainFrmCommands.cpp.
#include "app/MainFrm.h"

#include "app/AboutDlg.h"
#include "app/App.h"
#include "app/FrameProgress.h"
#include "app/ViewDialogs.h"
#include "dialogs/PatternPreviewDlg.h"
#include "controls/3dColorStatic.h"
#include "core/FileUtils.h"
#include "lang/ids/base.h"
#include "lang/ids/shell.h"
#include "settings/AppSettings.h"
#include "settings/GridSettings.h"
#include "view/CtrlPane.h"
#include "view/TabView.h"

namespace {

// The frame's window class, registered as a copy of the framework's with the
// program's icon.
constexpr const char* kFrameClassName = kMainWindowClassName;

// The 24 x 24 icons of the toolbar buttons, in button order.
constexpr UINT kToolbarIcons[] = {IDI_TB_NEW,        IDI_TB_OPEN,        IDI_TB_SAVE,         IDI_TB_PDF,
                                  IDI_TB_PICTURE,    IDI_TB_PROPERTIES,  IDI_TB_SUMMARY,      IDI_TB_UNDO,
                                  IDI_TB_REDO,       IDI_TB_PARTIAL,     IDI_TB_ADJUST,       IDI_TB_COLOR_GROUP,
                                  IDI_TB_TEXT,       IDI_TB_USE_ONLY,    IDI_TB_REMOVE_SEPARATE, IDI_TB_PREVIEW,
                                  IDI_TB_INTERESTING, IDI_EFFECT_ROUND,  IDI_MAINFRAME,       IDI_TB_UPDATE,
                                  IDI_TB_DOWNLOAD,   IDI_TB_OTHER_PRODUCT};

int g_preferencesPage = 0;

}  // namespace

int CMainFrame::GetPreferencesPage() { return g_preferencesPage; }
void CMainFrame::SetPreferencesPage(int page) { g_preferencesPage = page; }

// ---- CFWSplitterWnd ----

void CFWSplitterWnd::RecalcLayout() {
  CSplitterWnd::RecalcLayout();
  if (!m_frame) return;
  CTabView* view = m_frame->GetTabView();
  if (!view || !view->m_hWnd) return;
  CRulerBar& horz = view->GetHorzRuler();
  CRulerBar& vert = view->GetVertRuler();
  const bool rulers = IsRulerBarVisible();
  CRect r;
  view->GetWindowRect(&r);
  if (rulers) {
    r.top += horz.GetThickness();
    r.left += vert.GetThickness() - 2;
  }
  ScreenToClient(&r);
  view->SetWindowPos(nullptr, r.left, r.top, r.Width(), r.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
  if (!horz.m_hWnd || !vert.m_hWnd) return;
  if (rulers) {
    const int thick = horz.GetThickness();
    if (!horz.IsWindowVisible()) horz.ShowWindow(SW_SHOWNA);
    horz.SetWindowPos(nullptr, 0, 0, r.right, thick + 2, SWP_NOZORDER | SWP_NOACTIVATE);
    if (CWnd* corner = horz.GetCornerButton())
      corner->SetWindowPos(nullptr, r.right - 8, 3, 8, 13, SWP_NOZORDER | SWP_NOACTIVATE);
    if (!vert.IsWindowVisible()) vert.ShowWindow(SW_SHOWNA);
    vert.SetWindowPos(nullptr, 0, thick + 2, vert.GetThickness(), r.bottom - (thick + 2),
                      SWP_NOZORDER | SWP_NOACTIVATE);
  } else {
    horz.ShowWindow(SW_HIDE);
    vert.ShowWindow(SW_HIDE);
  }
}

int CFWSplitterWnd::GetFittedWidth() const {
  if (!m_frame) return 0;
  CRect client;
  m_frame->GetClientRect(&client);
  CCtrlPane* pane = m_frame->GetCtrlPane();
  CSize ideal(CCtrlPane::kIdealWidth, 0);
  if (pane) pane->GetIdealSize(ideal);
  int width = client.Width() + 5 - ideal.cx;
  if (pane && pane->m_hWnd) {
    CRect paneClient;
    pane->GetClientRect(&paneClient);
    if (paneClient.Height() < ideal.cy) width -= ::GetSystemMetrics(SM_CYHSCROLL) + 2;
  }
  return width;
}

void CFWSplitterWnd::FitPanes() {
  if (!m_hWnd) return;
  SetColumnInfo(0, GetFittedWidth(), 0);
  RecalcLayout();
}

void CFWSplitterWnd::RefitPanes() {
  FitPanes();
  FitPanes();
}

// ---- CMainFrame ----

IMPLEMENT_DYNCREATE(CMainFrame, CFrameWnd)

CMainFrame::CMainFrame()
    : m_recentDesigns("RecentDesignMenu26Sept2016", ID_RECENT_DESIGN_FIRST, 16),
      m_recentPictures(20100, "RecentOriginalMenu01Oct2017", 16),
      m_recentPalettes(20200, "RecentPaletteMenu01Oct2017", 16) {}

CMainFrame::~CMainFrame() {
  if (m_progress) End();
  m_toolbarImages.reset();
  if (GetFrameServices() == this) SetFrameServices(nullptr);
  if (GetIMainFrame() == this) {
    SetMainFrameServices(nullptr, nullptr, nullptr);
    SetActiveTabView(nullptr);
    SetMainWindowHandle(nullptr);
  }
}

BOOL CMainFrame::PreCreateWindow(CREATESTRUCT& cs) {
  if (!CFrameWnd::PreCreateWindow(cs)) return FALSE;
  WNDCLASS wc{};
  if (cs.lpszClass && ::GetClassInfo(AfxGetInstanceHandle(), cs.lpszClass, &wc)) {
    WNDCLASS mine = wc;
    mine.lpszClassName = kFrameClassName;
    mine.hIcon = ::LoadIcon(AfxGetResourceHandle(), MAKEINTRESOURCE(IDI_MAINFRAME));
    WNDCLASS existing{};
    if (::GetClassInfo(AfxGetInstanceHandle(), kFrameClassName, &existing) || AfxRegisterClass(&mine))
      cs.lpszClass = kFrameClassName;
  }
  cs.style = WS_OVERLAPPEDWINDOW | WS_MAXIMIZE | FWS_ADDTOTITLE;
  return TRUE;
}

int CMainFrame::OnCreate(LPCREATESTRUCT lpcs) {
  if (CFrameWnd::OnCreate(lpcs) == -1) return -1;
  SetMainFrameServices(this, this, this);
  SetFrameServices(this);
  SetMainWindowHandle(m_hWnd);
  // The start-up splash fades and closes itself.
  CAboutDlg::ShowSplash(this);
  if (!CreateToolbar()) return -1;
  m_recentDesigns.Load();
  // The size the user chose in the preferences, from the start.
  m_recentDesigns.SetMaxCount(GetAppSettings().m_recentListSize);
  m_recentPictures.Load();
  m_recentPalettes.Load();
  if (GetAppSettings().m_recentListSize != 0) {
    CToolBarCtrl& ctrl = GetToolbar().GetToolBarCtrl();
    ctrl.SetExtendedStyle(ctrl.GetExtendedStyle() | TBSTYLE_EX_DRAWDDARROWS);
    for (UINT command : {static_cast<UINT>(ID_FILE_OPEN_DESIGN), static_cast<UINT>(ID_BEAD_EFFECT)}) {
      const int index = m_toolbar.CommandToIndex(command);
      if (index >= 0) m_toolbar.SetButtonStyle(index, m_toolbar.GetButtonStyle(index) | TBBS_DROPDOWN);
    }
  } else {
    CToolBarCtrl& ctrl = GetToolbar().GetToolBarCtrl();
    ctrl.SetExtendedStyle(ctrl.GetExtendedStyle() & ~TBSTYLE_EX_DRAWDDARROWS);
  }
  m_toolbar.CreateZoomCombo();
  m_toolbar.LoadEffectIcons(m_toolbarImages.get());
  if (!CreateStatusBar()) return -1;
  const CAppSettings& settings = GetAppSettings();
  if (!settings.m_toolbarShown) PostMessage(WM_COMMAND, ID_VIEW_TOOLBAR_BAR);
  if (!settings.m_statusBarShown) PostMessage(WM_COMMAND, ID_VIEW_STATUS_BAR_BAR);
  m_titleTimer = SetTimer(kTitleTimer, kTitlePeriod, nullptr);
  return 0;
}

bool CMainFrame::CreateToolbar() {
  if (!m_toolbar.CreateEx(this, TBSTYLE_FLAT, 0x50002810, CRect(0, 0, 0, 0), ID_VIEW_TOOLBAR_BAR) ||
      !m_toolbar.LoadToolBarResource(IDR_MAINFRAME))
    return false;
  m_toolbarImages = std::make_unique<CImageList>();
  if (!m_toolbarImages->Create(24, 24, ILC_COLOR24 | ILC_MASK, 0, 1)) return false;
  for (UINT id : kToolbarIcons) {
    HICON icon = ::LoadIcon(AfxGetResourceHandle(), MAKEINTRESOURCE(id));
    m_toolbarImages->Add(icon);
    if (icon) ::DestroyIcon(icon);
  }
  m_toolbar.GetToolBarCtrl().SetImageList(m_toolbarImages.get());
  m_toolbar.SetSizes(CSize(24 + 8, 24 + 6), CSize(24, 24));
  return true;
}

bool CMainFrame::CreateStatusBar() {
  static const UINT indicators[] = {ID_SEPARATOR, ID_INDICATOR_DESIGN, ID_INDICATOR_PALETTE};
  return m_statusBar.Create(this, 0x50008200, ID_VIEW_STATUS_BAR_BAR) && m_statusBar.SetIndicators(indicators, 3);
}

BOOL CMainFrame::OnCreateClient(LPCREATESTRUCT, CCreateContext* pContext) {
  if (!m_splitter.CreateStatic(this, 1, 2, WS_CHILD | WS_VISIBLE, AFX_IDW_PANE_FIRST)) return FALSE;
  const int w = ::GetSystemMetrics(SM_CXSCREEN), h = ::GetSystemMetrics(SM_CYSCREEN);
  if (!m_splitter.CreateView(0, 0, RUNTIME_CLASS(CTabView), CSize(w - kPaneWidth, h), pContext) ||
      !m_splitter.CreateView(0, 1, RUNTIME_CLASS(CCtrlPane), CSize(kPaneWidth, h), pContext)) {
    m_splitter.DestroyWindow();
    return FALSE;
  }
  m_splitter.SetFrame(this);
  if (CTabView* view = GetTabView()) {
    SetActiveTabView(view);
    view->SetProgressHost(this);
    view->GetHorzRuler().Create(&m_splitter);
    view->GetVertRuler().Create(&m_splitter);
  }
  return TRUE;
}

CTabView* CMainFrame::GetTabView() {
  if (!m_splitter.m_hWnd) return nullptr;
  return dynamic_cast<CTabView*>(m_splitter.GetPane(0, 0));
}

CCtrlPane* CMainFrame::GetCtrlPane() {
  if (!m_splitter.m_hWnd) return nullptr;
  return dynamic_cast<CCtrlPane*>(m_splitter.GetPane(0, 1));
}

void CMainFrame::OnDestroy() {
  if (m_titleTimer) KillTimer(m_titleTimer);
  m_titleTimer = 0;
  CloseViewToolWindows(GetTabView());
  // The previews have no owner: they would outlive the main window.
  CCurrentPatternViewDlg::CloseAll();
  SetActiveTabView(nullptr);
  CFrameWnd::OnDestroy();
}

void CMainFrame::OnSize(UINT nType, int cx, int cy) {
  CFrameWnd::OnSize(nType, cx, cy);
  // The control pane keeps its width when the window changes size; the
  // design view takes the rest.
  if (nType != SIZE_MINIMIZED && m_splitter.m_hWnd && GetCtrlPane()) m_splitter.FitPanes();
}

// ---- Temporary files ----

void CMainFrame::AddTempFile(const char* path) { m_tempFiles.emplace_back(path ? path : ""); }

void CMainFrame::DeleteTempFiles() {
  for (const CString& path : m_tempFiles) RemoveFile(path);
}

// ---- The caption ----

CString CMainFrame::GetDesignName() {
  CTabView* view = GetTabView();
  CString name;
  if (view) {
    CPattern* design = view->GetPattern();
    CString path;
    if (design->HasBeads() && !design->m_title.IsEmpty()) {
      name = design->m_title;
    } else if (design->GetFilePath(path)) {
      GetFileTitleFromPath(path, name);
    } else {
      name = LoadResString(IDS_UNTITLED);
    }
  } else {
    name = LoadResString(IDS_UNTITLED);
  }
  // A pack without an untitled name: the framework's own ("Untitled").
  if (name.IsEmpty()) name = AfxLoadFrameworkString(AFX_IDS_UNTITLED);
  return name;
}

void CMainFrame::RefreshFrameTitle() {
  CString caption;
  caption.Format("%s - %s", LoadResString(IDS_APP_TITLE).GetString(), GetDesignName().GetString());
  CTabView* view = GetTabView();
  if (view && view->GetPattern()->IsModified()) caption += " ***";
  CString shown;
  GetWindowText(shown);
  // Set only on a change, so the window is not repainted every 3 seconds.
  if (caption == m_lastCaption && caption == shown) return;
  m_lastCaption = caption;
  SetWindowText(caption);
}

void CMainFrame::OnTimer(UINT_PTR nIDEvent) {
  if (m_titleTimer != 0 && nIDEvent == m_titleTimer) {
    RefreshFrameTitle();
    return;
  }
  CFrameWnd::OnTimer(nIDEvent);
}

BOOL CMainFrame::OnCopyData(CWnd* pWnd, COPYDATASTRUCT* pCopyDataStruct) {
  return CFrameWnd::OnCopyData(pWnd, pCopyDataStruct);
}

// ---- Save prompt and close ----

bool CMainFrame::PromptSaveModified() {
  CTabView* view = GetTabView();
  if (!view || !view->GetPattern()->IsModified()) return true;
  const int answer = AppMessageBoxId(IDS_SAVE_PROMPT, kMbYesNoCancelQuestion);
  if (answer == IDCANCEL) return false;
  if (answer == IDYES) {
    // A design that was not saved (a failed save, a cancelled Save As)
    // stops the command: the work stays.
    return view->OnFileSave();
  }
  return true;
}

void CMainFrame::OnClose() {
  CloseViewToolWindows(GetTabView());
  if (!PromptSaveModified()) return;
  m_recentDesigns.Save();
  m_recentPictures.Save();
  m_recentPalettes.Save();
  if (CCtrlPane* pane = GetCtrlPane()) pane->StoreColumnWidths();
  DeleteTempFiles();
  CAppSettings& settings = GetAppSettings();
  settings.m_toolbarShown = (m_toolbar.m_hWnd && m_toolbar.IsWindowVisible()) ? 1 : 0;
  settings.m_statusBarShown = (m_statusBar.m_hWnd && m_statusBar.IsWindowVisible()) ? 1 : 0;
  settings.Save();
  GetGridSettings().SaveGridSettings();
  CFrameWnd::OnClose();
}

// ---- IMainFrame ----

void CMainFrame::ResetStatusTexts() {
  m_statusText1.Empty();
  m_statusText2.Empty();
  if (m_statusBar.m_hWnd) m_statusBar.Invalidate(FALSE);
}

void CMainFrame::EnableClose(bool enable) {
  if (CMenu* menu = GetSystemMenu(FALSE))
    menu->EnableMenuItem(SC_CLOSE, MF_BYCOMMAND | (enable ? MF_ENABLED : MF_GRAYED));
}

bool CMainFrame::UseWarningSound() { return GetAppSettings().m_warningSound != 0; }

// ---- IProgressHost ----

IStatusProgressDisplay* CMainFrame::CreateProgressDisplay(int total, const CString* caption, bool simple) {
  return CreateStatusBarProgress(GetStatusBar(), total, caption, simple);
}

// ---- IProgress ----

void CMainFrame::Begin(int total, const char* caption) {
  // A new run replaces one still running.
  m_progress.reset();
  m_progress = std::make_unique<CStatusProgress>(static_cast<IProgressHost*>(this), total, caption, true);
  if (!m_cursorWaiting) {
    BeginWaitCursor();
    m_cursorWaiting = true;
  }
}

void CMainFrame::End() {
  m_progress.reset();
  if (m_cursorWaiting) {
    EndWaitCursor();
    m_cursorWaiting = false;
  }
}

void CMainFrame::SetPos(int position) {
  if (m_progress) m_progress->SetPos(position);
}

// ---- IPatternImage ----

bool CMainFrame::HasImage() {
  CTabView* view = GetTabView();
  return view && view->GetPatternView() != nullptr;
}

CPatternImageView* CMainFrame::GetImage() {
  CTabView* view = GetTabView();
  return view ? view->GetPatternView() : nullptr;
}

void CMainFrame::GetPatternSizeInches(double& width, double& height) {
  width = height = 0.0;
  if (CTabView* view = GetTabView()) view->GetPattern()->GetActualSize(width, height);
}

void CMainFrame::GetPatternSizeBeads(int& columns, int& rows) {
  columns = rows = 0;
  if (CTabView* view = GetTabView()) {
    columns = static_cast<int>(view->GetPattern()->GetColumnCount());
    rows = static_cast<int>(view->GetPattern()->GetRowCount());
  }
}

CImageView* CMainFrame::GetImageView() {
  CTabView* view = GetTabView();
  return view ? view->GetOriginalView() : nullptr;
}

// ---- The main menu ----

HMENU CMainFrame::BuildMainMenu() {
  if (!m_mainMenu.LoadResourceMenu(IDR_MAINFRAME)) return nullptr;
  // The bead effects keep their radio marks: they get no pictures here.
  static const UINT toolbars[] = {IDR_MAINFRAME, IDR_MENU_ICONS};
  m_mainMenu.LoadToolbars(toolbars, 2);
  m_menuImages.DeleteImageList();
  if (m_menuImages.Create(IDR_MAINFRAME, 16, 1, ::GetSysColor(COLOR_BTNFACE)))
    m_mainMenu.AddToolbarIcons(IDR_MAINFRAME, &m_menuImages);
  // The drop-downs keep their 16 x 15 layout.
  m_mainMenu.SetIconSize(16, 15);
  return m_mainMenu.m_hMenu;
}
