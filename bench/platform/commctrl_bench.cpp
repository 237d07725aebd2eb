// The list view with a report of 2,000 rows of 8 columns whose parent
// colours rows through custom draw: filling it and painting it, sorting it,
// scrolling it by a page (each painted at once, as the screen would show it).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <clocale>
#include <cstdlib>

#include "platform/base/codepage.h"
#include "platform/wnd.h"
#include "platform/wnd/host.h"
#include "platform/wnd/widgetapp.h"

namespace {

constexpr int kRows = 2000;
constexpr int kCols = 8;

void EnsureApp() {
  static const bool ready = [] {
    QmEnsureWidgetApplication();
    std::setlocale(LC_NUMERIC, "C");
    SetAnsiCodePage(1252);
    return true;
  }();
  (void)ready;
}

// The list's parent: every third row in the shortage colours.
class CListHost : public CWnd {
 public:
  long long rowsDrawn = 0;
  BOOL CreateHost() {
    return CreateEx(0, AfxRegisterWndClass(0, nullptr, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)), "Bench",
                    WS_POPUP | WS_VISIBLE, 0, 0, 820, 620, nullptr, nullptr);
  }

 protected:
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override {
    auto* nm = reinterpret_cast<NMHDR*>(lParam);
    if (nm->code != NM_CUSTOMDRAW) return CWnd::OnNotify(wParam, lParam, pResult);
    auto* cd = reinterpret_cast<NMLVCUSTOMDRAW*>(nm);
    if (cd->nmcd.dwDrawStage == CDDS_PREPAINT) {
      *pResult = CDRF_NOTIFYITEMDRAW;
    } else {
      ++rowsDrawn;
      if (cd->nmcd.dwItemSpec % 3 == 0) {
        cd->clrText = 0x0000A4;
        cd->clrTextBk = 0x0091F7FF;
      } else {
        cd->clrText = 0;
      }
      *pResult = CDRF_DODEFAULT;
    }
    return TRUE;
  }
};

struct Report {
  CListHost host;
  CListCtrl list;
  Report() {
    EnsureApp();
    host.CreateHost();
    list.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_REPORT | LVS_SHOWSELALWAYS, CRect(0, 0, 800, 600), &host, 1);
    list.SetExtendedStyle(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    for (int c = 0; c < kCols; ++c) {
      char title[24];
      std::snprintf(title, sizeof title, "Column %d", c);
      list.InsertColumn(c, title, c ? LVCFMT_RIGHT : LVCFMT_LEFT, 95);
    }
  }
  ~Report() { host.DestroyWindow(); }
  void Fill() {
    list.SetRedraw(FALSE);
    list.DeleteAllItems();
    char text[32];
    for (int r = 0; r < kRows; ++r) {
      std::snprintf(text, sizeof text, "Colour %04d", (r * 7919) % kRows);
      const int i = list.InsertItem(LVIF_TEXT | LVIF_PARAM, r, text, 0, 0, 0, (r * 7919) % kRows);
      for (int c = 1; c < kCols; ++c) {
        std::snprintf(text, sizeof text, "%d", (r + 1) * c * 37 % 100000);
        list.SetItemText(i, c, text);
      }
    }
    list.SetRedraw(TRUE);
  }
  void Paint() {
    list.Invalidate(FALSE);
    list.UpdateWindow();
  }
};

int Ascending(LPARAM a, LPARAM b, LPARAM) { return a > b ? 1 : 0; }
int Descending(LPARAM a, LPARAM b, LPARAM) { return a < b ? 1 : 0; }

void BM_ReportFillAndPaint(benchmark::State& state) {
  Report r;
  for (auto _ : state) {
    r.Fill();
    r.Paint();
  }
  if (r.list.GetItemCount() != kRows) state.SkipWithError("rows missing");
  state.counters["rows_painted"] = benchmark::Counter(static_cast<double>(r.host.rowsDrawn), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_ReportFillAndPaint)->Unit(benchmark::kMillisecond);

void BM_ReportSort(benchmark::State& state) {
  Report r;
  r.Fill();
  bool up = true;
  for (auto _ : state) {
    r.list.SortItems(up ? Ascending : Descending, 0);
    up = !up;
  }
  r.list.SortItems(Ascending, 0);
  if (r.list.GetItemData(0) != 0) state.SkipWithError("not sorted");
}
BENCHMARK(BM_ReportSort)->Unit(benchmark::kMillisecond);

void BM_ReportScrollPage(benchmark::State& state) {
  Report r;
  r.Fill();
  r.Paint();
  for (auto _ : state) {
    if (r.list.GetTopIndex() + r.list.GetCountPerPage() >= kRows) r.list.SendMessage(WM_VSCROLL, SB_TOP);
    r.list.SendMessage(WM_VSCROLL, SB_PAGEDOWN);
    r.list.UpdateWindow();
  }
  state.counters["rows_painted"] = benchmark::Counter(static_cast<double>(r.host.rowsDrawn), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_ReportScrollPage)->Unit(benchmark::kMillisecond);

}  // namespace
