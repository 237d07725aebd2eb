// The common dialogs: files (open and save, with an extra panel from the
// resource pack), colour, font, and the printer set-up that answers that
// there is no printer.
//
// The dialogs are Qt's own (not the desktop's), in the interface language
// with Qt's translations, inside a dialog window of this layer: the dialog
// object's window is a child panel (the template given in m_ofn, or an
// empty one), its GetParent() is the dialog, and the controls the program
// reaches have their Windows ids: the file name field 1152, the font
// dialog's colour label 1091 and colour box 1139. Tests work the dialogs
// through the functions of host.h.
#pragma once

#include "platform/base/memory.h"
#include "platform/wnd/dialog.h"

// ---------------------------------------------------------------------------
// Files.

constexpr DWORD OFN_READONLY = 0x00000001;
constexpr DWORD OFN_OVERWRITEPROMPT = 0x00000002;
constexpr DWORD OFN_HIDEREADONLY = 0x00000004;
constexpr DWORD OFN_NOCHANGEDIR = 0x00000008;
constexpr DWORD OFN_SHOWHELP = 0x00000010;
constexpr DWORD OFN_ENABLEHOOK = 0x00000020;
constexpr DWORD OFN_ENABLETEMPLATE = 0x00000040;
constexpr DWORD OFN_NOVALIDATE = 0x00000100;
constexpr DWORD OFN_ALLOWMULTISELECT = 0x00000200;
constexpr DWORD OFN_EXTENSIONDIFFERENT = 0x00000400;
constexpr DWORD OFN_PATHMUSTEXIST = 0x00000800;
constexpr DWORD OFN_FILEMUSTEXIST = 0x00001000;
constexpr DWORD OFN_CREATEPROMPT = 0x00002000;
constexpr DWORD OFN_NOREADONLYRETURN = 0x00008000;
constexpr DWORD OFN_NOTESTFILECREATE = 0x00010000;
constexpr DWORD OFN_EXPLORER = 0x00080000;
constexpr DWORD OFN_NODEREFERENCELINKS = 0x00100000;
constexpr DWORD OFN_LONGNAMES = 0x00200000;
constexpr DWORD OFN_ENABLESIZING = 0x00800000;

// Controls of the file dialog.
constexpr int QM_IDC_FILE_NAME = 1152;  // edt1: the file name field
constexpr int QM_IDC_FILE_TYPE = 1136;  // cmb1: the file types

constexpr UINT CDN_FIRST = static_cast<UINT>(-601);
constexpr UINT CDN_INITDONE = CDN_FIRST - 0;
constexpr UINT CDN_SELCHANGE = CDN_FIRST - 1;
constexpr UINT CDN_FOLDERCHANGE = CDN_FIRST - 2;
constexpr UINT CDN_FILEOK = CDN_FIRST - 5;
constexpr UINT CDN_TYPECHANGE = CDN_FIRST - 6;

constexpr UINT CDM_FIRST = WM_USER + 100;
constexpr UINT CDM_GETSPEC = CDM_FIRST + 0;
constexpr UINT CDM_GETFILEPATH = CDM_FIRST + 1;
constexpr UINT CDM_GETFOLDERPATH = CDM_FIRST + 2;
constexpr UINT CDM_SETCONTROLTEXT = CDM_FIRST + 4;
constexpr UINT CDM_HIDECONTROL = CDM_FIRST + 5;
constexpr UINT CDM_SETDEFEXT = CDM_FIRST + 6;

using LPOFNHOOKPROC = UINT_PTR (*)(HWND, UINT, WPARAM, LPARAM);

struct OPENFILENAME {
  DWORD lStructSize;
  HWND hwndOwner;
  HINSTANCE hInstance;  // of the panel template
  LPCTSTR lpstrFilter;  // pairs of NUL-terminated texts, a second NUL at the end
  LPTSTR lpstrCustomFilter;
  DWORD nMaxCustFilter;
  DWORD nFilterIndex;  // 1-based, in and out
  LPTSTR lpstrFile;
  DWORD nMaxFile;
  LPTSTR lpstrFileTitle;
  DWORD nMaxFileTitle;
  LPCTSTR lpstrInitialDir;
  LPCTSTR lpstrTitle;
  DWORD Flags;
  WORD nFileOffset;
  WORD nFileExtension;
  LPCTSTR lpstrDefExt;
  LPARAM lCustData;
  LPOFNHOOKPROC lpfnHook;
  LPCTSTR lpTemplateName;  // the panel (OFN_ENABLETEMPLATE)
};
using LPOPENFILENAME = OPENFILENAME*;

class CCommonDialog : public CDialog {
  DECLARE_DYNAMIC(CCommonDialog)
 public:
  explicit CCommonDialog(CWnd* pParentWnd) : CDialog() { m_pParentWnd = pParentWnd; }

