// The wait (hourglass) cursor over the whole application while a long
// operation runs. Calls nest; each BeginWaitCursor needs one EndWaitCursor.
// Without a QGuiApplication they only count.
#pragma once

void BeginWaitCursor();
void EndWaitCursor();
// Shows the wait cursor again after something (a message box) replaced it,
// when one is in effect.
void RestoreWaitCursor();
// How many BeginWaitCursor calls are open.
int WaitCursorDepth();

// Shows the wait cursor for its own lifetime.
class CWaitCursor {
 public:
  CWaitCursor() { BeginWaitCursor(); }
  ~CWaitCursor() { EndWaitCursor(); }
  CWaitCursor(const CWaitCursor&) = delete;
  CWaitCursor& operator=(const CWaitCursor&) = delete;
  void Restore() { RestoreWaitCursor(); }
};
