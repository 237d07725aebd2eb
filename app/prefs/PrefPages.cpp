#include "app/prefs/PrefPages.h"

#include <cstdlib>

#include "app/bars/AppStatusBar.h"
#include "controls/DrawUtils.h"
#include "controls/RecentFiles.h"
#include "controls/RulerUnitCombo.h"
#include "core/FrameServices.h"
#include "core/Registry.h"
#include "core/TextUtils.h"
#include "lang/ids/shell.h"
#include "settings/AppSettings.h"
#include "view/FramePorts.h"
#include "view/TabView.h"

namespace {

CTabView* ActiveView() {
  IMainFrame* frame = GetIMainFrame();
  return frame ? frame->GetTabView() : nullptr;
}

long long ScreenArea() {
  return static_cast<long long>(::GetSystemMetrics(SM_CXSCREEN)) * ::GetSystemMetrics(SM_CYSCREEN);
}

// The single-precision 2.54 the page sizes are converted with.
constexpr double kInch = static_cast<double>(2.54f);

}  // namespace

// ---- Start-up ----

CStartupOpt::CStartupOpt(CWnd* parent) : CPropDlg(IDD_PREF_STARTUP, parent) {
  const CAppSettings& s = GetAppSettings();
  m_reload = s.m_reopenLastDesign ? 1 : 0;
  m_count = s.m_recentListSize;
}

void CStartupOpt::DoDataExchange(CDataExchange* pDX) {
  DDX_Control(pDX, IDC_PREF_RECENT_SPIN, m_spin);
  DDX_Check(pDX, IDC_PREF_RELOAD, m_reload);
  DDX_Text(pDX, IDC_PREF_RECENT_COUNT, m_count);
  DDV_MinMaxInt(pDX, m_count, 0, CAppSettings::kMaxRecentListSize);
}

BOOL CStartupOpt::OnInitDialog() {
  CPropDlg::OnInitDialog();
  m_spin.SetBase(10);
  m_spin.SetRange32(0, CAppSettings::kMaxRecentListSize);
  m_spin.SetPos32(m_count);
  m_spin.SetBuddy(GetDlgItem(IDC_PREF_RECENT_COUNT));
  return TRUE;
}

void CStartupOpt::Apply() {
  if (!UpdateData(TRUE)) return;
  CAppSettings& s = GetAppSettings();
  s.m_reopenLastDesign = m_reload ? 1 : 0;
  s.m_recentListSize = m_count;
  if (IFrameServices* frame = GetFrameServices()) frame->GetRecentDesigns()->SetMaxCount(m_count);
}

// ---- Memory Usage ----

BEGIN_MESSAGE_MAP(CVirtualScreenSize, CPropDlg)
  ON_WM_HSCROLL()
  ON_EN_CHANGE(IDC_PREF_PERCENT, OnPercentChanged)
END_MESSAGE_MAP()

CVirtualScreenSize::CVirtualScreenSize(CWnd* parent)
    : CPropDlg(IDD_PREF_MEMORY, parent),
      m_text1(RGB(0, 0, 192)),
      m_text2(RGB(0, 0, 192)),
      m_maxBeads(false, false) {
  const CAppSettings& s = GetAppSettings();
  const long long area = ScreenArea();
  m_percent = area > 0 ? static_cast<int>(static_cast<long long>(s.GetVirtualScreenSize()) * 100 / area) : 100;
  m_quality = s.m_advancedImageQuality ? 1 : 0;
}

CString CVirtualScreenSize::KilobyteText(int percent) {
  const long long kb = (static_cast<long long>(percent) * 1048576 / 100 / 1000) * 4;
  return FormatGroupedNumber(static_cast<unsigned long long>(kb < 0 ? 0 : kb), ' ');
}

void CVirtualScreenSize::DoDataExchange(CDataExchange* pDX) {
  DDX_Control(pDX, IDC_PREF_TEXT1, m_text1);
  DDX_Control(pDX, IDC_PREF_SLIDER, m_slider);
  DDX_Text(pDX, IDC_PREF_PERCENT, m_percent);
  DDX_Control(pDX, IDC_PREF_TEXT2, m_text2);
  DDX_Control(pDX, IDC_PREF_MAX_BEADS, m_maxBeads);
  DDX_Check(pDX, IDC_PREF_QUALITY, m_quality);
}

