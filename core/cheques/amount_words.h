#pragma once

#include <QString>
#include <QStringView>
#include <functional>

namespace cheque {

// The largest amount whose words state the same sum as its digits.
inline constexpr double kMaximumChequeAmount = 9999999.99;
inline const QString kMaximumAmountMessage =
    QStringLiteral("הסכום המכסימאלי הנתמך בתוכנית זו הוא 9,999,999.99");

// The Hebrew words of a cheque, in their fixed grammar, blanks included.
// `digits` is a whole number without sign or separators; a digit is counted
// from the right (units, tens, hundreds, ...), and one the text lacks is
// absent.
//
// The hundreds group: feminine for agorot, masculine for shekels. The result
// starts with " ו" where a larger group comes before it.
QString HundredsToWords(QStringView digits, bool feminine);
// The thousands group and one trailing blank; empty below four digits.
QString ThousandsToWords(QStringView digits);
// The millions digit and a trailing blank; empty below seven digits or for
// a zero. Digits beyond the millions are not spoken.
QString MillionsToWords(QStringView digits);

// The amount field after a change and the words line under it.
struct AmountWords {
  QString field_text;  // what the field holds from now on
  QString words;
  bool not_numeric = false;    // the typed text was no number; its letters are gone
  bool above_maximum = false;  // only the last seven digits are spoken
};
AmountWords AmountInWords(QStringView typed);

// The words line on the cheque's two lines: the first holds as many whole
// words as fit in `limit` units of `width`; the rest starts with the blank
// that ends the first. When everything fits, the rest is a blank, or nothing
// when the line does not end in one.
struct WordsLines {
  QString first;
  QString rest;
};
inline constexpr double kWordsLineWidth = 1150;
WordsLines SplitWords(const QString& words, const std::function<double(QStringView)>& width,
                      double limit = kWordsLineWidth);

}  // namespace cheque
