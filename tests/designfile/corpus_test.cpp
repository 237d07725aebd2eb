// The seed corpus of the design-file fuzz targets (fuzz/designfile/corpus):
// design files of every container version and kind of body, one sub-folder
// per target. Every seed opens with the reader its target drives (but for
// the one that shows a failure), and the committed corpus holds every seed. With QM_DESIGNFILE_CORPUS_OUT
// naming a folder the seeds are also written there:
//   QM_DESIGNFILE_CORPUS_OUT=fuzz/designfile/corpus test_designfile --gtest_filter=DesignFileCorpus.*
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "designfile/DesignFile.h"
#include "designfile/DesignPreview.h"
#include "designfile/PrevDesign.h"
#include "tests/designfile/designfile_builders.h"

namespace fs = std::filesystem;
using dftest::FixtureDesign;

namespace {

struct Seed {
  std::string target;  // the fuzz target's folder: current, older or preview
  std::string name;
  std::vector<unsigned char> data;
  // False for a seed that must fail: an older file of version 0 with a
  // picture has the signature of the current container's version 0, which
  // claims it and then cannot extract the picture; that ends the open.
  bool opens = true;
};

std::vector<Seed> MakeSeeds() {
  std::vector<Seed> seeds;
  auto put = [&](const char* target, const std::string& name, const std::vector<unsigned char>& bytes,
                 bool opens = true) {
    seeds.push_back({target, name, bytes, opens});
  };
  auto strip = [](std::vector<unsigned char> bytes) {
    bytes.resize(bytes.size() - 36);
    return bytes;
  };

  // Current containers of versions 0 to 4, with and without a picture.
  const std::pair<const char*, int> current[] = {{"FaldrenwickPro Design 23 June 2004", 0},
                                                 {"FaldrenwickPro Design 1 March 2006", 1},
                                                 {"FaldrenwickPro Design: 12 Nov 2007", 2},
                                                 {"FaldrenwickPro Design: 12 Jan 2010", 3},
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
    const fs::path folder = qmtest::MakeTempDir("corpus-saved");
    CPattern design;
    dftest::MakeDesign(design, 4, 3, 2, true);
    CColorSet palette;
    dftest::MakePalette(palette, 2);
    CString none;
    const CString path = dftest::Path(folder / "saved.qx");
    EXPECT_TRUE(SaveDesignFile(path, design, palette, "", none, nullptr));
    const auto saved = dftest::Read(folder / "saved.qx");
    EXPECT_GT(saved.size(), 36u);
    if (saved.size() > 36) {
      put("current", "saved.qx", strip(saved));
      put("preview", "saved.qx", saved);
    }
  }
  // Older containers of every kind of body.
  const std::pair<const char*, int> older[] = {
      {"FaldrenwickPro Design 23 June 2004", 0},  {"FaldrenwickPro Design: 12 Nov 2007", 2},
      {"Crandlewhirry:         20 May 2012", 4},  {"Harrowmistlanery:      26 May 2012", 5},
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
    put("current", "older-v" + std::to_string(version) + ".qx", bytes, version != 0 || f.blank);
    if (version >= 12) put("preview", "older-v" + std::to_string(version) + ".qx", bytes);
  }
  return seeds;
}

// Whether the seed opens with the reader of its target: the open path with
// a matching checksum trailer appended (current), the older-file reader
// (older), or the preview loader (preview).
bool Opens(const Seed& seed, const fs::path& folder, CString& reason) {
  const fs::path file = folder / (seed.target + "-" + seed.name);
  dftest::Write(file, seed.data);
  const CString path = dftest::Path(file);
  if (seed.target == "current") {
    if (!AppendDesignChecksum(kDesignChecksumMarker, path)) return false;
    CDesignFileContents contents;
    const bool ok = OpenDesignFile(path, contents, reason) == kDesignOpenOk;
    if (!contents.picturePath.IsEmpty()) RemoveFile(contents.picturePath);
    return ok;
  }
  if (seed.target == "older") {
    CPrevDesign reader(CPrevDesign::kModeRead, path);
    CPattern design;
    return reader.Open(&reason) && reader.ReadBody(path, design);
  }
  CDesignPreview preview;
  return preview.Load(path, nullptr, &reason);
}

class DesignFileCorpus : public dftest::DataFolderTest {};

}  // namespace

TEST_F(DesignFileCorpus, EverySeedOpensWithItsReader) {
  const char* out = std::getenv("QM_DESIGNFILE_CORPUS_OUT");
  const std::vector<Seed> seeds = MakeSeeds();
  ASSERT_FALSE(seeds.empty());
  for (const Seed& seed : seeds) {
    CString reason;
    EXPECT_EQ(Opens(seed, folder, reason), seed.opens) << seed.target << "/" << seed.name << ": " << reason.GetString();
    if (out && *out) {
      const fs::path dir = fs::path(out) / seed.target;
      fs::create_directories(dir);
      dftest::Write(dir / seed.name, seed.data);
    }
  }
}

// The committed corpus holds a file for every seed made here.
TEST_F(DesignFileCorpus, CommittedCorpusIsComplete) {
  const fs::path corpus = qmtest::SourceDir() / "fuzz" / "designfile" / "corpus";
  ASSERT_TRUE(fs::exists(corpus)) << corpus;
  for (const Seed& seed : MakeSeeds())
    EXPECT_TRUE(fs::exists(corpus / seed.target / seed.name)) << seed.target << "/" << seed.name;
}
