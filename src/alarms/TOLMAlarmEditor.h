#pragma once

#include <memory>

class TOLMAlarm;
class TOLMAlarmSheetRequestor;

// An alarm editor sheet as the alarm list uses it (the simple and the advanced
// editor both answer these).
class TOLMAlarmEditor {
 public:
  virtual ~TOLMAlarmEditor() = default;
  // Opens the sheet on a fresh alarm; the requestor is told with no context.
  virtual void makeNewAlarmForRequestor(TOLMAlarmSheetRequestor* requestor) = 0;
  // Opens the sheet on the given alarm; the requestor is told with the alarm as context.
  virtual void editAlarm_requestor(const std::shared_ptr<TOLMAlarm>& alarm, TOLMAlarmSheetRequestor* requestor) = 0;
  // The alarm that the sheet's contents describe.
  virtual std::shared_ptr<TOLMAlarm> getAlarmData() = 0;
};
