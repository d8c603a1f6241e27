#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace cheque {

// One message box the window shows after the work, in order: an error box
// ("שגיאה") or an information box ("לידיעתך").
struct BackupMessage {
  bool error = false;
  QString text;
};

struct BackupOutcome {
  std::vector<BackupMessage> messages;
  // The accounts whose files were copied; their blocks too, unless the list
  // could not be written (an error message then says so).
  QStringList done;
};

// Called once per account and once for the list, to advance the progress.
using BackupStep = std::function<void()>;

// Copies the named accounts' data files and their blocks of the account list
// from the program folder to the backup folder (created when missing). A block
// already in the backup is replaced in place, a new one appended. A file name
// the backup holds for a different account is not written over: the account
// takes a free one there. Ends with an error when not every file arrived.
BackupOutcome BackUpAccounts(const QString& program_folder, const QString& backup_folder,
                             const QStringList& names, const BackupStep& step = {});

// Copies the named accounts back: each file, then its block into the program's
// account list. Changes nothing when either list cannot be read or the
// backup's list is empty or cut short. An account whose file name is used by
// another live account takes a free one (NextAccountFileBase); file names that
// are not letters and digits are refused.
BackupOutcome RestoreAccounts(const QString& program_folder, const QString& backup_folder,
                              const QStringList& names, const BackupStep& step = {});

}  // namespace cheque
