#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "dates/TOLMLocalTime.h"

// Remembers, per local calendar day, the zone's UTC offset: one offset for the
// whole day, or the two either side of the day's one change and its instant.
// Conversions between wall-clock seconds and instants are then arithmetic with
// the same answers as TOLMLocalTime (a time that occurs twice gives the earlier
// instant, one in a gap the first instant after it); days with anything else
// (two changes close together) go to TOLMLocalTime on every call.
class TOLMLocalTimeCache {
 public:
  // This thread's cache, emptied first when the zone has changed since its
  // last use: TZ set to another value, /etc/localtime replaced (looked at once
  // a second at most, and the present offset checked on every use) or
  // zoneDidChange called.
  static TOLMLocalTimeCache& current();
  // For whoever learns of a new zone (the platform's clock-change report):
  // every cache reads the zone again on its next use.
  static void zoneDidChange();

  // As TOLMLocalTime::resolve.
  TOLMLocalTime::Resolution resolve(std::int64_t localSeconds);
  // As TOLMLocalTime::localSecondsForInstant.
  std::int64_t localSecondsForInstant(std::int64_t instant);

 private:
  enum class Shape : std::int32_t { Unknown, Regular, OneChange };
  struct Day {
    std::int64_t number;
    std::int64_t change;  // the instant the offset changes, for OneChange
    std::int32_t offset;  // local minus instant (before the change)
    std::int32_t after;   // after the change
    Shape shape;
  };

  struct FileStamp {
    bool exists = false;
    std::int64_t values[7] = {};
    bool operator==(const FileStamp&) const = default;
  };

  TOLMLocalTimeCache();
  static FileStamp stampOf(const char* path);
  const Day& day(std::int64_t number);
  static Day describe(std::int64_t number);
  void checkZone();
  void clear();

  std::vector<Day> days_;
  std::int64_t lastOffset_ = 0;
  bool tzSet_ = false;
  std::string tz_;
  FileStamp fileStamp_;
  bool zoneFileSeen_ = false;
  double fileCheckedAt_ = 0.0;  // steady-clock seconds
  std::uint64_t generation_ = 0;
};
