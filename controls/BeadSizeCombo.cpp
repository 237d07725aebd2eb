#include "controls/BeadSizeCombo.h"

#include "settings/AppSettings.h"

void FillBeadSizeCombo(CComboBox& combo, const CAppSettings& settings) {
  combo.ResetContent();
  for (const CBeadSize& size : settings.m_beadSizes) combo.AddString(size.name);
  const int count = static_cast<int>(settings.m_beadSizes.size());
  if (count > 10)
    combo.SetCurSel(10);
  else if (count > 0)
    combo.SetCurSel(count - 1);
}

bool GetSelectedBeadSize(const CComboBox& combo, const CAppSettings& settings, double& width, double& height) {
  const int selected = combo.GetCurSel();
  return settings.GetBeadSize(selected < 0 ? 0 : selected, width, height);
}
