// Writes the seeds of the design-file fuzz targets when
// QM_DESIGNFILE_CORPUS_OUT names a folder (fuzz/designfile/corpus):
//   QM_DESIGNFILE_CORPUS_OUT=fuzz/designfile/corpus test_designfile --gtest_filter=DesignFileCorpus.*
#include <gtest/gtest.h>

#include <cstdlib>

#include "designfile/DesignFile.h"
#include "tests/designfile/designfile_builders.h"

namespace fs = std::filesystem;
using dftest::FixtureDesign;

TEST(DesignFileCorpus, Write) {
  const char* out = std::getenv("QM_DESIGNFILE_CORPUS_OUT");
  if (!out || !*out) GTEST_SKIP() << "QM_DESIGNFILE_CORPUS_OUT not set";
  const fs::path root(out);
  for (const char* name : {"current", "older", "preview"}) fs::create_directories(root / name);
  auto put = [&](const char* target, const std::string& name, const std::vector<unsigned char>& bytes) {
    dftest::Write(root / target / name, bytes);
  };
  auto strip = [](std::vector<unsigned char> bytes) {
    bytes.resize(bytes.size() - 36);
    return bytes;
  };

  // Current containers of versions 0 to 4, with and without a picture.
  const std::pair<const char*, int> current[] = {
      {"FaldrenwickPro Design 23 June 2004", 0}, {"FaldrenwickPro Design 1 March 2006", 1},
      {"FaldrenwickPro Design: 12 Nov 2007", 2}, {"FaldrenwickPro Design: 12 Jan 2010", 3},
      {"Quillmerewise freeware 26 Jan 2017", 4}};
  for (const auto& [signature, version] : current) {
    FixtureDesign f;
    f.blank = version % 2 == 1;
    f.stitchPath = version == 4 ? 1 : 0;
    const auto bytes = dftest::CurrentFile(signature, version, f);
    put("current", "v" + std::to_string(version) + ".qx", bytes);
    put("preview", "current-v" + std::to_string(version) + ".qx", dftest::WithTrailer(bytes));
  }
  // A file this program writes.
  {
    const fs::path folder = qmtest::MakeTempDir("corpus");
    CPattern design;
    dftest::MakeDesign(design, 4, 3, 2, true);
    CColorSet palette;
    dftest::MakePalette(palette, 2);
    CString none;
    const CString path = dftest::Path(folder / "saved.qx");
    ASSERT_TRUE(SaveDesignFile(path, design, palette, "", none, nullptr));
    const auto saved = dftest::Read(folder / "saved.qx");
    put("current", "saved.qx", strip(saved));
    put("preview", "saved.qx", saved);
  }
  // Older containers of every kind of body.
  const std::pair<const char*, int> older[] = {
      {"FaldrenwickPro Design 23 June 2004", 0}, {"FaldrenwickPro Design: 12 Nov 2007", 2},
      {"Crandlewhirry:         20 May 2012", 4}, {"Harrowmistlanery:      26 May 2012", 5},
      {"Harrowmistlanes 3.3.00 25 Sep 2012", 8},  {"Tamblewickery 5.0.00 ::30 Dec 2012", 9},
      {"Tamblewickery 5.0.00  30 Jule 2013", 11}, {"Tamblewickery 5.0.00  18 Aug  2013", 12},
      {"Tamblewickery 5.1.00  10 Jun  2014", 13}, {"Sorrelkintashe 5.3.1  28 Nov  2014", 15},
      {"Trn 5.5.1,14Aug16, (C) Corvandelle", 16}};
  for (const auto& [signature, version] : older) {
    FixtureDesign f;
    f.sectionVersion = version % 3 == 0 ? 1 : (version % 3 == 1 ? 4 : 8);
    f.blank = version % 4 == 1;
    f.textItems = version % 2 == 0;
    const auto bytes = dftest::OlderFile(signature, version, f);
    put("older", "v" + std::to_string(version) + ".qx", bytes);
    put("current", "older-v" + std::to_string(version) + ".qx", bytes);
    if (version >= 12) put("preview", "older-v" + std::to_string(version) + ".qx", bytes);
  }
}
