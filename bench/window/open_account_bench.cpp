// Opening the account as the user does, to the end of the register's first
// paint, next to the core opening the same file.
#include <benchmark/benchmark.h>

#include "app/register/register_grid.h"
#include "app/shell/main_window.h"
#include "bench/window/window_home.h"
#include "core/register/open_account.h"
#include "core/register/register.h"

namespace cheque::bench {
namespace {

void BM_CoreOpenAccount(benchmark::State& state) {
  WindowHome& home = WindowHome::Get();
  Register reg;
  for (auto _ : state) {
    state.PauseTiming();
    reg.Clear();
    state.ResumeTiming();
    if (!OpenAccount(home.Folder(), home.AccountName(), kWindowToday, reg).file.Loaded()) {
      state.SkipWithError("open failed");
    }
  }
}
BENCHMARK(BM_CoreOpenAccount)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);

void BM_WindowOpenAccount(benchmark::State& state) {
  WindowHome& home = WindowHome::Get();
  TForm1 window(home.services());
  window.resize(1366, 768);
  window.show();
  for (auto _ : state) {
    window.LoadAccount(home.AccountName(), false);
    PaintNow(window.Grid());
    state.PauseTiming();
    if (window.ActiveRegister().RowCount() < 1000000) state.SkipWithError("open failed");
    state.ResumeTiming();
  }
}
BENCHMARK(BM_WindowOpenAccount)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);

}  // namespace
}  // namespace cheque::bench
