#include "dates/TOLMCivilCalendar.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace civil = TOLMCivilCalendar;

// Walks every day of four centuries either side of the epoch: each day number
// maps back to itself, the weekday steps by one and the day of the year restarts
// on January 1.
TEST(TOLMCivilCalendar, DayNumbersRoundTripAndWeekdaysStepDaily) {
  const std::int64_t first = civil::daysFromCivil(1600, 1, 1);
  const std::int64_t last = civil::daysFromCivil(2400, 12, 31);
  int expectedWeekday = civil::weekday(1600, 1, 1);
  int expectedDayOfYear = 1;
  for (std::int64_t n = first; n <= last; ++n) {
    const civil::Civil c = civil::civilFromDays(n);
    ASSERT_EQ(civil::daysFromCivil(c.year, c.month, c.day), n);
    ASSERT_GE(c.day, 1);
    ASSERT_LE(c.day, civil::daysInMonth(c.year, c.month));
    if (c.month == 1 && c.day == 1) expectedDayOfYear = 1;
    ASSERT_EQ(civil::dayOfYear(c.year, c.month, c.day), expectedDayOfYear++);
    ASSERT_EQ(civil::weekday(c.year, c.month, c.day), expectedWeekday);
    expectedWeekday = (expectedWeekday + 1) % 7;
  }
}

TEST(TOLMCivilCalendar, KnownDatesAndTheEdgesOfThe32BitYear) {
  struct Case {
    std::int64_t year;
    int month, day;
    std::int64_t days;
    int weekday;
  };
  const Case cases[] = {
      {1970, 1, 1, 0, 4},     {1969, 12, 31, -1, 3},   {2000, 2, 29, 11016, 2},
      {2005, 7, 4, 12968, 1}, {1, 1, 1, -719162, 1},   {0, 3, 1, -719468, 3},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(civil::daysFromCivil(c.year, c.month, c.day), c.days) << c.year << "-" << c.month << "-" << c.day;
    EXPECT_EQ(civil::weekday(c.year, c.month, c.day), c.weekday) << c.year << "-" << c.month << "-" << c.day;
  }
  for (const std::int64_t year : {std::int64_t{std::numeric_limits<std::int32_t>::min()},
                                  std::int64_t{std::numeric_limits<std::int32_t>::max()}}) {
    for (int month = 1; month <= 12; ++month) {
      const int lastDay = civil::daysInMonth(year, month);
      const civil::Civil c = civil::civilFromDays(civil::daysFromCivil(year, month, lastDay));
      EXPECT_EQ(c.year, year);
      EXPECT_EQ(c.month, month);
      EXPECT_EQ(c.day, lastDay);
    }
  }
}

TEST(TOLMCivilCalendar, LeapYearsAndMonthLengths) {
  EXPECT_TRUE(civil::isLeapYear(2000));
  EXPECT_TRUE(civil::isLeapYear(2004));
  EXPECT_TRUE(civil::isLeapYear(0));
  EXPECT_TRUE(civil::isLeapYear(-4));
  EXPECT_FALSE(civil::isLeapYear(1900));
  EXPECT_FALSE(civil::isLeapYear(2100));
  EXPECT_FALSE(civil::isLeapYear(-1));
  EXPECT_EQ(civil::daysInMonth(2004, 2), 29);
  EXPECT_EQ(civil::daysInMonth(2100, 2), 28);
  EXPECT_EQ(civil::daysInMonth(2005, 4), 30);
  EXPECT_EQ(civil::daysInMonth(2005, 13), 0);
  EXPECT_EQ(civil::daysInMonth(2005, 0), 0);
}