BOOL CVirtualScreenSize::OnInitDialog() {
  CPropDlg::OnInitDialog();
  m_slider.SetRange(kMinPercent, kMaxPercent);
  m_slider.SetPos(m_percent);
  m_slider.SetTicFreq(100);
  WriteControls();
  CString beads;
  beads.Format("%d", GetAppSettings().m_maxBeads);
  m_maxBeads.SetWindowText(beads);
  m_updating = true;
  return TRUE;
}

void CVirtualScreenSize::WriteControls() {
  const bool was = m_updating;
  m_updating = false;
  UpdateData(FALSE);
  ShowKilobytes();
  m_updating = was;
}

void CVirtualScreenSize::ShowKilobytes() { SetDlgItemText(IDC_PREF_KILOBYTES, KilobyteText(m_percent)); }

void CVirtualScreenSize::OnHScroll(UINT, UINT, CScrollBar* pScrollBar) {
  if (!pScrollBar || pScrollBar->m_hWnd != m_slider.m_hWnd) return;
  const int pos = m_slider.GetPos();
  if (pos < kMinPercent || pos > kMaxPercent) return;
  m_percent = pos;
  WriteControls();
}

void CVirtualScreenSize::OnPercentChanged() {
  if (!m_updating) return;
  CString text;
  GetDlgItemText(IDC_PREF_PERCENT, text);
  m_percent = std::atoi(text);
  m_slider.SetPos(m_percent);
  ShowKilobytes();
}

void CVirtualScreenSize::Apply() {
  if (!UpdateData(TRUE)) return;
  if (m_percent < kMinPercent || m_percent > kMaxPercent) {
    CString message;
    message.Format(LoadResString(IDS_WRONG_MEMORY), m_percent, kMinPercent, kMaxPercent);
    AppMessageBox(message, kMbIconStop);
    m_percent = 100;
    m_slider.SetPos(m_percent);
    WriteControls();
    GetDlgItem(IDC_PREF_PERCENT)->SetFocus();
    return;
  }
  CString text;
  m_maxBeads.GetWindowText(text);
  const long long beads = std::atoll(text);
  if (beads < CAppSettings::kMinMaxBeads || beads > CAppSettings::kMaxMaxBeads) {
    CString message;
    message.Format(LoadResString(IDS_WRONG_MAX_BEADS), CAppSettings::kMinMaxBeads, CAppSettings::kMaxMaxBeads);
    AppMessageBox(message, kMbIconStop);
    m_maxBeads.SetFocus();
    return;
  }
  CAppSettings& s = GetAppSettings();
  s.m_maxBeads = static_cast<int>(beads);
  s.SetVirtualScreenSize(static_cast<int>(static_cast<long long>(m_percent) * ::GetSystemMetrics(SM_CYSCREEN) *
                                          ::GetSystemMetrics(SM_CXSCREEN) / 100));
  const BYTE quality = m_quality ? 1 : 0;
  const bool changed = quality != s.m_advancedImageQuality;
  s.m_advancedImageQuality = quality;
  CTabView* view = ActiveView();
  if (changed && view && view->GetPatternView()) view->Invalidate(TRUE);
}

// ---- Ruler bars metrics ----

CRulerMetricsDlg::CRulerMetricsDlg(CWnd* parent) : CPropDlg(IDD_PREF_RULER, parent) {}

BOOL CRulerMetricsDlg::OnInitDialog() {
  CPropDlg::OnInitDialog();
  int units = GetAppSettings().m_rulerUnits;
  if (units < 0 || units > 3) units = 1;
  CheckRadioButton(IDC_RULER_BEADS, IDC_RULER_MM, IDC_RULER_BEADS + units);
  return TRUE;
}

