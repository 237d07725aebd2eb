// The third page of the PDF options sheet: the document's restrictions (no
// printing, editing, copying), the user and master passwords and the
// document information fields, edited in the sheet's CPdfData through the
// dialog data exchange. Before the sheet closes with OK, Validate checks
// that the restrictions can work.
#pragma once

#include "controls/Edits.h"
#include "platform/wnd.h"

class CPdfData;

class CPdfProtectPage : public CPropertyPage {
 public:
  explicit CPdfProtectPage(CPdfData* settings);

  BOOL OnInitDialog() override;
  // With a restriction set, a master password must be given and differ
  // (byte for byte) from the user password; without any restriction the
  // passwords are not checked (they are then not applied). The controls are
  // stored first when the page exists. With messages, a refusal shows its
  // text with the stop icon and puts the focus in the field to mend.
  bool Validate(bool showMessages);
  // "Mask the passwords": both password edits masked with '*' or shown in
  // clear, at once.
  afx_msg void OnMaskPasswords();

  // The built-in help text of the interface language.
  static const char* GetHelpText(bool russian);
  static constexpr int kMaxPassword = 32;

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  DECLARE_MESSAGE_MAP()

 private:
  CColorStatic m_help;
  CColorStatic m_userLabel;
  CColorStatic m_masterLabel;
  CPdfData* m_settings;
};
