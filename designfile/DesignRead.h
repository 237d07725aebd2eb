// Reading a design for the design view: a design file of any version, or
// the first design of a zip archive, read into fresh objects with its
// original picture loaded, so that the view changes only when everything
// was read. A failure gives the one message the user sees.
//
// What the reading needs of the view comes in as parameters: the owner of
// the pictures it loads.
#pragma once

#include <memory>

#include "designfile/DesignFile.h"
#include "platform/base.h"

class IProgress;

class CImageView;
class IImageViewOwner;

// What ReadDesignForView read.
struct CDesignForView {
  CDesignFileContents contents;
  // The original picture, loaded (null for a blank design), and the file it
  // was extracted to (current files), which the caller registers to be
  // deleted at exit.
  std::unique_ptr<CImageView> picture;
  CString picturePath;
  // The design came from a zip archive: it has no file path of its own.
  bool zipped = false;
  // Reading changed the design (older versions): save it at once.
  bool saveNow = false;
};

// Reads a design for the view. A ".zip" path with a design entry reads
// that entry (unpacked beside the archive and removed again whatever the
// outcome); any other path, and an archive without one, is read itself.
// Returns kDesignOpenOk, kDesignOpenCorrupt or kDesignOpenFailed; on
// failure `message` is the one text to show (stop icon), naming `path`,
// and nothing is left on disk. `owner` becomes the owner of the pictures;
// `progress` (may be null) shows the original picture loading.
int ReadDesignForView(const CString& path, CDesignForView& out, CString& message, IImageViewOwner* owner,
                      IProgress* progress = nullptr);
