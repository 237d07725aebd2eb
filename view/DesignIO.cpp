#include "view/DesignIO.h"

#include <fcntl.h>
#include <sys/stat.h>

#include "core/FileUtils.h"
#include "core/FrameServices.h"
#include "core/PathUtils.h"
#include "core/Registry.h"
#include "image/ImageView.h"
#include "lang/ids/designfile.h"
#include "lang/ids/file.h"
#include "view/FramePorts.h"
#include "view/ZippedDesign.h"

// ---- Design files and folders ----

bool IsDesignFileExtension(const CString& path) {
  const CString ext = GetPathExtension(path);
  return ext.CompareNoCase(kDesignExtension) == 0 || ext.CompareNoCase(kImportedDesignExtension) == 0;
}

bool IsFolderWithoutDesigns(const CString& folder) {
  CString pattern = folder;
  if (pattern.IsEmpty() || (pattern.Right(1) != "/" && pattern.Right(1) != "\\")) pattern += "/";
  const CString base = pattern;
  pattern += "*";
  pattern += kDesignExtension;
  WIN32_FIND_DATA data;
  HANDLE find = FindFirstFile(pattern, &data);
  if (find == INVALID_HANDLE_VALUE) return true;
  bool none = true;
  do {
    if (FileExists(base + data.cFileName)) {
      none = false;
      break;
    }
  } while (FindNextFile(find, &data));
  FindClose(find);
  return none;
}

// ---- Dates ----

bool GetFileCreationTime(const CString& path, std::time_t& out) {
  const std::string native = ToUtf8(path);
  struct statx sx {};
  if (statx(AT_FDCWD, native.c_str(), 0, STATX_BTIME | STATX_MTIME, &sx) == 0) {
    if ((sx.stx_mask & STATX_BTIME) != 0 && sx.stx_btime.tv_sec != 0) {
      out = static_cast<std::time_t>(sx.stx_btime.tv_sec);
      return true;
    }
    if ((sx.stx_mask & STATX_MTIME) != 0) {
      out = static_cast<std::time_t>(sx.stx_mtime.tv_sec);
      return true;
    }
  }
  struct stat st {};
  if (stat(native.c_str(), &st) != 0) return false;
  out = st.st_mtime;
  return true;
}

CString FormatDateTimeText(std::time_t moment) {
  static const char* const kDaysEn[7] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday",
                                         "Saturday"};
  static const char* const kMonthsEn[12] = {"January", "February", "March",     "April",   "May",      "June",
                                            "July",    "August",   "September", "October", "November", "December"};
  static const char* const kDaysRu[7] = {"воскресенье", "понедельник", "вторник", "среда",
                                         "четверг",     "пятница",     "суббота"};
  // The month of a date, as Russian says it after the day.
  static const char* const kMonthsRu[12] = {"января", "февраля", "марта",    "апреля",  "мая",    "июня",
                                            "июля",   "августа", "сентября", "октября", "ноября", "декабря"};
  std::tm local{};
  localtime_r(&moment, &local);
  const int day = local.tm_wday >= 0 && local.tm_wday < 7 ? local.tm_wday : 0;
  const int month = local.tm_mon >= 0 && local.tm_mon < 12 ? local.tm_mon : 0;
  char text[160];
  if (IsRussianInterface()) {
    std::snprintf(text, sizeof text, "%s, %d %s %d   %02d:%02d", kDaysRu[day], local.tm_mday, kMonthsRu[month],
                  local.tm_year + 1900, local.tm_hour, local.tm_min);
    return CString(Utf8ToCodePage(text, 1251));
  }
  std::snprintf(text, sizeof text, "%s, %s %02d, %d   %02d:%02d", kDaysEn[day], kMonthsEn[month], local.tm_mday,
                local.tm_year + 1900, local.tm_hour, local.tm_min);
  return CString(text);
}

CString FormatFileCreationText(const CString& path) {
  std::time_t moment = 0;
  if (!GetFileCreationTime(path, moment)) return CString();
  return FormatDateTimeText(moment);
}

// ---- Opening ----

int ReadDesignForView(const CString& path, CDesignForView& out, CString& message, IImageViewOwner* owner) {
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
      auto view = std::make_unique<CImageView>(owner, out.contents.picturePath.GetString(), loaded, -1, GetIProgress());
      if (loaded && view->IsValid()) {
        view->SetFitToWindow(true, false);
        out.picture = std::move(view);
        out.picturePath = out.contents.picturePath;
      } else {
        RemoveFile(out.contents.picturePath);
        result = kDesignOpenFailed;
        reason = LoadResString(IDS_ORIGINAL_IMAGE_LOAD_ERROR);
        if (reason.IsEmpty()) reason = "Original image loading error";
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

// ---- Saving ----

CString GetSavedDesignPath(const CString& path) { return MakeDesignFilePath(path); }

bool WouldReplaceOtherFile(const CString& path, const CString& ownPath) {
  const CString target = MakeDesignFilePath(path);
  if (!FileExists(target)) return false;
  return ownPath.IsEmpty() || target != ownPath;
}

CString FormatReplaceQuestion(const CString& path) {
  CString text;
  CString format = LoadResString(IDS_REPLACE_DESIGN_QUESTION);
  if (format.IsEmpty()) format = "%s already exists.\nDo you want to replace it?";
  text.Format(format, MakeDesignFilePath(path).GetString());
  return text;
}

bool SaveDesignForView(const CString& path, CPattern& design, CColorSet& palette, const CString& palettePath,
                       CString& picturePath, CImage* picture, CString& writtenPath, CString& message) {
  message.Empty();
  // A picture whose file has gone is stored from memory.
  CString pictureFile = picturePath;
  if (!pictureFile.IsEmpty() && !FileExists(pictureFile) && picture != nullptr && picture->IsValid())
    pictureFile.Empty();
  CString reason;
  if (!SaveDesignFile(path, design, palette, palettePath, pictureFile, picture, &writtenPath, &reason)) {
    message = LoadResString(IDS_SAVE_DESIGN_FAILED);
    if (message.IsEmpty()) message = "Failed to save the design";
    if (!reason.IsEmpty()) message += "\n" + reason;
    return false;
  }
  picturePath = pictureFile;
  return true;
}
