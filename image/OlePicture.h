// COlePicture: one picture loaded through the platform's picture loader and
// drawn into a rectangle of a device context. On this system the loader is
// the codec layer: the format is found from the content (BMP, JPEG, icon,
// GIF, PNG, TIFF, TGA, PCX, WBMP, and metafiles once the codec layer plays
// them), and the picture is sized as at 96 dots per inch.
#pragma once

#include <functional>

#include "platform/base.h"
#include "platform/gdi.h"

class CBaseImage;

class COlePicture {
 public:
  COlePicture() = default;
  COlePicture(const COlePicture&) = delete;
  COlePicture& operator=(const COlePicture&) = delete;
  ~COlePicture();

  // The RCDATA resource of that id in the language resource library.
  bool LoadFromResource(UINT id);
  bool LoadFromFile(const char* path);
  // Any picture bytes (the stream form of the loader). Every loader first
  // frees the picture held before; false leaves none.
  bool LoadFromMemory(const BYTE* data, size_t size);
  bool IsLoaded() const { return m_loaded; }

  // The size in HIMETRIC units (0.01 mm); (0, 0) without a picture.
  CSize GetHimetricSize() const;
  // The size in device units of the context (the screen when null); (0, 0)
  // without a picture.
  CSize GetSizeInPixels(HDC dc = nullptr) const;
  CSize GetSizeInPixels(CDC* dc) const { return GetSizeInPixels(dc ? dc->GetSafeHdc() : nullptr); }

  // The whole picture stretched into (left, top) - (right, bottom); false
  // when nothing is loaded. bounds is accepted and unused.
  bool Render(HDC dc, int left, int top, int right, int bottom, const RECT* bounds);
  // A part given as fractions of the picture (0, 0, 1, 1 = all of it) into
  // the rectangle, optionally flipped; false when nothing is loaded or x, y
  // or w is negative.
  bool Render(HDC dc, const RECT& rect, double x, double y, double w, double h, bool flipHorizontally,
              bool flipVertically);
  void Free();

 private:
  // Keeps the picture that `load` fills when it succeeds and is valid.
  bool LoadWith(const std::function<bool(CBaseImage&)>& load);

  CBaseImage* m_picture = nullptr;
  bool m_loaded = false;
};
