#include "design/LSystem.h"

#include <bit>
#include <cstdint>
#include <vector>

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "core/HslColor.h"

namespace {

constexpr double kPi = 3.141592654;

struct PresetText {
  const char* name;
  const char* axiom;
  const char* ruleF;
  const char* ruleX;
  const char* ruleY;
  const char* ruleB;
  double angle;
};

// Names in Windows-1251: Koch snowflake, Hilbert curve, Gosper curve,
// Sierpinski carpet, Sierpinski curve, Heighway dragon, island, mosaic,
// Peano curve, chain, bush, snowflake, weed, flower.
const PresetText kPresets[CLSystemPreset::kCount] = {
    {"\xD1\xED\xE5\xE6\xE8\xED\xEA\xE0 \xCA\xEE\xF5\xE0", "F++F++F", "F-F++F-F", "", "", "", 60.0},
    {"\xCA\xF0\xE8\xE2\xE0\xFF \xC3\xE8\xEB\xFC\xE1\xE5\xF0\xF2\xE0", "X", "F", "-YF+XFX+FY-", "+XF-YFY-FX+", "",
     90.0},
    {"\xCA\xF0\xE8\xE2\xE0\xFF \xC3\xEE\xF1\xEF\xE5\xF0\xEE", "XF", "F", "X+YF++YF-FX--FXFX-YF+",
     "-FX+YFYF++YF+FX--FX-Y", "", 60.0},
    {"\xCA\xEE\xE2\xE5\xF0 \xD1\xE5\xF0\xEF\xE8\xED\xF1\xEA\xEE\xE3\xEE", "FXF--FF--FF", "FF", "--FXF++FXF++FXF--",
     "", "", 60.0},
    {"\xCA\xF0\xE8\xE2\xE0\xFF \xD1\xE5\xF0\xEF\xE8\xED\xF1\xEA\xEE\xE3\xEE", "F+FX+F+XF", "F",
     "XF-F+F-XF+F+XF-F+F-X", "", "", 90.0},
    {"\xC4\xF0\xE0\xEA\xEE\xED \xD5\xE0\xF0\xF2\xE5\xF0\xE0-\xD5\xE0\xE9\xF2\xE2\xE5\xFF", "FX", "F", "X+YF+",
     "-FX-Y", "", 90.0},
    {"\xCE\xF1\xF2\xF0\xEE\xE2", "F+F+F+F", "F+F-F-FFF+F+F-F", "", "", "", 90.0},
    {"\xCC\xEE\xE7\xE0\xE8\xEA\xE0", "F-F-F-F", "F-B+FF-F-FB-FF+B-FF+F+FF+FB+FFF", "", "", "BBBBBB", 90.0},
    {"\xCA\xF0\xE8\xE2\xE0\xFF \xCF\xE5\xE0\xED\xEE", "F", "F-F+F+F+F-F-F-F+F", "", "", "", 90.0},
    {"\xD6\xE5\xEF\xEE\xF7\xEA\xE0", "F+F+F+F", "F+B-F-FFF+F+B-F", "", "", "BBB", 90.0},
    {"\xCA\xF3\xF1\xF2", "F", "F-F+[+F-F-]-[-F+F+F]", "", "", "", 22.5},
    {"\xD1\xED\xE5\xE6\xE8\xED\xEA\xE0", "[F]+[F]+[F]+[F]+[F]+[F]", "F[++F][-FF]FF[+F][-F]FF", "", "", "", 60.0},
    {"\xD1\xEE\xF0\xED\xFF\xEA", "F", "F[+F]F[-F]F", "", "", "", 180.0 / 7.0},
    {"\xD6\xE2\xE5\xF2\xEE\xEA", "F[+F+F][-F-F][++F][--F]F", "FF[++F][+F][F][-F][--F]", "", "", "", 11.25},
};

bool IsPlainSymbol(char c) {
  switch (c) {
    case 'F': case 'f': case 'B': case 'l': case 'X': case 'x': case 'Y': case 'y':
    case '+': case '-': case '[': case ']': case ' ':
      return true;
    default:
      return false;
  }
}

// The three fields of a colour command after its four opening characters:
// up to ',', up to ',', up to ')'. Each must be non-empty.
bool SplitCommandFields(const CString& text, int position, std::string fields[3], int& length) {
  const std::string& s = text.str();
  if (position < 0 || static_cast<size_t>(position) >= s.size() || s.size() - static_cast<size_t>(position) <= 4)
    return false;
  size_t p = static_cast<size_t>(position) + 4;
  const char ends[3] = {',', ',', ')'};
  for (int i = 0; i < 3; ++i) {
    const size_t e = s.find(ends[i], p);
    if (e == std::string::npos || e == p) return false;
    fields[i] = s.substr(p, e - p);
    p = e + 1;
  }
  length = static_cast<int>(p) - position;
  return true;
}

}  // namespace

