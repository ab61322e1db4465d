#pragma once

#include <QColor>
#include <QImage>
#include <QObject>
#include <QRectF>
#include <QStringList>
#include <functional>
#include <memory>
#include <string>

#include "platform/TOLMNotificationCenter.h"

class TOLMDefaultsStore;
class TOLMRunLoop;
class TOLMStatusWindow;

// Owns every user setting: writes the factory defaults, decides at start-up
// whether the stored settings are current, and answers each component through
// one accessor per setting. Reads the store at every call, so nothing is cached.
class TOLMPreferenceController : public QObject {
  Q_OBJECT
 public:
  TOLMPreferenceController(TOLMDefaultsStore& store, TOLMRunLoop& loop, TOLMNotificationCenter& center,
                           QObject* parent = nullptr);
  ~TOLMPreferenceController() override;

  // Start-up, on the will-finish-launching notification.
  void setUpDefaults();
  void resetDefaults(QObject* sender = nullptr);
  void writeNewDefaultsForVersion(double version);
  // The panel's own set-up; installed by the panel when it exists.
  void setPanelSetUp(std::function<void()> setUpStupidIBStuff, std::function<void()> updateInterfaceFromDefaults);

  bool shouldDisplayDockedTime() const;
  bool shouldDisplayDockedMilitaryTime() const;
  bool shouldDisplayDockedDateMenu() const;
  bool shouldRemoveAppIconFromDock() const;
  bool borderColorEnabled() const;
  bool borderImageEnabled() const;
  bool interiorColorEnabled() const;
  bool interiorImageEnabled() const;
  bool borderImageDoesScaleToFit() const;
  bool interiorImageDoesScaleToFit() const;
  bool shouldDisplaySeconds() const;
  bool shouldDisplayDate() const;
  bool shouldFlashSeparator() const;
  bool shouldDisplayMilitaryStyle() const;
  bool shouldDisplayResizeBox() const;
  bool isInDesktopMode() const;
  bool desktopCalendarIsDraggable() const;
  bool volumeOverridesSysVol() const;
  bool speaksAlarmMessages() const;
  bool sinusoidalVolumeEnabled() const;
  bool linearVolumeEnabled() const;
  bool sinusoidalSpeedEnabled() const;
  bool linearSpeedEnabled() const;
  bool alarmsWindowIsOpen() const;
  bool calendarsWindowIsOpen() const;
  bool dateInspectorWindowIsOpen() const;
  bool clockWindowIsOpen() const;
  bool eventManagerWindowOpen() const;
  bool kitchenWindowOpen() const;
  bool stopWatchWindowOpen() const;
  bool simpleAlarmsEnabled() const;

  float dockImageOpacity() const;
  float borderOpacity() const;
  float interiorOpacity() const;
  float dateBoxOpacity() const;
  float matrixSeparatorOpacity() const;
  float backgroundOpacity() const;
  float dateNumberOpacity() const;
  float monthYearDayOfWeekOpacity() const;
  float selectedDateOpacity() const;
  float holidayOpacity() const;
  float todayOpacity() const;
  float calendarWindowOpacity() const;
  float musicVolume() const;
  float musicSpeed() const;
  float customVolumeRate() const;
  float customSpeedRate() const;

  int snoozeTime() const;
  int messageSize() const;

  // Stored text; an empty string when the key is missing.
  QString dockedTimeFontName() const;
  QString timeFontName() const;
  QString clockShape() const;
  QString messageFont() const;
  QString kitchenFontName() const;
  QString stopWatchFontName() const;
  QString kitchenSound() const;

  QColor dockedTimeColor() const;
  QColor timeColor() const;
  QColor messageColor() const;
  QColor kitchenColor() const;
  QColor stopWatchColor() const;
  QColor kitchenFontColor() const;
  QColor stopWatchFontColor() const;

  // With applyOpacity the paired opacity replaces the colour's alpha / is the
  // opacity the image is drawn at.
  QColor borderColor(bool applyOpacity) const;
  QColor interiorColor(bool applyOpacity) const;
  QColor dateBoxColor(bool applyOpacity) const;
  QColor matrixSeparatorColor(bool applyOpacity) const;
  QColor backgroundColor(bool applyOpacity) const;
  QColor dateNumberColor(bool applyOpacity) const;
  QColor monthYearDayOfWeekColor(bool applyOpacity) const;
  QColor selectedDateColor(bool applyOpacity) const;
  QColor holidayColor(bool applyOpacity) const;
  QColor todayColor(bool applyOpacity) const;
  QImage dockImageDisplayedBehindTime(bool applyOpacity) const;
  QImage borderImage(bool applyOpacity) const;
  QImage interiorImage(bool applyOpacity) const;

  QRectF clockWindowFrame() const;
  QRectF desktopCalendarWindowFrame() const;
  void setClockWindowFrame(const QRectF& frame);
  void setDesktopCalendarWindowFrame(const QRectF& frame);

  static QStringList allFontsInAlphabeticalOrder();
  // The sounds folder shipped with the application.
  static QString systemSoundsDirectory();
  static QStringList allSystemSounds();
  static QStringList allSystemSoundsInDirectory(const QString& directory);

  TOLMDefaultsStore& store() const { return store_; }

 private:
  QColor colorForKey(const char* key) const;
  QColor colorWithOpacity(const char* colorKey, const char* opacityKey, bool applyOpacity) const;
  QImage imageWithOpacity(const char* imageKey, const char* opacityKey, bool applyOpacity) const;
  QRectF frameForKey(const char* key, const QRectF& fallback) const;

  TOLMDefaultsStore& store_;
  TOLMRunLoop& loop_;
  TOLMObserverToken willFinishObserver_;
  std::function<void()> setUpStupidIBStuff_;
  std::function<void()> updateInterfaceFromDefaults_;
};
