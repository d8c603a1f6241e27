#include "core/files/account_changes.h"

#include <QDir>
#include <QFile>

#include "core/files/program_folder.h"
#include "core/text/text_compare.h"

namespace cheque {
namespace {

QString ListPath(const QString& folder) { return QDir(folder).filePath(file_names::kAccountList); }

// The folder's list; a missing or empty one reads as no account (a folder in
// its way fails at the write). A list that is there but cannot be read is
// never taken for an empty one, which the next write would make final.
bool ReadList(const QString& folder, AccountList& list) {
  ReadError error = ReadError::kNone;
  std::optional<AccountList> read = AccountList::Read(ListPath(folder), &error);
  if (read) {
    list = std::move(*read);
    return true;
  }
  list = AccountList();
  return error == ReadError::kNone || error == ReadError::kMissing || error == ReadError::kFolder;
}

AccountChange Failed(AccountChangeStatus status, AccountList list) {
  return AccountChange{status, std::move(list)};
}

AccountChange Write(const QString& folder, AccountList list, const AccountList& before) {
  if (!list.Write(ListPath(folder))) {
    return Failed(AccountChangeStatus::kListUnwritable, before);
  }
  return AccountChange{AccountChangeStatus::kDone, std::move(list)};
}

bool SharesFile(const AccountList& list, QStringView file_base) {
  for (const AccountDefinition& other : list.Accounts()) {
    if (TextEquals(QStringView(other.file_base), file_base)) return true;
  }
  return false;
}

}  // namespace

bool IsDuplicateAccountName(const AccountList& list, QStringView name, QStringView old_name) {
  const AccountDefinition* same = list.Find(name);
  if (same == nullptr) return false;
  return old_name.isEmpty() || !TextEquals(QStringView(same->name), old_name);
}

AccountChange SaveAccountDefinition(const QString& folder, const AccountDefinition& account,
                                    QStringView old_name) {
  AccountList list;
  if (!ReadList(folder, list)) return Failed(AccountChangeStatus::kListUnreadable, list);
  const bool is_new = old_name.isEmpty() || list.IsEmpty();
  if (IsDuplicateAccountName(list, account.name, is_new ? QStringView() : old_name)) {
    return Failed(AccountChangeStatus::kDuplicateName, list);
  }
  AccountList changed = list;
  // A record that is gone from the list is kept by adding it again.
  if (is_new || !changed.Replace(old_name, account)) changed.Append(account);
  return Write(folder, std::move(changed), list);
}

AccountChange DeleteAccount(const QString& folder, QStringView name) {
  AccountList list;
  if (!ReadList(folder, list)) return Failed(AccountChangeStatus::kListUnreadable, list);
  const AccountDefinition* record = list.Find(name);
  if (record == nullptr) return Failed(AccountChangeStatus::kUnknownAccount, list);
  const QString file_base = record->file_base;
  AccountList changed = list;
  changed.Remove(name);
  AccountChange result = Write(folder, std::move(changed), list);
  if (!result.Done()) return result;

  const QString path = AccountFilePath(folder, file_base);
  if (SharesFile(result.list, file_base) || path.isEmpty()) return result;
  QFile file(path);
  if (!file.exists() || file.remove()) return result;
  // The account stays whole: its record goes back beside its file.
  if (!list.Write(ListPath(folder))) return Failed(AccountChangeStatus::kFileKept, result.list);
  return Failed(AccountChangeStatus::kFileKept, list);
}

AccountChange AdvanceChequeNumber(const QString& folder, QStringView name, const QString& next) {
  AccountList list;
  if (!ReadList(folder, list)) return Failed(AccountChangeStatus::kListUnreadable, list);
  const AccountDefinition* stored = list.Find(name);
  if (stored == nullptr) return Failed(AccountChangeStatus::kUnknownAccount, list);
  AccountDefinition changed_record = *stored;
  changed_record.next_cheque = next;
  AccountList changed = list;
  changed.Replace(name, changed_record);
  return Write(folder, std::move(changed), list);
}

}  // namespace cheque
