#include "platform/wnd/widgetapp.h"

#include <QApplication>

#include <cstdlib>

void QmEnsureWidgetApplication() {
  if (QApplication::instance()) return;
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  static int argc = 1;
  static char name[] = "quillmere";
  static char* argv[] = {name, nullptr};
  // Made once and never destroyed: a function-level static would be
  // destroyed among the exit handlers after Qt's own global objects (its
  // pointing devices among them), and the process ended with a crash after
  // its work was done. The system takes the memory back at exit.
  static QApplication* app = new QApplication(argc, argv);
  (void)app;
}
