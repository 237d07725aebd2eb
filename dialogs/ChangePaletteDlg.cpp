#include "dialogs/ChangePaletteDlg.h"

#include <vector>

#include "controls/Buttons.h"
#include "core/FrameServices.h"
#include "core/PathUtils.h"
#include "dialogs/PropSheet.h"
#include "lang/ids/adjust.h"
#include "lang/ids/designfile.h"
#include "lang/ids/shared.h"
#include "platform/base/waitcursor.h"
#include "view/CtrlPane.h"
#include "view/FramePorts.h"
#include "view/PreViewPaletteFileDlg.h"
#include "view/TabView.h"

namespace {

CString GroupTitle(UINT id, const CString& path) {
  CString text;
  text.Format(" %s <%s>", LoadResString(id).GetString(), GetPathTitle(path).GetString());
  return text;
}

}  // namespace

BEGIN_MESSAGE_MAP(CChangePaletteDlg, CDialog)
  ON_BN_CLICKED(IDC_CHP_BROWSE, OnBrowse)
  ON_BN_CLICKED(IDC_CHP_APPLY, OnApplyButton)
  ON_BN_CLICKED(IDC_CHP_CURRENT_COLUMNS, OnCurrentColumns)
  ON_BN_CLICKED(IDC_CHP_NEW_COLUMNS, OnNewColumns)
END_MESSAGE_MAP()

CChangePaletteDlg::CChangePaletteDlg(CPattern* design, CColorSet* palette, CWnd* parent)
    : CDialog(IDD_CHANGE_PALETTE, parent),
      newPathLabel_(0xC00000, "", 14),
      newCountLabel_(0xC00000, "", 14),
      currentCountLabel_(0xC00000, "", 14),
      newList_("ChangePaletteDlgNew16Jule2010", 0, 0),
      currentList_("ChangePaletteDlgCurrent16Jule2010", 0, 0),
      design_(design),
      palette_(palette),
      savedDesign_(*design),
      savedPalette_(*palette) {}

CChangePaletteDlg::~CChangePaletteDlg() { FreeIcon(); }

CTabView* CChangePaletteDlg::View() const {
  CTabView* view = GetMainTabView();
  return view && view->GetColorSet() == palette_ ? view : nullptr;
}

void CChangePaletteDlg::FreeIcon() {
  if (icon_) ::DestroyIcon(icon_);
  icon_ = nullptr;
}

BOOL CChangePaletteDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  newPathLabel_.SubclassDlgItem(IDC_CHP_NEW_PATH, this);
  newCountLabel_.SubclassDlgItem(IDC_CHP_NEW_COUNT, this);
  currentCountLabel_.SubclassDlgItem(IDC_CHP_CURRENT_COUNT, this);
  newList_.SubclassDlgItem(IDC_CHP_NEW_LIST, this);
  currentList_.SubclassDlgItem(IDC_CHP_CURRENT_LIST, this);
  pickup_.SubclassDlgItem(IDC_CHP_PICKUP, this);

  currentList_.Init();
  currentList_.SetColorSet(palette_, 0);
  CString counts;
  counts.Format(LoadResString(IDS_CURRENT_PALETTE_COUNT).GetString(), palette_->GetCount(),
                palette_->GetCheckedCount(), palette_->GetUsedCount());
  currentCountLabel_.SetText(counts);
  newList_.Init();
  if (CTabView* view = View())
    view->GetPaletteFilePath(savedPath_);
  else
    savedPath_ = palette_->GetFilePath();
  for (int id : {IDC_CHP_APPLY, static_cast<int>(IDOK)})
    if (CWnd* button = GetDlgItem(id)) button->EnableWindow(FALSE);
  // The palette's own file, or the path the design view keeps for it.
  const CString currentPath = palette_->GetFilePath().IsEmpty() ? savedPath_ : palette_->GetFilePath();
  SetDlgItemText(IDC_CHP_CURRENT_GROUP, GroupTitle(IDS_CHANGE_CURRENT_PALETTE, currentPath));
  pickup_.AddString(LoadResString(IDS_PICKUP_ORIGINAL));
  pickup_.AddString(LoadResString(IDS_PICKUP_TILES));
  pickup_.SetCurSel(kPickOriginal);
  icon_ = LoadPackIcon(IDI_CHANGE_PALETTE, 16, 16);
  if (icon_) SetIcon(icon_, FALSE);
  return TRUE;
}

void CChangePaletteDlg::OnBrowse() {
  const CString filter = LoadResString(IDS_PALETTE_FILE_FILTER);
  const CString title = LoadResString(IDS_SELECT_PALETTE_FILE);
  const CString folder = GetPalettesFolder();
  CPreViewPaletteFileDlg dialog(TRUE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, filter, this,
                                IDI_PALETTE_FILE);
  dialog.m_ofn.lpstrTitle = title;
  dialog.m_ofn.lpstrInitialDir = folder;
  if (dialog.DoModal() != IDOK) return;
  Invalidate();
  UpdateWindow();
  LoadNewPalette(dialog.GetPathName());
}

