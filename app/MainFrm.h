// CMainFrame: the program's only top-level window. It owns the splitter of
// the design view and the control pane, the toolbar, the status bar, the
// owner-drawn main menu, the three recent-file lists, the temporary files to
// delete at close and the undo folder; keeps the caption up to date; routes
// every command (the command table); and asks to save the design and saves
// the user's state when it closes. It serves the lower levels as IMainFrame,
// IProgressHost (progress on its status bar), IProgress, IPatternImage and
// IFrameServices.
#pragma once

#include <memory>
#include <vector>

#include "app/bars/AppStatusBar.h"
#include "app/bars/MSOfficeMenu.h"
#include "app/bars/ToolBarXP.h"
#include "controls/RecentFiles.h"
#include "core/FrameServices.h"
#include "design/CommonUndo.h"
#include "platform/wnd.h"
#include "view/FramePorts.h"

class CMainFrame;
class CTabView;
class CCtrlPane;
class CAboutDlg;

// The splitter: design view (left), control pane (right), and the rulers
// placed around the view.
class CFWSplitterWnd : public CSplitterWnd {
 public:
  void RecalcLayout() override;
  void SetFrame(CMainFrame* frame) { m_frame = frame; }
  void FitPanes();
  void RefitPanes();
  // The left column's fitted width: client width + 5 - the pane's ideal
  // width (less a scroll bar when the pane is too low).
  int GetFittedWidth() const;

 protected:
  void StartTracking(int ht) override { CSplitterWnd::StartTracking(ht); }
  void StopTracking(BOOL bAccept) override { CSplitterWnd::StopTracking(bAccept); }
  void TrackColumnSize(int x, int col) override { CSplitterWnd::TrackColumnSize(x, col); }
  void OnInvertTracker(const CRect& rect) override { CSplitterWnd::OnInvertTracker(rect); }

 private:
  CMainFrame* m_frame = nullptr;
};

