#include "alarms/TOLMLocalTimeCache.h"

#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <limits>

#include "dates/TOLMCivilCalendar.h"
#include "dates/TOLMClock.h"

namespace {

constexpr std::int64_t kDay = 86400;
constexpr std::size_t kSlots = 4096;  // a power of two: about 11 years of days
// Far beyond any date of interest yet small enough that no product overflows.
constexpr std::int64_t kMaxDayNumber = std::int64_t{1} << 36;
constexpr std::int64_t kNoDay = std::numeric_limits<std::int64_t>::min();

bool usableDay(std::int64_t number) { return number > -kMaxDayNumber && number < kMaxDayNumber; }

std::atomic<std::uint64_t> zoneGeneration{1};

double steadySeconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

}  // namespace

// What the C library looks at to decide whether to read the default zone file again.
TOLMLocalTimeCache::FileStamp TOLMLocalTimeCache::stampOf(const char* path) {
  struct stat st {};
  if (stat(path, &st) != 0) return FileStamp{};
  return FileStamp{true,
                   {static_cast<std::int64_t>(st.st_dev), static_cast<std::int64_t>(st.st_ino),
                    static_cast<std::int64_t>(st.st_size), static_cast<std::int64_t>(st.st_mtim.tv_sec),
                    static_cast<std::int64_t>(st.st_mtim.tv_nsec), static_cast<std::int64_t>(st.st_ctim.tv_sec),
                    static_cast<std::int64_t>(st.st_ctim.tv_nsec)}};
}

TOLMLocalTimeCache::TOLMLocalTimeCache() : days_(kSlots, Day{kNoDay, 0, 0, 0, Shape::Unknown}) {}

TOLMLocalTimeCache& TOLMLocalTimeCache::current() {
  static thread_local TOLMLocalTimeCache cache;
  cache.checkZone();
  return cache;
}

void TOLMLocalTimeCache::clear() {
  for (Day& d : days_) d = Day{kNoDay, 0, 0, 0, Shape::Unknown};
  lastOffset_ = 0;
}

void TOLMLocalTimeCache::zoneDidChange() { zoneGeneration.fetch_add(1); }

void TOLMLocalTimeCache::checkZone() {
  const std::uint64_t generation = zoneGeneration.load();
  const bool told = generation != generation_;
  generation_ = generation;
  if (told) clear();
  const char* tz = std::getenv("TZ");
  const bool same = tz == nullptr ? !tzSet_ : (tzSet_ && tz_ == tz);
  if (!same) {
    tzSet_ = tz != nullptr;
    tz_ = tz != nullptr ? tz : "";
    clear();
  }
  // A stat costs more than the searches it guards, so once a second at most.
  const double now = steadySeconds();
  if (tz == nullptr && (told || !zoneFileSeen_ || now - fileCheckedAt_ >= 1.0 || now < fileCheckedAt_)) {
    fileCheckedAt_ = now;
    // The C library reads the default zone file again only when it changed;
    // have it do so now, so the days cached from here on follow the new file.
    const FileStamp stamp = stampOf("/etc/localtime");
    if (!(stamp == fileStamp_) || !zoneFileSeen_) {
      fileStamp_ = stamp;
      zoneFileSeen_ = true;
      tzset();
      clear();
    }
  }
  if (tz == nullptr) {
    // Between looks at the file a new zone shows at once in the offset of the
    // present moment (whoever saw the file change has had the C library read it).
    const double clock = TOLMClock::now();
    if (clock > -1e15 && clock < 1e15) {
      const auto probe = static_cast<std::int64_t>(std::floor(clock));
      if (localSecondsForInstant(probe) - probe != TOLMLocalTime::offsetAt(probe)) clear();
    }
  }
}

const TOLMLocalTimeCache::Day& TOLMLocalTimeCache::day(std::int64_t number) {
  Day& slot = days_[static_cast<std::size_t>(number) & (kSlots - 1)];
  if (slot.number != number) slot = describe(number);
  return slot;
}

