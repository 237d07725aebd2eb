// Helpers shared by the tests.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace qmtest {

// A fresh folder under the test run's temporary root, removed at exit.
std::filesystem::path MakeTempDir(const std::string& name);

// The build's bin folder (where the program and the resource packs are).
std::filesystem::path BinDir();
// The source tree (for fixtures kept beside the tests).
std::filesystem::path SourceDir();

std::vector<unsigned char> ReadAll(const std::filesystem::path& p);
void WriteAll(const std::filesystem::path& p, const std::vector<unsigned char>& bytes);

}  // namespace qmtest
