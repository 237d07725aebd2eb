// The design-file open path on arbitrary bytes: the checksum trailer is
// appended so that every input reaches the readers (the current container
// first, then the older one), as a file with a matching trailer would.
#include <zlib.h>

#include <vector>

#include "designfile/DesignFile.h"
#include "designfile/DesignSections.h"
#include "fuzz/designfile/fuzz_designfile.h"
#include "image/ImageView.h"
#include "palette/ColorSet.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::uint8_t> bytes(data, data + size);
  const uLong crc = crc32(0L, bytes.data(), static_cast<uInt>(bytes.size()));
  const char* marker = kDesignChecksumMarker;
  bytes.insert(bytes.end(), marker, marker + 32);
  for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<std::uint8_t>(crc >> (8 * i)));
  const CString path = designfuzz::WriteInput(bytes.data(), bytes.size());

  CDesignFileContents contents;
  CString reason;
  if (OpenDesignFile(path, contents, reason) == kDesignOpenOk) {
    const CPattern& design = *contents.design;
    // What the view does next: count colours, walk the grid.
    contents.palette->CountUsageQuick(design);
    unsigned sum = design.GetColumnCount() + design.GetRowCount();
    for (const CBead& bead : design.m_beads) sum += static_cast<unsigned>(bead.GetColorIndex(design));
    designfuzz::g_sink = sum;
    // A design that opened must save and open again with the same beads
    // (a stitch path is put back on opening, so those are left out).
    if (IsDesignStorable(design) && design.m_stitchPath == 0) {
      CString picture = contents.picturePath;
      CPattern copy(design);
      const CString again = (designfuzz::Folder() + "/again.qx").c_str();
      if (SaveDesignFile(again, copy, *contents.palette, contents.palettePath, picture, contents.picture.get())) {
        CDesignFileContents back;
        if (OpenDesignFile(again, back, reason) != kDesignOpenOk) __builtin_trap();
        if (!(back.design->m_beads == copy.m_beads)) __builtin_trap();
      }
      if (picture != contents.picturePath) RemoveFile(picture);
    }
  }
  if (!contents.picturePath.IsEmpty()) RemoveFile(contents.picturePath);
  return 0;
}
