#include "dialogs/InterestingColorsDlg.h"

#include <algorithm>

#include "controls/WindowUtils.h"
#include "core/FrameServices.h"
#include "lang/ids/shell.h"
#include "lang/ids/tooldlg2.h"
#include "view/TabView.h"

namespace {

int g_fadingLevel = 6;
bool g_markOption = true;
const UINT g_msgRefresh = RegisterWindowMessage("MsgRefresh");

}  // namespace

BYTE FadeChannel(BYTE channel, int level) {
  const int e = std::clamp(level, 1, 20) * 100 / 20;
  return static_cast<BYTE>((channel * e + 25500 - e * 255) / 100);
}

int CDisplayOnlyColorsDialog::GetFadingLevel() { return g_fadingLevel; }
bool CDisplayOnlyColorsDialog::GetMarkOption() { return g_markOption; }
void CDisplayOnlyColorsDialog::ResetSharedValues() {
  g_fadingLevel = 6;
  g_markOption = true;
}

BEGIN_MESSAGE_MAP(CDisplayOnlyColorsDialog, CDialog)
  ON_NOTIFY(NM_CLICK, IDC_INT_LIST, OnListClick)
  ON_REGISTERED_MESSAGE(g_msgRefresh, OnRefreshMessage)
  ON_WM_HSCROLL()
  ON_BN_CLICKED(IDC_INT_SAVE, OnSave)
  ON_BN_CLICKED(IDC_INT_MARK, OnMarkOption)
  ON_WM_DESTROY()
END_MESSAGE_MAP()

CDisplayOnlyColorsDialog::CDisplayOnlyColorsDialog(CTabView* view, CWnd* parent)
    : CDialog(IDD_INTERESTING_COLORS, parent),
      m_view(view),
      m_viewWindow(view->GetSafeHwnd()),
      m_design(view->GetPattern()),
      m_palette(view->GetColorSet()),
      m_original(*view->GetColorSet()) {}

CDisplayOnlyColorsDialog::~CDisplayOnlyColorsDialog() {
  ClearSlot();
  if (m_icon) ::DestroyIcon(m_icon);
}

CDisplayOnlyColorsDialog* CDisplayOnlyColorsDialog::Open(CTabView* view, CWnd* frame) {
  if (!view || !view->GetPattern()->HasBeads() || view->IsToolDialogOpen()) return nullptr;
  auto* dialog = new CDisplayOnlyColorsDialog(view, frame);
  view->SetToolWindow(CTabView::kToolInteresting, dialog);
  if (!dialog->Create(IDD_INTERESTING_COLORS, frame)) {
    dialog->ClearSlot();
    delete dialog;
    return nullptr;
  }
  dialog->ShowWindow(SW_SHOW);
  return dialog;
}

void CDisplayOnlyColorsDialog::ClearSlot() {
  if (!m_view || !ViewAlive()) return;
  if (m_view->GetToolWindow(CTabView::kToolInteresting) == this)
    m_view->SetToolWindow(CTabView::kToolInteresting, nullptr);
}

void CDisplayOnlyColorsDialog::PostNcDestroy() { delete this; }

void CDisplayOnlyColorsDialog::OnDestroy() {
  // Closed from outside (the main window closing): the colours go back too.
  if (!m_closing && ViewAlive()) {
    m_closing = true;
    *m_palette = m_original;
    m_view->OnPatternChanged(true);
    ClearSlot();
  }
  CDialog::OnDestroy();
}

BOOL CDisplayOnlyColorsDialog::OnInitDialog() {
  CDialog::OnInitDialog();
  m_hint.SubclassDlgItem(IDC_INT_HINT, this);
  m_list.SubclassDlgItem(IDC_INT_LIST, this);
  m_slider.SubclassDlgItem(IDC_INT_LEVEL, this);
  m_list.SetImageList(m_swatches.GetImageList(), LVSIL_SMALL);
  // The used colours, most used first (equal counts in palette order).
  std::vector<int> used;
  for (int i = 0; i < m_palette->GetCount(); ++i)
    if (m_palette->GetItem(i).count != 0) used.push_back(i);
  std::stable_sort(used.begin(), used.end(),
                   [this](int a, int b) { return m_palette->GetItem(a).count > m_palette->GetItem(b).count; });
  for (size_t row = 0; row < used.size(); ++row) {
    const CPaletteColor& color = m_palette->GetItem(used[row]);
    CString text;
    text.Format("%s - %d", m_palette->GetColorName(used[row]).GetString(), static_cast<int>(color.count));
    const int at = m_list.InsertItem(static_cast<int>(row), text, m_swatches.GetImageIndex(color.GetColorref()));
    m_list.SetItemData(at, static_cast<DWORD_PTR>(used[row]));
  }
  m_slider.SetRange(1, 20, TRUE);
  m_slider.SetPos(g_fadingLevel);
  CheckDlgButton(IDC_INT_MARK, g_markOption ? BST_CHECKED : BST_UNCHECKED);
  if (m_view->GetSafeHwnd()) PlaceDialogBesideView(this, m_view, true, 2);
  m_icon = static_cast<HICON>(
      ::LoadImage(AfxGetResourceHandle(), MAKEINTRESOURCE(IDI_TB_INTERESTING), IMAGE_ICON, 16, 16, 0));
  if (m_icon) SetIcon(m_icon, FALSE);
  m_ready = true;
  return TRUE;
}

