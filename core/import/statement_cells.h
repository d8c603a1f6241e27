#pragma once

// Date and amount cells of a bank's statement, as banks write them.

#include <QDate>
#include <QString>
#include <QStringView>
#include <cstdint>
#include <optional>

namespace cheque {

// The largest amount a statement may hold, in agorot (9,999,999,999.99):
// beyond the register's range, and no bank's movement.
inline constexpr std::int64_t kMaxStatementAgorot = 999'999'999'999;

// Direction marks and the like, which spreadsheets keep around Hebrew text,
// removed; no-break spaces made blanks; blanks simplified.
QString CleanStatementCell(QString text);

// "31/01/2024", "2024-01-31", "20240131", a spreadsheet's date serial,
// "12-Dec-2019", "12 בדצמבר 2019".
std::optional<QDate> ReadStatementDate(QStringView text, QDate today);

// "1,234.50", "1.234,50", "(12)", "12-", a currency sign or code before or
// after ("£1,183.23", "+ £1,100.00", "USD 12.5", "₪ 1,234"), a trailing
// "CR" (income) or "DR" (expense). Rounded once to agorot, half away from
// zero. Nothing when the text is no amount, or is beyond
// kMaxStatementAgorot (then `too_large` is set).
std::optional<double> ReadStatementAmount(QStringView text, bool* too_large = nullptr);

// Agorot of an amount, saturated far beyond any amount of the register, so
// that comparing and negating them is always defined.
std::int64_t AmountAgorot(double amount);

}  // namespace cheque
