#include "dates/TOLMDate.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "archive/TOLMArchiver.h"
#include "archive/TOLMUnarchiver.h"
#include "dates/TOLMCivilCalendar.h"
#include "dates/TOLMClock.h"
#include "dates/TOLMLocalTime.h"

namespace {

namespace civil = TOLMCivilCalendar;

constexpr std::int64_t kDay = 86400;
// Wall-clock seconds whose year still fits the 32-bit year field.
constexpr std::int64_t kMinLocal =
    civil::daysFromCivil(std::numeric_limits<std::int32_t>::min(), 1, 1) * kDay;
constexpr std::int64_t kMaxLocal =
    civil::daysFromCivil(std::numeric_limits<std::int32_t>::max(), 12, 31) * kDay + kDay - 1;

std::string paddedNumber(std::int32_t value, bool pad) {
  char text[16];
  char* end = text;
  if (pad && value >= 0 && value <= 9) *end++ = '0';
  end = std::to_chars(end, text + sizeof text, value).ptr;
  return std::string(text, end);
}

// Years 2..999 (either sign) take zeros up to four digits; 0 and 1 stay as they are.
std::string yearText(std::int32_t year) {
  const std::int64_t magnitude = std::llabs(std::int64_t{year});
  char digits[16];
  const char* digitsEnd = std::to_chars(digits, digits + sizeof digits, magnitude).ptr;
  char text[24];
  char* end = text;
  if (year < 0) *end++ = '-';
  if (magnitude > 1 && magnitude < 1000) {
    for (std::ptrdiff_t n = digitsEnd - digits; n < 4; ++n) *end++ = '0';
  }
  end = std::copy(static_cast<const char*>(digits), digitsEnd, end);
  return std::string(text, end);
}

bool isDateCode(int code) { return code >= 0 && code <= 2; }

std::string separatorAfter(const int* components, int length, int index) {
  if (index + 1 >= length) return "";
  const int code = components[index];
  const int next = components[index + 1];
  if (isDateCode(code) && isDateCode(next)) return "/";
  if ((code == 3 && next == 4) || (code == 4 && next == 5)) return ":";
  return " ";
}

}  // namespace

TOLMDate::TOLMDate() = default;

TOLMDate::TOLMDate(std::int64_t localSeconds) {
  const civil::ClockFields c = civil::clockFieldsOfLocalSeconds(std::clamp(localSeconds, kMinLocal, kMaxLocal));
  civil::writeFields(c, date_);
  dayOfWeek_ = civil::weekdayOfDays(c.days);
}

TOLMDate TOLMDate::fromResolution(std::int64_t localSeconds) {
  const TOLMLocalTime::Resolution r = TOLMLocalTime::resolve(localSeconds);
  return TOLMDate(r.exists ? localSeconds : TOLMLocalTime::localSecondsForInstant(r.instant));
}

TOLMDate TOLMDate::init() { return initWithCalendarDate(TOLMClock::now()); }

TOLMDate TOLMDate::initZeroDate() { return TOLMDate(); }

TOLMDate TOLMDate::initWithIntArray(const std::int32_t fields[6]) {
  TOLMDate date;
  std::copy(fields, fields + 6, date.date_);
  return date;
}

TOLMDate TOLMDate::initWithCalendarDate(double instant) {
  if (std::isnan(instant)) return TOLMDate();
  // Far beyond any 32-bit year; keeps the conversion to an integer defined.
  constexpr double kLimit = 9.0e16;
  const std::int64_t seconds = static_cast<std::int64_t>(std::floor(std::clamp(instant, -kLimit, kLimit)));
  return TOLMDate(TOLMLocalTime::localSecondsForInstant(seconds));
}

TOLMDate TOLMDate::initWithLocalSeconds(std::int64_t localSeconds) { return TOLMDate(localSeconds); }

std::shared_ptr<TOLMDate> TOLMDate::initWithCoder(TOLMUnarchiver& coder) {
  auto date = std::make_shared<TOLMDate>();
  coder.decodeValueOfObjCType("[6i]", date->date_);
  coder.decodeValueOfObjCType("i", &date->dayOfWeek_);
  if (coder.failed()) return nullptr;
  return date;
}

void TOLMDate::encodeWithCoder(TOLMArchiver& coder) const {
  coder.encodeValueOfObjCType("[6i]", date_);
  coder.encodeValueOfObjCType("i", &dayOfWeek_);
}

bool TOLMDate::isEqualTo(const TOLMDate& other) const { return std::equal(date_, date_ + 6, other.date_); }

int TOLMDate::compareWithDate_atIndex(const TOLMDate& other, int index) const {
  for (int i = std::max(index, 0); i < 6; ++i) {
    if (date_[i] > other.date_[i]) return 1;
    if (date_[i] < other.date_[i]) return -1;
  }
  return 0;
}

int TOLMDate::compareWithDate(const TOLMDate& other) const { return compareWithDate_atIndex(other, 0); }

double TOLMDate::getDate() const {
  return static_cast<double>(TOLMLocalTime::resolve(civil::localSecondsOfFields(date_)).instant);
}

