// CWizardFrameHost: what the new-design wizard reaches of the main window:
// the design view and control pane of the main frame, its recent lists and
// status bar, and the file dialogs with previews.
#pragma once

#include "dialogs/WizardHost.h"

class CMainFrame;
class CTabView;

class CWizardFrameHost : public IWizardHost {
 public:
  // The frame must have its design view.
  explicit CWizardFrameHost(CMainFrame& frame);
  ~CWizardFrameHost() override;

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
  CTabView& View();

  CMainFrame& m_frame;
};
