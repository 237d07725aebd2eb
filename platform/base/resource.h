// Language resource packs ("Pellow_En.dll", "Pellow_Ru.dll") and the Win32
// resource calls over them.
//
// A pack is not code: tools/qmrc compiles the UTF-8 scripts of lang/<language>
// into one binary file (layout below) whose texts are in the pack's code page
// (1252 English, 1251 Russian). LoadLibrary opens a pack, FindResource and
// friends read raw resource bytes from it, and the Load*Template functions
// give parsed structures for the window and drawing stand-ins. The whole pack
// is read, checked and parsed when it is opened, so every resource handed out
// afterwards is well formed; a damaged or hostile file is refused by
// LoadLibrary (null, GetLastError ERROR_BAD_FORMAT).
//
// Resource data stays valid until the last FreeLibrary of its pack.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/base/cstring.h"
#include "platform/base/wintypes.h"

// ---------------------------------------------------------------------------
// Resource types (the Windows numbers), for FindResource's type argument.
#define RT_CURSOR MAKEINTRESOURCE(1)
#define RT_BITMAP MAKEINTRESOURCE(2)
#define RT_ICON MAKEINTRESOURCE(3)
#define RT_MENU MAKEINTRESOURCE(4)
#define RT_DIALOG MAKEINTRESOURCE(5)
#define RT_STRING MAKEINTRESOURCE(6)
#define RT_ACCELERATOR MAKEINTRESOURCE(9)
#define RT_RCDATA MAKEINTRESOURCE(10)
#define RT_GROUP_CURSOR MAKEINTRESOURCE(12)
#define RT_GROUP_ICON MAKEINTRESOURCE(14)
#define RT_TOOLBAR MAKEINTRESOURCE(241)
// Our own type: the compact variant of a dialog template (same id as the
// normal template), used on screens at most 600 pixels high.
#define QM_RT_DIALOG_COMPACT MAKEINTRESOURCE(0x7F05)

// The same numbers as plain values (pack directory, compiler).
namespace qmres {
constexpr WORD kCursor = 1;
constexpr WORD kBitmap = 2;
constexpr WORD kIcon = 3;
constexpr WORD kMenu = 4;
constexpr WORD kDialog = 5;
constexpr WORD kString = 6;
constexpr WORD kAccelerator = 9;
constexpr WORD kRcData = 10;
constexpr WORD kGroupCursor = 12;
constexpr WORD kGroupIcon = 14;
constexpr WORD kToolbar = 241;
constexpr WORD kDialogCompact = 0x7F05;
}  // namespace qmres

// Menu item flags as stored in menu templates (Windows numbers).
constexpr UINT MF_STRING = 0x0000;
constexpr UINT MF_ENABLED = 0x0000;
constexpr UINT MF_UNCHECKED = 0x0000;
constexpr UINT MF_BYCOMMAND = 0x0000;
constexpr UINT MF_GRAYED = 0x0001;
constexpr UINT MF_DISABLED = 0x0002;
constexpr UINT MF_BITMAP = 0x0004;
constexpr UINT MF_CHECKED = 0x0008;
constexpr UINT MF_POPUP = 0x0010;
constexpr UINT MF_MENUBARBREAK = 0x0020;
constexpr UINT MF_MENUBREAK = 0x0040;
constexpr UINT MF_END = 0x0080;
constexpr UINT MF_OWNERDRAW = 0x0100;
constexpr UINT MF_BYPOSITION = 0x0400;
constexpr UINT MF_SEPARATOR = 0x0800;
constexpr UINT MF_HELP = 0x4000;

// Accelerator flags (ACCEL::fVirt, Windows numbers).
constexpr BYTE FVIRTKEY = 0x01;
constexpr BYTE FNOINVERT = 0x02;
constexpr BYTE FSHIFT = 0x04;
constexpr BYTE FCONTROL = 0x08;
constexpr BYTE FALT = 0x10;

// ---------------------------------------------------------------------------
// Modules.

