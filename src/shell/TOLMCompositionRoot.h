#pragma once

#include <functional>
#include <memory>
#include <string>

class QMainWindow;
class TOLMAlarmFiringQueue;
class TOLMAlarmsController;
class TOLMSimpleAlarmCreator;
struct TOLMFiringServices;
class TOLMController;
class TOLMDefaultsStore;
class TOLMHelpWindow;
class TOLMMainMenu;
class TOLMNotificationCenter;
class TOLMPreferenceController;
class TOLMRunLoop;
class TOLMTrayIcon;

// Builds every controller and view once, connects their references, then runs
// the launch sequence: the data folder, will-finish (settings), did-finish
// (every other set-up). terminate() posts will-terminate once and saves.
class TOLMCompositionRoot {
 public:
  // services: what the firing queue plays, speaks and runs through (the
  // system's by default; tests hand in stand-ins).
  TOLMCompositionRoot(TOLMRunLoop& loop, TOLMNotificationCenter& center, std::string homeDirectory);
  TOLMCompositionRoot(TOLMRunLoop& loop, TOLMNotificationCenter& center, std::string homeDirectory,
                      TOLMFiringServices services);
  ~TOLMCompositionRoot();

  void launch();
  void terminate();
  void setQuitHandler(std::function<void()> quit);

  const std::string& dataDirectory() const { return dataDirectory_; }
  TOLMPreferenceController& prefs() const { return *prefs_; }
  TOLMDefaultsStore& defaults() const { return *defaults_; }
  TOLMController& controller() const { return *controller_; }
  TOLMMainMenu& mainMenu() const { return *mainMenu_; }
  TOLMTrayIcon& trayIcon() const { return *trayIcon_; }
  QMainWindow* alarmsWindow() const;
  TOLMAlarmsController& alarms() const { return *alarms_; }
  TOLMAlarmFiringQueue& queue() const { return *queue_; }

 private:
  TOLMRunLoop& loop_;
  TOLMNotificationCenter& center_;
  std::string dataDirectory_;
  bool terminated_ = false;
  std::unique_ptr<TOLMDefaultsStore> defaults_;
  std::unique_ptr<TOLMPreferenceController> prefs_;
  std::unique_ptr<TOLMTrayIcon> trayIcon_;
  std::unique_ptr<TOLMMainMenu> mainMenu_;
  std::unique_ptr<TOLMHelpWindow> helpWindow_;
  std::unique_ptr<TOLMController> controller_;
  std::unique_ptr<TOLMAlarmFiringQueue> queue_;
  std::unique_ptr<TOLMAlarmsController> alarms_;
  std::unique_ptr<TOLMSimpleAlarmCreator> simpleAlarmCreator_;
  std::function<void()> quit_;
};
