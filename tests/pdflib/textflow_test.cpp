#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pdflib/lib/textflow.h"
#include "tests/pdflib/engine_fakes.h"

namespace {

using qmpdf::Align;
using qmpdf::Box;
using qmpdf::FitResult;
using qmpdf::FlowFitOptions;
using qmpdf::FlowStyle;
using qmpdf::Textflow;
using qmpdf::VAlign;

// Font 0 at size 10: 5 points a character, lines 10 points high, baseline 2
// points above the line's bottom.
FlowStyle Style(Align align = Align::Left, double size = 10) {
  FlowStyle s;
  s.font = 0;
  s.size = size;
  s.align = align;
  return s;
}

const char* Name(FitResult r) {
  return r == FitResult::Stop ? "_stop" : r == FitResult::BoxFull ? "_boxfull" : "_boxempty";
}

struct Case {
  const char* what;
  const char* text;
  Align align;
  double width, height;  // the box, its top at 100
  const char* expected;  // "result:lines" of each call, calls joined by " / "
};

std::string FitAll(Textflow& flow, const Box& box, const FlowFitOptions& options, int calls) {
  qmtest::FakeMeasurer m;
  std::string out;
  for (int i = 0; i < calls; ++i) {
    qmtest::RecordingCanvas canvas;
    const FitResult r = flow.Fit(box, options, m, &canvas);
    if (i) out += " / ";
    out += std::string(Name(r)) + ":" + canvas.Lines();
    if (r == FitResult::Stop) break;
  }
  return out;
}

}  // namespace

TEST(TextflowTest, FittingCases) {
  const Case cases[] = {
      {"empty flow", "", Align::Left, 100, 100, "_stop:"},
      {"fits", "aa bb cc", Align::Left, 100, 100, "_stop:aa bb cc"},
      {"overflow and continue", "aaaa bbbb cccc dddd", Align::Left, 50, 10,
       "_boxfull:aaaa bbbb / _stop:cccc dddd"},
      {"box lower than a line", "aa", Align::Left, 50, 9, "_boxempty: / _boxempty: / _boxempty:"},
      {"word wider than the box", "abcdefghij", Align::Left, 20, 100, "_stop:abcd|efgh|ij"},
      {"narrower than a character", "abc", Align::Left, 2, 100, "_stop:a|b|c"},
      {"spaces at a wrap are dropped", "aaa    bbb", Align::Left, 20, 100, "_stop:aaa|bbb"},
      {"paragraphs", "a\n\nb", Align::Left, 100, 100, "_stop:a|b"},
      {"CR LF is one break", "a\r\nb\rc", Align::Left, 100, 100, "_stop:a|b|c"},
      {"empty lines at the top of a continued box", "aaaa\n\n\nbbbb", Align::Left, 100, 10,
       "_boxfull:aaaa / _stop:bbbb"},
      {"only empty lines left", "aaaa\n\n", Align::Left, 100, 10, "_stop:aaaa"},
  };
  qmtest::FakeMeasurer m;
  for (const Case& c : cases) {
    Textflow flow;
    flow.Append(c.text, Style(c.align), m);
    EXPECT_EQ(FitAll(flow, Box{0, 100 - c.height, c.width, 100}, {}, 3), c.expected) << c.what;
  }
  // A NUL inside the text is skipped, the rest is kept.
  Textflow nul;
  nul.Append(std::string_view("a\0b", 3), Style(), m);
  EXPECT_EQ(FitAll(nul, Box{0, 0, 100, 100}, {}, 1), "_stop:ab");
}

TEST(TextflowTest, AlignmentsPlaceTheLines) {
  qmtest::FakeMeasurer m;
  qmtest::RecordingCanvas canvas;
  Textflow justified;
  justified.Append("aa bb cc dd\nee", Style(Align::Justify), m);
  ASSERT_EQ(justified.Fit(Box{10, 0, 45, 100}, {}, m, &canvas), FitResult::Stop);
  // "aa bb" (25 points) spread over 35: the space grows by 10.
  ASSERT_EQ(canvas.Lines(), "aa bb|cc dd|ee");
  EXPECT_DOUBLE_EQ(canvas.runs[0].wordSpacing, 10);
  EXPECT_DOUBLE_EQ(canvas.runs[0].width, 35);
  EXPECT_DOUBLE_EQ(canvas.runs[0].x, 10);
  // The paragraph's last line ("cc dd" before "\n") and the flow's last line stay left.
  EXPECT_DOUBLE_EQ(canvas.runs[1].wordSpacing, 0);
  EXPECT_DOUBLE_EQ(canvas.runs[2].wordSpacing, 0);
  EXPECT_DOUBLE_EQ(canvas.runs[0].y, 92);
  EXPECT_DOUBLE_EQ(canvas.runs[1].y, 82);

  for (auto [align, x] : {std::pair{Align::Center, 45.0}, std::pair{Align::Right, 90.0}}) {
    Textflow flow;
    flow.Append("ab", Style(align), m);
    canvas.Clear();
    flow.Fit(Box{0, 0, 100, 100}, {}, m, &canvas);
    EXPECT_DOUBLE_EQ(canvas.runs.at(0).x, x);
  }
}

