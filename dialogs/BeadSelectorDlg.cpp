#include "dialogs/BeadSelectorDlg.h"

#include <algorithm>
#include <cstring>

#include "controls/WindowUtils.h"
#include "core/FrameServices.h"
#include "lang/ids/shared.h"
#include "lang/ids/tooldlg.h"
#include "lang/ids/view.h"
#include "view/CtrlPane.h"
#include "view/FramePorts.h"
#include "view/TabView.h"

namespace {

struct ToolButton {
  int tool;
  UINT id;
  UINT icon;
  UINT tip;
  bool cornerHint;  // the tip is followed by the corner-drag hint
};
constexpr ToolButton kTools[8] = {
    {CBaseBeadSelectorDlg::kSelPencil, IDC_SEL_TOOL_PENCIL, IDI_TOOL_PENCIL, IDS_TOOL_PENCIL, false},
    {CBaseBeadSelectorDlg::kSelLine, IDC_SEL_TOOL_LINE, IDI_TOOL_LINE, IDS_TOOL_LINE, false},
    {CBaseBeadSelectorDlg::kSelRect, IDC_SEL_TOOL_RECT, IDI_TOOL_RECT, IDS_TOOL_RECT_CONTOUR, true},
    {CBaseBeadSelectorDlg::kSelRectFilled, IDC_SEL_TOOL_RECT_FILLED, IDI_TOOL_RECT_FILLED, IDS_TOOL_RECT_FILLED, true},
    {CBaseBeadSelectorDlg::kSelEllipse, IDC_SEL_TOOL_ELLIPSE, IDI_TOOL_ELLIPSE, IDS_TOOL_ELLIPSE, true},
    {CBaseBeadSelectorDlg::kSelEllipseFilled, IDC_SEL_TOOL_ELLIPSE_FILLED, IDI_TOOL_ELLIPSE_FILLED,
     IDS_TOOL_ELLIPSE_FILLED, true},
    {CBaseBeadSelectorDlg::kSelBlock, IDC_SEL_TOOL_BLOCK, IDI_TOOL_FILL, IDS_TOOL_BLOCK, false},
    {CBaseBeadSelectorDlg::kSelOutline, IDC_SEL_TOOL_OUTLINE, IDI_TOOL_BLOCK_OUTLINE, IDS_TOOL_BLOCK_OUTLINE, false},
};
constexpr UINT kDirectionTexts[5] = {IDS_DIR_EVERYWHERE, IDS_DIR_LEFT, IDS_DIR_RIGHT, IDS_DIR_UP, IDS_DIR_DOWN};
constexpr int kButtonSize = 20;
constexpr int kDirectionWidth = 100;
constexpr COLORREF kMaskGrey = RGB(192, 192, 192);

int g_sharedTool = CBaseBeadSelectorDlg::kSelPencil;

int SlotOfTool(int tool) {
  for (int i = 0; i < 8; ++i)
    if (kTools[i].tool == tool) return i;
  return -1;
}

bool IsBandTool(int tool) { return tool >= CBaseBeadSelectorDlg::kSelLine && tool <= CBaseBeadSelectorDlg::kSelEllipseFilled; }

}  // namespace

BEGIN_MESSAGE_MAP(CBaseBeadSelectorDlg, CDialog)
  ON_COMMAND_RANGE(IDC_SEL_TOOL_PENCIL, IDC_SEL_TOOL_LAST, OnToolButton)
  ON_COMMAND(IDC_SEL_UNDO, OnUndo)
  ON_COMMAND(IDC_SEL_REDO, OnRedo)
  ON_COMMAND(IDC_PARTIAL_RESTORE_ALL, OnRestoreAllButton)
END_MESSAGE_MAP()

CBaseBeadSelectorDlg::CBaseBeadSelectorDlg(CTabView* view, const CBeadSelectorOptions& options, CWnd* parent,
                                           bool restoreAllIcon)
    : CDialog(options.templateId, parent),
      m_view(view),
      m_design(view->GetPattern()),
      m_copy(*view->GetPattern()),
      m_history(view->GetPattern()),
      m_options(options),
      m_restoreAllIcon(restoreAllIcon) {
  ResetRubberBand();
}

