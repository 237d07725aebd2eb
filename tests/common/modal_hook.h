// Modal hooks that cannot leave a dialog open: an ASSERT inside a hook
// returns from it early, and the dialog it was to end would wait for the
// test's time limit. Include only in tests that link the window layer.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <utility>

#include "platform/wnd.h"

// The window layer's hook entry point (declared in platform/wnd/host.h,
// which brings Qt's headers along).
using QmModalHook = std::function<void(HWND dialog)>;
void QmSetModalHook(QmModalHook hook);

namespace qmtest {

// Runs `body` on the dialog; when the body leaves with a fatal failure and
// the dialog is still open, the failure is recorded once more, naming the
// dialog, and the dialog is cancelled (Cancel, then closed if Cancel did
// not end it).
inline void RunOnDialog(HWND dialog, const std::function<void()>& body) {
  const bool failedBefore = ::testing::Test::HasFatalFailure();
  body();
  if (failedBefore || !::testing::Test::HasFatalFailure() || !::IsWindow(dialog)) return;
  char caption[256] = {};
  ::GetWindowText(dialog, caption, sizeof caption);
  ADD_FAILURE() << "a failed assertion left the dialog \"" << caption << "\" open: cancelled";
  ::SendMessage(dialog, WM_COMMAND, IDCANCEL, 0);
  if (::IsWindow(dialog)) ::SendMessage(dialog, WM_CLOSE, 0, 0);
}

// QmSetModalHook with every call of the hook run through RunOnDialog;
// nullptr removes the hook.
inline void SetModalHook(std::function<void(HWND)> hook) {
  if (!hook) {
    QmSetModalHook(nullptr);
    return;
  }
  QmSetModalHook([hook = std::move(hook)](HWND dialog) { RunOnDialog(dialog, [&] { hook(dialog); }); });
}

}  // namespace qmtest
