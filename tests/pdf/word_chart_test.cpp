// The word-chart generator's lines and runs, and the texts of the word-chart
// pages: run formats, line numbers, titles and option lists.
#include <gtest/gtest.h>

#include "core/FrameServices.h"
#include "design/WeaveFormat.h"
#include "lang/ids/designfile.h"
#include "pdf/PdfExport.h"
#include "pdf/WordChart.h"
#include "tests/design/design_test_util.h"
#include "tests/pdf/pdf_fixture.h"

using pdftest::Language;

namespace {

// A design whose cell (column, row) shows colour column + 10 x row.
CPattern Numbered(int columns, int rows, int format) {
  CPattern p = designtest::MakeGrid(columns, rows, format, 0);
  for (int row = 0; row < rows; ++row)
    for (int column = 0; column < columns; ++column) p.GetBeadAt(column, row)->SetColorIndex(column + 10 * row);
  return p;
}

// The colours of a line in order (each run of one bead here).
std::vector<int> Colors(const CWordChartRunLine& line) {
  std::vector<int> out;
  for (const auto& [count, color] : line.runs)
    for (int i = 0; i < count; ++i) out.push_back(color);
  return out;
}

std::vector<int> Directions(const CWordChart& chart) {
  std::vector<int> out;
  for (const CWordChartRunLine& line : chart.GetRunLines()) out.push_back(line.direction);
  return out;
}

}  // namespace

TEST(WordChart, RunsSkipEmptyCells) {
  CPattern p = designtest::MakeGrid(5, 2, kFormatLoom, 0);
  const int colors[] = {5, 5, 0, 5, 7};
  for (int c = 0; c < 5; ++c) p.GetBeadAt(c, 0)->SetColorIndex(colors[c]);
  p.SetBeadPresent(2, 0, false);
  for (int c = 0; c < 5; ++c) p.SetBeadPresent(c, 1, false);
  const CWordChart leftToRight(&p, CWordChartOptions(false, 3));
  ASSERT_EQ(leftToRight.GetLineCount(), 2);
  using Runs = std::vector<std::pair<int, int>>;
  EXPECT_EQ(leftToRight.GetRunLines()[0].runs, (Runs{{3, 5}, {1, 7}}));
  EXPECT_TRUE(leftToRight.GetRunLines()[1].runs.empty());  // a row without beads still counts
  const CWordChart rightToLeft(&p, CWordChartOptions(false, 4));
  EXPECT_EQ(rightToLeft.GetRunLines()[0].runs, (Runs{{1, 7}, {3, 5}}));
}

TEST(WordChart, LinesAndDirectionsByModeAndFormat) {
  struct Case {
    const char* what;
    int columns, rows, format;
    bool combined;
    int mode;
    std::vector<int> directions;
    std::vector<std::vector<int>> firstLines;  // colours of the first lines
  };
  const Case cases[] = {
      {"loom rows reverse", 3, 3, kFormatLoom, true, 0, {0, 1, 0}, {{0, 1, 2}, {12, 11, 10}}},
      {"loom rows right to left", 3, 2, kFormatLoom, false, 1, {1, 0}, {{2, 1, 0}, {10, 11, 12}}},
      {"columns reverse", 3, 2, kFormatLoom, false, 2, {2, 3, 2}, {{0, 10}, {11, 1}}},
      {"columns always", 3, 2, kFormatLoom, false, 5, {2, 2, 2}, {{0, 10}, {1, 11}}},
      {"peyote combined", 4, 3, kFormatPeyote, true, 0, {0, 1, 0, 1, 0}, {{0, 1, 2, 3}, {12, 10}, {11, 13}}},
      {"peyote original", 4, 3, kFormatPeyote, false, 0, {0, 1, 0, 1, 0, 1}, {{0, 2}, {3, 1}}},
      {"2-peyote always", 8, 1, 2, false, 3, {0, 0}, {{0, 2, 4, 6}, {1, 3, 5, 7}}},
      {"2-peyote reverse", 8, 1, 2, false, 0, {0, 1}, {{0, 1, 4, 5}, {7, 6, 3, 2}}},
      {"peyote always combined", 4, 2, kFormatPeyote, true, 4, {1, 1, 1}, {{3, 2, 1, 0}, {12, 10}, {13, 11}}},
      {"sacred peyote ignores combined", 2, 3, kFormatSacredPeyote, true, 0, {0, 1, 0}, {{0, 1}}},
      {"brick ignores combined", 2, 3, kFormatBrick, true, 3, {0, 0, 0}, {{0, 1}, {10, 11}}},
      {"mode 6", 3, 3, kFormatLoom, false, 6, {}, {}},
      {"mode -1", 3, 3, kFormatPeyote, true, -1, {}, {}},
  };
  for (const Case& c : cases) {
    const CPattern p = Numbered(c.columns, c.rows, c.format);
    const CWordChart chart(&p, CWordChartOptions(c.combined, c.mode));
    EXPECT_EQ(Directions(chart), c.directions) << c.what;
    for (size_t i = 0; i < c.firstLines.size() && i < chart.GetRunLines().size(); ++i)
      EXPECT_EQ(Colors(chart.GetRunLines()[i]), c.firstLines[i]) << c.what << " line " << i;
  }
}

