#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class TOLMCommandRunner;

// Runs each alarm's command list in list order, each command started when the
// previous one has exited. Lists run side by side, so a command that hangs
// holds back only the commands after it in its own list.
class TOLMCommandLauncher {
 public:
  using ProblemHandler = std::function<void(const std::string& line)>;

  TOLMCommandLauncher(TOLMCommandRunner& runner, ProblemHandler problem);
  ~TOLMCommandLauncher();

  void launchTasksForCommandArray(const std::vector<std::string>& commands);
  std::size_t runningListCount() const { return lists_.size(); }

 private:
  struct List {
    std::vector<std::string> commands;
    std::size_t next = 0;
  };
  void runNext(std::uint64_t id);

  TOLMCommandRunner& runner_;
  ProblemHandler problem_;
  std::map<std::uint64_t, List> lists_;
  std::uint64_t nextId_ = 1;
  // Completions that arrive after the launcher is gone see it expired.
  std::shared_ptr<TOLMCommandLauncher*> self_;
};
