// CTabView's file operations: opening, importing and saving designs, the
// palette and picture exports and the clipboard copy. The work is done by
// ReadDesignForView (designfile/DesignRead.h) and the functions of
// DesignIO.h and BeadedImageExport.h over the view's design, palette and
// pictures; the view takes over what was read only when everything
// succeeded.
#include <cstring>

#include "controls/RecentFiles.h"
#include "controls/ShellOpen.h"
#include "core/DialogServices.h"
#include "core/FileUtils.h"
#include "core/FrameServices.h"
#include "core/PathUtils.h"
#include "core/Registry.h"
#include "design/CommonUndo.h"
#include "designfile/DesignRead.h"
#include "image/ImageView.h"
#include "lang/ids/designfile.h"
#include "lang/ids/file.h"
#include "palette/PaletteXml.h"
#include "settings/AppSettings.h"
#include "settings/GraphicOutput.h"
#include "view/BeadedImageExport.h"
#include "view/CtrlPane.h"
#include "view/DesignIO.h"
#include "view/FramePorts.h"
#include "view/PreViewFileDlg.h"
#include "view/TabView.h"

namespace {

constexpr UINT kSaveCommand = 32002;

CRecentFiles* RecentDesigns() {
  IFrameServices* services = GetFrameServices();
  return services != nullptr ? services->GetRecentDesigns() : nullptr;
}

void AddTempFile(const CString& path) {
  if (IFrameServices* services = GetFrameServices()) services->AddTempFile(path);
}

// A written file opens with the desktop's program, or its place is told.
void ShellOpen(CWnd* owner, const CString& path) { OpenWrittenFile(owner != nullptr ? owner->m_hWnd : nullptr, path); }

}  // namespace

// ---- Opening ----

bool CTabView::OpenDesignFile(const char* path) {
  const CString given = path != nullptr ? path : "";
  m_lastOpenRequest = given;
  ClearLatestMarlowispDesignFileName();
  CDesignForView read;
  CString message;
  const int result = ReadDesignForView(given, read, message, &m_imageOwner, GetIProgress());
  if (result != kDesignOpenOk) {
    // A file that failed to read leaves the recent list; a corrupt one
    // stays, so that it can be tried again.
    if (result == kDesignOpenFailed) {
      if (CRecentFiles* recent = RecentDesigns()) recent->RemoveFile(given);
      CAppSettings& settings = GetAppSettings();
      if (settings.m_lastDesign.CompareNoCase(given) == 0) settings.m_lastDesign.Empty();
    }
    AppMessageBox(message, kMbIconStop);
    return false;
  }
  TakeOverDesign(read, given);
  return true;
}

void CTabView::TakeOverDesign(CDesignForView& read, const CString& path) {
  ClearEditHistory();
  m_design = *read.contents.design;
  m_design.m_pdfData = read.contents.design->m_pdfData;
  m_palette.CopyConstruct(*read.contents.palette);
  m_palettePath = read.contents.palettePath;
  if (!read.picturePath.IsEmpty()) AddTempFile(read.picturePath);
  SetOriginalView(read.picture.release(), read.picturePath);
  if (IFrameServices* services = GetFrameServices())
    if (CCommonUndo* undo = services->GetUndoFolder()) undo->Clear();
  GetAppSettings().m_lastDesign = path;
  DropPatternView();
  SetZoomMode(1);
  OnPatternChanged(false);
  if (IViewToolSource* pane = GetToolSource()) pane->RefreshColorList();
  if (CRecentFiles* recent = RecentDesigns())
    if (m_patternView != nullptr) recent->AddFile(path, *m_patternView, m_design.m_title);
  if (read.saveNow) {
    // Read in an older form: written back at once in the current one.
    if (CWnd* frame = AfxGetMainWnd()) frame->PostMessage(WM_COMMAND, kSaveCommand, 0);
  }
}

bool CTabView::ShowDesignFileDialog(CString& path, bool open) {
  CString folder, name, own;
  if (m_design.GetFilePath(own)) {
    folder = GetPathFolder(own);
    name = GetPathTitle(own);
  } else {
    folder = GetAppSettings().m_designFolder;
    if (folder.IsEmpty()) folder = GetDesignFolder();
    CString proposed;
    if (MakeUniqueDesignName(folder, proposed, m_design.m_title)) name = GetPathTitle(proposed);
    if (IsFolderWithoutDesigns(folder)) {
      CString samples = folder;
      if (samples.Right(1) != "/") samples += "/";
      samples += "SAMPLES";
      if (FolderExists(samples)) folder = samples;
    }
  }
  const CString filter = LoadResString(open ? IDS_DESIGN_FILTER_OPEN : IDS_DESIGN_FILTER_SAVE);
  const DWORD flags = OFN_HIDEREADONLY | (open ? OFN_FILEMUSTEXIST : OFN_CREATEPROMPT);
  CPreViewDesignFileDlg dlg(open, kDesignExtension, open ? nullptr : name.GetString(), flags, filter, this);
  dlg.m_ofn.lpstrInitialDir = folder.GetString();
  if (dlg.DoModal() != IDOK) return false;
  path = dlg.GetPathName();
  return true;
}

