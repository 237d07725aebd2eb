// The wizard's parameters page: size, bead size or bead counts, spacer,
// weave format, stitch path and its colour, colour mode or blank-canvas
// colours, and the nickname; "Apply" builds the design into the view.
#pragma once

#include <memory>

#include "dialogs/WizParamsModel.h"
#include "dialogs/WizardSheet.h"
#include "platform/wnd/commctrl_classes.h"

class CImage;

class CWiz_3_SelectPatternParameters : public CWizardPage {
 public:
  CWiz_3_SelectPatternParameters();
  ~CWiz_3_SelectPatternParameters() override;

  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;
  BOOL OnKillActive() override;
  LRESULT OnWizardNext() override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

  // Reads every field into the record; with messages, a failure shows its
  // message, puts the focus on its field and answers false.
  bool ReadParameters(bool showErrors);
  // Shows the bead grid of the fields (status bar and field 1080).
  bool UpdateSizeInfo();
  // The size fields as the model reads them.
  CWizParamFields CollectFields() const;

  bool IsBuilt() const { return m_built; }
  bool IsReady() const { return m_ready; }
  // The last build's result (true after a successful Apply).
  bool LastBuildSucceeded() const { return m_lastBuildOk; }

 protected:
  void SetFieldText(int id, const CString& text);
  void ApplyDesignInMode(int mode);
  void FillColorLists();
  void ShowPictureGroup(bool pictureProject);
  void FillBeadSizeList();
  bool ReadSelectedBeadSize(double& width, double& height) const;
  void OnFieldChanged(int id);
  void PostApply();

  afx_msg void OnApplyDesign();
  afx_msg void OnUnitDropDown();
  afx_msg void OnUnitChanged();
  afx_msg void OnProportionate();
  afx_msg void OnDesignIn();
  afx_msg void OnBeadSizeChanged();
  afx_msg void OnListChanged();
  afx_msg void OnMaskChanged();
  DECLARE_MESSAGE_MAP()

  CComboBoxEx m_format;
  CComboBoxEx m_mask;
  CComboBoxEx m_colorMode;
  CImageList m_formatImages;
  CImageList m_maskImages;
  CImageList m_colorModeImages;
  CBeadFieldMemory m_memory;
  std::unique_ptr<CImage> m_preview;
  bool m_ready = false;
  bool m_built = false;
  bool m_lastBuildOk = false;
  int m_droppedUnit = -1;
};
