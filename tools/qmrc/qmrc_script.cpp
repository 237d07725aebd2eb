// The script reader of the resource compiler: tokens, statements and the
// binary form of each resource kind.
#include <algorithm>
#include <cctype>
#include <fstream>
#include <optional>
#include <set>
#include <sstream>
#include <tuple>

#include "platform/base/resource.h"
#include "tools/qmrc/qmrc.h"

namespace qmrc {
namespace {

namespace fs = std::filesystem;

constexpr std::uintmax_t kMaxInputFile = 64u << 20;

// ---------------------------------------------------------------------------
// Tokens

enum class Tok { Name, Number, String, LBrace, RBrace, Pipe, End };

struct Token {
  Tok kind = Tok::End;
  std::string text;  // name, or the string's UTF-8 contents
  std::int64_t number = 0;
  int line = 0;
};

const char* TokName(Tok t) {
  switch (t) {
    case Tok::Name: return "a name";
    case Tok::Number: return "a number";
    case Tok::String: return "a quoted text";
    case Tok::LBrace: return "'{'";
    case Tok::RBrace: return "'}'";
    case Tok::Pipe: return "'|'";
    case Tok::End: return "the end of the file";
  }
  return "?";
}

std::vector<Token> Tokenize(const fs::path& file, const std::string& text) {
  std::vector<Token> out;
  int line = 1;
  size_t i = 0;
  if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) i = 3;  // UTF-8 byte-order mark
  const size_t n = text.size();
  auto fail = [&](const std::string& m) { Fail(Where(file, line), m); };
  while (i < n) {
    const char c = text[i];
    if (c == '\n') { ++line; ++i; continue; }
    if (c == ' ' || c == '\t' || c == '\r' || c == ',') { ++i; continue; }
    if (c == '/' && i + 1 < n && text[i + 1] == '/') {
      while (i < n && text[i] != '\n') ++i;
      continue;
    }
    if (c == '/' && i + 1 < n && text[i + 1] == '*') {
      const int start = line;
      i += 2;
      while (i < n && !(text[i] == '*' && i + 1 < n && text[i + 1] == '/')) {
        if (text[i] == '\n') ++line;
        ++i;
      }
      if (i >= n) Fail(Where(file, start), "unterminated comment");
      i += 2;
      continue;
    }
    Token t;
    t.line = line;
    if (c == '{' || c == '}' || c == '|') {
      t.kind = c == '{' ? Tok::LBrace : c == '}' ? Tok::RBrace : Tok::Pipe;
      ++i;
    } else if (c == '"') {
      t.kind = Tok::String;
      ++i;
      for (;;) {
        if (i >= n || text[i] == '\n') fail("unterminated text (a closing '\"' is missing)");
        const char d = text[i];
        if (d == '"') { ++i; break; }
        if (d == '\\') {
          if (i + 1 >= n) fail("unterminated text");
          const char e = text[i + 1];
          switch (e) {
            case 'n': t.text += '\n'; break;
            case 't': t.text += '\t'; break;
            case 'r': t.text += '\r'; break;
            case '\\': t.text += '\\'; break;
            case '"': t.text += '"'; break;
            default: fail(std::string("unknown escape '\\") + e + "' (use \\n, \\t, \\r, \\\\ or \\\")");
          }
          i += 2;
          continue;
        }
        if (static_cast<unsigned char>(d) < 0x20) fail("control character inside a text (write \\t or \\n)");
        t.text += d;
        ++i;
      }
    } else if (std::isdigit(static_cast<unsigned char>(c)) ||
               (c == '-' && i + 1 < n && std::isdigit(static_cast<unsigned char>(text[i + 1])))) {
      t.kind = Tok::Number;
      const bool neg = c == '-';
      if (neg) ++i;
      int base = 10;
      if (text[i] == '0' && i + 1 < n && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
      }
      std::int64_t v = 0;
      size_t digits = 0;
      while (i < n && std::isalnum(static_cast<unsigned char>(text[i]))) {
        const char d = text[i];
        int x;
        if (d >= '0' && d <= '9') x = d - '0';
        else if (base == 16 && d >= 'a' && d <= 'f') x = d - 'a' + 10;
        else if (base == 16 && d >= 'A' && d <= 'F') x = d - 'A' + 10;
        else fail("malformed number");
        v = v * base + x;
        if (v > 0xFFFFFFFFll) fail("number too large");
        ++digits;
        ++i;
      }
      if (digits == 0) fail("malformed number");
      t.number = neg ? -v : v;
    } else if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
      t.kind = Tok::Name;
      while (i < n && (std::isalnum(static_cast<unsigned char>(text[i])) || text[i] == '_')) t.text += text[i++];
    } else {
      fail(std::string("unexpected character '") + c + "'");
    }
    out.push_back(std::move(t));
  }
  Token end;
  end.kind = Tok::End;
  end.line = line;
  out.push_back(end);
  return out;
}