class CMainFrame : public CFrameWnd,
                   public IMainFrame,
                   public IProgressHost,
                   public IProgress,
                   public IPatternImage,
                   public IFrameServices {
  DECLARE_DYNCREATE(CMainFrame)
 public:
  static constexpr UINT kTitleTimer = 1;
  static constexpr UINT kTitlePeriod = 3000;
  static constexpr int kPaneWidth = 280;

  CMainFrame();
  ~CMainFrame() override;

  BOOL PreCreateWindow(CREATESTRUCT& cs) override;
  BOOL OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext* pContext) override;
  // The caption is the frame's own (RefreshFrameTitle), never the
  // framework's document title.
  void OnUpdateFrameTitle(BOOL) override { RefreshFrameTitle(); }

  CTabView* GetTabView() override;
  CCtrlPane* GetCtrlPane() override;
  void DeleteTempFiles();
  // Builds the owner-drawn main menu from menu 128 with the toolbars'
  // icons and answers its handle.
  HMENU BuildMainMenu();
  CMSOfficeMenu& GetMainMenu() { return m_mainMenu; }
  CAppToolbar& GetToolbar() { return m_toolbar; }
  CAppStatusBar& GetAppStatusBar() { return m_statusBar; }
  CFWSplitterWnd& GetSplitter() { return m_splitter; }
  CRecentFiles& GetRecentDesignList() { return m_recentDesigns; }
  const std::vector<CString>& GetTempFiles() const { return m_tempFiles; }
  // The caption now (also run by the title timer).
  void RefreshFrameTitle();
  // The name the caption shows for the design.
  CString GetDesignName();
  // The page the preferences open on next time.
  static int GetPreferencesPage();
  static void SetPreferencesPage(int page);

  // ---- IMainFrame ----
  CAppStatusBar* GetStatusBar() override { return m_statusBar.m_hWnd ? &m_statusBar : nullptr; }
  void ResetStatusTexts() override;
  CImageList* GetMenuImageList() override { return &m_menuImages; }
  void EnableClose(bool enable) override;
  bool UseWarningSound() override;

  // ---- IProgressHost ----
  IStatusProgressDisplay* CreateProgressDisplay(int total, const CString* caption, bool simple) override;
  void OnProgressEnded() override { ResetStatusTexts(); }

  // ---- IProgress ----
  void Begin(int total, const char* caption) override;
  void End() override;
  void SetPos(int position) override;
  CStatusProgress* GetRunningProgress() const { return m_progress.get(); }

  // ---- IPatternImage ----
  bool HasImage() override;
  CPatternImageView* GetImage() override;
  void GetPatternSizeInches(double& width, double& height) override;
  void GetPatternSizeBeads(int& columns, int& rows) override;
  CImageView* GetImageView() override;

  // ---- IFrameServices ----
  CRecentFiles* GetRecentDesigns() override { return &m_recentDesigns; }
  CRecentFileLst* GetRecentPictures() override { return &m_recentPictures; }
  CRecentFileLst* GetRecentPalettes() override { return &m_recentPalettes; }
  void AddTempFile(const char* path) override;
  void FitPanes() override { m_splitter.FitPanes(); }
  void RefitPanes() override { m_splitter.RefitPanes(); }
  void OnFileProperties() override;
  void SetWizardPalettePage(CWnd* page) override { m_wizardPalettePage = page; }
  void ClearWizardPalettePage() override { m_wizardPalettePage = nullptr; }
  CCommonUndo* GetUndoFolder() override { return &m_undo; }
  bool PromptSaveModified() override;

  // The remembered status texts of the two information panes.
  const CString& GetStatusText2() const { return m_statusText2; }

 protected:
  afx_msg int OnCreate(LPCREATESTRUCT lpcs);
  afx_msg void OnDestroy();
  afx_msg void OnClose();
  afx_msg void OnSize(UINT nType, int cx, int cy);
  afx_msg void OnTimer(UINT_PTR nIDEvent);
  afx_msg BOOL OnCopyData(CWnd* pWnd, COPYDATASTRUCT* pCopyDataStruct);
  afx_msg void OnDropDown(NMHDR* pNMHDR, LRESULT* pResult);

  // ---- The command table (MainFrmCommands.cpp) ----
  afx_msg void OnFileNew();
  afx_msg void OnFileOpen();
  afx_msg void OnFileImport();
  afx_msg void OnFileSave();
  afx_msg void OnFileSaveAs();
  afx_msg void OnFilePdf();
  afx_msg void OnFileGraphical();
  afx_msg void OnFileCopyToClipboard();
  afx_msg void OnFilePrint();
  afx_msg void OnFilePropertiesCommand();
  afx_msg void OnPartialDesign();
  afx_msg void OnAdjustColors();
  afx_msg void OnEditColorGroup();
  afx_msg void OnTextByBeads();
  afx_msg void OnUseOnlyColors();
  afx_msg void OnRemoveSeparate();
  afx_msg void OnChangePalette();
  afx_msg void OnDesignBySample();
  afx_msg void OnMirror();
  afx_msg void OnRowsColumns();
  afx_msg void OnUndo();
  afx_msg void OnRedo();
  afx_msg void OnSeparatePreview();
  afx_msg void OnInterestingColors();
  afx_msg void OnShowGrid();
  afx_msg void OnRulerBar();
  afx_msg void OnEffect(UINT nID);
  afx_msg void OnPreferences();
  afx_msg void OnBackgroundColor();
  afx_msg void OnCheckUpdate();
  afx_msg void OnDownloadDesign();
  afx_msg void OnOtherProduct();
  afx_msg void OnDescription();
  afx_msg void OnZoomCombo() {}
  afx_msg void OnBeadEffectPopup();
  afx_msg void OnRecentDesign(UINT nID);

  afx_msg void OnUpdateFree(CCmdUI* pCmdUI);
  afx_msg void OnUpdateDesign(CCmdUI* pCmdUI);
  afx_msg void OnUpdateSave(CCmdUI* pCmdUI);
  afx_msg void OnUpdateBeads(CCmdUI* pCmdUI);
  afx_msg void OnUpdateOn(CCmdUI* pCmdUI) { pCmdUI->Enable(TRUE); }
  afx_msg void OnUpdateUndo(CCmdUI* pCmdUI);
  afx_msg void OnUpdateRedo(CCmdUI* pCmdUI);
  afx_msg void OnUpdateShowGrid(CCmdUI* pCmdUI);
  afx_msg void OnUpdateRulerBar(CCmdUI* pCmdUI);
  afx_msg void OnUpdateEffect(CCmdUI* pCmdUI);
  afx_msg void OnUpdateZoomCombo(CCmdUI* pCmdUI);
  afx_msg void OnUpdateBeadEffectButton(CCmdUI* pCmdUI);
  afx_msg void OnUpdateRecentDesign(CCmdUI* pCmdUI);
  afx_msg void OnUpdateStatusPane(CCmdUI* pCmdUI);
  DECLARE_MESSAGE_MAP()

 public:
  // The handlers tests and the application reach directly.
  bool RunRecentDesign(UINT command);
  void RunOpenDropDown();
  // The version text of string 128 ("1.01"), empty when it has none.
  static CString ExtractVersion(const CString& text);

 private:
  bool CreateToolbar();
  bool CreateStatusBar();
  bool HasDesignBeads();
  bool IsToolOpen(CCmdUI* pCmdUI = nullptr);

  CFWSplitterWnd m_splitter;
  UINT_PTR m_titleTimer = 0;
  CImageList m_menuImages;
  std::unique_ptr<CStatusProgress> m_progress;
  CCommonUndo m_undo;
  CRecentFiles m_recentDesigns;
  CRecentFileLst m_recentPictures;
  CRecentFileLst m_recentPalettes;
  std::vector<CString> m_tempFiles;
  CMSOfficeMenu m_mainMenu;
  CAppStatusBar m_statusBar;
  CAppToolbar m_toolbar;
  CString m_statusText1;
  CString m_statusText2;
  std::unique_ptr<CImageList> m_toolbarImages;
  CWnd* m_wizardPalettePage = nullptr;
  CString m_lastCaption;
  bool m_cursorWaiting = false;
};
