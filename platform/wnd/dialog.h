// Dialog boxes made from the resource pack's templates (modal and
// modeless), form views (a view made from a template), and dialog data
// exchange (DDX_ / DDV_) with the framework's messages for bad input.
//
// Dialog units become pixels with the dialog font's average character
// size: x * baseX / 4 and y * baseY / 8, baseX being half of (the width of
// "A..Za..z" / 26 + 1) and baseY the font's height.
#pragma once

#include "platform/base/resource.h"
#include "platform/wnd/docview.h"

class CDataExchange;

// Every dialog takes the compact variant of its template (where the pack
// has one) while this is set; the application sets it on small screens.
void AfxSetUseCompactDialogs(BOOL bCompact);
BOOL AfxGetUseCompactDialogs();

// Creates a dialog window from a template: the window and its controls in
// pixels, the font, WM_INITDIALOG (lParam initParam), the focus. object, when
// given, receives the window's messages from the start. createParam goes to
// WM_CREATE. Null when a control cannot be made.
HWND QmCreateDialogFromTemplate(const QmDialogTemplate& tpl, HWND parent, CWnd* object, LPARAM initParam,
                                LPVOID createParam = nullptr);

class CDialog : public CWnd {
  DECLARE_DYNAMIC(CDialog)
 public:
  CDialog();
  explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
  ~CDialog() override;

  using CWnd::Create;
  // Modeless: creates the dialog from the template (owner pParentWnd, or the
  // main window when null).
  virtual BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
  virtual BOOL CreateIndirect(const QmDialogTemplate* pTemplate, CWnd* pParentWnd = nullptr);
  // Modal: creates the dialog, disables its owner, runs the loop until
  // EndDialog, destroys the dialog; the result given to EndDialog (-1 when
  // the dialog could not be made).
  virtual INT_PTR DoModal();
  void EndDialog(int nResult);

  virtual BOOL OnInitDialog();
  virtual void OnOK();
  virtual void OnCancel();
  virtual void OnSetFont(CFont* pFont) {}

  void NextDlgCtrl() const;
  void PrevDlgCtrl() const;
  void GotoDlgCtrl(CWnd* pWndCtrl);
  void SetDefID(UINT nID);
  DWORD GetDefID() const;
  void MapDialogRect(LPRECT lpRect) const;

  BOOL PreTranslateMessage(MSG* pMsg) override;
  BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

  UINT m_nIDHelp = 0;
  UINT m_nIDTemplate = 0;
  CWnd* m_pParentWnd = nullptr;
  const QmDialogTemplate* m_lpDialogTemplate = nullptr;
  // Take the template's compact variant (the global setting by default).
  BOOL m_bCompactTemplate;

 protected:
  const QmDialogTemplate* FindTemplate() const;
  HWND PreModal();
  afx_msg LRESULT HandleInitDialog(WPARAM, LPARAM);
  DECLARE_MESSAGE_MAP()
};

// A view made from a dialog template (a child template without caption).
class CFormView : public CScrollView {
  DECLARE_DYNAMIC(CFormView)
 public:
  explicit CFormView(UINT nIDTemplate);

  BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
              UINT nID, CCreateContext* pContext = nullptr) override;
  void OnInitialUpdate() override;
  void OnDraw(CDC*) override {}
  BOOL PreTranslateMessage(MSG* pMsg) override;

  UINT m_nIDTemplate;
  UINT m_nIDHelp = 0;

 protected:
  afx_msg void OnSetFocus(CWnd* pOldWnd);
  DECLARE_MESSAGE_MAP()
  HWND m_hWndFocus = nullptr;
};

// ---------------------------------------------------------------------------
// Dialog data exchange.

class CDataExchange {
 public:
  CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate);
  BOOL m_bSaveAndValidate;
  CWnd* m_pDlgWnd;
  UINT m_idLastControl = 0;
  BOOL m_bEditLastControl = FALSE;
  // The control's window (remembered as the one to return to on failure);
  // a missing control is a programming fault, reported and failed.
  HWND PrepareCtrl(int nIDC);
  HWND PrepareEditCtrl(int nIDC);
  // Puts the focus back into the last control (selecting an edit's text)
  // and throws CUserException.
  [[noreturn]] void Fail();
};

void DDX_Text(CDataExchange* pDX, int nIDC, BYTE& value);
void DDX_Text(CDataExchange* pDX, int nIDC, short& value);
void DDX_Text(CDataExchange* pDX, int nIDC, int& value);
void DDX_Text(CDataExchange* pDX, int nIDC, UINT& value);
void DDX_Text(CDataExchange* pDX, int nIDC, long& value);
void DDX_Text(CDataExchange* pDX, int nIDC, unsigned long& value);
void DDX_Text(CDataExchange* pDX, int nIDC, float& value);
void DDX_Text(CDataExchange* pDX, int nIDC, double& value);
void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
void DDX_Check(CDataExchange* pDX, int nIDC, int& value);
void DDX_Radio(CDataExchange* pDX, int nIDC, int& value);
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index);
void DDX_CBString(CDataExchange* pDX, int nIDC, CString& value);
void DDX_LBIndex(CDataExchange* pDX, int nIDC, int& index);
void DDX_Slider(CDataExchange* pDX, int nIDC, int& value);
void DDX_Scroll(CDataExchange* pDX, int nIDC, int& value);

void DDV_MinMaxByte(CDataExchange* pDX, BYTE value, BYTE minVal, BYTE maxVal);
void DDV_MinMaxShort(CDataExchange* pDX, short value, short minVal, short maxVal);
void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal);
void DDV_MinMaxUInt(CDataExchange* pDX, UINT value, UINT minVal, UINT maxVal);
void DDV_MinMaxLong(CDataExchange* pDX, long value, long minVal, long maxVal);
void DDV_MinMaxFloat(CDataExchange* pDX, float value, float minVal, float maxVal);
void DDV_MinMaxDouble(CDataExchange* pDX, double value, double minVal, double maxVal);
void DDV_MaxChars(CDataExchange* pDX, const CString& value, int nChars);
