// Image lists over the drawing objects.
#include "platform/gdi/imagelist.h"

#include <algorithm>
#include <map>

#include "platform/base/resource.h"
#include "platform/gdi/internal.h"

namespace qmgdi {

namespace {

struct Image {
  QImage color;               // RGB32, cx x cy
  std::vector<uint8_t> mask;  // 1 = transparent
};

struct ImageList : Object {
  ImageList() : Object(Kind::ImageList) {}
  int cx = 0, cy = 0;
  UINT flags = 0;
  int grow = 4;
  COLORREF bk = CLR_NONE;
  std::vector<Image> images;
  bool Masked() const { return (flags & ILC_MASK) != 0; }
};

std::shared_ptr<ImageList> FindList(HIMAGELIST h) { return Find<ImageList>(h, Kind::ImageList); }

// The images held in a bitmap (cut in image widths) with an optional mask.
bool Split(const ImageList& l, HBITMAP image, HBITMAP mask, std::vector<Image>& out) {
  auto b = FindBitmap(image);
  if (!b) return false;
  const QImage& img = BitmapImage(*b);
  std::shared_ptr<Bitmap> m = mask ? FindBitmap(mask) : nullptr;
  if (mask && !m) return false;
  const int n = img.width() / l.cx;
  if (n < 1 || img.height() < 1) return false;
  for (int i = 0; i < n; ++i) {
    Image im;
    im.color = QImage(l.cx, l.cy, QImage::Format_RGB32);
    im.color.fill(0xFF000000u);
    im.mask.assign(static_cast<size_t>(l.cx) * l.cy, 0);
    for (int y = 0; y < std::min(l.cy, img.height()); ++y) {
      const uint32_t* src = reinterpret_cast<const uint32_t*>(img.constScanLine(y)) + i * l.cx;
      uint32_t* dst = reinterpret_cast<uint32_t*>(im.color.scanLine(y));
      for (int x = 0; x < l.cx; ++x) {
        uint32_t p = src[x] | 0xFF000000u;
        if (b->Mono()) p = (p & 0xFFFFFFu) ? 0xFFFFFFFFu : 0xFF000000u;
        dst[x] = p;
      }
      if (m) {
        const QImage& mi = BitmapImage(*m);
        if (y < mi.height())
          for (int x = 0; x < l.cx && i * l.cx + x < mi.width(); ++x)
            im.mask[static_cast<size_t>(y) * l.cx + x] =
                (reinterpret_cast<const uint32_t*>(mi.constScanLine(y))[i * l.cx + x] & 0xFFFFFFu) != 0;
      }
    }
    if (!l.Masked()) std::fill(im.mask.begin(), im.mask.end(), 0);
    out.push_back(std::move(im));
  }
  return true;
}

struct Drag {
  std::shared_ptr<ImageList> list;  // one image
  QPoint hotspot;
  HWND lock = nullptr;
  bool entered = false, shown = true, drawn = false;
  QPoint pos;
  QImage saved;
  QPoint savedAt;
};
Drag g_drag;

void Blend(uint32_t& p, uint32_t with, int percent) {
  uint32_t out = 0xFF000000u;
  for (int sh = 0; sh <= 16; sh += 8) {
    const unsigned a = (p >> sh) & 0xFF, b = (with >> sh) & 0xFF;
    out |= ((a * (100 - percent) + b * percent + 50) / 100) << sh;
  }
  p = out;
}

BOOL DrawImage(ImageList& l, int index, HDC hdc, int x, int y, int dx, int dy, COLORREF bk, COLORREF fg, UINT style) {
  auto dc = FindDc(hdc);
  if (!dc || index < 0 || index >= static_cast<int>(l.images.size())) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const Image& im = l.images[static_cast<size_t>(index)];
  const int w = dx > 0 ? std::min(dx, l.cx) : l.cx, h = dy > 0 ? std::min(dy, l.cy) : l.cy;
  Target t;
  if (!BeginTarget(*dc, t)) return FALSE;
  const QPoint o = ToDevice(dc->a, x, y);
  const bool transparent = l.Masked() && ((style & ILD_TRANSPARENT) || bk == CLR_NONE);
  const uint32_t bkPixel = bk == CLR_DEFAULT ? ToPixel(l.bk == CLR_NONE ? GetSysColor(COLOR_WINDOW) : l.bk) : ToPixel(bk);
  int blend = 0;
  if (style & ILD_BLEND50) blend = 50;
  else if (style & ILD_BLEND25) blend = 25;
  const uint32_t fgPixel = ToPixel(fg == CLR_DEFAULT || fg == CLR_NONE ? GetSysColor(COLOR_HIGHLIGHT) : fg);
  if (fg == CLR_NONE) blend = 0;
  for (int j = 0; j < h; ++j) {
    const uint32_t* src = reinterpret_cast<const uint32_t*>(im.color.constScanLine(j));
    t.ForSpan(o.y() + j, o.x(), o.x() + w, [&](int yy, int a, int b) {
      uint32_t* row = t.Row(yy);
      for (int xx = a; xx < b; ++xx) {
        const int i = xx - o.x();
        const bool clear = l.Masked() && im.mask[static_cast<size_t>(j) * l.cx + i];
        if (style & ILD_MASK) {
          row[xx] = clear ? 0xFFFFFFFFu : 0xFF000000u;
          continue;
        }
        if (clear) {
          if (!transparent) row[xx] = bkPixel;
          continue;
        }
        uint32_t p = src[i] | 0xFF000000u;
        if (blend) Blend(p, fgPixel, blend);
        row[xx] = p;
      }
    });
  }
  EndTarget(t);
  return TRUE;
}

void RestoreUnderDrag() {
  if (!g_drag.drawn || !g_drag.lock) return;
  HDC hdc = GetWindowDC(g_drag.lock);
  auto dc = FindDc(hdc);
  Target t;
  if (dc && BeginTarget(*dc, t)) {
    for (int y = 0; y < g_drag.saved.height(); ++y)
      t.ForSpan(g_drag.savedAt.y() + y, g_drag.savedAt.x(), g_drag.savedAt.x() + g_drag.saved.width(),
                [&](int yy, int a, int b) {
                  const uint32_t* s = reinterpret_cast<const uint32_t*>(g_drag.saved.constScanLine(y));
                  for (int x = a; x < b; ++x) t.Row(yy)[x] = s[x - g_drag.savedAt.x()];
                });
    EndTarget(t);
  }
  if (hdc) ReleaseDC(g_drag.lock, hdc);
  g_drag.drawn = false;
}

void DrawDragImage() {
  if (!g_drag.list || !g_drag.entered || !g_drag.shown || !g_drag.lock) return;
  HDC hdc = GetWindowDC(g_drag.lock);
  auto dc = FindDc(hdc);
  if (!dc) return;
  const QPoint at = g_drag.pos - g_drag.hotspot;
  Target t;
  if (BeginTarget(*dc, t)) {
    const int w = g_drag.list->cx, h = g_drag.list->cy;
    g_drag.saved = QImage(w, h, QImage::Format_RGB32);
    g_drag.saved.fill(0xFF000000u);
    g_drag.savedAt = at;
    for (int y = 0; y < h; ++y)
      t.ForSpan(at.y() + y, at.x(), at.x() + w, [&](int yy, int a, int b) {
        uint32_t* s = reinterpret_cast<uint32_t*>(g_drag.saved.scanLine(y));
        for (int x = a; x < b; ++x) s[x - at.x()] = t.Row(yy)[x];
      });
    g_drag.drawn = true;
  }
  DrawImage(*g_drag.list, 0, hdc, at.x(), at.y(), 0, 0, CLR_NONE, CLR_NONE, ILD_TRANSPARENT);
  ReleaseDC(g_drag.lock, hdc);
}

}  // namespace

}  // namespace qmgdi

