#include "dialogs/SelectSymbolsDlg.h"

#include <algorithm>
#include <vector>

#include "core/FileUtils.h"
#include "core/FrameServices.h"
#include "core/Registry.h"
#include "core/ViewServices.h"
#include "design/Pattern.h"
#include "design/PatternAttr.h"
#include "lang/ids/adjust.h"
#include "lang/ids/controls.h"
#include "lang/ids/file.h"
#include "palette/ColorSet.h"
#include "view/FramePorts.h"

// ---- CAllSymbolListBox ----

CAllSymbolListBox::~CAllSymbolListBox() = default;

COLORREF CAllSymbolListBox::ItemBackground(DWORD_PTR data, bool selected) {
  if (selected) return kSelectedBack;
  return data > 255 ? kUsedBack : kFreeBack;
}

void CAllSymbolListBox::MeasureItem(LPMEASUREITEMSTRUCT mis) {
  mis->itemWidth = kItemWidth;
  mis->itemHeight = kItemHeight;
}

void CAllSymbolListBox::DrawItem(LPDRAWITEMSTRUCT dis) {
  if (!font_ || static_cast<int>(dis->itemID) < 0) return;
  CDC* dc = CDC::FromHandle(dis->hDC);
  const RECT r = dis->rcItem;
  const bool selected = (dis->itemState & ODS_SELECTED) != 0;
  // The cell, a line of the list's background right and below it so the
  // codes read as separate cells.
  RECT cell = {r.left, r.top, std::min(r.right, r.left + kItemWidth) - 1, r.bottom - 1};
  dc->FillSolidRect(&r, ::GetSysColor(COLOR_WINDOW));
  dc->FillSolidRect(&cell, ItemBackground(dis->itemData, selected));
  const int saved = dc->SaveDC();
  CFont* old = dc->SelectObject(font_);
  dc->SetBkMode(TRANSPARENT);
  dc->SetTextColor(RGB(255, 255, 255));
  const char text[2] = {static_cast<char>(ItemCode(dis->itemData)), 0};
  // Code 0 ends a text: it draws as nothing.
  if (text[0]) dc->TextOut(r.left + 2, r.top, text, 1);
  dc->SelectObject(old);
  dc->RestoreDC(saved);
}

// ---- CSelectSymbolsDlgNew ----

namespace {


int CompareRows(LPARAM a, LPARAM b, LPARAM data) {
  return CSelectSymbolsDlgNew::CompareRecords(*reinterpret_cast<const CPaletteColor*>(a),
                                             *reinterpret_cast<const CPaletteColor*>(b), static_cast<int>(data));
}

// The used colours' symbols and output colours, to tell whether a pass
// changed any.
std::vector<std::pair<int, int>> UsedSymbols(const CColorSet& palette) {
  std::vector<std::pair<int, int>> out;
  for (const CPaletteColor& c : palette.GetColors())
    if (c.count) out.emplace_back(c.symbol, c.symbolVariant);
  return out;
}

}  // namespace

BEGIN_MESSAGE_MAP(CSelectSymbolsDlgNew, CDialog)
  ON_BN_CLICKED(IDC_SYM_SELECT_FONT, OnSelectFont)
  ON_BN_CLICKED(IDC_SYM_APPLY, OnApplySymbol)
  ON_LBN_DBLCLK(IDC_SYM_LIST, OnSymbolDoubleClick)
  ON_CBN_SELENDOK(IDC_SYM_OUTPUT, OnOutputChanged)
  ON_NOTIFY(LVN_ITEMCHANGED, IDC_SYM_COLORS, OnItemChanged)
  ON_NOTIFY(LVN_COLUMNCLICK, IDC_SYM_COLORS, OnColumnClickList)
END_MESSAGE_MAP()

CSelectSymbolsDlgNew::CSelectSymbolsDlgNew(CColorSet* palette, CPdfData* pdfData, CSymbolSet* symbols, CWnd* parent)
    : CDialog(IDD_SELECT_SYMBOLS, parent),
      outputLabel_(0xC00000, "Tahoma", 14),
      hint_(0x004060, "Tahoma", IsRussianInterface() ? 13 : 14),
      usedLabel_(0xC00000, "Tahoma", 14),
      fontLabel_(0x004060, "Tahoma", 14),
      palette_(palette),
      pdfData_(pdfData),
      symbols_(symbols) {
  if (palette_) {
    const auto before = UsedSymbols(*palette_);
    palette_->EnsureDistinctSymbols();
    if (UsedSymbols(*palette_) != before) MarkChanged();
    changed_ = false;
  }
}

CSelectSymbolsDlgNew::~CSelectSymbolsDlgNew() = default;

