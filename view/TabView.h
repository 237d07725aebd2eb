// CTabView: the design view, the left pane of the main window. It owns the
// current design, its palette, the original picture, the rendered design
// picture and the edit history, paints the design through its picture
// view, edits it with the mouse tools of the control pane, and is the one
// place through which the other parts reach the design (ITabView).
#pragma once

#include <map>
#include <memory>
#include <vector>

#include "core/FrameServices.h"
#include "core/LargeArray.h"
#include "core/ViewServices.h"
#include "design/EditHistory.h"
#include "design/Pattern.h"
#include "palette/ColorSet.h"
#include "platform/gdi.h"
#include "platform/wnd.h"
#include "view/FramePorts.h"
#include "view/PatternRender.h"
#include "view/RulerBar.h"
#include "view/ToolDialogs.h"

class CImage;
class CImageView;
class CCmdUI;
class CGraphicOutputParams;
struct CDesignForView;

// Registered messages of the view (ids are the same in every window).
UINT GetMsgPatternChanged();
UINT GetMsgPopupVisibleBead();
UINT GetMsgPopupInvisibleBead();
UINT GetMsgNotifyMirrorChangedPattern();
UINT GetMsgTabViewSizeChanged();

// The design picture's window: the view's client area, scroll position and
// device context and scroll sizes.
class CTabViewImageOwner : public IImageViewOwner {
 public:
  explicit CTabViewImageOwner(CScrollView* view) : m_view(view) {}
  CRect GetOwnerClientRect() override;
  CPoint GetOwnerScrollPosition() override;
  void SetOwnerScrollSizes(int mapMode, SIZE total) override;
  CDC* GetOwnerDC() override;
  void ReleaseOwnerDC(CDC* dc) override;
  void InvalidateOwner(bool erase) override;

 private:
  CScrollView* m_view;
};

class CTabView : public CScrollView, public ITabView {
  DECLARE_DYNCREATE(CTabView)

 public:
  // Tool values of the control pane.
  enum : int {
    kToolPencil = 0,
    kToolLine = 1,
    kToolRect = 2,
    kToolRectFilled = 3,
    kToolEllipse = 4,
    kToolEllipseFilled = 5,
    kToolFill = 6,
    kToolErase = 9,
  };

  // The modeless tool windows the main frame keeps, at most one of each.
  enum ToolSlot : int {
    kToolPartial,
    kToolColorGroup,
    kToolText,
    kToolRowsColumns,
    kToolInteresting,
    kToolSeparated,
    kToolSlotCount
  };

  CTabView();
  ~CTabView() override;

  // Where the view's long operations, and the windows it opens, show their
  // progress (the main frame's status bar; null: nowhere). The main frame
  // sets it when it creates the view.
  void SetProgressHost(IProgressHost* host) { m_progressHost = host; }
  IProgressHost* GetProgressHost() const { return m_progressHost; }

  // ---- File operations (TabViewFile.cpp) ----
  // Opens a design file; false (after its own message) when nothing was
  // opened.
  bool OpenDesignFile(const char* path);
  void OnFileOpen();
  void OnFileImport();
  // The saves answer whether the design was saved.
  bool OnFileSave();
  bool OnFileSaveAs();
  bool ShowDesignFileDialog(CString& path, bool open);
  bool ShowImportDialog(CString& path);
  bool SaveDesignFile(const CString& path, bool addToRecent);
  bool LoadOriginalImage(const char* path);
  bool LoadPaletteBlob(const BYTE* bytes, size_t size);
  void SavePaletteAs();
  void ExportPaletteXml();
  void SaveOriginalImageAs();
  void ExportBeadedImage();
  bool ComposeBeadedImage(const CString& path, const CGraphicOutputParams& params);
  bool CopyPatternToClipboard();
  // The path the last OpenDesignFile was given.
  const CString& GetLastOpenRequest() const { return m_lastOpenRequest; }

  // ---- The zoom box ----
  // The rendered design's zoom in per cent, -1 without a rendered design.
  int GetPatternZoom() const;
  void SetPatternZoom(int percent);
  bool IsPatternFitToWindow() const;
  void FitPatternToWindow();

  // ---- The main frame's tool windows ----
  // A slot holds the open window (null when closed); a window that is an
  // IViewToolDialog takes the view's mouse while it is open. Opening one
  // cancels the drawing tool's gesture.
  CWnd* GetToolWindow(ToolSlot slot) const;
  void SetToolWindow(ToolSlot slot, CWnd* window);

  // ---- The mouse tools (TabViewTools.cpp) ----
  // The drawing tool behind a tool number of the control pane; the view
  // starts with the pencil, line, rectangles, ellipses, fill and eraser. A
  // null tool takes the number away.
  void SetDrawingTool(int number, std::unique_ptr<IViewMouseTool> tool);
  IViewMouseTool* GetDrawingTool(int number) const;
  // Where the mouse goes now: the open tool window (null when it takes no
  // mouse), else the drawing tool of the pane's number (the pencil without
  // a pane). A drawing tool that stops being the active one is cancelled.
  IViewMouseTool* GetActiveTool();
  // The pointer event of a mouse message at a client point.
  CViewPointer MakePointer(POINT point, UINT keys, CViewPointer::Button button);

