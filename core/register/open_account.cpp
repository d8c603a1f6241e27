#include "core/register/open_account.h"

#include <QDir>

#include "core/files/program_folder.h"

namespace cheque {

AccountLocation LocateAccount(const QString& folder, QStringView name) {
  AccountLocation location;
  const QDir dir(folder);
  location.list_path = dir.filePath(file_names::kAccountList);
  const auto list = AccountList::Read(location.list_path, &location.list_error);
  location.list_read = list.has_value();
  if (list) {
    if (const AccountDefinition* account = list->Find(name)) {
      location.definition = *account;
      location.path = AccountFilePath(folder, account->file_base);
    }
  }
  // Never a file outside the folder, nor one of a name that is not there.
  if (location.path.isEmpty()) {
    location.path = dir.filePath(file_names::kDefaultAccountFile);
    location.default_file = true;
  }
  return location;
}

QString OpeningBalanceOf(const AccountLocation& location) {
  return location.definition ? location.definition->opening_balance
                             : AccountDefinition().opening_balance;
}

AccountFileLoad OpenAccountFile(const QString& path, QStringView opening_balance, QDate today,
                                Register& reg, const AccountOpenOptions& options) {
  AccountFileLoad load;
  if (options.mode == AccountOpenMode::kReadOnly) {
    load.status = reg.LoadFile(path, opening_balance, &load.error)
                      ? AccountFileStatus::kRead
                      : AccountFileStatus::kUnavailable;
  } else {
    load.status = LoadAccountFile(path, opening_balance, reg, &load.error);
  }
  if (load.Loaded() && options.sort_by_date) reg.SortRegister(kDateColumn, today, options.cancel);
  return load;
}

OpenedAccount OpenAccount(const QString& folder, QStringView name, QDate today, Register& reg,
                          const AccountOpenOptions& options) {
  OpenedAccount opened;
  opened.location = LocateAccount(folder, name);
  opened.file =
      OpenAccountFile(opened.location.path, OpeningBalanceOf(opened.location), today, reg, options);
  return opened;
}

}  // namespace cheque
