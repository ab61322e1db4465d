#include "dates/TOLMLocalTime.h"

#include <algorithm>
#include <ctime>

namespace {

// Keeps tm_year (an int) and every intermediate value in range for any input.
constexpr std::int64_t kInstantLimit = std::int64_t{1} << 55;
constexpr std::int64_t kDay = 86400;

bool hasOffset(std::int64_t instant, std::int64_t offset) {
  return TOLMLocalTime::offsetAt(instant) == offset;
}

}  // namespace

std::int64_t TOLMLocalTime::offsetAt(std::int64_t instant) {
  const time_t t = static_cast<time_t>(std::clamp(instant, -kInstantLimit, kInstantLimit));
  tm fields{};
  if (localtime_r(&t, &fields) == nullptr) return 0;
  return fields.tm_gmtoff;
}

std::int64_t TOLMLocalTime::localSecondsForInstant(std::int64_t instant) {
  return instant + offsetAt(instant);
}

TOLMLocalTime::Resolution TOLMLocalTime::resolve(std::int64_t localSeconds) {
  // No offset is a day or more from another within two days, so the offsets a
  // day either side bracket every instant that can show this wall-clock time.
  const std::int64_t before = offsetAt(localSeconds - kDay);
  const std::int64_t after = offsetAt(localSeconds + kDay);
  if (before == after) {
    const std::int64_t t = localSeconds - before;
    if (hasOffset(t, before)) return {t, true};
  }
  const std::int64_t early = localSeconds - std::max(before, after);
  const std::int64_t late = localSeconds - std::min(before, after);
  const bool earlyValid = hasOffset(early, std::max(before, after));
  const bool lateValid = hasOffset(late, std::min(before, after));
  if (earlyValid) return {early, true};
  if (lateValid) return {late, true};

  // A gap: the offset changes between early and late; the first instant with
  // the new offset is the first one after the gap.
  std::int64_t lo = std::min(early, late);
  std::int64_t hi = std::max(early, late);
  const std::int64_t loOffset = offsetAt(lo);
  while (hi - lo > 1) {
    const std::int64_t mid = lo + (hi - lo) / 2;
    if (offsetAt(mid) == loOffset) {
      lo = mid;
    } else {
      hi = mid;
    }
  }
  return {hi, false};
}
