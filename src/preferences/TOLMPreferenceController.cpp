#include "preferences/TOLMPreferenceController.h"

#include <QDir>
#include <QPainter>
#include <QCoreApplication>
#include <algorithm>

#include "archive/TOLMArchiver.h"
#include "archive/TOLMUnarchiver.h"
#include "platform/TOLMApplicationImage.h"
#include "platform/TOLMDefaultsStore.h"
#include "platform/TOLMFontNames.h"
#include "platform/TOLMQtConversions.h"
#include "platform/TOLMRunLoop.h"
#include "preferences/TOLMPreferenceKeys.h"
#include "preferences/TOLMStatusWindow.h"

#ifndef VEKKARO_SOURCE_SOUNDS_DIR
#define VEKKARO_SOURCE_SOUNDS_DIR ""
#endif

namespace {

TOLMDefaultsStore::Data archived(const TOLMArchiveObject& object) {
  return TOLMArchiver::archivedDataWithRootObject(object);
}

TOLMArchiveObject unarchived(const std::optional<TOLMDefaultsStore::Data>& data) {
  if (!data) return {};
  auto result = TOLMUnarchiver::unarchiveObjectWithData(*data);
  return result ? result.value() : TOLMArchiveObject();
}

TOLMColor defaultColor(const char* key) {
  const TOLMPreferenceDefault* entry = TOLMPreferenceDefaultForKey(key);
  if (!entry) return {};
  return {entry->color[0], entry->color[1], entry->color[2], entry->color[3]};
}

QImage defaultImage(TOLMDefaultImage which) {
  if (which == TOLMDefaultImage::ApplicationImage) return TOLMApplicationImage::image(128);
  QImage blank(128, 128, QImage::Format_ARGB32_Premultiplied);
  blank.fill(Qt::transparent);
  return blank;
}

TOLMImage storedFormOf(TOLMDefaultImage which) {
  if (which == TOLMDefaultImage::Blank128) return TOLMImage{128, 128, {}};
  return TOLMQtConversions::imageFromQImage(defaultImage(which));
}

}  // namespace

TOLMPreferenceController::TOLMPreferenceController(TOLMDefaultsStore& store, TOLMRunLoop& loop,
                                                   TOLMNotificationCenter& center, QObject* parent)
    : QObject(parent), store_(store), loop_(loop) {
  willFinishObserver_ = center.addObserver(NSApplicationWillFinishLaunchingNotification, nullptr,
                                           [this](const TOLMNotification&) { setUpDefaults(); });
}

TOLMPreferenceController::~TOLMPreferenceController() = default;

void TOLMPreferenceController::setPanelSetUp(std::function<void()> setUpStupidIBStuff,
                                             std::function<void()> updateInterfaceFromDefaults) {
  setUpStupidIBStuff_ = std::move(setUpStupidIBStuff);
  updateInterfaceFromDefaults_ = std::move(updateInterfaceFromDefaults);
}

void TOLMPreferenceController::setUpDefaults() {
  TOLMStatusWindow statusWindow;
  statusWindow.startAnimation();
  statusWindow.show();
  statusWindow.raise();

  if (!store_.boolForKey("written_to")) {
    resetDefaults();
  } else {
    const double version = store_.floatForKey("preference_version");
    if (version < TOLMPreferenceVersion) writeNewDefaultsForVersion(version);
  }
  if (setUpStupidIBStuff_) setUpStupidIBStuff_();
  if (updateInterfaceFromDefaults_) updateInterfaceFromDefaults_();

  // Wait without freezing the screen, so the indicator keeps moving.
  loop_.runFor(1.0);

  statusWindow.stopAnimation();
  statusWindow.close();
}

