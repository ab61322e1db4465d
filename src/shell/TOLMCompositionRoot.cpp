#include "shell/TOLMCompositionRoot.h"

#include <QMainWindow>
#include <QMenuBar>
#include <QTextBrowser>
#include <cstdio>

#include "alarms/TOLMAlarmsController.h"
#include "editors/TOLMSimpleAlarmCreator.h"
#include "firing/TOLMAlarmFiringQueue.h"
#include "firing/TOLMFiringServices.h"
#include "firing/TOLMMessageWindow.h"
#include "platform/TOLMDefaultsStore.h"
#include "platform/TOLMNotificationCenter.h"
#include "platform/TOLMRunLoop.h"
#include "preferences/TOLMPreferenceController.h"
#include "shell/TOLMController.h"
#include "shell/TOLMDataDirectory.h"
#include "shell/TOLMHelpWindow.h"
#include "shell/TOLMMainMenu.h"
#include "shell/TOLMTrayIcon.h"

TOLMCompositionRoot::TOLMCompositionRoot(TOLMRunLoop& loop, TOLMNotificationCenter& center, std::string homeDirectory)
    : TOLMCompositionRoot(loop, center, std::move(homeDirectory), TOLMFiringServices::systemServices()) {}

TOLMCompositionRoot::TOLMCompositionRoot(TOLMRunLoop& loop, TOLMNotificationCenter& center, std::string homeDirectory,
                                         TOLMFiringServices services)
    : loop_(loop),
      center_(center),
      dataDirectory_(homeDirectory + "/Library/Preferences/Vekkaro") {
  defaults_ = std::make_unique<TOLMDefaultsStore>(homeDirectory + "/Library/Preferences/Vekkaro.plist", &loop_);
  if (TOLMStatus loaded = defaults_->load(); !loaded) {
    std::fprintf(stderr, "Vekkaro: %s\n", loaded.error().c_str());
  }

  prefs_ = std::make_unique<TOLMPreferenceController>(*defaults_, loop_, center_);
  trayIcon_ = std::make_unique<TOLMTrayIcon>();
  mainMenu_ = std::make_unique<TOLMMainMenu>();
  helpWindow_ = std::make_unique<TOLMHelpWindow>();
  controller_ = std::make_unique<TOLMController>(*prefs_, loop_, center_);

  // The queue registers its set-up first, so it is ready before the alarm list
  // can deliver (deliveries come from the loop in any case).
  queue_ = std::make_unique<TOLMAlarmFiringQueue>(*prefs_, loop_, center_, std::move(services));
  alarms_ = std::make_unique<TOLMAlarmsController>(
      *prefs_, loop_, center_, dataDirectory_,
      [this](std::shared_ptr<TOLMAlarm> alarm) { queue_->addAlarmToQueue(std::move(alarm)); },
      [this](const std::string& line) { queue_->showNotice(line); });
  simpleAlarmCreator_ = std::make_unique<TOLMSimpleAlarmCreator>(alarms_->alarmsWindow());
  alarms_->setSimpleAlarmControl(simpleAlarmCreator_.get());

  // Outlets.
  controller_->setAlarmsWindow(alarms_->alarmsWindow());
  controller_->setHelpView(helpWindow_->helpView());
  controller_->setMainMenu(mainMenu_.get());
  controller_->setTrayIcon(trayIcon_.get());
  mainMenu_->installIn(alarms_->alarmsWindow()->menuBar());
  mainMenu_->addWindow(QStringLiteral("Alarms"), alarms_->alarmsWindow());
  mainMenu_->addWindow(QStringLiteral("Messages"), &queue_->messageWindow());
  mainMenu_->setHelpAction([this] {
    helpWindow_->show();
    helpWindow_->raise();
  });
  mainMenu_->setQuitAction([this] { if (quit_) quit_(); });
  trayIcon_->setMenu(mainMenu_->trayMenu());

  // Before any notification, so every first save can create its file.
  TOLMDataDirectory::ensureExists(dataDirectory_);
}

TOLMCompositionRoot::~TOLMCompositionRoot() { terminate(); }

void TOLMCompositionRoot::setQuitHandler(std::function<void()> quit) { quit_ = std::move(quit); }

QMainWindow* TOLMCompositionRoot::alarmsWindow() const { return alarms_->alarmsWindow(); }

void TOLMCompositionRoot::launch() {
  center_.postNotificationName(NSApplicationWillFinishLaunchingNotification);
  center_.postNotificationName(NSApplicationDidFinishLaunchingNotification);
  trayIcon_->show();
}

void TOLMCompositionRoot::terminate() {
  if (terminated_) return;
  terminated_ = true;
  center_.postNotificationName(NSApplicationWillTerminateNotification);
  if (TOLMStatus saved = defaults_->synchronize(); !saved) {
    std::fprintf(stderr, "Vekkaro: the settings could not be saved: %s\n", saved.error().c_str());
  }
}
