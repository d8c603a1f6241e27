// What the register page does per screen and per keystroke on a big register.
#include <benchmark/benchmark.h>

#include <QDate>

#include "bench/account_generator.h"
#include "core/register/cell_style.h"
#include "core/register/register.h"

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

}  // namespace
}  // namespace cheque::bench
