#include "events/TOLMRepetitiveEvent.h"

#include <algorithm>
#include <limits>

#include "archive/TOLMArchiver.h"
#include "archive/TOLMUnarchiver.h"
#include "dates/TOLMCivilCalendar.h"

namespace {

namespace civil = TOLMCivilCalendar;

constexpr std::int64_t kDay = 86400;

bool contains(const TOLMRepetitiveEvent::List& list, std::int64_t value) {
  for (const std::int32_t element : list) {
    if (element == value) return true;
  }
  return false;
}

// Raw field order, as TOLMDate compares.
int compareFields(const std::int32_t* a, const std::int32_t* b) {
  for (int i = 0; i < 6; ++i) {
    if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
  }
  return 0;
}

// ceil(n / 7) for the day numbers 1, 2, ... of a month or a year.
std::int64_t weekOf(std::int64_t dayNumber) { return (dayNumber + 6) / 7; }

struct Difference {
  std::int64_t years = 0;
  std::int64_t months = 0;
  std::int64_t days = 0;
};

// Whole years, then months, then days from one wall-clock time to a later one,
// each the largest count that does not pass it. Adding months keeps the day of
// the month, or the month's last day when it is shorter (31 January plus one
// month is 28 or 29 February). Counted on the wall clock, so a daylight-saving
// change does not cost a day.
Difference forwardDifference(std::int64_t from, std::int64_t to) {
  const std::int64_t fromDay = civil::floorDiv(from, kDay);
  const std::int64_t secondOfDay = from - fromDay * kDay;
  const civil::Civil f = civil::civilFromDays(fromDay);
  const civil::Civil t = civil::civilFromDays(civil::floorDiv(to, kDay));
  const auto monthsLater = [&](std::int64_t k) {
    const std::int64_t total = f.month - 1 + k;
    const std::int64_t y = f.year + civil::floorDiv(total, 12);
    const int m = static_cast<int>(total - civil::floorDiv(total, 12) * 12 + 1);
    const int d = std::min(f.day, civil::daysInMonth(y, m));
    return civil::daysFromCivil(y, m, d) * kDay + secondOfDay;
  };
  std::int64_t k = std::max<std::int64_t>(0, (t.year - f.year) * 12 + (t.month - f.month));
  while (k > 0 && monthsLater(k) > to) --k;
  while (monthsLater(k + 1) <= to) ++k;
  return Difference{k / 12, k % 12, (to - monthsLater(k)) / kDay};
}

Difference difference(const TOLMDate& from, const TOLMDate& to) {
  const std::int64_t a = civil::localSecondsOfFields(from.arrayReference());
  const std::int64_t b = civil::localSecondsOfFields(to.arrayReference());
  if (b >= a) return forwardDifference(a, b);
  const Difference d = forwardDifference(b, a);
  return Difference{-d.years, -d.months, -d.days};
}

void replaceAll(std::string& text, const char* placeholder, std::int64_t value) {
  std::size_t found = text.find(placeholder);
  if (found == std::string::npos) return;
  const std::string number = std::to_string(value);
  std::string result;
  std::size_t from = 0;
  // A number never forms a new placeholder, so one pass replaces them all.
  while (found != std::string::npos) {
    result.append(text, from, found - from);
    result += number;
    from = found + 2;
    found = text.find(placeholder, from);
  }
  result.append(text, from, std::string::npos);
  text = std::move(result);
}

TOLMArchiveObject dateObject(const std::optional<TOLMDate>& date) {
  return date ? TOLMArchiveObject::record(std::make_shared<TOLMDate>(*date)) : TOLMArchiveObject();
}

TOLMArchiveObject listObject(const TOLMRepetitiveEvent::OptionalList& list) {
  if (!list) return TOLMArchiveObject();
  TOLMArchiveList numbers;
  numbers.reserve(list->size());
  for (const std::int32_t value : *list) numbers.push_back(TOLMArchiveObject::integer(value));
  return TOLMArchiveObject::list(std::move(numbers));
}

void decodeDate(TOLMUnarchiver& coder, std::optional<TOLMDate>& field, const char* name) {
  const TOLMArchiveObject object = nilIfNSNull(coder.decodeObject());
  if (coder.failed()) return;
  if (object.isNone()) {
    field.reset();
    return;
  }
  const std::shared_ptr<TOLMDate> date = object.recordAs<TOLMDate>();
  if (!date) {
    coder.fail(std::string("event field ") + name + " is not a date");
    return;
  }
  field = *date;
}

void decodeList(TOLMUnarchiver& coder, TOLMRepetitiveEvent::OptionalList& field, const char* name) {
  const TOLMArchiveObject object = nilIfNSNull(coder.decodeObject());
  if (coder.failed()) return;
  if (object.isNone()) {
    field.reset();
    return;
  }
  const std::shared_ptr<TOLMArchiveList> list = object.listValue();
  if (!list) {
    coder.fail(std::string("event field ") + name + " is not a list");
    return;
  }
  TOLMRepetitiveEvent::List values;
  values.reserve(list->size());
  for (const TOLMArchiveObject& element : *list) {
    const std::optional<std::int64_t> value = element.integerValue();
    if (!value || *value < std::numeric_limits<std::int32_t>::min() ||
        *value > std::numeric_limits<std::int32_t>::max()) {
      coder.fail(std::string("event field ") + name + " holds something other than a 32-bit integer");
      return;
    }
    values.push_back(static_cast<std::int32_t>(*value));
  }
  field = std::move(values);
}

// An absent text reads as empty: the event keeps working and shows nothing.
void decodeString(TOLMUnarchiver& coder, std::string& field, const char* name) {
  const TOLMArchiveObject object = nilIfNSNull(coder.decodeObject());
  if (coder.failed()) return;
  if (object.isNone()) {
    field.clear();
    return;
  }
  const std::string* text = object.stringValue();
  if (text == nullptr) {
    coder.fail(std::string("event field ") + name + " is not a string");
    return;
  }
  field = *text;
}

}  // namespace