  // While the dialog is open: its window (the object's own window is the
  // panel inside it).
  HWND m_hDialog = nullptr;

 protected:
  // The top-level window the dialog runs over (the owner given, else the
  // main window).
  HWND OwnerForModal(HWND given) const;
};

class QmFileDialogHost;

class CFileDialog : public CCommonDialog {
  DECLARE_DYNAMIC(CFileDialog)
 public:
  // lpszFilter: "Text|*.a;*.b|Text|*.c||".
  explicit CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt = nullptr, LPCTSTR lpszFileName = nullptr,
                       DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCTSTR lpszFilter = nullptr,
                       CWnd* pParentWnd = nullptr);
  ~CFileDialog() override;

  INT_PTR DoModal() override;

  // The chosen file (while the dialog is open: the file under the cursor).
  CString GetPathName() const;
  CString GetFileName() const;
  CString GetFileExt() const;
  CString GetFileTitle() const;
  // The folder the dialog shows (while open) or the chosen file's folder.
  CString GetFolderPath() const;
  BOOL GetReadOnlyPref() const { return (m_ofn.Flags & OFN_READONLY) != 0; }
  void SetControlText(int nID, LPCTSTR lpsz);
  void HideControl(int nID);
  void SetDefExt(LPCTSTR lpsz);

  OPENFILENAME m_ofn;

 protected:
  // The file under the cursor changed.
  virtual void OnFileNameChange();
  virtual void OnFolderChange();
  // The file type (m_ofn.nFilterIndex) changed.
  virtual void OnTypeChange();
  virtual void OnInitDone();
  // The user chose a file (GetPathName): TRUE keeps the dialog open.
  virtual BOOL OnFileNameOK();

  BOOL m_bOpenFileDialog;
  CString m_strFilter;
  CString m_strDefExt;
  char m_szFileName[260];
  char m_szFileTitle[64];

 private:
  friend class QmFileDialogHost;
  QmFileDialogHost* m_host = nullptr;  // while the dialog is open
};

// ---------------------------------------------------------------------------
// Colours.

constexpr DWORD CC_RGBINIT = 0x00000001;
constexpr DWORD CC_FULLOPEN = 0x00000002;
constexpr DWORD CC_PREVENTFULLOPEN = 0x00000004;
constexpr DWORD CC_SHOWHELP = 0x00000008;
constexpr DWORD CC_ENABLEHOOK = 0x00000010;
constexpr DWORD CC_SOLIDCOLOR = 0x00000080;
constexpr DWORD CC_ANYCOLOR = 0x00000100;

using LPCCHOOKPROC = UINT_PTR (*)(HWND, UINT, WPARAM, LPARAM);

struct CHOOSECOLOR {
  DWORD lStructSize;
  HWND hwndOwner;
  HWND hInstance;
  COLORREF rgbResult;
  COLORREF* lpCustColors;  // 16 colours, in and out
  DWORD Flags;
  LPARAM lCustData;
  LPCCHOOKPROC lpfnHook;
  LPCTSTR lpTemplateName;
};

class CColorDialog : public CCommonDialog {
  DECLARE_DYNAMIC(CColorDialog)
 public:
  explicit CColorDialog(COLORREF clrInit = 0, DWORD dwFlags = 0, CWnd* pParentWnd = nullptr);
  INT_PTR DoModal() override;
  COLORREF GetColor() const { return m_cc.rgbResult; }
  void SetCurrentColor(COLORREF clr);
  // The custom colours kept for the run (m_cc.lpCustColors by default).
  static COLORREF* GetSavedCustomColors();

  CHOOSECOLOR m_cc;
};

// ---------------------------------------------------------------------------
// Fonts.

constexpr DWORD CF_SCREENFONTS = 0x00000001;
constexpr DWORD CF_PRINTERFONTS = 0x00000002;
constexpr DWORD CF_BOTH = CF_SCREENFONTS | CF_PRINTERFONTS;
constexpr DWORD CF_SHOWHELP = 0x00000004;
constexpr DWORD CF_ENABLEHOOK = 0x00000008;
constexpr DWORD CF_ENABLETEMPLATE = 0x00000010;
constexpr DWORD CF_INITTOLOGFONTSTRUCT = 0x00000040;
constexpr DWORD CF_USESTYLE = 0x00000080;
constexpr DWORD CF_EFFECTS = 0x00000100;
constexpr DWORD CF_APPLY = 0x00000200;
constexpr DWORD CF_ANSIONLY = 0x00000400;
constexpr DWORD CF_SCRIPTSONLY = CF_ANSIONLY;
constexpr DWORD CF_NOVECTORFONTS = 0x00000800;
constexpr DWORD CF_NOSIMULATIONS = 0x00001000;
constexpr DWORD CF_LIMITSIZE = 0x00002000;
constexpr DWORD CF_FIXEDPITCHONLY = 0x00004000;
constexpr DWORD CF_FORCEFONTEXIST = 0x00010000;
constexpr DWORD CF_SCALABLEONLY = 0x00020000;
constexpr DWORD CF_TTONLY = 0x00040000;

