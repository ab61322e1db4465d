#include "events/TOLMRepetitiveEvent-Easter.h"

#include "dates/TOLMCivilCalendar.h"

std::shared_ptr<TOLMRepetitiveEvent_Easter> TOLMRepetitiveEvent_Easter::initWithName_message_firstDate_lastDate(
    std::string name, std::string message, std::optional<TOLMDate> firstDate, std::optional<TOLMDate> lastDate) {
  return std::make_shared<TOLMRepetitiveEvent_Easter>(std::move(name), std::move(message), std::move(firstDate),
                                                      std::move(lastDate));
}

std::shared_ptr<TOLMRepetitiveEvent_Easter> TOLMRepetitiveEvent_Easter::initWithCoder(TOLMUnarchiver& coder) {
  std::shared_ptr<TOLMRepetitiveEvent_Easter> event(new TOLMRepetitiveEvent_Easter());
  if (!event->decodeFields(coder)) return nullptr;
  return event;
}

bool TOLMRepetitiveEvent_Easter::eventOccursOnDate(const TOLMDate& date) const {
  int year = date.year();
  int month = date.month();
  int day = date.day();
  // The calendar day the fields name, should they be out of range.
  if (month < 1 || month > 12 || day < 1 || day > TOLMCivilCalendar::daysInMonth(year, month)) {
    const std::int64_t months = std::int64_t{month} - 1;
    const std::int64_t carry = TOLMCivilCalendar::floorDiv(months, 12);
    const std::int64_t number =
        TOLMCivilCalendar::daysFromCivil(std::int64_t{year} + carry, static_cast<int>(months - carry * 12 + 1), 1) +
        day - 1;
    const TOLMCivilCalendar::Civil c = TOLMCivilCalendar::civilFromDays(number);
    if (c.year < 1583 || c.year > 2147483647) return false;
    year = static_cast<int>(c.year);
    month = c.month;
    day = c.day;
  }
  if (year <= 1582) return false;
  if (month <= 2 || month > 4) return false;
  int easterMonth = 0;
  int easterDay = 0;
  easter(year, easterMonth, easterDay);
  return month == easterMonth && day == easterDay;
}
