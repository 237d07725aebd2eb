// CPreViewPaletteFileDlg: the open dialog of palette files. Its panel lists
// the colours of the palette under the cursor with the palette's version
// and colour count, and "Find better palette for current original" proposes
// the palette file of the folder shown that reproduces a picture best.
#pragma once

#include <memory>
#include <vector>

#include "palette/ColorSet.h"
#include "view/ListPal.h"
#include "view/PreViewFileDlg.h"

class IProgressHost;

class CPreViewPaletteFileDlg : public CPreViewFileDlg {
 public:
  CPreViewPaletteFileDlg(BOOL open, LPCTSTR defExt, LPCTSTR fileName, DWORD flags, LPCTSTR filter, CWnd* parent,
                         UINT iconId);

  // The picture the search compares with, loaded from a file (none when it
  // cannot be loaded) or copied; called before the dialog is shown.
  bool LoadOriginalImage(const CString& path);
  void SetOriginalImage(const CImage* picture);
  bool HasSearchImage() const { return m_picture != nullptr; }
  // Where the search shows its progress (null: nowhere).
  void SetProgressHost(IProgressHost* host) { m_progressHost = host; }

  // The search over the folder shown (the button's action): proposes the
  // best file in the name field and tells it. The file count and the
  // proposed name are kept for callers that check.
  void FindBetterPalette();
  int GetLastFileCount() const { return m_lastFileCount; }
  const CString& GetLastProposal() const { return m_lastProposal; }

  CColorSet m_palette;
  CListPal m_list;
  CPreviewArea m_frame;
  bool m_paletteShown = false;

 protected:
  BOOL OnInitDialog() override;
  void OnFileNameChange() override;
  afx_msg void OnFindBetter();
  DECLARE_MESSAGE_MAP()

 private:
  void ShowPalette(bool shown);

  std::unique_ptr<CImage> m_picture;
  int m_lastFileCount = 0;
  IProgressHost* m_progressHost = nullptr;
  CString m_lastProposal;
};
