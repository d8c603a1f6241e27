// The register page's grid rules: selecting, typing in place, opening,
// adding, copying and deleting rows, by the register's editing rules. Every
// change goes through an edit of the account, which recomputes, closes the
// undo step and announces it.
#include <QAbstractItemDelegate>
#include <QLineEdit>
#include <QShortcut>
#include <QTimer>
#include <QToolButton>

#include "app/common/account_edit.h"
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

// The keystrokes typed into one cell join one undo step.
std::uint64_t TypingKey(int row, int column) {
  return (static_cast<std::uint64_t>(row) + 1) * kRegisterColumnCount +
         static_cast<std::uint64_t>(column);
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
  // Enter in the cell editor ends its typing: typing there again is a new step.
  connect(grid_->itemDelegate(), &QAbstractItemDelegate::closeEditor, this,
          [this] { account_.EndTyping(); });
}

bool RegisterPage::GridIsSelectable(int row, int column) const {
  return CellIsSelectable(account_.Rows(), row, column);
}

bool RegisterPage::GridBeforeSelect(int row, int column) {
  if (account_.IsBusy()) return true;
  // Typing in a cell is one step, closed when the cursor leaves the cell.
  account_.EndTyping();
  if (!GridIsSelectable(row, column)) return false;
  const Register& reg = account_.Rows();
  account_.SetBusy(true);
  const bool calls_for_sort = EnterCell(reg, last_visited_, row, column);
  const bool lost_mark =
      IsBankBalanceRow(reg.RawCell(row, kCategoryColumn)) && !IsReconciled(reg, row);
  if (calls_for_sort || lost_mark) {
    AccountEdit edit(account_);
    if (calls_for_sort) edit.Rows().SetNeedsSorting(true);
    RestoreBankBalanceMark(edit.Rows(), row);
  }
  bool allowed = true;
  if (row == reg.RowCount() - 1 && isVisible()) allowed = EnterNewTransaction(column);
  account_.SetBusy(false);
  return allowed;
}

bool RegisterPage::EnterNewTransaction(int column) {
  const int row = account_.Rows().RowCount() - 1;
  dialog_.Reset();
  // The dialog's OK writes the rows through its own edit of the account.
  const int result = dialog_.OpenOn(row, column);
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
  CellEdit edit;
  {
    AccountEdit change(account_, TypingKey(row, column));
    edit = EditCellInPlace(change.Rows(), row, column, editor.text());
  }
  if (edit.refusal != CellEditRefusal::kNone) editor.setText(edit.text);
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
  const bool accepted = dialog_.OpenOn(row, column) == QDialog::Accepted;
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
  {
    // The copy and the dialog's OK on it are one change and one undo step.
    AccountEdit edit(account_);
    const RowCopy copy = CopyRowToEnd(edit.Rows(), row);
    if (copy.row < 0) return;
    model_->SyncRows();
    grid_->SetCurrentCell(copy.row, column);
    dialog_.Reset();
    dialog_.FillFromRow(copy.row);
    dialog_.OpenOn(copy.row, column);
    // A copy confirmed unchanged, or cancelled, is no new transaction: the
    // rows go back as they were, with no step to undo.
    if (CopyIsUnchanged(account_.Rows(), copy)) edit.Revert();
  }
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
  RowRemoval removal = RowRemoval::kRefused;
  {
    AccountEdit edit(account_);
    removal = DeleteRow(edit.Rows(), row);
  }
  if (removal == RowRemoval::kRefused) return;
  if (removal == RowRemoval::kCleared && row > 0) {
    grid_->SetCurrentCell(row - 1, grid_->CurrentColumn());
  }
  grid_->setFocus();
}

void RegisterPage::RowsChanged(int /*first_row*/) {
  // The cells are drawn from the rows themselves; telling the model that
  // they changed would put the cell's text back into an open editor.
  if (grid_->IsEditing()) {
    model_->SyncRowCount();
  } else {
    model_->SyncRows();
  }
  register_area_->FitDescription();
  grid_->viewport()->update();
  RedrawSideAreas();
  CheckBalanceOverflow();
}

// A balance beyond the range of numbers is told once per place it starts,
// after the change that made it has finished (a cell editor may be open).
void RegisterPage::CheckBalanceOverflow() {
  // Changes that come together (a load and its sort) share one pass.
  if (overflow_check_pending_) return;
  overflow_check_pending_ = true;
  QTimer::singleShot(0, this, [this] {
    overflow_check_pending_ = false;
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

void RegisterPage::ShowUndoRedo(bool can_undo, bool can_redo) {
  undo_tool_->setEnabled(can_undo);
  redo_tool_->setEnabled(can_redo);
  for (QShortcut* key : undo_keys_) key->setEnabled(can_undo);
  for (QShortcut* key : redo_keys_) key->setEnabled(can_redo);
}

void RegisterPage::Undo() { PlayStep(false); }
void RegisterPage::Redo() { PlayStep(true); }

void RegisterPage::PlayStep(bool redo) {
  if (account_.IsBusy() || splash_.IsBusyVisible()) return;
  const int row = redo ? account_.Redo() : account_.Undo();
  if (row < 0) return;
  // The balances came back with the rows: leaving the cell asks for nothing.
  last_visited_ = {};
  grid_->SetCurrentCell(row, grid_->CurrentColumn());
  grid_->setFocus();
  const unsigned tags = account_.History().LastTags();
  // An import was saved at once; so is its undo, or the file would keep it.
  if ((tags & RegisterHistory::kImported) != 0) SaveAccount();
  if (!redo && (tags & RegisterHistory::kChequePrinted) != 0) {
    services_.prompter->HebrewMessageBox(
        QStringLiteral("לידיעתך"),
        QStringLiteral("השיק כבר הודפס: התנועה הוסרה מהרשימה, ומספר השיק הבא נשאר כפי שהוא"),
        MessageKind::kInformation, MessageButtons::kOk, this);
  }
}

}  // namespace cheque
