// The New command's wizard: the record loaded from the registry, the sheet
// with its five pages run modally over the host, and the record stored
// again when the wizard ends with OK.
#pragma once

#include <functional>

#include "platform/base.h"

class CWnd;
class CWizardData;
class CWizardSheet;
class IWizardHost;

// Runs the wizard (the caller has asked to save the modified design and
// closed the original picture's overlay). Answers the sheet's result (IDOK
// or IDCANCEL). `onOpen`, when given, is called with the sheet and record
// before the sheet runs (tests drive it from there).
INT_PTR RunNewDesignWizard(IWizardHost& host, CWnd* parent,
                           const std::function<void(CWizardSheet&, CWizardData&)>& onOpen = {});
