// Fire times across daylight-saving changes. In 2026 New York springs forward
// on 8 March (02:00 EST becomes 03:00 EDT) and falls back on 1 November (02:00
// EDT becomes 01:00 EST); Berlin on 29 March (02:00 to 03:00) and 25 October
// (03:00 to 02:00).
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "alarms/TOLMAlarmFireDates.h"
#include "alarms/TOLMAlarmFireTimeWrapper.h"
#include "alarms/TOLMRulesTestSupport.h"
#include "dates/TOLMZoneScope.h"

using namespace rules_test;

namespace {

constexpr const char* kNewYork = "America/New_York";
constexpr const char* kBerlin = "Europe/Berlin";

struct Fire {
  std::string fields;
  double instant;
};

struct Case {
  std::string name;
  const char* zone;
  std::function<void(TOLMAlarm&)> configure;
  TOLMDate start;
  std::vector<Fire> expected;
};

void expectCases(const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TOLMZoneScope zone(c.zone);
    auto alarm = blankAlarm();
    c.configure(*alarm);
    const std::vector<TOLMDate> fires = TOLMAlarmFireDates::nearestFiresAfterDate_ForAlarm_count(
        c.start, *alarm, static_cast<int>(c.expected.size()));
    ASSERT_EQ(fires.size(), c.expected.size());
    for (std::size_t i = 0; i < fires.size(); ++i) {
      EXPECT_EQ(text(fires[i]), c.expected[i].fields) << "fire " << i;
      // The fields and the instant they name agree.
      EXPECT_EQ(fires[i].getDate(), c.expected[i].instant) << "fire " << i << " " << text(fires[i]);
    }
  }
}

std::function<void(TOLMAlarm&)> daily(std::vector<TOLMDate> times) {
  return [times](TOLMAlarm& a) { selectSet(a, kAllMonths, kAllWeekdays, times); };
}

std::function<void(TOLMAlarm&)> specific(std::vector<TOLMDate> dates) {
  return [dates](TOLMAlarm& a) {
    a.setSpecificFireEnabled(true);
    a.setSpecificFireDates(dates);
  };
}

std::function<void(TOLMAlarm&)> every(TOLMDate reference, TOLMDate interval) {
  return [reference, interval](TOLMAlarm& a) {
    a.setReferenceDate(reference);
    a.setIntervalDate(interval);
    a.setMultipleFireEnabled(true);
  };
}

}  // namespace

// A wall-clock time that the change skips fires once, at the first second
// after the gap; one that occurs twice fires once, at its first occurrence.
TEST(FireDatesDaylight, SetAndSpecificTimesKeepTheWallClockAndRingOnce) {
  expectCases({
      {"spring gap", kNewYork, daily({timeOfDay(2, 30)}), at(2026, 3, 7, 12),
       {{"2026-03-08 03:00:00", utc(2026, 3, 8, 7)},
        {"2026-03-09 02:30:00", utc(2026, 3, 9, 6, 30)},
        {"2026-03-10 02:30:00", utc(2026, 3, 10, 6, 30)}}},
      {"the first second of the gap", kNewYork, daily({timeOfDay(2, 0)}), at(2026, 3, 8),
       {{"2026-03-08 03:00:00", utc(2026, 3, 8, 7)}, {"2026-03-09 02:00:00", utc(2026, 3, 9, 6)}}},
      {"a gap time and the time after the gap ring once together", kNewYork,
       daily({timeOfDay(2, 30), timeOfDay(3, 0)}), at(2026, 3, 8),
       {{"2026-03-08 03:00:00", utc(2026, 3, 8, 7)}, {"2026-03-09 02:30:00", utc(2026, 3, 9, 6, 30)}}},
      {"the second before the gap does not hide the gap time", kNewYork,
       daily({timeOfDay(1, 59, 59), timeOfDay(2, 30)}), at(2026, 3, 8),
       {{"2026-03-08 01:59:59", utc(2026, 3, 8, 6, 59, 59)}, {"2026-03-08 03:00:00", utc(2026, 3, 8, 7)},
        {"2026-03-09 01:59:59", utc(2026, 3, 9, 5, 59, 59)}}},
      {"repeated hour", kNewYork, daily({timeOfDay(1, 30)}), at(2026, 10, 31, 12),
       {{"2026-11-01 01:30:00", utc(2026, 11, 1, 5, 30)}, {"2026-11-02 01:30:00", utc(2026, 11, 2, 6, 30)}}},
      {"the last second of the repeated hour, once", kNewYork, daily({timeOfDay(1, 59, 59)}), at(2026, 11, 1),
       {{"2026-11-01 01:59:59", utc(2026, 11, 1, 5, 59, 59)}, {"2026-11-02 01:59:59", utc(2026, 11, 2, 6, 59, 59)}}},
      {"Berlin spring gap", kBerlin, daily({timeOfDay(2, 30)}), at(2026, 3, 28, 12),
       {{"2026-03-29 03:00:00", utc(2026, 3, 29, 1)}, {"2026-03-30 02:30:00", utc(2026, 3, 30, 0, 30)}}},
      {"Berlin repeated hour", kBerlin, daily({timeOfDay(2, 30)}), at(2026, 10, 24, 12),
       {{"2026-10-25 02:30:00", utc(2026, 10, 25, 0, 30)}, {"2026-10-26 02:30:00", utc(2026, 10, 26, 1, 30)}}},
      {"specific dates in the gap ring once, in the repeated hour at the first pass", kNewYork,
       specific({at(2026, 3, 8, 2, 15), at(2026, 3, 8, 2, 45), at(2026, 11, 1, 1, 30), at(2026, 12, 1, 9)}),
       at(2026, 3, 1),
       {{"2026-03-08 03:00:00", utc(2026, 3, 8, 7)},
        {"2026-11-01 01:30:00", utc(2026, 11, 1, 5, 30)},
        {"2026-12-01 09:00:00", utc(2026, 12, 1, 14)}}},
  });
}

