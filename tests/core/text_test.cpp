#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "core/text/amount.h"
#include "core/text/codec.h"
#include "core/text/date_text.h"
#include "core/text/text_compare.h"

using namespace cheque;

namespace {

QString Q(const char16_t* text) { return QString::fromUtf16(text); }

std::string Narrow(const QString& text) { return text.toStdString(); }

// A fixed "now" for every date reader: Sunday 15 June 2025, 10:20.
const QDateTime kNow(QDate(2025, 6, 15), QTime(10, 20));
const QDate kToday = kNow.date();

}  // namespace

// ---------------------------------------------------------------- amounts

TEST(Amount, ParseReadsOnlyPlainDecimalNumbers) {
  struct Case {
    const char* text;
    double value;
  };
  const Case cases[] = {
      {"15", 15},
      {" 15", 15},
      {"   -15", -15},
      {"15 ", 0},
      {"1,000", 0},
      {"1000", 1000},
      {"+5", 5},
      {"-5", -5},
      {".5", 0.5},
      {"5.", 5},
      {"-.25", -0.25},
      {"12.50", 12.5},
      {"1e3", 1000},
      {"1E3", 1000},
      {"1.5e+2", 150},
      {"25E-2", 0.25},
      {"1e", 0},
      {"1e+", 0},
      {"e5", 0},
      {".", 0},
      {"", 0},
      {" ", 0},
      {"-", 0},
      {"+", 0},
      {"- 5", 0},
      {"--5", 0},
      {"+-5", 0},
      {"5-", 0},
      {"1.2.3", 0},
      {"0x10", 0},
      {"inf", 0},
      {"nan", 0},
      {"1e400", 0},
      {"-1e400", 0},
      {"12\t", 0},
      {"\t12", 0},
      {"\xE0\xE1", 0},
      {"15\xF9", 0},
      {"\xA4"
       "15",
       0},
      {"$15", 0},
      {"00012", 12},
      {"123456789012.34", 123456789012.34},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ParseAmount(std::string_view(c.text)), c.value);
    EXPECT_EQ(ParseAmount(QStringView(QString::fromLatin1(c.text))), c.value);
  }
}

TEST(Amount, ParseOfUnicodeTextIsZero) {
  for (const char16_t* text : {u"חמש", u"15ש\"ח", u"١٥", u"15₪", u"１５"}) {
    SCOPED_TRACE(QString::fromUtf16(text).toStdString());
    EXPECT_EQ(ParseAmount(QStringView(text)), 0);
    EXPECT_FALSE(ReadAmount(QStringView(text)).has_value());
  }
}

TEST(Amount, ReadTellsZeroFromNoNumber) {
  EXPECT_EQ(ReadAmount(std::string_view("0")), 0.0);
  EXPECT_EQ(ReadAmount(std::string_view("-0")), 0.0);
  EXPECT_FALSE(ReadAmount(std::string_view("x")).has_value());
  // Longer than any cell, still read exactly.
  const std::string long_number = "1" + std::string(300, '0') + "e-300";
  EXPECT_EQ(ReadAmount(std::string_view(long_number)), 1.0);
  EXPECT_EQ(ReadAmount(QStringView(QString::fromStdString(long_number))), 1.0);
}

