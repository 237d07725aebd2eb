#include "dialogs/PdfLayoutPage.h"

#include "core/FrameServices.h"
#include "lang/ids/pdf.h"
#include "lang/ids/pdfsheet.h"
#include "palette/ColorSet.h"
#include "settings/PdfData.h"

namespace {

struct ElementRow {
  UINT label;
  CPdfTextStyle CPdfData::*style;
};

// The element list's rows in order; the orientation list shows the last four.
const ElementRow kRows[] = {
    {IDS_PDF_ELEM_PAGE_TITLE, &CPdfData::m_pageTitleStyle}, {IDS_PDF_ELEM_HEADER, &CPdfData::m_headerStyle},
    {IDS_PDF_ELEM_FOOTER, &CPdfData::m_footerStyle},        {IDS_PDF_ELEM_VERSION, &CPdfData::m_versionStyle},
    {IDS_PDF_ELEM_PROPERTIES, &CPdfData::m_propertiesStyle}, {IDS_PDF_ELEM_COLOR_LIST, &CPdfData::m_colorListStyle},
    {IDS_PDF_ELEM_GRID, &CPdfData::m_gridStyle},             {IDS_PDF_WORD_CHART_COLUMN, &CPdfData::m_wordChartStyle},
};
constexpr int kRowCount = static_cast<int>(sizeof kRows / sizeof kRows[0]);
constexpr int kFirstOrientationRow = 4;

CString Number(int value) {
  CString text;
  text.Format("%d", value);
  return text;
}

// Columns at shares (per cent) of the list's client width.
void InsertColumns(CListCtrl& list, const UINT* titles, const int* percents, int count) {
  CRect client;
  list.GetClientRect(&client);
  for (int c = 0; c < count; ++c)
    list.InsertColumn(c, LoadResString(titles[c]), LVCFMT_LEFT, client.Width() * percents[c] / 100);
  list.SetExtendedStyle(list.GetExtendedStyle() | LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
}

void SelectFirstRow(CListCtrl& list) {
  if (list.GetItemCount() > 0) list.SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

}  // namespace

const char* const CPdfLayoutPage::kFaces[kFaceCount] = {
    "Arial",   "Arial,Bold",   "Arial,Italic",   "Arial,Bold,Italic", "Century",           "Tahoma",
    "Tahoma,Bold", "Verdana", "Verdana,Bold", "Verdana,Italic", "Verdana,Bold,Italic"};

BEGIN_MESSAGE_MAP(CPdfLayoutPage, CPropertyPage)
ON_NOTIFY(LVN_ITEMCHANGED, IDC_PDFL_ELEMENTS, OnElementChanged)
ON_CBN_SELCHANGE(IDC_PDFL_FACE, OnFontChanged)
ON_BN_CLICKED(IDC_PDFL_COLOR, OnColor)
ON_WM_VSCROLL()
ON_NOTIFY(LVN_ITEMCHANGED, IDC_PDFL_ORIENTATIONS, OnOrientationRowChanged)
ON_BN_CLICKED(IDC_PDFL_PORTRAIT, OnPortrait)
ON_BN_CLICKED(IDC_PDFL_LANDSCAPE, OnLandscape)
END_MESSAGE_MAP()

CPdfLayoutPage::CPdfLayoutPage(CPdfData* settings, const CColorSet* palette)
    : CPropertyPage(IDD_PDF_LAYOUT_PAGE), m_settings(settings), m_palette(palette) {}

void CPdfLayoutPage::DoDataExchange(CDataExchange* pDX) {
  CPropertyPage::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_PDFL_OMIT_SPIN, m_omitSpin);
  DDX_Control(pDX, IDC_PDFL_RIGHT_SPIN, m_rightSpin);
  DDX_Control(pDX, IDC_PDFL_LEFT_SPIN, m_leftSpin);
  DDX_Control(pDX, IDC_PDFL_BOTTOM_SPIN, m_bottomSpin);
  DDX_Control(pDX, IDC_PDFL_TOP_SPIN, m_topSpin);
  DDX_Control(pDX, IDC_PDFL_ORIENTATIONS, m_orientations);
  DDX_Control(pDX, IDC_PDFL_COLOR, m_colorButton);
  DDX_Control(pDX, IDC_PDFL_SIZE_SPIN, m_sizeSpin);
  DDX_Control(pDX, IDC_PDFL_FACE, m_faces);
  DDX_Control(pDX, IDC_PDFL_ELEMENTS, m_elements);
}

CPdfTextStyle* CPdfLayoutPage::GetRowStyle(int row) const {
  if (row < 0 || row >= kRowCount) return nullptr;
  return &(m_settings->*kRows[row].style);
}

BOOL CPdfLayoutPage::OnInitDialog() {
  CPropertyPage::OnInitDialog();
  const UINT elementTitles[] = {IDS_PDF_COL_ELEMENT, IDS_PDF_COL_FONT, IDS_PDF_COL_SIZE, IDS_PDF_COL_COLOR};
  const int elementShares[] = {46, 32, 12, 10};
  InsertColumns(m_elements, elementTitles, elementShares, 4);
  const UINT orientationTitles[] = {IDS_PDF_COL_ELEMENT, IDS_PDF_COL_ORIENTATION};
  const int orientationShares[] = {50, 50};
  InsertColumns(m_orientations, orientationTitles, orientationShares, 2);

  for (int row = 0; row < kRowCount; ++row) {
    CPdfTextStyle* style = GetRowStyle(row);
    style->m_label = LoadResString(kRows[row].label);
    m_elements.InsertItem(row, style->m_label);
    m_elements.SetItemText(row, 1, style->m_face);
    m_elements.SetItemText(row, 2, Number(style->m_size));
    m_elements.SetItemText(row, 3, "");
    m_elements.SetItemData(row, reinterpret_cast<DWORD_PTR>(style));
    if (row >= kFirstOrientationRow) {
      const int o = row - kFirstOrientationRow;
      m_orientations.InsertItem(o, style->m_label);
      m_orientations.SetItemText(o, 1, style->GetOrientationLabel());
      m_orientations.SetItemData(o, reinterpret_cast<DWORD_PTR>(style));
    }
  }

  auto setUp = [this](CSpinButtonCtrl& spin, int buddy, int low, int high) {
    spin.SetBuddy(GetDlgItem(buddy));
    spin.SetBase(10);
    spin.SetRange32(low, high);
  };
  setUp(m_sizeSpin, IDC_PDFL_SIZE, 2, 32);
  setUp(m_topSpin, IDC_PDFL_TOP, 0, 150);
  setUp(m_leftSpin, IDC_PDFL_LEFT, 0, 150);
  setUp(m_rightSpin, IDC_PDFL_RIGHT, 0, 150);
  setUp(m_bottomSpin, IDC_PDFL_BOTTOM, 0, 150);
  m_topSpin.SetPos32(m_settings->m_marginTop);
  m_leftSpin.SetPos32(m_settings->m_marginLeft);
  m_rightSpin.SetPos32(m_settings->m_marginRight);
  m_bottomSpin.SetPos32(m_settings->m_marginBottom);
  setUp(m_omitSpin, IDC_PDFL_OMIT, 0, 6);
  m_omitSpin.SetPos32(m_settings->m_omitFirstChars);
  CheckDlgButton(IDC_PDFL_BOOKMARKS, m_settings->m_createBookmarks ? BST_CHECKED : BST_UNCHECKED);
  for (const char* face : kFaces) m_faces.AddString(face);
  SetDlgItemText(IDC_PDFL_HEADER, m_settings->m_headerText);
  SetDlgItemText(IDC_PDFL_FOOTER, m_settings->m_footerText);

  m_ready = 1;
  SelectFirstRow(m_elements);
  SelectFirstRow(m_orientations);
  UpdateColorButton();
  return TRUE;
}

int CPdfLayoutPage::SelectedRow(const CListCtrl& list) const { return list.GetNextItem(-1, LVNI_SELECTED); }

void CPdfLayoutPage::UpdateColorButton() {
  const int row = SelectedRow(m_elements);
  const CPdfTextStyle* style = GetRowStyle(row);
  const bool editable = style && IsColorRow(row);
  if (editable) m_colorButton.SetColor(style->m_color);
  m_colorButton.EnableWindow(editable);
  m_colorButton.Invalidate();
}

void CPdfLayoutPage::OnElementChanged(NMHDR* header, LRESULT* result) {
  *result = 0;
  const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
  if (!m_ready || !(change->uChanged & LVIF_STATE) || !(change->uNewState & LVIS_SELECTED) ||
      (change->uOldState & LVIS_SELECTED))
    return;
  m_ready = 0;
  if (const CPdfTextStyle* style = GetRowStyle(change->iItem)) {
    // A face that is not among the offered ones leaves the box as it was.
    const int index = m_faces.FindStringExact(-1, style->m_face);
    if (index >= 0) m_faces.SetCurSel(index);
    m_sizeSpin.SetPos32(style->m_size);
  }
  UpdateColorButton();
  m_ready = 1;
}

void CPdfLayoutPage::OnFontChanged() {
  if (!m_ready) return;
  m_ready = 0;
  const int row = SelectedRow(m_elements);
  const int index = m_faces.GetCurSel();
  if (CPdfTextStyle* style = GetRowStyle(row); style && index >= 0) {
    CString face;
    m_faces.GetLBText(index, face);
    style->m_face = face;
    m_elements.SetItemText(row, 1, face);
  }
  m_ready = 1;
}

void CPdfLayoutPage::OnColor() {
  if (!m_ready) return;
  const int row = SelectedRow(m_elements);
  CPdfTextStyle* style = GetRowStyle(row);
  if (!style) return;
  m_ready = 0;
  CColorDialog dialog(style->m_color, CC_FULLOPEN, this);
  if (dialog.DoModal() == IDOK) {
    style->m_color = dialog.GetColor();
    m_colorButton.SetColor(style->m_color);
    m_colorButton.Invalidate();
  }
  m_ready = 1;
}

void CPdfLayoutPage::OnVScroll(UINT code, UINT position, CScrollBar* bar) {
  if (m_ready && bar && bar->GetSafeHwnd() == m_sizeSpin.GetSafeHwnd()) {
    m_ready = 0;
    const int row = SelectedRow(m_elements);
    if (CPdfTextStyle* style = GetRowStyle(row)) {
      style->m_size = m_sizeSpin.GetPos32();
      m_elements.SetItemText(row, 2, Number(style->m_size));
    }
    m_ready = 1;
  }
  CPropertyPage::OnVScroll(code, position, bar);
}

void CPdfLayoutPage::OnOrientationRowChanged(NMHDR* header, LRESULT* result) {
  *result = 0;
  const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
  if (!m_ready || !(change->uChanged & LVIF_STATE) || !(change->uNewState & LVIS_SELECTED) ||
      (change->uOldState & LVIS_SELECTED))
    return;
  m_ready = 0;
  if (const CPdfTextStyle* style = GetRowStyle(change->iItem + kFirstOrientationRow)) {
    CheckDlgButton(IDC_PDFL_LANDSCAPE, style->IsLandscape() ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_PDFL_PORTRAIT, style->IsLandscape() ? BST_UNCHECKED : BST_CHECKED);
  }
  m_ready = 1;
}

void CPdfLayoutPage::SetOrientation(int orientation) {
  if (!m_ready) return;
  m_ready = 0;
  const int row = SelectedRow(m_orientations);
  if (CPdfTextStyle* style = GetRowStyle(row < 0 ? -1 : row + kFirstOrientationRow)) {
    style->m_orientation = orientation;
    m_orientations.SetItemText(row, 1, style->GetOrientationLabel());
  }
  m_ready = 1;
}

void CPdfLayoutPage::OnPortrait() { SetOrientation(0); }

void CPdfLayoutPage::OnLandscape() { SetOrientation(1); }

BOOL CPdfLayoutPage::OnKillActive() {
  if (m_palette && GetSafeHwnd()) {
    CString reason;
    if (!m_palette->CheckOmitNames(static_cast<unsigned>(m_omitSpin.GetPos32()), true, reason)) {
      AppMessageBox(reason, kMbIconStop, GetSafeHwnd());
      return FALSE;
    }
  }
  return CPropertyPage::OnKillActive();
}

void CPdfLayoutPage::StoreSettings() {
  if (!GetSafeHwnd()) return;
  m_settings->m_marginLeft = m_leftSpin.GetPos32();
  m_settings->m_marginRight = m_rightSpin.GetPos32();
  m_settings->m_marginTop = m_topSpin.GetPos32();
  m_settings->m_marginBottom = m_bottomSpin.GetPos32();
  m_settings->m_omitFirstChars = m_omitSpin.GetPos32();
  m_settings->m_createBookmarks = IsDlgButtonChecked(IDC_PDFL_BOOKMARKS) == BST_CHECKED ? 1 : 0;
  GetDlgItemText(IDC_PDFL_HEADER, m_settings->m_headerText);
  GetDlgItemText(IDC_PDFL_FOOTER, m_settings->m_footerText);
}
