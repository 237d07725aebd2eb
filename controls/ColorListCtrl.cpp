#include "controls/ColorListCtrl.h"

#include <algorithm>

#include "core/ByteStream.h"
#include "core/DialogServices.h"
#include "core/Registry.h"
#include "palette/ColorSet.h"

const UINT g_msgColorPaletteUsageChanged = RegisterWindowMessage("MsgColorPaletteUsageChanged");

namespace {

constexpr int kSetupTail = 64;

struct SortContext {
  const std::vector<CPaletteColor>* colors;
  ColorRecordPredicate less;
  ColorRecordPredicate greater;
  bool ascending;
};

// 1 when the first row must come after the second.
int CompareRows(LPARAM first, LPARAM second, LPARAM data) {
  const auto* context = reinterpret_cast<const SortContext*>(data);
  const auto& colors = *context->colors;
  const size_t a = static_cast<size_t>(first), b = static_cast<size_t>(second);
  if (a >= colors.size() || b >= colors.size()) return 0;
  return context->ascending ? context->less(colors[b], colors[a]) : context->greater(colors[b], colors[a]);
}

}  // namespace

BEGIN_MESSAGE_MAP(CColorListCtrl, CListCtrl)
  ON_NOTIFY_REFLECT(LVN_COLUMNCLICK, OnColumnClick)
  ON_NOTIFY_REFLECT(NM_CLICK, OnClick)
  ON_NOTIFY_REFLECT(NM_CUSTOMDRAW, OnCustomDraw)
  ON_WM_MOUSEMOVE()
  END_MESSAGE_MAP()

  CColorListCtrl::CColorListCtrl(const char* valueName, BYTE, int preset)
      : swatches_(16, 16), valueName_(valueName ? valueName : ""), data_(preset) {
    CRegistryKey key = CRegistryKey::Open(g_szProgramKey, HKEY_CURRENT_USER);
    DWORD size = 0;
    if (key.IsOpen() && !valueName_.IsEmpty() && key.GetValueSize(valueName_, size) && size > 0) {
      std::vector<BYTE> bytes(size);
      if (key.ReadValue(valueName_, bytes.data(), size, &size)) ReadSetup(bytes.data(), size);
    }
}

CColorListCtrl::~CColorListCtrl() {
  if (valueName_.IsEmpty()) return;
  const std::vector<BYTE> bytes = WriteSetup();
  if (bytes.empty()) return;
  CRegistryKey key = CRegistryKey::Create(g_szProgramKey, HKEY_CURRENT_USER);
  if (key.IsOpen()) key.SetValue(valueName_, bytes.data(), static_cast<DWORD>(bytes.size()), REG_BINARY);
}

bool CColorListCtrl::ReadSetup(const BYTE* bytes, size_t size) {
  CColorListData read(data_.preset);
  std::vector<BYTE> copy(bytes, bytes + size);
  CByteStream stream(copy.data(), static_cast<int>(copy.size()));
  if (read.Read(stream) && stream.Skip(kSetupTail)) {
    data_ = read;
    return true;
  }
  // A set-up that does not read whole gives the preset, never a half-read
  // model.
  data_ = CColorListData(data_.preset);
  return false;
}

std::vector<BYTE> CColorListCtrl::WriteSetup() const {
  std::vector<BYTE> bytes(static_cast<size_t>(data_.GetStreamSize() + kSetupTail));
  CByteStream stream(bytes.data(), static_cast<int>(bytes.size()));
  if (!data_.Write(stream) || !stream.WriteZeros(kSetupTail)) return {};
  return bytes;
}

