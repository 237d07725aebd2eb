// A small program for the bars, tabs, tooltips, owner-drawn menus, property
// sheets and common dialogs: a frame with a toolbar and a status bar over a
// resource pack compiled from tests/platform/wnd_bars_data.
#pragma once

#include <gtest/gtest.h>

#include <QImage>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/base/codepage.h"
#include "platform/base/msgbox.h"
#include "platform/wnd.h"
#include "platform/wnd/host.h"
#include "tests/platform/wnd_data/ids/wndtest.h"
#include "tests/platform/wnd_test_program.h"
#include "tests/platform/wnd_bars_data/ids/bars.h"

namespace barstest {

// The test pack of a language, compiled once per run (null on failure).
HINSTANCE Pack(bool russian);
// The interface of a language: its code page and its pack.
void UseLanguage(bool russian);
// Where a picture of the gallery goes: build/shots/platform/<en|ru>/name in the source tree.
std::filesystem::path ShotPath(bool russian, const std::string& name);
// The window's picture (with its caption and frame when it has them).
QImage Picture(HWND hwnd);
// A window's rectangle in another window's client coordinates.
CRect RectIn(HWND child, HWND parent);
// The colour of a pixel as a COLORREF.
COLORREF Pixel(const QImage& image, int x, int y);

// What the program's handlers did, in order.
std::vector<std::string>& Log();

class CBarsFrame : public CFrameWnd {
  DECLARE_DYNCREATE(CBarsFrame)
 public:
  CToolBar m_toolbar;
  CStatusBar m_status;
  BOOL m_saveEnabled = FALSE;
  BOOL m_gridChecked = TRUE;
  BOOL m_paletteEnabled = TRUE;
  CString m_designText = "Design: 12 x 8";
  std::vector<NMTOOLBAR> m_dropDowns;

 protected:
  afx_msg int OnCreate(LPCREATESTRUCT lpcs);
  afx_msg void OnOpen() { Log().push_back("open"); }
  afx_msg void OnSave() { Log().push_back("save"); }
  afx_msg void OnEffect() { Log().push_back("effect"); }
  afx_msg void OnGrid() { Log().push_back("grid"); }
  afx_msg void OnZoom() { Log().push_back("zoom"); }
  afx_msg void OnUpdateSave(CCmdUI* pCmdUI) { pCmdUI->Enable(m_saveEnabled); }
  afx_msg void OnUpdateGrid(CCmdUI* pCmdUI) { pCmdUI->SetCheck(m_gridChecked ? 1 : 0); }
  afx_msg void OnUpdateDesignPane(CCmdUI* pCmdUI) { pCmdUI->SetText(m_designText); }
  afx_msg void OnUpdatePalettePane(CCmdUI* pCmdUI) { pCmdUI->Enable(m_paletteEnabled); }
  afx_msg void OnDropDown(NMHDR* pNMHDR, LRESULT* pResult);
  DECLARE_MESSAGE_MAP()
};

class CBarsApp : public CWinApp {
 public:
  CBarsApp() : CWinApp("Bars Test") {}
  BOOL InitInstance() override;
  CBarsFrame* Frame() const { return static_cast<CBarsFrame*>(m_pMainWnd); }
};

// Each test runs the program in English unless it says otherwise.
class BarsTest : public wndprogram::ProgramTest<CBarsApp, Pack> {
  friend void UseLanguage(bool russian);

 protected:
  void SetUp() override;
};

}  // namespace barstest
