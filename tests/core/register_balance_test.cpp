#include <gtest/gtest.h>

#include "core/register/register.h"
#include "core/text/amount.h"
#include "core/text/date_text.h"
#include "tests/core/register_rows.h"

using namespace cheque;
using namespace cheque::testing;
using namespace Qt::StringLiterals;

namespace {

double Moment(int day, int month, int year, double fraction = 0) {
  return static_cast<double>(DayNumber(QDate(year, month, day))) + fraction;
}

}  // namespace

TEST(RunningBalance, FollowsTheRules) {
  struct Case {
    const char* name;
    std::vector<Tx> rows;
    QStringList expected;
  };
  const std::vector<Case> cases = {
      {"bank balance restarts the count",
       {{u"1000", {}, {}, kBank}, {{}, u"200"}, {u"500", {}, {}, kBank}, {{}, {}, u"100"}},
       {u"1000"_s, u"1200"_s, u"500"_s, u"400"_s}},
      {"income wins over expense, even when it is no number",
       {{u"100"}, {{}, u"50", u"30"}, {{}, u"abc", u"30"}},
       {u"100"_s, u"150"_s, u"150"_s}},
      {"an expense written with a minus counts nothing",
       {{u"100"}, {{}, {}, u"-5"}, {{}, {}, u"5"}},
       {u"100"_s, u"100"_s, u"95"_s}},
      {"row 0 is never recomputed, even when it is no number",
       {{u"abc", u"5"}, {{}, u"1"}},
       {u"abc"_s, u"1"_s}},
      {"each row starts from the balance as written",
       {{u"10"}, {{}, u"0.005"}, {{}, u"0.005"}, {{}, u"0.005"}},
       {u"10"_s, u"10"_s, u"10"_s, u"10"_s}},
      {"two decimals once the fraction shows",
       {{u"0"}, {{}, u"12.5"}, {{}, {}, u"15.75"}},
       {u"0"_s, u"12.50"_s, u"-3.25"_s}},
      {"a bank balance that is no number restarts from 0",
       {{u"5"}, {u"x", {}, {}, kBank}, {{}, u"1"}},
       {u"5"_s, u"x"_s, u"1"_s}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Register reg = Make(c.rows);
    reg.RecomputeBalances();
    EXPECT_EQ(Balances(reg), c.expected);
  }
}

TEST(RunningBalance, BlankRowGetsNoBalanceAndIsPassedOver) {
  Register reg;
  reg.LoadFileBytes(
      "100\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n"
      "\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n"
      "\r\n\r\n\r\n\r\n7\r\n\r\n\r\n\r\n",
      u"0");
  reg.RecomputeBalances();
  EXPECT_EQ(Balances(reg), (QStringList{u"100"_s, QString(), u"107"_s}));
  EXPECT_TRUE(reg.RowIsEmpty(1));
}

TEST(GoToDate, ChoosesTheRowForTheMoment) {
  // rows: 0 1/1/2020, 1 5/1/2020, 2 no date, 3 5/1/2020, 4 10/1/2020
  const Register reg = Make({{u"0", {}, {}, {}, u"1/1/2020"},
                             {{}, {}, {}, {}, u"5/1/2020"},
                             {u"7"},
                             {{}, {}, {}, {}, u"5/1/2020"},
                             {{}, {}, {}, {}, u"10/1/2020"}});
  struct Case {
    const char* name;
    double moment;
    int row;
  };
  const Case cases[] = {
      {"before every row", Moment(1, 6, 2019), 0},
      {"during a day: the first row after it", Moment(3, 1, 2020, 0.5), 1},
      {"midnight of a day with rows: the row before the next day", Moment(5, 1, 2020), 3},
      {"later on that day: the next day's row", Moment(5, 1, 2020, 0.25), 4},
      {"after every row: the last row", Moment(20, 1, 2020), 4},
      {"zero: the last row", 0, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(reg.GoToDateRow(c.moment), c.row);
  }
  EXPECT_EQ(Register().GoToDateRow(Moment(1, 1, 2020)), 0);
}

TEST(BankBalanceDifference, IsBalanceAboveMinusRealBalance) {
  const Register reg = Make({{u"1000", {}, {}, kBank},
                             {u"1200.75"},
                             {u"1150.25", {}, {}, kBank},
                             {u"1150.25", {}, {}, kBank},
                             {u"9"}});
  EXPECT_FALSE(reg.BankBalanceDifference(0));  // row 0 has nothing above it
  EXPECT_FALSE(reg.BankBalanceDifference(1));
  EXPECT_EQ(reg.BankBalanceDifference(2), std::optional<QString>(u"50.50"_s));
  EXPECT_EQ(reg.BankBalanceDifference(3), std::optional<QString>(u"0"_s));
  EXPECT_FALSE(reg.BankBalanceDifference(4));
  EXPECT_FALSE(reg.BankBalanceDifference(5));
  EXPECT_FALSE(reg.BankBalanceDifference(99));
}

TEST(RunningBalance, FromAChangedRowAgreesWithTheWholePass) {
  std::vector<Tx> rows = {{u"100", {}, {}, {}}};
  const QStringView amounts[] = {u"5", u"12.5", u"7", u"30", u"1.25"};
  for (int i = 0; i < 60; ++i) {
    if (i % 13 == 7) {
      rows.push_back({amounts[i % 5], {}, {}, kBank});
    } else if (i % 2 == 0) {
      rows.push_back({{}, amounts[i % 5]});
    } else {
      rows.push_back({{}, {}, amounts[i % 5]});
    }
  }
  Register partial = Make(rows);
  partial.RecomputeBalances();
  for (int changed : {1, 7, 8, 20, 59, 60}) {
    SCOPED_TRACE(changed);
    partial.SetCell(changed, kIncomeColumn, u"");
    partial.SetCell(changed, kExpenseColumn, u"3.33");
    if (changed == 8) partial.SetCell(changed, kBalanceColumn, u"999");  // a bank balance
    partial.RecomputeBalancesFrom(changed);
    Register whole = partial;
    whole.RecomputeBalances();
    EXPECT_EQ(Balances(partial), Balances(whole));
  }
}

TEST(RunningBalance, ASumBeyondTheRangeOfNumbersIsShownAndReportedNeverZero) {
  const QString big = FormatAmount(1e308);
  const QString overflow = QString::fromLatin1(kBalanceOverflowText);
  struct Case {
    const char* name;
    std::vector<Tx> rows;
    QStringList expected;
    int first_overflow;
  };
  const std::vector<Case> cases = {
      {"two incomes of 1e308; a bank balance starts again",
       {{u"0"}, {{}, u"1e308"}, {{}, u"1e308"}, {{}, {}, u"5"}, {u"7", {}, {}, kBank}, {{}, u"1"}},
       {u"0"_s, big, overflow, overflow, u"7"_s, u"8"_s},
       2},
      {"expenses below the range",
       {{u"-1e308"}, {{}, {}, u"1e308"}, {{}, u"1"}},
       {u"-1e308"_s, overflow, overflow},
       1},
      {"the largest sums that fit",
       {{u"0"}, {{}, u"1e308"}, {{}, {}, u"1e308"}},
       {u"0"_s, big, u"0"_s},
       -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Register reg = Make(c.rows);
    EXPECT_EQ(reg.RecomputeBalances(), c.first_overflow);
    EXPECT_EQ(Balances(reg), c.expected);
    EXPECT_EQ(reg.FirstBalanceOverflowRow(), c.first_overflow);
  }
  // A pass from a later row goes on from the overflow, not from 0; the
  // difference beside the bank balance shows it too.
  Register reg = Make({{u"0", {}, {}, kBank, u"1/1/2020"},
                       {{}, u"1e308", {}, {}, u"2/1/2020", u"+"},
                       {{}, u"1e308", {}, {}, u"3/1/2020", u"+"},
                       {{}, u"1", {}, {}, u"4/1/2020", u"+"},
                       {u"5", {}, {}, kBank, u"5/1/2020"}});
  reg.RecomputeBalances();
  reg.SetCell(3, kIncomeColumn, u"2");
  EXPECT_EQ(reg.RecomputeBalancesFrom(3), 3);
  EXPECT_EQ(reg.Cell(3, kBalanceColumn), overflow);
  EXPECT_EQ(reg.BankBalanceDifference(4), std::optional<QString>(overflow));
  // The date sort runs the pass; the window then asks for the row and the message.
  reg.SortRegister(kDateColumn, QDate(2020, 6, 1));
  ASSERT_EQ(reg.FirstBalanceOverflowRow(), 2);
  const QString message = BalanceOverflowMessage(reg, 2);
  EXPECT_TRUE(message.contains(u"3/1/2020")) << message.toStdString();
  EXPECT_TRUE(message.startsWith(u"!!! ")) << message.toStdString();
}
