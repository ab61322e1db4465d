#include "alarms/TOLMAlarmFireDates.h"

#include <algorithm>
#include <limits>

#include "alarms/TOLMLocalTimeCache.h"
#include "dates/TOLMCivilCalendar.h"

namespace {

namespace civil = TOLMCivilCalendar;

constexpr std::int64_t kMaxYear = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t kMinYear = std::numeric_limits<std::int32_t>::min();
// Instants and intervals beyond this lie far outside any 32-bit year; refusing
// them keeps every sum and product of the periodic search exact in 64 bits.
constexpr std::int64_t kSecondsLimit = std::int64_t{1} << 58;

// Raw field order, as TOLMDate compares (inlined: it runs in the inner loops).
int compareFields(const std::int32_t* a, const std::int32_t* b) {
  for (int i = 0; i < 6; ++i) {
    if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
  }
  return 0;
}

int compareDates(const TOLMDate& a, const TOLMDate& b) { return compareFields(a.arrayReference(), b.arrayReference()); }

bool fieldsInRange(const std::int32_t* f) {
  return f[1] >= 1 && f[1] <= 12 && f[2] >= 1 && f[2] <= civil::daysInMonth(f[0], f[1]) && f[3] >= 0 &&
         f[3] <= 23 && f[4] >= 0 && f[4] <= 59 && f[5] >= 0 && f[5] <= 59;
}

// The civil fields of wall-clock seconds; false when the year leaves 32 bits.
bool fieldsOfLocalSeconds(std::int64_t local, std::int32_t* out) {
  const civil::ClockFields c = civil::clockFieldsOfLocalSeconds(local);
  if (c.date.year < kMinYear || c.date.year > kMaxYear) return false;
  civil::writeFields(c, out);
  return true;
}

// Copies fields, carrying them into range first when needed.
bool normalisedFields(const std::int32_t* in, std::int32_t* out) {
  if (fieldsInRange(in)) {
    std::copy(in, in + 6, out);
    return true;
  }
  return fieldsOfLocalSeconds(civil::localSecondsOfFields(in), out);
}

// The next start after a fire: one wall-clock second later. Counted on the
// fields rather than on the time line, so the starts only ever move forward in
// field order (through a repeated hour as much as anywhere else).
std::optional<TOLMDate> secondAfter(const TOLMDate& date) {
  const std::int32_t* f = date.arrayReference();
  std::int32_t next[6] = {f[0], f[1], f[2], f[3], f[4], f[5]};
  if (!fieldsInRange(f) || f[5] == 59) {
    if (!fieldsOfLocalSeconds(civil::localSecondsOfFields(f) + 1, next)) return std::nullopt;
  } else {
    ++next[5];
  }
  return TOLMDate::initWithIntArray(next);
}

// A fire time names exactly one instant. A wall-clock time skipped by a forward
// change becomes the first second after the gap (the instant it resolves to);
// fields out of range are carried. A time that occurs twice names its first
// occurrence and stays as it is.
TOLMDate fireTimeFor(const TOLMDate& date, TOLMLocalTimeCache& zone) {
  const std::int32_t* f = date.arrayReference();
  const TOLMLocalTime::Resolution r = zone.resolve(civil::localSecondsOfFields(f));
  if (r.exists && fieldsInRange(f)) return date;
  return TOLMDate::initWithLocalSeconds(zone.localSecondsForInstant(r.instant));
}

// The date of an instant on the periodic time line. An instant in the second
// pass of a repeated hour has no fields of its own (its fields name the first
// pass, an hour earlier), so it moves to the first later instant that its
// fields name: the end of the repeated hour. Never earlier than the instant.
TOLMDate dateOfInstant(std::int64_t instant, TOLMLocalTimeCache& zone) {
  const auto named = [&zone](std::int64_t t) { return zone.resolve(zone.localSecondsForInstant(t)).instant; };
  const std::int64_t first = named(instant);
  if (first < instant) {
    std::int64_t bad = instant;
    std::int64_t good = instant + (instant - first);
    for (int widen = 0; named(good) != good && widen < 8; ++widen) {
      bad = good;
      good += instant - first;
    }
    while (good - bad > 1) {
      const std::int64_t mid = bad + (good - bad) / 2;
      if (named(mid) == mid) {
        good = mid;
      } else {
        bad = mid;
      }
    }
    instant = good;
  }
  return TOLMDate::initWithLocalSeconds(zone.localSecondsForInstant(instant));
}

// What the set kind selects, read once per search.
class SetRule {
 public:
  explicit SetRule(const TOLMAlarm& alarm) : times_(alarm.setTimes()) {
    for (int i = 0; i < 12; ++i) {
      months_[i] = alarm.months()[i] != 0;
      anyMonth_ = anyMonth_ || months_[i];
    }
    for (int i = 0; i < 7; ++i) {
      days_[i] = alarm.days()[i] != 0;
      anyDay_ = anyDay_ || days_[i];
    }
    for (const TOLMDate& t : times_) {
      const int s = secondOfDay(t);
      if (s >= 0 && (earliest_ < 0 || s < earliest_)) earliest_ = s;
    }
  }

