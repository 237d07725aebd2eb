// Owner-drawn lists, the header sort arrows and a scrolling picture view of
// the dialogs: CListCtrlHigh (two-line rows with large text), CListCtrlMenu
// (a list that behaves like a drop-down menu), CListPaletteWithSymbol
// (colours with swatch, name, count, chart symbol and symbol colour),
// CPaletteListBox (colours with a check box), CFilesList (file names that
// keep their paths), CKestlewainListCtrl (the preferences' category list),
// CHeaderSortArrows and CDlgImageScrollView.
#pragma once

#include <string>
#include <vector>

#include "palette/PaletteColor.h"
#include "platform/wnd.h"

class CColorSet;
class CImageView;

class CListCtrlHigh : public CListCtrl {
 public:
  CListCtrlHigh();
  ~CListCtrlHigh() override;
  void PreSubclassWindow() override;
  void DrawItem(LPDRAWITEMSTRUCT dis) override;
  // The text split into the longest first line that fits the width (in the
  // DC's font) and the rest.
  static void SplitTwoLines(CDC* dc, const CString& text, int width, CString& first, CString& second, int& lineHeight);

 private:
  CFont rowFont_;
  CFont textFont_;
};

class CListCtrlMenu : public CListCtrl {
 public:
  void SetItemFont(CFont* font) { font_ = font; }
  void PreSubclassWindow() override;
  void DrawItem(LPDRAWITEMSTRUCT dis) override;

 protected:
  afx_msg void OnMouseMove(UINT flags, CPoint point);
  DECLARE_MESSAGE_MAP()

 private:
  CFont* font_ = nullptr;
};

class CListPaletteWithSymbol : public CListCtrl {
 public:
  void SetSymbolFontName(const char* face) { symbolFace_ = face ? face : ""; }
  void DrawItem(LPDRAWITEMSTRUCT dis) override;
  // The text and colour of the symbol-variant column (empty for variants
  // other than 0-2).
  static CString VariantText(int variant, COLORREF& color);

 private:
  CString symbolFace_;
};

// The colour of a palette row's name: the inverse of the row's colour, or black
// or white where that inverse is too close to the colour itself (mid greys).
COLORREF GetPaletteRowTextColor(COLORREF rowColor);

class CPaletteListBox : public CListBox {
 public:
  explicit CPaletteListBox(CColorSet* set = nullptr) : set_(set) {}
  ~CPaletteListBox() override;
  void SetColorSet(CColorSet* set);
  bool Fill();
  COLORREF GetSelectedColor() const;
  void SelectColor(COLORREF color);

  void DrawItem(LPDRAWITEMSTRUCT dis) override;
  void MeasureItem(LPMEASUREITEMSTRUCT mis) override;

 protected:
  afx_msg void OnDestroy();
  DECLARE_MESSAGE_MAP()

 private:
  struct Record {
    COLORREF color;
    CString name;
  };
  void FreeRecords();
  CColorSet* set_;
};

class CFilesList : public CListCtrl {
 public:
  CFilesList();
  ~CFilesList() override;
  void Clear();
  void AddFile(const char* path, bool select);
  bool GetSelectedPath(CString& out);
  bool GetPath(int index, CString& out) const;
  int FindPath(const char* path) const;
  int GetPathCount() const { return static_cast<int>(paths_.size()); }

 private:
  std::vector<CString> paths_;
};

class CKestlewainListCtrl : public CListCtrl {
 public:
  void DrawItem(LPDRAWITEMSTRUCT dis) override;
};

// The gradient behind the rows of the palette and category lists.
void DrawListRowBackground(CDC* dc, const RECT& row, bool selected);

class CHeaderSortArrows {
 public:
  CHeaderSortArrows() = default;
  ~CHeaderSortArrows();
  CHeaderSortArrows(const CHeaderSortArrows&) = delete;
  CHeaderSortArrows& operator=(const CHeaderSortArrows&) = delete;

  HRESULT Attach(CListCtrl* list);
  // Formats of `count` columns (0 left, 1 right, others centred); columns
  // past them are left-aligned.
  HRESULT Init(const int* formats, int count, bool ascending);
  HRESULT OnColumnClick(int column);
  void SetSortColumn(int column);
  int GetSortColumn() const { return sortColumn_; }
  bool IsAscending() const { return ascending_ != 0; }
  // The image shown on a header item (-1 when none).
  int GetItemImage(int column) const;

 private:
  CListCtrl* list_ = nullptr;
  CImageList images_;
  std::vector<int> formats_;
  int sortColumn_ = 0;
  BYTE ascending_ = 1;
};

class CDlgImageScrollView : public CScrollView {
  DECLARE_DYNCREATE(CDlgImageScrollView)
 public:
  CDlgImageScrollView();
  bool CreateInDialog(CWnd* parent, UINT id, const RECT& rect, SIZE pictureSize);
  void SetImageView(CImageView* view) { view_ = view; }
  void SetBackgroundColor(COLORREF color) { background_ = color; }
  void SetPaintScaled(bool scaled) { paintScaled_ = scaled ? 1 : 0; }
  void OnDraw(CDC* dc) override;
  void PostNcDestroy() override {}

 protected:
  afx_msg BOOL OnEraseBkgnd(CDC* dc);
  afx_msg int OnMouseActivate(CWnd* desktop, UINT hitTest, UINT message);
  DECLARE_MESSAGE_MAP()

 private:
  BYTE paintScaled_ = 1;
  CImageView* view_ = nullptr;
  COLORREF background_ = 0xFFFFFFFF;
};
