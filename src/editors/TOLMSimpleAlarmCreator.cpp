#include "editors/TOLMSimpleAlarmCreator.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <climits>
#include <cstdint>
#include <utility>

#include "alarms/TOLMAlarm.h"
#include "alarms/TOLMAlarmSheetRequestor.h"
#include "dates/TOLMDate.h"
#include "editors/TOLMSimpleAlarmSheet.h"

namespace {

// The leading whole number of the text, 0 when it does not begin with one.
std::int32_t intValue(const QString& text) {
  const QString trimmed = text.trimmed();
  qsizetype i = 0;
  bool negative = false;
  if (i < trimmed.size() && (trimmed[i] == QLatin1Char('-') || trimmed[i] == QLatin1Char('+'))) {
    negative = trimmed[i] == QLatin1Char('-');
    ++i;
  }
  long long value = 0;
  for (; i < trimmed.size() && trimmed[i].isDigit() && trimmed[i].unicode() < 128; ++i) {
    value = value * 10 + (trimmed[i].unicode() - '0');
    if (value > INT_MAX) {
      value = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
      break;
    }
  }
  return static_cast<std::int32_t>(negative ? -value : value);
}

// None for an empty field, the zero date for text that is not a time.
std::optional<TOLMDate> timeForText(const QString& text) {
  const std::string trimmed = text.trimmed().toStdString();
  if (trimmed.empty()) return std::nullopt;
  return dateForString(trimmed);
}

bool isZeroDate(const TOLMDate& date) {
  // Every date the parser reads has a month; only the "unreadable" answer has none.
  return date.year() == 0 && date.month() == 0 && date.day() == 0;
}

}  // namespace

TOLMSimpleAlarmCreator::TOLMSimpleAlarmCreator(QWidget* window)
    : window_(window), sheet_(new TOLMSimpleAlarmSheet(window)) {
  TOLMSimpleAlarmSheet* sheet = sheet_;
  QObject::connect(sheet->saveButton, &QPushButton::clicked, sheet, [this] { saveAlarm(); });
  QObject::connect(sheet->cancelButton, &QPushButton::clicked, sheet, [this] { cancelAlarm(); });
  QObject::connect(sheet->chooseFileButton, &QPushButton::clicked, sheet, [this] { findSingleMusicFile(); });
  QObject::connect(sheet->chooseFolderButton, &QPushButton::clicked, sheet, [this] { findMusicFolder(); });
  QObject::connect(sheet->chooseXMLButton, &QPushButton::clicked, sheet, [this] { findXMLFile(); });
  // Escape and the close box end the sheet too; every ending goes through here.
  QObject::connect(sheet, &QDialog::finished, sheet, [this](int result) { sheetDidEnd(result); });
}

TOLMSimpleAlarmCreator::~TOLMSimpleAlarmCreator() {
  if (sheet_) {
    requestor_ = nullptr;
    delete sheet_.data();
  }
}

void TOLMSimpleAlarmCreator::makeNewAlarmForRequestor(TOLMAlarmSheetRequestor* requestor) {
  if (sheet_->isVisible()) {
    sheet_->raise();
    return;
  }
  setUpSheetWithAlarmData(std::make_shared<TOLMAlarm>());
  beginSheet(requestor, nullptr);
}

void TOLMSimpleAlarmCreator::editAlarm_requestor(const std::shared_ptr<TOLMAlarm>& alarm,
                                                 TOLMAlarmSheetRequestor* requestor) {
  if (!alarm) return;
  if (sheet_->isVisible()) {
    sheet_->raise();
    return;
  }
  setUpSheetWithAlarmData(alarm);
  beginSheet(requestor, alarm);
}

void TOLMSimpleAlarmCreator::beginSheet(TOLMAlarmSheetRequestor* requestor, std::shared_ptr<TOLMAlarm> context) {
  requestor_ = requestor;
  context_ = std::move(context);
  sheet_->showProblem(QString());
  sheet_->open();
  sheet_->timeOfDay->setFocus();
}

void TOLMSimpleAlarmCreator::sheetDidEnd(int returnCode) {
  TOLMAlarmSheetRequestor* requestor = std::exchange(requestor_, nullptr);
  std::shared_ptr<TOLMAlarm> context = std::exchange(context_, nullptr);
  if (requestor) {
    requestor->alarmSheetDidEnd_returnCode_contextInfo(sheet_, returnCode == QDialog::Accepted ? 1 : 0, context);
  }
}

void TOLMSimpleAlarmCreator::saveAlarm(QObject*) {
  if (const auto problem = problemWithSheet()) {
    sheet_->showProblem(*problem);
    sheet_->timeOfDay->setFocus();
    sheet_->timeOfDay->selectAll();
    return;
  }
  sheet_->showProblem(QString());
  sheet_->done(QDialog::Accepted);
}

void TOLMSimpleAlarmCreator::cancelAlarm(QObject*) { sheet_->done(QDialog::Rejected); }