void CColorListCtrl::Init() {
  BuildColumns();
  SetImageList(swatches_.GetImageList(), LVSIL_SMALL);
  SetExtendedStyle(GetExtendedStyle() | LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
}

void CColorListCtrl::BuildColumns() {
  if (!GetSafeHwnd()) return;
  if (CHeaderCtrl* header = GetHeaderCtrl())
    for (int n = header->GetItemCount(); n > 0; --n) DeleteColumn(0);
  const int count = static_cast<int>(data_.columns.size());
  if (count == 0) return;
  CRect client;
  GetClientRect(&client);
  const bool automatic = data_.HasAutoWidth();
  const int autoWidth = (client.Width() - 16) / count;
  for (int c = 0; c < count; ++c) {
    const CColumnPair& column = data_.columns[static_cast<size_t>(c)];
    InsertColumn(c, CColorListData::GetColumnTitle(column.kind), LVCFMT_RIGHT, automatic ? autoWidth : column.width);
  }
}

void CColorListCtrl::SetColorSet(const CColorSet* palette, int showMode) {
  showMode_ = showMode;
  CString selected;
  if (data_.rememberSelection) selected = GetSelectedName();
  if (palette)
    colors_ = palette->GetColors();
  else
    colors_.clear();
  Refill();
  if (data_.rememberSelection && !selected.IsEmpty()) SelectByName(selected);
}

void CColorListCtrl::Refill() {
  if (!GetSafeHwnd()) return;
  SetRedraw(FALSE);
  DeleteAllItems();
  int row = 0;
  for (size_t i = 0; i < colors_.size(); ++i) {
    const CPaletteColor& color = colors_[i];
    if (showMode_ != 1 && color.count == 0) continue;
    const CString first = data_.columns.empty() ? CString() : FormatColorCell(color, data_.columns, 0);
    const int at = InsertItem(LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM, row, first, 0, 0,
                              swatches_.GetImageIndex(color.GetColorref()), static_cast<LPARAM>(i));
    if (at < 0) continue;
    for (size_t c = 1; c < data_.columns.size(); ++c)
      SetItemText(at, static_cast<int>(c), FormatColorCell(color, data_.columns, static_cast<int>(c)));
    ++row;
  }
  SortRows();
  SetRedraw(TRUE);
  Invalidate();
}

void CColorListCtrl::SortRows() {
  const int count = static_cast<int>(data_.columns.size());
  if (count == 0 || !GetSafeHwnd()) return;
  const int column = std::clamp(data_.sortColumn, 0, count - 1);
  const int kind = data_.columns[static_cast<size_t>(column)].kind;
  SortContext context{&colors_, GetColumnLess(kind), GetColumnGreater(kind), false};
  if (!context.less || !context.greater) return;
  context.ascending = (data_.sortDirection != 0) == IsColumnAscendingAtOne(kind);
  SortItems(CompareRows, reinterpret_cast<DWORD_PTR>(&context));
}

void CColorListCtrl::ClickColumn(int column) {
  if (column == data_.sortColumn) {
    data_.sortDirection = data_.sortDirection ? 0 : 1;
  } else {
    data_.sortColumn = column;
    data_.sortDirection = 1;
  }
  CString selected;
  if (data_.rememberSelection) selected = GetSelectedName();
  SortRows();
  if (data_.rememberSelection && !selected.IsEmpty()) SelectByName(selected);
}

void CColorListCtrl::OnColumnClick(NMHDR* hdr, LRESULT* result) {
  ClickColumn(reinterpret_cast<NMLISTVIEW*>(hdr)->iSubItem);
  *result = 0;
}

int CColorListCtrl::FindUsageColumn() const {
  for (size_t c = 0; c < data_.columns.size(); ++c)
    if (data_.columns[c].kind == kColumnUsage) return static_cast<int>(c);
  return -1;
}

void CColorListCtrl::ClickAt(POINT client) {
  const int usage = FindUsageColumn();
  if (!data_.allowUsageChange || usage < 0) return;
  if (HitTest(CPoint(client)) < 0) return;
  int left = 0;
  for (int c = 0; c < usage; ++c) left += GetColumnWidth(c);
  const int width = GetColumnWidth(usage);
  if (!(client.x > left && client.x < left + width)) return;
  const int row = GetNextItem(-1, LVNI_SELECTED);
  if (row < 0) return;
  const size_t index = static_cast<size_t>(GetItemData(row));
  if (index >= colors_.size() || colors_[index].mfgName.IsEmpty()) return;
  CPaletteColor& color = colors_[index];
  color.SetInUse(color.IsInUse() ? 0 : 1);
  RefreshRow(row);
  if (CWnd* parent = GetParent())
    parent->PostMessage(g_msgColorPaletteUsageChanged, static_cast<WPARAM>(index), color.IsInUse() ? 1 : 0);
}

void CColorListCtrl::OnClick(NMHDR*, LRESULT* result) {
  POINT point{0, 0};
  GetCursorPos(&point);
  ScreenToClient(&point);
  ClickAt(point);
  *result = 0;
}

void CColorListCtrl::OnCustomDraw(NMHDR* hdr, LRESULT* result) {
  auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(hdr);
  *result = CDRF_DODEFAULT;
  const int usage = FindUsageColumn();
  if (!data_.highlightShortage && usage < 0) return;
  if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) {
    *result = CDRF_NOTIFYITEMDRAW;
  } else if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
    const size_t index = static_cast<size_t>(draw->nmcd.lItemlParam);
    if (data_.highlightShortage) {
      if (index < colors_.size() && colors_[index].count > static_cast<DWORD>(colors_[index].assigned)) {
        draw->clrText = kShortageText;
        draw->clrTextBk = kShortageBack;
      } else {
        draw->clrText = 0;
      }
    }
    if (usage >= 0) *result = CDRF_NOTIFYSUBITEMDRAW;
  } else if (draw->nmcd.dwDrawStage == (CDDS_ITEMPREPAINT | CDDS_SUBITEM) && draw->iSubItem == usage) {
    // The Usage cell is a check box (its text, "[X]" or "[  ]", is what
    // exports and the cell reader see).
    const size_t index = static_cast<size_t>(draw->nmcd.lItemlParam);
    if (index >= colors_.size()) return;
    CDC* dc = CDC::FromHandle(draw->nmcd.hdc);
    CRect cell(draw->nmcd.rc);
    const bool selected = (draw->nmcd.uItemState & CDIS_SELECTED) != 0 && (GetExtendedStyle() & LVS_EX_FULLROWSELECT);
    const COLORREF back =
        draw->clrTextBk == CLR_DEFAULT || draw->clrTextBk == CLR_NONE ? GetBkColor() : draw->clrTextBk;
    dc->FillSolidRect(cell, selected ? ::GetSysColor(GetFocus() == this ? COLOR_HIGHLIGHT : COLOR_BTNFACE) : back);
    const int side = std::min(13, std::max(7, cell.Height() - 4));
    CRect box(0, 0, side, side);
    box.OffsetRect(cell.left + (cell.Width() - side) / 2, cell.top + (cell.Height() - side) / 2);
    dc->DrawFrameControl(box, DFC_BUTTON, DFCS_BUTTONCHECK | (colors_[index].IsInUse() ? DFCS_CHECKED : 0));
    *result = CDRF_SKIPDEFAULT;
  }
}

