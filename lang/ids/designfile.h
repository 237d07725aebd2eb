// Ids of the design-file texts: reading and saving designs, the design
// preview, and the labels of the PDF settings records kept with designs.
#pragma once

// Reading and saving design files.
#define IDS_ORIGINAL_IMAGE_LOAD_ERROR 176
#define IDS_SAVE_DESIGN_FAILED 198
#define IDS_DESIGN_FILE_CORRUPT 199
#define IDS_LOAD_PALETTE_FAILED 202
#define IDS_WRONG_FILE_VERSION 364
#define IDS_LOAD_DESIGN_FAILED 59395

// Why a design was not saved (shown after IDS_SAVE_DESIGN_FAILED).
#define IDS_SAVE_NO_BEADS 7210
#define IDS_SAVE_SIZES 7211
#define IDS_SAVE_BEAD_OUTSIDE 7212
#define IDS_SAVE_BEAD_NO_COLOR 7213
#define IDS_SAVE_BEAD_DAMAGED 7214
#define IDS_SAVE_NO_PICTURE 7215
#define IDS_SAVE_PICTURE 7216
#define IDS_SAVE_PALETTE 7217
#define IDS_SAVE_WRITE 7218

// Labels of the PDF settings.
#define IDS_WORD_CHART_ROW 316
#define IDS_WORD_CHART_COLUMN 317
#define IDS_PDF_PORTRAIT 390
#define IDS_PDF_LANDSCAPE 391
