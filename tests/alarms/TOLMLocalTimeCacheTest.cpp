#include "alarms/TOLMLocalTimeCache.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "alarms/TOLMRulesTestSupport.h"
#include "dates/TOLMLocalTime.h"
#include "dates/TOLMZoneScope.h"

using namespace rules_test;

namespace {

// Every second around each change, and a sparse walk elsewhere, must give what
// the C library gives through TOLMLocalTime.
void expectSameResolution(std::int64_t from, std::int64_t to, std::int64_t step, TOLMLocalTimeCache& cache,
                          const std::string& zone) {
  for (std::int64_t local = from; local < to; local += step) {
    const TOLMLocalTime::Resolution expected = TOLMLocalTime::resolve(local);
    const TOLMLocalTime::Resolution actual = cache.resolve(local);
    ASSERT_EQ(actual.instant, expected.instant) << zone << " local " << local;
    ASSERT_EQ(actual.exists, expected.exists) << zone << " local " << local;
  }
}

void expectSameLocal(std::int64_t from, std::int64_t to, std::int64_t step, TOLMLocalTimeCache& cache,
                     const std::string& zone) {
  for (std::int64_t t = from; t < to; t += step) {
    ASSERT_EQ(cache.localSecondsForInstant(t), TOLMLocalTime::localSecondsForInstant(t)) << zone << " instant " << t;
  }
}

}  // namespace

// Zones with an hour's change, half an hour's (Lord Howe), changes at midnight
// (Sao Paulo until 2019), offsets moved for good (Moscow 2011 and 2014), a
// skipped calendar day (Apia, 30 December 2011) and a two-hour change (Troll).
TEST(TOLMLocalTimeCache, GivesTheSameAnswersAsTheCLibraryInEveryKindOfZone) {
  const char* zones[] = {"America/New_York", "Europe/Berlin", "Australia/Lord_Howe", "America/Sao_Paulo",
                         "Europe/Moscow",    "Pacific/Apia",  "Antarctica/Troll",    "UTC"};
  for (const char* name : zones) {
    TOLMZoneScope zone(name);
    TOLMLocalTimeCache& cache = TOLMLocalTimeCache::current();
    const auto from = static_cast<std::int64_t>(utc(2010, 1, 1));
    const auto to = static_cast<std::int64_t>(utc(2016, 1, 1));
    // A step of one second over a whole minute meets every second of the minute.
    expectSameResolution(from, to, 1801, cache, name);
    expectSameLocal(from, to, 1801, cache, name);
    for (std::int64_t t = from; t < to; t += 3600) {
      const std::int64_t before = TOLMLocalTime::offsetAt(t);
      const std::int64_t after = TOLMLocalTime::offsetAt(t + 3600);
      if (before == after) continue;
      expectSameLocal(t - 3600, t + 2 * 3600, 1, cache, name);
      // The wall-clock times around the change, as they read before and after it.
      expectSameResolution(t + std::min(before, after) - 3600, t + std::max(before, after) + 2 * 3600, 1, cache,
                           name);
    }
  }
}

TEST(TOLMLocalTimeCache, FollowsAChangeOfZone) {
  const auto instant = static_cast<std::int64_t>(utc(2026, 7, 1, 12));
  {
    TOLMZoneScope zone("America/New_York");
    EXPECT_EQ(TOLMLocalTimeCache::current().localSecondsForInstant(instant), instant - 4 * 3600);
  }
  {
    TOLMZoneScope zone("Europe/Berlin");
    EXPECT_EQ(TOLMLocalTimeCache::current().localSecondsForInstant(instant), instant + 2 * 3600);
    // Back to the machine's own zone file, whatever it holds.
    ::unsetenv("TZ");
    ::tzset();
    for (std::int64_t t = instant; t < instant + 400 * 86400; t += 86400 / 3) {
      EXPECT_EQ(TOLMLocalTimeCache::current().localSecondsForInstant(t), TOLMLocalTime::localSecondsForInstant(t));
    }
  }
}
