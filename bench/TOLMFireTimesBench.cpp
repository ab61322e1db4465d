#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <random>
#include <vector>

#include "alarms/TOLMAlarm.h"
#include "alarms/TOLMAlarmFireDates.h"
#include "alarms/TOLMLocalTimeCache.h"
#include "dates/TOLMDate.h"

namespace {

const bool kZoneSet = [] {
  ::setenv("TZ", "America/New_York", 1);
  ::tzset();
  return true;
}();

TOLMDate at(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
  const std::int32_t f[6] = {y, mo, d, h, mi, s};
  return TOLMDate::initWithIntArray(f);
}

// A date some days around 2026-03-01, whole minutes.
TOLMDate around(std::mt19937& r, int daysBefore, int daysAfter) {
  const int offset = static_cast<int>(r() % static_cast<unsigned>(daysBefore + daysAfter + 1)) - daysBefore;
  return at(2026, 3, 1 + offset, static_cast<int>(r() % 24), static_cast<int>(r() % 60)).makeCopy();
}

// All three kinds, alone and combined, with and without windows; fixed seed.
TOLMAlarmFireDates::Alarms mixedAlarms(int count) {
  std::mt19937 r(4242);
  const auto chance = [&r](unsigned percent) { return r() % 100 < percent; };
  TOLMAlarmFireDates::Alarms alarms;
  for (int i = 0; i < count; ++i) {
    auto a = std::make_shared<TOLMAlarm>();
    a->setSpecificFireEnabled(false);
    a->setSetEnabled(false);
    const unsigned kind = r() % 10;
    const bool second = chance(20);
    if (kind < 4 || (second && kind >= 7)) {
      std::int32_t months[12];
      std::int32_t days[7];
      const bool allMonths = chance(70);
      for (auto& m : months) m = allMonths || chance(40) ? 1 : 0;
      for (auto& d : days) d = chance(60) ? 1 : 0;
      days[r() % 7] = 1;
      months[r() % 12] = 1;
      std::vector<TOLMDate> times;
      for (int t = 1 + static_cast<int>(r() % 3); t > 0; --t) times.push_back(at(0, 0, 0, static_cast<int>(r() % 24), static_cast<int>(r() % 60)));
      a->setMonths(months);
      a->setDays(days);
      a->setSetTimes(times);
      a->setSetEnabled(true);
    }
    if ((kind >= 4 && kind < 7) || (second && kind < 4)) {
      static const int kMinutes[] = {15, 60, 90, 24 * 60, 7 * 24 * 60};
      const int minutes = kMinutes[r() % 5];
      a->setIntervalDate(at(0, 0, minutes / 1440, minutes / 60 % 24, minutes % 60));
      a->setReferenceDate(around(r, 60, 5));
      if (chance(20)) {
        a->setSingleFireEnabled(true);
      } else {
        a->setMultipleFireEnabled(true);
      }
    }
    if (kind >= 7 || (second && kind >= 4 && kind < 7)) {
      std::vector<TOLMDate> dates;
      for (int d = 1 + static_cast<int>(r() % 8); d > 0; --d) dates.push_back(around(r, 60, 60));
      a->setSpecificFireDates(dates);
      a->setSpecificFireEnabled(true);
    }
    if (chance(25)) {
      a->setFireAfterEnabled(true);
      a->setFireAfterDate(around(r, 10, 20));
    }
    if (chance(25)) {
      a->setFireBeforeEnabled(true);
      a->setFireBeforeDate(around(r, 0, 40));
    }
    alarms.push_back(std::move(a));
  }
  return alarms;
}

// The scheduler's question: the single nearest fire over all alarms.
void BM_nearestFireWrappers_10000(benchmark::State& state) {
  const TOLMAlarmFireDates::Alarms alarms = mixedAlarms(10000);
  const TOLMDate start = at(2026, 3, 1, 9, 13, 27);
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        TOLMAlarmFireDates::nearestFireWrappersForAlarms_count_date(alarms, static_cast<int>(state.range(0)), start));
  }
}
BENCHMARK(BM_nearestFireWrappers_10000)->Arg(1)->Arg(30)->Unit(benchmark::kMillisecond);

// The same right after a zone change, when every day's offsets are read anew.
void BM_nearestFireWrappers_10000_newZone(benchmark::State& state) {
  const TOLMAlarmFireDates::Alarms alarms = mixedAlarms(10000);
  const TOLMDate start = at(2026, 3, 1, 9, 13, 27);
  for (auto _ : state) {
    TOLMLocalTimeCache::zoneDidChange();
    benchmark::DoNotOptimize(TOLMAlarmFireDates::nearestFireWrappersForAlarms_count_date(alarms, 1, start));
  }
}
BENCHMARK(BM_nearestFireWrappers_10000_newZone)->Unit(benchmark::kMillisecond);

// The alarm list's column: one fire per alarm, one call each.
void BM_nearestFiresPerAlarm_10000(benchmark::State& state) {
  const TOLMAlarmFireDates::Alarms alarms = mixedAlarms(10000);
  const TOLMDate start = at(2026, 3, 1, 9, 13, 27);
  for (auto _ : state) {
    for (const auto& a : alarms) {
      benchmark::DoNotOptimize(TOLMAlarmFireDates::nearestFiresAfterDate_ForAlarm_count(start, *a, 1));
    }
  }
}
BENCHMARK(BM_nearestFiresPerAlarm_10000)->Unit(benchmark::kMillisecond);

}  // namespace
