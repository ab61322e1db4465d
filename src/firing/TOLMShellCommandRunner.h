#pragma once

#include <memory>
#include <string>
#include <vector>

#include "firing/TOLMCommandRunner.h"

class QProcess;

// Runs each command as its own /bin/sh -c child process, in a session of its
// own with no standard input, its output discarded; the start of its error
// output is kept to explain a failure.
class TOLMShellCommandRunner : public TOLMCommandRunner {
 public:
  TOLMShellCommandRunner();
  // Commands still running are ended with the runner.
  ~TOLMShellCommandRunner() override;

  void runCommand(const std::string& commandLine, Completion done) override;
  std::size_t runningCommandCount() const { return running_.size(); }

 private:
  struct Running;
  void finish(Running* running, const TOLMStatus& outcome);

  std::vector<std::unique_ptr<Running>> running_;
};
