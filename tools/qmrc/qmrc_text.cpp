// Texts and names for the resource compiler: UTF-8, code pages, the ids
// headers and the built-in names.
#include <iconv.h>

#include <cctype>
#include <cerrno>
#include <fstream>
#include <sstream>

#include "tools/qmrc/qmrc.h"

namespace qmrc {

std::string Where(const std::filesystem::path& file, int line) {
  return file.string() + ":" + std::to_string(line);
}

void Fail(const std::string& where, const std::string& message) { throw Error(where + ": " + message); }

// ---------------------------------------------------------------------------
// UTF-8

namespace {
// Length of the valid UTF-8 sequence at s[i], or 0.
size_t Utf8SequenceLength(std::string_view s, size_t i, char32_t* out) {
  const unsigned char c = static_cast<unsigned char>(s[i]);
  if (c < 0x80) {
    if (out) *out = c;
    return 1;
  }
  size_t n;
  char32_t v;
  if ((c & 0xE0) == 0xC0) { n = 2; v = c & 0x1F; }
  else if ((c & 0xF0) == 0xE0) { n = 3; v = c & 0x0F; }
  else if ((c & 0xF8) == 0xF0) { n = 4; v = c & 0x07; }
  else return 0;
  if (i + n > s.size()) return 0;
  for (size_t k = 1; k < n; ++k) {
    const unsigned char d = static_cast<unsigned char>(s[i + k]);
    if ((d & 0xC0) != 0x80) return 0;
    v = (v << 6) | (d & 0x3F);
  }
  // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
  if ((n == 2 && v < 0x80) || (n == 3 && v < 0x800) || (n == 4 && v < 0x10000) || v > 0x10FFFF ||
      (v >= 0xD800 && v <= 0xDFFF))
    return 0;
  if (out) *out = v;
  return n;
}
}  // namespace

int FindInvalidUtf8Line(std::string_view text) {
  int line = 1;
  for (size_t i = 0; i < text.size();) {
    const size_t n = Utf8SequenceLength(text, i, nullptr);
    if (n == 0) return line;
    if (text[i] == '\n') ++line;
    i += n;
  }
  return 0;
}

std::u32string DecodeUtf8(std::string_view utf8) {
  std::u32string out;
  for (size_t i = 0; i < utf8.size();) {
    char32_t c = 0xFFFD;
    const size_t n = Utf8SequenceLength(utf8, i, &c);
    out.push_back(n ? c : 0xFFFD);
    i += n ? n : 1;
  }
  return out;
}

std::u16string ToUtf16(std::string_view utf8) {
  std::u16string out;
  for (char32_t c : DecodeUtf8(utf8)) {
    if (c >= 0x10000) {
      c -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(c));
    }
  }
  return out;
}

// ---------------------------------------------------------------------------
// Code pages

CodePage::CodePage(UINT number) : number_(number) {
  const char* name = number == 1251 ? "CP1251" : number == 1252 ? "CP1252" : nullptr;
  if (!name) throw Error("unsupported code page " + std::to_string(number) + " (1251 or 1252)");
  iconv_t cd = iconv_open("UTF-32LE", name);
  if (cd == reinterpret_cast<iconv_t>(-1)) throw Error(std::string("iconv cannot convert from ") + name);
  for (int b = 0x80; b <= 0xFF; ++b) {
    char in = static_cast<char>(b);
    char outBuf[8];
    char* ip = &in;
    char* op = outBuf;
    size_t il = 1, ol = sizeof outBuf;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &ip, &il, &op, &ol) == static_cast<size_t>(-1) || ol != 4) continue;  // unassigned byte
    const unsigned char* u = reinterpret_cast<const unsigned char*>(outBuf);
    const char32_t cp = static_cast<char32_t>(u[0] | (u[1] << 8) | (u[2] << 16) | (u[3] << 24));
    toByte_.emplace(cp, static_cast<unsigned char>(b));
  }
  iconv_close(cd);
}