void CLSystemPreset::Load(int index) {
  name.Empty();
  axiom.Empty();
  ruleF.Empty();
  ruleX.Empty();
  ruleY.Empty();
  ruleB.Empty();
  hslUpdating.Empty();
  angle = 0.0;
  unusedNumbers[1] = 0.0;
  unusedNumbers[0] = 3.0;
  color = 0;
  if (index < 0 || index >= kCount) return;
  const PresetText& p = kPresets[index];
  name = p.name;
  axiom = p.axiom;
  ruleF = p.ruleF;
  ruleX = p.ruleX;
  ruleY = p.ruleY;
  ruleB = p.ruleB;
  angle = p.angle;
  if (index == 10 || index == 13) unusedNumbers[1] = 270.0;
}

double DegreesToRadians(int degrees) {
  if (degrees < 0) {
    degrees %= 360;
    if (degrees < 0) degrees += 360;
  }
  if (degrees <= 0) return 0.0;
  const int divisor = 180 / degrees;
  if (divisor == 0) return kPi * static_cast<double>(degrees) / 180.0;
  return kPi / static_cast<double>(divisor);
}

bool ParseRgbCommand(const CString& text, int position, int& length, COLORREF& value) {
  std::string fields[3];
  int n = 0;
  if (!SplitCommandFields(text, position, fields, n)) return false;
  const char* p = text.GetString() + position;
  if (std::strncmp(p, "RGB(", 4) != 0 && std::strncmp(p, "rgb(", 4) != 0) return false;
  int c[3];
  for (int i = 0; i < 3; ++i) {
    c[i] = std::atoi(fields[i].c_str());
    if (c[i] < 0 || c[i] > 255) return false;
  }
  length = n;
  value = RGB(static_cast<BYTE>(c[0]), static_cast<BYTE>(c[1]), static_cast<BYTE>(c[2]));
  return true;
}

bool ParseHslCommand(const CString& text, int position, int& length, float& h, float& s, float& l) {
  std::string fields[3];
  int n = 0;
  if (!SplitCommandFields(text, position, fields, n)) return false;
  const char* p = text.GetString() + position;
  if (std::strncmp(p, "HSL(", 4) != 0 && std::strncmp(p, "hsl(", 4) != 0) return false;
  const double hv = std::atof(fields[0].c_str());
  const double sv = std::atof(fields[1].c_str());
  const double lv = std::atof(fields[2].c_str());
  if (!(hv >= 0.0 && hv <= 360.0) || !(sv >= 0.0 && sv <= 1.0) || !(lv >= 0.0 && lv <= 1.0)) return false;
  length = n;
  h = static_cast<float>(hv);
  s = static_cast<float>(sv);
  l = static_cast<float>(lv);
  return true;
}

void CLSystem::SetFromPreset(const CLSystemPreset& preset) {
  axiom = preset.axiom;
  ruleF = preset.ruleF;
  ruleX = preset.ruleX;
  ruleY = preset.ruleY;
  ruleB = preset.ruleB;
  hslUpdating = preset.hslUpdating;
  angle_ = preset.angle;
  color_ = preset.color;
}

bool CLSystem::IsValidString(const CString& text) const {
  for (int i = 0; i < text.GetLength();) {
    int length = 0;
    COLORREF rgb = 0;
    float h = 0, s = 0, l = 0;
    if (ParseRgbCommand(text, i, length, rgb) || ParseHslCommand(text, i, length, h, s, l)) {
      i += length;
      continue;
    }
    if (!IsPlainSymbol(text[i])) return false;
    ++i;
  }
  return true;
}

bool CLSystem::Validate(CString& current, CString& error) {
  if (axiom.IsEmpty()) {
    error = "Axiom is empty";
    return false;
  }
  if (!IsValidString(axiom)) {
    error = "Wrong axiom";
    return false;
  }
  if (ruleF.IsEmpty()) {
    error = "The rule <new F> is empty";
    return false;
  }
  if (!IsValidString(ruleF)) {
    error = "Wrong rule <new F>";
    return false;
  }
  if (!IsValidString(ruleX)) {
    error = "Wrong rule <new X>";
    return false;
  }
  if (!IsValidString(ruleY)) {
    error = "Wrong rule <new Y>";
    return false;
  }
  if (!hslUpdating.IsEmpty()) {
    int length = 0;
    float h = 0, s = 0, l = 0;
    if (!ParseHslCommand(hslUpdating, 0, length, h, s, l)) {
      error = "Wrong HSL Updating";
      return false;
    }
  }
  angle_ = DegreesToRadians(static_cast<int>(angle_));
  current_ = axiom;
  pending_ = 0;
  Rewrite(current);
  return true;
}

