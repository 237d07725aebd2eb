// The main frame's command table: which commands ask to save the design
// first, what each calls, and the update rule that enables, checks or
// labels its menu item and toolbar button.
#include "app/App.h"
#include "app/MainFrm.h"
#include "app/RecentFileDlg.h"
#include "app/prefs/PropContainerDlg.h"
#include "controls/ShellOpen.h"
#include "core/DialogServices.h"
#include "core/FileUtils.h"
#include "core/Registry.h"
#include "dialogs/AddRemoveBlock.h"
#include "dialogs/AddTextDlg.h"
#include "dialogs/InsertRemoveColRowDlg.h"
#include "dialogs/PromptPrintDlg.h"
#include "dialogs/DesignBySampleDlg.h"
#include "dialogs/InterestingColorsDlg.h"
#include "dialogs/PatternPreviewDlg.h"
#include "dialogs/ReduceColorsDlg.h"
#include "dialogs/SeparatedBeadsDlg.h"
#include "lang/ids/controls.h"
#include "lang/ids/shell.h"
#include "settings/AppSettings.h"
#include "settings/GridSettings.h"
#include "view/CtrlPane.h"
#include "view/TabView.h"

namespace {

// The maker's web pages: the one address of the interface language.
CString SiteAddress() {
  CString site;
  GetWebSiteLink(site);
  return site;
}

void OpenWebPage(CWnd* owner, const CString& address) { OpenWebAddress(owner ? owner->m_hWnd : nullptr, address); }

}  // namespace

