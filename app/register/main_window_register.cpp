// The register page's grid rules: selecting, typing in place, opening,
// adding, copying and deleting rows.
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QToolButton>

#include "app/common/amount_field.h"
#include "app/register/calendar_dialog.h"
#include "app/register/register_area.h"
#include "app/register/register_grid.h"
#include "app/register/transaction_dialog.h"
#include "app/shell/main_window.h"
#include "core/text/amount.h"
#include "core/text/text_compare.h"

namespace cheque {
namespace {

constexpr int kSavesEveryNewTransactions = 5;
const QString kOpeningBalance = QStringLiteral("יתרת פתיחה");

bool IsAmountColumn(int column) {
  return column == kBalanceColumn || column == kIncomeColumn || column == kExpenseColumn;
}

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

void TForm1::ConnectRegisterGrid() {
  grid_->is_selectable = [this](int row, int column) { return GridIsSelectable(row, column); };
  grid_->before_select = [this](int row, int column) { return GridBeforeSelect(row, column); };
  grid_->edit_text = [this](int row, int column, QLineEdit& editor) {
    GridEditText(row, column, editor);
  };
  grid_->style_context = [this] {
    return CellStyleContext{ParseAmount(QStringView(credit_limit_label_->text())),
                            services_.clock->Today()};
  };
  connect(grid_, &RegisterGrid::OpenRowRequested, this, &TForm1::OpenRow);
  connect(grid_, &RegisterGrid::Scrolled, this, &TForm1::RedrawSideAreas);
}

bool TForm1::GridIsSelectable(int row, int column) const {
  switch (column) {
    case kKeyColumn:
    case kDateColumn:
    case kMarkColumn:
      return false;  // dates change only through the dialog
    case kBalanceColumn:
      return IsBankBalanceRow(register_.RawCell(row, kCategoryColumn));
    default:
      return true;
  }
}

bool TForm1::GridBeforeSelect(int row, int column) {
  if (busy_) return true;
  if (!GridIsSelectable(row, column)) return false;
  busy_ = true;
  if (ChangesBalance(column)) {
    if (last_visited_.row >= 0 &&
        register_.Cell(last_visited_.row, last_visited_.column) != last_visited_.text) {
      register_.SetNeedsSorting(true);
      register_.RecomputeBalances();
    }
    RememberLastVisited(row, column);
  }
  if (IsBankBalanceRow(register_.RawCell(row, kCategoryColumn)) &&
      register_.RawCell(row, kMarkColumn) != "+") {
    register_.SetCell(row, kMarkColumn, u"+");
    RedrawSideAreas();
  }
  bool allowed = true;
  if (row == register_.RowCount() - 1 && isVisible()) allowed = EnterNewTransaction(column);
  busy_ = false;
  return allowed;
}

bool TForm1::EnterNewTransaction(int column) {
  const int row = register_.RowCount() - 1;
  date_frm_->Reset();
  const int result = date_frm_->OpenOn(row, column);
  if (result == QDialog::Accepted) RecomputeAfterDialog(register_, row, row + 1);
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

void TForm1::GridEditText(int row, int column, QLineEdit& editor) {
  if (busy_ || row >= register_.RowCount()) return;
  QString text = editor.text();
  if (!text.isEmpty() && row == register_.RowCount() - 1) {
    register_.AddEmptyRow();
    RowsChanged();
  }
  const bool other_amount_filled =
      (column == kExpenseColumn && !register_.RawCell(row, kIncomeColumn).empty()) ||
      (column == kIncomeColumn && !register_.RawCell(row, kExpenseColumn).empty());
  const bool both_amounts = !text.isEmpty() && other_amount_filled;
  if (both_amounts) text.clear();
  const bool not_numeric = !both_amounts && IsAmountColumn(column) && !CheckNumeric(text);
  if (both_amounts || not_numeric) editor.setText(text);
  const bool had_balance = !register_.RawCell(row, kBalanceColumn).empty();
  if (register_.SetCell(row, column, text)) {
    // A real bank balance typed in place restarts the running balance as well.
    if (!had_balance || ChangesBalance(column) || column == kBalanceColumn) {
      register_.RecomputeBalancesFrom(row);
    }
    grid_->viewport()->update();
    RedrawSideAreas();
    CheckBalanceOverflow();
  }
  // The message waits until the editor's key handling is over: the box's
  // event loop closes and deletes the editor, still on the stack until then.
  if (both_amounts || not_numeric) {
    QTimer::singleShot(0, this, [this, both_amounts] {
      if (both_amounts) {
        ShowBothAmountsError(*services_.prompter, this);
      } else {
        ShowNotNumericError(*services_.prompter, this);
      }
    });
  }
}

bool TForm1::OpenRow() {
  if (busy_) return false;
  const int row = grid_->CurrentRow();
  const int column = grid_->CurrentColumn();
  date_frm_->Reset();
  if (register_.RawCell(row, kMarkColumn) == "+" &&
      services_.prompter->HebrewMessageBox(
          QStringLiteral("אזהרה"),
          QStringLiteral("הנך עומד לשנות תנועה שעברה התאמת בנק\rהאם ברצונך להמשיך בפעולה"),
          MessageKind::kWarning, MessageButtons::kYesNo, this) != MessageAnswer::kYes) {
    return false;
  }
  date_frm_->FillFromRow(row);
  const int rows_before = register_.RowCount();
  const bool accepted = date_frm_->OpenOn(row, column) == QDialog::Accepted;
  // The rows as they are after the dialog's own event loop.
  if (accepted && row < register_.RowCount()) RecomputeAfterDialog(register_, row, rows_before);
  RowsChanged();
  grid_->setFocus();
  return accepted;
}

void TForm1::NewRecord() {
  if (busy_) return;
  const int row = grid_->CurrentRow();
  int column = grid_->CurrentColumn();
  if (!GridIsSelectable(register_.RowCount() - 1, column)) column = kDescriptionColumn;
  grid_->SelectCell(register_.RowCount() - 1, column);
  grid_->SelectCell(std::min(row, register_.RowCount() - 1), grid_->CurrentColumn());
}

void TForm1::CloneRecord() {
  if (busy_) return;
  const int row = grid_->CurrentRow();
  const int column = grid_->CurrentColumn();
  const int copy = register_.RowCount() - 1;
  if (row >= copy || IsBankBalanceRow(register_.RawCell(row, kCategoryColumn))) return;
  QStringList remembered;
  for (int c = kBalanceColumn; c < kMarkColumn; ++c) {
    remembered << register_.Cell(row, c);
    register_.SetCell(copy, c, remembered.back());
  }
  register_.SetCell(copy, kMarkColumn, u"");
  RowsChanged();
  grid_->SetCurrentCell(copy, column);
  date_frm_->Reset();
  date_frm_->FillFromRow(copy);
  const int rows_before = register_.RowCount();
  date_frm_->OpenOn(copy, column);
  bool changed = false;
  for (int c = kBalanceColumn; c < kMarkColumn; ++c) {
    changed = changed || register_.Cell(copy, c) != remembered[c - kBalanceColumn];
  }
  // A copy confirmed unchanged, or cancelled, is no new transaction; a kept
  // one still holds the balance of the row it came from.
  if (!changed) {
    RemoveRow(copy);
  } else {
    RecomputeAfterDialog(register_, copy, rows_before);
  }
  RowsChanged();
  grid_->SetCurrentCell(row, column);
  grid_->setFocus();
}

void TForm1::DeleteRecord() {
  if (busy_) return;
  const int row = grid_->CurrentRow();
  if (TextEquals(QStringView(register_.Cell(row, kDescriptionColumn)),
                 QStringView(kOpeningBalance))) {
    return;
  }
  if (register_.RawCell(row, kMarkColumn) == "+" &&
      services_.prompter->HebrewMessageBox(
          QStringLiteral("אזהרה"),
          QStringLiteral("? הנך עומך למחוק רשומה שעברה התאמת בנק, האם ברצונך להמשיך"),
          MessageKind::kWarning, MessageButtons::kYesNo, this) != MessageAnswer::kYes) {
    return;
  }
  RemoveRow(row);
  grid_->setFocus();
}

void TForm1::RemoveRow(int row) {
  const int last = register_.RowCount() - 1;
  if (row == last) {
    for (int c = kBalanceColumn; c <= kMarkColumn; ++c) register_.SetCell(row, c, u"");
    RowsChanged();
    if (row > 0) grid_->SetCurrentCell(row - 1, grid_->CurrentColumn());
    return;
  }
  register_.RemoveRow(row);
  register_.RecomputeBalancesFrom(row, false);
  RowsChanged();
}

bool TForm1::LocateRow(const QString& description, const QString& date, const QString& category,
                       const QString& type) {
  const int row = register_.LocateRow(description, date, category, type);
  if (row < 0) return false;
  grid_->SetCurrentCell(row, kDescriptionColumn);
  grid_->scrollTo(model_->index(row, kDescriptionColumn));
  RedrawSideAreas();
  return true;
}

void TForm1::ShowCalendar() {
  calendar_->SetOkCaption(QStringLiteral("! סיום"));
  calendar_->exec();
}

void TForm1::RowsChanged() {
  model_->SyncRows();
  register_area_->FitDescription();
  RedrawSideAreas();
  CheckBalanceOverflow();
}

// A balance beyond the range of numbers is told once per place it starts,
// after the change that made it has finished (a cell editor may be open).
void TForm1::CheckBalanceOverflow() {
  QTimer::singleShot(0, this, [this] {
    const int row = register_.FirstBalanceOverflowRow();
    if (row == reported_overflow_row_) return;
    reported_overflow_row_ = row;
    if (row >= 0) services_.prompter->ShowError(BalanceOverflowMessage(register_, row), this);
  });
}

void TForm1::RedrawSideAreas() {
  register_area_->RedrawSideAreas();
  if (!grid_->isVisible()) return;
  // Scrolled to its end, the grid cuts its top row and shows the last whole.
  const auto inside = [&] { return grid_->RowIsShown(grid_->CurrentRow()); };
  // The cursor stays on what the user sees, on a whole row: the cursor on a
  // cut top row would scroll the grid back from its end.
  if (!inside()) grid_->SetCurrentCell(grid_->FirstWholeRow(), grid_->CurrentColumn());
  delete_tool_->setEnabled(inside());
}

void TForm1::RememberLastVisited(int row, int column) {
  last_visited_ = {row, column, register_.Cell(row, column)};
}

}  // namespace cheque
