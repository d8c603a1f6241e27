#pragma once

#include <QDateTime>
#include <QWidget>
#include <functional>
#include <optional>
#include <vector>

#include "app/common/csv_export_dialog.h"
#include "app/common/services.h"
#include "core/register/register_change.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QShortcut;
class QToolButton;

namespace cheque {

class ActiveAccount;
class ForecastLine;
class RegisterArea;
class RegisterGrid;
class RegisterGridModel;
class TDateFrm;
class TSplash;
class TSrchFrm;

// The register page: the active account's rows in the grid with its side
// strips, the account's title over them, the register's tools, sorting,
// search, bank marks and the category check.
class RegisterPage : public QWidget {
  Q_OBJECT

 public:
  // The busy notice and the transaction dialog are shared with the shell.
  RegisterPage(Services& services, ActiveAccount& account, TSplash& splash, TDateFrm& dialog,
               QWidget* parent = nullptr);

  // ComboBox1: the shell fills it with the account names.
  QComboBox* AccountCombo() const { return accounts_combo_; }

  // Loads the account by name into the grid, telling a file that cannot be
  // read (register_page.cpp), the cursor on today's row unless `to_today` is
  // false (a caller that sorts the rows places it after). The caller holds
  // the busy flag.
  void LoadAccount(const QString& name, bool to_today = true);
  // Writes the register under the busy notice; false, told, when it failed.
  bool SaveAccount();
  void GoToDate(std::optional<QDateTime> moment);
  // Puts the cursor on the first row with these description, date, category
  // and type texts (letter case ignored); false, moving nothing, when none.
  bool LocateRow(const QString& description, const QString& date, const QString& category,
                 const QString& type);
  // One tick of the shell's timer: the autosave count while the page is
  // shown in the active window, and the sort picture blinking while the rows
  // want sorting.
  void Tick(bool shown, bool window_active);
  void FocusGrid();
  void FitColumns();
  // Redraws the grid and its side areas.
  void RefreshAfterChange();

  // Sorting, search, marks and checks (register_page_sort.cpp).
  // Orders the register by a column (2 to 7); the date sort (7) also
  // reconciles, recomputes the balances and may remind of the bank balance.
  void SortRegister(int column);
  void SortByDate();
  // The date sort of rows just opened: no step of undo, which starts after it.
  void SortOpenedByDate();
  // The sort picture's action, which waits while the busy notice is up.
  void SortPictureClicked();
  void ShowSearch();
  // Switches the bank mark of the row on a line of StringGrid3.
  void ToggleMark(int line);
  // Walks through the rows whose category is not in the account's tree.
  void CheckCategories();
  // Escape while the busy notice is up.
  void RequestCancel() { cancel_request_ = true; }

  // The register's tools (register_page_edit.cpp).
  void NewRecord();
  void CloneRecord();
  void DeleteRecord();
  // False when the user cancelled the dialog or its warning.
  bool OpenRow();
  // Undo and redo of the last change to the rows (register_page_edit.cpp).
  void Undo();
  void Redo();

  // Asks for a bank statement and imports it into the active account
  // (register_page_import.cpp); the picker stands in for the file
  // dialog in tests.
  Q_SLOT void ImportStatement();
  void SetStatementPicker(std::function<QString(QWidget*)> picker) {
    statement_picker_ = std::move(picker);
  }

  // "ייצוא": the register as a spreadsheet file, in the account's folder by
  // default (register_page_export.cpp).
  void ExportRegister();
  void SetCsvPicker(CsvPathPicker picker) { csv_picker_ = std::move(picker); }

  RegisterGrid& Grid() { return *grid_; }
  RegisterArea& GridArea() { return *register_area_; }
  TSrchFrm& SearchForm() { return *search_; }
  ForecastLine& ForecastView() { return *forecast_line_; }
  QMenu& SortMenu() { return *sort_menu_; }

 signals:
  // ImgAct: the account definitions.
  void AccountDefinitionsRequested();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildControls();
  QToolButton* AddTool(QWidget* parent, const QString& name, const QString& hint,
                       QStringView picture);
  void ShowStatusDate();
  void ConnectSortAndSearch();
  void SortRows(int column, bool as_step);
  void RemindBankBalance();

  // The grid's rules (register_page_edit.cpp).
  void ConnectGrid();
  bool GridIsSelectable(int row, int column) const;
  bool GridBeforeSelect(int row, int column);
  void GridEditText(int row, int column, QLineEdit& editor);
  // Opens the dialog for a new transaction on the empty last row.
  bool EnterNewTransaction(int column);
  // The account's RowsChanged: a change, an undo or a redo is over.
  void RowsChanged(int first_row);
  void CheckBalanceOverflow();
  void RedrawSideAreas();
  // The history's UndoRedoChanged.
  void ShowUndoRedo(bool can_undo, bool can_redo);
  void PlayStep(bool redo);

  Services& services_;
  ActiveAccount& account_;
  CsvPathPicker csv_picker_ = FileDialogCsvPicker();
  TSplash& splash_;
  TDateFrm& dialog_;
  RegisterGridModel* model_ = nullptr;
  bool cancel_request_ = false;
  int autosave_ticks_ = 0;
  int blink_count_ = 0;
  int visible_rows_ = 12;
  int reminder_count_ = 1;
  int new_transaction_count_ = 0;
  int reported_overflow_row_ = -1;
  bool overflow_check_pending_ = false;
  std::function<QString(QWidget*)> statement_picker_;
  // The cell the user last entered among the amounts and the date, with the
  // text it had then: a change there calls for a date sort.
  VisitedCell last_visited_;

  RegisterGrid* grid_ = nullptr;
  RegisterArea* register_area_ = nullptr;
  TSrchFrm* search_ = nullptr;
  ForecastLine* forecast_line_ = nullptr;
  QMenu* sort_menu_ = nullptr;
  QToolButton* delete_tool_ = nullptr;
  QToolButton* undo_tool_ = nullptr;
  QToolButton* redo_tool_ = nullptr;
  std::vector<QShortcut*> undo_keys_;
  std::vector<QShortcut*> redo_keys_;
  QToolButton* sort_picture_ = nullptr;
  QComboBox* accounts_combo_ = nullptr;
  QLabel* title_panel_ = nullptr;
  QLabel* credit_limit_label_ = nullptr;
  QLabel* file_label_ = nullptr;
  QLabel* today_label_ = nullptr;
  QLabel* weekday_label_ = nullptr;
};

}  // namespace cheque
