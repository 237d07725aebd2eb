// CCurrentPatternViewDlg: View > Separate Pattern Preview. A resizable
// top-level window with a picture of the design as it was when the window
// opened (copies of the design and palette), with its own zoom: picked
// from a box or typed (3 to 10000 per cent) and confirmed with Enter. Each
// use of the command opens a further window; each frees itself when closed
// (close box or Escape).
#pragma once

#include <memory>
#include <vector>

#include "controls/Lists.h"
#include "design/Pattern.h"
#include "image/ImageView.h"
#include "palette/ColorSet.h"
#include "platform/wnd.h"

class CTabView;

class CCurrentPatternViewDlg : public CDialog {
 public:
  // Copies of the design and palette; price in cents (-1: none); the small
  // icon (may be null) becomes the window's.
  CCurrentPatternViewDlg(const CPattern& design, const CColorSet& palette, int priceCents, CWnd* parent, HICON icon);
  ~CCurrentPatternViewDlg() override;

  // The View command: a new window over the view's design, without a
  // parent window (it stays open on its own); null when it could not be
  // made.
  static CCurrentPatternViewDlg* Open(CTabView* view);
  // The windows open now, and closing them all (the main window does when
  // it closes).
  static const std::vector<CCurrentPatternViewDlg*>& GetOpenWindows();
  static void CloseAll();

  // The leading digits of a typed zoom (0 when it starts with another
  // character); a number too large for an int counts as out of range (-1).
  static int ParseTypedZoom(const CString& text);

  BOOL OnInitDialog() override;
  BOOL PreTranslateMessage(MSG* msg) override;
  void OnOK() override {}
  void OnCancel() override;

  // Applies the text of the zoom box as Enter does.
  void ApplyTypedZoom();
  CImageView* GetPicture() const { return m_picture; }
  CComboBox& GetZoomBox() { return m_zoom; }
  int GetZoom() const { return m_picture ? m_picture->GetZoom() : -1; }

  afx_msg void OnClose();
  afx_msg void OnSize(UINT type, int cx, int cy);
  afx_msg void OnZoomSelect();
  afx_msg LRESULT OnShowScale(WPARAM, LPARAM);

 protected:
  void PostNcDestroy() override;
  DECLARE_MESSAGE_MAP()

 private:
  void Layout();
  bool CreateTopLevel();

  CComboBox m_zoom;
  CDlgImageScrollView* m_scroll = nullptr;
  std::unique_ptr<CScrollViewImageOwner> m_owner;
  CImageView* m_picture = nullptr;
  int m_price;
  HICON m_icon;
  COLORREF m_background = 0xFFFFFF;
  CPattern m_design;
  CColorSet m_palette;
  // The design view the View command opened the window over (null when made
  // otherwise): its background, its place and its progress host.
  CTabView* m_view = nullptr;
};