void CRulerMetricsDlg::Apply() {
  const int checked = GetCheckedRadioButton(IDC_RULER_BEADS, IDC_RULER_MM);
  if (checked == 0) return;
  const int units = checked - IDC_RULER_BEADS;
  CAppSettings& s = GetAppSettings();
  if (units == s.m_rulerUnits) return;
  s.m_rulerUnits = units;
  if (CTabView* view = ActiveView()) {
    view->GetHorzRuler().SetUnits(units);
    view->GetVertRuler().SetUnits(units);
  }
}

// ---- Status Bar Info ----

CStatusbarInfoDlg::CStatusbarInfoDlg(CWnd* parent) : CPropDlg(IDD_PREF_STATUSBAR, parent) {}

BOOL CStatusbarInfoDlg::OnInitDialog() {
  CPropDlg::OnInitDialog();
  const CAppSettings& s = GetAppSettings();
  CheckDlgButton(IDC_PREF_BEAD_COLOR, s.m_beadRealColorShown ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(IDC_PREF_PATTERN_INFO, s.m_designInfoShown ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(IDC_PREF_PALETTE_INFO, s.m_paletteInfoShown ? BST_CHECKED : BST_UNCHECKED);
  return TRUE;
}

void CStatusbarInfoDlg::Apply() {
  CAppSettings& s = GetAppSettings();
  s.m_beadRealColorShown = IsDlgButtonChecked(IDC_PREF_BEAD_COLOR) == BST_CHECKED ? 1 : 0;
  s.m_designInfoShown = IsDlgButtonChecked(IDC_PREF_PATTERN_INFO) == BST_CHECKED ? 1 : 0;
  s.m_paletteInfoShown = IsDlgButtonChecked(IDC_PREF_PALETTE_INFO) == BST_CHECKED ? 1 : 0;
  if (IMainFrame* frame = GetIMainFrame())
    if (CAppStatusBar* bar = frame->GetStatusBar()) bar->Invalidate(TRUE);
}

// ---- PDF page size ----

BEGIN_MESSAGE_MAP(CPDFPageSizeDlg, CPropDlg)
  ON_BN_CLICKED(IDC_PREF_BY_DEFAULT, OnByDefault)
  ON_CBN_SELCHANGE(IDC_PREF_FORMAT, OnFormatChanged)
END_MESSAGE_MAP()

CPDFPageSizeDlg::CPDFPageSizeDlg(CWnd* parent)
    : CPropDlg(IDD_PREF_PDF_PAGE, parent),
      m_text1(RGB(96, 64, 0)),
      m_zoomText(RGB(96, 64, 0)),
      m_height(3, static_cast<DWORD>(-1)),
      m_width(3, static_cast<DWORD>(-1)),
      m_zoomEdit(3, static_cast<DWORD>(-1)) {
  const CAppSettings& s = GetAppSettings();
  m_widthValue = s.m_pdfPageWidth;
  m_heightValue = s.m_pdfPageHeight;
  m_zoom = s.m_pdfZoom;
  m_pageFormat = s.m_pdfPageFormat;
}

void CPDFPageSizeDlg::DoDataExchange(CDataExchange* pDX) {
  DDX_Control(pDX, IDC_PREF_TEXT1, m_text1);
  DDX_Control(pDX, IDC_PREF_ZOOM_TEXT, m_zoomText);
  DDX_Control(pDX, IDC_PREF_PAGE_HEIGHT, m_height);
  DDX_Control(pDX, IDC_PREF_PAGE_WIDTH, m_width);
  DDX_Control(pDX, IDC_PREF_ZOOM, m_zoomEdit);
  DDX_Control(pDX, IDC_PREF_UNITS, m_units);
  DDX_Control(pDX, IDC_PREF_FORMAT, m_format);
  // The page texts are read in Apply: a text that is not a number is a
  // wrong width or height, not a framework parse message.
  if (!pDX->m_bSaveAndValidate) {
    CString zoom;
    zoom.Format("%.3f", m_zoom);
    m_zoomEdit.SetWindowText(zoom);
  } else {
    CString zoom;
    m_zoomEdit.GetWindowText(zoom);
    m_zoom = std::atof(zoom);
  }
}

void CPDFPageSizeDlg::SetUnits(int units) { m_units.SetCurSel(units == 1 ? 1 : units == 2 ? 2 : 0); }

BOOL CPDFPageSizeDlg::OnInitDialog() {
  CPropDlg::OnInitDialog();
  const CAppSettings& s = GetAppSettings();
  FillRulerUnitCombo(&m_units);
  SetUnits(s.m_pdfPageUnits);
  m_width.SetWindowText(s.m_pdfPageWidthText);
  m_height.SetWindowText(s.m_pdfPageHeightText);
  for (const char* name : {"A2", "A3", "A4"}) m_format.AddString(name);
  m_format.SetCurSel(m_pageFormat == 0 ? 0 : m_pageFormat == 1 ? 1 : 2);
  CLogFont lf;
  lf.SetFaceName("Arial");
  lf.lfHeight = 16;
  m_text1.SetLogFont(lf);
  m_zoomText.SetLogFont(lf);
  return TRUE;
}

void CPDFPageSizeDlg::OnByDefault() {
  m_zoom = 100.0;
  UpdateData(FALSE);
  int units = 0;
  CString width, height;
  GetDefaultPageSize(units, width, height);
  SetUnits(units);
  m_width.SetWindowText(width);
  m_height.SetWindowText(height);
  m_format.SetCurSel(2);
}

void CPDFPageSizeDlg::FormatSizeTexts(int format, CString& widthText, CString& heightText) {
  int units = 0;
  CString w, h;
  GetDefaultPageSize(units, w, h);
  const double a4w = std::atof(w), a4h = std::atof(h);
  double width = a4w, height = a4h;
  if (format == 0) {
    width = 2 * a4w;
    height = 2 * a4h;
  } else if (format == 1) {
    width = a4h;
    height = 2 * a4w;
  }
  const char* f = IsRussianInterface() ? "%.0f" : "%.3f";
  widthText.Format(f, width);
  heightText.Format(f, height);
}

void CPDFPageSizeDlg::OnFormatChanged() {
  int units = 0;
  CString w, h;
  GetDefaultPageSize(units, w, h);
  SetUnits(units);
  CString width, height;
  FormatSizeTexts(m_format.GetCurSel(), width, height);
  m_width.SetWindowText(width);
  m_height.SetWindowText(height);
}

void CPDFPageSizeDlg::Apply() {
  if (!UpdateData(TRUE)) return;
  CString widthText, heightText;
  m_width.GetWindowText(widthText);
  m_height.GetWindowText(heightText);
  const double width = std::atof(widthText);
  if (!(width > 0)) {
    AppMessageBoxId(IDS_WRONG_PAGE_WIDTH, kMbIconStop);
    m_width.SetFocus();
    return;
  }
  const double height = std::atof(heightText);
  if (!(height > 0)) {
    AppMessageBoxId(IDS_WRONG_PAGE_HEIGHT, kMbIconStop);
    m_height.SetFocus();
    return;
  }
  if (m_zoom < CAppSettings::kMinPdfZoom || m_zoom > CAppSettings::kMaxPdfZoom) {
    CString message;
    message.Format(LoadResString(IDS_WRONG_ZOOM), CAppSettings::kMinPdfZoom, CAppSettings::kMaxPdfZoom);
    AppMessageBox(message, kMbIconStop);
    m_zoomEdit.SetFocus();
    return;
  }
  CAppSettings& s = GetAppSettings();
  const int units = m_units.GetCurSel();
  if (units >= 0 && units <= 2) s.m_pdfPageUnits = units;
  auto toInches = [&](double v) {
    if (s.m_pdfPageUnits == 1) return v / kInch;
    if (s.m_pdfPageUnits == 2) return v * 0.1 / kInch;
    return v;
  };
  s.m_pdfPageWidth = toInches(width);
  s.m_pdfPageHeight = toInches(height);
  s.m_pdfPageWidthText = widthText;
  s.m_pdfPageHeightText = heightText;
  s.m_pdfZoom = m_zoom;
  s.m_pdfPageFormat = m_format.GetCurSel();
}
