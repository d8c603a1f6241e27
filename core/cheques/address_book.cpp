#include "core/cheques/address_book.h"

#include <QStringList>
#include <utility>

#include "core/files/line_file.h"
#include "core/text/text_compare.h"

namespace cheque {

AddressBook::AddressBook() : rows_(kMinimumRows) {}

AddressBook AddressBook::FromBytes(std::string_view bytes) {
  AddressBook book;
  book.rows_.clear();
  LineReader reader(bytes);
  while (!reader.AtEnd()) {
    Record& record = book.rows_.emplace_back();
    for (QString& field : record) field = reader.NextText();
  }
  if (book.rows_.size() < kMinimumRows) book.rows_.resize(kMinimumRows);
  return book;
}

QByteArray AddressBook::ToBytes() const {
  QStringList lines;
  for (const Record& record : rows_) {
    for (const QString& field : record) lines.append(field);
  }
  return JoinLines(lines);
}

AddressBook AddressBook::Read(const QString& path) {
  const std::optional<QByteArray> bytes = ReadFileBytes(path);
  if (!bytes) return AddressBook();
  return FromBytes(std::string_view(bytes->constData(), static_cast<size_t>(bytes->size())));
}

bool AddressBook::Write(const QString& path) const { return WriteFileAtomic(path, ToBytes()); }

int AddressBook::Find(QStringView account, QStringView name) const {
  for (size_t row = 0; row < rows_.size(); ++row) {
    const Record& record = rows_[row];
    if (TextEquals(QStringView(record[kAccount]), account) &&
        TextEquals(QStringView(record[kName]), name)) {
      return static_cast<int>(row);
    }
  }
  return -1;
}

std::optional<PayeeAddress> AddressBook::AddressOf(QStringView account, QStringView name) const {
  const int row = Find(account, name);
  if (row < 0) return std::nullopt;
  const Record& record = rows_[static_cast<size_t>(row)];
  return PayeeAddress{record[kZip], record[kTown], record[kNumber], record[kStreet]};
}

bool AddressBook::RecordPayee(QStringView account, const QString& name,
                              const PayeeAddress& address) {
  if (name.isEmpty()) return false;
  const int found = Find(account, name);
  Record& record = found >= 0 ? rows_[static_cast<size_t>(found)] : rows_.emplace_back();
  if (found < 0) {
    record[kName] = name;
    record[kAccount] = account.toString();
  }
  // A field left empty on the cheque keeps what the book knows.
  const std::pair<Column, const QString*> fields[] = {{kZip, &address.zip},
                                                      {kTown, &address.town},
                                                      {kNumber, &address.number},
                                                      {kStreet, &address.street}};
  for (const auto& [column, text] : fields) {
    if (!text->isEmpty()) record[column] = *text;
  }
  return true;
}

void AddressBook::RemoveRow(int row) {
  if (row < 0 || row >= static_cast<int>(rows_.size())) return;
  rows_.erase(rows_.begin() + row);
}

}  // namespace cheque
