// The register page's grid rules: selecting, typing in place, opening,
// adding, copying and deleting rows, by the register's editing rules.
#include <QLineEdit>
#include <QTimer>
#include <QToolButton>

#include "app/common/active_account.h"
#include "app/common/amount_field.h"
#include "app/common/busy_notice.h"
#include "app/register/forecast_line.h"
#include "app/register/register_area.h"
#include "app/register/register_grid.h"
#include "app/register/register_page.h"
#include "app/register/transaction_dialog.h"
#include "core/register/register_edits.h"
#include "core/text/amount.h"

namespace cheque {
namespace {

constexpr int kSavesEveryNewTransactions = 5;

// The columns whose change moves the running balance or the date order.
bool ChangesBalance(int column) {
  return column == kIncomeColumn || column == kExpenseColumn || column == kDateColumn;
}

// After the dialog wrote `row` and perhaps a series after the rows there were.
void RecomputeAfterDialog(Register& reg, int row, int rows_before) {
  reg.RecomputeBalancesFrom(row);
  // The series went into the empty row and the rows appended after it.
  if (reg.RowCount() > rows_before && rows_before - 1 > row) {
    reg.RecomputeBalancesFrom(rows_before - 1);
  }
}

}  // namespace

void RegisterPage::ConnectGrid() {
  grid_->is_selectable = [this](int row, int column) { return GridIsSelectable(row, column); };
  grid_->before_select = [this](int row, int column) { return GridBeforeSelect(row, column); };
  grid_->edit_text = [this](int row, int column, QLineEdit& editor) {
    GridEditText(row, column, editor);
  };
  grid_->style_context = [this] {
    return CellStyleContext{ParseAmount(QStringView(account_.Definition().credit_limit)),
                            services_.clock->Today()};
  };
  connect(grid_, &RegisterGrid::OpenRowRequested, this, &RegisterPage::OpenRow);
  connect(grid_, &RegisterGrid::Scrolled, this, &RegisterPage::RedrawSideAreas);
}

bool RegisterPage::GridIsSelectable(int row, int column) const {
  return CellIsSelectable(account_.Rows(), row, column);
}

bool RegisterPage::GridBeforeSelect(int row, int column) {
  if (account_.IsBusy()) return true;
  // Typing in a cell is one step, closed when the cursor leaves the cell.
  CommitStep();
  if (!GridIsSelectable(row, column)) return false;
  Register& reg = account_.Rows();
  account_.SetBusy(true);
  if (ChangesBalance(column)) {
    if (last_visited_.row >= 0 &&
        reg.Cell(last_visited_.row, last_visited_.column) != last_visited_.text) {
      reg.SetNeedsSorting(true);
      reg.RecomputeBalances();
      forecast_line_->Refresh();
    }
    RememberLastVisited(row, column);
  }
  if (RestoreBankBalanceMark(reg, row)) RedrawSideAreas();
  bool allowed = true;
  if (row == reg.RowCount() - 1 && isVisible()) allowed = EnterNewTransaction(column);
  account_.SetBusy(false);
  return allowed;
}

bool RegisterPage::EnterNewTransaction(int column) {
  const int row = account_.Rows().RowCount() - 1;
  dialog_.Reset();
  const int result = dialog_.OpenOn(row, column);
  if (result == QDialog::Accepted) RecomputeAfterDialog(account_.Rows(), row, row + 1);
  RowsChanged();
  // Every fifth new transaction is saved at once.
  if (++new_transaction_count_ >= kSavesEveryNewTransactions) {
    new_transaction_count_ = 0;
    autosave_ticks_ = 0;
    SaveAccount();
  }
  grid_->setFocus();
  return result == QDialog::Accepted;
}

void RegisterPage::GridEditText(int row, int column, QLineEdit& editor) {
  if (account_.IsBusy() || row >= account_.Rows().RowCount()) return;
  const CellEdit edit = EditCellInPlace(account_.Rows(), row, column, editor.text());
  if (edit.row_added) RowsChanged();
  if (edit.refusal != CellEditRefusal::kNone) editor.setText(edit.text);
  if (edit.written) {
    forecast_line_->Refresh();
    grid_->viewport()->update();
    RedrawSideAreas();
    CheckBalanceOverflow();
  }
  // The message waits until the editor's key handling is over: the box's
  // event loop closes and deletes the editor, still on the stack until then.
  if (edit.refusal != CellEditRefusal::kNone) {
    QTimer::singleShot(0, this, [this, refusal = edit.refusal] {
      if (refusal == CellEditRefusal::kBothAmounts) {
        ShowBothAmountsError(*services_.prompter, this);
      } else {
        ShowNotNumericError(*services_.prompter, this);
      }
    });
  }
}

bool RegisterPage::OpenRow() {
  if (account_.IsBusy()) return false;
  const int row = grid_->CurrentRow();
  const int column = grid_->CurrentColumn();
  dialog_.Reset();
  if (IsReconciled(account_.Rows(), row) &&
      services_.prompter->HebrewMessageBox(
          QStringLiteral("אזהרה"),
          QStringLiteral("הנך עומד לשנות תנועה שעברה התאמת בנק\rהאם ברצונך להמשיך בפעולה"),
          MessageKind::kWarning, MessageButtons::kYesNo, this) != MessageAnswer::kYes) {
    return false;
  }
  dialog_.FillFromRow(row);
  const int rows_before = account_.Rows().RowCount();
  const bool accepted = dialog_.OpenOn(row, column) == QDialog::Accepted;
  // The rows as they are after the dialog's own event loop.
  if (accepted && row < account_.Rows().RowCount()) {
    RecomputeAfterDialog(account_.Rows(), row, rows_before);
  }
  RowsChanged();
  grid_->setFocus();
  return accepted;
}

void RegisterPage::NewRecord() {
  if (account_.IsBusy()) return;
  const int last = account_.Rows().RowCount() - 1;
  const int row = grid_->CurrentRow();
  int column = grid_->CurrentColumn();
  if (!GridIsSelectable(last, column)) column = kDescriptionColumn;
  grid_->SelectCell(last, column);
  grid_->SelectCell(std::min(row, account_.Rows().RowCount() - 1), grid_->CurrentColumn());
}

void RegisterPage::CloneRecord() {
  if (account_.IsBusy()) return;
  const int row = grid_->CurrentRow();
  const int column = grid_->CurrentColumn();
  const RowCopy copy = CopyRowToEnd(account_.Rows(), row);
  if (copy.row < 0) return;
  RowsChanged();
  grid_->SetCurrentCell(copy.row, column);
  dialog_.Reset();
  dialog_.FillFromRow(copy.row);
  const int rows_before = account_.Rows().RowCount();
  dialog_.OpenOn(copy.row, column);
  // A copy confirmed unchanged, or cancelled, is no new transaction; a kept
  // one still holds the balance of the row it came from.
  if (!RemoveCopyIfUnchanged(account_.Rows(), copy)) {
    RecomputeAfterDialog(account_.Rows(), copy.row, rows_before);
  }
  RowsChanged();
  grid_->SetCurrentCell(row, column);
  grid_->setFocus();
}

void RegisterPage::DeleteRecord() {
  if (account_.IsBusy()) return;
  const int row = grid_->CurrentRow();
  if (IsOpeningBalanceRow(account_.Rows(), row)) return;
  if (IsReconciled(account_.Rows(), row) &&
      services_.prompter->HebrewMessageBox(
          QStringLiteral("אזהרה"),
          QStringLiteral("? הנך עומך למחוק רשומה שעברה התאמת בנק, האם ברצונך להמשיך"),
          MessageKind::kWarning, MessageButtons::kYesNo, this) != MessageAnswer::kYes) {
    return;
  }
  // DeleteRow refuses a row that the box's event loop took away.
  const RowRemoval removal = DeleteRow(account_.Rows(), row);
  if (removal == RowRemoval::kRefused) return;
  RowsChanged();
  if (removal == RowRemoval::kCleared && row > 0) {
    grid_->SetCurrentCell(row - 1, grid_->CurrentColumn());
  }
  grid_->setFocus();
}

void RegisterPage::RowsChanged() {
  CommitStep();
  forecast_line_->Refresh();
  model_->SyncRows();
  register_area_->FitDescription();
  RedrawSideAreas();
  CheckBalanceOverflow();
}

// A balance beyond the range of numbers is told once per place it starts,
// after the change that made it has finished (a cell editor may be open).
void RegisterPage::CheckBalanceOverflow() {
  QTimer::singleShot(0, this, [this] {
    const int row = account_.Rows().FirstBalanceOverflowRow();
    if (row == reported_overflow_row_) return;
    reported_overflow_row_ = row;
    if (row >= 0) services_.prompter->ShowError(BalanceOverflowMessage(account_.Rows(), row), this);
  });
}

void RegisterPage::RedrawSideAreas() {
  register_area_->RedrawSideAreas();
  if (!grid_->isVisible()) return;
  // Scrolled to its end, the grid cuts its top row and shows the last whole.
  const auto inside = [&] { return grid_->RowIsShown(grid_->CurrentRow()); };
  // The cursor stays on what the user sees, on a whole row: the cursor on a
  // cut top row would scroll the grid back from its end.
  if (!inside()) grid_->SetCurrentCell(grid_->FirstWholeRow(), grid_->CurrentColumn());
  delete_tool_->setEnabled(inside());
}

void RegisterPage::CommitStep() {
  RegisterHistory& history = account_.History();
  history.Commit();
  undo_tool_->setEnabled(history.CanUndo());
  redo_tool_->setEnabled(history.CanRedo());
}

void RegisterPage::Undo() { PlayStep(false); }
void RegisterPage::Redo() { PlayStep(true); }

void RegisterPage::PlayStep(bool redo) {
  if (account_.IsBusy() || splash_.IsBusyVisible()) return;
  RegisterHistory& history = account_.History();
  const int row = redo ? history.Redo() : history.Undo();
  if (row < 0) return;
  // The balances came back with the rows: leaving the cell recomputes nothing.
  last_visited_ = {};
  RowsChanged();
  grid_->SetCurrentCell(row, grid_->CurrentColumn());
  grid_->setFocus();
  // An import was saved at once; so is its undo, or the file would keep it.
  if ((history.LastTags() & RegisterHistory::kImported) != 0) SaveAccount();
  if (!redo && (history.LastTags() & RegisterHistory::kChequePrinted) != 0) {
    services_.prompter->HebrewMessageBox(
        QStringLiteral("לידיעתך"),
        QStringLiteral("השיק כבר הודפס: התנועה הוסרה מהרשימה, ומספר השיק הבא נשאר כפי שהוא"),
        MessageKind::kInformation, MessageButtons::kOk, this);
  }
}

void RegisterPage::RememberLastVisited(int row, int column) {
  last_visited_ = {row, column, account_.Rows().Cell(row, column)};
}

}  // namespace cheque
