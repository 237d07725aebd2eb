// For programs that make windows without an application object of their own
// (benchmarks, the dialog-shot tool): the window stand-in needs one.
#pragma once

// Makes one (headless unless QT_QPA_PLATFORM says otherwise) when none
// exists yet; it lives until the program ends.
void QmEnsureWidgetApplication();
