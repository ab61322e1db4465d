#include "firing/TOLMFiringServices.h"

#include "firing/TOLMLinuxSystemVolume.h"
#include "firing/TOLMQtMusicPlayer.h"
#include "firing/TOLMQtSpeaker.h"
#include "firing/TOLMShellCommandRunner.h"

TOLMFiringServices TOLMFiringServices::systemServices() {
  TOLMFiringServices services;
  services.player = std::make_unique<TOLMQtMusicPlayer>();
  services.speaker = std::make_unique<TOLMQtSpeaker>();
  services.commandRunner = std::make_unique<TOLMShellCommandRunner>();
  services.systemVolume = std::make_unique<TOLMLinuxSystemVolume>(std::make_unique<TOLMShellCommandRunner>());
  return services;
}
