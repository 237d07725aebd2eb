// The design properties sheet ("Pattern properties"): the design's title,
// attributes and statistics (CAttrPage), its used palette colours with the
// palette exports (CPalettePage) and its original picture (COriginalImagePage).
// Only the attributes page writes into the design; Cancel gives back the
// texts of the opening or of the last Apply.
#pragma once

#include "controls/ColorListCtrl.h"
#include "controls/Edits.h"
#include "design/PatternAttr.h"
#include "platform/wnd.h"
#include "view/PreViewFileDlg.h"

class CColorSet;
class CImageView;
class CPattern;
class CTabView;

class CAttrPage : public CPropertyPage {
 public:
  CAttrPage();
  void SetDesign(CPattern* design, CColorSet* palette) {
    design_ = design;
    palette_ = palette;
  }
  BOOL OnInitDialog() override;
  BOOL OnApply() override;
  void OnCancel() override;
  void DoDataExchange(CDataExchange* dx) override;
  void FillStatistics();
  bool IsChanged() const { return changed_; }

 protected:
  afx_msg void OnEditChange();
  DECLARE_MESSAGE_MAP()

 private:
  CPattern* design_ = nullptr;
  CColorSet* palette_ = nullptr;
  bool changed_ = false;
  bool filling_ = false;
  // The texts as at the opening or the last Apply.
  CString savedTitle_;
  CPatternAttr savedAttr_;
};

class CPalettePage : public CPropertyPage {
 public:
  CPalettePage();
  void SetDesign(CPattern* design, CColorSet* palette) {
    design_ = design;
    palette_ = palette;
  }
  BOOL OnInitDialog() override;
  BOOL OnKillActive() override;
  CColorListCtrl& GetColorList() { return list_; }

  // Writes the list's rows (in its order, with its columns) as a workbook
  // to the path; false on failure (the message is the caller's).
  bool ExportExcel(const CString& path);
  afx_msg void OnExcel();

 protected:
  afx_msg void OnColumns();
  afx_msg void OnOwnFormat();
  afx_msg void OnXml();
  DECLARE_MESSAGE_MAP()

 private:
  CPattern* design_ = nullptr;
  CColorSet* palette_ = nullptr;
  CColorListCtrl list_;
  CColorStatic title_;
};

class COriginalImagePage : public CPropertyPage {
 public:
  COriginalImagePage();
  void SetImageView(CImageView* view) { view_ = view; }
  BOOL OnInitDialog() override;
  CPreviewOriginal& GetPreview() { return preview_; }

 protected:
  afx_msg void OnExport();
  DECLARE_MESSAGE_MAP()

 private:
  CPreviewOriginal preview_;
  CImageView* view_ = nullptr;
};

class CPropSheet : public CPropertySheet {
 public:
  CPropSheet(CPattern* design, CColorSet* palette, CImageView* original, UINT captionId, CWnd* parent,
             UINT startPage);
  ~CPropSheet() override;

  CAttrPage& GetAttrPage() { return attr_; }
  CPalettePage& GetPalettePage() { return palette_; }
  COriginalImagePage& GetOriginalPage() { return original_; }

 private:
  CAttrPage attr_;
  CPalettePage palette_;
  COriginalImagePage original_;
  CPattern* design_;
  CColorSet* colors_;
  HICON icon_ = nullptr;
};

// The design view of the main window (null when none).
CTabView* GetMainTabView();
