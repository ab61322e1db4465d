#pragma once

#include <QMediaPlayer>
#include <memory>

#include "firing/TOLMMusicPlayer.h"

class QAudioOutput;

// QMediaPlayer with a QAudioOutput on the default device. The player and its
// output are made at the first song, so a program that never rings never
// loads the media framework.
class TOLMQtMusicPlayer : public TOLMMusicPlayer {
 public:
  TOLMQtMusicPlayer();
  ~TOLMQtMusicPlayer() override;

  void prepare() override { ensurePlayer(); }
  void play(const QUrl& song) override;
  void stop() override;
  void start() override;
  bool isPlaying() const override { return playing_; }

  float volume() const override { return volume_; }
  void setVolume(float volume) override;
  float rate() const override { return rate_; }
  void setRate(float rate) override;

 private:
  void ensurePlayer();
  void mediaStatusChanged(QMediaPlayer::MediaStatus status);
  void errorOccurred(QMediaPlayer::Error error, const QString& text);

  std::unique_ptr<QMediaPlayer> player_;
  std::unique_ptr<QAudioOutput> output_;
  QUrl song_;
  bool playing_ = false;
  float volume_ = 1.0f;
  float rate_ = 1.0f;
};
