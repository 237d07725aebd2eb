// The design file (".qx"), current container: a 34-byte version signature,
// the design's sections, the original picture and the palette embedded as
// whole files behind 260-byte path fields, a 49-byte parameter record, the
// tagged PDF-settings block and a checksum trailer (a 32-byte marker and
// the CRC-32 of every byte before it).
//
// CPrevDesignFree reads and writes the container item by item. Above it:
// - SaveDesignFile writes a whole design safely: into a temporary file in
//   the target's folder, trailer included, renamed over the target only
//   when every step succeeded;
// - OpenDesignFile reads a design file of any version into fresh objects,
//   choosing between this container and the older one (PrevDesign.h);
// - the preview loader is in DesignPreview.h.
#pragma once

#include <memory>
#include <vector>

#include "design/Pattern.h"
#include "designfile/DesignFileStream.h"

class CColorSet;
class CImage;
class CImageView;
class IImageViewOwner;

// ---- Signatures, marker, fields ----

constexpr int kSignatureLength = 34;
// The signature this program writes.
constexpr const char* kCurrentDesignSignature = "Quillmerewise freeware 26 Jan 2017";
// The checksum trailer's marker (32 ASCII bytes, no terminator).
constexpr const char* kDesignChecksumMarker = "53F1D42138354e96BA070259BCED21EF";
constexpr int kPathFieldSize = 260;
constexpr int kDesignParamsSize = 49;

// The version (0..4) the current container gives a signature, -1 when it
// does not know it.
int GetCurrentContainerVersion(const BYTE* signature);
// IDS_WRONG_FILE_VERSION ("Wrong file version\n<%s>") filled with the 34 signature
// bytes up to the first NUL, every byte that is not printable as \xNN.
CString FormatWrongVersionText(const BYTE* signature);
// Why a design file was not read when no reader gave a reason: its design
// is damaged or cut short (a reader knew its signature), or the file is too
// short to hold a signature.
CString DesignReadFailureText(bool signatureKnown);
// Reads the signature of a design file opened for reading: the version
// `versionOf` gives it (GetCurrentContainerVersion or
// GetOlderContainerVersion) and the signature's text are stored. False when
// the file is too short to hold one or the signature is unknown (with the
// reason in `error` when given: too short, or the wrong version).
bool ReadDesignFileSignature(CDesignFileStream& file, int (*versionOf)(const BYTE*), int& version,
                             CString& signature, CString* error);

// The 49-byte parameter record stored after the palette: ten 32-bit values,
// a byte and two floats, of which nothing drives anything; the preview keeps
// it.
struct CDesignParams {
  // The values' offsets in the stored record, the byte's and the floats'.
  static constexpr int kValueOffsets[10] = {0, 4, 8, 12, 17, 21, 33, 37, 41, 45};
  static constexpr int kByteOffset = 16;
  static constexpr int kFloatOffsets[2] = {25, 29};

  int unusedValues[10] = {16, 0, 0, 0, 0, 10, 0, 0, 0, 0};
  BYTE unusedByte = 1;
  float unusedFloats[2];  // 0.05 and 0.06667 (bits 0x3D4CCCCD and 0x3D888A48)

  CDesignParams();
  // The record the writer stores: the defaults with the values at offsets
  // 21, 33 and 37 set to 0.
  static CDesignParams ForWriting();
  void ToBytes(BYTE (&bytes)[kDesignParamsSize]) const;
  void FromBytes(const BYTE* bytes);
  friend bool operator==(const CDesignParams& a, const CDesignParams& b);
};

// ---- The container ----

class CPrevDesignFree {
 public:
  static constexpr int kModeWrite = 0;
  static constexpr int kModeRead = 1;

  CPrevDesignFree(int mode, const CString& path);
  // Reading a file already in memory; the bytes must outlive the reader.
  explicit CPrevDesignFree(const CDesignFileBytes& bytes);
  virtual ~CPrevDesignFree();
  CPrevDesignFree(const CPrevDesignFree&) = delete;
  CPrevDesignFree& operator=(const CPrevDesignFree&) = delete;

  // Writing: removes an existing file (read-only too), creates the file and
  // writes the signature. Reading: opens the file and reads the signature;
  // an unknown one puts IDS_WRONG_FILE_VERSION into the error text. The error text is
  // emptied first.
  bool Open(CString* error = nullptr);

  // Writing: the bead, row-format, properties and PDF-options sections
  // (the design is not changed). Reading: the sections the version holds,
  // then the stitch path is applied again when the design has one. On
  // success the path becomes the design's file path and its modified flag
  // is cleared.
  bool PatternBody(CPattern& design, const CString& path);

  // A 260-byte path field: the characters, a NUL, zero bytes. Writing a
  // path of more than 259 characters stores its file name alone. Reading
  // sets the path to the characters before the first NUL.
  bool PathField(CString& path);
  // Writing: u32 size and the whole contents of the file at the path.
  // Reading: a u32 size (refused when larger than the bytes left) and that
  // many bytes, written to a new file at the path (removed again when
  // anything fails).
  bool EmbeddedFile(const CString& path);
  // Writing: u32 size and the bytes (a file held in memory).
  bool EmbedBytes(const BYTE* data, size_t size);
  // Reading: a u32 size (refused when larger than the bytes left) and the
  // bytes.
  bool ReadBlob(std::vector<BYTE>& out);
  // Reading: passes over a size-prefixed block.
  bool SkipBlob();
  bool GetOffset(unsigned long long& offset) const;

  // Writing: the default record. Reading: 49 bytes, dropped.
  bool DesignParamsRecord();
  bool ReadDesignParams(CDesignParams& out);

