// lang/ids/controls.h -- ids of the program's own controls, the bead-size
// preference page and the version text
#pragma once

// The document description (title and version first) and the version line.
#define IDS_DOCUMENT_DESCRIPTION 128
#define IDS_VERSION_FORMAT 59455

// Symbol colours of the symbol list.
#define IDS_SYMBOL_BLACK 387
#define IDS_SYMBOL_RED 388
#define IDS_SYMBOL_BLUE 389

// Group-box title font.
#define IDS_CANNOT_CREATE_FONT 59396

// Bead sizes.
#define IDS_WRONG_BEAD_WIDTH 59411
#define IDS_WRONG_BEAD_HEIGHT 59414
#define IDS_BEADSIZE_COLUMN_NAME 59476
#define IDS_BEADSIZE_COLUMN_WIDTH 59477
#define IDS_BEADSIZE_COLUMN_HEIGHT 59478
#define IDS_EMPTY_BEAD_LIST 59479
#define IDS_WRONG_BEAD_NAME 59480

#define IDD_BEAD_SIZES 179
#define IDC_BEADSIZE_LIST 1019
#define IDC_BEADSIZE_EDIT 1217
#define IDC_BEADSIZE_ADD 1219
#define IDC_BEADSIZE_DELETE 1220
#define IDC_BEADSIZE_DEFAULT 1221

#define IDD_BEAD_PARAMS 181
#define IDC_BEAD_NAME 1222
#define IDC_BEAD_WIDTH 1190
#define IDC_BEAD_HEIGHT 1191

// Sort arrows of list headers (8 pixels wide each, green mask) and the
// ruler's adjust button.
#define IDB_SORT_ARROWS 155
#define IDI_RULER_ADJUST 550
