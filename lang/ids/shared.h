// Ids that several dialogs share: the palette file dialog's title and
// filter, its icon, and the Apply, Undo and Redo buttons' pictures.
#pragma once

#define IDS_SELECT_PALETTE_FILE 399
#define IDS_PALETTE_FILE_FILTER 59406
#define IDI_PALETTE_FILE 496
#define IDB_APPLY_BUTTON 161
#define IDB_UNDO_BUTTON 159
#define IDB_REDO_BUTTON 160
