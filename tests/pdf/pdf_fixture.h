// Helpers of the PDF export's tests: the interface language (pack, flag and
// the library's code page), the small Peyote design and its palette, the
// page size, and the recording library table.
#pragma once

#include <string>
#include <vector>

#include "core/Registry.h"
#include "design/Pattern.h"
#include "palette/ColorSet.h"
#include "pdflib/pdflib.h"
#include "settings/AppSettings.h"
#include "settings/PdfData.h"
#include "tests/common/test_util.h"
#include "tests/pdflib/recording_api.h"

namespace pdftest {

// The language pack, the interface flag and the library's code page of one
// language for the object's life.
class Language {
 public:
  explicit Language(bool russian);
  ~Language();
  bool Loaded() const { return pack_.Loaded(); }

 private:
  qmtest::LanguagePack pack_;
  bool saved_;
};

// The application settings' PDF page for the object's life (inches).
class PageSize {
 public:
  PageSize(double widthInches, double heightInches);
  ~PageSize();

 private:
  double width_, height_;
};

// The recording library table for the object's life.
class Recording {
 public:
  explicit Recording(const char* fitResult = "_stop");
  ~Recording();
  const std::vector<std::string>& Calls() const { return qmtest::RecordingApi::calls; }
  // The calls whose text begins with the prefix.
  std::vector<std::string> Named(const std::string& prefix) const;
  int Count(const std::string& prefix) const { return static_cast<int>(Named(prefix).size()); }
};

// Bytes of a UTF-8 text in the interface code page and back.
std::string ToCodePage(const std::string& utf8, bool russian);
std::string ToUtf8(const CString& text, bool russian);

// Six colours with numbers, prices and names; the fourth one's name is
// Cyrillic ("Рубин-Ж"), the fifth "A&B <1>".
CColorSet MakePalette();
// A Peyote design of columns x rows beads of 0.1 inch whose colours come in
// runs (colour index (column / 3 + row / 2) mod 5, the last colour unused),
// with a title, attributes and comments; usage counted into the palette.
CPattern MakePeyote(int columns, int rows, CColorSet& palette);
// Renders every page to build/shots/<language>/pdf/<name>-<page>.png and
// keeps the file beside them as <name>.pdf.
void Shoot(const std::string& pdf, const std::string& name, bool russian);

// Settings with every section on, bookmarks, information texts.
CPdfData AllSections();

}  // namespace pdftest
