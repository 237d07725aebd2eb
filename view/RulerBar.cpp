// The rulers beside the design picture.
#include "view/RulerBar.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

#include "controls/AdjustButton.h"
#include "controls/WindowUtils.h"
#include "core/FrameServices.h"
#include "image/ImageView.h"
#include "lang/ids/controls.h"
#include "lang/ids/view.h"
#include "view/FramePorts.h"
#include "view/PatternRender.h"
#include "view/TabView.h"

namespace {
std::function<void()>& CornerHandler() {
  static std::function<void()> handler;
  return handler;
}
constexpr UINT kCornerButtonId = 7;
constexpr UINT kRulerId = 77;
}  // namespace

void SetRulerCornerHandler(std::function<void()> handler) { CornerHandler() = std::move(handler); }

double RulerLength(int unit, double inches, int beads) {
  switch (unit) {
    case 0: return beads;
    case 2: return inches * 2.54;
    case 3: return inches * 25.4;
    default: return inches;
  }
}

CRulerLayout LayoutRuler(bool horizontal, double length, int start, int end, int thickness,
                         const std::function<SIZE(const char* text, bool smallFont)>& measure) {
  CRulerLayout layout;
  if (!(length > 0) || end <= start) return layout;
  layout.smallFont = length > 10;
  const int n = static_cast<int>(std::ceil(length));
  const double s = (end - start) / length;
  const double minimum = horizontal ? (n > 10 ? 12.0 : 7.5) : 10.0;
  if (!horizontal) {
    char widest[16];
    std::snprintf(widest, sizeof widest, "%d", n);
    layout.turned = measure(widest, layout.smallFont).cx > thickness - 2;
  }
  int previousEnd = INT_MIN / 2;
  for (int i = 1; i <= n; ++i) {
    const double p = start + i * s;
    if (i <= length) {
      char text[16];
      std::snprintf(text, sizeof text, "%d", i);
      const SIZE size = measure(text, layout.smallFont);
      const int along = horizontal || layout.turned ? size.cx : size.cy;
      const int across = horizontal || layout.turned ? size.cy : size.cx;
      const int pi = static_cast<int>(p);
      const int first = i == n ? pi - along : pi - along / 2;
      if (first > previousEnd + 2 && first + along <= end) {
        CRulerLabel label;
        label.value = i;
        const int a0 = (thickness - across) / 2;
        label.rect =
            horizontal ? RECT{first, a0, first + along, a0 + across} : RECT{a0, first, a0 + across, first + along};
        label.markAt = i == n ? first + along : first + along / 2;
        layout.labels.push_back(label);
        previousEnd = first + along;
      }
    }
    const auto tick = [&](double at, std::vector<int>& into) {
      if (at < end) into.push_back(static_cast<int>(at));
    };
    if (s >= minimum) tick(p - s / 2, layout.halfTicks);
    if (s / 2 >= minimum) {
      tick(p - s / 4, layout.quarterTicks);
      tick(p - 3 * s / 4, layout.quarterTicks);
    }
  }
  return layout;
}

BEGIN_MESSAGE_MAP(CRulerBar, CWnd)
ON_WM_PAINT()
ON_WM_ERASEBKGND()
ON_COMMAND(kCornerButtonId, OnCornerButton)
END_MESSAGE_MAP()

CRulerBar::CRulerBar(int orientation, int thickness, int unit)
    : m_unit(unit), m_orientation(orientation), m_thickness(thickness) {}

CRulerBar::~CRulerBar() {
  if (m_tooltip) {
    if (m_tooltip->GetSafeHwnd()) m_tooltip->DestroyWindow();
    delete m_tooltip;
  }
  if (m_button) {
    if (m_button->GetSafeHwnd()) m_button->DestroyWindow();
    delete m_button;
  }
  if (GetSafeHwnd()) DestroyWindow();
}

