#pragma once

#include <QDate>
#include <QDialog>
#include <optional>
#include <vector>

#include "app/common/services.h"
#include "core/categories/category_tree.h"

class QCalendarWidget;
class QCheckBox;
class QComboBox;
class QCompleter;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;
class QTreeWidget;
class QTreeWidgetItem;

namespace cheque {

class ActiveAccount;
class Register;
class TCalander;

// "פרטי תנועה חדשה": enters or changes one register row, or a series of rows
// for a repeat count. Created once and reused; every opening goes through
// Reset and, for an existing row, FillFromRow.
class TDateFrm : public QDialog {
  Q_OBJECT

 public:
  TDateFrm(Services& services, TCalander& calendar, QWidget* parent = nullptr);
  ~TDateFrm() override;

  // The account whose rows OK writes, through one edit of it, with its busy
  // flag set while OK works. Set once by the main window; the account object
  // stays the same when accounts are switched.
  void Attach(ActiveAccount& account);
  // The account's kind picks the tree file; the tree is reloaded from it.
  void SetBusinessAccount(bool business);
  // Reloads the tree from the account's tree file, fully expanded (after
  // the tree editor closes).
  void ReloadTree();
  const CategoryTree& Tree() const;

  // Before every new transaction and before FillFromRow.
  void Reset();
  // Fills the fields from a register row; the period becomes "שבוע".
  void FillFromRow(int row);
  // Shows the dialog modally for register row `row`, with the focus on the
  // field matching the grid column the user was in. Returns
  // QDialog::Accepted or QDialog::Rejected. Rows are written into the
  // register only; the caller refreshes its view once afterwards.
  int OpenOn(int row, int grid_column);

 signals:
  // "עריכה" was pressed: the main window runs the tree editor and then
  // calls ReloadTree.
  void EditTreeRequested();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  // Construction (transaction_dialog.cpp).
  void BuildControls();
  void ConnectFields();
  void FillTreeControl();
  void SetOpeningBalanceMode(bool on);
  QWidget* FieldForColumn(int grid_column) const;

  // Field rules (transaction_dialog_fields.cpp).
  bool KeyPress(QObject* watched, QKeyEvent* event);
  bool EnterKey(QObject* watched);
  void AmountEdited(QLineEdit* field, QLineEdit* other);
  void DescriptionEdited();
  bool DescriptionErase();
  void FillCategoryAndTypeFrom(int row);
  void ShowSuggestions(const QStringList& suggestions);
  void HideSuggestions();
  void SuggestionChosen();
  void TypeActivated(int index);
  void CategoryChanged(const QString& text);
  void CategoryEdited();
  void CompleteCategoryText();
  int CurrentNode() const;
  void SelectNode(int node);
  void MoveToNode(int node);
  bool TreeKey(int key);
  void TreeItemClicked(QTreeWidgetItem* item);
  void SetCategoryText(const QString& text);
  std::optional<QDate> ReadDateField() const;
  bool CheckDateText(bool move_focus);
  void DateDoubleClick();
  void ShowDate(QDate date, bool write_text);
  void MoveMonth(int year, int month);
  void RepeatCountLeft();
  void RepeatCountChanged(int count);

  // OK (transaction_dialog_ok.cpp).
  void OkClick();
  void WriteSeries(Register& rows);

  Services& services_;
  TCalander& calendar_dialog_;
  ActiveAccount* account_ = nullptr;
  const Register* register_ = nullptr;
  bool business_ = false;
  CategoryTree tree_;
  std::vector<QTreeWidgetItem*> items_;  // by node index
  int row_ = -1;
  // Set while the dialog changes its own fields, so their handlers keep still.
  bool updating_ = false;
  QMetaObject::Connection focus_watch_;
  bool opening_balance_ = false;
  int chosen_day_ = 1;
  // The part of the description the user typed (the completed tail is selected).
  QString typed_;
  bool suppress_completion_ = false;
  QWidget* first_focus_ = nullptr;

  QLineEdit* description_ = nullptr;        // Edit1
  QListWidget* suggestions_ = nullptr;      // LBOptional
  QLineEdit* expense_ = nullptr;            // EdtOut
  QLineEdit* income_ = nullptr;             // EdtIn
  QComboBox* type_ = nullptr;               // ComboBox3
  QLineEdit* reference_ = nullptr;          // EdtRef
  QLineEdit* category_ = nullptr;           // Edit2
  QCompleter* category_choices_ = nullptr;  // the categories a typed name fits
  QTreeWidget* tree_view_ = nullptr;        // Outline1
  QPushButton* edit_tree_ = nullptr;        // SpeedButton1
  QSpinBox* repeat_ = nullptr;              // SpinEdit2
  QComboBox* period_ = nullptr;             // ComboBox1
  QLabel* period_label_ = nullptr;
  QLineEdit* date_ = nullptr;            // Edit3
  QCalendarWidget* calendar_ = nullptr;  // Calendar1
  QComboBox* months_ = nullptr;          // ComboBox2
  QSpinBox* year_ = nullptr;             // SpinEdit1
  QCheckBox* expected_ = nullptr;        // CBExpected
  QPushButton* ok_ = nullptr;            // BtnOk
  QPushButton* cancel_ = nullptr;        // BtnCancel
};

}  // namespace cheque
