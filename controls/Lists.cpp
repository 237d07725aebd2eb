#include "controls/Lists.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "controls/DrawUtils.h"
#include "core/FrameServices.h"
#include "image/ImageView.h"
#include "lang/ids/controls.h"
#include "palette/ColorSet.h"

namespace {

LOGFONT MakeFont(const char* face, LONG height) {
  LOGFONT lf;
  std::memset(&lf, 0, sizeof(lf));
  std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
  lf.lfHeight = height;
  lf.lfCharSet = DEFAULT_CHARSET;
  return lf;
}

// Column rectangles of a report row from the header's item widths.
RECT ColumnRect(CListCtrl* list, const RECT& row, int column) {
  int left = row.left;
  CHeaderCtrl* header = list->GetHeaderCtrl();
  for (int c = 0; c < column; ++c) left += list->GetColumnWidth(c);
  const int width = header && column < header->GetItemCount() ? list->GetColumnWidth(column) : 0;
  return RECT{left, row.top, left + width, row.bottom};
}

// Right-aligned as the palette lists place numbers and names.
void TextRightAligned(CDC* dc, const RECT& column, const CString& text) {
  TEXTMETRIC tm{};
  dc->GetTextMetrics(&tm);
  const int width = dc->GetTextExtent(text).cx;
  const int x = column.left + std::max<int>(0, (column.right - column.left) - (width + tm.tmAveCharWidth));
  dc->ExtTextOut(x, column.top, ETO_CLIPPED, &column, text, nullptr);
}

}  // namespace

void DrawListRowBackground(CDC* dc, const RECT& row, bool selected) {
  if (selected)
    DrawGradientRect(dc, row, 0xC08040, 0xFFC060, 1);
  else
    DrawGradientRect(dc, row, RGB(255, 255, 255), 0xFFD4D4, 1);
}

// ---- CListCtrlHigh ----

CListCtrlHigh::CListCtrlHigh() {
  const LOGFONT row = MakeFont("Tahoma", 28), text = MakeFont("Tahoma", 13);
  rowFont_.CreateFontIndirect(&row);
  textFont_.CreateFontIndirect(&text);
}

CListCtrlHigh::~CListCtrlHigh() = default;

void CListCtrlHigh::PreSubclassWindow() {
  CListCtrl::PreSubclassWindow();
  SetFont(&rowFont_, TRUE);
  if (CHeaderCtrl* header = GetHeaderCtrl()) header->SetFont(&textFont_, TRUE);
  ModifyStyle(0, LVS_OWNERDRAWFIXED);
}

void CListCtrlHigh::SplitTwoLines(CDC* dc, const CString& text, int width, CString& first, CString& second,
                                  int& lineHeight) {
  int length = text.GetLength();
  CSize size(0, 0);
  for (; length >= 0; --length) {
    size = dc->GetTextExtent(text.Left(length));
    if (size.cx <= width) break;
  }
  if (length < 0) length = 0;
  if (length == 0) {
    TEXTMETRIC tm{};
    dc->GetTextMetrics(&tm);
    if (size.cy <= 0) size.cy = tm.tmHeight;
  }
  first = text.Left(length);
  second = text.Mid(length);
  lineHeight = size.cy;
}

