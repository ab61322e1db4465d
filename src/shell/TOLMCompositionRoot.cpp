#include "shell/TOLMCompositionRoot.h"

#include <QMainWindow>
#include <QMenuBar>
#include <QTextBrowser>
#include <cstdio>

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

  alarmsWindow_ = std::make_unique<QMainWindow>();
  alarmsWindow_->setObjectName(QStringLiteral("alarmsWindow"));
  alarmsWindow_->setWindowTitle(QStringLiteral("Next Alarm Date: Never"));
  alarmsWindow_->resize(520, 320);

  // Outlets.
  controller_->setAlarmsWindow(alarmsWindow_.get());
  controller_->setHelpView(helpWindow_->helpView());
  controller_->setMainMenu(mainMenu_.get());
  controller_->setTrayIcon(trayIcon_.get());
  mainMenu_->installIn(alarmsWindow_->menuBar());
  mainMenu_->addWindow(QStringLiteral("Alarms"), alarmsWindow_.get());
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

QMainWindow* TOLMCompositionRoot::alarmsWindow() const { return alarmsWindow_.get(); }

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
