#pragma once

#include <memory>

#include "alarms/TOLMAlarm.h"
#include "dates/TOLMDate.h"

// An alarm with one of its fire times; used to arm every alarm-like timer.
class TOLMAlarmFireTimeWrapper {
 public:
  TOLMAlarmFireTimeWrapper(std::shared_ptr<TOLMAlarm> alarm, const TOLMDate& fireTime);  // initForAlarm:fireTime:
  static std::shared_ptr<TOLMAlarmFireTimeWrapper> wrapperForAlarm_fireTime(std::shared_ptr<TOLMAlarm> alarm,
                                                                             const TOLMDate& fireTime);

  const std::shared_ptr<TOLMAlarm>& alarm() const { return alarm_; }
  const TOLMDate& alarmFireDate() const { return alarmFireDate_; }
  int compareWithWrapper(const TOLMAlarmFireTimeWrapper& other) const;
  // Seconds from now (TOLMClock) until the fire time; never negative.
  double timeTillFire() const;

 private:
  std::shared_ptr<TOLMAlarm> alarm_;
  TOLMDate alarmFireDate_;
};
