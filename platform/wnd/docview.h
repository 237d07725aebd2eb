// Document/view: documents, views (plain and scrolling), frame windows and
// the single-document template that creates document, frame and view.
// Commands go from the frame to its active view, the view's document, the
// frame itself and the application.
#pragma once

#include <vector>

#include "platform/base/cstring.h"
#include "platform/wnd/app.h"
#include "platform/wnd/menu.h"
#include "platform/wnd/window.h"

class CDocument;
class CView;
class CFrameWnd;
class CDocTemplate;
class CDC;

struct CCreateContext {
  CRuntimeClass* m_pNewViewClass = nullptr;
  CDocument* m_pCurrentDoc = nullptr;
  CDocTemplate* m_pNewDocTemplate = nullptr;
  CView* m_pLastView = nullptr;
  CFrameWnd* m_pCurrentFrame = nullptr;
};

// Printing is not done by this program; views still receive the object.
struct CPrintInfo {
  BOOL m_bPreview = FALSE;
  BOOL m_bContinuePrinting = TRUE;
  UINT m_nCurPage = 1;
};

// The default styles of views and panes.
constexpr DWORD AFX_WS_DEFAULT_VIEW = WS_CHILD | WS_VISIBLE | WS_BORDER;

class CDocument : public CCmdTarget {
  DECLARE_DYNAMIC(CDocument)
 public:
  CDocument();
  ~CDocument() override;

  const CString& GetTitle() const { return m_strTitle; }
  virtual void SetTitle(LPCTSTR lpszTitle);
  const CString& GetPathName() const { return m_strPathName; }
  virtual void SetPathName(LPCTSTR lpszPathName, BOOL bAddToMRU = TRUE);
  CDocTemplate* GetDocTemplate() const { return m_pDocTemplate; }
  // The modified flag is a plain stored value.
  virtual BOOL IsModified() { return m_bModified; }
  virtual void SetModifiedFlag(BOOL bModified = TRUE) { m_bModified = bModified; }

  void AddView(CView* pView);
  void RemoveView(CView* pView);
  POSITION GetFirstViewPosition() const;
  CView* GetNextView(POSITION& rPosition) const;
  void UpdateAllViews(CView* pSender, LPARAM lHint = 0, CObject* pHint = nullptr);

  virtual BOOL OnNewDocument();
  // The framework's document reads no file: a document that has data of its
  // own overrides this. The default empties the document and answers TRUE.
  virtual BOOL OnOpenDocument(LPCTSTR lpszPathName);
  virtual BOOL OnSaveDocument(LPCTSTR lpszPathName);
  virtual void OnCloseDocument();
  virtual void DeleteContents() {}
  virtual BOOL SaveModified();
  virtual BOOL CanCloseFrame(CFrameWnd* pFrame);
  virtual void PreCloseFrame(CFrameWnd* pFrame) {}
  virtual void OnChangedViewList();
  BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

  CString m_strTitle;
  CString m_strPathName;
  CDocTemplate* m_pDocTemplate = nullptr;
  BOOL m_bModified = FALSE;
  BOOL m_bAutoDelete = TRUE;
  BOOL m_bEmbedded = FALSE;

 protected:
  std::vector<CView*> m_viewList;
  DECLARE_MESSAGE_MAP()
};

class CView : public CWnd {
  DECLARE_DYNAMIC(CView)
 public:
  CView();
  ~CView() override;

  CDocument* GetDocument() const { return m_pDocument; }
  virtual void OnDraw(CDC* pDC) = 0;
  virtual void OnInitialUpdate();
  virtual void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint);
  virtual void OnPrepareDC(CDC* pDC, CPrintInfo* pInfo = nullptr);
  virtual void OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView);
  virtual void OnActivateFrame(UINT nState, CFrameWnd* pFrameWnd) {}
  BOOL PreCreateWindow(CREATESTRUCT& cs) override;
  void PostNcDestroy() override;
  BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

 protected:
  CDocument* m_pDocument = nullptr;
  afx_msg int OnCreate(LPCREATESTRUCT lpcs);
  afx_msg void OnDestroy();
  afx_msg void OnPaint();
  afx_msg int OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message);
  afx_msg LRESULT OnInitialUpdateMessage(WPARAM, LPARAM);
  DECLARE_MESSAGE_MAP()
  friend class CDocument;
};

