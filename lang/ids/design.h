// Ids of the design model's texts: the Undo and Redo command strings whose
// short parts label the Undo and Redo buttons of the editing dialogs.
#pragma once

#define IDS_EDIT_UNDO 57643
#define IDS_EDIT_REDO 57644
