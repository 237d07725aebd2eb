// The dialog-shot tool: renders dialogs to PNG pictures and checks their
// layout -- a control whose text does not fit it (cut off) or that overlaps
// another control, or that lies outside the dialog, is a problem.
//
// Two ways to use it:
// - ShootPackDialogs: every dialog template of a language pack (and its
//   compact variant), made from the template alone, pictured as
//   <dir>/dialog_<id>[_compact].png and checked (the qmshots program and the
//   test DialogShots.EveryTemplateOfBothPacks do this for both packs).
// - CheckDialogLayout / SaveDialogShot on a dialog window your own code made
//   (after OnInitDialog filled it), to check and picture what a user sees.
#pragma once

#include <string>
#include <vector>

#include "platform/base.h"

struct DialogLayoutProblem {
  UINT dialog = 0;         // the template id (0 when not known)
  bool compact = false;    // the compact variant
  int control = 0;         // the control id (-1 for static texts)
  CString text;            // the control's text
  std::string what;        // "text cut off: needs 88 x 13, has 80 x 13" ...
};

// Checks the children of a dialog window. Hidden controls are passed over.
std::vector<DialogLayoutProblem> CheckDialogLayout(HWND dialog);
// One problem as a line of text ("dialog 181 (compact): control 1222 "Name":
// text cut off ...").
std::string DescribeProblem(const DialogLayoutProblem& problem);

// Writes the window's picture (with its caption and frame) to the path;
// false when it cannot be written. The folders are made.
bool SaveDialogShot(HWND window, const std::string& path);

// build/shots/<en|ru> under the source tree (QM_SOURCE_DIR or the folder
// given at build time).
std::string DefaultShotsDir(bool russian);

struct DialogShotResult {
  int dialogs = 0;                 // templates made and pictured
  std::vector<std::string> files;  // pictures written
  std::vector<DialogLayoutProblem> problems;
};
// Every dialog template of the pack (normal and compact variants): made,
// pictured into dir (no pictures when dir is empty) and checked.
DialogShotResult ShootPackDialogs(HINSTANCE pack, const std::string& dir);
