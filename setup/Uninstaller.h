// The uninstaller's work, for the UnInstall program and its tests: asks
// once in the stored language, removes what the setup recorded, and says
// what stayed.
#pragma once

#include "platform/base.h"

namespace qmsetup {

// The installation in folder: asks (Yes/No), removes, reports. 0 when it
// was removed, 1 when the user said No, 2 when there was nothing to remove.
int RunUninstall(const CString& folder);

}  // namespace qmsetup
