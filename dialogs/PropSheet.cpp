#include "dialogs/PropSheet.h"

#include <vector>

#include "controls/Buttons.h"
#include "controls/ShellOpen.h"
#include "core/FrameServices.h"
#include "core/PathUtils.h"
#include "design/Pattern.h"
#include "design/PatternInfo.h"
#include "image/ImageView.h"
#include "lang/ids/adjust.h"
#include "palette/ColorSet.h"
#include "palette/PaletteWorkbookExport.h"
#include "platform/base/waitcursor.h"
#include "view/FramePorts.h"
#include "view/TabView.h"

CTabView* GetMainTabView() {
  IMainFrame* frame = GetIMainFrame();
  return frame ? frame->GetTabView() : nullptr;
}

namespace {

const int kAttrEdits[] = {IDC_PROP_NICKNAME, IDC_PROP_AUTHOR,  IDC_PROP_COMPANY, IDC_PROP_COPYRIGHT,
                          IDC_PROP_EMAIL,    IDC_PROP_WEBSITE, IDC_PROP_COMMENTS};

}  // namespace

// ---- CAttrPage ----

BEGIN_MESSAGE_MAP(CAttrPage, CPropertyPage)
  ON_EN_CHANGE(IDC_PROP_NICKNAME, OnEditChange)
  ON_EN_CHANGE(IDC_PROP_AUTHOR, OnEditChange)
  ON_EN_CHANGE(IDC_PROP_COMPANY, OnEditChange)
  ON_EN_CHANGE(IDC_PROP_COPYRIGHT, OnEditChange)
  ON_EN_CHANGE(IDC_PROP_EMAIL, OnEditChange)
  ON_EN_CHANGE(IDC_PROP_WEBSITE, OnEditChange)
  ON_EN_CHANGE(IDC_PROP_COMMENTS, OnEditChange)
END_MESSAGE_MAP()

CAttrPage::CAttrPage() : CPropertyPage(IDD_PROP_ATTRIBUTES) {}

void CAttrPage::DoDataExchange(CDataExchange* dx) {
  CPropertyPage::DoDataExchange(dx);
  if (!design_) return;
  DDX_Text(dx, IDC_PROP_NICKNAME, design_->m_title);
  DDX_Text(dx, IDC_PROP_AUTHOR, design_->m_attr.Author());
  DDX_Text(dx, IDC_PROP_COMPANY, design_->m_attr.Company());
  DDX_Text(dx, IDC_PROP_COPYRIGHT, design_->m_attr.Copyright());
  DDX_Text(dx, IDC_PROP_EMAIL, design_->m_attr.Email());
  DDX_Text(dx, IDC_PROP_WEBSITE, design_->m_attr.WebSite());
  DDX_Text(dx, IDC_PROP_COMMENTS, design_->m_attr.Comments());
}

BOOL CAttrPage::OnInitDialog() {
  if (design_) {
    savedTitle_ = design_->m_title;
    savedAttr_ = design_->m_attr;
  }
  filling_ = true;
  CPropertyPage::OnInitDialog();
  filling_ = false;
  changed_ = false;
  SetModified(FALSE);
  FillStatistics();
  return TRUE;
}

void CAttrPage::OnEditChange() {
  if (filling_) return;
  changed_ = true;
  SetModified(TRUE);
}

BOOL CAttrPage::OnApply() {
  if (changed_ && design_) {
    changed_ = false;
    UpdateData(TRUE);
    design_->SetModified(true);
    SetModified(FALSE);
    savedTitle_ = design_->m_title;
    savedAttr_ = design_->m_attr;
  }
  return CPropertyPage::OnApply();
}

void CAttrPage::OnCancel() {
  // Leaving the page copied the texts in without marking the design: give
  // back what the opening or the last Apply left.
  if (design_ && GetSafeHwnd()) {
    design_->m_title = savedTitle_;
    design_->m_attr = savedAttr_;
  }
  CPropertyPage::OnCancel();
}

