#include "core/register/register_edits.h"

#include <gtest/gtest.h>

#include "tests/core/register_rows.h"

using namespace cheque;
using namespace cheque::testing;
using namespace Qt::StringLiterals;

namespace {

// Columns 1 to 8 of a row, joined by "|".
QString RowText(const Register& reg, int row) {
  QStringList cells;
  for (int column = kBalanceColumn; column <= kMarkColumn; ++column) {
    cells << reg.Cell(row, column);
  }
  return cells.join(u'|');
}

// A bank balance, a reconciled expense, a forecast and an open income.
Register Sample() {
  return Make({{u"100", {}, {}, kBank, u"1/1/2000", u"+", u"יתרת פתיחה"},
               {u"95", {}, u"5", u"x", u"2/1/2000", u"+", u"old"},
               {u"95", {}, {}, u"x", u"3/1/2000", u"?"},
               {u"105", u"10", {}, u"x", u"4/1/2000", {}}});
}

}  // namespace

TEST(RegisterEdits, WriteSeries) {
  struct Case {
    const char* name;
    int row;
    SeriesEntry entry;
    std::vector<int> rows;
    QStringList texts;  // of the rows written
  };
  using enum RepeatPeriod;
  const QDate today(2000, 1, 31);
  const Case cases[] = {
      {"the first row where the dialog was, every further one at the end",
       1,
       {QDate(2000, 1, 31), kMonth, 3, u"rent"_s, {}, u"50"_s, u"דיור"_s, u"שק 12"_s},
       {1, 4, 5},
       {u"95||50|שק 12|דיור|rent|31/1/2000|+"_s, u"||50|שק 12|דיור|rent|29/2/2000|"_s,
        u"||50|שק 12|דיור|rent|31/3/2000|"_s}},
      {"a first date after today marks every row",
       4,
       {QDate(2000, 2, 1), kWeek, 2, u"d"_s, u"7"_s, {}, u"c"_s, u"אחר "_s},
       {4, 5},
       {u"|7||אחר |c|d|1/2/2000|?"_s, u"|7||אחר |c|d|8/2/2000|?"_s}},
      {"so does the forecast box",
       2,
       {QDate(2000, 1, 31), kWeek, 1, u"d"_s, u"7"_s, {}, u"c"_s, u"אחר "_s, true},
       {2},
       {u"95|7||אחר |c|d|31/1/2000|?"_s}},
      {"a bank balance: once, in the balance column, income first, marked +",
       3,
       {QDate(2000, 1, 31), kMonth, 4, u"b"_s, u"900"_s, u"800"_s, u"בנק\\יתרה"_s, u"יתרה "_s},
       {3},
       {u"900|||יתרה |בנק\\יתרה|b|31/1/2000|+"_s}},
      {"no amount: nothing", 4, {QDate(2000, 1, 31), kMonth, 3, u"d"_s}, {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Register reg = Sample();
    EXPECT_EQ(WriteSeries(reg, c.row, c.entry, today), c.rows);
    QStringList texts;
    for (const int row : c.rows) texts << RowText(reg, row);
    EXPECT_EQ(texts, c.texts);
    EXPECT_TRUE(reg.RowIsEmpty(reg.RowCount() - 1));
    EXPECT_EQ(reg.RowCount(), std::max(5, c.rows.empty() ? 0 : c.rows.back() + 2));
  }
}

TEST(RegisterEdits, ToggleMark) {
  Register reg = Sample();
  reg.SetCell(2, kCategoryColumn, kBank);  // a bank balance that lost its "+"
  reg.SetCell(2, kMarkColumn, {});
  // Row, whether it is a transaction row, the mark after the toggle.
  const std::tuple<int, bool, QString> toggles[] = {
      {1, true, u""_s},  {1, true, u"+"_s},
      {3, true, u"+"_s}, {0, true, u"+"_s},  // a bank balance keeps its "+"
      {2, true, u"+"_s},                     // and gets it back
      {4, false, u""_s}};
  for (const auto& [row, toggled, mark] : toggles) {
    SCOPED_TRACE(row);
    reg.SetNeedsSorting(false);
    EXPECT_EQ(ToggleMark(reg, row), toggled);
    EXPECT_EQ(reg.Cell(row, kMarkColumn), mark);
    EXPECT_EQ(reg.NeedsSorting(), toggled);
  }
}

TEST(RegisterEdits, WhichCellsTakeTheCursorAndTyping) {
  const Register reg = Sample();
  // Columns 0 to 8 of a bank balance, a transaction and the empty last row.
  const std::tuple<int, const char*, const char*> cases[] = {
      {0, "011111100", "011100100"}, {1, "001111100", "001100100"}, {4, "001111100", "001100100"}};
  for (const auto& [row, selectable, editable] : cases) {
    for (int column = 0; column < kRegisterColumnCount; ++column) {
      EXPECT_EQ(CellIsSelectable(reg, row, column), selectable[column] == '1') << row << column;
      EXPECT_EQ(CellIsEditableInPlace(reg, row, column), editable[column] == '1') << row << column;
    }
  }
  EXPECT_FALSE(CellIsSelectable(reg, 5, kDescriptionColumn));
}

TEST(RegisterEdits, TypingInPlace) {
  using enum CellEditRefusal;
  // Row, column, the text typed; the refusal, what the cell then shows, the balances.
  const std::tuple<int, int, QString, CellEditRefusal, QString, QStringList> cases[] = {
      {3, kExpenseColumn, u"3"_s, kBothAmounts, u""_s, {u"100"_s, u"95"_s, u"95"_s, u"105"_s}},
      {3, kIncomeColumn, u"2x0"_s, kNotNumeric, u"20"_s, {u"100"_s, u"95"_s, u"95"_s, u"115"_s}},
      // Text in the last row adds the next empty one.
      {4, kExpenseColumn, u"5"_s, kNone, u"5"_s, {u"100"_s, u"95"_s, u"95"_s, u"105"_s, u"100"_s}}};
  for (const auto& [row, column, typed, refusal, shown, balances] : cases) {
    Register reg = Sample();
    const CellEdit edit = EditCellInPlace(reg, row, column, typed);
    EXPECT_EQ(edit.refusal, refusal);
    EXPECT_EQ(edit.text, shown);
    EXPECT_EQ(edit.row_added, row == 4);
    EXPECT_EQ(Balances(reg), balances);
    EXPECT_TRUE(reg.RowIsEmpty(reg.RowCount() - 1));
  }
}

TEST(RegisterEdits, CopyRowToEndAndRemoveIt) {
  Register reg = Sample();
  // A byte the code page leaves undefined is copied all the same.
  reg.SetRawCell(1, kDescriptionColumn, "bad \xDB byte");
  EXPECT_EQ(CopyRowToEnd(reg, 0).row, -1);  // a bank balance
  EXPECT_EQ(CopyRowToEnd(reg, 4).row, -1);  // the empty last row
  const RowCopy copy = CopyRowToEnd(reg, 1);
  ASSERT_EQ(copy.row, 4);
  EXPECT_EQ(reg.RawRecord(4), "95\r\nx\r\n\r\n2/1/2000\r\n\r\n5\r\nbad \xDB byte\r\n\r\n");
  // Whether the dialog's OK appended the next empty row, a changed description,
  // whether the copy goes, the rows then.
  const std::tuple<bool, QString, bool, int> cases[] = {
      {false, {}, true, 5}, {true, {}, true, 5}, {true, u"new"_s, false, 6}};
  for (const auto& [confirmed, description, removed, rows_after] : cases) {
    Register edited = reg;
    if (confirmed) edited.AddEmptyRow();
    if (!description.isEmpty()) edited.SetCell(copy.row, kDescriptionColumn, description);
    EXPECT_EQ(RemoveCopyIfUnchanged(edited, copy), removed);
    EXPECT_EQ(edited.RowCount(), rows_after);
    EXPECT_TRUE(edited.RowIsEmpty(edited.RowCount() - 1));
  }
}

TEST(RegisterEdits, DeleteRow) {
  using enum RowRemoval;
  const QStringList kept = {u"100"_s, u"95"_s, u"95"_s, u"105"_s};
  const std::tuple<int, RowRemoval, int, QStringList> cases[] = {
      {0, kRefused, 5, kept},  // the opening balance
      {1, kRemoved, 4, {u"100"_s, u"100"_s, u"110"_s}},
      {4, kCleared, 5, kept}};
  for (const auto& [row, removal, rows_after, balances] : cases) {
    Register reg = Sample();
    reg.SetCell(4, kDescriptionColumn, u"typed");
    reg.SetNeedsSorting(false);
    EXPECT_EQ(DeleteRow(reg, row), removal);
    EXPECT_EQ(reg.RowCount(), rows_after);
    EXPECT_EQ(Balances(reg), balances);
    EXPECT_EQ(reg.RowIsEmpty(reg.RowCount() - 1), removal == kCleared);
    EXPECT_FALSE(reg.NeedsSorting());
  }
}
