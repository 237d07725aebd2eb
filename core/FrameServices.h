// The program-wide services that need no window: library texts, message
// boxes captioned with the program's title, the compact-layout flag, a line
// reader over a text, the status bar's alert text and the starting flag.
// Progress of long operations is in core/Progress.h; the windows of the
// program reach the main frame through view/FramePorts.h.
#pragma once

#include "core/Progress.h"
#include "platform/base.h"

// Message-box types and answers (Windows numbers).
constexpr UINT kMbOk = 0x0;
constexpr UINT kMbIconStop = 0x10;          // MB_ICONHAND: errors and validation
constexpr UINT kMbYesNoCancelQuestion = 0x23;  // the save prompt
constexpr UINT kMbYesNoQuestion = 0x24;     // yes/no questions
constexpr UINT kMbIconInformation = 0x40;

// The text of a string-table entry of the language resource library; empty
// when the entry does not exist (at most 255 bytes, as the library gives
// them).
CString LoadResString(UINT id);
// A message box with the text, the program's title as caption and the box
// type; owned by `owner`, or by the main window when null. Returns the
// button pressed (IDOK, IDYES, IDNO, IDCANCEL...).
int AppMessageBox(const char* text, UINT type, HWND owner = nullptr);
int AppMessageBoxId(UINT id, UINT type, HWND owner = nullptr);
// The main window that owns message boxes without an owner (null: none).
void SetMainWindowHandle(HWND window);

// True when the screen is at most 600 pixels high (compact dialog layouts).
bool IsSmallScreen();
// Set by the application at start-up from the screen height.
void SetSmallScreen(bool small);
// The rule: height <= 600.
inline bool IsSmallScreenHeight(int screenHeight) { return screenHeight <= 600; }

// A line reader over a text: lines end at CR or LF; runs of line ends are
// skipped. A text that begins with a line end gives false at once (the
// position then moves on by one character).
class CStringLineReader {
 public:
  explicit CStringLineReader(const CString& text) : text_(text) {}
  bool ReadLine(CString& line);
  int GetPosition() const { return position_; }

 private:
  CString text_;
  int position_ = 0;
};

// ---- The status bar's alert text and a path's file title ----

// The status-bar alert text: TAB, the kind byte (1 red for kind 0, 2 green
// for kind 1) and the message, cut to 255 characters. Any other kind gives
// an empty text.
CString MakeStatusAlertText(int kind, const char* text);
// The file name of a path without its folder and extension.
void GetFileTitleFromPath(const char* path, CString& out);

// The application's starting flag: set from the first step of start-up to
// its last (the empty design view draws no hint lines meanwhile).
bool IsAppStarting();
void SetAppStarting(bool starting);
