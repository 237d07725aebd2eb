#include "app/bars/AppStatusBar.h"

#include <algorithm>
#include <cstdio>

#include "controls/DrawUtils.h"
#include "controls/MemDC.h"
#include "controls/WindowUtils.h"
#include "core/FrameServices.h"
#include "lang/ids/shell.h"
#include "settings/AppSettings.h"
#include "view/FramePorts.h"
#include "view/TabView.h"

namespace {

std::function<time_t()>& Clock() {
  static std::function<time_t()> clock = [] { return std::time(nullptr); };
  return clock;
}

// "%d %d %d" at the start of a text.
bool ReadRgb(const CString& text, int& r, int& g, int& b) {
  return std::sscanf(text.GetString(), "%d %d %d", &r, &g, &b) == 3;
}

}  // namespace

std::vector<StatusSegment> SplitStatusLine(const CString& text) {
  std::vector<StatusSegment> runs;
  const int first = text.Find('\n');
  if (first < 0) {
    runs.push_back({text, 0, false});
    return runs;
  }
  runs.push_back({text.Left(first), 0, false});
  const CString rest = text.Mid(first + 1);
  const int second = rest.Find('\n');
  if (second < 0) return runs;
  const CString middle = rest.Left(second);
  int r = 0, g = 0, b = 0;
  const int tab = middle.Find('\t');
  if (ReadRgb(middle, r, g, b) && tab > 0)
    runs.push_back({middle.Mid(tab + 1), RGB(r & 0xFF, g & 0xFF, b & 0xFF), true});
  runs.push_back({rest.Mid(second + 1), 0, false});
  return runs;
}

bool ParseStatusAlert(const CString& text, int& kind, CString& message) {
  if (text.GetLength() < 3 || text[0] != '\t') return false;
  const int k = static_cast<unsigned char>(text[1]);
  if (k != 1 && k != 2) return false;
  kind = k;
  message = text.Mid(2);
  if (message.GetLength() > 255) message = message.Left(255);
  return true;
}

BEGIN_MESSAGE_MAP(CAppStatusBar, CStatusBar)
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
  ON_WM_CONTEXTMENU()
  ON_WM_TIMER()
  ON_COMMAND(ID_STATUS_BEAD_COLOR, OnBeadColor)
  ON_COMMAND(ID_STATUS_DESIGN_INFO, OnDesignInfo)
  ON_COMMAND(ID_STATUS_PALETTE_INFO, OnPaletteInfo)
END_MESSAGE_MAP()

CAppStatusBar::CAppStatusBar() { m_icons.Create(IDB_SMALL_PICTURES, 16, 3, RGB(192, 192, 192)); }

CAppStatusBar::~CAppStatusBar() { m_icons.DeleteImageList(); }

void CAppStatusBar::SetClock(std::function<time_t()> clock) {
  Clock() = clock ? std::move(clock) : std::function<time_t()>([] { return std::time(nullptr); });
}

void CAppStatusBar::OnPaint() {
  CPaintDC dc(this);
  CString text;
  GetWindowText(text);
  int kind = 0;
  CString message;
  if (ParseStatusAlert(text, kind, message)) {
    m_alertHeld = true;
    m_alertTimer = static_cast<UINT>(SetTimer(kAlertTimer, kAlertPeriod, nullptr));
    m_alertStart = Clock()();
    PaintAlert(&dc, kind, message);
    return;
  }
  // While an alert is held nothing else is drawn.
  if (m_alertHeld) return;
  PaintLine(&dc, SplitStatusLine(text));
}

void CAppStatusBar::PaintAlert(CDC* target, int kind, const CString& message) {
  const COLORREF color = kind == 1 ? RGB(255, 0, 0) : RGB(0, 164, 0);
  CRect client;
  GetClientRect(&client);
  CMemDC dc(target);
  DrawGradientFace(&dc, client, 32, false, 1);
  CLogFont lf;
  lf.SetFaceName("Arial");
  lf.lfHeight = 14;
  lf.lfWeight = 700;
  CFont font;
  font.CreateFontIndirect(&lf);
  CFont* old = dc.SelectObject(&font);
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextColor(color);
  dc.ExtTextOut(1, client.top + 1, ETO_CLIPPED, &client, message, nullptr);
  dc.SelectObject(old);
}

void CAppStatusBar::ShareInfoBoxWidths(int room, int& first, int& second) {
  room = std::max(room, 0);
  if (first + second <= room) return;
  const int half = room / 2;
  if (first <= half) {
    second = room - first;
  } else if (second <= half) {
    first = room - second;
  } else {
    first = half;
    second = room - half;
  }
}

