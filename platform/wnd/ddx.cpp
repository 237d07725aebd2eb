// Dialog data exchange and validation.
#include <cerrno>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/wnd/dialog.h"
#include "platform/wnd/internal.h"

// ---------------------------------------------------------------------------
// CWnd's data exchange.

BOOL CWnd::UpdateData(BOOL bSaveAndValidate) {
  CDataExchange dx(this, bSaveAndValidate);
  try {
    DoDataExchange(&dx);
  } catch (CException* e) {
    e->Delete();
    return FALSE;
  }
  return TRUE;
}

void CWnd::DoDataExchange(CDataExchange*) {}

CDataExchange::CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
    : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}

HWND CDataExchange::PrepareCtrl(int nIDC) {
  HWND h = ::GetDlgItem(QmHwnd(m_pDlgWnd), nIDC);
  if (!h) {
    std::fprintf(stderr, "Dialog data exchange: there is no control %d\n", nIDC);
    AfxThrowUserException();
  }
  m_idLastControl = static_cast<UINT>(nIDC);
  m_bEditLastControl = FALSE;
  return h;
}

HWND CDataExchange::PrepareEditCtrl(int nIDC) {
  HWND h = PrepareCtrl(nIDC);
  m_bEditLastControl = TRUE;
  return h;
}

void CDataExchange::Fail() {
  if (m_bSaveAndValidate && m_idLastControl) {
    HWND h = ::GetDlgItem(QmHwnd(m_pDlgWnd), static_cast<int>(m_idLastControl));
    if (h) {
      ::SetFocus(h);
      if (m_bEditLastControl) ::SendMessage(h, EM_SETSEL, 0, -1);
    }
  }
  AfxThrowUserException();
}

namespace {

CString ControlText(HWND h) {
  const int n = ::GetWindowTextLength(h);
  std::string s(static_cast<size_t>(n) + 1, '\0');
  const int got = ::GetWindowText(h, s.data(), n + 1);
  s.resize(static_cast<size_t>(std::max(0, got)));
  return CString(s);
}

// The text without the blanks around it.
std::string Trimmed(const CString& text) {
  std::string s = text.str();
  const size_t a = s.find_first_not_of(" \t");
  if (a == std::string::npos) return std::string();
  const size_t b = s.find_last_not_of(" \t");
  return s.substr(a, b - a + 1);
}

bool ParseLong(const CString& text, long long& out) {
  const std::string s = Trimmed(text);
  if (s.empty()) return false;
  errno = 0;
  char* end = nullptr;
  const long long v = std::strtoll(s.c_str(), &end, 10);
  if (errno != 0 || !end || *end != '\0') return false;
  out = v;
  return true;
}

bool ParseDouble(const CString& text, double& out) {
  const std::string s = Trimmed(text);
  if (s.empty()) return false;
  errno = 0;
  char* end = nullptr;
  const double v = std::strtod(s.c_str(), &end);
  if (errno == ERANGE || !end || *end != '\0' || !std::isfinite(v)) return false;
  out = v;
  return true;
}

[[noreturn]] void FailWith(CDataExchange* pDX, UINT idPrompt) {
  AfxMessageBox(AfxLoadFrameworkString(idPrompt), MB_OK | MB_ICONEXCLAMATION, idPrompt);
  pDX->Fail();
}

template <class T>
void TextInteger(CDataExchange* pDX, int nIDC, T& value, long long lo, long long hi, UINT idPrompt, const char* fmt) {
  HWND h = pDX->PrepareEditCtrl(nIDC);
  if (pDX->m_bSaveAndValidate) {
    long long v = 0;
    if (!ParseLong(ControlText(h), v) || v < lo || v > hi) FailWith(pDX, idPrompt);
    value = static_cast<T>(v);
  } else {
    char buf[32];
    std::snprintf(buf, sizeof buf, fmt, static_cast<long long>(value));
    ::SetWindowText(h, buf);
  }
}

template <class T>
void TextReal(CDataExchange* pDX, int nIDC, T& value, int digits) {
  HWND h = pDX->PrepareEditCtrl(nIDC);
  if (pDX->m_bSaveAndValidate) {
    double v = 0;
    if (!ParseDouble(ControlText(h), v)) FailWith(pDX, AFX_IDP_PARSE_REAL);
    if constexpr (sizeof(T) == sizeof(float)) {
      if (std::fabs(v) > FLT_MAX) FailWith(pDX, AFX_IDP_PARSE_REAL);
    }
    value = static_cast<T>(v);
  } else {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*g", digits, static_cast<double>(value));
    ::SetWindowText(h, buf);
  }
}

template <class T>
void CheckRange(CDataExchange* pDX, T value, T lo, T hi, UINT idPrompt, const char* fmt) {
  if (!pDX->m_bSaveAndValidate || (value >= lo && value <= hi)) return;
  char a[64], b[64];
  std::snprintf(a, sizeof a, fmt, lo);
  std::snprintf(b, sizeof b, fmt, hi);
  CString prompt;
  AfxFormatString2(prompt, idPrompt, a, b);
  AfxMessageBox(prompt, MB_OK | MB_ICONEXCLAMATION, idPrompt);
  pDX->Fail();
}

}  // namespace

