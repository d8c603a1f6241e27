#pragma once

#include <QDate>
#include <QObject>
#include <QString>
#include <cstdint>
#include <optional>

#include "core/files/account_list.h"
#include "core/files/line_file.h"
#include "core/register/register.h"
#include "core/register/register_history.h"

namespace cheque {

// The account the program works on: its definition, its register and its
// file. The only holder of account state. Windows read the rows; they change
// them only inside an AccountEdit (account_edit.h), which closes each change
// as one undo step and announces it.
class ActiveAccount : public QObject {
  Q_OBJECT

 public:
  // `folder` is the program folder holding the account list and the files.
  explicit ActiveAccount(QString folder, QObject* parent = nullptr);

  // Finds the account by name and loads its file in file order; a name the
  // list does not hold opens "Default.dat". False when the file could not be
  // read: the register is then empty and is never saved over the file.
  // The active account whose file holds its rows, unchanged since a date
  // sort, keeps them: reading and sorting the file would give them back.
  bool Load(const QString& name);
  // Writes the register; true as well when nothing was loaded to write, and
  // when the file already holds the rows (FileIsCurrent).
  bool Save();
  // The file is as the last Save wrote it and the rows have not changed
  // since: saving again would write the same bytes.
  bool FileIsCurrent() const;
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

  const Register& Rows() const { return register_; }
  // The undo and redo of the rows' changes; opening an account clears it.
  // Its UndoRedoChanged drives the undo and redo tools.
  const RegisterHistory& History() const { return history_; }
  // Plays the last step back or again; the row for the cursor, or -1 when
  // there was none or an edit is still open. Announced by RowsChanged.
  int Undo();
  int Redo();
  // Undo starts from the rows as they are now.
  void ForgetHistory() { history_.Clear(); }
  // The date sort of rows just opened, as no step: undo starts after it.
  // Rows that Load kept as they were sorted are not sorted again.
  void SortOpened(QDate today, const CancelCheck& cancel);
  // A date sort made as an undo step ran to its end: the rows stand as a
  // load of the file they are written to would sort them.
  void NoteDateSorted() { date_sorted_ = true; }
  // More typing in a cell no longer joins the step of the typing before.
  void EndTyping() { history_.EndMerge(); }
  bool IsEditing() const { return edit_depth_ > 0; }
  // Set while a long operation or a dialog's OK works on the rows.
  bool IsBusy() const { return busy_; }
  void SetBusy(bool busy) { busy_ = busy; }

 signals:
  void AccountChanged();
  // One change to the rows is over (an edit, an undo or a redo); the first
  // row it changed, -1 when it changed only flags or nothing.
  void RowsChanged(int first_row);
  void DefinitionChanged();

 private:
  friend class AccountEdit;
  // Closes the outermost edit (account_edit.cpp).
  void FinishEdit(std::uint64_t merge_key, unsigned tags, bool revert);
  bool KeepRows(const QString& name);

  // What the last Save left on disk, to tell whether it is still there.
  struct FileStamp {
    qint64 size = -1;
    qint64 modified_ms = -1;
    qint64 changed_ms = -1;  // a file put in its place anew changes this
    bool operator==(const FileStamp&) const = default;
  };
  static std::optional<FileStamp> StampOf(const QString& path);

  QString folder_;
  QString title_;
  AccountDefinition definition_;
  Register register_;
  RegisterHistory history_{register_};
  QString path_;
  ReadError load_error_ = ReadError::kNone;
  bool loaded_ = false;
  bool busy_ = false;
  int edit_depth_ = 0;
  unsigned edit_tags_ = 0;
  bool edit_revert_ = false;
  // Set by a successful Save, dropped by any change to the rows.
  std::optional<FileStamp> saved_stamp_;
  // Set by a date sort that ran to its end, dropped by any other change.
  bool date_sorted_ = false;
};

}  // namespace cheque
