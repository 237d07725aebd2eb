// The screen size as the settings records measure it, kept apart so that the
// records read the system metrics in one place.
#pragma once

namespace settings_glue {

// The screen size in pixels (SM_CXSCREEN, SM_CYSCREEN).
void GetScreenSize(int& width, int& height);

}  // namespace settings_glue
