#pragma once

#include <any>
#include <cstdint>
#include <functional>
#include <memory>

class TOLMRunLoop;

// A timer on the run loop. Its fire date is a wall-clock instant (seconds since
// the Unix epoch). A one-shot timer fires once and is then invalid; a repeating
// one fires every interval until invalidated.
class TOLMTimer : public std::enable_shared_from_this<TOLMTimer> {
 public:
  using Action = std::function<void(TOLMTimer& timer)>;

  bool isValid() const { return valid_; }
  // Never fires again; harmless when already invalid.
  void invalidate();
  double fireDate() const { return fireDate_; }
  // Runs the action now; a one-shot timer is then invalid.
  void fire();
  const std::any& userInfo() const { return userInfo_; }
  double timeInterval() const { return interval_; }
  bool repeats() const { return repeats_; }

 private:
  friend class TOLMRunLoop;
  TOLMTimer(TOLMRunLoop* loop, double fireDate, double interval, Action action, std::any userInfo,
            bool repeats, std::uint64_t sequence);
  // Runs the action with it moved out, so the action may invalidate or
  // re-fire this timer and drop the last outside reference safely.
  void runAction();

  TOLMRunLoop* loop_;
  double fireDate_;
  double interval_;
  Action action_;
  std::any userInfo_;
  bool repeats_;
  bool valid_ = true;
  std::uint64_t sequence_;  // ties between equal fire dates go to the earlier timer
};
