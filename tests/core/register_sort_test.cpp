#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "core/register/register.h"
#include "core/register/sort_key.h"
#include "core/text/amount.h"
#include "core/text/date_text.h"

using namespace cheque;
using namespace Qt::StringLiterals;

namespace {

struct Tx {
  QStringView id = {};  // kept in the description
  QStringView date = {};
  QStringView category = {};
  QStringView mark = {};
  QStringView income = {};
  QStringView expense = {};
  QStringView type = {};
  QStringView balance = {};
};

constexpr QStringView kBank = u"בנק\\יתרה";
const QDate kToday(2020, 3, 1);

void Fill(Register& reg, int r, const Tx& tx) {
  reg.SetCell(r, kDescriptionColumn, tx.id);
  reg.SetCell(r, kDateColumn, tx.date);
  reg.SetCell(r, kCategoryColumn, tx.category);
  reg.SetCell(r, kMarkColumn, tx.mark);
  reg.SetCell(r, kIncomeColumn, tx.income);
  reg.SetCell(r, kExpenseColumn, tx.expense);
  reg.SetCell(r, kTypeColumn, tx.type);
  reg.SetCell(r, kBalanceColumn, tx.balance);
}

Register Make(const std::vector<Tx>& rows) {
  Register reg;
  for (const Tx& tx : rows) {
    Fill(reg, reg.RowCount() - 1, tx);
    reg.AddEmptyRow();
  }
  return reg;
}

QStringList Column(const Register& reg, int column) {
  QStringList out;
  for (int r = 0; r < reg.RowCount() - 1; ++r) out << reg.Cell(r, column);
  return out;
}

QString Day(qint64 day) { return DateText(DateFromDayNumber(day)); }

// A register from raw field bytes: one column filled per row, in file order.
Register FromColumnBytes(const std::vector<std::string>& texts, int file_field) {
  std::string file;
  for (const std::string& text : texts) {
    for (int f = 0; f < 8; ++f) file += (f == file_field ? text : "-") + "\r\n";
  }
  Register reg;
  reg.LoadFileBytes(file, u"0");
  return reg;
}

}  // namespace

