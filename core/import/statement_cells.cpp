#include "core/import/statement_cells.h"

#include <QRegularExpression>
#include <algorithm>
#include <cmath>

#include "core/text/amount.h"
#include "core/text/date_text.h"

namespace cheque {
namespace {

// The last day a spreadsheet's date serial can stand for (31/12/9999).
constexpr double kLastSerialDay = 2958465;

// 1 to 12 for a month's name in English or Hebrew ("Dec", "December",
// "בדצמבר"), 0 for anything else.
int MonthOfName(const QString& word) {
  static const QStringList kEnglish = {
      QStringLiteral("january"), QStringLiteral("february"), QStringLiteral("march"),
      QStringLiteral("april"),   QStringLiteral("may"),      QStringLiteral("june"),
      QStringLiteral("july"),    QStringLiteral("august"),   QStringLiteral("september"),
      QStringLiteral("october"), QStringLiteral("november"), QStringLiteral("december")};
  const QString lower = word.toLower();
  if (lower.size() >= 3) {
    for (int m = 0; m < 12; ++m) {
      if (kEnglish[m].startsWith(lower)) return m + 1;
    }
    if (lower == u"sept") return 9;
  }
  const QStringList& hebrew = HebrewMonthNames();
  for (const QString& name : {word, word.startsWith(u'ב') ? word.mid(1) : QString()}) {
    if (name.isEmpty()) continue;
    const auto found = std::find(hebrew.begin(), hebrew.end(), name);
    if (found != hebrew.end()) return static_cast<int>(found - hebrew.begin()) + 1;
    if (name == u"מרס") return 3;
  }
  return 0;
}

std::optional<QDate> ReadNamedMonth(const QString& text, QDate today) {
  static const QRegularExpression kDayFirst(QStringLiteral(
      "^(\\d{1,2})[ \\-./,]*(\\p{L}+)\\.?[ \\-./,]*(\\d{4}|\\d{2})(?: \\d{1,2}:\\d{2}.*)?$"));
  static const QRegularExpression kMonthFirst(
      QStringLiteral("^(\\p{L}+)\\.?[ \\-./]*(\\d{1,2})(?:st|nd|rd|th)?,? (\\d{4})$"));
  int day_group = 1;
  int month_group = 2;
  QRegularExpressionMatch match = kDayFirst.match(text);
  if (!match.hasMatch()) {
    match = kMonthFirst.match(text);
    if (!match.hasMatch()) return std::nullopt;
    day_group = 2;
    month_group = 1;
  }
  const int month = MonthOfName(match.captured(month_group));
  if (month == 0) return std::nullopt;
  const QString numeric =
      match.captured(day_group) + u'/' + QString::number(month) + u'/' + match.captured(3);
  return ReadDateText(QStringView(numeric), today);
}

// A currency's sign or code beside an amount: "£", "₪", "USD", "ש"ח",
// "د.ا.". Letters beyond these mean the cell is no amount.
bool IsCurrencyText(QStringView text) {
  if (text.isEmpty()) return true;
  static const QRegularExpression kCurrency(
      QStringLiteral("^(?:\\p{Sc}|[A-Za-z]{3}|ש[\"'\\x{05F4}]?ח|[\\x{0600}-\\x{06FF}][\\x{0600}-"
                     "\\x{06FF}.]{0,5})+$"));
  return kCurrency.match(text).hasMatch();
}

}  // namespace

namespace {

bool IsInvisible(char16_t c) {
  return c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) ||
         (c >= 0x2066 && c <= 0x2069) || c == 0xFEFF;
}

}  // namespace

QString CleanStatementCell(QString text) {
  // Most cells are clean already: they are looked at, not copied.
  bool clean = true;
  bool blank_before = true;
  for (const QChar c : std::as_const(text)) {
    const char16_t u = c.unicode();
    const bool blank = c.isSpace();
    if (IsInvisible(u) || u == 0xA0 || (blank && (blank_before || u != u' '))) {
      clean = false;
      break;
    }
    blank_before = blank;
  }
  if (clean && !blank_before) return text;
  if (clean && text.isEmpty()) return text;
  QString out;
  out.reserve(text.size());
  bool pending_blank = false;
  for (const QChar c : std::as_const(text)) {
    if (IsInvisible(c.unicode())) continue;
    if (c.isSpace() || c.unicode() == 0xA0) {
      pending_blank = !out.isEmpty();
      continue;
    }
    if (pending_blank) out += u' ';
    pending_blank = false;
    out += c;
  }
  return out;
}

std::int64_t AmountAgorot(double amount) {
  constexpr double kLimit = 1e15;
  if (std::isnan(amount)) return 0;
  return std::llround(std::clamp(amount, -kLimit, kLimit) * 100);
}

std::optional<QDate> ReadStatementDate(QStringView raw, QDate today) {
  const QString text = CleanStatementCell(raw.toString());
  if (text.isEmpty()) return std::nullopt;
  // A spreadsheet's date serial that reached a CSV as a number.
  bool is_number = false;
  const double serial = text.toDouble(&is_number);
  if (is_number && !text.contains(u'.') && text.size() == 8) {
    const QDate compact = QDate::fromString(text, QStringLiteral("yyyyMMdd"));
    if (compact.isValid()) return compact;
  }
  if (is_number && serial >= 1 && serial <= kLastSerialDay && !text.contains(u'/')) {
    return DateFromDayNumber(static_cast<qint64>(std::floor(serial)));
  }
  // Year first: "2024-01-31", with or without a time after it.
  static const QRegularExpression kYearFirst(
      QStringLiteral("^(\\d{4})[-/.](\\d{1,2})[-/.](\\d{1,2})(?:[ T].*)?$"));
  if (const auto match = kYearFirst.match(text); match.hasMatch()) {
    const QDate date(match.captured(1).toInt(), match.captured(2).toInt(),
                     match.captured(3).toInt());
    if (date.isValid()) return date;
    return std::nullopt;
  }
  if (std::any_of(text.begin(), text.end(), [](QChar c) { return c.isLetter(); })) {
    if (const auto named = ReadNamedMonth(text, today)) return named;
  }
  return ReadDateText(QStringView(text), today);
}

