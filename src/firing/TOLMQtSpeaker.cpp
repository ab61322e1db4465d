#include "firing/TOLMQtSpeaker.h"

#include <QTextToSpeech>

TOLMQtSpeaker::TOLMQtSpeaker() = default;

TOLMQtSpeaker::~TOLMQtSpeaker() = default;

bool TOLMQtSpeaker::ensureEngine() {
  if (engine_ && engine_->state() != QTextToSpeech::Error) return true;
  // Tried again at each message: a speech service may have started since.
  engine_.reset();
  const QStringList available = QTextToSpeech::availableEngines();
  for (const QString& name : {QStringLiteral("speechd"), QStringLiteral("flite")}) {
    if (!available.contains(name)) continue;
    engine_ = std::make_unique<QTextToSpeech>(name);
    if (engine_->state() != QTextToSpeech::Error) return true;
  }
  if (!engine_) engine_ = std::make_unique<QTextToSpeech>();
  return engine_->state() != QTextToSpeech::Error;
}

TOLMStatus TOLMQtSpeaker::say(const std::string& text) {
  if (!ensureEngine()) {
    const QString why = engine_->errorString();
    return TOLMStatus::failure("no speech engine is available" + (why.isEmpty() ? std::string() : ": " + why.toStdString()));
  }
  engine_->stop(QTextToSpeech::BoundaryHint::Immediate);
  engine_->say(QString::fromStdString(text));
  return TOLMStatus::success();
}

void TOLMQtSpeaker::stopSpeaking() {
  if (engine_) engine_->stop(QTextToSpeech::BoundaryHint::Immediate);
}
