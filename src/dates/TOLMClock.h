#pragma once

#include <functional>

// The program's one source of "now": wall-clock seconds since the Unix epoch.
// The run loop installs its clock here, so dates made "now" agree with the
// timers (and tests run on virtual time).
class TOLMClock {
 public:
  using Source = std::function<double()>;

  static double now();
  // An empty source restores the system clock.
  static void setSource(Source source);
};
