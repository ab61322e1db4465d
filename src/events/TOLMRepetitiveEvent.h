#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "archive/TOLMArchiveObject.h"
#include "archive/TOLMCoding.h"
#include "dates/TOLMDate.h"

class TOLMUnarchiver;

// A holiday, birthday or anniversary: a date rule over weekdays, weeks, days
// and months with an active window and a year step, a message with year,
// month and day counters, and how and when the user is notified.
//
// Which of the six lists are present decides the kind of rule; a list that is
// present but empty matches nothing, which differs from an absent one.
class TOLMRepetitiveEvent : public TOLMCoding {
 public:
  using List = std::vector<std::int32_t>;
  using OptionalList = std::optional<List>;

  // initWithName:message:firstDate:lastDate: no lists (occurs on no day), both
  // notifications off, year step 1, notified at midnight.
  TOLMRepetitiveEvent(std::string name, std::string message, std::optional<TOLMDate> firstDate,
                      std::optional<TOLMDate> lastDate);
  static std::shared_ptr<TOLMRepetitiveEvent> initWithName_message_firstDate_lastDate(
      std::string name, std::string message, std::optional<TOLMDate> firstDate, std::optional<TOLMDate> lastDate);
  // Null when the coder has failed.
  static std::shared_ptr<TOLMRepetitiveEvent> initWithCoder(TOLMUnarchiver& coder);

  const std::string& name() const { return name_; }
  void setName(std::string value) { name_ = std::move(value); }
  const std::string& message() const { return message_; }
  void setMessage(std::string value) { message_ = std::move(value); }
  const std::optional<TOLMDate>& firstActiveDate() const { return firstDate; }
  void setFirstActiveDate(std::optional<TOLMDate> value) { firstDate = std::move(value); }
  const std::optional<TOLMDate>& lastActiveDate() const { return lastDate; }
  void setLastActiveDate(std::optional<TOLMDate> value) { lastDate = std::move(value); }
  const TOLMDate& timeOfNotification() const { return timeOfNotification_; }
  void setTimeOfNotification(const TOLMDate& value) { timeOfNotification_ = value; }
  bool notifiesOfEventWithMessage() const { return notifiesOfDateWithMessage; }
  void setNotifiesOfEventWithMessage(bool value) { notifiesOfDateWithMessage = value; }
  bool notifiesOfDateWithBeep() const { return notifiesOfDateWithBeep_; }
  void setNotifiesOfDateWithBeep(bool value) { notifiesOfDateWithBeep_ = value; }
  std::int32_t yearIncrement() const { return yearIncrement_; }
  // -1 means no step was entered: every year, as 1.
  void setYearIncremenet(std::int32_t value) { yearIncrement_ = value; }

  const OptionalList& nthDaysOfWeek() const { return nthDaysOfWeek_; }
  const OptionalList& nthDaysOfMonth() const { return nthDaysOfMonth_; }
  const OptionalList& nthDaysOfYear() const { return nthDaysOfYear_; }
  const OptionalList& nthWeeksOfMonth() const { return nthWeeksOfMonth_; }
  const OptionalList& nthWeeksOfYear() const { return nthWeeksOfYear_; }
  const OptionalList& nthMonthsOfYear() const { return nthMonthsOfYear_; }

  // Each replaces the whole rule: all six lists absent, then the given ones.
  virtual void setDaysOfWeek_weeksOfMonth_monthsOfYear(OptionalList daysOfWeek, OptionalList weeksOfMonth,
                                                       OptionalList monthsOfYear);
  virtual void setDaysOfWeek_weeksOfYear(OptionalList daysOfWeek, OptionalList weeksOfYear);
  virtual void setDaysOfMonth_monthsOfYear(OptionalList daysOfMonth, OptionalList monthsOfYear);
  virtual void setDaysOfYear(OptionalList daysOfYear);

  // Whether the event falls on the calendar day of date (window bounds compared
  // down to the second, both inclusive).
  virtual bool eventOccursOnDate(const TOLMDate& date) const;
  // The message with %Y %M %D (since the first active date) and %y %m %d (until
  // the last) filled in for date; a counter whose date is absent stays as typed.
  std::string messageForDate(const TOLMDate& date) const;
  // Ordinal, case-sensitive order of the names: -1, 0 or 1.
  int compare(const TOLMRepetitiveEvent& other) const;
  // Order of the notification times of day: -1, 0 or 1.
  int sortByTimeOfNot(const TOLMRepetitiveEvent& other) const;
  // Whether the rule and the year fields may be edited.
  virtual bool popUpsEditable() const { return true; }

  std::string className() const override { return "TOLMRepetitiveEvent"; }
  void encodeWithCoder(TOLMArchiver& coder) const override;

 protected:
  TOLMRepetitiveEvent() = default;
  // Reads the 14 values into this event; false when the coder has failed.
  bool decodeFields(TOLMUnarchiver& coder);

 private:
  void clearRule();

  std::optional<TOLMDate> firstDate;
  std::optional<TOLMDate> lastDate;
  OptionalList nthDaysOfWeek_;
  OptionalList nthDaysOfMonth_;
  OptionalList nthDaysOfYear_;
  OptionalList nthWeeksOfMonth_;
  OptionalList nthWeeksOfYear_;
  OptionalList nthMonthsOfYear_;
  std::int32_t yearIncrement_ = 1;
  std::string message_;
  std::string name_;
  bool notifiesOfDateWithMessage = false;
  bool notifiesOfDateWithBeep_ = false;
  TOLMDate timeOfNotification_;
};

// The null object for none, anything else unchanged (absent fields in archives).
TOLMArchiveObject createNSNullIfNil(const TOLMArchiveObject& value);
// None for the null object, anything else unchanged.
TOLMArchiveObject nilIfNSNull(const TOLMArchiveObject& value);
// Gregorian Easter Sunday of year.
void easter(int year, int& month, int& day);
