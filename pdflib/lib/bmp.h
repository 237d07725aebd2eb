// Windows bitmap files (1, 4, 8, 16, 24 and 32 bits, uncompressed or with
// bit fields) decoded to 8-bit RGB. Sizes are checked against the file before
// anything is allocated; a file that does not hold what its header claims is
// refused with a reason.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace qmpdf {

struct RgbImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgb;  // rows from the top, 3 bytes a pixel
};

bool IsBmp(const std::uint8_t* data, std::size_t size);
bool DecodeBmp(const std::uint8_t* data, std::size_t size, RgbImage& out, std::string& why);

}  // namespace qmpdf
