#pragma once

#include <QObject>
#include <memory>

#include "platform/TOLMNotificationCenter.h"

class QTextBrowser;
class QWidget;
class TOLMMainMenu;
class TOLMPreferenceController;
class TOLMRunLoop;
class TOLMTimer;
class TOLMTrayIcon;

// The application-level controller: titles the application menu, loads the
// help document, sets the application icon, opens the alarm window at launch
// and restores the plain icon at termination.
class TOLMController : public QObject {
  Q_OBJECT
 public:
  TOLMController(TOLMPreferenceController& prefs, TOLMRunLoop& loop, TOLMNotificationCenter& center,
                 QObject* parent = nullptr);
  ~TOLMController() override;

  // Outlets.
  void setAlarmsWindow(QWidget* window) { alarmsWindow_ = window; }
  void setHelpView(QTextBrowser* view) { helpView_ = view; }
  void setMainMenu(TOLMMainMenu* menu) { mainMenu_ = menu; }
  void setTrayIcon(TOLMTrayIcon* tray) { trayIcon_ = tray; }

  void setUpController();
  void applicationWillTerminate(const TOLMNotification& notification);

  bool isFirstLaunch() const { return firstLaunch_; }

 private:
  void setApplicationIconToPlainImage();

  TOLMPreferenceController& prefs_;
  TOLMRunLoop& loop_;
  QWidget* alarmsWindow_ = nullptr;
  std::shared_ptr<TOLMTimer> updateImageTimer_;
  bool firstLaunch_ = true;
  QTextBrowser* helpView_ = nullptr;
  TOLMMainMenu* mainMenu_ = nullptr;
  TOLMTrayIcon* trayIcon_ = nullptr;
  TOLMObserverToken didFinishObserver_;
  TOLMObserverToken willTerminateObserver_;
};
