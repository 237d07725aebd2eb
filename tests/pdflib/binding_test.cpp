#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pdflib/pdflib.h"
#include "tests/pdflib/recording_api.h"

namespace {

using qmtest::RecordingApi;

class BindingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RecordingApi::Reset();
    PDFlib::SetApiSourceForTesting(RecordingApi::Source);
  }
  void TearDown() override { PDFlib::SetApiSourceForTesting(nullptr); }
};

std::string ConstructionError() {
  try {
    int opaque = 0;
    PDFlib p(nullptr, nullptr, nullptr, &opaque);
  } catch (const PDFlib::Exception& e) {
    return e.get_errmsg() + "|" + std::to_string(e.get_errnum()) + "|" + e.get_apiname();
  }
  return "";
}

}  // namespace

TEST_F(BindingTest, AcceptsExactlyVersion70OfTheTableSize) {
  EXPECT_TRUE(PDFlib::IsAcceptedVersion(748, 7, 0));
  struct Case {
    std::uint32_t size, major, minor, revision;
    bool accepted;
  } cases[] = {
      {748, 7, 0, 2, true}, {748, 7, 0, 9, true}, {748, 7, 1, 0, false},
      {748, 6, 0, 2, false}, {748, 6, 3, 0, false}, {744, 7, 0, 2, false},
  };
  for (const Case& c : cases) {
    RecordingApi::Reset();
    RecordingApi::size = c.size, RecordingApi::major = c.major, RecordingApi::minor = c.minor;
    RecordingApi::revision = c.revision;
    const std::string error = ConstructionError();
    if (c.accepted) {
      EXPECT_EQ(error, "") << c.major << "." << c.minor;
      EXPECT_EQ(RecordingApi::calls, (std::vector<std::string>{"PDF_new2(null)", "set_parameter('binding', 'C++')",
                                                               "set_parameter('objorient', 'true')", "PDF_delete()"}));
    } else {
      EXPECT_EQ(error, "loaded wrong version of PDFlib library|0|pdflib") << c.size << " " << c.major << "." << c.minor;
      EXPECT_TRUE(RecordingApi::calls.empty()) << "no context is made";
    }
  }
  RecordingApi::Reset();
  RecordingApi::noContext = true;
  EXPECT_EQ(ConstructionError(), "No memory for PDFlib object|0|pdflib");
  // The version check holds for the library itself.
  EXPECT_TRUE(PDFlib::IsAcceptedVersion(PDF_get_api()->sizeof_table, PDF_get_api()->major, PDF_get_api()->minor));
}

TEST_F(BindingTest, TextsArePassedWholeAndNamesUpToTheirNul) {
  const std::string nul("a\0b", 3);
  {
    PDFlib p;
    RecordingApi::calls.clear();
    p.add_table_cell(-1, 1, 2, nul, "");
    p.add_textflow(-1, nul, "");
    p.create_bookmark(nul, "");
    p.create_textflow(nul, "");
    p.fit_textline(nul, 1, 2, "");
    p.show_xy(nul, 1, 2);
    EXPECT_EQ(p.stringwidth(nul, 3, 10), 12.5);
    p.set_info("Title", nul);
    p.begin_document(nul, "");
    p.load_font(nul, "winansi", "");
    p.load_image("auto", nul, "");
    p.set_info("", "");
  }
  EXPECT_EQ(RecordingApi::calls, (std::vector<std::string>{
                                     "add_table_cell(-1, 1, 2, 'a\\0b'/3, '')",
                                     "add_textflow(-1, 'a\\0b'/3, '')",
                                     "create_bookmark('a\\0b'/3, '')",
                                     "create_textflow('a\\0b'/3, '')",
                                     "fit_textline('a\\0b'/3, 1, 2, '')",
                                     "show_xy2('a\\0b'/3, 1, 2)",
                                     "stringwidth2('a\\0b'/3, 3, 10)",
                                     "set_info2('Title', 'a\\0b'/3)",
                                     "begin_document('a'/0, '')",
                                     "load_font('a'/0, 'winansi', '')",
                                     "load_image('auto', 'a'/0, '')",
                                     "set_info2('', ''/0)",
                                     "PDF_delete()",
                                 }));
}

TEST_F(BindingTest, ResultKeywordsAndNumbersComeBack) {
  PDFlib p;
  EXPECT_EQ(p.fit_table(1, 0, 0, 10, 10, "header=1"), "_stop");
  RecordingApi::fitResult = "_boxfull";
  EXPECT_EQ(p.fit_textflow(1, 0, 0, 10, 10, ""), "_boxfull");
  RecordingApi::fitResult = nullptr;
  EXPECT_EQ(p.fit_table(1, 0, 0, 10, 10, ""), "");
  EXPECT_EQ(p.fit_textflow(1, 0, 0, 10, 10, ""), "");
  EXPECT_EQ(p.info_table(1, "rowcount"), 3.0);
  EXPECT_EQ(p.load_font("Arial", "winansi", ""), 0);
}

TEST_F(BindingTest, LibraryErrorsAreThrownAndTheDestructorIsSafeAfterThem) {
  int opaque = 0;
  {
    PDFlib p(nullptr, nullptr, nullptr, &opaque);
    RecordingApi::failNumber = 3424;
    RecordingApi::failMessage = "too wide";
    try {
      p.fit_table(1, 0, 0, 10, 10, "");
      ADD_FAILURE() << "no exception";
    } catch (const PDFlib::Exception& e) {
      EXPECT_EQ(e.get_errmsg(), "too wide");
      EXPECT_EQ(e.get_errnum(), 3424);
      EXPECT_EQ(e.get_apiname(), "fit_table");
      EXPECT_EQ(e.get_opaque(), &opaque);
    }
    // The next call goes through.
    p.stroke();
  }
  EXPECT_EQ(RecordingApi::deletes, 1);

  // Errors while the constructor sets its parameters leave no context behind.
  RecordingApi::Reset();
  RecordingApi::failNumber = 1;
  RecordingApi::failMessage = "refused";
  EXPECT_EQ(ConstructionError(), "refused|1|set_parameter");
  EXPECT_EQ(RecordingApi::deletes, 1);

  // Memory routines are refused before anything is made.
  RecordingApi::Reset();
  auto alloc = [](PDF*, std::size_t, const char*) -> void* { return nullptr; };
  EXPECT_THROW(PDFlib{alloc}, PDFlib::Exception);
  EXPECT_TRUE(RecordingApi::calls.empty());
}
