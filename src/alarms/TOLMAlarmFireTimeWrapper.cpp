#include "alarms/TOLMAlarmFireTimeWrapper.h"

#include <cmath>

#include "alarms/TOLMAlarmFireDates.h"
#include "dates/TOLMClock.h"

TOLMAlarmFireTimeWrapper::TOLMAlarmFireTimeWrapper(std::shared_ptr<TOLMAlarm> alarm, const TOLMDate& fireTime)
    : alarm_(std::move(alarm)), alarmFireDate_(fireTime) {}

std::shared_ptr<TOLMAlarmFireTimeWrapper> TOLMAlarmFireTimeWrapper::wrapperForAlarm_fireTime(
    std::shared_ptr<TOLMAlarm> alarm, const TOLMDate& fireTime) {
  return std::make_shared<TOLMAlarmFireTimeWrapper>(std::move(alarm), fireTime);
}

int TOLMAlarmFireTimeWrapper::compareWithWrapper(const TOLMAlarmFireTimeWrapper& other) const {
  return alarmFireDate_.compareWithDate(other.alarmFireDate_);
}

// Measured against the clock's instant itself, not against the current time
// turned into fields and back: in the second pass of a repeated hour those
// fields name the first pass, which would put every timer an hour late.
double TOLMAlarmFireTimeWrapper::timeTillFire() const {
  const double remaining = alarmFireDate_.getDate() - std::floor(TOLMClock::now());
  return max(remaining, 0.0);
}
