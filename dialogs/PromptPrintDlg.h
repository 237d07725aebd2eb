// The print prompt: the program prints nothing itself; File > Print asks
// whether to export the design into a picture file or a PDF document (which
// the user then prints with the program that opens it). The choice is the
// print mode of the application's settings (0 picture, 1 PDF), stored with
// them; OK sets it, Cancel keeps it.
#pragma once

#include "controls/Edits.h"
#include "platform/wnd.h"

class CPromptPrintDlg : public CDialog {
 public:
  explicit CPromptPrintDlg(CWnd* parent);
  ~CPromptPrintDlg() override;

  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;

 protected:
  void DoDataExchange(CDataExchange* pDX) override;

 private:
  void DestroyIcon();

  CColorStatic m_then;
  CColorStatic m_how;
  HICON m_icon = nullptr;
};
