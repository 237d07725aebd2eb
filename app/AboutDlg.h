// CAboutDlg: the about box (template 100, modal) and the start-up splash
// (template 99, modeless, fading). Both paint the program's picture, the
// title block, the feature links and the version line; the links open web
// pages.
#pragma once

#include <vector>

#include "platform/wnd.h"

class COlePictureHolder;
class CImage;

class CAboutDlg : public CDialog {
 public:
  static constexpr UINT kFadeTimer = 7;
  static constexpr UINT kFadePeriod = 100;
  static constexpr int kLastTick = 40;

  CAboutDlg(bool splash, CWnd* parent);
  ~CAboutDlg() override;

  // Creates, shows and paints the splash over the main frame; it deletes
  // itself when it closes. Null when it could not be created.
  static CAboutDlg* ShowSplash(CWnd* frame);
  // The splash's alpha after a tick (the tick counter already advanced);
  // `close` is set when the splash closes on this tick.
  static BYTE NextAlpha(BYTE alpha, int tick, bool& close);

  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;
  void PaintContent(CDC* dc);

  bool IsSplash() const { return m_splash; }
  BYTE GetAlpha() const { return m_alpha; }
  int GetTicks() const { return m_ticks; }
  // The live splash, if any (tests).
  static CAboutDlg* GetLiveSplash();

 protected:
  void PostNcDestroy() override;
  afx_msg void OnPaint();
  afx_msg BOOL OnEraseBkgnd(CDC*) { return TRUE; }
  afx_msg void OnTimer(UINT_PTR nIDEvent);
  afx_msg void OnMouseMove(UINT nFlags, CPoint point);
  afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
  afx_msg void OnRButtonDown(UINT nFlags, CPoint point);
  afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
  DECLARE_MESSAGE_MAP()

 private:
  struct Link {
    CString text;
    CString address;
    CRect rect;
  };
  void CloseSplash();
  bool Click(CPoint point);
  void BuildCachedPicture();
  CString SiteAddress() const;

  bool m_splash;
  std::vector<Link> m_features;
  int m_hoverFeature = -1;
  std::vector<CRect> m_titleRects;
  bool m_titleHover = false;
  bool m_versionHover = false;
  CRect m_versionRect;
  CImage* m_picture = nullptr;
  CSize m_pictureSize;
  BYTE m_alpha = 255;
  int m_ticks = 0;
  UINT_PTR m_timer = 0;
  HCURSOR m_hand = nullptr;
  HICON m_icon = nullptr;
  bool m_closing = false;
};
