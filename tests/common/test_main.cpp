// The main of every test program: a headless Qt application, the "C" numeric
// locale, and a private temporary folder that also holds the registry store,
// so no test touches the user's settings.
#include <gtest/gtest.h>

#include <QApplication>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  const std::filesystem::path tmp =
      std::filesystem::temp_directory_path() / ("qm-test-" + std::to_string(getpid()));
  std::filesystem::create_directories(tmp / "config");
  std::filesystem::create_directories(tmp / "data");
  setenv("QM_TEST_TMP", tmp.c_str(), 1);
  setenv("XDG_CONFIG_HOME", (tmp / "config").c_str(), 1);
  setenv("XDG_DATA_HOME", (tmp / "data").c_str(), 1);

  QApplication app(argc, argv);
  std::setlocale(LC_NUMERIC, "C");
  ::testing::InitGoogleTest(&argc, argv);
  const int rc = RUN_ALL_TESTS();
  std::error_code ec;
  std::filesystem::remove_all(tmp, ec);
  return rc;
}
