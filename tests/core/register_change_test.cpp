#include "core/register/register_change.h"

#include <gtest/gtest.h>

#include <functional>

#include "core/register/register_edits.h"
#include "core/register/register_history.h"
#include "tests/core/register_rows.h"

using namespace cheque;
using namespace cheque::testing;
using namespace Qt::StringLiterals;

namespace {

// Two stretches, each starting at a real bank balance.
Register Sample() {
  Register reg = Make({{u"100", {}, {}, kBank, u"1/1/2000", u"+", u"יתרת פתיחה"},
                       {u"95", {}, u"5", u"x", u"2/1/2000", u"+"},
                       {u"105", u"10", {}, u"x", u"3/1/2000", u"+"},
                       {u"500", {}, {}, kBank, u"4/1/2000", u"+"},
                       {u"480", {}, u"20", u"x", u"5/1/2000"},
                       {u"490", u"10", {}, u"x", u"6/1/2000"}});
  reg.SortRegister(kDateColumn, QDate(2000, 2, 1));
  return reg;
}

QStringList Fresh(const Register& reg) {
  Register whole = reg;
  whole.RecomputeBalances();
  return Balances(whole);
}

// Counts the rows the balance passes walk.
struct PassCount : RegisterHistory {
  using RegisterHistory::RegisterHistory;
  void BalancesRecomputed(int first, int end) override {
    rows += end - first;
    RegisterHistory::BalancesRecomputed(first, end);
  }
  int rows = 0;
};

}  // namespace

// Each kind of change, closed by RecomputeAfterChange: the balances equal a
// whole recompute, the first changed row is the one the signal carries, and
// the passes walk no more rows than the change reached.
TEST(RegisterChange, RecomputesWhatTheChangeTouched) {
  struct Case {
    const char* name;
    std::function<void(Register&)> change;
    int first_row;
    int most_rows_walked;  // by the change's own passes and the closing ones
  };
  const QDate today(2000, 2, 1);
  const Case cases[] = {
      {"an amount set by the dialog", [](Register& r) { r.SetCell(1, kExpenseColumn, u"50"); }, 1,
       3},
      {"an amount typed in place",
       [](Register& r) { EditCellInPlace(r, 5, kIncomeColumn, u"7"_s); }, 5, 2},
      {"a description: no pass", [](Register& r) { r.SetCell(2, kDescriptionColumn, u"y"); }, 2, 0},
      {"a bank mark: no pass", [](Register& r) { ToggleMark(r, 2); }, 2, 0},
      {"a real balance typed in place",
       [](Register& r) { EditCellInPlace(r, 3, kBalanceColumn, u"600"_s); }, 3, 4},
      {"a bank balance made an expense: the stretch runs on",
       [](Register& r) { r.SetCell(3, kCategoryColumn, u"x"); }, 3, 6},
      {"a row and a series after the last row, apart",
       [today](Register& r) {
         SeriesEntry entry{QDate(2000, 1, 2), RepeatPeriod::kMonth, 3};
         entry.expense = u"1"_s;
         entry.category = u"x"_s;
         WriteSeries(r, 1, entry, today);
       },
       1, 8},
      {"a deleted row", [](Register& r) { DeleteRow(r, 2); }, 2, 6},
      {"the date sort", [today](Register& r) { r.SortRegister(kDateColumn, today); }, 0, 6},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Register reg = Sample();
    PassCount history(reg);
    c.change(reg);
    EXPECT_EQ(history.FirstChangedRow(), c.first_row);
    RecomputeAfterChange(reg, history);
    EXPECT_EQ(Balances(reg), Fresh(reg));
    EXPECT_LE(history.rows, c.most_rows_walked);
    EXPECT_TRUE(history.StaleBalanceRows().empty());
  }
}

TEST(RegisterChange, EnteringAnAmountOrDateAsksForASortAfterAChange) {
  Register reg = Sample();
  VisitedCell visited;
  // The cell entered, a change typed into it before the next; sort called for.
  const std::tuple<int, int, QString, bool> steps[] = {
      {1, kExpenseColumn, u"6"_s, false},      // nothing visited yet
      {2, kIncomeColumn, {}, true},            // the expense was changed
      {2, kDescriptionColumn, u"z"_s, false},  // not an amount: not remembered
      {4, kExpenseColumn, {}, false},          // the income stayed as it was
  };
  for (const auto& [row, column, typed, sort] : steps) {
    EXPECT_EQ(EnterCell(reg, visited, row, column), sort) << row << column;
    if (!typed.isEmpty()) reg.SetCell(row, column, typed);
  }
}

// The overdue colour keeps a reference when that row stops being a bank balance.
TEST(RegisterChange, OverdueReferenceMovesUpToABankBalance) {
  Register reg = Sample();
  RegisterHistory history(reg);
  ASSERT_EQ(reg.LastBankBalanceRow(), 3);
  reg.SetCell(3, kCategoryColumn, u"x");
  RecomputeAfterChange(reg, history);
  EXPECT_EQ(reg.LastBankBalanceRow(), 0);
}
