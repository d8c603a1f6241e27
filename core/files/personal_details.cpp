#include "core/files/personal_details.h"

#include "core/files/line_file.h"

namespace cheque {

bool PersonalDetails::RequiredFilled() const {
  return !first_name.isEmpty() && !family_name.isEmpty() && !business_name.isEmpty();
}

QStringList PersonalDetails::ToLines() const {
  return {first_name, family_name, business_name, address, phone, fax, mobile, QString(), mobile};
}

PersonalDetails PersonalDetails::FromLines(const QStringList& lines) {
  auto line = [&lines](int i) { return i < lines.size() ? lines[i] : QString(); };
  PersonalDetails d;
  d.first_name = line(0);
  d.family_name = line(1);
  d.business_name = line(2);
  d.address = line(3);
  d.phone = line(4);
  d.fax = line(5);
  d.mobile = line(8);
  return d;
}

std::optional<PersonalDetails> PersonalDetails::Read(const QString& path) {
  const auto lines = ReadTextLines(path);
  if (!lines) return std::nullopt;
  return FromLines(*lines);
}

bool PersonalDetails::Write(const QString& path) const { return WriteTextLines(path, ToLines()); }

std::optional<QString> ReadLastAccountName(const QString& path) {
  const auto lines = ReadTextLines(path);
  if (!lines) return std::nullopt;
  return lines->isEmpty() ? QString() : lines->first();
}

bool WriteLastAccountName(const QString& path, const QString& name) {
  return WriteTextLines(path, {name});
}

}  // namespace cheque
