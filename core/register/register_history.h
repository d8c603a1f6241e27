#pragma once

// Undo and redo of the changes to one register. The register tells its log
// of every change to its rows as it happens; the history gathers them into
// steps, each closed by Commit when one user action is over, and plays them
// backwards or forwards. A step keeps only the bytes it changed (a cell, an
// inserted or removed record) and, for a sort, the order of the rows, so
// undo and redo give back the rows byte for byte. The running balances a
// balance pass rewrote are kept as the pass itself, to run again on redo,
// when the balances before the step were all current: undo then computes
// them again too, instead of keeping a deletion's hundreds of balances.

#include <QObject>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "core/register/register.h"

namespace cheque {

class RegisterHistory : public QObject, public RowChangeLog {
  Q_OBJECT

 public:
  // Steps beyond either limit drop the oldest ones.
  static constexpr size_t kMaxSteps = 500;
  static constexpr size_t kMaxBytes = size_t{96} << 20;

  RegisterHistory() = default;
  explicit RegisterHistory(Register& reg) { Attach(reg); }
  ~RegisterHistory() override {
    announced_ = {};  // no signal while going
    blockSignals(true);
    Detach();
  }
  RegisterHistory(const RegisterHistory&) = delete;
  RegisterHistory& operator=(const RegisterHistory&) = delete;

  // Starts listening to a register, with an empty history. A caller that has
  // just run the whole balance pass says so, sparing a pass over every row.
  void Attach(Register& reg, bool balances_known_current = false);
  void Detach();
  void Clear();

  // Closes the changes made since the last commit into one step. A step of
  // running balances alone joins the step before it: it is that step's
  // consequence, not an action of its own. A step with the same non-zero
  // `merge_key` as the last one (more typing in the same cell) joins it,
  // until EndMerge.
  void Commit(std::uint64_t merge_key = 0);
  void EndMerge() { merge_open_ = false; }
  // An open step with changes not yet committed.
  bool HasOpenStep() const { return !open_.ops.empty(); }
  // Takes back the changes not yet committed, byte for byte, as if they had
  // never been made.
  void RevertOpenStep();

  // What the open step changed: the first row the change itself wrote (not
  // a balance pass), -1 for none.
  int FirstChangedRow() const { return first_changed_row_; }
  // The rows whose running balance the open step's own changes may have
  // moved and no balance pass has computed since (a changed amount,
  // category or real balance, a removed row), in order; see
  // RecomputeAfterChange.
  const std::vector<int>& StaleBalanceRows() const { return stale_rows_; }

  bool CanUndo() const { return !undo_.empty(); }
  bool CanRedo() const { return !redo_.empty(); }
  // Play a step; return the row for the cursor, or -1 when there was none.
  // Anything uncommitted is committed first.
  int Undo();
  int Redo();
  // Whether the undone or redone step wrote the given tag (see Tag).
  unsigned LastTags() const { return last_tags_; }

  // Marks the open step, e.g. as a printed cheque, for the page to tell.
  void Tag(unsigned tag) { open_.tags |= tag; }
  static constexpr unsigned kChequePrinted = 1;
  static constexpr unsigned kImported = 2;  // a bank statement's import: saved at once

  size_t UndoCount() const { return undo_.size(); }
  size_t RedoCount() const { return redo_.size(); }
  // The bytes the undo steps and the open one hold.
  size_t MemoryBytes() const;

  // RowChangeLog.
  void Spliced(int row, size_t start, std::string_view before, std::string_view after,
               bool derived) override;
  void Inserted(int row, std::string_view record) override;
  void Removed(int row, std::string_view record) override;
  void Reordered(std::vector<std::uint32_t> order) override;
  void Reset() override;
  void BalancesRecomputed(int first_row, int end_row) override;

 signals:
  // Whether undo and redo have a step to play changed.
  void UndoRedoChanged(bool can_undo, bool can_redo);

 private:
  // kRecompute: the balance pass over rows [row, start).
  enum class OpKind : std::uint8_t { kSplice, kInsert, kRemove, kReorder, kRecompute };
  struct Op {
    OpKind kind;
    bool derived;
    std::uint8_t field = 0;  // of the record, for kSplice
    std::uint32_t row;       // the order's index for kReorder
    std::uint32_t start;     // within the row, for kSplice
    size_t offset;           // of the bytes in Step::bytes: before, then after
    std::uint32_t before_size;
    std::uint32_t after_size;
  };
  struct Flags {
    bool needs_sorting = false;
    bool date_ordered = true;
    int last_bank_balance_row = -1;
    bool balances_current = false;  // every balance as RecomputeBalances writes it
    int rows = 0;
  };
  struct Step {
    std::vector<Op> ops;
    std::string bytes;
    std::vector<std::vector<std::uint32_t>> orders;
    Flags before;
    Flags after;
    unsigned tags = 0;
    std::uint64_t merge_key = 0;
    // Kept as passes (see Compact): undo computes rows [undo_first, undo_end)
    // again, where every balance the step rewrote lies once its own changes
    // are undone.
    bool recompute = false;
    std::uint32_t undo_first = UINT32_MAX;
    std::uint32_t undo_end = 0;
    std::uint32_t removals = 0;  // rows removed so far, which shift rows up
    size_t Memory() const;
  };

  void Add(OpKind kind, bool derived, int row, size_t start, std::string_view before,
           std::string_view after);
  Flags CurrentFlags() const;
  void Play(const Step& step, bool forward);
  // Makes the ops from `first_new` on part of the step: with current
  // balances before the step its balance bytes go (their rows noted for
  // undo), otherwise its passes, which the bytes replace.
  static void Compact(Step& step, size_t first_new);
  // A sort, or a category changed: what undo cannot compute again.
  static bool MovesRows(const std::vector<Op>& ops);
  void Trim();
  void MarkStale(int row);
  void ShiftStale(int from_row, int by);
  void ResetOpenChange();
  void Announce();

  Register* reg_ = nullptr;
  Step open_;
  Flags committed_;
  std::deque<Step> undo_;
  std::deque<Step> redo_;
  size_t bytes_ = 0;  // held by undo_
  unsigned last_tags_ = 0;
  bool merge_open_ = false;
  int first_changed_row_ = -1;
  std::vector<int> stale_rows_;
  // Every balance is current, apart from the stale rows of the open step.
  bool current_ = false;
  struct {
    bool can_undo = false;
    bool can_redo = false;
  } announced_;
};

}  // namespace cheque