// Opens a resource pack. Opening the same file again gives the same handle
// with one more reference. Null when the file is missing (GetLastError
// ERROR_MOD_NOT_FOUND), unreadable (ERROR_ACCESS_DENIED) or not a sound pack
// (ERROR_BAD_FORMAT).
HINSTANCE LoadLibrary(LPCTSTR path);
// Opens a pack held in memory (the bytes are copied), e.g. one carried
// inside another file. Each call gives a new module; FreeLibrary closes it.
// Null with ERROR_BAD_FORMAT when the bytes are not a sound pack.
HINSTANCE QmLoadPackFromMemory(const void* data, size_t size);
// Drops one reference; the pack is closed at the last. FALSE (with
// ERROR_INVALID_HANDLE) for a handle that is not an open pack.
BOOL FreeLibrary(HMODULE module);

// The pack that the program's resource lookups use (the current language).
// Null until the application sets it.
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE module);

// ---------------------------------------------------------------------------
// Raw resources. `name` and `type` are MAKEINTRESOURCE(number), a name
// string (compared ignoring ASCII case) or "#number". RT_ICON finds the icons
// stored under RT_GROUP_ICON, RT_CURSOR the cursors under RT_GROUP_CURSOR.
// Missing: null with ERROR_RESOURCE_TYPE_NOT_FOUND (no resource of that type)
// or ERROR_RESOURCE_NAME_NOT_FOUND; a null or unknown module gives
// ERROR_INVALID_HANDLE (resources never come from the program file itself).
HRSRC FindResource(HMODULE module, LPCTSTR name, LPCTSTR type);
HGLOBAL LoadResource(HMODULE module, HRSRC resource);
LPVOID LockResource(HGLOBAL data);
DWORD SizeofResource(HMODULE module, HRSRC resource);
BOOL FreeResource(HGLOBAL data);

// Raw bytes of a resource: what FindResource + LoadResource + SizeofResource
// give, in one call. Empty (data null, size 0) when missing.
struct QmResourceBytes {
  const BYTE* data = nullptr;
  DWORD size = 0;
  explicit operator bool() const { return data != nullptr; }
};
QmResourceBytes LoadResourceBytes(HINSTANCE module, LPCTSTR name, LPCTSTR type);
// Bitmaps hold a whole BMP file (with its BITMAPFILEHEADER) or a PNG file;
// icons a whole ICO file or a PNG; cursors a whole CUR file; raw data any
// bytes. The drawing layer turns them into HBITMAP / HICON / HCURSOR.
QmResourceBytes LoadBitmapBytes(HINSTANCE module, UINT id);
QmResourceBytes LoadIconBytes(HINSTANCE module, UINT id);
QmResourceBytes LoadCursorBytes(HINSTANCE module, UINT id);
QmResourceBytes LoadRawData(HINSTANCE module, UINT id);

// ---------------------------------------------------------------------------
// Strings.

// Copies string `id` into buf (NUL-terminated, cut to bufSize - 1 bytes) and
// returns the number of bytes copied without the NUL; 0 when the string is
// missing (buf then holds an empty string), when the module is not a pack or
// when bufSize < 1. Texts are in the pack's code page.
int LoadString(HINSTANCE module, UINT id, char* buf, int bufSize);
// The whole string, or false when missing. (CString::LoadString reads from
// AfxGetResourceHandle() through this.)
bool LoadResourceString(HINSTANCE module, UINT id, CString& out);

// ---------------------------------------------------------------------------
// Parsed resources. The pointers stay valid until the last FreeLibrary of the
// pack; null (with GetLastError set as for FindResource) when missing. All
// texts are in the pack's code page.

