#include "dialogs/WizardViewHost.h"

#include "image/Image.h"
#include "view/CtrlPane.h"
#include "view/TabView.h"

CWizardViewHost::CWizardViewHost(CTabView& view, CCtrlPane* pane) : m_view(view), m_pane(pane) {}
CWizardViewHost::~CWizardViewHost() = default;

IProgressHost* CWizardViewHost::GetProgressHost() { return m_view.GetProgressHost(); }

CPattern& CWizardViewHost::GetPattern() { return *m_view.GetPattern(); }
CColorSet& CWizardViewHost::GetColorSet() { return *m_view.GetColorSet(); }

void CWizardViewHost::SetColorSet(const CColorSet& palette, const CString& path) { m_view.SetColorSet(palette, path); }

void CWizardViewHost::SetOriginalPicture(std::unique_ptr<CImage> picture, const CString& path) {
  m_view.TakeOriginalImage(std::move(picture), path);
}

void CWizardViewHost::DeleteOriginalPicture() { m_view.SetOriginalView(nullptr, CString()); }

bool CWizardViewHost::HasOriginalPicture() { return m_view.GetOriginalView() != nullptr; }

bool CWizardViewHost::OpenDesignFile(const CString& path) { return m_view.OpenDesignFile(path.GetString()); }

void CWizardViewHost::ClearEditHistory() { m_view.ClearEditHistory(); }

void CWizardViewHost::RenderPatternView() { m_view.RenderPatternView(nullptr, false); }

void CWizardViewHost::SetZoomMode(int mode) { m_view.SetZoomMode(mode); }

void CWizardViewHost::ApplyZoomMode() { m_view.ApplyZoomMode(false); }

void CWizardViewHost::RepaintNow() {
  if (!m_view.GetSafeHwnd()) return;
  m_view.Invalidate(TRUE);
  m_view.UpdateWindow();
}

void CWizardViewHost::FillColorList() {
  if (m_pane) m_pane->FillColorList();
}

void CWizardViewHost::UpdateOriginalControls() {
  if (IViewToolSource* pane = m_view.GetToolSource()) pane->UpdateOriginalControls();
}
