#pragma once

#include <QDateTime>
#include <QWidget>
#include <optional>

#include "app/common/services.h"
#include "core/register/register.h"

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QStackedWidget;
class QTimer;
class QToolButton;

namespace cheque {

class ChequePage;
class RegisterArea;
class RegisterGrid;
class RegisterGridModel;
class TAccountData;
class TCalander;
class TDateFrm;
class TEditTree;
class TFirstTime;
class TIntroScr;
class TPrivateDta;
class TSplash;
class TSrchFrm;

// The main window: three pages (register, cheques, reports) over a picture
// toolbar. It owns the active account.
class TForm1 : public QWidget {
  Q_OBJECT

 public:
  enum Page { kRegisterPage = 0, kChequePage = 1, kReportPage = 2 };

  explicit TForm1(Services& services, QWidget* parent = nullptr);
  ~TForm1() override;

  // The start: first-run screens, the launcher, the last account. False when
  // the user gave up; the program then ends without saving anything.
  bool Start();

  void LoadAccount(const QString& name, bool keep_order);
  bool SaveAccount();
  void GoToDate(std::optional<QDateTime> moment);
  // The orderly end: saves the account and names it in "Cheque.ini".
  void ExitProgram();
  // Switches the active account as a choice in ComboBox1 does.
  void SwitchAccount(const QString& name);
  void ShowPage(int page);
  // Orders the register by a column (2 to 7); the date sort (7) also
  // reconciles, recomputes the balances and may remind of the bank balance.
  void SortRegister(int column);
  void SortByDate() { SortRegister(kDateColumn); }
  // The sort picture's action, which waits while the busy notice is up.
  void SortPictureClicked();
  // The search window (SBSrch, F3).
  void ShowSearch();
  // Switches the bank mark of the row on a line of StringGrid3.
  void ToggleMark(int line);
  // Walks through the rows whose category is not in the account's tree.
  void CheckCategories();
  // One tick of Timer1 (the autosave count and the blinking sort picture).
  void TimerTick();

  // The register's tools: new, copy and delete a record, open the current row.
  void NewRecord();
  void CloneRecord();
  void DeleteRecord();
  // False when the user cancelled the dialog or its warning.
  bool OpenRow();
  // The calendar tool: a general calendar.
  void ShowCalendar();
  // Puts the cursor on the first row with these description, date, category
  // and type texts (letter case ignored); false, moving nothing, when none.
  bool LocateRow(const QString& description, const QString& date, const QString& category,
                 const QString& type);

  const Register& ActiveRegister() const { return register_; }
  QString ActiveAccountFile() const { return active_account_file_; }
  QString ActiveTitle() const;
  bool IsBusy() const { return busy_; }
  TAccountData& AccountData() { return *account_data_; }
  TPrivateDta& PrivateData() { return *private_data_; }
  TSplash& Splash() { return *splash_; }
  TIntroScr& IntroScreen() { return *intro_; }
  TFirstTime& FirstTime() { return *first_time_; }
  TDateFrm& DateForm() { return *date_frm_; }
  TCalander& Calendar() { return *calendar_; }
  RegisterGrid& Grid() { return *grid_; }
  RegisterArea& GridArea() { return *register_area_; }
  TSrchFrm& SearchForm() { return *search_; }
  QMenu& SortMenu() { return *sort_menu_; }

  // The tree editor ("עריכה" of the transaction dialog), on the active
  // account's tree; afterwards the trees shown are reloaded
  // (main_window_tree.cpp).
  void EditCategoryTree();
  TEditTree& TreeEditor() { return *tree_editor_; }

 signals:
  // After the tree editor closed: trees shown elsewhere reload from the file.
  void CategoryTreeChanged();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildRegisterPage(QWidget* page);
  void BuildChequePage(QWidget* page);
  void BuildToolbar(QWidget* toolbar);
  QToolButton* AddTool(QWidget* parent, const QString& name, const QString& hint,
                       QStringView picture);
  void ConnectPendingTools();
  void CopyAccountNames(const QStringList& names, const QString& selected);
  void ShowAccountDefinitions();
  void ShowPersonalDetails();
  void RefreshAfterChange();
  void ShowStatusDate();
  void SetSortPictureHighlighted(bool highlighted);
  void FitColumns();

  // Sorting, search, marks and checks (main_window_sort.cpp).
  void ConnectSortAndSearch();
  void RemindBankBalance();

  // The register grid's rules (main_window_register.cpp).
  void ConnectRegisterGrid();
  bool GridIsSelectable(int row, int column) const;
  bool GridBeforeSelect(int row, int column);
  void GridEditText(int row, int column, QLineEdit& editor);
  // Opens the dialog for a new transaction on the empty last row.
  bool EnterNewTransaction(int column);
  // After rows were added, removed or rewritten behind the view.
  void RowsChanged();
  void CheckBalanceOverflow();
  void RedrawSideAreas();
  void RememberLastVisited(int row, int column);
  void RemoveRow(int row);

  Services& services_;
  Register register_;
  RegisterGridModel* model_ = nullptr;
  QString active_account_file_;
  bool busy_ = false;
  bool account_loaded_ = false;
  bool cancel_request_ = false;
  bool exiting_ = false;
  int autosave_ticks_ = 0;
  int blink_count_ = 0;
  int visible_rows_ = 12;
  int reminder_count_ = 1;
  int new_transaction_count_ = 0;
  int reported_overflow_row_ = -1;
  // The cell the user last entered among the amounts and the date, with the
  // text it had then: a change there calls for a new running balance.
  struct LastVisited {
    int row = -1;
    int column = -1;
    QString text;
  } last_visited_;

  // Windows created once, in the program's fixed order.
  TPrivateDta* private_data_ = nullptr;
  TAccountData* account_data_ = nullptr;
  TSplash* splash_ = nullptr;
  TIntroScr* intro_ = nullptr;
  TFirstTime* first_time_ = nullptr;
  TDateFrm* date_frm_ = nullptr;
  TCalander* calendar_ = nullptr;
  TSrchFrm* search_ = nullptr;
  QMenu* sort_menu_ = nullptr;
  TEditTree* tree_editor_ = nullptr;

  QStackedWidget* notebook_ = nullptr;
  RegisterGrid* grid_ = nullptr;
  RegisterArea* register_area_ = nullptr;
  QToolButton* delete_tool_ = nullptr;
  QComboBox* accounts_combo_ = nullptr;
  QComboBox* cheque_accounts_combo_ = nullptr;
  ChequePage* cheque_page_ = nullptr;
  QLabel* title_panel_ = nullptr;
  QLabel* credit_limit_label_ = nullptr;
  QLabel* file_label_ = nullptr;
  QLabel* today_label_ = nullptr;
  QLabel* weekday_label_ = nullptr;
  QToolButton* sort_picture_ = nullptr;
  QTimer* timer_ = nullptr;
};

}  // namespace cheque
