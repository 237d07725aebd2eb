#include "dialogs/WizPalettePage.h"

#include "core/FileUtils.h"
#include "core/FrameServices.h"
#include "core/PathUtils.h"
#include "core/Registry.h"
#include "design/Pattern.h"
#include "dialogs/WizardData.h"
#include "dialogs/WizardHost.h"
#include "lang/ids/designfile.h"
#include "lang/ids/wizard.h"
#include "palette/BasicPalette.h"
#include "platform/base/files.h"
#include "platform/base/waitcursor.h"
#include "view/FramePorts.h"

namespace {

const UINT g_msgUsageChanged = RegisterWindowMessage("MsgColorPaletteUsageChanged");

}  // namespace

UINT GetPaletteUsageChangedMessage() { return g_msgUsageChanged; }

BEGIN_MESSAGE_MAP(CWiz_2B_SelectPalette, CWizardPage)
ON_NOTIFY(LVN_ITEMCHANGED, IDC_WIZ_LIST, OnItemChanged)
ON_BN_CLICKED(IDC_WIZ_OPEN, OnOpenPalette)
ON_BN_CLICKED(IDC_WIZ_COLUMNS, OnColumns)
ON_REGISTERED_MESSAGE(g_msgUsageChanged, OnUsageChanged)
END_MESSAGE_MAP()

CWiz_2B_SelectPalette::CWiz_2B_SelectPalette()
    : CWizardPage(IDD_WIZ_PALETTE),
      m_colors("PaletteColorsNewDesignWizard16Jule2010", 0, 1),
      m_folderLine(0xC00000, "Tahoma", 14),
      m_countLine(0x202020, "Tahoma", 14) {}

CWiz_2B_SelectPalette::~CWiz_2B_SelectPalette() {
  if (IFrameServices* frame = GetFrameServices()) frame->ClearWizardPalettePage();
  WriteProgramStringValue(kPriorPaletteValue, m_chosenPath);
}

BOOL CWiz_2B_SelectPalette::OnInitDialog() {
  CWizardPage::OnInitDialog();
  if (IFrameServices* frame = GetFrameServices()) frame->SetWizardPalettePage(this);
  ReadProgramStringValue(kPriorPaletteValue, m_chosenPath);
  m_files.SubclassDlgItem(IDC_WIZ_LIST, this);
  m_colors.SubclassDlgItem(IDC_WIZ_COLORS, this);
  RECT client{};
  m_files.GetClientRect(&client);
  m_files.SetExtendedStyle(m_files.GetExtendedStyle() | LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
  m_files.InsertColumn(0, LoadResString(IDS_WIZ_PALETTE_COLUMN), LVCFMT_LEFT, client.right - client.left);
  m_folderLine.SubclassDlgItem(IDC_WIZ_INFO, this);
  m_countLine.SubclassDlgItem(IDC_WIZ_COUNT, this);
  FillFileList();
  if (!m_paths.empty()) SelectInitialRow();
  m_colors.Init();
  m_ready = true;
  LoadSelectedPalette();
  return TRUE;
}

int CWiz_2B_SelectPalette::AddFile(const CString& path) {
  int row = -1;
  for (size_t i = 0; i < m_paths.size() && row < 0; ++i) {
    if (m_paths[i].CompareNoCase(path) == 0) row = static_cast<int>(i);
  }
  if (row < 0) {
    m_paths.push_back(path);
    row = m_files.InsertItem(m_files.GetItemCount(), GetPathTitle(path));
  }
  // The row added (or found) becomes the selected one.
  for (int i = 0; i < m_files.GetItemCount(); ++i) {
    if (i != row) m_files.SetItemState(i, 0, LVIS_SELECTED);
  }
  if (row >= 0) {
    m_files.SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    m_files.EnsureVisible(row, FALSE);
  }
  return row;
}

void CWiz_2B_SelectPalette::FillFileList() {
  m_files.DeleteAllItems();
  m_paths.clear();
  if (IWizardHost* host = GetHost()) {
    std::vector<CString> recent;
    host->GetRecentPalettes(recent);
    for (const CString& path : recent) {
      if (FileExists(path)) AddFile(path);
    }
  }
  const CString folder = GetPalettesFolder();
  WIN32_FIND_DATA found{};
  HANDLE find = FindFirstFile(folder + "*.pal", &found);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    // The starter palette is there in both languages: only this interface's.
    if (IsOtherLanguageBasicPalette(found.cFileName, IsRussianInterface())) continue;
    const CString path = folder + found.cFileName;
    CColorSet probe;
    if (FileExists(path) && probe.LoadEncipheredFile(path)) AddFile(path);
  } while (FindNextFile(find, &found));
  FindClose(find);
}

void CWiz_2B_SelectPalette::SelectInitialRow() {
  int row = -1;
  IWizardHost* host = GetHost();
  if (host && host->GetPattern().HasBeads()) {
    const CString current = GetPathTitle(host->GetColorSet().GetFilePath());
    for (size_t i = 0; i < m_paths.size() && !current.IsEmpty(); ++i) {
      if (GetPathTitle(m_paths[i]).CompareNoCase(current) == 0) {
        row = static_cast<int>(i);
        break;
      }
    }
  }
  if (row < 0 && !m_chosenPath.IsEmpty()) {
    const CString chosen = GetPathTitle(m_chosenPath);
    for (size_t i = 0; i < m_paths.size(); ++i) {
      if (GetPathTitle(m_paths[i]).CompareNoCase(chosen) == 0) {
        row = static_cast<int>(i);
        break;
      }
    }
  }
  if (row < 0) {
    const char* preferred = IsRussianInterface() ? "preciosa" : "delica";
    for (size_t i = 0; i < m_paths.size(); ++i) {
      if (GetPathTitle(m_paths[i]).CompareNoCase(preferred) == 0) row = static_cast<int>(i);
    }
  }
  if (row >= 0) {
    const bool ready = m_ready;
    m_ready = false;
    m_files.SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    m_files.EnsureVisible(row, FALSE);
    m_ready = ready;
  }
}

