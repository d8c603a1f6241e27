#pragma once

#include <QDialog>
#include <QStringList>

#include "app/common/services.h"
#include "core/files/account_changes.h"
#include "core/files/account_list.h"

class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace cheque {

// The editor of the account definitions in the account list. Its fields
// hold the definition of the account last looked up, which need not be the
// active account: that one is ActiveAccount's.
class TAccountData : public QDialog {
  Q_OBJECT

 public:
  explicit TAccountData(Services& services, QWidget* parent = nullptr);

  // Refills the drop-down from the list; false when the list cannot be opened.
  bool ReadAccountNames();
  // The names as the drop-down lists them (sorted).
  QStringList AccountNames() const;
  QString SelectedName() const;
  void SelectName(const QString& name);

  // Fills the fields from the account of that name; false only when the list
  // cannot be opened (an unknown name leaves the fields as they were).
  bool LookUpAccount(const QString& name);
  AccountDefinition Definition() const;  // the fields as they stand
  // The data file of the account last looked up ("Default.dat" before any),
  // empty when the file base is not a safe name.
  QString AccountFileName() const;

  // Validates the fields and writes the definition (new or changed) into the
  // list; false when it was refused or could not be written.
  bool SaveAccountDefinition();
  // Puts a new next-cheque number in the field (used after printing a cheque).
  void SetNextChequeNumber(const QString& number);

  // The account active in the main window, which may not be deleted.
  void SetActiveAccountTitle(const QString& title);

  // Cancel, Escape and the window's close box: with no account defined the
  // user is asked whether to leave anyway.
  void reject() override;

 signals:
  // The list of names changed; the main window copies them to its drop-downs.
  void NamesChanged(const QStringList& names, const QString& selected);

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildControls();
  QLineEdit* AddField(const QString& object_name, const QString& label, bool required);
  void ConnectFields();
  void FillFields(const AccountDefinition& account);
  void ShowDropDown(bool visible);
  void RefillDropDown(const QStringList& names, const QString& selected);
  QLineEdit* FirstMissingField() const;
  // Tells why a change of the account list was not made; false when it was.
  bool ReportFailure(const AccountChange& change);

  void BtnNewClick();
  void BtnDeleteClick();
  void OKBtnClick();
  void ComboBox1Change(int index);
  void ComboBox1Enter();
  void NumericFieldChange(QLineEdit* field);

  Services& services_;
  QLabel* combo_label_ = nullptr;
  QComboBox* combo_ = nullptr;
  QLineEdit* name_ = nullptr;
  QLineEdit* bank_ = nullptr;
  QLineEdit* branch_ = nullptr;
  QLineEdit* contact_ = nullptr;
  QLineEdit* phone_ = nullptr;
  QLineEdit* fax_ = nullptr;
  QLineEdit* mobile_ = nullptr;
  QLineEdit* account_number_ = nullptr;
  QLineEdit* credit_limit_ = nullptr;
  QLineEdit* next_cheque_ = nullptr;
  QLineEdit* opening_balance_ = nullptr;
  QLineEdit* vat_percent_ = nullptr;
  QRadioButton* business_ = nullptr;
  QRadioButton* private_ = nullptr;
  QPushButton* new_button_ = nullptr;
  QPushButton* delete_button_ = nullptr;
  QPushButton* ok_button_ = nullptr;
  QPushButton* cancel_button_ = nullptr;
  QGridLayout* grid_ = nullptr;
  int grid_count_ = 0;

  QString file_base_;
  QString file_name_;
  // The record the fields came from: a change rewrites that record, even when
  // the drop-down has been moved to another account since.
  QString looked_up_name_;
  QString active_title_;
  bool new_account_ = false;
  bool changed_ = false;
};

}  // namespace cheque
