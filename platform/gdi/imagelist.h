// Image lists: equal-sized images with optional masks, drawn transparent,
// blended for focus or selection, turned into icons, and dragged.
#pragma once

#include "platform/gdi/afxgdi.h"

HIMAGELIST ImageList_Create(int cx, int cy, UINT flags, int initial, int grow);
BOOL ImageList_Destroy(HIMAGELIST list);
int ImageList_GetImageCount(HIMAGELIST list);
BOOL ImageList_SetImageCount(HIMAGELIST list, UINT count);
BOOL ImageList_GetIconSize(HIMAGELIST list, int* cx, int* cy);
// Adds the images of a bitmap (its width cut in image widths); the mask is
// monochrome, white where the image is transparent. Index of the first, -1.
int ImageList_Add(HIMAGELIST list, HBITMAP image, HBITMAP mask);
// Pixels of the mask colour become transparent (and black in the image).
int ImageList_AddMasked(HIMAGELIST list, HBITMAP image, COLORREF mask);
// index -1 appends.
int ImageList_ReplaceIcon(HIMAGELIST list, int index, HICON icon);
int ImageList_AddIcon(HIMAGELIST list, HICON icon);
BOOL ImageList_Replace(HIMAGELIST list, int index, HBITMAP image, HBITMAP mask);
// index -1 removes every image.
BOOL ImageList_Remove(HIMAGELIST list, int index);
BOOL ImageList_RemoveAll(HIMAGELIST list);
BOOL ImageList_Draw(HIMAGELIST list, int index, HDC hdc, int x, int y, UINT style);
BOOL ImageList_DrawEx(HIMAGELIST list, int index, HDC hdc, int x, int y, int dx, int dy, COLORREF bk, COLORREF fg,
                      UINT style);
HICON ImageList_GetIcon(HIMAGELIST list, int index, UINT flags);
#define ImageList_ExtractIcon(hi, list, index) ImageList_GetIcon(list, index, 0)
BOOL ImageList_Copy(HIMAGELIST dst, int iDst, HIMAGELIST src, int iSrc, UINT flags);
HIMAGELIST ImageList_Duplicate(HIMAGELIST list);
COLORREF ImageList_SetBkColor(HIMAGELIST list, COLORREF color);
COLORREF ImageList_GetBkColor(HIMAGELIST list);
BOOL ImageList_GetImageInfo(HIMAGELIST list, int index, IMAGEINFO* info);
// A list made of a bitmap resource of the pack (IMAGE_BITMAP), cut in cx wide images.
HIMAGELIST ImageList_LoadImage(HINSTANCE instance, LPCSTR name, int cx, int grow, COLORREF mask, UINT type, UINT flags);
// Dragging: the image follows the mouse over the window locked by DragEnter
// (window coordinates), keeping what is under it.
BOOL ImageList_BeginDrag(HIMAGELIST list, int index, int dxHotspot, int dyHotspot);
BOOL ImageList_DragEnter(HWND lock, int x, int y);
BOOL ImageList_DragMove(int x, int y);
BOOL ImageList_DragLeave(HWND lock);
BOOL ImageList_DragShowNolock(BOOL show);
void ImageList_EndDrag();

class CImageList {
 public:
  HIMAGELIST m_hImageList = nullptr;

  CImageList() = default;
  CImageList(const CImageList&) = delete;
  CImageList& operator=(const CImageList&) = delete;
  virtual ~CImageList() { DeleteImageList(); }

  operator HIMAGELIST() const { return m_hImageList; }
  HIMAGELIST GetSafeHandle() const { return m_hImageList; }
  static CImageList* FromHandle(HIMAGELIST h);
  BOOL Attach(HIMAGELIST h);
  HIMAGELIST Detach();
  BOOL DeleteImageList();

  BOOL Create(int cx, int cy, UINT flags, int initial, int grow) {
    return Attach(ImageList_Create(cx, cy, flags, initial, grow));
  }
  // From a bitmap resource of the current pack, with a mask colour.
  BOOL Create(UINT bitmapId, int cx, int grow, COLORREF mask);
  BOOL Create(LPCSTR bitmapName, int cx, int grow, COLORREF mask);
  BOOL Create(CImageList* other) { return Attach(ImageList_Duplicate(other ? other->m_hImageList : nullptr)); }

  int GetImageCount() const { return ImageList_GetImageCount(m_hImageList); }
  BOOL SetImageCount(UINT count) { return ImageList_SetImageCount(m_hImageList, count); }
  int Add(CBitmap* image, CBitmap* mask) {
    return ImageList_Add(m_hImageList, image ? static_cast<HBITMAP>(image->m_hObject) : nullptr,
                         mask ? static_cast<HBITMAP>(mask->m_hObject) : nullptr);
  }
  int Add(CBitmap* image, COLORREF mask) {
    return ImageList_AddMasked(m_hImageList, image ? static_cast<HBITMAP>(image->m_hObject) : nullptr, mask);
  }
  int Add(HICON icon) { return ImageList_AddIcon(m_hImageList, icon); }
  BOOL Replace(int index, CBitmap* image, CBitmap* mask) {
    return ImageList_Replace(m_hImageList, index, image ? static_cast<HBITMAP>(image->m_hObject) : nullptr,
                             mask ? static_cast<HBITMAP>(mask->m_hObject) : nullptr);
  }
  int Replace(int index, HICON icon) { return ImageList_ReplaceIcon(m_hImageList, index, icon); }
  BOOL Remove(int index) { return ImageList_Remove(m_hImageList, index); }
  BOOL Draw(CDC* dc, int index, POINT pt, UINT style) {
    return ImageList_Draw(m_hImageList, index, dc ? dc->m_hDC : nullptr, pt.x, pt.y, style);
  }
  BOOL DrawEx(CDC* dc, int index, POINT pt, SIZE sz, COLORREF bk, COLORREF fg, UINT style) {
    return ImageList_DrawEx(m_hImageList, index, dc ? dc->m_hDC : nullptr, pt.x, pt.y, sz.cx, sz.cy, bk, fg, style);
  }
  HICON ExtractIcon(int index) { return ImageList_GetIcon(m_hImageList, index, 0); }
  BOOL Copy(int iDst, int iSrc, UINT flags = ILCF_MOVE) {
    return ImageList_Copy(m_hImageList, iDst, m_hImageList, iSrc, flags);
  }
  BOOL Copy(int iDst, CImageList* src, int iSrc, UINT flags = ILCF_MOVE) {
    return ImageList_Copy(m_hImageList, iDst, src ? src->m_hImageList : nullptr, iSrc, flags);
  }
  COLORREF SetBkColor(COLORREF c) { return ImageList_SetBkColor(m_hImageList, c); }
  COLORREF GetBkColor() const { return ImageList_GetBkColor(m_hImageList); }
  BOOL GetImageInfo(int index, IMAGEINFO* info) const { return ImageList_GetImageInfo(m_hImageList, index, info); }

  BOOL BeginDrag(int index, CPoint hotspot) { return ImageList_BeginDrag(m_hImageList, index, hotspot.x, hotspot.y); }
  static BOOL DragEnter(CWnd* lock, CPoint pt);
  static BOOL DragMove(CPoint pt) { return ImageList_DragMove(pt.x, pt.y); }
  static BOOL DragLeave(CWnd* lock);
  static BOOL DragShowNolock(BOOL show) { return ImageList_DragShowNolock(show); }
  static void EndDrag() { ImageList_EndDrag(); }
};