// A view that scrolls its picture with the window's scroll bars. The
// sizes are logical units of the map mode (MM_TEXT: pixels); OnPrepareDC
// moves the device context's origin by the scroll position.
class CScrollView : public CView {
  DECLARE_DYNAMIC(CScrollView)
 public:
  static const SIZE sizeDefault;
  CScrollView();

  void SetScrollSizes(int nMapMode, SIZE sizeTotal, const SIZE& sizePage = sizeDefault,
                      const SIZE& sizeLine = sizeDefault);
  CPoint GetScrollPosition() const;
  CPoint GetDeviceScrollPosition() const;
  CSize GetTotalSize() const { return m_totalLog; }
  void GetDeviceScrollSizes(int& nMapMode, SIZE& sizeTotal, SIZE& sizePage, SIZE& sizeLine) const;
  void ScrollToPosition(POINT pt);
  void ScrollToDevicePosition(POINT ptDev);
  void FillOutsideRect(CDC* pDC, HBRUSH hBrush);
  void ResizeParentToFit(BOOL bShrinkOnly = TRUE);
  void UpdateBars();

  virtual BOOL OnScroll(UINT nScrollCode, UINT nPos, BOOL bDoScroll = TRUE);
  virtual BOOL OnScrollBy(CSize sizeScroll, BOOL bDoScroll = TRUE);
  void OnPrepareDC(CDC* pDC, CPrintInfo* pInfo = nullptr) override;

 protected:
  int m_nMapMode = 0;
  CSize m_totalLog;
  CSize m_totalDev;
  CSize m_pageDev;
  CSize m_lineDev;
  BOOL m_bInsideUpdate = FALSE;

  afx_msg void OnSize(UINT nType, int cx, int cy);
  afx_msg void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
  afx_msg void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
  afx_msg BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);
  DECLARE_MESSAGE_MAP()
};

class CFrameWnd : public CWnd {
  DECLARE_DYNCREATE(CFrameWnd)
 public:
  static const RECT rectDefault;
  CFrameWnd();
  ~CFrameWnd() override;

  BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle = WS_OVERLAPPEDWINDOW,
              const RECT& rect = rectDefault, CWnd* pParentWnd = nullptr, LPCTSTR lpszMenuName = nullptr,
              DWORD dwExStyle = 0, CCreateContext* pContext = nullptr);
  // Creates the frame with the title (first part of string nIDResource),
  // menu, icon and accelerators of that id from the resource pack.
  virtual BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                         CWnd* pParentWnd = nullptr, CCreateContext* pContext = nullptr);

  CView* GetActiveView() const { return m_pViewActive; }
  virtual void SetActiveView(CView* pViewNew, BOOL bNotify = TRUE);
  virtual CDocument* GetActiveDocument();
  // Lays out the control bars and gives the rest of the client area to
  // the pane (the child with id AFX_IDW_PANE_FIRST).
  virtual void RecalcLayout(BOOL bNotify = TRUE);
  virtual void ActivateFrame(int nCmdShow = -1);
  virtual void InitialUpdateFrame(CDocument* pDoc, BOOL bMakeVisible);
  virtual void OnUpdateFrameTitle(BOOL bAddToTitle);
  void UpdateFrameTitleForDocument(LPCTSTR lpszDocName);
  void SetTitle(LPCTSTR lpszTitle) { m_strTitle = lpszTitle; }
  CString GetTitle() const { return m_strTitle; }
  void DelayUpdateFrameTitle() { m_nIdleFlags |= idleTitle; }
  void DelayRecalcLayout(BOOL bNotify = TRUE) { m_nIdleFlags |= idleLayout | (bNotify ? idleNotify : 0); }

  // The status bar's message: the text of a command's string up to its
  // first line break.
  virtual void GetMessageString(UINT nID, CString& rMessage) const;
  void SetMessageText(LPCTSTR lpszText);
  void SetMessageText(UINT nID);
  virtual CWnd* GetMessageBar();
  // Shows or hides a bar (a child with that id) and lays the frame out.
  void ShowControlBar(CWnd* pBar, BOOL bShow, BOOL bDelay);

  CWnd* CreateView(CCreateContext* pContext, UINT nID = AFX_IDW_PANE_FIRST);
  virtual BOOL OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext* pContext);
  virtual HACCEL GetDefaultAccelerator();

  BOOL PreCreateWindow(CREATESTRUCT& cs) override;
  BOOL PreTranslateMessage(MSG* pMsg) override;
  BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
  void PostNcDestroy() override;

  enum IdleFlags { idleMenu = 1, idleTitle = 2, idleNotify = 4, idleLayout = 8 };
  HMENU m_hMenuDefault = nullptr;
  HACCEL m_hAccelTable = nullptr;  // the program may replace it (its own keys)
  CString m_strTitle;
  BOOL m_bAutoMenuEnable = TRUE;
  UINT m_nIDHelp = 0;
  UINT m_nIdleFlags = 0;
  RECT m_rectBorder{0, 0, 0, 0};

 protected:
  CView* m_pViewActive = nullptr;
  BOOL m_bInRecalcLayout = FALSE;

  afx_msg int OnCreate(LPCREATESTRUCT lpcs);
  afx_msg void OnClose();
  afx_msg void OnDestroy();
  afx_msg void OnSize(UINT nType, int cx, int cy);
  afx_msg void OnSetFocus(CWnd* pOldWnd);
  afx_msg void OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu);
  afx_msg BOOL OnEraseBkgnd(CDC* pDC);
  afx_msg LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnSetMessageString(WPARAM wParam, LPARAM lParam);
  afx_msg void OnUpdateControlBarMenu(CCmdUI* pCmdUI);
  afx_msg BOOL OnBarCheck(UINT nID);
  DECLARE_MESSAGE_MAP()
};

