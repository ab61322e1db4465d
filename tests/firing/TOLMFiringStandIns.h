#pragma once

#include <QUrl>
#include <string>
#include <vector>

#include "firing/TOLMCommandRunner.h"
#include "firing/TOLMMusicPlayer.h"
#include "firing/TOLMSpeaker.h"
#include "firing/TOLMSystemVolume.h"

// A player that only remembers: the test says when a song ends or fails.
class TOLMRecordingPlayer : public TOLMMusicPlayer {
 public:
  void prepare() override { ++prepared; }
  void play(const QUrl& song) override {
    played.push_back(song);
    playing = true;
  }
  void stop() override {
    playing = false;
    ++stops;
  }
  void start() override {
    playing = true;
    ++resumes;
  }
  bool isPlaying() const override { return playing; }
  float volume() const override { return volumeValue; }
  void setVolume(float v) override { volumeValue = v; }
  float rate() const override { return rateValue; }
  void setRate(float r) override { rateValue = r; }

  void endSong() { playing = false; }
  void failSong(const std::string& reason) {
    playing = false;
    reportFailure(played.back(), reason);
  }
  std::vector<std::string> playedFileNames() const {
    std::vector<std::string> names;
    for (const QUrl& url : played) names.push_back(url.fileName().toStdString());
    return names;
  }

  std::vector<QUrl> played;
  bool playing = false;
  int stops = 0;
  int prepared = 0;
  int resumes = 0;
  float volumeValue = 1.0f;
  float rateValue = 1.0f;
};

class TOLMRecordingSpeaker : public TOLMSpeaker {
 public:
  void prepare() override { ++prepared; }
  int prepared = 0;
  TOLMStatus say(const std::string& text) override {
    if (!failure.empty()) return TOLMStatus::failure(failure);
    said.push_back(text);
    speaking = true;
    return TOLMStatus::success();
  }
  void stopSpeaking() override {
    if (speaking) ++cutOff;
    speaking = false;
  }

  std::vector<std::string> said;
  bool speaking = false;
  int cutOff = 0;  // speeches stopped before their end
  std::string failure;
};

// Commands start when asked and end when the test says so.
class TOLMRecordingCommandRunner : public TOLMCommandRunner {
 public:
  struct Command {
    std::string line;
    Completion done;
    bool finished = false;
  };
  void runCommand(const std::string& commandLine, Completion done) override {
    commands.push_back({commandLine, std::move(done)});
  }
  std::vector<std::string> started() const {
    std::vector<std::string> lines;
    for (const auto& c : commands) lines.push_back(c.line);
    return lines;
  }
  void finish(std::size_t index, const TOLMStatus& outcome = TOLMStatus::success()) {
    Command& command = commands.at(index);
    command.finished = true;
    Completion done = command.done;  // the call may start more commands
    done(outcome);
  }

  std::vector<Command> commands;
};

class TOLMRecordingSystemVolume : public TOLMSystemVolume {
 public:
  void unmuteAndRaiseToFull(Completion done) override {
    ++raises;
    done(outcome);
  }
  int raises = 0;
  TOLMStatus outcome = TOLMStatus::success();
};
