#include "designfile/DesignFile.h"

#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "design/StitchPath.h"
#include "core/ByteStream.h"
#include "core/FileUtils.h"
#include "core/FrameServices.h"
#include "core/PathUtils.h"
#include "designfile/DesignSections.h"
#include "designfile/PrevDesign.h"
#include "lang/ids/newcomer.h"
#include "image/Image.h"
#include "image/ImageView.h"
#include "lang/ids/designfile.h"
#include "palette/ColorSet.h"

namespace {

struct CSignature {
  const char* text;
  int version;
};

constexpr bool HasSignatureLength(const char* s) {
  int n = 0;
  while (s[n]) ++n;
  return n == kSignatureLength;
}

constexpr CSignature kCurrentSignatures[] = {
    {"Quillmerewise freeware 26 Jan 2017", 4}, {"Crandlewhirry:         12 Feb 2012", 4},
    {"FaldrenwickPro Design: 21 Jan 2010", 4}, {"FaldrenwickPro Design: 26 Jul 2011", 4},
    {"FaldrenwickPro Design: 12 Jan 2010", 3}, {"FaldrenwickPro Design: 12 Nov 2007", 2},
    {"FaldrenwickPro Design 1 March 2006", 1}, {"FaldrenwickPro Design 23 June 2004", 0},
};

constexpr bool AllSignaturesHaveTheirLength() {
  for (const CSignature& s : kCurrentSignatures)
    if (!HasSignatureLength(s.text)) return false;
  return HasSignatureLength(kCurrentDesignSignature);
}
static_assert(AllSignaturesHaveTheirLength());

constexpr int kMarkerLength = 32;
static_assert(kMarkerLength + 4 == kDesignTrailerLength);
constexpr DWORD kChunk = 16384;

float FloatFromBits(DWORD bits) {
  float f;
  std::memcpy(&f, &bits, 4);
  return f;
}

unsigned long long FileSize(HANDLE file) {
  DWORD high = 0;
  const DWORD low = GetFileSize(file, &high);
  return (static_cast<unsigned long long>(high) << 32) | low;
}

bool SeekTo(HANDLE file, unsigned long long offset) {
  LONG high = static_cast<LONG>(offset >> 32);
  SetLastError(0);
  const DWORD r = SetFilePointer(file, static_cast<LONG>(offset & 0xFFFFFFFFu), &high, FILE_BEGIN);
  return !(r == INVALID_SET_FILE_POINTER && GetLastError() != 0);
}

// CRC-32 of the first `length` bytes of an open file, in chunks.
bool CrcOfFile(HANDLE file, unsigned long long length, DWORD& crc) {
  crc = static_cast<DWORD>(crc32(0L, Z_NULL, 0));
  if (!SeekTo(file, 0)) return false;
  std::vector<BYTE> chunk(kChunk);
  while (length > 0) {
    const DWORD n = length < kChunk ? static_cast<DWORD>(length) : kChunk;
    DWORD done = 0;
    if (!ReadFile(file, chunk.data(), n, &done, nullptr) || done != n) return false;
    crc = static_cast<DWORD>(crc32(crc, chunk.data(), n));
    length -= n;
  }
  return true;
}

// A file name for a picture extracted from a design file: the stored
// path's name and extension; a name that is empty or a folder reference
// becomes "Original".
CString PictureNameFromStoredPath(const CString& stored) {
  CString name, extension;
  SplitPath(GetPathFileName(stored), nullptr, nullptr, &name, &extension);
  if (name.IsEmpty() || name == "." || name == "..") name = "Original";
  for (int i = 0; i < extension.GetLength(); ++i)
    if (extension[i] == '/' || extension[i] == '\\') return name;
  return name + extension;
}

}  // namespace

// ---- Signatures and the parameter record ----------------------------------------------

int GetCurrentContainerVersion(const BYTE* signature) {
  for (const CSignature& s : kCurrentSignatures)
    if (std::memcmp(signature, s.text, kSignatureLength) == 0) return s.version;
  return -1;
}

