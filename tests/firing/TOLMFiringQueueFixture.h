#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <optional>
#include <string>

#include "alarms/TOLMAlarm.h"
#include "firing/TOLMAlarmFiringQueue.h"
#include "firing/TOLMAlarmMessageLog.h"
#include "firing/TOLMFiringStandIns.h"
#include "platform/TOLMDefaultsStore.h"
#include "platform/TOLMNotificationCenter.h"
#include "platform/TOLMVirtualRunLoop.h"
#include "preferences/TOLMPreferenceController.h"

// Sets TZ for the lifetime of the object.
class TOLMScopedTimeZone {
 public:
  explicit TOLMScopedTimeZone(const char* zone) {
    if (const char* old = std::getenv("TZ")) old_ = old;
    ::setenv("TZ", zone, 1);
    ::tzset();
  }
  ~TOLMScopedTimeZone() {
    if (old_) {
      ::setenv("TZ", old_->c_str(), 1);
    } else {
      ::unsetenv("TZ");
    }
    ::tzset();
  }

 private:
  std::optional<std::string> old_;
};

inline double localInstant(int year, int month, int day, int hour, int minute, int second) {
  std::tm fields{};
  fields.tm_year = year - 1900;
  fields.tm_mon = month - 1;
  fields.tm_mday = day;
  fields.tm_hour = hour;
  fields.tm_min = minute;
  fields.tm_sec = second;
  fields.tm_isdst = -1;
  return static_cast<double>(std::mktime(&fields));
}

// A set-up queue on virtual time at 07:30:00 on 4 July 2005 (New York), with
// factory preferences and recording stand-ins.
class TOLMFiringQueueFixture : public ::testing::Test {
 protected:
  TOLMFiringQueueFixture()
      : zone_("America/New_York"), loop(center, localInstant(2005, 7, 4, 7, 30, 0)), start(loop.now()) {
    store = std::make_unique<TOLMDefaultsStore>(dir.filePath(QStringLiteral("prefs.plist")).toStdString(), nullptr);
    prefs = std::make_unique<TOLMPreferenceController>(*store, loop, center);
    prefs->resetDefaults();
    TOLMFiringServices services;
    auto playerStandIn = std::make_unique<TOLMRecordingPlayer>();
    auto speakerStandIn = std::make_unique<TOLMRecordingSpeaker>();
    auto runnerStandIn = std::make_unique<TOLMRecordingCommandRunner>();
    auto volumeStandIn = std::make_unique<TOLMRecordingSystemVolume>();
    player = playerStandIn.get();
    speaker = speakerStandIn.get();
    runner = runnerStandIn.get();
    systemVolume = volumeStandIn.get();
    services.player = std::move(playerStandIn);
    services.speaker = std::move(speakerStandIn);
    services.commandRunner = std::move(runnerStandIn);
    services.systemVolume = std::move(volumeStandIn);
    queue = std::make_unique<TOLMAlarmFiringQueue>(*prefs, loop, center, std::move(services));
    center.postNotificationName(NSApplicationDidFinishLaunchingNotification);
    loop.runPending();  // the loop's first pass, as in the running program
  }

  // A file that exists (the stand-in player never reads it).
  std::string song(const QString& name) {
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.exists() && file.open(QIODevice::WriteOnly)) file.write("RIFF");
    return path.toStdString();
  }

  std::shared_ptr<TOLMAlarm> alarm(const std::string& name, const std::string& songPath, int expiryMinutes = 5,
                                   int pauseSeconds = 5) {
    auto a = std::make_shared<TOLMAlarm>();
    a->setAlarmName(name);
    a->setMinutesTillMusicExpires(expiryMinutes);
    a->setSecondsBetweenSongs(pauseSeconds);
    if (!songPath.empty()) {
      a->setManualSongEnabled(true);
      a->setManualSongLocation(songPath);
    }
    return a;
  }

  double elapsed() const { return loop.now() - start; }
  // Advances to the given number of seconds after the start.
  void advanceTo(double seconds) { loop.advance(start + seconds - loop.now()); }
  QString logText() { return queue->messageLog().text(); }

  TOLMScopedTimeZone zone_;
  QTemporaryDir dir;
  TOLMNotificationCenter center;
  TOLMVirtualRunLoop loop;
  const double start;
  std::unique_ptr<TOLMDefaultsStore> store;
  std::unique_ptr<TOLMPreferenceController> prefs;
  TOLMRecordingPlayer* player = nullptr;
  TOLMRecordingSpeaker* speaker = nullptr;
  TOLMRecordingCommandRunner* runner = nullptr;
  TOLMRecordingSystemVolume* systemVolume = nullptr;
  std::unique_ptr<TOLMAlarmFiringQueue> queue;
};
