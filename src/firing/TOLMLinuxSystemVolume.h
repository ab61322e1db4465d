#pragma once

#include <memory>

#include "firing/TOLMSystemVolume.h"

class TOLMCommandRunner;

// The PulseAudio or PipeWire default sink through pactl; the ALSA mixer
// (Master, then PCM) when no sound server answers.
class TOLMLinuxSystemVolume : public TOLMSystemVolume {
 public:
  explicit TOLMLinuxSystemVolume(std::unique_ptr<TOLMCommandRunner> runner);
  ~TOLMLinuxSystemVolume() override;

  void unmuteAndRaiseToFull(Completion done) override;

  static const char* commandLine();

 private:
  std::unique_ptr<TOLMCommandRunner> runner_;
};
