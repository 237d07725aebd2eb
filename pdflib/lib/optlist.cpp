#include "pdflib/lib/optlist.h"

#include <charconv>
#include <cmath>
#include <cstring>

#include "pdflib/lib/ascii.h"
#include "pdflib/lib/errors.h"

namespace qmpdf::opt {
namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool IsEscapable(char c) { return c == '{' || c == '}' || c == '\\'; }

std::string Unescape(std::string_view raw) {
  std::string r;
  r.reserve(raw.size());
  for (std::size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] == '\\' && i + 1 < raw.size() && IsEscapable(raw[i + 1])) ++i;
    r += raw[i];
  }
  return r;
}

// Shortened text of a value for messages.
std::string Shown(std::string_view s) {
  if (s.size() > 40) return std::string(s.substr(0, 37)) + "...";
  return std::string(s);
}

struct Token {
  enum Kind : unsigned char { Word, Group, Equals } kind;
  std::string_view raw;  // Word: the word (escapes kept); Group: text between the braces
};

std::vector<Token> Lex(std::string_view s) {
  std::vector<Token> out;
  std::size_t i = 0;
  const std::size_t n = s.size();
  while (i < n) {
    const char c = s[i];
    if (IsSpace(c)) {
      ++i;
    } else if (c == '=') {
      out.push_back({Token::Equals, s.substr(i, 1)});
      ++i;
    } else if (c == '{') {
      int depth = 1;
      std::size_t j = i + 1;
      for (; j < n; ++j) {
        if (s[j] == '\\' && j + 1 < n && IsEscapable(s[j + 1])) {
          ++j;
        } else if (s[j] == '{') {
          ++depth;
        } else if (s[j] == '}' && --depth == 0) {
          break;
        }
      }
      if (j >= n) Fail(kErrOptionSyntax, "Option list has an unclosed '{': '" + Shown(s.substr(i)) + "'");
      out.push_back({Token::Group, s.substr(i + 1, j - i - 1)});
      i = j + 1;
    } else if (c == '}') {
      Fail(kErrOptionSyntax, "Option list has an unexpected '}': '" + Shown(s.substr(i)) + "'");
    } else {
      std::size_t j = i;
      while (j < n && !IsSpace(s[j]) && s[j] != '=' && s[j] != '{' && s[j] != '}') {
        if (s[j] == '\\' && j + 1 < n && IsEscapable(s[j + 1])) ++j;
        ++j;
      }
      out.push_back({Token::Word, s.substr(i, j - i)});
      i = j;
    }
  }
  return out;
}

[[noreturn]] void BadValue(const Key& key, std::string_view value, const char* why) {
  Fail(kErrOptionValue, "Bad value '" + Shown(value) + "' for option '" + key.name + "': " + why);
}

bool ParseNumber(std::string_view w, double& out) {
  if (!w.empty() && w.front() == '+') w.remove_prefix(1);
  if (w.empty()) return false;
  const char* end = w.data() + w.size();
  const auto r = std::from_chars(w.data(), end, out);
  return r.ec == std::errc() && r.ptr == end && std::isfinite(out);
}

const Key* FindKey(const Schema& schema, std::string_view name) {
  for (std::size_t i = 0; i < schema.size; ++i)
    if (EqualNoCase(schema.keys[i].name, name)) return &schema.keys[i];
  return nullptr;
}

bool IsKeyword(const Key& key, std::string_view w) {
  for (const char* const* k = key.keywords; k && *k; ++k)
    if (EqualNoCase(*k, w)) return true;
  return false;
}

std::string KeywordChoices(const Key& key) {
  std::string r;
  for (const char* const* k = key.keywords; k && *k; ++k) {
    if (!r.empty()) r += ", ";
    r += *k;
  }
  return r;
}

// The words of a value that may be a word or a braced list of words.
std::vector<std::string_view> WordsOf(const Key& key, const Token& t) {
  if (t.kind == Token::Word) return {t.raw};
  std::vector<std::string_view> words;
  for (const Token& inner : Lex(t.raw)) {
    if (inner.kind != Token::Word) BadValue(key, t.raw, "a list of single words is expected");
    words.push_back(inner.raw);
  }
  return words;
}