  // Some month, some weekday and some valid time of day: every walk ends.
  bool selectsAnything() const { return anyMonth_ && anyDay_ && earliest_ >= 0; }
  bool month(int m) const { return months_[m - 1]; }
  bool weekday(int w) const { return days_[w]; }

  // Second of the day of the earliest time that puts day (y, m, d) at or after
  // the start, or -1. Unsorted lists are fine: the earliest qualifying time wins.
  int timeOnDay(std::int64_t y, int m, int d, const std::int32_t* start) const {
    const int c = y != start[0] ? (y < start[0] ? -1 : 1) : m != start[1] ? (m < start[1] ? -1 : 1)
                                                        : d != start[2] ? (d < start[2] ? -1 : 1) : 0;
    if (c > 0) return earliest_;
    if (c < 0) return -1;
    const int from = start[3] * 3600 + start[4] * 60 + start[5];
    int best = -1;
    for (const TOLMDate& t : times_) {
      const int s = secondOfDay(t);
      if (s >= from && (best < 0 || s < best)) best = s;
    }
    return best;
  }

 private:
  // A time of day outside 0:00:00 to 23:59:59 matches no day.
  static int secondOfDay(const TOLMDate& t) {
    if (t.hour() < 0 || t.hour() > 23 || t.minute() < 0 || t.minute() > 59 || t.second() < 0 || t.second() > 59) {
      return -1;
    }
    return t.hour() * 3600 + t.minute() * 60 + t.second();
  }

