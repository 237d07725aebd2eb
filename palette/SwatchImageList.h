// CSwatchImageList: small solid colour squares, one image per distinct
// colour, used as row icons by colour lists.
#pragma once

#include <map>
#include <vector>

#include "platform/base.h"

// Image-list flags as the platform image list takes them.
constexpr UINT ILC_COLOR24 = 0x0018;

// The images of a swatch list: a fixed image size, 24-bit colour, each image a
// square of one colour. It stands where the platform image list will go and
// keeps the same index rules (images added at the end, removal shifts the
// later ones down).
class CSwatchImageHolder {
 public:
  bool Create(int cx, int cy, UINT flags, int initial, int grow);
  bool IsCreated() const { return created_; }
  void Destroy();
  // Adds a solid image of `fill` with `mask` as its mask colour; the index,
  // or -1 when the list is not created.
  int AddSolid(COLORREF fill, COLORREF mask);
  bool Remove(int index);
  int GetImageCount() const { return static_cast<int>(images_.size()); }
  SIZE GetImageSize() const { return SIZE{cx_, cy_}; }
  UINT GetFlags() const { return flags_; }
  // The fill colour and mask colour of an image; CLR_NONE out of range.
  COLORREF GetImageColor(int index) const;
  COLORREF GetImageMask(int index) const;
  // The 24-bit pixels of an image, rows from the bottom, blue first, rows
  // padded to 4 bytes (a DIB); empty out of range.
  std::vector<BYTE> GetImageBits(int index) const;

 private:
  struct Image {
    COLORREF fill;
    COLORREF mask;
  };
  bool created_ = false;
  int cx_ = 0;
  int cy_ = 0;
  UINT flags_ = 0;
  std::vector<Image> images_;
};

class CSwatchImageList {
 public:
  explicit CSwatchImageList(SIZE swatchSize);
  CSwatchImageList(int width, int height) : CSwatchImageList(SIZE{width, height}) {}
  ~CSwatchImageList();
  CSwatchImageList(const CSwatchImageList&) = delete;
  CSwatchImageList& operator=(const CSwatchImageList&) = delete;

  // The image index of the colour's swatch, made on first use; -1 for
  // 0xFFFFFFFF and for a swatch that could not be made (remembered).
  int GetImageIndex(COLORREF color);
  void RemoveAll();

  CSwatchImageHolder* GetImageList() { return &images_; }
  const CSwatchImageHolder* GetImageList() const { return &images_; }
  int GetWidth() const { return width_; }
  int GetHeight() const { return height_; }

  // The mask colour every swatch is added with.
  static constexpr COLORREF kMaskColor = 0x010101;

 private:
  int MakeSwatch(COLORREF color);

  CSwatchImageHolder images_;
  int width_;
  int height_;
  std::map<COLORREF, int> indexOf_;
};
