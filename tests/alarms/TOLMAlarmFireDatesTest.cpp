#include "alarms/TOLMAlarmFireDates.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "alarms/TOLMAlarmFireTimeWrapper.h"
#include "alarms/TOLMRulesTestSupport.h"
#include "dates/TOLMZoneScope.h"

using namespace rules_test;

namespace {

// The schedules below lie in July 2005 (2005-07-04 is a Monday), away from any
// daylight-saving change, in a zone that has them.
class FireDates : public ::testing::Test {
 protected:
  TOLMZoneScope zone_{"America/New_York"};
};

struct Case {
  std::string name;
  std::function<void(TOLMAlarm&)> configure;
  TOLMDate start;
  int count;
  std::vector<std::string> expected;
};

void expectCases(const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto alarm = blankAlarm();
    c.configure(*alarm);
    EXPECT_EQ(texts(TOLMAlarmFireDates::nearestFiresAfterDate_ForAlarm_count(c.start, *alarm, c.count)), c.expected);
  }
}

}  // namespace

TEST_F(FireDates, SetKindWalksWeekdaysMonthEndsLeapYearsAndTheYearEnd) {
  const std::vector<TOLMDate> workTimes = {timeOfDay(7, 0), timeOfDay(7, 30)};
  expectCases({
      {"weekend skipped",
       [&](TOLMAlarm& a) { selectSet(a, kAllMonths, {1, 2, 3, 4, 5}, workTimes); },
       at(2005, 7, 8, 7, 15),
       3,
       {"2005-07-08 07:30:00", "2005-07-11 07:00:00", "2005-07-11 07:30:00"}},
      {"a time equal to the start fires at the start",
       [&](TOLMAlarm& a) { selectSet(a, kAllMonths, {1, 2, 3, 4, 5}, workTimes); },
       at(2005, 7, 8, 7, 30),
       1,
       {"2005-07-08 07:30:00"}},
      {"December only rolls over the year and every month up to December",
       [](TOLMAlarm& a) { selectSet(a, {12}, kAllWeekdays, {timeOfDay(8, 0)}); },
       at(2005, 12, 31, 9),
       2,
       {"2006-12-01 08:00:00", "2006-12-02 08:00:00"}},
      {"last second of the year",
       [](TOLMAlarm& a) { selectSet(a, kAllMonths, kAllWeekdays, {timeOfDay(0, 0)}); },
       at(2005, 12, 31, 23, 59, 59),
       1,
       {"2006-01-01 00:00:00"}},
      {"month end of a 30-day month",
       [](TOLMAlarm& a) { selectSet(a, kAllMonths, kAllWeekdays, {timeOfDay(6, 0)}); },
       at(2005, 4, 30, 7),
       1,
       {"2005-05-01 06:00:00"}},
      {"February of a leap year has a 29th",
       [](TOLMAlarm& a) { selectSet(a, {2}, kAllWeekdays, {timeOfDay(8, 0)}); },
       at(2004, 2, 28, 9),
       2,
       {"2004-02-29 08:00:00", "2005-02-01 08:00:00"}},
      {"February of a common year has none; 2100 is not leap either",
       [](TOLMAlarm& a) { selectSet(a, {2}, kAllWeekdays, {timeOfDay(8, 0)}); },
       at(2100, 2, 28, 9),
       1,
       {"2101-02-01 08:00:00"}},
      {"a selected month whose remaining days lack the weekday waits a year",
       [](TOLMAlarm& a) { selectSet(a, {7}, {1}, {timeOfDay(6, 0)}); },
       at(2005, 7, 30, 0),  // Saturday; Sunday the 31st is the month's last day
       1,
       {"2006-07-03 06:00:00"}},
      {"unsorted times still give the earliest first",
       [](TOLMAlarm& a) { selectSet(a, kAllMonths, kAllWeekdays, {timeOfDay(8, 0), timeOfDay(7, 0)}); },
       at(2005, 7, 4, 6),
       3,
       {"2005-07-04 07:00:00", "2005-07-04 08:00:00", "2005-07-05 07:00:00"}},
      {"times outside a day match nothing, the valid one still fires",
       [](TOLMAlarm& a) { selectSet(a, kAllMonths, kAllWeekdays, {timeOfDay(25, 0), timeOfDay(9, 61), timeOfDay(9, 0)}); },
       at(2005, 7, 4, 6),
       2,
       {"2005-07-04 09:00:00", "2005-07-05 09:00:00"}},
  });
}

