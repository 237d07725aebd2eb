// Textflows: text in styled fragments, broken into lines and placed into
// boxes over as many calls (and pages) as it needs.
//
// - "\n" (also "\r\n" and "\r") ends a paragraph; tabs count as spaces; a
//   NUL byte draws nothing.
// - Lines break at spaces; a word wider than the box breaks between
//   characters (at least one character a line, so every call progresses).
// - A line is as high as its largest font (leading = font size); its
//   baseline sits above the line's bottom by the largest descent.
// - Alignment (of the fragment that starts a line): left, center, right,
//   justify (spaces widened; a paragraph's last line stays left).
// - Vertical alignment top, center, bottom, or justify: the lines spread
//   over the box, each gap at most up to the line spread limit.
// - Results: Stop when everything is placed (also an empty flow, and when
//   only empty lines are left), BoxFull when lines were placed and more text
//   is left, BoxEmpty when not even one line fits (nothing placed). Empty
//   lines at the top of a continued box are skipped.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "pdflib/lib/types.h"

namespace qmpdf {

enum class Align : unsigned char { Left, Center, Right, Justify };
enum class VAlign : unsigned char { Top, Center, Bottom, Justify };
enum class FitResult : unsigned char { Stop, BoxFull, BoxEmpty };

struct FlowStyle {
  int font = -1;
  double size = 0;
  Color fill;
  bool underline = false;
  Align align = Align::Left;
  bool operator==(const FlowStyle& o) const {
    return font == o.font && size == o.size && fill == o.fill && underline == o.underline && align == o.align;
  }
};

struct FlowFitOptions {
  VAlign valign = VAlign::Top;
  bool hasSpreadLimit = false;
  double spreadLimit = 0;       // points, or percent of the line height
  bool spreadPercent = false;
};

class Textflow {
 public:
  // Text bytes in the style's font encoding.
  void Append(std::string_view text, const FlowStyle& style, const Measurer& m);

  // Places lines from where the last call stopped.
  FitResult Fit(const Box& box, const FlowFitOptions& options, const Measurer& m, Canvas* canvas);

  // Table cells: the whole flow from its beginning, without changing where
  // Fit goes on.
  double HeightOfAll(double width, const Measurer& m) const;
  void PlaceAll(const Box& box, const Measurer& m, Canvas* canvas) const;

  bool Empty() const { return tokens_.empty(); }
  std::size_t Bytes() const { return text_.size(); }

 private:
  struct Token {
    enum Kind : std::uint8_t { Word, Space, Break } kind;
    std::uint32_t style;
    std::uint32_t begin, end;  // bytes of text_
    double width;
  };
  struct Pos {
    std::size_t token = 0;
    std::uint32_t offset = 0;  // bytes of the token already placed (split words)
    bool operator==(const Pos& o) const { return token == o.token && offset == o.offset; }
  };
  struct Line {
    Pos begin, contentEnd, next;
    double width = 0;  // natural width of the content, trailing spaces left out
    int spaces = 0;    // spaces inside the content
    double height = 0, descent = 0;
    bool endsParagraph = false;
    bool blank = false;
    Align align = Align::Left;
  };
  struct State {
    Pos pos;
    bool paragraphStart = true;
  };

  Line LayoutLine(const State& s, double width, const Measurer& m) const;
  bool VisibleFrom(const Pos& p) const;
  FitResult FitFrom(State& state, const Box& box, const FlowFitOptions& options, const Measurer& m,
                    Canvas* canvas) const;
  void Render(const Line& line, const Box& box, double baseline, const Measurer& m, Canvas* canvas) const;
  double PieceWidth(const Token& t, std::uint32_t from, std::uint32_t to, const Measurer& m) const;
  std::uint32_t StyleIndex(const FlowStyle& style);

  std::string text_;
  std::vector<FlowStyle> styles_;
  std::unordered_map<std::string, std::uint32_t> styleIndex_;
  std::vector<Token> tokens_;
  std::size_t lastWord_ = SIZE_MAX;  // index of the last word token
  State state_;
};

}  // namespace qmpdf
