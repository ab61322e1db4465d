#pragma once

#include <memory>

#include "firing/TOLMCommandRunner.h"
#include "firing/TOLMMusicPlayer.h"
#include "firing/TOLMSpeaker.h"
#include "firing/TOLMSystemVolume.h"

// What the firing queue plays, speaks and runs through; tests hand in
// recording stand-ins.
struct TOLMFiringServices {
  std::unique_ptr<TOLMMusicPlayer> player;
  std::unique_ptr<TOLMSpeaker> speaker;
  std::unique_ptr<TOLMCommandRunner> commandRunner;
  std::unique_ptr<TOLMSystemVolume> systemVolume;

  // QMediaPlayer, QTextToSpeech, /bin/sh and the system mixer.
  static TOLMFiringServices systemServices();
};