std::string CodePage::Encode(std::string_view utf8, const std::string& where) const {
  std::string out;
  out.reserve(utf8.size());
  for (char32_t c : DecodeUtf8(utf8)) {
    if (c == 0) Fail(where, "a text cannot hold a NUL character");
    if (c < 0x80) {
      out += static_cast<char>(c);
      continue;
    }
    auto it = toByte_.find(c);
    if (it == toByte_.end()) {
      char code[16];
      std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c));
      std::string ch;
      if (c < 0x800) {
        ch += static_cast<char>(0xC0 | (c >> 6));
      } else if (c < 0x10000) {
        ch += static_cast<char>(0xE0 | (c >> 12));
        ch += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      } else {
        ch += static_cast<char>(0xF0 | (c >> 18));
        ch += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        ch += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      }
      ch += static_cast<char>(0x80 | (c & 0x3F));
      Fail(where, "character " + std::string(code) + " '" + ch + "' does not fit code page " + std::to_string(number_));
    }
    out += static_cast<char>(it->second);
  }
  return out;
}

// ---------------------------------------------------------------------------
// Ids headers

namespace {
bool IsIdentifier(std::string_view s) {
  if (s.empty() || !(std::isalpha(static_cast<unsigned char>(s[0])) || s[0] == '_')) return false;
  for (char c : s)
    if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '_')) return false;
  return true;
}

std::string Trim(std::string_view s) {
  size_t a = 0, b = s.size();
  while (a < b && std::isspace(static_cast<unsigned char>(s[a]))) ++a;
  while (b > a && std::isspace(static_cast<unsigned char>(s[b - 1]))) --b;
  return std::string(s.substr(a, b - a));
}

// A number as C writes it: decimal or 0x hex, optional sign, u/l suffixes.
bool ParseCNumber(std::string_view s, std::int64_t& out) {
  bool neg = false;
  if (!s.empty() && (s[0] == '-' || s[0] == '+')) {
    neg = s[0] == '-';
    s.remove_prefix(1);
  }
  while (!s.empty() && (s.back() == 'u' || s.back() == 'U' || s.back() == 'l' || s.back() == 'L')) s.remove_suffix(1);
  if (s.empty()) return false;
  int base = 10;
  if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
    base = 16;
    s.remove_prefix(2);
  }
  std::int64_t v = 0;
  for (char c : s) {
    int d;
    if (c >= '0' && c <= '9') d = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f') d = c - 'a' + 10;
    else if (base == 16 && c >= 'A' && c <= 'F') d = c - 'A' + 10;
    else return false;
    v = v * base + d;
    if (v > 0xFFFFFFFFll) return false;
  }
  out = neg ? -v : v;
  return true;
}

bool IsScriptKeyword(std::string_view name);
}  // namespace

void IdTable::Add(const std::string& name, std::int64_t value, const std::string& where) {
  if (IsScriptKeyword(name)) Fail(where, "'" + name + "' is a script keyword and cannot be an id name");
  auto b = BuiltinNames().find(name);
  if (b != BuiltinNames().end() && b->second != value)
    Fail(where, name + " is a built-in name with the value " + std::to_string(b->second));
  auto it = defines_.find(name);
  if (it != defines_.end()) {
    if (it->second.value != value)
      Fail(where, name + " defined again with another value (first at " + it->second.where + ")");
    return;
  }
  defines_.emplace(name, Define{name, value, where});
}

const Define* IdTable::Find(std::string_view name) const {
  auto it = defines_.find(name);
  return it == defines_.end() ? nullptr : &it->second;
}

