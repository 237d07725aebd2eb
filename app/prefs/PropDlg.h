// CPropDlg: the base of the preference pages. A page is a small dialog of its
// own (a pop-up window that the preferences dialog places beside its
// category list); its OK and Cancel buttons are hidden, Enter and Escape do
// nothing inside it, and the preferences dialog calls Apply to store what
// the page shows.
#pragma once

#include "platform/wnd.h"

class CPropDlg : public CDialog {
 public:
  CPropDlg(UINT templateId, CWnd* parent);
  ~CPropDlg() override;

  // Creates the page from its template with the owner as parent; the page's
  // window style is exactly WS_CHILD (hidden until the owner shows it).
  BOOL CreatePage(CWnd* owner);
  BOOL OnInitDialog() override;
  void OnOK() override {}
  void OnCancel() override {}
  BOOL PreTranslateMessage(MSG* msg) override { return CDialog::PreTranslateMessage(msg); }

  // Stores what the page shows (every page implements it).
  virtual void Apply() = 0;

 protected:
  void DoDataExchange(CDataExchange*) override {}
};
