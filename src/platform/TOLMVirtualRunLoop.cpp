#include "platform/TOLMVirtualRunLoop.h"

#include <algorithm>

#include "dates/TOLMClock.h"

TOLMVirtualRunLoop::TOLMVirtualRunLoop(TOLMNotificationCenter& center, double start)
    : TOLMRunLoop(center), now_(start) {}

TOLMVirtualRunLoop::~TOLMVirtualRunLoop() {
  // Before this object is gone, so nothing reads a half-destroyed clock.
  TOLMClock::setSource({});
}

void TOLMVirtualRunLoop::advance(double seconds) {
  const double target = now_ + (seconds > 0 ? seconds : 0.0);  // NaN too
  while (const auto next = nextFireDate()) {
    if (*next > target) break;
    // A timer made late by a clock jump fires at the current instant.
    now_ = std::max(now_, *next);
    firePass();
  }
  // A nested advance (runFor inside an action) may already be past the target.
  now_ = std::max(now_, target);
}

void TOLMVirtualRunLoop::jumpClockTo(double instant) {
  now_ = instant;
  postClockDidChange();
}
