#include "dates/TOLMDate.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "archive/TOLMArchiveObject.h"
#include "archive/TOLMArchiver.h"
#include "archive/TOLMUnarchiver.h"
#include "dates/TOLMCivilCalendar.h"
#include "dates/TOLMClock.h"
#include "dates/TOLMZoneScope.h"

namespace {

using Fields = std::array<std::int32_t, 6>;

TOLMDate dateOf(const Fields& f) { return TOLMDate::initWithIntArray(f.data()); }

Fields fieldsOf(const TOLMDate& d) {
  Fields f;
  std::copy(d.arrayReference(), d.arrayReference() + 6, f.begin());
  return f;
}

// The instant of a UTC date-time, for expectations independent of the code under test.
double utc(std::int64_t y, int mo, int d, int h, int mi, int s) {
  return static_cast<double>(TOLMCivilCalendar::daysFromCivil(y, mo, d) * 86400 + h * 3600 + mi * 60 + s);
}

constexpr const char* kNewYork = "America/New_York";
constexpr const char* kBerlin = "Europe/Berlin";

}  // namespace

TEST(TOLMDate, ConstructorsFillTheWeekdayOnlyThroughTheCalendar) {
  TOLMZoneScope zone(kNewYork);
  const TOLMDate zero = TOLMDate::initZeroDate();
  EXPECT_EQ(fieldsOf(zero), (Fields{0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(zero.dayOfWeek(), 0);

  const TOLMDate plain = dateOf({2005, 7, 4, 9, 5, 0});  // a Monday, stored as given
  EXPECT_EQ(plain.dayOfWeek(), 0);
  EXPECT_EQ(plain.makeCopy().dayOfWeek(), 1);

  const TOLMDate fromInstant = TOLMDate::initWithCalendarDate(utc(2005, 7, 4, 13, 5, 0));
  EXPECT_EQ(fieldsOf(fromInstant), (Fields{2005, 7, 4, 9, 5, 0}));
  EXPECT_EQ(fromInstant.dayOfWeek(), 1);

  // Fractions round down, so a moment before a whole second reads as the second before.
  TOLMZoneScope utcZone("UTC");
  EXPECT_EQ(fieldsOf(TOLMDate::initWithCalendarDate(-0.25)), (Fields{1969, 12, 31, 23, 59, 59}));
  EXPECT_EQ(fieldsOf(TOLMDate::initWithCalendarDate(std::nan(""))), (Fields{0, 0, 0, 0, 0, 0}));
  // Beyond every 32-bit year the fields saturate instead of wrapping.
  EXPECT_EQ(TOLMDate::initWithCalendarDate(1e300).year(), std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(TOLMDate::initWithCalendarDate(-1e300).year(), std::numeric_limits<std::int32_t>::min());
}

TEST(TOLMDate, NowComesFromTheInstalledClock) {
  TOLMZoneScope zone(kBerlin);
  TOLMClock::setSource([] { return utc(2005, 12, 31, 23, 30, 0) + 0.75; });
  const TOLMDate now = TOLMDate::init();
  TOLMClock::setSource({});
  EXPECT_EQ(fieldsOf(now), (Fields{2006, 1, 1, 0, 30, 0}));
  EXPECT_EQ(now.dayOfWeek(), 0);
  EXPECT_GT(TOLMClock::now(), utc(2020, 1, 1, 0, 0, 0));  // the system clock again
}

TEST(TOLMDate, ComparesRawFieldsFromTheChosenIndex) {
  struct Case {
    Fields a, b;
    int index;
    int expected;
  };
  const Case cases[] = {
      {{2005, 1, 1, 8, 0, 0}, {1999, 12, 31, 9, 0, 0}, 3, -1},  // time of day only
      {{2005, 1, 1, 8, 0, 0}, {1999, 12, 31, 9, 0, 0}, 0, 1},
      {{2005, 1, 1, 8, 0, 0}, {1999, 12, 31, 9, 0, 0}, 2, -1},
      {{2005, 7, 4, 9, 5, 1}, {2005, 7, 4, 9, 5, 0}, 0, 1},
      {{2005, 7, 4, 9, 5, 0}, {2005, 7, 4, 9, 5, 0}, 0, 0},
      {{1, 1, 1, 1, 1, 7}, {9, 9, 9, 9, 9, 7}, 5, 0},
      {{1, 1, 1, 1, 1, 1}, {9, 9, 9, 9, 9, 9}, 6, 0},
      {{2005, 1, 32, 0, 0, 0}, {2005, 2, 1, 0, 0, 0}, 0, -1},  // same instant, different fields
      {{-5, 1, 1, 0, 0, 0}, {5, 1, 1, 0, 0, 0}, 0, -1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(dateOf(c.a).compareWithDate_atIndex(dateOf(c.b), c.index), c.expected) << "index " << c.index;
    EXPECT_EQ(dateOf(c.b).compareWithDate_atIndex(dateOf(c.a), c.index), -c.expected) << "index " << c.index;
  }
  EXPECT_EQ(dateOf({2005, 1, 1, 8, 0, 0}).compareWithDate(dateOf({1999, 12, 31, 9, 0, 0})), 1);
}

TEST(TOLMDate, EqualityIgnoresTheWeekday) {
  TOLMZoneScope zone(kNewYork);
  const TOLMDate plain = dateOf({2005, 7, 4, 9, 5, 0});
  const TOLMDate copy = plain.makeCopy();
  ASSERT_NE(plain.dayOfWeek(), copy.dayOfWeek());
  EXPECT_TRUE(plain.isEqualTo(copy));
  EXPECT_FALSE(plain.isEqualTo(dateOf({2005, 7, 4, 9, 5, 1})));
  EXPECT_FALSE(dateOf({2005, 1, 32, 0, 0, 0}).isEqualTo(dateOf({2005, 2, 1, 0, 0, 0})));
}

TEST(TOLMDate, StringForms) {
  TOLMZoneScope zone(kNewYork);
  struct Case {
    Fields fields;
    std::vector<int> codes;
    bool military, leadingZeros, words, separators;
    const char* expected;
  };
  const TOLMDate monday = dateOf({2005, 7, 4, 9, 5, 0}).makeCopy();
  const Case cases[] = {
      {{2005, 7, 4, 9, 5, 0}, {1, 2, 0, 3, 4, 5}, true, true, false, true, "07/04/2005 9:05:00"},
      {{2005, 12, 25, 21, 30, 7}, {1, 2, 0, 3, 4, 5}, true, true, false, true, "12/25/2005 21:30:07"},
      {{2005, 7, 4, 9, 5, 0}, {1, 2, 0, 3, 4, 5}, true, false, false, true, "7/4/2005 9:05:00"},
      {{2005, 7, 4, 0, 5, 0}, {3, 4}, false, false, false, true, "12:05"},
      {{2005, 7, 4, 13, 30, 0}, {3, 4}, false, false, false, true, "1:30"},
      {{2005, 7, 4, 12, 0, 0}, {3, 4}, false, false, false, true, "12:00"},
      {{2005, 7, 4, 0, 5, 0}, {3, 4}, false, false, false, false, "12 05"},
      {{2005, 7, 4, 13, 30, 0}, {3, 4}, false, false, false, false, "1 30"},
      {{2005, 7, 4, 0, 5, 0}, {3, 4}, true, false, false, true, "0:05"},
      {{2005, 7, 4, 9, 5, 3}, {1, 2, 0, 3, 4, 5}, true, true, false, false, "07 04 2005 9 05 03"},
      {{2005, 7, 4, 9, 5, 3}, {3, 5}, true, true, false, true, "9 03"},
      {{2005, 7, 4, 9, 5, 3}, {0, 3}, true, true, false, true, "2005 9"},
      {{5, 1, 1, 0, 0, 0}, {0}, true, true, false, true, "0005"},
      {{99, 1, 1, 0, 0, 0}, {0}, true, false, false, true, "0099"},
      {{999, 1, 1, 0, 0, 0}, {0}, true, false, false, true, "0999"},
      {{1000, 1, 1, 0, 0, 0}, {0}, true, true, false, true, "1000"},
      {{1, 1, 1, 0, 0, 0}, {0}, true, true, false, true, "1"},
      {{0, 1, 1, 0, 0, 0}, {0}, true, true, false, true, "0"},
      {{-5, 1, 1, 0, 0, 0}, {0}, true, true, false, true, "-0005"},
      // Words: the month's name, and for the day the stored weekday's name.
      {{2005, 7, 4, 0, 0, 0}, {1, 0}, true, true, true, true, "July/2005"},
      {{2005, 7, 4, 0, 0, 0}, {2}, true, true, true, true, "Sunday"},  // weekday 0 as stored
      // A code outside 0..5 reads nothing instead of past the fields.
      {{2005, 7, 4, 9, 5, 0}, {3, 9, 4}, true, true, false, true, "9  05"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(dateOf(c.fields).stringValueWithComponents_ofLength_inMilitary_withLeadingZeros_withWordVales_withSeparators(
                  c.codes.data(), static_cast<int>(c.codes.size()), c.military, c.leadingZeros, c.words, c.separators),
              c.expected);
  }
  static constexpr int kDayWord[2] = {2, 1};
  EXPECT_EQ(monday.stringValueWithComponents_ofLength_inMilitary_withLeadingZeros_withWordVales_withSeparators(
                kDayWord, 2, true, true, true, true),
            "Monday/July");

  std::vector<std::string> elements{"before"};
  static constexpr int kTime[3] = {3, 4, 5};
  dateOf({2005, 7, 4, 21, 5, 7}).stringValueWithComponents_ofLength_atIndex_inMilitary_withLeadingZeros_withWordVales_inArray(
      kTime, 3, 1, false, true, false, elements);
  EXPECT_EQ(elements, (std::vector<std::string>{"before", "05", "07"}));

  const TOLMDate d = dateOf({2005, 7, 4, 21, 30, 5});
  EXPECT_EQ(d.convertToString(), "07/04/2005 21:30:05");
  EXPECT_EQ(d.timeString(), "21:30:05");
  EXPECT_EQ(d.hourAndMinuteString(), "21:30");
  EXPECT_EQ(d.dateString(), "July 4, 2005");
  EXPECT_EQ(dateOf({5, 12, 25, 0, 0, 0}).dateString(), "December 25, 5");
  EXPECT_EQ(dateOf({2005, 7, 4, 9, 5, 0}).timeString(), "9:05:00");
  EXPECT_EQ(dateOf({2005, 7, 4, 9, 5, 0}).hourAndMinuteString(), "9:05");
}

TEST(TOLMDate, MonthAndDayNames) {
  const std::pair<int, const char*> months[] = {{1, "January"}, {2, "February"}, {6, "June"},     {11, "November"},
                                                {12, "December"}, {0, "December"}, {13, "December"}, {-1, "December"}};
  for (const auto& [number, name] : months) EXPECT_EQ(monthForNumber(number), name) << number;
  const std::pair<int, const char*> days[] = {{0, "Sunday"},   {1, "Monday"},   {5, "Friday"},
                                              {6, "Saturday"}, {7, "Saturday"}, {-1, "Saturday"}};
  for (const auto& [number, name] : days) EXPECT_EQ(dayForNumber(number), name) << number;
}

TEST(TOLMDate, MonthLengthsAndWeekdays) {
  struct Length {
    int year, month, days;
  };
  const Length lengths[] = {{2000, 2, 29}, {2100, 2, 28}, {1900, 2, 28}, {2004, 2, 29}, {2005, 2, 28},
                            {2005, 1, 31}, {2005, 4, 30}, {2005, 12, 31}, {2005, 13, 30}, {2005, 0, 30}};
  for (const Length& l : lengths) {
    EXPECT_EQ(TOLMDate::maxDaysForYear_month(l.year, l.month), l.days) << l.year << "/" << l.month;
  }

  // The weekday of the named day, whatever the zone does at its midnight; Samoa
  // skipped 30 December 2011 entirely, which is still a Friday.
  TOLMZoneScope zone("Pacific/Apia");
  struct Weekday {
    int year, month, day, weekday;
  };
  const Weekday weekdays[] = {{2005, 7, 4, 1},   {2000, 2, 29, 2}, {1970, 1, 1, 4}, {1583, 4, 10, 0},
                              {2005, 13, 1, 0},  {2005, 3, 0, 1},  {2005, 1, 32, 2}, {2011, 12, 30, 5}};
  for (const Weekday& w : weekdays) {
    EXPECT_EQ(TOLMDate::dayOfWeekForYear_month_day(w.year, w.month, w.day), w.weekday)
        << w.year << "-" << w.month << "-" << w.day;
  }
}

// A wall-clock time that occurs twice is the earlier instant; one that a forward
// change skips is the first instant after the gap.
TEST(TOLMDate, ConvertsAmbiguousAndSkippedLocalTimesByFixedRules) {
  struct Case {
    const char* zone;
    Fields local;
    double instant;
    Fields normalised;
  };
  const Case cases[] = {
      {kNewYork, {2026, 3, 8, 2, 30, 0}, utc(2026, 3, 8, 7, 0, 0), {2026, 3, 8, 3, 0, 0}},
      {kNewYork, {2026, 3, 8, 2, 0, 0}, utc(2026, 3, 8, 7, 0, 0), {2026, 3, 8, 3, 0, 0}},
      {kNewYork, {2026, 3, 8, 1, 59, 59}, utc(2026, 3, 8, 6, 59, 59), {2026, 3, 8, 1, 59, 59}},
      {kNewYork, {2026, 11, 1, 1, 0, 0}, utc(2026, 11, 1, 5, 0, 0), {2026, 11, 1, 1, 0, 0}},
      {kNewYork, {2026, 11, 1, 1, 30, 0}, utc(2026, 11, 1, 5, 30, 0), {2026, 11, 1, 1, 30, 0}},
      {kNewYork, {2026, 11, 1, 2, 0, 0}, utc(2026, 11, 1, 7, 0, 0), {2026, 11, 1, 2, 0, 0}},
      {kBerlin, {2026, 3, 29, 2, 30, 0}, utc(2026, 3, 29, 1, 0, 0), {2026, 3, 29, 3, 0, 0}},
      {kBerlin, {2026, 10, 25, 2, 30, 0}, utc(2026, 10, 25, 0, 30, 0), {2026, 10, 25, 2, 30, 0}},
      {kBerlin, {2026, 10, 25, 3, 0, 0}, utc(2026, 10, 25, 2, 0, 0), {2026, 10, 25, 3, 0, 0}},
      {"Pacific/Apia", {2011, 12, 30, 12, 0, 0}, utc(2011, 12, 30, 10, 0, 0), {2011, 12, 31, 0, 0, 0}},
      // Out-of-range fields carry exactly before the zone is applied.
      {kNewYork, {2005, 13, 32, 25, 61, -1}, utc(2006, 2, 2, 7, 0, 59), {2006, 2, 2, 2, 0, 59}},
      {kNewYork, {2005, 3, 0, 0, 0, 0}, utc(2005, 2, 28, 5, 0, 0), {2005, 2, 28, 0, 0, 0}},
      {kNewYork, {2005, 7, 4, -1, 0, 0}, utc(2005, 7, 4, 3, 0, 0), {2005, 7, 3, 23, 0, 0}},
      {"UTC", {0, 0, 0, 0, 0, 0}, utc(-1, 11, 30, 0, 0, 0), {-1, 11, 30, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    TOLMZoneScope zone(c.zone);
    const TOLMDate date = dateOf(c.local);
    EXPECT_EQ(date.getDate(), c.instant) << c.zone << " " << date.convertToString();
    const TOLMDate copy = date.makeCopy();
    EXPECT_EQ(fieldsOf(copy), c.normalised) << c.zone << " " << date.convertToString();
    EXPECT_EQ(copy.dayOfWeek(), TOLMDate::dayOfWeekForYear_month_day(copy.year(), copy.month(), copy.day()));
  }
}

TEST(TOLMDate, IncrementSecondGoesToTheNextWallClockSecond) {
  struct Case {
    const char* zone;
    Fields from;
    Fields to;
    double elapsed;
  };
  const Case cases[] = {
      {"UTC", {2005, 12, 31, 23, 59, 59}, {2006, 1, 1, 0, 0, 0}, 1},
      {kNewYork, {2004, 2, 28, 23, 59, 59}, {2004, 2, 29, 0, 0, 0}, 1},
      {kNewYork, {2005, 1, 32, 0, 0, 0}, {2005, 2, 1, 0, 0, 1}, 1},
      {kNewYork, {2026, 3, 8, 1, 59, 59}, {2026, 3, 8, 3, 0, 0}, 1},
      {kNewYork, {2026, 11, 1, 0, 59, 59}, {2026, 11, 1, 1, 0, 0}, 1},
      {kNewYork, {2026, 11, 1, 1, 59, 59}, {2026, 11, 1, 2, 0, 0}, 3601},
      {kBerlin, {2026, 3, 29, 1, 59, 59}, {2026, 3, 29, 3, 0, 0}, 1},
      {kBerlin, {2026, 10, 25, 2, 59, 59}, {2026, 10, 25, 3, 0, 0}, 3601},
  };
  for (const Case& c : cases) {
    TOLMZoneScope zone(c.zone);
    const TOLMDate from = dateOf(c.from);
    const TOLMDate to = from.incrementSecond();
    EXPECT_EQ(fieldsOf(to), c.to) << c.zone << " " << from.convertToString();
    EXPECT_EQ(fieldsOf(from), c.from);
    EXPECT_EQ(to.dayOfWeek(), TOLMDate::dayOfWeekForYear_month_day(c.to[0], c.to[1], c.to[2]));
    EXPECT_EQ(to.getDate() - from.getDate(), c.elapsed) << c.zone << " " << from.convertToString();
  }
}

// Stepping second by second through a day with both changes must always move
// forward in field order and end on the next day, so a search that starts one
// second after a found time can never find that time again.
TEST(TOLMDate, StepsThroughDaylightSavingDaysWithoutGoingBack) {
  struct Case {
    const char* zone;
    Fields day;
    int steps;  // seconds of wall-clock time that exist that day
  };
  const Case cases[] = {
      {kNewYork, {2026, 3, 8, 0, 0, 0}, 86400 - 3600},
      {kNewYork, {2026, 11, 1, 0, 0, 0}, 86400},
      {kBerlin, {2026, 3, 29, 0, 0, 0}, 86400 - 3600},
      {kBerlin, {2026, 10, 25, 0, 0, 0}, 86400},
  };
  for (const Case& c : cases) {
    TOLMZoneScope zone(c.zone);
    TOLMDate date = dateOf(c.day);
    for (int i = 0; i < c.steps; ++i) {
      const TOLMDate next = date.makeCopy().incrementSecond();
      ASSERT_EQ(next.compareWithDate(date), 1) << c.zone << " " << date.convertToString();
      date = next;
    }
    Fields nextDay = c.day;
    ++nextDay[2];
    EXPECT_EQ(fieldsOf(date), nextDay) << c.zone;
  }
}

TEST(TOLMDate, SecondsAreElapsedAndIntervalsExact) {
  // Intervals of days, hours, minutes and seconds, whatever the zone.
  struct Interval {
    Fields fields;
    double seconds;
  };
  const Interval intervals[] = {
      {{0, 0, 0, 0, 0, 0}, 0},
      {{0, 0, 0, 0, 0, 90}, 90},
      {{0, 0, 1, 0, 0, 0}, 86400},
      {{0, 0, 7, 0, 0, 0}, 7 * 86400},
      {{0, 0, 200, 5, 6, 7}, 200 * 86400 + 5 * 3600 + 6 * 60 + 7},
      {{0, 0, 0, 36, 0, 0}, 36 * 3600},
  };
  for (const char* z : {kNewYork, kBerlin, "UTC", "Pacific/Apia"}) {
    TOLMZoneScope zone(z);
    for (const Interval& i : intervals) {
      EXPECT_EQ(dateOf(i.fields).convertToSeconds(), i.seconds) << z << " " << dateOf(i.fields).convertToString();
    }
  }

  struct Span {
    const char* zone;
    Fields from, to;
    double seconds;
  };
  const Span spans[] = {
      {kNewYork, {2026, 3, 8, 1, 0, 0}, {2026, 3, 8, 3, 0, 0}, 3600},
      {kNewYork, {2026, 11, 1, 0, 0, 0}, {2026, 11, 1, 3, 0, 0}, 4 * 3600},
      {kBerlin, {2026, 3, 28, 12, 0, 0}, {2026, 3, 29, 12, 0, 0}, 23 * 3600},
      {"UTC", {2005, 1, 1, 0, 0, 0}, {2006, 1, 1, 0, 0, 0}, 365 * 86400},
      {"UTC", {2004, 1, 1, 0, 0, 0}, {2005, 1, 1, 0, 0, 0}, 366 * 86400},
  };
  for (const Span& s : spans) {
    TOLMZoneScope zone(s.zone);
    EXPECT_EQ(dateOf(s.to).convertToSeconds() - dateOf(s.from).convertToSeconds(), s.seconds)
        << s.zone << " " << dateOf(s.from).convertToString();
  }
}

TEST(TOLMDate, ArchiveRoundTripKeepsFieldsAndWeekday) {
  TOLMZoneScope zone(kNewYork);
  const TOLMDate dates[] = {
      dateOf({2005, 7, 4, 9, 5, 0}).makeCopy(),
      dateOf({2005, 7, 4, 9, 5, 0}),  // weekday 0 kept as stored
      TOLMDate::initZeroDate(),
      dateOf({std::numeric_limits<std::int32_t>::min(), 13, -1, 99, 60, std::numeric_limits<std::int32_t>::max()}),
  };
  TOLMArchiveList list;
  for (const TOLMDate& d : dates) list.push_back(TOLMArchiveObject::record(std::make_shared<TOLMDate>(d)));
  const std::vector<std::uint8_t> bytes = TOLMArchiver::archivedDataWithRootObject(TOLMArchiveObject::list(list));

  const TOLMResult<TOLMArchiveObject> read = TOLMUnarchiver::unarchiveObjectWithData(bytes);
  ASSERT_TRUE(read.ok()) << read.error();
  const std::shared_ptr<TOLMArchiveList> back = read.value().listValue();
  ASSERT_TRUE(back);
  ASSERT_EQ(back->size(), std::size(dates));
  for (std::size_t i = 0; i < back->size(); ++i) {
    const std::shared_ptr<TOLMDate> d = (*back)[i].recordAs<TOLMDate>();
    ASSERT_TRUE(d) << i;
    EXPECT_EQ(fieldsOf(*d), fieldsOf(dates[i])) << i;
    EXPECT_EQ(d->dayOfWeek(), dates[i].dayOfWeek()) << i;
  }

  // A cut-off archive is an error, never a half-read date.
  const std::vector<std::uint8_t> single =
      TOLMArchiver::archivedDataWithRootObject(TOLMArchiveObject::record(std::make_shared<TOLMDate>(dates[0])));
  for (std::size_t size = 0; size < single.size(); ++size) {
    const std::vector<std::uint8_t> cut(single.begin(), single.begin() + static_cast<std::ptrdiff_t>(size));
    EXPECT_FALSE(TOLMUnarchiver::unarchiveObjectWithData(cut).ok()) << size;
  }
}
