#include "design/SettingsGlue.h"

#include "platform/gdi/gdi_api.h"
#include "platform/gdi/gdi_defs.h"

namespace settings_glue {

void GetScreenSize(int& width, int& height) {
  width = GetSystemMetrics(SM_CXSCREEN);
  height = GetSystemMetrics(SM_CYSCREEN);
}

}  // namespace settings_glue
