// CPrevDesign: the read-only reader of design files written by earlier
// releases and by the maker's earlier design products (21 signatures,
// versions 0 to 16). Versions 0 to 4 hold a bead section of the current
// shape, versions 5 to 16 the whole design packed into one blob; then come
// the row formats, the earlier properties and the PDF options (versions up
// to 15), the picture as a picture block and the palette in its older
// embedded layout. There is no path field and no parameter record.
#pragma once

#include <memory>

#include "design/Pattern.h"
#include "designfile/DesignFileStream.h"

class CColorSet;
class CImage;
class CImageView;
class IImageViewOwner;

// The version (0..16) a signature gives in this reader, -1 when unknown.
int GetOlderContainerVersion(const BYTE* signature);

class CPrevDesign {
 public:
  static constexpr int kModeWrite = 0;
  static constexpr int kModeRead = 1;

  CPrevDesign(int mode, const CString& path);
  // Reading a file already in memory; the bytes must outlive the reader.
  explicit CPrevDesign(const CDesignFileBytes& bytes);
  virtual ~CPrevDesign();
  CPrevDesign(const CPrevDesign&) = delete;
  CPrevDesign& operator=(const CPrevDesign&) = delete;

  // Opens the file and reads the signature (write mode: false at once). An
  // unknown signature puts IDS_WRONG_FILE_VERSION into the error text.
  bool Open(CString* error = nullptr);
  // The design body by version; the parts a version lacks take their
  // defaults (the row formats of a design blob are kept).
  bool ReadBody(const CString& path, CPattern& design);
  // Passes over a size-prefixed block (the picture, for the preview).
  bool SkipBlob();
  // The picture block: a u32 size and the block. False, and no picture,
  // when the bytes cannot be read or the picture does not decode.
  bool ReadPicture(std::unique_ptr<CImageView>& view, IImageViewOwner* owner);
  // The palette in its older embedded layout; true when the palette then
  // holds at least one colour.
  bool ReadColorSet(int version, CColorSet& palette);

  void GetSignatureText(CString& out) const { out = signature_; }
  int GetVersion() const { return version_; }

 private:
  bool ReadSizedBlock(std::vector<BYTE>& out);

  int version_ = 0;
  int mode_;
  CString path_;
  const CDesignFileBytes* bytes_ = nullptr;  // reading from memory
  CDesignFileStream file_;
  CString signature_;
};