BOOL CRulerBar::Create(CWnd* parent) {
  m_className = AfxRegisterWndClass(CS_HREDRAW | CS_VREDRAW, ::LoadCursor(nullptr, IDC_ARROW));
  const RECT rect{0, 0, m_orientation == 0 ? 100 : m_thickness, m_orientation == 0 ? m_thickness : 100};
  if (!CWnd::Create(m_className, "", WS_CHILD | WS_VISIBLE, rect, parent, kRulerId)) return FALSE;
  if (!m_fontSmall.CreateFont(11, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Tahoma") ||
      !m_fontLarge.CreateFont(13, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Tahoma") ||
      !m_fontSmallTurned.CreateFont(11, 0, 900, 900, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Tahoma") ||
      !m_fontLargeTurned.CreateFont(13, 0, 900, 900, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Tahoma"))
    return FALSE;
  if (m_orientation == 0) {
    auto* button = new CAdjustButton(IDI_RULER_ADJUST, 8, 13);
    m_button = button;
    if (!button->Create("", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, RECT{0, 0, 13, 13}, this, kCornerButtonId))
      return FALSE;
    m_tooltip = new CToolTipCtrl();
    if (!m_tooltip->Create(this)) return FALSE;
    m_tooltip->AddTool(m_button, IDS_TIP_IDEAL_WIDTH);
    m_tooltip->Activate(TRUE);
  }
  return TRUE;
}

void CRulerBar::SetUnits(int unit) {
  if (unit == m_unit) return;
  m_unit = unit;
  if (GetSafeHwnd()) Invalidate(TRUE);
}

BOOL CRulerBar::PreTranslateMessage(MSG* msg) {
  if (m_tooltip && m_tooltip->GetSafeHwnd()) m_tooltip->RelayEvent(msg);
  return CWnd::PreTranslateMessage(msg);
}

void CRulerBar::OnCornerButton() {
  if (CornerHandler()) {
    CornerHandler()();
    return;
  }
  // The main window refits its panes: the control pane gets its ideal width.
  if (IFrameServices* frame = GetFrameServices()) frame->RefitPanes();
}

BOOL CRulerBar::OnEraseBkgnd(CDC*) { return TRUE; }

void CRulerBar::OnPaint() {
  CPaintDC dc(this);
  Paint(&dc);
}

void CRulerBar::Paint(CDC* dc) {
  ++m_paints;
  const bool horizontal = m_orientation == 0;
  DrawGradientFace(dc, this, 32, horizontal, 1);
  m_layout = CRulerLayout();
  IPatternImage* image = GetIPatternImage();
  if (!image || !image->HasImage()) return;
  // The design picture as the view draws it (never the original picture,
  // which a design made from a picture also has).
  CImageView* view = image->GetImage();
  if (!view) return;
  CRect drawn = view->GetDrawnRect();
  CWnd* owner = view->GetScrollView();
  if (!owner && GetIMainFrame()) owner = GetIMainFrame()->GetTabView();
  if (owner && owner->GetSafeHwnd()) {
    owner->ClientToScreen(&drawn);
    ScreenToClient(&drawn);
  }
  double inchesW = 0, inchesH = 0;
  int columns = 0, rows = 0;
  image->GetPatternSizeInches(inchesW, inchesH);
  image->GetPatternSizeBeads(columns, rows);
  const double length = RulerLength(m_unit, horizontal ? inchesW : inchesH, horizontal ? columns : rows);
  CRect client;
  GetClientRect(&client);
  const int barEnd = horizontal ? client.right : client.bottom;
  const int start = horizontal ? drawn.left : drawn.top;
  const int end = std::min(horizontal ? drawn.right : drawn.bottom, barEnd);
  if (end <= start || !(length > 0)) return;
  const HDC hdc = dc->GetSafeHdc();
  const auto measure = [&](const char* text, bool small) {
    HGDIOBJ old = SelectObject(hdc, small ? m_fontSmall.GetSafeHandle() : m_fontLarge.GetSafeHandle());
    SIZE size{0, 0};
    GetTextExtentPoint32(hdc, text, static_cast<int>(std::strlen(text)), &size);
    SelectObject(hdc, old);
    return size;
  };
  m_layout = LayoutRuler(horizontal, length, start, end, m_thickness, measure);
  // The area, white.
  const RECT area = horizontal ? RECT{start, 1, end, m_thickness} : RECT{0, start, m_thickness, end};
  const HBRUSH white = CreateSolidBrush(0xFFFFFF);
  FillRect(hdc, &area, white);
  DeleteObject(white);
  const HPEN pen = CreatePen(PS_SOLID, 1, 0);
  const HGDIOBJ oldPen = SelectObject(hdc, pen);
  const CFont& font = m_layout.turned ? (m_layout.smallFont ? m_fontSmallTurned : m_fontLargeTurned)
                                      : (m_layout.smallFont ? m_fontSmall : m_fontLarge);
  const HGDIOBJ oldFont = SelectObject(hdc, font.GetSafeHandle());
  SetBkMode(hdc, TRANSPARENT);
  SetTextColor(hdc, 0);
  const auto across = [&](int at, int inset) {
    if (horizontal) {
      MoveToEx(hdc, at, area.top + inset, nullptr);
      LineTo(hdc, at, area.bottom - inset);
    } else {
      MoveToEx(hdc, area.left + inset, at, nullptr);
      LineTo(hdc, area.right - inset, at);
    }
  };
  for (const CRulerLabel& label : m_layout.labels) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", label.value);
    // Turned text runs upwards from its reference point, its top to the left.
    if (m_layout.turned) TextOut(hdc, label.rect.left, label.rect.bottom, text, static_cast<int>(std::strlen(text)));
    else TextOut(hdc, label.rect.left, label.rect.top, text, static_cast<int>(std::strlen(text)));
    if (horizontal) {
      MoveToEx(hdc, label.markAt, area.top, nullptr);
      LineTo(hdc, label.markAt, area.top + 2);
      MoveToEx(hdc, label.markAt, area.bottom - 2, nullptr);
      LineTo(hdc, label.markAt, area.bottom);
    } else {
      MoveToEx(hdc, area.left, label.markAt, nullptr);
      LineTo(hdc, area.left + 2, label.markAt);
      MoveToEx(hdc, area.right - 2, label.markAt, nullptr);
      LineTo(hdc, area.right, label.markAt);
    }
  }
  for (int at : m_layout.halfTicks) across(at, 4);
  for (int at : m_layout.quarterTicks) across(at, 6);
  SelectObject(hdc, oldFont);
  SelectObject(hdc, oldPen);
  DeleteObject(pen);
  // The sunken frame around the area.
  RECT frame = area;
  if (horizontal) {
    frame.left -= 2;
    frame.right += 2;
  } else {
    frame.top -= 1;
    frame.bottom += 1;
  }
  const COLORREF outer[3] = {0xBABABA, 0x808080, 0x303030};
  for (int k = 0; k < 3; ++k) {
    const HPEN line = CreatePen(PS_SOLID, 1, outer[k]);
    const HGDIOBJ old = SelectObject(hdc, line);
    MoveToEx(hdc, frame.left + k, frame.bottom - 1 - k, nullptr);
    LineTo(hdc, frame.left + k, frame.top + k);
    LineTo(hdc, frame.right - k, frame.top + k);
    SelectObject(hdc, old);
    DeleteObject(line);
  }
  const HPEN light = CreatePen(PS_SOLID, 1, 0xC8C8C8);
  const HGDIOBJ old = SelectObject(hdc, light);
  MoveToEx(hdc, frame.left, frame.bottom - 1, nullptr);
  LineTo(hdc, frame.right - 1, frame.bottom - 1);
  LineTo(hdc, frame.right - 1, frame.top - 1);
  SelectObject(hdc, old);
  DeleteObject(light);
}
