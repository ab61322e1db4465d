#include "firing/TOLMQtMusicPlayer.h"

#include <QAudioDevice>
#include <QAudioOutput>
#include <QMediaDevices>
#include <algorithm>

#include "platform/TOLMTimingLog.h"

TOLMQtMusicPlayer::TOLMQtMusicPlayer() = default;

TOLMQtMusicPlayer::~TOLMQtMusicPlayer() {
  if (player_) QObject::disconnect(player_.get(), nullptr, nullptr, nullptr);
}

void TOLMQtMusicPlayer::ensurePlayer() {
  if (player_) return;
  output_ = std::make_unique<QAudioOutput>(QMediaDevices::defaultAudioOutput());
  player_ = std::make_unique<QMediaPlayer>();
  player_->setAudioOutput(output_.get());
  output_->setVolume(volume_);
  player_->setPlaybackRate(std::max(rate_, 0.01f));
  QObject::connect(player_.get(), &QMediaPlayer::mediaStatusChanged, player_.get(),
                   [this](QMediaPlayer::MediaStatus status) { mediaStatusChanged(status); });
  QObject::connect(player_.get(), &QMediaPlayer::errorOccurred, player_.get(),
                   [this](QMediaPlayer::Error error, const QString& text) { errorOccurred(error, text); });
  QObject::connect(player_.get(), &QMediaPlayer::playbackStateChanged, player_.get(),
                   [](QMediaPlayer::PlaybackState state) {
                     if (state == QMediaPlayer::PlayingState) TOLMTimingLog::mark("player-playing");
                   });
}

void TOLMQtMusicPlayer::play(const QUrl& song) {
  ensurePlayer();
  song_ = song;
  playing_ = true;
  player_->stop();
  player_->setSource(song);
  player_->setPlaybackRate(std::max(rate_, 0.01f));
  player_->play();
}

void TOLMQtMusicPlayer::stop() {
  playing_ = false;
  // Paused rather than stopped, so start() goes on where the song was.
  if (player_) player_->pause();
}

void TOLMQtMusicPlayer::start() {
  if (!player_ || player_->source().isEmpty()) return;
  const QMediaPlayer::MediaStatus status = player_->mediaStatus();
  if (status == QMediaPlayer::EndOfMedia || status == QMediaPlayer::InvalidMedia) return;
  playing_ = true;
  player_->play();
}

void TOLMQtMusicPlayer::setVolume(float volume) {
  volume_ = volume;
  if (output_) output_->setVolume(std::clamp(volume, 0.0f, 1.0f));
}

void TOLMQtMusicPlayer::setRate(float rate) {
  rate_ = rate;
  // A rate of 0 or less would freeze or reverse the song.
  if (player_) player_->setPlaybackRate(std::max(rate, 0.01f));
}

void TOLMQtMusicPlayer::mediaStatusChanged(QMediaPlayer::MediaStatus status) {
  if (status == QMediaPlayer::EndOfMedia) {
    playing_ = false;
  } else if (status == QMediaPlayer::InvalidMedia && playing_) {
    playing_ = false;
    reportFailure(song_, "the file is not a song that can be played");
  }
}

void TOLMQtMusicPlayer::errorOccurred(QMediaPlayer::Error error, const QString& text) {
  if (error == QMediaPlayer::NoError || !playing_) return;
  playing_ = false;
  reportFailure(song_, text.isEmpty() ? std::string("it cannot be played") : text.toStdString());
}