void DDX_Text(CDataExchange* pDX, int nIDC, BYTE& value) {
  TextInteger(pDX, nIDC, value, 0, 255, AFX_IDP_PARSE_BYTE, "%lld");
}
void DDX_Text(CDataExchange* pDX, int nIDC, short& value) {
  TextInteger(pDX, nIDC, value, SHRT_MIN, SHRT_MAX, AFX_IDP_PARSE_INT, "%lld");
}
void DDX_Text(CDataExchange* pDX, int nIDC, int& value) {
  TextInteger(pDX, nIDC, value, INT_MIN, INT_MAX, AFX_IDP_PARSE_INT, "%lld");
}
void DDX_Text(CDataExchange* pDX, int nIDC, UINT& value) {
  TextInteger(pDX, nIDC, value, 0, UINT_MAX, AFX_IDP_PARSE_UINT, "%lld");
}
void DDX_Text(CDataExchange* pDX, int nIDC, long& value) {
  // Stored files know LONG as 32 bits; so does the exchange.
  TextInteger(pDX, nIDC, value, INT_MIN, INT_MAX, AFX_IDP_PARSE_INT, "%lld");
}
void DDX_Text(CDataExchange* pDX, int nIDC, unsigned long& value) {
  TextInteger(pDX, nIDC, value, 0, UINT_MAX, AFX_IDP_PARSE_UINT, "%lld");
}
void DDX_Text(CDataExchange* pDX, int nIDC, float& value) { TextReal(pDX, nIDC, value, FLT_DIG); }
void DDX_Text(CDataExchange* pDX, int nIDC, double& value) { TextReal(pDX, nIDC, value, DBL_DIG); }

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value) {
  HWND h = pDX->PrepareEditCtrl(nIDC);
  if (pDX->m_bSaveAndValidate) value = ControlText(h);
  else ::SetWindowText(h, value);
}

void DDX_Check(CDataExchange* pDX, int nIDC, int& value) {
  HWND h = pDX->PrepareCtrl(nIDC);
  if (pDX->m_bSaveAndValidate) {
    value = static_cast<int>(::SendMessage(h, BM_GETCHECK, 0, 0));
  } else {
    if (value < 0 || value > 2) value = 0;
    ::SendMessage(h, BM_SETCHECK, static_cast<WPARAM>(value), 0);
  }
}

