#include <algorithm>

#include "core/reports/report_table.h"

namespace cheque {

ReportLayout LayoutOf(ReportKind kind) {
  switch (kind) {
    case ReportKind::kCashFlow:
      return ReportLayout::kCashFlow;
    case ReportKind::kIncomeExpenses:
      return ReportLayout::kIncomeExpenses;
    case ReportKind::kBalanceToDate:
      return ReportLayout::kBalanceToDate;
    case ReportKind::kTrends:
      return ReportLayout::kTrends;
  }
  return ReportLayout::kCashFlow;
}

QString ReportTable::Cell(int row, int column) const {
  if (!Valid(row) || column < 0 || column >= columns) return {};
  const Row& r = rows_[static_cast<size_t>(row)];
  if (!IsRegisterRow(row)) return r.cells.value(column);
  const ReportAccount& account = accounts[static_cast<size_t>(r.account)];
  if (column == 0) return account.name;
  return account.rows->Cell(r.register_row, column);
}

std::string_view ReportTable::RawRegisterCell(int row, int column) const {
  if (!IsRegisterRow(row) || column <= 0 || column >= columns) return {};
  const Row& r = rows_[static_cast<size_t>(row)];
  return accounts[static_cast<size_t>(r.account)].rows->RawCell(r.register_row, column);
}

void ReportTable::SetCell(int row, int column, const QString& text) {
  if (!Valid(row) || column < 0 || column >= columns || IsRegisterRow(row)) return;
  QStringList& cells = rows_[static_cast<size_t>(row)].cells;
  while (cells.size() < columns) cells.append(QString());
  cells[column] = text;
}

int ReportTable::AppendTextRow() {
  Row row;
  row.cells.resize(columns);
  rows_.push_back(std::move(row));
  return RowCount() - 1;
}

void ReportTable::AppendRegisterRow(int account, int register_row) {
  rows_.push_back(Row{account, register_row, {}});
}

void ReportTable::LinkRow(int row, int account, int register_row) {
  if (!Valid(row)) return;
  rows_[static_cast<size_t>(row)].account = account;
  rows_[static_cast<size_t>(row)].register_row = register_row;
}

void ReportTable::InsertTextRow(int before) {
  Row row;
  row.cells.resize(columns);
  rows_.insert(rows_.begin() + std::clamp(before, 0, RowCount()), std::move(row));
}

void ReportTable::RemoveRow(int row) {
  if (Valid(row)) rows_.erase(rows_.begin() + row);
}

int ReportTable::AccountOf(int row) const {
  return Valid(row) ? rows_[static_cast<size_t>(row)].account : -1;
}

int ReportTable::RegisterRowOf(int row) const {
  return Valid(row) ? rows_[static_cast<size_t>(row)].register_row : -1;
}

bool ReportTable::IsRegisterRow(int row) const {
  return Valid(row) && rows_[static_cast<size_t>(row)].account >= 0 &&
         rows_[static_cast<size_t>(row)].cells.isEmpty();
}

}  // namespace cheque
