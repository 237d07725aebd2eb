#include "view/PreViewPaletteFileDlg.h"

#include "core/FileUtils.h"
#include "core/FrameServices.h"
#include "core/PathUtils.h"
#include "lang/ids/file.h"
#include "view/PreViewPaletteSearch.h"

BEGIN_MESSAGE_MAP(CPreViewPaletteFileDlg, CPreViewFileDlg)
  ON_BN_CLICKED(IDC_PALETTE_FIND_BEST, OnFindBetter)
END_MESSAGE_MAP()

CPreViewPaletteFileDlg::CPreViewPaletteFileDlg(BOOL open, LPCTSTR defExt, LPCTSTR fileName, DWORD flags,
                                               LPCTSTR filter, CWnd* parent, UINT iconId)
    : CPreViewFileDlg(IDD_PALETTE_FILE_PANEL, open, defExt, fileName, flags | OFN_EXPLORER, filter, parent) {
  SetIconId(iconId);
}

bool CPreViewPaletteFileDlg::LoadOriginalImage(const CString& path) {
  m_picture.reset();
  bool ok = false;
  auto picture = std::make_unique<CImage>(path, ok);
  if (ok && picture->IsValid()) m_picture = std::move(picture);
  return m_picture != nullptr;
}

void CPreViewPaletteFileDlg::SetOriginalImage(const CImage* picture) {
  m_picture.reset();
  if (picture != nullptr && picture->IsValid()) m_picture = std::make_unique<CImage>(*picture);
}

BOOL CPreViewPaletteFileDlg::OnInitDialog() {
  CPreViewFileDlg::OnInitDialog();
  m_list.SubclassDlgItem(IDC_PALETTE_COLORS, this);
  m_list.MakeColumn();
  m_frame.SubclassDlgItem(IDC_FILE_PREVIEW, this);
  DrawPreviewMessage(&m_frame, nullptr);
  ShowPalette(false);
  if (CWnd* find = GetDlgItem(IDC_PALETTE_FIND_BEST)) find->EnableWindow(m_picture != nullptr);
  return TRUE;
}

void CPreViewPaletteFileDlg::ShowPalette(bool shown) {
  m_paletteShown = shown;
  m_list.ShowWindow(shown ? SW_SHOW : SW_HIDE);
  if (CWnd* count = GetDlgItem(IDC_PALETTE_COUNT)) count->ShowWindow(shown ? SW_SHOW : SW_HIDE);
}

void CPreViewPaletteFileDlg::OnFileNameChange() {
  const CString path = GetPathName();
  CString reason;
  m_list.DeleteAllItems();
  if (FileExists(path) && m_palette.LoadPaletteFile(path, reason)) {
    m_frame.ShowFace();
    CString count;
    count.Format(LoadResString(IDS_PALETTE_COLOR_COUNT), m_palette.GetCount());
    SetDlgItemText(IDC_PALETTE_COUNT, count);
    m_list.Fill(m_palette);
    // The version line in the interface language.
    CString version;
    switch (m_palette.GetKind()) {
      case CColorSet::kKindPlainText: version = LoadResString(IDS_PALETTE_VERSION_PLAIN); break;
      case CColorSet::kKindSheetData: version = LoadResString(IDS_PALETTE_VERSION_SHEET); break;
      case CColorSet::kKindSheetDataAndImage: version = LoadResString(IDS_PALETTE_VERSION_SHEET_IMAGE); break;
      default: break;
    }
    if (version.IsEmpty()) m_palette.GetVersionText(version);
    SetDlgItemText(IDC_PALETTE_VERSION, version);
    ShowPalette(true);
    return;
  }
  m_palette.Clear();
  SetDlgItemText(IDC_PALETTE_VERSION, "");
  ShowPalette(false);
  DrawPreviewMessage(&m_frame, nullptr);
}

void CPreViewPaletteFileDlg::OnFindBetter() { FindBetterPalette(); }

void CPreViewPaletteFileDlg::FindBetterPalette() {
  m_lastFileCount = 0;
  m_lastProposal.Empty();
  CWnd* owner = GetParent();
  const HWND ownerHwnd = owner != nullptr ? owner->m_hWnd : nullptr;
  const CString folder = GetFolderPath();
  std::vector<CString> files;
  if (!CollectPaletteFiles(folder, files)) {
    AppMessageBoxId(IDS_CANNOT_SEARCH_FOLDER, kMbIconStop, ownerHwnd);
    return;
  }
  if (files.empty()) {
    AppMessageBoxId(IDS_NO_PALETTE_IN_FOLDER, kMbIconStop, ownerHwnd);
    return;
  }
  int best = 0;
  {
    CWaitCursor wait;
    best = FindBestPaletteFile(m_picture.get(), files, nullptr, m_progressHost);
  }
  if (best < 0) {
    // Not one of them reads as a palette.
    AppMessageBoxId(IDS_NO_PALETTE_IN_FOLDER, kMbIconStop, ownerHwnd);
    return;
  }
  m_lastFileCount = static_cast<int>(files.size());
  m_lastProposal = GetPathFileName(files[static_cast<size_t>(best)]);
  if (owner != nullptr) {
    // The field takes the focus first: the file list then follows the name
    // without writing its own selection back into the field.
    if (CWnd* name = owner->GetDlgItem(QM_IDC_FILE_NAME)) name->SetFocus();
    SetControlText(QM_IDC_FILE_NAME, m_lastProposal);
  }
  CString text;
  text.Format(LoadResString(IDS_BETTER_PALETTE_FOUND), m_lastProposal.GetString(), m_lastFileCount);
  AppMessageBox(text, kMbOk, ownerHwnd);
}