void TOLMPreferenceController::resetDefaults(QObject*) {
  for (const TOLMPreferenceDefault& entry : TOLMPreferenceDefaults()) {
    switch (entry.form) {
      case TOLMPreferenceForm::Boolean:
        store_.setBool(entry.key, entry.number != 0.0);
        break;
      case TOLMPreferenceForm::Float:
      case TOLMPreferenceForm::WholeNumber:
        store_.setFloat(entry.key, entry.number);
        break;
      case TOLMPreferenceForm::Text:
        store_.setString(entry.key, entry.text);
        break;
      case TOLMPreferenceForm::Color:
        store_.setData(entry.key, archived(TOLMArchiveObject::color(
                                      {entry.color[0], entry.color[1], entry.color[2], entry.color[3]})));
        break;
      case TOLMPreferenceForm::Image:
        store_.setData(entry.key, archived(TOLMArchiveObject::image(storedFormOf(entry.image))));
        break;
      case TOLMPreferenceForm::Rectangle:
        store_.setString(entry.key, TOLMQtConversions::stringFromRect(
                                        QRectF(entry.rect[0], entry.rect[1], entry.rect[2], entry.rect[3]))
                                        .toStdString());
        break;
    }
  }
}

void TOLMPreferenceController::writeNewDefaultsForVersion(double version) {
  // Older key sets are not migrated key by key: they are replaced whole.
  if (version < TOLMPreferenceVersion) resetDefaults();
}

#define VK_BOOL(name, key) \
  bool TOLMPreferenceController::name() const { return store_.boolForKey(key); }
#define VK_FLOAT(name, key) \
  float TOLMPreferenceController::name() const { return static_cast<float>(store_.floatForKey(key)); }
#define VK_TEXT(name, key) \
  QString TOLMPreferenceController::name() const { return QString::fromStdString(store_.stringForKey(key).value_or("")); }
#define VK_COLOR(name, key) \
  QColor TOLMPreferenceController::name() const { return colorForKey(key); }
#define VK_COLOR_OPACITY(name, key, opacityKey) \
  QColor TOLMPreferenceController::name(bool applyOpacity) const { return colorWithOpacity(key, opacityKey, applyOpacity); }
#define VK_IMAGE_OPACITY(name, key, opacityKey) \
  QImage TOLMPreferenceController::name(bool applyOpacity) const { return imageWithOpacity(key, opacityKey, applyOpacity); }

VK_BOOL(shouldDisplayDockedTime, "shouldDisplayDockedTime")
VK_BOOL(shouldDisplayDockedMilitaryTime, "shouldDisplayDockedMilitaryTime")
VK_BOOL(shouldDisplayDockedDateMenu, "shouldDisplayDockedDateMenu")
VK_BOOL(shouldRemoveAppIconFromDock, "shouldRemoveAppIconFromDock")
VK_BOOL(borderColorEnabled, "borderColorEnabled")
VK_BOOL(borderImageEnabled, "borderImageEnabled")
VK_BOOL(interiorColorEnabled, "interiorColorEnabled")
VK_BOOL(interiorImageEnabled, "interiorImageEnabled")
VK_BOOL(borderImageDoesScaleToFit, "borderImageDoesScaleToFit")
VK_BOOL(interiorImageDoesScaleToFit, "interiorImageDoesScaleToFit")
VK_BOOL(shouldDisplaySeconds, "shouldDisplaySeconds")
VK_BOOL(shouldDisplayDate, "shouldDisplayDate")
VK_BOOL(shouldFlashSeparator, "shouldFlashSeparator")
VK_BOOL(shouldDisplayMilitaryStyle, "shouldDisplayMilitaryStyle")
VK_BOOL(shouldDisplayResizeBox, "shouldDisplayResizeBox")
VK_BOOL(isInDesktopMode, "isInDesktopMode")
VK_BOOL(desktopCalendarIsDraggable, "desktopCalendarIsDraggable")
VK_BOOL(volumeOverridesSysVol, "volumeOverridesSystemVolume")
VK_BOOL(speaksAlarmMessages, "speaksAlarmMessages")
VK_BOOL(sinusoidalVolumeEnabled, "sinusoidalVolumeEnabled")
VK_BOOL(linearVolumeEnabled, "linearVolumeEnabled")
VK_BOOL(sinusoidalSpeedEnabled, "sinusoidalSpeedEnabled")
VK_BOOL(linearSpeedEnabled, "linearSpeedEnabled")
VK_BOOL(alarmsWindowIsOpen, "alarmsWindowIsOpen")
VK_BOOL(calendarsWindowIsOpen, "calendarsWindowIsOpen")
VK_BOOL(dateInspectorWindowIsOpen, "dateInspectorWindowIsOpen")
VK_BOOL(clockWindowIsOpen, "clockWindowIsOpen")
VK_BOOL(eventManagerWindowOpen, "eventManagerWindowOpen")
VK_BOOL(kitchenWindowOpen, "kitchenWindowOpen")
VK_BOOL(stopWatchWindowOpen, "stopWatchWindowOpen")
VK_BOOL(simpleAlarmsEnabled, "simpleAlarmsEnabled")