std::optional<QString> TOLMSimpleAlarmCreator::problemWithSheet() const {
  const QString text = sheet_->timeOfDay->text();
  const auto time = timeForText(text);
  if (!time) return QObject::tr("Enter the time of day the alarm rings, for example 07:00:00.");
  if (isZeroDate(*time)) {
    return QObject::tr("\"%1\" is not a time of day. Enter one such as 07:00:00.").arg(text.trimmed());
  }
  return std::nullopt;
}

void TOLMSimpleAlarmCreator::setUpSheetWithAlarmData(const std::shared_ptr<TOLMAlarm>& alarm) {
  currentAlarm_ = alarm;
  if (!alarm) return;
  TOLMSimpleAlarmSheet& sheet = *sheet_;
  sheet.alarmIsEnabled->setChecked(alarm->alarmIsEnabled());
  for (int i = 0; i < 7; ++i) sheet.days[i]->setChecked(alarm->days()[i] != 0);
  const auto& times = alarm->setTimes();
  sheet.timeOfDay->setText(times.empty() ? QStringLiteral("08:00:00") : QString::fromStdString(times.front().timeString()));
  sheet.name->setText(QString::fromStdString(alarm->alarmName()));
  sheet.message->setText(QString::fromStdString(alarm->alarmMessage()));
  // Set all four states as stored; a file may hold more than one on.
  const bool sources[4] = {alarm->manualSongIsEnabled(), alarm->randomSongIsEnabled(), alarm->urlSongIsEnabled(),
                           alarm->xmlSongIsEnabled()};
  for (int i = 0; i < 4; ++i) {
    const QSignalBlocker quiet(sheet.musicSelector[i]);
    sheet.musicSelector[i]->setChecked(sources[i]);
  }
  sheet.musicSelection[0]->setText(QString::fromStdString(alarm->manualSongLocation()));
  sheet.musicSelection[1]->setText(QString::fromStdString(alarm->randomSongLocation()));
  sheet.musicSelection[2]->setText(QString::fromStdString(alarm->urlSongLocation()));
  sheet.musicSelection[3]->setText(QString::fromStdString(alarm->xmlSongLocation()));
  sheet.alarmExpirationTime->setText(QString::number(alarm->minutesTillMusicExpires()));
  sheet.showProblem(QString());
}

std::shared_ptr<TOLMAlarm> TOLMSimpleAlarmCreator::getAlarmData() {
  if (!currentAlarm_) return nullptr;
  TOLMSimpleAlarmSheet& sheet = *sheet_;
  TOLMAlarm& alarm = *currentAlarm_;

  std::int32_t days[7];
  for (int i = 0; i < 7; ++i) days[i] = sheet.days[i]->isChecked() ? 1 : 0;
  std::int32_t months[12];
  for (auto& month : months) month = 1;

  alarm.setAlarmIsEnabled(sheet.alarmIsEnabled->isChecked());
  alarm.setAlarmName(sheet.name->text().toStdString());
  alarm.setAlarmMessage(sheet.message->text().toStdString());
  alarm.setMinutesTillMusicExpires(intValue(sheet.alarmExpirationTime->text()));
  // In row order: when several are on, the last one wins.
  alarm.setManualSongEnabled(sheet.musicSelector[0]->isChecked());
  alarm.setRandomSongEnabled(sheet.musicSelector[1]->isChecked());
  alarm.setUrlSongEnabled(sheet.musicSelector[2]->isChecked());
  alarm.setXMLSongEnabled(sheet.musicSelector[3]->isChecked());
  alarm.setManualSongLocation(sheet.musicSelection[0]->text().toStdString());
  alarm.setRandomSongLocation(sheet.musicSelection[1]->text().toStdString());
  alarm.setUrlSongLocation(sheet.musicSelection[2]->text().toStdString());
  alarm.setXMLSongLocation(sheet.musicSelection[3]->text().toStdString());
  alarm.setMonths(months);
  alarm.setDays(days);
  // Save refuses a time it cannot read; should one get here anyway, the
  // alarm keeps the times it had rather than ringing at midnight.
  const auto time = timeForText(sheet.timeOfDay->text());
  if (time && !isZeroDate(*time)) alarm.setSetTimes({*time});
  return currentAlarm_;
}

void TOLMSimpleAlarmCreator::choose(const TOLMOpenPanel::Request& request, int cell) {
  if (!openPanel_) return;
  const auto chosen = openPanel_(sheet_, request);
  if (chosen) sheet_->musicSelection[cell]->setText(*chosen);
}

void TOLMSimpleAlarmCreator::findSingleMusicFile(QObject*) {
  choose({false, TOLMOpenPanel::musicFileTypes(), QObject::tr("Choose a song")}, 0);
}

void TOLMSimpleAlarmCreator::findMusicFolder(QObject*) {
  choose({true, {}, QObject::tr("Choose a folder of songs")}, 1);
}

void TOLMSimpleAlarmCreator::findXMLFile(QObject*) {
  choose({false, {QStringLiteral("xml")}, QObject::tr("Choose a music library file")}, 3);
}