bool CChangePaletteDlg::LoadNewPalette(const CString& path) {
  CColorSet loaded;
  CString reason;
  bool ok = false;
  {
    CWaitCursor wait;
    ok = loaded.LoadPaletteFile(path, reason) && loaded.GetCount() > 0;
  }
  if (!ok) {
    // The dialog stays as it was.
    CString text = LoadResString(IDS_LOAD_PALETTE_FAILED);
    text += "\n";
    text += path;
    if (!reason.IsEmpty()) {
      text += "\n";
      text += reason;
    }
    AppMessageBox(text, kMbIconStop, m_hWnd);
    return false;
  }
  newPath_ = path;
  newPalette_.CopyConstruct(loaded);
  newPalette_.SetFilePath(path);
  newPalette_.SetLoaded(true);
  for (int id : {IDC_CHP_APPLY, static_cast<int>(IDOK)})
    if (CWnd* button = GetDlgItem(id)) button->EnableWindow(TRUE);
  newPalette_.CheckAll();
  newList_.SetColorSet(&newPalette_, 1);
  newPathLabel_.SetText(path);
  SetDlgItemText(IDC_CHP_NEW_GROUP, GroupTitle(IDS_ON_PALETTE, path));
  CString count;
  count.Format(LoadResString(IDS_NEW_PALETTE_COUNT).GetString(), newPalette_.GetCount());
  newCountLabel_.SetText(count);
  return true;
}

void CChangePaletteDlg::PickUpFromTiles(CPattern& design, const CColorSet& oldPalette, CColorSet& newPalette) {
  std::vector<CRgbTriple> shown(design.m_beads.size());
  std::vector<bool> colourless(design.m_beads.size(), false);
  for (size_t i = 0; i < design.m_beads.size(); ++i) {
    const CPaletteColor* color = design.m_beads[i].m_colorIndex < 0 ? nullptr
                                                                     : oldPalette.GetColor(design.m_beads[i].m_colorIndex);
    if (color)
      shown[i] = color->GetRgb();
    else
      colourless[i] = true;
  }
  for (size_t i = 0; i < design.m_beads.size(); ++i) {
    // A bead without a colour keeps none.
    if (colourless[i]) continue;
    design.m_beads[i].m_colorIndex = newPalette.FindNearestToTriple(shown[i]);
  }
}

void CChangePaletteDlg::OnApplyButton() { OnApply(); }

void CChangePaletteDlg::OnApply() {
  if (!newPalette_.IsLoaded() || !design_ || !palette_) return;
  if (design_->m_blank) design_->CacheBeadColors(*palette_);
  CWaitCursor wait;
  applied_ = true;
  const int pick = pickup_.GetSafeHwnd() ? pickup_.GetCurSel() : kPickOriginal;
  const CColorSet old(*palette_);
  CTabView* view = View();
  if (view)
    view->SetColorSet(newPalette_, newPath_);
  else
    *palette_ = newPalette_;
  palette_->CheckAll();
  if (pick == kPickTiles) {
    PickUpFromTiles(*design_, old, *palette_);
  } else if (view) {
    view->ApplyPaletteChange();
  } else {
    design_->RematchColors(*palette_, "");
  }
  design_->SetModified(true);
  if (view)
    view->CountUsedColors();
  else
    palette_->CountUsageQuick(*design_);
  newList_.SetColorSet(palette_, 0);
  if (view) view->OnPatternChanged(true);
}

void CChangePaletteDlg::OnCurrentColumns() { currentList_.OnColumns(); }
void CChangePaletteDlg::OnNewColumns() { newList_.OnColumns(); }

void CChangePaletteDlg::OnOK() {
  FreeIcon();
  currentList_.StoreColumnWidths();
  newList_.StoreColumnWidths();
  // The history's steps hold colour indices of the palette they were made
  // in: after a change of palette they would paint wrong colours.
  if (applied_)
    if (CTabView* view = View()) view->ClearEditHistory();
  CDialog::OnOK();
}

void CChangePaletteDlg::OnCancel() {
  FreeIcon();
  CDialog::OnCancel();
  if (!applied_) return;
  CWaitCursor wait;
  if (CWnd* main = AfxGetMainWnd()) main->UpdateWindow();
  CTabView* view = GetMainTabView();
  const bool viewOwned = view && view->GetColorSet() == palette_;
  *design_ = savedDesign_;
  if (viewOwned)
    view->SetColorSet(savedPalette_, savedPath_);
  else
    *palette_ = savedPalette_;
  if (viewOwned) {
    view->CountUsedColors();
    view->OnPatternChanged(true);
  }
  if (IMainFrame* frame = GetIMainFrame())
    if (CCtrlPane* pane = frame->GetCtrlPane()) pane->RefreshColorList();
}
