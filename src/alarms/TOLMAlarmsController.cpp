#include "alarms/TOLMAlarmsController.h"

#include <QPushButton>
#include <QString>
#include <algorithm>
#include <filesystem>
#include <system_error>

#include "alarms/TOLMAlarmEditor.h"
#include "alarms/TOLMAlarmsWindow.h"
#include "platform/TOLMTimingLog.h"
#include "archive/TOLMArchiveObject.h"
#include "platform/TOLMArchiveFile.h"
#include "platform/TOLMDurableFile.h"
#include "platform/TOLMRunLoop.h"
#include "platform/TOLMTableDataSourceModel.h"
#include "platform/TOLMTimer.h"
#include "preferences/TOLMPreferenceController.h"

namespace {

TOLMResult<TOLMAlarmsDataSource::Alarms> alarmsFromArchive(const TOLMArchiveObject& root) {
  using Result = TOLMResult<TOLMAlarmsDataSource::Alarms>;
  const auto list = root.listValue();
  if (!list) return Result::failure("it does not hold a list of alarms");
  TOLMAlarmsDataSource::Alarms alarms;
  alarms.reserve(list->size());
  for (const TOLMArchiveObject& element : *list) {
    auto alarm = element.recordAs<TOLMAlarm>();
    // Dropping what is not an alarm would lose it at the next save.
    if (!alarm) return Result::failure("it holds something that is not an alarm");
    alarms.push_back(std::move(alarm));
  }
  return Result::success(std::move(alarms));
}

}  // namespace

TOLMAlarmsController::TOLMAlarmsController(TOLMPreferenceController& prefs, TOLMRunLoop& loop,
                                           TOLMNotificationCenter& center, std::string dataDirectory,
                                           AddAlarmToQueue addAlarmToQueue, ShowNotice showNotice)
    : prefs_(prefs),
      loop_(loop),
      dataDirectory_(std::move(dataDirectory)),
      alarmsFile_((std::filesystem::path(dataDirectory_) / "alarms").string()),
      addAlarmToQueue_(std::move(addAlarmToQueue)),
      showNotice_(std::move(showNotice)),
      window_(std::make_unique<TOLMAlarmsWindow>()) {
  TOLMAlarmsWindow* window = window_.get();
  QObject::connect(window->newButton(), &QPushButton::clicked, window, [this] { newAlarm(); });
  QObject::connect(window->editButton(), &QPushButton::clicked, window, [this] { editAlarm(); });
  QObject::connect(window->removeButton(), &QPushButton::clicked, window, [this] { removeAlarm(); });
  QObject::connect(window->cloneButton(), &QPushButton::clicked, window, [this] { cloneAlarm(); });
  QObject::connect(window, &TOLMAlarmsWindow::rowDoubleClicked, window, [this] { editAlarm(); });

  setUpObserver_ = center.addObserver(NSApplicationDidFinishLaunchingNotification, nullptr,
                                      [this](const TOLMNotification&) { setUpAlarmControl(); });
  clockObserver_ = center.addObserver(TOLMRunLoop::clockDidChangeNotification, nullptr,
                                      [this](const TOLMNotification&) { clockDidChange(); });
}

TOLMAlarmsController::~TOLMAlarmsController() {
  // The timers' actions refer to this controller; the loop may outlive it.
  for (const auto& timer : timersQueue_) timer->invalidate();
  if (rearmTimer_) rearmTimer_->invalidate();
  if (referenceTimer_) referenceTimer_->invalidate();
  window_->tableModel()->setDataSource(nullptr);
}

QMainWindow* TOLMAlarmsController::alarmsWindow() const { return window_.get(); }

void TOLMAlarmsController::setUpAlarmControl() {
  if (setUp_) return;
  setUp_ = true;
  window_->tableModel()->setDataSource(&dataSource_);
  loadAlarmsFromFile();
  calculateNearestAlarms(nullptr);
}

// ---- actions

void TOLMAlarmsController::bringWindowToFront() {
  window_->show();
  window_->raise();
  window_->activateWindow();
}

TOLMAlarmEditor* TOLMAlarmsController::editorForSheet() const {
  TOLMAlarmEditor* chosen = prefs_.simpleAlarmsEnabled() ? simpleAlarmControl_ : advancedAlarmControl_;
  if (chosen) return chosen;
  return simpleAlarmControl_ ? simpleAlarmControl_ : advancedAlarmControl_;
}

void TOLMAlarmsController::newAlarm(QObject*) {
  bringWindowToFront();
  TOLMAlarmEditor* editor = editorForSheet();
  if (!editor) return;
  openEditor_ = editor;
  editor->makeNewAlarmForRequestor(this);
}

