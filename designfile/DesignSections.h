// The sections of a design that design files carry, written and read item
// by item on a design-file stream:
// - the bead section (the beads, the seven sizes, blank, format);
// - the row-format section (section version and the per-row formats);
// - the properties section, current and earlier layout;
// - the PDF-options section (the design's CPdfExportOptions);
// and the design blob of older files (versions 5 to 16), parsed from memory.
//
// Every item must move all its bytes; the first that does not fails the
// section. Every count and size read from a file is checked against the
// bytes left before anything is allocated.
#pragma once

#include "design/Pattern.h"
#include "designfile/DesignFileStream.h"

class CByteStream;

// Bead record forms: 1 = the 26-byte records of current files, 0 = the
// 34-byte long form.
constexpr int kBeadRecordCurrent = 1;
constexpr int kBeadRecordLong = 0;

// The checks a design passes when its bead section is read back: at least
// one bead and no more than an index can address, every bead valid
// (positions within 0..1, colour index 0 or more, present and alternate 0
// or 1), finite sizes, bead size plus spacer above 0 both ways, and the
// grid within the actual size. The writer refuses a design that would fail
// them, so every file it writes can be opened again. When `reason` is given
// it receives why a design is refused: the first failing check, a bead
// named by its column and row (from 1, rows from the top).
bool CheckDesignSizes(const CPattern& design);
bool IsDesignStorable(const CPattern& design, CString* reason = nullptr);

// A text of the language pack, or the built-in English text when no pack
// answers.
CString LoadDesignFileString(UINT id, const char* english);

// The bead section: 69 + 26 x beads bytes.
bool WriteBeadSection(CDesignFileStream& file, const CPattern& design);
// Reads the bead section into the design. A count of 0, or one whose
// records do not fit in the file, fails without touching the design; a
// failure after that empties the beads (sizes and format stay as read).
// `oldForm`: the byte after the format is not kept (older files). On
// success with storePath, the path becomes the design's file path and the
// modified flag is cleared.
bool ReadBeadSection(CDesignFileStream& file, CPattern& design, const CString& path, int recordForm, bool storePath,
                     bool oldForm = false);

// The row-format section: section version (written as 4), count, (rows,
// format) pairs. Reading sets the section version and replaces the runs.
bool WriteRowFormats(CDesignFileStream& file, const CPattern& design);
bool ReadRowFormats(CDesignFileStream& file, CPattern& design);

// The properties section, current layout.
bool WriteProperties(CDesignFileStream& file, const CPattern& design);
bool ReadProperties(CDesignFileStream& file, CPattern& design);
// The earlier layout of older files (read only).
bool ReadOldProperties(CDesignFileStream& file, CPattern& design);

// The PDF-options section: u32 size, then the stored CPdfExportOptions.
// Reading with section version 0 reads nothing; otherwise the record is
// parsed with the section version (its defaults when it does not parse,
// and the answer is false).
bool WritePdfOptions(CDesignFileStream& file, const CPattern& design);
bool ReadPdfOptions(CDesignFileStream& file, CPattern& design);

// The design blob of older files: u32 size, then the blob, parsed with the
// file's version. On success with storePath the path becomes the design's
// file path and the modified flag is cleared.
bool ReadDesignBlob(CDesignFileStream& file, CPattern& design, const CString& path, int version, bool storePath);
bool ParseDesignBlob(CByteStream& stream, CPattern& design, int version);
