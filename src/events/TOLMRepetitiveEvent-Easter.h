#pragma once

#include <memory>

#include "events/TOLMRepetitiveEvent.h"

// Easter Sunday, which no combination of lists expresses. The rule is fixed:
// the rule setters do nothing and the active window and year step are ignored.
class TOLMRepetitiveEvent_Easter : public TOLMRepetitiveEvent {
 public:
  using TOLMRepetitiveEvent::TOLMRepetitiveEvent;
  static std::shared_ptr<TOLMRepetitiveEvent_Easter> initWithName_message_firstDate_lastDate(
      std::string name, std::string message, std::optional<TOLMDate> firstDate, std::optional<TOLMDate> lastDate);
  // Null when the coder has failed.
  static std::shared_ptr<TOLMRepetitiveEvent_Easter> initWithCoder(TOLMUnarchiver& coder);

  void setDaysOfWeek_weeksOfMonth_monthsOfYear(OptionalList, OptionalList, OptionalList) override {}
  void setDaysOfWeek_weeksOfYear(OptionalList, OptionalList) override {}
  void setDaysOfMonth_monthsOfYear(OptionalList, OptionalList) override {}
  void setDaysOfYear(OptionalList) override {}

  // Easter Sunday of the Gregorian calendar, from 1583 on.
  bool eventOccursOnDate(const TOLMDate& date) const override;
  bool popUpsEditable() const override { return false; }

  std::string className() const override { return "TOLMRepetitiveEvent_Easter"; }

 private:
  TOLMRepetitiveEvent_Easter() = default;
};
