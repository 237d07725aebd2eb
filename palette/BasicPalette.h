// The starter palette the program ships: plain bead colours of its own, so a
// first design can be made before any bead maker's palette is installed.
#pragma once

#include "palette/ColorSet.h"

// Every colour in use, numbered from 1, codes "QB-01" upwards with English
// nicknames.
CColorSet MakeBasicPalette();

// The file name the program's Palettes folder holds it under.
inline const char* BasicPaletteFileName() { return "Basic.pal"; }
