#include "firing/TOLMLinuxSystemVolume.h"

#include "firing/TOLMCommandRunner.h"

TOLMLinuxSystemVolume::TOLMLinuxSystemVolume(std::unique_ptr<TOLMCommandRunner> runner) : runner_(std::move(runner)) {}

TOLMLinuxSystemVolume::~TOLMLinuxSystemVolume() = default;

const char* TOLMLinuxSystemVolume::commandLine() {
  // 100% is the sink's full unamplified level.
  return "pactl set-sink-mute @DEFAULT_SINK@ 0 && pactl set-sink-volume @DEFAULT_SINK@ 100% || "
         "amixer -q sset Master 100% unmute || amixer -q sset PCM 100% unmute";
}

void TOLMLinuxSystemVolume::unmuteAndRaiseToFull(Completion done) {
  runner_->runCommand(commandLine(), [done = std::move(done)](const TOLMStatus& outcome) {
    if (!done) return;
    done(outcome ? outcome : TOLMStatus::failure("the system volume could not be raised (" + outcome.error() + ")"));
  });
}