namespace {

bool IsPlainText(const std::string& text) {
  for (const char c : text)
    if (!IsPlainSymbol(c)) return false;
  return true;
}

// One generation of `text` as a string: colour commands are copied whole,
// F f -> rule F, B l -> rule B, X x -> rule X, Y y -> rule Y, spaces are
// dropped, every other symbol is kept.
std::string RewriteText(const CString& text, const std::string& f, const std::string& b, const std::string& x,
                        const std::string& y) {
  const std::string& s = text.str();
  std::string next;
  next.reserve(s.size() * 4);
  for (size_t i = 0; i < s.size();) {
    const char c = s[i];
    if (c == 'R' || c == 'r' || c == 'H' || c == 'h') {
      int length = 0;
      COLORREF rgb = 0;
      float h = 0, sv = 0, l = 0;
      if (ParseRgbCommand(text, static_cast<int>(i), length, rgb) ||
          ParseHslCommand(text, static_cast<int>(i), length, h, sv, l)) {
        next.append(s, i, static_cast<size_t>(length));
        i += static_cast<size_t>(length);
        continue;
      }
    }
    switch (c) {
      case 'F': case 'f': next += f; break;
      case 'B': case 'l': next += b; break;
      case 'X': case 'x': next += x; break;
      case 'Y': case 'y': next += y; break;
      case ' ': break;
      default: next += c; break;
    }
    ++i;
  }
  return next;
}

}  // namespace

// The string of plain symbols `base` rewritten `depth` times, handed out
// piece by piece without writing the whole string. A symbol rewritten d
// times is worked out depth first; short expansions (up to kBlock
// characters) are made once and copied whole.
class CLSystem::CExpansion {
 public:
  CExpansion(const std::string& base, const CRules& rules, int depth)
      : rule_{&rules.f, &rules.b, &rules.x, &rules.y} {
    // length_[d][k]: the length of a symbol of rule k rewritten d times.
    depths_ = size_t(depth > 1 ? depth : 1) + 1;
    length_.resize(depths_ * 4);
    for (int k = 0; k < 4; ++k) length_[4 + size_t(k)] = static_cast<long long>(rule_[k]->size());
    for (size_t d = 2; d < depths_; ++d)
      for (int k = 0; k < 4; ++k) {
        long long sum = 0;
        for (const char c : *rule_[k]) sum = Capped(sum + LengthOf(c, d - 1));
        length_[d * 4 + size_t(k)] = sum;
      }
    blockDepths_ = depths_ < kBlockDepths ? depths_ : kBlockDepths;
    blocks_.resize(blockDepths_ * 4);
    for (size_t d = 1; d < blockDepths_; ++d)
      for (int k = 0; k < 4; ++k) {
        if (length_[d * 4 + size_t(k)] > kBlock) continue;
        std::string& block = blocks_[d * 4 + size_t(k)].text;
        if (d == 1) {
          block = *rule_[k];
        } else {
          for (const char c : *rule_[k]) {
            const int kind = KindOf(c);
            if (kind < 0) block += c;
            else if (kind < kSpace) block += blocks_[(d - 1) * 4 + size_t(kind)].text;
          }
        }
        blocks_[d * 4 + size_t(k)].ready = true;
      }
    for (const char c : base) total_ = Capped(total_ + LengthOf(c, size_t(depth)));
    stack_.push_back(CFrame{base.data(), base.data() + base.size(), depth});
  }

  // The whole string's length (at most kMaxLength).
  long long Length() const { return total_; }

  // Appends the next characters to `out` until it holds at least `limit`
  // (or the string ends); false when nothing was left.
  bool Next(std::string& out, size_t limit) {
    const size_t before = out.size();
    while (!stack_.empty() && out.size() < limit) {
      CFrame& frame = stack_.back();
      if (frame.p == frame.end) {
        stack_.pop_back();
        continue;
      }
      const int depth = frame.depth;
      if (depth == 0) {
        out.append(frame.p, frame.end);
        frame.p = frame.end;
        continue;
      }
      const char c = *frame.p++;
      const int kind = KindOf(c);
      if (kind < 0) {
        out += c;
      } else if (kind < kSpace) {
        const size_t slot = size_t(depth) * 4 + size_t(kind);
        if (size_t(depth) < blockDepths_ && blocks_[slot].ready) {
          out += blocks_[slot].text;
        } else {
          const std::string& rule = *rule_[kind];
          stack_.push_back(CFrame{rule.data(), rule.data() + rule.size(), depth - 1});
        }
      }
    }
    return out.size() > before;
  }

