#include "core/register/recurring.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace cheque;

namespace {

std::string Joined(const std::vector<QDate>& dates) {
  std::string out;
  for (const QDate& date : dates) {
    out += date.toString(QStringLiteral("d/M/yyyy")).toStdString() + ' ';
  }
  return out;
}

QDate D(int day, int month, int year) { return QDate(year, month, day); }

}  // namespace

TEST(Recurring, SeriesDates) {
  using enum RepeatPeriod;
  struct Case {
    QDate first;
    RepeatPeriod period;
    int count;
    const char* dates;
  };
  const Case cases[] = {
      {D(31, 1, 2000), kMonth, 3, "31/1/2000 29/2/2000 31/3/2000 "},
      {D(31, 7, 2000), kTwoMonths, 4, "31/7/2000 30/9/2000 30/11/2000 31/1/2001 "},
      {D(28, 12, 1999), kWeek, 2, "28/12/1999 4/1/2000 "},
      // Leap years: 2000 and 2024 are, 1900 and 2100 are not.
      {D(29, 2, 2024), kMonth, 3, "29/2/2024 29/3/2024 29/4/2024 "},
      {D(29, 1, 2100), kMonth, 3, "29/1/2100 28/2/2100 29/3/2100 "},
      {D(30, 1, 1900), kMonth, 2, "30/1/1900 28/2/1900 "},
      {D(29, 2, 2024), kHalfYear, 4, "29/2/2024 29/8/2024 28/2/2025 29/8/2025 "},
      {D(31, 12, 2023), kThreeMonths, 5, "31/12/2023 31/3/2024 30/6/2024 30/9/2024 31/12/2024 "},
      // After a short February the day is measured from the first day again.
      {D(31, 10, 2024), kFourMonths, 4, "31/10/2024 28/2/2025 30/6/2025 31/10/2025 "},
      {D(31, 12, 1999), kTwoMonths, 4, "31/12/1999 29/2/2000 30/4/2000 30/6/2000 "},
      {D(30, 11, 2023), kThreeMonths, 3, "30/11/2023 29/2/2024 30/5/2024 "},
      // December to January of the next year.
      {D(15, 11, 2024), kMonth, 3, "15/11/2024 15/12/2024 15/1/2025 "},
      {D(31, 8, 2024), kHalfYear, 3, "31/8/2024 28/2/2025 31/8/2025 "},
      {D(30, 12, 2024), kWeek, 3, "30/12/2024 6/1/2025 13/1/2025 "},
      {D(1, 1, 2024), kMonth, 1, "1/1/2024 "},
      {D(1, 1, 2024), kMonth, 0, ""},
      {D(1, 1, 2024), kWeek, -3, ""},
      {QDate(), kMonth, 3, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.dates);
    EXPECT_EQ(Joined(SeriesDates(c.first, c.period, c.count)), c.dates);
  }
}

TEST(Recurring, LongestSeriesEndsOnTheRightDay) {
  // 900 months from 31/1/2000: 899 steps later is December 2074.
  const std::vector<QDate> monthly = SeriesDates(D(31, 1, 2000), RepeatPeriod::kMonth, 900);
  ASSERT_EQ(monthly.size(), 900u);
  EXPECT_EQ(monthly.back(), D(31, 12, 2074));
  for (const QDate& date : monthly) {
    ASSERT_EQ(date.day(), date.daysInMonth()) << date.toString(Qt::ISODate).toStdString();
  }
  const std::vector<QDate> weekly = SeriesDates(D(1, 1, 2000), RepeatPeriod::kWeek, 900);
  EXPECT_EQ(weekly.back(), D(1, 1, 2000).addDays(7 * 899));
}

TEST(Recurring, NextOccurrenceReturnsToTheFirstDay) {
  using enum RepeatPeriod;
  // From a day cut short, the first day or the month's last day, never the shorter day.
  EXPECT_EQ(NextOccurrence(D(28, 2, 2023), kMonth, 31), D(31, 3, 2023));
  EXPECT_EQ(NextOccurrence(D(28, 2, 2023), kMonth, 30), D(30, 3, 2023));
  EXPECT_EQ(NextOccurrence(D(28, 2, 2023), kTwoMonths, 31), D(30, 4, 2023));
  EXPECT_EQ(NextOccurrence(D(30, 4, 2023), kTwoMonths, 31), D(30, 6, 2023));
  // A first day that no month has keeps the day that was reached.
  for (int first_day : {0, -1, 32}) {
    EXPECT_EQ(NextOccurrence(D(31, 1, 2023), kMonth, first_day), D(28, 2, 2023)) << first_day;
    EXPECT_EQ(NextOccurrence(D(15, 1, 2023), kMonth, first_day), D(15, 2, 2023)) << first_day;
  }
  EXPECT_EQ(NextOccurrence(D(31, 1, 2023), kWeek, 31), D(7, 2, 2023));
  EXPECT_FALSE(NextOccurrence(QDate(), kMonth, 1).isValid());
}
