// The combo boxes: CComboBoxXP (a flat editable combo with hover highlight
// and its own drop button, the toolbar's zoom box) with CComboEditXP (its
// edit field), CComboUsedColor (palette colours painted in their colour with
// their name) and CColorSetComboBox (the colours of one palette).
#pragma once

#include "controls/ButtonDrawing.h"
#include "palette/PaletteColor.h"
#include "platform/wnd.h"

class CColorSet;
class CComboBoxXP;

class CComboEditXP : public CEdit {
 protected:
  CComboBoxXP* GetCombo();
  afx_msg void OnKillFocus(CWnd* newWnd);
  afx_msg void OnMouseMove(UINT flags, CPoint point);
  afx_msg void OnMouseLeave();
  DECLARE_MESSAGE_MAP()
};

class CComboBoxXP : public CComboBox {
 public:
  CComboBoxXP();
  ~CComboBoxXP() override;

  BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
  void PreSubclassWindow() override;
  BOOL PreTranslateMessage(MSG* msg) override;

  CHoverTracker& GetHoverTracker() { return hover_; }
  CComboEditXP& GetEdit() { return edit_; }
  int GetVisibleItemCount() const { return visibleItems_; }
  // The drop button's state word as the next paint draws it.
  WORD GetButtonState();

 protected:
  afx_msg void OnPaint();
  afx_msg void OnWindowPosChanging(WINDOWPOS* pos);
  afx_msg void OnWindowPosChanged(WINDOWPOS* pos);
  afx_msg void OnSetFocus(CWnd* oldWnd);
  afx_msg void OnKillFocus(CWnd* newWnd);
  afx_msg void OnMouseMove(UINT flags, CPoint point);
  afx_msg void OnMouseLeave();
  afx_msg UINT OnGetDlgCode();
  DECLARE_MESSAGE_MAP()

 private:
  void Bind();
  bool HasFocus();

  int visibleItems_ = 20;
  int fieldHeight_ = -1;
  int pendingHeight_ = -1;
  bool inFieldResize_ = false;
  CComboEditXP edit_;
  CHoverTracker hover_;
};

class CComboUsedColor : public CComboBox {
 public:
  CComboUsedColor();
  ~CComboUsedColor() override;

  // Empties the list, adds the blank item first when asked, then every
  // colour of the set; selects item 0.
  void FillAllColors(CColorSet* set, bool withBlank);
  // Appends the colours in use (without emptying the list or selecting).
  void FillUsedColors(CColorSet* set);
  const CPaletteColor& GetBlankRecord() const { return blank_; }

  void DrawItem(LPDRAWITEMSTRUCT dis) override;
  void MeasureItem(LPMEASUREITEMSTRUCT mis) override;

 private:
  void EnsureFont();
  CFont font_;
  BYTE fontCreated_ = 0;
  CPaletteColor blank_;
};

class CColorSetComboBox : public CComboBox {
 public:
  explicit CColorSetComboBox(CColorSet* set = nullptr) : set_(set) {}
  void SetColorSet(CColorSet* set) { set_ = set; }
  CColorSet* GetColorSet() const { return set_; }

  // One item per colour; false without a set or when an item is refused.
  bool Fill();
  // Selects the nearest colour in use; its index, or the negative answer.
  int SelectColor(COLORREF color);
  // The selected colour, -1 when none.
  COLORREF GetSelectedColor() const;

  void DrawItem(LPDRAWITEMSTRUCT dis) override;
  void MeasureItem(LPMEASUREITEMSTRUCT mis) override;

 private:
  CColorSet* set_;
};
