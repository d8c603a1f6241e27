#include "core/register/recurring.h"

#include <gtest/gtest.h>

#include <QStringList>
#include <tuple>
#include <vector>

using namespace cheque;

TEST(Recurring, SeriesDates) {
  using enum RepeatPeriod;
  const std::tuple<int, int, int, RepeatPeriod, int, const char*> cases[] = {
      {31, 1, 2000, kMonth, 3, "31/1/2000 29/2/2000 31/3/2000"},
      {31, 7, 2000, kTwoMonths, 4, "31/7/2000 30/9/2000 30/11/2000 31/1/2001"},
      {28, 12, 1999, kWeek, 2, "28/12/1999 4/1/2000"},
      // Leap years: 2100 is not one; December to January.
      {29, 1, 2100, kMonth, 3, "29/1/2100 28/2/2100 29/3/2100"},
      {29, 2, 2024, kHalfYear, 4, "29/2/2024 29/8/2024 28/2/2025 29/8/2025"},
      {31, 8, 2024, kHalfYear, 2, "31/8/2024 28/2/2025"},
      {31, 12, 2023, kThreeMonths, 4, "31/12/2023 31/3/2024 30/6/2024 30/9/2024"},
      // After a short February the day is taken from the first day again.
      {31, 10, 2024, kFourMonths, 3, "31/10/2024 28/2/2025 30/6/2025"},
      {31, 12, 1999, kTwoMonths, 3, "31/12/1999 29/2/2000 30/4/2000"},
      {1, 1, 2024, kMonth, 0, ""},
      {1, 1, 2024, kWeek, -3, ""},
  };
  for (const auto& [day, month, year, period, count, dates] : cases) {
    QStringList texts;
    for (const QDate& date : SeriesDates(QDate(year, month, day), period, count)) {
      texts.append(date.toString(QStringLiteral("d/M/yyyy")));
    }
    EXPECT_EQ(texts.join(u' ').toStdString(), dates);
  }
  EXPECT_TRUE(SeriesDates(QDate(), kMonth, 3).empty());
  // The longest series: 899 months after January 2000.
  const std::vector<QDate> monthly = SeriesDates(QDate(2000, 1, 31), kMonth, 900);
  ASSERT_EQ(monthly.size(), 900u);
  EXPECT_EQ(monthly.back(), QDate(2074, 12, 31));
  // A first day no month has keeps the day reached.
  EXPECT_EQ(NextOccurrence(QDate(2023, 1, 31), kMonth, 0), QDate(2023, 2, 28));
  EXPECT_EQ(NextOccurrence(QDate(2023, 1, 15), kMonth, 32), QDate(2023, 2, 15));
}