int CSelectSymbolsDlgNew::CompareRecords(const CPaletteColor& a, const CPaletteColor& b, int key) {
  bool holds = false;
  switch (key) {
    case 0: holds = CompareLighterFirst(a, b); break;
    case 1: holds = CompareDarkerFirst(a, b); break;
    case 2: holds = CompareNameAscending(a, b); break;
    case 3: holds = CompareNameDescending(a, b); break;
    case 4: holds = CompareUsageAscending(a, b); break;
    case 5: holds = CompareUsageDescending(a, b); break;
    case 6: holds = CompareSymbolAscending(a, b); break;
    case 7: holds = CompareSymbolDescending(a, b); break;
    case 8: holds = CompareVariantAscending(a, b); break;
    case 9: holds = CompareVariantDescending(a, b); break;
    default: break;
  }
  return holds ? 1 : 0;
}

void CSelectSymbolsDlgNew::MarkChanged() {
  changed_ = true;
  if (!palette_) return;
  palette_->SetModified(true);
  // The records belong to the design view's palette: its design must be
  // saved again, or the new symbols are lost.
  if (ITabView* view = GetActiveTabView(); view && view->GetColorSet() == palette_) {
    if (CPattern* design = view->GetPattern()) design->SetModified(true);
    view->GetColorSet()->SetModified(true);
  }
}

BOOL CSelectSymbolsDlgNew::OnInitDialog() {
  CDialog::OnInitDialog();
  outputLabel_.SubclassDlgItem(IDC_SYM_OUTPUT_LABEL, this);
  output_.SubclassDlgItem(IDC_SYM_OUTPUT, this);
  hint_.SubclassDlgItem(IDC_SYM_HINT, this);
  usedLabel_.SubclassDlgItem(IDC_SYM_USED_LABEL, this);
  fontLabel_.SubclassDlgItem(IDC_SYM_FONT_NAME, this);
  symbolList_.SubclassDlgItem(IDC_SYM_LIST, this);
  colors_.SubclassDlgItem(IDC_SYM_COLORS, this);

  int usedCount = 0;
  if (palette_)
    for (const CPaletteColor& c : palette_->GetColors())
      if (c.count) ++usedCount;
  CRect client;
  colors_.GetClientRect(&client);
  const int width = client.Width() / 5 - (usedCount > 15 ? 3 : 0);
  const UINT titles[5] = {IDS_LIST_COLOR_COLUMN, IDS_SYM_COLUMN_MFG_NAME, IDS_SYM_COLUMN_COUNT, IDS_SYM_COLUMN_SYMBOL,
                          IDS_SYM_COLUMN_OUTPUT};
  for (int i = 0; i < 5; ++i) colors_.InsertColumn(i, LoadResString(titles[i]), LVCFMT_RIGHT, width);
  colors_.SetExtendedStyle(colors_.GetExtendedStyle() | LVS_EX_FULLROWSELECT);

  const CString fontName = symbols_ ? symbols_->m_fontName : CString();
  colors_.SetSymbolFontName(fontName);
  fontLabel_.SetText(fontName);

  int best = -1;
  DWORD bestCount = 0;
  if (palette_) {
    for (int i = 0; i < palette_->GetCount(); ++i) {
      CPaletteColor* c = palette_->GetColor(i);
      if (!c || !c->count) continue;
      const int row = colors_.InsertItem(colors_.GetItemCount(), "");
      colors_.SetItemData(row, reinterpret_cast<DWORD_PTR>(c));
      if (best < 0 || c->count > bestCount) {
        best = row;
        bestCount = c->count;
      }
    }
  }
  if (best >= 0) SelectRow(best);

  MakeSymbolFont();
  FillSymbolList();

  output_.AddString(LoadResString(IDS_SYMBOL_BLACK));
  output_.AddString(LoadResString(IDS_SYMBOL_RED));
  output_.AddString(LoadResString(IDS_SYMBOL_BLUE));
  output_.SetCurSel(0);
  ShowRowVariant();

  arrows_.Attach(&colors_);
  const int formats[5] = {1, 1, 1, 1, 1};
  arrows_.Init(formats, 5, !sortDirection_);
  arrows_.SetSortColumn(sortColumn_);
  SortList();

  symbolList_.SetCurSel(0);
  symbolList_.SetColumnWidth(40);
  return TRUE;
}

void CSelectSymbolsDlgNew::MakeSymbolFont() {
  symbolFont_.reset();
  if (!symbols_) return;
  LOGFONT lf;
  symbols_->GetLogFont(lf);
  lf.lfHeight = 14;
  auto font = std::make_unique<CFont>();
  if (font->CreateFontIndirect(&lf)) symbolFont_ = std::move(font);
}