class CDocTemplate : public CCmdTarget {
  DECLARE_DYNAMIC(CDocTemplate)
 public:
  enum DocStringIndex { windowTitle, docName, fileNewName, filterName, filterExt, regFileTypeId, regFileTypeName };
  CDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass, CRuntimeClass* pViewClass);
  ~CDocTemplate() override;

  virtual void LoadTemplate();
  // Part n of the template's string (parts separated by line breaks).
  virtual BOOL GetDocString(CString& rString, DocStringIndex index) const;
  virtual CDocument* CreateNewDocument();
  virtual CFrameWnd* CreateNewFrame(CDocument* pDoc, CFrameWnd* pOther);
  virtual void InitialUpdateFrame(CFrameWnd* pFrame, CDocument* pDoc, BOOL bMakeVisible = TRUE);
  virtual void AddDocument(CDocument* pDoc);
  virtual void RemoveDocument(CDocument* pDoc);
  virtual POSITION GetFirstDocPosition() const = 0;
  virtual CDocument* GetNextDoc(POSITION& rPos) const = 0;
  virtual CDocument* OpenDocumentFile(LPCTSTR lpszPathName, BOOL bMakeVisible = TRUE) = 0;
  virtual void SetDefaultTitle(CDocument* pDocument) = 0;
  virtual BOOL SaveAllModified();
  virtual void CloseAllDocuments(BOOL bEndSession);

  UINT m_nIDResource;
  CRuntimeClass* m_pDocClass;
  CRuntimeClass* m_pFrameClass;
  CRuntimeClass* m_pViewClass;
  CString m_strDocStrings;
};

class CSingleDocTemplate : public CDocTemplate {
  DECLARE_DYNAMIC(CSingleDocTemplate)
 public:
  CSingleDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass,
                     CRuntimeClass* pViewClass);
  ~CSingleDocTemplate() override;
  void AddDocument(CDocument* pDoc) override;
  void RemoveDocument(CDocument* pDoc) override;
  POSITION GetFirstDocPosition() const override;
  CDocument* GetNextDoc(POSITION& rPos) const override;
  CDocument* OpenDocumentFile(LPCTSTR lpszPathName, BOOL bMakeVisible = TRUE) override;
  void SetDefaultTitle(CDocument* pDocument) override;

 protected:
  CDocument* m_pOnlyDoc = nullptr;
};

// "Title\nDocName\n..." -> part n.
BOOL AfxExtractSubString(CString& rString, LPCTSTR lpszFullString, int iSubString, char chSep = '\n');
