#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <tuple>

#include "core/text/amount.h"
#include "core/text/codec.h"
#include "core/text/date_text.h"
#include "core/text/text_compare.h"

using namespace cheque;

namespace {

QString Q(const char16_t* text) { return QString::fromUtf16(text); }
std::string S(const char16_t* text) { return Q(text).toStdString(); }
QDate D(const char* iso) { return QDate::fromString(QString::fromLatin1(iso), Qt::ISODate); }

// Sunday 15 June 2025, 10:20.
const QDateTime kNow(QDate(2025, 6, 15), QTime(10, 20));
const QDate kToday = kNow.date();

}  // namespace

// ---------------------------------------------------------------- amounts

TEST(Amount, ParseReadsOnlyPlainDecimalNumbers) {
  const std::pair<const char*, double> cases[] = {
      {"15", 15},    {" 15", 15},   {"   -15", -15}, {"15 ", 0},      {"1,000", 0},
      {"+5", 5},     {".5", 0.5},   {"5.", 5},       {"-.25", -0.25}, {"12.50", 12.5},
      {"1e3", 1000}, {"1E3", 1000}, {"1.5e+2", 150}, {"25E-2", 0.25}, {"1e", 0},
      {"1e+", 0},    {"e5", 0},     {".", 0},        {"", 0},         {" ", 0},
      {"-", 0},      {"- 5", 0},    {"--5", 0},      {"5-", 0},       {"1.2.3", 0},
      {"0x10", 0},   {"inf", 0},    {"nan", 0},      {"1e400", 0},    {"\t12", 0},
      {"15\xF9", 0}, {"00012", 12}};
  for (const auto& [text, value] : cases) {
    SCOPED_TRACE(text);
    EXPECT_EQ(ParseAmount(std::string_view(text)), value);
    EXPECT_EQ(ParseAmount(QStringView(QString::fromLatin1(text))), value);
  }
  EXPECT_EQ(ParseAmount(std::string_view("123456789012.34")), 123456789012.34);
}

TEST(Amount, ReadTellsZeroFromNoNumber) {
  EXPECT_EQ(ReadAmount(std::string_view("-0")), 0.0);
  EXPECT_FALSE(ReadAmount(std::string_view("x")).has_value());
  for (const char16_t* text : {u"חמש", u"15ש\"ח", u"١٥", u"15₪", u"１５"}) {
    EXPECT_FALSE(ReadAmount(QStringView(text)).has_value()) << S(text);
  }
  // Longer than any cell, still read exactly.
  const std::string long_number = "1" + std::string(300, '0') + "e-300";
  EXPECT_EQ(ReadAmount(std::string_view(long_number)), 1.0);
  EXPECT_EQ(ReadAmount(QStringView(QString::fromStdString(long_number))), 1.0);
}

TEST(Amount, FormatWritesTwoDecimalsOrAWholeNumber) {
  const double inf = std::numeric_limits<double>::infinity();
  const std::pair<double, const char*> cases[] = {
      {12.5, "12.50"},    {12.004, "12"},      {-3.25, "-3.25"},   {0.004, "0"},
      {0.01, "0.01"},     {100, "100"},        {-0.0, "0"},        {-0.004, "0"},
      {-0.006, "-0.01"},  {0.006, "0.01"},     {0.0059, "0"},      {2.675, "2.68"},
      {0.125, "0.13"},    {-12.345, "-12.35"}, {99.999, "100.00"}, {-99.999, "-100.00"},
      {0.995, "1.00"},    {0.1 + 0.2, "0.30"}, {5e-324, "0"},      {inf, "0"},
      {std::nan(""), "0"}};
  for (const auto& [value, text] : cases) {
    SCOPED_TRACE(text);
    EXPECT_EQ(FormatAmount(value), QString::fromLatin1(text));
    std::string appended = "x";
    AppendFormattedAmount(value, appended);
    EXPECT_EQ(appended, std::string("x") + text);
  }
  EXPECT_EQ(FormatAmount(123456789012.34), QStringLiteral("123456789012.34"));
  // Large whole numbers are written out in digits and read back exactly.
  for (const double value :
       {-1e15, 1e20, 1e300, -1e300, std::numeric_limits<double>::max(), 9007199254740993.0}) {
    const std::string text = FormatAmount(value).toStdString();
    EXPECT_EQ(text.find_first_not_of("0123456789", value < 0 ? 1 : 0), std::string::npos) << text;
    EXPECT_EQ(ParseAmount(std::string_view(text)), value) << text;
  }
}