bool SameWord(std::string_view a, std::string_view kw) {
  if (a.size() != kw.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != kw[i]) return false;
  return true;
}

// ---------------------------------------------------------------------------
// Binary writer

class Bytes {
 public:
  void U8(unsigned v) { b_.push_back(static_cast<BYTE>(v)); }
  void U16(unsigned v) { U8(v & 0xFF); U8((v >> 8) & 0xFF); }
  void U32(std::uint32_t v) { U16(v & 0xFFFF); U16(v >> 16); }
  void Str(const std::string& s) {  // u16 length + bytes
    U16(static_cast<unsigned>(s.size()));
    b_.insert(b_.end(), s.begin(), s.end());
  }
  void WStr(const std::u16string& s) {  // NUL-terminated UTF-16
    for (char16_t c : s) U16(c);
    U16(0);
  }
  void Raw(const std::string& s) { b_.insert(b_.end(), s.begin(), s.end()); }
  std::vector<BYTE>& data() { return b_; }

 private:
  std::vector<BYTE> b_;
};

// ---------------------------------------------------------------------------
// Controls

struct ControlKindInfo {
  const char* keyword;
  QmControlKind kind;
  const char* className;
  std::uint32_t style;  // besides WS_CHILD | WS_VISIBLE
};
constexpr std::uint32_t WS_TABSTOP_ = 0x00010000, WS_BORDER_ = 0x00800000, WS_VSCROLL_ = 0x00200000;
const ControlKindInfo kControlKinds[] = {
    {"static", QmControlKind::Static, "Static", 0x0},
    {"icon", QmControlKind::Icon, "Static", 0x3},
    {"button", QmControlKind::Button, "Button", 0x0 | WS_TABSTOP_},
    {"defbutton", QmControlKind::DefButton, "Button", 0x1 | WS_TABSTOP_},
    {"checkbox", QmControlKind::CheckBox, "Button", 0x3 | WS_TABSTOP_},
    {"radio", QmControlKind::Radio, "Button", 0x9},
    {"groupbox", QmControlKind::GroupBox, "Button", 0x7},
    {"edit", QmControlKind::Edit, "Edit", WS_BORDER_ | WS_TABSTOP_},
    {"combobox", QmControlKind::ComboBox, "ComboBox", 0x3 | WS_VSCROLL_ | WS_TABSTOP_},
    {"listbox", QmControlKind::ListBox, "ListBox", 0x1 | WS_BORDER_ | WS_VSCROLL_ | WS_TABSTOP_},
    {"listview", QmControlKind::ListView, "SysListView32", WS_BORDER_ | WS_TABSTOP_},
    {"treeview", QmControlKind::TreeView, "SysTreeView32", WS_BORDER_ | WS_TABSTOP_},
    {"tab", QmControlKind::Tab, "SysTabControl32", WS_TABSTOP_},
    {"progress", QmControlKind::Progress, "msctls_progress32", WS_BORDER_},
    {"slider", QmControlKind::Slider, "msctls_trackbar32", WS_TABSTOP_},
    {"spin", QmControlKind::Spin, "msctls_updown32", 0x0},
    {"hotkey", QmControlKind::HotKey, "msctls_hotkey32", WS_BORDER_ | WS_TABSTOP_},
    {"scrollbar", QmControlKind::ScrollBar, "ScrollBar", 0x0},
    {"richedit", QmControlKind::RichEdit, "RichEdit20A", WS_BORDER_ | WS_TABSTOP_},
    {"custom", QmControlKind::Custom, "", 0x0},
};
constexpr std::uint32_t kChildVisible = 0x40000000u | 0x10000000u;
constexpr std::uint32_t kDefaultDialogStyle = 0x80000000u | 0x00C00000u | 0x00080000u | 0x80u;  // popup, caption, sysmenu, modal frame
constexpr std::uint32_t kDsSetFont = 0x40;

