#pragma once

#include <cstdint>

// Converts between instants (seconds since the Unix epoch) and local wall-clock
// seconds (the local date-time counted as if it were UTC) in the C library's
// current zone. Only the zone's UTC offset is taken from the C library; all
// calendar arithmetic is civil, so out-of-range fields carry exactly.
class TOLMLocalTime {
 public:
  struct Resolution {
    std::int64_t instant;
    bool exists;  // false: the wall-clock time fell in a gap and moved past it
  };

  // UTC offset in seconds at an instant.
  static std::int64_t offsetAt(std::int64_t instant);
  static std::int64_t localSecondsForInstant(std::int64_t instant);
  // A wall-clock time that occurs twice gives the earlier instant; one that is
  // skipped by a forward change gives the first instant after the gap.
  static Resolution resolve(std::int64_t localSeconds);
};