void CheckRange(const Key& key, std::string_view shown, double v) {
  if (key.positive && !(v > 0)) BadValue(key, shown, "must be above 0");
  if (v < key.min || v > key.max) BadValue(key, shown, "out of range");
}

Value Convert(const Key& key, const Token& t) {
  Value v;
  switch (key.type) {
    case Type::Bool: {
      if (t.kind != Token::Word) BadValue(key, t.raw, "true or false is expected");
      if (EqualNoCase(t.raw, "true")) v.flag = true;
      else if (EqualNoCase(t.raw, "false")) v.flag = false;
      else BadValue(key, t.raw, "true or false is expected");
      break;
    }
    case Type::Int: {
      double d = 0;
      if (t.kind != Token::Word || !ParseNumber(t.raw, d) || d != std::floor(d))
        BadValue(key, t.raw, "a whole number is expected");
      CheckRange(key, t.raw, d);
      v.number = d;
      break;
    }
    case Type::Number:
    case Type::NumberOrPercent: {
      if (t.kind != Token::Word) BadValue(key, t.raw, "a number is expected");
      std::string_view w = t.raw;
      if (key.type == Type::NumberOrPercent && !w.empty() && w.back() == '%') {
        v.percent = true;
        w.remove_suffix(1);
      }
      if (!ParseNumber(w, v.number)) BadValue(key, t.raw, "a number is expected");
      CheckRange(key, t.raw, v.number);
      break;
    }
    case Type::String:
      v.text = Unescape(t.raw);
      break;
    case Type::Keyword: {
      if (t.kind != Token::Word || !IsKeyword(key, t.raw))
        BadValue(key, t.raw, ("one of " + KeywordChoices(key) + " is expected").c_str());
      v.text = LowerAscii(t.raw);
      break;
    }
    case Type::KeywordList: {
      for (std::string_view w : WordsOf(key, t)) {
        if (!IsKeyword(key, w)) BadValue(key, w, ("one of " + KeywordChoices(key) + " is expected").c_str());
        v.words.push_back(LowerAscii(w));
      }
      break;
    }
    case Type::NumberList: {
      for (std::string_view w : WordsOf(key, t)) {
        double d = 0;
        if (!ParseNumber(w, d)) BadValue(key, t.raw, "numbers are expected");
        CheckRange(key, w, d);
        v.numbers.push_back(d);
      }
      if (static_cast<int>(v.numbers.size()) != key.count)
        BadValue(key, t.raw, (std::to_string(key.count) + " numbers are expected").c_str());
      break;
    }
    case Type::Color: {
      const std::vector<std::string_view> w = WordsOf(key, t);
      std::size_t need = 0;
      if (!w.empty() && EqualNoCase(w[0], "rgb")) {
        v.color.space = Color::Rgb;
        need = 3;
      } else if (!w.empty() && EqualNoCase(w[0], "gray")) {
        v.color.space = Color::Gray;
        need = 1;
      } else {
        BadValue(key, t.raw, "{rgb r g b} or {gray g} is expected");
      }
      if (w.size() != need + 1) BadValue(key, t.raw, "wrong number of colour components");
      for (std::size_t i = 0; i < need; ++i) {
        if (!ParseNumber(w[i + 1], v.color.c[i]) || v.color.c[i] < 0 || v.color.c[i] > 1)
          BadValue(key, t.raw, "colour components from 0 to 1 are expected");
      }
      break;
    }
    case Type::Position: {
      const std::vector<std::string_view> w = WordsOf(key, t);
      if (w.empty() || w.size() > 2) BadValue(key, t.raw, "one or two of left, center, right, top, bottom");
      bool hSet = false, vSet = false;
      for (std::string_view word : w) {
        const bool left = EqualNoCase(word, "left"), right = EqualNoCase(word, "right");
        const bool top = EqualNoCase(word, "top"), bottom = EqualNoCase(word, "bottom");
        if (left || right) {
          if (hSet) BadValue(key, t.raw, "two horizontal positions");
          v.position.h = left ? HPos::Left : HPos::Right;
          hSet = true;
        } else if (top || bottom) {
          if (vSet) BadValue(key, t.raw, "two vertical positions");
          v.position.v = top ? VPos::Top : VPos::Bottom;
          vSet = true;
        } else if (!EqualNoCase(word, "center")) {
          BadValue(key, t.raw, "one or two of left, center, right, top, bottom");
        }
      }
      // "center" (or nothing) centres the directions not given.
      if (!hSet) v.position.h = HPos::Center;
      if (!vSet) v.position.v = VPos::Center;
      break;
    }
    case Type::Optlist:
      if (t.kind != Token::Group) BadValue(key, t.raw, "an option list in braces is expected");
      v.lists.push_back(Parse(t.raw, *key.nested));
      break;
    case Type::OptlistList:
      if (t.kind != Token::Group) BadValue(key, t.raw, "a list of option lists in braces is expected");
      for (const Token& inner : Lex(t.raw)) {
        if (inner.kind != Token::Group) BadValue(key, t.raw, "each item must be an option list in braces");
        v.lists.push_back(Parse(inner.raw, *key.nested));
      }
      break;
  }
  return v;
}

}  // namespace