  const std::vector<TOLMDate>& times_;
  bool months_[12] = {};
  bool days_[7] = {};
  bool anyMonth_ = false;
  bool anyDay_ = false;
  int earliest_ = -1;
};

// The month, weekday and time walk, entered at a field index: 0 year, 1 month,
// 2 day, 3 time. Iterative, with the weekday carried from day to day.
bool walkSet(std::int32_t* candidate, const SetRule& rule, const std::int32_t* start, int index) {
  if (index < 0 || index > 3 || !rule.selectsAnything()) return false;
  std::int32_t c[6];
  if (!normalisedFields(candidate, c)) return false;
  std::int64_t y = c[0];
  int m = c[1];
  int d = c[2];
  int weekday = -1;
  int state = index;
  // Far more than the longest walk (a month of days, a year of months, a week).
  for (int step = 0; step < 4096; ++step) {
    switch (state) {
      case 0:
        state = 1;
        break;
      case 1:
        if (m > 12) {
          if (y >= kMaxYear) return false;
          ++y;
          m = 1;
          d = 1;
          weekday = -1;
          state = 0;
        } else if (!rule.month(m)) {
          ++m;
          d = 1;
          weekday = -1;
        } else {
          state = 2;
        }
        break;
      case 2:
        if (d > civil::daysInMonth(y, m)) {
          ++m;
          d = 1;
          weekday = -1;
          state = 1;
        } else {
          if (weekday < 0) weekday = civil::weekday(y, m, d);
          if (!rule.weekday(weekday)) {
            ++d;
            weekday = (weekday + 1) % 7;
          } else {
            state = 3;
          }
        }
        break;
      default: {
        const int s = rule.timeOnDay(y, m, d, start);
        if (s >= 0) {
          candidate[0] = static_cast<std::int32_t>(y);
          candidate[1] = m;
          candidate[2] = d;
          candidate[3] = s / 3600;
          candidate[4] = s / 60 % 60;
          candidate[5] = s % 60;
          return true;
        }
        ++d;
        if (weekday >= 0) weekday = (weekday + 1) % 7;
        state = 2;
        break;
      }
    }
  }
  return false;
}

std::optional<TOLMDate> nextSetDate(const TOLMDate& start, const SetRule& rule) {
  std::int32_t from[6];
  if (!normalisedFields(start.arrayReference(), from)) return std::nullopt;
  std::int32_t candidate[6];
  std::copy(from, from + 6, candidate);
  if (!walkSet(candidate, rule, from, 0)) return std::nullopt;
  return TOLMDate::initWithIntArray(candidate);
}

// Kind 1. With orAtStart, a date equal to start counts too: after a fire the
// search goes on from the second after it, and a date in that very second must
// not be lost.
std::optional<TOLMDate> specificFire(const TOLMAlarm& alarm, const TOLMDate& start, bool orAtStart,
                                     TOLMLocalTimeCache& zone) {
  const TOLMDate* best = nullptr;
  for (const TOLMDate& d : alarm.specificFireDates()) {
    const int c = compareDates(d, start);
    if (c < 0 || (c == 0 && !orAtStart)) continue;
    if (alarm.fireBeforeIsEnabled() && compareDates(d, alarm.fireBeforeDate()) > 0) continue;
    if (alarm.fireAfterIsEnabled() && compareDates(d, alarm.fireAfterDate()) < 0) continue;
    if (best == nullptr || compareDates(d, *best) < 0) best = &d;
  }
  if (best == nullptr) return std::nullopt;
  return fireTimeFor(*best, zone);
}

// Kind 2.
std::optional<TOLMDate> setFire(const TOLMAlarm& alarm, const SetRule& rule, const TOLMDate& start,
                                TOLMLocalTimeCache& zone) {
  if (!rule.selectsAnything()) return std::nullopt;
  const TOLMDate& from =
      alarm.fireAfterIsEnabled() && compareDates(alarm.fireAfterDate(), start) > 0 ? alarm.fireAfterDate() : start;
  const std::optional<TOLMDate> r = nextSetDate(from, rule);
  if (!r) return std::nullopt;
  if (alarm.fireBeforeIsEnabled() && compareDates(alarm.fireBeforeDate(), *r) < 0) return std::nullopt;
  return fireTimeFor(*r, zone);
}

// Kind 3 as one search needs it: the interval and the reference instant,
// worked out once.
struct PeriodicRule {
  bool usable = false;
  std::int64_t interval = 0;
  std::int64_t reference = 0;