TEST(Amount, FormatJudgesTheFractionAsTyped) {
  // .005 stays whole and .006 gets two decimals whatever the whole part: in
  // binary 2.006 lies below 2 + 0.006 while 4.006 lies above.
  for (const int whole : {0, 1, 2, 3, 4, 17, 1000, 65536, 123456}) {
    for (int thousandths = 0; thousandths < 1000; ++thousandths) {
      const QString typed =
          QStringLiteral("%1.%2").arg(whole).arg(thousandths, 3, 10, QLatin1Char('0'));
      const QString text = FormatAmount(ParseAmount(QStringView(typed)));
      const QString cents =
          QStringLiteral("%1").arg((thousandths + 5) / 10 % 100, 2, 10, QLatin1Char('0'));
      EXPECT_TRUE(thousandths < 6 ? text == QString::number(whole) : text.endsWith(cents))
          << typed.toStdString() << " -> " << text.toStdString();
    }
  }
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
  const std::tuple<const char16_t*, bool, const char16_t*> cases[] = {
      {u"", true, u""},        {u"-", true, u"-"},          {u"12", true, u"12"},
      {u" 12", true, u" 12"},  {u"-12.5", true, u"-12.5"},  {u"1e3", true, u"1e3"},
      {u"12a", false, u"12"},  {u"Z", false, u""},          {u"a1b2c", false, u"12"},
      {u"12 ", false, u"12 "}, {u"1,000", false, u"1,000"}, {u"--", false, u"--"},
      {u"12ש", false, u"12ש"}, {u"1e", false, u"1"}};
  for (const auto& [before, ok, after] : cases) {
    QString text = Q(before);
    EXPECT_EQ(CheckNumeric(text), ok) << S(before);
    EXPECT_EQ(text, Q(after)) << S(before);
  }
}

// ---------------------------------------------------------------- dates

TEST(Date, ParseReadsDayMonthThenMonthDay) {
  const std::pair<const char16_t*, const char*> dates[] = {
      {u"5/12/1999", "1999-12-05"},
      {u"5.12.1999", "1999-12-05"},
      {u"0000000005/12/1999", "1999-12-05"},
      {u" 5 / 12 / 1999 ", "1999-12-05"},
      {u"12/31/1999", "1999-12-31"},
      {u"29/2/2024", "2024-02-29"},
      {u"5/12", "2025-12-05"},
      {u"5/12/1999 10:30", "1999-12-05"},
      {u"5/12/1999 10:30:15.250", "1999-12-05"},
      {u"5/12/1999 9 PM", "1999-12-05"},
      {u"5/12/1999 9:15am", "1999-12-05"},
      {u"5/12/1999 PM 9:15", "1999-12-05"}};
  for (const auto& [text, iso] : dates) {
    EXPECT_EQ(ParseDate(QStringView(text), kNow), QDateTime(D(iso), QTime(0, 0))) << S(text);
    EXPECT_EQ(ReadDateText(QStringView(text), kToday), D(iso)) << S(text);
  }
  for (const char16_t* text :
       {u"", u"abc", u"5", u"5 12 1999", u"5/12 1999", u"5/12/1999x", u"5/12/1999 25:00",
        u"5/12/1999 13 PM", u"5/12/1999 10:60", u"5/12/1999/7", u"5/12.1999", u"32/1/2000",
        u"29/2/2023", u"5/12/0000", u"5/12/10000", u"/5/12/1999", u"5//12/1999",
        u"99999999999999999999/1/2000"}) {
    EXPECT_EQ(ParseDate(QStringView(text), kNow), kNow) << S(text);
    EXPECT_FALSE(ReadDateText(QStringView(text), kToday).has_value()) << S(text);
  }
}

TEST(Date, ShortYearsAreTheNearestToToday) {
  // 50 years back to 49 ahead.
  const std::tuple<int, const char16_t*, int> cases[] = {
      {2025, u"5/12/74", 2074}, {2025, u"5/12/75", 1975}, {2025, u"5/12/24", 2024},
      {2025, u"5/12/0", 2000},  {1999, u"1/1/48", 2048},  {1999, u"1/1/49", 1949},
      {2050, u"1/1/0", 2000},   {2050, u"1/1/99", 2099},  {2080, u"1/1/29", 2129},
      {2080, u"1/1/30", 2030}};
  for (const auto& [today, text, year] : cases) {
    const auto date = ReadDateText(QStringView(text), QDate(today, 6, 15));
    ASSERT_TRUE(date.has_value()) << S(text);
    EXPECT_EQ(date->year(), year) << S(text) << " in " << today;
  }
}

