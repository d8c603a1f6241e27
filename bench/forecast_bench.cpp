// The forecast over a 1,000,000-row account, beside the one balance pass it
// must not cost more than.
#include <benchmark/benchmark.h>

#include <QDate>

#include "bench/account_generator.h"
#include "core/register/forecast.h"
#include "core/register/register.h"

namespace cheque::bench {
namespace {

const QDate kToday(2025, 12, 1);
constexpr int kRows = 1000000;

// The generated account as it stands after opening: date sorted, balanced.
const Register& Account() {
  static const Register reg = [] {
    Register loaded;
    const QByteArray bytes = GenerateAccountFile(kRows, QStringLiteral(CHEQUE_ASSETS));
    loaded.LoadFileBytes(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())),
                         u"0");
    loaded.SortRegister(kDateColumn, kToday);
    return loaded;
  }();
  return reg;
}

// The yardstick: one running-balance pass over the same rows.
void BM_ForecastYardstickBalancePass(benchmark::State& state) {
  Register reg = Account();
  for (auto _ : state) benchmark::DoNotOptimize(reg.RecomputeBalances());
  state.SetItemsProcessed(state.iterations() * reg.RowCount());
}
BENCHMARK(BM_ForecastYardstickBalancePass)->Unit(benchmark::kMillisecond)->UseRealTime();

// 0: today near the end, the register's few weeks ahead, a year's horizon.
// 1: today before the first row: every row ahead, a horizon past the last.
void BM_Forecast(benchmark::State& state) {
  const Register& reg = Account();
  const bool all_ahead = state.range(0) == 1;
  const QDate today = all_ahead ? QDate(1990, 1, 1) : kToday;
  const int horizon = all_ahead ? 36500 : kForecastHorizonDays;
  size_t days = 0;
  for (auto _ : state) {
    const Forecast forecast = ComputeForecast(reg, u"20000", today, horizon);
    days = forecast.days.size();
    benchmark::DoNotOptimize(forecast.crossing);
  }
  state.counters["days"] = static_cast<double>(days);
  state.SetItemsProcessed(state.iterations() * reg.RowCount());
}
BENCHMARK(BM_Forecast)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// Rows that want sorting are forecast over a sorted copy: a copy and a date
// sort, what the sort picture will cost anyway.
void BM_ForecastWantsSorting(benchmark::State& state) {
  Register reg = Account();
  reg.SetNeedsSorting(true);
  for (auto _ : state) benchmark::DoNotOptimize(ComputeForecast(reg, u"20000", kToday).crossing);
}
BENCHMARK(BM_ForecastWantsSorting)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace cheque::bench
