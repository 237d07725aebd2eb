#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "pdflib/lib/errors.h"
#include "pdflib/lib/optlist.h"

namespace {

using qmpdf::opt::Key;
using qmpdf::opt::Schema;
using qmpdf::opt::Type;

const char* const kWords[] = {"meet", "other", "noprint", "nocopy", nullptr};
const Key kInnerKeys[] = {{"font", Type::Int, 0, 1000}, {"fontsize", Type::Number, -1e300, 1e300, true},
                          {"position", Type::Position}, {"line", Type::Keyword, -1e300, 1e300, false, kWords}};
const Schema kInner{kInnerKeys, std::size(kInnerKeys)};
const Key kKeys[] = {
    {"flag", Type::Bool},
    {"count", Type::Int, 1, 10},
    {"size", Type::Number, -1e300, 1e300, true},
    {"width", Type::NumberOrPercent, -1e300, 1e300, true},
    {"name", Type::String},
    {"method", Type::Keyword, -1e300, 1e300, false, kWords},
    {"rights", Type::KeywordList, -1e300, 1e300, false, kWords},
    {"box", Type::NumberList, -1e300, 1e300, false, nullptr, nullptr, 2},
    {"fillcolor", Type::Color},
    {"position", Type::Position},
    {"inner", Type::Optlist, -1e300, 1e300, false, nullptr, &kInner},
    {"lists", Type::OptlistList, -1e300, 1e300, false, nullptr, &kInner},
};
const Schema kSchema{kKeys, std::size(kKeys)};

qmpdf::opt::Options P(const std::string& s) { return qmpdf::opt::Parse(s, kSchema); }

int ErrorOf(const std::string& s, std::string* message = nullptr) {
  try {
    P(s);
  } catch (const qmpdf::Error& e) {
    if (message) *message = e.message;
    return e.number;
  }
  return 0;
}

}  // namespace

TEST(OptionListTest, FormsOfItemsAndValues) {
  const auto o = P("  count=3 size 2.5 flag width=120%\tname={Liberation Sans} method=MEET rights={noprint nocopy }");
  EXPECT_EQ(o.Number("count"), 3);
  EXPECT_EQ(o.Number("size"), 2.5);
  EXPECT_TRUE(o.Flag("flag"));
  EXPECT_EQ(o.Number("width"), 120);
  EXPECT_TRUE(o.Find("width")->percent);
  EXPECT_EQ(o.Text("name"), "Liberation Sans");
  EXPECT_EQ(o.Text("method"), "meet");
  EXPECT_EQ(o.Find("rights")->words, (std::vector<std::string>{"noprint", "nocopy"}));
  EXPECT_TRUE(P("").Empty());
  EXPECT_TRUE(P(" \r\n\t").Empty());

  // Bare booleans before other keys, explicit true/false, later keys win.
  EXPECT_TRUE(P("flag count=2").Flag("flag"));
  EXPECT_FALSE(P("flag false").Flag("flag"));
  EXPECT_FALSE(P("flag=true flag=false").Flag("flag"));
  EXPECT_TRUE(P("FLAG").Flag("flag"));
}

TEST(OptionListTest, ListsNestAndEscape) {
  const auto o = P("box={10 -20.5} fillcolor={rgb 0.5 0.3 1.0} position={center} "
                   "inner={position=center font=3 fontsize=10} lists={{line=other} {line=meet}}");
  EXPECT_EQ(o.Find("box")->numbers, (std::vector<double>{10, -20.5}));
  const qmpdf::Color c = o.Find("fillcolor")->color;
  EXPECT_EQ(c.space, qmpdf::Color::Rgb);
  EXPECT_DOUBLE_EQ(c.c[1], 0.3);
  EXPECT_EQ(o.Find("position")->position.h, qmpdf::HPos::Center);
  EXPECT_EQ(o.Find("position")->position.v, qmpdf::VPos::Center);
  const auto& inner = o.Find("inner")->lists.at(0);
  EXPECT_EQ(inner.Number("font"), 3);
  EXPECT_EQ(inner.Find("position")->position.h, qmpdf::HPos::Center);
  ASSERT_EQ(o.Find("lists")->lists.size(), 2u);
  EXPECT_EQ(o.Find("lists")->lists[1].Text("line"), "meet");
  EXPECT_EQ(P("fillcolor={gray 0.5}").Find("fillcolor")->color.space, qmpdf::Color::Gray);

  // Braced text keeps spaces; \{ \} \\ are the characters themselves.
  EXPECT_EQ(P(R"(name={a \{b\} c\\d})").Text("name"), R"(a {b} c\d)");
  EXPECT_EQ(P(R"(name=x\{y)").Text("name"), "x{y");
  EXPECT_EQ(P("name={}").Text("name"), "");
  // A text option left empty before the next key or at the end.
  EXPECT_EQ(P("name= size=3").Text("name"), "");
  EXPECT_EQ(P("name= size=3").Number("size"), 3);
  EXPECT_TRUE(P("name=").Has("name"));

  const auto pos = P("position={right top}").Find("position")->position;
  EXPECT_EQ(pos.h, qmpdf::HPos::Right);
  EXPECT_EQ(pos.v, qmpdf::VPos::Top);
  const auto left = P("position={left}").Find("position")->position;
  EXPECT_EQ(left.h, qmpdf::HPos::Left);
  EXPECT_EQ(left.v, qmpdf::VPos::Center);
}

