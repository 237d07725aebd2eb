// CCtrlPane: the right pane of the main window, a form from template 101:
// the original-picture overlay with its opacity, the drawing-tool buttons,
// the right-click options and the design's colour list with its use. It
// owns no design data: it always works on the main frame's design view.
#pragma once

#include "controls/Buttons.h"
#include "controls/ColorListCtrl.h"
#include "controls/Edits.h"
#include "platform/gdi.h"
#include "platform/wnd.h"
#include "view/ToolDialogs.h"

class CTabView;

// Where the pane's controls go for a client size (pixels). The "Right
// click" label is 39 pixels high, or as high as its text needs when that is
// more; everything below it moves down by the difference.
struct CCtrlPaneLayout {
  bool originalShown = false;  // the "Original image" group and slider
  RECT originalGroup{0, 0, 0, 0};
  RECT slider{0, 0, 0, 0};
  bool paletteShown = false;  // everything below
  RECT paletteGroup{0, 0, 0, 0};
  RECT tools[8] = {};  // pencil, line, rectangle, filled rectangle, ellipse, filled ellipse, fill, erase
  RECT label{0, 0, 0, 0};
  RECT combo{0, 0, 0, 0};  // height: the dropped list
  RECT showColor{0, 0, 0, 0};
  RECT list{0, 0, 0, 0};
  RECT omitUnused{0, 0, 0, 0};
  RECT columns{0, 0, 0, 0};
  RECT clearMarked{0, 0, 0, 0};
};
CCtrlPaneLayout LayoutCtrlPane(int cx, int cy, bool russian, bool compact, int labelHeight = 39);

// The overlay's alpha for a slider position 0 .. 31: position 0 gives 248,
// 15 gives 128, 31 gives 0 (invisible).
BYTE OverlayAlpha(int position);

class CCtrlPane : public CFormView, public IViewToolSource {
  DECLARE_DYNCREATE(CCtrlPane)

 public:
  // The width the splitter gives the pane before the form is laid out.
  static constexpr int kIdealWidth = 280;

  CCtrlPane();
  ~CCtrlPane() override;

  // ---- IViewToolSource ----
  int GetCurrentTool() override { return m_tool; }
  int GetPenColor() override;
  void SelectColor(const CRgbTriple& color) override;
  void RefreshColorList() override;
  void HideOriginalOverlay() override;
  void UpdateOriginalControls() override;
  HWND GetPaneWindow() override { return GetSafeHwnd(); }

  void FillColorList();
  CTabView* GetDesignView();
  void RepaintDesign();
  // The form's total width plus 98 and its total height ("Resize right
  // window to ideal width").
  void GetIdealSize(CSize& size) const;
  // Hands the colour list's column widths to its stored layout.
  void StoreColumnWidths();
  void SelectTool(int tool);
  CColorListCtrl& GetColorList() { return m_colorList; }
  CToolbarButton& GetToolButton(int tool);
  bool IsOverlayShown() const { return m_overlayShown; }
  ILayerOverlay* GetOverlay() const { return m_overlay; }
  int GetPendingTimer() const { return static_cast<int>(m_timer); }
  // For the design view when the pane is not the main frame's (tests).
  void SetDesignView(CTabView* view) { m_view = view; }

  void OnInitialUpdate() override;
  void DoDataExchange(CDataExchange* dx) override;
  BOOL PreTranslateMessage(MSG* msg) override;

 protected:
  afx_msg void OnSize(UINT type, int cx, int cy);
  afx_msg void OnTimer(UINT_PTR id);
  afx_msg void OnHScroll(UINT code, UINT pos, CScrollBar* bar);
  afx_msg void OnToolButton(UINT id);
  afx_msg void OnShowOriginal();
  afx_msg void OnOmitUnused();
  afx_msg void OnColumns();
  afx_msg void OnRightActionChange();
  afx_msg void OnShowColor();
  afx_msg void OnClearMarked();
  afx_msg LRESULT OnViewSizeChanged(WPARAM, LPARAM);
  afx_msg void OnDestroy();
  afx_msg LRESULT OnFitPanes(WPARAM, LPARAM);
  DECLARE_MESSAGE_MAP()

 private:
  void Layout(int cx, int cy);
  // The height the "Right click" text needs at the label's width.
  int MeasureLabel(int width);
  void ApplyAlpha();
  void CloseOverlay();

  CButton m_clearMarked;
  CButton m_showColor;
  CComboBox m_rightAction;
  CButton m_columns;
  CButton m_omitUnused;
  CColorStatic m_rightClickLabel;
  CToolbarButton m_tools[8];
  CColorListCtrl m_colorList;
  CSliderCtrl m_opacity;
  CSSGroupBox m_originalGroup;
  CSSGroupBox m_paletteGroup;
  CButton m_showOriginal;
  ILayerOverlay* m_overlay = nullptr;
  bool m_overlayShown = false;
  CToolTipCtrl m_tooltip;
  int m_tool = 0;
  CFont m_buttonFont;
  CFont m_smallFont;
  UINT_PTR m_timer = 0;
  CTabView* m_view = nullptr;
  bool m_laidOut = false;
  bool m_fitted = false;
};