TEST(Amount, FormatWritesTwoDecimalsOrAWholeNumber) {
  struct Case {
    double value;
    const char* text;
  };
  const double inf = std::numeric_limits<double>::infinity();
  const Case cases[] = {
      {12.5, "12.50"},
      {12.004, "12"},
      {-3.25, "-3.25"},
      {0.004, "0"},
      {0.01, "0.01"},
      {100, "100"},
      {0, "0"},
      {-0.0, "0"},
      {-0.001, "0"},
      {-0.004, "0"},
      {-0.006, "-0.01"},
      {0.006, "0.01"},
      {0.0059, "0"},
      {12.345, "12.35"},
      {2.675, "2.68"},
      {0.125, "0.13"},
      {-12.345, "-12.35"},
      {99.999, "100.00"},
      {-99.999, "-100.00"},
      {9.995, "10.00"},
      {0.995, "1.00"},
      {1234567.891, "1234567.89"},
      {123456789012.34, "123456789012.34"},
      {1e15, "1000000000000000"},
      {-1e15, "-1000000000000000"},
      {1e20, "100000000000000000000"},
      {0.1 + 0.2, "0.30"},
      {1e-300, "0"},
      {5e-324, "0"},
      {inf, "0"},
      {-inf, "0"},
      {std::numeric_limits<double>::quiet_NaN(), "0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(FormatAmount(c.value), QString::fromLatin1(c.text));
    std::string appended = "x";
    AppendFormattedAmount(c.value, appended);
    EXPECT_EQ(appended, std::string("x") + c.text);
  }
}

TEST(Amount, FormatOfHugeValuesReadsBack) {
  for (const double value :
       {1e300, -1e300, std::numeric_limits<double>::max(), 9007199254740993.0}) {
    const QString text = FormatAmount(value);
    SCOPED_TRACE(text.toStdString());
    EXPECT_FALSE(text.contains(u'.'));
    EXPECT_EQ(ParseAmount(QStringView(text)), value);
  }
}

TEST(Amount, FormatJudgesTheFractionAsTyped) {
  // Whatever the whole part, .005 stays whole and .006 gets two decimals: in
  // binary 2.006 lies below 2 + 0.006 while 4.006 lies above.
  for (const int whole : {0, 1, 2, 3, 4, 17, 1000, 65536, 123456}) {
    for (int thousandths = 0; thousandths < 1000; ++thousandths) {
      const QString typed =
          QStringLiteral("%1.%2").arg(whole).arg(thousandths, 3, 10, QLatin1Char('0'));
      const QString text = FormatAmount(ParseAmount(QStringView(typed)));
      SCOPED_TRACE(typed.toStdString());
      if (thousandths < 6) {
        EXPECT_EQ(text, QString::number(whole));
      } else {
        EXPECT_TRUE(text.endsWith(
            QStringLiteral("%1").arg((thousandths + 5) / 10 % 100, 2, 10, QLatin1Char('0'))))
            << text.toStdString();
      }
    }
  }
}

TEST(Amount, EveryCentAmountSurvivesFormatAndParse) {
  // The register writes and reads every balance this way at each step.
  for (int cents = -200000; cents <= 200000; cents += 7) {
    const QString text = cents % 100 == 0
                             ? QString::number(cents / 100)
                             : QStringLiteral("%1%2.%3")
                                   .arg(cents < 0 ? QStringLiteral("-") : QString())
                                   .arg(std::abs(cents) / 100)
                                   .arg(std::abs(cents) % 100, 2, 10, QLatin1Char('0'));
    EXPECT_EQ(FormatAmount(ParseAmount(QStringView(text))), text);
  }
}

TEST(Amount, CheckNumericAcceptsNumbersAndTheStartOfOne) {
  struct Case {
    const char16_t* text;
    bool ok;
    const char16_t* after;
  };
  const Case cases[] = {
      {u"", true, u""},         {u"-", true, u"-"},         {u"12", true, u"12"},
      {u" 12", true, u" 12"},   {u"-12.5", true, u"-12.5"}, {u"1e3", true, u"1e3"},
      {u"12a", false, u"12"},   {u"a", false, u""},         {u"Z", false, u""},
      {u"a1b2c", false, u"12"}, {u"12 ", false, u"12 "},    {u"1,000", false, u"1,000"},
      {u"--", false, u"--"},    {u"12ש", false, u"12ש"},    {u"1e", false, u"1"},
  };
  for (const Case& c : cases) {
    QString text = Q(c.text);
    SCOPED_TRACE(Narrow(text));
    EXPECT_EQ(CheckNumeric(text), c.ok);
    EXPECT_EQ(text, Q(c.after));
  }
}

// ---------------------------------------------------------------- dates

TEST(Date, ParseReadsDayMonthThenMonthDay) {
  struct Case {
    const char16_t* text;
    QDate date;  // invalid: the reader falls back to now
  };
  const Case cases[] = {
      {u"5/12/1999", QDate(1999, 12, 5)},
      {u"5.12.1999", QDate(1999, 12, 5)},
      {u"5-12-1999", QDate(1999, 12, 5)},
      {u"05/12/1999", QDate(1999, 12, 5)},
      {u"0000000005/12/1999", QDate(1999, 12, 5)},
      {u" 5 / 12 / 1999 ", QDate(1999, 12, 5)},
      {u"31/12/1999", QDate(1999, 12, 31)},
      {u"12/31/1999", QDate(1999, 12, 31)},
      {u"2/13/2000", QDate(2000, 2, 13)},
      {u"13/2/2000", QDate(2000, 2, 13)},
      {u"29/2/2024", QDate(2024, 2, 29)},
      {u"1/1/1990", QDate(1990, 1, 1)},
      {u"31/12/2099", QDate(2099, 12, 31)},
      // Without a year: this year.
      {u"5/12", QDate(2025, 12, 5)},
      {u"12/31", QDate(2025, 12, 31)},
      // Short years: the nearest such year, 50 back to 49 ahead of 2025.
      {u"5/12/99", QDate(1999, 12, 5)},
      {u"5/12/24", QDate(2024, 12, 5)},
      {u"5/12/0", QDate(2000, 12, 5)},
      {u"5/12/9", QDate(2009, 12, 5)},
      {u"5/12/74", QDate(2074, 12, 5)},
      {u"5/12/75", QDate(1975, 12, 5)},
      {u"1/1/00", QDate(2000, 1, 1)},
      // A time part after a blank is read past.
      {u"5/12/1999 10:30", QDate(1999, 12, 5)},
      {u"5/12/1999 10:30:15", QDate(1999, 12, 5)},
      {u"5/12/1999 10:30:15.250", QDate(1999, 12, 5)},
      {u"5/12/1999 9 PM", QDate(1999, 12, 5)},
      {u"5/12/1999 9:15am", QDate(1999, 12, 5)},
      {u"5/12/1999 PM 9:15", QDate(1999, 12, 5)},
      // Not dates.
      {u"", QDate()},
      {u"abc", QDate()},
      {u"אבג", QDate()},
      {u"5", QDate()},
      {u"5 12 1999", QDate()},
      {u"5/12 1999", QDate()},
      {u"5/12/1999x", QDate()},
      {u"5/12/1999 25:00", QDate()},
      {u"5/12/1999 13 PM", QDate()},
      {u"5/12/1999 10:60", QDate()},
      {u"5/12/1999/7", QDate()},
      {u"5/12.1999", QDate()},
      {u"32/1/2000", QDate()},
      {u"29/2/2023", QDate()},
      {u"0/1/2000", QDate()},
      {u"5/12/0000", QDate()},
      {u"5/12/10000", QDate()},
      {u"-5/12/1999", QDate()},
      {u"/5/12/1999", QDate()},
      {u"5//12/1999", QDate()},
      {u"99999999999999999999/1/2000", QDate()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Narrow(Q(c.text)));
    const QDateTime parsed = ParseDate(QStringView(c.text), kNow);
    if (c.date.isValid()) {
      EXPECT_EQ(parsed, QDateTime(c.date, QTime(0, 0)));
      EXPECT_EQ(ReadDateText(QStringView(c.text), kToday), c.date);
    } else {
      EXPECT_EQ(parsed, kNow);
      EXPECT_FALSE(ReadDateText(QStringView(c.text), kToday).has_value());
    }
  }
}

TEST(Date, ShortYearsFollowToday) {
  struct Case {
    QDate today;
    const char16_t* text;
    int year;
  };
  const Case cases[] = {
      {QDate(2025, 1, 1), u"1/1/76", 1976}, {QDate(2025, 1, 1), u"1/1/74", 2074},
      {QDate(1999, 1, 1), u"1/1/48", 2048}, {QDate(1999, 1, 1), u"1/1/49", 1949},
      {QDate(2050, 1, 1), u"1/1/0", 2000},  {QDate(2050, 1, 1), u"1/1/99", 2099},
      {QDate(2080, 1, 1), u"1/1/29", 2129}, {QDate(2080, 1, 1), u"1/1/30", 2030},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Narrow(Q(c.text)) + " today " + c.today.toString(Qt::ISODate).toStdString());
    const auto date = ReadDateText(QStringView(c.text), c.today);
    ASSERT_TRUE(date.has_value());
    EXPECT_EQ(date->year(), c.year);
  }
}

