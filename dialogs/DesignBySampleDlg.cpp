#include "dialogs/DesignBySampleDlg.h"

#include "controls/WindowUtils.h"
#include "core/FrameServices.h"
#include "design/PatternParams.h"
#include "lang/ids/shared.h"
#include "lang/ids/tooldlg2.h"
#include "settings/AppSettings.h"
#include "view/TabView.h"

namespace {

bool g_rotation = true;
constexpr UINT kMaxRepeat = 10;

}  // namespace

bool CDesignBySampleDlg::GetRotation() { return g_rotation; }
void CDesignBySampleDlg::SetRotation(bool rotate) { g_rotation = rotate; }

BEGIN_MESSAGE_MAP(CDesignBySampleDlg, CDialog)
  ON_BN_CLICKED(IDC_SAMPLE_APPLY, OnApply)
END_MESSAGE_MAP()

CDesignBySampleDlg::CDesignBySampleDlg(CTabView* view, CWnd* parent)
    : CDialog(IDD_DESIGN_BY_SAMPLE, parent),
      m_view(view),
      m_sample(*view->GetPattern()),
      m_sampleModified(view->GetPattern()->IsModified()) {}

CDesignBySampleDlg::~CDesignBySampleDlg() {
  if (m_icon) ::DestroyIcon(m_icon);
}

void CDesignBySampleDlg::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Text(pDX, IDC_SAMPLE_ACROSS, m_across);
  DDX_Text(pDX, IDC_SAMPLE_DOWN, m_down);
  int rotate = g_rotation ? 1 : 0;
  DDX_Check(pDX, IDC_SAMPLE_ROTATE, rotate);
  g_rotation = rotate != 0;
}

BOOL CDesignBySampleDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  m_apply.SubclassDlgItem(IDC_SAMPLE_APPLY, this);
  m_apply.SetBitmap(IDB_APPLY_BUTTON, 16, 15, RGB(192, 192, 192));
  m_apply.SetIconTextSpacing(-4);
  m_icon = static_cast<HICON>(::LoadImage(AfxGetResourceHandle(), MAKEINTRESOURCE(528), IMAGE_ICON, 16, 16, 0));
  if (m_icon) SetIcon(m_icon, FALSE);
  if (m_view->GetSafeHwnd()) PlaceDialogBesideView(this, m_view, true, 2);
  return TRUE;
}

bool CDesignBySampleDlg::ValidateCounts() {
  // A text that is not a whole number gets the framework's message there.
  if (!UpdateData(TRUE)) return false;
  auto fail = [this](UINT id, UINT value, int control) {
    CString text;
    text.Format(LoadResString(id), value, kMaxRepeat);
    AppMessageBox(text, kMbIconStop, GetSafeHwnd());
    if (CWnd* field = GetDlgItem(control)) {
      GotoDlgCtrl(field);
      field->SendMessage(EM_SETSEL, 0, -1);
    }
    return false;
  };
  if (m_across < 1 || m_across > kMaxRepeat) return fail(IDS_SAMPLE_BAD_WIDTH, m_across, IDC_SAMPLE_ACROSS);
  if (m_down < 1 || m_down > kMaxRepeat) return fail(IDS_SAMPLE_BAD_HEIGHT, m_down, IDC_SAMPLE_DOWN);
  if (m_across == 1 && m_down == 1 && !m_applied) {
    AppMessageBoxId(IDS_SAMPLE_NOTHING, kMbIconStop, GetSafeHwnd());
    if (CWnd* field = GetDlgItem(IDC_SAMPLE_ACROSS)) GotoDlgCtrl(field);
    return false;
  }
  CPatternParams params;
  double width = 0, height = 0;
  m_sample.GetNominalSize(width, height);
  params.m_width = m_across * width;
  params.m_height = m_down * height;
  params.m_beadWidth = m_sample.m_beadWidth;
  params.m_beadHeight = m_sample.m_beadHeight;
  params.m_spacer = m_sample.m_spacer;
  params.m_format = m_sample.m_format;
  return params.CheckBeadBudget(static_cast<unsigned long long>(GetAppSettings().m_maxBeads));
}

void CDesignBySampleDlg::OnApply() {
  if (!ValidateCounts()) return;
  CPattern built(m_sample);
  if (!built.RepeatBySample(static_cast<int>(m_across), static_cast<int>(m_down), g_rotation)) {
    // Nothing could be built: the design and the applied state stay.
    ::MessageBeep(MB_ICONEXCLAMATION);
    return;
  }
  m_applied = true;
  CPattern* design = m_view->GetPattern();
  *design = built;
  design->SetModified(true);
  design->ClearMarkedBeads();
  m_view->OnPatternChanged(false);
  m_view->CountUsedColors();
  if (IViewToolSource* pane = m_view->GetToolSource()) pane->RefreshColorList();
}

void CDesignBySampleDlg::OnOK() {
  EndDialog(m_applied ? IDOK : IDCANCEL);
}

void CDesignBySampleDlg::OnCancel() {
  if (m_applied) {
    CPattern* design = m_view->GetPattern();
    *design = m_sample;
    design->SetModified(m_sampleModified);
    design->ClearMarkedBeads();
    m_view->OnPatternChanged(true);
    m_view->CountUsedColors();
    if (IViewToolSource* pane = m_view->GetToolSource()) pane->RefreshColorList();
  }
  EndDialog(IDCANCEL);
}
