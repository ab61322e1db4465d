#include "platform/TOLMClockStepDetector.h"

#include <time.h>

#include <cmath>

namespace {
double seconds(clockid_t clock) {
  timespec ts{};
  clock_gettime(clock, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}
}  // namespace

double TOLMClockStepDetector::systemOffset() {
  return seconds(CLOCK_REALTIME) - seconds(CLOCK_MONOTONIC);
}

TOLMClockStepDetector::TOLMClockStepDetector(OffsetSource source, double tolerance)
    : source_(std::move(source)), tolerance_(tolerance), reference_(source_ ? source_() : 0.0) {}

bool TOLMClockStepDetector::check() {
  if (!source_) return false;
  const double offset = source_();
  // NTP slews by well under a millisecond a second, so a real step or a sleep
  // is what moves the offset past the tolerance between two looks.
  const bool moved = std::fabs(offset - reference_) > tolerance_;
  reference_ = offset;
  return moved;
}

void TOLMClockStepDetector::reset() {
  if (source_) reference_ = source_();
}

void TOLMClockStepDetector::setSource(OffsetSource source) {
  source_ = std::move(source);
  reset();
}
