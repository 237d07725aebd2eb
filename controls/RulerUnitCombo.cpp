#include "controls/RulerUnitCombo.h"

#include "core/FrameServices.h"
#include "core/Registry.h"
#include "lang/ids/shell.h"
#include "platform/wnd.h"

void FillRulerUnitCombo(CComboBox* combo) {
  combo->ResetContent();
  combo->AddString(LoadResString(IDS_UNIT_INCH));
  combo->AddString(LoadResString(IDS_UNIT_CM));
  combo->AddString(LoadResString(IDS_UNIT_MM));
  combo->SetCurSel(IsRussianInterface() ? 1 : 0);
}