CString DesignReadFailureText(bool signatureKnown) {
  return signatureKnown
             ? LoadDesignFileString(IDS_DESIGN_FILE_DAMAGED, "The design in this file is damaged or cut short.")
             : LoadDesignFileString(IDS_DESIGN_FILE_TOO_SHORT, "The file is empty or too short to hold a design.");
}

CString FormatWrongVersionText(const BYTE* signature) {
  // The signature up to its first NUL: printable characters as they are,
  // any other byte as \xNN, so that a picture or a text renamed to a design
  // never puts raw bytes into a message.
  std::string shown;
  for (int i = 0; i < kSignatureLength && signature[i] != 0; ++i) {
    const BYTE b = signature[i];
    if (b >= 0x20 && b < 0x7F) {
      shown += static_cast<char>(b);
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", b);
      shown += escaped;
    }
  }
  CString text;
  text.Format(LoadDesignFileString(IDS_WRONG_FILE_VERSION, "Wrong file version\n<%s>").GetString(), shown.c_str());
  return text;
}

bool ReadDesignFileSignature(CDesignFileStream& file, int (*versionOf)(const BYTE*), int& version,
                             CString& signature, CString* error) {
  BYTE bytes[kSignatureLength];
  if (!file.Read(bytes, kSignatureLength)) {
    if (error) *error = DesignReadFailureText(false);
    return false;
  }
  const int found = versionOf(bytes);
  if (found < 0) {
    if (error) *error = FormatWrongVersionText(bytes);
    return false;
  }
  version = found;
  signature = CString(reinterpret_cast<const char*>(bytes), kSignatureLength);
  return true;
}

CDesignParams::CDesignParams() : unusedFloats{FloatFromBits(0x3D4CCCCDu), FloatFromBits(0x3D888A48u)} {}

CDesignParams CDesignParams::ForWriting() {
  CDesignParams params;
  for (int i = 0; i < 10; ++i)
    if (kValueOffsets[i] == 21 || kValueOffsets[i] == 33 || kValueOffsets[i] == 37) params.unusedValues[i] = 0;
  return params;
}

void CDesignParams::ToBytes(BYTE (&b)[kDesignParamsSize]) const {
  for (int i = 0; i < 10; ++i) std::memcpy(b + kValueOffsets[i], &unusedValues[i], 4);
  b[kByteOffset] = unusedByte;
  for (int i = 0; i < 2; ++i) std::memcpy(b + kFloatOffsets[i], &unusedFloats[i], 4);
}

void CDesignParams::FromBytes(const BYTE* b) {
  for (int i = 0; i < 10; ++i) std::memcpy(&unusedValues[i], b + kValueOffsets[i], 4);
  unusedByte = b[kByteOffset];
  for (int i = 0; i < 2; ++i) std::memcpy(&unusedFloats[i], b + kFloatOffsets[i], 4);
}

bool operator==(const CDesignParams& a, const CDesignParams& b) {
  BYTE x[kDesignParamsSize], y[kDesignParamsSize];
  a.ToBytes(x);
  b.ToBytes(y);
  return std::memcmp(x, y, kDesignParamsSize) == 0;
}

// ---- CPrevDesignFree ----------------------------------------------------------------------

CPrevDesignFree::CPrevDesignFree(int mode, const CString& path) : mode_(mode), path_(path) {}

CPrevDesignFree::CPrevDesignFree(const CDesignFileBytes& bytes) : mode_(kModeRead), bytes_(&bytes) {}

CPrevDesignFree::~CPrevDesignFree() = default;

bool CPrevDesignFree::Open(CString* error) {
  if (error) error->Empty();
  if (mode_ == kModeWrite) {
    if (FileExists(path_) && !RemoveFile(path_)) return false;
    return file_.OpenWrite(path_) && file_.Write(kCurrentDesignSignature, kSignatureLength);
  }
  const bool opened = bytes_ != nullptr ? file_.OpenBytes(bytes_->Get()) : file_.OpenRead(path_);
  return opened && ReadDesignFileSignature(file_, GetCurrentContainerVersion, version_, signature_, error);
}

