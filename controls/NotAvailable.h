// The message for a menu command that cannot run: one stop-icon box naming
// the command by its menu text (or its tooltip when no menu shows it), so
// that a command never does nothing in silence.
#pragma once

#include "platform/base.h"

// A menu item's text as a label: "&&" stays one "&", single "&" marks go, the
// text ends at its first TAB.
CString StripMenuMarks(const CString& text);

// The command's menu text in menu 128 of the language library without its
// mnemonic marks and shortcut; the tooltip part of its prompt string when
// the menu has no such item; empty when neither exists.
CString GetCommandName(UINT command);
// Shows the message; answers the button pressed.
int ShowCommandNotAvailable(UINT command);
