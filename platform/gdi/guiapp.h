// For programs without windows (fuzz targets, benchmarks) that draw text:
// the drawing stand-in's fonts need a GUI application object.
#pragma once

// Makes one (headless unless QT_QPA_PLATFORM says otherwise) when none
// exists yet; it lives until the program ends.
void QmEnsureGuiApplication();
