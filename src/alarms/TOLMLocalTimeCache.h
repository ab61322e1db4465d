#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "dates/TOLMLocalTime.h"

// Remembers, per local calendar day, whether the zone keeps one UTC offset for
// the whole day and which one. On such days conversions between wall-clock
// seconds and instants are plain arithmetic; on the others (the days of a
// change) every call goes to TOLMLocalTime. The answers are the same either
// way; the fire-time search only makes far fewer C-library calls.
class TOLMLocalTimeCache {
 public:
  // This thread's cache, emptied first when the zone has changed since its
  // last use (TZ set to another value, or /etc/localtime replaced).
  static TOLMLocalTimeCache& current();

  // As TOLMLocalTime::resolve.
  TOLMLocalTime::Resolution resolve(std::int64_t localSeconds);
  // As TOLMLocalTime::localSecondsForInstant.
  std::int64_t localSecondsForInstant(std::int64_t instant);

 private:
  struct Day {
    std::int64_t number;
    std::int32_t offset;  // local minus instant, for a regular day
    std::int32_t regular;
  };

  struct FileStamp {
    bool exists = false;
    std::int64_t values[7] = {};
    bool operator==(const FileStamp&) const = default;
  };

  TOLMLocalTimeCache();
  static FileStamp stampOf(const char* path);
  const Day& day(std::int64_t number);
  void checkZone();
  void clear();

  std::vector<Day> days_;
  std::int64_t lastOffset_ = 0;
  bool tzSet_ = false;
  std::string tz_;
  FileStamp fileStamp_;
  bool zoneFileSeen_ = false;
};
