// The second page of the PDF options sheet: the font face, size and colour
// of each output element, the orientation of each kind of section, the page
// margins, the header and footer texts, the bookmark switch and the number
// of leading characters cut from manufacturer names. Faces, sizes, colours
// and orientations go into the sheet's CPdfData styles as they change; the
// rest is stored on OK (StoreSettings), and only when the page was opened.
#pragma once

#include "controls/Buttons.h"
#include "platform/wnd.h"

class CColorSet;
class CPdfData;
class CPdfTextStyle;

class CPdfLayoutPage : public CPropertyPage {
 public:
  // The palette is the one whose names the omit count is checked against
  // (none: not checked).
  explicit CPdfLayoutPage(CPdfData* settings, const CColorSet* palette = nullptr);

  BOOL OnInitDialog() override;
  // The omit count that the palette refuses shows the palette's reason and
  // keeps the page.
  BOOL OnKillActive() override;
  // Margins, omit count, bookmarks, header and footer texts into the
  // settings; nothing when the page window was never made.
  void StoreSettings();

  // The PDF font faces offered, in order.
  static constexpr int kFaceCount = 11;
  static const char* const kFaces[kFaceCount];
  // The element list's rows: the style of a row (0..7), null outside.
  CPdfTextStyle* GetRowStyle(int row) const;
  // Rows whose colour can be chosen (page title, header, footer, properties).
  static bool IsColorRow(int row) { return row == 0 || row == 1 || row == 2 || row == 4; }

  CListCtrl& GetElementList() { return m_elements; }
  CListCtrl& GetOrientationList() { return m_orientations; }
  CSpinButtonCtrl& GetSizeSpin() { return m_sizeSpin; }
  CMyColorButton& GetColorButton() { return m_colorButton; }

  // The handlers, reachable for tests.
  afx_msg void OnFontChanged();
  afx_msg void OnColor();
  afx_msg void OnPortrait();
  afx_msg void OnLandscape();
  void UpdateColorButton();

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  afx_msg void OnElementChanged(NMHDR* header, LRESULT* result);
  afx_msg void OnOrientationRowChanged(NMHDR* header, LRESULT* result);
  afx_msg void OnVScroll(UINT code, UINT position, CScrollBar* bar);
  DECLARE_MESSAGE_MAP()

 private:
  int SelectedRow(const CListCtrl& list) const;
  void SetOrientation(int orientation);

  CSpinButtonCtrl m_omitSpin;
  CSpinButtonCtrl m_rightSpin;
  CSpinButtonCtrl m_leftSpin;
  CSpinButtonCtrl m_bottomSpin;
  CSpinButtonCtrl m_topSpin;
  CListCtrl m_orientations;
  CMyColorButton m_colorButton;
  CSpinButtonCtrl m_sizeSpin;
  CComboBox m_faces;
  CListCtrl m_elements;
  CPdfData* m_settings;
  const CColorSet* m_palette;
  BYTE m_ready = 0;
};