TOLMDate TOLMDate::makeCopy() const { return fromResolution(civil::localSecondsOfFields(date_)); }

// The next wall-clock second that exists, so repeated steps always move forward
// in field order: over a forward change it jumps the gap (one second elapses),
// and at a backward change it goes on to the hour after the repeated one rather
// than back to its start (a date's successor never compares before it).
TOLMDate TOLMDate::incrementSecond() const { return fromResolution(civil::localSecondsOfFields(date_) + 1); }

// Elapsed seconds from the zero date-time (-0001-11-30 00:00:00 once carried).
// Every zone keeps one offset (local mean time) over the early centuries, so an
// interval of days, hours, minutes and seconds counts exactly.
double TOLMDate::convertToSeconds() const {
  static constexpr std::int32_t kZero[6] = {0, 0, 0, 0, 0, 0};
  const std::int64_t zeroInstant = TOLMLocalTime::resolve(civil::localSecondsOfFields(kZero)).instant;
  return static_cast<double>(TOLMLocalTime::resolve(civil::localSecondsOfFields(date_)).instant - zeroInstant);
}

int TOLMDate::maxDaysForYear_month(int year, int month) {
  switch (month) {
    case 1: case 3: case 5: case 7: case 8: case 10: case 12:
      return 31;
    case 2:
      return civil::isLeapYear(year) ? 29 : 28;
    default:
      return 30;
  }
}

int TOLMDate::dayOfWeekForYear_month_day(int year, int month, int day) {
  return civil::weekdayOfDays(civil::carriedDays(year, month, day));
}

void TOLMDate::stringValueWithComponents_ofLength_atIndex_inMilitary_withLeadingZeros_withWordVales_inArray(
    const int* components, int length, int index, bool military, bool leadingZeros, bool wordValues,
    std::vector<std::string>& array) const {
  for (int i = std::max(index, 0); components != nullptr && i < length; ++i) {
    const int code = components[i];
    if (code < 0 || code > 5) {
      array.emplace_back();
      continue;
    }
    const std::int32_t v = date_[code];
    switch (code) {
      case 0:
        array.push_back(yearText(v));
        break;
      case 1:
        array.push_back(wordValues ? monthForNumber(v) : paddedNumber(v, leadingZeros));
        break;
      case 2:
        array.push_back(wordValues ? dayForNumber(dayOfWeek_) : paddedNumber(v, leadingZeros));
        break;
      case 3: {
        std::int32_t hour = v;
        if (!military) {
          if (hour > 12) hour -= 12;
          else if (hour == 0) hour = 12;
        }
        array.push_back(std::to_string(hour));
        break;
      }
      default:
        array.push_back(paddedNumber(v, true));
        break;
    }
  }
}

std::string TOLMDate::stringValueWithComponents_ofLength_inMilitary_withLeadingZeros_withWordVales_withSeparators(
    const int* components, int length, bool military, bool leadingZeros, bool wordValues, bool separators) const {
  if (components == nullptr || length <= 0) return "";
  std::vector<std::string> elements;
  elements.reserve(static_cast<std::size_t>(length));
  stringValueWithComponents_ofLength_atIndex_inMilitary_withLeadingZeros_withWordVales_inArray(
      components, length, 0, military, leadingZeros, wordValues, elements);
  std::string result;
  for (int i = 0; i < length; ++i) {
    result += elements[static_cast<std::size_t>(i)];
    const std::string separator = separatorAfter(components, length, i);
    result += (separators || separator.empty()) ? separator : std::string(" ");
  }
  return result;
}

std::string TOLMDate::convertToString() const {
  static constexpr int kCodes[6] = {1, 2, 0, 3, 4, 5};
  return stringValueWithComponents_ofLength_inMilitary_withLeadingZeros_withWordVales_withSeparators(
      kCodes, 6, true, true, false, true);
}

std::string TOLMDate::timeString() const {
  static constexpr int kCodes[3] = {3, 4, 5};
  return stringValueWithComponents_ofLength_inMilitary_withLeadingZeros_withWordVales_withSeparators(
      kCodes, 3, true, true, false, true);
}

std::string TOLMDate::hourAndMinuteString() const {
  static constexpr int kCodes[2] = {3, 4};
  return stringValueWithComponents_ofLength_inMilitary_withLeadingZeros_withWordVales_withSeparators(
      kCodes, 2, true, true, false, true);
}

std::string TOLMDate::dateString() const {
  return monthForNumber(date_[1]) + " " + std::to_string(date_[2]) + ", " + std::to_string(date_[0]);
}

std::string monthForNumber(int number) {
  static const char* const kNames[12] = {"January", "February", "March",     "April",   "May",      "June",
                                         "July",    "August",   "September", "October", "November", "December"};
  return (number >= 1 && number <= 12) ? kNames[number - 1] : "December";
}

std::string dayForNumber(int number) {
  static const char* const kNames[7] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
  return (number >= 0 && number <= 6) ? kNames[number] : "Saturday";
}