int CWiz_2B_SelectPalette::GetSelectedIndex() const { return m_files.GetNextItem(-1, LVNI_SELECTED); }

bool CWiz_2B_SelectPalette::LoadSelectedPalette() {
  const int row = GetSelectedIndex();
  if (row < 0 || row >= static_cast<int>(m_paths.size())) return false;
  const CString path = m_paths[static_cast<size_t>(row)];
  if (!FileExists(path)) return false;
  CWaitCursor wait;
  CColorSet loaded;
  CString reason;
  if (!loaded.LoadPaletteFile(path, reason)) {
    // The previous palette stays, and so does its row.
    CString text = LoadResString(IDS_LOAD_PALETTE_FAILED);
    text += "\n";
    text += path;
    if (!reason.IsEmpty()) {
      text += "\n";
      text += reason;
    }
    ShowStopText(text);
    const bool ready = m_ready;
    m_ready = false;
    m_files.SetItemState(row, 0, LVIS_SELECTED);
    for (size_t i = 0; i < m_paths.size(); ++i) {
      if (!m_loadedPath.IsEmpty() && m_paths[i].CompareNoCase(m_loadedPath) == 0)
        m_files.SetItemState(static_cast<int>(i), LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    }
    m_ready = ready;
    return false;
  }
  // Read again into the page's palette, whole (with its picture library).
  m_palette.Clear();
  if (!m_palette.LoadPaletteFile(path, reason)) m_palette.CopyConstruct(loaded);
  m_palette.SetFilePath(path);
  m_loadedPath = path;
  ShowColors();
  m_folderLine.SetText(GetPathFolder(path));
  RefreshCount();
  return true;
}

void CWiz_2B_SelectPalette::ShowColors() { m_colors.SetColorSet(&m_palette, 1); }

CString CWiz_2B_SelectPalette::GetCountText() const {
  CString text;
  text.Format(LoadResString(IDS_WIZ_CHECKED_COUNT), m_palette.GetCheckedCount(), m_palette.GetCount());
  return text;
}

void CWiz_2B_SelectPalette::RefreshCount() { m_countLine.SetText(GetCountText()); }

void CWiz_2B_SelectPalette::OnItemChanged(NMHDR* header, LRESULT* result) {
  *result = 0;
  const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
  if (!m_ready || !(change->uChanged & LVIF_STATE)) return;
  if ((change->uNewState & LVIS_SELECTED) && !(change->uOldState & LVIS_SELECTED)) LoadSelectedPalette();
}

LRESULT CWiz_2B_SelectPalette::OnUsageChanged(WPARAM wParam, LPARAM lParam) {
  const auto index = static_cast<long long>(wParam);
  // An index outside the palette names no colour.
  if (index < 0 || index >= m_palette.GetCount()) return 0;
  m_palette.SetColorInUse(static_cast<int>(index), lParam != 0);
  RefreshCount();
  return 0;
}

void CWiz_2B_SelectPalette::OnOpenPalette() {
  IWizardHost* host = GetHost();
  if (!host) return;
  CString picture;
  const CWizardData* data = GetWizardData();
  if (data && data->m_projectType == kProjectFromPicture && FileExists(data->m_picturePath))
    picture = data->m_picturePath;
  CString folder;
  const int row = GetSelectedIndex();
  if (row >= 0 && row < static_cast<int>(m_paths.size()) && FileExists(m_paths[static_cast<size_t>(row)]))
    folder = GetPathFolder(m_paths[static_cast<size_t>(row)]);
  else FindPalettesFolder(folder);
  CString chosen;
  if (!host->AskPaletteToOpen(this, folder, picture, chosen)) return;
  // A file that does not read as a palette is not listed: the message says
  // why and the palette shown stays.
  CColorSet probe;
  CString reason;
  if (!probe.LoadPaletteFile(chosen, reason)) {
    CString text = LoadResString(IDS_LOAD_PALETTE_FAILED);
    text += "\n";
    text += chosen;
    if (!reason.IsEmpty()) {
      text += "\n";
      text += reason;
    }
    ShowStopText(text);
    return;
  }
  m_ready = false;
  const int added = AddFile(chosen);
  for (int i = 0; i < m_files.GetItemCount(); ++i) {
    if (i != added) m_files.SetItemState(i, 0, LVIS_SELECTED);
  }
  m_files.SetItemState(added, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  m_files.EnsureVisible(added, FALSE);
  LoadSelectedPalette();
  m_ready = true;
  host->AddRecentPalette(chosen);
}

void CWiz_2B_SelectPalette::OnColumns() { m_colors.OnColumns(); }

LRESULT CWiz_2B_SelectPalette::OnWizardNext() {
  const int row = GetSelectedIndex();
  if (row < 0 || m_palette.GetCount() == 0) {
    ShowStop(IDS_WIZ_PALETTE_NOT_LOADED);
    return -1;
  }
  if (m_palette.GetCheckedCount() == 0) {
    ShowStop(IDS_WIZ_NO_CHECKED_COLOR);
    return -1;
  }
  m_chosenPath = m_paths[static_cast<size_t>(row)];
  if (CWizardData* data = GetWizardData()) data->m_palettePath = m_chosenPath;
  return CWizardPage::OnWizardNext();
}

BOOL CWiz_2B_SelectPalette::OnKillActive() {
  m_colors.StoreColumnWidths();
  return CWizardPage::OnKillActive();
}
