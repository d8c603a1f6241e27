// The print preview of the ten-year cash flow of the million-row account
// (some 20,000 pages): from the print button to the first page painted, and
// a move to the last page.
#include <benchmark/benchmark.h>

#include <QLabel>

#include "app/reports/print_preview.h"
#include "app/reports/report_printing.h"
#include "bench/window/window_home.h"
#include "core/reports/report_engine.h"
#include "core/reports/report_engine_columns.h"

namespace cheque::bench {
namespace {

constexpr int kGridWidth = 900;  // the report grid's width on a 1366-wide screen

struct CashFlow {
  ReportSettings settings;
  ReportTable table;
  std::vector<int> widths;
  QStringList captions;
};

const CashFlow& TenYearCashFlow() {
  static const CashFlow report = [] {
    WindowHome& home = WindowHome::Get();
    CashFlow made;
    made.settings = EverythingForTenYears();
    made.settings.kind = ReportKind::kCashFlow;
    made.settings.title = QStringLiteral("תזרים מזומנים");
    made.table = BuildReport(made.settings, home.Folder(), kWindowToday);
    const ReportColumns layout = ReportColumnLayout(made.settings);
    made.widths = FitColumnWidths(layout.widths, kGridWidth);
    made.captions = layout.captions;
    return made;
  }();
  return report;
}

QLabel& PageView(TPrtPreView& preview) {
  return *preview.findChild<QLabel*>(QStringLiteral("PagePanel"));
}

// As the report page's print button does it, to the end of the first paint.
void BM_PreviewOpen(benchmark::State& state) {
  WindowHome& home = WindowHome::Get();
  const CashFlow& report = TenYearCashFlow();
  int pages = 0;
  for (auto _ : state) {
    TPrtPreView preview(
        MakeReportPrint(report.table, report.settings, report.widths, report.captions),
        home.services());
    preview.resize(1366, 768);
    PaintNow(preview);
    state.PauseTiming();
    pages = preview.PageCount();
    if (preview.CurrentPage() != 1 || PageView(preview).pixmap().isNull()) {
      state.SkipWithError("page 1 not shown");
    }
    preview.hide();
    state.ResumeTiming();
  }
  state.counters["pages"] = pages;
  state.counters["report_rows"] = report.table.RowCount();
}
BENCHMARK(BM_PreviewOpen)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);

// From page 1 to the last grid page, painted; with `chart`, on to the
// chart page after it, the balance line over every row.
void PageMove(benchmark::State& state, bool chart) {
  WindowHome& home = WindowHome::Get();
  const CashFlow& report = TenYearCashFlow();
  TPrtPreView preview(
      MakeReportPrint(report.table, report.settings, report.widths, report.captions),
      home.services());
  preview.resize(1366, 768);
  PaintNow(preview);
  const int last = GridPageCount(report.table.RowCount()) + (chart ? 1 : 0);
  for (auto _ : state) {
    preview.ShowPage(last);
    PaintNow(preview);
    state.PauseTiming();
    if (preview.CurrentPage() != last) state.SkipWithError("last page not shown");
    preview.ShowPage(1);
    PaintNow(preview);
    state.ResumeTiming();
  }
  state.counters["page"] = last;
}
void BM_PreviewLastPage(benchmark::State& state) { PageMove(state, false); }
BENCHMARK(BM_PreviewLastPage)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1);
void BM_PreviewChartPage(benchmark::State& state) { PageMove(state, true); }
BENCHMARK(BM_PreviewChartPage)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace cheque::bench