int CAppStatusBar::DrawInfoBox(CDC* dc, int right, int top, int bottom, COLORREF color, const CString& text,
                               int icon, int maxWidth) {
  const CSize size = dc->GetTextExtent(text);
  const int textWidth = std::max(0, std::min<int>(size.cx, maxWidth - kInfoBoxChrome));
  const int x = right - textWidth - 3;
  dc->SetBkMode(TRANSPARENT);
  const COLORREF oldColor = dc->SetTextColor(color);
  if (textWidth == size.cx) {
    dc->TextOut(x, top + (bottom - top - size.cy) / 2, text);
  } else {
    CRect box(x, top, x + textWidth, bottom);
    dc->DrawText(text, &box, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
  }
  dc->SetTextColor(oldColor);
  if (m_icons.GetSafeHandle()) m_icons.Draw(dc, icon, CPoint(x - 18, top + (bottom - top - 16) / 2), ILD_TRANSPARENT);
  CRect frame(x - 21, top + 1, right, bottom - 1);
  dc->Draw3dRect(frame, RGB(128, 128, 196), RGB(202, 202, 255));
  return x - 21;
}

void CAppStatusBar::PaintLine(CDC* target, const std::vector<StatusSegment>& runs) {
  CRect client;
  GetClientRect(&client);
  CMemDC dc(target);
  DrawGradientFace(&dc, client, 32, false, 1);
  CFont* font = GetFont();
  CFont* oldFont = font ? dc.SelectObject(font) : nullptr;
  const CAppSettings& settings = GetAppSettings();
  int edge = client.right - 1;
  CTabView* view = nullptr;
  if (IMainFrame* frame = GetIMainFrame()) view = frame->GetTabView();
  auto paneText = [&](int index) {
    CString s;
    if (view) view->GetStatusPaneText(index, s);
    return s;
  };
  // Both boxes share the bar's width when their texts are longer than it
  // (a narrow window, long Russian texts): each is cut with "...".
  const CString paletteText = settings.m_paletteInfoShown ? paneText(2) : CString();
  const CString designText = settings.m_designInfoShown ? paneText(1) : CString();
  int paletteWidth = settings.m_paletteInfoShown ? dc.GetTextExtent(paletteText).cx + kInfoBoxChrome + 2 : 0;
  int designWidth = settings.m_designInfoShown ? dc.GetTextExtent(designText).cx + kInfoBoxChrome + 2 : 0;
  // The first pane's text keeps its room up to half the bar (the bead
  // text while the mouse moves over the design); the boxes share the rest.
  int runsWidth = 0;
  for (const StatusSegment& run : runs) runsWidth += dc.GetTextExtent(run.text).cx;
  const int kept = std::min(runsWidth + 6, client.Width() / 2);
  ShareInfoBoxWidths(client.Width() - 2 - kept, paletteWidth, designWidth);
  if (settings.m_paletteInfoShown)
    edge = DrawInfoBox(&dc, edge, client.top, client.bottom, RGB(64, 0, 0), paletteText, 2, paletteWidth - 2) - 2;
  if (settings.m_designInfoShown)
    edge = DrawInfoBox(&dc, edge, client.top, client.bottom, RGB(0, 92, 0), designText, 1, designWidth - 2) - 2;
  const CRect clip(client.left, client.top, client.left + edge, client.bottom);
  int x = client.left + 1;
  for (const StatusSegment& run : runs) {
    const CSize size = dc.GetTextExtent(run.text);
    const int y = client.top + (client.bottom - size.cy - client.top) / 2;
    const int saved = dc.SaveDC();
    if (run.colored && settings.m_beadRealColorShown) {
      dc.SetBkMode(OPAQUE);
      dc.SetBkColor(run.color);
      dc.SetTextColor(GetTextColorForBackground(run.color));
      dc.ExtTextOut(x, y, ETO_CLIPPED, &clip, run.text, nullptr);
    } else {
      dc.SetBkMode(TRANSPARENT);
      dc.ExtTextOut(x, y, ETO_CLIPPED, &clip, run.text, nullptr);
    }
    dc.RestoreDC(saved);
    x += size.cx;
  }
  if (oldFont) dc.SelectObject(oldFont);
}

void CAppStatusBar::OnTimer(UINT_PTR nIDEvent) {
  if (m_alertTimer != 0 && nIDEvent == m_alertTimer) {
    if (Clock()() - m_alertStart >= 2) {
      m_alertHeld = false;
      KillTimer(m_alertTimer);
      m_alertTimer = 0;
    }
    return;
  }
  CStatusBar::OnTimer(nIDEvent);
}

void CAppStatusBar::OnContextMenu(CWnd*, CPoint point) {
  const CAppSettings& s = GetAppSettings();
  CMenu menu;
  menu.CreatePopupMenu();
  menu.AppendMenu(MF_STRING | (s.m_beadRealColorShown ? MF_CHECKED : 0), ID_STATUS_BEAD_COLOR,
                  LoadResString(IDS_STATUS_BEAD_COLOR));
  menu.AppendMenu(MF_SEPARATOR);
  menu.AppendMenu(MF_STRING | (s.m_designInfoShown ? MF_CHECKED : 0), ID_STATUS_DESIGN_INFO,
                  LoadResString(IDS_STATUS_DESIGN_INFO));
  menu.AppendMenu(MF_STRING | (s.m_paletteInfoShown ? MF_CHECKED : 0), ID_STATUS_PALETTE_INFO,
                  LoadResString(IDS_STATUS_PALETTE_INFO));
  menu.TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, point.x, point.y - 42, this);
}

void CAppStatusBar::Toggle(BYTE& field) {
  field = field ? 0 : 1;
  Invalidate(FALSE);
}

void CAppStatusBar::OnBeadColor() { Toggle(GetAppSettings().m_beadRealColorShown); }
void CAppStatusBar::OnDesignInfo() { Toggle(GetAppSettings().m_designInfoShown); }
void CAppStatusBar::OnPaletteInfo() { Toggle(GetAppSettings().m_paletteInfoShown); }
