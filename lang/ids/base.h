// Ids of the language packs' base texts: the program's title, and the texts
// of weave formats, design sizes and the design information rows.
// Included by the program's code and read by the resource compiler: only
// "#define NAME number" lines here (see lang/README.md).
#pragma once

// The program's title, caption of every message box.
#define IDS_APP_TITLE 57344

// Bead budget check of the build parameters.
#define IDS_BEAD_BUDGET_EXCEEDED 305

// Design descriptions.
#define IDS_PATTERN_FROM_FILE 314
#define IDS_PATTERN_WITHOUT_NAME 315

// Design information rows: labels and value formats.
#define IDS_INFO_SIZE_VALUE 251
#define IDS_INFO_GRID_VALUE 252
#define IDS_INFO_SIZE 253
#define IDS_INFO_GRID 254
#define IDS_INFO_FORMAT 255
#define IDS_INFO_BEAD_SIZE 256
#define IDS_INFO_BEAD_SIZE_VALUE 257
#define IDS_INFO_SPACER 258
#define IDS_INFO_SPACER_VALUE 259
#define IDS_INFO_BEADS_NUMBER_VALUE 260
#define IDS_INFO_BEADS_NUMBER 261
#define IDS_INFO_PATH 262
#define IDS_INFO_FILE 263
#define IDS_INFO_PATH_COLOR_BLANK 458
#define IDS_INFO_FORMAT_VALUE 459

// The single entry of the region box.
#define IDS_REGION_EVERYWHERE 507