VK_FLOAT(dockImageOpacity, "dockImageOpacity")
VK_FLOAT(borderOpacity, "borderOpacity")
VK_FLOAT(interiorOpacity, "interiorOpacity")
VK_FLOAT(dateBoxOpacity, "dateBoxOpacity")
VK_FLOAT(matrixSeparatorOpacity, "matrixSeparatorOpacity")
VK_FLOAT(backgroundOpacity, "backgroundOpacity")
VK_FLOAT(dateNumberOpacity, "dateNumberOpacity")
VK_FLOAT(monthYearDayOfWeekOpacity, "monthYearDayOfWeekOpacity")
VK_FLOAT(selectedDateOpacity, "selectedDateOpacity")
VK_FLOAT(holidayOpacity, "holidayOpacity")
VK_FLOAT(todayOpacity, "todayOpacity")
VK_FLOAT(calendarWindowOpacity, "calendarWindowOpacity")
VK_FLOAT(musicVolume, "musicVolume")
VK_FLOAT(musicSpeed, "musicSpeed")
VK_FLOAT(customVolumeRate, "customVolumeRate")
VK_FLOAT(customSpeedRate, "customSpeedRate")

int TOLMPreferenceController::snoozeTime() const { return store_.integerForKey("snoozeTime"); }
int TOLMPreferenceController::messageSize() const { return store_.integerForKey("messageSize"); }

VK_TEXT(dockedTimeFontName, "dockedTimeFontName")
VK_TEXT(timeFontName, "timeFont")
VK_TEXT(clockShape, "clockShape")
VK_TEXT(messageFont, "messageFont")
VK_TEXT(kitchenFontName, "kitchenFontName")
VK_TEXT(stopWatchFontName, "stopWatchFontName")
VK_TEXT(kitchenSound, "kitchenSound")

VK_COLOR(dockedTimeColor, "dockedTimeColor")
VK_COLOR(timeColor, "timeColor")
VK_COLOR(messageColor, "messageColor")
VK_COLOR(kitchenColor, "kitchenColor")
VK_COLOR(stopWatchColor, "stopWatchColor")
VK_COLOR(kitchenFontColor, "kitchenFontColor")
VK_COLOR(stopWatchFontColor, "stopWatchFontColor")

VK_COLOR_OPACITY(borderColor, "borderColor", "borderOpacity")
VK_COLOR_OPACITY(interiorColor, "interiorColor", "interiorOpacity")
VK_COLOR_OPACITY(dateBoxColor, "dateBoxColor", "dateBoxOpacity")
VK_COLOR_OPACITY(matrixSeparatorColor, "matrixSeparatorColor", "matrixSeparatorOpacity")
VK_COLOR_OPACITY(backgroundColor, "backgroundColor", "backgroundOpacity")
VK_COLOR_OPACITY(dateNumberColor, "dateNumberColor", "dateNumberOpacity")
VK_COLOR_OPACITY(monthYearDayOfWeekColor, "monthYearDayOfWeekColor", "monthYearDayOfWeekOpacity")
VK_COLOR_OPACITY(selectedDateColor, "selectedDateColor", "selectedDateOpacity")
VK_COLOR_OPACITY(holidayColor, "holidayColor", "holidayOpacity")
VK_COLOR_OPACITY(todayColor, "todayColor", "todayOpacity")
VK_IMAGE_OPACITY(dockImageDisplayedBehindTime, "dockImageDisplayedBehindTime", "dockImageOpacity")
VK_IMAGE_OPACITY(borderImage, "borderImage", "borderOpacity")
VK_IMAGE_OPACITY(interiorImage, "interiorImage", "interiorOpacity")

#undef VK_BOOL
#undef VK_FLOAT
#undef VK_TEXT
#undef VK_COLOR
#undef VK_COLOR_OPACITY
#undef VK_IMAGE_OPACITY

