#include "firing/TOLMAlarmFiringQueue.h"

#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "alarms/TOLMAlarm.h"
#include "dates/TOLMDate.h"
#include "firing/TOLMAlarmMessageLog.h"
#include "platform/TOLMTimingLog.h"
#include "firing/TOLMCommandLauncher.h"
#include "firing/TOLMMessageWindow.h"
#include "firing/TOLMRamp.h"
#include "firing/TOLMSongChooser.h"
#include "platform/TOLMFontNames.h"
#include "platform/TOLMRunLoop.h"
#include "preferences/TOLMPreferenceController.h"

namespace {

bool isPending(const std::shared_ptr<TOLMTimer>& timer) { return timer && timer->isValid(); }

void cancel(std::shared_ptr<TOLMTimer>& timer) {
  if (timer) timer->invalidate();
  timer.reset();
}

std::string songProblem(const std::string& alarmName, const std::string& reason) {
  const std::string whose = alarmName.empty() ? std::string() : " of \"" + alarmName + "\"";
  return "The song" + whose + " cannot be played: " + reason;
}

}  // namespace

TOLMAlarmFiringQueue::TOLMAlarmFiringQueue(TOLMPreferenceController& prefs, TOLMRunLoop& loop,
                                           TOLMNotificationCenter& center, TOLMFiringServices services)
    : prefs_(prefs), loop_(loop), services_(std::move(services)) {
  launcher_ = std::make_unique<TOLMCommandLauncher>(*services_.commandRunner,
                                                    [this](const std::string& line) { reportProblem(line); });
  TOLMMusicPlayer& player = *services_.player;
  volumeRamp_ = std::make_unique<TOLMRamp>(
      loop_, TOLMRamp::Quantity{[this] { return prefs_.sinusoidalVolumeEnabled(); },
                                [this] { return prefs_.linearVolumeEnabled(); },
                                [this] { return prefs_.customVolumeRate(); }, [this] { return prefs_.musicVolume(); },
                                [&player] { return player.volume(); }, [&player](float v) { player.setVolume(v); },
                                0.0f});
  speedRamp_ = std::make_unique<TOLMRamp>(
      loop_, TOLMRamp::Quantity{[this] { return prefs_.sinusoidalSpeedEnabled(); },
                                [this] { return prefs_.linearSpeedEnabled(); },
                                [this] { return prefs_.customSpeedRate(); }, [this] { return prefs_.musicSpeed(); },
                                [&player] { return player.rate(); }, [&player](float r) { player.setRate(r); },
                                TOLMRamp::lowPoint});
  player.setFailureHandler([this](const QUrl& song, const std::string& reason) {
    std::string problem(1, '"');  // appended piece by piece: GCC 12 warns falsely on "literal" + std::string
    problem += song.toDisplayString().toStdString();
    problem += "\": ";
    problem += reason;
    reportProblemOnce(songProblem(playingAlarmName_, problem));
  });
  setUpObserver_ = center.addObserver(NSApplicationDidFinishLaunchingNotification, nullptr,
                                      [this](const TOLMNotification&) { setUpQueue(); });
  // Loading the engines takes a good part of a second. Armed now, it runs in
  // the first pass of the loop, which is the start-up status window's wait,
  // before any alarm is armed, so it never holds up a ring.
  enginePreparer_ = loop_.scheduledTimerWithTimeInterval(
      0.0,
      [this](TOLMTimer&) {
        services_.player->prepare();
        services_.speaker->prepare();
      },
      {}, false);
}

TOLMAlarmFiringQueue::~TOLMAlarmFiringQueue() {
  cancel(enginePreparer_);
  cancel(unSnoozeTimer_);
  cancel(songStarterTimer_);
  cancel(songChecker_);
  for (auto& timer : alarmKillingTimers_) timer->invalidate();
  alarmKillingTimers_.clear();
  if (services_.player) services_.player->setFailureHandler({});
}

void TOLMAlarmFiringQueue::ensureWindow() {
  if (window_) return;
  window_ = std::make_unique<TOLMMessageWindow>();
  log_ = std::make_unique<TOLMAlarmMessageLog>(*window_->alarmMessages());
  QObject::connect(window_->snoozeButton(), &QPushButton::clicked, window_.get(), [this] { snooze(); });
  QObject::connect(window_->stopButton(), &QPushButton::clicked, window_.get(), [this] { killAlarms(); });
  QObject::connect(window_->clearButton(), &QPushButton::clicked, window_.get(), [this] { clearLog(); });
}

TOLMMessageWindow& TOLMAlarmFiringQueue::messageWindow() {
  ensureWindow();
  return *window_;
}

TOLMAlarmMessageLog& TOLMAlarmFiringQueue::messageLog() {
  ensureWindow();
  return *log_;
}