CString CColorListCtrl::GetCutCellText(POINT client) {
  LVHITTESTINFO hit{};
  hit.pt = client;
  if (SubItemHitTest(&hit) < 0 || hit.iItem < 0 || hit.iSubItem < 0) return CString();
  if (hit.iSubItem == FindUsageColumn()) return CString();  // a check box
  const CString text = GetItemText(hit.iItem, hit.iSubItem);
  if (text.IsEmpty()) return CString();
  CClientDC dc(this);
  CFont* old = GetFont() ? dc.SelectObject(GetFont()) : nullptr;
  const int width = dc.GetTextExtent(text).cx;
  if (old) dc.SelectObject(old);
  // The cell's text margins (and the swatch of the first column).
  const int room = GetColumnWidth(hit.iSubItem) - 12 - (hit.iSubItem == 0 ? 18 : 0);
  return width > room ? text : CString();
}

void CColorListCtrl::OnMouseMove(UINT flags, CPoint point) {
  // Long names (a nickname in a narrow column) show whole in a tooltip.
  const CString text = GetCutCellText(point);
  if (!cellTip_.GetSafeHwnd() && cellTip_.Create(this)) {
    CRect client;
    GetClientRect(&client);
    cellTip_.AddTool(this, "", &client, 1);
    cellTip_.Activate(TRUE);
  }
  if (cellTip_.GetSafeHwnd()) {
    if (text != cellTipText_) {
      cellTipText_ = text;
      CRect client;
      GetClientRect(&client);
      cellTip_.SetToolRect(this, 1, &client);
      cellTip_.UpdateTipText(text, this, 1);
      if (text.IsEmpty()) cellTip_.Pop();
    }
    MSG msg{m_hWnd, WM_MOUSEMOVE, static_cast<WPARAM>(flags), MAKELPARAM(point.x, point.y)};
    cellTip_.RelayEvent(&msg);
  }
  CListCtrl::OnMouseMove(flags, point);
}

int CColorListCtrl::GetSelectedIndex() {
  const int row = GetNextItem(-1, LVNI_SELECTED);
  return row < 0 ? -1 : static_cast<int>(GetItemData(row));
}

