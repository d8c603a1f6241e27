#include "core/files/save_leftovers.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

#include "core/files/account_list.h"
#include "core/files/program_folder.h"

namespace cheque {
namespace {

constexpr qsizetype kRandomLetters = 6;

bool IsAsciiDigit(QChar c) { return c >= u'0' && c <= u'9'; }

// "Xct" and a number, ".dat": the file names the program gives new accounts.
bool IsAccountFileName(QStringView name) {
  if (!name.startsWith(u"Xct") || !name.endsWith(u".dat")) return false;
  const QStringView number = name.mid(3, name.size() - 7);
  return !number.isEmpty() && std::all_of(number.begin(), number.end(), IsAsciiDigit);
}

}  // namespace

bool IsSaveLeftoverName(QStringView name, const QStringList& data_file_names) {
  const qsizetype dot = name.size() - kRandomLetters - 1;
  if (dot <= 0 || name[dot] != u'.') return false;
  // Each random letter is of either case, so one case alone comes up too
  // (one name in 32); a user's own ".backup" copy is the one such name kept.
  const QStringView letters = name.mid(dot + 1);
  for (const QChar c : letters) {
    if (!(c >= u'A' && c <= u'Z') && !(c >= u'a' && c <= u'z')) return false;
  }
  if (letters.compare(u"backup", Qt::CaseInsensitive) == 0) return false;
  const QStringView data_file = name.first(dot);
  return IsAccountFileName(data_file) || data_file_names.contains(data_file);
}

QStringList DataFileNames(const QString& folder) {
  using namespace file_names;
  QStringList names = {kAccountList,         kPersonalDetails,    kLastAccount,
                       kPrivateTree,         kBusinessTree,       kDefaultPrivateTree,
                       kDefaultBusinessTree, kDefaultAccountFile, kLock,
                       kPrivateTreeBackup,   kBusinessTreeBackup, kAddressBook};
  if (const auto list = AccountList::Read(QDir(folder).filePath(kAccountList))) {
    for (const AccountDefinition& account : list->Accounts()) {
      const QString path = AccountFilePath(folder, account.file_base);
      if (!path.isEmpty()) names.append(QFileInfo(path).fileName());
    }
  }
  return names;
}

QStringList RemoveSaveLeftovers(const QString& folder) {
  const QStringList data_files = DataFileNames(folder);
  const QDir dir(folder);
  QStringList removed;
  const QFileInfoList entries =
      dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
  for (const QFileInfo& entry : entries) {
    // A link is never one: QSaveFile makes plain files.
    if (entry.isSymLink() || !entry.isFile()) continue;
    if (!IsSaveLeftoverName(entry.fileName(), data_files)) continue;
    if (QFile::remove(entry.filePath())) removed.append(entry.fileName());
  }
  return removed;
}

}  // namespace cheque