TEST(OptionListTest, ErrorsNameTheKey) {
  struct Case {
    const char* list;
    int number;
    const char* named;
  } cases[] = {
      {"colour=3", qmpdf::kErrOptionUnknown, "colour"},
      {"size=abc", qmpdf::kErrOptionValue, "size"},
      {"size=0", qmpdf::kErrOptionValue, "size"},
      {"size=nan", qmpdf::kErrOptionValue, "size"},
      {"size=1e999", qmpdf::kErrOptionValue, "size"},
      {"count=2.5", qmpdf::kErrOptionValue, "count"},
      {"count=11", qmpdf::kErrOptionValue, "count"},
      {"size=", qmpdf::kErrOptionValue, "size"},
      {"size= name=x", qmpdf::kErrOptionValue, "size"},
      {"size", qmpdf::kErrOptionValue, "size"},
      {"method=clip", qmpdf::kErrOptionValue, "method"},
      {"rights={noprint noedit}", qmpdf::kErrOptionValue, "rights"},
      {"box={1 2 3}", qmpdf::kErrOptionValue, "box"},
      {"fillcolor={rgb 1 2 0}", qmpdf::kErrOptionValue, "fillcolor"},
      {"fillcolor={cmyk 0 0 0 1}", qmpdf::kErrOptionValue, "fillcolor"},
      {"position={left right}", qmpdf::kErrOptionValue, "position"},
      {"inner={font=1 fontsiz=3}", qmpdf::kErrOptionUnknown, "fontsiz"},
      {"inner=3", qmpdf::kErrOptionValue, "inner"},
      {"lists={line=other}", qmpdf::kErrOptionValue, "lists"},
      {"flag=maybe", qmpdf::kErrOptionValue, "flag"},
      {"count={3", qmpdf::kErrOptionSyntax, "{3"},
      {"count=3}", qmpdf::kErrOptionSyntax, "}"},
      {"=3", qmpdf::kErrOptionSyntax, "="},
      {"{flag}", qmpdf::kErrOptionSyntax, "{flag}"},
  };
  for (const Case& c : cases) {
    std::string message;
    EXPECT_EQ(ErrorOf(c.list, &message), c.number) << c.list;
    EXPECT_NE(message.find(c.named), std::string::npos) << c.list << ": " << message;
  }
}

TEST(OptionListTest, NumbersUseAPointWhateverTheLocale) {
  // A locale with a decimal comma, when the system has one; the parser never
  // consults the locale, so the result is the same either way.
  const std::string before = std::setlocale(LC_NUMERIC, nullptr);
  for (const char* name : {"de_DE.UTF-8", "ru_RU.UTF-8", "fr_FR.UTF-8"})
    if (std::setlocale(LC_NUMERIC, name)) break;
  const auto o = P("size=2.75 box={0.5 -1.25}");
  std::setlocale(LC_NUMERIC, before.c_str());
  EXPECT_EQ(o.Number("size"), 2.75);
  EXPECT_EQ(o.Find("box")->numbers[1], -1.25);
  EXPECT_EQ(ErrorOf("size=2,75"), qmpdf::kErrOptionValue);
}
