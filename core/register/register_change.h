#pragma once

// What a change to the rows touches, and the work that closes it: the rules
// the active account's edits apply at their end, whichever window made the
// change.

#include <QString>

namespace cheque {

class Register;
class RegisterHistory;

// The columns whose change moves the running balance or the date order.
bool ChangesBalance(int column);

// The cell the cursor last entered among the amounts and the date, with the
// text it had then.
struct VisitedCell {
  int row = -1;
  int column = -1;
  QString text;
};
// The cursor enters (row, column). Entering an amount or the date asks
// whether the cell last entered there was changed meanwhile: true when that
// calls for a date sort. The entered cell then becomes the visited one.
bool EnterCell(const Register& reg, VisitedCell& visited, int row, int column);

// Closes a change recorded in `history`, the register's log: the running
// balance from every row the change left stale up to the next real bank
// balance (a typed amount, a dialog's row and the series it appended, a
// removed row; the balance passes the change ran itself count), and the
// reference row of the overdue colour. Never a pass over the rows the
// change did not reach.
void RecomputeAfterChange(Register& reg, const RegisterHistory& history);

}  // namespace cheque