TEST(Date, NormalizeWritesTheRegisterForm) {
  const std::tuple<const char16_t*, const char16_t*, bool> cases[] = {
      {u"5-12-1999", u"5/12/1999", true},    {u"5.12.1999", u"5/12/1999", true},
      {u"5/12/1999", u"5/12/1999", true},    {u"05/02/1999", u"5/2/1999", true},
      {u"5 12 1999", u"5/12/1999", true},    {u"5,12,99", u"5/12/1999", true},
      {u"5\\12\\1999", u"5/12/1999", true},  {u"5_12_1999", u"5/12/1999", true},
      {u"5.12", u"5/12/2025", true},         {u"12.31.1999", u"31/12/1999", true},
      {u" 5.12.1999 ", u"5/12/1999", true},  {u"5.x.1999", u"5/x/1999", false},
      {u"32.13.1999", u"32/13/1999", false}, {u"", u"", false}};
  for (const auto& [text, result, ok] : cases) {
    const NormalizedDate normalized = NormalizeDateText(QStringView(text), kToday);
    EXPECT_EQ(normalized.text, Q(result)) << S(text);
    EXPECT_EQ(normalized.ok, ok) << S(text);
  }
  // A blank inside separates too, so a time part makes it no date.
  EXPECT_EQ(NormalizeDateText(u"5.12.1999 10:30", kToday).text, QStringLiteral("5/12/1999/10:30"));
}

TEST(Date, DecodeDayNumbersAndLeapYears) {
  // Empty text decodes to day 0, junk to now.
  const std::pair<const char16_t*, const char*> decoded[] = {
      {u"", "1899-12-30"}, {u"12/31/1999", "1999-12-31"}, {u"junk", "2025-06-15"}};
  for (const auto& [text, iso] : decoded) {
    const DateParts parts = DecodeDateText(QStringView(text), kNow);
    EXPECT_EQ(QDate(parts.year, parts.month, parts.day), D(iso)) << S(text);
  }
  const std::pair<const char*, qint64> days[] = {
      {"1899-12-30", 0}, {"1900-03-01", 61}, {"1990-01-01", 32874}, {"1899-12-29", -1}};
  for (const auto& [iso, day] : days) {
    EXPECT_EQ(DayNumber(D(iso)), day) << iso;
    EXPECT_EQ(DateFromDayNumber(day), D(iso)) << iso;
  }
  EXPECT_DOUBLE_EQ(MomentNumber(QDateTime(QDate(1990, 1, 1), QTime(18, 0))), 32874.75);
  const std::pair<int, bool> leap_years[] = {
      {1900, false}, {2000, true}, {2024, true}, {2023, false}};
  for (const auto& [year, leap] : leap_years) EXPECT_EQ(IsLeapYear(year), leap) << year;
}

TEST(Date, CellDayNumberAgreesWithTheGeneralReader) {
  const std::pair<const char*, const char*> dates[] = {{"1/1/1990", "1990-01-01"},
                                                       {"0001/0001/1990", "1990-01-01"},
                                                       {"1/1/90", "1990-01-01"},
                                                       {"1.1.1990", "1990-01-01"},
                                                       {"1/1", "2025-01-01"},
                                                       {"12/31/1999", "1999-12-31"},
                                                       {"5/12/1999 10:30", "1999-12-05"}};
  for (const auto& [cell, iso] : dates) {
    EXPECT_EQ(CellDayNumber(std::string_view(cell), kToday), DayNumber(D(iso))) << cell;
    EXPECT_EQ(ReadDateText(std::string_view(cell), kToday), D(iso)) << cell;
  }
  // No date: today's day, as the general reader falls back to.
  for (const char* cell : {"junk", "1/1/0000", "1/1/19900", "31/2/1990", "99999/1/1990", "1//1990",
                           "1/12345678901234567890/1990"}) {
    EXPECT_EQ(CellDayNumber(std::string_view(cell), kToday), DayNumber(kToday)) << cell;
    EXPECT_FALSE(ReadDateText(std::string_view(cell), kToday).has_value()) << cell;
  }
  EXPECT_EQ(CellDayNumber("", kToday), 0);
  // Every date the register writes takes the fast path to the same day.
  for (QDate date(1990, 1, 1); date <= QDate(2030, 12, 31); date = date.addDays(3)) {
    const std::string cell = DateText(date).toStdString();
    ASSERT_EQ(CellDayNumber(cell, kToday), DayNumber(date)) << cell;
  }
}

