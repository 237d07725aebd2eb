// The setup wizard: the sheet, the pages' base (button texts by language,
// the page icon, the dotted colour wave), and the five pages: welcome,
// agreement, destination folder, program group, finish.
#pragma once

#include <memory>

#include "controls/3dColorStatic.h"
#include "platform/base.h"
#include "controls/Edits.h"
#include "platform/wnd.h"
#include "platform/wnd/commctrl_classes.h"
#include "platform/wnd/propsheet.h"
#include "setup/SetupShell.h"

namespace qmsetup {

class CSetupPropertySheet : public CPropertySheet {
 public:
  CSetupPropertySheet();
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
};

class CBasePage : public CPropertyPage {
 public:
  CBasePage(UINT englishTemplate, UINT russianTemplate);
  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;
  CPropertySheet* GetSheet() const;

  // The wave's rectangle of curves, for tests: the colour of curve k.
  static COLORREF WaveColor(int k, int span);

 protected:
  afx_msg void OnPaint();
  DECLARE_MESSAGE_MAP()

 private:
  CStatic icon_;
};

class CWelcomePage_1 : public CBasePage {
 public:
  CWelcomePage_1();
  BOOL OnInitDialog() override;

 private:
  CColorStatic buildLine_;
  C3dColorStatic welcome_;
};

class CLicenseAgrPage_2 : public CBasePage {
 public:
  CLicenseAgrPage_2();
  ~CLicenseAgrPage_2() override;
  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;
  void UpdateNextButton();
  CRichEditCtrl* GetAgreement() { return rich_.get(); }

 protected:
  afx_msg void OnChoice();
  afx_msg LRESULT OnPostInitDialog(WPARAM, LPARAM);
  DECLARE_MESSAGE_MAP()

 private:
  CColorStatic header_;
  std::unique_ptr<CRichEditCtrl> rich_;
};

// One program group of the Programs menu.
struct CProgramGroupItem {
  CString name;
  CString path;
  int icon = -1;
  bool allUsers = false;
};

// Lists the program groups: the all-users ones first, then the user's own.
class CEnumMenuCommonPrograms {
 public:
  CEnumMenuCommonPrograms() = default;
  virtual ~CEnumMenuCommonPrograms();
  bool Begin();
  bool Next(CProgramGroupItem& item);
  bool OpenFolder(bool allUsers);
  bool NextInFolder(CProgramGroupItem& item);

 private:
  void CloseFinder();
  CString folder_;
  HANDLE finder_ = INVALID_HANDLE_VALUE;
  bool more_ = false;
  bool folderIsAllUsers_ = false;
  bool readingAllUsers_ = false;
  bool userOpened_ = false;
  WIN32_FIND_DATA first_{};
  bool haveFirst_ = false;
};

class CChoseCommonProgCtrl : public CListCtrl {
 public:
  explicit CChoseCommonProgCtrl(CImageList* images) : images_(images) {}
  bool FillGroups();
  virtual void OnGroupChosen(const CProgramGroupItem& item) {}
  BOOL DestroyWindow() override;
  const CProgramGroupItem* GetGroup(int index) const;

 protected:
  afx_msg void OnItemChanged(NMHDR* nmhdr, LRESULT* result);
  afx_msg void OnDestroy();
  DECLARE_MESSAGE_MAP()

 private:
  void FreeItems();
  CImageList* images_;
};

class CGroupPage_5;
class CMyChoseCommonProgCtrl : public CChoseCommonProgCtrl {
 public:
  CMyChoseCommonProgCtrl(CImageList* images, CGroupPage_5* page) : CChoseCommonProgCtrl(images), page_(page) {}
  void OnGroupChosen(const CProgramGroupItem& item) override;

 private:
  CGroupPage_5* page_;
};

class CFolderPage_4 : public CBasePage {
 public:
  CFolderPage_4();
  BOOL OnInitDialog() override;
  LRESULT OnWizardNext() override;
  void DoDataExchange(CDataExchange* pDX) override;
  bool FindAssociatedFolder(CString& out);
  void InitDriveList();
  void FillDriveList();
  const CString& GetFolder() const { return folder_; }
  void SetFolder(const CString& folder) { folder_ = folder; }
  // The proposed folder: the stored one, or the default chain.
  CString DefaultFolder();

 protected:
  afx_msg void OnBrowse();
  DECLARE_MESSAGE_MAP()

 private:
  CColorStatic header_;
  CListCtrl drives_;
  CString folder_;
};

class CGroupPage_5 : public CBasePage {
 public:
  explicit CGroupPage_5(CImageList* images);
  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* pDX) override;
  bool GetGroupFolder(bool allUsers, CString& out);
  CString& GroupName() { return group_; }
  CMyChoseCommonProgCtrl& GetList() { return list_; }

 private:
  CColorStatic header_;
  CMyChoseCommonProgCtrl list_;
  CString group_;
};

class CFinishPage_6 : public CBasePage {
 public:
  CFinishPage_6();
  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;
  // Desktop link, then the program or "Setup complete".
  void OnFinish();
  bool IsForAllUsers() const;
  bool InstallResult() const { return result_ != 0; }
  int FinishStepsRun() const { return finishRuns_; }

 private:
  CHyperLink link_;
  CColorStatic note_, finished_, updates_;
  BYTE result_ = 0;
  int finishRuns_ = 0;
};

}  // namespace qmsetup
