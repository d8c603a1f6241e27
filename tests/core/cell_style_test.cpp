#include "core/register/cell_style.h"

#include <gtest/gtest.h>

#include "core/register/register.h"
#include "tests/core/register_rows.h"

using namespace cheque;
using cheque::testing::kBank;
using cheque::testing::Tx;

// The case tables are laid out by hand, a row of a table a line.
// clang-format off
namespace c = cheque::cell_colour;

namespace {

// The order of the rows: 1 (true) date sorted, 0 (false) sorted since by
// another column, 2 date sorted and then edited, which asks for a new sort.
Register Make(const std::vector<Tx>& rows, int order = 1) {
  Register reg = cheque::testing::Make(rows);
  reg.SetNeedsSorting(false);
  if (order == 0) reg.SortRegister(kCategoryColumn, QDate(2026, 12, 7));
  if (order == 2) reg.SetNeedsSorting(true);
  return reg;
}

const CellStyleContext kContext{3000, QDate(2026, 12, 7)};

}  // namespace

TEST(CellStyle, FollowsTheDrawingRulesInOrder) {
  struct Case {
    const char* name;
    std::vector<Tx> rows;
    int date_sorted;
    int row, column;
    bool window_brush;
    uint32_t brush, text;
    bool bold;
  };
  const std::vector<Case> cases = {
      {"beyond the credit line: bold on yellow, green text",
       {{u"0", {}, {}, {}, u"1/1/2026", u"+"}, {u"-5000", {}, u"5000", {}, u"1/12/2026", u"+"}},
       true, 1, kBalanceColumn, false, c::kYellow, c::kGreen, true},
      {"negative within the credit line: red",
       {{u"0", {}, {}, {}, u"1/1/2026", u"+"}, {u"-1000", {}, u"1000", {}, u"1/12/2026", u"+"}},
       true, 1, kBalanceColumn, true, 0, c::kRed, false},
      {"a positive balance above the credit line is green too",
       {{u"0", {}, {}, {}, u"1/1/2026", u"+"}, {u"5000", u"5000", {}, {}, u"1/12/2026", u"+"}},
       true, 1, kBalanceColumn, true, 0, c::kGreen, false},
      {"a reconciled row is grey",
       {{u"0", {}, {}, {}, u"1/1/2026", u"+"}, {u"10", u"10", {}, {}, u"1/12/2026", u"+"}},
       true, 1, kDescriptionColumn, true, 0, c::kGrey, false},
      {"an open row dated before today is purple while sorted",
       {{u"0", {}, {}, {}, u"1/1/2026", u"+"}, {u"10", u"10", {}, {}, u"1/12/2026"}},
       true, 1, kDescriptionColumn, true, 0, c::kPurple, false},
      {"no purple while the rows are sorted by another column",
       {{u"0", {}, {}, {}, u"1/1/2026", u"+"}, {u"10", u"10", {}, {}, u"1/12/2026"}},
       false, 1, kDescriptionColumn, true, 0, c::kBlack, false},
      {"an edit that asks for a new date sort keeps the purple",
       {{u"0", {}, {}, {}, u"1/1/2026", u"+"}, {u"10", u"10", {}, {}, u"1/12/2026"}},
       2, 1, kDescriptionColumn, true, 0, c::kPurple, false},
      {"an open row dated after today stays black",
       {{u"0", {}, {}, {}, u"1/1/2026", u"+"}, {u"10", u"10", {}, {}, u"8/12/2026"}},
       true, 1, kDescriptionColumn, true, 0, c::kBlack, false},
      {"purple outranks red",
       {{u"0", {}, {}, {}, u"1/1/2026", u"+"}, {u"-10", {}, u"10", {}, u"1/12/2026"}},
       true, 1, kExpenseColumn, true, 0, c::kPurple, false},
      {"the first row is never purple",
       {{u"0", {}, {}, {}, u"1/1/2026"}}, true, 0, kDescriptionColumn, true, 0, c::kBlack, false},
      {"a bank balance: grey with white text",
       {{u"0", {}, {}, {}, u"1/1/2026", u"+"}, {u"700", {}, {}, kBank, u"30/11/2026", u"+"}},
       true, 1, kBalanceColumn, false, c::kGrey, c::kWhite, false},
      {"a negative bank balance beyond the credit line: yellow wins, text green",
       {{u"0", {}, {}, {}, u"1/1/2026", u"+"}, {u"-4000", {}, {}, kBank, u"30/11/2026", u"+"}},
       true, 1, kBalanceColumn, false, c::kYellow, c::kGreen, true},
      {"a negative bank balance within the line: silver text turned white on grey",
       {{u"0", {}, {}, {}, u"1/1/2026", u"+"}, {u"-40", {}, {}, kBank, u"30/11/2026", u"+"}},
       true, 1, kBalanceColumn, false, c::kGrey, c::kWhite, false},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    const Register reg = Make(test.rows, test.date_sorted);
    const CellStyle style = RegisterCellStyle(reg, test.row, test.column, kContext);
    EXPECT_EQ(style.window_brush, test.window_brush);
    if (!test.window_brush) {
      EXPECT_EQ(style.brush, test.brush);
    }
    EXPECT_EQ(style.text_colour, test.text);
    EXPECT_EQ(style.bold, test.bold);
  }
}

