#include "firing/TOLMRamp.h"

#include <string>

#include "platform/TOLMRunLoop.h"

namespace {

constexpr const char* up = "UP";
constexpr const char* down = "DOWN";

}  // namespace

TOLMRamp::TOLMRamp(TOLMRunLoop& loop, Quantity quantity) : loop_(loop), quantity_(std::move(quantity)) {}

TOLMRamp::~TOLMRamp() { stop(); }

bool TOLMRamp::isStepping() const { return timer_ && timer_->isValid(); }

void TOLMRamp::start() {
  if (!isEnabled() || timer_) return;
  quantity_.setValue(quantity_.startValue);
  arm(up);
}

void TOLMRamp::stop() {
  if (timer_) timer_->invalidate();
  timer_.reset();
}

void TOLMRamp::arm(const char* direction) {
  timer_ = loop_.scheduledTimerWithTimeInterval(
      stepPeriod, [this](TOLMTimer& timer) { step(timer); }, std::string(direction), false);
}

void TOLMRamp::step(TOLMTimer& timer) {
  // Sums in double from the single-precision value and rate, stored back as float.
  const double change = static_cast<double>(quantity_.ratePerSecond()) / 5.0;
  const float top = quantity_.top();
  double v = quantity_.value();

  if (quantity_.triangleEnabled()) {
    const std::string* direction = std::any_cast<std::string>(&timer.userInfo());
    std::string next = direction ? *direction : up;
    if (next == up) {
      v += change;
      if (v >= top) {
        v = top;
        next = down;
      }
    } else {
      v -= change;
      if (v <= lowPoint) {
        v = lowPoint;
        next = up;
      }
    }
    quantity_.setValue(static_cast<float>(v));
    arm(next == up ? up : down);
    return;
  }

  // Linear, also when the triangle was switched off while it ran.
  v += change;
  if (v >= top) {
    v = top;
    timer_.reset();
  } else {
    arm(up);
  }
  quantity_.setValue(static_cast<float>(v));
}
