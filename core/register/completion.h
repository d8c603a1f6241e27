#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>
#include <array>

namespace cheque {

class Register;

// The ten payment types, in the order they are looked for in column 4.
inline constexpr int kPaymentTypeCount = 10;
const std::array<QString, kPaymentTypeCount>& PaymentTypes();
inline constexpr int kBankBalanceType = 9;  // "יתרה"

// The first type contained in a type-and-reference text (ASCII letter case
// ignored), or -1.
int PaymentTypeIndex(QStringView type_and_reference);
// The reference part: the text with the first contained type name and the
// character after it removed; a remainder of one blank counts as empty.
QString ReferenceOf(QStringView type_and_reference);

// Description completion from the register's rows.
struct DescriptionCompletion {
  // Descriptions starting with the typed text, once each (letter case
  // ignored), never the opening balance; at most six.
  QStringList suggestions;
  int first_row = -1;  // the row the field is completed from; -1 when none
};
DescriptionCompletion CompleteDescription(const Register& reg, QStringView typed);

// The first row whose description equals `description` (letter case
// ignored), or -1.
int FirstRowWithDescription(const Register& reg, QStringView description);

}  // namespace cheque
