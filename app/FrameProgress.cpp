#include "app/FrameProgress.h"

#include <algorithm>
#include <cstdlib>

#include "app/bars/AppStatusBar.h"
#include "controls/DrawUtils.h"
#include "controls/MemDC.h"

namespace {
constexpr UINT kBarId = 7;
constexpr UINT kCaptionId = 8;
}  // namespace

// ---- CCaptionProgress ----

BEGIN_MESSAGE_MAP(CCaptionProgress, CStatic)
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

CCaptionProgress::~CCaptionProgress() {
  if (m_hWnd) DestroyWindow();
}

void CCaptionProgress::MakeFont(CFont& font) {
  CLogFont lf;
  lf.SetFaceName("Tahoma");
  lf.lfHeight = 14;
  font.CreateFontIndirect(&lf);
}

bool CCaptionProgress::Create(const CString& text, const CRect& rect, CWnd* parent, UINT id) {
  m_text = text;
  if (!m_font.m_hObject) MakeFont(m_font);
  return CStatic::Create(text, WS_CHILD | WS_VISIBLE, rect, parent, id) != FALSE;
}

void CCaptionProgress::OnPaint() {
  CPaintDC dc(this);
  CRect r;
  GetClientRect(&r);
  dc.FillSolidRect(r, ::GetSysColor(COLOR_BTNFACE));
  CFont* old = dc.SelectObject(&m_font);
  dc.SetTextColor(RGB(0, 0, 128));
  dc.SetBkColor(::GetSysColor(COLOR_BTNFACE));
  dc.SetBkMode(TRANSPARENT);
  const CSize size = dc.GetTextExtent(m_text);
  dc.ExtTextOut(3, (r.Height() - size.cy) / 2, ETO_CLIPPED, &r, m_text, nullptr);
  dc.SelectObject(old);
}

// ---- CGradientProgressCtrl ----

BEGIN_MESSAGE_MAP(CGradientProgressCtrl, CProgressCtrl)
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

CGradientProgressCtrl::CGradientProgressCtrl() : m_background(::GetSysColor(COLOR_BTNFACE)) {}

CGradientProgressCtrl::~CGradientProgressCtrl() {
  if (m_hWnd) DestroyWindow();
}

void CGradientProgressCtrl::SetRange(int lower, int upper) {
  m_lower = lower;
  m_upper = upper;
  m_position = lower;
  if (m_hWnd) CProgressCtrl::SetRange32(lower, upper);
}

void CGradientProgressCtrl::SetPos(int position) {
  m_position = position;
  if (m_hWnd) CProgressCtrl::SetPos(position);
}

void CGradientProgressCtrl::PaintBar(CDC* dc, const CRect& client) {
  if (!(m_lower < m_position && m_position < m_upper)) {
    dc->FillSolidRect(client, ::GetSysColor(COLOR_BTNFACE));
    return;
  }
  const int width = client.Width();
  const int filled = static_cast<int>(static_cast<double>(m_position) / m_upper * width);
  dc->FillSolidRect(client, RGB(255, 255, 255));
  const int dr = GetRValue(m_end) - GetRValue(m_start);
  const int dg = GetGValue(m_end) - GetGValue(m_start);
  const int db = GetBValue(m_end) - GetBValue(m_start);
  const int steps = std::max({std::abs(dr), std::abs(dg), std::abs(db)});
  if (steps == 0) return;
  const double band = static_cast<double>(width) / steps;
  for (int t = 0; t < steps; ++t) {
    const int left = static_cast<int>(t * band);
    const int right = static_cast<int>((t + 1) * band);
    const COLORREF c = RGB(GetRValue(m_start) + t * dr / steps, GetGValue(m_start) + t * dg / steps,
                           GetBValue(m_start) + t * db / steps);
    dc->FillSolidRect(client.left + left, client.top, right - left, client.Height() + 1, c);
    if (right > filled) {
      dc->FillSolidRect(client.left + right, client.top, width - right, client.Height() + 1, m_background);
      return;
    }
  }
}

void CGradientProgressCtrl::OnPaint() {
  CPaintDC paint(this);
  CRect client;
  GetClientRect(&client);
  CMemDC dc(&paint);
  PaintBar(&dc, client);
}

// ---- The displays ----

namespace {

class CStatusDisplay : public IStatusProgressDisplay {
 public:
  CStatusDisplay(CWnd* bar, int total, const CString* caption, bool simple) {
    CRect area;
    bar->GetClientRect(&area);
    if (simple) {
      if (caption && area.Width() > 270) {
        m_caption.Create(*caption, CRect(area.left, area.top, area.left + 200, area.bottom), bar, kCaptionId);
        area.left += 200;
      }
      m_plain.Create(WS_CHILD | WS_VISIBLE, area, bar, kBarId);
      m_plain.SetRange32(1, total);
      m_simple = true;
      return;
    }
    if (caption) {
      CFont font;
      CCaptionProgress::MakeFont(font);
      CClientDC dc(nullptr);
      CFont* old = dc.SelectObject(&font);
      const int width = dc.GetTextExtent(*caption).cx + 7;
      dc.SelectObject(old);
      if (width + 70 < area.Width()) {
        m_caption.Create(*caption, CRect(area.left, area.top, area.left + width, area.bottom), bar, kCaptionId);
        m_caption.UpdateWindow();
        area.left += width;
      }
    }
    m_bar.Create(WS_CHILD | WS_VISIBLE, area, bar, kBarId);
    m_bar.SetRange(0, total);
  }
  void SetPos(int position) override {
    if (m_simple) {
      m_plain.SetPos(position);
      return;
    }
    m_bar.SetPos(position);
    m_bar.Invalidate(FALSE);
    m_bar.UpdateWindow();
  }
  void SetStartColor(COLORREF color) override { m_bar.SetStartColor(color); }
  void SetEndColor(COLORREF color) override { m_bar.SetEndColor(color); }

 private:
  CGradientProgressCtrl m_bar;
  CProgressCtrl m_plain;
  CCaptionProgress m_caption;
  bool m_simple = false;
};

}  // namespace

IStatusProgressDisplay* CreateStatusBarProgress(CAppStatusBar* bar, int total, const CString* caption, bool simple) {
  if (!bar || !bar->m_hWnd) return nullptr;
  return new CStatusDisplay(bar, total, caption, simple);
}
