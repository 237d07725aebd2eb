// Ids that other areas own and the wizard shows. Each goes (with its texts
// in lang/*/wizard_borrowed.rcs) as soon as its own area defines it.
#pragma once

#define IDS_LOAD_PICTURE_FAILED 203
#define IDS_DESIGN_FILE_FILTER 427
#define IDS_SAVE_PICTURE_FILTER 59402
#define IDS_WRONG_BEAD_WIDTH 59411
#define IDS_WRONG_BEAD_HEIGHT 59414
#define IDS_UNIT_INCH 59423
#define IDS_UNIT_CM 59424
#define IDS_UNIT_MM 59425