// Regular: the day's midnight and the next both exist, lie exactly a day apart
// and every hour in between shows the same offset. Otherwise the offsets are
// sampled hourly over every instant TOLMLocalTime looks at for the day's
// wall-clock times (a day and fourteen hours either side); one change among
// them is found to the second, more leave the day to TOLMLocalTime.
TOLMLocalTimeCache::Day TOLMLocalTimeCache::describe(std::int64_t number) {
  Day d{number, 0, 0, 0, Shape::Unknown};
  const std::int64_t local = number * kDay;
  const TOLMLocalTime::Resolution start = TOLMLocalTime::resolve(local);
  const TOLMLocalTime::Resolution end = TOLMLocalTime::resolve(local + kDay);
  const std::int64_t offset = local - start.instant;
  if (start.exists && end.exists && end.instant - start.instant == kDay && offset > -kDay && offset < kDay) {
    bool constant = TOLMLocalTime::offsetAt(end.instant - 1) == offset;
    for (std::int64_t t = start.instant; constant && t < end.instant; t += 3600) {
      constant = TOLMLocalTime::offsetAt(t) == offset;
    }
    if (constant) {
      d.offset = static_cast<std::int32_t>(offset);
      d.shape = Shape::Regular;
      return d;
    }
  }

  const std::int64_t from = local - 2 * kDay;
  const std::int64_t to = local + 3 * kDay;
  std::int64_t previous = TOLMLocalTime::offsetAt(from);
  const std::int64_t first = previous;
  std::int64_t changeAfter = 0;
  int changes = 0;
  for (std::int64_t t = from + 3600; t <= to; t += 3600) {
    const std::int64_t o = TOLMLocalTime::offsetAt(t);
    if (o != previous) {
      ++changes;
      changeAfter = t - 3600;
      previous = o;
    }
  }
  if (changes != 1 || first <= -kDay || first >= kDay || previous <= -kDay || previous >= kDay) return d;
  std::int64_t lo = changeAfter;  // still the first offset
  std::int64_t hi = changeAfter + 3600;
  while (hi - lo > 1) {
    const std::int64_t mid = lo + (hi - lo) / 2;
    if (TOLMLocalTime::offsetAt(mid) == first) {
      lo = mid;
    } else {
      hi = mid;
    }
  }
  d.change = hi;
  d.offset = static_cast<std::int32_t>(first);
  d.after = static_cast<std::int32_t>(previous);
  d.shape = Shape::OneChange;
  return d;
}

TOLMLocalTime::Resolution TOLMLocalTimeCache::resolve(std::int64_t localSeconds) {
  const std::int64_t number = TOLMCivilCalendar::floorDiv(localSeconds, kDay);
  if (usableDay(number)) {
    const Day& d = day(number);
    if (d.shape == Shape::Regular) return {localSeconds - d.offset, true};
    if (d.shape == Shape::OneChange) {
      const std::int64_t before = localSeconds - d.offset;  // valid if before the change
      const std::int64_t after = localSeconds - d.after;    // valid from the change on
      const bool beforeValid = before < d.change;
      const bool afterValid = after >= d.change;
      if (beforeValid && afterValid) return {std::min(before, after), true};
      if (beforeValid) return {before, true};
      if (afterValid) return {after, true};
      return {d.change, false};
    }
  }
  return TOLMLocalTime::resolve(localSeconds);
}

std::int64_t TOLMLocalTimeCache::localSecondsForInstant(std::int64_t instant) {
  if (instant > -kMaxDayNumber * kDay && instant < kMaxDayNumber * kDay) {
    std::int64_t number = TOLMCivilCalendar::floorDiv(instant + lastOffset_, kDay);
    // The guess is off by a day at most.
    for (int tries = 0; tries < 3 && usableDay(number); ++tries) {
      const Day& d = day(number);
      std::int64_t offset = 0;
      if (d.shape == Shape::Regular) {
        offset = d.offset;
      } else if (d.shape == Shape::OneChange) {
        offset = instant < d.change ? d.offset : d.after;
      } else {
        break;
      }
      const std::int64_t local = instant + offset;
      if (local < number * kDay) {
        --number;
      } else if (local >= number * kDay + kDay) {
        ++number;
      } else {
        lastOffset_ = offset;
        return local;
      }
    }
  }
  return TOLMLocalTime::localSecondsForInstant(instant);
}
