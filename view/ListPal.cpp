#include "view/ListPal.h"

#include "core/FrameServices.h"
#include "lang/ids/file.h"
#include "palette/ColorSet.h"

void CListPal::MakeColumn() {
  CRect client;
  GetClientRect(&client);
  InsertColumn(0, LoadResString(IDS_LIST_COLOR_COLUMN), LVCFMT_LEFT, std::max(10, client.Width() - 12));
}

void CListPal::Fill(CColorSet& palette) {
  DeleteAllItems();
  for (int i = 0; i < palette.GetCount(); ++i) {
    const int row = InsertItem(i, palette.GetColor(i)->mfgName);
    SetItemData(row, reinterpret_cast<DWORD_PTR>(palette.GetColor(i)));
  }
}

const CPaletteColor* CListPal::GetRowColor(int row) const {
  return reinterpret_cast<const CPaletteColor*>(GetItemData(row));
}

void CListPal::DrawItem(LPDRAWITEMSTRUCT dis) {
  CDC* dc = CDC::FromHandle(dis->hDC);
  const CRect item(dis->rcItem);
  dc->FillSolidRect(&item, RGB(0xC0, 0xC0, 0xC0));
  const CPaletteColor* colour = GetRowColor(static_cast<int>(dis->itemID));
  if (colour == nullptr) return;
  const int width = GetColumnWidth(0);
  const CRect swatch(item.left, item.top, item.left + width - 1, item.bottom - 1);
  dc->FillSolidRect(&swatch, colour->GetColorref());
}
