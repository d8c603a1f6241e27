#include <benchmark/benchmark.h>

#include <QDate>
#include <QDir>
#include <QTemporaryDir>
#include <algorithm>

#include "bench/account_generator.h"
#include "core/categories/category_tree.h"
#include "core/files/account_list.h"
#include "core/files/line_file.h"
#include "core/files/program_folder.h"
#include "core/reports/report_engine.h"

namespace cheque::bench {
namespace {

const QDate kReportToday(2025, 12, 1);
constexpr int kRows = 1'000'000;
constexpr int kSmallAccounts = 5;

// A program folder with one account of a million rows ("גדול") and five of
// a fifth of that each ("חלק 1" .. "חלק 5"), and the default trees.
struct ReportFolder {
  QTemporaryDir dir;
  QStringList categories;  // every path of both trees, once, in path order
  ReportFolder() {
    AccountList list;
    auto add = [&](const QString& name, const QString& base, int rows, std::uint32_t seed) {
      AccountDefinition account;
      account.name = name;
      account.file_base = base;
      WriteFileAtomic(AccountFilePath(dir.path(), base),
                      GenerateAccountFile(rows, QStringLiteral(CHEQUE_ASSETS), seed));
      list.Append(account);
    };
    add(QStringLiteral("גדול"), QStringLiteral("Xct1"), kRows, 1);
    for (int i = 1; i <= kSmallAccounts; ++i) {
      add(QStringLiteral("חלק %1").arg(i), QStringLiteral("Xct%1").arg(i + 1),
          kRows / kSmallAccounts, static_cast<std::uint32_t>(i + 1));
    }
    list.Write(QDir(dir.path()).filePath(file_names::kAccountList));
    const QDir assets(QStringLiteral(CHEQUE_ASSETS));
    for (const QString& tree_file :
         {file_names::kDefaultPrivateTree, file_names::kDefaultBusinessTree}) {
      CategoryTree tree;
      tree.ReadFile(assets.filePath(tree_file));
      for (int i = 0; i < tree.Size(); ++i) categories << tree.FullPath(i);
    }
    categories.sort();
    categories.removeDuplicates();
  }
};

ReportFolder& Folder() {
  static ReportFolder folder;
  return folder;
}

ReportSettings Settings(ReportKind kind) {
  ReportSettings settings;
  settings.kind = kind;
  settings.accounts = {QStringLiteral("גדול")};
  settings.types = {u"אחר"_qs,   u"שק"_qs,       u"מזומן"_qs,  u"אשראי"_qs, u"הלוואה"_qs,
                    u"הו\"ק"_qs, u"חיוב בנק"_qs, u"משכנתא"_qs, u"העברה"_qs};
  settings.categories = Folder().categories;
  settings.from = kReportToday.addYears(-10);
  settings.to = kReportToday;
  settings.year1 = kReportToday.year() - 1;
  return settings;
}

void Run(benchmark::State& state, const ReportSettings& settings) {
  int rows = 0;
  for (auto _ : state) {
    const ReportTable table = BuildReport(settings, Folder().dir.path(), kReportToday);
    rows = table.RowCount();
    benchmark::DoNotOptimize(rows);
  }
  state.counters["report_rows"] = rows;
  state.counters["categories"] = static_cast<double>(settings.categories.size());
}

// Each kind over the million-row file, reading it included.
void BM_ReportIncomeExpensesWithComparison(benchmark::State& state) {
  ReportSettings settings = Settings(ReportKind::kIncomeExpenses);
  settings.comparison = true;
  settings.from = QDate(kReportToday.year() - 1, 1, 1);
  settings.to = QDate(kReportToday.year() - 1, 12, 31);
  settings.compare_from = QDate(kReportToday.year() - 2, 1, 1);
  settings.compare_to = QDate(kReportToday.year() - 2, 12, 31);
  Run(state, settings);
}
BENCHMARK(BM_ReportIncomeExpensesWithComparison)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ReportTrends(benchmark::State& state) { Run(state, Settings(ReportKind::kTrends)); }
BENCHMARK(BM_ReportTrends)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ReportCashFlowTenYears(benchmark::State& state) {
  Run(state, Settings(ReportKind::kCashFlow));
}
BENCHMARK(BM_ReportCashFlowTenYears)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ReportBalanceToDateFiveAccounts(benchmark::State& state) {
  ReportSettings settings = Settings(ReportKind::kBalanceToDate);
  settings.accounts.clear();
  for (int i = 1; i <= kSmallAccounts; ++i) settings.accounts << QStringLiteral("חלק %1").arg(i);
  settings.to = kReportToday.addYears(-1);
  Run(state, settings);
}
BENCHMARK(BM_ReportBalanceToDateFiveAccounts)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace cheque::bench
