#include "tests/common/test_util.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace qmtest {

std::filesystem::path MakeTempDir(const std::string& name) {
  const char* root = std::getenv("QM_TEST_TMP");
  std::filesystem::path base = root ? root : std::filesystem::temp_directory_path();
  std::filesystem::path dir = base / name;
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  return dir;
}

std::filesystem::path BinDir() {
  const char* d = std::getenv("QM_BIN_DIR");
  return d ? d : QM_BIN_DIR_DEFAULT;
}

std::filesystem::path SourceDir() {
  const char* d = std::getenv("QM_SOURCE_DIR");
  return d ? d : QM_SOURCE_DIR_DEFAULT;
}

std::vector<unsigned char> ReadAll(const std::filesystem::path& p) {
  std::ifstream f(p, std::ios::binary);
  if (!f) throw std::runtime_error("cannot read " + p.string());
  return std::vector<unsigned char>(std::istreambuf_iterator<char>(f), {});
}

void WriteAll(const std::filesystem::path& p, const std::vector<unsigned char>& bytes) {
  std::ofstream f(p, std::ios::binary | std::ios::trunc);
  f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!f) throw std::runtime_error("cannot write " + p.string());
}

LanguagePack::LanguagePack(bool russian) : previous_(AfxGetResourceHandle()) {
  pack_ = LoadLibrary((BinDir() / (russian ? "Pellow_Ru.dll" : "Pellow_En.dll")).string().c_str());
  if (pack_) AfxSetResourceHandle(pack_);
}

LanguagePack::~LanguagePack() {
  AfxSetResourceHandle(previous_);
  if (pack_) FreeLibrary(pack_);
}

}  // namespace qmtest
