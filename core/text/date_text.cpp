#include "core/text/date_text.h"

#include <array>
#include <cmath>
#include <vector>

#include "core/text/codec.h"

namespace cheque {
namespace {

constexpr qint64 kJulianDayOfZero = 2415019;  // 30/12/1899

struct Token {
  int value = 0;
  int digits = 0;
};

// Splits "12/5/1999" (blanks allowed around numbers) at `separator`;
// stops at a blank after the date, where a time part may begin.
bool SplitDate(std::u16string_view text, char16_t separator, std::vector<Token>& parts) {
  size_t i = 0;
  auto skip_blanks = [&] {
    while (i < text.size() && text[i] == u' ') ++i;
  };
  skip_blanks();
  while (parts.size() < 3) {
    Token token;
    while (i < text.size() && text[i] >= u'0' && text[i] <= u'9') {
      if (token.digits < 9) token.value = token.value * 10 + (text[i] - u'0');
      ++token.digits;
      ++i;
    }
    if (token.digits == 0) return false;
    parts.push_back(token);
    skip_blanks();
    if (i < text.size() && text[i] == separator && parts.size() < 3) {
      ++i;
      skip_blanks();
      continue;
    }
    break;
  }
  if (i == text.size()) return parts.size() >= 2;
  // Only a time part may follow: digits and ':' ' ' '.' and AM/PM letters.
  if (text[i - 1] != u' ') return false;
  for (; i < text.size(); ++i) {
    const char16_t c = text[i];
    const bool allowed = (c >= u'0' && c <= u'9') || c == u':' || c == u' ' || c == u'.' ||
                         c == u'A' || c == u'P' || c == u'M' || c == u'a' || c == u'p' || c == u'm';
    if (!allowed) return false;
  }
  return parts.size() >= 2;
}

int FullYear(const Token& year, QDate today) {
  if (year.digits > 2) return year.value;
  const int this_year = today.isValid() ? today.year() : 2000;
  int full = (this_year / 100) * 100 + year.value;
  if (full > this_year + 50) full -= 100;
  if (full <= this_year - 50) full += 100;
  return full;
}

std::optional<QDate> MakeDate(int day, int month, int year) {
  if (year < 1 || year > 9999) return std::nullopt;
  const QDate date(year, month, day);
  if (!date.isValid()) return std::nullopt;
  return date;
}

std::optional<QDate> ReadDate(std::u16string_view text, QDate today) {
  char16_t separator = 0;
  for (const char16_t c : text) {
    if (!(c >= u'0' && c <= u'9') && c != u' ') {
      separator = c;
      break;
    }
  }
  if (separator == 0) return std::nullopt;
  std::vector<Token> parts;
  if (!SplitDate(text, separator, parts)) return std::nullopt;
  const int year = parts.size() == 3 ? FullYear(parts[2], today) : today.year();
  if (auto date = MakeDate(parts[0].value, parts[1].value, year)) return date;
  return MakeDate(parts[1].value, parts[0].value, year);
}

}  // namespace

qint64 DayNumber(QDate date) { return date.toJulianDay() - kJulianDayOfZero; }

QDate DateFromDayNumber(qint64 day) { return QDate::fromJulianDay(day + kJulianDayOfZero); }

double MomentNumber(const QDateTime& moment) {
  return static_cast<double>(DayNumber(moment.date())) +
         static_cast<double>(moment.time().msecsSinceStartOfDay()) / 86400000.0;
}

bool IsLeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

std::optional<QDate> ReadDateText(QStringView text, QDate today) {
  return ReadDate(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                      static_cast<size_t>(text.size())),
                  today);
}

std::optional<QDate> ReadDateText(std::string_view text, QDate today) {
  return ReadDateText(QStringView(DecodeWin1255(text)), today);
}

QDateTime ParseDate(QStringView text, const QDateTime& now) {
  if (const auto date = ReadDateText(text, now.date())) return QDateTime(*date, QTime(0, 0));
  return now;
}

QString DateText(QDate date) {
  return QString::number(date.day()) + u'/' + QString::number(date.month()) + u'/' +
         QString::number(date.year());
}

NormalizedDate NormalizeDateText(QStringView text, QDate today) {
  QString replaced = text.toString();
  for (QChar& c : replaced) {
    if (c == u'.' || c == u' ' || c == u',' || c == u'\\' || c == u'_' || c == u'-') c = u'/';
  }
  if (const auto date = ReadDateText(QStringView(replaced), today)) return {DateText(*date), true};
  return {replaced, false};
}

DateParts DecodeDateText(QStringView text, const QDateTime& now) {
  if (text.isEmpty()) return {};
  const QDate date = ParseDate(text, now).date();
  return {date.day(), date.month(), date.year()};
}

qint64 CellDayNumber(std::string_view cell, QDate today) {
  if (cell.empty()) return 0;
  // The common form d/m/yyyy, read without building any text.
  int numbers[3] = {0, 0, 0};
  int count = 0;
  int digits = 0;
  bool plain = true;
  for (const char c : cell) {
    if (c >= '0' && c <= '9') {
      numbers[count] = numbers[count] * 10 + (c - '0');
      if (++digits > 4) plain = false;
    } else if (c == '/' && digits > 0 && count < 2) {
      ++count;
      digits = 0;
    } else {
      plain = false;
      break;
    }
  }
  if (plain && count == 2 && digits == 4) {
    const QDate date(numbers[2], numbers[1], numbers[0]);
    if (date.isValid()) return DayNumber(date);
  }
  if (const auto date = ReadDateText(cell, today)) return DayNumber(*date);
  return DayNumber(today);
}

}  // namespace cheque
