// Random alarms and starts (fixed seed) against a brute-force reading of the
// rules: wall-clock minutes walked one by one, the time line scanned through
// the C library's localtime_r, nothing shared with the code under test.
#include <gtest/gtest.h>

#include <ctime>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "alarms/TOLMAlarmFireDates.h"
#include "alarms/TOLMRulesTestSupport.h"
#include "dates/TOLMZoneScope.h"

using namespace rules_test;

namespace {

constexpr std::int64_t kDay = 86400;
constexpr std::int64_t kSpan = 8 * kDay;  // the oracle looks this far after the start

// ---- calendar and zone, independently --------------------------------------

std::int64_t floorDiv(std::int64_t a, std::int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

std::int64_t wallSeconds(const Fields& f) {
  return static_cast<std::int64_t>(utc(f[0], f[1], f[2], f[3], f[4], f[5]));
}

Fields fieldsOfWall(std::int64_t wall) {
  const time_t t = static_cast<time_t>(wall);
  tm g{};
  gmtime_r(&t, &g);
  return {g.tm_year + 1900, g.tm_mon + 1, g.tm_mday, g.tm_hour, g.tm_min, g.tm_sec};
}

// 1970-01-01 was a Thursday.
int weekdayOfWall(std::int64_t wall) { return static_cast<int>(((floorDiv(wall, kDay) + 4) % 7 + 7) % 7); }

std::int64_t wallOf(std::int64_t instant) {
  const time_t t = static_cast<time_t>(instant);
  tm l{};
  localtime_r(&t, &l);
  return instant + l.tm_gmtoff;
}

// The instant a wall-clock time names: the first one whose wall clock reaches
// it (the earlier of two, or the end of a gap). Offsets here are whole
// minutes, so stepping by minutes in phase with the target lands on it.
std::int64_t instantOf(std::int64_t wall) {
  std::int64_t t = wall - 15 * 3600;
  while (wallOf(t) < wall) t += 60;
  while (wallOf(t - 1) >= wall) --t;
  return t;
}

bool namesItself(std::int64_t instant) { return instantOf(wallOf(instant)) == instant; }

int compare(const Fields& a, const Fields& b) { return a < b ? -1 : (a > b ? 1 : 0); }

// ---- one kind at a time, by brute force ------------------------------------

// A fire time within the span, none for good, or beyond the span (unknown).
struct Next {
  enum Kind { Fire, None, Beyond } kind;
  Fields fire{};
};

Fields lowerBound(const TOLMAlarm& a, const Fields& start) {
  const Fields after = fieldsOf(a.fireAfterDate());
  return a.fireAfterIsEnabled() && compare(after, start) > 0 ? after : start;
}

Next known(const Fields& fire, const Fields& end) {
  return compare(fire, end) <= 0 ? Next{Next::Fire, fire} : Next{Next::Beyond, {}};
}

Next specificNext(const TOLMAlarm& a, const Fields& start, bool orAtStart, const Fields& end) {
  std::optional<Fields> best;
  for (const TOLMDate& date : a.specificFireDates()) {
    const Fields d = fieldsOf(date);
    const int c = compare(d, start);
    if (c < 0 || (c == 0 && !orAtStart)) continue;
    if (a.fireBeforeIsEnabled() && compare(d, fieldsOf(a.fireBeforeDate())) > 0) continue;
    if (a.fireAfterIsEnabled() && compare(d, fieldsOf(a.fireAfterDate())) < 0) continue;
    if (!best || compare(d, *best) < 0) best = d;
  }
  if (!best) return {Next::None, {}};
  return known(fieldsOfWall(wallOf(instantOf(wallSeconds(*best)))), end);
}

Next setNext(const TOLMAlarm& a, const Fields& start, const Fields& end) {
  const std::int64_t from = wallSeconds(lowerBound(a, start));
  const std::int64_t last = wallSeconds(end);
  for (std::int64_t minute = floorDiv(from, 60) * 60; minute <= last; minute += 60) {
    const Fields f = fieldsOfWall(minute);
    if (!a.months()[f[1] - 1] || !a.days()[weekdayOfWall(minute)]) continue;
    std::optional<std::int64_t> w;
    for (const TOLMDate& t : a.setTimes()) {
      if (t.hour() != f[3] || t.minute() != f[4] || t.second() < 0 || t.second() > 59) continue;
      if (minute + t.second() >= from && (!w || minute + t.second() < *w)) w = minute + t.second();
    }
    if (!w || *w > last) continue;
    if (a.fireBeforeIsEnabled() && compare(fieldsOfWall(*w), fieldsOf(a.fireBeforeDate())) > 0) return {Next::None, {}};
    return known(fieldsOfWall(wallOf(instantOf(*w))), end);
  }
  return {Next::Beyond, {}};
}

Next periodicNext(const TOLMAlarm& a, const Fields& start, const Fields& end) {
  const Fields i = fieldsOf(a.intervalDate());
  const std::int64_t interval = i[2] * kDay + i[3] * 3600 + i[4] * 60 + i[5];
  if (interval == 0) return {Next::None, {}};
  const std::int64_t from = instantOf(wallSeconds(lowerBound(a, start)));
  const std::int64_t reference = instantOf(wallSeconds(fieldsOf(a.referenceDate())));
  const std::int64_t last = instantOf(wallSeconds(end));
  std::int64_t t = from;
  while ((t - reference) % 60 != 0) ++t;
  for (; t <= last; t += 60) {
    if ((t - reference) % interval != 0) continue;
    if (a.singleFireEnabled() && (t - reference) / interval != 1) return {Next::None, {}};
    std::int64_t s = t;
    if (!namesItself(s)) {
      while (!namesItself(s)) s += 60;
      while (namesItself(s - 1) && s - 1 > t) --s;
    }
    const Fields fire = fieldsOfWall(wallOf(s));
    if (a.fireBeforeIsEnabled() && compare(fieldsOf(a.fireBeforeDate()), fire) < 0) return {Next::None, {}};
    return known(fire, end);
  }
  return {Next::Beyond, {}};
}

// The merge of the three kinds, stopping where the span no longer tells.
struct Expected {
  std::vector<Fields> fires;
  bool complete = false;  // false: later fires lie beyond the span
};

Expected expectedFires(const TOLMAlarm& a, const Fields& start, int count) {
  Expected out;
  const Fields end = fieldsOfWall(wallSeconds(start) + kSpan);
  if (!a.alarmIsEnabled()) {
    out.complete = true;
    return out;
  }
  const bool on[3] = {a.specificFireEnabled(), a.setIsEnabled(), a.multipleFireEnabled() || a.singleFireEnabled()};
  std::optional<Next> slots[3];
  Fields from = start;
  bool afterFire = false;
  for (int n = 0; n < count; ++n) {
    for (int k = 0; k < 3; ++k) {
      if (!on[k] || (slots[k] && slots[k]->kind != Next::None)) continue;
      slots[k] = k == 0 ? specificNext(a, from, afterFire, end) : k == 1 ? setNext(a, from, end) : periodicNext(a, from, end);
    }
    int best = -1;
    bool beyond = false;
    for (int k = 0; k < 3; ++k) {
      if (!slots[k]) continue;
      beyond = beyond || slots[k]->kind == Next::Beyond;
      if (slots[k]->kind == Next::Fire && (best < 0 || compare(slots[k]->fire, slots[best]->fire) < 0)) best = k;
    }
    if (best < 0) {
      out.complete = !beyond;
      return out;
    }
    out.fires.push_back(slots[best]->fire);
    from = fieldsOfWall(wallSeconds(slots[best]->fire) + 1);
    slots[best].reset();
    afterFire = true;
  }
  out.complete = true;
  return out;
}

// ---- random alarms ----------------------------------------------------------

class Random {
 public:
  explicit Random(std::uint32_t seed) : engine_(seed) {}
  int between(int lo, int hi) { return lo + static_cast<int>(engine_() % static_cast<std::uint32_t>(hi - lo + 1)); }
  bool chance(int percent) { return between(1, 100) <= percent; }
  // Hours near the changes come up often.
  int hour() { return chance(40) ? between(0, 3) : between(0, 23); }

 private:
  std::mt19937 engine_;
};

TOLMDate wallDate(std::int64_t wall) {
  const Fields f = fieldsOfWall(wall);
  return TOLMDate::initWithIntArray(f.data());
}

// Local days (as wall seconds at midnight) on which the offset changes.
std::vector<std::int64_t> changeDays(int fromYear, int toYear) {
  std::vector<std::int64_t> days;
  for (std::int64_t d = static_cast<std::int64_t>(utc(fromYear, 1, 1)); d < utc(toYear + 1, 1, 1); d += kDay) {
    const std::int64_t noon = d + 12 * 3600;  // noon UTC lies on the same date in both zones
    if (wallOf(noon) - noon != wallOf(noon - kDay) - (noon - kDay)) days.push_back(d);
  }
  return days;
}

std::shared_ptr<TOLMAlarm> randomAlarm(Random& r, std::int64_t startWall) {
  auto a = blankAlarm();
  a->setAlarmIsEnabled(r.chance(95));
  const auto near = [&](int daysBefore, int daysAfter, bool wholeMinutes) {
    const std::int64_t day = floorDiv(startWall, kDay) + r.between(-daysBefore, daysAfter);
    return day * kDay + r.hour() * 3600 + r.between(0, 59) * 60 + (wholeMinutes ? 0 : r.between(0, 59));
  };
  if (r.chance(40)) {
    std::vector<TOLMDate> dates;
    for (int i = r.between(1, 5); i > 0; --i) {
      const std::int64_t wall = near(1, 7, r.chance(70));
      dates.push_back(wallDate(wall));
      if (r.chance(20)) dates.push_back(wallDate(wall + 1));  // a second apart
    }
    a->setSpecificFireEnabled(true);
    a->setSpecificFireDates(dates);
  }
  if (r.chance(60)) {
    std::int32_t months[12] = {};
    std::int32_t days[7] = {};
    for (int m = 0; m < 12; ++m) months[m] = r.chance(70) ? 1 : 0;
    if (r.chance(70)) std::fill(months, months + 12, 1);
    for (int d = 0; d < 7; ++d) days[d] = r.chance(50) ? 1 : 0;
    std::vector<TOLMDate> times;
    for (int i = r.between(0, 4); i > 0; --i) {
      const int second = r.chance(60) ? 0 : (r.chance(50) ? 59 : r.between(0, 59));
      times.push_back(timeOfDay(r.hour(), r.chance(20) ? 59 : r.between(0, 59), second));
    }
    if (r.chance(10)) times.push_back(timeOfDay(24, 0));
    a->setMonths(months);
    a->setDays(days);
    a->setSetTimes(times);
    a->setSetEnabled(true);
  }
  if (r.chance(50)) {
    static const std::int32_t kIntervals[][3] = {{0, 0, 1},  {0, 0, 5},  {0, 0, 30}, {0, 1, 0}, {0, 1, 30},
                                                 {0, 2, 0},  {1, 0, 0},  {2, 0, 0},  {0, -1, 0}, {-1, 0, 0},
                                                 {0, 0, 45}, {0, 3, 17}};
    const auto& i = kIntervals[r.between(0, 11)];
    a->setIntervalDate(at(0, 0, i[0], i[1], i[2], 0));
    a->setReferenceDate(wallDate(near(5, 1, true)));
    const bool single = r.chance(30);
    a->setSingleFireEnabled(single);
    a->setMultipleFireEnabled(!single || r.chance(20));
  }
  if (r.chance(25)) {
    a->setFireAfterEnabled(true);
    a->setFireAfterDate(wallDate(near(1, 3, r.chance(50))));
  }
  if (r.chance(25)) {
    a->setFireBeforeEnabled(true);
    a->setFireBeforeDate(wallDate(near(0, 6, r.chance(50))));
  }
  return a;
}

bool inRange(const Fields& f) {
  return f[1] >= 1 && f[1] <= 12 && f[2] >= 1 && f[2] <= 31 && f[3] >= 0 && f[3] <= 23 && f[4] >= 0 && f[4] <= 59 &&
         f[5] >= 0 && f[5] <= 59 && fieldsOfWall(wallSeconds(f)) == f;
}

std::string show(const Fields& f) { return text(TOLMDate::initWithIntArray(f.data())); }

}  // namespace

TEST(FireDatesProperty, RandomAlarmsMatchTheRulesMinuteByMinute) {
  for (const char* zoneName : {"America/New_York", "Europe/Berlin"}) {
    TOLMZoneScope zone(zoneName);
    const std::vector<std::int64_t> changes = changeDays(2020, 2030);
    ASSERT_GE(changes.size(), 20u);
    Random r(20260308);
    for (int round = 0; round < 400; ++round) {
      // Most starts fall within a day and a half of a change.
      const std::int64_t day = r.chance(70) ? changes[static_cast<std::size_t>(r.between(0, static_cast<int>(changes.size()) - 1))] +
                                                  r.between(-1, 1) * kDay
                                            : static_cast<std::int64_t>(utc(2020, 1, 1)) + r.between(0, 4000) * kDay;
      const std::int64_t startWall = day + r.hour() * 3600 + r.between(0, 59) * 60 + r.between(0, 59);
      const TOLMDate start = wallDate(startWall);
      const std::shared_ptr<TOLMAlarm> alarm = randomAlarm(r, startWall);
      const int count = r.between(1, 4);

      const std::vector<TOLMDate> fires = TOLMAlarmFireDates::nearestFiresAfterDate_ForAlarm_count(start, *alarm, count);
      const Expected expected = expectedFires(*alarm, fieldsOf(start), count);
      SCOPED_TRACE(std::string(zoneName) + " round " + std::to_string(round) + " start " + text(start));

      const Fields end = fieldsOfWall(startWall + kSpan);
      Fields previous = fieldsOf(start);
      for (std::size_t i = 0; i < fires.size(); ++i) {
        const Fields f = fieldsOf(fires[i]);
        // Fields in range that name exactly the instant the fire happens at.
        EXPECT_TRUE(inRange(f)) << show(f);
        EXPECT_EQ(fieldsOfWall(wallOf(static_cast<std::int64_t>(fires[i].getDate()))), f) << show(f);
        EXPECT_GE(compare(f, previous), 0) << "fire " << i << " " << show(f) << " before " << show(previous);
        previous = f;
        if (i < expected.fires.size()) {
          EXPECT_EQ(show(f), show(expected.fires[i])) << "fire " << i;
        } else {
          EXPECT_FALSE(expected.complete) << "unexpected fire " << show(f);
          EXPECT_GT(compare(f, end), 0) << "fire " << i << " " << show(f) << " skipped something within the span";
        }
      }
      EXPECT_GE(fires.size(), expected.fires.size());
    }
  }
}
