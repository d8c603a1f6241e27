#include <benchmark/benchmark.h>

#include <QDate>

#include "bench/account_generator.h"
#include "core/register/register_edits.h"
#include "core/register/register_history.h"

namespace cheque::bench {
namespace {

const QDate kHistoryToday(2025, 12, 1);

void LoadGenerated(int transactions, Register& reg) {
  const QByteArray bytes = GenerateAccountFile(transactions, QStringLiteral(CHEQUE_ASSETS));
  reg.LoadFileBytes(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())), u"0");
  reg.SortRegister(kDateColumn, kHistoryToday);
}

// A description sort moves nearly every row; its undo puts them back.
void BM_UndoSort(benchmark::State& state) {
  Register reg;
  LoadGenerated(static_cast<int>(state.range(0)), reg);
  RegisterHistory history(reg);
  for (auto _ : state) {
    state.PauseTiming();
    reg.SortRegister(kDescriptionColumn, kHistoryToday);
    history.Commit();
    state.ResumeTiming();
    history.Undo();
  }
  reg.SortRegister(kDescriptionColumn, kHistoryToday);
  history.Commit();
  state.counters["step_bytes"] = static_cast<double>(history.MemoryBytes());
}
BENCHMARK(BM_UndoSort)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();

// 100 ordinary steps near the end of an account: typed descriptions and
// marks, and with `kinds` 3 a third of them deletions, each of which also
// rewrites the running balances below it.
void HundredSteps(Register& reg, RegisterHistory& history, int kinds) {
  for (int i = 0; i < 100; ++i) {
    const int row = reg.RowCount() - 2 - (i * 37) % 500;
    switch (i % kinds) {
      case 0:
        EditCellInPlace(reg, row, kDescriptionColumn, QStringLiteral("תיקון"));
        break;
      case 1:
        ToggleMark(reg, row);
        break;
      default:
        DeleteRow(reg, row);
        break;
    }
    history.Commit();
  }
}

// What the 100 steps hold; Arg 1 with the deletions, whose balances are
// kept as passes to run again.
void BM_HistoryMemory(benchmark::State& state) {
  const int kinds = state.range(0) == 0 ? 2 : 3;
  Register base;
  LoadGenerated(100000, base);
  size_t bytes = 0;
  for (auto _ : state) {
    Register reg = base;
    RegisterHistory history(reg);
    HundredSteps(reg, history, kinds);
    bytes = history.MemoryBytes();
  }
  state.counters["history_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_HistoryMemory)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);

// Undoing all of those steps with deletions, then redoing them: what the
// passes computed again cost.
void BM_UndoRedoDeletions(benchmark::State& state) {
  Register reg;
  LoadGenerated(100000, reg);
  RegisterHistory history(reg);
  HundredSteps(reg, history, 3);
  for (auto _ : state) {
    while (history.CanUndo()) history.Undo();
    while (history.CanRedo()) history.Redo();
  }
}
BENCHMARK(BM_UndoRedoDeletions)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace cheque::bench
