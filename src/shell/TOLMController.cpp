#include "shell/TOLMController.h"

#include <QFile>
#include <QTextBrowser>
#include <QWidget>

#include "platform/TOLMApplicationImage.h"
#include "platform/TOLMRunLoop.h"
#include "platform/TOLMTimer.h"
#include "preferences/TOLMPreferenceController.h"
#include "shell/TOLMMainMenu.h"
#include "shell/TOLMTrayIcon.h"

TOLMController::TOLMController(TOLMPreferenceController& prefs, TOLMRunLoop& loop, TOLMNotificationCenter& center,
                               QObject* parent)
    : QObject(parent), prefs_(prefs), loop_(loop) {
  didFinishObserver_ = center.addObserver(NSApplicationDidFinishLaunchingNotification, nullptr,
                                          [this](const TOLMNotification&) { setUpController(); });
  willTerminateObserver_ = center.addObserver(NSApplicationWillTerminateNotification, nullptr,
                                              [this](const TOLMNotification& n) { applicationWillTerminate(n); });
}

TOLMController::~TOLMController() = default;

void TOLMController::setUpController() {
  if (firstLaunch_) {
    if (mainMenu_) mainMenu_->setApplicationMenuTitle(QStringLiteral("Vekkaro"));
    if (helpView_) {
      // A missing help document leaves the view empty.
      QFile usage(QStringLiteral(":/vekkaro/Usage.html"));
      if (usage.open(QIODevice::ReadOnly)) helpView_->setHtml(QString::fromUtf8(usage.readAll()));
    }
  }
  if (updateImageTimer_ && updateImageTimer_->isValid()) updateImageTimer_->invalidate();
  updateImageTimer_.reset();

  // The clock drawn in the icon is not built yet; until it is, the icon is the
  // plain application image whatever the dock settings say.
  setApplicationIconToPlainImage();

  if (prefs_.alarmsWindowIsOpen() && firstLaunch_ && alarmsWindow_) {
    alarmsWindow_->show();
    alarmsWindow_->raise();
    alarmsWindow_->activateWindow();
  }
  firstLaunch_ = false;
}

void TOLMController::applicationWillTerminate(const TOLMNotification&) {
  if (updateImageTimer_) updateImageTimer_->invalidate();
  setApplicationIconToPlainImage();
}

void TOLMController::setApplicationIconToPlainImage() {
  if (trayIcon_) trayIcon_->setApplicationIconImage(TOLMApplicationImage::image(128));
}