std::vector<int> CDisplayOnlyColorsDialog::GetSelectedColors() const {
  std::vector<int> colors;
  for (int row = m_list.GetNextItem(-1, LVNI_SELECTED); row >= 0; row = m_list.GetNextItem(row, LVNI_SELECTED))
    colors.push_back(static_cast<int>(m_list.GetItemData(row)));
  return colors;
}

void CDisplayOnlyColorsDialog::MarkSelected(const std::vector<int>& colors) {
  std::vector<bool> wanted(static_cast<size_t>(std::max(0, m_palette->GetCount())), false);
  for (int c : colors)
    if (c >= 0 && c < static_cast<int>(wanted.size())) wanted[static_cast<size_t>(c)] = true;
  std::vector<UINT> marks;
  const int count = m_design->GetBeadCount();
  for (int i = 0; i < count; ++i) {
    const CBead& bead = m_design->m_beads[static_cast<size_t>(i)];
    if (!bead.IsPresent()) continue;
    const int c = bead.GetColorIndex(*m_design);
    if (c >= 0 && c < static_cast<int>(wanted.size()) && wanted[static_cast<size_t>(c)])
      marks.push_back(static_cast<UINT>(i));
  }
  m_design->SetMarkedBeads(marks);
}

void CDisplayOnlyColorsDialog::Refresh() {
  if (g_markOption) m_design->ClearMarkedBeads();
  *m_palette = m_original;
  const std::vector<int> selected = GetSelectedColors();
  if (g_markOption) MarkSelected(selected);
  std::vector<bool> keep(static_cast<size_t>(std::max(0, m_palette->GetCount())), false);
  for (int c : selected)
    if (c >= 0 && c < static_cast<int>(keep.size())) keep[static_cast<size_t>(c)] = true;
  auto& colors = m_palette->GetColorsForEdit();
  for (size_t i = 0; i < colors.size(); ++i) {
    if (keep[i]) continue;
    const CRgbTriple& rgb = colors[i].GetRgb();
    CRgbTriple faded = rgb;
    faded.red = FadeChannel(rgb.red, g_fadingLevel);
    faded.green = FadeChannel(rgb.green, g_fadingLevel);
    faded.blue = FadeChannel(rgb.blue, g_fadingLevel);
    colors[i].SetRgb(faded);
  }
  m_palette->ColorsChanged();
  m_view->OnPatternChanged(true);
}

void CDisplayOnlyColorsDialog::SetFadingLevel(int level) {
  g_fadingLevel = std::clamp(level, 1, 20);
  if (m_slider.GetSafeHwnd()) m_slider.SetPos(g_fadingLevel);
  if (m_ready) Refresh();
}

void CDisplayOnlyColorsDialog::OnListClick(NMHDR*, LRESULT* result) {
  *result = 0;
  if (m_ready) PostMessage(g_msgRefresh, 0, 0);
}

LRESULT CDisplayOnlyColorsDialog::OnRefreshMessage(WPARAM, LPARAM) {
  Refresh();
  return 1;
}

void CDisplayOnlyColorsDialog::OnHScroll(UINT code, UINT pos, CScrollBar* bar) {
  CDialog::OnHScroll(code, pos, bar);
  if (!bar || bar->GetSafeHwnd() != m_slider.GetSafeHwnd()) return;
  g_fadingLevel = std::clamp(m_slider.GetPos(), 1, 20);
  if (m_ready) Refresh();
}

void CDisplayOnlyColorsDialog::OnMarkOption() {
  g_markOption = IsDlgButtonChecked(IDC_INT_MARK) == BST_CHECKED;
  m_design->ClearMarkedBeads();
  if (g_markOption) MarkSelected(GetSelectedColors());
  if (m_view->GetSafeHwnd()) m_view->Invalidate(FALSE);
}

void CDisplayOnlyColorsDialog::OnSave() {
  m_view->ExportBeadedImage();
}

void CDisplayOnlyColorsDialog::OnCancel() {
  if (m_closing) return;
  m_closing = true;
  if (!ViewAlive()) {
    DestroyWindow();
    return;
  }
  *m_palette = m_original;
  m_view->OnPatternChanged(true);
  ClearSlot();
  DestroyWindow();
}
