// Every design the builder makes is saved and opened again unchanged: each
// weave format with spacers of none, less than a bead and a whole bead, both
// Sacred Peyote steps the files keep, and every colour mode.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>

#include "builder/PatternBuilder.h"
#include "design/PatternParams.h"
#include "designfile/DesignFile.h"
#include "image/Image.h"
#include "tests/designfile/designfile_fixtures.h"

namespace fs = std::filesystem;
using dftest::Path;

namespace {

class BuiltDesignsTest : public dftest::DataFolderTest, public ::testing::WithParamInterface<int> {};

// Noise over gradients, larger than every grid both ways.
CString MakeOriginal(const fs::path& path) {
  bool ok = false;
  CImage picture(53, 41, ok, 0xFFFFFFFFu);
  EXPECT_TRUE(ok);
  std::mt19937 rng(5);
  for (int y = 0; y < 41; ++y)
    for (int x = 0; x < 53; ++x)
      picture.SetPixelRGB(x, y, static_cast<BYTE>(x * 4 + rng() % 30), static_cast<BYTE>(y * 6 + rng() % 30),
                          static_cast<BYTE>(rng()));
  EXPECT_TRUE(picture.SaveFile(Path(path)));
  return Path(path);
}

}  // namespace

TEST_P(BuiltDesignsTest, BuiltSavedOpenedEqual) {
  const int format = GetParam();
  CColorSet palette;
  dftest::MakePalette(palette, 12);
  const CString original = MakeOriginal(folder / "original.bmp");
  bool loaded = false;
  const CImage picture(original, loaded);
  ASSERT_TRUE(loaded);
  const double bead = 0.1;
  for (double spacer : {0.0, 0.06, bead}) {
    for (int step : {2, 3}) {
      for (int mode : {kColorModeExact, kColorModeSoftened, kColorModeSharp, kColorModeClassic}) {
        const std::string what = "format " + std::to_string(format) + " spacer " + std::to_string(spacer) +
                                 " step " + std::to_string(step) + " mode " + std::to_string(mode);
        SCOPED_TRACE(what);
        CPatternParams params;
        params.m_width = 1.9;
        params.m_height = 3.1;  // 16 rows at the widest spacer: enough for rounding to show
        params.m_beadWidth = bead;
        params.m_beadHeight = bead;
        params.m_spacer = spacer;
        params.m_format = format;
        params.m_colorMode = mode;
        CPattern design;
        design.m_sacredPeyoteDivisor = step;
        ASSERT_TRUE(BuildPattern(design, 1000000, params, palette, &picture));
        for (const CBead& b : design.m_beads) ASSERT_TRUE(b.IsValid()) << b.m_x << " " << b.m_y;

        CString picturePath = original;
        const CString path = Path(folder / "built.qx");
        CString why;
        ASSERT_TRUE(SaveDesignFile(path, design, palette, "", picturePath, nullptr, nullptr, &why)) << why.GetString();
        CDesignFileContents contents;
        CString reason;
        ASSERT_EQ(OpenDesignFile(path, contents, reason), kDesignOpenOk) << reason.GetString();
        dftest::ExpectSameDesign(*contents.design, design);
        EXPECT_EQ(contents.palette->GetCount(), palette.GetCount());
        fs::remove(contents.picturePath.GetString());
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(EveryFormat, BuiltDesignsTest, ::testing::Range(0, static_cast<int>(kFormatCount)));
