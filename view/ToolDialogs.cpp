// The installed factories and hooks of the design view.
#include "view/ToolDialogs.h"

#include <utility>

#include "core/FrameServices.h"

namespace {
CViewDialogFactories& Factories() {
  static CViewDialogFactories factories;
  return factories;
}
ViewStatusTextHook& TextHook() {
  static ViewStatusTextHook hook;
  return hook;
}
ViewStatusAlertHook& AlertHook() {
  static ViewStatusAlertHook hook;
  return hook;
}
bool g_starting = false;
}  // namespace

void SetViewDialogFactories(CViewDialogFactories factories) { Factories() = std::move(factories); }
const CViewDialogFactories& GetViewDialogFactories() { return Factories(); }

void SetViewStatusHooks(ViewStatusTextHook text, ViewStatusAlertHook alert) {
  TextHook() = std::move(text);
  AlertHook() = std::move(alert);
}
void ShowViewStatusText(const CString& text) {
  if (TextHook()) TextHook()(text);
}
void ShowViewStatusAlert(const CString& text, int kind) {
  if (AlertHook()) AlertHook()(text, kind);
}

void SetViewAppStarting(bool starting) { g_starting = starting; }
bool IsViewAppStarting() { return g_starting || IsAppStarting(); }
