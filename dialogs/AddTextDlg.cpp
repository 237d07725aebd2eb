#include "dialogs/AddTextDlg.h"

#include <algorithm>
#include <cstring>

#include "controls/DrawUtils.h"
#include "controls/WindowUtils.h"
#include "core/FrameServices.h"
#include "lang/ids/shared.h"
#include "lang/ids/shell.h"
#include "lang/ids/tooldlg.h"
#include "palette/ColorSet.h"
#include "platform/base/waitcursor.h"
#include "view/CtrlPane.h"
#include "view/FramePorts.h"
#include "view/TabView.h"

namespace {
constexpr COLORREF kMaskGrey = RGB(192, 192, 192);

LOGFONT StartFont() {
  LOGFONT lf;
  std::memset(&lf, 0, sizeof(lf));
  lf.lfHeight = 24;
  std::strcpy(lf.lfFaceName, "MS Sans Serif");
  return lf;
}
}  // namespace

// ---- CFontDialogWithoutColor ----

CFontDialogWithoutColor::CFontDialogWithoutColor(LPLOGFONT font, DWORD flags, CWnd* parent, HICON icon)
    : CFontDialog(font, flags, nullptr, parent), m_icon(icon) {
  m_cf.Flags |= CF_ENABLEHOOK;
  m_cf.lpfnHook = &CFontDialogWithoutColor::HookProc;
  m_cf.lCustData = reinterpret_cast<LPARAM>(this);
}

UINT_PTR CFontDialogWithoutColor::HookProc(HWND window, UINT message, WPARAM, LPARAM lParam) {
  if (message != WM_INITDIALOG) return 0;
  for (int id : {QM_IDC_FONT_COLOR_LABEL, QM_IDC_FONT_COLOR})
    if (HWND control = ::GetDlgItem(window, id)) ::ShowWindow(control, SW_HIDE);
  const auto* choose = reinterpret_cast<const CHOOSEFONT*>(lParam);
  const auto* self = choose ? reinterpret_cast<const CFontDialogWithoutColor*>(choose->lCustData) : nullptr;
  if (self && self->m_icon) ::SendMessage(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(self->m_icon));
  return 0;
}

// ---- CAddTextIntoDesignDlg ----

BEGIN_MESSAGE_MAP(CAddTextIntoDesignDlg, CDialog)
  ON_COMMAND(IDC_TEXT_APPLY, OnApply)
  ON_COMMAND(IDC_TEXT_FONT, OnFont)
  ON_COMMAND(IDC_TEXT_LEFT, OnMoveLeft)
  ON_COMMAND(IDC_TEXT_RIGHT, OnMoveRight)
  ON_COMMAND(IDC_TEXT_UP, OnMoveUp)
  ON_COMMAND(IDC_TEXT_DOWN, OnMoveDown)
  ON_CBN_SELCHANGE(IDC_TEXT_COLOR, OnColorChange)
  ON_WM_HSCROLL()
END_MESSAGE_MAP()

LOGFONT& CAddTextIntoDesignDlg::SharedFont() {
  static LOGFONT font = StartFont();
  return font;
}

CAddTextIntoDesignDlg::CAddTextIntoDesignDlg(CTabView* view, CWnd* parent)
    : CDialog(IDD_TEXT_BY_BEADS, parent),
      m_view(view),
      m_design(view->GetPattern()),
      m_palette(view->GetColorSet()),
      m_snapshot(*view->GetPattern()),
      m_copy(*view->GetPattern()),
      m_hint(RGB(0, 128, 0), "", 14) {}

CAddTextIntoDesignDlg::~CAddTextIntoDesignDlg() = default;

void CAddTextIntoDesignDlg::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_TEXT_TRANSPARENCY, m_transparency);
  DDX_Control(pDX, IDC_TEXT_COLOR, m_color);
  DDX_Control(pDX, IDC_TEXT_HINT, m_hint);
  DDX_Control(pDX, IDC_TEXT_APPLY, m_apply);
}

