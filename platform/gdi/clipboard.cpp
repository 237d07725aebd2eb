// The clipboard over QClipboard. Pictures go to the desktop clipboard as
// images and come back as packed 24-bit bottom-up DIBs; texts are converted
// between the interface code page and UTF-8 there.
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <map>

#include "platform/base/codepage.h"
#include "platform/base/memory.h"
#include "platform/gdi/clipboard.h"
#include "platform/gdi/internal.h"

namespace {

struct ClipState {
  bool open = false;
  HWND owner = nullptr;
  // What this process put on the clipboard since it was last emptied.
  QImage image;
  bool hasImage = false;
  QString text;
  bool hasText = false;
  // Blocks and bitmaps handed in or out; the clipboard owns them.
  std::vector<HGLOBAL> blocks;
  std::vector<HBITMAP> bitmaps;
};

ClipState& C() {
  static ClipState* c = new ClipState;
  return *c;
}

void FreeOwned() {
  ClipState& c = C();
  for (HGLOBAL h : c.blocks) GlobalFree(h);
  for (HBITMAP b : c.bitmaps) DeleteObject(b);
  c.blocks.clear();
  c.bitmaps.clear();
}

void Publish() {
  ClipState& c = C();
  auto* md = new QMimeData;
  if (c.hasImage) md->setImageData(c.image);
  if (c.hasText) md->setText(c.text);
  QGuiApplication::clipboard()->setMimeData(md);
}

// A packed DIB (header, table, rows) checked against the block's size.
bool DibToImage(const BYTE* p, size_t size, QImage& out) {
  if (size < sizeof(BITMAPINFOHEADER)) return false;
  std::vector<BYTE> head(p, p + std::min<size_t>(size, 40 + 1024 + 12));
  const BITMAPINFO* bi = reinterpret_cast<const BITMAPINFO*>(head.data());
  const size_t hb = DIBHeaderBytes(bi, DIB_RGB_COLORS);
  if (!hb || hb > size) return false;
  const BITMAPINFOHEADER& h = bi->bmiHeader;
  if (h.biSize < sizeof(BITMAPINFOHEADER)) return false;
  const unsigned long long stride = DibRowStride(h.biWidth, h.biBitCount);
  const unsigned long long rows = h.biHeight < 0 ? -static_cast<long long>(h.biHeight) : h.biHeight;
  if (stride * rows > size - hb) return false;
  HDC mem = CreateCompatibleDC(nullptr);
  HBITMAP bm = CreateBitmap(h.biWidth, static_cast<int>(rows), 1, 32, nullptr);
  bool ok = bm && SetDIBits(mem, bm, 0, static_cast<UINT>(rows), p + hb, bi, DIB_RGB_COLORS) > 0;
  if (ok) ok = GetBitmapImage(bm, &out);
  if (bm) DeleteObject(bm);
  DeleteDC(mem);
  if (ok) out = out.convertToFormat(QImage::Format_RGB32);
  return ok;
}

HGLOBAL ImageToDib(const QImage& src) {
  const QImage img = src.convertToFormat(QImage::Format_RGB32);
  const int w = img.width(), h = img.height();
  if (w <= 0 || h <= 0) return nullptr;
  const size_t stride = static_cast<size_t>(DibRowStride(w, 24));
  HGLOBAL block = GlobalAlloc(GHND, sizeof(BITMAPINFOHEADER) + stride * static_cast<size_t>(h));
  if (!block) return nullptr;
  BYTE* p = static_cast<BYTE*>(GlobalLock(block));
  BITMAPINFOHEADER bih{};
  bih.biSize = sizeof bih;
  bih.biWidth = w;
  bih.biHeight = h;
  bih.biPlanes = 1;
  bih.biBitCount = 24;
  bih.biCompression = BI_RGB;
  bih.biSizeImage = static_cast<DWORD>(stride * static_cast<size_t>(h));
  bih.biXPelsPerMeter = bih.biYPelsPerMeter = 3780;
  std::memcpy(p, &bih, sizeof bih);
  for (int y = 0; y < h; ++y) {
    const uint32_t* row = reinterpret_cast<const uint32_t*>(img.constScanLine(h - 1 - y));
    BYTE* d = p + sizeof bih + stride * static_cast<size_t>(y);
    for (int x = 0; x < w; ++x) {
      d[3 * x] = static_cast<BYTE>(row[x]);
      d[3 * x + 1] = static_cast<BYTE>(row[x] >> 8);
      d[3 * x + 2] = static_cast<BYTE>(row[x] >> 16);
    }
  }
  GlobalUnlock(block);
  return block;
}

}  // namespace

BOOL OpenClipboard(HWND owner) {
  ClipState& c = C();
  if (!qGuiApp) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return FALSE;
  }
  if (c.open) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  c.open = true;
  c.owner = owner;
  return TRUE;
}

BOOL CloseClipboard() {
  ClipState& c = C();
  if (!c.open) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  c.open = false;
  return TRUE;
}

BOOL EmptyClipboard() {
  ClipState& c = C();
  if (!c.open) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  FreeOwned();
  c.hasImage = c.hasText = false;
  c.image = QImage();
  c.text.clear();
  QGuiApplication::clipboard()->clear();
  return TRUE;
}

