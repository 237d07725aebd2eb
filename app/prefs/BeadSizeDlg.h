// The bead-size preference page (template 179) and the dialog that edits one
// bead size (template 181). While the page is open its list rows are the
// working copy; the settings' list changes on Apply and on "By default...".
#pragma once

#include "app/prefs/PropDlg.h"
#include "controls/Edits.h"
#include "settings/AppSettings.h"

class CBeadParamDlg : public CDialog {
 public:
  CBeadParamDlg(CBeadSize& size, CWnd* parent);
  void OnOK() override;

 protected:
  void DoDataExchange(CDataExchange* dx) override;

 private:
  CFloatEdit width_;
  CFloatEdit height_;
  CBeadSize& size_;
};

class CBeadSizeDlg : public CPropDlg {
 public:
  explicit CBeadSizeDlg(CWnd* parent);
  BOOL OnInitDialog() override;
  void Apply() override;

  CListCtrl& GetList() { return list_; }
  // The row read back through its five-decimal texts.
  bool ReadRow(int row, CBeadSize& out);
  void Fill();

 protected:
  void DoDataExchange(CDataExchange* dx) override;
  afx_msg void OnEdit();
  afx_msg void OnAdd();
  afx_msg void OnDelete();
  afx_msg void OnByDefault();
  DECLARE_MESSAGE_MAP()

 private:
  void WriteRow(int row, const CBeadSize& size);
  int GetSelectedRow();
  CListCtrl list_;
};