void CListCtrlHigh::DrawItem(LPDRAWITEMSTRUCT dis) {
  CDC* dc = CDC::FromHandle(dis->hDC);
  const RECT row = dis->rcItem;
  const bool selected = (dis->itemState & ODS_SELECTED) != 0;
  const bool focused = ::GetFocus() == m_hWnd;
  COLORREF back = RGB(255, 255, 255), text = 0;
  if (selected && focused) {
    back = 0xC00000;
    text = RGB(255, 255, 255);
  } else if (selected) {
    back = 0xCACACA;
    text = 0x343434;
  }
  dc->FillSolidRect(&row, back);
  CFont* old = dc->SelectObject(&textFont_);
  dc->SetTextColor(text);
  dc->SetBkMode(TRANSPARENT);
  CString first, second;
  int h = 0;
  SplitTwoLines(dc, GetItemText(static_cast<int>(dis->itemID), 0), row.right - row.left, first, second, h);
  const int rowHeight = row.bottom - row.top;
  const int gap = second.IsEmpty() ? (rowHeight - h) / 2 : (rowHeight - 2 * h) / 3;
  const RECT line1{row.left, row.top + gap, row.right, row.top + gap + h};
  dc->ExtTextOut(row.left + 1, row.top + gap, ETO_CLIPPED, &line1, first, nullptr);
  if (!second.IsEmpty()) {
    const RECT line2{row.left, row.bottom - gap - h, row.right, row.bottom - gap};
    dc->ExtTextOut(row.left + 1, row.bottom - gap - h, ETO_CLIPPED, &line2, second, nullptr);
  }
  dc->SelectObject(old);
}

// ---- CListCtrlMenu ----

BEGIN_MESSAGE_MAP(CListCtrlMenu, CListCtrl)
  ON_WM_MOUSEMOVE()
END_MESSAGE_MAP()

void CListCtrlMenu::PreSubclassWindow() {
  CListCtrl::PreSubclassWindow();
  ModifyStyle(WS_BORDER, LVS_OWNERDRAWFIXED);
}

