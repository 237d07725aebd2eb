#include "designfile/PrevDesign.h"

#include <climits>
#include <cstring>

#include "core/ByteStream.h"
#include "designfile/DesignFile.h"
#include "designfile/DesignSections.h"
#include "image/ImageView.h"
#include "palette/ColorSet.h"

namespace {

struct COlderSignature {
  const char* text;
  int version;
};

constexpr COlderSignature kOlderSignatures[] = {
    {"Trn 5.5.1,14Aug16, (C) Corvandelle", 16}, {"Sorrelkintashe 5.3.1  28 Nov  2014", 15},
    {"Sorrelkintashe 5.1.31 24 Jun  2014", 14}, {"Tamblewickery 5.1.00  10 Jun  2014", 13},
    {"Tamblewickery 5.0.00  18 Aug  2013", 12}, {"Tamblewickery 5.0.00  30 Jule 2013", 11},
    {"Tamblewickery 5.0.00  22 Jule 2013", 10}, {"Tamblewickery 5.0.00 ::30 Dec 2012", 9},
    {"Harrowmistlanes 3.3.00 25 Sep 2012", 8},  {"Harrowmistlanes 3.3.00 21 Aug 2012", 7},
    {"Harrowmistlanes 3.1.00 26 Jul 2012", 6},  {"Harrowmistlanery:      26 May 2012", 5},
    {"Quillmerewise freeware 26 Jan 2017", 4},  {"Crandlewhirry:         20 May 2012", 4},
    {"Crandlewhirry:         12 Feb 2012", 4},  {"FaldrenwickPro Design: 21 Jan 2010", 4},
    {"FaldrenwickPro Design: 26 Jul 2011", 4},  {"FaldrenwickPro Design: 12 Jan 2010", 3},
    {"FaldrenwickPro Design: 12 Nov 2007", 2},  {"FaldrenwickPro Design 1 March 2006", 1},
    {"FaldrenwickPro Design 23 June 2004", 0},
};

constexpr bool AllOlderSignaturesHaveTheirLength() {
  for (const COlderSignature& s : kOlderSignatures) {
    int n = 0;
    while (s.text[n]) ++n;
    if (n != kSignatureLength) return false;
  }
  return true;
}
static_assert(AllOlderSignaturesHaveTheirLength());

}  // namespace

int GetOlderContainerVersion(const BYTE* signature) {
  for (const COlderSignature& s : kOlderSignatures)
    if (std::memcmp(signature, s.text, kSignatureLength) == 0) return s.version;
  return -1;
}

CPrevDesign::CPrevDesign(int mode, const CString& path) : mode_(mode), path_(path) {}

CPrevDesign::CPrevDesign(const CDesignFileBytes& bytes) : mode_(kModeRead), bytes_(&bytes) {}

CPrevDesign::~CPrevDesign() = default;

bool CPrevDesign::Open(CString* error) {
  if (error) error->Empty();
  if (mode_ != kModeRead) return false;
  const bool opened = bytes_ != nullptr ? file_.OpenBytes(bytes_->Get()) : file_.OpenRead(path_);
  return opened && ReadDesignFileSignature(file_, GetOlderContainerVersion, version_, signature_, error);
}

bool CPrevDesign::ReadBody(const CString& path, CPattern& design) {
  if (mode_ != kModeRead || !file_.IsOpen()) return false;
  bool ok;
  if (version_ <= 4) {
    ok = ReadBeadSection(file_, design, path, kBeadRecordCurrent, true, true);
    if (ok) design.ResetOptionalSections();
  } else {
    ok = ReadDesignBlob(file_, design, path, version_, true);
    if (ok) {
      // The blob's row formats stay.
      CRowFormatArray runs;
      runs.swap(design.m_rowFormats);
      design.ResetOptionalSections();
      design.m_rowFormats.swap(runs);
    }
  }
  if (ok && version_ < 16) {
    if (version_ >= 1) ok = ReadRowFormats(file_, design);
    if (ok && version_ >= 2) ok = ReadOldProperties(file_, design) && ReadPdfOptions(file_, design);
  }
  return ok;
}

bool CPrevDesign::ReadSizedBlock(std::vector<BYTE>& out) {
  DWORD size = 0;
  out.clear();
  if (mode_ != kModeRead || !file_.ReadU32(size) || size > static_cast<DWORD>(INT_MAX) || !file_.Fits(size))
    return false;
  out.resize(size);
  return size == 0 || file_.Read(out.data(), size);
}

bool CPrevDesign::SkipBlob() {
  DWORD size = 0;
  return mode_ == kModeRead && file_.ReadU32(size) && file_.Skip(size);
}

bool CPrevDesign::ReadPicture(std::unique_ptr<CImageView>& view, IImageViewOwner* owner) {
  view.reset();
  std::vector<BYTE> bytes;
  if (!ReadSizedBlock(bytes)) return false;
  CByteStream stream(bytes.data(), static_cast<int>(bytes.size()));
  bool ok = false;
  auto picture = std::make_unique<CImageView>(owner, stream, ok);
  if (!ok) return false;
  view = std::move(picture);
  return true;
}

bool CPrevDesign::ReadColorSet(int version, CColorSet& palette) {
  std::vector<BYTE> bytes;
  if (!ReadSizedBlock(bytes)) return false;
  CByteStream stream(bytes.data(), static_cast<int>(bytes.size()));
  palette.ReadFromDesign(stream, false);
  // Whatever the reader answered, a palette with colours is taken.
  return palette.GetCount() > 0;
}
