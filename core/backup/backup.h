#pragma once

#include <QDateTime>
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
  // Whether the work ended with every file and the list written.
  bool Succeeded() const;
};

// Called once per account and once for the list, to advance the progress.
using BackupStep = std::function<void()>;

// Copies the named accounts' data files and their blocks of the account list
// from the program folder to the backup folder (created when missing). A block
// already in the backup is replaced in place, a new one appended. A file name
// the backup holds for a different account is not written over: the account
// takes a free one there. Either account list being a link refuses the whole
// work. A failed account is named with the reason. Ends with an error when
// not every file arrived.
BackupOutcome BackUpAccounts(const QString& program_folder, const QString& backup_folder,
                             const QStringList& names, const BackupStep& step = {});

// One account a restore would bring back.
struct RestoreCandidate {
  QString name;
  QDateTime backed_up;    // when the backup's file was written
  bool replaces = false;  // the program folder has a file it writes over
  QString refusal;        // why it will not be restored; empty when it will
};

struct RestorePlan {
  QString refusal;  // why nothing at all will be restored; empty when possible
  std::vector<RestoreCandidate> accounts;
};

// What RestoreAccounts would do, changing nothing: the lists are checked,
// each backup file read as an account.
RestorePlan PlanRestore(const QString& program_folder, const QString& backup_folder,
                        const QStringList& names);

// "לשחזר את: בית (גיבוי מ-3/12/2026 14:20)? הנתונים הנוכחיים של חשבונות
// אלה יוחלפו", naming the accounts of the plan that will be written over;
// empty when none will.
QString RestoreQuestion(const RestorePlan& plan);

// "3/12/2026 14:20"
QString BackupTimeText(const QDateTime& time);

// What a restore keeps of each file it writes over, beside it.
inline constexpr char16_t kBeforeRestoreSuffix[] = u".before-restore";

// Copies the named accounts back: each file, then its block into the program's
// account list. Changes nothing when either list cannot be read, is a link,
// or the backup's list is empty or cut short. A backup file that does not
// read as a whole account is refused by name and nothing of it is written.
// Each file written over (the list too) is kept first as "<file>.before-restore".
// An account whose file name is used by another live account takes a free one
// (NextAccountFileBase); file names that are not letters and digits are refused.
BackupOutcome RestoreAccounts(const QString& program_folder, const QString& backup_folder,
                              const QStringList& names, const BackupStep& step = {});

}  // namespace cheque
