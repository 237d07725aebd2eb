// The new-design wizard: CWizardSheet, the property sheet in wizard mode
// that routes Back and Next by the project type and ends on "MsgFinishOK",
// and CWizardPage, the base of its five pages.
#pragma once

#include "platform/gdi.h"
#include "platform/wnd.h"

class CColorSet;
class CWizardData;
class CWizardSheet;
class IWizardHost;

// Page indexes in the order the pages are added.
enum : int {
  kWizPageProjectType = 0,
  kWizPageExistingProject = 1,
  kWizPageOriginalImage = 2,
  kWizPagePalette = 3,
  kWizPageParameters = 4,
};

// The registered message that ends the wizard with OK.
UINT GetFinishOkMessage();

class CWizardPage : public CPropertyPage {
  DECLARE_DYNAMIC(CWizardPage)
 public:
  explicit CWizardPage(UINT templateId);
  ~CWizardPage() override;

  // The parent sheet (null unless it is a CWizardSheet).
  CWizardSheet* GetSheet() const;
  CWizardData* GetWizardData() const;
  IWizardHost* GetHost() const;
  // The sheet's Next button reads "Finish".
  void SetFinishText();

  BOOL OnInitDialog() override;
  // Icons and button texts of the sheet for this page.
  BOOL OnSetActive() override;

 protected:
  // Stop-icon messages owned by the page.
  void ShowStop(UINT id);
  void ShowStopText(const CString& text);

  CFont m_titleFont;
};

class CWizardSheet : public CPropertySheet {
  DECLARE_DYNAMIC(CWizardSheet)
 public:
  CWizardSheet(CWizardData* record, UINT captionId, CWnd* parent, UINT startPage);
  ~CWizardSheet() override;

  CWizardData* GetWizardData() const { return m_record; }
  void SetHost(IWizardHost* host) { m_host = host; }
  IWizardHost* GetHost() const { return m_host; }
  // The palette page's palette (the wizard palette), null before it exists.
  CColorSet* GetWizardPalette() const;
  // Enables or disables the Next button (12324).
  void EnableFinish(bool enable);
  // The sheet's small and large icon: 486 on the project-type page, else
  // 488, 490 or 492 by project type.
  void ShowPageIcon(bool projectTypePage);

  BOOL OnInitDialog() override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

 protected:
  afx_msg LRESULT OnFinishOK(WPARAM wParam, LPARAM lParam);
  afx_msg void OnDestroy();
  DECLARE_MESSAGE_MAP()

 private:
  void DestroyIcons();

  CWizardData* m_record;
  IWizardHost* m_host = nullptr;
  HICON m_icons[4] = {nullptr, nullptr, nullptr, nullptr};
};

// The sheet of the wizard that is open (null when none is).
CWizardSheet* GetOpenWizardSheet();