void TOLMAlarmsController::editAlarm(QObject*) {
  const int row = window_->selectedRow();
  if (row < 0 || row >= static_cast<int>(dataSource_.alarms().size())) return;
  bringWindowToFront();
  TOLMAlarmEditor* editor = editorForSheet();
  if (!editor) return;
  openEditor_ = editor;
  editor->editAlarm_requestor(dataSource_.alarms()[static_cast<std::size_t>(row)], this);
}

void TOLMAlarmsController::removeAlarm(QObject*) {
  const int row = window_->selectedRow();
  auto& alarms = dataSource_.alarms();
  if (row < 0 || row >= static_cast<int>(alarms.size())) return;
  alarms.erase(alarms.begin() + row);
  listChanged();
}

void TOLMAlarmsController::cloneAlarm(QObject*) {
  const int row = window_->selectedRow();
  auto& alarms = dataSource_.alarms();
  if (row < 0 || row >= static_cast<int>(alarms.size())) return;
  auto copy = ::cloneAlarm(*alarms[static_cast<std::size_t>(row)]);
  if (!copy) return;
  alarms.push_back(std::move(copy));
  listChanged();
}

void TOLMAlarmsController::alarmSheetDidEnd_returnCode_contextInfo(QWidget*, int returnCode,
                                                                  const std::shared_ptr<TOLMAlarm>& contextInfo) {
  TOLMAlarmEditor* editor = openEditor_ ? openEditor_ : editorForSheet();
  openEditor_ = nullptr;
  if (returnCode != 1 || !editor) return;
  std::shared_ptr<TOLMAlarm> alarm = editor->getAlarmData();
  if (!alarm) return;
  auto& alarms = dataSource_.alarms();
  const auto place = contextInfo ? std::find(alarms.begin(), alarms.end(), contextInfo) : alarms.end();
  if (place != alarms.end()) {
    dataSource_.transferDeliveries(**place, *alarm);
    *place = std::move(alarm);
  } else {
    // A new alarm, or an edit whose original left the list meanwhile: keep the user's work.
    alarms.push_back(std::move(alarm));
  }
  listChanged();
}

void TOLMAlarmsController::listChanged() {
  saveAlarmsToFile();
  calculateNearestAlarms(nullptr);
}

// ---- scheduling

void TOLMAlarmsController::calculateNearestAlarms(TOLMTimer* timer) {
  const TOLMDate* start = timer ? std::any_cast<TOLMDate>(&timer->userInfo()) : nullptr;
  calculateNearestAlarmsFromDate(start ? *start : TOLMDate::init());
}

void TOLMAlarmsController::calculateNearestAlarmsFromDate(const TOLMDate& start) {
  lastStart_ = start;
  // The list's fire times and the armed fire come from one computation, so the
  // instant the timer carries is exactly the one the due alarms are looked up by.
  dataSource_.calculateNearestAlarmTimesFromDate(start);
  alarmsQueue_.clear();
  const auto& alarms = dataSource_.alarms();
  const auto& times = dataSource_.alarmTimes();
  std::optional<std::size_t> nearest;
  for (std::size_t i = 0; i < times.size() && i < alarms.size(); ++i) {
    if (times[i] && (!nearest || times[i]->compareWithDate(*times[*nearest]) < 0)) nearest = i;
  }
  if (nearest) alarmsQueue_.push_back(TOLMAlarmFireTimeWrapper::wrapperForAlarm_fireTime(alarms[*nearest], *times[*nearest]));
  establishTimers();
  armReferenceWakeUp(start, nearest ? times[*nearest] : std::nullopt);
}

void TOLMAlarmsController::armReferenceWakeUp(const TOLMDate& start, const std::optional<TOLMDate>& nearestFire) {
  if (referenceTimer_) referenceTimer_->invalidate();
  referenceTimer_.reset();
  std::optional<TOLMDate> wake;
  for (const auto& alarm : dataSource_.alarms()) {
    if (!alarm->alarmIsEnabled() || !alarm->singleFireEnabled()) continue;
    const TOLMDate& reference = alarm->referenceDate();
    if (reference.compareWithDate(start) < 0) continue;
    if (!wake || reference.compareWithDate(*wake) < 0) wake = reference;
  }
  // A fire before the reference re-arms the list anyway.
  if (!wake || (nearestFire && nearestFire->compareWithDate(*wake) <= 0)) return;
  const TOLMDate after = wake->incrementSecond();
  const double delay = std::max(after.getDate() - loop_.now(), 0.0);
  referenceTimer_ = loop_.scheduledTimerWithTimeInterval(
      delay, [this](TOLMTimer& timer) { calculateNearestAlarms(&timer); }, after, false);
}