  PeriodicRule(const TOLMAlarm& alarm, TOLMLocalTimeCache& zone) {
    // The interval's convertToSeconds (seconds from the zero date-time to its
    // fields), with the zone offsets taken from the cache.
    static constexpr std::int32_t kZero[6] = {0, 0, 0, 0, 0, 0};
    interval = zone.resolve(civil::localSecondsOfFields(alarm.intervalDate().arrayReference())).instant -
               zone.resolve(civil::localSecondsOfFields(kZero)).instant;
    reference = zone.resolve(civil::localSecondsOfFields(alarm.referenceDate().arrayReference())).instant;
    usable = interval != 0 && std::llabs(interval) < kSecondsLimit && std::llabs(reference) < kSecondsLimit;
  }
};

// Kind 3, on the time line: reference + n x interval, n the first whole number
// whose point is not before the start. Exact integer seconds throughout.
std::optional<TOLMDate> periodicFire(const TOLMAlarm& alarm, const PeriodicRule& rule, const TOLMDate& start,
                                     TOLMLocalTimeCache& zone) {
  if (!rule.usable) return std::nullopt;
  const TOLMDate& from =
      alarm.fireAfterIsEnabled() && compareDates(alarm.fireAfterDate(), start) > 0 ? alarm.fireAfterDate() : start;
  const std::int64_t a = zone.resolve(civil::localSecondsOfFields(from.arrayReference())).instant;
  if (std::llabs(a) >= kSecondsLimit) return std::nullopt;
  const std::int64_t r = rule.reference;
  const std::int64_t interval = rule.interval;
  std::int64_t n = civil::floorDiv(a - r, interval);
  if (n * interval + r < a) ++n;
  if (n != 1 && alarm.singleFireEnabled()) return std::nullopt;
  TOLMDate result = dateOfInstant(r + n * interval, zone);
  if (alarm.fireBeforeIsEnabled() && compareDates(alarm.fireBeforeDate(), result) < 0) return std::nullopt;
  return result;
}

// The earliest slot; ties go to the lower kind.
int earliestSlot(const std::optional<TOLMDate>* slots) {
  int best = -1;
  for (int k = 0; k < 3; ++k) {
    if (slots[k] && (best < 0 || compareDates(*slots[k], *slots[best]) < 0)) best = k;
  }
  return best;
}

// Up to count fire times of one alarm in ascending order, handed to sink.
template <class Sink>
void firesOf(const TOLMDate& start, const TOLMAlarm& alarm, int count, TOLMLocalTimeCache& zone, Sink&& sink) {
  if (count <= 0 || !alarm.alarmIsEnabled()) return;
  bool on[3] = {alarm.specificFireEnabled(), alarm.setIsEnabled(),
                alarm.multipleFireEnabled() || alarm.singleFireEnabled()};
  const std::optional<SetRule> setRule = on[1] ? std::optional<SetRule>(std::in_place, alarm) : std::nullopt;
  const std::optional<PeriodicRule> periodicRule =
      on[2] ? std::optional<PeriodicRule>(std::in_place, alarm, zone) : std::nullopt;
  std::optional<TOLMDate> slots[3];
  TOLMDate from = start;
  bool afterFire = false;
  for (int i = 0; i < count; ++i) {
    if (on[0] && !slots[0]) slots[0] = specificFire(alarm, from, afterFire, zone);
    if (on[1] && !slots[1]) slots[1] = setFire(alarm, *setRule, from, zone);
    if (on[2] && !slots[2]) slots[2] = periodicFire(alarm, *periodicRule, from, zone);
    // A kind that finds nothing finds nothing from any later start either,
    // except the single fire, which waits for the start to pass its reference.
    if (!slots[0]) on[0] = false;
    if (!slots[1]) on[1] = false;
    if (!slots[2] && !alarm.singleFireEnabled()) on[2] = false;
    const int k = earliestSlot(slots);
    if (k < 0) return;
    const TOLMDate fire = *slots[k];
    slots[k].reset();
    sink(fire);
    const std::optional<TOLMDate> next = secondAfter(fire);
    if (!next) return;
    from = *next;
    afterFire = true;
  }
}

}  // namespace

