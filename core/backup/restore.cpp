#include <QFileInfo>
#include <QLocale>

#include "core/backup/backup.h"
#include "core/backup/backup_files.h"
#include "core/backup/backup_lists.h"
#include "core/files/account_list.h"
#include "core/files/line_file.h"
#include "core/register/register.h"

namespace cheque {

using namespace backup_lists;

namespace {

const QString kRestoreDone = QStringLiteral("השחזור הסתיים בהצלחה");
const QString kRestoreIncomplete = QStringLiteral("השחזור לא הושלם, לא כל הקבצים שוחזרו");

QString FailedText(const QString& name, const QString& reason) {
  return QStringLiteral("שחזור החשבון ") + name + QStringLiteral(" נכשל: ") + reason;
}

QString KeptPath(const QString& path) { return path + QString::fromUtf16(kBeforeRestoreSuffix); }

// Both lists, or why not.
struct Lists {
  QStringList backup;
  QStringList live;
  QString refusal;
};

Lists ReadLists(const QString& program_folder, const QString& backup_folder) {
  Lists lists;
  const auto backup = ReadWholeBackupList(ListPath(backup_folder), lists.refusal);
  if (!backup) return lists;
  BackupOutcome told;
  const auto live = ReadList(ListPath(program_folder), told);
  if (!live) {
    lists.refusal = told.messages.front().text;
    return lists;
  }
  lists.backup = *backup;
  lists.live = *live;
  return lists;
}

// One account made ready: its backup file read and found whole.
struct Prepared {
  RestoreCandidate candidate;
  QStringList block;  // from the backup, with the live file base
  QString target;
  QByteArray bytes;
};

Prepared Prepare(const QString& program_folder, const QString& backup_folder, const Lists& lists,
                 const QString& name) {
  Prepared p;
  p.candidate.name = name;
  const int from = FindBlock(lists.backup, name);
  if (from < 0) {
    p.candidate.refusal = FailedText(name, QStringLiteral("החשבון אינו בגיבוי"));
    return p;
  }
  p.block = lists.backup.mid(from, kBlockLines);
  p.candidate.name = p.block[0];
  const QString source = AccountFilePath(backup_folder, p.block[1]);
  if (source.isEmpty()) {
    p.candidate.refusal = name + QStringLiteral(" שם הקובץ של החשבון בגיבוי אינו תקין ");
    return p;
  }
  p.candidate.backed_up = QFileInfo(source).lastModified();
  ReadError error = ReadError::kNone;
  const auto bytes = IsLink(source) ? std::nullopt : ReadFileBytes(source, &error);
  if (!bytes) {
    const CopyResult why{IsLink(source) ? CopyFailure::kLink : CopyFailure::kUnreadable, error};
    p.candidate.refusal = FailedText(p.block[0], CopyFailureText(why));
    return p;
  }
  // Read as the program reads an account file; only a whole account goes back.
  Register reg;
  const std::string_view data(bytes->constData(), static_cast<size_t>(bytes->size()));
  if (!reg.LoadFileBytes(data, u"0") || FindAccountDamage(reg) != AccountDamage::kNone) {
    p.candidate.refusal =
        QStringLiteral("קובץ הגיבוי של ") + p.block[0] + QStringLiteral(" פגום; החשבון לא שוחזר");
    return p;
  }
  p.bytes = *bytes;
  p.block[1] = FreeBase(program_folder, lists.live, FindBlock(lists.live, name), p.block[1]);
  p.target = AccountFilePath(program_folder, p.block[1]);
  p.candidate.replaces = QFileInfo::exists(p.target) || IsLink(p.target);
  return p;
}

// Keeps the file about to be written over beside it; true when there is
// none or it was kept.
CopyResult KeepBeforeRestore(const QString& path) {
  if (!QFileInfo::exists(path) && !IsLink(path)) return {};
  return CopyAccountFile(path, KeptPath(path));
}

}  // namespace

QString BackupTimeText(const QDateTime& time) {
  return QLocale::c().toString(time, QStringLiteral("d/M/yyyy HH:mm"));
}

RestorePlan PlanRestore(const QString& program_folder, const QString& backup_folder,
                        const QStringList& names) {
  RestorePlan plan;
  const Lists lists = ReadLists(program_folder, backup_folder);
  plan.refusal = lists.refusal;
  if (!plan.refusal.isEmpty()) return plan;
  for (const QString& name : names) {
    plan.accounts.push_back(Prepare(program_folder, backup_folder, lists, name).candidate);
  }
  return plan;
}

QString RestoreQuestion(const RestorePlan& plan) {
  QStringList replaced;
  for (const RestoreCandidate& account : plan.accounts) {
    if (!account.replaces || !account.refusal.isEmpty()) continue;
    replaced << account.name + QStringLiteral(" (גיבוי מ-") + BackupTimeText(account.backed_up) +
                    u')';
  }
  if (replaced.isEmpty()) return {};
  return QStringLiteral("לשחזר את: ") + replaced.join(QStringLiteral(", ")) +
         QStringLiteral("? הנתונים הנוכחיים של חשבונות אלה יוחלפו");
}

BackupOutcome RestoreAccounts(const QString& program_folder, const QString& backup_folder,
                              const QStringList& names, const BackupStep& step) {
  BackupOutcome outcome;
  Lists lists = ReadLists(program_folder, backup_folder);
  if (!lists.refusal.isEmpty()) {
    Tell(outcome, true, lists.refusal);
    Finish(outcome, kRestoreDone, kRestoreIncomplete);
    return outcome;
  }

  bool changed = false;
  for (const QString& name : names) {
    Prepared p = Prepare(program_folder, backup_folder, lists, name);
    CopyResult result;
    if (p.candidate.refusal.isEmpty()) {
      result = KeepBeforeRestore(p.target);
      if (result.Done()) result = WriteAccountFile(p.target, p.bytes);
      if (!result.Done()) p.candidate.refusal = FailedText(p.block[0], CopyFailureText(result));
    }
    if (!p.candidate.refusal.isEmpty()) {
      Tell(outcome, true, p.candidate.refusal);
    } else {
      PutBlock(lists.live, p.block);
      changed = true;
      outcome.done.append(name);
    }
    Step(step);
  }
  const QString live_list_path = ListPath(program_folder);
  if (changed &&
      (!KeepBeforeRestore(live_list_path).Done() || !WriteTextLines(live_list_path, lists.live))) {
    Tell(outcome, true, live_list_path + QStringLiteral(" כתיבת רשימת החשבונות נכשלה "));
  }
  Step(step);
  Finish(outcome, kRestoreDone, kRestoreIncomplete);
  return outcome;
}

}  // namespace cheque
