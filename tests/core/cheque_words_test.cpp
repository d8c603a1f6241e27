#include <gtest/gtest.h>

#include <QString>

#include "core/cheques/amount_words.h"

using namespace cheque;

namespace {

std::string S(QStringView text) { return text.toString().toStdString(); }

// The words line for the spoken whole part and agorot, as the page builds it.
QString Line(const char16_t* whole, const char16_t* agorot) {
  QString line = QString::fromUtf16(whole) + QStringLiteral(" ש\"ח");
  if (agorot != nullptr)
    line += QStringLiteral(", ו") + QString::fromUtf16(agorot) + QStringLiteral(" אגורות");
  return line + QStringLiteral("  בלבד ");
}

struct WordsCase {
  const char16_t* typed;
  const char16_t* whole;   // spoken whole part
  const char16_t* agorot;  // spoken agorot, or none
};

}  // namespace

// Every row of the amount table the cheque page is known by, blanks
// included; then cases worked out by hand from the rules: each place zero and
// not, 11 to 19 in every group, agorot of one and two digits.
TEST(AmountWords, WordsLine) {
  const WordsCase cases[] = {
      {u"0", u"", nullptr},
      {u"", u"", nullptr},
      {u"2", u"שני", nullptr},
      {u"5", u"חמישה", nullptr},
      {u"10", u"עשרה", nullptr},
      {u"12", u"שנים עשר", nullptr},
      {u"15", u"חמישה עשר", nullptr},
      {u"22", u"עשרים ושניים", nullptr},
      {u"25", u"עשרים וחמישה", nullptr},
      {u"100", u"מאה ", nullptr},
      {u"105", u"מאה  וחמישה", nullptr},
      {u"120", u"מאה  ועשרים", nullptr},
      {u"125", u"מאה עשרים וחמישה", nullptr},
      {u"1000", u"אלף ", nullptr},
      {u"1100", u"אלף  ומאה ", nullptr},
      {u"2002", u"אלפיים  ושניים", nullptr},
      {u"5000", u"חמשת אלפים ", nullptr},
      {u"12000", u"שנים עשר אלף ", nullptr},
      {u"22000", u"עשרים ושתיים אלף ", nullptr},
      {u"25000", u"עשרים וחמש אלף ", nullptr},
      {u"105000", u"מאה  וחמישה אלף ", nullptr},
      {u"120000", u"מאה עשרים אלף ", nullptr},
      {u"300000", u"שלוש מאות  אלף ", nullptr},
      {u"1000000", u"מליון  ", nullptr},
      {u"1300000", u"מליון  ושלוש מאות  אלף ", nullptr},
      {u"2000000", u"שני מליון  ", nullptr},
      {u"1234567.89", u"מליון מאתיים שלושים וארבע אלף חמש מאות שישים ושבעה", u"שמונים ותשעה"},
      {u"9999999.99", u"תשעה מליון תשע מאות תשעים ותשע אלף תשע מאות תשעים ותשעה", u"תשעים ותשעה"},
      {u"0.5", u"", u"חמישים"},
      {u"0.05", u"", u"חמש"},
      {u"0.25", u"", u"עשרים וחמישה"},
      {u"1.01", u"אחד", u"אחת"},
      {u"1.02", u"אחד", u"שתי"},
      {u"10000000", u" ", nullptr},
      // Worked out by hand.
      {u"1", u"אחד", nullptr},
      {u"3", u"שלושה", nullptr},
      {u"11", u"אחד עשר", nullptr},
      {u"13", u"שלושה עשר", nullptr},
      {u"14", u"ארבעה עשר", nullptr},
      {u"16", u"ששה עשר", nullptr},
      {u"17", u"שבעה עשר", nullptr},
      {u"18", u"שמונה עשר", nullptr},
      {u"19", u"תשעה עשר", nullptr},
      {u"20", u"עשרים", nullptr},
      {u"21", u"עשרים ואחד", nullptr},
      {u"99", u"תשעים ותשעה", nullptr},
      {u"102", u"מאה  ושניים", nullptr},
      {u"110", u"מאה  ועשרה", nullptr},
      {u"111", u"מאה  ואחד עשר", nullptr},
      {u"200", u"מאתיים ", nullptr},
      {u"300", u"שלוש מאות ", nullptr},
      {u"999", u"תשע מאות תשעים ותשעה", nullptr},
      {u"1001", u"אלף  ואחד", nullptr},
      {u"1200", u"אלף  ומאתיים ", nullptr},
      {u"1210", u"אלף מאתיים  ועשרה", nullptr},
      {u"2000", u"אלפיים ", nullptr},
      {u"10000", u"עשרת אלפים ", nullptr},
      {u"11000", u"אחד עשר אלף ", nullptr},
      {u"16000", u"ששה עשר אלף ", nullptr},
      {u"19000", u"תשעה עשר אלף ", nullptr},
      {u"21000", u"עשרים ואחת אלף ", nullptr},
      {u"100000", u"מאה  אלף ", nullptr},
      {u"101000", u"מאה  ואחד אלף ", nullptr},
      {u"110000", u"מאה  ועשרת אלפים ", nullptr},
      {u"112000", u"מאה  ושנים עשר אלף ", nullptr},
      {u"113000", u"מאה  ושלושה עשר אלף ", nullptr},
      {u"200001", u"מאתיים  אלף  ואחד", nullptr},
      {u"1000001", u"מליון   ואחד", nullptr},
      {u"1100000", u"מליון  ומאה  אלף ", nullptr},
      {u"1100001", u"מליון מאה  אלף  ואחד", nullptr},
      {u"3000000", u"שלושה מליון  ", nullptr},
      {u"12345678", u"שני מליון שלוש מאות ארבעים וחמש אלף שש מאות שבעים ושמונה", nullptr},
      {u"0.1", u"", u"עשרה"},
      {u"0.10", u"", u"עשרה"},
      {u"0.11", u"", u"אחד עשר"},
      {u"0.15", u"", u"חמישה עשר"},
      {u"0.20", u"", u"עשרים"},
      {u"0.22", u"", u"עשרים ושניים"},
      {u"0.03", u"", u"שלוש"},
      {u"0.00", u"", nullptr},
      {u"5.", u"חמישה", nullptr},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(S(AmountInWords(c.typed).words), S(Line(c.whole, c.agorot))) << S(c.typed);
  }
}