 private:
  static constexpr long long kMaxLength = 1LL << 61;
  static constexpr long long kBlock = 4096;
  static constexpr size_t kBlockDepths = 40;
  static constexpr int kSpace = 4;
  // 0-3: the rule that rewrites the symbol (F, B, X, Y); kSpace: dropped
  // when rewritten; -1: kept as it is.
  static int KindOf(char c) {
    switch (c) {
      case 'F': case 'f': return 0;
      case 'B': case 'l': return 1;
      case 'X': case 'x': return 2;
      case 'Y': case 'y': return 3;
      case ' ': return kSpace;
      default: return -1;
    }
  }
  static long long Capped(long long length) { return length < kMaxLength ? length : kMaxLength; }
  long long LengthOf(char c, size_t depth) const {
    if (depth == 0) return 1;
    const int kind = KindOf(c);
    if (kind < 0) return 1;
    return kind == kSpace ? 0 : length_[depth * 4 + size_t(kind)];
  }

  struct CFrame {
    const char* p;
    const char* end;
    int depth;
  };
  struct CBlock {
    std::string text;
    bool ready = false;
  };
  const std::string* rule_[4];
  // By depth d and rule k at d * 4 + k.
  size_t depths_ = 0, blockDepths_ = 0;
  std::vector<long long> length_;
  std::vector<CBlock> blocks_;
  std::vector<CFrame> stack_;
  long long total_ = 0;
};

CLSystem::CRules CLSystem::CurrentRules() const {
  return CRules{ruleF.str(), ruleB.str(), ruleX.str(), ruleY.str()};
}

void CLSystem::Rewrite() {
  CRules rules = CurrentRules();
  // Rules changed since the last rewriting: the generations made by the
  // old ones are written out first.
  if (pending_ > 0 && !(rules == pendingRules_)) WriteOut();
  if (pending_ > 0) {
    ++pending_;
    return;
  }
  if (IsPlainText(current_.str()) && IsPlainText(rules.f) && IsPlainText(rules.b) && IsPlainText(rules.x) &&
      IsPlainText(rules.y)) {
    pendingRules_ = std::move(rules);
    pending_ = 1;
    return;
  }
  current_ = CString(RewriteText(current_, rules.f, rules.b, rules.x, rules.y));
}

void CLSystem::WriteOut() const {
  if (pending_ == 0) return;
  CExpansion expansion(current_.str(), pendingRules_, pending_);
  std::string text;
  text.reserve(static_cast<size_t>(expansion.Length()));
  expansion.Next(text, static_cast<size_t>(-1));
  current_ = CString(std::move(text));
  pending_ = 0;
}

const CString& CLSystem::GetCurrent() const {
  WriteOut();
  return current_;
}

long long CLSystem::GetCurrentLength() const {
  if (pending_ == 0) return current_.GetLength();
  return CExpansion(current_.str(), pendingRules_, pending_).Length();
}

void CLSystem::Rewrite(CString& out) {
  Rewrite();
  out = GetCurrent();
}

void CLSystem::ShiftColor(int& color, float h, float s, float l) const {
  CHslColor hsl(static_cast<COLORREF>(color));
  float hue = hsl.GetHue() + h;
  if (hue > 360.0f) hue -= 360.0f;
  float saturation = hsl.GetSaturation() + s;
  if (saturation > 1.0f) saturation -= 1.0f;
  float lightness = hsl.GetLightness() + l;
  if (lightness > 1.0f) lightness -= 1.0f;
  hsl.SetHsl(hue, lightness, saturation);
  hsl.UpdateRgb();
  color = static_cast<int>(hsl.GetColorRef());
}

namespace {

class CCollectSink : public ILSegmentSink {
 public:
  explicit CCollectSink(std::vector<CLSegment>& out) : out_(out) {}
  void OnSegments(const CLSegment* segments, size_t count) override {
    out_.insert(out_.end(), segments, segments + count);
  }

 private:
  std::vector<CLSegment>& out_;
};

}  // namespace

