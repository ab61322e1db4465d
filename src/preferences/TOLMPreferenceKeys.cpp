#include "preferences/TOLMPreferenceKeys.h"

#include <cstring>

namespace {

constexpr TOLMPreferenceDefault boolean(const char* key, bool value) {
  return {key, TOLMPreferenceForm::Boolean, value ? 1.0 : 0.0};
}
constexpr TOLMPreferenceDefault floating(const char* key, double value) {
  return {key, TOLMPreferenceForm::Float, value};
}
constexpr TOLMPreferenceDefault whole(const char* key, int value) {
  return {key, TOLMPreferenceForm::WholeNumber, static_cast<double>(value)};
}
constexpr TOLMPreferenceDefault text(const char* key, const char* value) {
  return {key, TOLMPreferenceForm::Text, 0.0, value};
}
constexpr TOLMPreferenceDefault color(const char* key, double red, double green, double blue, double alpha) {
  return {key, TOLMPreferenceForm::Color, 0.0, nullptr, {red, green, blue, alpha}};
}
constexpr TOLMPreferenceDefault image(const char* key, TOLMDefaultImage which) {
  return {key, TOLMPreferenceForm::Image, 0.0, nullptr, {0, 0, 0, 1}, which};
}
constexpr TOLMPreferenceDefault rectangle(const char* key, double x, double y, double width, double height) {
  return {key, TOLMPreferenceForm::Rectangle, 0.0, nullptr, {0, 0, 0, 1}, TOLMDefaultImage::None, {x, y, width, height}};
}

constexpr std::array<TOLMPreferenceDefault, TOLMPreferenceKeyCount> kDefaults = {{
  boolean("written_to", true),
  floating("preference_version", 3.0),
  boolean("shouldDisplayDockedTime", true),
  boolean("shouldDisplayDockedMilitaryTime", false),
  boolean("shouldDisplayDockedDateMenu", true),
  boolean("shouldRemoveAppIconFromDock", false),
  color("dockedTimeColor", 0, 0, 0, 1),  // black
  text("dockedTimeFontName", "Times-Bold"),
  image("dockImageDisplayedBehindTime", TOLMDefaultImage::ApplicationImage),
  floating("dockImageOpacity", 0.5),
  image("borderImage", TOLMDefaultImage::Blank128),
  image("interiorImage", TOLMDefaultImage::Blank128),
  color("borderColor", 0, 0, 1, 1),  // blue
  color("interiorColor", 1, 1, 1, 1),  // white
  boolean("borderColorEnabled", true),
  boolean("borderImageEnabled", false),
  boolean("interiorColorEnabled", true),
  boolean("interiorImageEnabled", false),
  boolean("borderImageDoesScaleToFit", true),
  boolean("interiorImageDoesScaleToFit", true),
  floating("borderOpacity", 0.6),
  floating("interiorOpacity", 0.6),
  boolean("shouldDisplaySeconds", true),
  boolean("shouldDisplayDate", true),
  boolean("shouldFlashSeparator", false),
  boolean("shouldDisplayMilitaryStyle", false),
  boolean("shouldDisplayResizeBox", false),
  color("timeColor", 0, 0, 0, 1),  // black
  text("timeFont", "Times-Bold"),
  text("clockShape", "Oval"),
  boolean("isInDesktopMode", true),
  boolean("desktopCalendarIsDraggable", true),
  color("dateBoxColor", 1, 1, 1, 1),  // white
  color("matrixSeparatorColor", 0.5, 0.5, 0.5, 1),  // grey
  color("backgroundColor", 1, 1, 1, 1),  // white
  color("dateNumberColor", 0, 0, 0, 1),  // black
  color("monthYearDayOfWeekColor", 0, 0, 0, 1),  // black
  color("selectedDateColor", 0, 0, 1, 1),  // blue
  color("holidayColor", 0, 1, 0, 1),  // green
  color("todayColor", 0, 0, 1, 1),  // blue
  floating("dateBoxOpacity", 0.6),
  floating("matrixSeparatorOpacity", 0.75),
  floating("backgroundOpacity", 0.0),
  floating("dateNumberOpacity", 0.99),
  floating("monthYearDayOfWeekOpacity", 0.99),
  floating("selectedDateOpacity", 0.6),
  floating("holidayOpacity", 0.6),
  floating("todayOpacity", 0.6),
  floating("calendarWindowOpacity", 0.99),
  floating("musicVolume", 1.0),
  floating("musicSpeed", 1.0),
  boolean("volumeOverridesSystemVolume", false),
  whole("snoozeTime", 5),
  boolean("speaksAlarmMessages", true),
  boolean("sinusoidalVolumeEnabled", false),
  boolean("linearVolumeEnabled", false),
  boolean("sinusoidalSpeedEnabled", false),
  boolean("linearSpeedEnabled", false),
  floating("customVolumeRate", 1.0),
  floating("customSpeedRate", 1.0),
  boolean("alarmsWindowIsOpen", true),
  boolean("calendarsWindowIsOpen", true),
  boolean("dateInspectorWindowIsOpen", false),
  boolean("clockWindowIsOpen", true),
  boolean("eventManagerWindowOpen", false),
  boolean("kitchenWindowOpen", false),
  boolean("stopWatchWindowOpen", false),
  color("kitchenColor", 1, 1, 1, 1),  // white
  color("stopWatchColor", 1, 1, 1, 1),  // white
  color("kitchenFontColor", 0, 0, 0, 1),  // black
  color("stopWatchFontColor", 0, 0, 0, 1),  // black
  text("kitchenFontName", "Times-Bold"),
  text("stopWatchFontName", "Times-Bold"),
  text("kitchenSound", "Temple"),
  text("messageFont", "Times-Bold"),
  whole("messageSize", 12),
  color("messageColor", 0, 0, 0, 1),  // black
  rectangle("clk_win", 25, 600, 213, 120),
  rectangle("desktop_cal", 25, 100, 224, 150),
  boolean("simpleAlarmsEnabled", true),
}};

}  // namespace

const std::array<TOLMPreferenceDefault, TOLMPreferenceKeyCount>& TOLMPreferenceDefaults() { return kDefaults; }

const TOLMPreferenceDefault* TOLMPreferenceDefaultForKey(const char* key) {
  for (const auto& entry : kDefaults) {
    if (std::strcmp(entry.key, key) == 0) return &entry;
  }
  return nullptr;
}
