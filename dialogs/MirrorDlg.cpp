#include "dialogs/MirrorDlg.h"

#include "controls/WindowUtils.h"
#include "core/FrameServices.h"
#include "lang/ids/shared.h"
#include "lang/ids/shell.h"
#include "lang/ids/tooldlg.h"
#include "view/CtrlPane.h"
#include "view/FramePorts.h"
#include "view/TabView.h"

namespace {
struct MirrorChoice {
  int radio;
  bool horizontal;
  bool vertical;
};
constexpr MirrorChoice kChoices[] = {
    {IDC_MIRROR_NORMAL, false, false},
    {IDC_MIRROR_LEFT_RIGHT, true, false},
    {IDC_MIRROR_TOP_BOTTOM, false, true},
    {IDC_MIRROR_BOTH, true, true},
};
constexpr COLORREF kMaskGrey = RGB(192, 192, 192);
}  // namespace

BEGIN_MESSAGE_MAP(CMirrorDlg, CDialog)
  ON_COMMAND_RANGE(IDC_MIRROR_NORMAL, IDC_MIRROR_BOTH, OnChoice)
  ON_WM_PAINT()
END_MESSAGE_MAP()

CMirrorDlg::CMirrorDlg(bool horizontal, bool vertical, CWnd* owner, UINT message)
    : CDialog(IDD_MIRROR, owner),
      m_horizontal(horizontal),
      m_vertical(vertical),
      m_openHorizontal(horizontal),
      m_openVertical(vertical),
      m_owner(owner),
      m_message(message) {}

CMirrorDlg::~CMirrorDlg() { DestroySmallIcon(); }

int CMirrorDlg::RadioOfFlags(bool horizontal, bool vertical) {
  for (const MirrorChoice& c : kChoices)
    if (c.horizontal == horizontal && c.vertical == vertical) return c.radio;
  return IDC_MIRROR_NORMAL;
}

bool CMirrorDlg::FlagsOfRadio(int id, bool& horizontal, bool& vertical) {
  for (const MirrorChoice& c : kChoices) {
    if (c.radio != id) continue;
    horizontal = c.horizontal;
    vertical = c.vertical;
    return true;
  }
  return false;
}

void CMirrorDlg::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Control(pDX, IDOK, m_ok);
}

BOOL CMirrorDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  CheckRadioButton(IDC_MIRROR_NORMAL, IDC_MIRROR_BOTH, RadioOfFlags(m_horizontal, m_vertical));
  if (m_images.Create(IDB_SMALL_PICTURES, 16, 3, kMaskGrey)) {
    m_smallIcon = m_images.ExtractIcon(0);
    if (m_smallIcon) SetIcon(m_smallIcon, FALSE);
  }
  m_ok.SetBitmap(IDB_APPLY_BUTTON, 16, 15, kMaskGrey);
  m_ok.SetIconTextSpacing(-12);
  if (IMainFrame* frame = GetIMainFrame()) PlaceDialogBesideView(this, frame->GetCtrlPane(), true, 2);
  return TRUE;
}

void CMirrorDlg::Post(bool horizontal, bool vertical) {
  if (m_owner && m_owner->GetSafeHwnd()) m_owner->PostMessage(m_message, horizontal ? 1 : 0, vertical ? 1 : 0);
}

void CMirrorDlg::OnChoice(UINT id) {
  bool horizontal = false, vertical = false;
  if (!FlagsOfRadio(static_cast<int>(id), horizontal, vertical)) return;
  CheckRadioButton(IDC_MIRROR_NORMAL, IDC_MIRROR_BOTH, static_cast<int>(id));
  m_horizontal = horizontal;
  m_vertical = vertical;
  Post(m_horizontal, m_vertical);
}

void CMirrorDlg::OnPaint() {
  CPaintDC dc(this);
  if (!m_images.GetSafeHandle()) return;
  const int radios[] = {IDC_MIRROR_LEFT_RIGHT, IDC_MIRROR_TOP_BOTTOM, IDC_MIRROR_BOTH};
  for (int k = 0; k < 3; ++k) {
    CWnd* radio = GetDlgItem(radios[k]);
    if (!radio) continue;
    RECT r;
    GetChildRectInParent(this, radio, r);
    m_images.Draw(&dc, 14 + k, POINT{2, r.top - 1}, ILD_TRANSPARENT);
  }
}

void CMirrorDlg::DestroySmallIcon() {
  if (m_smallIcon) DestroyIcon(m_smallIcon);
  m_smallIcon = nullptr;
}

void CMirrorDlg::OnOK() {
  DestroySmallIcon();
  EndDialog(IDOK);
}

void CMirrorDlg::OnCancel() {
  DestroySmallIcon();
  if (m_horizontal != m_openHorizontal || m_vertical != m_openVertical) {
    m_horizontal = m_openHorizontal;
    m_vertical = m_openVertical;
    Post(m_horizontal, m_vertical);
  }
  EndDialog(IDCANCEL);
}

int RunMirrorDialog(CTabView* view, UINT message) {
  CMirrorDlg dialog(false, false, view, message);
  return static_cast<int>(dialog.DoModal());
}
