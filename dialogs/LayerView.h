// CLayerView: the translucent original picture laid over the design view
// (the control pane's "Show" of the original picture). On Linux it is a
// child window of the view with one constant alpha, not a top-level popup
// (a popup cannot be placed over a window everywhere, e.g. under Wayland).
// It covers the visible part of the drawn design picture (view client
// coordinates), scales the picture to the design's drawn width, follows the
// view's scrolling, and hands every mouse event to the view, so the user
// keeps editing the design through it.
#pragma once

#include <memory>

#include "platform/wnd.h"
#include "view/ToolDialogs.h"

class CImage;
class CTabView;

class CLayerView : public CDialog, public ILayerOverlay {
 public:
  // The picture is copied from the bitmap (null: loaded from the path set
  // before the window is made); the alpha is applied when the window opens.
  CLayerView(HBITMAP bitmap, BYTE alpha, CTabView* view, CWnd* parent);
  ~CLayerView() override;

  // The view's overlay factory: makes and shows the layer over the view;
  // null on failure.
  static ILayerOverlay* CreateOverlay(HBITMAP bitmap, BYTE alpha, CWnd* pane, CTabView* view);

  // ILayerOverlay.
  void SetAlpha(BYTE alpha) override;
  void ResetPlacement() override { m_placed = CRect(0, 0, 0, 0); }
  void FitToViewImage() override;
  void Close() override;

  void SetPicturePath(const CString& path) { m_path = path; }
  BYTE GetAlpha() const { return static_cast<BYTE>(m_alpha); }
  const CRect& GetPlacedRect() const { return m_placed; }
  const CImage* GetPicture() const { return m_picture.get(); }
  // The layer's rectangle for a view client area and a drawn picture
  // rectangle (both in view client coordinates).
  static CRect ComputePlacement(const CRect& client, const CRect& drawn);

  BOOL OnInitDialog() override;
  void OnOK() override {}
  void OnCancel() override {}

  afx_msg void OnPaint();
  afx_msg BOOL OnEraseBkgnd(CDC* dc);
  afx_msg void OnMouseMove(UINT flags, CPoint point);
  afx_msg void OnLButtonDown(UINT flags, CPoint point);
  afx_msg void OnLButtonUp(UINT flags, CPoint point);
  afx_msg void OnRButtonDown(UINT flags, CPoint point);
  afx_msg void OnLButtonDblClk(UINT flags, CPoint point);
  afx_msg void OnRButtonUp(UINT flags, CPoint point);
  afx_msg void OnRButtonDblClk(UINT flags, CPoint point);

 protected:
  DECLARE_MESSAGE_MAP()

 private:
  void PassToView(UINT message, UINT flags, CPoint point);

  int m_alpha = 0;
  CString m_path;
  HBITMAP m_bitmap;
  BYTE m_startAlpha;
  std::unique_ptr<CImage> m_picture;
  CTabView* m_view;
  CRect m_placed{0, 0, 0, 0};
};