TEST(Date, NormalizeWritesTheRegisterForm) {
  struct Case {
    const char16_t* text;
    const char16_t* result;
    bool ok;
  };
  const Case cases[] = {
      {u"5-12-1999", u"5/12/1999", true},
      {u"5.12.1999", u"5/12/1999", true},
      {u"5/12/1999", u"5/12/1999", true},
      {u"05/02/1999", u"5/2/1999", true},
      {u"5 12 1999", u"5/12/1999", true},
      {u"5,12,99", u"5/12/1999", true},
      {u"5\\12\\1999", u"5/12/1999", true},
      {u"5_12_1999", u"5/12/1999", true},
      {u"5.12", u"5/12/2025", true},
      {u"12.31.1999", u"31/12/1999", true},
      {u" 5.12.1999 ", u"5/12/1999", true},
      {u"01/01/1990", u"1/1/1990", true},
      {u"5.x.1999", u"5/x/1999", false},
      {u"abc-def", u"abc/def", false},
      {u"32.13.1999", u"32/13/1999", false},
      {u"5.12.1999 10:30", u"5/12/1999/10:30", false},
      {u"", u"", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Narrow(Q(c.text)));
    const NormalizedDate normalized = NormalizeDateText(QStringView(c.text), kToday);
    EXPECT_EQ(normalized.text, Q(c.result));
    EXPECT_EQ(normalized.ok, c.ok);
  }
}