// ---------------------------------------------------------------------------
// The parser of one script

struct Key {
  WORD type;
  WORD id;
  std::string upperName;
  bool operator<(const Key& o) const {
    return std::tie(type, id, upperName) < std::tie(o.type, o.id, o.upperName);
  }
};

class Compiler {
 public:
  Compiler(const Options& opt, const IdTable& ids, const CodePage& cp, Result& result)
      : opt_(opt), ids_(ids), cp_(cp), result_(result) {}

  void Script(const fs::path& file) {
    file_ = file;
    const std::string text = ReadText(file);
    if (const int bad = FindInvalidUtf8Line(text)) Fail(Where(file, bad), "the file is not valid UTF-8");
    toks_ = Tokenize(file, text);
    pos_ = 0;
    while (Peek().kind != Tok::End) Statement();
  }

  // Checks that need every script read.
  void Finish() {
    for (const auto& [key, where] : defined_) {
      if (key.type == qmres::kDialogCompact && !defined_.count(Key{qmres::kDialog, key.id, ""}))
        Fail(where, "compact dialog " + std::to_string(key.id) + " has no normal dialog with the same id");
    }
  }

 private:
  // --- files
  std::string ReadText(const fs::path& file) {
    std::ifstream f(file, std::ios::binary);
    if (!f) throw Error(file.string() + ": cannot read the file");
    std::stringstream ss;
    ss << f.rdbuf();
    result_.inputs.push_back(file);
    return ss.str();
  }

