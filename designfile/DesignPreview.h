// CDesignPreview: the design file dialog's preview of the selected file. It
// reads the file once and loads its bytes into a design and palette of its
// own, never touching the design being edited: the current container first
// and, when that fails and the file was not reported as corrupt, the older
// container. The picture is passed over; the palette and (for current
// files) the parameter record are kept, and the palette's colours are
// counted.
//
// Unlike opening, previewing reads older files without a checksum trailer.
#pragma once

#include "design/Pattern.h"
#include "designfile/DesignFile.h"
#include "palette/ColorSet.h"

class CDesignPreview {
 public:
  CDesignPreview() = default;

  // Runs LoadCurrentDesignFile, then LoadOlderDesignFile unless the first
  // reported a corrupt file; keeps and returns the result. A file that
  // cannot be read always leaves its reason in `error`.
  bool Load(const CString& path, CString* signature = nullptr, CString* error = nullptr);
  bool IsLoaded() const { return m_loaded; }

  CPattern m_design;
  CColorSet m_palette;
  CDesignParams m_params;     // from a current file; as before otherwise
  bool m_loaded = false;
  int m_paletteOffset = 0;    // where the palette block starts in a current file
  int m_paletteSize = 0;      // the palette block's byte count
};

// The current container into the preview, from the bytes of the file at
// `path`. A file whose trailer does not match is reported once
// (IDS_DESIGN_FILE_CORRUPT, stop icon), `corrupt` is set and nothing is
// read. An unknown signature leaves IDS_WRONG_FILE_VERSION in the error
// text. The embedded picture is checked to be whole and passed over.
// `signatureKnown` tells whether the signature was the current container's.
bool LoadCurrentDesignFile(CDesignPreview& preview, const CDesignFileBytes& fileBytes, const CString& path,
                           CString* signature, CString* error, bool* corrupt = nullptr,
                           bool* signatureKnown = nullptr);
// The older container into a design and palette, from the file's bytes.
bool LoadOlderDesignFile(CPattern& design, CColorSet& palette, const CDesignFileBytes& fileBytes, const CString& path,
                         CString* signature, CString* error);
