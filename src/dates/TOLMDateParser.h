#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// Reads the date-times people type and the program prints: m/d/y with a time
// (with or without leading zeros), bare times (24-hour, or 12-hour with am/pm),
// ISO dates and date-times, month names in either order, "today", "tomorrow",
// "yesterday", "noon", "midnight" and combinations of a date and a time.
// Case and surrounding whitespace do not matter; years are read as written.
// Impossible values (month 13, February 30, 25:00) make the text unreadable.
class TOLMDateParser {
 public:
  // Wall-clock seconds (the local date-time counted as if it were UTC), or
  // nothing when the text cannot be read. A time without a date is on the
  // current day, a date without a time at 00:00:00.
  static std::optional<std::int64_t> parse(std::string_view text);
};