void ReadIdsHeader(const std::filesystem::path& header, IdTable& table) {
  std::ifstream f(header, std::ios::binary);
  if (!f) throw Error(header.string() + ": cannot read the file");
  std::stringstream ss;
  ss << f.rdbuf();
  const std::string text = ss.str();
  if (const int bad = FindInvalidUtf8Line(text)) Fail(Where(header, bad), "the file is not valid UTF-8");

  // Comments removed, line numbers kept.
  std::string clean;
  clean.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text.compare(i, 2, "//") == 0) {
      while (i < text.size() && text[i] != '\n') ++i;
      if (i < text.size()) clean += '\n';
    } else if (text.compare(i, 2, "/*") == 0) {
      const size_t end = text.find("*/", i + 2);
      if (end == std::string::npos) {
        int line = 1;
        for (size_t k = 0; k < i; ++k) line += text[k] == '\n';
        Fail(Where(header, line), "unterminated comment");
      }
      for (size_t k = i; k < end; ++k)
        if (text[k] == '\n') clean += '\n';
      clean += ' ';
      i = end + 1;
    } else {
      clean += text[i];
    }
  }

  std::istringstream lines(clean);
  std::string raw;
  int line = 0;
  while (std::getline(lines, raw)) {
    ++line;
    const std::string s = Trim(raw);
    if (s.empty()) continue;
    const std::string where = Where(header, line);
    if (s[0] != '#') Fail(where, "an ids header holds only #define lines (and #pragma once or include guards)");
    std::istringstream words(s.substr(1));
    std::string directive, name, rest;
    words >> directive >> name;
    std::getline(words, rest);
    rest = Trim(rest);
    if (directive == "pragma" && name == "once" && rest.empty()) continue;
    if ((directive == "ifndef" || directive == "ifdef") && IsIdentifier(name) && rest.empty()) continue;
    if (directive == "endif") continue;
    if (directive != "define" || !IsIdentifier(name)) Fail(where, "unsupported line in an ids header");
    if (rest.empty()) continue;  // include guard
    std::string value = rest;
    while (value.size() >= 2 && value.front() == '(' && value.back() == ')') value = Trim(value.substr(1, value.size() - 2));
    std::int64_t v = 0;
    if (!ParseCNumber(value, v)) {
      const Define* other = table.Find(value);
      if (!other) Fail(where, "the value of " + name + " must be a number or a name defined before it");
      v = other->value;
    }
    table.Add(name, v, where);
  }
}

// ---------------------------------------------------------------------------
// Built-in names

