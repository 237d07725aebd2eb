// Special folders over the XDG folders, item id lists holding a path, and
// the small system image list of this layer's own icons.
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QStandardPaths>
#include <QStorageInfo>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/base/codepage.h"
#include "platform/base/files.h"
#include "platform/gdi/imagelist.h"
#include "platform/gdi/surface.h"
#include "platform/wnd/commctl_internal.h"
#include "platform/wnd/shellapi.h"

namespace {

constexpr char kMagic[4] = {'Q', 'M', 'F', 'S'};

// The first folder of $XDG_DATA_DIRS (the all-users data folder).
QString SystemDataDir() {
  const QByteArray dirs = qgetenv("XDG_DATA_DIRS");
  QString first = dirs.isEmpty() ? QString() : QString::fromLocal8Bit(dirs).section(QLatin1Char(':'), 0, 0);
  if (first.isEmpty()) first = QStringLiteral("/usr/local/share");
  return first;
}

// The folder of a CSIDL (UTF-8), empty when unknown.
QString SpecialFolder(int csidl) {
  switch (csidl & 0xFF) {
    case CSIDL_PROGRAMS:
    case CSIDL_STARTMENU:
      return QStandardPaths::writableLocation(QStandardPaths::ApplicationsLocation);
    case CSIDL_PERSONAL:
      return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    case CSIDL_DESKTOP:
    case CSIDL_DESKTOPDIRECTORY:
      return QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    case CSIDL_COMMON_STARTMENU:
    case CSIDL_COMMON_PROGRAMS:
    case CSIDL_COMMON_DESKTOPDIRECTORY:
      return SystemDataDir() + QStringLiteral("/applications");
    default:
      return QString();
  }
}

bool ResolveSpecialFolder(int csidl, bool create, CString* out) {
  const QString dir = SpecialFolder(csidl);
  if (dir.isEmpty()) {
    std::fprintf(stderr, "The special folder %d is not known on this system\n", csidl & 0xFF);
    SetLastError(ERROR_NOT_SUPPORTED);
    return false;
  }
  if (!QFileInfo(dir).isDir()) {
    if (!create) {
      SetLastError(ERROR_PATH_NOT_FOUND);
      return false;
    }
    if (!QDir().mkpath(dir)) {
      SetLastError(ERROR_ACCESS_DENIED);
      return false;
    }
  }
  *out = FromUtf8(dir.toStdString());
  return true;
}

// The path inside a list: "QMFS" and the UTF-8 path, NUL-terminated.
bool PathOfList(LPCITEMIDLIST pidl, std::string* out) {
  if (!pidl) return false;
  const auto* b = reinterpret_cast<const BYTE*>(pidl);
  USHORT cb;
  std::memcpy(&cb, b, sizeof cb);
  if (cb < sizeof(USHORT) + sizeof kMagic + 1 || std::memcmp(b + sizeof(USHORT), kMagic, sizeof kMagic) != 0) return false;
  const char* text = reinterpret_cast<const char*>(b + sizeof(USHORT) + sizeof kMagic);
  *out = std::string(text, strnlen(text, cb - sizeof(USHORT) - sizeof kMagic));
  return true;
}

class ShellMalloc : public IMalloc {
 public:
  ULONG AddRef() override { return 1; }
  ULONG Release() override { return 1; }
  LPVOID Alloc(SIZE_T cb) override { return std::malloc(cb); }
  LPVOID Realloc(LPVOID pv, SIZE_T cb) override { return std::realloc(pv, cb); }
  void Free(LPVOID pv) override { std::free(pv); }
};

// ---------------------------------------------------------------------------
// The small system image list.

enum IconKind { kFolder = 0, kOpenFolder = 1, kDrive = 2, kDocument = 3 };

QImage DrawIcon(IconKind kind) {
  QImage img(16, 16, QImage::Format_ARGB32);
  img.fill(Qt::transparent);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing, false);
  const QColor outline(96, 72, 8), yellow(240, 200, 70), light(252, 226, 130);
  switch (kind) {
    case kFolder:
    case kOpenFolder:
      p.setPen(outline);
      p.setBrush(yellow);
      p.drawRect(1, 2, 6, 2);
      p.drawRect(1, 4, 13, 9);
      if (kind == kOpenFolder) {
        p.setBrush(light);
        const QPoint flap[4] = {QPoint(3, 7), QPoint(15, 7), QPoint(13, 13), QPoint(1, 13)};
        p.drawPolygon(flap, 4);
      }
      break;
    case kDrive:
      p.setPen(QColor(64, 64, 64));
      p.setBrush(QColor(200, 200, 200));
      p.drawRect(1, 5, 13, 6);
      p.fillRect(3, 8, 2, 2, QColor(0, 170, 0));
      p.setPen(QColor(120, 120, 120));
      p.drawLine(7, 9, 12, 9);
      break;
    case kDocument:
      p.setPen(QColor(80, 80, 80));
      p.setBrush(Qt::white);
      p.drawRect(3, 1, 9, 13);
      p.setPen(QColor(120, 140, 190));
      for (int y = 4; y <= 11; y += 2) p.drawLine(5, y, 10, y);
      break;
  }
  return img;
}

HIMAGELIST SystemSmallList() {
  static HIMAGELIST list = nullptr;
  if (!list) {
    list = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 4, 4);
    for (IconKind k : {kFolder, kOpenFolder, kDrive, kDocument}) {
      HICON icon = CreateIconFromImage(DrawIcon(k), true, QPoint());
      ImageList_AddIcon(list, icon);
      DestroyIcon(icon);
    }
  }
  return list;
}

