#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "archive/TOLMCoding.h"

class TOLMUnarchiver;

// A calendar date-time in local wall-clock time: six plain fields (year, month,
// day, hour, minute, second) and a weekday. A value: no operation changes it.
// Conversions to and from instants go through the C library in the current TZ.
// "Calendar dates" (instants) are seconds since the Unix epoch.
class TOLMDate : public TOLMCoding {
 public:
  // The zero date. Use init() for the current time.
  TOLMDate();

  static TOLMDate init();  // now, from TOLMClock
  static TOLMDate initZeroDate();
  static TOLMDate initWithIntArray(const std::int32_t fields[6]);
  static TOLMDate initWithCalendarDate(double instant);
  // The normalised date of wall-clock seconds (the local date-time counted as
  // if it were UTC, as TOLMLocalTime gives them): civil fields and weekday,
  // without a zone lookup. For searches that already know the local time.
  static TOLMDate initWithLocalSeconds(std::int64_t localSeconds);
  // Null when the coder has failed.
  static std::shared_ptr<TOLMDate> initWithCoder(TOLMUnarchiver& coder);

  std::int32_t year() const { return date_[0]; }
  std::int32_t month() const { return date_[1]; }
  std::int32_t day() const { return date_[2]; }
  std::int32_t hour() const { return date_[3]; }
  std::int32_t minute() const { return date_[4]; }
  std::int32_t second() const { return date_[5]; }
  const std::int32_t* arrayReference() const { return date_; }
  std::int32_t dayOfWeek() const { return dayOfWeek_; }

  bool isEqualTo(const TOLMDate& other) const;
  int compareWithDate_atIndex(const TOLMDate& other, int index) const;
  int compareWithDate(const TOLMDate& other) const;

  // Instant of the six fields, read in the local zone after carrying them on the
  // civil calendar. A wall-clock time that occurs twice gives the earlier
  // instant; one skipped by a forward change gives the first instant after it.
  double getDate() const;
  TOLMDate makeCopy() const;
  // The next wall-clock second that exists: always later in field order.
  TOLMDate incrementSecond() const;
  // Elapsed seconds since the zero date-time; an interval date of days, hours,
  // minutes and seconds gives exactly its length.
  double convertToSeconds() const;

  static int maxDaysForYear_month(int year, int month);
  static int dayOfWeekForYear_month_day(int year, int month, int day);

  std::string stringValueWithComponents_ofLength_inMilitary_withLeadingZeros_withWordVales_withSeparators(
      const int* components, int length, bool military, bool leadingZeros, bool wordValues,
      bool separators) const;
  void stringValueWithComponents_ofLength_atIndex_inMilitary_withLeadingZeros_withWordVales_inArray(
      const int* components, int length, int index, bool military, bool leadingZeros, bool wordValues,
      std::vector<std::string>& array) const;

  std::string convertToString() const;      // 07/04/2005 9:05:00
  std::string timeString() const;           // 9:05:00
  std::string hourAndMinuteString() const;  // 21:30
  std::string dateString() const;           // July 4, 2005

  std::string className() const override { return "TOLMDate"; }
  void encodeWithCoder(TOLMArchiver& coder) const override;

 private:
  friend std::optional<TOLMDate> dateForString(const std::string& text);

  // The normalised date of wall-clock seconds (civil fields and weekday).
  explicit TOLMDate(std::int64_t localSeconds);
  // The wall-clock time, or the first one after it when the zone skips it.
  static TOLMDate fromResolution(std::int64_t localSeconds);

  std::int32_t date_[6] = {0, 0, 0, 0, 0, 0};
  std::int32_t dayOfWeek_ = 0;
};

std::string monthForNumber(int number);
std::string dayForNumber(int number);
// No date for "", the all-zero date for text that cannot be read.
std::optional<TOLMDate> dateForString(const std::string& text);