CBaseBeadSelectorDlg::~CBaseBeadSelectorDlg() = default;

int CBaseBeadSelectorDlg::GetSharedTool() { return g_sharedTool; }
void CBaseBeadSelectorDlg::SetSharedTool(int tool) {
  if (SlotOfTool(tool) >= 0) g_sharedTool = tool;
}

void CBaseBeadSelectorDlg::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  if (m_options.restoreAll) DDX_Control(pDX, IDC_PARTIAL_RESTORE_ALL, m_restoreAll);
  if (m_options.undo) {
    DDX_Control(pDX, IDC_SEL_UNDO, m_undo);
    DDX_Control(pDX, IDC_SEL_REDO, m_redo);
  }
}

BOOL CBaseBeadSelectorDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  if (m_options.undo) {
    m_undo.SetBitmap(IDB_UNDO_BUTTON, 16, 15, kMaskGrey);
    m_undo.SetIconTextSpacing(-8);
    m_redo.SetBitmap(IDB_REDO_BUTTON, 16, 15, kMaskGrey);
    m_redo.SetIconTextSpacing(-8);
  }
  if (m_restoreAllIcon && m_options.restoreAll) {
    m_restoreAll.SetIcon(IDI_RESTORE_ALL, 16, 16);
    m_restoreAll.SetIconTextSpacing(-4);
  }
  if (m_tools[0].GetSafeHwnd()) SetTool(g_sharedTool);
  if (m_options.undo) UpdateUndoButtons();
  if (IMainFrame* frame = GetIMainFrame()) PlaceDialogBesideView(this, frame->GetCtrlPane(), true, 2);
  return TRUE;
}

void CBaseBeadSelectorDlg::CreateToolButtons(POINT start) {
  int x = start.x;
  const int y = start.y;
  int previousPair = -1;
  for (int i = 0; i < 8; ++i) {
    const int pair = i / 2;
    if (i > 0) x += (pair == previousPair) ? 21 : 25;
    if (i == 2 && m_options.direction) {
      // The direction box follows the line button; the rectangle button
      // comes 5 pixels after it.
      const int boxLeft = x - 25 + kButtonSize;
      // Wide enough for the longest direction in both languages.
      m_direction.Create(WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWNLIST,
                         CRect(boxLeft, y, boxLeft + kDirectionWidth, y + 200), this, IDC_SEL_DIRECTION);
      LOGFONT lf;
      std::memset(&lf, 0, sizeof(lf));
      lf.lfHeight = 12;
      lf.lfCharSet = DEFAULT_CHARSET;
      std::strcpy(lf.lfFaceName, "Tahoma");
      if (m_directionFont.CreateFontIndirect(&lf)) m_direction.SetFont(&m_directionFont);
      for (int d = 0; d < 5; ++d) {
        const int item = m_direction.AddString(LoadResString(kDirectionTexts[d]));
        if (item >= 0) m_direction.SetItemData(item, static_cast<DWORD_PTR>(d));
      }
      m_direction.SetCurSel(0);
      x = boxLeft + kDirectionWidth + 5;
    }
    previousPair = pair;
    m_tools[i].Create("", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, CRect(x, y, x + kButtonSize, y + kButtonSize), this,
                      kTools[i].id);
    m_tools[i].SetIcon(kTools[i].icon, 16, 16, 2, 0);
    m_tools[i].SetPressed(false);
  }
  m_tooltip.Create(this);
  for (int i = 0; i < 8; ++i) {
    CString tip = LoadResString(kTools[i].tip);
    if (kTools[i].cornerHint) tip += LoadResString(IDS_TOOL_CORNER_HINT);
    m_tooltip.AddTool(&m_tools[i], tip.GetString());
  }
  if (m_direction.GetSafeHwnd()) m_tooltip.AddTool(&m_direction, IDS_TIP_LINE_DIRECTION);
  m_tooltip.Activate(TRUE);
  SetTool(g_sharedTool);
}

BOOL CBaseBeadSelectorDlg::PreTranslateMessage(MSG* pMsg) {
  if (m_tooltip.GetSafeHwnd()) m_tooltip.RelayEvent(pMsg);
  return CDialog::PreTranslateMessage(pMsg);
}

