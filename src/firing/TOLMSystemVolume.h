#pragma once

#include <functional>

#include "base/TOLMResult.h"

// The machine's default sound output, unmuted and raised so an alarm is heard.
class TOLMSystemVolume {
 public:
  using Completion = std::function<void(const TOLMStatus& outcome)>;

  virtual ~TOLMSystemVolume() = default;
  // Unmutes the default output and sets it to full (unamplified) volume. done
  // is called later, from the event loop.
  virtual void unmuteAndRaiseToFull(Completion done) = 0;
};
