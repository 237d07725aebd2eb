// The mirror dialog of Edit > Mirror: four choices (unchanged, left to
// right, top to bottom, both). It changes nothing itself: on every choice it
// posts its owner the flags (wParam horizontal, lParam vertical) with the
// message the owner gave, so the owner shows the result at once; Cancel
// after a change posts the flags it was opened with.
#pragma once

#include "controls/Buttons.h"
#include "platform/gdi.h"
#include "platform/wnd.h"

class CTabView;

class CMirrorDlg : public CDialog {
 public:
  CMirrorDlg(bool horizontal, bool vertical, CWnd* owner, UINT message);
  ~CMirrorDlg() override;

  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;

  bool GetHorizontal() const { return m_horizontal; }
  bool GetVertical() const { return m_vertical; }

  // The radio of a pair of flags, and the flags of a radio (false for an id
  // that is not one of the four).
  static int RadioOfFlags(bool horizontal, bool vertical);
  static bool FlagsOfRadio(int id, bool& horizontal, bool& vertical);

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  afx_msg void OnChoice(UINT id);
  afx_msg void OnPaint();
  DECLARE_MESSAGE_MAP()

 private:
  void Post(bool horizontal, bool vertical);
  void DestroySmallIcon();

  bool m_horizontal;
  bool m_vertical;
  bool m_openHorizontal;
  bool m_openVertical;
  CWnd* m_owner;
  UINT m_message;
  CImageList m_images;
  HICON m_smallIcon = nullptr;
  CIButton m_ok;
};

// Runs the mirror dialog over the design view with both flags off; the
// answer of DoModal (IDOK or IDCANCEL).
int RunMirrorDialog(CTabView* view, UINT message);
