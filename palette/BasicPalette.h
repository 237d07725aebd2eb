// The starter palette the program ships: plain bead colours of its own, so a
// first design can be made before any bead maker's palette is installed.
// It exists in both interface languages, as two files of the Palettes
// folder; the program lists the one of its interface language.
#pragma once

#include "palette/ColorSet.h"

// Every colour in use, numbered from 1, codes "QB-01" upwards, with
// nicknames in the language asked for (Russian ones in Windows-1251, the
// interface code page of the Russian interface).
CColorSet MakeBasicPalette(bool russian = false);

// The file name of the starter palette of a language, in the interface code
// page in use: "Basic.pal", and the Russian "Базовая.pal".
CString BasicPaletteFileName(bool russian);

// True when a file name of the Palettes folder (in the interface code page)
// is the starter palette of the other interface language.
bool IsOtherLanguageBasicPalette(const CString& fileName, bool russianInterface);