QColor TOLMPreferenceController::colorForKey(const char* key) const {
  const TOLMArchiveObject object = unarchived(store_.dataForKey(key));
  // A missing or damaged value shows the factory colour rather than nothing.
  const TOLMColor* color = object.colorValue();
  return TOLMQtConversions::qColorFromColor(color ? *color : defaultColor(key));
}

QColor TOLMPreferenceController::colorWithOpacity(const char* colorKey, const char* opacityKey,
                                                  bool applyOpacity) const {
  QColor color = colorForKey(colorKey);
  if (applyOpacity) color.setAlphaF(std::clamp(static_cast<float>(store_.floatForKey(opacityKey)), 0.0f, 1.0f));
  return color;
}

QImage TOLMPreferenceController::imageWithOpacity(const char* imageKey, const char* opacityKey,
                                                  bool applyOpacity) const {
  const TOLMArchiveObject object = unarchived(store_.dataForKey(imageKey));
  QImage stored;
  if (const TOLMImage* image = object.imageValue()) {
    stored = TOLMQtConversions::qImageFromImage(*image);
  } else {
    const TOLMPreferenceDefault* entry = TOLMPreferenceDefaultForKey(imageKey);
    stored = defaultImage(entry ? entry->image : TOLMDefaultImage::Blank128);
  }
  if (!applyOpacity) return stored;
  QImage result(stored.size(), QImage::Format_ARGB32_Premultiplied);
  result.fill(Qt::transparent);
  QPainter painter(&result);
  painter.setOpacity(std::clamp(store_.floatForKey(opacityKey), 0.0, 1.0));
  painter.drawImage(QPointF(0, 0), stored);
  painter.end();
  return result;
}

QRectF TOLMPreferenceController::frameForKey(const char* key, const QRectF& fallback) const {
  const QRectF frame = TOLMQtConversions::rectFromString(QString::fromStdString(store_.stringForKey(key).value_or("")));
  if (frame.width() == 0 || frame.height() == 0) return fallback;
  return frame;
}

QRectF TOLMPreferenceController::clockWindowFrame() const { return frameForKey("clk_win", QRectF(205, 604, 213, 120)); }

QRectF TOLMPreferenceController::desktopCalendarWindowFrame() const {
  return frameForKey("desktop_cal", QRectF(190, 530, 224, 150));
}

void TOLMPreferenceController::setClockWindowFrame(const QRectF& frame) {
  store_.setString("clk_win", TOLMQtConversions::stringFromRect(frame).toStdString());
}

void TOLMPreferenceController::setDesktopCalendarWindowFrame(const QRectF& frame) {
  store_.setString("desktop_cal", TOLMQtConversions::stringFromRect(frame).toStdString());
}

QStringList TOLMPreferenceController::allFontsInAlphabeticalOrder() {
  QStringList names = TOLMFontNames::availableFontNames();
  // Plain case-sensitive comparison, as the pop-up menus expect.
  std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) { return a.compare(b) < 0; });
  return names;
}

QString TOLMPreferenceController::systemSoundsDirectory() {
  const QString appDir = QCoreApplication::applicationDirPath();
  for (const QString& candidate : {appDir + QStringLiteral("/sounds"), appDir + QStringLiteral("/../share/vekkaro/sounds"),
                                   QStringLiteral(VEKKARO_SOURCE_SOUNDS_DIR)}) {
    if (!candidate.isEmpty() && QDir(candidate).exists()) return QDir(candidate).canonicalPath();
  }
  return appDir + QStringLiteral("/sounds");
}

QStringList TOLMPreferenceController::allSystemSounds() { return allSystemSoundsInDirectory(systemSoundsDirectory()); }

QStringList TOLMPreferenceController::allSystemSoundsInDirectory(const QString& directory) {
  QStringList sounds;
  const QDir dir(directory);
  if (!dir.exists()) return sounds;
  const QStringList entries = dir.entryList(QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
  for (const QString& entry : entries) {
    if (!entry.endsWith(QLatin1String("aiff"))) continue;
    // Drop the extension only where there is one.
    const qsizetype dot = entry.lastIndexOf(QLatin1Char('.'));
    sounds << (dot > 0 ? entry.left(dot) : entry);
  }
  return sounds;
}