// "C:\", "c:" and "/" are the file system's root.
bool IsDriveRoot(const std::string& p) {
  if (p == "/") return true;
  return p.size() >= 2 && p.size() <= 3 && std::isalpha(static_cast<unsigned char>(p[0])) && p[1] == ':' &&
         (p.size() == 2 || p[2] == '\\' || p[2] == '/');
}

}  // namespace

namespace qmwnd {

LPITEMIDLIST MakeIdList(const std::string& utf8Path) {
  const size_t item = sizeof(USHORT) + sizeof kMagic + utf8Path.size() + 1;
  auto* b = static_cast<BYTE*>(std::calloc(item + sizeof(USHORT), 1));
  if (!b) return nullptr;
  const USHORT cb = static_cast<USHORT>(item);
  std::memcpy(b, &cb, sizeof cb);
  std::memcpy(b + sizeof(USHORT), kMagic, sizeof kMagic);
  std::memcpy(b + sizeof(USHORT) + sizeof kMagic, utf8Path.c_str(), utf8Path.size() + 1);
  return reinterpret_cast<LPITEMIDLIST>(b);
}

bool IdListPath(LPCITEMIDLIST pidl, std::string* utf8Path) { return PathOfList(pidl, utf8Path); }

}  // namespace qmwnd

HRESULT SHGetSpecialFolderLocation(HWND, int csidl, LPITEMIDLIST* ppidl) {
  if (!ppidl) return E_INVALIDARG;
  *ppidl = nullptr;
  CString path;
  if (!ResolveSpecialFolder(csidl, (csidl & CSIDL_FLAG_CREATE) != 0, &path)) return E_FAIL;
  *ppidl = qmwnd::MakeIdList(ToUtf8(path));
  return *ppidl ? S_OK : E_OUTOFMEMORY;
}

BOOL SHGetSpecialFolderPath(HWND, LPSTR pszPath, int csidl, BOOL fCreate) {
  if (!pszPath) return FALSE;
  pszPath[0] = 0;
  CString path;
  if (!ResolveSpecialFolder(csidl, fCreate != FALSE, &path)) return FALSE;
  if (path.GetLength() >= MAX_PATH) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  std::memcpy(pszPath, path.GetString(), static_cast<size_t>(path.GetLength()) + 1);
  return TRUE;
}

BOOL SHGetPathFromIDList(LPCITEMIDLIST pidl, LPSTR pszPath) {
  if (!pszPath) return FALSE;
  pszPath[0] = 0;
  std::string utf8;
  if (!PathOfList(pidl, &utf8)) return FALSE;
  const CString path = FromUtf8(utf8);
  if (path.IsEmpty() || path.GetLength() >= MAX_PATH) return FALSE;
  std::memcpy(pszPath, path.GetString(), static_cast<size_t>(path.GetLength()) + 1);
  return TRUE;
}

LPITEMIDLIST ILCreateFromPath(LPCSTR pszPath) {
  if (!pszPath) return nullptr;
  std::string p = ToUtf8(CString(pszPath));
  std::replace(p.begin(), p.end(), '\\', '/');
  return qmwnd::MakeIdList(p);
}

void ILFree(LPITEMIDLIST pidl) { std::free(pidl); }
void CoTaskMemFree(LPVOID pv) { std::free(pv); }

HRESULT SHGetMalloc(LPMALLOC* ppMalloc) {
  static ShellMalloc shell;
  if (!ppMalloc) return E_INVALIDARG;
  *ppMalloc = &shell;
  return S_OK;
}

DWORD_PTR SHGetFileInfo(LPCSTR pszPath, DWORD dwFileAttributes, SHFILEINFO* psfi, UINT cbFileInfo, UINT uFlags) {
  if (!pszPath || (psfi && cbFileInfo < sizeof(SHFILEINFO))) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const std::string given = ToUtf8(CString(pszPath));
  const bool root = IsDriveRoot(given);
  std::string path = root ? std::string(1, '/') : given;
  std::replace(path.begin(), path.end(), '\\', '/');
  const QFileInfo fi(QString::fromStdString(path));
  bool dir = false;
  if (uFlags & SHGFI_USEFILEATTRIBUTES) {
    dir = (dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  } else if (!fi.exists()) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return 0;
  } else {
    dir = fi.isDir();
  }
  const bool mount = root || (dir && QStorageInfo(fi.absoluteFilePath()).rootPath() == fi.absoluteFilePath());
  const IconKind kind = !dir ? kDocument : mount ? kDrive : (uFlags & SHGFI_OPENICON) ? kOpenFolder : kFolder;
  HIMAGELIST list = SystemSmallList();
  if (psfi) {
    if (uFlags & (SHGFI_ICON | SHGFI_SYSICONINDEX)) psfi->iIcon = kind;
    if (uFlags & SHGFI_ICON) psfi->hIcon = ImageList_GetIcon(list, kind, 0);
    if (uFlags & SHGFI_DISPLAYNAME) {
      const CString name = FromUtf8(mount && root ? std::string("/") : fi.fileName().toStdString());
      std::strncpy(psfi->szDisplayName, name.GetString(), sizeof(psfi->szDisplayName) - 1);
      psfi->szDisplayName[sizeof(psfi->szDisplayName) - 1] = 0;
    }
    if (uFlags & SHGFI_TYPENAME) {
      const CString type = dir ? qmwnd::UiText("File folder", "Папка с файлами") : qmwnd::UiText("File", "Файл");
      std::strncpy(psfi->szTypeName, type.GetString(), sizeof(psfi->szTypeName) - 1);
      psfi->szTypeName[sizeof(psfi->szTypeName) - 1] = 0;
    }
    if (uFlags & SHGFI_ATTRIBUTES) psfi->dwAttributes = 0;
  }
  if (uFlags & SHGFI_SYSICONINDEX) return reinterpret_cast<DWORD_PTR>(list);
  return 1;
}
