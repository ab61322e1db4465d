#include "alarms/TOLMAlarm.h"

#include <algorithm>

#include "archive/TOLMArchiver.h"
#include "archive/TOLMUnarchiver.h"

namespace {

void encodeFlag(TOLMArchiver& coder, bool value) {
  const std::int8_t byte = value ? 1 : 0;
  coder.encodeValueOfObjCType("c", &byte);
}

void encodeString(TOLMArchiver& coder, const std::string& value) {
  coder.encodeObject(TOLMArchiveObject::string(value));
}

void encodeDate(TOLMArchiver& coder, const TOLMDate& value) {
  coder.encodeObject(TOLMArchiveObject::record(std::make_shared<TOLMDate>(value)));
}

void encodeDates(TOLMArchiver& coder, const std::vector<TOLMDate>& values) {
  TOLMArchiveList list;
  list.reserve(values.size());
  for (const TOLMDate& date : values) list.push_back(TOLMArchiveObject::record(std::make_shared<TOLMDate>(date)));
  coder.encodeObject(TOLMArchiveObject::list(std::move(list)));
}

void encodeStrings(TOLMArchiver& coder, const std::vector<std::string>& values) {
  TOLMArchiveList list;
  list.reserve(values.size());
  for (const std::string& text : values) list.push_back(TOLMArchiveObject::string(text));
  coder.encodeObject(TOLMArchiveObject::list(std::move(list)));
}

// Each reader leaves the field untouched and marks the coder failed when the
// archive holds something else, so a foreign file never yields a half-read alarm.
void decodeFlag(TOLMUnarchiver& coder, bool& field) {
  std::int8_t byte = 0;
  if (coder.decodeValueOfObjCType("c", &byte)) field = byte != 0;
}

void decodeInteger(TOLMUnarchiver& coder, std::int32_t& field) {
  std::int32_t value = 0;
  if (coder.decodeValueOfObjCType("i", &value)) field = value;
}

void decodeString(TOLMUnarchiver& coder, std::string& field, const char* name) {
  const TOLMArchiveObject object = coder.decodeObject();
  if (coder.failed()) return;
  const std::string* text = object.stringValue();
  if (text == nullptr) {
    coder.fail(std::string("alarm field ") + name + " is not a string");
    return;
  }
  field = *text;
}

void decodeDate(TOLMUnarchiver& coder, TOLMDate& field, const char* name) {
  const TOLMArchiveObject object = coder.decodeObject();
  if (coder.failed()) return;
  const std::shared_ptr<TOLMDate> date = object.recordAs<TOLMDate>();
  if (!date) {
    coder.fail(std::string("alarm field ") + name + " is not a date");
    return;
  }
  field = *date;
}

void decodeDates(TOLMUnarchiver& coder, std::vector<TOLMDate>& field, const char* name) {
  const TOLMArchiveObject object = coder.decodeObject();
  if (coder.failed()) return;
  const std::shared_ptr<TOLMArchiveList> list = object.listValue();
  if (!list) {
    coder.fail(std::string("alarm field ") + name + " is not a list");
    return;
  }
  std::vector<TOLMDate> dates;
  dates.reserve(list->size());
  for (const TOLMArchiveObject& element : *list) {
    const std::shared_ptr<TOLMDate> date = element.recordAs<TOLMDate>();
    if (!date) {
      coder.fail(std::string("alarm field ") + name + " holds something other than a date");
      return;
    }
    dates.push_back(*date);
  }
  field = std::move(dates);
}

void decodeStrings(TOLMUnarchiver& coder, std::vector<std::string>& field, const char* name) {
  const TOLMArchiveObject object = coder.decodeObject();
  if (coder.failed()) return;
  const std::shared_ptr<TOLMArchiveList> list = object.listValue();
  if (!list) {
    coder.fail(std::string("alarm field ") + name + " is not a list");
    return;
  }
  std::vector<std::string> texts;
  texts.reserve(list->size());
  for (const TOLMArchiveObject& element : *list) {
    const std::string* text = element.stringValue();
    if (text == nullptr) {
      coder.fail(std::string("alarm field ") + name + " holds something other than a string");
      return;
    }
    texts.push_back(*text);
  }
  field = std::move(texts);
}

}  // namespace

TOLMAlarm::TOLMAlarm() {
  const TOLMDate now = TOLMDate::init();
  fireAfterDate_ = now;
  fireBeforeDate_ = now;
  referenceDate_ = now;
  timeInterval = TOLMDate::initZeroDate();
  initialzeArray(setMonths_, 12);
  initialzeArray(setDays_, 7);
}

void TOLMAlarm::setRandomSongEnabled(bool value) {
  if (value) manualSongEnabled = urlSongEnabled = xmlSongEnabled = false;
  randomSongEnabled = value;
}

void TOLMAlarm::setManualSongEnabled(bool value) {
  if (value) randomSongEnabled = urlSongEnabled = xmlSongEnabled = false;
  manualSongEnabled = value;
}

void TOLMAlarm::setUrlSongEnabled(bool value) {
  if (value) randomSongEnabled = manualSongEnabled = xmlSongEnabled = false;
  urlSongEnabled = value;
}

