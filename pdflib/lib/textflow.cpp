#include "pdflib/lib/textflow.h"

#include <algorithm>

namespace qmpdf {
namespace {
constexpr double kEps = 1e-6;
}

std::uint32_t Textflow::StyleIndex(const FlowStyle& style) {
  if (!styles_.empty() && styles_.back() == style) return static_cast<std::uint32_t>(styles_.size() - 1);
  // Flows alternate between a few styles (a word chart's colours): each is kept once.
  std::string key(reinterpret_cast<const char*>(&style.font), sizeof style.font);
  key.append(reinterpret_cast<const char*>(&style.size), sizeof style.size);
  key.append(reinterpret_cast<const char*>(style.fill.c), sizeof style.fill.c);
  key += static_cast<char>(style.fill.space);
  key += static_cast<char>(style.underline);
  key += static_cast<char>(style.align);
  const auto [it, added] = styleIndex_.emplace(std::move(key), static_cast<std::uint32_t>(styles_.size()));
  if (added) styles_.push_back(style);
  return it->second;
}

void Textflow::Append(std::string_view text, const FlowStyle& style, const Measurer& m) {
  const std::uint32_t si = StyleIndex(style);
  const FontMetrics& fm = m.Metrics(style.font);
  const double scale = style.size / 1000.0;
  text_.reserve(text_.size() + text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\0') continue;
    if (c == '\n' || c == '\r') {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      const auto at = static_cast<std::uint32_t>(text_.size());
      tokens_.push_back({Token::Break, si, at, at, 0});
      continue;
    }
    const bool space = c == ' ' || c == '\t';
    const Token::Kind kind = space ? Token::Space : Token::Word;
    const char stored = space ? ' ' : c;
    const double w = fm.widths[static_cast<unsigned char>(stored)] * scale;
    // Extend the last token when it is of the same kind and style and ends here.
    if (!tokens_.empty()) {
      Token& last = tokens_.back();
      if (last.kind == kind && last.style == si && last.end == text_.size()) {
        text_ += stored;
        ++last.end;
        last.width += w;
        if (kind == Token::Word) lastWord_ = tokens_.size() - 1;
        continue;
      }
    }
    const auto at = static_cast<std::uint32_t>(text_.size());
    text_ += stored;
    tokens_.push_back({kind, si, at, at + 1, w});
    if (kind == Token::Word) lastWord_ = tokens_.size() - 1;
  }
}

double Textflow::PieceWidth(const Token& t, std::uint32_t from, std::uint32_t to, const Measurer& m) const {
  if (from == 0 && to == t.end - t.begin) return t.width;
  const FlowStyle& st = styles_[t.style];
  return TextWidth(m.Metrics(st.font), text_.data() + t.begin + from, to - from, st.size);
}

bool Textflow::VisibleFrom(const Pos& p) const {
  if (lastWord_ == SIZE_MAX) return false;
  if (p.token < lastWord_) return true;
  if (p.token > lastWord_) return false;
  const Token& t = tokens_[lastWord_];
  return p.offset < t.end - t.begin;
}

Textflow::Line Textflow::LayoutLine(const State& s, double width, const Measurer& m) const {
  Line line;
  Pos p = s.pos;
  // Spaces where a paragraph was wrapped are dropped at the start of the next line.
  if (!s.paragraphStart)
    while (p.token < tokens_.size() && tokens_[p.token].kind == Token::Space) p = {p.token + 1, 0};
  line.begin = p;

  double x = 0;
  int spaces = 0;
  bool content = false;
  double contentX = 0;
  int contentSpaces = 0;
  Pos contentEnd = p;
  // The last place to break at: the content before a run of spaces, and
  // where the next line starts after that run.
  bool haveBreak = false;
  Pos breakEnd, breakNext;
  double breakX = 0;
  int breakSpaces = 0;

  std::size_t i = p.token;
  std::uint32_t off = p.offset;
  for (;;) {
    if (i >= tokens_.size()) {
      line.next = {i, 0};
      line.endsParagraph = true;
      break;
    }
    const Token& t = tokens_[i];
    if (t.kind == Token::Break) {
      line.next = {i + 1, 0};
      line.endsParagraph = true;
      break;
    }
    if (t.kind == Token::Space) {
      if (content && contentEnd == Pos{i, 0}) {
        haveBreak = true;
        breakEnd = contentEnd;
        breakX = contentX;
        breakSpaces = contentSpaces;
      }
      if (haveBreak) breakNext = {i + 1, 0};
      x += t.width;
      spaces += static_cast<int>(t.end - t.begin);
      ++i, off = 0;
      continue;
    }
    // A word, or what is left of one.
    const std::uint32_t len = t.end - t.begin;
    const double w = PieceWidth(t, off, len, m);
    if (x + w <= width + kEps) {
      x += w;
      content = true;
      contentX = x;
      contentSpaces = spaces;
      contentEnd = {i + 1, 0};
      ++i, off = 0;
      continue;
    }
    if (haveBreak) {
      // Back to the last space: the line ends before it, the next one starts after it.
      contentEnd = breakEnd;
      contentX = breakX;
      contentSpaces = breakSpaces;
      line.next = breakNext;
      break;
    }
    // No space to break at: break inside the word, at least one character a line.
    const FlowStyle& st = styles_[t.style];
    const FontMetrics& fm = m.Metrics(st.font);
    std::uint32_t take = off;
    double xx = x;
    while (take < len) {
      const double cw = fm.widths[static_cast<unsigned char>(text_[t.begin + take])] * st.size / 1000.0;
      if (xx + cw > width + kEps && (content || take > off)) break;
      xx += cw;
      ++take;
    }
    if (take > off) {
      contentX = xx;
      contentSpaces = spaces;
      contentEnd = take == len ? Pos{i + 1, 0} : Pos{i, take};
      content = true;
    }
    line.next = contentEnd;
    break;
  }
  line.contentEnd = contentEnd;
  line.width = contentX;
  line.spaces = contentSpaces;
  line.blank = !content;

  // Height, descent and alignment from the content (or the style where an empty line stands).
  double height = 0, descent = 0;
  for (std::size_t k = line.begin.token; k < tokens_.size() && (k < contentEnd.token || (k == contentEnd.token && contentEnd.offset > 0)); ++k) {
    const FlowStyle& st = styles_[tokens_[k].style];
    height = std::max(height, st.size);
    descent = std::max(descent, -m.Metrics(st.font).descent / 1000.0 * st.size);
  }
  const std::size_t styleToken =
      line.begin.token < tokens_.size() ? line.begin.token : (tokens_.empty() ? 0 : tokens_.size() - 1);
  if (height == 0 && !tokens_.empty()) {
    const FlowStyle& st = styles_[tokens_[styleToken].style];
    height = st.size;
    descent = -m.Metrics(st.font).descent / 1000.0 * st.size;
  }
  line.height = height;
  line.descent = descent;
  if (!tokens_.empty()) line.align = styles_[tokens_[styleToken].style].align;
  return line;
}

void Textflow::Render(const Line& line, const Box& box, double baseline, const Measurer& m, Canvas* canvas) const {
  if (!canvas || line.blank) return;
  const double boxW = box.Width();
  double x = box.llx;
  double ws = 0;
  switch (line.align) {
    case Align::Left: break;
    case Align::Center: x += (boxW - line.width) / 2; break;
    case Align::Right: x += boxW - line.width; break;
    case Align::Justify:
      if (!line.endsParagraph && line.spaces > 0 && boxW > line.width) ws = (boxW - line.width) / line.spaces;
      break;
  }
  TextRun run;
  std::uint32_t runStyle = UINT32_MAX;
  auto flush = [&] {
    if (runStyle == UINT32_MAX || run.text.empty()) return;
    canvas->Text(run);
    x += run.width;
    run.text.clear();
    run.width = 0;
  };
  for (std::size_t k = line.begin.token; k < tokens_.size(); ++k) {
    if (k > line.contentEnd.token || (k == line.contentEnd.token && line.contentEnd.offset == 0)) break;
    const Token& t = tokens_[k];
    const std::uint32_t from = k == line.begin.token ? line.begin.offset : 0;
    const std::uint32_t to = k == line.contentEnd.token ? line.contentEnd.offset : t.end - t.begin;
    if (to <= from || t.kind == Token::Break) continue;
    if (t.style != runStyle) {
      flush();
      runStyle = t.style;
      const FlowStyle& st = styles_[t.style];
      run.font = st.font;
      run.size = st.size;
      run.color = st.fill;
      run.underline = st.underline;
      run.wordSpacing = ws;
      run.x = x;
      run.y = baseline;
    }
    run.text.append(text_, t.begin + from, to - from);
    run.width += PieceWidth(t, from, to, m) + (t.kind == Token::Space ? ws * (to - from) : 0);
  }
  flush();
}

FitResult Textflow::FitFrom(State& state, const Box& box, const FlowFitOptions& options, const Measurer& m,
                            Canvas* canvas) const {
  const bool continued = !(state.pos.token == 0 && state.pos.offset == 0);
  State s = state;
  std::vector<Line> lines;
  double used = 0;
  const double boxH = box.Height();
  while (s.pos.token < tokens_.size()) {
    Line line = LayoutLine(s, box.Width(), m);
    if (line.blank && lines.empty() && continued && line.endsParagraph) {
      s = {line.next, true};
      continue;
    }
    if (used + line.height > boxH + kEps) break;
    used += line.height;
    s = {line.next, line.endsParagraph};
    lines.push_back(std::move(line));
  }
  if (lines.empty()) {
    if (VisibleFrom(s.pos)) return FitResult::BoxEmpty;
    state = {{tokens_.size(), 0}, true};
    return FitResult::Stop;
  }
  const bool more = VisibleFrom(s.pos);
  state = more ? s : State{{tokens_.size(), 0}, true};

  // Vertical placement.
  const double extra = std::max(0.0, boxH - used);
  double top = box.ury, gap = 0;
  switch (options.valign) {
    case VAlign::Top: break;
    case VAlign::Center: top -= extra / 2; break;
    case VAlign::Bottom: top -= extra; break;
    case VAlign::Justify:
      if (lines.size() > 1) {
        gap = extra / static_cast<double>(lines.size() - 1);
        if (options.hasSpreadLimit) {
          double limit = 1e300;
          for (const Line& l : lines) {
            const double allowed = options.spreadPercent ? l.height * (options.spreadLimit / 100.0 - 1.0)
                                                         : options.spreadLimit - l.height;
            limit = std::min(limit, std::max(0.0, allowed));
          }
          gap = std::min(gap, limit);
        }
      }
      break;
  }
  double y = top;
  for (const Line& l : lines) {
    Render(l, box, y - l.height + l.descent, m, canvas);
    y -= l.height + gap;
  }
  return more ? FitResult::BoxFull : FitResult::Stop;
}

FitResult Textflow::Fit(const Box& box, const FlowFitOptions& options, const Measurer& m, Canvas* canvas) {
  return FitFrom(state_, box, options, m, canvas);
}

double Textflow::HeightOfAll(double width, const Measurer& m) const {
  State s;
  double h = 0;
  while (s.pos.token < tokens_.size()) {
    if (!VisibleFrom(s.pos)) break;
    const Line line = LayoutLine(s, width, m);
    h += line.height;
    s = {line.next, line.endsParagraph};
  }
  return h;
}

void Textflow::PlaceAll(const Box& box, const Measurer& m, Canvas* canvas) const {
  State s;
  Box tall = box;
  tall.lly = box.ury - HeightOfAll(box.Width(), m) - 1;  // room for every line
  FitFrom(s, tall, FlowFitOptions{}, m, canvas);
}

}  // namespace qmpdf
