#include "palette/SwatchImageList.h"

bool CSwatchImageHolder::Create(int cx, int cy, UINT flags, int initial, int grow) {
  if (cx <= 0 || cy <= 0) return false;
  cx_ = cx;
  cy_ = cy;
  flags_ = flags;
  images_.clear();
  if (initial > 0) images_.reserve(static_cast<size_t>(initial));
  created_ = true;
  return true;
}

void CSwatchImageHolder::Destroy() {
  images_.clear();
  created_ = false;
}

int CSwatchImageHolder::AddSolid(COLORREF fill, COLORREF mask) {
  if (!created_) return -1;
  images_.push_back(Image{fill & 0xFFFFFFu, mask});
  return static_cast<int>(images_.size()) - 1;
}

bool CSwatchImageHolder::Remove(int index) {
  if (index < 0 || index >= GetImageCount()) return false;
  images_.erase(images_.begin() + index);
  return true;
}

COLORREF CSwatchImageHolder::GetImageColor(int index) const {
  if (index < 0 || index >= GetImageCount()) return CLR_NONE;
  return images_[static_cast<size_t>(index)].fill;
}

COLORREF CSwatchImageHolder::GetImageMask(int index) const {
  if (index < 0 || index >= GetImageCount()) return CLR_NONE;
  return images_[static_cast<size_t>(index)].mask;
}

std::vector<BYTE> CSwatchImageHolder::GetImageBits(int index) const {
  std::vector<BYTE> bits;
  if (index < 0 || index >= GetImageCount()) return bits;
  const COLORREF c = images_[static_cast<size_t>(index)].fill;
  const int stride = (cx_ * 3 + 3) & ~3;
  bits.assign(static_cast<size_t>(stride) * static_cast<size_t>(cy_), 0);
  for (int y = 0; y < cy_; ++y) {
    BYTE* row = bits.data() + static_cast<size_t>(y) * static_cast<size_t>(stride);
    for (int x = 0; x < cx_; ++x) {
      row[x * 3 + 0] = GetBValue(c);
      row[x * 3 + 1] = GetGValue(c);
      row[x * 3 + 2] = GetRValue(c);
    }
  }
  return bits;
}

CSwatchImageList::CSwatchImageList(SIZE swatchSize) : width_(swatchSize.cx), height_(swatchSize.cy) {
  images_.Create(width_, height_, ILC_COLOR24, 64, 64);
}

CSwatchImageList::~CSwatchImageList() {
  indexOf_.clear();
  images_.Destroy();
}

int CSwatchImageList::MakeSwatch(COLORREF color) {
  if (color == 0xFFFFFFFFu) return -1;
  if (!images_.IsCreated()) return -1;
  return images_.AddSolid(color, kMaskColor);
}

int CSwatchImageList::GetImageIndex(COLORREF color) {
  const auto it = indexOf_.find(color);
  if (it != indexOf_.end()) return it->second;
  const int index = MakeSwatch(color);
  indexOf_.emplace(color, index);
  return index;
}

void CSwatchImageList::RemoveAll() {
  indexOf_.clear();
  for (int i = images_.GetImageCount() - 1; i >= 0; --i) images_.Remove(i);
}
