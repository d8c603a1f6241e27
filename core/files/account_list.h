#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "core/files/line_file.h"

namespace cheque {

inline const QString kDefaultVatPercent = QStringLiteral("18");

// One account's definition: the 14 lines of its record in the account list.
struct AccountDefinition {
  QString name;
  QString file_base;
  QString bank;
  QString branch;
  QString contact;
  QString phone;
  QString fax;
  QString mobile;
  QString account_number;
  QString credit_limit = QStringLiteral("0");
  QString next_cheque = QStringLiteral("0000000");
  bool business = true;
  QString opening_balance = QStringLiteral("0");
  // A new account's VAT, Israel's rate since 1 January 2025; a stored
  // percent is kept as it is (old books may keep 17).
  QString vat_percent = kDefaultVatPercent;

  static constexpr int kLineCount = 14;
  QStringList ToLines() const;
  static AccountDefinition FromLines(const QStringList& lines);  // missing lines read empty
};

// The account list file: every definition, in the order of creation.
class AccountList {
 public:
  // Nothing when the file is missing, cannot be read (the reason in `error`)
  // or is of zero length (no error).
  static std::optional<AccountList> Read(const QString& path, ReadError* error = nullptr);

  const std::vector<AccountDefinition>& Accounts() const { return accounts_; }
  QStringList Names() const;
  bool IsEmpty() const { return accounts_.empty(); }

  // The first account of this name, the letter case of ASCII letters ignored.
  const AccountDefinition* Find(QStringView name) const;

  void Append(const AccountDefinition& account);
  // Rewrites the record named `old_name`; false when there is none.
  bool Replace(QStringView old_name, const AccountDefinition& account);
  // Drops the record of that name; false when there is none.
  bool Remove(QStringView name);

  QByteArray ToBytes() const;
  bool Write(const QString& path) const;

 private:
  int IndexOf(QStringView name) const;
  std::vector<AccountDefinition> accounts_;
};

// A file base is used for a file name only when it is letters and digits and
// no device name ("CON", "LPT1", ...), so no account can name a file outside
// the program folder.
bool IsSafeFileBase(QStringView base);

// The account's data file in `folder`, or an empty text for an unsafe base.
QString AccountFilePath(const QString& folder, QStringView file_base);

// "Xct" and one more than the highest number among the Xct*.dat files in the
// folder and the file bases of the account list there, so a new base never
// names an existing file, nor one of an account whose file is not made yet.
QString NextAccountFileBase(const QString& folder);
// The same, with the given list in place of the one on disk.
QString NextAccountFileBase(const QString& folder, const AccountList& list);

}  // namespace cheque
