#include <algorithm>
#include <cstdint>

#include "core/register/register.h"
#include "core/register/register_row.h"
#include "core/register/sort_key.h"
#include "core/text/amount.h"

namespace cheque {
namespace {

using register_row::Column;

struct SortItem {
  std::uint64_t high;
  std::uint64_t low;
  std::uint32_t index;
};

// Rows between two looks at the cancel request.
constexpr int kCancelStride = 4096;

PackedKey KeyOf(const std::string& row, int column, QDate today, std::string& scratch) {
  switch (column) {
    case kIncomeColumn:
    case kExpenseColumn:
      return PackNumber(ParseAmount(Column(row, column)));
    case kDescriptionColumn:
      return PackText(Column(row, column).substr(0, 10));
    case kDateColumn:
      scratch.clear();
      AppendDateKeyText(Column(row, kDateColumn), IsBankBalanceRow(Column(row, kCategoryColumn)),
                        today, scratch);
      return PackText(scratch);
    default:
      return PackText(Column(row, column));
  }
}

bool IsReconciledOrBankBalance(const std::string& row) {
  return Column(row, kMarkColumn) == "+" || IsBankBalanceRow(Column(row, kCategoryColumn));
}

}  // namespace

void Register::SortRegister(int column, QDate today, const CancelCheck& cancel) {
  if (column < kIncomeColumn || column > kDateColumn || RowCount() < 2) return;
  if (!today.isValid()) today = QDate::currentDate();
  // The last row takes no part; one that has been written into is kept.
  if (!RowIsEmpty(RowCount() - 1)) AddEmptyRow();

  const size_t count = rows_.size() - 1;
  const bool whole_text = column == kTypeColumn || column == kCategoryColumn;
  std::vector<std::string_view> texts(whole_text ? count : 0);
  std::vector<SortItem> items(count);
  std::string scratch;
  for (size_t i = 0; i < count; ++i) {
    const PackedKey key = KeyOf(rows_[i], column, today, scratch);
    items[i] = {key.high, key.low, static_cast<std::uint32_t>(i)};
    if (whole_text) texts[i] = Column(rows_[i], column);
  }

  if (!(cancel && cancel())) {
    // Ties keep their order, so the result never depends on the sort's path.
    std::sort(items.begin(), items.end(), [&](const SortItem& a, const SortItem& b) {
      if (a.high != b.high) return a.high < b.high;
      if (a.low != b.low) return a.low < b.low;
      if (whole_text && HasTail({a.high, a.low})) {
        const int order = texts[a.index].substr(kPackedTextBytes)
                              .compare(texts[b.index].substr(kPackedTextBytes));
        if (order != 0) return order < 0;
      }
      return a.index < b.index;
    });
    texts.clear();
    std::vector<std::string> sorted;
    sorted.reserve(rows_.size());
    for (const SortItem& item : items) sorted.push_back(std::move(rows_[item.index]));
    sorted.push_back(std::move(rows_.back()));
    rows_.swap(sorted);
  }

  if (column == kDateColumn) {
    ReconcileAfterDateSort(cancel);
    RecomputeBalances();
    needs_sorting_ = false;
  } else {
    needs_sorting_ = true;
  }
}

// The open rows above the last bank balance go below it, keeping their
// order: the same result as moving each one down in turn from the bottom up,
// in one pass.
void Register::ReconcileAfterDateSort(const CancelCheck& cancel) {
  int last = RowCount() - 2;
  while (last >= 0 && !IsBankBalanceRow(RawCell(last, kCategoryColumn))) --last;
  last_bank_balance_row_ = last;
  if (last <= 0) return;

  // A cancel request stops the scan from the bottom; the rows above stay.
  int first = 0;
  if (cancel) {
    for (int m = last - 1; m >= 0; m -= kCancelStride) {
      if (cancel()) {
        first = m + 1;
        break;
      }
    }
  }

  std::vector<std::string> open;
  int kept = first;
  for (int r = first; r <= last; ++r) {
    std::string& row = rows_[static_cast<size_t>(r)];
    if (IsReconciledOrBankBalance(row)) {
      if (kept != r) rows_[static_cast<size_t>(kept)] = std::move(row);
      ++kept;
    } else {
      open.push_back(std::move(row));
    }
  }
  last_bank_balance_row_ = kept - 1;
  for (std::string& row : open) rows_[static_cast<size_t>(kept++)] = std::move(row);
}

}  // namespace cheque