// A menu item. Flags are the MF_ values above without MF_END: MF_POPUP,
// MF_GRAYED, MF_DISABLED, MF_CHECKED, MF_MENUBREAK, MF_MENUBARBREAK, MF_HELP,
// and MF_SEPARATOR on plain separators. A TAB in the text separates the
// shortcut text. An item with command id 1 is a titled separator whose text
// is the title.
struct QmMenuItem {
  UINT flags = 0;
  UINT id = 0;  // command id; 0 for pop-ups and plain separators
  CString text;
  std::vector<QmMenuItem> items;  // the pop-up's items

  bool IsPopup() const { return (flags & MF_POPUP) != 0; }
  bool IsSeparator() const { return !IsPopup() && id == 0; }
  bool IsTitledSeparator() const { return !IsPopup() && id == 1; }
};
struct QmMenuTemplate {
  UINT id = 0;
  std::vector<QmMenuItem> items;  // the menu bar (or the pop-up menus' holder)
};
const QmMenuTemplate* LoadMenuTemplate(HINSTANCE module, UINT id);

// Dialog templates. Positions and sizes are in dialog units. The kind is the
// script's keyword; the class name and style are what a Windows template
// would hold (for example a check box is class "Button" with
// BS_AUTOCHECKBOX in its style).
enum class QmControlKind : WORD {
  Custom = 0,  // any class given by name
  Static = 1,
  Icon = 2,  // "Static" with SS_ICON; imageId is the icon
  Button = 3,
  DefButton = 4,
  CheckBox = 5,
  Radio = 6,
  GroupBox = 7,
  Edit = 8,
  ComboBox = 9,
  ListBox = 10,
  ListView = 11,
  TreeView = 12,
  Tab = 13,
  Progress = 14,
  Slider = 15,
  Spin = 16,
  HotKey = 17,
  ScrollBar = 18,
  RichEdit = 19,
  Last = RichEdit
};
struct QmDialogControl {
  QmControlKind kind = QmControlKind::Static;
  CString className;  // "Static", "Button", "Edit", "ComboBox", "ListBox",
                      // "SysListView32", "msctls_progress32", ...
  int id = -1;        // -1 for IDC_STATIC, else 0..65535
  CString text;
  UINT imageId = 0;   // not 0: the caption is this resource id (icon, bitmap)
  DWORD style = 0;    // complete window style (WS_CHILD | WS_VISIBLE | ...)
  DWORD exStyle = 0;
  SHORT x = 0, y = 0, cx = 0, cy = 0;
};
struct QmDialogTemplate {
  UINT id = 0;
  bool compact = false;  // this is the compact variant
  DWORD style = 0;
  DWORD exStyle = 0;
  SHORT x = 0, y = 0, cx = 0, cy = 0;
  CString caption;
  WORD fontSize = 0;  // points; 0 = no font given (no DS_SETFONT)
  WORD fontWeight = 0;
  bool fontItalic = false;
  BYTE fontCharset = 0;
  CString fontFace;
  std::vector<QmDialogControl> controls;
};
// compact = true gives the compact variant when the pack has one and the
// normal template otherwise.
const QmDialogTemplate* LoadDialogTemplate(HINSTANCE module, UINT id, bool compact = false);

struct QmAcceleratorTable {
  UINT id = 0;
  std::vector<ACCEL> entries;  // fVirt = FVIRTKEY | FSHIFT | FCONTROL | FALT ...
};
const QmAcceleratorTable* LoadAcceleratorTable(HINSTANCE module, UINT id);

// A toolbar: button size and the command of each button, 0 for a separator.
// Its picture strip is the bitmap of the same id (LoadBitmapBytes), when the
// script gave one.
struct QmToolbarTemplate {
  UINT id = 0;
  WORD width = 0;
  WORD height = 0;
  std::vector<WORD> items;
};
const QmToolbarTemplate* LoadToolbarTemplate(HINSTANCE module, UINT id);

// ---------------------------------------------------------------------------
// Pack facts.