TEST_F(FireDates, SetKindWithNothingSelectedHasNoFireTimeAndNeverLoops) {
  const std::vector<std::function<void(TOLMAlarm&)>> setups = {
      [](TOLMAlarm& a) { selectSet(a, {}, kAllWeekdays, {timeOfDay(7, 0)}); },
      [](TOLMAlarm& a) { selectSet(a, kAllMonths, {}, {timeOfDay(7, 0)}); },
      [](TOLMAlarm& a) { selectSet(a, kAllMonths, kAllWeekdays, {}); },
      [](TOLMAlarm& a) { selectSet(a, kAllMonths, kAllWeekdays, {timeOfDay(24, 0)}); },
  };
  for (std::size_t i = 0; i < setups.size(); ++i) {
    auto alarm = blankAlarm();
    setups[i](*alarm);
    SCOPED_TRACE("setup " + std::to_string(i));
    EXPECT_FALSE(TOLMAlarmFireDates::nearestSetFireForAlarm_afterDate(*alarm, at(2005, 7, 4)));
    EXPECT_FALSE(TOLMAlarmFireDates::nextSetDateForAlarm_afterDate(*alarm, at(2005, 7, 4)));
  }

  // Selection is "nonzero", so values that add up to zero still select.
  auto alarm = blankAlarm();
  selectSet(*alarm, {}, kAllWeekdays, {timeOfDay(7, 0)});
  const std::int32_t months[12] = {1, -1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  alarm->setMonths(months);
  EXPECT_EQ(text(TOLMAlarmFireDates::nearestSetFireForAlarm_afterDate(*alarm, at(2005, 7, 4))), "2006-01-01 07:00:00");
}

TEST_F(FireDates, TheWalkCanBeEnteredAtEachField) {
  auto alarm = blankAlarm();
  selectSet(*alarm, {7}, {1}, {timeOfDay(7, 0)});  // Mondays of July at 07:00
  struct Entry {
    int index;
    std::int32_t candidate[6];
    bool found;
    std::string result;
  };
  const TOLMDate start = at(2005, 7, 5, 12);
  const std::vector<Entry> entries = {
      {0, {2005, 7, 5, 12, 0, 0}, true, "2005-07-11 07:00:00"},
      {1, {2005, 8, 1, 0, 0, 0}, true, "2006-07-03 07:00:00"},   // August is skipped to next July
      {2, {2005, 7, 25, 0, 0, 0}, true, "2005-07-25 07:00:00"},  // a Monday later than start
      {3, {2005, 7, 12, 0, 0, 0}, true, "2005-07-12 07:00:00"},  // the time step alone: a Tuesday
      {3, {2005, 7, 5, 0, 0, 0}, true, "2005-07-11 07:00:00"},   // 07:00 on the 5th is before start
      {4, {2005, 7, 5, 12, 0, 0}, false, ""},
  };
  for (const Entry& e : entries) {
    std::int32_t c[6];
    std::copy(e.candidate, e.candidate + 6, c);
    SCOPED_TRACE("index " + std::to_string(e.index));
    ASSERT_EQ(TOLMAlarmFireDates::fixDate_forAlarm_afterDate_atDateIndex(c, *alarm, start, e.index), e.found);
    if (e.found) {
      EXPECT_EQ(text(TOLMDate::initWithIntArray(c)), e.result);
    }
  }
}

TEST_F(FireDates, SpecificKindExcludesTheStartAndHonoursTheWindow) {
  const std::vector<TOLMDate> dates = {at(2005, 7, 20, 8), at(2005, 7, 10, 8)};  // unsorted on purpose
  const auto specific = [dates](std::function<void(TOLMAlarm&)> window) {
    return [dates, window](TOLMAlarm& a) {
      a.setSpecificFireEnabled(true);
      a.setSpecificFireDates(dates);
      window(a);
    };
  };
  const auto after = [](TOLMDate d) {
    return [d](TOLMAlarm& a) {
      a.setFireAfterEnabled(true);
      a.setFireAfterDate(d);
    };
  };
  const auto before = [](TOLMDate d) {
    return [d](TOLMAlarm& a) {
      a.setFireBeforeEnabled(true);
      a.setFireBeforeDate(d);
    };
  };
  const auto none = [](TOLMAlarm&) {};
  expectCases({
      {"no window", specific(none), at(2005, 7, 1), 3, {"2005-07-10 08:00:00", "2005-07-20 08:00:00"}},
      {"fire-after", specific(after(at(2005, 7, 15))), at(2005, 7, 1), 3, {"2005-07-20 08:00:00"}},
      {"fire-before", specific(before(at(2005, 7, 15))), at(2005, 7, 1), 3, {"2005-07-10 08:00:00"}},
      {"a date equal to the start does not fire", specific(none), at(2005, 7, 10, 8), 1, {"2005-07-20 08:00:00"}},
      {"dates equal to the bounds fire",
       specific([](TOLMAlarm& a) {
         a.setFireAfterEnabled(true);
         a.setFireAfterDate(at(2005, 7, 10, 8));
         a.setFireBeforeEnabled(true);
         a.setFireBeforeDate(at(2005, 7, 20, 8));
       }),
       at(2005, 7, 1),
       3,
       {"2005-07-10 08:00:00", "2005-07-20 08:00:00"}},
      {"a window excluding both", specific(before(at(2005, 7, 10, 7, 59, 59))), at(2005, 7, 1), 3, {}},
  });
}

TEST_F(FireDates, PeriodicKindBeforeAtAndAfterTheReference) {
  const auto periodic = [](bool single, TOLMDate interval) {
    return [single, interval](TOLMAlarm& a) {
      a.setReferenceDate(at(2005, 7, 4, 6));
      a.setIntervalDate(interval);
      a.setMultipleFireEnabled(!single);
      a.setSingleFireEnabled(single);
    };
  };
  const TOLMDate day = at(0, 0, 1, 0, 0, 0);
  expectCases({
      {"repeating, after the reference", periodic(false, day), at(2005, 7, 6, 7), 2,
       {"2005-07-07 06:00:00", "2005-07-08 06:00:00"}},
      {"repeating, before the reference", periodic(false, day), at(2005, 7, 1, 12), 1, {"2005-07-02 06:00:00"}},
      {"repeating, at the reference", periodic(false, day), at(2005, 7, 4, 6), 1, {"2005-07-04 06:00:00"}},
      {"a negative interval is the same series", periodic(false, at(0, 0, -1, 0, 0, 0)), at(2005, 7, 6, 7), 1,
       {"2005-07-07 06:00:00"}},
      {"an interval of hours and minutes", periodic(false, at(0, 0, 0, 1, 30, 0)), at(2005, 7, 4, 8, 59, 59), 2,
       {"2005-07-04 09:00:00", "2005-07-04 10:30:00"}},
      {"single, within the interval", periodic(true, day), at(2005, 7, 4, 12), 3, {"2005-07-05 06:00:00"}},
      {"single, at its fire time", periodic(true, day), at(2005, 7, 5, 6), 1, {"2005-07-05 06:00:00"}},
      {"single, past it", periodic(true, day), at(2005, 7, 6, 7), 1, {}},
      {"single, at the reference", periodic(true, day), at(2005, 7, 4, 6), 1, {}},
      {"single, before the reference", periodic(true, day), at(2005, 7, 1), 1, {}},
      {"zero interval", periodic(false, at(0, 0, 0, 0, 0, 0)), at(2005, 7, 1), 1, {}},
      {"fire-before equal to a point includes it",
       [&](TOLMAlarm& a) {
         periodic(false, day)(a);
         a.setFireBeforeEnabled(true);
         a.setFireBeforeDate(at(2005, 7, 8, 6));
       },
       at(2005, 7, 6, 7), 5, {"2005-07-07 06:00:00", "2005-07-08 06:00:00"}},
      {"fire-after moves the search",
       [&](TOLMAlarm& a) {
         periodic(false, day)(a);
         a.setFireAfterEnabled(true);
         a.setFireAfterDate(at(2005, 7, 10, 6, 0, 1));
       },
       at(2005, 7, 6, 7), 1, {"2005-07-11 06:00:00"}},
      // More than 2^31 seconds from the reference: the step is not cut to 32 bits.
      {"every second since 1900",
       [](TOLMAlarm& a) {
         a.setReferenceDate(at(1900, 1, 1));
         a.setIntervalDate(at(0, 0, 0, 0, 0, 1));
         a.setMultipleFireEnabled(true);
       },
       at(2005, 7, 4, 12, 0, 30), 2, {"2005-07-04 12:00:30", "2005-07-04 12:00:31"}},
  });
}

// However long an interval with months or years is taken to be, the step is
// the interval's own length in seconds.
TEST_F(FireDates, PeriodicStepIsTheIntervalsLengthInSeconds) {
  const TOLMDate reference = at(2005, 1, 31, 6);
  for (const TOLMDate& interval : {at(0, 1, 0, 0, 0, 0), at(0, 14, 0, 0, 0, 0), at(1, 0, 0, 0, 0, 0),
                                   at(0, 0, 400, 0, 0, 0), at(0, 0, 0, 0, 0, 86401)}) {
    auto alarm = blankAlarm();
    alarm->setReferenceDate(reference);
    alarm->setIntervalDate(interval);
    alarm->setMultipleFireEnabled(true);
    const std::optional<TOLMDate> fire =
        TOLMAlarmFireDates::nearestPeriodicFireForAlarm_afterDate(*alarm, reference.incrementSecond());
    ASSERT_TRUE(fire) << text(interval);
    EXPECT_EQ(fire->getDate() - reference.getDate(), interval.convertToSeconds()) << text(interval);
  }
}

TEST_F(FireDates, KindsMergeInOrderWithTheSameInstantTwice) {
  expectCases({
      {"specific, then set, at the same instant",
       [](TOLMAlarm& a) {
         a.setSpecificFireEnabled(true);
         a.setSpecificFireDates({at(2005, 7, 5, 7)});
         selectSet(a, kAllMonths, kAllWeekdays, {timeOfDay(7, 0)});
       },
       at(2005, 7, 4, 12), 3, {"2005-07-05 07:00:00", "2005-07-05 07:00:00", "2005-07-06 07:00:00"}},
      {"all three kinds",
       [](TOLMAlarm& a) {
         a.setSpecificFireEnabled(true);
         a.setSpecificFireDates({at(2005, 7, 5, 6, 30)});
         selectSet(a, kAllMonths, kAllWeekdays, {timeOfDay(7, 0)});
         a.setReferenceDate(at(2005, 7, 4, 6));
         a.setIntervalDate(at(0, 0, 1, 0, 0, 0));
         a.setMultipleFireEnabled(true);
       },
       at(2005, 7, 4, 12), 4,
       {"2005-07-05 06:00:00", "2005-07-05 06:30:00", "2005-07-05 07:00:00", "2005-07-06 06:00:00"}},
      // The search goes on from the second after each fire; a date in that very
      // second still fires.
      {"specific dates one second apart",
       [](TOLMAlarm& a) {
         a.setSpecificFireEnabled(true);
         a.setSpecificFireDates({at(2005, 7, 5, 7, 0, 1), at(2005, 7, 5, 7, 0, 0)});
       },
       at(2005, 7, 4), 3, {"2005-07-05 07:00:00", "2005-07-05 07:00:01"}},
      {"a single fire waits until the start has passed its reference",
       [](TOLMAlarm& a) {
         selectSet(a, kAllMonths, kAllWeekdays, {timeOfDay(7, 0)});
         a.setReferenceDate(at(2005, 7, 4, 12));
         a.setIntervalDate(at(0, 0, 1, 0, 0, 0));
         a.setSingleFireEnabled(true);
       },
       at(2005, 7, 4, 6), 4,
       {"2005-07-04 07:00:00", "2005-07-05 07:00:00", "2005-07-05 12:00:00", "2005-07-06 07:00:00"}},
      {"a fresh record has no fire times", [](TOLMAlarm& a) { a = TOLMAlarm(); }, at(2005, 7, 4), 3, {}},
      {"a disabled alarm has none whatever it holds",
       [](TOLMAlarm& a) {
         a.setSpecificFireEnabled(true);
         a.setSpecificFireDates({at(2005, 7, 5, 7)});
         selectSet(a, kAllMonths, kAllWeekdays, {timeOfDay(7, 0)});
         a.setMultipleFireEnabled(true);
         a.setIntervalDate(at(0, 0, 1, 0, 0, 0));
         a.setAlarmIsEnabled(false);
       },
       at(2005, 7, 4), 3, {}},
  });
}

TEST_F(FireDates, EarliestOfThreeBreaksTiesTowardsTheFirst) {
  const std::optional<TOLMDate> none;
  const TOLMDate early = at(2005, 7, 4, 7);
  const TOLMDate late = at(2005, 7, 4, 8);
  // Ties are told apart by the weekday field, which the comparison ignores.
  const TOLMDate earlyToo = early.makeCopy();
  struct Pick {
    std::optional<TOLMDate> a, b, c;
    int expectedWeekday;  // -1: none
    std::string expected;
  };
  const std::vector<Pick> picks = {
      {none, none, none, -1, "none"},
      {late, none, early, 0, "2005-07-04 07:00:00"},
      {none, late, none, 0, "2005-07-04 08:00:00"},
      {early, earlyToo, none, 0, "2005-07-04 07:00:00"},
      {earlyToo, early, early, 1, "2005-07-04 07:00:00"},
      {late, earlyToo, early, 1, "2005-07-04 07:00:00"},
  };
  for (std::size_t i = 0; i < picks.size(); ++i) {
    SCOPED_TRACE("pick " + std::to_string(i));
    const std::optional<TOLMDate> r = TOLMAlarmFireDates::compareDatesA_B_C(picks[i].a, picks[i].b, picks[i].c);
    EXPECT_EQ(text(r), picks[i].expected);
    if (r) {
      EXPECT_EQ(r->dayOfWeek(), picks[i].expectedWeekday);
    }
  }
}

TEST_F(FireDates, NearestWrappersOverManyAlarmsAscendingAndLimited) {
  auto daily7 = blankAlarm();
  daily7->setAlarmName("daily 7");
  selectSet(*daily7, kAllMonths, kAllWeekdays, {timeOfDay(7, 0)});
  auto once = blankAlarm();
  once->setAlarmName("once");
  once->setSpecificFireEnabled(true);
  once->setSpecificFireDates({at(2005, 7, 5, 6, 30)});
  auto alsoDaily7 = blankAlarm();
  alsoDaily7->setAlarmName("also daily 7");
  selectSet(*alsoDaily7, kAllMonths, kAllWeekdays, {timeOfDay(7, 0)});
  auto disabled = blankAlarm();
  disabled->setAlarmName("disabled");
  disabled->setSpecificFireEnabled(true);
  disabled->setSpecificFireDates({at(2005, 7, 4, 13)});
  disabled->setAlarmIsEnabled(false);

  const TOLMAlarmFireDates::Alarms alarms = {daily7, nullptr, once, alsoDaily7, disabled};
  const auto names = [](const TOLMAlarmFireDates::Wrappers& ws) {
    std::vector<std::string> out;
    for (const auto& w : ws) out.push_back(w->alarm()->alarmName() + " " + text(w->alarmFireDate()));
    return out;
  };
  const TOLMDate start = at(2005, 7, 4, 12);
  EXPECT_EQ(names(TOLMAlarmFireDates::nearestFireWrappersForAlarms_count_date(alarms, 4, start)),
            (std::vector<std::string>{"once 2005-07-05 06:30:00", "daily 7 2005-07-05 07:00:00",
                                      "also daily 7 2005-07-05 07:00:00", "daily 7 2005-07-06 07:00:00"}));
  // Three fire times per alarm at most: 3 + 1 + 3.
  EXPECT_EQ(TOLMAlarmFireDates::nearestFireWrappersForAlarms_count_date(alarms, 100, start).size(), 7u);
  EXPECT_EQ(names(TOLMAlarmFireDates::nearestFireWrappersForAlarms_count_date(alarms, 1, start)),
            (std::vector<std::string>{"once 2005-07-05 06:30:00"}));
  EXPECT_TRUE(TOLMAlarmFireDates::nearestFireWrappersForAlarms_count_date(alarms, 0, start).empty());
  EXPECT_TRUE(TOLMAlarmFireDates::nearestFireWrappersForAlarms_count_date({disabled}, 3, start).empty());

  const auto w = TOLMAlarmFireTimeWrapper::wrapperForAlarm_fireTime(once, at(2005, 7, 5, 6, 30));
  const auto v = TOLMAlarmFireTimeWrapper::wrapperForAlarm_fireTime(daily7, at(2005, 7, 5, 7));
  EXPECT_EQ(w->compareWithWrapper(*v), -1);
  EXPECT_EQ(v->compareWithWrapper(*w), 1);
  EXPECT_EQ(w->compareWithWrapper(*w), 0);
  EXPECT_EQ(w->alarm(), once);
}

TEST_F(FireDates, TimeTillFireCountsFromTheClockToTheFractionAndNeverGoesNegative) {
  auto alarm = blankAlarm();
  const auto wrapper = TOLMAlarmFireTimeWrapper::wrapperForAlarm_fireTime(alarm, at(2005, 7, 4, 7, 30));
  ClockScope clock(utc(2005, 7, 4, 11, 0, 0));  // 07:00:00 in New York
  struct Moment {
    double now;
    double expected;
  };
  for (const Moment& m : std::vector<Moment>{{utc(2005, 7, 4, 11, 0, 0), 1800.0},
                                             {utc(2005, 7, 4, 11, 0, 0) + 0.75, 1799.25},
                                             {utc(2005, 7, 4, 11, 30, 0), 0.0},
                                             {utc(2005, 7, 4, 12, 0, 0), 0.0}}) {
    clock.set(m.now);
    EXPECT_EQ(wrapper->timeTillFire(), m.expected) << "now " << m.now;
  }
}

TEST(FireDatesHelpers, SumMinAndMax) {
  const std::int32_t values[4] = {2147483647, 1, -5, 3};
  EXPECT_EQ(sumArray(values + 1, 3), -1);
  EXPECT_EQ(sumArray(values, 2), 2147483647);  // saturates instead of overflowing
  EXPECT_EQ(min(3, -2), -2);
  EXPECT_EQ(max(1.5, 2.5), 2.5);
  EXPECT_EQ(max(2.5, 1.5), 2.5);
}
