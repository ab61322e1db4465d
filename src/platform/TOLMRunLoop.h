#pragma once

#include <any>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <memory>
#include <utility>

#include "platform/TOLMTimer.h"

class TOLMNotificationCenter;

// The main run loop: owns "now" and every timer of the program. Two loops
// implement it: TOLMQtRunLoop (Qt's event loop, wall-clock timers) and
// TOLMVirtualRunLoop (virtual time for tests). A loop installs its clock in
// TOLMClock while it exists.
class TOLMRunLoop {
 public:
  explicit TOLMRunLoop(TOLMNotificationCenter& center);
  virtual ~TOLMRunLoop();
  TOLMRunLoop(const TOLMRunLoop&) = delete;
  TOLMRunLoop& operator=(const TOLMRunLoop&) = delete;

  // Wall-clock seconds since the Unix epoch.
  virtual double now() const = 0;

  // scheduledTimerWithTimeInterval:target:selector:userInfo:repeats: with the
  // target and selector as one callable. An interval of 0 or less fires at the
  // next pass of the loop, never inside this call.
  std::shared_ptr<TOLMTimer> scheduledTimerWithTimeInterval(double interval, TOLMTimer::Action action,
                                                            std::any userInfo, bool repeats);
  // performSelector:withObject:afterDelay:
  void performAfterDelay(double delay, std::function<void()> action);

  // Runs a nested pass of the loop for the given seconds (used where the program
  // must wait without freezing the screen, such as the start-up status window).
  virtual void runFor(double seconds) = 0;

  // Posted when the wall clock jumps, the time zone changes or the machine resumes.
  static constexpr const char* clockDidChangeNotification = "TOLMClockDidChangeNotification";

  TOLMNotificationCenter& notificationCenter() const { return center_; }
  std::size_t scheduledTimerCount() const { return timers_.size(); }

 protected:
  // Earliest fire date of a valid timer, if any.
  std::optional<double> nextFireDate() const;
  // Fires every timer due at now() that was scheduled before this pass began,
  // in fire-date order. Returns the number fired.
  std::size_t firePass();
  // The earliest fire date changed: a real loop re-arms its wake-up.
  virtual void scheduleChanged() {}
  // Re-bases timers a backward clock step left waiting beyond their own
  // interval, then posts the clock-did-change notification.
  void postClockDidChange();

 private:
  friend class TOLMTimer;
  using Key = std::pair<double, std::uint64_t>;
  // Returns the loop's reference, so the caller decides when it is dropped.
  std::shared_ptr<TOLMTimer> removeTimer(TOLMTimer& timer);
  void insertTimer(std::shared_ptr<TOLMTimer> timer);
  void fireTimer(const std::shared_ptr<TOLMTimer>& timer);

  TOLMNotificationCenter& center_;
  std::uint64_t nextSequence_ = 0;
  // Keyed by (fire date, sequence): the order in which timers are due.
  std::map<Key, std::shared_ptr<TOLMTimer>> timers_;
};