std::optional<double> ReadStatementAmount(QStringView raw, bool* too_large) {
  if (too_large) *too_large = false;
  QString text = CleanStatementCell(raw.toString());
  text.remove(u' ');
  bool negative = false;
  // "CR" is money in, "DR" money out, whatever the sign.
  if (text.size() > 2 && !text.at(text.size() - 3).isLetter() &&
      (text.endsWith(QStringLiteral("CR"), Qt::CaseInsensitive) ||
       text.endsWith(QStringLiteral("DR"), Qt::CaseInsensitive))) {
    const bool debit = text.at(text.size() - 2).toLower() == u'd';
    text.chop(2);
    if (text.startsWith(u'-') || text.endsWith(u'-')) text.remove(u'-');
    if (debit) negative = true;
  }
  // Signs, brackets and a currency on either side, in any order.
  qsizetype begin = 0;
  qsizetype end = text.size();
  bool bracket = false;
  int signs = 0;
  const auto is_number_char = [](QChar c) {
    return (c >= u'0' && c <= u'9') || c == u'.' || c == u',';
  };
  while (begin < end && !is_number_char(text[begin])) {
    const QChar c = text[begin];
    if (c == u'-' || c == u'+') {
      negative = negative != (c == u'-');
      ++signs;
      ++begin;
    } else if (c == u'(' && !bracket) {
      bracket = true;
      ++begin;
    } else {
      qsizetype stop = begin;
      while (stop < end && !is_number_char(text[stop]) && text[stop] != u'-' &&
             text[stop] != u'+' && text[stop] != u'(') {
        ++stop;
      }
      // "د.ا.4.750": the dots of a currency code stay with it.
      while (stop < end && text[stop] == u'.' && stop + 1 < end && !text[stop + 1].isDigit())
        ++stop;
      if (stop < end && text[stop] == u'.' && stop > begin && !text[stop - 1].isDigit()) ++stop;
      if (stop == begin || !IsCurrencyText(QStringView(text).sliced(begin, stop - begin))) {
        return std::nullopt;
      }
      begin = stop;
    }
  }
  while (end > begin && !text[end - 1].isDigit()) {
    const QChar c = text[end - 1];
    if (c == u'-') {
      negative = !negative;
      ++signs;
      --end;
    } else if (c == u'.' && end - begin > 1 && text[end - 2].isDigit()) {
      --end;  // "12."
    } else if (c == u')' && bracket) {
      bracket = false;
      negative = !negative;
      --end;
    } else {
      qsizetype start = end;
      while (start > begin && !text[start - 1].isDigit() && text[start - 1] != u'-' &&
             text[start - 1] != u')') {
        --start;
      }
      if (start == end || !IsCurrencyText(QStringView(text).sliced(start, end - start))) {
        return std::nullopt;
      }
      end = start;
    }
  }
  if (bracket || signs > 1 || begin >= end) return std::nullopt;
  text = text.sliced(begin, end - begin);
  // "1.234,50" or "12,5": a decimal comma; otherwise commas group thousands.
  static const QRegularExpression kDecimalComma(QStringLiteral(",\\d{1,2}$"));
  if (text.contains(kDecimalComma) &&
      (!text.contains(u'.') || text.indexOf(u'.') < text.indexOf(u','))) {
    text.remove(u'.');
    text.replace(u',', u'.');
  } else {
    text.remove(u',');
  }
  // Digits, and a point with more digits: read exactly, so the rounding is
  // the one a person would make, not the one of the nearest double.
  static const QRegularExpression kDecimal(QStringLiteral("^(\\d*)(?:\\.(\\d*))?$"));
  const auto match = kDecimal.match(text);
  std::int64_t agorot = 0;
  if (match.hasMatch() && (match.capturedLength(1) + match.capturedLength(2)) > 0) {
    QStringView whole = match.capturedView(1);
    while (whole.size() > 1 && whole.front() == u'0') whole = whole.sliced(1);
    if (whole.size() > 10) {
      if (too_large) *too_large = true;
      return std::nullopt;
    }
    const QString fraction = match.captured(2) + QStringLiteral("000");
    agorot = (whole.isEmpty() ? 0 : whole.toLongLong()) * 100 + fraction.left(2).toInt();
    if (fraction.at(2) >= u'5') ++agorot;
  } else {
    // A number a spreadsheet wrote with an exponent ("1.5E-2").
    const auto value = ReadAmount(QStringView(text));
    if (!value || !std::isfinite(*value)) return std::nullopt;
    if (std::fabs(*value) >= 1e11) {
      if (too_large) *too_large = true;
      return std::nullopt;
    }
    agorot = std::llround(std::fabs(*value) * 100);
  }
  if (agorot > kMaxStatementAgorot) {
    if (too_large) *too_large = true;
    return std::nullopt;
  }
  const double amount = static_cast<double>(agorot) / 100;
  return negative ? -amount : amount;
}

}  // namespace cheque
