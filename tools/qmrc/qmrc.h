// qmrc: the resource compiler that turns the UTF-8 scripts of lang/<language>
// (and the ids headers of lang/ids) into a language resource pack. The script
// format is documented in lang/README.md, the pack layout in
// platform/base/resource.h.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/base/wintypes.h"

namespace qmrc {

// Every error carries "file:line: message".
class Error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

std::string Where(const std::filesystem::path& file, int line);
[[noreturn]] void Fail(const std::string& where, const std::string& message);

// The symbolic ids of the #define lines of lang/ids/*.h.
struct Define {
  std::string name;
  std::int64_t value = 0;
  std::string where;
};
class IdTable {
 public:
  // Adds a name; a name defined again with another value is an error.
  void Add(const std::string& name, std::int64_t value, const std::string& where);
  const Define* Find(std::string_view name) const;
  const std::map<std::string, Define, std::less<>>& All() const { return defines_; }

 private:
  std::map<std::string, Define, std::less<>> defines_;
};
// Reads one ids header into the table (throws Error on a line it does not
// understand).
void ReadIdsHeader(const std::filesystem::path& header, IdTable& table);

// Built-in names usable in scripts: IDOK..IDHELP, IDC_STATIC, window, dialog
// and control style bits (WS_, WS_EX_, DS_, BS_, ES_, SS_, CBS_, LBS_, LVS_,
// TVS_, TBS_, UDS_, PBS_, SBS_) and virtual keys (VK_).
const std::map<std::string, std::int64_t, std::less<>>& BuiltinNames();

// Strict conversion from UTF-8 to a Windows code page (1251 or 1252): a
// character that does not fit is an error at `where`.
class CodePage {
 public:
  explicit CodePage(UINT number);
  UINT Number() const { return number_; }
  std::string Encode(std::string_view utf8, const std::string& where) const;

 private:
  UINT number_;
  std::map<char32_t, unsigned char> toByte_;
};

// Decodes UTF-8 (already checked) into code points, and encodes UTF-16.
std::u32string DecodeUtf8(std::string_view utf8);
std::u16string ToUtf16(std::string_view utf8);
// The line of the first invalid UTF-8 sequence, or 0 when the text is valid.
int FindInvalidUtf8Line(std::string_view text);

// One compiled resource.
struct Resource {
  WORD type = 0;
  WORD id = 0;       // 0 when named
  std::string name;  // empty when numbered
  std::vector<BYTE> data;
  std::string where;  // "file:line" of its definition
};

struct Options {
  UINT codePage = 1252;
  WORD language = 0x0409;
  std::vector<std::filesystem::path> headers;  // lang/ids/*.h
  std::vector<std::filesystem::path> scripts;  // lang/<language>/*.rcs
};

struct Result {
  std::vector<Resource> resources;
  std::vector<std::filesystem::path> inputs;  // every file read
};

// Reads the headers, then the scripts, into resources. Throws Error.
Result Compile(const Options& options);

// The pack file of a set of resources (see platform/base/resource.h).
std::vector<BYTE> WritePack(const std::vector<Resource>& resources, UINT codePage, WORD language);

}  // namespace qmrc