bool CTabView::ShowImportDialog(CString& path) {
  CPreViewDesignFileDlg dlg(TRUE, kImportedDesignExtension, nullptr, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST,
                            LoadResString(IDS_IMPORT_FILTER), this);
  dlg.SetTitle(LoadResString(IDS_IMPORT_TITLE));
  if (dlg.DoModal() != IDOK) return false;
  path = dlg.GetPathName();
  return true;
}

void CTabView::OnFileOpen() {
  CString path;
  if (!ShowDesignFileDialog(path, true)) return;
  UpdateWindow();
  OpenDesignFile(path);
}

void CTabView::OnFileImport() {
  CString path;
  if (!ShowImportDialog(path)) return;
  UpdateWindow();
  OpenDesignFile(path);
}

bool CTabView::LoadOriginalImage(const char* path) {
  bool loaded = false;
  CImageView* view = nullptr;
  {
    CWaitCursor wait;
    view = new CImageView(&m_imageOwner, path, loaded, -1, GetIProgress());
  }
  if (!loaded || !view->IsValid()) {
    delete view;
    CString text = LoadResString(IDS_FAILED_LOAD_IMAGE);
    text += "\n";
    text += path;
    AppMessageBox(text, kMbIconStop);
    return false;
  }
  view->SetFitToWindow(true, false);
  SetOriginalView(view, path);
  return true;
}

bool CTabView::LoadPaletteBlob(const BYTE* bytes, size_t size) {
  if (!m_palette.LoadPaletteFromBytes(bytes, size)) {
    AppMessageBoxId(IDS_LOAD_PALETTE_FAILED, kMbIconStop);
    return false;
  }
  CountUsedColors();
  if (IViewToolSource* pane = GetToolSource()) pane->RefreshColorList();
  return true;
}

// ---- Saving ----

bool CTabView::OnFileSave() {
  CString own;
  if (m_design.GetFilePath(own)) return SaveDesignFile(own, true);
  return OnFileSaveAs();
}

bool CTabView::OnFileSaveAs() {
  CString path;
  if (!ShowDesignFileDialog(path, false)) return false;
  return SaveDesignFile(path, true);
}

bool CTabView::SaveDesignFile(const CString& path, bool addToRecent) {
  CString own;
  m_design.GetFilePath(own);
  // Another design's file (".txt" made ".qx", the ".qx" beside a ".fw")
  // is replaced only when the user says so.
  if (WouldReplaceOtherFile(path, own) && AppMessageBox(FormatReplaceQuestion(path), kMbYesNoQuestion) != IDYES)
    return false;
  CString picturePath = m_originalPath, written, message;
  const bool ok = SaveDesignForView(path, m_design, m_palette, m_palettePath, picturePath, m_originalView, written,
                                    message);
  if (ok) {
    if (picturePath != m_originalPath) {
      // The picture was stored from memory into a new file: kept for the
      // next saves, deleted at exit.
      m_originalPath = picturePath;
      AddTempFile(picturePath);
    }
    if (addToRecent) {
      GetAppSettings().m_lastDesign = written;
      if (CRecentFiles* recent = RecentDesigns())
        if (m_patternView != nullptr) recent->AddFile(written, *m_patternView, m_design.m_title);
    }
  } else {
    AppMessageBox(message, kMbIconStop);
  }
  OnPatternChanged(true);
  return ok;
}

// ---- Exports ----

void CTabView::SavePaletteAs() {
  CString folder, name;
  if (!m_palettePath.IsEmpty() && FileExists(m_palettePath)) {
    folder = GetPathFolder(m_palettePath);
    name = GetPathFileName(m_palettePath);
  }
  CFileDialog dlg(FALSE, "pal", name.IsEmpty() ? nullptr : name.GetString(), OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                  LoadResString(IDS_PALETTE_SAVE_FILTER), this);
  const CString title = LoadResString(IDS_SAVE_PALETTE_AS);
  dlg.m_ofn.lpstrTitle = title.GetString();
  if (!folder.IsEmpty()) dlg.m_ofn.lpstrInitialDir = folder.GetString();
  if (dlg.DoModal() != IDOK) return;
  CString path = dlg.GetPathName();
  const CString ext = GetPathExtension(path);
  path = path.Left(path.GetLength() - ext.GetLength()) + ".pal";
  if (m_palette.SavePaletteAs(path)) {
    m_palette.SetModified(false);
    return;
  }
  CString text = LoadResString(IDS_SAVE_PALETTE_FAILED);
  text += "\n";
  text += path;
  AppMessageBox(text, kMbIconStop);
}

