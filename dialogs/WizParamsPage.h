// The wizard's parameters page: size, bead size or bead counts, spacer,
// weave format, stitch path and its colour, colour mode or blank-canvas
// colours, and the nickname; "Apply" builds the design into the view.
#pragma once

#include <memory>

#include "controls/Buttons.h"
#include "controls/ComboBoxes.h"
#include "controls/Edits.h"
#include "controls/Lists.h"
#include "dialogs/WizParamsModel.h"
#include "dialogs/WizardSheet.h"
#include "platform/wnd/commctrl_classes.h"
#include "view/PreViewFileDlg.h"

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
  // The bead fields take a decimal point (sizes) or digits only (counts).
  void SetBeadFieldsDecimal(bool decimal);
  // The picture preview inside group 1081 (window 777), made when first
  // needed, showing the record's picture.
  void ShowPicturePreview(bool show);
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

  CIButton m_apply;
  CColorStatic m_hint;
  CFloatEdit m_width{5, 0xFFFFFFFF};
  CFloatEdit m_height{5, 0xFFFFFFFF};
  CFloatEdit m_spacer{5, 0xFFFFFFFF};
  // One pair of the bead fields is attached at a time.
  CNumEdit m_beadSizes[2]{{true, false}, {true, false}};
  CNumEdit m_beadCounts[2]{{false, false}, {false, false}};
  CComboUsedColor m_maskColor;
  CPaletteListBox m_fill;
  CColorSetComboBox m_border;
  CComboBoxEx m_format;
  CComboBoxEx m_mask;
  CComboBoxEx m_colorMode;
  CImageList m_formatImages;
  CImageList m_maskImages;
  CImageList m_colorModeImages;
  CBeadFieldMemory m_memory;
  CPreviewOriginal m_preview;
  CString m_previewPath;
  bool m_ready = false;
  bool m_built = false;
  bool m_lastBuildOk = false;
  int m_droppedUnit = -1;
};
