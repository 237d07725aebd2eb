#include "dialogs/WizProjectPages.h"

#include "core/FileUtils.h"
#include "core/FrameServices.h"
#include "core/PathUtils.h"
#include "core/Registry.h"
#include "dialogs/WizardData.h"
#include "dialogs/WizardHost.h"
#include "image/Image.h"
#include "lang/ids/designfile.h"
#include "lang/ids/wizard.h"
#include "lang/ids/file.h"
#include "platform/base/files.h"
#include "platform/base/waitcursor.h"
#include "view/DesignIO.h"

namespace {

const UINT g_msgDisplaySelection = RegisterWindowMessage("MsgDisplaySelection");

// One full-width column with grid lines and whole-row selection.
void MakeSingleColumn(CListCtrl& list, const CString& title) {
  RECT client{};
  list.GetClientRect(&client);
  list.SetExtendedStyle(list.GetExtendedStyle() | LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
  list.InsertColumn(0, title, LVCFMT_LEFT, client.right - client.left);
}

CString FolderOfExistingFile(const CString& path) {
  if (path.IsEmpty() || !FileExists(path)) return CString();
  return GetPathFolder(path);
}

}  // namespace

int GetSelectedRow(const CListCtrl& list) { return list.GetNextItem(-1, LVNI_SELECTED); }

void SelectRow(CListCtrl& list, int row) {
  const int count = list.GetItemCount();
  for (int i = 0; i < count; ++i) {
    if (i != row && (list.GetItemState(i, LVIS_SELECTED) & LVIS_SELECTED)) list.SetItemState(i, 0, LVIS_SELECTED);
  }
  if (row >= 0 && row < count) {
    list.SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    list.EnsureVisible(row, FALSE);
  }
}

CString PictureSavePath(const CString& path, int filterIndex) {
  const char* extension = filterIndex == 2 ? ".png" : (filterIndex == 3 ? ".bmp" : ".jpg");
  const CString folder = GetPathFolder(path);
  CString name = GetPathFileName(path);
  const int dot = name.ReverseFind('.');
  if (dot > 0) name = name.Left(dot);
  CString result = folder;
  if (!result.IsEmpty() && result[result.GetLength() - 1] != '/' && result[result.GetLength() - 1] != '\\')
    result += "/";
  return result + name + extension;
}

// ---------------------------------------------------------------------------
// Project type

BEGIN_MESSAGE_MAP(CWiz_1_ProjectTypePage, CWizardPage)
ON_BN_CLICKED(IDC_WIZ_TYPE_PICTURE, OnTypeClicked)
ON_BN_CLICKED(IDC_WIZ_TYPE_BLANK, OnTypeClicked)
ON_BN_CLICKED(IDC_WIZ_TYPE_EXISTING, OnTypeClicked)
END_MESSAGE_MAP()

CWiz_1_ProjectTypePage::CWiz_1_ProjectTypePage() : CWizardPage(IDD_WIZ_PROJECT_TYPE) {}
CWiz_1_ProjectTypePage::~CWiz_1_ProjectTypePage() = default;

BOOL CWiz_1_ProjectTypePage::OnInitDialog() {
  CWizardPage::OnInitDialog();
  const CWizardData* data = GetWizardData();
  const int type = data ? data->m_projectType : kProjectFromPicture;
  const int id = type == kProjectBlankCanvas ? IDC_WIZ_TYPE_BLANK
                 : type == kProjectExisting  ? IDC_WIZ_TYPE_EXISTING
                                             : IDC_WIZ_TYPE_PICTURE;
  CheckRadioButton(IDC_WIZ_TYPE_PICTURE, IDC_WIZ_TYPE_EXISTING, id);
  return TRUE;
}

void CWiz_1_ProjectTypePage::OnTypeClicked() {
  CWizardData* data = GetWizardData();
  if (!data) return;
  if (IsDlgButtonChecked(IDC_WIZ_TYPE_BLANK)) data->m_projectType = kProjectBlankCanvas;
  else if (IsDlgButtonChecked(IDC_WIZ_TYPE_EXISTING)) data->m_projectType = kProjectExisting;
  else data->m_projectType = kProjectFromPicture;
}

// ---------------------------------------------------------------------------
// Original picture

BEGIN_MESSAGE_MAP(CWiz_2A_SelectOriginalImage, CWizardPage)
ON_NOTIFY(LVN_ITEMCHANGED, IDC_WIZ_LIST, OnItemChanged)
ON_BN_CLICKED(IDC_WIZ_OPEN, OnOpenImage)
ON_BN_CLICKED(IDC_WIZ_PASTE, OnPaste)
ON_WM_DESTROY()
END_MESSAGE_MAP()

CWiz_2A_SelectOriginalImage::CWiz_2A_SelectOriginalImage()
    : CWizardPage(IDD_WIZ_ORIGINAL_IMAGE), m_info(0xC00000, "Tahoma", 14) {}
CWiz_2A_SelectOriginalImage::~CWiz_2A_SelectOriginalImage() = default;

BOOL CWiz_2A_SelectOriginalImage::OnInitDialog() {
  CWizardPage::OnInitDialog();
  m_info.SubclassDlgItem(IDC_WIZ_INFO, this);
  m_preview.SubclassDlgItem(IDC_WIZ_PREVIEW, this);
  m_list.SubclassDlgItem(IDC_WIZ_LIST, this);
  MakeSingleColumn(m_list, CString());
  m_ready = true;
  if (IWizardHost* host = GetHost()) {
    std::vector<CString> recent;
    host->GetRecentPictures(recent);
    for (const CString& path : recent) {
      if (FileExists(path)) InsertRow(m_list.GetItemCount(), path);
    }
  }
  ShowSelection();
  return TRUE;
}

int CWiz_2A_SelectOriginalImage::InsertRow(int at, const CString& path) {
  m_paths.push_back(std::make_unique<CString>(path.Left(260)));
  const int row = m_list.InsertItem(at, GetPathTitle(path));
  if (row >= 0) m_list.SetItemData(row, reinterpret_cast<DWORD_PTR>(m_paths.back().get()));
  return row;
}

bool CWiz_2A_SelectOriginalImage::GetSelectedPath(CString& path) const {
  const int row = GetSelectedRow(m_list);
  if (row < 0) return false;
  const auto* stored = reinterpret_cast<const CString*>(m_list.GetItemData(row));
  if (!stored) return false;
  path = *stored;
  return true;
}

void CWiz_2A_SelectOriginalImage::ShowSelection() {
  CString path;
  if (GetSelectedPath(path) && FileExists(path)) {
    CWaitCursor wait;
    if (m_preview.LoadImage(path)) {
      const CSize size = m_preview.GetImageSize();
      CString text;
      text.Format(LoadResString(IDS_WIZ_PICTURE_INFO), path.GetString(), static_cast<int>(size.cx),
                  static_cast<int>(size.cy), FormatFileCreationText(path).GetString());
      m_info.SetText(text);
    }
    return;
  }
  m_preview.Clear();
  m_info.SetText("");
}

void CWiz_2A_SelectOriginalImage::OnItemChanged(NMHDR* header, LRESULT* result) {
  *result = 0;
  const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
  if (!m_ready || !(change->uChanged & LVIF_STATE)) return;
  if ((change->uNewState ^ change->uOldState) & LVIS_SELECTED) ShowSelection();
}

void CWiz_2A_SelectOriginalImage::AddPicture(const CString& path) {
  if (IWizardHost* host = GetHost()) host->AddRecentPicture(path);
  m_ready = false;
  const int row = InsertRow(0, path);
  m_ready = true;
  SelectRow(m_list, row);
  ShowSelection();
}

void CWiz_2A_SelectOriginalImage::OnOpenImage() {
  IWizardHost* host = GetHost();
  if (!host) return;
  CString selected, chosen;
  GetSelectedPath(selected);
  if (host->AskPictureToOpen(this, FolderOfExistingFile(selected), chosen)) AddPicture(chosen);
}

void CWiz_2A_SelectOriginalImage::OnPaste() {
  IWizardHost* host = GetHost();
  bool ok = false;
  CImage picture(ok);
  if (!ok || picture.GetWidth() <= 0) {
    ShowStop(IDS_WIZ_NO_CLIPBOARD_PICTURE);
    return;
  }
  CString path;
  int filter = 1;
  if (!host || !host->AskPictureToSave(this, path, filter)) return;
  path = PictureSavePath(path, filter);
  if (picture.SaveFile(path)) {
    AddPicture(path);
  } else {
    CString text;
    text.Format(LoadResString(IDS_WIZ_PASTE_NOT_SAVED), path.GetString());
    ShowStopText(text);
  }
}

LRESULT CWiz_2A_SelectOriginalImage::OnWizardNext() {
  CString path;
  if (!GetSelectedPath(path) || !FileExists(path)) {
    ShowStop(IDS_WIZ_NO_PICTURE);
    return -1;
  }
  if (IWizardHost* host = GetHost()) host->AddRecentPicture(path);
  CWizardData* data = GetWizardData();
  if (data) data->m_picturePath = path;
  CWaitCursor wait;
  bool ok = false;
  CImage picture(path, ok);
  if (!ok || picture.GetWidth() <= 0 || picture.GetHeight() <= 0) {
    ShowStop(IDS_WIZ_UNSUPPORTED_PICTURE);
    return -1;
  }
  if (data) {
    data->m_pictureWidth = picture.GetWidth();
    data->m_pictureHeight = picture.GetHeight();
  }
  return CWizardPage::OnWizardNext();
}

void CWiz_2A_SelectOriginalImage::OnDestroy() {
  m_ready = false;
  CWizardPage::OnDestroy();
  m_paths.clear();
}

// ---------------------------------------------------------------------------
// Existing project

BEGIN_MESSAGE_MAP(CWiz_2C_SelectExistedProjectPage, CWizardPage)
ON_NOTIFY(LVN_ITEMCHANGED, IDC_WIZ_LIST, OnItemChanged)
ON_BN_CLICKED(IDC_WIZ_OPEN, OnOpenProject)
ON_BN_CLICKED(IDC_WIZ_APPLY, OnApplyDesign)
ON_REGISTERED_MESSAGE(g_msgDisplaySelection, OnDisplaySelection)
END_MESSAGE_MAP()

CWiz_2C_SelectExistedProjectPage::CWiz_2C_SelectExistedProjectPage()
    : CWizardPage(IDD_WIZ_EXISTING_PROJECT), m_info(0xC00000, "Tahoma", 14) {}
CWiz_2C_SelectExistedProjectPage::~CWiz_2C_SelectExistedProjectPage() = default;

BOOL CWiz_2C_SelectExistedProjectPage::OnInitDialog() {
  CWizardPage::OnInitDialog();
  m_apply.SubclassDlgItem(IDC_WIZ_APPLY, this);
  m_info.SubclassDlgItem(IDC_WIZ_INFO, this);
  m_preview.SubclassDlgItem(IDC_WIZ_PREVIEW, this);
  m_list.SubclassDlgItem(IDC_WIZ_LIST, this);
  RECT client{};
  m_list.GetClientRect(&client);
  m_list.SetExtendedStyle(m_list.GetExtendedStyle() | LVS_EX_GRIDLINES);
  m_list.InsertColumn(0, LoadResString(IDS_WIZ_RECENT_PROJECTS), LVCFMT_LEFT, client.right - client.left);
  if (IWizardHost* host = GetHost()) {
    std::vector<CString> recent;
    host->GetRecentDesigns(recent);
    for (const CString& path : recent) {
      if (FileExists(path)) m_list.InsertItem(m_list.GetItemCount(), path);
    }
  }
  if (m_list.GetItemCount() > 0) SelectRow(m_list, 0);
  if (const CWizardData* data = GetWizardData()) {
    for (int i = 0; i < m_list.GetItemCount(); ++i) {
      if (m_list.GetItemText(i, 0).CompareNoCase(data->m_existingDesignPath) == 0) {
        SelectRow(m_list, i);
        break;
      }
    }
  }
  m_apply.SetIcon(IDI_WIZ_APPLY, 12, 12);
  PostMessage(g_msgDisplaySelection);
  return TRUE;
}

LRESULT CWiz_2C_SelectExistedProjectPage::OnDisplaySelection(WPARAM, LPARAM) {
  m_ready = true;
  ShowSelection();
  return 0;
}

void CWiz_2C_SelectExistedProjectPage::ShowSelection() {
  const int row = GetSelectedRow(m_list);
  if (row < 0) return;
  const CString path = m_list.GetItemText(row, 0);
  if (!FileExists(path)) return;
  CWaitCursor wait;
  CString error, version;
  if (!m_preview.LoadDesign(path, error, version)) return;
  const CPattern& design = m_preview.GetPreview().m_design;
  double width = 0, height = 0;
  design.GetNominalSize(width, height);
  CString text;
  text.Format(LoadResString(IDS_WIZ_DESIGN_INFO), path.GetString(), width, height, design.GetColumnCount(),
              design.GetRowCount(), FormatFileCreationText(path).GetString());
  m_info.SetText(text);
}

void CWiz_2C_SelectExistedProjectPage::OnItemChanged(NMHDR* header, LRESULT* result) {
  *result = 0;
  const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
  if (!m_ready || !(change->uChanged & LVIF_STATE)) return;
  if ((change->uNewState ^ change->uOldState) & LVIS_SELECTED && (change->uNewState & LVIS_SELECTED)) ShowSelection();
}

void CWiz_2C_SelectExistedProjectPage::OnOpenProject() {
  IWizardHost* host = GetHost();
  if (!host) return;
  const int row = GetSelectedRow(m_list);
  const CString selected = row >= 0 ? m_list.GetItemText(row, 0) : CString();
  CString chosen;
  if (!host->AskDesignToOpen(this, FolderOfExistingFile(selected), chosen)) return;
  m_ready = false;
  const int added = m_list.InsertItem(m_list.GetItemCount(), chosen);
  SelectRow(m_list, added);
  m_ready = true;
  ShowSelection();
}

void CWiz_2C_SelectExistedProjectPage::OnApplyDesign() {
  const int row = GetSelectedRow(m_list);
  if (row < 0) {
    ShowStop(IDS_WIZ_NO_PROJECT);
    return;
  }
  const CString path = m_list.GetItemText(row, 0);
  if (CWizardData* data = GetWizardData()) data->m_existingDesignPath = path;
  IWizardHost* host = GetHost();
  if (FileExists(path) && host && host->OpenDesignFile(path)) {
    if (CWizardSheet* sheet = GetSheet()) sheet->EnableFinish(true);
  } else {
    ShowStop(IDS_LOAD_DESIGN_FAILED);
  }
}

BOOL CWiz_2C_SelectExistedProjectPage::OnSetActive() {
  const BOOL result = CWizardPage::OnSetActive();
  SetFinishText();
  if (CWizardSheet* sheet = GetSheet()) sheet->EnableFinish(false);
  return result;
}

BOOL CWiz_2C_SelectExistedProjectPage::OnKillActive() {
  if (CWizardSheet* sheet = GetSheet()) sheet->EnableFinish(true);
  return CWizardPage::OnKillActive();
}

LRESULT CWiz_2C_SelectExistedProjectPage::OnWizardNext() {
  if (CWizardSheet* sheet = GetSheet()) sheet->PostMessage(GetFinishOkMessage());
  return -1;
}
