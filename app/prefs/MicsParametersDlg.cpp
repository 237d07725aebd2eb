#include "app/prefs/MicsParametersDlg.h"

#include <algorithm>

#include "core/FileUtils.h"
#include "core/FrameServices.h"
#include "lang/ids/shell.h"
#include "settings/AppSettings.h"
#include "settings/GridSettings.h"
#include "view/CtrlPane.h"
#include "view/FramePorts.h"
#include "view/TabView.h"

BEGIN_MESSAGE_MAP(CMicsParametersDlg, CPropDlg)
  ON_BN_CLICKED(IDC_GRID_COLOR, OnGridColor)
END_MESSAGE_MAP()

CMicsParametersDlg::CMicsParametersDlg(CWnd* parent) : CPropDlg(IDD_PREF_MISC, parent) {
  const CGridSettings& grid = GetGridSettings();
  const CAppSettings& s = GetAppSettings();
  m_gridSize = static_cast<UINT>(grid.m_step);
  m_gridColor = grid.m_color;
  m_warningSound = s.m_warningSound ? 1 : 0;
  m_designFolder = s.m_designFolder;
}

void CMicsParametersDlg::DoDataExchange(CDataExchange* pDX) {
  DDX_Control(pDX, IDC_GRID_COLOR, m_colorButton);
  DDX_Control(pDX, IDC_GRID_SCREEN_SPIN, m_screenSpin);
  DDX_Control(pDX, IDC_GRID_PDF_SPIN, m_pdfSpin);
  DDX_Text(pDX, IDC_GRID_SIZE, m_gridSize);
  DDX_Check(pDX, IDC_WARNING_SOUND, m_warningSound);
}

BOOL CMicsParametersDlg::OnInitDialog() {
  CPropDlg::OnInitDialog();
  m_colorButton.SetFillColor(m_gridColor);
  const CGridSettings& grid = GetGridSettings();
  const struct {
    CSpinButtonCtrl* spin;
    UINT buddy;
    int value;
  } spins[] = {{&m_screenSpin, IDC_GRID_SCREEN_WIDTH, grid.m_screenWidth}, {&m_pdfSpin, IDC_GRID_PDF_WIDTH, grid.m_pdfWidth}};
  for (const auto& s : spins) {
    s.spin->SetBuddy(GetDlgItem(s.buddy));
    s.spin->SetBase(10);
    s.spin->SetRange32(1, 3);
    s.spin->SetPos32(std::clamp(s.value, 1, 3));
  }
  return TRUE;
}

void CMicsParametersDlg::OnGridColor() {
  CColorDialog dialog(m_gridColor, CC_RGBINIT | CC_FULLOPEN, this);
  if (dialog.DoModal() != IDOK) return;
  m_gridColor = dialog.GetColor();
  m_colorButton.SetFillColor(m_gridColor);
}

void CMicsParametersDlg::Apply() {
  // A size that is not an unsigned number was refused with its message.
  if (!UpdateData(TRUE)) return;
  CGridSettings& grid = GetGridSettings();
  CTabView* view = nullptr;
  CCtrlPane* pane = nullptr;
  if (IMainFrame* frame = GetIMainFrame()) {
    view = frame->GetTabView();
    pane = frame->GetCtrlPane();
  }
  if (m_gridSize != 0) {
    grid.m_step = static_cast<int>(m_gridSize);
    grid.m_color = m_gridColor;
    grid.m_screenWidth = m_screenSpin.GetPos32();
    grid.m_pdfWidth = m_pdfSpin.GetPos32();
    if (view && view->m_hWnd) view->Invalidate(FALSE);
  } else {
    AppMessageBoxId(IDS_WRONG_GRID_SIZE, kMbIconStop);
  }
  CAppSettings& s = GetAppSettings();
  if (!FolderExists(m_designFolder) && !CreateFolderPath(m_designFolder))
    AppMessageBoxId(IDS_DESIGN_FOLDER_FAILED, kMbIconStop);
  s.m_designFolder = m_designFolder;
  if (pane && pane->m_hWnd) pane->Invalidate(FALSE);
  s.m_warningSound = m_warningSound ? 1 : 0;
  if (view && view->GetPattern()->HasBeads()) view->CountUsedColors();
}
