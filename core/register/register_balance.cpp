#include <cmath>

#include "core/register/register.h"
#include "core/register/register_row.h"
#include "core/text/amount.h"
#include "core/text/date_text.h"

namespace cheque {
namespace {

using register_row::Column;

// Dates of the register's years; beyond them a moment says nothing about today.
QDate DayOfMoment(double moment) {
  if (!(moment > -600000.0 && moment < 2900000.0)) return QDate::currentDate();
  return DateFromDayNumber(static_cast<qint64>(std::floor(moment)));
}

QDate ValidToday(QDate today) { return today.isValid() ? today : QDate::currentDate(); }

}  // namespace

void Register::RecomputeBalances() {
  const int count = RowCount();
  if (count < 3) return;
  double balance = ParseAmount(RawCell(0, kBalanceColumn));
  std::string negated;
  std::string text;
  for (int i = 1; i <= count - 2; ++i) {
    std::string& row = rows_[static_cast<size_t>(i)];
    // A blank record is no transaction: it gets no balance of its own and the
    // running balance goes on past it.
    if (register_row::IsEmpty(row)) continue;
    if (IsBankBalanceRow(Column(row, kCategoryColumn))) {
      balance = ParseAmount(Column(row, kBalanceColumn));
      continue;
    }
    double delta = 0;
    const std::string_view expense = Column(row, kExpenseColumn);
    if (!expense.empty()) {
      // "-" in front, so an expense typed as "-5" reads as no number at all.
      negated.assign(1, '-');
      negated.append(expense);
      delta = ParseAmount(negated);
    }
    const std::string_view income = Column(row, kIncomeColumn);
    if (!income.empty()) delta = ParseAmount(income);
    text.clear();
    AppendFormattedAmount(balance + delta, text);
    register_row::ReplaceField(row, register_row::kFieldOfColumn[kBalanceColumn], text);
    // The next row starts from the balance as written, not as computed.
    balance = ParseAmount(text);
  }
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
  if (needs_sorting_ || row <= 0 || row >= RowCount() - 1 || row == last_bank_balance_row_) {
    return false;
  }
  if (RawCell(row, kMarkColumn) == "+") return false;
  today = ValidToday(today);
  const qint64 reference = ValidRow(last_bank_balance_row_)
                               ? CellDayNumber(RawCell(last_bank_balance_row_, kDateColumn), today)
                               : DayNumber(today);
  return CellDayNumber(RawCell(row, kDateColumn), today) <= reference;
}

std::optional<QString> Register::BankBalanceDifference(int row) const {
  if (row <= 0 || !ValidRow(row) || !IsBankBalanceRow(RawCell(row, kCategoryColumn))) {
    return std::nullopt;
  }
  return FormatAmount(ParseAmount(RawCell(row - 1, kBalanceColumn)) -
                      ParseAmount(RawCell(row, kBalanceColumn)));
}

}  // namespace cheque