void TOLMAlarm::setXMLSongEnabled(bool value) {
  if (value) randomSongEnabled = manualSongEnabled = urlSongEnabled = false;
  xmlSongEnabled = value;
}

void TOLMAlarm::setMonths(const std::int32_t* values) {
  if (values != nullptr) copyArray(setMonths_, values, 12);
}

void TOLMAlarm::setDays(const std::int32_t* values) {
  if (values != nullptr) copyArray(setDays_, values, 7);
}

void TOLMAlarm::encodeWithCoder(TOLMArchiver& coder) const {
  encodeFlag(coder, alarmEnabled);
  encodeString(coder, alarmName_);
  encodeString(coder, alarmMessage_);
  encodeDate(coder, fireAfterDate_);
  encodeDate(coder, fireBeforeDate_);
  encodeFlag(coder, fireAfterEnabled);
  encodeFlag(coder, fireBeforeEnabled);
  coder.encodeValueOfObjCType("i", &musicExpiresAfterXMinutes);
  coder.encodeValueOfObjCType("i", &secondsBetweenSongs_);
  encodeFlag(coder, randomSongEnabled);
  encodeFlag(coder, manualSongEnabled);
  encodeFlag(coder, urlSongEnabled);
  encodeFlag(coder, xmlSongEnabled);
  encodeString(coder, manualLocation);
  encodeString(coder, randomLocation);
  encodeString(coder, urlLocation);
  encodeString(coder, xmlLocation);
  encodeFlag(coder, launchScripts);
  encodeStrings(coder, scripts);
  encodeFlag(coder, specificEnabled);
  encodeDates(coder, specificFireDates_);
  encodeFlag(coder, setEnabled);
  coder.encodeValueOfObjCType("[12i]", setMonths_);
  coder.encodeValueOfObjCType("[7i]", setDays_);
  encodeDates(coder, setTimes_);
  encodeFlag(coder, multipleFireEnabled_);
  encodeFlag(coder, oneFireEnabled);
  encodeDate(coder, referenceDate_);
  encodeDate(coder, timeInterval);
}

std::shared_ptr<TOLMAlarm> TOLMAlarm::initWithCoder(TOLMUnarchiver& coder) {
  auto alarm = std::make_shared<TOLMAlarm>();
  TOLMAlarm& a = *alarm;
  decodeFlag(coder, a.alarmEnabled);
  decodeString(coder, a.alarmName_, "alarmName");
  decodeString(coder, a.alarmMessage_, "alarmMessage");
  decodeDate(coder, a.fireAfterDate_, "fireAfterDate");
  decodeDate(coder, a.fireBeforeDate_, "fireBeforeDate");
  decodeFlag(coder, a.fireAfterEnabled);
  decodeFlag(coder, a.fireBeforeEnabled);
  decodeInteger(coder, a.musicExpiresAfterXMinutes);
  decodeInteger(coder, a.secondsBetweenSongs_);
  decodeFlag(coder, a.randomSongEnabled);
  decodeFlag(coder, a.manualSongEnabled);
  decodeFlag(coder, a.urlSongEnabled);
  decodeFlag(coder, a.xmlSongEnabled);
  decodeString(coder, a.manualLocation, "manualLocation");
  decodeString(coder, a.randomLocation, "randomLocation");
  decodeString(coder, a.urlLocation, "urlLocation");
  decodeString(coder, a.xmlLocation, "xmlLocation");
  decodeFlag(coder, a.launchScripts);
  decodeStrings(coder, a.scripts, "scripts");
  decodeFlag(coder, a.specificEnabled);
  decodeDates(coder, a.specificFireDates_, "specificFireDates");
  decodeFlag(coder, a.setEnabled);
  coder.decodeValueOfObjCType("[12i]", a.setMonths_);
  coder.decodeValueOfObjCType("[7i]", a.setDays_);
  decodeDates(coder, a.setTimes_, "setTimes");
  decodeFlag(coder, a.multipleFireEnabled_);
  decodeFlag(coder, a.oneFireEnabled);
  decodeDate(coder, a.referenceDate_, "referenceDate");
  decodeDate(coder, a.timeInterval, "timeInterval");
  if (coder.failed()) return nullptr;
  return alarm;
}

void initialzeArray(std::int32_t* array, int count) {
  if (array == nullptr) return;
  std::fill(array, array + std::max(count, 0), 0);
}

void copyArray(std::int32_t* destination, const std::int32_t* source, int count) {
  if (destination == nullptr || source == nullptr) return;
  std::copy(source, source + std::max(count, 0), destination);
}

std::shared_ptr<TOLMAlarm> cloneAlarm(const TOLMAlarm& alarm) {
  const std::vector<std::uint8_t> data =
      TOLMArchiver::archivedDataWithRootObject(TOLMArchiveObject::record(std::make_shared<TOLMAlarm>(alarm)));
  TOLMResult<TOLMArchiveObject> copy = TOLMUnarchiver::unarchiveObjectWithData(data);
  if (!copy) return nullptr;
  return copy.value().recordAs<TOLMAlarm>();
}
