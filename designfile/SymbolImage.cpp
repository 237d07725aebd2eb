#include "designfile/SymbolImage.h"

#include "core/FileUtils.h"
#include "image/Image.h"
#include "platform/gdi.h"

bool RenderSymbolImage(const CSymbolSet& symbols, int height, SIZE size, UINT code, const CString& path,
                       COLORREF background, COLORREF textColor) {
  if (FileExists(path)) RemoveFile(path);
  if (size.cx <= 0 || size.cy <= 0) return false;

  LOGFONT logFont;
  symbols.GetLogFont(logFont);
  logFont.lfHeight = height;
  CString text;
  text.Format("%c", static_cast<int>(static_cast<unsigned char>(code)));

  HDC dc = CreateCompatibleDC(nullptr);
  if (!dc) return false;
  bool ok = false;
  HBITMAP bitmap = CreateBitmap(size.cx, size.cy, 1, 24, nullptr);
  HFONT font = CreateFontIndirect(&logFont);
  if (bitmap && font) {
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    HGDIOBJ oldFont = SelectObject(dc, font);
    RECT all{0, 0, size.cx, size.cy};
    HBRUSH brush = CreateSolidBrush(background);
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, textColor);
    SIZE extent{0, 0};
    GetTextExtentPoint32(dc, text.GetString(), text.GetLength(), &extent);
    TextOut(dc, (size.cx - extent.cx) / 2, (size.cy - extent.cy) / 2, text.GetString(), text.GetLength());
    SelectObject(dc, oldFont);
    SelectObject(dc, oldBitmap);
    CImage picture(bitmap);
    ok = picture.IsValid() && picture.SaveFile(path);
  }
  if (font) DeleteObject(font);
  if (bitmap) DeleteObject(bitmap);
  DeleteDC(dc);
  return ok;
}
