#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <array>
#include <optional>
#include <string_view>
#include <vector>

#include "core/files/program_folder.h"

namespace cheque {

inline const QString kAddressBookFile = file_names::kAddressBook;

struct PayeeAddress {
  QString zip;
  QString town;
  QString number;
  QString street;
};

// The payees' postal addresses, one record per payee and account, shared by
// all accounts. Its file holds 7 lines a record in column order, every row
// written, an empty one as 7 empty lines.
class AddressBook {
 public:
  enum Column { kPhone, kZip, kTown, kNumber, kStreet, kName, kAccount };
  static constexpr int kColumnCount = 7;
  // A book always shows at least this many rows, empty ones included.
  static constexpr int kMinimumRows = 2;
  using Record = std::array<QString, kColumnCount>;

  AddressBook();  // empty rows only

  // A record cut short by the end of the file keeps the fields read so far.
  static AddressBook FromBytes(std::string_view bytes);
  QByteArray ToBytes() const;
  // A missing or unreadable file gives the empty book.
  static AddressBook Read(const QString& path);
  bool Write(const QString& path) const;  // atomic

  std::vector<Record>& Rows() { return rows_; }
  const std::vector<Record>& Rows() const { return rows_; }

  // The first record of this payee for this account (letter case of ASCII
  // letters ignored), or -1.
  int Find(QStringView account, QStringView name) const;
  std::optional<PayeeAddress> AddressOf(QStringView account, QStringView name) const;
  // After a cheque: a known payee takes every address field that is given and
  // differs; an unknown one is appended. False when nothing was recorded
  // (no payee).
  bool RecordPayee(QStringView account, const QString& name, const PayeeAddress& address);
  void RemoveRow(int row);

 private:
  std::vector<Record> rows_;
};

}  // namespace cheque
