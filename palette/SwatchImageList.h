// CSwatchImageList: small solid colour squares, one image per distinct
// colour, used as row icons by colour lists (a list view takes the image
// list as its small-icon list).
#pragma once

#include <map>

#include "platform/base.h"
#include "platform/gdi/imagelist.h"

class CSwatchImageList {
 public:
  explicit CSwatchImageList(SIZE swatchSize);
  CSwatchImageList(int width, int height) : CSwatchImageList(SIZE{width, height}) {}
  ~CSwatchImageList();
  CSwatchImageList(const CSwatchImageList&) = delete;
  CSwatchImageList& operator=(const CSwatchImageList&) = delete;

  // The image index of the colour's swatch, made on first use; -1 for
  // 0xFFFFFFFF and for a swatch that could not be made (remembered, so no
  // second attempt is made).
  int GetImageIndex(COLORREF color);
  void RemoveAll();

  CImageList* GetImageList() { return &images_; }
  HIMAGELIST GetSafeHandle() const { return images_.GetSafeHandle(); }
  int GetWidth() const { return width_; }
  int GetHeight() const { return height_; }

  // The mask colour every swatch is added with.
  static constexpr COLORREF kMaskColor = 0x010101;

 private:
  int MakeSwatch(COLORREF color);

  CImageList images_;
  int width_;
  int height_;
  std::map<COLORREF, int> indexOf_;
};
