// The wizard's palette page: the palette of a picture or blank-canvas
// design, and the colours the design may use. The page owns the palette
// that the parameters page and the build step work with.
#pragma once

#include <vector>

#include "controls/ColorListCtrl.h"
#include "controls/Edits.h"
#include "dialogs/WizardSheet.h"
#include "palette/ColorSet.h"
#include "platform/wnd/commctrl_classes.h"

class CWiz_2B_SelectPalette : public CWizardPage {
 public:
  // The registry value of the palette chosen last.
  static constexpr const char* kPriorPaletteValue = "CWiz_2B_SelectPalette_PriorPalette_15_nov";

  CWiz_2B_SelectPalette();
  // Stores the chosen palette path, whatever the wizard's result.
  ~CWiz_2B_SelectPalette() override;

  BOOL OnInitDialog() override;
  BOOL OnKillActive() override;
  LRESULT OnWizardNext() override;

  CColorSet& GetPalette() { return m_palette; }
  const CString& GetChosenPath() const { return m_chosenPath; }
  const CString& GetLoadedPath() const { return m_loadedPath; }
  // The file list's rows as full paths.
  const std::vector<CString>& GetListedPaths() const { return m_paths; }
  int GetSelectedIndex() const;
  // Loads the selected row's palette (a palette that cannot be read shows
  // message 202 with its path and reason and the previous one stays).
  bool LoadSelectedPalette();
  // The count line's text.
  CString GetCountText() const;

 protected:
  void FillFileList();
  // Adds the path unless listed (case ignored) and selects its row; answers
  // the row.
  int AddFile(const CString& path);
  void SelectInitialRow();
  void ShowColors();
  void RefreshCount();
  afx_msg void OnItemChanged(NMHDR* header, LRESULT* result);
  afx_msg void OnOpenPalette();
  afx_msg void OnColumns();
  afx_msg LRESULT OnUsageChanged(WPARAM wParam, LPARAM lParam);
  DECLARE_MESSAGE_MAP()

  CColorSet m_palette;
  CColorListCtrl m_colors;
  CColorStatic m_folderLine;
  CColorStatic m_countLine;
  CListCtrl m_files;
  std::vector<CString> m_paths;  // per row of m_files
  bool m_ready = false;
  CString m_loadedPath;
  CString m_chosenPath;
};

// The registered message of a colour's usage box: wParam the colour index,
// lParam non-zero when checked.
UINT GetPaletteUsageChangedMessage();
