#include "alarms/TOLMLocalTimeCache.h"

#include <sys/stat.h>

#include <cstdlib>
#include <ctime>
#include <limits>

#include "dates/TOLMCivilCalendar.h"

namespace {

constexpr std::int64_t kDay = 86400;
constexpr std::size_t kSlots = 8192;  // a power of two: about 22 years of days
// Far beyond any date of interest yet small enough that no product overflows.
constexpr std::int64_t kMaxDayNumber = std::int64_t{1} << 36;
constexpr std::int64_t kNoDay = std::numeric_limits<std::int64_t>::min();

bool usableDay(std::int64_t number) { return number > -kMaxDayNumber && number < kMaxDayNumber; }

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

TOLMLocalTimeCache::TOLMLocalTimeCache() : days_(kSlots, Day{kNoDay, 0, 0}) {}

TOLMLocalTimeCache& TOLMLocalTimeCache::current() {
  static thread_local TOLMLocalTimeCache cache;
  cache.checkZone();
  return cache;
}

void TOLMLocalTimeCache::clear() {
  for (Day& d : days_) d = Day{kNoDay, 0, 0};
  lastOffset_ = 0;
}

void TOLMLocalTimeCache::checkZone() {
  const char* tz = std::getenv("TZ");
  const bool same = tz == nullptr ? !tzSet_ : (tzSet_ && tz_ == tz);
  if (!same) {
    tzSet_ = tz != nullptr;
    tz_ = tz != nullptr ? tz : "";
    clear();
  }
  if (tz == nullptr) {
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
}

// A day is regular when its midnight and the next both exist, lie exactly a
// day apart and every hour in between shows the same offset.
const TOLMLocalTimeCache::Day& TOLMLocalTimeCache::day(std::int64_t number) {
  Day& slot = days_[static_cast<std::size_t>(number) & (kSlots - 1)];
  if (slot.number == number) return slot;
  slot = Day{number, 0, 0};
  const std::int64_t local = number * kDay;
  const TOLMLocalTime::Resolution start = TOLMLocalTime::resolve(local);
  const TOLMLocalTime::Resolution end = TOLMLocalTime::resolve(local + kDay);
  if (!start.exists || !end.exists || end.instant - start.instant != kDay) return slot;
  const std::int64_t offset = local - start.instant;
  if (offset <= -kDay || offset >= kDay) return slot;
  for (std::int64_t t = start.instant; t < end.instant; t += 3600) {
    if (TOLMLocalTime::offsetAt(t) != offset) return slot;
  }
  if (TOLMLocalTime::offsetAt(end.instant - 1) != offset) return slot;
  slot.offset = static_cast<std::int32_t>(offset);
  slot.regular = 1;
  return slot;
}

TOLMLocalTime::Resolution TOLMLocalTimeCache::resolve(std::int64_t localSeconds) {
  const std::int64_t number = TOLMCivilCalendar::floorDiv(localSeconds, kDay);
  if (usableDay(number)) {
    const Day& d = day(number);
    if (d.regular) return {localSeconds - d.offset, true};
  }
  return TOLMLocalTime::resolve(localSeconds);
}

std::int64_t TOLMLocalTimeCache::localSecondsForInstant(std::int64_t instant) {
  if (instant > -kMaxDayNumber * kDay && instant < kMaxDayNumber * kDay) {
    std::int64_t number = TOLMCivilCalendar::floorDiv(instant + lastOffset_, kDay);
    // Regular days tile the time line, so the guess is off by a day at most.
    for (int tries = 0; tries < 3 && usableDay(number); ++tries) {
      const Day& d = day(number);
      if (!d.regular) break;
      const std::int64_t start = number * kDay - d.offset;
      if (instant < start) {
        --number;
      } else if (instant >= start + kDay) {
        ++number;
      } else {
        lastOffset_ = d.offset;
        return instant + d.offset;
      }
    }
  }
  return TOLMLocalTime::localSecondsForInstant(instant);
}
