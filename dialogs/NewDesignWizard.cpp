#include "dialogs/NewDesignWizard.h"

#include "dialogs/WizPalettePage.h"
#include "dialogs/WizParamsPage.h"
#include "dialogs/WizProjectPages.h"
#include "dialogs/WizardData.h"
#include "dialogs/WizardSheet.h"
#include "lang/ids/wizard.h"

INT_PTR RunNewDesignWizard(IWizardHost& host, CWnd* parent,
                           const std::function<void(CWizardSheet&, CWizardData&)>& onOpen) {
  CWizardData record;
  record.LoadFromRegistry();
  // The pages outlive the sheet: the palette page stores its choice when it
  // goes, after the sheet has closed.
  CWiz_1_ProjectTypePage projectType;
  CWiz_2C_SelectExistedProjectPage existing;
  CWiz_2A_SelectOriginalImage picture;
  CWiz_2B_SelectPalette palette;
  CWiz_3_SelectPatternParameters parameters;
  INT_PTR result = IDCANCEL;
  {
    CWizardSheet sheet(&record, IDS_WIZ_CAPTION, parent, 0);
    sheet.SetHost(&host);
    sheet.AddPage(&projectType);
    sheet.AddPage(&existing);
    sheet.AddPage(&picture);
    sheet.AddPage(&palette);
    sheet.AddPage(&parameters);
    if (onOpen) onOpen(sheet, record);
    result = sheet.DoModal();
  }
  if (result == IDOK) record.SaveToRegistry();
  return result;
}
