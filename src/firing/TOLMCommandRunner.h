#pragma once

#include <functional>
#include <string>

#include "base/TOLMResult.h"

// Runs one shell command line with /bin/sh -c, without blocking the event loop.
class TOLMCommandRunner {
 public:
  // Success when the command exited with status 0.
  using Completion = std::function<void(const TOLMStatus& outcome)>;

  virtual ~TOLMCommandRunner() = default;
  // done is called once, from the event loop, after the command has exited or
  // failed to start; never inside this call.
  virtual void runCommand(const std::string& commandLine, Completion done) = 0;
};
