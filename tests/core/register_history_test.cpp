#include "core/register/register_history.h"

#include <gtest/gtest.h>

#include <QRandomGenerator>
#include <functional>
#include <string>

#include "core/register/register_edits.h"
#include "tests/core/register_rows.h"

namespace cheque {
namespace {

// The rows as saved, the empty ones too, and the flags a step restores.
std::string Image(const Register& reg) {
  std::string image;
  for (int r = 0; r < reg.RowCount(); ++r) {
    image.append(reg.RawRecord(r));
    image.push_back('|');
  }
  image.push_back(reg.NeedsSorting() ? 'S' : '-');
  image.append(std::to_string(reg.LastBankBalanceRow()));
  return image;
}

QString Amount(QRandomGenerator& random) {
  return QString::number(random.bounded(1, 50000) / 100.0, 'f', random.bounded(3));
}

QString Day(QRandomGenerator& random) {
  return QStringLiteral("%1/%2/2024").arg(random.bounded(1, 29)).arg(random.bounded(1, 13));
}

Register Generated(QRandomGenerator& random) {
  Register reg;
  const QDate today(2024, 6, 1);
  for (int i = 0; i < 60; ++i) {
    SeriesEntry entry{QDate(2024, random.bounded(1, 13), random.bounded(1, 29))};
    entry.description = QStringLiteral(u"תנועה %1").arg(i);
    (random.bounded(2) == 0 ? entry.income : entry.expense) = Amount(random);
    entry.category = random.bounded(8) == 0 ? QString::fromUtf16(kBankBalanceCategory)
                                            : QStringLiteral("בית\\חשמל");
    entry.type = QStringLiteral("צ'ק 1");
    WriteSeries(reg, reg.RowCount() - 1, entry, today);
  }
  reg.SortRegister(kDateColumn, today);
  return reg;
}

// Every way the register is changed, chosen at random.
void RandomChange(Register& reg, QRandomGenerator& random) {
  const QDate today(2024, 6, 1);
  const int row = random.bounded(reg.RowCount());
  switch (random.bounded(9)) {
    case 0: {
      static constexpr int kColumns[] = {kBalanceColumn, kIncomeColumn, kExpenseColumn,
                                         kDescriptionColumn};
      const int column = kColumns[random.bounded(4)];
      if (!CellIsEditableInPlace(reg, row, column)) break;
      const QString text = random.bounded(5) == 0 ? QStringLiteral("x1") : Amount(random);
      EditCellInPlace(reg, row, column,
                      column == kDescriptionColumn ? QStringLiteral("חדש") : text);
      reg.RecomputeBalancesFrom(row);
      break;
    }
    case 1: {
      SeriesEntry entry{QDate(2024, random.bounded(1, 13), random.bounded(1, 29)),
                        static_cast<RepeatPeriod>(random.bounded(6)), random.bounded(1, 6)};
      entry.description = QStringLiteral("סדרה");
      entry.expense = Amount(random);
      entry.expected = random.bounded(2) == 0;
      WriteSeries(reg, random.bounded(3) == 0 ? row : reg.RowCount() - 1, entry, today);
      reg.RecomputeBalances();
      break;
    }
    case 2: {
      const RowCopy copy = CopyRowToEnd(reg, row);
      if (copy.row >= 0 && random.bounded(2) == 0) {
        reg.SetCell(copy.row, kExpenseColumn, Amount(random));
      } else if (copy.row >= 0) {
        RemoveCopyIfUnchanged(reg, copy);
      }
      break;
    }
    case 3:
    case 4:
      DeleteRow(reg, row);
      break;
    case 5:
      ToggleMark(reg, row);
      break;
    case 6:
      reg.SortRegister(random.bounded(kIncomeColumn, kDateColumn + 1), today);
      break;
    case 7:
      reg.SortRegister(kDateColumn, today);
      break;
    default:
      reg.SetCell(row, kCategoryColumn,
                  random.bounded(4) == 0 ? QString::fromUtf16(kBankBalanceCategory)
                                         : QStringLiteral("רכב\\דלק"));
      reg.SetCell(row, kDateColumn, Day(random));
      break;
  }
}

// Undo all, then redo all, of a few hundred random changes: the rows come
// back byte for byte at each end and at every step between.
TEST(RegisterHistory, RandomChangesUndoAndRedoExactly) {
  for (const quint32 seed : {1u, 2u, 3u}) {
    SCOPED_TRACE(seed);
    QRandomGenerator random(seed);
    Register reg = Generated(random);
    RegisterHistory history(reg);
    std::vector<std::string> images{Image(reg)};
    for (int i = 0; i < 300; ++i) {
      RandomChange(reg, random);
      history.Commit();
      if (history.UndoCount() == images.size()) images.push_back(Image(reg));
      images.back() = Image(reg);  // a balance-only change joins the step before
    }
    ASSERT_EQ(history.UndoCount() + 1, images.size());
    for (size_t k = images.size() - 1; k > 0; --k) {
      history.Undo();
      ASSERT_EQ(Image(reg), images[k - 1]) << "undo to " << k - 1;
    }
    EXPECT_FALSE(history.CanUndo());
    while (history.CanRedo()) history.Redo();
    EXPECT_EQ(Image(reg), images.back());
    // A new change after an undo drops what could be redone.
    history.Undo();
    ToggleMark(reg, 0);
    history.Commit();
    EXPECT_FALSE(history.CanRedo());
  }
}

TEST(RegisterHistory, LoadClearsAndCopiesDoNotLog) {
  QRandomGenerator random(7);
  Register reg = Generated(random);
  RegisterHistory history(reg);
  DeleteRow(reg, 1);
  Register copy = reg;
  DeleteRow(copy, 1);
  history.Commit();
  EXPECT_EQ(history.UndoCount(), 1u);
  reg.LoadFileBytes(copy.FileBytes().toStdString(), u"0");
  EXPECT_FALSE(history.CanUndo());
}

// 200 rows of amounts with one bank balance halfway, balances computed.
Register LongRegister() {
  std::vector<testing::Tx> rows;
  std::vector<QString> amounts;
  for (int i = 0; i < 200; ++i) amounts.push_back(QString::number(i % 7 + 0.25 * (i % 3)));
  rows.push_back({u"100", {}, {}, {}, u"1/1/2024"});
  for (int i = 1; i < 200; ++i) {
    testing::Tx tx{{}, {}, {}, u"בית", u"2/1/2024"};
    (i % 2 == 0 ? tx.income : tx.expense) = amounts[static_cast<size_t>(i)];
    if (i == 100) tx = {u"500", {}, {}, testing::kBank, u"2/1/2024", u"+"};
    rows.push_back(tx);
  }
  Register reg = testing::Make(rows);
  reg.RecomputeBalances();
  return reg;
}

// A deletion rewrites the balances below it; where they were current
// before, the step keeps the pass instead of their bytes, and undo and redo
// still give back every byte. Where they were not, the bytes are kept.
TEST(RegisterHistory, DeletionsUndoAndRedoExactly) {
  struct Case {
    const char* why;
    std::function<void(Register&)> before;  // its own step
    std::vector<int> deleted;               // in one step
    bool passes_kept;
  };
  const auto nothing = [](Register&) {};
  const Case cases[] = {
      {"a row near the top", nothing, {3}, true},
      {"the bank balance, so the rows below it follow the rows above", nothing, {100}, true},
      {"three rows in one step, not in order", nothing, {150, 40, 90}, true},
      {"the last row", nothing, {199}, true},
      {"after an amount typed without its pass",
       [](Register& reg) { reg.SetCell(10, kIncomeColumn, u"1000"); },
       {5},
       false},
      {"after a sort that leaves the balances as they were",
       [](Register& reg) { reg.SortRegister(kIncomeColumn, QDate(2024, 6, 1)); },
       {20},
       false},
      {"after the date sort, which computes them all",
       [](Register& reg) {
         reg.SortRegister(kIncomeColumn, QDate(2024, 6, 1));
         reg.SortRegister(kDateColumn, QDate(2024, 6, 1));
       },
       {20},
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    Register reg = LongRegister();
    RegisterHistory history(reg);
    c.before(reg);
    history.Commit();
    const std::string before = Image(reg);
    const size_t held = history.MemoryBytes();
    for (const int row : c.deleted) DeleteRow(reg, row);
    history.Commit();
    const std::string after = Image(reg);
    ASSERT_NE(after, before);
    // A removed record and a pass or two against nearly a hundred balances.
    EXPECT_EQ(history.MemoryBytes() - held < 1500, c.passes_kept);
    for (int round = 0; round < 2; ++round) {
      history.Undo();
      ASSERT_EQ(Image(reg), before);
      history.Redo();
      ASSERT_EQ(Image(reg), after);
    }
  }
}

}  // namespace
}  // namespace cheque
