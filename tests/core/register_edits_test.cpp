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
    QDate today;
    std::vector<int> rows;
    QStringList texts;  // of the rows written
  };
  using enum RepeatPeriod;
  const QDate today(2000, 1, 31);
  const Case cases[] = {
      {"the first row where the dialog was, every further one at the end", 1,
       {QDate(2000, 1, 31), kMonth, 3, u"rent"_s, {}, u"50"_s, u"דיור"_s, u"שק 12"_s},
       today, {1, 4, 5},
       {u"95||50|שק 12|דיור|rent|31/1/2000|+"_s, u"||50|שק 12|דיור|rent|29/2/2000|"_s,
        u"||50|שק 12|דיור|rent|31/3/2000|"_s}},
      {"a first date after today marks every row", 4,
       {QDate(2000, 2, 1), kWeek, 2, u"d"_s, u"7"_s, {}, u"c"_s, u"אחר "_s}, today, {4, 5},
       {u"|7||אחר |c|d|1/2/2000|?"_s, u"|7||אחר |c|d|8/2/2000|?"_s}},
      {"so does the forecast box", 2,
       {QDate(2000, 1, 31), kWeek, 1, u"d"_s, u"7"_s, {}, u"c"_s, u"אחר "_s, true}, today, {2},
       {u"95|7||אחר |c|d|31/1/2000|?"_s}},
      {"a bank balance: once, in the balance column, income first, marked +", 3,
       {QDate(2000, 1, 31), kMonth, 4, u"b"_s, u"900"_s, u"800"_s, u"בנק\\יתרה"_s, u"יתרה "_s},
       today, {3}, {u"900|||יתרה |בנק\\יתרה|b|31/1/2000|+"_s}},
      {"no amount: nothing", 4, {QDate(2000, 1, 31), kMonth, 3, u"d"_s}, today, {}, {}},
      {"a count of 0: nothing", 4,
       {QDate(2000, 1, 31), kMonth, 0, u"d"_s, u"1"_s}, today, {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Register reg = Sample();
    EXPECT_EQ(WriteSeries(reg, c.row, c.entry, c.today), c.rows);
    QStringList texts;
    for (const int row : c.rows) texts << RowText(reg, row);
    EXPECT_EQ(texts, c.texts);
    EXPECT_TRUE(reg.RowIsEmpty(reg.RowCount() - 1));
    EXPECT_EQ(reg.RowCount(), std::max(5, c.rows.empty() ? 0 : c.rows.back() + 2));
  }
}

TEST(RegisterEdits, MarksAndTheirToggle) {
  Register reg = Sample();
  reg.SetCell(2, kCategoryColumn, kBank);  // a bank balance that lost its "+"
  reg.SetCell(2, kMarkColumn, {});
  const bool ok[] = {true, true, false, false, false};
  for (int row = 0; row < reg.RowCount(); ++row) EXPECT_EQ(ShowsOk(reg, row), ok[row]) << row;
  EXPECT_EQ(MarkStripRow(reg, 2, 1), 3);
  EXPECT_EQ(MarkStripRow(reg, 2, 2), -1);  // the empty last row

  // Row, what the toggle says, the mark after it.
  const std::tuple<int, bool, QString> toggles[] = {
      {1, true, u""_s}, {1, true, u"+"_s}, {3, true, u"+"_s},
      {0, true, u"+"_s},  // a bank balance keeps its "+"
      {2, true, u"+"_s},  // and gets it back
      {4, false, u""_s},  {-1, false, u""_s}};
  for (const auto& [row, toggled, mark] : toggles) {
    SCOPED_TRACE(row);
    reg.SetNeedsSorting(false);
    EXPECT_EQ(ToggleMark(reg, row), toggled);
    EXPECT_EQ(reg.Cell(row, kMarkColumn), mark);
    EXPECT_EQ(reg.NeedsSorting(), toggled);
  }
  reg.SetCell(0, kMarkColumn, u"?");
  EXPECT_TRUE(RestoreBankBalanceMark(reg, 0));
  EXPECT_FALSE(RestoreBankBalanceMark(reg, 0));
  EXPECT_FALSE(RestoreBankBalanceMark(reg, 3));
  EXPECT_EQ(reg.Cell(0, kMarkColumn), u"+"_s);
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
  struct Case {
    const char* name;
    int row;
    int column;
    QString typed;
    CellEditRefusal refusal;
    QString shown;
    int rows_after;
    QStringList balances;
  };
  using enum CellEditRefusal;
  const Case cases[] = {
      {"an expense where the row has an income is cleared", 3, kExpenseColumn, u"3"_s,
       kBothAmounts, u""_s, 5, {u"100"_s, u"95"_s, u"95"_s, u"105"_s}},
      {"an amount loses its letters", 3, kIncomeColumn, u"2x0"_s, kNotNumeric, u"20"_s, 5,
       {u"100"_s, u"95"_s, u"95"_s, u"115"_s}},
      {"a real balance restarts the running balance", 0, kBalanceColumn, u"50"_s, kNone, u"50"_s,
       5, {u"50"_s, u"45"_s, u"45"_s, u"55"_s}},
      {"text in the last row adds the next empty one", 4, kExpenseColumn, u"5"_s, kNone, u"5"_s,
       6, {u"100"_s, u"95"_s, u"95"_s, u"105"_s, u"100"_s}},
      {"the category changes in the dialog only", 3, kCategoryColumn, u"y"_s, kNone, u"x"_s, 5,
       {u"100"_s, u"95"_s, u"95"_s, u"105"_s}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Register reg = Sample();
    const CellEdit edit = EditCellInPlace(reg, c.row, c.column, c.typed);
    EXPECT_EQ(edit.refusal, c.refusal);
    EXPECT_EQ(edit.text, c.shown);
    EXPECT_EQ(reg.Cell(c.row, c.column), c.shown);
    EXPECT_EQ(edit.row_added, c.rows_after == 6);
    EXPECT_EQ(reg.RowCount(), c.rows_after);
    EXPECT_EQ(Balances(reg), c.balances);
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
  EXPECT_EQ(reg.RawRecord(4), std::string_view("95\r\nx\r\n\r\n2/1/2000\r\n\r\n5\r\nbad \xDB byte\r\n\r\n"));

  struct Case {
    const char* name;
    bool confirmed;  // the dialog's OK appends the next empty row
    QString description;
    bool removed;
    int rows_after;
  };
  const Case cases[] = {{"cancelled: the last row is cleared again", false, {}, true, 5},
                        {"confirmed unchanged: removed", true, {}, true, 5},
                        {"changed: kept", true, u"new"_s, false, 6}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Register edited = reg;
    if (c.confirmed) edited.AddEmptyRow();
    if (!c.description.isEmpty()) edited.SetCell(copy.row, kDescriptionColumn, c.description);
    EXPECT_EQ(RemoveCopyIfUnchanged(edited, copy), c.removed);
    EXPECT_EQ(edited.RowCount(), c.rows_after);
    EXPECT_TRUE(edited.RowIsEmpty(edited.RowCount() - 1));
  }
}

TEST(RegisterEdits, DeleteRow) {
  using enum RowRemoval;
  const std::tuple<int, RowRemoval, int, QStringList> cases[] = {
      {0, kRefused, 5, {u"100"_s, u"95"_s, u"95"_s, u"105"_s}},  // the opening balance
      {1, kRemoved, 4, {u"100"_s, u"100"_s, u"110"_s}},
      {4, kCleared, 5, {u"100"_s, u"95"_s, u"95"_s, u"105"_s}},
      {9, kRefused, 5, {u"100"_s, u"95"_s, u"95"_s, u"105"_s}}};
  for (const auto& [row, removal, rows_after, balances] : cases) {
    SCOPED_TRACE(row);
    Register reg = Sample();
    reg.SetCell(4, kDescriptionColumn, u"typed");
    reg.SetNeedsSorting(false);
    EXPECT_EQ(DeleteRow(reg, row), removal);
    EXPECT_EQ(reg.RowCount(), rows_after);
    EXPECT_EQ(Balances(reg), balances);
    EXPECT_TRUE(reg.RowIsEmpty(reg.RowCount() - 1) || row != 4);
    EXPECT_FALSE(reg.NeedsSorting());
  }
}
