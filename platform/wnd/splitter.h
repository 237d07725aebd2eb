// The splitter window: panes in rows and columns separated by bars that the
// user can drag. Static splitters (CreateStatic) have a fixed number of
// panes; other children of the splitter (rulers beside a view) are left
// where a RecalcLayout override puts them.
#pragma once

#include <vector>

#include "platform/base/geometry.h"
#include "platform/wnd/docview.h"

class CSplitterWnd : public CWnd {
  DECLARE_DYNAMIC(CSplitterWnd)
 public:
  enum ESplitType { splitBox, splitBar, splitIntersection, splitBorder };
  enum HitTestValue {
    noHit = 0,
    vSplitterBox = 1,
    hSplitterBox = 2,
    bothSplitterBox = 3,
    vSplitterBar1 = 101,
    hSplitterBar1 = 201,
  };

  CSplitterWnd();
  ~CSplitterWnd() override;

  BOOL CreateStatic(CWnd* pParentWnd, int nRows, int nCols, DWORD dwStyle = WS_CHILD | WS_VISIBLE,
                    UINT nID = AFX_IDW_PANE_FIRST);
  // Creates the pane's view (a CWnd class created dynamically) with the
  // pane's id; sizeInit becomes the pane's ideal size.
  virtual BOOL CreateView(int row, int col, CRuntimeClass* pViewClass, SIZE sizeInit, CCreateContext* pContext);

  int GetRowCount() const { return m_nRows; }
  int GetColumnCount() const { return m_nCols; }
  void GetRowInfo(int row, int& cyCur, int& cyMin) const;
  void SetRowInfo(int row, int cyIdeal, int cyMin);
  void GetColumnInfo(int col, int& cxCur, int& cxMin) const;
  void SetColumnInfo(int col, int cxIdeal, int cxMin);
  CWnd* GetPane(int row, int col) const;
  BOOL IsChildPane(CWnd* pWnd, int* pRow, int* pCol);
  int IdFromRowCol(int row, int col) const { return static_cast<int>(AFX_IDW_PANE_FIRST) + row * 16 + col; }
  CWnd* GetActivePane(int* pRow = nullptr, int* pCol = nullptr);

  // Places the panes from their sizes (the last row and column take the
  // rest) and repaints the borders and bars.
  virtual void RecalcLayout();

  // Dragging a bar.
  virtual int HitTest(CPoint pt) const;
  virtual void StartTracking(int ht);
  virtual void StopTracking(BOOL bAccept);
  virtual void TrackRowSize(int y, int row);
  virtual void TrackColumnSize(int x, int col);
  virtual void OnInvertTracker(const CRect& rect);
  virtual void OnDrawSplitter(CDC* pDC, ESplitType nType, const CRect& rect);

  // Sizes in pixels: the bar between two panes' borders, and each pane's
  // sunken border.
  int m_cxSplitterGap = 7;
  int m_cySplitterGap = 7;
  int m_cxBorder = 2;
  int m_cyBorder = 2;

 protected:
  struct CRowColInfo {
    int nMinSize = 0;
    int nIdealSize = 0;
    int nCurSize = 0;
  };
  std::vector<CRowColInfo> m_pColInfo;
  std::vector<CRowColInfo> m_pRowInfo;
  int m_nRows = 0;
  int m_nCols = 0;
  BOOL m_bTracking = FALSE;
  int m_htTrack = noHit;
  CRect m_rectTracker;
  CRect m_rectLimit;
  CPoint m_ptTrackOffset;
  void* m_pTrackerWidget = nullptr;  // the tracker shown over the panes

  CRect PaneRect(int row, int col) const;
  CRect BarRect(int ht) const;

  afx_msg void OnSize(UINT nType, int cx, int cy);
  afx_msg void OnPaint();
  afx_msg BOOL OnEraseBkgnd(CDC* pDC);
  afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
  afx_msg void OnMouseMove(UINT nFlags, CPoint point);
  afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
  afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
  afx_msg void OnCancelMode();
  DECLARE_MESSAGE_MAP()
};