TEST(WordChart, LabelsAndDirectionNames) {
  for (bool russian : {false, true}) {
    Language language(russian);
    for (int mode = 0; mode <= 5; ++mode) {
      const CString label = CWordChartOptions(false, mode).GetLineLabel();
      const bool column = mode == 2 || mode == 5;
      EXPECT_EQ(label, LoadResString(column ? IDS_WORD_CHART_COLUMN : IDS_WORD_CHART_ROW)) << mode;
      if (!russian) {
        EXPECT_EQ(label, column ? "Column" : "Row");
      }
    }
    const char* en[] = {"left to right", "right to left", "top to bottom", "bottom to top"};
    const char* ru[] = {"слева направо", "справа налево", "сверху вниз", "снизу вверх"};
    for (int d = 0; d < 4; ++d) {
      CWordChartRunLine line;
      line.direction = d;
      EXPECT_EQ(pdftest::ToUtf8(line.GetDirectionName(), russian), russian ? ru[d] : en[d]);
    }
    CWordChartRunLine other;
    other.direction = 4;
    EXPECT_TRUE(other.GetDirectionName().IsEmpty());
  }
}

TEST(WordChartPages, RunFormats) {
  Language english(false);
  const CColorSet palette = pdftest::MakePalette();
  CWordChartRunLine line;
  line.runs = {{12, 1}, {3, 4}, {2, 40}};  // Green-3 number 3, "A&B <1>" number 7, a missing colour
  struct Case {
    BYTE colorText, asName;
    const char* expected;
  };
  const Case cases[] = {
      {0, 0, "12(3) 3(7) 2(skip)"},
      {0, 1, "12(Green-3) 3(A&amp;B &lt;1&gt;) 2(skip)"},
      {1, 0,
       "12(<fillcolor={rgb 0.118 0.627 0.235}>3<fillcolor={rgb 0 0 0}>) "
       "3(<fillcolor={rgb 0.502 0.502 0.502}>7<fillcolor={rgb 0 0 0}>) "
       "2(<fillcolor={rgb 0.000 0.000 0.000}>skip<fillcolor={rgb 0 0 0}>)"},
      {1, 1,
       "12(<fillcolor={rgb 0.118 0.627 0.235}>Green-3<fillcolor={rgb 0 0 0}>) "
       "3(<fillcolor={rgb 0.502 0.502 0.502}>A&amp;B &lt;1&gt;<fillcolor={rgb 0 0 0}>) "
       "2(<fillcolor={rgb 0.000 0.000 0.000}>skip<fillcolor={rgb 0 0 0}>)"},
  };
  for (const Case& c : cases) {
    CPdfData data;
    data.m_colorTextOutput = c.colorText;
    data.m_wordChartText = c.asName;
    CString text;
    FormatWordChartRuns(palette, data, line, text);
    EXPECT_EQ(text, c.expected);
  }
  {
    Language russian(true);
    CPdfData data;
    data.m_wordChartText = 0;
    CString text;
    FormatWordChartRuns(palette, data, line, text);
    EXPECT_EQ(pdftest::ToUtf8(text, true), "12(3) 3(7) 2(пропустить)");
  }
  EXPECT_EQ(GetWordChartLineNumber(1, true), "1 & 2");
  EXPECT_EQ(GetWordChartLineNumber(2, true), "3");
  EXPECT_EQ(GetWordChartLineNumber(1, false), "1");
  EXPECT_EQ(GetWordChartLineNumber(2, false), "2");
}

