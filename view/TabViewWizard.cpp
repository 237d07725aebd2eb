// The design view's entry for the new-design wizard: a picture that the
// wizard has already decoded (while building the design from its file)
// becomes the original picture without being read a second time.
#include <cstring>
#include <memory>

#include "image/Image.h"
#include "image/ImageView.h"
#include "view/TabView.h"

namespace {

// The pixels of a 24-bit picture into the view's picture, row by row (the
// copy through single pixels would take longer than decoding the file).
bool CopyPicture(const CImage& from, CImageView& to) {
  const int width = from.GetWidth(), height = from.GetHeight();
  if (from.GetBitsPerPixel() == 24 && from.GetBits() && to.CreateBlankInPlace(width, height, 0xFFFFFFFFu) &&
      to.GetBitsPerPixel() == 24 && to.GetBits()) {
    const int fromStride = from.GetRowStride(), toStride = to.GetRowStride();
    const size_t row = static_cast<size_t>(width) * 3;
    if (fromStride >= static_cast<int>(row) && toStride >= static_cast<int>(row)) {
      const BYTE* source = from.GetBits();
      BYTE* target = to.GetBits();
      for (int y = 0; y < height; ++y)
        std::memcpy(target + static_cast<size_t>(y) * toStride, source + static_cast<size_t>(y) * fromStride, row);
      return true;
    }
  }
  static_cast<CImage&>(to) = from;
  return to.IsValid() && to.GetWidth() == width && to.GetHeight() == height;
}

}  // namespace

bool CTabView::TakeOriginalImage(std::unique_ptr<CImage> picture, const CString& path) {
  if (!picture || !picture->IsValid() || picture->GetWidth() <= 0 || picture->GetHeight() <= 0) return false;
  auto view = std::make_unique<CImageView>(&m_imageOwner);
  if (!CopyPicture(*picture, *view)) return false;
  view->SetType(picture->GetType());
  view->SetFileName(picture->GetFileName().IsEmpty() ? path.GetString() : picture->GetFileName().GetString());
  picture.reset();
  view->SetFitToWindow(true, false);
  SetOriginalView(view.release(), path);
  return true;
}