void DDX_Radio(CDataExchange* pDX, int nIDC, int& value) {
  HWND h = pDX->PrepareCtrl(nIDC);
  if (pDX->m_bSaveAndValidate) value = -1;
  // The group: this button and the following siblings up to the next
  // WS_GROUP; the radio buttons count in order.
  int index = 0;
  for (HWND c = h; c; c = ::GetWindow(c, GW_HWNDNEXT)) {
    if (c != h && (::GetWindowLongPtr(c, GWL_STYLE) & WS_GROUP)) break;
    if (!(::SendMessage(c, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON)) continue;
    if (pDX->m_bSaveAndValidate) {
      if (::SendMessage(c, BM_GETCHECK, 0, 0) == BST_CHECKED) value = index;
    } else {
      ::SendMessage(c, BM_SETCHECK, index == value ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    ++index;
  }
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
  if (rControl.m_hWnd) return;
  HWND h = pDX->PrepareCtrl(nIDC);
  if (!rControl.SubclassWindow(h)) {
    std::fprintf(stderr, "Dialog data exchange: control %d already has an object\n", nIDC);
    AfxThrowUserException();
  }
}

void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index) {
  HWND h = pDX->PrepareCtrl(nIDC);
  if (pDX->m_bSaveAndValidate) index = static_cast<int>(::SendMessage(h, CB_GETCURSEL, 0, 0));
  else ::SendMessage(h, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void DDX_CBString(CDataExchange* pDX, int nIDC, CString& value) {
  HWND h = pDX->PrepareCtrl(nIDC);
  if (pDX->m_bSaveAndValidate) {
    value = ControlText(h);
  } else if (::SendMessage(h, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(value.GetString())) ==
             CB_ERR) {
    ::SetWindowText(h, value);
  }
}

void DDX_LBIndex(CDataExchange* pDX, int nIDC, int& index) {
  HWND h = pDX->PrepareCtrl(nIDC);
  if (pDX->m_bSaveAndValidate) index = static_cast<int>(::SendMessage(h, LB_GETCURSEL, 0, 0));
  else ::SendMessage(h, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void DDX_Slider(CDataExchange* pDX, int nIDC, int& value) {
  HWND h = pDX->PrepareCtrl(nIDC);
  if (pDX->m_bSaveAndValidate) value = static_cast<int>(::SendMessage(h, TBM_GETPOS, 0, 0));
  else ::SendMessage(h, TBM_SETPOS, TRUE, value);
}

void DDX_Scroll(CDataExchange* pDX, int nIDC, int& value) {
  HWND h = pDX->PrepareCtrl(nIDC);
  if (pDX->m_bSaveAndValidate) value = ::GetScrollPos(h, SB_CTL);
  else ::SetScrollPos(h, SB_CTL, value, TRUE);
}

void DDV_MinMaxByte(CDataExchange* pDX, BYTE value, BYTE minVal, BYTE maxVal) {
  CheckRange<int>(pDX, value, minVal, maxVal, AFX_IDP_PARSE_INT_RANGE, "%d");
}
void DDV_MinMaxShort(CDataExchange* pDX, short value, short minVal, short maxVal) {
  CheckRange<int>(pDX, value, minVal, maxVal, AFX_IDP_PARSE_INT_RANGE, "%d");
}
void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal) {
  CheckRange<int>(pDX, value, minVal, maxVal, AFX_IDP_PARSE_INT_RANGE, "%d");
}
void DDV_MinMaxUInt(CDataExchange* pDX, UINT value, UINT minVal, UINT maxVal) {
  CheckRange<UINT>(pDX, value, minVal, maxVal, AFX_IDP_PARSE_INT_RANGE, "%u");
}
void DDV_MinMaxLong(CDataExchange* pDX, long value, long minVal, long maxVal) {
  CheckRange<long>(pDX, value, minVal, maxVal, AFX_IDP_PARSE_INT_RANGE, "%ld");
}
void DDV_MinMaxFloat(CDataExchange* pDX, float value, float minVal, float maxVal) {
  CheckRange<double>(pDX, value, minVal, maxVal, AFX_IDP_PARSE_REAL_RANGE, "%g");
}
void DDV_MinMaxDouble(CDataExchange* pDX, double value, double minVal, double maxVal) {
  CheckRange<double>(pDX, value, minVal, maxVal, AFX_IDP_PARSE_REAL_RANGE, "%g");
}

void DDV_MaxChars(CDataExchange* pDX, const CString& value, int nChars) {
  if (!pDX->m_bSaveAndValidate) {
    if (pDX->m_idLastControl)
      ::SendDlgItemMessage(QmHwnd(pDX->m_pDlgWnd), static_cast<int>(pDX->m_idLastControl), EM_LIMITTEXT,
                           static_cast<WPARAM>(nChars), 0);
    return;
  }
  if (value.GetLength() <= nChars) return;
  char n[32];
  std::snprintf(n, sizeof n, "%d", nChars);
  CString prompt;
  AfxFormatString1(prompt, AFX_IDP_PARSE_STRING_SIZE, n);
  AfxMessageBox(prompt, MB_OK | MB_ICONEXCLAMATION, AFX_IDP_PARSE_STRING_SIZE);
  pDX->Fail();
}