// Controls of the font dialog.
constexpr int QM_IDC_FONT_COLOR_LABEL = 1091;  // stc4
constexpr int QM_IDC_FONT_COLOR = 1139;        // cmb4

using LPCFHOOKPROC = UINT_PTR (*)(HWND, UINT, WPARAM, LPARAM);

struct CHOOSEFONT {
  DWORD lStructSize;
  HWND hwndOwner;
  HDC hDC;
  LOGFONT* lpLogFont;
  INT iPointSize;  // tenths of a point
  DWORD Flags;
  COLORREF rgbColors;
  LPARAM lCustData;
  LPCFHOOKPROC lpfnHook;  // called with WM_INITDIALOG (CF_ENABLEHOOK)
  LPCTSTR lpTemplateName;
  HINSTANCE hInstance;
  LPSTR lpszStyle;
  WORD nFontType;
  INT nSizeMin;
  INT nSizeMax;
};

class CFontDialog : public CCommonDialog {
  DECLARE_DYNAMIC(CFontDialog)
 public:
  explicit CFontDialog(LPLOGFONT lplfInitial = nullptr, DWORD dwFlags = CF_EFFECTS | CF_SCREENFONTS,
                       CDC* pdcPrinter = nullptr, CWnd* pParentWnd = nullptr);
  INT_PTR DoModal() override;
  void GetCurrentFont(LPLOGFONT lplf) const { *lplf = m_lf; }
  CString GetFaceName() const { return CString(m_lf.lfFaceName); }
  int GetSize() const { return m_cf.iPointSize; }
  COLORREF GetColor() const { return m_cf.rgbColors; }
  int GetWeight() const { return m_lf.lfWeight; }
  BOOL IsStrikeOut() const { return m_lf.lfStrikeOut != 0; }
  BOOL IsUnderline() const { return m_lf.lfUnderline != 0; }
  BOOL IsBold() const { return m_lf.lfWeight >= FW_SEMIBOLD; }
  BOOL IsItalic() const { return m_lf.lfItalic != 0; }

  CHOOSEFONT m_cf;
  LOGFONT m_lf;
};

// ---------------------------------------------------------------------------
// Printing: this program prints nothing itself, and this layer knows no
// printer, so the printer defaults are never there.

constexpr DWORD PD_ALLPAGES = 0x00000000;
constexpr DWORD PD_NOSELECTION = 0x00000004;
constexpr DWORD PD_NOPAGENUMS = 0x00000008;
constexpr DWORD PD_RETURNDC = 0x00000100;
constexpr DWORD PD_RETURNDEFAULT = 0x00000400;
constexpr DWORD PD_USEDEVMODECOPIES = 0x00040000;
constexpr DWORD PD_HIDEPRINTTOFILE = 0x00100000;
constexpr DWORD PDERR_NODEFAULTPRN = 0x1008;

struct PRINTDLG {
  DWORD lStructSize;
  HWND hwndOwner;
  HGLOBAL hDevMode;
  HGLOBAL hDevNames;
  HDC hDC;
  DWORD Flags;
  WORD nFromPage;
  WORD nToPage;
  WORD nMinPage;
  WORD nMaxPage;
  WORD nCopies;
  HINSTANCE hInstance;
  LPARAM lCustData;
};

// The reason of the last common dialog failure (PDERR_NODEFAULTPRN...), 0
// for none or for a cancelled dialog.
DWORD CommDlgExtendedError();
// FALSE with PDERR_NODEFAULTPRN: there is no printer.
BOOL PrintDlg(PRINTDLG* lppd);

class CPrintDialog : public CCommonDialog {
  DECLARE_DYNAMIC(CPrintDialog)
 public:
  explicit CPrintDialog(BOOL bPrintSetupOnly,
                        DWORD dwFlags = PD_ALLPAGES | PD_USEDEVMODECOPIES | PD_NOPAGENUMS | PD_HIDEPRINTTOFILE |
                                        PD_NOSELECTION,
                        CWnd* pParentWnd = nullptr);
  // No printer: IDCANCEL, with a note on stderr.
  INT_PTR DoModal() override;
  // No printer: FALSE.
  BOOL GetDefaults();
  // No printer: null.
  HDC CreatePrinterDC();

  PRINTDLG m_pd;
};
