#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <string>

#include "platform/TOLMClockStepDetector.h"
#include "platform/TOLMRunLoop.h"

class QSocketNotifier;
class QFileSystemWatcher;

// The production loop over Qt's event loop. All timers share one CLOCK_REALTIME
// timerfd armed at the earliest fire date (absolute, so no 24.8-day limit and no
// coarse-timer slack). TFD_TIMER_CANCEL_ON_SET reports clock steps and resumes;
// a watch on /etc/localtime reports time-zone changes.
class TOLMQtRunLoop : public QObject, public TOLMRunLoop {
  Q_OBJECT
 public:
  explicit TOLMQtRunLoop(TOLMNotificationCenter& center, QObject* parent = nullptr);
  ~TOLMQtRunLoop() override;

  double now() const override;
  void runFor(double seconds) override;

  // The file whose change means a new local time zone (/etc/localtime).
  void watchTimeZoneFile(const QString& path);
  // Where the wall-clock/monotonic offset comes from (tests step it by hand).
  void setClockOffsetSource(TOLMClockStepDetector::OffsetSource source);

 protected:
  void scheduleChanged() override;

 private:
  void armTimerFd();
  void timerFdReadable();
  void localTimeChanged();
  void deliver(const std::function<void()>& work);
  std::string zoneSignature() const;

  int timerFd_ = -1;
  QSocketNotifier* notifier_ = nullptr;
  QFileSystemWatcher* zoneWatcher_ = nullptr;
  QString zoneFile_;
  std::string zoneSignature_;
  TOLMClockStepDetector stepDetector_;
};
