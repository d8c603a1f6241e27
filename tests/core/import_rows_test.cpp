// Statements as banks and card companies send them: one-sided charges,
// sections with their own headers, rows that are no movement, text the
// account file cannot hold, encodings, and the memory of mappings.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "core/import/column_mapping.h"
#include "core/import/import_plan.h"
#include "core/import/statement_table.h"
#include "core/register/open_account.h"
#include "core/text/codec.h"
#include "tests/core/register_rows.h"

namespace cheque {
namespace {

using namespace Qt::StringLiterals;

const QDate kToday(2024, 3, 1);

StatementTable Table(std::initializer_list<QStringList> rows) {
  StatementTable table;
  for (const QStringList& row : rows) table.rows.emplace_back(row.begin(), row.end());
  return table;
}

TEST(StatementRows, SectionsPassedRowsAndOneSidedCharges) {
  struct Case {
    const char* why;
    QString mapping;
    StatementTable table;
    QList<double> amounts;
    QList<int> passed;  // rows from 1
  };
  const Case cases[] = {
      {"charges alone: positive is an expense, negative a refund",
       u"date=1,debit=2,first=1"_s,
       Table({{u"1/2/24"_s, u"30"_s}, {u"2/2/24"_s, u"-5"_s}}),
       {-30, 5},
       {}},
      {"credits alone", u"date=1,credit=2"_s, Table({{u"1/2/24"_s, u"30"_s}}), {30}, {}},
      {"rows without a digit in the date are passed over and listed; blank ones silently",
       u"date=1,amount=2,first=2"_s,
       Table({{u"d"_s, u"a"_s},
              {u"Pending"_s, u"-5"_s},
              {u"1/2/24"_s, u"-7"_s},
              {},
              {u"אין נתונים להצגה"_s},
              {u"2/2/24"_s, QString()}}),
       {-7},
       {2, 5, 6}},
      {"a second header maps its section by its words: the charge, not the original amount",
       u"date=1,desc=2,debit=3,first=2"_s,
       Table({{u"תאריך עסקה"_s, u"שם בית העסק"_s, u"סכום חיוב"_s},
              {u"1/2/24"_s, u"מכולת"_s, u"100"_s},
              {u"עסקאות בחו\"ל"_s},
              {u"תאריך רכישה"_s, u"תאריך חיוב"_s, u"שם בית עסק"_s, u"סכום מקורי"_s, u"מטבע מקור"_s,
               u"סכום חיוב"_s},
              {u"3/2/24"_s, u"10/2/24"_s, u"SHOP"_s, u"12.00"_s, u"USD"_s, u"44.10"_s}}),
       {-100, -44.1},
       {3, 4}},
      {"the first header again brings back the user's mapping",
       u"date=1,amount=3,first=2"_s,
       Table({{u"תאריך"_s, u"סכום"_s, u"סכום בפועל"_s},
              {u"1/2/24"_s, u"1"_s, u"2"_s},
              {u"תאריך"_s, u"סכום"_s, u"סכום בפועל"_s},
              {u"2/2/24"_s, u"3"_s, u"4"_s}}),
       {2, 4},
       {3}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    const auto mapping = ParseMappingText(c.mapping);
    ASSERT_TRUE(mapping);
    const MovementsRead read = ReadMovements(c.table, *mapping, kToday);
    ASSERT_TRUE(read.Ok()) << read.error.toStdString();
    QList<double> amounts;
    for (const BankMovement& m : read.movements) amounts << m.amount;
    EXPECT_EQ(amounts, c.amounts);
    QList<int> passed;
    for (const PassedRow& row : read.passed) passed << row.source_row + 1;
    EXPECT_EQ(passed, c.passed);
  }
}

TEST(StatementRows, TextMadeToFitTheAccountFile) {
  const auto mapping = ParseMappingText(u"date=1,desc=2,ref=3,amount=4");
  ASSERT_TRUE(mapping);
  const QString huge(32 << 20, u'x');
  const StatementTable table = Table({{u"1/2/24"_s, u"CAFÉ Århus ☕ 🚗"_s, u"7"_s, u"-5"_s},
                                      {u"2/2/24"_s, huge, huge, u"-6"_s},
                                      {u"3/2/24"_s, u"חשמל"_s, u"8"_s, u"-7"_s}});
  const MovementsRead read = ReadMovements(table, *mapping, kToday);
  ASSERT_TRUE(read.Ok()) << read.error.toStdString();
  ASSERT_EQ(read.movements.size(), 3U);
  EXPECT_EQ(read.movements[0].description, u"CAFE Arhus ? ?"_s);
  EXPECT_TRUE(read.movements[0].note.contains(u"הוחלפו"));
  EXPECT_EQ(read.movements[1].description.size(), kMaxImportedDescription);
  EXPECT_EQ(read.movements[1].reference.size(), kMaxImportedReference);
  EXPECT_TRUE(read.movements[1].note.contains(u"קוצר"));
  EXPECT_TRUE(read.movements[2].note.isEmpty());

  // Whatever the statement held, the account file written opens again.
  QTemporaryDir dir;
  const QString path = dir.filePath(u"Xct1.dat"_s);
  Register reg = testing::Make({{.expense = u"1", .date = u"1/1/2024"}});
  const ImportResult result = ApplyImportPlan(reg, PlanImport(reg, read.movements, kToday), kToday);
  ASSERT_TRUE(result.applied) << result.error.toStdString();
  ASSERT_TRUE(SaveAccountFile(path, reg));
  Register again;
  const AccountFileLoad load = OpenAccountFile(path, u"0", kToday, again);
  ASSERT_TRUE(load.Loaded()) << static_cast<int>(load.error);
  EXPECT_EQ(again.FileBytes(), reg.FileBytes());
}

TEST(StatementRows, AmountsRoundedOnceAndRefusedBeyondRange) {
  const auto mapping = ParseMappingText(u"date=1,amount=2");
  ASSERT_TRUE(mapping);
  // Read, stored and read again: the second import finds the first.
  const StatementTable table = Table({{u"1/2/24"_s, u"-12.0055"_s}});
  const MovementsRead read = ReadMovements(table, *mapping, kToday);
  ASSERT_EQ(read.movements.size(), 1U);
  EXPECT_EQ(read.movements[0].amount, -12.01);
  Register reg = testing::Make({{.expense = u"1", .date = u"1/1/2024"}});
  ASSERT_TRUE(ApplyImportPlan(reg, PlanImport(reg, read.movements, kToday), kToday).applied);
  EXPECT_EQ(PlanImport(reg, read.movements, kToday).Count(PlanAction::kKnown), 1);

  const MovementsRead big =
      ReadMovements(Table({{u"1/2/24"_s, u"-200000000000000000000000"_s}}), *mapping, kToday);
  EXPECT_TRUE(big.error.startsWith(u"שורה 1, עמודה 2: ")) << big.error.toStdString();
  // A register row beyond any range is compared without overflow.
  Register huge = testing::Make(
      {{.expense = u"1e300", .date = u"1/2/2024"}, {.income = u"-1e300", .date = u"1/2/2024"}});
  BankMovement m;
  m.date = QDate(2024, 2, 1);
  m.amount = -9999999999.99;
  EXPECT_EQ(PlanImport(huge, {m}, kToday).Count(PlanAction::kAdd), 1);
}

TEST(StatementEncoding, ToldByTheBytes) {
  const QString swedish = u"Swish från Tant Grön;12,50\n"_s;
  const QString hebrew = u"תאריך;תאור\n1/2/2024;חשמל חודשי\n"_s;
  const QByteArray latin1 = swedish.toLatin1();
  const QByteArray utf16 =
      QByteArray("\xFF\xFE") +
      QByteArray(reinterpret_cast<const char*>(hebrew.utf16()), hebrew.size() * 2);
  const std::pair<QByteArray, TextEncoding> cases[] = {
      {hebrew.toUtf8(), TextEncoding::kUtf8},
      {EncodeWin1255Bytes(hebrew), TextEncoding::kWin1255},
      {latin1, TextEncoding::kWin1252},
      {utf16, TextEncoding::kUtf16},
      {QStringLiteral("date;amount\n1/2/2024;5\n").toUtf8(), TextEncoding::kUtf8},
  };
  for (const auto& [bytes, encoding] : cases) {
    EXPECT_EQ(DetectTextEncoding(bytes), encoding) << bytes.toHex().toStdString();
  }
  EXPECT_EQ(ReadCsvBytes(latin1).rows[0][0], u"Swish från Tant Grön"_s);
  EXPECT_EQ(ReadCsvBytes(utf16).rows[1][1], u"חשמל חודשי"_s);
  EXPECT_EQ(ReadCsvBytes(EncodeWin1255Bytes(hebrew), TextEncoding::kWin1252).rows[0][0],
            u"úàøéê"_s);
  EXPECT_EQ(TextEncodingOfName(u"Windows-1252"), TextEncoding::kWin1252);
  EXPECT_FALSE(TextEncodingOfName(u"latin-9"));
}

TEST(MappingMemoryFile, ADamagedEntryCostsItselfOnly) {
  QTemporaryDir dir;
  const QString path = dir.filePath(u"Import.dat"_s);
  const auto write = [&path](const QString& text) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(EncodeWin1255Bytes(text));
  };
  // The second entry lost its mapping line.
  write(
      u"a\tb\r\ndate=1,amount=2,first=2\r\nc\td\r\ne\tf\r\ndate=2,amount=1\r\n"
      u"g\th\r\ndate=1,debit=2\r\n"_s);
  MappingMemory memory = MappingMemory::Load(path);
  EXPECT_EQ(memory.EntryCount(), 3);
  EXPECT_TRUE(memory.Find(Table({{u"g"_s, u"h"_s}})));
  EXPECT_TRUE(memory.Find(Table({{u"e"_s, u"f"_s}})));
  EXPECT_FALSE(memory.Find(Table({{u"c"_s, u"d"_s}})));
  ASSERT_TRUE(memory.Remember(Table({{u"new"_s}, {u"1/1/24"_s}}),
                              *ParseMappingText(u"date=1,amount=2,first=2")));
  ASSERT_TRUE(memory.Save(path));
  EXPECT_EQ(MappingMemory::Load(path).EntryCount(), 4);

  // A file that could not be read is never written over.
  const QString folder = dir.filePath(u"Folder.dat"_s);
  ASSERT_TRUE(QDir().mkdir(folder));
  MappingMemory unreadable = MappingMemory::Load(folder);
  ASSERT_TRUE(unreadable.Remember(Table({{u"new"_s}, {u"1/1/24"_s}}),
                                  *ParseMappingText(u"date=1,amount=2,first=2")));
  EXPECT_FALSE(unreadable.Save(folder));
  EXPECT_TRUE(QFileInfo(folder).isDir());
}

}  // namespace
}  // namespace cheque
