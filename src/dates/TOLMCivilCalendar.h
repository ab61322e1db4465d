#pragma once

#include <cstdint>

// Pure arithmetic on the proleptic Gregorian calendar (year 0 exists and is
// leap, as in astronomical numbering). No C-library calls and no time zone:
// day numbers count days since 1970-01-01. All intermediate values are 64-bit,
// so every int32 year is exact.
namespace TOLMCivilCalendar {

constexpr bool isLeapYear(std::int64_t year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

// 0 for a month outside 1..12.
constexpr int daysInMonth(std::int64_t year, int month) {
  constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  if (month == 2 && isLeapYear(year)) return 29;
  return kDays[month - 1];
}

// Floor division, since the eras below must round towards minus infinity.
constexpr std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
  std::int64_t q = a / b;
  return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}

// Days since 1970-01-01 of year/month/day; month in 1..12, day in 1..31
// (a day past the month's end simply counts on).
constexpr std::int64_t daysFromCivil(std::int64_t year, int month, int day) {
  const std::int64_t y = year - (month <= 2 ? 1 : 0);
  const std::int64_t era = floorDiv(y, 400);
  const std::int64_t yoe = y - era * 400;                                   // [0, 399]
  const std::int64_t mp = (month + 9) % 12;                                 // March = 0
  const std::int64_t doy = (153 * mp + 2) / 5 + day - 1;                    // [0, 365]
  const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;           // [0, 146096]
  return era * 146097 + doe - 719468;
}

struct Civil {
  std::int64_t year;
  int month;  // 1..12
  int day;    // 1..31
};

constexpr Civil civilFromDays(std::int64_t days) {
  const std::int64_t z = days + 719468;
  const std::int64_t era = floorDiv(z, 146097);
  const std::int64_t doe = z - era * 146097;                                // [0, 146096]
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);         // [0, 365]
  const std::int64_t mp = (5 * doy + 2) / 153;                              // [0, 11]
  const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  return Civil{yoe + era * 400 + (month <= 2 ? 1 : 0), month, day};
}

// 0 = Sunday .. 6 = Saturday (1970-01-01 was a Thursday).
constexpr int weekday(std::int64_t year, int month, int day) {
  const std::int64_t days = daysFromCivil(year, month, day);
  return static_cast<int>(days - floorDiv(days + 4, 7) * 7 + 4);
}

// 1-based: January 1 is day 1.
constexpr int dayOfYear(std::int64_t year, int month, int day) {
  return static_cast<int>(daysFromCivil(year, month, day) - daysFromCivil(year, 1, 1)) + 1;
}

// Weekday of a day number (days since 1970-01-01), 0 = Sunday.
constexpr int weekdayOfDays(std::int64_t days) { return static_cast<int>(days - floorDiv(days + 4, 7) * 7 + 4); }

// Day number of year/month/day with a month or day out of range carried into the larger fields.
constexpr std::int64_t carriedDays(std::int64_t year, std::int64_t month, std::int64_t day) {
  if (month >= 1 && month <= 12) return daysFromCivil(year, static_cast<int>(month), 1) + day - 1;
  const std::int64_t yearCarry = floorDiv(month - 1, 12);
  const int normalMonth = static_cast<int>(month - 1 - yearCarry * 12 + 1);
  return daysFromCivil(year + yearCarry, normalMonth, 1) + day - 1;
}

// Six clock fields (year, month, day, hour, minute, second) read as seconds
// since 1970-01-01 00:00:00 on the same clock, every field carried.
constexpr std::int64_t localSecondsOfFields(const std::int32_t* f) {
  return carriedDays(f[0], f[1], f[2]) * 86400 + std::int64_t{f[3]} * 3600 + std::int64_t{f[4]} * 60 + f[5];
}

// The clock fields of such seconds, with their day number.
struct ClockFields {
  Civil date;
  std::int64_t days;
  int hour;
  int minute;
  int second;
};

constexpr ClockFields clockFieldsOfLocalSeconds(std::int64_t local) {
  const std::int64_t days = floorDiv(local, 86400);
  const int secondOfDay = static_cast<int>(local - days * 86400);
  return ClockFields{civilFromDays(days), days, secondOfDay / 3600, secondOfDay / 60 % 60, secondOfDay % 60};
}

// Writes the six fields in date order; the year must fit 32 bits.
constexpr void writeFields(const ClockFields& c, std::int32_t* out) {
  out[0] = static_cast<std::int32_t>(c.date.year);
  out[1] = c.date.month;
  out[2] = c.date.day;
  out[3] = c.hour;
  out[4] = c.minute;
  out[5] = c.second;
}

static_assert(daysFromCivil(1970, 1, 1) == 0);
static_assert(daysFromCivil(2000, 3, 1) == 11017);
static_assert(civilFromDays(-1).year == 1969 && civilFromDays(-1).day == 31);
static_assert(weekday(1970, 1, 1) == 4);
static_assert(weekday(2005, 7, 4) == 1);
static_assert(dayOfYear(2004, 12, 31) == 366);
static_assert(carriedDays(2005, 13, 1) == daysFromCivil(2006, 1, 1));
static_assert(carriedDays(2005, 0, 0) == daysFromCivil(2004, 11, 30));
static_assert(clockFieldsOfLocalSeconds(-1).date.year == 1969 && clockFieldsOfLocalSeconds(-1).second == 59);

}  // namespace TOLMCivilCalendar
