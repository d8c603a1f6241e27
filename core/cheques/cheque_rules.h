#pragma once

#include <QString>
#include <QStringView>
#include <optional>

namespace cheque {

class Register;

// What a printed cheque puts into the register.
struct ChequeEntry {
  QString number;    // the cheque number, as in its field
  QString payee;     // the description
  QString amount;    // the expense, as typed
  QString date;      // d/m/yyyy
  QString category;  // a category path
};

// The number after `number`, zero-padded to at least 7 digits ("0000099"
// gives "0000100", "9999999" gives "10000000"); nothing when the text is not
// a whole number of digits.
std::optional<QString> NextChequeNumber(QStringView number);

// The first register row that looks like this cheque printed before: its
// type and reference contains the number, or its description, expense and
// date equal the payee, amount and date (ASCII letter case ignored); -1.
int FindDuplicateCheque(const Register& reg, const ChequeEntry& cheque);

// Appends the cheque as an expense of type "שק" with its number, in place of
// the empty last row, and a new empty row after it.
void EnterCheque(Register& reg, const ChequeEntry& cheque);

// The file a cheque is printed to when there is no printer.
QString ChequePdfName(QStringView number);

}  // namespace cheque
