// CDisplayOnlyColorsDialog: View > Show interesting colors. A modeless
// window listing the colours the design uses; every colour the user did not
// select is faded towards white in the view (by changing the view's palette
// colours), and the beads of the selected colours can be marked. Closing
// puts every palette colour back exactly; only the marks stay.
#pragma once

#include <vector>

#include "controls/Edits.h"
#include "palette/ColorSet.h"
#include "palette/SwatchImageList.h"
#include "platform/wnd.h"
#include "view/ToolDialogs.h"

class CTabView;

// A colour channel faded to `level` twentieths (1..20): e per cent of the
// channel and the rest white, e = level x 100 / 20.
BYTE FadeChannel(BYTE channel, int level);

class CDisplayOnlyColorsDialog : public CDialog, public IViewToolDialog {
 public:
  CDisplayOnlyColorsDialog(CTabView* view, CWnd* parent);
  ~CDisplayOnlyColorsDialog() override;

  // The View command: makes and shows the window with the frame as its
  // owner and puts it into the view's slot; null when it could not be made.
  static CDisplayOnlyColorsDialog* Open(CTabView* view, CWnd* frame);

  // The values every opening shares for the run of the program.
  static int GetFadingLevel();
  static bool GetMarkOption();
  static void ResetSharedValues();

  BOOL OnInitDialog() override;
  void OnOK() override {}
  void OnCancel() override;

  // Fades the colours not selected and marks (when asked) the selected.
  void Refresh();
  // For tests and the benchmark.
  CListCtrl& GetList() { return m_list; }
  void SetFadingLevel(int level);
  std::vector<int> GetSelectedColors() const;

  afx_msg void OnListClick(NMHDR* hdr, LRESULT* result);
  afx_msg LRESULT OnRefreshMessage(WPARAM, LPARAM);
  afx_msg void OnHScroll(UINT code, UINT pos, CScrollBar* bar);
  afx_msg void OnSave();
  afx_msg void OnMarkOption();
  afx_msg void OnDestroy();

 protected:
  void PostNcDestroy() override;
  DECLARE_MESSAGE_MAP()

 private:
  void MarkSelected(const std::vector<int>& colors);
  void ClearSlot();
  // False once the view's window is gone (the frame closing first).
  bool ViewAlive() const { return !m_viewWindow || ::IsWindow(m_viewWindow); }

  CColorStatic m_hint{RGB(0, 0, 0)};
  CListCtrl m_list;
  CSliderCtrl m_slider;
  CTabView* m_view;
  HWND m_viewWindow = nullptr;
  CPattern* m_design;
  CColorSet* m_palette;
  bool m_ready = false;
  CColorSet m_original;
  CSwatchImageList m_swatches{16, 16};
  HICON m_icon = nullptr;
  bool m_closing = false;
};