bool TOLMAlarmFiringQueue::isSnoozed() const { return isPending(unSnoozeTimer_); }

void TOLMAlarmFiringQueue::setUpQueue() {
  ensureWindow();
  // Random song choices differ from one run to the next.
  srandom(static_cast<std::uint32_t>(static_cast<std::int64_t>(loop_.now())));
  setUpMessages();
  applyPrefChanges();
}

void TOLMAlarmFiringQueue::addAlarmToQueue(std::shared_ptr<TOLMAlarm> alarm) {
  if (!alarm) return;
  alarmQueue_.push_back(alarm);
  alarmKillingTimers_.push_back(loop_.scheduledTimerWithTimeInterval(
      alarm->minutesTillMusicExpires() * 60.0, [this](TOLMTimer& timer) { killAlarmAfterDelay(timer); }, alarm,
      false));

  displayAlarmMessage(*alarm);

  if (prefs_.volumeOverridesSysVol()) {
    services_.systemVolume->unmuteAndRaiseToFull([this](const TOLMStatus& outcome) {
      if (!outcome) reportProblemOnce("The system volume cannot be raised: " + outcome.error());
    });
  }

  if (!currentAlarm_) {
    currentAlarm_ = alarm;
    startPlayingSongForAlarm(alarm);
  }

  // The switch the editor shows decides whether the commands run.
  if (alarm->launchingScriptsIsEnabled()) launcher_->launchTasksForCommandArray(alarm->scriptsArray());
}

void TOLMAlarmFiringQueue::displayAlarmMessage(const TOLMAlarm& alarm) {
  if (alarm.alarmMessage().empty()) return;
  services_.speaker->stopSpeaking();
  ensureWindow();
  window_->makeKeyAndOrderFront();
  log_->appendAlarmLine(QString::fromStdString(alarm.alarmName()),
                        QString::fromStdString(TOLMDate::init().convertToString()),
                        QString::fromStdString(alarm.alarmMessage()));
  TOLMTimingLog::mark("message-logged");
  setUpMessages();
  if (prefs_.speaksAlarmMessages()) {
    if (TOLMStatus spoken = services_.speaker->say(alarm.alarmMessage()); !spoken) {
      reportProblemOnce("The message cannot be spoken: " + spoken.error());
    }
  }
}

void TOLMAlarmFiringQueue::startPlayingSongForAlarm(const std::shared_ptr<TOLMAlarm>& alarm) {
  if (!alarm) return;
  if (auto song = TOLMSongChooser::songForAlarm(*alarm)) {
    if (song->ok()) {
      playingAlarmName_ = alarm->alarmName();
      toggleSpecialMovieControls(true);
      services_.player->play(song->value());
      TOLMTimingLog::mark("player-started");
    } else {
      reportProblemOnce(songProblem(alarm->alarmName(), song->error()));
    }
  }
  // Runs even when nothing could be played, so a silent alarm hands its turn
  // on instead of holding back every alarm behind it.
  if (!songChecker_) {
    songChecker_ = loop_.scheduledTimerWithTimeInterval(
        1.0, [this](TOLMTimer&) { checkIfCurrentSongHasExpired(); }, {}, true);
  }
}

void TOLMAlarmFiringQueue::checkIfCurrentSongHasExpired() {
  if (currentAlarm_ && !services_.player->isPlaying() && !isPending(songStarterTimer_) &&
      !isPending(unSnoozeTimer_)) {
    const auto found = std::find(alarmQueue_.begin(), alarmQueue_.end(), currentAlarm_);
    const std::size_t i = static_cast<std::size_t>(found - alarmQueue_.begin());
    toggleSpecialMovieControls(false);
    songStarterTimer_ = loop_.scheduledTimerWithTimeInterval(
        currentAlarm_->secondsBetweenSongs(), [this](TOLMTimer&) { startSongAfterDelay(); }, {}, false);
    currentAlarm_ = i + 1 < alarmQueue_.size() ? alarmQueue_[i + 1] : alarmQueue_.front();
  }
  if (alarmQueue_.empty()) {
    toggleSpecialMovieControls(false);
    cancel(songChecker_);
  }
}

void TOLMAlarmFiringQueue::startSongAfterDelay() {
  songStarterTimer_.reset();
  startPlayingSongForAlarm(currentAlarm_);
}

void TOLMAlarmFiringQueue::snooze(QObject*) { snoozeSongsForXMinutes(static_cast<float>(prefs_.snoozeTime())); }

void TOLMAlarmFiringQueue::snoozeSongsForXMinutes(float minutes) {
  if (!services_.player->isPlaying()) return;
  toggleSpecialMovieControls(false);
  services_.player->stop();
  armUnSnooze(minutes * 60.0, minutes * 60.0);
}

