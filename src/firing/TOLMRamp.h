#pragma once

#include <functional>
#include <memory>

class TOLMRunLoop;
class TOLMTimer;

// Moves one quantity of the player (volume or rate) over time, five steps a
// second: once from its start value up to the top (linear), or up and down
// between the low point and the top for as long as it runs (triangle). Every
// setting is read again at each step.
class TOLMRamp {
 public:
  struct Quantity {
    std::function<bool()> triangleEnabled;
    std::function<bool()> linearEnabled;
    std::function<float()> ratePerSecond;
    std::function<float()> top;
    std::function<float()> value;
    std::function<void(float)> setValue;
    float startValue = 0.0f;
  };

  static constexpr double stepPeriod = 0.2;
  static constexpr float lowPoint = 0.01f;

  TOLMRamp(TOLMRunLoop& loop, Quantity quantity);
  ~TOLMRamp();
  TOLMRamp(const TOLMRamp&) = delete;
  TOLMRamp& operator=(const TOLMRamp&) = delete;

  bool isEnabled() const { return quantity_.triangleEnabled() || quantity_.linearEnabled(); }
  bool isStepping() const;
  // From the start value, when enabled; a ramp already stepping goes on.
  void start();
  void stop();

 private:
  void step(TOLMTimer& timer);
  void arm(const char* direction);

  TOLMRunLoop& loop_;
  Quantity quantity_;
  std::shared_ptr<TOLMTimer> timer_;
};
