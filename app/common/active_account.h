#pragma once

#include <QDate>
#include <QObject>
#include <QString>

#include "core/files/account_list.h"
#include "core/files/line_file.h"
#include "core/register/register.h"
#include "core/register/register_history.h"

namespace cheque {

// The account the program works on: its definition, its register and its
// file. The only holder of account state; pages show it and announce their
// changes to the rows through it.
class ActiveAccount : public QObject {
  Q_OBJECT

 public:
  // `folder` is the program folder holding the account list and the files.
  explicit ActiveAccount(QString folder, QObject* parent = nullptr);

  // Finds the account by name and loads its file in file order; a name the
  // list does not hold opens "Default.dat". False when the file could not be
  // read: the register is then empty and is never saved over the file.
  bool Load(const QString& name);
  // Writes the register; true as well when nothing was loaded to write.
  bool Save();
  // Takes the definition again from the account list, after it was edited.
  void RereadDefinition();
  // Records the next cheque number in the account list; false when the list
  // could not be read, does not hold the account or could not be written.
  bool AdvanceChequeNumber(const QString& next);

  // The name the account was opened under, as the user chose it.
  const QString& Title() const { return title_; }
  const AccountDefinition& Definition() const { return definition_; }
  const QString& FilePath() const { return path_; }
  bool IsLoaded() const { return loaded_; }
  ReadError LoadError() const { return load_error_; }
  // The messages for a failed load or save, naming the file.
  QString LoadErrorMessage() const;
  QString SaveErrorMessage() const;

  Register& Rows() { return register_; }
  // The undo and redo of the rows' changes; opening an account clears it.
  RegisterHistory& History() { return history_; }
  const Register& Rows() const { return register_; }
  // Set while a long operation or a dialog's OK works on the rows.
  bool IsBusy() const { return busy_; }
  void SetBusy(bool busy) { busy_ = busy; }
  bool* BusyFlag() { return &busy_; }

  // Rows were added, removed or rewritten behind the views.
  void NotifyRowsChanged() { emit RowsChanged(); }

 signals:
  void AccountChanged();
  void RowsChanged();
  void DefinitionChanged();

 private:
  QString folder_;
  QString title_;
  AccountDefinition definition_;
  Register register_;
  RegisterHistory history_{register_};
  QString path_;
  ReadError load_error_ = ReadError::kNone;
  bool loaded_ = false;
  bool busy_ = false;
};

}  // namespace cheque
