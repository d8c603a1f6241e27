#include <algorithm>
#include <cstdint>

#include "core/register/register.h"
#include "core/register/register_row.h"
#include "core/register/sort_key.h"
#include "core/register/two_threads.h"
#include "core/text/amount.h"

namespace cheque {
namespace {

using register_row::Column;

struct SortItem {
  // Left unset: the keys' pass writes every item, and on two threads also
  // the first touch of the memory, which the system then prepares.
  SortItem() {}  // NOLINT(modernize-use-equals-default)
  SortItem(std::uint64_t h, std::uint64_t l, std::uint32_t i) : high(h), low(l), index(i) {}
  std::uint64_t high;
  std::uint64_t low;
  std::uint32_t index;
};

using SortItems = std::vector<SortItem, LargeAllocator<SortItem>>;

// Rows between two looks at the cancel request.
constexpr int kCancelStride = 4096;

// Rows of one day come together, so the key of the date before is often the key.
struct DateKeyMemo {
  std::string_view date;
  bool bank_balance = false;
  PackedKey key;
  bool valid = false;
};

PackedKey KeyOf(std::string_view row, int column, QDate today, std::string& scratch,
                DateKeyMemo& memo) {
  switch (column) {
    case kIncomeColumn:
    case kExpenseColumn:
      return PackNumber(ParseAmount(Column(row, column)));
    case kDescriptionColumn:
      return PackText(Column(row, column).substr(0, 10));
    case kDateColumn: {
      // The date is the 4th field, the category the 2nd.
      const auto fields = register_row::Split<4>(row);
      const std::string_view date = fields.Column(kDateColumn);
      const bool bank_balance = IsBankBalanceRow(fields.Column(kCategoryColumn));
      if (memo.valid && memo.bank_balance == bank_balance && memo.date == date) return memo.key;
      scratch.clear();
      AppendDateKeyText(date, bank_balance, today, scratch);
      memo = {date, bank_balance, PackText(scratch), true};
      return memo.key;
    }
    default:
      return PackText(Column(row, column));
  }
}

// Puts row items[k].index at place k, one cycle of moves at a time, so that
// rows already in place cost nothing and no second row table is needed.
void Permute(const SortItems& items, RowStore::RowTable& rows) {
  std::vector<bool> placed(items.size());
  for (size_t start = 0; start < items.size(); ++start) {
    if (placed[start] || items[start].index == start) continue;
    const RowStore::Row held = rows[start];
    size_t to = start;
    for (;;) {
      placed[to] = true;
      const size_t from = items[to].index;
      if (from == start) {
        rows[to] = held;
        break;
      }
      rows[to] = rows[from];
      to = from;
    }
  }
}

bool IsReconciledOrBankBalance(std::string_view row) {
  return register_row::IsReconciled(row) || IsBankBalanceRow(Column(row, kCategoryColumn));
}

}  // namespace

void Register::SortRegister(int column, QDate today, const CancelCheck& cancel) {
  if (column < kIncomeColumn || column > kDateColumn || RowCount() < 2) return;
  // The last row takes no part; one that has been written into is kept.
  if (!RowIsEmpty(RowCount() - 1)) AddEmptyRow();

  const size_t count = rows_.Size() - 1;
  const bool whole_text = column == kTypeColumn || column == kCategoryColumn;
  std::vector<std::string_view, LargeAllocator<std::string_view>> texts(whole_text ? count : 0);
  SortItems items(count);
  std::string scratch;
  DateKeyMemo memo;
  bool cancelled = false;
  const auto read_keys = [&](size_t first, size_t end, std::string& scratch, DateKeyMemo& memo) {
    for (size_t i = first; i < end; ++i) {
      const std::string_view row = rows_.View(i);
      const PackedKey key = KeyOf(row, column, today, scratch, memo);
      items[i] = {key.high, key.low, static_cast<std::uint32_t>(i)};
      if (whole_text) texts[i] = Column(row, column);
    }
  };
  if (cancel) {
    // Reading keys is most of the work; a cancel leaves the rows as they were.
    for (size_t i = 0; i < count && !cancelled; i += kCancelStride) {
      cancelled = cancel();
      if (!cancelled) read_keys(i, std::min(count, i + kCancelStride), scratch, memo);
    }
  } else if (WorthTwoThreads(count)) {
    // A cancel check may look at the window, which only its own thread may do.
    std::string scratches[2];
    DateKeyMemo memos[2];
    RunInTwo([&](int half) {
      const size_t middle = count / 2;
      read_keys(half == 0 ? 0 : middle, half == 0 ? middle : count, scratches[half], memos[half]);
    });
  } else {
    read_keys(0, count, scratch, memo);
  }

  const auto before = [&](const SortItem& a, const SortItem& b) {
    if (a.high != b.high) return a.high < b.high;
    if (a.low != b.low) return a.low < b.low;
    if (whole_text && HasTail({a.high, a.low})) {
      const int order =
          texts[a.index].substr(kPackedTextBytes).compare(texts[b.index].substr(kPackedTextBytes));
      if (order != 0) return order < 0;
    }
    return a.index < b.index;
  };
  std::vector<std::uint32_t> order;
  if (!cancelled && !(cancel && cancel()) && !std::is_sorted(items.begin(), items.end(), before)) {
    // Ties keep their order, so the result never depends on the sort's path.
    std::sort(items.begin(), items.end(), before);
    texts.clear();
    Permute(items, rows_.Rows());
    if (log_.log != nullptr) {
      order.resize(count);
      for (size_t k = 0; k < count; ++k) order[k] = items[k].index;
    }
  }

  if (column == kDateColumn) {
    if (log_.log != nullptr && order.empty()) {
      order.resize(count);
      for (size_t k = 0; k < count; ++k) order[k] = static_cast<std::uint32_t>(k);
    }
    ReconcileAfterDateSort(cancel, log_.log != nullptr ? &order : nullptr);
    if (log_.log != nullptr) log_.log->Reordered(std::move(order));
    RecomputeBalances();
    needs_sorting_ = false;
    date_ordered_ = true;
  } else {
    if (log_.log != nullptr && !order.empty()) log_.log->Reordered(std::move(order));
    needs_sorting_ = true;
    date_ordered_ = false;
  }
}

// The open rows above the last bank balance go below it, keeping their
// order: the same result as moving each one down in turn from the bottom up,
// in one pass.
void Register::ReconcileAfterDateSort(const CancelCheck& cancel,
                                      std::vector<std::uint32_t>* order) {
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

  RowStore::RowTable& rows = rows_.Rows();
  std::vector<RowStore::Row> open;
  std::vector<std::uint32_t> open_from;
  size_t kept = static_cast<size_t>(first);
  for (size_t r = kept; r <= static_cast<size_t>(last); ++r) {
    if (IsReconciledOrBankBalance(rows[r].View())) {
      if (order != nullptr) (*order)[kept] = (*order)[r];
      rows[kept++] = rows[r];
    } else {
      open.push_back(rows[r]);
      if (order != nullptr) open_from.push_back((*order)[r]);
    }
  }
  last_bank_balance_row_ = static_cast<int>(kept) - 1;
  for (size_t i = 0; i < open.size(); ++i) {
    if (order != nullptr) (*order)[kept] = open_from[i];
    rows[kept++] = open[i];
  }
}

}  // namespace cheque