BOOL CAddTextIntoDesignDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  if (IMainFrame* frame = GetIMainFrame()) PlaceDialogBesideView(this, frame->GetCtrlPane(), true, 2);
  m_smallIcon = static_cast<HICON>(
      LoadImage(AfxGetResourceHandle(), MAKEINTRESOURCE(IDI_TB_TEXT), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
  if (m_smallIcon) SetIcon(m_smallIcon, FALSE);
  m_color.ResetContent();
  m_color.FillUsedColors(m_palette);
  m_color.SetCurSel(0);
  m_transparency.SetRange(0, 10);
  m_transparency.SetPos(0);
  m_apply.SetBitmap(IDB_APPLY_BUTTON, 16, 15, kMaskGrey);
  m_apply.SetIconTextSpacing(-4);
  return TRUE;
}

void CAddTextIntoDesignDlg::ApplyText() {
  CWaitCursor wait;
  if (!m_snapshot.Restore(*m_design)) return;
  // From here the design is as it was at opening; the view shows it even
  // when no text is drawn (an emptied text takes the old one away).
  std::vector<int> painted;
  [&] {
    std::vector<POINT> cells;
    SIZE size{0, 0};
    m_size = size;
    if (!RasterizeText(m_text.GetString(), SharedFont(), size, cells)) return;
    m_size = size;
    const int item = m_color.GetSafeHwnd() ? m_color.GetCurSel() : -1;
    if (item < 0) return;
    const int color = m_palette->GetNthChecked(item);
    if (color < 0) return;
    const int slider = std::clamp(m_transparency.GetSafeHwnd() ? m_transparency.GetPos() : 0, 0, 10);
    m_design->PaintCells(m_position.x, m_position.y, cells, *m_palette, slider * 0.1, color, false);
    const int columns = static_cast<int>(m_design->GetColumnCount()), rows = static_cast<int>(m_design->GetRowCount());
    painted.reserve(cells.size());
    for (POINT c : cells) {
      const int x = m_position.x + c.x, y = m_position.y + c.y;
      if (x >= 0 && y >= 0 && x < columns && y < rows) painted.push_back(m_design->GetBeadIndex(x, y));
    }
  }();
  // Only the cells of the text drawn before and of the text drawn now
  // changed: they are painted again, not the whole design.
  std::vector<int> repaint = m_painted;
  repaint.insert(repaint.end(), painted.begin(), painted.end());
  m_painted = std::move(painted);
  if (repaint.empty()) return;
  const bool modified = m_design->IsModified();
  if (!m_view->RedrawBeads(repaint)) m_view->OnPatternChanged(true);
  m_design->SetModified(modified);
}

void CAddTextIntoDesignDlg::OnApply() {
  GetDlgItemText(IDC_TEXT_EDIT, m_text);
  ApplyText();
}

void CAddTextIntoDesignDlg::OnFont() {
  CFontDialogWithoutColor dialog(&SharedFont(), CF_EFFECTS | CF_BOTH | CF_INITTOLOGFONTSTRUCT, this, m_smallIcon);
  if (dialog.DoModal() != IDOK) return;
  dialog.GetCurrentFont(&SharedFont());
  if (!m_text.IsEmpty()) ApplyText();
}

void CAddTextIntoDesignDlg::OnColorChange() {
  if (!m_text.IsEmpty()) ApplyText();
}

void CAddTextIntoDesignDlg::OnHScroll(UINT, UINT, CScrollBar*) {
  if (!m_text.IsEmpty()) ApplyText();
}

void CAddTextIntoDesignDlg::Move(int dx, int dy) {
  m_position.x += dx;
  m_position.y += dy;
  ApplyText();
}

void CAddTextIntoDesignDlg::OnMoveLeft() { Move(-1, 0); }
void CAddTextIntoDesignDlg::OnMoveRight() { Move(1, 0); }
void CAddTextIntoDesignDlg::OnMoveUp() { Move(0, -1); }
void CAddTextIntoDesignDlg::OnMoveDown() { Move(0, 1); }

void CAddTextIntoDesignDlg::DrawFrame() {
  const RECT cells{m_position.x, m_position.y, m_position.x + m_size.cx, m_position.y + m_size.cy};
  m_view->DrawXorCellRect(cells);
}

bool CAddTextIntoDesignDlg::PointerDown(const CViewPointer& pointer) {
  if (pointer.button != CViewPointer::kLeft || !pointer.onCell) return false;
  if (!(pointer.keys & MK_LBUTTON) || m_dragging || m_text.IsEmpty()) return false;
  const int column = pointer.column, row = pointer.row;
  const bool inside = column >= m_position.x && column < m_position.x + m_size.cx && row >= m_position.y &&
                      row < m_position.y + m_size.cy;
  if (!inside) return false;
  m_lastDrag = POINT{column, row};
  m_dragging = true;
  DrawFrame();
  return true;
}

void CAddTextIntoDesignDlg::PointerMove(const CViewPointer& pointer) {
  if (!pointer.onCell || !(pointer.keys & MK_LBUTTON) || !m_dragging) return;
  const int column = pointer.column, row = pointer.row;
  if (column == m_lastDrag.x && row == m_lastDrag.y) return;
  DrawFrame();
  m_position.x += column - m_lastDrag.x;
  m_position.y += row - m_lastDrag.y;
  m_lastDrag = POINT{column, row};
  DrawFrame();
}

void CAddTextIntoDesignDlg::PointerUp(const CViewPointer& pointer) {
  if (pointer.onCell) EndDrag(pointer.column, pointer.row);
}

bool CAddTextIntoDesignDlg::EndDrag(int column, int row) {
  if (!m_dragging) return false;
  DrawFrame();
  m_position.x += column - m_lastDrag.x;
  m_position.y += row - m_lastDrag.y;
  m_dragging = false;
  ApplyText();
  return true;
}

void CAddTextIntoDesignDlg::OnOK() {
  m_view->RecordChanges(m_copy);
  m_view->CountUsedColors();
  if (IViewToolSource* pane = m_view->GetToolSource()) pane->RefreshColorList();
  End();
}

void CAddTextIntoDesignDlg::OnCancel() {
  m_snapshot.Restore(*m_design);
  m_view->OnPatternChanged(true);
  End();
}

void CAddTextIntoDesignDlg::End() {
  if (m_smallIcon) DestroyIcon(m_smallIcon);
  m_smallIcon = nullptr;
  DestroyWindow();
}

void CAddTextIntoDesignDlg::PostNcDestroy() {
  if (m_view->GetToolWindow(CTabView::kToolText) == this) m_view->SetToolWindow(CTabView::kToolText, nullptr);
  delete this;
}

CAddTextIntoDesignDlg* OpenTextByBeadsDialog(CTabView* view, CWnd* parent) {
  if (!view || !view->GetPattern()->HasBeads() || view->IsToolDialogOpen()) return nullptr;
  auto* dialog = new CAddTextIntoDesignDlg(view, parent);
  view->SetToolWindow(CTabView::kToolText, dialog);
  if (!dialog->Create(IDD_TEXT_BY_BEADS, parent)) {
    view->SetToolWindow(CTabView::kToolText, nullptr);
    delete dialog;
    return nullptr;
  }
  dialog->ShowWindow(SW_SHOW);
  return dialog;
}