BEGIN_MESSAGE_MAP(CMainFrame, CFrameWnd)
  ON_WM_CREATE()
  ON_WM_DESTROY()
  ON_WM_CLOSE()
  ON_WM_SIZE()
  ON_WM_TIMER()
  ON_WM_COPYDATA()
  ON_NOTIFY(TBN_DROPDOWN, ID_VIEW_TOOLBAR_BAR, OnDropDown)
  ON_COMMAND(ID_FILE_NEW_DESIGN, OnFileNew)
  ON_COMMAND(ID_FILE_OPEN_DESIGN, OnFileOpen)
  ON_COMMAND(ID_FILE_IMPORT, OnFileImport)
  ON_COMMAND(ID_FILE_SAVE_DESIGN, OnFileSave)
  ON_COMMAND(ID_FILE_SAVE_DESIGN_AS, OnFileSaveAs)
  ON_COMMAND(ID_FILE_EXPORT_PDF, OnFilePdf)
  ON_COMMAND(ID_FILE_EXPORT_PICTURE, OnFileGraphical)
  ON_COMMAND(ID_FILE_COPY_TO_CLIPBOARD, OnFileCopyToClipboard)
  ON_COMMAND(ID_FILE_PRINT_DESIGN, OnFilePrint)
  ON_COMMAND(ID_FILE_PROPERTIES, OnFilePropertiesCommand)
  ON_COMMAND(ID_EDIT_PARTIAL_DESIGN, OnPartialDesign)
  ON_COMMAND(ID_EDIT_ADJUST_COLORS, OnAdjustColors)
  ON_COMMAND(ID_EDIT_COLOR_GROUP, OnEditColorGroup)
  ON_COMMAND(ID_EDIT_TEXT_BY_BEADS, OnTextByBeads)
  ON_COMMAND(ID_EDIT_USE_ONLY_COLORS, OnUseOnlyColors)
  ON_COMMAND(ID_EDIT_REMOVE_SEPARATE, OnRemoveSeparate)
  ON_COMMAND(ID_EDIT_CHANGE_PALETTE, OnChangePalette)
  ON_COMMAND(ID_EDIT_DESIGN_BY_SAMPLE, OnDesignBySample)
  ON_COMMAND(ID_EDIT_MIRROR, OnMirror)
  ON_COMMAND(ID_EDIT_ROWS_COLUMNS, OnRowsColumns)
  ON_COMMAND(ID_EDIT_UNDO_STEP, OnUndo)
  ON_COMMAND(ID_EDIT_REDO_STEP, OnRedo)
  ON_COMMAND(ID_VIEW_SEPARATE_PREVIEW, OnSeparatePreview)
  ON_COMMAND(ID_VIEW_INTERESTING_COLORS, OnInterestingColors)
  ON_COMMAND(ID_VIEW_SHOW_GRID, OnShowGrid)
  ON_COMMAND(ID_VIEW_RULER_BAR, OnRulerBar)
  ON_COMMAND_RANGE(ID_EFFECT_ROUND, ID_EFFECT_ROUND_RECT, OnEffect)
  ON_COMMAND(ID_OPTIONS_PREFERENCES, OnPreferences)
  ON_COMMAND(ID_OPTIONS_BACKGROUND, OnBackgroundColor)
  ON_COMMAND(ID_HELP_CHECK_UPDATE, OnCheckUpdate)
  ON_COMMAND(ID_HELP_DOWNLOAD_DESIGN, OnDownloadDesign)
  ON_COMMAND(ID_HELP_OTHER_PRODUCT, OnOtherProduct)
  ON_COMMAND(ID_HELP_DESCRIPTION, OnDescription)
  ON_COMMAND(IDC_ZOOM_COMBO, OnZoomCombo)
  ON_COMMAND(ID_BEAD_EFFECT, OnBeadEffectPopup)
  ON_COMMAND_RANGE(ID_RECENT_DESIGN_FIRST, ID_RECENT_DESIGN_LAST, OnRecentDesign)
  ON_UPDATE_COMMAND_UI(ID_FILE_NEW_DESIGN, OnUpdateFree)
  ON_UPDATE_COMMAND_UI(ID_FILE_OPEN_DESIGN, OnUpdateFree)
  ON_UPDATE_COMMAND_UI(ID_FILE_IMPORT, OnUpdateFree)
  ON_UPDATE_COMMAND_UI(ID_FILE_SAVE_DESIGN, OnUpdateSave)
  ON_UPDATE_COMMAND_UI(ID_FILE_SAVE_DESIGN_AS, OnUpdateSave)
  ON_UPDATE_COMMAND_UI(ID_FILE_EXPORT_PDF, OnUpdateDesign)
  ON_UPDATE_COMMAND_UI(ID_FILE_EXPORT_PICTURE, OnUpdateDesign)
  ON_UPDATE_COMMAND_UI(ID_FILE_COPY_TO_CLIPBOARD, OnUpdateDesign)
  ON_UPDATE_COMMAND_UI(ID_FILE_PRINT_DESIGN, OnUpdateDesign)
  ON_UPDATE_COMMAND_UI(ID_FILE_PROPERTIES, OnUpdateDesign)
  ON_UPDATE_COMMAND_UI(ID_EDIT_PARTIAL_DESIGN, OnUpdateDesign)
  ON_UPDATE_COMMAND_UI(ID_EDIT_ADJUST_COLORS, OnUpdateDesign)
  ON_UPDATE_COMMAND_UI(ID_EDIT_COLOR_GROUP, OnUpdateDesign)
  ON_UPDATE_COMMAND_UI(ID_EDIT_TEXT_BY_BEADS, OnUpdateDesign)
  ON_UPDATE_COMMAND_UI(ID_EDIT_USE_ONLY_COLORS, OnUpdateDesign)
  ON_UPDATE_COMMAND_UI(ID_EDIT_REMOVE_SEPARATE, OnUpdateDesign)
  ON_UPDATE_COMMAND_UI(ID_EDIT_CHANGE_PALETTE, OnUpdateDesign)
  ON_UPDATE_COMMAND_UI(ID_EDIT_DESIGN_BY_SAMPLE, OnUpdateDesign)
  ON_UPDATE_COMMAND_UI(ID_EDIT_MIRROR, OnUpdateDesign)
  ON_UPDATE_COMMAND_UI(ID_EDIT_ROWS_COLUMNS, OnUpdateDesign)
  ON_UPDATE_COMMAND_UI(ID_EDIT_UNDO_STEP, OnUpdateUndo)
  ON_UPDATE_COMMAND_UI(ID_EDIT_REDO_STEP, OnUpdateRedo)
  ON_UPDATE_COMMAND_UI(ID_VIEW_SEPARATE_PREVIEW, OnUpdateBeads)
  ON_UPDATE_COMMAND_UI(ID_VIEW_INTERESTING_COLORS, OnUpdateDesign)
  ON_UPDATE_COMMAND_UI(ID_VIEW_SHOW_GRID, OnUpdateShowGrid)
  ON_UPDATE_COMMAND_UI(ID_VIEW_RULER_BAR, OnUpdateRulerBar)
  ON_UPDATE_COMMAND_UI_RANGE(ID_EFFECT_ROUND, ID_EFFECT_ROUND_RECT, OnUpdateEffect)
  ON_UPDATE_COMMAND_UI(ID_OPTIONS_PREFERENCES, OnUpdateFree)
  ON_UPDATE_COMMAND_UI(ID_OPTIONS_BACKGROUND, OnUpdateFree)
  ON_UPDATE_COMMAND_UI(ID_HELP_CHECK_UPDATE, OnUpdateOn)
  ON_UPDATE_COMMAND_UI(ID_HELP_DOWNLOAD_DESIGN, OnUpdateOn)
  ON_UPDATE_COMMAND_UI(ID_HELP_OTHER_PRODUCT, OnUpdateOn)
  ON_UPDATE_COMMAND_UI(ID_HELP_DESCRIPTION, OnUpdateOn)
  ON_UPDATE_COMMAND_UI(IDC_ZOOM_COMBO, OnUpdateZoomCombo)
  ON_UPDATE_COMMAND_UI(ID_BEAD_EFFECT, OnUpdateBeadEffectButton)
  ON_UPDATE_COMMAND_UI_RANGE(ID_RECENT_DESIGN_FIRST, ID_RECENT_DESIGN_LAST, OnUpdateRecentDesign)
  ON_UPDATE_COMMAND_UI(ID_INDICATOR_DESIGN, OnUpdateStatusPane)
  ON_UPDATE_COMMAND_UI(ID_INDICATOR_PALETTE, OnUpdateStatusPane)