TEST(Date, EveryYearTheRegisterWritesReadsBack) {
  // Years below 1000 keep four digits: "29/1/15" would read back as 2015.
  const std::pair<QDate, const char16_t*> written[] = {{QDate(15, 1, 29), u"29/1/0015"},
                                                       {QDate(1, 1, 1), u"1/1/0001"},
                                                       {QDate(999, 12, 31), u"31/12/0999"},
                                                       {QDate(1990, 1, 1), u"1/1/1990"},
                                                       {QDate(9999, 12, 31), u"31/12/9999"}};
  for (const auto& [date, text] : written) EXPECT_EQ(DateText(date), Q(text));
  for (int year = 1; year <= 9999; year += year < 200 ? 1 : 37) {
    const QDate date(year, 2, 28);
    const QString text = DateText(date);
    ASSERT_EQ(ReadDateText(QStringView(text), kToday), date) << text.toStdString();
    ASSERT_EQ(NormalizeDateText(QStringView(text), kToday).text, text);
    ASSERT_EQ(CellDayNumber(text.toStdString(), kToday), DayNumber(date)) << year;
  }
  // What existing files hold reads as before.
  EXPECT_EQ(ReadDateText(u"29/1/15", kToday), QDate(2015, 1, 29));
  EXPECT_EQ(ReadDateText(u"29/1/2015", kToday), QDate(2015, 1, 29));
}

// ---------------------------------------------------------------- text

TEST(Text, EqualsAndContainsIgnoreOnlyTheCaseOfLatinLetters) {
  const std::tuple<const char16_t*, const char16_t*, bool> equal[] = {
      {u"ok", u"OK", true},      {u"בנק\\יתרה", u"בנק\\יתרה", true},
      {u"שלום", u"שלומ", false},  // final and plain mem are different letters
      {u"", u"", true},          {u"ab", u"a", false},
      {u"É", u"é", false},       {u"[", u"{", false},
      {u"@", u"`", false}};
  for (const auto& [a, b, same] : equal) {
    SCOPED_TRACE(S(a) + " / " + S(b));
    EXPECT_EQ(TextEquals(QStringView(a), QStringView(b)), same);
    EXPECT_EQ(TextEquals(QStringView(b), QStringView(a)), same);
    if (CanEncodeWin1255(QStringView(a)) && CanEncodeWin1255(QStringView(b))) {
      const std::string a_bytes = EncodeWin1255(QStringView(a));
      EXPECT_EQ(TextEquals(std::string_view(a_bytes), EncodeWin1255(QStringView(b))), same);
    }
  }
  const std::tuple<const char16_t*, const char16_t*, bool> contains[] = {
      {u"visa", u"Paid by VISA card", true},
      {u"VISA", u"visa", true},
      {u"שק", u"שק 123", true},
      {u"הו\"ק", u"הו\"ק חשמל", true},
      {u"שקל", u"שק 123", false},
      {u"visa card", u"visa", false},
      {u"", u"abc", false},
      {u"abc", u"abc", true}};
  for (const auto& [part, whole, found] : contains) {
    SCOPED_TRACE(S(part) + " in " + S(whole));
    EXPECT_EQ(TextContains(QStringView(part), QStringView(whole)), found);
    const std::string part_bytes = EncodeWin1255(QStringView(part));
    EXPECT_EQ(TextContains(std::string_view(part_bytes), EncodeWin1255(QStringView(whole))), found);
  }
}

TEST(Text, StripRoutines) {
  // text, letters stripped, blanks and underscores stripped
  const std::tuple<const char16_t*, const char16_t*, const char16_t*> cases[] = {
      {u"a b_c", u" _", u"abc"},
      {u"__/__/____", u"__/__/____", u"//"},
      {u" 5/12/1999 ", u" 5/12/1999 ", u"5/12/1999"},
      {u"שלום abc", u"שלום ", u"שלוםabc"},
      {u"AZaz@[`{", u"@[`{", u"AZaz@[`{"}};
  for (const auto& [text, no_letters, no_blanks] : cases) {
    QString letters = Q(text);
    StripLetters(letters);
    EXPECT_EQ(letters, Q(no_letters)) << S(text);
    EXPECT_EQ(StripBlanksAndUnderscores(QStringView(text)), Q(no_blanks)) << S(text);
  }
  const std::string bytes = {'\xFF', '1', '2', '\xFF', '\xFF', '3', '\xF9', '\xFF'};
  EXPECT_EQ(StripFillCharacter(std::string_view(bytes)), "123\xF9");
  // The same field read from a file, and 0xFF read without the converter.
  EXPECT_EQ(StripFillCharacter(QStringView(DecodeWin1255(bytes))), Q(u"123ש"));
  EXPECT_EQ(StripFillCharacter(QStringView(u"ab\u00FFc")), QStringLiteral("abc"));
}

