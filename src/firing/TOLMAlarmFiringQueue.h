#pragma once

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "firing/TOLMFiringServices.h"
#include "platform/TOLMNotificationCenter.h"

class QObject;
class TOLMAlarm;
class TOLMAlarmMessageLog;
class TOLMCommandLauncher;
class TOLMMessageWindow;
class TOLMPreferenceController;
class TOLMRamp;
class TOLMRunLoop;
class TOLMTimer;

// Where every firing alarm ends: logs and speaks its message, plays the songs
// of the firing alarms in turn, snoozes, drops each alarm after its expiry,
// and launches its commands. One for the whole program.
class TOLMAlarmFiringQueue {
 public:
  // Registers setUpQueue for the did-finish-launching notification.
  TOLMAlarmFiringQueue(TOLMPreferenceController& prefs, TOLMRunLoop& loop, TOLMNotificationCenter& center,
                       TOLMFiringServices services);
  ~TOLMAlarmFiringQueue();
  TOLMAlarmFiringQueue(const TOLMAlarmFiringQueue&) = delete;
  TOLMAlarmFiringQueue& operator=(const TOLMAlarmFiringQueue&) = delete;

  void setUpQueue();
  // The one entry for alarms, calendar alarms and event notifications.
  void addAlarmToQueue(std::shared_ptr<TOLMAlarm> alarm);

  // Actions of the message window; the sender is ignored.
  void snooze(QObject* sender = nullptr);
  void killAlarms(QObject* sender = nullptr);
  void clearLog(QObject* sender = nullptr);

  // After a music preference changed.
  void applyPrefChanges();
  // After a message preference changed: the whole log takes the font and colour.
  void setUpMessages();
  // Appends a plain line to the log and shows the message window.
  void showNotice(const std::string& line);

  std::shared_ptr<TOLMAlarm> currentAlarm() const { return currentAlarm_; }
  // The firing alarms in arrival order; one alarm may stand here more than once.
  const std::vector<std::shared_ptr<TOLMAlarm>>& alarmQueue() const { return alarmQueue_; }
  bool isSnoozed() const;
  TOLMMessageWindow& messageWindow();
  TOLMAlarmMessageLog& messageLog();

 private:
  void ensureWindow();
  void displayAlarmMessage(const TOLMAlarm& alarm);
  void startPlayingSongForAlarm(const std::shared_ptr<TOLMAlarm>& alarm);
  void checkIfCurrentSongHasExpired();
  void startSongAfterDelay();
  void killAlarmAfterDelay(TOLMTimer& timer);
  void snoozeSongsForXMinutes(float minutes);
  void unSnoozeAlarm();
  void armUnSnooze(double seconds, double snoozeLength);
  void killAllSongs();
  void toggleSpecialMovieControls(bool on);

  // Once per spell of firing: the queue forgets them when it empties.
  void reportProblemOnce(const std::string& line);
  void reportProblem(const std::string& line);
  void forgetProblemsIfIdle();

  TOLMPreferenceController& prefs_;
  TOLMRunLoop& loop_;
  TOLMFiringServices services_;
  std::unique_ptr<TOLMCommandLauncher> launcher_;
  std::unique_ptr<TOLMRamp> volumeRamp_;
  std::unique_ptr<TOLMRamp> speedRamp_;
  std::unique_ptr<TOLMMessageWindow> window_;
  std::unique_ptr<TOLMAlarmMessageLog> log_;

  std::shared_ptr<TOLMAlarm> currentAlarm_;
  std::vector<std::shared_ptr<TOLMAlarm>> alarmQueue_;
  std::vector<std::shared_ptr<TOLMTimer>> alarmKillingTimers_;
  std::shared_ptr<TOLMTimer> unSnoozeTimer_;
  double runningSnoozeSeconds_ = 0.0;  // the snooze length in effect
  std::shared_ptr<TOLMTimer> songStarterTimer_;
  std::shared_ptr<TOLMTimer> songChecker_;
  std::shared_ptr<TOLMTimer> enginePreparer_;
  std::string playingAlarmName_;
  std::set<std::string> reportedProblems_;
  TOLMObserverToken setUpObserver_;
};
