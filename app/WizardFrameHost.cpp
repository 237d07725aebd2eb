#include "app/WizardFrameHost.h"

#include "app/App.h"
#include "app/MainFrm.h"
#include "controls/RecentFiles.h"
#include "core/FileUtils.h"
#include "lang/ids/file.h"
#include "lang/ids/shared.h"
#include "lang/ids/wizard.h"
#include "view/PreViewFileDlg.h"
#include "view/PreViewPaletteFileDlg.h"

namespace {

void CopyPaths(const CRecentFileLst& list, std::vector<CString>& out) {
  out.clear();
  for (int i = 0; i < list.GetCount(); ++i) out.push_back(list.GetAt(i));
}

// Runs a file dialog that starts in the folder (when one is given); true
// with the chosen path on OK.
bool RunFileDialog(CFileDialog& dialog, const CString& folder, CString& path) {
  if (!folder.IsEmpty()) dialog.m_ofn.lpstrInitialDir = folder.GetString();
  if (dialog.DoModal() != IDOK) return false;
  path = dialog.GetPathName();
  return !path.IsEmpty();
}

}  // namespace

CWizardFrameHost::CWizardFrameHost(CMainFrame& frame)
    : CWizardViewHost(*frame.GetTabView(), frame.GetCtrlPane()), m_frame(frame) {}
CWizardFrameHost::~CWizardFrameHost() = default;

void CWizardFrameHost::GetRecentPictures(std::vector<CString>& out) { CopyPaths(*m_frame.GetRecentPictures(), out); }

void CWizardFrameHost::AddRecentPicture(const CString& path) { m_frame.GetRecentPictures()->AddFile(path.GetString()); }

void CWizardFrameHost::GetRecentPalettes(std::vector<CString>& out) { CopyPaths(*m_frame.GetRecentPalettes(), out); }

void CWizardFrameHost::AddRecentPalette(const CString& path) { m_frame.GetRecentPalettes()->AddFile(path.GetString()); }

void CWizardFrameHost::GetRecentDesigns(std::vector<CString>& out) {
  out.clear();
  const CRecentFiles& list = *m_frame.GetRecentDesigns();
  for (int i = 0; i < list.GetCount(); ++i) out.push_back(list.GetEntry(i).path);
}

void CWizardFrameHost::SetStatusText(const CString& text) {
  if (m_frame.GetSafeHwnd()) m_frame.SetMessageText(text.GetString());
}

unsigned long long CWizardFrameHost::GetMaxBeadCount() {
  const CApp* app = GetApp();
  const int maximum = app ? app->GetMaxBeadCount() : 0;
  return maximum > 0 ? static_cast<unsigned long long>(maximum) : 0;
}

bool CWizardFrameHost::AskPictureToOpen(CWnd* parent, const CString& folder, CString& path) {
  CPreViewImageFileDlg dialog(TRUE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST,
                              LoadResString(IDS_WIZ_PICTURE_FILTER), parent, IDI_WIZ_PICTURE_FILE);
  dialog.SetTitle(LoadResString(IDS_WIZ_PICTURE_TITLE));
  return RunFileDialog(dialog, folder, path);
}

bool CWizardFrameHost::AskPictureToSave(CWnd* parent, SIZE size, CString& path, int& filterIndex) {
  CPreViewImageFileDlg dialog(FALSE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                              LoadResString(IDS_PICTURE_SAVE_FILTER), parent, IDI_WIZ_PICTURE_FILE);
  dialog.SetTitle(LoadResString(IDS_WIZ_PASTE_SAVE_TITLE));
  dialog.SetOutputSize(size.cx, size.cy);
  if (!RunFileDialog(dialog, CString(), path)) return false;
  filterIndex = static_cast<int>(dialog.m_ofn.nFilterIndex);
  return true;
}

bool CWizardFrameHost::AskPaletteToOpen(CWnd* parent, const CString& folder, const CString& picture, CString& path) {
  CPreViewPaletteFileDlg dialog(TRUE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST,
                                LoadResString(IDS_PALETTE_FILE_FILTER), parent, IDI_PALETTE_FILE);
  dialog.SetTitle(LoadResString(IDS_SELECT_PALETTE_FILE));
  if (!picture.IsEmpty()) dialog.LoadOriginalImage(picture);
  dialog.SetProgressHost(GetProgressHost());
  return RunFileDialog(dialog, folder, path);
}

bool CWizardFrameHost::AskDesignToOpen(CWnd* parent, const CString& folder, CString& path) {
  CPreViewDesignFileDlg dialog(TRUE, kDesignExtension, nullptr, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST,
                               LoadResString(IDS_DESIGN_FILTER_OPEN), parent);
  return RunFileDialog(dialog, folder, path);
}
