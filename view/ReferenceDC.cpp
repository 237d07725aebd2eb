#include "view/ReferenceDC.h"

#include "core/FrameServices.h"
#include "platform/wnd.h"
#include "view/FramePorts.h"
#include "view/TabView.h"

CPrinerOrWndDeviceContext::CPrinerOrWndDeviceContext() {
  // The default printer, asked without showing a dialog.
  {
    CPrintDialog defaults(FALSE);
    CWinApp* app = AfxGetApp();
    if (app && app->GetPrinterDeviceDefaults(&defaults.m_pd)) {
      if (HDC printer = defaults.CreatePrinterDC()) {
        m_dc = new CDC;
        m_dc->Attach(printer);
        m_kind = kPrinter;
        return;
      }
    }
  }
  // No printer: the design view's window.
  IMainFrame* frame = GetIMainFrame();
  CTabView* view = frame ? frame->GetTabView() : nullptr;
  if (!view || !view->GetSafeHwnd()) return;
  m_dc = view->GetDC();
  if (m_dc) {
    m_kind = kWindow;
    m_window = view->GetSafeHwnd();
  }
}

CPrinerOrWndDeviceContext::~CPrinerOrWndDeviceContext() {
  if (!m_dc) return;
  if (m_kind == kWindow) {
    if (IsWindow(m_window)) ::ReleaseDC(m_window, m_dc->m_hDC);
  } else {
    m_dc->DeleteDC();
    delete m_dc;
  }
  m_dc = nullptr;
}
