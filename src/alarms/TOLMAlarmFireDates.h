#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "alarms/TOLMAlarm.h"
#include "alarms/TOLMAlarmFireTimeWrapper.h"
#include "dates/TOLMDate.h"

// The fire-time computation: stateless class operations over alarm records.
class TOLMAlarmFireDates {
 public:
  using Wrappers = std::vector<std::shared_ptr<TOLMAlarmFireTimeWrapper>>;
  using Alarms = std::vector<std::shared_ptr<TOLMAlarm>>;

  // At most count wrappers, ascending by fire time.
  static Wrappers nearestFireWrappersForAlarms_count_date(const Alarms& alarms, int count, const TOLMDate& start);
  // At most count fire times of one alarm, ascending.
  static std::vector<TOLMDate> nearestFiresAfterDate_ForAlarm_count(const TOLMDate& start, const TOLMAlarm& alarm,
                                                                    int count);
  static std::optional<TOLMDate> nearestSpecificFireForAlarm_afterDate(const TOLMAlarm& alarm, const TOLMDate& start);
  static std::optional<TOLMDate> nearestSetFireForAlarm_afterDate(const TOLMAlarm& alarm, const TOLMDate& start);
  static std::optional<TOLMDate> nextSetDateForAlarm_afterDate(const TOLMAlarm& alarm, const TOLMDate& start);
  // candidate: six fields, changed in place.
  static bool fixDate_forAlarm_afterDate_atDateIndex(std::int32_t* candidate, const TOLMAlarm& alarm,
                                                     const TOLMDate& start, int index);
  static std::optional<TOLMDate> nearestPeriodicFireForAlarm_afterDate(const TOLMAlarm& alarm, const TOLMDate& start);
  static std::optional<TOLMDate> compareDatesA_B_C(const std::optional<TOLMDate>& a, const std::optional<TOLMDate>& b,
                                                   const std::optional<TOLMDate>& c);
};

int sumArray(const std::int32_t* array, int count);
int min(int a, int b);
double max(double a, double b);
