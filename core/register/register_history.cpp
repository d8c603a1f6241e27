#include "core/register/register_history.h"

#include <algorithm>
#include <utility>

#include "core/register/register_row.h"

namespace cheque {

size_t RegisterHistory::Step::Memory() const {
  size_t total = sizeof(Step) + ops.capacity() * sizeof(Op) + bytes.capacity();
  for (const auto& order : orders) total += order.capacity() * sizeof(std::uint32_t);
  return total;
}

void RegisterHistory::Attach(Register& reg) {
  Detach();
  reg_ = &reg;
  reg.SetChangeLog(this);
  Clear();
}

void RegisterHistory::Detach() {
  if (reg_ != nullptr) reg_->SetChangeLog(nullptr);
  reg_ = nullptr;
  Clear();
}

void RegisterHistory::Clear() {
  open_ = Step{};
  undo_.clear();
  redo_.clear();
  bytes_ = 0;
  last_tags_ = 0;
  merge_open_ = false;
  committed_ = CurrentFlags();
  ResetOpenChange();
  Announce();
}

void RegisterHistory::Announce() {
  if (announced_.can_undo == CanUndo() && announced_.can_redo == CanRedo()) return;
  announced_ = {CanUndo(), CanRedo()};
  emit UndoRedoChanged(CanUndo(), CanRedo());
}

void RegisterHistory::ResetOpenChange() {
  first_changed_row_ = -1;
  stale_rows_.clear();
}

RegisterHistory::Flags RegisterHistory::CurrentFlags() const {
  if (reg_ == nullptr) return {};
  return {reg_->needs_sorting_, reg_->date_ordered_, reg_->last_bank_balance_row_};
}

size_t RegisterHistory::MemoryBytes() const { return bytes_ + open_.Memory(); }

void RegisterHistory::Add(OpKind kind, bool derived, int row, size_t start, std::string_view before,
                          std::string_view after) {
  open_.ops.push_back({kind, derived, static_cast<std::uint32_t>(row),
                       static_cast<std::uint32_t>(start), open_.bytes.size(),
                       static_cast<std::uint32_t>(before.size()),
                       static_cast<std::uint32_t>(after.size())});
  open_.bytes.append(before);
  open_.bytes.append(after);
}

void RegisterHistory::MarkStale(int row) {
  // Row 0 keeps its balance: a change there moves the rows below it.
  row = std::max(row, 1);
  const auto at = std::lower_bound(stale_rows_.begin(), stale_rows_.end(), row);
  if (at == stale_rows_.end() || *at != row) stale_rows_.insert(at, row);
}

void RegisterHistory::ShiftStale(int from_row, int by) {
  for (int& row : stale_rows_) {
    if (row >= from_row) row = std::max(row + by, 1);
  }
  stale_rows_.erase(std::unique(stale_rows_.begin(), stale_rows_.end()), stale_rows_.end());
}

void RegisterHistory::Spliced(int row, size_t start, std::string_view before,
                              std::string_view after, bool derived) {
  Add(OpKind::kSplice, derived, row, start, before, after);
  if (derived || reg_ == nullptr) return;
  first_changed_row_ = first_changed_row_ < 0 ? row : std::min(first_changed_row_, row);
  // The field the bytes lie in, told by the line ends before them.
  const std::string_view record = reg_->rows_.View(static_cast<size_t>(row)).substr(0, start);
  const auto field = static_cast<int>(std::count(record.begin(), record.end(), '\n'));
  using register_row::kFieldOfColumn;
  if (field == kFieldOfColumn[kBalanceColumn] || field == kFieldOfColumn[kIncomeColumn] ||
      field == kFieldOfColumn[kExpenseColumn] || field == kFieldOfColumn[kCategoryColumn]) {
    MarkStale(row);
  }
}

void RegisterHistory::Inserted(int row, std::string_view record) {
  Add(OpKind::kInsert, false, row, 0, {}, record);
  first_changed_row_ = first_changed_row_ < 0 ? row : std::min(first_changed_row_, row);
  ShiftStale(row, 1);
}

void RegisterHistory::Removed(int row, std::string_view record) {
  Add(OpKind::kRemove, false, row, 0, record, {});
  first_changed_row_ = first_changed_row_ < 0 ? row : std::min(first_changed_row_, row);
  ShiftStale(row + 1, -1);
  MarkStale(row);
}

void RegisterHistory::Reordered(std::vector<std::uint32_t> order) {
  if (order.empty()) return;
  Add(OpKind::kReorder, false, static_cast<int>(open_.orders.size()), 0, {}, {});
  open_.orders.push_back(std::move(order));
  // A sort decides the balances itself: the date sort computes them all.
  first_changed_row_ = 0;
  stale_rows_.clear();
}

void RegisterHistory::BalancesRecomputed(int first_row, int end_row) {
  const auto from = std::lower_bound(stale_rows_.begin(), stale_rows_.end(), first_row);
  const auto to = std::lower_bound(from, stale_rows_.end(), end_row);
  stale_rows_.erase(from, to);
}

void RegisterHistory::Commit(std::uint64_t merge_key) {
  const Flags now = CurrentFlags();
  ResetOpenChange();
  if (open_.ops.empty()) {
    // A flag alone (a sort that found the rows in order) belongs to the last step.
    if (!undo_.empty() && redo_.empty()) undo_.back().after = now;
    committed_ = now;
    Announce();
    return;
  }
  // Whatever was undone cannot be redone over changed rows.
  redo_.clear();
  const bool derived_only =
      std::all_of(open_.ops.begin(), open_.ops.end(), [](const Op& op) { return op.derived; });
  const bool merged =
      merge_key != 0 && merge_open_ && !undo_.empty() && undo_.back().merge_key == merge_key;
  if (derived_only || merged) {
    // Balances written before any step are part of where undo stops.
    if (!undo_.empty()) {
      Step& last = undo_.back();
      const size_t shift = last.bytes.size();
      for (Op op : open_.ops) {
        op.offset += shift;
        last.ops.push_back(op);
      }
      last.bytes.append(open_.bytes);
      last.after = now;
    }
  } else {
    open_.before = committed_;
    open_.after = now;
    open_.ops.shrink_to_fit();
    open_.bytes.shrink_to_fit();
    open_.merge_key = merge_key;
    merge_open_ = merge_key != 0;
    undo_.push_back(std::move(open_));
  }
  open_ = Step{};
  committed_ = now;
  bytes_ = 0;
  for (const Step& step : undo_) bytes_ += step.Memory();
  Trim();
  Announce();
}

void RegisterHistory::RevertOpenStep() {
  if (reg_ != nullptr && !open_.ops.empty()) {
    const unsigned tags = last_tags_;
    open_.before = committed_;
    Play(open_, false);
    last_tags_ = tags;
  }
  open_ = Step{};
  ResetOpenChange();
}

void RegisterHistory::Trim() {
  while (!undo_.empty() && (undo_.size() > kMaxSteps || bytes_ > kMaxBytes)) {
    bytes_ -= undo_.front().Memory();
    undo_.pop_front();
  }
}

namespace {

void InsertRecord(RowStore& rows, size_t row, std::string_view record) {
  rows.PushBack(record);
  auto& table = rows.Rows();
  std::rotate(table.begin() + static_cast<std::ptrdiff_t>(row), table.end() - 1, table.end());
}

// Row order[k] goes to place k, or the other way round.
void ApplyOrder(RowStore& rows, const std::vector<std::uint32_t>& order, bool forward) {
  auto& table = rows.Rows();
  const RowStore::RowTable held(table.begin(),
                                table.begin() + static_cast<std::ptrdiff_t>(order.size()));
  for (size_t k = 0; k < order.size(); ++k) {
    if (forward) {
      table[k] = held[order[k]];
    } else {
      table[order[k]] = held[k];
    }
  }
}

}  // namespace

void RegisterHistory::Play(const Step& step, bool forward) {
  RowStore& rows = reg_->rows_;
  const auto play = [&](const Op& op) {
    const std::string_view before(step.bytes.data() + op.offset, op.before_size);
    const std::string_view after(step.bytes.data() + op.offset + op.before_size, op.after_size);
    const bool insert = (op.kind == OpKind::kInsert) == forward;
    switch (op.kind) {
      case OpKind::kSplice:
        if (forward) {
          rows.Replace(op.row, op.start, op.start + before.size(), after);
        } else {
          rows.Replace(op.row, op.start, op.start + after.size(), before);
        }
        break;
      case OpKind::kInsert:
      case OpKind::kRemove:
        if (insert) {
          InsertRecord(rows, op.row, forward ? after : before);
        } else {
          rows.Erase(op.row);
        }
        break;
      case OpKind::kReorder:
        ApplyOrder(rows, step.orders[op.row], forward);
        break;
    }
  };
  if (forward) {
    for (const Op& op : step.ops) play(op);
  } else {
    for (auto op = step.ops.rbegin(); op != step.ops.rend(); ++op) play(*op);
  }
  rows.CompactIfWasteful();
  const Flags& flags = forward ? step.after : step.before;
  reg_->needs_sorting_ = flags.needs_sorting;
  reg_->date_ordered_ = flags.date_ordered;
  reg_->last_bank_balance_row_ = flags.last_bank_balance_row;
  committed_ = flags;
  last_tags_ = step.tags;
}

int RegisterHistory::Undo() {
  Commit();
  merge_open_ = false;
  if (undo_.empty() || reg_ == nullptr) return -1;
  Step step = std::move(undo_.back());
  undo_.pop_back();
  bytes_ -= step.Memory();
  Play(step, false);
  int row = -1;
  for (const Op& op : step.ops) {
    if (!op.derived && op.kind != OpKind::kReorder) {
      row = static_cast<int>(op.row);
      break;
    }
  }
  redo_.push_back(std::move(step));
  Announce();
  return std::clamp(row < 0 ? 0 : row, 0, reg_->RowCount() - 1);
}

int RegisterHistory::Redo() {
  Commit();
  merge_open_ = false;
  if (redo_.empty() || reg_ == nullptr) return -1;
  Step step = std::move(redo_.back());
  redo_.pop_back();
  Play(step, true);
  int row = -1;
  for (const Op& op : step.ops) {
    if (!op.derived && op.kind != OpKind::kReorder) {
      row = static_cast<int>(op.row);
      break;
    }
  }
  bytes_ += step.Memory();
  undo_.push_back(std::move(step));
  Announce();
  return std::clamp(row < 0 ? 0 : row, 0, reg_->RowCount() - 1);
}

}  // namespace cheque