const std::map<std::string, std::int64_t, std::less<>>& BuiltinNames() {
  static const std::map<std::string, std::int64_t, std::less<>> names = [] {
    std::map<std::string, std::int64_t, std::less<>> m = {
        // Dialog command ids.
        {"IDOK", 1}, {"IDCANCEL", 2}, {"IDABORT", 3}, {"IDRETRY", 4}, {"IDIGNORE", 5}, {"IDYES", 6},
        {"IDNO", 7}, {"IDCLOSE", 8}, {"IDHELP", 9}, {"IDC_STATIC", -1},
        // Window styles.
        {"WS_OVERLAPPED", 0}, {"WS_TILED", 0}, {"WS_POPUP", 0x80000000ll}, {"WS_CHILD", 0x40000000},
        {"WS_MINIMIZE", 0x20000000}, {"WS_ICONIC", 0x20000000}, {"WS_VISIBLE", 0x10000000},
        {"WS_DISABLED", 0x08000000}, {"WS_CLIPSIBLINGS", 0x04000000}, {"WS_CLIPCHILDREN", 0x02000000},
        {"WS_MAXIMIZE", 0x01000000}, {"WS_CAPTION", 0x00C00000}, {"WS_BORDER", 0x00800000},
        {"WS_DLGFRAME", 0x00400000}, {"WS_VSCROLL", 0x00200000}, {"WS_HSCROLL", 0x00100000},
        {"WS_SYSMENU", 0x00080000}, {"WS_THICKFRAME", 0x00040000}, {"WS_SIZEBOX", 0x00040000},
        {"WS_GROUP", 0x00020000}, {"WS_TABSTOP", 0x00010000}, {"WS_MINIMIZEBOX", 0x00020000},
        {"WS_MAXIMIZEBOX", 0x00010000}, {"WS_OVERLAPPEDWINDOW", 0x00CF0000}, {"WS_POPUPWINDOW", 0x80880000ll},
        // Extended window styles.
        {"WS_EX_DLGMODALFRAME", 0x1}, {"WS_EX_NOPARENTNOTIFY", 0x4}, {"WS_EX_TOPMOST", 0x8},
        {"WS_EX_ACCEPTFILES", 0x10}, {"WS_EX_TRANSPARENT", 0x20}, {"WS_EX_MDICHILD", 0x40},
        {"WS_EX_TOOLWINDOW", 0x80}, {"WS_EX_WINDOWEDGE", 0x100}, {"WS_EX_CLIENTEDGE", 0x200},
        {"WS_EX_CONTEXTHELP", 0x400}, {"WS_EX_RIGHT", 0x1000}, {"WS_EX_RTLREADING", 0x2000},
        {"WS_EX_LEFTSCROLLBAR", 0x4000}, {"WS_EX_CONTROLPARENT", 0x10000}, {"WS_EX_STATICEDGE", 0x20000},
        {"WS_EX_APPWINDOW", 0x40000}, {"WS_EX_LAYERED", 0x80000}, {"WS_EX_NOACTIVATE", 0x08000000},
        // Dialog styles.
        {"DS_ABSALIGN", 0x1}, {"DS_SYSMODAL", 0x2}, {"DS_3DLOOK", 0x4}, {"DS_FIXEDSYS", 0x8},
        {"DS_NOFAILCREATE", 0x10}, {"DS_LOCALEDIT", 0x20}, {"DS_SETFONT", 0x40}, {"DS_MODALFRAME", 0x80},
        {"DS_NOIDLEMSG", 0x100}, {"DS_SETFOREGROUND", 0x200}, {"DS_CONTROL", 0x400}, {"DS_CENTER", 0x800},
        {"DS_CENTERMOUSE", 0x1000}, {"DS_CONTEXTHELP", 0x2000}, {"DS_SHELLFONT", 0x48},
        // Buttons.
        {"BS_PUSHBUTTON", 0x0}, {"BS_DEFPUSHBUTTON", 0x1}, {"BS_CHECKBOX", 0x2}, {"BS_AUTOCHECKBOX", 0x3},
        {"BS_RADIOBUTTON", 0x4}, {"BS_3STATE", 0x5}, {"BS_AUTO3STATE", 0x6}, {"BS_GROUPBOX", 0x7},
        {"BS_AUTORADIOBUTTON", 0x9}, {"BS_OWNERDRAW", 0xB}, {"BS_TEXT", 0x0}, {"BS_LEFTTEXT", 0x20},
        {"BS_RIGHTBUTTON", 0x20}, {"BS_ICON", 0x40}, {"BS_BITMAP", 0x80}, {"BS_LEFT", 0x100},
        {"BS_RIGHT", 0x200}, {"BS_CENTER", 0x300}, {"BS_TOP", 0x400}, {"BS_BOTTOM", 0x800},
        {"BS_VCENTER", 0xC00}, {"BS_PUSHLIKE", 0x1000}, {"BS_MULTILINE", 0x2000}, {"BS_NOTIFY", 0x4000},
        {"BS_FLAT", 0x8000},
        // Edits.
        {"ES_LEFT", 0x0}, {"ES_CENTER", 0x1}, {"ES_RIGHT", 0x2}, {"ES_MULTILINE", 0x4}, {"ES_UPPERCASE", 0x8},
        {"ES_LOWERCASE", 0x10}, {"ES_PASSWORD", 0x20}, {"ES_AUTOVSCROLL", 0x40}, {"ES_AUTOHSCROLL", 0x80},
        {"ES_NOHIDESEL", 0x100}, {"ES_OEMCONVERT", 0x400}, {"ES_READONLY", 0x800}, {"ES_WANTRETURN", 0x1000},
        {"ES_NUMBER", 0x2000},
        // Statics.
        {"SS_LEFT", 0x0}, {"SS_CENTER", 0x1}, {"SS_RIGHT", 0x2}, {"SS_ICON", 0x3}, {"SS_BLACKRECT", 0x4},
        {"SS_GRAYRECT", 0x5}, {"SS_WHITERECT", 0x6}, {"SS_BLACKFRAME", 0x7}, {"SS_GRAYFRAME", 0x8},
        {"SS_WHITEFRAME", 0x9}, {"SS_SIMPLE", 0xB}, {"SS_LEFTNOWORDWRAP", 0xC}, {"SS_OWNERDRAW", 0xD},
        {"SS_BITMAP", 0xE}, {"SS_ENHMETAFILE", 0xF}, {"SS_ETCHEDHORZ", 0x10}, {"SS_ETCHEDVERT", 0x11},
        {"SS_ETCHEDFRAME", 0x12}, {"SS_NOPREFIX", 0x80}, {"SS_NOTIFY", 0x100}, {"SS_CENTERIMAGE", 0x200},
        {"SS_RIGHTJUST", 0x400}, {"SS_REALSIZEIMAGE", 0x800}, {"SS_SUNKEN", 0x1000},
        {"SS_ENDELLIPSIS", 0x4000}, {"SS_PATHELLIPSIS", 0x8000}, {"SS_WORDELLIPSIS", 0xC000},
        // Combo boxes.
        {"CBS_SIMPLE", 0x1}, {"CBS_DROPDOWN", 0x2}, {"CBS_DROPDOWNLIST", 0x3}, {"CBS_OWNERDRAWFIXED", 0x10},
        {"CBS_OWNERDRAWVARIABLE", 0x20}, {"CBS_AUTOHSCROLL", 0x40}, {"CBS_OEMCONVERT", 0x80},
        {"CBS_SORT", 0x100}, {"CBS_HASSTRINGS", 0x200}, {"CBS_NOINTEGRALHEIGHT", 0x400},
        {"CBS_DISABLENOSCROLL", 0x800}, {"CBS_UPPERCASE", 0x2000}, {"CBS_LOWERCASE", 0x4000},
        // List boxes.
        {"LBS_NOTIFY", 0x1}, {"LBS_SORT", 0x2}, {"LBS_NOREDRAW", 0x4}, {"LBS_MULTIPLESEL", 0x8},
        {"LBS_OWNERDRAWFIXED", 0x10}, {"LBS_OWNERDRAWVARIABLE", 0x20}, {"LBS_HASSTRINGS", 0x40},
        {"LBS_USETABSTOPS", 0x80}, {"LBS_NOINTEGRALHEIGHT", 0x100}, {"LBS_MULTICOLUMN", 0x200},
        {"LBS_WANTKEYBOARDINPUT", 0x400}, {"LBS_EXTENDEDSEL", 0x800}, {"LBS_DISABLENOSCROLL", 0x1000},
        {"LBS_NODATA", 0x2000}, {"LBS_NOSEL", 0x4000},
        // List views.
        {"LVS_ICON", 0x0}, {"LVS_REPORT", 0x1}, {"LVS_SMALLICON", 0x2}, {"LVS_LIST", 0x3},
        {"LVS_SINGLESEL", 0x4}, {"LVS_SHOWSELALWAYS", 0x8}, {"LVS_SORTASCENDING", 0x10},
        {"LVS_SORTDESCENDING", 0x20}, {"LVS_SHAREIMAGELISTS", 0x40}, {"LVS_NOLABELWRAP", 0x80},
        {"LVS_AUTOARRANGE", 0x100}, {"LVS_EDITLABELS", 0x200}, {"LVS_OWNERDRAWFIXED", 0x400},
        {"LVS_ALIGNLEFT", 0x800}, {"LVS_OWNERDATA", 0x1000}, {"LVS_NOSCROLL", 0x2000},
        {"LVS_NOCOLUMNHEADER", 0x4000}, {"LVS_NOSORTHEADER", 0x8000},
        // Tree views.
        {"TVS_HASBUTTONS", 0x1}, {"TVS_HASLINES", 0x2}, {"TVS_LINESATROOT", 0x4}, {"TVS_EDITLABELS", 0x8},
        {"TVS_DISABLEDRAGDROP", 0x10}, {"TVS_SHOWSELALWAYS", 0x20}, {"TVS_CHECKBOXES", 0x100},
        {"TVS_TRACKSELECT", 0x200}, {"TVS_SINGLEEXPAND", 0x400}, {"TVS_FULLROWSELECT", 0x1000},
        // Sliders.
        {"TBS_AUTOTICKS", 0x1}, {"TBS_VERT", 0x2}, {"TBS_HORZ", 0x0}, {"TBS_TOP", 0x4}, {"TBS_BOTTOM", 0x0},
        {"TBS_LEFT", 0x4}, {"TBS_RIGHT", 0x0}, {"TBS_BOTH", 0x8}, {"TBS_NOTICKS", 0x10},
        {"TBS_ENABLESELRANGE", 0x20}, {"TBS_FIXEDLENGTH", 0x40}, {"TBS_NOTHUMB", 0x80}, {"TBS_TOOLTIPS", 0x100},
        // Spin buttons.
        {"UDS_WRAP", 0x1}, {"UDS_SETBUDDYINT", 0x2}, {"UDS_ALIGNRIGHT", 0x4}, {"UDS_ALIGNLEFT", 0x8},
        {"UDS_AUTOBUDDY", 0x10}, {"UDS_ARROWKEYS", 0x20}, {"UDS_HORZ", 0x40}, {"UDS_NOTHOUSANDS", 0x80},
        // Progress bars and scroll bars.
        {"PBS_SMOOTH", 0x1}, {"PBS_VERTICAL", 0x4}, {"SBS_HORZ", 0x0}, {"SBS_VERT", 0x1},
        // Virtual keys.
        {"VK_BACK", 0x08}, {"VK_TAB", 0x09}, {"VK_CLEAR", 0x0C}, {"VK_RETURN", 0x0D}, {"VK_SHIFT", 0x10},
        {"VK_CONTROL", 0x11}, {"VK_MENU", 0x12}, {"VK_PAUSE", 0x13}, {"VK_CAPITAL", 0x14},
        {"VK_ESCAPE", 0x1B}, {"VK_SPACE", 0x20}, {"VK_PRIOR", 0x21}, {"VK_NEXT", 0x22}, {"VK_END", 0x23},
        {"VK_HOME", 0x24}, {"VK_LEFT", 0x25}, {"VK_UP", 0x26}, {"VK_RIGHT", 0x27}, {"VK_DOWN", 0x28},
        {"VK_SELECT", 0x29}, {"VK_PRINT", 0x2A}, {"VK_SNAPSHOT", 0x2C}, {"VK_INSERT", 0x2D},
        {"VK_DELETE", 0x2E}, {"VK_HELP", 0x2F}, {"VK_MULTIPLY", 0x6A}, {"VK_ADD", 0x6B},
        {"VK_SEPARATOR", 0x6C}, {"VK_SUBTRACT", 0x6D}, {"VK_DECIMAL", 0x6E}, {"VK_DIVIDE", 0x6F},
        {"VK_NUMLOCK", 0x90}, {"VK_SCROLL", 0x91}, {"VK_OEM_1", 0xBA}, {"VK_OEM_PLUS", 0xBB},
        {"VK_OEM_COMMA", 0xBC}, {"VK_OEM_MINUS", 0xBD}, {"VK_OEM_PERIOD", 0xBE}, {"VK_OEM_2", 0xBF},
        {"VK_OEM_3", 0xC0}, {"VK_OEM_4", 0xDB}, {"VK_OEM_5", 0xDC}, {"VK_OEM_6", 0xDD}, {"VK_OEM_7", 0xDE},
    };
    for (int i = 0; i <= 9; ++i) m.emplace("VK_NUMPAD" + std::to_string(i), 0x60 + i);
    for (int i = 1; i <= 24; ++i) m.emplace("VK_F" + std::to_string(i), 0x6F + i);
    return m;
  }();
  return names;
}

namespace {
bool IsScriptKeyword(std::string_view name) {
  static const char* const keywords[] = {
      "strings", "menu", "dialog", "accelerators", "toolbar", "icon", "bitmap", "cursor", "rcdata",
      "compact", "popup", "item", "separator", "checked", "grayed", "disabled", "menubreak",
      "menubarbreak", "help", "caption", "style", "exstyle", "font", "weight", "italic", "charset",
      "image", "not", "static", "button", "defbutton", "checkbox", "radio", "groupbox", "edit",
      "combobox", "listbox", "listview", "treeview", "tab", "progress", "slider", "spin", "hotkey",
      "scrollbar", "richedit", "custom", "virtkey", "noinvert", "shift", "control", "alt", "word",
      "dword"};
  for (const char* k : keywords) {
    const std::string_view kw(k);
    if (kw.size() != name.size()) continue;
    bool same = true;
    for (size_t i = 0; i < kw.size() && same; ++i)
      same = std::tolower(static_cast<unsigned char>(name[i])) == kw[i];
    if (same) return true;
  }
  return false;
}
}  // namespace

}  // namespace qmrc
