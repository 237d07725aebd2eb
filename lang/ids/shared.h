// Ids that several dialogs share: the palette file dialog's title and
// filter, its icon, and the Apply button's picture.
#pragma once

#define IDS_SELECT_PALETTE_FILE 399
#define IDS_PALETTE_FILE_FILTER 59406
#define IDI_PALETTE_FILE 496
#define IDB_APPLY_BUTTON 161
