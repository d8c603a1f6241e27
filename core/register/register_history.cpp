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

void RegisterHistory::Attach(Register& reg, bool balances_known_current) {
  Detach();
  reg_ = &reg;
  reg.SetChangeLog(this);
  current_ = balances_known_current || reg.BalancesAreCurrent();
  Clear();
}

void RegisterHistory::Detach() {
  if (reg_ != nullptr) reg_->SetChangeLog(nullptr);
  reg_ = nullptr;
  current_ = false;
  Clear();
}

void RegisterHistory::Reset() {
  // Rows read from a file bring their balances as they were written.
  current_ = reg_ != nullptr && reg_->RowCount() < 3;
  Clear();
}

void RegisterHistory::Clear() {
  current_ = current_ && stale_rows_.empty();
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
  return {reg_->needs_sorting_, reg_->date_ordered_, reg_->last_bank_balance_row_,
          current_ && stale_rows_.empty(), reg_->RowCount()};
}

size_t RegisterHistory::MemoryBytes() const { return bytes_ + open_.Memory(); }

void RegisterHistory::Add(OpKind kind, bool derived, int row, size_t start, std::string_view before,
                          std::string_view after) {
  open_.ops.push_back({kind, derived, 0, static_cast<std::uint32_t>(row),
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
  // The field the bytes lie in, told by the line ends before them; a
  // balance pass writes the first.
  int field = 0;
  if (!derived && reg_ != nullptr) {
    const std::string_view record = reg_->rows_.View(static_cast<size_t>(row)).substr(0, start);
    field = static_cast<int>(std::count(record.begin(), record.end(), '\n'));
  }
  Add(OpKind::kSplice, derived, row, start, before, after);
  open_.ops.back().field = static_cast<std::uint8_t>(field);
  if (derived || reg_ == nullptr) return;
  first_changed_row_ = first_changed_row_ < 0 ? row : std::min(first_changed_row_, row);
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
  if (!register_row::IsEmpty(record)) MarkStale(row);
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
  current_ = false;  // until that pass
}

void RegisterHistory::BalancesRecomputed(int first_row, int end_row) {
  Add(OpKind::kRecompute, true, std::max(first_row, 0), static_cast<size_t>(end_row), {}, {});
  const auto from = std::lower_bound(stale_rows_.begin(), stale_rows_.end(), first_row);
  const auto to = std::lower_bound(from, stale_rows_.end(), end_row);
  stale_rows_.erase(from, to);
  if (reg_ != nullptr && first_row <= 1 && end_row >= reg_->RowCount()) current_ = true;
}

bool RegisterHistory::MovesRows(const std::vector<Op>& ops) {
  return std::any_of(ops.begin(), ops.end(), [](const Op& op) {
    return op.kind == OpKind::kReorder ||
           (op.kind == OpKind::kSplice && !op.derived &&
            op.field == register_row::kFieldOfColumn[kCategoryColumn]);
  });
}

void RegisterHistory::Compact(Step& step, size_t first_new) {
  // Undo computes again the balances of rows 1 to the one before last that
  // are no bank balance before the step: a sorted row may have been the
  // first, and a row whose category changes a bank balance.
  const bool recompute =
      step.before.balances_current && (first_new > 0 ? step.recompute : !MovesRows(step.ops));
  std::vector<Op> ops;
  ops.reserve(step.ops.size());
  std::string bytes;
  for (size_t k = 0; k < step.ops.size(); ++k) {
    Op op = step.ops[k];
    // Ops before `first_new` were settled when they came.
    bool keep = k < first_new;
    if (!keep && !recompute) keep = op.kind != OpKind::kRecompute;
    if (!keep && recompute) {
      // A row above every change keeps its place and its bytes; a balance
      // the step rewrote lies, before the step, at most as many rows
      // further down as the step had removed by then.
      const bool balance_bytes = op.kind == OpKind::kSplice && op.derived;
      if (op.kind != OpKind::kRecompute) step.undo_first = std::min(step.undo_first, op.row);
      if (op.kind == OpKind::kRemove) ++step.removals;
      const std::uint32_t place = op.row + step.removals;
      if (balance_bytes) step.undo_end = std::max(step.undo_end, place + 1);
      // The last row, where the pass never comes, keeps what it holds: a
      // balance written there once rows came below it is kept as bytes.
      keep = !balance_bytes || place + 1 >= static_cast<std::uint32_t>(step.before.rows);
      // A pass's balances come just before it: one that wrote none has
      // nothing to compute again.
      if (op.kind == OpKind::kRecompute) {
        keep = k > first_new && step.ops[k - 1].kind == OpKind::kSplice && step.ops[k - 1].derived;
      }
    }
    if (!keep) continue;
    const size_t size = size_t{op.before_size} + op.after_size;
    bytes.append(step.bytes, op.offset, size);
    op.offset = bytes.size() - size;
    ops.push_back(op);
  }
  ops.shrink_to_fit();
  bytes.shrink_to_fit();
  step.ops = std::move(ops);
  step.bytes = std::move(bytes);
  step.recompute = recompute;
}

void RegisterHistory::Commit(std::uint64_t merge_key) {
  const Flags now = CurrentFlags();
  current_ = now.balances_current;
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
  // A step whose balances are kept as passes takes no sort nor category
  // change: see Compact.
  const bool merged = merge_key != 0 && merge_open_ && !undo_.empty() &&
                      undo_.back().merge_key == merge_key &&
                      !(undo_.back().recompute && MovesRows(open_.ops));
  if (derived_only || merged) {
    // Balances written before any step are part of where undo stops.
    if (!undo_.empty()) {
      Step& last = undo_.back();
      const size_t shift = last.bytes.size();
      const size_t first_new = last.ops.size();
      for (Op op : open_.ops) {
        op.offset += shift;
        last.ops.push_back(op);
      }
      last.bytes.append(open_.bytes);
      last.after = now;
      Compact(last, first_new);
    }
  } else {
    open_.before = committed_;
    open_.after = now;
    Compact(open_, 0);
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
  // The passes played here are no new change.
  reg_->SetChangeLog(nullptr);
  const auto play = [&](const Op& op) {
    const std::string_view before(step.bytes.data() + op.offset, op.before_size);
    const std::string_view after(step.bytes.data() + op.offset + op.before_size, op.after_size);
    const bool insert = (op.kind == OpKind::kInsert) == forward;
    switch (op.kind) {
      case OpKind::kSplice: {
        // A change is always a whole field. Found anew, not by its place
        // then: a balance that is computed again may have another length
        // in the meantime than it had.
        const auto span = register_row::SpanOf(rows.View(op.row), op.field);
        rows.Replace(op.row, span.start, span.end, forward ? after : before);
        break;
      }
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
      case OpKind::kRecompute:
        // Without its bytes, a pass computes again what it wrote; undone,
        // the rows it rewrote are computed once, at the end.
        if (forward && step.recompute) reg_->RecomputeBalanceRows(op.row, op.start);
        break;
    }
  };
  if (forward) {
    for (const Op& op : step.ops) play(op);
  } else {
    for (auto op = step.ops.rbegin(); op != step.ops.rend(); ++op) play(*op);
    // The balances were current before the step, so computing them again
    // gives them back as they were.
    if (step.recompute && step.undo_end > 0) {
      reg_->RecomputeBalanceRows(static_cast<int>(step.undo_first),
                                 static_cast<int>(step.undo_end));
    }
  }
  reg_->SetChangeLog(this);
  rows.CompactIfWasteful();
  const Flags& flags = forward ? step.after : step.before;
  reg_->needs_sorting_ = flags.needs_sorting;
  reg_->date_ordered_ = flags.date_ordered;
  reg_->last_bank_balance_row_ = flags.last_bank_balance_row;
  current_ = flags.balances_current;
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
