// CColorListCtrl: the report list of a palette's colours with a swatch per
// row, the columns of its column model (chosen by the user and remembered
// per list in the registry), sorting by header clicks, the Usage switch and
// highlighted shortage rows.
#pragma once

#include <vector>

#include "palette/ColorListData.h"
#include "palette/PaletteColor.h"
#include "palette/SwatchImageList.h"
#include "platform/wnd.h"

class CColorSet;
class CRgbTriple;

// Posted to the list's parent when a Usage cell is clicked: wParam the
// palette index, lParam the new in-use value (0 or 1).
extern const UINT g_msgColorPaletteUsageChanged;

// Shortage rows: text and background colours.
constexpr COLORREF kShortageText = 0x0000A4;
constexpr COLORREF kShortageBack = 0x0091F7FF;

class CColorListCtrl : public CListCtrl {
 public:
  // Loads the set-up stored under the value name (the preset when there is
  // none or it does not read whole). The selection byte has no lasting
  // effect.
  CColorListCtrl(const char* valueName, BYTE selection, int preset);
  // Stores the set-up under the value name.
  ~CColorListCtrl() override;

  // Once the window exists: columns, the swatch images, grid lines and
  // full-row select.
  void Init();
  // Copies the palette's colours and refills the rows (show mode 1: every
  // colour, otherwise those with a count above 0); the selected colour is
  // kept when remember-selection is set.
  void SetColorSet(const CColorSet* palette, int showMode);

  int GetSelectedIndex();
  bool GetSelectedColor(CPaletteColor& out);
  CString GetSelectedName();
  bool GetItemColor(int row, CPaletteColor& out);
  bool FindNumberInName(unsigned number);
  bool FindColorNumber(unsigned number);
  bool SelectColor(COLORREF color);
  bool SelectColor(const CRgbTriple& color);
  bool SelectByName(const CString& name);
  void ClearSelection();
  void RefreshRow(int row);
  void StoreColumnWidths();
  void OnColumns();
  int FindUsageColumn() const;

  // The sort as a header click does it (c: a shown column's position).
  void ClickColumn(int column);
  // The Usage click at a point in client coordinates.
  void ClickAt(POINT client);

  CColorListData& GetData() { return data_; }
  const std::vector<CPaletteColor>& GetShownColors() const { return colors_; }
  int GetShowMode() const { return showMode_; }
  const CString& GetValueName() const { return valueName_; }

  // The stored set-up: the model's stored form and 64 reserved bytes.
  bool ReadSetup(const BYTE* bytes, size_t size);
  std::vector<BYTE> WriteSetup() const;

  // The text of the cell under a point when the cell is too narrow for it
  // (the tooltip shows it whole); empty otherwise.
  CString GetCutCellText(POINT client);
  // The text the cell tooltip shows now (empty when it shows nothing).
  CString GetCellTipText() const { return cellTipText_; }

 protected:
  afx_msg void OnColumnClick(NMHDR* hdr, LRESULT* result);
  afx_msg void OnClick(NMHDR* hdr, LRESULT* result);
  afx_msg void OnCustomDraw(NMHDR* hdr, LRESULT* result);
  afx_msg void OnMouseMove(UINT flags, CPoint point);
  DECLARE_MESSAGE_MAP()

 private:
  void BuildColumns();
  void Refill();
  void SortRows();
  void SelectOnly(int row);
  bool FindText(unsigned number, bool inName);

  CSwatchImageList swatches_;
  int showMode_ = 1;
  CString valueName_;
  CColorListData data_;
  std::vector<CPaletteColor> colors_;
  CToolTipCtrl cellTip_;
  CString cellTipText_;
};
