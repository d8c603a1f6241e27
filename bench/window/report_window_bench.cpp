// Each report kind as "בצע" builds it, to the end of the report grid's first
// paint, next to the engine building the same report; and the double-clicks
// that drill down from a report to the grid that shows its rows.
#include <benchmark/benchmark.h>

#include <QStackedWidget>
#include <QTableView>
#include <memory>

#include "app/register/register_grid.h"
#include "app/reports/report_page.h"
#include "app/shell/main_window.h"
#include "bench/window/window_home.h"
#include "core/reports/report_engine.h"
#include "core/reports/report_settings.h"

namespace cheque::bench {
namespace {

enum class Kind { kCashFlow, kIncomeExpenses, kComparison, kTrends, kBalanceToDate };

// The settings of bench/report_bench.cpp over the one account of the window's
// program folder: every type and every category of both trees.
ReportSettings Settings(Kind kind) {
  ReportSettings settings = EverythingForTenYears();
  settings.year1 = kWindowToday.year() - 1;
  settings.title = QStringLiteral("דוח");
  switch (kind) {
    case Kind::kCashFlow:
      settings.kind = ReportKind::kCashFlow;
      break;
    case Kind::kIncomeExpenses:
    case Kind::kComparison:
      settings.kind = ReportKind::kIncomeExpenses;
      settings.from = QDate(kWindowToday.year() - 1, 1, 1);
      settings.to = QDate(kWindowToday.year() - 1, 12, 31);
      if (kind == Kind::kComparison) {
        settings.comparison = true;
        settings.compare_from = QDate(kWindowToday.year() - 2, 1, 1);
        settings.compare_to = QDate(kWindowToday.year() - 2, 12, 31);
      }
      break;
    case Kind::kTrends:
      settings.kind = ReportKind::kTrends;
      break;
    case Kind::kBalanceToDate:
      settings.kind = ReportKind::kBalanceToDate;
      settings.to = kWindowToday.addYears(-1);
      break;
  }
  return settings;
}

// The main window with the account open, as the user has it before a report.
// The first report after the account was opened also writes its file (a
// million rows, about 0.4 s): BM_WindowReportFirstAfterOpen.
TForm1& Window() {
  static TForm1* window = [] {
    WindowHome& home = WindowHome::Get();
    auto* form = new TForm1(home.services());
    form->resize(1366, 768);
    form->show();
    form->LoadAccount(home.AccountName(), false);
    // Saved once since it was opened, by the first report or the autosave:
    // a report reads the file as it stands, and pays no save of its own.
    form->SaveAccount();
    PaintNow(*form);
    return form;
  }();
  return *window;
}

void BM_EngineReport(benchmark::State& state, Kind kind) {
  const ReportSettings settings = Settings(kind);
  const QString folder = WindowHome::Get().Folder();
  int rows = 0;
  for (auto _ : state) {
    rows = BuildReport(settings, folder, kWindowToday).RowCount();
    benchmark::DoNotOptimize(rows);
  }
  state.counters["report_rows"] = rows;
}

void BM_WindowReport(benchmark::State& state, Kind kind) {
  const ReportSettings settings = Settings(kind);
  TForm1& window = Window();
  for (auto _ : state) {
    window.BuildReport(settings);
    PaintNow(*window.Reports().ReportGrid());
    state.PauseTiming();
    if (window.Reports().RowCount() < 2) state.SkipWithError("no report");
    // The next build starts from the register, as after the wizard.
    window.ShowPage(TForm1::kRegisterPage);
    state.ResumeTiming();
  }
  state.counters["report_rows"] = window.Reports().RowCount();
}

#define CHEQUE_REPORT_PAIR(name, kind)                                                          \
  BENCHMARK_CAPTURE(BM_EngineReport, name, kind)->Unit(benchmark::kMillisecond)->UseRealTime(); \
  BENCHMARK_CAPTURE(BM_WindowReport, name, kind)->Unit(benchmark::kMillisecond)->UseRealTime()

CHEQUE_REPORT_PAIR(CashFlowTenYears, Kind::kCashFlow);
CHEQUE_REPORT_PAIR(IncomeExpenses, Kind::kIncomeExpenses);
CHEQUE_REPORT_PAIR(IncomeExpensesWithComparison, Kind::kComparison);
CHEQUE_REPORT_PAIR(Trends, Kind::kTrends);
CHEQUE_REPORT_PAIR(BalanceToDate, Kind::kBalanceToDate);

// The first report after opening the account, which saves it first.
void BM_WindowReportFirstAfterOpen(benchmark::State& state) {
  const ReportSettings settings = Settings(Kind::kTrends);
  WindowHome& home = WindowHome::Get();
  for (auto _ : state) {
    state.PauseTiming();
    auto window = std::make_unique<TForm1>(home.services());
    window->resize(1366, 768);
    window->show();
    window->LoadAccount(home.AccountName(), false);
    PaintNow(*window);
    state.ResumeTiming();
    window->BuildReport(settings);
    PaintNow(*window->Reports().ReportGrid());
    state.PauseTiming();
    window.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_WindowReportFirstAfterOpen)->Unit(benchmark::kMillisecond)->UseRealTime();

// A row of the report that a double-click drills down from: a register row
// half way down a cash flow; the first income category with a sum.
int DrillRow(const ReportTable& table) {
  if (table.layout == ReportLayout::kCashFlow) {
    for (int row = table.RowCount() / 2; row < table.RowCount(); ++row) {
      if (table.IsRegisterRow(row)) return row;
    }
    return -1;
  }
  for (int row = 1; row < table.income_split_row; ++row) {
    if (table.Cell(row, 6) != u"0") return row;
  }
  return -1;
}

// A cash-flow row lands on its row of the account's register.
void BM_WindowDrillDownCashFlow(benchmark::State& state) {
  TForm1& window = Window();
  window.BuildReport(Settings(Kind::kCashFlow));
  ReportPage& page = window.Reports();
  const int row = DrillRow(page.Report());
  if (row < 0) state.SkipWithError("no register row");
  for (auto _ : state) {
    state.PauseTiming();
    window.ShowPage(TForm1::kReportPage);
    PaintNow(*page.ReportGrid());
    state.ResumeTiming();
    page.ReportDoubleClicked(row, 2);
    PaintNow(window.Grid());
  }
}
BENCHMARK(BM_WindowDrillDownCashFlow)->Unit(benchmark::kMillisecond)->UseRealTime();

// A category of an income/expenses report opens the detail grid of its rows.
void BM_WindowDrillDownIncomeExpenses(benchmark::State& state) {
  TForm1& window = Window();
  window.BuildReport(Settings(Kind::kIncomeExpenses));
  ReportPage& page = window.Reports();
  const int row = DrillRow(page.Report());
  if (row < 0) state.SkipWithError("no category row");
  int detail_rows = 0;
  for (auto _ : state) {
    state.PauseTiming();
    page.Notebook()->setCurrentIndex(ReportPage::kResultsTab);
    PaintNow(*page.ReportGrid());
    state.ResumeTiming();
    page.ReportDoubleClicked(row, 6);
    PaintNow(*page.DetailGrid());
    detail_rows = page.Detail().RowCount();
  }
  state.counters["detail_rows"] = detail_rows;
}
BENCHMARK(BM_WindowDrillDownIncomeExpenses)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace cheque::bench
