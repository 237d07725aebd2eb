// The change-palette dialog ("Change Palette"): the design moves to another
// palette file. Browse loads the new palette, Apply re-colours the design in
// place (from the original picture, or from the colours its beads show now),
// OK keeps what was applied and Cancel gives back the design, palette and
// palette path of the opening.
#pragma once

#include "controls/ColorListCtrl.h"
#include "controls/Edits.h"
#include "design/Pattern.h"
#include "palette/ColorSet.h"
#include "platform/wnd.h"

class CTabView;

class CChangePaletteDlg : public CDialog {
 public:
  static constexpr int kPickOriginal = 0;
  static constexpr int kPickTiles = 1;

  CChangePaletteDlg(CPattern* design, CColorSet* palette, CWnd* parent);
  ~CChangePaletteDlg() override;

  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;

  // Loads a palette file as Browse does after its file dialog; false (with
  // the message) when it cannot be read or holds no colours.
  bool LoadNewPalette(const CString& path);
  void OnApply();
  bool IsApplied() const { return applied_; }
  const CColorSet& GetNewPalette() const { return newPalette_; }
  CColorListCtrl& GetCurrentList() { return currentList_; }
  CColorListCtrl& GetNewList() { return newList_; }
  CComboBox& GetPickupBox() { return pickup_; }

  // "Current tiles": every bead (storage order) takes the colour of the new
  // palette nearest to the colour its index showed in the old one; a bead
  // without a colour (-1) keeps -1.
  static void PickUpFromTiles(CPattern& design, const CColorSet& oldPalette, CColorSet& newPalette);

 protected:
  afx_msg void OnBrowse();
  afx_msg void OnApplyButton();
  afx_msg void OnCurrentColumns();
  afx_msg void OnNewColumns();
  DECLARE_MESSAGE_MAP()

 private:
  CTabView* View() const;
  void SetPalettePath(const CString& path);
  void FreeIcon();

  CColorStatic newPathLabel_;
  CColorStatic newCountLabel_;
  CColorStatic currentCountLabel_;
  CColorListCtrl newList_;
  CColorListCtrl currentList_;
  CComboBox pickup_;
  CPattern* design_;
  CColorSet* palette_;
  CPattern savedDesign_;
  CColorSet savedPalette_;
  CString savedPath_;
  bool applied_ = false;
  CColorSet newPalette_;
  CString newPath_;
  HICON icon_ = nullptr;
};
