#include "platform/wnd/widgetapp.h"

#include <QApplication>

#include <cstdlib>

void QmEnsureWidgetApplication() {
  if (QApplication::instance()) return;
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  static int argc = 1;
  static char name[] = "quillmere";
  static char* argv[] = {name, nullptr};
  static QApplication app(argc, argv);
  (void)app;
}