bool CColorListCtrl::GetItemColor(int row, CPaletteColor& out) {
  if (row < 0 || row >= GetItemCount()) return false;
  const size_t index = static_cast<size_t>(GetItemData(row));
  if (index >= colors_.size()) return false;
  out = colors_[index];
  return true;
}

bool CColorListCtrl::GetSelectedColor(CPaletteColor& out) { return GetItemColor(GetNextItem(-1, LVNI_SELECTED), out); }

CString CColorListCtrl::GetSelectedName() {
  CPaletteColor color;
  return GetSelectedColor(color) ? color.mfgName : CString();
}

void CColorListCtrl::SelectOnly(int row) {
  for (int i = GetNextItem(-1, LVNI_SELECTED); i >= 0; i = GetNextItem(i, LVNI_SELECTED))
    if (i != row) SetItemState(i, 0, LVIS_SELECTED);
  SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  EnsureVisible(row, FALSE);
}

bool CColorListCtrl::FindText(unsigned number, bool inName) {
  CString text;
  text.Format("%u", number);
  const int count = GetItemCount();
  const int selected = GetNextItem(-1, LVNI_SELECTED);
  auto matches = [&](int row) {
    CPaletteColor color;
    if (!GetItemColor(row, color)) return false;
    CString value;
    if (inName)
      value = color.mfgName;
    else
      value.Format("%u", static_cast<unsigned>(color.number));
    return value.Find(text) >= 0;
  };
  for (int row = selected + 1; row < count; ++row)
    if (matches(row)) {
      SelectOnly(row);
      return true;
    }
  for (int row = 0; row < count; ++row)
    if (matches(row)) {
      SelectOnly(row);
      return true;
    }
  return false;
}

bool CColorListCtrl::FindNumberInName(unsigned number) { return FindText(number, true); }
bool CColorListCtrl::FindColorNumber(unsigned number) { return FindText(number, false); }

bool CColorListCtrl::SelectColor(COLORREF packed) {
  for (int row = 0; row < GetItemCount(); ++row) {
    CPaletteColor color;
    if (GetItemColor(row, color) && color.GetColorref() == (packed & 0xFFFFFF)) {
      SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
      EnsureVisible(row, FALSE);
      return true;
    }
  }
  return false;
}

bool CColorListCtrl::SelectColor(const CRgbTriple& color) { return SelectColor(color.GetColorref()); }

bool CColorListCtrl::SelectByName(const CString& name) {
  for (int row = 0; row < GetItemCount(); ++row) {
    CPaletteColor color;
    if (GetItemColor(row, color) && color.mfgName == name) {
      SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
      EnsureVisible(row, FALSE);
      return true;
    }
  }
  return false;
}

void CColorListCtrl::ClearSelection() {
  for (int i = GetNextItem(-1, LVNI_SELECTED); i >= 0; i = GetNextItem(i, LVNI_SELECTED)) SetItemState(i, 0, LVIS_SELECTED);
}

void CColorListCtrl::RefreshRow(int row) {
  CPaletteColor color;
  if (!GetItemColor(row, color)) return;
  for (size_t c = 0; c < data_.columns.size(); ++c)
    SetItemText(row, static_cast<int>(c), FormatColorCell(color, data_.columns, static_cast<int>(c)));
}

void CColorListCtrl::StoreColumnWidths() {
  CHeaderCtrl* header = GetHeaderCtrl();
  const int count = header ? header->GetItemCount() : 0;
  for (int c = 0; c < count && c < static_cast<int>(data_.columns.size()); ++c)
    data_.columns[static_cast<size_t>(c)].width = GetColumnWidth(c);
}

void CColorListCtrl::OnColumns() {
  CColumnListOptions options;
  options.rememberSelection = data_.rememberSelection;
  options.highlightShortage = data_.highlightShortage;
  options.allowUsageChange = data_.allowUsageChange;
  options.usageChangeLocked = data_.usageChangeLocked;
  CColumnLayout columns;
  for (const CColumnPair& c : data_.columns) columns.emplace_back(c.kind, c.width);
  if (!RunSelectColumnsDialog(columns, options, this)) return;
  data_.columns.clear();
  for (const auto& [kind, width] : columns) data_.columns.push_back(CColumnPair{kind, width});
  data_.rememberSelection = options.rememberSelection;
  data_.highlightShortage = options.highlightShortage;
  data_.allowUsageChange = options.allowUsageChange;
  BuildColumns();
  Refill();
}
