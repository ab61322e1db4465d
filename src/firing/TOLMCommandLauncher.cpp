#include "firing/TOLMCommandLauncher.h"

#include <algorithm>
#include <cctype>

#include "firing/TOLMCommandRunner.h"

namespace {

bool isBlank(const std::string& text) {
  return std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isspace(c) != 0; });
}

}  // namespace

TOLMCommandLauncher::TOLMCommandLauncher(TOLMCommandRunner& runner, ProblemHandler problem)
    : runner_(runner), problem_(std::move(problem)), self_(std::make_shared<TOLMCommandLauncher*>(this)) {}

TOLMCommandLauncher::~TOLMCommandLauncher() = default;

void TOLMCommandLauncher::launchTasksForCommandArray(const std::vector<std::string>& commands) {
  List list;
  for (const std::string& command : commands) {
    if (!isBlank(command)) list.commands.push_back(command);
  }
  if (list.commands.empty()) return;
  const std::uint64_t id = nextId_++;
  lists_.emplace(id, std::move(list));
  runNext(id);
}

void TOLMCommandLauncher::runNext(std::uint64_t id) {
  auto it = lists_.find(id);
  if (it == lists_.end()) return;
  List& list = it->second;
  if (list.next >= list.commands.size()) {
    lists_.erase(it);
    return;
  }
  const std::string command = list.commands[list.next++];
  std::weak_ptr<TOLMCommandLauncher*> weak = self_;
  runner_.runCommand(command, [weak, id, command](const TOLMStatus& outcome) {
    auto alive = weak.lock();
    if (!alive) return;
    TOLMCommandLauncher* launcher = *alive;
    if (!outcome && launcher->problem_) {
      launcher->problem_("The command \"" + command + "\" failed: " + outcome.error());
    }
    launcher->runNext(id);
  });
}
