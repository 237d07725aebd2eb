#include "view/TabView.h"

#include "controls/NotAvailable.h"
#include "core/FrameServices.h"
#include "core/TextUtils.h"
#include "lang/ids/shell.h"
#include "settings/AppSettings.h"

IMPLEMENT_DYNCREATE(CTabView, CView)

BEGIN_MESSAGE_MAP(CTabView, CView)
  ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

CTabView::CTabView() = default;

CTabView::~CTabView() {
  if (GetActiveTabView() == this) SetActiveTabView(nullptr);
}

void CTabView::OnDraw(CDC* pDC) {
  CRect r;
  GetClientRect(&r);
  pDC->FillSolidRect(r, GetBackgroundColor());
}

BOOL CTabView::OnEraseBkgnd(CDC* pDC) {
  CRect r;
  GetClientRect(&r);
  pDC->FillSolidRect(r, GetBackgroundColor());
  return TRUE;
}

bool CTabView::OpenDesignFile(const char* path) {
  m_lastOpenRequest = path ? path : "";
  ShowCommandNotAvailable(ID_FILE_OPEN_DESIGN);
  return false;
}

void CTabView::ApplyZoomMode(int) {}

void CTabView::OnFileOpen() { ShowCommandNotAvailable(ID_FILE_OPEN_DESIGN); }
void CTabView::OnFileImport() { ShowCommandNotAvailable(ID_FILE_IMPORT); }

bool CTabView::OnFileSave() {
  ShowCommandNotAvailable(ID_FILE_SAVE_DESIGN);
  return false;
}

bool CTabView::OnFileSaveAs() {
  ShowCommandNotAvailable(ID_FILE_SAVE_DESIGN_AS);
  return false;
}

void CTabView::ExportBeadedImage() { ShowCommandNotAvailable(ID_FILE_EXPORT_PICTURE); }

bool CTabView::CopyPatternToClipboard() {
  ShowCommandNotAvailable(ID_FILE_COPY_TO_CLIPBOARD);
  return false;
}

void CTabView::OpenEditColorGroup() { ShowCommandNotAvailable(ID_EDIT_COLOR_GROUP); }
void CTabView::OnMirror() { ShowCommandNotAvailable(ID_EDIT_MIRROR); }
void CTabView::Undo() { ShowCommandNotAvailable(ID_EDIT_UNDO_STEP); }
void CTabView::Redo() { ShowCommandNotAvailable(ID_EDIT_REDO_STEP); }
bool CTabView::CanUndo() const { return false; }
bool CTabView::CanRedo() const { return false; }
void CTabView::ClearEditHistory() {}
void CTabView::RecordChanges(const CPattern&) {}

bool CTabView::IsToolDialogOpen(CCmdUI* pCmdUI) {
  for (CWnd* tool : m_tools)
    if (tool) {
      if (pCmdUI) pCmdUI->Enable(FALSE);
      return true;
    }
  return false;
}

void CTabView::GetStatusPaneText(int index, CString& text) {
  switch (index) {
    case 0:
      text = LoadResString(IDS_ORIGINAL_NOT_LOADED);
      break;
    case 1:
      if (m_pattern.HasBeads()) {
        double width = 0.0, height = 0.0;
        m_pattern.GetActualSize(width, height);
        const CString beads = FormatGroupedNumber(static_cast<unsigned long long>(m_pattern.GetBeadCount()), ' ');
        text.Format(LoadResString(IDS_DESIGN_REAL_SIZE), width, height, beads.GetString());
      } else {
        text = "...";
      }
      break;
    default: {
      CString path;
      m_palette.GetFilePath(path);
      if (path.IsEmpty()) {
        text = LoadResString(IDS_PALETTE_NOT_LOADED);
      } else {
        CString title;
        GetFileTitleFromPath(path, title);
        text.Format(LoadResString(IDS_PALETTE_INFO), title.GetString(), m_palette.GetCheckedCount(),
                    m_palette.GetUsedCount(), m_palette.GetCount());
      }
      break;
    }
  }
}

int CTabView::AddToBeadList(int index) {
  for (size_t i = 0; i < m_beadList.size(); ++i)
    if (m_beadList[i] == index) return static_cast<int>(i);
  m_beadList.push_back(index);
  return static_cast<int>(m_beadList.size()) - 1;
}

void CTabView::DrawBead(const CBead&, CDC*, RECT* outRect) {
  if (outRect) *outRect = RECT{0, 0, 0, 0};
}

bool CTabView::RenderPatternImage(CDC*, CImage** out) {
  if (out) *out = nullptr;
  return false;
}

const RECT& CTabView::GetFitMargins(const RECT& rect) {
  m_fitMargins = rect;
  return m_fitMargins;
}

int CTabView::CountUsedColors() { return 0; }

COLORREF CTabView::GetBackgroundColor() { return GetAppSettings().m_viewBackgroundColor; }

int CTabView::OnPatternChanged(bool) {
  if (m_hWnd) Invalidate(FALSE);
  return 0;
}
