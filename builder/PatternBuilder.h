// The design builder: a picture and a palette become a design in the chosen
// size, weave format, colour mode and stitch path.
//
// The build lays out the bead grid of the format, reduces a picture that is
// larger than the grid both ways to one pixel per bead, samples the picture
// under every bead (the mean of its rectangle, or its centre pixel in the
// Sharp and Classic modes), keeps that colour as the bead's cached colour and
// gives the bead the nearest palette colour in use. Blank designs take the
// blank colour of the settings and, when one is set, a ring in the border
// colour. The stitch path and, in the Softened mode, the softening pass come
// last.
//
// Large pictures are reduced and sampled on several threads; every result is
// exactly the one of the plain bead-by-bead build (the reduction adds the
// same single-precision terms in the same order per target pixel, the
// nearest-colour searches give the plain search's answers).
#pragma once

#include <memory>

#include "platform/base.h"

class CColorSet;
class CImage;
class CPattern;
class CPatternParams;
class IProgressHost;
struct CBead;

// More beads than this show a progress while building (on the `progress`
// host the build functions take; null: none is shown).
constexpr long long kBuildProgressBeads = 8000;

// Whether the palette has a colour in use for the beads to take. A build
// from a palette without one is refused before anything else.
bool HasColorForBeads(const CColorSet& palette);

// Builds the design (its beads, sizes, format, stitch path, path colour,
// blank flag and colour mode are replaced; row formats and marked beads are
// emptied; the angle becomes 0; the design ends modified). `picture` may be
// null only for a blank build. Every design it makes can be saved: bead
// centres stay within the design (the height grows to the highest centre
// where the format's room would leave it outside).
// A palette without a colour in use is refused with message
// IDS_NO_PALETTE_COLOR_IN_USE before anything changes. On other failures
// (sizes a design cannot hold: a bead of no size, a negative spacer, sizes
// that are not finite or hold no bead; bead budget exceeded; a picture that
// cannot be reduced; no memory) shows message 308 and answers false; the
// design is then left as the interrupted build left it.
bool BuildPattern(CPattern& design, unsigned long long budget, const CPatternParams& params,
                  const CColorSet& palette, const CImage* picture, IProgressHost* progress = nullptr);

// The build steps without message 308 or the palette's message (the budget
// check shows message 305).
// May throw std::bad_alloc; BuildPattern catches every failure.
bool BuildPatternGrid(CPattern& design, unsigned long long budget, const CPatternParams& params,
                      const CColorSet& palette, const CImage* picture, IProgressHost* progress = nullptr);

// What BuildPatternFromFile did.
enum class BuildFileResult {
  kBuilt,             // the design was built
  kPictureNotLoaded,  // the file could not be read as a picture; nothing shown
  kBuildFailed,       // the build failed; message 308 or the palette's was shown
};

// Loads the picture file and builds the design from it, as loading the file
// into a CImage (CImage(path, ok)) and calling BuildPattern would, with the
// same results. JPEG files are decoded once, straight into the picture's
// block, and reduced on other threads while they decode. When `picture` is
// given it receives the loaded picture (what the design view keeps as the
// original picture); it stays empty when the build failed before the
// picture was decoded (bead budget, sizes).
BuildFileResult BuildPatternFromFile(CPattern& design, unsigned long long budget, const CPatternParams& params,
                                     const CColorSet& palette, const char* path,
                                     std::unique_ptr<CImage>* picture = nullptr, IProgressHost* progress = nullptr);

// The colour of the picture under a bead: the mean of the pixels of its
// rectangle (relative sizes rw x rh, scaled by xScale and yScale), or the
// centre pixel of that rectangle. Picture rows count from the bottom, as bead
// y does. R | G << 8 | B << 16; 0 when the rectangle holds no pixel.
COLORREF SampleImageRect(const CBead& bead, double relWidth, double relHeight, const CImage& picture, double xScale,
                         double yScale, bool centreOnly);

// The softening pass: every bead that is not on the first or last row or
// column takes the palette colour nearest to the mean of the nine cached
// colours around it (its own included). Cached colours are not changed, edge
// beads keep their colour. Returns the number of rows.
int SmoothColors(CPattern& design, const CColorSet& palette);
