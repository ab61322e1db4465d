#pragma once

#include <string>

#include "base/TOLMResult.h"

// Reads alarm messages aloud without blocking the event loop.
class TOLMSpeaker {
 public:
  virtual ~TOLMSpeaker() = default;
  // Loads the speech engine ahead of the first message.
  virtual void prepare() {}
  // Starts speaking; what was being said is cut off. A failure says why no
  // speech can be heard.
  virtual TOLMStatus say(const std::string& text) = 0;
  virtual void stopSpeaking() = 0;
};
