#pragma once

#include "platform/TOLMRunLoop.h"

// Virtual time for tests: nothing fires until advance() is called, and then due
// timers fire in fire-date order, each seeing now() equal to its fire date.
class TOLMVirtualRunLoop : public TOLMRunLoop {
 public:
  TOLMVirtualRunLoop(TOLMNotificationCenter& center, double start);
  ~TOLMVirtualRunLoop() override;

  double now() const override { return now_; }
  // Moves time forward, firing every timer due on the way (including 0-interval
  // timers scheduled by those firings); ends at now + seconds.
  void advance(double seconds);
  // Fires what is due at the current instant (one or more passes).
  void runPending() { advance(0.0); }
  // A wall-clock step (the user sets the clock): no timer fires on the way;
  // posts the clock-did-change notification.
  void jumpClockTo(double instant);
  void runFor(double seconds) override { advance(seconds); }

 private:
  double now_;
};