CToolbarButton& CBaseBeadSelectorDlg::GetToolButton(int tool) {
  const int slot = SlotOfTool(tool);
  return m_tools[slot < 0 ? 0 : slot];
}

void CBaseBeadSelectorDlg::SetTool(int tool) {
  if (SlotOfTool(tool) < 0) return;
  g_sharedTool = tool;
  for (CToolbarButton& button : m_tools)
    if (button.GetSafeHwnd() && button.IsPressed()) button.SetPressed(false);
  CToolbarButton& chosen = GetToolButton(tool);
  if (chosen.GetSafeHwnd()) chosen.SetPressed(true);
  if (m_direction.GetSafeHwnd()) m_direction.EnableWindow(tool == kSelLine ? TRUE : FALSE);
}

void CBaseBeadSelectorDlg::OnToolButton(UINT id) {
  for (const ToolButton& t : kTools) {
    if (t.id != id) continue;
    SetTool(t.tool);
    if (m_drawn) {
      // Re-rendering takes the inverted shape off the screen.
      ResetRubberBand();
      m_view->OnPatternChanged(true);
    }
    return;
  }
}

int CBaseBeadSelectorDlg::GetLineDirection() const {
  if (!m_direction.GetSafeHwnd()) return kDirEverywhere;
  const int item = m_direction.GetCurSel();
  return item < 0 ? kDirEverywhere : static_cast<int>(m_direction.GetItemData(item));
}

void CBaseBeadSelectorDlg::SetLineDirection(int direction) {
  if (!m_direction.GetSafeHwnd()) return;
  for (int i = 0; i < m_direction.GetCount(); ++i)
    if (static_cast<int>(m_direction.GetItemData(i)) == direction) m_direction.SetCurSel(i);
}

void CBaseBeadSelectorDlg::ResetRubberBand() {
  m_anchorBead = -1;
  m_endBead = -1;
  m_drawn = false;
  m_anchorPoint = POINT{-1, -1};
  m_currentPoint = POINT{-1, -1};
}

void CBaseBeadSelectorDlg::CollectDirectionRun(const CPattern& design, int index, int direction,
                                               std::vector<int>& out) {
  out.clear();
  const int columns = static_cast<int>(design.GetColumnCount());
  const int rows = static_cast<int>(design.GetRowCount());
  if (!design.IsValidIndex(index) || columns <= 0) return;
  const auto& beads = design.GetBeadArray();
  const BYTE present = beads[index].m_present;
  int column = index % columns, storageRow = index / columns;
  int dx = 0, dy = 0;
  switch (direction) {
    case kDirLeft: dx = -1; break;
    case kDirRight: dx = 1; break;
    case kDirUp: dy = 1; break;    // storage rows run bottom-up
    case kDirDown: dy = -1; break;
    default: return;
  }
  while (column >= 0 && column < columns && storageRow >= 0 && storageRow < rows) {
    const int i = storageRow * columns + column;
    if (beads[i].m_present != present) break;
    out.push_back(i);
    column += dx;
    storageRow += dy;
  }
}

void CBaseBeadSelectorDlg::DrawShape() {
  const int tool = g_sharedTool;
  if (tool == kSelLine) {
    m_view->DrawXorLine(m_anchorPoint, m_currentPoint);
    return;
  }
  const POINT tl{std::min(m_anchorPoint.x, m_currentPoint.x), std::min(m_anchorPoint.y, m_currentPoint.y)};
  const POINT br{std::max(m_anchorPoint.x, m_currentPoint.x), std::max(m_anchorPoint.y, m_currentPoint.y)};
  if (tool == kSelEllipse || tool == kSelEllipseFilled) m_view->DrawXorEllipse(tl, br);
  else m_view->DrawXorRect(tl, br);
}