void CLSystem::Draw(const CLPoint& start, double step, double heading, std::vector<CLSegment>& segments) {
  segments.clear();
  CCollectSink sink(segments);
  DrawTo(start, step, heading, &sink);
}

void CLSystem::DrawTo(const CLPoint& start, double step, double heading, ILSegmentSink* sink) {
  min_ = CLPoint{100000.0, 100000.0};
  max_ = CLPoint{-100000.0, -100000.0};
  stack_.clear();
  CLTurtle turtle{start.x, start.y, heading, color_};

  float updH = 0, updS = 0, updL = 0;
  int updLength = 0;
  const bool updating = !hslUpdating.IsEmpty() && ParseHslCommand(hslUpdating, 0, updLength, updH, updS, updL);

  struct CTrig {
    uint64_t bits;
    double cosine, sine;
    bool used;
  };
  constexpr size_t kTrigSlots = 4096;
  constexpr size_t kPiece = 64 * 1024;
  std::vector<CTrig> trig(kTrigSlots, CTrig{0, 0, 0, false});

  // Draws the symbols s[0, n); colour commands are read from `text` (the
  // whole current string; null for pieces of plain symbols).
  // Segments go to the sink in batches.
  constexpr size_t kBatch = 256;
  CLSegment batch[kBatch];
  size_t batched = 0;
  const auto run = [&](const char* s, size_t n, const CString* text) {
    // The turtle and the box in locals while the piece is drawn.
    CLTurtle t = turtle;
    CLPoint low = min_, high = max_;
    for (size_t i = 0; i < n;) {
      const char c = s[i];
      int length = 0;
      if (text && (c == 'R' || c == 'r')) {
        COLORREF rgb = 0;
        if (ParseRgbCommand(*text, static_cast<int>(i), length, rgb)) {
          t.color = static_cast<int>(rgb);
          i += static_cast<size_t>(length);
          continue;
        }
      } else if (text && (c == 'H' || c == 'h')) {
        float h = 0, sv = 0, l = 0;
        if (ParseHslCommand(*text, static_cast<int>(i), length, h, sv, l)) {
          ShiftColor(t.color, h, sv, l);
          i += static_cast<size_t>(length);
          continue;
        }
      }
      switch (c) {
        case 'F': case 'f': case 'B': case 'l': {
          if (updating) ShiftColor(t.color, updH, updS, updL);
          // Headings repeat (a curve turns by the same angles over and
          // over): their cosine and sine are kept by the heading's bits.
          const uint64_t bits = std::bit_cast<uint64_t>(t.heading);
          CTrig& slot = trig[(bits ^ (bits >> 29) ^ (bits >> 47)) & (kTrigSlots - 1)];
          if (!slot.used || slot.bits != bits) slot = CTrig{bits, std::cos(t.heading), std::sin(t.heading), true};
          const double nx = t.x + step * slot.cosine;
          const double ny = t.y + step * slot.sine;
          if (c == 'F' || c == 'f') {
            for (const CLPoint& p : {CLPoint{t.x, t.y}, CLPoint{nx, ny}}) {
              if (p.x < low.x) low.x = p.x;
              if (p.y < low.y) low.y = p.y;
              if (p.x > high.x) high.x = p.x;
              if (p.y > high.y) high.y = p.y;
            }
            if (sink) {
              batch[batched++] = CLSegment{t.x, t.y, nx, ny, t.color};
              if (batched == kBatch) {
                sink->OnSegments(batch, batched);
                batched = 0;
              }
            }
          }
          t.x = nx;
          t.y = ny;
          break;
        }
        case '+': t.heading += angle_; break;
        case '-': t.heading -= angle_; break;
        case '[': stack_.push_back(t); break;
        case ']':
          if (stack_.empty()) {
            t = CLTurtle{};
          } else {
            t = stack_.back();
            stack_.pop_back();
          }
          break;
        default: break;
      }
      ++i;
    }
    turtle = t;
    min_ = low;
    max_ = high;
  };

  if (pending_ == 0) {
    run(current_.str().data(), current_.str().size(), &current_);
    if (batched > 0) sink->OnSegments(batch, batched);
    return;
  }
  // A generation not written out: its symbols piece by piece.
  CExpansion expansion(current_.str(), pendingRules_, pending_);
  std::string piece;
  piece.reserve(kPiece + 4096);
  for (;;) {
    piece.clear();
    if (!expansion.Next(piece, kPiece)) break;
    run(piece.data(), piece.size(), nullptr);
  }
  if (batched > 0) sink->OnSegments(batch, batched);
}
