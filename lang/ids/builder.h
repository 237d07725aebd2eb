// Ids of the design builder's texts: the failure messages and the caption of
// its status-bar progress.
// Included by the program's code and read by the resource compiler: only
// "#define NAME number" lines here (see lang/README.md).
#pragma once

// A build that failed (no memory, sizes that hold no bead, a picture that
// cannot be reduced).
#define IDS_MEMORY_PROBLEM 308
// Caption of the progress shown while a large design is built.
#define IDS_BUILDING_PATTERN 309
// A build from a palette of which no colour is in use (refused before it
// starts).
#define IDS_NO_PALETTE_COLOR_IN_USE 7201
