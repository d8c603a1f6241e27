#include "core/text/date_text.h"

#include <algorithm>
#include <vector>

#include "core/text/codec.h"

namespace cheque {
namespace {

constexpr qint64 kJulianDayOfZero = 2415019;  // 30/12/1899

struct Token {
  int value = 0;
  int digits = 0;
};

constexpr int kTooLarge = 100000;  // beyond any day, month or year

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// Reads a number at `i`; leading zeros are fine, a long run saturates.
bool ReadNumber(std::u16string_view text, size_t& i, Token& token) {
  token = {};
  while (i < text.size() && IsDigit(text[i])) {
    token.value = std::min(token.value * 10 + (text[i] - u'0'), kTooLarge);
    ++token.digits;
    ++i;
  }
  return token.digits > 0;
}

bool ReadWord(std::u16string_view text, size_t& i, char16_t first) {
  if (i + 1 < text.size() && (text[i] == first || text[i] == first + (u'a' - u'A')) &&
      (text[i + 1] == u'M' || text[i + 1] == u'm')) {
    i += 2;
    return true;
  }
  return false;
}

// A time after the date: [AM|PM] h[:mm[:ss[.zzz]]] [AM|PM], within a day.
bool IsTimePart(std::u16string_view text, size_t i) {
  auto skip_blanks = [&] {
    while (i < text.size() && text[i] == u' ') ++i;
  };
  auto read_half = [&] {
    if (ReadWord(text, i, u'A')) return 0;
    if (ReadWord(text, i, u'P')) return 12;
    return -1;
  };
  int half = read_half();
  skip_blanks();
  Token hour, minute, second, fraction;
  if (!ReadNumber(text, i, hour)) return false;
  if (i < text.size() && text[i] == u':') {
    ++i;
    if (!ReadNumber(text, i, minute)) return false;
    if (i < text.size() && text[i] == u':') {
      ++i;
      if (!ReadNumber(text, i, second)) return false;
      if (i < text.size() && text[i] == u'.') {
        ++i;
        if (!ReadNumber(text, i, fraction)) return false;
      }
    }
  }
  skip_blanks();
  if (half < 0) half = read_half();
  skip_blanks();
  if (i != text.size()) return false;
  if (minute.value > 59 || second.value > 59 || fraction.value > 999) return false;
  return half < 0 ? hour.value <= 23 : hour.value >= 1 && hour.value <= 12;
}

// Splits "12/5/1999" (blanks allowed around numbers) at `separator`. After the
// date only a time part may follow, set off by a blank.
bool SplitDate(std::u16string_view text, char16_t separator, std::vector<Token>& parts) {
  size_t i = 0;
  auto skip_blanks = [&] {
    while (i < text.size() && text[i] == u' ') ++i;
  };
  skip_blanks();
  while (parts.size() < 3) {
    Token token;
    if (!ReadNumber(text, i, token)) return false;
    parts.push_back(token);
    skip_blanks();
    if (i < text.size() && text[i] == separator && parts.size() < 3) {
      ++i;
      skip_blanks();
      continue;
    }
    break;
  }
  if (parts.size() < 2) return false;
  if (i == text.size()) return true;
  return text[i - 1] == u' ' && IsTimePart(text, i);
}

// A year of one or two digits is the nearest such year to today: at most 50
// years back or 49 ahead, as the usual date conversion of the platform does.
int FullYear(const Token& year, QDate today) {
  if (year.digits > 2) return year.value;
  const int this_year = today.isValid() ? today.year() : 2000;
  int full = (this_year / 100) * 100 + year.value;
  if (full >= this_year + 50) full -= 100;
  if (full < this_year - 50) full += 100;
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

qint64 DayNumber(QDate date) {
  // An invalid date has no day; it counts as the zero date.
  return date.isValid() ? date.toJulianDay() - kJulianDayOfZero : 0;
}

QDate DateFromDayNumber(qint64 day) { return QDate::fromJulianDay(day + kJulianDayOfZero); }

double MomentNumber(const QDateTime& moment) {
  return static_cast<double>(DayNumber(moment.date())) +
         static_cast<double>(moment.time().msecsSinceStartOfDay()) / 86400000.0;
}

const QStringList& HebrewMonthNames() {
  static const QStringList names = {
      QStringLiteral("ינואר"),   QStringLiteral("פברואר"), QStringLiteral("מרץ"),
      QStringLiteral("אפריל"),   QStringLiteral("מאי"),    QStringLiteral("יוני"),
      QStringLiteral("יולי"),    QStringLiteral("אוגוסט"), QStringLiteral("ספטמבר"),
      QStringLiteral("אוקטובר"), QStringLiteral("נובמבר"), QStringLiteral("דצמבר")};
  return names;
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

bool IsPlainDateText(std::string_view text) {
  int numbers[3] = {0, 0, 0};
  int count = 0;
  int digits = 0;
  for (const char c : text) {
    if (c >= '0' && c <= '9') {
      if (++digits > 4) return false;
      numbers[count] = numbers[count] * 10 + (c - '0');
    } else if (c == '/' && digits > 0 && count < 2) {
      ++count;
      digits = 0;
    } else {
      return false;
    }
  }
  if (count != 2 || digits != 4) return false;
  const int day = numbers[0];
  const int month = numbers[1];
  const int year = numbers[2];
  if (year < 1 || month < 1 || month > 12 || day < 1) return false;
  constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return day <= kDays[month - 1] || (month == 2 && day == 29 && IsLeapYear(year));
}

QDateTime ParseDate(QStringView text, const QDateTime& now) {
  if (const auto date = ReadDateText(text, now.date())) return QDateTime(*date, QTime(0, 0));
  return now;
}

QString DateText(QDate date) {
  // Four digits, zeros in front: "15" would read back as 2015, not the year 15.
  const int year = date.year();
  const QString year_text =
      year >= 0 ? QString::number(year).rightJustified(4, u'0') : QString::number(year);
  return QString::number(date.day()) + u'/' + QString::number(date.month()) + u'/' + year_text;
}

NormalizedDate NormalizeDateText(QStringView text, QDate today) {
  // Blanks around the date are not part of it; inside, a blank separates like "/".
  QString replaced = text.trimmed().toString();
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
      if (++digits > 4) {
        plain = false;
        break;
      }
      numbers[count] = numbers[count] * 10 + (c - '0');
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
