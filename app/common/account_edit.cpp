#include "app/common/account_edit.h"

#include "app/common/active_account.h"
#include "core/register/register_change.h"

namespace cheque {

AccountEdit::AccountEdit(ActiveAccount& account, std::uint64_t merge_key)
    : account_(account), merge_key_(merge_key) {
  if (account_.edit_depth_++ == 0) {
    // Whatever was left open (nothing should be) is no part of this change.
    account_.history_.Commit();
    account_.edit_tags_ = 0;
    account_.edit_revert_ = false;
  }
}

AccountEdit::~AccountEdit() {
  if (--account_.edit_depth_ > 0) return;
  account_.FinishEdit(merge_key_, account_.edit_tags_, account_.edit_revert_);
}

Register& AccountEdit::Rows() { return account_.register_; }

void AccountEdit::Tag(unsigned tag) { account_.edit_tags_ |= tag; }

void AccountEdit::Revert() { account_.edit_revert_ = true; }

void ActiveAccount::FinishEdit(std::uint64_t merge_key, unsigned tags, bool revert) {
  saved_stamp_.reset();
  date_sorted_ = false;
  const int first_row = history_.FirstChangedRow();
  if (revert) {
    history_.RevertOpenStep();
  } else {
    RecomputeAfterChange(register_, history_);
    history_.Tag(tags);
  }
  history_.Commit(merge_key);
  emit RowsChanged(first_row);
}

int ActiveAccount::Undo() {
  if (IsEditing()) return -1;
  saved_stamp_.reset();
  date_sorted_ = false;
  const int row = history_.Undo();
  if (row >= 0) emit RowsChanged(row);
  return row;
}

int ActiveAccount::Redo() {
  if (IsEditing()) return -1;
  saved_stamp_.reset();
  date_sorted_ = false;
  const int row = history_.Redo();
  if (row >= 0) emit RowsChanged(row);
  return row;
}

}  // namespace cheque
