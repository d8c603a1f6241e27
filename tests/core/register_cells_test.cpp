#include <gtest/gtest.h>

#include "core/register/register.h"

using namespace cheque;
using namespace Qt::StringLiterals;

TEST(RegisterCells, SetCellStoresWhatTheFileCanHold) {
  struct Case {
    const char* name;
    int row;
    int column;
    QString text;
    bool accepted;
    QString stored;
  };
  const Case cases[] = {
      {"Hebrew and the shekel sign", 0, kDescriptionColumn, u"שכר דירה ₪"_s, true, u"שכר דירה ₪"_s},
      {"line breaks would split the record", 0, kDescriptionColumn, u"a\r\nb\nc\rd"_s, true,
       u"a  b c d"_s},
      {"Ctrl-Z would end the file", 0, kTypeColumn, u"x\u001Ay"_s, true, u"x y"_s},
      {"no Windows-1255 byte", 0, kDescriptionColumn, u"漢字"_s, false, u"before"_s},
      {"column 0 is not stored", 0, kKeyColumn, u"5"_s, false, QString()},
      {"no such column", 0, 9, u"5"_s, false, QString()},
      {"no such row", 3, kDescriptionColumn, u"5"_s, false, QString()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Register reg;
    reg.SetCell(0, kDescriptionColumn, u"before");
    EXPECT_EQ(reg.SetCell(c.row, c.column, c.text), c.accepted);
    EXPECT_EQ(reg.Cell(c.row, c.column), c.stored);
    // Whatever was refused, the row still saves as one record of 8 lines.
    EXPECT_EQ(reg.FileBytes().count("\r\n"), 8);
  }
}

TEST(RegisterCells, EveryColumnKeepsItsPlaceInTheRecord) {
  Register reg;
  for (int column = 1; column < kRegisterColumnCount; ++column) {
    reg.SetCell(0, column, QString::number(column));
  }
  EXPECT_EQ(reg.FileBytes(), QByteArray("1\r\n5\r\n4\r\n7\r\n2\r\n3\r\n6\r\n8\r\n"));
  reg.SetCell(0, kCategoryColumn, u"longer category");
  reg.SetCell(0, kBalanceColumn, {});
  EXPECT_EQ(reg.FileBytes(), QByteArray("\r\nlonger category\r\n4\r\n7\r\n2\r\n3\r\n6\r\n8\r\n"));
}

TEST(RegisterCells, RemoveRowKeepsTheLastBankBalanceRow) {
  Register reg;
  reg.LoadFileBytes(
      "1\r\n\r\n\r\n1/1/2020\r\n\r\n\r\na\r\n+\r\n"
      "2\r\n\xE1\xF0\xF7\\\xE9\xFA\xF8\xE4\r\n\r\n2/1/2020\r\n\r\n\r\nbank1\r\n+\r\n"
      "3\r\n\xE1\xF0\xF7\\\xE9\xFA\xF8\xE4\r\n\r\n3/1/2020\r\n\r\n\r\nbank2\r\n+\r\n"
      "4\r\n\r\n\r\n4/1/2020\r\n\r\n\r\nd\r\n\r\n",
      u"0");
  reg.SortRegister(kDateColumn, QDate(2020, 3, 1));
  ASSERT_EQ(reg.LastBankBalanceRow(), 2);
  reg.RemoveRow(0);
  EXPECT_EQ(reg.LastBankBalanceRow(), 1);
  EXPECT_EQ(reg.Cell(reg.LastBankBalanceRow(), kDescriptionColumn), u"bank2"_s);
  reg.RemoveRow(1);  // the bank balance itself: the one above takes over
  EXPECT_EQ(reg.Cell(reg.LastBankBalanceRow(), kDescriptionColumn), u"bank1"_s);
  reg.RemoveRow(3);  // the last empty row
  reg.RemoveRow(0);
  reg.RemoveRow(0);
  reg.RemoveRow(0);
  EXPECT_EQ(reg.RowCount(), 1);  // never fewer than one row
  EXPECT_EQ(reg.LastBankBalanceRow(), -1);
}

TEST(RegisterCells, LocateRowMatchesAllFourTexts) {
  Register reg;
  const auto add = [&](QStringView description, QStringView date, QStringView category,
                       QStringView type) {
    const int r = reg.RowCount() - 1;
    reg.SetCell(r, kDescriptionColumn, description);
    reg.SetCell(r, kDateColumn, date);
    reg.SetCell(r, kCategoryColumn, category);
    reg.SetCell(r, kTypeColumn, type);
    reg.AddEmptyRow();
  };
  add(u"Rent", u"1/1/2020", u"בית\\שכירות", u"שק 1");
  add(u"Rent", u"1/2/2020", u"בית\\שכירות", u"שק 2");
  add(u"rent", u"1/2/2020", u"בית\\שכירות", u"שק 2");
  add(u"?", u"?", u"?", u"?");
  EXPECT_EQ(reg.LocateRow(u"RENT", u"1/2/2020", u"בית\\שכירות", u"שק 2"), 1);
  EXPECT_EQ(reg.LocateRow(u"Rent", u"1/1/2020", u"בית\\שכירות", u"שק 2"), -1);
  EXPECT_EQ(reg.LocateRow(u"漢", u"漢", u"漢", u"漢"), -1);  // not the row of "?"
}

TEST(RegisterCells, CopiesAndGrowingRowsKeepTheirBytes) {
  Register reg;
  reg.LoadFileBytes(
      "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n"
      "a\r\nb\r\nc\r\nd\r\ne\r\nf\r\ng\r\nh\r\n",
      u"0");
  Register copy = reg;
  copy.SetCell(0, kDescriptionColumn, u"changed in the copy");
  EXPECT_EQ(reg.Cell(0, kDescriptionColumn), u"7"_s);

  // Many rows growing again and again move about and are packed together.
  QByteArray expected;
  for (int round = 1; round <= 300; ++round) {
    for (int r = 0; r < 2; ++r) {
      const QString text = QString(round * 10, QChar(u'ש'));
      ASSERT_TRUE(reg.SetCell(r, kDescriptionColumn, text));
      if (round % 7 == 0) reg.SetCell(r, kBalanceColumn, QString::number(round));
    }
  }
  Register assigned;
  assigned = reg;
  for (const Register* r : {&reg, &assigned}) {
    EXPECT_EQ(r->Cell(1, kDescriptionColumn), QString(3000, QChar(u'ש')));
    EXPECT_EQ(r->Cell(1, kBalanceColumn), u"294"_s);
    EXPECT_EQ(r->Cell(1, kMarkColumn), u"h"_s);
    EXPECT_EQ(r->RowCount(), 3);
  }
}