  // The PDF-settings block of the design's CPdfData. Reading requires the
  // tag and a size within the bytes left, and parses the body with the
  // current layout.
  bool WritePdfData(const CPattern& design);
  bool ReadPdfData(CPattern& design);

  // Writing: the marker and the CRC-32 of every byte written before it.
  bool WriteChecksumTrailer();
  // Writing: flushes and asks the system to put the file on disk.
  bool Sync() { return file_.Sync(); }
  // Writing: whether a write to the file has failed (a step that failed
  // without it failed on its own input, such as a file to embed).
  bool HasWriteFailed() const { return file_.HasFailed(); }
  // Closes the file; writing: true only when every byte was written.
  bool Close() { return file_.Close(); }

  void GetSignatureText(CString& out) const { out = signature_; }
  int GetVersion() const { return version_; }
  int GetMode() const { return mode_; }
  unsigned long long GetFileSize() const { return file_.GetSize(); }

 private:
  int recordForm_ = 1;
  int version_ = 0;
  int mode_;
  CString path_;
  const CDesignFileBytes* bytes_ = nullptr;  // reading from memory
  CDesignFileStream file_;
  CString signature_;
};

// ---- The checksum trailer ----

// Appends the marker and the CRC-32 of every byte the file held (a
// read-only file is made writable for it and read-only again).
bool AppendDesignChecksum(const char* marker, const CString& path);
// 0: the file ends with the marker and a CRC that matches the bytes before
// the marker; 1: the marker is there and the CRC differs; 2: no trailer, or
// the file cannot be read.
int VerifyDesignChecksum(const char* marker, const CString& path);
// The same over a file read into memory.
int VerifyDesignChecksum(const char* marker, const CDesignFileBytes& file);

// ---- Saving and opening a design ----

// The path with its extension replaced by ".qx" (folder and name kept).
CString MakeDesignFilePath(const CString& path);

// Saves a design with its palette and original picture. The file written
// is `path` with the extension ".qx"; it is first written whole, checksum
// trailer included, to a temporary file in the same folder, and renamed
// over the target only when every step succeeded, so a failed save leaves
// the previous file as it was (and no temporary file behind).
// - A design that could not be read back (no beads, a bead out of range,
//   sizes that are not finite or do not hold the grid) is refused before
//   anything is written.
// - A design that is not blank embeds the file at picturePath; when that is
//   empty, `picture` is first saved as a JPEG under a new temporary name in
//   the program folder, which then becomes picturePath (callers keep it for
//   later saves).
// - The palette is embedded as palette-file bytes; palettePath is stored as
//   the path it came from.
// On success the design's file path is the written path, its modified flag
// and the palette's are cleared. On failure nothing of the design, the
// palette or the old file changes, and `reason` (when given) receives why:
// the refusal of IsDesignStorable, a missing or unreadable original
// picture, the palette, or the file that could not be written. The view
// shows it after IDS_SAVE_DESIGN_FAILED, on a line of its own.
bool SaveDesignFile(const CString& path, CPattern& design, CColorSet& palette, const CString& palettePath,
                    CString& picturePath, CImage* picture, CString* writtenPath = nullptr, CString* reason = nullptr);

// What OpenDesignFile read.
struct CDesignFileContents {
  CDesignFileContents();
  ~CDesignFileContents();

  std::unique_ptr<CPattern> design;   // with its PDF settings
  std::unique_ptr<CColorSet> palette;
  CString palettePath;    // the stored palette path (current files)
  // Current files: the embedded original picture, extracted under a free
  // name into the design folder (the caller owns the file and removes it
  // when done). Empty for a blank design and for older files.
  CString picturePath;
  // Older files: the original picture read from the file (null for a blank
  // design and for current files).
  std::unique_ptr<CImageView> picture;
  CDesignParams params;   // current files
  int version = 0;        // the version of the container that read the file
  bool olderFile = false; // read by the older container
  CString signature;
};

// Results of OpenDesignFile.
constexpr int kDesignOpenOk = 0;
constexpr int kDesignOpenCorrupt = 1;  // the trailer does not match: IDS_DESIGN_FILE_CORRUPT
constexpr int kDesignOpenFailed = 2;   // IDS_LOAD_DESIGN_FAILED, the path, and the reason

// Reads a design file into fresh objects; the caller's design is not
// touched. A file whose trailer does not match is refused before any reader
// runs. The current container reads first; when its signature, body,
// palette or parameter record fails, and only when the trailer matched, the
// older container reads the file. A failure while extracting the picture
// of a current file ends the read. The reason is the text of the reader
// that knew the file, or empty: IDS_WRONG_FILE_VERSION (364) when neither
// knew its signature, IDS_ORIGINAL_IMAGE_LOAD_ERROR (176) when the
// original picture could not be extracted or read, IDS_LOAD_PALETTE_FAILED
// (202) when the palette could not be read, empty for a damaged design.
// Nothing is shown here. A design read from a current file of version 0 to
// 2 gets a new identity and is marked modified (the caller saves it again
// at once). `owner` is handed to the picture of an older file.
int OpenDesignFile(const CString& path, CDesignFileContents& out, CString& reason, IImageViewOwner* owner = nullptr);

// The one message the user sees when an open fails (stop icon), and the
// only one: kDesignOpenCorrupt gives IDS_DESIGN_FILE_CORRUPT alone;
// kDesignOpenFailed gives IDS_LOAD_DESIGN_FAILED, a line break and the
// path, then, when the reason is not empty, a line break and the reason.
// Empty for kDesignOpenOk.
CString FormatDesignOpenFailure(int result, const CString& path, const CString& reason);
