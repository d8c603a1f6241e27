#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "core/register/register.h"
#include "core/register/register_row.h"
#include "core/register/two_threads.h"
#include "core/text/amount.h"
#include "core/text/date_text.h"

namespace cheque {
namespace {

// The day of a moment, which stands for today. Beyond the register's years
// a moment is no day: any ordinary day then compares with it alike.
QDate DayOfMoment(double moment) {
  if (!(moment > -600000.0 && moment < 2900000.0)) return DateFromDayNumber(0);
  return DateFromDayNumber(static_cast<qint64>(std::floor(moment)));
}

// The balance the pass writes on a row that is no bank balance, from the
// balance above it, which becomes the row's own; false for an overflow,
// written as kBalanceOverflowText.
bool NextBalance(const register_row::Fields<6>& fields, double& balance, std::string& text,
                 std::string& negated) {
  double delta = 0;
  const std::string_view expense = fields.Column(kExpenseColumn);
  if (!expense.empty()) {
    // "-" in front, so an expense typed as "-5" reads as no number at all.
    negated.assign(1, '-');
    negated.append(expense);
    delta = ParseAmount(negated);
  }
  const std::string_view income = fields.Column(kIncomeColumn);
  if (!income.empty()) delta = ParseAmount(income);
  const double sum = balance + delta;
  text.clear();
  balance = sum;
  // FormatAmount would write an overflow as "0" and the rows below would
  // go on from there as if nothing had happened.
  if (!std::isfinite(sum)) {
    text = kBalanceOverflowText;
    return false;
  }
  AppendFormattedAmount(sum, text);
  // The next row starts from the balance as written, not as computed (a
  // plain number, so no need for ParseAmount's checks).
  std::from_chars(text.data(), text.data() + text.size(), balance);
  return true;
}

}  // namespace

double Register::BalanceAbove(int first_row) const {
  // The balance of the row above, skipping blank records as the pass does.
  int above = first_row - 1;
  while (above > 0 && register_row::IsEmpty(rows_.View(static_cast<size_t>(above)))) --above;
  const std::string_view above_text = RawCell(above, kBalanceColumn);
  // Below a balance that could not be computed none can be, until a real one.
  return above_text == kBalanceOverflowText ? std::numeric_limits<double>::quiet_NaN()
                                            : ParseAmount(above_text);
}

void Register::RecomputeBalanceRows(int first_row, int end_row) {
  first_row = std::max(first_row, 1);
  const int last = std::min(end_row, RowCount() - 1) - 1;
  if (RowCount() < 3 || first_row > last) return;
  BalancePass(first_row, last, BalanceAbove(first_row), false, nullptr);
  rows_.CompactIfWasteful();
}

bool Register::BalancesAreCurrent() const {
  const int count = RowCount();
  if (count < 3) return true;
  double balance = BalanceAbove(1);
  std::string negated;
  std::string text;
  for (int i = 1; i <= count - 2; ++i) {
    const std::string_view row = rows_.View(static_cast<size_t>(i));
    if (register_row::IsEmpty(row)) continue;
    const auto fields = register_row::Split<6>(row);
    const std::string_view old_balance = fields.Column(kBalanceColumn);
    if (IsBankBalanceRow(fields.Column(kCategoryColumn))) {
      balance = ParseAmount(old_balance);
      continue;
    }
    NextBalance(fields, balance, text, negated);
    if (text != old_balance) return false;
  }
  return true;
}

int Register::RecomputeBalances() { return RecomputeBalancesFrom(1, false); }

int Register::RecomputeBalancesFrom(int first_row, bool stop_at_bank_balance) {
  const int count = RowCount();
  if (count < 3) {
    if (log_.log != nullptr) log_.log->BalancesRecomputed(first_row, count);
    return -1;
  }
  const int requested = first_row;
  first_row = std::max(first_row, 1);
  const double balance = BalanceAbove(first_row);
  // A bank balance restarts the running balance, so the pass over a large
  // register splits at one near the middle; a log must hear every change in
  // order, so with one it stays whole.
  int split = -1;
  const int last = count - 2;
  if (!stop_at_bank_balance && log_.log == nullptr &&
      WorthTwoThreads(static_cast<size_t>(last - first_row))) {
    const int middle = first_row + (last - first_row) / 2;
    for (int row = middle; row > first_row + (last - first_row) / 4; --row) {
      if (IsBankBalanceRow(RawCell(row, kCategoryColumn))) {
        split = row;
        break;
      }
    }
  }
  BalanceRun run;
  if (split < 0) {
    run = BalancePass(first_row, last, balance, stop_at_bank_balance, nullptr);
  } else {
    BalanceRun runs[2];
    std::vector<std::pair<int, std::string>> grown[2];
    RunInTwo([&](int part) {
      runs[part] = part == 0 ? BalancePass(first_row, split - 1, balance, false, &grown[0])
                             : BalancePass(split, last, 0, false, &grown[1]);
    });
    for (const auto& part : grown) {
      for (const auto& [row, text] : part) {
        const auto index = static_cast<size_t>(row);
        rows_.Replace(index, 0, register_row::FieldEnd(rows_.View(index), 0), text);
      }
    }
    run = {count, runs[0].first_overflow >= 0 ? runs[0].first_overflow : runs[1].first_overflow};
  }
  rows_.CompactIfWasteful();
  if (log_.log != nullptr) {
    log_.log->BalancesRecomputed(std::min(requested, first_row), run.end_row);
  }
  return run.first_overflow;
}

Register::BalanceRun Register::BalancePass(int first_row, int last_row, double balance,
                                           bool stop_at_bank_balance,
                                           std::vector<std::pair<int, std::string>>* grown) {
  BalanceRun run{RowCount(), -1};
  std::string negated;
  std::string text;
  for (int i = first_row; i <= last_row; ++i) {
    const auto index = static_cast<size_t>(i);
    const std::string_view row = rows_.View(index);
    // A blank record is no transaction: it gets no balance of its own and the
    // running balance goes on past it.
    if (register_row::IsEmpty(row)) continue;
    // Balance, category, income and expense are among the first 6 fields.
    const auto fields = register_row::Split<6>(row);
    const std::string_view old_balance = fields.Column(kBalanceColumn);
    if (IsBankBalanceRow(fields.Column(kCategoryColumn))) {
      // Nothing after a real balance depends on the rows before it.
      if (stop_at_bank_balance && i > first_row) {
        run.end_row = i;
        break;
      }
      balance = ParseAmount(old_balance);
      continue;
    }
    if (!NextBalance(fields, balance, text, negated) && run.first_overflow < 0) {
      run.first_overflow = i;
    }
    // The balance is the record's first field. On a second thread a row
    // changes only where it has room; one that must grow waits for the end.
    if (text != old_balance) {
      if (grown == nullptr) {
        ReplaceBytes(index, 0, old_balance.size(), text, true);
      } else if (!rows_.ReplaceInPlace(index, 0, old_balance.size(), text)) {
        grown->emplace_back(i, text);
      }
    }
  }
  return run;
}

int Register::FirstBalanceOverflowRow() const {
  for (int row = 0; row < RowCount() - 1; ++row) {
    if (RawCell(row, kBalanceColumn) == kBalanceOverflowText) return row;
  }
  return -1;
}

QString BalanceOverflowMessage(const Register& reg, int row) {
  QString message = QStringLiteral("!!! היתרה גדולה מדי ולא ניתן לחשב אותה\rהחל מהתנועה מתאריך ") +
                    reg.Cell(row, kDateColumn);
  const QString description = reg.Cell(row, kDescriptionColumn);
  if (!description.isEmpty()) message += u'\r' + description;
  return message + QStringLiteral("\rבדוק את סכומי ההכנסה וההוצאה עד לתנועה זו");
}

int Register::GoToDateRow(double moment) const {
  const int last = LastNonEmptyRow();
  if (moment == 0) return last;
  const QDate today = DayOfMoment(moment);
  for (int row = 0; row <= last; ++row) {
    const std::string_view date = RawCell(row, kDateColumn);
    if (date.empty()) continue;
    if (static_cast<double>(CellDayNumber(date, today)) > moment) {
      if (row > 0 &&
          static_cast<double>(CellDayNumber(RawCell(row - 1, kDateColumn), today)) == moment) {
        return row - 1;
      }
      return row;
    }
  }
  return last;
}

bool Register::IsOverdueRow(int row, QDate today) const {
  if (!date_ordered_ || row <= 0 || row >= RowCount() - 1 || row == last_bank_balance_row_) {
    return false;
  }
  if (RawCell(row, kMarkColumn) == "+") return false;
  const qint64 reference = ValidRow(last_bank_balance_row_)
                               ? CellDayNumber(RawCell(last_bank_balance_row_, kDateColumn), today)
                               : DayNumber(today);
  return CellDayNumber(RawCell(row, kDateColumn), today) <= reference;
}

void Register::KeepOverdueReference() {
  int row = std::min(last_bank_balance_row_, RowCount() - 2);
  if (row < 0 ||
      (row == last_bank_balance_row_ && IsBankBalanceRow(RawCell(row, kCategoryColumn)))) {
    return;
  }
  while (row >= 0 && !IsBankBalanceRow(RawCell(row, kCategoryColumn))) --row;
  last_bank_balance_row_ = row;
}

std::optional<QString> Register::BankBalanceDifference(int row) const {
  if (row <= 0 || !ValidRow(row) || !IsBankBalanceRow(RawCell(row, kCategoryColumn))) {
    return std::nullopt;
  }
  const std::string_view above = RawCell(row - 1, kBalanceColumn);
  if (above == kBalanceOverflowText) return QString::fromLatin1(kBalanceOverflowText);
  return FormatAmount(ParseAmount(above) - ParseAmount(RawCell(row, kBalanceColumn)));
}

}  // namespace cheque