TEST(WordChartPages, TitlesAndOptionLists) {
  pdftest::Recording recording;
  CColorSet palette = pdftest::MakePalette();
  struct Case {
    bool russian;
    int format, direction;
    BYTE combined, asName;
    const char* expected;  // after the format's name
  };
  const Case cases[] = {
      {false, kFormatPeyote, 0, 1, 1, " word chart(combined): rows left to right reverse as mfg name"},
      {false, kFormatPeyote, 4, 0, 0, " word chart(original): rows right to left always as number"},
      {false, kFormatBrick, 5, 1, 0, " word chart: columns top to bottom always as number"},
      {false, kFormatSacredPeyote, 2, 1, 1, " word chart: columns top to bottom reverse as mfg name"},
      {false, kFormatLoom, 9, 0, 1, " word chart:  as mfg name"},
      {true, kFormatLoom, 3, 0, 1, " словесное описание: строчки слева направо всегда как mfg код"},
      // Russian peyote titles say in Russian how the rows are read.
      {true, kFormatPeyote, 0, 1, 1, " словесное описание (ряды попарно): строчки слева направо переменно как mfg код"},
      {true, kFormatPeyote, 3, 0, 0, " словесное описание (ряды по одному): строчки слева направо всегда как индекс"},
  };
  for (const Case& c : cases) {
    Language language(c.russian);
    CPattern design = designtest::MakeGrid(2, 2, c.format, 0);
    CPdfData data;
    data.m_wordChartDirection = c.direction;
    data.m_peyoteCombined = c.combined;
    data.m_wordChartText = c.asName;
    CPdfExportNew exporter(&design, palette, &data);
    CString format;
    GetFormatName(c.format, format);
    const std::string title = pdftest::ToUtf8(exporter.GetWordChartTitle(), c.russian);
    EXPECT_EQ(title, std::string(GetFormatNameUtf8(c.format, c.russian)) + c.expected);
  }
  Language russian(true);
  CPdfTextStyle style("Arial,Bold", 11);
  CString head, body, colored;
  BuildWordChartOptionLists(style, head, body, colored);
  EXPECT_EQ(head,
            "fontname={Arial,Bold} fontsize=11 encoding=cp1251 fillcolor={rgb 0 0 0.7} charref underline=true "
            "alignment=center");
  EXPECT_EQ(body,
            "fontname={Arial,Bold} fontsize=11 encoding=cp1251 fillcolor={rgb 0 0 0} charref underline=false "
            "alignment=justify");
  EXPECT_EQ(colored,
            "fontname={Arial,Bold} fontsize=11 encoding=cp1251 fillcolor={rgb %f %f %f} charref underline=false "
            "alignment=justify");
  EXPECT_EQ(FormatColoredBodyList(style, RGB(255, 0, 51)),
            "fontname={Arial,Bold} fontsize=11 encoding=cp1251 fillcolor={rgb 1.000000 0.000000 0.200000} charref "
            "underline=false alignment=justify");
}

TEST(WordChartPages, ColumnsLayoutHeadsAndColumnBoxes) {
  Language english(false);
  pdftest::Recording recording;
  CColorSet palette = pdftest::MakePalette();
  CPattern design = Numbered(2, 3, kFormatPeyote);
  for (CBead& bead : design.m_beads) bead.SetColorIndex(1);
  CPdfData data;
  data.m_wordChartAsTable = 0;
  data.m_wordChartColumns = 2;
  data.m_wordChartColumnGap = 20;
  data.m_peyoteCombined = 1;
  data.m_wordChartText = 0;
  CPdfExportNew exporter(&design, palette, &data);
  exporter.Library().begin_document("x.pdf", "");
  qmtest::RecordingApi::fitResult = "_stop";
  ASSERT_TRUE(exporter.WriteWordChart(data.m_wordChartStyle));
  const auto flows = recording.Named("add_textflow");
  ASSERT_GE(flows.size(), 4u);
  EXPECT_NE(flows[0].find("'--- Row 1 &amp; 2, left to right ---\n'"), std::string::npos) << flows[0];
  EXPECT_NE(flows[1].find("'2(3)\n\n'"), std::string::npos) << flows[1];
  EXPECT_NE(flows[2].find("'--- Row 3, right to left ---\n'"), std::string::npos) << flows[2];
  // One column is enough for the text: the box from the bottom band up,
  // lower-left corner first.
  const auto fits = recording.Named("fit_textflow");
  ASSERT_EQ(fits.size(), 1u);
  EXPECT_NE(fits[0].find(", 20, 19, 292.5, 820, "), std::string::npos) << fits[0];
  qmtest::RecordingApi::calls.clear();
  qmtest::RecordingApi::fitResult = "_boxempty";
  EXPECT_FALSE(exporter.FitWordChartColumns(1, 2, "t", 0));
}
