#include "controls/3dColorStatic.h"

#include <cstring>
#include <vector>

#include "core/FrameServices.h"

const CString g_mainWindowClassName(kMainWindowClassName);

BEGIN_MESSAGE_MAP(C3dColorStatic, CStatic)
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

C3dColorStatic::C3dColorStatic(COLORREF face, COLORREF highlight, COLORREF shadow, COLORREF background)
    : face_(face), highlight_(highlight), shadow_(shadow), background_(background) {
  std::memset(&font_, 0, sizeof(font_));
}

C3dColorStatic::~C3dColorStatic() {
  if (GetSafeHwnd()) DestroyWindow();
}

void C3dColorStatic::SetLogFont(const LOGFONT& font) { font_ = font; }

BOOL C3dColorStatic::OnEraseBkgnd(CDC*) { return TRUE; }

void C3dColorStatic::OnPaint() {
  CPaintDC dc(this);
  CRect client;
  GetClientRect(&client);
  if (!transparent_) dc.FillSolidRect(&client, background_);
  const int saved = dc.SaveDC();
  CFont font;
  font.CreateFontIndirect(&font_);
  if (font.GetSafeHandle()) dc.SelectObject(&font);
  CString text;
  GetWindowText(text);
  std::vector<CString> lines;
  std::vector<CSize> sizes;
  CStringLineReader reader(text);
  CString line;
  int total = 0;
  while (reader.ReadLine(line)) {
    lines.push_back(line);
    sizes.push_back(dc.GetTextExtent(line));
    total += sizes.back().cy;
  }
  dc.SetBkMode(TRANSPARENT);
  int y = (client.Height() - total) / 2;
  for (size_t i = 0; i < lines.size(); ++i) {
    const int x = (client.Width() - sizes[i].cx) / 2;
    dc.SetTextColor(highlight_);
    dc.TextOut(x - 1, y - 1, lines[i]);
    dc.SetTextColor(shadow_);
    dc.TextOut(x + 1, y + 1, lines[i]);
    dc.SetTextColor(face_);
    dc.TextOut(x, y, lines[i]);
    y += sizes[i].cy;
  }
  dc.RestoreDC(saved);
}
