// Language packs from arbitrary bytes: opening never reads outside the
// bytes, and every resource of a pack that opens can be read. The checksum
// is set right first, so the fuzzer reaches the structure checks behind it.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "platform/base/resource.h"

namespace {
void Exercise(HINSTANCE h) {
  char buf[64];
  for (const QmResourceKey& k : QmEnumResources(h)) {
    const UINT id = k.id;
    switch (k.type) {
      case qmres::kString: LoadString(h, id, buf, sizeof buf); break;
      case qmres::kMenu: if (!LoadMenuTemplate(h, id)) std::abort(); break;
      case qmres::kDialog: if (!LoadDialogTemplate(h, id, false)) std::abort(); break;
      case qmres::kDialogCompact: if (!LoadDialogTemplate(h, id, true)) std::abort(); break;
      case qmres::kAccelerator: if (!LoadAcceleratorTable(h, id)) std::abort(); break;
      case qmres::kToolbar: if (!LoadToolbarTemplate(h, id)) std::abort(); break;
      default: break;
    }
    const QmResourceBytes b = k.name.empty()
        ? LoadResourceBytes(h, MAKEINTRESOURCE(id), MAKEINTRESOURCE(k.type))
        : LoadResourceBytes(h, k.name.c_str(), MAKEINTRESOURCE(k.type));
    if (!b) std::abort();
    volatile BYTE sum = 0;
    for (DWORD i = 0; i < b.size; ++i) sum = static_cast<BYTE>(sum + b.data[i]);
  }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (HINSTANCE h = QmLoadPackFromMemory(data, size)) {
    Exercise(h);
    FreeLibrary(h);
  }
  if (size >= qmpack::kHeaderSize) {
    std::vector<BYTE> b(data, data + size);
    const DWORD crc = qmpack::Crc32(b.data() + qmpack::kHeaderSize, b.size() - qmpack::kHeaderSize);
    for (int k = 0; k < 4; ++k) b[32 + static_cast<size_t>(k)] = static_cast<BYTE>(crc >> (8 * k));
    if (HINSTANCE h = QmLoadPackFromMemory(b.data(), b.size())) {
      Exercise(h);
      FreeLibrary(h);
    }
  }
  return 0;
}
