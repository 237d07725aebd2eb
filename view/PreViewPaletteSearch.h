// The search behind "Find better palette for current original": which
// palette file of a folder reproduces a picture best, scored by the
// distance of every picture colour to its nearest palette colour, weighted
// by how often the colour occurs.
#pragma once

#include <utility>
#include <vector>

#include "platform/base.h"

class CImage;
class IProgressHost;

// The picture's colours (packed red | green << 8 | blue << 16) with their
// pixel counts, sorted by colour. A progress (caption 372) runs on
// `progress` (null: none) to the picture's width.
void BuildColorHistogram(const CImage& picture, std::vector<std::pair<COLORREF, unsigned>>& out,
                         IProgressHost* progress = nullptr);

// The palette files ("*.pal") of a folder that exist, in the order the
// search gives them. False when the folder does not exist.
bool CollectPaletteFiles(const CString& folder, std::vector<CString>& out);

// A palette file's score against a histogram: the sum over the colours of
// count x distance to the nearest palette colour. False when the file does
// not load as a palette or offers no colour.
bool ScorePaletteFile(const CString& path, const std::vector<std::pair<COLORREF, unsigned>>& histogram,
                      unsigned long long& score);

// The index of the best file: a single file without looking at the
// picture; otherwise the smallest score, the first one found among equal
// scores, with a progress on `progress` (caption 371; null: none) running
// to files x K steps (K: the number of colours, at most 50). -1 when no file
// could be scored. `scores` (when given) receives each file's score (0 for a
// file that was skipped).
int FindBestPaletteFile(const CImage* picture, const std::vector<CString>& files,
                        std::vector<unsigned long long>* scores = nullptr, IProgressHost* progress = nullptr);