bool CBaseBeadSelectorDlg::PointerDown(const CViewPointer& pointer) {
  if (pointer.button != CViewPointer::kLeft || !pointer.hit.bead) return false;
  const CBeadHit& hit = pointer.hit;
  const int tool = g_sharedTool;
  if (tool == kSelPencil) {
    SelectBead(hit, false);
    return true;
  }
  if (tool == kSelLine && GetLineDirection() != kDirEverywhere) {
    std::vector<int> run;
    CollectDirectionRun(*m_design, hit.index, GetLineDirection(), run);
    if (!run.empty()) SelectBeadList(run);
    return true;
  }
  if (IsBandTool(tool)) {
    m_drawn = false;
    m_anchorBead = hit.index;
    m_anchorPoint = pointer.point;
  }
  return true;
}

void CBaseBeadSelectorDlg::PointerMove(const CViewPointer& pointer) {
  if (!(pointer.keys & MK_LBUTTON) || !pointer.hit.bead) return;
  const CBeadHit& hit = pointer.hit;
  const POINT point = pointer.point;
  const int tool = g_sharedTool;
  if (tool == kSelPencil) {
    SelectBead(hit, true);
    return;
  }
  if (!IsBandTool(tool) || m_anchorBead < 0) return;
  if (m_drawn) DrawShape();
  m_currentPoint = point;
  m_drawn = true;
  DrawShape();
  m_endBead = hit.index;
}

void CBaseBeadSelectorDlg::PointerUp(const CViewPointer& pointer) {
  if (!pointer.hit.bead) return;
  const CBeadHit& hit = pointer.hit;
  const int tool = g_sharedTool;
  if (IsBandTool(tool)) {
    if (m_anchorBead >= 0 && m_endBead >= 0) {
      if (m_drawn) DrawShape();
      m_drawn = false;
      m_endBead = hit.index;
      CIndexList list;
      switch (tool) {
        case kSelLine: m_design->LineBetweenBeads(m_anchorBead, m_endBead, list); break;
        case kSelRect:
        case kSelRectFilled: m_design->RectBetweenBeads(tool == kSelRectFilled, m_anchorBead, m_endBead, list); break;
        case kSelEllipse: m_design->EllipseOutlineBetweenBeads(m_anchorBead, m_endBead, list); break;
        default: m_design->FilledEllipseBetweenBeads(m_anchorBead, m_endBead, list); break;
      }
      SelectBeadList(list.ToIntVector());
    }
    ResetRubberBand();
    return;
  }
  if (tool == kSelBlock) SelectSameColorBlock(hit);
  else if (tool == kSelOutline) SelectBlockOutline(hit);
}

void CBaseBeadSelectorDlg::PushChanges(CBeadChangeList&& changes) {
  m_history.PushStep(std::move(changes));
  UpdateUndoButtons();
}

void CBaseBeadSelectorDlg::PushSingleChange(const CBeadChange& change) {
  CBeadChangeList step;
  step.push_back(change);
  PushChanges(std::move(step));
}

void CBaseBeadSelectorDlg::UpdateUndoButtons() {
  if (!m_options.undo) return;
  EnableOwnerDrawn(m_undo, m_history.CanUndo());
  EnableOwnerDrawn(m_redo, m_history.CanRedo());
}

// Only the beads of the step are painted again (present ones as beads,
// removed ones as holes): a full rendering of a large design with the
// picture behind removed beads takes seconds.
void CBaseBeadSelectorDlg::RepaintRestored(const std::vector<int>& restored) {
  std::vector<int> present, removed;
  for (int i : restored) {
    if (!m_design->IsValidIndex(i)) continue;
    (m_design->m_beads[size_t(i)].IsPresent() ? present : removed).push_back(i);
  }
  if (!present.empty()) m_view->RedrawBeads(present);
  if (!removed.empty()) m_view->RedrawRemovedBeads(removed);
}

void CBaseBeadSelectorDlg::OnUndo() {
  std::vector<int> restored;
  m_history.Undo(&restored);
  RepaintRestored(restored);
  UpdateUndoButtons();
}

void CBaseBeadSelectorDlg::OnRedo() {
  std::vector<int> restored;
  m_history.Redo(&restored);
  RepaintRestored(restored);
  UpdateUndoButtons();
}

void CBaseBeadSelectorDlg::OnRestoreAllButton() { RestoreAll(); }
