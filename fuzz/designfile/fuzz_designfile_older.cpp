// The reader of older design files on arbitrary bytes: signature, body (the
// old bead section or the design blob with its records), row formats,
// earlier properties, PDF options, picture and older palette.
#include "core/ByteStream.h"
#include "designfile/DesignSections.h"
#include "designfile/PrevDesign.h"
#include "fuzz/designfile/fuzz_designfile.h"
#include "image/ImageView.h"
#include "palette/ColorSet.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const CString path = designfuzz::WriteInput(data, size, "older.qx");
  CPrevDesign reader(CPrevDesign::kModeRead, path);
  CString error;
  if (!reader.Open(&error)) return 0;
  CPattern design;
  if (!reader.ReadBody(path, design)) return 0;
  unsigned sum = design.GetColumnCount() + static_cast<unsigned>(design.m_tags.size());
  if (!design.m_blank) {
    std::unique_ptr<CImageView> picture;
    if (!reader.ReadPicture(picture, nullptr)) return 0;
    sum += static_cast<unsigned>(picture->GetWidth());
  }
  CColorSet palette;
  if (reader.ReadColorSet(reader.GetVersion(), palette)) {
    palette.CountUsageQuick(design);
    sum += static_cast<unsigned>(palette.GetCount());
  }
  designfuzz::g_sink = sum;
  return 0;
}
