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
  Rewrite(current);
  return true;
}

void CLSystem::Rewrite() {
  const std::string& s = current_.str();
  std::string next;
  next.reserve(s.size() * 4);
  for (size_t i = 0; i < s.size();) {
    const char c = s[i];
    if (c == 'R' || c == 'r' || c == 'H' || c == 'h') {
      int length = 0;
      COLORREF rgb = 0;
      float h = 0, sv = 0, l = 0;
      if (ParseRgbCommand(current_, static_cast<int>(i), length, rgb) ||
          ParseHslCommand(current_, static_cast<int>(i), length, h, sv, l)) {
        next.append(s, i, static_cast<size_t>(length));
        i += static_cast<size_t>(length);
        continue;
      }
    }
    switch (c) {
      case 'F': case 'f': next += ruleF.str(); break;
      case 'B': case 'l': next += ruleB.str(); break;
      case 'X': case 'x': next += ruleX.str(); break;
      case 'Y': case 'y': next += ruleY.str(); break;
      case ' ': break;
      default: next += c; break;
    }
    ++i;
  }
  current_ = CString(std::move(next));
}

void CLSystem::Rewrite(CString& out) {
  Rewrite();
  out = current_;
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
  void OnSegment(const CLSegment& segment) override { out_.push_back(segment); }

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
  CLTurtle t{start.x, start.y, heading, color_};

  float updH = 0, updS = 0, updL = 0;
  int updLength = 0;
  const bool updating = !hslUpdating.IsEmpty() && ParseHslCommand(hslUpdating, 0, updLength, updH, updS, updL);

  struct CTrig {
    uint64_t bits;
    double cosine, sine;
    bool used;
  };
  constexpr size_t kTrigSlots = 4096;
  std::vector<CTrig> trig(kTrigSlots, CTrig{0, 0, 0, false});

  const std::string& s = current_.str();
  for (size_t i = 0; i < s.size();) {
    const char c = s[i];
    int length = 0;
    if (c == 'R' || c == 'r') {
      COLORREF rgb = 0;
      if (ParseRgbCommand(current_, static_cast<int>(i), length, rgb)) {
        t.color = static_cast<int>(rgb);
        i += static_cast<size_t>(length);
        continue;
      }
    } else if (c == 'H' || c == 'h') {
      float h = 0, sv = 0, l = 0;
      if (ParseHslCommand(current_, static_cast<int>(i), length, h, sv, l)) {
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
          const CLSegment segment{t.x, t.y, nx, ny, t.color};
          for (const CLPoint& p : {CLPoint{t.x, t.y}, CLPoint{nx, ny}}) {
            if (p.x < min_.x) min_.x = p.x;
            if (p.y < min_.y) min_.y = p.y;
            if (p.x > max_.x) max_.x = p.x;
            if (p.y > max_.y) max_.y = p.y;
          }
          if (sink) sink->OnSegment(segment);
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
}
