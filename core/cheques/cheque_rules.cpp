#include "core/cheques/cheque_rules.h"

#include <string>

#include "core/register/register.h"
#include "core/text/codec.h"
#include "core/text/text_compare.h"

namespace cheque {
namespace {

constexpr int kChequeNumberDigits = 7;
// Beyond this many digits the number no longer fits a 64-bit count.
constexpr int kMaxChequeNumberDigits = 18;

}  // namespace

std::optional<QString> NextChequeNumber(QStringView number) {
  if (number.isEmpty() || number.size() > kMaxChequeNumberDigits) return std::nullopt;
  qint64 value = 0;
  for (const QChar c : number) {
    if (c < u'0' || c > u'9') return std::nullopt;
    value = value * 10 + (c.unicode() - u'0');
  }
  return QString::number(value + 1).rightJustified(kChequeNumberDigits, u'0');
}

int FindDuplicateCheque(const Register& reg, const ChequeEntry& cheque) {
  // Cells are Windows-1255; a text the code page cannot hold equals none.
  const bool comparable = CanEncodeWin1255(cheque.payee) && CanEncodeWin1255(cheque.amount) &&
                          CanEncodeWin1255(cheque.date);
  const std::string number = CanEncodeWin1255(cheque.number) ? EncodeWin1255(cheque.number) : "";
  const std::string payee = EncodeWin1255(cheque.payee);
  const std::string amount = EncodeWin1255(cheque.amount);
  const std::string date = EncodeWin1255(cheque.date);
  for (int row = 0; row < reg.RowCount(); ++row) {
    if (TextContains(number, reg.RawCell(row, kTypeColumn))) return row;
    if (comparable && TextEquals(payee, reg.RawCell(row, kDescriptionColumn)) &&
        TextEquals(amount, reg.RawCell(row, kExpenseColumn)) &&
        TextEquals(date, reg.RawCell(row, kDateColumn))) {
      return row;
    }
  }
  return -1;
}

void EnterCheque(Register& reg, const ChequeEntry& cheque) {
  reg.AddEmptyRow();
  const int row = reg.RowCount() - 2;
  reg.SetCell(row, kExpenseColumn, cheque.amount);
  reg.SetCell(row, kTypeColumn, QStringLiteral("שק ") + cheque.number);
  reg.SetCell(row, kCategoryColumn, cheque.category);
  reg.SetCell(row, kDescriptionColumn, cheque.payee);
  reg.SetCell(row, kDateColumn, cheque.date);
}

QString ChequePdfName(QStringView number) {
  // Only digits, so the name stays inside the program folder.
  QString digits = number.toString();
  digits.removeIf([](QChar c) { return c < u'0' || c > u'9'; });
  return QStringLiteral("Cheque") + digits + QStringLiteral(".pdf");
}

}  // namespace cheque
