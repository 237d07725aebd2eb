// The design preview loader and the symbol pictures.
#include <gtest/gtest.h>

#include "designfile/DesignPreview.h"
#include "designfile/SymbolImage.h"
#include "image/Image.h"
#include "tests/designfile/designfile_builders.h"

namespace fs = std::filesystem;
using dftest::FixtureDesign;
using dftest::Path;

namespace {

class PreviewTest : public dftest::DataFolderTest {
 protected:
  void SetUp() override {
    DataFolderTest::SetUp();
    SetMessageBoxHook([this](const CString& text, const CString&, UINT type) {
      boxes.push_back(text);
      types.push_back(type);
      return IDOK;
    });
  }
  void TearDown() override {
    SetMessageBoxHook(nullptr);
    DataFolderTest::TearDown();
  }

  std::vector<CString> boxes;
  std::vector<UINT> types;
};

}  // namespace

TEST_F(PreviewTest, CurrentFileGivesSignatureCountsAndParameters) {
  CPattern edited;
  dftest::MakeDesign(edited, 6, 5, 2);
  CColorSet editedPalette;
  dftest::MakePalette(editedPalette, 3);
  CString picture = Path(folder / "none.bmp");
  {
    bool ok = false;
    CImage image(3, 3, ok, 0);
    ASSERT_TRUE(image.SaveFile(picture));
  }
  ASSERT_TRUE(SaveDesignFile(Path(folder / "p.qx"), edited, editedPalette, "", picture, nullptr));
  const CPattern before(edited);

  CDesignPreview preview;
  preview.m_params.unusedValues[0] = 99;
  CString signature, error;
  ASSERT_TRUE(preview.Load(Path(folder / "p.qx"), &signature, &error));
  EXPECT_TRUE(preview.IsLoaded());
  EXPECT_EQ(signature, kCurrentDesignSignature);
  EXPECT_TRUE(error.IsEmpty());
  EXPECT_EQ(preview.m_params, CDesignParams::ForWriting());
  EXPECT_EQ(preview.m_design.GetBeadCount(), 30);
  // Two colours used, 15 beads each; the third not used.
  EXPECT_EQ(preview.m_palette.GetItem(0).count, 15u);
  EXPECT_EQ(preview.m_palette.GetItem(1).count, 15u);
  EXPECT_EQ(preview.m_palette.GetItem(2).count, 0u);
  EXPECT_GT(preview.m_paletteOffset, 0);
  // The edited design and palette are untouched, and no picture was left
  // behind in the design folder.
  EXPECT_TRUE(edited.m_beads == before.m_beads);
  EXPECT_EQ(editedPalette.GetItem(0).count, 0u);
  EXPECT_FALSE(fs::exists(folder / "data" / "Design" / "none.bmp"));
  EXPECT_TRUE(boxes.empty());
}

TEST_F(PreviewTest, CorruptFileIsReportedOnce) {
  FixtureDesign f;
  auto bytes = dftest::WithTrailer(dftest::CurrentFile("Quillmerewise freeware 26 Jan 2017", 4, f));
  bytes[50] ^= 1;
  dftest::Write(folder / "c.qx", bytes);
  CDesignPreview preview;
  EXPECT_FALSE(preview.Load(Path(folder / "c.qx")));
  EXPECT_FALSE(preview.IsLoaded());
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(types[0] & MB_ICONMASK, static_cast<UINT>(MB_ICONSTOP));
}

TEST_F(PreviewTest, OlderFileLeavesParametersAndPaletteBlockAsTheyWere) {
  FixtureDesign f;
  dftest::Write(folder / "o.qx", dftest::OlderFile("Tamblewickery 5.1.00  10 Jun  2014", 13, f));
  CDesignPreview preview;
  preview.m_params.unusedValues[1] = 5;
  preview.m_paletteOffset = 123;
  preview.m_paletteSize = 456;
  CString signature;
  ASSERT_TRUE(preview.Load(Path(folder / "o.qx"), &signature));
  EXPECT_EQ(signature, "Tamblewickery 5.1.00  10 Jun  2014");
  EXPECT_EQ(preview.m_params.unusedValues[1], 5);
  EXPECT_EQ(preview.m_paletteOffset, 123);
  EXPECT_EQ(preview.m_paletteSize, 456);
  EXPECT_EQ(preview.m_palette.GetCount(), 3);
  EXPECT_EQ(preview.m_palette.GetItem(0).count, 2u);  // beads 0 and 3
}

TEST_F(PreviewTest, UnknownSignatureLeavesTheText) {
  dftest::Write(folder / "u.qx", dftest::Bytes().chars("Not a design file at all, really!!").zeros(40).b);
  CDesignPreview preview;
  CString error;
  EXPECT_FALSE(preview.Load(Path(folder / "u.qx"), nullptr, &error));
  EXPECT_NE(std::string(error.GetString()).find("<Not a design file at all, really!!>"), std::string::npos);
  EXPECT_TRUE(boxes.empty());
}

TEST_F(PreviewTest, SymbolPicturesOfTheRequestedSize) {
  CSymbolSet symbols;
  for (const char* name : {"s.bmp", "s.jpg"}) {
    const CString path = Path(folder / name);
    dftest::Write(folder / name, {1, 2, 3});
    ASSERT_TRUE(RenderSymbolImage(symbols, 28, SIZE{40, 30}, 'W', path, 0x00FFFFFF, 0)) << name;
    bool ok = false;
    CImage back(path, ok);
    ASSERT_TRUE(ok) << name;
    EXPECT_EQ(back.GetWidth(), 40);
    EXPECT_EQ(back.GetHeight(), 30);
    // Background at the corners, dark text around the middle, about as much
    // of it left of the centre as right of it.
    COLORREF corner = 0;
    ASSERT_TRUE(back.GetPixelColor(0, 0, corner));
    EXPECT_GT(GetRValue(corner), 200);
    int left = 0, right = 0;
    for (int y = 0; y < 30; ++y)
      for (int x = 0; x < 40; ++x) {
        COLORREF c = 0;
        back.GetPixelColor(x, y, c);
        if (GetRValue(c) < 100) (x < 20 ? left : right) += 1;
      }
    EXPECT_GT(left + right, 20) << name;
    EXPECT_LT(std::abs(left - right), (left + right) / 3 + 4) << name;
  }
  // A format that cannot be written: false, and the old file is gone.
  dftest::Write(folder / "s.xyz", {1});
  EXPECT_FALSE(RenderSymbolImage(symbols, 20, SIZE{10, 10}, 'A', Path(folder / "s.xyz"), 0xFFFFFF, 0));
  EXPECT_FALSE(fs::exists(folder / "s.xyz"));
}
