#include "core/register/register_checks.h"

#include <gtest/gtest.h>

#include "core/categories/category_tree.h"
#include "core/text/date_text.h"
#include "tests/core/register_rows.h"

using namespace cheque;
using namespace cheque::testing;
using namespace Qt::StringLiterals;

namespace {

const QDate kToday(2026, 12, 7);

// Rows 0..4: descriptions, expenses, incomes, types and dates to search in.
Register SearchRows() {
  Register reg = Make({
      {.expense = u"1500", .date = u"1/12/2026", .description = u"Super Market"},
      {.expense = u"500.25", .date = u"2/12/2026", .description = u"חשמל"},
      {.income = u"500", .date = u"3/12/2026", .description = u"משכורת"},
      {.expense = u"80", .date = u"15/12/2026", .description = u"מכולת"},
      {.expense = u"20", .date = u"5/11/2026", .description = u"קפה"},
  });
  reg.SetCell(3, kTypeColumn, u"שק 0000123");
  return reg;
}

SearchTexts Fields(QString description, QString expense = {}, QString income = {},
                   QString type = {}, QString date = {}) {
  return {description, expense, income, type, date};
}

}  // namespace

TEST(FindNextMatch, FieldsCombineByOrAndTheLastMatchingFieldPicksTheColumn) {
  const Register reg = SearchRows();
  struct Case {
    const char* why;
    SearchTexts fields;
    int start;
    int row;
    int column;
  };
  const Case cases[] = {
      {"contained anywhere: 1500 first", Fields({}, u"500"_s), 0, 0, kExpenseColumn},
      {"the next start finds 500.25 right below", Fields({}, u"500"_s), 1, 1, kExpenseColumn},
      {"ASCII case ignored", Fields(u"market"_s), 0, 0, kDescriptionColumn},
      {"or: the income field matches row 2", Fields(u"zzz"_s, {}, u"500"_s), 2, 2, kIncomeColumn},
      {"both match: the later field decides", Fields(u"Super"_s, u"1500"_s), 0, 0, kExpenseColumn},
      {"type and reference", Fields({}, {}, {}, u"0000123"_s), 0, 3, kTypeColumn},
      {"date text", Fields({}, {}, {}, {}, u"/11/"_s), 0, 4, kDateColumn},
      {"all fields empty find nothing", Fields({}), 0, -1, -1},
      {"past the last match", Fields(u"קפה"_s), 5, -1, -1},
      {"text the code page cannot hold", Fields(u"€"_s), 0, -1, -1},
  };
  for (const Case& c : cases) {
    const SearchMatch match = FindNextMatch(reg, c.start, c.fields);
    EXPECT_EQ(match.row, c.row) << c.why;
    EXPECT_EQ(match.column, c.column) << c.why;
  }
}

TEST(NextUnknownCategoryRow, WalksRowsWhoseCategoryIsNoPathOfTheTree) {
  CategoryTree tree;
  tree.Append(u"בנק"_s, 1);
  tree.Append(u"יתרה"_s, 2);
  tree.Append(u"Misc"_s, 1);
  Register reg = Make({
      {.category = kBank},
      {.category = u"בנק"},   // a group's own path passes
      {.category = u"MISC"},  // case ignored
      {.category = u"רכב\\דלק"},
      {.category = u"יתרה"},  // a category without its group is no path
      {.category = u""},
  });
  std::vector<int> found;
  for (int row = NextUnknownCategoryRow(reg, tree, 0); row >= 0;
       row = NextUnknownCategoryRow(reg, tree, row + 1)) {
    found.push_back(row);
  }
  EXPECT_EQ(found, (std::vector<int>{3, 4, 5}));

  // A stop asked for at a tick ends the walk; ticks come every 20 rows.
  for (int i = 0; i < 40; ++i) {
    reg.SetCell(reg.RowCount() - 1, kCategoryColumn, u"בנק");
    reg.AddEmptyRow();
  }
  std::vector<int> ticks;
  EXPECT_EQ(NextUnknownCategoryRow(reg, tree, 6,
                                   [&](int row) {
                                     ticks.push_back(row);
                                     return row == 40;
                                   }),
            -1);
  EXPECT_EQ(ticks, (std::vector<int>{20, 40}));
}

TEST(CallsForBankBalanceReminder, NeedsElevenRowsNoLateBankBalanceAndMoreThanAMonth) {
  struct Case {
    const char* why;
    int transactions;     // dated one a day from 1/1/2026
    int bank_balance_at;  // -1: none
    int last_day_offset;  // the last row's date, days after row 0
    bool expected;
  };
  const Case cases[] = {
      {"ten transactions and the empty row", 10, -1, 40, true},
      {"nine transactions are too few", 9, -1, 40, false},
      {"31 days are not more than a month", 10, -1, 31, false},
      {"a bank balance at row 1 does not count", 10, 1, 40, true},
      {"a bank balance after row 1 was entered", 10, 2, 40, false},
  };
  for (const Case& c : cases) {
    std::vector<Tx> rows;
    std::vector<QString> dates;
    for (int i = 0; i < c.transactions; ++i) {
      const int offset = i + 1 == c.transactions ? c.last_day_offset : i;
      dates.push_back(DateText(QDate(2026, 1, 1).addDays(offset)));
    }
    for (int i = 0; i < c.transactions; ++i) {
      rows.push_back({.category = i == c.bank_balance_at ? kBank : QStringView(u"x"),
                      .date = dates[i],
                      .mark = u"+"});  // reconciled rows stay where they are
    }
    Register reg = Make(rows);
    reg.SortRegister(kDateColumn, kToday);
    EXPECT_EQ(CallsForBankBalanceReminder(reg, kToday), c.expected) << c.why;
  }
}

TEST(SortRegister, ACancelRequestLeavesTheRowsAndStillReconcilesADateSort) {
  const auto make = [] {
    return Make({
        {.income = u"30", .category = u"x", .date = u"3/1/2026", .mark = u"+"},
        {.income = u"10", .category = u"x", .date = u"2/1/2026"},
        {.balance = u"100", .category = kBank, .date = u"1/1/2026", .mark = u"+"},
    });
  };
  Register reg = make();
  reg.SortRegister(kIncomeColumn, kToday, [] { return true; });
  EXPECT_EQ(reg.Cell(0, kIncomeColumn), u"30"_s);
  EXPECT_TRUE(reg.NeedsSorting());

  reg = make();
  reg.SortRegister(kDateColumn, kToday, [] { return true; });
  EXPECT_EQ(reg.Cell(0, kIncomeColumn), u"30"_s);  // not ordered
  EXPECT_EQ(reg.LastBankBalanceRow(), 2);
  EXPECT_FALSE(reg.NeedsSorting());
}
