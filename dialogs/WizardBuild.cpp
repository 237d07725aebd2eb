#include "dialogs/WizardBuild.h"

#include <memory>

#include "builder/PatternBuilder.h"
#include "core/FrameServices.h"
#include "design/Pattern.h"
#include "dialogs/WizardData.h"
#include "dialogs/WizardHost.h"
#include "image/Image.h"
#include "lang/ids/wizard.h"
#include "lang/ids/file.h"
#include "palette/ColorSet.h"
#include "platform/base/waitcursor.h"

bool BuildWizardDesign(IWizardHost& host, const CWizardData& record, const CColorSet& palette, const CString& nickname,
                       const std::function<void(bool)>& enableFinish) {
  CWaitCursor wait;
  host.SetColorSet(palette, record.m_palettePath);
  CPattern& design = host.GetPattern();
  const unsigned long long budget = host.GetMaxBeadCount();
  bool built = false;
  if (record.m_projectType == kProjectFromPicture) {
    std::unique_ptr<CImage> picture;
    const BuildFileResult result = BuildPatternFromFile(design, budget, record.m_params, host.GetColorSet(),
                                                        record.m_picturePath.GetString(), &picture,
                                                        host.GetProgressHost());
    if (result == BuildFileResult::kPictureNotLoaded) {
      host.DeleteOriginalPicture();
      CString text = LoadResString(IDS_FAILED_LOAD_IMAGE);
      text += "\n";
      text += record.m_picturePath;
      AppMessageBox(text, kMbIconStop);
    } else {
      if (picture && picture->GetWidth() > 0) host.SetOriginalPicture(std::move(picture), record.m_picturePath);
      if (result == BuildFileResult::kBuilt) {
        host.GetColorSet().AssignSymbolsByUsage(host.GetPattern());
        built = true;
      }
    }
  } else {
    host.DeleteOriginalPicture();
    built = BuildPattern(design, budget, record.m_params, host.GetColorSet(), nullptr, host.GetProgressHost());
  }
  if (!built) {
    if (enableFinish) enableFinish(false);
    AppMessageBoxId(IDS_WIZ_BUILD_FAILED, kMbIconStop);
    return false;
  }
  CPattern& result = host.GetPattern();
  host.ClearEditHistory();
  result.m_beadEffect = kWizardBuildBeadEffect;
  result.ResetDocumentInfo();
  host.RenderPatternView();
  host.SetZoomMode(1);
  host.ApplyZoomMode();
  host.RepaintNow();
  if (enableFinish) enableFinish(true);
  result.m_word = kWizardBuildPropertyValue;
  result.m_title = nickname;
  host.FillColorList();
  host.UpdateOriginalControls();
  return true;
}
