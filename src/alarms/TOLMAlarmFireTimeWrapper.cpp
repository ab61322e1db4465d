#include "alarms/TOLMAlarmFireTimeWrapper.h"

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
// fields name the first pass, which would put every timer an hour late. The
// fraction of the current second counts too, or a timer armed late in a second
// would ring up to a second after its time.
double TOLMAlarmFireTimeWrapper::timeTillFire() const {
  const double remaining = alarmFireDate_.getDate() - TOLMClock::now();
  return max(remaining, 0.0);
}
