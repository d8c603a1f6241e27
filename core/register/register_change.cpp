#include "core/register/register_change.h"

#include "core/register/register.h"
#include "core/register/register_history.h"

namespace cheque {

bool ChangesBalance(int column) {
  return column == kIncomeColumn || column == kExpenseColumn || column == kDateColumn;
}

bool EnterCell(const Register& reg, VisitedCell& visited, int row, int column) {
  if (!ChangesBalance(column)) return false;
  const bool changed = visited.row >= 0 && visited.row < reg.RowCount() &&
                       reg.Cell(visited.row, visited.column) != visited.text;
  visited = {row, column, reg.Cell(row, column)};
  return changed;
}

void RecomputeAfterChange(Register& reg, const RegisterHistory& history) {
  // Each pass takes the rows it computed off the list; one that ends at a
  // bank balance leaves the stale rows beyond it for the next.
  const std::vector<int>& stale = history.StaleBalanceRows();
  int last = -1;
  while (!stale.empty() && stale.front() > last) {
    last = stale.front();
    reg.RecomputeBalancesFrom(last);
  }
  reg.KeepOverdueReference();
}

}  // namespace cheque
