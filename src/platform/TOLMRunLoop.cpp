#include "platform/TOLMRunLoop.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "dates/TOLMClock.h"
#include "platform/TOLMNotificationCenter.h"

namespace {
// A repeating timer never fires more often than this (it would otherwise
// fire at every pass, and on virtual time without end).
constexpr double kShortestRepeat = 0.0001;
}  // namespace

TOLMRunLoop::TOLMRunLoop(TOLMNotificationCenter& center) : center_(center) {
  TOLMClock::setSource([this] { return now(); });
}

TOLMRunLoop::~TOLMRunLoop() {
  TOLMClock::setSource({});
  // Outstanding references must not reach back into a dead loop.
  auto timers = std::move(timers_);
  timers_.clear();
  for (auto& entry : timers) {
    entry.second->loop_ = nullptr;
    entry.second->valid_ = false;
  }
  for (auto& entry : timers) entry.second->action_ = nullptr;
}

std::shared_ptr<TOLMTimer> TOLMRunLoop::scheduledTimerWithTimeInterval(double interval, TOLMTimer::Action action,
                                                                       std::any userInfo, bool repeats) {
  if (!(interval > 0)) interval = 0;  // negative and NaN: the next pass
  const double fireDate = now() + interval;
  if (repeats) interval = std::max(interval, kShortestRepeat);
  std::shared_ptr<TOLMTimer> timer(
      new TOLMTimer(this, fireDate, interval, std::move(action), std::move(userInfo), repeats, nextSequence_++));
  insertTimer(timer);
  return timer;
}

void TOLMRunLoop::performAfterDelay(double delay, std::function<void()> action) {
  scheduledTimerWithTimeInterval(
      delay, [action = std::move(action)](TOLMTimer&) { action(); }, {}, false);
}

std::optional<double> TOLMRunLoop::nextFireDate() const {
  if (timers_.empty()) return std::nullopt;
  return timers_.begin()->first.first;
}

std::size_t TOLMRunLoop::firePass() {
  const double start = now();
  // Only what is due now and already scheduled takes part in this pass.
  std::vector<std::pair<Key, std::shared_ptr<TOLMTimer>>> due;
  for (const auto& [key, timer] : timers_) {
    if (key.first > start) break;
    due.emplace_back(key, timer);
  }
  std::size_t fired = 0;
  for (const auto& [key, timer] : due) {
    // Skip timers invalidated (or fired by a nested pass) since the pass began.
    const auto it = timers_.find(key);
    if (it == timers_.end() || it->second != timer) continue;
    fireTimer(timer);
    ++fired;
  }
  return fired;
}

void TOLMRunLoop::fireTimer(const std::shared_ptr<TOLMTimer>& timer) {
  const std::shared_ptr<TOLMTimer> keep = timer;
  if (timer->repeats_) {
    auto node = timers_.extract(Key{timer->fireDate_, timer->sequence_});
    if (node.empty()) return;  // no longer scheduled
    // A late timer fires once, then resumes on its own schedule.
    const double t = now();
    const double period = timer->interval_;
    double next = timer->fireDate_ + period;
    if (next <= t) {
      next = timer->fireDate_ + (std::floor((t - timer->fireDate_) / period) + 1) * period;
      while (next <= t) next += period;
    }
    timer->fireDate_ = next;
    node.key() = Key{next, timer->sequence_};
    timers_.insert(std::move(node));
    scheduleChanged();
  } else {
    removeTimer(*timer);
    timer->valid_ = false;
  }
  timer->runAction();
}

void TOLMRunLoop::insertTimer(std::shared_ptr<TOLMTimer> timer) {
  const Key key{timer->fireDate_, timer->sequence_};
  timers_.emplace(key, std::move(timer));
  scheduleChanged();
}

std::shared_ptr<TOLMTimer> TOLMRunLoop::removeTimer(TOLMTimer& timer) {
  const auto it = timers_.find(Key{timer.fireDate_, timer.sequence_});
  if (it == timers_.end() || it->second.get() != &timer) return nullptr;
  std::shared_ptr<TOLMTimer> kept = std::move(it->second);
  timers_.erase(it);
  scheduleChanged();
  return kept;
}

void TOLMRunLoop::postClockDidChange() {
  // After a backward step a timer could wait far longer than it was asked to
  // (a 1 s repeating timer for an hour). Cap each at its own interval from now;
  // owners of wall-clock timers re-arm from the notification anyway.
  const double t = now();
  std::vector<std::shared_ptr<TOLMTimer>> late;
  for (const auto& [key, timer] : timers_) {
    if (key.first > t + timer->interval_) late.push_back(timer);
  }
  for (const auto& timer : late) {
    auto node = timers_.extract(Key{timer->fireDate_, timer->sequence_});
    timer->fireDate_ = t + timer->interval_;
    node.key() = Key{timer->fireDate_, timer->sequence_};
    timers_.insert(std::move(node));
  }
  if (!late.empty()) scheduleChanged();
  center_.postNotificationName(clockDidChangeNotification, this);
}