TEST(SortRegister, OrdersByTheKeyOfEachColumn) {
  const QString old_day = Day(9999);  // four digits: after every five-digit day as text
  struct Case {
    const char* name;
    int column;
    std::vector<Tx> rows;
    QStringList order;
  };
  const std::vector<Case> cases = {
      {"income: numeric, expense rows count 0",
       kIncomeColumn,
       {{u"a", {}, {}, {}, u"100"},
        {u"b", {}, {}, {}, {}, u"5"},
        {u"c", {}, {}, {}, u"20"},
        {u"d", {}, {}, {}, u"1e1"},
        {u"e", {}, {}, {}, u"-3"}},
       {u"e"_s, u"b"_s, u"d"_s, u"c"_s, u"a"_s}},
      {"expense: numeric, \"-5\" below nothing",
       kExpenseColumn,
       {{u"a", {}, {}, {}, {}, u"9"},
        {u"b", {}, {}, {}, {}, u"10"},
        {u"c", {}, {}, {}, u"7"},
        {u"d", {}, {}, {}, {}, u"-5"}},
       {u"d"_s, u"c"_s, u"a"_s, u"b"_s}},
      {"type: byte values, letter case counts, the whole text",
       kTypeColumn,
       {{u"shin", {}, {}, {}, {}, {}, u"שק 123"},
        {u"aleph", {}, {}, {}, {}, {}, u"אחר"},
        {u"ATM", {}, {}, {}, {}, {}, u"ATM"},
        {u"atm", {}, {}, {}, {}, {}, u"atm"},
        {u"Bank", {}, {}, {}, {}, {}, u"Bank"},
        {u"long2", {}, {}, {}, {}, {}, u"העברה 123456782"},
        {u"long1", {}, {}, {}, {}, {}, u"העברה 123456781"},
        {u"ten", {}, {}, {}, {}, {}, u"העברה 1234"}},
       {u"ATM"_s, u"Bank"_s, u"atm"_s, u"aleph"_s, u"ten"_s, u"long1"_s, u"long2"_s, u"shin"_s}},
      {"category: byte values of Hebrew letters",
       kCategoryColumn,
       {{u"c", {}, u"ספקים\\ארץ"},
        {u"d", {}, u"ספקים\\חו\"ל"},
        {u"b", {}, u"בנק\\עמלות"},
        {u"a", {}, u"בנק\\יתרה"}},
       {u"a"_s, u"b"_s, u"c"_s, u"d"_s}},
      {"description: the first ten characters",
       kDescriptionColumn,
       {{u"b"}, {u"א"}, {u"abcdefghij1"}, {u"abcdefghiZ"}, {u"a"}},
       {u"a"_s, u"abcdefghiZ"_s, u"abcdefghij1"_s, u"b"_s, u"א"_s}},
      {"date: day numbers compared as text, bank balance last in its day",
       kDateColumn,
       {{u"bank", u"5/1/2020", kBank, u"+"},
        {u"day", u"5/1/2020", {}, u"+"},
        {u"old", old_day, {}, u"+"},
        {u"unreadable", u"abc", {}, u"+"},
        {u"2", u"1/1/1900", {}, u"+"},
        {u"10", u"9/1/1900", {}, u"+"},
        {u"empty", {}, {}, u"+"}},
       {u"empty"_s, u"10"_s, u"2"_s, u"day"_s, u"bank"_s, u"unreadable"_s, u"old"_s}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Register reg = Make(c.rows);
    reg.SortRegister(c.column, kToday);
    EXPECT_EQ(Column(reg, kDescriptionColumn), c.order);
    EXPECT_TRUE(reg.RowIsEmpty(reg.RowCount() - 1));
    EXPECT_EQ(reg.NeedsSorting(), c.column != kDateColumn);
  }
}

TEST(SortRegister, TextOrderIsByteOrderForAnyBytes) {
  std::mt19937 rng(3);
  const std::string alphabet(
      "\0\x01"
      "aAzZ \xE0\xE1\xFA\xFF\x80",
      13);
  for (int round = 0; round < 30; ++round) {
    std::vector<std::string> texts;
    const int count = static_cast<int>(rng() % 60) + 2;
    for (int i = 0; i < count; ++i) {
      std::string text(rng() % 16, '\0');
      for (char& c : text) c = alphabet[rng() % alphabet.size()];
      texts.push_back(text);
    }
    for (const int column : {kTypeColumn, kCategoryColumn, kDescriptionColumn}) {
      const int field = column == kTypeColumn ? 2 : column == kCategoryColumn ? 1 : 6;
      Register reg = FromColumnBytes(texts, field);
      reg.SortRegister(column, kToday);
      const size_t length = column == kDescriptionColumn ? 10 : std::string::npos;
      for (int r = 1; r < reg.RowCount() - 1; ++r) {
        ASSERT_LE(reg.RawCell(r - 1, column).substr(0, length),
                  reg.RawCell(r, column).substr(0, length))
            << "column " << column << " row " << r;
      }
    }
  }
}

TEST(SortRegister, DateKeyTextIsTheFormattedDayNumber) {
  std::vector<qint64> days = {-328716, -36524, -1, 0, 1, 2, 9999, 10000, 43831, 2958465};
  for (qint64 d = -700000; d < 3000000; d += 997) days.push_back(d);
  for (const qint64 day : days) {
    const QDate date = DateFromDayNumber(day);
    if (!date.isValid() || date.year() < 1000 || date.year() > 9999) continue;  // four-digit years
    const std::string cell = DateText(date).toStdString();
    for (const bool bank : {false, true}) {
      std::string key;
      AppendDateKeyText(cell, bank, kToday, key);
      std::string expected;
      AppendFormattedAmount(static_cast<double>(day) + (bank ? 0.01 : 0.0), expected);
      ASSERT_EQ(key, expected) << cell;
    }
  }
}

TEST(SortRegister, LastRowTakesNoPartUnlessWrittenInto) {
  Register reg = Make({{u"b", u"2/1/2020", {}, u"+"}});
  Fill(reg, 1, {u"a", u"1/1/2020", {}, u"+"});  // written into the last row
  reg.SortRegister(kDateColumn, kToday);
  EXPECT_EQ(Column(reg, kDescriptionColumn), (QStringList{u"a"_s, u"b"_s}));
  EXPECT_TRUE(reg.RowIsEmpty(2));

  Register single;
  single.SortRegister(kDateColumn, kToday);  // one row: nothing to do
  EXPECT_EQ(single.RowCount(), 1);
  EXPECT_FALSE(single.NeedsSorting());
}

TEST(Reconciliation, OpenRowsMoveBelowTheLastBankBalance) {
  Register reg = Make({
      {u"bank 31/1", u"31/1/2020", kBank, u"+", {}, {}, u"יתרה", u"1400"},
      {u"expense 2/2", u"2/2/2020", u"ספקים\\ארץ", {}, {}, u"50"},
      {u"income 10/1", u"10/1/2020", u"משכורות", u"+", u"500"},
      {u"opening", u"1/1/2020", kBank, u"+", {}, {}, u"יתרת פתיחה", u"1000"},
      {u"expense 5/1", u"5/1/2020", u"ספקים\\ארץ", {}, {}, u"100"},
  });
  reg.SortRegister(kDateColumn, kToday);
  EXPECT_EQ(Column(reg, kDescriptionColumn),
            (QStringList{u"opening"_s, u"income 10/1"_s, u"bank 31/1"_s, u"expense 5/1"_s,
                         u"expense 2/2"_s}));
  EXPECT_EQ(Column(reg, kBalanceColumn),
            (QStringList{u"1000"_s, u"1500"_s, u"1400"_s, u"1300"_s, u"1250"_s}));
  EXPECT_EQ(reg.LastBankBalanceRow(), 2);
  EXPECT_FALSE(reg.NeedsSorting());
  const bool purple[] = {false, false, false, true, false, false};
  for (int r = 0; r < reg.RowCount(); ++r) EXPECT_EQ(reg.IsOverdueRow(r, kToday), purple[r]) << r;
  EXPECT_EQ(reg.BankBalanceDifference(2), std::optional<QString>(u"100"_s));

  reg.SortRegister(kCategoryColumn, kToday);  // no longer in date order: no purple rows
  for (int r = 0; r < reg.RowCount(); ++r) EXPECT_FALSE(reg.IsOverdueRow(r, kToday));
}

TEST(Reconciliation, WithoutBankBalanceOpenRowsUpToTodayArePurple) {
  Register reg = Make({
      {u"first", u"1/1/2020", {}, {}},
      {u"past open", u"10/2/2020", {}, {}},
      {u"past forecast", u"11/2/2020", {}, u"?"},
      {u"past reconciled", u"12/2/2020", {}, u"+"},
      {u"today", u"1/3/2020", {}, {}},
      {u"future", u"2/3/2020", {}, {}},
  });
  reg.SortRegister(kDateColumn, kToday);
  EXPECT_EQ(reg.LastBankBalanceRow(), -1);
  EXPECT_EQ(Column(reg, kDescriptionColumn),
            (QStringList{u"first"_s, u"past open"_s, u"past forecast"_s, u"past reconciled"_s,
                         u"today"_s, u"future"_s}));
  const bool purple[] = {false, true, true, false, true, false, false};
  for (int r = 0; r < reg.RowCount(); ++r) EXPECT_EQ(reg.IsOverdueRow(r, kToday), purple[r]) << r;
}

// The reconciliation as the rows are moved one by one, from the bottom up.
TEST(Reconciliation, EqualsTheRowByRowMoves) {
  std::mt19937 rng(5);
  for (int round = 0; round < 300; ++round) {
    struct Row {
      QString id;
      bool bank;
      QString mark;
    };
    const int count = static_cast<int>(rng() % 40) + 1;
    std::vector<Row> rows;
    for (int i = 0; i < count; ++i) {
      const unsigned kind = rng() % 8;
      rows.push_back({QString::number(i), kind == 0,
                      kind == 0 || kind % 2 == 1 ? u"+"_s : (kind == 2 ? u"?"_s : QString())});
    }
    // Literal moves on the date order.
    std::vector<Row> expected = rows;
    int last = count - 1;
    while (last >= 0 && !expected[static_cast<size_t>(last)].bank) --last;
    const int expected_last = [&] {
      int l = last;
      for (int m = l - 1; m >= 0; --m) {
        const Row& row = expected[static_cast<size_t>(m)];
        if (row.mark == u"+" || row.bank) continue;
        for (int k = m; k < l; ++k)
          std::swap(expected[static_cast<size_t>(k)], expected[static_cast<size_t>(k + 1)]);
        --l;
      }
      return l;
    }();

    std::vector<int> input_order(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) input_order[static_cast<size_t>(i)] = i;
    std::shuffle(input_order.begin(), input_order.end(), rng);
    Register reg;
    for (const int i : input_order) {
      const Row& row = rows[static_cast<size_t>(i)];
      const QString date = Day(40000 + i);
      Fill(reg, reg.RowCount() - 1,
           {row.id, date, row.bank ? kBank : QStringView(u"x"), row.mark, {}, u"1"});
      reg.AddEmptyRow();
    }
    reg.SortRegister(kDateColumn, kToday);
    QStringList want;
    for (const Row& row : expected) want << row.id;
    ASSERT_EQ(Column(reg, kDescriptionColumn), want);
    ASSERT_EQ(reg.LastBankBalanceRow(), expected_last);
  }
}

TEST(Reconciliation, CancelLeavesTheOrderAndStillRecomputes) {
  Register reg = Make({{u"b", u"2/1/2020", {}, {}, u"5"},
                       {u"a", u"1/1/2020", kBank, u"+", {}, {}, {}, u"10"},
                       {u"c", u"3/1/2020", kBank, u"+", {}, {}, {}, u"7"}});
  reg.SortRegister(kDateColumn, kToday, [] { return true; });
  EXPECT_EQ(Column(reg, kDescriptionColumn), (QStringList{u"b"_s, u"a"_s, u"c"_s}));
  EXPECT_EQ(Column(reg, kBalanceColumn), (QStringList{QString(), u"10"_s, u"7"_s}));
  EXPECT_FALSE(reg.NeedsSorting());
}