void TOLMAlarmsController::establishTimers() {
  for (const auto& timer : timersQueue_) timer->invalidate();
  timersQueue_.clear();
  for (const auto& wrapper : alarmsQueue_) {
    timersQueue_.push_back(loop_.scheduledTimerWithTimeInterval(
        wrapper->timeTillFire(), [this](TOLMTimer& timer) { alarmShouldFire(timer); }, wrapper, false));
  }
  const std::string title = alarmsQueue_.empty()
                                ? std::string("Next Alarm Date: Never")
                                : "Next Alarm Date: " + alarmsQueue_.front()->alarmFireDate().convertToString();
  window_->setWindowTitle(QString::fromStdString(title));
  window_->tableModel()->reloadData();
}

void TOLMAlarmsController::alarmShouldFire(TOLMTimer& timer) {
  const auto* wrapper = std::any_cast<std::shared_ptr<TOLMAlarmFireTimeWrapper>>(&timer.userInfo());
  if (!wrapper || !*wrapper) return;
  const TOLMDate fireDate = (*wrapper)->alarmFireDate();
  TOLMTimingLog::markDue("alarm-timer-fired", timer.fireDate());
  const TOLMAlarmsDataSource::Alarms due = dataSource_.allAlarmsWithFireDate(fireDate);

  // A late ring (clock stepped forward, machine resumed) stands for every
  // occurrence up to now, so the alarm does not ring once per missed occurrence.
  const TOLMDate now = TOLMDate::init();
  const TOLMDate& through = fireDate.compareWithDate(now) >= 0 ? fireDate : now;
  for (const auto& alarm : due) dataSource_.noteAlarmDelivered(*alarm, through);
  for (const auto& alarm : due) {
    if (addAlarmToQueue_) addAlarmToQueue_(alarm);
  }

  if (rearmTimer_) rearmTimer_->invalidate();
  rearmTimer_ = loop_.scheduledTimerWithTimeInterval(
      1.0, [this](TOLMTimer& rearm) { calculateNearestAlarms(&rearm); }, fireDate.incrementSecond(), false);
}

void TOLMAlarmsController::clockDidChange() {
  if (!setUp_) return;
  // Forward: search again from the last start, so a fire time the clock jumped
  // over is found and rings at once, late. Backward: from the new now; what
  // already rang is skipped by the delivery record.
  const TOLMDate now = TOLMDate::init();
  const bool forward = lastStart_ && lastStart_->compareWithDate(now) < 0;
  calculateNearestAlarmsFromDate(forward ? *lastStart_ : now);
}

// ---- file

void TOLMAlarmsController::notice(const std::string& line) const {
  if (showNotice_) showNotice_(line);
}

TOLMStatus TOLMAlarmsController::saveAlarmsToFile() {
  if (protectedFileError_) {
    std::error_code unknown;
    if (!std::filesystem::exists(alarmsFile_, unknown) && !unknown) protectedFileError_.reset();  // moved by the user
  }
  if (protectedFileError_) {
    const std::string error = "The alarm list was not saved: " + *protectedFileError_;
    notice(error);
    return TOLMStatus::failure(error);
  }
  TOLMArchiveList list;
  list.reserve(dataSource_.alarms().size());
  for (const auto& alarm : dataSource_.alarms()) list.push_back(TOLMArchiveObject::record(alarm));
  const TOLMArchiveObject root = TOLMArchiveObject::list(std::move(list));

  std::error_code ignored;
  std::filesystem::create_directories(dataDirectory_, ignored);
  const TOLMStatus written = TOLMArchiveFile::archiveRootObject_toFile(root, alarmsFile_);
  if (!written) {
    notice("The alarm list could not be saved (" + written.error() +
           "). The alarms stay active, but the changes will be lost when Vekkaro quits unless a later save succeeds.");
  }
  return written;
}

TOLMStatus TOLMAlarmsController::loadAlarmsFromFile() {
  const TOLMResult<TOLMArchiveObject> read = TOLMArchiveFile::unarchiveObjectWithFile(alarmsFile_);
  std::string problem;
  if (read.ok()) {
    if (read.value().isNone()) return TOLMStatus::success();  // no file yet
    auto alarms = alarmsFromArchive(read.value());
    if (alarms.ok()) {
      dataSource_.setAlarmsArray(std::move(alarms).value());
      return TOLMStatus::success();
    }
    problem = alarms.error();
  } else {
    problem = read.error();
  }

  // Never let the next save replace alarms that could not be read.
  dataSource_.setAlarmsArray({});
  const TOLMResult<std::string> aside = TOLMDurableFile::setAside(alarmsFile_);
  std::string message;
  if (aside.ok()) {
    message = "The alarms file could not be read (" + problem + "). It was kept as " + aside.value() +
              "; the alarm list starts empty.";
  } else {
    protectedFileError_ = "the alarms file " + alarmsFile_ + " could not be read and is kept as it is.";
    message = "The alarms file " + alarmsFile_ + " could not be read (" + problem + ") nor moved aside (" +
              aside.error() + "). The alarm list starts empty and will not be saved while that file is there.";
  }
  notice(message);
  return TOLMStatus::failure(message);
}
