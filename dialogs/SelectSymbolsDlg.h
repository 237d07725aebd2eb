// The chart symbols dialog ("Select Symbols & 3 colors"): every palette
// colour the design uses gets a chart symbol (a character code 0..255 of the
// design's symbol font) and an output colour for it on PDF charts (black,
// red or blue). The dialog writes into the palette's colour records and the
// design's symbol set while it is open; neither OK nor Cancel undoes that.
#pragma once

#include <memory>

#include "controls/Edits.h"
#include "controls/Lists.h"
#include "platform/wnd.h"

class CColorSet;
class CPdfData;
class CSymbolSet;

// The 256 symbol codes as coloured cells (30 x 18) in columns: the
// selected code on blue, a code held by a used colour on dark red, a free
// one on dark green. An item's data is the code, plus 256 when it is used.
class CAllSymbolListBox : public CListBox {
 public:
  static constexpr int kItemWidth = 30;
  static constexpr int kItemHeight = 18;
  static constexpr COLORREF kSelectedBack = 0xC00000;
  static constexpr COLORREF kUsedBack = 0x0000C0;
  static constexpr COLORREF kFreeBack = 0x008000;

  ~CAllSymbolListBox() override;
  void SetSymbolFont(CFont* font) { font_ = font; }
  CFont* GetSymbolFont() const { return font_; }

  static COLORREF ItemBackground(DWORD_PTR data, bool selected);
  static int ItemCode(DWORD_PTR data) { return static_cast<int>(data > 255 ? data - 256 : data); }

  void DrawItem(LPDRAWITEMSTRUCT dis) override;
  void MeasureItem(LPMEASUREITEMSTRUCT mis) override;

 private:
  CFont* font_ = nullptr;
};

class CSelectSymbolsDlgNew : public CDialog {
 public:
  // Makes the used colours' symbols distinct at once (also when the dialog
  // is then cancelled).
  CSelectSymbolsDlgNew(CColorSet* palette, CPdfData* pdfData, CSymbolSet* symbols, CWnd* parent);
  ~CSelectSymbolsDlgNew() override;

  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;

  bool IsChanged() const { return changed_; }
  int GetSortColumn() const { return sortColumn_; }
  bool GetSortDirection() const { return sortDirection_; }

  CListPaletteWithSymbol& GetColorList() { return colors_; }
  CAllSymbolListBox& GetSymbolList() { return symbolList_; }
  CComboBox& GetOutputBox() { return output_; }

  // The handlers, also for tests.
  void OnApplySymbol();
  void OnOutputChanged();
  void OnSelectFont();
  void ClickColumn(int column);
  // The selected row of the colour list (-1: none).
  int GetSelectedRow() const;
  void SelectRow(int row);

  // The comparison of the sort key 2 x column + direction: 1 when the
  // key's predicate holds for a against b, else 0.
  static int CompareRecords(const CPaletteColor& a, const CPaletteColor& b, int key);

 protected:
  afx_msg void OnSymbolDoubleClick();
  afx_msg void OnItemChanged(NMHDR* hdr, LRESULT* result);
  afx_msg void OnColumnClickList(NMHDR* hdr, LRESULT* result);
  DECLARE_MESSAGE_MAP()

 private:
  void MakeSymbolFont();
  void FillSymbolList();
  void ShowRowVariant();
  void SortList();
  void ScrollToSelection();
  void MarkChanged();

  CColorStatic outputLabel_;
  CComboBox output_;
  CColorStatic hint_;
  CColorStatic usedLabel_;
  CColorStatic fontLabel_;
  CAllSymbolListBox symbolList_;
  CListPaletteWithSymbol colors_;
  CColorSet* palette_;
  CPdfData* pdfData_;
  CSymbolSet* symbols_;
  std::unique_ptr<CFont> symbolFont_;
  bool changed_ = false;
  CHeaderSortArrows arrows_;
  int sortColumn_ = 2;
  bool sortDirection_ = false;
};