TOLMRepetitiveEvent::TOLMRepetitiveEvent(std::string name, std::string message, std::optional<TOLMDate> firstDate,
                                         std::optional<TOLMDate> lastDate)
    : firstDate(std::move(firstDate)), lastDate(std::move(lastDate)), message_(std::move(message)),
      name_(std::move(name)) {
  // 08/11/1981 0:00:00: only its time of day, midnight, is used.
  static constexpr std::int32_t kNotification[6] = {1981, 8, 11, 0, 0, 0};
  timeOfNotification_ = TOLMDate::initWithIntArray(kNotification).makeCopy();
}

std::shared_ptr<TOLMRepetitiveEvent> TOLMRepetitiveEvent::initWithName_message_firstDate_lastDate(
    std::string name, std::string message, std::optional<TOLMDate> firstDate, std::optional<TOLMDate> lastDate) {
  return std::make_shared<TOLMRepetitiveEvent>(std::move(name), std::move(message), std::move(firstDate),
                                               std::move(lastDate));
}

std::shared_ptr<TOLMRepetitiveEvent> TOLMRepetitiveEvent::initWithCoder(TOLMUnarchiver& coder) {
  std::shared_ptr<TOLMRepetitiveEvent> event(new TOLMRepetitiveEvent());
  if (!event->decodeFields(coder)) return nullptr;
  return event;
}

void TOLMRepetitiveEvent::clearRule() {
  nthDaysOfWeek_.reset();
  nthDaysOfMonth_.reset();
  nthDaysOfYear_.reset();
  nthWeeksOfMonth_.reset();
  nthWeeksOfYear_.reset();
  nthMonthsOfYear_.reset();
}

void TOLMRepetitiveEvent::setDaysOfWeek_weeksOfMonth_monthsOfYear(OptionalList daysOfWeek,
                                                                  OptionalList weeksOfMonth,
                                                                  OptionalList monthsOfYear) {
  clearRule();
  nthDaysOfWeek_ = std::move(daysOfWeek);
  nthWeeksOfMonth_ = std::move(weeksOfMonth);
  nthMonthsOfYear_ = std::move(monthsOfYear);
}

void TOLMRepetitiveEvent::setDaysOfWeek_weeksOfYear(OptionalList daysOfWeek, OptionalList weeksOfYear) {
  clearRule();
  nthDaysOfWeek_ = std::move(daysOfWeek);
  nthWeeksOfYear_ = std::move(weeksOfYear);
}

