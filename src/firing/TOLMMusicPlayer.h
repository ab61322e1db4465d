#pragma once

#include <QUrl>
#include <functional>
#include <string>
#include <utility>

// The player of every alarm song. stop() keeps the position, so start() after
// it resumes the song where it was.
class TOLMMusicPlayer {
 public:
  using FailureHandler = std::function<void(const QUrl& song, const std::string& reason)>;

  virtual ~TOLMMusicPlayer() = default;
  // Loads the media engine ahead of the first song, so the first ring is not
  // held up by it.
  virtual void prepare() {}

  // Loads the song and plays it from its beginning. A song that cannot be
  // played reports through the failure handler (possibly later, from the event
  // loop) and leaves the player not playing.
  virtual void play(const QUrl& song) = 0;
  virtual void stop() = 0;
  virtual void start() = 0;
  // False once the song has ended, failed or was stopped.
  virtual bool isPlaying() const = 0;

  // 0 to 1.
  virtual float volume() const = 0;
  virtual void setVolume(float volume) = 0;
  // 1 is normal speed.
  virtual float rate() const = 0;
  virtual void setRate(float rate) = 0;

  void setFailureHandler(FailureHandler handler) { failureHandler_ = std::move(handler); }

 protected:
  void reportFailure(const QUrl& song, const std::string& reason) const {
    if (failureHandler_) failureHandler_(song, reason);
  }

 private:
  FailureHandler failureHandler_;
};
