#pragma once

#include <QDate>
#include <QWidget>

#include "app/common/services.h"
#include "core/files/account_list.h"

class QCalendarWidget;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;

namespace cheque {

class ActiveAccount;
class CalculatorBox;
class CategoryOutline;
class TAdrChk;
class TCalander;
struct ChequeEntry;

// The cheque page of the main window: payee, amount in words, date,
// address, category and memo; printing a cheque enters it into the register,
// records the payee's address and advances the account's cheque number.
class ChequePage : public QWidget {
  Q_OBJECT

 public:
  // Works on the active account's register and definition; `calendar` is
  // the calendar dialog shared with the other pages.
  ChequePage(Services& services, ActiveAccount& account, TCalander& calendar,
             QWidget* parent = nullptr);
  ~ChequePage() override;

  // ComboBox2: the main window fills it with the account names.
  QComboBox* AccountCombo() const { return accounts_; }
  TAdrChk& AddressDialog() const { return *address_dialog_; }

  // An account became active: its next cheque number and its category tree.
  void AccountLoaded(const AccountDefinition& account);
  // The tree of the active account's kind again, after it was edited.
  void ReloadTree();
  // On every switch to the page.
  void PageShown();

 signals:
  // ComboBox2: the user picked the account to debit.
  void AccountChosen(const QString& name);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Construction (cheque_page.cpp).
  void BuildControls();
  QWidget* BuildChequePanel();
  QWidget* BuildSideColumn();
  void ConnectControls();
  bool KeyPress(QObject* watched, int key);

  // Payee, amount, date and category (cheque_page_fields.cpp).
  void PayeeChanged();
  bool PayeeErase();
  void ShowSuggestions(const QStringList& names);
  void HideSuggestions();
  void SuggestionChosen();
  void RememberTypedPrefix();
  void FillPayeeAddress(const QString& name);
  void OpenAddressBook();
  void AmountChanged();
  void CalendarChanged();
  void SpinChanged();
  void OpenCalendarDialog();
  void CategoryTyped();
  void TreeMoved();
  double VatPercent() const;

  // Printing (cheque_page_print.cpp).
  void PrintCheque();
  bool CanPrint();
  ChequeEntry Entry() const;
  void ClearForm();

  Services& services_;
  ActiveAccount& account_;
  TCalander& calendar_dialog_;
  TAdrChk* address_dialog_ = nullptr;
  // Guards the payee and calculator handlers against the page's own writes.
  bool busy_ = false;
  bool amount_busy_ = false;
  bool date_busy_ = false;
  bool completion_on_ = true;
  bool business_ = true;  // the kind of the active account, for its tree
  QString typed_prefix_;

  QComboBox* accounts_ = nullptr;        // ComboBox2
  QLineEdit* number_ = nullptr;          // EdtChkNm
  QLineEdit* payee_ = nullptr;           // EdtName
  QListWidget* suggestions_ = nullptr;   // LBOptionChk
  QLineEdit* amount_ = nullptr;          // EdtAmount
  QLabel* words_ = nullptr;              // Label3
  QSpinBox* day_ = nullptr;              // SEDay
  QSpinBox* month_ = nullptr;            // SEMonth
  QSpinBox* year_ = nullptr;             // SEYear
  QCalendarWidget* calendar_ = nullptr;  // Calendar1
  QLabel* date_label_ = nullptr;         // Label12
  QLineEdit* street_ = nullptr;          // DtlStrt
  QLineEdit* house_number_ = nullptr;    // DtlNum
  QLineEdit* town_ = nullptr;            // DtlTwn
  QLineEdit* zip_ = nullptr;             // DtlZip
  QLineEdit* category_ = nullptr;        // Edit2
  CategoryOutline* tree_ = nullptr;      // Outline1
  QPlainTextEdit* memo_ = nullptr;       // Memo1
  QPushButton* print_ = nullptr;         // BtnPrntChk
  CalculatorBox* calculator_ = nullptr;  // GroupBox1
};

}  // namespace cheque