struct QmResourceKey {
  WORD type = 0;
  WORD id = 0;       // 0 for a named resource
  std::string name;  // empty for a numbered resource
  friend bool operator==(const QmResourceKey&, const QmResourceKey&) = default;
};
// Every resource of the pack, ordered by type, then id, then name.
std::vector<QmResourceKey> QmEnumResources(HINSTANCE module);
// The pack's code page (1252, 1251) and language id (0x0409, 0x0419); 0 when
// the module is not a pack.
UINT QmGetPackCodePage(HINSTANCE module);
LANGID QmGetPackLanguage(HINSTANCE module);
// Text of a raw menu template (UTF-16) in a code page; characters that do not
// fit become '?'.
std::string QmUtf16ToCodePage(std::u16string_view text, UINT codePage);

// ---------------------------------------------------------------------------
// The pack file (all numbers little-endian).
//
// Header, 40 bytes:
//   0  8  magic "QMRSPACK"
//   8  2  format version (1); a pack of another version is refused
//  10  2  header size (40)
//  12  4  code page (1252 or 1251)
//  16  2  language id (0x0409 English, 0x0419 Russian)
//  18  2  reserved, 0
//  20  4  entry count
//  24  4  directory offset
//  28  4  file size
//  32  4  CRC-32 (zlib's) of bytes 40 .. file size
//  36  4  reserved, 0
// Directory: entry count x 24 bytes, ordered by type, id, name, no duplicates:
//   u32 type, u32 id (1..65535; 0..65535 for strings; 0 when named),
//   u32 name offset, u32 name length (0 when numbered; names are 1..255
//   ASCII letters, digits and '_'), u32 data offset, u32 data size.
// Data of each type:
//   RT_STRING       one entry per string id: the text's bytes, no NUL.
//   RT_MENU         the Windows menu template: u16 version 0, u16 header
//                   offset 0, then items: u16 flags (MF_END on the last item
//                   of each level), u16 command id unless MF_POPUP, then the
//                   text as NUL-terminated UTF-16. A pop-up's items follow it.
//   RT_ACCELERATOR  8-byte entries: u16 flags (0x80 on the last entry),
//                   u16 key, u16 command, u16 0.
//   RT_TOOLBAR      u16 version 1, u16 width, u16 height, u16 count,
//                   count x u16 command (0 = separator).
//   RT_DIALOG and QM_RT_DIALOG_COMPACT, layout version 1:
//                   u16 1, u16 flags (bit 0 compact), u32 style, u32 exstyle,
//                   i16 x, y, cx, cy, u16 font size, u16 font weight,
//                   u8 italic, u8 charset, str caption, str font face,
//                   u16 control count, then per control: u16 kind, i32 id,
//                   u32 style, u32 exstyle, i16 x, y, cx, cy, u16 image id,
//                   str class, str text.  (str = u16 byte count + bytes)
//   RT_BITMAP, RT_GROUP_ICON, RT_GROUP_CURSOR, RT_RCDATA: the file's bytes.
namespace qmpack {
constexpr char kMagic[8] = {'Q', 'M', 'R', 'S', 'P', 'A', 'C', 'K'};
constexpr WORD kVersion = 1;
constexpr DWORD kHeaderSize = 40;
constexpr DWORD kEntrySize = 24;
constexpr WORD kDialogLayoutVersion = 1;
constexpr WORD kToolbarVersion = 1;
constexpr DWORD kMaxPackSize = 256u << 20;  // refused above this

// CRC-32 as zlib computes it (polynomial 0xEDB88320), continued from crc.
struct Crc32Table {
  DWORD v[256];
  constexpr Crc32Table() : v() {
    for (DWORD i = 0; i < 256; ++i) {
      DWORD c = i;
      for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
      v[i] = c;
    }
  }
};
inline constexpr Crc32Table kCrc32Table{};
inline DWORD Crc32(const BYTE* data, size_t size, DWORD crc = 0) {
  crc = ~crc;
  for (size_t i = 0; i < size; ++i) crc = kCrc32Table.v[(crc ^ data[i]) & 0xFFu] ^ (crc >> 8);
  return ~crc;
}
}  // namespace qmpack