TEST(Date, DecodeGivesTheZeroDateForEmptyText) {
  struct Case {
    const char16_t* text;
    int day, month, year;
  };
  const Case cases[] = {
      {u"", 30, 12, 1899},
      {u"5/12/1999", 5, 12, 1999},
      {u"12/31/1999", 31, 12, 1999},
      {u"junk", 15, 6, 2025},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Narrow(Q(c.text)));
    const DateParts parts = DecodeDateText(QStringView(c.text), kNow);
    EXPECT_EQ(parts.day, c.day);
    EXPECT_EQ(parts.month, c.month);
    EXPECT_EQ(parts.year, c.year);
  }
}

TEST(Date, DayNumbersCountFromTheLastDaysOf1899) {
  struct Case {
    QDate date;
    qint64 day;
  };
  const Case cases[] = {
      {QDate(1899, 12, 30), 0},     {QDate(1899, 12, 31), 1},   {QDate(1900, 1, 1), 2},
      {QDate(1900, 3, 1), 61},      {QDate(1990, 1, 1), 32874}, {QDate(2000, 1, 1), 36526},
      {QDate(2099, 12, 31), 73050}, {QDate(1899, 12, 29), -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.date.toString(Qt::ISODate).toStdString());
    EXPECT_EQ(DayNumber(c.date), c.day);
    EXPECT_EQ(DateFromDayNumber(c.day), c.date);
  }
  EXPECT_DOUBLE_EQ(MomentNumber(QDateTime(QDate(1990, 1, 1), QTime(18, 0))), 32874.75);
}

TEST(Date, CellDayNumberAgreesWithTheGeneralReader) {
  struct Case {
    const char* cell;
    qint64 day;  // -1: today's day number
  };
  const Case cases[] = {
      {"", 0},
      {"1/1/1990", 32874},
      {"01/01/1990", 32874},
      {"0001/0001/1990", 32874},
      {"1/1/90", 32874},
      {"1.1.1990", 32874},
      {"1/1", DayNumber(QDate(2025, 1, 1))},
      {"12/31/1999", DayNumber(QDate(1999, 12, 31))},
      {"31/12/1999", DayNumber(QDate(1999, 12, 31))},
      {"5/12/1999 10:30", DayNumber(QDate(1999, 12, 5))},
      {"junk", -1},
      {"\xE0\xE1\xE2", -1},
      {"1/1/0000", -1},
      {"1/1/19900", -1},
      {"31/2/1990", -1},
      {"12345678901234567890", -1},
      {"1/12345678901234567890/1990", -1},
      {"99999/1/1990", -1},
      {"1//1990", -1},
      {"/", -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.cell);
    const qint64 expected = c.day == -1 ? DayNumber(kToday) : c.day;
    EXPECT_EQ(CellDayNumber(std::string_view(c.cell), kToday), expected);
    if (c.cell[0] != '\0') {
      const auto general = ReadDateText(std::string_view(c.cell), kToday);
      EXPECT_EQ(general ? DayNumber(*general) : DayNumber(kToday), expected);
    }
  }
  // Every date the register writes takes the fast path to the same day.
  for (QDate date(1990, 1, 1); date <= QDate(2030, 12, 31); date = date.addDays(3)) {
    const std::string cell = Narrow(DateText(date));
    ASSERT_EQ(CellDayNumber(cell, kToday), DayNumber(date)) << cell;
  }
}

TEST(Date, LeapYears) {
  struct Case {
    int year;
    bool leap;
  };
  const Case cases[] = {{1900, false}, {2000, true}, {2024, true}, {2100, false},
                        {2023, false}, {1996, true}, {2400, true}, {1800, false}};
  for (const Case& c : cases) EXPECT_EQ(IsLeapYear(c.year), c.leap) << c.year;
}

// ---------------------------------------------------------------- text

