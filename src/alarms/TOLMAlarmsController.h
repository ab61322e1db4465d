#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "alarms/TOLMAlarm.h"
#include "alarms/TOLMAlarmFireTimeWrapper.h"
#include "alarms/TOLMAlarmSheetRequestor.h"
#include "alarms/TOLMAlarmsDataSource.h"
#include "base/TOLMResult.h"
#include "dates/TOLMDate.h"
#include "platform/TOLMNotificationCenter.h"

class QMainWindow;
class QObject;
class TOLMAlarmEditor;
class TOLMAlarmsWindow;
class TOLMPreferenceController;
class TOLMRunLoop;
class TOLMTimer;

// The alarm list's actions, its file and its one alarm timer: loads the list at
// launch, writes it after every change, hands new and edited alarms to the
// editor sheets, and delivers every alarm due at the armed instant.
class TOLMAlarmsController : public TOLMAlarmSheetRequestor {
 public:
  using AddAlarmToQueue = std::function<void(std::shared_ptr<TOLMAlarm> alarm)>;
  using ShowNotice = std::function<void(const std::string& line)>;
  using Wrappers = std::vector<std::shared_ptr<TOLMAlarmFireTimeWrapper>>;

  // dataDirectory holds the file "alarms". Registers the set-up for the
  // did-finish-launching notification; creates the alarm window.
  TOLMAlarmsController(TOLMPreferenceController& prefs, TOLMRunLoop& loop, TOLMNotificationCenter& center,
                       std::string dataDirectory, AddAlarmToQueue addAlarmToQueue = {}, ShowNotice showNotice = {});
  ~TOLMAlarmsController() override;
  TOLMAlarmsController(const TOLMAlarmsController&) = delete;
  TOLMAlarmsController& operator=(const TOLMAlarmsController&) = delete;

  // Outlets.
  void setAddAlarmToQueue(AddAlarmToQueue addAlarmToQueue) { addAlarmToQueue_ = std::move(addAlarmToQueue); }
  void setShowNotice(ShowNotice showNotice) { showNotice_ = std::move(showNotice); }
  void setSimpleAlarmControl(TOLMAlarmEditor* editor) { simpleAlarmControl_ = editor; }
  // Until one is set, the simple editor serves for both choices.
  void setAdvancedAlarmControl(TOLMAlarmEditor* editor) { advancedAlarmControl_ = editor; }
  QMainWindow* alarmsWindow() const;
  TOLMAlarmsWindow& window() const { return *window_; }
  TOLMAlarmsDataSource& dataSource() { return dataSource_; }
  const std::string& alarmsFilePath() const { return alarmsFile_; }

  void setUpAlarmControl();

  // Actions of the alarm window; the sender is not used.
  void newAlarm(QObject* sender = nullptr);
  void editAlarm(QObject* sender = nullptr);
  void removeAlarm(QObject* sender = nullptr);
  void cloneAlarm(QObject* sender = nullptr);

  void alarmSheetDidEnd_returnCode_contextInfo(QWidget* sheet, int returnCode,
                                              const std::shared_ptr<TOLMAlarm>& contextInfo) override;

  // Start: the timer's user info (a TOLMDate) or, with no timer, now.
  void calculateNearestAlarms(TOLMTimer* timer = nullptr);
  void establishTimers();
  // A single-fire alarm has no fire time while its reference lies ahead; the
  // list looks again just after that reference, before anything else is due.
  void armReferenceWakeUp(const TOLMDate& start, const std::optional<TOLMDate>& nearestFire);
  void alarmShouldFire(TOLMTimer& timer);
  // The armed fire (at most one wrapper).
  const Wrappers& alarmsQueue() const { return alarmsQueue_; }

  // Failures are shown with the notice callable and returned.
  TOLMStatus saveAlarmsToFile();
  TOLMStatus loadAlarmsFromFile();

 private:
  void calculateNearestAlarmsFromDate(const TOLMDate& start);
  void clockDidChange();
  TOLMAlarmEditor* editorForSheet() const;
  void bringWindowToFront();
  void notice(const std::string& line) const;
  void listChanged();

  TOLMPreferenceController& prefs_;
  TOLMRunLoop& loop_;
  std::string dataDirectory_;
  std::string alarmsFile_;
  AddAlarmToQueue addAlarmToQueue_;
  ShowNotice showNotice_;

  TOLMAlarmEditor* advancedAlarmControl_ = nullptr;
  TOLMAlarmEditor* simpleAlarmControl_ = nullptr;
  // The editor whose sheet is open: its answer is the one to store, whatever
  // the preference says by the time the sheet closes.
  TOLMAlarmEditor* openEditor_ = nullptr;
  std::unique_ptr<TOLMAlarmsWindow> window_;
  TOLMAlarmsDataSource dataSource_;

  Wrappers alarmsQueue_;
  std::vector<std::shared_ptr<TOLMTimer>> timersQueue_;
  std::shared_ptr<TOLMTimer> rearmTimer_;
  // Wakes the search once a single-fire alarm's reference has passed.
  std::shared_ptr<TOLMTimer> referenceTimer_;
  std::optional<TOLMDate> lastStart_;
  bool setUp_ = false;
  // Set when an unreadable file could not be moved aside: never write over it.
  std::optional<std::string> protectedFileError_;

  TOLMObserverToken setUpObserver_;
  TOLMObserverToken clockObserver_;
};
