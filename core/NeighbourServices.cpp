// The hooks through which the design view and the dialogs serve the lower
// levels.
#include "core/DialogServices.h"
#include "core/FileUtils.h"
#include "core/Registry.h"
#include "core/TextUtils.h"
#include "core/ViewServices.h"

namespace {
OlePictureFactory& PictureFactory() {
  static OlePictureFactory factory;
  return factory;
}
SelectColumnsDialog& ColumnsDialog() {
  static SelectColumnsDialog dialog;
  return dialog;
}
}  // namespace

void SetOlePictureFactory(OlePictureFactory factory) { PictureFactory() = std::move(factory); }

std::unique_ptr<IOlePicture> CreateOlePicture() {
  if (!PictureFactory()) return nullptr;
  return PictureFactory()();
}

void SetSelectColumnsDialog(SelectColumnsDialog dialog) { ColumnsDialog() = std::move(dialog); }

bool RunSelectColumnsDialog(CColumnLayout& columns, CColumnListOptions& options, CWnd* parent) {
  if (!ColumnsDialog()) return false;
  return ColumnsDialog()(columns, options, parent);
}

void GetBuildDateText(CString& out) {
  out = __DATE__;
  out.Replace("  ", " ");  // the compiler pads single-digit days
  if (IsRussianInterface()) LocalizeBuildDate(out);
}

namespace {
PatternThumbnailRenderer& ThumbnailRenderer() {
  static PatternThumbnailRenderer renderer;
  return renderer;
}
}  // namespace

void SetPatternThumbnailRenderer(PatternThumbnailRenderer renderer) { ThumbnailRenderer() = std::move(renderer); }

bool RenderPatternThumbnail(CDC* dc, CPattern& design, CColorSet& palette, SIZE size, int startFactor, CBitmap& out,
                            COLORREF background) {
  if (!ThumbnailRenderer()) return false;
  return ThumbnailRenderer()(dc, design, palette, size, startFactor, out, background);
}
