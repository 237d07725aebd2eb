// Ids of the texts a newcomer meets where a file or a page does not open:
// why a design file cannot be read, and where a written file is when no
// program opens it.
#pragma once

// Why a design file cannot be read (shown after IDS_LOAD_DESIGN_FAILED and
// in the open dialog's preview).
#define IDS_DESIGN_FILE_TOO_SHORT 7400
#define IDS_DESIGN_FILE_DAMAGED 7401

// The shell could not open a file the program has just written, or a page.
#define IDS_SHELL_OPEN_WRITTEN_FAILED 7402
#define IDS_SHELL_OPEN_PAGE_FAILED 7403

// The new-design wizard's parameters page: what the bead fields hold.
#define IDS_WIZ_UNIT_BEADS 7404
#define IDC_WIZ_ACROSS_UNIT 7410
#define IDC_WIZ_DOWN_UNIT 7411
#define IDC_WIZ_SPACER_UNIT 7412