void TOLMRepetitiveEvent::setDaysOfMonth_monthsOfYear(OptionalList daysOfMonth, OptionalList monthsOfYear) {
  clearRule();
  nthDaysOfMonth_ = std::move(daysOfMonth);
  nthMonthsOfYear_ = std::move(monthsOfYear);
}

void TOLMRepetitiveEvent::setDaysOfYear(OptionalList daysOfYear) {
  clearRule();
  nthDaysOfYear_ = std::move(daysOfYear);
}

bool TOLMRepetitiveEvent::eventOccursOnDate(const TOLMDate& date) const {
  const std::int32_t* f = date.arrayReference();
  if (firstDate && compareFields(f, firstDate->arrayReference()) < 0) return false;
  if (lastDate && compareFields(f, lastDate->arrayReference()) > 0) return false;

  // The calendar day itself, whatever weekday field the date carries.
  std::int64_t year = f[0];
  int month = f[1];
  int day = f[2];
  if (month < 1 || month > 12 || day < 1 || day > civil::daysInMonth(year, month)) {
    const civil::Civil c = civil::civilFromDays(civil::carriedDays(f[0], f[1], f[2]));
    year = c.year;
    month = c.month;
    day = c.day;
  }
  const auto weekday = [&] {
    const std::int64_t n = civil::daysFromCivil(year, month, day);
    return n - civil::floorDiv(n + 4, 7) * 7 + 4;
  };
  const auto dayOfYear = [&] {
    static constexpr int kBefore[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
    return kBefore[month - 1] + day + (month > 2 && civil::isLeapYear(year) ? 1 : 0);
  };

  if (nthDaysOfWeek_ && nthWeeksOfMonth_ && nthMonthsOfYear_) {
    if (!contains(*nthMonthsOfYear_, month) || !contains(*nthWeeksOfMonth_, weekOf(day)) ||
        !contains(*nthDaysOfWeek_, weekday())) {
      return false;
    }
  } else if (nthDaysOfWeek_ && nthWeeksOfYear_) {
    if (!contains(*nthWeeksOfYear_, weekOf(dayOfYear())) || !contains(*nthDaysOfWeek_, weekday())) return false;
  } else if (nthDaysOfMonth_ && nthMonthsOfYear_) {
    if (!contains(*nthDaysOfMonth_, day) || !contains(*nthMonthsOfYear_, month)) return false;
  } else if (nthDaysOfYear_) {
    if (!contains(*nthDaysOfYear_, dayOfYear())) return false;
  } else {
    return false;
  }

  if (!firstDate) return true;
  // 64-bit: a difference of two 32-bit years, and no overflow in the remainder.
  const std::int64_t delta = std::int64_t{firstDate->year()} - year;
  if (yearIncrement_ == 0) return delta == 0;
  return delta % yearIncrement_ == 0;
}

std::string TOLMRepetitiveEvent::messageForDate(const TOLMDate& date) const {
  std::string text = message_;
  if (text.find('%') == std::string::npos) return text;
  if (firstDate) {
    const Difference since = difference(*firstDate, date);
    replaceAll(text, "%Y", since.years);
    replaceAll(text, "%M", since.months);
    replaceAll(text, "%D", since.days);
  }
  if (lastDate) {
    const Difference until = difference(date, *lastDate);
    replaceAll(text, "%y", until.years);
    replaceAll(text, "%m", until.months);
    replaceAll(text, "%d", until.days);
  }
  return text;
}

int TOLMRepetitiveEvent::compare(const TOLMRepetitiveEvent& other) const {
  const int c = name_.compare(other.name_);
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

int TOLMRepetitiveEvent::sortByTimeOfNot(const TOLMRepetitiveEvent& other) const {
  return timeOfNotification_.compareWithDate_atIndex(other.timeOfNotification_, 3);
}

void TOLMRepetitiveEvent::encodeWithCoder(TOLMArchiver& coder) const {
  coder.encodeObject(createNSNullIfNil(dateObject(firstDate)));
  coder.encodeObject(createNSNullIfNil(dateObject(lastDate)));
  coder.encodeObject(createNSNullIfNil(listObject(nthDaysOfWeek_)));
  coder.encodeObject(createNSNullIfNil(listObject(nthDaysOfMonth_)));
  coder.encodeObject(createNSNullIfNil(listObject(nthDaysOfYear_)));
  coder.encodeObject(createNSNullIfNil(listObject(nthWeeksOfMonth_)));
  coder.encodeObject(createNSNullIfNil(listObject(nthWeeksOfYear_)));
  coder.encodeObject(createNSNullIfNil(listObject(nthMonthsOfYear_)));
  coder.encodeObject(TOLMArchiveObject::string(message_));
  coder.encodeObject(TOLMArchiveObject::string(name_));
  coder.encodeObject(TOLMArchiveObject::record(std::make_shared<TOLMDate>(timeOfNotification_)));
  const std::int8_t withMessage = notifiesOfDateWithMessage ? 1 : 0;
  const std::int8_t withBeep = notifiesOfDateWithBeep_ ? 1 : 0;
  coder.encodeValueOfObjCType("c", &withMessage);
  coder.encodeValueOfObjCType("c", &withBeep);
  coder.encodeValueOfObjCType("i", &yearIncrement_);
}

bool TOLMRepetitiveEvent::decodeFields(TOLMUnarchiver& coder) {
  decodeDate(coder, firstDate, "firstDate");
  decodeDate(coder, lastDate, "lastDate");
  decodeList(coder, nthDaysOfWeek_, "nthDaysOfWeek");
  decodeList(coder, nthDaysOfMonth_, "nthDaysOfMonth");
  decodeList(coder, nthDaysOfYear_, "nthDaysOfYear");
  decodeList(coder, nthWeeksOfMonth_, "nthWeeksOfMonth");
  decodeList(coder, nthWeeksOfYear_, "nthWeeksOfYear");
  decodeList(coder, nthMonthsOfYear_, "nthMonthsOfYear");
  decodeString(coder, message_, "message");
  decodeString(coder, name_, "name");
  std::optional<TOLMDate> time;
  decodeDate(coder, time, "timeOfNotification");
  // None reads as the zero date, whose time of day is midnight like the default.
  timeOfNotification_ = time.value_or(TOLMDate::initZeroDate());
  std::int8_t withMessage = 0;
  std::int8_t withBeep = 0;
  coder.decodeValueOfObjCType("c", &withMessage);
  coder.decodeValueOfObjCType("c", &withBeep);
  coder.decodeValueOfObjCType("i", &yearIncrement_);
  notifiesOfDateWithMessage = withMessage != 0;
  notifiesOfDateWithBeep_ = withBeep != 0;
  return !coder.failed();
}

TOLMArchiveObject createNSNullIfNil(const TOLMArchiveObject& value) {
  return value.isNone() ? TOLMArchiveObject::null() : value;
}

TOLMArchiveObject nilIfNSNull(const TOLMArchiveObject& value) { return value.isNull() ? TOLMArchiveObject() : value; }

void easter(int year, int& month, int& day) {
  // Floor division keeps the arithmetic defined for any year; from 1583 on
  // every value is non-negative and this is the usual truncating form.
  const auto div = [](std::int64_t a, std::int64_t b) { return civil::floorDiv(a, b); };
  const auto mod = [&div](std::int64_t a, std::int64_t b) { return a - div(a, b) * b; };
  const std::int64_t y = year;
  const std::int64_t a = mod(y, 19);
  const std::int64_t b = div(y, 100);
  const std::int64_t c = mod(y, 100);
  const std::int64_t d = div(b, 4);
  const std::int64_t e = mod(b, 4);
  const std::int64_t f = div(b + 8, 25);
  const std::int64_t g = div(b - f + 1, 3);
  const std::int64_t h = mod(19 * a + b - d - g + 15, 30);
  const std::int64_t i = div(c, 4);
  const std::int64_t k = mod(c, 4);
  const std::int64_t l = mod(32 + 2 * e + 2 * i - h - k, 7);
  const std::int64_t m = div(a + 11 * h + 22 * l, 451);
  month = static_cast<int>(div(h + l - 7 * m + 114, 31));
  day = static_cast<int>(mod(h + l - 7 * m + 114, 31) + 1);
}
