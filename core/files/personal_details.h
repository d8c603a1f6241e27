#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace cheque {

// The user's own details, kept in nine lines: the seven fields, an empty
// line, and the mobile phone again (which wins over the seventh line).
struct PersonalDetails {
  QString first_name;
  QString family_name;
  QString business_name;
  QString address;
  QString phone;
  QString fax;
  QString mobile;

  bool RequiredFilled() const;
  QStringList ToLines() const;
  static PersonalDetails FromLines(const QStringList& lines);

  static std::optional<PersonalDetails> Read(const QString& path);
  bool Write(const QString& path) const;
};

// "Cheque.ini": the name of the account that was active at the last exit.
std::optional<QString> ReadLastAccountName(const QString& path);
bool WriteLastAccountName(const QString& path, const QString& name);

}  // namespace cheque