END_MESSAGE_MAP()

// ---- Update rules ----

bool CMainFrame::HasDesignBeads() {
  CTabView* view = GetTabView();
  return view && view->GetPattern()->HasBeads();
}

bool CMainFrame::IsToolOpen(CCmdUI* pCmdUI) {
  CTabView* view = GetTabView();
  return view && view->IsToolDialogOpen(pCmdUI);
}

void CMainFrame::OnUpdateFree(CCmdUI* pCmdUI) { IsToolOpen(pCmdUI); }

void CMainFrame::OnUpdateDesign(CCmdUI* pCmdUI) {
  if (!HasDesignBeads()) {
    pCmdUI->Enable(FALSE);
    return;
  }
  IsToolOpen(pCmdUI);
}

void CMainFrame::OnUpdateSave(CCmdUI* pCmdUI) {
  CTabView* view = GetTabView();
  pCmdUI->Enable(HasDesignBeads() && view && !view->GetToolWindow(CTabView::kToolSeparated));
}

void CMainFrame::OnUpdateBeads(CCmdUI* pCmdUI) { pCmdUI->Enable(HasDesignBeads()); }

void CMainFrame::OnUpdateUndo(CCmdUI* pCmdUI) {
  CTabView* view = GetTabView();
  pCmdUI->Enable(HasDesignBeads() && !IsToolOpen() && view->CanUndo());
}

void CMainFrame::OnUpdateRedo(CCmdUI* pCmdUI) {
  CTabView* view = GetTabView();
  pCmdUI->Enable(HasDesignBeads() && !IsToolOpen() && view->CanRedo());
}

void CMainFrame::OnUpdateShowGrid(CCmdUI* pCmdUI) {
  pCmdUI->Enable(TRUE);
  pCmdUI->SetCheck(GetGridSettings().m_showGrid ? 1 : 0);
}

void CMainFrame::OnUpdateRulerBar(CCmdUI* pCmdUI) {
  pCmdUI->Enable(TRUE);
  pCmdUI->SetCheck(IsRulerBarVisible() ? 1 : 0);
}

