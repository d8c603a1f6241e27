#pragma once

#include <cstdint>

namespace cheque {

class ActiveAccount;
class Register;

// The one door for changes to the active account's rows. While an edit
// lives its Rows() may be changed; when the outermost edit ends, the change
// is closed by the register's rules (RecomputeAfterChange: the balances it
// left stale, the overdue colour's reference), one undo step is closed
// (none when nothing changed) and the account's RowsChanged carries the
// first changed row. Edits nest: a dialog's OK inside the page's copy of a
// row makes one step with it.
class AccountEdit {
 public:
  // Steps closed with the same non-zero `merge_key` join one undo step, as
  // the keystrokes typed into one cell do, until ActiveAccount::EndTyping.
  explicit AccountEdit(ActiveAccount& account, std::uint64_t merge_key = 0);
  ~AccountEdit();
  AccountEdit(const AccountEdit&) = delete;
  AccountEdit& operator=(const AccountEdit&) = delete;

  Register& Rows();
  // Marks the step for the page to tell on undo (RegisterHistory's tags).
  void Tag(unsigned tag);
  // Everything changed since the outermost edit began goes back, byte for
  // byte, when it ends: no step at all.
  void Revert();

 private:
  ActiveAccount& account_;
  std::uint64_t merge_key_;
};

}  // namespace cheque
