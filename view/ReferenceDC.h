// The device context against which the design pictures of the exports are
// rendered: the default printer's when there is one, else the design
// view's window context, else none. Taken when the object is made and
// given back when it goes.
#pragma once

#include "platform/base.h"

class CDC;

class CPrinerOrWndDeviceContext {
 public:
  enum Kind : int { kNone = 0, kPrinter = 1, kWindow = 2 };

  CPrinerOrWndDeviceContext();
  // A window context goes back to the design view's window; a printer
  // context is deleted.
  virtual ~CPrinerOrWndDeviceContext();
  CPrinerOrWndDeviceContext(const CPrinerOrWndDeviceContext&) = delete;
  CPrinerOrWndDeviceContext& operator=(const CPrinerOrWndDeviceContext&) = delete;

  // Null when the kind is 0.
  CDC* GetDC() const { return m_dc; }
  int GetKind() const { return m_kind; }

 private:
  int m_kind = kNone;
  CDC* m_dc = nullptr;
  HWND m_window = nullptr;  // the view whose context is held (kind 2)
};
