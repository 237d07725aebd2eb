// lang/ids/tooldlg2.h -- the separated-beads, colour-variant, interesting-
// colours, design-by-sample, use-only-N-colours and preview windows, and the
// picture layer over the design view
#pragma once

// Remove separated beads (normal and small-screen layouts).
#define IDD_SEPARATED_BEADS 443
#define IDD_SEPARATED_BEADS_SMALL 442
#define IDC_SEP_TITLE 1045
#define IDC_SEP_HINT 1271
#define IDC_SEP_SIZE_LABEL 444
#define IDC_SEP_SIZE 445
#define IDC_SEP_DIAGONAL 446
#define IDC_SEP_LIST 1019
#define IDC_SEP_DISPLAY_ALL 447
#define IDC_SEP_CHANGE_SELECTED 1273
#define IDC_SEP_CHANGE_ALL 1275
#define IDC_SEP_FORBIDDEN_COUNT 448
#define IDC_SEP_FORBIDDEN_SHOW 449
#define IDC_SEP_FORBIDDEN_SELECT 450
#define IDC_SEP_REGION 451
#define IDC_SEP_UNDO 1179
#define IDC_SEP_REDO 1181
#define IDC_SEP_COUNT 452

// The colour variants of one separated piece.
#define IDD_CHANGE_COLOR 455
#define IDC_CHG_LIST 1019
#define IDC_CHG_TEST 1274
#define IDC_CHG_MARK 1270

// Show interesting colours.
#define IDD_INTERESTING_COLORS 440
#define IDC_INT_LIST 1019
#define IDC_INT_HINT 1014
#define IDC_INT_LEVEL 1268
#define IDC_INT_SAVE 1269
#define IDC_INT_MARK 1270

// Design by sample.
#define IDD_DESIGN_BY_SAMPLE 165
#define IDC_SAMPLE_ACROSS 1190
#define IDC_SAMPLE_DOWN 1191
#define IDC_SAMPLE_ROTATE 1192
#define IDC_SAMPLE_APPLY 1052

// Use only XX colours (normal and small-screen layouts).
#define IDD_USE_ONLY_COLORS 434
#define IDD_USE_ONLY_COLORS_SMALL 435
#define IDC_ONLY_BEFORE 1258
#define IDC_ONLY_AFTER 1259
#define IDC_ONLY_NO_MORE 1261
#define IDC_ONLY_LIMIT 1260
#define IDC_ONLY_FROM 1257
#define IDC_ONLY_APPLY 1052
#define IDC_ONLY_COLUMNS 1038
#define IDC_ONLY_LIST 1019
#define IDC_ONLY_COUNT 1188

// The separate pattern preview.
#define IDD_PATTERN_PREVIEW 167
#define IDC_PREVIEW_ZOOM 1197

// The picture layer over the design view.
#define IDD_LAYER_VIEW 134

#define IDS_SEP_COLUMN_SEPARATED 439
#define IDS_SEP_COLUMN_TOTAL 441
#define IDS_SEP_NONE 453
#define IDS_SELECT_A_COLOR 454
#define IDS_SEP_INIT_PROGRESS 504
#define IDS_SEP_DELETING 505
#define IDS_SEP_DELETING_PASS 506
#define IDS_SAMPLE_BAD_WIDTH 274
#define IDS_SAMPLE_BAD_HEIGHT 275
#define IDS_SAMPLE_NOTHING 276
#define IDS_ONLY_COLORS_NUMBER 392
#define IDS_ONLY_APPLYING 395
#define IDS_ONLY_CHECK_ONE 433
#define IDS_PREVIEW_PRICE 285
#define IDS_PREVIEW_TITLE 286