// What the amount field holds after a change, and which messages it calls for.
TEST(AmountWords, FieldText) {
  const struct {
    const char16_t* typed;
    const char16_t* field;
    bool not_numeric;
    bool above_maximum;
  } cases[] = {
      {u"12.345", u"12.34", false, false},
      {u"-50", u"50", false, false},
      {u"12a", u"12", true, false},
      {u"abc", u"", true, false},
      {u"9999999.99", u"9999999.99", false, false},
      {u"10000000", u"10000000", false, true},
      {u"10000000.5", u"10000000.50", false, true},
      {u"99999999a", u"99999999", true, true},
  };
  for (const auto& c : cases) {
    const AmountWords result = AmountInWords(c.typed);
    EXPECT_EQ(S(result.field_text), S(c.field)) << S(c.typed);
    EXPECT_EQ(result.not_numeric, c.not_numeric) << S(c.typed);
    EXPECT_EQ(result.above_maximum, c.above_maximum) << S(c.typed);
  }
  // Not a number reads as 0: only the currency and the closing word remain.
  EXPECT_EQ(S(AmountInWords(u"abc").words), S(QStringLiteral(" ש\"ח  בלבד ")));
  EXPECT_EQ(S(AmountInWords(u"12.345").words), S(Line(u"שנים עשר", u"שלושים וארבעה")));
}

TEST(AmountWords, GroupsAlone) {
  EXPECT_EQ(S(HundredsToWords(u"", false)), "");
  EXPECT_EQ(S(HundredsToWords(u"2", true)), S(u"שתי"));
  EXPECT_EQ(S(HundredsToWords(u"02", true)), S(u" ושתי"));
  EXPECT_EQ(S(ThousandsToWords(u"999")), "");
  EXPECT_EQ(S(ThousandsToWords(u"0000")), " ");
  EXPECT_EQ(S(MillionsToWords(u"999999")), "");
  EXPECT_EQ(S(MillionsToWords(u"0000000")), "");
  EXPECT_EQ(S(MillionsToWords(u"5000000")), S(u"חמישה מליון "));
  // Only the millions digit is spoken; digits beyond it are not.
  EXPECT_EQ(S(MillionsToWords(u"95000000")), S(u"חמישה מליון "));
  // A stray character counts as a zero, never as a word.
  EXPECT_EQ(S(HundredsToWords(u"5.50", true)), S(u" וחמישים"));
}

TEST(AmountWords, SplitAtTheLastBlankThatFits) {
  const auto chars = [](QStringView text) { return static_cast<double>(text.size()); };
  const struct {
    const char16_t* words;
    double limit;
    const char16_t* first;
    const char16_t* rest;
  } cases[] = {
      {u"אאא בבב גגג ", 9, u"אאא בבב ", u" גגג "},
      {u"אאא בבב גגג ", 8, u"אאא בבב ", u" גגג "},
      {u"אאא בבב גגג ", 12, u"אאא בבב גגג ", u" "},
      {u"אב ", 1150, u"אב ", u" "},
      // The page's first caption ends in a letter, which never repeats below.
      {u"אפס שקלים בלבד", 1150, u"אפס שקלים בלבד", u""},
      // No blank within the limit: nothing on the first line.
      {u"אאאאאאאאאא ", 5, u"", u"אאאאאאאאאא "},
  };
  for (const auto& c : cases) {
    const WordsLines lines = SplitWords(QString::fromUtf16(c.words), chars, c.limit);
    EXPECT_EQ(S(lines.first), S(c.first)) << S(c.words) << " " << c.limit;
    EXPECT_EQ(S(lines.rest), S(c.rest)) << S(c.words) << " " << c.limit;
  }
  // The full line of the largest amount, ten units a character.
  const QString longest = AmountInWords(u"9999999.99").words;
  const WordsLines lines =
      SplitWords(longest, [](QStringView text) { return 10.0 * static_cast<double>(text.size()); });
  EXPECT_LE(lines.first.size() * 10, 1150);
  EXPECT_TRUE(lines.first.endsWith(u' '));
  EXPECT_EQ(S(lines.first.chopped(1) + lines.rest), S(longest));
}
