#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "alarms/TOLMAlarm.h"
#include "dates/TOLMClock.h"
#include "dates/TOLMDate.h"

// Small builders shared by the alarm and event rule tests.
namespace rules_test {

using Fields = std::array<std::int32_t, 6>;

inline TOLMDate at(std::int32_t y, std::int32_t mo, std::int32_t d, std::int32_t h = 0, std::int32_t mi = 0,
                   std::int32_t s = 0) {
  const std::int32_t f[6] = {y, mo, d, h, mi, s};
  return TOLMDate::initWithIntArray(f);
}

inline TOLMDate timeOfDay(std::int32_t h, std::int32_t mi, std::int32_t s = 0) { return at(0, 0, 0, h, mi, s); }

inline Fields fieldsOf(const TOLMDate& d) {
  Fields f;
  for (int i = 0; i < 6; ++i) f[static_cast<std::size_t>(i)] = d.arrayReference()[i];
  return f;
}

inline std::string text(const TOLMDate& d) {
  const Fields f = fieldsOf(d);
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", f[0], f[1], f[2], f[3], f[4], f[5]);
  return buffer;
}

inline std::vector<std::string> texts(const std::vector<TOLMDate>& dates) {
  std::vector<std::string> out;
  for (const TOLMDate& d : dates) out.push_back(text(d));
  return out;
}

inline std::string text(const std::optional<TOLMDate>& d) { return d ? text(*d) : std::string("none"); }

// The instant of a UTC date-time, computed apart from the code under test.
inline double utc(std::int64_t y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
  const std::int64_t yy = y - (mo <= 2 ? 1 : 0);
  const std::int64_t era = (yy >= 0 ? yy : yy - 399) / 400;
  const std::int64_t yoe = yy - era * 400;
  const std::int64_t doy = (153 * ((mo + 9) % 12) + 2) / 5 + d - 1;
  const std::int64_t days = era * 146097 + yoe * 365 + yoe / 4 - yoe / 100 + doy - 719468;
  return static_cast<double>(days * 86400 + h * 3600 + mi * 60 + s);
}

// An alarm with nothing on: each test switches on what it exercises.
inline std::shared_ptr<TOLMAlarm> blankAlarm() {
  auto alarm = std::make_shared<TOLMAlarm>();
  alarm->setSpecificFireEnabled(false);
  alarm->setSetEnabled(false);
  return alarm;
}

// months: 1..12; weekdays: 0 Sunday .. 6 Saturday.
inline void selectSet(TOLMAlarm& alarm, std::initializer_list<int> months, std::initializer_list<int> weekdays,
                      std::vector<TOLMDate> times) {
  std::int32_t m[12] = {};
  std::int32_t d[7] = {};
  for (int month : months) m[month - 1] = 1;
  for (int weekday : weekdays) d[weekday] = 1;
  alarm.setMonths(m);
  alarm.setDays(d);
  alarm.setSetTimes(std::move(times));
  alarm.setSetEnabled(true);
}

inline const std::initializer_list<int> kAllMonths = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
inline const std::initializer_list<int> kAllWeekdays = {0, 1, 2, 3, 4, 5, 6};

// Installs a clock for the lifetime of the object, as a run loop does.
class ClockScope {
 public:
  explicit ClockScope(double start) : now_(std::make_shared<double>(start)) {
    std::shared_ptr<double> now = now_;
    TOLMClock::setSource([now] { return *now; });
  }
  ~ClockScope() { TOLMClock::setSource({}); }
  ClockScope(const ClockScope&) = delete;
  ClockScope& operator=(const ClockScope&) = delete;
  void set(double instant) { *now_ = instant; }
  double now() const { return *now_; }

 private:
  std::shared_ptr<double> now_;
};

}  // namespace rules_test
