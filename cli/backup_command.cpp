// cheque-cli backup and restore: the backup dialog's work from a script.

#include <QDir>
#include <optional>

#include "cli/commands.h"
#include "cli/output.h"
#include "cli/program_lock.h"
#include "core/backup/backup.h"
#include "core/backup/backup_files.h"
#include "core/files/account_list.h"
#include "core/files/program_folder.h"

namespace cheque::cli {
namespace {

constexpr char16_t kBackupUsage[] =
    u"usage: cheque-cli backup --home DIR --to FOLDER [--account NAME]...\n"
    u"  copies the accounts (all when none is named) into FOLDER/Cheque/BackUp";
constexpr char16_t kRestoreUsage[] =
    u"usage: cheque-cli restore --home DIR --from FOLDER --account NAME... [--yes]\n"
    u"  without --yes, lists what would be replaced and changes nothing";

struct Options {
  QString home;
  QString volume;  // --to or --from
  QStringList names;
  bool yes = false;
};

std::optional<Options> ParseOptions(const QStringList& args, QStringView volume_option,
                                    bool allow_yes) {
  Options options;
  for (qsizetype i = 0; i < args.size(); ++i) {
    const QString& option = args[i];
    if (allow_yes && option == u"--yes") {
      options.yes = true;
      continue;
    }
    if (i + 1 >= args.size()) return std::nullopt;
    const QString& value = args[++i];
    if (option == u"--home" && options.home.isEmpty()) {
      options.home = value;
    } else if (option == volume_option && options.volume.isEmpty()) {
      options.volume = value;
    } else if (option == u"--account") {
      options.names << value;
    } else {
      return std::nullopt;
    }
  }
  if (options.home.isEmpty() || options.volume.isEmpty()) return std::nullopt;
  return options;
}

// Messages go to stderr one a line; the dialog's line breaks become blanks.
void PrintMessages(const BackupOutcome& outcome) {
  for (const BackupMessage& message : outcome.messages) {
    if (message.error) PrintError(QString(message.text).replace(u'\r', u' ').trimmed());
  }
}

bool PrintLines(const QStringList& lines) {
  StdoutBuffer out;
  for (const QString& line : lines) out.Text() += (line + u'\n').toStdString();
  return out.Flush();
}

}  // namespace

int RunBackupCommand(const QStringList& args) {
  auto options = ParseOptions(args, u"--to", false);
  if (!options) {
    PrintError(QStringView(kBackupUsage).toString());
    return kExitUsage;
  }
  if (options->names.isEmpty()) {
    ReadError error = ReadError::kNone;
    const auto list =
        AccountList::Read(QDir(options->home).filePath(file_names::kAccountList), &error);
    if (!list) {
      PrintError(
          QStringLiteral("cheque-cli: no account list in ") + options->home +
          (error == ReadError::kNone ? QString() : QStringLiteral(": ") + ReadErrorText(error)));
      return kExitFileError;
    }
    options->names = list->Names();
  }
  const BackupOutcome outcome =
      BackUpAccounts(options->home, BackupFolderOf(options->volume), options->names);
  QStringList lines;
  for (const QString& name : options->names) {
    lines << name + (outcome.done.contains(name) ? QStringLiteral("\tok")
                                                 : QStringLiteral("\tfailed"));
  }
  PrintMessages(outcome);
  return PrintLines(lines) && outcome.Succeeded() ? 0 : kExitFileError;
}

int RunRestoreCommand(const QStringList& args) {
  const auto options = ParseOptions(args, u"--from", true);
  if (!options || options->names.isEmpty()) {
    PrintError(QStringView(kRestoreUsage).toString());
    return kExitUsage;
  }
  const QString backup_folder = BackupFolderOf(options->volume);
  if (!options->yes) {
    const RestorePlan plan = PlanRestore(options->home, backup_folder, options->names);
    if (!plan.refusal.isEmpty()) {
      PrintError(QString(plan.refusal).replace(u'\r', u' ').trimmed());
      return kExitFileError;
    }
    QStringList lines;
    bool refused = false;
    for (const RestoreCandidate& account : plan.accounts) {
      if (!account.refusal.isEmpty()) {
        refused = true;
        lines << account.name + QStringLiteral("\trefused");
        PrintError(account.refusal.trimmed());
        continue;
      }
      lines << account.name +
                   (account.replaces ? QStringLiteral("\twould replace\t")
                                     : QStringLiteral("\twould add\t")) +
                   BackupTimeText(account.backed_up);
    }
    return PrintLines(lines) && !refused ? 0 : kExitFileError;
  }
  // The program's next save would write its rows over the restored file.
  const auto lock = LockProgramFolder(options->home);
  if (!lock) return kExitFileError;
  const BackupOutcome outcome = RestoreAccounts(options->home, backup_folder, options->names);
  QStringList lines;
  for (const QString& name : options->names) {
    lines << name + (outcome.done.contains(name) ? QStringLiteral("\trestored")
                                                 : QStringLiteral("\tnot restored"));
  }
  PrintMessages(outcome);
  return PrintLines(lines) && outcome.Succeeded() ? 0 : kExitFileError;
}

}  // namespace cheque::cli
