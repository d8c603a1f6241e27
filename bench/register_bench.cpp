#include <benchmark/benchmark.h>
#include <malloc.h>

#include <QDate>
#include <QTemporaryDir>
#include <cstdlib>
#include <map>
#include <string_view>

#include "bench/account_generator.h"
#include "core/categories/category_tree.h"
#include "core/files/line_file.h"
#include "core/files/program_folder.h"
#include "core/register/completion.h"
#include "core/register/open_account.h"
#include "core/register/register.h"
#include "core/register/register_checks.h"

namespace cheque::bench {
namespace {

const QDate kToday(2025, 12, 1);

QTemporaryDir& Folder() {
  static QTemporaryDir dir;
  return dir;
}

// One generated account per size, written once and listed in the folder's
// account list, so that it opens by name as in the program.
QString Account(int transactions) {
  static std::map<int, QString> names;
  static AccountList list;
  QString& name = names[transactions];
  if (name.isEmpty()) {
    AccountDefinition account;
    account.name = QStringLiteral("חשבון %1").arg(transactions);
    account.file_base = QStringLiteral("Xct%1").arg(transactions);
    WriteFileAtomic(AccountFilePath(Folder().path(), account.file_base),
                    GenerateAccountFile(transactions, QStringLiteral(CHEQUE_ASSETS)));
    list.Append(account);
    list.Write(Folder().filePath(file_names::kAccountList));
    name = account.name;
  }
  return name;
}

void Open(int transactions, Register& reg) {
  OpenAccount(Folder().path(), Account(transactions), kToday, reg);
}

// Found by name in the account list, loaded, date sorted with the
// reconciliation and the running balance.
void BM_OpenAccount(benchmark::State& state) {
  const int transactions = static_cast<int>(state.range(0));
  const QString name = Account(transactions);
  Register reg;
  for (auto _ : state) {
    state.PauseTiming();
    reg.Clear();
    state.ResumeTiming();
    if (!OpenAccount(Folder().path(), name, kToday, reg).file.Loaded()) {
      state.SkipWithError("open failed");
    }
    benchmark::DoNotOptimize(reg.RowCount());
  }
  state.SetItemsProcessed(state.iterations() * transactions);
}
BENCHMARK(BM_OpenAccount)
    ->Arg(100000)
    ->Arg(1000000)
    ->MinTime(3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The atomic save: written to a temporary file, synced, renamed.
void BM_SaveAccount(benchmark::State& state) {
  const int transactions = static_cast<int>(state.range(0));
  Register reg;
  Open(transactions, reg);
  const QString target = Folder().filePath(QStringLiteral("Saved.dat"));
  for (auto _ : state) {
    if (!SaveAccountFile(target, reg)) state.SkipWithError("save failed");
  }
  state.SetBytesProcessed(state.iterations() * reg.FileBytes().size());
}
BENCHMARK(BM_SaveAccount)->Arg(1000000)->MinTime(3)->Unit(benchmark::kMillisecond)->UseRealTime();

// Re-sorting a loaded register by each column.
void BM_SortRegister(benchmark::State& state) {
  const int column = static_cast<int>(state.range(0));
  Register reg;
  Open(1000000, reg);
  for (auto _ : state) {
    reg.SortRegister(column, kToday);
    state.PauseTiming();
    reg.SortRegister(kIncomeColumn == column ? kTypeColumn : kIncomeColumn, kToday);  // unsort
    state.ResumeTiming();
  }
}
BENCHMARK(BM_SortRegister)
    ->DenseRange(kIncomeColumn, kDateColumn)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_RecomputeBalances(benchmark::State& state) {
  Register reg;
  Open(1000000, reg);
  for (auto _ : state) reg.RecomputeBalances();
}
BENCHMARK(BM_RecomputeBalances)->Unit(benchmark::kMillisecond)->UseRealTime();

// One keystroke in the description field over the whole register: a new
// description that shares its first letters with stored ones, then a first
// letter with five different descriptions, so that neither stops early.
void BM_CompleteDescription(benchmark::State& state) {
  const char16_t* const typed[] = {u"מסעדה חדשה", u"מ"};
  const QString text = QString::fromUtf16(typed[state.range(0)]);
  Register reg;
  Open(1000000, reg);
  for (auto _ : state) benchmark::DoNotOptimize(CompleteDescription(reg, text));
  state.SetItemsProcessed(state.iterations() * reg.RowCount());
}
BENCHMARK(BM_CompleteDescription)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// "מצא עוד" over the whole register: three fields that match no row.
void BM_FindNextMatch(benchmark::State& state) {
  Register reg;
  Open(1000000, reg);
  const SearchTexts fields = {
      QStringLiteral("אין כזה"), QStringLiteral("0.001"), {}, QStringLiteral("zz"), {}};
  for (auto _ : state) benchmark::DoNotOptimize(FindNextMatch(reg, 0, fields));
  state.SetItemsProcessed(state.iterations() * reg.RowCount());
}
BENCHMARK(BM_FindNextMatch)->Unit(benchmark::kMillisecond)->UseRealTime();

// The category check's walk over a register whose categories all come from
// the installed trees: nothing stops it before the end.
void BM_CategoryCheck(benchmark::State& state) {
  Register reg;
  Open(1000000, reg);
  CategoryTree tree;
  tree.ReadFile(QStringLiteral(CHEQUE_ASSETS "/DCateg.dat"));
  CategoryTree business;
  business.ReadFile(QStringLiteral(CHEQUE_ASSETS "/DCategB.dat"));
  for (const CategoryNode& node : business.Nodes()) tree.Append(node.text, node.level);
  int found = 0;
  for (auto _ : state) found = NextUnknownCategoryRow(reg, tree, 0);
  state.counters["unknown_row"] = found;
  state.SetItemsProcessed(state.iterations() * reg.RowCount());
}
BENCHMARK(BM_CategoryCheck)->Unit(benchmark::kMillisecond)->UseRealTime();

// Bytes in use from the allocator: small blocks and those mapped on their own.
size_t HeapBytes() {
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
}

// Heap bytes that a loaded transaction keeps, counted by the allocator.
void BM_MemoryPerTransaction(benchmark::State& state) {
  const int transactions = static_cast<int>(state.range(0));
  Account(transactions);
  double per_transaction = 0;
  for (auto _ : state) {
    malloc_trim(0);
    const size_t before = HeapBytes();
    {
      Register reg;
      Open(transactions, reg);
      const size_t after = HeapBytes();
      per_transaction = static_cast<double>(after - before) / transactions;
    }
  }
  state.counters["bytes_per_transaction"] = per_transaction;
}
BENCHMARK(BM_MemoryPerTransaction)
    ->Arg(100000)
    ->Arg(1000000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace cheque::bench

// `cheque_bench --write-account N FILE` writes the generated account of N
// transactions to FILE and ends, for timing the command line tool over it.
int main(int argc, char** argv) {
  if (argc == 4 && std::string_view(argv[1]) == "--write-account") {
    const QByteArray bytes =
        cheque::bench::GenerateAccountFile(std::atoi(argv[2]), QStringLiteral(CHEQUE_ASSETS));
    return cheque::WriteFileAtomic(QString::fromLocal8Bit(argv[3]), bytes) ? 0 : 1;
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