TEST(TextflowTest, VerticalJustifySpreadsUpToTheLimit) {
  qmtest::FakeMeasurer m;
  auto baselines = [&](FlowFitOptions options, double boxHeight) {
    Textflow flow;
    flow.Append("a\nb\nc", Style(), m);
    qmtest::RecordingCanvas canvas;
    flow.Fit(Box{0, 100 - boxHeight, 100, 100}, options, m, &canvas);
    std::vector<double> y;
    for (const auto& r : canvas.runs) y.push_back(r.y);
    return y;
  };
  FlowFitOptions justify;
  justify.valign = VAlign::Justify;
  EXPECT_EQ(baselines(justify, 100), (std::vector<double>{92, 47, 2}));
  justify.hasSpreadLimit = true;
  justify.spreadLimit = 120;
  justify.spreadPercent = true;
  EXPECT_EQ(baselines(justify, 100), (std::vector<double>{92, 80, 68}));
  justify.spreadPercent = false;  // 15 points of leading at most
  justify.spreadLimit = 15;
  EXPECT_EQ(baselines(justify, 100), (std::vector<double>{92, 77, 62}));
  FlowFitOptions bottom;
  bottom.valign = VAlign::Bottom;
  EXPECT_EQ(baselines(bottom, 100), (std::vector<double>{22, 12, 2}));
}

TEST(TextflowTest, FragmentsKeepTheirStylesAndJoinWords) {
  qmtest::FakeMeasurer m;
  Textflow flow;
  FlowStyle red = Style();
  red.fill = qmpdf::Color::FromRgb(1, 0, 0);
  flow.Append("12(", Style(), m);
  flow.Append("3", red, m);
  flow.Append(") 45(", Style(), m);
  flow.Append("6", red, m);
  flow.Append(")", Style(), m);
  qmtest::RecordingCanvas canvas;
  // 30 points: "12(3)" (25) fits, " 45(6)" does not, and the words break only at the space.
  ASSERT_EQ(flow.Fit(Box{0, 0, 30, 100}, {}, m, &canvas), FitResult::Stop);
  EXPECT_EQ(canvas.Lines(), "12(3)|45(6)");
  ASSERT_EQ(canvas.runs.size(), 6u);
  EXPECT_EQ(canvas.runs[1].text, "3");
  EXPECT_EQ(canvas.runs[1].color, red.fill);
  EXPECT_DOUBLE_EQ(canvas.runs[1].x, 15);
  EXPECT_DOUBLE_EQ(canvas.runs[2].x, 20);

  // Underline and size follow the fragment; a larger font makes its line higher.
  Textflow mixed;
  FlowStyle big = Style(Align::Left, 20);
  big.underline = true;
  mixed.Append("a ", Style(), m);
  mixed.Append("B", big, m);
  canvas.Clear();
  mixed.Fit(Box{0, 0, 100, 100}, {}, m, &canvas);
  ASSERT_EQ(canvas.runs.size(), 2u);
  EXPECT_TRUE(canvas.runs[1].underline);
  EXPECT_DOUBLE_EQ(canvas.runs[0].y, 84);  // line of 20 points, descent 4
}

TEST(TextflowTest, TableCellsMeasureAndPlaceWithoutConsuming) {
  qmtest::FakeMeasurer m;
  Textflow flow;
  flow.Append("aaaa bbbb cccc", Style(), m);
  EXPECT_DOUBLE_EQ(flow.HeightOfAll(50, m), 20);
  EXPECT_DOUBLE_EQ(flow.HeightOfAll(100, m), 10);
  qmtest::RecordingCanvas canvas;
  flow.PlaceAll(Box{0, 80, 50, 100}, m, &canvas);
  flow.PlaceAll(Box{0, 80, 50, 100}, m, &canvas);
  EXPECT_EQ(canvas.Lines(), "aaaa bbbb|cccc|aaaa bbbb|cccc");
}
