// The bead-size combo of the wizard and the design properties: filled from
// the settings' list of named bead sizes.
#pragma once

#include "platform/wnd.h"

class CAppSettings;

// Empties the combo and adds the names in list order; selects the eleventh
// name when the list has more than ten, else the last (an empty list leaves
// the combo empty).
void FillBeadSizeCombo(CComboBox& combo, const CAppSettings& settings);
// Width and height of the combo's selection (no selection: the first entry).
// False with the outputs unchanged when the list is empty.
bool GetSelectedBeadSize(const CComboBox& combo, const CAppSettings& settings, double& width, double& height);