TEST(Text, CategoryAndFolderPaths) {
  const std::pair<const char16_t*, const char16_t*> collapsed[] = {
      {u"C:\\\\\\Cheque\\Xct1.dat", u"C:\\Cheque\\Xct1.dat"},
      {u"\\\\server\\share\\\\Cheque\\", u"\\\\server\\share\\Cheque\\"},
      {u"\\\\\\server", u"\\\\server"},
      {u"\\\\", u"\\\\"}};
  for (const auto& [path, result] : collapsed)
    EXPECT_EQ(CollapseBackslashes(QStringView(path)), Q(result)) << S(path);
  const std::pair<const char16_t*, const char16_t*> indented[] = {
      {u"a\\b\\c", u"            c"}, {u"בנק", u"בנק"}, {u"a\\", u"      "}, {u"\\a", u"      a"}};
  for (const auto& [path, result] : indented)
    EXPECT_EQ(IndentCategoryPath(QStringView(path)), Q(result)) << S(path);
}

// ---------------------------------------------------------------- codec

TEST(Codec, HebrewLettersAndTheShekelSign) {
  // Without the converter Hebrew would be shown as Latin letters.
  ASSERT_TRUE(Win1255ConverterAvailable());
  for (int b = 0xE0; b <= 0xFA; ++b) {
    const QString text = DecodeWin1255(std::string(1, static_cast<char>(b)));
    ASSERT_EQ(text.size(), 1);
    EXPECT_EQ(text.at(0).unicode(), 0x05D0 + (b - 0xE0)) << b;
  }
  EXPECT_EQ(EncodeWin1255(QStringView(u"שלום 12.50 ₪")), "\xF9\xEC\xE5\xED 12.50 \xA4");
  EXPECT_EQ(EncodeWin1255Bytes(QStringView(u"אב")), QByteArray("\xE0\xE1"));
  EXPECT_EQ(DecodeWin1255(QByteArray("\xE0\xE1\xA4")), QStringLiteral("אב₪"));
}

TEST(Codec, UndefinedBytesDecodeToReplacementCharacter) {
  const int undefined[] = {0x81, 0x8A, 0x8C, 0x8D, 0x8E, 0x8F, 0x90, 0x9A, 0x9C, 0x9D, 0x9E, 0x9F,
                           0xCA, 0xD9, 0xDA, 0xDB, 0xDC, 0xDD, 0xDE, 0xDF, 0xFB, 0xFC, 0xFF};
  // Every other byte reads back to itself.
  for (int b = 0; b < 256; ++b) {
    const bool defined =
        std::find(std::begin(undefined), std::end(undefined), b) == std::end(undefined);
    const std::string byte(1, static_cast<char>(b));
    const QString text = DecodeWin1255(byte);
    ASSERT_EQ(text.size(), 1) << b;
    EXPECT_EQ(text.at(0).unicode() != 0xFFFD, defined) << b;
    if (defined) {
      EXPECT_EQ(EncodeWin1255(QStringView(text)), byte) << b;
    }
  }
  EXPECT_EQ(DecodeWin1255(std::string("a\0b", 3)).size(), 3);
}

TEST(Codec, TextWithoutAByteIsRefused) {
  const std::tuple<const char16_t*, bool, char16_t> cases[] = {
      {u"שלום abc 123 ₪ €", true, 0}, {u"", true, 0},
      {u"abc😀", false, 0xD83D},       {u"مرحبا", false, u'م'},
      {u"שלום Привет", false, u'П'},  {u"\uFFFD", false, 0xFFFD},
      {u"\u0081", false, 0x0081}};
  for (const auto& [text, encodable, first] : cases) {
    EXPECT_EQ(CanEncodeWin1255(QStringView(text)), encodable) << S(text);
    EXPECT_EQ(FirstUnencodable(QStringView(text)).unicode(), first) << S(text);
  }
  std::string out = "x";
  AppendWin1255(QStringView(u"א😀"), out);
  EXPECT_EQ(out, "x\xE0??");
}
