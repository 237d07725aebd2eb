#include "controls/ComboFillers.h"

#include <algorithm>
#include <vector>

#include "core/Registry.h"
#include "design/WeaveFormat.h"
#include "platform/base/codepage.h"
#include "platform/gdi.h"
#include "platform/wnd.h"

namespace {

constexpr UINT kComboBitmap = 147;
constexpr int kImageWidth = 16;
constexpr int kImageGrow = 3;

// Makes the image list from the bitmap afresh; false when the bitmap cannot
// be made into one.
bool MakeComboImages(CImageList& images, COLORREF mask) {
  images.DeleteImageList();
  return images.Create(kComboBitmap, kImageWidth, kImageGrow, mask) != FALSE;
}

int InsertComboItem(CComboBoxEx& combo, INT_PTR at, const CString& text, int image, LPARAM data, bool withData) {
  CString buffer = text;
  COMBOBOXEXITEM item{};
  item.mask = CBEIF_TEXT | CBEIF_IMAGE | CBEIF_SELECTEDIMAGE | (withData ? CBEIF_LPARAM : 0);
  item.iItem = at;
  item.pszText = buffer.GetBuffer();
  item.cchTextMax = buffer.GetLength();
  item.iImage = image;
  item.iSelectedImage = image;
  item.lParam = data;
  const int index = combo.InsertItem(&item);
  buffer.ReleaseBuffer();
  return index;
}

// Selects the entry whose item data equals the value, else the first.
void SelectByData(CComboBoxEx& combo, int value) {
  const int count = combo.GetCount();
  for (int i = 0; i < count; ++i) {
    if (static_cast<int>(combo.GetItemData(i)) == value) {
      combo.SetCurSel(i);
      return;
    }
  }
  if (count > 0) combo.SetCurSel(0);
}

}  // namespace

int FormatComboImage(int format) {
  if (format == kFormatLoom) return kFormatComboImageLoom;
  if (IsPeyoteFormat(format)) return kFormatComboImagePeyote;
  switch (format) {
    case kFormatBrick: return kFormatComboImageBrick;
    case kFormatHerringbone: return kFormatComboImageHerringbone;
    case kFormatSacredBrick: return kFormatComboImageSacredBrick;
    case kFormatSacredPeyote: return kFormatComboImageSacredPeyote;
    default: return -1;
  }
}

int StitchPathComboImage(int path) {
  static const int kImages[kStitchPathCount] = {-1, 22, 23, 24, 25, 25, 25, 26, 26, 26};
  return path >= 0 && path < kStitchPathCount ? kImages[path] : -1;
}

int ColorModeComboImage(int position, bool russian) {
  static const int kImages[4] = {10, 11, 12, 13};
  if (position < 0 || position > 3) return -1;
  if (position == 0 && russian) return 0;
  return kImages[position];
}

namespace {

// The drop-down list as wide as its longest name with its picture, so that
// no name is cut ("Кактусообразный (sacred peyote)").
void FitDropListToNames(CComboBoxEx& combo, const std::vector<CString>& names) {
  if (!combo.GetSafeHwnd()) return;
  CClientDC dc(&combo);
  CFont* old = combo.GetFont() ? dc.SelectObject(combo.GetFont()) : nullptr;
  int widest = 0;
  for (const CString& name : names) widest = std::max(widest, static_cast<int>(dc.GetTextExtent(name).cx));
  if (old) dc.SelectObject(old);
  // Picture, its margins, the text's margins and a scroll bar.
  const int wanted = widest + 16 + 12 + 8 + ::GetSystemMetrics(SM_CXVSCROLL);
  if (wanted > combo.GetDroppedWidth()) combo.SetDroppedWidth(static_cast<UINT>(wanted));
}

}  // namespace

bool FillFormatCombo(CImageList& images, CComboBoxEx& combo, int format) {
  MakeComboImages(images, RGB(192, 192, 192));
  combo.ResetContent();
  combo.SetImageList(images.m_hImageList ? &images : nullptr);
  bool ok = true;
  std::vector<CString> names;
  for (int f = kFormatCount - 1; f >= 0; --f) {
    CString name;
    GetFormatName(f, name);
    if (InsertComboItem(combo, 0, name, FormatComboImage(f), f, true) < 0) ok = false;
    names.push_back(name);
  }
  FitDropListToNames(combo, names);
  SelectByData(combo, format);
  return ok;
}

bool FillStitchPathCombo(CImageList& images, CComboBoxEx& combo, int path) {
  combo.ResetContent();
  combo.SetImageList(images.m_hImageList ? &images : nullptr);
  bool ok = true;
  std::vector<CString> names;
  for (int p = 0; p < kStitchPathCount; ++p) {
    CString name;
    GetStitchPathName(p, name);
    if (InsertComboItem(combo, p, name, StitchPathComboImage(p), p, true) < 0) ok = false;
    names.push_back(name);
  }
  FitDropListToNames(combo, names);
  SelectByData(combo, path);
  return ok;
}

bool FillColorModeCombo(CImageList& images, CComboBoxEx& combo, int mode) {
  if (!MakeComboImages(images, RGB(255, 0, 0))) return false;
  combo.ResetContent();
  combo.SetImageList(&images);
  const bool russian = IsRussianInterface();
  bool ok = true;
  for (int position = 0; position < 4; ++position) {
    const CString name = FromUtf8(GetColorModeNameUtf8(position, russian));
    if (InsertComboItem(combo, position, name, ColorModeComboImage(position, russian), 0, false) < 0) ok = false;
  }
  combo.SetCurSel(ComboPositionFromColorMode(mode));
  return ok;
}

DWORD_PTR GetComboSelData(CComboBox& combo) {
  const int selection = combo.GetCurSel();
  if (selection < 0) return static_cast<DWORD_PTR>(CB_ERR);
  return combo.GetItemData(selection);
}
