#include "core/cheques/amount_words.h"

#include <algorithm>
#include <cmath>

#include "core/text/amount.h"

namespace cheque {
namespace {

// Index = digit; there is no word for 0.
constexpr const char16_t* kFemUnits[] = {u"",   u"אחת", u"שתי",   u"שלוש", u"ארבע", u"חמש",
                                         u"שש", u"שבע", u"שמונה", u"תשע",  u"עשר"};
constexpr const char16_t* kMascUnits[] = {u"",      u"אחד", u"שנים", u"שלושה", u"ארבעה",
                                          u"חמישה", u"ששה", u"שבעה", u"שמונה", u"תשעה"};
constexpr const char16_t* kTensWords[] = {u"",       u"עשרה",  u"עשרים", u"שלושים", u"ארבעים",
                                          u"חמישים", u"שישים", u"שבעים", u"שמונים", u"תשעים"};
constexpr const char16_t* kThousandsWords[] = {
    u"",          u"אלף",        u"אלפיים",      u"שלושת אלפים", u"ארבעת אלפים", u"חמשת אלפים",
    u"ששת אלפים", u"שבעת אלפים", u"שמונת אלפים", u"תשעת אלפים",  u"עשרת אלפים"};

const QString kAnd = QStringLiteral(" ו");
const QString kThousand = QStringLiteral("אלף");
const QString kHundreds = QStringLiteral("מאות");
const QString kTen = QStringLiteral("עשר");
const QString kMillion = QStringLiteral("מליון");

QString Fem(int digit) { return QString::fromUtf16(kFemUnits[digit]); }
QString Masc(int digit) { return QString::fromUtf16(kMascUnits[digit]); }
QString Tens(int digit) { return QString::fromUtf16(kTensWords[digit]); }

// The digit at a place counted from the right (1 = units); 0 where the text
// has none. Anything but a digit counts as 0, so no table is read outside.
int Digit(QStringView digits, int place) {
  const qsizetype at = digits.size() - place;
  if (at < 0) return 0;
  const char16_t c = digits[at].unicode();
  return c >= u'0' && c <= u'9' ? c - u'0' : 0;
}

int Length(QStringView digits) { return static_cast<int>(digits.size()); }

// The hundreds word of a digit, with its trailing blank.
QString HundredsWord(int digit) {
  if (digit == 1) return QStringLiteral("מאה ");
  if (digit == 2) return QStringLiteral("מאתיים ");
  return Fem(digit) + u' ' + kHundreds + u' ';
}

}  // namespace

QString HundredsToWords(QStringView digits, bool feminine) {
  const int n = Length(digits);
  if (n == 0) return {};
  const int d1 = Digit(digits, 1);
  const int d2 = Digit(digits, 2);
  const int d3 = Digit(digits, 3);
  QString r;
  if (d2 == 0) {
    if (d1 == 2 && n >= 2) {
      r = feminine ? kAnd + QStringLiteral("שתי") : QStringLiteral(" ושניים");
    } else if (d1 == 2) {
      r = feminine ? QStringLiteral("שתי") : QStringLiteral("שני");
    } else if (d1 != 0) {
      r = feminine ? Fem(d1) : Masc(d1);
      if (n >= 2) r.prepend(kAnd);
    }
  } else if (d2 == 1) {
    r = d1 == 0 ? Tens(1) : Masc(d1) + u' ' + kTen;
    if (n >= 3) r.prepend(kAnd);
  } else {
    r = Tens(d2);
    if (d1 == 0 && n >= 3) r.prepend(kAnd);
    if (d1 == 2) {
      r += kAnd + QStringLiteral("שניים");
    } else if (d1 != 0) {
      r += kAnd + Masc(d1);
    }
  }
  if (n >= 3 && d3 != 0) r.prepend(HundredsWord(d3));
  if (n >= 4 && d3 != 0 && d2 == 0 && d1 == 0) r.prepend(kAnd);
  return r;
}

QString ThousandsToWords(QStringView digits) {
  const int n = Length(digits);
  if (n < 4) return {};
  const int d4 = Digit(digits, 4);
  const int d5 = Digit(digits, 5);
  const int d6 = Digit(digits, 6);
  QString r;
  if (d5 == 0) {
    if (d4 != 0 && (n < 6 || d6 == 0)) {
      r = QString::fromUtf16(kThousandsWords[d4]);
    } else if (d4 != 0) {
      r = kAnd + Masc(d4) + u' ' + kThousand;
    }
  } else if (d5 == 1) {
    if (d4 == 0) {
      r = QString::fromUtf16(kThousandsWords[10]);
    } else if (d4 == 2) {
      r = QStringLiteral("שנים עשר אלף");
    } else {
      r = Masc(d4) + u' ' + kTen + u' ' + kThousand;
    }
    if (n >= 6) r.prepend(kAnd);
  } else {
    r = Tens(d5);
    if (d4 == 0) {
      r += u' ' + kThousand;
    } else if (d4 == 2) {
      r += kAnd + QStringLiteral("שתיים") + u' ' + kThousand;
    } else {
      r += kAnd + Fem(d4) + u' ' + kThousand;
    }
  }
  if (n >= 6 && d6 != 0) {
    r.prepend(HundredsWord(d6));
    // Whole hundreds of thousands: the word for thousand after two blanks.
    if (d5 == 0 && d4 == 0) r += u' ' + kThousand;
  }
  bool rest_zero = true;
  for (int place = 1; place <= 5; ++place) rest_zero = rest_zero && Digit(digits, place) == 0;
  if (n >= 7 && d6 != 0 && rest_zero) r.prepend(kAnd);
  return r + u' ';
}

QString MillionsToWords(QStringView digits) {
  if (Length(digits) < 7) return {};
  switch (const int d7 = Digit(digits, 7)) {
    case 0:
      return {};
    case 1:
      return kMillion + u' ';
    case 2:
      return QStringLiteral("שני ") + kMillion + u' ';
    default:
      return Masc(d7) + u' ' + kMillion + u' ';
  }
}

AmountWords AmountInWords(QStringView typed) {
  AmountWords result;
  QString text = typed.toString();
  result.not_numeric = !CheckNumeric(text);
  text.remove(u'-');
  const qsizetype dot = text.indexOf(u'.');
  if (dot >= 0 && text.size() - dot - 1 > 2) text.truncate(dot + 3);
  const double value = ParseAmount(QStringView(text));
  if (value > kMaximumChequeAmount) {
    result.above_maximum = true;
    text = FormatAmount(value);
  }
  result.field_text = text;

  const QString whole = FormatAmount(std::trunc(value));
  QString words = MillionsToWords(whole) + ThousandsToWords(whole) + HundredsToWords(whole, false) +
                  u' ' + QStringLiteral("ש\"ח");
  const qsizetype point = text.indexOf(u'.');
  if (point >= 0) {
    const QStringView fraction = QStringView(text).mid(point + 1);
    double agorot = ParseAmount(fraction);
    if (fraction.size() == 1) agorot *= 10;  // ".5" is 50 agorot
    if (agorot != 0) {
      words +=
          u',' + kAnd + HundredsToWords(FormatAmount(agorot), true) + QStringLiteral(" אגורות");
    }
  }
  result.words = words + u' ' + QStringLiteral(" בלבד ");
  return result;
}

WordsLines SplitWords(const QString& words, const std::function<double(QStringView)>& width,
                      double limit) {
  if (width(words) <= limit) {
    // Only a trailing blank is repeated below; the last letter of a line
    // that ends in a word (the page's first caption) would print twice.
    return {words, words.endsWith(u' ') ? QStringLiteral(" ") : QString()};
  }
  QString first = words;
  while (!first.isEmpty() && width(first) > limit) first.chop(1);
  while (!first.isEmpty() && !first.endsWith(u' ')) first.chop(1);
  // The rest begins at the first line's last character, the blank.
  return {first, words.mid(std::max<qsizetype>(0, first.size() - 1))};
}

}  // namespace cheque