void CTabView::ExportPaletteXml() {
  CFileDialog dlg(FALSE, "xml", nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LoadResString(IDS_XML_FILE_FILTER),
                  this);
  const CString title = LoadResString(IDS_EXPORT_PALETTE_XML);
  dlg.m_ofn.lpstrTitle = title.GetString();
  if (dlg.DoModal() != IDOK) return;
  const CString path = dlg.GetPathName();
  CPaletteXmlInfo info(false);
  GetProductTitle(info.software);
  GetBuildDateText(info.versionId);
  GetWebSiteLink(info.webLink);
  bool ok = false;
  {
    CWaitCursor wait;
    ok = m_palette.ExportXml(path, info);
  }
  if (ok)
    ShellOpen(this, path);
  else
    AppMessageBoxId(IDS_COULD_NOT_SAVE_FILE, kMbIconStop);
}

void CTabView::SaveOriginalImageAs() {
  if (m_originalView == nullptr || !m_originalView->IsValid()) return;
  CGraphicOutputParams params;
  CPreViewImageFileDlg dlg(FALSE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                           LoadResString(IDS_PICTURE_SAVE_FILTER), this, IDI_SAVE_DESIGN);
  dlg.SetOutputSize(m_originalView->GetWidth(), m_originalView->GetHeight());
  dlg.m_ofn.nFilterIndex = static_cast<DWORD>(CSelectExportBeadImageFileDlg::FilterForFileType(params.m_fileType));
  dlg.SetTitle(LoadResString(IDS_SAVE_ORIGINAL_AS));
  if (dlg.DoModal() != IDOK) return;
  const int filter = static_cast<int>(dlg.m_ofn.nFilterIndex);
  if (filter < 1 || filter > 3) return;
  const int type = CSelectExportBeadImageFileDlg::FileTypeForFilter(filter);
  const CString path = WithTypeExtension(dlg.GetPathName(), type);
  const CSize size = dlg.GetOutputSize();
  if (SaveOriginalPicture(*m_originalView, m_originalPath, path, type, SIZE{size.cx, size.cy})) {
    ShellOpen(this, path);
    Invalidate();
    return;
  }
  CString text = LoadResString(IDS_SAVE_ORIGINAL_FAILED);
  text += "\n";
  text += path;
  AppMessageBox(text, kMbIconStop);
}

bool CTabView::ComposeBeadedImage(const CString& path, const CGraphicOutputParams& params) {
  if (m_patternView == nullptr || !m_patternView->IsValid()) return false;
  CountUsedColors();
  LOGFONT symbols{};
  m_design.m_symbolSet.GetLogFont(symbols);
  double width = 0, height = 0;
  m_design.GetNominalSize(width, height);
  return ::ComposeBeadedImage(*m_patternView, width, height, m_palette, symbols, params, path);
}

void CTabView::ExportBeadedImage() {
  if (m_patternView == nullptr || !m_patternView->IsValid()) return;
  CGraphicOutputParams params;
  params.m_outputWidth = m_patternView->GetWidth();
  params.m_outputHeight = m_patternView->GetHeight();
  params.m_columns = static_cast<int>(m_design.GetColumnCount());
  params.m_rows = static_cast<int>(m_design.GetRowCount());
  CSelectExportBeadImageFileDlg dlg(&params, nullptr, m_design.m_title, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                                    LoadResString(IDS_PICTURE_SAVE_FILTER), this, IDI_EXPORT_BEAD_IMAGE);
  dlg.SetTitle(LoadResString(IDS_EXPORT_BEAD_IMAGE_AS));
  if (dlg.DoModal() != IDOK) return;
  const CString path = WithTypeExtension(dlg.GetPathName(), params.m_fileType);
  if (CWnd* frame = AfxGetMainWnd()) frame->UpdateWindow();
  bool ok = false;
  {
    CWaitCursor wait;
    ok = ComposeBeadedImage(path, params);
  }
  if (ok) {
    ShellOpen(this, path);
    return;
  }
  CString text;
  text.Format("%s\n%s", LoadResString(IDS_EXPORT_BEAD_IMAGE_FAILED).GetString(), path.GetString());
  AppMessageBox(text, kMbIconStop);
}

bool CTabView::CopyPatternToClipboard() { return m_patternView != nullptr && m_patternView->CopyToClipboard(); }
