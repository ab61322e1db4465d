#pragma once

#include <memory>

#include "firing/TOLMSpeaker.h"

class QTextToSpeech;

// QTextToSpeech: speech-dispatcher where it answers, Flite otherwise. The
// engine is made at the first message, so a program that never speaks never
// loads one.
class TOLMQtSpeaker : public TOLMSpeaker {
 public:
  TOLMQtSpeaker();
  ~TOLMQtSpeaker() override;

  void prepare() override { ensureEngine(); }
  TOLMStatus say(const std::string& text) override;
  void stopSpeaking() override;

 private:
  bool ensureEngine();

  std::unique_ptr<QTextToSpeech> engine_;
};
