#include "platform/base/waitcursor.h"

#include <QCursor>
#include <QGuiApplication>
#include <QThread>

#include <atomic>

namespace {
std::atomic<int> g_depth{0};

bool HaveGui() {
  auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
  return app && QThread::currentThread() == app->thread();
}
}  // namespace

void BeginWaitCursor() {
  ++g_depth;
  if (HaveGui()) QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

void EndWaitCursor() {
  int depth = g_depth.load();
  while (depth > 0 && !g_depth.compare_exchange_weak(depth, depth - 1)) {
  }
  if (depth <= 0) return;  // no wait cursor to end
  if (HaveGui() && QGuiApplication::overrideCursor()) QGuiApplication::restoreOverrideCursor();
}

void RestoreWaitCursor() {
  if (g_depth.load() > 0 && HaveGui()) QGuiApplication::changeOverrideCursor(QCursor(Qt::WaitCursor));
}

int WaitCursorDepth() { return g_depth.load(); }
