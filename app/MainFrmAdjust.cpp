// The main frame's colour and palette commands: Edit > Adjust colors,
// File > Properties and Edit > Change Palette.
#include "app/MainFrm.h"
#include "dialogs/AdjustSheet.h"
#include "dialogs/ChangePaletteDlg.h"
#include "dialogs/PropSheet.h"
#include "lang/ids/adjust.h"
#include "view/CtrlPane.h"
#include "view/TabView.h"

void CMainFrame::OnAdjustColors() {
  CTabView* view = GetTabView();
  if (!view || !view->GetPattern()->HasBeads()) return;
  // The state before the sheet: one history step against it when anything
  // was changed (a cancelled change leaves the design equal and adds none).
  const CPattern before(*view->GetPattern());
  bool changed = false;
  {
    CAdjustSheet sheet(view->GetPattern(), view->GetColorSet(), IDS_ADJUST_COLORS, this, 0);
    sheet.DoModal();
    changed = sheet.IsChanged();
  }
  if (!changed) return;
  view->RecordChanges(before);
  view->CountUsedColors();
  if (CCtrlPane* pane = GetCtrlPane()) pane->RefreshColorList();
}

void CMainFrame::OnFileProperties() {
  CTabView* view = GetTabView();
  if (!view) return;
  CPropSheet sheet(view->GetPattern(), view->GetColorSet(), view->GetOriginalView(), IDS_PATTERN_PROPERTIES, this, 0);
  sheet.DoModal();
}

void CMainFrame::OnChangePalette() {
  CTabView* view = GetTabView();
  if (!view || !view->GetPattern()->HasBeads()) return;
  CChangePaletteDlg dialog(view->GetPattern(), view->GetColorSet(), this);
  if (dialog.DoModal() != IDOK) return;
  if (CCtrlPane* pane = GetCtrlPane()) pane->FillColorList();
}
