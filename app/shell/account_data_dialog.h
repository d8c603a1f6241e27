#pragma once

#include <QDialog>
#include <QStringList>

#include "app/common/services.h"
#include "core/files/account_list.h"

class QComboBox;
class QLineEdit;

namespace cheque {

// Account definitions: the only reader and writer of the account list. Its
// fields always hold the definition of the account last looked up.
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

 signals:
  // The list of names changed; the main window copies them to its drop-downs.
  void NamesChanged(const QStringList& names, const QString& selected);
};

}  // namespace cheque