  // ---- The design view's services (GetTabView, GetColorSet, GetPattern and
  // GetBackgroundColor also as ITabView, view/FramePorts.h) ----
  CImageView* GetOriginalView() { return m_originalView; }
  bool HasPatternView() { return m_patternView != nullptr; }
  CPatternImageView* GetPatternView() { return m_patternView; }
  void ClearBeadList() { m_beadList.clear(); }
  int AddToBeadList(int index);
  int GetBeadListCount() { return static_cast<int>(m_beadList.size()); }
  void DrawBead(const CBead& bead, CDC* dc, RECT* outRect);
  void DrawBeads(const std::vector<int>& indexes);
  CTabView* GetTabView() override { return this; }
  CColorSet* GetColorSet() override { return &m_palette; }
  CPattern* GetPattern() override { return &m_design; }
  void OnEditColorGroupClosed() { SetToolWindow(kToolColorGroup, nullptr); }
  bool RenderPatternImage(CDC* dc, CImage** out);
  bool RenderPatternScaled(SIZE size, int factor, CBitmap* out, COLORREF background);
  void GetPaletteFilePath(CString& out) { out = m_palettePath; }
  void SetPaletteModified() { m_palette.SetModified(true); }
  void SetFitToWindow() { SetZoomMode(1); }
  int CountUsedColors();
  void OnTextDialogClosed() { SetToolWindow(kToolText, nullptr); }
  COLORREF GetBackgroundColor() override { return GetViewBackground(); }
  int OnPatternChanged(bool keepZoom);
  bool BeadFromPoint(int x, int y, int& column, int& row, int& colorIndex, bool insideOnly, bool* present);
  int PointToBead(POINT point, bool topDown, BYTE* present, bool spacerTolerance);
  void DrawXorLine(POINT from, POINT to);
  void DrawXorRect(POINT from, POINT to);
  void DrawXorEllipse(POINT from, POINT to);
  void DrawXorCellRect(const RECT& cells);

  // ---- The view ----
  void OnDraw(CDC* dc) override;
  void OnInitialUpdate() override;

  // Rendering and zoom.
  bool RenderPatternView(CDC* dc = nullptr, bool fit = false);
  void RefreshPatternView();
  void SetZoomMode(int mode);
  void ApplyZoomMode(bool invalidate);
  int GetZoomMode() const { return m_zoomMode; }
  int GetAutoZoom(CImage* image);
  bool RedrawBeads(const std::vector<int>& indexes) { return RedrawBeads(indexes.data(), indexes.size()); }
  bool RedrawBeads(const int* indexes, size_t count);
  bool RedrawRemovedBeads(const std::vector<int>& indexes);
  bool HitTest(POINT point, CBeadHit& hit);
  // The client rectangle fitted to the design's proportions.
  RECT GetFittedClientRect();

  // Edit history (the design's CEditHistory; Undo and Redo repaint).
  CEditHistory& GetHistory() { return m_history; }
  // Records the beads that differ from a copy taken before an edit as one
  // step.
  void RecordChanges(const CPattern& copy) { m_history.RecordChanges(copy, m_design); }
  void Undo();
  void Redo();
  bool CanUndo() const { return m_history.CanUndo(); }
  bool CanRedo() const { return m_history.CanRedo(); }
  void ClearEditHistory() { m_history.Clear(); }
  const std::vector<CEditStep>& GetEditHistory() const { return m_history.GetSteps(); }

  // Dialog hand-over.
  void OnMirror();
  LRESULT OnMirrorChanged(WPARAM horizontal, LPARAM vertical);
  void OpenEditColorGroup();
  bool IsToolDialogOpen(CCmdUI* cmdUI = nullptr) const;

  // The edits of the drawing tools, each one step of the history (each
  // answers whether the design changed). The figures go from one bead to
  // another (storage indices).
  bool PaintBead(int index, int color);
  bool ToggleBead(int index);
  bool DrawLineOfBeads(int from, int to, int color);
  bool DrawRectangleOfBeads(int from, int to, int color, bool filled);
  bool DrawEllipseOfBeads(int from, int to, int color, bool filled);
  bool FillArea(int index, int color);
  bool PutBeadRun(int startColumn, int storageRow, int count, int color, CEditStep& edits);
  void DrawBeadLine(POINT p, POINT q, int color, CEditStep& edits);
  void MarkBeads(int column, int row);
  void ToggleMarkOne(int index);
  void MarkBeadsOfColor(int index);
  void MarkConnectedBeads(int index);
  void OnBeadsEdited();

  // The control pane's answers (the main frame's pane, or one given).
  void SetToolSource(IViewToolSource* source) { m_toolSource = source; }
  IViewToolSource* GetToolSource();

  // Design, palette and pictures.
  void SetColorSet(const CColorSet& colorSet, const CString& path);
  bool BuildDesign(const CPatternParams& params);
  void ApplyPaletteChange();
  // Takes the original picture (owned; null drops it) and its path. A
  // dropped picture closes the overlay and the pane's controls follow.
  void SetOriginalView(CImageView* view, const CString& path);
  const CString& GetOriginalPath() const { return m_originalPath; }

