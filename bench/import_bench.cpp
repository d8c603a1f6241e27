#include <benchmark/benchmark.h>

#include <QDate>
#include <random>

#include "bench/account_generator.h"
#include "bench/statement_generator.h"
#include "core/import/column_mapping.h"
#include "core/import/import_plan.h"
#include "core/import/statement_table.h"
#include "core/register/register.h"
#include "core/text/amount.h"
#include "core/text/date_text.h"

namespace cheque::bench {
namespace {

const QDate kToday(2025, 12, 1);

const Register& Accounts1M() {
  static const Register reg = [] {
    Register r;
    r.LoadFileBytes(GenerateAccountFile(1'000'000, QStringLiteral(CHEQUE_ASSETS)).toStdString(),
                    u"0");
    r.SortRegister(kDateColumn, kToday);
    return r;
  }();
  return reg;
}

// A statement of 100,000 movements: every other one is a register row a day
// or two later, the rest are new to the register.
std::vector<BankMovement> Movements(const Register& reg) {
  std::vector<BankMovement> movements;
  std::mt19937 random(7);
  const int rows = reg.RowCount() - 1;
  for (int i = 0; i < 100'000; ++i) {
    BankMovement m;
    m.source_row = i + 1;
    m.description = QStringLiteral("תנועה");
    if (i % 2 == 0) {
      const int row = static_cast<int>(random() % static_cast<unsigned>(rows));
      const QString income = reg.Cell(row, kIncomeColumn);
      m.amount =
          income.isEmpty() ? -ParseAmount(reg.Cell(row, kExpenseColumn)) : ParseAmount(income);
      m.date = DateFromDayNumber(CellDayNumber(reg.RawCell(row, kDateColumn), kToday) + i % 3);
    } else {
      m.amount = -static_cast<double>(random() % 100'000) / 100 - 0.01;
      m.date = kToday.addDays(-static_cast<int>(random() % 3000));
    }
    movements.push_back(m);
  }
  return movements;
}

void BM_PlanImport(benchmark::State& state) {
  const Register& reg = Accounts1M();
  const std::vector<BankMovement> movements = Movements(reg);
  for (auto _ : state) {
    const ImportPlan plan = PlanImport(reg, movements, kToday);
    benchmark::DoNotOptimize(plan.lines.data());
    state.counters["marked"] = plan.Count(PlanAction::kMark) + plan.Count(PlanAction::kKnown);
  }
}
BENCHMARK(BM_PlanImport)->Unit(benchmark::kMillisecond)->UseRealTime();

// A CSV statement of 100,000 lines read into movements.
void BM_ReadCsvStatement(benchmark::State& state) {
  QByteArray csv = "date;description;reference;amount;balance\r\n";
  for (int i = 0; i < 100'000; ++i) {
    csv += QStringLiteral("%1/%2/2024;\"העברה, %3\";%3;-%4,50;1.000,00\r\n")
               .arg(i % 28 + 1)
               .arg(i % 12 + 1)
               .arg(i)
               .arg(i % 997)
               .toUtf8();
  }
  const auto mapping = ParseMappingText(u"date=1,desc=2,ref=3,amount=4,balance=5,first=2");
  for (auto _ : state) {
    const StatementTable table = ReadCsvBytes(csv);
    const MovementsRead read = ReadMovements(table, *mapping, kToday);
    benchmark::DoNotOptimize(read.movements.data());
  }
}
BENCHMARK(BM_ReadCsvStatement)->Unit(benchmark::kMillisecond)->UseRealTime();

// A statement of 100,000 movements of each other kind, from its bytes (the
// compound file or zip opened, the cells read) into movements.
void BM_ReadStatementKind(benchmark::State& state) {
  const auto kind = static_cast<StatementKind>(state.range(0));
  const QByteArray bytes = GenerateStatement(kind, 100'000);
  const auto mapping = ParseMappingText(u"date=1,desc=2,ref=3,amount=4,balance=5,first=2");
  for (auto _ : state) {
    const StatementRead read = ReadStatementBytes(bytes, QStringLiteral("s.xls"));
    const MovementsRead movements = ReadMovements(read.table, *mapping, kToday);
    // A BIFF8 sheet holds 65,536 rows: the later records overwrite the first.
    const size_t expected = kind == StatementKind::kXls ? 65'535U : 100'000U;
    if (!read.Ok() || movements.movements.size() != expected) state.SkipWithError("not read");
    benchmark::DoNotOptimize(movements.movements.data());
  }
  state.counters["MB"] = static_cast<double>(bytes.size()) / (1024 * 1024);
}
BENCHMARK(BM_ReadStatementKind)
    ->ArgName("html0_xml1_xls2_xlsx3")
    ->DenseRange(0, 3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
}  // namespace cheque::bench
