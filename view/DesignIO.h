// Saving designs for the design view, as functions over the design,
// palette and paths that the view hands in, so the view changes only when
// the save succeeded: SaveDesignForView writes the design safely and gives
// the message of a failed save (opening is ReadDesignForView of
// designfile/DesignRead.h); and the small helpers of the file dialogs:
// design extensions, folders without designs, and the "Created at" text
// shared with the wizard.
#pragma once

#include <ctime>

#include "designfile/DesignFile.h"
#include "platform/base.h"

// ---- Design files and folders ----

// The other product's design extension (imported designs).
constexpr const char* kImportedDesignExtension = ".fw";

// True when the path's extension is ".qx" or ".fw" (any case).
bool IsDesignFileExtension(const CString& path);
// True when the folder holds no design file ("*.qx" that is a file); a
// missing separator at the end is added.
bool IsFolderWithoutDesigns(const CString& folder);

// ---- Dates ----

// When the file was made: its birth time where the file system keeps one,
// else its last modification. False when the file cannot be examined.
bool GetFileCreationTime(const CString& path, std::time_t& out);
// A moment in local time as "Friday, December 11, 2026   14:05" under the
// English interface and "пятница, 11 декабря 2026   14:05" under the
// Russian one, whatever the user's locale (interface code page).
CString FormatDateTimeText(std::time_t moment);
// Both: the "Created at" text of a file; empty when it cannot be examined.
CString FormatFileCreationText(const CString& path);

// ---- Saving ----

// The path a save to `path` writes (the extension replaced by ".qx").
CString GetSavedDesignPath(const CString& path);
// True when a save to `path` would replace an existing file that is not the
// design's own (`ownPath`, empty for a design without a file): the caller
// asks first.
bool WouldReplaceOtherFile(const CString& path, const CString& ownPath);
// The question asked then, naming the file.
CString FormatReplaceQuestion(const CString& path);

// Saves the design with its palette and original picture (SaveDesignFile:
// whole or not at all). A picture that has no file (`picturePath` empty or
// gone) is embedded as a new JPEG, whose path `picturePath` then holds.
// On failure `message` is "Failed to save the design" and the reason, and
// the old file, the design and the palette are as they were.
bool SaveDesignForView(const CString& path, CPattern& design, CColorSet& palette, const CString& palettePath,
                       CString& picturePath, CImage* picture, CString& writtenPath, CString& message);
