#include "tests/view/file_fixture.h"

#include "core/FileUtils.h"
#include "core/FrameServices.h"
#include "core/Registry.h"
#include "designfile/DesignFile.h"
#include "platform/base/msgbox.h"
#include "platform/wnd/host.h"

namespace filetest {

void MakeDesign(CPattern& d, int columns, int rows, int colours, bool blank) {
  CGridLayout layout;
  layout.width = 0.1f * columns;
  layout.height = 0.1f * rows;
  layout.beadWidth = 0.1f;
  layout.beadHeight = 0.1f;
  layout.spacer = 0.0f;
  layout.format = kFormatLoom;
  d.CreateGrid(layout, 0);
  d.m_nominalWidth = 0.1 * columns;
  d.m_nominalHeight = 0.1 * rows;
  d.m_blank = blank ? 1 : 0;
  for (int row = 0; row < rows; ++row)
    for (int column = 0; column < columns; ++column) {
      CBead* bead = d.GetBeadAt(column, row);
      bead->SetColorIndex((column + row) % colours);
    }
  d.m_title = "Test design";
}

void MakePalette(CColorSet& palette, int colours) {
  palette.Clear();
  for (int i = 0; i < colours; ++i) {
    CPaletteColor c(CRgbTriple(static_cast<BYTE>(30 * i), static_cast<BYTE>(255 - 30 * i), 77),
                    CString(("DB-" + std::to_string(100 + i)).c_str()), 0, i + 1, 225, 150);
    palette.Append(c);
  }
}

fs::path WriteDesignFile(const fs::path& path, int columns, int rows) {
  CPattern design;
  MakeDesign(design, columns, rows, 3);
  CColorSet palette;
  MakePalette(palette, 3);
  CString picturePath;
  CString reason;
  EXPECT_TRUE(SaveDesignFile(Path(path), design, palette, "pal.pal", picturePath, nullptr, nullptr, &reason))
      << reason.GetString();
  return path;
}

void FileTest::SetUp() {
  folder = qmtest::MakeTempDir(::testing::UnitTest::GetInstance()->current_test_info()->name());
  fs::create_directories(folder / "data");
  SetProgramDataFolder(Path(folder / "data"));
  UseLanguage(false);
  SetMessageBoxHook([this](const CString& text, const CString&, UINT type) {
    boxes.emplace_back(text.str(), type);
    return boxAnswer;
  });
  QmSetShellExecuteHook([this](HWND, const char* operation, const char* file, const char*, const char*, int) {
    opened.push_back(std::string(operation ? operation : "") + " " + (file ? file : ""));
    return reinterpret_cast<HINSTANCE>(static_cast<intptr_t>(42));
  });
}

void FileTest::TearDown() {
  QmSetModalHook(nullptr);
  QmSetShellExecuteHook(nullptr);
  SetMessageBoxHook(nullptr);
  if (frame != nullptr) {
    frame->DestroyWindow();
    QmPumpMessages();
    frame = nullptr;
  }
  pack.reset();
  SetRussianInterface(false);
  SetProgramDataFolder("");
}

void FileTest::UseLanguage(bool russian) {
  pack.reset();
  SetRussianInterface(russian);
  pack = std::make_unique<qmtest::LanguagePack>(russian);
  ASSERT_TRUE(pack->Loaded());
}

fs::path ShotPath(bool russian, const std::string& name) {
  const fs::path dir = qmtest::SourceDir() / "build" / "shots" / (russian ? "ru" : "en");
  fs::create_directories(dir);
  return dir / name;
}

}  // namespace filetest
