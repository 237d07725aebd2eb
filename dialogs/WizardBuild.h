// The wizard's build step: the design built into the design view from the
// wizard's record and palette, and what the view shows afterwards.
#pragma once

#include <functional>

#include "platform/base.h"

class CColorSet;
class CWizardData;
class IWizardHost;

// Builds the design of a picture or blank-canvas project into the view,
// in this order: the palette and its path become the view's; a picture
// project builds from the picture file (decoded once; the decoded picture
// becomes the view's original picture, with chart symbols by usage after a
// build), a blank canvas drops the original picture and builds without one.
// After a build: the history emptied, bead effect 2, new document
// information, the design rendered and fitted, the view repainted, Finish
// enabled, the design's property value 7, the title the nickname, the
// control pane refilled. A picture that cannot be read shows message 203
// with the path and leaves the view without one; every failure then shows
// 59416 and disables Finish. Answers whether the design was built.
bool BuildWizardDesign(IWizardHost& host, const CWizardData& record, const CColorSet& palette, const CString& nickname,
                       const std::function<void(bool)>& enableFinish);

// The design's property value after a wizard build.
constexpr DWORD kWizardBuildPropertyValue = 7;
// The bead effect of a new design.
constexpr DWORD kWizardBuildBeadEffect = 2;