void TOLMAlarmFiringQueue::armUnSnooze(double seconds, double snoozeLength) {
  cancel(unSnoozeTimer_);
  unSnoozeTimer_ = loop_.scheduledTimerWithTimeInterval(
      seconds, [this](TOLMTimer&) { unSnoozeAlarm(); }, {}, false);
  runningSnoozeSeconds_ = snoozeLength;
}

void TOLMAlarmFiringQueue::unSnoozeAlarm() {
  toggleSpecialMovieControls(true);
  services_.player->start();
  cancel(unSnoozeTimer_);
}

void TOLMAlarmFiringQueue::killAlarmAfterDelay(TOLMTimer& timer) {
  const std::shared_ptr<TOLMTimer> keep = timer.shared_from_this();
  std::erase(alarmKillingTimers_, keep);
  const auto* held = std::any_cast<std::shared_ptr<TOLMAlarm>>(&timer.userInfo());
  if (!held) return;
  const std::shared_ptr<TOLMAlarm> alarm = *held;

  if (alarm == currentAlarm_) {
    currentAlarm_.reset();
    if (services_.player->isPlaying()) {
      toggleSpecialMovieControls(false);
      services_.player->stop();
    }
    // Otherwise the end of the snooze would bring back the song of an alarm
    // that has expired.
    if (isPending(unSnoozeTimer_)) {
      cancel(unSnoozeTimer_);
      toggleSpecialMovieControls(false);
    }
  }
  std::erase(alarmQueue_, alarm);
  forgetProblemsIfIdle();
}

void TOLMAlarmFiringQueue::killAlarms(QObject*) { killAllSongs(); }

void TOLMAlarmFiringQueue::killAllSongs() {
  cancel(unSnoozeTimer_);
  cancel(songStarterTimer_);
  for (auto& timer : alarmKillingTimers_) timer->invalidate();
  alarmKillingTimers_.clear();
  toggleSpecialMovieControls(false);
  services_.player->stop();
  alarmQueue_.clear();
  currentAlarm_.reset();
  services_.speaker->stopSpeaking();
  cancel(songChecker_);
  forgetProblemsIfIdle();
}

void TOLMAlarmFiringQueue::applyPrefChanges() {
  ensureWindow();
  // A small allowance, so 0.29 shows as 29 and not 28.
  window_->volPercent()->setText(
      QString::number(static_cast<int>(std::floor(static_cast<double>(prefs_.musicVolume()) * 100.0 + 1e-4))));
  window_->speedPercent()->setText(QString::number(static_cast<double>(prefs_.musicSpeed())));

  if (isPending(unSnoozeTimer_)) {
    // The time still to go changes by as much as the snooze length did.
    const double left = unSnoozeTimer_->fireDate() - loop_.now();
    const double length = prefs_.snoozeTime() * 60.0;
    const double extra = left + length - runningSnoozeSeconds_;
    if (extra > 0) {
      armUnSnooze(extra, length);
    } else {
      unSnoozeAlarm();
    }
  }

  TOLMMusicPlayer& player = *services_.player;
  const bool volumeRamp = prefs_.sinusoidalVolumeEnabled() || prefs_.linearVolumeEnabled();
  const bool speedRamp = prefs_.sinusoidalSpeedEnabled() || prefs_.linearSpeedEnabled();
  if (!volumeRamp) player.setVolume(prefs_.musicVolume());
  if (!speedRamp) player.setRate(prefs_.musicSpeed());
  toggleSpecialMovieControls((volumeRamp || speedRamp) && player.isPlaying());
}

void TOLMAlarmFiringQueue::toggleSpecialMovieControls(bool on) {
  if (!on) {
    volumeRamp_->stop();
    speedRamp_->stop();
    return;
  }
  volumeRamp_->start();
  speedRamp_->start();
}

void TOLMAlarmFiringQueue::setUpMessages() {
  ensureWindow();
  log_->applyStyle(TOLMFontNames::fontWithName(prefs_.messageFont(), prefs_.messageSize()), prefs_.messageColor());
}

void TOLMAlarmFiringQueue::clearLog(QObject*) {
  ensureWindow();
  log_->clear();
}

void TOLMAlarmFiringQueue::showNotice(const std::string& line) {
  ensureWindow();
  log_->appendNotice(QString::fromStdString(line));
  setUpMessages();
  window_->makeKeyAndOrderFront();
}

void TOLMAlarmFiringQueue::reportProblem(const std::string& line) {
  ensureWindow();
  log_->appendNotice(QString::fromStdString(line));
  setUpMessages();
}

void TOLMAlarmFiringQueue::reportProblemOnce(const std::string& line) {
  if (!reportedProblems_.insert(line).second) return;
  reportProblem(line);
}

void TOLMAlarmFiringQueue::forgetProblemsIfIdle() {
  if (alarmQueue_.empty()) reportedProblems_.clear();
}
