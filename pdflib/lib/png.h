// PNG files decoded with libpng's simplified reader (which reports errors
// by its result, without jumps), to 8-bit RGB and an alpha plane when the
// picture has transparency. The decoded size is checked against what the
// file's compressed data can hold before anything is allocated.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "pdflib/lib/bmp.h"

namespace qmpdf {

bool IsPng(const std::uint8_t* data, std::size_t size);
// alpha stays empty when every pixel is opaque.
bool DecodePng(const std::uint8_t* data, std::size_t size, RgbImage& out, std::vector<std::uint8_t>& alpha,
               std::string& why);

}  // namespace qmpdf