TOLMAlarmFireDates::Wrappers TOLMAlarmFireDates::nearestFireWrappersForAlarms_count_date(const Alarms& alarms,
                                                                                        int count,
                                                                                        const TOLMDate& start) {
  if (count <= 0) return {};
  TOLMLocalTimeCache& zone = TOLMLocalTimeCache::current();
  struct Candidate {
    TOLMDate fire;
    std::uint64_t order;  // alarm order, then fire order: equal fire times stay in list order
    std::size_t alarm;
  };
  const auto before = [](const Candidate& a, const Candidate& b) {
    const int c = compareDates(a.fire, b.fire);
    return c != 0 ? c < 0 : a.order < b.order;
  };
  // Up to three fire times per alarm, of which only the first count overall are
  // kept (a max-heap of the best so far). An alarm's j-th fire has j of its own
  // before it, so beyond the count-th it can never be among them.
  const std::size_t wanted = static_cast<std::size_t>(count);
  const int perAlarm = std::min(count, 3);
  std::vector<Candidate> best;
  best.reserve(std::min<std::size_t>(wanted, alarms.size() * 3) + 1);
  std::uint64_t order = 0;
  for (std::size_t i = 0; i < alarms.size(); ++i) {
    if (!alarms[i]) continue;
    firesOf(start, *alarms[i], perAlarm, zone, [&](const TOLMDate& fire) {
      Candidate candidate{fire, order++, i};
      if (best.size() < wanted) {
        best.push_back(std::move(candidate));
        std::push_heap(best.begin(), best.end(), before);
      } else if (before(candidate, best.front())) {
        std::pop_heap(best.begin(), best.end(), before);
        best.back() = std::move(candidate);
        std::push_heap(best.begin(), best.end(), before);
      }
    });
  }
  std::sort_heap(best.begin(), best.end(), before);
  Wrappers result;
  result.reserve(best.size());
  for (const Candidate& c : best) result.push_back(TOLMAlarmFireTimeWrapper::wrapperForAlarm_fireTime(alarms[c.alarm], c.fire));
  return result;
}

std::vector<TOLMDate> TOLMAlarmFireDates::nearestFiresAfterDate_ForAlarm_count(const TOLMDate& start,
                                                                              const TOLMAlarm& alarm, int count) {
  std::vector<TOLMDate> result;
  if (count <= 0) return result;
  result.reserve(static_cast<std::size_t>(std::min(count, 64)));
  firesOf(start, alarm, count, TOLMLocalTimeCache::current(), [&](const TOLMDate& fire) { result.push_back(fire); });
  return result;
}

std::optional<TOLMDate> TOLMAlarmFireDates::nearestSpecificFireForAlarm_afterDate(const TOLMAlarm& alarm,
                                                                                 const TOLMDate& start) {
  return specificFire(alarm, start, false, TOLMLocalTimeCache::current());
}

std::optional<TOLMDate> TOLMAlarmFireDates::nearestSetFireForAlarm_afterDate(const TOLMAlarm& alarm,
                                                                            const TOLMDate& start) {
  return setFire(alarm, SetRule(alarm), start, TOLMLocalTimeCache::current());
}

std::optional<TOLMDate> TOLMAlarmFireDates::nextSetDateForAlarm_afterDate(const TOLMAlarm& alarm,
                                                                         const TOLMDate& start) {
  return nextSetDate(start, SetRule(alarm));
}

bool TOLMAlarmFireDates::fixDate_forAlarm_afterDate_atDateIndex(std::int32_t* candidate, const TOLMAlarm& alarm,
                                                               const TOLMDate& start, int index) {
  if (candidate == nullptr) return false;
  std::int32_t from[6];
  if (!normalisedFields(start.arrayReference(), from)) return false;
  return walkSet(candidate, SetRule(alarm), from, index);
}

std::optional<TOLMDate> TOLMAlarmFireDates::nearestPeriodicFireForAlarm_afterDate(const TOLMAlarm& alarm,
                                                                                  const TOLMDate& start) {
  TOLMLocalTimeCache& zone = TOLMLocalTimeCache::current();
  return periodicFire(alarm, PeriodicRule(alarm, zone), start, zone);
}

std::optional<TOLMDate> TOLMAlarmFireDates::compareDatesA_B_C(const std::optional<TOLMDate>& a,
                                                             const std::optional<TOLMDate>& b,
                                                             const std::optional<TOLMDate>& c) {
  const std::optional<TOLMDate> slots[3] = {a, b, c};
  const int k = earliestSlot(slots);
  if (k < 0) return std::nullopt;
  return slots[k];
}

int sumArray(const std::int32_t* array, int count) {
  if (array == nullptr) return 0;
  std::int64_t sum = 0;
  for (int i = 0; i < count; ++i) sum += array[i];
  return static_cast<int>(std::clamp<std::int64_t>(sum, std::numeric_limits<int>::min(),
                                                   std::numeric_limits<int>::max()));
}

int min(int a, int b) { return a < b ? a : b; }

double max(double a, double b) { return a > b ? a : b; }
