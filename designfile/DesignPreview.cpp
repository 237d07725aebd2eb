#include "designfile/DesignPreview.h"

#include <climits>

#include "core/FrameServices.h"
#include "designfile/DesignSections.h"
#include "designfile/PrevDesign.h"
#include "lang/ids/designfile.h"

bool LoadCurrentDesignFile(CDesignPreview& preview, const CDesignFileBytes& fileBytes, const CString& path,
                           CString* signature, CString* error, bool* corrupt, bool* signatureKnown) {
  if (corrupt) *corrupt = false;
  if (signatureKnown) *signatureKnown = false;
  if (VerifyDesignChecksum(kDesignChecksumMarker, fileBytes) == 1) {
    if (corrupt) *corrupt = true;
    AppMessageBoxId(IDS_DESIGN_FILE_CORRUPT, kMbIconStop);
    return false;
  }
  CPrevDesignFree reader(fileBytes);
  CString text;
  if (!reader.Open(&text)) {
    if (error) *error = text;
    return false;
  }
  if (signatureKnown) *signatureKnown = true;
  if (!reader.PatternBody(preview.m_design, path)) return false;
  if (!preview.m_design.m_blank) {
    // The picture is not needed: its block must be whole, and is passed.
    CString stored;
    if (!reader.PathField(stored) || !reader.SkipBlob()) return false;
  }
  CString palettePath;
  unsigned long long offset = 0;
  if (!reader.PathField(palettePath)) return false;
  preview.m_paletteOffset = reader.GetOffset(offset) && offset <= static_cast<unsigned long long>(INT_MAX)
                                ? static_cast<int>(offset)
                                : 0;
  std::vector<BYTE> bytes;
  if (!reader.ReadBlob(bytes)) return false;
  preview.m_paletteSize = static_cast<int>(bytes.size());
  if (!preview.m_palette.LoadPaletteFromBytes(bytes.data(), bytes.size())) return false;
  if (!reader.ReadDesignParams(preview.m_params)) return false;
  if (signature) reader.GetSignatureText(*signature);
  preview.m_palette.CountUsageQuick(preview.m_design);
  return true;
}

bool LoadOlderDesignFile(CPattern& design, CColorSet& palette, const CDesignFileBytes& fileBytes, const CString& path,
                         CString* signature, CString* error) {
  CPrevDesign reader(fileBytes);
  CString text;
  if (!reader.Open(&text)) {
    if (error) *error = text;
    return false;
  }
  if (!reader.ReadBody(path, design)) return false;
  if (!design.m_blank && !reader.SkipBlob()) return false;
  if (!reader.ReadColorSet(reader.GetVersion(), palette)) return false;
  palette.CountUsageQuick(design);
  if (signature) reader.GetSignatureText(*signature);
  return true;
}

bool CDesignPreview::Load(const CString& path, CString* signature, CString* error) {
  if (error) error->Empty();
  bool corrupt = false, known = false;
  CString currentError, olderError;
  // The file is read once; both containers read its bytes.
  CDesignFileBytes fileBytes;
  const bool read = fileBytes.Read(path);
  m_loaded = read && LoadCurrentDesignFile(*this, fileBytes, path, signature, &currentError, &corrupt, &known);
  if (!m_loaded && read && !corrupt)
    m_loaded = LoadOlderDesignFile(m_design, m_palette, fileBytes, path, signature, &olderError);
  if (!m_loaded && error) {
    // The reason of the reader the file belongs to: a design whose signature
    // a reader knew is damaged; else why the readers refused it.
    if (corrupt)
      *error = LoadDesignFileString(IDS_DESIGN_FILE_CORRUPT, "The design file is corrupt.\nInvalid check sum has been found.");
    else if (known || olderError.IsEmpty())
      *error = DesignReadFailureText(true);
    else
      *error = olderError;
  }
  return m_loaded;
}
