#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QMenu;
class QMenuBar;
class QWidget;

// The main menu: the application menu, Window (toggles each window) and Help.
// The same menus serve the alarm window's menu bar and the tray icon.
class TOLMMainMenu : public QObject {
  Q_OBJECT
 public:
  explicit TOLMMainMenu(QObject* parent = nullptr);
  ~TOLMMainMenu() override;

  void installIn(QMenuBar* bar);
  // itemAtIndex: 0 setTitle:
  void setApplicationMenuTitle(const QString& title);
  QString applicationMenuTitle() const;
  void addWindow(const QString& title, QWidget* window);
  void setHelpAction(std::function<void()> showHelp);
  void setQuitAction(std::function<void()> quit);
  QMenu* applicationMenu() const { return applicationMenu_; }
  QMenu* windowMenu() const { return windowMenu_; }
  QMenu* helpMenu() const { return helpMenu_; }
  // The tray's menu: Window items, then Quit.
  QMenu* trayMenu() const { return trayMenu_; }

 private:
  QMenu* applicationMenu_;
  QMenu* windowMenu_;
  QMenu* helpMenu_;
  QMenu* trayMenu_;
  std::function<void()> showHelp_;
  std::function<void()> quit_;
};
