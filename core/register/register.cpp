#include "core/register/register.h"

#include "core/register/register_row.h"
#include "core/text/codec.h"
#include "core/text/text_compare.h"

namespace cheque {
namespace {

const std::string& BankBalanceCategoryBytes() {
  static const std::string bytes = EncodeWin1255(kBankBalanceCategory);
  return bytes;
}

bool ValidColumn(int column) { return column > kKeyColumn && column < kRegisterColumnCount; }

}  // namespace

bool IsBankBalanceRow(QStringView category) {
  return TextEquals(category, QStringView(kBankBalanceCategory));
}

bool IsBankBalanceRow(std::string_view category_win1255) {
  return TextEquals(category_win1255, BankBalanceCategoryBytes());
}

Register::Register() { AddEmptyRow(); }

int Register::RowCount() const { return static_cast<int>(rows_.Size()); }

QString Register::Cell(int row, int column) const { return DecodeWin1255(RawCell(row, column)); }

std::string_view Register::RawCell(int row, int column) const {
  if (!ValidRow(row) || !ValidColumn(column)) return {};
  return register_row::Column(rows_.View(static_cast<size_t>(row)), column);
}

std::string_view Register::RawRecord(int row) const {
  return ValidRow(row) ? rows_.View(static_cast<size_t>(row)) : std::string_view();
}

bool Register::SetCell(int row, int column, QStringView text) {
  if (!CanEncodeWin1255(text)) return false;
  std::string bytes;
  AppendWin1255(text, bytes);
  return StoreCell(row, column, bytes);
}

bool Register::SetRawCell(int row, int column, std::string_view bytes) {
  // A copy: the bytes may be a view of this register's own rows.
  std::string copy(bytes);
  return StoreCell(row, column, copy);
}

bool Register::StoreCell(int row, int column, std::string& bytes) {
  if (!ValidRow(row) || !ValidColumn(column)) return false;
  // A CR or LF would split the record and a Ctrl-Z would end the file early.
  for (char& c : bytes) {
    if (c == '\r' || c == '\n' || c == '\x1A') c = ' ';
  }
  const auto index = static_cast<size_t>(row);
  const auto span = register_row::SpanOf(rows_.View(index), register_row::kFieldOfColumn[column]);
  if (rows_.View(index).size() - (span.end - span.start) + bytes.size() > RowStore::kMaxRowBytes) {
    return false;
  }
  ReplaceBytes(index, span.start, span.end, bytes, false);
  rows_.CompactIfWasteful();
  return true;
}

void Register::ReplaceBytes(size_t row, size_t start, size_t end, std::string_view bytes,
                            bool derived) {
  if (log_.log != nullptr) {
    const std::string_view before = rows_.View(row).substr(start, end - start);
    if (before == bytes) return;
    log_.log->Spliced(static_cast<int>(row), start, before, bytes, derived);
  }
  rows_.Replace(row, start, end, bytes);
}

bool Register::RowIsEmpty(int row) const {
  return !ValidRow(row) || register_row::IsEmpty(rows_.View(static_cast<size_t>(row)));
}

void Register::AddEmptyRow() {
  rows_.PushBackBlank(register_row::kEmptyRow);
  if (log_.log != nullptr) log_.log->Inserted(RowCount() - 1, register_row::kEmptyRow);
}

void Register::RemoveRow(int row) {
  if (!ValidRow(row)) return;
  if (log_.log != nullptr) log_.log->Removed(row, rows_.View(static_cast<size_t>(row)));
  rows_.Erase(static_cast<size_t>(row));
  if (rows_.Size() == 0) AddEmptyRow();
  rows_.CompactIfWasteful();
  // Keep the reference of the overdue colouring on the same bank-balance row.
  if (row < last_bank_balance_row_) {
    --last_bank_balance_row_;
  } else if (row == last_bank_balance_row_) {
    int r = row - 1;
    while (r >= 0 && !IsBankBalanceRow(RawCell(r, kCategoryColumn))) --r;
    last_bank_balance_row_ = r;
  }
}

void Register::Clear() {
  rows_.Clear();
  rows_.PushBackBlank(register_row::kEmptyRow);
  needs_sorting_ = false;
  date_ordered_ = true;
  last_bank_balance_row_ = -1;
  load_cut_ = false;
  load_had_records_ = false;
  if (log_.log != nullptr) log_.log->Reset();
}

int Register::LastNonEmptyRow() const {
  int row = RowCount() - 1;
  while (row > 0 && RowIsEmpty(row)) --row;
  return row;
}

int Register::LocateRow(QStringView description, QStringView date, QStringView category,
                        QStringView type) const {
  // Stored cells are Windows-1255, so text it cannot hold matches nothing.
  if (!CanEncodeWin1255(description) || !CanEncodeWin1255(date) || !CanEncodeWin1255(category) ||
      !CanEncodeWin1255(type)) {
    return -1;
  }
  const std::string description_bytes = EncodeWin1255(description);
  const std::string date_bytes = EncodeWin1255(date);
  const std::string category_bytes = EncodeWin1255(category);
  const std::string type_bytes = EncodeWin1255(type);
  for (int row = 0; row < RowCount(); ++row) {
    if (TextEquals(RawCell(row, kDescriptionColumn), description_bytes) &&
        TextEquals(RawCell(row, kDateColumn), date_bytes) &&
        TextEquals(RawCell(row, kCategoryColumn), category_bytes) &&
        TextEquals(RawCell(row, kTypeColumn), type_bytes)) {
      return row;
    }
  }
  return -1;
}

}  // namespace cheque