void CAttrPage::FillStatistics() {
  auto* list = static_cast<CListCtrl*>(GetDlgItem(IDC_PROP_STATISTICS));
  if (!list || !design_ || !palette_) return;
  list->SetExtendedStyle(list->GetExtendedStyle() | LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
  CRect client;
  list->GetClientRect(&client);
  while (list->DeleteColumn(0)) {
  }
  list->DeleteAllItems();
  list->InsertColumn(0, LoadResString(IDS_STAT_ATTRIBUTE), LVCFMT_LEFT, client.Width() / 4);
  list->InsertColumn(1, LoadResString(IDS_STAT_VALUE), LVCFMT_LEFT, client.Width() * 3 / 4);
  CPatternInfoRows rows;
  BuildPatternInfoRows(*design_, *palette_, true, rows);
  for (size_t i = 0; i < rows.size(); ++i) {
    const int row = list->InsertItem(static_cast<int>(i), rows[i].label);
    list->SetItemText(row, 1, rows[i].value);
  }
}

// ---- CPalettePage ----

BEGIN_MESSAGE_MAP(CPalettePage, CPropertyPage)
  ON_BN_CLICKED(IDC_PROP_COLUMNS, OnColumns)
  ON_BN_CLICKED(IDC_PROP_OWN_FORMAT, OnOwnFormat)
  ON_BN_CLICKED(IDC_PROP_EXCEL, OnExcel)
  ON_BN_CLICKED(IDC_PROP_XML, OnXml)
END_MESSAGE_MAP()

CPalettePage::CPalettePage()
    : CPropertyPage(IDD_PROP_PALETTE), list_("PalettePropPage16Jule2010", 0, 0), title_(0xC00000, "", 14) {}

BOOL CPalettePage::OnInitDialog() {
  CPropertyPage::OnInitDialog();
  list_.SubclassDlgItem(IDC_PROP_COLORS, this);
  title_.SubclassDlgItem(IDC_PROP_PALETTE_TITLE, this);
  list_.Init();
  CString path;
  unsigned used = 0;
  if (palette_) {
    path = palette_->GetFilePath();
    if (CTabView* view = GetMainTabView(); view && view->GetColorSet() == palette_) {
      view->GetPaletteFilePath(path);
      view->CountUsedColors();
    } else if (design_) {
      palette_->CountUsageQuick(*design_);
    }
    // The number of palette colours the design uses, after the recount.
    used = static_cast<unsigned>(palette_->GetUsedCount());
    list_.SetColorSet(palette_, 0);
  }
  CString title;
  title.Format(LoadResString(IDS_PROP_PALETTE_TITLE).GetString(), GetPathTitle(path).GetString(),
               static_cast<unsigned>(palette_ ? palette_->GetCount() : 0), used);
  LOGFONT lf{};
  lf.lfHeight = 15;
  lf.lfWeight = FW_BOLD;
  lf.lfCharSet = DEFAULT_CHARSET;
  strcpy(lf.lfFaceName, "Arial");
  title_.SetLogFont(lf);
  title_.SetText(title);
  return TRUE;
}

BOOL CPalettePage::OnKillActive() {
  if (list_.GetSafeHwnd()) list_.StoreColumnWidths();
  return CPropertyPage::OnKillActive();
}

void CPalettePage::OnColumns() { list_.OnColumns(); }

void CPalettePage::OnOwnFormat() {
  if (CTabView* view = GetMainTabView()) view->SavePaletteAs();
}

void CPalettePage::OnXml() {
  if (CTabView* view = GetMainTabView()) view->ExportPaletteXml();
}

bool CPalettePage::ExportExcel(const CString& path) {
  CWaitCursor wait;
  std::vector<CPaletteColor> rows;
  for (int i = 0; i < list_.GetItemCount(); ++i) {
    CPaletteColor c;
    if (list_.GetItemColor(i, c)) rows.push_back(c);
  }
  CPaletteWorkbookExport exporter(rows, list_.GetData(), path);
  return exporter.Export(list_.GetData().highlightShortage != 0);
}

void CPalettePage::OnExcel() {
  const CString filter = LoadResString(IDS_EXCEL_FILTER);
  const CString title = LoadResString(IDS_EXCEL_TITLE);
  CFileDialog dialog(FALSE, ".xls", nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, filter, this);
  dialog.m_ofn.lpstrTitle = title;
  if (dialog.DoModal() != IDOK) return;
  const CString path = dialog.GetPathName();
  if (ExportExcel(path))
    OpenWrittenFile(m_hWnd, path);  // tells the path when no program takes it
  else
    AppMessageBoxId(IDS_EXCEL_ERROR, kMbIconStop, m_hWnd);
}

// ---- COriginalImagePage ----

BEGIN_MESSAGE_MAP(COriginalImagePage, CPropertyPage)
  ON_BN_CLICKED(IDC_PROP_EXPORT_PICTURE, OnExport)
END_MESSAGE_MAP()

COriginalImagePage::COriginalImagePage() : CPropertyPage(IDD_PROP_ORIGINAL), preview_(true) {}

BOOL COriginalImagePage::OnInitDialog() {
  CPropertyPage::OnInitDialog();
  preview_.SubclassDlgItem(IDC_PROP_PICTURE, this);
  if (CWnd* button = GetDlgItem(IDC_PROP_EXPORT_PICTURE)) button->EnableWindow(view_ != nullptr);
  if (view_) preview_.SetImageView(view_);
  return TRUE;
}

void COriginalImagePage::OnExport() {
  if (CTabView* view = GetMainTabView()) view->SaveOriginalImageAs();
}

// ---- CPropSheet ----

CPropSheet::CPropSheet(CPattern* design, CColorSet* palette, CImageView* original, UINT captionId, CWnd* parent,
                       UINT startPage)
    : CPropertySheet(captionId, parent, startPage), design_(design), colors_(palette) {
  attr_.SetDesign(design, palette);
  palette_.SetDesign(design, palette);
  original_.SetImageView(original);
  m_psh.dwFlags &= ~PSH_HASHELP;
  icon_ = LoadPackIcon(IDI_PROPERTIES_SHEET, 16, 16);
  if (icon_) {
    m_psh.dwFlags |= PSH_USEHICON;
    m_psh.hIcon = icon_;
  }
  AddPage(&attr_);
  AddPage(&palette_);
  AddPage(&original_);
}

CPropSheet::~CPropSheet() {
  if (icon_) ::DestroyIcon(icon_);
}
