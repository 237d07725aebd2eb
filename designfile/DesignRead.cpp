#include "designfile/DesignRead.h"

#include "core/FileUtils.h"
#include "core/FrameServices.h"
#include "designfile/DesignSections.h"
#include "designfile/ZippedDesign.h"
#include "image/ImageView.h"
#include "lang/ids/designfile.h"

int ReadDesignForView(const CString& path, CDesignForView& out, CString& message, IImageViewOwner* owner,
                      IProgress* progress) {
  message.Empty();
  CString unpacked;
  out.zipped = OpenZippedDesign(path, unpacked);
  const CString readPath = out.zipped ? unpacked : path;
  CString reason;
  int result = OpenDesignFile(readPath, out.contents, reason, owner);
  if (out.zipped) {
    RemoveFile(unpacked);
    out.contents.design->ClearFilePath();
  }
  if (result == kDesignOpenOk) {
    // The original picture: extracted from a current file, or read from an
    // older one.
    if (!out.contents.picturePath.IsEmpty()) {
      CWaitCursor wait;
      bool loaded = false;
      auto view = std::make_unique<CImageView>(owner, out.contents.picturePath.GetString(), loaded, -1, progress);
      if (loaded && view->IsValid()) {
        view->SetFitToWindow(true, false);
        out.picture = std::move(view);
        out.picturePath = out.contents.picturePath;
      } else {
        RemoveFile(out.contents.picturePath);
        result = kDesignOpenFailed;
        reason = LoadDesignFileString(IDS_ORIGINAL_IMAGE_LOAD_ERROR, "Original image loading error");
      }
    } else if (out.contents.picture) {
      out.picture = std::move(out.contents.picture);
      out.picture->SetFitToWindow(true, false);
    }
  }
  if (result != kDesignOpenOk) {
    message = FormatDesignOpenFailure(result, path, reason);
    out.picture.reset();
    out.picturePath.Empty();
    return result;
  }
  out.saveNow = out.contents.design->IsModified();
  return result;
}
