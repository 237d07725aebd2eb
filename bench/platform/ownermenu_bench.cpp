// Opening a pop-up menu of 40 owner-drawn items: the menu is built, each
// item measured and drawn by its owner (an icon band, a label, a shortcut,
// a check box, the selection), and the whole menu rendered. Budget: 16 ms.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "platform/wnd.h"
#include "platform/wnd/host.h"
#include "platform/wnd/widgetapp.h"

namespace {


class CBenchMenu : public CMenu {
 public:
  std::vector<std::string> m_texts;
  void MeasureItem(LPMEASUREITEMSTRUCT mis) override {
    HDC dc = GetDC(nullptr);
    const std::string& t = m_texts[mis->itemData];
    SIZE s{0, 0};
    GetTextExtentPoint32(dc, t.c_str(), static_cast<int>(t.size()), &s);
    ReleaseDC(nullptr, dc);
    mis->itemWidth = static_cast<UINT>(s.cx + 2 * 16 + 1);
    mis->itemHeight = 22;
  }
  void DrawItem(LPDRAWITEMSTRUCT dis) override {
    CDC* dc = CDC::FromHandle(dis->hDC);
    CRect r(dis->rcItem);
    const bool selected = (dis->itemState & ODS_SELECTED) != 0;
    dc->FillSolidRect(&r, selected ? RGB(192, 210, 255) : RGB(255, 255, 255));
    for (int x = 0; x < 22; ++x) dc->FillSolidRect(r.left + x, r.top, 1, r.Height(), RGB(242 - x, 242 - x, 255 - 2 * x));
    if (dis->itemState & ODS_CHECKED) {
      CRect box(r.left + 3, r.top + 4, r.left + 17, r.top + 18);
      dc->FillSolidRect(&box, RGB(230, 230, 230));
      dc->DrawEdge(&box, BDR_SUNKENOUTER, BF_RECT);
    }
    const std::string& t = m_texts[dis->itemData];
    const size_t tab = t.find('\t');
    CRect tr(r.left + 25, r.top, r.right - 16, r.bottom);
    dc->SetBkMode(TRANSPARENT);
    dc->SetTextColor((dis->itemState & ODS_GRAYED) ? GetSysColor(COLOR_GRAYTEXT) : RGB(0, 0, 0));
    dc->DrawText(t.substr(0, tab).c_str(), -1, &tr, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    if (tab != std::string::npos) dc->DrawText(t.substr(tab + 1).c_str(), -1, &tr, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
    if (selected) dc->FrameRect(&r, CBrush::FromHandle(static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))));
  }
};

void BM_OwnerDrawnMenuOpens(benchmark::State& state) {
  QmEnsureWidgetApplication();
  CWnd owner;
  owner.CreateEx(0, AfxRegisterWndClass(0), "Owner", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, nullptr);
  CBenchMenu menu;
  menu.CreatePopupMenu();
  for (int i = 0; i < 40; ++i) {
    menu.m_texts.push_back("Command number " + std::to_string(i + 1) + "...\tCtrl+" + std::string(1, static_cast<char>('A' + i % 26)));
    UINT flags = MF_OWNERDRAW;
    if (i % 7 == 3) flags |= MF_CHECKED;
    if (i % 11 == 5) flags |= MF_GRAYED;
    menu.AppendMenu(flags, static_cast<UINT_PTR>(32000 + i), reinterpret_cast<LPCTSTR>(static_cast<std::uintptr_t>(i)));
  }
  int highlight = 0;
  for (auto _ : state) {
    const QImage img = QmRenderPopupMenu(menu.m_hMenu, owner.m_hWnd, highlight);
    benchmark::DoNotOptimize(img.constBits());
    highlight = (highlight + 1) % 40;
  }
  owner.DestroyWindow();
}
BENCHMARK(BM_OwnerDrawnMenuOpens)->Unit(benchmark::kMillisecond);

}  // namespace
