#include "platform/gdi/guiapp.h"

#include <QGuiApplication>

#include <cstdlib>

void QmEnsureGuiApplication() {
  if (QGuiApplication::instance()) return;
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 0);
  static int argc = 1;
  static char name[] = "quillmere";
  static char* argv[] = {name, nullptr};
  // Destroyed at exit, which also lets the font libraries clean up.
  static QGuiApplication app(argc, argv);
  (void)app;
}