using namespace qmgdi;

HIMAGELIST ImageList_Create(int cx, int cy, UINT flags, int initial, int grow) {
  if (cx <= 0 || cy <= 0 || cx > 4096 || cy > 4096 || initial < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto l = std::make_shared<ImageList>();
  l->cx = cx;
  l->cy = cy;
  l->flags = flags;
  l->grow = std::max(1, grow);
  l->images.reserve(static_cast<size_t>(std::min(initial, 4096)));
  return static_cast<HIMAGELIST>(AddObject(l));
}

BOOL ImageList_Destroy(HIMAGELIST list) {
  if (!FindList(list)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (g_drag.list && list == HandleOf(g_drag.list.get())) ImageList_EndDrag();
  RemoveObject(list);
  return TRUE;
}

int ImageList_GetImageCount(HIMAGELIST list) {
  auto l = FindList(list);
  return l ? static_cast<int>(l->images.size()) : 0;
}

BOOL ImageList_SetImageCount(HIMAGELIST list, UINT count) {
  auto l = FindList(list);
  if (!l || count > 65536) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  Image blank;
  blank.color = QImage(l->cx, l->cy, QImage::Format_RGB32);
  blank.color.fill(0xFF000000u);
  blank.mask.assign(static_cast<size_t>(l->cx) * l->cy, 0);
  l->images.resize(count, blank);
  return TRUE;
}

BOOL ImageList_GetIconSize(HIMAGELIST list, int* cx, int* cy) {
  auto l = FindList(list);
  if (!l) return FALSE;
  if (cx) *cx = l->cx;
  if (cy) *cy = l->cy;
  return TRUE;
}

int ImageList_Add(HIMAGELIST list, HBITMAP image, HBITMAP mask) {
  auto l = FindList(list);
  std::vector<Image> add;
  if (!l || !Split(*l, image, mask, add)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return -1;
  }
  const int first = static_cast<int>(l->images.size());
  for (auto& im : add) l->images.push_back(std::move(im));
  return first;
}

int ImageList_AddMasked(HIMAGELIST list, HBITMAP image, COLORREF mask) {
  auto l = FindList(list);
  std::vector<Image> add;
  if (!l || !Split(*l, image, nullptr, add)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return -1;
  }
  if (l->Masked()) {
    const uint32_t key = ToPixel(mask);
    for (auto& im : add)
      for (int y = 0; y < l->cy; ++y) {
        uint32_t* row = reinterpret_cast<uint32_t*>(im.color.scanLine(y));
        for (int x = 0; x < l->cx; ++x)
          if (row[x] == key) {
            im.mask[static_cast<size_t>(y) * l->cx + x] = 1;
            row[x] = 0xFF000000u;
          }
      }
  }
  const int first = static_cast<int>(l->images.size());
  for (auto& im : add) l->images.push_back(std::move(im));
  return first;
}

int ImageList_ReplaceIcon(HIMAGELIST list, int index, HICON icon) {
  auto l = FindList(list);
  auto ic = FindIcon(icon);
  if (!l || !ic || index < -1 || index >= static_cast<int>(l->images.size())) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return -1;
  }
  // The icon drawn at the list's size on black gives the image; its mask the mask.
  Image im;
  im.color = QImage(l->cx, l->cy, QImage::Format_RGB32);
  im.color.fill(0xFF000000u);
  im.mask.assign(static_cast<size_t>(l->cx) * l->cy, 0);
  Target t;
  t.img = &im.color;
  t.bounds = im.color.rect();
  t.clipRect = t.bounds;
  PaintIcon(t, *ic, t.bounds, DI_NORMAL);
  for (int y = 0; y < l->cy; ++y)
    for (int x = 0; x < l->cx; ++x) {
      const int sx = x * ic->width / l->cx, sy = y * ic->height / l->cy;
      im.mask[static_cast<size_t>(y) * l->cx + x] =
          l->Masked() && ic->andMask[static_cast<size_t>(sy) * ic->width + sx] ? 1 : 0;
    }
  if (index == -1) {
    l->images.push_back(std::move(im));
    return static_cast<int>(l->images.size()) - 1;
  }
  l->images[static_cast<size_t>(index)] = std::move(im);
  return index;
}

int ImageList_AddIcon(HIMAGELIST list, HICON icon) { return ImageList_ReplaceIcon(list, -1, icon); }

BOOL ImageList_Replace(HIMAGELIST list, int index, HBITMAP image, HBITMAP mask) {
  auto l = FindList(list);
  std::vector<Image> add;
  if (!l || index < 0 || index >= static_cast<int>(l->images.size()) || !Split(*l, image, mask, add)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  l->images[static_cast<size_t>(index)] = std::move(add[0]);
  return TRUE;
}

BOOL ImageList_Remove(HIMAGELIST list, int index) {
  auto l = FindList(list);
  if (!l || index < -1 || index >= static_cast<int>(l->images.size())) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (index == -1) l->images.clear();
  else l->images.erase(l->images.begin() + index);
  return TRUE;
}

BOOL ImageList_RemoveAll(HIMAGELIST list) { return ImageList_Remove(list, -1); }

BOOL ImageList_Draw(HIMAGELIST list, int index, HDC hdc, int x, int y, UINT style) {
  auto l = FindList(list);
  if (!l) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return DrawImage(*l, index, hdc, x, y, 0, 0, l->bk, CLR_DEFAULT, style);
}

BOOL ImageList_DrawEx(HIMAGELIST list, int index, HDC hdc, int x, int y, int dx, int dy, COLORREF bk, COLORREF fg,
                      UINT style) {
  auto l = FindList(list);
  if (!l) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return DrawImage(*l, index, hdc, x, y, dx, dy, bk, fg, style);
}

HICON ImageList_GetIcon(HIMAGELIST list, int index, UINT) {
  auto l = FindList(list);
  if (!l || index < 0 || index >= static_cast<int>(l->images.size())) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  const Image& im = l->images[static_cast<size_t>(index)];
  QImage argb(l->cx, l->cy, QImage::Format_ARGB32);
  for (int y = 0; y < l->cy; ++y) {
    const uint32_t* s = reinterpret_cast<const uint32_t*>(im.color.constScanLine(y));
    uint32_t* d = reinterpret_cast<uint32_t*>(argb.scanLine(y));
    for (int x = 0; x < l->cx; ++x)
      d[x] = im.mask[static_cast<size_t>(y) * l->cx + x] ? 0u : (s[x] | 0xFF000000u);
  }
  return CreateIconFromImage(argb, true, QPoint(l->cx / 2, l->cy / 2));
}

BOOL ImageList_Copy(HIMAGELIST dst, int iDst, HIMAGELIST src, int iSrc, UINT flags) {
  auto d = FindList(dst);
  auto s = FindList(src);
  if (!d || !s || iSrc < 0 || iSrc >= static_cast<int>(s->images.size()) || iDst < 0 ||
      iDst >= static_cast<int>(d->images.size()) || d->cx != s->cx || d->cy != s->cy) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (flags & ILCF_SWAP) std::swap(d->images[static_cast<size_t>(iDst)], s->images[static_cast<size_t>(iSrc)]);
  else d->images[static_cast<size_t>(iDst)] = s->images[static_cast<size_t>(iSrc)];
  return TRUE;
}

HIMAGELIST ImageList_Duplicate(HIMAGELIST list) {
  auto l = FindList(list);
  if (!l) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  auto c = std::make_shared<ImageList>(*l);
  c->stock = false;
  return static_cast<HIMAGELIST>(AddObject(c));
}

COLORREF ImageList_SetBkColor(HIMAGELIST list, COLORREF color) {
  auto l = FindList(list);
  if (!l) return CLR_NONE;
  const COLORREF old = l->bk;
  l->bk = color;
  return old;
}

COLORREF ImageList_GetBkColor(HIMAGELIST list) {
  auto l = FindList(list);
  return l ? l->bk : CLR_NONE;
}

BOOL ImageList_GetImageInfo(HIMAGELIST list, int index, IMAGEINFO* info) {
  auto l = FindList(list);
  if (!l || !info || index < 0 || index >= static_cast<int>(l->images.size())) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  *info = IMAGEINFO{};
  info->rcImage = RECT{0, 0, l->cx, l->cy};
  return TRUE;
}

HIMAGELIST ImageList_LoadImage(HINSTANCE instance, LPCSTR name, int cx, int grow, COLORREF mask, UINT type, UINT flags) {
  if (type != IMAGE_BITMAP) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return nullptr;
  }
  HBITMAP bm = static_cast<HBITMAP>(LoadImage(instance, name, IMAGE_BITMAP, 0, 0, flags));
  if (!bm) return nullptr;
  BITMAP info{};
  GetObject(bm, sizeof info, &info);
  if (cx <= 0) cx = info.bmHeight;
  HIMAGELIST l = ImageList_Create(cx, info.bmHeight, ILC_COLOR24 | (mask != CLR_NONE ? ILC_MASK : 0),
                                  std::max(1, info.bmWidth / std::max(1, cx)), grow);
  if (l) {
    const int r = mask != CLR_NONE ? ImageList_AddMasked(l, bm, mask) : ImageList_Add(l, bm, nullptr);
    if (r < 0) {
      ImageList_Destroy(l);
      l = nullptr;
    }
  }
  DeleteObject(bm);
  return l;
}

BOOL ImageList_BeginDrag(HIMAGELIST list, int index, int dxHotspot, int dyHotspot) {
  auto l = FindList(list);
  if (!l || index < 0 || index >= static_cast<int>(l->images.size())) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  ImageList_EndDrag();
  auto one = std::make_shared<ImageList>();
  one->cx = l->cx;
  one->cy = l->cy;
  one->flags = l->flags | ILC_MASK;
  one->images.push_back(l->images[static_cast<size_t>(index)]);
  g_drag.list = one;
  g_drag.hotspot = QPoint(dxHotspot, dyHotspot);
  return TRUE;
}

BOOL ImageList_DragEnter(HWND lock, int x, int y) {
  if (!g_drag.list) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  RestoreUnderDrag();
  g_drag.lock = lock;
  g_drag.entered = true;
  g_drag.pos = QPoint(x, y);
  DrawDragImage();
  return TRUE;
}

BOOL ImageList_DragMove(int x, int y) {
  if (!g_drag.list || !g_drag.entered) return FALSE;
  RestoreUnderDrag();
  g_drag.pos = QPoint(x, y);
  DrawDragImage();
  return TRUE;
}

BOOL ImageList_DragLeave(HWND lock) {
  if (!g_drag.list) return FALSE;
  (void)lock;
  RestoreUnderDrag();
  g_drag.entered = false;
  return TRUE;
}

BOOL ImageList_DragShowNolock(BOOL show) {
  if (!g_drag.list) return FALSE;
  g_drag.shown = show != 0;
  if (show) {
    if (!g_drag.drawn) DrawDragImage();
  } else {
    RestoreUnderDrag();
  }
  return TRUE;
}

void ImageList_EndDrag() {
  RestoreUnderDrag();
  g_drag = Drag();
}

// ---- CImageList ------------------------------------------------------------------

namespace {
std::mutex g_listMu;
std::map<HIMAGELIST, CImageList*> g_lists;
// Wrappers made by FromHandle for lists that no CImageList holds. They do not
// own their lists: at exit they go without destroying them (and without
// looking themselves up in the map being torn down).
struct TempLists : std::map<HIMAGELIST, std::unique_ptr<CImageList>> {
  ~TempLists() {
    for (auto& entry : *this)
      if (entry.second) entry.second->m_hImageList = nullptr;
  }
};
TempLists g_tempLists;
}  // namespace

CImageList* CImageList::FromHandle(HIMAGELIST h) {
  if (!h) return nullptr;
  std::lock_guard<std::mutex> g(g_listMu);
  auto p = g_lists.find(h);
  if (p != g_lists.end()) return p->second;
  auto& t = g_tempLists[h];
  if (!t) {
    t = std::make_unique<CImageList>();
    t->m_hImageList = h;
  }
  return t.get();
}

BOOL CImageList::Attach(HIMAGELIST h) {
  if (!h) return FALSE;
  if (m_hImageList) DeleteImageList();
  m_hImageList = h;
  std::lock_guard<std::mutex> g(g_listMu);
  g_lists[h] = this;
  return TRUE;
}

HIMAGELIST CImageList::Detach() {
  HIMAGELIST h = m_hImageList;
  if (h) {
    std::lock_guard<std::mutex> g(g_listMu);
    auto it = g_lists.find(h);
    if (it != g_lists.end() && it->second == this) g_lists.erase(it);
  }
  m_hImageList = nullptr;
  return h;
}

BOOL CImageList::DeleteImageList() {
  if (!m_hImageList) return FALSE;
  HIMAGELIST h = Detach();
  {
    std::unique_ptr<CImageList> drop;
    std::lock_guard<std::mutex> g(g_listMu);
    auto it = g_tempLists.find(h);
    if (it != g_tempLists.end()) {
      it->second->m_hImageList = nullptr;
      drop = std::move(it->second);
      g_tempLists.erase(it);
    }
  }
  return ImageList_Destroy(h);
}

BOOL CImageList::Create(UINT bitmapId, int cx, int grow, COLORREF mask) {
  return Attach(ImageList_LoadImage(AfxGetResourceHandle(), MAKEINTRESOURCE(bitmapId), cx, grow, mask, IMAGE_BITMAP, 0));
}

BOOL CImageList::Create(LPCSTR bitmapName, int cx, int grow, COLORREF mask) {
  return Attach(ImageList_LoadImage(AfxGetResourceHandle(), bitmapName, cx, grow, mask, IMAGE_BITMAP, 0));
}

namespace {
HWND LockHandle(CWnd* wnd) { return qmgdi::HandleOfCWnd(wnd); }
}  // namespace

BOOL CImageList::DragEnter(CWnd* lock, CPoint pt) { return ImageList_DragEnter(LockHandle(lock), pt.x, pt.y); }
BOOL CImageList::DragLeave(CWnd* lock) { return ImageList_DragLeave(LockHandle(lock)); }
