// A backup's account list (Cheque/BackUp/Accts.dat) from a medium: planned
// and restored into an empty program folder. Nothing lands outside that
// folder, a refused plan writes nothing, and what is restored reads back.

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

#include "core/backup/backup.h"
#include "core/backup/backup_files.h"
#include "core/files/account_list.h"
#include "fuzz/support.h"

using cheque::fuzz::Check;

namespace {

constexpr std::string_view kAccount = "100\r\n\r\n\r\n1/12/2026\r\n\r\n\r\nx\r\n\r\n";

int FileCount(const QString& folder) {
  int count = 0;
  QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) {
    it.next();
    ++count;
  }
  return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QString scratch = cheque::fuzz::ScratchFolder();
  const QString backup = QDir(scratch).filePath(QStringLiteral("Cheque/BackUp"));
  const QString live = QDir(scratch).filePath(QStringLiteral("live"));
  QDir(live).removeRecursively();
  QDir().mkpath(live);
  QDir().mkpath(backup);
  const QString list_path = QDir(backup).filePath(QStringLiteral("Accts.dat"));
  cheque::fuzz::WriteScratchFile(QStringLiteral("Cheque/BackUp/Accts.dat"),
                                 cheque::fuzz::AsBytes(data, size));
  for (const char* base : {"Xct1.dat", "Xct2.dat"}) {
    cheque::fuzz::WriteScratchFile(QStringLiteral("Cheque/BackUp/") + QString::fromLatin1(base),
                                   kAccount);
  }
  const int backup_files = FileCount(scratch);

  const QStringList names = cheque::BackupAccountNames(backup);
  const cheque::RestorePlan plan = cheque::PlanRestore(live, backup, names);
  Check(FileCount(live) == 0, "a plan wrote into the program folder");
  const cheque::BackupOutcome outcome = cheque::RestoreAccounts(live, backup, names);
  Check(FileCount(scratch) - FileCount(live) == backup_files,
        "a restore wrote outside the program folder");
  Check(QFileInfo(list_path).size() == static_cast<qint64>(size), "a restore changed the backup");
  if (!plan.refusal.isEmpty()) {
    Check(FileCount(live) == 0 && outcome.done.isEmpty(), "a refused list was restored from");
    return 0;
  }
  if (outcome.done.isEmpty()) return 0;
  const auto restored = cheque::AccountList::Read(QDir(live).filePath(QStringLiteral("Accts.dat")));
  Check(restored.has_value(), "a restored account list does not read back");
  for (const QString& name : outcome.done) {
    const cheque::AccountDefinition* account = restored->Find(name);
    Check(account != nullptr, "a restored account is not in the list");
    Check(QFileInfo(cheque::AccountFilePath(live, account->file_base)).isFile(),
          "a restored account has no file");
  }
  return 0;
}
