#include "core/cheques/cheque_rules.h"

#include <gtest/gtest.h>

#include "core/register/register.h"
#include "tests/core/register_rows.h"

using namespace cheque;
using namespace cheque::testing;
using namespace Qt::StringLiterals;

namespace {

std::string S(QStringView text) { return text.toString().toStdString(); }

Register WithTypes(std::initializer_list<const char16_t*> types) {
  Register reg;
  for (const char16_t* type : types) {
    const int row = reg.RowCount() - 1;
    reg.SetCell(row, kTypeColumn, type);
    reg.SetCell(row, kDescriptionColumn, u"x");
    reg.AddEmptyRow();
  }
  return reg;
}

}  // namespace

TEST(ChequeRules, NextNumber) {
  const std::pair<const char16_t*, const char16_t*> cases[] = {
      {u"0000099", u"0000100"},  {u"9999999", u"10000000"},
      {u"00000000", u"0000001"}, {u"0000012", u"0000013"},
      {u"5", u"0000006"},        {u"999999999999999999", u"1000000000000000000"},
  };
  for (const auto& [number, next] : cases) {
    EXPECT_EQ(S(NextChequeNumber(number).value_or(QStringLiteral("none"))), S(next)) << S(number);
  }
  for (const char16_t* refused :
       {u"", u"12a", u" 12", u"12 ", u"-5", u"+5", u"1.5", u"١٢", u"1000000000000000000"}) {
    EXPECT_FALSE(NextChequeNumber(refused).has_value()) << S(refused);
  }
}

TEST(ChequeRules, DuplicateByNumberInTheReference) {
  const Register reg = WithTypes({u"אשראי 77", u"שק 00000123", u"שק 0000012"});
  ChequeEntry cheque{u"0000012"_s, u"חדש"_s, u"5"_s, u"1/1/2026"_s, {}};
  EXPECT_EQ(FindDuplicateCheque(reg, cheque), 1);  // the first row that contains it
  cheque.number = u"0000124"_s;
  EXPECT_EQ(FindDuplicateCheque(reg, cheque), -1);
  cheque.number = u"77"_s;
  EXPECT_EQ(FindDuplicateCheque(reg, cheque), 0);
}

TEST(ChequeRules, DuplicateByPayeeAmountAndDate) {
  Register reg = Make({{.expense = u"100", .date = u"5/1/2026", .description = u"Bezeq"},
                       {.income = u"100", .date = u"6/1/2026", .description = u"חשמל"}});
  const struct {
    const char16_t* payee;
    const char16_t* amount;
    const char16_t* date;
    int row;
  } cases[] = {
      {u"Bezeq", u"100", u"5/1/2026", 0},
      {u"BEZEQ", u"100", u"5/1/2026", 0},      // letter case ignored
      {u"Bezeq", u"100.00", u"5/1/2026", -1},  // the amount as text
      {u"Bezeq", u"100", u"05/01/2026", -1},   // the date as text
      {u"Bezeq", u"100", u"6/1/2026", -1},
      {u"חשמל", u"100", u"6/1/2026", -1},  // an income is no cheque
  };
  for (const auto& c : cases) {
    const ChequeEntry cheque{u"0000001"_s,
                             QString::fromUtf16(c.payee),
                             QString::fromUtf16(c.amount),
                             QString::fromUtf16(c.date),
                             {}};
    EXPECT_EQ(FindDuplicateCheque(reg, cheque), c.row) << S(c.payee) << S(c.amount) << S(c.date);
  }
}

TEST(ChequeRules, EnteredAsAnExpenseRow) {
  Register reg = Make({{.balance = u"500", .description = u"יתרת פתיחה"}});
  EnterCheque(reg, {u"0000042"_s, u"ועד הבית"_s, u"120.5"_s, u"7/12/2026"_s, u"דיור\\ועד"_s});
  ASSERT_EQ(reg.RowCount(), 3);
  EXPECT_EQ(S(reg.Cell(1, kExpenseColumn)), "120.5");
  EXPECT_EQ(S(reg.Cell(1, kTypeColumn)), S(u"שק 0000042"));
  EXPECT_EQ(S(reg.Cell(1, kCategoryColumn)), S(u"דיור\\ועד"));
  EXPECT_EQ(S(reg.Cell(1, kDescriptionColumn)), S(u"ועד הבית"));
  EXPECT_EQ(S(reg.Cell(1, kDateColumn)), "7/12/2026");
  for (int column : {kBalanceColumn, kIncomeColumn, kMarkColumn}) {
    EXPECT_TRUE(reg.Cell(1, column).isEmpty()) << column;
  }
  EXPECT_TRUE(reg.RowIsEmpty(2));
  EXPECT_EQ(S(ChequePdfName(u"0000042")), "Cheque0000042.pdf");
}
