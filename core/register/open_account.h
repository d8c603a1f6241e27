#pragma once

#include <QDate>
#include <QString>
#include <QStringView>
#include <optional>

#include "core/files/account_list.h"
#include "core/files/line_file.h"
#include "core/register/register.h"

namespace cheque {

// Where an account named in a program folder keeps its register.
struct AccountLocation {
  QString list_path;  // the folder's "Accts.dat"
  // False when the folder's account list is missing, unreadable (the reason
  // in `list_error`) or of zero length (no error): no account is defined yet.
  bool list_read = false;
  ReadError list_error = ReadError::kNone;
  // Nothing when the list holds no account of that name.
  std::optional<AccountDefinition> definition;
  // The account's file; "Default.dat" in the folder for a name the list does
  // not hold or a file base that is not safe (`default_file` then says so).
  QString path;
  bool default_file = false;
};

// Reads the folder's account list and finds the account, the letter case of
// ASCII letters ignored.
AccountLocation LocateAccount(const QString& folder, QStringView name);

// The opening balance of an empty file: the definition's, or a new account's.
QString OpeningBalanceOf(const AccountLocation& location);

enum class AccountOpenMode {
  kCreateMissing,  // as the program: a missing file is created empty
  kReadOnly,       // never creates nor writes anything
};

struct AccountOpenOptions {
  AccountOpenMode mode = AccountOpenMode::kCreateMissing;
  // False leaves the rows in file order, for a caller that sorts them itself
  // (with a busy notice, say).
  bool sort_by_date = true;
  CancelCheck cancel = {};  // passed to the date sort
};

// How the file was read; the rows are in the register given.
struct AccountFileLoad {
  // kUnavailable leaves the register empty, and the file must then not be
  // saved over: `error` says why it could not be read (kMissing, in read-only
  // mode, for a file that does not exist).
  AccountFileStatus status = AccountFileStatus::kUnavailable;
  ReadError error = ReadError::kNone;
  bool Loaded() const { return status != AccountFileStatus::kUnavailable; }
};

// Loads an account file into `reg` and sorts it by date with `today`.
AccountFileLoad OpenAccountFile(const QString& path, QStringView opening_balance, QDate today,
                                Register& reg, const AccountOpenOptions& options = {});

struct OpenedAccount {
  AccountLocation location;
  AccountFileLoad file;
};

// The one way to open an account by name: LocateAccount, then OpenAccountFile
// with the account's opening balance. The file is loaded even when no
// account list could be read, as the program does after asking for one.
OpenedAccount OpenAccount(const QString& folder, QStringView name, QDate today, Register& reg,
                          const AccountOpenOptions& options = {});

}  // namespace cheque