void CMainFrame::OnUpdateEffect(CCmdUI* pCmdUI) {
  CTabView* view = GetTabView();
  pCmdUI->Enable(HasDesignBeads());
  const DWORD effect = view ? view->GetPattern()->m_beadEffect : 0;
  pCmdUI->SetRadio(effect == pCmdUI->m_nID - ID_EFFECT_ROUND);
}

void CMainFrame::OnUpdateZoomCombo(CCmdUI* pCmdUI) {
  CTabView* view = GetTabView();
  const bool rendered = view && view->GetPatternView();
  pCmdUI->Enable(rendered);
  if (rendered && !m_toolbar.IsZoomComboFocused() && view->GetPatternZoom() > 0)
    m_toolbar.SetZoomText(view->GetPatternZoom());
}

void CMainFrame::OnUpdateBeadEffectButton(CCmdUI* pCmdUI) {
  pCmdUI->Enable(TRUE);
  if (HasDesignBeads()) m_toolbar.SetEffectImage(static_cast<int>(GetTabView()->GetPattern()->m_beadEffect));
}

void CMainFrame::OnUpdateRecentDesign(CCmdUI* pCmdUI) {
  CString path, own;
  CTabView* view = GetTabView();
  const bool known = m_recentDesigns.GetPath(pCmdUI->m_nID, path) && view && view->GetPattern()->GetFilePath(own);
  pCmdUI->SetCheck(known && path.CompareNoCase(own) == 0 ? 1 : 0);
}

void CMainFrame::OnUpdateStatusPane(CCmdUI* pCmdUI) {
  CTabView* view = GetTabView();
  if (!view) return;
  const int index = pCmdUI->m_nID == ID_INDICATOR_DESIGN ? 1 : 2;
  CString text;
  view->GetStatusPaneText(index, text);
  CString& kept = index == 1 ? m_statusText1 : m_statusText2;
  if (text == kept) return;
  kept = text;
  pCmdUI->SetText(text);
}

// ---- File ----

void CMainFrame::OnFileOpen() {
  if (!PromptSaveModified()) return;
  if (CTabView* view = GetTabView()) view->OnFileOpen();
}

void CMainFrame::OnFileImport() {
  if (!PromptSaveModified()) return;
  if (CTabView* view = GetTabView()) view->OnFileImport();
}

void CMainFrame::OnFileSave() {
  if (CTabView* view = GetTabView()) view->OnFileSave();
}

void CMainFrame::OnFileSaveAs() {
  if (CTabView* view = GetTabView()) view->OnFileSaveAs();
}


void CMainFrame::OnFileGraphical() {
  if (CTabView* view = GetTabView()) view->ExportBeadedImage();
}

void CMainFrame::OnFileCopyToClipboard() {
  CTabView* view = GetTabView();
  if (view && view->CopyPatternToClipboard()) AppMessageBoxId(IDS_COPIED_TO_CLIPBOARD, kMbIconStop);
}

// The program prints nothing itself: the prompt chooses the picture or the
// PDF export, whose file the user prints with the program that opens it.
void CMainFrame::OnFilePrint() {
  CPromptPrintDlg prompt(this);
  if (prompt.DoModal() != IDOK) return;
  PostMessage(WM_COMMAND, GetAppSettings().m_printChoice == 1 ? ID_FILE_EXPORT_PDF : ID_FILE_EXPORT_PICTURE);
}

void CMainFrame::OnFilePropertiesCommand() { OnFileProperties(); }

// ---- Edit ----

void CMainFrame::OnPartialDesign() {
  if (CTabView* view = GetTabView()) OpenPartialDesignDialog(view, this);
}

void CMainFrame::OnEditColorGroup() {
  if (CTabView* view = GetTabView()) view->OpenEditColorGroup();
}

void CMainFrame::OnTextByBeads() {
  if (CTabView* view = GetTabView()) OpenTextByBeadsDialog(view, this);
}

void CMainFrame::OnUseOnlyColors() {
  if (CTabView* view = GetTabView()) CReduceColorsNumberDlg::Run(view, this);
}

