// What the lower levels call of the dialogs: the option bytes of the
// column-choice dialog and a hook through which the dialogs install that
// dialog for the palette's colour lists, and the program's build date text.
// (The same-colour growth of the block tools, CBeadBlockFinder, is in
// design/BeadBlock.h.)
#pragma once

#include <functional>
#include <utility>
#include <vector>

#include "platform/base.h"

class CWnd;

// The four option bytes handed to and from the column-choice dialog.
struct CColumnListOptions {
  BYTE rememberSelection = 0;  // remember the selection while sorting
  BYTE highlightShortage = 1;
  BYTE allowUsageChange = 0;
  BYTE usageChangeLocked = 1;
};

// A colour list's columns as (column type, width) pairs.
using CColumnLayout = std::vector<std::pair<int, int>>;

// The "Select displaying columns" dialog: edits the columns and the first
// three options, answers true when the user confirmed.
using SelectColumnsDialog = std::function<bool(CColumnLayout& columns, CColumnListOptions& options, CWnd* parent)>;
void SetSelectColumnsDialog(SelectColumnsDialog dialog);
// Runs the installed dialog; false (nothing changed) when none is installed.
bool RunSelectColumnsDialog(CColumnLayout& columns, CColumnListOptions& options, CWnd* parent);

// The program's build date as text ("Dec 10 2026"), the month name
// translated under the Russian interface ("10 <month> 2026").
void GetBuildDateText(CString& out);
