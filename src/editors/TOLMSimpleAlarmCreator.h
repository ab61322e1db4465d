#pragma once

#include <QPointer>
#include <QString>
#include <memory>
#include <optional>

#include "alarms/TOLMAlarmEditor.h"
#include "editors/TOLMOpenPanel.h"
#include "editors/TOLMSimpleAlarmSheet.h"

class QObject;
class QWidget;
class TOLMAlarm;
class TOLMAlarmSheetRequestor;

// The simple alarm editor: one time of day on chosen weekdays, the name, the
// message, the music and how long it plays. It edits the record it is given and
// hands back that same record; fields it does not show keep their values.
class TOLMSimpleAlarmCreator : public TOLMAlarmEditor {
 public:
  // window: the alarm window, which the sheet is modal on.
  explicit TOLMSimpleAlarmCreator(QWidget* window);
  ~TOLMSimpleAlarmCreator() override;
  TOLMSimpleAlarmCreator(const TOLMSimpleAlarmCreator&) = delete;
  TOLMSimpleAlarmCreator& operator=(const TOLMSimpleAlarmCreator&) = delete;

  void makeNewAlarmForRequestor(TOLMAlarmSheetRequestor* requestor) override;
  void editAlarm_requestor(const std::shared_ptr<TOLMAlarm>& alarm, TOLMAlarmSheetRequestor* requestor) override;
  // Writes the sheet into the current alarm and returns it.
  std::shared_ptr<TOLMAlarm> getAlarmData() override;

  void setUpSheetWithAlarmData(const std::shared_ptr<TOLMAlarm>& alarm);
  // Save ends the sheet with code 1, unless the sheet cannot describe an alarm:
  // then it says why and stays open.
  void saveAlarm(QObject* sender = nullptr);
  void cancelAlarm(QObject* sender = nullptr);
  void findSingleMusicFile(QObject* sender = nullptr);
  void findMusicFolder(QObject* sender = nullptr);
  void findXMLFile(QObject* sender = nullptr);

  // What keeps the sheet from describing an alarm, if anything.
  std::optional<QString> problemWithSheet() const;

  const std::shared_ptr<TOLMAlarm>& currentAlarm() const { return currentAlarm_; }
  TOLMSimpleAlarmSheet& sheet() const { return *sheet_; }
  QWidget* window() const { return window_; }
  void setOpenPanel(TOLMOpenPanel::Runner runner) { openPanel_ = std::move(runner); }

 private:
  void beginSheet(TOLMAlarmSheetRequestor* requestor, std::shared_ptr<TOLMAlarm> context);
  void sheetDidEnd(int returnCode);
  void choose(const TOLMOpenPanel::Request& request, int cell);

  QWidget* window_;
  QPointer<TOLMSimpleAlarmSheet> sheet_;  // a child of window_
  std::shared_ptr<TOLMAlarm> currentAlarm_;
  TOLMAlarmSheetRequestor* requestor_ = nullptr;
  std::shared_ptr<TOLMAlarm> context_;
  TOLMOpenPanel::Runner openPanel_ = &TOLMOpenPanel::runModalForTypes;
};
