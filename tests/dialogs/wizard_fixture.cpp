#include "tests/dialogs/wizard_fixture.h"

#include <gtest/gtest.h>

#include "platform/base/msgbox.h"

namespace wiztest {

void CFakeHost::SetColorSet(const CColorSet& p, const CString& path) {
  Log("SetColorSet");
  palette.CopyConstruct(p);
  palette.SetFilePath(path);
  palettePath = path;
}

void CFakeHost::SetOriginalPicture(std::unique_ptr<CImage> picture, const CString& path) {
  Log("SetOriginalPicture");
  original = std::move(picture);
  originalPath = path;
}

void CFakeHost::DeleteOriginalPicture() {
  Log("DeleteOriginalPicture");
  original.reset();
  originalPath.Empty();
}

bool CFakeHost::OpenDesignFile(const CString& path) {
  Log("OpenDesignFile " + std::string(path.GetString()));
  return openDesignResult;
}

void CFakeHost::AddRecentPicture(const CString& path) {
  Log("AddRecentPicture");
  for (size_t i = 0; i < recentPictures.size(); ++i) {
    if (recentPictures[i].CompareNoCase(path) == 0) {
      recentPictures.erase(recentPictures.begin() + static_cast<long>(i));
      break;
    }
  }
  recentPictures.insert(recentPictures.begin(), path);
}

void CFakeHost::AddRecentPalette(const CString& path) {
  Log("AddRecentPalette");
  recentPalettes.insert(recentPalettes.begin(), path);
}

bool CFakeHost::AskPictureToOpen(CWnd*, const CString&, CString& path) {
  path = openPicture;
  return !path.IsEmpty();
}

bool CFakeHost::AskPictureToSave(CWnd*, SIZE, CString& path, int& filterIndex) {
  Log("AskPictureToSave");
  path = savePicture;
  filterIndex = saveFilter;
  return !path.IsEmpty();
}

bool CFakeHost::AskPaletteToOpen(CWnd*, const CString&, const CString&, CString& path) {
  path = openPalette;
  return !path.IsEmpty();
}

bool CFakeHost::AskDesignToOpen(CWnd*, const CString&, CString& path) {
  path = openDesign;
  return !path.IsEmpty();
}

CColorSet MakePalette(int colors) {
  CColorSet p;
  for (int i = 0; i < colors; ++i) {
    const int r = (i * 73) % 256, g = (i * 151 + 40) % 256, b = (i * 29 + 90) % 256;
    CString name;
    name.Format("Colour %d", i + 1);
    p.AppendPlainColor(r, g, b, name, i + 1);
  }
  p.CheckAll();
  return p;
}

std::filesystem::path SavePalette(const std::filesystem::path& folder, const std::string& name, int colors) {
  CColorSet p = MakePalette(colors);
  const auto path = folder / (name + ".pal");
  EXPECT_TRUE(p.SavePaletteAs(path.c_str())) << path;
  return path;
}

std::filesystem::path SavePicture(const std::filesystem::path& path, int width, int height) {
  bool ok = false;
  CImage picture(width, height, ok, RGB(255, 255, 255));
  EXPECT_TRUE(ok);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      BYTE r = static_cast<BYTE>(x * 255 / (width > 1 ? width - 1 : 1));
      BYTE g = static_cast<BYTE>(y * 255 / (height > 1 ? height - 1 : 1));
      BYTE b = static_cast<BYTE>(((x / 7) + (y / 5)) % 2 ? 200 : 40);
      picture.SetPixelRGB(x, y, r, g, b);
    }
  }
  EXPECT_TRUE(picture.SaveFile(path.c_str())) << path;
  return path;
}

CMessageLog::CMessageLog() {
  SetMessageBoxHook([this](const CString& text, const CString&, UINT type) {
    texts.emplace_back(text.GetString());
    return DefaultMessageBoxButton(type);
  });
}

CMessageLog::~CMessageLog() { SetMessageBoxHook({}); }

bool CMessageLog::Has(const CString& text) const {
  for (const auto& t : texts) {
    if (t == text.GetString()) return true;
  }
  return false;
}

}  // namespace wiztest
