#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "archive/TOLMCoding.h"
#include "dates/TOLMDate.h"

class TOLMUnarchiver;

// One alarm: its name and message, when it may fire (specific date-times, set
// months x weekdays x times of day, or periodic from a reference date, within an
// optional window), the music it plays and the commands it launches.
class TOLMAlarm : public TOLMCoding {
 public:
  // init: enabled, specific and set kinds on with nothing selected, 5 minutes and
  // 5 seconds, window and reference dates now, interval the zero date.
  TOLMAlarm();
  // Null when the coder has failed.
  static std::shared_ptr<TOLMAlarm> initWithCoder(TOLMUnarchiver& coder);

  bool alarmIsEnabled() const { return alarmEnabled; }
  void setAlarmIsEnabled(bool value) { alarmEnabled = value; }
  const std::string& alarmName() const { return alarmName_; }
  void setAlarmName(std::string value) { alarmName_ = std::move(value); }
  const std::string& alarmMessage() const { return alarmMessage_; }
  void setAlarmMessage(std::string value) { alarmMessage_ = std::move(value); }

  const TOLMDate& fireAfterDate() const { return fireAfterDate_; }
  void setFireAfterDate(const TOLMDate& value) { fireAfterDate_ = value; }
  const TOLMDate& fireBeforeDate() const { return fireBeforeDate_; }
  void setFireBeforeDate(const TOLMDate& value) { fireBeforeDate_ = value; }
  bool fireAfterIsEnabled() const { return fireAfterEnabled; }
  void setFireAfterEnabled(bool value) { fireAfterEnabled = value; }
  bool fireBeforeIsEnabled() const { return fireBeforeEnabled; }
  void setFireBeforeEnabled(bool value) { fireBeforeEnabled = value; }

  bool specificFireEnabled() const { return specificEnabled; }
  void setSpecificFireEnabled(bool value) { specificEnabled = value; }
  const std::vector<TOLMDate>& specificFireDates() const { return specificFireDates_; }
  void setSpecificFireDates(std::vector<TOLMDate> value) { specificFireDates_ = std::move(value); }

  std::int32_t minutesTillMusicExpires() const { return musicExpiresAfterXMinutes; }
  void setMinutesTillMusicExpires(std::int32_t value) { musicExpiresAfterXMinutes = value; }
  std::int32_t secondsBetweenSongs() const { return secondsBetweenSongs_; }
  void setSecondsBetweenSongs(std::int32_t value) { secondsBetweenSongs_ = value; }

  // Setting one music source on turns the other three off.
  bool randomSongIsEnabled() const { return randomSongEnabled; }
  void setRandomSongEnabled(bool value);
  bool manualSongIsEnabled() const { return manualSongEnabled; }
  void setManualSongEnabled(bool value);
  bool urlSongIsEnabled() const { return urlSongEnabled; }
  void setUrlSongEnabled(bool value);
  bool xmlSongIsEnabled() const { return xmlSongEnabled; }
  void setXMLSongEnabled(bool value);
  const std::string& manualSongLocation() const { return manualLocation; }
  void setManualSongLocation(std::string value) { manualLocation = std::move(value); }
  const std::string& randomSongLocation() const { return randomLocation; }
  void setRandomSongLocation(std::string value) { randomLocation = std::move(value); }
  const std::string& urlSongLocation() const { return urlLocation; }
  void setUrlSongLocation(std::string value) { urlLocation = std::move(value); }
  const std::string& xmlSongLocation() const { return xmlLocation; }
  void setXMLSongLocation(std::string value) { xmlLocation = std::move(value); }

  bool launchingScriptsIsEnabled() const { return launchScripts; }
  void setShouldLaunchScripts(bool value) { launchScripts = value; }
  const std::vector<std::string>& scriptsArray() const { return scripts; }
  void setScriptsArray(std::vector<std::string> value) { scripts = std::move(value); }

  bool setIsEnabled() const { return setEnabled; }
  void setSetEnabled(bool value) { setEnabled = value; }
  const std::int32_t* months() const { return setMonths_; }
  void setMonths(const std::int32_t* values);  // copies 12
  const std::int32_t* days() const { return setDays_; }
  void setDays(const std::int32_t* values);  // copies 7
  const std::vector<TOLMDate>& setTimes() const { return setTimes_; }
  void setSetTimes(std::vector<TOLMDate> value) { setTimes_ = std::move(value); }

  bool multipleFireEnabled() const { return multipleFireEnabled_; }
  void setMultipleFireEnabled(bool value) { multipleFireEnabled_ = value; }
  bool singleFireEnabled() const { return oneFireEnabled; }
  void setSingleFireEnabled(bool value) { oneFireEnabled = value; }
  const TOLMDate& referenceDate() const { return referenceDate_; }
  void setReferenceDate(const TOLMDate& value) { referenceDate_ = value; }
  const TOLMDate& intervalDate() const { return timeInterval; }
  void setIntervalDate(const TOLMDate& value) { timeInterval = value; }

  std::string className() const override { return "TOLMAlarm"; }
  void encodeWithCoder(TOLMArchiver& coder) const override;

 private:
  // Declared names; a trailing underscore only where a getter has the same name.
  bool alarmEnabled = true;
  std::string alarmName_;
  std::string alarmMessage_;
  TOLMDate fireAfterDate_;
  TOLMDate fireBeforeDate_;
  bool fireAfterEnabled = false;
  bool fireBeforeEnabled = false;
  std::int32_t musicExpiresAfterXMinutes = 5;
  std::int32_t secondsBetweenSongs_ = 5;
  bool randomSongEnabled = false;
  bool manualSongEnabled = false;
  bool urlSongEnabled = false;
  bool xmlSongEnabled = false;
  std::string manualLocation;
  std::string randomLocation;
  std::string urlLocation;
  std::string xmlLocation;
  bool launchScripts = false;
  std::vector<std::string> scripts;
  bool specificEnabled = true;
  std::vector<TOLMDate> specificFireDates_;
  bool setEnabled = true;
  std::int32_t setMonths_[12] = {};
  std::int32_t setDays_[7] = {};
  std::vector<TOLMDate> setTimes_;
  bool multipleFireEnabled_ = false;
  bool oneFireEnabled = false;
  TOLMDate referenceDate_;
  TOLMDate timeInterval;
};

void initialzeArray(std::int32_t* array, int count);
void copyArray(std::int32_t* destination, const std::int32_t* source, int count);
// Deep copy by archive round trip.
std::shared_ptr<TOLMAlarm> cloneAlarm(const TOLMAlarm& alarm);
