#include "alarms/TOLMAlarmsDataSource.h"

#include <algorithm>
#include <set>

#include "alarms/TOLMAlarmFireDates.h"

void TOLMAlarmsDataSource::setAlarmsArray(Alarms alarms) {
  alarms_ = std::move(alarms);
  calculateNearestAlarmTimes();
}

void TOLMAlarmsDataSource::calculateNearestAlarmTimes() { calculateNearestAlarmTimesFromDate(TOLMDate::init()); }

void TOLMAlarmsDataSource::calculateNearestAlarmTimesFromDate(const TOLMDate& start) {
  forgetAlarmsNoLongerListed();
  alarmTimes_.clear();
  alarmTimes_.reserve(alarms_.size());
  for (const auto& alarm : alarms_) {
    TOLMDate from = start;
    if (const auto delivered = deliveredThrough_.find(alarm.get()); delivered != deliveredThrough_.end()) {
      if (delivered->second.compareWithDate(from) >= 0) from = delivered->second.incrementSecond();
    }
    const auto fires = TOLMAlarmFireDates::nearestFiresAfterDate_ForAlarm_count(from, *alarm, 1);
    alarmTimes_.push_back(fires.empty() ? std::nullopt : std::optional<TOLMDate>(fires.front()));
  }
}

TOLMAlarmsDataSource::Alarms TOLMAlarmsDataSource::allAlarmsWithFireDate(const TOLMDate& date) const {
  Alarms result;
  const std::size_t count = std::min(alarms_.size(), alarmTimes_.size());
  for (std::size_t i = 0; i < count; ++i) {
    if (alarmTimes_[i] && alarmTimes_[i]->isEqualTo(date)) result.push_back(alarms_[i]);
  }
  return result;
}

void TOLMAlarmsDataSource::noteAlarmDelivered(const TOLMAlarm& alarm, const TOLMDate& through) {
  auto [entry, inserted] = deliveredThrough_.try_emplace(&alarm, through);
  if (!inserted && through.compareWithDate(entry->second) > 0) entry->second = through;
}

void TOLMAlarmsDataSource::transferDeliveries(const TOLMAlarm& from, const TOLMAlarm& to) {
  const auto entry = deliveredThrough_.find(&from);
  if (entry == deliveredThrough_.end() || &from == &to) return;
  const TOLMDate through = entry->second;
  deliveredThrough_.erase(entry);
  noteAlarmDelivered(to, through);
}

void TOLMAlarmsDataSource::forgetAlarmsNoLongerListed() {
  if (deliveredThrough_.empty()) return;
  // Keyed by address: a removed alarm's entry must go before its address can be reused.
  std::set<const TOLMAlarm*> listed;
  for (const auto& alarm : alarms_) listed.insert(alarm.get());
  std::erase_if(deliveredThrough_, [&](const auto& entry) { return !listed.contains(entry.first); });
}

int TOLMAlarmsDataSource::numberOfRowsInTableView() const { return static_cast<int>(alarms_.size()); }

QVariant TOLMAlarmsDataSource::tableView_objectValueForTableColumn_row(const QString& identifier, int row) const {
  if (row < 0 || row >= static_cast<int>(alarms_.size())) return QString();
  const TOLMAlarm& alarm = *alarms_[static_cast<std::size_t>(row)];
  if (identifier == QLatin1String("0")) return QString::fromStdString(alarm.alarmName());
  if (identifier == QLatin1String("1")) {
    const bool known = static_cast<std::size_t>(row) < alarmTimes_.size() && alarmTimes_[row].has_value();
    return known ? QString::fromStdString(alarmTimes_[row]->convertToString()) : QStringLiteral("Never");
  }
  if (identifier == QLatin1String("3")) {
    const bool music = alarm.randomSongIsEnabled() || alarm.manualSongIsEnabled() || alarm.urlSongIsEnabled() ||
                       alarm.xmlSongIsEnabled();
    return music ? QStringLiteral("Yes") : QStringLiteral("No");
  }
  if (identifier == QLatin1String("2")) {
    return alarm.launchingScriptsIsEnabled() ? QStringLiteral("Yes") : QStringLiteral("No");
  }
  return QString();
}
