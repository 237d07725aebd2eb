// A menu command named as the user sees it: its menu text without the
// mnemonic marks and shortcut (the shortcut-key list shows commands so).
#pragma once

#include "platform/base.h"

// A menu item's text as a label: "&&" stays one "&", single "&" marks go, the
// text ends at its first TAB.
CString StripMenuMarks(const CString& text);

// The command's menu text in menu 128 of the language library without its
// mnemonic marks and shortcut; the tooltip part of its prompt string when
// the menu has no such item; empty when neither exists.
CString GetCommandName(UINT command);
