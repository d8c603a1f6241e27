// What the register page does per screen and per keystroke on a big register.
#include <benchmark/benchmark.h>

#include <QDate>

#include "bench/account_generator.h"
#include "core/register/cell_style.h"
#include "core/register/register.h"
#include "core/register/register_change.h"
#include "core/register/register_edits.h"
#include "core/register/register_history.h"

namespace cheque::bench {
namespace {

const QDate kToday(2025, 12, 1);

Register& BigRegister() {
  static Register reg = [] {
    Register r;
    const QByteArray bytes = GenerateAccountFile(1000000, QStringLiteral(CHEQUE_ASSETS));
    r.LoadFileBytes(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())), u"0");
    r.SortRegister(kDateColumn, kToday);
    return r;
  }();
  return reg;
}

// The styles of one screen of the grid (30 rows, 7 visible columns),
// scrolled somewhere into a million rows.
void BM_StyleOneScreen(benchmark::State& state) {
  const Register& reg = BigRegister();
  const CellStyleContext context{3000, kToday};
  int top = 0;
  for (auto _ : state) {
    top = (top + 7919) % (reg.RowCount() - 30);
    for (int row = top; row < top + 30; ++row) {
      for (int column = kBalanceColumn; column <= kDateColumn; ++column) {
        benchmark::DoNotOptimize(RegisterCellStyle(reg, row, column, context));
      }
    }
  }
}
BENCHMARK(BM_StyleOneScreen)->Unit(benchmark::kMicrosecond);

// A keystroke in an amount cell: the running balance from that row to the
// next real bank balance (arg 1), against the whole pass from there (arg 0).
void BM_TypedAmountBalance(benchmark::State& state) {
  Register& reg = BigRegister();
  const bool to_next_bank_balance = state.range(0) == 1;
  const int row = reg.RowCount() / 2;
  for (auto _ : state) reg.RecomputeBalancesFrom(row, to_next_bank_balance);
}
BENCHMARK(BM_TypedAmountBalance)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same keystroke as the account's edit closes it: the cell typed, the
// balances it left stale, one undo step joined with the typing before.
void BM_TypedAmountEdit(benchmark::State& state) {
  Register& reg = BigRegister();
  RegisterHistory history(reg);
  int row = reg.RowCount() / 2;
  while (reg.CellIsEmpty(row, kExpenseColumn)) ++row;
  bool odd = false;
  for (auto _ : state) {
    odd = !odd;
    EditCellInPlace(reg, row, kExpenseColumn, odd ? QStringLiteral("7") : QStringLiteral("8"));
    RecomputeAfterChange(reg, history);
    history.Commit(1);
  }
}
BENCHMARK(BM_TypedAmountEdit)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace cheque::bench
