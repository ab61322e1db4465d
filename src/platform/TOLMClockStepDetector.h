#pragma once

#include <functional>

// Notices the wall clock moving against the monotonic clock since the last
// look: the clock was set, or the machine slept (the monotonic clock stands
// still during suspend while the wall clock runs on).
class TOLMClockStepDetector {
 public:
  // Seconds by which the wall clock is ahead of the monotonic clock.
  using OffsetSource = std::function<double()>;

  // CLOCK_REALTIME minus CLOCK_MONOTONIC.
  static double systemOffset();

  explicit TOLMClockStepDetector(OffsetSource source = systemOffset, double tolerance = 1.0);

  // True when the offset moved by more than the tolerance since the last
  // check or reset; either way the current offset becomes the reference.
  bool check();
  // Takes the current offset as the reference (a change already reported).
  void reset();
  void setSource(OffsetSource source);

 private:
  OffsetSource source_;
  double tolerance_;
  double reference_;
};