  // ---- The new-design wizard's picture (TabViewWizard.cpp) ----
  // Takes a picture already decoded from `path` as the original picture and
  // leaves the view as LoadOriginalImage would: the picture fitted to the
  // window, the path kept, the pane's controls updated. False (nothing
  // changed) for an empty picture.
  bool TakeOriginalImage(std::unique_ptr<CImage> picture, const CString& path);
  // Drops the rendered picture (after the design was replaced).
  void DropPatternView();

  // Status bar.
  void GetStatusPaneText(int pane, CString& text);
  void ShowStatusAlert(UINT id, int kind);
  void ShowStatusAlertText(const CString& text, int kind);

  // Rulers (created by the main frame as children of its splitter).
  CRulerBar& GetHorizontalRuler() { return m_hRuler; }
  CRulerBar& GetVerticalRuler() { return m_vRuler; }
  CRulerBar& GetHorzRuler() { return m_hRuler; }
  CRulerBar& GetVertRuler() { return m_vRuler; }

  // Inverted drawing on a device context.
  static void DrawXorLineOnDC(CDC* dc, POINT from, POINT to);
  static void DrawXorRectOnDC(CDC* dc, POINT p, POINT q);

  // The hint lines of the empty view.
  void DrawHintLines(CDC* dc, UINT first, UINT second);
  const RECT& GetHintRect(int line) const { return line == 0 ? m_hintRect[0] : m_hintRect[1]; }
  bool IsOverHint(int line) const { return m_hintHot[line == 0 ? 0 : 1] != 0; }

  // The pending pop-up's cell.
  POINT GetPopupCell() const { return m_popupCell; }

 protected:
  afx_msg void OnSize(UINT type, int cx, int cy);
  afx_msg void OnHScroll(UINT code, UINT pos, CScrollBar* bar);
  afx_msg void OnVScroll(UINT code, UINT pos, CScrollBar* bar);
  afx_msg BOOL OnEraseBkgnd(CDC* dc);
  afx_msg BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
  afx_msg void OnMouseMove(UINT flags, CPoint point);
  // The status bar's text for the bead under the pointer (empty off the
  // beads). A press or release that changes that bead shows it at once, not
  // at the next move (BeadStateAt: its colour index, -2 without a bead, -1
  // off the beads); one that changes nothing leaves what the tool said.
  CString BeadInfoText(const CViewPointer& pointer);
  int BeadStateAt(const CViewPointer& pointer);
  afx_msg void OnLButtonDown(UINT flags, CPoint point);
  afx_msg void OnLButtonUp(UINT flags, CPoint point);
  afx_msg void OnRButtonDown(UINT flags, CPoint point);
  afx_msg void OnRemoveBead();
  afx_msg void OnInsertBead();
  afx_msg LRESULT OnMsgPatternChanged(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnPopupVisibleBead(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnPopupInvisibleBead(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnMirrorChangedMessage(WPARAM wParam, LPARAM lParam);
  DECLARE_MESSAGE_MAP()

 private:
  void TakeOverDesign(CDesignForView& read, const CString& path);
  bool BuildPatternView(CDC* dc, bool fit);
  void PaintHintText(CDC* dc, const CString* lines, int count);
  void AfterHistoryMove();
  void FinishFigure(CEditStep& edits);
  void TrackBeadPopup(UINT menuId);
  void SetBeadPresent(bool present);
  void InvalidateCells(const RECT& cells);
  bool IsPartialDialogOpen() const { return m_toolWindows[kToolPartial] != nullptr; }

  CRulerBar m_hRuler;
  CRulerBar m_vRuler;
  CImageView* m_originalView = nullptr;
  CPatternImageView* m_patternView = nullptr;
  CPattern m_design;
  CColorSet m_palette;
  std::vector<int> m_beadList;
  CString m_palettePath;
  CString m_originalPath;
  POINT m_popupPoint{0, 0};
  POINT m_popupCell{0, 0};
  RECT m_hintRect[2] = {{0, 0, 0, 0}, {0, 0, 0, 0}};
  BYTE m_hintHot[2] = {0, 0};
  HCURSOR m_hintCursor = nullptr;
  int m_zoomMode = 1;
  int m_rememberedZoom = 100;
  bool m_mirrorHorizontal = false;
  bool m_mirrorVertical = false;
  CEditHistory m_history;
  RECT m_zoomDrawnRect{0, 0, 0, 0};
  IViewToolSource* m_toolSource = nullptr;
  CTabViewImageOwner m_imageOwner{this};
  CWnd* m_toolWindows[kToolSlotCount] = {};
  // The mouse side of each open window (null for a window without one).
  IViewToolDialog* m_windowTools[kToolSlotCount] = {};
  std::map<int, std::unique_ptr<IViewMouseTool>> m_drawingTools;
  // The drawing tool that had the last event (cancelled when another takes
  // over).
  IViewMouseTool* m_lastDrawingTool = nullptr;
  CString m_lastOpenRequest;
  IProgressHost* m_progressHost = nullptr;
};
