#include "app/ViewDialogs.h"

#include <utility>

#include "dialogs/EditColorGroup.h"
#include "dialogs/MirrorDlg.h"
#include "view/TabView.h"
#include "view/ToolDialogs.h"

void InstallViewDialogFactories() {
  CViewDialogFactories factories;
  factories.runMirror = &RunMirrorDialog;
  factories.openEditColorGroup = &OpenEditColorGroupDialog;
  // The original picture's layer over the design.
  factories.createOverlay = nullptr;
  SetViewDialogFactories(std::move(factories));
}

void CloseViewToolWindows(CTabView* view) {
  if (!view) return;
  for (int slot = 0; slot < CTabView::kToolSlotCount; ++slot) {
    const auto kind = static_cast<CTabView::ToolSlot>(slot);
    CWnd* window = view->GetToolWindow(kind);
    if (!window || !window->GetSafeHwnd()) continue;
    window->SendMessage(WM_COMMAND, IDOK, 0);
    // A window that refused OK (a check that failed) goes without it.
    window = view->GetToolWindow(kind);
    if (window && window->GetSafeHwnd()) window->DestroyWindow();
  }
}
