#include "core/backup/backup.h"

#include <QDir>

#include "core/backup/backup_files.h"
#include "core/backup/backup_lists.h"
#include "core/files/account_list.h"
#include "core/files/line_file.h"

namespace cheque {

using namespace backup_lists;

namespace {

const QString kBackupDone = QStringLiteral("הגיבוי הסתיים בהצלחה");
const QString kBackupIncomplete = QStringLiteral("הגיבוי לא הושלם, לא כל הקבצים הועתקו");

QString FailedText(const QString& name, const QString& reason) {
  return QStringLiteral("גיבוי החשבון ") + name + QStringLiteral(" נכשל: ") + reason;
}

}  // namespace

bool BackupOutcome::Succeeded() const {
  for (const BackupMessage& message : messages) {
    if (message.error) return false;
  }
  return true;
}

BackupOutcome BackUpAccounts(const QString& program_folder, const QString& backup_folder,
                             const QStringList& names, const BackupStep& step) {
  BackupOutcome outcome;
  const QString backup_list_path = ListPath(backup_folder);
  // Looked at before anything is made: a list through a link is never written.
  const auto live = ReadList(ListPath(program_folder), outcome);
  if (!live || IsLink(backup_list_path)) {
    if (live) Tell(outcome, true, LinkedListText(backup_list_path));
    Finish(outcome, kBackupDone, kBackupIncomplete);
    return outcome;
  }
  if (!QDir().mkpath(backup_folder)) {
    Tell(outcome, true, backup_folder + QStringLiteral(" לא ניתן ליצור את תיקיית הגיבוי "));
    Finish(outcome, kBackupDone, kBackupIncomplete);
    return outcome;
  }
  auto backup = ReadList(backup_list_path, outcome);
  if (!backup) {
    Finish(outcome, kBackupDone, kBackupIncomplete);
    return outcome;
  }

  bool changed = false;
  for (const QString& name : names) {
    const int at = FindBlock(*live, name);
    if (at < 0) {
      Tell(outcome, true, FailedText(name, QStringLiteral("החשבון אינו ברשימת החשבונות")));
      Step(step);
      continue;
    }
    QStringList block = live->mid(at, kBlockLines);
    const QString source = AccountFilePath(program_folder, block[1]);
    const QString base = FreeBase(backup_folder, *backup, FindBlock(*backup, name), block[1]);
    const CopyResult copy = source.isEmpty()
                                ? CopyResult{CopyFailure::kUnreadable, ReadError::kMissing}
                                : CopyAccountFile(source, AccountFilePath(backup_folder, base));
    if (!copy.Done()) {
      const QString reason =
          source.isEmpty() ? QStringLiteral("שם הקובץ של החשבון אינו תקין") : CopyFailureText(copy);
      Tell(outcome, true, FailedText(block[0], reason));
    } else {
      block[1] = base;
      PutBlock(*backup, block);
      changed = true;
      outcome.done.append(name);
    }
    Step(step);
  }
  if (changed && !WriteTextLines(backup_list_path, *backup)) {
    Tell(outcome, true, backup_list_path + QStringLiteral(" כתיבת רשימת החשבונות נכשלה "));
  }
  Step(step);
  Finish(outcome, kBackupDone, kBackupIncomplete);
  return outcome;
}

}  // namespace cheque