bool CPrevDesignFree::PatternBody(CPattern& design, const CString& path) {
  if (!file_.IsOpen()) return false;
  if (mode_ == kModeWrite)
    return WriteBeadSection(file_, design) && WriteRowFormats(file_, design) && WriteProperties(file_, design) &&
           WritePdfOptions(file_, design);
  bool ok = ReadBeadSection(file_, design, path, recordForm_, true);
  if (!ok) return false;
  design.ResetOptionalSections();
  if (version_ >= 1) ok = ReadRowFormats(file_, design);
  if (ok && version_ >= 2) ok = ReadProperties(file_, design) && ReadPdfOptions(file_, design);
  if (ok && design.m_stitchPath != 0) {
    // The path marks are not stored: putting them back is no change to the
    // design as read.
    const BYTE modified = design.m_modified;
    ApplyStitchPath(design, design.m_stitchPath, design.m_pathColor);
    design.m_modified = modified;
  }
  return ok;
}

bool CPrevDesignFree::PathField(CString& path) {
  char field[kPathFieldSize] = {};
  if (mode_ == kModeWrite) {
    CString stored = path.GetLength() < kPathFieldSize ? path : GetPathFileName(path);
    const int n = stored.GetLength() < kPathFieldSize ? stored.GetLength() : kPathFieldSize - 1;
    std::memcpy(field, stored.GetString(), static_cast<size_t>(n));
    return file_.Write(field, kPathFieldSize);
  }
  if (!file_.Read(field, kPathFieldSize)) return false;
  path = CString(field, static_cast<int>(strnlen(field, kPathFieldSize)));
  return true;
}

