#include <gtest/gtest.h>
#include <quazip.h>
#include <quazipfile.h>

#include <QDir>
#include <QTemporaryDir>

#include "core/import/column_mapping.h"
#include "core/import/import_plan.h"
#include "core/import/statement_table.h"
#include "core/text/codec.h"
#include "tests/core/register_rows.h"

namespace cheque {
namespace {

using namespace Qt::StringLiterals;

using testing::Make;
using testing::Tx;
using Rows = std::vector<std::vector<QString>>;

const QDate kToday(2024, 3, 1);

QByteArray Win1255(const QString& text) { return EncodeWin1255Bytes(text); }

Rows Cells(std::initializer_list<QStringList> rows) {
  Rows out;
  for (const QStringList& row : rows) out.emplace_back(row.begin(), row.end());
  return out;
}

TEST(StatementCsv, EncodingsSeparatorsAndQuotes) {
  struct Case {
    const char* why;
    QByteArray bytes;
    Rows expected;
  };
  const Case cases[] = {
      {"UTF-8, comma", u"תאריך,סכום\r\n1/2/2024,-50\r\n"_s.toUtf8(),
       Cells({{u"תאריך"_s, u"סכום"_s}, {u"1/2/2024"_s, u"-50"_s}})},
      {"Windows-1255, semicolon", Win1255(u"תאריך;תאור\n1/2/2024;חשמל\n"_s),
       Cells({{u"תאריך"_s, u"תאור"_s}, {u"1/2/2024"_s, u"חשמל"_s}})},
      {"TAB; a comma inside a field is text", Win1255(u"a\tb,c\n1\t2,5\n"_s),
       Cells({{u"a"_s, u"b,c"_s}, {u"1"_s, u"2,5"_s}})},
      {"quoted comma, doubled quote and a line break in one field",
       "\"x, y\",\"say \"\"hi\"\"\",\"two\r\nlines\"\r\nz,,\r\n",
       Cells({{u"x, y"_s, u"say \"hi\""_s, u"two\r\nlines"_s}, {u"z"_s, QString(), QString()}})},
      {"byte-order mark dropped; a blank line keeps its row number", "\xEF\xBB\xBFh\n\nv\n",
       Cells({{u"h"_s}, {}, {u"v"_s}})},
      {"semicolons with decimal commas in the amounts",
       "d;amount;note\n1/1/24;12,50;a\n2/1/24;1.234,5;b,c\n",
       Cells({{u"d"_s, u"amount"_s, u"note"_s},
              {u"1/1/24"_s, u"12,50"_s, u"a"_s},
              {u"2/1/24"_s, u"1.234,5"_s, u"b,c"_s}})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    EXPECT_EQ(ReadCsvBytes(c.bytes).rows, c.expected);
  }
}

// A workbook as a spreadsheet program writes one: shared and inline strings,
// a number, and a date serial under a date format.
void WriteXlsx(const QString& path) {
  QuaZip zip(path);
  ASSERT_TRUE(zip.open(QuaZip::mdCreate));
  const auto add = [&zip](const char* name, const QByteArray& xml) {
    QuaZipFile part(&zip);
    ASSERT_TRUE(part.open(QIODevice::WriteOnly, QuaZipNewInfo(QString::fromLatin1(name))));
    part.write(xml);
    part.close();
  };
  add("xl/workbook.xml",
      "<workbook xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
      "<sheets><sheet name=\"a\" sheetId=\"1\" r:id=\"rId7\"/></sheets></workbook>");
  add("xl/_rels/workbook.xml.rels",
      "<Relationships><Relationship Id=\"rId7\" Target=\"worksheets/movements.xml\"/>"
      "</Relationships>");
  add("xl/sharedStrings.xml",
      u"<sst><si><t>תאריך</t></si><si><r><t>משכו</t></r><r><t>רת</t>"
      u"</r><rPh><t>x</t></rPh></si></sst>"_s.toUtf8());
  add("xl/styles.xml",
      "<styleSheet><numFmts><numFmt numFmtId=\"164\" formatCode=\"dd/mm/yyyy\"/></numFmts>"
      "<cellXfs><xf numFmtId=\"0\"/><xf numFmtId=\"164\"/></cellXfs></styleSheet>");
  add("xl/worksheets/movements.xml",
      u"<worksheet><sheetData><row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c></row>"
      u"<row r=\"3\"><c r=\"A3\" s=\"1\"><v>45323</v></c><c r=\"C3\" t=\"s\"><v>1</v></c>"
      u"<c r=\"D3\"><v>-1234.5</v></c><c r=\"E3\" t=\"inlineStr\"><is><t>שק 7</t></is></c>"
      u"</row></sheetData></worksheet>"_s.toUtf8());
  zip.close();
}

TEST(StatementSpreadsheets, XlsxAndXls) {
  QTemporaryDir dir;
  const QString xlsx = dir.filePath(QStringLiteral("s.xlsx"));
  WriteXlsx(xlsx);
  const StatementRead read = ReadStatementFile(xlsx);
  ASSERT_TRUE(read.Ok()) << read.error.toStdString();
  EXPECT_EQ(
      read.table.rows,
      Cells({{u"תאריך"_s}, {}, {u"1/2/2024"_s, QString(), u"משכורת"_s, u"-1234.5"_s, u"שק 7"_s}}));

  // Written by a spreadsheet program once; see the README beside it.
  const StatementRead xls =
      ReadStatementFile(QStringLiteral(CHEQUE_TEST_DATA "/import_xls_statement/statement.xls"));
  ASSERT_TRUE(xls.Ok()) << xls.error.toStdString();
  ASSERT_GE(xls.table.rows.size(), 3U);
  EXPECT_EQ(xls.table.rows[0].front(), u"תאריך"_s);
  EXPECT_EQ(xls.table.Cell(1, 0), u"1/2/2024"_s);
  EXPECT_EQ(xls.table.Cell(1, 3), u"-350.5"_s);
}

TEST(StatementSpreadsheets, DamagedFilesAreRefusedByName) {
  QTemporaryDir dir;
  struct Case {
    const char* name;
    QByteArray bytes;
  };
  const Case cases[] = {{"cut.xlsx", "PK\x03\x04 not really"},
                        {"cut.xls", QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + "junk"},
                        {"empty.csv", ""},
                        // Cut to the limit, it would lose cells without a word.
                        {"wide.csv", QByteArray(300, ',')}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const QString path = dir.filePath(QString::fromLatin1(c.name));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(c.bytes);
    file.close();
    const StatementRead read = ReadStatementFile(path);
    EXPECT_FALSE(read.Ok());
    EXPECT_TRUE(read.error.contains(QString::fromLatin1(c.name))) << read.error.toStdString();
  }
  EXPECT_TRUE(
      ReadStatementFile(dir.filePath(QStringLiteral("none.csv"))).error.contains(u"אינו קיים"));
}

TEST(StatementCells, DatesAndAmountsAsBanksWriteThem) {
  const std::pair<QString, std::optional<QDate>> dates[] = {
      {u"31/01/2024"_s, QDate(2024, 1, 31)},
      {u"31.1.24"_s, QDate(2024, 1, 31)},
      {u"2024-01-31"_s, QDate(2024, 1, 31)},
      {u"2024-01-31 10:00:00"_s, QDate(2024, 1, 31)},
      {u"20240131"_s, QDate(2024, 1, 31)},
      {u"45322"_s, QDate(2024, 1, 31)},
      {u"\u200F31/01/2024 "_s, QDate(2024, 1, 31)},
      {u"יתרה"_s, std::nullopt},
      {u"2024-02-30"_s, std::nullopt},
      {u"12-Dec-2019"_s, QDate(2019, 12, 12)},
      {u"12 בדצמבר 2019"_s, QDate(2019, 12, 12)},
      {u"Dec 12, 2019"_s, QDate(2019, 12, 12)},
      {u"3 Sept 24"_s, QDate(2024, 9, 3)},
      {u"31-Feb-2019"_s, std::nullopt},
      {u"12-Foo-2019"_s, std::nullopt},
      {u"1/2/2024 9 PM"_s, QDate(2024, 2, 1)},
  };
  for (const auto& [text, date] : dates)
    EXPECT_EQ(ReadStatementDate(text, kToday), date) << text.toStdString();
  const std::pair<QString, std::optional<double>> amounts[] = {
      {u"1,234.50"_s, 1234.5},
      {u"-50"_s, -50},
      {u"50-"_s, -50},
      {u"(50)"_s, -50},
      {u"₪ 1,000"_s, 1000},
      {u"12,5"_s, 12.5},
      {u"1.234,56"_s, 1234.56},
      {u"abc"_s, std::nullopt},
      {u""_s, std::nullopt},
      {u"£1,183.23"_s, 1183.23},
      {u"+ £1,100.00"_s, 1100},
      {u"د.ا.4.750"_s, 4.75},
      {u"USD 12.5"_s, 12.5},
      {u"12.5 EUR"_s, 12.5},
      {u"-₪ 1,234"_s, -1234},
      {u"45.10 CR"_s, 45.1},
      {u"45.10DR"_s, -45.1},
      {u"-12.0055"_s, -12.01},
      {u"0.005"_s, 0.01},
      {u"-0.004"_s, 0},
      {u"9999999999.99"_s, 9999999999.99},
      {u"10000000000"_s, std::nullopt},
      {u"שיק 12"_s, std::nullopt},
      {u"12 שח"_s, 12},
      {u"1.5E+2"_s, 150},
      {u"--5"_s, std::nullopt},
  };
  for (const auto& [text, amount] : amounts)
    EXPECT_EQ(ReadStatementAmount(text), amount) << text.toStdString();
}

TEST(StatementMovements, BadCellsAreRefusedWithRowAndColumn) {
  ColumnMapping mapping;
  mapping.date = 0;
  mapping.description = 1;
  mapping.amount = 2;
  mapping.first_row = 1;
  struct Case {
    const char* why;
    Rows rows;
    QString error;  // empty: read
    int movements;
  };
  const Case cases[] = {
      {"rows without a date are no movements",
       Cells({{u"h"_s}, {u"1/2/24"_s, u"a"_s, u"5"_s}, {}, {QString(), u"סה\"כ"_s, u"5"_s}}),
       {},
       1},
      {"a date that is none",
       Cells({{u"h"_s}, {u"1/2/24"_s, u"a"_s, u"5"_s}, {u"32/2/24"_s, u"b"_s, u"5"_s}}),
       u"שורה 3, עמודה 1: \"32/2/24\" אינו תאריך"_s, 0},
      {"an amount that is none", Cells({{u"h"_s}, {u"1/2/24"_s, u"a"_s, u"x5"_s}}),
       u"שורה 2, עמודה 3: \"x5\" אינו סכום"_s, 0},
      {"text the account file cannot hold is no reason to refuse the file",
       Cells({{u"h"_s}, {u"1/2/24"_s, u"קפה ☕"_s, u"5"_s}}),
       {},
       1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    StatementTable table{c.rows};
    const MovementsRead read = ReadMovements(table, mapping, kToday);
    EXPECT_EQ(read.error, c.error);
    EXPECT_EQ(static_cast<int>(read.movements.size()), c.movements);
  }
  // Debit and credit apart; a debit written negative is an expense all the same.
  const auto split = ParseMappingText(u"date=1,debit=2,credit=3");
  ASSERT_TRUE(split);
  const MovementsRead read = ReadMovements(
      StatementTable{Cells({{u"1/2/24"_s, u"-30"_s}, {u"2/2/24"_s, QString(), u"40"_s}})}, *split,
      kToday);
  ASSERT_EQ(read.movements.size(), 2U);
  EXPECT_EQ(read.movements[0].amount, -30);
  EXPECT_EQ(read.movements[1].amount, 40);
}

TEST(ColumnMappings, TextFormAndMemoryByHeader) {
  const auto mapping = ParseMappingText(u"date=1,desc=2,ref=3,amount=4,balance=6,first=3");
  ASSERT_TRUE(mapping);
  EXPECT_EQ(MappingText(*mapping), u"date=1,desc=2,ref=3,amount=4,balance=6,first=3"_s);
  for (const QStringView bad :
       {u"desc=2,amount=4", u"date=1", u"date=0,amount=1", u"date=1,amount=2,debit=3",
        u"date=1,amount=x", u"when=1,amount=2"}) {
    EXPECT_FALSE(ParseMappingText(bad)) << bad.toString().toStdString();
  }
  // This month's file has one title line more than last month's.
  const StatementTable last_month{
      Cells({{u"חשבון 12"_s},
             {u"תאריך"_s, u"תאור"_s, u"סכום"_s, u"אסמכתא"_s, QString(), u"יתרה"_s},
             {u"1/1/24"_s}})};
  const StatementTable this_month{
      Cells({{u"חשבון 12"_s},
             {u"הופק ב-1/3"_s},
             {u"תאריך"_s, u"תאור"_s, u"סכום"_s, u"אסמכתא"_s, QString(), u"יתרה"_s},
             {u"1/2/24"_s}})};
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("Import.dat"));
  MappingMemory memory;
  EXPECT_FALSE(memory.Find(last_month));
  ColumnMapping chosen = *mapping;
  chosen.first_row = 2;
  ASSERT_TRUE(memory.Remember(last_month, chosen));
  ASSERT_TRUE(memory.Save(path));
  const auto found = MappingMemory::Load(path).Find(this_month);
  ASSERT_TRUE(found);
  EXPECT_EQ(found->first_row, 3);
  EXPECT_EQ(found->amount, chosen.amount);
}

TEST(ColumnMappings, GuessedFromTheHeaderWords) {
  const StatementTable named{Cells({{u"עו\"ש 12"_s},
                                    {u"תאריך"_s, u"תאריך ערך"_s, u"תיאור התנועה"_s, u"אסמכתא"_s,
                                     u"חובה"_s, u"זכות"_s, u"יתרה בש\"ח"_s}})};
  EXPECT_EQ(GuessMapping(named),
            ParseMappingText(u"date=1,desc=3,ref=4,debit=5,credit=6,balance=7,first=3"));
  const StatementTable unknown{Cells({{u"יום"_s, u"פירוט"_s, u"סך"_s}})};
  EXPECT_FALSE(GuessMapping(unknown));
}

BankMovement Move(QDate date, double amount, QString reference = {}) {
  BankMovement m;
  m.date = date;
  m.amount = amount;
  m.reference = std::move(reference);
  m.description = QStringLiteral("x");
  return m;
}

TEST(ImportMatcher, Rules) {
  struct Case {
    const char* why;
    std::vector<Tx> rows;
    std::vector<BankMovement> movements;
    std::vector<std::pair<PlanAction, int>> expected;  // per movement: action, row
  };
  const QDate d(2024, 2, 10);
  const Case cases[] = {
      {"three days apart match, four do not",
       {{.expense = u"100", .date = u"7/2/2024"}, {.expense = u"200", .date = u"14/2/2024"}},
       {Move(d, -100), Move(d, -200)},
       {{PlanAction::kMark, 0}, {PlanAction::kAdd, -1}}},
      {"the closest date wins, whatever the order of the rows",
       {{.expense = u"100", .date = u"8/2/2024"}, {.expense = u"100", .date = u"11/2/2024"}},
       {Move(d, -100)},
       {{PlanAction::kMark, 1}}},
      {"each row once: the second movement takes the other row",
       {{.expense = u"100", .date = u"8/2/2024"}, {.expense = u"100", .date = u"11/2/2024"}},
       {Move(d, -100), Move(d, -100)},
       {{PlanAction::kMark, 1}, {PlanAction::kMark, 0}}},
      {"income is never matched against an expense",
       {{.expense = u"100", .date = u"10/2/2024"}},
       {Move(d, 100)},
       {{PlanAction::kAdd, -1}}},
      {"a reconciled row is the movement seen before, ahead of a closer open one",
       {{.expense = u"100", .date = u"8/2/2024", .mark = u"+"},
        {.expense = u"100", .date = u"10/2/2024"}},
       {Move(d, -100)},
       {{PlanAction::kKnown, 0}}},
      {"a reconciled row beyond the window is no match",
       {{.expense = u"100", .date = u"6/2/2024", .mark = u"+"}},
       {Move(d, -100)},
       {{PlanAction::kAdd, -1}}},
      {"a forecast mark is no mark; 12.5 is 12.50",
       {{.income = u"12.50", .date = u"10/2/2024", .mark = u"?"}},
       {Move(d, 12.5)},
       {{PlanAction::kMark, 0}}},
      {"bank balances are never matched",
       {{.balance = u"100", .category = testing::kBank, .date = u"10/2/2024", .mark = u"+"}},
       {Move(d, 100)},
       {{PlanAction::kAdd, -1}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    const ImportPlan plan = PlanImport(Make(c.rows), c.movements, kToday);
    ASSERT_EQ(plan.lines.size(), c.expected.size());
    for (size_t i = 0; i < c.expected.size(); ++i) {
      EXPECT_EQ(plan.lines[i].action, c.expected[i].first) << i;
      EXPECT_EQ(plan.lines[i].row, c.expected[i].second) << i;
    }
  }
  // Equal distance: the same reference decides, leading zeros aside.
  Register reg =
      Make({{.expense = u"100", .date = u"9/2/2024"}, {.expense = u"100", .date = u"11/2/2024"}});
  reg.SetCell(0, kTypeColumn, u"שק 1001");
  reg.SetCell(1, kTypeColumn, u"שק 1002");
  EXPECT_EQ(PlanImport(reg, {Move(d, -100, u"001002"_s)}, kToday).lines[0].row, 1);
  EXPECT_EQ(PlanImport(reg, {Move(d, -100, u"1001"_s)}, kToday).lines[0].row, 0);
}

TEST(ImportApply, AddsMarksBalancesAndTheSecondImportAddsNothing) {
  Register reg = Make({{.balance = u"1000",
                        .category = testing::kBank,
                        .date = u"1/1/2024",
                        .mark = u"+",
                        .description = u"יתרת פתיחה"},
                       {.expense = u"100", .date = u"3/2/2024", .description = u"חשמל"},
                       {.income = u"50", .date = u"20/2/2024", .description = u"לא בדף"}});
  reg.SortRegister(kDateColumn, kToday);
  // Not in the plan: everything but its running balance stays.
  const auto without_balance = [&reg](int row) {
    const std::string_view record = reg.RawRecord(row);
    return std::string(record.substr(record.find('\n')));
  };
  const std::string untouched = without_balance(2);
  std::vector<BankMovement> movements = {
      Move(QDate(2024, 2, 4), -100), Move(QDate(2024, 2, 5), -70), Move(QDate(2024, 2, 6), 500)};
  movements[1].description = u"שיק 17"_s;
  movements[1].reference = u"17"_s;
  movements[1].balance = 830;
  movements[2].balance = 1330;
  ImportPlan plan = PlanImport(reg, movements, kToday);
  ASSERT_EQ(plan.lines.size(), 4U);
  EXPECT_EQ(plan.lines[3].action, PlanAction::kBankBalance);
  EXPECT_EQ(plan.lines[3].movement, 2);
  plan.lines[2].ticked = false;  // the user keeps the income out
  const ImportResult result = ApplyImportPlan(reg, plan, kToday);
  ASSERT_TRUE(result.applied) << result.error.toStdString();
  EXPECT_EQ(result.marked, 1);
  EXPECT_EQ(result.added, 2);
  const std::vector<QStringList> expected = {
      {u"1000"_s, {}, {}, u"יתרת פתיחה"_s, u"1/1/2024"_s, u"+"_s},
      {u"900"_s, {}, u"100"_s, u"חשמל"_s, u"3/2/2024"_s, u"+"_s},
      {u"830"_s, {}, u"70"_s, u"שיק 17"_s, u"5/2/2024"_s, u"+"_s},
      {u"1330"_s, {}, {}, QString::fromUtf16(kBankBalanceDescription), u"6/2/2024"_s, u"+"_s},
      {u"1380"_s, u"50"_s, {}, u"לא בדף"_s, u"20/2/2024"_s, {}},
  };
  ASSERT_EQ(reg.RowCount(), 6);
  for (int row = 0; row < 5; ++row) {
    const QStringList cells = {reg.Cell(row, kBalanceColumn), reg.Cell(row, kIncomeColumn),
                               reg.Cell(row, kExpenseColumn), reg.Cell(row, kDescriptionColumn),
                               reg.Cell(row, kDateColumn),    reg.Cell(row, kMarkColumn)};
    EXPECT_EQ(cells, expected[static_cast<size_t>(row)]) << row;
  }
  EXPECT_EQ(reg.Cell(2, kTypeColumn), u"שק 17"_s);
  EXPECT_EQ(without_balance(4), untouched);

  // All ticked this time: only the income left out before is new.
  ImportPlan again = PlanImport(reg, movements, kToday);
  EXPECT_EQ(again.Count(PlanAction::kAdd), 1);
  EXPECT_EQ(again.Count(PlanAction::kKnown), 2);
  EXPECT_EQ(again.Count(PlanAction::kBalanceKnown), 1);
  ASSERT_TRUE(ApplyImportPlan(reg, again, kToday).applied);
  const QByteArray after_second = reg.FileBytes();
  const ImportPlan third = PlanImport(reg, movements, kToday);
  EXPECT_EQ(third.Count(PlanAction::kAdd) + third.Count(PlanAction::kMark) +
                third.Count(PlanAction::kBankBalance),
            0);
  EXPECT_FALSE(ApplyImportPlan(reg, third, kToday).applied);
  EXPECT_EQ(reg.FileBytes(), after_second);

  // A plan made before the rows changed is refused, and changes nothing.
  const ImportPlan stale = PlanImport(reg, {Move(QDate(2024, 2, 20), 50)}, kToday);
  ASSERT_EQ(stale.lines[0].action, PlanAction::kMark);
  reg.SetCell(stale.lines[0].row, kDescriptionColumn, u"שונה");
  const QByteArray before = reg.FileBytes();
  EXPECT_FALSE(ApplyImportPlan(reg, stale, kToday).error.isEmpty());
  EXPECT_EQ(reg.FileBytes(), before);
}

}  // namespace
}  // namespace cheque