void CMainFrame::OnRemoveSeparate() {
  if (CTabView* view = GetTabView()) CDeleteSepStitchDlg::Open(view, this);
}

void CMainFrame::OnDesignBySample() {
  CTabView* view = GetTabView();
  if (!view || !view->GetPattern()->HasBeads() || view->IsToolDialogOpen()) return;
  CDesignBySampleDlg dialog(view, this);
  if (dialog.DoModal() == IDOK) view->ClearEditHistory();
}

void CMainFrame::OnMirror() {
  if (CTabView* view = GetTabView()) view->OnMirror();
}

void CMainFrame::OnRowsColumns() {
  if (CTabView* view = GetTabView()) OpenRowsColumnsDialog(view, this);
}

void CMainFrame::OnUndo() {
  if (CTabView* view = GetTabView()) view->Undo();
}

void CMainFrame::OnRedo() {
  if (CTabView* view = GetTabView()) view->Redo();
}

// ---- View ----

void CMainFrame::OnSeparatePreview() {
  if (CTabView* view = GetTabView()) CCurrentPatternViewDlg::Open(view);
}

void CMainFrame::OnInterestingColors() {
  if (CTabView* view = GetTabView()) CDisplayOnlyColorsDialog::Open(view, this);
}

void CMainFrame::OnShowGrid() {
  CGridSettings& grid = GetGridSettings();
  grid.m_showGrid = grid.m_showGrid ? 0 : 1;
  if (CTabView* view = GetTabView()) view->Invalidate(FALSE);
}

void CMainFrame::OnRulerBar() {
  CAppSettings& settings = GetAppSettings();
  settings.m_rulerBarShown = settings.m_rulerBarShown ? 0 : 1;
  m_splitter.RecalcLayout();
}

void CMainFrame::OnEffect(UINT nID) {
  CTabView* view = GetTabView();
  if (!view) return;
  const DWORD effect = nID - ID_EFFECT_ROUND;
  CPattern* design = view->GetPattern();
  if (design->m_beadEffect == effect) return;
  design->m_beadEffect = effect;
  view->OnPatternChanged(true);
}

void CMainFrame::OnBeadEffectPopup() {
  CImageList icons;
  icons.Create(16, 16, ILC_COLOR24 | ILC_MASK, 4, 1);
  for (UINT id : {IDI_EFFECT_ROUND, IDI_EFFECT_CIRCLE, IDI_EFFECT_CYLINDER, IDI_EFFECT_ROUND_RECT}) {
    HICON icon = static_cast<HICON>(::LoadImage(AfxGetResourceHandle(), MAKEINTRESOURCE(id), IMAGE_ICON, 16, 16, 0));
    icons.Add(icon);
    if (icon) ::DestroyIcon(icon);
  }
  CRect bar;
  m_toolbar.GetWindowRect(&bar);
  const CRect button = m_toolbar.GetEffectButtonRect();
  ShowIconPopupMenu(IDR_EFFECT_MENU, IDR_EFFECT_ICONS, &icons, bar.left + button.left + 12,
                    bar.top + button.bottom + 1, this, 0);
}

// ---- Options ----

void CMainFrame::OnPreferences() {
  CPropContainerDlg dialog(GetPreferencesPage(), this);
  dialog.DoModal();
  SetPreferencesPage(dialog.GetCurrentPage());
}

void CMainFrame::OnBackgroundColor() {
  CAppSettings& settings = GetAppSettings();
  CColorDialog dialog(settings.m_viewBackgroundColor, CC_FULLOPEN | CC_RGBINIT, this);
  if (dialog.DoModal() != IDOK) return;
  const COLORREF color = dialog.GetColor();
  if (color == settings.m_viewBackgroundColor) return;
  settings.m_viewBackgroundColor = color;
  CTabView* view = GetTabView();
  if (view && view->GetPattern()->HasBeads()) {
    view->OnPatternChanged(true);
    view->Invalidate(TRUE);
  } else if (view) {
    view->Invalidate(TRUE);
  }
}

