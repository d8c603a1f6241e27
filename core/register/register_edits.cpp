#include "core/register/register_edits.h"

#include <algorithm>

#include "core/register/register_change.h"
#include "core/register/register_row.h"
#include "core/text/amount.h"
#include "core/text/codec.h"
#include "core/text/date_text.h"
#include "core/text/text_compare.h"

namespace cheque {
namespace {

bool IsTransactionRow(const Register& reg, int row) { return row >= 0 && row < reg.RowCount() - 1; }

bool IsAmountColumn(int column) {
  return column == kBalanceColumn || column == kIncomeColumn || column == kExpenseColumn;
}

bool IsBankBalance(const Register& reg, int row) {
  return IsBankBalanceRow(reg.RawCell(row, kCategoryColumn));
}

}  // namespace

bool IsReconciled(const Register& reg, int row) { return reg.RawCell(row, kMarkColumn) == "+"; }

bool ShowsOk(const Register& reg, int row) {
  return IsTransactionRow(reg, row) && IsReconciled(reg, row);
}

int MarkStripRow(const Register& reg, int top_row, int line) {
  const int row = top_row + line;
  return IsTransactionRow(reg, row) ? row : -1;
}

bool ToggleMark(Register& reg, int row) {
  if (!IsTransactionRow(reg, row)) return false;
  const bool reconciled = IsReconciled(reg, row) && !IsBankBalance(reg, row);
  reg.SetCell(row, kMarkColumn, reconciled ? u"" : kReconciledMark);
  reg.SetNeedsSorting(true);
  return true;
}

bool RestoreBankBalanceMark(Register& reg, int row) {
  if (!IsBankBalance(reg, row) || IsReconciled(reg, row)) return false;
  return reg.SetCell(row, kMarkColumn, kReconciledMark);
}

bool CellIsSelectable(const Register& reg, int row, int column) {
  if (row < 0 || row >= reg.RowCount()) return false;
  switch (column) {
    case kBalanceColumn:
      return IsBankBalance(reg, row);
    case kIncomeColumn:
    case kExpenseColumn:
    case kTypeColumn:
    case kCategoryColumn:
    case kDescriptionColumn:
      return true;
    default:
      return false;  // the key, the date (changed in the dialog only) and the mark
  }
}

bool CellIsEditableInPlace(const Register& reg, int row, int column) {
  return CellIsSelectable(reg, row, column) && column != kTypeColumn && column != kCategoryColumn;
}

CellEdit EditCellInPlace(Register& reg, int row, int column, QString text) {
  CellEdit edit;
  if (!CellIsEditableInPlace(reg, row, column)) {
    edit.text = reg.Cell(row, column);
    return edit;
  }
  if (!text.isEmpty() && row == reg.RowCount() - 1) {
    reg.AddEmptyRow();
    edit.row_added = true;
  }
  const bool other_amount_filled =
      (column == kExpenseColumn && !reg.CellIsEmpty(row, kIncomeColumn)) ||
      (column == kIncomeColumn && !reg.CellIsEmpty(row, kExpenseColumn));
  if (!text.isEmpty() && other_amount_filled) {
    text.clear();
    edit.refusal = CellEditRefusal::kBothAmounts;
  } else if (IsAmountColumn(column) && !CheckNumeric(text)) {
    edit.refusal = CellEditRefusal::kNotNumeric;
  }
  const bool had_balance = !reg.CellIsEmpty(row, kBalanceColumn);
  edit.written = reg.SetCell(row, column, text);
  // A real bank balance typed in place restarts the running balance as well.
  if (edit.written && (!had_balance || ChangesBalance(column) || column == kBalanceColumn)) {
    reg.RecomputeBalancesFrom(row);
  }
  edit.text = std::move(text);
  return edit;
}

std::vector<int> WriteSeries(Register& reg, int row, const SeriesEntry& entry, QDate today) {
  std::vector<int> written;
  if (row < 0 || row >= reg.RowCount() || (entry.expense.isEmpty() && entry.income.isEmpty())) {
    return written;
  }
  const bool bank = IsBankBalanceRow(QStringView(entry.category));
  // A bank balance is a single row, whatever the count says.
  const int count = bank ? std::min(entry.count, 1) : entry.count;
  QStringView mark;
  if (entry.first > today || entry.expected) mark = kForecastMark;
  if (bank) mark = kReconciledMark;
  for (const QDate& date : SeriesDates(entry.first, entry.period, count)) {
    // Every further occurrence goes into the empty row at the end.
    if (!written.empty()) row = reg.RowCount() - 1;
    reg.SetCell(row, kDescriptionColumn, entry.description);
    if (bank) {
      reg.SetCell(row, kBalanceColumn, entry.income.isEmpty() ? entry.expense : entry.income);
      reg.SetCell(row, kIncomeColumn, {});
      reg.SetCell(row, kExpenseColumn, {});
    } else {
      reg.SetCell(row, kExpenseColumn, entry.expense);
      reg.SetCell(row, kIncomeColumn, entry.income);
    }
    reg.SetCell(row, kDateColumn, DateText(date));
    reg.SetCell(row, kCategoryColumn, entry.category);
    reg.SetCell(row, kTypeColumn, entry.type);
    if (!mark.isEmpty()) reg.SetCell(row, kMarkColumn, mark);
    if (row == reg.RowCount() - 1) reg.AddEmptyRow();
    written.push_back(row);
  }
  return written;
}

RowCopy CopyRowToEnd(Register& reg, int row) {
  RowCopy copy;
  const int last = reg.RowCount() - 1;
  if (!IsTransactionRow(reg, row) || IsBankBalance(reg, row)) return copy;
  // Byte for byte: a cell the code page cannot show is copied all the same.
  for (int column = kBalanceColumn; column < kMarkColumn; ++column) {
    reg.SetRawCell(last, column, reg.RawCell(row, column));
  }
  reg.SetCell(last, kMarkColumn, {});
  copy.row = last;
  copy.record = std::string(reg.RawRecord(last));
  return copy;
}

bool CopyIsUnchanged(const Register& reg, const RowCopy& copy) {
  if (copy.row < 0 || copy.row >= reg.RowCount()) return false;
  for (int column = kBalanceColumn; column < kMarkColumn; ++column) {
    if (register_row::Column(copy.record, column) != reg.RawCell(copy.row, column)) return false;
  }
  return true;
}

bool RemoveCopyIfUnchanged(Register& reg, const RowCopy& copy) {
  if (!CopyIsUnchanged(reg, copy)) return false;
  RemoveOrClearRow(reg, copy.row);
  return true;
}

bool IsOpeningBalanceRow(const Register& reg, int row) {
  static const std::string text = EncodeWin1255(kOpeningBalanceText);
  return TextEquals(reg.RawCell(row, kDescriptionColumn), text);
}

RowRemoval RemoveOrClearRow(Register& reg, int row) {
  if (row < 0 || row >= reg.RowCount()) return RowRemoval::kRefused;
  if (row == reg.RowCount() - 1) {
    for (int column = kBalanceColumn; column <= kMarkColumn; ++column) reg.SetCell(row, column, {});
    return RowRemoval::kCleared;
  }
  reg.RemoveRow(row);
  reg.RecomputeBalancesFrom(row, false);
  return RowRemoval::kRemoved;
}

RowRemoval DeleteRow(Register& reg, int row) {
  if (IsOpeningBalanceRow(reg, row)) return RowRemoval::kRefused;
  return RemoveOrClearRow(reg, row);
}

}  // namespace cheque
