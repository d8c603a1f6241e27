#include "core/backup/backup.h"

#include <QDir>
#include <optional>

#include "core/backup/backup_files.h"
#include "core/files/account_list.h"
#include "core/files/line_file.h"
#include "core/files/program_folder.h"
#include "core/text/text_compare.h"

namespace cheque {
namespace {

const QString kBackupDone = QStringLiteral("הגיבוי הסתיים בהצלחה");
const QString kRestoreDone = QStringLiteral("השחזור הסתיים בהצלחה");
const QString kBackupIncomplete = QStringLiteral("הגיבוי לא הושלם, לא כל הקבצים הועתקו");
const QString kRestoreIncomplete = QStringLiteral("השחזור לא הושלם, לא כל הקבצים שוחזרו");

QString ListPath(const QString& folder) { return QDir(folder).filePath(file_names::kAccountList); }

void Tell(BackupOutcome& outcome, bool error, const QString& text) {
  outcome.messages.push_back({error, text});
}

void Step(const BackupStep& step) {
  if (step) step();
}

// An account list as lines; a missing (or zero-length) list is empty. A
// last block cut short is filled with empty lines, as the program reads it.
std::optional<QStringList> ReadList(const QString& path, BackupOutcome& outcome) {
  ReadError error = ReadError::kNone;
  auto lines = ReadTextLines(path, &error);
  if (!lines && error == ReadError::kMissing) return QStringList();
  if (!lines) {
    Tell(outcome, true,
         path + QStringLiteral(" לא ניתן לקרוא את רשימת החשבונות ") + u'\r' + ReadErrorText(error));
    return std::nullopt;
  }
  while (lines->size() % kBlockLines != 0) lines->append(QString());
  return lines;
}

// Whether a block other than the one at `own` names this file base. Bases are
// compared as a case-blind file system would.
bool BaseTaken(const QStringList& lines, int own, QStringView base) {
  for (qsizetype i = 0; i + 1 < lines.size(); i += kBlockLines) {
    if (i != own && lines[i + 1].compare(base, Qt::CaseInsensitive) == 0) return true;
  }
  return false;
}

AccountList AsAccountList(const QStringList& lines) {
  AccountList list;
  for (qsizetype i = 0; i < lines.size(); i += kBlockLines) {
    list.Append(AccountDefinition::FromLines(lines.mid(i, kBlockLines)));
  }
  return list;
}

// Puts the block in place of the one of its name, or at the end.
void PutBlock(QStringList& lines, const QStringList& block) {
  const int at = FindBlock(lines, block.value(0));
  if (at < 0) {
    lines.append(block);
    return;
  }
  for (int i = 0; i < kBlockLines; ++i) lines[at + i] = block.value(i);
}

// A file base free in `folder` for the block at `own` of `lines`: its own
// unless another block names it.
QString FreeBase(const QString& folder, const QStringList& lines, int own, const QString& base) {
  if (!BaseTaken(lines, own, base)) return base;
  return NextAccountFileBase(folder, AsAccountList(lines));
}

void Finish(BackupOutcome& outcome, const QString& done, const QString& incomplete) {
  bool failed = false;
  for (const BackupMessage& message : outcome.messages) failed = failed || message.error;
  Tell(outcome, failed, failed ? incomplete : done);
}

}  // namespace

BackupOutcome BackUpAccounts(const QString& program_folder, const QString& backup_folder,
                             const QStringList& names, const BackupStep& step) {
  BackupOutcome outcome;
  if (!QDir().mkpath(backup_folder)) {
    Tell(outcome, true, backup_folder + QStringLiteral(" לא ניתן ליצור את תיקיית הגיבוי "));
    Finish(outcome, kBackupDone, kBackupIncomplete);
    return outcome;
  }
  const QString backup_list_path = ListPath(backup_folder);
  const auto live = ReadList(ListPath(program_folder), outcome);
  auto backup = live ? ReadList(backup_list_path, outcome) : std::nullopt;
  if (!live || !backup) {
    Finish(outcome, kBackupDone, kBackupIncomplete);
    return outcome;
  }

  bool changed = false;
  for (const QString& name : names) {
    const int at = FindBlock(*live, name);
    if (at < 0) {
      Step(step);
      continue;
    }
    QStringList block = live->mid(at, kBlockLines);
    const QString source = AccountFilePath(program_folder, block[1]);
    const QString base = FreeBase(backup_folder, *backup, FindBlock(*backup, name), block[1]);
    if (source.isEmpty() || !CopyFileAtomic(source, AccountFilePath(backup_folder, base))) {
      const QString shown = source.isEmpty()
                                ? QDir(program_folder).filePath(block[1] + QStringLiteral(".dat"))
                                : source;
      Tell(outcome, true, shown + QStringLiteral(" גיבוי הקובץ נכשל "));
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

BackupOutcome RestoreAccounts(const QString& program_folder, const QString& backup_folder,
                              const QStringList& names, const BackupStep& step) {
  BackupOutcome outcome;
  const QString backup_list_path = ListPath(backup_folder);
  const QString live_list_path = ListPath(program_folder);
  ReadError error = ReadError::kNone;
  const auto backup = ReadTextLines(backup_list_path, &error);
  if (!backup) {
    Tell(outcome, true,
         backup_list_path + QStringLiteral(" לא ניתן לקרוא את רשימת החשבונות ") + u'\r' +
             ReadErrorText(error));
  } else if (backup->isEmpty()) {
    Tell(outcome, true, backup_list_path + QStringLiteral(" רשימת החשבונות בגיבוי ריקה "));
  } else if (backup->size() % kBlockLines != 0) {
    Tell(outcome, true, backup_list_path + QStringLiteral(" רשימת החשבונות בגיבוי קטועה "));
  }
  auto live = backup && outcome.messages.empty() ? ReadList(live_list_path, outcome) : std::nullopt;
  if (!live) {
    Finish(outcome, kRestoreDone, kRestoreIncomplete);
    return outcome;
  }

  bool changed = false;
  for (const QString& name : names) {
    const int from = FindBlock(*backup, name);
    if (from < 0) {
      Step(step);
      continue;
    }
    QStringList block = backup->mid(from, kBlockLines);
    const QString source = AccountFilePath(backup_folder, block[1]);
    if (source.isEmpty()) {
      Tell(outcome, true, name + QStringLiteral(" שם הקובץ של החשבון בגיבוי אינו תקין "));
      Step(step);
      continue;
    }
    const QString base = FreeBase(program_folder, *live, FindBlock(*live, name), block[1]);
    const QString target = AccountFilePath(program_folder, base);
    if (!CopyFileAtomic(source, target)) {
      Tell(outcome, true, target + QStringLiteral(" שחזור הקובץ נכשל "));
    } else {
      block[1] = base;
      PutBlock(*live, block);
      changed = true;
      outcome.done.append(name);
    }
    Step(step);
  }
  if (changed && !WriteTextLines(live_list_path, *live)) {
    Tell(outcome, true, live_list_path + QStringLiteral(" כתיבת רשימת החשבונות נכשלה "));
  }
  Step(step);
  Finish(outcome, kRestoreDone, kRestoreIncomplete);
  return outcome;
}

}  // namespace cheque
