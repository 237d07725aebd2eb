// File > New: the new-design wizard over the main window.
#include "app/MainFrm.h"
#include "app/WizardFrameHost.h"
#include "dialogs/NewDesignWizard.h"
#include "view/CtrlPane.h"
#include "view/TabView.h"

void CMainFrame::OnFileNew() {
  if (!PromptSaveModified()) return;
  if (CCtrlPane* pane = GetCtrlPane()) pane->HideOriginalOverlay();
  if (!GetTabView()) return;
  CWizardFrameHost host(*this);
  RunNewDesignWizard(host, this);
}