const Schema kNoOptions{nullptr, 0};

Value::Value() = default;
Value::~Value() = default;
Value::Value(const Value&) = default;
Value::Value(Value&&) noexcept = default;
Value& Value::operator=(const Value&) = default;
Value& Value::operator=(Value&&) noexcept = default;

const Value* Options::Find(std::string_view key) const {
  for (auto it = items_.rbegin(); it != items_.rend(); ++it)
    if (EqualNoCase(it->first->name, key)) return &it->second;
  return nullptr;
}

bool Options::Flag(std::string_view key, bool fallback) const {
  const Value* v = Find(key);
  return v ? v->flag : fallback;
}

double Options::Number(std::string_view key, double fallback) const {
  const Value* v = Find(key);
  return v ? v->number : fallback;
}

const std::string& Options::Text(std::string_view key) const {
  static const std::string empty;
  const Value* v = Find(key);
  return v ? v->text : empty;
}

Options Parse(std::string_view text, const Schema& schema) {
  Options result;
  const std::vector<Token> t = Lex(text);
  const std::size_t n = t.size();
  std::size_t i = 0;
  while (i < n) {
    if (t[i].kind != Token::Word) {
      std::string found = t[i].kind == Token::Group ? "{" : "=";
      if (t[i].kind == Token::Group) found.append(t[i].raw).append("}");
      Fail(kErrOptionSyntax, "Option list: an option name is expected, not '" + Shown(found) + "'");
    }
    const std::string name = Unescape(t[i].raw);
    const Key* key = FindKey(schema, name);
    if (!key) Fail(kErrOptionUnknown, "Unknown option '" + Shown(name) + "'");
    const bool followedByEquals = i + 1 < n && t[i + 1].kind == Token::Equals;
    const Token* value = nullptr;
    if (followedByEquals) {
      // "key=" with nothing usable after it: the end, another "=", or the
      // next key of a "key=value" pair.
      const bool missing = i + 2 >= n || t[i + 2].kind == Token::Equals ||
                           (t[i + 2].kind == Token::Word && i + 3 < n && t[i + 3].kind == Token::Equals);
      if (missing && key->type == Type::String && !(i + 2 < n && t[i + 2].kind == Token::Equals)) {
        // "key=" before the next key or at the end: an empty text.
        result.items_.emplace_back(key, Value{});
        i += 2;
        continue;
      }
      if (missing) Fail(kErrOptionValue, "Option '" + std::string(key->name) + "' has no value");
      value = &t[i + 2];
      i += 3;
    } else if (key->type == Type::Bool) {
      if (i + 1 < n && t[i + 1].kind == Token::Word &&
          (EqualNoCase(t[i + 1].raw, "true") || EqualNoCase(t[i + 1].raw, "false")) &&
          !(i + 2 < n && t[i + 2].kind == Token::Equals)) {
        value = &t[i + 1];
        i += 2;
      } else {
        Value v;
        v.flag = true;
        result.items_.emplace_back(key, std::move(v));
        ++i;
        continue;
      }
    } else {
      const bool missing = i + 1 >= n || (t[i + 1].kind == Token::Word && i + 2 < n && t[i + 2].kind == Token::Equals);
      if (missing) Fail(kErrOptionValue, "Option '" + std::string(key->name) + "' has no value");
      value = &t[i + 1];
      i += 2;
    }
    result.items_.emplace_back(key, Convert(*key, *value));
  }
  return result;
}

}  // namespace qmpdf::opt
