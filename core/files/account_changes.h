#pragma once

#include <QString>
#include <QStringView>

#include "core/files/account_list.h"

namespace cheque {

// The changes of a program folder's account list. Each is whole or nothing:
// the list is rewritten in one step, and an account's file is deleted only
// after the list without it is written; when the file cannot go, the old list
// is written back.
enum class AccountChangeStatus {
  kDone,
  kListUnreadable,  // the list exists but cannot be read: it is left alone
  kListUnwritable,  // the list could not be written: it is as it was
  kUnknownAccount,  // the list holds no account of that name
  kDuplicateName,   // another account has that name already
  kFileKept,        // the account's file could not be deleted: nothing changed
};

struct AccountChange {
  AccountChangeStatus status = AccountChangeStatus::kDone;
  AccountList list;  // the list as it is on disk afterwards
  bool Done() const { return status == AccountChangeStatus::kDone; }
};

// True when another account than the one named `old_name` (empty for a new
// account) already has the name `name`, ASCII letter case ignored.
bool IsDuplicateAccountName(const AccountList& list, QStringView name, QStringView old_name);

// Writes a definition: appended when `old_name` is empty or the list does not
// exist yet (or is empty), else in place of the account of that name (added
// again when it is gone from the list meanwhile).
AccountChange SaveAccountDefinition(const QString& folder, const AccountDefinition& account,
                                    QStringView old_name);

// Removes the account from the list, then deletes its file unless another
// account shares it (or its base is no plain name).
AccountChange DeleteAccount(const QString& folder, QStringView name);

// Records the account's next cheque number; the rest of its record is kept
// as the list has it.
AccountChange AdvanceChequeNumber(const QString& folder, QStringView name, const QString& next);

}  // namespace cheque