// ---- Help ----

CString CMainFrame::ExtractVersion(const CString& text) {
  const int n = text.GetLength();
  int digit = -1;
  for (int i = 0; i < n; ++i)
    if (text[i] >= '0' && text[i] <= '9') {
      digit = i;
      break;
    }
  if (digit <= 0) return CString();
  const int dot = text.Find('.', digit + 1);
  if (dot < 0) return CString();
  int end = -1;
  for (int i = dot + 1; i < n; ++i)
    if (text[i] < '0' || text[i] > '9') {
      end = i;
      break;
    }
  if (end < 0) return CString();
  return text.Mid(digit, end - digit);
}

void CMainFrame::OnCheckUpdate() {
  const CString version = ExtractVersion(LoadResString(IDS_DOCUMENT_DESCRIPTION));
  CString date;
  GetBuildDateText(date);
  CString message;
  message.Format(LoadResString(IDS_VERSION_CHECK), version.GetString(), date.GetString());
  if (AfxMessageBox(message, kMbYesNoQuestion) == IDYES) OpenWebPage(this, SiteAddress() + "freeware/");
}

void CMainFrame::OnDownloadDesign() {
  OpenWebPage(this, SiteAddress() + "free-scheme-download/#topic_list");
}

void CMainFrame::OnOtherProduct() {
  OpenWebPage(this, IsRussianInterface() ? "https://faldrenwick.example.ru/" : "https://faldrenwick.example.com/");
}

void CMainFrame::OnDescription() {
  CString folder = GetProgramFolder();
  while (folder.GetLength() > 1 && (folder[folder.GetLength() - 1] == '/' || folder[folder.GetLength() - 1] == '\\'))
    folder = folder.Left(folder.GetLength() - 1);
  const CString path = folder + "/Doc/Velloran.doc";
  if (!FileExists(path)) {
    CString message;
    message.Format(LoadResString(IDS_FILE_NOT_EXISTS), path.GetString());
    AfxMessageBox(message, kMbIconStop);
    return;
  }
  const auto answer = reinterpret_cast<INT_PTR>(ShellExecute(m_hWnd, "open", path, nullptr, nullptr, SW_SHOWNORMAL));
  if (answer <= 32) AfxMessageBox(LoadResString(IDS_INSTALL_WORD) + "\n" + path, kMbIconStop);
}

// ---- Recent designs and the Open drop-down ----

bool CMainFrame::RunRecentDesign(UINT command) {
  CString path;
  if (!m_recentDesigns.GetPath(command, path)) return false;
  if (FileExists(path)) {
    RedrawWindow();
    if (!PromptSaveModified()) return false;
    CTabView* view = GetTabView();
    return view && view->OpenDesignFile(path);
  }
  AppMessageBox(LoadResString(IDS_RECENT_DESIGN_MISSING) + "\n" + path, kMbIconStop);
  m_recentDesigns.RemoveFile(path);
  return false;
}

void CMainFrame::OnRecentDesign(UINT nID) { RunRecentDesign(nID); }

void CMainFrame::RunOpenDropDown() {
  if (m_recentDesigns.IsEmpty()) {
    SendMessage(WM_COMMAND, ID_FILE_OPEN_DESIGN);
    return;
  }
  CRect button;
  m_toolbar.GetItemRect(m_toolbar.CommandToIndex(ID_FILE_OPEN_DESIGN), &button);
  m_toolbar.ClientToScreen(&button);
  CRecentFileDlg dialog(&m_recentDesigns, CPoint(button.left, button.bottom), this);
  dialog.DoModal();
}

void CMainFrame::OnDropDown(NMHDR* pNMHDR, LRESULT* pResult) {
  const auto* info = reinterpret_cast<NMTOOLBAR*>(pNMHDR);
  *pResult = TBDDRET_DEFAULT;
  if (info->iItem == ID_BEAD_EFFECT) {
    PostMessage(WM_COMMAND, ID_BEAD_EFFECT);
  } else if (info->iItem == ID_FILE_OPEN_DESIGN) {
    RunOpenDropDown();
  }
}
