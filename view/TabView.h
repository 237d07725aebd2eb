// CTabView: the design view of the main window's left splitter pane. It owns
// the current design, its palette and PDF settings, the two ruler bars and
// the slots of the modeless tool windows, and serves the rest of the program
// through ITabView.
//
// This is the view of the application shell's first version: it holds an
// empty design, paints the background colour of the settings, answers the
// status texts, and every operation that the commands reach says that it is
// not available yet. The design view proper replaces it, keeping every
// member the shell calls.
#pragma once

#include "core/ViewServices.h"
#include "design/Pattern.h"
#include "palette/ColorSet.h"
#include "platform/wnd.h"
#include "view/RulerBar.h"

class CCmdUI;

class CTabView : public CView, public ITabView {
  DECLARE_DYNCREATE(CTabView)
 public:
  // The modeless tool windows, at most one of each.
  enum ToolSlot { kToolPartial, kToolColorGroup, kToolText, kToolRowsColumns, kToolInteresting, kToolSeparated,
                  kToolSlotCount };

  CTabView();
  ~CTabView() override;

  void OnDraw(CDC* pDC) override;

  // ---- What the main frame calls ----
  // Opens a design file; false (after its own message) when nothing was
  // opened.
  bool OpenDesignFile(const char* path);
  // Zoom mode 1 = fit to window.
  void ApplyZoomMode(int mode);
  void OnFileOpen();
  void OnFileImport();
  // The saves answer whether the design was saved.
  bool OnFileSave();
  bool OnFileSaveAs();
  void ExportBeadedImage();
  bool CopyPatternToClipboard();
  void OpenEditColorGroup();
  void OnMirror();
  void Undo();
  void Redo();
  bool CanUndo() const;
  bool CanRedo() const;
  void ClearEditHistory();
  void RecordChanges(const CPattern& before);
  // True when a tool window is open; then disables the command-UI object.
  bool IsToolDialogOpen(CCmdUI* pCmdUI = nullptr);
  CWnd* GetToolWindow(ToolSlot slot) const { return m_tools[slot]; }
  void SetToolWindow(ToolSlot slot, CWnd* window) { m_tools[slot] = window; }
  // One line of status text: 0 the original picture, 1 the design, 2 the
  // palette.
  void GetStatusPaneText(int index, CString& text);
  CPdfData& GetPdfData() { return m_pattern.m_pdfData; }
  CRulerBar& GetHorzRuler() { return m_hRuler; }
  CRulerBar& GetVertRuler() { return m_vRuler; }

  // The rendered design's zoom in per cent, -1 without a rendered design;
  // the zoom box sets it, or fits the design to the window.
  int GetPatternZoom() const { return -1; }
  void SetPatternZoom(int) {}
  bool IsPatternFitToWindow() const { return false; }
  void FitPatternToWindow() {}

  // The path the last OpenDesignFile was given.
  const CString& GetLastOpenRequest() const { return m_lastOpenRequest; }

  // ---- ITabView ----
  CImageView* GetOriginalView() override { return nullptr; }
  bool HasPatternView() override { return false; }
  CPatternImageView* GetPatternView() override { return nullptr; }
  void ClearBeadList() override { m_beadList.clear(); }
  int AddToBeadList(int index) override;
  int GetBeadListCount() override { return static_cast<int>(m_beadList.size()); }
  void DrawBead(const CBead&, CDC*, RECT* outRect) override;
  void DrawBeads(const std::vector<int>&) override {}
  CTabView* GetTabView() override { return this; }
  CColorSet* GetColorSet() override { return &m_palette; }
  CPattern* GetPattern() override { return &m_pattern; }
  void OnEditColorGroupClosed() override { m_tools[kToolColorGroup] = nullptr; }
  bool RenderPatternImage(CDC*, CImage** out) override;
  bool RenderPatternScaled(SIZE, int, CBitmap*, COLORREF) override { return false; }
  const RECT& GetFitMargins(const RECT& rect) override;
  void GetPaletteFilePath(CString& out) override { m_palette.GetFilePath(out); }
  void SetPaletteModified() override {}
  void SetFitToWindow() override {}
  int CountUsedColors() override;
  void OnTextDialogClosed() override { m_tools[kToolText] = nullptr; }
  COLORREF GetBackgroundColor() override;
  int OnPatternChanged(bool keepZoom) override;
  bool BeadFromPoint(int, int, int&, int&, int&, bool, bool*) override { return false; }
  int PointToBead(POINT, bool, BYTE*, bool) override { return -1; }
  void DrawXorLine(POINT, POINT) override {}
  void DrawXorRect(POINT, POINT) override {}
  void DrawXorEllipse(POINT, POINT) override {}
  void DrawXorCellRect(const RECT&) override {}

 protected:
  afx_msg BOOL OnEraseBkgnd(CDC* pDC);
  DECLARE_MESSAGE_MAP()

 private:
  CPattern m_pattern;
  CColorSet m_palette;
  CRulerBar m_hRuler{true};
  CRulerBar m_vRuler{false};
  CWnd* m_tools[kToolSlotCount] = {};
  std::vector<int> m_beadList;
  RECT m_fitMargins{0, 0, 0, 0};
  CString m_lastOpenRequest;
};
