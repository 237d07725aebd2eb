// The design file dialog's preview loader on arbitrary bytes, with and
// without a checksum trailer.
#include "designfile/DesignPreview.h"
#include "fuzz/designfile/fuzz_designfile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const CString path = designfuzz::WriteInput(data, size, "preview.qx");
  // One preview object serves many files, as in the dialog.
  static CDesignPreview* preview = new CDesignPreview;
  CString signature, error;
  if (preview->Load(path, &signature, &error)) {
    designfuzz::g_sink = static_cast<unsigned>(preview->m_design.GetBeadCount() + preview->m_palette.GetCount() +
                                               preview->m_paletteOffset);
  }
  // A fresh one too, so a failure part-way is seen from a clean start.
  CDesignPreview fresh;
  fresh.Load(path, nullptr, nullptr);
  return 0;
}