bool CPrevDesignFree::EmbeddedFile(const CString& path) {
  if (mode_ == kModeWrite) {
    HANDLE in = CreateFile(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN,
                           nullptr);
    if (in == INVALID_HANDLE_VALUE) return false;
    const unsigned long long size = FileSize(in);
    bool ok = size <= 0xFFFFFFFFull && file_.WriteU32(static_cast<DWORD>(size));
    std::vector<BYTE> chunk(kChunk * 4);
    for (unsigned long long left = size; ok && left > 0;) {
      const DWORD n = left < chunk.size() ? static_cast<DWORD>(left) : static_cast<DWORD>(chunk.size());
      DWORD done = 0;
      ok = ReadFile(in, chunk.data(), n, &done, nullptr) && done == n && file_.Write(chunk.data(), n);
      left -= n;
    }
    CloseHandle(in);
    return ok;
  }
  DWORD size = 0;
  if (!file_.ReadU32(size) || !file_.Fits(size)) return false;
  HANDLE out = CreateFile(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (out == INVALID_HANDLE_VALUE) return false;
  bool ok = true;
  std::vector<BYTE> chunk(kChunk * 4);
  for (DWORD left = size; ok && left > 0;) {
    const DWORD n = left < chunk.size() ? left : static_cast<DWORD>(chunk.size());
    DWORD done = 0;
    ok = file_.Read(chunk.data(), n) && WriteFile(out, chunk.data(), n, &done, nullptr) && done == n;
    left -= n;
  }
  ok = CloseHandle(out) && ok;
  if (!ok) RemoveFile(path);
  return ok;
}

bool CPrevDesignFree::EmbedBytes(const BYTE* data, size_t size) {
  if (mode_ != kModeWrite || size > 0xFFFFFFFFull) return false;
  return file_.WriteU32(static_cast<DWORD>(size)) && file_.Write(data, size);
}

bool CPrevDesignFree::ReadBlob(std::vector<BYTE>& out) {
  out.clear();
  DWORD size = 0;
  if (mode_ != kModeRead || !file_.ReadU32(size) || !file_.Fits(size)) return false;
  try {
    out.resize(size);
  } catch (const std::bad_alloc&) {
    return false;
  }
  return size == 0 || file_.Read(out.data(), size);
}

bool CPrevDesignFree::SkipBlob() {
  DWORD size = 0;
  return mode_ == kModeRead && file_.ReadU32(size) && file_.Skip(size);
}

bool CPrevDesignFree::GetOffset(unsigned long long& offset) const {
  if (!file_.IsOpen()) return false;
  offset = file_.GetOffset();
  return true;
}

bool CPrevDesignFree::DesignParamsRecord() {
  BYTE bytes[kDesignParamsSize];
  if (mode_ == kModeWrite) {
    CDesignParams::ForWriting().ToBytes(bytes);
    return file_.Write(bytes, kDesignParamsSize);
  }
  return file_.Read(bytes, kDesignParamsSize);
}

bool CPrevDesignFree::ReadDesignParams(CDesignParams& out) {
  BYTE bytes[kDesignParamsSize];
  if (mode_ != kModeRead || !file_.Read(bytes, kDesignParamsSize)) return false;
  out.FromBytes(bytes);
  return true;
}

bool CPrevDesignFree::WritePdfData(const CPattern& design) {
  std::vector<BYTE> block;
  if (mode_ != kModeWrite || !design.m_pdfData.WriteBlock(block)) return false;
  return file_.Write(block.data(), block.size());
}

bool CPrevDesignFree::ReadPdfData(CPattern& design) {
  char tag[CPdfData::kBlockTagLength];
  DWORD size = 0;
  if (mode_ != kModeRead || !file_.Read(tag, sizeof(tag)) ||
      std::memcmp(tag, CPdfData::kBlockTag, CPdfData::kBlockTagLength) != 0 || !file_.ReadU32(size) ||
      !file_.Fits(size))
    return false;
  std::vector<BYTE> body(size);
  if (size > 0 && !file_.Read(body.data(), size)) return false;
  return design.m_pdfData.ReadBlockBody(body.data(), body.size());
}

bool CPrevDesignFree::WriteChecksumTrailer() {
  if (mode_ != kModeWrite) return false;
  const DWORD crc = file_.GetCrc();
  return file_.Write(kDesignChecksumMarker, kMarkerLength) && file_.WriteU32(crc);
}

// ---- The checksum trailer ------------------------------------------------------------------

bool AppendDesignChecksum(const char* marker, const CString& path) {
  if (!marker) return false;
  bool readOnly = false;
  if (!IsReadOnly(path, readOnly)) return false;
  if (readOnly && !ClearReadOnly(path)) return false;
  bool ok = false;
  HANDLE file = CreateFile(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    const unsigned long long size = FileSize(file);
    DWORD crc = 0;
    if (CrcOfFile(file, size, crc)) {
      const size_t markerLength = std::strlen(marker);
      std::vector<BYTE> trailer(markerLength + 4);
      std::memcpy(trailer.data(), marker, markerLength);
      std::memcpy(trailer.data() + markerLength, &crc, 4);
      // A file limited for a drill takes what fits, then the write fails.
      size_t allowed = trailer.size();
      const long long limit = GetDesignFileWriteLimit();
      if (limit >= 0)
        allowed = size >= static_cast<unsigned long long>(limit)
                      ? 0
                      : static_cast<size_t>(std::min<unsigned long long>(trailer.size(), limit - size));
      DWORD done = 0;
      ok = SeekTo(file, size) && WriteFile(file, trailer.data(), static_cast<DWORD>(allowed), &done, nullptr) &&
           done == allowed && allowed == trailer.size();
    }
    ok = CloseHandle(file) && ok;
  }
  if (readOnly && ok) SetReadOnly(path);
  return ok;
}

int VerifyDesignChecksum(const char* marker, const CString& path) {
  if (!marker) return 2;
  CDesignFileBytes file;
  if (!file.Read(path)) return 2;
  return VerifyDesignChecksum(marker, file);
}

int VerifyDesignChecksum(const char* marker, const CDesignFileBytes& file) {
  if (!marker) return 2;
  const std::span<const BYTE> bytes = file.Get();
  const size_t markerLength = std::strlen(marker);
  const size_t trailerLength = markerLength + 4;
  if (bytes.size() < trailerLength) return 2;
  const size_t length = bytes.size() - trailerLength;
  const BYTE* trailer = bytes.data() + length;
  if (std::memcmp(trailer, marker, markerLength) != 0) return 2;
  DWORD stored = 0;
  std::memcpy(&stored, trailer + markerLength, 4);
  // The CRC was taken while reading when the trailer has its usual length.
  const DWORD crc = trailerLength == kDesignTrailerLength
                        ? file.GetCrcBeforeTrailer()
                        : static_cast<DWORD>(crc32_z(crc32(0L, Z_NULL, 0), bytes.data(), length));
  return crc == stored ? 0 : 1;
}

// ---- Saving ------------------------------------------------------------------------------------------

constexpr const char* kPictureText = "The original picture could not be stored with the design:\n%s";

CString MakeDesignFilePath(const CString& path) {
  CString drive, dir, name, extension;
  SplitPath(path, &drive, &dir, &name, &extension);
  return drive + dir + name + kDesignExtension;
}

namespace {

// A refusal text with a path in it.
CString WithPath(UINT id, const char* english, const CString& path) {
  CString text;
  text.Format(LoadDesignFileString(id, english).GetString(), path.GetString());
  return text;
}

}  // namespace

bool SaveDesignFile(const CString& path, CPattern& design, CColorSet& palette, const CString& palettePath,
                    CString& picturePath, CImage* picture, CString* writtenPath, CString* reason) {
  const CString target = MakeDesignFilePath(path);
  if (writtenPath) *writtenPath = target;
  CString why;
  auto fail = [&](const CString& text) {
    if (reason) *reason = text;
    return false;
  };
  // A design that could not be opened again is not written.
  if (!IsDesignStorable(design, &why)) return fail(why);

  // The original picture of a design that is not blank.
  CString pictureFile = picturePath;
  if (!design.m_blank && pictureFile.IsEmpty()) {
    if (!picture || !picture->IsValid())
      return fail(LoadDesignFileString(IDS_SAVE_NO_PICTURE, "The design has no original picture to store with it."));
    CString temporary;
    MakeTempFileName(".jpg", temporary);
    if (!picture->SaveFile(temporary)) {
      RemoveFile(temporary);
      return fail(WithPath(IDS_SAVE_PICTURE, kPictureText, temporary));
    }
    pictureFile = temporary;
    picturePath = temporary;
  }

  // The palette as the bytes of a palette file.
  const bool paletteWasModified = palette.IsModified();
  std::vector<BYTE> paletteBytes;
  if (!palette.SaveToBytes(paletteBytes)) {
    palette.SetModified(paletteWasModified);
    return fail(LoadDesignFileString(IDS_SAVE_PALETTE, "The palette could not be stored with the design."));
  }

  // Everything goes into a temporary file beside the target.
  GUID guid{};
  CoCreateGuid(&guid);
  CString uuid;
  UuidToCString(guid, uuid);
  const CString temporary = GetPathFolder(target) + "~" + uuid + ".qx.tmp";

  bool ok;
  bool pictureUnread = false;
  {
    CPrevDesignFree writer(CPrevDesignFree::kModeWrite, temporary);
    CString stored = picturePath;
    CString storedPalette = palettePath;
    ok = writer.Open() && writer.PatternBody(design, target);
    if (ok && !design.m_blank) {
      ok = writer.PathField(stored) && writer.EmbeddedFile(pictureFile);
      pictureUnread = !ok && !writer.HasWriteFailed();
    }
    ok = ok && writer.PathField(storedPalette) && writer.EmbedBytes(paletteBytes.data(), paletteBytes.size()) &&
         writer.DesignParamsRecord();
    // A block that cannot be serialised writes nothing; a write that fails
    // leaves the file failed, and so the trailer below.
    if (ok) writer.WritePdfData(design);
    ok = ok && writer.WriteChecksumTrailer() && writer.Sync();
    ok = writer.Close() && ok;
  }

  if (ok) {
    // Into place. A read-only target is replaced, as a save always did.
    bool wasReadOnly = false;
    IsReadOnly(target, wasReadOnly);
    if (wasReadOnly) ClearReadOnly(target);
    ok = MoveFileEx(temporary, target, MOVEFILE_REPLACE_EXISTING) != FALSE;
    if (!ok && wasReadOnly) SetReadOnly(target);
  }
  if (!ok) {
    RemoveFile(temporary);
    palette.SetModified(paletteWasModified);
    return fail(pictureUnread ? WithPath(IDS_SAVE_PICTURE, kPictureText, pictureFile)
                              : WithPath(IDS_SAVE_WRITE, "The file could not be written:\n%s", target));
  }
  design.m_sectionVersion = 4;
  design.m_filePath = target;
  design.m_modified = 0;
  return true;
}

// ---- Opening ----------------------------------------------------------------------------------------

CDesignFileContents::CDesignFileContents()
    : design(std::make_unique<CPattern>()), palette(std::make_unique<CColorSet>()) {}

CDesignFileContents::~CDesignFileContents() = default;

namespace {

enum class ECurrentRead { kOk, kFallBack, kFailed };

// How far a reader came before it failed: the signature was not its own,
// the design's body failed, or a part after the body failed.
enum class EReadStage { kSignature, kBody, kLater };

ECurrentRead ReadCurrentContainer(const CDesignFileBytes& fileBytes, const CString& path, CDesignFileContents& out,
                                  CString& reason, EReadStage& stage) {
  CPrevDesignFree reader(fileBytes);
  stage = EReadStage::kSignature;
  if (!reader.Open(&reason)) return ECurrentRead::kFallBack;
  stage = EReadStage::kBody;
  if (!reader.PatternBody(*out.design, path)) return ECurrentRead::kFallBack;
  stage = EReadStage::kLater;
  out.version = reader.GetVersion();
  reader.GetSignatureText(out.signature);
  if (out.version <= 2) {
    out.design->NewGuid();
    out.design->SetModified(true);
  }
  if (!out.design->m_blank) {
    CString stored, extracted;
    if (!reader.PathField(stored) || !MakeUniqueDesignFolderPath(PictureNameFromStoredPath(stored), extracted) ||
        !reader.EmbeddedFile(extracted)) {
      reason = LoadDesignFileString(IDS_ORIGINAL_IMAGE_LOAD_ERROR, "Original image loading error");
      return ECurrentRead::kFailed;
    }
    out.picturePath = extracted;
  }
  std::vector<BYTE> bytes;
  bool ok = reader.PathField(out.palettePath) && reader.ReadBlob(bytes);
  if (ok && !out.palette->LoadPaletteFromBytes(bytes.data(), bytes.size())) {
    reason = LoadDesignFileString(IDS_LOAD_PALETTE_FAILED, "Failed to load the Palette");
    ok = false;
  }
  ok = ok && reader.ReadDesignParams(out.params);
  if (!ok) {
    if (!out.picturePath.IsEmpty()) RemoveFile(out.picturePath);
    out.picturePath.Empty();
    return ECurrentRead::kFallBack;
  }
  // The PDF settings: a missing or damaged block leaves what was read.
  reader.ReadPdfData(*out.design);
  return ECurrentRead::kOk;
}

bool ReadOlderContainer(const CDesignFileBytes& fileBytes, const CString& path, CDesignFileContents& out,
                        CString& reason, IImageViewOwner* owner, EReadStage& stage) {
  CPrevDesign reader(fileBytes);
  stage = EReadStage::kSignature;
  if (!reader.Open(&reason)) return false;
  stage = EReadStage::kBody;
  if (!reader.ReadBody(path, *out.design)) return false;
  stage = EReadStage::kLater;
  out.version = reader.GetVersion();
  out.olderFile = true;
  reader.GetSignatureText(out.signature);
  if (!out.design->m_blank && !reader.ReadPicture(out.picture, owner)) {
    reason = LoadDesignFileString(IDS_ORIGINAL_IMAGE_LOAD_ERROR, "Original image loading error");
    return false;
  }
  if (!reader.ReadColorSet(out.version, *out.palette)) {
    reason = LoadDesignFileString(IDS_LOAD_PALETTE_FAILED, "Failed to load the Palette");
    return false;
  }
  return true;
}

void ResetContents(CDesignFileContents& out) {
  out.design = std::make_unique<CPattern>();
  out.palette = std::make_unique<CColorSet>();
  out.palettePath.Empty();
  out.picturePath.Empty();
  out.picture.reset();
  out.params = CDesignParams();
  out.version = 0;
  out.olderFile = false;
  out.signature.Empty();
}

}  // namespace

int OpenDesignFile(const CString& path, CDesignFileContents& out, CString& reason, IImageViewOwner* owner) {
  reason.Empty();
  // The file is read once: the trailer is checked and both containers read
  // from its bytes in memory.
  CDesignFileBytes fileBytes;
  if (!fileBytes.Read(path)) {
    ResetContents(out);
    reason = DesignReadFailureText(false);
    return kDesignOpenFailed;
  }
  const int check = VerifyDesignChecksum(kDesignChecksumMarker, fileBytes);
  if (check == 1) return kDesignOpenCorrupt;
  ResetContents(out);
  EReadStage currentStage = EReadStage::kSignature, olderStage = EReadStage::kSignature;
  const ECurrentRead current = ReadCurrentContainer(fileBytes, path, out, reason, currentStage);
  if (current == ECurrentRead::kOk) return kDesignOpenOk;
  if (current == ECurrentRead::kFailed || check != 0) {
    // Every failure names its cause: a file whose design the reader knew
    // but could not read is damaged or cut short.
    if (reason.IsEmpty()) reason = DesignReadFailureText(currentStage != EReadStage::kSignature);
    ResetContents(out);
    return kDesignOpenFailed;
  }
  ResetContents(out);
  const CString currentReason = reason;
  CString olderReason;
  if (ReadOlderContainer(fileBytes, path, out, olderReason, owner, olderStage)) return kDesignOpenOk;
  // The reason of the reader the file belongs to: the one that read the
  // design's body (the current one first: both know the signatures of
  // versions 0 to 4); none for a file whose signature a reader knew but
  // whose design is damaged; the wrong version when no reader knew it.
  if (currentStage == EReadStage::kLater) reason = currentReason;
  else if (olderStage == EReadStage::kLater) reason = olderReason;
  else if (currentStage == EReadStage::kBody || olderStage == EReadStage::kBody) reason = DesignReadFailureText(true);
  else reason = currentReason;
  if (reason.IsEmpty()) reason = DesignReadFailureText(false);
  ResetContents(out);
  return kDesignOpenFailed;
}

CString FormatDesignOpenFailure(int result, const CString& path, const CString& reason) {
  if (result == kDesignOpenOk) return CString();
  if (result == kDesignOpenCorrupt)
    return LoadDesignFileString(IDS_DESIGN_FILE_CORRUPT, "The design file is corrupt.\nInvalid check sum has been found.");
  CString text = LoadDesignFileString(IDS_LOAD_DESIGN_FAILED, "Failed to load the design");
  text += "\n";
  text += path;
  if (!reason.IsEmpty()) {
    text += "\n";
    text += reason;
  }
  return text;
}