void CListCtrlMenu::OnMouseMove(UINT flags, CPoint point) {
  CListCtrl::OnMouseMove(flags, point);
  const int row = HitTest(point);
  if (row >= 0 && !(GetItemState(row, LVIS_SELECTED) & LVIS_SELECTED))
    SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

void CListCtrlMenu::DrawItem(LPDRAWITEMSTRUCT dis) {
  CDC* dc = CDC::FromHandle(dis->hDC);
  const RECT row = dis->rcItem;
  const bool selected = (dis->itemState & ODS_SELECTED) != 0;
  CFont* old = font_ ? dc->SelectObject(font_) : nullptr;
  dc->FillSolidRect(&row, selected ? 0xC0A0A0 : GetSysColor(COLOR_BTNFACE));
  dc->SetTextColor(selected ? RGB(255, 255, 255) : RGB(0, 0, 0));
  dc->SetBkMode(TRANSPARENT);
  dc->ExtTextOut(row.left, row.top, ETO_CLIPPED, &row, GetItemText(static_cast<int>(dis->itemID), 0), nullptr);
  if (selected) {
    CBrush black(RGB(0, 0, 0));
    dc->FrameRect(&row, &black);
  }
  if (old) dc->SelectObject(old);
}

// ---- CListPaletteWithSymbol ----

CString CListPaletteWithSymbol::VariantText(int variant, COLORREF& color) {
  switch (variant) {
    case 0:
      color = RGB(0, 0, 0);
      return LoadResString(IDS_SYMBOL_BLACK);
    case 1:
      color = RGB(192, 0, 0);
      return LoadResString(IDS_SYMBOL_RED);
    case 2:
      color = RGB(0, 0, 192);
      return LoadResString(IDS_SYMBOL_BLUE);
    default:
      // An unknown variant shows an empty cell.
      color = RGB(0, 0, 0);
      return CString();
  }
}

void CListPaletteWithSymbol::DrawItem(LPDRAWITEMSTRUCT dis) {
  CDC* dc = CDC::FromHandle(dis->hDC);
  const RECT row = dis->rcItem;
  const bool selected = (dis->itemState & ODS_SELECTED) != 0;
  const auto* color = reinterpret_cast<const CPaletteColor*>(dis->itemData);
  const int saved = dc->SaveDC();
  DrawListRowBackground(dc, row, selected);
  dc->SetTextColor(selected ? RGB(255, 255, 255) : RGB(0, 0, 0));
  dc->SetBkMode(TRANSPARENT);
  if (color) {
    RECT swatch = ColumnRect(this, row, 0);
    swatch.top += 1;
    swatch.bottom -= 1;
    dc->FillSolidRect(&swatch, color->GetColorref());
    TextRightAligned(dc, ColumnRect(this, row, 1), color->mfgName);
    CString count;
    count.Format("%u", static_cast<unsigned>(color->count));
    TextRightAligned(dc, ColumnRect(this, row, 2), count);
    LOGFONT lf = MakeFont(symbolFace_.GetString(), 16);
    CFont symbolFont;
    symbolFont.CreateFontIndirect(&lf);
    CFont* old = dc->SelectObject(&symbolFont);
    CString symbol;
    symbol.Format("%c", color->symbol);
    RECT column = ColumnRect(this, row, 3);
    dc->DrawText(symbol, &column, DT_CENTER | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    dc->SelectObject(old);
    COLORREF variantColor = 0;
    const CString variant = VariantText(color->symbolVariant, variantColor);
    dc->SetTextColor(variantColor);
    TextRightAligned(dc, ColumnRect(this, row, 4), variant);
  }
  dc->RestoreDC(saved);
}

// ---- CPaletteListBox ----

BEGIN_MESSAGE_MAP(CPaletteListBox, CListBox)
  ON_WM_DESTROY()
END_MESSAGE_MAP()

// The records go with the window; an object that outlives neither frees
// them here (its window is destroyed after this class's handlers are gone).
CPaletteListBox::~CPaletteListBox() { FreeRecords(); }

void CPaletteListBox::FreeRecords() {
  if (!GetSafeHwnd()) return;
  for (int i = 0; i < GetCount(); ++i) {
    delete reinterpret_cast<Record*>(GetItemData(i));
    SetItemData(i, 0);
  }
}

void CPaletteListBox::OnDestroy() {
  FreeRecords();
  CListBox::OnDestroy();
}

void CPaletteListBox::SetColorSet(CColorSet* set) {
  set_ = set;
  if (!set && GetSafeHwnd()) {
    FreeRecords();
    ResetContent();
  }
}

bool CPaletteListBox::Fill() {
  FreeRecords();
  ResetContent();
  if (!set_) return false;
  for (int c = 0; c < set_->GetCount(); ++c) {
    const int i = AddString("");
    if (i < 0) return false;
    auto* record = new Record{set_->GetColor(c)->GetColorref(), set_->GetColor(c)->mfgName};
    if (SetItemData(i, reinterpret_cast<DWORD_PTR>(record)) == LB_ERR) {
      delete record;
      return false;
    }
  }
  return true;
}

COLORREF CPaletteListBox::GetSelectedColor() const {
  const int i = GetCurSel();
  if (i < 0) return 0xFFFFFFFF;
  const auto* record = reinterpret_cast<const Record*>(GetItemData(i));
  return record ? record->color : 0xFFFFFFFF;
}

void CPaletteListBox::SelectColor(COLORREF color) {
  if (!set_) return;
  const int index = set_->FindNearestColorref(color);
  if (index >= 0) SetCurSel(index);
}

void CPaletteListBox::MeasureItem(LPMEASUREITEMSTRUCT mis) { mis->itemHeight = 18; }

void CPaletteListBox::DrawItem(LPDRAWITEMSTRUCT dis) {
  if (static_cast<int>(dis->itemID) < 0) return;
  const auto* record = reinterpret_cast<const Record*>(dis->itemData);
  if (!record) return;
  CDC* dc = CDC::FromHandle(dis->hDC);
  const RECT item = dis->rcItem;
  const int saved = dc->SaveDC();
  dc->FillSolidRect(&item, record->color);
  const int side = (item.bottom - item.top) - 2;
  const RECT box{item.left + 2, item.top + 1, item.left + 2 + side, item.bottom - 1};
  CPen pen(PS_SOLID, 2, RGB(0, 0, 0));
  CBrush white(RGB(255, 255, 255));
  dc->SelectObject(&pen);
  dc->SelectObject(&white);
  dc->Rectangle(&box);
  const bool selected = (dis->itemState & ODS_SELECTED) != 0;
  if (selected) {
    dc->MoveTo(box.left + 2, box.top + 4);
    dc->LineTo((box.left + box.right) / 2, box.bottom - 4);
    dc->LineTo(box.right - 3, box.top + 2);
  }
  dc->SetTextColor(GetPaletteRowTextColor(record->color));
  dc->SetBkMode(TRANSPARENT);
  dc->ExtTextOut(box.right + (selected ? 3 : 2), item.top + (selected ? 2 : 1), ETO_CLIPPED, &item, record->name,
                 nullptr);
  dc->RestoreDC(saved);
}

COLORREF GetPaletteRowTextColor(COLORREF rowColor) {
  const COLORREF inverse = InvertColor(rowColor);
  const int spread = std::max({std::abs(GetRValue(rowColor) - GetRValue(inverse)),
                               std::abs(GetGValue(rowColor) - GetGValue(inverse)),
                               std::abs(GetBValue(rowColor) - GetBValue(inverse))});
  return spread < 96 ? GetTextColorForBackground(rowColor) : inverse;
}

// ---- CFilesList ----

CFilesList::CFilesList() = default;
CFilesList::~CFilesList() = default;

int CFilesList::FindPath(const char* path) const {
  for (size_t i = 0; i < paths_.size(); ++i)
    if (paths_[i].CompareNoCase(path) == 0) return static_cast<int>(i);
  return -1;
}

void CFilesList::AddFile(const char* path, bool select) {
  int row = FindPath(path);
  if (row < 0) {
    CString name(path);
    const int slash = std::max(name.ReverseFind('\\'), name.ReverseFind('/'));
    name = name.Mid(slash + 1);
    const int dot = name.ReverseFind('.');
    if (dot > 0) name = name.Left(dot);
    paths_.emplace_back(path);
    row = InsertItem(GetItemCount(), name);
  }
  if (select && row >= 0) {
    EnsureVisible(row, FALSE);
    SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  }
}

bool CFilesList::GetPath(int index, CString& out) const {
  if (index < 0 || index >= static_cast<int>(paths_.size())) return false;
  out = paths_[static_cast<size_t>(index)];
  return true;
}

bool CFilesList::GetSelectedPath(CString& out) {
  const int row = GetNextItem(-1, LVNI_SELECTED);
  return row >= 0 && GetPath(row, out);
}

void CFilesList::Clear() {
  paths_.clear();
  if (GetSafeHwnd()) DeleteAllItems();
}

// ---- CKestlewainListCtrl ----

void CKestlewainListCtrl::DrawItem(LPDRAWITEMSTRUCT dis) {
  CDC* dc = CDC::FromHandle(dis->hDC);
  const RECT row = dis->rcItem;
  const bool selected = (dis->itemState & ODS_SELECTED) != 0;
  const int saved = dc->SaveDC();
  DrawListRowBackground(dc, row, selected);
  dc->SetTextColor(selected ? RGB(255, 255, 255) : RGB(0, 0, 0));
  dc->SetBkMode(TRANSPARENT);
  RECT column = ColumnRect(this, row, 0);
  if (column.right <= column.left) column.right = row.right;
  column.right += 2;
  int textLeft = column.left + 4;
  LVITEM item{};
  item.mask = LVIF_IMAGE;
  item.iItem = static_cast<int>(dis->itemID);
  CImageList* images = GetImageList(LVSIL_NORMAL);
  if (images && GetItem(&item) && item.iImage >= 0) {
    images->Draw(dc, item.iImage, POINT{column.left, column.top}, selected ? ILD_FOCUS : ILD_NORMAL);
    textLeft += 18;
  }
  dc->ExtTextOut(textLeft, column.top, ETO_CLIPPED, &column, GetItemText(static_cast<int>(dis->itemID), 0), nullptr);
  dc->RestoreDC(saved);
}

// ---- CHeaderSortArrows ----

CHeaderSortArrows::~CHeaderSortArrows() = default;

HRESULT CHeaderSortArrows::Attach(CListCtrl* list) {
  if (!list || !list->GetHeaderCtrl()) return E_FAIL;
  list_ = list;
  return S_OK;
}

HRESULT CHeaderSortArrows::Init(const int* formats, int count, bool ascending) {
  if (!list_) return E_FAIL;
  ascending_ = ascending ? 1 : 0;
  CHeaderCtrl* header = list_->GetHeaderCtrl();
  const int columns = header->GetItemCount();
  formats_.assign(static_cast<size_t>(std::max(0, columns)), 0);
  // Only the formats given are read; further columns stay left-aligned.
  for (int c = 0; c < columns && c < count && formats; ++c) formats_[static_cast<size_t>(c)] = formats[c] == 0 ? 0 : formats[c] == 1 ? 1 : 2;
  if (images_.GetSafeHandle()) images_.DeleteImageList();
  if (!images_.Create(IDB_SORT_ARROWS, 8, 1, RGB(0, 255, 0))) return E_FAIL;
  header->SetImageList(&images_);
  header->SendMessage(HDM_SETBITMAPMARGIN, 0, 0);
  SetSortColumn(-1);
  return S_OK;
}

void CHeaderSortArrows::SetSortColumn(int column) {
  ascending_ = 1;
  sortColumn_ = column;
  if (!list_) return;
  CHeaderCtrl* header = list_->GetHeaderCtrl();
  for (size_t c = 0; c < formats_.size(); ++c) {
    HDITEM item{};
    item.mask = HDI_FORMAT | HDI_IMAGE;
    item.fmt = formats_[c] | HDF_STRING | HDF_IMAGE;
    item.iImage = static_cast<int>(c) == column ? (ascending_ ? 1 : 0) : 2;
    if (!header->SetItem(static_cast<int>(c), &item)) break;
  }
}

HRESULT CHeaderSortArrows::OnColumnClick(int column) {
  if (!list_) return E_FAIL;
  CHeaderCtrl* header = list_->GetHeaderCtrl();
  if (column == sortColumn_) {
    ascending_ = ascending_ ? 0 : 1;
    HDITEM item{};
    item.mask = HDI_IMAGE;
    item.iImage = ascending_ ? 1 : 0;
    header->SetItem(column, &item);
  } else {
    SetSortColumn(column);
  }
  header->UpdateWindow();
  return S_OK;
}

int CHeaderSortArrows::GetItemImage(int column) const {
  if (!list_) return -1;
  HDITEM item{};
  item.mask = HDI_IMAGE;
  if (!list_->GetHeaderCtrl()->GetItem(column, &item)) return -1;
  return item.iImage;
}

// ---- CDlgImageScrollView ----

IMPLEMENT_DYNCREATE(CDlgImageScrollView, CScrollView)

BEGIN_MESSAGE_MAP(CDlgImageScrollView, CScrollView)
  ON_WM_ERASEBKGND()
  ON_WM_MOUSEACTIVATE()
END_MESSAGE_MAP()

CDlgImageScrollView::CDlgImageScrollView() = default;

bool CDlgImageScrollView::CreateInDialog(CWnd* parent, UINT id, const RECT& rect, SIZE pictureSize) {
  if (!parent) return false;
  RECT place = rect;
  if (IsRectEmpty(&place)) parent->GetClientRect(&place);
  if (!Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER, place, parent, id, nullptr)) return false;
  SetScrollSizes(MM_TEXT, pictureSize);
  return true;
}

void CDlgImageScrollView::OnDraw(CDC* dc) {
  if (!view_) return;
  if (paintScaled_)
    view_->Paint(dc, true, nullptr);
  else
    view_->PaintDirect(dc, true, nullptr);
}

BOOL CDlgImageScrollView::OnEraseBkgnd(CDC* dc) {
  if (background_ == 0xFFFFFFFF) return CScrollView::OnEraseBkgnd(dc);
  CRect client;
  GetClientRect(&client);
  dc->FillSolidRect(&client, background_);
  return TRUE;
}

int CDlgImageScrollView::OnMouseActivate(CWnd*, UINT, UINT) { return MA_ACTIVATE; }
