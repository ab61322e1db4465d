#include "platform/TOLMTimer.h"

#include "platform/TOLMRunLoop.h"

TOLMTimer::TOLMTimer(TOLMRunLoop* loop, double fireDate, double interval, Action action, std::any userInfo,
                     bool repeats, std::uint64_t sequence)
    : loop_(loop),
      fireDate_(fireDate),
      interval_(interval),
      action_(std::move(action)),
      userInfo_(std::move(userInfo)),
      repeats_(repeats),
      sequence_(sequence) {}

void TOLMTimer::invalidate() {
  if (!valid_) return;
  valid_ = false;
  // The loop may hold the last reference; keep this object alive to the end.
  std::shared_ptr<TOLMTimer> self;
  if (loop_) self = loop_->removeTimer(*this);
  // Dropping the action breaks cycles between an owner and a timer whose
  // action captures it. userInfo stays readable by a running action.
  action_ = nullptr;
}

void TOLMTimer::fire() {
  if (!valid_) return;
  std::shared_ptr<TOLMTimer> self = shared_from_this();
  if (!repeats_) {
    Action action = std::move(action_);
    invalidate();
    if (action) action(*this);
    return;
  }
  runAction();
}

void TOLMTimer::runAction() {
  Action action = std::move(action_);
  action_ = nullptr;
  if (!action) return;
  struct Restore {
    TOLMTimer& timer;
    Action& action;
    // Put the action back unless the timer was invalidated or given a new one.
    ~Restore() {
      if (timer.valid_ && !timer.action_) timer.action_ = std::move(action);
    }
  } restore{*this, action};
  action(*this);
}
