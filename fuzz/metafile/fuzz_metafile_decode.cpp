// Fuzz target: the codec layer's metafile decoder (placeable WMF or EMF),
// which plays the records with the drawing stand-in's player.
#include <cstdint>

#include "image/codec/BaseImage.h"
#include "platform/gdi/guiapp.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool ready = [] {
    QmEnsureGuiApplication();
    CBaseImage::SetMemoryLimit(8u << 20);
    return true;
  }();
  (void)ready;
  CBaseImage img;
  img.Decode(data, static_cast<DWORD>(size), CODEC_FORMAT_WMF);
  return 0;
}