// The periodic step is elapsed time: a daily fire moves by the change on the
// wall clock. A point in the second pass of a repeated hour has no fields of
// its own and fires at the end of that hour, never earlier than the point.
TEST(FireDatesDaylight, PeriodicStepsInElapsedSeconds) {
  const TOLMDate day = at(0, 0, 1, 0, 0, 0);
  const TOLMDate hour = at(0, 0, 0, 1, 0, 0);
  expectCases({
      {"daily across spring", kNewYork, every(at(2026, 3, 7, 6), day), at(2026, 3, 7, 7),
       {{"2026-03-08 07:00:00", utc(2026, 3, 8, 11)}, {"2026-03-09 07:00:00", utc(2026, 3, 9, 11)}}},
      {"daily across autumn, the point in the repeated hour", kNewYork, every(at(2026, 10, 31, 2, 30), day),
       at(2026, 10, 31, 3),
       {{"2026-11-01 02:00:00", utc(2026, 11, 1, 7)},
        {"2026-11-02 01:30:00", utc(2026, 11, 2, 6, 30)},
        {"2026-11-03 01:30:00", utc(2026, 11, 3, 6, 30)}}},
      {"hourly through the repeated hour", kNewYork, every(at(2026, 10, 31, 0, 30), hour), at(2026, 11, 1),
       {{"2026-11-01 00:30:00", utc(2026, 11, 1, 4, 30)},
        {"2026-11-01 01:30:00", utc(2026, 11, 1, 5, 30)},
        {"2026-11-01 02:00:00", utc(2026, 11, 1, 7)},
        {"2026-11-01 02:30:00", utc(2026, 11, 1, 7, 30)},
        {"2026-11-01 03:30:00", utc(2026, 11, 1, 8, 30)}}},
      {"hourly from a start in the gap", kNewYork, every(at(2026, 3, 8), hour), at(2026, 3, 8, 2, 30),
       {{"2026-03-08 03:00:00", utc(2026, 3, 8, 7)}, {"2026-03-08 04:00:00", utc(2026, 3, 8, 8)}}},
      {"daily across Berlin's spring", kBerlin, every(at(2026, 3, 28, 12), day), at(2026, 3, 28, 13),
       {{"2026-03-29 13:00:00", utc(2026, 3, 29, 11)}}},
  });
}

// In the second pass of a repeated hour the current time's fields name the
// first pass; the wait is still measured from the clock itself.
TEST(FireDatesDaylight, TimeTillFireInTheRepeatedHour) {
  TOLMZoneScope zone(kNewYork);
  ClockScope clock(utc(2026, 11, 1, 6, 30));  // 01:30 EST, the second 01:30
  const auto wrapper = TOLMAlarmFireTimeWrapper::wrapperForAlarm_fireTime(blankAlarm(), at(2026, 11, 1, 2, 0));
  EXPECT_EQ(wrapper->timeTillFire(), 1800.0);
}

// The scheduler's cycle on the run loop's clock: arm for the nearest fire,
// let the clock reach it, go on from the second after it. Over both changes
// of the year every set alarm rings exactly once a day and nothing rings twice.
TEST(FireDatesDaylight, ARunOfTheSchedulerRingsOnceADayAndNeverLoops) {
  for (const char* zoneName : {kNewYork, kBerlin}) {
    TOLMZoneScope zone(zoneName);
    for (int hour : {0, 1, 2, 3}) {
      for (const TOLMDate& from : {at(2026, 3, 4), at(2026, 10, 22)}) {
        SCOPED_TRACE(std::string(zoneName) + " " + std::to_string(hour) + ":30 from " + text(from));
        auto alarm = blankAlarm();
        selectSet(*alarm, kAllMonths, kAllWeekdays, {timeOfDay(hour, 30)});
        ClockScope clock(from.getDate());
        TOLMDate start = from;
        std::map<std::string, int> ringsPerDay;
        double last = -1e300;
        for (int ring = 0; ring < 14; ++ring) {
          const auto next = TOLMAlarmFireDates::nearestFireWrappersForAlarms_count_date({alarm}, 1, start);
          ASSERT_EQ(next.size(), 1u);
          clock.set(clock.now() + next[0]->timeTillFire());
          const TOLMDate& fire = next[0]->alarmFireDate();
          ASSERT_EQ(clock.now(), fire.getDate()) << text(fire);
          ASSERT_GT(clock.now(), last) << text(fire);
          last = clock.now();
          ++ringsPerDay[text(fire).substr(0, 10)];
          start = fire.incrementSecond();
        }
        ASSERT_EQ(ringsPerDay.size(), 14u);  // fourteen rings on fourteen days in a row
        for (const auto& [day, rings] : ringsPerDay) EXPECT_EQ(rings, 1) << day;
      }
    }
  }
}
