// lang/ids/adjust.h -- ids of the colour adjustment sheet, the design
// properties sheet, the change-palette dialog, the column chooser and the
// chart symbols dialog
#pragma once

// Column chooser ("Select displaying columns").
#define IDD_SELECT_COLUMNS 131
#define IDC_COLS_HINT 1003
#define IDC_COLS_USED 1008
#define IDC_COLS_OTHER 1009
#define IDC_COLS_REMEMBER 1010
#define IDC_COLS_SHORTAGE 1011
#define IDC_COLS_USAGE 1012
#define IDS_USED_COLUMNS 382
#define IDS_OTHER_COLUMNS 383

// Chart symbols dialog ("Select Symbols & 3 colors").
#define IDD_SELECT_SYMBOLS 154
#define IDC_SYM_COLORS 1024
#define IDC_SYM_USED_LABEL 1136
#define IDC_SYM_HINT 1137
#define IDC_SYM_LIST 1138
#define IDC_SYM_APPLY 1139
#define IDC_SYM_FONT_NAME 1140
#define IDC_SYM_SELECT_FONT 1141
#define IDC_SYM_OUTPUT 1142
#define IDC_SYM_OUTPUT_LABEL 1143
#define IDS_SYM_COLUMN_COUNT 384
#define IDS_SYM_COLUMN_SYMBOL 385
#define IDS_SYM_COLUMN_OUTPUT 386
#define IDS_SYM_COLUMN_MFG_NAME 59461
