// Option lists: "key=value key value flag {list} ...", parsed strictly
// against the keys that one function takes.
//
// Syntax: items are separated by white space. An item is a key, optionally
// followed by "=" and a value, or by a value after white space; a boolean
// key alone means true. A value is a word or a list in braces; lists nest
// ("stroke={{line=other}}") and may hold spaces ("fontname={Liberation
// Sans}"); a text option may be left empty ("fontname= fontsize=10"). Inside words and lists "\{", "\}" and "\\" stand for the
// characters themselves. Keys and keywords ignore ASCII case. Numbers are
// read with "." whatever the locale. A key the function does not take, a
// value of the wrong kind and a key with no value are errors that name the
// key.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "pdflib/lib/types.h"

namespace qmpdf::opt {

enum class Type : unsigned char {
  Bool,             // true/false, or the key alone
  Int,              // whole number within [min, max]
  Number,           // finite number within [min, max] (positive: > 0)
  NumberOrPercent,  // number, or number followed by "%"
  String,           // word or braced text
  Keyword,          // one of keywords
  KeywordList,      // braced list of keywords
  NumberList,       // braced list of count numbers
  Color,            // {rgb r g b} or {gray g}, components in [0, 1]
  Position,         // one or two of left, center, right, top, bottom
  Optlist,          // braced option list of schema nested
  OptlistList,      // braced list of braced option lists of schema nested
};

struct Schema;

struct Key {
  const char* name;
  Type type;
  double min = -1e300;
  double max = 1e300;
  bool positive = false;                 // numbers: strictly above 0
  const char* const* keywords = nullptr;  // null-terminated
  const Schema* nested = nullptr;
  int count = 0;  // NumberList
};

struct Schema {
  const Key* keys;
  std::size_t size;
};

class Options;

struct Value {
  // Defined where Options is complete (the two types hold each other).
  Value();
  ~Value();
  Value(const Value&);
  Value(Value&&) noexcept;
  Value& operator=(const Value&);
  Value& operator=(Value&&) noexcept;

  bool flag = false;
  double number = 0;
  bool percent = false;
  std::string text;                 // String; Keyword (lower case)
  std::vector<std::string> words;   // KeywordList (lower case)
  std::vector<double> numbers;      // NumberList
  qmpdf::Color color;
  qmpdf::Position position;
  std::vector<Options> lists;       // Optlist (one), OptlistList
};

class Options {
 public:
  bool Has(std::string_view key) const { return Find(key) != nullptr; }
  const Value* Find(std::string_view key) const;
  // Accessors for keys that are present (callers check Has first or pass a
  // default).
  bool Flag(std::string_view key, bool fallback = false) const;
  double Number(std::string_view key, double fallback = 0) const;
  const std::string& Text(std::string_view key) const;
  bool Empty() const { return items_.empty(); }
  // Keys in the order given (a key given twice keeps its last value).
  const std::vector<std::pair<const Key*, Value>>& Items() const { return items_; }

 private:
  friend Options Parse(std::string_view, const Schema&);
  std::vector<std::pair<const Key*, Value>> items_;
};

// Throws qmpdf::Error (numbers 1100-1102) naming the offending key.
Options Parse(std::string_view text, const Schema& schema);

// The schema with no keys: only an empty list (or white space) is accepted.
extern const Schema kNoOptions;

}  // namespace qmpdf::opt
