// The design view's entry for the new-design wizard: a picture that the
// wizard has already decoded (while building the design from its file)
// becomes the original picture without being read a second time.
#include <memory>

#include "image/Image.h"
#include "image/ImageView.h"
#include "view/TabView.h"

bool CTabView::TakeOriginalImage(std::unique_ptr<CImage> picture, const CString& path) {
  if (!picture || !picture->IsValid() || picture->GetWidth() <= 0 || picture->GetHeight() <= 0) return false;
  auto view = std::make_unique<CImageView>(&m_imageOwner);
  static_cast<CImage&>(*view) = *picture;
  if (!view->IsValid() || view->GetWidth() != picture->GetWidth() || view->GetHeight() != picture->GetHeight())
    return false;
  view->SetType(picture->GetType());
  view->SetFileName(picture->GetFileName().IsEmpty() ? path.GetString() : picture->GetFileName().GetString());
  picture.reset();
  view->SetFitToWindow(true, false);
  SetOriginalView(view.release(), path);
  return true;
}
