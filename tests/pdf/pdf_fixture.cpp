#include "tests/pdf/pdf_fixture.h"

#include <filesystem>

#include "platform/base/codepage.h"
#include "tests/pdflib/pdf_tools.h"

namespace pdftest {

Language::Language(bool russian) : pack_(russian), saved_(IsRussianInterface()) {
  SetRussianInterface(russian);
  PDF_set_interface_codepage(russian ? 1251 : 1252);
}

Language::~Language() {
  SetRussianInterface(saved_);
  PDF_set_interface_codepage(saved_ ? 1251 : 1252);
}

PageSize::PageSize(double widthInches, double heightInches)
    : width_(GetAppSettings().m_pdfPageWidth), height_(GetAppSettings().m_pdfPageHeight) {
  GetAppSettings().m_pdfPageWidth = widthInches;
  GetAppSettings().m_pdfPageHeight = heightInches;
}

PageSize::~PageSize() {
  GetAppSettings().m_pdfPageWidth = width_;
  GetAppSettings().m_pdfPageHeight = height_;
}

Recording::Recording(const char* fitResult) {
  qmtest::RecordingApi::Reset();
  qmtest::RecordingApi::fitResult = fitResult;
  PDFlib::SetApiSourceForTesting(qmtest::RecordingApi::Source);
}

Recording::~Recording() {
  PDFlib::SetApiSourceForTesting(nullptr);
  qmtest::RecordingApi::Reset();
}

std::vector<std::string> Recording::Named(const std::string& prefix) const {
  std::vector<std::string> out;
  for (const std::string& call : Calls())
    if (call.rfind(prefix, 0) == 0) out.push_back(call);
  return out;
}

std::string ToCodePage(const std::string& utf8, bool russian) {
  return Utf8ToCodePage(utf8.c_str(), russian ? 1251 : 1252);
}

std::string ToUtf8(const CString& text, bool russian) { return CodePageToUtf8(text.str(), russian ? 1251 : 1252); }

CColorSet MakePalette() {
  CColorSet palette;
  struct Entry {
    BYTE r, g, b;
    const char* name;
    int number;
    DWORD tubePrice;
  };
  const Entry entries[] = {{200, 30, 40, "Red-11", 11, 250},   {30, 160, 60, "Green-3", 3, 199},
                           {40, 60, 210, "Blue-27", 27, 310},  {250, 220, 40, "\xD0\xF3\xE1\xE8\xED-\xC6", 5, 420},
                           {128, 128, 128, "A&B <1>", 7, 100}, {10, 10, 10, "Unused", 99, 100}};
  for (const Entry& e : entries) {
    CPaletteColor color(CRgbTriple(e.r, e.g, e.b), e.name, 0, e.number, 100, e.tubePrice);
    color.price = e.tubePrice * 1000;
    palette.Append(color);
  }
  return palette;
}

CPattern MakePeyote(int columns, int rows, CColorSet& palette) {
  CPattern p;
  CGridLayout layout;
  layout.beadWidth = layout.beadHeight = 0.1f;
  layout.width = columns * 0.1f;
  layout.height = rows * 0.1f;
  layout.format = kFormatPeyote;
  p.CreateGrid(layout, 0);
  for (int row = 0; row < static_cast<int>(p.GetRowCount()); ++row)
    for (int column = 0; column < static_cast<int>(p.GetColumnCount()); ++column)
      p.GetBeadAt(column, row)->SetColorIndex((column / 3 + row / 2) % 5);
  p.m_title = "Fixture";
  p.m_attr.Author() = "Ann Beader";
  p.m_attr.Company() = "Beads & Co";
  p.m_attr.Comments() = "Work the rows from the top.";
  palette.CountUsageQuick(p);
  return p;
}

void Shoot(const std::string& pdf, const std::string& name, bool russian) {
  const std::filesystem::path dir = qmtest::SourceDir() / "build" / "shots" / (russian ? "ru" : "en") / "pdf";
  std::filesystem::create_directories(dir);
  qmtest::RunCommand("pdftoppm -r 100 -png " + qmtest::Quote(pdf) + " " + qmtest::Quote(dir / name));
  std::error_code ignored;
  std::filesystem::copy_file(pdf, dir / (name + ".pdf"), std::filesystem::copy_options::overwrite_existing, ignored);
}

CPdfData AllSections() {
  CPdfData data;
  data.m_propertiesPage = 1;
  data.m_wholeDesignPage = 1;
  data.m_wholeDesignMode = 1;
  data.m_collagePages = 1;
  data.m_colorListPage = 1;
  data.m_gridPages = 1;
  data.m_wordChartPages = 1;
  data.m_createBookmarks = 1;
  data.m_creator = "Quillmere";
  data.m_author = "Ann Beader";
  data.m_title = "Fixture chart";
  data.m_subject = "Peyote";
  data.m_keywords = "beads";
  return data;
}

}  // namespace pdftest
