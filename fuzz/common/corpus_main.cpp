// Runs a fuzz target once over every file of its seed corpus (the folders and
// files named on the command line), so the corpus is an ordinary test.
#include <clocale>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

static int RunFile(const std::filesystem::path& p) {
  std::ifstream f(p, std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(f)), {});
  LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
  return 1;
}

int main(int argc, char** argv) {
  std::setlocale(LC_NUMERIC, "C");
  int runs = 0;
  for (int i = 1; i < argc; ++i) {
    const std::filesystem::path arg(argv[i]);
    if (std::filesystem::is_directory(arg)) {
      for (const auto& e : std::filesystem::recursive_directory_iterator(arg))
        if (e.is_regular_file()) runs += RunFile(e.path());
    } else if (std::filesystem::exists(arg)) {
      runs += RunFile(arg);
    }
  }
  std::printf("%d corpus inputs ran\n", runs);
  return runs > 0 ? 0 : 1;
}
