#pragma once

#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "alarms/TOLMAlarm.h"
#include "dates/TOLMDate.h"
#include "platform/TOLMTableDataSource.h"

// The user's alarm list, in the user's order, with each alarm's next fire time;
// the alarm table's rows.
class TOLMAlarmsDataSource : public TOLMTableDataSource {
 public:
  using Alarms = std::vector<std::shared_ptr<TOLMAlarm>>;

  TOLMAlarmsDataSource() = default;

  // The list itself; the controller changes it in place.
  Alarms& alarms() { return alarms_; }
  const Alarms& alarms() const { return alarms_; }
  // Takes the list and recomputes the fire times from now.
  void setAlarmsArray(Alarms alarms);

  // Each alarm's next fire time from now.
  void calculateNearestAlarmTimes();
  // Each alarm's next fire time from start, or, for an alarm already delivered
  // at or after start, from just after that delivery (so a clock set back never
  // rings an alarm twice for one fire time).
  void calculateNearestAlarmTimesFromDate(const TOLMDate& start);
  const std::vector<std::optional<TOLMDate>>& alarmTimes() const { return alarmTimes_; }
  // The alarms whose next fire time is date, in list order.
  Alarms allAlarmsWithFireDate(const TOLMDate& date) const;

  // The alarm rang for every fire time up to and including through.
  void noteAlarmDelivered(const TOLMAlarm& alarm, const TOLMDate& through);
  // A record replaces another in the list (an edit): it keeps what was delivered.
  void transferDeliveries(const TOLMAlarm& from, const TOLMAlarm& to);

  int numberOfRowsInTableView() const override;
  QVariant tableView_objectValueForTableColumn_row(const QString& identifier, int row) const override;

 private:
  void forgetAlarmsNoLongerListed();

  Alarms alarms_;
  // Same length and order as alarms_ right after a calculation; none: no fire time.
  std::vector<std::optional<TOLMDate>> alarmTimes_;
  // By identity: the last fire time each alarm was delivered for.
  std::map<const TOLMAlarm*, TOLMDate> deliveredThrough_;
};
