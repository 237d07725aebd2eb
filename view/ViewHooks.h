// What the design view gives the levels below it and the main window once
// the program starts: the design thumbnails of the file previews, and the
// status bar's bead texts and alerts.
#pragma once

// Installs the thumbnail renderer (core/ViewServices.h) and the view's
// status-bar hooks (the main window's message bar). Called once at start-up.
void InstallViewHooks();
