// CWizardViewHost: the design-view half of the wizard's host, over a real
// CTabView (and the control pane, when there is one): the design, palette
// and original picture the build step changes, the history it clears and
// the rendering and zoom it asks for. The frame's half (recent lists,
// status bar, file dialogs, bead budget) is left to the derived host.
#pragma once

#include "dialogs/WizardHost.h"

class CCtrlPane;
class CTabView;

class CWizardViewHost : public IWizardHost {
 public:
  CWizardViewHost(CTabView& view, CCtrlPane* pane);
  ~CWizardViewHost() override;

  CPattern& GetPattern() override;
  CColorSet& GetColorSet() override;
  void SetColorSet(const CColorSet& palette, const CString& path) override;
  void SetOriginalPicture(std::unique_ptr<CImage> picture, const CString& path) override;
  void DeleteOriginalPicture() override;
  bool HasOriginalPicture() override;
  bool OpenDesignFile(const CString& path) override;
  void ClearEditHistory() override;
  void RenderPatternView() override;
  void SetZoomMode(int mode) override;
  void ApplyZoomMode() override;
  void RepaintNow() override;
  void FillColorList() override;
  void UpdateOriginalControls() override;
  // The view's progress host.
  IProgressHost* GetProgressHost() override;

 protected:
  CTabView& m_view;
  CCtrlPane* m_pane;
};
