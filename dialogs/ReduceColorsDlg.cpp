#include "dialogs/ReduceColorsDlg.h"

#include <cctype>
#include <cstdlib>

#include "builder/ColorOps.h"
#include "core/FrameServices.h"
#include "lang/ids/shared.h"
#include "lang/ids/palette.h"
#include "lang/ids/shell.h"
#include "lang/ids/tooldlg2.h"
#include "settings/AppSettings.h"
#include "view/TabView.h"

BEGIN_MESSAGE_MAP(CReduceColorsNumberDlg, CDialog)
  ON_BN_CLICKED(IDC_ONLY_APPLY, OnApply)
  ON_BN_CLICKED(IDC_ONLY_COLUMNS, OnColumns)
  ON_REGISTERED_MESSAGE(g_msgColorPaletteUsageChanged, OnUsageChanged)
END_MESSAGE_MAP()

CReduceColorsNumberDlg::CReduceColorsNumberDlg(CTabView* view, CWnd* parent)
    : CDialog(IsSmallScreen() ? IDD_USE_ONLY_COLORS_SMALL : IDD_USE_ONLY_COLORS, parent),
      m_view(view),
      m_working(*view->GetPattern()),
      m_workingPalette(*view->GetColorSet()) {}

CReduceColorsNumberDlg::~CReduceColorsNumberDlg() {
  if (m_icon) ::DestroyIcon(m_icon);
}

INT_PTR CReduceColorsNumberDlg::Run(CTabView* view, CWnd* frame) {
  if (!view || !view->GetPattern()->HasBeads() || view->IsToolDialogOpen()) return IDCANCEL;
  const CPattern kept(*view->GetPattern());
  CReduceColorsNumberDlg dialog(view, frame);
  const INT_PTR answer = dialog.DoModal();
  if (answer != IDOK) return answer;
  if (frame && frame->GetSafeHwnd()) frame->UpdateWindow();
  *view->GetPattern() = dialog.GetWorkingPattern();
  *view->GetColorSet() = dialog.GetWorkingPalette();
  view->SetPaletteModified();
  view->CountUsedColors();
  view->OnPatternChanged(true);
  view->RecordChanges(kept);
  if (IViewToolSource* pane = view->GetToolSource()) pane->RefreshColorList();
  return answer;
}

int CReduceColorsNumberDlg::ReadLimit(const CString& text, int noLimit) {
  const char* s = text.GetString();
  while (*s == ' ') ++s;
  if (!std::isdigit(static_cast<unsigned char>(*s))) return noLimit;
  char* end = nullptr;
  const long long value = std::strtoll(s, &end, 10);
  while (end && *end == ' ') ++end;
  if (!end || *end != '\0' || value <= 0 || value > noLimit) return noLimit;
  return static_cast<int>(value);
}

BOOL CReduceColorsNumberDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  CWaitCursor wait;
  m_apply.SubclassDlgItem(IDC_ONLY_APPLY, this);
  m_count.SubclassDlgItem(IDC_ONLY_COUNT, this);
  m_from.SubclassDlgItem(IDC_ONLY_FROM, this);
  m_noMore.SubclassDlgItem(IDC_ONLY_NO_MORE, this);
  m_list.SubclassDlgItem(IDC_ONLY_LIST, this);
  m_limit.SubclassDlgItem(IDC_ONLY_LIMIT, this);
  m_after.SubclassDlgItem(IDC_ONLY_AFTER, this);
  m_before.SubclassDlgItem(IDC_ONLY_BEFORE, this);
  CString text;
  // The colours in use after a recount (the recount itself answers beads).
  m_view->CountUsedColors();
  text.Format(LoadResString(IDS_ONLY_COLORS_NUMBER), static_cast<unsigned>(m_view->GetColorSet()->GetUsedCount()));
  m_count.SetText(text);
  m_list.Init();
  m_list.SetColorSet(&m_workingPalette, 1);
  CString from;
  GetDlgItemText(IDC_ONLY_FROM, from);
  text.Format(from, LoadResString(IDS_COLUMN_USAGE).GetString());
  m_from.SetText(text);
  if (m_working.m_blank) m_working.RefreshBeadColors(m_workingPalette);
  m_before.SetPattern(&m_working, &m_workingPalette);
  m_after.SetPattern(&m_working, &m_workingPalette);
  m_apply.SetBitmap(IDB_APPLY_BUTTON, 16, 15, RGB(192, 192, 192));
  m_apply.SetIconTextSpacing(-4);
  m_icon = static_cast<HICON>(
      ::LoadImage(AfxGetResourceHandle(), MAKEINTRESOURCE(IDI_TB_USE_ONLY), IMAGE_ICON, 16, 16, 0));
  if (m_icon) SetIcon(m_icon, FALSE);
  return TRUE;
}

LRESULT CReduceColorsNumberDlg::OnUsageChanged(WPARAM index, LPARAM checked) {
  m_workingPalette.SetColorInUse(static_cast<int>(index), checked != 0);
  return 1;
}

void CReduceColorsNumberDlg::OnColumns() { m_list.OnColumns(); }

void CReduceColorsNumberDlg::OnApply() {
  if (m_workingPalette.GetCheckedCount() == 0) {
    AppMessageBoxId(IDS_ONLY_CHECK_ONE, kMbIconStop, GetSafeHwnd());
    return;
  }
  m_applied = true;
  CString text;
  GetDlgItemText(IDC_ONLY_LIMIT, text);
  const int limit = ReadLimit(text, GetAppSettings().m_maxBeads);
  {
    CWaitCursor wait;
    const CString caption = LoadResString(IDS_ONLY_APPLYING);
    ReduceColors(m_working, m_workingPalette, limit, caption, m_view ? m_view->GetProgressHost() : nullptr);
    m_working.RefreshBeadColors(m_workingPalette);
  }
  m_after.SetPattern(&m_working, &m_workingPalette);
  m_workingPalette.CountUsageQuick(m_working);
  m_list.SetColorSet(&m_workingPalette, 1);
  // The number of colours the working copy now uses.
  text.Format(LoadResString(IDS_ONLY_COLORS_NUMBER), static_cast<unsigned>(m_workingPalette.GetUsedCount()));
  m_count.SetText(text);
}

void CReduceColorsNumberDlg::OnOK() {
  EndDialog(m_applied ? IDOK : IDCANCEL);
}

void CReduceColorsNumberDlg::OnCancel() { EndDialog(IDCANCEL); }
