// Collages and metafiles rendered to build/shots/pictures for a person to
// look at; the fuzz seeds are among them, so every seed must load.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "image/Collage.h"
#include "image/codec/BaseImage.h"
#include "tests/common/test_util.h"
#include "tests/image/collage_fixtures.h"
#include "tests/image/picture_helpers.h"

namespace {

namespace fs = std::filesystem;

fs::path Shots() {
  const fs::path dir = qmtest::SourceDir() / "build" / "shots" / "pictures";
  fs::create_directories(dir);
  return dir;
}

TEST(PictureShots, CollageGallery) {
  const fs::path dir = qmtest::MakeTempDir("collage-shots");
  bool ok = false;
  CImage pattern(160, 100, ok, 0);
  picturetest::FillPattern(pattern);
  ASSERT_TRUE(pattern.SaveFile((dir / "pattern.bmp").string().c_str(), kImageTypeBMP));
  collagetest::CollageFile f;
  f.width = 480;
  f.height = 300;
  f.background = RGB(230, 236, 245);
  collagetest::ImageLayer turned;
  turned.name = "C:\\My Pictures\\pattern.bmp";
  turned.x = 20;
  turned.y = 40;
  turned.rotation = 30;
  turned.hsl[0] = 30;
  collagetest::ImageLayer kept = turned;
  kept.x = 250;
  kept.y = 120;
  kept.rotation = 60;
  kept.rotationMode = 1;
  kept.transparency = 100;
  kept.hsl[0] = 0;
  collagetest::TextLayer title;
  title.text = "Quillmere collage";
  title.face = "Arial";
  title.height = -36;
  title.x = 10;
  title.y = 4;
  title.color = RGB(200, 0, 0);
  title.gradientEnd = RGB(0, 0, 200);
  title.gradient = 1;
  title.shadow = 4;
  title.fade = 160;
  title.shadowColor = RGB(40, 40, 40);
  collagetest::TextLayer russian;
  russian.text = "\xCF\xF0\xE8\xE2\xE5\xF2, \xEC\xE8\xF0!\r\n\xC1\xE8\xF1\xE5\xF0";  // cp1251
  russian.charset = RUSSIAN_CHARSET;
  russian.face = "Times New Roman";
  russian.height = -28;
  russian.x = 120;
  russian.y = 100;
  russian.angle = -20;
  russian.color = RGB(0, 110, 0);
  f.texts = {title, russian};
  f.images = {turned, kept};
  f.order = {'t', 't', 'i', 'i'};
  f.Save(dir / "gallery.tsw");
  CImage img((dir / "gallery.tsw").string().c_str(), ok);
  ASSERT_TRUE(ok);
  EXPECT_TRUE(img.SaveFile((Shots() / "collage_gallery.png").string().c_str(), kImageTypePNG));
}

TEST(PictureShots, CollageSeeds) {
  const fs::path dir = qmtest::MakeTempDir("collage-seeds");
  bool ok = false;
  CImage small(6, 4, ok, RGB(200, 100, 50));
  ASSERT_TRUE(small.SaveFile((dir / "p.bmp").string().c_str(), kImageTypeBMP));
  for (const auto& e : fs::directory_iterator(qmtest::SourceDir() / "fuzz" / "collage" / "corpus")) {
    std::vector<unsigned char> b = qmtest::ReadAll(e.path());
    for (auto& v : b) v = static_cast<unsigned char>(v + 0x6B);
    const fs::path tsw = dir / (e.path().filename().string() + ".tsw");
    qmtest::WriteAll(tsw, b);
    CImage img(tsw.string().c_str(), ok);
    ASSERT_TRUE(ok) << e.path();
    EXPECT_TRUE(img.SaveFile((Shots() / ("collage_seed_" + e.path().filename().string() + ".png")).string().c_str(),
                             kImageTypePNG));
  }
}

TEST(PictureShots, MetafileSeeds) {
  for (const auto& e : fs::directory_iterator(qmtest::SourceDir() / "fuzz" / "metafile" / "corpus")) {
    const std::vector<unsigned char> b = qmtest::ReadAll(e.path());
    CBaseImage img;
    ASSERT_TRUE(img.Decode(b.data(), static_cast<DWORD>(b.size()), CODEC_FORMAT_WMF)) << e.path() << " "
                                                                                        << img.GetLastError();
    BYTE* png = nullptr;
    long size = 0;
    ASSERT_TRUE(img.Encode(png, size, CODEC_FORMAT_PNG));
    qmtest::WriteAll(Shots() / ("metafile_" + e.path().filename().string() + ".png"),
                     std::vector<unsigned char>(png, png + size));
    std::free(png);
  }
}

}  // namespace
