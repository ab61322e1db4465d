#pragma once

#include <memory>

class QWidget;
class TOLMAlarm;

// Whoever opens an alarm editor sheet and is told when it closes.
class TOLMAlarmSheetRequestor {
 public:
  virtual ~TOLMAlarmSheetRequestor() = default;
  // returnCode 1 for save, 0 for cancel; contextInfo is the alarm that was being
  // edited, or null for a new alarm.
  virtual void alarmSheetDidEnd_returnCode_contextInfo(QWidget* sheet, int returnCode,
                                                      const std::shared_ptr<TOLMAlarm>& contextInfo) = 0;
};