TEST(Text, EqualsIgnoresOnlyTheCaseOfLatinLetters) {
  struct Case {
    const char16_t* a;
    const char16_t* b;
    bool equal;
  };
  const Case cases[] = {
      {u"ok", u"OK", true},
      {u"Bank\\Balance", u"bANK\\bALANCE", true},
      {u"בנק\\יתרה", u"בנק\\יתרה", true},
      {u"בנק\\יתרה", u"בנק\\יתרת", false},
      {u"שלום", u"שלומ", false},  // final and plain mem are different letters
      {u"", u"", true},
      {u"a", u"", false},
      {u"ab", u"a", false},
      {u"É", u"é", false},
      {u"[", u"{", false},
      {u"@", u"`", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Narrow(Q(c.a)) + " / " + Narrow(Q(c.b)));
    EXPECT_EQ(TextEquals(QStringView(c.a), QStringView(c.b)), c.equal);
    EXPECT_EQ(TextEquals(QStringView(c.b), QStringView(c.a)), c.equal);
    const std::string a = EncodeWin1255(QStringView(c.a));
    const std::string b = EncodeWin1255(QStringView(c.b));
    if (CanEncodeWin1255(QStringView(c.a)) && CanEncodeWin1255(QStringView(c.b))) {
      EXPECT_EQ(TextEquals(std::string_view(a), std::string_view(b)), c.equal);
    }
  }
}

TEST(Text, ContainsIgnoresOnlyTheCaseOfLatinLetters) {
  struct Case {
    const char16_t* part;
    const char16_t* whole;
    bool contained;
  };
  const Case cases[] = {
      {u"visa", u"Paid by VISA card", true},
      {u"VISA", u"visa", true},
      {u"שק", u"שק 123", true},
      {u"הו\"ק", u"הו\"ק חשמל", true},
      {u"123", u"שק 123", true},
      {u"שקל", u"שק 123", false},
      {u"visa card", u"visa", false},
      {u"", u"abc", false},
      {u"", u"", false},
      {u"a", u"", false},
      {u"abc", u"abc", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Narrow(Q(c.part)) + " in " + Narrow(Q(c.whole)));
    EXPECT_EQ(TextContains(QStringView(c.part), QStringView(c.whole)), c.contained);
    const std::string part = EncodeWin1255(QStringView(c.part));
    const std::string whole = EncodeWin1255(QStringView(c.whole));
    EXPECT_EQ(TextContains(std::string_view(part), std::string_view(whole)), c.contained);
  }
}

TEST(Text, StripRoutines) {
  struct Case {
    const char16_t* text;
    const char16_t* letters_stripped;
    const char16_t* blanks_stripped;
  };
  const Case cases[] = {
      {u"12a", u"12", u"12a"},
      {u"a b_c", u" _", u"abc"},
      {u"__/__/____", u"__/__/____", u"//"},
      {u" 5/12/1999 ", u" 5/12/1999 ", u"5/12/1999"},
      {u"שלום abc", u"שלום ", u"שלוםabc"},
      {u"AZaz@[`{", u"@[`{", u"AZaz@[`{"},
      {u"", u"", u""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Narrow(Q(c.text)));
    QString letters = Q(c.text);
    StripLetters(letters);
    EXPECT_EQ(letters, Q(c.letters_stripped));
    EXPECT_EQ(StripBlanksAndUnderscores(QStringView(c.text)), Q(c.blanks_stripped));
  }
}

TEST(Text, StripFillCharacterRemovesByte0xFF) {
  const std::string bytes =
      "\xFF"
      "12\xFF\xFF"
      "3\xF9\xFF";
  EXPECT_EQ(StripFillCharacter(std::string_view(bytes)), "123\xF9");
  // The same field read from a file.
  EXPECT_EQ(StripFillCharacter(QStringView(DecodeWin1255(bytes))),
            QStringLiteral("123") + QChar(0x05E9));
  EXPECT_EQ(StripFillCharacter(QStringView(u"ab\u00FFc")), QStringLiteral("abc"));
  EXPECT_EQ(StripFillCharacter(QStringView(u"")), QString());
}

TEST(Text, CollapseBackslashesKeepsANetworkPath) {
  struct Case {
    const char16_t* path;
    const char16_t* collapsed;
  };
  const Case cases[] = {
      {u"C:\\Cheque\\\\Xct1.dat", u"C:\\Cheque\\Xct1.dat"},
      {u"C:\\\\\\Cheque\\Xct1.dat", u"C:\\Cheque\\Xct1.dat"},
      {u"\\\\server\\share\\\\Cheque\\", u"\\\\server\\share\\Cheque\\"},
      {u"\\\\\\server", u"\\\\server"},
      {u"\\\\", u"\\\\"},
      {u"\\", u"\\"},
      {u"a\\\\", u"a\\"},
      {u"", u""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Narrow(Q(c.path)));
    EXPECT_EQ(CollapseBackslashes(QStringView(c.path)), Q(c.collapsed));
  }
}