  std::vector<BYTE> ReadBinary(const std::string& rel, int line) {
    const std::string where = Where(file_, line);
    if (rel.empty()) Fail(where, "empty file name");
    const fs::path p = file_.parent_path() / fs::path(rel);
    std::error_code ec;
    if (!fs::is_regular_file(p, ec)) Fail(where, "file not found: " + p.string());
    const std::uintmax_t size = fs::file_size(p, ec);
    if (ec || size > kMaxInputFile) Fail(where, "file too large (64 MiB at most): " + p.string());
    std::ifstream f(p, std::ios::binary);
    std::vector<BYTE> bytes(static_cast<size_t>(size));
    if (!f.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size)))
      Fail(where, "cannot read " + p.string());
    result_.inputs.push_back(p);
    return bytes;
  }

  // --- tokens
  const Token& Peek(size_t k = 0) const { return toks_[std::min(pos_ + k, toks_.size() - 1)]; }
  const Token& Next() {
    const Token& t = toks_[pos_];
    if (pos_ + 1 < toks_.size()) ++pos_;
    return t;
  }
  std::string At(const Token& t) const { return Where(file_, t.line); }
  [[noreturn]] void Expected(const std::string& what) {
    const Token& t = Peek();
    std::string got = TokName(t.kind);
    if (t.kind == Tok::Name) got = "'" + t.text + "'";
    Fail(At(t), "expected " + what + ", found " + got);
  }
  bool IsWord(const char* kw, size_t k = 0) const {
    return Peek(k).kind == Tok::Name && SameWord(Peek(k).text, kw);
  }
  bool Accept(const char* kw) {
    if (!IsWord(kw)) return false;
    Next();
    return true;
  }
  void Expect(Tok kind) {
    if (Peek().kind != kind) Expected(TokName(kind));
    Next();
  }

  // A number or a name (ids headers first, then the built-in names).
  std::int64_t Term() {
    const Token& t = Peek();
    if (t.kind == Tok::Number) return Next().number;
    if (t.kind == Tok::Name) {
      if (const Define* d = ids_.Find(t.text)) {
        Next();
        return d->value;
      }
      auto b = BuiltinNames().find(t.text);
      if (b != BuiltinNames().end()) {
        Next();
        return b->second;
      }
      Fail(At(t), "unknown name '" + t.text + "' (define it in lang/ids/*.h)");
    }
    Expected("a number or an id name");
  }

  std::int64_t Ranged(std::int64_t lo, std::int64_t hi, const char* what) {
    const Token& t = Peek();
    const std::int64_t v = Term();
    if (v < lo || v > hi)
      Fail(At(t), std::string(what) + " " + std::to_string(v) + " out of range (" + std::to_string(lo) + ".." +
                      std::to_string(hi) + ")");
    return v;
  }
  std::uint32_t Bits32(std::int64_t v, const Token& t) {
    if (v < -0x80000000ll || v > 0xFFFFFFFFll) Fail(At(t), "value does not fit 32 bits");
    return static_cast<std::uint32_t>(v);
  }
  // term { '|' term }, each term optionally preceded by 'not' (clears its
  // bits); applied from left to right onto `base`.
  std::uint32_t Style(std::uint32_t base) {
    std::uint32_t v = base;
    for (;;) {
      const bool clear = Accept("not");
      const Token& t = Peek();
      const std::uint32_t bits = Bits32(Term(), t);
      v = clear ? (v & ~bits) : (v | bits);
      if (Peek().kind != Tok::Pipe) return v;
      Next();
    }
  }

  // One or more adjacent quoted texts, joined; UTF-8.
  std::string Utf8Text(int* line = nullptr) {
    if (Peek().kind != Tok::String) Expected("a quoted text");
    if (line) *line = Peek().line;
    std::string s;
    while (Peek().kind == Tok::String) s += Next().text;
    return s;
  }
  // The same, converted to the pack's code page.
  std::string Text() {
    int line = 0;
    const std::string s = Utf8Text(&line);
    return cp_.Encode(s, Where(file_, line));
  }

  // A resource id: 1..65535, or a quoted name.
  struct ResId {
    WORD id = 0;
    std::string name;
    int line = 0;
  };
  ResId ResourceId(bool allowName) {
    ResId r;
    r.line = Peek().line;
    if (Peek().kind == Tok::String) {
      if (!allowName) Expected("a numeric id");
      r.name = Next().text;
      if (r.name.empty() || r.name.size() > 255 ||
          !std::all_of(r.name.begin(), r.name.end(), [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }))
        Fail(Where(file_, r.line), "a resource name is 1..255 ASCII letters, digits or '_'");
      return r;
    }
    r.id = static_cast<WORD>(Ranged(1, 0xFFFF, "resource id"));
    return r;
  }

  void Add(WORD type, const ResId& rid, std::vector<BYTE> data, const char* kind) {
    std::string upper = rid.name;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const std::string where = Where(file_, rid.line);
    const Key key{type, rid.id, upper};
    auto it = defined_.find(key);
    if (it != defined_.end())
      Fail(where, std::string("duplicate ") + kind + " " + (rid.name.empty() ? std::to_string(rid.id) : rid.name) +
                      " (first defined at " + it->second + ")");
    defined_.emplace(key, where);
    Resource r;
    r.type = type;
    r.id = rid.id;
    r.name = rid.name;
    r.data = std::move(data);
    r.where = where;
    result_.resources.push_back(std::move(r));
  }

  // --- statements
  void Statement() {
    const Token& t = Peek();
    if (t.kind != Tok::Name) Expected("a resource keyword (strings, menu, dialog, accelerators, toolbar, icon, bitmap, cursor, rcdata)");
    if (Accept("strings")) return Strings();
    if (Accept("menu")) return Menu();
    if (Accept("dialog")) return Dialog();
    if (Accept("accelerators")) return Accelerators();
    if (Accept("toolbar")) return Toolbar();
    if (Accept("icon")) return FileResource(qmres::kGroupIcon, "icon");
    if (Accept("bitmap")) return FileResource(qmres::kBitmap, "bitmap");
    if (Accept("cursor")) return FileResource(qmres::kGroupCursor, "cursor");
    if (Accept("rcdata")) return RcData();
    Fail(At(t), "unknown resource keyword '" + t.text + "'");
  }

  void Strings() {
    Expect(Tok::LBrace);
    while (Peek().kind != Tok::RBrace) {
      if (Peek().kind == Tok::End) Expected("'}'");
      ResId rid;
      rid.line = Peek().line;
      rid.id = static_cast<WORD>(Ranged(0, 0xFFFF, "string id"));
      const std::string s = Text();
      Add(qmres::kString, rid, std::vector<BYTE>(s.begin(), s.end()), "string");
    }
    Next();
  }

  // --- menus
  struct MenuNode {
    unsigned flags = 0;
    unsigned id = 0;
    std::u16string text;
    std::vector<MenuNode> items;
  };

  unsigned MenuFlags() {
    unsigned f = 0;
    for (;;) {
      if (Accept("checked")) f |= MF_CHECKED;
      else if (Accept("grayed")) f |= MF_GRAYED;
      else if (Accept("disabled")) f |= MF_DISABLED;
      else if (Accept("menubreak")) f |= MF_MENUBREAK;
      else if (Accept("menubarbreak")) f |= MF_MENUBARBREAK;
      else if (Accept("help")) f |= MF_HELP;
      else return f;
    }
  }

  // The menu text: checked against the code page, stored as UTF-16.
  std::u16string MenuText() {
    int line = 0;
    const std::string s = Utf8Text(&line);
    cp_.Encode(s, Where(file_, line));
    return ToUtf16(s);
  }

  void MenuItems(std::vector<MenuNode>& out, int depth) {
    const int open = Peek().line;
    Expect(Tok::LBrace);
    if (depth > 8) Fail(Where(file_, open), "menus nest 8 levels deep at most");
    while (Peek().kind != Tok::RBrace) {
      MenuNode node;
      if (Accept("popup")) {
        node.text = MenuText();
        node.flags = MenuFlags() | MF_POPUP;
        MenuItems(node.items, depth + 1);
      } else if (Accept("item")) {
        node.id = static_cast<unsigned>(Ranged(1, 0xFFFF, "command id"));
        node.text = MenuText();
        node.flags = MenuFlags();
      } else if (Accept("separator")) {
        if (Peek().kind == Tok::String) {
          node.id = 1;  // a titled separator
          node.text = MenuText();
        } else {
          node.flags = MF_SEPARATOR;
        }
      } else {
        Expected("popup, item, separator or '}'");
      }
      out.push_back(std::move(node));
    }
    if (out.empty()) Fail(Where(file_, open), "a menu or pop-up needs at least one item");
    Next();
  }

  void WriteMenu(Bytes& b, const std::vector<MenuNode>& items) {
    for (size_t i = 0; i < items.size(); ++i) {
      const MenuNode& m = items[i];
      const unsigned flags = m.flags | (i + 1 == items.size() ? MF_END : 0);
      b.U16(flags);
      if (!(flags & MF_POPUP)) b.U16(m.id);
      b.WStr(m.text);
      if (flags & MF_POPUP) WriteMenu(b, m.items);
    }
  }

  void Menu() {
    const ResId rid = ResourceId(false);
    std::vector<MenuNode> items;
    MenuItems(items, 0);
    Bytes b;
    b.U16(0);
    b.U16(0);
    WriteMenu(b, items);
    Add(qmres::kMenu, rid, std::move(b.data()), "menu");
  }

  // --- dialogs
  SHORT Coord(const char* what) { return static_cast<SHORT>(Ranged(-32768, 32767, what)); }

  void Dialog() {
    const ResId rid = ResourceId(false);
    const bool compact = Accept("compact");
    const SHORT x = Coord("x"), y = Coord("y"), cx = Coord("width"), cy = Coord("height");
    Expect(Tok::LBrace);
    std::string caption, face;
    std::optional<std::uint32_t> style;
    std::uint32_t exStyle = 0;
    unsigned fontSize = 0, weight = 0, italic = 0, charset = 1;
    bool haveCaption = false, haveFont = false;
    std::set<int> controlIds;
    Bytes controls;
    unsigned count = 0;
    while (Peek().kind != Tok::RBrace) {
      const Token& t = Peek();
      if (Accept("caption")) {
        if (haveCaption) Fail(At(t), "caption given twice");
        caption = Text();
        haveCaption = true;
      } else if (Accept("style")) {
        if (style) Fail(At(t), "style given twice");
        style = Style(0);
      } else if (Accept("exstyle")) {
        exStyle = Style(exStyle);
      } else if (Accept("font")) {
        if (haveFont) Fail(At(t), "font given twice");
        haveFont = true;
        fontSize = static_cast<unsigned>(Ranged(1, 144, "font size"));
        face = Text();
        if (face.empty()) Fail(At(t), "empty font face");
        for (;;) {
          if (Accept("weight")) weight = static_cast<unsigned>(Ranged(0, 1000, "font weight"));
          else if (Accept("italic")) italic = 1;
          else if (Accept("charset")) charset = static_cast<unsigned>(Ranged(0, 255, "charset"));
          else break;
        }
      } else if (t.kind == Tok::Name) {
        Control(controls, controlIds);
        if (++count > 0xFFFF) Fail(At(t), "too many controls");
      } else {
        Expected("caption, style, exstyle, font, a control kind or '}'");
      }
    }
    Next();
    std::uint32_t dialogStyle = style ? *style : kDefaultDialogStyle;
    if (haveFont) dialogStyle |= kDsSetFont;
    Bytes b;
    b.U16(qmpack::kDialogLayoutVersion);
    b.U16(compact ? 1 : 0);
    b.U32(dialogStyle);
    b.U32(exStyle);
    b.U16(static_cast<WORD>(x));
    b.U16(static_cast<WORD>(y));
    b.U16(static_cast<WORD>(cx));
    b.U16(static_cast<WORD>(cy));
    b.U16(fontSize);
    b.U16(weight);
    b.U8(italic);
    b.U8(haveFont ? charset : 0);
    b.Str(caption);
    b.Str(face);
    b.U16(count);
    b.data().insert(b.data().end(), controls.data().begin(), controls.data().end());
    Add(compact ? qmres::kDialogCompact : qmres::kDialog, rid, std::move(b.data()),
        compact ? "compact dialog" : "dialog");
  }

  void Control(Bytes& b, std::set<int>& ids) {
    const Token& kw = Peek();
    const ControlKindInfo* info = nullptr;
    for (const ControlKindInfo& k : kControlKinds)
      if (SameWord(kw.text, k.keyword)) info = &k;
    if (!info) Fail(At(kw), "unknown control kind '" + kw.text + "'");
    Next();
    std::string className = info->className;
    if (info->kind == QmControlKind::Custom) {
      int line = 0;
      className = Utf8Text(&line);
      if (className.empty()) Fail(Where(file_, line), "empty class name");
      className = cp_.Encode(className, Where(file_, line));
    }
    const Token& idTok = Peek();
    const int id = static_cast<int>(Ranged(-1, 0xFFFF, "control id"));
    if (id != -1 && !ids.insert(id).second)
      Fail(At(idTok), "control id " + std::to_string(id) + " used twice in this dialog");
    std::string text;
    unsigned image = 0;
    if (Accept("image")) {
      image = static_cast<unsigned>(Ranged(1, 0xFFFF, "image id"));
    } else {
      text = Text();
    }
    const SHORT x = Coord("x"), y = Coord("y"), cx = Coord("width"), cy = Coord("height");
    std::uint32_t style = kChildVisible | info->style;
    std::uint32_t exStyle = 0;
    for (;;) {
      if (Accept("style")) style = Style(style);
      else if (Accept("exstyle")) exStyle = Style(exStyle);
      else break;
    }
    b.U16(static_cast<unsigned>(info->kind));
    b.U32(static_cast<std::uint32_t>(id));
    b.U32(style);
    b.U32(exStyle);
    b.U16(static_cast<WORD>(x));
    b.U16(static_cast<WORD>(y));
    b.U16(static_cast<WORD>(cx));
    b.U16(static_cast<WORD>(cy));
    b.U16(image);
    b.Str(className);
    b.Str(text);
  }

  // --- accelerators
  void Accelerators() {
    const ResId rid = ResourceId(false);
    const int open = Peek().line;
    Expect(Tok::LBrace);
    struct Acc { unsigned flags, key, cmd; };
    std::vector<Acc> list;
    while (Peek().kind != Tok::RBrace) {
      const Token& keyTok = Peek();
      bool fromChar = false;
      unsigned key = 0;
      if (keyTok.kind == Tok::String) {
        const std::string s = cp_.Encode(keyTok.text, At(keyTok));
        if (s.size() != 1) Fail(At(keyTok), "an accelerator key text is one character");
        key = static_cast<unsigned char>(s[0]);
        fromChar = true;
        Next();
      } else {
        key = static_cast<unsigned>(Ranged(1, 0xFFFF, "key"));
      }
      const unsigned cmd = static_cast<unsigned>(Ranged(1, 0xFFFF, "command id"));
      unsigned flags = 0;
      for (;;) {
        if (Accept("virtkey")) flags |= FVIRTKEY;
        else if (Accept("noinvert")) flags |= FNOINVERT;
        else if (Accept("shift")) flags |= FSHIFT;
        else if (Accept("control")) flags |= FCONTROL;
        else if (Accept("alt")) flags |= FALT;
        else break;
      }
      if ((flags & FVIRTKEY) && fromChar) {
        // A virtual key named by its character: letters and digits only,
        // letters taken as upper case (the key code).
        if (key >= 'a' && key <= 'z') key -= 'a' - 'A';
        if (!((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')))
          Fail(At(keyTok), "with virtkey a key text must be a letter or a digit (use VK_ names for other keys)");
      }
      if (!(flags & FVIRTKEY) && (flags & (FSHIFT | FCONTROL)))
        Fail(At(keyTok), "shift and control need virtkey");
      list.push_back({flags, key, cmd});
    }
    Next();
    if (list.empty()) Fail(Where(file_, open), "an accelerator table needs at least one entry");
    Bytes b;
    for (size_t i = 0; i < list.size(); ++i) {
      b.U16(list[i].flags | (i + 1 == list.size() ? 0x80 : 0));
      b.U16(list[i].key);
      b.U16(list[i].cmd);
      b.U16(0);
    }
    Add(qmres::kAccelerator, rid, std::move(b.data()), "accelerator table");
  }

  // --- toolbars
  void Toolbar() {
    const ResId rid = ResourceId(false);
    const unsigned w = static_cast<unsigned>(Ranged(1, 256, "button width"));
    const unsigned h = static_cast<unsigned>(Ranged(1, 256, "button height"));
    if (Accept("bitmap")) {
      const int line = Peek().line;
      const std::vector<BYTE> bytes = ReadBinary(Utf8Text(), line);
      CheckImage(bytes, qmres::kBitmap, line);
      ResId bid = rid;
      bid.line = line;
      Add(qmres::kBitmap, bid, bytes, "bitmap");
    }
    const int open = Peek().line;
    Expect(Tok::LBrace);
    std::vector<unsigned> items;
    while (Peek().kind != Tok::RBrace) {
      if (Accept("button")) items.push_back(static_cast<unsigned>(Ranged(1, 0xFFFF, "command id")));
      else if (Accept("separator")) items.push_back(0);
      else Expected("button, separator or '}'");
    }
    Next();
    if (items.empty()) Fail(Where(file_, open), "a toolbar needs at least one button");
    Bytes b;
    b.U16(qmpack::kToolbarVersion);
    b.U16(w);
    b.U16(h);
    b.U16(static_cast<unsigned>(items.size()));
    for (unsigned c : items) b.U16(c);
    Add(qmres::kToolbar, rid, std::move(b.data()), "toolbar");
  }

  // --- files
  void CheckImage(const std::vector<BYTE>& b, WORD type, int line) {
    auto starts = [&](std::initializer_list<int> sig) {
      if (b.size() < sig.size()) return false;
      size_t i = 0;
      for (int v : sig)
        if (b[i++] != static_cast<BYTE>(v)) return false;
      return true;
    };
    const bool png = starts({0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A});
    const std::string where = Where(file_, line);
    if (type == qmres::kBitmap && !png && !starts({'B', 'M'})) Fail(where, "a bitmap must be a BMP or PNG file");
    if (type == qmres::kGroupIcon && !png && !starts({0, 0, 1, 0})) Fail(where, "an icon must be an ICO or PNG file");
    if (type == qmres::kGroupCursor && !starts({0, 0, 2, 0})) Fail(where, "a cursor must be a CUR file");
  }

  void FileResource(WORD type, const char* kind) {
    const ResId rid = ResourceId(true);
    const int line = Peek().line;
    std::vector<BYTE> bytes = ReadBinary(Utf8Text(), line);
    CheckImage(bytes, type, line);
    Add(type, rid, std::move(bytes), kind);
  }

  void RcData() {
    const ResId rid = ResourceId(true);
    if (Peek().kind == Tok::String) {
      const int line = Peek().line;
      Add(qmres::kRcData, rid, ReadBinary(Utf8Text(), line), "rcdata");
      return;
    }
    Expect(Tok::LBrace);
    Bytes b;
    while (Peek().kind != Tok::RBrace) {
      const Token& t = Peek();
      if (t.kind == Tok::String) {
        b.Raw(Text());
      } else if (Accept("word")) {
        const Token& v = Peek();
        const std::int64_t x = Term();
        if (x < -32768 || x > 0xFFFF) Fail(At(v), "word value out of range");
        b.U16(static_cast<unsigned>(x & 0xFFFF));
      } else if (Accept("dword")) {
        const Token& v = Peek();
        b.U32(Bits32(Term(), v));
      } else if (t.kind == Tok::Number || t.kind == Tok::Name) {
        b.U8(static_cast<unsigned>(Ranged(0, 255, "byte")));
      } else {
        Expected("a byte, word, dword, a quoted text or '}'");
      }
    }
    Next();
    Add(qmres::kRcData, rid, std::move(b.data()), "rcdata");
  }

  const Options& opt_;
  const IdTable& ids_;
  const CodePage& cp_;
  Result& result_;
  fs::path file_;
  std::vector<Token> toks_;
  size_t pos_ = 0;
  std::map<Key, std::string> defined_;  // every resource so far -> where
};

}  // namespace

Result Compile(const Options& options) {
  Result result;
  const CodePage cp(options.codePage);
  IdTable ids;
  for (const fs::path& h : options.headers) {
    ReadIdsHeader(h, ids);
    result.inputs.push_back(h);
  }
  Compiler c(options, ids, cp, result);
  for (const fs::path& s : options.scripts) c.Script(s);
  c.Finish();
  return result;
}

std::vector<BYTE> WritePack(const std::vector<Resource>& resources, UINT codePage, WORD language) {
  struct Item {
    const Resource* r;
    std::string key;
  };
  std::vector<Item> items;
  for (const Resource& r : resources) {
    std::string key = r.name;
    for (char& c : key) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    items.push_back({&r, key});
  }
  std::sort(items.begin(), items.end(), [](const Item& a, const Item& b) {
    return std::tie(a.r->type, a.r->id, a.key) < std::tie(b.r->type, b.r->id, b.key);
  });

  Bytes out;
  out.data().resize(qmpack::kHeaderSize);
  const std::uint64_t dirOffset = qmpack::kHeaderSize;
  out.data().resize(dirOffset + items.size() * qmpack::kEntrySize);
  // Names, then data (each blob on a 4-byte boundary).
  std::vector<std::uint32_t> nameOffsets, dataOffsets;
  for (const Item& it : items) {
    nameOffsets.push_back(it.r->name.empty() ? 0 : static_cast<std::uint32_t>(out.data().size()));
    out.Raw(it.r->name);
  }
  for (const Item& it : items) {
    while (out.data().size() % 4) out.U8(0);
    dataOffsets.push_back(static_cast<std::uint32_t>(out.data().size()));
    out.data().insert(out.data().end(), it.r->data.begin(), it.r->data.end());
  }
  std::vector<BYTE>& b = out.data();
  if (b.size() > qmpack::kMaxPackSize) throw Error("the pack would exceed 256 MiB");
  auto put16 = [&](size_t at, unsigned v) { b[at] = v & 0xFF; b[at + 1] = (v >> 8) & 0xFF; };
  auto put32 = [&](size_t at, std::uint32_t v) { put16(at, v & 0xFFFF); put16(at + 2, v >> 16); };
  for (size_t i = 0; i < items.size(); ++i) {
    const size_t at = dirOffset + i * qmpack::kEntrySize;
    put32(at, items[i].r->type);
    put32(at + 4, items[i].r->id);
    put32(at + 8, nameOffsets[i]);
    put32(at + 12, static_cast<std::uint32_t>(items[i].r->name.size()));
    put32(at + 16, dataOffsets[i]);
    put32(at + 20, static_cast<std::uint32_t>(items[i].r->data.size()));
  }
  std::copy(std::begin(qmpack::kMagic), std::end(qmpack::kMagic), b.begin());
  put16(8, qmpack::kVersion);
  put16(10, qmpack::kHeaderSize);
  put32(12, codePage);
  put16(16, language);
  put16(18, 0);
  put32(20, static_cast<std::uint32_t>(items.size()));
  put32(24, static_cast<std::uint32_t>(dirOffset));
  put32(28, static_cast<std::uint32_t>(b.size()));
  put32(32, qmpack::Crc32(b.data() + qmpack::kHeaderSize, b.size() - qmpack::kHeaderSize));
  put32(36, 0);
  return b;
}

}  // namespace qmrc