void CSelectSymbolsDlgNew::FillSymbolList() {
  if (!symbolList_.GetSafeHwnd()) return;
  symbolList_.SetRedraw(FALSE);
  int selected = symbolList_.GetCurSel();
  if (selected < 0) selected = 0;
  symbolList_.ResetContent();
  symbolList_.SetSymbolFont(symbolFont_.get());
  for (int code = 0; code < 256; ++code) {
    const int item = symbolList_.AddString("");
    const bool used = palette_ && palette_->IsSymbolUsed(code);
    symbolList_.SetItemData(item, static_cast<DWORD_PTR>(code + (used ? 256 : 0)));
  }
  symbolList_.SetCurSel(selected);
  symbolList_.SetRedraw(TRUE);
  symbolList_.Invalidate();
}

int CSelectSymbolsDlgNew::GetSelectedRow() const {
  if (!colors_.GetSafeHwnd()) return -1;
  return colors_.GetNextItem(-1, LVNI_SELECTED);
}

void CSelectSymbolsDlgNew::SelectRow(int row) {
  colors_.SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

void CSelectSymbolsDlgNew::ScrollToSelection() {
  const int row = GetSelectedRow();
  if (row >= 0) colors_.EnsureVisible(row, FALSE);
}

void CSelectSymbolsDlgNew::ShowRowVariant() {
  const int row = GetSelectedRow();
  if (row < 0) return;
  const auto* c = reinterpret_cast<const CPaletteColor*>(colors_.GetItemData(row));
  const int variant = c ? c->symbolVariant : 0;
  output_.SetCurSel(variant == 1 ? 1 : variant == 2 ? 2 : 0);
}

void CSelectSymbolsDlgNew::OnApplySymbol() {
  const int item = symbolList_.GetCurSel();
  const int row = GetSelectedRow();
  if (item < 0 || row < 0) {
    WarningBeep();
    return;
  }
  const int code = CAllSymbolListBox::ItemCode(symbolList_.GetItemData(item));
  auto* c = reinterpret_cast<CPaletteColor*>(colors_.GetItemData(row));
  if (c) {
    c->symbol = code;
    palette_->SetSymbolByName(c->mfgName, code);
  }
  colors_.Invalidate();
  FillSymbolList();
  MarkChanged();
  ScrollToSelection();
}

void CSelectSymbolsDlgNew::OnSymbolDoubleClick() {
  if (symbolList_.GetCurSel() >= 0) PostMessage(WM_COMMAND, MAKEWPARAM(IDC_SYM_APPLY, BN_CLICKED), 0);
}

void CSelectSymbolsDlgNew::OnOutputChanged() {
  const int row = GetSelectedRow();
  if (row < 0) return;
  auto* c = reinterpret_cast<CPaletteColor*>(colors_.GetItemData(row));
  const int variant = output_.GetCurSel();
  if (c && variant >= 0) c->symbolVariant = static_cast<BYTE>(variant);
  colors_.Invalidate();
  MarkChanged();
  ScrollToSelection();
}

void CSelectSymbolsDlgNew::OnItemChanged(NMHDR*, LRESULT* result) {
  ShowRowVariant();
  *result = 0;
}

void CSelectSymbolsDlgNew::ClickColumn(int column) {
  if (column != sortColumn_)
    sortDirection_ = true;
  else
    sortDirection_ = !sortDirection_;
  sortColumn_ = column;
  arrows_.OnColumnClick(column);
  SortList();
}

void CSelectSymbolsDlgNew::OnColumnClickList(NMHDR* hdr, LRESULT* result) {
  ClickColumn(reinterpret_cast<NMLISTVIEW*>(hdr)->iSubItem);
  *result = 0;
}

void CSelectSymbolsDlgNew::SortList() {
  colors_.SortItems(CompareRows, static_cast<DWORD_PTR>(2 * sortColumn_ + (sortDirection_ ? 1 : 0)));
  ScrollToSelection();
}

void CSelectSymbolsDlgNew::OnSelectFont() {
  if (!symbols_) return;
  LOGFONT lf;
  symbols_->GetLogFont(lf);
  lf.lfHeight = 14;
  CFontDialog dialog(&lf, CF_BOTH | CF_INITTOLOGFONTSTRUCT, nullptr, this);
  if (dialog.DoModal() != IDOK) return;
  LOGFONT chosen;
  dialog.GetCurrentFont(&chosen);
  symbols_->SetLogFont(chosen);
  symbols_->m_fontName = chosen.lfFaceName;
  symbols_->m_charSet = chosen.lfCharSet;
  colors_.SetSymbolFontName(symbols_->m_fontName);
  colors_.Invalidate();
  fontLabel_.SetText(symbols_->m_fontName);
  MakeSymbolFont();
  FillSymbolList();
  MarkChanged();
}

void CSelectSymbolsDlgNew::OnOK() {
  symbolFont_.reset();
  symbolList_.SetSymbolFont(nullptr);
  if (changed_)
    CDialog::OnOK();
  else
    CDialog::OnCancel();
}

void CSelectSymbolsDlgNew::OnCancel() {
  symbolFont_.reset();
  symbolList_.SetSymbolFont(nullptr);
  CDialog::OnCancel();
}