TEST(Text, IndentCategoryPathIndentsSixBlanksPerLevel) {
  struct Case {
    const char16_t* path;
    const char16_t* indented;
  };
  const Case cases[] = {
      {u"a\\b\\c", u"            c"},
      {u"הכנסות\\משכורת", u"      משכורת"},
      {u"בנק", u"בנק"},
      {u"a\\", u"      "},
      {u"\\a", u"      a"},
      {u"", u""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Narrow(Q(c.path)));
    EXPECT_EQ(IndentCategoryPath(QStringView(c.path)), Q(c.indented));
  }
}

// ---------------------------------------------------------------- codec

TEST(Codec, ConverterIsThere) {
  // Without it Hebrew would be shown as Latin letters.
  ASSERT_TRUE(Win1255ConverterAvailable());
}

TEST(Codec, HebrewLettersAndTheShekelSign) {
  for (int b = 0xE0; b <= 0xFA; ++b) {
    const std::string byte(1, static_cast<char>(b));
    const QString text = DecodeWin1255(byte);
    ASSERT_EQ(text.size(), 1);
    EXPECT_EQ(text.at(0).unicode(), 0x05D0 + (b - 0xE0)) << b;
    EXPECT_EQ(EncodeWin1255(QStringView(text)), byte);
  }
  EXPECT_EQ(DecodeWin1255(std::string("\xA4")), QStringLiteral("₪"));
  EXPECT_EQ(EncodeWin1255(QStringView(u"₪")), "\xA4");
  EXPECT_EQ(EncodeWin1255(QStringView(u"שלום 12.50 ₪")), "\xF9\xEC\xE5\xED 12.50 \xA4");
  EXPECT_EQ(EncodeWin1255Bytes(QStringView(u"אב")), QByteArray("\xE0\xE1"));
  EXPECT_EQ(DecodeWin1255(QByteArray("\xE0\xE1")), QStringLiteral("אב"));
}

TEST(Codec, UndefinedBytesDecodeToReplacementCharacter) {
  const int undefined[] = {0x81, 0x8A, 0x8C, 0x8D, 0x8E, 0x8F, 0x90, 0x9A, 0x9C, 0x9D, 0x9E, 0x9F,
                           0xCA, 0xD9, 0xDA, 0xDB, 0xDC, 0xDD, 0xDE, 0xDF, 0xFB, 0xFC, 0xFF};
  for (const int b : undefined) {
    EXPECT_EQ(DecodeWin1255(std::string(1, static_cast<char>(b))), QString(QChar(0xFFFD))) << b;
  }
  // Every other byte reads back to itself.
  for (int b = 0; b < 256; ++b) {
    if (std::find(std::begin(undefined), std::end(undefined), b) != std::end(undefined)) continue;
    const std::string byte(1, static_cast<char>(b));
    const QString text = DecodeWin1255(byte);
    ASSERT_EQ(text.size(), 1) << b;
    EXPECT_NE(text.at(0).unicode(), 0xFFFD) << b;
    EXPECT_EQ(EncodeWin1255(QStringView(text)), byte) << b;
  }
  const std::string nul_inside("a\0b", 3);
  EXPECT_EQ(DecodeWin1255(nul_inside).size(), 3);
}

TEST(Codec, TextWithoutAByteIsRefused) {
  struct Case {
    const char16_t* text;
    bool encodable;
    char16_t first_unencodable;
  };
  const Case cases[] = {
      {u"שלום abc 123 ₪ €", true, 0}, {u"", true, 0},
      {u"abc😀", false, 0xD83D},       {u"مرحبا", false, u'م'},
      {u"שלום Привет", false, u'П'},  {u"\uFFFD", false, 0xFFFD},
      {u"\u0081", false, 0x0081},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Narrow(Q(c.text)));
    EXPECT_EQ(CanEncodeWin1255(QStringView(c.text)), c.encodable);
    EXPECT_EQ(FirstUnencodable(QStringView(c.text)).unicode(), c.first_unencodable);
  }
  std::string out = "x";
  AppendWin1255(QStringView(u"א😀"), out);
  EXPECT_EQ(out, "x\xE0??");
}
