#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <optional>
#include <string_view>

namespace cheque {

// Day numbers count days from 30/12/1899 (day 0), the date origin of the
// register's sort keys; a moment adds the fraction of the day.
qint64 DayNumber(QDate date);
QDate DateFromDayNumber(qint64 day);
double MomentNumber(const QDateTime& moment);

bool IsLeapYear(int year);

// "ינואר" to "דצמבר": the calendar's month list, and a monthly report's rows.
const QStringList& HebrewMonthNames();

// Reads "d/m/yyyy" (any one non-digit, non-blank separator; the first such
// character of the text), then month-first "M/d/yyyy" as a fallback; two
// numbers mean this year, a year of one or two digits is the nearest such
// year to `today` (50 back to 49 ahead). A time part after a blank
// ("10:30", "10:30:15", "9 PM") is accepted in either order and ignored.
std::optional<QDate> ReadDateText(QStringView text, QDate today);
std::optional<QDate> ReadDateText(std::string_view text, QDate today);

// True for the common form d/m/yyyy (numbers of at most 4 digits, a year of
// 4) naming a real day: ReadDateText reads every such text, whatever today
// is. A quick answer for the many cells of a file; false says nothing.
bool IsPlainDateText(std::string_view text);

// ReadDateText, with the current moment for empty or unreadable text.
QDateTime ParseDate(QStringView text, const QDateTime& now);

// The register's date form: day and month without leading zeros, four-digit
// year with zeros in front ("1/2/0015").
QString DateText(QDate date);

// Drops the blanks around the text, turns ". , \ _ -" and blanks into "/"
// and rewrites a readable date as d/m/yyyy. When the date cannot be read,
// `ok` is false and the text keeps its replaced separators.
struct NormalizedDate {
  QString text;
  bool ok = false;
};
NormalizedDate NormalizeDateText(QStringView text, QDate today);

struct DateParts {
  int day = 30;
  int month = 12;
  int year = 1899;
};
// Empty text gives the zero date 30/12/1899; otherwise the parts of ParseDate.
DateParts DecodeDateText(QStringView text, const QDateTime& now);

// The day number of a register date cell: 0 for an empty cell, today's for a
// text that is no date.
qint64 CellDayNumber(std::string_view date_cell, QDate today);

}  // namespace cheque