HANDLE SetClipboardData(UINT format, HANDLE data) {
  ClipState& c = C();
  if (!c.open || !data) {
    SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
  }
  switch (format) {
    case CF_DIB: {
      const BYTE* p = static_cast<const BYTE*>(GlobalLock(data));
      QImage img;
      const bool ok = p && DibToImage(p, GlobalSize(data), img);
      GlobalUnlock(data);
      if (!ok) {
        SetLastError(ERROR_INVALID_DATA);
        return nullptr;
      }
      c.image = img;
      c.hasImage = true;
      c.blocks.push_back(data);
      break;
    }
    case CF_BITMAP: {
      QImage img;
      if (!GetBitmapImage(static_cast<HBITMAP>(data), &img)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
      }
      c.image = img.convertToFormat(QImage::Format_RGB32);
      c.hasImage = true;
      c.bitmaps.push_back(static_cast<HBITMAP>(data));
      break;
    }
    case CF_TEXT: {
      const char* p = static_cast<const char*>(GlobalLock(data));
      const size_t n = p ? strnlen(p, GlobalSize(data)) : 0;
      if (!p) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
      }
      c.text = QString::fromStdString(CodePageToUtf8(std::string_view(p, n), GetAnsiCodePage()));
      GlobalUnlock(data);
      c.hasText = true;
      c.blocks.push_back(data);
      break;
    }
    case CF_UNICODETEXT: {
      const char16_t* p = static_cast<const char16_t*>(GlobalLock(data));
      if (!p) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
      }
      const size_t max = GlobalSize(data) / 2;
      size_t n = 0;
      while (n < max && p[n]) ++n;
      c.text = QString::fromUtf16(p, static_cast<qsizetype>(n));
      GlobalUnlock(data);
      c.hasText = true;
      c.blocks.push_back(data);
      break;
    }
    default: SetLastError(ERROR_NOT_SUPPORTED); return nullptr;
  }
  Publish();
  return data;
}

HANDLE GetClipboardData(UINT format) {
  ClipState& c = C();
  if (!c.open) {
    SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
  }
  const QMimeData* md = QGuiApplication::clipboard()->mimeData();
  switch (format) {
    case CF_DIB:
    case CF_BITMAP: {
      if (!md || !md->hasImage()) break;
      const QImage img = qvariant_cast<QImage>(md->imageData());
      if (img.isNull()) break;
      if (format == CF_BITMAP) {
        const QImage rgb = img.convertToFormat(QImage::Format_RGB32);
        HBITMAP bm = CreateBitmap(rgb.width(), rgb.height(), 1, 32, nullptr);
        if (!bm) return nullptr;
        HDC mem = CreateCompatibleDC(nullptr);
        HGLOBAL dib = ImageToDib(rgb);
        if (dib) {
          const BYTE* p = static_cast<const BYTE*>(GlobalLock(dib));
          SetDIBits(mem, bm, 0, static_cast<UINT>(rgb.height()), p + sizeof(BITMAPINFOHEADER),
                    reinterpret_cast<const BITMAPINFO*>(p), DIB_RGB_COLORS);
          GlobalUnlock(dib);
          GlobalFree(dib);
        }
        DeleteDC(mem);
        c.bitmaps.push_back(bm);
        return bm;
      }
      HGLOBAL block = ImageToDib(img);
      if (!block) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
      }
      c.blocks.push_back(block);
      return block;
    }
    case CF_TEXT: {
      if (!md || !md->hasText()) break;
      const CString t = FromUtf8(md->text().toStdString());
      HGLOBAL block = GlobalAlloc(GHND, static_cast<size_t>(t.GetLength()) + 1);
      if (!block) return nullptr;
      std::memcpy(GlobalLock(block), t.GetString(), static_cast<size_t>(t.GetLength()));
      GlobalUnlock(block);
      c.blocks.push_back(block);
      return block;
    }
    case CF_UNICODETEXT: {
      if (!md || !md->hasText()) break;
      const QString t = md->text();
      HGLOBAL block = GlobalAlloc(GHND, (static_cast<size_t>(t.size()) + 1) * 2);
      if (!block) return nullptr;
      std::memcpy(GlobalLock(block), t.utf16(), static_cast<size_t>(t.size()) * 2);
      GlobalUnlock(block);
      c.blocks.push_back(block);
      return block;
    }
    default: break;
  }
  SetLastError(ERROR_NOT_SUPPORTED);
  return nullptr;
}

BOOL IsClipboardFormatAvailable(UINT format) {
  if (!qGuiApp) return FALSE;
  const QMimeData* md = QGuiApplication::clipboard()->mimeData();
  if (!md) return FALSE;
  switch (format) {
    case CF_DIB:
    case CF_BITMAP: return md->hasImage();
    case CF_TEXT:
    case CF_UNICODETEXT: return md->hasText();
    default: return FALSE;
  }
}

int CountClipboardFormats() {
  int n = 0;
  if (IsClipboardFormatAvailable(CF_DIB)) n += 2;
  if (IsClipboardFormatAvailable(CF_TEXT)) n += 2;
  return n;
}