TEST(CellStyle, PurpleUpToTheLastBankBalance) {
  // Opening balance, income 10/1 (+), bank balance 31/1, expense 5/1, expense 2/2.
  Register reg = Make({{u"0", {}, {}, {}, u"1/1/2026", u"+"},
                       {{}, {}, u"5", {}, u"5/1/2026"},
                       {{}, u"7", {}, {}, u"10/1/2026", u"+"},
                       {u"100", {}, {}, kBank, u"31/1/2026", u"+"},
                       {{}, {}, u"9", {}, u"2/2/2026"}});
  reg.SortRegister(kDateColumn, kContext.today);
  ASSERT_EQ(reg.Cell(3, kDateColumn), u"5/1/2026");
  EXPECT_EQ(RegisterCellStyle(reg, 3, kDescriptionColumn, kContext).text_colour, c::kPurple);
  EXPECT_EQ(RegisterCellStyle(reg, 4, kDescriptionColumn, kContext).text_colour, c::kBlack);
}

TEST(CellStyle, MonthAndYearLines) {
  struct Case {
    QStringView here, next;
    bool month_line, year_line;
  };
  const Case cases[] = {
      {u"3/5/2026", u"28/5/2026", false, false},
      {u"31/5/2026", u"1/6/2026", true, false},
      {u"31/12/2025", u"1/1/2026", true, true},
      {u"1/12/2025", u"1/12/2026", true, true},  // same month, a year on
      {u"1/6/2026", u"1/3/2026", false, false},  // out of order: nothing later
      {u"1/6/2026", {}, false, false},           // no date below
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.here.toString().toStdString() + " " + test.next.toString().toStdString());
    const Register reg = Make({{u"0", {}, {}, {}, test.here}, {u"0", {}, {}, {}, test.next}});
    const CellStyle style = RegisterCellStyle(reg, 0, kDescriptionColumn, kContext);
    EXPECT_EQ(style.month_line, test.month_line);
    EXPECT_EQ(style.year_line, test.year_line);
  }
}

TEST(CellStyle, TextPlacementAndTheMarkColumn) {
  struct Case {
    QStringView text;
    QStringView shown;
    int indent;
  };
  const Case cases[] = {
      {u"מזון", u"מזון", 0},
      {u"      מזון", u"מזון", 30},
      {u"            מזון ", u"מזון", 60},
      {u"     מזון", u"     מזון", 0},  // five blanks are no indent
      {u"א      ב", u"אב", 30},
  };
  for (const Case& test : cases) {
    const PlacedText placed = PlaceCellText(test.text);
    EXPECT_EQ(placed.text, test.shown.toString());
    EXPECT_EQ(placed.indent, test.indent);
  }
  const Register reg = Make({{u"0", {}, {}, {}, u"1/1/2026", u"+"}, {u"0", {}, {}, {}, u"2/1/2026"}});
  EXPECT_EQ(RegisterCellStyle(reg, 0, kMarkColumn, kContext).text.text, u"ok");
  EXPECT_EQ(RegisterCellStyle(reg, 1, kMarkColumn, kContext).text.text, u" ");
}

TEST(CellStyle, TotalsRowOfADetailGrid) {
  Register reg = Make({{u"0", {}, {}, {}, u"1/1/2026", u"+"}});
  reg.SetCell(1, kDescriptionColumn, u"סך הכל");
  const CellStyle style = RegisterCellStyle(reg, 1, kIncomeColumn, kContext);
  EXPECT_FALSE(style.window_brush);
  EXPECT_EQ(style.brush, c::kSilver);
  EXPECT_TRUE(style.total_frame);
}
// clang-format on
