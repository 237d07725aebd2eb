// CWizardFrameHost: what the new-design wizard reaches of the main window:
// the design view and control pane of the main frame (CWizardViewHost), its
// recent lists and status bar, the bead budget, and the file dialogs with
// previews.
#pragma once

#include "dialogs/WizardViewHost.h"

class CMainFrame;

class CWizardFrameHost : public CWizardViewHost {
 public:
  // The frame must have its design view.
  explicit CWizardFrameHost(CMainFrame& frame);
  ~CWizardFrameHost() override;

  void GetRecentPictures(std::vector<CString>& out) override;
  void AddRecentPicture(const CString& path) override;
  void GetRecentPalettes(std::vector<CString>& out) override;
  void AddRecentPalette(const CString& path) override;
  void GetRecentDesigns(std::vector<CString>& out) override;
  void SetStatusText(const CString& text) override;
  unsigned long long GetMaxBeadCount() override;
  bool AskPictureToOpen(CWnd* parent, const CString& folder, CString& path) override;
  bool AskPictureToSave(CWnd* parent, CString& path, int& filterIndex) override;
  bool AskPaletteToOpen(CWnd* parent, const CString& folder, const CString& picture, CString& path) override;
  bool AskDesignToOpen(CWnd* parent, const CString& folder, CString& path) override;

 private:
  CMainFrame& m_frame;
};
